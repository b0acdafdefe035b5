#pragma once
// The blocks shared by all parts of a conversion: slot n holds a shared block
// and list n the blocks that use it (each once).
#include <vector>

#include "services/ArticPasnData.h"

using CArticWrkBlkPtrList = CTypedPtrList<CPtrList, CArticWrkBlk*>;
using CArticWrkBlkListArray = CTypedPtrArray<CPtrArray, CArticWrkBlkPtrList*>;

class CArticPasnCommon : public CArticPasnData {
    VX_DECLARE_CLASS(CArticPasnCommon)
public:
    explicit CArticPasnCommon(CArticPasn* owner = nullptr);
    ~CArticPasnCommon() override;

    void Clear() override;
    virtual void InitWrkBlkListArray();
    virtual void DeleteWrkBlkListArray();
    virtual void ClearWrkBlkListArray();
    virtual void ClearWrkBlkList(ULONG n);
    // Whether the list holds the block.
    virtual int IsWrkBlk(const CArticWrkBlkPtrList* list, const CArticWrkBlk* blk) const;
    using CArticPasnData::IsWrkBlk;
    using CArticPasnData::Set;
    // Slot n takes blk, then `from` joins list n: 1; 0 when n is out of reach.
    virtual int Set(ULONG n, CArticWrkBlk* blk, CArticWrkBlk* from);
    // blk joins list n unless already there: 1; 0 for a null block or n out of reach.
    virtual int Entry(ULONG n, CArticWrkBlk* blk);
    // The block of list n, in order (empty when none).
    virtual const CArticWrkBlkPtrList* GetWrkBlkList(ULONG n) const;
    // Appends the shared block of every list that holds blk.
    virtual void GetWrkBlkArray(const CArticWrkBlk* blk, std::vector<CArticWrkBlk*>& out) const;

    // Every shared block (slot 0 included) is a layer copy here.
    int ResetAll(DWORD port, DWORD ch);
    int ResetSeqAll(DWORD portCount, DWORD port, DWORD ch);
    int ResetSeqAll2(DWORD portCount, DWORD port, DWORD ch);
    int ResetSeqAll(DWORD port, DWORD ch, const CArticArrayCh* source, const CArticArrayCh* used,
                    const CArticArrayCh* voice, CArticArrayCh* assigned);
    // The shared blocks and the blocks of the lists, into a copy of the work data.
    int ReLinkWrkBlk(CArticWrk* wrk);

private:
    CArticWrkBlkListArray m_Lists;  // owned lists; the blocks in them are not owned
};
