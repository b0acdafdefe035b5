// The event array read as a whole: searches, copies into array variables,
// the processing range and running totals of a slot; and the group
// evaluations (spacing, arpeggio figures, ranges).
#include <gtest/gtest.h>

#include <cstdint>

#include "BuiltinFixture.h"
#include "services/ArticTimeInfo.h"

using namespace bitest;

namespace {
using ArrayReadTest = BuiltinTest;
}  // namespace

TEST_F(ArrayReadTest, SearchByKeyTimeAndStringFindsTheFirstMatchFromEitherEnd) {
    CArticWrkEvnt* a = Fingered(1, 479, 2, 60);
    CArticWrkEvnt* b = Fingered(2, 480, 3, 64);
    CArticWrkEvnt* c = Fingered(3, 481, 2, 60);
    Fill({a, b, c});
    CArticRulDataEvnt* out = Ev(1);
    struct Case {
        double kind, value;
        CArticWrkEvnt* want;
        int result;
    };
    const Case cases[] = {
        {0, 60, a, 0}, {1, 60, c, 0}, {0, 316, a, 0},  // the low byte of 316 is 60
        {2, 480, b, 0}, {3, 480, b, 0}, {2, 482, nullptr, 0}, {2, 4294967296.0 + 480, nullptr, 0},
        {4, 2, a, 0}, {5, 2, c, 0}, {4, 9, nullptr, 0},
        {6, 60, nullptr, 1}, {-1, 60, nullptr, 1},  // unknown kinds fail silently
    };
    for (const Case& k : cases) {
        out->SetEvnt(a, 1);
        EXPECT_EQ(Run("CArticSrchGetArrayEvntType", {Num(k.kind), Num(k.value), Var(out)}, a), k.result)
            << k.kind << " " << k.value;
        EXPECT_EQ(out->GetEvnt(0), k.want) << k.kind << " " << k.value;
        EXPECT_EQ(Recorded(), "") << k.kind;
    }
    // A negative value is reported.
    EXPECT_EQ(Run("CArticSrchGetArrayEvntType", {Num(0), Var(Val(2, -60)), Var(out)}, a), 1);
    EXPECT_EQ(Recorded(), "val2");
    EXPECT_EQ(out->GetEvnt(0), nullptr);
}

TEST_F(ArrayReadTest, CopiesSkipEmptyPositionsAndDuplicatesAreListedOnce) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticWrkEvnt* b = Note(2, 120);
    Fill({a, b, nullptr, a});
    CArticRulDataAry* ary = Ary(1, {b, b, b, b, b});
    CArticRulDataVal* n = Val(1);
    EXPECT_EQ(Run("CArticSrchGetArrayEvntAry", {Var(ary), Var(n)}, a), 0);
    EXPECT_EQ(Events(ary), (std::vector<CArticWrkEvnt*>{a, b, a}));
    EXPECT_EQ(n->GetData(), 3.0);
    EXPECT_EQ(Run("CArticSrchGetDupArrayEvnt", {Var(ary), Var(n)}, a), 0);
    EXPECT_EQ(Events(ary), (std::vector<CArticWrkEvnt*>{a}));
    EXPECT_EQ(n->GetData(), 1.0);
    // A value array is refused: recorded, the count 0.0.
    EXPECT_EQ(Run("CArticSrchGetArrayEvntAry", {Var(VAry(1)), Var(n)}, a), 1);
    EXPECT_EQ(Recorded(), "vary1");
    EXPECT_EQ(n->GetData(), 0.0);
}

TEST_F(ArrayReadTest, HarmonyAtANoteEndsExclusively) {
    CArticWrkEvnt* early = Note(1, 0, 60, 480);
    CArticWrkEvnt* late = Note(2, 480, 64, 480);
    CArticWrkEvnt* longer = Note(3, 0, 67, 481);
    Fill({early, late, longer});
    CArticRulDataAry* ary = Ary(1);
    CArticRulDataVal* n = Val(1);
    EXPECT_EQ(Run("CArticSrchGetHarmoArrayEvntAry", {E(This()), Var(ary), Var(n)}, late), 0);
    EXPECT_EQ(Events(ary), (std::vector<CArticWrkEvnt*>{late, longer}));
    EXPECT_EQ(n->GetData(), 2.0);
    // Not a note: result 1, count 0.0, the array variable untouched.
    CArticWrkEvnt* cc = wrktest::AddCc(blk, 4, 480, 7, 100);
    EXPECT_EQ(Run("CArticSrchGetHarmoArrayEvntAry", {E(Ev(2, cc)), Var(ary), Var(n)}, late), 1);
    EXPECT_EQ(n->GetData(), 0.0);
    EXPECT_EQ(Events(ary).size(), 2u);
}

TEST_F(ArrayReadTest, ProcessingRangeComesFromTheTimeSection) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticRulDataVal* s = Val(1, 5.0);
    CArticRulDataVal* e = Val(2, 5.0);
    EXPECT_EQ(Run("CArticSrchProcArea", {Var(s), Var(e)}, a), 1);
    EXPECT_EQ(s->GetData(), 0.0);
    EXPECT_EQ(e->GetData(), 0.0);
    CArticTimeInfo section;
    section.SetTimeS(0);
    section.SetTimeE(1920);
    rul.SetTimeInfo(&section);
    EXPECT_EQ(Run("CArticSrchProcArea", {Var(s), Var(e)}, a), 0);
    EXPECT_EQ(s->GetData(), 0.0);
    EXPECT_EQ(e->GetData(), 1920.0);
    rul.SetTimeInfo(nullptr);
}

TEST_F(ArrayReadTest, RunningTotalOfASlotSaturatesInsteadOfOverflowing) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticWrkEvnt* b = Note(2, 120);
    CArticWrkEvnt* c = Note(3, 240);
    struct Case {
        std::vector<LONG> slots;
        double v;
        std::vector<LONG> want;
    };
    const Case cases[] = {
        {{1, 2, 3}, 10, {11, 13, 16}},
        {{2147483647, 1, 0}, 0, {2147483647, 2147483647, 2147483647}},
        // The total runs on in 64 bits below the stored minimum.
        {{-2147483647 - 1, -1, 5}, 0, {-2147483647 - 1, -2147483647 - 1, -2147483647 + 3}},
        {{1, 1, 1}, -3.7, {-2, -1, 0}},
    };
    Fill({a, nullptr, b, c});
    for (const Case& k : cases) {
        a->SetNoteInfo(4, k.slots[0]);
        b->SetNoteInfo(4, k.slots[1]);
        c->SetNoteInfo(4, k.slots[2]);
        EXPECT_EQ(Run("CArticSrchAddArrayEvntNoteInfo", {Num(4), Num(k.v)}, a), 0);
        EXPECT_EQ((std::vector<LONG>{a->GetNoteInfo(4), b->GetNoteInfo(4), c->GetNoteInfo(4)}), k.want) << k.v;
    }
    // A slot out of range is reported and nothing changes.
    EXPECT_EQ(Run("CArticSrchAddArrayEvntNoteInfo", {Var(Val(3, 10)), Num(1)}, a), 1);
    EXPECT_EQ(Recorded(), "val3");
    EXPECT_EQ(a->GetNoteInfo(4), 1 - 3);
}

TEST_F(ArrayReadTest, ArpeggioFigureNeedsRepeatedShapeSpanAndAFreshStart) {
    struct Case {
        std::vector<int> keys;
        double want;
    };
    const Case cases[] = {
        {{60, 64, 67, 60, 64, 67}, 3},  // g 2 fails on its shapes, g 3 repeats
        {{60, 62, 64, 65, 67, 69}, 0},  // a scale: every group rises into the next
        {{60, 64, 60, 64}, 2},
        {{60, 64, 67}, 0},              // too few notes
        {{60, 60, 60, 60}, 0},          // no direction
        {{67, 64, 60, 67, 64, 60}, 3},  // falling figures restarting above
    };
    for (const Case& k : cases) {
        rul.ClearRulDataEvntArray();
        ULONG no = 1;
        for (int key : k.keys) {
            rul.SetRulDataEvnt(no - 1, Note(no + 100 * ULONG(&k - cases), INT64(no - 1) * 120, BYTE(key)));
            ++no;
        }
        double out = -1;
        EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntArp", {0}, &out), 0);
        EXPECT_EQ(out, k.want) << k.keys.size() << " notes from " << k.keys[0];
    }
}

TEST_F(ArrayReadTest, ArpeggioSpanToleranceIsInclusive) {
    const int keys[] = {60, 64, 67, 60, 64, 67};
    ULONG no = 1;
    for (int key : keys) {
        const INT64 t = INT64(no - 1) * 120 + (no == 6 ? 10 : 0);  // the second group spans 250
        rul.SetRulDataEvnt(no - 1, Note(no, t, BYTE(key)));
        ++no;
    }
    double out = -1;
    EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntArp", {10}, &out), 0);
    EXPECT_EQ(out, 3.0);
    EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntArp", {9}, &out), 0);
    EXPECT_EQ(out, 0.0);
    // A negative tolerance is reported; an empty array fails.
    EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntArp", {-1}, &out), 1);
    EXPECT_EQ(Recorded(), "-1");
    rul.ClearRulDataEvntArray();
    EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntArp", {0}, &out), 1);
    EXPECT_EQ(out, 0.0);
}

TEST_F(ArrayReadTest, SpacingTestsEveryTimeConsecutivePair) {
    CArticWrkEvnt* a = Note(1, 0, 60, 100);
    CArticWrkEvnt* b = Note(2, 109, 62);
    CArticWrkEvnt* c = Note(3, 110, 65);
    double out = -1;
    Fill({b, a});  // sorted by time before the test
    EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntType", {0, 10}, &out), 0);
    EXPECT_EQ(out, 1.0);
    Fill({a, c});
    EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntType", {0, 10}, &out), 0);
    EXPECT_EQ(out, 0.0);
    EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntType", {1, 111}, &out), 0);
    EXPECT_EQ(out, 1.0);
    Fill({a});
    EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntType", {0, 10}, &out), 0);
    EXPECT_EQ(out, 0.0);
    // Keys 60 62 65: the step of 3 is not below 3; 60 62 64 passes.
    Fill({a, b, c});
    EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntType", {2, 3}, &out), 0);
    EXPECT_EQ(out, 0.0);
    c->SetPost1(64);
    EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntType", {2, 3}, &out), 0);
    EXPECT_EQ(out, 1.0);
    EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntType", {3, 3}, &out), 1);
    EXPECT_EQ(Recorded(), "");
    EXPECT_EQ(out, 0.0);
    EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntType", {0, -1}, &out), 1);
    EXPECT_EQ(Recorded(), "-1");
}

TEST_F(ArrayReadTest, RangesOfKeyGateAndVelocity) {
    CArticWrkEvnt* a = Note(1, 0, 60, 100, 90);
    CArticWrkEvnt* b = Note(2, 120, 61, 4294967296LL + 7, 101);
    Fill({a, nullptr, b});
    struct Case {
        double kind, want;
    };
    // Gate maxima compare 64 bits and give the low 32; averages sum 32 bits.
    const Case cases[] = {{0, 61}, {1, 60}, {2, 61}, {3, 7}, {4, 100}, {5, 54}, {6, 101}, {7, 90}, {8, 96}};
    for (const Case& k : cases) {
        double out = -1;
        EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntRng", {k.kind}, &out), 0) << k.kind;
        EXPECT_EQ(out, k.want) << k.kind;
    }
    double out = -1;
    EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntRng", {9}, &out), 1);
    EXPECT_EQ(out, 0.0);
    EXPECT_EQ(Recorded(), "");
    rul.ClearRulDataEvntArray();
    EXPECT_EQ(RunValue("CArticSrchEvaArrayEvntRng", {0}, &out), 1);
    EXPECT_EQ(out, 0.0);
}
