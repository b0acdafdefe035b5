#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "ExpFixture.h"
#include "engine/expressions/ArticExpDur.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticPos.h"

using namespace exptest;

namespace {

std::vector<INT64> MidGates(const World& w) {
    std::vector<INT64> gates;
    for (const NoteRow& r : NoteRows(w.MidPartBlk())) gates.push_back(r.gate);
    return gates;
}


}  // namespace

TEST(ArticExpDur, GateRules) {
    using Make = std::function<CArticExpEvnt*(CArticExpBlk*, const CArticWrkEvntList*)>;
    struct Case {
        const char* what;
        INT64 gate;
        Make make;
        INT64 after;
    };
    const Case cases[] = {
        {"Rel 80", 480, [](CArticExpBlk* b, const CArticWrkEvntList* n) { return new CArticExpDurRel(b, 1, n, 80); }, 383},
        {"Rel 100 keeps", 480, [](CArticExpBlk* b, const CArticWrkEvntList* n) { return new CArticExpDurRel(b, 1, n, 100); },
         480},
        {"Rel 400 of a long gate in 64 bits", INT64(1) << 31,
         [](CArticExpBlk* b, const CArticWrkEvntList* n) { return new CArticExpDurRel(b, 1, n, 400); }, INT64(1) << 33},
        {"Rel2 below 0", 480, [](CArticExpBlk* b, const CArticWrkEvntList* n) { return new CArticExpDurRel2(b, 1, n, -600); },
         0},
        {"Rel2", 480, [](CArticExpBlk* b, const CArticWrkEvntList* n) { return new CArticExpDurRel2(b, 1, n, 20); }, 500},
        {"Rel2 at the top of the tick range is held there", INT64_MAX - 10,
         [](CArticExpBlk* b, const CArticWrkEvntList* n) { return new CArticExpDurRel2(b, 1, n, 100); }, INT64_MAX},
        {"Abs", 480, [](CArticExpBlk* b, const CArticWrkEvntList* n) { return new CArticExpDurAbs(b, 1, n, 240); }, 240},
        {"Bp long", 480, [](CArticExpBlk* b, const CArticWrkEvntList* n) { return new CArticExpDurBp(b, 1, n, 120, 50); },
         420},
        {"Bp equal", 120, [](CArticExpBlk* b, const CArticWrkEvntList* n) { return new CArticExpDurBp(b, 1, n, 120, 50); },
         60},
        {"Bp short", 100, [](CArticExpBlk* b, const CArticWrkEvntList* n) { return new CArticExpDurBp(b, 1, n, 120, 50); },
         50},
        {"Bp above 100 lengthens", 480,
         [](CArticExpBlk* b, const CArticWrkEvntList* n) { return new CArticExpDurBp(b, 1, n, 120, 150); }, 540},
    };
    for (const Case& c : cases) {
        World w;
        CArticWrkEvnt* note = w.Note(5, 0, 60, c.gate);
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(c.make(blk, &Notes{note}));
        EXPECT_EQ(w.Phase1(), 0) << c.what;
        EXPECT_EQ(MidGates(w), std::vector<INT64>{c.after}) << c.what;
        EXPECT_EQ(note->GetGateTime(), c.gate) << c.what;
    }
}

TEST(ArticExpDur, EmptyEntryOrListFails) {
    CArticErr::Clear();
    World w;
    CArticWrkEvnt* note = w.Note(5, 0);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpDurAbs(blk, 1, nullptr, 100));
    EXPECT_EQ(w.Phase1(), 1);
    EXPECT_GE(CArticErr::GetErrDlg()->GetAllMsg().Find("音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集中にｴﾗｰが発生しました。"), 0);
    CArticExpDurAbs withGap(nullptr, 2, nullptr, 100);
    withGap.GetWrkEvntList()->AddTail(note);
    withGap.GetWrkEvntList()->AddTail(static_cast<CArticWrkEvnt*>(nullptr));
    EXPECT_EQ(withGap.ConvToWrk(), 1);
    EXPECT_EQ(note->GetGateTime(), 100);  // changed before the empty entry
    CArticErr::Delete();
}

TEST(ArticExpDur, AllNotesOfASpanIncludingItsEnd) {
    World w;
    w.wrk.SetMeasBlk(w.masterBlk);
    wrktest::AddBeat(w.masterBlk, 1, 0, 4, 2, 1);
    w.Note(5, 0, 60, 480);
    w.Note(6, 1920, 62, 480);
    w.Note(7, 1921, 64, 480);
    wrktest::AddCc(w.partBlk, 8, 960, 11, 90);
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas from(1, 1, 0), to(2, 1, 0);
    blk->AddTail(new CArticExpDurAll(blk, 1, &from, &to, 120, 50));
    EXPECT_EQ(w.Phase1(), 0);
    EXPECT_EQ(MidGates(w), (std::vector<INT64>{420, 420, 480}));
    EXPECT_EQ(w.mid.GetEvntByNo(8)->GetPost2(), 90);

    CArticExpDurAll loose(nullptr, 2, &from, &to, 120, 50);
    EXPECT_EQ(loose.ConvToWrk(), 1);
}

TEST(ArticExpKeySft, TransposesAndKeepsTheBookkeeping) {
    CArticErr::Clear();
    World w;
    CArticWrkEvnt* high = w.Note(5, 0, 120);
    CArticWrkEvnt* low = w.Note(6, 480, 3);
    CArticWrkEvnt* cc = wrktest::AddCc(w.partBlk, 7, 10, 11, 90);
    CArticWrkEvnt proc(nullptr, 99);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpKeySft(blk, 1, &Notes{high, cc, low, cc}, 12));
    w.Prepare();
    w.mid.GetEvntByNo(5)->SetProcWrkEvnt(&proc);
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    mgr.ReLinkExp();
    EXPECT_EQ(mgr.ConvToWrk(), 1);
    mgr.ConvToWrk3();
    EXPECT_EQ(w.mid.GetEvntByNo(5)->GetPost1(), 127);
    EXPECT_EQ(w.mid.GetEvntByNo(6)->GetPost1(), 15);
    EXPECT_EQ(proc.GetKeyShift(), 12);
    CArticPos* rec = nullptr;
    ASSERT_EQ(w.mid.GetEvntPos(w.mid.GetEvntByNo(6), &rec), 0);
    EXPECT_EQ(rec->GetKeyHead(), 15);
    EXPECT_EQ(rec->GetKeyTail(), 15);
    EXPECT_GE(CArticErr::GetErrDlg()->GetAllMsg().Find("音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ = 7"), 0);
    EXPECT_EQ(w.sortBlk.Get(0)->GetErrKind(), 3);

    CArticExpKeySft idle(nullptr, 2, nullptr, 0);
    EXPECT_EQ(idle.ConvToWrk(), 0);
    CArticExpKeySft noList(nullptr, 3, nullptr, 5);
    noList.SetWrkEvntList(nullptr);
    EXPECT_EQ(noList.ConvToWrk(), 1);
    CArticErr::Delete();
}

TEST(ArticExpKeySft, ReferenceChainsEndEvenWhenTheyCircle) {
    World w;
    CArticWrkEvnt* a = w.Note(5, 0, 60);
    CArticWrkEvnt* b = w.Note(6, 480, 62);
    CArticWrkEvnt* c = w.Note(7, 960, 64);
    CArticPos *ra = nullptr, *rb = nullptr, *rc = nullptr;
    ASSERT_EQ(w.wrk.GetEvntPos(a, &ra), 0);
    ASSERT_EQ(w.wrk.GetEvntPos(b, &rb), 0);
    ASSERT_EQ(w.wrk.GetEvntPos(c, &rc), 0);
    ra->SetRefWrkEvnt(b);  // a -> b -> c -> b: a circle that never reaches a self-reference
    rb->SetRefWrkEvnt(c);
    rc->SetRefWrkEvnt(b);
    CArticExpKeySft sft(nullptr, 1, nullptr, 2);
    EXPECT_EQ(sft.SetKeyHead(&w.wrk, a, 70), 0);
    EXPECT_EQ(sft.SetKeyTail(&w.wrk, a, 71), 0);
    for (CArticPos* r : {ra, rb, rc}) {
        EXPECT_EQ(r->GetKeyHead(), 70);
        EXPECT_EQ(r->GetKeyTail(), 71);
    }
    EXPECT_EQ(sft.SetKeyHead(nullptr, a, 70), 1);
    CArticWrkEvnt stray(nullptr, 40);
    EXPECT_EQ(sft.SetKeyHead(&w.wrk, &stray, 70), 1);
}

TEST(ArticExpDur, WritersCopiesAndPhases) {
    World w;
    CArticWrkEvnt* a = w.Note(5, 0);
    CArticWrkEvnt* b = w.Note(6, 480);
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas from(2, 1, 0), to(4, 1, 0);
    struct Case {
        CArticExpEvnt* e;
        const char* line;
    };
    const Case cases[] = {
        {new CArticExpDurRel(blk, 2, &Notes{a}, 80), "e2:CArticExpDurRel( 1{:w5}, 80 )"},
        {new CArticExpDurRel2(blk, 3, &Notes{a}, -30), "e3:CArticExpDurRel2( 1{:w5}, -30 )"},
        {new CArticExpDurAbs(blk, 4, &Notes{a, b}, 240), "e4:CArticExpDurAbs( 2{:w5,:w6}, 240 )"},
        {new CArticExpDurBp(blk, 5, &Notes{a}, 480, 80), "e5:CArticExpDurBp( 1{:w5}, 480, 80 )"},
        {new CArticExpDurAll(blk, 6, &from, &to, 480, 80), "e6:CArticExpDurAll( 2/1/0, 4/1/0, 480, 80 )"},
        {new CArticExpKeySft(blk, 7, &Notes{a}, -12), "e7:CArticExpKeySft( 1{:w5}, -12 )"},
    };
    for (const Case& c : cases) {
        blk->AddTail(c.e);
        EXPECT_EQ(LineOf(c.e), c.line);
        c.e->SetErrKind(3);
        CArticExpEvnt* clone = nullptr;
        ASSERT_EQ(CArticExpUtil::CopyEvnt(c.e, &clone, blk, c.e->GetEvntNo(), nullptr), 0) << c.line;
        EXPECT_EQ(LineOf(clone), c.line);
        EXPECT_EQ(clone->GetErrKind(), 0);
        EXPECT_EQ(clone->ConvToWrkCombine() + clone->ConvToWrk2() + clone->ConvToWrk3(), 0) << c.line;
        delete clone;
    }
}
