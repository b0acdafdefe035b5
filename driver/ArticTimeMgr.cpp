#include "driver/ArticTimeMgr.h"

#include <limits>

#include "services/ArticTimeInfo.h"
#include "engine/expressions/ArticExp.h"

VX_IMPLEMENT_CLASS(CArticTimeMgr, CObject);

CArticTimeMgr::CArticTimeMgr(CArticWrk* wrk, CArticExp* exp, CArticRul* rul)
    : m_pWrk(wrk), m_pExp(exp), m_pRul(rul), m_pList(new CArticTimeInfoList(10)) {
    Initialize();
}

CArticTimeMgr::~CArticTimeMgr() {
    ClearTimeInfoList();
    delete m_pList;
}

void CArticTimeMgr::ClearTimeInfoList() {
    if (!m_pList) return;
    for (POSITION p = m_pList->GetHeadPosition(); p;) delete m_pList->GetNext(p);
    m_pList->RemoveAll();
}

void CArticTimeMgr::Initialize() {
    ClearTimeInfoList();
    AddTail(0, std::numeric_limits<INT64>::max(), 0, CString());
}

void CArticTimeMgr::Clear() {
    if (m_pList) Initialize();
}

int CArticTimeMgr::GetCount() const { return m_pList ? int(m_pList->GetCount()) : 0; }

int CArticTimeMgr::AddTail(INT64 start, INT64 end, int rulType, const CString& fileName) {
    if (!m_pList) return 1;
    auto* info = new CArticTimeInfo(this);
    info->SetTimeS(start);
    info->SetTimeE(end);
    info->SetRulType(rulType);
    info->SetRulFileName(fileName);
    m_pList->AddTail(info);
    return 0;
}

CArticTimeInfo* CArticTimeMgr::GetTimeInfo(int index) const {
    if (!m_pList || index < 0) return nullptr;
    POSITION p = m_pList->FindIndex(index);
    return p ? m_pList->GetAt(p) : nullptr;
}

int CArticTimeMgr::GetTimeInfo(int index, CArticTimeInfo** info) const {
    CArticTimeInfo* found = GetTimeInfo(index);
    if (info) *info = found;
    return found ? 0 : 1;
}

int CArticTimeMgr::Set(int index, INT64 start, INT64 end, int rulType, const CString& fileName) {
    CArticTimeInfo* info = GetTimeInfo(index);
    if (!info) return 1;
    info->SetTimeS(start);
    info->SetTimeE(end);
    info->SetRulType(rulType);
    info->SetRulFileName(fileName);
    return 0;
}

int CArticTimeMgr::Remove(int index) {
    if (!m_pList || index < 0) return 1;
    POSITION p = m_pList->FindIndex(index);
    if (!p) return 1;
    delete m_pList->GetAt(p);
    m_pList->RemoveAt(p);
    return 0;
}

int CArticTimeMgr::Get(int index, INT64* start, INT64* end, int* rulType, CString* fileName) const {
    CArticTimeInfo* info = GetTimeInfo(index);
    if (!info) return 1;
    if (start) *start = info->GetTimeS();
    if (end) *end = info->GetTimeE();
    if (rulType) *rulType = info->GetRulType();
    if (fileName) *fileName = info->GetRulFileName();
    return 0;
}

int CArticTimeMgr::GetInfoStrList(CStringList& list) const {
    if (!m_pList) return 1;
    list.AddTail(CString("時間範囲"));
    for (POSITION p = m_pList->GetHeadPosition(); p;) list.AddTail(m_pList->GetNext(p)->GetString());
    return 0;
}

int CArticTimeMgr::GetWrk(CArticWrk** wrk) const {
    if (wrk) *wrk = m_pWrk;
    return 1;
}

int CArticTimeMgr::GetExp(CArticExp** exp) const {
    if (exp) *exp = m_pExp;
    return 1;
}

int CArticTimeMgr::GetRul(CArticRul** rul) const {
    if (rul) *rul = m_pRul;
    return 1;
}

template <typename Op>
int CArticTimeMgr::ForEach(Op op) {
    if (!m_pList || m_pList->GetCount() == 0) return 1;
    for (POSITION p = m_pList->GetHeadPosition(); p;) {
        const int r = op(*m_pList->GetNext(p));
        if (r != 0) return r;
    }
    return 0;
}

int CArticTimeMgr::Devide() {
    return ForEach([](CArticTimeInfo& info) { return info.Devide(); });
}

int CArticTimeMgr::Merge(int flag) {
    if (m_pExp && GetCount() > 0) m_pExp->ClearEvntStrList();
    return ForEach([flag](CArticTimeInfo& info) { return info.Merge(flag); });
}

int CArticTimeMgr::MergeWrk(int flag) {
    return ForEach([flag](CArticTimeInfo& info) { return info.MergeWrk(flag); });
}

int CArticTimeMgr::MergeExp() {
    if (m_pExp && GetCount() > 0) m_pExp->ClearEvntStrList();
    return ForEach([](CArticTimeInfo& info) { return info.MergeExp(); });
}

int CArticTimeMgr::Edit(CTypedPtrArray<CPtrArray, CArticTimeData*>& rows, CArticTimeInfoList& out, int* changed) {
    if (!m_pList) return 1;
    int any = 0;
    for (int i = 0; i < rows.GetSize(); ++i) {
        CArticTimeData* row = rows.GetAt(i);
        if (!row) continue;
        CArticTimeInfo* info = row->info && m_pList->Find(row->info) ? row->info : nullptr;
        if (!info) {
            info = new CArticTimeInfo(this);
            row->info = info;
            row->changed = 1;
        }
        if (row->changed) {
            info->SetTimeS(row->start);
            info->SetTimeE(row->end);
            info->SetRulType(row->rulType);
            info->SetRulFileName(row->rulFileName);
            any = 1;
        }
        out.AddTail(info);
    }
    if (changed) *changed = any;
    return 0;
}

int CArticTimeMgr::EditTimeInfoList(CArticTimeInfoList& list) {
    if (!m_pList) return 1;
    for (POSITION p = m_pList->GetHeadPosition(); p;) {
        CArticTimeInfo* info = m_pList->GetNext(p);
        if (!list.Find(info)) delete info;
    }
    m_pList->RemoveAll();
    for (POSITION p = list.GetHeadPosition(); p;) m_pList->AddTail(list.GetNext(p));
    list.RemoveAll();
    return 0;
}
