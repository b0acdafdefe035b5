#include "engine/builtins/ArticSrchAry.h"

#include "engine/builtins/ArticSrchCall.h"

VX_IMPLEMENT_CLASS(CArticSrchCmpAry, CArticSrchVelo);
VX_IMPLEMENT_CLASS(CArticSrchGetDupAry, CArticSrchCmpAry);
VX_IMPLEMENT_CLASS(CArticSrchGetExvAry, CArticSrchGetDupAry);
VX_IMPLEMENT_CLASS(CArticSrchSelAry, CArticSrchEvnt);

namespace {

bool Holds(CArticWrkEvntList* list, CArticWrkEvnt* e) { return list->Find(e) != nullptr; }

// out := the notes of a for which b's holding them equals keep.
int Filter(CArticWrkEvntList* a, CArticWrkEvntList* b, CArticWrkEvntList* out, bool keep) {
    if (!a || !b || !out) return 1;
    out->RemoveAll();
    for (POSITION p = a->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = a->GetNext(p);
        if (e && Holds(b, e) == keep) out->AddTail(e);
    }
    return 0;
}

}  // namespace

int CArticSrchCmpAry::MakeWrkEvntList(CArticRulDataAry* ary, CArticWrkEvntList* list) {
    if (!ary || !list) return 1;
    CArticWrkEvntList all(10);
    ary->GetEvntList(&all);
    list->RemoveAll();
    for (POSITION p = all.GetHeadPosition(); p;) {
        CArticWrkEvnt* e = all.GetNext(p);
        if (e && !Holds(list, e)) list->AddTail(e);
    }
    return 0;
}

int CArticSrchCmpAry::CompareWrkEvntList(CArticWrkEvntList* a, CArticWrkEvntList* b) {
    if (!a || !b || a->IsEmpty() || a->GetCount() != b->GetCount()) return 0;
    for (POSITION p = a->GetHeadPosition(); p;) {
        if (!Holds(b, a->GetNext(p))) return 0;
    }
    return 1;
}

int CArticSrchCmpAry::Search() {
    ArticSrchCall call(this);
    CArticRulDataAry* a = call.Ary(m_pRulElmI1);
    CArticRulDataAry* b = call.Ary(m_pRulElmI2);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    bool same = false;
    if (call.Ok()) {
        CArticWrkEvntList la(10), lb(10);
        MakeWrkEvntList(a, &la);
        MakeWrkEvntList(b, &lb);
        same = CompareWrkEvntList(&la, &lb) == 1;
    }
    ArticSrchPut(out, same ? 1.0 : 0.0);
    return call.Result();
}

int CArticSrchGetDupAry::DuplicateWrkEvntList(CArticWrkEvntList* a, CArticWrkEvntList* b, CArticWrkEvntList* out) {
    return Filter(a, b, out, true);
}

void CArticSrchGetDupAry::Operands(CArticRulDataAry* a, CArticRulDataAry* b, CArticWrkEvntList* la,
                                   CArticWrkEvntList* lb) {
    MakeWrkEvntList(a, la);
    MakeWrkEvntList(b, lb);
}

void CArticSrchGetDupAry::Combine(CArticWrkEvntList* a, CArticWrkEvntList* b, CArticWrkEvntList* out) {
    DuplicateWrkEvntList(a, b, out);
}

int CArticSrchGetDupAry::Search() {
    ArticSrchCall call(this);
    CArticRulDataAry* a = call.Ary(m_pRulElmI1);
    CArticRulDataAry* b = call.Ary(m_pRulElmI2);
    CArticRulDataAry* out = call.OutAry(m_pRulElmO1);
    CArticRulDataVal* n = call.OutVal(m_pRulElmO2);
    if (!call.Ok()) {
        ArticSrchPut(n, 0.0);
        return 1;
    }
    CArticWrkEvntList la(10), lb(10), result(10);
    Operands(a, b, &la, &lb);
    Combine(&la, &lb, &result);
    ArticSrchPut(out, result);
    ArticSrchPut(n, double(result.GetCount()));
    return 0;
}

int CArticSrchGetExvAry::ExclusiveWrkEvntList(CArticWrkEvntList* a, CArticWrkEvntList* b, CArticWrkEvntList* out) {
    return Filter(a, b, out, false);
}

void CArticSrchGetExvAry::Operands(CArticRulDataAry* a, CArticRulDataAry* b, CArticWrkEvntList* la,
                                   CArticWrkEvntList* lb) {
    a->GetEvntList(la);
    b->GetEvntList(lb);
}

void CArticSrchGetExvAry::Combine(CArticWrkEvntList* a, CArticWrkEvntList* b, CArticWrkEvntList* out) {
    ExclusiveWrkEvntList(a, b, out);
}

int CArticSrchSelAry::Search() {
    double sw = 0.0;
    if (GetData(m_pRulElmI1, &sw) != 0) {
        SetErrInfo(m_pRulElmI1);
        return 0;
    }
    ArticSrchCall call(this);
    CArticRulDataAry* a = call.Ary(m_pRulElmI2);
    CArticRulDataAry* b = call.Ary(m_pRulElmI3);
    CArticRulDataAry* out = call.OutAry(m_pRulElmO1);
    if (!call.Ok()) return 1;
    CArticRulDataAry* chosen = sw != 0.0 ? b : a;
    if (out != chosen) *out = *chosen;
    return 0;
}
