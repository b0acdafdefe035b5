// Pitch slide writers of CArticWrkUtil: the smooth curve of the curve
// writers turned into a staircase (equal steps for the guitar slide, semitone
// steps at the bend range in force for the pitch slide) and merged into the
// existing bend.
#include <cmath>

#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilContImpl.h"

using namespace wrkcont;

namespace {

// trunc(v + 0.5), trunc(v - 0.5) and trunc(v): the roundings of the steps.
INT64 Up(double v) { return DoubleToInt64(v + 0.5); }
INT64 Down(double v) { return DoubleToInt64(v - 0.5); }
INT64 Trunc(double v) { return DoubleToInt64(v); }

// Steps whose semitone line is one bend unit off a whole number of steps
// stand for that whole number: the upward bend range ends at 8191, not 8192.
INT64 LinesTo(short to, double stepBend) {
    const double lines = double(to) / stepBend;
    const double nearest = std::nearbyint(lines);
    if (std::fabs(double(to) - nearest * stepBend) <= 1.0) return INT64(nearest);
    return Trunc(lines);
}

// Removes an event of a curve list that never reached the block.
void Drop(CArticWrkEvntList* list, POSITION at, CArticWrkEvnt* e) {
    list->RemoveAt(at);
    delete e;
}

int SlideAdd(CArticWrk* wrk, CArticWrkBlk* blk, BYTE keepEnd, INT64 T0, INT64 T1, INT64 T2, INT64 T3, BYTE status,
             short from, short to, signed char curve, WORD step, bool collectFromT0) {
    if (!blk) return 1;
    if (T1 >= T2) return 1;
    CArticWrkEvntList existing, curveList;
    int rc = CArticWrkUtil::CrePitchOrigEvntList(wrk, blk, &existing, T0, T2, T3, status);
    // One semitone in the slide's direction; a range of 0 has none, and the
    // curve then stays smooth.
    const LONG range = CArticWrkUtil::GetPbRange(blk, T1);
    double stepBend = 0.0;
    if (range != 0 && from < to) stepBend = 8192.0 / range;
    if (range != 0 && from > to) stepBend = -8192.0 / range;
    const INT64 d = stepBend == 0.0 ? 0 : RoundAway(stepBend);
    const short curveTo = short(keepEnd == 1 ? Clamp<INT64>(INT64(to) + d, -32768, 32767) : to);
    if (rc == 0)
        rc = CArticWrkUtil::CrePitchCrvEvntList(wrk, blk, 0, 0, &existing, &curveList, T1, T2, T3, status, from,
                                                curveTo, curve, step);
    if (rc == 0) {
        if (!collectFromT0 && from != 0)
            rc = CArticWrkUtil::ModPitchSlideEvntList2(&curveList, from, to, stepBend, T1);
        else
            rc = CArticWrkUtil::ModPitchSlideEvntList(&curveList, from, to, stepBend, T1);
    }
    if (rc == 0) rc = CArticWrkUtil::AddPitchCrvEvnt(blk, &existing, &curveList, keepEnd, T2, T3);
    existing.RemoveAll();
    FreeUnplaced(curveList);
    return rc;
}

// Removes the span's bend and pins 0 at both ends before a slide replaces it.
int ClearBend(CArticWrk* wrk, CArticWrkBlk* blk, INT64 T0, INT64 Tmax, BYTE status) {
    CArticWrkEvntList* events = blk->GetEvntList();
    int rc = CArticWrkUtil::DelEvntList(events, T0, Tmax, status, 0);
    if (rc == 0) rc = CArticWrkUtil::DelPbTime(events, T0);
    if (rc == 0) rc = CArticWrkUtil::DelPbTime(events, Tmax);
    if (rc == 0) rc = CArticWrkUtil::CrePbTime(wrk, blk, T0, 0, 0);
    if (rc == 0) rc = CArticWrkUtil::CrePbTime(wrk, blk, Tmax, 0, 0);
    return rc;
}

}  // namespace

int CArticWrkUtil::ConvToWrkForSlide(CArticWrk* wrk, CArticWrkBlk* blk, INT64 T1, INT64 T2, short from, short to,
                                     short count, signed char curve, WORD step) {
    if (!blk) return 1;
    if (T1 >= T2) return 1;
    CArticWrkEvntList existing, curveList;
    int rc = CrePitchOrigEvntList(wrk, blk, &existing, T1, T2, T2, 0xE0);
    if (rc == 0)
        rc = CrePitchCrvEvntList(wrk, blk, 0, 0, &existing, &curveList, T1, T2, T2, 0xE0, from, to, curve, step);
    if (rc == 0) rc = ModPitchSlideEvntList(&curveList, from, to, count, T1);
    if (rc == 0) rc = AddPitchCrvEvnt(blk, &existing, &curveList, 0, T2, T2);
    existing.RemoveAll();
    FreeUnplaced(curveList);
    return rc;
}

int CArticWrkUtil::ConvToWrkForSlideAdd(CArticWrk* wrk, CArticWrkBlk* blk, BYTE /*mode*/, BYTE keepEnd, INT64 T1,
                                        INT64 T2, INT64 T3, BYTE status, short from, short to, signed char curve,
                                        WORD step) {
    return SlideAdd(wrk, blk, keepEnd, T1, T1, T2, T3, status, from, to, curve, step, false);
}

int CArticWrkUtil::ConvToWrkForSlideAddI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE /*mode*/, BYTE keepEnd, INT64 T0,
                                         INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to,
                                         signed char curve, WORD step) {
    return SlideAdd(wrk, blk, keepEnd, T0, T1, T2, T3, status, from, to, curve, step, true);
}

int CArticWrkUtil::ConvToWrkForSlideReplace(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, INT64 T1,
                                            INT64 T2, INT64 T3, BYTE status, short from, short to,
                                            signed char curve, WORD step) {
    if (!blk || !blk->GetEvntList()) return 1;
    // The add below refuses an empty span; the span's bend must not be wiped first.
    if (T1 >= T2) return 1;
    int rc = ClearBend(wrk, blk, T1, T2 > T3 ? T2 : T3, status);
    if (rc == 0) rc = ConvToWrkForSlideAdd(wrk, blk, mode, keepEnd, T1, T2, T3, status, from, to, curve, step);
    return rc;
}

int CArticWrkUtil::ConvToWrkForSlideReplaceI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, INT64 T0,
                                             INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to,
                                             signed char curve, WORD step) {
    if (!blk || !blk->GetEvntList()) return 1;
    if (T1 >= T2) return 1;
    int rc = ClearBend(wrk, blk, T0, T2 > T3 ? T2 : T3, status);
    if (rc == 0) rc = ConvToWrkForSlideAddI(wrk, blk, mode, keepEnd, T0, T1, T2, T3, status, from, to, curve, step);
    return rc;
}

// ---- Quantisers

int CArticWrkUtil::ModPitchSlideEvntList(CArticWrkEvntList* list, short from, short to, short count,
                                         INT64 /*time*/) {
    if (count <= 0) return 0;
    if (!list) return 1;
    if (from == to) return 0;
    const bool rising = from < to;
    const double x = double(short(to - from)) / count;
    // A step pointing away from the target would never reach the next threshold.
    if (rising ? x <= 0.0 : x >= 0.0) return 0;
    // The grid runs through 0; a slide starting off 0 starts at the first
    // grid line at or beyond from.
    INT64 g = from;
    for (int i = 1; i <= 11 && from != 0; ++i) {
        INT64 gi;
        if (from > 0) {
            gi = rising ? Up(i * x) : Trunc(0.5 - i * x);
            if (gi >= from) {
                g = gi;
                break;
            }
        } else {
            gi = rising ? Trunc(-(i * x) - 0.5) : Down(i * x);
            if (from >= gi) {
                g = gi;
                break;
            }
        }
    }
    INT64 k = 1;
    INT64 L = g + Up(k * x);
    bool stepSet = false;
    const POSITION last = list->GetTailPosition();
    for (POSITION p = list->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e || at == last) continue;
        const INT64 r = BendOf(e);
        while (rising ? r >= L : L >= r) {
            ++k;
            L = g + Up(k * x);
            stepSet = false;
        }
        if (!stepSet) {
            SetBend(e, L);
            stepSet = true;
        } else {
            Drop(list, at, e);
        }
    }
    return 0;
}

int CArticWrkUtil::ModPitchSlideEvntList(CArticWrkEvntList* list, short from, short to, double stepBend, INT64 T1) {
    if (stepBend == 0.0) return 0;
    if (!list) return 1;
    if (from == to) return 0;
    const bool rising = from < to;
    if (rising ? stepBend < 0.0 : stepBend > 0.0) return 0;
    INT64 l, level, edge;
    if (rising) {
        l = Trunc(from / stepBend) + (from > 0 ? 1 : 0);
        level = Up(l * stepBend);
        // The last line the slide reaches, held within the bend range so that
        // an end at the top of the range counts as reaching it.
        edge = Clamp<INT64>(Up(double(LinesTo(to, stepBend)) * stepBend), -8192, 8191);
    } else {
        l = Trunc(from / stepBend) + (from < 0 ? 1 : 0);
        level = Down(l * stepBend);
        edge = Clamp<INT64>(Down(double(LinesTo(to, stepBend)) * stepBend), -8192, 8191);
    }
    bool stepSet = false, edgeSet = false;
    for (POSITION p = list->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e || e->GetTime() < T1) continue;
        const INT64 r = BendOf(e);
        if (rising ? r >= edge : r <= edge) {
            if (edgeSet) {
                Drop(list, at, e);
            } else {
                SetBend(e, edge);
                edgeSet = true;
            }
            continue;
        }
        while (rising ? r >= level : level >= r) {
            ++l;
            level = Up(l * stepBend);
            stepSet = false;
        }
        if (stepSet) {
            Drop(list, at, e);
        } else {
            SetBend(e, level);
            stepSet = true;
        }
    }
    return 0;
}

int CArticWrkUtil::ModPitchSlideEvntList2(CArticWrkEvntList* list, short from, short to, double stepBend, INT64 T1) {
    if (stepBend == 0.0) return 0;
    if (!list) return 1;
    if (from == to) return 0;
    const bool rising = from < to;
    INT64 l, level;
    if (rising) {
        l = Trunc(from / stepBend) + (from > 0 ? 1 : 0);
        level = Up(l * stepBend);
    } else {
        l = Trunc(from / stepBend) + (from < 0 ? 1 : 0);
        level = Down(l * stepBend);
    }
    bool keepOnce = true, endKept = false;
    for (POSITION p = list->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e || e->GetTime() < T1) continue;
        const INT64 r = BendOf(e);
        if (rising ? r >= to : r <= to) {
            if (endKept) {
                Drop(list, at, e);
            } else {
                SetBend(e, to);
                endKept = true;
            }
        } else if (rising ? r >= level : level >= r) {
            SetBend(e, level);
            ++l;
            level = Up(l * stepBend);
        } else if (keepOnce) {
            keepOnce = false;
        } else {
            Drop(list, at, e);
        }
    }
    return 0;
}
