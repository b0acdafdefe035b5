#pragma once
// Small rule data built in code for the rule-language tests: elements,
// element lists, a program with one set, and the engine error list.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>
#include <string>

#include "services/ArticErr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulDataEvnt.h"
#include "engine/rules/ArticRulElm.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/WorkFixture.h"

namespace rultest {

// The texts of a string list, in order.
inline std::vector<std::string> Texts(const CStringList& list) {
    std::vector<std::string> out;
    for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p).str());
    return out;
}

inline CArticRulElm* Num(double v, BYTE sign = kSignNone, int plus = 1) {
    auto* e = new CArticRulElm();
    e->SetData(v);
    e->SetSign(sign);
    e->SetPlus(plus);
    return e;
}

inline CArticRulElm* Text(const char* text) {
    auto* e = new CArticRulElm();
    e->SetStrData(text);
    return e;
}

inline CArticRulElm* Var(CArticRulData* var, BYTE type = kElmPlain, BYTE sign = kSignNone, int plus = 1,
                         double data = 0.0) {
    auto* e = new CArticRulElm();
    e->Set(var, type, sign, plus, data, CString(), nullptr);
    return e;
}

inline CArticRulElmList* List(std::initializer_list<CArticRulElm*> items) {
    auto* list = new CArticRulElmList(10);
    for (CArticRulElm* e : items) list->AddTail(e);
    return list;
}

inline CArticRulElm* Group(std::initializer_list<CArticRulElm*> items, BYTE sign = kSignNone, int plus = 1) {
    auto* e = new CArticRulElm();
    e->SetRulElmList(List(items));
    e->SetSign(sign);
    e->SetPlus(plus);
    return e;
}

// Owns a list of elements built for a call.
struct ElmList {
    CArticRulElmList list{10};
    ElmList(std::initializer_list<CArticRulElm*> items) {
        for (CArticRulElm* e : items) list.AddTail(e);
    }
    ~ElmList() {
        for (POSITION p = list.GetHeadPosition(); p;) delete list.GetNext(p);
    }
};

// The error list exists for the test's length.
struct ErrList {
    ErrList() { CArticErr::Clear(); }
    ~ErrList() { CArticErr::Delete(); }
    static CString LastContent() {
        CString content, cls, method, detail;
        BYTE kind = 0;
        CArticErr::Get(kind, content, cls, method, detail);
        return content;
    }
};

// A program over a work data with one set numbered setNo.
struct SetFixture : ::testing::Test {
    ErrList errors;
    CArticWrk wrk;
    CArticRul rul{&wrk};
    CArticRulSet* set = nullptr;
    void SetUp() override {
        set = new CArticRulSet(&rul, &wrk);
        set->SetSetNo(3);
        rul.AddTail(set);
    }
    CArticRulDataVal* NewVal(ULONG no, CArticRulElmList* list = nullptr) {
        auto* v = new CArticRulDataVal(set, no);
        EXPECT_EQ(set->SetDataVal(v), 1);
        if (list) v->SetRulElmList(list);
        return v;
    }
    CArticRulDataEvnt* NewEvnt(ULONG no) {
        auto* v = new CArticRulDataEvnt(set, no);
        EXPECT_EQ(set->SetDataEvnt(v), 1);
        return v;
    }
};

}  // namespace rultest
