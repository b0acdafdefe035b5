#include "engine/builtins/ArticSrchCall.h"

#include <cmath>

#include "engine/rules/ArticRulSet.h"
#include "platform/Numbers.h"

bool ArticSrchCall::ReadNum(CArticRulElm* elm, double* value) {
    // A plain value variable: its own reader, called directly.
    CArticRulData* var = elm ? elm->GetRulData() : nullptr;
    if (var && var->GetRuntimeClass() == VX_RUNTIME_CLASS(CArticRulDataVal) && elm->GetDataType() == kElmPlain) {
        *value = static_cast<CArticRulDataVal*>(var)->CArticRulDataVal::GetData() * elm->SignFactor();
        return true;
    }
    double v = 0.0;
    if (m_pSelf->GetData(elm, &v) == 0) {
        *value = v;
        return true;
    }
    *value = 0.0;
    Refuse(elm);
    return false;
}

bool ArticSrchCall::Text(CArticRulElm* elm, CString* text) {
    if (m_pSelf->GetData(elm, text) == 0) return true;
    text->Empty();
    Refuse(elm);
    return false;
}

CArticWrkEvnt* ArticSrchCall::Evnt(CArticRulElm* elm, bool keepErrFlag) {
    // The note of an event variable that holds it itself (_thisEvnt and the
    // like): found without a lookup that could touch any error flag.
    if (elm && elm->GetDataType() == kElmEvnt && elm->GetRulData() &&
        elm->GetRulData()->GetRuntimeClass() == VX_RUNTIME_CLASS(CArticRulDataEvnt)) {
        if (CArticWrkEvnt* held = static_cast<CArticRulDataEvnt*>(elm->GetRulData())->HeldEvnt()) return held;
    }
    const LONG before = m_pSelf->GetErrInfo(elm);
    CArticWrkEvnt* note = nullptr;
    const int failed = m_pSelf->GetWrkEvnt(elm, &note);
    // Only a lookup that found no note raises the flag: a found one leaves it as it was.
    if (!failed && note) return note;
    const LONG after = m_pSelf->GetErrInfo(elm);
    Refuse(elm);
    if (!keepErrFlag && before == 0 && after != 0) m_pSelf->SetErrInfo(elm, 0);
    return nullptr;
}

#define VX_SRCH_OUT(Name, Type, Getter)                        \
    Type* ArticSrchCall::Name(CArticRulElm* elm) {             \
        Type* var = nullptr;                                   \
        if (m_pSelf->Getter(elm, &var) == 0 && var) return var; \
        Refuse(elm);                                           \
        return nullptr;                                        \
    }
VX_SRCH_OUT(OutValOf, CArticRulDataVal, GetRulDataVal)
VX_SRCH_OUT(OutStr, CArticRulDataStr, GetRulDataStr)
VX_SRCH_OUT(OutEvnt, CArticRulDataEvnt, GetRulDataEvnt)
VX_SRCH_OUT(OutAry, CArticRulDataAry, GetRulDataAry)
#undef VX_SRCH_OUT

void ArticSrchCall::Refuse(CArticRulElm* elm) {
    m_pSelf->SetErrInfo(elm);
    m_Result = 1;
}

CArticRul* ArticSrchCall::Rul() const {
    CArticRulSet* set = m_pSelf->GetRulSet();
    return set ? set->GetRul() : nullptr;
}

void ArticSrchPut(CArticRulDataAry* out, CArticWrkEvntList& list) {
    if (!out) return;
    out->ClearRulDataEvntArray();
    int i = 0;
    for (POSITION p = list.GetHeadPosition(); p;) out->SetDataEvnt(i++, list.GetNext(p));
}

namespace srchnum {

BYTE LowByte(double value) { return BYTE(uint32_t(DoubleToLong(value)) & 0xFF); }

bool ClampLong(double value, LONG* out) {
    if (std::isnan(value)) return false;
    if (value >= 2147483647.0) {
        *out = 2147483647;
    } else if (value <= -2147483648.0) {
        *out = -2147483647 - 1;
    } else {
        *out = LONG(value);
    }
    return true;
}

bool SlotIndex(double value, int* index) {
    const int32_t i = DoubleToLong(value);
    if (i < 0 || i > 9) return false;
    *index = int(i);
    return true;
}

bool BitIndex(double value, int* bit) {
    const int32_t b = DoubleToLong(value);
    if (b < 0 || b > 31) return false;
    *bit = int(b);
    return true;
}

int Count(double value) {
    if (!(value > 0.0)) return 0;
    return value >= 2147483647.0 ? 2147483647 : int(value);
}

INT64 Ticks(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9223372036854775807.0) return INT64_MAX;
    if (value <= -9223372036854775808.0) return INT64_MIN;
    return INT64(value);
}

ULONG Unsigned(double value) {
    if (!(value > 0.0)) return 0;
    return value >= 4294967295.0 ? 0xFFFFFFFFu : ULONG(value);
}

}  // namespace srchnum
