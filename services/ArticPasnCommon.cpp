#include "services/ArticPasnCommon.h"

VX_IMPLEMENT_CLASS(CArticPasnCommon, CArticPasnData);

CArticPasnCommon::CArticPasnCommon(CArticPasn* owner) : CArticPasnData(owner) { InitWrkBlkListArray(); }

CArticPasnCommon::~CArticPasnCommon() { DeleteWrkBlkListArray(); }

void CArticPasnCommon::Clear() {
    CArticPasnData::Clear();
    InitWrkBlkListArray();
}

void CArticPasnCommon::InitWrkBlkListArray() {
    DeleteWrkBlkListArray();
    m_Lists.SetSize(kInitSlots);
}

void CArticPasnCommon::DeleteWrkBlkListArray() {
    for (int i = 0; i < m_Lists.GetSize(); ++i) delete m_Lists.GetAt(i);
    m_Lists.RemoveAll();
}

void CArticPasnCommon::ClearWrkBlkListArray() {
    for (int i = 0; i < m_Lists.GetSize(); ++i) ClearWrkBlkList(ULONG(i));
}

void CArticPasnCommon::ClearWrkBlkList(ULONG n) {
    if (CArticWrkBlkPtrList* list = m_Lists.GetAt(int(n))) list->RemoveAll();
}

int CArticPasnCommon::IsWrkBlk(const CArticWrkBlkPtrList* list, const CArticWrkBlk* blk) const {
    return list && blk && list->Find(const_cast<CArticWrkBlk*>(blk)) ? 1 : 0;
}

int CArticPasnCommon::Set(ULONG n, CArticWrkBlk* blk, CArticWrkBlk* from) {
    if (!CArticPasnData::Set(n, blk)) return 0;
    Entry(n, from);
    return 1;
}

int CArticPasnCommon::Entry(ULONG n, CArticWrkBlk* blk) {
    if (!blk || !GrowFor(m_Lists, n)) return 0;
    CArticWrkBlkPtrList* list = m_Lists.GetAt(int(n));
    if (!list) {
        list = new CArticWrkBlkPtrList(10);
        m_Lists.SetAt(int(n), list);
    }
    if (!IsWrkBlk(list, blk)) list->AddTail(blk);
    return 1;
}

const CArticWrkBlkPtrList* CArticPasnCommon::GetWrkBlkList(ULONG n) const { return m_Lists.GetAt(int(n)); }

void CArticPasnCommon::GetWrkBlkArray(const CArticWrkBlk* blk, std::vector<CArticWrkBlk*>& out) const {
    for (ULONG i = 0; i < GetBlkNum(); ++i) {
        CArticWrkBlk* shared = Get(i);
        if (shared && IsWrkBlk(m_Lists.GetAt(int(i)), blk)) out.push_back(shared);
    }
}
