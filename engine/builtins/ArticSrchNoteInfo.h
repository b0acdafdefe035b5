#pragma once
// The ten note-information slots of a note: reading, writing, single bits
// and comparisons. A slot index outside 0..9 or a bit outside 0..31 fails
// without a report (the switched variants, ending in Type, succeed).
#include "engine/builtins/ArticSrchArrayEvnt.h"
#include "engine/builtins/ArticSrchValue.h"

// GetNoteInfo(ev, idx, &out): slot idx of the note.
class CArticSrchGetNoteInfo : public CArticSrchVelo {
    VX_DECLARE_CLASS(CArticSrchGetNoteInfo)
public:
    using CArticSrchVelo::CArticSrchVelo;
    int Search() override;
};

// GetNoteInfoType(sw, ev, idx, &out): as GetNoteInfo when sw is not 0, else 0.0.
class CArticSrchGetNoteInfoType : public ArticSrchWithI3<CArticSrchGetNoteInfo> {
    VX_DECLARE_CLASS(CArticSrchGetNoteInfoType)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};

// GetNoteInfoBit(ev, idx, bit, &out): 1.0 when the bit of slot idx is set.
class CArticSrchGetNoteInfoBit : public ArticSrchWithI3<CArticSrchGetNoteInfo> {
    VX_DECLARE_CLASS(CArticSrchGetNoteInfoBit)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};

// GetNoteInfoBitType(sw, ev, idx, bit, &out).
class CArticSrchGetNoteInfoBitType : public ArticSrchWithI4<CArticSrchGetNoteInfoBit> {
    VX_DECLARE_CLASS(CArticSrchGetNoteInfoBitType)
public:
    using ArticSrchWithI4::ArticSrchWithI4;
    int Search() override;
};

// PutNoteInfo(ev, idx, v): slot idx := v truncated, clamped to 32 bits.
class CArticSrchPutNoteInfo : public ArticSrchWithI3<CArticSrchPutArrayEvnt> {
    VX_DECLARE_CLASS(CArticSrchPutNoteInfo)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};

// PutNoteInfoType(sw, ev, idx, v): as PutNoteInfo when sw is not 0.
class CArticSrchPutNoteInfoType : public ArticSrchWithI4<CArticSrchPutNoteInfo> {
    VX_DECLARE_CLASS(CArticSrchPutNoteInfoType)
public:
    using ArticSrchWithI4::ArticSrchWithI4;
    int Search() override;
};

// PutNoteInfoBit(ev, idx, bit, b): sets the bit of slot idx (b not 0) or clears it.
class CArticSrchPutNoteInfoBit : public ArticSrchWithI4<CArticSrchPutNoteInfo> {
    VX_DECLARE_CLASS(CArticSrchPutNoteInfoBit)
public:
    using ArticSrchWithI4::ArticSrchWithI4;
    int Search() override;
};

// PutNoteInfoBitType(sw, ev, idx, bit, b).
class CArticSrchPutNoteInfoBitType : public ArticSrchWithI5<CArticSrchPutNoteInfoBit> {
    VX_DECLARE_CLASS(CArticSrchPutNoteInfoBitType)
public:
    using ArticSrchWithI5::ArticSrchWithI5;
    int Search() override;
};

// NoteInfoValCmp(ev, idx, c, tol, &out): slot idx within c +- abs(tol).
class CArticSrchNoteInfoValCmp : public ArticSrchWithI4<CArticSrchValCmp> {
    VX_DECLARE_CLASS(CArticSrchNoteInfoValCmp)
public:
    using ArticSrchWithI4::ArticSrchWithI4;
    int Search() override;
};

// NoteInfoValMore / NoteInfoValLess(ev, idx, v, &out): slot idx above / below v.
class CArticSrchNoteInfoValMore : public ArticSrchWithI3<CArticSrchValMore> {
    VX_DECLARE_CLASS(CArticSrchNoteInfoValMore)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};

class CArticSrchNoteInfoValLess : public ArticSrchWithI3<CArticSrchValLess> {
    VX_DECLARE_CLASS(CArticSrchNoteInfoValLess)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};
