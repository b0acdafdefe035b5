#pragma once
// Static operations on the work data shared by the expressions, the rule
// built-ins and the conversion driver. The class has no instance data; its
// two statics (the current expression event, to which failing operations
// report, and the fingering flag) assume one conversion at a time.
//
// This file holds the frame (error report, statics), event deletion, the
// time-order insertion of event lists, the packed-parameter shift used by the
// condition timeline, and the event kind names and parameter texts.
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ExString.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticExpEvnt;
class CArticWrk;
class CArticWrkBlk;

class CArticWrkUtil : public CObject {
public:
    // ---- Frame
    static void SetExpEvnt(CArticExpEvnt* evnt) { s_pExpEvnt = evnt; }
    static CArticExpEvnt* GetExpEvnt() { return s_pExpEvnt; }
    static void SetFng(int fng) { s_Fng = fng; }
    static int GetFng() { return s_Fng; }

    // ---- Single-step neighbours (null when none). Gen: block order on the
    // same string; NoteEvnt: event-number order over every track; Wrk: over
    // the selected tracks only.
    static CArticWrkEvnt* GetNextGenNote(CArticWrkEvnt* evnt);
    static CArticWrkEvnt* GetPrevGenNote(CArticWrkEvnt* evnt);
    static CArticWrkEvnt* GetNextNoteEvnt(CArticWrkEvnt* evnt);
    static CArticWrkEvnt* GetPrevNoteEvnt(CArticWrkEvnt* evnt);
    static CArticWrkEvnt* GetWrkNextNoteEvnt(CArticWrkEvnt* evnt);
    static CArticWrkEvnt* GetWrkPrevNoteEvnt(CArticWrkEvnt* evnt);

    // ---- Deletion: unlinks the event from its block and destroys it: 0; 1
    // (reported) without event, list position, block or work.
    static int DelEvnt(CArticWrkEvnt* evnt);

    // ---- Time order of an event list: a note of one time passes back over
    // the notes whose key is not below its own, never over a non-note.
    static POSITION SortByTime(CArticWrkEvntList* list, CArticWrkEvnt* evnt);
    static int SortByTime(CArticWrkEvntList* list);

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

private:
    static CArticExpEvnt* s_pExpEvnt;
    static int s_Fng;
};
