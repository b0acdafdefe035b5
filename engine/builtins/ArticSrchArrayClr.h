#pragma once
// Emptying the event array or some of its positions, removing duplicates
// or the notes of an array variable, and sorting it.
#include "engine/builtins/ArticSrchArrayEvnt.h"

// ClrArrayEvnt(idx): empties position idx (growing the array to hold it).
class CArticSrchClrArrayEvnt : public ArticSrchArgsI {
    VX_DECLARE_CLASS(CArticSrchClrArrayEvnt)
public:
    using ArticSrchArgsI::ArticSrchArgsI;
    int Search() override;
};

// ClrNumArrayEvnt(mode, count, &left): mode 0 keeps the first count occupied
// positions, mode 1 empties them; left the occupied positions remaining.
class CArticSrchClrNumArrayEvnt : public ArticSrchWithO1<ArticSrchWithI2<CArticSrchClrArrayEvnt>> {
    VX_DECLARE_CLASS(CArticSrchClrNumArrayEvnt)
public:
    using ArticSrchWithO1::ArticSrchWithO1;
    int Search() override;
};

// ClrDupArrayEvnt(&n): drops later occurrences and positions without a note.
class CArticSrchClrDupArrayEvnt : public ArticSrchArgsO {
    VX_DECLARE_CLASS(CArticSrchClrDupArrayEvnt)
public:
    using ArticSrchArgsO::ArticSrchArgsO;
    int Search() override;
};

// ClrExvArrayEvnt(ary, &n): drops the notes ary holds and positions without a note.
class CArticSrchClrExvArrayEvnt : public ArticSrchWithI1<CArticSrchClrDupArrayEvnt> {
    VX_DECLARE_CLASS(CArticSrchClrExvArrayEvnt)
public:
    using ArticSrchWithI1::ArticSrchWithI1;
    int Search() override;
};

// ClrAllArrayEvnt(): empties the array.
class CArticSrchClrAllArrayEvnt : public CArticSrchEvnt {
    VX_DECLARE_CLASS(CArticSrchClrAllArrayEvnt)
public:
    CArticSrchClrAllArrayEvnt(CArticRulSet* set, ULONG no) : CArticSrchEvnt(set, no) {
        SetInNum(0);
        SetOutNum(0);
    }
    int Search() override;
};

// ClrAllArrayEvntType(sw): empties the array when sw is not 0.
class CArticSrchClrAllArrayEvntType : public ArticSrchWithI1<CArticSrchClrAllArrayEvnt> {
    VX_DECLARE_CLASS(CArticSrchClrAllArrayEvntType)
public:
    using ArticSrchWithI1::ArticSrchWithI1;
    int Search() override;
};

// The four fixed sorts (&n): stable, compacting; n the number of notes.
#define VX_SRCH_SORT(cls)                          \
    class cls : public CArticSrchSortArrayEvnt {   \
        VX_DECLARE_CLASS(cls)                      \
    public:                                        \
        using CArticSrchSortArrayEvnt::CArticSrchSortArrayEvnt; \
        int Search() override;                     \
    };
VX_SRCH_SORT(CArticSrchSortArrayEvntFwdKey)
VX_SRCH_SORT(CArticSrchSortArrayEvntRvsKey)
VX_SRCH_SORT(CArticSrchSortArrayEvntFwdTime)
VX_SRCH_SORT(CArticSrchSortArrayEvntRvsTime)
#undef VX_SRCH_SORT

// SortArrayEvntType(kind, &n): kind 0..11 (key, time, number, gate, off-time,
// string; even ascending, odd descending); another kind is reported.
class CArticSrchSortArrayEvntType : public ArticSrchWithI1<CArticSrchSortArrayEvnt> {
    VX_DECLARE_CLASS(CArticSrchSortArrayEvntType)
public:
    using ArticSrchWithI1::ArticSrchWithI1;
    int Search() override;
};

// SortArrayEvntNoteInfoType(kind, idx, &n): by slot idx, kind 0 ascending,
// 1 descending; out-of-range kind or idx fail without a report.
class CArticSrchSortArrayEvntNoteInfoType : public ArticSrchWithI2<CArticSrchSortArrayEvntType> {
    VX_DECLARE_CLASS(CArticSrchSortArrayEvntNoteInfoType)
public:
    using ArticSrchWithI2::ArticSrchWithI2;
    int Search() override;
};
