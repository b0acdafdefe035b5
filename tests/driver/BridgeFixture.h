#pragma once
// Songs for the song-bridge tests: SMF bytes built in code, loaded into a
// document whose output ports are "KORVET QTL1" (id 1) and "KORVET QTL2"
// (id 2), with an editor manager and preferences registered with the bridge.
#include <gtest/gtest.h>

#include <vector>

#include "driver/ArticEditorMgr.h"
#include "driver/ArticEditorUtil.h"
#include "driver/ArticHostWalk.h"
#include "services/ArticPref.h"
#include "driver/ArticView.h"
#include "services/PHConvPrm.h"
#include "driver/PgBsel.h"
#include "driver/VeloSens.h"
#include "engine/work/ArticPos.h"
#include "host/HostFixtures.h"
#include "host/SmfFixtures.h"

namespace bridgetest {

using smftest::Bytes;

// Short-message bytes with a zero delta time, and with a delta.
inline Bytes At(DWORD delta, Bytes message) {
    Bytes out;
    BYTE buf[4];
    int n = 0;
    buf[n++] = BYTE(delta & 0x7F);
    while (delta >>= 7) buf[n++] = BYTE(0x80 | (delta & 0x7F));
    while (n) out.push_back(buf[--n]);
    out.insert(out.end(), message.begin(), message.end());
    return out;
}

// The selection list of the editor manager: the holder deletes the entries.
struct PosList {
    CArticPosList list;
    ~PosList() {
        while (!list.IsEmpty()) delete list.RemoveHead();
    }
    void Add(POSITION trk, POSITION blk, POSITION evnt = nullptr) { list.AddTail(new CArticPos(trk, blk, evnt)); }
};

// A driver view over a host, with timelines the test fills.
struct TestView : CArticView {
    CKPSManager* host = nullptr;
    CArticPref* pref = nullptr;
    CVeloSens* veloSens = nullptr;
    CPgBsel* pgBsel = nullptr;
    bool failTimes = false;
    INT64 failValue = -1;  // a time whose conversion fails
    int resolution = 480;
    CPHConvPrm* prm = nullptr;
    int kind = 0;
    BYTE kindFlag = 1;

    CKPSManager* GetCEditor() const override { return host; }
    CArticPref* GetPref() const override { return pref; }
    CVeloSens* GetVeloSens() const override { return veloSens; }
    CPgBsel* GetPgBsel() const override { return pgBsel; }
    int GetResolution() const override { return resolution; }
    CPHConvPrm* GetConvPrm() const override { return prm; }
    int GetKind() const override { return kind; }
    BYTE GetKindFlag() const override { return kindFlag; }
    int GetConvMode() const override { return 2; }
    int GetPbExist() const override { return 0; }
    int ConvertTime(INT64 value, DWORD fromFormat, DWORD fromFlag, INT64* out, DWORD toFormat,
                    DWORD toFlag) override {
        if (failTimes || value == failValue) return 0;
        return CArticView::ConvertTime(value, fromFormat, fromFlag, out, toFormat, toFlag);
    }
};

// Queries and edits of a song through its host interface.
struct SongWalk {
    virtual ~SongWalk() = default;
    virtual CKPSManager* Host() const = 0;

    POSITION Conductor() const {
        POSITION found = nullptr;
        CArticHostWalk::Tracks(Host(), [&](const _MPTRACKINFO& t, POSITION at) {
            if (t.Number == 0) found = at;
            return found == nullptr;
        });
        return found;
    }
    // The first track after the conductor on the channel; null when none.
    POSITION TrackOfCh(LONG ch) const {
        POSITION found = nullptr;
        CArticHostWalk::Tracks(Host(), [&](const _MPTRACKINFO& t, POSITION at) {
            if (t.Number != 0 && t.Channel == ch) found = at;
            return found == nullptr;
        });
        return found;
    }
    std::vector<POSITION> Blocks(POSITION trk) const {
        std::vector<POSITION> out;
        CArticHostWalk::Blocks(Host(), trk, [&](const _MPBLOCKINFO&, POSITION at) {
            out.push_back(at);
            return true;
        });
        return out;
    }
    std::vector<POSITION> Events(POSITION trk, POSITION blk) const {
        std::vector<POSITION> out;
        CArticHostWalk::Events(Host(), trk, blk, [&](const tagMPEVENT&, POSITION at) {
            out.push_back(at);
            return true;
        });
        return out;
    }
    // Adds the first block of the channel's track to the list.
    void SelectCh(PosList& sel, LONG ch) const {
        const POSITION trk = TrackOfCh(ch);
        ASSERT_NE(trk, nullptr) << ch;
        sel.Add(trk, Blocks(trk).at(0));
    }
    // Inserts an event into a block (time in song ticks within the block).
    POSITION InsertEvnt(POSITION trk, POSITION blk, tagMPEVENT e) {
        hosttest::ExclusiveLock lock(*Host());
        EXPECT_EQ(lock.Result(), S_OK);
        POSITION ids[MP_ID_COUNT] = {trk, blk, nullptr};
        EXPECT_GE(Host()->Insert(ids, MP_LEVEL_EVENT, &e), 0);
        return ids[MP_ID_EVENT];
    }
    POSITION InsertShort(POSITION trk, POSITION blk, DWORD kind, INT64 time, LONG ch, BYTE d1, BYTE d2 = 0,
                         BYTE d3 = 0, LONG dur = 0) {
        tagMPEVENT e;
        ResetMPEvent(e);
        e.Kind = kind;
        e.Time = time;
        e.Channel = ch;
        e.Data1 = d1;
        e.Data2 = d2;
        e.Data3 = d3;
        e.Duration = dur;
        return InsertEvnt(trk, blk, e);
    }
    // An exclusive (the bytes after F0) or a meta event (type byte first).
    POSITION InsertBytes(POSITION trk, POSITION blk, DWORD kind, INT64 time, Bytes bytes) {
        tagMPEVENT e;
        ResetMPEvent(e);
        e.Kind = kind;
        e.Time = time;
        e.Length = DWORD(bytes.size());
        e.Bytes = bytes.data();
        return InsertEvnt(trk, blk, e);
    }
    // Sets a track's port id and channel (-1: none).
    void SetTrack(POSITION trk, LONG portId, LONG ch) {
        hosttest::ExclusiveLock lock(*Host());
        EXPECT_EQ(lock.Result(), S_OK);
        _MPTRACKINFO t;
        ResetMPTrackInfo(t);
        t.Port = portId;
        t.Channel = ch;
        POSITION ids[MP_ID_COUNT] = {trk, nullptr, nullptr};
        EXPECT_GE(Host()->Modify(ids, MP_LEVEL_TRACK, &t, MP_FIELD_PORT | MP_FIELD_CHANNEL), 0);
    }
    // Marks a block selected in the song (block flag 4).
    void SelectBlockInSong(POSITION trk, POSITION blk) {
        hosttest::ExclusiveLock lock(*Host());
        EXPECT_EQ(lock.Result(), S_OK);
        _MPBLOCKINFO b;
        ResetMPBlockInfo(b);
        b.Flags = MPBLOCK_FLAG_SELECTED;
        POSITION ids[MP_ID_COUNT] = {trk, blk, nullptr};
        EXPECT_GE(Host()->Modify(ids, MP_LEVEL_BLOCK, &b, MP_FIELD_SELECTION), 0);
    }
    // A second block after the track's first one, from song tick `start`.
    POSITION InsertBlock(POSITION trk, INT64 start) {
        hosttest::ExclusiveLock lock(*Host());
        EXPECT_EQ(lock.Result(), S_OK);
        POSITION ids[MP_ID_COUNT] = {trk, Blocks(trk).back(), nullptr};
        _MPBLOCKINFO b;
        ResetMPBlockInfo(b);
        b.Start = start;
        b.End = start + 3840;
        EXPECT_GE(Host()->Insert(ids, MP_LEVEL_BLOCK, &b), 0);
        return ids[MP_ID_BLOCK];
    }
};

struct BridgeSong : smftest::TwoOutputPorts, smftest::Loaded, SongWalk {
    CArticPref pref;
    CArticEditorMgr mgr;
    TestView view;

    explicit BridgeSong(const char* name1 = "KORVET QTL1", const char* name2 = "KORVET QTL2")
        : TwoOutputPorts(name1, name2) {
        Restore();
        mgr.SetCEditor(Host());
        view.host = Host();
        view.pref = &pref;
        CArticEditorUtil::SetView(&view);
        CArticEditorUtil::SetEditorMgr(&mgr);
        CArticEditorUtil::SetPref(&pref);
    }
    ~BridgeSong() { CArticEditorUtil::Reset(); }

    using Loaded::Events;
    using SongWalk::Events;

    CKPSManager* Host() const override { return doc.GetHostInterface(); }

    // The preferences' port information made from the song's ports.
    void FillPrefPorts() {
        std::vector<DWORD> ids;
        CStringList names;
        ASSERT_EQ(CArticEditorUtil::GetPortList(Host(), &ids, &names), 0);
        ASSERT_EQ(CArticEditorUtil::ResetPortName(&names, ids.data(), int(ids.size())), 0);
    }
};

}  // namespace bridgetest
