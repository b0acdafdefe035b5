// Controller data operations of CArticWrkUtil: single control changes,
// deletion, shifting and thinning, the collapse of an area onto its start, the
// library merge, the values in force, area queries for the rule built-ins,
// and the entry operations of the controller expressions (fixed and curved
// relative changes, re-levelled song data).
#include <new>
#include <vector>

#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilContImpl.h"

using namespace wrkcont;

namespace {

const char kPhaseWrk1[] = "中間作業ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集時(第１段階)にｴﾗｰが発生しました。";

// A new control change of blk (not yet in its list).
int NewCc(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE number, BYTE value, CArticWrkEvnt** out) {
    int rc = CArticWrkUtil::CreateWrkEvnt(wrk, blk, out);
    if (rc != 0) return rc;
    (*out)->SetStatus(0xB0);
    (*out)->SetTime(time, 1);
    (*out)->SetPost1(number);
    (*out)->SetPost2(value);
    return 0;
}

BYTE CcValueOf(const CArticWrkEvnt* e) { return e->GetPost2(); }

// The expression controller is mirrored in the block's condition timeline.
_WRK_EVNT CcRecord(BYTE number) {
    _WRK_EVNT r;
    r.Status = 0xB0;
    r.Post1 = number;
    return r;
}

}  // namespace

// ---- Single events and lists

int CArticWrkUtil::CreContCcTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE number, BYTE value,
                                 POSITION near) {
    if (time == kWrkNoTime) return 0;
    CArticWrkEvnt* e = nullptr;
    int rc = NewCc(wrk, blk, time, number, value, &e);
    if (rc != 0 || !e) return rc;
    blk->Sort(e, 1, near);
    rc = blk->SetCondPos(e);
    e->SetCreate(1);
    return rc;
}

int CArticWrkUtil::CreContCcTimeBefore(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE number, BYTE value) {
    if (time == kWrkNoTime) return 0;
    CArticWrkEvnt* e = nullptr;
    int rc = NewCc(wrk, blk, time, number, value, &e);
    if (rc != 0 || !e) return rc;
    blk->SortBefore(e, 1);
    rc = blk->SetCondPos(e);
    e->SetCreate(1);
    return rc;
}

int CArticWrkUtil::DelContCcTime(CArticWrkEvntList* list, INT64 time, BYTE number) {
    return DelContCcTimeArea(list, time, time, number);
}

int CArticWrkUtil::DelContCcTime(CArticWrkBlk* blk, INT64 time, BYTE number) {
    if (time == kWrkNoTime) return 0;
    if (!blk || !blk->GetEvntList())
        return ReportErr(kPhaseWrk1, "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ（Cc）を削除する際にｴﾗｰが発生した。",
                         "CArticWrkUtil::DelContCcTime", "");
    int rc = DelContCcTime(blk->GetEvntList(), time, number);
    // The timeline keeps its own copy of the expression controller; left
    // there, it would go on answering the deleted value.
    if (rc == 0 && number == 11) rc = blk->DelCondPos(CcRecord(number), time, time);
    return rc;
}

int CArticWrkUtil::DelContCcTimeArea(CArticWrkEvntList* list, INT64 t1, INT64 t2, BYTE number, POSITION near) {
    return DestroyInArea(list, t1, t2, [number](const CArticWrkEvnt* e) { return IsCc(e, number); }, near);
}

int CArticWrkUtil::ShiftCcEvnt(CArticWrkEvntList* list, BYTE number, INT64 t1, INT64 t2, short shift,
                               POSITION near) {
    if (!list) return 1;
    for (POSITION p = near ? FirstLater(list, t1, false, near) : list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        if (e->GetTime() > t2) break;
        if (IsCc(e, number) && e->GetTime() >= t1) SetCcValue(e, INT64(CcValueOf(e)) + shift);
    }
    return 0;
}

int CArticWrkUtil::ResoContCc(CArticWrk* /*wrk*/, CArticWrkBlk* blk, BYTE number, INT64 t1, INT64 t2, WORD reso) {
    if (!blk || !blk->GetEvntList()) return 1;
    std::vector<CArticWrkEvnt*> events;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (IsCc(e, number) && e->GetTime() >= t1 && e->GetTime() <= t2) events.push_back(e);
    }
    Thin(blk, events, reso);
    return 0;
}

int CArticWrkUtil::WipeContDataTimeArea(CArticWrkBlk* blk, INT64 t1, INT64 t2) {
    if (!blk || !blk->GetWrk() || !blk->GetEvntList()) return 0;
    std::vector<CArticWrkEvnt*> moved;  // tail first
    for (POSITION p = blk->GetTailPos(); p;) {
        CArticWrkEvnt* e = blk->GetPrev(p);
        if (!e) continue;
        if (e->GetTime() < t1) break;
        if (IsNote(e) || e->GetTime() > t2) continue;
        if (e->GetTime() != t1) moved.push_back(e);
        e->SetTime(t1, 0);
    }
    // Every walk of the block relies on time order: the moved events leave
    // their old places and follow the events already at t1, in their
    // previous order.
    for (CArticWrkEvnt* e : moved) blk->Remove(e->GetPosEvnt());
    for (auto it = moved.rbegin(); it != moved.rend(); ++it) {
        blk->Sort(*it, 0);
        blk->ResetEvntPos(*it);
    }
    return 0;
}

int CArticWrkUtil::ResetCcType(BYTE type) { return ResetPbType(type) | (((type >> 5) & 1) << 6); }

// ---- Library merge

int CArticWrkUtil::CreOrigWrkCcEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 t1,
                                        INT64 t2, BYTE /*ignored*/, BYTE status, BYTE number) {
    if (!list || status != 0xB0) return 1;
    if (!blk || !blk->GetEvntList()) return 1;
    return GatherAreaWithEnds(
        blk, list, t1, t2, BYTE(CArticUtil::GetDefaultContVal(number)), [number](const CArticWrkEvnt* e) { return IsCc(e, number); },
        CcValueOf, [&](INT64 t, BYTE value, CArticWrkEvnt** out) { return NewCc(wrk, blk, t, number, value, out); });
}

int CArticWrkUtil::AddCcEvnt(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* existList,
                             CArticWrkEvntList* libList, BYTE flags) {
    const LONG offset = (flags & 0x40) ? -64 : 0;
    return MergeLibEvnts(
        wrk, blk, existList, libList, [](const CArticWrkEvnt* e) -> LONG { return CcValueOf(e); }, SetCcValue,
        offset);
}

void CArticWrkUtil::AddInitEvntList(CArticWrkEvntList* list, INT64 time) {
    if (!list || list->IsEmpty() || !list->GetHead()) return;
    auto* e = new (std::nothrow) CArticWrkEvnt();
    if (!e) return;
    _WRK_EVNT r;
    list->GetHead()->Get(r);
    r.Time = time;
    e->Set(r);
    list->AddHead(e);
}

int CArticWrkUtil::ModWrkOrgContCc(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t1, INT64 t2, BYTE number, WORD offset,
                                   WORD mag) {
    if (!wrk || !blk) return 1;
    CArticWrkEvntList list;
    int rc = CreOrigWrkCcEvntList(wrk, blk, &list, t1, t2, 64, 0xB0, number);
    if (rc == 0) MagAddEvntList(&list, t1, t2, mag, short(offset), 0);
    ClearEvntList(&list);
    return rc;
}

// ---- Values in force

BYTE CArticWrkUtil::GetContCcLevel(CArticWrkEvnt* evnt, INT64 time, BYTE number) {
    CArticWrkEvnt* front = evnt ? GetFrontContCcEvnt(evnt, time, number) : nullptr;
    return front ? CcValueOf(front) : CArticUtil::GetDefaultContVal(number);
}

short CArticWrkUtil::GetContCcLevel(CArticWrkEvntList* list, INT64 time, BYTE number) {
    short result = CArticUtil::GetDefaultContVal(number);
    if (!list) return result;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!IsCc(e, number)) continue;
        if (e->GetTime() > time) break;
        result = CcValueOf(e);
    }
    return result;
}

BYTE CArticWrkUtil::GetFrontContVal(CArticWrkEvntList* list, INT64 time, BYTE number, POSITION near) {
    if (!list) return 0;
    BYTE result = CArticUtil::GetDefaultContVal(number);
    if (near) {
        // The last controller before the first event at or after time.
        const CArticWrkEvnt* e =
            LastBefore(list, time, false, near, [number](const CArticWrkEvnt* c) { return IsCc(c, number); });
        return e ? CcValueOf(e) : result;
    }
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        if (e->GetTime() >= time) break;
        if (IsCc(e, number)) result = CcValueOf(e);
    }
    return result;
}

// ---- Area queries

int CArticWrkUtil::GetAreaCc(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, BYTE number, CArticWrkEvntList* list) {
    if (!evnt || !list) return 1;
    CArticWrk* wrk = WrkOf(evnt);
    if (!wrk) return 0;
    return VisitAreaCc(wrk, evnt, t1, t2, number, [&](CArticWrkEvnt* e, bool front) {
        if (front)
            list->AddHead(e);
        else
            list->AddTail(e);
        return true;
    });
}

int CArticWrkUtil::GetAreaCcExist(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, BYTE number, int* exist) {
    if (exist) *exist = 0;
    CArticWrk* wrk = WrkOf(evnt);
    if (!evnt || !wrk) return 1;
    return VisitAreaCc(wrk, evnt, t1, t2, number, [&](CArticWrkEvnt*, bool) {
        if (exist) *exist = 1;
        return false;
    });
}

int CArticWrkUtil::GetAreaCcMaxMin(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, BYTE number, int* exist, double* max,
                                   double* min) {
    int ex = 0;
    double hi = -1.0, lo = 128.0;
    bool failed = true;
    CArticWrkBlk* blk = evnt ? evnt->GetOwner() : nullptr;
    CArticWrk* wrk = WrkOfBlk(blk);
    if (evnt && blk && wrk) {
        hi = lo = GetContCcLevel(blk->GetEvntList(), t1, number);
        VisitAreaCc(wrk, evnt, t1, t2, number, [&](CArticWrkEvnt* e, bool) {
            ex = 1;
            const double v = CcValueOf(e);
            if (v > hi) hi = v;
            if (v < lo) lo = v;
            return true;
        });
        failed = false;
    }
    if (exist) *exist = ex;
    if (max) *max = hi;
    if (min) *min = lo;
    return failed || hi < 0.0 || hi > 127.0 || lo < 0.0 || lo > 127.0 ? 1 : 0;
}

int CArticWrkUtil::GetAreaCcNonSycle(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, BYTE number, int* direction) {
    if (direction) *direction = 3;
    CArticWrkEvntList list;
    int rc = GetAreaCc(evnt, t1, t2, number, &list);
    if (rc == 0) rc = SortByTime(&list);
    CArticWrkBlk* blk = evnt ? evnt->GetOwner() : nullptr;
    if (blk) {
        std::vector<double> values;
        for (POSITION p = list.GetHeadPosition(); p;) {
            CArticWrkEvnt* e = list.GetNext(p);
            if (e) values.push_back(CcValueOf(e));
        }
        if (direction) *direction = Direction(GetContCcLevel(blk->GetEvntList(), t1, number), values);
    }
    list.RemoveAll();
    return rc;
}

// ---- Entry operations

int CArticWrkUtil::CreContCcCrv(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch,
                                BYTE centre, INT64 T1, INT64 T2, INT64 T3, BYTE status, BYTE number, short from,
                                short to, signed char curve, WORD step) {
    int rc = 1;
    if (mode == 0)
        rc = ConvToWrkForContCcReplace(wrk, blk, mode, keepEnd, stretch, centre, T1, T2, T3, status, number, from,
                                       to, curve, step);
    else if (mode == 1)
        rc = ConvToWrkForContCcAdd(wrk, blk, mode, keepEnd, stretch, centre, T1, T2, T3, status, number, from, to,
                                   curve, step);
    if (rc == 0) return 0;
    ReportErr(kPhase1, "指定した時間にCcｶｰﾌﾞを作成するための情報に誤りがある。", "CArticWrkUtil::CreContCcCrv", "");
    return rc;
}

int CArticWrkUtil::CreContCcCrvI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch,
                                 BYTE centre, INT64 T0, INT64 T1, INT64 T2, INT64 T3, BYTE status, BYTE number,
                                 short from, short to, signed char curve, WORD step) {
    int rc = 1;
    if (T0 == T1) {
        if (mode == 0)
            rc = ConvToWrkForContCcReplace(wrk, blk, mode, keepEnd, stretch, centre, T1, T2, T3, status, number,
                                           from, to, curve, step);
        else if (mode == 1)
            rc = ConvToWrkForContCcAdd(wrk, blk, mode, keepEnd, stretch, centre, T1, T2, T3, status, number, from,
                                       to, curve, step);
    } else if (mode == 0) {
        rc = ConvToWrkForContCcReplaceI(wrk, blk, mode, keepEnd, stretch, centre, T0, T1, T2, T3, status, number,
                                        from, to, curve, step);
    } else if (mode == 1) {
        rc = ConvToWrkForContCcAddI(wrk, blk, mode, keepEnd, stretch, centre, T0, T1, T2, T3, status, number, from,
                                    to, curve, step);
    }
    if (rc == 0) return 0;
    ReportErr(kPhase1, "指定した時間にCcｶｰﾌﾞを作成するための情報に誤りがある。", "CArticWrkUtil::CreContCcCrvI", "");
    return rc;
}

int CArticWrkUtil::CcTimeRelAreaFix(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 T1,
                                    INT64 T2, BYTE status, BYTE number, WORD mag, signed char add, BYTE timeMode,
                                    BYTE levelType, BYTE startLevel, BYTE endLevel) {
    int rc = 1;
    if (wrk && blk && list) {
        if (list->IsEmpty())
            rc = ConvToWrkForNoEvnt(wrk, blk, list, T1, T2, status, number, mag, add, timeMode, levelType,
                                    startLevel);
        else
            rc = ConvToWrkForSomeEvnt(wrk, blk, list, T1, T2, status, number, mag, add, timeMode, levelType,
                                      startLevel, endLevel);
    }
    if (rc == 0) return 0;
    ReportErr(kPhase1, "指定した時間内のｲﾍﾞﾝﾄに対してCcの値を変更する際にｴﾗｰが発生した。",
              "CArticWrkUtil::CcTimeRelAreaFix", "");
    return rc;
}

int CArticWrkUtil::ContCcTimeRelFix(CArticWrk* wrk, CArticWrkBlk* blk, INT64 T1, INT64 T2, BYTE type,
                                    BYTE levelType, BYTE number, WORD mag, signed char add) {
    if (!wrk || !blk || !blk->GetEvntList()) return 1;
    CArticWrkEvntList* events = blk->GetEvntList();
    LONG prevT2 = 0;
    CArticWrkEvnt* atT2 = nullptr;
    if (type == 1) {
        T2 = GetNearNoteOnTime(events, GetNearNoteOffTime(events, T1, 2), 3);
        if (T2 == kWrkNoTime) {
            type = 0;
        } else {
            if (T2 < 0) T2 = 0;
            if (CheckSameTimeEvnt(events, T2, 0xB0, number, &prevT2, &atT2) == 0) atT2 = nullptr;
        }
    }
    LONG prevT1 = 0;
    CArticWrkEvnt* atT1 = nullptr;
    CArticWrkEvnt* e = nullptr;
    if (CheckSameTimeEvnt(events, T1, 0xB0, number, &prevT1, &atT1) == 0 &&
        NewCc(wrk, blk, T1, number, BYTE(prevT1), &e) == 0 && e) {
        blk->Sort(e, 1);
        e->SetCreate(1);
    }
    if (type == 1) {
        // The level in force before the change returns at its end.
        if (atT2) {
            SetCcValue(atT2, prevT2);
        } else if (NewCc(wrk, blk, T2, number, BYTE(prevT2), &e) == 0 && e) {
            blk->Sort(e, 1);
            e->SetCreate(1);
        }
    }
    const INT64 end = T2 < 2 ? 0 : T2 - 1;
    CArticWrkEvntList list;
    CopyEvntList(events, &list, 0xB0, number, T1, end, 0);
    MagAddEvntList(&list, T1, end, mag, add, levelType);
    list.RemoveAll();
    return 0;
}

int CArticWrkUtil::ContCcTimeRelCrv(CArticWrk* wrk, CArticWrkBlk* blk, INT64 T1, INT64 T2, BYTE status,
                                    BYTE number, signed char from, signed char to, signed char curve, WORD step,
                                    CArticWrkEvntList* afterList) {
    int rc = 1;
    if (wrk && blk) {
        if (T1 >= T2) return 1;
        CArticWrkEvntList existing, curveList;
        rc = CreOrigWrkEvntList(wrk, blk, &existing, T1, T2, status, number);
        if (rc == 0) rc = CreCrvWrkEvntList(wrk, blk, &existing, &curveList, T1, T2, status, number, from, to, curve,
                                            step);
        if (rc == 0) rc = AddCrvEvnt(blk, &existing, &curveList, T2);
        if (rc == 0) rc = MagAddEvntList(afterList, number, to);
        existing.RemoveAll();
        FreeUnplaced(curveList);
    }
    if (rc == 0) return 0;
    ReportErr(kPhase1, "加算値とｶｰﾌﾞを与えてCcｲﾍﾞﾝﾄを追加する際にｴﾗｰが発生した。", "CArticWrkUtil::ContCcTimeRelCrv",
              "");
    return rc;
}

int CArticWrkUtil::CreCrvWrkEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* existList,
                                     CArticWrkEvntList* curveList, INT64 T1, INT64 T2, BYTE status, BYTE number,
                                     signed char from, signed char to, signed char curve, WORD step) {
    if (!wrk || !blk || !existList || !curveList) return 1;
    // A step of 0 ticks would never leave T1.
    if (step == 0) return 1;
    const INT64 len = T2 - T1;
    const LONG delta = LONG(to) - from;
    auto add = [&](INT64 t) -> int {
        CArticWrkEvnt* e = nullptr;
        int rc = CreateWrkEvnt(wrk, blk, &e);
        if (rc != 0 || !e) return rc == 0 ? -1 : rc;
        e->SetStatus(status);
        e->SetTime(t, 1);
        e->SetPost1(number);
        e->SetPost2(BYTE(CalcCrvLevel(t - T1, len, delta, from, curve)));
        e->SetCreate(1);
        curveList->AddTail(e);
        return 0;
    };
    Cursor exist(existList);
    bool hitEnd = false;
    if (T2 >= T1) {
        for (INT64 g = T1;; g += step) {
            // The existing events passed since the last grid point get points
            // of their own; one exactly at a grid point shares that point.
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

int CArticWrkUtil::AddCrvEvnt(CArticWrkBlk* blk, CArticWrkEvntList* existList, CArticWrkEvntList* curveList,
                              INT64 /*ignored*/) {
    if (!blk || !existList || !curveList) return 1;
    LONG lastExist = 0, lastCurve = 0;
    Cursor exist(existList), crv(curveList);
    std::vector<POSITION> dropped;
    auto offsetOf = [](const CArticWrkEvnt* e) { return LONG(static_cast<signed char>(e->GetPost2())); };
    while (exist.evnt && crv.evnt) {
        const INT64 te = exist.evnt->GetTime(), tc = crv.evnt->GetTime();
        if (te == tc) {
            lastExist = CcValueOf(exist.evnt);
            lastCurve = offsetOf(crv.evnt);
            SetCcValue(exist.evnt, INT64(lastExist) + lastCurve);
            blk->SetEvntPos(crv.evnt);
            delete crv.evnt;
            dropped.push_back(crv.at);
            exist.Advance();
            crv.Advance();
        } else if (tc < te) {
            lastCurve = offsetOf(crv.evnt);
            SetCcValue(crv.evnt, INT64(lastCurve) + lastExist);
            crv.Advance();
        } else {
            lastExist = CcValueOf(exist.evnt);
            SetCcValue(exist.evnt, INT64(lastExist) + lastCurve);
            exist.Advance();
        }
    }
    // Curve points past the existing data still carry bare offsets, which
    // are no controller values: they continue from the last existing value.
    for (; crv.evnt; crv.Advance()) SetCcValue(crv.evnt, INT64(offsetOf(crv.evnt)) + lastExist);
    PlaceCurvePoints(blk, curveList, dropped);
    return 0;
}
