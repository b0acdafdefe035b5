#include "engine/builtins/ArticSrchContext.h"

#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticWrkUtil.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchIsChord, CArticSrchDurCmp);
VX_IMPLEMENT_CLASS(CArticSrchNonChord, CArticSrchOffTime);
VX_IMPLEMENT_CLASS(CArticSrchWrkNonChord, CArticSrchOffTime);
VX_IMPLEMENT_CLASS(CArticSrchHarmoPre, CArticSrchOffTime);
VX_IMPLEMENT_CLASS(CArticSrchHarmoNext, CArticSrchOffTime);
VX_IMPLEMENT_CLASS(CArticSrchHarmoWrkPre, CArticSrchOffTime);
VX_IMPLEMENT_CLASS(CArticSrchHarmoWrkNext, CArticSrchOffTime);
VX_IMPLEMENT_CLASS(CArticSrchPreRest, CArticSrchDur);
VX_IMPLEMENT_CLASS(CArticSrchWrkPreRest, CArticSrchDur);
VX_IMPLEMENT_CLASS(CArticSrchIsPre, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchIsNext, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchIsWrkPre, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchIsWrkNext, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchIsEvnt, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchIsSameEvnt, CArticSrchKey);
VX_IMPLEMENT_CLASS(CArticSrchTime, CArticSrchVal);
VX_IMPLEMENT_CLASS(CArticSrchWrkTime, CArticSrchVal);

namespace {

// A range argument in whole ticks; a negative one counts as 0.
INT64 RangeTicks(double range) {
    const INT64 r = srchnum::Ticks(range);
    return r < 0 ? 0 : r;
}

// NonChord and WrkNonChord: the note after ev's chord into the event output.
template <class Find>
int AfterChord(CArticSrchEvnt* self, CArticRulElm* ev, CArticRulElm* range, CArticRulElm* out, Find find) {
    ArticSrchCall call(self);
    CArticWrkEvnt* note = call.Evnt(ev);
    double r = 0.0;
    call.Num(range, &r);
    CArticRulDataEvnt* var = call.OutEvnt(out);
    CArticWrkEvnt* found = nullptr;
    if (call.Ok()) find(note, RangeTicks(r), 1, &found);
    ArticSrchPut(var, found);
    return call.Result();
}

// The harmony tests: a range of 0 or less fails without a report.
int Harmony(CArticSrchEvnt* self, CArticRulElm* ev, CArticRulElm* range, CArticRulElm* out,
            int (*find)(CArticWrkEvnt*, INT64, CArticWrkEvnt**)) {
    ArticSrchCall call(self);
    CArticWrkEvnt* note = call.Evnt(ev);
    double r = 0.0;
    call.Num(range, &r);
    CArticRulDataVal* var = call.OutVal(out);
    CArticWrkEvnt* partner = nullptr;
    if (call.Ok()) {
        const INT64 ticks = srchnum::Ticks(r);
        if (ticks <= 0) {
            call.Fail();
        } else {
            find(note, ticks, &partner);
        }
    }
    ArticSrchPut(var, partner ? 1.0 : 0.0);
    return call.Result();
}

// The neighbour tests: a missing neighbour is 0.0 and no failure.
template <class Step>
int HasNeighbour(CArticSrchEvnt* self, CArticRulElm* ev, CArticRulElm* out, Step step) {
    ArticSrchCall call(self);
    CArticWrkEvnt* note = call.Evnt(ev);
    CArticRulDataVal* var = call.OutVal(out);
    ArticSrchPut(var, call.Ok() && step(note) ? 1.0 : 0.0);
    return call.Result();
}

// PreRest and WrkPreRest: the block compares with len as unsigned 32-bit
// ticks, the work order with len as signed 64-bit ticks.
int RestBefore(CArticSrchEvnt* self, CArticRulElm* ev, CArticRulElm* len, CArticRulElm* out, bool work) {
    ArticSrchCall call(self);
    CArticWrkEvnt* note = call.Evnt(ev);
    double l = 0.0;
    call.Num(len, &l);
    CArticRulDataVal* var = call.OutVal(out);
    bool enough = false;
    if (call.Ok()) {
        const INT64 rest = work ? CArticWrkUtil::GetWrkPrevRest(note) : CArticWrkUtil::GetPrevRest(note);
        enough = rest >= (work ? DoubleToInt64(l) : INT64(DoubleToULong(l)));
    }
    ArticSrchPut(var, enough ? 1.0 : 0.0);
    return call.Result();
}

// A time range of the Time built-ins: false (a silent failure) for a
// negative bound; *empty when start is not before end.
bool TimeRange(double start, double end, INT64* from, INT64* to, bool* empty) {
    if (!(start >= 0.0) || !(end >= 0.0)) return false;
    *from = INT64(DoubleToULong(start));
    *to = INT64(DoubleToULong(end));
    *empty = *from >= *to;
    return true;
}

}  // namespace

int CArticSrchIsChord::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* a = call.Evnt(m_pRulElmI1);
    CArticWrkEvnt* b = call.Evnt(m_pRulElmI2);
    double range = 0.0;
    call.Num(m_pRulElmI3, &range);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    ArticSrchPut(out, call.Ok() && CArticWrkUtil::GetIsChordWrkEvnt(a, b, RangeTicks(range)) ? 1.0 : 0.0);
    return call.Result();
}

int CArticSrchNonChord::Search() {
    return AfterChord(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, &CArticWrkUtil::GetNonChordWrkEvnt);
}

int CArticSrchWrkNonChord::Search() {
    return AfterChord(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, &CArticWrkUtil::GetWrkNonChordWrkEvnt);
}

int CArticSrchHarmoPre::Search() {
    return Harmony(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, &CArticWrkUtil::GetPrevChordWrkEvnt);
}

int CArticSrchHarmoNext::Search() {
    return Harmony(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, &CArticWrkUtil::GetNextChordWrkEvnt);
}

int CArticSrchHarmoWrkPre::Search() {
    return Harmony(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, &CArticWrkUtil::GetWrkPrevChordWrkEvnt);
}

int CArticSrchHarmoWrkNext::Search() {
    return Harmony(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, &CArticWrkUtil::GetWrkNextChordWrkEvnt);
}

int CArticSrchPreRest::Search() { return RestBefore(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, false); }

int CArticSrchWrkPreRest::Search() { return RestBefore(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, true); }

int CArticSrchIsPre::Search() {
    return HasNeighbour(this, m_pRulElmI1, m_pRulElmO1, [this](CArticWrkEvnt* n) {
        CArticWrkEvnt* r = nullptr;
        return GetPrevWrkEvnt(n, &r) == 0 && r;
    });
}

int CArticSrchIsNext::Search() {
    return HasNeighbour(this, m_pRulElmI1, m_pRulElmO1, [this](CArticWrkEvnt* n) {
        CArticWrkEvnt* r = nullptr;
        return GetNextWrkEvnt(n, &r) == 0 && r;
    });
}

int CArticSrchIsWrkPre::Search() {
    return HasNeighbour(this, m_pRulElmI1, m_pRulElmO1,
                        [](CArticWrkEvnt* n) { return CArticWrkUtil::GetWrkPrevNoteEvnt(n) != nullptr; });
}

int CArticSrchIsWrkNext::Search() {
    return HasNeighbour(this, m_pRulElmI1, m_pRulElmO1,
                        [](CArticWrkEvnt* n) { return CArticWrkUtil::GetWrkNextNoteEvnt(n) != nullptr; });
}

int CArticSrchIsEvnt::Search() {
    return HasNeighbour(this, m_pRulElmI1, m_pRulElmO1, [](CArticWrkEvnt*) { return true; });
}

int CArticSrchIsSameEvnt::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* a = call.Evnt(m_pRulElmI1);
    CArticWrkEvnt* b = call.Evnt(m_pRulElmI2);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    ArticSrchPut(out, call.Ok() && a == b ? 1.0 : 0.0);
    return call.Result();
}

int CArticSrchTime::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI1);
    double start = 0.0, end = 0.0;
    call.Num(m_pRulElmI2, &start);
    call.Num(m_pRulElmI3, &end);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    int flags = 0;
    INT64 from = 0, to = 0;
    bool empty = false;
    if (call.Ok()) {
        if (!TimeRange(start, end, &from, &to, &empty)) {
            call.Fail();
        } else if (!empty && CArticWrkUtil::CheckNoteEvnt(note->GetOwner(), from, to, 1, flags) != 0) {
            flags = 0;
            call.Fail();
        }
    }
    ArticSrchPut(out, double(flags));
    return call.Result();
}

int CArticSrchWrkTime::Search() {
    ArticSrchCall call(this);
    double start = 0.0, end = 0.0;
    call.Num(m_pRulElmI1, &start);
    call.Num(m_pRulElmI2, &end);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    int flags = 0;
    INT64 from = 0, to = 0;
    bool empty = false;
    if (call.Ok()) {
        CArticWrk* wrk = GetRulSet() ? GetRulSet()->GetWrk() : nullptr;
        if (!TimeRange(start, end, &from, &to, &empty)) {
            call.Fail();
        } else if (!empty && CArticWrkUtil::CheckNoteWrkEvnt(wrk, from, to, flags) != 0) {
            flags = 0;  // no selected track
            call.Fail();
        }
    }
    ArticSrchPut(out, double(flags));
    return call.Result();
}
