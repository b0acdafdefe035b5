// The bend walks that start at a note of the block (the joins and the guitar
// gestures), and the re-placing of a moved note from its own place, find and
// change what the walks from the list's ends do.
#include <gtest/gtest.h>

#include <vector>

#include "ContFixture.h"

using namespace wrktest;

namespace {

// Events of a block in time order: notes (a chord at 480, a note at 0 and at
// the end), bends before, on and after them, with controllers between.
const LaidEvnt kBendLayout[] = {
    {0, 0x90, 60, 100},   {0, 0xE0, 0, 64},     {100, 0xB0, 7, 1},    {240, 0xE0, 0, 72},  {240, 0xE0, 0, 80},
    {480, 0x90, 64, 90},  {480, 0x90, 67, 90},  {480, 0xE0, 0, 56},   {480, 0x90, 72, 90}, {600, 0xB0, 7, 2},
    {720, 0xE0, 0, 48},   {960, 0x90, 62, 80},  {960, 0xE0, 0, 90},   {1200, 0xB0, 7, 3},  {1440, 0x90, 65, 80},
    {1440, 0xE0, 0, 40},  {1920, 0xE0, 0, 64},
};
// Query times: before, on and between the events, and after the last one.
const INT64 kBendTimes[] = {-5, 0, 1, 239, 240, 241, 479, 480, 481, 720, 959, 960, 1200, 1439, 1440, 1441, 1920, 5000};

struct PbNearWalkTest : TwinBlockTest {
    PbNearWalkTest() { LayBoth(kBendLayout); }
};

TEST_F(PbNearWalkTest, BendInForceMatchesTheWalkFromTheHead) {
    CArticWrkEvntList* list = blk->GetEvntList();
    for (POSITION near : NotePositions(blk)) {
        const INT64 at = blk->Get(near)->GetTime();
        for (INT64 t : kBendTimes)
            EXPECT_EQ(CArticWrkUtil::GetPbLevel(list, t, near), CArticWrkUtil::GetPbLevel(list, t))
                << "at " << t << " from the note at " << at;
    }
    // Worked out by hand: the later of two bends of one time is in force, an
    // event at the time itself counts, nothing before the first bend.
    const POSITION last = NotePositions(blk).back();
    EXPECT_EQ(CArticWrkUtil::GetPbLevel(list, 240, last), (80 << 7) - 8192);
    EXPECT_EQ(CArticWrkUtil::GetPbLevel(list, 959, last), (48 << 7) - 8192);
    EXPECT_EQ(CArticWrkUtil::GetPbLevel(list, -5, last), 0);
    EXPECT_EQ(CArticWrkUtil::GetPbLevel(list, 5000, NotePositions(blk).front()), 0);
}

TEST_F(PbNearWalkTest, BendEditsFromANoteChangeTheSameEvents) {
    const std::vector<POSITION> notes = NotePositions(blk);
    ASSERT_EQ(notes.size(), NotePositions(twin).size());
    // Each step is done on blk from a note and on twin from the list's ends;
    // every note starts edits before, at and after its own time.
    int step = 0;
    for (size_t i = 0; i < notes.size(); ++i) {
        for (INT64 t : {INT64(240), INT64(480), INT64(720), INT64(960), INT64(1440), INT64(1920)}) {
            SCOPED_TRACE(testing::Message() << "note " << i << ", time " << t);
            const short level = short(100 * ++step - 4000);
            ASSERT_EQ(CArticWrkUtil::ShiftPbEvnt(blk->GetEvntList(), t - 250, t + 250, 7, notes[i]), 0);
            ASSERT_EQ(CArticWrkUtil::ShiftPbEvnt(twin->GetEvntList(), t - 250, t + 250, 7), 0);
            EXPECT_EQ(Order(blk), Order(twin));
            ASSERT_EQ(CArticWrkUtil::DelPbTime(blk->GetEvntList(), t, notes[i]), 0);
            ASSERT_EQ(CArticWrkUtil::DelPbTime(twin->GetEvntList(), t), 0);
            EXPECT_EQ(Order(blk), Order(twin));
            ASSERT_EQ(CArticWrkUtil::CrePbTime(&wrk, blk, t, 0, level, notes[i]), 0);
            ASSERT_EQ(CArticWrkUtil::CrePbTime(&wrk, twin, t, 0, level), 0);
            EXPECT_EQ(Order(blk), Order(twin));
            EXPECT_EQ(CArticWrkUtil::GetPbLevel(blk->GetEvntList(), t, notes[i]), level);
            ASSERT_EQ(CArticWrkUtil::DelPbTimeArea(blk->GetEvntList(), t + 1, t + 200, notes[i]), 0);
            ASSERT_EQ(CArticWrkUtil::DelPbTimeArea(twin->GetEvntList(), t + 1, t + 200), 0);
            EXPECT_EQ(Order(blk), Order(twin));
        }
    }
    // The last edit's bend is the one in force at its time.
    EXPECT_EQ(CArticWrkUtil::GetPbLevel(blk->GetEvntList(), 1920), short(100 * step - 4000));
    EXPECT_TRUE(AllRegistered());
}

TEST_F(PbNearWalkTest, AMoveFromTheOwnPlaceLandsWhereTheMoveFromTheTailDoes) {
    // Every event in turn gets each of the times (earlier, equal to a
    // chord's, later than all) and is moved on blk from its own place and on
    // twin from the tail.
    const size_t count = sizeof kBendLayout / sizeof kBendLayout[0];
    for (size_t i = 0; i < count; ++i) {
        for (INT64 t : kBendTimes) {
            if (t < 0) continue;
            SCOPED_TRACE(testing::Message() << "event " << i << " to " << t);
            POSITION p = blk->GetHeadPos(), q = twin->GetHeadPos();
            for (size_t k = 0; k < i; ++k) {
                blk->GetNext(p);
                twin->GetNext(q);
            }
            CArticWrkEvnt* mine = blk->Get(p);
            CArticWrkEvnt* theirs = twin->Get(q);
            mine->SetTime(t, 1);
            theirs->SetTime(t, 1);
            const POSITION at = blk->MoveFromOwnPlace(mine);
            twin->Move(theirs);
            ASSERT_EQ(Order(blk), Order(twin));
            EXPECT_EQ(blk->LinkedPos(mine), at);
        }
    }
    EXPECT_TRUE(AllRegistered());
    // A lone event stays the only one.
    CArticWrkBlk* lone = AddBlock(AddTrack(wrk, 3));
    CArticWrkEvnt* e = NewEvnt(lone, 300, 0x90, 10, 60, 90, 10);
    lone->AddTail(e, 1);
    e->SetTime(5, 1);
    const POSITION moved = lone->MoveFromOwnPlace(e);
    EXPECT_EQ(moved, lone->GetHeadPos());
    EXPECT_EQ(lone->LinkedPos(e), moved);
    EXPECT_EQ(lone->GetEvntList()->GetCount(), 1);
}

}  // namespace
