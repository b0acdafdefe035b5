// The conductor data the rule built-ins ask about: meter, key, chord and
// tempo in force at a time, read from the song through the host interface.
#include <cstring>

#include "driver/ArticEditorMgr.h"
#include "driver/ArticEditorUtil.h"
#include "driver/ArticHostWalk.h"
#include "host/PluginManager.h"

namespace {

constexpr BYTE kMstrMetaTempo = 0x51;
constexpr BYTE kMstrMetaMeter = 0x58;
constexpr BYTE kMstrMetaKey = 0x59;
constexpr BYTE kMstrMetaSeq = 0x7F;
constexpr DWORD kMstrTicks = MPTIME_FORMAT_TICKS;
constexpr WORD kDefaultTempo = 120;
constexpr WORD kMaxTempo = 0xFFFF;

bool IsMstrMeta(const BYTE* b, DWORD length, BYTE type, DWORD moreThan) { return length > moreThan && b[0] == type; }

bool IsChordMeta(const BYTE* b, DWORD length) {
    static const BYTE kHead[] = {kMstrMetaSeq, 0x43, 0x7B, 0x01};
    return length > 7 && std::memcmp(b, kHead, sizeof kHead) == 0;
}

}  // namespace

template <class Visit>
int CArticEditorUtil::WalkMasterMeta(CKPSManager* host, INT64 time, Visit visit) {
    const POSITION trk = host ? GetTrkID(host, 0) : nullptr;
    if (!trk) return 1;
    POSITION blk = nullptr;
    INT64 start = 0;
    bool startOk = false;
    if (CArticHostWalk::Blocks(host, trk, [&](const _MPBLOCKINFO& b, POSITION at) {
            blk = at;
            startOk = TimeConvert(b.Start, kMstrTicks, 0, &start, kMstrTicks, 0) != 0;
            return false;
        }) ||
        !blk || !startOk)
        return 1;
    bool failed = false;
    const int walked = CArticHostWalk::Events(host, trk, blk, [&](const tagMPEVENT& e, POSITION) {
        INT64 inBlk = 0;
        if (!TimeConvert(e.Time, kMstrTicks, 0, &inBlk, kMstrTicks, 0)) return !(failed = true);
        if (start + inBlk > time) return false;
        if (e.Kind == MPEVENT_KIND_META && e.Bytes && e.Length > 0) visit(e.Bytes, e.Length, start + inBlk, inBlk);
        return true;
    });
    return failed || walked ? 1 : 0;
}

int CArticEditorUtil::GetCurBeat(CKPSManager* host, DWORD time, BYTE* numerator, BYTE* denominator) {
    return WalkMasterMeta(host, time, [&](const BYTE* b, DWORD n, INT64, INT64) {
        if (!IsMstrMeta(b, n, kMstrMetaMeter, 2)) return;
        if (numerator) *numerator = b[1];
        if (denominator) *denominator = b[2];
    });
}

int CArticEditorUtil::GetCurKey(CKPSManager* host, DWORD time, BYTE* key1, BYTE* key2) {
    return WalkMasterMeta(host, time, [&](const BYTE* b, DWORD n, INT64, INT64) {
        if (!IsMstrMeta(b, n, kMstrMetaKey, 2)) return;
        if (key1) *key1 = b[1];
        if (key2) *key2 = b[2];
    });
}

int CArticEditorUtil::GetCurChord(CKPSManager* host, DWORD time, BYTE* root, BYTE* type, BYTE* bassRoot,
                                  BYTE* bassType) {
    return WalkMasterMeta(host, time, [&](const BYTE* b, DWORD n, INT64, INT64) {
        if (!IsChordMeta(b, n)) return;
        if (root) *root = b[4];
        if (type) *type = b[5];
        if (bassRoot) *bassRoot = b[6];
        if (bassType) *bassType = b[7];
    });
}

int CArticEditorUtil::GetCurTempo(CKPSManager* host, DWORD time, WORD* tempo) {
    return GetCurTempo(host, time, tempo, nullptr);
}

int CArticEditorUtil::GetCurTempo(CKPSManager* host, DWORD time, WORD* tempo, DWORD* evntTime) {
    if (tempo) *tempo = kDefaultTempo;
    if (evntTime) *evntTime = 0;
    return WalkMasterMeta(host, time, [&](const BYTE* b, DWORD n, INT64, INT64 inBlk) {
        if (!IsMstrMeta(b, n, kMstrMetaTempo, 3)) return;
        const DWORD micros = DWORD(b[1]) << 16 | DWORD(b[2]) << 8 | b[3];
        if (micros == 0) return;  // no tempo at all: the one in force stays
        const double bpm = 60000000.0 / micros + 0.5;
        if (tempo) *tempo = bpm >= kMaxTempo ? kMaxTempo : WORD(bpm);
        if (evntTime) *evntTime = DWORD(inBlk);
    });
}

int CArticEditorUtil::GetTimeFromMeter(CKPSManager* host, INT64 time, INT64* out) {
    if (out) *out = time;
    return WalkMasterMeta(host, time, [&](const BYTE* b, DWORD n, INT64 at, INT64) {
        if (IsMstrMeta(b, n, kMstrMetaMeter, 2) && out) *out = time - at;
    });
}

int CArticEditorUtil::GetTimeFromKey(CKPSManager* host, INT64 time, INT64* out) {
    if (out) *out = time;
    return WalkMasterMeta(host, time, [&](const BYTE* b, DWORD n, INT64 at, INT64) {
        if (IsMstrMeta(b, n, kMstrMetaKey, 2) && out) *out = time - at;
    });
}

int CArticEditorUtil::GetTimeFromMeterClientInfo(CKPSManager* host, INT64 time, INT64* out) {
    if (out) *out = 0;
    const LONG multiplier = s_pEditorMgr ? s_pEditorMgr->GetClientBeatMul() : 0;
    if (!host || !out || multiplier == 0) return 1;
    // The host answers with the meter in force at a song tick and that meter's first tick.
    auto meterAt = [&](INT64 tick, MPMETERINFO* info, INT64* start) {
        return host->GetClientInfo(MP_CLIENT_METER, tick, start, sizeof *info, info) >= 0;
    };
    MPMETERINFO run{};
    INT64 runStart = 0;
    if (!meterAt(time * multiplier, &run, &runStart)) return 1;
    while (runStart > 0) {
        MPMETERINFO before{};
        INT64 beforeStart = 0;
        if (!meterAt(runStart - 1, &before, &beforeStart)) return 1;
        if (before.Numerator != run.Numerator || before.DenominatorPower != run.DenominatorPower) break;
        run = before;
        runStart = beforeStart;
    }
    INT64 start = 0;
    if (!TimeConvert(host, runStart, &start)) return 1;
    *out = time - start;
    return 0;
}

int CArticEditorUtil::GetSelTrkNum(CKPSManager*) { return 0; }

POSITION CArticEditorUtil::GetTrkID(CKPSManager* host, LONG n) {
    POSITION found = nullptr;
    const int walked = CArticHostWalk::Tracks(host, [&](const _MPTRACKINFO& trk, POSITION pos) {
        if (trk.Number == n) found = pos;
        return found == nullptr;
    });
    return walked ? nullptr : found;
}

int CArticEditorUtil::GetProNum(CKPSManager* host, POSITION trk, INT64 time, BYTE* msb, BYTE* lsb, BYTE* pro) {
    if (msb) *msb = 0;
    if (lsb) *lsb = 0;
    if (pro) *pro = 0;
    _MPTRACKINFO own{};
    if (CArticHostWalk::GetTrk(host, trk, &own)) return 1;
    CArticHostWalk::FreeMem(own);
    DWORD adrs = 0;
    if (GetPortAdrsFromPortNo(host, GetPortFromPortID(host, DWORD(own.Port)), &adrs)) adrs = 0;
    const BYTE part = BYTE(adrs * 16 + DWORD(own.Channel & 0x0F));

    BYTE pendMsb = 0, pendLsb = 0;
    INT64 lastCommit = INT64(0x8000000000000000);
    bool failed = false;
    auto commit = [&](INT64 at, BYTE program) {
        if (at < lastCommit) return;
        lastCommit = at;
        if (msb) *msb = pendMsb;
        if (lsb) *lsb = pendLsb;
        if (pro) *pro = program;
    };
    const int walked = CArticHostWalk::Tracks(host, [&](const _MPTRACKINFO& t, POSITION trkPos) {
        if ((t.Flags & MPTRACK_FLAG_STATE2) || t.Channel != own.Channel || t.Port != own.Port) return true;
        const int blocks = CArticHostWalk::Blocks(host, trkPos, [&](const _MPBLOCKINFO& b, POSITION blkPos) {
            INT64 start = 0;
            if (!TimeConvert(b.Start, kMstrTicks, 0, &start, kMstrTicks, 0)) return !(failed = true);
            const int events = CArticHostWalk::Events(host, trkPos, blkPos, [&](const tagMPEVENT& e, POSITION) {
                INT64 at = 0;
                if (!TimeConvert(e.Time, kMstrTicks, 0, &at, kMstrTicks, 0)) return !(failed = true);
                at += start;
                if (at > time) return false;
                if (e.Kind == MPEVENT_KIND_CONTROL && e.Data1 == 0) pendMsb = e.Data2;
                else if (e.Kind == MPEVENT_KIND_CONTROL && e.Data1 == 32) pendLsb = e.Data2;
                else if (e.Kind == MPEVENT_KIND_PROGRAM) commit(at, e.Data1);
                else if (e.Kind == MPEVENT_KIND_VOICE) {
                    pendMsb = e.Data1;
                    pendLsb = e.Data2;
                    commit(at, e.Data3);
                } else if (e.Kind == MPEVENT_KIND_SYSEX && e.Bytes && e.Length >= 7 && e.Bytes[0] == 0x43 &&
                           e.Bytes[1] == 0x10 && e.Bytes[2] == 0x4C && e.Bytes[3] == 0x08 && e.Bytes[4] == part) {
                    if (e.Bytes[5] == 0x01) pendMsb = e.Bytes[6];
                    else if (e.Bytes[5] == 0x02) pendLsb = e.Bytes[6];
                    else if (e.Bytes[5] == 0x03) commit(at, e.Bytes[6]);
                }
                return true;
            });
            return !(failed |= events != 0);
        });
        return !(failed |= blocks != 0);
    });
    return failed || walked ? 1 : 0;
}
