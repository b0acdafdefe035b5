// Parameter writers of note creation, deletion and the debug carriers.
#include "engine/expressions/ArticExpCreNote.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticWrkUtil.h"

namespace {

// The note list item against the expression's work data, or its middle
// work data when it has none.
template <class T>
int NoteListItem(T* evnt, CStringList& items) {
    CArticWrk* wrk = evnt->GetWrk();
    if (!wrk) wrk = evnt->GetMidWrk();
    CString text;
    const int rc = CArticWrkUtil::GetWrkEvntListParam(wrk, evnt->GetWrkEvntList(), text);
    if (rc == 0) items.AddTail(text);
    return rc;
}

CString Decimal(LONG value) {
    CExString text;
    text.ConvLongToStr(value, 10);
    return text;
}

CString Unsigned(ULONG value) {
    CString text;
    text.Format("%u", unsigned(value));
    return text;
}

void CreNoteItems(CArticExpCreNote* evnt, CStringList& items) {
    items.AddTail(Decimal(evnt->GetType()));
    items.AddTail(Decimal(evnt->GetTime()));
    items.AddTail(Unsigned(evnt->GetDur()));
    items.AddTail(Decimal(evnt->GetKey()));
    items.AddTail(Decimal(evnt->GetVelo()));
}

}  // namespace

int CArticExpUtil::GetExpCreNoteParam(CArticExpCreNote* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = NoteListItem(evnt, out)) return rc;
    CreNoteItems(evnt, out);
    items.AddTail(out);
    return 0;
}

int CArticExpUtil::GetExpCreNote2Param(CArticExpCreNote2* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = NoteListItem(evnt, out)) return rc;
    CreNoteItems(evnt, out);
    out.AddTail(Decimal(evnt->GetGen()));
    items.AddTail(out);
    return 0;
}

int CArticExpUtil::GetExpDelParam(CArticExpDel* evnt, CStringList& items) {
    if (!evnt) return 1;
    return NoteListItem(evnt, items);
}

int CArticExpUtil::GetExpDebug_iParam(CArticExpDebug_i* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = NoteListItem(evnt, out)) return rc;
    out.AddTail(Decimal(evnt->GetValue()));
    items.AddTail(out);
    return 0;
}

int CArticExpUtil::GetExpDebug_i2Param(CArticExpDebug_i2* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = NoteListItem(evnt, out)) return rc;
    out.AddTail("\"" + evnt->GetInfo() + "\"");
    out.AddTail(Decimal(evnt->GetValue()));
    items.AddTail(out);
    return 0;
}

int CArticExpUtil::GetExpDebug_dParam(CArticExpDebug_d* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = NoteListItem(evnt, out)) return rc;
    CExString value;
    value.ConvDoubleToStr(evnt->GetValue(), 7);
    out.AddTail(value);
    items.AddTail(out);
    return 0;
}
