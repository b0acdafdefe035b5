#pragma once
// Time shift, swing and waltz: the listed notes moved by a fixed number of
// ticks, or re-timed inside fixed groups.
#include "engine/expressions/ArticExpEvnt.h"
#include "engine/expressions/ArticExpNotes.h"

class CArticWrkEvnt;

class CArticExpTime : public CArticExpEvnt {
    VX_DECLARE_CLASS(CArticExpTime)
public:
    CArticExpTime() = default;
    CArticExpTime(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes = nullptr);
    CArticExpTime& operator=(const CArticExpTime& src);

    virtual CArticWrkEvntList* GetWrkEvntList() const { return m_Notes.Get(); }
    virtual void SetWrkEvntList(CArticWrkEvntList* list) { m_Notes.Set(list); }
    virtual void ClearEvntList() { m_Notes.Clear(); }
    virtual void CopyEvntList(const CArticWrkEvntList* list) { m_Notes.Copy(list); }
    virtual void DeleteEvntList() { m_Notes.Delete(); }
    int ReLinkWrkEvntList(CArticWrk* wrk) override { return m_Notes.ReLink(wrk); }

protected:
    // Reports a failure of the family's own checks (phase-1 title).
    void ReportOwn(const char* method, const CString& detail);

private:
    CArticExpNotes m_Notes;
};

class CArticExpTimeSft : public CArticExpTime {
    VX_DECLARE_CLASS(CArticExpTimeSft)
public:
    CArticExpTimeSft() = default;
    CArticExpTimeSft(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, LONG time);
    CArticExpTimeSft& operator=(const CArticExpTimeSft& src);
    virtual LONG GetTime() const { return m_Time; }
    virtual void SetTime(LONG t) { m_Time = t; }

    // Phase 1: every listed note moved by Time (not before tick 0) and re-sorted.
    int ConvToWrk() override;

protected:
    // After a note moved from old to t.
    virtual void AfterMove(CArticWrkEvnt* note, INT64 t, INT64 old) {}

private:
    LONG m_Time = 0;
};

class CArticExpTimeSft2 : public CArticExpTimeSft {
    VX_DECLARE_CLASS(CArticExpTimeSft2)
public:
    CArticExpTimeSft2() = default;
    CArticExpTimeSft2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, LONG time, BYTE type);
    CArticExpTimeSft2& operator=(const CArticExpTimeSft2& src);
    virtual BYTE GetType() const { return m_Type; }
    virtual void SetType(BYTE type) { m_Type = type; }

protected:
    // Bit 0: the controller data the note skipped moves to its new start.
    void AfterMove(CArticWrkEvnt* note, INT64 t, INT64 old) override;

private:
    BYTE m_Type = 0;
};

class CArticExpTimeSwing : public CArticExpTime {
    VX_DECLARE_CLASS(CArticExpTimeSwing)
public:
    CArticExpTimeSwing() = default;
    CArticExpTimeSwing(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, ULONG groupTime,
                       BYTE devNum, BYTE point, ULONG pointTime);
    CArticExpTimeSwing& operator=(const CArticExpTimeSwing& src);
    virtual BYTE GetType() const { return m_Type; }
    virtual ULONG GetGroupTime() const { return m_GroupTime; }
    virtual BYTE GetDevNum() const { return m_DevNum; }
    virtual BYTE GetPoint() const { return m_Point; }
    virtual ULONG GetPointTime() const { return m_PointTime; }
    virtual void SetType(BYTE v) { m_Type = v; }
    virtual void SetGroupTime(ULONG v) { m_GroupTime = v; }
    virtual void SetDevNum(BYTE v) { m_DevNum = v; }
    virtual void SetPoint(BYTE v) { m_Point = v; }
    virtual void SetPointTime(ULONG v) { m_PointTime = v; }

    int ConvToWrk() override;
    virtual int CreWrkSwingType01(BYTE origin, BYTE moveOn, BYTE moveOff);

private:
    BYTE m_Type = 0;
    ULONG m_GroupTime = 0;
    BYTE m_DevNum = 0;
    BYTE m_Point = 0;
    ULONG m_PointTime = 0;
};

class CArticExpTimeWaltz : public CArticExpTime {
    VX_DECLARE_CLASS(CArticExpTimeWaltz)
public:
    CArticExpTimeWaltz() = default;
    CArticExpTimeWaltz(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, ULONG groupTime,
                       BYTE devNum, BYTE point1, ULONG point1Time, BYTE point2, ULONG point2Time);
    CArticExpTimeWaltz& operator=(const CArticExpTimeWaltz& src);
    virtual BYTE GetType() const { return m_Type; }
    virtual ULONG GetGroupTime() const { return m_GroupTime; }
    virtual BYTE GetDevNum() const { return m_DevNum; }
    virtual BYTE GetPoint1() const { return m_Point1; }
    virtual ULONG GetPoint1Time() const { return m_Point1Time; }
    virtual BYTE GetPoint2() const { return m_Point2; }
    virtual ULONG GetPoint2Time() const { return m_Point2Time; }
    virtual void SetType(BYTE v) { m_Type = v; }
    virtual void SetGroupTime(ULONG v) { m_GroupTime = v; }
    virtual void SetDevNum(BYTE v) { m_DevNum = v; }
    virtual void SetPoint1(BYTE v) { m_Point1 = v; }
    virtual void SetPoint1Time(ULONG v) { m_Point1Time = v; }
    virtual void SetPoint2(BYTE v) { m_Point2 = v; }
    virtual void SetPoint2Time(ULONG v) { m_Point2Time = v; }

    int ConvToWrk() override;
    virtual int CreWrkWaltzType01(BYTE origin);

private:
    BYTE m_Type = 0;
    ULONG m_GroupTime = 0;
    BYTE m_DevNum = 0;
    BYTE m_Point1 = 0;
    ULONG m_Point1Time = 0;
    BYTE m_Point2 = 0;
    ULONG m_Point2Time = 0;
};
