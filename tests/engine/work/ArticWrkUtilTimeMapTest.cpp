// Time mapping: group starts, one- and two-point warps (swing and waltz),
// bar and beat heads, and re-timing of a note.
#include <gtest/gtest.h>

#include "engine/expressions/ArticMeas.h"
#include "UtilFixture.h"

using namespace wrktest;

namespace {

struct TimeMapTest : UtilTest {
    CArticWrkBlk* meas = nullptr;
    void UseMeasureBlock() {
        meas = AddBlock(AddTrack(wrk, 0));
        wrk.SetMeasBlk(meas);
    }
    // The expression takes one report only; a new case starts clean.
    void ClearReports() {
        exp.reports.clear();
        exp.SetErrKind(0);
    }
    CString OnlyDetail() const { return exp.reports.size() == 1 ? exp.reports[0].detail : CString("?"); }
};

struct MapCase {
    INT64 time, mapped;
};

}  // namespace

TEST_F(TimeMapTest, GroupStartHoldsTheTime) {
    const MapCase cases[] = {{1000, 580}, {100, 100}, {579, 100}, {580, 580}};
    for (const auto& c : cases) {
        INT64 start = -1;
        EXPECT_EQ(CArticWrkUtil::GetMathGroupTime(100, 480, c.time, &start), 0) << c.time;
        EXPECT_EQ(start, c.mapped) << c.time;
    }
    EXPECT_TRUE(exp.reports.empty());
    INT64 start = -1;
    EXPECT_EQ(CArticWrkUtil::GetMathGroupTime(100, 480, 99, &start), 1);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(OnlyDetail(), CString("指定時刻が開始時刻より早い。"));
    EXPECT_EQ(exp.reports[0].reason, CString("演算（ｸﾞﾙｰﾌﾟ開始時刻の算出）処理が実行できません。"));
}

TEST_F(TimeMapTest, GroupOfNoLengthFails) {
    INT64 start = -1;
    EXPECT_EQ(CArticWrkUtil::GetMathGroupTime(0, 0, 1000, &start), 1);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(OnlyReport(), CString("CArticWrkUtil::GetMathGroupTime"));
}

TEST_F(TimeMapTest, SwingMovesTheMiddleOfTheGroup) {
    // 2:1 swing: the half of 960 moves to 640
    const MapCase cases[] = {{0, 0}, {240, 320}, {480, 640}, {720, 800}, {960, 960}, {1200, 1120}};
    for (const auto& c : cases) {
        INT64 mapped = -1;
        EXPECT_EQ(CArticWrkUtil::GetMathCopyFig(0, 960, c.time, 2, 1, 640, &mapped), 0) << c.time;
        EXPECT_EQ(mapped, c.mapped) << c.time;
    }
    INT64 mapped = -1;
    EXPECT_EQ(CArticWrkUtil::GetMathCopyFig(1000, 1960, 1240, 2, 1, 640, &mapped), 0);
    EXPECT_EQ(mapped, 1320);  // relative to the group's start
    EXPECT_TRUE(exp.reports.empty());
}

TEST_F(TimeMapTest, WaltzMovesTwoPoints) {
    const MapCase cases[] = {{480, 600}, {960, 1100}, {1200, 1270}, {240, 300}, {720, 850}};
    for (const auto& c : cases) {
        INT64 mapped = -1;
        EXPECT_EQ(CArticWrkUtil::GetMathCopyFig2(0, 1440, c.time, 3, 1, 600, 2, 1100, &mapped), 0) << c.time;
        EXPECT_EQ(mapped, c.mapped) << c.time;
    }
    EXPECT_TRUE(exp.reports.empty());
}

TEST_F(TimeMapTest, WarpArgumentErrors) {
    struct Case {
        int two;  // 0 one point, 1 two points
        INT64 start, end, time;
        BYTE divisions;
        INT64 t1, t2;
        const char* detail;
    };
    const Case cases[] = {
        {0, 960, 960, 960, 2, 640, 0, "開始時刻が終了時刻以上になっています。"},
        {0, 0, 960, 100, 1, 640, 0, "分割数が２より小さい。"},
        {0, 100, 960, 50, 2, 640, 0, "指定時刻が開始時刻より小さい。"},
        {1, 0, 1440, 100, 2, 600, 1100, "分割数が３より小さい。"},
        {1, 1440, 0, 100, 3, 600, 1100, "終了時刻が開始時刻以下になっている。"},
        {1, 1440, 0, 100, 3, 600, 500,
         "終了時刻が開始時刻以下になっている。第二写像ﾎﾟｲﾝﾄ時刻が第一写像ﾎﾟｲﾝﾄ時刻以下になっている。"},
        {1, 0, 1440, 100, 3, 600, 600, "第二写像ﾎﾟｲﾝﾄ時刻が第一写像ﾎﾟｲﾝﾄ時刻以下になっている。"},
        {1, 100, 1440, 50, 3, 600, 1100, "指定時刻が開始時刻より小さい。"},
    };
    for (const auto& c : cases) {
        ClearReports();
        INT64 mapped = -1;
        const int rc = c.two ? CArticWrkUtil::GetMathCopyFig2(c.start, c.end, c.time, c.divisions, 1, c.t1, 2, c.t2,
                                                              &mapped)
                             : CArticWrkUtil::GetMathCopyFig(c.start, c.end, c.time, c.divisions, 1, c.t1, &mapped);
        EXPECT_EQ(rc, 1) << c.detail;
        EXPECT_EQ(mapped, 0) << c.detail;
        EXPECT_EQ(OnlyDetail(), CString(c.detail));
    }
}

TEST_F(TimeMapTest, WarpOfASideWithoutLengthFails) {
    INT64 mapped = -1;
    // point 0 sits at the start: nothing lies before it to stretch
    EXPECT_EQ(CArticWrkUtil::GetMathCopyFig(0, 960, 0, 2, 0, 100, &mapped), 1);
    // point 2 of 2 sits at the end: a time after it has no slope
    EXPECT_EQ(CArticWrkUtil::GetMathCopyFig(0, 960, 1000, 2, 2, 900, &mapped), 1);
    // a point pulled below the start maps a time below it
    ClearReports();
    EXPECT_EQ(CArticWrkUtil::GetMathCopyFig(0, 960, 240, 2, 1, -480, &mapped), 1);
    EXPECT_EQ(mapped, -239);  // (int64)(-240 + 0.5)
    EXPECT_EQ(OnlyDetail(), CString("写像時刻が開始時刻より小さくなってしまった。"));
}

TEST_F(TimeMapTest, BarAndBeatHeads) {
    UseMeasureBlock();  // 4/4 throughout
    const INT64 lastBeatOfBar4 = 3 * 1920 + 3 * 480 + 10;
    struct Case {
        BYTE mode;
        INT64 expected;
    };
    const Case cases[] = {{0, lastBeatOfBar4}, {1, 3 * 1920}, {2, 3 * 1920 + 3 * 480}, {3, 4 * 1920},
                          {4, 4 * 1920}};
    for (const auto& c : cases) {
        INT64 t = lastBeatOfBar4;
        EXPECT_EQ(CArticWrkUtil::GetTime(&wrk, c.mode, &t), 0) << int(c.mode);
        EXPECT_EQ(t, c.expected) << int(c.mode);
    }
    CArticMeas pos(2, 3, 100);
    const Case byMeas[] = {{0, 1920 + 960 + 100}, {1, 1920}, {2, 1920 + 960}};
    for (const auto& c : byMeas) {
        INT64 t = -1;
        EXPECT_EQ(CArticWrkUtil::GetTime(&wrk, c.mode, &pos, &t), 0) << int(c.mode);
        EXPECT_EQ(t, c.expected) << int(c.mode);
    }
    EXPECT_TRUE(exp.reports.empty());
    INT64 t = 500;
    EXPECT_EQ(CArticWrkUtil::GetTime(&wrk, 5, &t), 1);
    EXPECT_EQ(t, 0);
    EXPECT_EQ(OnlyReport(), CString("CArticWrkUtil::GetTime"));
    ClearReports();
    t = 500;
    EXPECT_EQ(CArticWrkUtil::GetTime(&wrk, 3, &pos, &t), 1);
    EXPECT_EQ(t, 0);
    EXPECT_EQ(OnlyReport(), CString("CArticWrkUtil::GetTime"));
    ClearReports();
    EXPECT_EQ(CArticWrkUtil::GetTime(nullptr, 0, &t), 1);
    EXPECT_EQ(OnlyReport(), CString("CArticWrkUtil::GetTime"));
}

TEST_F(TimeMapTest, ResetNoteOnOffMovesTheNote) {
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    CArticWrkEvnt* a = AddNote(blk, 1, 0, 60, 480);
    CArticWrkEvnt* b = AddNote(blk, 2, 480, 62, 480);
    CArticWrkEvnt source;
    b->SetProcWrkEvnt(&source);
    ASSERT_EQ(CArticWrkUtil::ResetNoteOnOff(b, 100, 300), 0);
    EXPECT_EQ(b->GetTime(), 100);
    EXPECT_EQ(b->GetGateTime(), 200);
    EXPECT_EQ(source.GetTimeShift(), -380);
    EXPECT_EQ(Keys(blk), (std::vector<int>{60, 62}));
    ASSERT_EQ(CArticWrkUtil::ResetNoteOnOff(a, 600, 600), 0);  // gate 0 is allowed
    EXPECT_EQ(a->GetGateTime(), 0);
    EXPECT_EQ(Keys(blk), (std::vector<int>{62, 60}));
    EXPECT_TRUE(exp.reports.empty());

    EXPECT_EQ(CArticWrkUtil::ResetNoteOnOff(a, 700, 650), 1);
    EXPECT_EQ(a->GetTime(), 600);
    EXPECT_EQ(OnlyDetail(), CString("Note-Onの時刻がNote-Offの時刻を越えている。"));
}
