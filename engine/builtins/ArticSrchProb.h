#pragma once
// Probability neighbours: the nearest note before or after a start note that
// a given rule set rated above 0, in the start note's block on its string or
// (Wrk) in event-number order over the selected tracks. The plain variants
// start from the current note, the 2-variants from a note operand.
#include "engine/builtins/ArticSrchShape.h"

class ArticSrchCall;

// (set number, &evOut, &found): stores (set, evOut, found). Not callable from
// a script; its members give the search.
class CArticSrchProb : public ArticSrchWithO2<CArticSrchIs> {
    VX_DECLARE_CLASS(CArticSrchProb)
public:
    using ArticSrchWithO2::ArticSrchWithO2;
    int Search() override { return 0; }

protected:
    // The search of the members: reads the set number and the start note,
    // steps to the nearest rated note and writes it and the found flag.
    int SearchProb();
    // The nearest rated note from start for set number setNo, or null.
    virtual CArticWrkEvnt* Step(CArticWrkEvnt* start, int setNo);
    // The note to start from: the current note; null with a failure.
    virtual CArticWrkEvnt* Start(ArticSrchCall& call);
};

// (set number, start note, &evOut, &found): stores (set, evOut, found, note).
class CArticSrchProb2 : public CArticSrchProb {
    VX_DECLARE_CLASS(CArticSrchProb2)
public:
    CArticSrchProb2(CArticRulSet* set, ULONG no, CArticRulElm* i1, CArticRulElm* i2, CArticRulElm* o1,
                    CArticRulElm* o2);
    ~CArticSrchProb2() override;
    void GetInRulElmList(CArticRulElmList* list) override;
    VX_SRCH_ARG(I2)

protected:
    // The note operand, read without restoring the current note's error flag.
    CArticWrkEvnt* Start(ArticSrchCall& call) override;
};

#define VX_SRCH_PROB(Cls, Base)                                         \
    class Cls : public Base {                                           \
        VX_DECLARE_CLASS(Cls)                                           \
    public:                                                             \
        using Base::Base;                                               \
        int Search() override { return SearchProb(); }                  \
                                                                        \
    protected:                                                          \
        CArticWrkEvnt* Step(CArticWrkEvnt* start, int setNo) override;  \
    };

VX_SRCH_PROB(CArticSrchProbPre, CArticSrchProb)
VX_SRCH_PROB(CArticSrchProbNext, CArticSrchProb)
VX_SRCH_PROB(CArticSrchProbWrkPre, CArticSrchProb)
VX_SRCH_PROB(CArticSrchProbWrkNext, CArticSrchProb)
VX_SRCH_PROB(CArticSrchProbPre2, CArticSrchProb2)
VX_SRCH_PROB(CArticSrchProbNext2, CArticSrchProb2)
VX_SRCH_PROB(CArticSrchProbWrkPre2, CArticSrchProb2)
VX_SRCH_PROB(CArticSrchProbWrkNext2, CArticSrchProb2)
#undef VX_SRCH_PROB
