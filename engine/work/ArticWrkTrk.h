#pragma once
// One track of the work data: an ordered list of work blocks (numbers 0 to
// 31, at most 32 blocks) with the track's identity, MIDI channel and port
// (current and as first given), selection and attribute flags, and links back
// to the song track it was read from.
#include "engine/work/ArticWrkEvnt.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticWrk;
class CArticWrkBlk;

using CArticWrkBlkList = CTypedPtrList<CObList, CArticWrkBlk*>;

constexpr ULONG kMaxBlkCount = 32;
constexpr ULONG kNoChannel = 0xFFFFFFFF;
constexpr ULONG kUnsetChannel = 0xFFFFFFFE;
constexpr ULONG kNoPort = 0xFFFFFFFF;

class CArticWrkTrk : public CObject {
    VX_DECLARE_CLASS(CArticWrkTrk)
public:
    CArticWrkTrk(CArticWrk* owner, ULONG trkNo, ULONG ch, ULONG port);
    ~CArticWrkTrk() override;
    CArticWrkTrk(const CArticWrkTrk&) = delete;
    // Copies name, channel, port, flags, song ids and blocks; TrkNo,
    // OrigTrkNo, MidiTrkNo, Owner and PosTrk stay.
    CArticWrkTrk& operator=(const CArticWrkTrk& src);

    // The track line, then every block's lines: 0, or the first failure.
    virtual int GetStrList(CStringList& list, ULONG set, int withRuleData);
    virtual int MakeWrkEvntList(CArticWrkEvntList* list, int copy);
    // A new block with the lowest free number, appended: 1 when made.
    virtual int NewBlk(CArticWrkBlk** blk);
    virtual CArticWrkBlk* NewBlk();

    virtual int GetCount() const;
    virtual POSITION GetHeadPos() const;
    virtual POSITION GetTailPos() const;
    virtual POSITION GetPos(int index) const;
    virtual int GetNext(POSITION& pos, CArticWrkBlk** blk) const;
    virtual CArticWrkBlk* GetNext(POSITION& pos) const;
    virtual int GetPrev(POSITION& pos, CArticWrkBlk** blk) const;
    virtual CArticWrkBlk* GetPrev(POSITION& pos) const;
    // The first block with this number: 1 when found.
    virtual int Get(ULONG blkNo, CArticWrkBlk** blk) const;
    virtual int Get(int index, CArticWrkBlk** blk) const;
    virtual int Get(POSITION pos, CArticWrkBlk** blk) const;
    virtual CArticWrkBlk* Get(ULONG blkNo) const;
    virtual CArticWrkBlk* Get(int index) const;
    virtual CArticWrkBlk* Get(POSITION pos) const;
    // 0-based place in the list; -1 when absent.
    virtual int GetIndex(CArticWrkBlk* blk) const;
    virtual POSITION AddHead(CArticWrkBlk* blk);
    virtual POSITION AddTail(CArticWrkBlk* blk);
    virtual POSITION InsertAfter(POSITION pos, CArticWrkBlk* blk);
    virtual POSITION InsertBefore(POSITION pos, CArticWrkBlk* blk);
    virtual POSITION Find(CArticWrkBlk* blk) const;
    virtual void Remove(CArticWrkBlk* blk, POSITION start);
    virtual void Remove(POSITION pos);
    virtual void RemoveAll();
    virtual int GetBlkList(CArticWrkBlkList** list) const;
    virtual CArticWrkBlkList* GetBlkList() const { return m_pBlkList; }
    virtual int HaveNote() const;
    virtual int GetOwner(CArticWrk** wrk) const;
    virtual CArticWrk* GetOwner() const { return m_pOwner; }
    virtual ULONG GetTrkNo() const { return m_TrkNo; }
    virtual void SetTrkNo(ULONG n) { m_TrkNo = n; }
    virtual ULONG GetOrigTrkNo() const { return m_OrigTrkNo; }
    virtual void SetOrigTrkNo(ULONG n) { m_OrigTrkNo = n; }
    virtual ULONG GetMidiTrkNo() const { return m_MidiTrkNo; }
    virtual void SetMidiTrkNo(ULONG n) { m_MidiTrkNo = n; }
    virtual ULONG GetCh() const { return m_Ch; }
    virtual void SetCh(ULONG ch) { m_Ch = ch; }
    virtual ULONG GetOrigCh() const { return m_OrigCh; }
    virtual void SetOrigCh(ULONG ch) { m_OrigCh = ch; }
    virtual ULONG GetPort() const { return m_Port; }
    virtual void SetPort(ULONG port) { m_Port = port; }
    virtual ULONG GetOrigPort() const { return m_OrigPort; }
    virtual void SetOrigPort(ULONG port) { m_OrigPort = port; }
    virtual int GetTrkName(CString* name) const;
    virtual CString& GetTrkName() { return m_TrkName; }
    virtual void SetTrkName(const CString& name) { m_TrkName = name; }
    virtual LONG GetSeqTrkNo() const { return m_SeqTrkNo; }
    virtual void SetSeqTrkNo(LONG n) { m_SeqTrkNo = n; }
    virtual INT64 GetStartTime() const;
    virtual INT64 GetEndTime() const;
    virtual void CopyTrkByNewEvntNo(const CArticWrkTrk& src, int link);
    virtual int GetEvntNum() const;
    virtual void Clear() { ClearBlkList(); }
    virtual POSITION GetPosTrk() const { return m_PosTrk; }
    virtual void SetPosTrk(POSITION pos) {
        m_PosTrk = pos;
        CArticWrkEdits::Count();
    }
    virtual LONG GetSelTrk() const { return m_SelTrk; }
    virtual void SetSelTrk(LONG sel) {
        m_SelTrk = sel;
        CArticWrkEdits::Count();
    }
    virtual LONG GetTrkAttr() const { return m_TrkAttr; }
    virtual void SetTrkAttr(LONG attr) { m_TrkAttr = attr; }
    virtual POSITION GetOrgTrkID() const { return m_OrgTrkID; }
    virtual void SetOrgTrkID(POSITION id) { m_OrgTrkID = id; }
    virtual POSITION GetOrgBlkID() const { return m_OrgBlkID; }
    virtual void SetOrgBlkID(POSITION id) { m_OrgBlkID = id; }
    virtual void CopyForCore(const CArticWrkTrk* src);
    virtual void ClearBlkList();

protected:
    enum class CopyKind { Assign, NewEvntNo, ForCore };
    virtual void CopyBlkList(const CArticWrkBlkList* list);
    virtual void CopyBlkListByNewEvntNo(const CArticWrkBlkList* list, int link);
    virtual void DeleteBlkList();
    // The lowest block number no block carries; kMaxBlkCount when none is free.
    virtual ULONG GetFreeBlkNo() const;
    virtual void CopyBlkListForCore(const CArticWrkBlkList* list);

private:
    void CopyFields(const CArticWrkTrk& src);
    void CopyBlocks(const CArticWrkBlkList* list, CopyKind kind, int link);

    CArticWrk* m_pOwner;  // not owned
    POSITION m_PosTrk = nullptr;
    CArticWrkBlkList* m_pBlkList;  // owned, with its blocks
    ULONG m_TrkNo;
    ULONG m_OrigTrkNo;
    ULONG m_Ch;
    ULONG m_OrigCh;
    ULONG m_Port;
    ULONG m_OrigPort;
    CString m_TrkName;
    ULONG m_MidiTrkNo;
    LONG m_SelTrk = 0;
    LONG m_TrkAttr = 0;
    POSITION m_OrgTrkID = nullptr;  // the song track and block it was read from
    POSITION m_OrgBlkID = nullptr;
    LONG m_SeqTrkNo = -1;
};
