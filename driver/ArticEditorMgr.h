#pragma once
// The engine's view of the song for one conversion: the selection being
// converted and the times derived from it, the three channel tables, free
// port and channel search for string separation, the song lock, the song
// events the write-back removes, and the voice-set marking of the work data.
// It reads and edits the song only through the host interface.
#include <memory>
#include <string>
#include <vector>

#include "services/ArticArrayCh.h"
#include "driver/ArticEditorUtil.h"
#include "host/KPSManager.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/Types.h"

class CArticPos;
class CArticPrefSep;
class CArticWrk;
class CArticWrkBlk;
class CPHConvPrm;

// The address of one song event (or of a block, with no event position).
class CArticEvntID : public CObject {
    VX_DECLARE_CLASS(CArticEvntID)
public:
    CArticEvntID() = default;
    CArticEvntID(POSITION trk, POSITION blk, POSITION evnt) : m_Trk(trk), m_Blk(blk), m_Evnt(evnt) {}
    ~CArticEvntID() override = default;

    POSITION GetTrk() const { return m_Trk; }
    POSITION GetBlk() const { return m_Blk; }
    POSITION GetEvnt() const { return m_Evnt; }
    void Set(POSITION trk, POSITION blk, POSITION evnt) {
        m_Trk = trk;
        m_Blk = blk;
        m_Evnt = evnt;
    }

private:
    POSITION m_Trk = nullptr;
    POSITION m_Blk = nullptr;
    POSITION m_Evnt = nullptr;
};

using CArticEvntIDList = CTypedPtrList<CObList, CArticEvntID*>;

// The song lock for the life of the object: shared for mode 0, exclusive
// (recording one undo step) otherwise. A refused lock is reported to the
// error list and the message sink at once; the object then holds nothing and
// releases nothing.
class CArticMpLock : public CObject {
    VX_DECLARE_CLASS(CArticMpLock)
public:
    CArticMpLock(CKPSManager* host, int mode);
    ~CArticMpLock() override;
    CArticMpLock(const CArticMpLock&) = delete;
    CArticMpLock& operator=(const CArticMpLock&) = delete;

    int GetMode() const { return m_Mode; }
    // The host's answer to the lock request (negative when refused).
    HRESULT GetResult() const { return m_Result; }

private:
    CKPSManager* m_pHost;  // not owned
    int m_Mode;
    HRESULT m_Result;
    std::u16string m_Name;  // the undo step's name
};

class CArticEditorMgr : public CObject {
    VX_DECLARE_CLASS(CArticEditorMgr)
public:
    static constexpr int kMaxUsedCh = 12;
    static constexpr INT64 kNoTime = INT64(0x7FFFFFFFFFFFFFFF);

    explicit CArticEditorMgr(CKPSManager* host = nullptr);
    ~CArticEditorMgr() override;
    CArticEditorMgr(const CArticEditorMgr&) = delete;
    CArticEditorMgr& operator=(const CArticEditorMgr&) = delete;

    // Empties the block positions and the selection; first note-on time and voice state 0.
    virtual void Clear();
    // 0 without a host or selection; 1 for one selected item; 2 when all lie
    // in one track; 3 when no two lie in one track; 4 when some track holds
    // two or more while others hold some too.
    virtual int IsSelectBlk() const;
    virtual DWORD GetPortFromPortID(DWORD portId) const;
    // Marks (voice set 1) the events of every work block before its first
    // note and not later than the first note-on time. 1 for null work data.
    virtual int SearchVceSet(CArticWrk* wrk) const;
    // Client, source and used channel tables of the selection; 0 when every step succeeded.
    virtual int CalcArrayCh();
    virtual CKPSManager* GetCEditor() const { return m_pHost; }
    virtual int GetVoiceState() const { return m_VoiceState; }
    virtual INT64 GetFirstNoteOnTime() const { return m_FirstNoteOnTime; }
    virtual INT64 GetFirstEventTime() const { return m_FirstEventTime; }
    virtual INT64 GetLastEventTime() const { return m_LastEventTime; }
    // A port and channel that neither a string of the separation nor the song
    // uses, never MIDI channel 10: the given port first, then ports 0 to
    // count - 1. 1 when found (outputs set), else 0 (outputs untouched).
    virtual int GetEmptyPortCh(const CArticPrefSep* sep, DWORD portCount, DWORD* port, DWORD* ch) const;
    // The same against the tracks that are written out.
    virtual int GetEmptyPortCh2(const CArticPrefSep* sep, DWORD portCount, DWORD* port, DWORD* ch) const;
    virtual CArticArrayCh* GetOrigiCh() const { return m_pOrigiCh.get(); }
    virtual CArticArrayCh* GetUsedCh() const { return m_pUsedCh.get(); }
    virtual CArticArrayCh* GetClientCh() const { return m_pClientCh.get(); }
    virtual BYTE GetSelMode() const { return m_SelMode; }
    virtual BYTE GetTransMode() const { return m_TransMode; }
    // The block of the first selected item of the track: 0, or 1 when none.
    virtual int GetSelBlkID(POSITION trk, POSITION* blk) const;
    // *out 1 when the selection's first item lies in the track, 2 when the
    // track's first item comes later (0); *out 0 and 1 when it holds none.
    virtual int EstimateTrkNo(POSITION trk, int* out) const;
    virtual int GetPbExist() const { return m_PbExist; }
    virtual int GetInitSep() const { return m_InitSep; }
    // Write each track's own channel into the events of its selected blocks /
    // into its selected events (needs the exclusive lock). 0, or 1 at the first failure.
    virtual int SetEvntChBlkSel();
    virtual int SetEvntChEvntSel();
    virtual int GetIsMaster() const { return m_IsMaster; }
    virtual int GetIsMeas() const { return m_IsMeas; }
    virtual POSITION GetMeasTrk() const { return m_MeasTrk; }
    virtual POSITION GetMeasBlk() const { return m_MeasBlk; }
    virtual POSITION GetMeasEvnt() const { return m_MeasEvnt; }
    virtual int GetIsTempo() const { return m_IsTempo; }
    virtual POSITION GetTempoTrk() const { return m_TempoTrk; }
    virtual POSITION GetTempoBlk() const { return m_TempoBlk; }
    virtual POSITION GetTempoEvnt() const { return m_TempoEvnt; }
    virtual LONG GetClientBeatMul() const { return m_ClientBeatMul; }
    virtual void SetCEditor(CKPSManager* host) { m_pHost = host; }
    // Copy the positions into the selection and compute the first note-on,
    // last event and first event times (over selected events for the event
    // form), then the channel tables: the OR of the four results.
    virtual int SetSelectEvntPosList(CKPSManager* host, const CArticPosList* list);
    virtual int SetSelectBlkPosList(CKPSManager* host, const CArticPosList* list);
    // Copies the positions and computes the first note-on time only.
    virtual int SetSelectBlkPosList(const CArticPosList* list);
    virtual void SetVoiceState(int state) { m_VoiceState = state; }
    virtual void SetFirstNoteOnTime(INT64 time) { m_FirstNoteOnTime = time; }
    virtual void SetFirstEventTime(INT64 time) { m_FirstEventTime = time; }
    virtual void SetLastEventTime(INT64 time) { m_LastEventTime = time; }
    // One position per block of every track: 0, or 1 when the host fails.
    virtual int SetBlkPosList();
    // For each song track holding a selected item: its position and its index in the song.
    virtual int GetSelTrk(std::vector<POSITION>* trks, std::vector<int>* indexes) const;
    // Remove the selected events / blocks from the song (needs the exclusive
    // lock); the removed ones leave the selection. 0 when every one was
    // removed, 1 otherwise.
    virtual int DeleteSelectEvent();
    virtual int DeleteSelectBlock();
    virtual void SetSelMode(BYTE mode) { m_SelMode = mode; }
    virtual void SetTransMode(BYTE mode) { m_TransMode = mode; }
    virtual void SetInitSep(int mode) { m_InitSep = mode; }
    virtual void SetPbExist(int exist) { m_PbExist = exist; }
    // Takes the list (and its entries), replacing the events to remove.
    virtual void SetOutEvntList(CArticEvntIDList* list);
    virtual void SetClientBeatMul(LONG multiplier) { m_ClientBeatMul = multiplier; }
    // The block of the last listed entry of the track that names no event:
    // 1 and *blk, or 0 when there is none.
    virtual int IsOutTrkID(POSITION trk, POSITION* blk) const;
    virtual void SetIsMaster(int value) { m_IsMaster = value; }
    virtual void SetIsMeas(int value) { m_IsMeas = value; }
    virtual void SetMeasTrk(POSITION value) { m_MeasTrk = value; }
    virtual void SetMeasBlk(POSITION value) { m_MeasBlk = value; }
    virtual void SetMeasEvnt(POSITION value) { m_MeasEvnt = value; }
    virtual void SetIsTempo(int value) { m_IsTempo = value; }
    virtual void SetTempoTrk(POSITION value) { m_TempoTrk = value; }
    virtual void SetTempoBlk(POSITION value) { m_TempoBlk = value; }
    virtual void SetTempoEvnt(POSITION value) { m_TempoEvnt = value; }
    // The block's start in engine ticks: 0, or 1 when the host fails.
    virtual int GetBlkTimeStart(POSITION trk, POSITION blk, INT64* start) const;
    virtual int GetSeqTrkNo() const { return m_SeqTrkNo; }
    virtual void SetSeqTrkNo(int no) { m_SeqTrkNo = no; }
    virtual CArticMpLock* GetMpLock() const { return m_pMpLock.get(); }
    // The held lock's mode, 1 when none is held.
    virtual int GetMpLockWR() const;
    // E_FAIL without a host, E_UNEXPECTED while a lock is held; else the host's answer.
    virtual HRESULT CreateMpLock(int mode);
    // E_FAIL without a host, E_UNEXPECTED without a lock; else releases it, 0.
    virtual HRESULT DeleteMpLock();
    virtual CArticPosList* NewPosList() const;
    virtual void DeletePosList(CArticPosList* list) const;
    virtual void ClearPosList(CArticPosList* list) const;
    // Appends copies of the source's positions to the target.
    virtual int CopyPosList(const CArticPosList* from, CArticPosList* to) const;
    virtual void ClearTimeRangeList() { m_TimeRanges.clear(); }
    // The times over the selected blocks (Calc) or the selected events
    // (EvntSelCalc). 0, or 1 when a host read or time conversion fails. The
    // first times are kNoTime, the last time 0, for an empty selection.
    virtual int CalcFirstNoteOnTime();
    virtual int EvntSelCalcFirstNoteOnTime();
    virtual int CalcFirstEventTime();
    virtual int EvntSelCalcFirstEventTime();
    virtual int CalcLastEventTime();
    virtual int EvntSelCalcLastEventTime();
    // 1 when a selected item lies in the track.
    virtual int IsSelectTrk(POSITION trk) const;
    // 1 when an item before the list position lies in the track.
    virtual int IsSelectTrk(POSITION at, POSITION trk) const;
    // The track's channel; -1 for none, or when the host cannot read it.
    virtual LONG GetTrkCh(POSITION trk) const;
    // Track and block of the first selected item: 0, or 1 when there is none.
    virtual int GetFirstSelectBlk(POSITION* trk, POSITION* blk) const;
    // The track whose number is n, null when none.
    virtual POSITION GetTrkID(CKPSManager* host, LONG n) const;
    // 1 and the song's ticks per quarter note; 0 (out untouched) when unknown.
    virtual int GetTimeBase(DWORD* out) const;

    // ---- Voice and controller copy into part blocks
    // The voice and controller events before the first note-on time of the
    // converted channel (port number and MIDI channel) into block 0 of the
    // first part's track, the target voice in place of the song's when
    // voiceOut is set; the missing parts of the target voice are generated
    // before each selected block's first event. Bends are brought within one
    // semitone of their range unless keepCtrl is set. 0; 1 for a missing
    // argument, a failed event read, time conversion or work-event insertion;
    // 0 at once when a track or block record cannot be read.
    virtual int OutEvntFirstBlk(CArticWrk* wrk, CArticWrkBlk* blk, DWORD ch, DWORD port, int voiceOut, int keepCtrl,
                                const CPHConvPrm& prm);
    // The same for the later parts, strictly before the first note-on time,
    // with the registered driver's target voice; nothing generated.
    virtual int OutEvntOtherBlk(CArticWrk* wrk, CArticWrkBlk* blk, DWORD ch, DWORD port, int voiceOut);
    // The voice and controller events of the channels outside the used
    // table, from the selected blocks, into the first part's block.
    virtual int OutEvntFirstBlkNonCh(CArticWrk* wrk, CArticWrkBlk* blk, int voiceOut);
    // The pitch-bend ranges of the channel on the port over the whole song,
    // in time order: RPN records (engine time, the range as a signed byte in
    // Data3). 0; 1 without host or list, or when a read or time conversion fails.
    virtual int SetPBRangeList(CArticPosList* list, DWORD ch, DWORD port) const;
    // Brings a bend at the absolute engine time within one semitone of the
    // range in force (the last entry strictly before it, 2 when none). A
    // range of 0 leaves the bend as it is.
    virtual void RectifyPitchBend(const CArticPosList* list, tagMPEVENT* e, INT64 time) const;
    // 1 when a program change on the channel or a KV voice exclusive for it
    // follows the event in its block; 0 otherwise (and when hasNext is 0).
    virtual int CheckPg(POSITION trk, POSITION blk, POSITION evnt, int hasNext, LONG ch) const;
    // The scan's first-event time (song ticks within the block) from an
    // event that is not a system-on message or a meter or key: once per
    // block, or every time (Inv).
    virtual void CheckFirstEvnt(const tagMPEVENT* e);
    virtual void CheckFirstEvntInv(const tagMPEVENT* e);
    // A work event of the block from the host event, sorted in: 0; 1 without
    // work data or block, when the block is not the work data's, or when the
    // event cannot be made or converted. A skipped kind is no failure.
    virtual int InsWrkEvnt(CArticWrk* wrk, CArticWrkBlk* blk, const tagMPEVENT* e, INT64 blkStart, int otherBlk,
                           int selected);
    // A copy of the bytes in task memory (the caller frees it): 0; 1 for
    // null bytes, a length of 0 or less or a failed allocation.
    virtual int AllocData(const BYTE* bytes, LONG length, BYTE** out) const;
    INT64 GetScanFirstEvntTime() const { return m_ScanFirstEvnt; }

    void AddOutEvnt(POSITION trk, POSITION blk, POSITION evnt);
    void ClearOutEvntList();
    // Removes the listed events (a block where no event is named) in list
    // order: 0, or 1 at the first failure.
    int DeleteOutEvnt(CKPSManager* host);
    const CArticEvntIDList* GetOutEvntList() const { return m_pOutEvnt.get(); }
    // Takes the list (and its entries).
    void SetOutSeqList(CArticPosList* list);
    const CArticPosList* GetOutSeqList() const { return m_pOutSeq; }
    const CArticPosList& GetSelectList() const { return m_Select; }
    const CArticPosList& GetBlkPosList() const { return m_BlkPos; }
    CArticTimeRangeList& GetTimeRangeList() { return m_TimeRanges; }

private:
    enum class TimeKind { FirstNoteOn, FirstEvent, LastEvent };
    // One time over the selection: selected blocks, or selected events.
    int CalcTime(TimeKind kind, bool events, INT64* out) const;
    int TimeOfEvnt(INT64 blkStart, const tagMPEVENT& e, INT64* time) const;
    int GetEmptyPortChBy(const CArticPrefSep* sep, DWORD portCount, DWORD* port, DWORD* ch, bool written) const;
    int SetEvntCh(bool blocks);
    int CopySelect(const CArticPosList* list);
    int SetSelect(CKPSManager* host, const CArticPosList* list, bool events);
    // ahead: before the events of its own time.
    int InsertWrkEvnt(CArticWrk* wrk, CArticWrkBlk* blk, const tagMPEVENT* e, INT64 blkStart, int otherBlk,
                      int selected, bool ahead);

    CKPSManager* m_pHost;  // not owned
    CArticPosList m_BlkPos;  // owns its entries
    CArticPosList m_Select;  // owns its entries
    INT64 m_FirstNoteOnTime = 0;
    INT64 m_FirstEventTime = 0;
    INT64 m_LastEventTime = 0;
    int m_VoiceState = 0;
    std::unique_ptr<CArticArrayCh> m_pOrigiCh;
    std::unique_ptr<CArticArrayCh> m_pUsedCh;
    std::unique_ptr<CArticArrayCh> m_pClientCh;
    int m_InitSep = 1;
    int m_PbExist = 0;
    BYTE m_SelMode = 0;
    BYTE m_TransMode = 0;
    std::unique_ptr<CArticEvntIDList> m_pOutEvnt;  // owns its entries
    int m_IsMaster = 0;
    int m_IsMeas = 0;
    POSITION m_MeasTrk = nullptr;
    POSITION m_MeasBlk = nullptr;
    POSITION m_MeasEvnt = nullptr;
    int m_IsTempo = 0;
    POSITION m_TempoTrk = nullptr;
    POSITION m_TempoBlk = nullptr;
    POSITION m_TempoEvnt = nullptr;
    LONG m_ClientBeatMul = 2;
    int m_SeqTrkNo = -1;
    CArticPosList* m_pOutSeq = nullptr;  // owned, with its entries
    CArticTimeRangeList m_TimeRanges;
    std::unique_ptr<CArticMpLock> m_pMpLock;
    // Scan state of the copies: the block's first-event time (kNoTime while
    // unset) and which of bank MSB, bank LSB and program were output.
    INT64 m_ScanFirstEvnt = kNoTime;
    bool m_OutMsb = false;
    bool m_OutLsb = false;
    bool m_OutPro = false;
};
