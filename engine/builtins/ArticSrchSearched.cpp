#include "engine/builtins/ArticSrchSearched.h"

#include <utility>

#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkUtilImpl.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchSetSearched, CArticSrchPutArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchSetSearchedThis, CArticSrchPutArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchSetSearchedArea, CArticSrchSetSearched);
VX_IMPLEMENT_CLASS(CArticSrchSetSearchedAreaThis, CArticSrchSetSearched);
VX_IMPLEMENT_CLASS(CArticSrchSetSearchedAry, CArticSrchSetSearched);
VX_IMPLEMENT_CLASS(CArticSrchSetSearchedAryThis, CArticSrchSetSearched);

namespace {

// The set number of a call: the operand (refused and recorded when it cannot
// be read or is negative) or, without one, the calling set's own.
struct SetNumber {
    CArticRulElm* elm;  // null for the own number
    ULONG value = 0;
};

// Reads the set number operand, when the call has one.
void ReadSet(ArticSrchCall& call, SetNumber* number) {
    if (!number->elm) return;
    double v = 0.0;
    if (call.Num(number->elm, &v) && !(v >= 0.0)) call.Refuse(number->elm);
    number->value = DoubleToULong(v);
}

// After the reads: 1 for a failure, 0 to stop without setting (switch below
// 1), -1 to go on with number->value holding the set number.
int Decide(CArticSrchEvnt* self, ArticSrchCall& call, double on, SetNumber* number) {
    if (!call.Ok()) return 1;
    if (!number->elm) {
        CArticRulSet* set = self->GetRulSet();
        if (!set || set->GetSetNo() < 0) return 1;
        number->value = ULONG(set->GetSetNo());
    }
    return on >= 1.0 ? -1 : 0;
}

// Sets the flag on every note given: 0, or 1 when the note refuses the set
// number (too large to hold), the number recorded for the report.
template <class Each>
int Mark(CArticSrchEvnt* self, const SetNumber& number, Each each) {
    bool refused = false;
    each([&](CArticWrkEvnt* e) {
        if (!refused && e && !e->SetSearch(number.value, 1)) refused = true;
    });
    if (!refused) return 0;
    if (number.elm) {
        self->SetErrInfo(number.elm);
    } else {
        CString text;
        text.Format("%u", unsigned(number.value));
        self->SetErrInfo(&text);
    }
    return 1;
}

int MarkOne(CArticSrchEvnt* self, CArticRulElm* sw, CArticRulElm* ev, CArticRulElm* setNo) {
    ArticSrchCall call(self);
    double on = 0.0;
    call.Num(sw, &on);
    CArticWrkEvnt* note = call.Evnt(ev);
    SetNumber number{setNo};
    ReadSet(call, &number);
    if (const int r = Decide(self, call, on, &number); r >= 0) return r;
    return Mark(self, number, [note](auto set) { set(note); });
}

int MarkArea(CArticSrchEvnt* self, CArticRulElm* sw, CArticRulElm* evA, CArticRulElm* evB, CArticRulElm* setNo) {
    ArticSrchCall call(self);
    double on = 0.0;
    call.Num(sw, &on);
    CArticWrkEvnt* a = call.Evnt(evA);
    CArticWrkEvnt* b = call.Evnt(evB);
    SetNumber number{setNo};
    ReadSet(call, &number);
    if (const int r = Decide(self, call, on, &number); r >= 0) return r;
    CArticWrk* wrk = self->GetRulSet()->GetWrk();
    if (!wrk) return 1;
    ULONG lo = a->GetEvntNo(), hi = b->GetEvntNo();
    if (lo > hi) std::swap(lo, hi);
    return Mark(self, number, [&](auto set) {
        for (ULONG n = lo;; ++n) {
            CArticWrkEvnt* e = nullptr;
            if (wrk->GetEvntInEvntPosArray(n, &e) && wrkutil::IsNoteNibble(e)) set(e);
            if (n == hi) break;
        }
    });
}

int MarkArray(CArticSrchEvnt* self, CArticRulElm* sw, CArticRulElm* setNo, CArticRulElm* ary) {
    ArticSrchCall call(self);
    double on = 0.0;
    call.Num(sw, &on);
    SetNumber number{setNo};
    ReadSet(call, &number);
    CArticRulDataAry* var = call.Ary(ary);
    if (const int r = Decide(self, call, on, &number); r >= 0) return r;
    CArticWrkEvntList list(10);
    var->GetEvntList(&list);
    return Mark(self, number, [&](auto set) {
        for (POSITION p = list.GetHeadPosition(); p;) {
            CArticWrkEvnt* e = list.GetNext(p);
            if (wrkutil::IsNoteNibble(e)) set(e);
        }
    });
}

}  // namespace

int CArticSrchSetSearched::Search() { return MarkOne(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmI3); }

int CArticSrchSetSearchedThis::Search() { return MarkOne(this, m_pRulElmI1, m_pRulElmI2, nullptr); }

int CArticSrchSetSearchedArea::Search() {
    return MarkArea(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, m_pRulElmI4);
}

int CArticSrchSetSearchedAreaThis::Search() {
    return MarkArea(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, nullptr);
}

int CArticSrchSetSearchedAry::Search() { return MarkArray(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmI3); }

CArticSrchSetSearchedAryThis::CArticSrchSetSearchedAryThis(CArticRulSet* set, ULONG no, CArticRulElm* i1,
                                                           CArticRulElm* i2)
    : CArticSrchSetSearched(set, no, i1, i2, nullptr) {
    SetInNum(2);
}

void CArticSrchSetSearchedAryThis::GetInRulElmList(CArticRulElmList* list) {
    if (list && m_pRulElmI1) list->AddTail(m_pRulElmI1);
    if (list && m_pRulElmI2) list->AddTail(m_pRulElmI2);
}

int CArticSrchSetSearchedAryThis::Search() { return MarkArray(this, m_pRulElmI1, nullptr, m_pRulElmI2); }
