#include "engine/rules/ArticRulDataInOut.h"

VX_IMPLEMENT_CLASS(CArticRulDataIn, CArticRulData);
VX_IMPLEMENT_CLASS(CArticRulDataOut, CArticRulData);

int CArticRulDataIn::GetData(CArticRulData** var) const {
    if (var) *var = m_pData;
    return m_pData ? 1 : 0;
}

int CArticRulDataOut::GetData(CArticRulData** var) const {
    if (var) *var = m_pData;
    return m_pData ? 1 : 0;
}

// ---- Moving values between a caller's arguments and a subroutine

#include <cmath>

#include "engine/rules/ArticRulDataEvnt.h"
#include "engine/rules/ArticRulElm.h"

namespace {

bool Is(const CObject* obj, const CRuntimeClass* cls) { return obj && obj->GetRuntimeClass() == cls; }

// The argument read as a number: its sign factor times a constant, a value
// variable or exv list read whole, or a member of an event variable's note.
int ReadNumber(const CArticRulElm* elm, double* out) {
    if (!elm) return 1;
    const double f = elm->GetPlus() ? 1.0 : -1.0;
    CArticRulData* var = elm->GetRulData();
    const BYTE type = elm->GetDataType();
    if (!var) {
        if (type != kElmPlain || elm->GetRulElmList()) return 1;
        *out = f * elm->GetData();
        return 0;
    }
    if (Is(var, VX_RUNTIME_CLASS(CArticRulDataVal)) && type == kElmPlain) {
        *out = f * static_cast<CArticRulDataVal*>(var)->GetData();
        return 0;
    }
    if (Is(var, VX_RUNTIME_CLASS(CArticRulDataExv)) && type == kElmPlain) {
        *out = f * static_cast<CArticRulDataExv*>(var)->GetData();
        return 0;
    }
    if (!Is(var, VX_RUNTIME_CLASS(CArticRulDataEvnt)) || !IsMemberCode(type)) return 1;
    auto* evnt = static_cast<CArticRulDataEvnt*>(var);
    const ULONG setNo = ULONG(elm->GetData());
    double v = 0.0;
    if (!evnt->ReadMember(type, setNo, &v)) return 1;
    *out = f * v;
    return 0;
}

int ReadText(const CArticRulElm* elm, CString* out) {
    if (!elm) return 1;
    CArticRulData* var = elm->GetRulData();
    if (var) {
        if (!Is(var, VX_RUNTIME_CLASS(CArticRulDataStr)) || elm->GetDataType() != kElmPlain) return 1;
        *out = static_cast<CArticRulDataStr*>(var)->GetData();
        return 0;
    }
    if (elm->GetDataType() != kElmPlain || elm->GetRulElmList()) return 1;
    *out = elm->GetStrData();
    if (out->IsEmpty()) out->Format("%d", int(std::trunc(elm->GetData() * (elm->GetPlus() ? 1.0 : -1.0))));
    return 0;
}

// The note an event argument names; a missing note still counts as read.
int ReadNote(const CArticRulElm* elm, CArticWrkEvnt** out) {
    if (!elm || !Is(elm->GetRulData(), VX_RUNTIME_CLASS(CArticRulDataEvnt)) || !IsRelationCode(elm->GetDataType())) return 1;
    *out = static_cast<CArticRulDataEvnt*>(elm->GetRulData())->GetRelation(elm->GetDataType(), 1);
    return 0;
}

// Copies one array variable into another of the same class.
int CopyArray(CArticRulData* to, CArticRulData* from) {
    if (!to || !from || to->GetRuntimeClass() != from->GetRuntimeClass()) return 1;
    if (to == from) return 0;
    if (Is(to, VX_RUNTIME_CLASS(CArticRulDataAry)))
        *static_cast<CArticRulDataAry*>(to) = *static_cast<CArticRulDataAry*>(from);
    else if (Is(to, VX_RUNTIME_CLASS(CArticRulDataVAry)))
        *static_cast<CArticRulDataVAry*>(to) = *static_cast<CArticRulDataVAry*>(from);
    else
        return 1;
    return 0;
}

}  // namespace

int CArticRulDataIn::SetData(const CArticRulElm* elm) {
    if (!elm || !m_pData) return 1;
    if (Is(m_pData, VX_RUNTIME_CLASS(CArticRulDataVal))) {
        double v = 0.0;
        if (ReadNumber(elm, &v)) return 1;
        static_cast<CArticRulDataVal*>(m_pData)->SetData(v);
        return 0;
    }
    if (Is(m_pData, VX_RUNTIME_CLASS(CArticRulDataStr))) {
        CString text;
        if (ReadText(elm, &text)) return 1;
        static_cast<CArticRulDataStr*>(m_pData)->SetData(&text);
        return 0;
    }
    if (Is(m_pData, VX_RUNTIME_CLASS(CArticRulDataEvnt))) {
        CArticWrkEvnt* note = nullptr;
        if (ReadNote(elm, &note)) return 1;
        static_cast<CArticRulDataEvnt*>(m_pData)->SetEvnt(note, 1);
        return 0;
    }
    if (Is(m_pData, VX_RUNTIME_CLASS(CArticRulDataAry)) || Is(m_pData, VX_RUNTIME_CLASS(CArticRulDataVAry)))
        return CopyArray(m_pData, elm->GetRulData());
    return 1;
}

int CArticRulDataOut::SetData(const CArticRulElm* elm) {
    if (!elm || !m_pData) return 1;
    CArticRulData* target = elm->GetRulData();
    if (!target) return 1;
    const BYTE type = elm->GetDataType();
    if (Is(m_pData, VX_RUNTIME_CLASS(CArticRulDataVal))) {
        if (!Is(target, VX_RUNTIME_CLASS(CArticRulDataVal)) || type != kElmPlain) return 1;
        static_cast<CArticRulDataVal*>(target)->SetData(static_cast<CArticRulDataVal*>(m_pData)->GetData());
        return 0;
    }
    if (Is(m_pData, VX_RUNTIME_CLASS(CArticRulDataStr))) {
        if (!Is(target, VX_RUNTIME_CLASS(CArticRulDataStr)) || type != kElmPlain) return 1;
        const CString text = static_cast<CArticRulDataStr*>(m_pData)->GetData();
        static_cast<CArticRulDataStr*>(target)->SetData(&text);
        return 0;
    }
    if (Is(m_pData, VX_RUNTIME_CLASS(CArticRulDataEvnt))) {
        if (!Is(target, VX_RUNTIME_CLASS(CArticRulDataEvnt))) return 1;
        CArticWrkEvnt* note = static_cast<CArticRulDataEvnt*>(m_pData)->GetEvnt(1);
        static_cast<CArticRulDataEvnt*>(target)->SetEvnt(note, 1);
        return 0;
    }
    if (Is(m_pData, VX_RUNTIME_CLASS(CArticRulDataAry)) || Is(m_pData, VX_RUNTIME_CLASS(CArticRulDataVAry))) return CopyArray(target, m_pData);
    return 1;
}
