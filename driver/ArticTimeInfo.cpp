#include "services/ArticTimeInfo.h"

#include "driver/ArticTimeMgr.h"
#include "engine/expressions/ArticExp.h"
#include "engine/rules/ArticRul.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"

VX_IMPLEMENT_CLASS(CArticTimeInfo, CObject);

CArticTimeInfo::CArticTimeInfo(CArticTimeMgr* mgr)
    : m_pTimeMgr(mgr),
      m_pWrk(new CArticWrk),
      m_pExp(new CArticExp),
      m_pStrWrk(new CStringList),
      m_pStrExp(new CStringList),
      m_pStrRul(new CStringList) {
    m_pRul = new CArticRul(m_pWrk, nullptr);
    if (mgr) m_pRul->SetRul(mgr->GetRul());
}

CArticTimeInfo::~CArticTimeInfo() {
    delete m_pRul;
    delete m_pExp;
    delete m_pWrk;
    delete m_pStrWrk;
    delete m_pStrExp;
    delete m_pStrRul;
}

void CArticTimeInfo::ClearStrList() {
    m_pStrWrk->RemoveAll();
    m_pStrExp->RemoveAll();
    m_pStrRul->RemoveAll();
}

void CArticTimeInfo::CopyStrList(const CArticTimeInfo& src) {
    SetStrWrkList(*src.m_pStrWrk);
    SetStrExpList(*src.m_pStrExp);
    SetStrRulList(*src.m_pStrRul);
}

void CArticTimeInfo::SetStrWrkList(const CStringList& list) {
    m_pStrWrk->RemoveAll();
    m_pStrWrk->AddTail(list);
}

void CArticTimeInfo::SetStrExpList(const CStringList& list) {
    m_pStrExp->RemoveAll();
    m_pStrExp->AddTail(list);
}

void CArticTimeInfo::SetStrRulList(const CStringList& list) {
    m_pStrRul->RemoveAll();
    m_pStrRul->AddTail(list);
}

int CArticTimeInfo::GetTimeMgr(CArticTimeMgr** mgr) const {
    if (mgr) *mgr = m_pTimeMgr;
    return 1;
}

int CArticTimeInfo::GetWrk(CArticWrk** wrk) const {
    if (wrk) *wrk = m_pWrk;
    return 1;
}

int CArticTimeInfo::GetExp(CArticExp** exp) const {
    if (exp) *exp = m_pExp;
    return 1;
}

int CArticTimeInfo::GetRul(CArticRul** rul) const {
    if (rul) *rul = m_pRul;
    return 1;
}

void CArticTimeInfo::Clear() {
    m_pWrk->Clear();
    m_pStrWrk->RemoveAll();
    ClearExp();
    ClearRul();
}

void CArticTimeInfo::ClearExp() {
    m_pExp->Clear();
    m_pStrExp->RemoveAll();
}

void CArticTimeInfo::ClearRul() {
    m_pRul->Clear();
    m_pStrRul->RemoveAll();
    m_RulType = 0;
    m_RulFileName.Empty();
    m_Create = 0;
}

int CArticTimeInfo::DevideWrk(INT64 start, INT64 end) {
    CArticWrk* src = m_pTimeMgr ? m_pTimeMgr->GetWrk() : nullptr;
    if (!src || start >= end) return 1;
    m_pWrk->Clear();
    m_pWrk->CopyForCore(src);
    // The master track is kept whole; the part tracks keep the section's events.
    for (POSITION tp = m_pWrk->GetHeadPos(); tp;) {
        CArticWrkTrk* trk = m_pWrk->GetNext(tp);
        if (!trk || trk->GetTrkNo() == 0) continue;
        for (POSITION bp = trk->GetHeadPos(); bp;) {
            CArticWrkBlk* blk = trk->GetNext(bp);
            if (!blk) continue;
            for (POSITION ep = blk->GetHeadPos(); ep;) {
                const POSITION at = ep;
                CArticWrkEvnt* e = blk->GetNext(ep);
                if (!e || (e->GetTime() >= start && e->GetTime() < end)) continue;
                m_pWrk->DeleteEvntPos(e);
                blk->Remove(at);
                delete e;
            }
        }
    }
    m_pStrWrk->RemoveAll();
    return m_pWrk->GetStrList(*m_pStrWrk, kNoRuleSet, 0);
}

int CArticTimeInfo::DevideExp() {
    CArticExp* src = m_pTimeMgr ? m_pTimeMgr->GetExp() : nullptr;
    if (!src) return 1;
    m_pExp->Clear();
    for (POSITION p = src->GetHeadPos(); p;) {
        CArticExpTrk* from = src->GetNext(p);
        if (!from) continue;
        auto* trk = new CArticExpTrk(m_pExp, from->GetTrkNo(), from->GetCh(), from->GetPort());
        trk->SetWrkTrk(m_pWrk->Get(ULONG(from->GetTrkNo())));
        m_pExp->AddTail(trk);
    }
    m_pStrExp->RemoveAll();
    return m_pExp->GetStrList(*m_pStrExp);
}

int CArticTimeInfo::Devide() {
    if (!m_pTimeMgr || !m_pTimeMgr->GetWrk() || !m_pTimeMgr->GetExp()) return 1;
    int r = DevideWrk(m_TimeS, m_TimeE);
    if (r == 0) r = DevideExp();
    if (r == 0) m_Create = 0;
    return r;
}

int CArticTimeInfo::MergeWrkEvnt(int /*flag*/) {
    CArticWrk* dst = m_pTimeMgr ? m_pTimeMgr->GetWrk() : nullptr;
    if (!dst) return 1;
    for (POSITION tp = m_pWrk->GetHeadPos(); tp;) {
        CArticWrkTrk* trk = m_pWrk->GetNext(tp);
        CArticWrkTrk* dstTrk = trk ? dst->Get(ULONG(trk->GetTrkNo())) : nullptr;
        if (!dstTrk) continue;
        for (POSITION bp = trk->GetHeadPos(); bp;) {
            CArticWrkBlk* blk = trk->GetNext(bp);
            CArticWrkBlk* dstBlk = blk ? dstTrk->Get(ULONG(blk->GetBlkNo())) : nullptr;
            if (!dstBlk) continue;
            for (POSITION ep = blk->GetHeadPos(); ep;) {
                CArticWrkEvnt* e = blk->GetNext(ep);
                CArticWrkEvnt* target = e ? dstBlk->Get(ULONG(e->GetEvntNo())) : nullptr;
                if (target) target->RestoreProb(e);
            }
        }
    }
    return 0;
}

int CArticTimeInfo::MergeWrk(int flag) { return MergeWrkEvnt(flag); }

int CArticTimeInfo::MergeExp() { return MergeWrkEvnt(0); }

int CArticTimeInfo::Merge(int /*flag*/) { return m_pWrk && m_pExp ? MergeExp() : 1; }

CString CArticTimeInfo::GetString() const {
    ULONG meas[2] = {}, beat[2] = {}, tick[2] = {};
    CArticWrk* wrk = m_pTimeMgr ? m_pTimeMgr->GetWrk() : nullptr;
    if (wrk) {
        wrk->GetEvntMeas(m_TimeS, &meas[0], &beat[0], &tick[0]);
        wrk->GetEvntMeas(m_TimeE, &meas[1], &beat[1], &tick[1]);
    }
    CString line;
    line.Format("%d/%02d/%03d ～ %d/%02d/%03d  %s  ﾌｧｲﾙ名 = %s  create = %d", int(meas[0]), int(beat[0]),
                int(tick[0]), int(meas[1]), int(beat[1]), int(tick[1]), m_RulType == 1 ? "ｷﾞﾀｰ" : "汎用",
                (const char*)m_RulFileName, m_Create);
    return line;
}
