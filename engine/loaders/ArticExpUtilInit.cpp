// Parameter writers of the initialisation expressions.
#include "engine/expressions/ArticExpInit.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

// The position item: the triple in the position form, the ticks in the tick form.
void AddPosition(const CArticExpInit* evnt, CStringList& items) {
    if (evnt->GetEvntType() == 1 && evnt->GetMeas()) items.AddTail(CArticExpUtil::MeasText(*evnt->GetMeas()));
    if (evnt->GetEvntType() == 2) {
        CString ticks;
        ticks.Format("%lld", (long long)evnt->GetTimeValue());
        items.AddTail(ticks);
    }
}

template <class T>
void AddBlockNumbers(const T* evnt, CStringList& items) {
    items.AddTail(CArticExpUtil::ULongText(evnt->GetTrkNo()));
    items.AddTail(CArticExpUtil::ULongText(evnt->GetBlkNo()));
}

template <class T>
void AddHexTexts(const T* evnt, CStringList& items, bool withModel) {
    if (withModel) items.AddTail(CArticExpUtil::QuotedText(evnt->GetModelID()));
    items.AddTail(CArticExpUtil::QuotedText(evnt->GetPrmAdrs()));
    items.AddTail(CArticExpUtil::QuotedText(evnt->GetPrmData()));
}

template <class T>
void AddVoice(const T* evnt, CStringList& items) {
    items.AddTail(CArticExpUtil::ULongText(evnt->GetBsMsb()));
    items.AddTail(CArticExpUtil::ULongText(evnt->GetBsLsb()));
    items.AddTail(CArticExpUtil::ULongText(evnt->GetProgNo()));
}

// The note list and the offset of the per-note classes, then rest.
template <class T, class Rest>
int PerNoteItems(T* evnt, CStringList& items, Rest rest) {
    if (!evnt) return 1;
    CStringList out;
    if (int rc = CArticExpUtil::AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    out.AddTail(CArticExpUtil::LongText(evnt->GetTime()));
    rest(out);
    items.AddTail(out);
    return 0;
}

}  // namespace

int CArticExpUtil::GetExpInitPrmChangeParam(CArticExpInitPrmChange* evnt, CStringList& items) {
    if (!evnt) return 1;
    AddPosition(evnt, items);
    AddHexTexts(evnt, items, true);
    return 0;
}

int CArticExpUtil::GetExpInitPrmChange2Param(CArticExpInitPrmChange2* evnt, CStringList& items) {
    if (!evnt) return 1;
    AddBlockNumbers(evnt, items);
    AddPosition(evnt, items);
    AddHexTexts(evnt, items, true);
    return 0;
}

int CArticExpUtil::GetExpInitPrmChange3Param(CArticExpInitPrmChange3* evnt, CStringList& items) {
    return PerNoteItems(evnt, items, [&](CStringList& out) { AddHexTexts(evnt, out, true); });
}

int CArticExpUtil::GetExpInitPrmChangeKvParam(CArticExpInitPrmChangeKv* evnt, CStringList& items) {
    if (!evnt) return 1;
    AddPosition(evnt, items);
    AddHexTexts(evnt, items, false);
    return 0;
}

int CArticExpUtil::GetExpInitPrmChangeKv2Param(CArticExpInitPrmChangeKv2* evnt, CStringList& items) {
    if (!evnt) return 1;
    AddBlockNumbers(evnt, items);
    AddPosition(evnt, items);
    AddHexTexts(evnt, items, false);
    return 0;
}

int CArticExpUtil::GetExpInitPrmChangeKv3Param(CArticExpInitPrmChangeKv3* evnt, CStringList& items) {
    return PerNoteItems(evnt, items, [&](CStringList& out) { AddHexTexts(evnt, out, false); });
}

int CArticExpUtil::GetExpInitKvinitParam(CArticExpInitKvinit* evnt, CStringList& items) {
    if (!evnt) return 1;
    AddPosition(evnt, items);
    return 0;
}

int CArticExpUtil::GetExpInitKvinit2Param(CArticExpInitKvinit2* evnt, CStringList& items) {
    if (!evnt) return 1;
    AddBlockNumbers(evnt, items);
    AddPosition(evnt, items);
    return 0;
}

int CArticExpUtil::GetExpInitProParam(CArticExpInitPro* evnt, CStringList& items) {
    if (!evnt) return 1;
    AddPosition(evnt, items);
    AddVoice(evnt, items);
    return 0;
}

int CArticExpUtil::GetExpInitPro2Param(CArticExpInitPro2* evnt, CStringList& items) {
    if (!evnt) return 1;
    AddBlockNumbers(evnt, items);
    AddPosition(evnt, items);
    AddVoice(evnt, items);
    return 0;
}

int CArticExpUtil::GetExpInitPro3Param(CArticExpInitPro3* evnt, CStringList& items) {
    return PerNoteItems(evnt, items, [&](CStringList& out) { AddVoice(evnt, out); });
}

int CArticExpUtil::GetExpInitPbRangeParam(CArticExpInitPbRange* evnt, CStringList& items) {
    if (!evnt) return 1;
    items.AddTail(ULongText(evnt->GetType()));
    AddPosition(evnt, items);
    items.AddTail(ULongText(evnt->GetRange()));
    return 0;
}

int CArticExpUtil::GetExpInitPbRange2Param(CArticExpInitPbRange2* evnt, CStringList& items) {
    if (!evnt) return 1;
    items.AddTail(ULongText(evnt->GetType()));
    AddBlockNumbers(evnt, items);
    AddPosition(evnt, items);
    items.AddTail(ULongText(evnt->GetRange()));
    return 0;
}

int CArticExpUtil::GetExpInitPbRange3Param(CArticExpInitPbRange3* evnt, CStringList& items) {
    return PerNoteItems(evnt, items, [&](CStringList& out) { out.AddTail(ULongText(evnt->GetRange())); });
}
