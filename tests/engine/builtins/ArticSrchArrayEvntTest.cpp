// One position of the rule program's event array: read, store, append.
#include <gtest/gtest.h>

#include "BuiltinFixture.h"

using namespace bitest;

namespace {
using ArrayEvntTest = BuiltinTest;
}

TEST_F(ArrayEvntTest, StoreAtAnIndexGrowsInStepsOfFiveAndReadsBack) {
    CArticWrkEvnt* n = Note(1, 0);
    EXPECT_EQ(Run("CArticSrchPutArrayEvnt", {Num(5), E(This())}, n), 0);
    EXPECT_EQ(rul.GetRulDataEvntArray()->GetSize(), 10);
    CArticRulDataEvnt* out = Ev(1, n);
    struct Case {
        double idx;
        CArticWrkEvnt* want;
        int result;
    };
    for (const Case& c : {Case{3, nullptr, 0}, Case{5, n, 0}, Case{5.7, n, 0}, Case{-1, nullptr, 1},
                          Case{10, nullptr, 0}, Case{1e12, nullptr, 0}}) {
        Ev(1, n);
        EXPECT_EQ(Run("CArticSrchGetArrayEvnt", {Num(c.idx), Var(out)}, n), c.result) << c.idx;
        EXPECT_EQ(out->GetEvnt(0), c.want) << c.idx;
        EXPECT_EQ(Recorded(), "") << c.idx;
    }
}

TEST_F(ArrayEvntTest, NegativeIndexAppendsAfterTheLastNote) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticWrkEvnt* b = Note(2, 480);
    EXPECT_EQ(Run("CArticSrchPutArrayEvnt", {Num(-1), E(This())}, a), 0);
    EXPECT_EQ(Run("CArticSrchPutArrayEvnt", {Num(-1), E(This())}, b), 0);
    EXPECT_EQ(rul.GetRulDataEvnt(0)->GetEvnt(0), a);
    EXPECT_EQ(rul.GetRulDataEvnt(1)->GetEvnt(0), b);
    // Switched off: nothing stored.
    EXPECT_EQ(Run("CArticSrchPutArrayEvntType", {Num(0), Num(2), E(This())}, a), 0);
    EXPECT_EQ(rul.GetRulDataEvnt(2), nullptr);
    EXPECT_EQ(Run("CArticSrchPutArrayEvntType", {Num(1), Num(2), E(This())}, a), 0);
    EXPECT_EQ(rul.GetRulDataEvnt(2)->GetEvnt(0), a);
    // A missing note stores nothing.
    EXPECT_EQ(Run("CArticSrchPutArrayEvnt", {Num(3), E(Ev(4))}, a), 1);
    EXPECT_EQ(rul.GetRulDataEvnt(3), nullptr);
    EXPECT_EQ(ErrFlag(a), 0);
}

TEST_F(ArrayEvntTest, IndexBeyondTheLimitIsRefusedAndTheArrayKept) {
    CArticWrkEvnt* a = Note(1, 0);
    EXPECT_EQ(Run("CArticSrchPutArrayEvnt", {Num(-1), E(This())}, a), 0);
    for (double idx : {2000000.0, 4294967296.0 + 3, 1e30}) {
        EXPECT_EQ(Run("CArticSrchPutArrayEvnt", {Num(idx), E(This())}, a), 1) << idx;
        EXPECT_EQ(rul.GetRulDataEvntArray()->GetSize(), 5) << idx;
        EXPECT_EQ(Recorded(), "") << idx;
    }
    EXPECT_EQ(rul.GetRulDataEvnt(3), nullptr);
    EXPECT_EQ(rul.GetTailElmNoRulDataEvnt(), 0);
}
