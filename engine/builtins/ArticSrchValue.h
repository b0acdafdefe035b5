#pragma once
// Value comparisons, the clamp, the hexadecimal text and the conversions
// between tick times and bar/beat/tick positions.
#include "engine/builtins/ArticSrchShape.h"

// Lim(x, lo, hi, &out): x clamped to lo..hi; x itself when hi < lo.
class CArticSrchLim : public ArticSrchWithI3<ArticSrchArgsIIO> {
    VX_DECLARE_CLASS(CArticSrchLim)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};

// ValCmp(a, b, tol, &out): 1.0 when a lies within b +- abs(tol).
class CArticSrchValCmp : public ArticSrchWithI3<CArticSrchVal> {
    VX_DECLARE_CLASS(CArticSrchValCmp)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};

// ValMore(a, b, &out): 1.0 when a > b.
class CArticSrchValMore : public CArticSrchVal {
    VX_DECLARE_CLASS(CArticSrchValMore)
public:
    using CArticSrchVal::CArticSrchVal;
    int Search() override;
};

// ValLess(a, b, &out): 1.0 when a < b.
class CArticSrchValLess : public CArticSrchVal {
    VX_DECLARE_CLASS(CArticSrchValLess)
public:
    using CArticSrchVal::CArticSrchVal;
    int Search() override;
};

// ValToHexStr(v, bytes, &text): v in lower-case hexadecimal, 2 x bytes digits.
class CArticSrchValToHexStr : public CArticSrchVal {
    VX_DECLARE_CLASS(CArticSrchValToHexStr)
public:
    using CArticSrchVal::CArticSrchVal;
    int Search() override;
};

// MeasToMeas / MeasToBeat / MeasToTick(t, &out): one part of a "bar/beat/tick" text.
class CArticSrchMeasToMeas : public CArticSrchMeas {
    VX_DECLARE_CLASS(CArticSrchMeasToMeas)
public:
    using CArticSrchMeas::CArticSrchMeas;
    int Search() override;
};

class CArticSrchMeasToBeat : public CArticSrchMeas {
    VX_DECLARE_CLASS(CArticSrchMeasToBeat)
public:
    using CArticSrchMeas::CArticSrchMeas;
    int Search() override;
};

class CArticSrchMeasToTick : public CArticSrchMeas {
    VX_DECLARE_CLASS(CArticSrchMeasToTick)
public:
    using CArticSrchMeas::CArticSrchMeas;
    int Search() override;
};

// TimeToMeas(time, &text): the "bar/beat/tick" text of a tick time.
class CArticSrchTimeToMeas : public ArticSrchArgsIO {
    VX_DECLARE_CLASS(CArticSrchTimeToMeas)
public:
    using ArticSrchArgsIO::ArticSrchArgsIO;
    int Search() override;
    // The position of a time in the set's work data: its result; 1 without set or work data.
    virtual int GetMeas(INT64 time, ULONG* meas, ULONG* beat, ULONG* tick);
};

// TimeFromMeas(ev, &out): ticks from the start of the note's bar.
class CArticSrchTimeFromMeas : public CArticSrchTimeToMeas {
    VX_DECLARE_CLASS(CArticSrchTimeFromMeas)
public:
    using CArticSrchTimeToMeas::CArticSrchTimeToMeas;
    int Search() override;
    // The time of a position in the set's work data: its result; 1 without set or work data.
    virtual int GetTime(ULONG meas, ULONG beat, ULONG tick, INT64* time);
};
