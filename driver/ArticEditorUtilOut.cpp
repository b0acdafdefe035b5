// The write-back: the converted work data into the song through the host
// interface, under the song's exclusive lock.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "driver/ArticEditorMgr.h"
#include "driver/ArticEditorUtil.h"
#include "services/ArticErr.h"
#include "driver/ArticHostWalk.h"
#include "services/ArticPref.h"
#include "driver/ArticView.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"
#include "platform/Memory.h"
#include "platform/Messages.h"
#include "platform/Text.h"

CArticPosList* CArticEditorUtil::s_pFirstBlk = nullptr;
int CArticEditorUtil::s_ResetEvnt = 0;
int CArticEditorUtil::s_MstrDelMode = 3;
int CArticEditorUtil::s_MstrOutMode = 3;
int CArticEditorUtil::s_OutCount = 0;

namespace {

constexpr DWORD kOutTicks = MPTIME_FORMAT_TICKS;
constexpr BYTE kOutMetaTempo = 0x51;
constexpr BYTE kOutMetaMeter = 0x58;
// Track record fields the write-back sets: port, channel and the write-out flag.
constexpr DWORD kOutTrkFields = MP_FIELD_PORT | MP_FIELD_CHANNEL | MP_FIELD_STATE2;
constexpr ULONG kOutNoPort = 0xFFFFFFFF;

bool OutIsTempo(const tagMPEVENT& e) {
    return e.Kind == MPEVENT_KIND_META && e.Bytes && e.Length > 0 && e.Bytes[0] == kOutMetaTempo;
}
bool OutIsMeter(const tagMPEVENT& e) {
    return e.Kind == MPEVENT_KIND_META && e.Bytes && e.Length > 0 && e.Bytes[0] == kOutMetaMeter;
}
bool OutIsWrkMeta(const CArticWrkEvnt* e, BYTE type) { return e->GetStatus() == 0xFF && e->GetMetaType() == type; }

DWORD OutKindOf(BYTE status) {
    switch (status) {
        case 0x10: return MPEVENT_KIND_NRPN;
        case 0x20: return MPEVENT_KIND_RPN;
        case 0x30: return MPEVENT_KIND_VOICE;
        case 0xF0: return MPEVENT_KIND_SYSEX;
        case 0xFF: return MPEVENT_KIND_META;
        default: break;
    }
    switch (status & 0xF0) {
        case 0x90: return MPEVENT_KIND_NOTE;
        case 0xA0: return MPEVENT_KIND_KEYAFT;
        case 0xB0: return MPEVENT_KIND_CONTROL;
        case 0xC0: return MPEVENT_KIND_PROGRAM;
        case 0xD0: return MPEVENT_KIND_CHANAFT;
        case 0xE0: return MPEVENT_KIND_PITCHBEND;
        default: return 0;
    }
}

// The record's variable data: [type,] data in task memory. false without memory.
bool OutStoreBytes(tagMPEVENT* out, const BYTE* type, const BYTE* data, ULONG len) {
    const ULONG total = len + (type ? 1 : 0);
    if (total == 0) {
        out->Bytes = nullptr;
        out->Length = 0;
        return true;
    }
    auto* mem = static_cast<BYTE*>(CoTaskMemAlloc(total));
    if (!mem) return false;
    ULONG at = 0;
    if (type) mem[at++] = *type;
    if (len && data) std::memcpy(mem + at, data, len);
    out->Bytes = mem;
    out->Length = total;
    return true;
}

// The song ticks an unmoved exclusive or meta event had below the engine's
// step: it goes back to its own tick.
INT64 OutSongTickRest(const CArticWrkEvnt* e, LONG m) {
    const LONG rest = e->GetSongTickRest();
    return rest > 0 && rest < m ? rest : 0;
}

void OutFreeBytes(tagMPEVENT& e) {
    if (IsVariableMPEventKind(e.Kind)) CoTaskMemFree(e.Bytes);
    e.Bytes = nullptr;
}

// The write-back's failures go to the error list and the message sink; the
// conversion thread never waits on a box.
void OutReport(const char* text, const char* method) {
    CArticErr::Set(kArticErrKindError, text, "CArticEditorUtil", method, "");
    ShowMessage(text, "Phrasor", MB_OK | MB_ICONWARNING);
}

}  // namespace

// ---------------------------------------------------------------- lists

void CArticEditorUtil::ClearPosList(CArticPosList* list) {
    if (!list) return;
    while (!list->IsEmpty()) delete list->RemoveHead();
}

void CArticEditorUtil::CopyPosList(const CArticPosList* from, CArticPosList* to) {
    if (!from || !to) return;
    for (POSITION p = from->GetHeadPosition(); p;) {
        const CArticPos* src = from->GetNext(p);
        if (!src) continue;
        auto* copy = new CArticPos();
        *copy = *src;
        to->AddTail(copy);
    }
}

void CArticEditorUtil::AddOutEvnt(POSITION trk, POSITION blk, POSITION evnt) {
    if (s_pEditorMgr) s_pEditorMgr->AddOutEvnt(trk, blk, evnt);
}

void CArticEditorUtil::ClearOutEvntList() {
    if (s_pEditorMgr) s_pEditorMgr->ClearOutEvntList();
}

int CArticEditorUtil::DeleteOutEvnt(CKPSManager* host) { return s_pEditorMgr ? s_pEditorMgr->DeleteOutEvnt(host) : 1; }

void CArticEditorUtil::InitMeasTempoInfo() {
    if (!s_pEditorMgr) return;
    s_pEditorMgr->SetIsMeas(0);
    s_pEditorMgr->SetMeasTrk(nullptr);
    s_pEditorMgr->SetMeasBlk(nullptr);
    s_pEditorMgr->SetMeasEvnt(nullptr);
    s_pEditorMgr->SetIsTempo(0);
    s_pEditorMgr->SetTempoTrk(nullptr);
    s_pEditorMgr->SetTempoBlk(nullptr);
    s_pEditorMgr->SetTempoEvnt(nullptr);
}

POSITION CArticEditorUtil::GetBlkID(CKPSManager* host, POSITION trk, int n) {
    POSITION found = nullptr;
    int i = 0;
    CArticHostWalk::Blocks(host, trk, [&](const _MPBLOCKINFO&, POSITION at) {
        if (i++ == n) found = at;
        return found == nullptr;
    });
    return found;
}

int CArticEditorUtil::IsOutMstrTrk() {
    const CArticPrefSetting* setting = s_pPref ? s_pPref->GetSetting() : nullptr;
    return setting ? setting->GetMstrMode() : 0;
}

bool CArticEditorUtil::MstrModeTakes(int mode, bool tempo) {
    switch (mode) {
        case 1: return !tempo;
        case 2: return tempo;
        case 3: return true;
        default: return false;
    }
}

// ---------------------------------------------------------------- the conductor

int CArticEditorUtil::LoadMstrTrk(CKPSManager* host, CArticPosList* list) {
    if (!host || !list) return 1;
    const POSITION trk = GetTrkID(host, 0);
    const POSITION blk = trk ? GetBlkID(host, trk, 0) : nullptr;
    if (!blk) return 1;
    return CArticHostWalk::Events(host, trk, blk, [&](const tagMPEVENT& e, POSITION at) {
        auto* pos = new CArticPos(trk, blk, at);
        pos->Set(&e);
        list->AddTail(pos);
        return true;
    });
}

int CArticEditorUtil::CheckBlk(CArticWrkTrk* trk, CKPSManager* host, POSITION songTrk) {
    CArticWrkBlkList* blks = trk ? trk->GetBlkList() : nullptr;
    if (!blks || !host || !songTrk) return 1;
    POSITION wp = blks->GetHeadPosition();
    int failed = 0;
    CArticHostWalk::Blocks(host, songTrk, [&](const _MPBLOCKINFO& b, POSITION at) {
        if (!wp) return false;
        blks->GetNext(wp);
        INT64 start = 0;
        if (!TimeConvert(b.Start, kOutTicks, 0, &start, kOutTicks, 0) || CheckEvnt(host, songTrk, at, start))
            failed = 1;
        return !failed;
    });
    return failed;
}

int CArticEditorUtil::CheckEvnt(CKPSManager* host, POSITION songTrk, POSITION songBlk, INT64 blkStart) {
    CArticEditorMgr* mgr = s_pEditorMgr;
    if (!mgr || !host) return 1;
    int failed = 0;
    const int walked = CArticHostWalk::Events(host, songTrk, songBlk, [&](const tagMPEVENT& e, POSITION at) {
        INT64 t = 0;
        if (!TimeConvert(e.Time, kOutTicks, 0, &t, kOutTicks, 0)) return !(failed = 1);
        if (blkStart + t != 0) return false;
        if (OutIsMeter(e) && !mgr->GetIsMeas()) {
            mgr->SetIsMeas(1);
            mgr->SetMeasTrk(songTrk);
            mgr->SetMeasBlk(songBlk);
            mgr->SetMeasEvnt(at);
        } else if (OutIsTempo(e) && !mgr->GetTempoEvnt()) {
            mgr->SetTempoTrk(songTrk);
            mgr->SetTempoBlk(songBlk);
            mgr->SetTempoEvnt(at);
        }
        return true;
    });
    if (mgr->GetTempoEvnt()) mgr->SetIsTempo(1);
    return failed || walked ? 1 : 0;
}

int CArticEditorUtil::ClearBlk(CKPSManager* host, POSITION songTrk) {
    if (!host || !songTrk) return 1;
    std::vector<POSITION> blks;
    if (CArticHostWalk::Blocks(host, songTrk, [&](const _MPBLOCKINFO&, POSITION at) {
            blks.push_back(at);
            return true;
        }))
        return 1;
    for (POSITION blk : blks)
        if (DeleteEvnt(host, songTrk, blk)) return 1;
    return 0;
}

int CArticEditorUtil::DeleteEvnt(CKPSManager* host, POSITION songTrk, POSITION songBlk) {
    CArticEditorMgr* mgr = s_pEditorMgr;
    if (!mgr || !host) return 1;
    const int mode = s_MstrDelMode;
    std::vector<POSITION> doomed;
    int failed = 0;
    const int walked = CArticHostWalk::Events(host, songTrk, songBlk, [&](const tagMPEVENT& e, POSITION at) {
        if ((mgr->GetIsMeas() && at == mgr->GetMeasEvnt() && songBlk == mgr->GetMeasBlk()) ||
            (mgr->GetIsTempo() && at == mgr->GetTempoEvnt() && songBlk == mgr->GetTempoBlk()))
            return true;
        INT64 t = 0;
        if (!TimeConvert(e.Time, kOutTicks, 0, &t, kOutTicks, 0)) return !(failed = 1);
        const bool tempo = OutIsTempo(e);
        bool remove = false;
        if (t != 0) {
            remove = MstrModeTakes(mode, tempo);
        } else if (e.Kind != MPEVENT_KIND_META || !e.Bytes || e.Length == 0) {
            // What the master track writes again: every other kind in modes 1
            // and 3; mode 2 writes tempos only, so the rest stays.
            remove = mode == 1 || mode == 3;
        } else if (tempo) {
            // A second tempo at 0 goes: the remembered one takes the master's
            // value (moving it to the end of time would leave a tempo the
            // song's file cannot hold).
            remove = mode == 2 || mode == 3;
        } else {
            remove = mode == 1 || mode == 3;
        }
        if (remove) doomed.push_back(at);
        return true;
    });
    if (failed || walked) return 1;
    for (POSITION at : doomed) {
        POSITION ids[MP_ID_COUNT] = {songTrk, songBlk, at};
        if (host->Remove(MP_LEVEL_EVENT, ids) < 0) return 1;
    }
    return 0;
}

// ---------------------------------------------------------------- events

int CArticEditorUtil::GetWrkTimeRange(CArticWrk* wrk, INT64* start, INT64* end) {
    CArticWrkTrkList* trks = wrk ? wrk->GetTrkList() : nullptr;
    if (!trks) return 1;
    INT64 lo = CArticEditorMgr::kNoTime, hi = -1;
    for (POSITION t = trks->GetHeadPosition(); t;) {
        CArticWrkBlkList* blks = trks->GetNext(t)->GetBlkList();
        for (POSITION b = blks ? blks->GetHeadPosition() : nullptr; b;) {
            const CArticWrkBlk* blk = blks->GetNext(b);
            for (POSITION p = blk->GetHeadPos(); p;) {
                const CArticWrkEvnt* e = blk->GetNext(p);
                if (!e) continue;
                if ((e->GetStatus() & 0xF0) == 0x90) {
                    lo = std::min(lo, e->GetTime());
                    hi = std::max(hi, e->GetTime() + e->GetGateTime());
                    continue;
                }
                if (e->GetVceSet() && e->GetVceOtherBlk() && !blk->GetOutVceSet()) continue;
                lo = std::min(lo, e->GetTime());
                hi = std::max(hi, e->GetTime());
            }
        }
    }
    if (start) *start = lo;
    if (end) *end = hi;
    return 0;
}

int CArticEditorUtil::preproConvEvnt(CArticWrkBlk* blk, CArticWrkEvnt* e, POSITION trk, POSITION songBlk,
                                     tagMPEVENT* out, LONG ch, DWORD /*port: the track's own is used*/, int* write) {
    if (write) *write = 0;
    CArticEditorMgr* mgr = s_pEditorMgr;
    if (!blk || !e || !out || !write || !mgr) return 1;
    const LONG m = mgr->GetClientBeatMul();
    if (m == 0) return 1;
    INT64 blkStart = 0;
    if (trk && songBlk && mgr->GetBlkTimeStart(trk, songBlk, &blkStart)) return 1;

    ResetMPEvent(*out);
    const BYTE status = e->GetStatus();
    const DWORD kind = OutKindOf(status);
    if (!kind) return 0;
    out->Kind = kind;
    out->Time = (e->GetTime() - blkStart) * m;
    out->TimeFormat = kOutTicks;
    out->Channel = ch;
    switch (kind) {
        case MPEVENT_KIND_NRPN:
        case MPEVENT_KIND_RPN:
            out->Data1 = e->GetPost1();
            out->Data2 = e->GetPost2();
            out->Data3 = e->GetPost3();
            out->Data4 = e->GetPost4();
            break;
        case MPEVENT_KIND_VOICE:
            out->Data1 = e->GetPost1();
            out->Data2 = e->GetPost2();
            out->Data3 = e->GetPost3();
            break;
        case MPEVENT_KIND_NOTE:
            out->Data1 = e->GetPost1();
            out->Data2 = e->GetPost2();
            out->Data3 = 64;
            out->Duration = LONG(e->GetGateTime() * m);
            break;
        case MPEVENT_KIND_PROGRAM:
        case MPEVENT_KIND_CHANAFT: out->Data1 = e->GetPost1(); break;
        case MPEVENT_KIND_SYSEX: {
            const BYTE* data = nullptr;
            const ULONG len = e->GetSys(&data);
            if (!OutStoreBytes(out, nullptr, data, len)) return 1;
            out->Time += OutSongTickRest(e, m);
            break;
        }
        case MPEVENT_KIND_META: {
            BYTE type = 0;
            const BYTE* data = nullptr;
            const ULONG len = e->GetMeta(&type, &data);
            if (!OutStoreBytes(out, &type, data, len)) return 1;
            out->Time += OutSongTickRest(e, m);
            break;
        }
        default:
            out->Data1 = e->GetPost1();
            out->Data2 = e->GetPost2();
            break;
    }

    // A KV part message made for the track's first channel follows the track
    // to its current channel and port.
    CArticWrkTrk* wtrk = blk->GetOwner();
    if (kind == MPEVENT_KIND_SYSEX && wtrk && wtrk->GetTrkNo() != 0 && out->Bytes && out->Length > 6 &&
        out->Bytes[0] == 0x43 && (out->Bytes[1] & 0xF0) == 0x10 && out->Bytes[2] == 0x4C &&
        (out->Bytes[3] == 0x08 || out->Bytes[3] == 0x0A)) {
        CKPSManager* host = mgr->GetCEditor();
        DWORD origAdrs = 0, curAdrs = 0;
        const BYTE part = out->Bytes[4];
        if (GetPortAdrsFromPortNo(host, wtrk->GetOrigPort(), &origAdrs) == 0 &&
            GetPortAdrsFromPortNo(host, wtrk->GetPort(), &curAdrs) == 0 && (part & 0x0F) == wtrk->GetOrigCh() &&
            DWORD(part >> 4) == origAdrs)
            out->Bytes[4] = BYTE((wtrk->GetCh() & 0x0F) + 16 * (curAdrs & 0x0F));
    }

    *write = 1;
    if (e->GetVceSet() && !blk->GetOutVceSet()) {
        const bool other = mgr->GetSelMode() == 1 ? !e->GetSelVce() : e->GetVceOtherBlk() != 0;
        if (other) *write = 0;
    }
    return 0;
}

int CArticEditorUtil::ConvEvnt(CArticWrkBlk* blk, CKPSManager* host, LONG trkNo, int blkIndex) {
    if (!blk || !host) return 1;
    const POSITION trk = GetTrkID(host, trkNo);
    const POSITION songBlk = trk ? GetBlkID(host, trk, blkIndex) : nullptr;
    if (!songBlk) return 1;
    return ConvEvnt(blk, host, trk, songBlk, 0);
}

int CArticEditorUtil::ConvEvnt(CArticWrkBlk* blk, CKPSManager* host, POSITION trk, POSITION songBlk, int record) {
    CArticEditorMgr* mgr = s_pEditorMgr;
    if (!blk || !host || !trk || !songBlk || !mgr) return 1;
    CArticWrkTrk* wtrk = blk->GetOwner();
    const LONG ch = wtrk ? LONG(wtrk->GetCh()) : 0;
    const DWORD port = wtrk ? wtrk->GetPort() : 0;
    const bool master = mgr->GetIsMaster() != 0;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (!e) continue;
        if (master && !MstrModeTakes(s_MstrOutMode, OutIsWrkMeta(e, kOutMetaTempo))) continue;
        tagMPEVENT rec;
        ResetMPEvent(rec);
        int write = 0;
        if (preproConvEvnt(blk, e, trk, songBlk, &rec, ch, port, &write)) {
            OutFreeBytes(rec);
            return 1;
        }
        HRESULT hr = S_OK;
        // Only what lay at the song's very first tick takes the remembered
        // meter's or tempo's place (a tempo at tick 1 is one of its own).
        const bool atZero = master && e->GetTime() == 0 && e->GetSongTickRest() == 0;
        const bool meter0 = atZero && OutIsMeter(rec) && mgr->GetIsMeas();
        const bool tempo0 = atZero && OutIsTempo(rec) && mgr->GetIsTempo();
        if (meter0 || tempo0) {
            POSITION ids[MP_ID_COUNT] = {meter0 ? mgr->GetMeasTrk() : mgr->GetTempoTrk(),
                                         meter0 ? mgr->GetMeasBlk() : mgr->GetTempoBlk(),
                                         meter0 ? mgr->GetMeasEvnt() : mgr->GetTempoEvnt()};
            hr = host->Modify(ids, MP_LEVEL_EVENT, &rec, MP_FIELDS_ALL);
        } else if (write) {
            POSITION ids[MP_ID_COUNT] = {trk, songBlk, nullptr};
            hr = host->Insert(ids, MP_LEVEL_EVENT, &rec);
            if (hr >= 0) {
                ++s_OutCount;
                if (record) AddOutEvnt(trk, songBlk, ids[MP_ID_EVENT]);
            }
        }
        OutFreeBytes(rec);
        if (hr < 0) return 1;
    }
    return 0;
}

int CArticEditorUtil::ConvBlk(CArticWrkTrk* trk, CKPSManager* host, LONG trkNo) {
    CArticWrkBlkList* blks = trk ? trk->GetBlkList() : nullptr;
    if (!blks || !host) return 1;
    const POSITION songTrk = GetTrkID(host, trkNo);
    if (!songTrk) return 1;
    int index = 0;
    for (POSITION p = blks->GetHeadPosition(); p; ++index) {
        CArticWrkBlk* blk = blks->GetNext(p);
        const POSITION songBlk = GetBlkID(host, songTrk, index);
        if (!songBlk) break;  // the song track has no more blocks to pair with
        if (int rc = ConvEvnt(blk, host, songTrk, songBlk, 0)) return rc;
    }
    return 0;
}

int CArticEditorUtil::CreateBlk(CArticWrkTrk* trk, CKPSManager* host, CArticPosList* sel, POSITION songTrk,
                                POSITION* out, INT64 start, INT64 end) {
    CArticWrkBlkList* blks = trk ? trk->GetBlkList() : nullptr;
    const LONG m = s_pEditorMgr ? s_pEditorMgr->GetClientBeatMul() : 0;
    if (!blks || !host || !sel || !songTrk || !out || m == 0) return 1;
    *out = nullptr;
    POSITION after = nullptr;
    CArticHostWalk::Blocks(host, songTrk, [&](const _MPBLOCKINFO&, POSITION at) {
        after = at;
        return true;
    });
    for (POSITION p = blks->GetHeadPosition(); p;) {
        CArticWrkBlk* blk = blks->GetNext(p);
        _MPBLOCKINFO b;
        ResetMPBlockInfo(b);
        b.TimeFormat = kOutTicks;
        b.Start = start * m;
        b.End = end * m;
        const std::u16string name = blk->GetBlkName().IsEmpty() ? std::u16string() : Cp932ToUtf16(blk->GetBlkName());
        std::vector<char16_t> nameBuf(name.begin(), name.end());
        nameBuf.push_back(0);
        b.Name = nameBuf.data();
        POSITION ids[MP_ID_COUNT] = {songTrk, after, nullptr};
        if (host->Insert(ids, MP_LEVEL_BLOCK, &b) < 0 || !ids[MP_ID_BLOCK]) return 1;
        after = ids[MP_ID_BLOCK];
        if (!*out) *out = after;
        sel->AddTail(new CArticPos(songTrk, after, nullptr));
        if (s_pFirstBlk) s_pFirstBlk->AddTail(new CArticPos(songTrk, after, nullptr));
    }
    return *out ? 0 : 1;
}

// ---------------------------------------------------------------- the tracks

int CArticEditorUtil::WriteMaster(CArticWrkTrk* trk, CKPSManager* host) {
    CArticEditorMgr* mgr = s_pEditorMgr;
    const POSITION songTrk = GetTrkID(host, 0);
    if (!songTrk) return 0;
    mgr->SetIsMaster(1);
    mgr->SetIsMeas(0);
    mgr->SetIsTempo(0);
    s_MstrDelMode = s_MstrOutMode = IsOutMstrTrk();
    int rc = 0;
    if (s_MstrOutMode != 0) {
        rc = CheckBlk(trk, host, songTrk);
        if (!rc) rc = ClearBlk(host, songTrk);
        if (!rc) rc = ConvBlk(trk, host, 0);
    }
    mgr->SetIsMaster(0);
    s_MstrDelMode = s_MstrOutMode = 3;
    return rc;
}

int CArticEditorUtil::WriteTrack(CArticWrk* wrk, CArticWrkTrk* trk, CKPSManager* host, CArticPosList* sel,
                                 POSITION defTrk, POSITION blk, LONG* firstCh) {
    CArticEditorMgr* mgr = s_pEditorMgr;
    const POSITION target = trk->GetOrgTrkID() ? trk->GetOrgTrkID() : defTrk;
    INT64 start = 0, end = 0;
    if (GetWrkTimeRange(wrk, &start, &end)) return 1;
    mgr->SetFirstEventTime(start);
    mgr->SetLastEventTime(end);
    if (!target) return 0;
    POSITION songBlk = blk;
    if (!blk && !mgr->IsOutTrkID(target, &songBlk)) {
        if (CreateBlk(trk, host, sel, target, &songBlk, start, end)) return 1;
        mgr->AddOutEvnt(target, songBlk, nullptr);
    }
    mgr->SetIsMaster(0);
    _MPTRACKINFO rec;
    ResetMPTrackInfo(rec);
    if (CArticHostWalk::GetTrk(host, target, &rec)) return 1;
    CArticHostWalk::FreeMem(rec);
    if (*firstCh < 0) *firstCh = LONG(trk->GetOrigCh());
    if (wrk->GetCount() < 3) {
        if (rec.Channel != -1) rec.Channel = *firstCh;
    } else {
        rec.Channel = -1;
    }
    if (trk->GetPort() != kOutNoPort) {
        if (const DWORD id = GetPortIDFromPort(host, trk->GetPort())) rec.Port = LONG(id);
    }
    rec.Flags &= ~DWORD(MPTRACK_FLAG_STATE2);
    POSITION ids[MP_ID_COUNT] = {target, nullptr, nullptr};
    if (host->Modify(ids, MP_LEVEL_TRACK, &rec, kOutTrkFields) < 0) return 1;
    CArticWrkBlk* first = trk->GetCount() > 0 ? trk->Get(0) : nullptr;
    if (!first) return 0;
    first->SetMidiBlkNo(trk->GetTrkNo());
    return ConvEvnt(first, host, target, songBlk, blk ? 1 : 0);
}

int CArticEditorUtil::ConvTrkRep(CArticWrk* wrk, CKPSManager* host, CArticPosList* sel, POSITION trk, POSITION blk) {
    CArticEditorMgr* mgr = s_pEditorMgr;
    if (!s_pView || !mgr || !host) return 1;
    // What the previous write-back wrote leaves first; the tracks' channels
    // go into their selected events; the first conversion removes the
    // selected originals. Any failure stops here: the caller must not save.
    if (DeleteOutEvnt(host)) return 1;
    ClearOutEvntList();
    if (blk ? mgr->SetEvntChEvntSel() : mgr->SetEvntChBlkSel()) return 1;
    if (s_pView->IsFirstConv() && (blk ? mgr->DeleteSelectEvent() : mgr->DeleteSelectBlock())) return 1;

    CArticWrkTrkList* trks = wrk ? wrk->GetTrkList() : nullptr;
    if (!trks || !host || !sel) return 1;
    InitMeasTempoInfo();
    LONG firstCh = -1;
    bool first = true;
    for (POSITION p = trks->GetHeadPosition(); p; first = false) {
        CArticWrkTrk* wtrk = trks->GetNext(p);
        if (!wtrk) continue;
        if (first && wtrk->GetTrkNo() == 0) {
            if (WriteMaster(wtrk, host)) return 1;
            continue;
        }
        if (!wtrk->HaveNote()) continue;
        if (WriteTrack(wrk, wtrk, host, sel, trk, blk, &firstCh)) return 1;
    }
    return 0;
}

int CArticEditorUtil::ConvAllEvntRep(CArticWrk* wrk, CKPSManager* host, CArticPref* pref, CArticPosList* sel,
                                     CArticPosList* mstr, POSITION* trk, POSITION blk, int* /*flag*/) {
    CArticEditorMgr* mgr = s_pEditorMgr;
    if (!wrk || !host || !pref || !sel || !mstr || !trk || !s_pView || !mgr) return 1;
    SetPref(pref);
    if (s_pView->IsBusy()) {
        OutReport("変換中のため、変換結果をソングに書き込めません。", "ConvAllEvntRep");
        return 1;
    }
    // A refused lock is reported by the lock itself.
    if (mgr->CreateMpLock(1) != S_OK) {
        mgr->DeleteMpLock();
        return 1;
    }
    int rc = 0;
    ClearPosList(mstr);
    if (LoadMstrTrk(host, mstr)) {
        rc = 1;
    } else {
        s_OutCount = 0;
        if (!s_pFirstBlk) s_pFirstBlk = new CArticPosList();
        ClearPosList(s_pFirstBlk);
        s_ResetEvnt = 1;
        rc = ConvTrkRep(wrk, host, sel, *trk, blk);
        s_ResetEvnt = 0;
        ClearPosList(s_pFirstBlk);
        delete s_pFirstBlk;
        s_pFirstBlk = nullptr;
    }
    mgr->DeleteMpLock();
    return rc;
}
