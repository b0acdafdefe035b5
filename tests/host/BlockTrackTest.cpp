#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "SongFixtures.h"
#include "host/Track.h"

using namespace songtest;

namespace {

TEST(Block, EventsOfEqualTimeKeepTheirInsertionOrder) {
    CBlock block;
    CSongEvent* a = NewNote(10, 60, 10);
    CSongEvent* b = NewNote(5, 61, 10);
    CSongEvent* c = NewNote(10, 62, 10);
    CSongEvent* d = NewNote(0, 63, 10);
    CSongEvent* e = NewNote(7, 64, 10);
    for (CSongEvent* ev : {a, b, c, d, e}) ASSERT_NE(block.InsertEvent(ev), nullptr);
    EXPECT_EQ(EventsOf(block), (std::vector<CSongEvent*>{d, b, e, a, c}));
}

TEST(Block, InsertEventGivesTheEventsPosition) {
    CBlock block;
    CSongEvent* a = NewNote(100, 60, 10);
    CSongEvent* b = NewNote(50, 60, 10);
    POSITION pa = block.InsertEvent(a);
    POSITION pb = block.InsertEvent(b);
    EXPECT_EQ(block.GetEventList().GetAt(pa), a);
    EXPECT_EQ(block.GetEventList().GetAt(pb), b);
}

TEST(Block, LinkBlockRefusesInsertEvent) {
    BlockInfo info;
    info.Kind = BLOCK_KIND_LINK;
    CBlock link;
    link.SetInfo(info, 0);
    CSongEvent* e = NewNote(0, 60, 10);
    EXPECT_EQ(link.InsertEvent(e), nullptr);
    EXPECT_EQ(link.GetEventCount(), 0);
    delete e;  // still the caller's
    EXPECT_EQ(link.InsertEvent(nullptr), nullptr);
}

TEST(Block, GetEndTimeCountsNoteLengths) {
    CBlock block;
    EXPECT_EQ(block.GetEndTime(), 0);
    block.InsertEvent(NewNote(100, 60, 50));
    block.InsertEvent(NewEvent(ShortInfo(MPEVENT_KIND_CONTROL, 120, 7, 100)));
    EXPECT_EQ(block.GetEndTime(), 150);
    block.InsertEvent(NewEvent(ShortInfo(MPEVENT_KIND_CONTROL, 200, 7, 90)));
    EXPECT_EQ(block.GetEndTime(), 200);
    // A note with exclusive carries its length in its data.
    std::vector<BYTE> data = {0, 60, 100, 0, 0x2C, 0x01, 0, 0, 0xF7};  // 300 ticks
    SongEventInfo info;
    info.Kind = MPEVENT_KIND_NOTE_SYSEX;
    info.Time = 180;
    info.Length = DWORD(data.size());
    info.Bytes = data.data();
    block.InsertEvent(NewEvent(info));
    EXPECT_EQ(block.GetEndTime(), 480);
}

TEST(Block, GetEndTimeDoesNotOverflowNearTheLargestTime) {
    CBlock block;
    block.InsertEvent(NewNote(SONG_TIME_ABSENT - 10, 60, 100));
    EXPECT_EQ(block.GetEndTime(), SONG_TIME_ABSENT - 1);
}

TEST(Block, RemoveEventLeavesTheEventToTheCaller) {
    CBlock block;
    CSongEvent* a = NewNote(0, 60, 10);
    CSongEvent* b = NewNote(10, 61, 10);
    POSITION pa = block.InsertEvent(a);
    block.InsertEvent(b);
    EXPECT_EQ(block.RemoveEvent(pa), 1);
    EXPECT_EQ(EventsOf(block), (std::vector<CSongEvent*>{b}));
    EXPECT_EQ(a->GetInfo().Data1, 60);  // not deleted
    delete a;
    EXPECT_EQ(block.RemoveEvent(nullptr), 0);
}

// Appended events are known by their positions as soon as they are asked
// about, also after edits made before the first question, and a removed or
// foreign position is not.
TEST(Block, AppendedEventsAreHeldByTheirPositions) {
    CBlock block;
    CBlock other;
    POSITION foreign = other.InsertEvent(NewNote(0, 40, 10));
    CSongEvent* a = NewNote(0, 60, 10);
    CSongEvent* b = NewNote(10, 61, 10);
    CSongEvent* c = NewNote(10, 62, 10);
    ASSERT_TRUE(block.AppendEvents({a, b, c}));
    // Edits before any position was asked about.
    CSongEvent* d = NewNote(5, 63, 10);
    POSITION pd = block.InsertEvent(d);
    ASSERT_NE(pd, nullptr);
    ASSERT_TRUE(block.AppendEvents({NewNote(20, 64, 10)}));
    std::vector<POSITION> all;
    for (POSITION p = block.GetEventList().GetHeadPosition(); p; block.GetEventList().GetNext(p)) all.push_back(p);
    ASSERT_EQ(all.size(), 5u);
    for (POSITION p : all) EXPECT_TRUE(block.HoldsEvent(p));
    EXPECT_FALSE(block.HoldsEvent(foreign));
    EXPECT_EQ(EventsOf(block)[1], d);
    // Removing and inserting after the positions are known keeps them in step.
    EXPECT_EQ(block.RemoveEvent(pd), 1);
    delete d;
    EXPECT_FALSE(block.HoldsEvent(pd));
    EXPECT_EQ(block.RemoveEvent(pd), 0);
    POSITION pe = block.InsertEventAfter(all[0], NewNote(0, 65, 10));
    EXPECT_TRUE(block.HoldsEvent(pe));
    // Appending again after questions: the new positions are known too.
    ASSERT_TRUE(block.AppendEvents({NewNote(30, 66, 10)}));
    EXPECT_TRUE(block.HoldsEvent(block.GetEventList().GetTailPosition()));
    for (POSITION p = block.GetEventList().GetHeadPosition(); p; block.GetEventList().GetNext(p))
        EXPECT_TRUE(block.HoldsEvent(p));
    EXPECT_FALSE(block.HoldsEvent(foreign));
    block.DeleteAllEvents();
    EXPECT_FALSE(block.HoldsEvent(pe));
}

TEST(Block, AppendEventsRefusesEventsOutOfOrderAndLinkBlocks) {
    CBlock block;
    block.InsertEvent(NewNote(100, 60, 10));
    CSongEvent* early = NewNote(50, 61, 10);
    CSongEvent* late = NewNote(200, 62, 10);
    EXPECT_FALSE(block.AppendEvents({late, early}));  // not in time order
    EXPECT_FALSE(block.AppendEvents({early}));        // before the block's last event
    EXPECT_FALSE(block.AppendEvents({late, nullptr}));
    EXPECT_EQ(block.GetEventCount(), 1);
    EXPECT_TRUE(block.AppendEvents({}));
    CBlock link;
    BlockInfo info;
    info.Kind = BLOCK_KIND_LINK;
    link.SetInfo(info, 0);
    EXPECT_FALSE(link.AppendEvents({late}));
    EXPECT_TRUE(block.AppendEvents({late}));
    delete early;
    EXPECT_EQ(EventsOf(block).back(), late);
}

TEST(Block, HeadAndAfterInsertionsIgnoreTime) {
    CBlock block;
    CSongEvent* a = NewNote(100, 60, 10);
    CSongEvent* b = NewNote(0, 61, 10);
    CSongEvent* c = NewNote(50, 62, 10);
    POSITION pa = block.AddEventHead(a);
    block.InsertEventAfter(pa, b);
    block.AddEventHead(c);
    EXPECT_EQ(EventsOf(block), (std::vector<CSongEvent*>{c, a, b}));
    block.DeleteAllEvents();
    EXPECT_EQ(block.GetEventCount(), 0);
}

TEST(Block, SetInfoCopiesTheColourOnlyWithTheFlag) {
    BlockInfo info;
    info.Kind = BLOCK_KIND_LINK;
    info.Start = 960;
    info.End = 4800;
    info.StateFlag = 1;
    info.RefTrack = reinterpret_cast<POSITION>(0x10);
    info.RefBlock = reinterpret_cast<POSITION>(0x20);
    info.Name = "Verse";
    info.Color = 0x123456;
    CBlock block;
    block.SetInfo(info, 0);
    EXPECT_EQ(block.GetInfo().Kind, BLOCK_KIND_LINK);
    EXPECT_EQ(block.GetInfo().Start, 960);
    EXPECT_EQ(block.GetInfo().End, 4800);
    EXPECT_EQ(block.GetInfo().StateFlag, 1);
    EXPECT_EQ(block.GetInfo().RefTrack, info.RefTrack);
    EXPECT_EQ(block.GetInfo().RefBlock, info.RefBlock);
    EXPECT_EQ(block.GetInfo().Name, "Verse");
    EXPECT_EQ(block.GetInfo().Color, 0xCDCDCDu);
    block.SetInfo(info, 1);
    EXPECT_EQ(block.GetInfo().Color, 0x123456u);
}

TEST(Block, NewEventIsNotInTheList) {
    CBlock block;
    CSongEvent* e = nullptr;
    ASSERT_EQ(block.NewEvent(&e), 1);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->GetKind(), DWORD(MPEVENT_KIND_NONE));
    EXPECT_EQ(block.GetEventCount(), 0);
    delete e;
    EXPECT_EQ(block.NewEvent(nullptr), 0);
}

// A bound block edits its list only while holding the document's list section.
TEST(Block, BoundBlockWaitsForTheListSection) {
    CSongDocBase doc;
    CBlock* block = AddConductor(doc);
    std::atomic<bool> inserted{false};
    doc.GetListSection().Lock();
    std::thread editor([&] {
        block->InsertEvent(NewNote(0, 60, 10));
        inserted = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(inserted.load());
    doc.GetListSection().Unlock();
    editor.join();
    EXPECT_TRUE(inserted.load());
    EXPECT_EQ(block->GetEventCount(), 1);
}

CBlock* NewBlockAt(INT64 start) {
    BlockInfo info;
    info.Start = start;
    CBlock* block = new CBlock();
    block->SetInfo(info, 1);
    return block;
}

TEST(Track, BlocksOfEqualStartKeepTheirInsertionOrder) {
    CTrack track;
    CBlock* a = NewBlockAt(960);
    CBlock* b = NewBlockAt(0);
    CBlock* c = NewBlockAt(960);
    for (CBlock* blk : {a, b, c}) ASSERT_NE(track.AddBlock(blk), nullptr);
    std::vector<CBlock*> order;
    for (POSITION pos = track.GetBlockList().GetHeadPosition(); pos;) order.push_back(track.GetBlockList().GetNext(pos));
    EXPECT_EQ(order, (std::vector<CBlock*>{b, a, c}));
}

TEST(Track, RemoveBlockTakesOutWithoutDeleting) {
    CTrack track;
    CBlock* a = NewBlockAt(0);
    a->InsertEvent(NewNote(0, 60, 10));
    POSITION pa = track.AddBlock(a);
    EXPECT_EQ(track.RemoveBlock(nullptr), 0);
    EXPECT_EQ(track.RemoveBlock(pa), 1);
    EXPECT_EQ(track.GetBlockCount(), 0);
    EXPECT_EQ(a->GetEventCount(), 1);
    delete a;
}

TEST(Track, SetInfoCopiesTheExtendedFieldsOnlyWhenFull) {
    TrackInfo info;
    info.Kind = TRACK_KIND_CLIP;
    info.Port = 3;
    info.Channel = 9;
    info.Reserved2 = 7;
    info.Transpose = -2;
    info.StateFlag1 = 1;
    info.StateFlag2 = 1;
    info.Number = 10;
    info.Name = "Drums";
    info.Transposable = 0;
    info.Ext.Ext1 = 5;
    info.Ext.Ext64 = 1;
    info.Ext.SubText = "x";

    CTrack base;
    EXPECT_EQ(base.SetInfo(info, 0), 1);
    const TrackInfo& got = base.GetInfo();
    EXPECT_EQ(got.Kind, TRACK_KIND_CLIP);
    EXPECT_EQ(got.Port, 3);
    EXPECT_EQ(got.Channel, 9);
    EXPECT_EQ(got.Reserved2, 7);
    EXPECT_EQ(got.Transpose, -2);
    EXPECT_EQ(got.StateFlag1, 1);
    EXPECT_EQ(got.StateFlag2, 1);
    EXPECT_EQ(got.Number, 10);
    EXPECT_EQ(got.Name, "Drums");
    EXPECT_EQ(got.Transposable, 1);
    EXPECT_EQ(got.Ext.Ext1, 0);
    EXPECT_EQ(got.Ext.Ext64, 0x00200040);

    CTrack full;
    EXPECT_EQ(full.SetInfo(info, 1), 1);
    EXPECT_EQ(full.GetInfo().Transposable, 0);
    EXPECT_EQ(full.GetInfo().Ext.Ext1, 5);
    EXPECT_EQ(full.GetInfo().Ext.Ext64, 1);
    EXPECT_EQ(full.GetInfo().Ext.SubText, "x");
}

TEST(Track, NewBlockIsBoundToTheTracksDocument) {
    CSongDocBase doc;
    CTrack track(&doc);
    CBlock* block = nullptr;
    ASSERT_EQ(track.NewBlock(&block), 1);
    EXPECT_EQ(block->GetDoc(), &doc);
    EXPECT_EQ(track.GetBlockCount(), 0);
    delete block;
}

}  // namespace
