#include "engine/builtins/ArticSrchSwing.h"

#include "engine/builtins/ArticSrchArrayEvnt.h"
#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkUtil.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchNoteInfoSwapDur, CArticSrchVal);
VX_IMPLEMENT_CLASS(CArticSrchNoteInfoSwapKey, CArticSrchVal);
VX_IMPLEMENT_CLASS(CArticSrchNoteInfoSwapOnTime, CArticSrchVal);
VX_IMPLEMENT_CLASS(CArticSrchNoteInfoSwapVelo, CArticSrchVal);
VX_IMPLEMENT_CLASS(CArticSrchSwapArrayEvntNoteInfo, CArticSrchVal);
VX_IMPLEMENT_CLASS(CArticSrchNoteInfoTimeFromMeas, CArticSrchVal);
VX_IMPLEMENT_CLASS(CArticSrchSwing, CArticSrchAreaType);
VX_IMPLEMENT_CLASS(CArticSrchNoteInfoSwing, CArticSrchSwing);

namespace {

using SwapOp = int (*)(CArticWrkEvnt*, int);

// The exchanges by attribute kind: on-time, gate time, key, velocity.
const SwapOp kSwaps[4] = {&CArticWrkUtil::SwapOnTime, &CArticWrkUtil::SwapGateTime, &CArticWrkUtil::SwapNote,
                          &CArticWrkUtil::SwapVelo};

// One note's exchange: ok 1.0 when it was done; a slot outside 0..9 and,
// when notesOnly, an event that is no note fail without a report.
int SwapOne(CArticSrchEvnt* self, CArticRulElm* ev, CArticRulElm* idx, CArticRulElm* ok, SwapOp swap,
            bool notesOnly) {
    ArticSrchCall call(self);
    CArticWrkEvnt* note = call.Evnt(ev);
    double i = 0.0;
    call.Num(idx, &i);
    CArticRulDataVal* out = call.OutVal(ok);
    int slot = 0;
    if (call.Ok() && (!srchnum::SlotIndex(i, &slot) || (notesOnly && !srcharray::IsNote(note)))) call.Fail();
    if (call.Ok() && swap(note, slot) != 0) call.Fail();
    ArticSrchPut(out, call.Ok() ? 1.0 : 0.0);
    return call.Result();
}

}  // namespace

int CArticSrchNoteInfoSwapDur::Search() {
    return SwapOne(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, kSwaps[1], true);
}
int CArticSrchNoteInfoSwapKey::Search() {
    return SwapOne(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, kSwaps[2], true);
}
int CArticSrchNoteInfoSwapOnTime::Search() {
    return SwapOne(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, kSwaps[0], false);
}
int CArticSrchNoteInfoSwapVelo::Search() {
    return SwapOne(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmO1, kSwaps[3], true);
}

int CArticSrchSwapArrayEvntNoteInfo::Search() {
    ArticSrchCall call(this);
    double kind = 0.0, idx = 0.0;
    call.Num(m_pRulElmI1, &kind);
    call.Num(m_pRulElmI2, &idx);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    int slot = 0;
    if (!call.Ok() || !srchnum::SlotIndex(idx, &slot) || !rul) return ArticSrchFail(out);
    const int32_t k = DoubleToLong(kind);
    double ok = 1.0;
    int result = 1;  // an array without notes exchanges nothing
    for (CArticWrkEvnt* note : srcharray::Notes(rul)) {
        result = k >= 0 && k <= 3 ? kSwaps[k](note, slot) : 1;
        if (result != 0) ok = 0.0;
    }
    ArticSrchPut(out, ok);
    return result;
}

int CArticSrchNoteInfoTimeFromMeas::GetTime(ULONG meas, ULONG beat, ULONG tick, INT64* time) {
    CArticWrk* wrk = GetRulSet() ? GetRulSet()->GetWrk() : nullptr;
    return wrk ? wrk->GetEvntTime(meas, beat, tick, time) : 1;
}

int CArticSrchNoteInfoTimeFromMeas::GetMeas(INT64 time, ULONG* meas, ULONG* beat, ULONG* tick) {
    CArticWrk* wrk = GetRulSet() ? GetRulSet()->GetWrk() : nullptr;
    return wrk ? wrk->GetEvntMeas(time, meas, beat, tick) : 1;
}

int CArticSrchNoteInfoTimeFromMeas::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI1);
    double idx = 0.0;
    call.Num(m_pRulElmI2, &idx);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    int slot = 0;
    if (call.Ok() && (!srchnum::SlotIndex(idx, &slot) || note->GetNoteInfo(slot) < 0)) call.Fail();
    double value = 0.0;
    if (call.Ok()) {
        ULONG meas = 0, beat = 0, tick = 0;
        INT64 start = 0;
        if (GetMeas(note->GetTime(), &meas, &beat, &tick) != 0 || GetTime(meas, 1, 0, &start) != 0) {
            call.Fail();
        } else {
            const INT64 offset = INT64(note->GetNoteInfo(slot)) - start;
            value = offset > 0 ? double(offset) : 0.0;
        }
    }
    ArticSrchPut(out, value);
    return call.Result();
}

// ---- Swing simulation

CArticSrchSwing::CArticSrchSwing(CArticRulSet* set, ULONG no, E i1, E i2, E i3, E i4, E i5, E i6, E o1, E o2)
    : CArticSrchAreaType(set, no, i1, i2, i3, i4, i5, o1, o2) {
    BindRulElm(&m_pRulElmI6, i6);
    SetInNum(6);
}

CArticSrchSwing::~CArticSrchSwing() { DeleteRulElm(&m_pRulElmI6); }

void CArticSrchSwing::GetInRulElmList(CArticRulElmList* list) {
    CArticSrchAreaType::GetInRulElmList(list);
    if (list && m_pRulElmI6) list->AddTail(m_pRulElmI6);
}

void CArticSrchSwing::SimInit() {
    m_Type = 0;
    m_pNote = nullptr;
    m_GroupTime = 0;
    m_DevNum = 0;
    m_Point = 0;
    m_PointTime = 0;
    m_NewTime = 0;
    m_NewDur = 0;
}

void CArticSrchSwing::Store(double type, CArticWrkEvnt* note, const double (&group)[4]) {
    m_Type = srchnum::LowByte(type);
    m_pNote = note;
    m_GroupTime = srchnum::Unsigned(group[0]);
    m_DevNum = srchnum::LowByte(group[1]);
    m_Point = srchnum::LowByte(group[2]);
    m_PointTime = srchnum::Unsigned(group[3]);
}

int CArticSrchSwing::WriteResults(CArticRulDataVal* time, CArticRulDataVal* dur, int result) {
    ArticSrchPut(time, double(m_NewTime));
    ArticSrchPut(dur, double(m_NewDur));
    return result;
}

int CArticSrchSwing::Search() {
    SimInit();
    ArticSrchCall call(this);
    double type = 0.0, group[4] = {};
    call.Num(m_pRulElmI1, &type);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI2);
    CArticRulElm* const elms[4] = {m_pRulElmI3, m_pRulElmI4, m_pRulElmI5, m_pRulElmI6};
    for (int i = 0; i < 4; ++i) call.Num(elms[i], &group[i]);
    CArticRulDataVal* time = call.OutVal(m_pRulElmO1);
    CArticRulDataVal* dur = call.OutVal(m_pRulElmO2);
    if (!call.Ok()) return WriteResults(time, dur, 1);
    Store(type, note, group);
    return WriteResults(time, dur, SimToWrk());
}

int CArticSrchSwing::SimToWrk() {
    return SimWrkSwingType01(m_Type & 1, (m_Type & 2) ? 0 : 1, (m_Type & 4) ? 0 : 1);
}

int CArticSrchSwing::MapTimes(INT64 on, INT64 off, BYTE alignOrigin, BYTE moveOn, BYTE moveOff) {
    // A zero group length has no grid to align to nor groups to map.
    if (m_GroupTime == 0) return 1;
    const INT64 origin = alignOrigin ? on / INT64(m_GroupTime) * INT64(m_GroupTime) : on;
    INT64 gOn = 0, gOff = 0;
    int result = CArticWrkUtil::GetMathGroupTime(origin, m_GroupTime, on, &gOn);
    if (result == 0) result = CArticWrkUtil::GetMathGroupTime(origin, m_GroupTime, off, &gOff);
    if (result != 0) return result;
    INT64 newOn = on, newOff = off;
    if (moveOn) {
        result = CArticWrkUtil::GetMathCopyFig(gOn, srchnum::AddTicks(gOn, INT64(m_GroupTime)), on, m_DevNum, m_Point, m_PointTime, &newOn);
        if (result != 0) return result;
    }
    if (moveOff) {
        result = CArticWrkUtil::GetMathCopyFig(gOff, srchnum::AddTicks(gOff, INT64(m_GroupTime)), off, m_DevNum, m_Point, m_PointTime, &newOff);
        if (result != 0) return result;
    }
    m_NewTime = newOn;
    m_NewDur = newOff > newOn ? newOff - newOn : 0;
    return 0;
}

int CArticSrchSwing::SimWrkSwingType01(BYTE alignOrigin, BYTE moveOn, BYTE moveOff) {
    if (!m_pNote) return 1;
    const INT64 on = m_pNote->GetTime();
    return MapTimes(on, srchnum::AddTicks(on, m_pNote->GetGateTime()), alignOrigin, moveOn, moveOff);
}

CArticSrchNoteInfoSwing::CArticSrchNoteInfoSwing(CArticRulSet* set, ULONG no, E i1, E i2, E i3, E i4, E i5, E i6,
                                                 E i7, E i8, E o1, E o2)
    : CArticSrchSwing(set, no, i1, i2, i3, i4, i5, i6, o1, o2) {
    BindRulElm(&m_pRulElmI7, i7);
    BindRulElm(&m_pRulElmI8, i8);
    SetInNum(8);
}

CArticSrchNoteInfoSwing::~CArticSrchNoteInfoSwing() {
    DeleteRulElm(&m_pRulElmI7);
    DeleteRulElm(&m_pRulElmI8);
}

void CArticSrchNoteInfoSwing::GetInRulElmList(CArticRulElmList* list) {
    CArticSrchSwing::GetInRulElmList(list);
    if (list && m_pRulElmI7) list->AddTail(m_pRulElmI7);
    if (list && m_pRulElmI8) list->AddTail(m_pRulElmI8);
}

void CArticSrchNoteInfoSwing::SimInit() {
    CArticSrchSwing::SimInit();
    m_OnIdx = 0;
    m_DurIdx = 0;
}

int CArticSrchNoteInfoSwing::Search() {
    SimInit();
    ArticSrchCall call(this);
    double type = 0.0, onIdx = 0.0, durIdx = 0.0, group[4] = {};
    call.Num(m_pRulElmI1, &type);
    CArticWrkEvnt* note = call.Evnt(m_pRulElmI2);
    call.Num(m_pRulElmI3, &onIdx);
    call.Num(m_pRulElmI4, &durIdx);
    CArticRulElm* const elms[4] = {m_pRulElmI5, m_pRulElmI6, m_pRulElmI7, m_pRulElmI8};
    for (int i = 0; i < 4; ++i) call.Num(elms[i], &group[i]);
    CArticRulDataVal* time = call.OutVal(m_pRulElmO1);
    CArticRulDataVal* dur = call.OutVal(m_pRulElmO2);
    if (!call.Ok()) return WriteResults(time, dur, 1);
    // A slot outside 0..9: no simulation, no report.
    if (!srchnum::SlotIndex(onIdx, &m_OnIdx) || !srchnum::SlotIndex(durIdx, &m_DurIdx))
        return WriteResults(time, dur, 0);
    Store(type, note, group);
    return WriteResults(time, dur, SimToWrk());
}

int CArticSrchNoteInfoSwing::SimWrkSwingType01(BYTE alignOrigin, BYTE moveOn, BYTE moveOff) {
    if (!m_pNote) return 1;
    const INT64 on = m_pNote->GetNoteInfo(m_OnIdx);
    const INT64 length = m_pNote->GetNoteInfo(m_DurIdx);
    if (on < 0 || length < 0) return 1;
    return MapTimes(on, on + length, alignOrigin, moveOn, moveOff);
}
