// Parameter writers of the layer expressions.
#include "engine/expressions/ArticExpLayer.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

int LayerNoteItems(CArticExpLayerNote1* evnt, CStringList& items) {
    return CArticExpUtil::AddNotesThenNumbers(
        evnt, items,
        {evnt->GetType(), evnt->GetLayer(), evnt->GetTime(), LONG(evnt->GetDur()), evnt->GetKey(), evnt->GetVelo(),
         evnt->GetBSelMSB(), evnt->GetBSelLSB(), evnt->GetProNo()});
}

}  // namespace

int CArticExpUtil::GetExpLayerBow1Param(CArticExpLayerBow1* evnt, CStringList& items) {
    if (!evnt) return 1;
    return AddNotesThenNumbers(evnt, items, {evnt->GetType(), evnt->GetDevSize()});
}

int CArticExpUtil::GetExpLayerBow2Param(CArticExpLayerBow2* evnt, CStringList& items) {
    if (!evnt) return 1;
    return AddNotesThenNumbers(evnt, items, {evnt->GetType(), evnt->GetLayer(), evnt->GetDevSize()});
}

int CArticExpUtil::GetExpLayerNote1Param(CArticExpLayerNote1* evnt, CStringList& items) {
    if (!evnt) return 1;
    return LayerNoteItems(evnt, items);
}

int CArticExpUtil::GetExpLayerNote2Param(CArticExpLayerNote2* evnt, CStringList& items) {
    if (!evnt) return 1;
    if (int rc = LayerNoteItems(evnt, items)) return rc;
    return AddNoteListItem(evnt, evnt->GetWrkEvntList2(), items);
}
