#pragma once
// Static operations on the work data shared by the expressions, the rule
// built-ins and the conversion driver. The class has no instance data; the
// current expression event (to which failing operations report) and the
// fingering flag live in the engine context and assume one conversion at a
// time.
//
// Conventions: actions return 0 for success and non-zero for failure; times
// are signed 64-bit ticks (480 per quarter note) with kNoTime meaning none;
// event lists never own their events and null entries are skipped.
//
// The operations are spread over several source files by group: the frame
// and kind names (ArticWrkUtil.cpp), note edits and checks
// (ArticWrkUtilNote.cpp), neighbourhood and chord queries
// (ArticWrkUtilQuery.cpp), curve levels (ArticWrkUtilCrv.cpp) and event
// lists (ArticWrkUtilList.cpp).
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ExString.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticExpEvnt;
class CArticWrk;
class CArticWrkBlk;
class CArticWrkTrk;

// The no-time value of the engine.
constexpr INT64 kWrkNoTime = INT64(0x7FFFFFFFFFFFFFFF);

class CArticWrkUtil : public CObject {
public:
    // ---- Frame
    static void SetExpEvnt(CArticExpEvnt* evnt);
    static CArticExpEvnt* GetExpEvnt();
    static void SetFng(int fng);
    static int GetFng();

    // ---- Event creation
    // A new event of blk under the work's next free number, not yet in the
    // block's list: 0; 1 for a missing argument or owner.
    static int CreateWrkEvnt(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvnt** out);
    static int CreateWrkEvnt(CArticWrkBlk* blk, CArticWrkEvnt** out);
    // An ownerless event repeating the value in force at time, put into a
    // stand-alone list in time order (nothing when one of the kind is already
    // at time): 0; 1 for a null list.
    static int CreateWrkEvnt(CArticWrkEvntList* list, BYTE status, BYTE number, INT64 time);
    static int CreNoteTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE key, BYTE velo, INT64 gate);
    static int EditNoteTime(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvnt* evnt, INT64 time, BYTE key,
                            BYTE velo, INT64 gate);
    // Fills [start, end) with notes of len ticks alternating with key + shift
    // (or key - shift first when shift <= 0); the last note takes the rest.
    static int CreTrillNote(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, BYTE key, BYTE velo,
                            INT64 len, signed char shift);
    // One controller's events of [from, to] with events made at the ends
    // where the block has none.
    static int CreOrigWrkEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 from,
                                  INT64 to, BYTE status, BYTE number);

    // ---- Deletion and single-note edits
    // Unlinks the event from its block and destroys it: 0; 1 (reported)
    // without event, list position, block or work.
    static int DelEvnt(CArticWrkEvnt* evnt);
    static int LimitDuration(CArticWrkEvnt* evnt, INT64 limit);
    static int NoteVeloTimeAbs(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE velo);
    static int NoteVeloTimeRel(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, signed char add);
    // Exchange one attribute with note-information slot idx (0..9).
    static int SwapGateTime(CArticWrkEvnt* evnt, int idx);
    static int SwapNote(CArticWrkEvnt* evnt, int idx);
    static int SwapOnTime(CArticWrkEvnt* evnt, int idx);
    static int SwapVelo(CArticWrkEvnt* evnt, int idx);
    // Rescales the list's times (origin 0) so that its last event lands at to - from.
    static void ExpsEvntList(CArticWrkEvntList* list, INT64 from, INT64 to);

    // ---- Checks: 0 when the list passes, 1 when not; none reports.
    static int CheckAllNoteEvnt(CArticWrk* wrk, CArticWrkEvntList* list);
    static int CheckSameBlk(CArticWrk* wrk, CArticWrkEvntList* list);
    static int CheckSameNoteNo(CArticWrk* wrk, CArticWrkEvntList* list);
    static int CheckSameWrkBlk(CArticWrkEvntList* list, int notesOnly);
    // flags: 1 a note starts at or after from, 2 one ends in [from, to], 4 one covers the area.
    static int CheckNoteEvnt(CArticWrkBlk* blk, INT64 from, INT64 to, int clear, int& flags);
    static int CheckNoteWrkEvnt(CArticWrk* wrk, INT64 from, INT64 to, int& flags);
    // 1 when an event of the kind lies exactly at time (*value = the value
    // in force before it); else 0 with *value the value in force at time.
    static int CheckSameTimeEvnt(CArticWrkEvntList* list, INT64 time, BYTE status, BYTE number, LONG* value,
                                 CArticWrkEvnt** found);
    // 1 with *found when a meta event of the kind lies at time; else 0 with
    // *found the last earlier one (null when none).
    static int CheckSameTimeMetaEvnt(CArticWrkEvntList* list, INT64 time, BYTE status, BYTE metaType,
                                     CArticWrkEvnt** found);
    // 0 when equal in the fields a's kind uses.
    static int CompareEvnt(CArticWrkEvnt* a, CArticWrkEvnt* b);
    // One tick before the next expression setting after time; kWrkNoTime when none.
    static INT64 GetEndTime(CArticWrkBlk* blk, INT64 time, BYTE status, BYTE number);

    // ---- Next and previous notes: 0 when n notes were appended to list,
    // 1 when fewer were found or an argument is bad.
    static int GetNextNote(CArticWrkEvnt* evnt, int n, CArticWrkEvntList* list);
    static int GetPrevNote(CArticWrkEvnt* evnt, int n, CArticWrkEvntList* list);
    static int GetAllNextNote(CArticWrkEvnt* evnt, int n, CArticWrkEvntList* list);
    static int GetAllPrevNote(CArticWrkEvnt* evnt, int n, CArticWrkEvntList* list);
    static int GetWrkNextNote(CArticWrkEvnt* evnt, int n, CArticWrkEvntList* list);
    static int GetWrkPrevNote(CArticWrkEvnt* evnt, int n, CArticWrkEvntList* list);

    // ---- Single-step neighbours (null when none). Gen and Prob: block order
    // on the same string; NoteEvnt: event-number order over every track; Wrk:
    // event-number order over the selected tracks only.
    static CArticWrkEvnt* GetNextGenNote(CArticWrkEvnt* evnt);
    static CArticWrkEvnt* GetPrevGenNote(CArticWrkEvnt* evnt);
    static CArticWrkEvnt* GetNextProbNote(CArticWrkEvnt* evnt, int idx);
    static CArticWrkEvnt* GetPrevProbNote(CArticWrkEvnt* evnt, int idx);
    static CArticWrkEvnt* GetNextNoteEvnt(CArticWrkEvnt* evnt);
    static CArticWrkEvnt* GetPrevNoteEvnt(CArticWrkEvnt* evnt);
    static CArticWrkEvnt* GetWrkNextNoteEvnt(CArticWrkEvnt* evnt);
    static CArticWrkEvnt* GetWrkPrevNoteEvnt(CArticWrkEvnt* evnt);
    static CArticWrkEvnt* GetWrkNextNumNote(CArticWrkEvnt* evnt, int n);
    static CArticWrkEvnt* GetWrkPrevNumNote(CArticWrkEvnt* evnt, int n);
    static CArticWrkEvnt* GetWrkNextProbNote(CArticWrkEvnt* evnt, int idx);
    static CArticWrkEvnt* GetWrkPrevProbNote(CArticWrkEvnt* evnt, int idx);
    // The control change of controller number in force just before time.
    static CArticWrkEvnt* GetFrontContCcEvnt(CArticWrkEvnt* evnt, INT64 time, BYTE number);

    // ---- Chords, harmony, rests
    static int GetNextChordWrkEvnt(CArticWrkEvnt* evnt, INT64 len, CArticWrkEvnt** out);
    static int GetPrevChordWrkEvnt(CArticWrkEvnt* evnt, INT64 len, CArticWrkEvnt** out);
    static int GetWrkNextChordWrkEvnt(CArticWrkEvnt* evnt, INT64 len, CArticWrkEvnt** out);
    static int GetWrkPrevChordWrkEvnt(CArticWrkEvnt* evnt, INT64 len, CArticWrkEvnt** out);
    static int GetNonChordWrkEvnt(CArticWrkEvnt* evnt, INT64 margin, int notesOnly, CArticWrkEvnt** out);
    static int GetWrkNonChordWrkEvnt(CArticWrkEvnt* evnt, INT64 margin, int notesOnly, CArticWrkEvnt** out);
    // 1 when a and b sound together for more than window ticks.
    static int GetIsChordWrkEvnt(CArticWrkEvnt* a, CArticWrkEvnt* b, INT64 window);
    // 1 when b is a chord partner of a by onset window and overlap ratio.
    static int IsChord(CArticWrkEvnt* a, CArticWrkEvnt* b, INT64 window, double ratio, INT64 cap);
    static int GetChordEvnt(CArticWrk* wrk, CArticWrkEvntList* list, CArticWrkEvnt* evnt, double window,
                            double ratio, double cap);
    static int GetChordEvnt3(CArticWrk* wrk, CArticWrkEvntList* list, CArticWrkEvnt* evnt, double window,
                             double ratio, double cap);
    static int GetWrkHarmoNote(CArticWrkEvnt* evnt, INT64 margin, CArticWrkEvntList* list);
    static INT64 GetPrevRest(CArticWrkEvnt* evnt);
    static INT64 GetWrkPrevRest(CArticWrkEvnt* evnt);

    // ---- Areas and measures
    static int GetAreaNote(CArticWrkBlk* blk, INT64 from, INT64 to, CArticWrkEvntList* list);
    static int GetAreaNote(CArticWrkBlk* blk, CArticWrkEvnt* self, INT64 from, INT64 to, BYTE key,
                           CArticWrkEvntList* list);
    static int GetAreaNoteByEvnt(CArticWrkEvnt* evnt, INT64 from, INT64 to, CArticWrkEvntList* list);
    static int GetSameMeasNote(CArticWrkEvnt* evnt, CArticWrkEvntList* list);
    static int GetSameWrkMeasNote(CArticWrkEvnt* evnt, CArticWrkEvntList* list);

    // ---- Nearest note times. type: 0 nearest, 1 at or before, 2 at or
    // after, 3 at or after (on only; kWrkNoTime when none); 10..13 the same
    // excluding time itself.
    static INT64 GetNearNoteOnTime(CArticWrkEvntList* list, INT64 time, BYTE type);
    static INT64 GetNearNoteOffTime(CArticWrkEvntList* list, INT64 time, BYTE type);
    static INT64 GetNearNoteOnTime2(CArticWrkEvntList* list, INT64 time, BYTE type, int* found);
    static INT64 GetNearNoteOffTime2(CArticWrkEvntList* list, INT64 time, BYTE type, int* found);
    static int GetNearNoteTime(CArticWrkBlk* blk, BYTE mode, INT64* time);
    static int GetNearNoteTime2(CArticWrkBlk* blk, BYTE mode, INT64* time, int* found);

    // ---- Keys
    // Diatonic neighbour (mode 0 below, 1 above) under the major key signature in force.
    static int GetDia1Note(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, INT64 time, BYTE key, char temp,
                           char upShift, char downShift, LONG* out);
    // The glissando keys from `from` up to one step short of `to`, as
    // AddNoteList items of keys.
    static int GetGlisNoteNum(BYTE from, BYTE to, int white, int toIsWhite, int up, CObList* keys);
    static int GetNoteLH(CArticWrkEvntList* list, BYTE* low, BYTE* high);
    static void GetVoice(CArticWrkBlk* blk, INT64 time, BYTE* bankMsb, BYTE* bankLsb, BYTE* program);
    static void SearchWrkEvntList(CArticWrkEvntList* list, BYTE key, CArticWrkEvnt** at, CArticWrkEvnt** next);
    static void SearchWrkEvntList(CArticWrkEvntList* list, INT64 time, CArticWrkEvnt** at, CArticWrkEvnt** next);

    // ---- Sorting. Time order: a note of one time passes back over the
    // notes whose key is not below its own, never over a non-note.
    static POSITION SortByKey(CArticWrkEvntList* list, CArticWrkEvnt* evnt, int ascending);
    static int SortByKey(CArticWrkEvntList* list, int ascending);
    static POSITION SortByTime(CArticWrkEvntList* list, CArticWrkEvnt* evnt);
    static int SortByTime(CArticWrkEvntList* list);

    // ---- Curve levels: pos within len picks an index 0..127 of the curve
    // table blended with a line by curve (-16..16); the level is base plus
    // that share of delta.
    static signed char CalcCrvLevel(INT64 pos, INT64 len, LONG delta, LONG base, signed char curve);
    static short CalcPitchCrvLevel(INT64 pos, INT64 len, LONG delta, LONG base, signed char curve);
    static LONG CalcTempoCrvMag(INT64 pos, INT64 len, LONG delta, LONG base, signed char curve);
    // One controller value times mag percent plus add (type 1: centred on 64).
    static short CalcMagLevel(BYTE type, short level, WORD mag, signed char add);
    // The shape value 0..127 of the curve rule at pos within len.
    static int CalcCrvShape(INT64 pos, INT64 len, signed char curve);
    // base + semitones in bend units at the range in force, clamped.
    static LONG CalcPbLevel(CArticWrkBlk* blk, INT64 time, signed char semitones, short base);
    static LONG ConvToPBFromCent(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, LONG cents);
    // Adds the relative curve to the existing bend and puts the curve into the block.
    static int AddPitchCrvEvnt(CArticWrkBlk* blk, CArticWrkEvntList* existList, CArticWrkEvntList* curveList,
                               BYTE keepEnd, INT64 t1, INT64 t2);

    // ---- Pitch-bend values and single bend events
    static short GetPitchBend(const _WRK_EVNT& e);
    static void SetPitchBend(_WRK_EVNT& e, short value);
    // The bend range in semitones in force at time (2 when none or no block).
    static LONG GetPbRange(CArticWrkBlk* blk, INT64 time);
    static int CrePbTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, signed char semitones, short base);
    // Deletes the bend events of the list at exactly time.
    static int DelPbTime(CArticWrkEvntList* list, INT64 time);

    // ---- Tempo in force at time (microseconds per quarter; the default without one)
    static ULONG GetCurrentTempo(CArticWrkEvntList* list, INT64 time);
    static ULONG GetCurrentTempo(CArticWrkBlk* blk, INT64 time);

    // ---- Event lists: copy and collect
    static void CopyEvntList(CArticWrkEvntList* src, CArticWrkEvntList* dst);
    static void CopyEvntList(CArticWrkEvntList* src, CArticWrkEvntList* dst, BYTE status, BYTE number);
    static void CopyEvntList(CArticWrkEvntList* src, CArticWrkEvntList* dst, BYTE status, BYTE number,
                             INT64 from, INT64 to, int copy);
    // As above, with the pattern's range ("SOD"/"EOD" text markers win).
    static void CopyEvntList(CArticWrkEvntList* src, CArticWrkEvntList* dst, BYTE status, BYTE number,
                             INT64 from, INT64 to, INT64* first, INT64* last, int copy);
    static void CopyMetaEvntList(CArticWrkEvntList* src, CArticWrkEvntList* dst, BYTE status, BYTE metaType,
                                 INT64 from, INT64 to);
    static int CopyEvntListByTempo(CArticWrk* wrk, INT64 time, CArticWrkEvntList* src, CArticWrkEvntList* dst);
    static void ReLinkEvntList(CArticWrk* wrk, CArticWrkEvntList* src, CArticWrkEvntList* dst);
    static void ReLinkEvntList2(CArticWrk* wrk, CArticWrkEvntList* src, CArticWrkEvntList* dst);
    static int StoreEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 start);
    static int MergeTrkEvnt(CArticWrk* wrk, CArticWrkTrk* trk, int link);
    static int UpdateEvntNoByArticSuite(CArticWrk* wrk, CArticWrk* other, CArticWrkEvntList* list);

    // ---- Event lists: delete and clear
    static int DelEvntList(CArticWrkEvntList* list, INT64 from, INT64 to, BYTE status, BYTE number);
    // Destroys the events; the caller empties the list afterwards.
    static void DelEvntList(CArticWrkEvntList* list);
    // Removes and destroys every entry after pos.
    static void DelEvntList(CArticWrkEvntList* list, POSITION pos);
    static void ClearEvntList(CArticWrkEvntList* list);
    // Items of a key list are heap bytes (AddNoteList); DelObList frees them
    // and leaves the entries.
    static void DelObList(CObList* list);
    static int AddNoteList(CObList* list, BYTE value);
    static BYTE GetNoteListValue(const void* item) { return item ? *static_cast<const BYTE*>(item) : 0; }
    static void ClearEvntLevel(_WRK_EVNT& rec);

    // ---- Event lists: values and times
    static void MagEvnt(CArticWrkEvnt* evnt, double mag, BYTE type);
    static void MagEvntList(CArticWrkEvntList* list, WORD mag, BYTE type);
    static void MagEvntList(CArticWrkEvntList* list, WORD mag, WORD randMag, BYTE type);
    static void MagAddEvntList(CArticWrkEvntList* list, INT64 from, INT64 to, WORD mag, short add, BYTE type);
    static int MagAddEvntList(CArticWrkEvntList* list, BYTE number, signed char add);
    static void TimeMagEvntList(CArticWrkEvntList* list, WORD mag, INT64 from, INT64 to);
    static void ShiftTimeEvntList(CArticWrkEvntList* list, INT64 shift);
    static void DupLastEvntList(CArticWrkEvntList* list, INT64 time, int reset, int centre);
    static void RepEvntList(CArticWrkEvntList* list, BYTE status, BYTE number, BYTE type, WORD mag, WORD randMag,
                            INT64 from, INT64 to);
    static void RepEvntList(CArticWrkEvntList* list, BYTE status, BYTE number, INT64 from, INT64 to);
    static int AttackEvntList(CArticWrkEvntList* list, BYTE status, BYTE number, INT64 from, INT64 rampEnd,
                              INT64 limit);
    static int ReleaseEvntList(CArticWrkEvntList* list, BYTE status, BYTE number, INT64 from, INT64 to,
                               double level);
    static int Calc0SmgEvntList(CArticWrkEvntList* list, BYTE status, BYTE number);

    // ---- Event lists: queries
    static int GetFirstTime(CArticWrkEvntList* list, INT64* out);
    static INT64 GetFirstTime(CArticWrkEvntList* list);
    static int GetNoteTimeRange(CArticWrkEvntList* list, INT64* start, INT64* end);
    // selector 0 earliest, 1 latest, 2 lowest key, 3 highest key: 0 picked, 1 not.
    static int GetEvnt(CArticWrkEvntList* list, int selector, CArticWrkEvnt** out);
    static INT64 GetEvntNoteOnMaxInterval(CArticWrkEvntList* list);
    static INT64 GetEvntNoteOffMinInterval(CArticWrkEvntList* list);
    static int IsCopyEvnt(CArticWrkEvnt* evnt, ULONG channel, ULONG port);

    // ---- Packed parameters: Post3 + shift, clamped to 0..127, for the
    // events (status, msb, lsb) from t1 to t2.
    static int ShiftPackedEvnt(CArticWrkEvntList* list, BYTE status, BYTE msb, BYTE lsb, INT64 t1, INT64 t2,
                               short shift);
    static int ShiftPackedEvnt(CArticWrkBlk* blk, BYTE status, BYTE msb, BYTE lsb, INT64 t1, INT64 t2,
                               short shift);

    // ---- Event kind names and parameter texts
    // Name to kind: 0; 1 (error entry recorded) for a name not in the table.
    static int GetEvntStatus(const CString& name, BYTE* status, BYTE* metaType);
    // Kind to name: 0; 1 (error entry recorded) for a kind without a name.
    static int GetEvntStatus(BYTE status, BYTE metaType, CString& name);
    // Appends the event's parameter texts: 0; 1 when its kind has no name.
    static int GetEvntParam(CArticWrkEvnt* evnt, CStringList& texts);
    // The meta data between double quotes, cut at its first zero byte.
    static void ConvMetaString(const _WRK_EVNT& evnt, CString& text);
    // "count{:wN,:wM,...}" with "??" for events the work does not know.
    static int GetWrkEvntListParam(CArticWrk* wrk, CArticWrkEvntList* list, CString& text);
    // One fingering line: 0 with the five values; 1 when it does not read.
    static int GetFngrInfo(CString line, ULONG* evntNo, int* pos, BYTE* gen, BYTE* fng, char* cho);
    static int GetFngrEvntNo(CExString& text, int* evntNo);
    static int GetFngrParam(CExString& text, const char* key, int* value);

protected:
    // Reports to the current expression event (once per expression); always 1.
    static int ReportErr(const CString& phase, const CString& reason, const CString& location,
                         const CString& detail);
};
