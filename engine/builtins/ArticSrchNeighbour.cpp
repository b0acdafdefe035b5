#include "engine/builtins/ArticSrchNeighbour.h"

#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkUtil.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchFirstEvnt, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchLastEvnt, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchFirstEvntMeas, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchLastEvntMeas, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchFirstEvntMeas2, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchLastEvntMeas2, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchFirstEvntMeas3, CArticSrchPow);
VX_IMPLEMENT_CLASS(CArticSrchLastEvntMeas3, CArticSrchPow);
VX_IMPLEMENT_CLASS(CArticSrchPreNum, CArticSrchNum);
VX_IMPLEMENT_CLASS(CArticSrchNextNum, CArticSrchNum);
VX_IMPLEMENT_CLASS(CArticSrchWrkPreNum, CArticSrchNum);
VX_IMPLEMENT_CLASS(CArticSrchWrkNextNum, CArticSrchNum);
VX_IMPLEMENT_CLASS(CArticSrchWrkFirstEvnt, CArticSrchWrk);
VX_IMPLEMENT_CLASS(CArticSrchWrkLastEvnt, CArticSrchWrk);
VX_IMPLEMENT_CLASS(CArticSrchWrkFirstEvntMeas, CArticSrchWrk);
VX_IMPLEMENT_CLASS(CArticSrchWrkLastEvntMeas, CArticSrchWrk);
VX_IMPLEMENT_CLASS(CArticSrchWrkFirstEvntMeas2, CArticSrchWrkFirstEvntMeas);
VX_IMPLEMENT_CLASS(CArticSrchWrkLastEvntMeas2, CArticSrchWrkLastEvntMeas);
VX_IMPLEMENT_CLASS(CArticSrchWrkFirstEvntMeas3, CArticSrchPow);
VX_IMPLEMENT_CLASS(CArticSrchWrkLastEvntMeas3, CArticSrchPow);
VX_IMPLEMENT_CLASS(CArticSrchAreaType, CArticSrchDurCont);
VX_IMPLEMENT_CLASS(CArticSrchAreaTypeWrk, CArticSrchAreaType);

namespace {

// What a search reports when it finds nothing.
enum class Miss { Silent, Flag };

// The work data of the built-in's set, or null.
CArticWrk* WorkOf(CArticSrchEvnt* self) { return self->GetRulSet() ? self->GetRulSet()->GetWrk() : nullptr; }

// Writes the note found into the output; for Miss::Flag a search that finds
// nothing sets the current note's error flag (no failure).
int Found(CArticSrchEvnt* self, ArticSrchCall& call, CArticRulDataEvnt* out, CArticWrkEvnt* found, Miss miss) {
    if (call.Ok() && !found && miss == Miss::Flag) self->SetErrInfo();
    ArticSrchPut(out, found);
    return call.Result();
}

// From a note operand: find(note) into the event output.
template <class Find>
int FromNote(CArticSrchEvnt* self, CArticRulElm* ev, CArticRulElm* out, Miss miss, Find find) {
    ArticSrchCall call(self);
    CArticWrkEvnt* note = call.Evnt(ev);
    CArticRulDataEvnt* var = call.OutEvnt(out);
    return Found(self, call, var, call.Ok() ? find(note) : nullptr, miss);
}

// A time operand, refused when negative, as whole ticks.
bool TimeTicks(ArticSrchCall& call, CArticRulElm* elm, INT64* ticks) {
    double t = 0.0;
    if (!call.Num(elm, &t)) return false;
    if (!(t >= 0.0)) {
        call.Refuse(elm);
        return false;
    }
    *ticks = INT64(DoubleToULong(t));
    return true;
}

// From a time (and an offset when given): find(time, offset) into the event output.
template <class Find>
int FromTime(CArticSrchEvnt* self, CArticRulElm* time, CArticRulElm* offset, CArticRulElm* out, Find find) {
    ArticSrchCall call(self);
    INT64 t = 0, o = 0;
    TimeTicks(call, time, &t);
    if (offset) TimeTicks(call, offset, &o);
    CArticRulDataEvnt* var = call.OutEvnt(out);
    return Found(self, call, var, call.Ok() ? find(t, o) : nullptr, Miss::Flag);
}

// The n-th neighbour: n truncated when above 0, else 0 (which finds nothing).
template <class Find>
int Counted(CArticSrchEvnt* self, CArticRulElm* ev, CArticRulElm* n, CArticRulElm* out, Find find) {
    ArticSrchCall call(self);
    CArticWrkEvnt* note = call.Evnt(ev);
    double count = 0.0;
    call.Num(n, &count);
    CArticRulDataEvnt* var = call.OutEvnt(out);
    const int k = srchnum::Count(count);
    return Found(self, call, var, call.Ok() && k > 0 ? find(note, k) : nullptr, Miss::Flag);
}

// on + delta in whole ticks, saturated, and 0 when negative.
INT64 WindowEdge(INT64 on, double delta) {
    const INT64 edge = srchnum::AddTicks(on, srchnum::Ticks(delta));
    return edge < 0 ? 0 : edge;
}

}  // namespace

int CArticSrchFirstEvnt::Search() {
    return FromNote(this, m_pRulElmI1, m_pRulElmO1, Miss::Silent, [this](CArticWrkEvnt* n) {
        CArticWrkEvnt* r = nullptr;
        GetFirstWrkEvnt(n, &r);
        return r;
    });
}

int CArticSrchLastEvnt::Search() {
    return FromNote(this, m_pRulElmI1, m_pRulElmO1, Miss::Silent, [this](CArticWrkEvnt* n) {
        CArticWrkEvnt* r = nullptr;
        GetLastWrkEvnt(n, &r);
        return r;
    });
}

int CArticSrchFirstEvntMeas::Search() {
    return FromNote(this, m_pRulElmI1, m_pRulElmO1, Miss::Flag, [this](CArticWrkEvnt* n) {
        CArticWrkEvnt* r = nullptr;
        GetFirstMeasWrkEvnt(n, &r);
        return r;
    });
}

int CArticSrchLastEvntMeas::Search() {
    return FromNote(this, m_pRulElmI1, m_pRulElmO1, Miss::Flag, [this](CArticWrkEvnt* n) {
        CArticWrkEvnt* r = nullptr;
        GetLastMeasWrkEvnt(n, &r);
        return r;
    });
}

int CArticSrchFirstEvntMeas2::Search() {
    return FromTime(this, m_pRulElmI1, nullptr, m_pRulElmO1, [this](INT64 t, INT64) {
        CArticWrkEvnt* r = nullptr;
        GetFirstMeasWrkEvnt(t, &r);
        return r;
    });
}

int CArticSrchLastEvntMeas2::Search() {
    return FromTime(this, m_pRulElmI1, nullptr, m_pRulElmO1, [this](INT64 t, INT64) {
        CArticWrkEvnt* r = nullptr;
        GetLastMeasWrkEvnt(t, &r);
        return r;
    });
}

int CArticSrchFirstEvntMeas3::Search() {
    return FromTime(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, [this](INT64 t, INT64 o) {
        CArticWrkEvnt* r = nullptr;
        GetFirstMeasWrkEvnt(t, o, &r);
        return r;
    });
}

int CArticSrchLastEvntMeas3::Search() {
    return FromTime(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, [this](INT64 t, INT64 o) {
        CArticWrkEvnt* r = nullptr;
        GetLastMeasWrkEvnt(t, o, &r);
        return r;
    });
}

int CArticSrchPreNum::Search() {
    return Counted(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, [this](CArticWrkEvnt* n, int k) {
        CArticWrkEvnt* r = nullptr;
        GetPrevWrkEvnt(n, ULONG(k), &r);
        return r;
    });
}

int CArticSrchNextNum::Search() {
    return Counted(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, [this](CArticWrkEvnt* n, int k) {
        CArticWrkEvnt* r = nullptr;
        GetNextWrkEvnt(n, ULONG(k), &r);
        return r;
    });
}

int CArticSrchWrkPreNum::Search() {
    return Counted(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1,
                   [](CArticWrkEvnt* n, int k) { return CArticWrkUtil::GetWrkPrevNumNote(n, k); });
}

int CArticSrchWrkNextNum::Search() {
    return Counted(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1,
                   [](CArticWrkEvnt* n, int k) { return CArticWrkUtil::GetWrkNextNumNote(n, k); });
}

int CArticSrchWrkFirstEvnt::Search() {
    ArticSrchCall call(this);
    CArticRulDataEvnt* out = call.OutEvnt(m_pRulElmO1);
    CArticWrk* wrk = WorkOf(this);
    if (!wrk) call.Fail();
    return Found(this, call, out, call.Ok() ? wrk->GetFirstEvntInEvntPosArray(1) : nullptr, Miss::Silent);
}

int CArticSrchWrkLastEvnt::Search() {
    ArticSrchCall call(this);
    CArticRulDataEvnt* out = call.OutEvnt(m_pRulElmO1);
    CArticWrk* wrk = WorkOf(this);
    if (!wrk) call.Fail();
    return Found(this, call, out, call.Ok() ? wrk->GetLastEvntInEvntPosArray(1) : nullptr, Miss::Silent);
}

int CArticSrchWrkFirstEvntMeas::Search() {
    CArticWrk* wrk = WorkOf(this);
    return FromNote(this, m_pRulElmI1, m_pRulElmO1, Miss::Flag, [wrk](CArticWrkEvnt* n) {
        return wrk ? wrk->GetFirstEvntInEvntPosArray(static_cast<const CArticWrkEvnt*>(n), 1) : nullptr;
    });
}

int CArticSrchWrkLastEvntMeas::Search() {
    CArticWrk* wrk = WorkOf(this);
    return FromNote(this, m_pRulElmI1, m_pRulElmO1, Miss::Flag, [wrk](CArticWrkEvnt* n) {
        return wrk ? wrk->GetLastEvntInEvntPosArray(static_cast<const CArticWrkEvnt*>(n), 1) : nullptr;
    });
}

int CArticSrchWrkFirstEvntMeas2::Search() {
    CArticWrk* wrk = WorkOf(this);
    return FromTime(this, m_pRulElmI1, nullptr, m_pRulElmO1, [wrk](INT64 t, INT64) {
        return wrk ? wrk->GetFirstEvntInEvntPosArray(t, 1) : nullptr;
    });
}

int CArticSrchWrkLastEvntMeas2::Search() {
    CArticWrk* wrk = WorkOf(this);
    return FromTime(this, m_pRulElmI1, nullptr, m_pRulElmO1, [wrk](INT64 t, INT64) {
        return wrk ? wrk->GetLastEvntInEvntPosArray(t, 1) : nullptr;
    });
}

int CArticSrchWrkFirstEvntMeas3::Search() {
    CArticWrk* wrk = WorkOf(this);
    return FromTime(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, [wrk](INT64 t, INT64 o) {
        return wrk ? wrk->GetFirstEvntInEvntPosArray(t, o, 1) : nullptr;
    });
}

int CArticSrchWrkLastEvntMeas3::Search() {
    CArticWrk* wrk = WorkOf(this);
    return FromTime(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, [wrk](INT64 t, INT64 o) {
        return wrk ? wrk->GetLastEvntInEvntPosArray(t, o, 1) : nullptr;
    });
}

int CArticSrchAreaType::Search() {
    ArticSrchCall call(this);
    double type = 0.0, from = 0.0, to = 0.0, key = 0.0;
    call.Num(m_pRulElmI1, &type);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI2);
    call.Num(m_pRulElmI3, &from);
    call.Num(m_pRulElmI4, &to);
    call.Num(m_pRulElmI5, &key);
    CArticRulDataEvnt* out = call.OutEvnt(m_pRulElmO1);
    CArticRulDataVal* found = call.OutVal(m_pRulElmO2);
    CArticWrkEvnt* hit = nullptr;
    if (call.Ok() && !(type >= 0.0 && type <= 1.0)) call.Fail();  // silently
    if (call.Ok()) {
        const bool last = type >= 1.0;
        const INT64 start = WindowEdge(note->GetTime(), from), end = WindowEdge(note->GetTime(), to);
        const LONG k = DoubleToLong(key);
        const BYTE wanted = BYTE(k < 0 ? 0 : k > 127 ? 127 : k);
        if (FindInWindow(note, start, end, wanted, last, &hit) != 0) call.Fail();
    }
    ArticSrchPut(out, hit);
    ArticSrchPut(found, hit ? 1.0 : 0.0);
    return call.Result();
}

int CArticSrchAreaType::FindInWindow(CArticWrkEvnt* note, INT64 start, INT64 end, BYTE key, bool last,
                                     CArticWrkEvnt** hit) {
    CArticWrkEvntList list(10);
    CArticWrkUtil::GetAreaNote(note->GetOwner(), note, start, end, key, &list);
    *hit = list.IsEmpty() ? nullptr : last ? list.GetTail() : list.GetHead();
    return 0;
}

int CArticSrchAreaTypeWrk::FindInWindow(CArticWrkEvnt* note, INT64 start, INT64 end, BYTE key, bool last,
                                        CArticWrkEvnt** hit) {
    *hit = nullptr;
    CArticWrk* wrk = WorkOf(this);
    CArticWrkEvntList list(10);
    if (!wrk || wrk->GetAreaWrkEvntInEvntPosArray(start, end, 1, &list) != 0) return 1;
    for (POSITION p = last ? list.GetTailPosition() : list.GetHeadPosition(); p;) {
        CArticWrkEvnt* e = last ? list.GetPrev(p) : list.GetNext(p);
        if (e != note && e->GetPost1() == key) {
            *hit = e;
            break;
        }
    }
    return 0;
}
