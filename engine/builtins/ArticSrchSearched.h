#pragma once
// Searched flags: marking notes as handled for a rule-set number, so that the
// driver does not run that set on them. A switch below 1 does nothing; the
// This variants use the calling set's own number.
#include "engine/builtins/ArticSrchArrayEvnt.h"

// SetSearched(sw, ev, setNo): the flag on one note.
class CArticSrchSetSearched : public ArticSrchWithI3<CArticSrchPutArrayEvnt> {
    VX_DECLARE_CLASS(CArticSrchSetSearched)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};

// SetSearchedThis(sw, ev).
class CArticSrchSetSearchedThis : public CArticSrchPutArrayEvnt {
    VX_DECLARE_CLASS(CArticSrchSetSearchedThis)
public:
    using CArticSrchPutArrayEvnt::CArticSrchPutArrayEvnt;
    int Search() override;
};

// SetSearchedArea(sw, evA, evB, setNo): every note numbered from the lower to
// the higher of the two notes' event numbers, on any track.
class CArticSrchSetSearchedArea : public ArticSrchWithI4<CArticSrchSetSearched> {
    VX_DECLARE_CLASS(CArticSrchSetSearchedArea)
public:
    using ArticSrchWithI4::ArticSrchWithI4;
    int Search() override;
};

// SetSearchedAreaThis(sw, evA, evB).
class CArticSrchSetSearchedAreaThis : public CArticSrchSetSearched {
    VX_DECLARE_CLASS(CArticSrchSetSearchedAreaThis)
public:
    using CArticSrchSetSearched::CArticSrchSetSearched;
    int Search() override;
};

// SetSearchedAry(sw, setNo, ary): every note of an _ary variable.
class CArticSrchSetSearchedAry : public CArticSrchSetSearched {
    VX_DECLARE_CLASS(CArticSrchSetSearchedAry)
public:
    using CArticSrchSetSearched::CArticSrchSetSearched;
    int Search() override;
};

// SetSearchedAryThis(sw, ary): two arguments; the base's third element stays
// empty and unlisted.
class CArticSrchSetSearchedAryThis : public CArticSrchSetSearched {
    VX_DECLARE_CLASS(CArticSrchSetSearchedAryThis)
public:
    CArticSrchSetSearchedAryThis(CArticRulSet* set, ULONG no, CArticRulElm* i1, CArticRulElm* i2);
    void GetInRulElmList(CArticRulElmList* list) override;
    int Search() override;
};
