// Parameter writers of the phrase-file ornaments.
#include <initializer_list>

#include "engine/expressions/ArticExpFileSmfNote.h"
#include "engine/loaders/ArticExpUtil.h"

namespace {

// The note list(s), the quoted file names, then the numbers: 0 or the list
// writer's failure (after the first list when the second fails).
int SmfNoteItems(CArticExpFileSmfNote* evnt, CArticWrkEvntList* second, std::initializer_list<CString> names,
                 std::initializer_list<LONG> numbers, CStringList& items) {
    CStringList out;
    if (int rc = CArticExpUtil::AddNoteListItem(evnt, evnt->GetWrkEvntList(), out)) return rc;
    if (second) {
        const int rc = CArticExpUtil::AddNoteListItem(evnt, second, out);
        if (rc != 0) {
            items.AddTail(out);
            return rc;
        }
    }
    for (const CString& name : names) out.AddTail(CArticExpUtil::QuotedText(name));
    for (LONG n : numbers) out.AddTail(CArticExpUtil::LongText(n));
    items.AddTail(out);
    return 0;
}

// Turn2 and Mord2: the file, Time, Temp, UpShift, DownShift.
int SmfNoteNeighbourItems(CArticExpFileSmfNote* evnt, CStringList& items) {
    return SmfNoteItems(evnt, nullptr, {evnt->GetFileName()},
                        {LONG(evnt->GetTime()), evnt->GetTemp(), evnt->GetUpShift(), evnt->GetDownShift()}, items);
}

// Glis1 and Arpg: the file and Time.
int SmfNoteTimeItems(CArticExpFileSmfNote* evnt, CStringList& items) {
    return SmfNoteItems(evnt, nullptr, {evnt->GetFileName()}, {LONG(evnt->GetTime())}, items);
}

}  // namespace

int CArticExpUtil::GetExpFileSmfNoteTril2Param(CArticExpFileSmfNoteTril2* evnt, CStringList& items) {
    if (!evnt) return 1;
    return SmfNoteItems(evnt, nullptr, {evnt->GetFrontFileName(), evnt->GetFileName(), evnt->GetBackFileName()},
                        {LONG(evnt->GetTime()), LONG(evnt->GetFrontTime()), LONG(evnt->GetBackTime()),
                         evnt->GetFrontType(), evnt->GetType(), evnt->GetBackType(), evnt->GetTemp(),
                         evnt->GetUpShift(), evnt->GetDownShift()},
                        items);
}

int CArticExpUtil::GetExpFileSmfNoteTril3Param(CArticExpFileSmfNoteTril3* evnt, CStringList& items) {
    if (!evnt) return 1;
    return SmfNoteItems(evnt, nullptr, {evnt->GetFrontFileName(), evnt->GetFileName(), evnt->GetBackFileName()},
                        {LONG(evnt->GetTime()), LONG(evnt->GetFrontTime()), LONG(evnt->GetBackTime()),
                         evnt->GetTemp(), evnt->GetUpShift(), evnt->GetDownShift()},
                        items);
}

int CArticExpUtil::GetExpFileSmfNoteTurnParam(CArticExpFileSmfNoteTurn* evnt, CStringList& items) {
    if (!evnt) return 1;
    return SmfNoteItems(evnt, nullptr, {evnt->GetFileName()},
                        {LONG(evnt->GetTime()), evnt->GetType(), evnt->GetTemp(), evnt->GetUpShift(),
                         evnt->GetDownShift()},
                        items);
}

int CArticExpUtil::GetExpFileSmfNoteTurn2Param(CArticExpFileSmfNoteTurn2* evnt, CStringList& items) {
    if (!evnt) return 1;
    return SmfNoteNeighbourItems(evnt, items);
}

int CArticExpUtil::GetExpFileSmfNoteMord2Param(CArticExpFileSmfNoteMord2* evnt, CStringList& items) {
    if (!evnt) return 1;
    return SmfNoteNeighbourItems(evnt, items);
}

int CArticExpUtil::GetExpFileSmfNoteTrml1Param(CArticExpFileSmfNoteTrml1* evnt, CStringList& items) {
    if (!evnt) return 1;
    return SmfNoteItems(evnt, nullptr, {evnt->GetFileName()},
                        {LONG(evnt->GetTime()), evnt->GetNum(), evnt->GetRandTime(), evnt->GetRandVelo()}, items);
}

int CArticExpUtil::GetExpFileSmfNoteTrml2Param(CArticExpFileSmfNoteTrml2* evnt, CStringList& items) {
    if (!evnt) return 1;
    return SmfNoteItems(evnt, evnt->GetWrkEvntList2(), {evnt->GetFileName()},
                        {LONG(evnt->GetTime()), evnt->GetNum(), evnt->GetRandTime(), evnt->GetRandVelo(),
                         evnt->GetLowVelo(), evnt->GetMidVelo()},
                        items);
}

int CArticExpUtil::GetExpFileSmfNoteGlis1Param(CArticExpFileSmfNoteGlis1* evnt, CStringList& items) {
    if (!evnt) return 1;
    return SmfNoteTimeItems(evnt, items);
}

int CArticExpUtil::GetExpFileSmfNoteArpgParam(CArticExpFileSmfNoteArpg* evnt, CStringList& items) {
    if (!evnt) return 1;
    return SmfNoteTimeItems(evnt, items);
}
