#pragma once
// Turns and trills: the first listed note replaced by an ornament of new
// notes made in middle work block 0 (phase 1), the source note removed in
// phase 2 when phase 1 made the ornament.
#include <vector>

#include "engine/expressions/ArticExpBase.h"

class CArticWrkEvnt;

// One note of an ornament: its role (the main key, the upper or the lower
// neighbour) and its length.
struct ArticOrnamentStep {
    enum Role : char { kMain, kUp, kDown } role;
    INT64 length;
};

class CArticExpArrayTurn : public CArticExpArray {
    VX_DECLARE_CLASS(CArticExpArrayTurn)
public:
    CArticExpArrayTurn() = default;
    CArticExpArrayTurn(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                       signed char upNote, signed char downNote, signed char temp, signed char upShift,
                       signed char downShift);
    CArticExpArrayTurn& operator=(const CArticExpArrayTurn& src);

    virtual BYTE GetType() const { return m_Type; }
    virtual signed char GetUpNote() const { return m_UpNote; }
    virtual signed char GetDownNote() const { return m_DownNote; }
    virtual signed char GetTemp() const { return m_Temp; }
    virtual signed char GetUpShift() const { return m_UpShift; }
    virtual signed char GetDownShift() const { return m_DownShift; }
    virtual void SetType(BYTE v) { m_Type = v; }
    virtual void SetUpNote(signed char v) { m_UpNote = v; }
    virtual void SetDownNote(signed char v) { m_DownNote = v; }
    virtual void SetTemp(signed char v) { m_Temp = v; }
    virtual void SetUpShift(signed char v) { m_UpShift = v; }
    virtual void SetDownShift(signed char v) { m_DownShift = v; }

    // The note's time, gate, key and velocity: 0; 1 when it is not a note.
    virtual int CreWrkEvntInfo(CArticWrkEvnt* note, INT64* time, INT64* gate, BYTE* key, BYTE* velo) const;
    // Phase 2: removes the source note unless phase 1 failed.
    int ConvToWrk2() override;
    // Phase 1: the turn pattern Type of the class's group.
    int ConvToWrk() override;
    // The pattern of that number: 0; the failure; 1 for a pattern the class lacks.
    virtual int CreWrkTurnType(BYTE type, CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvnt* note);

protected:
    // The notes of pattern type over a gate; false when the class has no such pattern.
    virtual bool Pattern(BYTE type, INT64 gate, std::vector<ArticOrnamentStep>* steps) const = 0;
    // The neighbours of key at time t: 0 or the lookup's failure.
    virtual int Neighbours(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key, BYTE* up, BYTE* down) const;

private:
    BYTE m_Type = 0;
    signed char m_UpNote = 0;
    signed char m_DownNote = 0;
    signed char m_Temp = 0;
    signed char m_UpShift = 0;
    signed char m_DownShift = 0;
};

// Turns whose neighbours are semitone distances (UpNote, DownNote).
#define VX_SEMITONE_TURN(cls)                                                                                     \
    class cls : public CArticExpArrayTurn {                                                                       \
        VX_DECLARE_CLASS(cls)                                                                                     \
    public:                                                                                                       \
        cls() = default;                                                                                          \
        cls(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, signed char upNote,     \
            signed char downNote)                                                                                 \
            : CArticExpArrayTurn(owner, evntNo, notes, type, upNote, downNote, 0, 0, 0) {}                        \
        cls& operator=(const cls& src) {                                                                          \
            CArticExpArrayTurn::operator=(src);                                                                   \
            return *this;                                                                                         \
        }                                                                                                         \
                                                                                                                  \
    protected:                                                                                                    \
        bool Pattern(BYTE type, INT64 gate, std::vector<ArticOrnamentStep>* steps) const override; \
    };

// Turns whose neighbours are the diatonic ones of the key in force.
#define VX_DIATONIC_TURN(cls)                                                                                     \
    class cls : public CArticExpArrayTurn {                                                                       \
        VX_DECLARE_CLASS(cls)                                                                                     \
    public:                                                                                                       \
        cls() = default;                                                                                          \
        cls(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, signed char temp,       \
            signed char upShift, signed char downShift)                                                           \
            : CArticExpArrayTurn(owner, evntNo, notes, type, 1, 1, temp, upShift, downShift) {}                   \
        cls& operator=(const cls& src) {                                                                          \
            CArticExpArrayTurn::operator=(src);                                                                   \
            return *this;                                                                                         \
        }                                                                                                         \
                                                                                                                  \
    protected:                                                                                                    \
        bool Pattern(BYTE type, INT64 gate, std::vector<ArticOrnamentStep>* steps) const override; \
        int Neighbours(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key, BYTE* up, BYTE* down) const override; \
    };

VX_SEMITONE_TURN(CArticExpArrayTurn1)
VX_SEMITONE_TURN(CArticExpArrayTurn2)
VX_SEMITONE_TURN(CArticExpArrayTurn3)
VX_DIATONIC_TURN(CArticExpArrayTurn4)
VX_DIATONIC_TURN(CArticExpArrayTurn5)
VX_DIATONIC_TURN(CArticExpArrayTurn6)

#undef VX_SEMITONE_TURN
#undef VX_DIATONIC_TURN

class CArticExpArrayTrill : public CArticExpArray {
    VX_DECLARE_CLASS(CArticExpArrayTrill)
public:
    CArticExpArrayTrill() = default;
    CArticExpArrayTrill(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, ULONG trillTime,
                        signed char trillNote, signed char downNote, BYTE front, ULONG frontTime, BYTE back,
                        ULONG backTime);
    CArticExpArrayTrill& operator=(const CArticExpArrayTrill& src);

    virtual ULONG GetTrillTime() const { return m_TrillTime; }
    virtual signed char GetTrillNote() const { return m_TrillNote; }
    virtual signed char GetDownNote() const { return m_DownNote; }
    virtual BYTE GetFront() const { return m_Front; }
    virtual ULONG GetFrontTime() const { return m_FrontTime; }
    virtual BYTE GetBack() const { return m_Back; }
    virtual ULONG GetBackTime() const { return m_BackTime; }
    virtual void SetTrillTime(ULONG v) { m_TrillTime = v; }
    virtual void SetTrillNote(signed char v) { m_TrillNote = v; }
    virtual void SetDownNote(signed char v) { m_DownNote = v; }
    virtual void SetFront(BYTE v) { m_Front = v; }
    virtual void SetFrontTime(ULONG v) { m_FrontTime = v; }
    virtual void SetBack(BYTE v) { m_Back = v; }
    virtual void SetBackTime(ULONG v) { m_BackTime = v; }

    // The note's time, gate, key and velocity: 0; 1 when it is not a note.
    virtual int CreWrkEvntInfo(CArticWrkEvnt* note, INT64* time, INT64* gate, BYTE* key, BYTE* velo) const;
    // Phase 2: removes the source note unless phase 1 failed.
    int ConvToWrk2() override;
    // Phase 1: front notes, the trill and back notes over the first note.
    int ConvToWrk() override;
    // Alternating notes over [start, end) starting on key.
    virtual int CreWrkOnlyTrill(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, BYTE key, BYTE velo);
    virtual int CreWrkTrillFrontBack(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvnt* note, BYTE front, BYTE back);

protected:
    // The neighbours of key at time t: 0 or the lookup's failure.
    virtual int Neighbours(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key, BYTE* up, BYTE* down) const;
    // The key of the single front note (pattern 1).
    virtual int FrontKey(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key, BYTE* out) const;
    // The trill's interval from key at time t.
    virtual int TrillShift(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key, signed char* shift) const;

private:
    ULONG m_TrillTime = 0;
    signed char m_TrillNote = 0;
    signed char m_DownNote = 0;
    BYTE m_Front = 0;
    ULONG m_FrontTime = 0;
    BYTE m_Back = 0;
    ULONG m_BackTime = 0;
};

class CArticExpArrayTrill1 : public CArticExpArrayTrill {
    VX_DECLARE_CLASS(CArticExpArrayTrill1)
public:
    CArticExpArrayTrill1() = default;
    CArticExpArrayTrill1(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, ULONG trillTime,
                         signed char trillNote, signed char downNote, BYTE front, ULONG frontTime, BYTE back,
                         ULONG backTime)
        : CArticExpArrayTrill(owner, evntNo, notes, trillTime, trillNote, downNote, front, frontTime, back, backTime) {}
    CArticExpArrayTrill1& operator=(const CArticExpArrayTrill1& src) {
        CArticExpArrayTrill::operator=(src);
        return *this;
    }
};

class CArticExpArrayTrill2 : public CArticExpArrayTrill {
    VX_DECLARE_CLASS(CArticExpArrayTrill2)
public:
    CArticExpArrayTrill2() = default;
    CArticExpArrayTrill2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, ULONG trillTime,
                         signed char temp, signed char upShift, signed char downShift, BYTE front, ULONG frontTime,
                         BYTE back, ULONG backTime);
    CArticExpArrayTrill2& operator=(const CArticExpArrayTrill2& src);
    virtual signed char GetTemp() const { return m_Temp; }
    virtual signed char GetUpShift() const { return m_UpShift; }
    virtual signed char GetDownShift() const { return m_DownShift; }
    virtual void SetTemp(signed char v) { m_Temp = v; }
    virtual void SetUpShift(signed char v) { m_UpShift = v; }
    virtual void SetDownShift(signed char v) { m_DownShift = v; }

protected:
    int Neighbours(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key, BYTE* up, BYTE* down) const override;
    int FrontKey(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key, BYTE* out) const override;
    int TrillShift(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t, BYTE key, signed char* shift) const override;

private:
    signed char m_Temp = 0;
    signed char m_UpShift = 0;
    signed char m_DownShift = 0;
};
