// Parameter writers of the controller stress and re-levelling expressions.
#include "engine/expressions/ArticExpStresCont.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

using ContU = CArticExpUtil;

// Type, the start position and, by the event type, the end position or the
// width (nothing for another type).
void ContCcAreaItems(CArticExpStresContCcTimeRel* e, CStringList& items) {
    items.AddTail(ContU::LongText(e->GetType()));
    items.AddTail(ContU::MeasText(e->GetMeas()));
    if (e->GetEvntType() == 1) items.AddTail(ContU::MeasText(e->GetEndMeas()));
    else if (e->GetEvntType() == 2) items.AddTail(ContU::ULongText(e->GetTimeW()));
    items.AddTail(ContU::LongText(e->GetContNo()));
}

}  // namespace

int CArticExpUtil::GetExpStresContCcTimeAbsParam(CArticExpStresContCcTimeAbs* evnt, CStringList& items) {
    if (!evnt) return 1;
    items.AddTail(LongText(evnt->GetType()));
    items.AddTail(MeasText(evnt->GetMeas()));
    items.AddTail(LongText(evnt->GetContNo()));
    items.AddTail(LongText(evnt->GetContVal()));
    return 0;
}

int CArticExpUtil::GetExpStresContCcTimeRelFixParam(CArticExpStresContCcTimeRelFix* evnt, CStringList& items) {
    if (!evnt) return 1;
    items.AddTail(LongText(evnt->GetType()));
    items.AddTail(MeasText(evnt->GetMeas()));
    items.AddTail(LongText(evnt->GetContNo()));
    items.AddTail(LongText(evnt->GetAdd()));
    return 0;
}

int CArticExpUtil::GetExpStresContCcTimeRelAreaFixParam(CArticExpStresContCcTimeRelAreaFix* evnt,
                                                        CStringList& items) {
    if (!evnt) return 1;
    ContCcAreaItems(evnt, items);
    items.AddTail(LongText(evnt->GetMag()));
    items.AddTail(LongText(evnt->GetAdd()));
    return 0;
}

int CArticExpUtil::GetExpStresContCcTimeRelCrvParam(CArticExpStresContCcTimeRelCrv* evnt, CStringList& items) {
    if (!evnt) return 1;
    ContCcAreaItems(evnt, items);
    items.AddTail(LongText(evnt->GetStartAdd()));
    items.AddTail(LongText(evnt->GetEndAdd()));
    items.AddTail(LongText(evnt->GetCurve()));
    items.AddTail(LongText(evnt->GetDevide()));
    return 0;
}

int CArticExpUtil::GetExpStresContCcNoteCrvParam(CArticExpStresContCcNoteCrv* e, CStringList& items) {
    if (!e) return 1;
    return AddNotesThen(e, items,
                        {LongText(e->GetType()), LongText(e->GetContNo()), LongText(e->GetStart()),
                         LongText(e->GetEnd()), LongText(e->GetStartAdd()), LongText(e->GetEndAdd()),
                         LongText(e->GetCurve()), LongText(e->GetDevide())});
}

int CArticExpUtil::GetExpStresContCcNoteCreAbsParam(CArticExpStresContCcNoteCreAbs* e, CStringList& items) {
    if (!e) return 1;
    return AddNotesThen(e, items,
                        {LongText(e->GetType()), LongText(e->GetContNo()), LongText(e->GetTime()),
                         LongText(e->GetVal())});
}

int CArticExpUtil::GetExpStresContCcNoteCreAbs2Param(CArticExpStresContCcNoteCreAbs2* e, CStringList& items) {
    if (!e) return 1;
    return AddNotesThen(e, items,
                        {LongText(e->GetType()), LongText(e->GetContNo()), LongText(e->GetTime()),
                         LongText(e->GetTimeR()), LongText(e->GetVal())});
}

int CArticExpUtil::GetExpStresContCcNoteCreRelParam(CArticExpStresContCcNoteCreRel* e, CStringList& items) {
    if (!e) return 1;
    return AddNotesThen(e, items,
                        {LongText(e->GetType()), LongText(e->GetContNo()), LongText(e->GetTime()),
                         LongText(e->GetAdd())});
}

int CArticExpUtil::GetExpStresContCcNoteCreRel2Param(CArticExpStresContCcNoteCreRel2* e, CStringList& items) {
    if (!e) return 1;
    return AddNotesThen(e, items,
                        {LongText(e->GetType()), LongText(e->GetContNo()), LongText(e->GetTime()),
                         LongText(e->GetTimeR()), LongText(e->GetAdd())});
}

int CArticExpUtil::GetExpOrgContCcParam(CArticExpOrgContCc* e, CStringList& items) {
    if (!e) return 1;
    return AddNotesThen(e, items,
                        {LongText(e->GetType()), LongText(e->GetStart()), LongText(e->GetEnd()),
                         LongText(e->GetContNo()), LongText(e->GetOffset()), LongText(e->GetMag())});
}
