// Parameter writers of note creation, deletion and the debug carriers.
#include "engine/expressions/ArticExpCreNote.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

void CreNoteItems(CArticExpCreNote* evnt, CStringList& items) {
    items.AddTail(CArticExpUtil::LongText(evnt->GetType()));
    items.AddTail(CArticExpUtil::LongText(evnt->GetTime()));
    items.AddTail(CArticExpUtil::ULongText(evnt->GetDur()));
    items.AddTail(CArticExpUtil::LongText(evnt->GetKey()));
    items.AddTail(CArticExpUtil::LongText(evnt->GetVelo()));
}

}  // namespace

int CArticExpUtil::GetExpCreNoteParam(CArticExpCreNote* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    CreNoteItems(evnt, out);
    items.AddTail(out);
    return 0;
}

int CArticExpUtil::GetExpCreNote2Param(CArticExpCreNote2* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    CreNoteItems(evnt, out);
    out.AddTail(LongText(evnt->GetGen()));
    items.AddTail(out);
    return 0;
}

int CArticExpUtil::GetExpDelParam(CArticExpDel* evnt, CStringList& items) {
    if (!evnt) return 1;
    return AddNoteListItem(evnt, evnt->GetWrkEvntList(), items);
}

int CArticExpUtil::GetExpDebug_iParam(CArticExpDebug_i* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    out.AddTail(LongText(evnt->GetValue()));
    items.AddTail(out);
    return 0;
}

int CArticExpUtil::GetExpDebug_i2Param(CArticExpDebug_i2* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    out.AddTail("\"" + evnt->GetInfo() + "\"");
    out.AddTail(LongText(evnt->GetValue()));
    items.AddTail(out);
    return 0;
}

int CArticExpUtil::GetExpDebug_dParam(CArticExpDebug_d* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    CExString value;
    value.ConvDoubleToStr(evnt->GetValue(), 7);
    out.AddTail(value);
    items.AddTail(out);
    return 0;
}
