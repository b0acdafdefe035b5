// Controller data operations: single control changes and the timeline,
// deletion, shifting and thinning, the collapse of an area, the library
// merge, the values in force, area queries, and the relative changes.
#include <gtest/gtest.h>

#include "ContFixture.h"

using namespace wrktest;

namespace {

// The expression controller in force at time as the block's timeline answers it.
LONG ExprInTimeline(CArticWrkBlk* blk, INT64 time) {
    _WRK_EVNT r;
    r.Status = 0xB0;
    r.Post1 = 11;
    LONG value = -1;
    blk->GetCondPos(r, time, &value, nullptr, nullptr);
    return value;
}

}  // namespace

TEST_F(ContTest, ExpressionControllerGoesIntoAndOutOfTheTimeline) {
    EXPECT_EQ(CArticWrkUtil::CreContCcTime(&wrk, blk, kWrkNoTime, 11, 30), 0);
    EXPECT_EQ(blk->GetCount(), 0);
    ASSERT_EQ(CArticWrkUtil::CreContCcTime(&wrk, blk, 480, 11, 30), 0);
    ASSERT_EQ(CArticWrkUtil::CreContCcTimeBefore(&wrk, blk, 480, 7, 90), 0);
    EXPECT_EQ(blk->Get(0)->GetPost1(), 7);  // before the events of its time
    EXPECT_EQ(blk->Get(1)->GetCreate(), 1);
    EXPECT_EQ(ExprInTimeline(blk, 479), 127);
    EXPECT_EQ(ExprInTimeline(blk, 600), 30);

    // Deleting the control change also deletes the timeline's copy of it.
    ASSERT_EQ(CArticWrkUtil::DelContCcTime(blk, 480, 11), 0);
    EXPECT_EQ(Ccs(11), Points{});
    EXPECT_EQ(Ccs(7), (Points{{480, 90}}));
    EXPECT_EQ(ExprInTimeline(blk, 600), 127);

    EXPECT_EQ(CArticWrkUtil::DelContCcTime(static_cast<CArticWrkBlk*>(nullptr), 480, 11), 1);
    EXPECT_EQ(OnlyReport(), "CArticWrkUtil::DelContCcTime");
    EXPECT_EQ(CArticWrkUtil::DelContCcTime(static_cast<CArticWrkBlk*>(nullptr), kWrkNoTime, 11), 0);
}

TEST_F(ContTest, ShiftsAndDeletionsStayInTheirArea) {
    PutCc(0, 7, 120);
    PutCc(100, 7, 5);
    PutCc(100, 1, 50);
    PutCc(200, 7, 60);
    CArticWrkEvntList* list = blk->GetEvntList();
    ASSERT_EQ(CArticWrkUtil::ShiftCcEvnt(list, 7, 0, 0, 10), 0);
    ASSERT_EQ(CArticWrkUtil::ShiftCcEvnt(list, 7, 100, 100, -10), 0);
    EXPECT_EQ(Ccs(7), (Points{{0, 127}, {100, 0}, {200, 60}}));
    ASSERT_EQ(CArticWrkUtil::DelContCcTimeArea(list, 50, 200, 7), 0);
    EXPECT_EQ(Ccs(7), (Points{{0, 127}}));
    EXPECT_EQ(Ccs(1), (Points{{100, 50}}));
    EXPECT_TRUE(AllRegistered());
    EXPECT_EQ(CArticWrkUtil::ShiftCcEvnt(nullptr, 7, 0, 0, 1), 1);
}

TEST_F(ContTest, ThinningKeepsTheFirstTheLastAndOnePerSpacing) {
    for (INT64 t : {0, 10, 20, 40, 50}) PutCc(t, 1, BYTE(t));
    for (INT64 t : {0, 10, 20, 40, 50}) PutBend(t, int(t));
    ASSERT_EQ(CArticWrkUtil::ResoContCc(&wrk, blk, 1, 0, 50, 30), 0);
    ASSERT_EQ(CArticWrkUtil::ResoContPb(&wrk, blk, 0, 50, 30), 0);
    EXPECT_EQ(Ccs(1), (Points{{0, 0}, {40, 40}, {50, 50}}));
    EXPECT_EQ(Bends(), (Points{{0, 0}, {40, 40}, {50, 50}}));
    EXPECT_TRUE(AllRegistered());
}

TEST_F(ContTest, WipeMovesContinuousDataToTheStartAndKeepsTimeOrder) {
    PutNote(0, 60, 960);
    PutCc(100, 7, 1);
    PutNote(200, 62, 100);
    PutBend(300, 500);
    PutCc(400, 7, 2);
    PutNote(600, 64, 100);
    PutCc(700, 7, 3);
    ASSERT_EQ(CArticWrkUtil::WipeContDataTimeArea(blk, 100, 500), 0);
    EXPECT_TRUE(InTimeOrder());
    EXPECT_EQ(Ccs(7), (Points{{100, 1}, {100, 2}, {700, 3}}));
    EXPECT_EQ(Bends(), (Points{{100, 500}}));
    // Notes keep their times; the moved events follow the one already at 100
    // in their old order.
    std::vector<INT64> times;
    std::vector<int> statuses;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        times.push_back(e->GetTime());
        statuses.push_back(e->GetStatus());
    }
    EXPECT_EQ(times, (std::vector<INT64>{0, 100, 100, 100, 200, 600, 700}));
    EXPECT_EQ(statuses, (std::vector<int>{0x90, 0xB0, 0xE0, 0xB0, 0x90, 0x90, 0xB0}));
    EXPECT_TRUE(AllRegistered());
    EXPECT_EQ(CArticWrkUtil::WipeContDataTimeArea(nullptr, 0, 1), 0);
}

TEST_F(ContTest, ValuesInForceBeforeAndAtATime) {
    PutCc(100, 7, 50);
    PutCc(200, 7, 70);
    CArticWrkEvntList* list = blk->GetEvntList();
    EXPECT_EQ(CArticWrkUtil::GetFrontContVal(list, 200, 7), 50);  // the event at 200 is not yet in force
    EXPECT_EQ(CArticWrkUtil::GetContCcLevel(list, 200, 7), 70);
    EXPECT_EQ(CArticWrkUtil::GetFrontContVal(list, 100, 7), 100);  // the default
    EXPECT_EQ(CArticWrkUtil::GetContCcLevel(list, 50, 11), 127);
    EXPECT_EQ(CArticWrkUtil::GetFrontContVal(static_cast<CArticWrkEvntList*>(nullptr), 100, 7), 0);
    EXPECT_EQ(CArticUtil::GetDefaultContVal(7), 100);
}

TEST_F(ContTest, AreaQueriesAroundANote) {
    CArticWrkEvnt* note = PutNote(0, 60, 480);
    PutCc(50, 7, 40);
    PutCc(100, 7, 90);
    PutCc(150, 7, 60);
    int exist = -1, direction = -1;
    double max = 0, min = 0;
    EXPECT_EQ(CArticWrkUtil::GetAreaCcMaxMin(note, 60, 140, 7, &exist, &max, &min), 0);
    EXPECT_EQ(exist, 1);
    EXPECT_EQ(max, 90.0);
    EXPECT_EQ(min, 40.0);  // the value in force at 60
    EXPECT_EQ(CArticWrkUtil::GetAreaCcNonSycle(note, 0, 480, 7, &direction), 0);
    EXPECT_EQ(direction, 0);  // 100 -> 40 -> 90 -> 60
    EXPECT_EQ(CArticWrkUtil::GetAreaCcNonSycle(note, 60, 120, 7, &direction), 0);
    EXPECT_EQ(direction, 1);
    CArticWrkEvntList found;
    ASSERT_EQ(CArticWrkUtil::GetAreaCc(note, 100, 480, 7, &found), 0);
    EXPECT_EQ(Times(found), (std::vector<INT64>{100, 150}));
    found.RemoveAll();

    // No event in the span: max = min = the value in force at its start.
    EXPECT_EQ(CArticWrkUtil::GetAreaCcMaxMin(note, 200, 300, 7, &exist, &max, &min), 0);
    EXPECT_EQ(exist, 0);
    EXPECT_EQ(max, 60.0);
    EXPECT_EQ(min, 60.0);
    EXPECT_EQ(CArticWrkUtil::GetAreaCcExist(note, 200, 300, 7, &exist), 0);
    EXPECT_EQ(exist, 0);
    EXPECT_EQ(CArticWrkUtil::GetAreaCcMaxMin(nullptr, 0, 1, 7, &exist, &max, &min), 1);
}

TEST_F(ContTest, FixedRelativeChangeUntilTheNextNoteReturnsTheOldLevel) {
    PutNote(0, 60, 480);
    PutNote(960, 62, 480);
    PutCc(0, 11, 100);
    PutCc(960, 11, 50);
    ASSERT_EQ(CArticWrkUtil::ContCcTimeRelFix(&wrk, blk, 0, 0, 1, 0, 11, 50, 0), 0);
    // The end is the next note after the first note's end (960); the control
    // change already there takes the value in force before it.
    EXPECT_EQ(Ccs(11), (Points{{0, 50}, {960, 100}}));

    CArticWrk other;
    other.ChangeEvntNo(1);
    CArticWrkBlk* b = AddBlock(AddTrack(other, 1));
    AddCc(b, 1, 100, 7, 80);
    AddCc(b, 2, 300, 7, 60);
    ASSERT_EQ(CArticWrkUtil::ContCcTimeRelFix(&other, b, 200, 400, 0, 0, 7, 100, 10), 0);
    // A new control change at 200 repeats 80; 200..399 get + 10.
    std::vector<std::pair<INT64, int>> values;
    for (POSITION p = b->GetHeadPos(); p;) {
        CArticWrkEvnt* e = b->GetNext(p);
        values.push_back({e->GetTime(), e->GetPost2()});
    }
    EXPECT_EQ(values, (Points{{100, 80}, {200, 90}, {300, 70}}));
}

TEST_F(ContTest, RelativeCurveIsAddedToTheExistingController) {
    PutCc(0, 7, 100);
    PutCc(240, 7, 80);
    PutCc(600, 7, 90);
    CArticWrkEvntList after;
    after.AddTail(blk->Get(2));
    ASSERT_EQ(CArticWrkUtil::ContCcTimeRelCrv(&wrk, blk, 0, 480, 0xB0, 7, 0, -20, 0, 240, &after), 0);
    after.RemoveAll();
    // Offsets 0, -10, -20 at 0, 240, 480 (the pinned end repeats 80); the
    // event after the span gets the end offset. One event per time.
    EXPECT_EQ(Ccs(7), (Points{{0, 100}, {240, 70}, {480, 60}, {600, 70}}));
    EXPECT_TRUE(AllRegistered());
    EXPECT_EQ(CArticWrkUtil::ContCcTimeRelCrv(&wrk, blk, 480, 480, 0xB0, 7, 0, -20, 0, 240, nullptr), 1);
    EXPECT_TRUE(exp.reports.empty());
}

TEST_F(ContTest, LibraryMergeOfCentredControllerValues) {
    CArticWrkEvnt* a = PutCc(0, 10, 40);
    CArticWrkEvnt* b = PutCc(240, 10, 100);
    CArticWrkEvntList exist, lib;
    exist.AddTail(a);
    exist.AddTail(b);
    for (auto [t, v] : Points{{0, 64}, {120, 74}, {480, 54}}) lib.AddTail(Loose(0xB0, t, 10, BYTE(v)));
    ASSERT_EQ(CArticWrkUtil::AddCcEvnt(&wrk, blk, &exist, &lib, 0x40), 0);
    lib.RemoveAll();
    // 64 counts as 0 and leaves 40; 74 (+10) comes in on 40; 100 gets the
    // last library +10; the library event past the existing data keeps its value.
    EXPECT_EQ(Ccs(10), (Points{{0, 40}, {120, 50}, {240, 110}, {480, 54}}));
    EXPECT_TRUE(AllRegistered());
}

TEST_F(ContTest, ReLevelTheSongsControllerData) {
    PutCc(100, 7, 80);
    ASSERT_EQ(CArticWrkUtil::ModWrkOrgContCc(&wrk, blk, 0, 200, 7, WORD(-10), 150), 0);
    // Pinned 100 (the default) at 0 and 80 at 200; each times 1.5 minus 10.
    EXPECT_EQ(Ccs(7), (Points{{0, 127}, {100, 110}, {200, 110}}));
}

TEST(ArticWrkUtilTypes, PhraseFileFlagBits) {
    EXPECT_EQ(CArticWrkUtil::ResetCcType(0x3F), 0x7C);
    EXPECT_EQ(CArticWrkUtil::ResetPbType(0x1F), 0x3C);
    EXPECT_EQ(CArticWrkUtil::ResetPbType(0x02), 0);
    EXPECT_EQ(CArticWrkUtil::ResetCcType(0x20), 0x40);
    EXPECT_EQ(CArticWrkUtil::ResetPbType(0x20), 0);
}
