#include "host/PosObj.h"

#include <new>

VX_IMPLEMENT_CLASS(CPosObj, CObject);

CObject* CPosObj::CreateObject() { return new (std::nothrow) CPosObj(); }

POSITION CEventSortList::InsertSorted(CSongEvent* event) {
    if (!event) return nullptr;
    const INT64 time = event->GetTime();
    try {
        for (POSITION pos = GetTailPosition(); pos;) {
            POSITION at = pos;
            if (GetPrev(pos)->GetTime() <= time) return InsertAfter(at, event);
        }
        return AddHead(event);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
