// The block walks that start at a note of the block (the per-note controller
// edits) find what the walks from the list's ends find.
#include <gtest/gtest.h>

#include <vector>

#include "ContFixture.h"

using namespace wrktest;

namespace {

// Events of a block in time order: notes (a chord at 480, notes at 0 and at
// the end), controllers 11 and 7 between, on and after them.
const LaidEvnt kLayout[] = {
    {0, 0x90, 60, 100},   {0, 0xB0, 11, 20},   {100, 0xB0, 7, 1},   {240, 0xB0, 11, 30},  {480, 0x90, 64, 90},
    {480, 0x90, 67, 90},  {480, 0xB0, 11, 40}, {480, 0x90, 72, 90}, {600, 0xB0, 7, 2},    {720, 0xB0, 11, 50},
    {960, 0x90, 62, 80},  {1200, 0xB0, 11, 60}, {1440, 0x90, 65, 80}, {1440, 0xB0, 7, 3}, {1920, 0xB0, 11, 70},
};
// Query times: before, on and between the events, and after the last one.
const INT64 kTimes[] = {-5, 0, 1, 100, 239, 240, 241, 479, 480, 481, 720, 959, 960, 1200, 1439, 1440, 1441, 1920, 5000};

struct NearWalkTest : TwinBlockTest {
    NearWalkTest() { LayBoth(kLayout); }
};

TEST_F(NearWalkTest, ValuesInForceAndNextNotesMatchTheWalkFromTheHead) {
    CArticWrkEvntList* list = blk->GetEvntList();
    for (POSITION near : NotePositions(blk)) {
        const INT64 at = blk->Get(near)->GetTime();
        for (INT64 t : kTimes) {
            for (BYTE number : {BYTE(11), BYTE(7), BYTE(1)}) {
                EXPECT_EQ(CArticWrkUtil::GetFrontContVal(list, t, number, near),
                          CArticWrkUtil::GetFrontContVal(list, t, number))
                    << "cc " << int(number) << " at " << t << " from the note at " << at;
            }
            for (BYTE mode : {BYTE(13), BYTE(3), BYTE(113), BYTE(0), BYTE(11)}) {
                INT64 fromNote = t, fromEnds = t;
                int foundNote = -1, foundEnds = -1;
                EXPECT_EQ(CArticWrkUtil::GetNearNoteTime2(blk, mode, &fromNote, &foundNote, near),
                          CArticWrkUtil::GetNearNoteTime2(blk, mode, &fromEnds, &foundEnds));
                EXPECT_EQ(fromNote, fromEnds) << "mode " << int(mode) << " at " << t << " from the note at " << at;
                EXPECT_EQ(foundNote, foundEnds) << "mode " << int(mode) << " at " << t << " from the note at " << at;
            }
        }
    }
    // Worked out by hand: the value before 480 is the one set at 240; the
    // next note after 480 starts at 960, none after 1440.
    POSITION last = NotePositions(blk).back();
    EXPECT_EQ(CArticWrkUtil::GetFrontContVal(list, 480, 11, last), 30);
    EXPECT_EQ(CArticWrkUtil::GetFrontContVal(list, 0, 11, last), CArticUtil::GetDefaultContVal(11));
    INT64 t = 480;
    int found = 0;
    CArticWrkUtil::GetNearNoteTime2(blk, 13, &t, &found, last);
    EXPECT_EQ(t, 960);
    EXPECT_EQ(found, 1);
    t = 1440;
    CArticWrkUtil::GetNearNoteTime2(blk, 13, &t, &found, NotePositions(blk).front());
    EXPECT_EQ(t, kWrkNoTime);
    EXPECT_EQ(found, 0);
}

TEST_F(NearWalkTest, EditsFromANoteChangeTheSameEvents) {
    const std::vector<POSITION> notes = NotePositions(blk);
    const std::vector<POSITION> twinNotes = NotePositions(twin);
    ASSERT_EQ(notes.size(), twinNotes.size());
    // Each step is done on blk from a note and on twin from the list's ends.
    ULONG no = 500;
    for (size_t i = 0; i < notes.size(); ++i) {
        const INT64 t = kTimes[(i * 5 + 3) % (sizeof kTimes / sizeof kTimes[0])] + 240 * INT64(i);
        if (t < 0) continue;
        SCOPED_TRACE(testing::Message() << "note " << i << ", time " << t);
        ASSERT_EQ(CArticWrkUtil::CreContCcTime(&wrk, blk, t, 11, BYTE(i), notes[i]), 0);
        ASSERT_EQ(CArticWrkUtil::CreContCcTime(&wrk, twin, t, 11, BYTE(i)), 0);
        // A note placed among the chord's notes keeps the key order of its time.
        blk->Sort(NewEvnt(blk, no++, 0x90, 480, BYTE(62 + 3 * i), 70, 10), 1, notes[i]);
        twin->Sort(NewEvnt(twin, no++, 0x90, 480, BYTE(62 + 3 * i), 70, 10), 1);
        EXPECT_EQ(Order(blk), Order(twin));
        ASSERT_EQ(CArticWrkUtil::ShiftCcEvnt(blk->GetEvntList(), 11, t - 300, t + 300, 5, notes[i]), 0);
        ASSERT_EQ(CArticWrkUtil::ShiftCcEvnt(twin->GetEvntList(), 11, t - 300, t + 300, 5), 0);
        EXPECT_EQ(Order(blk), Order(twin));
        ASSERT_EQ(CArticWrkUtil::DelContCcTimeArea(blk->GetEvntList(), t - 100, t + 500, 7, notes[i]), 0);
        ASSERT_EQ(CArticWrkUtil::DelContCcTimeArea(twin->GetEvntList(), t - 100, t + 500, 7), 0);
        EXPECT_EQ(Order(blk), Order(twin));
    }
    EXPECT_TRUE(AllRegistered());
}

TEST_F(NearWalkTest, WalksStartOnlyAtALinkedPlaceOfTheBlock) {
    const std::vector<POSITION> notes = NotePositions(blk);
    CArticWrkEvnt* note = blk->Get(notes[2]);
    EXPECT_EQ(blk->LinkedPos(note), notes[2]);
    EXPECT_EQ(twin->LinkedPos(note), nullptr);  // another block's event
    EXPECT_EQ(blk->LinkedPos(blk->Get(blk->GetHeadPos())), blk->GetHeadPos());
    EXPECT_EQ(blk->LinkedPos(blk->Get(blk->GetTailPos())), blk->GetTailPos());
    // A position that holds another event of the block is no place of this one.
    const POSITION own = note->GetPosEvnt();
    note->SetPosEvnt(notes[3]);
    EXPECT_EQ(blk->LinkedPos(note), nullptr);
    note->SetPosEvnt(own);
    EXPECT_EQ(blk->LinkedPos(note), own);
    CArticWrkEvnt loose(blk, 900);  // owned by the block, in no list
    EXPECT_EQ(blk->LinkedPos(&loose), nullptr);
    EXPECT_EQ(blk->LinkedPos(nullptr), nullptr);
}

}  // namespace
