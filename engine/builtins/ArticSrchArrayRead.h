#pragma once
// Reading the rule program's event array as a whole: searching it, copying
// its notes into an array variable, the processing range of the program,
// and running totals over a note-information slot.
#include <vector>

#include "engine/builtins/ArticSrchArrayEvnt.h"

// The running-total built-ins: one input of their own; does nothing itself.
class CArticSrchAddArrayEvnt : public ArticSrchArgsI {
    VX_DECLARE_CLASS(CArticSrchAddArrayEvnt)
public:
    using ArticSrchArgsI::ArticSrchArgsI;
    int Search() override { return 0; }
};

// AddArrayEvntNoteInfo(idx, v): each note's slot idx := v + the slots of
// itself and of every earlier note of the array (a prefix sum), each store
// saturated to the 32-bit range.
class CArticSrchAddArrayEvntNoteInfo : public ArticSrchWithI2<CArticSrchAddArrayEvnt> {
    VX_DECLARE_CLASS(CArticSrchAddArrayEvntNoteInfo)
public:
    using ArticSrchWithI2::ArticSrchWithI2;
    int Search() override;
};

// GetArrayEvntType(kind, value, &ev): the first note matching value by kind
// 0/1 key (forward/backward), 2/3 on-time, 4/5 string.
class CArticSrchGetArrayEvntType : public ArticSrchWithI2<CArticSrchGetArrayEvnt> {
    VX_DECLARE_CLASS(CArticSrchGetArrayEvntType)
public:
    using ArticSrchWithI2::ArticSrchWithI2;
    int Search() override;
};

// GetArrayEvntAry(&ary, &n): ary := the notes of the array in index order.
class CArticSrchGetArrayEvntAry : public ArticSrchArgsOO {
    VX_DECLARE_CLASS(CArticSrchGetArrayEvntAry)
public:
    using ArticSrchArgsOO::ArticSrchArgsOO;
    int Search() override;

protected:
    // Runs the common steps with the notes chosen by Pick from the array's
    // notes (ev is the built-in's note input, when it has one).
    int Run(CArticWrkEvnt* ev, bool evOk);
    virtual std::vector<CArticWrkEvnt*> Pick(const std::vector<CArticWrkEvnt*>& notes, CArticWrkEvnt* ev);
};

// GetDupArrayEvnt(&ary, &n): every note standing more than once, once each,
// in order of first occurrence.
class CArticSrchGetDupArrayEvnt : public CArticSrchGetArrayEvntAry {
    VX_DECLARE_CLASS(CArticSrchGetDupArrayEvnt)
public:
    using CArticSrchGetArrayEvntAry::CArticSrchGetArrayEvntAry;

protected:
    std::vector<CArticWrkEvnt*> Pick(const std::vector<CArticWrkEvnt*>& notes, CArticWrkEvnt* ev) override;
};

// GetHarmoArrayEvntAry(ev, &ary, &n): the notes sounding at ev's on-time
// (on <= t < on + gate).
class CArticSrchGetHarmoArrayEvntAry : public ArticSrchWithI1<CArticSrchGetArrayEvntAry> {
    VX_DECLARE_CLASS(CArticSrchGetHarmoArrayEvntAry)
public:
    using ArticSrchWithI1::ArticSrchWithI1;
    int Search() override;

protected:
    std::vector<CArticWrkEvnt*> Pick(const std::vector<CArticWrkEvnt*>& notes, CArticWrkEvnt* ev) override;
};

// ProcArea(&start, &end): the start and end ticks of the program's time section.
class CArticSrchProcArea : public CArticSrchGetArrayEvntAry {
    VX_DECLARE_CLASS(CArticSrchProcArea)
public:
    using CArticSrchGetArrayEvntAry::CArticSrchGetArrayEvntAry;
    int Search() override;
};
