#include "engine/rules/ArticRulSub.h"

VX_IMPLEMENT_CLASS(CArticRulSub, CArticRulSet)

void CArticRulSub::Clear() {
    CArticRulSet::Clear();
    m_SubNo = -1;
}
