#pragma once
// The condition timeline of a work block: seven time-ordered lists of private
// event copies (time signatures, key signatures, tempi, pitch-bend ranges,
// expression controllers, notes, voices) that answer which entry is in force
// at a time. Entries are never registered in the event-number table, so the
// timeline stays valid while the block's own events are edited.
#include <memory>

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
    virtual int GetEvntBeat(INT64 time, CArticWrkEvnt** evnt) { return GetEvnt(List(kBeat), time, evnt); }
    virtual int GetEvntMeter(INT64 time, CArticWrkEvnt** evnt) { return GetEvnt(List(kMeter), time, evnt); }
    virtual int GetEvntTempo(INT64 time, CArticWrkEvnt** evnt) { return GetEvnt(List(kTempo), time, evnt); }
    virtual int GetEvntPbRange(INT64 time, CArticWrkEvnt** evnt) { return GetEvnt(List(kPbRange), time, evnt); }
    virtual int GetEvntExpr(INT64 time, CArticWrkEvnt** evnt) { return GetEvnt(List(kExpr), time, evnt); }
    virtual int GetEvntNote(INT64 time, CArticWrkEvnt** evnt) { return GetEvnt(List(kNote), time, evnt); }
    virtual int GetEvntVoice(INT64 time, CArticWrkEvnt** evnt) { return GetEvnt(List(kVoice), time, evnt); }
    // The first entry later than time.
    virtual int GetNextEvntBeat(INT64 time, CArticWrkEvnt** evnt) { return GetNextEvnt(List(kBeat), time, evnt); }
    virtual int GetNextEvntMeter(INT64 time, CArticWrkEvnt** evnt) { return GetNextEvnt(List(kMeter), time, evnt); }
    virtual int GetNextEvntTempo(INT64 time, CArticWrkEvnt** evnt) { return GetNextEvnt(List(kTempo), time, evnt); }
    virtual int GetNextEvntPbRange(INT64 time, CArticWrkEvnt** evnt) { return GetNextEvnt(List(kPbRange), time, evnt); }
    virtual int GetNextEvntExpr(INT64 time, CArticWrkEvnt** evnt) { return GetNextEvnt(List(kExpr), time, evnt); }
    virtual int GetNextEvntNote(INT64 time, CArticWrkEvnt** evnt) { return GetNextEvnt(List(kNote), time, evnt); }
    virtual int GetNextEvntVoice(INT64 time, CArticWrkEvnt** evnt) { return GetNextEvnt(List(kVoice), time, evnt); }
    // The last entry earlier than time.
    virtual int GetPrevEvntBeat(INT64 time, CArticWrkEvnt** evnt) { return GetPrevEvnt(List(kBeat), time, evnt); }
    virtual int GetPrevEvntMeter(INT64 time, CArticWrkEvnt** evnt) { return GetPrevEvnt(List(kMeter), time, evnt); }
    virtual int GetPrevEvntTempo(INT64 time, CArticWrkEvnt** evnt) { return GetPrevEvnt(List(kTempo), time, evnt); }
    virtual int GetPrevEvntPbRange(INT64 time, CArticWrkEvnt** evnt) { return GetPrevEvnt(List(kPbRange), time, evnt); }
    virtual int GetPrevEvntExpr(INT64 time, CArticWrkEvnt** evnt) { return GetPrevEvnt(List(kExpr), time, evnt); }
    virtual int GetPrevEvntNote(INT64 time, CArticWrkEvnt** evnt) { return GetPrevEvnt(List(kNote), time, evnt); }
    virtual int GetPrevEvntVoice(INT64 time, CArticWrkEvnt** evnt) { return GetPrevEvnt(List(kVoice), time, evnt); }
    // The list itself, for a caller that edits it (no longer shared with a copy).
    virtual CArticWrkEvntList* GetPbRangeList() const { return Own(kPbRange); }
    // Enters a copy of evnt (replacing the entry of the same time): 0; 1 on failure.
    virtual int SetEvntBeat(CArticWrkEvnt* evnt) { return AddEvnt(Own(kBeat), evnt); }
    virtual int SetEvntMeter(CArticWrkEvnt* evnt) { return AddEvnt(Own(kMeter), evnt); }
    virtual int SetEvntTempo(CArticWrkEvnt* evnt) { return AddEvnt(Own(kTempo), evnt); }
    virtual int SetEvntPbRange(CArticWrkEvnt* evnt) { return AddEvnt(Own(kPbRange), evnt); }
    virtual int SetEvntExpr(CArticWrkEvnt* evnt) { return AddEvnt(Own(kExpr), evnt); }
    virtual int SetEvntNote(CArticWrkEvnt* evnt) { return AddEvnt(Own(kNote), evnt); }
    virtual int SetEvntVoice(CArticWrkEvnt* evnt) { return AddEvnt(Own(kVoice), evnt); }
    // Removes the entries from `from` to `to` inclusive.
    virtual int DelEvntBeat(INT64 from, INT64 to) { return DelEvnt(Own(kBeat), from, to); }
    virtual int DelEvntMeter(INT64 from, INT64 to) { return DelEvnt(Own(kMeter), from, to); }
    virtual int DelEvntTempo(INT64 from, INT64 to) { return DelEvnt(Own(kTempo), from, to); }
    virtual int DelEvntPbRange(INT64 from, INT64 to) { return DelEvnt(Own(kPbRange), from, to); }
    virtual int DelEvntExpr(INT64 from, INT64 to) { return DelEvnt(Own(kExpr), from, to); }
    virtual int DelEvntNote(INT64 from, INT64 to) { return DelEvnt(Own(kNote), from, to); }
    virtual int DelEvntVoice(INT64 from, INT64 to) { return DelEvnt(Own(kVoice), from, to); }
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
    // Empties one list.
    void Clear(int kind);

    // One list of the timeline with its entries. A copied timeline shares its
    // source's lists (a copy would hold equal entries under the same owners
    // and numbers) until one of the two changes a list: that one then takes
    // a copy of its own first (Own).
    struct SharedList;
    // The list for reading (null when it could not be made).
    CArticWrkEvntList* List(int kind) const;
    // The list for changing: a copy of its own when it is shared.
    CArticWrkEvntList* Own(int kind) const;

    CArticWrk* m_pWrk;  // not owned
    mutable std::shared_ptr<SharedList> m_pList[kListCount];
};
