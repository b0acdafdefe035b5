#include "engine/expressions/ArticExpNotes.h"

#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticWrkUtil.h"

CArticExpNotes::CArticExpNotes(const CArticWrkEvntList* src) : m_pList(new CArticWrkEvntList(10)) { Copy(src); }

CArticExpNotes::~CArticExpNotes() { Delete(); }

CArticExpNotes& CArticExpNotes::operator=(const CArticExpNotes& src) {
    if (this == &src) return *this;
    if (!m_pList) m_pList = new CArticWrkEvntList(10);
    Clear();
    Copy(src.m_pList);
    return *this;
}

int CArticExpNotes::Get(CArticWrkEvntList** list) const {
    if (list) *list = m_pList;
    return m_pList ? 1 : 0;
}

void CArticExpNotes::Set(CArticWrkEvntList* list) {
    if (list == m_pList) return;
    delete m_pList;
    m_pList = list;
}

void CArticExpNotes::Clear() {
    if (m_pList) m_pList->RemoveAll();
}

void CArticExpNotes::Copy(const CArticWrkEvntList* src) { CArticExpUtil::CopyEvntList(src, m_pList); }

void CArticExpNotes::Delete() {
    delete m_pList;
    m_pList = nullptr;
}

int CArticExpNotes::ReLink(CArticWrk* wrk) {
    if (!wrk) return 1;
    if (!m_pList) return 0;
    CArticWrkEvntList old(10);
    old.AddTail(*m_pList);
    m_pList->RemoveAll();
    CArticWrkUtil::ReLinkEvntList(wrk, &old, m_pList);
    return 0;
}
