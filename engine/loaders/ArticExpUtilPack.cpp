// Parameter writers of the packed NRPN and RPN expressions.
#include "engine/expressions/ArticExpPack.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

using PackU = CArticExpUtil;

// The note list item, Type, MSB, LSB, Time, then the value item.
template <class T>
int PackItems(T* e, CStringList& items, LONG last) {
    if (!e) return 1;
    CStringList out;
    if (int rc = PackU::AddNoteListItem(e, e->GetWrkEvntList(), out)) return rc;
    for (LONG v : {LONG(e->GetType()), LONG(e->GetMSB()), LONG(e->GetLSB()), e->GetTime(), last})
        out.AddTail(PackU::LongText(v));
    items.AddTail(out);
    return 0;
}

}  // namespace

int CArticExpUtil::GetExpPackNrpnNoteCreAbsParam(CArticExpPackNrpnNoteCreAbs* e, CStringList& items) {
    return PackItems(e, items, e ? e->GetVal() : 0);
}

int CArticExpUtil::GetExpPackRpnNoteCreAbsParam(CArticExpPackRpnNoteCreAbs* e, CStringList& items) {
    return PackItems(e, items, e ? e->GetVal() : 0);
}

int CArticExpUtil::GetExpPackNrpnNoteCreRelParam(CArticExpPackNrpnNoteCreRel* e, CStringList& items) {
    return PackItems(e, items, e ? e->GetAdd() : 0);
}

int CArticExpUtil::GetExpPackRpnNoteCreRelParam(CArticExpPackRpnNoteCreRel* e, CStringList& items) {
    return PackItems(e, items, e ? e->GetAdd() : 0);
}
