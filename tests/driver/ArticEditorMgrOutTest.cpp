#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "BridgeFixture.h"
#include "driver/ArticEditorMgr.h"
#include "engine/work/WorkFixture.h"

namespace {

using bridgetest::At;
using bridgetest::BridgeSong;
using bridgetest::PosList;
using smftest::Bytes;
using smftest::Cat;

// status, number (or first byte), value, work time
using OutRow = std::tuple<int, int, int, INT64>;

std::vector<OutRow> Rows(const CArticWrkBlk* blk, bool withBytes = false) {
    std::vector<OutRow> rows;
    for (POSITION p = blk->GetHeadPos(); p;) {
        const CArticWrkEvnt* e = blk->GetNext(p);
        if (!withBytes && (e->GetStatus() == 0xF0 || e->GetStatus() == 0xFF)) continue;
        rows.emplace_back(e->GetStatus(), e->GetPost1(), e->GetPost2(), e->GetTime());
    }
    return rows;
}

int CountStatus(const CArticWrkBlk* blk, int status) {
    int n = 0;
    for (POSITION p = blk->GetHeadPos(); p;) n += blk->GetNext(p)->GetStatus() == status;
    return n;
}

// A song with channel 2's note at song tick 960, the channel's first block
// selected (in the selection and in the song), and a part block to copy into.
struct VoiceCopy {
    BridgeSong song;
    PosList sel;
    CPHConvPrm prm;
    CArticWrk wrk;
    CArticWrkBlk* blk = nullptr;
    POSITION trk = nullptr;
    POSITION songBlk = nullptr;
    DWORD port = 0;

    explicit VoiceCopy(Bytes before = {}) {
        prm.BankMsb = 8;
        prm.BankLsb = 0;
        prm.Program = 25;
        song.view.prm = &prm;
        Bytes events = Cat({before, At(before.empty() ? 960 : 0, {0x92, 60, 100}), At(480, {0x82, 60, 0})});
        EXPECT_EQ(song.Load(smftest::Smf0(events)), 1);
        song.FillPrefPorts();
        trk = song.TrackOfCh(2);
        songBlk = song.Blocks(trk).at(0);
        blk = wrktest::AddBlock(wrktest::AddTrack(wrk, 1));
    }
    // The selection and block positions, once the song's events are in place.
    void Prepare() {
        song.SelectBlockInSong(trk, songBlk);
        sel.Add(trk, songBlk);
        EXPECT_EQ(song.mgr.SetSelectBlkPosList(song.Host(), &sel.list), 0);
        EXPECT_EQ(song.mgr.SetBlkPosList(), 0);
        _MPTRACKINFO t{};
        EXPECT_EQ(CArticHostWalk::GetTrk(song.Host(), trk, &t), 0);
        port = song.mgr.GetPortFromPortID(DWORD(t.Port));
    }
    int First(int voiceOut = 1, int keepCtrl = 0) {
        return song.mgr.OutEvntFirstBlk(&wrk, blk, 2, port, voiceOut, keepCtrl, prm);
    }
};

TEST(ArticEditorMgrOut, TargetVoiceGeneratedBeforeTheBlocksFirstEvent) {
    VoiceCopy c;
    // A KV system-on and a meter at 0 are not the reference; the control change at 600 is.
    c.song.InsertBytes(c.trk, c.songBlk, MPEVENT_KIND_SYSEX, 0, {0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7});
    c.song.InsertBytes(c.trk, c.songBlk, MPEVENT_KIND_META, 0, {0x58, 4, 2, 24, 8});
    c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_CONTROL, 600, 2, 7, 100);
    c.Prepare();
    ASSERT_EQ(c.First(), 0);
    EXPECT_EQ(Rows(c.blk), (std::vector<OutRow>{
                               {0xB0, 0, 8, 270}, {0xB0, 32, 0, 280}, {0xC0, 25, 0, 290}, {0xB0, 7, 100, 300}}));
    // The system-on message and the meter of the selected track are copied as they are.
    EXPECT_EQ(CountStatus(c.blk, 0xF0), 1);
    EXPECT_EQ(CountStatus(c.blk, 0xFF), 1);

    // A first event at 0: the three at 0, ahead of it, bank MSB first.
    VoiceCopy zero;
    zero.song.InsertShort(zero.trk, zero.songBlk, MPEVENT_KIND_CONTROL, 0, 2, 7, 90);
    zero.Prepare();
    ASSERT_EQ(zero.First(), 0);
    EXPECT_EQ(Rows(zero.blk),
              (std::vector<OutRow>{{0xB0, 0, 8, 0}, {0xB0, 32, 0, 0}, {0xC0, 25, 0, 0}, {0xB0, 7, 90, 0}}));

    // Without voice output nothing is generated.
    VoiceCopy off;
    off.song.InsertShort(off.trk, off.songBlk, MPEVENT_KIND_CONTROL, 600, 2, 7, 100);
    off.Prepare();
    ASSERT_EQ(off.First(0), 0);
    EXPECT_EQ(Rows(off.blk), (std::vector<OutRow>{{0xB0, 7, 100, 300}}));
}

TEST(ArticEditorMgrOut, SongVoiceBecomesTheTargetOnce) {
    VoiceCopy c;
    c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_CONTROL, 0, 2, 0, 3);
    c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_PROGRAM, 120, 2, 40);
    c.Prepare();
    ASSERT_EQ(c.First(), 0);
    // The bank select before a program change is copied with the target's
    // value; the program becomes 25; only the missing bank LSB is generated.
    EXPECT_EQ(Rows(c.blk), (std::vector<OutRow>{{0xB0, 32, 0, 0}, {0xB0, 0, 8, 0}, {0xC0, 25, 0, 60}}));
    EXPECT_EQ(CountStatus(c.blk, 0xC0), 1);
}

TEST(ArticEditorMgrOut, BankSelectAndHoldControllersOnlyIntoLaterParts) {
    auto make = [](VoiceCopy& c) {
        c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_CONTROL, 0, 2, 0, 3);
        c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_CONTROL, 0, 2, 65, 127);
        c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_CONTROL, 0, 2, 126, 1);
        c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_CONTROL, 10, 2, 10, 64);
        c.Prepare();
    };
    VoiceCopy first;
    make(first);
    ASSERT_EQ(first.First(0), 0);
    EXPECT_EQ(Rows(first.blk), (std::vector<OutRow>{{0xB0, 10, 64, 5}}));

    VoiceCopy later;
    make(later);
    ASSERT_EQ(later.song.mgr.OutEvntOtherBlk(&later.wrk, later.blk, 2, later.port, 0), 0);
    EXPECT_EQ(Rows(later.blk),
              (std::vector<OutRow>{{0xB0, 0, 3, 0}, {0xB0, 65, 127, 0}, {0xB0, 126, 1, 0}, {0xB0, 10, 64, 5}}));
    // With voice output the bank select carries the target's value.
    VoiceCopy voiced;
    make(voiced);
    ASSERT_EQ(voiced.song.mgr.OutEvntOtherBlk(&voiced.wrk, voiced.blk, 2, voiced.port, 1), 0);
    EXPECT_EQ(std::get<2>(Rows(voiced.blk).at(0)), 8);
    // The later parts need the driver's parameters.
    voiced.song.view.prm = nullptr;
    EXPECT_EQ(voiced.song.mgr.OutEvntOtherBlk(&voiced.wrk, voiced.blk, 2, voiced.port, 1), 1);
}

TEST(ArticEditorMgrOut, DataEntryOfTheBendRangeNeedsABendInTheSong) {
    VoiceCopy c;
    c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_CONTROL, 0, 2, 101, 0);
    c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_CONTROL, 2, 2, 100, 0);
    c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_CONTROL, 4, 2, 6, 12);
    c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_CONTROL, 6, 2, 100, 1);
    c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_CONTROL, 8, 2, 6, 64);
    c.Prepare();
    c.song.mgr.SetPbExist(0);
    ASSERT_EQ(c.First(0), 0);
    EXPECT_EQ(Rows(c.blk),
              (std::vector<OutRow>{{0xB0, 101, 0, 0}, {0xB0, 100, 0, 1}, {0xB0, 100, 1, 3}, {0xB0, 6, 64, 4}}));
}

TEST(ArticEditorMgrOut, BendRangeListAndReduction) {
    VoiceCopy c;
    // A data entry before any RPN number in its block counts as a range.
    c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_CONTROL, 200, 2, 6, 12);
    c.Prepare();
    CArticPosList list;
    ASSERT_EQ(c.song.mgr.SetPBRangeList(&list, 2, c.port), 0);
    ASSERT_EQ(list.GetCount(), 1);
    tagMPEVENT* entry = nullptr;
    list.GetHead()->Get(&entry);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Time, 100);
    EXPECT_EQ(entry->Data3, 12);

    auto reduce = [&](const CArticPosList* ranges, int bend, INT64 time) {
        tagMPEVENT e;
        ResetMPEvent(e);
        e.Kind = MPEVENT_KIND_PITCHBEND;
        e.Data1 = BYTE(bend & 0x7F);
        e.Data2 = BYTE(bend >> 7);
        c.song.mgr.RectifyPitchBend(ranges, &e, time);
        return int(e.Data2) << 7 | e.Data1;
    };
    EXPECT_EQ(reduce(&list, 8192 + 4096, 50), 8192);
    EXPECT_EQ(reduce(nullptr, 8192 + 4096, 50), 8192);
    EXPECT_EQ(reduce(&list, 8192 + 1000, 101), 8192 + 317);
    EXPECT_EQ(reduce(&list, 8192 - 1000, 101), 8192 - 317);
    // An entry at the bend's own time is not yet in force: range 2.
    EXPECT_EQ(reduce(&list, 8192 + 5000, 100), 8192 + 904);
    c.song.mgr.ClearPosList(&list);
}

// Every range of the channel is listed, in time order, those of one time in
// the order the song holds them.
TEST(ArticEditorMgrOut, BendRangeListIsInTimeOrder) {
    VoiceCopy c;
    c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_RPN, 600, 2, 0, 0, 5);
    c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_RPN, 200, 2, 0, 0, 7);
    c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_RPN, 600, 2, 0, 0, 9);
    c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_RPN, 400, 2, 0, 0, 3);
    c.Prepare();
    CArticPosList list;
    ASSERT_EQ(c.song.mgr.SetPBRangeList(&list, 2, c.port), 0);
    std::vector<std::pair<INT64, int>> got;
    for (POSITION p = list.GetHeadPosition(); p;) {
        tagMPEVENT* entry = nullptr;
        list.GetNext(p)->Get(&entry);
        ASSERT_NE(entry, nullptr);
        got.emplace_back(entry->Time, entry->Data3);
    }
    EXPECT_EQ(got, (std::vector<std::pair<INT64, int>>{{100, 7}, {200, 3}, {300, 5}, {300, 9}}));
    c.song.mgr.ClearPosList(&list);
}

TEST(ArticEditorMgrOut, CopiedBendsAreReducedUnlessControllersAreKept) {
    struct Case {
        BYTE rangeByte;  // KV bend-range value byte (range = byte - 64)
        int keep;
        int expected;
    };
    const Case kCases[] = {
        {76, 0, 8192 + 221},   // range 12: 5000 - 7 x 682.67
        {76, 1, 8192 + 5000},  // controllers kept
        {64, 0, 8192 + 5000},  // range 0: left as it is
        {62, 0, 8192 + 904},   // range -2: x = 4096
    };
    for (const Case& k : kCases) {
        VoiceCopy c;
        // Part byte 0x02: port address 0, channel 2.
        c.song.InsertBytes(c.trk, c.songBlk, MPEVENT_KIND_SYSEX, 0, {0x43, 0x10, 0x4C, 0x08, 0x02, 0x23, k.rangeByte, 0xF7});
        const int bend = 8192 + 5000;
        c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_PITCHBEND, 100, 2, BYTE(bend & 0x7F), BYTE(bend >> 7));
        c.Prepare();
        DWORD adrs = 9;
        ASSERT_EQ(CArticEditorUtil::GetPortAdrsFromPortNo(c.song.Host(), c.port, &adrs), 0);
        ASSERT_EQ(adrs, 0u);
        ASSERT_EQ(c.First(0, k.keep), 0);
        int found = -1;
        for (POSITION p = c.blk->GetHeadPos(); p;) {
            const CArticWrkEvnt* e = c.blk->GetNext(p);
            if (e->GetStatus() == 0xE0) found = int(e->GetPost2()) << 7 | e->GetPost1();
        }
        EXPECT_EQ(found, k.expected) << int(k.rangeByte) << " keep " << k.keep;
        // The range message itself is a message to the converted part: copied.
        EXPECT_EQ(CountStatus(c.blk, 0xF0), 1);
    }
}

TEST(ArticEditorMgrOut, PortFlagStaysRaisedForLaterTracks) {
    for (bool earlierOnPort : {true, false}) {
        VoiceCopy c;
        c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_CONTROL, 0, 2, 7, 100);
        // Every track on port id 1 (number 0) but channel 2's, on id 2; the
        // copy is for port number 1, where only channel 1's track may be.
        for (LONG ch = 0; ch < 16; ++ch) c.song.SetTrack(c.song.TrackOfCh(ch), ch == 1 && earlierOnPort ? 2 : 1, ch);
        c.Prepare();
        ASSERT_EQ(c.port, 0u);
        ASSERT_EQ(c.song.mgr.OutEvntFirstBlk(&c.wrk, c.blk, 2, 1, 0, 0, c.prm), 0);
        EXPECT_EQ(Rows(c.blk).size(), earlierOnPort ? 1u : 0u) << earlierOnPort;
    }
}

TEST(ArticEditorMgrOut, OtherChannelsOfATrackWithoutChannel) {
    VoiceCopy c;
    const POSITION mixed = c.song.TrackOfCh(5);
    const POSITION mixedBlk = c.song.Blocks(mixed).at(0);
    c.song.InsertShort(mixed, mixedBlk, MPEVENT_KIND_CONTROL, 0, 2, 7, 11);  // channel in the used table
    c.song.InsertShort(mixed, mixedBlk, MPEVENT_KIND_CONTROL, 0, 4, 7, 44);  // channel outside it
    c.song.InsertShort(mixed, mixedBlk, MPEVENT_KIND_CONTROL, 0, 4, 1, 20);  // modulation: never
    c.song.SetTrack(mixed, 1, -1);
    c.song.SelectBlockInSong(mixed, mixedBlk);
    c.Prepare();
    ASSERT_EQ(c.song.mgr.OutEvntFirstBlkNonCh(&c.wrk, c.blk, 1), 0);
    EXPECT_EQ(Rows(c.blk), (std::vector<OutRow>{{0xB0, 7, 44, 0}}));
    // Not without the driver's parameters or the used table's owner.
    c.song.view.prm = nullptr;
    EXPECT_EQ(c.song.mgr.OutEvntFirstBlkNonCh(&c.wrk, c.blk, 1), 1);
}

TEST(ArticEditorMgrOut, FirstEventPassesOverSystemOnMessagesMeterAndKey) {
    struct Case {
        DWORD kind;
        Bytes bytes;
        bool reference;
    };
    const Case kCases[] = {
        {MPEVENT_KIND_SYSEX, {0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}, false},  // KV system on
        {MPEVENT_KIND_SYSEX, {0x7E, 0x7F, 0x09, 0x01, 0xF7}, false},                    // GM system on
        {MPEVENT_KIND_META, {0x58, 4, 2, 24, 8}, false},
        {MPEVENT_KIND_META, {0x59, 0, 0}, false},
        {MPEVENT_KIND_META, {0x51, 7, 0xA1, 0x20}, true},
        {MPEVENT_KIND_SYSEX, {0x43, 0x10, 0x4C, 0x08, 0x02, 0x03, 5, 0xF7}, true},
    };
    CArticEditorMgr mgr;
    for (const Case& c : kCases) {
        Bytes bytes = c.bytes;
        tagMPEVENT e;
        ResetMPEvent(e);
        e.Kind = c.kind;
        e.Time = 30;
        e.Length = DWORD(bytes.size());
        e.Bytes = bytes.data();
        mgr.CheckFirstEvntInv(&e);
        EXPECT_EQ(mgr.GetScanFirstEvntTime(), c.reference ? 30 : CArticEditorMgr::kNoTime) << bytes.size();
        e.Time = 40;
        mgr.CheckFirstEvnt(&e);  // once set, kept
        EXPECT_EQ(mgr.GetScanFirstEvntTime(), c.reference ? 30 : CArticEditorMgr::kNoTime) << bytes.size();
    }
}

TEST(ArticEditorMgrOut, FailingInsertionIsReported) {
    VoiceCopy c;
    c.song.InsertShort(c.trk, c.songBlk, MPEVENT_KIND_CONTROL, 0, 2, 7, 100);
    c.Prepare();
    // A part block that no track of the work data owns.
    CArticWrkBlk orphan(nullptr, 0);
    EXPECT_NE(c.song.mgr.OutEvntFirstBlk(&c.wrk, &orphan, 2, c.port, 1, 0, c.prm), 0);
    EXPECT_EQ(orphan.GetCount(), 0);
    EXPECT_EQ(c.song.mgr.OutEvntFirstBlk(&c.wrk, nullptr, 2, c.port, 1, 0, c.prm), 1);
    tagMPEVENT e;
    ResetMPEvent(e);
    e.Kind = MPEVENT_KIND_CONTROL;
    EXPECT_EQ(c.song.mgr.InsWrkEvnt(&c.wrk, &orphan, &e, 0, 0, 0), 1);
    EXPECT_EQ(c.song.mgr.InsWrkEvnt(&c.wrk, c.blk, &e, 0, 1, 1), 0);
    ASSERT_EQ(c.blk->GetCount(), 1);
    EXPECT_EQ(c.blk->Get(0)->GetVceOtherBlk(), 1);
    BYTE* copy = nullptr;
    const BYTE bytes[] = {1, 2};
    EXPECT_EQ(c.song.mgr.AllocData(bytes, 0, &copy), 1);
    EXPECT_EQ(c.song.mgr.AllocData(nullptr, 2, &copy), 1);
    ASSERT_EQ(c.song.mgr.AllocData(bytes, 2, &copy), 0);
    EXPECT_EQ(copy[1], 2);
    CoTaskMemFree(copy);
}

}  // namespace
