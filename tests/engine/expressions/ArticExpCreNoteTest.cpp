#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "ExpFixture.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticWrkUtil.h"

using namespace exptest;

namespace {

// Runs one phase of an expression as the runner does, current expression set.
int RunPhase(CArticExpEvnt* e, int phase) {
    CArticWrkUtil::SetExpEvnt(e);
    int rc = 0;
    switch (phase) {
        case 1: rc = e->ConvToWrk(); break;
        case 12: rc = e->ConvToWrkCombine(); break;
        case 2: rc = e->ConvToWrk2(); break;
        default: rc = e->ConvToWrk3(); break;
    }
    CArticWrkUtil::SetExpEvnt(nullptr);
    return rc;
}



}  // namespace

TEST(ArticExpCreNote, NewNoteFromItsParameters) {
    struct Case {
        const char* what;
        LONG time;
        ULONG dur;
        BYTE key, velo;
        std::vector<NoteRow> made;  // besides the listed note at 0
    };
    const Case cases[] = {
        {"start before 0 is clamped", -1, 10, 60, 100, {{0, 60, 10, 100}}},
        {"gate 0 makes nothing", 0, 0, 60, 100, {}},
        {"key limited to 127", 0, 10, 200, 100, {{0, 127, 10, 100}}},
        {"velocity 0 would be a note-off", 0, 10, 60, 0, {{0, 60, 10, 1}}},
        {"velocity limited to 127", 30, 10, 60, 255, {{30, 60, 10, 127}}},
    };
    for (const Case& c : cases) {
        CArticErr::Clear();
        World w;
        CArticWrkEvnt* listed = w.Note(5, 0, 40, 480);
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpCreNote(blk, 1, &Notes{listed}, 0, c.time, c.dur, c.key, c.velo));
        const int before = CArticErr::GetMsgCount();
        w.Run();
        std::vector<NoteRow> expected{{0, 40, 480, 100}};
        // Sorted in time order: notes at the same tick go after the listed one.
        expected.insert(expected.end(), c.made.begin(), c.made.end());
        EXPECT_EQ(NoteRows(w.MidPartBlk()), expected) << c.what;
        EXPECT_EQ(CArticErr::GetMsgCount(), before) << c.what;
        EXPECT_EQ(NoteRows(w.partBlk).size(), 1u) << c.what;  // the rules' data is untouched
        CArticErr::Delete();
    }
}

TEST(ArticExpCreNote, StartAtTheTopOfTheTickRangeIsHeldThere) {
    World w;
    CArticWrkEvnt* listed = w.Note(5, INT64_MAX - 10, 40, 5);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpCreNote(blk, 1, &Notes{listed}, 0, 100, 5, 72, 90));
    w.Run();
    // The start is held at the largest tick, which stands for no time: no
    // note is made there, and none wraps round to tick 0.
    EXPECT_EQ(NoteRows(w.MidPartBlk()), (std::vector<NoteRow>{{INT64_MAX - 10, 40, 5, 100}}));
}

TEST(ArticExpCreNote, OneNewNotePerListedNote) {
    World w;
    CArticWrkEvnt* a = w.Note(5, 0, 60, 100);
    CArticWrkEvnt* b = w.Note(6, 480, 62, 100);
    CArticWrkEvnt* c = w.Note(7, 960, 64, 100);
    CArticExpBlk* blk = w.PartExpBlk();
    auto* e = new CArticExpCreNote(blk, 1, &Notes{a, b, c}, 0, 5, 20, 72, 90);
    blk->AddTail(e);
    w.Run();
    std::vector<NoteRow> made;
    for (const NoteRow& r : NoteRows(w.MidPartBlk()))
        if (r.key == 72) made.push_back(r);
    EXPECT_EQ(made, (std::vector<NoteRow>{{5, 72, 20, 90}, {485, 72, 20, 90}, {965, 72, 20, 90}}));
    for (POSITION p = w.MidPartBlk()->GetHeadPos(); p;) {
        CArticWrkEvnt* n = w.MidPartBlk()->GetNext(p);
        EXPECT_EQ(n->GetCreate(), n->GetPost1() == 72 ? 1 : 0);
    }
}

TEST(ArticExpCreNote, EmptyListFailsWithItsReport) {
    CArticErr::Clear();
    World w;
    w.Note(5, 0);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpCreNote(blk, 1, nullptr, 0, 0, 10, 60, 100));
    w.Prepare();
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    mgr.ReLinkExp();
    EXPECT_EQ(mgr.ConvToWrk(), 1);
    EXPECT_EQ(w.sortBlk.Get(0)->GetError(), 1);
    const CString shown = ShownText();
    EXPECT_EQ(shown.Find("中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集時(第１段階)にｴﾗｰが発生しました。\r"), 0);
    EXPECT_GE(shown.Find("音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集中にｴﾗｰが発生しました。"), 0);
    mgr.ConvToWrk3();
    CArticErr::Delete();
}

TEST(ArticExpCreNote, SecondFormPicksTheStringsTrack) {
    struct Case {
        BYTE gen;
        ULONG trkNo;  // of the track that receives the note
    };
    for (const Case& c : {Case{0, 1}, Case{5, 2}, Case{1, 2}}) {
        World w;  // tracks: master (0), string 0 (1), string 1 (2)
        CArticWrkBlk* string1 = wrktest::AddBlock(wrktest::AddTrack(w.wrk, 2));
        CArticWrkEvnt* listed = wrktest::AddNote(string1, 5, 240, 50);
        Mirror(w.wrk, w.exp);
        CArticExpBlk* blk = w.exp.GetExpBlk(2, 0);
        blk->AddTail(new CArticExpCreNote2(blk, 1, &Notes{listed}, 0, 10, 30, 70, 80, c.gen));
        w.Run();
        int found = 0;
        for (ULONG trkNo : {0u, 1u, 2u})
            for (const NoteRow& r : NoteRows(w.mid.Get(int(trkNo))->Get(0)))
                if (r.key == 70) {
                    ++found;
                    EXPECT_EQ(trkNo, c.trkNo) << int(c.gen);
                    EXPECT_EQ(r, (NoteRow{250, 70, 30, 80}));
                }
        EXPECT_EQ(found, 1) << int(c.gen);
    }
}

TEST(ArticExpDel, RemovesTheListedNotesInPhaseTwo) {
    World w;
    CArticWrkEvnt* a = w.Note(5, 0, 60);
    CArticWrkEvnt* b = w.Note(6, 480, 62);
    w.Note(7, 960, 64);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpDel(blk, 1, &Notes{a, b}));
    w.Prepare();
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    mgr.ReLinkExp();
    EXPECT_EQ(mgr.ConvToWrk(), 0);
    EXPECT_EQ(mgr.ConvToWrkCombine(), 0);
    EXPECT_EQ(NoteRows(w.MidPartBlk()).size(), 3u);  // nothing before phase 2
    EXPECT_EQ(mgr.ConvToWrk2(), 0);
    EXPECT_EQ(mgr.ConvToWrk3(), 0);
    EXPECT_EQ(NoteRows(w.MidPartBlk()), (std::vector<NoteRow>{{960, 64, 480, 100}}));
    EXPECT_EQ(w.mid.GetEvntByNo(5), nullptr);
    EXPECT_EQ(NoteRows(w.partBlk).size(), 3u);
}

TEST(ArticExpDel, NoteAlreadyRemovedIsNotReadAgain) {
    CArticErr::Clear();
    World w;
    CArticWrkEvnt* a = w.Note(5, 0, 60);
    w.Note(6, 480, 62);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpDel(blk, 1, &Notes{a}));
    blk->AddTail(new CArticExpDel(blk, 2, &Notes{a}));
    w.Prepare();
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    mgr.ReLinkExp();
    mgr.ConvToWrk();
    mgr.ConvToWrkCombine();
    EXPECT_EQ(mgr.ConvToWrk2(), 1);
    mgr.ConvToWrk3();
    EXPECT_EQ(w.sortBlk.Get(0)->GetErrKind(), 0);
    EXPECT_EQ(w.sortBlk.Get(1)->GetErrKind(), 3);
    const CString shown = ShownText();
    EXPECT_EQ(shown.Find("中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集時(第２段階)にｴﾗｰが発生しました。\r"), 0);
    EXPECT_GE(shown.Find("音符を削除中で処理でｴﾗｰが発生しました。"), 0);
    EXPECT_GE(shown.Find("ConvToWrk2 => DelWrkNoteType"), 0);
    EXPECT_EQ(NoteRows(w.MidPartBlk()), (std::vector<NoteRow>{{480, 62, 480, 100}}));
    // The dump of the second deletion names a note the data no longer holds.
    EXPECT_EQ(LineOf(w.sortBlk.Get(1)), "e2:CArticExpDel( 1{:w??} )");
    CArticErr::Delete();
}

TEST(ArticExpDel, AfterAFailedEarlierPhaseNothingIsRemoved) {
    World w;
    CArticWrkEvnt* a = w.Note(5, 0, 60);
    CArticExpBlk* blk = w.PartExpBlk();
    auto* del = new CArticExpDel(blk, 1, &Notes{a});
    blk->AddTail(del);
    w.Prepare();
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    mgr.ReLinkExp();
    w.sortBlk.Get(0)->SetError(1);
    EXPECT_EQ(mgr.ConvToWrk2(), 0);
    EXPECT_EQ(NoteRows(w.MidPartBlk()).size(), 1u);

    // Without middle data to look in, the deletion fails silently.
    CArticExpDel loose(nullptr, 2, nullptr);
    loose.CopyEvntList(&Notes{a});
    const int before = CArticErr::GetMsgCount();
    EXPECT_EQ(loose.ConvToWrk2(), 1);
    EXPECT_EQ(CArticErr::GetMsgCount(), before);
    EXPECT_EQ(loose.GetFirstNoteWrkBlk(), nullptr);
}

TEST(ArticExpDebug, CarriersLeaveTheDataAlone) {
    World w;
    CArticWrkEvnt* a = w.Note(5, 0, 60);
    CArticExpBlk* blk = w.PartExpBlk();
    std::vector<CArticExpEvnt*> carriers{new CArticExpDebug_i2(blk, 1, &Notes{a}, "val7", 7),
                                         new CArticExpDebug_i(blk, 2, &Notes{a}, -3),
                                         new CArticExpDebug_d(blk, 3, &Notes{a}, 0.5)};
    for (CArticExpEvnt* e : carriers) blk->AddTail(e);
    w.Prepare();
    const std::vector<CString> before = Dump(w.mid);
    for (CArticExpEvnt* e : carriers) {
        CArticExpEvnt* clone = nullptr;
        ASSERT_EQ(CArticExpUtil::CopyEvnt(e, &clone, &w.sortBlk, e->GetEvntNo(), &w.mid), 0);
        w.sortBlk.AddTail(clone);
        for (int phase : {1, 12, 2, 3}) EXPECT_EQ(RunPhase(clone, phase), 0) << e->GetClassNameA();
    }
    EXPECT_EQ(Dump(w.mid), before);
}

TEST(ArticExpCreNote, DumpLines) {
    World w;
    CArticWrkEvnt* a = w.Note(5, 0, 60);
    CArticExpBlk* blk = w.PartExpBlk();
    struct Case {
        CArticExpEvnt* e;
        const char* line;
    };
    const Case cases[] = {
        {new CArticExpCreNote(blk, 12, &Notes{a}, 0, -1, 10, 60, 100), "e12:CArticExpCreNote( 1{:w5}, 0, -1, 10, 60, 100 )"},
        {new CArticExpCreNote2(blk, 13, &Notes{a}, 1, 480, 20, 62, 90, 3),
         "e13:CArticExpCreNote2( 1{:w5}, 1, 480, 20, 62, 90, 3 )"},
        {new CArticExpDel(blk, 14, &Notes{a, a}), "e14:CArticExpDel( 2{:w5,:w5} )"},
        {new CArticExpDebug_i(blk, 15, &Notes{a}, -7), "e15:CArticExpDebug_i( 1{:w5}, -7 )"},
        {new CArticExpDebug_i2(blk, 16, &Notes{a}, "val7", 7), "e16:CArticExpDebug_i2( 1{:w5}, \"val7\", 7 )"},
        {new CArticExpDebug_i2(blk, 17, &Notes{a}, nullptr, 0), "e17:CArticExpDebug_i2( 1{:w5}, \"\", 0 )"},
        {new CArticExpDebug_d(blk, 18, &Notes{a}, 2.5), "e18:CArticExpDebug_d( 1{:w5}, 2.5 )"},
        {new CArticExpDebug_d(blk, 19, &Notes{a}, 3), "e19:CArticExpDebug_d( 1{:w5}, 3.0 )"},
        {new CArticExpDebug_d(blk, 20, &Notes{a}, -0.25), "e20:CArticExpDebug_d( 1{:w5}, -0.25 )"},
    };
    for (const Case& c : cases) {
        blk->AddTail(c.e);
        EXPECT_EQ(LineOf(c.e), c.line);
    }
    // A note gone from the data is written as unknown.
    ASSERT_EQ(CArticWrkUtil::DelEvnt(a), 0);
    EXPECT_EQ(LineOf(cases[0].e), "e12:CArticExpCreNote( 1{:w??}, 0, -1, 10, 60, 100 )");
    // Without any work data to name the notes in, there is no line.
    CArticExpDel loose(nullptr, 2, nullptr);
    EXPECT_EQ(LineOf(&loose), "(none)");
}

TEST(ArticExpCreNote, ComposedRunEditsOnlyTheMiddleData) {
    World w;
    CArticWrkEvnt* a = w.Note(5, 0, 60);
    CArticWrkEvnt* b = w.Note(6, 480, 62);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpCreNote(blk, 1, &Notes{a}, 0, 240, 120, 67, 90));
    blk->AddTail(new CArticExpDel(blk, 2, &Notes{b}));
    blk->AddTail(new CArticExpDebug_i2(blk, 3, &Notes{a}, "val7", 7));
    const std::vector<CString> wrkBefore = Dump(w.wrk);
    const std::vector<CString> expBefore = Dump(w.exp);
    w.Run();
    EXPECT_EQ(NoteRows(w.MidPartBlk()), (std::vector<NoteRow>{{0, 60, 480, 100}, {240, 67, 120, 90}}));
    EXPECT_EQ(Dump(w.wrk), wrkBefore);
    EXPECT_EQ(Dump(w.exp), expBefore);
    EXPECT_EQ(w.sortBlk.GetCount(), 3);
}

TEST(ArticExpCreNote, EachClassCopiesAndRunsExactlyItsPhases) {
    struct Case {
        const char* cls;
        std::function<CArticExpEvnt*(CArticExpBlk*, CArticWrkEvnt*)> make;
        int changedIn;  // the one phase that changes the note count, 0 for none
        int delta;
    };
    const Case cases[] = {
        {"CArticExpCreNote",
         [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpCreNote(b, 4, &Notes{n}, 2, 30, 60, 70, 80); }, 1,
         1},
        {"CArticExpCreNote2",
         [](CArticExpBlk* b, CArticWrkEvnt* n) {
             return new CArticExpCreNote2(b, 4, &Notes{n}, 2, 30, 60, 70, 80, 0);
         },
         1, 1},
        {"CArticExpDel", [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpDel(b, 4, &Notes{n}); }, 2, -1},
        {"CArticExpDebug_i", [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpDebug_i(b, 4, &Notes{n}, 9); },
         0, 0},
        {"CArticExpDebug_i2",
         [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpDebug_i2(b, 4, &Notes{n}, "lbl", 9); }, 0, 0},
        {"CArticExpDebug_d",
         [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpDebug_d(b, 4, &Notes{n}, 1.25); }, 0, 0},
    };
    for (const Case& c : cases) {
        for (int phase : {1, 12, 2, 3}) {
            World w;
            CArticWrkEvnt* n = w.Note(5, 0, 60);
            CArticExpBlk* blk = w.PartExpBlk();
            CArticExpEvnt* src = c.make(blk, n);
            blk->AddTail(src);
            src->SetErrKind(3);
            src->SetError(5);
            w.Prepare();
            CArticExpEvnt* clone = nullptr;
            ASSERT_EQ(CArticExpUtil::CopyEvnt(src, &clone, &w.sortBlk, 11, nullptr), 0) << c.cls;
            ASSERT_NE(clone, nullptr);
            w.sortBlk.AddTail(clone);
            EXPECT_STREQ(clone->GetClassNameA(), c.cls);
            EXPECT_EQ(clone->GetEvntNo(), 11u);
            EXPECT_EQ(clone->GetOwner(), &w.sortBlk);
            EXPECT_EQ(clone->GetErrKind(), 0) << c.cls;
            EXPECT_EQ(clone->GetError(), 0) << c.cls;
            // Equal parameters: the same dump apart from the number.
            CString line = LineOf(src);
            line.Replace("e4:", "e11:");
            EXPECT_EQ(LineOf(clone), line) << c.cls;

            // Bound to the middle data, the clone edits only in its phase.
            CArticExpEvnt* bound = nullptr;
            ASSERT_EQ(CArticExpUtil::CopyEvnt(src, &bound, &w.sortBlk, 12, &w.mid), 0);
            w.sortBlk.AddTail(bound);
            const size_t before = NoteRows(w.MidPartBlk()).size() + NoteRows(w.mid.Get(0)->Get(0)).size();
            EXPECT_EQ(RunPhase(bound, phase), 0) << c.cls << " phase " << phase;
            const size_t after = NoteRows(w.MidPartBlk()).size() + NoteRows(w.mid.Get(0)->Get(0)).size();
            EXPECT_EQ(int(after) - int(before), phase == c.changedIn ? c.delta : 0) << c.cls << " phase " << phase;
        }
    }
}

TEST(ArticExpUtil, CopyOfAnUnknownClassIsRefused) {
    CArticErr::Clear();
    CArticExpEvnt plain(nullptr, 3);
    CArticExpEvnt* out = nullptr;
    EXPECT_EQ(CArticExpUtil::CopyEvnt(&plain, &out, nullptr, 3, nullptr), 1);
    EXPECT_EQ(out, nullptr);
    CString content, cls, method, detail;
    CArticErr::Get(content, cls, method, detail);
    EXPECT_EQ(content, "未対応のｲﾍﾞﾝﾄのため、ｺﾋﾟｰできません。");
    EXPECT_EQ(method, "CopyEvnt");
    EXPECT_EQ(detail, "ｸﾗｽ名 = CArticExpEvnt");
    EXPECT_EQ(CArticExpUtil::CopyEvnt(nullptr, &out, nullptr, 3, nullptr), 0);
    EXPECT_EQ(out, nullptr);
    CArticErr::Delete();
}
