// The nearest note a rule set rated above 0, in both orders and from either
// the current note or a note operand.
#include <gtest/gtest.h>

#include "BuiltinFixture.h"

using namespace bitest;

namespace {
using ProbTest = TwoTrackTest;
}

TEST_F(ProbTest, WorkOrderStepsOverBothTracks) {
    n[2]->SetProb(3, 0.5);
    n[5]->SetProb(3, 1.0);
    n[6]->SetProb(3, 0.0);  // exactly 0: skipped
    CArticRulDataEvnt* e1 = Ev(1);
    CArticRulDataEvnt* e2 = Ev(2);
    CArticRulDataVal* f1 = Val(1);
    CArticRulDataVal* f2 = Val(2);
    EXPECT_EQ(Run("CArticSrchProbWrkPre", {Num(3), Var(e1), Var(f1)}, n[7]), 0);
    EXPECT_EQ(e1->GetEvnt(0), n[5]);
    EXPECT_EQ(f1->GetData(), 1.0);
    EXPECT_EQ(Run("CArticSrchProbWrkPre2", {Num(3), E(e1), Var(e2), Var(f2)}, n[7]), 0);
    EXPECT_EQ(e2->GetEvnt(0), n[2]);
    EXPECT_EQ(f2->GetData(), 1.0);
    EXPECT_EQ(Run("CArticSrchProbWrkNext2", {Num(3), E(Ev(3, n[2])), Var(e2), Var(f2)}, n[7]), 0);
    EXPECT_EQ(e2->GetEvnt(0), n[5]);
    EXPECT_EQ(Run("CArticSrchProbWrkNext", {Num(3), Var(e2), Var(f2)}, n[5]), 0);
    EXPECT_EQ(e2->GetEvnt(0), nullptr);
    EXPECT_EQ(f2->GetData(), 0.0);

    // From the first note nothing lies before: no event, 0.0, success.
    EXPECT_EQ(Run("CArticSrchProbWrkPre", {Num(3), Var(e1), Var(f1)}, n[1]), 0);
    EXPECT_EQ(e1->GetEvnt(0), nullptr);
    EXPECT_EQ(f1->GetData(), 0.0);
}

TEST_F(ProbTest, BlockOrderStaysOnTheString) {
    n[1]->SetProb(4, 1.0);  // string 1
    n[3]->SetProb(4, 1.0);  // string 2
    n[9]->SetProb(4, 0.2);
    CArticRulDataEvnt* e1 = Ev(1);
    CArticRulDataVal* f1 = Val(1);
    EXPECT_EQ(Run("CArticSrchProbPre", {Num(4), Var(e1), Var(f1)}, n[7]), 0);
    EXPECT_EQ(e1->GetEvnt(0), n[1]);
    EXPECT_EQ(Run("CArticSrchProbNext", {Num(4), Var(e1), Var(f1)}, n[1]), 0);
    EXPECT_EQ(e1->GetEvnt(0), n[9]);
    EXPECT_EQ(Run("CArticSrchProbNext2", {Num(4), E(Ev(2, n[3])), Var(e1), Var(f1)}, n[1]), 0);
    EXPECT_EQ(e1->GetEvnt(0), nullptr);  // nothing later on string 2
    EXPECT_EQ(Run("CArticSrchProbPre2", {Num(4.9), E(Ev(2, n[9])), Var(e1), Var(f1)}, n[1]), 0);
    EXPECT_EQ(e1->GetEvnt(0), n[1]);
}

TEST_F(ProbTest, FailuresWriteNoEventAndZero) {
    n[9]->SetProb(3, 1.0);
    CArticRulDataEvnt* e1 = Ev(1, n[5]);
    CArticRulDataVal* f1 = Val(1, 7.0);
    EXPECT_EQ(Run("CArticSrchProbNext", {Num(-1), Var(e1), Var(f1)}, n[1]), 1);
    EXPECT_EQ(e1->GetEvnt(0), nullptr);
    EXPECT_EQ(f1->GetData(), 0.0);
    EXPECT_EQ(Recorded(), "");
    // The 2-variants leave the flag that a failed relation set.
    Ev(1, n[5]);
    EXPECT_EQ(Run("CArticSrchProbPre2", {Num(3), E(This(), kElmPre), Var(e1), Var(f1)}, n[1]), 1);
    EXPECT_EQ(e1->GetEvnt(0), nullptr);
    EXPECT_EQ(ErrFlag(n[1]), 1);
    EXPECT_EQ(Recorded(), "");
    n[1]->SetErr(kSetNo, 0);
    EXPECT_EQ(Run("CArticSrchProbPre", {Text("x"), Var(e1), Var(f1)}, n[1]), 1);
    EXPECT_EQ(Recorded(), "x");
}
