#pragma once
// One track of the song model: its events in time order, owned.
#include <list>
#include <memory>

#include "app/SmfEvnt.h"

class CTrk {
public:
    using EventList = std::list<std::unique_ptr<CEvnt>>;

    CTrk() = default;
    virtual ~CTrk() = default;
    CTrk(const CTrk&) = delete;
    CTrk& operator=(const CTrk&) = delete;

    // The events in time order; events of equal time in the order they were
    // read or inserted. Callers may change an event's fields, but an event
    // whose time changes must be taken out and inserted again (RemoveEvent
    // finds events by the time they stand at).
    const EventList& GetEvents() const { return m_Events; }
    size_t GetCount() const { return m_Events.size(); }
    bool IsEmpty() const { return m_Events.empty(); }

    // Deletes every event.
    int Clear();
    // Adds at the end; 0x80000001 for a null event.
    int Append(std::unique_ptr<CEvnt> evnt);
    // Inserts after the last event that is not later, so equal times keep
    // the order of insertion; 0x80000001 for a null event.
    int InsertSorted(std::unique_ptr<CEvnt> evnt);
    // Inserts before the event at `index` (0 is the front; the count or more
    // appends), whatever the times; 0x80000001 for a null event.
    int InsertAt(size_t index, std::unique_ptr<CEvnt> evnt);
    // Deletes that very event, looked for among the events of its time:
    // 0x80000004 and nothing changed when a later event comes first, 0 when
    // the track does not hold it, 0x80000001 for a null event.
    int RemoveEvent(const CEvnt* evnt);
    // Stable sort by time.
    int SortByTime();
    // Inserts a copy of every event of `other` in time order.
    int CopyEventsFrom(const CTrk& other);
    // Leaves exactly one end-of-track event, at the largest end of the
    // track's events (time 0 for an empty track).
    int RebuildEndOfTrack();

private:
    EventList m_Events;
};
