// Filling the event array (array variables, measures, neighbours, ranges,
// chords) and tagging the events of an array variable.
#include <gtest/gtest.h>

#include "BuiltinFixture.h"
#include "engine/rules/ArticRulUtil.h"

using namespace bitest;

namespace {

struct ArrayFillTest : BuiltinTest {
    using Notes = std::vector<CArticWrkEvnt*>;
};

}  // namespace

TEST_F(ArrayFillTest, ArrayVariableAppendsEveryEventAndCountsTheUsedLength) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticWrkEvnt* cc = wrktest::AddCc(blk, 2, 60, 7, 100);
    CArticWrkEvnt* b = Note(3, 120);
    CArticRulDataVal* n = Val(1);
    EXPECT_EQ(Run("CArticSrchPutArrayEvntAry", {Var(Ary(1, {a, cc, b})), Var(n)}, a), 0);
    EXPECT_EQ(n->GetData(), 3.0);
    EXPECT_EQ(Positions(), (Notes{a, nullptr, b}));
    EXPECT_NE(rul.GetRulDataEvnt(1), nullptr);  // the controller's position holds no note
    EXPECT_EQ(Run("CArticSrchPutArrayEvnt", {Num(-1), E(This())}, a), 0);
    EXPECT_EQ(Positions(), (Notes{a, nullptr, b, a}));
    // Appending after two notes writes the used length, the measure its count.
    CArticWrkEvnt* c = Note(4, 240);
    rul.ClearRulDataEvntArray();
    rul.SetRulDataEvnt(0, a);
    rul.SetRulDataEvnt(1, b);
    EXPECT_EQ(Run("CArticSrchPutArrayEvntAry", {Var(Ary(1, {a, b, c})), Var(n)}, a), 0);
    EXPECT_EQ(n->GetData(), 5.0);
    rul.ClearRulDataEvntArray();
    rul.SetRulDataEvnt(0, a);
    rul.SetRulDataEvnt(1, b);
    Note(5, 1920);  // the next measure
    EXPECT_EQ(Run("CArticSrchPutArrayEvntMeas", {E(This()), Var(n)}, a), 0);
    EXPECT_EQ(n->GetData(), 3.0);
    EXPECT_EQ(Positions(), (Notes{a, b, a, b, c}));
}

TEST_F(ArrayFillTest, NeighboursAppendTheNoteAndWhatExists) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticWrkEvnt* b = Note(2, 120);
    CArticWrkEvnt* c = Note(3, 240);
    CArticRulDataVal* size = Val(1);
    struct Case {
        const char* name;
        CArticWrkEvnt* on;
        double count;
        double size;
        Notes want;
        int result;
    };
    const Case cases[] = {
        {"CArticSrchPutArrayEvntNumNext", a, 3, 3, {a, b, c}, 0},
        {"CArticSrchPutArrayEvntNumNext", b, 3, 2, {b, c}, 0},
        {"CArticSrchPutArrayEvntNumPre", c, 2, 2, {c, b}, 0},
        {"CArticSrchPutArrayEvntNumWrkNext", a, 2, 2, {a, b}, 0},
        {"CArticSrchPutArrayEvntNumWrkPre", c, 9, 3, {c, b, a}, 0},
        {"CArticSrchPutArrayEvntNumNext", a, 1, 1, {a}, 0},
        {"CArticSrchPutArrayEvntNumNext", a, 0, 0, {}, 1},
        {"CArticSrchPutArrayEvntNumWrkNext", a, 0.9, 0, {}, 1},
    };
    for (const Case& k : cases) {
        rul.ClearRulDataEvntArray();
        EXPECT_EQ(Run(k.name, {E(This()), Num(k.count), Var(size)}, k.on), k.result) << k.name << k.count;
        EXPECT_EQ(size->GetData(), k.size) << k.name << k.count;
        EXPECT_EQ(Positions(), k.want) << k.name << k.count;
        EXPECT_EQ(Recorded(), "") << k.name;
    }
}

TEST_F(ArrayFillTest, AreasCheckTheirBoundsAndTakeTheNotesWithin) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticWrkEvnt* b = Note(2, 0, 64);
    CArticWrkEvnt* c = Note(3, 480);
    CArticRulDataVal* n = Val(1, 7.0);
    struct Case {
        const char* name;
        double from, to;
        const char* recorded;
        Notes want;
    };
    const Case cases[] = {
        {"CArticSrchPutArrayEvntArea", 0, 0, "", {a, b}},
        {"CArticSrchPutArrayEvntArea", 1, 480, "", {c}},
        {"CArticSrchPutArrayEvntAreaWrk", 0, 480, "", {a, b, c}},
        {"CArticSrchPutArrayEvntArea", -1, 480, "val2", {}},
        {"CArticSrchPutArrayEvntAreaWrk", 0, -1, "val3", {}},
        {"CArticSrchPutArrayEvntArea", 480, 0, "val3", {}},  // inverted: both reported
    };
    for (const Case& k : cases) {
        rul.ClearRulDataEvntArray();
        const bool ok = k.recorded[0] == 0;
        EXPECT_EQ(Run(k.name, {Var(Val(2, k.from)), Var(Val(3, k.to)), Var(n)}, a), ok ? 0 : 1) << k.from;
        EXPECT_EQ(Recorded(), k.recorded) << k.name << " " << k.from << " " << k.to;
        EXPECT_EQ(n->GetData(), double(k.want.size())) << k.from;
        EXPECT_EQ(Positions(), k.want) << k.from;
    }
}

TEST_F(ArrayFillTest, NoteRangeStandsInForAMissingNoteAndByEventNeedsModeZero) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticWrkEvnt* b = Note(2, 120);
    CArticWrkEvnt* c = Note(3, 240);
    CArticRulDataVal* n = Val(1);
    CArticRulDataEvnt* empty = Ev(1);
    EXPECT_EQ(Run("CArticSrchPutArrayEvntAreaEvnt", {E(empty), E(This())}, b), 1);  // the output missing
    EXPECT_EQ(Run("CArticSrchPutArrayEvntAreaEvnt", {E(empty), E(This()), Var(n)}, b), 0);
    EXPECT_EQ(Positions(), (Notes{b}));
    EXPECT_EQ(empty->GetErrInfo(), 0);
    EXPECT_EQ(Run("CArticSrchPutArrayEvntAreaEvnt", {E(Ev(2, c)), E(Ev(3, a)), Var(n)}, b), 0);
    EXPECT_EQ(n->GetData(), 3.0);
    EXPECT_EQ(Positions(), (Notes{b, a, b, c}));
    EXPECT_EQ(Run("CArticSrchPutArrayEvntAreaEvnt", {E(empty), E(Ev(4)), Var(n)}, b), 1);
    EXPECT_EQ(n->GetData(), 0.0);

    rul.ClearRulDataEvntArray();
    EXPECT_EQ(Run("CArticSrchPutArrayEvntAreaWrkByEvnt", {E(This()), Num(1), Num(0), Num(960), Var(n)}, b), 1);
    EXPECT_EQ(n->GetData(), 0.0);
    EXPECT_EQ(Recorded(), "");
    EXPECT_EQ(Positions(), Notes{});
    EXPECT_EQ(Run("CArticSrchPutArrayEvntAreaWrkByEvnt", {E(This()), Num(0), Num(-5), Num(130), Var(n)}, b), 0);
    EXPECT_EQ(n->GetData(), 2.0);
    EXPECT_EQ(Positions(), (Notes{a, b}));
}

TEST_F(ArrayFillTest, ChordGatheringByOverlapAndWindow) {
    CArticWrkEvnt* c = Note(1, 0, 60);
    CArticWrkEvnt* e = Note(2, 0, 64);
    CArticWrkEvnt* g = Note(3, 0, 67);
    CArticRulDataVal* size = Val(1);
    EXPECT_EQ(Run("CArticSrchPutArrayEvntChord2", {E(This()), Num(30), Num(0.5), Num(240), Var(size)}, c), 0);
    EXPECT_EQ(Positions(), (Notes{g, e, c}));
    EXPECT_EQ(size->GetData(), 3.0);
    rul.ClearRulDataEvntArray();
    EXPECT_EQ(Run("CArticSrchPutArrayEvntChord3", {E(This()), Num(30), Num(0.5), Num(240), Var(size)}, c), 0);
    EXPECT_EQ(Positions(), (Notes{c, e, g}));
    EXPECT_EQ(Run("CArticSrchPutArrayEvntChord2", {E(Ev(1)), Num(30), Num(0.5), Num(240), Var(size)}, c), 1);
    EXPECT_EQ(size->GetData(), 0.0);
}

TEST_F(ArrayFillTest, OverlapBelowTheThresholdEndsTheChord) {
    CArticWrkEvnt* ev = Note(1, 0, 60);
    CArticWrkEvnt* x = Note(2, 361, 64);  // overlaps ev by 119 ticks
    CArticWrkEvnt* y = Note(3, 0, 67);
    CArticRulDataVal* size = Val(1);
    EXPECT_EQ(Run("CArticSrchPutArrayEvntChord2", {E(This()), Num(1000), Num(0.5), Num(240), Var(size)}, ev), 0);
    EXPECT_EQ(Positions(), (Notes{ev}));
    x->SetTime(360, 1);  // 120: taken, and the search goes on
    rul.ClearRulDataEvntArray();
    EXPECT_EQ(Run("CArticSrchPutArrayEvntChord2", {E(This()), Num(1000), Num(0.5), Num(240), Var(size)}, ev), 0);
    EXPECT_EQ(Positions(), (Notes{y, x, ev}));
}

TEST_F(ArrayFillTest, ChordWindowLooksBackAndALargeWindowDoesNotWrap) {
    Note(1, 930);
    CArticWrkEvnt* a = Note(2, 940);
    CArticWrkEvnt* ev = Note(3, 1000);
    CArticWrkEvnt* b = Note(4, 1001);
    CArticWrkEvnt* far = Note(5, 1000000);
    CArticRulDataVal* size = Val(1);
    EXPECT_EQ(Run("CArticSrchPutArrayEvntChord", {E(This()), Num(-60), Var(size)}, ev), 0);
    EXPECT_EQ(Positions(), (Notes{a, ev}));
    EXPECT_EQ(size->GetData(), 2.0);
    for (double window : {2147483647.0, 1e30}) {
        rul.ClearRulDataEvntArray();
        EXPECT_EQ(Run("CArticSrchPutArrayEvntChord", {E(This()), Num(window), Var(size)}, ev), 0);
        EXPECT_EQ(Positions(), (Notes{ev, b, far})) << window;
    }
}

TEST_F(ArrayFillTest, HarmonyTrimsTheNoteAtBothEnds) {
    CArticWrkEvnt* ev = Note(1, 0, 60, 300);
    CArticWrkEvnt* other = Note(2, 100, 64, 100);
    CArticRulDataVal* size = Val(1, 9.0);
    EXPECT_EQ(Run("CArticSrchPutArrayEvntHarmo", {E(This()), Num(200), Var(size)}, ev), 0);
    EXPECT_EQ(Positions(), Notes{});
    EXPECT_EQ(size->GetData(), 0.0);
    EXPECT_EQ(Run("CArticSrchPutArrayEvntHarmo", {E(This()), Num(100), Var(size)}, ev), 0);
    EXPECT_EQ(Positions(), (Notes{ev, other}));
    EXPECT_EQ(Run("CArticSrchPutArrayEvntHarmo", {E(This()), Num(-1), Var(size)}, ev), 1);
    EXPECT_EQ(Recorded(), "-1");
}

TEST_F(ArrayFillTest, SlotsOfEveryEventOfAnArrayVariable) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticWrkEvnt* cc = wrktest::AddCc(blk, 2, 0, 7, 100);
    CArticRulDataAry* ary = Ary(1, {a, cc});
    EXPECT_EQ(Run("CArticSrchSetAryNoteInfoType", {Num(0), Var(ary), Num(2), Num(5)}, a), 0);
    EXPECT_EQ(a->GetNoteInfo(2), 0);
    EXPECT_EQ(Run("CArticSrchSetAryNoteInfoType", {Num(1), Var(ary), Num(2), Num(5)}, a), 0);
    EXPECT_EQ(a->GetNoteInfo(2), 5);
    EXPECT_EQ(cc->GetNoteInfo(2), 5);
    EXPECT_EQ(Run("CArticSrchSetAryNoteInfoType", {Num(1), Var(ary), Var(Val(2, 10)), Num(6)}, a), 1);
    EXPECT_EQ(Recorded(), "val2");
    struct Case {
        LONG before;
        double bit, b;
        LONG after;
    };
    const Case cases[] = {{0, 3, 1, 8}, {15, 3, 0, 7}, {15, 32, 0, 15}, {0, 31, 1, -2147483647 - 1}, {15, -1, 0, 15}};
    for (const Case& k : cases) {
        a->SetNoteInfo(0, k.before);
        EXPECT_EQ(Run("CArticSrchSetAryNoteInfoBitType", {Num(1), Var(ary), Num(0), Num(k.bit), Num(k.b)}, a), 0);
        EXPECT_EQ(a->GetNoteInfo(0), k.after) << k.bit;
    }
}

TEST_F(ArrayFillTest, AppendPastTheIndexLimitIsRefusedWhole) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticWrkEvnt* b = Note(2, 120);
    rul.SetRulDataEvnt(kMaxRulIndex - 1, a);  // one place left below the limit
    const int size = rul.GetRulDataEvntArray()->GetSize();
    CArticRulDataVal* n = Val(1, 5.0);
    EXPECT_EQ(Run("CArticSrchPutArrayEvntAry", {Var(Ary(1, {a, b, a})), Var(n)}, a), 1);
    EXPECT_EQ(n->GetData(), 0.0);
    EXPECT_FALSE(ErrList::LastContent().IsEmpty());
    EXPECT_EQ(rul.GetRulDataEvntArray()->GetSize(), size);
    EXPECT_EQ(rul.GetRulDataEvnt(kMaxRulIndex), nullptr);
    // One still fits.
    EXPECT_EQ(Run("CArticSrchPutArrayEvntAry", {Var(Ary(1, {b})), Var(n)}, a), 0);
    EXPECT_EQ(n->GetData(), double(kMaxRulIndex) + 1);
    EXPECT_EQ(rul.GetRulDataEvnt(kMaxRulIndex)->GetEvnt(0), b);
}

TEST_F(ArrayFillTest, AnAreaRunAgainTakesOnlyTheNotesOfItsOwnArea) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticWrkEvnt* b = Note(2, 0, 64);
    CArticWrkEvnt* c = Note(3, 480);
    CArticRulDataVal* from = Val(2, 0.0);
    CArticRulDataVal* to = Val(3, 480.0);
    CArticRulDataVal* n = Val(1);
    // One built-in run over and over, as a script runs it note after note
    // (the later runs are answered from the note index).
    CArticSrchEvnt* area = Make("CArticSrchPutArrayEvntAreaWrk", {Var(from), Var(to), Var(n)});
    struct Case {
        double from, to;
        bool clearFirst;
        Notes want;
        double count;
    };
    const Case cases[] = {
        {0, 480, true, {a, b, c}, 3}, {1, 480, true, {c}, 1},     {500, 600, false, {c}, 0},
        {0, 0, false, {c, a, b}, 2},  {0, 480, true, {a, b, c}, 3}, {480, 480, true, {c}, 1},
    };
    for (const Case& k : cases) {
        if (k.clearFirst) rul.ClearRulDataEvntArray();
        from->SetData(k.from);
        to->SetData(k.to);
        EXPECT_EQ(Run(area, a), 0) << k.from << " " << k.to;
        EXPECT_EQ(n->GetData(), k.count) << k.from << " " << k.to;
        EXPECT_EQ(Positions(), k.want) << k.from << " " << k.to;
    }
}
