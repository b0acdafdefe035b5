#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "BridgeFixture.h"
#include "engine/work/ArticFngrInfo.h"
#include "engine/work/ArticWrk.h"

namespace {

using bridgetest::At;
using bridgetest::BridgeSong;
using bridgetest::PosList;
using smftest::Bytes;
using smftest::Cat;

// Channel 2: notes at song ticks 960 and 1920; channel 5: notes at 1000 and 1480.
const Bytes kWalkSong = smftest::Smf0(Cat({
    At(960, {0x92, 60, 100}), At(40, {0x95, 50, 100}), At(240, {0x85, 50, 0}), At(200, {0x82, 60, 0}),
    At(40, {0x95, 52, 100}), At(240, {0x85, 52, 0}), At(200, {0x92, 62, 90}), At(480, {0x82, 62, 0}),
}));

// The driver's preparation: channel 2's block selected, the tables made.
struct Walk {
    BridgeSong song;
    PosList sel;
    CPHConvPrm prm;
    CArticWrk wrk;
    POSITION trk = nullptr;
    POSITION blk = nullptr;

    Walk() {
        EXPECT_EQ(song.Load(kWalkSong), 1);
        song.FillPrefPorts();
        trk = song.TrackOfCh(2);
        blk = song.Blocks(trk).at(0);
        song.view.prm = &prm;
        song.pref.GetSetting()->SetKeepCont(1);
        song.pref.GetSetting()->SetDelGrace(0);
    }
    void Prepare() {
        song.SelectBlockInSong(trk, blk);
        sel.Add(trk, blk);
        EXPECT_EQ(song.mgr.SetSelectBlkPosList(song.Host(), &sel.list), 0);
    }
    int Run(int mstrSkip = 0, int allWrk = 0) {
        return CArticEditorUtil::ConvWrk_ch(song.Host(), &sel.list, mstrSkip, 0, 1, 1, 50, allWrk, &wrk, 0, prm, 1, 0,
                                            0, 480);
    }
};

// status, key or number, time of each event of a work track's block 0.
using WalkRow = std::tuple<int, int, INT64>;
std::vector<WalkRow> RowsOf(const CArticWrkTrk* trk) {
    std::vector<WalkRow> rows;
    const CArticWrkBlk* blk = trk ? trk->Get(0) : nullptr;
    for (POSITION p = blk ? blk->GetHeadPos() : nullptr; p;) {
        const CArticWrkEvnt* e = blk->GetNext(p);
        rows.emplace_back(e->GetStatus(), e->GetStatus() == 0xFF ? e->GetMetaType() : e->GetPost1(), e->GetTime());
    }
    return rows;
}

TEST(ArticEditorUtilWalk, PartTrackHoldsTheSelectedChannel) {
    Walk w;
    w.Prepare();
    ASSERT_EQ(w.Run(), 0);
    ASSERT_EQ(w.wrk.GetCount(), 2);
    const CArticWrkTrk* master = w.wrk.Get(0);
    EXPECT_EQ(master->GetTrkNo(), 0u);
    EXPECT_EQ(master->GetCh(), 0xFFFFFFFEu);
    const CArticWrkTrk* part = w.wrk.Get(ULONG(1));
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->GetSelTrk(), 1);
    EXPECT_EQ(part->GetCh(), 2u);
    EXPECT_EQ(part->GetOrgTrkID(), w.trk);
    EXPECT_EQ(part->GetOrgBlkID(), w.blk);
    EXPECT_EQ(RowsOf(part), (std::vector<WalkRow>{{0x90, 60, 480}, {0x90, 62, 960}}));
    const CArticWrkEvnt* note = part->Get(0)->Get(0);
    ASSERT_NE(note->GetFngrInfo(), nullptr);
    EXPECT_EQ(note->GetFngrInfo()->GetGen(), 0);
    EXPECT_EQ(note->GetGateTime(), 240);
    // The velocity switches are idle again, also after a failed walk.
    EXPECT_EQ(CArticEditorUtil::GetVeloRest(), 0);
    EXPECT_EQ(CArticEditorUtil::GetVeloLimit(), 0);
    EXPECT_EQ(CArticEditorUtil::GetVeloThreshold(), -1);
    CArticEditorUtil::SetEditorMgr(nullptr);
    EXPECT_EQ(w.Run(), 1);
    EXPECT_EQ(CArticEditorUtil::GetVeloRest(), 0);
    EXPECT_EQ(CArticEditorUtil::GetVeloLimit(), 0);
    EXPECT_EQ(CArticEditorUtil::GetVeloThreshold(), -1);
    CArticWrk untouched;
    EXPECT_EQ(CArticEditorUtil::ConvWrk_ch(nullptr, &w.sel.list, 0, 0, 0, 0, -1, 0, &untouched, 0, w.prm, 1, 0, 0, 480), 1);
}

TEST(ArticEditorUtilWalk, ConductorEventsBeforeTheFirstNote) {
    for (int skip : {1, 0}) {
        Walk w;
        const POSITION conductor = w.song.Conductor();
        const POSITION cblk = w.song.Blocks(conductor).at(0);
        w.song.InsertBytes(conductor, cblk, MPEVENT_KIND_META, 0, {0x51, 0x07, 0xA1, 0x20});
        w.song.InsertBytes(conductor, cblk, MPEVENT_KIND_META, 100, {0x01, 'h', 'i'});
        w.Prepare();
        ASSERT_EQ(w.Run(skip), 0) << skip;
        const std::vector<WalkRow> rows = RowsOf(w.wrk.Get(0));
        const bool tempo = std::find(rows.begin(), rows.end(), WalkRow{0xFF, 0x51, 0}) != rows.end();
        const bool text = std::find(rows.begin(), rows.end(), WalkRow{0xFF, 0x01, 50}) != rows.end();
        EXPECT_EQ(tempo, skip == 1);
        EXPECT_EQ(text, skip == 1);
    }
}

TEST(ArticEditorUtilWalk, VoiceChangesAfterTheFirstNoteAreDropped) {
    Walk w;
    w.song.InsertShort(w.trk, w.blk, MPEVENT_KIND_PROGRAM, 1200, 2, 40);
    w.song.InsertShort(w.trk, w.blk, MPEVENT_KIND_CONTROL, 1200, 2, 0, 8);
    w.song.InsertShort(w.trk, w.blk, MPEVENT_KIND_CONTROL, 1200, 2, 7, 90);
    w.Prepare();
    ASSERT_EQ(w.Run(), 0);
    EXPECT_EQ(RowsOf(w.wrk.Get(ULONG(1))),
              (std::vector<WalkRow>{{0x90, 60, 480}, {0xB0, 7, 600}, {0x90, 62, 960}}));
}

TEST(ArticEditorUtilWalk, OtherTracksGetNumbersAfterTheParts) {
    Walk w;
    w.Prepare();
    ASSERT_EQ(w.Run(0, 1), 0);
    // N = 1 part track: the extra track is number 2, not a second number 1.
    ASSERT_EQ(w.wrk.GetCount(), 3);
    const CArticWrkTrk* extra = w.wrk.Get(ULONG(2));
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(extra->GetOrgTrkID(), w.song.TrackOfCh(5));
    EXPECT_EQ(extra->GetOrgBlkID(), w.song.Blocks(w.song.TrackOfCh(5)).at(0));
    EXPECT_EQ(extra->GetSelTrk(), 0);
    EXPECT_EQ(w.wrk.Get(ULONG(1))->GetCh(), 2u);
    // Both notes of the block; the part track keeps channel 2's.
    EXPECT_EQ(RowsOf(extra), (std::vector<WalkRow>{{0x90, 50, 500}, {0x90, 52, 740}}));
    EXPECT_EQ(RowsOf(w.wrk.Get(ULONG(1))).size(), 2u);
}

TEST(ArticEditorUtilWalk, FailedConversionIsNotMaskedAndSkippedKindsFailNothing) {
    for (bool failOne : {false, true}) {
        Walk w;
        const POSITION conductor = w.song.Conductor();
        const POSITION cblk = w.song.Blocks(conductor).at(0);
        w.song.InsertBytes(conductor, cblk, MPEVENT_KIND_META, 333, {0x01, 'x'});
        w.song.InsertBytes(conductor, cblk, MPEVENT_KIND_META, 500, {0x01, 'y'});
        w.song.InsertBytes(conductor, cblk, MPEVENT_KIND_NOTE_SYSEX, 400, {0x43, 0x10, 0xF7});
        w.Prepare();
        if (failOne) w.song.view.failValue = 333;
        EXPECT_EQ(w.Run(1), failOne ? 1 : 0) << failOne;
        // The note exclusive is left out of the work data.
        for (const WalkRow& r : RowsOf(w.wrk.Get(0))) EXPECT_NE(std::get<2>(r), 200) << failOne;
    }
}

}  // namespace
