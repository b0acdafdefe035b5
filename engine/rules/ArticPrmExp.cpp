#include "engine/rules/ArticPrmExp.h"

#include <cstring>
#include <new>

#include "platform/Archive.h"

void CMakeRulePrm::Free() {
    delete[] m_pData;
    m_pData = nullptr;
    m_Len = 0;
}

ULONG CMakeRulePrm::Alloc(ULONG n) {
    Free();
    m_Len = n;
    if (n == 0) return 0;
    m_pData = new (std::nothrow) BYTE[n]();
    if (!m_pData) {
        m_Len = 0;
        return 0;
    }
    return n;
}

int CMakeRulePrm::SetData(ULONG index, ULONG n, const BYTE* bytes) {
    if (!m_pData || !bytes) return 1;
    if (uint64_t(index) + n > m_Len) return 1;
    std::memcpy(m_pData + index, bytes, n);
    return 0;
}

void CMakeRulePrm::Copy(const CMakeRulePrm* src) {
    Free();
    if (!src || src->m_Len == 0 || !src->m_pData) return;
    if (Alloc(src->m_Len) == src->m_Len) SetData(0, src->m_Len, src->m_pData);
}

void CMakeRulePrm::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteDWORD(m_pData ? m_Len : 0);
        if (m_pData) ar.Write(m_pData, m_Len);
        return;
    }
    Free();
    DWORD len = 0;
    if (!ar.ReadDWORD(len)) return;
    if (len > ar.Left()) {
        ar.SetFailed();
        return;
    }
    if (len == 0) return;
    if (Alloc(len) != len || !ar.Read(m_pData, len)) {
        Free();
        ar.SetFailed();
    }
}

CArticPrmExp::CArticPrmExp() {
    m_pPrm = new (std::nothrow) CMakeRulePrm();
    m_pExpStrList = new (std::nothrow) CStringList(10);
    m_pRelList = new (std::nothrow) CTypedPtrList<CObList, CArticWrkEvntRel*>(10);
}

CArticPrmExp::~CArticPrmExp() {
    delete m_pPrm;
    delete m_pExpStrList;
    ClearRelList();
}

CArticPrmExp& CArticPrmExp::operator=(const CArticPrmExp& src) {
    if (this == &src) return *this;
    if (src.m_pPrm) {
        auto* prm = new (std::nothrow) CMakeRulePrm();
        if (prm) {
            prm->Copy(src.m_pPrm);
            SetMakeRulePrm(prm);
        }
    }
    if (m_pExpStrList) {
        m_pExpStrList->RemoveAll();
        if (src.m_pExpStrList) m_pExpStrList->AddTail(*src.m_pExpStrList);
    }
    ClearRelList();
    return *this;
}

int CArticPrmExp::AddExpStr(const CString& text) {
    if (!m_pExpStrList) {
        m_pExpStrList = new (std::nothrow) CStringList(10);
        if (!m_pExpStrList) return 1;
    }
    m_pExpStrList->AddTail(text);
    return 0;
}

CMakeRulePrm* CArticPrmExp::SetMakeRulePrm(CMakeRulePrm* prm) {
    if (prm != m_pPrm) delete m_pPrm;
    m_pPrm = prm;
    return m_pPrm;
}

void CArticPrmExp::ClearRelList() {
    if (!m_pRelList) return;
    for (POSITION p = m_pRelList->GetHeadPosition(); p;) delete m_pRelList->GetNext(p);
    delete m_pRelList;
    m_pRelList = nullptr;
}
