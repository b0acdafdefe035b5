#include "engine/builtins/ArticSrchArrayEvnt.h"

#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRul.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchGetArrayEvnt, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvnt, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntType, CArticSrchPutArrayEvnt);

int CArticSrchGetArrayEvnt::Search() {
    ArticSrchCall call(this);
    double idx = 0.0;
    call.Num(m_pRulElmI1, &idx);
    CArticRulDataEvnt* out = call.OutEvnt(m_pRulElmO1);
    CArticWrkEvnt* note = nullptr;
    CArticRul* rul = call.Rul();
    if (call.Ok()) {
        if (idx < 0.0 || !rul) {
            call.Fail();  // silently: no report
        } else if (idx < 4294967296.0) {
            CArticRulDataEvnt* elm = rul->GetRulDataEvnt(DoubleToULong(idx));
            note = elm ? elm->GetEvnt(0) : nullptr;
        }
    }
    ArticSrchPut(out, note);
    return call.Result();
}

int CArticSrchPutArrayEvnt::PutAt(double idx, CArticWrkEvnt* note) {
    ArticSrchCall call(this);
    CArticRul* rul = call.Rul();
    if (!rul) return 1;
    ULONG index = 0;
    if (idx < 0.0) {
        index = ULONG(rul->GetTailElmNoRulDataEvnt() + 1);
    } else {
        // Beyond 32 bits the index stays out of reach instead of wrapping onto a small one.
        index = idx < 4294967296.0 ? DoubleToULong(idx) : 0xFFFFFFFFu;
    }
    return rul->SetRulDataEvnt(index, note) ? 0 : 1;
}

int CArticSrchPutArrayEvnt::Search() {
    ArticSrchCall call(this);
    double idx = 0.0;
    call.Num(m_pRulElmI1, &idx);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI2);
    return call.Ok() ? PutAt(idx, note) : 1;
}

int CArticSrchPutArrayEvntType::Search() {
    ArticSrchCall call(this);
    double sw = 0.0, idx = 0.0;
    call.Num(m_pRulElmI1, &sw);
    call.Num(m_pRulElmI2, &idx);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI3);
    if (!call.Ok()) return 1;
    return sw == 0.0 ? 0 : PutAt(idx, note);
}
