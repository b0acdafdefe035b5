// Parameter writers of the multiple-stop expressions.
#include "engine/expressions/ArticExpStop.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

void StopValues(const CArticExpArrayStop* evnt, CStringList& items) {
    items.AddTail(CArticExpUtil::LongText(evnt->GetDirection()));
    items.AddTail(CArticExpUtil::LongText(LONG(evnt->GetDirectionTime())));
    items.AddTail(CArticExpUtil::LongText(LONG(evnt->GetAllowableTime())));
}

}  // namespace

int CArticExpUtil::GetExpArrayStopParam(CArticExpArrayStop* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    StopValues(evnt, out);
    items.AddTail(out);
    return 0;
}

int CArticExpUtil::GetExpArrayUsrStopParam(CArticExpArrayUsrStop* evnt, CStringList& items) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    out.AddTail(QuotedText(evnt->GetStrDummy()));
    out.AddTail(ULongText(evnt->GetDummy()));
    out.AddTail(MeasText(evnt->GetMeas()));
    out.AddTail(MeasText(evnt->GetEndMeas()));
    StopValues(evnt, out);
    items.AddTail(out);
    return 0;
}
