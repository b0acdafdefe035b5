#pragma once
// The velocity sensitivity a song gives a part with KV part exclusives, over
// time: depth and offset settings in time order. The song walk converts every
// note's velocity through it, so the work data holds the velocities the
// song's receiver would play.
#include <memory>

#include "driver/ArticTimeline.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/Types.h"

// A depth (kind 0) or offset (kind 1) setting; a fresh one is a depth of 64 at 0.
class CVeloSensEvnt : public CArticTimelineEvnt {
    VX_DECLARE_CLASS(CVeloSensEvnt)
public:
    static constexpr signed char kDepth = 0;
    static constexpr signed char kOffset = 1;

    CVeloSensEvnt() : CArticTimelineEvnt(kDepth, 0, 64) {}
    CVeloSensEvnt(signed char kind, INT64 time, BYTE value) : CArticTimelineEvnt(kind, time, value) {}
};

using CVeloSensEvntList = CTypedPtrList<CObList, CVeloSensEvnt*>;

class CVeloSens : public CObject {
    VX_DECLARE_CLASS(CVeloSens)
public:
    CVeloSens();
    ~CVeloSens() override;
    CVeloSens(const CVeloSens&) = delete;
    CVeloSens& operator=(const CVeloSens&) = delete;

    // Takes the event; it goes after every event at its time or earlier. Null is ignored.
    void InsertEvnt(CVeloSensEvnt* evnt);
    // The velocity a note at `time` plays: depth × v / 64 + (offset − 64) × 2
    // with the settings made before it (64 and 64 without), kept within 1..127.
    BYTE GetConvVal(INT64 time, BYTE velo) const;
    void ClearVeloSensList();
    // Replaces the events with copies of the given list's events.
    void CopyVeloSensList(const CVeloSensEvntList* list);
    const CVeloSensEvntList* GetVeloSensList() const { return m_pList.get(); }

private:
    std::unique_ptr<CVeloSensEvntList> m_pList;  // owns its events
};
