// The song bridge's reading of single song events: time conversion, the event
// filter of the song walk, one host event into one work event, the last RPN
// address, selection look-ups, host memory and time ranges.
#include <algorithm>
#include <cstring>

#include "driver/ArticEditorMgr.h"
#include "driver/ArticEditorUtil.h"
#include "driver/ArticHostWalk.h"
#include "driver/ArticView.h"
#include "driver/VeloSens.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"

namespace {

struct KindStatus {
    DWORD kind;
    BYTE status;
};

const KindStatus kKindStatus[] = {
    {MPEVENT_KIND_NRPN, 0x10},      {MPEVENT_KIND_RPN, 0x20},        {MPEVENT_KIND_VOICE, 0x30},
    {MPEVENT_KIND_NOTEOFF, 0x80},   {MPEVENT_KIND_NOTE, 0x90},       {MPEVENT_KIND_KEYAFT, 0xA0},
    {MPEVENT_KIND_CONTROL, 0xB0},   {MPEVENT_KIND_PROGRAM, 0xC0},    {MPEVENT_KIND_CHANAFT, 0xD0},
    {MPEVENT_KIND_PITCHBEND, 0xE0}, {MPEVENT_KIND_SYSEX, 0xF0},      {MPEVENT_KIND_SYSEX_CONT, 0xF7},
    {MPEVENT_KIND_VARDATA, 0x50},   {MPEVENT_KIND_META, 0xFF},       {MPEVENT_KIND_CLIP, 0x40},
};

// Words at the start of a text event that name what a track plays.
struct TrkAttrWord {
    const char* word;
    LONG attr;
};

const TrkAttrWord kTrkAttrWords[] = {
    {"Piano-R", 1}, {"Piano-L", 2}, {"Melody", 3}, {"Bass", 4}, {"Drum", 5},
};

constexpr BYTE kMetaText = 0x01;
constexpr BYTE kMetaMeter = 0x58;
constexpr BYTE kMetaKey = 0x59;
constexpr BYTE kCcRpnLsb = 100;
constexpr BYTE kCcRpnMsb = 101;
constexpr BYTE kCcDataEntry = 6;
constexpr INT64 kHostTicks = MPTIME_FORMAT_TICKS;

LONG TrkAttrOfText(const BYTE* text, DWORD length) {
    for (const TrkAttrWord& w : kTrkAttrWords) {
        const size_t n = std::strlen(w.word);
        if (length >= n && std::memcmp(text, w.word, n) == 0) return w.attr;
    }
    return 0;
}

// The KV exclusive that sets a part's pitch-bend range: 43 10 4C 08 part 23 ...
bool IsKvBendRange(const tagMPEVENT& e) {
    static const BYTE kHead[] = {0x43, 0x10, 0x4C, 0x08};
    return e.Kind == MPEVENT_KIND_SYSEX && e.Bytes && e.Length >= 7 && std::memcmp(e.Bytes, kHead, 4) == 0 &&
           e.Bytes[5] == 0x23;
}

bool PassesAlways(const tagMPEVENT& e) {
    switch (e.Kind) {
        case MPEVENT_KIND_RPN: return e.Data1 == 0 && e.Data2 == 0;
        case MPEVENT_KIND_CONTROL: return e.Data1 == kCcRpnLsb || e.Data1 == kCcRpnMsb || e.Data1 == kCcDataEntry;
        case MPEVENT_KIND_PITCHBEND: return true;
        case MPEVENT_KIND_SYSEX: return IsKvBendRange(e);
        case MPEVENT_KIND_META:
            return e.Bytes && e.Length > 0 && (e.Bytes[0] == kMetaMeter || e.Bytes[0] == kMetaKey);
        default: return false;
    }
}

}  // namespace

// ---------------------------------------------------------------- time

int CArticEditorUtil::TimeConvert(INT64 value, DWORD fromFormat, DWORD fromFlag, INT64* out, DWORD toFormat,
                                  DWORD toFlag) {
    if (!s_pView || !s_pEditorMgr || !out) return 0;
    const LONG multiplier = s_pEditorMgr->GetClientBeatMul();
    INT64 converted = 0;
    if (multiplier == 0 || !s_pView->ConvertTime(value, fromFormat, fromFlag, &converted, toFormat, toFlag)) return 0;
    *out = converted / multiplier;
    return 1;
}

int CArticEditorUtil::TimeConvert(LONG value, LONG* out) {
    if (!s_pEditorMgr || !out) return 0;
    const LONG multiplier = s_pEditorMgr->GetClientBeatMul();
    if (multiplier == 0) return 0;
    *out = value / multiplier;
    return 1;
}

int CArticEditorUtil::TimeToMeas(INT64 time, DWORD format, DWORD flag, LONG* meas, LONG* beat, LONG* tick) {
    if (!s_pView || !s_pEditorMgr) return 0;
    return s_pView->TimeToMeas(time, format, flag, meas, beat, tick);
}

int CArticEditorUtil::MeasToTime(LONG meas, LONG beat, LONG tick, INT64* time, DWORD format, DWORD flag) {
    if (!s_pView || !s_pEditorMgr) return 0;
    return s_pView->MeasToTime(meas, beat, tick, time, format, flag);
}

// ---------------------------------------------------------------- single events

BYTE CArticEditorUtil::CheckStatus(DWORD kind) {
    for (const KindStatus& k : kKindStatus)
        if (k.kind == kind) return k.status;
    return 0;
}

int CArticEditorUtil::IsConvWrkEvnt(tagMPEVENT* e, INT64 blkStart, int keepAll) {
    if (!e) return 0;
    INT64 time = 0;
    if (!TimeConvert(e->Time, kHostTicks, 0, &time, kHostTicks, 0)) return 0;
    const INT64 firstNoteOn = s_pEditorMgr ? s_pEditorMgr->GetFirstNoteOnTime() : 0;
    if (blkStart + time < firstNoteOn) return 0;

    const bool note = e->Kind == MPEVENT_KIND_NOTE || (!keepAll && e->Kind == MPEVENT_KIND_NOTEOFF);
    if (!note) {
        if (keepAll) return e->Kind == MPEVENT_KIND_NOTEOFF ? 0 : 1;
        return PassesAlways(*e) ? 1 : 0;
    }
    if (s_VeloLimit && int(e->Data2) <= s_VeloThreshold) return 0;
    if (s_VeloRest) e->Data2 = 64;
    return 1;
}

int CArticEditorUtil::ConvWrkEvnt(const tagMPEVENT* e, CArticWrkEvnt* w, INT64 blkStart, int* skip, int) {
    if (skip) *skip = 0;
    if (!e || !w) return 1;
    CArticUtil::YieldMessage();
    INT64 inBlk = 0;
    if (!TimeConvert(e->Time, kHostTicks, 0, &inBlk, kHostTicks, 0)) return 1;
    const INT64 time = blkStart + inBlk;
    const BYTE status = CheckStatus(e->Kind);
    // Exclusives and meta events keep their own song tick through the
    // engine's coarser time while nothing moves them.
    const LONG m = s_pEditorMgr ? s_pEditorMgr->GetClientBeatMul() : 0;
    const INT64 rest = m > 0 && e->Time >= 0 ? e->Time - inBlk * m : 0;
    auto keepSongTick = [&] {
        if (rest > 0 && rest < m) w->SetSongTickRest(LONG(rest));
    };

    switch (e->Kind) {
        case MPEVENT_KIND_NOTE: {
            LONG gate = 0;
            if (!TimeConvert(e->Duration, &gate)) return 1;
            BYTE velo = e->Data2;
            CVeloSens* sens = s_pView ? s_pView->GetVeloSens() : nullptr;
            if (sens) velo = sens->GetConvVal(inBlk, velo);
            w->SetStatus(status);
            w->SetTime(time, 1);
            w->SetGateTime(gate);
            w->SetPost1(e->Data1);
            w->SetPost2(velo);
            w->SetPost3(e->Data3);
            w->SetPost4(e->Data4);
            return 0;
        }
        case MPEVENT_KIND_SHORT_OTHER:
        case MPEVENT_KIND_NOTE_SYSEX:
            // Nothing a work event can hold: the caller drops it.
            if (skip) *skip = 1;
            return 0;
        case MPEVENT_KIND_SYSEX:
        case MPEVENT_KIND_SYSEX_CONT:
        case MPEVENT_KIND_VARDATA:
        case MPEVENT_KIND_CLIP:
            w->SetStatus(status);
            w->SetTime(time, 1);
            w->SetMeta(0, e->Bytes, e->Bytes ? e->Length : 0);
            keepSongTick();
            return 0;
        case MPEVENT_KIND_META: {
            if (!e->Bytes || e->Length == 0) {
                if (skip) *skip = 1;
                return 0;
            }
            w->SetStatus(status);
            w->SetTime(time, 1);
            w->SetMeta(e->Bytes[0], e->Bytes + 1, e->Length - 1);
            keepSongTick();
            const LONG attr = e->Bytes[0] == kMetaText ? TrkAttrOfText(e->Bytes + 1, e->Length - 1) : 0;
            CArticWrkBlk* blk = w->GetOwner();
            CArticWrkTrk* trk = blk ? blk->GetOwner() : nullptr;
            if (attr && trk) trk->SetTrkAttr(attr);
            return 0;
        }
        default:
            w->SetStatus(status);
            w->SetTime(time, 1);
            w->SetPost1(e->Data1);
            w->SetPost2(e->Data2);
            w->SetPost3(e->Data3);
            w->SetPost4(e->Data4);
            return 0;
    }
}

void CArticEditorUtil::CheckLastMultiStatusEvnt(const CArticWrkEvnt* w) {
    if (!w || w->GetStatus() != 0xB0) return;
    if (w->GetPost1() == kCcRpnMsb) s_LastRpnMsb = w->GetPost2();
    else if (w->GetPost1() == kCcRpnLsb) s_LastRpnLsb = w->GetPost2();
}

// ---------------------------------------------------------------- selections and host memory

int CArticEditorUtil::FindSelection(const CArticPosList* list, POSITION trk) {
    for (POSITION pos = list ? list->GetHeadPosition() : nullptr; pos;) {
        const CArticPos* item = list->GetNext(pos);
        if (item->GetTrk() && item->GetBlk() && item->GetTrk() == trk) return 1;
    }
    return 0;
}

int CArticEditorUtil::FindEvnt(const CArticPosList* list, POSITION trk, POSITION blk, POSITION evnt) {
    for (POSITION pos = list ? list->GetHeadPosition() : nullptr; pos;) {
        const CArticPos* item = list->GetNext(pos);
        if (!item->GetTrk() && !item->GetBlk() && !item->GetEvnt()) continue;
        if (item->GetTrk() == trk && item->GetBlk() == blk && item->GetEvnt() == evnt) return 1;
    }
    return 0;
}

CArticSelSet::CArticSelSet(const CArticPosList* list) {
    for (POSITION pos = list ? list->GetHeadPosition() : nullptr; pos;) {
        const CArticPos* item = list->GetNext(pos);
        // An entry that names nothing answers no question.
        if (!item->GetTrk() && !item->GetBlk() && !item->GetEvnt()) continue;
        m_Keys.insert(Key{item->GetTrk(), item->GetBlk(), item->GetEvnt()});
    }
}

int CArticSelSet::Find(POSITION trk, POSITION blk, POSITION evnt) const {
    return m_Keys.count(Key{trk, blk, evnt}) ? 1 : 0;
}

void CArticEditorUtil::FreeMemEvnt(tagMPEVENT* e) {
    if (e) CArticHostWalk::FreeMem(*e);
}

void CArticEditorUtil::FreeMemBlk(_MPBLOCKINFO* b) {
    if (b) CArticHostWalk::FreeMem(*b);
}

void CArticEditorUtil::FreeMemTrk(_MPTRACKINFO* t) {
    if (t) CArticHostWalk::FreeMem(*t);
}

// ---------------------------------------------------------------- time ranges

void CArticEditorUtil::SetTimeRangeList(CArticTimeRangeList* list, INT64 start, INT64 end) {
    if (!list) return;
    for (CArticTimeRange& r : *list) {
        if (r.Start == start && r.End == end) return;
        if (start >= r.Start && start <= r.End) {
            r.End = std::max(r.End, end);
            return;
        }
        if (end >= r.Start && end <= r.End) {
            r.Start = std::min(r.Start, start);
            return;
        }
        if (start <= r.Start && end >= r.End) {
            r = {start, end};
            return;
        }
    }
    list->push_back({start, end});
}

void CArticEditorUtil::ClearTimeRangeList(CArticTimeRangeList* list) {
    if (list) list->clear();
}

void CArticEditorUtil::SortTimeList(CArticTimeList* source, CArticTimeList* target) {
    if (!source || !target) return;
    target->insert(target->end(), source->begin(), source->end());
    source->clear();
    std::sort(target->begin(), target->end());
    target->erase(std::unique(target->begin(), target->end()), target->end());
}
