#pragma once
// Argument shapes of the concrete built-ins that the intermediate bases do
// not give: inputs only (I1; I1, I2), and a further input bound after a
// base's own elements. A class built on base B with one more input binds
// B's elements first and its own after them (storage order), while its
// constructor takes the script order (all inputs, then the outputs) and its
// element lists give the script order back.
#include "engine/rules/ArticSrchBase.h"

// Shape I1.
class ArticSrchArgsI : public CArticSrchEvnt {
public:
    ArticSrchArgsI(CArticRulSet* set, ULONG no, CArticRulElm* i1) : CArticSrchEvnt(set, no) {
        BindRulElm(&m_pRulElmI1, i1);
        SetInNum(1);
        SetOutNum(0);
    }
    ~ArticSrchArgsI() override { DeleteRulElm(&m_pRulElmI1); }
    void GetInRulElmList(CArticRulElmList* list) override {
        if (list && m_pRulElmI1) list->AddTail(m_pRulElmI1);
    }
    VX_SRCH_ARG(I1)
};

// Shape I1, I2.
class ArticSrchArgsII : public CArticSrchEvnt {
public:
    ArticSrchArgsII(CArticRulSet* set, ULONG no, CArticRulElm* i1, CArticRulElm* i2) : CArticSrchEvnt(set, no) {
        BindRulElm(&m_pRulElmI1, i1);
        BindRulElm(&m_pRulElmI2, i2);
        SetInNum(2);
        SetOutNum(0);
    }
    ~ArticSrchArgsII() override {
        DeleteRulElm(&m_pRulElmI1);
        DeleteRulElm(&m_pRulElmI2);
    }
    void GetInRulElmList(CArticRulElmList* list) override {
        if (list && m_pRulElmI1) list->AddTail(m_pRulElmI1);
        if (list && m_pRulElmI2) list->AddTail(m_pRulElmI2);
    }
    VX_SRCH_ARG(I1)
    VX_SRCH_ARG(I2)
};

// Shape -> O1, O2.
class ArticSrchArgsOO : public CArticSrchEvnt {
public:
    ArticSrchArgsOO(CArticRulSet* set, ULONG no, CArticRulElm* o1, CArticRulElm* o2) : CArticSrchEvnt(set, no) {
        BindRulElm(&m_pRulElmO1, o1);
        BindRulElm(&m_pRulElmO2, o2);
        SetInNum(0);
        SetOutNum(2);
    }
    ~ArticSrchArgsOO() override {
        DeleteRulElm(&m_pRulElmO1);
        DeleteRulElm(&m_pRulElmO2);
    }
    void GetOutRulElmList(CArticRulElmList* list) override {
        if (list && m_pRulElmO1) list->AddTail(m_pRulElmO1);
        if (list && m_pRulElmO2) list->AddTail(m_pRulElmO2);
    }
    VX_SRCH_ARG(O1)
    VX_SRCH_ARG(O2)
};

// Base B with input X added as the script's input after B's inputs. B takes
// the inputs before it and either one output or none; only the constructor
// that matches B is ever instantiated.
#define VX_SRCH_UNPAREN(...) __VA_ARGS__
#define VX_SRCH_WITH_INPUT(Name, X, PARAMS, ARGS)                                                        \
    template <class B>                                                                                   \
    class Name : public B {                                                                              \
    public:                                                                                              \
        Name(CArticRulSet* set, ULONG no, VX_SRCH_UNPAREN PARAMS, CArticRulElm* x, CArticRulElm* o1)     \
            : B(set, no, VX_SRCH_UNPAREN ARGS, o1) {                                                     \
            Bind(x);                                                                                     \
        }                                                                                                \
        Name(CArticRulSet* set, ULONG no, VX_SRCH_UNPAREN PARAMS, CArticRulElm* x)                       \
            : B(set, no, VX_SRCH_UNPAREN ARGS) {                                                         \
            Bind(x);                                                                                     \
        }                                                                                                \
        ~Name() override { this->DeleteRulElm(&m_pRulElm##X); }                                          \
        void GetInRulElmList(CArticRulElmList* list) override {                                          \
            B::GetInRulElmList(list);                                                                    \
            if (list && m_pRulElm##X) list->AddTail(m_pRulElm##X);                                        \
        }                                                                                                \
        VX_SRCH_ARG(X)                                                                                   \
    private:                                                                                             \
        void Bind(CArticRulElm* x) {                                                                     \
            this->BindRulElm(&m_pRulElm##X, x);                                                          \
            this->SetInNum(this->GetInNum() + 1);                                                        \
        }                                                                                                \
    };

VX_SRCH_WITH_INPUT(ArticSrchWithI2, I2, (CArticRulElm* i1), (i1))
VX_SRCH_WITH_INPUT(ArticSrchWithI3, I3, (CArticRulElm* i1, CArticRulElm* i2), (i1, i2))
VX_SRCH_WITH_INPUT(ArticSrchWithI4, I4, (CArticRulElm* i1, CArticRulElm* i2, CArticRulElm* i3), (i1, i2, i3))
VX_SRCH_WITH_INPUT(ArticSrchWithI5, I5, (CArticRulElm* i1, CArticRulElm* i2, CArticRulElm* i3, CArticRulElm* i4),
                   (i1, i2, i3, i4))
#undef VX_SRCH_WITH_INPUT

// A base B without inputs (B(set, no), B(set, no, o1) or B(set, no, o1,
// o2)) with input 1 bound after it; only the matching constructor is
// instantiated.
template <class B>
class ArticSrchWithI1 : public B {
public:
    using E = CArticRulElm*;
    ArticSrchWithI1(CArticRulSet* set, ULONG no, E i1) : B(set, no) { Bind(i1); }
    ArticSrchWithI1(CArticRulSet* set, ULONG no, E i1, E o1) : B(set, no, o1) { Bind(i1); }
    ArticSrchWithI1(CArticRulSet* set, ULONG no, E i1, E o1, E o2) : B(set, no, o1, o2) { Bind(i1); }
    ~ArticSrchWithI1() override { this->DeleteRulElm(&m_pRulElmI1); }
    void GetInRulElmList(CArticRulElmList* list) override {
        B::GetInRulElmList(list);
        if (list && m_pRulElmI1) list->AddTail(m_pRulElmI1);
    }
    VX_SRCH_ARG(I1)
private:
    void Bind(CArticRulElm* i1) {
        this->BindRulElm(&m_pRulElmI1, i1);
        this->SetInNum(1);
    }
};

// A base B without outputs, taking 1 or 2 inputs, with output 1 bound
// after its elements.
template <class B>
class ArticSrchWithO1 : public B {
public:
    using E = CArticRulElm*;
    ArticSrchWithO1(CArticRulSet* set, ULONG no, E i1, E o1) : B(set, no, i1) { Bind(o1); }
    ArticSrchWithO1(CArticRulSet* set, ULONG no, E i1, E i2, E o1) : B(set, no, i1, i2) { Bind(o1); }
    ~ArticSrchWithO1() override { this->DeleteRulElm(&m_pRulElmO1); }
    void GetOutRulElmList(CArticRulElmList* list) override {
        B::GetOutRulElmList(list);
        if (list && m_pRulElmO1) list->AddTail(m_pRulElmO1);
    }
    VX_SRCH_ARG(O1)
private:
    void Bind(CArticRulElm* o1) {
        this->BindRulElm(&m_pRulElmO1, o1);
        this->SetOutNum(1);
    }
};

// Base B with one output of its own and output 2 bound after its elements.
// B takes 1, 2 or 5 inputs; only the matching constructor is instantiated.
template <class B>
class ArticSrchWithO2 : public B {
public:
    using E = CArticRulElm*;
    ArticSrchWithO2(CArticRulSet* set, ULONG no, E i1, E o1, E o2) : B(set, no, i1, o1) { Bind(o2); }
    ArticSrchWithO2(CArticRulSet* set, ULONG no, E i1, E i2, E o1, E o2) : B(set, no, i1, i2, o1) { Bind(o2); }
    ArticSrchWithO2(CArticRulSet* set, ULONG no, E i1, E i2, E i3, E i4, E i5, E o1, E o2)
        : B(set, no, i1, i2, i3, i4, i5, o1) {
        Bind(o2);
    }
    ~ArticSrchWithO2() override { this->DeleteRulElm(&m_pRulElmO2); }
    void GetOutRulElmList(CArticRulElmList* list) override {
        B::GetOutRulElmList(list);
        if (list && m_pRulElmO2) list->AddTail(m_pRulElmO2);
    }
    VX_SRCH_ARG(O2)
private:
    void Bind(CArticRulElm* o2) {
        this->BindRulElm(&m_pRulElmO2, o2);
        this->SetOutNum(this->GetOutNum() + 1);
    }
};

// Base B with output 3 bound after its elements: B is I1 -> O1, O2 or
// -> O1, O2; only the matching constructor is instantiated.
template <class B>
class ArticSrchWithO3 : public B {
public:
    using E = CArticRulElm*;
    ArticSrchWithO3(CArticRulSet* set, ULONG no, E i1, E o1, E o2, E o3) : B(set, no, i1, o1, o2) { Bind(o3); }
    ArticSrchWithO3(CArticRulSet* set, ULONG no, E o1, E o2, E o3) : B(set, no, o1, o2) { Bind(o3); }
    ~ArticSrchWithO3() override { this->DeleteRulElm(&m_pRulElmO3); }
    void GetOutRulElmList(CArticRulElmList* list) override {
        B::GetOutRulElmList(list);
        if (list && m_pRulElmO3) list->AddTail(m_pRulElmO3);
    }
    VX_SRCH_ARG(O3)
private:
    void Bind(CArticRulElm* o3) {
        this->BindRulElm(&m_pRulElmO3, o3);
        this->SetOutNum(this->GetOutNum() + 1);
    }
};

// Base B (I1 -> O1, O2, O3) with output 4 bound after its elements.
template <class B>
class ArticSrchWithO4 : public B {
public:
    using E = CArticRulElm*;
    ArticSrchWithO4(CArticRulSet* set, ULONG no, E i1, E o1, E o2, E o3, E o4) : B(set, no, i1, o1, o2, o3) {
        this->BindRulElm(&m_pRulElmO4, o4);
        this->SetOutNum(this->GetOutNum() + 1);
    }
    ~ArticSrchWithO4() override { this->DeleteRulElm(&m_pRulElmO4); }
    void GetOutRulElmList(CArticRulElmList* list) override {
        B::GetOutRulElmList(list);
        if (list && m_pRulElmO4) list->AddTail(m_pRulElmO4);
    }
    VX_SRCH_ARG(O4)
};
