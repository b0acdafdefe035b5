#include "engine/builtins/ArticSrchArrayChord.h"

#include <algorithm>

#include "engine/builtins/ArticSrchCall.h"
#include "engine/rules/ArticRul.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkUtil.h"

VX_IMPLEMENT_CLASS(CArticSrchSetAryNoteInfoType, CArticSrchEvnt);
VX_IMPLEMENT_CLASS(CArticSrchSetAryNoteInfoBitType, CArticSrchSetAryNoteInfoType);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntChord, CArticSrchPutArrayEvntNumWrkNext);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntHarmo, CArticSrchPutArrayEvntNumWrkNext);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntChord2, CArticSrchPutArrayEvntNumWrkNext);
VX_IMPLEMENT_CLASS(CArticSrchPutArrayEvntChord3, CArticSrchPutArrayEvntChord2);

int CArticSrchSetAryNoteInfoType::Apply(CArticRulElm* bitElm, CArticRulElm* lastElm) {
    ArticSrchCall call(this);
    double sw = 0.0, idx = 0.0, bit = 0.0, last = 0.0;
    call.Num(m_pRulElmI1, &sw);
    CArticRulDataAry* ary = call.Ary(m_pRulElmI2);
    int slot = 0;
    if (call.Num(m_pRulElmI3, &idx) && !srchnum::SlotIndex(idx, &slot)) call.Refuse(m_pRulElmI3);
    if (bitElm) call.Num(bitElm, &bit);
    if (!call.Num(lastElm, &last) || !call.Ok()) return 1;
    if (sw == 0.0) return 0;
    m_Bit = -1;
    if (bitElm && !srchnum::BitIndex(bit, &m_Bit)) return 0;  // nothing changes, not an error
    CArticWrkEvntList events(10);
    ary->GetEvntList(&events);
    for (POSITION p = events.GetHeadPosition(); p;) {
        CArticWrkEvnt* e = events.GetNext(p);
        e->SetNoteInfo(slot, NewValue(e->GetNoteInfo(slot), last));
    }
    return 0;
}

LONG CArticSrchSetAryNoteInfoType::NewValue(LONG old, double v) const {
    LONG value = old;
    srchnum::ClampLong(v, &value);
    return value;
}

int CArticSrchSetAryNoteInfoType::Search() { return Apply(nullptr, m_pRulElmI4); }

LONG CArticSrchSetAryNoteInfoBitType::NewValue(LONG old, double b) const {
    const uint32_t mask = uint32_t(1) << m_Bit;
    return LONG(b != 0.0 ? uint32_t(old) | mask : uint32_t(old) & ~mask);
}

int CArticSrchSetAryNoteInfoBitType::Search() { return Apply(m_pRulElmI4, m_pRulElmI5); }

int CArticSrchPutArrayEvntChord::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* ev = call.Evnt(m_pRulElmI1);
    double window = 0.0;
    call.Num(m_pRulElmI2, &window);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    CArticWrk* wrk = rul ? rul->GetWrk() : nullptr;
    if (!call.Ok() || !wrk) return ArticSrchFail(out);
    // The start as a signed 32-bit time, the end summed in 64 bits so that a
    // large window cannot wrap.
    const INT64 s = std::max<INT64>(0, int32_t(ev->GetTime()));
    const INT64 e = std::max<INT64>(0, srchnum::AddTicks(s, srchnum::Ticks(window)));
    CArticWrkEvntList list(10);
    wrk->GetAreaWrkEvntInEvntPosArray(std::min(s, e), std::max(s, e), 1, &list);
    return srcharray::AppendSize(call.Rul(), list, out);
}

int CArticSrchPutArrayEvntHarmo::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* ev = call.Evnt(m_pRulElmI1);
    double window = 0.0;
    if (call.Num(m_pRulElmI2, &window) && window < 0.0) call.Refuse(m_pRulElmI2);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    if (!call.Ok()) return ArticSrchFail(out);
    CArticWrkEvntList list(10);
    CArticWrkUtil::GetWrkHarmoNote(ev, srchnum::Ticks(window), &list);
    return srcharray::AppendSize(call.Rul(), list, out);
}

int CArticSrchPutArrayEvntChord2::Gather(CArticWrk* wrk, CArticWrkEvntList* list, CArticWrkEvnt* ev, double window,
                                         double ratio, double cap) {
    return CArticWrkUtil::GetChordEvnt(wrk, list, ev, window, ratio, cap);
}

int CArticSrchPutArrayEvntChord3::Gather(CArticWrk* wrk, CArticWrkEvntList* list, CArticWrkEvnt* ev, double window,
                                         double ratio, double cap) {
    return CArticWrkUtil::GetChordEvnt3(wrk, list, ev, window, ratio, cap);
}

int CArticSrchPutArrayEvntChord2::Search() {
    ArticSrchCall call(this);
    CArticWrkEvnt* ev = call.Evnt(m_pRulElmI1);
    double window = 0.0, ratio = 0.0, cap = 0.0;
    call.Num(m_pRulElmI2, &window);
    call.Num(m_pRulElmI3, &ratio);
    call.Num(m_pRulElmI4, &cap);
    CArticRulDataVal* out = call.OutVal(m_pRulElmO1);
    CArticRul* rul = call.Rul();
    if (!call.Ok() || !rul) return ArticSrchFail(out);
    CArticWrkEvntList list(10);
    Gather(rul->GetWrk(), &list, ev, window, ratio, cap);
    return srcharray::AppendSize(call.Rul(), list, out);
}
