// Parameter writers of the turn and trill expressions.
#include "engine/expressions/ArticExpOrnament.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

template <class T>
int SemitoneTurnItems(T* evnt, CStringList& items) {
    if (!evnt) return 1;
    return CArticExpUtil::AddNotesThenNumbers(evnt, items, {evnt->GetType(), evnt->GetUpNote(), evnt->GetDownNote()});
}

template <class T>
int DiatonicTurnItems(T* evnt, CStringList& items) {
    if (!evnt) return 1;
    return CArticExpUtil::AddNotesThenNumbers(
        evnt, items, {evnt->GetType(), evnt->GetTemp(), evnt->GetUpShift(), evnt->GetDownShift()});
}

}  // namespace

int CArticExpUtil::GetExpArrayTurn1Param(CArticExpArrayTurn1* evnt, CStringList& items) {
    return SemitoneTurnItems(evnt, items);
}
int CArticExpUtil::GetExpArrayTurn2Param(CArticExpArrayTurn2* evnt, CStringList& items) {
    return SemitoneTurnItems(evnt, items);
}
int CArticExpUtil::GetExpArrayTurn3Param(CArticExpArrayTurn3* evnt, CStringList& items) {
    return SemitoneTurnItems(evnt, items);
}
int CArticExpUtil::GetExpArrayTurn4Param(CArticExpArrayTurn4* evnt, CStringList& items) {
    return DiatonicTurnItems(evnt, items);
}
int CArticExpUtil::GetExpArrayTurn5Param(CArticExpArrayTurn5* evnt, CStringList& items) {
    return DiatonicTurnItems(evnt, items);
}
int CArticExpUtil::GetExpArrayTurn6Param(CArticExpArrayTurn6* evnt, CStringList& items) {
    return DiatonicTurnItems(evnt, items);
}

int CArticExpUtil::GetExpArrayTrill1Param(CArticExpArrayTrill1* evnt, CStringList& items) {
    if (!evnt) return 1;
    return AddNotesThenNumbers(evnt, items,
                               {LONG(evnt->GetTrillTime()), evnt->GetTrillNote(), evnt->GetDownNote(), evnt->GetFront(),
                                LONG(evnt->GetFrontTime()), evnt->GetBack(), LONG(evnt->GetBackTime())});
}

int CArticExpUtil::GetExpArrayTrill2Param(CArticExpArrayTrill2* evnt, CStringList& items) {
    if (!evnt) return 1;
    return AddNotesThenNumbers(evnt, items,
                               {LONG(evnt->GetTrillTime()), evnt->GetTemp(), evnt->GetUpShift(),
                                evnt->GetDownShift(), evnt->GetFront(), LONG(evnt->GetFrontTime()), evnt->GetBack(),
                                LONG(evnt->GetBackTime())});
}
