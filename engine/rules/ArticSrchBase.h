#pragma once
// The abstract intermediate bases of the rule built-ins. Each binds a fixed
// set of argument elements (I1, I2 inputs, O1 output, in script order) and
// does not run by itself; the concrete built-ins derive from them and bind
// their further arguments the same way. Apart from CArticSrchNum (built on
// CArticSrchIs) they are siblings under CArticSrchEvnt; the three shapes of
// arguments are shared through the ArticSrchArgs helpers below.
#include "engine/rules/ArticSrchEvnt.h"

// Shape I1, I2 -> O1.
class ArticSrchArgsIIO : public CArticSrchEvnt {
public:
    ArticSrchArgsIIO(CArticRulSet* set, ULONG no, CArticRulElm* i1, CArticRulElm* i2, CArticRulElm* o1);
    ~ArticSrchArgsIIO() override;
    void GetInRulElmList(CArticRulElmList* list) override;
    void GetOutRulElmList(CArticRulElmList* list) override;
    VX_SRCH_ARG(I1)
    VX_SRCH_ARG(I2)
    VX_SRCH_ARG(O1)
};

// Shape I1 -> O1.
class ArticSrchArgsIO : public CArticSrchEvnt {
public:
    ArticSrchArgsIO(CArticRulSet* set, ULONG no, CArticRulElm* i1, CArticRulElm* o1);
    ~ArticSrchArgsIO() override;
    void GetInRulElmList(CArticRulElmList* list) override;
    void GetOutRulElmList(CArticRulElmList* list) override;
    VX_SRCH_ARG(I1)
    VX_SRCH_ARG(O1)
};

// Shape -> O1.
class ArticSrchArgsO : public CArticSrchEvnt {
public:
    ArticSrchArgsO(CArticRulSet* set, ULONG no, CArticRulElm* o1);
    ~ArticSrchArgsO() override;
    void GetOutRulElmList(CArticRulElmList* list) override;
    VX_SRCH_ARG(O1)
};

#define VX_SRCH_ABSTRACT(cls, shape)     \
    class cls : public shape {           \
        VX_DECLARE_CLASS(cls)            \
    public:                              \
        using shape::shape;              \
    };

VX_SRCH_ABSTRACT(CArticSrchVal, ArticSrchArgsIIO)
VX_SRCH_ABSTRACT(CArticSrchDur, ArticSrchArgsIIO)
VX_SRCH_ABSTRACT(CArticSrchKey, ArticSrchArgsIIO)
VX_SRCH_ABSTRACT(CArticSrchVelo, ArticSrchArgsIIO)
VX_SRCH_ABSTRACT(CArticSrchMeas, ArticSrchArgsIO)
VX_SRCH_ABSTRACT(CArticSrchIs, ArticSrchArgsIO)
VX_SRCH_ABSTRACT(CArticSrchCalc, ArticSrchArgsIO)
VX_SRCH_ABSTRACT(CArticSrchMstr, ArticSrchArgsIO)
VX_SRCH_ABSTRACT(CArticSrchWrk, ArticSrchArgsO)
VX_SRCH_ABSTRACT(CArticSrchSortArrayEvnt, ArticSrchArgsO)
#undef VX_SRCH_ABSTRACT

// I1, I2 -> O1, with the tick time of a bar/beat/tick position.
class CArticSrchOnTime : public ArticSrchArgsIIO {
    VX_DECLARE_CLASS(CArticSrchOnTime)
public:
    using ArticSrchArgsIIO::ArticSrchArgsIIO;
    // The work data's time of the position: its result; 1 without set or work data.
    virtual int GetTime(ULONG meas, ULONG beat, ULONG tick, INT64* time);
};

class CArticSrchOffTime : public ArticSrchArgsIIO {
    VX_DECLARE_CLASS(CArticSrchOffTime)
public:
    using ArticSrchArgsIIO::ArticSrchArgsIIO;
    virtual int GetTime(ULONG meas, ULONG beat, ULONG tick, INT64* time);
};

// A note and a count in, a note out: the count is stored after the output
// but listed in argument order.
class CArticSrchNum : public CArticSrchIs {
    VX_DECLARE_CLASS(CArticSrchNum)
public:
    CArticSrchNum(CArticRulSet* set, ULONG no, CArticRulElm* i1, CArticRulElm* i2, CArticRulElm* o1);
    ~CArticSrchNum() override;
    void GetInRulElmList(CArticRulElmList* list) override;
    VX_SRCH_ARG(I2)
};
