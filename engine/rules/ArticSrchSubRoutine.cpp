#include "engine/rules/ArticSrchSubRoutine.h"

#include <new>

#include "engine/rules/ArticRulUtil.h"

VX_IMPLEMENT_CLASS(CArticSrchSubRoutine, CArticSrchEvnt)

CArticSrchSubRoutine::CArticSrchSubRoutine(CArticRulSet* set, ULONG callNo) : CArticSrchEvnt(set, callNo) {
    NewRulElmInList();
    NewRulElmOutList();
}

CArticSrchSubRoutine::~CArticSrchSubRoutine() {
    DeleteRulElmInList();
    DeleteRulElmOutList();
}

CArticSrchSubRoutine& CArticSrchSubRoutine::operator=(const CArticSrchSubRoutine& src) {
    if (this == &src) return *this;
    CArticSrchEvnt::operator=(src);
    m_SubNo = src.m_SubNo;
    CopyRulElmInList(src.m_pRulElmInList);
    CopyRulElmOutList(src.m_pRulElmOutList);
    m_pCondition = src.m_pCondition;
    return *this;
}

int CArticSrchSubRoutine::GetRulElmInList(CArticRulElmList** list) const {
    if (list) *list = m_pRulElmInList;
    return 1;
}

int CArticSrchSubRoutine::GetRulElmOutList(CArticRulElmList** list) const {
    if (list) *list = m_pRulElmOutList;
    return 1;
}

void CArticSrchSubRoutine::GetInRulElmList(CArticRulElmList* list) {
    if (!list || !m_pRulElmInList) return;
    for (POSITION p = m_pRulElmInList->GetHeadPosition(); p;) list->AddTail(m_pRulElmInList->GetNext(p));
}

void CArticSrchSubRoutine::GetOutRulElmList(CArticRulElmList* list) {
    if (!list || !m_pRulElmOutList) return;
    for (POSITION p = m_pRulElmOutList->GetHeadPosition(); p;) list->AddTail(m_pRulElmOutList->GetNext(p));
}

void CArticSrchSubRoutine::NewRulElmInList() {
    DeleteRulElmInList();
    m_pRulElmInList = new (std::nothrow) CArticRulElmList(10);
}

void CArticSrchSubRoutine::NewRulElmOutList() {
    DeleteRulElmOutList();
    m_pRulElmOutList = new (std::nothrow) CArticRulElmList(10);
}

void CArticSrchSubRoutine::DeleteRulElmInList() {
    ClearRulElmInList();
    delete m_pRulElmInList;
    m_pRulElmInList = nullptr;
}

void CArticSrchSubRoutine::DeleteRulElmOutList() {
    ClearRulElmOutList();
    delete m_pRulElmOutList;
    m_pRulElmOutList = nullptr;
}

void CArticSrchSubRoutine::ClearRulElmInList() { CArticRulUtil::ClearRulElmList(m_pRulElmInList); }

void CArticSrchSubRoutine::ClearRulElmOutList() { CArticRulUtil::ClearRulElmList(m_pRulElmOutList); }

void CArticSrchSubRoutine::CopyRulElmInList(const CArticRulElmList* src) {
    if (!src || !m_pRulElmInList) return;
    ClearRulElmInList();
    CArticRulUtil::AppendCopies(src, m_pRulElmInList);
}

void CArticSrchSubRoutine::CopyRulElmOutList(const CArticRulElmList* src) {
    if (!src || !m_pRulElmOutList) return;
    ClearRulElmOutList();
    CArticRulUtil::AppendCopies(src, m_pRulElmOutList);
}
