#pragma once
// Multiple stops: a chord of three or four notes played as a bowed string
// player does, one side starting together and cut short, the other entering
// a moment later and sounding to its end.
#include "engine/expressions/ArticExpBase.h"
#include "engine/expressions/ArticMeas.h"

class CArticWrkEvnt;

class CArticExpArrayStop : public CArticExpArray {
    VX_DECLARE_CLASS(CArticExpArrayStop)
public:
    CArticExpArrayStop() = default;
    // The notes are kept sorted by key, lowest first (equal keys in list order).
    CArticExpArrayStop(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, signed char direction,
                       ULONG directionTime, ULONG allowableTime);
    CArticExpArrayStop& operator=(const CArticExpArrayStop& src);

    virtual signed char GetDirection() const { return m_Direction; }
    virtual ULONG GetDirectionTime() const { return m_DirectionTime; }
    virtual ULONG GetAllowableTime() const { return m_AllowableTime; }
    virtual void SetDirection(signed char v) { m_Direction = v; }
    virtual void SetDirectionTime(ULONG v) { m_DirectionTime = v; }
    virtual void SetAllowableTime(ULONG v) { m_AllowableTime = v; }

    // Phase 1: three or four notes become a stop; other counts change nothing.
    int ConvToWrk() override;
    virtual int CreWrkNoteStop3();
    virtual int CreWrkNoteStop4();
    // The note at index starts at first and keeps its end.
    virtual int ResetWrkTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 first, int index);
    // The note at index ends DirectionTime + AllowableTime after first.
    virtual int ContractWrkDuration(CArticWrk* wrk, CArticWrkBlk* blk, INT64 first, int index);
    // The note at index enters DirectionTime after first and keeps its end.
    virtual int ShiftWrkTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 first, int index);

private:
    int CreWrkNoteStop(int count);
    CArticWrkEvnt* NoteAt(int index) const;
    // The note starts at start and keeps its end; it is re-sorted in its block.
    static void MoveStart(CArticWrkEvnt* note, INT64 start);
    int Limit(CArticWrkEvnt* note, const char* method);

    signed char m_Direction = 0;
    ULONG m_DirectionTime = 0;
    ULONG m_AllowableTime = 0;
};

class CArticExpArrayUsrStop : public CArticExpArrayStop {
    VX_DECLARE_CLASS(CArticExpArrayUsrStop)
public:
    CArticExpArrayUsrStop() = default;
    CArticExpArrayUsrStop(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* strDummy,
                          BYTE dummy, const CArticMeas* meas, const CArticMeas* endMeas, signed char direction,
                          ULONG directionTime, ULONG allowableTime);
    CArticExpArrayUsrStop& operator=(const CArticExpArrayUsrStop& src);

    virtual CString GetStrDummy() const { return m_StrDummy; }
    virtual BYTE GetDummy() const { return m_Dummy; }
    virtual void GetMeas(ULONG* meas, ULONG* beat, ULONG* tick) const { m_Meas.Get(meas, beat, tick); }
    virtual void GetEndMeas(ULONG* meas, ULONG* beat, ULONG* tick) const { m_EndMeas.Get(meas, beat, tick); }
    virtual const CArticMeas& GetMeas() const { return m_Meas; }
    virtual const CArticMeas& GetEndMeas() const { return m_EndMeas; }
    virtual void SetStrDummy(const CString& text) { m_StrDummy = text; }
    virtual void SetStrDummy(const char* text) { m_StrDummy = text ? text : ""; }
    virtual void SetDummy(BYTE v) { m_Dummy = v; }
    virtual void SetMeas(ULONG meas, ULONG beat, ULONG tick) { m_Meas.Set(meas, beat, tick); }
    virtual void SetEndMeas(ULONG meas, ULONG beat, ULONG tick) { m_EndMeas.Set(meas, beat, tick); }

private:
    CString m_StrDummy;
    BYTE m_Dummy = 0;
    CArticMeas m_Meas;
    CArticMeas m_EndMeas;
};
