#pragma once
// One part's work blocks: slot 0 is the part's own block, slots 1 and up the
// blocks its expressions made for it. The record never owns the blocks.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/Types.h"

class CArticPasn;
class CArticWrkBlk;

using CArticWrkBlkArray = CTypedPtrArray<CPtrArray, CArticWrkBlk*>;

class CArticPasnData : public CObject {
    VX_DECLARE_CLASS(CArticPasnData)
public:
    static constexpr int kInitSlots = 16;
    static constexpr int kGrowSlots = 8;

    explicit CArticPasnData(CArticPasn* owner = nullptr);
    ~CArticPasnData() override;
    CArticPasnData(const CArticPasnData&) = delete;
    CArticPasnData& operator=(const CArticPasnData&) = delete;

    // 16 empty slots, count 0.
    virtual void InitWrkBlkArray();
    virtual void ClearWrkBlkArray();
    // Replaces the slots by the count given blocks.
    virtual void CopyWrkBlkArray(int count, CArticWrkBlk* const* blocks);
    virtual void Clear();
    virtual int IsWrkBlk(const CArticWrkBlk* blk) const;

    virtual CArticPasn* GetOwner() const { return m_pOwner; }
    virtual void SetOwner(CArticPasn* owner) { m_pOwner = owner; }
    virtual ULONG GetBlkNum() const { return m_BlkNum; }
    virtual void SetBlkNum(ULONG n) { m_BlkNum = n; }
    // 1 and the block of slot n (below the count); 0 when it holds none.
    virtual int Get(ULONG n, CArticWrkBlk** blk) const;
    virtual CArticWrkBlk* Get(ULONG n) const;
    // Stores blk in slot n, growing by 8 slots at a time and raising the
    // count to n + 1 when needed: 1; 0 for a slot number beyond any array.
    virtual int Set(ULONG n, CArticWrkBlk* blk);
    // Set at the current count.
    virtual int AddTail(CArticWrkBlk* blk);
    virtual int GetSlotCount() const { return m_Blks.GetSize(); }

protected:
    // Grows a slot array so that slot n exists: false when n is out of reach.
    template <class A>
    static bool GrowFor(A& array, ULONG n);

private:
    CArticPasn* m_pOwner;  // not owned
    ULONG m_BlkNum = 0;
    CArticWrkBlkArray m_Blks;  // the blocks are not owned
};

template <class A>
bool CArticPasnData::GrowFor(A& array, ULONG n) {
    if (n >= 0x10000000u) return false;
    int size = array.GetSize();
    if (int(n) < size) return true;
    while (size <= int(n)) size += kGrowSlots;
    array.SetSize(size);
    return true;
}
