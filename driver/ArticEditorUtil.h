#pragma once
// The bridge between the song document, which the engine reaches only through
// the host interface, and the engine's work data: static operations over the
// state registered for the conversion that is running. One conversion runs at
// a time on one thread, so the state is plain static data; tests put it back
// with Reset.
//
// Port words: a song track's port id is the host's track port, a port number
// is the index of that id in the song's output port list, and a port address
// is the place of a port among the ports of its device (the preferences'
// port information).
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "services/ArticArrayCh.h"
#include "host/KPSManager.h"
#include "platform/Collections.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticEditorMgr;
class CArticPref;
class CArticExp;
class CArticView;
class CArticWrk;
class CArticWrkBlk;
class CArticWrkTrk;
class CPHConvPrm;
class CArticWrkEvnt;

// A span of engine time.
struct CArticTimeRange {
    INT64 Start;
    INT64 End;
};
using CArticTimeRangeList = std::vector<CArticTimeRange>;
using CArticTimeList = std::vector<INT64>;

// The entries of a position list for the many FindEvnt questions of one song
// walk: Find answers as CArticEditorUtil::FindEvnt on the list as it stood when
// the set was made (a walk makes it at its start; the list must not change
// while it is used). FindEvnt reads the whole list per question.
class CArticSelSet {
public:
    explicit CArticSelSet(const CArticPosList* list);
    int Find(POSITION trk, POSITION blk, POSITION evnt) const;

private:
    struct Key {
        POSITION trk, blk, evnt;
        bool operator==(const Key& o) const { return trk == o.trk && blk == o.blk && evnt == o.evnt; }
    };
    struct KeyHash {
        size_t operator()(const Key& k) const {
            const auto h = [](POSITION p) { return std::hash<uintptr_t>()(reinterpret_cast<uintptr_t>(p)); };
            return h(k.evnt) ^ (h(k.blk) * 31u) ^ (h(k.trk) * 1000003u);
        }
    };
    std::unordered_set<Key, KeyHash> m_Keys;
};

class CArticEditorUtil {
public:
    CArticEditorUtil() = delete;

    // ------------------------------------------------------------ registrations
    // The driver of the conversion that is running (null outside one).
    static void SetView(CArticView* view) { s_pView = view; }
    static CArticView* GetView() { return s_pView; }
    static void SetEditorMgr(CArticEditorMgr* mgr) { s_pEditorMgr = mgr; }
    // Always 0; *mgr = the registered manager (null when none).
    static int GetEditorMgr(CArticEditorMgr** mgr);
    static CArticEditorMgr* GetEditorMgr() { return s_pEditorMgr; }
    static void SetPref(CArticPref* pref) { s_pPref = pref; }
    static CArticPref* GetPref() { return s_pPref; }
    // Nothing registered, the velocity switches idle, the RPN address 127/127.
    static void Reset();

    // ------------------------------------------------------------ time
    // A song time in ticks through the host's conversion, divided by the
    // client beat multiplier (truncated toward zero). 1 on success; 0 without
    // a host, with a multiplier of 0 or when the host refuses.
    static int TimeConvert(CKPSManager* host, LONG multiplier, INT64 value, INT64* out);
    // The same with the registered editor manager's multiplier (0 without one).
    static int TimeConvert(CKPSManager* host, INT64 value, INT64* out);
    // A host time through the registered view's conversion, divided by the
    // registered editor manager's multiplier. 1 on success; 0 without a view
    // or manager, with a multiplier of 0, or when the conversion fails.
    static int TimeConvert(INT64 value, DWORD fromFormat, DWORD fromFlag, INT64* out, DWORD toFormat, DWORD toFlag);
    // A 32-bit tick count divided by the multiplier: 1, or 0 without a
    // manager or with a multiplier of 0.
    static int TimeConvert(LONG value, LONG* out);
    // The host's measure conversions through the registered view: 1 on
    // success, 0 without a view or manager or when the host fails.
    static int TimeToMeas(INT64 time, DWORD format, DWORD flag, LONG* meas, LONG* beat, LONG* tick);
    static int MeasToTime(LONG meas, LONG beat, LONG tick, INT64* time, DWORD format, DWORD flag);

    // ------------------------------------------------------------ single events
    // The work status of a host event kind (0 for a kind it does not know).
    static BYTE CheckStatus(DWORD kind);
    // 1 when the song walk converts the event, 0 when not; a kept note may
    // have its velocity set to 64 (the rest switch).
    static int IsConvWrkEvnt(tagMPEVENT* e, INT64 blkStart, int keepAll);
    // Fills the work event from the host event, timed at blkStart plus the
    // event's converted time. An event that cannot be filled (kinds 0x10 and
    // 0x80000, a meta event without data) gives *skip 1 and result 0: the
    // caller deletes it. 1 when a time conversion fails.
    static int ConvWrkEvnt(const tagMPEVENT* e, CArticWrkEvnt* w, INT64 blkStart, int* skip, int unused = 0);
    // Records the RPN address of control changes 101 and 100.
    static void CheckLastMultiStatusEvnt(const CArticWrkEvnt* w);
    static void ResetLastMultiStatusEvnt() { s_LastRpnMsb = s_LastRpnLsb = 127; }
    static BYTE GetLastRpnMsb() { return s_LastRpnMsb; }
    static BYTE GetLastRpnLsb() { return s_LastRpnLsb; }
    // The velocity switches of the song walk (idle: 0, 0, -1).
    static void SetVeloSwitches(int rest, int limit, int threshold) {
        s_VeloRest = rest;
        s_VeloLimit = limit;
        s_VeloThreshold = threshold;
    }
    static void ResetVeloSwitches() { SetVeloSwitches(0, 0, -1); }
    static int GetVeloRest() { return s_VeloRest; }
    static int GetVeloLimit() { return s_VeloLimit; }
    static int GetVeloThreshold() { return s_VeloThreshold; }

    // ------------------------------------------------------------ selections and host memory
    // 1 when an entry with a track and a block lies in the track.
    static int FindSelection(const CArticPosList* list, POSITION trk);
    // 1 when an entry names exactly this event (and not nothing).
    static int FindEvnt(const CArticPosList* list, POSITION trk, POSITION blk, POSITION evnt);
    static void FreeMemEvnt(tagMPEVENT* e);
    static void FreeMemBlk(_MPBLOCKINFO* b);
    static void FreeMemTrk(_MPTRACKINFO* t);

    // ------------------------------------------------------------ time ranges
    // Merges a span into the list: an equal one is ignored, one that starts
    // inside (or at the end of) an entry extends its end, one that ends inside
    // an entry extends its start, one that covers an entry replaces it, any
    // other is appended.
    static void SetTimeRangeList(CArticTimeRangeList* list, INT64 start, INT64 end);
    static void ClearTimeRangeList(CArticTimeRangeList* list);
    // Moves the times into the target in ascending order without duplicates.
    static void SortTimeList(CArticTimeList* source, CArticTimeList* target);

    // ------------------------------------------------------------ master track
    // Answers from the first block of the conductor track: the last meta
    // event of the kind at or before the engine time. 0, or 1 when a host
    // step or time conversion fails; outputs untouched when there is none.
    static int GetCurBeat(CKPSManager* host, DWORD time, BYTE* numerator, BYTE* denominator);
    static int GetCurKey(CKPSManager* host, DWORD time, BYTE* key1, BYTE* key2);
    static int GetCurChord(CKPSManager* host, DWORD time, BYTE* root, BYTE* type, BYTE* bassRoot, BYTE* bassType);
    // Quarter notes per minute, 120 without a tempo event; a tempo of 0 is no
    // tempo, and one too fast for 16 bits gives 65535.
    static int GetCurTempo(CKPSManager* host, DWORD time, WORD* tempo);
    // Also the tempo event's time within its block (0 when none).
    static int GetCurTempo(CKPSManager* host, DWORD time, WORD* tempo, DWORD* evntTime);
    // The time since the meter / key in force (the time itself without one).
    static int GetTimeFromMeter(CKPSManager* host, INT64 time, INT64* out);
    static int GetTimeFromKey(CKPSManager* host, INT64 time, INT64* out);
    // The same from the host's meter map: the time since the first of the run
    // of equal meters in force (0, and *out 0 first). 1 without a host or
    // editor manager, or when the host fails.
    static int GetTimeFromMeterClientInfo(CKPSManager* host, INT64 time, INT64* out);
    // The number of the selected track is not kept: always 0.
    static int GetSelTrkNum(CKPSManager* host);
    // The track whose number is n; null when none or when the walk fails.
    static POSITION GetTrkID(CKPSManager* host, LONG n);
    // The voice in force at the time on the track's port and channel, over
    // the tracks that are written out: 0, or 1 when the host fails.
    static int GetProNum(CKPSManager* host, POSITION trk, INT64 time, BYTE* msb, BYTE* lsb, BYTE* pro);

    // ------------------------------------------------------------ ports
    // The song's output ports in order: their ids and their names (CP932).
    // 0, or 1 without a host or when the host refuses (outputs emptied).
    static int GetPortList(CKPSManager* host, std::vector<DWORD>* ids, CStringList* names);
    // The port number of a port id; 0 when the id is not listed or without a host.
    static DWORD GetPortFromPortID(CKPSManager* host, DWORD portId);
    // The port id of a port number; 0 when the number is out of range.
    static DWORD GetPortIDFromPort(CKPSManager* host, DWORD portNo);
    // The port address of a port number in the registered preferences' port
    // information: 0 when found, 1 otherwise (out untouched).
    static int GetPortAdrsFromPortNo(CKPSManager* host, DWORD portNo, DWORD* adrs);
    // Within the device of the given port id, the port with the given
    // address: its id / its address. 0 when found, 1 otherwise (out untouched).
    static int GetPortIDFromPortAdrs(DWORD adrs, DWORD portId, DWORD* outId);
    static int GetPortNoFromPortAdrs(DWORD adrs, DWORD portId, DWORD* out);
    // 1 when a song track other than the conductor has the port number and
    // channel and at least one block, else 0.
    static int UsedPortCh(CKPSManager* host, DWORD portNo, DWORD ch);
    // The same over the tracks that are written out (flags without 2), the
    // conductor included.
    static int UsedPortCh2(CKPSManager* host, DWORD portNo, DWORD ch);
    // 1 when the song holds a note on the port number and channel (in a
    // track of that channel, or carried by the event in a track without
    // one), the conductor left out; 0 otherwise and without a host.
    static int NotesOnPortCh(CKPSManager* host, DWORD portNo, DWORD ch);
    // 1 when the song holds any channel message there (a note, a controller,
    // a program, a bend...), the conductor left out. A channel without one
    // is empty: a string or a layer of a part may take it, and nothing of
    // the song's can sound there or change its voice.
    static int EvntsOnPortCh(CKPSManager* host, DWORD portNo, DWORD ch);
    // The same over the tracks that are written out (flags without 2).
    static int EvntsOnPortCh2(CKPSManager* host, DWORD portNo, DWORD ch);
    // Hands the song's port names and ids to the registered preferences'
    // separation and rebuilds its port information. 0; 1 without names, ids,
    // preferences or separation.
    static int ResetPortName(const CStringList* names, const DWORD* ids, int count);

    // ------------------------------------------------------------ preparatory passes
    // Marks the grace notes of the selected tracks (window: the registered
    // driver's resolution x 0.2, longest grace 70, ratio 0.5). 0 without a
    // registered driver; 1 when its preferences do not ask for the pass.
    static int DelGrace(CArticWrk* wrk);
    // Turns the bends under the selected tracks' notes into key changes.
    static int ProcWhiten(CArticWrk* wrk);
    // ------------------------------------------------------------ song walk
    // The channel's work data from the song: track 0 the conductor, tracks
    // 1..N the parts of the used channel table (the part in each event's
    // fingering record), a further track per other song block whose events
    // are taken; then the preparatory passes. The velocity switches hold for
    // the call and are idle after it. 0; 1 for a missing argument, table or
    // manager, a failed host step or event conversion, a failed pass, or
    // when no event reached the conversion.
    static int ConvWrk_ch(CKPSManager* host, const CArticPosList* sel, int mstrSkip, int vceOut, int veloRest,
                          int veloLimit, int veloThreshold, int allWrk, CArticWrk* wrk, int noPass,
                          const CPHConvPrm& prm, int outMode, int pattern, int patternKind, int patternPrm);
    // Empties the work data and makes the master track and the part tracks,
    // each with block 0. 1 without work data, manager or table, or when an
    // allocation fails.
    static int CreateWrkBlk(CArticWrk* wrk);
    // KV bend-range settings move to the part track they address (deleted
    // when none is there). 1 unless the work data has 1 to 12 part tracks,
    // or when a part track has not exactly one block.
    static int ReassignPartPrmInWrkCond(CArticWrk* wrk);
    // Up to max selected tracks in track order: the number written.
    static int GetSelTrk(CArticWrk* wrk, CArticWrkTrk** out, int max);
    // Bend data (bends, the bend-range RPN and its controllers, KV range
    // exclusives) of the unselected tracks moves to the selected tracks made
    // with the same port and channel; an event no track takes stays.
    static void MovePbEvnt(CArticWrk* wrk);
    // Removes the controllers the expressions make again (the controllers
    // are kept): 0, or 1 without work data or editor manager, or for a
    // missing track, block list, block or event.
    static int DelWrkMod(CArticWrk* wrk);
    // Leaves the part tracks their notes (and voice-set events) alone.
    static int DelWrkPB(CArticWrk* wrk);
    // Each part's voice and controller settings into its block 0 through the
    // editor manager; the captured KV voice messages leave the song. 0 when
    // a part track was written, else 1.
    static int ProcVceSet(CArticWrk* wrk, const CPHConvPrm& prm, int outMode);
    // The expression skeleton: a track per work track, a block per block.
    static int CreExpFromWrk(CArticWrk* wrk, CArticExp* exp);
    // Keeps the expression tracks of the master track and the selected work
    // tracks, with their numbers. 0; 1 for a null argument or a failed
    // allocation, the expression data then as it was.
    static int DeleteExpTrkNonSel(CArticWrk* wrk, CArticExp* exp);

    // ------------------------------------------------------------ write-back
    // The converted work data into the song under the exclusive lock: what
    // the previous write-back wrote goes first (and, on the first conversion,
    // the selected originals), the conductor is rewritten as the preferences'
    // master modes say, and every part track with notes is written into its
    // song track (or *trk when it has none); blk names the block of an
    // event-selection output, null for a block output (one new song block
    // per work block, recorded in sel). mstr receives the conductor's events.
    // 0; 1 for a missing argument or registration, a refused lock, a busy
    // driver, or the first failing step (the lock is released in every case).
    static int ConvAllEvntRep(CArticWrk* wrk, CKPSManager* host, CArticPref* pref, CArticPosList* sel,
                              CArticPosList* mstr, POSITION* trk, POSITION blk, int* flag);
    static int ConvTrkRep(CArticWrk* wrk, CKPSManager* host, CArticPosList* sel, POSITION trk, POSITION blk);
    // The work track's blocks into the blocks of the song track with the
    // number, pairwise in order: 0, 1 on a host failure, or the first failure.
    static int ConvBlk(CArticWrkTrk* trk, CKPSManager* host, LONG trkNo);
    // The block's events into the song block of that index of the track with the number.
    static int ConvEvnt(CArticWrkBlk* blk, CKPSManager* host, LONG trkNo, int blkIndex);
    // The block's events into the song block; with record set every written
    // event joins the editor manager's output list.
    static int ConvEvnt(CArticWrkBlk* blk, CKPSManager* host, POSITION trk, POSITION songBlk, int record);
    // One host record from a work event (time in song ticks within the song
    // block, KV part messages re-addressed to the track's current channel and
    // port). *write 0 for an event that is not written. 0; 1 for a null
    // argument, a multiplier of 0, an unknown block start or no memory.
    static int preproConvEvnt(CArticWrkBlk* blk, CArticWrkEvnt* e, POSITION trk, POSITION songBlk,
                              tagMPEVENT* out, LONG ch, DWORD port, int* write);
    // One song block per work block after the track's last one, spanning
    // start to end (engine ticks); each is appended to sel. *out the first
    // new block. 0, or 1 on a failure.
    static int CreateBlk(CArticWrkTrk* trk, CKPSManager* host, CArticPosList* sel, POSITION songTrk, POSITION* out,
                         INT64 start, INT64 end);
    // Remember the conductor's meter and tempo events at time 0 in the editor manager.
    static int CheckBlk(CArticWrkTrk* trk, CKPSManager* host, POSITION songTrk);
    static int CheckEvnt(CKPSManager* host, POSITION songTrk, POSITION songBlk, INT64 blkStart);
    // Remove the conductor's events by the master delete mode.
    static int ClearBlk(CKPSManager* host, POSITION songTrk);
    static int DeleteEvnt(CKPSManager* host, POSITION songTrk, POSITION songBlk);
    // A position record with a private copy of every event of the
    // conductor's first block: 0, or 1 without conductor or block or on a host failure.
    static int LoadMstrTrk(CKPSManager* host, CArticPosList* list);
    static void InitMeasTempoInfo();
    // The span of the work data's events (a note to its end): 0, or 1 without work data.
    static int GetWrkTimeRange(CArticWrk* wrk, INT64* start, INT64* end);
    static void AddOutEvnt(POSITION trk, POSITION blk, POSITION evnt);
    static void ClearOutEvntList();
    static int DeleteOutEvnt(CKPSManager* host);
    static void ClearPosList(CArticPosList* list);
    static void CopyPosList(const CArticPosList* from, CArticPosList* to);
    // The id of the track's n-th block, null when there are fewer.
    static POSITION GetBlkID(CKPSManager* host, POSITION trk, int n);
    // 3 both master preferences, 1 only the master, 2 only the tempo, 0 neither.
    static int IsOutMstrTrk();
    static int GetResetEvnt() { return s_ResetEvnt; }
    static int GetMstrDelMode() { return s_MstrDelMode; }
    static int GetMstrOutMode() { return s_MstrOutMode; }
    static int GetOutCount() { return s_OutCount; }

protected:
    static int ConvWrk_ch(CKPSManager* host, const CArticPosList* sel, int mstrSkip, int vceOut, int allWrk,
                          CArticWrk* wrk, int noPass, const CPHConvPrm& prm, int outMode, int pattern,
                          int patternKind, int patternPrm);

private:
    // Calls visit(meta bytes, length, engine time, time within the block) for
    // every meta event of the conductor's first block up to `time`.
    template <class Visit>
    static int WalkMasterMeta(CKPSManager* host, INT64 time, Visit visit);
    static int UsedPortChBy(CKPSManager* host, DWORD portNo, DWORD ch, bool skipConductor, bool skipHidden);
    static int ChMsgOnPortChBy(CKPSManager* host, DWORD portNo, DWORD ch, bool skipConductor, bool skipHidden,
                               bool notesOnly);

    // 1 when the master mode writes / removes the work or song event.
    static bool MstrModeTakes(int mode, bool tempo);
    static int WriteTrack(CArticWrk* wrk, CArticWrkTrk* trk, CKPSManager* host, CArticPosList* sel,
                          POSITION defTrk, POSITION blk, LONG* firstCh);
    static int WriteMaster(CArticWrkTrk* trk, CKPSManager* host);

    static CArticView* s_pView;            // not owned
    static CArticEditorMgr* s_pEditorMgr;  // not owned
    static CArticPref* s_pPref;            // not owned
    static int s_VeloRest;
    static int s_VeloLimit;
    static int s_VeloThreshold;
    static BYTE s_LastRpnMsb;
    static BYTE s_LastRpnLsb;
    // Write-back state.
    static CArticPosList* s_pFirstBlk;  // owned, with its entries
    static int s_ResetEvnt;
    static int s_MstrDelMode;
    static int s_MstrOutMode;
    static int s_OutCount;  // events inserted by the last write-back
};

// Registers a conversion's driver, editor manager and preferences with the
// bridge for a scope; they are unregistered when it ends, however it ends.
class CArticBridgeGuard {
public:
    CArticBridgeGuard(CArticView* view, CArticEditorMgr* mgr, CArticPref* pref) {
        CArticEditorUtil::SetView(view);
        CArticEditorUtil::SetEditorMgr(mgr);
        CArticEditorUtil::SetPref(pref);
    }
    ~CArticBridgeGuard() { CArticEditorUtil::Reset(); }
    CArticBridgeGuard(const CArticBridgeGuard&) = delete;
    CArticBridgeGuard& operator=(const CArticBridgeGuard&) = delete;
};
