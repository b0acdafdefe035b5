#include "engine/builtins/ArticSrchValue.h"

#include <cmath>

#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrk.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchLim, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchValCmp, CArticSrchVal);
VX_IMPLEMENT_CLASS(CArticSrchValMore, CArticSrchVal);
VX_IMPLEMENT_CLASS(CArticSrchValLess, CArticSrchVal);
VX_IMPLEMENT_CLASS(CArticSrchValToHexStr, CArticSrchVal);
VX_IMPLEMENT_CLASS(CArticSrchMeasToMeas, CArticSrchMeas);
VX_IMPLEMENT_CLASS(CArticSrchMeasToBeat, CArticSrchMeas);
VX_IMPLEMENT_CLASS(CArticSrchMeasToTick, CArticSrchMeas);
VX_IMPLEMENT_CLASS(CArticSrchTimeToMeas, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchTimeFromMeas, CArticSrchTimeToMeas);

namespace {

// The widest text ValToHexStr writes: 64 bytes, 128 digits.
constexpr double kHexStrMaxBytes = 64.0;

// The part of a "bar/beat/tick" text a MeasTo built-in gives.
enum class MeasPart { Meas, Beat, Tick };

// Reads t and the output; a text that is not three valid fields gives 0.0
// and result 1 without a recorded error.
int MeasPartSearch(CArticSrchEvnt* self, CArticRulElm* in, CArticRulElm* out, MeasPart part) {
    ArticSrchCall call(self);
    CString text;
    call.Text(in, &text);
    CArticRulDataVal* var = call.OutVal(out);
    double value = 0.0;
    if (call.Ok()) {
        CExString rest(text);
        ULONG meas = 0, beat = 0, tick = 0;
        if (CArticUtil::GetMeas(rest, &meas, &beat, &tick) != 0) {
            call.Fail();
        } else {
            value = part == MeasPart::Meas ? meas : part == MeasPart::Beat ? beat : tick;
        }
    }
    ArticSrchPut(var, value);
    return call.Result();
}

// Reads a, b (and the tolerance, taken as its absolute value) and writes
// test(a, b, tol) as 1.0 / 0.0; 0.0 on failure.
template <class Test>
int CompareValues(CArticSrchEvnt* self, CArticRulElm* a, CArticRulElm* b, CArticRulElm* tol, CArticRulElm* out,
                  Test test) {
    ArticSrchCall call(self);
    double x = 0.0, y = 0.0, t = 0.0;
    call.Num(a, &x);
    call.Num(b, &y);
    if (tol) call.Num(tol, &t);
    CArticRulDataVal* var = call.OutVal(out);
    ArticSrchPut(var, call.Ok() && test(x, y, std::fabs(t)) ? 1.0 : 0.0);
    return call.Result();
}

}  // namespace

int CArticSrchLim::Search() {
    ArticSrchCall call(this);
    double x = 0.0, lo = 0.0, hi = 0.0;
    call.Num(m_pRulElmI1, &x);
    call.Num(m_pRulElmI2, &lo);
    call.Num(m_pRulElmI3, &hi);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    double value = x;
    if (call.Ok() && hi >= lo) value = lo > x ? lo : x > hi ? hi : x;
    ArticSrchPut(out, value);
    return call.Result();
}

int CArticSrchValCmp::Search() {
    return CompareValues(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, m_pRulElmO1,
                         [](double a, double b, double tol) { return b - tol <= a && a <= b + tol; });
}

int CArticSrchValMore::Search() {
    return CompareValues(this, m_pRulElmI1, m_pRulElmI2, nullptr, m_pRulElmO1,
                         [](double a, double b, double) { return a > b; });
}

int CArticSrchValLess::Search() {
    return CompareValues(this, m_pRulElmI1, m_pRulElmI2, nullptr, m_pRulElmO1,
                         [](double a, double b, double) { return a < b; });
}

int CArticSrchValToHexStr::Search() {
    ArticSrchCall call(this);
    double v = 0.0, bytes = 0.0;
    if (call.Num(m_pRulElmI1, &v) && !(v >= 0.0)) call.Refuse(m_pRulElmI1);
    // Wider values only gain leading zeros; the bound keeps a mistyped width
    // from asking for a text of millions of digits.
    if (call.Num(m_pRulElmI2, &bytes) && !(bytes >= 1.0 && bytes < kHexStrMaxBytes + 1.0))
        call.Refuse(m_pRulElmI2);
    CArticRulDataStr* out = call.OutStr(m_pRulElmO1);
    CString text;
    if (call.Ok()) {
        const int digits = 2 * int(DoubleToLong(bytes));
        const double largest = digits < 8 ? std::ldexp(1.0, 4 * digits) - 1.0 : 2147483647.0;
        ULONG n = 0;
        if (std::trunc(v) > largest) {
            n = ULONG(largest);
            call.Refuse(m_pRulElmO1);  // the text is still produced, at the largest value
        } else {
            n = ULONG(v);
        }
        text.Format("%0*lx", digits, static_cast<unsigned long>(n));
    }
    ArticSrchPut(out, text);
    return call.Result();
}

int CArticSrchMeasToMeas::Search() { return MeasPartSearch(this, m_pRulElmI1, m_pRulElmO1, MeasPart::Meas); }
int CArticSrchMeasToBeat::Search() { return MeasPartSearch(this, m_pRulElmI1, m_pRulElmO1, MeasPart::Beat); }
int CArticSrchMeasToTick::Search() { return MeasPartSearch(this, m_pRulElmI1, m_pRulElmO1, MeasPart::Tick); }

int CArticSrchTimeToMeas::GetMeas(INT64 time, ULONG* meas, ULONG* beat, ULONG* tick) {
    CArticWrk* wrk = GetRulSet() ? GetRulSet()->GetWrk() : nullptr;
    return wrk ? wrk->GetEvntMeas(time, meas, beat, tick) : 1;
}

int CArticSrchTimeToMeas::Search() {
    ArticSrchCall call(this);
    double time = 0.0;
    call.Num(m_pRulElmI1, &time);
    CArticRulDataStr* out = call.OutStr(m_pRulElmO1);
    CString text;
    int result = call.Result();
    if (call.Ok()) {
        ULONG meas = 0, beat = 0, tick = 0;
        if (!(time >= 0.0)) {
            result = 1;  // a negative time fails without a report
        } else if ((result = GetMeas(INT64(DoubleToULong(time)), &meas, &beat, &tick)) == 0) {
            text.Format("%d/%d/%d", int(meas), int(beat), int(tick));
        }
    }
    ArticSrchPut(out, text);
    return result;
}

int CArticSrchTimeFromMeas::GetTime(ULONG meas, ULONG beat, ULONG tick, INT64* time) {
    CArticWrk* wrk = GetRulSet() ? GetRulSet()->GetWrk() : nullptr;
    return wrk ? wrk->GetEvntTime(meas, beat, tick, time) : 1;
}

int CArticSrchTimeFromMeas::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI1);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    double value = 0.0;
    if (call.Ok()) {
        const INT64 t = note->GetTime();
        ULONG meas = 0, beat = 0, tick = 0;
        INT64 start = 0;
        if (GetMeas(t, &meas, &beat, &tick) != 0 || GetTime(meas, 1, 0, &start) != 0) {
            call.Fail();
        } else if (t > start) {
            value = double(t - start);
        }
    }
    ArticSrchPut(out, value);
    return call.Result();
}
