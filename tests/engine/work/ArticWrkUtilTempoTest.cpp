// Tempo operations: absolute and relative tempo changes of a block, the
// tempo curve, and the refusal of tempi and magnifications of 0.
#include <gtest/gtest.h>

#include "ContFixture.h"

using namespace wrktest;

TEST_F(ContTest, RelativeTempoLastsUntilTheSongsNextTempoChange) {
    PutSongTempo(0, 500000);
    PutTempo(960, 600000);
    PutSongTempo(1920, 400000);
    ASSERT_EQ(CArticWrkUtil::TempoRelFix(&wrk, blk, 480, 200), 0);
    // A tempo event is pinned at 480 with the tempo in force, then it and 960
    // are halved; the song's change at 1920 stays.
    EXPECT_EQ(Tempi(), (Points{{0, 500000}, {480, 250000}, {960, 300000}, {1920, 400000}}));
    EXPECT_EQ(blk->Get(1)->GetCreate(), 1);
    EXPECT_TRUE(AllRegistered());
}

TEST_F(ContTest, RelativeTempoOverAnAreaPutsTheOldTempoBackAtItsEnd) {
    PutTempo(0, 500000);
    ASSERT_EQ(CArticWrkUtil::TempoRelAreaFix(&wrk, blk, 960, 1920, 50), 0);
    EXPECT_EQ(Tempi(), (Points{{0, 500000}, {960, 1000000}, {1920, 500000}}));
    EXPECT_EQ(blk->Get(1)->GetCreate(), 1);
    EXPECT_EQ(blk->Get(2)->GetCreate(), 0);
}

TEST_F(ContTest, AbsoluteTempoScalesTheFollowingTempiAndEntersTheTimeline) {
    PutTempo(0, 600000);
    PutTempo(1920, 300000);
    ASSERT_EQ(CArticWrkUtil::TempoAbs(&wrk, blk, 960, 480, 120), 0);
    // 120 quarters a minute at 480 ticks a beat is 500000; the later tempo
    // keeps its ratio to it (300000 x 500000 / 600000).
    EXPECT_EQ(Tempi(), (Points{{0, 600000}, {960, 500000}, {1920, 250000}}));
    CArticWrkEvnt* entry = nullptr;
    ASSERT_EQ(blk->GetCond()->GetEvntTempo(960, &entry), 0);
    EXPECT_EQ(entry->GetTime(), 960);
    EXPECT_EQ(TempoOf(entry), 500000u);

    // Already 500000: nothing changes, the event is entered all the same.
    CArticWrk other;
    other.ChangeEvntNo(1);
    CArticWrkBlk* b = AddBlock(AddTrack(other, 1));
    ASSERT_EQ(CArticWrkUtil::TempoAbs(&other, b, 0, 480, 120), 0);
    ASSERT_EQ(b->GetCount(), 1);
    EXPECT_EQ(TempoOf(b->Get(0)), 500000u);
    EXPECT_EQ(b->GetCond()->GetEvntTempo(0, &entry), 0);
}

TEST_F(ContTest, BackToTheSongsTempo) {
    PutSongTempo(0, 500000);
    PutTempo(960, 250000);   // an earlier edit
    PutTempo(1440, 300000);
    ASSERT_EQ(CArticWrkUtil::TempoAbsRel(&wrk, blk, 960), 0);
    // cur / song = 50 %: every tempo from 960 on is doubled.
    EXPECT_EQ(Tempi(), (Points{{0, 500000}, {960, 500000}, {1440, 600000}}));
    EXPECT_EQ(CArticWrkUtil::TempoAbsRel(&wrk, blk, 960), 0);
    EXPECT_EQ(Tempi(), (Points{{0, 500000}, {960, 500000}, {1440, 600000}}));
}

TEST_F(ContTest, TempoOfZeroAndMagnificationOfZeroAreRefused) {
    PutSongTempo(0, 500000);
    PutTempo(960, 400000);
    const Points before = Tempi();
    EXPECT_EQ(CArticWrkUtil::TempoRelFix(&wrk, blk, 480, 0), 1);
    EXPECT_EQ(CArticWrkUtil::TempoRelAreaFix(&wrk, blk, 480, 1440, 0), 1);
    EXPECT_EQ(CArticWrkUtil::TempoRelAreaFix(&wrk, blk, 1440, 480, 50), 1);
    EXPECT_EQ(CArticWrkUtil::TempoAbs(&wrk, blk, 480, 480, 0), 1);
    EXPECT_EQ(CArticWrkUtil::TempoAbs(&wrk, blk, 480, 0, 120), 1);
    EXPECT_EQ(CArticWrkUtil::CreTempoRelCrv(&wrk, blk, 0, 960, 0, 100, 0, 120), 1);
    EXPECT_EQ(CArticWrkUtil::CreTempoRelCrv(&wrk, blk, 0, 960, 100, 0, 0, 120), 1);
    CArticWrkEvntList list;
    CArticWrkUtil::CopyMetaEvntList(blk->GetEvntList(), &list, 0xFF, 0x51, 0, 2000);
    EXPECT_EQ(CArticWrkUtil::CalcTempoEvntList(&list, WORD(0)), 1);
    EXPECT_EQ(CArticWrkUtil::CalcTempoEvntList(&list, 0.0), 1);
    list.RemoveAll();
    EXPECT_EQ(Tempi(), before);
}

TEST_F(ContTest, ScaledTempiStayWithinThreeBytes) {
    PutTempo(0, 10000000);
    PutTempo(480, 4);
    CArticWrkEvntList list;
    CArticWrkUtil::CopyMetaEvntList(blk->GetEvntList(), &list, 0xFF, 0x51, 0, 480);
    ASSERT_EQ(CArticWrkUtil::CalcTempoEvntList(&list, WORD(10)), 0);
    ASSERT_EQ(CArticWrkUtil::CalcTempoEvntList(&list, 100000.0), 0);
    list.RemoveAll();
    // x 10 saturates at 0xFFFFFF; / 1000 rounds 40 down to 0, which is kept at 1.
    EXPECT_EQ(Tempi(), (Points{{0, 16777}, {480, 1}}));

    OwnedList noTempo;
    noTempo.list.AddTail(Loose(0xB0, 0, 7, 100));
    EXPECT_EQ(CArticWrkUtil::CalcTempoEvntList(&noTempo.list, WORD(50)), 1);
    EXPECT_EQ(CArticWrkUtil::CalcTempoEvntList(nullptr, WORD(50)), 1);
}

TEST_F(ContTest, TempoCurveCombinesPercentagesWithTheTempo) {
    PutTempo(0, 500000);
    ASSERT_EQ(CArticWrkUtil::CreTempoRelCrv(&wrk, blk, 0, 480, 100, 200, 0, 240), 0);
    // Magnifications 100, 150, 200 at 0, 240, 480 over a tempo of 500000.
    EXPECT_EQ(Tempi(), (Points{{0, 500000}, {240, 333333}, {480, 250000}}));
    EXPECT_TRUE(AllRegistered());
    EXPECT_EQ(CArticWrkUtil::CreTempoRelCrv(&wrk, nullptr, 0, 480, 100, 200, 0, 240), 1);
    EXPECT_EQ(OnlyReport(), "CArticWrkUtil::CreTempoRelCrv");
}

TEST_F(ContTest, CurrentTempo) {
    EXPECT_EQ(CArticWrkUtil::GetCurrentTempo(blk, 0), 500000u);
    PutTempo(480, 400000);
    EXPECT_EQ(CArticWrkUtil::GetCurrentTempo(blk, 479), 500000u);
    EXPECT_EQ(CArticWrkUtil::GetCurrentTempo(blk, 480), 400000u);
    EXPECT_EQ(CArticWrkUtil::TempoRelFix(nullptr, nullptr, 0, 100), 0);
}
