// Parameter writers of the velocity stress expressions.
#include "engine/expressions/ArticExpStresVelo.h"
#include "engine/loaders/ArticExpUtil.h"

int CArticExpUtil::GetExpStresVeloNoteAbsParam(CArticExpStresVeloNoteAbs* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    out.AddTail(LongText(evnt->GetVelo()));
    items.AddTail(out);
    return 0;
}

int CArticExpUtil::GetExpStresVeloNoteRelParam(CArticExpStresVeloNoteRel* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    out.AddTail(LongText(evnt->GetAdd()));
    items.AddTail(out);
    return 0;
}

int CArticExpUtil::GetExpStresVeloTimeAbsParam(CArticExpStresVeloTimeAbs* evnt, CStringList& items) {
    if (!evnt) return 1;
    items.AddTail(LongText(evnt->GetType()));
    items.AddTail(MeasText(evnt->GetMeas()));
    items.AddTail(LongText(evnt->GetVelo()));
    return 0;
}

int CArticExpUtil::GetExpStresVeloTimeRelParam(CArticExpStresVeloTimeRel* evnt, CStringList& items) {
    if (!evnt) return 1;
    items.AddTail(LongText(evnt->GetType()));
    items.AddTail(MeasText(evnt->GetMeas()));
    items.AddTail(LongText(evnt->GetAdd()));
    return 0;
}

int CArticExpUtil::GetExpStresVeloTimeRelCrvParam(CArticExpStresVeloTimeRelCrv* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    out.AddTail(LongText(evnt->GetType()));
    if (int rc = AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    out.AddTail(MeasText(evnt->GetMeas()));
    if (evnt->GetEvntType() == 1) out.AddTail(MeasText(evnt->GetEndMeas()));
    if (evnt->GetEvntType() == 2) out.AddTail(LongText(LONG(evnt->GetTimeW())));
    out.AddTail(LongText(evnt->GetStartAdd()));
    out.AddTail(LongText(evnt->GetEndAdd()));
    out.AddTail(LongText(evnt->GetCurve()));
    items.AddTail(out);
    return 0;
}
