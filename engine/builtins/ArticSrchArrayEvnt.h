#pragma once
// The rule program's event array, one position at a time: reading the note
// at an index, storing a note at an index or after the last note.
#include "engine/builtins/ArticSrchShape.h"

// GetArrayEvnt(idx, &ev): the note at index idx, or no event.
class CArticSrchGetArrayEvnt : public ArticSrchArgsIO {
    VX_DECLARE_CLASS(CArticSrchGetArrayEvnt)
public:
    using ArticSrchArgsIO::ArticSrchArgsIO;
    int Search() override;
};

// PutArrayEvnt(idx, ev): stores ev at index idx; a negative idx appends it
// after the last note.
class CArticSrchPutArrayEvnt : public ArticSrchArgsII {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvnt)
public:
    using ArticSrchArgsII::ArticSrchArgsII;
    int Search() override;

protected:
    // Stores note at idx (or after the last note): 0, or 1 without a rule
    // program or when the program refuses the index.
    int PutAt(double idx, CArticWrkEvnt* note);
};

// PutArrayEvntType(sw, idx, ev): as PutArrayEvnt when sw is not 0.
class CArticSrchPutArrayEvntType : public ArticSrchWithI3<CArticSrchPutArrayEvnt> {
    VX_DECLARE_CLASS(CArticSrchPutArrayEvntType)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};
