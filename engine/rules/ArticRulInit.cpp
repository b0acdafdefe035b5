#include "engine/rules/ArticRulInit.h"

VX_IMPLEMENT_CLASS(CArticRulInit, CObject)

void CArticRulInit::Clear() {
    m_ErrKind = 0;
    m_ProcNestFlag = 0;
    m_ProcNest = 0;
    m_Direction = 0;
}

void CArticRulInit::GetClassNameA(CString* name) const {
    if (name) *name = GetClassNameA();
}
