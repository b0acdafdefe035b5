// Parameter writers of the duration and key-shift expressions.
#include "engine/expressions/ArticExpDur.h"
#include "engine/loaders/ArticExpUtil.h"

int CArticExpUtil::GetExpDurRelParam(CArticExpDurRel* evnt, CStringList& items) {
    return AddNotesThen(evnt, items, {evnt ? LongText(evnt->GetMag()) : CString()});
}

int CArticExpUtil::GetExpDurRel2Param(CArticExpDurRel2* evnt, CStringList& items) {
    return AddNotesThen(evnt, items, {evnt ? LongText(evnt->GetAdd()) : CString()});
}

int CArticExpUtil::GetExpDurAbsParam(CArticExpDurAbs* evnt, CStringList& items) {
    return AddNotesThen(evnt, items, {evnt ? LongText(LONG(evnt->GetDur())) : CString()});
}

int CArticExpUtil::GetExpDurBpParam(CArticExpDurBp* evnt, CStringList& items) {
    if (!evnt) return 1;
    return AddNotesThen(evnt, items, {LongText(LONG(evnt->GetBeatUnit())), LongText(evnt->GetMag())});
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
    return AddNotesThen(evnt, items, {evnt ? LongText(evnt->GetShift()) : CString()});
}
