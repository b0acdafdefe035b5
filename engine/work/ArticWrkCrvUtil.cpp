#include "engine/work/ArticWrkCrvUtil.h"

#include "engine/work/ArticEngineCtx.h"
#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilContImpl.h"

using namespace wrkcont;

namespace {

short RoundShort(double v) { return short(Clamp<INT64>(RoundAway(v), -32768, 32767)); }

}  // namespace

short CArticWrkCrvUtil::CalcPitchCrvLevel(INT64 pos, INT64 len, LONG delta, LONG base, signed char curve) {
    return CArticWrkUtil::CalcPitchCrvLevel(pos, len, delta, base, curve);
}

double CArticWrkCrvUtil::ConvToPBFromCent(CArticWrk* /*wrk*/, CArticWrkBlk* blk, INT64 time, LONG cents) {
    if (!blk) return 0.0;
    const LONG range = CArticWrkUtil::GetPbRange(blk, time);
    // A range of 0 gives a bend no size at all.
    if (range == 0) return 0.0;
    return 2.0 / range * (cents * 4096.0 / 100.0);
}

double CArticWrkCrvUtil::GetPitchAdd(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, short cents) {
    return Clamp(ConvToPBFromCent(wrk, blk, time, cents), -8192.0, 8191.0);
}

int CArticWrkCrvUtil::CrePitchSlide(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, INT64 T0,
                                    INT64 T1, INT64 T2, INT64 T3, short fromCents, short toCents,
                                    signed char curve, WORD step) {
    const double from = GetPitchAdd(wrk, blk, T1, fromCents);
    const double to = GetPitchAdd(wrk, blk, T2, toCents);
    int rc = 1;
    if (mode == 0)
        rc = PitchSlideReplace(wrk, blk, mode, keepEnd, T0, T1, T2, T3, from, to, curve, step);
    else if (mode == 1)
        rc = PitchSlideAdd(wrk, blk, mode, keepEnd, T0, T1, T2, T3, from, to, curve, step);
    if (rc == 0) return 0;
    CArticEngineCtx::Get().Report(kPhase1, "指定した時間にPBｶｰﾌﾞを作成するための情報に誤りがある。",
                                  "CArticWrkCrvUtil::CrePitchSlide", "");
    return rc;
}

int CArticWrkCrvUtil::PitchSlideReplace(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, INT64 T0,
                                        INT64 T1, INT64 T2, INT64 T3, double from, double to, signed char curve,
                                        WORD step) {
    if (!blk) return 1;
    const INT64 tmax = T2 > T3 ? T2 : T3;
    CArticWrkEvntList* events = blk->GetEvntList();
    int rc = CArticWrkUtil::DelEvntList(events, T0, tmax, 0xE0, 0);
    if (rc == 0) rc = CArticWrkUtil::DelPbTime(events, T0);
    if (rc == 0) rc = CArticWrkUtil::DelPbTime(events, tmax);
    if (rc == 0) rc = CArticWrkUtil::CrePbTime(wrk, blk, T0, 0, 0);
    if (rc == 0) rc = CArticWrkUtil::CrePbTime(wrk, blk, tmax, 0, 0);
    if (rc == 0) rc = PitchSlideAdd(wrk, blk, mode, keepEnd, T0, T1, T2, T3, from, to, curve, step);
    return rc;
}

int CArticWrkCrvUtil::PitchSlideAdd(CArticWrk* wrk, CArticWrkBlk* blk, BYTE /*mode*/, BYTE keepEnd, INT64 T0,
                                    INT64 T1, INT64 T2, INT64 T3, double from, double to, signed char curve,
                                    WORD step) {
    if (!blk) return 1;
    if (T1 >= T2) return 1;
    CArticWrkEvntList existing, curveList;
    int rc = CrePitchOrigEvntList(wrk, blk, &existing, T0, T2, T3);
    const LONG range = CArticWrkUtil::GetPbRange(blk, T1);
    // One semitone in the slide's direction; a range of 0 has no semitone,
    // so the curve stays smooth.
    double stepBend = 0.0;
    if (range != 0 && from < to) stepBend = 8192.0 / range;
    if (range != 0 && from > to) stepBend = -8192.0 / range;
    if (rc == 0) rc = CrePitchCrvEvntList(wrk, blk, &curveList, T0, T1, T2, T3, from, to, curve, step);
    if (rc == 0) rc = ModPitchSlideEvntList(&curveList, from, to, stepBend, T1);
    if (rc == 0 && !keepEnd) rc = MagTimeEvntList(&curveList, from, to, T1, T2);
    if (rc == 0) rc = AddPitchCrvEvnt(blk, &existing, &curveList, keepEnd, T2, T3);
    existing.RemoveAll();
    FreeUnplaced(curveList);
    return rc;
}

int CArticWrkCrvUtil::CrePitchOrigEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 T0,
                                           INT64 T2, INT64 T3) {
    if (!wrk || !blk || !list || !blk->GetEvntList()) return 1;
    const INT64 tmax = T2 > T3 ? T2 : T3;
    return GatherAreaWithEnds(blk, list, T0, tmax, LONG(0), IsBend, BendOf,
                              [&](INT64 t, LONG value, CArticWrkEvnt** out) {
                                  return NewBendEvnt(wrk, blk, t, value, out);
                              });
}

int CArticWrkCrvUtil::CrePitchCrvEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 T0,
                                          INT64 T1, INT64 T2, INT64 /*T3*/, double from, double to,
                                          signed char curve, WORD step) {
    if (!wrk || !blk) return 1;
    const short base = RoundShort(from);
    if (!list) return 1;
    // A step of 0 ticks would never leave T1.
    if (step == 0) return 1;
    const INT64 len = T2 - T1;
    const LONG delta = LONG(RoundShort(to)) - base;
    bool hitEnd = false;
    CArticWrkEvnt* e = nullptr;
    if (T2 >= T1) {
        for (INT64 t = T1; t <= T2; t += step) {
            int rc = NewBendEvnt(wrk, blk, t, CalcPitchCrvLevel(t - T1, len, delta, base, curve), &e);
            if (rc != 0) return rc;
            list->AddTail(e);
            hitEnd = t == T2;
        }
    }
    if (!hitEnd) {
        int rc = NewBendEvnt(wrk, blk, T2, CalcPitchCrvLevel(len, len, delta, base, curve), &e);
        if (rc != 0) return rc;
        list->AddTail(e);
    }
    if (T0 < T1) {
        int rc = NewBendEvnt(wrk, blk, T0, base, &e);
        if (rc != 0) return rc;
        list->AddHead(e);
    }
    return 0;
}

int CArticWrkCrvUtil::ModPitchSlideEvntList(CArticWrkEvntList* list, double from, double to, double stepBend,
                                            INT64 T1) {
    if (stepBend == 0.0) return 0;
    if (!list) return 1;
    const INT64 first = RoundAway(from), target = RoundAway(to);
    if (first == target) return 0;
    const bool rising = first < target;
    INT64 k = 0, level = first;
    for (POSITION p = list->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e || e->GetTime() < T1) continue;
        const INT64 r = BendOf(e);
        const bool beyond = rising ? (r >= target || r < level) : (r <= target || r > level);
        if (beyond) {
            list->RemoveAt(at);
            delete e;
            continue;
        }
        while (rising ? r >= level : level >= r) {
            ++k;
            level = RoundAway(from + double(k) * stepBend);
        }
        SetBend(e, LONG(Clamp<INT64>(level, INT32_MIN, INT32_MAX)));
    }
    return 0;
}

int CArticWrkCrvUtil::MagTimeEvntList(CArticWrkEvntList* list, double /*from*/, double to, INT64 T1, INT64 T2) {
    if (!list) return 0;
    bool any = false;
    INT64 lo = 0, hi = 0;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e || e->GetTime() < T1 || e->GetTime() > T2) continue;
        if (!any || e->GetTime() < lo) lo = e->GetTime();
        if (!any || e->GetTime() > hi) hi = e->GetTime();
        any = true;
    }
    if (!any || (lo == T1 && hi == T2) || lo >= hi) return 0;
    const double scale = double(T2 - T1) / double(hi - lo);
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e || e->GetTime() < T1 || e->GetTime() > T2) continue;
        e->SetTime(T1 + DoubleToInt64(double(e->GetTime() - T1) * scale + 0.5), 1);
    }
    CArticWrkEvnt* last = nullptr;
    for (POSITION p = list->GetTailPosition(); p && !last;) last = list->GetPrev(p);
    if (last) SetBend(last, LONG(Clamp<INT64>(RoundAway(to), INT32_MIN, INT32_MAX)));
    return 0;
}

int CArticWrkCrvUtil::AddPitchCrvEvnt(CArticWrkBlk* blk, CArticWrkEvntList* existList,
                                      CArticWrkEvntList* curveList, BYTE keepEnd, INT64 t1, INT64 t2) {
    return CArticWrkUtil::AddPitchCrvEvnt(blk, existList, curveList, keepEnd, t1, t2);
}
