// Searched flags on one note, on a range of event numbers and on the notes
// of an array, and their effect on the driver.
#include <gtest/gtest.h>

#include "BuiltinFixture.h"
#include "engine/expressions/ArticExp.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticCreExpMgr.h"
#include "engine/rules/RulSetFixture.h"

using namespace bitest;

namespace {
using SearchedTest = TwoTrackTest;

std::vector<ULONG> Searched(CArticWrkEvnt* const* notes, int count, ULONG setNo) {
    std::vector<ULONG> out;
    for (int i = 0; i < count; ++i)
        if (notes[i] && notes[i]->GetSearch(setNo)) out.push_back(notes[i]->GetEvntNo());
    return out;
}
}  // namespace

TEST_F(SearchedTest, OneNoteBySwitchAndSetNumber) {
    struct Case {
        double sw, setNo;
        int result;
        const char* recorded;
        bool flagged;
    };
    const Case cases[] = {
        {0.5, 6, 0, "", false}, {-1, 6, 0, "", false}, {1, 6, 0, "", true},
        {1, -1, 1, "-1", false}, {1, 2e6, 1, "2000000", false},  // beyond what a note holds
    };
    for (const Case& c : cases) {
        CArticWrkEvnt* target = n[9];
        target->ClearSearchArray();
        EXPECT_EQ(Run("CArticSrchSetSearched", {Num(c.sw), E(This(), kElmNext), Num(c.setNo)}, n[7]), c.result)
            << c.sw << " " << c.setNo;
        EXPECT_EQ(Recorded(), c.recorded) << c.setNo;
        EXPECT_EQ(target->GetSearch(6) != 0, c.flagged) << c.sw << " " << c.setNo;
    }
    EXPECT_EQ(Run("CArticSrchSetSearchedThis", {Num(1), E(This())}, n[3]), 0);
    EXPECT_EQ(n[3]->GetSearch(kSetNo), 1);
    // A missing note sets nothing and records nothing.
    EXPECT_EQ(Run("CArticSrchSetSearched", {Num(1), E(Ev(4)), Num(6)}, n[3]), 1);
    EXPECT_EQ(Recorded(), "");
}

TEST_F(SearchedTest, AreaFlagsEveryNoteNumberedBetweenInEitherOrder) {
    EXPECT_EQ(Run("CArticSrchSetSearchedArea", {Num(1), E(Ev(1, n[3])), E(Ev(2, n[7])), Num(5)}, n[1]), 0);
    EXPECT_EQ(Searched(n, 11, 5), (std::vector<ULONG>{3, 4, 5, 6, 7}));  // track 2's 4 and 6 too
    EXPECT_EQ(Run("CArticSrchSetSearchedArea", {Num(1), E(Ev(1, n[7])), E(Ev(2, n[3])), Num(6)}, n[1]), 0);
    EXPECT_EQ(Searched(n, 11, 6), Searched(n, 11, 5));
    EXPECT_EQ(Run("CArticSrchSetSearchedAreaThis", {Num(1), E(Ev(1, n[9])), E(Ev(2, n[9]))}, n[1]), 0);
    EXPECT_EQ(Searched(n, 11, kSetNo), (std::vector<ULONG>{9}));
    EXPECT_EQ(Run("CArticSrchSetSearchedArea", {Num(0), E(Ev(1, n[1])), E(Ev(2, n[9])), Num(7)}, n[1]), 0);
    EXPECT_TRUE(Searched(n, 11, 7).empty());
}

TEST_F(SearchedTest, ArrayFlagsItsNotesOnly) {
    CArticWrkEvnt* cc = wrktest::AddCc(blk, 40, 100, 7, 90);
    CArticRulDataAry* ary = Ary(1, {cc, n[2], n[5]});
    EXPECT_EQ(Run("CArticSrchSetSearchedAry", {Num(0), Num(8), Var(ary)}, n[1]), 0);
    EXPECT_TRUE(Searched(n, 11, 8).empty());
    EXPECT_EQ(Run("CArticSrchSetSearchedAry", {Num(1), Num(8), Var(ary)}, n[1]), 0);
    EXPECT_EQ(Searched(n, 11, 8), (std::vector<ULONG>{2, 5}));
    EXPECT_EQ(cc->GetSearch(8), 0);
    EXPECT_EQ(Run("CArticSrchSetSearchedAryThis", {Num(1), Var(ary)}, n[1]), 0);
    EXPECT_EQ(Searched(n, 11, kSetNo), (std::vector<ULONG>{2, 5}));
    // A value array is refused and reported.
    EXPECT_EQ(Run("CArticSrchSetSearchedAry", {Num(1), Num(9), Var(VAry(2))}, n[1]), 1);
    EXPECT_EQ(Recorded(), "vary2");
}

namespace {

// Takes every text handed on and leaves one expression per text.
struct TakeAll : CArticExpReceiver {
    int LoadExpEvnt(CString, ULONG evntNo, CArticExpTrk*, CArticExpBlk* blk) override {
        blk->AddTail(new CArticExpEvnt(blk, evntNo));
        return 0;
    }
};

struct SearchedRunTest : rultest::RulSetTest {
    CArticExp exp;
    CArticLoadMgr loader{&wrk, &rul};
    CArticCreExpMgr mgr{&wrk, &exp, &rul};
    TakeAll receiver;
};

}  // namespace

TEST_F(SearchedRunTest, FlaggedNextNoteIsSkippedByThatSetOnly) {
    CStringList lines;
    Lines({"#set:4", "#func1:CArticSrchSetSearchedThis(1, _thisEvnt.Next)", "#prob:1",
           "#exp1:CArticExpDurAbs(1{_thisEvnt}, 10)", "#set:5", "#prob:1", "#exp1:CArticExpDurAbs(1{_thisEvnt}, 20)"},
          lines);
    ASSERT_EQ(loader.LoadRul(lines), 0);
    wrktest::AddBlock(wrktest::AddTrack(wrk, 0, 0));
    AddNotes({100, 100, 100, 100});
    mgr.SetProcDialog(&receiver);
    ASSERT_EQ(mgr.Create(), 0);
    const double prob4[] = {1, 0, 1, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(notes[size_t(i)]->GetProb(4), prob4[i]) << i;
        EXPECT_DOUBLE_EQ(notes[size_t(i)]->GetProb(5), 1.0) << i;
    }
}
