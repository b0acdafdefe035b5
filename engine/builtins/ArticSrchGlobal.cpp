#include "engine/builtins/ArticSrchGlobal.h"

#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRul.h"

VX_IMPLEMENT_CLASS(CArticSrchGetGlobal, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutGlobal, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchSelTrk, CArticSrchEvnt);

int CArticSrchGetGlobal::Search() {
    ArticSrchCall call(this);
    double n = 0.0;
    call.Num(m_pRulElmI1, &n);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    double value = 0.0;
    if (!call.Ok() || n < 0.0 || !rul)
        call.Fail();
    else
        value = rul->GetGlobal(srchnum::Unsigned(n));
    ArticSrchPut(out, value);
    return call.Result();
}

int CArticSrchPutGlobal::Search() {
    ArticSrchCall call(this);
    double n = 0.0, v = 0.0;
    call.Num(m_pRulElmI1, &n);
    call.Num(m_pRulElmI2, &v);
    CArticRul* rul = call.Rul();
    if (!call.Ok() || n < 0.0 || !rul) return 1;
    // Beyond 32 bits the index saturates and is refused, never wrapped onto a small one.
    return rul->SetGlobal(srchnum::Unsigned(n), v) ? 0 : 1;
}

int CArticSrchSelTrk::Search() {
    ArticSrchCall call(this);
    ArticSrchPut(call.OutVal(m_pRulElmO1), 0.0);
    return call.Result();
}
