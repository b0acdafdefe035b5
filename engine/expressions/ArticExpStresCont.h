#pragma once
// Controller stress: control changes of one controller written, removed,
// shifted or curved at measure positions or around each listed note, and the
// re-levelling of the song's own controller data around notes.
#include "engine/expressions/ArticExpBase.h"
#include "engine/expressions/ArticMeas.h"

class CArticWrkBlk;

// ---- The per-note value edit shared with the packed parameters: the
// operations on one kind of value event of a block.
// Each operation gets near, the list position of the note being edited (null
// when it has none), where its walks over the block may start.
struct ArticNoteValueOps {
    // The value in force at t (an event exactly at t counts).
    BYTE (*valueAt)(const ArticNoteValueOps&, CArticWrkBlk*, INT64 t, POSITION near);
    int (*delAt)(const ArticNoteValueOps&, CArticWrkBlk*, INT64 t, POSITION near);
    int (*creAt)(const ArticNoteValueOps&, CArticWrk*, CArticWrkBlk*, INT64 t, BYTE value, POSITION near);
    int (*delArea)(const ArticNoteValueOps&, CArticWrkBlk*, INT64 t1, INT64 t2, POSITION near);
    int (*shiftArea)(const ArticNoteValueOps&, CArticWrkBlk*, INT64 t1, INT64 t2, int add, POSITION near);
    BYTE status, number, lsb;
};
// One listed note's edit. relative: value in force at c plus add; else
// value. With useTimeR the restore point is the next note after the note's
// start (end with fromEnd) plus timeR. R restore, C clear, S shift.
struct ArticNoteValueEdit {
    LONG time = 0;
    bool useTimeR = false;
    LONG timeR = 0;
    bool fromEnd = false;
    bool relative = false;
    int value = 0;
    bool R = false, C = false, S = false;
};
// The edit of Type's bits: R = bit 0 clear, C = bit 1 clear, and for a
// relative edit S = bit 2 clear.
ArticNoteValueEdit ArticNoteValueEditOf(BYTE type, LONG time, bool relative, int value);
int ArticNoteValueWork(const ArticNoteValueOps& ops, CArticWrkEvnt* note, const ArticNoteValueEdit& edit);
// The walk over a note list: notes without block skipped; the first
// failure ends it; 1 when no note was edited.
int ArticNoteValueList(const ArticNoteValueOps& ops, const CArticWrkEvntList* notes, const ArticNoteValueEdit& edit);
// The controller operations of controller number.
ArticNoteValueOps ArticCcOps(BYTE number);

class CArticExpStresCont : public CArticExpStres {
    VX_DECLARE_CLASS(CArticExpStresCont)
public:
    CArticExpStresCont() = default;
    CArticExpStresCont(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes = nullptr)
        : CArticExpStres(owner, evntNo, notes) {}
    CArticExpStresCont& operator=(const CArticExpStresCont& src);
};

class CArticExpStresContCc : public CArticExpStresCont {
    VX_DECLARE_CLASS(CArticExpStresContCc)
public:
    CArticExpStresContCc() = default;
    CArticExpStresContCc(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE contNo)
        : CArticExpStresCont(owner, evntNo, notes), m_ContNo(contNo) {}
    CArticExpStresContCc& operator=(const CArticExpStresContCc& src);
    virtual BYTE GetContNo() const { return m_ContNo; }
    virtual void SetContNo(BYTE n) { m_ContNo = n; }

private:
    BYTE m_ContNo = 0;
};

class CArticExpStresContCcTime : public CArticExpStresContCc {
    VX_DECLARE_CLASS(CArticExpStresContCcTime)
public:
    CArticExpStresContCcTime() = default;
    CArticExpStresContCcTime(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, BYTE contNo);
    CArticExpStresContCcTime& operator=(const CArticExpStresContCcTime& src);
    virtual BYTE GetType() const { return m_Type; }
    virtual const CArticMeas& GetMeas() const { return m_Meas; }
    virtual void SetType(BYTE type) { m_Type = type; }
    virtual void SetMeas(ULONG meas, ULONG beat, ULONG tick) { m_Meas.Set(meas, beat, tick); }

protected:
    // Middle work block 0, its data and the tick time of Meas: 0 or 1.
    int Where(CArticWrkBlk** blk, CArticWrk** wrk, INT64* t) const;

private:
    BYTE m_Type = 0;
    CArticMeas m_Meas;
};

class CArticExpStresContCcTimeRel : public CArticExpStresContCcTime {
    VX_DECLARE_CLASS(CArticExpStresContCcTimeRel)
public:
    CArticExpStresContCcTimeRel() = default;
    CArticExpStresContCcTimeRel(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                                const CArticMeas* endMeas, BYTE contNo);
    CArticExpStresContCcTimeRel(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, ULONG timeW,
                                BYTE contNo);
    CArticExpStresContCcTimeRel& operator=(const CArticExpStresContCcTimeRel& src);
    virtual const CArticMeas& GetEndMeas() const { return m_EndMeas; }
    virtual ULONG GetTimeW() const { return m_TimeW; }
    virtual void SetEndMeas(ULONG meas, ULONG beat, ULONG tick) { m_EndMeas.Set(meas, beat, tick); }
    virtual void SetTimeW(ULONG w) { m_TimeW = w; }

protected:
    // The area of variant 0 (position), 1 (nearest note) or 3 (note end);
    // moveOn: the end moves on to the next expression setting. 0; 1 when
    // data is missing; -1 for an event type without an area.
    int AreaOf(int variant, bool moveOn, CArticWrkBlk** blk, CArticWrk** wrk, INT64* start, INT64* end) const;

private:
    CArticMeas m_EndMeas;
    ULONG m_TimeW = 0;
};

class CArticExpStresContCcNote : public CArticExpStresContCc {
    VX_DECLARE_CLASS(CArticExpStresContCcNote)
public:
    CArticExpStresContCcNote() = default;
    CArticExpStresContCcNote(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                             BYTE contNo)
        : CArticExpStresContCc(owner, evntNo, notes, contNo), m_Type(type) {}
    CArticExpStresContCcNote& operator=(const CArticExpStresContCcNote& src);
    virtual BYTE GetType() const { return m_Type; }
    virtual void SetType(BYTE type) { m_Type = type; }

protected:
    // Phase 1 of the four value classes: the list edit, reported.
    int RunValueEdit(const ArticNoteValueEdit& edit);
    ArticNoteValueEdit EditOf(LONG time, bool relative, int value) const;
    // The restore point moves to the next note after the reference (the
    // note's end with Type's endBit) plus timeR.
    ArticNoteValueEdit WithTimeR(ArticNoteValueEdit edit, LONG timeR, BYTE endBit) const;

private:
    BYTE m_Type = 0;
};

class CArticExpStresContCcTimeAbs : public CArticExpStresContCcTime {
    VX_DECLARE_CLASS(CArticExpStresContCcTimeAbs)
public:
    CArticExpStresContCcTimeAbs() = default;
    CArticExpStresContCcTimeAbs(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, BYTE contNo,
                                BYTE contVal)
        : CArticExpStresContCcTime(owner, evntNo, type, meas, contNo), m_ContVal(contVal) {}
    CArticExpStresContCcTimeAbs& operator=(const CArticExpStresContCcTimeAbs& src);
    virtual BYTE GetContVal() const { return m_ContVal; }
    virtual void SetContVal(BYTE v) { m_ContVal = v; }
    int ConvToWrk() override;

private:
    BYTE m_ContVal = 0;
};

class CArticExpStresContCcTimeRelFix : public CArticExpStresContCcTimeRel {
    VX_DECLARE_CLASS(CArticExpStresContCcTimeRelFix)
public:
    CArticExpStresContCcTimeRelFix() = default;
    CArticExpStresContCcTimeRelFix(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, BYTE contNo,
                                   signed char add)
        : CArticExpStresContCcTimeRel(owner, evntNo, type, meas, ULONG(0), contNo), m_Add(add) {}
    CArticExpStresContCcTimeRelFix& operator=(const CArticExpStresContCcTimeRelFix& src);
    virtual signed char GetAdd() const { return m_Add; }
    virtual void SetAdd(signed char v) { m_Add = v; }
    int ConvToWrk() override;

private:
    signed char m_Add = 0;
};

class CArticExpStresContCcTimeRelAreaFix : public CArticExpStresContCcTimeRel {
    VX_DECLARE_CLASS(CArticExpStresContCcTimeRelAreaFix)
public:
    CArticExpStresContCcTimeRelAreaFix() = default;
    CArticExpStresContCcTimeRelAreaFix(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                                       const CArticMeas* endMeas, BYTE contNo, WORD mag, signed char add)
        : CArticExpStresContCcTimeRel(owner, evntNo, type, meas, endMeas, contNo), m_Mag(mag), m_Add(add) {}
    CArticExpStresContCcTimeRelAreaFix(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                                       ULONG timeW, BYTE contNo, WORD mag, signed char add)
        : CArticExpStresContCcTimeRel(owner, evntNo, type, meas, timeW, contNo), m_Mag(mag), m_Add(add) {}
    CArticExpStresContCcTimeRelAreaFix& operator=(const CArticExpStresContCcTimeRelAreaFix& src);
    virtual WORD GetMag() const { return m_Mag; }
    virtual signed char GetAdd() const { return m_Add; }
    virtual void SetMag(WORD v) { m_Mag = v; }
    virtual void SetAdd(signed char v) { m_Add = v; }
    int ConvToWrk() override;

private:
    WORD m_Mag = 100;
    signed char m_Add = 0;
};

class CArticExpStresContCcTimeRelCrv : public CArticExpStresContCcTimeRel {
    VX_DECLARE_CLASS(CArticExpStresContCcTimeRelCrv)
public:
    CArticExpStresContCcTimeRelCrv() = default;
    CArticExpStresContCcTimeRelCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                                   const CArticMeas* endMeas, BYTE contNo, signed char startAdd, signed char endAdd,
                                   signed char curve, WORD devide)
        : CArticExpStresContCcTimeRel(owner, evntNo, type, meas, endMeas, contNo),
          m_StartAdd(startAdd), m_EndAdd(endAdd), m_Curve(curve), m_Devide(devide) {}
    CArticExpStresContCcTimeRelCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, ULONG timeW,
                                   BYTE contNo, signed char startAdd, signed char endAdd, signed char curve,
                                   WORD devide)
        : CArticExpStresContCcTimeRel(owner, evntNo, type, meas, timeW, contNo),
          m_StartAdd(startAdd), m_EndAdd(endAdd), m_Curve(curve), m_Devide(devide) {}
    CArticExpStresContCcTimeRelCrv& operator=(const CArticExpStresContCcTimeRelCrv& src);
    virtual signed char GetStartAdd() const { return m_StartAdd; }
    virtual signed char GetEndAdd() const { return m_EndAdd; }
    virtual signed char GetCurve() const { return m_Curve; }
    virtual WORD GetDevide() const { return m_Devide; }
    virtual void SetStartAdd(signed char v) { m_StartAdd = v; }
    virtual void SetEndAdd(signed char v) { m_EndAdd = v; }
    virtual void SetCurve(signed char v) { m_Curve = v; }
    virtual void SetDevide(WORD v) { m_Devide = v; }
    int ConvToWrk() override;

private:
    signed char m_StartAdd = 0;
    signed char m_EndAdd = 0;
    signed char m_Curve = 0;
    WORD m_Devide = 0;
};

class CArticExpStresContCcNoteCrv : public CArticExpStresContCcNote {
    VX_DECLARE_CLASS(CArticExpStresContCcNoteCrv)
public:
    CArticExpStresContCcNoteCrv() = default;
    CArticExpStresContCcNoteCrv(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                BYTE contNo, LONG start, LONG end, short startAdd, short endAdd, signed char curve,
                                WORD devide)
        : CArticExpStresContCcNote(owner, evntNo, notes, type, contNo),
          m_Start(start), m_End(end), m_StartAdd(startAdd), m_EndAdd(endAdd), m_Curve(curve), m_Devide(devide) {}
    CArticExpStresContCcNoteCrv& operator=(const CArticExpStresContCcNoteCrv& src);
    virtual LONG GetStart() const { return m_Start; }
    virtual LONG GetEnd() const { return m_End; }
    virtual short GetStartAdd() const { return m_StartAdd; }
    virtual short GetEndAdd() const { return m_EndAdd; }
    virtual signed char GetCurve() const { return m_Curve; }
    virtual WORD GetDevide() const { return m_Devide; }
    virtual void SetStart(LONG v) { m_Start = v; }
    virtual void SetEnd(LONG v) { m_End = v; }
    virtual void SetStartAdd(short v) { m_StartAdd = v; }
    virtual void SetEndAdd(short v) { m_EndAdd = v; }
    virtual void SetCurve(signed char v) { m_Curve = v; }
    virtual void SetDevide(WORD v) { m_Devide = v; }
    int ConvToWrk() override;

protected:
    virtual int CreWrkContCc(CArticWrkEvnt* note);

private:
    LONG m_Start = 0;
    LONG m_End = 0;
    short m_StartAdd = 0;
    short m_EndAdd = 0;
    signed char m_Curve = 0;
    WORD m_Devide = 0;
};

class CArticExpStresContCcNoteCreAbs : public CArticExpStresContCcNote {
    VX_DECLARE_CLASS(CArticExpStresContCcNoteCreAbs)
public:
    CArticExpStresContCcNoteCreAbs() = default;
    CArticExpStresContCcNoteCreAbs(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                   BYTE contNo, LONG time, BYTE val)
        : CArticExpStresContCcNote(owner, evntNo, notes, type, contNo), m_Time(time), m_Val(val) {}
    CArticExpStresContCcNoteCreAbs& operator=(const CArticExpStresContCcNoteCreAbs& src);
    virtual LONG GetTime() const { return m_Time; }
    virtual BYTE GetVal() const { return m_Val; }
    virtual void SetTime(LONG v) { m_Time = v; }
    virtual void SetVal(BYTE v) { m_Val = v; }
    int ConvToWrk() override;

private:
    LONG m_Time = 0;
    BYTE m_Val = 0;
};

class CArticExpStresContCcNoteCreAbs2 : public CArticExpStresContCcNoteCreAbs {
    VX_DECLARE_CLASS(CArticExpStresContCcNoteCreAbs2)
public:
    CArticExpStresContCcNoteCreAbs2() = default;
    CArticExpStresContCcNoteCreAbs2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                    BYTE contNo, LONG time, LONG timeR, BYTE val)
        : CArticExpStresContCcNoteCreAbs(owner, evntNo, notes, type, contNo, time, val), m_TimeR(timeR) {}
    CArticExpStresContCcNoteCreAbs2& operator=(const CArticExpStresContCcNoteCreAbs2& src);
    virtual LONG GetTimeR() const { return m_TimeR; }
    virtual void SetTimeR(LONG v) { m_TimeR = v; }
    int ConvToWrk() override;

private:
    LONG m_TimeR = 0;
};

class CArticExpStresContCcNoteCreRel : public CArticExpStresContCcNote {
    VX_DECLARE_CLASS(CArticExpStresContCcNoteCreRel)
public:
    CArticExpStresContCcNoteCreRel() = default;
    CArticExpStresContCcNoteCreRel(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                   BYTE contNo, LONG time, signed char add)
        : CArticExpStresContCcNote(owner, evntNo, notes, type, contNo), m_Time(time), m_Add(add) {}
    CArticExpStresContCcNoteCreRel& operator=(const CArticExpStresContCcNoteCreRel& src);
    virtual LONG GetTime() const { return m_Time; }
    virtual signed char GetAdd() const { return m_Add; }
    virtual void SetTime(LONG v) { m_Time = v; }
    virtual void SetAdd(signed char v) { m_Add = v; }
    int ConvToWrk() override;

private:
    LONG m_Time = 0;
    signed char m_Add = 0;
};

class CArticExpStresContCcNoteCreRel2 : public CArticExpStresContCcNoteCreRel {
    VX_DECLARE_CLASS(CArticExpStresContCcNoteCreRel2)
public:
    CArticExpStresContCcNoteCreRel2() = default;
    CArticExpStresContCcNoteCreRel2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                    BYTE contNo, LONG time, LONG timeR, signed char add)
        : CArticExpStresContCcNoteCreRel(owner, evntNo, notes, type, contNo, time, add), m_TimeR(timeR) {}
    CArticExpStresContCcNoteCreRel2& operator=(const CArticExpStresContCcNoteCreRel2& src);
    virtual LONG GetTimeR() const { return m_TimeR; }
    virtual void SetTimeR(LONG v) { m_TimeR = v; }
    int ConvToWrk() override;

private:
    LONG m_TimeR = 0;
};

// Re-levels one controller around each listed note: inside the window the
// values become Offset + Mag percent of themselves.
class CArticExpOrgContCc : public CArticExpEvnt {
    VX_DECLARE_CLASS(CArticExpOrgContCc)
public:
    CArticExpOrgContCc() = default;
    CArticExpOrgContCc(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, LONG start,
                       LONG end, BYTE contNo, WORD offset, WORD mag)
        : CArticExpEvnt(owner, evntNo), m_Notes(notes), m_Type(type), m_Start(start), m_End(end),
          m_ContNo(contNo), m_Offset(offset), m_Mag(mag) {}
    CArticExpOrgContCc& operator=(const CArticExpOrgContCc& src);

    virtual CArticWrkEvntList* GetWrkEvntList() const { return m_Notes.Get(); }
    virtual BYTE GetType() const { return m_Type; }
    virtual LONG GetStart() const { return m_Start; }
    virtual LONG GetEnd() const { return m_End; }
    virtual BYTE GetContNo() const { return m_ContNo; }
    virtual WORD GetMag() const { return m_Mag; }
    virtual WORD GetOffset() const { return m_Offset; }
    virtual void SetType(BYTE v) { m_Type = v; }
    virtual void SetStart(LONG v) { m_Start = v; }
    virtual void SetEnd(LONG v) { m_End = v; }
    virtual void SetContNo(BYTE v) { m_ContNo = v; }
    virtual void SetMag(WORD v) { m_Mag = v; }
    virtual void SetOffset(WORD v) { m_Offset = v; }
    virtual void DeleteEvntList() { m_Notes.Delete(); }
    int ReLinkWrkEvntList(CArticWrk* wrk) override { return m_Notes.ReLink(wrk); }
    int ConvToWrk() override;

private:
    CArticExpNotes m_Notes;
    BYTE m_Type = 0;
    LONG m_Start = 0;
    LONG m_End = 0;
    BYTE m_ContNo = 0;
    WORD m_Offset = 0;
    WORD m_Mag = 100;
};
