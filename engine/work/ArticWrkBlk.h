#pragma once
// One block of a work track: a time-ordered list of work events with the
// block's identity (number, name, part mode, voice), its time range, the song
// positions it stands for, and its condition timeline. Events enter and leave
// the block only through these operations, which keep every event's list
// position and, on request, its entry in the event-number table.
#include "engine/work/ArticWrkEvnt.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticPos;
class CArticWrk;
class CArticWrkCond;
class CArticWrkTrk;

using CArticPosArray = CTypedPtrArray<CObArray, CArticPos*>;

constexpr INT64 kNoTime = INT64(0x7FFFFFFFFFFFFFFF);

class CArticWrkBlk : public CObject {
    VX_DECLARE_CLASS(CArticWrkBlk)
public:
    CArticWrkBlk(CArticWrkTrk* owner, ULONG blkNo);
    ~CArticWrkBlk() override;
    CArticWrkBlk(const CArticWrkBlk&) = delete;
    // Copies name, events (registered under their numbers), positions, the
    // timeline, part mode and voice; Owner, PosBlk, BlkNo, MidiBlkNo and OutVceSet stay.
    CArticWrkBlk& operator=(const CArticWrkBlk& src);

    virtual void CopyPosArray(const CArticPosArray* array);
    // Appends the block line and then each event's line: 0, or the first failure.
    virtual int GetStrList(CStringList& list, ULONG set, int withRuleData);
    // Inserts every event (or a copy of it) into list in time order.
    virtual int MakeWrkEvntList(CArticWrkEvntList* list, int copy);

    // ---- Event list access
    virtual int GetCount() const;
    virtual POSITION GetHeadPos() const;
    virtual POSITION GetTailPos() const;
    // Song positions of the index-th position record (both null when none): 1 when found.
    virtual int GetPos(int index, POSITION* trkPos, POSITION* blkPos) const;
    // List position of the index-th event.
    virtual POSITION GetPos(int index) const;
    virtual int GetNext(POSITION& pos, CArticWrkEvnt** evnt) const;
    virtual CArticWrkEvnt* GetNext(POSITION& pos) const;
    virtual int GetPrev(POSITION& pos, CArticWrkEvnt** evnt) const;
    virtual CArticWrkEvnt* GetPrev(POSITION& pos) const;
    virtual int Get(int index, CArticWrkEvnt** evnt) const;
    virtual int Get(POSITION pos, CArticWrkEvnt** evnt) const;
    virtual CArticWrkEvnt* Get(int index) const;
    virtual CArticWrkEvnt* Get(POSITION pos) const;
    // The first event carrying this number.
    virtual CArticWrkEvnt* Get(ULONG evntNo) const;

    // ---- Insertion: the new list position (null without a list); reg
    // non-zero registers the event's number.
    virtual POSITION AddHead(CArticWrkEvnt* evnt, int reg);
    virtual POSITION AddTail(CArticWrkEvnt* evnt, int reg);
    // In time order: a note passes back over higher notes of its time, never over a non-note.
    virtual POSITION Sort(CArticWrkEvnt* evnt, int reg);
    // The same place, found from near (a position of the list, which must be
    // in time order; null: from the tail).
    POSITION Sort(CArticWrkEvnt* evnt, int reg, POSITION near);
    // Re-places an event whose time changed after every event of the same or an earlier time.
    virtual POSITION Move(CArticWrkEvnt* evnt);
    // The same place, found from evnt's own place (the block's other events
    // must be in time order) instead of from the tail.
    POSITION MoveFromOwnPlace(CArticWrkEvnt* evnt);
    // Before every event of its own time.
    virtual POSITION SortBefore(CArticWrkEvnt* evnt, int reg);
    virtual POSITION InsertAfter(POSITION pos, CArticWrkEvnt* evnt, int reg);
    virtual POSITION InsertBefore(POSITION pos, CArticWrkEvnt* evnt, int reg);
    virtual POSITION MoveAfter(POSITION pos, CArticWrkEvnt* evnt, int reg);
    virtual POSITION MoveBefore(POSITION pos, CArticWrkEvnt* evnt, int reg);
    virtual POSITION Find(CArticWrkEvnt* evnt) const;
    // The event's own list position when it is a linked node of this block's
    // list holding the event (its neighbours point back at it), else null: a
    // place to start a walk near the event, found without one.
    POSITION LinkedPos(const CArticWrkEvnt* evnt) const;
    // Unlinking never deletes an event nor touches the number table.
    virtual void Remove(CArticWrkEvnt* evnt, POSITION start);
    virtual void Remove(POSITION pos);
    virtual void RemoveAll();
    virtual int GetEvntList(CArticWrkEvntList** list) const;
    virtual CArticWrkEvntList* GetEvntList() const { return m_pEvntList; }
    virtual int HaveNote() const;

    // ---- Identity
    virtual int GetOwner(CArticWrkTrk** trk) const;
    virtual CArticWrkTrk* GetOwner() const { return m_pOwner; }
    virtual int GetWrk(CArticWrk** wrk) const;
    virtual CArticWrk* GetWrk() const;
    virtual ULONG GetBlkNo() const { return m_BlkNo; }
    virtual void SetBlkNo(ULONG n) { m_BlkNo = n; }
    virtual INT64 GetMinTime() const { return m_MinTime; }
    virtual void SetMinTime(INT64 t) { m_MinTime = t; }
    virtual INT64 GetMaxTime() const { return m_MaxTime; }
    virtual void SetMaxTime(INT64 t) { m_MaxTime = t; }
    virtual ULONG GetMidiBlkNo() const { return m_MidiBlkNo; }
    virtual void SetMidiBlkNo(ULONG n) { m_MidiBlkNo = n; }
    virtual int GetBlkName(CString* name) const;
    virtual CString& GetBlkName() { return m_BlkName; }
    virtual void SetBlkName(const CString& name) { m_BlkName = name; }

    // ---- Event-number table (through the work container)
    virtual int SetEvntPos(CArticWrkEvnt* evnt);
    virtual int ResetEvntPos(CArticWrkEvnt* evnt);

    // ---- Condition timeline
    virtual int SetCondPos(CArticWrkEvnt* evnt);
    virtual int SetCondPosMulti(CArticWrkEvnt* evnt, BYTE rpnMsb, BYTE rpnLsb);
    virtual int DelCondPos(const _WRK_EVNT& record, INT64 from, INT64 to);
    virtual int DelCondPos(CArticWrkEvnt* evnt, INT64 from, INT64 to);
    virtual int ShiftCondPos(const _WRK_EVNT& record, INT64 from, INT64 to, short shift);
    virtual int ShiftCondPos(CArticWrkEvnt* evnt, INT64 from, INT64 to, short shift);
    virtual int GetCondPos(const _WRK_EVNT& record, INT64 time, LONG* a, LONG* b, LONG* c);
    virtual int GetCondPos(CArticWrkEvnt* evnt, INT64 time, LONG* a, LONG* b, LONG* c);
    virtual int GetNextCondPos(const _WRK_EVNT& record, INT64 time, LONG* a, LONG* b);
    virtual int GetNextCondPos(CArticWrkEvnt* evnt, INT64 time, LONG* a, LONG* b);

    virtual BYTE GetPartMode() const { return m_PartMode; }
    virtual void SetPartMode(BYTE mode) { m_PartMode = mode; }
    virtual int GetTrkNoBlkNo(ULONG* trkNo, ULONG* blkNo) const;
    virtual BYTE GetProNo() const { return m_ProNo; }
    virtual BYTE GetBSelMsb() const { return m_BSelMsb; }
    virtual BYTE GetBSelLsb() const { return m_BSelLsb; }
    virtual LONG GetOutVceSet() const { return m_OutVceSet; }
    // Copy with fresh event numbers; link non-zero points each source at its copy.
    virtual void CopyBlkByNewEvntNo(const CArticWrkBlk& src, int link);

    // ---- Song positions the block stands for
    virtual int IsPos(POSITION trkPos, POSITION blkPos) const;
    virtual CArticPosArray* GetPosArray() const { return m_pPosArray; }
    virtual void SetPos(POSITION trkPos, POSITION blkPos);
    virtual void SetPos(int index, POSITION trkPos, POSITION blkPos);

    virtual void SetProNo(BYTE v) { m_ProNo = v; }
    virtual void SetBSelMsb(BYTE v) { m_BSelMsb = v; }
    virtual void SetBSelLsb(BYTE v) { m_BSelLsb = v; }
    virtual void SetOutVceSet(LONG v) { m_OutVceSet = v; }
    virtual INT64 GetStartTime() const;
    virtual INT64 GetEndTime() const;
    virtual void Clear();
    virtual POSITION GetPosBlk() const { return m_PosBlk; }
    virtual void SetPosBlk(POSITION pos) {
        m_PosBlk = pos;
        CArticWrkEdits::Count();
    }
    virtual int GetCond(CArticWrkCond** cond) const;
    virtual CArticWrkCond* GetCond() const { return m_pCond; }
    virtual void CopyForCore(const CArticWrkBlk& src);
    virtual void ClearEvntList();
    virtual void ClearPosArray();

    // Size of the position array after index was set: steps of two slots.
    static int GrownPosSize(int size, int index);

protected:
    virtual void CopyEvntList(const CArticWrkEvntList* list);
    virtual void CopyEvntListByNewEvntNo(const CArticWrkEvntList* list, int link);
    virtual void DeleteEvntList();
    virtual void DeletePosArray();
    virtual void CopyEvntListForCore(const CArticWrkEvntList* list);

private:
    POSITION Placed(POSITION pos, CArticWrkEvnt* evnt, int reg);
    // Sort's walk back from pos (the tail or an event later than evnt).
    POSITION SortBack(POSITION pos, CArticWrkEvnt* evnt, int reg);
    void CopyHead(const CArticWrkBlk& src);
    void CopyTail(const CArticWrkBlk& src);

    CArticWrkTrk* m_pOwner;  // not owned
    POSITION m_PosBlk = nullptr;
    CArticWrkEvntList* m_pEvntList;  // owned, with its events
    CArticWrkCond* m_pCond;          // owned
    ULONG m_BlkNo;
    CString m_BlkName;
    INT64 m_MinTime = kNoTime;
    INT64 m_MaxTime = 0;
    BYTE m_PartMode = 0;
    CArticPosArray* m_pPosArray;  // owned, with its records
    ULONG m_MidiBlkNo;
    BYTE m_ProNo = 0;
    BYTE m_BSelMsb = 0;
    BYTE m_BSelLsb = 0;
    LONG m_OutVceSet = 1;
};
