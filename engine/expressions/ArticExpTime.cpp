#include "engine/expressions/ArticExpTime.h"

#include <algorithm>

#include "engine/expressions/ArticMeas.h"
#include "engine/work/ArticTicks.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkUtil.h"

using articticks::AddTicks;
using articticks::SubTicks;
using articticks::OffTime;

VX_IMPLEMENT_CLASS(CArticExpTime, CArticExpEvnt);
VX_IMPLEMENT_CLASS(CArticExpTimeSft, CArticExpTime);
VX_IMPLEMENT_CLASS(CArticExpTimeSft2, CArticExpTimeSft);
VX_IMPLEMENT_CLASS(CArticExpTimeSwing, CArticExpTime);
VX_IMPLEMENT_CLASS(CArticExpTimeWaltz, CArticExpTime);

namespace {

const char* const kOperationFailed = "操作ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ作成中にｴﾗｰが発生しました。";

// Maps one note's start and end into its groups and moves it; map(t, groupStart, &mapped).
template <class Map>
int RetimeNote(CArticWrkEvnt* note, INT64 origin, ULONG groupTime, bool moveOn, bool moveOff, Map map) {
    const INT64 on = note->GetTime();
    const INT64 off = OffTime(note);
    INT64 gOn = 0, gOff = 0;
    if (int rc = CArticWrkUtil::GetMathGroupTime(origin, groupTime, on, &gOn)) return rc;
    if (int rc = CArticWrkUtil::GetMathGroupTime(origin, groupTime, off, &gOff)) return rc;
    INT64 newOn = on, newOff = off;
    if (moveOn)
        if (int rc = map(on, gOn, &newOn)) return rc;
    if (moveOff)
        if (int rc = map(off, gOff, &newOff)) return rc;
    return CArticWrkUtil::ResetNoteOnOff(note, newOn, newOff);
}

// Runs retime on every listed note: 0 when one was handled, else 1; a failure at once.
template <class F>
int EachNote(const CArticWrkEvntList* notes, F retime) {
    bool handled = false;
    for (POSITION p = notes->GetHeadPosition(); p;) {
        CArticWrkEvnt* note = notes->GetNext(p);
        if (!note) continue;
        if (int rc = retime(note)) return rc;
        handled = true;
    }
    return handled ? 0 : 1;
}

CString GroupDetail(ULONG groupTime) {
    CString detail;
    detail.Format("GroupTime = %u", unsigned(groupTime));
    return detail;
}

}  // namespace

CArticExpTime::CArticExpTime(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes)
    : CArticExpEvnt(owner, evntNo), m_Notes(notes) {}

CArticExpTime& CArticExpTime::operator=(const CArticExpTime& src) {
    CArticExpEvnt::operator=(src);
    m_Notes = src.m_Notes;
    return *this;
}

void CArticExpTime::ReportOwn(const char* method, const CString& detail) {
    if (GetErrKind() == 0) DispErrMsg(kPhase1Title, kOperationFailed, method, detail);
}

// ================================================================ Shifts

CArticExpTimeSft::CArticExpTimeSft(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, LONG time)
    : CArticExpTime(owner, evntNo, notes), m_Time(time) {}

CArticExpTimeSft& CArticExpTimeSft::operator=(const CArticExpTimeSft& src) {
    CArticExpTime::operator=(src);
    m_Time = src.m_Time;
    return *this;
}

int CArticExpTimeSft::ConvToWrk() {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    if (!notes || notes->IsEmpty()) {
        ReportOwn("ConvToWrk", "");
        return 1;
    }
    for (POSITION p = notes->GetHeadPosition(); p;) {
        CArticWrkEvnt* note = notes->GetNext(p);
        if (!note) {
            ReportOwn("ConvToWrk", "");
            return 1;
        }
        const INT64 old = note->GetTime();
        const INT64 t = std::max<INT64>(0, AddTicks(old, INT64(m_Time)));
        note->SetTime(t, 1);
        // One note at a time changes: the block's other events stay in order.
        if (CArticWrkBlk* blk = note->GetOwner()) blk->MoveFromOwnPlace(note);
        if (CArticWrkEvnt* linked = note->GetProcWrkEvnt()) linked->AddTimeShift(SubTicks(t, old));
        AfterMove(note, t, old);
    }
    return 0;
}

CArticExpTimeSft2::CArticExpTimeSft2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, LONG time,
                                     BYTE type)
    : CArticExpTimeSft(owner, evntNo, notes, time), m_Type(type) {}

CArticExpTimeSft2& CArticExpTimeSft2::operator=(const CArticExpTimeSft2& src) {
    CArticExpTimeSft::operator=(src);
    m_Type = src.m_Type;
    return *this;
}

void CArticExpTimeSft2::AfterMove(CArticWrkEvnt* note, INT64 t, INT64 old) {
    if (m_Type & 1) CArticWrkUtil::WipeContDataTimeArea(note->GetOwner(), t, old);
}

// ================================================================ Swing

CArticExpTimeSwing::CArticExpTimeSwing(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                       ULONG groupTime, BYTE devNum, BYTE point, ULONG pointTime)
    : CArticExpTime(owner, evntNo, notes),
      m_Type(type),
      m_GroupTime(groupTime),
      m_DevNum(devNum),
      m_Point(point),
      m_PointTime(pointTime) {}

CArticExpTimeSwing& CArticExpTimeSwing::operator=(const CArticExpTimeSwing& src) {
    CArticExpTime::operator=(src);
    m_Type = src.m_Type;
    m_GroupTime = src.m_GroupTime;
    m_DevNum = src.m_DevNum;
    m_Point = src.m_Point;
    m_PointTime = src.m_PointTime;
    return *this;
}

int CArticExpTimeSwing::ConvToWrk() {
    return CreWrkSwingType01(m_Type & 1, (m_Type & 2) ? 0 : 1, (m_Type & 4) ? 0 : 1);
}

int CArticExpTimeSwing::CreWrkSwingType01(BYTE origin, BYTE moveOn, BYTE moveOff) {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    if (!GetOwner() || !notes || notes->IsEmpty()) return 1;
    // A group without length holds nothing, and the grid origin divides by it.
    if (m_GroupTime == 0) {
        ReportOwn("ConvToWrk => CreWrkSwingType01", GroupDetail(m_GroupTime));
        return 1;
    }
    const CArticWrkEvnt* first = notes->GetHead();
    const INT64 t0 = first ? first->GetTime() : 0;
    INT64 start = 0;
    if (origin == 0)
        start = t0;
    else if (origin == 1)
        start = (t0 / INT64(m_GroupTime)) * INT64(m_GroupTime);
    else
        return 1;
    return EachNote(notes, [&](CArticWrkEvnt* note) {
        return RetimeNote(note, start, m_GroupTime, moveOn != 0, moveOff != 0, [&](INT64 t, INT64 g, INT64* mapped) {
            return CArticWrkUtil::GetMathCopyFig(g, AddTicks(g, INT64(m_GroupTime)), t, m_DevNum, m_Point, INT64(m_PointTime),
                                                 mapped);
        });
    });
}

// ================================================================ Waltz

CArticExpTimeWaltz::CArticExpTimeWaltz(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                       ULONG groupTime, BYTE devNum, BYTE point1, ULONG point1Time, BYTE point2,
                                       ULONG point2Time)
    : CArticExpTime(owner, evntNo, notes),
      m_Type(type),
      m_GroupTime(groupTime),
      m_DevNum(devNum),
      m_Point1(point1),
      m_Point1Time(point1Time),
      m_Point2(point2),
      m_Point2Time(point2Time) {}

CArticExpTimeWaltz& CArticExpTimeWaltz::operator=(const CArticExpTimeWaltz& src) {
    CArticExpTime::operator=(src);
    m_Type = src.m_Type;
    m_GroupTime = src.m_GroupTime;
    m_DevNum = src.m_DevNum;
    m_Point1 = src.m_Point1;
    m_Point1Time = src.m_Point1Time;
    m_Point2 = src.m_Point2;
    m_Point2Time = src.m_Point2Time;
    return *this;
}

int CArticExpTimeWaltz::ConvToWrk() { return CreWrkWaltzType01(m_Type & 1); }

int CArticExpTimeWaltz::CreWrkWaltzType01(BYTE origin) {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    if (!GetOwner() || !notes || notes->IsEmpty()) return 1;
    if (m_GroupTime == 0) {
        ReportOwn("ConvToWrk => CreWrkWaltzType01", GroupDetail(m_GroupTime));
        return 1;
    }
    const CArticWrkEvnt* first = notes->GetHead();
    CArticWrkBlk* blk = first ? first->GetOwner() : nullptr;
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    INT64 start = 0;
    if (origin > 1) return 1;
    if (wrk) {
        start = first->GetTime();
        if (origin == 1) {
            ULONG meas = 1, beat = 1, tick = 0;
            wrk->GetEvntMeas(start, &meas, &beat, &tick);
            CArticMeas at(meas, beat, tick);
            if (int rc = CArticWrkUtil::GetTime(wrk, 2, &at, &start)) return rc;
        }
    }
    return EachNote(notes, [&](CArticWrkEvnt* note) {
        return RetimeNote(note, start, m_GroupTime, true, true, [&](INT64 t, INT64 g, INT64* mapped) {
            return CArticWrkUtil::GetMathCopyFig2(g, AddTicks(g, INT64(m_GroupTime)), t, m_DevNum, m_Point1,
                                                  INT64(m_Point1Time), m_Point2, INT64(m_Point2Time), mapped);
        });
    });
}
