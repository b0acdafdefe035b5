#include "driver/PbWhiten.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/work/ArticFngrInfo.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"
#include "engine/work/ArticWrkUtil.h"

VX_IMPLEMENT_CLASS(CTimeVal, CObject);
VX_IMPLEMENT_CLASS(CPbWhiten, CObject);

namespace {

constexpr BYTE kWhStNote = 0x90;
constexpr BYTE kWhStCc = 0xB0;
constexpr BYTE kWhStBend = 0xE0;
constexpr BYTE kWhStRpn = 0x20;
constexpr BYTE kWhStSysex = 0xF0;
constexpr BYTE kWhCcDataEntry = 6;
constexpr BYTE kWhCcRpnLsb = 100;
constexpr BYTE kWhCcRpnMsb = 101;

LONG BendOf(const CArticWrkEvnt* e) { return LONG(e->GetPost2()) * 128 + e->GetPost1() - 8192; }

// The range a KV part exclusive (43 10 4C 08 part 23 value) sets, if it is one.
bool KvRangeOf(const CArticWrkEvnt* e, LONG* range) {
    const BYTE* data = nullptr;
    const ULONG len = e->GetSys(&data);
    if (!data || len <= 6 || data[0] != 0x43 || data[1] != 0x10 || data[2] != 0x4C || data[3] != 0x08 ||
        data[5] != 0x23)
        return false;
    *range = LONG(data[6]) - 64;
    return true;
}

// The running RPN address and bend range of one part.
struct RangeState {
    BYTE msb = 127;
    BYTE lsb = 127;
    LONG range = 2;

    // Follows the event; true when it was one of the range events.
    bool Update(const CArticWrkEvnt* e) {
        switch (e->GetStatus()) {
            case kWhStCc:
                if (e->GetPost1() == kWhCcRpnMsb) msb = e->GetPost2();
                else if (e->GetPost1() == kWhCcRpnLsb) lsb = e->GetPost2();
                else if (e->GetPost1() == kWhCcDataEntry && msb == 0 && lsb == 0) range = e->GetPost2();
                else return false;
                return true;
            case kWhStRpn:
                if (e->GetPost1() != 0 || e->GetPost2() != 0) return false;
                range = e->GetPost3();
                return true;
            case kWhStSysex: return KvRangeOf(e, &range);
            default: return false;
        }
    }
};

int PartOf(const CArticWrkEvnt* e) {
    const CArticFngrInfo* f = e->GetFngrInfo();
    return f ? f->GetGen() : -1;
}

void ClearList(CArticPosList& list) {
    while (!list.IsEmpty()) delete list.RemoveHead();
}

void ClearCurve(CTimeValArray& curve) {
    for (int i = 0; i < curve.GetSize(); ++i) delete curve.GetAt(i);
    curve.RemoveAll();
}

BYTE ShiftedKey(BYTE key, int shift) { return BYTE(std::clamp(int(key) + shift, 0, 127)); }

}  // namespace

CPbWhiten::CPbWhiten() { Init(); }

void CPbWhiten::Init() {
    m_pWrk = nullptr;
    m_MinSpritTime = 85;
    m_KeySftMargin = 0.25;
    m_InputMargin = 6;
}

int CPbWhiten::KeyOffset(const CTimeValArray& curve, int i) const {
    auto semis = [&](int at) {
        const CTimeVal* p = curve.GetAt(at);
        // No range, no pitch change: never a division by zero.
        return p->GetRange() == 0 ? 0.0 : p->GetValue() / (8192.0 / p->GetRange());
    };
    const double s = semis(i);
    bool falling = false;
    if (i > 0) falling = s < semis(i - 1);
    else if (curve.GetSize() > 1) falling = semis(1) < s;
    const double h = s >= 0 ? 0.5 : -0.5;
    return int(std::trunc(falling ? s + h - m_KeySftMargin : s + h + m_KeySftMargin));
}

int CPbWhiten::WhitenPBtoKey() {
    CArticWrkTrkList* trks = m_pWrk ? m_pWrk->GetTrkList() : nullptr;
    if (!trks) return 1;
    CArticPosList lists[kPartCount];
    LONG bend[kPartCount] = {};
    RangeState state[kPartCount];
    auto clearAll = [&]() {
        for (CArticPosList& l : lists) ClearList(l);
    };
    for (POSITION t = trks->GetHeadPosition(); t;) {
        const POSITION trkPos = t;
        CArticWrkTrk* trk = trks->GetNext(t);
        if (!trk || !trk->GetSelTrk()) continue;
        CArticWrkBlkList* blks = trk->GetBlkList();
        for (POSITION b = blks ? blks->GetHeadPosition() : nullptr; b;) {
            const POSITION blkPos = b;
            CArticWrkBlk* blk = blks->GetNext(b);
            CArticWrkEvntList* evnts = blk ? blk->GetEvntList() : nullptr;
            if (!evnts) {
                clearAll();
                return 1;
            }
            for (POSITION e = evnts->GetHeadPosition(); e;) {
                const POSITION evntPos = e;
                CArticWrkEvnt* evnt = evnts->GetNext(e);
                const int part = evnt ? std::max(PartOf(evnt), 0) : 0;
                if (part >= kPartCount) continue;  // no such part
                auto* rec = new (std::nothrow) CArticPos(trkPos, blkPos, evntPos, evnt, nullptr);
                if (!rec) {
                    clearAll();
                    return 1;
                }
                lists[part].AddTail(rec);
            }
            for (int part = 0; part < kPartCount; ++part) {
                for (POSITION p = lists[part].GetHeadPosition(); p;) {
                    const POSITION at = p;
                    CArticWrkEvnt* evnt = lists[part].GetNext(p)->GetWrkEvnt();
                    if (!evnt || !evnt->GetFngrInfo()) continue;
                    if (evnt->GetStatus() == kWhStBend) {
                        bend[part] = BendOf(evnt);
                    } else if (evnt->GetStatus() == kWhStNote) {
                        if (int rc = WhitenPBtoKeyEachNote(&lists[part], at, bend[part], state[part].range)) {
                            clearAll();
                            return rc;
                        }
                    } else {
                        state[part].Update(evnt);
                    }
                }
            }
            clearAll();
        }
    }
    return 0;
}

int CPbWhiten::WhitenPBtoKeyEachNote(CArticPosList* list, POSITION entry, LONG bend, LONG range) {
    CArticWrkEvnt* note = list && entry ? list->GetAt(entry)->GetWrkEvnt() : nullptr;
    if (!note) return 1;
    const INT64 t0 = note->GetTime();
    const INT64 end = t0 + note->GetGateTime();
    const int part = PartOf(note);
    CTimeValArray curve;
    auto* first = new (std::nothrow) CTimeVal(t0, bend, range);
    if (!first) return 1;
    curve.Add(first);
    RangeState state;
    state.range = range;
    bool after = false;
    int result = 0;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p)->GetWrkEvnt();
        if (!e) continue;
        if (e == note) {
            after = true;
            continue;
        }
        if (e->GetTime() > end - m_MinSpritTime) break;
        if (after && e->GetStatus() == kWhStNote) break;
        if (PartOf(e) != part) continue;
        if (e->GetStatus() == kWhStBend) {
            if (!after) continue;
            auto* point = new (std::nothrow) CTimeVal(e->GetTime(), BendOf(e), state.range);
            if (!point) {
                result = 1;
                break;
            }
            curve.Add(point);
        } else {
            state.Update(e);
        }
    }
    if (result == 0) {
        CArticIndexList indexes;
        result = WhitenPB_MakePosListCrosHf(&curve, &indexes);
        result |= WhitenPB_SeparateNote(note, &curve, &indexes);
    }
    ClearCurve(curve);
    return result;
}

int CPbWhiten::WhitenPB_MakePosListCrosHf(const CTimeValArray* curve, CArticIndexList* indexes) {
    if (!curve || !indexes || curve->GetSize() == 0) return 1;
    indexes->clear();
    const int n = curve->GetSize();
    if (n == 1) {
        indexes->push_back(0);
        return 0;
    }
    indexes->push_back(n - 1);
    for (int i = n - 1; i >= 1; --i)
        if (i != n - 1 && KeyOffset(*curve, i - 1) != KeyOffset(*curve, i)) indexes->push_back(i);
    indexes->push_back(0);
    return 0;
}

int CPbWhiten::WhitenPB_SeparateNote(CArticWrkEvnt* note, const CTimeValArray* curve, const CArticIndexList* indexes) {
    if (!note || !curve || !indexes) return 1;
    const INT64 t0 = note->GetTime();
    INT64 end = t0 + note->GetGateTime();
    const int m = int(indexes->size());
    const int n = curve->GetSize();
    if (m < 2) return 0;
    int shift = 0;
    bool chosen = false;
    int result = 0;
    for (int k = 1; k < m; ++k) {
        const int a = (*indexes)[k - 1];
        const int b = (*indexes)[k];
        if (a < 0 || a >= n || b < 0 || b >= n) return 1;
        const int qa = KeyOffset(*curve, a);
        shift = chosen ? std::max(shift, qa) : qa;
        chosen = true;
        const INT64 ta = curve->GetAt(a)->GetTime();
        if (ta - curve->GetAt(b)->GetTime() <= m_MinSpritTime) continue;
        int split = a;
        result |= CalcCrvStart(curve, b, a, &split);
        if (split < 0 || split >= n) return 1;
        const INT64 ts = curve->GetAt(split)->GetTime();
        if (split != a && ta - ts <= m_MinSpritTime) continue;
        // A split that keeps the key on both sides would only strike the
        // note again: the pitch must change there.
        if (end - ts > m_MinSpritTime && ts - t0 > m_MinSpritTime && shift != KeyOffset(*curve, b)) {
            result |= ExecSeparateNote(note, ts, shift);
            if (result == 0) {
                shift = KeyOffset(*curve, b);
                end = ts;
            }
        }
    }
    if (shift != 0) note->SetPost1(ShiftedKey(note->GetPost1(), shift));
    return result;
}

int CPbWhiten::ExecSeparateNote(CArticWrkEvnt* note, INT64 t, int shift) {
    if (!note) return 1;
    const INT64 t0 = note->GetTime();
    const INT64 head = t - t0;
    const INT64 tail = t0 + note->GetGateTime() - t;
    CArticWrkBlk* blk = note->GetOwner();
    if (head <= 0 || tail <= 0 || !blk) return 1;
    CArticWrkEvnt* split = nullptr;
    if (CArticWrkUtil::CreateWrkEvnt(blk, &split) || !split) return 1;
    *split = *note;
    split->SetTime(t, 1);
    split->SetGateTime(tail);
    split->SetPbWhiten(1);
    split->SetPost1(ShiftedKey(note->GetPost1(), shift));
    if (!blk->Sort(split, 1)) {
        delete split;
        return 1;
    }
    note->SetGateTime(head);
    return 0;
}

int CPbWhiten::CalcCrvStart(const CTimeValArray* curve, int first, int last, int* split) {
    const int n = curve ? curve->GetSize() : 0;
    if (!split || first < 0 || first >= n || last < 0 || last >= n) return 1;
    if (last == first || last == 1 || last == 2) return 0;
    const CTimeVal* pf = curve->GetAt(first);
    const CTimeVal* pl = curve->GetAt(last);
    if (!pf || !pl) return 1;
    const LONG vFirst = pf->GetValue();
    const LONG vLast = pl->GetValue();
    const INT64 tLast = pl->GetTime();
    INT64 prev = tLast, runStart = tLast, moving = tLast;
    bool seen = false;
    for (int i = first; i <= last; ++i) {
        const CTimeVal* p = curve->GetAt(i);
        if (!p) return 1;
        const INT64 t = p->GetTime();
        const LONG v = p->GetValue();
        const bool isMoving = (vLast < vFirst && v > vLast) || (vLast >= vFirst && v < vLast);
        if (isMoving) {
            *split = i;
            moving = t;
            if (!seen) runStart = t;
            seen = true;
        } else if (t < moving - m_InputMargin) {
            if (!(tLast - prev < 2 * (tLast - runStart))) *split = i;
            break;
        } else {
            *split = i;
        }
        prev = t;
    }
    return 0;
}
