// The driver's selection scan and position list over songs loaded from SMF
// bytes with the channel's track selected as the core selects it.
#include <gtest/gtest.h>

#include "PhrasorProcFixture.h"
#include "services/ArticPref.h"

namespace {

using phrasorproctest::At;
using phrasorproctest::Bytes;
using phrasorproctest::Cat;
using phrasorproctest::ProcRun;

// Channel 2: notes 60, 62; channel 5: notes 50, 52; channel 3: controllers only.
const Bytes kPhrasorProcScanSong = smftest::Smf0(Cat({
    At(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}), At(0, {0xB3, 7, 100}), At(960, {0x92, 60, 100}),
    At(0, {0x95, 50, 100}), At(240, {0x85, 50, 0}), At(0, {0xB3, 10, 20}), At(240, {0x82, 60, 0}),
    At(0, {0x95, 52, 100}), At(240, {0x85, 52, 0}), At(0, {0x92, 62, 90}), At(480, {0x82, 62, 0}),
}));

POSITION PhrasorProcFirstBlock(const ProcRun& r, LONG ch) { return r.Blocks(r.TrackOfCh(ch)).at(0); }

TEST(PhrasorProcScan, SelectionShapesGiveTheirModes) {
    ProcRun r;
    int blkTrks = 0, evntTrks = 0;
    // Only controllers in the selected block.
    r.Prepare(kPhrasorProcScanSong, 3);
    EXPECT_EQ(r.Scan(), CPhrasorProc::kScanNoNote);
    // One track's blocks, then a second track's block as well.
    r.Prepare(kPhrasorProcScanSong, 2);
    EXPECT_EQ(r.Scan(&blkTrks, &evntTrks), CPhrasorProc::kSelBlock);
    EXPECT_EQ(blkTrks, 1);
    EXPECT_EQ(evntTrks, 0);
    r.SelectBlock(r.TrackOfCh(5), PhrasorProcFirstBlock(r, 5));
    EXPECT_EQ(r.Scan(&blkTrks), CPhrasorProc::kScanTracks);
    EXPECT_EQ(blkTrks, 2);
    // Nothing selected.
    r.Prepare(kPhrasorProcScanSong, 16);  // no such track
    EXPECT_EQ(r.Scan(&blkTrks, &evntTrks), CPhrasorProc::kScanHostFailed);
    EXPECT_EQ(blkTrks + evntTrks, 0);
}

TEST(PhrasorProcScan, BlocksAndEventsTogetherFollowTheSettingsPriority) {
    ProcRun r;
    CArticPrefSetting* s = r.proc.GetPref()->GetSetting();
    EXPECT_EQ(s->GetBlkEvntPriority(), 0);  // as the driver sets it
    for (int priority : {0, 1}) {
        s->SetBlkEvntPriority(priority);
        r.Prepare(kPhrasorProcScanSong, 2);
        const POSITION trk = r.TrackOfCh(2);
        const POSITION blk = PhrasorProcFirstBlock(r, 2);
        r.SelectEvent(trk, blk, r.Events(trk, blk).at(0));
        int blkTrks = 0, evntTrks = 0;
        EXPECT_EQ(r.Scan(&blkTrks, &evntTrks), priority);
        EXPECT_EQ(blkTrks, 1);
        EXPECT_EQ(evntTrks, 1);
    }
}

struct PhrasorProcKvCase {
    const char* what;
    LONG trackCh;  // -1: the conductor's block
    Bytes bytes;
    int entries;
};

TEST(PhrasorProcScan, KvVoiceMessagesOfTheSelectedPartAreCaptured) {
    const PhrasorProcKvCase cases[] = {
        {"part 2 program", 2, {0x43, 0x10, 0x4C, 0x08, 0x02, 0x03, 0x05, 0xF7}, 1},
        {"part 3", 2, {0x43, 0x10, 0x4C, 0x08, 0x03, 0x03, 0x05, 0xF7}, 0},
        {"device byte 0x20", 2, {0x43, 0x20, 0x4C, 0x08, 0x02, 0x03, 0x05, 0xF7}, 0},
        {"conductor's block", -1, {0x43, 0x10, 0x4C, 0x08, 0x02, 0x03, 0x05, 0xF7}, 0},
    };
    ProcRun r;
    for (const auto& c : cases) {
        r.Prepare(kPhrasorProcScanSong, 2);
        const POSITION trk = c.trackCh < 0 ? r.Conductor() : r.TrackOfCh(c.trackCh);
        r.InsertBytes(trk, r.Blocks(trk).at(0), MPEVENT_KIND_SYSEX, 600, c.bytes);
        EXPECT_EQ(r.Scan(), CPhrasorProc::kSelBlock) << c.what;
        const CPgBselEvntList* list = r.proc.GetPgBsel()->GetPgBselList();
        ASSERT_EQ(int(list->GetCount()), c.entries) << c.what;
        EXPECT_EQ(r.proc.GetVeloSens()->GetVeloSensList()->GetCount(), 0) << c.what;
        if (c.entries == 0) continue;
        const CPgBselEvnt* e = list->GetHead();
        EXPECT_EQ(e->GetKind(), CPgBselEvnt::kProgram) << c.what;
        EXPECT_EQ(e->GetValue(), 5) << c.what;
        EXPECT_EQ(e->GetTime(), 300) << c.what;  // its own time in engine ticks
        POSITION t = nullptr, b = nullptr, ev = nullptr;
        e->GetEventIDs(&t, &b, &ev);
        EXPECT_EQ(t, trk) << c.what;
        EXPECT_NE(ev, nullptr) << c.what;
    }
}

TEST(PhrasorProcScan, VelocitySenseMessagesGoToTheirTimeline) {
    ProcRun r;
    r.Prepare(kPhrasorProcScanSong, 2);
    const POSITION trk = r.TrackOfCh(2);
    r.InsertBytes(trk, r.Blocks(trk).at(0), MPEVENT_KIND_SYSEX, 0, {0x43, 0x10, 0x4C, 0x08, 0x02, 0x0C, 0x20, 0xF7});
    r.InsertBytes(trk, r.Blocks(trk).at(0), MPEVENT_KIND_SYSEX, 480, {0x43, 0x10, 0x4C, 0x08, 0x02, 0x0D, 0x50, 0xF7});
    r.InsertBytes(trk, r.Blocks(trk).at(0), MPEVENT_KIND_SYSEX, 480, {0x43, 0x10, 0x4C, 0x08, 0x02, 0x18, 0x50, 0xF7});
    ASSERT_EQ(r.Scan(), CPhrasorProc::kSelBlock);
    const CVeloSensEvntList* list = r.proc.GetVeloSens()->GetVeloSensList();
    ASSERT_EQ(list->GetCount(), 2);
    EXPECT_EQ(list->GetHead()->GetKind(), CVeloSensEvnt::kDepth);
    EXPECT_EQ(list->GetHead()->GetValue(), 0x20);
    EXPECT_EQ(list->GetTail()->GetKind(), CVeloSensEvnt::kOffset);
    EXPECT_EQ(list->GetTail()->GetTime(), 240);
    EXPECT_EQ(r.proc.GetPgBsel()->GetPgBselList()->GetCount(), 0);  // the cutoff is not kept
}

struct PhrasorProcBendCase {
    const char* what;
    LONG trackCh;
    WORD value;
    BYTE raised;
};

TEST(PhrasorProcScan, BendOffCentreInTheSelectionRaisesThePitchBendOption) {
    const PhrasorProcBendCase cases[] = {
        {"centre", 2, 8192, 0},
        {"unselected block", 5, 8193, 0},
        {"one above", 2, 8193, 1},
        {"lowest", 2, 0, 1},
    };
    ProcRun r;
    for (const auto& c : cases) {
        r.Prepare(kPhrasorProcScanSong, 2);
        r.Prm().PbCtrl = 0;
        const POSITION trk = r.TrackOfCh(c.trackCh);
        r.InsertShort(trk, r.Blocks(trk).at(0), MPEVENT_KIND_PITCHBEND, 100, c.trackCh, BYTE(c.value & 0x7F),
                      BYTE(c.value >> 7));
        ASSERT_EQ(r.Scan(), CPhrasorProc::kSelBlock) << c.what;
        EXPECT_EQ(r.Prm().PbCtrl, c.raised) << c.what;
        EXPECT_EQ(r.proc.GetPbExist(), c.raised) << c.what;
    }
    // A raised option is never lowered by the scan.
    r.Prepare(kPhrasorProcScanSong, 2);
    r.Prm().PbCtrl = 1;
    ASSERT_EQ(r.Scan(), CPhrasorProc::kSelBlock);
    EXPECT_EQ(r.Prm().PbCtrl, 1);
}

// Channel 2 alone: notes A (960, 480 long), C (1440, 1920 long), B (1920,
// 480 long), D (2400), E (2880); F (0) before.
const Bytes kPhrasorProcEventSong = smftest::Smf0(Cat({
    At(0, {0x92, 40, 100}), At(240, {0x82, 40, 0}), At(720, {0x92, 60, 100}), At(480, {0x92, 61, 100}),
    At(0, {0x82, 60, 0}), At(480, {0x92, 62, 100}), At(480, {0x82, 62, 0}), At(0, {0x92, 63, 100}),
    At(240, {0x82, 63, 0}), At(240, {0x92, 64, 100}), At(240, {0x82, 64, 0}), At(240, {0x82, 61, 0}),
}));

// The keys of the listed events.
std::vector<int> PhrasorProcKeysOf(const ProcRun& r, const CArticPosList& list) {
    std::vector<int> keys;
    for (POSITION p = list.GetHeadPosition(); p;) {
        const CArticPos* pos = list.GetNext(p);
        tagMPEVENT e{};
        EXPECT_EQ(CArticHostWalk::GetEvnt(r.Host(), pos->GetTrk(), pos->GetBlk(), pos->GetEvnt(), &e), 0);
        keys.push_back(e.Kind == MPEVENT_KIND_NOTE ? e.Data1 : -1);
        CArticHostWalk::FreeMem(e);
    }
    return keys;
}

// The event of the track's first block with the key.
POSITION PhrasorProcNoteOf(const ProcRun& r, POSITION trk, int key) {
    POSITION found = nullptr;
    CArticHostWalk::Events(r.Host(), trk, r.Blocks(trk).at(0), [&](const tagMPEVENT& e, POSITION at) {
        if (e.Kind == MPEVENT_KIND_NOTE && e.Data1 == key) found = at;
        return found == nullptr;
    });
    return found;
}

TEST(PhrasorProcScan, EventModeTakesWhatStartsAndEndsInTheSelectedRange) {
    ProcRun r;
    r.Prepare(kPhrasorProcEventSong, 16);  // no block selected
    const POSITION trk = r.TrackOfCh(2);
    ASSERT_NE(trk, nullptr);
    const POSITION blk = r.Blocks(trk).at(0);
    r.SelectEvent(trk, blk, PhrasorProcNoteOf(r, trk, 60));
    r.SelectEvent(trk, blk, PhrasorProcNoteOf(r, trk, 62));
    int evntTrks = 0;
    ASSERT_EQ(r.Scan(nullptr, &evntTrks), CPhrasorProc::kSelEvent);
    EXPECT_EQ(evntTrks, 1);
    EXPECT_EQ(r.proc.GetFirstSelStart(), 480);
    EXPECT_EQ(r.proc.GetLastSelEnd(), 1200);  // the selected note's end
    bridgetest::PosList list;
    ASSERT_EQ(r.proc.MakePosList(r.Host(), &list.list, CPhrasorProc::kSelEvent), CPhrasorProc::kSelEvent);
    // 61 sounds past the end but starts inside; 63 starts at the end itself.
    EXPECT_EQ(PhrasorProcKeysOf(r, list.list), (std::vector<int>{60, 61, 62, 63}));
}

// A track of many channels holding notes 70, 71 and 72 on channels 2, 3 and
// 4, with note 60 (channel 2) and note 62 moved to secondChannel selected:
// the keys event selection takes.
std::vector<int> PhrasorProcMultiChannelKeys(int secondChannel) {
    ProcRun r;
    r.Prepare(kPhrasorProcEventSong, 16);
    const POSITION trk = r.TrackOfCh(2);
    const POSITION blk = r.Blocks(trk).at(0);
    r.SetTrackCh(trk, -1);
    EXPECT_EQ(r.TrackOfCh(-1), trk);
    r.InsertShort(trk, blk, MPEVENT_KIND_NOTE, 1000, 2, 70, 100, 0, 100);
    r.InsertShort(trk, blk, MPEVENT_KIND_NOTE, 1000, 3, 71, 100, 0, 100);
    r.InsertShort(trk, blk, MPEVENT_KIND_NOTE, 1000, 4, 72, 100, 0, 100);
    r.SelectEvent(trk, blk, PhrasorProcNoteOf(r, trk, 60));
    {
        tagMPEVENT e{};
        EXPECT_EQ(CArticHostWalk::GetEvnt(r.Host(), trk, blk, PhrasorProcNoteOf(r, trk, 62), &e), 0);
        e.Channel = BYTE(secondChannel);
        hosttest::ExclusiveLock lock(*r.Host());
        POSITION ids[MP_ID_COUNT] = {trk, blk, PhrasorProcNoteOf(r, trk, 62)};
        e.Flags = MPEVENT_FLAG_SELECTED;
        EXPECT_GE(r.Host()->Modify(ids, MP_LEVEL_EVENT, &e, LONG(0xFFFF | MP_FIELD_SELECTION)), 0);
    }
    EXPECT_EQ(r.Scan(), CPhrasorProc::kSelEvent);
    bridgetest::PosList list;
    EXPECT_EQ(r.proc.MakePosList(r.Host(), &list.list, CPhrasorProc::kSelEvent), CPhrasorProc::kSelEvent);
    return PhrasorProcKeysOf(r, list.list);
}

bool PhrasorProcHasKey(const std::vector<int>& keys, int key) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// Both selected notes on channel 2: only that channel's events are taken.
TEST(PhrasorProcScan, MultiChannelTrackTakesOnlyTheSelectedEventsChannel) {
    const std::vector<int> keys = PhrasorProcMultiChannelKeys(2);
    EXPECT_TRUE(PhrasorProcHasKey(keys, 70));
    EXPECT_FALSE(PhrasorProcHasKey(keys, 71));
    EXPECT_FALSE(PhrasorProcHasKey(keys, 72));
}

// Selected events of two channels: the events of either channel are taken,
// those of a third are not.
TEST(PhrasorProcScan, MultiChannelTrackTakesTheChannelsOfAllSelectedEvents) {
    const std::vector<int> keys = PhrasorProcMultiChannelKeys(3);
    EXPECT_TRUE(PhrasorProcHasKey(keys, 70));
    EXPECT_TRUE(PhrasorProcHasKey(keys, 71));
    EXPECT_FALSE(PhrasorProcHasKey(keys, 72));
}

TEST(PhrasorProcScan, BlockModeListsTheSelectedBlocks) {
    ProcRun r;
    r.Prepare(kPhrasorProcScanSong, 5);
    ASSERT_EQ(r.Scan(), CPhrasorProc::kSelBlock);
    bridgetest::PosList list;
    list.Add(nullptr, nullptr);  // replaced
    ASSERT_EQ(r.proc.MakePosList(r.Host(), &list.list, CPhrasorProc::kSelBlock), CPhrasorProc::kSelBlock);
    ASSERT_EQ(list.list.GetCount(), 1);
    EXPECT_EQ(list.list.GetHead()->GetTrk(), r.TrackOfCh(5));
    EXPECT_EQ(list.list.GetHead()->GetBlk(), PhrasorProcFirstBlock(r, 5));
    EXPECT_EQ(list.list.GetHead()->GetEvnt(), nullptr);
}

}  // namespace
