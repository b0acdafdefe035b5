// Pitch-bend operations of CArticWrkUtil: the working level encoding,
// deletion, shifting and thinning of bend events, the library merge, the bend
// level and range in force, area queries for the rule built-ins, and the
// entry operations of the curve and slide expressions.
#include <new>
#include <vector>

#include "engine/work/ArticWrkUtil.h"
#include "engine/work/ArticWrkUtilContImpl.h"

using namespace wrkcont;

namespace {

const char kCurveReason[] = "指定した時間にPBｶｰﾌﾞを作成するための情報に誤りがある。";

// Semitones of a bend value at a range.
double Semitones(LONG value, LONG range) { return double(value) / 8192.0 * double(range); }

// Visits evnt itself, then the events after it by number up to t2, then those
// before it down to t1; take(e, front) receives every bend event of [t1, t2]
// (front: found by the backward walk).
template <class Take>
void VisitArea(CArticWrk* wrk, CArticWrkEvnt* evnt, INT64 t1, INT64 t2, bool (*match)(const CArticWrkEvnt*, BYTE),
               BYTE number, Take take) {
    if (match(evnt, number) && evnt->GetTime() >= t1 && evnt->GetTime() <= t2 && !take(evnt, false)) return;
    NumberWalk fwd(wrk, evnt->GetEvntNo(), +1);
    for (CArticWrkEvnt* e = fwd.Next(); e; e = fwd.Next()) {
        if (e->GetTime() > t2) break;
        if (match(e, number) && e->GetTime() >= t1 && !take(e, false)) return;
    }
    NumberWalk back(wrk, evnt->GetEvntNo(), -1);
    for (CArticWrkEvnt* e = back.Next(); e; e = back.Next()) {
        if (e->GetTime() < t1) break;
        if (match(e, number) && e->GetTime() <= t2 && !take(e, true)) return;
    }
}

bool MatchBend(const CArticWrkEvnt* e, BYTE) { return IsBend(e); }

bool MatchCc(const CArticWrkEvnt* e, BYTE number) { return IsCc(e, number); }

}  // namespace

namespace wrkcont {

int VisitAreaCc(CArticWrk* wrk, CArticWrkEvnt* evnt, INT64 t1, INT64 t2, BYTE number,
                const std::function<bool(CArticWrkEvnt*, bool)>& take) {
    VisitArea(wrk, evnt, t1, t2, MatchCc, number, take);
    return 0;
}

}  // namespace wrkcont

// ---- Level encoding

short CArticWrkUtil::GetEvntLevel(const _WRK_EVNT& e) { return short(uint16_t((unsigned(e.Post2) << 8) | e.Post3)); }

void CArticWrkUtil::SetEvntLevel(_WRK_EVNT& e, short level) {
    e.Post2 = BYTE(uint16_t(level) >> 8);
    e.Post3 = BYTE(uint16_t(level) & 0xFF);
}

// ---- Ranges

short CArticWrkUtil::GetPbRangeWrk(CArticWrkBlk* blk, INT64 time) {
    if (!blk || !blk->GetEvntList()) return 2;
    BYTE rpnMsb = 127, rpnLsb = 127;
    bool nrpnSelected = false;
    short result = 2;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (!e) continue;
        if (e->GetTime() > time) break;
        switch (e->GetStatus()) {
        case 0xB0:
            switch (e->GetPost1()) {
            case 101: rpnMsb = e->GetPost2(); nrpnSelected = false; break;
            case 100: rpnLsb = e->GetPost2(); nrpnSelected = false; break;
            case 99:
            case 98: nrpnSelected = true; break;
            case 6:
                if (rpnMsb == 0 && rpnLsb == 0 && !nrpnSelected) result = e->GetPost2();
                break;
            default: break;
            }
            break;
        case 0x20:
            if (e->GetPost1() == 0 && e->GetPost2() == 0) result = e->GetPost3();
            break;
        case 0xF0: {
            const BYTE* data = nullptr;
            const ULONG len = e->GetSys(&data);
            if (data && len > 6 && data[0] == 0x43 && data[1] == 0x10 && data[2] == 0x4C && data[3] == 0x08 &&
                data[5] == 0x23)
                result = short(data[6] - 64);
            break;
        }
        default: break;
        }
    }
    return result;
}

short CArticWrkUtil::GetPbRangeWrk(CArticWrkEvnt* evnt, INT64 time) {
    return evnt && evnt->GetOwner() ? GetPbRangeWrk(evnt->GetOwner(), time) : short(2);
}

short CArticWrkUtil::GetPitchAdd(CArticWrk* wrk, CArticWrkBlk* blk, BYTE unit, INT64 time, short value) {
    const LONG v = unit == 1 ? ConvToPBFromCent(wrk, blk, time, value) : value;
    return short(Clamp<LONG>(v, -8192, 8191));
}

LONG CArticWrkUtil::GetPitchSft(CArticWrkBlk* blk, INT64 time, signed char semitones) {
    if (!blk) return 0;
    const LONG range = GetPbRange(blk, time);
    if (range == 0) return 0;
    const INT64 v = semitones >= 0 ? DoubleToInt64(8191.0 / range * semitones + 0.5)
                                   : DoubleToInt64(8192.0 / range * semitones - 0.5);
    return LONG(short(uint16_t(v)));
}

// ---- Bend events of a list

int CArticWrkUtil::DelPbTimeArea(CArticWrkEvntList* list, INT64 t1, INT64 t2, POSITION near) {
    return DestroyInArea(list, t1, t2, IsBend, near);
}

int CArticWrkUtil::ShiftPbEvnt(CArticWrkEvntList* list, INT64 t1, INT64 t2, short shift, POSITION near) {
    if (!list) return 1;
    for (POSITION p = near ? FirstLater(list, t1, false, near) : list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        if (e->GetTime() > t2) break;
        if (IsBend(e) && e->GetTime() >= t1) SetBend(e, INT64(BendOf(e)) + shift);
    }
    return 0;
}

namespace wrkcont {

void Thin(CArticWrkBlk* blk, const std::vector<CArticWrkEvnt*>& events, WORD reso) {
    if (events.size() < 3) return;
    INT64 ref = events.front()->GetTime();
    for (size_t i = 1; i + 1 < events.size(); ++i) {
        CArticWrkEvnt* e = events[i];
        if (e->GetTime() < ref + reso) {
            blk->Remove(e->GetPosEvnt());
            delete e;
        } else {
            ref = e->GetTime();
        }
    }
}

}  // namespace wrkcont

int CArticWrkUtil::ResoContPb(CArticWrk* /*wrk*/, CArticWrkBlk* blk, INT64 t1, INT64 t2, WORD reso) {
    if (!blk || !blk->GetEvntList()) return 1;
    std::vector<CArticWrkEvnt*> events;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (IsBend(e) && e->GetTime() >= t1 && e->GetTime() <= t2) events.push_back(e);
    }
    Thin(blk, events, reso);
    return 0;
}

namespace wrkcont {

int MergeLibEvnts(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* existList, CArticWrkEvntList* libList,
                  LONG (*valueOf)(const CArticWrkEvnt*), void (*setValue)(CArticWrkEvnt*, INT64), LONG libOffset) {
    if (!wrk || !blk || !existList || !libList) return 1;
    LONG lastExist = 0, lastLib = 0;
    Cursor exist(existList), lib(libList);
    std::vector<POSITION> dropped;
    while (exist.evnt && lib.evnt) {
        lib.evnt->SetOwner(blk);
        const INT64 te = exist.evnt->GetTime(), tl = lib.evnt->GetTime();
        if (te == tl) {
            lastExist = valueOf(exist.evnt);
            lastLib = valueOf(lib.evnt) + libOffset;
            setValue(exist.evnt, INT64(lastExist) + lastLib);
            delete lib.evnt;
            dropped.push_back(lib.at);
            exist.Advance();
            lib.Advance();
        } else if (tl < te) {
            lastLib = valueOf(lib.evnt) + libOffset;
            setValue(lib.evnt, INT64(lastLib) + lastExist);
            lib.Advance();
        } else {
            lastExist = valueOf(exist.evnt);
            setValue(exist.evnt, INT64(lastExist) + lastLib);
            exist.Advance();
        }
    }
    for (POSITION at : dropped) libList->RemoveAt(at);
    for (POSITION p = libList->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = libList->GetNext(p);
        if (!e) continue;
        // Library events past the existing data were never compared: they
        // enter the block all the same and must belong to it.
        e->SetOwner(blk);
        e->SetEvntNo(wrk->GetFreeEvntNo());
        e->SetMeas(e->GetTime());
        blk->Sort(e, 1);
    }
    return 0;
}

}  // namespace wrkcont

int CArticWrkUtil::AddPbEvnt(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* existList,
                             CArticWrkEvntList* libList) {
    return MergeLibEvnts(wrk, blk, existList, libList, BendOf, SetBend, 0);
}

int CArticWrkUtil::CreOrigWrkPbEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 t1,
                                        INT64 t2, BYTE status) {
    if (status != 0xE0) return 1;
    return CrePitchOrigEvntList(wrk, blk, list, t1, t2, t2, status);
}

int CArticWrkUtil::ResetPbType(BYTE type) {
    return ((type & 0x01) << 3) | (type & 0x04) | (((type >> 3) & 1) << 4) | (((type >> 4) & 1) << 5);
}

// ---- Levels in force

short CArticWrkUtil::GetPbLevel(CArticWrkEvntList* list, INT64 time, POSITION near) {
    short result = 0;
    if (!list) return 0;
    if (near) {
        // The last bend before the first event later than time.
        const CArticWrkEvnt* e = LastBefore(list, time, true, near, IsBend);
        return e ? short(BendOf(e)) : result;
    }
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!IsBend(e)) continue;
        if (e->GetTime() > time) break;
        result = short(BendOf(e));
    }
    return result;
}

short CArticWrkUtil::GetPbLevel(CArticWrkEvnt* evnt, INT64 time, BYTE inCents) {
    CArticWrkBlk* blk = evnt ? evnt->GetOwner() : nullptr;
    CArticWrk* wrk = WrkOfBlk(blk);
    if (!evnt || !blk || !wrk || !blk->GetEvntList()) return 0;
    auto convert = [&](const CArticWrkEvnt* e) -> short {
        const LONG v = BendOf(e);
        if (!inCents) return short(v);
        return short(DoubleToInt64(Semitones(v, GetPbRangeWrk(blk, e->GetTime())) * 100.0));
    };
    bool found = false;
    short result = 0;
    if (IsBend(evnt) && evnt->GetTime() <= time) {
        result = convert(evnt);
        found = true;
    }
    NumberWalk fwd(wrk, evnt->GetEvntNo(), +1);
    for (CArticWrkEvnt* e = fwd.Next(); e; e = fwd.Next()) {
        if (e->GetTime() >= time) break;
        if (IsBend(e)) {
            result = convert(e);
            found = true;
        }
    }
    if (found) return result;
    CArticWrkEvnt* before = nullptr;
    if (wrk->GetPrevBend(evnt->GetEvntNo(), time, &before)) return before ? convert(before) : 0;
    NumberWalk back(wrk, evnt->GetEvntNo(), -1);
    for (CArticWrkEvnt* e = back.Next(); e; e = back.Next())
        if (IsBend(e) && e->GetTime() <= time) return convert(e);
    return 0;
}

// ---- Area queries

int CArticWrkUtil::GetAreaPb(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, CArticWrkEvntList* list) {
    if (!evnt || !list) return 1;
    CArticWrk* wrk = WrkOf(evnt);
    if (!wrk) return 0;
    VisitArea(wrk, evnt, t1, t2, MatchBend, 0, [&](CArticWrkEvnt* e, bool front) {
        if (front)
            list->AddHead(e);
        else
            list->AddTail(e);
        return true;
    });
    return 0;
}

int CArticWrkUtil::GetAreaPbExist(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, int* exist) {
    if (exist) *exist = 0;
    CArticWrk* wrk = WrkOf(evnt);
    if (!evnt || !wrk) return 1;
    VisitArea(wrk, evnt, t1, t2, MatchBend, 0, [&](CArticWrkEvnt*, bool) {
        if (exist) *exist = 1;
        return false;
    });
    return 0;
}

int CArticWrkUtil::GetAreaPbMaxMin(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, int* exist, double* max, double* min) {
    int ex = 0;
    double hi = -25.0, lo = 25.0;
    bool failed = true;
    CArticWrkBlk* blk = evnt ? evnt->GetOwner() : nullptr;
    CArticWrk* wrk = WrkOfBlk(blk);
    if (evnt && blk && wrk) {
        const double atStart = GetPbLevel(evnt, t1, 1) / 100.0;
        hi = lo = atStart;
        VisitArea(wrk, evnt, t1, t2, MatchBend, 0, [&](CArticWrkEvnt* e, bool) {
            ex = 1;
            const double v = Semitones(BendOf(e), GetPbRangeWrk(blk, e->GetTime()));
            if (v > hi) hi = v;
            if (v < lo) lo = v;
            return true;
        });
        failed = false;
    }
    if (exist) *exist = ex;
    if (max) *max = hi;
    if (min) *min = lo;
    return failed || hi < -24.0 || hi > 24.0 || lo < -24.0 || lo > 24.0 ? 1 : 0;
}

namespace wrkcont {

int Direction(double start, const std::vector<double>& values) {
    int direction = 3;
    double f = start;
    for (double r : values) {
        if (direction == 3) {
            if (r > f) direction = 1;
            if (r < f) direction = 2;
        } else if ((direction == 1 && r < f) || (direction == 2 && r > f)) {
            return 0;
        }
        f = r;
    }
    return direction;
}

}  // namespace wrkcont

int CArticWrkUtil::GetAreaPbNonSycle(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, int* direction) {
    if (direction) *direction = 3;
    CArticWrkEvntList list;
    int rc = GetAreaPb(evnt, t1, t2, &list);
    if (rc == 0) rc = SortByTime(&list);
    CArticWrkBlk* blk = evnt ? evnt->GetOwner() : nullptr;
    if (blk) {
        const double f = Semitones(GetPbLevel(blk->GetEvntList(), t1), GetPbRange(blk, t1));
        std::vector<double> values;
        for (POSITION p = list.GetHeadPosition(); p;) {
            CArticWrkEvnt* e = list.GetNext(p);
            if (e) values.push_back(Semitones(BendOf(e), GetPbRange(blk, e->GetTime())));
        }
        if (direction) *direction = Direction(f, values);
    }
    list.RemoveAll();
    return rc;
}

// ---- Entry operations

int CArticWrkUtil::CrePitchCrv(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch, BYTE unit,
                               INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to, signed char curve,
                               WORD step) {
    const short f = GetPitchAdd(wrk, blk, unit, T1, from), t = GetPitchAdd(wrk, blk, unit, T2, to);
    int rc = 1;
    if (mode == 0)
        rc = ConvToWrkForReplace(wrk, blk, mode, keepEnd, stretch, T1, T2, T3, status, f, t, curve, step);
    else if (mode == 1)
        rc = ConvToWrkForAdd(wrk, blk, mode, keepEnd, stretch, T1, T2, T3, status, f, t, curve, step);
    if (rc == 0) return 0;
    ReportErr(kPhase1, kCurveReason, "CArticWrkUtil::CrePitchCrv", "");
    return rc;
}

int CArticWrkUtil::CrePitchCrvI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch,
                                BYTE unit, INT64 T0, INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to,
                                signed char curve, WORD step) {
    const short f = GetPitchAdd(wrk, blk, unit, T1, from), t = GetPitchAdd(wrk, blk, unit, T2, to);
    int rc = 1;
    if (T0 == T1) {
        if (mode == 0)
            rc = ConvToWrkForReplace(wrk, blk, mode, keepEnd, stretch, T1, T2, T3, status, f, t, curve, step);
        else if (mode == 1)
            rc = ConvToWrkForAdd(wrk, blk, mode, keepEnd, stretch, T1, T2, T3, status, f, t, curve, step);
    } else if (mode == 0) {
        rc = ConvToWrkForReplaceI(wrk, blk, mode, keepEnd, stretch, T0, T1, T2, T3, status, f, t, curve, step);
    } else if (mode == 1) {
        rc = ConvToWrkForAddI(wrk, blk, mode, keepEnd, stretch, T0, T1, T2, T3, status, f, t, curve, step);
    }
    if (rc == 0) return 0;
    ReportErr(kPhase1, kCurveReason, "CArticWrkUtil::CrePitchCrvI", "");
    return rc;
}

int CArticWrkUtil::CrePitchSlide(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE unit, INT64 T1,
                                 INT64 T2, INT64 T3, BYTE status, short from, short to, signed char curve,
                                 WORD step) {
    const short f = GetPitchAdd(wrk, blk, unit, T1, from), t = GetPitchAdd(wrk, blk, unit, T2, to);
    int rc = 1;
    if (mode == 0)
        rc = ConvToWrkForSlideReplace(wrk, blk, mode, keepEnd, T1, T2, T3, status, f, t, curve, step);
    else if (mode == 1)
        rc = ConvToWrkForSlideAdd(wrk, blk, mode, keepEnd, T1, T2, T3, status, f, t, curve, step);
    if (rc == 0) return 0;
    ReportErr(kPhase1, kCurveReason, "CArticWrkUtil::CrePitchSlide", "");
    return rc;
}

int CArticWrkUtil::CrePitchSlideI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE unit, INT64 T0,
                                  INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to,
                                  signed char curve, WORD step) {
    const short f = GetPitchAdd(wrk, blk, unit, T1, from), t = GetPitchAdd(wrk, blk, unit, T2, to);
    int rc = 1;
    if (T0 == T1) {
        if (mode == 0)
            rc = ConvToWrkForSlideReplace(wrk, blk, mode, keepEnd, T1, T2, T3, status, f, t, curve, step);
        else if (mode == 1)
            rc = ConvToWrkForSlideAdd(wrk, blk, mode, keepEnd, T1, T2, T3, status, f, t, curve, step);
    } else if (mode == 0) {
        rc = ConvToWrkForSlideReplaceI(wrk, blk, mode, keepEnd, T0, T1, T2, T3, status, f, t, curve, step);
    } else if (mode == 1) {
        rc = ConvToWrkForSlideAddI(wrk, blk, mode, keepEnd, T0, T1, T2, T3, status, f, t, curve, step);
    }
    if (rc == 0) return 0;
    ReportErr(kPhase1, kCurveReason, "CArticWrkUtil::CrePitchSlideI", "");
    return rc;
}

int CArticWrkUtil::CrePitchGtrSlide(CArticWrk* wrk, CArticWrkBlk* blk, INT64 T1, INT64 T2, short from, short to,
                                    short count, signed char curve, WORD step) {
    const short f = GetPitchAdd(wrk, blk, 0, T1, from), t = GetPitchAdd(wrk, blk, 0, T2, to);
    const int rc = ConvToWrkForSlide(wrk, blk, T1, T2, f, t, count, curve, step);
    if (rc == 0) return 0;
    ReportErr(kPhase1, kCurveReason, "CArticWrkUtil::CrePitchGtrSlide", "");
    return rc;
}
