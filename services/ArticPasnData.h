#pragma once
// One part's work blocks: slot 0 is the part's own block, slots 1 and up the
// blocks its expressions made for it. The record never owns the blocks.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/Types.h"

class CArticArrayCh;
class CArticPasn;
class CArticWrk;
class CArticWrkBlk;
class CArticWrkTrk;

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
    // Empties the slots (they stay) and sets the count to 0.
    virtual void ClearWrkBlkArray();
    // Drops the slots.
    virtual void DeleteWrkBlkArray();
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

    // ---- Ports and channels of the blocks' tracks (a track numbered 0 is
    // never changed). These work on the song through the song bridge, so they
    // live with the driver, above the engine that fills the records, and are
    // not virtual: the records' own code below the engine never reaches them.
    // Keys of the tables are port x 256 + channel; channel index 9 is never handed out.
    //
    // A free port and channel: on *port first, then ports 0 to count - 1, the
    // first channel neither the work data's part tracks nor the song use
    // (the tracks written out for the second form). 1 when found, else 0
    // (also without owner, track, host or work data).
    int GetEmptyPortCh(CArticWrkTrk* trk, DWORD portCount, DWORD* port, DWORD* ch) const;
    int GetEmptyPortCh2(CArticWrkTrk* trk, DWORD portCount, DWORD* port, DWORD* ch) const;
    // By voice: the first song channel of the source table that plays the
    // block's voice (its own when it carries one, else the voice table's
    // first) and is not yet assigned wins with voice output off; else the
    // first channel of *port in neither the used nor the assigned table,
    // voice output on. The winner joins the assigned table. 1 when found.
    int GetEmptyPortCh(CArticWrkTrk* trk, CArticWrkBlk* blk, DWORD* port, DWORD* ch, const CArticArrayCh* voice,
                       const CArticArrayCh* source, const CArticArrayCh* used, CArticArrayCh* assigned) const;
    // The same for a given voice, looked for in the voice table.
    int GetEmptyPortChLayer(CArticWrkTrk* trk, CArticWrkBlk* blk, DWORD* port, DWORD* ch, const CArticArrayCh* voice,
                            const CArticArrayCh* used, CArticArrayCh* assigned, BYTE msb, BYTE lsb, BYTE pro) const;
    // Re-points the blocks into a copy of their work data (same track and
    // block numbers): 0, or 1 when a block has no counterpart there.
    int ReLinkWrkBlk(CArticWrk* wrk);
    // The port number of a port id through the owner's host (0 when unknown).
    DWORD GetPortFromPortID(DWORD portId) const;
    // Every layer copy (slots 1 and up) gets the port and channel.
    int ResetAll(DWORD port, DWORD ch);
    // Slot 0 gets the port and channel of the song track it came from (the
    // given ones without a song track).
    int ResetOrig(DWORD port, DWORD ch);
    // Each layer copy gets a free port and channel (the given ones when none).
    int ResetSeqAll(DWORD portCount, DWORD port, DWORD ch);
    int ResetSeqAll2(DWORD portCount, DWORD port, DWORD ch);
    int ResetSeqAll(DWORD port, DWORD ch, const CArticArrayCh* source, const CArticArrayCh* used,
                    const CArticArrayCh* voice, CArticArrayCh* assigned);
    // Slot 0 keeps its track's own port and channel on the first call for a
    // block from the song (or, with tables, for a block without one whose key
    // is assigned already); otherwise it gets a free one: 0, or 1 when none
    // was free (the given ones then). *first is cleared.
    int ResetSeqOrig(DWORD port, DWORD ch, int* first, const CArticArrayCh* source, const CArticArrayCh* used,
                     const CArticArrayCh* voice, CArticArrayCh* assigned);
    int ResetSeqOrig(DWORD portCount, DWORD port, DWORD ch, int* first);
    int ResetSeqOrig2(DWORD portCount, DWORD port, DWORD ch, int* first);

protected:
    // The resets of the layer copies from slot `from` on.
    int ResetAllFrom(ULONG from, DWORD port, DWORD ch);
    int ResetSeqAllFrom(ULONG from, DWORD portCount, DWORD port, DWORD ch, bool written);
    int ResetSeqAllFrom(ULONG from, DWORD port, DWORD ch, const CArticArrayCh* source, const CArticArrayCh* used,
                        const CArticArrayCh* voice, CArticArrayCh* assigned);
    int ResetSeqOrigBy(DWORD portCount, DWORD port, DWORD ch, int* first, bool written);
    int GetEmptyPortChBy(CArticWrkTrk* trk, DWORD portCount, DWORD* port, DWORD* ch, bool written) const;
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
