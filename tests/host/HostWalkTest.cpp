// Reads and walks of the host interface: records, kind masks, names and the
// end-of-walk contract.
#include <cstring>

#include "HostFixtures.h"

namespace {

using namespace hosttest;

constexpr BYTE kGmOn[] = {0x7E, 0x7F, 0x09, 0x01, 0xF7};

// Conductor; track 1 (channel 0, "ピアノ") with one block [3840, 7680) "Verse"
// holding CC7@0, note 60@0, program@480, note 62@960, bend@1000, exclusive@1200;
// track 2 (channel 1) with an empty block and a link block showing track 1's block.
class HostWalk : public ::testing::Test {
protected:
    void SetUp() override {
        CTrack* piano = NewTrack(0);
        TrackInfo info = piano->GetInfo();
        info.Name = "ピアノ";
        piano->SetInfo(info, 1);
        CBlock* verse = AddBlock(piano, 3840, 7680, BLOCK_KIND_PLAIN, "Verse");
        verse->InsertEvent(NewEvent(ControlInfo(0, 7, 100)));
        verse->InsertEvent(NewNote(0, 60, 480));
        verse->InsertEvent(NewEvent(ShortInfo(MPEVENT_KIND_PROGRAM, 480, 5)));
        verse->InsertEvent(NewNote(960, 62, 480));
        verse->InsertEvent(NewEvent(ShortInfo(MPEVENT_KIND_PITCHBEND, 1000, 0, 0x40)));
        SongEventInfo sysex;
        sysex.Kind = MPEVENT_KIND_SYSEX;
        sysex.Time = 1200;
        sysex.Length = sizeof kGmOn;
        sysex.Bytes = const_cast<BYTE*>(kGmOn);
        verse->InsertEvent(NewEvent(sysex));
        m_VerseInTrack = piano->GetBlockList().GetHeadPosition();

        CTrack* bass = NewTrack(1);
        AddBlock(bass, 0, 3840, BLOCK_KIND_PLAIN, "Empty");
        CBlock* link = AddBlock(bass, 3840, 7680, BLOCK_KIND_LINK, "Link");
        BlockInfo linkInfo = link->GetInfo();
        linkInfo.RefTrack = reinterpret_cast<POSITION>(uintptr_t(1));  // the reader names the track by index
        linkInfo.RefBlock = m_VerseInTrack;
        link->SetInfo(linkInfo, 1);

        Install(m_Doc, {NewConductor(), piano, bass});
        m_Host = m_Doc.GetHostInterface();
        ASSERT_NE(m_Host, nullptr);
    }

    POSITION Track(int i) const { return TrackPos(m_Doc, i); }
    POSITION Block(int t, int b) const { return BlockPos(m_Doc, t, b); }

    CPhrasorDoc m_Doc;
    CKPSManager* m_Host = nullptr;
    POSITION m_VerseInTrack = nullptr;
};

TEST_F(HostWalk, AnEmptyBlockEndsTheWalkAtOnceWithNullSlots) {
    POSITION ids[MP_ID_COUNT] = {Track(2), Block(2, 0), reinterpret_cast<POSITION>(uintptr_t(8))};
    POSITION next = reinterpret_cast<POSITION>(uintptr_t(8));
    tagMPEVENT e;
    EXPECT_EQ(m_Host->GetFirst(ids, MP_LEVEL_EVENT, &e, &next, MP_MASK_ALL_EVENTS), S_OK);
    EXPECT_EQ(ids[MP_ID_EVENT], nullptr);
    EXPECT_EQ(next, nullptr);
    next = reinterpret_cast<POSITION>(uintptr_t(8));
    ids[MP_ID_EVENT] = next;
    EXPECT_EQ(m_Host->GetLast(ids, MP_LEVEL_EVENT, &e, &next, MP_MASK_ALL_EVENTS), S_OK);
    EXPECT_EQ(ids[MP_ID_EVENT], nullptr);
    EXPECT_EQ(next, nullptr);
}

TEST_F(HostWalk, ANullNextPositionIsABadPositionNotTheEnd) {
    POSITION ids[MP_ID_COUNT] = {Track(1), Block(1, 0), nullptr};
    POSITION next = nullptr;
    tagMPEVENT e;
    EXPECT_EQ(m_Host->GetNext(ids, MP_LEVEL_EVENT, &e, &next, MP_MASK_ALL_EVENTS), MP_E_BADPOSITION);
    EXPECT_EQ(m_Host->GetPrev(ids, MP_LEVEL_EVENT, &e, &next, MP_MASK_ALL_EVENTS), MP_E_BADPOSITION);
    // A missing parent is refused the same way.
    POSITION noBlock[MP_ID_COUNT] = {Track(1), nullptr, nullptr};
    EXPECT_EQ(m_Host->GetFirst(noBlock, MP_LEVEL_EVENT, &e, &next, MP_MASK_ALL_EVENTS), MP_E_BADPOSITION);
}

TEST_F(HostWalk, EveryEventForwardAndBackwardWithTimesRelativeToTheBlock) {
    struct Expected {
        DWORD kind;
        INT64 time;
        BYTE data1;
    };
    const Expected order[] = {
        {MPEVENT_KIND_CONTROL, 0, 7},   {MPEVENT_KIND_NOTE, 0, 60},        {MPEVENT_KIND_PROGRAM, 480, 5},
        {MPEVENT_KIND_NOTE, 960, 62},   {MPEVENT_KIND_PITCHBEND, 1000, 0}, {MPEVENT_KIND_SYSEX, 1200, 0},
    };
    HRESULT hr = E_FAIL;
    const auto forward = WalkEvents(*m_Host, Track(1), Block(1, 0), MP_MASK_ALL_EVENTS, true, &hr);
    EXPECT_EQ(hr, S_OK);
    ASSERT_EQ(forward.size(), std::size(order));
    for (size_t i = 0; i < forward.size(); ++i) {
        EXPECT_EQ(forward[i].Kind, order[i].kind) << i;
        EXPECT_EQ(forward[i].Time, order[i].time) << i;  // the block starts at 3840
        if (order[i].kind != MPEVENT_KIND_SYSEX) {
            EXPECT_EQ(forward[i].Data1, order[i].data1) << i;
        }
    }
    const auto backward = WalkEvents(*m_Host, Track(1), Block(1, 0), MP_MASK_ALL_EVENTS, false, &hr);
    EXPECT_EQ(hr, S_OK);
    ASSERT_EQ(backward.size(), forward.size());
    for (size_t i = 0; i < backward.size(); ++i) EXPECT_EQ(backward[i].Pos, forward[forward.size() - 1 - i].Pos);
}

TEST_F(HostWalk, ANoteMaskSkipsEverythingElseAndStillEnds) {
    HRESULT hr = E_FAIL;
    const auto notes = WalkEvents(*m_Host, Track(1), Block(1, 0), MPEVENT_KIND_NOTE, true, &hr);
    EXPECT_EQ(hr, S_OK);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].Data1, 60);
    EXPECT_EQ(notes[1].Data1, 62);
    EXPECT_EQ(notes[1].Time, 960);
    // Walking from the last note backward passes the program change and reaches the first.
    const auto back = WalkEvents(*m_Host, Track(1), Block(1, 0), MPEVENT_KIND_NOTE, false, &hr);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].Data1, 62);
}

TEST_F(HostWalk, SelectedOnlyWalksSeeOnlySelectedEvents) {
    const LONG mask = MPEVENT_KIND_NOTE | MP_MASK_SELECTED;
    POSITION ids[MP_ID_COUNT] = {Track(1), Block(1, 0), nullptr};
    POSITION next = nullptr;
    tagMPEVENT e;
    EXPECT_EQ(m_Host->GetFirst(ids, MP_LEVEL_EVENT, &e, &next, mask), S_OK);
    EXPECT_EQ(ids[MP_ID_EVENT], nullptr);
    EXPECT_EQ(next, nullptr);

    const auto all = WalkEvents(*m_Host, Track(1), Block(1, 0), MPEVENT_KIND_NOTE, true, nullptr);
    ASSERT_EQ(all.size(), 2u);
    m_Doc.SelectEvent(Track(1), Block(1, 0), all[1].Pos);
    HRESULT hr = E_FAIL;
    const auto selected = WalkEvents(*m_Host, Track(1), Block(1, 0), mask, true, &hr);
    EXPECT_EQ(hr, S_OK);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0].Data1, 62);
    EXPECT_EQ(m_Host->Get(ids, MP_LEVEL_EVENT, &e, 0), MP_E_BADPOSITION);  // no event slot yet
    ids[MP_ID_EVENT] = all[1].Pos;
    ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_EVENT, &e, 0), S_OK);
    EXPECT_EQ(e.Flags, DWORD(MPEVENT_FLAG_SELECTED));
}

TEST_F(HostWalk, NamesComeBackOnlyWhenAsked) {
    POSITION ids[MP_ID_COUNT] = {Track(1), Block(1, 0), nullptr};
    _MPBLOCKINFO block;
    ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_BLOCK, &block, 6), S_OK);
    EXPECT_EQ(block.Name, nullptr);
    EXPECT_EQ(block.Start, 3840);
    EXPECT_EQ(block.End, 7680);
    EXPECT_EQ(block.TimeFormat, DWORD(MPTIME_FORMAT_TICKS));
    ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_BLOCK, &block, 6 | MP_MASK_NAME), S_OK);
    EXPECT_EQ(TakeName(block.Name), u"Verse");

    _MPTRACKINFO track;
    ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_TRACK, &track, 31), S_OK);
    EXPECT_EQ(track.Name, nullptr);
    ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_TRACK, &track, 31 | MP_MASK_NAME), S_OK);
    EXPECT_EQ(TakeName(track.Name), u"ピアノ");  // the song keeps it in the system code page
}

TEST_F(HostWalk, AnEventOfKindOneFailsTheWalkThatReachesIt) {
    CBlock* verse = BlockOf(m_Doc, 1, 0);
    verse->InsertEvent(NewEvent(ShortInfo(MPEVENT_KIND_NONE, 500, 0)));
    HRESULT hr = S_OK;
    const auto seen = WalkEvents(*m_Host, Track(1), Block(1, 0), MP_MASK_ALL_EVENTS, true, &hr);
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(seen.size(), 3u);  // CC, note, program: the walk stops at 500
    // A mask without bit 1 passes over it.
    EXPECT_EQ(WalkEvents(*m_Host, Track(1), Block(1, 0), MPEVENT_KIND_NOTE, true, &hr).size(), 2u);
    EXPECT_EQ(hr, S_OK);
}

TEST_F(HostWalk, VariableDataComesBackAsTheCallersOwnCopy) {
    const auto all = WalkEvents(*m_Host, Track(1), Block(1, 0), MPEVENT_KIND_SYSEX, true, nullptr);
    ASSERT_EQ(all.size(), 1u);
    POSITION ids[MP_ID_COUNT] = {Track(1), Block(1, 0), all[0].Pos};
    tagMPEVENT e;
    ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_EVENT, &e, 0), S_OK);
    ASSERT_EQ(e.Length, sizeof kGmOn);
    ASSERT_NE(e.Bytes, nullptr);
    EXPECT_EQ(std::memcmp(e.Bytes, kGmOn, sizeof kGmOn), 0);
    const BYTE* own = BlockOf(m_Doc, 1, 0)->GetEventList().GetAt(all[0].Pos)->GetInfo().Bytes;
    EXPECT_NE(e.Bytes, own);
    e.Bytes[0] = 0;  // the song's copy does not change
    EXPECT_EQ(own[0], 0x7E);
    FreeEventData(e);
}

TEST_F(HostWalk, ALinkBlockShowsTheEventsOfItsBlock) {
    POSITION ids[MP_ID_COUNT] = {Track(2), Block(2, 1), nullptr};
    _MPBLOCKINFO block;
    ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_BLOCK, &block, 31), S_OK);
    EXPECT_EQ(block.Kind, DWORD(MPBLOCK_KIND_LINK));
    EXPECT_EQ(block.RefTrack, Track(1));
    EXPECT_EQ(block.RefBlock, Block(1, 0));
    const auto shown = WalkEvents(*m_Host, Track(2), Block(2, 1), MP_MASK_ALL_EVENTS, true, nullptr);
    const auto own = WalkEvents(*m_Host, Track(1), Block(1, 0), MP_MASK_ALL_EVENTS, true, nullptr);
    ASSERT_EQ(shown.size(), own.size());
    for (size_t i = 0; i < own.size(); ++i) EXPECT_EQ(shown[i].Pos, own[i].Pos);
    // An ordinary block reports no references.
    ids[MP_ID_BLOCK] = Block(2, 0);
    ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_BLOCK, &block, 31), S_OK);
    EXPECT_EQ(block.RefTrack, nullptr);
}

TEST_F(HostWalk, BlockWalksFollowTheKindMaskAndTheSelection) {
    POSITION ids[MP_ID_COUNT] = {Track(2), nullptr, nullptr};
    POSITION next = nullptr;
    _MPBLOCKINFO block;
    ASSERT_EQ(m_Host->GetFirst(ids, MP_LEVEL_BLOCK, &block, &next, MPBLOCK_KIND_LINK), S_OK);
    EXPECT_EQ(ids[MP_ID_BLOCK], Block(2, 1));
    EXPECT_EQ(next, nullptr);
    ASSERT_EQ(m_Host->GetFirst(ids, MP_LEVEL_BLOCK, &block, &next, 6 | MP_MASK_SELECTED), S_OK);
    EXPECT_EQ(ids[MP_ID_BLOCK], nullptr);
    m_Doc.SelectBlock(Track(2), Block(2, 0));
    ASSERT_EQ(m_Host->GetFirst(ids, MP_LEVEL_BLOCK, &block, &next, 6 | MP_MASK_SELECTED), S_OK);
    EXPECT_EQ(ids[MP_ID_BLOCK], Block(2, 0));
    EXPECT_EQ(block.Flags & MPBLOCK_FLAG_SELECTED, DWORD(MPBLOCK_FLAG_SELECTED));
    EXPECT_EQ(next, Block(2, 1));  // left after the match
}

TEST_F(HostWalk, TrackWalkReadsEveryTrackInOrder) {
    POSITION ids[MP_ID_COUNT] = {nullptr, nullptr, nullptr};
    POSITION next = nullptr;
    _MPTRACKINFO track;
    std::vector<LONG> numbers;
    std::vector<LONG> channels;
    HRESULT hr = m_Host->GetFirst(ids, MP_LEVEL_TRACK, &track, &next, MPTRACK_KIND_MIDI);
    while (hr >= 0 && ids[MP_ID_TRACK]) {
        numbers.push_back(track.Number);
        channels.push_back(track.Channel);
        EXPECT_EQ(track.Reserved2, 0u);
        if (!next) break;  // the last track
        hr = m_Host->GetNext(ids, MP_LEVEL_TRACK, &track, &next, MPTRACK_KIND_MIDI);
    }
    EXPECT_EQ(hr, S_OK);
    // Asking past the last track is an error, not a second end.
    EXPECT_EQ(m_Host->GetNext(ids, MP_LEVEL_TRACK, &track, &next, MPTRACK_KIND_MIDI), MP_E_BADPOSITION);
    EXPECT_EQ(numbers, (std::vector<LONG>{0, 1, 2}));
    EXPECT_EQ(channels, (std::vector<LONG>{0, 0, 1}));
    // No clip tracks in a song read from a file; the current-track walk finds nothing.
    EXPECT_EQ(m_Host->GetFirst(ids, MP_LEVEL_TRACK, &track, &next, MPTRACK_KIND_CLIP), S_OK);
    EXPECT_EQ(ids[MP_ID_TRACK], nullptr);
    EXPECT_EQ(m_Host->GetFirst(ids, MP_LEVEL_TRACK, &track, &next, 31 | MP_MASK_SELECTED), S_OK);
    EXPECT_EQ(ids[MP_ID_TRACK], nullptr);
}

struct GetCase {
    const char* what;
    LONG level;
    bool track, block, event, record;
    HRESULT expected;
};

TEST_F(HostWalk, GetChecksTheLevelThePositionsAndTheRecord) {
    const auto verse = WalkEvents(*m_Host, Track(1), Block(1, 0), MP_MASK_ALL_EVENTS, true, nullptr);
    ASSERT_FALSE(verse.empty());
    const GetCase cases[] = {
        {"level 0", 0, true, true, true, true, E_INVALIDARG},
        {"level 4", 4, true, true, true, true, E_INVALIDARG},
        {"track without position", 1, false, false, false, true, MP_E_BADPOSITION},
        {"track without record", 1, true, false, false, false, E_INVALIDARG},
        {"block without record", 2, true, true, false, false, MP_E_BADPOSITION},
        {"block without block", 2, true, false, false, true, MP_E_BADPOSITION},
        {"event without event", 3, true, true, false, true, MP_E_BADPOSITION},
        {"event without record", 3, true, true, true, false, E_INVALIDARG},
        {"event", 3, true, true, true, true, S_OK},
    };
    for (const GetCase& c : cases) {
        POSITION ids[MP_ID_COUNT] = {c.track ? Track(1) : nullptr, c.block ? Block(1, 0) : nullptr,
                                     c.event ? verse[0].Pos : nullptr};
        tagMPEVENT e;
        _MPTRACKINFO t;
        _MPBLOCKINFO b;
        void* record = !c.record ? nullptr : c.level == 1 ? static_cast<void*>(&t) : c.level == 2 ? static_cast<void*>(&b) : &e;
        EXPECT_EQ(m_Host->Get(ids, c.level, record, 0), c.expected) << c.what;
    }
    // A block of another track is not a block of this one.
    POSITION foreign[MP_ID_COUNT] = {Track(1), Block(2, 0), nullptr};
    _MPBLOCKINFO b;
    EXPECT_EQ(m_Host->Get(foreign, MP_LEVEL_BLOCK, &b, 0), MP_E_BADPOSITION);
}

TEST(HostRead, AClipEventComesBackWithItsTextAndOffsets) {
    CPhrasorDoc doc;
    CTrack* clips = NewTrack(0, TRACK_KIND_CLIP);
    CBlock* block = AddBlock(clips, 0, 100000);
    char16_t name[] = u"Intro";
    SongClipData clip{name, 1000, 9000};
    SongEventInfo info;
    info.Kind = MPEVENT_KIND_CLIP;
    info.Time = 10;
    info.Length = SONG_CLIP_DATA_SIZE;
    info.Bytes = reinterpret_cast<BYTE*>(&clip);
    block->InsertEvent(NewEvent(info));
    Install(doc, {NewConductor(), clips});
    CKPSManager& host = *doc.GetHostInterface();
    POSITION ids[MP_ID_COUNT] = {TrackPos(doc, 1), BlockPos(doc, 1, 0), nullptr};
    POSITION next = nullptr;
    tagMPEVENT e;
    ASSERT_EQ(host.GetFirst(ids, MP_LEVEL_EVENT, &e, &next, MP_MASK_ALL_EVENTS), S_OK);
    EXPECT_EQ(e.Kind, DWORD(MPEVENT_KIND_CLIP));
    EXPECT_EQ(e.Time, 10);
    EXPECT_EQ(e.ClipStart, 1000);
    EXPECT_EQ(e.ClipEnd, 9000);
    EXPECT_EQ(e.Length, DWORD(6 * sizeof(char16_t)));
    ASSERT_NE(e.Text, nullptr);
    EXPECT_EQ(std::u16string(e.Text), u"Intro");
    EXPECT_NE(e.Text, name);
    FreeEventData(e);
}

}  // namespace
