#pragma once
// The expression data of one conversion: tracks of blocks of expressions,
// mirroring the work data they edit. Each level owns the level below it; the
// tree also finds an expression by its number through the event-position
// array. A block outside any tree (the phase runner's sort block) runs the
// four conversion phases over its expressions.
#include <vector>

#include "engine/expressions/ArticExpEvnt.h"
#include "engine/work/ArticWrkBlk.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticExp;
class CArticExpTrk;
class CArticPasn;
class CArticPos;
class CArticWrk;
class CArticWrkBlk;
class CArticWrkTrk;
class CPhrasorProc;

using CArticExpEvntList = CTypedPtrList<CObList, CArticExpEvnt*>;

class CArticExpBlk : public CObject {
    VX_DECLARE_CLASS(CArticExpBlk)
public:
    CArticExpBlk(CArticExpTrk* owner, ULONG blkNo);
    ~CArticExpBlk() override;
    CArticExpBlk(const CArticExpBlk&) = delete;
    // Copies BlkName, the expressions (cloned by class into this block, when
    // it lies in a tree) and the raw texts; the work-block link is not copied.
    CArticExpBlk& operator=(const CArticExpBlk& src);

    virtual void ClearEvntStrList();
    // "BLK:<no>" and one line per expression: 0 or the first failure.
    virtual int GetStrList(CStringList& list);
    // "BLK:<no>" and one numbered line per non-empty raw text ("e<counter>:<text>").
    virtual int OutStrList(int& counter, CStringList& list);

    // ---- The expression list. Inserting takes ownership, makes this block
    // the owner, stores the list position in the expression and registers
    // it in the tree's event-position array.
    virtual int GetCount() const;
    virtual POSITION GetHeadPos() const;
    virtual POSITION GetTailPos() const;
    virtual POSITION GetPos(int index) const;
    virtual int GetNext(POSITION& pos, CArticExpEvnt** evnt) const;
    virtual CArticExpEvnt* GetNext(POSITION& pos) const;
    virtual int GetPrev(POSITION& pos, CArticExpEvnt** evnt) const;
    virtual CArticExpEvnt* GetPrev(POSITION& pos) const;
    virtual int Get(POSITION pos, CArticExpEvnt** evnt) const;
    virtual int Get(int index, CArticExpEvnt** evnt) const;
    virtual CArticExpEvnt* Get(POSITION pos) const;
    virtual CArticExpEvnt* Get(int index) const;
    virtual POSITION AddHead(CArticExpEvnt* evnt);
    virtual POSITION AddTail(CArticExpEvnt* evnt);
    virtual POSITION InsertAfter(POSITION& pos, CArticExpEvnt* evnt);
    virtual POSITION InsertBefore(POSITION& pos, CArticExpEvnt* evnt);
    virtual POSITION Find(CArticExpEvnt* evnt) const;
    // Removing takes the expression out of the list (and the tree's array)
    // without destroying it.
    virtual void Remove(CArticExpEvnt* evnt, POSITION start);
    virtual void Remove(POSITION& pos);
    virtual void RemoveAll();
    virtual int GetEvntList(CArticExpEvntList** list) const;
    virtual CArticExpEvntList* GetEvntList() const { return m_pEvntList; }

    // The raw expression texts placed on this block before they are parsed.
    virtual int GetEvntStrList(CStringList** list) const;
    virtual CStringList* GetEvntStrList() const { return m_pEvntStrList; }
    virtual int GetOwner(CArticExpTrk** trk) const;
    virtual CArticExpTrk* GetOwner() const { return m_pOwner; }
    // The tree through the owner track: 0 without one.
    virtual int GetExp(CArticExp** exp) const;
    virtual CArticExp* GetExp() const;
    virtual ULONG GetBlkNo() const { return m_BlkNo; }
    virtual void SetBlkNo(ULONG n) { m_BlkNo = n; }
    virtual int GetBlkName(CString* name) const;
    virtual CString& GetBlkName() { return m_BlkName; }
    virtual void SetBlkName(const CString& name) { m_BlkName = name; }
    // Registers evnt in the tree's array: the tree's result; 1 outside a tree.
    virtual int SetEvntPos(CArticExpEvnt* evnt);
    virtual void Clear();
    virtual int GetEvntNum() const { return GetCount(); }
    virtual POSITION GetPosBlk() const { return m_PosBlk; }
    virtual void SetPosBlk(POSITION pos) { m_PosBlk = pos; }
    virtual int GetWrkBlk(CArticWrkBlk** blk) const;
    virtual CArticWrkBlk* GetWrkBlk() const { return m_pWrkBlk; }
    virtual void SetWrkBlk(CArticWrkBlk* blk) { m_pWrkBlk = blk; }
    virtual void SetProcDialog(CPhrasorProc* proc) { m_pProc = proc; }
    virtual CPhrasorProc* GetProcDialog() const { return m_pProc; }
    // Destroys the expressions this block owns and empties the list.
    virtual void ClearEvntList();
    // Appends a clone of every expression of list (only inside a tree).
    virtual void CopyEvntList(const CArticExpEvntList* list);
    virtual void DeleteEvntList();
    // Appends every non-empty text of list.
    virtual void CopyEvntStrList(const CStringList* list);
    virtual void DeleteEvntStrList();

    // ---- Conversion (Part of the phase runner)
    // The phase loops: every expression in list order, the current
    // expression of the event operations set around each call; the last
    // non-zero result. Phases 1 and 1-2 store a failure in the expression.
    virtual int ConvToWrk();
    virtual int ConvToWrkCombine();
    virtual int ConvToWrk2();
    virtual int ConvToWrk3();
    // A new part-assignment record for pasn holding this block's work block,
    // handed to every expression: 0; 1 without work block or manager.
    virtual int PasnExp(CArticPasn* pasn);
    // Appends references to this block's expressions to target's list; they
    // stay owned by this block.
    virtual int CopyExp(CArticExpBlk* target);
    // Reorders the expressions by the class names of order (others last,
    // each reported once).
    virtual int SortExp(const CStringList& order);
    // The same, replacing every expression by a clone bound to wrk.
    virtual int SortExp(const CStringList& order, CArticWrk* wrk);
    // Replaces every expression by a clone bound to wrk, in list order.
    virtual int ReLinkExp(CArticWrk* wrk);

private:
    using PhaseFn = int (CArticExpEvnt::*)();
    int RunPhase(PhaseFn phase, bool storeError);
    // Clones evnt bound to wrk and appends the clone.
    void AppendClone(CArticExpEvnt* evnt, CArticWrk* wrk);
    // Takes every expression out of the list into out.
    void TakeAll(CArticExpEvntList& out);
    // Destroys what this block owned of list (expressions now replaced).
    void DropOwned(CArticExpEvntList& list);
    void Unregister(CArticExpEvnt* evnt);
    POSITION Placed(CArticExpEvnt* evnt, POSITION pos);

    CArticExpTrk* m_pOwner;  // not owned
    POSITION m_PosBlk = nullptr;
    ULONG m_BlkNo;
    CString m_BlkName;
    CArticWrkBlk* m_pWrkBlk = nullptr;   // not owned
    CPhrasorProc* m_pProc = nullptr;     // not owned
    CArticExpEvntList* m_pEvntList;      // owned, with the expressions this block owns
    CStringList* m_pEvntStrList;         // owned
};

using CArticExpBlkList = CTypedPtrList<CObList, CArticExpBlk*>;

class CArticExpTrk : public CObject {
    VX_DECLARE_CLASS(CArticExpTrk)
public:
    CArticExpTrk(CArticExp* owner, ULONG trkNo, ULONG ch, ULONG port);
    ~CArticExpTrk() override;
    CArticExpTrk(const CArticExpTrk&) = delete;
    // Copies TrkName, Ch, Port, the work-track link and the blocks (deep);
    // TrkNo stays.
    CArticExpTrk& operator=(const CArticExpTrk& src);

    virtual void ClearEvntStrList();
    // "TRK:<no>[, ch<ch+1>][, port<port>]" and every block's lines.
    virtual int GetStrList(CStringList& list);
    virtual int OutStrList(int& counter, CStringList& list);

    // ---- The block list (inserting takes ownership).
    virtual int GetCount() const;
    virtual POSITION GetHeadPos() const;
    virtual POSITION GetTailPos() const;
    virtual POSITION GetPos(int index) const;
    virtual int GetNext(POSITION& pos, CArticExpBlk** blk) const;
    virtual CArticExpBlk* GetNext(POSITION& pos) const;
    virtual int GetPrev(POSITION& pos, CArticExpBlk** blk) const;
    virtual CArticExpBlk* GetPrev(POSITION& pos) const;
    // By block number (the first with it), by list index, by position.
    virtual int Get(ULONG blkNo, CArticExpBlk** blk) const;
    virtual int Get(int index, CArticExpBlk** blk) const;
    virtual int Get(POSITION pos, CArticExpBlk** blk) const;
    virtual CArticExpBlk* Get(ULONG blkNo) const;
    virtual CArticExpBlk* Get(int index) const;
    virtual CArticExpBlk* Get(POSITION pos) const;
    virtual CArticExpBlk* GetAt(int index) const { return Get(index); }
    virtual POSITION AddHead(CArticExpBlk* blk);
    virtual POSITION AddTail(CArticExpBlk* blk);
    virtual POSITION InsertAfter(POSITION& pos, CArticExpBlk* blk);
    virtual POSITION InsertBefore(POSITION& pos, CArticExpBlk* blk);
    virtual POSITION Find(CArticExpBlk* blk) const;
    virtual void Remove(CArticExpBlk* blk, POSITION start);
    virtual void Remove(POSITION& pos);
    virtual void RemoveAll();
    virtual int GetBlkList(CArticExpBlkList** list) const;
    virtual CArticExpBlkList* GetBlkList() const { return m_pBlkList; }

    virtual int GetOwner(CArticExp** exp) const;
    virtual CArticExp* GetOwner() const { return m_pOwner; }
    virtual ULONG GetTrkNo() const { return m_TrkNo; }
    virtual void SetTrkNo(ULONG n) { m_TrkNo = n; }
    virtual ULONG GetCh() const { return m_Ch; }
    virtual void SetCh(ULONG ch) { m_Ch = ch; }
    virtual ULONG GetPort() const { return m_Port; }
    virtual void SetPort(ULONG port) { m_Port = port; }
    virtual int GetTrkName(CString* name) const;
    virtual CString& GetTrkName() { return m_TrkName; }
    virtual void SetTrkName(const CString& name) { m_TrkName = name; }
    virtual int GetEvntNum() const;
    virtual void Clear() { ClearBlkList(); }
    virtual POSITION GetPosTrk() const { return m_PosTrk; }
    virtual void SetPosTrk(POSITION pos) { m_PosTrk = pos; }
    virtual int GetWrkTrk(CArticWrkTrk** trk) const;
    virtual CArticWrkTrk* GetWrkTrk() const { return m_pWrkTrk; }
    virtual void SetWrkTrk(CArticWrkTrk* trk) { m_pWrkTrk = trk; }
    virtual void ClearBlkList();
    virtual void CopyBlkList(const CArticExpBlkList* list);
    virtual void DeleteBlkList();

    virtual int ConvToWrk();
    virtual int ConvToWrkCombine();
    virtual int ConvToWrk2();
    virtual int ConvToWrk3();
    virtual int PasnExp(CArticPasn* pasn);
    virtual int CopyExp(CArticExpBlk* target);
    virtual int SortExp(const CStringList& order);

private:
    template <class F>
    int EachBlk(F f) const;

    CArticExp* m_pOwner;  // not owned
    POSITION m_PosTrk = nullptr;
    ULONG m_TrkNo;
    ULONG m_Ch;
    ULONG m_Port;
    CString m_TrkName;
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
    // A deep copy: new tracks, blocks and cloned expressions.
    CArticExp& operator=(const CArticExp& src);

    virtual void ClearEvntStrList();
    virtual int GetStrList(CStringList& list);
    // The raw texts of every block, numbered afresh from 0 across the tree.
    virtual int OutStrList(CStringList& list);

    // ---- The track list (inserting takes ownership).
    virtual int GetCount() const;
    virtual POSITION GetHeadPos() const;
    virtual POSITION GetTailPos() const;
    virtual POSITION GetPos(int index) const;
    virtual int GetNext(POSITION& pos, CArticExpTrk** trk) const;
    virtual CArticExpTrk* GetNext(POSITION& pos) const;
    virtual int GetPrev(POSITION& pos, CArticExpTrk** trk) const;
    virtual CArticExpTrk* GetPrev(POSITION& pos) const;
    // By track number (the first with it), by list index, by position.
    virtual int Get(ULONG trkNo, CArticExpTrk** trk) const;
    virtual int Get(int index, CArticExpTrk** trk) const;
    virtual int Get(POSITION pos, CArticExpTrk** trk) const;
    virtual CArticExpTrk* Get(ULONG trkNo) const;
    virtual CArticExpTrk* Get(int index) const;
    virtual CArticExpTrk* Get(POSITION pos) const;
    virtual CArticExpTrk* GetAt(int index) const { return Get(index); }
    // TrkNo of the track at a list index, BlkNo of a block by indexes: 0 when none.
    virtual ULONG GetTrkNo(int index) const;
    virtual ULONG GetBlkNo(int trkIndex, int blkIndex) const;
    virtual POSITION AddHead(CArticExpTrk* trk);
    virtual POSITION AddTail(CArticExpTrk* trk);
    virtual POSITION InsertAfter(POSITION& pos, CArticExpTrk* trk);
    virtual POSITION InsertBefore(POSITION& pos, CArticExpTrk* trk);
    virtual POSITION Find(CArticExpTrk* trk) const;
    virtual void Remove(CArticExpTrk* trk, POSITION start);
    virtual void Remove(POSITION& pos);
    virtual void RemoveAll();
    virtual int GetTrkList(CArticExpTrkList** list) const;
    virtual CArticExpTrkList* GetTrkList() const { return m_pTrkList; }
    // The block numbered blkNo of the track numbered trkNo; null when either is missing.
    virtual CArticExpBlk* GetExpBlk(ULONG trkNo, ULONG blkNo) const;

    // Deletes every track with its blocks and expressions and empties the
    // event-position array.
    virtual void Clear();
    // The number of expressions of all blocks (also kept as the event count).
    virtual ULONG GetEvntNum();
    virtual ULONG GetEvntCount() const { return m_EvntNum; }

    // ---- The event-position array: entry n places expression number n.
    virtual int GetEvntPosArray(CArticPosArray** array) const;
    virtual CArticPosArray* GetEvntPosArray() const { return m_pEvntPosArray; }
    // Registers evnt under its number: 0; 1 (reported) for a taken number or
    // one above the cap, 1 without array or event.
    virtual int SetEvntPos(CArticExpEvnt* evnt);
    // 0 and the record of evnt's number; 1 when there is none.
    virtual int GetEvntPos(CArticExpEvnt* evnt, CArticPos** pos) const;
    // Empties evnt's entry when it places evnt: 0; 1 otherwise.
    virtual int DeleteEvntPos(CArticExpEvnt* evnt);
    // 1 and the expression placed under number no; 0 when none.
    virtual int GetEvntInEvntPosArray(ULONG no, CArticExpEvnt** evnt) const;
    virtual CArticExpEvnt* GetEvntInEvntPosArray(ULONG no) const;
    virtual void ClearTrkList();
    virtual void CopyTrkList(const CArticExpTrkList* list);
    virtual void DeleteTrkList();
    virtual void ClearEvntPosArray();
    virtual void DeleteEvntPosArray();

    virtual int ConvToWrk();
    virtual int ConvToWrkCombine();
    virtual int ConvToWrk2();
    virtual int ConvToWrk3();
    // Hands every block a part-assignment record of pasn: 0; 1 without tracks.
    virtual int PasnExp(CArticPasn* pasn);
    // Appends references to every expression, in tree order, to target.
    virtual int CopyExp(CArticExpBlk* target);
    virtual int SortExp(const CStringList& order);
    // 0 and the first track linked to wrkTrk; 1 when none.
    virtual int GetExpTrkByWrkTrk(CArticWrkTrk* wrkTrk, CArticExpTrk** trk) const;

private:
    template <class F>
    int EachTrk(F f) const;
    // Reports a refused registration through the expression.
    static int RefuseEvntPos(CArticExpEvnt* evnt, const char* content);

    CArticExpTrkList* m_pTrkList;     // owned, with its tracks
    CArticPosArray* m_pEvntPosArray;  // owned, with its records
    ULONG m_EvntNum = 0;
};
