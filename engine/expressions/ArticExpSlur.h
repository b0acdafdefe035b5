#pragma once
// Slurs and ties: listed notes joined into one sounding note (the changes of
// key of a slur played as pitch-bend steps), and legato by duration.
#include "engine/expressions/ArticExpBase.h"
#include "engine/expressions/ArticExpJoin.h"

class CArticWrkBlk;

class CArticExpArraySlur : public CArticExpArray {
    VX_DECLARE_CLASS(CArticExpArraySlur)
public:
    CArticExpArraySlur() = default;
    CArticExpArraySlur(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes = nullptr, BYTE type = 0);
    CArticExpArraySlur& operator=(const CArticExpArraySlur& src);

    virtual BYTE GetType() const { return m_Type; }
    virtual void SetType(BYTE type) { m_Type = type; }
    // 1 when at least two notes all lie in the first (Type1: the last) note's block.
    virtual int IsSameWrkBlkType0() const;
    virtual int IsSameWrkBlkType1() const;
    // The block of the first listed note the middle work data holds; none
    // with fewer than two notes.
    virtual CArticWrkBlk* GetFirstNoteWrkBlk() const;

private:
    BYTE m_Type = 0;
};

// The joining slur and the tie: phase 1-2 joins, phase 2 removes the joined notes.
class CArticExpArraySlurJoin : public CArticExpArraySlur {
    VX_DECLARE_CLASS(CArticExpArraySlurJoin)
public:
    CArticExpArraySlurJoin() = default;
    CArticExpArraySlurJoin(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type)
        : CArticExpArraySlur(owner, evntNo, notes, type) {}
    CArticExpArraySlurJoin& operator=(const CArticExpArraySlurJoin& src);

    int ConvToWrk2() override;
    CArticExpJoin& Join() { return m_Join; }

protected:
    // The kept note is the first (Type bit 0 clear) or the last.
    bool KeepLast() const { return (GetType() & 1) != 0; }
    // The pair walk over the notes of the first note's block.
    int Walk(bool keepLast);
    // One pair (EvntList2) joined.
    virtual int Twin(CArticWrk* wrk, CArticWrkBlk* blk, bool keepLast) = 0;

    CArticExpJoin m_Join;
};

class CArticExpArraySlurPb : public CArticExpArraySlurJoin {
    VX_DECLARE_CLASS(CArticExpArraySlurPb)
public:
    CArticExpArraySlurPb() = default;
    CArticExpArraySlurPb(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type)
        : CArticExpArraySlurJoin(owner, evntNo, notes, type) {}
    CArticExpArraySlurPb& operator=(const CArticExpArraySlurPb& src);

    int ConvToWrkCombine() override;
    virtual int CreWrkPitchType0() { return Walk(false); }
    virtual int CreWrkPitchType1() { return Walk(true); }

protected:
    int Twin(CArticWrk* wrk, CArticWrkBlk* blk, bool keepLast) override;
};

class CArticExpArrayTie : public CArticExpArraySlurJoin {
    VX_DECLARE_CLASS(CArticExpArrayTie)
public:
    CArticExpArrayTie() = default;
    CArticExpArrayTie(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type)
        : CArticExpArraySlurJoin(owner, evntNo, notes, type) {}
    CArticExpArrayTie& operator=(const CArticExpArrayTie& src);

    int ConvToWrkCombine() override;

protected:
    int Twin(CArticWrk* wrk, CArticWrkBlk* blk, bool keepLast) override;
};

class CArticExpArraySlurDur : public CArticExpArraySlur {
    VX_DECLARE_CLASS(CArticExpArraySlurDur)
public:
    CArticExpArraySlurDur() = default;
    CArticExpArraySlurDur(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, LONG gap)
        : CArticExpArraySlur(owner, evntNo, notes, type), m_Gap(gap) {}
    CArticExpArraySlurDur& operator=(const CArticExpArraySlurDur& src);
    virtual LONG GetGap() const { return m_Gap; }
    virtual void SetGap(LONG gap) { m_Gap = gap; }

    int ConvToWrk() override;
    // Each listed note lasts up to the next one, less Gap: 0; 1 at the first
    // pair that does not allow it (earlier pairs keep their gates).
    virtual int CreWrkSlurDur();

private:
    LONG m_Gap = 0;
};
