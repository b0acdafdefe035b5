// Parameter writers of the phrase-file paste expressions.
#include <initializer_list>

#include "engine/expressions/ArticExpFileSmf.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

// The note list, the quoted file name, then the numbers: 0 or the list writer's failure.
int FileSmfContItems(CArticExpFile* evnt, CStringList& items, std::initializer_list<LONG> numbers) {
    CStringList out;
    if (int rc = CArticExpUtil::AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    out.AddTail(CArticExpUtil::QuotedText(evnt->GetFileName()));
    for (LONG n : numbers) out.AddTail(CArticExpUtil::LongText(n));
    items.AddTail(out);
    return 0;
}

// The items of a measure-position paste: notes, file, Type, start, the end
// (triple or width) by the form, then the numbers.
int FileSmfMeasItems(CArticExpFileSmf* evnt, CStringList& items, std::initializer_list<LONG> numbers) {
    CStringList out;
    if (int rc = CArticExpUtil::AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    out.AddTail(CArticExpUtil::QuotedText(evnt->GetFileName()));
    out.AddTail(CArticExpUtil::LongText(evnt->GetType()));
    out.AddTail(CArticExpUtil::MeasText(evnt->GetMeas()));
    if (evnt->GetEvntType() == 1)
        out.AddTail(CArticExpUtil::MeasText(evnt->GetEndMeas()));
    else if (evnt->GetEvntType() == 2)
        out.AddTail(CArticExpUtil::ULongText(evnt->GetTimeW()));
    for (LONG n : numbers) out.AddTail(CArticExpUtil::LongText(n));
    items.AddTail(out);
    return 0;
}

}  // namespace

int CArticExpUtil::GetExpFileSmfContCcParam(CArticExpFileSmfContCc* evnt, CStringList& items) {
    if (!evnt) return 1;
    return FileSmfMeasItems(evnt, items, {evnt->GetContNo(), evnt->GetMag()});
}

int CArticExpUtil::GetExpFileSmfContPbParam(CArticExpFileSmfContPb* evnt, CStringList& items) {
    if (!evnt) return 1;
    return FileSmfMeasItems(evnt, items, {evnt->GetMag()});
}

int CArticExpUtil::GetExpFileSmfContCc2Param(CArticExpFileSmfContCc2* evnt, CStringList& items) {
    if (!evnt) return 1;
    return FileSmfContItems(evnt, items,
                            {evnt->GetType(), evnt->GetStart(), evnt->GetEnd(), evnt->GetContNo(), evnt->GetMag()});
}

int CArticExpUtil::GetExpFileSmfContCc3Param(CArticExpFileSmfContCc3* evnt, CStringList& items) {
    if (!evnt) return 1;
    return FileSmfContItems(evnt, items,
                            {evnt->GetType(), evnt->GetStart(), evnt->GetEnd(), evnt->GetContNo(), evnt->GetMag(),
                             evnt->GetReso()});
}

int CArticExpUtil::GetExpFileSmfContPb2Param(CArticExpFileSmfContPb2* evnt, CStringList& items) {
    if (!evnt) return 1;
    return FileSmfContItems(evnt, items, {evnt->GetType(), evnt->GetStart(), evnt->GetEnd(), evnt->GetMag()});
}

int CArticExpUtil::GetExpFileSmfContPb3Param(CArticExpFileSmfContPb3* evnt, CStringList& items) {
    if (!evnt) return 1;
    return FileSmfContItems(evnt, items,
                            {evnt->GetType(), evnt->GetStart(), evnt->GetEnd(), evnt->GetMag(), evnt->GetReso()});
}

int CArticExpUtil::GetExpFileSmfContPb4Param(CArticExpFileSmfContPb4* evnt, CStringList& items) {
    if (!evnt) return 1;
    return FileSmfContItems(evnt, items,
                            {evnt->GetType(), evnt->GetStart(), evnt->GetEnd(), evnt->GetMag(), evnt->GetTimeMag(),
                             evnt->GetReso()});
}

int CArticExpUtil::GetExpFileSmfContPbEgParam(CArticExpFileSmfContPbEg* evnt, CStringList& items) {
    if (!evnt) return 1;
    return FileSmfContItems(evnt, items,
                            {evnt->GetType(), evnt->GetStart(), evnt->GetEnd(), evnt->GetMag(),
                             LONG(evnt->GetAtkTime()), LONG(evnt->GetRlsTime()), evnt->GetTimeMag(),
                             evnt->GetReso()});
}

int CArticExpUtil::GetExpFileSmfContPbEg2Param(CArticExpFileSmfContPbEg2* evnt, CStringList& items) {
    if (!evnt) return 1;
    return FileSmfContItems(evnt, items,
                            {evnt->GetType(), evnt->GetStart(), evnt->GetEnd(), evnt->GetMag(),
                             LONG(evnt->GetAtkTime()), LONG(evnt->GetRlsTime()), evnt->GetTimeMag(),
                             evnt->GetRandMag(), evnt->GetReso()});
}

int CArticExpUtil::GetExpFileSmfFreeParam(CArticExpFileSmfFree* evnt, CStringList& items) {
    if (!evnt) return 1;
    ULONG meas = 1, beat = 1, tick = 0;
    evnt->GetMeas(&meas, &beat, &tick);
    items.AddTail(QuotedText(evnt->GetFileName()));
    items.AddTail(MeasText(CArticMeas(meas, beat, tick)));
    return 0;
}
