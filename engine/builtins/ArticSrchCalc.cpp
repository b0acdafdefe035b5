#include "engine/builtins/ArticSrchCalc.h"

#include <cmath>
#include <initializer_list>
#include <utility>

#include "engine/builtins/ArticSrchCall.h"
#include "engine/work/ArticUtil.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchPow, CArticSrchCalc);
VX_IMPLEMENT_CLASS(CArticSrchGetBit, CArticSrchPow);
VX_IMPLEMENT_CLASS(CArticSrchPutBit, CArticSrchPow);
VX_IMPLEMENT_CLASS(CArticSrchRnd, CArticSrchCalc);
VX_IMPLEMENT_CLASS(CArticSrchInt, CArticSrchCalc);
VX_IMPLEMENT_CLASS(CArticSrchFrac, CArticSrchCalc);
VX_IMPLEMENT_CLASS(CArticSrchRem, CArticSrchCalc);
VX_IMPLEMENT_CLASS(CArticSrchSelType, CArticSrchCalc);
VX_IMPLEMENT_CLASS(CArticSrchSelSw, CArticSrchSelType);
VX_IMPLEMENT_CLASS(CArticSrchSelEvntSw, CArticSrchSelType);
VX_IMPLEMENT_CLASS(CArticSrchCopy, CArticSrchCalc);

namespace {

// The built-ins that stop at their first unreadable input: it is recorded
// and the call returns 0 with the output untouched. Gives the values read,
// or false for that stop.
bool ReadAllOrStop(CArticSrchEvnt* self, std::initializer_list<std::pair<CArticRulElm*, double*>> inputs) {
    for (const auto& in : inputs) {
        if (self->GetData(in.first, in.second) != 0) {
            self->SetErrInfo(in.first);
            return false;
        }
    }
    return true;
}

// The output of an early-stopping built-in, read after its inputs.
int WriteOut(CArticSrchEvnt* self, CArticRulElm* out, double value) {
    ArticSrchCall call(self);
    ArticSrchPut(call.OutVal(out), value);
    return call.Result();
}

}  // namespace

int CArticSrchPow::Search() {
    ArticSrchCall call(this);
    double x = 0.0, y = 0.0;
    call.Num(m_pRulElmI1, &x);
    call.Num(m_pRulElmI2, &y);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    ArticSrchPut(out, call.Ok() ? std::pow(x, y) : 0.0);
    return call.Result();
}

int CArticSrchGetBit::Search() {
    ArticSrchCall call(this);
    double v = 0.0, bit = 0.0;
    call.Num(m_pRulElmI1, &v);
    call.Num(m_pRulElmI2, &bit);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    int k = 0;
    const bool set = call.Ok() && srchnum::BitIndex(bit, &k) && ((DoubleToULong(v) >> k) & 1u);
    ArticSrchPut(out, set ? 1.0 : 0.0);
    return call.Result();
}

int CArticSrchPutBit::Search() {
    ArticSrchCall call(this);
    double v = 0.0, bit = 0.0, on = 0.0;
    call.Num(m_pRulElmI1, &v);
    call.Num(m_pRulElmI2, &bit);
    call.Num(m_pRulElmI3, &on);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    double value = 0.0;
    if (call.Ok()) {
        uint32_t bits = DoubleToULong(v);
        int k = 0;
        if (srchnum::BitIndex(bit, &k)) bits = DoubleToULong(on) != 0 ? bits | (1u << k) : bits & ~(1u << k);
        value = double(bits);
    }
    ArticSrchPut(out, value);
    return call.Result();
}

int CArticSrchRnd::Search() {
    double range = 0.0;
    if (!ReadAllOrStop(this, {{m_pRulElmI1, &range}})) return 0;
    ArticSrchCall call(this);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    if (!call.Ok()) return 1;
    const double r = std::fabs(range);
    ArticSrchPut(out, CArticUtil::Rand3(-r, r) + 0.0);  // + 0.0: a range of 0 gives 0.0, not -0.0
    return 0;
}

int CArticSrchInt::Search() {
    double x = 0.0;
    if (!ReadAllOrStop(this, {{m_pRulElmI1, &x}})) return 0;
    return WriteOut(this, m_pRulElmO1, std::isfinite(x) ? double(DoubleToLong(x)) : 0.0);
}

int CArticSrchFrac::Search() {
    ArticSrchCall call(this);
    double x = 0.0;
    call.Num(m_pRulElmI1, &x);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    ArticSrchPut(out, call.Ok() ? x - std::trunc(x) : 0.0);
    return call.Result();
}

int CArticSrchRem::Search() {
    double a = 0.0, b = 0.0;
    if (!ReadAllOrStop(this, {{m_pRulElmI1, &a}, {m_pRulElmI2, &b}})) return 0;
    // 64-bit, so that the minimum by -1 gives 0 instead of a trap.
    const INT64 n = DoubleToLong(a), d = DoubleToLong(b);
    return WriteOut(this, m_pRulElmO1, d == 0 ? 0.0 : double(n % d));
}

int CArticSrchSelType::Search() {
    double type = 0.0, a = 0.0, b = 0.0;
    if (!ReadAllOrStop(this, {{m_pRulElmI1, &type}, {m_pRulElmI2, &a}, {m_pRulElmI3, &b}})) return 0;
    ArticSrchCall call(this);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    double value = 0.0;
    switch (DoubleToLong(type)) {
        case 0: value = a > b ? a : b; break;
        case 1: value = a < b ? a : b; break;
        case 2: value = a != 0.0 ? a : b; break;
        default: call.Refuse(m_pRulElmI1); break;
    }
    ArticSrchPut(out, value);
    return call.Result();
}

int CArticSrchSelSw::Search() {
    double sw = 0.0;
    if (!ReadAllOrStop(this, {{m_pRulElmI1, &sw}})) return 0;
    ArticSrchCall call(this);
    double a = 0.0, b = 0.0;
    const bool okA = call.Num(m_pRulElmI2, &a);
    const bool okB = call.Num(m_pRulElmI3, &b);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    if (sw != 0.0) {
        ArticSrchPut(out, okB ? b : 0.0);
    } else {
        ArticSrchPut(out, okA ? a : 0.0);
    }
    return call.Result();
}

int CArticSrchSelEvntSw::Search() {
    double sw = 0.0;
    if (!ReadAllOrStop(this, {{m_pRulElmI1, &sw}})) return 0;
    ArticSrchCall call(this);
    CArticWrkEvnt* ev1 = call.Evnt(m_pRulElmI2);
    CArticWrkEvnt* ev2 = call.Evnt(m_pRulElmI3);
    ArticSrchPut(call.OutEvnt(m_pRulElmO1), sw != 0.0 ? ev2 : ev1);
    return call.Result();
}

int CArticSrchCopy::Search() {
    double x = 0.0;
    if (!ReadAllOrStop(this, {{m_pRulElmI1, &x}})) return 0;
    return WriteOut(this, m_pRulElmO1, x);
}
