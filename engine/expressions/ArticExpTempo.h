#pragma once
// Tempo changes written into middle work block 0 in phase 1: an absolute
// tempo, a return to the song's tempo, a fixed relative tempo at a point, a
// relative tempo curve over an area, and the relative tempo over (fermata) or
// after (breath) the listed notes.
#include "engine/expressions/ArticExpEvnt.h"
#include "engine/expressions/ArticExpNotes.h"
#include "engine/expressions/ArticMeas.h"

class CArticWrkEvnt;

class CArticExpTempo : public CArticExpEvnt {
    VX_DECLARE_CLASS(CArticExpTempo)
public:
    CArticExpTempo() = default;
    // Measure form: EvntType 1, Time 0.
    CArticExpTempo(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas);
    // Tick form: EvntType 2, Meas (1,1,0).
    CArticExpTempo(CArticExpBlk* owner, ULONG evntNo, BYTE type, INT64 time);
    CArticExpTempo& operator=(const CArticExpTempo& src);

    virtual BYTE GetType() const { return m_Type; }
    virtual void GetMeas(ULONG* meas, ULONG* beat, ULONG* tick) const { m_Meas.Get(meas, beat, tick); }
    virtual const CArticMeas& GetMeas() const { return m_Meas; }
    virtual INT64 GetTime() const { return m_Time; }
    virtual void SetType(BYTE v) { m_Type = v; }
    virtual void SetMeas(ULONG meas, ULONG beat, ULONG tick) { m_Meas.Set(meas, beat, tick); }
    virtual void SetTime(INT64 v) { m_Time = v; }

protected:
    // The middle work data and block 0: 0; 1 when either (or the owner) is missing.
    int MidTarget(CArticWrk** wrk, CArticWrkBlk** blk) const;
    // Phase 1 of a point expression: the point by Type (0 the position, 1 its
    // bar head, 2 its beat head), then CreatePoint there; reported with the
    // content of its Type (contents[0..2]).
    int RunPoint(const char* const contents[3]);
    virtual int CreatePoint(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t) { return 1; }

private:
    BYTE m_Type = 0;
    CArticMeas m_Meas;
    INT64 m_Time = 0;
};

class CArticExpTempoRel : public CArticExpTempo {
    VX_DECLARE_CLASS(CArticExpTempoRel)
public:
    CArticExpTempoRel() = default;
    CArticExpTempoRel(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, const CArticMeas* endMeas,
                      WORD startMag);
    CArticExpTempoRel(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, INT64 timeW,
                      WORD startMag);
    CArticExpTempoRel(CArticExpBlk* owner, ULONG evntNo, BYTE type, INT64 time, INT64 timeW, WORD startMag);
    CArticExpTempoRel& operator=(const CArticExpTempoRel& src);

    virtual void GetEndMeas(ULONG* meas, ULONG* beat, ULONG* tick) const { m_EndMeas.Get(meas, beat, tick); }
    virtual const CArticMeas& GetEndMeas() const { return m_EndMeas; }
    virtual INT64 GetTimeW() const { return m_TimeW; }
    virtual WORD GetStartMag() const { return m_StartMag; }
    virtual void SetEndMeas(ULONG meas, ULONG beat, ULONG tick) { m_EndMeas.Set(meas, beat, tick); }
    virtual void SetTimeW(INT64 v) { m_TimeW = v; }
    virtual void SetStartMag(WORD v) { m_StartMag = v; }

private:
    CArticMeas m_EndMeas;
    INT64 m_TimeW = 0;
    WORD m_StartMag = 100;
};

class CArticExpTempoAbs : public CArticExpTempo {
    VX_DECLARE_CLASS(CArticExpTempoAbs)
public:
    CArticExpTempoAbs() = default;
    CArticExpTempoAbs(CArticExpBlk* owner, ULONG evntNo, BYTE type, ULONG time, WORD tickPerBeat, WORD tempo);
    CArticExpTempoAbs(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, WORD tickPerBeat,
                      WORD tempo);
    CArticExpTempoAbs& operator=(const CArticExpTempoAbs& src);

    virtual WORD GetTickPerBeat() const { return m_TickPerBeat; }
    virtual WORD GetTempo() const { return m_Tempo; }
    virtual void SetTickPerBeat(WORD v) { m_TickPerBeat = v; }
    virtual void SetTempo(WORD v) { m_Tempo = v; }
    virtual int CreWrkTempoAbs(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, WORD tickPerBeat, WORD tempo);

    // Phase 1: the absolute tempo at the point of Type.
    int ConvToWrk() override;

protected:
    int CreatePoint(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t) override;

private:
    WORD m_TickPerBeat = 480;
    WORD m_Tempo = 120;
};

class CArticExpTempoAbsRel : public CArticExpTempo {
    VX_DECLARE_CLASS(CArticExpTempoAbsRel)
public:
    CArticExpTempoAbsRel() = default;
    CArticExpTempoAbsRel(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas)
        : CArticExpTempo(owner, evntNo, type, meas) {}
    CArticExpTempoAbsRel(CArticExpBlk* owner, ULONG evntNo, BYTE type, INT64 time)
        : CArticExpTempo(owner, evntNo, type, time) {}
    CArticExpTempoAbsRel& operator=(const CArticExpTempoAbsRel& src) {
        CArticExpTempo::operator=(src);
        return *this;
    }
    virtual int CreWrkTempoAbsRel(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time);

    // Phase 1: the song's own tempo back from the point of Type.
    int ConvToWrk() override;

protected:
    int CreatePoint(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t) override;
};

class CArticExpTempoRelFix : public CArticExpTempo {
    VX_DECLARE_CLASS(CArticExpTempoRelFix)
public:
    CArticExpTempoRelFix() = default;
    CArticExpTempoRelFix(CArticExpBlk* owner, ULONG evntNo, BYTE type, ULONG time, WORD mag);
    CArticExpTempoRelFix(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, WORD mag);
    CArticExpTempoRelFix& operator=(const CArticExpTempoRelFix& src);

    virtual WORD GetMag() const { return m_Mag; }
    virtual void SetMag(WORD v) { m_Mag = v; }
    virtual int CreWrkTempoRelFix(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, WORD mag);

    // Phase 1: the relative tempo Mag from the point of Type on.
    int ConvToWrk() override;

protected:
    int CreatePoint(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t) override;

private:
    WORD m_Mag = 100;
};

class CArticExpTempoRelCrv : public CArticExpTempoRel {
    VX_DECLARE_CLASS(CArticExpTempoRelCrv)
public:
    CArticExpTempoRelCrv() = default;
    CArticExpTempoRelCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas,
                         const CArticMeas* endMeas, WORD startMag, WORD endMag, signed char curve, WORD devide);
    CArticExpTempoRelCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, INT64 timeW,
                         WORD startMag, WORD endMag, signed char curve, WORD devide);
    CArticExpTempoRelCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type, INT64 time, INT64 timeW, WORD startMag,
                         WORD endMag, signed char curve, WORD devide);
    CArticExpTempoRelCrv& operator=(const CArticExpTempoRelCrv& src);

    virtual WORD GetEndMag() const { return m_EndMag; }
    virtual signed char GetCurve() const { return m_Curve; }
    virtual WORD GetDevide() const { return m_Devide; }
    virtual void SetEndMag(WORD v) { m_EndMag = v; }
    virtual void SetCurve(signed char v) { m_Curve = v; }
    virtual void SetDevide(WORD v) { m_Devide = v; }
    // The curve over the area of the form, its start moved by mode.
    virtual int CreWrkTempoRelCrv(BYTE mode);

    // Phase 1: the relative tempo curve, Type 0..2 moving its start.
    int ConvToWrk() override;

private:
    WORD m_EndMag = 100;
    signed char m_Curve = 0;
    WORD m_Devide = 1;
};

class CArticExpTempoFermata : public CArticExpTempo {
    VX_DECLARE_CLASS(CArticExpTempoFermata)
public:
    CArticExpTempoFermata() = default;
    CArticExpTempoFermata(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticWrkEvntList* notes, WORD mag,
                          ULONG fermataTime);
    CArticExpTempoFermata& operator=(const CArticExpTempoFermata& src);

    virtual int GetWrkEvntList(CArticWrkEvntList** list) const { return m_Notes.Get(list); }
    virtual CArticWrkEvntList* GetWrkEvntList() const { return m_Notes.Get(); }
    virtual WORD GetMag() const { return m_Mag; }
    virtual ULONG GetFermataTime() const { return m_FermataTime; }
    virtual void SetWrkEvntList(CArticWrkEvntList* list) { m_Notes.Set(list); }
    virtual void SetMag(WORD v) { m_Mag = v; }
    virtual void SetFermataTime(ULONG v) { m_FermataTime = v; }
    virtual void ClearEvntList() { m_Notes.Clear(); }
    virtual void CopyEvntList(const CArticWrkEvntList* list) { m_Notes.Copy(list); }
    virtual void DeleteEvntList() { m_Notes.Delete(); }
    int ReLinkWrkEvntList(CArticWrk* wrk) override { return m_Notes.ReLink(wrk); }
    // The relative tempo Mag inside [start, end) of middle block 0.
    virtual int CreWrkTempoFermata(INT64 start, INT64 end);

    // Phase 1: every listed note visited; the first failure is returned and reported.
    int ConvToWrk() override;

private:
    CArticExpNotes m_Notes;
    WORD m_Mag = 100;
    ULONG m_FermataTime = 0;
};

class CArticExpTempoBreath : public CArticExpTempo {
    VX_DECLARE_CLASS(CArticExpTempoBreath)
public:
    CArticExpTempoBreath() = default;
    CArticExpTempoBreath(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticWrkEvntList* notes, WORD mag,
                         ULONG breathTime);
    CArticExpTempoBreath& operator=(const CArticExpTempoBreath& src);

    virtual int GetWrkEvntList(CArticWrkEvntList** list) const { return m_Notes.Get(list); }
    virtual CArticWrkEvntList* GetWrkEvntList() const { return m_Notes.Get(); }
    virtual WORD GetMag() const { return m_Mag; }
    virtual ULONG GetBreathTime() const { return m_BreathTime; }
    virtual void SetWrkEvntList(CArticWrkEvntList* list) { m_Notes.Set(list); }
    virtual void SetMag(WORD v) { m_Mag = v; }
    virtual void SetBreathTime(ULONG v) { m_BreathTime = v; }
    virtual void ClearEvntList() { m_Notes.Clear(); }
    virtual void CopyEvntList(const CArticWrkEvntList* list) { m_Notes.Copy(list); }
    virtual void DeleteEvntList() { m_Notes.Delete(); }
    int ReLinkWrkEvntList(CArticWrk* wrk) override { return m_Notes.ReLink(wrk); }
    virtual int CreWrkTempoBreath(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end);
    // The breath after one note, reported on failure.
    virtual int CreWrkTempoBreath(CArticWrkEvnt* note);

    // Phase 1: the notes in order up to the first failure.
    int ConvToWrk() override;

private:
    CArticExpNotes m_Notes;
    WORD m_Mag = 100;
    ULONG m_BreathTime = 0;
};
