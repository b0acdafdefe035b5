#include <gtest/gtest.h>

#include "BendCcFixture.h"
#include "engine/expressions/ArticExpSlur.h"
#include "engine/loaders/ArticExpUtil.h"

using namespace exptest;
using namespace bcctest;

namespace {

const char kSlurOneBlockText[] = "指定された音符が同じﾌﾞﾛｯｸに属していない。";

}  // namespace

TEST(ArticExpSlur, KeepFirstBendsToEachKey) {
    struct Case {
        const char* what;
        BYTE range;
        std::vector<BYTE> keys;  // consecutive notes of 480 from 0
        bool nextNote;           // a further note where the run ends
        std::vector<NoteRow> notes;
        Points bends;
    };
    const Case cases[] = {
        {"two semitones at range 2 saturate", 2, {60, 62}, true,
         {{0, 60, 960, 100}, {960, 40, 480, 100}}, {{480, 8191}, {960, 0}}},
        {"range 12", 12, {60, 62}, true, {{0, 60, 960, 100}, {960, 40, 480, 100}}, {{480, 1366}, {960, 0}}},
        {"three keys at range 12", 12, {60, 64, 62}, false, {{0, 60, 1440, 100}}, {{480, 2732}, {960, 1366}}},
    };
    for (const Case& c : cases) {
        World w;
        Notes run{};
        ULONG no = 5;
        for (size_t i = 0; i < c.keys.size(); ++i) run.list.AddTail(w.Note(no++, INT64(i) * 480, c.keys[i]));
        if (c.nextNote) w.Note(20, INT64(c.keys.size()) * 480, 40);
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpArraySlurPb(blk, 1, &run, 0));
        const PhaseResults r = RunHooked(w, [&] { RangeAt(w.MidPartBlk(), 0, c.range); });
        EXPECT_EQ(r.p12, 0) << c.what;
        EXPECT_EQ(r.p2, 0) << c.what;
        EXPECT_EQ(NoteRows(w.MidPartBlk()), c.notes) << c.what;
        EXPECT_EQ(Bends(w.MidPartBlk()), c.bends) << c.what;
    }
}

TEST(ArticExpSlur, KeepLastStartsWhereTheFirstStarted) {
    World w;
    Notes run{w.Note(5, 0, 60), w.Note(6, 480, 62)};
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpArraySlurPb(blk, 1, &run, 1));
    RunHooked(w, nullptr);
    EXPECT_EQ(NoteRows(w.MidPartBlk()), (std::vector<NoteRow>{{0, 62, 960, 100}}));
    // Over the first note's span the kept key is bent down to 60.
    EXPECT_EQ(Bends(w.MidPartBlk()), (Points{{0, -8192}, {480, 0}}));
}

TEST(ArticExpSlur, NotesOutsideOneBlockChangeNothing) {
    for (bool twoBlocks : {false, true}) {
        CArticErr::Clear();
        World w;
        Notes run{w.Note(5, 0, 60)};
        if (twoBlocks) {
            CArticWrkBlk* other = wrktest::AddBlock(w.wrk.Get(1), 1);
            run.list.AddTail(wrktest::AddNote(other, 6, 480, 62));
        }
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpArraySlurPb(blk, 1, &run, 0));
        const PhaseResults r = RunHooked(w, nullptr);
        EXPECT_EQ(r.p12, 1);
        EXPECT_GE(ShownText().Find(kSlurOneBlockText), 0) << twoBlocks;
        EXPECT_EQ(NoteRows(w.MidPartBlk()), (std::vector<NoteRow>{{0, 60, 480, 100}})) << twoBlocks;
        EXPECT_TRUE(Bends(w.MidPartBlk()).empty());
        if (twoBlocks) {
            EXPECT_EQ(NoteRows(w.mid.Get(1)->Get(1)).size(), 1u);
        }
        CArticErr::Delete();
    }
}

TEST(ArticExpSlur, TieJoinsNotesOfOneKey) {
    struct Case {
        const char* what;
        BYTE type;
        std::vector<std::pair<BYTE, BYTE>> notes;  // key, velocity; consecutive notes of 480
        int p12;
        std::vector<NoteRow> after;
    };
    const Case cases[] = {
        {"keep last", 1, {{64, 100}, {64, 90}, {64, 80}}, 0, {{0, 64, 1440, 100}}},
        {"keep first", 0, {{64, 100}, {64, 90}, {64, 80}}, 0, {{0, 64, 1440, 100}}},
        {"keep first takes the last velocity", 2, {{64, 100}, {64, 80}}, 0, {{0, 64, 960, 80}}},
        {"keep last without bit 1 takes the first velocity", 1, {{64, 100}, {64, 80}}, 0, {{0, 64, 960, 100}}},
        {"two keys refused", 0, {{64, 100}, {65, 100}}, 1, {{0, 64, 480, 100}, {480, 65, 480, 100}}},
        {"two keys allowed by bit 2", 4, {{64, 100}, {65, 100}}, 0, {{0, 64, 960, 100}}},
    };
    for (const Case& c : cases) {
        CArticErr::Clear();
        World w;
        Notes run{};
        ULONG no = 5;
        for (const auto& [key, velo] : c.notes) {
            run.list.AddTail(wrktest::AddNote(w.partBlk, no, INT64(no - 5) * 480, key, 480, velo));
            ++no;
        }
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpArrayTie(blk, 1, &run, c.type));
        const PhaseResults r = RunHooked(w, nullptr);
        EXPECT_EQ(r.p12, c.p12) << c.what;
        EXPECT_EQ(NoteRows(w.MidPartBlk()), c.after) << c.what;
        if (c.p12) {
            EXPECT_GE(ShownText().Find("同じNote番号を持つNote群でない。"), 0) << c.what;
        }
        EXPECT_TRUE(Bends(w.MidPartBlk()).empty()) << c.what;
        CArticErr::Delete();
    }
}

// A reference cycle on the third note fails the second pair without
// hanging; the first pair stays joined and its note goes in phase 2.
TEST(ArticExpSlur, FailedPairKeepsEarlierJoinsAndRemovesTheirNotes) {
    for (bool slur : {false, true}) {
        CArticErr::Clear();
        World w;
        Notes run{w.Note(5, 0, 64), w.Note(6, 480, 64), wrktest::AddNote(w.partBlk, 7, 960, 64, 480, 70)};
        w.Note(8, 2000, 30);
        CArticExpBlk* blk = w.PartExpBlk();
        if (slur) blk->AddTail(new CArticExpArraySlurPb(blk, 1, &run, 2));
        else blk->AddTail(new CArticExpArrayTie(blk, 1, &run, 2));
        const PhaseResults r = RunHooked(w, [&] {
            MidRecord(w, 7)->SetRefWrkEvnt(MidEvnt(w, 8));
            MidRecord(w, 8)->SetRefWrkEvnt(MidEvnt(w, 7));
        });
        EXPECT_EQ(r.p12, 1) << slur;
        EXPECT_GE(ShownText().Find("最初の音符を残すﾓｰﾄﾞの処理でｴﾗｰが発生しました。"), 0) << slur;
        // The kept note spans the joined one, which is gone; the velocity
        // of the last note still moved.
        EXPECT_EQ(NoteRows(w.MidPartBlk()),
                  (std::vector<NoteRow>{{0, 64, 960, 70}, {960, 64, 480, 70}, {2000, 30, 480, 100}}))
            << slur;
        CArticErr::Delete();
    }
}

TEST(ArticExpSlur, LegatoByDuration) {
    struct Case {
        std::vector<INT64> starts;
        int rc;
        std::vector<INT64> gates;
    };
    const Case cases[] = {
        {{0, 480, 960}, 0, {470, 470, 480}},
        {{0, 5}, 1, {480, 480}},
        {{480, 0}, 1, {480, 480}},
    };
    for (const Case& c : cases) {
        CArticErr::Clear();
        World w;
        Notes run{};
        ULONG no = 5;
        for (INT64 t : c.starts) run.list.AddTail(w.Note(no++, t, 60));
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpArraySlurDur(blk, 1, &run, 0, 10));
        EXPECT_EQ(w.Phase1(), c.rc);
        std::vector<INT64> gates;
        for (ULONG n = 5; n < no; ++n) gates.push_back(MidEvnt(w, n)->GetGateTime());
        EXPECT_EQ(gates, c.gates);
        if (c.rc) {
            EXPECT_GE(ShownText().Find("Slurの編集中にｴﾗｰが発生しました。"), 0);
        }
        CArticErr::Delete();
    }
}

TEST(ArticExpSlur, WritersCopiesAndPhases) {
    World w;
    CArticWrkEvnt* a = w.Note(5, 0, 60);
    CArticWrkEvnt* b = w.Note(6, 480, 62);
    CArticExpBlk* blk = w.PartExpBlk();
    struct Case {
        CArticExpEvnt* e;
        const char* line;
        bool joins;  // phases 1-2 and 2; else phase 1
    };
    const Case cases[] = {
        {new CArticExpArraySlurPb(blk, 1, &Notes{a, b}, 3), "e1:CArticExpArraySlurPb( 2{:w5,:w6}, 3 )", true},
        {new CArticExpArrayTie(blk, 2, &Notes{b, a}, 12), "e2:CArticExpArrayTie( 2{:w6,:w5}, 12 )", true},
        {new CArticExpArraySlurDur(blk, 3, &Notes{a, b}, 0, -15), "e3:CArticExpArraySlurDur( 2{:w5,:w6}, 0, -15 )",
         false},
    };
    for (const Case& k : cases) {
        blk->AddTail(k.e);
        EXPECT_EQ(LineOf(k.e), k.line);
        k.e->SetErrKind(3);
        CArticExpEvnt* clone = nullptr;
        ASSERT_EQ(CArticExpUtil::CopyEvnt(k.e, &clone, blk, k.e->GetEvntNo(), nullptr), 0);
        EXPECT_EQ(LineOf(clone), k.line);
        EXPECT_EQ(clone->GetErrKind(), 0);
        // Outside a run the phases a class does not override do nothing.
        if (k.joins) {
            EXPECT_EQ(clone->ConvToWrk() + clone->ConvToWrk3(), 0);
        } else {
            EXPECT_EQ(clone->ConvToWrkCombine() + clone->ConvToWrk2() + clone->ConvToWrk3(), 0);
        }
        delete clone;
    }
    // Phase 1 alone leaves the notes of a join as they were.
    World p;
    Notes run{p.Note(5, 0, 64), p.Note(6, 480, 64)};
    CArticExpBlk* pb = p.PartExpBlk();
    pb->AddTail(new CArticExpArrayTie(pb, 1, &run, 0));
    EXPECT_EQ(p.Phase1(), 0);
    EXPECT_EQ(NoteRows(p.MidPartBlk()).size(), 2u);
}
