// Block conversion writers of CArticWrkUtil: a relative curve added to the
// pitch bend or one controller of a span, or replacing the span's data, in a
// fixed pipeline (collect the existing events with pinned ends, build the
// curve, stretch it where it is flat, give it a point at every existing time,
// merge); and the area writers that scale listed controller events.
#include <vector>

#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilContImpl.h"

using namespace wrkcont;

namespace {

LONG CentreOf(BYTE centre) { return centre ? 64 : 0; }

// A new controller event of blk at time holding a working level.
int NewLevelEvnt(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE status, BYTE number, INT64 level,
                 CArticWrkEvnt** out) {
    int rc = CArticWrkUtil::CreateWrkEvnt(wrk, blk, out);
    if (rc != 0) return rc;
    (*out)->SetStatus(status);
    (*out)->SetTime(time, 1);
    (*out)->SetPost1(number);
    SetLevel(*out, level);
    return 0;
}

// Existing controller events carry working levels while a writer runs; a
// writer that stops before its merge puts their values back, so the block's
// controllers never read as 0 afterwards.
void RestoreLevels(CArticWrkEvntList& list) {
    for (POSITION p = list.GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list.GetNext(p);
        if (e) SetCcValue(e, LevelOf(e));
    }
}

// The stretch flags of a curve (stretch 1 automatic, 2 both ends).
void StretchFlags(BYTE stretch, BYTE forceStart, short from, signed char curve, INT64 T2, INT64 T3, int* start,
                  int* end) {
    *start = *end = 0;
    if (stretch == 1) {
        *start = (from == 0 && curve > 0) || forceStart == 1;
        *end = (from == 0 && curve < 0) || T2 != T3;
    } else if (stretch == 2) {
        *start = *end = 1;
    }
}

// Removes the flat parts of a curve: the points from the first that leaves
// `from` (start) to the first that reaches `to` (end) are stretched over T1
// to T2, the others go. value(e) gives the compared value or false for
// events of another kind.
template <class Value>
int StretchCurve(CArticWrkEvntList* list, INT64 T1, INT64 T2, short from, short to, int stretchStart,
                 int stretchEnd, Value value) {
    if (!list) return stretchStart || stretchEnd ? 1 : 0;
    if (!stretchStart && !stretchEnd) return 0;
    INT64 start = T1, end = T2;
    bool startFound = false, endFound = false;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        INT64 v = 0;
        if (!e || !value(e, &v)) continue;
        if (stretchStart && !startFound && ((from < to && v > from) || (from > to && v < from))) {
            start = e->GetTime();
            startFound = true;
        }
        if (stretchEnd && !endFound && ((from < to && v >= to) || (from > to && v <= to))) {
            end = e->GetTime();
            endFound = true;
        }
    }
    if ((start == T1 && end == T2) || end - start <= 0) return 0;
    const double scale = double(T2 - T1) / double(end - start);
    for (POSITION p = list->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        const INT64 t = e->GetTime();
        if (t >= start && t <= end) {
            e->SetTime(T1 + DoubleToInt64(double(t - start) * scale + 0.5), 1);
        } else {
            list->RemoveAt(at);
            delete e;
        }
    }
    return 0;
}

// Gives the curve a point at every existing time: cur follows the curve
// (through curveValue) and make(t, cur) builds the missing point.
template <class CurveValue, class Make>
int PointAtExistingTimes(CArticWrkEvntList* existList, CArticWrkEvntList* curveList, LONG from, CurveValue curveValue,
                         Make make) {
    LONG cur = from;
    Cursor crv(curveList);
    for (POSITION p = existList->GetHeadPosition(); p;) {
        CArticWrkEvnt* x = existList->GetNext(p);
        if (!x) continue;
        const INT64 t = x->GetTime();
        while (crv.evnt && crv.evnt->GetTime() < t) {
            cur = curveValue(crv.evnt);
            crv.Advance();
        }
        if (crv.evnt && crv.evnt->GetTime() == t) {
            cur = curveValue(crv.evnt);
            continue;
        }
        CArticWrkEvnt* e = nullptr;
        int rc = make(t, cur, &e);
        if (rc != 0) return rc;
        if (!e) continue;
        if (crv.evnt)
            curveList->InsertBefore(crv.at, e);
        else
            curveList->AddTail(e);
    }
    return 0;
}

// The points of a curve from T1 to T2 every step ticks and at T2; make(t)
// builds one point. 0, or the first failing creation's code.
template <class Make>
int CurvePoints(CArticWrkEvntList* curveList, INT64 T1, INT64 T2, WORD step, Make make) {
    // A step of 0 ticks would never leave T1.
    if (step == 0) return 1;
    if (T2 >= T1) {
        for (INT64 t = T1;; t += step) {
            CArticWrkEvnt* e = nullptr;
            int rc = make(t, &e);
            if (rc != 0 || !e) return rc;
            curveList->AddTail(e);
            if (t == T2) return 0;
            if (uint64_t(T2) - uint64_t(t) < step) break;
        }
    }
    CArticWrkEvnt* e = nullptr;
    int rc = make(T2, &e);
    if (rc != 0 || !e) return rc;
    curveList->AddTail(e);
    return 0;
}

// Removes the events of one kind from T1 to Tmax and pins value 0 at both ends.
int ClearSpan(CArticWrk* wrk, CArticWrkBlk* blk, INT64 T1, INT64 Tmax, BYTE status, BYTE number, bool bend) {
    CArticWrkEvntList* events = blk->GetEvntList();
    int rc = CArticWrkUtil::DelEvntList(events, T1, Tmax, status, bend ? 0 : number);
    if (bend) {
        if (rc == 0) rc = CArticWrkUtil::DelPbTime(events, T1);
        if (rc == 0) rc = CArticWrkUtil::DelPbTime(events, Tmax);
        if (rc == 0) rc = CArticWrkUtil::CrePbTime(wrk, blk, T1, 0, 0);
        if (rc == 0) rc = CArticWrkUtil::CrePbTime(wrk, blk, Tmax, 0, 0);
    } else {
        if (rc == 0) rc = CArticWrkUtil::CreContCcTime(wrk, blk, T1, number, 0);
        if (rc == 0) rc = CArticWrkUtil::CreContCcTime(wrk, blk, Tmax, number, 0);
    }
    return rc;
}

int PitchAdd(CArticWrk* wrk, CArticWrkBlk* blk, BYTE keepEnd, BYTE stretch, BYTE forceStart, INT64 T0, INT64 T1,
             INT64 T2, INT64 T3, BYTE status, short from, short to, signed char curve, WORD step) {
    if (!blk) return 1;
    if (T1 >= T2) return 1;
    CArticWrkEvntList existing, curveList;
    int rc = CArticWrkUtil::CrePitchOrigEvntList(wrk, blk, &existing, T0, T2, T3, status);
    if (rc == 0)
        rc = CArticWrkUtil::CrePitchCrvEvntList(wrk, blk, stretch, forceStart, &existing, &curveList, T1, T2, T3,
                                                status, from, to, curve, step);
    if (rc == 0) rc = CArticWrkUtil::AddPitchCrvEvnt(blk, &existing, &curveList, keepEnd, T2, T3);
    existing.RemoveAll();
    FreeUnplaced(curveList);
    return rc;
}

int CcAdd(CArticWrk* wrk, CArticWrkBlk* blk, BYTE keepEnd, BYTE stretch, BYTE forceStart, BYTE centre, INT64 T0,
          INT64 T1, INT64 T2, INT64 T3, BYTE status, BYTE number, short from, short to, signed char curve,
          WORD step) {
    if (!blk) return 1;
    if (T1 >= T2) return 1;
    CArticWrkEvntList existing, curveList;
    bool merged = false;
    int rc = CArticWrkUtil::CreContCcOrigEvntList(wrk, blk, &existing, centre, T0, T2, T3, status, number);
    if (rc == 0)
        rc = CArticWrkUtil::CreContCcCrvEvntList(wrk, blk, stretch, forceStart, centre, &existing, &curveList, T1,
                                                 T2, T3, status, number, from, to, curve, step);
    if (rc == 0) {
        rc = CArticWrkUtil::AddContCcCrvEvnt(blk, &existing, &curveList, keepEnd, centre, T2, T3);
        merged = rc == 0;
    }
    if (!merged) RestoreLevels(existing);
    existing.RemoveAll();
    FreeUnplaced(curveList);
    return rc;
}

}  // namespace

// ---- Curve writers

int CArticWrkUtil::ConvToWrkForAdd(CArticWrk* wrk, CArticWrkBlk* blk, BYTE /*mode*/, BYTE keepEnd, BYTE stretch,
                                   INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to, signed char curve,
                                   WORD step) {
    return PitchAdd(wrk, blk, keepEnd, stretch, 0, T1, T1, T2, T3, status, from, to, curve, step);
}

int CArticWrkUtil::ConvToWrkForAddI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE /*mode*/, BYTE keepEnd, BYTE stretch,
                                    INT64 T0, INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to,
                                    signed char curve, WORD step) {
    return PitchAdd(wrk, blk, keepEnd, stretch, 1, T0, T1, T2, T3, status, from, to, curve, step);
}

int CArticWrkUtil::ConvToWrkForReplace(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch,
                                       INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to,
                                       signed char curve, WORD step) {
    if (!blk || !blk->GetEvntList()) return 1;
    // The add below refuses an empty span; the span's data must not be wiped first.
    if (T1 >= T2) return 1;
    int rc = ClearSpan(wrk, blk, T1, T2 > T3 ? T2 : T3, status, 0, true);
    if (rc == 0) rc = ConvToWrkForAdd(wrk, blk, mode, keepEnd, stretch, T1, T2, T3, status, from, to, curve, step);
    return rc;
}

int CArticWrkUtil::ConvToWrkForReplaceI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch,
                                        INT64 T0, INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to,
                                        signed char curve, WORD step) {
    if (!blk || !blk->GetEvntList()) return 1;
    if (T1 >= T2) return 1;
    int rc = ClearSpan(wrk, blk, T0, T2 > T3 ? T2 : T3, status, 0, true);
    if (rc == 0)
        rc = ConvToWrkForAddI(wrk, blk, mode, keepEnd, stretch, T0, T1, T2, T3, status, from, to, curve, step);
    return rc;
}

int CArticWrkUtil::ConvToWrkForContCcAdd(CArticWrk* wrk, CArticWrkBlk* blk, BYTE /*mode*/, BYTE keepEnd,
                                         BYTE stretch, BYTE centre, INT64 T1, INT64 T2, INT64 T3, BYTE status,
                                         BYTE number, short from, short to, signed char curve, WORD step) {
    return CcAdd(wrk, blk, keepEnd, stretch, 0, centre, T1, T1, T2, T3, status, number, from, to, curve, step);
}

int CArticWrkUtil::ConvToWrkForContCcAddI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE /*mode*/, BYTE keepEnd,
                                          BYTE stretch, BYTE centre, INT64 T0, INT64 T1, INT64 T2, INT64 T3,
                                          BYTE status, BYTE number, short from, short to, signed char curve,
                                          WORD step) {
    return CcAdd(wrk, blk, keepEnd, stretch, 1, centre, T0, T1, T2, T3, status, number, from, to, curve, step);
}

int CArticWrkUtil::ConvToWrkForContCcReplace(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd,
                                             BYTE stretch, BYTE centre, INT64 T1, INT64 T2, INT64 T3, BYTE status,
                                             BYTE number, short from, short to, signed char curve, WORD step) {
    if (!blk || !blk->GetEvntList()) return 1;
    if (T1 >= T2) return 1;
    int rc = ClearSpan(wrk, blk, T1, T2 > T3 ? T2 : T3, status, number, false);
    if (rc == 0)
        rc = ConvToWrkForContCcAdd(wrk, blk, mode, keepEnd, stretch, centre, T1, T2, T3, status, number, from, to,
                                   curve, step);
    return rc;
}

int CArticWrkUtil::ConvToWrkForContCcReplaceI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd,
                                              BYTE stretch, BYTE centre, INT64 T0, INT64 T1, INT64 T2, INT64 T3,
                                              BYTE status, BYTE number, short from, short to, signed char curve,
                                              WORD step) {
    if (!blk || !blk->GetEvntList()) return 1;
    if (T1 >= T2) return 1;
    int rc = ClearSpan(wrk, blk, T0, T2 > T3 ? T2 : T3, status, number, false);
    if (rc == 0)
        rc = ConvToWrkForContCcAddI(wrk, blk, mode, keepEnd, stretch, centre, T0, T1, T2, T3, status, number, from,
                                    to, curve, step);
    return rc;
}

// ---- Pitch-bend list builders

int CArticWrkUtil::CrePitchOrigEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 T1,
                                        INT64 T2, INT64 T3, BYTE status) {
    if (status != 0xE0) return 1;
    if (!wrk || !blk || !list || !blk->GetEvntList()) return 1;
    const INT64 tmax = T2 > T3 ? T2 : T3;
    return GatherAreaWithEnds(blk, list, T1, tmax, LONG(0), IsBend, BendOf,
                              [&](INT64 t, LONG value, CArticWrkEvnt** out) {
                                  return NewBendEvnt(wrk, blk, t, value, out);
                              });
}

int CArticWrkUtil::CreatePitchCrvEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* curveList, INT64 T1,
                                          INT64 T2, INT64 /*T3*/, BYTE status, short from, short to,
                                          signed char curve, WORD step) {
    if (!wrk || !blk || !curveList) return 1;
    const INT64 len = T2 - T1;
    const LONG delta = LONG(to) - from;
    return CurvePoints(curveList, T1, T2, step, [&](INT64 t, CArticWrkEvnt** out) {
        int rc = CreateWrkEvnt(wrk, blk, out);
        if (rc != 0 || !*out) return rc;
        (*out)->SetStatus(status);
        (*out)->SetTime(t, 1);
        SetBend(*out, CalcPitchCrvLevel(t - T1, len, delta, from, curve));
        (*out)->SetCreate(1);
        return 0;
    });
}

int CArticWrkUtil::CrePitchCrvEvntList(CArticWrk* wrk, CArticWrkBlk* blk, BYTE stretch, BYTE forceStart,
                                       CArticWrkEvntList* existList, CArticWrkEvntList* curveList, INT64 T1, INT64 T2,
                                       INT64 T3, BYTE status, short from, short to, signed char curve, WORD step) {
    int rc = CreatePitchCrvEvntList(wrk, blk, curveList, T1, T2, T3, status, from, to, curve, step);
    int stretchStart = 0, stretchEnd = 0;
    StretchFlags(stretch, forceStart, from, curve, T2, T3, &stretchStart, &stretchEnd);
    if (rc == 0) rc = MagPitchCrvEvntList(curveList, T1, T2, from, to, stretchStart, stretchEnd);
    if (rc == 0) rc = ModPitchCrvEvntList(wrk, blk, existList, curveList, from, to);
    return rc;
}

int CArticWrkUtil::MagPitchCrvEvntList(CArticWrkEvntList* curveList, INT64 T1, INT64 T2, short from, short to,
                                       int stretchStart, int stretchEnd) {
    return StretchCurve(curveList, T1, T2, from, to, stretchStart, stretchEnd, [](CArticWrkEvnt* e, INT64* v) {
        if ((e->GetStatus() & 0xF0) != 0xE0) return false;
        *v = BendOf(e);
        return true;
    });
}

int CArticWrkUtil::ModPitchCrvEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* existList,
                                       CArticWrkEvntList* curveList, short from, short /*to*/) {
    if (!wrk || !blk || !existList || !curveList) return 1;
    return PointAtExistingTimes(
        existList, curveList, from, [](const CArticWrkEvnt* e) { return BendOf(e); },
        [&](INT64 t, LONG cur, CArticWrkEvnt** out) { return NewBendEvnt(wrk, blk, t, cur, out); });
}

// ---- Controller list builders

int CArticWrkUtil::CreContCcOrigEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, BYTE /*centre*/,
                                         INT64 T1, INT64 T2, INT64 T3, BYTE status, BYTE number) {
    if (!wrk || !blk || !list || status != 0xB0 || !blk->GetEvntList()) return 1;
    LONG before = CArticUtil::GetDefaultContVal(number), running = before;
    const INT64 tmax = T2 > T3 ? T2 : T3;
    bool atStart = false, atEnd = false;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (!IsCcNibble(e, number)) continue;
        const INT64 t = e->GetTime();
        const LONG value = e->GetPost2();
        if (t < T1) {
            before = running = value;
            continue;
        }
        if (t > tmax) continue;
        if (t == T1) {
            before = value;
            atStart = true;
        }
        atEnd = atEnd || t == tmax;
        SetLevel(e, value);
        list->AddTail(e);
        running = value;
    }
    CArticWrkEvnt* e = nullptr;
    if (!atStart) {
        int rc = NewLevelEvnt(wrk, blk, T1, 0xB0, number, before, &e);
        if (rc != 0) return rc;
        blk->Sort(e, 1);
        list->AddHead(e);
    }
    if (!atEnd) {
        int rc = NewLevelEvnt(wrk, blk, tmax, 0xB0, number, running, &e);
        if (rc != 0) return rc;
        blk->Sort(e, 1);
        list->AddTail(e);
    }
    return 0;
}

int CArticWrkUtil::CreateContCcCrvEvntList(CArticWrk* wrk, CArticWrkBlk* blk, BYTE centre,
                                           CArticWrkEvntList* curveList, INT64 T1, INT64 T2, INT64 /*T3*/,
                                           BYTE status, BYTE number, short from, short to, signed char curve,
                                           WORD step) {
    if (status != 0xB0) return 1;
    if (!wrk || !blk || !curveList) return 1;
    const INT64 len = T2 - T1;
    const LONG delta = LONG(to) - from;
    return CurvePoints(curveList, T1, T2, step, [&](INT64 t, CArticWrkEvnt** out) {
        const INT64 level = INT64(CalcCrvLevel(t - T1, len, delta, from, curve)) + CentreOf(centre);
        int rc = NewLevelEvnt(wrk, blk, t, 0xB0, number, level, out);
        if (rc == 0 && *out) (*out)->SetCreate(1);
        return rc;
    });
}

int CArticWrkUtil::CreContCcCrvEvntList(CArticWrk* wrk, CArticWrkBlk* blk, BYTE stretch, BYTE forceStart,
                                        BYTE centre, CArticWrkEvntList* existList, CArticWrkEvntList* curveList,
                                        INT64 T1, INT64 T2, INT64 T3, BYTE status, BYTE number, short from, short to,
                                        signed char curve, WORD step) {
    int rc = CreateContCcCrvEvntList(wrk, blk, centre, curveList, T1, T2, T3, status, number, from, to, curve, step);
    int stretchStart = 0, stretchEnd = 0;
    StretchFlags(stretch, forceStart, from, curve, T2, T3, &stretchStart, &stretchEnd);
    if (rc == 0)
        rc = MagContCcCrvEvntList(curveList, centre, T1, T2, status, number, from, to, stretchStart, stretchEnd);
    if (rc == 0) rc = ModContCcCrvEvntList(wrk, blk, centre, existList, curveList, status, number, from, to);
    return rc;
}

int CArticWrkUtil::MagContCcCrvEvntList(CArticWrkEvntList* curveList, BYTE centre, INT64 T1, INT64 T2,
                                        BYTE /*status*/, BYTE number, short from, short to, int stretchStart,
                                        int stretchEnd) {
    return StretchCurve(curveList, T1, T2, from, to, stretchStart, stretchEnd, [&](CArticWrkEvnt* e, INT64* v) {
        if (!IsCcNibble(e, number)) return false;
        *v = INT64(LevelOf(e)) - CentreOf(centre);
        return true;
    });
}

int CArticWrkUtil::ModContCcCrvEvntList(CArticWrk* wrk, CArticWrkBlk* blk, BYTE centre, CArticWrkEvntList* existList,
                                        CArticWrkEvntList* curveList, BYTE status, BYTE number, short from,
                                        short /*to*/) {
    if (!wrk || !blk || !existList || !curveList) return 1;
    const LONG offset = CentreOf(centre);
    return PointAtExistingTimes(
        existList, curveList, from, [&](const CArticWrkEvnt* e) { return LevelOf(e) - offset; },
        [&](INT64 t, LONG cur, CArticWrkEvnt** out) {
            return NewLevelEvnt(wrk, blk, t, status, number, INT64(offset) + cur, out);
        });
}

int CArticWrkUtil::AddContCcCrvEvnt(CArticWrkBlk* blk, CArticWrkEvntList* existList, CArticWrkEvntList* curveList,
                                    BYTE keepEnd, BYTE /*centre*/, INT64 t1, INT64 t2) {
    if (!blk || !existList || !curveList) return 1;
    const INT64 tmax = t1 > t2 ? t1 : t2;
    LONG lastExist = 0, lastCurve = 0;
    Cursor exist(existList), crv(curveList);
    std::vector<POSITION> dropped;
    while (exist.evnt && crv.evnt) {
        const INT64 te = exist.evnt->GetTime(), tc = crv.evnt->GetTime();
        if (te == tc) {
            if (keepEnd && te == tmax) {
                SetCcValue(exist.evnt, LevelOf(exist.evnt));
            } else {
                lastExist = LevelOf(exist.evnt);
                lastCurve = LevelOf(crv.evnt);
                SetCcValue(exist.evnt, INT64(lastExist) + lastCurve);
            }
            blk->SetEvntPos(crv.evnt);
            delete crv.evnt;
            dropped.push_back(crv.at);
            exist.Advance();
            crv.Advance();
        } else if (tc < te) {
            lastCurve = LevelOf(crv.evnt);
            SetCcValue(crv.evnt, INT64(lastCurve) + lastExist);
            crv.Advance();
        } else {
            lastExist = LevelOf(exist.evnt);
            SetCcValue(exist.evnt, INT64(lastExist) + lastCurve);
            exist.Advance();
        }
    }
    // Whatever one list holds past the end of the other still carries a
    // working level: existing events keep their own value, curve points
    // continue from the last existing one.
    for (; exist.evnt; exist.Advance()) SetCcValue(exist.evnt, LevelOf(exist.evnt));
    for (; crv.evnt; crv.Advance()) SetCcValue(crv.evnt, INT64(LevelOf(crv.evnt)) + lastExist);
    PlaceCurvePoints(blk, curveList, dropped);
    return 0;
}

// ---- Area writers

namespace {

// A new scaled controller event at time (0 when negative under timeMode 1),
// into the block and marked as made by the expression.
int PutAreaEnd(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE status, BYTE number, BYTE value, BYTE timeMode) {
    CArticWrkEvnt* e = nullptr;
    int rc = CArticWrkUtil::CreateWrkEvnt(wrk, blk, &e);
    if (rc != 0 || !e) return rc;
    e->SetStatus(status);
    e->SetTime(timeMode == 1 && time < 0 ? 0 : time, 1);
    e->SetPost1(number);
    e->SetPost2(value);
    blk->Sort(e, 1);
    e->SetCreate(1);
    return 0;
}

BYTE Scaled(BYTE levelType, BYTE level, WORD mag, signed char add) {
    return BYTE(Clamp<int>(CArticWrkUtil::CalcMagLevel(levelType, level, mag, add), 0, 127));
}

}  // namespace

int CArticWrkUtil::ConvToWrkForSomeEvnt(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 T1,
                                        INT64 T2, BYTE status, BYTE number, WORD mag, signed char add, BYTE timeMode,
                                        BYTE levelType, BYTE startLevel, BYTE endLevel) {
    if (!wrk || !blk || !list || list->IsEmpty()) return 1;
    bool atStart = false, atEnd = false;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e || e->GetStatus() != status || e->GetPost1() != number) continue;
        _WRK_EVNT r;
        e->Get(r);
        r.Post2 = Scaled(levelType, r.Post2, mag, add);
        const bool isEnd = r.Time == T1 || r.Time == T2;
        atStart = atStart || r.Time == T1;
        atEnd = atEnd || r.Time == T2;
        if (isEnd && timeMode == 1 && r.Time < 0) r.Time = 0;
        e->Set(r);
    }
    int rc = 0;
    if (!atStart) rc = PutAreaEnd(wrk, blk, T1, status, number, Scaled(levelType, startLevel, mag, add), timeMode);
    if (rc == 0 && !atEnd && T2 != kWrkNoTime) rc = PutAreaEnd(wrk, blk, T2, status, number, endLevel, timeMode);
    return rc;
}

int CArticWrkUtil::ConvToWrkForNoEvnt(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 T1,
                                      INT64 T2, BYTE status, BYTE number, WORD mag, signed char add, BYTE timeMode,
                                      BYTE levelType, BYTE level) {
    if (!wrk || !blk || !list) return 1;
    if (!list->IsEmpty()) return 0;
    int rc = PutAreaEnd(wrk, blk, T1, status, number, Scaled(levelType, level, mag, add), timeMode);
    if (rc == 0 && T2 != kWrkNoTime) rc = PutAreaEnd(wrk, blk, T2, status, number, level, timeMode);
    return rc;
}
