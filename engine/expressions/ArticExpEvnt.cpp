#include "engine/expressions/ArticExpEvnt.h"

#include "services/ArticErr.h"
#include "services/ArticPasn.h"
#include "engine/expressions/ArticExp.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticWrk.h"

VX_IMPLEMENT_CLASS(CArticExpEvnt, CObject);

const char* const CArticExpEvnt::kPhase1Title = "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集時(第１段階)にｴﾗｰが発生しました。";
const char* const CArticExpEvnt::kPhase12Title = "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集時(第１段階その２)にｴﾗｰが発生しました。";
const char* const CArticExpEvnt::kPhase2Title = "中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集時(第２段階)にｴﾗｰが発生しました。";

CArticExpEvnt& CArticExpEvnt::operator=(const CArticExpEvnt& src) {
    m_EvntType = src.m_EvntType;
    m_TgNeed = src.m_TgNeed;
    m_pPasnData = src.m_pPasnData;
    return *this;
}

void CArticExpEvnt::GetPos(POSITION* trk, POSITION* blk, POSITION* evnt) const {
    if (evnt) *evnt = m_PosEvnt;
    if (!m_pOwner) return;
    if (blk) *blk = m_pOwner->GetPosBlk();
    if (CArticExpTrk* owner = m_pOwner->GetOwner())
        if (trk) *trk = owner->GetPosTrk();
}

int CArticExpEvnt::ReLinkWrkBlk(CArticWrk* wrk) {
    CArticWrkBlk* blk = GetMidWrkBlk(0);
    CArticWrkTrk* trk = blk ? blk->GetOwner() : nullptr;
    CArticWrk* home = trk ? trk->GetOwner() : nullptr;
    if (!m_pPasnData || !wrk || !home) return 1;
    if (home == wrk) return 0;
    CArticWrkTrk* twin = wrk->GetOrigTrk(trk->GetTrkNo());
    CArticWrkBlk* linked = twin ? twin->Get(blk->GetBlkNo()) : nullptr;
    if (!linked) return 1;
    SetMidWrkBlk(0, linked);
    return 0;
}

int CArticExpEvnt::GetOwner(CArticExpBlk** blk) const {
    if (blk) *blk = m_pOwner;
    return m_pOwner ? 1 : 0;
}

int CArticExpEvnt::GetPasnData(CArticPasnData** data) const {
    if (data) *data = m_pPasnData;
    return m_pPasnData ? 1 : 0;
}

// ---- Middle work blocks

CArticWrkBlk* CArticExpEvnt::NewWrkBlk(BYTE kind, CArticWrkBlk* where) {
    CArticWrk* wrk = where ? where->GetWrk() : nullptr;
    if (!wrk) return nullptr;
    CArticWrkTrk* trk = wrk->NewTrk(kind);
    if (!trk) return nullptr;
    CArticWrkBlk* blk = trk->NewBlk();
    if (!blk) {
        // A track without a block is of no use to anyone: take it back.
        wrk->Remove(trk, nullptr);
        delete trk;
    }
    return blk;
}

CArticWrkBlk* CArticExpEvnt::NewMidWrkBlk(ULONG n, BYTE kind, CArticWrkBlk* where) {
    if (!m_pPasnData) return nullptr;
    CArticWrkBlk* blk = NewWrkBlk(kind, where);
    if (blk) SetMidWrkBlk(n, blk);
    return blk;
}

CArticWrkBlk* CArticExpEvnt::NewMidCommonWrkBlk(ULONG n, BYTE kind, CArticWrkBlk* where) {
    if (!GetCommon()) return nullptr;
    CArticWrkBlk* blk = NewWrkBlk(kind, where);
    if (blk) SetMidCommonWrkBlk(n, blk, where);
    return blk;
}

int CArticExpEvnt::GetMidWrkBlk(ULONG n, CArticWrkBlk** blk) const {
    if (blk) *blk = GetMidWrkBlk(n);
    return 1;
}

CArticWrkBlk* CArticExpEvnt::GetMidWrkBlk(ULONG n) const { return m_pPasnData ? m_pPasnData->Get(n) : nullptr; }

void CArticExpEvnt::SetMidWrkBlk(ULONG n, CArticWrkBlk* blk) {
    if (m_pPasnData) m_pPasnData->Set(n, blk);
}

CArticPasnCommon* CArticExpEvnt::GetCommon() const {
    CArticPasn* pasn = m_pPasnData ? m_pPasnData->GetOwner() : nullptr;
    return pasn ? pasn->GetCommon() : nullptr;
}

int CArticExpEvnt::GetMidCommonWrkBlk(ULONG n, CArticWrkBlk** blk) const {
    if (blk) *blk = GetMidCommonWrkBlk(n);
    return 1;
}

CArticWrkBlk* CArticExpEvnt::GetMidCommonWrkBlk(ULONG n) const {
    CArticPasnCommon* common = GetCommon();
    return common ? common->Get(n) : nullptr;
}

void CArticExpEvnt::SetMidCommonWrkBlk(ULONG n, CArticWrkBlk* blk, CArticWrkBlk* from) {
    if (CArticPasnCommon* common = GetCommon()) common->Set(n, blk, from);
}

void CArticExpEvnt::EntryMidCommonWrkBlk(ULONG n, CArticWrkBlk* blk) {
    if (CArticPasnCommon* common = GetCommon()) common->Entry(n, blk);
}

int CArticExpEvnt::GetMidWrk(CArticWrk** wrk) const {
    if (wrk) *wrk = GetMidWrk();
    return 1;
}

CArticWrk* CArticExpEvnt::GetMidWrk() const {
    CArticWrkBlk* blk = GetMidWrkBlk(0);
    return blk ? blk->GetWrk() : nullptr;
}

int CArticExpEvnt::GetWrk(CArticWrk** wrk) const {
    if (wrk) *wrk = GetWrk();
    return 1;
}

CArticWrk* CArticExpEvnt::GetWrk() const {
    CArticWrkBlk* blk = m_pOwner ? m_pOwner->GetWrkBlk() : nullptr;
    return blk ? blk->GetWrk() : nullptr;
}

// ---- Text and errors

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
