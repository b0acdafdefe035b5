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
// (ArticWrkUtilQuery.cpp), curve levels (ArticWrkUtilCrv.cpp), event
// lists (ArticWrkUtilList.cpp), controller data (ArticWrkUtilCc.cpp), pitch
// bend (ArticWrkUtilPb.cpp), tempo (ArticWrkUtilTempo.cpp), packed
// parameters (ArticWrkUtilPacked.cpp), the block conversion writers
// (ArticWrkUtilConv.cpp), the pitch slide writers (ArticWrkUtilSlide.cpp),
// phrase-file insertion (ArticWrkUtilPhrase.cpp), ornaments
// (ArticWrkUtilOrnament.cpp) and time mapping (ArticWrkUtilTimeMap.cpp).
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ExString.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticExpEvnt;
class CArticFileIO;
class CArticMeas;
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
    // near: a position of the block's list (in time order) to place the note from.
    static int CreNoteTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE key, BYTE velo, INT64 gate,
                           POSITION near = nullptr);
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
    // With near (a position of the block's list near *time, the block in
    // time order) the searches for the next note start (kinds 3 and 13) walk
    // from there.
    static int GetNearNoteTime2(CArticWrkBlk* blk, BYTE mode, INT64* time, int* found, POSITION near = nullptr);

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

    // ---- Pitch-bend values (-8192..8191, Post1 low and Post2 high 7 bits)
    // and the 16-bit working level of a controller (Post2 high, Post3 low byte)
    static short GetPitchBend(const _WRK_EVNT& e);
    static void SetPitchBend(_WRK_EVNT& e, short value);
    static short GetEvntLevel(const _WRK_EVNT& e);
    static void SetEvntLevel(_WRK_EVNT& e, short level);

    // ---- Pitch-bend events of a block or list
    // The bend range in semitones in force at time (2 when none or no block).
    static LONG GetPbRange(CArticWrkBlk* blk, INT64 time);
    // The range as the block's own events set it (RPN 0/0 by controllers,
    // packed RPN, KV part parameter); 2 when none.
    static short GetPbRangeWrk(CArticWrkBlk* blk, INT64 time);
    static short GetPbRangeWrk(CArticWrkEvnt* evnt, INT64 time);
    // One bend event of base + semitones at the range in force.
    // near: as for DelContCcTimeArea (here a position of the block's list).
    static int CrePbTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, signed char semitones, short base,
                         POSITION near = nullptr);
    // Deletes the bend events of the list at exactly time / from t1 to t2.
    // near: as for DelContCcTimeArea.
    static int DelPbTime(CArticWrkEvntList* list, INT64 time, POSITION near = nullptr);
    static int DelPbTimeArea(CArticWrkEvntList* list, INT64 t1, INT64 t2, POSITION near = nullptr);
    static int ShiftPbEvnt(CArticWrkEvntList* list, INT64 t1, INT64 t2, short shift, POSITION near = nullptr);
    // Thins the block's bends of [t1, t2] to a spacing of reso ticks (the last stays).
    static int ResoContPb(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t1, INT64 t2, WORD reso);
    // Merges free library bend events into the existing bend and the block.
    static int AddPbEvnt(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* existList, CArticWrkEvntList* libList);
    static int CreOrigWrkPbEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 t1, INT64 t2,
                                    BYTE status);
    // The phrase-file flag bits of an expression's Type.
    static int ResetPbType(BYTE type);
    // The bend in force at time in a list / around an event by number (in
    // cents when inCents is non-zero). near: as for DelContCcTimeArea.
    static short GetPbLevel(CArticWrkEvntList* list, INT64 time, POSITION near = nullptr);
    static short GetPbLevel(CArticWrkEvnt* evnt, INT64 time, BYTE inCents);
    // unit 1: value in cents; otherwise in bend units. Clamped to the bend range.
    static short GetPitchAdd(CArticWrk* wrk, CArticWrkBlk* blk, BYTE unit, INT64 time, short value);
    static LONG GetPitchSft(CArticWrkBlk* blk, INT64 time, signed char semitones);
    // Area queries around a work event (number order): 0 done, 1 bad argument.
    static int GetAreaPb(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, CArticWrkEvntList* list);
    static int GetAreaPbExist(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, int* exist);
    // In semitones; 1 when failed or beyond +-24 semitones.
    static int GetAreaPbMaxMin(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, int* exist, double* max, double* min);
    // *direction: 3 flat, 1 rising only, 2 falling only, 0 both.
    static int GetAreaPbNonSycle(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, int* direction);
    // Entry operations of the expressions (mode 0 replace, 1 add; unit 1 cents).
    static int CrePitchCrv(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch, BYTE unit,
                           INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to, signed char curve,
                           WORD step);
    static int CrePitchCrvI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch, BYTE unit,
                            INT64 T0, INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to,
                            signed char curve, WORD step);
    static int CrePitchSlide(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE unit, INT64 T1,
                             INT64 T2, INT64 T3, BYTE status, short from, short to, signed char curve, WORD step);
    static int CrePitchSlideI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE unit, INT64 T0,
                              INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to, signed char curve,
                              WORD step);
    static int CrePitchGtrSlide(CArticWrk* wrk, CArticWrkBlk* blk, INT64 T1, INT64 T2, short from, short to,
                                short count, signed char curve, WORD step);

    // ---- Controller data (status 0xB0, Post1 the number, Post2 the value)
    // near: as for the list operations below.
    static int CreContCcTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE number, BYTE value,
                             POSITION near = nullptr);
    static int CreContCcTimeBefore(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE number, BYTE value);
    static int DelContCcTime(CArticWrkEvntList* list, INT64 time, BYTE number);
    static int DelContCcTime(CArticWrkBlk* blk, INT64 time, BYTE number);
    // With near (a position of the list, which must be in time order) the
    // walk starts there instead of at the head: the same events, found in
    // the distance from near.
    static int DelContCcTimeArea(CArticWrkEvntList* list, INT64 t1, INT64 t2, BYTE number, POSITION near = nullptr);
    static int ShiftCcEvnt(CArticWrkEvntList* list, BYTE number, INT64 t1, INT64 t2, short shift,
                           POSITION near = nullptr);
    static int ResoContCc(CArticWrk* wrk, CArticWrkBlk* blk, BYTE number, INT64 t1, INT64 t2, WORD reso);
    // Moves the non-note events of [t1, t2] to t1, keeping the block in time order.
    static int WipeContDataTimeArea(CArticWrkBlk* blk, INT64 t1, INT64 t2);
    static int ResetCcType(BYTE type);
    static int CreOrigWrkCcEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 t1, INT64 t2,
                                    BYTE ignored, BYTE status, BYTE number);
    // Merges free library controller events (flags 0x40: centred on 64).
    static int AddCcEvnt(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* existList,
                         CArticWrkEvntList* libList, BYTE flags);
    static void AddInitEvntList(CArticWrkEvntList* list, INT64 time);
    static int ModWrkOrgContCc(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t1, INT64 t2, BYTE number, WORD offset,
                               WORD mag);
    static BYTE GetContCcLevel(CArticWrkEvnt* evnt, INT64 time, BYTE number);
    static short GetContCcLevel(CArticWrkEvntList* list, INT64 time, BYTE number);
    // The value in force strictly before time (the default without one).
    // near: as for DelContCcTimeArea.
    static BYTE GetFrontContVal(CArticWrkEvntList* list, INT64 time, BYTE number, POSITION near = nullptr);
    static int GetAreaCc(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, BYTE number, CArticWrkEvntList* list);
    static int GetAreaCcExist(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, BYTE number, int* exist);
    static int GetAreaCcMaxMin(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, BYTE number, int* exist, double* max,
                               double* min);
    static int GetAreaCcNonSycle(CArticWrkEvnt* evnt, INT64 t1, INT64 t2, BYTE number, int* direction);
    static int CreContCcCrv(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch, BYTE centre,
                            INT64 T1, INT64 T2, INT64 T3, BYTE status, BYTE number, short from, short to,
                            signed char curve, WORD step);
    static int CreContCcCrvI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch, BYTE centre,
                             INT64 T0, INT64 T1, INT64 T2, INT64 T3, BYTE status, BYTE number, short from, short to,
                             signed char curve, WORD step);
    static int CcTimeRelAreaFix(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 T1, INT64 T2,
                                BYTE status, BYTE number, WORD mag, signed char add, BYTE timeMode, BYTE levelType,
                                BYTE startLevel, BYTE endLevel);
    static int ContCcTimeRelFix(CArticWrk* wrk, CArticWrkBlk* blk, INT64 T1, INT64 T2, BYTE type, BYTE levelType,
                                BYTE number, WORD mag, signed char add);
    static int ContCcTimeRelCrv(CArticWrk* wrk, CArticWrkBlk* blk, INT64 T1, INT64 T2, BYTE status, BYTE number,
                                signed char from, signed char to, signed char curve, WORD step,
                                CArticWrkEvntList* afterList);
    static int CreCrvWrkEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* existList,
                                 CArticWrkEvntList* curveList, INT64 T1, INT64 T2, BYTE status, BYTE number,
                                 signed char from, signed char to, signed char curve, WORD step);
    static int AddCrvEvnt(CArticWrkBlk* blk, CArticWrkEvntList* existList, CArticWrkEvntList* curveList,
                          INT64 ignored);

    // ---- Tempo (microseconds per quarter; kept within 1..0xFFFFFF)
    // The tempo in force at time (the default without one).
    static ULONG GetCurrentTempo(CArticWrkEvntList* list, INT64 time);
    static ULONG GetCurrentTempo(CArticWrkBlk* blk, INT64 time);
    // Every tempo of the list times 100 / mag: 0; 1 without tempo events or for mag 0.
    static int CalcTempoEvntList(CArticWrkEvntList* list, WORD mag);
    static int CalcTempoEvntList(CArticWrkEvntList* list, double mag);
    static int TempoAbs(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, WORD tickPerBeat, WORD tempo);
    static int TempoAbsRel(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time);
    static int TempoRelFix(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, WORD mag);
    static int TempoRelAreaFix(CArticWrk* wrk, CArticWrkBlk* blk, INT64 t1, INT64 t2, WORD mag);
    static int CreTempoRelCrv(CArticWrk* wrk, CArticWrkBlk* blk, INT64 T1, INT64 T2, WORD startMag, WORD endMag,
                              signed char curve, WORD step);
    static int CreTempoOrigWrkEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 T1,
                                       INT64 T2);
    static int CreTempoCrvWrkEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* existList,
                                      CArticWrkEvntList* curveList, INT64 T1, INT64 T2, WORD startMag, WORD endMag,
                                      signed char curve, WORD step);
    static int AddTempoCrvEvnt(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* existList,
                               CArticWrkEvntList* curveList, INT64 ignored);

    // ---- Block conversion writers (T0 start of the collected area, T1..T2
    // the curve, T3 end of the area; from/to bend units or controller levels)
    static int ConvToWrkForAdd(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch, INT64 T1,
                               INT64 T2, INT64 T3, BYTE status, short from, short to, signed char curve, WORD step);
    static int ConvToWrkForAddI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch, INT64 T0,
                                INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to, signed char curve,
                                WORD step);
    static int ConvToWrkForReplace(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch,
                                   INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to,
                                   signed char curve, WORD step);
    static int ConvToWrkForReplaceI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch,
                                    INT64 T0, INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to,
                                    signed char curve, WORD step);
    static int ConvToWrkForContCcAdd(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch,
                                     BYTE centre, INT64 T1, INT64 T2, INT64 T3, BYTE status, BYTE number, short from,
                                     short to, signed char curve, WORD step);
    static int ConvToWrkForContCcAddI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch,
                                      BYTE centre, INT64 T0, INT64 T1, INT64 T2, INT64 T3, BYTE status, BYTE number,
                                      short from, short to, signed char curve, WORD step);
    static int ConvToWrkForContCcReplace(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch,
                                         BYTE centre, INT64 T1, INT64 T2, INT64 T3, BYTE status, BYTE number,
                                         short from, short to, signed char curve, WORD step);
    static int ConvToWrkForContCcReplaceI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, BYTE stretch,
                                          BYTE centre, INT64 T0, INT64 T1, INT64 T2, INT64 T3, BYTE status,
                                          BYTE number, short from, short to, signed char curve, WORD step);
    static int CrePitchOrigEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 T1, INT64 T2,
                                    INT64 T3, BYTE status);
    static int CrePitchCrvEvntList(CArticWrk* wrk, CArticWrkBlk* blk, BYTE stretch, BYTE forceStart,
                                   CArticWrkEvntList* existList, CArticWrkEvntList* curveList, INT64 T1, INT64 T2,
                                   INT64 T3, BYTE status, short from, short to, signed char curve, WORD step);
    static int CreatePitchCrvEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* curveList, INT64 T1,
                                      INT64 T2, INT64 T3, BYTE status, short from, short to, signed char curve,
                                      WORD step);
    static int MagPitchCrvEvntList(CArticWrkEvntList* curveList, INT64 T1, INT64 T2, short from, short to,
                                   int stretchStart, int stretchEnd);
    static int ModPitchCrvEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* existList,
                                   CArticWrkEvntList* curveList, short from, short to);
    static int CreContCcOrigEvntList(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, BYTE centre,
                                     INT64 T1, INT64 T2, INT64 T3, BYTE status, BYTE number);
    static int CreContCcCrvEvntList(CArticWrk* wrk, CArticWrkBlk* blk, BYTE stretch, BYTE forceStart, BYTE centre,
                                    CArticWrkEvntList* existList, CArticWrkEvntList* curveList, INT64 T1, INT64 T2,
                                    INT64 T3, BYTE status, BYTE number, short from, short to, signed char curve,
                                    WORD step);
    static int CreateContCcCrvEvntList(CArticWrk* wrk, CArticWrkBlk* blk, BYTE centre, CArticWrkEvntList* curveList,
                                       INT64 T1, INT64 T2, INT64 T3, BYTE status, BYTE number, short from, short to,
                                       signed char curve, WORD step);
    static int MagContCcCrvEvntList(CArticWrkEvntList* curveList, BYTE centre, INT64 T1, INT64 T2, BYTE status,
                                    BYTE number, short from, short to, int stretchStart, int stretchEnd);
    static int ModContCcCrvEvntList(CArticWrk* wrk, CArticWrkBlk* blk, BYTE centre, CArticWrkEvntList* existList,
                                    CArticWrkEvntList* curveList, BYTE status, BYTE number, short from, short to);
    static int AddContCcCrvEvnt(CArticWrkBlk* blk, CArticWrkEvntList* existList, CArticWrkEvntList* curveList,
                                BYTE keepEnd, BYTE centre, INT64 t1, INT64 t2);
    static int ConvToWrkForSomeEvnt(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 T1, INT64 T2,
                                    BYTE status, BYTE number, WORD mag, signed char add, BYTE timeMode,
                                    BYTE levelType, BYTE startLevel, BYTE endLevel);
    static int ConvToWrkForNoEvnt(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* list, INT64 T1, INT64 T2,
                                  BYTE status, BYTE number, WORD mag, signed char add, BYTE timeMode, BYTE levelType,
                                  BYTE level);

    // ---- Pitch slide writers (staircases of equal steps or of semitones)
    static int ConvToWrkForSlide(CArticWrk* wrk, CArticWrkBlk* blk, INT64 T1, INT64 T2, short from, short to,
                                 short count, signed char curve, WORD step);
    static int ConvToWrkForSlideAdd(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, INT64 T1, INT64 T2,
                                    INT64 T3, BYTE status, short from, short to, signed char curve, WORD step);
    static int ConvToWrkForSlideAddI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, INT64 T0, INT64 T1,
                                     INT64 T2, INT64 T3, BYTE status, short from, short to, signed char curve,
                                     WORD step);
    static int ConvToWrkForSlideReplace(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, INT64 T1,
                                        INT64 T2, INT64 T3, BYTE status, short from, short to, signed char curve,
                                        WORD step);
    static int ConvToWrkForSlideReplaceI(CArticWrk* wrk, CArticWrkBlk* blk, BYTE mode, BYTE keepEnd, INT64 T0,
                                         INT64 T1, INT64 T2, INT64 T3, BYTE status, short from, short to,
                                         signed char curve, WORD step);
    // Count form: count equal steps between from and to (the last event stays).
    static int ModPitchSlideEvntList(CArticWrkEvntList* list, short from, short to, short count, INT64 time);
    // Semitone form: each step raised to the next semitone line.
    static int ModPitchSlideEvntList(CArticWrkEvntList* list, short from, short to, double stepBend, INT64 T1);
    // Each event snapped down to the step it has reached.
    static int ModPitchSlideEvntList2(CArticWrkEvntList* list, short from, short to, double stepBend, INT64 T1);

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

    // ---- Packed parameters (status 0x10 NRPN, 0x20 RPN, 0x30 voice; Post1
    // and Post2 name the parameter, Post3 the value). The block forms keep the
    // timeline's copy of the RPN 0/0 (the bend range) up to date.
    static int CrePackedTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE status, BYTE msb, BYTE lsb,
                             BYTE value);
    static int DelPackedTime(CArticWrkEvntList* list, INT64 time, BYTE status, BYTE msb, BYTE lsb);
    static int DelPackedTime(CArticWrkBlk* blk, INT64 time, BYTE status, BYTE msb, BYTE lsb);
    static int DelPackedTimeArea(CArticWrkEvntList* list, INT64 t1, INT64 t2, BYTE status, BYTE msb, BYTE lsb);
    static int DelPackedTimeArea(CArticWrkBlk* blk, INT64 t1, INT64 t2, BYTE status, BYTE msb, BYTE lsb);
    static BYTE GetFrontPackedVal(CArticWrkEvntList* list, INT64 time, BYTE status, BYTE msb, BYTE lsb);
    // Post3 + shift, clamped to 0..127, for the events (status, msb, lsb) from t1 to t2.
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

    // ---- Phrase-file insertion (ArticWrkUtilPhrase.cpp). Flag bits: 0x01
    // snap the start to a note start and the end to a note boundary, 0x02
    // the end to a note end, 0x04 reset at the end itself, 0x08 replace the
    // span's values, 0x10 fit the pattern to the span, 0x20 repeat it
    // (without 0x10), 0x40 controller values centred on 64. mag, randMag and
    // timeMag are percentages.
    // *list = the file's events (kept by io or the cache, only read): 0; 1
    // (reported) when the file cannot be read. A list already holding
    // events is reused.
    static int LoadFileSmf(CArticFileIO* io, CString path, CArticWrkEvntList** list);
    // *out = a new free list of the pattern fitted to [start, end] (and
    // reset at limit when later than end): 0; 1 without pattern.
    static int CopySmfEvntList(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                               CArticWrkEvntList* src, CArticWrkEvntList** out, BYTE flags, WORD mag, WORD timeMag,
                               BYTE status, BYTE number);
    static int CopySmfEvntList(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                               CArticWrkEvntList* src, CArticWrkEvntList** out, BYTE flags, WORD mag, WORD randMag,
                               WORD timeMag, BYTE status, BYTE number);
    static int CopySmfEvntListI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end, INT64 limit,
                                CArticWrkEvntList* src, CArticWrkEvntList** out, BYTE flags, WORD mag, WORD timeMag,
                                BYTE status, BYTE number);
    static int CopySmfEvntListI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end, INT64 limit,
                                CArticWrkEvntList* src, CArticWrkEvntList** out, BYTE flags, WORD mag, WORD randMag,
                                WORD timeMag, BYTE status, BYTE number);
    // Attack from start and release towards end over a pasted pattern.
    static int EgSmfEvntList(CArticWrkEvntList* list, INT64 start, INT64 end, INT64 limit, INT64 attack,
                             INT64 release, BYTE status, BYTE number);
    static INT64 GetExpandTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE flags);
    static INT64 GetExpandEndTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 time, BYTE flags);
    // Where the pasted curve hands back to neutral; kWrkNoTime when nowhere.
    static INT64 GetExpandAddEndTime(CArticWrk* wrk, CArticWrkBlk* blk, INT64 end, BYTE flags, BYTE status,
                                     BYTE number);
    static int CreFileSmfContCc(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, CArticWrkEvntList* src,
                                BYTE flags, BYTE number, WORD mag);
    static int CreFileSmfContCc2(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, CArticWrkEvntList* src,
                                 BYTE type, BYTE number, WORD mag);
    static int CreFileSmfContCc2I(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                  CArticWrkEvntList* src, BYTE type, BYTE number, WORD mag);
    static int CreFileSmfContPb(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, CArticWrkEvntList* src,
                                BYTE flags, WORD mag, WORD timeMag);
    static int CreFileSmfContPbI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                 CArticWrkEvntList* src, BYTE flags, WORD mag, WORD timeMag);
    static int CreFileSmfContPbEg(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, CArticWrkEvntList* src,
                                  BYTE flags, INT64 attack, INT64 release, WORD mag, WORD timeMag);
    static int CreFileSmfContPbEgI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                   CArticWrkEvntList* src, BYTE flags, INT64 attack, INT64 release, WORD mag,
                                   WORD timeMag);
    static int CreFileSmfContPbEg2(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, CArticWrkEvntList* src,
                                   BYTE flags, INT64 attack, INT64 release, WORD mag, WORD randMag, WORD timeMag);
    static int CreFileSmfContPbEg2I(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                    CArticWrkEvntList* src, BYTE flags, INT64 attack, INT64 release, WORD mag,
                                    WORD randMag, WORD timeMag);
    static int CreFileSmfContCcForAdd(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                                      CArticWrkEvntList* src, BYTE flags, WORD mag, BYTE status, BYTE number);
    static int CreFileSmfContCcForAddI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                       INT64 limit, CArticWrkEvntList* src, BYTE flags, WORD mag, BYTE status,
                                       BYTE number);
    static int CreFileSmfContCcForReplace(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                                          CArticWrkEvntList* src, BYTE flags, WORD mag, BYTE status, BYTE number);
    static int CreFileSmfContCcForReplaceI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                           INT64 limit, CArticWrkEvntList* src, BYTE flags, WORD mag, BYTE status,
                                           BYTE number);
    static int CreFileSmfContPbForAdd(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                                      CArticWrkEvntList* src, BYTE flags, WORD mag, WORD timeMag, BYTE status,
                                      BYTE number);
    static int CreFileSmfContPbForAddI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                       INT64 limit, CArticWrkEvntList* src, BYTE flags, WORD mag, WORD timeMag,
                                       BYTE status, BYTE number);
    static int CreFileSmfContPbForReplace(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                                          CArticWrkEvntList* src, BYTE flags, WORD mag, WORD timeMag, BYTE status,
                                          BYTE number);
    static int CreFileSmfContPbForReplaceI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                           INT64 limit, CArticWrkEvntList* src, BYTE flags, WORD mag, WORD timeMag,
                                           BYTE status, BYTE number);
    static int CreFileSmfContPbEgForAdd(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                                        CArticWrkEvntList* src, BYTE flags, INT64 attack, INT64 release, WORD mag,
                                        WORD timeMag, BYTE status, BYTE number);
    static int CreFileSmfContPbEgForAddI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                         INT64 limit, CArticWrkEvntList* src, BYTE flags, INT64 attack,
                                         INT64 release, WORD mag, WORD timeMag, BYTE status, BYTE number);
    static int CreFileSmfContPbEgForReplace(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                                            CArticWrkEvntList* src, BYTE flags, INT64 attack, INT64 release,
                                            WORD mag, WORD timeMag, BYTE status, BYTE number);
    static int CreFileSmfContPbEgForReplaceI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                             INT64 limit, CArticWrkEvntList* src, BYTE flags, INT64 attack,
                                             INT64 release, WORD mag, WORD timeMag, BYTE status, BYTE number);
    static int CreFileSmfContPbEg2ForAdd(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                                         CArticWrkEvntList* src, BYTE flags, INT64 attack, INT64 release, WORD mag,
                                         WORD randMag, WORD timeMag, BYTE status, BYTE number);
    static int CreFileSmfContPbEg2ForAddI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start, INT64 end,
                                          INT64 limit, CArticWrkEvntList* src, BYTE flags, INT64 attack,
                                          INT64 release, WORD mag, WORD randMag, WORD timeMag, BYTE status,
                                          BYTE number);
    static int CreFileSmfContPbEg2ForReplace(CArticWrk* wrk, CArticWrkBlk* blk, INT64 start, INT64 end, INT64 limit,
                                             CArticWrkEvntList* src, BYTE flags, INT64 attack, INT64 release,
                                             WORD mag, WORD randMag, WORD timeMag, BYTE status, BYTE number);
    static int CreFileSmfContPbEg2ForReplaceI(CArticWrk* wrk, CArticWrkBlk* blk, INT64 init, INT64 start,
                                              INT64 end, INT64 limit, CArticWrkEvntList* src, BYTE flags,
                                              INT64 attack, INT64 release, WORD mag, WORD randMag, WORD timeMag,
                                              BYTE status, BYTE number);

    // ---- Time mapping (ArticWrkUtilTimeMap.cpp); 0 done, 1 reported failure.
    // *groupStart = the start of the group of groupLength ticks from origin that holds time.
    static int GetMathGroupTime(INT64 origin, ULONG groupLength, INT64 time, INT64* groupStart);
    // [start, end) cut into divisions parts, division point `point` moved to
    // pointTime (relative to start), both sides stretched linearly.
    static int GetMathCopyFig(INT64 start, INT64 end, INT64 time, BYTE divisions, BYTE point, INT64 pointTime,
                              INT64* mapped);
    static int GetMathCopyFig2(INT64 start, INT64 end, INT64 time, BYTE divisions, BYTE point1, INT64 point1Time,
                               BYTE point2, INT64 point2Time, INT64* mapped);
    // mode 0 the position, 1 its bar head, 2 its beat head.
    static int GetTime(CArticWrk* wrk, BYTE mode, CArticMeas* meas, INT64* time);
    // mode 0 the same, 1 bar head, 2 beat head, 3 next bar head, 4 next beat head.
    static int GetTime(CArticWrk* wrk, BYTE mode, INT64* time);
    static int ResetNoteOnOff(CArticWrkEvnt* evnt, INT64 on, INT64 off);

    // ---- Ornaments (ArticWrkUtilOrnament.cpp): notes written into the
    // target note's block from a phrase pattern (key 60 the note itself, 62
    // and 59 its diatonic neighbours, 67 the upper tremolo part, an "EOD"
    // text marker the end of a cycle). 0 done; 1 for a missing argument, a
    // pattern that cannot serve or a cycle without length.
    static int InsertNoteTrill(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* pattern, BYTE key, BYTE velo,
                               char temp, char upShift, char downShift, INT64 time, INT64 gate, INT64 origin,
                               INT64 reserved, int repeat, CArticWrkEvnt* prev, CArticWrkEvnt* next,
                               CArticWrkEvnt** last);
    static int InsNoteTrill(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* pattern, BYTE key, BYTE velo,
                            char temp, char upShift, char downShift, INT64 time, INT64 gate, INT64 origin,
                            INT64 length, BYTE pick, CArticWrkEvnt** out);
    static int InsertNoteMord(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* pattern, BYTE key, BYTE velo,
                              char temp, char upShift, char downShift, INT64 time, INT64 gate, INT64 origin,
                              INT64 length);
    static int InsertNoteTrml(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* pattern, BYTE key, BYTE velo,
                              BYTE num, BYTE randTime, BYTE randVelo, INT64 time, INT64 gate);
    static int InsertNoteTrml2(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* lower, CArticWrkEvntList* upper,
                               CArticWrkEvntList* pattern, BYTE num, BYTE randTime, BYTE randVelo, char lowVelo,
                               char midVelo, INT64 time, INT64 gate);
    static int ExpandNoteTrml2(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* chord,
                               const _WRK_EVNT& patternNote, INT64 time, INT64 patternStart, BYTE randTime,
                               BYTE randVelo, char lowVelo, char midVelo, double scale, short veloAdd, BYTE lowKey,
                               BYTE highKey, int& first);
    static int InsertNoteGlis(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* pattern, BYTE from, BYTE to,
                              BYTE velo, INT64 time, INT64 gate, INT64 reserved1, INT64 reserved2);
    static int MagNoteGlis(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* pattern, BYTE from, BYTE velo,
                           INT64 time, INT64 gate, CObList* keys, int n);
    static int CorrectNoteGlis(CArticWrkEvntList* pattern, CArticWrkEvntList* out, int n);
    static int InsertNoteArpg(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* chord,
                              CArticWrkEvntList* pattern, INT64 time, INT64 gate, INT64 reserved1, INT64 reserved2);
    // 1 when the arpeggio runs downward (its first note lies above the middle key).
    static int CheckNoteArpg(CArticWrkEvntList* patternNotes, CArticWrkEvnt* earliest);
    // Attaches the 40-byte arpeggio record to every note; always 1.
    static int AddWrkArpgInfo(CArticWrkEvntList* list, INT64 start, INT64 end);
    static int CorrectNoteArpg(CArticWrkEvntList* patternNotes, INT64 start, INT64 end, CArticWrkEvntList* out,
                               int n, int down);
    static int NoteOnShiftAOfArpg(CArticWrkEvntList* chordNotes, CArticWrkEvntList* patternNotes,
                                  CArticWrkEvntList* result, INT64 time);
    static int NoteOffShiftAOfArpg(CArticWrkEvntList* result, INT64 time, INT64 gate);
    static int NoteOnShiftCOfArpg(CArticWrkEvntList* result, INT64 onMax, INT64 half, INT64 time);
    static int NoteOffShiftDOfArpg(CArticWrkEvntList* result, INT64 offMin, INT64 limit, INT64 time, INT64 gate);
    static int NoteOffCheckOfArpg(CArticWrkEvntList* result, INT64* t);
    static int NoteOffResetOfArpg(CArticWrkEvntList* result, INT64 t);
    static int StoreEvntOfArpg(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* result, BYTE velo);

protected:
    // Reports to the current expression event (once per expression); always 1.
    static int ReportErr(const CString& phase, const CString& reason, const CString& location,
                         const CString& detail);
};
