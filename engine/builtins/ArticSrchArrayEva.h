#pragma once
// Judging the notes of the event array as a group: spacing in time or pitch,
// a repeated arpeggio figure, and the range of key, gate time or velocity.
// None of them changes the array.
#include <vector>

#include "engine/builtins/ArticSrchArrayEvnt.h"

// EvaArrayEvntType(kind, x, &out): 1.0 when every pair of time-consecutive
// notes passes kind 0 (gap below x), 1 (onsets closer than x) or 2 (keys
// closer than x).
class CArticSrchEvaArrayEvntType : public ArticSrchWithI2<CArticSrchGetArrayEvnt> {
    VX_DECLARE_CLASS(CArticSrchEvaArrayEvntType)
public:
    using ArticSrchWithI2::ArticSrchWithI2;
    int Search() override;
};

// EvaArrayEvntRng(kind, &out): highest / lowest / average of key (0-2),
// gate time (3-5) or velocity (6-8).
class CArticSrchEvaArrayEvntRng : public CArticSrchGetArrayEvnt {
    VX_DECLARE_CLASS(CArticSrchEvaArrayEvntRng)
public:
    using CArticSrchGetArrayEvnt::CArticSrchGetArrayEvnt;
    int Search() override;

private:
    // The notes of one call; the storage serves the next.
    std::vector<CArticWrkEvnt*> m_Notes;
};

// EvaArrayEvntArp(tol, &out): the smallest group size g of a figure that the
// notes (in array order) repeat, spans within tol ticks, each rising
// (falling) repetition starting again from below (above); 0 when none.
class CArticSrchEvaArrayEvntArp : public CArticSrchGetArrayEvnt {
    VX_DECLARE_CLASS(CArticSrchEvaArrayEvntArp)
public:
    using CArticSrchGetArrayEvnt::CArticSrchGetArrayEvnt;
    int Search() override;

    using Group = std::vector<CArticWrkEvnt*>;
    using GroupList = std::vector<Group>;

    virtual void DeleteRenpuList(GroupList* groups) { groups->clear(); }
    // The note after the first occurrence of note in list; null when none.
    virtual CArticWrkEvnt* GetNextRenpuEvnt(const Group& list, CArticWrkEvnt* note);
    virtual void GetRenpuDir(const Group& group, bool* rising, bool* falling);
    virtual int EvaArpg(const Group& list, ULONG tol);
    virtual int EvaInterval(const Group& list, int g);
    // Cuts list into groups of g notes (n > 3, g dividing n): 1; with reorder
    // the group of smallest span (the first on ties) is moved to the front.
    virtual int GetRenpu(const Group& list, int g, int reorder, GroupList* groups);
    // The span (0 when negative) and the shape codes (1 up, 255 down, 0 level)
    // of a group: 0; 1 for fewer than two notes.
    virtual int GetRenpuInfo(const Group& group, ULONG* span, std::vector<BYTE>* shape);
};
