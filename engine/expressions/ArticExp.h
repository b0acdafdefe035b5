#pragma once
// The expression data of one conversion: tracks of blocks of expressions,
// mirroring the work data they edit. Each level owns the level below it.
#include "engine/expressions/ArticExpEvnt.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticExp;
class CArticExpTrk;
class CArticWrkBlk;
class CArticWrkTrk;

using CArticExpEvntList = CTypedPtrList<CObList, CArticExpEvnt*>;

class CArticExpBlk : public CObject {
    VX_DECLARE_CLASS(CArticExpBlk)
public:
    CArticExpBlk(CArticExpTrk* owner, ULONG blkNo);
    ~CArticExpBlk() override;
    CArticExpBlk(const CArticExpBlk&) = delete;
    CArticExpBlk& operator=(const CArticExpBlk&) = delete;

    // Takes ownership of evnt and makes this block its owner.
    virtual POSITION AddTail(CArticExpEvnt* evnt);
    virtual int GetCount() const;
    virtual POSITION GetHeadPos() const;
    virtual POSITION GetTailPos() const;  // null when the block holds no expression
    virtual CArticExpEvnt* GetNext(POSITION& pos) const;
    virtual CArticExpEvntList* GetEvntList() const { return m_pEvntList; }
    virtual void ClearEvntList();

    // The raw expression texts placed on this block before they are parsed.
    virtual CStringList* GetEvntStrList() const { return m_pEvntStrList; }
    virtual void ClearEvntStrList();

    virtual CArticExpTrk* GetOwner() const { return m_pOwner; }
    virtual ULONG GetBlkNo() const { return m_BlkNo; }
    virtual CArticWrkBlk* GetWrkBlk() const { return m_pWrkBlk; }
    virtual void SetWrkBlk(CArticWrkBlk* blk) { m_pWrkBlk = blk; }
    virtual POSITION GetPosBlk() const { return m_PosBlk; }
    virtual void SetPosBlk(POSITION pos) { m_PosBlk = pos; }

private:
    CArticExpTrk* m_pOwner;  // not owned
    POSITION m_PosBlk = nullptr;
    ULONG m_BlkNo;
    CArticWrkBlk* m_pWrkBlk = nullptr;   // not owned
    CArticExpEvntList* m_pEvntList;      // owned, with its expressions
    CStringList* m_pEvntStrList;         // owned
};

using CArticExpBlkList = CTypedPtrList<CObList, CArticExpBlk*>;

class CArticExpTrk : public CObject {
    VX_DECLARE_CLASS(CArticExpTrk)
public:
    CArticExpTrk(CArticExp* owner, ULONG trkNo, ULONG ch, ULONG port);
    ~CArticExpTrk() override;
    CArticExpTrk(const CArticExpTrk&) = delete;
    CArticExpTrk& operator=(const CArticExpTrk&) = delete;

    // Takes ownership of blk.
    virtual POSITION AddTail(CArticExpBlk* blk);
    virtual int GetCount() const;
    virtual CArticExpBlk* Get(ULONG blkNo) const;  // first with that number; null when missing
    virtual CArticExpBlk* GetAt(int index) const;  // null outside the list
    virtual CArticExpBlkList* GetBlkList() const { return m_pBlkList; }
    virtual void ClearBlkList();
    virtual void ClearEvntStrList();

    virtual CArticExp* GetOwner() const { return m_pOwner; }
    virtual ULONG GetTrkNo() const { return m_TrkNo; }
    virtual ULONG GetCh() const { return m_Ch; }
    virtual ULONG GetPort() const { return m_Port; }
    virtual CArticWrkTrk* GetWrkTrk() const { return m_pWrkTrk; }
    virtual void SetWrkTrk(CArticWrkTrk* trk) { m_pWrkTrk = trk; }
    virtual POSITION GetPosTrk() const { return m_PosTrk; }
    virtual void SetPosTrk(POSITION pos) { m_PosTrk = pos; }

private:
    CArticExp* m_pOwner;  // not owned
    POSITION m_PosTrk = nullptr;
    ULONG m_TrkNo;
    ULONG m_Ch;
    ULONG m_Port;
    CArticWrkTrk* m_pWrkTrk = nullptr;  // not owned
    CArticExpBlkList* m_pBlkList;       // owned, with its blocks
};

using CArticExpTrkList = CTypedPtrList<CObList, CArticExpTrk*>;

class CArticExp : public CObject {
    VX_DECLARE_CLASS(CArticExp)
public:
    CArticExp();
    ~CArticExp() override;
    CArticExp(const CArticExp&) = delete;
    CArticExp& operator=(const CArticExp&) = delete;

    // Deletes every track with its blocks and expressions and empties the
    // event-position array.
    virtual void Clear();
    // Takes ownership of trk.
    virtual POSITION AddTail(CArticExpTrk* trk);
    virtual int GetCount() const;
    virtual CArticExpTrk* Get(ULONG trkNo) const;  // first with that number; null when missing
    virtual CArticExpTrk* GetAt(int index) const;  // null outside the list
    virtual CArticExpTrkList* GetTrkList() const { return m_pTrkList; }
    // The block numbered blkNo of the track numbered trkNo; null when either is missing.
    virtual CArticExpBlk* GetExpBlk(ULONG trkNo, ULONG blkNo) const;
    virtual void ClearEvntStrList();
    virtual CPtrArray* GetEvntPosArray() const { return m_pEvntPosArray; }

private:
    CArticExpTrkList* m_pTrkList;  // owned, with its tracks
    CPtrArray* m_pEvntPosArray;    // owned; the expressions it points at belong to the blocks
};
