#include "engine/expressions/ArticExpEvnt.h"

#include "driver/ArticErr.h"
#include "engine/loaders/ArticExpUtil.h"

VX_IMPLEMENT_CLASS(CArticExpEvnt, CObject);

CArticExpEvnt& CArticExpEvnt::operator=(const CArticExpEvnt& src) {
    m_EvntType = src.m_EvntType;
    m_TgNeed = src.m_TgNeed;
    return *this;
}

int CArticExpEvnt::GetOwner(CArticExpBlk** blk) const {
    if (blk) *blk = m_pOwner;
    return m_pOwner ? 1 : 0;
}

void CArticExpEvnt::GetClassNameA(CString* name) const {
    if (name) *name = GetClassNameA();
}

int CArticExpEvnt::GetStrList(CStringList& list) {
    CString line;
    line.Format("e%u:%s", unsigned(m_EvntNo), GetClassNameA());
    CStringList items;
    int rc = CArticExpUtil::GetEvntParam(this, items);
    if (rc != 0) return rc;
    line += "( ";
    bool first = true;
    for (POSITION p = items.GetHeadPosition(); p;) {
        if (!first) line += ", ";
        first = false;
        line += items.GetNext(p);
    }
    line += " )";
    list.AddTail(line);
    return 0;
}

void CArticExpEvnt::SetErrMsgList() {
    CStringList list;
    if (GetStrList(list) == 0 && list.GetCount() > 0) CArticErr::Set(5, list.GetTail(), "", "", "");
}

void CArticExpEvnt::DispErrMsg(const CString& title, const CString& content, const CString& method,
                               const CString& detail) {
    if (m_ErrKind != 0) return;
    CArticErr::Set(content, GetClassNameA(), method, detail);
    CString text;
    CArticErr::Get(text);
    CArticErr::DoModalErrDlg(title + "\r" + text, 0x10);
    m_ErrKind = 3;
    SetErrMsgList();
}
