#pragma once
// Note context tests: chords, the note after a chord, harmony before and
// after a note, the rest before it, its neighbours, whether an operand holds
// a note, and the kinds of note activity in a time range. Names with Wrk
// look in event-number order over the selected tracks, the others in the
// note's own block.
#include "engine/builtins/ArticSrchNoteAttr.h"

// IsChord(ev1, ev2, range, &out): 1.0 when the notes overlap by more than range.
class CArticSrchIsChord : public CArticSrchDurCmp {
    VX_DECLARE_CLASS(CArticSrchIsChord)
public:
    using CArticSrchDurCmp::CArticSrchDurCmp;
    int Search() override;
};

#define VX_SRCH_CONTEXT(Cls, Base)  \
    class Cls : public Base {       \
        VX_DECLARE_CLASS(Cls)       \
    public:                         \
        using Base::Base;           \
        int Search() override;      \
    };

// NonChord / WrkNonChord(ev, range, &evOut): the first note starting after
// ev's chord (ev's end less range, not before ev's start).
VX_SRCH_CONTEXT(CArticSrchNonChord, CArticSrchOffTime)
VX_SRCH_CONTEXT(CArticSrchWrkNonChord, CArticSrchOffTime)
// HarmoPre / HarmoNext / HarmoWrkPre / HarmoWrkNext(ev, range, &out): 1.0
// when an earlier (a later) note sounds with ev for more than range ticks.
VX_SRCH_CONTEXT(CArticSrchHarmoPre, CArticSrchOffTime)
VX_SRCH_CONTEXT(CArticSrchHarmoNext, CArticSrchOffTime)
VX_SRCH_CONTEXT(CArticSrchHarmoWrkPre, CArticSrchOffTime)
VX_SRCH_CONTEXT(CArticSrchHarmoWrkNext, CArticSrchOffTime)
// PreRest / WrkPreRest(ev, len, &out): 1.0 when the rest before ev is at least len.
VX_SRCH_CONTEXT(CArticSrchPreRest, CArticSrchDur)
VX_SRCH_CONTEXT(CArticSrchWrkPreRest, CArticSrchDur)
// IsPre / IsNext / IsWrkPre / IsWrkNext(ev, &out): 1.0 when ev has that neighbour.
VX_SRCH_CONTEXT(CArticSrchIsPre, CArticSrchIs)
VX_SRCH_CONTEXT(CArticSrchIsNext, CArticSrchIs)
VX_SRCH_CONTEXT(CArticSrchIsWrkPre, CArticSrchIs)
VX_SRCH_CONTEXT(CArticSrchIsWrkNext, CArticSrchIs)
// IsEvnt(ev, &out): 1.0 when the operand designates a note.
VX_SRCH_CONTEXT(CArticSrchIsEvnt, CArticSrchIs)
// IsSameEvnt(ev1, ev2, &out): 1.0 when both designate the same note.
VX_SRCH_CONTEXT(CArticSrchIsSameEvnt, CArticSrchKey)
// WrkTime(start, end, &out): the flag word (1 a note starts in the range, 2
// one ends in it, 4 one covers it) over the selected tracks.
VX_SRCH_CONTEXT(CArticSrchWrkTime, CArticSrchVal)
#undef VX_SRCH_CONTEXT

// Time(ev, start, end, &out): the flag word over ev's block. Stores (ev, start, out, end).
class CArticSrchTime : public ArticSrchWithI3<CArticSrchVal> {
    VX_DECLARE_CLASS(CArticSrchTime)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};
