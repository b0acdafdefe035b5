#pragma once
// Arithmetic and selectors: bits, powers, random values, whole and
// fractional parts, remainders, the selections between two values or two
// notes, and the copy of a value.
#include "engine/builtins/ArticSrchShape.h"

// Pow(x, y, &out): x to the power y. Stores (x, out, y).
class CArticSrchPow : public ArticSrchWithI2<CArticSrchCalc> {
    VX_DECLARE_CLASS(CArticSrchPow)
public:
    using ArticSrchWithI2::ArticSrchWithI2;
    int Search() override;
};

// GetBit(v, bit, &out): 1.0 when bit 0..31 of v is set.
class CArticSrchGetBit : public CArticSrchPow {
    VX_DECLARE_CLASS(CArticSrchGetBit)
public:
    using CArticSrchPow::CArticSrchPow;
    int Search() override;
};

// PutBit(v, bit, on, &out): v with bit 0..31 set (on not 0) or cleared.
class CArticSrchPutBit : public ArticSrchWithI3<CArticSrchPow> {
    VX_DECLARE_CLASS(CArticSrchPutBit)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};

// Rnd(range, &out): a random value from -abs(range) to abs(range).
class CArticSrchRnd : public CArticSrchCalc {
    VX_DECLARE_CLASS(CArticSrchRnd)
public:
    using CArticSrchCalc::CArticSrchCalc;
    int Search() override;
};

// Int(x, &out): x truncated toward zero.
class CArticSrchInt : public CArticSrchCalc {
    VX_DECLARE_CLASS(CArticSrchInt)
public:
    using CArticSrchCalc::CArticSrchCalc;
    int Search() override;
};

// Frac(x, &out): x minus x truncated, with the sign of x.
class CArticSrchFrac : public CArticSrchCalc {
    VX_DECLARE_CLASS(CArticSrchFrac)
public:
    using CArticSrchCalc::CArticSrchCalc;
    int Search() override;
};

// Rem(a, b, &out): the remainder of a by b, both truncated; 0.0 for b 0.
class CArticSrchRem : public ArticSrchWithI2<CArticSrchCalc> {
    VX_DECLARE_CLASS(CArticSrchRem)
public:
    using ArticSrchWithI2::ArticSrchWithI2;
    int Search() override;
};

// SelType(type, a, b, &out): 0 the larger, 1 the smaller, 2 a unless it is
// 0. Stores (type, out, a, b).
class CArticSrchSelType : public ArticSrchWithI3<ArticSrchWithI2<CArticSrchCalc>> {
    VX_DECLARE_CLASS(CArticSrchSelType)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};

// SelSw(sw, a, b, &out): b when sw is not 0, else a.
class CArticSrchSelSw : public CArticSrchSelType {
    VX_DECLARE_CLASS(CArticSrchSelSw)
public:
    using CArticSrchSelType::CArticSrchSelType;
    int Search() override;
};

// SelEvntSw(sw, ev1, ev2, &evOut): ev2 when sw is not 0, else ev1.
class CArticSrchSelEvntSw : public CArticSrchSelType {
    VX_DECLARE_CLASS(CArticSrchSelEvntSw)
public:
    using CArticSrchSelType::CArticSrchSelType;
    int Search() override;
};

// Copy(x, &out): the value of x now.
class CArticSrchCopy : public CArticSrchCalc {
    VX_DECLARE_CLASS(CArticSrchCopy)
public:
    using CArticSrchCalc::CArticSrchCalc;
    int Search() override;
};
