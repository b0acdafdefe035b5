// Parameter writers of the pitch-bend expressions.
#include "engine/expressions/ArticExpPitch.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

int PitchNoteItems(CArticExpPitchNote* e, CStringList& items) {
    if (!e) return 1;
    using U = CArticExpUtil;
    return U::AddNotesThen(e, items,
                           {U::LongText(e->GetType()), U::LongText(e->GetStart()), U::LongText(e->GetEnd()),
                            U::LongText(e->GetStartAdd()), U::LongText(e->GetEndAdd()), U::LongText(e->GetCurve()),
                            U::LongText(e->GetDevide())});
}

int PitchGtrItems(CArticExpPitchGtr* e, CStringList& items) {
    if (!e) return 1;
    using U = CArticExpUtil;
    return U::AddNotesThen(e, items,
                           {U::LongText(e->GetType()), U::LongText(e->GetStartTime()), U::LongText(e->GetEndTime()),
                            U::LongText(e->GetUpCurve()), U::LongText(e->GetDownCurve()), U::LongText(e->GetDevide())});
}

}  // namespace

int CArticExpUtil::GetExpPitchCrvParam(CArticExpPitchCrv* evnt, CStringList& items) {
    if (!evnt) return 1;
    items.AddTail(LongText(evnt->GetType()));
    items.AddTail(MeasText(evnt->GetMeas()));
    if (evnt->GetEvntType() == 1) items.AddTail(MeasText(evnt->GetEndMeas()));
    else if (evnt->GetEvntType() == 2) items.AddTail(ULongText(evnt->GetTimeW()));
    items.AddTail(LongText(evnt->GetStartAdd()));
    items.AddTail(LongText(evnt->GetEndAdd()));
    items.AddTail(LongText(evnt->GetCurve()));
    items.AddTail(LongText(evnt->GetDevide()));
    return 0;
}

int CArticExpUtil::GetExpPitchCrv2Param(CArticExpPitchCrv2* evnt, CStringList& items) {
    return PitchNoteItems(evnt, items);
}

int CArticExpUtil::GetExpPitchSlideParam(CArticExpPitchSlide* evnt, CStringList& items) {
    return PitchNoteItems(evnt, items);
}

int CArticExpUtil::GetExpPitchSlide2Param(CArticExpPitchSlide2* evnt, CStringList& items) {
    return PitchNoteItems(evnt, items);
}

int CArticExpUtil::GetExpPitchGtrBendParam(CArticExpPitchGtrBend* evnt, CStringList& items) {
    return PitchGtrItems(evnt, items);
}

int CArticExpUtil::GetExpPitchGtrSlideParam(CArticExpPitchGtrSlide* evnt, CStringList& items) {
    return PitchGtrItems(evnt, items);
}
