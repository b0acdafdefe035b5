#include <gtest/gtest.h>

#include <array>
#include <map>
#include <vector>

#include "DocFixtures.h"

using namespace doctest;

namespace {

class UndoTest : public ::testing::Test {
protected:
    void SetUp() override { InstallChannelSong(doc); }
    POSITION T(int i) const { return TrackPos(doc, i); }
    POSITION B(int t, int b) const { return BlockPos(doc, t, b); }
    CPhrasorDoc doc;
};

TEST_F(UndoTest, NestedStepsNeedTwoEnds) {
    doc.EndUndoStep();  // none open: nothing happens
    EXPECT_EQ(doc.GetUndoDepth(), 0);
    EXPECT_EQ(doc.GetUndoIndex(), -1);

    HintLog log(doc);
    ASSERT_TRUE(doc.BeginUndoStep("outer"));
    ASSERT_TRUE(doc.BeginUndoStep("inner"));
    EXPECT_EQ(doc.GetUndoDepth(), 2);
    EXPECT_EQ(doc.GetUndoIndex(), 0);
    EXPECT_EQ(doc.GetUndoList().GetCount(), 1);  // the inner step has no record of its own
    ASSERT_NE(doc.InsertEvent(T(1), B(1, 0), NoteInfo(0, 60, 10), 0, 0), nullptr);

    doc.EndUndoStep();
    EXPECT_EQ(doc.GetUndoDepth(), 1);
    EXPECT_FALSE(doc.IsModified());
    // Still open: edits are still accepted.
    ASSERT_NE(doc.InsertEvent(T(1), B(1, 0), NoteInfo(10, 61, 10), 0, 0), nullptr);

    const size_t hintsBefore = log.hints.size();
    doc.EndUndoStep();
    EXPECT_EQ(doc.GetUndoDepth(), 0);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(log.hints.size(), hintsBefore + 1);
    EXPECT_EQ(log.hints.back().Guid, MakeSongHintGuid(0x9DD48DEC));
    const CUndo* record = RecordAt(doc, 0);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->GetName(), "outer");
    EXPECT_EQ(record->GetItemCount(), 2);

    // Closed: edits are refused again.
    EXPECT_EQ(doc.InsertEvent(T(1), B(1, 0), NoteInfo(20, 62, 10), 0, 0), nullptr);
    EXPECT_EQ(BlockOf(doc, 1, 0)->GetEventCount(), 2);
}

TEST_F(UndoTest, AStepOfRefusedEditsLeavesNoRecord) {
    {
        Step first(doc);
        ASSERT_NE(doc.InsertEvent(T(1), B(1, 0), NoteInfo(0, 60, 10), 0, 0), nullptr);
    }
    ASSERT_EQ(doc.GetUndoIndex(), 0);
    doc.SetModifiedFlag(false);

    ASSERT_TRUE(doc.BeginUndoStep("refused"));
    EXPECT_EQ(doc.GetUndoIndex(), 1);
    EXPECT_EQ(doc.InsertBlock(T(0), BlockInfo(), 1, 0), nullptr);  // nothing goes on the conductor track
    POSITION tempo = BlockOf(doc, 0, 0)->GetEventList().GetTailPosition();
    EXPECT_EQ(doc.RemoveEvent(T(0), B(0, 0), tempo, 0), 1);         // kept: the time-0 tempo
    EXPECT_EQ(doc.GetEditFlags() & EDIT_KEPT_CONDUCTOR_TIME0, DWORD(EDIT_KEPT_CONDUCTOR_TIME0));
    doc.EndUndoStep();

    EXPECT_EQ(doc.GetUndoIndex(), 0);
    EXPECT_EQ(doc.GetUndoList().GetCount(), 1);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetEditFlags(), 0u);  // refusal bits go when the step closes
}

TEST_F(UndoTest, TwoReplacementsLeaveTwoRecordsEachOwningACopy) {
    POSITION e;
    {
        Step setup(doc);
        e = doc.InsertEvent(T(1), B(1, 0), ControlInfo(240, 7, 10), 0, 0);
        ASSERT_NE(e, nullptr);
    }
    {
        Step step(doc);
        ASSERT_EQ(doc.ReplaceEvent(T(1), B(1, 0), e, ControlInfo(240, 7, 20), 0), e);
        ASSERT_EQ(doc.ReplaceEvent(T(1), B(1, 0), e, ControlInfo(240, 7, 30), 0), e);
    }
    EXPECT_EQ(EventAt(*BlockOf(doc, 1, 0), e)->GetInfo().Data2, 30);
    const CUndo* record = RecordAt(doc, 1);
    ASSERT_NE(record, nullptr);
    const std::vector<const CUndoObj*> items = ItemsOf(*record);
    ASSERT_EQ(items.size(), 2u);
    const BYTE before[] = {10, 20};
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(items[i]->Kind, UNDO_CHANGE_EVENT);
        EXPECT_EQ(WordPos(items[i]->W1), T(1));
        EXPECT_EQ(WordPos(items[i]->W2), B(1, 0));
        EXPECT_EQ(WordPos(items[i]->W3), e);
        EXPECT_EQ(WordTime(items[i]->W4), 240);
        ASSERT_NE(items[i]->GetEventCopy(), nullptr);
        EXPECT_EQ(items[i]->GetEventCopy()->GetInfo().Data2, before[i]);
    }
    EXPECT_NE(items[0]->GetEventCopy(), items[1]->GetEventCopy());
    // Both items are filed under the event.
    EXPECT_EQ(record->GetEventRefs(e).size(), 2u);
}

TEST_F(UndoTest, ARemoveAfterAMoveRemapsTheRecords) {
    POSITION e;
    {
        Step step(doc);
        e = doc.InsertEvent(T(1), B(1, 0), NoteInfo(100, 60, 10), 0, EDIT_SELECT_NEW);
        ASSERT_NE(e, nullptr);
        POSITION moved = doc.ReplaceEvent(T(1), B(1, 0), e, NoteInfo(500, 60, 10), 0);
        ASSERT_NE(moved, nullptr);
        ASSERT_NE(moved, e);
        EXPECT_TRUE(doc.IsEventSelected(moved));  // the selection followed
        EXPECT_FALSE(doc.IsEventSelected(e));
        ASSERT_EQ(doc.RemoveEvent(T(1), B(1, 0), moved, 0), 1);
        EXPECT_FALSE(doc.IsEventSelected(moved));
    }
    ASSERT_EQ(doc.GetRemovedEvents().GetCount(), 1);
    POSITION side = doc.GetRemovedEvents().GetHeadPosition();
    EXPECT_EQ(doc.GetRemovedEvents().GetAt(side)->GetTime(), 500);
    const std::vector<const CUndoObj*> items = ItemsOf(*RecordAt(doc, 0));
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0]->Kind, UNDO_INSERT_EVENT);
    EXPECT_EQ(items[1]->Kind, UNDO_MOVE_EVENT);
    EXPECT_EQ(items[2]->Kind, UNDO_REMOVE_EVENT);
    for (const CUndoObj* item : items) EXPECT_EQ(WordPos(item->W3), side) << item->Kind;
    EXPECT_EQ(WordTime(items[1]->W4), 100);
    EXPECT_EQ(items[1]->GetEventCopy()->GetTime(), 100);
    EXPECT_EQ(RecordAt(doc, 0)->GetEventRefs(side).size(), 3u);
}

TEST_F(UndoTest, RecordsFollowTracksAndBlocksIntoTheSideLists) {
    POSITION block;
    {
        Step step(doc);
        block = doc.InsertBlock(T(2), BlockInfo(), 1, 0);
        ASSERT_NE(block, nullptr);
        ASSERT_NE(doc.InsertEvent(T(2), block, NoteInfo(0, 60, 10), 0, 0), nullptr);
        ASSERT_EQ(doc.RemoveBlock(T(2), block), 1);
        ASSERT_EQ(doc.RemoveTrack(T(2)), 1);
    }
    ASSERT_EQ(doc.GetRemovedBlocks().GetCount(), 1);
    ASSERT_EQ(doc.GetRemovedTracks().GetCount(), 1);
    POSITION sideBlock = doc.GetRemovedBlocks().GetHeadPosition();
    POSITION sideTrack = doc.GetRemovedTracks().GetHeadPosition();
    const std::vector<const CUndoObj*> items = ItemsOf(*RecordAt(doc, 0));
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0]->Kind, UNDO_INSERT_BLOCK);
    EXPECT_EQ(items[1]->Kind, UNDO_INSERT_EVENT);
    EXPECT_EQ(items[2]->Kind, UNDO_REMOVE_BLOCK);
    EXPECT_EQ(items[3]->Kind, UNDO_REMOVE_TRACK);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(WordPos(items[i]->W1), sideTrack) << i;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(WordPos(items[i]->W2), sideBlock) << i;
    EXPECT_EQ(items[3]->W2, 2u);  // the track's index when it went
    EXPECT_EQ(items[0]->W5, UndoWord(TRACK_KIND_MIDI));
}

TEST_F(UndoTest, ClearUndoDeletesRecordsAndRemovedObjects) {
    {
        Step step(doc);
        POSITION e = doc.InsertEvent(T(1), B(1, 0), NoteInfo(0, 60, 10), 0, 0);
        ASSERT_EQ(doc.RemoveEvent(T(1), B(1, 0), e, 0), 1);
        ASSERT_EQ(doc.RemoveTrack(T(3)), 1);
    }
    ASSERT_TRUE(doc.BeginUndoStep("open"));
    doc.ClearUndo();
    EXPECT_EQ(doc.GetUndoDepth(), 0);
    EXPECT_EQ(doc.GetUndoIndex(), -1);
    EXPECT_EQ(doc.GetUndoList().GetCount(), 0);
    EXPECT_EQ(doc.GetRemovedEvents().GetCount(), 0);
    EXPECT_EQ(doc.GetRemovedTracks().GetCount(), 0);
    // No step is open any more.
    EXPECT_EQ(doc.InsertEvent(T(1), B(1, 0), NoteInfo(0, 60, 10), 0, 0), nullptr);
}

TEST_F(UndoTest, AddUndoItemNeedsAnOpenStep) {
    EXPECT_FALSE(doc.AddUndoItem(UNDO_INSERT_TRACK, UndoWords()));
    ASSERT_TRUE(doc.BeginUndoStep("x"));
    EXPECT_TRUE(doc.AddUndoItem(UNDO_INSERT_TRACK, UndoWords()));
    doc.EndUndoStep();
    EXPECT_EQ(RecordAt(doc, 0)->GetItemCount(), 1);
}

// The items filed under each event, checked against a plain map kept beside
// the record, through many events (the table grows and its probe chains are
// cut by remaps), remaps onto fresh and onto already filed positions, and
// taken-back items.
TEST(UndoEventRefs, FollowEveryRemapAndDropLikeAPlainMap) {
    CUndo record("refs");
    std::vector<std::array<char, 16>> nodes(600);  // stand-ins for event nodes
    auto event = [&](size_t i) { return reinterpret_cast<POSITION>(nodes[i].data()); };
    std::map<POSITION, std::vector<POSITION>> model;
    std::map<POSITION, POSITION> itemEvent;  // what each item's W3 must say
    unsigned seed = 12345;
    auto next = [&](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    auto check = [&](const char* when, int step) {
        size_t filed = 0;
        for (size_t i = 0; i < nodes.size(); ++i) {
            auto it = model.find(event(i));
            const std::vector<POSITION> expected = it == model.end() ? std::vector<POSITION>() : it->second;
            ASSERT_EQ(record.GetEventRefs(event(i)), expected) << when << " step " << step << " event " << i;
            if (!expected.empty()) ++filed;
        }
        ASSERT_EQ(record.GetEventRefCount(), filed) << when << " step " << step;
        for (POSITION pos = record.GetItems().GetHeadPosition(); pos;) {
            const POSITION at = pos;
            const CUndoObj* item = record.GetItems().GetNext(pos);
            if (IsEventUndoKind(item->Kind)) ASSERT_EQ(WordPos(item->W3), itemEvent[at]) << when << " step " << step;
        }
    };
    for (int step = 0; step < 3000; ++step) {
        const unsigned what = next(10);
        if (what < 6) {
            UndoWords words;
            const POSITION e = event(next(unsigned(nodes.size())));
            words.W3 = PosWord(e);
            const LONG kind = what < 3 ? UNDO_INSERT_EVENT : what < 5 ? UNDO_REMOVE_EVENT : UNDO_INSERT_TRACK;
            const POSITION item = record.AddItem(kind, words);
            ASSERT_NE(item, nullptr);
            if (IsEventUndoKind(kind)) {
                model[e].push_back(item);
                itemEvent[item] = e;
            }
        } else if (what < 9) {
            const POSITION from = event(next(unsigned(nodes.size())));
            const POSITION to = event(next(unsigned(nodes.size())));
            record.RemapEvent(from, to);
            auto it = model.find(from);
            if (from != to && it != model.end()) {
                std::vector<POSITION> moved = std::move(it->second);
                model.erase(it);
                for (POSITION item : moved) itemEvent[item] = to;
                std::vector<POSITION>& target = model[to];
                target.insert(target.end(), moved.begin(), moved.end());
            }
        } else if (record.GetItemCount() > 0) {
            const POSITION last = record.GetItems().GetTailPosition();
            const CUndoObj* item = record.GetItems().GetAt(last);
            if (IsEventUndoKind(item->Kind)) {
                // Only an item still last in its chain leaves it (as the edit that took it back left it).
                std::vector<POSITION>& refs = model[WordPos(item->W3)];
                if (!refs.empty() && refs.back() == last) refs.pop_back();
                if (refs.empty()) model.erase(WordPos(item->W3));
                itemEvent.erase(last);
            }
            record.DropLastItem();
        }
        if (step % 100 == 0) check("during", step);
    }
    check("at the end", 3000);
}

// The position list and map of an item are its own, start empty, and go with it.
TEST(UndoItemExtras, EachItemKeepsItsOwnEmptyListAndMap) {
    CUndo record("extras");
    UndoWords words;
    const POSITION first = record.AddItem(UNDO_INSERT_TRACK, words);
    const POSITION second = record.AddItem(UNDO_INSERT_TRACK, words);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    CUndoObj* a = record.GetItems().GetAt(first);
    CUndoObj* b = record.GetItems().GetAt(second);
    EXPECT_TRUE(a->GetPosList().IsEmpty());
    EXPECT_TRUE(a->GetPosMap().IsEmpty());
    int marker = 0;
    a->GetPosList().AddTail(&marker);
    a->GetPosMap().SetAt(&marker, &marker);
    EXPECT_EQ(a->GetPosList().GetCount(), 1);
    EXPECT_EQ(&a->GetPosList(), &a->GetPosList());
    EXPECT_TRUE(b->GetPosList().IsEmpty());
    EXPECT_TRUE(b->GetPosMap().IsEmpty());
    // The last item goes; one made in its place starts empty again.
    record.DropLastItem();
    const POSITION third = record.AddItem(UNDO_INSERT_TRACK, words);
    ASSERT_NE(third, nullptr);
    EXPECT_TRUE(record.GetItems().GetAt(third)->GetPosList().IsEmpty());
    EXPECT_EQ(record.GetItems().GetAt(first)->GetPosMap().GetCount(), 1);
}

}  // namespace
