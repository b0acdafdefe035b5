// Parameter writers of the tempo expressions.
#include <cinttypes>

#include "engine/expressions/ArticExpTempo.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

// A tick time written whole, 64 bits wide.
CString TempoTickText(INT64 value) {
    CString text;
    text.Format("%" PRId64, static_cast<int64_t>(value));
    return text;
}

// The position of a point tempo by its form: the triple, the tick time, or nothing.
void AddTempoPointItem(const CArticExpTempo* evnt, CStringList& items) {
    if (evnt->GetEvntType() == 1)
        items.AddTail(CArticExpUtil::MeasText(evnt->GetMeas()));
    else if (evnt->GetEvntType() == 2)
        items.AddTail(TempoTickText(evnt->GetTime()));
}

// Type, the notes, Mag and the length of the fermata or the breath.
template <class T>
int TempoNoteItems(T* evnt, ULONG length, CStringList& items) {
    CStringList out;
    out.AddTail(CArticExpUtil::LongText(evnt->GetType()));
    if (int rc = CArticExpUtil::AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    out.AddTail(CArticExpUtil::LongText(evnt->GetMag()));
    out.AddTail(CArticExpUtil::ULongText(length));
    items.AddTail(out);
    return 0;
}

}  // namespace

int CArticExpUtil::GetExpTempoAbsParam(CArticExpTempoAbs* evnt, CStringList& items) {
    if (!evnt) return 1;
    items.AddTail(LongText(evnt->GetType()));
    AddTempoPointItem(evnt, items);
    items.AddTail(LongText(evnt->GetTickPerBeat()));
    items.AddTail(LongText(evnt->GetTempo()));
    return 0;
}

int CArticExpUtil::GetExpTempoAbsRelParam(CArticExpTempoAbsRel* evnt, CStringList& items) {
    if (!evnt) return 1;
    items.AddTail(LongText(evnt->GetType()));
    AddTempoPointItem(evnt, items);
    return 0;
}

int CArticExpUtil::GetExpTempoRelFixParam(CArticExpTempoRelFix* evnt, CStringList& items) {
    if (!evnt) return 1;
    items.AddTail(LongText(evnt->GetType()));
    AddTempoPointItem(evnt, items);
    items.AddTail(LongText(evnt->GetMag()));
    return 0;
}

int CArticExpUtil::GetExpTempoRelCrvParam(CArticExpTempoRelCrv* evnt, CStringList& items) {
    if (!evnt) return 1;
    const BYTE form = evnt->GetEvntType();
    items.AddTail(LongText(evnt->GetType()));
    if (form == 1 || form == 2)
        items.AddTail(MeasText(evnt->GetMeas()));
    else if (form == 3)
        items.AddTail(TempoTickText(evnt->GetTime()));
    if (form == 1)
        items.AddTail(MeasText(evnt->GetEndMeas()));
    else if (form == 2 || form == 3)
        items.AddTail(TempoTickText(evnt->GetTimeW()));
    items.AddTail(LongText(evnt->GetStartMag()));
    items.AddTail(LongText(evnt->GetEndMag()));
    items.AddTail(LongText(evnt->GetCurve()));
    items.AddTail(LongText(evnt->GetDevide()));
    return 0;
}

int CArticExpUtil::GetExpTempoFermataParam(CArticExpTempoFermata* evnt, CStringList& items) {
    if (!evnt) return 1;
    return TempoNoteItems(evnt, evnt->GetFermataTime(), items);
}

int CArticExpUtil::GetExpTempoBreathParam(CArticExpTempoBreath* evnt, CStringList& items) {
    if (!evnt) return 1;
    return TempoNoteItems(evnt, evnt->GetBreathTime(), items);
}
