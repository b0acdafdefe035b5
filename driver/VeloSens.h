#pragma once
// The velocity sensitivity a song gives a part with KV part exclusives, over
// time: depth and offset settings in time order. The song walk converts every
// note's velocity through it, so the work data holds the velocities the
// song's receiver would play.
#include <memory>

#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/Types.h"

class CVeloSensEvnt : public CObject {
    VX_DECLARE_CLASS(CVeloSensEvnt)
public:
    static constexpr signed char kDepth = 0;
    static constexpr signed char kOffset = 1;

    CVeloSensEvnt() = default;
    CVeloSensEvnt(signed char kind, INT64 time, BYTE value) : m_Kind(kind), m_Time(time), m_Value(value) {}
    ~CVeloSensEvnt() override = default;

    signed char GetKind() const { return m_Kind; }
    INT64 GetTime() const { return m_Time; }
    BYTE GetValue() const { return m_Value; }
    void SetKind(signed char kind) { m_Kind = kind; }
    void SetTime(INT64 time) { m_Time = time; }
    void SetValue(BYTE value) { m_Value = value; }

private:
    signed char m_Kind = kDepth;
    INT64 m_Time = 0;  // engine ticks
    BYTE m_Value = 64;
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
