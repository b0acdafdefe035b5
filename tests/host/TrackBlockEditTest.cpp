#include <gtest/gtest.h>

#include "DocFixtures.h"

using namespace doctest;

namespace {

class TrackBlockEdit : public ::testing::Test {
protected:
    void SetUp() override { InstallChannelSong(doc); }
    POSITION T(int i) const { return TrackPos(doc, i); }
    POSITION B(int t, int b) const { return BlockPos(doc, t, b); }
    // A link block on track `onTrack` showing block (t, b).
    POSITION AddLink(int onTrack, int t, int b, INT64 start) {
        BlockInfo link;
        link.Kind = BLOCK_KIND_LINK;
        link.Start = start;
        link.End = start + 3840;
        link.RefTrack = T(t);
        link.RefBlock = B(t, b);
        return doc.InsertBlock(T(onTrack), link, 1, 0);
    }
    CPhrasorDoc doc;
};

struct SongShape {
    std::vector<int> blocks;
    std::vector<std::vector<INT64>> ends;
    std::vector<std::vector<std::vector<INT64>>> times;
    std::vector<CString> names;
    bool operator==(const SongShape& o) const {
        return blocks == o.blocks && ends == o.ends && times == o.times && names == o.names;
    }
};

SongShape ShapeOf(const CPhrasorDoc& doc) {
    SongShape shape;
    for (POSITION t = doc.GetTrackList().GetHeadPosition(); t;) {
        const CTrack* track = doc.GetTrackList().GetNext(t);
        shape.blocks.push_back(track->GetBlockCount());
        shape.names.push_back(track->GetInfo().Name);
        shape.ends.emplace_back();
        shape.times.emplace_back();
        for (POSITION b = track->GetBlockList().GetHeadPosition(); b;) {
            const CBlock* block = track->GetBlockList().GetNext(b);
            shape.ends.back().push_back(block->GetInfo().End);
            shape.times.back().push_back(TimesOf(*block));
        }
    }
    return shape;
}

TEST_F(TrackBlockEdit, WithNoStepOpenEveryEditIsRefused) {
    POSITION note, link;
    {
        Step step(doc);
        note = doc.InsertEvent(T(1), B(1, 0), NoteInfo(100, 60, 200), 0, 0);
        link = AddLink(2, 1, 0, 3840);
        ASSERT_NE(note, nullptr);
        ASSERT_NE(link, nullptr);
    }
    const SongShape before = ShapeOf(doc);
    const int records = doc.GetUndoList().GetCount();
    TrackInfo track;
    track.Name = "new";
    BlockInfo block;
    block.Start = 960;
    POSITION tempo = BlockOf(doc, 0, 0)->GetEventList().GetTailPosition();

    EXPECT_EQ(doc.InsertTrack(track), nullptr);
    EXPECT_EQ(doc.RemoveTrack(T(3)), 0);
    EXPECT_EQ(doc.MoveTrack(T(3), T(5)), nullptr);
    EXPECT_EQ(doc.ReplaceTrack(T(3), track, 1), nullptr);
    EXPECT_EQ(doc.InsertBlock(T(3), block, 1, 0), nullptr);
    EXPECT_EQ(doc.RemoveBlock(T(3), B(3, 0)), 0);
    EXPECT_EQ(doc.MoveBlock(T(3), B(3, 0), T(4), 960), nullptr);
    EXPECT_EQ(doc.ReplaceBlock(T(3), B(3, 0), block, 1), nullptr);
    EXPECT_EQ(doc.UnlinkBlock(T(2), link), 0);
    EXPECT_EQ(doc.SetBlockEnd(T(1), B(1, 0), 9000), 0);
    EXPECT_EQ(doc.ResizeLinkBlocks(T(1), B(1, 0), 100), 0);
    EXPECT_EQ(doc.RemoveLinkBlocks(T(1), B(1, 0), 0), 0);
    EXPECT_EQ(doc.InsertEvent(T(1), B(1, 0), NoteInfo(0, 61, 10), 0, 0), nullptr);
    EXPECT_EQ(doc.RemoveEvent(T(1), B(1, 0), note, 1), 0);
    EXPECT_EQ(doc.RemoveEvent(T(0), B(0, 0), tempo, 1), 0);
    EXPECT_EQ(doc.ReplaceEvent(T(1), B(1, 0), note, NoteInfo(300, 61, 10), 0), nullptr);
    EXPECT_EQ(doc.NormalizeMeters(), 1);  // nothing to do, and nothing done

    EXPECT_TRUE(ShapeOf(doc) == before);
    EXPECT_EQ(doc.GetUndoList().GetCount(), records);
    EXPECT_EQ(doc.GetRemovedEvents().GetCount(), 0);
    EXPECT_EQ(BlockOf(doc, 2, 1)->GetInfo().Kind, BLOCK_KIND_LINK);
}

// ------------------------------------------------------------ tracks

TEST(TrackEdit, InsertTrackPlacesByNumber) {
    struct Case { LONG number; int index; };
    const Case cases[] = {{0, 1}, {-5, 1}, {1, 1}, {3, 3}, {16, 16}, {17, 17}, {99, 17}};
    for (const Case& c : cases) {
        CPhrasorDoc doc;
        InstallChannelSong(doc);
        TrackInfo info;
        info.Number = c.number;
        info.Channel = 5;
        info.Name = "added";
        info.Transposable = 0;
        POSITION pos;
        {
            Step step(doc);
            pos = doc.InsertTrack(info);
        }
        ASSERT_NE(pos, nullptr) << c.number;
        EXPECT_EQ(doc.GetTrackList().GetCount(), 18) << c.number;
        EXPECT_EQ(doc.TrackIndex(pos), c.index) << c.number;
        const CTrack* track = doc.GetTrackList().GetAt(pos);
        EXPECT_EQ(track->GetInfo().Number, c.index) << c.number;
        EXPECT_EQ(track->GetInfo().Name, "added") << c.number;
        EXPECT_EQ(track->GetInfo().Transposable, 0) << c.number;  // the full record is taken
        EXPECT_EQ(track->GetDoc(), &doc) << c.number;
        // Every track is numbered by its place.
        for (int i = 0; i < 18; ++i) EXPECT_EQ(TrackOf(doc, i)->GetInfo().Number, i) << c.number;
        const CUndoObj* item = ItemsOf(*RecordAt(doc, 0)).front();
        EXPECT_EQ(item->Kind, UNDO_INSERT_TRACK);
        EXPECT_EQ(WordPos(item->W1), pos);
        EXPECT_EQ(item->W2, UndoWord(c.index));
    }
}

TEST(TrackEdit, ReplaceTrackMovesTheTrackToTheNumberAsked) {
    struct Case { int from; LONG number; int index; };  // index -1: refused
    const Case cases[] = {{5, 2, 2}, {2, 5, 5}, {3, 0, 1}, {1, 16, 16}, {16, 1, 1}, {4, 17, -1}, {4, 99, -1}};
    for (const Case& c : cases) {
        CPhrasorDoc doc;
        InstallChannelSong(doc);
        CTrack* track = TrackOf(doc, c.from);
        TrackInfo info = track->GetInfo();
        info.Number = c.number;
        POSITION pos;
        {
            Step step(doc);
            pos = doc.ReplaceTrack(TrackPos(doc, c.from), info, 0);
        }
        if (c.index < 0) {
            EXPECT_EQ(pos, nullptr) << c.from << "->" << c.number;
            EXPECT_EQ(TrackOf(doc, c.from), track);
            continue;
        }
        ASSERT_NE(pos, nullptr) << c.from << "->" << c.number;
        EXPECT_EQ(doc.GetTrackList().GetAt(pos), track);
        EXPECT_EQ(doc.TrackIndex(pos), c.index) << c.from << "->" << c.number;
        EXPECT_EQ(track->GetInfo().Number, c.index) << c.from << "->" << c.number;
        EXPECT_EQ(doc.GetModified(), 0);  // only the place changed
    }
}

TEST_F(TrackBlockEdit, ReplaceTrackChangesMembersAndTellsWhichChanged) {
    HintLog log(doc);
    TrackInfo info = TrackOf(doc, 3)->GetInfo();
    info.Name = "Bass";
    info.Transpose = -12;
    info.Port = 4;
    info.Transposable = 0;
    POSITION pos;
    {
        Step step(doc);
        pos = doc.ReplaceTrack(T(3), info, 0);  // not full: Transposable stays
    }
    EXPECT_EQ(pos, T(3));
    const TrackInfo& now = TrackOf(doc, 3)->GetInfo();
    EXPECT_EQ(now.Name, "Bass");
    EXPECT_EQ(now.Transpose, -12);
    EXPECT_EQ(now.Port, 4);
    EXPECT_EQ(now.Transposable, 1);
    EXPECT_EQ(doc.GetModified(), 1);
    ASSERT_FALSE(log.hints.empty());
    const UpdateHint& hint = log.hints.front();
    EXPECT_EQ(hint.Level, HINT_LEVEL_TRACK);
    EXPECT_EQ(hint.Code, 0x10000u | 0x200u | 0x80u | 0x10u);

    // Protection keeps a MIDI track's port and channel and says so.
    doc.SetProtectMode(1);
    info.Port = 9;
    info.Channel = 12;
    info.Name = "Lead";
    {
        Step step(doc);
        EXPECT_EQ(doc.ReplaceTrack(T(3), info, 0), T(3));
        EXPECT_NE(doc.GetEditFlags() & EDIT_REFUSED_PROTECTED, 0u);
        EXPECT_EQ(doc.RemoveTrack(T(3)), 0);
    }
    EXPECT_EQ(TrackOf(doc, 3)->GetInfo().Port, 4);
    EXPECT_EQ(TrackOf(doc, 3)->GetInfo().Channel, 2);
    EXPECT_EQ(TrackOf(doc, 3)->GetInfo().Name, "Lead");
}

TEST_F(TrackBlockEdit, MoveTrackCarriesRecordsLinksAndSelections) {
    POSITION link;
    {
        Step step(doc);
        link = AddLink(5, 1, 0, 3840);
        ASSERT_NE(link, nullptr);
    }
    CTrack* moving = TrackOf(doc, 1);
    POSITION oldPos = T(1);
    doc.SelectBlock(oldPos, B(1, 0));
    doc.SelectEvent(oldPos, B(1, 0), reinterpret_cast<POSITION>(0x40));
    HintLog log(doc);
    POSITION moved;
    {
        Step step(doc);
        moved = doc.MoveTrack(oldPos, T(3));
    }
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(doc.TrackIndex(moved), 3);
    EXPECT_EQ(doc.GetTrackList().GetAt(moved), moving);
    EXPECT_EQ(moving->GetInfo().Number, 3);
    EXPECT_EQ(TrackOf(doc, 1)->GetInfo().Channel, 1);  // the others moved up
    EXPECT_EQ(BlockOf(doc, 5, 1)->GetInfo().RefTrack, moved);
    EXPECT_EQ(doc.GetSelectedBlock(moving->GetBlockList().GetHeadPosition())->Track, moved);
    EXPECT_EQ(doc.GetSelectedEvent(reinterpret_cast<POSITION>(0x40))->Track, moved);
    // The earlier record's link item names the track where it is now.
    EXPECT_EQ(WordPos(ItemsOf(*RecordAt(doc, 0)).front()->W3), moved);
    const CUndoObj* item = ItemsOf(*RecordAt(doc, 1)).front();
    EXPECT_EQ(item->Kind, UNDO_MOVE_TRACK);
    EXPECT_EQ(WordPos(item->W1), moved);
    EXPECT_EQ(item->W2, 1u);
    ASSERT_FALSE(log.hints.empty());
    EXPECT_EQ(log.hints.front().Code, 0x10100u);
    EXPECT_EQ(log.hints.front().NewTrack, moved);

    doc.SetProtectMode(2);
    {
        Step step(doc);
        EXPECT_EQ(doc.MoveTrack(T(2), T(4)), nullptr);
        EXPECT_NE(doc.GetEditFlags() & EDIT_REFUSED_PROTECTED, 0u);
    }
}

TEST_F(TrackBlockEdit, RemoveTrackTakesTheLinksToItsBlocksAlong) {
    {
        Step step(doc);
        ASSERT_NE(AddLink(2, 1, 0, 3840), nullptr);
        ASSERT_NE(AddLink(6, 1, 0, 3840), nullptr);
    }
    CTrack* removed = TrackOf(doc, 1);
    doc.SelectBlock(T(4), B(4, 0));
    {
        Step step(doc);
        ASSERT_EQ(doc.RemoveTrack(T(1)), 1);
        EXPECT_NE(doc.GetEditFlags() & EDIT_LINKED_BLOCK_REMOVED, 0u);
    }
    EXPECT_EQ(doc.GetTrackList().GetCount(), 16);
    EXPECT_EQ(doc.GetRemovedTracks().GetHead(), removed);
    EXPECT_EQ(doc.GetRemovedBlocks().GetCount(), 2);
    EXPECT_EQ(TrackOf(doc, 1)->GetBlockCount(), 1);  // channel 1's track, now at index 1, lost its link
    EXPECT_EQ(TrackOf(doc, 5)->GetBlockCount(), 1);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(TrackOf(doc, i)->GetInfo().Number, i);
    EXPECT_EQ(doc.GetSelectedBlockCount(), 0);
}

// ------------------------------------------------------------ blocks

TEST_F(TrackBlockEdit, NamelessBlocksAreNumbered) {
    Step step(doc);
    BlockInfo nameless;
    BlockInfo named;
    named.Name = "Verse";
    const CString expected[] = {"Block1", "Block2", "Verse", "Block3"};
    const BlockInfo* infos[] = {&nameless, &nameless, &named, &nameless};
    for (int i = 0; i < 4; ++i) {
        POSITION pos = doc.InsertBlock(T(2), *infos[i], 1, 0);
        ASSERT_NE(pos, nullptr) << i;
        EXPECT_EQ(TrackOf(doc, 2)->GetBlockList().GetAt(pos)->GetInfo().Name, expected[i]) << i;
    }
    EXPECT_EQ(doc.GetBlockNameCounter(), 4);
}

TEST_F(TrackBlockEdit, InsertBlockRefusals) {
    Step step(doc);
    EXPECT_EQ(doc.InsertBlock(T(0), BlockInfo(), 1, 0), nullptr);  // the conductor track
    BlockInfo link;
    link.Kind = BLOCK_KIND_LINK;
    link.RefTrack = T(1);
    EXPECT_EQ(doc.InsertBlock(T(2), link, 1, 0), nullptr);  // shows nothing
    link.RefBlock = B(2, 0);                               // a block of another track
    EXPECT_EQ(doc.InsertBlock(T(3), link, 1, 0), nullptr);
    POSITION good = AddLink(3, 1, 0, 3840);
    ASSERT_NE(good, nullptr);
    link.RefTrack = T(3);
    link.RefBlock = good;  // a link block cannot be shown
    EXPECT_EQ(doc.InsertBlock(T(4), link, 1, 0), nullptr);

    // A track of another kind takes a first block by becoming a MIDI track.
    TrackInfo odd;
    odd.Kind = 8;
    POSITION oddTrack = doc.InsertTrack(odd);
    ASSERT_NE(oddTrack, nullptr);
    HintLog log(doc);
    POSITION first = doc.InsertBlock(oddTrack, BlockInfo(), 1, EDIT_SELECT_NEW);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(doc.GetTrackList().GetAt(oddTrack)->GetInfo().Kind, TRACK_KIND_MIDI);
    EXPECT_TRUE(doc.IsBlockSelected(first));
    ASSERT_EQ(log.hints.size(), 2u);
    EXPECT_EQ(log.hints[0].Level, HINT_LEVEL_TRACK);
    EXPECT_EQ(log.hints[0].Code, 1u);
    EXPECT_EQ(log.hints[1].Code, 0x80020000u);
}

TEST_F(TrackBlockEdit, BlockEndsFollowTheirEvents) {
    Step step(doc);
    BlockInfo info;
    info.Start = 1920;
    info.End = 2400;
    POSITION block = doc.InsertBlock(T(2), info, 1, 0);
    ASSERT_NE(block, nullptr);
    CBlock* object = TrackOf(doc, 2)->GetBlockList().GetAt(block);
    POSITION link = AddLink(3, 2, 1, 7680);
    ASSERT_NE(link, nullptr);
    ASSERT_EQ(BlockOf(doc, 2, 1), object);

    // A note reaching past the end grows the block, and its link block with it.
    ASSERT_NE(doc.InsertEvent(T(2), block, NoteInfo(100, 60, 500), 0, 0), nullptr);
    EXPECT_EQ(object->GetInfo().End, 1920 + 600);
    EXPECT_EQ(BlockOf(doc, 3, 1)->GetInfo().End, 7680 + 600);

    // The end never comes before the last note's end.
    EXPECT_EQ(doc.SetBlockEnd(T(2), block, 2000), 1);
    EXPECT_EQ(object->GetInfo().End, 2520);
    EXPECT_EQ(doc.SetBlockEnd(T(2), block, 5000), 1);
    EXPECT_EQ(object->GetInfo().End, 5000);
    EXPECT_EQ(BlockOf(doc, 3, 1)->GetInfo().End, 7680 + 3080);
    EXPECT_EQ(doc.SetBlockEnd(T(3), link, 9999), 0);  // not for a link block
    EXPECT_EQ(doc.SetBlockEnd(T(0), B(0, 0), 9999), 0);  // nor for the conductor

    const std::vector<const CUndoObj*> items = ItemsOf(*RecordAt(doc, 0));
    const CUndoObj* last = items.back();
    EXPECT_EQ(last->Kind, UNDO_BLOCK_END);  // the link block's resize
    EXPECT_EQ(WordPos(last->W2), link);
    EXPECT_EQ(WordPos(last->W4), block);
    EXPECT_EQ(WordTime(last->W6), 7680 + 600);
}

TEST_F(TrackBlockEdit, MoveBlockCarriesRecordsLinksAndSelections) {
    POSITION link, event;
    {
        Step step(doc);
        event = doc.InsertEvent(T(1), B(1, 0), NoteInfo(0, 60, 100), 0, EDIT_SELECT_NEW);
        link = AddLink(2, 1, 0, 3840);
    }
    ASSERT_EQ(B(2, 1), link);
    CBlock* moving = BlockOf(doc, 1, 0);
    POSITION oldBlock = B(1, 0);
    doc.SelectBlock(T(1), oldBlock);
    HintLog log(doc);
    POSITION moved;
    {
        Step step(doc);
        moved = doc.MoveBlock(T(1), oldBlock, T(3), 960);
    }
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(TrackOf(doc, 1)->GetBlockCount(), 0);
    ASSERT_EQ(TrackOf(doc, 3)->GetBlockCount(), 2);
    EXPECT_EQ(BlockOf(doc, 3, 1), moving);  // after the block at 0
    EXPECT_EQ(B(3, 1), moved);
    EXPECT_EQ(moving->GetInfo().Start, 960);
    EXPECT_EQ(moving->GetInfo().End, 960 + 3840);
    EXPECT_EQ(BlockOf(doc, 2, 1)->GetInfo().RefTrack, T(3));
    EXPECT_EQ(BlockOf(doc, 2, 1)->GetInfo().RefBlock, moved);
    ASSERT_TRUE(doc.IsBlockSelected(moved));
    EXPECT_EQ(doc.GetSelectedBlock(moved)->Track, T(3));
    EXPECT_EQ(doc.GetSelectedEvent(event)->Block, moved);
    EXPECT_EQ(WordPos(ItemsOf(*RecordAt(doc, 0))[0]->W2), moved);  // the insert item
    EXPECT_EQ(WordPos(ItemsOf(*RecordAt(doc, 0))[1]->W4), moved);  // the link's shown block
    const CUndoObj* item = ItemsOf(*RecordAt(doc, 1)).front();
    EXPECT_EQ(item->Kind, UNDO_MOVE_BLOCK);
    EXPECT_EQ(WordPos(item->W1), T(1));
    EXPECT_EQ(WordPos(item->W3), T(3));
    EXPECT_EQ(WordPos(item->W4), moved);
    EXPECT_EQ(WordTime(item->W6), 0);
    ASSERT_FALSE(log.hints.empty());
    EXPECT_EQ(log.hints.front().Code, 0x80000u);

    {
        Step step(doc);
        EXPECT_EQ(doc.MoveBlock(T(3), moved, T(0), 0), nullptr);  // onto the conductor
        // Within a track, to a negative start: at 0, after the block already starting there.
        POSITION again = doc.MoveBlock(T(3), moved, T(3), -100);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(B(3, 1), again);
        EXPECT_EQ(moving->GetInfo().Start, 0);
        EXPECT_EQ(moving->GetInfo().End, 3840);
    }
}

TEST_F(TrackBlockEdit, RemoveBlockTakesItsLinksAlong) {
    {
        Step step(doc);
        ASSERT_NE(AddLink(2, 1, 0, 3840), nullptr);
        ASSERT_NE(AddLink(1, 1, 0, 7680), nullptr);
    }
    doc.SelectBlock(T(1), B(1, 0));
    doc.SelectEvent(T(4), B(4, 0), reinterpret_cast<POSITION>(0x40));
    {
        Step step(doc);
        EXPECT_EQ(doc.RemoveBlock(T(0), B(0, 0)), 0);  // the conductor keeps its block
        ASSERT_EQ(doc.RemoveBlock(T(1), B(1, 0)), 1);
        EXPECT_NE(doc.GetEditFlags() & EDIT_LINKED_BLOCK_REMOVED, 0u);
    }
    EXPECT_EQ(TrackOf(doc, 1)->GetBlockCount(), 0);
    EXPECT_EQ(TrackOf(doc, 2)->GetBlockCount(), 1);
    EXPECT_EQ(doc.GetRemovedBlocks().GetCount(), 3);
    // The block was selected: its selection and the event selection are gone.
    EXPECT_EQ(doc.GetSelectedBlockCount(), 0);
    EXPECT_EQ(doc.GetSelectedEventCount(), 0);
    const std::vector<const CUndoObj*> items = ItemsOf(*RecordAt(doc, 1));
    ASSERT_EQ(items.size(), 3u);
    for (const CUndoObj* item : items) EXPECT_EQ(item->Kind, UNDO_REMOVE_BLOCK);
}

TEST_F(TrackBlockEdit, RemovingAnUnselectedBlockUnselectsItsEvents) {
    POSITION gone, kept;
    {
        Step step(doc);
        gone = doc.InsertEvent(T(1), B(1, 0), NoteInfo(0, 60, 10), 0, EDIT_SELECT_NEW);
        kept = doc.InsertEvent(T(2), B(2, 0), NoteInfo(0, 60, 10), 0, EDIT_SELECT_NEW);
        ASSERT_EQ(doc.GetSelectedEventCount(), 2);
        ASSERT_EQ(doc.RemoveBlock(T(1), B(1, 0)), 1);
    }
    EXPECT_FALSE(doc.IsEventSelected(gone));
    EXPECT_TRUE(doc.IsEventSelected(kept));
}

TEST_F(TrackBlockEdit, UnlinkBlockCopiesTheShownEvents) {
    POSITION link;
    {
        Step step(doc);
        ASSERT_NE(doc.InsertEvent(T(1), B(1, 0), NoteInfo(0, 60, 480), 0, 0), nullptr);
        ASSERT_NE(doc.InsertEvent(T(1), B(1, 0), ControlInfo(100, 7, 90), 0, 0), nullptr);
        link = AddLink(2, 1, 0, 3840);
    }
    CBlock* object = BlockOf(doc, 2, 1);
    {
        Step step(doc);
        EXPECT_EQ(doc.UnlinkBlock(T(1), B(1, 0)), 0);  // not a link block
        ASSERT_EQ(doc.UnlinkBlock(T(2), link), 1);
    }
    EXPECT_EQ(object->GetInfo().Kind, BLOCK_KIND_PLAIN);
    EXPECT_EQ(object->GetInfo().RefTrack, nullptr);
    EXPECT_EQ(object->GetInfo().RefBlock, nullptr);
    EXPECT_EQ(TimesOf(*object), (std::vector<INT64>{0, 100}));
    EXPECT_EQ(EventsOf(*object)[1]->GetInfo().Data2, 90);
    EXPECT_EQ(BlockOf(doc, 1, 0)->GetEventCount(), 2);  // the shown block keeps its own
    const std::vector<const CUndoObj*> items = ItemsOf(*RecordAt(doc, 1));
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0]->Kind, UNDO_UNLINK_BLOCK);
    EXPECT_EQ(WordPos(items[0]->W3), T(1));
    EXPECT_EQ(WordPos(items[0]->W4), B(1, 0));
    EXPECT_EQ(items[1]->Kind, UNDO_INSERT_EVENT);
    EXPECT_EQ(WordPos(items[1]->W2), link);
}

TEST_F(TrackBlockEdit, ReplaceBlockMovesResizesRenamesAndUnlinks) {
    Step step(doc);
    BlockInfo info;
    info.Start = 1920;
    info.End = 3840;
    info.Name = "A";
    POSITION block = doc.InsertBlock(T(2), info, 1, 0);
    CBlock* object = TrackOf(doc, 2)->GetBlockList().GetAt(block);
    ASSERT_NE(doc.InsertEvent(T(2), block, NoteInfo(0, 60, 700), 0, 0), nullptr);

    // A new start alone moves the block and keeps its length.
    BlockInfo next = object->GetInfo();
    next.Start = 0;
    POSITION pos = doc.ReplaceBlock(T(2), block, next, 0);
    ASSERT_NE(pos, nullptr);
    EXPECT_EQ(object->GetInfo().Start, 0);
    EXPECT_EQ(object->GetInfo().End, 1920);
    EXPECT_EQ(doc.GetModified(), 0);

    // A new end before the note's end stops at the note's end.
    next = object->GetInfo();
    next.End = 500;
    pos = doc.ReplaceBlock(T(2), pos, next, 0);
    ASSERT_NE(pos, nullptr);
    EXPECT_EQ(object->GetInfo().End, 700);

    // Name and colour: the descriptive change sets the modified member.
    HintLog log(doc);
    next = object->GetInfo();
    next.Name = "B";
    next.Color = 0x123456;
    pos = doc.ReplaceBlock(T(2), pos, next, 1);
    ASSERT_NE(pos, nullptr);
    EXPECT_EQ(object->GetInfo().Name, "B");
    EXPECT_EQ(object->GetInfo().Color, 0x123456u);
    EXPECT_EQ(doc.GetModified(), 1);
    ASSERT_EQ(log.hints.size(), 1u);
    EXPECT_EQ(log.hints[0].Code, 0x10000u | 0x200u | 0x2u);

    // Refused: a plain block cannot become a link block, nor change what it shows, nor be on the conductor.
    next = object->GetInfo();
    next.Kind = BLOCK_KIND_LINK;
    EXPECT_EQ(doc.ReplaceBlock(T(2), pos, next, 1), nullptr);
    next = object->GetInfo();
    next.RefTrack = T(1);
    EXPECT_EQ(doc.ReplaceBlock(T(2), pos, next, 1), nullptr);
    EXPECT_EQ(doc.ReplaceBlock(T(0), B(0, 0), BlockOf(doc, 0, 0)->GetInfo(), 1), nullptr);

    // A link block turned plain is unlinked: it shows nothing and holds copies.
    ASSERT_EQ(B(2, 1), pos);
    POSITION link = AddLink(3, 2, 1, 7680);
    CBlock* linkObject = TrackOf(doc, 3)->GetBlockList().GetAt(link);
    next = linkObject->GetInfo();
    next.Kind = BLOCK_KIND_PLAIN;  // the references are left as they were
    ASSERT_EQ(doc.ReplaceBlock(T(3), link, next, 1), link);
    EXPECT_EQ(linkObject->GetInfo().Kind, BLOCK_KIND_PLAIN);
    EXPECT_EQ(linkObject->GetInfo().RefTrack, nullptr);
    EXPECT_EQ(linkObject->GetEventCount(), 1);
    EXPECT_EQ(doc.IsBlockReferenced(T(2), pos), 0);
}

TEST(BlockEdit, AMovedClipBlockEndsWhereItsClipEnds) {
    CPhrasorDoc doc;  // the default song: clip tracks at 1..8, 120 beats per minute
    ASSERT_EQ(TrackOf(doc, 1)->GetInfo().Kind, TRACK_KIND_CLIP);
    char16_t name[] = u"take";
    SongClipData clip{name, 5000000, 15000000};  // one second of audio
    SongEventInfo info;
    info.Kind = MPEVENT_KIND_CLIP;
    info.Length = SONG_CLIP_DATA_SIZE;
    info.Bytes = reinterpret_cast<BYTE*>(&clip);
    Step step(doc);
    BlockInfo blockInfo;
    blockInfo.End = 100;
    POSITION block = doc.InsertBlock(TrackPos(doc, 1), blockInfo, 1, 0);
    ASSERT_NE(block, nullptr);
    ASSERT_NE(doc.InsertEvent(TrackPos(doc, 1), block, info, 0, 0), nullptr);
    // Moved to 960 (half a second in), the clip runs to one and a half seconds: tick 2880.
    POSITION moved = doc.MoveBlock(TrackPos(doc, 1), block, TrackPos(doc, 2), 960);
    ASSERT_NE(moved, nullptr);
    const CBlock* object = TrackOf(doc, 2)->GetBlockList().GetAt(moved);
    EXPECT_EQ(object->GetInfo().Start, 960);
    EXPECT_EQ(object->GetInfo().End, 2880);
    // A block without clips keeps the end the move gave it.
    POSITION plain = doc.InsertBlock(TrackPos(doc, 3), blockInfo, 1, 0);
    POSITION plainMoved = doc.MoveBlock(TrackPos(doc, 3), plain, TrackPos(doc, 3), 960);
    ASSERT_NE(plainMoved, nullptr);
    EXPECT_EQ(TrackOf(doc, 3)->GetBlockList().GetAt(plainMoved)->GetInfo().End, 1060);
}

}  // namespace
