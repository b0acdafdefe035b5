#include <gtest/gtest.h>

#include "engine/work/ArticWrkUtil.h"
#include "WorkFixture.h"

using namespace wrktest;

namespace {

// Track 1 (selected): A(no 0, string 1), cc(no 1), B(no 2, string 2), C(no 4, string 1).
// Track 2 (not selected): X(no 3).
struct Neighbours : ::testing::Test {
    CArticWrk wrk;
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1, 1));
    CArticWrkBlk* other = AddBlock(AddTrack(wrk, 2, 0));
    CArticWrkEvnt* a = AddNote(blk, 0, 0, 60);
    CArticWrkEvnt* cc = AddCc(blk, 1, 100, 11, 90);
    CArticWrkEvnt* b = AddNote(blk, 2, 240, 62);
    CArticWrkEvnt* x = AddNote(other, 3, 300, 50);
    CArticWrkEvnt* c = AddNote(blk, 4, 480, 64);
    void SetUp() override {
        a->SetFngrInfo(0, 1, 0, 0);
        b->SetFngrInfo(0, 2, 0, 0);
        c->SetFngrInfo(0, 1, 0, 0);
    }
};

}  // namespace

TEST_F(Neighbours, SameStringInBlockOrder) {
    EXPECT_EQ(CArticWrkUtil::GetNextGenNote(a), c);
    EXPECT_EQ(CArticWrkUtil::GetPrevGenNote(c), a);
    EXPECT_EQ(CArticWrkUtil::GetNextGenNote(b), nullptr);
    EXPECT_EQ(CArticWrkUtil::GetPrevGenNote(a), nullptr);
    // Without a fingering record a note is on string 0: none of the others.
    b->ClearFngrInfo();
    EXPECT_EQ(CArticWrkUtil::GetPrevGenNote(b), nullptr);
    CArticWrkEvnt loose;
    EXPECT_EQ(CArticWrkUtil::GetNextGenNote(&loose), nullptr);
    EXPECT_EQ(CArticWrkUtil::GetNextGenNote(nullptr), nullptr);
}

TEST_F(Neighbours, EventNumberOrderOverEveryTrack) {
    EXPECT_EQ(CArticWrkUtil::GetNextNoteEvnt(a), b);  // the controller is passed over
    EXPECT_EQ(CArticWrkUtil::GetNextNoteEvnt(b), x);
    EXPECT_EQ(CArticWrkUtil::GetPrevNoteEvnt(c), x);
    EXPECT_EQ(CArticWrkUtil::GetPrevNoteEvnt(a), nullptr);
    EXPECT_EQ(CArticWrkUtil::GetNextNoteEvnt(c), nullptr);
    EXPECT_EQ(CArticWrkUtil::GetNextNoteEvnt(nullptr), nullptr);
}

TEST_F(Neighbours, EventNumberOrderOverSelectedTracks) {
    EXPECT_EQ(CArticWrkUtil::GetWrkNextNoteEvnt(b), c);  // X's track is not selected
    EXPECT_EQ(CArticWrkUtil::GetWrkPrevNoteEvnt(c), b);
    EXPECT_EQ(CArticWrkUtil::GetWrkPrevNoteEvnt(a), nullptr);
    EXPECT_EQ(CArticWrkUtil::GetWrkNextNoteEvnt(c), nullptr);
    // From a note of an unselected track the walk still finds selected neighbours.
    EXPECT_EQ(CArticWrkUtil::GetWrkNextNoteEvnt(x), c);
    CArticWrkEvnt loose;
    EXPECT_EQ(CArticWrkUtil::GetWrkPrevNoteEvnt(&loose), nullptr);
}
