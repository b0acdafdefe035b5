// Global values and the selected track; exchanges between a note and its
// slots; a slot against its measure; the simulated swing.
#include <gtest/gtest.h>

#include <cmath>

#include "BuiltinFixture.h"

using namespace bitest;

namespace {
using SwingTest = BuiltinTest;
}  // namespace

TEST_F(SwingTest, GlobalValuesGrowOnDemandAndRefuseBadIndexes) {
    CArticWrkEvnt* a = Note(1, 0);
    std::vector<double> v;
    EXPECT_EQ(Run("CArticSrchPutGlobal", {Num(12), Num(3.5)}, a), 0);
    for (const auto& c : std::vector<std::pair<double, double>>{{12, 3.5}, {13, 0.0}, {20, 0.0}, {0, 0.0}}) {
        EXPECT_EQ(RunValues("CArticSrchGetGlobal", {c.first}, 1, &v, a), 0) << c.first;
        EXPECT_EQ(v[0], c.second) << c.first;
    }
    EXPECT_EQ(Run("CArticSrchPutGlobal", {Num(-1), Num(1)}, a), 1);
    EXPECT_EQ(Recorded(), "");
    EXPECT_TRUE(ErrList::LastContent().IsEmpty());
    EXPECT_EQ(RunValues("CArticSrchGetGlobal", {-1}, 1, &v, a), 1);
    EXPECT_EQ(v[0], 0.0);
    EXPECT_EQ(Recorded(), "");
    // Past the program's limit: reported by the program, nothing stored.
    EXPECT_EQ(Run("CArticSrchPutGlobal", {Num(2e6), Num(1)}, a), 1);
    EXPECT_FALSE(ErrList::LastContent().IsEmpty());
    EXPECT_EQ(rul.GetGlobal(2000000), 0.0);
    EXPECT_EQ(Run("CArticSrchPutGlobal", {Num(1e30), Num(1)}, a), 1);
    EXPECT_EQ(rul.GetGlobal(0xFFFFFFFFu), 0.0);
    EXPECT_EQ(RunValues("CArticSrchSelTrk", {}, 1, &v, a), 0);
    EXPECT_EQ(v[0], 0.0);
}

TEST_F(SwingTest, GlobalPutByOneSetIsSeenByAnotherOnALaterNote) {
    CArticWrkEvnt* first = Note(1, 0);
    CArticWrkEvnt* later = Note(2, 480);
    auto* other = new CArticRulSet(&rul, &wrk);
    other->SetSetNo(4);
    rul.AddTail(other);
    auto* out = new CArticRulDataVal(other, 1);
    other->SetDataVal(out);
    ElmList putArgs{Num(7), Num(-2.25)};
    ElmList getArgs{Num(7), Var(out)};
    CExString put("CArticSrchPutGlobal"), get("CArticSrchGetGlobal");
    CArticSrchEvnt* p = nullptr;
    CArticSrchEvnt* g = nullptr;
    ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, put, 1, &putArgs.list, &p), 0);
    ASSERT_EQ(CArticSrchUtil::MakeEvnt(other, get, 1, &getArgs.list, &g), 0);
    made.emplace_back(p);
    made.emplace_back(g);
    EXPECT_EQ(Run(p, first), 0);
    other->SetWrkEvnt(later);
    EXPECT_EQ(g->Search(), 0);
    EXPECT_EQ(out->GetData(), -2.25);
}

TEST_F(SwingTest, SwapsExchangeANoteAttributeWithASlot) {
    CArticWrkEvnt* a = Note(1, 960, 60, 480, 100);
    std::vector<double> v;
    a->SetNoteInfo(1, 240);
    EXPECT_EQ(RunValues("CArticSrchNoteInfoSwapDur", {kThis, 1}, 1, &v, a), 0);
    EXPECT_EQ(a->GetGateTime(), 240);
    EXPECT_EQ(a->GetNoteInfo(1), 480);
    EXPECT_EQ(v[0], 1.0);
    EXPECT_EQ(RunValues("CArticSrchNoteInfoSwapDur", {kThis, 1}, 1, &v, a), 0);
    EXPECT_EQ(a->GetGateTime(), 480);
    EXPECT_EQ(a->GetNoteInfo(1), 240);
    struct Case {
        const char* name;
        LONG slot;
        INT64 (*field)(const CArticWrkEvnt*);
        INT64 want;
    };
    const Case cases[] = {
        {"CArticSrchNoteInfoSwapDur", -5, [](const CArticWrkEvnt* e) { return e->GetGateTime(); }, 0},
        {"CArticSrchNoteInfoSwapKey", 200, [](const CArticWrkEvnt* e) { return INT64(e->GetPost1()); }, 127},
        {"CArticSrchNoteInfoSwapKey", -3, [](const CArticWrkEvnt* e) { return INT64(e->GetPost1()); }, 0},
        {"CArticSrchNoteInfoSwapVelo", 300, [](const CArticWrkEvnt* e) { return INT64(e->GetPost2()); }, 127},
        {"CArticSrchNoteInfoSwapOnTime", 100, [](const CArticWrkEvnt* e) { return e->GetTime(); }, 100},
    };
    for (const Case& c : cases) {
        a->SetNoteInfo(2, c.slot);
        EXPECT_EQ(RunValues(c.name, {kThis, 2}, 1, &v, a), 0) << c.name;
        EXPECT_EQ(c.field(a), c.want) << c.name << " " << c.slot;
        EXPECT_EQ(v[0], 1.0);
    }
    EXPECT_EQ(RunValues("CArticSrchNoteInfoSwapKey", {kThis, 10}, 1, &v, a), 1);
    EXPECT_EQ(v[0], 0.0);
    EXPECT_EQ(Recorded(), "");
}

TEST_F(SwingTest, OnlyTheOnTimeSwapTakesAnyEvent) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticWrkEvnt* meta = wrktest::NewMeta(blk, 2, 480, 0x01, {'x'});
    blk->AddTail(meta, 1);
    meta->SetNoteInfo(0, 960);
    CArticRulDataEvnt* ev = Ev(3);
    ev->SetEvnt(meta, 0);
    CArticRulDataVal* ok = Val(1);
    EXPECT_EQ(Run("CArticSrchNoteInfoSwapVelo", {E(ev), Num(0), Var(ok)}, a), 1);
    EXPECT_EQ(ok->GetData(), 0.0);
    EXPECT_EQ(meta->GetNoteInfo(0), 960);
    EXPECT_EQ(Run("CArticSrchNoteInfoSwapOnTime", {E(ev), Num(0), Var(ok)}, a), 0);
    EXPECT_EQ(ok->GetData(), 1.0);
    EXPECT_EQ(meta->GetTime(), 960);
    EXPECT_EQ(meta->GetNoteInfo(0), 480);
    EXPECT_EQ(blk->Get(blk->GetTailPos()), meta);  // it keeps its place
}

TEST_F(SwingTest, ArraySwapIsOkOnlyWhenEveryExchangeWorked) {
    CArticWrkEvnt* a = Note(1, 0, 60);
    CArticWrkEvnt* b = Note(2, 120, 64);
    a->SetNoteInfo(3, 70);
    b->SetNoteInfo(3, 71);
    std::vector<double> v;
    EXPECT_EQ(RunValues("CArticSrchSwapArrayEvntNoteInfo", {2, 3}, 1, &v, a), 1);  // empty array
    EXPECT_EQ(v[0], 1.0);
    rul.SetRulDataEvnt(0, a);
    rul.SetRulDataEvnt(2, b);
    EXPECT_EQ(RunValues("CArticSrchSwapArrayEvntNoteInfo", {2, 3}, 1, &v, a), 0);
    EXPECT_EQ(v[0], 1.0);
    EXPECT_EQ(a->GetPost1(), 70);
    EXPECT_EQ(b->GetPost1(), 71);
    EXPECT_EQ(b->GetNoteInfo(3), 64);
    EXPECT_EQ(RunValues("CArticSrchSwapArrayEvntNoteInfo", {4, 3}, 1, &v, a), 1);
    EXPECT_EQ(v[0], 0.0);
    EXPECT_EQ(a->GetPost1(), 70);
    EXPECT_EQ(RunValues("CArticSrchSwapArrayEvntNoteInfo", {0, 10}, 1, &v, a), 1);
    EXPECT_EQ(v[0], 0.0);
}

TEST_F(SwingTest, SlotRelativeToTheNotesMeasure) {
    CArticWrkEvnt* a = Note(1, 2500);
    a->SetNoteInfo(0, 2500);
    a->SetNoteInfo(1, 1800);
    a->SetNoteInfo(2, -1);
    std::vector<double> v;
    EXPECT_EQ(RunValues("CArticSrchNoteInfoTimeFromMeas", {kThis, 0}, 1, &v, a), 0);
    EXPECT_EQ(v[0], 580.0);
    EXPECT_EQ(RunValues("CArticSrchNoteInfoTimeFromMeas", {kThis, 1}, 1, &v, a), 0);
    EXPECT_EQ(v[0], 0.0);
    EXPECT_EQ(RunValues("CArticSrchNoteInfoTimeFromMeas", {kThis, 2}, 1, &v, a), 1);
    EXPECT_EQ(RunValues("CArticSrchNoteInfoTimeFromMeas", {kThis, 10}, 1, &v, a), 1);
    EXPECT_EQ(Recorded(), "");
}

TEST_F(SwingTest, SimulatedSwingMapsOnAndOffThroughTheGroup) {
    CArticWrkEvnt* a = Note(1, 240, 60, 240);
    struct Case {
        std::vector<double> in;  // Type, GroupTime, DevNum, Point, PointTime
        double time, dur;
        int result;
    };
    const Case cases[] = {
        {{1, 480, 2, 1, 320}, 320, 160, 0},
        {{0, 480, 2, 1, 320}, 240, 320, 0},  // origin at the note: only the off-time moves
        {{7, 480, 2, 1, 320}, 240, 240, 0},
        {{1, 480, 1, 1, 320}, 0, 0, 1},      // DevNum below 2
        {{1, 0, 2, 1, 320}, 0, 0, 1},        // no group length: refused before aligning
        {{1, -480, 2, 1, 320}, 0, 0, 1},
        {{1, 480, 2, 1, 1e30}, 0, 0, 0},     // saturated PointTime: mapped, no overflow
    };
    std::vector<double> v;
    for (const Case& c : cases) {
        const int result = RunValues("CArticSrchSwing", {c.in[0], kThis, c.in[1], c.in[2], c.in[3], c.in[4]}, 2, &v, a);
        if (c.in[4] > 1e20) {
            EXPECT_GT(v[0], 0.0);
            continue;
        }
        EXPECT_EQ(result, c.result) << c.in[0] << " " << c.in[1] << " " << c.in[2];
        EXPECT_EQ(v, (std::vector<double>{c.time, c.dur})) << c.in[0] << " " << c.in[1] << " " << c.in[2];
        EXPECT_EQ(a->GetTime(), 240);
        EXPECT_EQ(a->GetGateTime(), 240);
    }
}

TEST_F(SwingTest, SlotSwingTakesItsTimesFromTheSlots) {
    CArticWrkEvnt* a = Note(1, 0, 60, 480);
    a->SetNoteInfo(0, 240);
    a->SetNoteInfo(1, 240);
    std::vector<double> v;
    EXPECT_EQ(RunValues("CArticSrchNoteInfoSwing", {1, kThis, 0, 1, 480, 2, 1, 320}, 2, &v, a), 0);
    EXPECT_EQ(v, (std::vector<double>{320, 160}));
    EXPECT_EQ(RunValues("CArticSrchNoteInfoSwing", {1, kThis, 10, 1, 480, 2, 1, 320}, 2, &v, a), 0);
    EXPECT_EQ(v, (std::vector<double>{0, 0}));
    EXPECT_EQ(Recorded(), "");
    a->SetNoteInfo(1, -1);
    EXPECT_EQ(RunValues("CArticSrchNoteInfoSwing", {1, kThis, 0, 1, 480, 2, 1, 320}, 2, &v, a), 1);
    EXPECT_EQ(v, (std::vector<double>{0, 0}));
}
