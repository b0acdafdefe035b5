#include "services/ArticArrayCh.h"

#include <gtest/gtest.h>

#include "BridgeFixture.h"

namespace {

using bridgetest::At;
using bridgetest::BridgeSong;
using bridgetest::PosList;
using smftest::Bytes;
using smftest::Cat;

TEST(ArticArrayCh, FreshTableSortAndSearch) {
    CArticArrayCh table;
    EXPECT_EQ(table.GetOrigiChNum(), 0);
    EXPECT_EQ(table.SearchOrigiCh(0x0003), -1);

    EXPECT_EQ(table.UpdateOrigiCh(0x0109), 0);
    EXPECT_EQ(table.UpdateOrigiCh(0x0003), 1);
    EXPECT_EQ(table.UpdateOrigiCh(0x0100), 2);
    EXPECT_EQ(table.UpdateOrigiCh(0x0003), 1);  // present: its index, nothing added
    table.SortOrigiCh();
    ASSERT_EQ(table.GetOrigiChNum(), 3);
    EXPECT_EQ(table.GetOrigiCh(0), 0x0003u);
    EXPECT_EQ(table.GetOrigiCh(1), 0x0100u);
    EXPECT_EQ(table.GetOrigiCh(2), 0x0109u);
    EXPECT_EQ(table.SearchOrigiCh(0x0109), 2);
    EXPECT_EQ(table.SearchOrigiCh(0x0108), -1);

    // Outside the table: the no-key value, never a read past the array.
    EXPECT_EQ(table.GetOrigiCh(5), 0xFFFFFFFFu);
    EXPECT_EQ(table.GetOrigiCh(3), 0xFFFFFFFFu);
    EXPECT_EQ(table.GetOrigiCh(-1), 0xFFFFFFFFu);

    table.DeleteOrigiCh();
    EXPECT_EQ(table.GetOrigiChNum(), 0);
    EXPECT_EQ(table.SearchOrigiCh(0x0003), -1);
    EXPECT_EQ(table.GetOrigiCh(0), 0xFFFFFFFFu);
}

TEST(ArticArrayCh, VoiceUpdatesOfNewAndPresentKeys) {
    CArticArrayCh table;
    // A new key: appended with the one value, the others 0; the result is the new count.
    EXPECT_EQ(table.UpdateBSelMsb(0x0102, 8), 1);
    const CArrayChInfo* info = table.GetOrigiChInfo(0);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetKey(), 0x0102u);
    EXPECT_EQ(info->GetProNo(), 0);
    EXPECT_EQ(info->GetBSelMsb(), 8);
    EXPECT_EQ(info->GetBSelLsb(), 0);

    EXPECT_EQ(table.UpdateProNo(0x0005, 25), 2);
    // A present key: its index.
    EXPECT_EQ(table.UpdateBSelLsb(0x0005, 3), 1);
    EXPECT_EQ(table.UpdateProNo(0x0102, 40), 0);
    EXPECT_EQ(table.GetOrigiChInfo(1)->GetBSelLsb(), 3);
    EXPECT_EQ(table.GetOrigiChInfo(0)->GetProNo(), 40);
    EXPECT_EQ(table.GetOrigiChInfo(0)->GetBSelMsb(), 8);
}

// Channel 2: bank 8/1 and program 25 before the first note; a bank select
// between the program change and the note does not count. Channel 4 has
// only a program change; channel 5 has no note, so no voice.
const Bytes kVoiceSong = smftest::Smf0(Cat({
    At(0, {0xB2, 0x00, 0x08}), At(0, {0xB2, 0x20, 0x01}), At(10, {0xC2, 25}), At(10, {0xB2, 0x00, 0x09}),
    At(0, {0xC4, 33}), At(0, {0xC5, 70}),
    At(100, {0x92, 60, 100}), At(0, {0x94, 62, 100}), At(480, {0x82, 60, 0}), At(0, {0x84, 62, 0}),
    At(0, {0xC2, 99}),  // after the note: not the voice before it
}));

TEST(ArticArrayCh, ClientScanTakesTheVoiceBeforeTheFirstNote) {
    BridgeSong song;
    ASSERT_EQ(song.Load(kVoiceSong), 1);
    CArticArrayCh table;
    int count = 0;
    ASSERT_EQ(table.ScanClientCh(song.Host(), 0, 0, &count), 0);
    EXPECT_EQ(count, table.GetOrigiChNum());

    struct Want { DWORD key; BYTE msb, lsb, pro; };
    const Want kWant[] = {{0x0002, 8, 1, 25}, {0x0004, 0, 0, 33}, {0x0005, 0, 0, 0}};
    for (const Want& w : kWant) {
        const CArrayChInfo* info = table.GetOrigiChInfo(table.SearchOrigiCh(w.key));
        ASSERT_NE(info, nullptr) << w.key;
        EXPECT_EQ(info->GetBSelMsb(), w.msb) << w.key;
        EXPECT_EQ(info->GetBSelLsb(), w.lsb) << w.key;
        EXPECT_EQ(info->GetProNo(), w.pro) << w.key;
    }
    // Channel tracks without events add nothing.
    EXPECT_EQ(table.SearchOrigiCh(0x0007), -1);
    EXPECT_EQ(table.ScanClientCh(nullptr, 0, 0, &count), 1);
    EXPECT_EQ(count, 0);
}

// Inserts a KV part exclusive (43 10 4C 08 part parameter value F7) into a block.
void InsertKvPart(BridgeSong& song, POSITION trk, POSITION blk, INT64 time, BYTE part, BYTE param, BYTE value) {
    POSITION ids[MP_ID_COUNT] = {trk, blk, nullptr};
    BYTE bytes[8] = {0x43, 0x10, 0x4C, 0x08, part, param, value, 0xF7};
    tagMPEVENT e;
    ResetMPEvent(e);
    e.Kind = MPEVENT_KIND_SYSEX;
    e.Time = time;
    e.Length = 8;
    e.Bytes = bytes;
    ASSERT_GE(song.Host()->Insert(ids, MP_LEVEL_EVENT, &e), 0);
}

TEST(ArticArrayCh, KvPartVoicesFindTheirPort) {
    // Named the other way round: port id 1 (port number 0) has address 1.
    BridgeSong song("KORVET QTL2", "KORVET QTL1");
    ASSERT_EQ(song.Load(smftest::Smf0(Cat({At(960, {0x91, 60, 100}), At(0, {0x92, 60, 100}), At(480, {0x81, 60, 0}),
                                             At(0, {0x82, 60, 0})}))),
              1);
    song.FillPrefPorts();
    const POSITION multi = song.TrackOfCh(1);
    const POSITION single = song.TrackOfCh(2);
    {
        hosttest::ExclusiveLock lock(*song.Host());
        ASSERT_EQ(lock.Result(), S_OK);
        // Part 0x13: port address 1 of the device, channel 3 - the first port.
        InsertKvPart(song, multi, song.Blocks(multi).at(0), 0, 0x13, 0x03, 40);
        InsertKvPart(song, multi, song.Blocks(multi).at(0), 0, 0x13, 0x01, 7);
        // On channel 2's own track (port address 1): the later message for channel 2
        // of the other port is not its voice, the one for part 0x12 is.
        InsertKvPart(song, single, song.Blocks(single).at(0), 2, 0x02, 0x03, 50);
        InsertKvPart(song, single, song.Blocks(single).at(0), 1, 0x12, 0x03, 51);
        _MPTRACKINFO t;
        ResetMPTrackInfo(t);
        t.Channel = -1;
        POSITION trkIds[MP_ID_COUNT] = {multi, nullptr, nullptr};
        ASSERT_GE(song.Host()->Modify(trkIds, MP_LEVEL_TRACK, &t, MP_FIELD_CHANNEL), 0);
    }
    CArticArrayCh table;
    int count = 0;
    ASSERT_EQ(table.ScanClientCh(song.Host(), 0, 480, &count), 0);
    EXPECT_EQ(table.SearchOrigiCh(0x0103), -1);
    const CArrayChInfo* part = table.GetOrigiChInfo(table.SearchOrigiCh(0x0003));
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->GetProNo(), 40);
    EXPECT_EQ(part->GetBSelMsb(), 7);
    const CArrayChInfo* ch2 = table.GetOrigiChInfo(table.SearchOrigiCh(0x0002));
    ASSERT_NE(ch2, nullptr);
    EXPECT_EQ(ch2->GetProNo(), 51);
}

// A track turned into one without a channel, whose events use channels 1 and 3.
TEST(ArticArrayCh, TrackWithoutChannelAddsItsEventsChannels) {
    BridgeSong song;
    ASSERT_EQ(song.Load(smftest::Smf0(Cat({At(1920, {0x91, 60, 100}), At(480, {0x81, 60, 0})}))), 1);
    const POSITION trk = song.TrackOfCh(1);
    ASSERT_NE(trk, nullptr);
    const POSITION blk = song.Blocks(trk).at(0);
    {
        hosttest::ExclusiveLock lock(*song.Host());
        ASSERT_EQ(lock.Result(), S_OK);
        POSITION ids[MP_ID_COUNT] = {trk, blk, nullptr};
        tagMPEVENT note = hosttest::ShortRecord(MPEVENT_KIND_NOTE, 961, 64, 90, 240);
        note.Channel = 3;
        ASSERT_GE(song.Host()->Insert(ids, MP_LEVEL_EVENT, &note), 0);
        _MPTRACKINFO t;
        ResetMPTrackInfo(t);
        t.Channel = -1;
        POSITION trkIds[MP_ID_COUNT] = {trk, nullptr, nullptr};
        ASSERT_GE(song.Host()->Modify(trkIds, MP_LEVEL_TRACK, &t, MP_FIELD_CHANNEL), 0);
    }
    PosList sel;
    sel.Add(trk, blk);
    CArticArrayCh table;
    int count = 0;
    ASSERT_EQ(table.ScanOrigiCh(song.Host(), &sel.list, &count), 0);
    table.SortOrigiCh();
    ASSERT_EQ(count, 2);
    EXPECT_EQ(table.GetOrigiCh(0), 0x0001u);
    EXPECT_EQ(table.GetOrigiCh(1), 0x0003u);
    // Song tick 961 is engine tick 480 (the earlier note), not 960.
    EXPECT_EQ(table.GetFirstNoteTime(), 480);

    CArticArrayCh used;
    ASSERT_EQ(used.ScanUsedCh(song.Host(), &sel.list, &count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(used.ScanUsedCh(song.Host(), nullptr, &count), 1);
    EXPECT_EQ(count, 0);
}

TEST(ArticArrayCh, ScanNeedsTheRegisteredMultiplier) {
    BridgeSong song;
    ASSERT_EQ(song.Load(smftest::Smf0(At(0, {0x90, 60, 100}))), 1);
    PosList sel;
    song.SelectCh(sel, 0);
    CArticArrayCh table;
    int count = 0;
    song.mgr.SetClientBeatMul(0);
    EXPECT_EQ(table.ScanOrigiCh(song.Host(), &sel.list, &count), 1);
    CArticEditorUtil::SetEditorMgr(nullptr);
    song.mgr.SetClientBeatMul(2);
    EXPECT_EQ(table.ScanOrigiCh(song.Host(), &sel.list, &count), 1);
    CArticEditorUtil::SetEditorMgr(&song.mgr);
    EXPECT_EQ(table.ScanOrigiCh(song.Host(), &sel.list, &count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(table.GetFirstNoteTime(), 0);
}

}  // namespace
