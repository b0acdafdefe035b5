// The block conversion writers: bend and controller curves added to or
// replacing a span, their stretch, and the area writers.
#include <gtest/gtest.h>

#include "ContFixture.h"

using namespace wrktest;

namespace {

// The straight curve 0 -> 4096 over 0..480 every 120 ticks: shape index
// 0, 32, 64, 95, 127 gives 0, 1032, 2064, 3064, 4096.
const Points kLine = {{0, 0}, {120, 1032}, {240, 2064}, {360, 3064}, {480, 4096}};

int BendAdd(CArticWrk& wrk, CArticWrkBlk* blk, BYTE keepEnd, INT64 T1, INT64 T2, INT64 T3) {
    return CArticWrkUtil::ConvToWrkForAdd(&wrk, blk, 1, keepEnd, 0, T1, T2, T3, 0xE0, 0, 4096, 0, 120);
}

}  // namespace

TEST_F(ContTest, BendAddOverAnEmptySpanStartsAndEndsOnZero) {
    ASSERT_EQ(BendAdd(wrk, blk, 0, 0, 480, 480), 0);
    EXPECT_EQ(Bends(), kLine);
    EXPECT_TRUE(AllRegistered());
    EXPECT_TRUE(exp.reports.empty());
}

TEST_F(ContTest, BendAddWithKeepEndReturnsToTheBendBeforeTheEdit) {
    ASSERT_EQ(BendAdd(wrk, blk, 1, 0, 480, 480), 0);
    Points expected = kLine;
    expected.back().second = 0;
    EXPECT_EQ(Bends(), expected);

    // With a later area end the curve's end value holds up to it, unless keepEnd brings 0 back there.
    CArticWrk other;
    other.ChangeEvntNo(1);
    CArticWrkBlk* b = AddBlock(AddTrack(other, 1));
    ASSERT_EQ(BendAdd(other, b, 0, 0, 480, 960), 0);
    ASSERT_EQ(b->GetCount(), 6);
    EXPECT_EQ(Bend(b->Get(5)), 4096);
    EXPECT_EQ(b->Get(5)->GetTime(), 960);
}

TEST_F(ContTest, BendAddKeepsExistingBendAndAddsTheCurve) {
    PutBend(-100, 1000);  // in force before the span
    PutBend(240, 500);
    ASSERT_EQ(BendAdd(wrk, blk, 0, 0, 480, 480), 0);
    // The pinned start repeats 1000; at 240 the existing 500 meets the curve's
    // 2064; after it the curve adds to 500.
    const Points expected = {{-100, 1000}, {0, 1000}, {120, 2032}, {240, 2564}, {360, 3564}, {480, 4596}};
    EXPECT_EQ(Bends(), expected);
}

TEST_F(ContTest, BendReplaceLeavesOnlyTheCurveInTheSpan) {
    PutBend(100, 500);
    PutBend(300, -700);
    PutBend(700, 1000);
    ASSERT_EQ(CArticWrkUtil::ConvToWrkForReplace(&wrk, blk, 0, 0, 0, 0, 480, 480, 0xE0, 0, 4096, 0, 120), 0);
    Points expected = kLine;
    expected.push_back({700, 1000});
    EXPECT_EQ(Bends(), expected);
    EXPECT_TRUE(AllRegistered());
}

TEST_F(ContTest, ZeroLengthSpanFailsWithTheBlockUntouched) {
    PutBend(100, 500);
    PutBend(300, -700);
    const Points before = Bends();
    EXPECT_EQ(BendAdd(wrk, blk, 0, 240, 240, 480), 1);
    EXPECT_EQ(CArticWrkUtil::ConvToWrkForReplace(&wrk, blk, 0, 0, 0, 240, 240, 480, 0xE0, 0, 4096, 0, 120), 1);
    EXPECT_EQ(CArticWrkUtil::ConvToWrkForReplaceI(&wrk, blk, 0, 0, 0, 0, 240, 240, 480, 0xE0, 0, 4096, 0, 120), 1);
    EXPECT_EQ(CArticWrkUtil::ConvToWrkForSlideReplace(&wrk, blk, 0, 0, 240, 240, 480, 0xE0, 0, 4096, 0, 120), 1);
    EXPECT_EQ(Bends(), before);
    EXPECT_EQ(blk->GetCount(), 2);

    // Through the entry operation the failure is reported, once.
    EXPECT_EQ(CArticWrkUtil::CrePitchCrv(&wrk, blk, 0, 0, 0, 0, 240, 240, 480, 0xE0, 0, 4096, 0, 120), 1);
    EXPECT_EQ(OnlyReport(), "CArticWrkUtil::CrePitchCrv");
    EXPECT_EQ(Bends(), before);
}

TEST_F(ContTest, PitchCurveEntryConvertsCentsAndRefusesUnknownModes) {
    EXPECT_EQ(CArticWrkUtil::CrePitchCrv(&wrk, blk, 2, 0, 0, 0, 0, 480, 480, 0xE0, 0, 4096, 0, 120), 1);
    EXPECT_EQ(OnlyReport(), "CArticWrkUtil::CrePitchCrv");
    EXPECT_EQ(blk->GetCount(), 0);
    // 100 cents at the default range of 2 are 4096 bend units.
    ASSERT_EQ(CArticWrkUtil::CrePitchCrv(&wrk, blk, 1, 0, 0, 1, 0, 480, 480, 0xE0, 0, 100, 0, 120), 0);
    EXPECT_EQ(Bends(), kLine);
}

TEST_F(ContTest, ControllerAddWithCentreAndNoChangeAddsSixtyFour) {
    PutCc(0, 11, 20);
    PutCc(240, 11, 40);
    ASSERT_EQ(CArticWrkUtil::ConvToWrkForContCcAdd(&wrk, blk, 1, 0, 0, 1, 0, 480, 480, 0xB0, 11, 0, 0, 0, 120), 0);
    // Every curve point is level 64; the pinned end repeats 40.
    const Points expected = {{0, 84}, {120, 84}, {240, 104}, {360, 104}, {480, 104}};
    EXPECT_EQ(Ccs(11), expected);
    EXPECT_TRUE(NoLevelEncodedCc());
    EXPECT_TRUE(AllRegistered());
}

TEST_F(ContTest, ControllerAddClampsAndKeepEndRestoresTheEndValue) {
    PutCc(0, 7, 100);
    ASSERT_EQ(CArticWrkUtil::ConvToWrkForContCcAdd(&wrk, blk, 1, 1, 0, 0, 0, 480, 480, 0xB0, 7, 0, 40, 0, 240), 0);
    // Levels 0, 20, 40 added to 100; the existing end keeps its own 100.
    const Points expected = {{0, 100}, {240, 120}, {480, 100}};
    EXPECT_EQ(Ccs(7), expected);
    EXPECT_TRUE(NoLevelEncodedCc());

    ASSERT_EQ(CArticWrkUtil::ConvToWrkForContCcAdd(&wrk, blk, 1, 0, 0, 0, 0, 480, 480, 0xB0, 7, 0, 40, 0, 240), 0);
    const Points clamped = {{0, 100}, {240, 127}, {480, 127}};
    EXPECT_EQ(Ccs(7), clamped);
}

TEST_F(ContTest, ControllerWriterFailureLeavesNoLevelEncodedController) {
    PutCc(0, 11, 20);
    PutCc(240, 11, 40);
    PutCc(240, 7, 90);
    // A step of 0 ticks fails the curve after the existing events were taken in.
    EXPECT_NE(CArticWrkUtil::ConvToWrkForContCcAdd(&wrk, blk, 1, 0, 0, 1, 0, 480, 480, 0xB0, 11, 0, 10, 0, 0), 0);
    EXPECT_TRUE(NoLevelEncodedCc());
    // The values are as before; the pinned end, already in the block, repeats 40.
    const Points expected = {{0, 20}, {240, 40}, {480, 40}};
    EXPECT_EQ(Ccs(11), expected);
    EXPECT_EQ(Ccs(7), (Points{{240, 90}}));

    EXPECT_NE(CArticWrkUtil::CreContCcCrvI(&wrk, blk, 1, 0, 0, 0, 0, 120, 480, 480, 0xB0, 11, 0, 10, 0, 0), 0);
    EXPECT_EQ(OnlyReport(), "CArticWrkUtil::CreContCcCrvI");
    EXPECT_TRUE(NoLevelEncodedCc());
    EXPECT_EQ(Ccs(11), expected);
    EXPECT_TRUE(AllRegistered());
}

TEST_F(ContTest, ControllerReplaceWritesTheCurveFromZero) {
    PutCc(0, 1, 100);
    PutCc(200, 1, 90);
    PutCc(600, 1, 80);
    ASSERT_EQ(CArticWrkUtil::CreContCcCrv(&wrk, blk, 0, 0, 0, 0, 0, 480, 480, 0xB0, 1, 0, 100, 0, 240), 0);
    const Points expected = {{0, 0}, {240, 50}, {480, 100}, {600, 80}};
    EXPECT_EQ(Ccs(1), expected);
    EXPECT_TRUE(NoLevelEncodedCc());
    EXPECT_TRUE(exp.reports.empty());
}

TEST_F(ContTest, StretchStartMovesTheFirstRisingPointToTheStart) {
    OwnedList curve;
    for (auto [t, v] : Points{{0, 0}, {100, 0}, {200, 300}, {300, 600}, {400, 900}})
        curve.list.AddTail(LooseBend(t, v));
    ASSERT_EQ(CArticWrkUtil::MagPitchCrvEvntList(&curve.list, 0, 400, 0, 900, 1, 0), 0);
    // 200..400 stretched over 0..400 (scale 2); the two flat points go.
    EXPECT_EQ(Times(curve.list), (std::vector<INT64>{0, 200, 400}));
    EXPECT_EQ(Bend(curve.list.GetHead()), 300);
    EXPECT_EQ(CArticWrkUtil::MagPitchCrvEvntList(nullptr, 0, 400, 0, 900, 1, 0), 1);
    EXPECT_EQ(CArticWrkUtil::MagPitchCrvEvntList(nullptr, 0, 400, 0, 900, 0, 0), 0);
}

TEST_F(ContTest, AreaWriterScalesListedEventsAndPinsTheEnds) {
    CArticWrkEvnt* mid = PutCc(240, 7, 100);
    CArticWrkEvnt* end = PutCc(480, 7, 60);
    CArticWrkEvntList list;
    list.AddTail(mid);
    list.AddTail(end);
    ASSERT_EQ(CArticWrkUtil::CcTimeRelAreaFix(&wrk, blk, &list, 0, 480, 0xB0, 7, 50, 0, 0, 0, 80, 90), 0);
    // Listed events halved; a new start from startLevel 80 (halved); none at
    // 480 since one is listed there.
    EXPECT_EQ(Ccs(7), (Points{{0, 40}, {240, 50}, {480, 30}}));

    CArticWrkEvntList empty;
    ASSERT_EQ(CArticWrkUtil::CcTimeRelAreaFix(&wrk, blk, &empty, -100, 960, 0xB0, 10, 200, 0, 1, 1, 80, 0), 0);
    // Centred: (80 - 64) x 2 + 64 = 96 at the start (moved to 0), 80 unscaled at the end.
    EXPECT_EQ(Ccs(10), (Points{{0, 96}, {960, 80}}));
    EXPECT_EQ(CArticWrkUtil::CcTimeRelAreaFix(&wrk, nullptr, &empty, 0, 480, 0xB0, 7, 50, 0, 0, 0, 80, 90), 1);
    EXPECT_EQ(OnlyReport(), "CArticWrkUtil::CcTimeRelAreaFix");
}

namespace {

// A new event of blk, not yet in its list, as the curve builders make them.
CArticWrkEvnt* CurvePoint(CArticWrk& wrk, CArticWrkBlk* blk, BYTE status, INT64 time) {
    CArticWrkEvnt* e = nullptr;
    EXPECT_EQ(CArticWrkUtil::CreateWrkEvnt(&wrk, blk, &e), 0);
    e->SetStatus(status);
    e->SetTime(time, 1);
    return e;
}

}  // namespace

TEST_F(ContTest, MergesTurnCurvePointsPastTheExistingDataIntoRealValues) {
    // Controller levels: the existing 20 (as a working level) meets +5; the
    // point at 100 continues from 20.
    CArticWrkEvnt* x = PutCc(0, 7, 0);
    x->SetPost3(20);
    CArticWrkEvntList exist, curve;
    exist.AddTail(x);
    for (auto [t, level] : Points{{0, 5}, {100, 10}}) {
        CArticWrkEvnt* e = CurvePoint(wrk, blk, 0xB0, t);
        e->SetPost1(7);
        e->SetPost3(BYTE(level));
        curve.AddTail(e);
    }
    ASSERT_EQ(CArticWrkUtil::AddContCcCrvEvnt(blk, &exist, &curve, 0, 0, 100, 100), 0);
    exist.RemoveAll();
    curve.RemoveAll();
    EXPECT_EQ(Ccs(7), (Points{{0, 25}, {100, 30}}));
    EXPECT_TRUE(NoLevelEncodedCc());

    // Signed controller offsets.
    CArticWrkEvnt* y = PutCc(0, 1, 100);
    exist.AddTail(y);
    for (INT64 t : {0, 100}) {
        CArticWrkEvnt* e = CurvePoint(wrk, blk, 0xB0, t);
        e->SetPost1(1);
        e->SetPost2(BYTE(-5));
        curve.AddTail(e);
    }
    ASSERT_EQ(CArticWrkUtil::AddCrvEvnt(blk, &exist, &curve, 100), 0);
    exist.RemoveAll();
    curve.RemoveAll();
    EXPECT_EQ(Ccs(1), (Points{{0, 95}, {100, 95}}));

    // Tempo percentages.
    CArticWrkEvnt* z = PutTempo(0, 500000);
    exist.AddTail(z);
    for (auto [t, mag] : Points{{0, 100}, {240, 200}}) {
        CArticWrkEvnt* e = CurvePoint(wrk, blk, 0xFF, t);
        const BYTE bytes[3] = {0, 0, BYTE(mag)};
        e->SetMeta(0x51, bytes, 3);
        curve.AddTail(e);
    }
    ASSERT_EQ(CArticWrkUtil::AddTempoCrvEvnt(&wrk, blk, &exist, &curve, 240), 0);
    exist.RemoveAll();
    curve.RemoveAll();
    EXPECT_EQ(Tempi(), (Points{{0, 500000}, {240, 250000}}));
    EXPECT_TRUE(AllRegistered());
}

TEST_F(ContTest, AddWithAnEarlierAreaStartStretchesTheCurveStart) {
    ASSERT_EQ(CArticWrkUtil::ConvToWrkForAddI(&wrk, blk, 1, 0, 1, 0, 240, 480, 480, 0xE0, 0, 4096, 0, 120), 0);
    // Curve 0, 2064, 4096 at 240, 360, 480; forced start stretch: 360..480
    // over 240..480, the flat start goes; the area start at 0 keeps 0.
    EXPECT_EQ(Bends(), (Points{{0, 0}, {240, 2064}, {480, 4096}}));
}

TEST_F(ContTest, OriginalListsPinTheirEnds) {
    PutBend(-10, 300);
    PutBend(100, 700);
    CArticWrkEvntList list;
    EXPECT_EQ(CArticWrkUtil::CreOrigWrkPbEvntList(&wrk, blk, &list, 0, 200, 0xB0), 1);
    ASSERT_EQ(CArticWrkUtil::CreOrigWrkPbEvntList(&wrk, blk, &list, 0, 200, 0xE0), 0);
    EXPECT_EQ(Times(list), (std::vector<INT64>{0, 100, 200}));
    EXPECT_EQ(Bend(list.GetHead()), 300);
    EXPECT_EQ(Bend(list.GetTail()), 700);
    list.RemoveAll();
    EXPECT_TRUE(InTimeOrder());

    CArticWrkEvnt* cc = PutCc(50, 7, 30);
    // Around an event by number: the control change itself is in force after its time.
    EXPECT_EQ(CArticWrkUtil::GetContCcLevel(cc, 60, 7), 30);
    EXPECT_EQ(CArticWrkUtil::GetContCcLevel(cc, 50, 7), 100);
    EXPECT_EQ(CArticWrkUtil::GetContCcLevel(cc, 10, 1), 0);
    ASSERT_EQ(CArticWrkUtil::CreOrigWrkCcEvntList(&wrk, blk, &list, 0, 200, 0, 0xB0, 7), 0);
    EXPECT_EQ(Times(list), (std::vector<INT64>{0, 50, 200}));
    EXPECT_EQ(list.GetHead()->GetPost2(), 100);  // the default before any event
    EXPECT_EQ(list.GetTail()->GetPost2(), 30);
    list.RemoveAll();

    OwnedList owned;
    owned.list.AddTail(Loose(0xB0, 480, 7, 33));
    CArticWrkUtil::AddInitEvntList(&owned.list, 0);
    EXPECT_EQ(Times(owned.list), (std::vector<INT64>{0, 480}));
    EXPECT_EQ(owned.list.GetHead()->GetPost2(), 33);
}
