#pragma once
// Small helpers shared by the source files of CArticWrkUtil and
// CArticWrkCrvUtil. Not part of any interface.
#include <cmath>
#include <cstdint>

#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"
#include "platform/Numbers.h"
#include "platform/Types.h"

namespace wrkutil {

constexpr char kPhase1[] = "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集時(第１段階)にｴﾗｰが発生しました。";
constexpr char kPhase2[] = "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集時(第２段階)にｴﾗｰが発生しました。";

inline bool IsNote(const CArticWrkEvnt* e) { return e && e->GetStatus() == 0x90; }
inline bool IsNoteNibble(const CArticWrkEvnt* e) { return e && (e->GetStatus() & 0xF0) == 0x90; }
inline INT64 NotNegative(INT64 t) { return t < 0 ? 0 : t; }
inline INT64 EndOf(const CArticWrkEvnt* e) { return e->GetTime() + e->GetGateTime(); }

inline CArticWrk* WrkOfBlk(const CArticWrkBlk* blk) {
    CArticWrkTrk* trk = blk ? blk->GetOwner() : nullptr;
    return trk ? trk->GetOwner() : nullptr;
}
inline CArticWrk* WrkOf(const CArticWrkEvnt* e) { return e ? WrkOfBlk(e->GetOwner()) : nullptr; }

// The position of the first event of a list later than t (at t counting as
// later unless strictly), null when none is. Without near the walk starts at
// the head. With near (a position of the list, usually the event being
// edited) it starts there and relies on the list's time order, so that an
// edit at one note costs the distance to t, not the events before it.
inline POSITION FirstLater(CArticWrkEvntList* list, INT64 t, bool strictly, POSITION near = nullptr) {
    auto later = [t, strictly](const CArticWrkEvnt* e) { return strictly ? e->GetTime() > t : e->GetTime() >= t; };
    POSITION first = nullptr;
    for (POSITION p = near ? near : list->GetHeadPosition(); p;) {
        POSITION at = p;
        const CArticWrkEvnt* e = list->GetNext(p);
        if (e && later(e)) {
            first = at;
            break;
        }
    }
    if (!near || !first) return first;
    // Later events may stand before near too: back to the first of them.
    POSITION q = first;
    list->GetPrev(q);
    while (q) {
        POSITION at = q;
        const CArticWrkEvnt* e = list->GetPrev(q);
        if (!e) continue;
        if (!later(e)) break;
        first = at;
    }
    return first;
}

template <class T>
inline T Clamp(T v, T lo, T hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Rounds half away from zero and truncates: the 64-bit result, 0 for NaN or out of range.
inline INT64 RoundAway(double v) {
    int64_t r = DoubleToInt64(v < 0 ? v - 0.5 : v + 0.5);
    return r == INT64_MIN ? 0 : r;
}
// trunc(v + 0.5) whatever the sign of v; 0 for NaN or out of range.
inline INT64 RoundUp(double v) {
    int64_t r = DoubleToInt64(v + 0.5);
    return r == INT64_MIN ? 0 : r;
}
inline LONG ToLong(INT64 v) { return LONG(Clamp<INT64>(v, INT32_MIN, INT32_MAX)); }

}  // namespace wrkutil
