// Running a loaded rule set on one note: the call list, the expression
// texts, the searched marks and the report of a call that failed.
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticSrchEvnt.h"
#include "engine/work/ArticWrkEvnt.h"

int CArticRulSet::Search(CArticWrkEvnt* note) {
    const int r = SetWrkEvnt(note);
    return r ? r : Search();
}

int CArticRulSet::Search() {
    m_Break = 0;
    if (!GetWrkEvnt()) return 1;
    if (!m_pSrchEvntList) return 0;
    for (POSITION p = m_pSrchEvntList->GetHeadPosition(); p;) {
        CArticSrchEvnt* call = m_pSrchEvntList->GetNext(p);
        if (!call) continue;
        // The error text is emptied before each call (it is empty but after a report).
        if (m_pErrInfo && !m_pErrInfo->IsEmpty()) CArticRulSet::ClearErrInfo();
        // A call reports trouble through the error text it leaves, not its result.
        call->Search();
        if (CArticRulSet::IsErrInfo()) DispSrchErrMsg(call, 1);
        if (m_Break) break;
    }
    return 0;
}

int CArticRulSet::GetExpEvnt(CStringList& texts, int* master) {
    if (master) *master = 0;
    texts.RemoveAll();
    if (!m_pRulExpEvntList) return 1;
    for (POSITION p = m_pRulExpEvntList->GetHeadPosition(); p;) {
        CArticRulExpEvnt* line = m_pRulExpEvntList->GetNext(p);
        if (!line) continue;
        CString text = line->GetExpEvnt();
        if (text.IsEmpty()) continue;
        const double create = line->GetCreateFlag();
        if (master) *master = line->GetMstr();
        if (!(create > 0)) continue;
        if (line->GetMstr()) text += ", Mstr";
        texts.AddTail(text);
    }
    return texts.IsEmpty() ? 1 : 0;
}

int CArticRulSet::GetExpEvnt(CStringList& texts) { return GetExpEvnt(texts, nullptr); }

int CArticRulSet::SetSearchFlag(int flag) {
    int result = 1;
    if (m_pRulExpEvntList) {
        result = 0;
        for (POSITION p = m_pRulExpEvntList->GetHeadPosition(); p;) {
            CArticRulExpEvnt* line = m_pRulExpEvntList->GetNext(p);
            if (!line || !line->GetSearched()) continue;
            const double create = line->GetCreateFlag();
            if (!(flag == 0 ? create == 0 : create > 0)) continue;
            if (const int r = line->SetSearchFlag(flag)) return r;
        }
    }
    if (m_pDataSrchd) m_pDataSrchd->SetSearchFlag(flag);
    return result;
}

void CArticRulSet::DispSrchErrMsg(CArticSrchEvnt* call, int failed) {
    if (!call || !failed || m_ErrKind != 0) return;
    CString detail;
    detail.Format("ｾｯﾄ番号 = %d  ｲﾍﾞﾝﾄ番号 = %u ( %s )", m_SetNo, unsigned(call->GetEvntNo()),
                  call->GetClassNameA());
    if (IsErrInfo()) {
        detail += "  ﾙｰﾙ・ﾃﾞｰﾀ = ";
        detail += *m_pErrInfo;
        ClearErrInfo();
    }
    if (CArticWrkEvnt* note = GetWrkEvnt()) detail.AppendFormat("  処理対象の音符ｲﾍﾞﾝﾄ番号 = %u", unsigned(note->GetEvntNo()));
    DispErrMsg("中間表現ﾃﾞｰﾀの生成中にｴﾗｰが発生しました。", "音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ検索中にｴﾗｰが発生しました。", "Search",
               detail);
}
