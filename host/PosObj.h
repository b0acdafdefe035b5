#pragma once
// Small holders of the song document: a selection entry (CPosObj) and the
// owning object lists CTempList and CEventSortList.
#include "host/SongEvent.h"
#include "platform/Collections.h"

// Where a selected block or event lives; Event is null for a block.
class CPosObj : public CObject {
    VX_DECLARE_CLASS(CPosObj)
public:
    CPosObj() = default;
    CPosObj(POSITION track, POSITION block, POSITION event) : Track(track), Block(block), Event(event) {}
    static CObject* CreateObject();

    POSITION Track = nullptr;
    POSITION Block = nullptr;
    POSITION Event = nullptr;
};

// An object list that deletes its objects when it is destroyed.
class CTempList : public CTypedPtrList<CObList, CObject*> {
public:
    CTempList() = default;
    ~CTempList() override { DeleteAll(); }
    CTempList(const CTempList&) = delete;
    CTempList& operator=(const CTempList&) = delete;
    void DeleteAll() {
        while (!IsEmpty()) delete RemoveHead();
    }
};

// A list of event copies that it owns and deletes when it is destroyed.
class CEventSortList : public CTypedPtrList<CObList, CSongEvent*> {
public:
    CEventSortList() = default;
    ~CEventSortList() override { DeleteAll(); }
    CEventSortList(const CEventSortList&) = delete;
    CEventSortList& operator=(const CEventSortList&) = delete;
    void DeleteAll() {
        while (!IsEmpty()) delete RemoveHead();
    }
    // Inserts after the last event whose time is not later, so events of equal
    // time keep their order of insertion. Null (the event still the caller's)
    // for a null event or no memory.
    POSITION InsertSorted(CSongEvent* event);
};
