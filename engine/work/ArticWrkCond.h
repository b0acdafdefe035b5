#pragma once
// The condition timeline of a work block: seven time-ordered lists of private
// event copies (time signatures, key signatures, tempi, pitch-bend ranges,
// expression controllers, notes, voices) that answer which entry is in force
// at a time. Entries are never registered in the event-number table, so the
// timeline stays valid while the block's own events are edited.
#include "engine/work/ArticWrkEvnt.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/Types.h"

class CArticWrk;

class CArticWrkCond : public CObject {
    VX_DECLARE_CLASS(CArticWrkCond)
    enum { kBeat, kMeter, kTempo, kPbRange, kExpr, kNote, kVoice, kListCount };

public:
    explicit CArticWrkCond(CArticWrk* wrk);
    ~CArticWrkCond() override;
    CArticWrkCond(const CArticWrkCond&) = delete;
    CArticWrkCond& operator=(const CArticWrkCond& src);

    virtual void Clear();

    // The entry in force at time (the latest at or before it): 0; 1 when none.
    virtual int GetEvntBeat(INT64 time, CArticWrkEvnt** evnt) { return GetEvnt(m_pList[kBeat], time, evnt); }
    virtual int GetEvntMeter(INT64 time, CArticWrkEvnt** evnt) { return GetEvnt(m_pList[kMeter], time, evnt); }
    virtual int GetEvntTempo(INT64 time, CArticWrkEvnt** evnt) { return GetEvnt(m_pList[kTempo], time, evnt); }
    virtual int GetEvntPbRange(INT64 time, CArticWrkEvnt** evnt) { return GetEvnt(m_pList[kPbRange], time, evnt); }
    virtual int GetEvntExpr(INT64 time, CArticWrkEvnt** evnt) { return GetEvnt(m_pList[kExpr], time, evnt); }
    virtual int GetEvntNote(INT64 time, CArticWrkEvnt** evnt) { return GetEvnt(m_pList[kNote], time, evnt); }
    virtual int GetEvntVoice(INT64 time, CArticWrkEvnt** evnt) { return GetEvnt(m_pList[kVoice], time, evnt); }
    // The first entry later than time.
    virtual int GetNextEvntBeat(INT64 time, CArticWrkEvnt** evnt) { return GetNextEvnt(m_pList[kBeat], time, evnt); }
    virtual int GetNextEvntMeter(INT64 time, CArticWrkEvnt** evnt) { return GetNextEvnt(m_pList[kMeter], time, evnt); }
    virtual int GetNextEvntTempo(INT64 time, CArticWrkEvnt** evnt) { return GetNextEvnt(m_pList[kTempo], time, evnt); }
    virtual int GetNextEvntPbRange(INT64 time, CArticWrkEvnt** evnt) { return GetNextEvnt(m_pList[kPbRange], time, evnt); }
    virtual int GetNextEvntExpr(INT64 time, CArticWrkEvnt** evnt) { return GetNextEvnt(m_pList[kExpr], time, evnt); }
    virtual int GetNextEvntNote(INT64 time, CArticWrkEvnt** evnt) { return GetNextEvnt(m_pList[kNote], time, evnt); }
    virtual int GetNextEvntVoice(INT64 time, CArticWrkEvnt** evnt) { return GetNextEvnt(m_pList[kVoice], time, evnt); }
    // The last entry earlier than time.
    virtual int GetPrevEvntBeat(INT64 time, CArticWrkEvnt** evnt) { return GetPrevEvnt(m_pList[kBeat], time, evnt); }
    virtual int GetPrevEvntMeter(INT64 time, CArticWrkEvnt** evnt) { return GetPrevEvnt(m_pList[kMeter], time, evnt); }
    virtual int GetPrevEvntTempo(INT64 time, CArticWrkEvnt** evnt) { return GetPrevEvnt(m_pList[kTempo], time, evnt); }
    virtual int GetPrevEvntPbRange(INT64 time, CArticWrkEvnt** evnt) { return GetPrevEvnt(m_pList[kPbRange], time, evnt); }
    virtual int GetPrevEvntExpr(INT64 time, CArticWrkEvnt** evnt) { return GetPrevEvnt(m_pList[kExpr], time, evnt); }
    virtual int GetPrevEvntNote(INT64 time, CArticWrkEvnt** evnt) { return GetPrevEvnt(m_pList[kNote], time, evnt); }
    virtual int GetPrevEvntVoice(INT64 time, CArticWrkEvnt** evnt) { return GetPrevEvnt(m_pList[kVoice], time, evnt); }
    virtual CArticWrkEvntList* GetPbRangeList() const { return m_pList[kPbRange]; }
    // Enters a copy of evnt (replacing the entry of the same time): 0; 1 on failure.
    virtual int SetEvntBeat(CArticWrkEvnt* evnt) { return AddEvnt(m_pList[kBeat], evnt); }
    virtual int SetEvntMeter(CArticWrkEvnt* evnt) { return AddEvnt(m_pList[kMeter], evnt); }
    virtual int SetEvntTempo(CArticWrkEvnt* evnt) { return AddEvnt(m_pList[kTempo], evnt); }
    virtual int SetEvntPbRange(CArticWrkEvnt* evnt) { return AddEvnt(m_pList[kPbRange], evnt); }
    virtual int SetEvntExpr(CArticWrkEvnt* evnt) { return AddEvnt(m_pList[kExpr], evnt); }
    virtual int SetEvntNote(CArticWrkEvnt* evnt) { return AddEvnt(m_pList[kNote], evnt); }
    virtual int SetEvntVoice(CArticWrkEvnt* evnt) { return AddEvnt(m_pList[kVoice], evnt); }
    // Removes the entries from `from` to `to` inclusive.
    virtual int DelEvntBeat(INT64 from, INT64 to) { return DelEvnt(m_pList[kBeat], from, to); }
    virtual int DelEvntMeter(INT64 from, INT64 to) { return DelEvnt(m_pList[kMeter], from, to); }
    virtual int DelEvntTempo(INT64 from, INT64 to) { return DelEvnt(m_pList[kTempo], from, to); }
    virtual int DelEvntPbRange(INT64 from, INT64 to) { return DelEvnt(m_pList[kPbRange], from, to); }
    virtual int DelEvntExpr(INT64 from, INT64 to) { return DelEvnt(m_pList[kExpr], from, to); }
    virtual int DelEvntNote(INT64 from, INT64 to) { return DelEvnt(m_pList[kNote], from, to); }
    virtual int DelEvntVoice(INT64 from, INT64 to) { return DelEvnt(m_pList[kVoice], from, to); }
    // Shifts the pitch-bend ranges (RPN 0/0 entries) from `from` to `to`, clamped to 0..127.
    virtual int ShiftEvntPbRange(INT64 from, INT64 to, short shift);

    CArticWrk* GetWrk() const { return m_pWrk; }

protected:
    virtual void ClearEvntList(CArticWrkEvntList* list);
    virtual void CopyEvntList(const CArticWrkEvntList* src, CArticWrkEvntList* dst);
    virtual void DeleteEvntList(CArticWrkEvntList*& list);
    virtual int GetEvnt(CArticWrkEvntList* list, INT64 time, CArticWrkEvnt** evnt);
    virtual int GetNextEvnt(CArticWrkEvntList* list, INT64 time, CArticWrkEvnt** evnt);
    virtual int GetPrevEvnt(CArticWrkEvntList* list, INT64 time, CArticWrkEvnt** evnt);
    virtual int AddEvnt(CArticWrkEvntList* list, CArticWrkEvnt* evnt);
    virtual int DelEvnt(CArticWrkEvntList* list, INT64 from, INT64 to);

private:
    static CArticWrkEvnt* NewCopy(const CArticWrkEvnt* evnt);
    // Deletes an entry without touching the number-table entry of the event it copies.
    static void DeleteEntry(CArticWrkEvnt* entry);

    CArticWrk* m_pWrk;  // not owned
    CArticWrkEvntList* m_pList[kListCount];  // owned lists of owned copies
};
