// The pitch slide writers and their three quantisers.
#include <gtest/gtest.h>

#include "ContFixture.h"

using namespace wrktest;

namespace {

// A curve list of free bend events at 0, 10, 20, ... with the given values.
void Fill(OwnedList& owned, std::initializer_list<int> values) {
    INT64 t = 0;
    for (int v : values) {
        owned.list.AddTail(LooseBend(t, v));
        t += 10;
    }
}

Points ListPoints(CArticWrkEvntList& list) {
    Points out;
    for (POSITION p = list.GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list.GetNext(p);
        out.push_back({e->GetTime(), Bend(e)});
    }
    return out;
}

}  // namespace

TEST_F(ContTest, CountFormRisesInEqualSteps) {
    OwnedList curve;
    Fill(curve, {0, 500, 1000, 1500, 2000, 3000, 4096});
    ASSERT_EQ(CArticWrkUtil::ModPitchSlideEvntList(&curve.list, short(0), short(4096), short(4), INT64(0)), 0);
    // x = 1024: the start goes to the first threshold, 1500 opens the step of
    // 2048, 3000 that of 3072; the others of a step go; the end stays.
    EXPECT_EQ(ListPoints(curve.list), (Points{{0, 1024}, {30, 2048}, {50, 3072}, {60, 4096}}));
}

TEST_F(ContTest, CountFormFallsFromTheGridLineAtTheStart) {
    OwnedList curve;
    Fill(curve, {4096, 3500, 3000, 2500, 1000, 0});
    ASSERT_EQ(CArticWrkUtil::ModPitchSlideEvntList(&curve.list, short(4096), short(0), short(4), INT64(0)), 0);
    // x = -1024, g = 4096; thresholds 4096 + trunc(k x + 0.5): 3073, 2049, 1025, 1.
    EXPECT_EQ(ListPoints(curve.list), (Points{{0, 3073}, {20, 2049}, {40, 1}, {50, 0}}));
}

TEST_F(ContTest, CountFormLeavesTheListForNoStepsOrNoChange) {
    OwnedList curve;
    Fill(curve, {0, 500, 4096});
    EXPECT_EQ(CArticWrkUtil::ModPitchSlideEvntList(&curve.list, short(0), short(4096), short(0), INT64(0)), 0);
    EXPECT_EQ(CArticWrkUtil::ModPitchSlideEvntList(&curve.list, short(7), short(7), short(3), INT64(0)), 0);
    EXPECT_EQ(ListPoints(curve.list), (Points{{0, 0}, {10, 500}, {20, 4096}}));
    EXPECT_EQ(CArticWrkUtil::ModPitchSlideEvntList(nullptr, short(0), short(4096), short(4), INT64(0)), 1);
}

TEST_F(ContTest, SemitoneFormRaisesEachStepToTheNextLine) {
    OwnedList curve;
    Fill(curve, {0, 1000, 3000, 4100, 6000, 8191});
    ASSERT_EQ(CArticWrkUtil::ModPitchSlideEvntList(&curve.list, short(0), short(8192), 4096.0, INT64(0)), 0);
    // The start goes to 4096; 4100 reaches it and goes to the top line (8192,
    // the top of the bend range); the end at the top is kept there.
    EXPECT_EQ(ListPoints(curve.list), (Points{{0, 4096}, {30, 8191}, {50, 8191}}));
}

TEST_F(ContTest, SemitoneFormRoundsItsLinesHalfUp) {
    OwnedList rising;
    Fill(rising, {-8192, -6000, -4000, 0});
    ASSERT_EQ(CArticWrkUtil::ModPitchSlideEvntList(&rising.list, short(-8192), short(0), 4096.0, INT64(0)), 0);
    // Line -2 x 4096 + 0.5 truncates to -8191; -6000 is raised to the next
    // line (-4096 + 0.5 -> -4095), -4000 to 0, where the end sits too.
    EXPECT_EQ(ListPoints(rising.list), (Points{{0, -8191}, {10, -4095}, {20, 0}, {30, 0}}));

    OwnedList falling;
    Fill(falling, {0, -1000, -4200, -8192});
    ASSERT_EQ(CArticWrkUtil::ModPitchSlideEvntList(&falling.list, short(0), short(-8192), -4096.0, INT64(0)), 0);
    // Falling: the first line trunc(0 - 0.5) = 0 is passed at once; the next
    // ones are trunc(l x stepBend + 0.5): -4095 and -8191; the bottom line is
    // trunc(-8192 - 0.5) = -8192.
    EXPECT_EQ(ListPoints(falling.list), (Points{{0, -4095}, {20, -8191}, {30, -8192}}));
}

TEST_F(ContTest, SemitoneFormSkipsPointsBeforeTheSlide) {
    OwnedList curve;
    Fill(curve, {0, 0, 100, 5000});
    ASSERT_EQ(CArticWrkUtil::ModPitchSlideEvntList(&curve.list, short(0), short(4096), 4096.0, INT64(20)), 0);
    EXPECT_EQ(ListPoints(curve.list), (Points{{0, 0}, {10, 0}, {20, 4096}, {30, 4096}}));
    EXPECT_EQ(CArticWrkUtil::ModPitchSlideEvntList(&curve.list, short(0), short(4096), 0.0, INT64(0)), 0);
    EXPECT_EQ(CArticWrkUtil::ModPitchSlideEvntList(nullptr, short(0), short(4096), 4096.0, INT64(0)), 1);
}

TEST_F(ContTest, SnapFormKeepsOnePointBelowTheStepOnce) {
    OwnedList curve;
    Fill(curve, {100, 200, 300, 4200, 4300, 8100});
    ASSERT_EQ(CArticWrkUtil::ModPitchSlideEvntList2(&curve.list, short(100), short(8000), 4096.0, INT64(0)), 0);
    // Line 1 (4096) is the first level: 100 is kept once as it is, 200 and
    // 300 go, 4200 snaps to 4096, 4300 goes, the end is set to `to`.
    EXPECT_EQ(ListPoints(curve.list), (Points{{0, 100}, {30, 4096}, {50, 8000}}));
}

TEST_F(ContTest, SlideAddQuantisesToSemitonesAtTheRangeInForce) {
    ASSERT_EQ(CArticWrkUtil::ConvToWrkForSlideAdd(&wrk, blk, 1, 0, 0, 480, 480, 0xE0, 0, 4096, 0, 120), 0);
    // Range 2: one semitone is 4096; the start is raised to it at once and the
    // smooth points below it go.
    EXPECT_EQ(Bends(), (Points{{0, 4096}, {480, 4096}}));
    EXPECT_TRUE(AllRegistered());
}

TEST_F(ContTest, SlideWithRangeZeroStaysSmooth) {
    RangeAt(0, 0);
    ASSERT_EQ(CArticWrkUtil::ConvToWrkForSlideAdd(&wrk, blk, 1, 0, 0, 480, 480, 0xE0, 0, 4096, 0, 120), 0);
    EXPECT_EQ(Bends(), (Points{{0, 0}, {120, 1032}, {240, 2064}, {360, 3064}, {480, 4096}}));

    CArticWrk other;
    other.ChangeEvntNo(1);
    CArticWrkBlk* b = AddBlock(AddTrack(other, 1));
    CArticWrkEvnt range;
    range.SetStatus(0x20);
    range.SetPost3(0);
    ASSERT_EQ(b->SetCondPos(&range), 0);
    ASSERT_EQ(CArticWrkUtil::ConvToWrkForSlideAddI(&other, b, 1, 0, 0, 0, 480, 480, 0xE0, 0, 4096, 0, 120), 0);
    EXPECT_EQ(b->GetCount(), 5);
}

TEST_F(ContTest, SlideWithKeepEndOvershootsAndReturnsAtTheEnd) {
    ASSERT_EQ(CArticWrkUtil::ConvToWrkForSlideAdd(&wrk, blk, 1, 1, 0, 480, 480, 0xE0, 0, 4096, 0, 120), 0);
    // The curve aims at 4096 + 4096 (2064 at 120, 4128 at 240): the target
    // step is reached at 240 instead of 480, and the end keeps the bend of
    // before the edit.
    EXPECT_EQ(Bends(), (Points{{0, 4096}, {240, 4096}, {480, 0}}));
}

TEST_F(ContTest, SlideToTheTopOfTheRangeReachesIt) {
    // +2 semitones at range 2 is 8191, the top of the bend range.
    ASSERT_EQ(CArticWrkUtil::CrePitchSlide(&wrk, blk, 1, 0, 0, 0, 480, 480, 0xE0, 0, 8191, 0, 120), 0);
    // Curve 0, 2064, 4128, 6127, 8191: the start to 4096, 4128 to the top.
    EXPECT_EQ(Bends(), (Points{{0, 4096}, {240, 8191}, {480, 8191}}));
}

TEST_F(ContTest, GuitarSlideTakesCountEqualSteps) {
    PutBend(0, 0);
    ASSERT_EQ(CArticWrkUtil::CrePitchGtrSlide(&wrk, blk, 0, 480, 0, 4096, 2, 0, 120), 0);
    // x = 2048: the start goes to 2048, 2064 opens the step of 4096 (kept
    // once), 3064 goes, the end keeps 4096.
    EXPECT_EQ(Bends(), (Points{{0, 2048}, {240, 4096}, {480, 4096}}));
    EXPECT_EQ(CArticWrkUtil::CrePitchGtrSlide(&wrk, blk, 480, 480, 0, 4096, 2, 0, 120), 1);
    EXPECT_EQ(OnlyReport(), "CArticWrkUtil::CrePitchGtrSlide");
}

TEST_F(ContTest, SlideReplaceClearsTheSpanFirst) {
    PutBend(100, 3000);
    PutBend(600, 100);
    ASSERT_EQ(CArticWrkUtil::CrePitchSlideI(&wrk, blk, 0, 0, 0, 0, 0, 480, 480, 0xE0, 0, 4096, 0, 120), 0);
    EXPECT_EQ(Bends(), (Points{{0, 4096}, {480, 4096}, {600, 100}}));
    EXPECT_TRUE(exp.reports.empty());
}
