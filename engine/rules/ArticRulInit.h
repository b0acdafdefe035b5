#pragma once
// An init block ("#init:") of a rule script: the processing order of the
// whole program, three conversion settings written as ";##" comment lines,
// and fixed expressions grouped into numbered tracks and blocks
// ("#trkN:", "#blkN:", "#expN:Class(constants)").
#include "engine/rules/ArticRulExpEvnt.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ExString.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticRul;
class CArticRulInit;
class CArticRulInitTrk;

// One block of fixed expressions.
class CArticRulInitBlk : public CObject {
public:
    CArticRulInitBlk(CArticRulInitTrk* owner, ULONG blkNo);
    ~CArticRulInitBlk() override;
    CArticRulInitBlk(const CArticRulInitBlk&) = delete;
    CArticRulInitBlk& operator=(const CArticRulInitBlk& src);

    // Appends "BLK:<no>" and the text of every expression: 0; 1 without list.
    virtual int GetStrList(CStringList& list);

    // List access over the expressions. Out-parameter forms return 1 when they
    // deliver an expression; the by-number forms match the event number.
    virtual int GetCount() const;
    virtual POSITION GetHeadPos() const;
    virtual POSITION GetTailPos() const;
    virtual POSITION GetPos(int index) const;
    virtual int GetNext(POSITION& pos, CArticRulExpEvnt** exp) const;
    virtual CArticRulExpEvnt* GetNext(POSITION& pos) const;
    virtual int GetPrev(POSITION& pos, CArticRulExpEvnt** exp) const;
    virtual CArticRulExpEvnt* GetPrev(POSITION& pos) const;
    virtual int Get(ULONG evntNo, CArticRulExpEvnt** exp) const;
    virtual int Get(int index, CArticRulExpEvnt** exp) const;
    virtual int Get(POSITION pos, CArticRulExpEvnt** exp) const;
    virtual CArticRulExpEvnt* Get(ULONG evntNo) const;  // first with that number
    virtual CArticRulExpEvnt* Get(int index) const;
    virtual CArticRulExpEvnt* Get(POSITION pos) const;

    // List editing. Insertions refuse a null expression and return its new
    // position (null without list). Removing only unlinks: the caller then
    // owns what it removed.
    virtual POSITION AddHead(CArticRulExpEvnt* exp);
    virtual POSITION AddTail(CArticRulExpEvnt* exp);
    virtual POSITION InsertAfter(POSITION pos, CArticRulExpEvnt* exp);
    virtual POSITION InsertBefore(POSITION pos, CArticRulExpEvnt* exp);
    virtual POSITION Find(CArticRulExpEvnt* exp) const;
    virtual void Remove(CArticRulExpEvnt* exp, POSITION start);  // first match after start (head when null)
    virtual void Remove(POSITION pos);
    virtual void RemoveAll();

    virtual int GetEvntList(CArticRulExpEvntList** list) const;
    virtual CArticRulExpEvntList* GetEvntList() const { return m_pEvntList; }
    virtual int GetOwner(CArticRulInitTrk** owner) const;
    virtual CArticRulInitTrk* GetOwner() const { return m_pOwner; }
    virtual int GetRulInit(CArticRulInit** init) const;
    virtual CArticRulInit* GetRulInit() const;
    virtual ULONG GetBlkNo() const { return m_BlkNo; }
    virtual void SetBlkNo(ULONG no) { m_BlkNo = no; }
    virtual int GetBlkName(CString& name) const;
    virtual CString GetBlkName() const { return m_BlkName; }
    virtual void SetBlkName(const CString& name) { m_BlkName = name; }
    // Expressions keep no position of their own here.
    virtual int SetEvntPos(CArticRulExpEvnt* /*exp*/) { return 1; }
    virtual int ResetEvntPos(CArticRulExpEvnt* /*exp*/) { return 1; }
    // The owner track's number and this block's: 0; 1 (nothing set) without owner.
    virtual int GetTrkNoBlkNo(ULONG& trkNo, ULONG& blkNo) const;
    virtual void Clear();
    virtual POSITION GetPosBlk() const { return m_Pos; }
    virtual void SetPosBlk(POSITION pos) { m_Pos = pos; }

protected:
    virtual void ClearEvntList();
    // Replaces the expressions by copies of src's: 0, or 1 when a copy could not be made.
    virtual int CopyEvntList(const CArticRulExpEvntList* src);
    virtual void DeleteEvntList();

private:
    CArticRulInitTrk* m_pOwner;  // not owned
    POSITION m_Pos = nullptr;
    CArticRulExpEvntList* m_pEvntList;  // owned, with its expressions
    ULONG m_BlkNo;
    CString m_BlkName;
};

using CArticRulInitBlkList = CTypedPtrList<CObList, CArticRulInitBlk*>;

// One track of fixed expression blocks.
class CArticRulInitTrk : public CObject {
public:
    CArticRulInitTrk(CArticRulInit* owner, ULONG trkNo);
    ~CArticRulInitTrk() override;
    CArticRulInitTrk(const CArticRulInitTrk&) = delete;
    CArticRulInitTrk& operator=(const CArticRulInitTrk& src);

    // Appends "TRK:<no>" and the lines of each block: 0, the first failing
    // block's result, or 1 without list.
    virtual int GetStrList(CStringList& list);

    // List access over the blocks, as in the block's expression list; the
    // by-number forms match BlkNo.
    virtual int GetCount() const;
    virtual POSITION GetHeadPos() const;
    virtual POSITION GetTailPos() const;
    virtual POSITION GetPos(int index) const;
    virtual int GetNext(POSITION& pos, CArticRulInitBlk** blk) const;
    virtual CArticRulInitBlk* GetNext(POSITION& pos) const;
    virtual int GetPrev(POSITION& pos, CArticRulInitBlk** blk) const;
    virtual CArticRulInitBlk* GetPrev(POSITION& pos) const;
    virtual int Get(ULONG blkNo, CArticRulInitBlk** blk) const;
    virtual int Get(int index, CArticRulInitBlk** blk) const;
    virtual int Get(POSITION pos, CArticRulInitBlk** blk) const;
    virtual CArticRulInitBlk* Get(ULONG blkNo) const;  // first with that number
    virtual CArticRulInitBlk* Get(int index) const;
    virtual CArticRulInitBlk* Get(POSITION pos) const;
    virtual int GetIndex(CArticRulInitBlk* blk) const;  // -1 when absent

    // Insertions store the block's new position in it; removing only unlinks
    // (the caller then owns the block) and clears the block's position.
    virtual POSITION AddHead(CArticRulInitBlk* blk);
    virtual POSITION AddTail(CArticRulInitBlk* blk);
    virtual POSITION InsertAfter(POSITION pos, CArticRulInitBlk* blk);
    virtual POSITION InsertBefore(POSITION pos, CArticRulInitBlk* blk);
    virtual POSITION Find(CArticRulInitBlk* blk) const;
    virtual void Remove(CArticRulInitBlk* blk, POSITION start);  // first match after start (head when null)
    virtual void Remove(POSITION pos);
    virtual void RemoveAll();

    virtual int GetBlkList(CArticRulInitBlkList** list) const;
    virtual CArticRulInitBlkList* GetBlkList() const { return m_pBlkList; }
    virtual int GetOwner(CArticRulInit** owner) const;
    virtual CArticRulInit* GetOwner() const { return m_pOwner; }
    virtual ULONG GetTrkNo() const { return m_TrkNo; }
    virtual void SetTrkNo(ULONG no) { m_TrkNo = no; }
    virtual int GetTrkName(CString& name) const;
    virtual CString GetTrkName() const { return m_TrkName; }
    virtual void SetTrkName(const CString& name) { m_TrkName = name; }
    virtual void Clear();
    virtual POSITION GetPosTrk() const { return m_Pos; }
    virtual void SetPosTrk(POSITION pos) { m_Pos = pos; }

protected:
    virtual void ClearBlkList();
    // Replaces the blocks by copies of src's: 0, or 1 when a copy could not be made.
    virtual int CopyBlkList(const CArticRulInitBlkList* src);
    virtual void DeleteBlkList();

private:
    CArticRulInit* m_pOwner;  // not owned
    POSITION m_Pos = nullptr;
    CArticRulInitBlkList* m_pBlkList;  // owned, with its blocks
    ULONG m_TrkNo;
    CString m_TrkName;
};

using CArticRulInitTrkList = CTypedPtrList<CObList, CArticRulInitTrk*>;

class CArticRulInit : public CObject {
    VX_DECLARE_CLASS(CArticRulInit)
public:
    explicit CArticRulInit(CArticRul* rul);
    ~CArticRulInit() override;
    CArticRulInit(const CArticRulInit&) = delete;
    CArticRulInit& operator=(const CArticRulInit&) = delete;

    // Everything returns to its state after construction: the tracks go, the
    // processing order and InitNo are reset, and the three settings return to
    // their defaults so that a script without ";##" lines does not inherit
    // the previous script's.
    virtual void Clear();
    // Loads one block's raw lines: 0, or the code of the last faulty line
    // (each reported; loading goes on). No line: 1.
    virtual int Load(CStringList& lines);
    // Not provided by an init block: 1.
    virtual int GetExpEvnt(CStringList& list);

    // List access over the tracks, as in a block's expression list; the
    // by-number forms match TrkNo.
    virtual int GetCount() const;
    virtual POSITION GetHeadPos() const;
    virtual POSITION GetTailPos() const;
    virtual POSITION GetPos(int index) const;
    virtual int GetNext(POSITION& pos, CArticRulInitTrk** trk) const;
    virtual CArticRulInitTrk* GetNext(POSITION& pos) const;
    virtual int GetPrev(POSITION& pos, CArticRulInitTrk** trk) const;
    virtual CArticRulInitTrk* GetPrev(POSITION& pos) const;
    virtual int Get(ULONG trkNo, CArticRulInitTrk** trk) const;
    virtual int Get(int index, CArticRulInitTrk** trk) const;
    virtual int Get(POSITION pos, CArticRulInitTrk** trk) const;
    virtual CArticRulInitTrk* Get(ULONG trkNo) const;  // first with that number
    virtual CArticRulInitTrk* Get(int index) const;
    virtual CArticRulInitTrk* Get(POSITION pos) const;
    virtual ULONG GetTrkNo(int index) const;               // 0 when there is no such track
    virtual ULONG GetBlkNo(int trkIndex, int blkIndex) const;  // 0 when there is no such block
    virtual int GetIndex(CArticRulInitTrk* trk) const;      // -1 when absent

    // Insertions store the track's new position in it; removing only unlinks
    // (the caller then owns the track) and clears the track's position.
    virtual POSITION AddHead(CArticRulInitTrk* trk);
    virtual POSITION AddTail(CArticRulInitTrk* trk);
    virtual POSITION InsertAfter(POSITION pos, CArticRulInitTrk* trk);
    virtual POSITION InsertBefore(POSITION pos, CArticRulInitTrk* trk);
    virtual POSITION Find(CArticRulInitTrk* trk) const;
    virtual void Remove(CArticRulInitTrk* trk, POSITION start);  // first match after start (head when null)
    virtual void Remove(POSITION pos);
    virtual void RemoveAll();
    virtual CArticRulInitTrkList* GetTrkList() const { return m_pTrkList; }

    virtual CArticRul* GetRul() const { return m_pRul; }
    virtual ULONG GetInitNo() const { return m_InitNo; }
    virtual int GetProcNestFlag() const { return m_ProcNestFlag; }
    virtual int GetProcNest() const { return m_ProcNest; }
    virtual int GetDirection() const { return m_Direction; }
    virtual int GetPbProc() const { return m_PbProc; }
    virtual int GetTgMode() const { return m_TgMode; }
    virtual int GetInstNum() const { return m_InstNum; }
    // Which ";##" settings the last load read: kDeclPbProc | kDeclTgMode | kDeclInstNum.
    virtual int GetDeclared() const { return m_Declared; }
    enum : int { kDeclPbProc = 1, kDeclTgMode = 2, kDeclInstNum = 4 };
    virtual void SetInitNo(ULONG no) { m_InitNo = no; }
    virtual void SetProcNestFlag(int flag) { m_ProcNestFlag = flag; }
    virtual void SetProcNest(int nest) { m_ProcNest = nest; }
    virtual void SetDirection(int dir) { m_Direction = dir; }

    using CObject::GetClassNameA;
    virtual void GetClassNameA(CString* name) const;

    static constexpr ULONG kNone = 2147483647;  // no current track or block

protected:
    virtual BYTE GetErrKind() const { return m_ErrKind; }
    virtual void SetErrKind(BYTE kind) { m_ErrKind = kind; }
    virtual void DispLoadErrMsg(const CString& function, const CString& line, int code);
    virtual void DispErrMsg(const CString& caption, const CString& message, const CString& function,
                            const CString& detail);
    virtual int LoadLine1(CExString& line, ULONG& trk, ULONG& blk);
    virtual int MakeProcNest(CExString& rest);
    virtual int MakeInitTrk(ULONG trkNo);
    virtual int MakeInitBlk(ULONG trkNo, ULONG blkNo);
    virtual int MakeExpEvnt(ULONG trkNo, ULONG blkNo, ULONG expNo, CExString& rest);
    // Splits a head (without its "#") into keyword, number and member: 0 for
    // "init", "procNest" and a member-less "trk", "blk" or "exp"; 1 for any
    // other head, or the operand splitter's code. line is the rest of the line.
    virtual int CheckHeader(CExString& head, CExString& line, CExString& keyword, CExString& member, int& number);
    // "Class(arguments)": 0 when the class is known and the arguments fit its signature.
    virtual int CheckExpFunc(CExString& text);
    virtual int CheckExpArgument(CExString& args, int count, const int* masks);
    // Appends a checked "Class(arguments)" to blk as expression expNo: 0, or 1.
    virtual int MakeExpFunc(CExString& text, ULONG expNo, CArticRulInitBlk* blk);
    // Appends the constant arguments to list as elements: 0; 1 (list emptied)
    // for any other operand.
    virtual int MakeExpArgument(CExString& args, CArticRulElmList* list);
    virtual void ClearTrkList();
    // Replaces the tracks by copies of src's: 0, or 1 when a copy could not be made.
    virtual int CopyTrkList(const CArticRulInitTrkList* src);
    virtual void DeleteTrkList();

private:
    CArticRul* m_pRul;  // not owned
    ULONG m_InitNo = 0xFFFFFFFF;
    CArticRulInitTrkList* m_pTrkList;  // owned, with its tracks
    int m_ProcNestFlag = 0;
    int m_ProcNest = 0;
    int m_Direction = 0;
    BYTE m_ErrKind = 0;
    int m_PbProc = 0;
    int m_TgMode = 2;
    int m_InstNum = 0;
    int m_Declared = 0;
};
