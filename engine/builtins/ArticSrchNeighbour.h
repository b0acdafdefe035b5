#pragma once
// First, last and counted neighbours: the first or last note of a block, of
// the selection or of a measure, the n-th neighbour of a note, and the
// first or last note of a key in a window around a note. Names with Wrk use
// event-number order over the selected tracks; the others a note's block.
#include "engine/builtins/ArticSrchCalc.h"
#include "engine/builtins/ArticSrchNoteAttr.h"

// The shapes of the two Wrk...Meas bases and of AreaType.
using ArticSrchWrkMeasArgs = ArticSrchWithI1<CArticSrchWrk>;
using ArticSrchAreaArgs = ArticSrchWithO2<ArticSrchWithI5<CArticSrchDurCont>>;

#define VX_SRCH_NEIGHBOUR(Cls, Base) \
    class Cls : public Base {        \
        VX_DECLARE_CLASS(Cls)        \
    public:                          \
        using Base::Base;            \
        int Search() override;       \
    };

// FirstEvnt / LastEvnt(ev, &evOut): the first / last note of ev's block.
VX_SRCH_NEIGHBOUR(CArticSrchFirstEvnt, CArticSrchIs)
VX_SRCH_NEIGHBOUR(CArticSrchLastEvnt, CArticSrchIs)
// FirstEvntMeas / LastEvntMeas(ev, &evOut): in ev's measure of its block.
VX_SRCH_NEIGHBOUR(CArticSrchFirstEvntMeas, CArticSrchIs)
VX_SRCH_NEIGHBOUR(CArticSrchLastEvntMeas, CArticSrchIs)
// FirstEvntMeas2 / LastEvntMeas2(time, &evOut): in the measure of a time, in
// the current note's block.
VX_SRCH_NEIGHBOUR(CArticSrchFirstEvntMeas2, CArticSrchIs)
VX_SRCH_NEIGHBOUR(CArticSrchLastEvntMeas2, CArticSrchIs)
// FirstEvntMeas3 / LastEvntMeas3(time, offset, &evOut): in the span of the
// time's measure moved back by offset, in the current note's block.
VX_SRCH_NEIGHBOUR(CArticSrchFirstEvntMeas3, CArticSrchPow)
VX_SRCH_NEIGHBOUR(CArticSrchLastEvntMeas3, CArticSrchPow)
// PreNum / NextNum(ev, n, &evOut): the n-th neighbour on ev's string;
// WrkPreNum / WrkNextNum in event-number order.
VX_SRCH_NEIGHBOUR(CArticSrchPreNum, CArticSrchNum)
VX_SRCH_NEIGHBOUR(CArticSrchNextNum, CArticSrchNum)
VX_SRCH_NEIGHBOUR(CArticSrchWrkPreNum, CArticSrchNum)
VX_SRCH_NEIGHBOUR(CArticSrchWrkNextNum, CArticSrchNum)
// WrkFirstEvnt / WrkLastEvnt(&evOut): the first / last note of the selection.
VX_SRCH_NEIGHBOUR(CArticSrchWrkFirstEvnt, CArticSrchWrk)
VX_SRCH_NEIGHBOUR(CArticSrchWrkLastEvnt, CArticSrchWrk)
// WrkFirstEvntMeas / WrkLastEvntMeas(ev, &evOut): in ev's measure over the
// selection. They bind the output first, then ev.
VX_SRCH_NEIGHBOUR(CArticSrchWrkFirstEvntMeas, ArticSrchWrkMeasArgs)
VX_SRCH_NEIGHBOUR(CArticSrchWrkLastEvntMeas, ArticSrchWrkMeasArgs)
// WrkFirstEvntMeas2 / WrkLastEvntMeas2(time, &evOut).
VX_SRCH_NEIGHBOUR(CArticSrchWrkFirstEvntMeas2, CArticSrchWrkFirstEvntMeas)
VX_SRCH_NEIGHBOUR(CArticSrchWrkLastEvntMeas2, CArticSrchWrkLastEvntMeas)
// WrkFirstEvntMeas3 / WrkLastEvntMeas3(time, offset, &evOut).
VX_SRCH_NEIGHBOUR(CArticSrchWrkFirstEvntMeas3, CArticSrchPow)
VX_SRCH_NEIGHBOUR(CArticSrchWrkLastEvntMeas3, CArticSrchPow)
// AreaType(type, ev, from, to, key, &evOut, &found): the first (type 0) or
// last (type 1) note of key, other than ev, starting from ev's start + from
// to ev's start + to, in ev's block. Stores (type, ev, from, to, evOut, key, found).
class CArticSrchAreaType : public ArticSrchAreaArgs {
    VX_DECLARE_CLASS(CArticSrchAreaType)
public:
    using ArticSrchAreaArgs::ArticSrchAreaArgs;
    int Search() override;

protected:
    // The note of key in start..end other than note, the first or the last:
    // 0 (*hit null when none), or 1 when the window cannot be collected.
    virtual int FindInWindow(CArticWrkEvnt* note, INT64 start, INT64 end, BYTE key, bool last, CArticWrkEvnt** hit);
};

// AreaTypeWrk: the same over the selected tracks in event-number order; a
// window ending before its start fails.
class CArticSrchAreaTypeWrk : public CArticSrchAreaType {
    VX_DECLARE_CLASS(CArticSrchAreaTypeWrk)
public:
    using CArticSrchAreaType::CArticSrchAreaType;

protected:
    int FindInWindow(CArticWrkEvnt* note, INT64 start, INT64 end, BYTE key, bool last, CArticWrkEvnt** hit) override;
};
#undef VX_SRCH_NEIGHBOUR
