#include "driver/ArticEditorUtil.h"

#include <gtest/gtest.h>

#include "BridgeFixture.h"
#include "engine/builtins/ArticSrchSong.h"

namespace {

using bridgetest::At;
using bridgetest::BridgeSong;

const smftest::Bytes kPortsOneNote = smftest::Smf0(At(0, {0x93, 60, 100}));

TEST(ArticEditorUtilPorts, LookupsBetweenIdsNumbersAndAddresses) {
    BridgeSong song;
    ASSERT_EQ(song.Load(kPortsOneNote), 1);
    std::vector<DWORD> ids;
    CStringList names;
    ASSERT_EQ(CArticEditorUtil::GetPortList(song.Host(), &ids, &names), 0);
    ASSERT_EQ(ids, (std::vector<DWORD>{1, 2}));
    ASSERT_EQ(names.GetCount(), 2);
    EXPECT_STREQ(names.GetHead().c_str(), "KORVET QTL1");
    EXPECT_STREQ(names.GetTail().c_str(), "KORVET QTL2");
    song.FillPrefPorts();

    EXPECT_EQ(CArticEditorUtil::GetPortFromPortID(song.Host(), 2), 1u);
    EXPECT_EQ(CArticEditorUtil::GetPortFromPortID(song.Host(), 1), 0u);
    EXPECT_EQ(CArticEditorUtil::GetPortFromPortID(song.Host(), 7), 0u);  // unknown: the first port
    EXPECT_EQ(CArticEditorUtil::GetPortFromPortID(nullptr, 2), 0u);
    EXPECT_EQ(CArticEditorUtil::GetPortIDFromPort(song.Host(), 1), 2u);
    EXPECT_EQ(CArticEditorUtil::GetPortIDFromPort(song.Host(), 5), 0u);

    DWORD adrs = 99;
    EXPECT_EQ(CArticEditorUtil::GetPortAdrsFromPortNo(song.Host(), 1, &adrs), 0);
    EXPECT_EQ(adrs, 1u);
    adrs = 99;
    EXPECT_EQ(CArticEditorUtil::GetPortAdrsFromPortNo(song.Host(), 5, &adrs), 1);  // id 0 is not a port
    EXPECT_EQ(adrs, 99u);

    // Within the device of port id 1 ("KORVET QTL"), address 1 is port id 2.
    DWORD id = 0;
    EXPECT_EQ(CArticEditorUtil::GetPortIDFromPortAdrs(1, 1, &id), 0);
    EXPECT_EQ(id, 2u);
    DWORD out = 77;
    EXPECT_EQ(CArticEditorUtil::GetPortNoFromPortAdrs(1, 1, &out), 0);
    EXPECT_EQ(out, 1u);
    out = 77;
    EXPECT_EQ(CArticEditorUtil::GetPortNoFromPortAdrs(2, 1, &out), 1);
    EXPECT_EQ(CArticEditorUtil::GetPortIDFromPortAdrs(0, 9, &id), 1);  // unknown port id
    EXPECT_EQ(out, 77u);
}

TEST(ArticEditorUtilPorts, TheEngineAsksPortAddressesThroughTheEnteredAnswerer) {
    // The string split in the engine asks the bridge through its answerer,
    // never by name: the answer is the bridge's own.
    BridgeSong song;
    ASSERT_EQ(song.Load(kPortsOneNote), 1);
    song.FillPrefPorts();
    const ArticSrchSong* answerer = ArticSrchSong::Get();
    ASSERT_NE(answerer, nullptr);
    const struct {
        DWORD portNo;
        int result;
        DWORD adrs;
    } cases[] = {{0, 0, 0}, {1, 0, 1}, {5, 1, 99}};
    for (const auto& c : cases) {
        DWORD adrs = 99;
        EXPECT_EQ(answerer->GetPortAdrsFromPortNo(song.Host(), c.portNo, &adrs), c.result) << c.portNo;
        EXPECT_EQ(adrs, c.adrs) << c.portNo;
    }
    CArticEditorUtil::SetPref(nullptr);
    DWORD adrs = 99;
    EXPECT_EQ(answerer->GetPortAdrsFromPortNo(song.Host(), 1, &adrs), 1);
    EXPECT_EQ(adrs, 99u);
}

TEST(ArticEditorUtilPorts, LookupsWithoutPreferencesOrPorts) {
    BridgeSong song;
    ASSERT_EQ(song.Load(kPortsOneNote), 1);
    CArticEditorUtil::SetPref(nullptr);
    DWORD adrs = 5;
    EXPECT_EQ(CArticEditorUtil::GetPortAdrsFromPortNo(song.Host(), 0, &adrs), 1);
    EXPECT_EQ(adrs, 5u);
    EXPECT_EQ(CArticEditorUtil::ResetPortName(nullptr, nullptr, 0), 1);

    // A song loaded while no output port is configured: every track on port 0.
    smftest::Loaded bare;
    ASSERT_EQ(bare.Load(kPortsOneNote), 1);
    CKPSManager* host = bare.doc.GetHostInterface();
    std::vector<DWORD> ids{9};
    EXPECT_EQ(CArticEditorUtil::GetPortList(host, &ids, nullptr), 0);
    EXPECT_TRUE(ids.empty());
    EXPECT_EQ(CArticEditorUtil::GetPortFromPortID(host, 0), 0u);
    EXPECT_EQ(CArticEditorUtil::UsedPortCh(host, 0, 3), 1);
}

TEST(ArticEditorUtilPorts, UsedPortChannels) {
    BridgeSong song;
    ASSERT_EQ(song.Load(kPortsOneNote), 1);
    // Every channel track of a loaded song has its block, on port id 1.
    EXPECT_EQ(CArticEditorUtil::UsedPortCh(song.Host(), 0, 3), 1);
    EXPECT_EQ(CArticEditorUtil::UsedPortCh(song.Host(), 0, 15), 1);
    EXPECT_EQ(CArticEditorUtil::UsedPortCh(song.Host(), 1, 3), 0);
    EXPECT_EQ(CArticEditorUtil::UsedPortCh(nullptr, 0, 3), 0);

    // A track left out of the written song counts for UsedPortCh only.
    const POSITION trk = song.TrackOfCh(3);
    {
        hosttest::ExclusiveLock lock(*song.Host());
        _MPTRACKINFO t;
        ResetMPTrackInfo(t);
        t.Flags = MPTRACK_FLAG_STATE2;
        POSITION ids[MP_ID_COUNT] = {trk, nullptr, nullptr};
        ASSERT_GE(song.Host()->Modify(ids, MP_LEVEL_TRACK, &t, MP_FIELD_STATE2), 0);
    }
    EXPECT_EQ(CArticEditorUtil::UsedPortCh(song.Host(), 0, 3), 1);
    EXPECT_EQ(CArticEditorUtil::UsedPortCh2(song.Host(), 0, 3), 0);
    EXPECT_EQ(CArticEditorUtil::UsedPortCh2(song.Host(), 0, 4), 1);
}

// What a channel holds, as the searches for a string's channel ask it:
// channel 3 a note, channel 4 only a volume, channel 5 nothing; port 1 has
// no track. A hidden track counts only for the forms over every track.
TEST(ArticEditorUtilPorts, NotesAndEventsOnAChannel) {
    BridgeSong song;
    ASSERT_EQ(song.Load(smftest::Smf0(smftest::Cat({At(0, {0xB4, 7, 100}), At(0, {0x93, 60, 100}),
                                                     At(10, {0x83, 60, 0})}))),
              1);
    struct Case {
        DWORD port, ch;
        int notes, evnts;
    };
    const Case cases[] = {{0, 3, 1, 1}, {0, 4, 0, 1}, {0, 5, 0, 0}, {1, 3, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(CArticEditorUtil::NotesOnPortCh(song.Host(), c.port, c.ch), c.notes) << c.port << "/" << c.ch;
        EXPECT_EQ(CArticEditorUtil::EvntsOnPortCh(song.Host(), c.port, c.ch), c.evnts) << c.port << "/" << c.ch;
        EXPECT_EQ(CArticEditorUtil::EvntsOnPortCh2(song.Host(), c.port, c.ch), c.evnts) << c.port << "/" << c.ch;
    }
    EXPECT_EQ(CArticEditorUtil::NotesOnPortCh(nullptr, 0, 3), 0);
    EXPECT_EQ(CArticEditorUtil::EvntsOnPortCh(nullptr, 0, 3), 0);
    {
        hosttest::ExclusiveLock lock(*song.Host());
        _MPTRACKINFO t;
        ResetMPTrackInfo(t);
        t.Flags = MPTRACK_FLAG_STATE2;
        POSITION ids[MP_ID_COUNT] = {song.TrackOfCh(3), nullptr, nullptr};
        ASSERT_GE(song.Host()->Modify(ids, MP_LEVEL_TRACK, &t, MP_FIELD_STATE2), 0);
    }
    EXPECT_EQ(CArticEditorUtil::EvntsOnPortCh(song.Host(), 0, 3), 1);
    EXPECT_EQ(CArticEditorUtil::EvntsOnPortCh2(song.Host(), 0, 3), 0);
}

TEST(ArticEditorUtilState, ResetClearsTheRegistrations) {
    CArticPref pref;
    CArticEditorMgr mgr;
    CArticEditorUtil::SetPref(&pref);
    CArticEditorUtil::SetEditorMgr(&mgr);
    CArticEditorMgr* got = nullptr;
    EXPECT_EQ(CArticEditorUtil::GetEditorMgr(&got), 0);
    EXPECT_EQ(got, &mgr);
    EXPECT_EQ(CArticEditorUtil::GetPref(), &pref);
    CArticEditorUtil::Reset();
    EXPECT_EQ(CArticEditorUtil::GetEditorMgr(), nullptr);
    EXPECT_EQ(CArticEditorUtil::GetPref(), nullptr);
}

}  // namespace
