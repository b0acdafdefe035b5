#pragma once
// Pitch-bend expressions: bend curves over a measure area or around each
// listed note, semitone slides, and the guitar bends and slides that join
// listed notes into one string bent or slid from pitch to pitch.
#include <functional>

#include "engine/expressions/ArticExpEvnt.h"
#include "engine/expressions/ArticExpJoin.h"
#include "engine/expressions/ArticExpNotes.h"
#include "engine/expressions/ArticMeas.h"

class CArticWrkBlk;

class CArticExpPitch : public CArticExpEvnt {
    VX_DECLARE_CLASS(CArticExpPitch)
public:
    CArticExpPitch() = default;
    // Event type 1 (start and end positions), 2 (start and width), 3 (notes).
    CArticExpPitch(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, const CArticMeas* endMeas);
    CArticExpPitch(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, ULONG timeW);
    CArticExpPitch(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type);
    CArticExpPitch& operator=(const CArticExpPitch& src);

    virtual BYTE GetType() const { return m_Type; }
    virtual const CArticMeas& GetMeas() const { return m_Meas; }
    virtual const CArticMeas& GetEndMeas() const { return m_EndMeas; }
    virtual ULONG GetTimeW() const { return m_TimeW; }
    virtual void SetType(BYTE type) { m_Type = type; }
    virtual void SetMeas(ULONG meas, ULONG beat, ULONG tick) { m_Meas.Set(meas, beat, tick); }
    virtual void SetEndMeas(ULONG meas, ULONG beat, ULONG tick) { m_EndMeas.Set(meas, beat, tick); }
    virtual void SetTimeW(ULONG w) { m_TimeW = w; }
    virtual CArticWrkEvntList* GetWrkEvntList() const { return m_Notes.Get(); }
    virtual void SetWrkEvntList(CArticWrkEvntList* list) { m_Notes.Set(list); }
    virtual void ClearEvntList() { m_Notes.Clear(); }
    virtual void CopyEvntList(const CArticWrkEvntList* list) { m_Notes.Copy(list); }
    virtual void DeleteEvntList() { m_Notes.Delete(); }
    int ReLinkWrkEvntList(CArticWrk* wrk) override { return m_Notes.ReLink(wrk); }

private:
    BYTE m_Type = 0;
    CArticMeas m_Meas;
    CArticMeas m_EndMeas;
    ULONG m_TimeW = 0;
    CArticExpNotes m_Notes;
};

// One bend curve over a measure area: kind 0 the area itself, kind 1 from a
// note to the next, kind 3 from a note to a note end.
class CArticExpPitchCrv : public CArticExpPitch {
    VX_DECLARE_CLASS(CArticExpPitchCrv)
public:
    CArticExpPitchCrv() = default;
    CArticExpPitchCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                      const CArticMeas* endMeas, short startAdd, short endAdd, signed char curve, WORD devide);
    CArticExpPitchCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, ULONG timeW,
                      short startAdd, short endAdd, signed char curve, WORD devide);
    CArticExpPitchCrv& operator=(const CArticExpPitchCrv& src);

    virtual short GetStartAdd() const { return m_StartAdd; }
    virtual short GetEndAdd() const { return m_EndAdd; }
    virtual signed char GetCurve() const { return m_Curve; }
    virtual WORD GetDevide() const { return m_Devide; }
    virtual void SetStartAdd(short v) { m_StartAdd = v; }
    virtual void SetEndAdd(short v) { m_EndAdd = v; }
    virtual void SetCurve(signed char v) { m_Curve = v; }
    virtual void SetDevide(WORD v) { m_Devide = v; }

    int ConvToWrk() override;
    virtual int CreWrkPitchType0(BYTE mode, BYTE areaEnd, BYTE unit);
    virtual int CreWrkPitchType1(BYTE mode, BYTE areaEnd, BYTE unit);
    // A failing curve is still followed by the pinning, then reported.
    virtual int CreWrkPitchType3(BYTE mode, BYTE areaEnd, BYTE unit);

private:
    int Curve(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE unit, INT64 from, INT64 to, INT64 areaTo);
    // Middle work block 0, its data and the area start T and end E: 0; 1
    // when missing; -1 for an event type without an area.
    int Area(CArticWrkBlk** blk, CArticWrk** wrk, INT64* T, INT64* E);

    short m_StartAdd = 0;
    short m_EndAdd = 0;
    signed char m_Curve = 0;
    WORD m_Devide = 0;
};

// The per-note curves and slides: one edit from note start + Start to note
// start + End of every listed note.
class CArticExpPitchNote : public CArticExpPitch {
    VX_DECLARE_CLASS(CArticExpPitchNote)
public:
    CArticExpPitchNote() = default;
    CArticExpPitchNote(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, LONG start,
                       LONG end, short startAdd, short endAdd, signed char curve, WORD devide);
    CArticExpPitchNote& operator=(const CArticExpPitchNote& src);

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
    // The loop over the listed notes with the flags of Type.
    virtual int CreWrkPitch();
    // Restores the level in force at n (the next note start at or after
    // end): the area from A to n cleared, the level at A when found.
    static int RestoreAtNext(CArticWrk* wrk, CArticWrkBlk* blk, INT64 A, INT64 n, int found, LONG level);
    // lay the edit up to end, then (restore) pin there the level in force before it.
    static int LayToFixedEnd(CArticWrk* wrk, CArticWrkBlk* blk, INT64 end, bool restore,
                             const std::function<int()>& lay);
    // lay the edit up to A, the next note start at or after end (or the
    // end of the note ending there), then (restore) put back the level in
    // force there before it.
    static int LayToNextNote(CArticWrk* wrk, CArticWrkBlk* blk, INT64 end, bool restore,
                             const std::function<int(INT64 A)>& lay);

protected:
    // The edit of one note: block, curve start and end, the note's start.
    virtual int CreWrkPitch(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 t) = 0;
    // Rounds the offsets before the loop (the stepped slide).
    virtual void PrepareOffsets() {}
    // Add (1) or Replace (0), fixed end (0) or up to the next note (1).
    BYTE Mode() const { return (GetType() & 2) ? 0 : 1; }
    BYTE AreaEnd() const { return (GetType() & 4) ? 0 : 1; }
    // Offsets in cents (1) or bend units; the area taken from the note's start.
    BYTE Unit() const { return GetType() & 1; }
    bool NoteStart() const { return !(GetType() & 8) && m_Start > 0; }
    // The block's work data; none without owner, data or event list.
    CArticWrk* WorkOf(CArticWrkBlk* blk) const;

private:
    LONG m_Start = 0;
    LONG m_End = 0;
    short m_StartAdd = 0;
    short m_EndAdd = 0;
    signed char m_Curve = 0;
    WORD m_Devide = 0;
};

class CArticExpPitchCrv2 : public CArticExpPitchNote {
    VX_DECLARE_CLASS(CArticExpPitchCrv2)
public:
    CArticExpPitchCrv2() = default;
    using CArticExpPitchNote::CArticExpPitchNote;
    CArticExpPitchCrv2& operator=(const CArticExpPitchCrv2& src);

protected:
    int CreWrkPitch(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 t) override;
};

class CArticExpPitchSlide : public CArticExpPitchNote {
    VX_DECLARE_CLASS(CArticExpPitchSlide)
public:
    CArticExpPitchSlide() = default;
    using CArticExpPitchNote::CArticExpPitchNote;
    CArticExpPitchSlide& operator=(const CArticExpPitchSlide& src);

protected:
    int CreWrkPitch(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 t) override;
};

class CArticExpPitchSlide2 : public CArticExpPitchNote {
    VX_DECLARE_CLASS(CArticExpPitchSlide2)
public:
    CArticExpPitchSlide2() = default;
    using CArticExpPitchNote::CArticExpPitchNote;
    CArticExpPitchSlide2& operator=(const CArticExpPitchSlide2& src);
    // Cents rounded to whole semitones, half away from zero.
    static short RoundCents(short v);

protected:
    int CreWrkPitch(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 t) override;
    void PrepareOffsets() override;

private:
    short m_StartCents = 0;  // the rounded offsets of this run
    short m_EndCents = 0;
};

// Guitar bend and slide: the listed notes joined into one kept note (the
// first or, with Type bit 0, the last) and the pitch moved between their keys.
class CArticExpPitchGtr : public CArticExpPitch {
    VX_DECLARE_CLASS(CArticExpPitchGtr)
public:
    CArticExpPitchGtr() = default;
    CArticExpPitchGtr(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, LONG startTime,
                      LONG endTime, signed char upCurve, signed char downCurve, WORD devide);
    CArticExpPitchGtr& operator=(const CArticExpPitchGtr& src);

    virtual LONG GetStartTime() const { return m_StartTime; }
    virtual LONG GetEndTime() const { return m_EndTime; }
    virtual signed char GetUpCurve() const { return m_UpCurve; }
    virtual signed char GetDownCurve() const { return m_DownCurve; }
    virtual WORD GetDevide() const { return m_Devide; }
    virtual void SetStartTime(LONG v) { m_StartTime = v; }
    virtual void SetEndTime(LONG v) { m_EndTime = v; }
    virtual void SetUpCurve(signed char v) { m_UpCurve = v; }
    virtual void SetDownCurve(signed char v) { m_DownCurve = v; }
    virtual void SetDevide(WORD v) { m_Devide = v; }
    virtual CArticWrkBlk* GetFirstNoteWrkBlk() const;
    virtual int IsSameWrkBlkType0() const;
    virtual int IsSameWrkBlkType1() const;
    CArticExpJoin& Join() { return m_Join; }

    int ConvToWrkCombine() override;
    int ConvToWrk2() override;

protected:
    // The bend or slide from level from to level to between s and e.
    virtual int Gesture(CArticWrk* wrk, CArticWrkBlk* blk, INT64 s, INT64 e, LONG from, LONG to, int semitones,
                        signed char curve) = 0;

private:
    int Walk(bool keepLast);
    int Twin0(CArticWrk* wrk, CArticWrkBlk* blk);
    int Twin1(CArticWrk* wrk, CArticWrkBlk* blk);
    int CreWrkPitchBend0(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvnt* p, CArticWrkEvnt* q, int last,
                         signed char curve);
    int CreWrkPitchBend1(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvnt* y, CArticWrkEvnt* x, int first,
                         signed char curve);

    LONG m_StartTime = 0;
    LONG m_EndTime = 0;
    signed char m_UpCurve = 0;
    signed char m_DownCurve = 0;
    WORD m_Devide = 0;
    CArticExpJoin m_Join;
};

class CArticExpPitchGtrBend : public CArticExpPitchGtr {
    VX_DECLARE_CLASS(CArticExpPitchGtrBend)
public:
    CArticExpPitchGtrBend() = default;
    using CArticExpPitchGtr::CArticExpPitchGtr;
    CArticExpPitchGtrBend& operator=(const CArticExpPitchGtrBend& src);

protected:
    int Gesture(CArticWrk* wrk, CArticWrkBlk* blk, INT64 s, INT64 e, LONG from, LONG to, int semitones,
                signed char curve) override;
};

class CArticExpPitchGtrSlide : public CArticExpPitchGtr {
    VX_DECLARE_CLASS(CArticExpPitchGtrSlide)
public:
    CArticExpPitchGtrSlide() = default;
    using CArticExpPitchGtr::CArticExpPitchGtr;
    CArticExpPitchGtrSlide& operator=(const CArticExpPitchGtrSlide& src);

protected:
    int Gesture(CArticWrk* wrk, CArticWrkBlk* blk, INT64 s, INT64 e, LONG from, LONG to, int semitones,
                signed char curve) override;
};
