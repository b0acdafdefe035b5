#include "services/ArticArrayCh.h"

#include <vector>

#include "driver/ArticEditorUtil.h"
#include "driver/ArticHostWalk.h"
#include "engine/work/ArticPos.h"
#include "host/KPSManager.h"

namespace {

constexpr BYTE kCcBankMsb = 0;
constexpr BYTE kCcBankLsb = 32;
constexpr BYTE kKvBankMsb = 0x01;
constexpr BYTE kKvBankLsb = 0x02;
constexpr BYTE kKvProgram = 0x03;

// The voice a KV part exclusive (43 1n 4C 08 part parameter value F7) sets.
struct KvPartVoice {
    BYTE part;
    BYTE param;
    BYTE value;
};

bool ReadKvPartVoice(const tagMPEVENT& e, KvPartVoice* out) {
    if (e.Kind != MPEVENT_KIND_SYSEX || e.Length != 8 || !e.Bytes) return false;
    const BYTE* b = e.Bytes;
    if (b[0] != 0x43 || (b[1] & 0xF0) != 0x10 || b[2] != 0x4C || b[3] != 0x08 || b[7] != 0xF7) return false;
    *out = {b[4], b[5], b[6]};
    return true;
}

// The port address of a port number; 0 when the preferences do not know the port.
DWORD PortAdrsOf(CKPSManager* host, DWORD portNo) {
    DWORD adrs = 0;
    return CArticEditorUtil::GetPortAdrsFromPortNo(host, portNo, &adrs) ? 0 : adrs;
}

// The port number a part's port address names within the device of a track's
// port. Without port information only the track's own port can be named.
bool PortOfPart(CKPSManager* host, BYTE part, DWORD trkPortId, DWORD trkPortNo, DWORD* port) {
    const DWORD adrs = DWORD(part >> 4);
    DWORD id = 0;
    if (!CArticEditorUtil::GetPortIDFromPortAdrs(adrs, trkPortId, &id)) {
        *port = CArticEditorUtil::GetPortFromPortID(host, id);
        return true;
    }
    if (adrs != PortAdrsOf(host, trkPortNo)) return false;
    *port = trkPortNo;
    return true;
}

// What the backward walk from a block's first note looks at.
struct VoiceEvnt {
    DWORD kind;
    BYTE data1, data2, data3;
    bool kv;
    KvPartVoice voice;
};

bool IsCc(const VoiceEvnt& e, BYTE cc) { return e.kind == MPEVENT_KIND_CONTROL && e.data1 == cc; }

}  // namespace

void CArticArrayCh::AddEvntCh(DWORD port, const tagMPEVENT& e) {
    if (!IsVariableMPEventKind(e.Kind)) UpdateOrigiCh(MakeKey(port, DWORD(e.Channel)));
}

int CArticArrayCh::EndScan(int result, int* count) const {
    if (count) *count = m_pArray ? GetOrigiChNum() : -1;
    return result;
}

// ---------------------------------------------------------------- scans

int CArticArrayCh::ScanOrigiCh(CKPSManager* host, const CArticPosList* list, int* count) {
    InitOrigiCh();
    m_FirstNoteTime = -1;
    if (count) *count = -1;
    if (!list) return EndScan(0, count);
    bool evntCh = false;  // from the first track without a channel on, events carry theirs
    for (POSITION pos = list->GetHeadPosition(); pos;) {
        const POSITION trkPos = list->GetNext(pos)->GetTrk();
        _MPTRACKINFO trk{};
        if (CArticHostWalk::GetTrk(host, trkPos, &trk)) return EndScan(1, count);
        CArticHostWalk::FreeMem(trk);
        const DWORD port = CArticEditorUtil::GetPortFromPortID(host, DWORD(trk.Port));
        if (trk.Channel >= 0) UpdateOrigiCh(MakeKey(port, DWORD(trk.Channel)));
        else evntCh = true;

        bool failed = false;
        const int walked = CArticHostWalk::Blocks(host, trkPos, [&](const _MPBLOCKINFO& blk, POSITION blkPos) {
            INT64 start = 0;
            if (!CArticEditorUtil::TimeConvert(host, blk.Start, &start)) return !(failed = true);
            const int events = CArticHostWalk::Events(host, trkPos, blkPos, [&](const tagMPEVENT& e, POSITION) {
                if (evntCh) AddEvntCh(port, e);
                if (e.Kind != MPEVENT_KIND_NOTE) return true;
                INT64 time = 0;
                if (!CArticEditorUtil::TimeConvert(host, e.Time, &time)) return !(failed = true);
                time += start;
                if (m_FirstNoteTime < 0 || time < m_FirstNoteTime) m_FirstNoteTime = time;
                return true;
            });
            return !(failed |= events != 0);
        });
        if (failed || walked) return EndScan(1, count);
    }
    return EndScan(0, count);
}

int CArticArrayCh::ScanUsedCh(CKPSManager* host, const CArticPosList* list, int* count) {
    InitOrigiCh();
    if (count) *count = -1;
    if (!list) return EndScan(1, count);
    for (POSITION pos = list->GetHeadPosition(); pos;) {
        const CArticPos* at = list->GetNext(pos);
        _MPTRACKINFO trk{};
        if (CArticHostWalk::GetTrk(host, at->GetTrk(), &trk)) return EndScan(1, count);
        CArticHostWalk::FreeMem(trk);
        const DWORD port = CArticEditorUtil::GetPortFromPortID(host, DWORD(trk.Port));
        if (trk.Channel >= 0) {
            UpdateOrigiCh(MakeKey(port, DWORD(trk.Channel)));
        } else if (at->GetEvnt()) {
            tagMPEVENT e{};
            if (CArticHostWalk::GetEvnt(host, at->GetTrk(), at->GetBlk(), at->GetEvnt(), &e))
                return EndScan(1, count);
            if (e.Kind == MPEVENT_KIND_NOTE) UpdateOrigiCh(MakeKey(port, DWORD(e.Channel)));
            CArticHostWalk::FreeMem(e);
        } else if (at->GetBlk()) {
            const int walked = CArticHostWalk::Events(host, at->GetTrk(), at->GetBlk(), [&](const tagMPEVENT& e, POSITION) {
                AddEvntCh(port, e);
                return true;
            });
            if (walked) return EndScan(1, count);
        }
    }
    return EndScan(0, count);
}

int CArticArrayCh::ScanClientCh(CKPSManager* host, int mode, INT64 time, int* count) {
    InitOrigiCh();
    if (count) *count = -1;
    if (!host) return EndScan(1, count);
    int failed = 0;
    const int walked = CArticHostWalk::Tracks(host, [&](const _MPTRACKINFO& trk, POSITION trkPos) {
        if (trk.Number == 0) return true;
        if (mode == 1 && (trk.Flags & MPTRACK_FLAG_STATE2)) return true;
        const DWORD port = CArticEditorUtil::GetPortFromPortID(host, DWORD(trk.Port));
        failed = trk.Channel < 0 ? ScanClientMulti(host, trkPos, trk, port, time)
                                 : ScanClientSingle(host, trkPos, trk, port);
        return failed == 0;
    });
    return EndScan(failed || walked ? 1 : 0, count);
}

// A track whose events carry their channels: every channel it uses, and the
// voice events before `time` set the voice of their own channel.
int CArticArrayCh::ScanClientMulti(CKPSManager* host, POSITION trkPos, const _MPTRACKINFO& trk, DWORD port,
                                   INT64 time) {
    const bool voices = (trk.Flags & MPTRACK_FLAG_STATE2) == 0;
    bool failed = false;
    const int walked = CArticHostWalk::Blocks(host, trkPos, [&](const _MPBLOCKINFO& blk, POSITION blkPos) {
        INT64 start = 0;
        if (!CArticEditorUtil::TimeConvert(host, blk.Start, &start)) return !(failed = true);
        const int events = CArticHostWalk::Events(host, trkPos, blkPos, [&](const tagMPEVENT& e, POSITION) {
            AddEvntCh(port, e);
            if (!voices) return true;
            INT64 at = 0;
            if (!CArticEditorUtil::TimeConvert(host, e.Time, &at)) return !(failed = true);
            if (start + at >= time) return true;
            const DWORD key = MakeKey(port, DWORD(e.Channel));
            KvPartVoice kv;
            if (e.Kind == MPEVENT_KIND_PROGRAM) {
                UpdateProNo(key, e.Data1);
            } else if (e.Kind == MPEVENT_KIND_CONTROL && e.Data1 == kCcBankMsb) {
                UpdateBSelMsb(key, e.Data2);
            } else if (e.Kind == MPEVENT_KIND_CONTROL && e.Data1 == kCcBankLsb) {
                UpdateBSelLsb(key, e.Data2);
            } else if (e.Kind == MPEVENT_KIND_VOICE) {
                UpdateBSelMsb(key, e.Data1);
                UpdateBSelLsb(key, e.Data2);
                UpdateProNo(key, e.Data3);
            } else if (ReadKvPartVoice(e, &kv)) {
                DWORD partPort = 0;
                if (!PortOfPart(host, kv.part, DWORD(trk.Port), port, &partPort)) return true;
                const DWORD partKey = MakeKey(partPort, kv.part & 0x0F);
                if (kv.param == kKvBankMsb) UpdateBSelMsb(partKey, kv.value);
                else if (kv.param == kKvBankLsb) UpdateBSelLsb(partKey, kv.value);
                else if (kv.param == kKvProgram) UpdateProNo(partKey, kv.value);
            }
            return true;
        });
        return !(failed |= events != 0);
    });
    return failed || walked ? 1 : 0;
}

// A track on one channel: in every block, the voice set before its first
// note, looking back from the note; each value is taken once per block.
int CArticArrayCh::ScanClientSingle(CKPSManager* host, POSITION trkPos, const _MPTRACKINFO& trk, DWORD port) {
    const DWORD key = MakeKey(port, DWORD(trk.Channel));
    const bool voices = (trk.Flags & MPTRACK_FLAG_STATE2) == 0;
    bool any = false;
    bool failed = false;
    const int walked = CArticHostWalk::Blocks(host, trkPos, [&](const _MPBLOCKINFO&, POSITION blkPos) {
        std::vector<VoiceEvnt> before;
        bool note = false;
        const int events = CArticHostWalk::Events(host, trkPos, blkPos, [&](const tagMPEVENT& e, POSITION) {
            if (!any) UpdateOrigiCh(key);
            any = true;
            if (e.Kind == MPEVENT_KIND_NOTE) return !(note = true);
            VoiceEvnt v{e.Kind, e.Data1, e.Data2, e.Data3, false, {}};
            if (IsVariableMPEventKind(e.Kind)) v.data1 = v.data2 = v.data3 = 0;
            v.kv = ReadKvPartVoice(e, &v.voice);
            before.push_back(v);
            return true;
        });
        if (events) return !(failed = true);
        if (!note || !voices) return true;

        bool hasPro = false, hasMsb = false, hasLsb = false;
        auto setPro = [&](BYTE v) { UpdateProNo(key, v), hasPro = true; };
        auto setMsb = [&](BYTE v) { UpdateBSelMsb(key, v), hasMsb = true; };
        auto setLsb = [&](BYTE v) { UpdateBSelLsb(key, v), hasLsb = true; };
        for (auto it = before.rbegin(); it != before.rend(); ++it) {
            const VoiceEvnt& e = *it;
            if (e.kind == MPEVENT_KIND_PROGRAM) {
                if (!hasPro) setPro(e.data1);
            } else if (IsCc(e, kCcBankMsb)) {
                if (hasPro && !hasMsb) setMsb(e.data2);
            } else if (IsCc(e, kCcBankLsb)) {
                if (hasPro && !hasLsb) setLsb(e.data2);
            } else if (e.kind == MPEVENT_KIND_VOICE) {
                if (!hasMsb) setMsb(e.data1);
                if (!hasLsb) setLsb(e.data2);
                if (!hasPro) setPro(e.data3);
            } else if (e.kv) {
                // Only a message for this track's own part counts.
                DWORD partPort = 0;
                if (!PortOfPart(host, e.voice.part, DWORD(trk.Port), port, &partPort) ||
                    MakeKey(partPort, e.voice.part & 0x0F) != key)
                    continue;
                if (e.voice.param == kKvProgram && !hasPro) setPro(e.voice.value);
                else if (e.voice.param == kKvBankMsb && hasPro && !hasMsb) setMsb(e.voice.value);
                else if (e.voice.param == kKvBankLsb && hasPro && !hasLsb) setLsb(e.voice.value);
            }
            if (hasPro && hasMsb && hasLsb) break;
        }
        return true;
    });
    return failed || walked ? 1 : 0;
}
