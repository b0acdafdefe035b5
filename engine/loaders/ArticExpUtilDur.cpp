// Parameter writers of the duration and key-shift expressions.
#include "engine/expressions/ArticExpDur.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

// The note list item followed by the given number items.
template <class T>
int NotesThen(T* evnt, CStringList& items, std::initializer_list<CString> values) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = CArticExpUtil::AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    for (const CString& v : values) out.AddTail(v);
    items.AddTail(out);
    return 0;
}

}  // namespace

int CArticExpUtil::GetExpDurRelParam(CArticExpDurRel* evnt, CStringList& items) {
    return NotesThen(evnt, items, {evnt ? LongText(evnt->GetMag()) : CString()});
}

int CArticExpUtil::GetExpDurRel2Param(CArticExpDurRel2* evnt, CStringList& items) {
    return NotesThen(evnt, items, {evnt ? LongText(evnt->GetAdd()) : CString()});
}

int CArticExpUtil::GetExpDurAbsParam(CArticExpDurAbs* evnt, CStringList& items) {
    return NotesThen(evnt, items, {evnt ? LongText(LONG(evnt->GetDur())) : CString()});
}

int CArticExpUtil::GetExpDurBpParam(CArticExpDurBp* evnt, CStringList& items) {
    if (!evnt) return 1;
    return NotesThen(evnt, items, {LongText(LONG(evnt->GetBeatUnit())), LongText(evnt->GetMag())});
}

int CArticExpUtil::GetExpDurAllParam(CArticExpDurAll* evnt, CStringList& items) {
    if (!evnt) return 1;
    items.AddTail(MeasText(evnt->GetMeas()));
    items.AddTail(MeasText(evnt->GetEndMeas()));
    items.AddTail(LongText(LONG(evnt->GetBeatUnit())));
    items.AddTail(LongText(evnt->GetMag()));
    return 0;
}

int CArticExpUtil::GetExpKeySftParam(CArticExpKeySft* evnt, CStringList& items) {
    return NotesThen(evnt, items, {evnt ? LongText(evnt->GetShift()) : CString()});
}
