#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "BridgeFixture.h"
#include "services/ArticErr.h"
#include "driver/ArticTransMgr.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/WorkFixture.h"
#include "platform/Messages.h"

namespace {

using bridgetest::At;
using bridgetest::BridgeSong;
using smftest::Bytes;
using smftest::Cat;

// Tempo meta bytes of a quarter-note length in microseconds.
Bytes OutTempo(DWORD us) { return {0xFF, 0x51, 0x03, BYTE(us >> 16), BYTE(us >> 8), BYTE(us)}; }

// Conductor: 4/4 and 500000 us at 0, a marker at 480, a second tempo at 3840;
// channel 2: one note at 0.
const Bytes kOutSong = smftest::Smf1({
    Cat({At(0, {0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}), At(0, OutTempo(500000)),
         At(480, {0xFF, 0x06, 0x01, 'M'}), At(3360, OutTempo(400000))}),
    Cat({At(0, {0x92, 60, 100}), At(480, {0x82, 60, 0})}),
});

// One event as the song holds it: kind, absolute song ticks, first data byte
// (the meta type for meta events), channel.
struct OutSeen {
    DWORD kind;
    INT64 time;
    BYTE d1;
    BYTE d2;
    BYTE d3;
    LONG gate;
    Bytes bytes;
};

struct OutWork {
    BridgeSong song;
    CArticWrk wrk;
    CArticWrkTrk* master = wrktest::AddTrack(wrk, 0, 0);
    CArticWrkBlk* masterBlk = wrktest::AddBlock(master);
    CArticWrkTrk* part = wrktest::AddTrack(wrk, 1, 1, 2, 0);
    CArticWrkBlk* partBlk = wrktest::AddBlock(part);
    CArticPosList sel;
    CArticPosList mstr;
    POSITION target = nullptr;
    ULONG no = 1;

    explicit OutWork(int wrkMstr = 0, int wrkTempo = 0) {
        EXPECT_EQ(song.Load(kOutSong), 1);
        song.FillPrefPorts();
        song.pref.GetSetting()->SetWrkMstr(wrkMstr);
        song.pref.GetSetting()->SetWrkTempo(wrkTempo);
        part->SetOrigCh(2);
        part->SetOrgTrkID(song.TrackOfCh(2));
        target = song.TrackOfCh(2);
    }
    ~OutWork() {
        CArticEditorUtil::ClearPosList(&sel);
        CArticEditorUtil::ClearPosList(&mstr);
    }
    CArticWrkEvnt* Note(CArticWrkBlk* blk, INT64 time, BYTE key, INT64 gate) {
        return wrktest::AddNote(blk, no++, time, key, gate);
    }
    void MasterTempo(INT64 time, DWORD us) {
        masterBlk->Sort(wrktest::NewMeta(masterBlk, no++, time, 0x51, {BYTE(us >> 16), BYTE(us >> 8), BYTE(us)}), 1);
    }
    int Write(POSITION given = nullptr) {
        POSITION trk = given;
        return CArticEditorUtil::ConvAllEvntRep(&wrk, song.Host(), &song.pref, &sel, &mstr, &trk, nullptr, nullptr);
    }
    // Every event of every block of the track, at absolute song ticks.
    std::vector<OutSeen> Seen(POSITION trk) const {
        std::vector<OutSeen> out;
        CArticHostWalk::Blocks(song.Host(), trk, [&](const _MPBLOCKINFO& b, POSITION blk) {
            CArticHostWalk::Events(song.Host(), trk, blk, [&](const tagMPEVENT& e, POSITION) {
                OutSeen s{e.Kind, b.Start + e.Time, e.Data1, e.Data2, e.Data3, 0, {}};
                if (IsVariableMPEventKind(e.Kind)) {
                    s.bytes.assign(e.Bytes, e.Bytes + e.Length);
                    s.d1 = e.Length ? e.Bytes[0] : 0;
                } else {
                    s.gate = e.Duration;
                }
                out.push_back(s);
                return true;
            });
            return true;
        });
        return out;
    }
    std::vector<OutSeen> Notes(POSITION trk) const {
        std::vector<OutSeen> notes;
        for (const OutSeen& s : Seen(trk))
            if (s.kind == MPEVENT_KIND_NOTE) notes.push_back(s);
        return notes;
    }
    // (time, quarter length) of the conductor's tempo events.
    std::vector<std::pair<INT64, DWORD>> Tempos() const {
        std::vector<std::pair<INT64, DWORD>> out;
        for (const OutSeen& s : Seen(song.Conductor()))
            if (s.kind == MPEVENT_KIND_META && s.d1 == 0x51 && s.bytes.size() == 4)
                out.emplace_back(s.time, (DWORD(s.bytes[1]) << 16) | (DWORD(s.bytes[2]) << 8) | s.bytes[3]);
        return out;
    }
    // The lock is free when a new exclusive lock can be taken.
    bool LockFree() {
        hosttest::ExclusiveLock lock(*song.Host());
        return lock.Result() == S_OK;
    }
};

std::vector<std::tuple<DWORD, INT64, BYTE>> OutRows(const std::vector<OutSeen>& seen) {
    std::vector<std::tuple<DWORD, INT64, BYTE>> rows;
    for (const OutSeen& s : seen) rows.emplace_back(s.kind, s.time, s.d1);
    return rows;
}

TEST(WriteBack, NoteGoesBackAtTwiceItsTimesIntoANewBlock) {
    OutWork w;
    w.Note(w.partBlk, 100, 64, 50);
    ASSERT_EQ(w.Write(), 0);
    std::vector<OutSeen> notes = w.Notes(w.target);
    // The original note stays (nothing was selected); the new one is in the new block.
    ASSERT_EQ(notes.size(), 2u);
    const OutSeen& note = notes[1].d1 == 64 ? notes[1] : notes[0];
    EXPECT_EQ(note.time, 200);
    EXPECT_EQ(note.gate, 100);
    EXPECT_EQ(note.d3, 64);  // note-off velocity
    // The new block spans the work times x 2 and is recorded as written.
    std::vector<std::pair<INT64, INT64>> spans;
    CArticHostWalk::Blocks(w.song.Host(), w.target, [&](const _MPBLOCKINFO& b, POSITION) {
        spans.emplace_back(b.Start, b.End);
        return true;
    });
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[1], std::make_pair(INT64(200), INT64(300)));
    EXPECT_EQ(w.sel.GetCount(), 1);
    EXPECT_TRUE(w.LockFree());
}

TEST(WriteBack, SecondWriteBackReplacesTheFirst) {
    OutWork w;
    w.Note(w.partBlk, 100, 64, 50);
    ASSERT_EQ(w.Write(), 0);
    const size_t once = w.Seen(w.target).size();
    ASSERT_EQ(w.Write(), 0);
    EXPECT_EQ(w.Seen(w.target).size(), once);
    EXPECT_EQ(w.Notes(w.target).size(), 2u);
}

TEST(WriteBack, TrackWithoutSongTrackGoesToTheGivenOne) {
    OutWork w;
    w.part->SetOrgTrkID(nullptr);
    w.Note(w.partBlk, 10, 70, 20);
    ASSERT_EQ(w.Write(w.target), 0);
    std::vector<OutSeen> notes = w.Notes(w.target);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[1].d1, 70);
    EXPECT_EQ(notes[1].time, 20);
}

TEST(WriteBack, ThreeWorkTracksLeaveTheSongTrackWithoutChannel) {
    for (int tracks : {2, 3}) {
        OutWork w;
        w.part->SetCh(4);
        w.Note(w.partBlk, 10, 70, 20);
        if (tracks == 3) {
            CArticWrkTrk* extra = wrktest::AddTrack(w.wrk, 2, 1, 5, 0);
            wrktest::AddBlock(extra);
        }
        ASSERT_EQ(w.Write(), 0);
        _MPTRACKINFO rec{};
        ASSERT_EQ(CArticHostWalk::GetTrk(w.song.Host(), w.target, &rec), 0);
        CArticHostWalk::FreeMem(rec);
        // Two tracks: the track takes the first part's original channel; three: none.
        EXPECT_EQ(rec.Channel, tracks == 3 ? -1 : 2) << tracks;
        EXPECT_EQ(rec.Port, 1) << tracks;
    }
}

TEST(WriteBack, KvPartMessageFollowsItsTrack) {
    OutWork w;
    w.part->SetCh(5);
    w.part->SetPort(1);
    w.part->SetOrigPort(0);
    DWORD adrs0 = 99, adrs1 = 99;
    ASSERT_EQ(CArticEditorUtil::GetPortAdrsFromPortNo(w.song.Host(), 0, &adrs0), 0);
    ASSERT_EQ(CArticEditorUtil::GetPortAdrsFromPortNo(w.song.Host(), 1, &adrs1), 0);
    const BYTE mine = BYTE(2 + 16 * adrs0);
    const BYTE other = BYTE(3 + 16 * adrs0);
    for (BYTE part : {mine, other}) {
        CArticWrkEvnt* e = wrktest::NewEvnt(w.partBlk, w.no++, 0xF0, 5);
        const Bytes data = {0x43, 0x10, 0x4C, 0x08, part, 0x03, 0x10, 0xF7};
        e->SetMeta(0, data.data(), ULONG(data.size()));
        w.partBlk->Sort(e, 1);
    }
    w.Note(w.partBlk, 10, 70, 20);
    ASSERT_EQ(w.Write(), 0);
    std::vector<BYTE> parts;
    for (const OutSeen& s : w.Seen(w.target))
        if (s.kind == MPEVENT_KIND_SYSEX && s.bytes.size() > 4) parts.push_back(s.bytes[4]);
    EXPECT_EQ(parts, (std::vector<BYTE>{BYTE(5 + 16 * adrs1), other}));
}

TEST(WriteBack, ConductorUnchangedWithoutMasterPreferences) {
    OutWork w(0, 0);
    w.MasterTempo(0, 300000);
    w.Note(w.partBlk, 10, 70, 20);
    const auto before = OutRows(w.Seen(w.song.Conductor()));
    ASSERT_EQ(w.Write(), 0);
    EXPECT_EQ(OutRows(w.Seen(w.song.Conductor())), before);
    EXPECT_EQ(w.Tempos(), (std::vector<std::pair<INT64, DWORD>>{{0, 500000}, {3840, 400000}}));
}

TEST(WriteBack, TempoOnlyRewritesTheTemposAlone) {
    OutWork w(0, 1);
    // An exclusive the song keeps in its conductor at 0.
    const POSITION conductor = w.song.Conductor();
    w.song.InsertBytes(conductor, w.song.Blocks(conductor).at(0), MPEVENT_KIND_SYSEX, 0,
                       {0x7E, 0x7F, 0x09, 0x01, 0xF7});
    w.MasterTempo(0, 300000);
    w.masterBlk->Sort(wrktest::NewMeta(w.masterBlk, w.no++, 240, 0x06, {'X'}), 1);  // not written in this mode
    w.Note(w.partBlk, 10, 70, 20);
    ASSERT_EQ(w.Write(), 0);
    EXPECT_EQ(w.Tempos(), (std::vector<std::pair<INT64, DWORD>>{{0, 300000}}));
    std::vector<std::tuple<DWORD, INT64, BYTE>> others;
    for (const OutSeen& s : w.Seen(w.song.Conductor()))
        if (!(s.kind == MPEVENT_KIND_META && s.d1 == 0x51)) others.emplace_back(s.kind, s.time, s.d1);
    // The meter, the marker and the end of the track stay; the master's marker is not written.
    std::vector<std::tuple<DWORD, INT64, BYTE>> markers;
    for (const auto& row : others)
        if (std::get<2>(row) == 0x06) markers.push_back(row);
    EXPECT_EQ(markers, (std::vector<std::tuple<DWORD, INT64, BYTE>>{{MPEVENT_KIND_META, 480, 0x06}}));
    bool meter = false, sysex = false;
    for (const auto& row : others) {
        meter = meter || (std::get<1>(row) == 0 && std::get<2>(row) == 0x58);
        sysex = sysex || (std::get<0>(row) == MPEVENT_KIND_SYSEX && std::get<1>(row) == 0);
    }
    EXPECT_TRUE(meter);
    EXPECT_TRUE(sysex);  // the master writes tempos only here: the exclusive must stay
}

// The master's tempos at engine 0 and 960 over a song with tempos at 0 and
// 3840: the time-0 tempo takes the first value, the second lands at 1920, and
// no tempo is left at a time the file cannot hold.
TEST(WriteBack, MasterModesWithTemposLeaveOneTempoMap) {
    for (int mstr : {0, 1}) {
        OutWork w(mstr, 1);
        w.MasterTempo(0, 300000);
        w.MasterTempo(960, 250000);
        w.Note(w.partBlk, 10, 70, 20);
        ASSERT_EQ(w.Write(), 0) << mstr;
        EXPECT_EQ(w.Tempos(), (std::vector<std::pair<INT64, DWORD>>{{0, 300000}, {1920, 250000}})) << mstr;
        const Bytes saved = w.song.Save();
        ASSERT_FALSE(saved.empty());
        OutWork again(0, 0);
        ASSERT_EQ(again.song.Load(saved), 1);
        EXPECT_EQ(again.Tempos(), (std::vector<std::pair<INT64, DWORD>>{{0, 300000}, {1920, 250000}})) << mstr;
    }
}

TEST(WriteBack, RefusedTempoEditFailsAndFreesTheLock) {
    OutWork w(0, 1);
    w.MasterTempo(0, 300000);
    w.Note(w.partBlk, 10, 70, 20);
    w.song.doc.SetTempoLocked(1);
    EXPECT_EQ(w.Write(), 1);
    EXPECT_TRUE(w.LockFree());
}

TEST(WriteBack, EventSelectionOutputGoesIntoTheGivenBlockAndIsTakenBackNextTime) {
    OutWork w;
    const POSITION songBlk = w.song.Blocks(w.target).at(0);
    w.Note(w.partBlk, 100, 64, 50);
    POSITION trk = w.target;
    ASSERT_EQ(CArticEditorUtil::ConvAllEvntRep(&w.wrk, w.song.Host(), &w.song.pref, &w.sel, &w.mstr, &trk, songBlk,
                                               nullptr),
              0);
    EXPECT_EQ(w.song.Blocks(w.target).size(), 1u);  // no block made
    EXPECT_EQ(w.Notes(w.target).size(), 2u);
    EXPECT_EQ(CArticEditorUtil::GetOutCount(), 1);
    // The conductor's events were handed over as private copies.
    EXPECT_EQ(size_t(w.mstr.GetCount()), w.Seen(w.song.Conductor()).size());
    ASSERT_EQ(CArticEditorUtil::ConvAllEvntRep(&w.wrk, w.song.Host(), &w.song.pref, &w.sel, &w.mstr, &trk, songBlk,
                                               nullptr),
              0);
    EXPECT_EQ(w.Notes(w.target).size(), 2u);
}

// A driver that is busy elsewhere.
struct OutBusyView : bridgetest::TestView {
    int IsBusy() const override { return 1; }
};

TEST(WriteBack, BusyDriverIsReportedAndChangesNothing) {
    OutWork w;
    OutBusyView busy;
    busy.host = w.song.Host();
    busy.pref = &w.song.pref;
    CArticEditorUtil::SetView(&busy);
    CArticErr::Clear();
    std::vector<CString> shown;
    SetMessageSink([&](const CString& text, const CString&, UINT) {
        shown.push_back(text);
        return 1;
    });
    w.Note(w.partBlk, 10, 70, 20);
    EXPECT_EQ(w.Write(), 1);
    SetMessageSink(nullptr);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(CArticErr::IsError(), 1);
    EXPECT_EQ(w.Notes(w.target).size(), 1u);
    EXPECT_TRUE(w.LockFree());
    CArticEditorUtil::SetView(&w.song.view);
    CArticErr::Clear();
}

TEST(WriteBack, MissingPiecesFailWithoutTouchingTheSong) {
    OutWork w;
    w.Note(w.partBlk, 10, 70, 20);
    POSITION trk = nullptr;
    EXPECT_EQ(CArticEditorUtil::ConvAllEvntRep(nullptr, w.song.Host(), &w.song.pref, &w.sel, &w.mstr, &trk, nullptr,
                                               nullptr),
              1);
    {
        hosttest::ExclusiveLock held(*w.song.Host());  // someone else holds the song
        EXPECT_EQ(w.Write(), 1);
    }
    EXPECT_EQ(w.Notes(w.target).size(), 1u);
    EXPECT_TRUE(w.LockFree());
}

// The song walk's work data of a loaded song, tidied, written back and saved:
// channel 2's notes come back at twice their work times, after the target voice.
TEST(WriteBack, WalkedSongSavesWithItsNotesAndTargetVoice) {
    BridgeSong song;
    const Bytes bytes = smftest::Smf0(Cat({At(960, {0x92, 60, 100}), At(40, {0x95, 50, 100}), At(240, {0x85, 50, 0}),
                                          At(200, {0x82, 60, 0}), At(480, {0x92, 62, 90}), At(480, {0x82, 62, 0})}));
    ASSERT_EQ(song.Load(bytes), 1);
    song.FillPrefPorts();
    CPHConvPrm prm;
    prm.BankMsb = 8;
    prm.BankLsb = 0;
    prm.Program = 25;
    song.view.prm = &prm;
    song.pref.GetSetting()->SetKeepCont(1);
    song.pref.GetSetting()->SetDelGrace(0);
    song.pref.GetSetting()->SetWrkTempo(1);
    const POSITION trk = song.TrackOfCh(2);
    const POSITION blk = song.Blocks(trk).at(0);
    song.SelectBlockInSong(trk, blk);
    bridgetest::PosList sel;
    sel.Add(trk, blk);
    ASSERT_EQ(song.mgr.SetSelectBlkPosList(song.Host(), &sel.list), 0);
    ASSERT_EQ(song.mgr.SetBlkPosList(), 0);
    CArticWrk wrk;
    ASSERT_EQ(CArticEditorUtil::ConvWrk_ch(song.Host(), &sel.list, 0, 1, 1, 1, 50, 0, &wrk, 0, prm, 1, 0, 0, 480), 0);
    std::vector<INT64> workNotes;
    const CArticWrkBlk* part = wrk.Get(ULONG(1))->Get(0);
    for (POSITION p = part->GetHeadPos(); p;) {
        const CArticWrkEvnt* e = part->GetNext(p);
        if ((e->GetStatus() & 0xF0) == 0x90) workNotes.push_back(e->GetTime());
    }
    ASSERT_EQ(workNotes.size(), 2u);

    CArticTransMgr trans(&wrk, song.Host(), &song.pref);
    ASSERT_EQ(trans.EditToWrk(), 0);
    POSITION target = trk;
    ASSERT_EQ(trans.ConvToCEditorRep(&target, nullptr, nullptr), 0);
    const Bytes saved = song.Save();
    ASSERT_FALSE(saved.empty());

    OutWork reloaded;
    ASSERT_EQ(reloaded.song.Load(saved), 1);
    const std::vector<OutSeen> seen = reloaded.Seen(reloaded.song.TrackOfCh(2));
    std::vector<INT64> notes;
    int bank = -1, program = -1, firstNote = -1;
    for (size_t i = 0; i < seen.size(); ++i) {
        if (seen[i].kind == MPEVENT_KIND_NOTE) {
            notes.push_back(seen[i].time);
            if (firstNote < 0) firstNote = int(i);
        } else if (seen[i].kind == MPEVENT_KIND_CONTROL && seen[i].d1 == 0 && seen[i].d2 == 8 && bank < 0) {
            bank = int(i);
        } else if (seen[i].kind == MPEVENT_KIND_PROGRAM && seen[i].d1 == 25 && program < 0) {
            program = int(i);
        }
    }
    EXPECT_EQ(notes, (std::vector<INT64>{workNotes[0] * 2, workNotes[1] * 2}));
    ASSERT_GE(bank, 0);
    EXPECT_LT(bank, program);
    EXPECT_LT(program, firstNote);
}

}  // namespace
