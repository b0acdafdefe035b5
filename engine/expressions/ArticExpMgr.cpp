#include "engine/expressions/ArticExpMgr.h"

#include "services/ArticPasn.h"
#include "engine/expressions/ArticExp.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticWrk.h"

VX_IMPLEMENT_CLASS(CArticExpMgr, CObject);

CArticExpMgr::CArticExpMgr(CArticWrk* wrk, CArticExp* exp, CArticExpBlk* sortBlk, CArticPasn* pasn,
                           CArticWrk* midWrk)
    : m_pWrk(wrk), m_pExp(exp), m_pSortBlk(sortBlk), m_pMidWrk(midWrk), m_pPasn(pasn) {}

CArticExpMgr::~CArticExpMgr() { Hold(false); }

void CArticExpMgr::Hold(bool on) {
    if (on == m_Holding) return;
    m_Holding = on;
    CArticWrkEvnt::HoldFreedMemory(on ? 1 : 0);
}

// ---- Dumps

namespace {

// The dump of the whole data, of the track at index trk, or of its block at index blk.
template <class Data, class Dump>
int DumpAt(Data* data, int trk, int blk, CStringList& list, Dump dump) {
    list.RemoveAll();
    auto* t = data && trk >= 0 ? data->Get(trk) : nullptr;
    if (!t) return 1;
    if (blk < 0) return dump(t);
    auto* b = t->Get(blk);
    return b ? dump(b) : 1;
}

constexpr ULONG kAllSets = 2147483647;

}  // namespace

int CArticExpMgr::GetWrkStrList(int trk, int blk, CStringList& list, ULONG set, int withRuleData) {
    return DumpAt(m_pWrk, trk, blk, list, [&](auto* at) { return at->GetStrList(list, set, withRuleData); });
}

int CArticExpMgr::GetWrkStrList(CStringList& list, ULONG set, int withRuleData) {
    list.RemoveAll();
    return m_pWrk ? m_pWrk->GetStrList(list, set, withRuleData) : 1;
}

int CArticExpMgr::GetMidStrList(int trk, int blk, CStringList& list) {
    return DumpAt(m_pMidWrk, trk, blk, list, [&](auto* at) { return at->GetStrList(list, kAllSets, 0); });
}

int CArticExpMgr::GetMidStrList(CStringList& list) {
    list.RemoveAll();
    return m_pMidWrk ? m_pMidWrk->GetStrList(list, kAllSets, 0) : 1;
}

int CArticExpMgr::GetExpStrList(int trk, int blk, CStringList& list) {
    return DumpAt(m_pExp, trk, blk, list, [&](auto* at) { return at->GetStrList(list); });
}

int CArticExpMgr::GetExpStrList(CStringList& list) {
    list.RemoveAll();
    return m_pExp ? m_pExp->GetStrList(list) : 1;
}

// ---- Places of a block's result

int CArticExpMgr::GetMidTrkBlkNo(int trk, int blk, std::vector<int>& trkIdx, std::vector<int>& blkIdx) {
    if (!m_pWrk || !m_pMidWrk) return 1;
    trkIdx.clear();
    blkIdx.clear();
    CArticWrkTrk* wrkTrk = trk >= 0 ? m_pWrk->Get(trk) : nullptr;
    const int midTrk = wrkTrk ? m_pMidWrk->GetOrigTrkIndex(wrkTrk->GetTrkNo()) : -1;
    if (midTrk < 0) return 1;
    trkIdx.push_back(midTrk);
    blkIdx.push_back(blk);
    CArticWrkTrk* twin = m_pMidWrk->Get(midTrk);
    CArticWrkBlk* midBlk = m_pPasn && blk >= 0 && twin ? twin->Get(blk) : nullptr;
    CArticPasnData* record = midBlk ? m_pPasn->Get(midBlk) : nullptr;
    for (ULONG n = 1; record && n < record->GetBlkNum(); ++n) {
        CArticWrkBlk* extra = record->Get(n);
        CArticWrkTrk* owner = extra ? extra->GetOwner() : nullptr;
        if (!owner) continue;
        trkIdx.push_back(m_pMidWrk->GetIndex(owner));
        blkIdx.push_back(owner->GetIndex(extra));
    }
    return 0;
}

int CArticExpMgr::GetMidTrkBlkPos(int trk, int blk, std::vector<POSITION>& trkPos, std::vector<POSITION>& blkPos) {
    trkPos.clear();
    blkPos.clear();
    CArticWrkTrk* t = m_pWrk && trk >= 0 ? m_pWrk->Get(trk) : nullptr;
    CArticWrkBlk* b = t && blk >= 0 ? t->Get(blk) : nullptr;
    const CArticPosArray* records = b ? b->GetPosArray() : nullptr;
    for (int i = 0; records && i < records->GetSize(); ++i) {
        const CArticPos* rec = records->GetAt(i);
        if (!rec || !rec->GetTrk() || !rec->GetBlk()) continue;
        trkPos.push_back(rec->GetTrk());
        blkPos.push_back(rec->GetBlk());
    }
    return trkPos.empty() ? 1 : 0;
}

// ---- Ordering and phases

int CArticExpMgr::ReLinkExp() {
    if (!m_pExp || !m_pSortBlk || !m_pMidWrk) return 1;
    if (int rc = m_pExp->CopyExp(m_pSortBlk)) return rc;
    return m_pSortBlk->ReLinkExp(m_pMidWrk);
}

int CArticExpMgr::SortExp(const CStringList& order) {
    if (!m_pExp || !m_pSortBlk || !m_pMidWrk) return 1;
    if (int rc = m_pExp->CopyExp(m_pSortBlk)) return rc;
    return m_pSortBlk->SortExp(order, m_pMidWrk);
}

int CArticExpMgr::ConvToWrk() {
    // Events the phases create under a taken number receive a free one.
    if (m_pMidWrk) m_pMidWrk->ChangeEvntNo(1);
    if (!m_pSortBlk) return 1;
    Hold(true);
    m_pSortBlk->SetProcDialog(m_pProc);
    return m_pSortBlk->ConvToWrk();
}

int CArticExpMgr::ConvToWrkCombine() { return m_pSortBlk ? m_pSortBlk->ConvToWrkCombine() : 1; }
int CArticExpMgr::ConvToWrk2() { return m_pSortBlk ? m_pSortBlk->ConvToWrk2() : 1; }

int CArticExpMgr::ConvToWrk3() {
    const int rc = m_pSortBlk ? m_pSortBlk->ConvToWrk3() : 1;
    Hold(false);
    return rc;
}

int CArticExpMgr::GetSortExpEvntNum() const { return m_pSortBlk ? m_pSortBlk->GetCount() : 0; }
