#include <gtest/gtest.h>

#include "WorkFixture.h"

using namespace wrktest;

TEST(ArticWrkTrk, TrackLine) {
    struct Case { ULONG trkNo, ch, port; const char* line; };
    const Case cases[] = {
        {4, 9, 0, "TRK:4, ch10, port0"},
        {4, kNoChannel, kNoPort, "TRK:4"},
        {2, kUnsetChannel, 3, "TRK:2, port3"},
    };
    for (const auto& c : cases) {
        CArticWrk wrk;
        CArticWrkTrk* trk = AddTrack(wrk, c.trkNo, 1, c.ch, c.port);
        CStringList list;
        EXPECT_EQ(trk->GetStrList(list, 0, 0), 0);
        EXPECT_EQ(list.GetHead(), c.line);
    }
}

TEST(ArticWrkTrk, DumpOfTrackBlockAndEvents) {
    CArticWrk wrk;
    CArticWrkTrk* trk = AddTrack(wrk, 2, 1, 2, 0);
    CArticWrkBlk* blk = AddBlock(trk);
    AddNote(blk, 0, 0, 60, 480, 100);
    AddCc(blk, 1, 0, 11, 90);
    CStringList list;
    EXPECT_EQ(wrk.GetStrList(list, 0, 0), 0);
    EXPECT_EQ(Lines(list), (std::vector<CString>{"TRK:2, ch3, port0", "BLK:0", "w0:1/1/0, Note, C3, 480, 100",
                                                "w1:1/1/0, Cc, 11, 90"}));
}

TEST(ArticWrkTrk, NewBlockTakesTheLowestFreeNumber) {
    CArticWrk wrk;
    CArticWrkTrk* trk = AddTrack(wrk, 1);
    AddBlock(trk, 0);
    AddBlock(trk, 1);
    AddBlock(trk, 3);
    CArticWrkBlk* blk = trk->NewBlk();
    ASSERT_NE(blk, nullptr);
    EXPECT_EQ(blk->GetBlkNo(), 2u);
    EXPECT_EQ(trk->Get(ULONG(2)), blk);
    EXPECT_EQ(trk->GetIndex(blk), 3);
    for (ULONG n = 4; n < 32; ++n) AddBlock(trk, n);
    CArticWrkBlk* none = nullptr;
    EXPECT_EQ(trk->NewBlk(&none), 0);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(trk->GetCount(), 32);
}

TEST(ArticWrkTrk, CopyingTrackZeroMakesItsBlockZeroTheMeasureBlock) {
    CArticWrk src;
    CArticWrkTrk* srcTrk = AddTrack(src, 0);
    CArticWrkBlk* srcBlk = AddBlock(srcTrk);
    AddBeat(srcBlk, 0, 0, 3, 2, 1);

    CArticWrk dst;
    CArticWrkTrk* trk = AddTrack(dst, 0);
    *trk = *srcTrk;
    ASSERT_NE(dst.GetMeasBlk(), nullptr);
    EXPECT_EQ(dst.GetMeasBlk(), trk->Get(0));
    CArticWrkBlk* first = dst.GetMeasBlk();
    // Copied again: the block it replaced was the measure block, so the new copy takes over.
    *trk = *srcTrk;
    EXPECT_EQ(dst.GetMeasBlk(), trk->Get(0));
    // A second track 0 does not replace an existing measure block.
    CArticWrkTrk* another = AddTrack(dst, 0);
    *another = *srcTrk;
    EXPECT_EQ(dst.GetMeasBlk(), trk->Get(0));
    (void)first;
    INT64 t = 0;
    EXPECT_EQ(dst.GetEvntTime(2, 1, 0, &t), 0);
    EXPECT_EQ(t, 1440);
}

TEST(ArticWrkTrk, EventListsAndTimes) {
    CArticWrk wrk;
    CArticWrkTrk* trk = AddTrack(wrk, 1);
    CArticWrkEvntList list;
    EXPECT_EQ(trk->MakeWrkEvntList(&list, 0), 1);  // no blocks
    EXPECT_EQ(trk->GetStartTime(), kNoTime);
    CArticWrkBlk* a = AddBlock(trk, 0);
    CArticWrkBlk* b = AddBlock(trk, 1);
    AddNote(a, 0, 480, 60);
    AddNote(b, 1, 0, 67, 100);
    AddNote(b, 2, 480, 55);
    EXPECT_EQ(trk->GetEvntNum(), 3);
    EXPECT_EQ(trk->GetStartTime(), 0);
    EXPECT_EQ(trk->GetEndTime(), 960);
    EXPECT_EQ(trk->MakeWrkEvntList(&list, 0), 0);
    std::vector<ULONG> order;
    for (POSITION p = list.GetHeadPosition(); p;) order.push_back(list.GetNext(p)->GetEvntNo());
    EXPECT_EQ(order, (std::vector<ULONG>{1, 2, 0}));  // 55 before 60 at 480
}
