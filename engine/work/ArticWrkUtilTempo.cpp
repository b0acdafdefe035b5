// Tempo operations of CArticWrkUtil: absolute and relative tempo changes of a
// work block's tempo events (until the song's next tempo change, over an
// area, or as a curve), and the return to the song's own tempo. Tempo values
// are microseconds per quarter note and stay within 1..0xFFFFFF: a tempo of
// 0 would stop the clock and make every later conversion divide by zero.
#include <cmath>
#include <vector>

#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilContImpl.h"

using namespace wrkcont;

namespace {

// A new tempo-format event of blk holding a raw 24-bit value (not yet in its list).
int NewTempoEvnt(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, ULONG value, CArticWrkEvnt** out) {
    int rc = CArticWrkUtil::CreateWrkEvnt(wrk, blk, out);
    if (rc != 0 || !*out) return rc;
    (*out)->SetStatus(0xFF);
    (*out)->SetMetaType(0x51);
    (*out)->SetTime(time, 1);
    SetTempoBytes(*out, value);
    return 0;
}

// The tempo event at t: the block's own, or a new one repeating the tempo in
// force there. *tempo is the tempo at t.
int PinTempo(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, bool markCreated, CArticWrkEvnt** pinned, ULONG* tempo) {
    CArticWrkEvnt* found = nullptr;
    if (CArticWrkUtil::CheckSameTimeMetaEvnt(blk->GetEvntList(), t, 0xFF, 0x51, &found) == 1 && found) {
        *pinned = found;
        *tempo = TempoOf(found);
        return 0;
    }
    *tempo = found ? TempoOf(found) : CArticUtil::GetDefaultTempo();
    CArticWrkEvnt* e = nullptr;
    int rc = NewTempoEvnt(wrk, blk, t, ClampTempo(*tempo), &e);
    if (rc != 0 || !e) return rc == 0 ? 1 : rc;
    blk->Sort(e, 1);
    if (markCreated) e->SetCreate(1);
    *pinned = e;
    return 0;
}

// Scales the block's tempo events from t1 to t2 by 100 / mag.
int ScaleTempi(CArticWrkBlk* blk, INT64 t1, INT64 t2, double mag) {
    CArticWrkEvntList list;
    CArticWrkUtil::CopyMetaEvntList(blk->GetEvntList(), &list, 0xFF, 0x51, t1, t2);
    const int rc = CArticWrkUtil::CalcTempoEvntList(&list, mag);
    list.RemoveAll();
    return rc;
}

// A tempo divided by a percentage; a percentage of 0 or less stands for the
// slowest tempo there is.
ULONG Combine(ULONG tempo, LONG mag) {
    if (mag <= 0) return kMaxTempo;
    return ClampTempo(DoubleToInt64(double(tempo) / (double(mag) / 100.0) + 0.5));
}

bool HasTimeline(CArticWrkBlk* blk) { return blk->GetCond() != nullptr; }

}  // namespace

int CArticWrkUtil::CalcTempoEvntList(CArticWrkEvntList* list, WORD mag) {
    return CalcTempoEvntList(list, double(mag));
}

int CArticWrkUtil::CalcTempoEvntList(CArticWrkEvntList* list, double mag) {
    if (!list) return 1;
    // A magnification of 0 has no tempo to give.
    if (!(mag > 0.0) || !std::isfinite(mag)) return 1;
    bool changed = false;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!IsTempo(e)) continue;
        const double v = double(TempoOf(e)) * 100.0 / mag + 0.5;
        SetTempoBytes(e, v >= double(kMaxTempo) ? kMaxTempo : ClampTempo(DoubleToInt64(v)));
        changed = true;
    }
    return changed ? 0 : 1;
}

int CArticWrkUtil::TempoAbs(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, WORD tickPerBeat, WORD tempo) {
    if (!wrk || !blk || !blk->GetEvntList() || !HasTimeline(blk)) return 1;
    // A beat of 0 ticks or a tempo of 0 has no duration to write.
    BYTE bytes[3] = {0, 0, 0};
    if (CArticUtil::SetTempo(bytes, tickPerBeat, tempo) == 0) return 1;
    ULONG target = 0;
    CArticUtil::GetTempo(bytes, &target);
    target = ClampTempo(target);
    CArticWrkEvnt* pinned = nullptr;
    ULONG old = 0;
    int rc = PinTempo(wrk, blk, time, true, &pinned, &old);
    if (rc != 0) return rc;
    const INT64 end = TempoChangeEnd(blk, time);
    if (old == 0) {
        // A stored tempo of 0 gives no ratio to carry on: only the point itself changes.
        SetTempoBytes(pinned, target);
    } else if (old != target) {
        ScaleTempi(blk, time, end, double(old) / double(target) * 100.0);
    }
    return blk->SetCondPos(pinned);
}

int CArticWrkUtil::TempoAbsRel(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time) {
    if (!wrk || !blk || !blk->GetEvntList() || !HasTimeline(blk)) return 1;
    CArticWrkEvnt* pinned = nullptr;
    ULONG cur = 0;
    int rc = PinTempo(wrk, blk, time, true, &pinned, &cur);
    if (rc != 0) return rc;
    CArticWrkEvnt* prev = nullptr;
    const ULONG song = blk->GetCond()->GetPrevEvntTempo(time, &prev) == 0 && prev ? TempoOf(prev)
                                                                                  : CArticUtil::GetDefaultTempo();
    if (cur == song) return 0;
    if (song == 0) return 1;
    return ScaleTempi(blk, time, TempoChangeEnd(blk, time), double(cur) / double(song) * 100.0);
}

int CArticWrkUtil::TempoRelFix(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, WORD mag) {
    if (mag == 100) return 0;
    if (!wrk || !blk || !blk->GetEvntList() || !HasTimeline(blk)) return 1;
    if (mag == 0) return 1;
    CArticWrkEvnt* pinned = nullptr;
    ULONG tempo = 0;
    int rc = PinTempo(wrk, blk, time, true, &pinned, &tempo);
    if (rc != 0) return rc;
    return ScaleTempi(blk, time, TempoChangeEnd(blk, time), mag);
}

int CArticWrkUtil::TempoRelAreaFix(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t1, INT64 t2, WORD mag) {
    if (mag == 100) return 0;
    if (!wrk || !blk || !blk->GetEvntList()) return 1;
    // Refused before anything is pinned: no area, or no tempo to give.
    if (mag == 0 || t2 <= t1) return 1;
    CArticWrkEvnt* pinned = nullptr;
    ULONG tempo = 0;
    int rc = PinTempo(wrk, blk, t1, true, &pinned, &tempo);
    if (rc == 0) rc = PinTempo(wrk, blk, t2, false, &pinned, &tempo);
    if (rc != 0) return rc;
    return ScaleTempi(blk, t1, t2 <= 1 ? t2 : t2 - 1, mag);
}

int CArticWrkUtil::CreTempoRelCrv(CArticWrk* wrk, CArticWrkBlk* blk, INT64 T1, INT64 T2, WORD startMag, WORD endMag,
                                  signed char curve, WORD step) {
    if (!wrk || !blk)
        return ReportErr(kPhase1, "倍率とｶｰﾌﾞを与えてﾃﾝﾎﾟを追加する際にｴﾗｰが発生した。",
                         "CArticWrkUtil::CreTempoRelCrv", "");
    if (T1 >= T2) return 1;
    // A magnification of 0 would stop the clock; a step of 0 never leaves T1.
    if (startMag == 0 || endMag == 0 || step == 0) return 1;
    CArticWrkEvntList existing, curveList;
    int rc = CreTempoOrigWrkEvntList(wrk, blk, &existing, T1, T2);
    if (rc == 0)
        rc = CreTempoCrvWrkEvntList(wrk, blk, &existing, &curveList, T1, T2, startMag, endMag, curve, step);
    if (rc == 0) rc = AddTempoCrvEvnt(wrk, blk, &existing, &curveList, T2);
    existing.RemoveAll();
    FreeUnplaced(curveList);
    return rc;
}

int CArticWrkUtil::CreTempoOrigWrkEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 T1,
                                           INT64 T2) {
    if (!wrk || !blk || !list || !blk->GetEvntList()) return 1;
    return GatherAreaWithEnds(blk, list, T1, T2, ULONG(CArticUtil::GetDefaultTempo()), IsTempo, TempoOf,
                              [&](INT64 t, ULONG value, CArticWrkEvnt** out) {
                                  return NewTempoEvnt(wrk, blk, t, ClampTempo(value), out);
                              });
}

int CArticWrkUtil::CreTempoCrvWrkEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* existList,
                                          CArticWrkEvntList* curveList, INT64 T1, INT64 T2, WORD startMag,
                                          WORD endMag, signed char curve, WORD step) {
    if (!wrk || !blk || !existList || !curveList) return 1;
    if (step == 0) return 1;
    const INT64 len = T2 - T1;
    const LONG delta = LONG(endMag) - LONG(startMag);
    // Each point holds its percentage in the tempo bytes until the merge.
    auto add = [&](INT64 t) -> int {
        const LONG mag = CalcTempoCrvMag(t - T1, len, delta, startMag, curve);
        CArticWrkEvnt* e = nullptr;
        int rc = NewTempoEvnt(wrk, blk, t, ULONG(mag < 0 ? 0 : mag), &e);
        if (rc != 0 || !e) return rc == 0 ? -1 : rc;
        e->SetCreate(1);
        curveList->AddTail(e);
        return 0;
    };
    Cursor exist(existList);
    bool hitEnd = false;
    if (T2 >= T1) {
        for (INT64 g = T1;; g += step) {
            for (; exist.evnt && exist.evnt->GetTime() <= g; exist.Advance()) {
                const INT64 t = exist.evnt->GetTime();
                if (t == T1 || t == T2 || t == g) continue;
                if (int rc = add(t)) return rc < 0 ? 0 : rc;
            }
            if (int rc = add(g)) return rc < 0 ? 0 : rc;
            hitEnd = g == T2;
            if (uint64_t(T2) - uint64_t(g) < step) break;
        }
    }
    if (!hitEnd) {
        if (int rc = add(T2)) return rc < 0 ? 0 : rc;
    }
    return 0;
}

int CArticWrkUtil::AddTempoCrvEvnt(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* existList,
                                   CArticWrkEvntList* curveList, INT64 /*ignored*/) {
    if (!wrk || !blk || !existList || !curveList) return 1;
    ULONG lastTempo = CArticUtil::GetDefaultTempo();
    LONG lastMag = 100;
    Cursor exist(existList), crv(curveList);
    std::vector<POSITION> dropped;
    while (exist.evnt && crv.evnt) {
        const INT64 te = exist.evnt->GetTime(), tc = crv.evnt->GetTime();
        if (te == tc) {
            lastTempo = TempoOf(exist.evnt);
            lastMag = LONG(TempoOf(crv.evnt));
            SetTempoBytes(exist.evnt, Combine(lastTempo, lastMag));
            blk->SetEvntPos(crv.evnt);
            delete crv.evnt;
            dropped.push_back(crv.at);
            exist.Advance();
            crv.Advance();
        } else if (tc < te) {
            lastMag = LONG(TempoOf(crv.evnt));
            SetTempoBytes(crv.evnt, Combine(lastTempo, lastMag));
            crv.Advance();
        } else {
            lastTempo = TempoOf(exist.evnt);
            SetTempoBytes(exist.evnt, Combine(lastTempo, lastMag));
            exist.Advance();
        }
    }
    // Curve points past the existing data still hold bare percentages,
    // which are no tempi: they apply to the last existing tempo.
    for (; crv.evnt; crv.Advance()) SetTempoBytes(crv.evnt, Combine(lastTempo, LONG(TempoOf(crv.evnt))));
    PlaceCurvePoints(blk, curveList, dropped);
    return 0;
}
