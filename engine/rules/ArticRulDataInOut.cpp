#include "engine/rules/ArticRulDataInOut.h"

VX_IMPLEMENT_CLASS(CArticRulDataIn, CArticRulData)
VX_IMPLEMENT_CLASS(CArticRulDataOut, CArticRulData)

int CArticRulDataIn::GetData(CArticRulData** var) const {
    if (var) *var = m_pData;
    return m_pData ? 1 : 0;
}

int CArticRulDataOut::GetData(CArticRulData** var) const {
    if (var) *var = m_pData;
    return m_pData ? 1 : 0;
}
