#pragma once
// Velocity stress: the velocities of the listed notes, of the notes of
// middle work block 0 from a position on, or along a curve over a span. A
// note-on's velocity never goes below 1 here: a velocity of 0 would turn it
// into a note-off and the note would be lost when the song is written.
#include "engine/expressions/ArticExpBase.h"
#include "engine/expressions/ArticMeas.h"

class CArticWrkEvnt;

class CArticExpStresVelo : public CArticExpStres {
    VX_DECLARE_CLASS(CArticExpStresVelo)
public:
    CArticExpStresVelo() = default;
    CArticExpStresVelo(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes);
    CArticExpStresVelo& operator=(const CArticExpStresVelo& src);

    // A note-on velocity within 1..127.
    static BYTE LimitVelo(int velo);
};

class CArticExpStresVeloNote : public CArticExpStresVelo {
    VX_DECLARE_CLASS(CArticExpStresVeloNote)
public:
    CArticExpStresVeloNote() = default;
    CArticExpStresVeloNote(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes);
    CArticExpStresVeloNote& operator=(const CArticExpStresVeloNote& src);

    // Phase 1: ModWrkNoteVel on every listed note.
    int ConvToWrk() override;

protected:
    // 1 for a missing event or one that is not a note-on.
    virtual int ModWrkNoteVel(CArticWrkEvnt* note) = 0;
};

class CArticExpStresVeloTime : public CArticExpStresVelo {
    VX_DECLARE_CLASS(CArticExpStresVeloTime)
public:
    CArticExpStresVeloTime() = default;
    CArticExpStresVeloTime(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas);
    CArticExpStresVeloTime& operator=(const CArticExpStresVeloTime& src);

    virtual BYTE GetType() const { return m_Type; }
    virtual void GetMeas(ULONG* meas, ULONG* beat, ULONG* tick) const { m_Meas.Get(meas, beat, tick); }
    virtual const CArticMeas& GetMeas() const { return m_Meas; }
    virtual void SetType(BYTE type) { m_Type = type; }
    virtual void SetMeas(ULONG meas, ULONG beat, ULONG tick) { m_Meas.Set(meas, beat, tick); }

    // Phase 1: Type 0 from the position, Type 1 from the nearest note-on.
    int ConvToWrk() override;

protected:
    virtual int ResetWrkVeloType0();
    virtual int ResetWrkVeloType1();
    // Changes the note-ons of blk from time t to the next velocity setting.
    virtual int ApplyFrom(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t) = 0;

private:
    int Reset(bool nearest);

    BYTE m_Type = 0;
    CArticMeas m_Meas;
};

class CArticExpStresVeloNoteAbs : public CArticExpStresVeloNote {
    VX_DECLARE_CLASS(CArticExpStresVeloNoteAbs)
public:
    CArticExpStresVeloNoteAbs() = default;
    CArticExpStresVeloNoteAbs(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE velo);
    CArticExpStresVeloNoteAbs& operator=(const CArticExpStresVeloNoteAbs& src);

    virtual BYTE GetVelo() const { return m_Velo; }
    virtual void SetVelo(BYTE velo) { m_Velo = velo; }

protected:
    int ModWrkNoteVel(CArticWrkEvnt* note) override;

private:
    BYTE m_Velo = 0;
};

class CArticExpStresVeloNoteRel : public CArticExpStresVeloNote {
    VX_DECLARE_CLASS(CArticExpStresVeloNoteRel)
public:
    CArticExpStresVeloNoteRel() = default;
    CArticExpStresVeloNoteRel(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, signed char add);
    CArticExpStresVeloNoteRel& operator=(const CArticExpStresVeloNoteRel& src);

    virtual signed char GetAdd() const { return m_Add; }
    virtual void SetAdd(signed char add) { m_Add = add; }
    // Nothing to do for Add 0, whatever the list holds.
    int ConvToWrk() override;

protected:
    int ModWrkNoteVel(CArticWrkEvnt* note) override;

private:
    signed char m_Add = 0;
};

class CArticExpStresVeloTimeAbs : public CArticExpStresVeloTime {
    VX_DECLARE_CLASS(CArticExpStresVeloTimeAbs)
public:
    CArticExpStresVeloTimeAbs() = default;
    CArticExpStresVeloTimeAbs(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, BYTE velo);
    CArticExpStresVeloTimeAbs& operator=(const CArticExpStresVeloTimeAbs& src);

    virtual BYTE GetVelo() const { return m_Velo; }
    virtual void SetVelo(BYTE velo) { m_Velo = velo; }

protected:
    int ApplyFrom(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t) override;

private:
    BYTE m_Velo = 0;
};

class CArticExpStresVeloTimeRel : public CArticExpStresVeloTime {
    VX_DECLARE_CLASS(CArticExpStresVeloTimeRel)
public:
    CArticExpStresVeloTimeRel() = default;
    CArticExpStresVeloTimeRel(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, signed char add);
    CArticExpStresVeloTimeRel& operator=(const CArticExpStresVeloTimeRel& src);

    virtual signed char GetAdd() const { return m_Add; }
    virtual void SetAdd(signed char add) { m_Add = add; }

protected:
    int ApplyFrom(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t) override;

private:
    signed char m_Add = 0;
};

class CArticExpStresVeloTimeRelCrv : public CArticExpStresVelo {
    VX_DECLARE_CLASS(CArticExpStresVeloTimeRelCrv)
public:
    CArticExpStresVeloTimeRelCrv() = default;
    // The span between two positions (EvntType 1).
    CArticExpStresVeloTimeRelCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticWrkEvntList* notes,
                                 const CArticMeas* meas, const CArticMeas* endMeas, signed char startAdd,
                                 signed char endAdd, signed char curve);
    // The span of timeW ticks from a position (EvntType 2).
    CArticExpStresVeloTimeRelCrv(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticWrkEvntList* notes,
                                 const CArticMeas* meas, ULONG timeW, signed char startAdd, signed char endAdd,
                                 signed char curve);
    CArticExpStresVeloTimeRelCrv& operator=(const CArticExpStresVeloTimeRelCrv& src);

    virtual BYTE GetType() const { return m_Type; }
    virtual const CArticMeas& GetMeas() const { return m_Meas; }
    virtual const CArticMeas& GetEndMeas() const { return m_EndMeas; }
    virtual ULONG GetTimeW() const { return m_TimeW; }
    virtual signed char GetStartAdd() const { return m_StartAdd; }
    virtual signed char GetEndAdd() const { return m_EndAdd; }
    virtual signed char GetCurve() const { return m_Curve; }
    virtual void SetType(BYTE type) { m_Type = type; }
    virtual void SetMeas(ULONG meas, ULONG beat, ULONG tick) { m_Meas.Set(meas, beat, tick); }
    virtual void SetEndMeas(ULONG meas, ULONG beat, ULONG tick) { m_EndMeas.Set(meas, beat, tick); }
    virtual void SetTimeW(ULONG w) { m_TimeW = w; }
    virtual void SetStartAdd(signed char v) { m_StartAdd = v; }
    virtual void SetEndAdd(signed char v) { m_EndAdd = v; }
    virtual void SetCurve(signed char v) { m_Curve = v; }

    // Phase 1: the curve over the span, in the block of the first listed note.
    int ConvToWrk() override;

protected:
    virtual int CreWrkVeloType0(CArticWrkBlk* blk, BYTE replace, BYTE hold);
    virtual int CreWrkVeloType1(CArticWrkBlk* blk, BYTE replace, BYTE hold);
    virtual int AddVeloCrv(CArticWrkBlk* blk, INT64 t0, INT64 t1, BYTE hold);
    virtual int ReplaceVeloCrv(CArticWrkBlk* blk, INT64 t0, INT64 t1, BYTE hold);

private:
    int Span(CArticWrkBlk* blk, INT64* t0, INT64* t1);
    // newVelo(old velocity, level) for the span and the notes held after it.
    template <class F>
    int WalkCrv(CArticWrkBlk* blk, INT64 t0, INT64 t1, BYTE hold, F newVelo);

    BYTE m_Type = 0;
    CArticMeas m_Meas;
    CArticMeas m_EndMeas;
    ULONG m_TimeW = 0;
    signed char m_StartAdd = 0;
    signed char m_EndAdd = 0;
    signed char m_Curve = 0;
};
