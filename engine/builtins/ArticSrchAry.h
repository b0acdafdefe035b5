#pragma once
// Array variables (_aryN) as sets of notes: comparing two, choosing one, and
// their intersection and difference. Notes compare by identity.
#include "engine/builtins/ArticSrchShape.h"

// CmpAry(A, B, &out): 1.0 when A and B hold the same notes, at least one.
class CArticSrchCmpAry : public CArticSrchVelo {
    VX_DECLARE_CLASS(CArticSrchCmpAry)
public:
    using CArticSrchVelo::CArticSrchVelo;
    int Search() override;
    // 1 when a holds at least one note, both hold as many and every note of
    // a is in b; else 0 (also for a missing list).
    virtual int CompareWrkEvntList(CArticWrkEvntList* a, CArticWrkEvntList* b);
    // list := the distinct notes of ary in order of first occurrence: 0; 1
    // for a missing array or list.
    virtual int MakeWrkEvntList(CArticRulDataAry* ary, CArticWrkEvntList* list);
};

// GetDupAry(A, B, &aryOut, &n): the distinct notes of A that B holds, in A's
// order. Both inputs are read before the output is emptied, so the output
// may be one of them.
class CArticSrchGetDupAry : public ArticSrchWithO2<CArticSrchCmpAry> {
    VX_DECLARE_CLASS(CArticSrchGetDupAry)
public:
    using ArticSrchWithO2::ArticSrchWithO2;
    int Search() override;
    // out := the notes of a that b holds, in a's order: 0; 1 for a missing list.
    virtual int DuplicateWrkEvntList(CArticWrkEvntList* a, CArticWrkEvntList* b, CArticWrkEvntList* out);

protected:
    // The two lists the result is made from.
    virtual void Operands(CArticRulDataAry* a, CArticRulDataAry* b, CArticWrkEvntList* la, CArticWrkEvntList* lb);
    virtual void Combine(CArticWrkEvntList* a, CArticWrkEvntList* b, CArticWrkEvntList* out);
};

// GetExvAry(A, B, &aryOut, &n): the notes of A that B does not hold, in A's
// order, A's repeats kept.
class CArticSrchGetExvAry : public CArticSrchGetDupAry {
    VX_DECLARE_CLASS(CArticSrchGetExvAry)
public:
    using CArticSrchGetDupAry::CArticSrchGetDupAry;
    // out := the notes of a that b does not hold, in a's order: 0; 1 for a missing list.
    virtual int ExclusiveWrkEvntList(CArticWrkEvntList* a, CArticWrkEvntList* b, CArticWrkEvntList* out);

protected:
    void Operands(CArticRulDataAry* a, CArticRulDataAry* b, CArticWrkEvntList* la, CArticWrkEvntList* lb) override;
    void Combine(CArticWrkEvntList* a, CArticWrkEvntList* b, CArticWrkEvntList* out) override;
};

// SelAry(sw, A, B, &aryOut): aryOut := a copy of B when sw is not 0, else of A.
class CArticSrchSelAry : public ArticSrchWithI3<ArticSrchArgsIIO> {
    VX_DECLARE_CLASS(CArticSrchSelAry)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};
