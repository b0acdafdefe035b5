#include "engine/expressions/ArticExpStresCont.h"

#include <algorithm>

#include "engine/work/ArticTicks.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkUtil.h"

using articticks::AddTicks;
using articticks::OffTime;

VX_IMPLEMENT_CLASS(CArticExpStresCont, CArticExpStres);
VX_IMPLEMENT_CLASS(CArticExpStresContCc, CArticExpStresCont);
VX_IMPLEMENT_CLASS(CArticExpStresContCcTime, CArticExpStresContCc);
VX_IMPLEMENT_CLASS(CArticExpStresContCcTimeRel, CArticExpStresContCcTime);
VX_IMPLEMENT_CLASS(CArticExpStresContCcNote, CArticExpStresContCc);
VX_IMPLEMENT_CLASS(CArticExpStresContCcTimeAbs, CArticExpStresContCcTime);
VX_IMPLEMENT_CLASS(CArticExpStresContCcTimeRelFix, CArticExpStresContCcTimeRel);
VX_IMPLEMENT_CLASS(CArticExpStresContCcTimeRelAreaFix, CArticExpStresContCcTimeRel);
VX_IMPLEMENT_CLASS(CArticExpStresContCcTimeRelCrv, CArticExpStresContCcTimeRel);
VX_IMPLEMENT_CLASS(CArticExpStresContCcNoteCrv, CArticExpStresContCcNote);
VX_IMPLEMENT_CLASS(CArticExpStresContCcNoteCreAbs, CArticExpStresContCcNote);
VX_IMPLEMENT_CLASS(CArticExpStresContCcNoteCreAbs2, CArticExpStresContCcNoteCreAbs);
VX_IMPLEMENT_CLASS(CArticExpStresContCcNoteCreRel, CArticExpStresContCcNote);
VX_IMPLEMENT_CLASS(CArticExpStresContCcNoteCreRel2, CArticExpStresContCcNoteCreRel);
VX_IMPLEMENT_CLASS(CArticExpOrgContCc, CArticExpEvnt);

namespace {

const char kCcAtTimeFailed[] = "指定時刻にCcを指定する際にｴﾗｰが発生した。";
const char kCcNearFailed[] = "近隣音符にCcを指定する際にｴﾗｰが発生した。";
const char kCcAreaFailed[] = "指定時刻の範囲内でCcを指定する際にｴﾗｰが発生した。";
const char kCcNearAreaFailed[] = "近隣音符の範囲内でCcを指定する際にｴﾗｰが発生した。";
const char kCcNoteEndAreaFailed[] = "近隣音符（終端off）の範囲内でCcを指定する際にｴﾗｰが発生した。";
const char kCcUnknownKind[] = "未対応の処理番号が指定されている。";
const char* const kCcTypeMethods[] = {"ConvToWrk => CreWrkContCcType0", "ConvToWrk => CreWrkContCcType1", "",
                                      "ConvToWrk => CreWrkContCcType3"};

BYTE CcValue(int v) { return BYTE(std::clamp(v, 0, 127)); }
INT64 CcNotNegative(INT64 t) { return t < 0 ? 0 : t; }
// The value in force at t, an event exactly at t included.
INT64 CcAtOrBefore(INT64 t) { return t >= kWrkNoTime ? t : t + 1; }

CArticWrkEvntList* CcEvents(CArticWrkBlk* blk) { return blk ? blk->GetEvntList() : nullptr; }

// Refuses a processing type the class has no form for, reported once: 1.
int RefuseKind(CArticExpEvnt* self, BYTE type) {
    if (self->GetErrKind() == 0) {
        CString detail;
        detail.Format("処理番号 = %u", unsigned(type));
        self->DispErrMsg(CArticExpEvnt::kPhase1Title, kCcUnknownKind, "ConvToWrk", detail);
    }
    return 1;
}

BYTE CcValueAt(const ArticNoteValueOps& o, CArticWrkBlk* blk, INT64 t, POSITION near) {
    return CArticWrkUtil::GetFrontContVal(CcEvents(blk), CcAtOrBefore(t), o.number, near);
}
int CcDelAt(const ArticNoteValueOps& o, CArticWrkBlk* blk, INT64 t, POSITION near) {
    return CArticWrkUtil::DelContCcTimeArea(CcEvents(blk), t, t, o.number, near);
}
int CcCreAt(const ArticNoteValueOps& o, CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE v, POSITION near) {
    return CArticWrkUtil::CreContCcTime(wrk, blk, t, o.number, v, near);
}
int CcDelArea(const ArticNoteValueOps& o, CArticWrkBlk* blk, INT64 t1, INT64 t2, POSITION near) {
    return CArticWrkUtil::DelContCcTimeArea(CcEvents(blk), t1, t2, o.number, near);
}
int CcShiftArea(const ArticNoteValueOps& o, CArticWrkBlk* blk, INT64 t1, INT64 t2, int add, POSITION near) {
    return CArticWrkUtil::ShiftCcEvnt(CcEvents(blk), o.number, t1, t2, short(add), near);
}

// The ContNo events of [t1, t2], in a list the caller owns.
void CcEventsIn(CArticWrkBlk* blk, BYTE number, INT64 t1, INT64 t2, CArticWrkEvntList& out) {
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (e->GetTime() > t2) break;
        if ((e->GetStatus() & 0xF0) == 0xB0 && e->GetPost1() == number && e->GetTime() >= t1) out.AddTail(e);
    }
}

}  // namespace

ArticNoteValueEdit ArticNoteValueEditOf(BYTE type, LONG time, bool relative, int value) {
    ArticNoteValueEdit edit;
    edit.time = time;
    edit.relative = relative;
    edit.value = value;
    edit.R = !(type & 1);
    edit.C = !(type & 2);
    edit.S = relative && !(type & 4);
    return edit;
}

ArticNoteValueOps ArticCcOps(BYTE number) {
    return {CcValueAt, CcDelAt, CcCreAt, CcDelArea, CcShiftArea, 0xB0, number, 0};
}

int ArticNoteValueWork(const ArticNoteValueOps& ops, CArticWrkEvnt* note, const ArticNoteValueEdit& edit) {
    CArticWrkBlk* blk = note ? note->GetOwner() : nullptr;
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    if (!wrk || !blk->GetEvntList()) return 1;
    // The walks over the block start at the note (the edits stay near it);
    // the block's list is in time order.
    POSITION near = blk->LinkedPos(note);
    const INT64 start = note->GetTime();
    const INT64 c = CcNotNegative(INT64(LONG(uint32_t(start)) + edit.time));
    // The next note after the note's start (or, with TimeR, after the
    // reference), clamped at 0; no time when there is none.
    INT64 n = edit.useTimeR && edit.fromEnd ? OffTime(note) : start;
    int found = 0;
    CArticWrkUtil::GetNearNoteTime2(blk, 13, &n, &found, near);
    if (!found) n = kWrkNoTime;
    else n = CcNotNegative(edit.useTimeR ? AddTicks(n, edit.timeR) : n);
    const BYTE restoreVal = edit.R && found ? ops.valueAt(ops, blk, n, near) : 0;
    const BYTE newVal =
        edit.relative ? CcValue(ops.valueAt(ops, blk, c, near) + edit.value) : CcValue(edit.value);
    if (int rc = ops.delAt(ops, blk, c, near)) return rc;
    if (int rc = ops.creAt(ops, wrk, blk, c, newVal, near)) return rc;
    if (!edit.R) {
        if (edit.C) return ops.delArea(ops, blk, c + 1, n - 1, near);
        if (edit.relative && edit.S) return ops.shiftArea(ops, blk, c + 1, n - 1, edit.value, near);
        return 0;
    }
    int rc = 0;
    if (edit.C) {
        rc = ops.delArea(ops, blk, c + 1, n, near);
    } else {
        if (edit.relative && edit.S) rc = ops.shiftArea(ops, blk, c + 1, n - 1, edit.value, near);
        if (rc == 0 && found) rc = ops.delAt(ops, blk, n, near);
    }
    if (rc == 0 && found) rc = ops.creAt(ops, wrk, blk, n, restoreVal, near);
    return rc;
}

int ArticNoteValueList(const ArticNoteValueOps& ops, const CArticWrkEvntList* notes, const ArticNoteValueEdit& edit) {
    if (!notes) return 1;
    int result = 1;
    for (POSITION p = notes->GetHeadPosition(); p;) {
        CArticWrkEvnt* note = notes->GetNext(p);
        if (!note || !note->GetOwner()) continue;
        if ((result = ArticNoteValueWork(ops, note, edit)) != 0) return result;
    }
    return result;
}

// ================================================================ Bases

CArticExpStresCont& CArticExpStresCont::operator=(const CArticExpStresCont& src) {
    CArticExpStres::operator=(src);
    return *this;
}

CArticExpStresContCc& CArticExpStresContCc::operator=(const CArticExpStresContCc& src) {
    CArticExpStresCont::operator=(src);
    m_ContNo = src.m_ContNo;
    return *this;
}

CArticExpStresContCcTime::CArticExpStresContCcTime(CArticExpBlk* owner, ULONG evntNo, BYTE type,
                                                   const CArticMeas* meas, BYTE contNo)
    : CArticExpStresContCc(owner, evntNo, nullptr, contNo), m_Type(type) {
    if (meas) m_Meas = *meas;
}

CArticExpStresContCcTime& CArticExpStresContCcTime::operator=(const CArticExpStresContCcTime& src) {
    CArticExpStresContCc::operator=(src);
    m_Type = src.m_Type;
    m_Meas = src.m_Meas;
    return *this;
}

int CArticExpStresContCcTime::Where(CArticWrkBlk** blk, CArticWrk** wrk, INT64* t) const {
    *blk = GetOwner() ? GetMidWrkBlk(0) : nullptr;
    *wrk = *blk ? (*blk)->GetWrk() : nullptr;
    if (!*wrk || !(*blk)->GetEvntList()) return 1;
    CArticMeas meas = m_Meas;
    return CArticWrkUtil::GetTime(*wrk, 0, &meas, t);
}

CArticExpStresContCcTimeRel::CArticExpStresContCcTimeRel(CArticExpBlk* owner, ULONG evntNo, BYTE type,
                                                         const CArticMeas* meas, const CArticMeas* endMeas,
                                                         BYTE contNo)
    : CArticExpStresContCcTime(owner, evntNo, type, meas, contNo) {
    if (endMeas) m_EndMeas = *endMeas;
    SetEvntType(1);
}

CArticExpStresContCcTimeRel::CArticExpStresContCcTimeRel(CArticExpBlk* owner, ULONG evntNo, BYTE type,
                                                         const CArticMeas* meas, ULONG timeW, BYTE contNo)
    : CArticExpStresContCcTime(owner, evntNo, type, meas, contNo), m_TimeW(timeW) {
    SetEvntType(2);
}

CArticExpStresContCcTimeRel& CArticExpStresContCcTimeRel::operator=(const CArticExpStresContCcTimeRel& src) {
    CArticExpStresContCcTime::operator=(src);
    m_EndMeas = src.m_EndMeas;
    m_TimeW = src.m_TimeW;
    return *this;
}

int CArticExpStresContCcTimeRel::AreaOf(int variant, bool moveOn, CArticWrkBlk** blk, CArticWrk** wrk,
                                        INT64* start, INT64* end) const {
    INT64 t = 0;
    if (int rc = Where(blk, wrk, &t)) return rc;
    if (GetEvntType() != 1 && GetEvntType() != 2) return -1;
    bool moved = false;
    if (variant == 0) {
        *start = t;
        if (GetEvntType() == 2) {
            *end = AddTicks(t, INT64(m_TimeW));
        } else {
            CArticMeas endMeas = m_EndMeas;
            if (int rc = CArticWrkUtil::GetTime(*wrk, 0, &endMeas, end)) return rc;
        }
    } else {
        *start = t;
        CArticWrkUtil::GetNearNoteTime(*blk, 0, start);
        *start = CcNotNegative(*start);
        if (GetEvntType() == 2) {
            *end = AddTicks(t, INT64(m_TimeW));
        } else {
            // From the position: the next note start, or the next note end.
            *end = t;
            const BYTE mode = BYTE((variant == 3 ? 14 : 11) + (moveOn ? 100 : 0));
            CArticWrkUtil::GetNearNoteTime(*blk, mode, end);
            moved = moveOn;
        }
    }
    if (moveOn && !moved) CArticWrkUtil::GetNearNoteTime(*blk, 120, end);
    return 0;
}

CArticExpStresContCcNote& CArticExpStresContCcNote::operator=(const CArticExpStresContCcNote& src) {
    CArticExpStresContCc::operator=(src);
    m_Type = src.m_Type;
    return *this;
}

ArticNoteValueEdit CArticExpStresContCcNote::EditOf(LONG time, bool relative, int value) const {
    return ArticNoteValueEditOf(GetType(), time, relative, value);
}

ArticNoteValueEdit CArticExpStresContCcNote::WithTimeR(ArticNoteValueEdit edit, LONG timeR, BYTE endBit) const {
    edit.useTimeR = true;
    edit.timeR = timeR;
    edit.fromEnd = (GetType() & endBit) != 0;
    return edit;
}

int CArticExpStresContCcNote::RunValueEdit(const ArticNoteValueEdit& edit) {
    const int rc = ArticNoteValueList(ArticCcOps(MidiData(GetContNo())), GetWrkEvntList(), edit);
    if (rc != 0 && GetErrKind() == 0) DispErrMsg(kPhase1Title, kCcAtTimeFailed, "ConvToWrk => CreWrkContCc", "");
    return rc;
}

// ================================================================ At a position

CArticExpStresContCcTimeAbs& CArticExpStresContCcTimeAbs::operator=(const CArticExpStresContCcTimeAbs& src) {
    CArticExpStresContCcTime::operator=(src);
    m_ContVal = src.m_ContVal;
    return *this;
}

int CArticExpStresContCcTimeAbs::ConvToWrk() {
    const BYTE type = GetType();
    if (type > 1) return RefuseKind(this, type);
    CArticWrkBlk* blk = nullptr;
    CArticWrk* wrk = nullptr;
    INT64 t = 0;
    int rc = Where(&blk, &wrk, &t);
    if (rc == 0 && type == 1) {
        if (!blk->HaveNote()) rc = 1;
        else rc = CArticWrkUtil::GetNearNoteTime(blk, 0, &t);
        t = CcNotNegative(t);
    }
    // Values above 127 are written as 127.
    if (rc == 0) rc = CArticWrkUtil::CreContCcTime(wrk, blk, t, MidiData(GetContNo()), CcValue(m_ContVal));
    if (rc != 0 && GetErrKind() == 0)
        DispErrMsg(kPhase1Title, type == 0 ? kCcAtTimeFailed : kCcNearFailed, kCcTypeMethods[type], "");
    return rc;
}

CArticExpStresContCcTimeRelFix& CArticExpStresContCcTimeRelFix::operator=(
    const CArticExpStresContCcTimeRelFix& src) {
    CArticExpStresContCcTimeRel::operator=(src);
    m_Add = src.m_Add;
    return *this;
}

int CArticExpStresContCcTimeRelFix::ConvToWrk() {
    const BYTE type = GetType();
    const int kind = type & 1;
    CArticWrkBlk* blk = nullptr;
    CArticWrk* wrk = nullptr;
    INT64 t = 0;
    // Missing data is a failure, reported like any other.
    int rc = Where(&blk, &wrk, &t);
    if (rc == 0 && !blk->GetCond()) rc = 1;
    if (rc == 0) {
        INT64 start = t;
        if (kind) {
            CArticWrkUtil::GetNearNoteTime(blk, 0, &start);
            start = CcNotNegative(start);
        }
        INT64 end = 4294967295LL;
        if (!(type & 2)) {
            INT64 next = start;
            int found = 0;
            CArticWrkUtil::GetNearNoteTime2(blk, 120, &next, &found);
            if (found) end = next;
        }
        rc = CArticWrkUtil::ContCcTimeRelFix(wrk, blk, start, end, BYTE((type >> 1) & 1), 0, MidiData(GetContNo()), 100, m_Add);
    }
    if (rc != 0 && GetErrKind() == 0)
        DispErrMsg(kPhase1Title, kind == 0 ? kCcAtTimeFailed : kCcNearFailed, kCcTypeMethods[kind], "");
    return rc;
}

CArticExpStresContCcTimeRelAreaFix& CArticExpStresContCcTimeRelAreaFix::operator=(
    const CArticExpStresContCcTimeRelAreaFix& src) {
    CArticExpStresContCcTimeRel::operator=(src);
    m_Mag = src.m_Mag;
    m_Add = src.m_Add;
    return *this;
}

int CArticExpStresContCcTimeRelAreaFix::ConvToWrk() {
    const BYTE type = GetType();
    const int variant = !(type & 1) ? 0 : ((type & 2) ? 3 : 1);
    CArticWrkBlk* blk = nullptr;
    CArticWrk* wrk = nullptr;
    INT64 start = 0, end = 0;
    int rc = AreaOf(variant, !(type & 4), &blk, &wrk, &start, &end);
    if (rc < 0) return 0;
    if (rc == 0) {
        const BYTE p = CArticWrkUtil::GetFrontContVal(blk->GetEvntList(), start, MidiData(GetContNo()));
        const BYTE q = CArticWrkUtil::GetFrontContVal(blk->GetEvntList(), CcAtOrBefore(end), MidiData(GetContNo()));
        CArticWrkEvntList area(10);
        CcEventsIn(blk, MidiData(GetContNo()), start, end, area);
        rc = CArticWrkUtil::CcTimeRelAreaFix(wrk, blk, &area, start, end, 0xB0, MidiData(GetContNo()), m_Mag, m_Add, 0,
                                             BYTE((type >> 3) & 1), p, q);
    }
    if (rc != 0 && GetErrKind() == 0)
        DispErrMsg(kPhase1Title, variant == 0 ? kCcAreaFailed : kCcNearAreaFailed, kCcTypeMethods[variant ? 1 : 0],
                   "");
    return rc;
}

CArticExpStresContCcTimeRelCrv& CArticExpStresContCcTimeRelCrv::operator=(
    const CArticExpStresContCcTimeRelCrv& src) {
    CArticExpStresContCcTimeRel::operator=(src);
    m_StartAdd = src.m_StartAdd;
    m_EndAdd = src.m_EndAdd;
    m_Curve = src.m_Curve;
    m_Devide = src.m_Devide;
    return *this;
}

int CArticExpStresContCcTimeRelCrv::ConvToWrk() {
    const BYTE type = GetType();
    const int variant = type & 3;
    if (variant == 2) return RefuseKind(this, type);
    CArticWrkBlk* blk = nullptr;
    CArticWrk* wrk = nullptr;
    INT64 start = 0, end = 0;
    // A curve without a step is refused before anything changes.
    int rc = m_Devide == 0 ? 1 : AreaOf(variant, false, &blk, &wrk, &start, &end);
    if (rc < 0) return 0;
    if (rc == 0 && (type & 4)) {
        const BYTE v = CArticWrkUtil::GetFrontContVal(blk->GetEvntList(), CcAtOrBefore(end), MidiData(GetContNo()));
        rc = CArticWrkUtil::ContCcTimeRelCrv(wrk, blk, start, end, 0xB0, MidiData(GetContNo()), m_StartAdd, m_EndAdd, m_Curve,
                                             m_Devide, nullptr);
        if (rc == 0) rc = CArticWrkUtil::DelContCcTime(blk->GetEvntList(), end, MidiData(GetContNo()));
        if (rc == 0) rc = CArticWrkUtil::CreContCcTime(wrk, blk, end, MidiData(GetContNo()), v);
    } else if (rc == 0) {
        CArticWrkEvntList after(10);
        const INT64 from = AddTicks(end, 1);
        CcEventsIn(blk, MidiData(GetContNo()), from, CArticWrkUtil::GetEndTime(blk, from, 0xB0, MidiData(GetContNo())), after);
        rc = CArticWrkUtil::ContCcTimeRelCrv(wrk, blk, start, end, 0xB0, MidiData(GetContNo()), m_StartAdd, m_EndAdd, m_Curve,
                                             m_Devide, &after);
    }
    if (rc != 0 && GetErrKind() == 0)
        DispErrMsg(kPhase1Title, variant == 0 ? kCcAreaFailed : (variant == 1 ? kCcNearAreaFailed : kCcNoteEndAreaFailed),
                   kCcTypeMethods[variant], "");
    return rc;
}

// ================================================================ Around notes

CArticExpStresContCcNoteCrv& CArticExpStresContCcNoteCrv::operator=(const CArticExpStresContCcNoteCrv& src) {
    CArticExpStresContCcNote::operator=(src);
    m_Start = src.m_Start;
    m_End = src.m_End;
    m_StartAdd = src.m_StartAdd;
    m_EndAdd = src.m_EndAdd;
    m_Curve = src.m_Curve;
    m_Devide = src.m_Devide;
    return *this;
}

int CArticExpStresContCcNoteCrv::ConvToWrk() {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    // A curve without a step is refused before any area is cleared.
    int rc = 1;
    if (notes && m_Devide != 0) {
        for (POSITION p = notes->GetHeadPosition(); p;) {
            CArticWrkEvnt* note = notes->GetNext(p);
            if (!note || !note->GetOwner()) continue;
            if ((rc = CreWrkContCc(note)) != 0) break;
        }
    }
    if (rc != 0 && GetErrKind() == 0) DispErrMsg(kPhase1Title, kCcAreaFailed, "ConvToWrk => CreWrkContCc", "");
    return rc;
}

int CArticExpStresContCcNoteCrv::CreWrkContCc(CArticWrkEvnt* note) {
    CArticWrkBlk* blk = note->GetOwner();
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    if (!GetOwner() || !wrk || !blk->GetEvntList()) return 1;
    const BYTE type = GetType();
    const BYTE mode = (type & 1) ? 0 : 1;
    const bool clear = !(type & 2);
    const bool noteStart = !(type & 4) && m_Start > 0;
    const BYTE centre = (type >> 3) & 1;
    const INT64 low = INT64(LONG(uint32_t(note->GetTime())));
    const INT64 s = CcNotNegative(INT64(LONG(low + m_Start)));
    const INT64 e = INT64(LONG(low + m_End));
    if (e < 0 || s >= e) return 1;
    const INT64 t0 = CcNotNegative(note->GetTime());
    auto curve = [&](INT64 a, INT64 b, INT64 c) {
        return noteStart ? CArticWrkUtil::CreContCcCrvI(wrk, blk, mode, 1, 1, centre, t0, a, b, c, 0xB0, MidiData(GetContNo()),
                                                        m_StartAdd, m_EndAdd, m_Curve, m_Devide)
                         : CArticWrkUtil::CreContCcCrv(wrk, blk, mode, 1, 1, centre, a, b, c, 0xB0, MidiData(GetContNo()),
                                                       m_StartAdd, m_EndAdd, m_Curve, m_Devide);
    };
    CArticWrkEvntList* events = blk->GetEvntList();
    if (!clear) {
        INT64 r = e > INT64(m_Devide) ? (m_EndAdd != 0 ? e - m_Devide : e) : 0;
        if (r <= s) return 1;
        const BYTE v = CArticWrkUtil::GetFrontContVal(events, CcAtOrBefore(e), MidiData(GetContNo()));
        if (int rc = curve(s, r, e)) return rc;
        if (int rc = CArticWrkUtil::DelContCcTime(events, e, MidiData(GetContNo()))) return rc;
        return CArticWrkUtil::CreContCcTime(wrk, blk, e, MidiData(GetContNo()), v);
    }
    INT64 x = e;
    int found = 0;
    CArticWrkUtil::GetNearNoteTime2(blk, 1, &x, &found);
    const INT64 r = CcNotNegative(x);
    const BYTE v = CArticWrkUtil::GetFrontContVal(events, CcAtOrBefore(x), MidiData(GetContNo()));
    if (int rc = curve(s, e, r)) return rc;
    if (int rc = CArticWrkUtil::DelContCcTimeArea(events, r, x, MidiData(GetContNo()))) return rc;
    return found ? CArticWrkUtil::CreContCcTime(wrk, blk, r, MidiData(GetContNo()), v) : 0;
}

CArticExpStresContCcNoteCreAbs& CArticExpStresContCcNoteCreAbs::operator=(
    const CArticExpStresContCcNoteCreAbs& src) {
    CArticExpStresContCcNote::operator=(src);
    m_Time = src.m_Time;
    m_Val = src.m_Val;
    return *this;
}

int CArticExpStresContCcNoteCreAbs::ConvToWrk() { return RunValueEdit(EditOf(m_Time, false, m_Val)); }

CArticExpStresContCcNoteCreAbs2& CArticExpStresContCcNoteCreAbs2::operator=(
    const CArticExpStresContCcNoteCreAbs2& src) {
    CArticExpStresContCcNoteCreAbs::operator=(src);
    m_TimeR = src.m_TimeR;
    return *this;
}

int CArticExpStresContCcNoteCreAbs2::ConvToWrk() {
    return RunValueEdit(WithTimeR(EditOf(GetTime(), false, GetVal()), m_TimeR, 4));
}

CArticExpStresContCcNoteCreRel& CArticExpStresContCcNoteCreRel::operator=(
    const CArticExpStresContCcNoteCreRel& src) {
    CArticExpStresContCcNote::operator=(src);
    m_Time = src.m_Time;
    m_Add = src.m_Add;
    return *this;
}

int CArticExpStresContCcNoteCreRel::ConvToWrk() { return RunValueEdit(EditOf(m_Time, true, m_Add)); }

CArticExpStresContCcNoteCreRel2& CArticExpStresContCcNoteCreRel2::operator=(
    const CArticExpStresContCcNoteCreRel2& src) {
    CArticExpStresContCcNoteCreRel::operator=(src);
    m_TimeR = src.m_TimeR;
    return *this;
}

int CArticExpStresContCcNoteCreRel2::ConvToWrk() {
    return RunValueEdit(WithTimeR(EditOf(GetTime(), true, GetAdd()), m_TimeR, 8));
}

// ================================================================ Re-levelling

CArticExpOrgContCc& CArticExpOrgContCc::operator=(const CArticExpOrgContCc& src) {
    CArticExpEvnt::operator=(src);
    m_Type = src.m_Type;
    m_Start = src.m_Start;
    m_End = src.m_End;
    m_ContNo = src.m_ContNo;
    m_Offset = src.m_Offset;
    m_Mag = src.m_Mag;
    m_Notes = src.m_Notes;
    return *this;
}

int CArticExpOrgContCc::ConvToWrk() {
    int rc = 1;
    const CArticWrkEvntList* notes = GetWrkEvntList();
    for (POSITION p = notes ? notes->GetHeadPosition() : nullptr; p;) {
        CArticWrkEvnt* note = notes->GetNext(p);
        CArticWrkBlk* blk = note ? note->GetOwner() : nullptr;
        if (!blk) continue;
        const INT64 low = INT64(LONG(uint32_t(note->GetTime())));
        const INT64 s = CcNotNegative(INT64(LONG(low + m_Start)));
        const INT64 e = INT64(LONG(low + m_End));
        if (e < 0 || s >= e) {
            rc = 1;
            break;
        }
        if ((rc = CArticWrkUtil::ModWrkOrgContCc(blk->GetWrk(), blk, s, e, MidiData(m_ContNo), m_Offset, m_Mag)) != 0) break;
    }
    if (rc != 0 && GetErrKind() == 0)
        DispErrMsg(kPhase1Title, "Error in CArticExpOrgContCc::ConvToWrk", "ConvToWrk -> ModWrkOrgContCc", "");
    return rc;
}
