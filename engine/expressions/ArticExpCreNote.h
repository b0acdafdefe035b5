#pragma once
// Note creation, deletion and the debug carriers: a new note for every
// listed note (on its own block or on a string's track), the removal of the
// listed notes in phase 2, and three classes that only carry a value next to
// a note for the rule run's dump.
#include "engine/expressions/ArticExpBase.h"

class CArticWrkEvnt;

class CArticExpCreNote : public CArticExpCre {
    VX_DECLARE_CLASS(CArticExpCreNote)
public:
    CArticExpCreNote() = default;
    CArticExpCreNote(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, LONG time,
                     ULONG dur, BYTE key, BYTE velo);
    CArticExpCreNote& operator=(const CArticExpCreNote& src);

    virtual LONG GetTime() const { return m_Time; }
    virtual ULONG GetDur() const { return m_Dur; }
    virtual BYTE GetKey() const { return m_Key; }
    virtual BYTE GetVelo() const { return m_Velo; }
    virtual void SetTime(LONG time) { m_Time = time; }
    virtual void SetDur(ULONG dur) { m_Dur = dur; }
    virtual void SetKey(BYTE key) { m_Key = key; }
    virtual void SetVelo(BYTE velo) { m_Velo = velo; }

    // Phase 1: a new note for every listed note.
    int ConvToWrk() override;

protected:
    // Makes the note for one listed event: 0, or the failure.
    virtual int CreWrkNote(CArticWrkEvnt* note);
    // The new note's block, at note's start plus Time (0 at the earliest).
    int CreWrkNoteIn(CArticWrkEvnt* note, CArticWrkBlk* blk);
    // The listed event's block when the data the phases edit still holds it.
    CArticWrkBlk* LiveBlk(CArticWrkEvnt* note) const;

private:
    LONG m_Time = 0;
    ULONG m_Dur = 0;
    BYTE m_Key = 0;
    BYTE m_Velo = 0;
};

class CArticExpCreNote2 : public CArticExpCreNote {
    VX_DECLARE_CLASS(CArticExpCreNote2)
public:
    CArticExpCreNote2() = default;
    CArticExpCreNote2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, LONG time,
                      ULONG dur, BYTE key, BYTE velo, BYTE gen);
    CArticExpCreNote2& operator=(const CArticExpCreNote2& src);

    virtual BYTE GetGen() const { return m_Gen; }
    virtual void SetGen(BYTE gen) { m_Gen = gen; }

protected:
    // In the first block of string Gen's track (the last track when there
    // are fewer).
    int CreWrkNote(CArticWrkEvnt* note) override;

private:
    BYTE m_Gen = 0;
};

class CArticExpDel : public CArticExpArray {
    VX_DECLARE_CLASS(CArticExpDel)
public:
    CArticExpDel() = default;
    CArticExpDel(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes);
    CArticExpDel& operator=(const CArticExpDel& src);

    // The block of the first listed note the middle work data still holds.
    virtual CArticWrkBlk* GetFirstNoteWrkBlk() const;
    // Phase 2: removes the listed notes (none after a failed earlier phase).
    int ConvToWrk2() override;

protected:
    // Removes every listed event wrk still holds: 0 when one was removed.
    virtual int DelWrkNoteType(CArticWrk* wrk);
};

class CArticExpDebug_i : public CArticExpDebug {
    VX_DECLARE_CLASS(CArticExpDebug_i)
public:
    CArticExpDebug_i() = default;
    CArticExpDebug_i(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, LONG value);
    CArticExpDebug_i& operator=(const CArticExpDebug_i& src);

    virtual LONG GetValue() const { return m_Value; }
    virtual void SetValue(LONG value) { m_Value = value; }

private:
    LONG m_Value = 0;
};

class CArticExpDebug_i2 : public CArticExpDebug {
    VX_DECLARE_CLASS(CArticExpDebug_i2)
public:
    CArticExpDebug_i2() = default;
    // A null info gives an empty Info.
    CArticExpDebug_i2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* info,
                      LONG value);
    CArticExpDebug_i2& operator=(const CArticExpDebug_i2& src);

    virtual LONG GetValue() const { return m_Value; }
    virtual CString GetInfo() const { return m_Info; }
    virtual void SetValue(LONG value) { m_Value = value; }
    virtual void SetInfo(const CString& info) { m_Info = info; }
    virtual void SetInfo(const char* info) { m_Info = info ? info : ""; }

private:
    CString m_Info;
    LONG m_Value = 0;
};

class CArticExpDebug_d : public CArticExpDebug {
    VX_DECLARE_CLASS(CArticExpDebug_d)
public:
    CArticExpDebug_d() = default;
    CArticExpDebug_d(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, double value);
    CArticExpDebug_d& operator=(const CArticExpDebug_d& src);

    virtual double GetValue() const { return m_Value; }
    virtual void SetValue(double value) { m_Value = value; }

private:
    double m_Value = 0.0;
};
