#include "engine/builtins/ArticSrchNoteInfo.h"

#include <cmath>

#include "engine/builtins/ArticSrchCall.h"

VX_IMPLEMENT_CLASS(CArticSrchGetNoteInfo, CArticSrchVelo);
VX_IMPLEMENT_CLASS(CArticSrchGetNoteInfoType, CArticSrchGetNoteInfo);
VX_IMPLEMENT_CLASS(CArticSrchGetNoteInfoBit, CArticSrchGetNoteInfo);
VX_IMPLEMENT_CLASS(CArticSrchGetNoteInfoBitType, CArticSrchGetNoteInfoBit);
VX_IMPLEMENT_CLASS(CArticSrchPutNoteInfo, CArticSrchPutArrayEvnt);
VX_IMPLEMENT_CLASS(CArticSrchPutNoteInfoType, CArticSrchPutNoteInfo);
VX_IMPLEMENT_CLASS(CArticSrchPutNoteInfoBit, CArticSrchPutNoteInfo);
VX_IMPLEMENT_CLASS(CArticSrchPutNoteInfoBitType, CArticSrchPutNoteInfoBit);
VX_IMPLEMENT_CLASS(CArticSrchNoteInfoValCmp, CArticSrchValCmp);
VX_IMPLEMENT_CLASS(CArticSrchNoteInfoValMore, CArticSrchValMore);
VX_IMPLEMENT_CLASS(CArticSrchNoteInfoValLess, CArticSrchValLess);

namespace {

// The operands of a slot built-in in script order; null where it has none
// (sw for the plain variants, bit for the whole-slot ones). last is the
// output of a reader, the value or bit state of a writer.
struct SlotOperands {
    CArticRulElm* sw;
    CArticRulElm* ev;
    CArticRulElm* idx;
    CArticRulElm* bit;
    CArticRulElm* last;
};

// The inputs read in script order: the note, or null when a read failed.
struct SlotInputs {
    CArticWrkEvnt* note = nullptr;
    double sw = 1.0, idx = 0.0, bit = 0.0;
};

CArticWrkEvnt* ReadSlotInputs(ArticSrchCall& call, const SlotOperands& ops, SlotInputs* in) {
    if (ops.sw) call.Num(ops.sw, &in->sw);
    in->note = call.Evnt(ops.ev);
    call.Num(ops.idx, &in->idx);
    if (ops.bit) call.Num(ops.bit, &in->bit);
    return in->note;
}

// The slot and bit numbers of the inputs: true when both are in range.
bool SlotPlace(const SlotOperands& ops, const SlotInputs& in, int* slot, int* bit) {
    return srchnum::SlotIndex(in.idx, slot) && (!ops.bit || srchnum::BitIndex(in.bit, bit));
}

int ReadSlot(CArticSrchEvnt* self, const SlotOperands& ops) {
    ArticSrchCall call(self);
    SlotInputs in;
    ReadSlotInputs(call, ops, &in);
    CArticRulDataVal* out = call.OutVal(ops.last);
    int result = call.Result();
    double value = 0.0;
    int slot = 0, bit = 0;
    if (call.Ok() && in.sw != 0.0) {
        if (!SlotPlace(ops, in, &slot, &bit)) {
            result = ops.sw ? 0 : 1;
        } else {
            const LONG v = in.note->GetNoteInfo(slot);
            value = ops.bit ? double((uint32_t(v) >> bit) & 1u) : double(v);
        }
    }
    ArticSrchPut(out, value);
    return result;
}

int WriteSlot(CArticSrchEvnt* self, const SlotOperands& ops) {
    ArticSrchCall call(self);
    SlotInputs in;
    ReadSlotInputs(call, ops, &in);
    double v = 0.0;
    call.Num(ops.last, &v);
    if (!call.Ok()) return 1;
    if (in.sw == 0.0) return 0;
    int slot = 0, bit = 0;
    if (!SlotPlace(ops, in, &slot, &bit)) return ops.sw ? 0 : 1;
    if (ops.bit) {
        uint32_t bits = uint32_t(in.note->GetNoteInfo(slot));
        bits = v != 0.0 ? bits | (1u << bit) : bits & ~(1u << bit);
        in.note->SetNoteInfo(slot, LONG(int32_t(bits)));
        return 0;
    }
    LONG stored = 0;
    if (!srchnum::ClampLong(v, &stored)) return 1;  // NaN: nothing to store
    in.note->SetNoteInfo(slot, stored);
    return 0;
}

// The slot in place of the first operand of a value comparison.
template <class Test>
int CompareSlot(CArticSrchEvnt* self, CArticRulElm* ev, CArticRulElm* idx, CArticRulElm* c, CArticRulElm* tol,
                CArticRulElm* out, Test test) {
    ArticSrchCall call(self);
    SlotInputs in;
    ReadSlotInputs(call, {nullptr, ev, idx, nullptr, out}, &in);
    double centre = 0.0, t = 0.0;
    call.Num(c, &centre);
    if (tol) call.Num(tol, &t);
    CArticRulDataVal* var = call.OutVal(out);
    int result = call.Result();
    double value = 0.0;
    int slot = 0;
    if (call.Ok()) {
        if (!srchnum::SlotIndex(in.idx, &slot)) {
            result = 1;
        } else {
            value = test(double(in.note->GetNoteInfo(slot)), centre, std::fabs(t)) ? 1.0 : 0.0;
        }
    }
    ArticSrchPut(var, value);
    return result;
}

}  // namespace

int CArticSrchGetNoteInfo::Search() {
    return ReadSlot(this, {nullptr, m_pRulElmI1, m_pRulElmI2, nullptr, m_pRulElmO1});
}

int CArticSrchGetNoteInfoType::Search() {
    return ReadSlot(this, {m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, nullptr, m_pRulElmO1});
}

int CArticSrchGetNoteInfoBit::Search() {
    return ReadSlot(this, {nullptr, m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, m_pRulElmO1});
}

int CArticSrchGetNoteInfoBitType::Search() {
    return ReadSlot(this, {m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, m_pRulElmI4, m_pRulElmO1});
}

int CArticSrchPutNoteInfo::Search() {
    return WriteSlot(this, {nullptr, m_pRulElmI1, m_pRulElmI2, nullptr, m_pRulElmI3});
}

int CArticSrchPutNoteInfoType::Search() {
    return WriteSlot(this, {m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, nullptr, m_pRulElmI4});
}

int CArticSrchPutNoteInfoBit::Search() {
    return WriteSlot(this, {nullptr, m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, m_pRulElmI4});
}

int CArticSrchPutNoteInfoBitType::Search() {
    return WriteSlot(this, {m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, m_pRulElmI4, m_pRulElmI5});
}

int CArticSrchNoteInfoValCmp::Search() {
    return CompareSlot(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, m_pRulElmI4, m_pRulElmO1,
                       [](double s, double c, double tol) { return c - tol <= s && s <= c + tol; });
}

int CArticSrchNoteInfoValMore::Search() {
    return CompareSlot(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, nullptr, m_pRulElmO1,
                       [](double s, double v, double) { return s > v; });
}

int CArticSrchNoteInfoValLess::Search() {
    return CompareSlot(this, m_pRulElmI1, m_pRulElmI2, m_pRulElmI3, nullptr, m_pRulElmO1,
                       [](double s, double v, double) { return s < v; });
}
