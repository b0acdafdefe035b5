// Pitch-bend operations: value and level encoding, the range as the block's
// own events set it, the bend in force by event number, area queries, the
// library merge, and the packed parameter events that carry the range.
#include <gtest/gtest.h>

#include "ContFixture.h"

using namespace wrktest;

TEST(ArticWrkUtilBendValues, EncodingRoundTrips) {
    struct Case { short value; BYTE post1, post2; };
    const Case cases[] = {{-8192, 0, 0}, {0, 0, 64}, {8191, 127, 127}, {1, 1, 64}, {-1, 127, 63}};
    for (const auto& c : cases) {
        _WRK_EVNT r;
        CArticWrkUtil::SetPitchBend(r, c.value);
        EXPECT_EQ(r.Post1, c.post1) << c.value;
        EXPECT_EQ(r.Post2, c.post2) << c.value;
        EXPECT_EQ(CArticWrkUtil::GetPitchBend(r), c.value);
    }
    struct LevelCase { short level; BYTE post2, post3; };
    const LevelCase levels[] = {{-10, 0xFF, 0xF6}, {300, 1, 44}, {127, 0, 127}, {-32768, 0x80, 0}};
    for (const auto& c : levels) {
        _WRK_EVNT r;
        CArticWrkUtil::SetEvntLevel(r, c.level);
        EXPECT_EQ(r.Post2, c.post2) << c.level;
        EXPECT_EQ(r.Post3, c.post3) << c.level;
        EXPECT_EQ(CArticWrkUtil::GetEvntLevel(r), c.level);
    }
}

TEST_F(ContTest, RangeAsTheBlocksOwnEventsSetIt) {
    EXPECT_EQ(CArticWrkUtil::GetPbRangeWrk(blk, 1000), 2);
    PutCc(0, 101, 0);
    PutCc(0, 100, 0);
    PutCc(10, 6, 12);
    EXPECT_EQ(CArticWrkUtil::GetPbRangeWrk(blk, 9), 2);
    EXPECT_EQ(CArticWrkUtil::GetPbRangeWrk(blk, 10), 12);
    // An NRPN selection in between makes the data entry no range.
    PutCc(20, 99, 1);
    PutCc(30, 6, 7);
    EXPECT_EQ(CArticWrkUtil::GetPbRangeWrk(blk, 30), 12);
    // A packed RPN 0/0 and a KV part parameter 0x23 set it too.
    CArticWrkEvnt* rpn = NewEvnt(blk, nextNo++, 0x20, 40);
    rpn->SetPost3(5);
    Put(rpn);
    EXPECT_EQ(CArticWrkUtil::GetPbRangeWrk(blk, 40), 5);
    CArticWrkEvnt* sys = NewEvnt(blk, nextNo++, 0xF0, 50);
    const BYTE kv[] = {0x43, 0x10, 0x4C, 0x08, 0x00, 0x23, 64 + 3, 0xF7};
    sys->SetSys(kv, sizeof kv);
    Put(sys);
    EXPECT_EQ(CArticWrkUtil::GetPbRangeWrk(rpn, 60), 3);
}

TEST_F(ContTest, BendInForceFollowsEventNumbers) {
    CArticWrkEvnt* note = NewEvnt(blk, 5, 0x90, 0, 60, 100, 960);
    Put(note);
    PutBendNo(3, 240, 700);
    PutBendNo(8, 480, 1000);
    // The bend at exactly 480 follows the note by number and does not count.
    EXPECT_EQ(CArticWrkUtil::GetPbLevel(note, 480, 0), 700);
    EXPECT_EQ(CArticWrkUtil::GetPbLevel(note, 481, 0), 1000);
    // In cents at range 2: 700 / 8192 x 2 x 100 = 17.09.
    EXPECT_EQ(CArticWrkUtil::GetPbLevel(note, 480, 1), 17);
    EXPECT_EQ(CArticWrkUtil::GetPbLevel(note, 100, 0), 0);
    EXPECT_EQ(CArticWrkUtil::GetPbLevel(blk->GetEvntList(), 480), 1000);
    EXPECT_EQ(CArticWrkUtil::GetPbLevel(blk->GetEvntList(), 479), 700);
}

TEST_F(ContTest, BendAreaQueries) {
    CArticWrkEvnt* note = PutNote(0, 60, 960);
    PutBend(100, 500);
    PutBend(200, 1000);
    PutBend(300, 0);
    int direction = -1, exist = -1;
    EXPECT_EQ(CArticWrkUtil::GetAreaPbNonSycle(note, 0, 480, &direction), 0);
    EXPECT_EQ(direction, 0);
    EXPECT_EQ(CArticWrkUtil::GetAreaPbNonSycle(note, 0, 250, &direction), 0);
    EXPECT_EQ(direction, 1);
    EXPECT_EQ(CArticWrkUtil::GetAreaPbNonSycle(note, 400, 480, &direction), 0);
    EXPECT_EQ(direction, 3);
    double max = 0, min = 0;
    EXPECT_EQ(CArticWrkUtil::GetAreaPbMaxMin(note, 150, 480, &exist, &max, &min), 0);
    EXPECT_EQ(exist, 1);
    EXPECT_DOUBLE_EQ(max, 1000.0 / 8192.0 * 2.0);
    EXPECT_DOUBLE_EQ(min, 0.0);
    EXPECT_EQ(CArticWrkUtil::GetAreaPbExist(note, 400, 480, &exist), 0);
    EXPECT_EQ(exist, 0);
    EXPECT_EQ(CArticWrkUtil::GetAreaPbExist(note, 150, 480, &exist), 0);
    EXPECT_EQ(exist, 1);
    EXPECT_EQ(CArticWrkUtil::GetAreaPb(nullptr, 0, 1, nullptr), 1);
}

TEST_F(ContTest, BendShiftDeleteAndLibraryMerge) {
    CArticWrkEvnt* a = PutBend(0, 100);
    CArticWrkEvnt* b = PutBend(240, 200);
    CArticWrkEvntList exist, lib;
    exist.AddTail(a);
    exist.AddTail(b);
    lib.AddTail(LooseBend(0, 50));
    lib.AddTail(LooseBend(120, 30));
    lib.AddTail(LooseBend(480, -40));
    ASSERT_EQ(CArticWrkUtil::AddPbEvnt(&wrk, blk, &exist, &lib), 0);
    lib.RemoveAll();
    EXPECT_EQ(Bends(), (Points{{0, 150}, {120, 130}, {240, 230}, {480, -40}}));
    EXPECT_TRUE(AllRegistered());

    ASSERT_EQ(CArticWrkUtil::ShiftPbEvnt(blk->GetEvntList(), 100, 300, 8100), 0);
    EXPECT_EQ(Bends(), (Points{{0, 150}, {120, 8191}, {240, 8191}, {480, -40}}));
    ASSERT_EQ(CArticWrkUtil::DelPbTimeArea(blk->GetEvntList(), 100, 240), 0);
    EXPECT_EQ(Bends(), (Points{{0, 150}, {480, -40}}));
    EXPECT_TRUE(AllRegistered());
}

TEST_F(ContTest, SemitonesAndCentsInBendUnits) {
    EXPECT_EQ(CArticWrkUtil::GetPitchAdd(&wrk, blk, 1, 0, 100), 4096);
    EXPECT_EQ(CArticWrkUtil::GetPitchAdd(&wrk, blk, 1, 0, 300), 8191);
    EXPECT_EQ(CArticWrkUtil::GetPitchAdd(&wrk, blk, 0, 0, -9000), -8192);
    EXPECT_EQ(CArticWrkUtil::GetPitchSft(blk, 0, 1), 4096);
    EXPECT_EQ(CArticWrkUtil::GetPitchSft(blk, 0, -2), -8192);
    RangeAt(0, 12);
    EXPECT_EQ(CArticWrkUtil::GetPitchSft(blk, 0, 1), 683);
    EXPECT_EQ(CArticWrkUtil::GetPitchAdd(&wrk, blk, 1, 0, 100), 683);
    RangeAt(0, 0);
    EXPECT_EQ(CArticWrkUtil::GetPitchSft(blk, 0, 1), 0);
}

TEST_F(ContTest, PackedRangeIsTheRangeTheBendOperationsSee) {
    EXPECT_EQ(CArticWrkUtil::CrePackedTime(&wrk, blk, kWrkNoTime, 0x20, 0, 0, 12), 0);
    EXPECT_EQ(blk->GetCount(), 0);
    ASSERT_EQ(CArticWrkUtil::CrePackedTime(&wrk, blk, 960, 0x20, 0, 0, 12), 0);
    EXPECT_EQ(CArticWrkUtil::GetPbRange(blk, 959), 2);
    EXPECT_EQ(CArticWrkUtil::GetPbRange(blk, 960), 12);
    EXPECT_EQ(CArticWrkUtil::GetPbRange(blk, 5000), 12);
    // One semitone is now 8191 / 12 bend units.
    ASSERT_EQ(CArticWrkUtil::CrePbTime(&wrk, blk, 1000, 1, 0), 0);
    EXPECT_EQ(Bends(), (Points{{1000, 683}}));

    // Deleting an NRPN leaves the timeline; deleting the RPN 0/0 clears it there too.
    ASSERT_EQ(CArticWrkUtil::CrePackedTime(&wrk, blk, 960, 0x10, 0, 0, 40), 0);
    ASSERT_EQ(CArticWrkUtil::DelPackedTime(blk, 960, 0x10, 0, 0), 0);
    EXPECT_EQ(CArticWrkUtil::GetPbRange(blk, 960), 12);
    ASSERT_EQ(CArticWrkUtil::DelPackedTime(blk, 960, 0x20, 0, 0), 0);
    EXPECT_EQ(CArticWrkUtil::GetPbRange(blk, 960), 2);
    EXPECT_EQ(blk->GetCount(), 1);
    EXPECT_EQ(CArticWrkUtil::DelPackedTime(static_cast<CArticWrkBlk*>(nullptr), 960, 0x20, 0, 0), 1);
    EXPECT_EQ(OnlyReport(), "CArticWrkUtil::DelPackedTime");
}

TEST_F(ContTest, PackedValuesInForceAndAreaDeletion) {
    ASSERT_EQ(CArticWrkUtil::CrePackedTime(&wrk, blk, 100, 0x10, 1, 8, 30), 0);
    ASSERT_EQ(CArticWrkUtil::CrePackedTime(&wrk, blk, 200, 0x10, 1, 8, 50), 0);
    ASSERT_EQ(CArticWrkUtil::CrePackedTime(&wrk, blk, 200, 0x10, 1, 9, 70), 0);
    CArticWrkEvntList* list = blk->GetEvntList();
    EXPECT_EQ(CArticWrkUtil::GetFrontPackedVal(list, 200, 0x10, 1, 8), 30);
    EXPECT_EQ(CArticWrkUtil::GetFrontPackedVal(list, 201, 0x10, 1, 8), 50);
    EXPECT_EQ(CArticWrkUtil::GetFrontPackedVal(list, 100, 0x10, 1, 8), 64);  // the parameter's default
    ASSERT_EQ(CArticWrkUtil::DelPackedTimeArea(blk, 0, 200, 0x10, 1, 8), 0);
    ASSERT_EQ(blk->GetCount(), 1);
    EXPECT_EQ(blk->Get(0)->GetPost2(), 9);

    ASSERT_EQ(CArticWrkUtil::CrePackedTime(&wrk, blk, 300, 0x20, 0, 0, 4), 0);
    ASSERT_EQ(CArticWrkUtil::CrePackedTime(&wrk, blk, 600, 0x20, 0, 0, 6), 0);
    ASSERT_EQ(CArticWrkUtil::DelPackedTimeArea(blk, 500, 700, 0x20, 0, 0), 0);
    EXPECT_EQ(CArticWrkUtil::GetPbRange(blk, 700), 4);
    EXPECT_EQ(CArticWrkUtil::DelPackedTimeArea(static_cast<CArticWrkBlk*>(nullptr), 0, 1, 0x20, 0, 0), 1);
    EXPECT_TRUE(AllRegistered());
}
