// The song lock and the edits of the host interface: Insert, Modify and
// Remove at every level, round trips through the records, and the 64-bit
// times the driver relies on.
#include <cstdlib>
#include <limits>
#include <thread>

#include "HostFixtures.h"
#include "host/DataManager.h"

namespace {

using namespace hosttest;


// Conductor (4/4, 500000 at 0, 400000 at 1920); track 1 with a block at
// [3840, 7680) holding a note at 0; track 2 with a block at [0, 3840).
class HostEdit : public ::testing::Test {
protected:
    void SetUp() override {
        CTrack* conductor = NewConductor();
        BlockOfTrack(conductor, 0)->InsertEvent(NewTempo(1920, 400000));
        CTrack* one = NewTrack(0);
        AddBlock(one, 3840, 7680)->InsertEvent(NewNote(0, 60, 480));
        CTrack* two = NewTrack(1);
        AddBlock(two, 0, 3840);
        Install(m_Doc, {conductor, one, two});
        m_Host = m_Doc.GetHostInterface();
        ASSERT_NE(m_Host, nullptr);
    }

    static CBlock* BlockOfTrack(CTrack* track, int index) {
        return track->GetBlockList().GetAt(track->GetBlockList().FindIndex(index));
    }
    POSITION Track(int i) const { return TrackPos(m_Doc, i); }
    POSITION Block(int t, int b) const { return BlockPos(m_Doc, t, b); }
    std::vector<SeenEvent> Events(int t, int b) {
        HRESULT hr = E_FAIL;
        auto seen = WalkEvents(*m_Host, Track(t), Block(t, b), MP_MASK_ALL_EVENTS, true, &hr);
        EXPECT_EQ(hr, S_OK);
        return seen;
    }

    CPhrasorDoc m_Doc;
    CKPSManager* m_Host = nullptr;
};

TEST_F(HostEdit, EditsNeedTheExclusiveLock) {
    POSITION ids[MP_ID_COUNT] = {Track(1), Block(1, 0), nullptr};
    tagMPEVENT note = ShortRecord(MPEVENT_KIND_NOTE, 480, 64, 100, 240);
    EXPECT_EQ(m_Host->Insert(ids, MP_LEVEL_EVENT, &note), E_FAIL);
    ids[MP_ID_EVENT] = Events(1, 0)[0].Pos;
    EXPECT_EQ(m_Host->Modify(ids, MP_LEVEL_EVENT, &note, 0xFFFF), E_FAIL);
    EXPECT_EQ(m_Host->Remove(MP_LEVEL_EVENT, ids), E_FAIL);
    // A shared lock does not allow them either.
    ASSERT_EQ(m_Host->Lock(0, nullptr), S_OK);
    EXPECT_EQ(m_Host->Insert(ids, MP_LEVEL_EVENT, &note), E_FAIL);
    EXPECT_EQ(m_Host->Unlock(1), S_OK);
    EXPECT_EQ(Events(1, 0).size(), 1u);
    EXPECT_EQ(m_Doc.GetUndoList().GetCount(), 0);
}

TEST_F(HostEdit, LockRefusesABadModeAndAMissingStepName) {
    CPluginManager& services = *m_Doc.GetPluginManager();
    EXPECT_EQ(m_Host->Lock(1, nullptr), E_POINTER);
    EXPECT_EQ(services.GetMode(), 0);
    EXPECT_EQ(m_Doc.GetUndoDepth(), 0);
    EXPECT_EQ(m_Host->Lock(2, u"x"), E_INVALIDARG);
    // The lock stayed free: another thread can take it exclusively at once.
    HRESULT other = E_FAIL;
    std::thread([&] {
        other = m_Host->Lock(1, u"other");
        if (other == S_OK) m_Host->Unlock(1);
    }).join();
    EXPECT_EQ(other, S_OK);
}

TEST_F(HostEdit, UnlockClosesTheStepAndEndsTheRightToEdit) {
    ASSERT_EQ(m_Host->Lock(1, u"write back"), S_OK);
    EXPECT_EQ(m_Doc.GetPluginManager()->GetMode(), 1);
    EXPECT_EQ(m_Doc.GetUndoDepth(), 1);
    POSITION ids[MP_ID_COUNT] = {Track(1), Block(1, 0), nullptr};
    tagMPEVENT note = ShortRecord(MPEVENT_KIND_NOTE, 480, 64, 100, 240);
    ASSERT_EQ(m_Host->Insert(ids, MP_LEVEL_EVENT, &note), S_OK);
    EXPECT_EQ(m_Host->Unlock(0), MP_S_UNLOCKED);
    EXPECT_EQ(m_Doc.GetUndoDepth(), 0);
    ASSERT_EQ(m_Doc.GetUndoList().GetCount(), 1);
    EXPECT_EQ(m_Doc.GetUndoList().GetHead()->GetItemCount(), 1);
    EXPECT_EQ(m_Doc.GetPluginManager()->GetMode(), 0);

    // After the release nothing more goes in, and a second release is an error.
    tagMPEVENT late = ShortRecord(MPEVENT_KIND_NOTE, 960, 65, 100, 240);
    EXPECT_EQ(m_Host->Insert(ids, MP_LEVEL_EVENT, &late), E_FAIL);
    EXPECT_EQ(Events(1, 0).size(), 2u);
    EXPECT_EQ(m_Host->Unlock(0), E_FAIL);
    // With a non-zero flag the release answers plain success.
    ASSERT_EQ(m_Host->Lock(1, u""), S_OK);
    EXPECT_EQ(m_Host->Unlock(1), S_OK);
}

TEST_F(HostEdit, TheHolderCannotLockAgainAndWaitForItself) {
    ASSERT_EQ(m_Host->Lock(1, u"a"), S_OK);
    EXPECT_EQ(m_Host->Lock(1, u"b"), E_FAIL);
    EXPECT_EQ(m_Host->Lock(0, nullptr), E_FAIL);
    EXPECT_EQ(m_Doc.GetUndoDepth(), 1);  // the refused locks opened no step
    EXPECT_EQ(m_Host->Unlock(1), S_OK);
}

TEST_F(HostEdit, InsertModifyRemoveRoundTripWithRelativeTimes) {
    ExclusiveLock lock(*m_Host);
    ASSERT_EQ(lock.Result(), S_OK);
    POSITION ids[MP_ID_COUNT] = {Track(1), Block(1, 0), nullptr};
    tagMPEVENT note = ShortRecord(MPEVENT_KIND_NOTE, 960, 64, 90, 240);
    note.Channel = 3;
    ASSERT_EQ(m_Host->Insert(ids, MP_LEVEL_EVENT, &note), S_OK);
    ASSERT_NE(ids[MP_ID_EVENT], nullptr);
    // The song holds it at the block's start + 960.
    const CSongEvent* stored = BlockOf(m_Doc, 1, 0)->GetEventList().GetAt(ids[MP_ID_EVENT]);
    EXPECT_EQ(stored->GetTime(), 960);

    tagMPEVENT read;
    ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_EVENT, &read, 0), S_OK);
    EXPECT_EQ(read.Kind, DWORD(MPEVENT_KIND_NOTE));
    EXPECT_EQ(read.Time, 960);
    EXPECT_EQ(read.Channel, 3);
    EXPECT_EQ(read.Data1, 64);
    EXPECT_EQ(read.Data2, 90);
    EXPECT_EQ(read.Duration, 240);

    // A time change moves the event: from 960 back to 0, after the note already there.
    read.Time = 0;
    read.Data1 = 66;
    const POSITION before = ids[MP_ID_EVENT];
    ASSERT_EQ(m_Host->Modify(ids, MP_LEVEL_EVENT, &read, 0xFFFF), S_OK);
    EXPECT_NE(ids[MP_ID_EVENT], before);  // moved to a new place in the list
    auto seen = Events(1, 0);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].Data1, 60);  // equal times keep the older event first
    EXPECT_EQ(seen[1].Data1, 66);
    EXPECT_EQ(seen[1].Pos, ids[MP_ID_EVENT]);
    EXPECT_EQ(seen[1].Time, 0);

    ASSERT_EQ(m_Host->Remove(MP_LEVEL_EVENT, ids), S_OK);
    seen = Events(1, 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Data1, 60);
}

TEST_F(HostEdit, TimesKeepAllSixtyFourBits) {
    ExclusiveLock lock(*m_Host);
    ASSERT_EQ(lock.Result(), S_OK);
    struct TimeCase {
        INT64 written;
        INT64 stored;
    };
    const TimeCase cases[] = {
        {INT64(1) << 32 | 5, INT64(1) << 32 | 5},  // not 5
        {kAbsent, kAbsent},                      // stays absent, not -1 and then 0
        {-20, 0},                                // before the block: at its start
    };
    for (const TimeCase& c : cases) {
        POSITION ids[MP_ID_COUNT] = {Track(2), Block(2, 0), nullptr};
        tagMPEVENT cc = ShortRecord(MPEVENT_KIND_CONTROL, c.written, 7, 1);
        ASSERT_EQ(m_Host->Insert(ids, MP_LEVEL_EVENT, &cc), S_OK) << c.written;
        tagMPEVENT read;
        ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_EVENT, &read, 0), S_OK);
        EXPECT_EQ(read.Time, c.stored) << c.written;
    }
}

TEST_F(HostEdit, ATempoParkedAtTheLargestTimeKeepsTheStartingTempo) {
    {
        ExclusiveLock lock(*m_Host);
        ASSERT_EQ(lock.Result(), S_OK);
        POSITION ids[MP_ID_COUNT] = {Track(0), Block(0, 0), nullptr};
        POSITION next = nullptr;
        tagMPEVENT tempo;
        // Find the tempo at 1920 and move it away the way the driver does (time field only).
        HRESULT hr = m_Host->GetFirst(ids, MP_LEVEL_EVENT, &tempo, &next, MPEVENT_KIND_META);
        while (hr == S_OK && ids[MP_ID_EVENT] && tempo.Time != 1920) {
            FreeEventData(tempo);
            hr = m_Host->GetNext(ids, MP_LEVEL_EVENT, &tempo, &next, MPEVENT_KIND_META);
        }
        ASSERT_EQ(tempo.Time, 1920);
        tempo.Time = kAbsent;
        EXPECT_EQ(m_Host->Modify(ids, MP_LEVEL_EVENT, &tempo, MP_FIELD_START), S_OK);
        FreeEventData(tempo);
    }
    // The step closed and the conductor was cleaned up: the song still starts at 500000.
    TempoInfo first;
    ASSERT_TRUE(m_Doc.GetTempoMap().TempoAt(0, &first));
    EXPECT_EQ(first.Time, 0);
    EXPECT_EQ(first.Tempo, 500000);
    const CBlock* conductor = BlockOf(m_Doc, 0, 0);
    int atStart = 0;
    int parked = 0;
    for (CSongEvent* e : EventsOf(*conductor)) {
        if (!IsTempoEvent(e->GetInfo())) continue;
        atStart += e->GetTime() == 0;
        parked += e->GetTime() == kAbsent;
    }
    EXPECT_EQ(atStart, 1);
    EXPECT_EQ(parked, 1);
}

TEST_F(HostEdit, ATempoParkedAtTheLargestTimeAndRemovedLeavesASavableSong) {
    const INT64 endBefore = BlockOf(m_Doc, 0, 0)->GetInfo().End;
    {
        ExclusiveLock lock(*m_Host);
        ASSERT_EQ(lock.Result(), S_OK);
        POSITION ids[MP_ID_COUNT] = {Track(0), Block(0, 0), nullptr};
        for (const SeenEvent& e : Events(0, 0))
            if (e.Time == 1920) ids[MP_ID_EVENT] = e.Pos;
        ASSERT_NE(ids[MP_ID_EVENT], nullptr);
        tagMPEVENT tempo;
        ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_EVENT, &tempo, 0), S_OK);
        tempo.Time = kAbsent;
        EXPECT_EQ(m_Host->Modify(ids, MP_LEVEL_EVENT, &tempo, MP_FIELD_START), S_OK);
        FreeEventData(tempo);
        // An event at the absent time is not in the song's time: the block keeps its end.
        EXPECT_EQ(BlockOf(m_Doc, 0, 0)->GetInfo().End, endBefore);
        EXPECT_EQ(m_Host->Remove(MP_LEVEL_EVENT, ids), S_OK);
    }
    EXPECT_EQ(BlockOf(m_Doc, 0, 0)->GetInfo().End, endBefore);
    for (LONG kind : {FILE_KIND_SMF0, FILE_KIND_SMF1}) {
        m_Doc.SetFileKind(kind);
        CDataManager data(&m_Doc);
        BYTE* bytes = nullptr;
        DWORD size = 0;
        EXPECT_EQ(data.Save(&bytes, &size, nullptr), 1) << kind;
        std::free(bytes);
    }
}

TEST_F(HostEdit, RecordsWithAKindOutsideTheListsAreRefused) {
    ExclusiveLock lock(*m_Host);
    ASSERT_EQ(lock.Result(), S_OK);
    POSITION ids[MP_ID_COUNT] = {Track(2), Block(2, 0), nullptr};
    for (DWORD kind : {DWORD(MPEVENT_KIND_NONE), DWORD(0x6), DWORD(0x400000), DWORD(0)}) {
        tagMPEVENT e = ShortRecord(kind, 0, 1);
        EXPECT_EQ(m_Host->Insert(ids, MP_LEVEL_EVENT, &e), E_FAIL) << kind;
    }
    tagMPEVENT missing = ShortRecord(MPEVENT_KIND_SYSEX, 0, 0);
    missing.Length = 4;
    missing.Bytes = nullptr;
    EXPECT_EQ(m_Host->Insert(ids, MP_LEVEL_EVENT, &missing), E_POINTER);
    EXPECT_TRUE(Events(2, 0).empty());
}

TEST_F(HostEdit, VariableDataIsCopiedIn) {
    ExclusiveLock lock(*m_Host);
    ASSERT_EQ(lock.Result(), S_OK);
    POSITION ids[MP_ID_COUNT] = {Track(2), Block(2, 0), nullptr};
    BYTE data[] = {0x7E, 0x7F, 0x09, 0x01, 0xF7};
    tagMPEVENT e = ShortRecord(MPEVENT_KIND_SYSEX, 10, 0);
    e.Length = sizeof data;
    e.Bytes = data;
    ASSERT_EQ(m_Host->Insert(ids, MP_LEVEL_EVENT, &e), S_OK);
    data[0] = 0;  // the caller keeps its buffer; the song has its own
    const SongEventInfo& stored = BlockOf(m_Doc, 2, 0)->GetEventList().GetAt(ids[MP_ID_EVENT])->GetInfo();
    ASSERT_EQ(stored.Length, 5u);
    EXPECT_EQ(stored.Bytes[0], 0x7E);
}

TEST_F(HostEdit, ModifyWithOnlyTheSelectionBitSelectsAndChangesNothingElse) {
    ExclusiveLock lock(*m_Host);
    ASSERT_EQ(lock.Result(), S_OK);
    POSITION ids[MP_ID_COUNT] = {Track(1), Block(1, 0), Events(1, 0)[0].Pos};
    tagMPEVENT e = ShortRecord(MPEVENT_KIND_NOTE, 700, 1, 1, 1);
    e.Flags = MPEVENT_FLAG_SELECTED;
    ASSERT_EQ(m_Host->Modify(ids, MP_LEVEL_EVENT, &e, MP_FIELD_SELECTION), S_OK);
    EXPECT_TRUE(m_Doc.IsEventSelected(ids[MP_ID_EVENT]));
    tagMPEVENT read;
    ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_EVENT, &read, 0), S_OK);
    EXPECT_EQ(read.Time, 0);
    EXPECT_EQ(read.Data1, 60);
    e.Flags = 0;
    ASSERT_EQ(m_Host->Modify(ids, MP_LEVEL_EVENT, &e, MP_FIELD_SELECTION), S_OK);
    EXPECT_FALSE(m_Doc.IsEventSelected(ids[MP_ID_EVENT]));
}

TEST_F(HostEdit, TracksAndBlocksRoundTrip) {
    ExclusiveLock lock(*m_Host);
    ASSERT_EQ(lock.Result(), S_OK);

    // A new block on track 2, selected, named.
    POSITION ids[MP_ID_COUNT] = {Track(2), nullptr, nullptr};
    _MPBLOCKINFO block;
    ResetMPBlockInfo(block);
    block.Start = 7680;
    block.End = 11520;
    block.Flags = MPBLOCK_FLAG_SELECTED;
    char16_t chorus[] = u"Chorus";
    block.Name = chorus;
    ASSERT_EQ(m_Host->Insert(ids, MP_LEVEL_BLOCK, &block), S_OK);
    _MPBLOCKINFO read;
    ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_BLOCK, &read, 6 | MP_MASK_NAME), S_OK);
    EXPECT_EQ(read.Start, 7680);
    EXPECT_EQ(read.End, 11520);
    EXPECT_EQ(read.Flags, DWORD(MPBLOCK_FLAG_SELECTED));
    EXPECT_EQ(TakeName(read.Name), u"Chorus");

    // Track 1: port, channel and the second state flag, as the driver writes them.
    POSITION track[MP_ID_COUNT] = {Track(1), nullptr, nullptr};
    _MPTRACKINFO t;
    ASSERT_EQ(m_Host->Get(track, MP_LEVEL_TRACK, &t, 31), S_OK);
    t.Port = 2;
    t.Channel = 5;
    t.Flags = MPTRACK_FLAG_STATE2;
    t.Reserved2 = 77;
    t.Transpose = 12;  // not in the mask: stays
    ASSERT_EQ(m_Host->Modify(track, MP_LEVEL_TRACK, &t, MP_FIELD_PORT | MP_FIELD_CHANNEL | MP_FIELD_STATE2), S_OK);
    _MPTRACKINFO after;
    ASSERT_EQ(m_Host->Get(track, MP_LEVEL_TRACK, &after, 31), S_OK);
    EXPECT_EQ(after.Port, 2);
    EXPECT_EQ(after.Channel, 5);
    EXPECT_EQ(after.Flags, DWORD(MPTRACK_FLAG_STATE2));
    EXPECT_EQ(after.Reserved2, 0u);
    EXPECT_EQ(after.Transpose, 0);

    // Removing the block takes it out of the track.
    EXPECT_EQ(m_Host->Remove(MP_LEVEL_BLOCK, ids), S_OK);
    EXPECT_EQ(TrackOf(m_Doc, 2)->GetBlockCount(), 1);
    POSITION noTrack[MP_ID_COUNT] = {nullptr, nullptr, nullptr};
    EXPECT_EQ(m_Host->Remove(MP_LEVEL_TRACK, noTrack), E_FAIL);
    EXPECT_EQ(m_Host->Remove(MP_LEVEL_BLOCK, noTrack), MP_E_BADPOSITION);
}

TEST_F(HostEdit, ANewTrackGoesToItsNumberAndAMovedBlockReportsItsNewPosition) {
    ExclusiveLock lock(*m_Host);
    ASSERT_EQ(lock.Result(), S_OK);
    POSITION ids[MP_ID_COUNT] = {nullptr, nullptr, nullptr};
    _MPTRACKINFO track;
    ResetMPTrackInfo(track);
    track.Number = 1;
    track.Channel = 9;
    char16_t drums[] = u"ドラム";
    track.Name = drums;
    ASSERT_EQ(m_Host->Insert(ids, MP_LEVEL_TRACK, &track), S_OK);
    EXPECT_EQ(ids[MP_ID_TRACK], Track(1));  // before the track that had index 1
    _MPTRACKINFO read;
    ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_TRACK, &read, 31 | MP_MASK_NAME), S_OK);
    EXPECT_EQ(read.Number, 1);
    EXPECT_EQ(read.Channel, 9);
    EXPECT_EQ(TakeName(read.Name), u"ドラム");
    EXPECT_EQ(TrackOf(m_Doc, 2)->GetInfo().Channel, 0);  // the old track 1 is now 2

    // Track 2's block [3840, 7680) with a note at 0 moves to start 1920 and keeps its length.
    POSITION block[MP_ID_COUNT] = {Track(2), Block(2, 0), nullptr};
    _MPBLOCKINFO b;
    ASSERT_EQ(m_Host->Get(block, MP_LEVEL_BLOCK, &b, 31), S_OK);
    const POSITION before = block[MP_ID_BLOCK];
    b.Start = 1920;
    ASSERT_EQ(m_Host->Modify(block, MP_LEVEL_BLOCK, &b, MP_FIELD_START), S_OK);
    EXPECT_NE(block[MP_ID_BLOCK], before);
    EXPECT_EQ(block[MP_ID_BLOCK], Block(2, 0));
    ASSERT_EQ(m_Host->Get(block, MP_LEVEL_BLOCK, &b, 31), S_OK);
    EXPECT_EQ(b.Start, 1920);
    EXPECT_EQ(b.End, 1920 + 3840);
    // Its note moved with it: still at 0 within the block.
    EXPECT_EQ(WalkEvents(*m_Host, Track(2), Block(2, 0), MP_MASK_ALL_EVENTS, true, nullptr)[0].Time, 0);
}

TEST_F(HostEdit, BlockTimesAreCheckedWhenABlockIsInserted) {
    ExclusiveLock lock(*m_Host);
    ASSERT_EQ(lock.Result(), S_OK);
    struct BlockCase {
        INT64 start, end;
        HRESULT result;
        INT64 storedStart, storedEnd;
    };
    const BlockCase cases[] = {
        {INT64(1) << 33, (INT64(1) << 33) + 960, S_OK, INT64(1) << 33, (INT64(1) << 33) + 960},
        {-960, 960, S_OK, 0, 960},  // nothing begins before the song
        {3840, 100, S_OK, 3840, 3840},  // never ends before it begins
        {kAbsent, kAbsent, E_INVALIDARG, 0, 0},
    };
    for (const BlockCase& c : cases) {
        POSITION ids[MP_ID_COUNT] = {Track(2), nullptr, nullptr};
        _MPBLOCKINFO block;
        ResetMPBlockInfo(block);
        block.Start = c.start;
        block.End = c.end;
        ASSERT_EQ(m_Host->Insert(ids, MP_LEVEL_BLOCK, &block), c.result) << c.start;
        if (c.result != S_OK) continue;
        _MPBLOCKINFO read;
        ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_BLOCK, &read, 31), S_OK);
        EXPECT_EQ(read.Start, c.storedStart) << c.start;
        EXPECT_EQ(read.End, c.storedEnd) << c.start;
    }
}

TEST_F(HostEdit, RemovingTheOpeningTempoSucceedsButKeepsIt) {
    ExclusiveLock lock(*m_Host);
    ASSERT_EQ(lock.Result(), S_OK);
    for (const SeenEvent& e : Events(0, 0)) {
        if (e.Time != 0) continue;
        POSITION ids[MP_ID_COUNT] = {Track(0), Block(0, 0), e.Pos};
        EXPECT_EQ(m_Host->Remove(MP_LEVEL_EVENT, ids), S_OK);
    }
    EXPECT_EQ(Events(0, 0).size(), 3u);  // meter and tempo at 0, tempo at 1920
}

TEST_F(HostEdit, AnEditWhoseStepWasDroppedStillRecordsItself) {
    ExclusiveLock lock(*m_Host);
    ASSERT_EQ(lock.Result(), S_OK);
    m_Doc.ClearUndo();  // the history goes, the lock stays
    POSITION ids[MP_ID_COUNT] = {Track(2), Block(2, 0), nullptr};
    tagMPEVENT cc = ShortRecord(MPEVENT_KIND_CONTROL, 0, 10, 64);
    ASSERT_EQ(m_Host->Insert(ids, MP_LEVEL_EVENT, &cc), S_OK);
    EXPECT_EQ(m_Doc.GetUndoDepth(), 0);
    EXPECT_EQ(m_Doc.GetUndoList().GetCount(), 1);
}

}  // namespace
