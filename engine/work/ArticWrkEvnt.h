#pragma once
// One event of the work data: a MIDI message (or one packed group of
// controller messages) of the channel being converted, with its time, gate
// length, bar/beat/tick position, an optional data block, and the per-note
// state the rule engine and the expressions leave on it.
//
// Stored statuses carry no channel (the channel belongs to the work track).
// Pseudo-statuses for packed events: 0x10 NRPN, 0x20 RPN (Post1/Post2 the
// parameter, Post3/Post4 the data entry), 0x30 voice (bank MSB, bank LSB,
// program).
#include <memory>
#include <new>

#include "engine/expressions/ArticMeas.h"
#include "engine/work/ArticSetSlots.h"
#include "engine/work/ArticWrkEdits.h"
#include "platform/Collections.h"
#include "platform/Memory.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticFngrInfo;
class CArticPrmExp;
class CArticWrkBlk;
class CArticWrkEvnt;

using CArticWrkEvntList = CTypedPtrList<CObList, CArticWrkEvnt*>;
// A per-rule-set array indexed by rule-set number (null for an empty slot).
using CArticLongArray = CTypedPtrArray<CPtrArray, LONG*>;

constexpr int kNoteInfoCount = 10;
constexpr ULONG kNoRuleSet = 0x7FFFFFFF;

// The value form of one event.
struct _WRK_EVNT {
    BYTE Status = 0;
    BYTE Post1 = 0;
    BYTE Post2 = 0;
    BYTE Post3 = 0;
    BYTE Post4 = 0;
    ULONG Meas = 0;
    ULONG Beat = 0;
    ULONG Tick = 0;
    INT64 Time = 0;
    INT64 Gate = 0;
    BYTE MetaType = 0;
    ULONG Len = 0;          // bytes at Data
    const BYTE* Data = nullptr;  // borrowed, never owned by the record
};

class CArticWrkEvnt : public CObject {
    VX_DECLARE_CLASS(CArticWrkEvnt)
public:
    CArticWrkEvnt();
    CArticWrkEvnt(CArticWrkBlk* owner, ULONG evntNo);
    ~CArticWrkEvnt() override;
    CArticWrkEvnt(const CArticWrkEvnt&) = delete;
    // Copies the content; Owner, PosEvnt, ErrKind, EvntNo and SeqEvntNo stay.
    CArticWrkEvnt& operator=(const CArticWrkEvnt& src);

    // ---- Data block (owned; exactly as long as requested)
    // 0 when a block of len bytes is held afterwards.
    virtual int CreateGmem(ULONG len);
    // Copies at most the block's size from src; 0 when something was copied.
    virtual int CopyGmem(const BYTE* src, ULONG len);
    virtual void DeleteGmem();

    // ---- Time and position
    // Re-times the measure block's events from pos to the end from their bar/beat/tick.
    virtual int CalcEvntTime(POSITION& pos);
    virtual int GetEvntTime(ULONG meas, ULONG beat, ULONG tick, INT64* time) const;
    virtual int GetEvntMeas(INT64 time, ULONG* meas, ULONG* beat, ULONG* tick) const;

    // ---- Value record
    virtual void Get(_WRK_EVNT& e) const;
    // Stores the values and a copy of the record's data (the record keeps its own).
    virtual void Set(const _WRK_EVNT& e);

    virtual void GetMeas(ULONG* meas, ULONG* beat, ULONG* tick) const;
    virtual INT64 GetTime() const { return m_Time; }
    virtual INT64 GetGateTime() const { return m_GateTime; }
    virtual BYTE GetStatus() const { return m_Status; }
    virtual BYTE GetPost1() const { return m_Post1; }
    virtual BYTE GetPost2() const { return m_Post2; }
    virtual BYTE GetPost3() const { return m_Post3; }
    virtual BYTE GetPost4() const { return m_Post4; }
    virtual BYTE GetMetaType() const { return m_MetaType; }
    // The data length; *type and *data (borrowed) when the pointers are given.
    virtual ULONG GetMeta(BYTE* type, const BYTE** data) const;
    virtual ULONG GetSys(const BYTE** data) const;

    // ---- Per-rule-set state
    virtual LONG GetExv(ULONG set) const { return GetLong(m_Exv, set); }
    virtual LONG GetSearch(ULONG set) const { return GetLong(m_Search, set); }
    virtual double GetProb(ULONG set) const;
    virtual LONG GetOut(ULONG set) const { return GetLong(m_Out, set); }
    virtual LONG GetErr(ULONG set) const { return GetLong(m_Err, set); }
    virtual int GetExpEvntList(ULONG set, CStringList** list) const;
    virtual CStringList* GetExpEvntList(ULONG set) const;
    // Slots 0..9; any other index reads 0.
    virtual LONG GetNoteInfo(int i) const;
    // The Out values as a set-indexed array: a snapshot owned by the event,
    // made anew by each call (writing to it changes nothing).
    virtual int GetOutArray(CArticLongArray** array) const;
    virtual CArticLongArray* GetOutArray() const;
    virtual LONG GetVceSet() const { return m_VceSet; }
    virtual LONG GetVceOtherBlk() const { return m_VceOtherBlk; }
    virtual LONG GetSelVce() const { return m_SelVce; }
    virtual LONG GetGraced() const { return m_Graced; }
    virtual LONG GetPbWhiten() const { return m_PbWhiten; }
    virtual CArticPrmExp* GetPrmExp(ULONG set) const;
    virtual CArticWrkEvnt* GetSeqWrkEvnt() const { return m_pSeqWrkEvnt; }
    virtual ULONG GetSeqEvntNo() const { return m_SeqEvntNo; }
    virtual int GetPrmExpArraySize() const;
    virtual int GetPrmExpArrayExist() const;
    virtual int CreatePrmExpArray();
    virtual LONG GetCreate() const { return m_Create; }
    virtual LONG GetSelTrk() const;
    virtual CArticWrkEvntList* GetChordEvntList() const { return m_pChordList; }
    virtual CArticWrkEvntList* GetHarmoEvntList() const { return m_pHarmoList; }
    virtual CArticWrkEvnt* GetChordFirstEvnt() const { return m_pChordFirstEvnt; }
    virtual INT64 GetTimeShift() const { return m_TimeShift; }
    virtual signed char GetKeyShift() const { return m_KeyShift; }
    virtual CArticWrkEvnt* GetProcWrkEvnt() const { return m_pProcWrkEvnt; }
    // The song ticks of an event read from the song that the engine's coarser
    // time does not hold (song tick = time x multiplier + rest); 0 once the
    // event has left the time it was read at.
    LONG GetSongTickRest() const { return m_Time == m_SongTickTime ? m_SongTickRest : 0; }

    // Bar/beat/tick from a time (kept for the measure block's own notes,
    // controllers and time signatures).
    virtual void SetMeas(INT64 time);
    // Time from bar/beat/tick.
    virtual void SetMeas(ULONG meas, ULONG beat, ULONG tick);
    virtual void SetTime(INT64 time, int recalc);
    virtual void SetGateTime(INT64 gate) {
        m_GateTime = gate;
        CArticWrkEdits::Count();
    }
    virtual void SetStatus(BYTE v) {
        m_Status = v;
        CArticWrkEdits::Count();
    }
    // A controller's number is indexed like a status (see CArticWrkEdits).
    virtual void SetPost1(BYTE v) {
        m_Post1 = v;
        CArticWrkEdits::Count();
    }
    virtual void SetPost2(BYTE v) { m_Post2 = v; }
    virtual void SetPost3(BYTE v) { m_Post3 = v; }
    virtual void SetPost4(BYTE v) { m_Post4 = v; }
    virtual void SetMetaType(BYTE v) { m_MetaType = v; }
    virtual void SetMeta(BYTE type, const BYTE* data, ULONG len);
    virtual void SetSys(const BYTE* data, ULONG len);

    // 1 when stored (or a 0 left in an empty slot), 0 when the array is
    // absent or the element cannot be made.
    virtual int SetExv(ULONG set, LONG v) { return SetLong(m_Exv, set, v); }
    virtual int SetSearch(ULONG set, LONG v) { return SetLong(m_Search, set, v); }
    virtual int SetProb(ULONG set, double v);
    virtual int SetOut(ULONG set, LONG v) { return SetLong(m_Out, set, v); }
    virtual int SetErr(ULONG set, LONG v) { return SetLong(m_Err, set, v); }
    virtual int SetExpEvntList(ULONG set, const CStringList* list);
    // 0 stored; 1 refused (index outside 0..9).
    virtual int SetNoteInfo(int i, LONG v);
    virtual void SetVceSet(LONG v) { m_VceSet = v; }
    virtual void SetVceOtherBlk(LONG v) { m_VceOtherBlk = v; }
    virtual void SetSelVce(LONG v) { m_SelVce = v; }
    virtual void SetGraced(LONG v) { m_Graced = v; }
    virtual void SetPbWhiten(LONG v) { m_PbWhiten = v; }
    // Takes ownership of rec (null allowed): 0; 1 when the array cannot be made.
    virtual int SetPrmExpArray(ULONG set, CArticPrmExp* rec);
    virtual void SetSeqWrkEvnt(CArticWrkEvnt* e) { m_pSeqWrkEvnt = e; }
    virtual void SetSeqEvntNo(ULONG n) { m_SeqEvntNo = n; }
    virtual void SetCreate(LONG v) { m_Create = v; }
    virtual void SetChordFirstEvnt(CArticWrkEvnt* e) { m_pChordFirstEvnt = e; }
    virtual void SetTimeShift(INT64 t) { m_TimeShift = t; }
    virtual void AddTimeShift(INT64 t) { m_TimeShift += t; }
    virtual void SetKeyShift(signed char k) { m_KeyShift = k; }
    virtual void AddKeyShift(int d);
    virtual void SetProcWrkEvnt(CArticWrkEvnt* e) { m_pProcWrkEvnt = e; }
    // Records the rest for the event's present time.
    void SetSongTickRest(LONG rest) {
        m_SongTickRest = rest;
        m_SongTickTime = m_Time;
    }

    // 1 when cleared, 0 when the array is absent.
    virtual int ClearExvArray() { return ClearLongArray(m_Exv); }
    virtual int ClearSearchArray() { return ClearLongArray(m_Search); }
    virtual int ClearProbArray();
    virtual int ClearOutArray() { return ClearLongArray(m_Out); }
    virtual int ClearErrArray() { return ClearLongArray(m_Err); }
    virtual int ClearExpEvntListArray();
    virtual int ClearNoteInfo();
    virtual int ClearPrmExpArray();
    virtual void ClearFngrInfo() { DeleteFngrInfo(); }

    // ---- Place in the work data
    virtual POSITION GetPosEvnt() const { return m_PosEvnt; }
    virtual void GetPos(POSITION* trkPos, POSITION* blkPos, POSITION* evntPos) const;
    virtual void SetPosEvnt(POSITION pos) {
        m_PosEvnt = pos;
        CArticWrkEdits::Count();
    }
    // Empties this event's entry of the event-number table (only when the
    // entry holds this event): 0; 1 when the owner chain is incomplete.
    virtual int DeleteEvntPos();
    // Takes the Prob, Out and Err arrays of src: 0; 1 for null.
    virtual int RestoreProb(const CArticWrkEvnt* src);
    virtual void ClearChordInfo();
    virtual void AddChordEvnt(CArticWrkEvnt* e);
    virtual void AddHarmoEvnt(CArticWrkEvnt* e);
    // The copy the conversion core keeps (ProcWrkEvnt points at the original).
    virtual void CopyForCore(const CArticWrkEvnt& src);

    // ---- Text and errors
    // Appends the dump line: 0, or the kind-name failure.
    virtual int GetStrList(CStringList& list, ULONG set, int withRuleData);
    virtual void SetErrMsgList();
    // Reports once per event (ErrKind 0 -> 3).
    virtual void DispErrMsg(const CString& title, const CString& message, const CString& method,
                            const CString& detail);

    virtual int GetOwner(CArticWrkBlk** blk) const;
    virtual CArticWrkBlk* GetOwner() const { return m_pOwner; }
    virtual ULONG GetEvntNo() const { return m_EvntNo; }
    virtual void SetEvntNo(ULONG n) {
        m_EvntNo = n;
        CArticWrkEdits::Count();
    }
    virtual void SetOwner(CArticWrkBlk* blk) {
        m_pOwner = blk;
        CArticWrkEdits::Count();
    }
    virtual int GetWrkMeasBlk(CArticWrkBlk** blk) const;
    virtual CArticWrkBlk* GetWrkMeasBlk() const;
    virtual CArticFngrInfo* GetFngrInfo() const { return m_pFngrInfo; }
    virtual void SetFngrInfo(LONG pos, BYTE gen, BYTE fng, signed char cho);
    virtual void SetFngrInfo(const CArticFngrInfo* rec);
    virtual void SetOrgTrkID(POSITION id);
    virtual BYTE GetErrKind() const { return m_ErrKind; }
    virtual void SetErrKind(BYTE kind) { m_ErrKind = kind; }

    // Size of a per-set array after index i was set: steps of five slots.
    static int GrownSize(int size, ULONG index);

    // While a hold is on, a destroyed event keeps its memory until the last
    // hold ends, so that no new event takes the address of a removed one
    // (the expression phases tell removed events by address). Holds nest.
    static void HoldFreedMemory(int on);
    static void* operator new(size_t size);
    static void* operator new(size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* p);
    static void operator delete(void* p, const std::nothrow_t&) noexcept;

protected:
    void Init();
    CArticWrkEvnt* GetPrevBeatEvnt(CArticWrkBlk* blk, POSITION& pos) const;
    void DeleteExpEvntListArray();
    void DeletePrmExpArray();
    void CopyExpEvntListArray(const CArticSetSlots<std::unique_ptr<CStringList>>& src);
    void CopyPrmExpArray(const CArticWrkEvnt& src);
    void NewFngrInfo();
    void DeleteFngrInfo();

private:
    using LongSlots = CArticSetSlots<LONG>;
    static LONG GetLong(const LongSlots& slots, ULONG set);
    static int SetLong(LongSlots& slots, ULONG set, LONG v);
    static int ClearLongArray(LongSlots& slots);
    // Copies the content shared by assignment and CopyForCore.
    void CopyValuesAndData(const CArticWrkEvnt& src);
    void CopyFngrFrom(const CArticWrkEvnt& src);

    void SetBarBeatTick(ULONG bar, ULONG beat, ULONG tick) {
        m_Bar = bar;
        m_Beat = beat;
        m_Tick = tick;
    }

    // Members run from the widest to the narrowest: a song holds several of
    // these per note (the work, its copies, the condition timelines).
    CArticWrkBlk* m_pOwner;  // not owned
    POSITION m_PosEvnt;
    INT64 m_Time;
    INT64 m_GateTime;
    INT64 m_TimeShift;
    INT64 m_SongTickTime;  // the time the rest belongs to
    BYTE* m_pMem;        // owned data block (new[]); null when none
    // Per-rule-set state. A slot that holds a value reads it, any other number
    // reads 0 (null for the lists and records).
    LongSlots m_Exv, m_Search, m_Out, m_Err;
    CArticSetSlots<double> m_Prob;
    CArticSetSlots<std::unique_ptr<CStringList>> m_ExpEvntList;
    CArticSetSlots<CArticPrmExp*> m_PrmExp;  // records owned; no slot holds null
    struct OutView;
    mutable OutView* m_pOutView;             // owned; made by GetOutArray
    CArticFngrInfo* m_pFngrInfo;        // owned
    CArticWrkEvnt* m_pSeqWrkEvnt;  // not owned
    CArticWrkEvntList* m_pChordList;  // owned list, events not owned
    CArticWrkEvntList* m_pHarmoList;  // owned list, events not owned
    CArticWrkEvnt* m_pChordFirstEvnt; // not owned
    CArticWrkEvnt* m_pProcWrkEvnt;  // not owned
    ULONG m_EvntNo;
    ULONG m_Bar, m_Beat, m_Tick;  // bar and beat from 1, tick from 0
    ULONG m_MemLen;      // bytes recorded for the block
    ULONG m_MemSize;     // bytes allocated
    LONG m_NoteInfo[kNoteInfoCount];
    LONG m_VceSet, m_VceOtherBlk, m_SelVce, m_Graced, m_PbWhiten;
    ULONG m_SeqEvntNo;
    LONG m_Create;
    LONG m_SongTickRest;   // song ticks below the engine's step, read from the song
    BYTE m_ErrKind;
    BYTE m_Status, m_Post1, m_Post2, m_Post3, m_Post4;
    BYTE m_MetaType;
    signed char m_KeyShift;
    bool m_PrmExpMade;                       // the records' array is absent until needed
};
