#pragma once
// The pitch bend and the controllers around a note: whether there are any
// in a time window, their extremes, their direction, the events themselves,
// the value in force at a time, and the cyclic-bend (vibrato) test.
#include <vector>

#include "engine/builtins/ArticSrchShape.h"

// PbExist(ev, from, to, &exists): 1.0 when a bend lies in from..to (both
// included), searched from ev in event-number order over all tracks.
class CArticSrchPbExist : public ArticSrchWithI3<ArticSrchWithI2<CArticSrchIs>> {
    VX_DECLARE_CLASS(CArticSrchPbExist)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};

// A window query B with the max and min outputs bound after its elements;
// B takes 3 or 4 inputs and one output, only the matching constructor is
// instantiated.
template <class B>
class ArticSrchWithMaxMin : public B {
public:
    using E = CArticRulElm*;
    ArticSrchWithMaxMin(CArticRulSet* set, ULONG no, E i1, E i2, E i3, E o1, E o2, E o3) : B(set, no, i1, i2, i3, o1) {
        Bind(o2, o3);
    }
    ArticSrchWithMaxMin(CArticRulSet* set, ULONG no, E i1, E i2, E i3, E i4, E o1, E o2, E o3)
        : B(set, no, i1, i2, i3, i4, o1) {
        Bind(o2, o3);
    }
    ~ArticSrchWithMaxMin() override {
        this->DeleteRulElm(&m_pRulElmO2);
        this->DeleteRulElm(&m_pRulElmO3);
    }
    void GetOutRulElmList(CArticRulElmList* list) override {
        B::GetOutRulElmList(list);
        if (list && m_pRulElmO2) list->AddTail(m_pRulElmO2);
        if (list && m_pRulElmO3) list->AddTail(m_pRulElmO3);
    }
    VX_SRCH_ARG(O2)
    VX_SRCH_ARG(O3)
private:
    void Bind(E o2, E o3) {
        this->BindRulElm(&m_pRulElmO2, o2);
        this->BindRulElm(&m_pRulElmO3, o3);
        this->SetOutNum(3);
    }
};

// PbMaxMin(ev, from, to, &exists, &max, &min): the extremes in semitones of
// the level at from and the window's bends; result 1 beyond +-24.
class CArticSrchPbMaxMin : public ArticSrchWithMaxMin<CArticSrchPbExist> {
    VX_DECLARE_CLASS(CArticSrchPbMaxMin)
public:
    using ArticSrchWithMaxMin::ArticSrchWithMaxMin;
    int Search() override;
};

// PbNonCycle(ev, from, to, &dir): 3 no change, 1 rising only, 2 falling
// only, 0 both, from the level at from through the window's bends.
class CArticSrchPbNonCycle : public CArticSrchPbExist {
    VX_DECLARE_CLASS(CArticSrchPbNonCycle)
public:
    using CArticSrchPbExist::CArticSrchPbExist;
    int Search() override;
};

// GetPb(ev, from, to, &ary): the window's bends at 0, 1, 2, ...; elements
// beyond keep what they held.
class CArticSrchGetPb : public CArticSrchPbExist {
    VX_DECLARE_CLASS(CArticSrchGetPb)
public:
    using CArticSrchPbExist::CArticSrchPbExist;
    int Search() override;
};

// GetAfctPb(ev, unit, time, &level): the bend in force at time, raw (unit 0)
// or in cents.
class CArticSrchGetAfctPb : public CArticSrchPbExist {
    VX_DECLARE_CLASS(CArticSrchGetAfctPb)
public:
    using CArticSrchPbExist::CArticSrchPbExist;
    int Search() override;
};

// PbCyclic(ev, retry, from, to, ratio, spread, gap, &cyc, &n, &maxI, &minI,
// &maxM, &minM, &t0, &t1): whether the window's bend swings back and forth
// regularly (cycles within ratio of each other, mid levels within spread
// cents), with the cycle count, the longest and shortest cycle, the highest
// and lowest mid level and the first and last turning point.
class CArticSrchPbCyclic : public CArticSrchPbExist {
    VX_DECLARE_CLASS(CArticSrchPbCyclic)
public:
    using E = CArticRulElm*;
    CArticSrchPbCyclic(CArticRulSet* set, ULONG no, E i1, E i2, E i3, E i4, E i5, E i6, E i7, E o1, E o2, E o3, E o4,
                       E o5, E o6, E o7, E o8);
    ~CArticSrchPbCyclic() override;
    void GetInRulElmList(CArticRulElmList* list) override;
    void GetOutRulElmList(CArticRulElmList* list) override;
    VX_SRCH_ARG(I4)
    VX_SRCH_ARG(I5)
    VX_SRCH_ARG(I6)
    VX_SRCH_ARG(I7)
    VX_SRCH_ARG(O2)
    VX_SRCH_ARG(O3)
    VX_SRCH_ARG(O4)
    VX_SRCH_ARG(O5)
    VX_SRCH_ARG(O6)
    VX_SRCH_ARG(O7)
    VX_SRCH_ARG(O8)
public:
    int Search() override;

    using Points = std::vector<CArticWrkEvnt*>;
    virtual void Init();
    virtual void InitOutVal();
    virtual int SearchMain();
    // One pass for the turning points of window, skipping excluded: 0, or 1
    // when the pass fails; *again set when a point was excluded.
    virtual int SearchCorner(const Points& window, Points* turns, Points* excluded, int* again);
    virtual int EvaCyclic(const Points& turns, int* cyclic);

protected:
    CArticWrkEvnt* m_pNote = nullptr;  // not owned
    double m_Retry = 0.0, m_From = 0.0, m_To = 0.0, m_Ratio = 1.0, m_Spread = 0.0, m_Gap = 0.0;
    BYTE m_Cyclic = 0;
    int m_Cycles = 0;
    INT64 m_Longest = 0, m_Shortest = 0;
    short m_HighMid = -32768, m_LowMid = 32767;
    INT64 m_FirstTurn = 0, m_LastTurn = 0;
};

// CcExist(ev, from, to, cc, &exists): 1.0 when an event of controller cc
// (low 8 bits) lies in from..to.
class CArticSrchCcExist : public ArticSrchWithI4<CArticSrchPbExist> {
    VX_DECLARE_CLASS(CArticSrchCcExist)
public:
    using ArticSrchWithI4::ArticSrchWithI4;
    int Search() override;
};

// CcMaxMin(ev, from, to, cc, &exists, &max, &min): the extremes of the level
// at from and the window's values; result 1 outside 0..127.
class CArticSrchCcMaxMin : public ArticSrchWithMaxMin<CArticSrchCcExist> {
    VX_DECLARE_CLASS(CArticSrchCcMaxMin)
public:
    using ArticSrchWithMaxMin::ArticSrchWithMaxMin;
    int Search() override;
};

// CcNonCycle(ev, from, to, cc, &dir): as PbNonCycle for controller cc.
class CArticSrchCcNonCycle : public CArticSrchCcExist {
    VX_DECLARE_CLASS(CArticSrchCcNonCycle)
public:
    using CArticSrchCcExist::CArticSrchCcExist;
    int Search() override;
};

// GetCc(ev, from, to, cc, &ary): the window's events of controller cc.
class CArticSrchGetCc : public CArticSrchCcExist {
    VX_DECLARE_CLASS(CArticSrchGetCc)
public:
    using CArticSrchCcExist::CArticSrchCcExist;
    int Search() override;
};

// GetAfctCc(ev, cc, time, &level): the value of controller cc in force
// strictly before time, or its default.
class CArticSrchGetAfctCc : public CArticSrchPbExist {
    VX_DECLARE_CLASS(CArticSrchGetAfctCc)
public:
    using CArticSrchPbExist::CArticSrchPbExist;
    int Search() override;
};
