#include "engine/rules/ArticSrchSubRoutine.h"

#include <new>

#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulSub.h"
#include "engine/rules/ArticRulUtil.h"

VX_IMPLEMENT_CLASS(CArticSrchSubRoutine, CArticSrchEvnt);

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

namespace {
thread_local int g_SubNest = 0;  // subroutine calls now running on this thread

// Marks a subroutine running for the length of one call.
struct RunningGuard {
    CArticRulSub* sub;
    explicit RunningGuard(CArticRulSub* s) : sub(s) {
        sub->SetRunning(sub->GetRunning() + 1);
        ++g_SubNest;
    }
    ~RunningGuard() {
        sub->SetRunning(sub->GetRunning() - 1);
        --g_SubNest;
    }
};
}  // namespace

int CArticSrchSubRoutine::Search() {
    if (m_pCondition && m_pCondition->GetData() == 0.0) return 0;
    CArticRulSet* caller = GetRulSet();
    if (!caller || m_SubNo < 0) return 0;
    CArticRul* rul = caller->GetRul();
    if (!rul || !caller->GetWrk()) return 0;
    CArticRulSub* sub = rul->GetBySubNo(m_SubNo);
    if (!sub) return 0;
    if (sub->GetRunning() > 0 || g_SubNest >= kMaxSubNest) {
        CString text;
        text.Format("sub%d ( 再帰呼出し )", m_SubNo);
        caller->SetErrInfo(&text);
        return 1;
    }
    sub->SetSetNo(caller->GetSetNo());
    if (const int r = sub->SetWrkEvnt(caller->GetWrkEvnt())) return r;
    int k = 1;
    if (m_pRulElmInList) {
        for (POSITION p = m_pRulElmInList->GetHeadPosition(); p; ++k) {
            CArticRulElm* elm = m_pRulElmInList->GetNext(p);
            if (!elm) continue;
            if (CArticRulDataIn* param = sub->GetDataIn(k))
                if (const int r = param->SetData(elm)) return r;
        }
    }
    {
        RunningGuard running(sub);
        // Trouble inside the subroutine is reported by the subroutine itself.
        sub->Search();
    }
    k = 1;
    if (m_pRulElmOutList) {
        for (POSITION p = m_pRulElmOutList->GetHeadPosition(); p; ++k) {
            CArticRulElm* elm = m_pRulElmOutList->GetNext(p);
            if (!elm) continue;
            if (CArticRulDataOut* param = sub->GetDataOut(k))
                if (const int r = param->SetData(elm)) return r;
        }
    }
    return 0;
}
