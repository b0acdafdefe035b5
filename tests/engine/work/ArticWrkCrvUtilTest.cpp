#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/work/ArticWrkCrvUtil.h"
#include "engine/work/ArticWrkUtil.h"
#include "UtilFixture.h"

using namespace wrktest;

namespace {

using Points = std::vector<std::pair<INT64, int>>;

// Bend range entries of a block's timeline.
void RangeAt(CArticWrkBlk* blk, INT64 time, BYTE semitones) {
    CArticWrkEvnt e;
    e.SetStatus(0x20);
    e.SetTime(time, 0);
    e.SetPost3(semitones);
    ASSERT_EQ(blk->SetCondPos(&e), 0);
}

Points BendPoints(CArticWrkEvntList& list) {
    Points out;
    for (POSITION p = list.GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list.GetNext(p);
        if (e && e->GetStatus() == 0xE0) out.push_back({e->GetTime(), Bend(e)});
    }
    return out;
}

struct Curves : UtilTest {
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));

    CArticWrkEvnt* AddBend(ULONG no, INT64 time, int value) {
        CArticWrkEvnt* e = NewEvnt(blk, no, 0xE0, time);
        _WRK_EVNT r;
        e->Get(r);
        CArticWrkUtil::SetPitchBend(r, short(value));
        e->Set(r);
        blk->Sort(e, 1);
        return e;
    }
    Points BlockBends() { return BendPoints(*blk->GetEvntList()); }
    // Every event of the block is reachable under its number.
    bool AllRegistered() {
        for (POSITION p = blk->GetHeadPos(); p;) {
            CArticWrkEvnt* e = blk->GetNext(p);
            if (wrk.GetEvntInEvntPosArray(e->GetEvntNo(), 1) != e) return false;
        }
        return true;
    }
    // Curve events belong to the block but are not in its list.
    void FreeList(CArticWrkEvntList& list) {
        for (POSITION p = list.GetHeadPosition(); p;) delete list.GetNext(p);
        list.RemoveAll();
    }
};

}  // namespace

TEST(ArticWrkUtilCurve, WorkedLevelsOverAHalfNote) {
    struct Case { signed char curve; int levels[5]; };
    const Case cases[] = {
        {0, {0, 25, 50, 75, 100}},  {16, {0, 0, 3, 24, 100}},   {8, {0, 13, 27, 49, 100}},
        {-8, {0, 51, 74, 87, 100}}, {-16, {0, 76, 98, 100, 100}},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 5; ++i) {
            const INT64 pos = 120 * i;
            EXPECT_EQ(CArticWrkUtil::CalcCrvLevel(pos, 480, 100, 0, c.curve), c.levels[i]) << int(c.curve) << " " << pos;
            EXPECT_EQ(CArticWrkUtil::CalcPitchCrvLevel(pos, 480, 100, 0, c.curve), c.levels[i]);
            EXPECT_EQ(CArticWrkCrvUtil::CalcPitchCrvLevel(pos, 480, 100, 0, c.curve), c.levels[i]);
            EXPECT_EQ(CArticWrkUtil::CalcTempoCrvMag(pos, 480, 100, 0, c.curve), c.levels[i]);
        }
    }
    EXPECT_EQ(CArticWrkUtil::CalcCrvLevel(240, 480, -100, 0, 16), -3);
    EXPECT_EQ(CArticWrkUtil::CalcCrvShape(240, 480, 16), 4);
    EXPECT_EQ(CArticWrkUtil::CalcCrvShape(240, 480, -16), 124);
}

TEST(ArticWrkUtilCurve, LevelsAreClampedToTheirRange) {
    EXPECT_EQ(CArticWrkUtil::CalcCrvLevel(240, 480, 100, 120, 0), 127);  // 170
    EXPECT_EQ(CArticWrkUtil::CalcCrvLevel(480, 480, -300, 0, 0), -128);
    EXPECT_EQ(CArticWrkUtil::CalcPitchCrvLevel(480, 480, 9000, 0, 0), 8191);
    EXPECT_EQ(CArticWrkUtil::CalcPitchCrvLevel(480, 480, -9000, -100, 0), -8192);
    EXPECT_EQ(CArticWrkUtil::CalcTempoCrvMag(240, 480, 50, 100, 0), 125);
    EXPECT_EQ(CArticWrkUtil::CalcTempoCrvMag(480, 480, 100000, 100000, 0), 200000);  // no clamp
    // A span of 0 ticks is index 0: no change for any curve.
    for (signed char c : {0, 16, -16}) EXPECT_EQ(CArticWrkUtil::CalcCrvLevel(100, 0, 100, -200, c), -128);
    EXPECT_EQ(CArticWrkUtil::CalcPitchCrvLevel(100, 0, 100, 30, -16), 30);
}

TEST(ArticWrkUtilCurve, PositionsOutsideTheSpanAreHeldAtItsEnds) {
    for (signed char c : {0, 8, 16, -8, -16}) {
        EXPECT_EQ(CArticWrkUtil::CalcCrvLevel(960, 480, 100, 0, c), 100) << int(c);
        EXPECT_EQ(CArticWrkUtil::CalcCrvLevel(-480, 480, 100, 0, c), 0) << int(c);
        EXPECT_EQ(CArticWrkUtil::CalcPitchCrvLevel(1 << 30, 480, 1000, 0, c), 1000) << int(c);
    }
}

TEST(ArticWrkUtilCurve, MagnifiedControllerLevels) {
    struct Case { BYTE type; short level; WORD mag; signed char add; short result; };
    const Case cases[] = {
        {1, 64, 150, 0, 64},  {1, 127, 200, 0, 127}, {1, 100, 150, 0, 118}, {1, 10, 150, 0, 0},
        {1, 40, 50, 0, 52},   {1, 41, 50, 0, 52},    {1, 64, 100, 70, 127},  {1, 64, 100, -65, 0},
        {0, 100, 50, -60, 0}, {0, 10, 100, 0, 10},   {0, 200, 100, 0, 200},  {0, 101, 50, 0, 51},
        {0, 100, 100, 5, 105}, {0, 100, 200, 0, 127},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CArticWrkUtil::CalcMagLevel(c.type, c.level, c.mag, c.add), c.result)
            << int(c.type) << " " << c.level << " " << c.mag << " " << int(c.add);
}

TEST(ArticWrkUtilCurve, PitchBendEncoding) {
    for (short v : {short(-8192), short(-1), short(0), short(1), short(8191)}) {
        _WRK_EVNT r;
        CArticWrkUtil::SetPitchBend(r, v);
        EXPECT_EQ(CArticWrkUtil::GetPitchBend(r), v);
        EXPECT_LE(r.Post1, 127);
        EXPECT_LE(r.Post2, 127);
    }
    _WRK_EVNT zero;
    CArticWrkUtil::SetPitchBend(zero, 0);
    EXPECT_EQ(zero.Post1, 0);
    EXPECT_EQ(zero.Post2, 64);
}

TEST_F(Curves, SemitonesAndCentsInBendUnits) {
    RangeAt(blk, 1000, 12);
    RangeAt(blk, 2000, 0);
    struct Case { INT64 time; int semitones; short base; LONG bend; };
    const Case semis[] = {{0, 2, 0, 8191}, {0, -2, 0, -8192}, {0, 1, 0, 4096}, {0, 1, 100, 4196}, {1000, 1, 0, 683},
                          {1000, -1, 0, -683}, {0, 0, 77, 77}, {2000, 3, 5, 5}};
    for (const auto& c : semis)
        EXPECT_EQ(CArticWrkUtil::CalcPbLevel(blk, c.time, static_cast<signed char>(c.semitones), c.base), c.bend)
            << c.time << " " << c.semitones;
    EXPECT_EQ(CArticWrkUtil::CalcPbLevel(nullptr, 0, 2, 0), 0);

    struct CentCase { INT64 time; LONG cents; LONG bend; double exact; };
    const CentCase cents[] = {
        {0, 100, 4096, 4096.0}, {1000, 100, 683, 4096.0 / 6}, {0, -50, -2048, -2048.0}, {1000, 1, 7, 40.96 / 6},
        {2000, 100, 0, 0.0},  // a range of 0: no bend, and no division
    };
    for (const auto& c : cents) {
        EXPECT_EQ(CArticWrkUtil::ConvToPBFromCent(&wrk, blk, c.time, c.cents), c.bend) << c.time << " " << c.cents;
        EXPECT_DOUBLE_EQ(CArticWrkCrvUtil::ConvToPBFromCent(&wrk, blk, c.time, c.cents), c.exact);
    }
    EXPECT_EQ(CArticWrkUtil::ConvToPBFromCent(&wrk, nullptr, 0, 100), 0);
    EXPECT_DOUBLE_EQ(CArticWrkCrvUtil::GetPitchAdd(&wrk, blk, 0, 500), 8191.0);
    EXPECT_DOUBLE_EQ(CArticWrkCrvUtil::GetPitchAdd(&wrk, blk, 0, -500), -8192.0);
    EXPECT_EQ(CArticWrkUtil::GetPbRange(blk, 500), 2);
    EXPECT_EQ(CArticWrkUtil::GetPbRange(blk, 1500), 12);
}

TEST_F(Curves, SingleBendEvents) {
    EXPECT_EQ(CArticWrkUtil::CrePbTime(&wrk, blk, kWrkNoTime, 2, 0), 0);
    EXPECT_EQ(blk->GetCount(), 0);
    ASSERT_EQ(CArticWrkUtil::CrePbTime(&wrk, blk, 100, -2, 0), 0);
    ASSERT_EQ(CArticWrkUtil::CrePbTime(&wrk, blk, 200, 2, 0), 0);
    ASSERT_EQ(CArticWrkUtil::CrePbTime(&wrk, blk, 300, 1, -100), 0);
    EXPECT_EQ(BlockBends(), (Points{{100, -8192}, {200, 8191}, {300, 3996}}));
    EXPECT_EQ(blk->Get(0)->GetCreate(), 1);
    EXPECT_TRUE(AllRegistered());
    EXPECT_TRUE(exp.reports.empty());
    EXPECT_EQ(CArticWrkUtil::CrePbTime(&wrk, nullptr, 100, 0, 0), 1);
    ASSERT_EQ(exp.reports.size(), 1u);
    EXPECT_EQ(exp.reports[0].reason, "新規に中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ（PB）を作成することができなかった。");
    EXPECT_EQ(exp.reports[0].location, "CArticWrkUtil::CrePbTime");

    AddCc(blk, 9, 200, 7, 1);
    EXPECT_EQ(CArticWrkUtil::DelPbTime(blk->GetEvntList(), 200), 0);
    EXPECT_EQ(BlockBends(), (Points{{100, -8192}, {300, 3996}}));
    EXPECT_EQ(blk->GetCount(), 3);  // the controller at 200 stays
    EXPECT_TRUE(AllRegistered());
    EXPECT_EQ(CArticWrkUtil::DelPbTime(nullptr, 0), 1);
}

TEST_F(Curves, AddPitchCrvEvntAddsTheCurveToTheExistingBend) {
    for (int keepEnd : {1, 0}) {
        blk->ClearEvntList();
        CArticWrkEvntList existing, curve;
        existing.AddTail(AddBend(0, 0, 100));
        existing.AddTail(AddBend(1, 480, 200));
        existing.AddTail(AddBend(2, 960, 0));
        for (auto pt : Points{{240, 50}, {480, 60}, {960, 70}}) {
            CArticWrkEvnt* e = nullptr;
            ASSERT_EQ(CArticWrkUtil::CreateWrkEvnt(&wrk, blk, &e), 0);
            e->SetStatus(0xE0);
            e->SetTime(pt.first, 1);
            _WRK_EVNT r;
            e->Get(r);
            CArticWrkUtil::SetPitchBend(r, short(pt.second));
            e->Set(r);
            curve.AddTail(e);
        }
        ASSERT_EQ(CArticWrkUtil::AddPitchCrvEvnt(blk, &existing, &curve, BYTE(keepEnd), 480, 960), 0);
        const int end = keepEnd ? 0 : 70;  // with keepEnd the bend before the edit returns at the end
        EXPECT_EQ(BlockBends(), (Points{{0, 100}, {240, 150}, {480, 260}, {960, end}})) << keepEnd;
        EXPECT_EQ(curve.GetCount(), 1);  // the points that met existing events went
        EXPECT_TRUE(AllRegistered());
    }
    CArticWrkEvntList empty;
    EXPECT_EQ(CArticWrkUtil::AddPitchCrvEvnt(nullptr, &empty, &empty, 0, 0, 1), 1);
}

TEST_F(Curves, SmoothCurveThenSemitoneSteps) {
    CArticWrkEvntList curve;
    ASSERT_EQ(CArticWrkCrvUtil::CrePitchCrvEvntList(&wrk, blk, &curve, 0, 100, 500, 600, 0.0, 8191.0, 0, 100), 0);
    EXPECT_EQ(BendPoints(curve), (Points{{0, 0}, {100, 0}, {200, 2064}, {300, 4128}, {400, 6127}, {500, 8191}}));
    EXPECT_EQ(blk->GetCount(), 0);  // not in the block yet

    ASSERT_EQ(CArticWrkCrvUtil::ModPitchSlideEvntList(&curve, 0.0, 8191.0, 4096.0, 100), 0);
    EXPECT_EQ(BendPoints(curve), (Points{{0, 0}, {100, 4096}, {300, 8191}}));
    ASSERT_EQ(CArticWrkCrvUtil::MagTimeEvntList(&curve, 0.0, 8191.0, 100, 500), 0);
    EXPECT_EQ(BendPoints(curve), (Points{{0, 0}, {100, 4096}, {500, 8191}}));
    FreeList(curve);

    // A step that misses the end adds the end point; falling slides step down.
    ASSERT_EQ(CArticWrkCrvUtil::CrePitchCrvEvntList(&wrk, blk, &curve, 100, 100, 250, 250, 4096.0, -4096.0, 0, 100), 0);
    EXPECT_EQ(BendPoints(curve), (Points{{100, 4096}, {200, -1387}, {250, -4096}}));
    ASSERT_EQ(CArticWrkCrvUtil::ModPitchSlideEvntList(&curve, 4096.0, -4096.0, -4096.0, 100), 0);
    EXPECT_EQ(BendPoints(curve), (Points{{100, 0}, {200, -4096}}));
    FreeList(curve);
}

TEST_F(Curves, CurveListRefusesAStepOfZero) {
    CArticWrkEvntList curve;
    EXPECT_EQ(CArticWrkCrvUtil::CrePitchCrvEvntList(&wrk, blk, &curve, 0, 100, 500, 600, 0.0, 100.0, 0, 0), 1);
    EXPECT_TRUE(curve.IsEmpty());
}

TEST_F(Curves, StepsAndStretchLeaveAnEvenSlideAlone) {
    CArticWrkEvntList curve;
    ASSERT_EQ(CArticWrkCrvUtil::CrePitchCrvEvntList(&wrk, blk, &curve, 100, 100, 300, 300, 500.0, 500.0, 16, 100), 0);
    const Points smooth = BendPoints(curve);
    EXPECT_EQ(smooth, (Points{{100, 500}, {200, 500}, {300, 500}}));
    EXPECT_EQ(CArticWrkCrvUtil::ModPitchSlideEvntList(&curve, 500.0, 500.0, 0.0, 100), 0);
    EXPECT_EQ(CArticWrkCrvUtil::ModPitchSlideEvntList(&curve, 500.0, 500.0, 4096.0, 100), 0);
    EXPECT_EQ(CArticWrkCrvUtil::MagTimeEvntList(&curve, 500.0, 500.0, 100, 300), 0);
    EXPECT_EQ(BendPoints(curve), smooth);
    FreeList(curve);
}

TEST_F(Curves, PitchSlideAddedToTheExistingBend) {
    AddBend(0, 50, 100);
    ASSERT_EQ(CArticWrkCrvUtil::CrePitchSlide(&wrk, blk, 1, 0, 0, 100, 500, 600, 0, 200, 0, 100), 0);
    EXPECT_EQ(BlockBends(), (Points{{0, 0}, {50, 100}, {100, 4196}, {500, 8191}, {600, 100}}));
    EXPECT_TRUE(AllRegistered());
    EXPECT_TRUE(exp.reports.empty());
}

TEST_F(Curves, PitchSlideKeepingTheEndIsNotStretched) {
    AddBend(0, 50, 100);
    ASSERT_EQ(CArticWrkCrvUtil::CrePitchSlide(&wrk, blk, 1, 1, 0, 100, 500, 600, 0, 200, 0, 100), 0);
    EXPECT_EQ(BlockBends(), (Points{{0, 0}, {50, 100}, {100, 4196}, {300, 8191}, {600, 100}}));
    EXPECT_TRUE(AllRegistered());
}

TEST_F(Curves, PitchSlideReplacingTheBendOfTheArea) {
    AddBend(0, 50, 100);
    AddBend(1, 700, 300);
    ASSERT_EQ(CArticWrkCrvUtil::CrePitchSlide(&wrk, blk, 0, 0, 0, 100, 500, 600, 0, 200, 0, 100), 0);
    EXPECT_EQ(BlockBends(), (Points{{0, 0}, {100, 4096}, {500, 8191}, {600, 0}, {700, 300}}));
    EXPECT_TRUE(AllRegistered());
}

TEST_F(Curves, PitchSlideFailuresAreReportedAndChangeNothing) {
    AddBend(0, 50, 100);
    EXPECT_EQ(CArticWrkCrvUtil::CrePitchSlide(&wrk, blk, 2, 0, 0, 100, 500, 600, 0, 200, 0, 100), 1);
    ASSERT_EQ(exp.reports.size(), 1u);
    EXPECT_EQ(exp.reports[0].phase, "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集時(第１段階)にｴﾗｰが発生しました。");
    EXPECT_EQ(exp.reports[0].reason, "指定した時間にPBｶｰﾌﾞを作成するための情報に誤りがある。");
    EXPECT_EQ(exp.reports[0].location, "CArticWrkCrvUtil::CrePitchSlide");
    EXPECT_EQ(CArticWrkCrvUtil::PitchSlideAdd(&wrk, blk, 1, 0, 0, 300, 300, 600, 0.0, 100.0, 0, 100), 1);
    EXPECT_EQ(BlockBends(), (Points{{50, 100}}));
    // A step of 0 fails after the ends were pinned; no curve event is left over.
    EXPECT_EQ(CArticWrkCrvUtil::PitchSlideAdd(&wrk, blk, 1, 0, 0, 100, 500, 600, 0.0, 100.0, 0, 0), 1);
    EXPECT_EQ(BlockBends(), (Points{{0, 0}, {50, 100}, {600, 100}}));
}

TEST_F(Curves, SlideUnderABendRangeOfZeroStaysSmooth) {
    RangeAt(blk, 0, 0);
    ASSERT_EQ(CArticWrkCrvUtil::PitchSlideAdd(&wrk, blk, 1, 0, 100, 100, 500, 500, 0.0, 4096.0, 0, 100), 0);
    EXPECT_EQ(BlockBends(), (Points{{100, 0}, {200, 1032}, {300, 2064}, {400, 3064}, {500, 4096}}));
}
