#pragma once
// One run of a built-in's Search under the common protocol: inputs read in
// script order, each failure recorded on the rule set (an event operand
// records nothing) and turning the result to 1, outputs obtained by their
// kind, then written with the computed value or the failure value.
#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulDataEvnt.h"
#include "engine/rules/ArticSrchEvnt.h"
#include "engine/work/ArticTicks.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticRul;

class ArticSrchCall {
public:
    explicit ArticSrchCall(CArticSrchEvnt* self) : m_pSelf(self) {}

    // A number input: true and the value; false with the operand recorded,
    // the result 1 and *value 0.0.
    bool Num(CArticRulElm* elm, double* value) {
        // A constant (no variable, list or text): read in place; most operands are.
        if (elm && !elm->GetRulData() && !elm->GetRulElmList() && elm->GetDataType() == kElmPlain &&
            !elm->HasStrData()) {
            *value = elm->GetData() * elm->SignFactor();
            return true;
        }
        return ReadNum(elm, value);
    }
    // A text input, the same way (*text emptied on failure).
    bool Text(CArticRulElm* elm, CString* text);
    // An event input: the note, or null with the result 1. The current
    // note's error flag is left as it was before the lookup, unless
    // keepErrFlag asks to keep what a failed relation lookup set.
    CArticWrkEvnt* Evnt(CArticRulElm* elm, bool keepErrFlag = false);
    // An array input: the _ary variable, or null with the operand recorded
    // and the result 1 (a value array is refused).
    CArticRulDataAry* Ary(CArticRulElm* elm) { return OutAry(elm); }

    // Output variables of one kind: the variable, or null with the operand
    // recorded and the result 1.
    CArticRulDataVal* OutVal(CArticRulElm* elm) {
        // A value variable itself (not a kind derived from it): taken in place.
        CArticRulData* var = elm ? elm->GetRulData() : nullptr;
        if (var && var->GetRuntimeClass() == VX_RUNTIME_CLASS(CArticRulDataVal))
            return static_cast<CArticRulDataVal*>(var);
        return OutValOf(elm);
    }
    CArticRulDataStr* OutStr(CArticRulElm* elm);
    CArticRulDataEvnt* OutEvnt(CArticRulElm* elm);
    CArticRulDataAry* OutAry(CArticRulElm* elm);

    // A read input that fails a range check of the built-in: recorded as a
    // failed read of it.
    void Refuse(CArticRulElm* elm);
    // A failure that records nothing (range checks that fail silently, a
    // missing note property).
    void Fail() { m_Result = 1; }

    bool Ok() const { return m_Result == 0; }
    int Result() const { return m_Result; }

    // The rule program of the built-in's set, or null.
    CArticRul* Rul() const;

private:
    // Num for any operand, through the built-in's reader.
    bool ReadNum(CArticRulElm* elm, double* value);
    // OutVal for any operand, through the built-in's reader.
    CArticRulDataVal* OutValOf(CArticRulElm* elm);

    CArticSrchEvnt* m_pSelf;  // not owned
    int m_Result = 0;
};

// Writers that skip a missing variable.
inline void ArticSrchPut(CArticRulDataVal* out, double value) {
    if (out) out->SetData(value);
}
inline void ArticSrchPut(CArticRulDataStr* out, const CString& text) {
    if (out) out->SetData(&text);
}
// Stores the note, or no event (a non-note is stored as no event).
inline void ArticSrchPut(CArticRulDataEvnt* out, CArticWrkEvnt* note) {
    if (out) out->SetEvnt(note, 1);
}

// Writes the failure value 0.0 to out: 1, the failed call's result.
inline int ArticSrchFail(CArticRulDataVal* out) {
    ArticSrchPut(out, 0.0);
    return 1;
}

// Makes the array hold list's events at 0, 1, 2, ...
void ArticSrchPut(CArticRulDataAry* out, CArticWrkEvntList& list);

// Checked conversions of script numbers.
namespace srchnum {
// The low 8 bits of the value truncated to an integer.
BYTE LowByte(double value);
// A value for a signed 32-bit store: true and the truncated value clamped to
// the 32-bit range; false for NaN (nothing to store).
bool ClampLong(double value, LONG* out);
// A note-information slot index 0..9 or a bit number 0..31 after truncation
// toward zero: true and the number.
bool SlotIndex(double value, int* index);
bool BitIndex(double value, int* bit);
// A count of steps: the value truncated when above 0, else 0; saturated at 2^31 - 1.
int Count(double value);
// Whole ticks truncated toward zero, saturated at the 64-bit limits (0 for NaN).
INT64 Ticks(double value);
// An unsigned 32-bit whole number truncated toward zero: 0 for NaN and
// values below 0, saturated at 2^32 - 1 instead of wrapping onto a small one.
ULONG Unsigned(double value);
// a + b saturated at the 64-bit limits (the engine's one tick sum).
using articticks::AddTicks;
}  // namespace srchnum
