#include "services/ArticPasnData.h"

VX_IMPLEMENT_CLASS(CArticPasnData, CObject);

CArticPasnData::CArticPasnData(CArticPasn* owner) : m_pOwner(owner) { InitWrkBlkArray(); }

CArticPasnData::~CArticPasnData() { DeleteWrkBlkArray(); }

void CArticPasnData::InitWrkBlkArray() {
    m_Blks.RemoveAll();
    m_Blks.SetSize(kInitSlots);
    m_BlkNum = 0;
}

void CArticPasnData::ClearWrkBlkArray() {
    for (int i = 0; i < m_Blks.GetSize(); ++i) m_Blks.SetAt(i, nullptr);
    m_BlkNum = 0;
}

void CArticPasnData::DeleteWrkBlkArray() {
    m_Blks.RemoveAll();
    m_BlkNum = 0;
}

void CArticPasnData::CopyWrkBlkArray(int count, CArticWrkBlk* const* blocks) {
    InitWrkBlkArray();
    if (!blocks) return;
    for (int i = 0; i < count; ++i) Set(ULONG(i), blocks[i]);
}

void CArticPasnData::Clear() { InitWrkBlkArray(); }

int CArticPasnData::IsWrkBlk(const CArticWrkBlk* blk) const {
    if (!blk) return 0;
    for (ULONG i = 0; i < m_BlkNum; ++i)
        if (m_Blks.GetAt(int(i)) == blk) return 1;
    return 0;
}

int CArticPasnData::Get(ULONG n, CArticWrkBlk** blk) const {
    CArticWrkBlk* found = Get(n);
    if (found && blk) *blk = found;
    return found ? 1 : 0;
}

CArticWrkBlk* CArticPasnData::Get(ULONG n) const { return n < m_BlkNum ? m_Blks.GetAt(int(n)) : nullptr; }

int CArticPasnData::Set(ULONG n, CArticWrkBlk* blk) {
    if (!GrowFor(m_Blks, n)) return 0;
    m_Blks.SetAt(int(n), blk);
    if (m_BlkNum < n + 1) m_BlkNum = n + 1;
    return 1;
}

int CArticPasnData::AddTail(CArticWrkBlk* blk) { return Set(m_BlkNum, blk); }
