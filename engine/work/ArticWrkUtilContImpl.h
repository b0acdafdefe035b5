#pragma once
// Helpers shared by the continuous-data files of CArticWrkUtil (controllers,
// pitch bend, tempo, packed parameters, block writers and slides). Not part
// of any interface.
#include <functional>
#include <vector>

#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrkCond.h"
#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilImpl.h"

namespace wrkcont {

using namespace wrkutil;

constexpr ULONG kMinTempo = 1;          // a tempo of 0 would stop the clock
constexpr ULONG kMaxTempo = 0xFFFFFF;   // the largest value three bytes hold

inline LONG BendOf(const CArticWrkEvnt* e) {
    _WRK_EVNT r;
    e->Get(r);
    return CArticWrkUtil::GetPitchBend(r);
}

inline void SetBend(CArticWrkEvnt* e, INT64 value) {
    _WRK_EVNT r;
    e->Get(r);
    CArticWrkUtil::SetPitchBend(r, short(Clamp<INT64>(value, -8192, 8191)));
    e->Set(r);
}

// The 16-bit working level of a controller inside the curve writers.
inline LONG LevelOf(const CArticWrkEvnt* e) {
    _WRK_EVNT r;
    e->Get(r);
    return CArticWrkUtil::GetEvntLevel(r);
}

inline void SetLevel(CArticWrkEvnt* e, INT64 level) {
    _WRK_EVNT r;
    e->Get(r);
    CArticWrkUtil::SetEvntLevel(r, short(Clamp<INT64>(level, -32768, 32767)));
    e->Set(r);
}

// A normal controller value again: Post2 the value 0..127, the level byte cleared.
inline void SetCcValue(CArticWrkEvnt* e, INT64 value) {
    _WRK_EVNT r;
    e->Get(r);
    CArticWrkUtil::ClearEvntLevel(r);
    r.Post2 = BYTE(Clamp<INT64>(value, 0, 127));
    e->Set(r);
}

inline bool IsBend(const CArticWrkEvnt* e) { return e && e->GetStatus() == 0xE0; }
inline bool IsCc(const CArticWrkEvnt* e, BYTE number) {
    return e && e->GetStatus() == 0xB0 && e->GetPost1() == number;
}
// Any channel's control change of the number (status high nibble 0xB).
inline bool IsCcNibble(const CArticWrkEvnt* e, BYTE number) {
    return e && (e->GetStatus() & 0xF0) == 0xB0 && e->GetPost1() == number;
}
inline bool IsTempo(const CArticWrkEvnt* e) {
    return e && e->GetStatus() == 0xFF && e->GetMetaType() == 0x51;
}

inline ULONG ClampTempo(INT64 value) { return ULONG(Clamp<INT64>(value, kMinTempo, kMaxTempo)); }

// The 24-bit value of a tempo-format event (0 when it has no three bytes).
inline ULONG TempoOf(const CArticWrkEvnt* e) {
    const BYTE* data = nullptr;
    if (!e || e->GetMeta(nullptr, &data) < 3 || !data) return 0;
    BYTE bytes[3] = {data[0], data[1], data[2]};
    ULONG value = 0;
    CArticUtil::GetTempo(bytes, &value);
    return value;
}

// Writes a raw 24-bit value (a tempo, or a percentage inside the tempo curve writer).
inline void SetTempoBytes(CArticWrkEvnt* e, ULONG value) {
    BYTE bytes[3] = {0, 0, 0};
    CArticUtil::SetTempo(bytes, value);
    e->SetMeta(0x51, bytes, 3);
}

// Walks the non-null entries of a list; `at` is the node of `evnt`.
struct Cursor {
    CArticWrkEvntList* list;
    POSITION pos;
    POSITION at = nullptr;
    CArticWrkEvnt* evnt = nullptr;
    explicit Cursor(CArticWrkEvntList* l) : list(l), pos(l->GetHeadPosition()) { Advance(); }
    void Advance() {
        evnt = nullptr;
        while (pos && !evnt) {
            at = pos;
            evnt = list->GetNext(pos);
        }
    }
};

// Unlinks an event of a list (and of its block, when the list is the
// block's) and destroys it.
inline void DestroyAt(CArticWrkEvntList* list, POSITION at, CArticWrkEvnt* e) {
    list->RemoveAt(at);
    if (e->GetPosEvnt() == at) e->SetPosEvnt(nullptr);
    delete e;
}

// Destroys the events of a time-ordered list from t1 to t2 that match; the
// walk starts at near when given (see FirstLater).
template <class Match>
int DestroyInArea(CArticWrkEvntList* list, INT64 t1, INT64 t2, Match match, POSITION near = nullptr) {
    if (!list) return 1;
    for (POSITION p = near ? FirstLater(list, t1, false, near) : list->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        if (e->GetTime() > t2) break;
        if (e->GetTime() >= t1 && match(e)) DestroyAt(list, at, e);
    }
    return 0;
}

// The last event that matches before the first one later than t (see
// FirstLater; the walk back starts there, found from near), null when none.
template <class Match>
const CArticWrkEvnt* LastBefore(CArticWrkEvntList* list, INT64 t, bool strictly, POSITION near, Match match) {
    POSITION end = FirstLater(list, t, strictly, near);
    POSITION p = end ? end : list->GetTailPosition();
    if (end) list->GetPrev(p);
    while (p) {
        const CArticWrkEvnt* e = list->GetPrev(p);
        if (match(e)) return e;
    }
    return nullptr;
}

// New events of a curve that never reached the block belong to nobody once
// their list goes.
inline void FreeUnplaced(CArticWrkEvntList& list) {
    for (POSITION p = list.GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list.GetNext(p);
        if (e && !e->GetPosEvnt()) delete e;
    }
    list.RemoveAll();
}

// Ends a curve merge: the curve points that stood in for existing events leave
// the list, and the rest take their places in the block.
inline void PlaceCurvePoints(CArticWrkBlk* blk, CArticWrkEvntList* curveList, const std::vector<POSITION>& dropped) {
    for (POSITION at : dropped) curveList->RemoveAt(at);
    for (POSITION p = curveList->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = curveList->GetNext(p);
        if (e) blk->Sort(e, 1);
    }
}

// The events after (dir > 0) or before (dir < 0) an event in number order,
// over every track. Steps from slot to slot while numbers match their slots
// and counts from the start otherwise, so a walk is linear in its length.
class NumberWalk {
public:
    NumberWalk(CArticWrk* wrk, ULONG start, int dir) : m_pWrk(wrk), m_Start(start), m_Cursor(start), m_Dir(dir) {}
    CArticWrkEvnt* Next() {
        ++m_Count;
        if (!m_Counting) {
            CArticWrkEvnt* e = m_Dir > 0 ? m_pWrk->GetNextEvntInEvntPosArray(m_Cursor, 0)
                                         : m_pWrk->GetPrevEvntInEvntPosArray(m_Cursor, 0);
            if (!e) return nullptr;
            const ULONG n = e->GetEvntNo();
            if (m_Dir > 0 ? n > m_Cursor : n < m_Cursor) {
                m_Cursor = n;
                return e;
            }
            m_Counting = true;
        }
        return m_Dir > 0 ? m_pWrk->GetNextEvntInEvntPosArray(m_Start, m_Count, 0)
                         : m_pWrk->GetPrevEvntInEvntPosArray(m_Start, m_Count, 0);
    }

private:
    CArticWrk* m_pWrk;
    ULONG m_Start, m_Cursor;
    int m_Dir;
    int m_Count = 0;
    bool m_Counting = false;
};

// The end of a change from t: one tick before the song's next tempo change,
// or the last representable time when there is none.
inline INT64 TempoChangeEnd(CArticWrkBlk* blk, INT64 t) {
    CArticWrkCond* cond = blk ? blk->GetCond() : nullptr;
    CArticWrkEvnt* next = nullptr;
    if (!cond || cond->GetNextEvntTempo(t, &next) != 0 || !next) return kWrkNoTime - 1;
    const INT64 nt = next->GetTime();
    return nt <= 1 ? nt : nt - 1;
}

// A new bend event of blk at time (not yet in its list): 0 or the creation's code.
inline int NewBendEvnt(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, INT64 value, CArticWrkEvnt** out) {
    int rc = CArticWrkUtil::CreateWrkEvnt(wrk, blk, out);
    if (rc != 0) return rc;
    (*out)->SetStatus(0xE0);
    (*out)->SetTime(time, 1);
    SetBend(*out, value);
    return 0;
}

// Collects the block's events of one kind from tStart to tEnd into list, and
// makes the list begin at tStart and end at tEnd: a missing end gets a new
// event (placed in the block) repeating the value in force there, initial when
// no event of the kind comes before it.
template <class Value, class IsKind, class ValueOf, class MakeEvnt>
int GatherAreaWithEnds(CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 tStart, INT64 tEnd, Value initial,
                       IsKind isKind, ValueOf valueOf, MakeEvnt make) {
    Value before = initial, running = initial;
    bool atStart = false, atEnd = false;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (!isKind(e)) continue;
        const INT64 t = e->GetTime();
        if (t < tStart) {
            before = running = valueOf(e);
        } else if (t <= tEnd) {
            list->AddTail(e);
            running = valueOf(e);
            atStart = atStart || t == tStart;
            atEnd = atEnd || t == tEnd;
        }
    }
    CArticWrkEvnt* e = nullptr;
    if (!atStart) {
        int rc = make(tStart, before, &e);
        if (rc != 0 || !e) return rc;
        blk->Sort(e, 1);
        list->AddHead(e);
    }
    if (!atEnd) {
        int rc = make(tEnd, running, &e);
        if (rc != 0 || !e) return rc;
        blk->Sort(e, 1);
        list->AddTail(e);
    }
    return 0;
}

// The control changes of one number from t1 to t2 around evnt, in the order
// of the bend area queries (evnt, forward, backward; front marks the
// backward finds); take returns false to end the walk.
int VisitAreaCc(CArticWrk* wrk, CArticWrkEvnt* evnt, INT64 t1, INT64 t2, BYTE number,
                const std::function<bool(CArticWrkEvnt*, bool)>& take);
// Keeps the first and the last of a block's events and every one at least
// reso ticks after the one kept before it; the others leave the block.
void Thin(CArticWrkBlk* blk, const std::vector<CArticWrkEvnt*>& events, WORD reso);
// Merges a library list into the existing events of the same kind, both in
// time order: at a shared time the library value is added to the existing one
// and the library event dropped; elsewhere each side's event gets the other
// side's last value added. Library events left over join the block. libOffset
// shifts every library value before it is used.
int MergeLibEvnts(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* existList, CArticWrkEvntList* libList,
                  LONG (*valueOf)(const CArticWrkEvnt*), void (*setValue)(CArticWrkEvnt*, INT64), LONG libOffset);
// 3 flat, 1 rising only, 2 falling only, 0 both, over values in time order.
int Direction(double start, const std::vector<double>& values);

}  // namespace wrkcont
