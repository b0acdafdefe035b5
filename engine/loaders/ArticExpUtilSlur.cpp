// Parameter writers of the slur and tie expressions.
#include "engine/expressions/ArticExpSlur.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

// The note list item and Type, then the given items.
int SlurItems(CArticExpArraySlur* evnt, CStringList& items, std::initializer_list<CString> more) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = CArticExpUtil::AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    out.AddTail(CArticExpUtil::LongText(evnt->GetType()));
    for (const CString& v : more) out.AddTail(v);
    items.AddTail(out);
    return 0;
}

}  // namespace

int CArticExpUtil::GetExpArraySlurPbParam(CArticExpArraySlurPb* evnt, CStringList& items) {
    return SlurItems(evnt, items, {});
}

int CArticExpUtil::GetExpArrayTieParam(CArticExpArrayTie* evnt, CStringList& items) {
    return SlurItems(evnt, items, {});
}

int CArticExpUtil::GetExpArraySlurDurParam(CArticExpArraySlurDur* evnt, CStringList& items) {
    return SlurItems(evnt, items, {evnt ? LongText(evnt->GetGap()) : CString()});
}
