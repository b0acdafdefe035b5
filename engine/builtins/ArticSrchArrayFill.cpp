#include "engine/builtins/ArticSrchArrayFill.h"

#include <algorithm>

#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkUtil.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntMeas, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntMeasWrk, CArticSrchPutArrayEvntMeas);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntAry, CArticSrchPutArrayEvntMeas);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntNumNext, CArticSrchPutArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntNumPre, CArticSrchPutArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntNumWrkNext, CArticSrchPutArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntNumWrkPre, CArticSrchPutArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntArea, CArticSrchPutArrayEvntNumNext);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntAreaWrk, CArticSrchPutArrayEvntNumWrkNext);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntAreaEvnt, CArticSrchPutArrayEvntNumWrkNext);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntAreaWrkByEvnt, CArticSrchPutArrayEvntNumWrkNext);

int CArticSrchPutArrayEvntMeas::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* ev = call.Evnt(m_pRulElmI1);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    if (!call.Ok()) return ArticSrchFail(out);
    CArticWrkEvntList list(10);
    Collect(ev, &list);
    return srcharray::AppendCount(call.Rul(), list, out);
}

void CArticSrchPutArrayEvntMeas::Collect(CArticWrkEvnt* ev, CArticWrkEvntList* list) {
    CArticWrkUtil::GetSameMeasNote(ev, list);
}

void CArticSrchPutArrayEvntMeasWrk::Collect(CArticWrkEvnt* ev, CArticWrkEvntList* list) {
    CArticWrkUtil::GetSameWrkMeasNote(ev, list);
}

int CArticSrchPutArrayEvntAry::Search() {
    ArticSrchCall call(this);
    CArticRulDataAry* ary = call.Ary(m_pRulElmI1);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    if (!call.Ok()) return ArticSrchFail(out);
    CArticWrkEvntList list(10);
    ary->GetEvntList(&list);
    return srcharray::AppendSize(call.Rul(), list, out);
}

int CArticSrchPutArrayEvntNumNext::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* ev = call.Evnt(m_pRulElmI1);
    double count = 0.0;
    call.Num(m_pRulElmI2, &count);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    if (call.Ok() && !(count >= 1.0)) call.Fail();  // silently
    if (!call.Ok()) return ArticSrchFail(out);
    CArticWrkEvntList list(10);
    list.AddTail(ev);
    const int more = srchnum::Count(count) - 1;
    if (more > 0) Neighbours(ev, more, &list);
    return srcharray::AppendSize(call.Rul(), list, out);
}

void CArticSrchPutArrayEvntNumNext::Neighbours(CArticWrkEvnt* ev, int n, CArticWrkEvntList* list) {
    CArticWrkUtil::GetNextNote(ev, n, list);
}
void CArticSrchPutArrayEvntNumPre::Neighbours(CArticWrkEvnt* ev, int n, CArticWrkEvntList* list) {
    CArticWrkUtil::GetPrevNote(ev, n, list);
}
void CArticSrchPutArrayEvntNumWrkNext::Neighbours(CArticWrkEvnt* ev, int n, CArticWrkEvntList* list) {
    CArticWrkUtil::GetWrkNextNote(ev, n, list);
}
void CArticSrchPutArrayEvntNumWrkPre::Neighbours(CArticWrkEvnt* ev, int n, CArticWrkEvntList* list) {
    CArticWrkUtil::GetWrkPrevNote(ev, n, list);
}

namespace {

// The from and to of an area built-in, each 0 or above and to not before
// from; bad ones are reported.
void ReadArea(ArticSrchCall& call, CArticRulElm* fromElm, CArticRulElm* toElm, INT64* from, INT64* to) {
    double f = 0.0, t = 0.0;
    const bool fOk = call.Num(fromElm, &f) && f >= 0.0;
    const bool tOk = call.Num(toElm, &t) && t >= 0.0;
    if (!fOk && f < 0.0) call.Refuse(fromElm);
    if (!tOk && t < 0.0) call.Refuse(toElm);
    if (fOk && tOk && t < f) {
        call.Refuse(fromElm);
        call.Refuse(toElm);
    }
    *from = srchnum::Unsigned(f);
    *to = srchnum::Unsigned(t);
}

}  // namespace

int CArticSrchPutArrayEvntArea::Search() {
    ArticSrchCall call(this);
    INT64 from = 0, to = 0;
    ReadArea(call, m_pRulElmI1, m_pRulElmI2, &from, &to);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRulSet* set = GetRulSet();
    CArticWrkEvnt* current = set ? set->GetWrkEvnt() : nullptr;
    if (!current || !current->GetOwner()) call.Fail();
    if (!call.Ok()) return ArticSrchFail(out);
    CArticWrkEvntList list(10);
    CArticWrkUtil::GetAreaNote(current->GetOwner(), from, to, &list);
    return srcharray::AppendCount(call.Rul(), list, out);
}

int CArticSrchPutArrayEvntAreaWrk::Search() {
    ArticSrchCall call(this);
    INT64 from = 0, to = 0;
    ReadArea(call, m_pRulElmI1, m_pRulElmI2, &from, &to);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    CArticWrk* wrk = rul ? rul->GetWrk() : nullptr;
    if (!call.Ok() || !wrk) return ArticSrchFail(out);
    wrk->CollectAreaWrkEvnt(from, to, 1, &m_Notes);
    const int result = srcharray::AppendCount(call.Rul(), m_Notes, out);
    m_Notes.clear();
    return result;
}

int CArticSrchPutArrayEvntAreaEvnt::Search() {
    // Each note is read on its own: a missing one does not fail the call
    // while the other is there, and its error flag is cleared.
    ArticSrchCall readA(this), readB(this);
    CArticWrkEvnt* a = readA.Evnt(m_pRulElmI1);
    CArticWrkEvnt* b = readB.Evnt(m_pRulElmI2);
    if (!a && b) SetErrInfo(m_pRulElmI1, 0);
    if (!b && a) SetErrInfo(m_pRulElmI2, 0);
    ArticSrchCall call(this);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    CArticWrk* wrk = rul ? rul->GetWrk() : nullptr;
    if (!a && !b) call.Fail();
    if (!call.Ok() || !wrk) return ArticSrchFail(out);
    if (!a) a = b;
    if (!b) b = a;
    const ULONG lo = std::min(a->GetEvntNo(), b->GetEvntNo());
    const ULONG hi = std::max(a->GetEvntNo(), b->GetEvntNo());
    CArticWrkEvntList list(10);
    for (uint64_t no = lo; no <= hi; ++no) {
        CArticWrkEvnt* e = wrk->GetEvntInEvntPosArray(ULONG(no), 0);
        if (srcharray::IsNote(e) && e->GetSelTrk()) list.AddTail(e);
    }
    return srcharray::AppendCount(call.Rul(), list, out);
}

int CArticSrchPutArrayEvntAreaWrkByEvnt::FindEvntByOnTime(CArticWrkEvnt* ev, ULONG from, ULONG to, int* count) {
    if (!ev) return 1;
    CArticWrkEvntList list(10);
    const int result = CArticWrkUtil::GetAreaNoteByEvnt(ev, from, to, &list);
    const int stored = srcharray::Append(ArticSrchCall(this).Rul(), list);
    if (stored < 0) return 1;
    *count += stored;
    return result;
}

int CArticSrchPutArrayEvntAreaWrkByEvnt::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* ev = call.Evnt(m_pRulElmI1);
    double mode = 0.0, from = 0.0, to = 0.0;
    call.Num(m_pRulElmI2, &mode);
    call.Num(m_pRulElmI3, &from);
    call.Num(m_pRulElmI4, &to);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    if (call.Ok() && (DoubleToLong(mode) != 0 || !call.Rul())) call.Fail();  // silently
    if (!call.Ok()) return ArticSrchFail(out);
    int count = 0;
    const int result = FindEvntByOnTime(ev, srchnum::Unsigned(from), srchnum::Unsigned(to), &count);
    ArticSrchPut(out, result == 0 ? double(count) : 0.0);
    return result;
}
