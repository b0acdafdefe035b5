#pragma once
// Packed NRPN and RPN expressions: a registered or non-registered parameter
// set, or changed by an amount, at a time relative to each listed note.
#include "engine/expressions/ArticExpBase.h"

class CArticExpPack : public CArticExpStres {
    VX_DECLARE_CLASS(CArticExpPack)
public:
    CArticExpPack() = default;
    CArticExpPack(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, BYTE msb, BYTE lsb,
                  BYTE val)
        : CArticExpStres(owner, evntNo, notes), m_Type(type), m_MSB(msb), m_LSB(lsb), m_Val(val) {}
    CArticExpPack& operator=(const CArticExpPack& src);

    virtual BYTE GetType() const { return m_Type; }
    virtual BYTE GetMSB() const { return m_MSB; }
    virtual BYTE GetLSB() const { return m_LSB; }
    virtual BYTE GetVal() const { return m_Val; }
    virtual void SetType(BYTE v) { m_Type = v; }
    virtual void SetMSB(BYTE v) { m_MSB = v; }
    virtual void SetLSB(BYTE v) { m_LSB = v; }
    virtual void SetVal(BYTE v) { m_Val = v; }

protected:
    // The list edit with the packed events of status (0x10 NRPN, 0x20 RPN), reported.
    int RunPacked(BYTE status, LONG time, bool relative, int value);

private:
    BYTE m_Type = 0;
    BYTE m_MSB = 0;
    BYTE m_LSB = 0;
    BYTE m_Val = 0;
};

// Val at note start + Time.
class CArticExpPackNoteCreAbs : public CArticExpPack {
    VX_DECLARE_CLASS(CArticExpPackNoteCreAbs)
public:
    CArticExpPackNoteCreAbs() = default;
    CArticExpPackNoteCreAbs(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, BYTE msb,
                            BYTE lsb, LONG time, BYTE val)
        : CArticExpPack(owner, evntNo, notes, type, msb, lsb, val), m_Time(time) {}
    CArticExpPackNoteCreAbs& operator=(const CArticExpPackNoteCreAbs& src);
    virtual LONG GetTime() const { return m_Time; }
    virtual void SetTime(LONG v) { m_Time = v; }

protected:
    int RunAbs(BYTE status) { return RunPacked(status, m_Time, false, GetVal()); }

private:
    LONG m_Time = 0;
};

// The value in force plus Add at note start + Time.
class CArticExpPackNoteCreRel : public CArticExpPack {
    VX_DECLARE_CLASS(CArticExpPackNoteCreRel)
public:
    CArticExpPackNoteCreRel() = default;
    CArticExpPackNoteCreRel(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, BYTE msb,
                            BYTE lsb, LONG time, signed char add)
        : CArticExpPack(owner, evntNo, notes, type, msb, lsb, 0), m_Time(time), m_Add(add) {}
    CArticExpPackNoteCreRel& operator=(const CArticExpPackNoteCreRel& src);
    virtual LONG GetTime() const { return m_Time; }
    virtual signed char GetAdd() const { return m_Add; }
    virtual void SetTime(LONG v) { m_Time = v; }
    virtual void SetAdd(signed char v) { m_Add = v; }

protected:
    int RunRel(BYTE status) { return RunPacked(status, m_Time, true, m_Add); }

private:
    LONG m_Time = 0;
    signed char m_Add = 0;
};

#define VX_PACK_CLASS(Name, Base)                                            \
    class Name : public Base {                                                       \
        VX_DECLARE_CLASS(Name)                                                       \
    public:                                                                          \
        Name() = default;                                                            \
        using Base::Base;                                                            \
        Name& operator=(const Name& src) {                                           \
            Base::operator=(src);                                                    \
            return *this;                                                            \
        }                                                                            \
        int ConvToWrk() override;                                                    \
    };

// The NRPN (status 0x10) and RPN (0x20) classes of each kind.
VX_PACK_CLASS(CArticExpPackNrpnNoteCreAbs, CArticExpPackNoteCreAbs)
VX_PACK_CLASS(CArticExpPackRpnNoteCreAbs, CArticExpPackNoteCreAbs)
VX_PACK_CLASS(CArticExpPackNrpnNoteCreRel, CArticExpPackNoteCreRel)
VX_PACK_CLASS(CArticExpPackRpnNoteCreRel, CArticExpPackNoteCreRel)
#undef VX_PACK_CLASS
