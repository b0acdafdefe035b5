// The program's shared event array: sorts, removals, searches and
// evaluations on small hand-made notes.
#include <gtest/gtest.h>

#include <vector>

#include "RulesFixture.h"

namespace {

struct EvntArrayTest : ::testing::Test {
    CArticWrk wrk;
    CArticRul rul{&wrk};
    CArticWrkBlk* blk = wrktest::AddBlock(wrktest::AddTrack(wrk, 1));
    std::vector<CArticWrkEvnt*> n;
    CArticWrkEvnt* Note(INT64 time, BYTE key, INT64 gate = 100) {
        n.push_back(wrktest::AddNote(blk, ULONG(n.size() + 1), time, key, gate));
        return n.back();
    }
    std::vector<CArticWrkEvnt*> Held() {
        std::vector<CArticWrkEvnt*> out;
        for (ULONG i = 0; CArticRulDataEvnt* e = rul.GetRulDataEvnt(i); ++i) out.push_back(e->GetEvnt(0));
        return out;
    }
};

}  // namespace

TEST_F(EvntArrayTest, SortsDropEmptySlotsAndKeepEqualKeysInOrder) {
    CArticWrkEvnt* a = Note(0, 64);
    CArticWrkEvnt* b = Note(100, 60);
    CArticWrkEvnt* c = Note(200, 64);
    rul.SetRulDataEvnt(0, a);
    rul.SetRulDataEvnt(2, b);
    rul.SetRulDataEvnt(4, c);
    EXPECT_EQ(rul.SortFwdKeyRulDataEvntArray(), 3);
    EXPECT_EQ(Held(), (std::vector<CArticWrkEvnt*>{b, a, c}));
    EXPECT_EQ(rul.SortRvsKeyRulDataEvntArray(), 3);
    EXPECT_EQ(Held(), (std::vector<CArticWrkEvnt*>{a, c, b}));
    EXPECT_EQ(rul.SortRvsTimeRulDataEvntArray(), 3);
    EXPECT_EQ(Held(), (std::vector<CArticWrkEvnt*>{c, b, a}));
    EXPECT_EQ(rul.SortFwdGenRulDataEvntArray(), 3);  // no fingering: all string 0, order kept
    EXPECT_EQ(Held(), (std::vector<CArticWrkEvnt*>{c, b, a}));
}

TEST_F(EvntArrayTest, RemovalsAndCleanUps) {
    CArticWrkEvnt* a = Note(480, 60);
    CArticWrkEvnt* b = Note(480, 62);
    CArticWrkEvnt* c = Note(500, 64);
    rul.SetRulDataEvnt(0, a);
    rul.SetRulDataEvnt(1, b);
    rul.SetRulDataEvnt(2, c);
    rul.SetRulDataEvnt(3, a);
    EXPECT_EQ(rul.ClearDupRulDataEvntArray(), 3);
    EXPECT_EQ(rul.RmvTimeCmpRulDataEvntArray(0), 2);
    EXPECT_EQ(Held(), (std::vector<CArticWrkEvnt*>{a, b}));
    CArticWrkEvntList drop;
    drop.AddTail(a);
    EXPECT_EQ(rul.ClearExvRulDataEvntArray(&drop), 1);
    EXPECT_EQ(rul.RmvAttriRulDataEvntArray(5, 0), 0);
    EXPECT_EQ(rul.GetTailElmNoRulDataEvnt(), -1);
    rul.SetRulDataEvnt(1, b);  // slot 0 empty
    EXPECT_EQ(rul.RmvTimeCmpRulDataEvntArray(100), 0);
}

TEST_F(EvntArrayTest, SearchesAndEvaluations) {
    CArticWrkEvnt* a = Note(0, 60, 100);
    CArticWrkEvnt* b = Note(150, 64, 100);
    rul.SetRulDataEvnt(0, b);
    rul.SetRulDataEvnt(1, a);
    CArticWrkEvnt* found = a;
    EXPECT_EQ(rul.SearchFwdTimeRulDataEvntArray(7, &found), 0);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(rul.SearchRvsKeyRulDataEvntArray(64, &found), 0);
    EXPECT_EQ(found, b);
    // b starts 50 ticks after a ends.
    EXPECT_EQ(rul.GapTimeRulDataEvntArray(50), 0);
    EXPECT_EQ(rul.GapTimeRulDataEvntArray(51), 1);
    EXPECT_EQ(rul.IntervalTimeRulDataEvntArray(150), 0);
    EXPECT_EQ(rul.IntervalTimeRulDataEvntArray(151), 1);
    EXPECT_EQ(rul.IntervalKeyRulDataEvntArray(4), 0);
    EXPECT_EQ(rul.IntervalKeyRulDataEvntArray(5), 1);
    EXPECT_EQ(rul.IntervalKeyRulDataEvntArray(0), 0);
    rul.SetRulDataEvnt(0, static_cast<CArticWrkEvnt*>(nullptr));
    EXPECT_EQ(rul.GapTimeRulDataEvntArray(1000), 0);  // one note
}
