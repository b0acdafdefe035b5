// Built-ins for the rule-set tests, behaving as the scripts expect of them.
#include "TestBuiltins.h"

#include <cmath>

#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticSrchEvnt.h"
#include "engine/rules/ArticSrchUtil.h"
#include "engine/work/ArticWrkEvnt.h"

namespace {

// A built-in owning its argument elements in catalogue order: inputs, then outputs.
template <int NIn, int NOut>
class TestSrch : public CArticSrchEvnt {
public:
    template <class... E>
    TestSrch(CArticRulSet* set, ULONG no, E*... elms) : CArticSrchEvnt(set, no) {
        static_assert(sizeof...(E) == NIn + NOut, "one element per argument");
        CArticRulElm* given[] = {elms...};
        for (int i = 0; i < NIn + NOut; ++i) BindRulElm(&m_Elm[i], given[i]);
        SetInNum(NIn);
        SetOutNum(NOut);
    }
    ~TestSrch() override {
        for (CArticRulElm*& e : m_Elm) DeleteRulElm(&e);
    }
    void GetInRulElmList(CArticRulElmList* list) override {
        for (int i = 0; list && i < NIn; ++i) list->AddTail(m_Elm[i]);
    }
    void GetOutRulElmList(CArticRulElmList* list) override {
        for (int i = NIn; list && i < NIn + NOut; ++i) list->AddTail(m_Elm[i]);
    }

protected:
    CArticRulElm* Arg(int i) const { return m_Elm[i]; }
    // Reads number input i; an unreadable one is recorded for the report.
    bool Number(int i, double* v) {
        if (GetData(Arg(i), v) == 0) return true;
        SetErrInfo(Arg(i));
        return false;
    }
    // Writes output outIndex; result 1 when it cannot be written.
    int Put(int outIndex, double v) {
        CArticRulDataVal* out = nullptr;
        if (GetRulDataVal(Arg(NIn + outIndex), &out) != 0) return 1;
        out->SetData(v);
        return 0;
    }
    // A failed call still writes its output.
    int Fail(double v) {
        Put(0, v);
        return 1;
    }
    // Slot index of a number, truncated toward zero; -1 outside 0..9.
    static int Slot(double idx) {
        const double t = std::trunc(idx);
        return t >= 0 && t < kNoteInfoCount ? int(t) : -1;
    }

private:
    CArticRulElm* m_Elm[NIn + NOut > 0 ? NIn + NOut : 1] = {};
};

// GetNoteInfo(ev, idx, &out): out = slot idx of the note.
class CArticSrchGetNoteInfo : public TestSrch<2, 1> {
    VX_DECLARE_CLASS(CArticSrchGetNoteInfo)
public:
    using TestSrch::TestSrch;
    int Search() override {
        CArticWrkEvnt* note = nullptr;
        double idx = 0;
        if (GetWrkEvnt(Arg(0), &note) != 0 || !Number(1, &idx) || Slot(idx) < 0) return Fail(0.0);
        return Put(0, note->GetNoteInfo(Slot(idx)));
    }
};
VX_IMPLEMENT_CLASS(CArticSrchGetNoteInfo, CArticSrchEvnt);

// PutNoteInfo(ev, idx, v): slot idx of the note = v truncated.
class CArticSrchPutNoteInfo : public TestSrch<3, 0> {
    VX_DECLARE_CLASS(CArticSrchPutNoteInfo)
public:
    using TestSrch::TestSrch;
    int Search() override {
        CArticWrkEvnt* note = nullptr;
        double idx = 0, v = 0;
        if (GetWrkEvnt(Arg(0), &note) != 0 || !Number(1, &idx) || !Number(2, &v) || Slot(idx) < 0) return 1;
        note->SetNoteInfo(Slot(idx), LONG(std::trunc(v)));
        return 0;
    }
};
VX_IMPLEMENT_CLASS(CArticSrchPutNoteInfo, CArticSrchEvnt);

// ValCmp(a, b, tol, &out): 1 when a lies within b +- |tol|.
class CArticSrchValCmp : public TestSrch<3, 1> {
    VX_DECLARE_CLASS(CArticSrchValCmp)
public:
    using TestSrch::TestSrch;
    int Search() override {
        double a = 0, b = 0, tol = 0;
        if (!Number(0, &a) || !Number(1, &b) || !Number(2, &tol)) return Fail(0.0);
        tol = std::fabs(tol);
        return Put(0, b - tol <= a && a <= b + tol ? 1.0 : 0.0);
    }
};
VX_IMPLEMENT_CLASS(CArticSrchValCmp, CArticSrchEvnt);

// ValMore(a, b, &out): 1 when a > b.
class CArticSrchValMore : public TestSrch<2, 1> {
    VX_DECLARE_CLASS(CArticSrchValMore)
public:
    using TestSrch::TestSrch;
    int Search() override {
        double a = 0, b = 0;
        if (!Number(0, &a) || !Number(1, &b)) return Fail(0.0);
        return Put(0, a > b ? 1.0 : 0.0);
    }
};
VX_IMPLEMENT_CLASS(CArticSrchValMore, CArticSrchEvnt);

// Lim(x, lo, hi, &out): x clamped to lo..hi; x when hi < lo.
class CArticSrchLim : public TestSrch<3, 1> {
    VX_DECLARE_CLASS(CArticSrchLim)
public:
    using TestSrch::TestSrch;
    int Search() override {
        double x = 0, lo = 0, hi = 0;
        if (!Number(0, &x)) return Fail(0.0);
        if (!Number(1, &lo) || !Number(2, &hi)) return Fail(x);
        return Put(0, hi < lo ? x : x < lo ? lo : x > hi ? hi : x);
    }
};
VX_IMPLEMENT_CLASS(CArticSrchLim, CArticSrchEvnt);

// Break(cond): stops the set for the note when cond is 0.
class CArticSrchBreak : public TestSrch<1, 0> {
    VX_DECLARE_CLASS(CArticSrchBreak)
public:
    using TestSrch::TestSrch;
    int Search() override {
        double cond = 0;
        if (!Number(0, &cond)) return 1;
        if (cond == 0.0 && GetRulSet()) GetRulSet()->SetBreak(1);
        return 0;
    }
};
VX_IMPLEMENT_CLASS(CArticSrchBreak, CArticSrchEvnt);

const char* const kNames[] = {"CArticSrchGetNoteInfo", "CArticSrchPutNoteInfo", "CArticSrchValCmp",
                             "CArticSrchValMore",     "CArticSrchLim",         "CArticSrchBreak"};

}  // namespace

namespace rultest {

TestBuiltins::TestBuiltins() {
    EXPECT_EQ(CArticSrchUtil::SetMaker("CArticSrchGetNoteInfo", &ArticSrchMake<CArticSrchGetNoteInfo, 3>), 0);
    EXPECT_EQ(CArticSrchUtil::SetMaker("CArticSrchPutNoteInfo", &ArticSrchMake<CArticSrchPutNoteInfo, 3>), 0);
    EXPECT_EQ(CArticSrchUtil::SetMaker("CArticSrchValCmp", &ArticSrchMake<CArticSrchValCmp, 4>), 0);
    EXPECT_EQ(CArticSrchUtil::SetMaker("CArticSrchValMore", &ArticSrchMake<CArticSrchValMore, 3>), 0);
    EXPECT_EQ(CArticSrchUtil::SetMaker("CArticSrchLim", &ArticSrchMake<CArticSrchLim, 4>), 0);
    EXPECT_EQ(CArticSrchUtil::SetMaker("CArticSrchBreak", &ArticSrchMake<CArticSrchBreak, 1>), 0);
}

TestBuiltins::~TestBuiltins() {
    for (const char* name : kNames) CArticSrchUtil::SetMaker(name, nullptr);
}

}  // namespace rultest
