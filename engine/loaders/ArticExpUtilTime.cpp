// Parameter writers of the time-shift, swing and waltz expressions.
#include "engine/expressions/ArticExpTime.h"
#include "engine/loaders/ArticExpUtil.h"

int CArticExpUtil::GetExpTimeSftParam(CArticExpTimeSft* evnt, CStringList& items) {
    if (!evnt) return 1;
    return AddNotesThenNumbers(evnt, items, {evnt->GetTime()});
}

int CArticExpUtil::GetExpTimeSft2Param(CArticExpTimeSft2* evnt, CStringList& items) {
    if (!evnt) return 1;
    return AddNotesThenNumbers(evnt, items, {evnt->GetTime(), evnt->GetType()});
}

int CArticExpUtil::GetExpTimeSwingParam(CArticExpTimeSwing* evnt, CStringList& items) {
    if (!evnt) return 1;
    return AddNotesThenNumbers(evnt, items,
                               {evnt->GetType(), LONG(evnt->GetGroupTime()), evnt->GetDevNum(), evnt->GetPoint(),
                                LONG(evnt->GetPointTime())});
}

int CArticExpUtil::GetExpTimeWaltzParam(CArticExpTimeWaltz* evnt, CStringList& items) {
    if (!evnt) return 1;
    return AddNotesThenNumbers(evnt, items,
                               {evnt->GetType(), LONG(evnt->GetGroupTime()), evnt->GetDevNum(), evnt->GetPoint1(),
                                LONG(evnt->GetPoint1Time()), evnt->GetPoint2(), LONG(evnt->GetPoint2Time())});
}
