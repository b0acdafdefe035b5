#include "engine/builtins/ArticSrchArrayRead.h"

#include <algorithm>

#include "services/ArticTimeInfo.h"
#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRul.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticSrchAddArrayEvnt, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchAddArrayEvntNoteInfo, CArticSrchAddArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchGetArrayEvntType, CArticSrchGetArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchGetArrayEvntAry, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchGetDupArrayEvnt, CArticSrchGetArrayEvntAry);
VX_IMPLEMENT_CLASS(CArticSrchGetHarmoArrayEvntAry, CArticSrchGetArrayEvntAry);
VX_IMPLEMENT_CLASS(CArticSrchProcArea, CArticSrchGetArrayEvntAry);

int CArticSrchAddArrayEvntNoteInfo::Search() {
    ArticSrchCall call(this);
    double idx = 0.0, v = 0.0;
    int slot = 0;
    if (call.Num(m_pRulElmI1, &idx) && !srchnum::SlotIndex(idx, &slot)) call.Refuse(m_pRulElmI1);
    if (!call.Num(m_pRulElmI2, &v)) return 1;
    CArticRul* rul = call.Rul();
    if (!call.Ok() || !rul) return 1;
    LONG start = 0;
    srchnum::ClampLong(v, &start);
    // 64-bit sum of 32-bit slots: no overflow for any array the program can hold.
    INT64 acc = start;
    for (CArticWrkEvnt* note : srcharray::Notes(rul)) {
        acc += note->GetNoteInfo(slot);
        note->SetNoteInfo(slot, LONG(std::clamp<INT64>(acc, INT32_MIN, INT32_MAX)));
    }
    return 0;
}

int CArticSrchGetArrayEvntType::Search() {
    ArticSrchCall call(this);
    double kind = 0.0, value = 0.0;
    call.Num(m_pRulElmI1, &kind);
    if (call.Num(m_pRulElmI2, &value) && value < 0.0) call.Refuse(m_pRulElmI2);
    CArticRulDataEvnt* out = call.OutEvnt(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    CArticWrkEvnt* note = nullptr;
    if (!call.Ok() || !rul) {
        call.Fail();
        ArticSrchPut(out, note);
        return 1;
    }
    const BYTE byte = srchnum::LowByte(value);
    // A time beyond 32 bits matches no note.
    const bool timeFits = value < 4294967296.0;
    const ULONG time = timeFits ? DoubleToULong(value) : 0;
    int result = 0;
    switch (DoubleToLong(kind)) {
        case 0: result = rul->SearchFwdKeyRulDataEvntArray(byte, &note); break;
        case 1: result = rul->SearchRvsKeyRulDataEvntArray(byte, &note); break;
        case 2: result = timeFits ? rul->SearchFwdTimeRulDataEvntArray(time, &note) : 0; break;
        case 3: result = timeFits ? rul->SearchRvsTimeRulDataEvntArray(time, &note) : 0; break;
        case 4: result = rul->SearchFwdGenRulDataEvntArray(byte, &note); break;
        case 5: result = rul->SearchRvsGenRulDataEvntArray(byte, &note); break;
        default: result = 1; break;  // silently
    }
    ArticSrchPut(out, note);
    return result;
}

int CArticSrchGetArrayEvntAry::Run(CArticWrkEvnt* ev, bool evOk) {
    ArticSrchCall call(this);
    if (!evOk) call.Fail();
    CArticRulDataAry* ary = call.OutAry(m_pRulElmO1);
    CArticRulDataVal* n = call.OutVal(m_pRulElmO2);
    CArticRul* rul = call.Rul();
    if (!call.Ok() || !rul) return ArticSrchFail(n);
    const std::vector<CArticWrkEvnt*> picked = Pick(srcharray::Notes(rul), ev);
    ary->ClearRulDataEvntArray();
    for (size_t i = 0; i < picked.size(); ++i) ary->SetDataEvnt(int(i), picked[i]);
    ArticSrchPut(n, double(picked.size()));
    return 0;
}

std::vector<CArticWrkEvnt*> CArticSrchGetArrayEvntAry::Pick(const std::vector<CArticWrkEvnt*>& notes,
                                                            CArticWrkEvnt*) {
    return notes;
}

int CArticSrchGetArrayEvntAry::Search() { return Run(nullptr, true); }

std::vector<CArticWrkEvnt*> CArticSrchGetDupArrayEvnt::Pick(const std::vector<CArticWrkEvnt*>& notes,
                                                            CArticWrkEvnt*) {
    std::vector<CArticWrkEvnt*> dups, seen;
    for (CArticWrkEvnt* note : notes) {
        if (std::find(seen.begin(), seen.end(), note) != seen.end()) continue;
        seen.push_back(note);
        if (std::count(notes.begin(), notes.end(), note) > 1) dups.push_back(note);
    }
    return dups;
}

int CArticSrchGetHarmoArrayEvntAry::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* ev = call.Evnt(m_pRulElmI1);
    return Run(ev, call.Ok() && srcharray::IsNote(ev));
}

std::vector<CArticWrkEvnt*> CArticSrchGetHarmoArrayEvntAry::Pick(const std::vector<CArticWrkEvnt*>& notes,
                                                                 CArticWrkEvnt* ev) {
    const INT64 t = ev->GetTime();
    std::vector<CArticWrkEvnt*> sounding;
    for (CArticWrkEvnt* note : notes)
        if (note->GetTime() <= t && t < srchnum::AddTicks(note->GetTime(), note->GetGateTime()))
            sounding.push_back(note);
    return sounding;
}

namespace {

// The range of the time section. The section is declared below the engine
// (services/) but implemented in the driver library above it, and is read
// through its inline accessors; the sanitizers' dynamic type check of such a
// call would name the class's type record, which only the driver defines, so
// this one read goes without it.
__attribute__((no_sanitize("vptr"))) void ProcAreaRange(const CArticTimeInfo& section, INT64* start,
                                                         INT64* end) {
    *start = section.GetTimeS();
    *end = section.GetTimeE();
}

}  // namespace

int CArticSrchProcArea::Search() {
    ArticSrchCall call(this);
    CArticRulDataVal* start = call.OutVal(m_pRulElmO1);
    CArticRulDataVal* end = call.OutVal(m_pRulElmO2);
    CArticRul* rul = call.Rul();
    CArticTimeInfo* section = rul ? rul->GetTimeInfo() : nullptr;
    if (!call.Ok() || !section) {
        ArticSrchPut(start, 0.0);
        ArticSrchPut(end, 0.0);
        return 1;
    }
    INT64 timeS = 0, timeE = 0;
    ProcAreaRange(*section, &timeS, &timeE);
    ArticSrchPut(start, double(timeS));
    ArticSrchPut(end, double(timeE));
    return 0;
}
