#pragma once
// The phase runner of one conversion: flattens the expression tree into the
// sort block, replaces every expression there by a clone bound to the middle
// work data (in tree order, or grouped by class), and runs the four
// conversion phases over the clones. The manager owns none of what it is given.
#include <vector>

#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticExp;
class CArticExpBlk;
class CArticPasn;
class CArticWrk;
class CPhrasorProc;

class CArticExpMgr : public CObject {
    VX_DECLARE_CLASS(CArticExpMgr)
public:
    CArticExpMgr(CArticWrk* wrk, CArticExp* exp, CArticExpBlk* sortBlk, CArticPasn* pasn, CArticWrk* midWrk);
    ~CArticExpMgr() override;
    CArticExpMgr(const CArticExpMgr&) = delete;
    CArticExpMgr& operator=(const CArticExpMgr&) = delete;

    // Dumps of the work data (the caller's two options), the middle work data
    // and the tree; trk/blk are list indexes, a negative blk the whole track.
    // Each empties list first: 0; 1 when the data or the place is missing.
    virtual int GetWrkStrList(int trk, int blk, CStringList& list, ULONG set, int withRuleData);
    virtual int GetWrkStrList(CStringList& list, ULONG set, int withRuleData);
    virtual int GetMidStrList(int trk, int blk, CStringList& list);
    virtual int GetMidStrList(CStringList& list);
    virtual int GetExpStrList(int trk, int blk, CStringList& list);
    virtual int GetExpStrList(CStringList& list);
    // The places in the middle work data (track index, block index) that
    // hold the result of the work block at indexes (trk, blk): its twin
    // first, then the blocks its part-assignment record adds: 0; 1 when
    // there is no twin (nothing written).
    virtual int GetMidTrkBlkNo(int trk, int blk, std::vector<int>& trkIdx, std::vector<int>& blkIdx);
    // The song positions (track, block) of the work block at (trk, blk): 0
    // when at least one pair was written.
    virtual int GetMidTrkBlkPos(int trk, int blk, std::vector<POSITION>& trkPos, std::vector<POSITION>& blkPos);
    virtual CArticWrk* GetWrk() const { return m_pWrk; }
    virtual CArticExp* GetExp() const { return m_pExp; }
    virtual void SetWrk(CArticWrk* wrk) { m_pWrk = wrk; }
    virtual void SetExp(CArticExp* exp) { m_pExp = exp; }
    virtual void SetProcDialog(CPhrasorProc* proc) { m_pProc = proc; }
    // The tree into the sort block, grouped by the class names of order.
    virtual int SortExp(const CStringList& order);
    // The tree into the sort block in tree order.
    virtual int ReLinkExp();
    // The four phases over the sort block. From phase 1 to the end of phase 3
    // the memory of removed work events is held, so that no address is
    // reused while expressions tell removed notes by address.
    virtual int ConvToWrk();
    virtual int ConvToWrkCombine();
    virtual int ConvToWrk2();
    virtual int ConvToWrk3();
    virtual int GetSortExpEvntNum() const;

private:
    void Hold(bool on);

    CArticWrk* m_pWrk;           // not owned
    CArticExp* m_pExp;           // not owned
    CArticExpBlk* m_pSortBlk;    // not owned
    CArticWrk* m_pMidWrk;        // not owned
    CArticPasn* m_pPasn;         // not owned
    CPhrasorProc* m_pProc = nullptr;  // not owned
    bool m_Holding = false;
};
