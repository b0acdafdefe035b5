#pragma once
// One conversion driver and one song document for a whole test, used as the
// core uses them: the SMF bytes are loaded into the document, the channel's
// track selected, the parameters filled (target bank 8/0, program 25) and the
// driver's Convert called.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BridgeFixture.h"
#include "driver/ArticEditorUtil.h"
#include "driver/ArticHostWalk.h"
#include "driver/ArticProc.h"
#include "driver/PgBsel.h"
#include "driver/VeloSens.h"
#include "services/PHConvPrm.h"
#include "driver/PhrasorProc.h"
#include "host/PhrasorDoc.h"
#include "host/SmfFixtures.h"
#include "platform/Random.h"

namespace phrasorproctest {

using bridgetest::At;
using smftest::Bytes;
using smftest::Cat;

// A tempo at 0; channel 2: notes 60 and 62 from bar 2; channel 5: notes 50 and 52.
inline const Bytes kProcSong = smftest::Smf0(Cat({
    At(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}), At(3840, {0x92, 60, 100}), At(40, {0x95, 50, 100}),
    At(240, {0x85, 50, 0}), At(200, {0x82, 60, 0}), At(40, {0x95, 52, 100}), At(240, {0x85, 52, 0}),
    At(200, {0x92, 62, 90}), At(480, {0x82, 62, 0}),
}));

// One song event as the host reports it, at its time from the song's start.
struct SongEvnt {
    INT64 time;
    DWORD kind;
    LONG ch;
    BYTE d1, d2, d3;
    LONG dur;
    Bytes bytes;
};

struct ProcRun : smftest::TwoOutputPorts, smftest::Loaded, bridgetest::SongWalk {
    CPhrasorProc proc;

    explicit ProcRun(const char* port1 = "KORVET QTL1", const char* port2 = "KORVET QTL2")
        : TwoOutputPorts(port1, port2) {
        Restore();
        proc.CreateArticProc();
        proc.SetCEditor(doc.GetHostInterface());
        proc.CreateCoreMN(1);
        CPHConvPrm& prm = *proc.GetConvPrm();
        prm.Kind = 0;
        prm.Flag2 = 1;
        prm.Resolution = 480;
        prm.BankMsb = 8;
        prm.BankLsb = 0;
        prm.Program = 25;
        prm.PbCtrl = 0;
        Script({"; nothing to do"});
    }

    CKPSManager* Host() const override { return doc.GetHostInterface(); }
    using Loaded::Events;
    using SongWalk::Events;
    CPHConvPrm& Prm() { return *proc.GetConvPrm(); }

    void Script(std::initializer_list<const char*> lines) {
        Prm().ClearLines();
        for (const char* l : lines) Prm().AddLine(l, int(std::string(l).size()) + 1);
    }
    // The song in the document with the channel's track selected, as the core leaves it.
    void Prepare(const Bytes& song, BYTE ch) {
        ASSERT_EQ(Load(song), 1);
        doc.SelectChannelTrack(ch);
        Prm().Channel = ch;
    }
    // Converts the channel of the song; the driver's failure state.
    int Channel(const Bytes& song, BYTE ch) {
        Prepare(song, ch);
        return ConvertLoaded();
    }
    int ConvertLoaded() {
        SeedRandom(7);
        proc.SetLoadPending(1);
        proc.Convert(&doc);
        return proc.GetFailState();
    }

    // The scan alone, registered as Convert registers it (multiplier 2, the
    // port names handed over), with empty timelines.
    int Scan(int* blkTrks = nullptr, int* evntTrks = nullptr) {
        CArticProc* ap = proc.GetArticProc();
        CArticEditorUtil::SetView(&proc);
        CArticEditorUtil::SetEditorMgr(ap->GetEditorMgr());
        CArticEditorUtil::SetPref(ap->GetPref());
        ap->GetEditorMgr()->SetClientBeatMul(2);
        proc.ResetPortName();
        proc.GetVeloSens()->ClearVeloSensList();
        proc.GetPgBsel()->ClearPgBselList();
        int b = 0, e = 0;
        const int mode = proc.ScanSong(Host(), &b, &e);
        if (blkTrks) *blkTrks = b;
        if (evntTrks) *evntTrks = e;
        return mode;
    }
    // The song's state as bytes.
    Bytes Saved() { return Save(nullptr); }

    // Every event of the track in time order (song ticks from the song's start).
    std::vector<SongEvnt> SongEvents(POSITION trk) const {
        std::vector<SongEvnt> out;
        CArticHostWalk::Blocks(Host(), trk, [&](const _MPBLOCKINFO& b, POSITION blk) {
            CArticHostWalk::Events(Host(), trk, blk, [&](const tagMPEVENT& e, POSITION) {
                SongEvnt s{b.Start + e.Time, e.Kind, e.Channel, e.Data1, e.Data2, e.Data3, 0, {}};
                if (IsVariableMPEventKind(e.Kind) && e.Bytes) s.bytes.assign(e.Bytes, e.Bytes + e.Length);
                else s.dur = e.Duration;
                out.push_back(s);
                return true;
            });
            return true;
        });
        std::stable_sort(out.begin(), out.end(), [](const SongEvnt& a, const SongEvnt& b) { return a.time < b.time; });
        return out;
    }
    std::vector<SongEvnt> Notes(LONG ch) const {
        std::vector<SongEvnt> out;
        for (const SongEvnt& e : SongEvents(TrackOfCh(ch)))
            if (e.kind == MPEVENT_KIND_NOTE) out.push_back(e);
        return out;
    }
    std::vector<int> Keys(LONG ch) const {
        std::vector<int> keys;
        for (const SongEvnt& e : Notes(ch)) keys.push_back(e.d1);
        return keys;
    }
    std::vector<int> Velocities(LONG ch) const {
        std::vector<int> v;
        for (const SongEvnt& e : Notes(ch)) v.push_back(e.d2);
        return v;
    }
    // Selects or unselects one event (flag 4, field 0x8000).
    void SelectEvent(POSITION trk, POSITION blk, POSITION evnt, bool on = true) {
        hosttest::ExclusiveLock lock(*Host());
        tagMPEVENT e{};
        POSITION ids[MP_ID_COUNT] = {trk, blk, evnt};
        ASSERT_GE(Host()->Get(ids, MP_LEVEL_EVENT, &e, CArticHostWalk::kEvntMask), 0);
        e.Flags = on ? DWORD(MPEVENT_FLAG_SELECTED) : 0u;
        EXPECT_GE(Host()->Modify(ids, MP_LEVEL_EVENT, &e, LONG(0xFFFF | MP_FIELD_SELECTION)), 0);
        CArticHostWalk::FreeMem(e);
    }
    void SelectBlock(POSITION trk, POSITION blk, bool on = true) {
        hosttest::ExclusiveLock lock(*Host());
        _MPBLOCKINFO b;
        ResetMPBlockInfo(b);
        b.Flags = on ? DWORD(MPBLOCK_FLAG_SELECTED) : 0u;
        POSITION ids[MP_ID_COUNT] = {trk, blk, nullptr};
        EXPECT_GE(Host()->Modify(ids, MP_LEVEL_BLOCK, &b, MP_FIELD_SELECTION), 0);
    }
    void SetTrackCh(POSITION trk, LONG ch) {
        hosttest::ExclusiveLock lock(*Host());
        _MPTRACKINFO t{};
        POSITION ids[MP_ID_COUNT] = {trk, nullptr, nullptr};
        ASSERT_GE(Host()->Get(ids, MP_LEVEL_TRACK, &t, CArticHostWalk::kTrkMask), 0);
        CArticHostWalk::FreeMem(t);
        t.Channel = ch;
        EXPECT_GE(Host()->Modify(ids, MP_LEVEL_TRACK, &t, MP_FIELD_CHANNEL), 0);
    }
};

}  // namespace phrasorproctest
