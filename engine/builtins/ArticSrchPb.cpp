#include "engine/builtins/ArticSrchPb.h"

#include <algorithm>

#include "engine/builtins/ArticSrchCall.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkUtil.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchPbExist, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchPbMaxMin, CArticSrchPbExist);
VX_IMPLEMENT_CLASS(CArticSrchPbNonCycle, CArticSrchPbExist);
VX_IMPLEMENT_CLASS(CArticSrchGetPb, CArticSrchPbExist);
VX_IMPLEMENT_CLASS(CArticSrchGetAfctPb, CArticSrchPbExist);
VX_IMPLEMENT_CLASS(CArticSrchPbCyclic, CArticSrchPbExist);
VX_IMPLEMENT_CLASS(CArticSrchCcExist, CArticSrchIs);
VX_IMPLEMENT_CLASS(CArticSrchCcMaxMin, CArticSrchCcExist);
VX_IMPLEMENT_CLASS(CArticSrchCcNonCycle, CArticSrchCcExist);
VX_IMPLEMENT_CLASS(CArticSrchGetCc, CArticSrchCcExist);
VX_IMPLEMENT_CLASS(CArticSrchGetAfctCc, CArticSrchCcExist);

namespace {

// The inputs of a window query in script order: the note, from, to and, for
// the controller queries, the controller number.
struct Window {
    CArticWrkEvnt* note = nullptr;
    INT64 from = 0, to = 0;
    BYTE cc = 0;
};

// Reads the note, from and to (and cc when ccElm is given): false when a read failed.
bool ReadWindow(ArticSrchCall& call, CArticRulElm* ev, CArticRulElm* from, CArticRulElm* to, CArticRulElm* ccElm,
                Window* w) {
    double f = 0.0, t = 0.0, cc = 0.0;
    w->note = call.Evnt(ev);
    call.Num(from, &f);
    call.Num(to, &t);
    if (ccElm) call.Num(ccElm, &cc);
    w->from = srchnum::Ticks(f);
    w->to = srchnum::Ticks(t);
    w->cc = srchnum::LowByte(cc);
    return call.Ok();
}

// Writes one value (0.0 unless the reads succeeded): the query's result, or
// 1 for a failed read.
int PutQuery(ArticSrchCall& call, CArticRulDataVal* out, double value, int result) {
    ArticSrchPut(out, call.Ok() ? value : 0.0);
    return call.Ok() ? result : 1;
}

// Stores the list's events in the array from index 0 without emptying it.
void PutOver(CArticRulDataAry* ary, CArticWrkEvntList& list) {
    if (!ary) return;
    int i = 0;
    for (POSITION p = list.GetHeadPosition(); p;) ary->SetDataEvnt(i++, list.GetNext(p));
}

bool IsBendEvnt(const CArticWrkEvnt* e) { return e && (e->GetStatus() & 0xF0) == 0xE0; }

// A bend's value in cents with the bend range in force at its own time,
// truncated toward zero into 16 bits.
short CentsOf(CArticWrkEvnt* e) {
    const LONG raw = LONG(e->GetPost2() & 0x7F) * 128 + LONG(e->GetPost1() & 0x7F) - 8192;
    const double cents = double(raw) / 8192.0 * CArticWrkUtil::GetPbRangeWrk(e->GetOwner(), e->GetTime()) * 100.0;
    return short(std::clamp<INT64>(DoubleToInt64(cents), -32768, 32767));
}

}  // namespace

// ---- Window queries of the bend (the controller number unused) and of one controller

namespace {

struct SignalQueries {
    int (*exist)(CArticWrkEvnt*, INT64, INT64, BYTE, int*);
    int (*maxMin)(CArticWrkEvnt*, INT64, INT64, BYTE, int*, double*, double*);
    int (*nonCycle)(CArticWrkEvnt*, INT64, INT64, BYTE, int*);
    int (*area)(CArticWrkEvnt*, INT64, INT64, BYTE, CArticWrkEvntList*);
};

const SignalQueries kBend = {
    [](CArticWrkEvnt* e, INT64 f, INT64 t, BYTE, int* x) { return CArticWrkUtil::GetAreaPbExist(e, f, t, x); },
    [](CArticWrkEvnt* e, INT64 f, INT64 t, BYTE, int* x, double* hi, double* lo) {
        return CArticWrkUtil::GetAreaPbMaxMin(e, f, t, x, hi, lo);
    },
    [](CArticWrkEvnt* e, INT64 f, INT64 t, BYTE, int* d) { return CArticWrkUtil::GetAreaPbNonSycle(e, f, t, d); },
    [](CArticWrkEvnt* e, INT64 f, INT64 t, BYTE, CArticWrkEvntList* l) { return CArticWrkUtil::GetAreaPb(e, f, t, l); },
};

const SignalQueries kController = {&CArticWrkUtil::GetAreaCcExist, &CArticWrkUtil::GetAreaCcMaxMin,
                                   &CArticWrkUtil::GetAreaCcNonSycle, &CArticWrkUtil::GetAreaCc};

// The window inputs of a query in script order: ev, from, to and cc (null for the bend).
using WindowElms = CArticRulElm* const[4];

int RunExist(CArticSrchEvnt* self, const SignalQueries& q, WindowElms& in, CArticRulElm* outElm) {
    ArticSrchCall call(self);
    Window w;
    ReadWindow(call, in[0], in[1], in[2], in[3], &w);
    CArticRulDataVal* out = call.OutVal(outElm);
    int exist = 0, result = 1;
    if (call.Ok()) result = q.exist(w.note, w.from, w.to, w.cc, &exist);
    return PutQuery(call, out, exist ? 1.0 : 0.0, result);
}

int RunMaxMin(CArticSrchEvnt* self, const SignalQueries& q, WindowElms& in, CArticRulElm* const (&outElms)[3]) {
    ArticSrchCall call(self);
    Window w;
    ReadWindow(call, in[0], in[1], in[2], in[3], &w);
    CArticRulDataVal* exists = call.OutVal(outElms[0]);
    CArticRulDataVal* max = call.OutVal(outElms[1]);
    CArticRulDataVal* min = call.OutVal(outElms[2]);
    int exist = 0, result = 1;
    double hi = 0.0, lo = 0.0;
    if (call.Ok()) result = q.maxMin(w.note, w.from, w.to, w.cc, &exist, &hi, &lo);
    PutQuery(call, max, hi, result);
    PutQuery(call, min, lo, result);
    return PutQuery(call, exists, exist ? 1.0 : 0.0, result);
}

int RunNonCycle(CArticSrchEvnt* self, const SignalQueries& q, WindowElms& in, CArticRulElm* outElm) {
    ArticSrchCall call(self);
    Window w;
    ReadWindow(call, in[0], in[1], in[2], in[3], &w);
    CArticRulDataVal* out = call.OutVal(outElm);
    int dir = 3, result = 1;
    if (call.Ok()) result = q.nonCycle(w.note, w.from, w.to, w.cc, &dir);
    return PutQuery(call, out, dir, result);
}

int RunArea(CArticSrchEvnt* self, const SignalQueries& q, WindowElms& in, CArticRulElm* outElm) {
    ArticSrchCall call(self);
    Window w;
    ReadWindow(call, in[0], in[1], in[2], in[3], &w);
    CArticRulDataAry* ary = call.OutAry(outElm);
    if (!call.Ok()) return 1;
    CArticWrkEvntList list(10);
    const int result = q.area(w.note, w.from, w.to, w.cc, &list);
    PutOver(ary, list);
    return result;
}

}  // namespace

#define VX_SRCH_BEND_IN {m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, nullptr}
#define VX_SRCH_CC_IN {m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, m_pRulElmI4}
int CArticSrchPbExist::Search() { return RunExist(this, kBend, VX_SRCH_BEND_IN, m_pRulElmO1); }
int CArticSrchPbMaxMin::Search() {
    return RunMaxMin(this, kBend, VX_SRCH_BEND_IN, {m_pRulElmO1, m_pRulElmO2, m_pRulElmO3});
}
int CArticSrchPbNonCycle::Search() { return RunNonCycle(this, kBend, VX_SRCH_BEND_IN, m_pRulElmO1); }
int CArticSrchGetPb::Search() { return RunArea(this, kBend, VX_SRCH_BEND_IN, m_pRulElmO1); }
int CArticSrchCcExist::Search() { return RunExist(this, kController, VX_SRCH_CC_IN, m_pRulElmO1); }
int CArticSrchCcMaxMin::Search() {
    return RunMaxMin(this, kController, VX_SRCH_CC_IN, {m_pRulElmO1, m_pRulElmO2, m_pRulElmO3});
}
int CArticSrchCcNonCycle::Search() { return RunNonCycle(this, kController, VX_SRCH_CC_IN, m_pRulElmO1); }
int CArticSrchGetCc::Search() { return RunArea(this, kController, VX_SRCH_CC_IN, m_pRulElmO1); }
#undef VX_SRCH_BEND_IN
#undef VX_SRCH_CC_IN

namespace {

// Reads the note and two numbers a, b and writes level(note, a, b): 0, or 1
// and 0.0 for a failed read.
int RunLevel(CArticSrchEvnt* self, CArticRulElm* const (&in)[3], CArticRulElm* outElm,
             double (*level)(CArticWrkEvnt*, double, double)) {
    ArticSrchCall call(self);
    CArticWrkEvnt* note = call.Evnt(in[0]);
    double a = 0.0, b = 0.0;
    call.Num(in[1], &a);
    call.Num(in[2], &b);
    CArticRulDataVal* out = call.OutVal(outElm);
    return PutQuery(call, out, call.Ok() ? level(note, a, b) : 0.0, 0);
}

}  // namespace

int CArticSrchGetAfctPb::Search() {
    auto level = [](CArticWrkEvnt* e, double unit, double t) {
        return double(CArticWrkUtil::GetPbLevel(e, srchnum::Ticks(t), srchnum::LowByte(unit)));
    };
    return RunLevel(this, {m_pRulElmI1, m_pRulElmI2, m_pRulElmI3}, m_pRulElmO1, level);
}

int CArticSrchGetAfctCc::Search() {
    auto level = [](CArticWrkEvnt* e, double cc, double t) {
        return double(CArticWrkUtil::GetContCcLevel(e, srchnum::Ticks(t), srchnum::LowByte(cc)));
    };
    return RunLevel(this, {m_pRulElmI1, m_pRulElmI2, m_pRulElmI3}, m_pRulElmO1, level);
}

// ---- Cyclic bend

CArticSrchPbCyclic::CArticSrchPbCyclic(CArticRulSet* set, ULONG no, E i1, E i2, E i3, E i4, E i5, E i6, E i7, E o1,
                                       E o2, E o3, E o4, E o5, E o6, E o7, E o8)
    : CArticSrchPbExist(set, no, i1, i2, i3, o1) {
    CArticRulElm** ins[] = {&m_pRulElmI4, &m_pRulElmI5, &m_pRulElmI6, &m_pRulElmI7};
    E inArgs[] = {i4, i5, i6, i7};
    for (int k = 0; k < 4; ++k) BindRulElm(ins[k], inArgs[k]);
    CArticRulElm** outs[] = {&m_pRulElmO2, &m_pRulElmO3, &m_pRulElmO4, &m_pRulElmO5,
                             &m_pRulElmO6, &m_pRulElmO7, &m_pRulElmO8};
    E outArgs[] = {o2, o3, o4, o5, o6, o7, o8};
    for (int k = 0; k < 7; ++k) BindRulElm(outs[k], outArgs[k]);
    SetInNum(7);
    SetOutNum(8);
}

CArticSrchPbCyclic::~CArticSrchPbCyclic() {
    for (CArticRulElm** slot : {&m_pRulElmI4, &m_pRulElmI5, &m_pRulElmI6, &m_pRulElmI7, &m_pRulElmO2, &m_pRulElmO3,
                                &m_pRulElmO4, &m_pRulElmO5, &m_pRulElmO6, &m_pRulElmO7, &m_pRulElmO8})
        DeleteRulElm(slot);
}

void CArticSrchPbCyclic::GetInRulElmList(CArticRulElmList* list) {
    CArticSrchPbExist::GetInRulElmList(list);
    for (CArticRulElm* e : {m_pRulElmI4, m_pRulElmI5, m_pRulElmI6, m_pRulElmI7})
        if (list && e) list->AddTail(e);
}

void CArticSrchPbCyclic::GetOutRulElmList(CArticRulElmList* list) {
    CArticSrchPbExist::GetOutRulElmList(list);
    for (CArticRulElm* e : {m_pRulElmO2, m_pRulElmO3, m_pRulElmO4, m_pRulElmO5, m_pRulElmO6, m_pRulElmO7, m_pRulElmO8})
        if (list && e) list->AddTail(e);
}

void CArticSrchPbCyclic::Init() {
    m_pNote = nullptr;
    m_Retry = m_From = m_To = m_Spread = m_Gap = 0.0;
    m_Ratio = 1.0;
    InitOutVal();
}

void CArticSrchPbCyclic::InitOutVal() {
    m_Cyclic = 0;
    m_Cycles = 0;
    m_Longest = 0;
    m_Shortest = srchnum::Ticks(m_To - m_From);
    m_HighMid = -32768;
    m_LowMid = 32767;
    m_FirstTurn = srchnum::Ticks(m_From);
    m_LastTurn = srchnum::Ticks(m_To);
}

int CArticSrchPbCyclic::Search() {
    Init();
    ArticSrchCall call(this);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI1);
    double in[6] = {};
    CArticRulElm* const ins[6] = {m_pRulElmI2, m_pRulElmI3, m_pRulElmI4, m_pRulElmI5, m_pRulElmI6, m_pRulElmI7};
    for (int k = 0; k < 6; ++k) call.Num(ins[k], &in[k]);
    CArticRulElm* const outElms[8] = {m_pRulElmO1, m_pRulElmO2, m_pRulElmO3, m_pRulElmO4,
                                      m_pRulElmO5, m_pRulElmO6, m_pRulElmO7, m_pRulElmO8};
    CArticRulDataVal* outs[8] = {};
    for (int k = 0; k < 8; ++k) outs[k] = call.OutVal(outElms[k]);
    int result = 1;
    if (call.Ok()) {
        m_pNote = note;
        m_Retry = in[0];
        m_From = in[1];
        m_To = in[2];
        m_Ratio = in[3];
        m_Spread = in[4];
        m_Gap = in[5];
        result = SearchMain();
    }
    const double values[8] = {double(m_Cyclic),   double(m_Cycles), double(m_Longest),   double(m_Shortest),
                              double(m_HighMid), double(m_LowMid), double(m_FirstTurn), double(m_LastTurn)};
    for (int k = 0; k < 8; ++k) ArticSrchPut(outs[k], values[k]);
    return result;
}

int CArticSrchPbCyclic::SearchMain() {
    CArticWrkEvntList list(10);
    if (CArticWrkUtil::GetAreaPb(m_pNote, srchnum::Ticks(m_From), srchnum::Ticks(m_To), &list) != 0) return 1;
    Points window;
    for (POSITION p = list.GetHeadPosition(); p;) window.push_back(list.GetNext(p));
    Points turns, excluded;
    int again = 0;
    int result = SearchCorner(window, &turns, &excluded, &again);
    while (result == 0 && again) result = SearchCorner(window, &turns, &excluded, &again);
    if (result != 0) return result;
    int cyclic = 0;
    while (turns.size() >= 5) {
        if (EvaCyclic(turns, &cyclic) != 0) break;
        if (m_Retry == 0.0 || cyclic) break;
        // Trim the first and the last turning point and try again.
        turns.erase(turns.begin());
        turns.pop_back();
    }
    m_Cyclic = BYTE(cyclic);
    return 0;
}

int CArticSrchPbCyclic::SearchCorner(const Points& window, Points* turns, Points* excluded, int* again) {
    *again = 0;
    Points pass;
    if (window.empty() || !window.front() || !window.front()->GetOwner()) return 1;
    m_Longest = 0;
    m_Shortest = srchnum::Ticks(m_To - m_From);
    m_HighMid = -32768;
    m_LowMid = 32767;
    short prev = CArticWrkUtil::GetPbLevel(window.front(), srchnum::Ticks(m_From), 1);
    enum { Undecided, Rising, Falling } dir = Undecided;
    bool first = true, pending = false;
    INT64 prevT = 0;
    CArticWrkEvnt* prevEvent = nullptr;
    int result = 0;
    for (CArticWrkEvnt* e : window) {
        if (!e) {
            result = 1;
            continue;
        }
        if (std::find(excluded->begin(), excluded->end(), e) != excluded->end()) continue;
        const short c = IsBendEvnt(e) ? CentsOf(e) : prev;
        const INT64 t = e->GetTime();
        const bool turn = (dir == Rising && c < prev) || (dir == Falling && c > prev);
        if (dir == Undecided) {
            dir = c > prev ? Rising : c < prev ? Falling : Undecided;
            pending = false;
        } else if (turn) {
            if (first || !pending || t - prevT >= srchnum::Ticks(m_Gap)) {
                first = false;
                pass.push_back(prevEvent);
                dir = dir == Rising ? Falling : Rising;
                pending = true;
            } else {
                // A double turn followed too soon: drop the point recorded last and start over.
                *again = 1;
                if (pass.empty()) return 1;
                excluded->push_back(pass.back());
                return result;
            }
        } else {
            pending = false;
        }
        prev = c;
        prevT = t;
        prevEvent = e;
    }
    turns->insert(turns->end(), pass.begin(), pass.end());
    return result;
}

int CArticSrchPbCyclic::EvaCyclic(const Points& turns, int* cyclic) {
    *cyclic = 0;
    InitOutVal();
    Points points;
    for (CArticWrkEvnt* p : turns)
        if (p) points.push_back(p);
    int closing = 0;
    for (size_t i = 0; i < points.size(); i += 2) {
        ++closing;
        if (i < 2) continue;
        const INT64 length = points[i]->GetTime() - points[i - 2]->GetTime();
        m_Longest = std::max(m_Longest, length);
        m_Shortest = std::min(m_Shortest, length);
        const short mid = short((int(CentsOf(points[i - 1])) + int(CentsOf(points[i]))) / 2);
        m_HighMid = std::max(m_HighMid, mid);
        m_LowMid = std::min(m_LowMid, mid);
    }
    m_Cycles = closing - 1;
    if (m_Cycles <= 0) return 0;
    if (m_Longest != 0 && double(m_Shortest) / double(m_Longest) >= m_Ratio) *cyclic = 1;
    // The spread saturates at the 16-bit range rather than wrapping.
    LONG spread = 0;
    srchnum::ClampLong(m_Spread, &spread);
    spread = std::clamp<LONG>(spread, -32768, 32767);
    if (*cyclic && int(m_HighMid) - int(m_LowMid) > spread) *cyclic = 0;
    m_FirstTurn = points.front()->GetTime();
    m_LastTurn = points.back()->GetTime();
    return 0;
}
