#pragma once
// Durations and key shifts: gate times scaled, lengthened, set or cut by the
// beat-unit rule, and notes transposed along their reference chains.
#include "engine/expressions/ArticExpEvnt.h"
#include "engine/expressions/ArticExpNotes.h"
#include "engine/expressions/ArticMeas.h"

class CArticWrkEvnt;

class CArticExpDur : public CArticExpEvnt {
    VX_DECLARE_CLASS(CArticExpDur)
public:
    CArticExpDur() = default;
    CArticExpDur(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes = nullptr);
    CArticExpDur& operator=(const CArticExpDur& src);

    virtual CArticWrkEvntList* GetWrkEvntList() const { return m_Notes.Get(); }
    virtual void SetWrkEvntList(CArticWrkEvntList* list) { m_Notes.Set(list); }
    virtual void ClearEvntList() { m_Notes.Clear(); }
    virtual void CopyEvntList(const CArticWrkEvntList* list) { m_Notes.Copy(list); }
    virtual void DeleteEvntList() { m_Notes.Delete(); }
    int ReLinkWrkEvntList(CArticWrk* wrk) override { return m_Notes.ReLink(wrk); }

    // Phase 1: DurWrkNote on every listed note.
    int ConvToWrk() override;

protected:
    // Sets the note's new gate time: 0; 1 for a missing event.
    virtual int DurWrkNote(CArticWrkEvnt* note);
    // The new gate time of a note of gate g.
    virtual INT64 NewGate(INT64 g) const = 0;
    // The beat-unit rule shared by DurBp and DurAll.
    static INT64 BeatUnitGate(INT64 g, ULONG beatUnit, WORD mag);

private:
    CArticExpNotes m_Notes;
};

class CArticExpKey : public CArticExpEvnt {
    VX_DECLARE_CLASS(CArticExpKey)
public:
    CArticExpKey() = default;
    CArticExpKey(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes = nullptr);
    CArticExpKey& operator=(const CArticExpKey& src);

    virtual CArticWrkEvntList* GetWrkEvntList() const { return m_Notes.Get(); }
    virtual void SetWrkEvntList(CArticWrkEvntList* list) { m_Notes.Set(list); }
    // The block of the first listed note the middle work data holds.
    virtual CArticWrkBlk* GetFirstNoteWrkBlk() const;
    virtual void ClearEvntList() { m_Notes.Clear(); }
    virtual void CopyEvntList(const CArticWrkEvntList* list) { m_Notes.Copy(list); }
    virtual void DeleteEvntList() { m_Notes.Delete(); }
    int ReLinkWrkEvntList(CArticWrk* wrk) override { return m_Notes.ReLink(wrk); }

private:
    CArticExpNotes m_Notes;
};

class CArticExpDurRel : public CArticExpDur {
    VX_DECLARE_CLASS(CArticExpDurRel)
public:
    CArticExpDurRel() = default;
    CArticExpDurRel(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, WORD mag);
    CArticExpDurRel& operator=(const CArticExpDurRel& src);
    virtual WORD GetMag() const { return m_Mag; }
    virtual void SetMag(WORD mag) { m_Mag = mag; }

protected:
    INT64 NewGate(INT64 g) const override;

private:
    WORD m_Mag = 0;
};

class CArticExpDurRel2 : public CArticExpDur {
    VX_DECLARE_CLASS(CArticExpDurRel2)
public:
    CArticExpDurRel2() = default;
    CArticExpDurRel2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, LONG add);
    CArticExpDurRel2& operator=(const CArticExpDurRel2& src);
    virtual LONG GetAdd() const { return m_Add; }
    virtual void SetAdd(LONG add) { m_Add = add; }

protected:
    INT64 NewGate(INT64 g) const override;

private:
    LONG m_Add = 0;
};

class CArticExpDurAbs : public CArticExpDur {
    VX_DECLARE_CLASS(CArticExpDurAbs)
public:
    CArticExpDurAbs() = default;
    CArticExpDurAbs(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, ULONG dur);
    CArticExpDurAbs& operator=(const CArticExpDurAbs& src);
    virtual ULONG GetDur() const { return m_Dur; }
    virtual void SetDur(ULONG dur) { m_Dur = dur; }

protected:
    INT64 NewGate(INT64 g) const override;

private:
    ULONG m_Dur = 0;
};

class CArticExpDurBp : public CArticExpDur {
    VX_DECLARE_CLASS(CArticExpDurBp)
public:
    CArticExpDurBp() = default;
    CArticExpDurBp(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, ULONG beatUnit, WORD mag);
    CArticExpDurBp& operator=(const CArticExpDurBp& src);
    virtual WORD GetMag() const { return m_Mag; }
    virtual ULONG GetBeatUnit() const { return m_BeatUnit; }
    virtual void SetBeatUnit(ULONG unit) { m_BeatUnit = unit; }
    virtual void SetMag(WORD mag) { m_Mag = mag; }

protected:
    INT64 NewGate(INT64 g) const override;

private:
    ULONG m_BeatUnit = 0;
    WORD m_Mag = 0;
};

class CArticExpDurAll : public CArticExpDur {
    VX_DECLARE_CLASS(CArticExpDurAll)
public:
    CArticExpDurAll() = default;
    CArticExpDurAll(CArticExpBlk* owner, ULONG evntNo, const CArticMeas* meas, const CArticMeas* endMeas,
                    ULONG beatUnit, WORD mag);
    CArticExpDurAll& operator=(const CArticExpDurAll& src);
    virtual const CArticMeas& GetMeas() const { return m_Meas; }
    virtual const CArticMeas& GetEndMeas() const { return m_EndMeas; }
    virtual ULONG GetBeatUnit() const { return m_BeatUnit; }
    virtual WORD GetMag() const { return m_Mag; }
    virtual void SetMeas(ULONG meas, ULONG beat, ULONG tick) { m_Meas.Set(meas, beat, tick); }
    virtual void SetEndMeas(ULONG meas, ULONG beat, ULONG tick) { m_EndMeas.Set(meas, beat, tick); }
    virtual void SetBeatUnit(ULONG unit) { m_BeatUnit = unit; }
    virtual void SetMag(WORD mag) { m_Mag = mag; }

    // Phase 1: every note-on of middle work block 0 in the span.
    int ConvToWrk() override;

protected:
    INT64 NewGate(INT64 g) const override;

private:
    CArticMeas m_Meas;
    CArticMeas m_EndMeas;
    ULONG m_BeatUnit = 0;
    WORD m_Mag = 0;
};

class CArticExpKeySft : public CArticExpKey {
    VX_DECLARE_CLASS(CArticExpKeySft)
public:
    CArticExpKeySft() = default;
    CArticExpKeySft(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, signed char shift);
    CArticExpKeySft& operator=(const CArticExpKeySft& src);
    virtual signed char GetShift() const { return m_Shift; }
    virtual void SetShift(signed char shift) { m_Shift = shift; }

    // Phase 1: transposes the listed note-ons; another listed event is reported.
    int ConvToWrk() override;
    // Store key as the head (tail) key of every record along the event's
    // reference chain: 0; 1 without work data, event or record.
    virtual int SetKeyHead(CArticWrk* wrk, CArticWrkEvnt* note, BYTE key);
    virtual int SetKeyTail(CArticWrk* wrk, CArticWrkEvnt* note, BYTE key);

private:
    signed char m_Shift = 0;
};
