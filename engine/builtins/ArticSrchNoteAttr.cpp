#include "engine/builtins/ArticSrchNoteAttr.h"

#include <cmath>

#include "engine/builtins/ArticSrchCall.h"
#include "engine/work/ArticTicks.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrkUtil.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchKeySummit, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchDurCmp, CArticSrchDur);
VX_IMPLEMENT_CLASS(CArticSrchDurMore, CArticSrchDur);
VX_IMPLEMENT_CLASS(CArticSrchDurLess, CArticSrchDur);
VX_IMPLEMENT_CLASS(CArticSrchDurCont, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchKeyCmp, CArticSrchKey);
VX_IMPLEMENT_CLASS(CArticSrchKeyMore, CArticSrchKey);
VX_IMPLEMENT_CLASS(CArticSrchKeyLess, CArticSrchKey);
VX_IMPLEMENT_CLASS(CArticSrchVeloCmp, CArticSrchVelo);
VX_IMPLEMENT_CLASS(CArticSrchVeloMore, CArticSrchVelo);
VX_IMPLEMENT_CLASS(CArticSrchVeloLess, CArticSrchVelo);
VX_IMPLEMENT_CLASS(CArticSrchOnTimeCmp, CArticSrchOnTime);
VX_IMPLEMENT_CLASS(CArticSrchOnTimeMore, CArticSrchOnTime);
VX_IMPLEMENT_CLASS(CArticSrchOnTimeLess, CArticSrchOnTime);
VX_IMPLEMENT_CLASS(CArticSrchOffTimeCmp, CArticSrchOffTime);
VX_IMPLEMENT_CLASS(CArticSrchOffTimeMore, CArticSrchOffTime);
VX_IMPLEMENT_CLASS(CArticSrchOffTimeLess, CArticSrchOffTime);

namespace {

// Reads the note, the value, the tolerance (when the built-in has one) and
// the output, then writes test(note, value, tolerance) as 1.0 / 0.0.
template <class Test>
int CompareNote(CArticSrchEvnt* self, CArticRulElm* ev, CArticRulElm* value, CArticRulElm* tol, CArticRulElm* out,
                Test test) {
    ArticSrchCall call(self);
    CArticWrkEvnt* note = call.Evnt(ev);
    double v = 0.0, t = 0.0;
    call.Num(value, &v);
    if (tol) call.Num(tol, &t);
    CArticRulDataVal* var = call.OutVal(out);
    ArticSrchPut(var, call.Ok() && test(note, v, t) ? 1.0 : 0.0);
    return call.Result();
}

// A tick band: the centre W and the bounds max(W - T, 0) .. W + T.
struct TickBand {
    INT64 centre, lo, hi;
};
TickBand BandOf(INT64 centre, INT64 tol) { return {centre, centre > tol ? centre - tol : 0, srchnum::AddTicks(centre, tol)}; }

// The gate band of the Dur built-ins: both values as unsigned 32-bit ticks.
TickBand DurBand(double dur, double tol) {
    return BandOf(INT64(DoubleToULong(dur)), INT64(DoubleToULong(std::fabs(tol))));
}

enum class NoteTime { On, Off };

// The time comparisons: when is a tick time or, failing that, a position
// text converted through hook. A text that does not convert returns 1 and
// leaves the output alone, recording nothing.
template <class Hook, class Test>
int CompareTime(CArticSrchEvnt* self, Hook hook, CArticRulElm* ev, CArticRulElm* when, CArticRulElm* tol,
                CArticRulElm* out, NoteTime which, Test test) {
    ArticSrchCall call(self);
    CArticWrkEvnt* note = call.Evnt(ev);
    double number = 0.0, t = 0.0;
    CString text;
    bool isText = false;
    if (self->GetData(when, &number) != 0) {
        if (self->GetData(when, &text) == 0) {
            isText = true;
        } else {
            call.Refuse(when);
        }
    }
    if (tol) call.Num(tol, &t);
    CArticRulDataVal* var = call.OutVal(out);
    if (!call.Ok()) {
        ArticSrchPut(var, 0.0);
        return 1;
    }
    const INT64 tolTicks = INT64(DoubleToULong(std::fabs(t)));
    INT64 centre = INT64(DoubleToULong(number));
    if (isText) {
        CExString rest(text);
        ULONG meas = 0, beat = 0, tick = 0;
        if (CArticUtil::GetMeas(rest, &meas, &beat, &tick) != 0 || hook(meas, beat, tick, &centre) != 0) return 1;
    }
    const INT64 at = which == NoteTime::On ? note->GetTime() : articticks::OffTime(note);
    ArticSrchPut(var, test(at, BandOf(centre, tolTicks)) ? 1.0 : 0.0);
    return 0;
}

bool InBand(INT64 t, const TickBand& b) { return b.lo <= t && t <= b.hi; }
bool After(INT64 t, const TickBand& b) { return t > b.centre; }
bool Before(INT64 t, const TickBand& b) { return t < b.centre; }

}  // namespace

int CArticSrchKeySummit::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI1);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    double value = 0.0;
    if (call.Ok()) {
        CArticWrkEvnt* prev = nullptr;
        CArticWrkEvnt* next = nullptr;
        GetPrevWrkEvnt(note, &prev);
        GetNextWrkEvnt(note, &next);
        const BYTE key = note->GetPost1();
        if (prev && next && prev->GetPost1() < key && next->GetPost1() < key) value = 1.0;
    }
    ArticSrchPut(out, value);
    return call.Result();
}

int CArticSrchDurCmp::Search() {
    return CompareNote(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, m_pRulElmO1,
                       [](CArticWrkEvnt* n, double d, double t) { return InBand(n->GetGateTime(), DurBand(d, t)); });
}

int CArticSrchDurMore::Search() {
    return CompareNote(this, m_pRulElmI1, m_pRulElmI2, nullptr, m_pRulElmO1,
                       [](CArticWrkEvnt* n, double d, double) { return After(n->GetGateTime(), DurBand(d, 0)); });
}

int CArticSrchDurLess::Search() {
    return CompareNote(this, m_pRulElmI1, m_pRulElmI2, nullptr, m_pRulElmO1,
                       [](CArticWrkEvnt* n, double d, double) { return Before(n->GetGateTime(), DurBand(d, 0)); });
}

int CArticSrchDurCont::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI1);
    double dur = 0.0, count = 0.0, tol = 0.0;
    call.Num(m_pRulElmI2, &dur);
    if (call.Num(m_pRulElmI3, &count) && !(count >= 2.0)) call.Refuse(m_pRulElmI3);
    if (call.Num(m_pRulElmI4, &tol) && !(tol >= 0.0)) call.Refuse(m_pRulElmI4);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    double value = 0.0;
    if (call.Ok()) {
        const ULONG d = DoubleToULong(dur), t = DoubleToULong(tol);
        // The bounds and the gates compare as signed 32-bit numbers.
        const int32_t lo = int32_t(d - t), hi = int32_t(d + t);
        const LONG steps = DoubleToLong(count);
        LONG matched = 0;
        // A string that ends before count notes matched cannot match any more.
        for (CArticWrkEvnt* cur = note; cur && matched < steps; cur = CArticWrkUtil::GetNextGenNote(cur)) {
            const int32_t gate = int32_t(uint32_t(uint64_t(cur->GetGateTime())));
            if (gate < lo || gate > hi) break;
            if (++matched == steps) value = 1.0;
        }
    }
    ArticSrchPut(out, value);
    return call.Result();
}

int CArticSrchKeyCmp::Search() {
    return CompareNote(this, m_pRulElmI1, m_pRulElmI2, nullptr, m_pRulElmO1,
                       [](CArticWrkEvnt* n, double k, double) { return n->GetPost1() == srchnum::LowByte(k); });
}

int CArticSrchKeyMore::Search() {
    return CompareNote(this, m_pRulElmI1, m_pRulElmI2, nullptr, m_pRulElmO1,
                       [](CArticWrkEvnt* n, double k, double) { return n->GetPost1() > srchnum::LowByte(k); });
}

int CArticSrchKeyLess::Search() {
    return CompareNote(this, m_pRulElmI1, m_pRulElmI2, nullptr, m_pRulElmO1,
                       [](CArticWrkEvnt* n, double k, double) { return n->GetPost1() < srchnum::LowByte(k); });
}

int CArticSrchVeloCmp::Search() {
    return CompareNote(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, m_pRulElmO1,
                       [](CArticWrkEvnt* n, double velo, double tol) {
                           const INT64 v = DoubleToLong(velo), t = DoubleToLong(std::fabs(tol));
                           const int lo = v > t ? BYTE(v - t) : 0;
                           const int hi = v + t > 127 ? 127 : BYTE(v + t);
                           return lo <= n->GetPost2() && n->GetPost2() <= hi;
                       });
}

int CArticSrchVeloMore::Search() {
    return CompareNote(this, m_pRulElmI1, m_pRulElmI2, nullptr, m_pRulElmO1,
                       [](CArticWrkEvnt* n, double v, double) { return n->GetPost2() > srchnum::LowByte(v); });
}

int CArticSrchVeloLess::Search() {
    return CompareNote(this, m_pRulElmI1, m_pRulElmI2, nullptr, m_pRulElmO1,
                       [](CArticWrkEvnt* n, double v, double) { return n->GetPost2() < srchnum::LowByte(v); });
}

#define VX_SRCH_TIME(Cls, Tol, Which, Test)                                                                    \
    int Cls::Search() {                                                                                       \
        auto hook = [this](ULONG m, ULONG b, ULONG t, INT64* time) { return GetTime(m, b, t, time); };         \
        return CompareTime(this, hook, m_pRulElmI1, m_pRulElmI2, Tol, m_pRulElmO1, NoteTime::Which, Test);     \
    }
VX_SRCH_TIME(CArticSrchOnTimeCmp, m_pRulElmI3, On, InBand)
VX_SRCH_TIME(CArticSrchOnTimeMore, nullptr, On, After)
VX_SRCH_TIME(CArticSrchOnTimeLess, nullptr, On, Before)
VX_SRCH_TIME(CArticSrchOffTimeCmp, m_pRulElmI3, Off, InBand)
VX_SRCH_TIME(CArticSrchOffTimeMore, nullptr, Off, After)
VX_SRCH_TIME(CArticSrchOffTimeLess, nullptr, Off, Before)
#undef VX_SRCH_TIME
