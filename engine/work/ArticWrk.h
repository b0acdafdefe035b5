#pragma once
// The work data of one conversion: the ordered work tracks with their blocks
// and events, the measure block whose time signatures define bars and beats,
// and the event-number table through which every event is reached by its
// number. Also: tick <-> bar/beat/tick conversion, part (track-number)
// assignment, block merging, per-string port/channel distribution, fingering
// transfer, whole-work clean-ups, and the navigation the rule engine uses to
// step from a note to its neighbours.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/work/ArticAddrCount.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticPos;
class CArticPref;

using CArticWrkTrkList = CTypedPtrList<CObList, CArticWrkTrk*>;

constexpr ULONG kMaxTrkCount = 16;
constexpr ULONG kDrumTrkNo = 10;
// The highest event number the table takes.
constexpr ULONG kMaxEvntNo = 0x00FFFFFF;

class CArticWrk : public CObject {
    VX_DECLARE_CLASS(CArticWrk)
public:
    CArticWrk();
    ~CArticWrk() override;
    CArticWrk(const CArticWrk&) = delete;
    // A full copy (backups): tracks, blocks and events, re-registered under their numbers.
    CArticWrk& operator=(const CArticWrk& src);

    // ---- Time conversion through the measure block: 1 without one.
    virtual int GetEvntTime(ULONG meas, ULONG beat, ULONG tick, INT64* time) const;
    virtual int GetEvntMeas(INT64 time, ULONG* meas, ULONG* beat, ULONG* tick) const;

    virtual int GetStrList(CStringList& list, ULONG set, int withRuleData);
    // Numbers every event anew in time order (free events last).
    virtual int Renumber();
    // Re-sorts every block in time order, keeping the number sequence along each list.
    virtual int SortTrkList();
    // Moves the notes and text events of the selected tracks into one block.
    virtual int MergeBlk();
    virtual int SetFngrInfo(CArticWrk* src);
    virtual int SetFngrInfo(const CStringList& lines);
    virtual int SetPortChNum(CArticPref* pref);
    virtual int UsedPortCh(ULONG port, ULONG ch) const;
    virtual void DispErrMsg(const CString& title, const CString& message, const CString& method,
                            const CString& detail);

    // ---- Tracks
    virtual int NewTrk(BYTE partMode, CArticWrkTrk** trk);
    virtual CArticWrkTrk* NewTrk(BYTE partMode);
    virtual int GetCount() const;
    virtual POSITION GetHeadPos() const;
    virtual POSITION GetTailPos() const;
    virtual POSITION GetPos(int index) const;
    virtual int GetNext(POSITION& pos, CArticWrkTrk** trk) const;
    virtual CArticWrkTrk* GetNext(POSITION& pos) const;
    virtual int GetPrev(POSITION& pos, CArticWrkTrk** trk) const;
    virtual CArticWrkTrk* GetPrev(POSITION& pos) const;
    virtual int Get(ULONG trkNo, CArticWrkTrk** trk) const;
    virtual int Get(int index, CArticWrkTrk** trk) const;
    virtual int Get(POSITION pos, CArticWrkTrk** trk) const;
    virtual CArticWrkTrk* Get(ULONG trkNo) const;
    virtual CArticWrkTrk* Get(int index) const;
    virtual CArticWrkTrk* Get(POSITION pos) const;
    virtual int GetOrigTrk(ULONG origTrkNo, CArticWrkTrk** trk) const;
    virtual CArticWrkTrk* GetOrigTrk(ULONG origTrkNo) const;
    virtual CArticWrkTrk* GetOrigTrk(POSITION orgTrkID, POSITION orgBlkID, ULONG origPort, ULONG origCh) const;
    virtual CArticWrkTrk* GetOrigTrk(POSITION orgTrkID, ULONG origPort, ULONG origCh) const;
    virtual int GetOrigTrkIndex(ULONG origTrkNo) const;
    // By track index i and block index j (list places); 0 or "" when absent.
    virtual ULONG GetTrkNo(int i) const;
    virtual ULONG GetBlkNo(int i, int j) const;
    virtual ULONG GetWorksTrkNo(int i) const;
    virtual ULONG GetWorksBlkNo(int i, int j) const;
    virtual CString GetWorksBlkName(int i, int j) const;
    virtual int GetIndex(CArticWrkTrk* trk) const;
    virtual POSITION AddHead(CArticWrkTrk* trk);
    virtual POSITION AddTail(CArticWrkTrk* trk);
    // In ascending TrkNo, after the tracks of the same number.
    virtual POSITION Sort(CArticWrkTrk* trk);
    virtual POSITION InsertAfter(POSITION pos, CArticWrkTrk* trk);
    virtual POSITION InsertBefore(POSITION pos, CArticWrkTrk* trk);
    virtual POSITION Find(CArticWrkTrk* trk) const;
    virtual void Remove(CArticWrkTrk* trk, POSITION start);
    virtual void Remove(POSITION pos);
    virtual void RemoveAll();
    virtual int GetTrkList(CArticWrkTrkList** list) const;
    virtual CArticWrkTrkList* GetTrkList() const { return m_pTrkList; }
    // Over the tracks other than track 0.
    virtual INT64 GetStartTime() const;
    virtual INT64 GetEndTime() const;
    virtual void Clear();
    virtual ULONG GetEvntNum();
    virtual int GetMeasBlk(CArticWrkBlk** blk) const;
    virtual CArticWrkBlk* GetMeasBlk() const { return m_pMeasBlk; }
    virtual void SetMeasBlk(CArticWrkBlk* blk) { m_pMeasBlk = blk; }
    virtual int GetEvntPosArray(CArticPosArray** array) const;
    virtual CArticPosArray* GetEvntPosArray() const { return m_pEvntPosArray; }
    virtual int GetOutArray(ULONG evntNo, CArticLongArray** array) const;
    virtual CArticLongArray* GetOutArray(ULONG evntNo) const;

    // ---- Event numbers
    virtual int SetEvntPos(CArticWrkEvnt* evnt);
    virtual int ResetEvntPos(ULONG evntNo);
    virtual int ResetEvntPos(CArticWrkEvnt* evnt);
    virtual int ResetAllEvntPos();
    virtual int GetEvntPos(ULONG evntNo, CArticWrkEvnt** evnt, CArticWrkEvnt** refEvnt) const;
    virtual int GetEvntPos(ULONG evntNo, CArticWrkEvnt** evnt) const;
    virtual int GetEvntPos(CArticWrkEvnt* evnt, CArticPos** record) const;
    virtual int IsEvntPos(const CArticWrkEvnt* evnt) const;
    virtual int DeleteEvntPos(CArticWrkEvnt* evnt);
    virtual int DeleteEvnt(CArticWrkEvnt* evnt);
    virtual int GetEvntInEvntPosArray(ULONG evntNo, CArticWrkEvnt** evnt) const;
    virtual CArticWrkEvnt* GetEvntInEvntPosArray(ULONG evntNo, int resolvedOnly) const;
    virtual CArticWrkEvnt* GetEvntBySeqNo(ULONG evntNo) const;
    virtual CArticWrkEvnt* GetEvntByNo(ULONG evntNo) const;

    // ---- Navigation (notes non-zero: notes only)
    virtual int GetAreaWrkEvntInEvntPosArray(INT64 from, INT64 to, int notes, CArticWrkEvntList* list) const;
    // The same events into *out (emptied first; its storage serves the next call).
    int CollectAreaWrkEvnt(INT64 from, INT64 to, int notes, std::vector<CArticWrkEvnt*>* out) const;
    virtual int GetSameMeasWrkEvntInEvntPosArray(ULONG meas, int notes, CArticWrkEvntList* list) const;
    virtual CArticWrkEvnt* GetFirstEvntInEvntPosArray(int notes) const;
    virtual int GetFirstEvntInEvntPosArray(int count, int notes, CArticWrkEvntList* list) const;
    virtual CArticWrkEvnt* GetFirstEvntInEvntPosArray(INT64 time, INT64 margin, int notes) const;
    virtual CArticWrkEvnt* GetFirstEvntInEvntPosArray(INT64 time, int notes) const;
    virtual CArticWrkEvnt* GetFirstEvntInEvntPosArray(const CArticWrkEvnt* evnt, int notes) const;
    virtual CArticWrkEvnt* GetLastEvntInEvntPosArray(int notes) const;
    virtual int GetLastEvntInEvntPosArray(int count, int notes, CArticWrkEvntList* list) const;
    virtual CArticWrkEvnt* GetLastEvntInEvntPosArray(INT64 time, INT64 margin, int notes) const;
    virtual CArticWrkEvnt* GetLastEvntInEvntPosArray(INT64 time, int notes) const;
    virtual CArticWrkEvnt* GetLastEvntInEvntPosArray(const CArticWrkEvnt* evnt, int notes) const;
    virtual int GetNextEvntInEvntPosArray(ULONG n, int count, int notes, CArticWrkEvnt** evnt) const;
    virtual int GetNextEvntInEvntPosArray(ULONG n, int notes, CArticWrkEvnt** evnt) const;
    virtual int GetNextEvntInEvntPosArray(ULONG n, int count, int notes, CArticWrkEvntList* list) const;
    virtual CArticWrkEvnt* GetNextEvntInEvntPosArray(ULONG n, int count, int notes) const;
    virtual CArticWrkEvnt* GetNextEvntInEvntPosArray(ULONG n, int notes) const;
    virtual int GetPrevEvntInEvntPosArray(ULONG n, int count, int notes, CArticWrkEvnt** evnt) const;
    virtual int GetPrevEvntInEvntPosArray(ULONG n, int notes, CArticWrkEvnt** evnt) const;
    virtual int GetPrevEvntInEvntPosArray(ULONG n, int count, int notes, CArticWrkEvntList* list) const;
    virtual CArticWrkEvnt* GetPrevEvntInEvntPosArray(ULONG n, int count, int notes) const;
    virtual CArticWrkEvnt* GetPrevEvntInEvntPosArray(ULONG n, int notes) const;
    virtual int GetWrkNextEvntInEvntPosArray(ULONG n, int count, int notes, CArticWrkEvnt** evnt) const;
    virtual int GetWrkNextEvntInEvntPosArray(ULONG n, int notes, CArticWrkEvnt** evnt) const;
    virtual int GetWrkNextEvntInEvntPosArray(ULONG n, int count, int notes, CArticWrkEvntList* list) const;
    virtual CArticWrkEvnt* GetWrkNextEvntInEvntPosArray(ULONG n, int count, int notes) const;
    virtual CArticWrkEvnt* GetWrkNextEvntInEvntPosArray(ULONG n, int notes) const;
    virtual int GetWrkPrevEvntInEvntPosArray(ULONG n, int count, int notes, CArticWrkEvnt** evnt) const;
    virtual int GetWrkPrevEvntInEvntPosArray(ULONG n, int notes, CArticWrkEvnt** evnt) const;
    virtual int GetWrkPrevEvntInEvntPosArray(ULONG n, int count, int notes, CArticWrkEvntList* list) const;
    virtual CArticWrkEvnt* GetWrkPrevEvntInEvntPosArray(ULONG n, int count, int notes) const;
    virtual CArticWrkEvnt* GetWrkPrevEvntInEvntPosArray(ULONG n, int notes) const;
    // The first event (by number) later than time on a selected track.
    virtual int GetNextTimeInEvntPosArray(ULONG time, int notes, CArticWrkEvnt** evnt) const;
    virtual CArticWrkEvnt* GetNextTimeInEvntPosArray(INT64 time, int notes) const;
    virtual int GetWrkPrevRestInEvntPosArray(ULONG n, INT64* rest) const;
    // Of the notes (status 0x90) of selected tracks numbered below n that start
    // before `start`: *found whether there is one, *lastEnd the latest end.
    // False when the index cannot answer (numbers and times disagree in order,
    // or the work data is being edited): the caller walks the numbers.
    bool GetPrevNoteEnd(ULONG n, INT64 start, bool* found, INT64* lastEnd) const;
    // The pitch bend (status 0xE0) of any track that a walk down the numbers
    // from n finds first among those at or before `time`: *bend, null when
    // none. False when the index cannot answer (the caller walks).
    bool GetPrevBend(ULONG n, INT64 time, CArticWrkEvnt** bend) const;
    // The control change (status 0xB0, Post1 number) that a walk down the
    // table from slot n - 1 finds first among those before `time`: *cc, null
    // when none. False when the index cannot answer (the caller walks).
    bool GetPrevCc(ULONG n, BYTE number, INT64 time, CArticWrkEvnt** cc) const;
    // The notes (status 0x90) of selected tracks that the table resolves, by
    // number, when their times never fall along the numbers; null when they
    // do, or while the work data is being edited (the caller walks).
    struct NumberedNote {
        LONG no;
        CArticWrkEvnt* evnt;
        INT64 time;
        INT64 lastEnd;  // the latest end of this note and those before it in the list
    };
    const std::vector<NumberedNote>* GetNotesInTimeOrder() const;
    virtual CArticWrkEvnt* GetWrkPrevChordEvntInEvntPosArray(ULONG n, INT64 window) const;
    virtual CArticWrkEvnt* GetWrkNextChordEvntInEvntPosArray(ULONG n, INT64 window) const;
    virtual ULONG GetFreeEvntNo(ULONG n) const;
    virtual ULONG GetFreeEvntNo() const;
    virtual LONG IsChangeEvntNo() const { return m_ChangeEvntNo; }
    virtual void ChangeEvntNo(LONG on) { m_ChangeEvntNo = on; }
    // The same as GetNextTimeInEvntPosArray on every track.
    virtual int GetWrkNextTimeInEvntPosArray(ULONG time, int notes, CArticWrkEvnt** evnt) const;
    virtual CArticWrkEvnt* GetWrkNextTimeInEvntPosArray(INT64 time, int notes) const;
    virtual int GetEvnt(POSITION trkPos, POSITION blkPos, POSITION evntPos, CArticWrkEvnt** evnt) const;
    virtual CArticWrkEvnt* GetEvnt(POSITION trkPos, POSITION blkPos, POSITION evntPos) const;

    virtual LONG GetMaxPartNum() const { return m_MaxPartNum; }
    virtual void SetMaxPartNum(LONG n) { m_MaxPartNum = n; }
    virtual LONG GetFng() const { return m_Fng; }
    virtual void SetFng(LONG fng) { m_Fng = fng; }

    // ---- Whole-work operations
    // Gives every track a part number (normal parts first, drum parts on 10).
    virtual int AssignWrk();
    virtual int RestoreProb(CArticWrk* src);
    virtual int ClearExv();
    virtual int ClearExpStr();
    virtual int ClearPrmExp();
    virtual int ClearFngrInfo();
    virtual void CopyForCore(const CArticWrk* src);

    ULONG GetHighEvntNo() const { return m_HighEvntNo; }
    // Size of the event-number table after number n was registered: steps of two.
    static int GrownTableSize(int size, ULONG n);

protected:
    virtual void ClearTrkList();
    virtual void CopyTrkList(const CArticWrkTrkList* list);
    virtual void DeleteTrkList();
    virtual void ClearEvntPosArray(int deleteFree);
    virtual void DeleteEvntPosArray();
    virtual int MakeWrkEvntList(CArticWrkEvntList* list, int copy);
    virtual int RemakeEvntPosArray(CArticWrkEvntList* list);
    virtual void CopyTrkListForCore(const CArticWrkTrkList* list);
    virtual int DivWrkTrkList(CArticWrkTrkList* all, CArticWrkTrkList* normal, CArticWrkTrkList* drum10,
                              CArticWrkTrkList* drumOther);
    virtual int NormalAssign(int count, CArticWrkTrkList* list, int skipDrum, int* used);
    virtual int DrumAssign(int count, CArticWrkTrkList* list, int* used);
    virtual int GetFreeDrumTrkNo(int count, int* used, ULONG* trkNo);
    virtual ULONG GetFreeTrkNo(BYTE partMode) const;

private:
    CArticWrkTrk* FindTrk(POSITION pos) const;
    CArticWrkBlk* FindBlk(CArticWrkTrk* trk, POSITION pos) const;
    CArticWrkEvnt* Resolve(const CArticPos* rec, CArticWrkTrk** trk) const;
    // The event entry n resolves to when it passes the filters; null otherwise.
    CArticWrkEvnt* Visit(LONG n, bool selectedOnly, int notes) const;
    // Walks numbers from `from` in direction dir; stops when f returns true.
    template <class F>
    void WalkNumbers(int64_t from, int dir, bool selectedOnly, int notes, F f) const;
    int WalkCount(int64_t from, int dir, bool selectedOnly, int count, int notes, CArticWrkEvnt** found) const;
    int WalkList(int64_t from, int dir, bool selectedOnly, int count, int notes, CArticWrkEvntList* list) const;
    CArticWrkEvnt* FirstInBar(int dir, ULONG bar, int notes) const;
    CArticWrkEvnt* FirstInWindow(int dir, INT64 time, INT64 margin, int notes) const;
    CArticWrkEvnt* NextByTime(INT64 time, int notes, bool selectedOnly) const;
    ULONG BarOf(INT64 time) const;
    template <class F>
    void ForEachEvnt(F f) const;
    // Hands add the events from `from` to `to` in number order (the area queries).
    template <class Add>
    void ForEachInArea(INT64 from, INT64 to, int notes, Add add) const;
    // The indexes of the note queries. They are built once the work data has
    // stood still between two queries and used while it stays so (see
    // CArticWrkEdits); true when they are usable.
    bool NoteIndexReady() const;
    void BuildNoteIndex() const;

    struct NoteTime {
        INT64 time;
        LONG no;
    };
    // The notes the area query finds (records on selected tracks, status 0x9n),
    // by time, then number.
    mutable std::vector<NoteTime> m_NoteTimes;
    // The area query's finds with their numbers, kept between queries.
    mutable std::vector<std::pair<LONG, CArticWrkEvnt*>> m_AreaHits;
    // The notes the rest query finds (events of selected tracks, status 0x90),
    // by number, and whether their times never fall along the numbers.
    mutable std::vector<NumberedNote> m_NumberedNotes;
    mutable bool m_NumberedNotesInTimeOrder = false;
    // The pitch bends of every track by number, whether their times never fall
    // along the numbers, and whether every event the table resolves carries
    // the number it is registered under (the walks down the numbers rely on it).
    mutable std::vector<std::pair<LONG, CArticWrkEvnt*>> m_Bends;
    mutable bool m_BendsInTimeOrder = false;
    // The control changes the table resolves, per controller number, by
    // slot; and the numbers whose times never fall along the slots.
    mutable std::vector<std::vector<std::pair<LONG, CArticWrkEvnt*>>> m_Ccs;
    // The event each slot of the table resolves to (null for none).
    mutable std::vector<CArticWrkEvnt*> m_Resolved;
    mutable std::vector<bool> m_CcsInTimeOrder;
    mutable bool m_NumbersAgree = false;
    mutable uint64_t m_NoteIndexAt = UINT64_MAX;  // edit count the indexes were built at
    mutable uint64_t m_NoteQueryAt = UINT64_MAX;  // edit count at the last note query
    void CopyTracks(const CArticWrkTrkList* list, bool forCore);

    CArticWrkTrkList* m_pTrkList;     // owned, with its tracks
    CArticWrkBlk* m_pMeasBlk = nullptr;  // not owned: a block of one of the tracks
    CArticPosArray* m_pEvntPosArray;  // owned, with its records; indexed by event number
    // How many of the table's records hold each event (kept with every
    // change of a record's event), so that IsEvntPos needs no walk.
    CArticAddrCount m_Registered;
    void CountRecord(const CArticWrkEvnt* evnt, int change);
    ULONG m_EvntNum = 0;
    LONG m_ChangeEvntNo = 0;
    LONG m_MaxPartNum = 16;
    ULONG m_HighEvntNo = 0;
    LONG m_Fng = 0;
};
