#pragma once
// The voice a song gives a part with KV part exclusives, over time: bank MSB,
// bank LSB and program settings in time order, each with the song position of
// the message that made it, so that the messages can be taken out of the song
// once the channel's new voice is written.
#include <memory>

#include "driver/ArticTimeline.h"
#include "host/KPSManager.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/Types.h"

// A bank MSB (kind 1), bank LSB (2) or program (3) setting and the song
// position of the message that made it.
class CPgBselEvnt : public CArticTimelineEvnt {
    VX_DECLARE_CLASS(CPgBselEvnt)
public:
    static constexpr signed char kBankMsb = 1;
    static constexpr signed char kBankLsb = 2;
    static constexpr signed char kProgram = 3;

    CPgBselEvnt() : CArticTimelineEvnt(0, 0, 0) {}
    CPgBselEvnt(signed char kind, INT64 time, BYTE value) : CArticTimelineEvnt(kind, time, value) {}

    void SetEventIDs(POSITION trk, POSITION blk, POSITION evnt) {
        m_Trk = trk;
        m_Blk = blk;
        m_Evnt = evnt;
    }
    void GetEventIDs(POSITION* trk, POSITION* blk, POSITION* evnt) const {
        if (trk) *trk = m_Trk;
        if (blk) *blk = m_Blk;
        if (evnt) *evnt = m_Evnt;
    }

private:
    POSITION m_Trk = nullptr;
    POSITION m_Blk = nullptr;
    POSITION m_Evnt = nullptr;
};

using CPgBselEvntList = CTypedPtrList<CObList, CPgBselEvnt*>;

class CPgBsel : public CObject {
    VX_DECLARE_CLASS(CPgBsel)
public:
    explicit CPgBsel(CKPSManager* host = nullptr);
    ~CPgBsel() override;
    CPgBsel(const CPgBsel&) = delete;
    CPgBsel& operator=(const CPgBsel&) = delete;

    CKPSManager* GetCEditor() const { return m_pHost; }
    void SetCEditor(CKPSManager* host) { m_pHost = host; }

    // Takes the event; it goes after every event at its time or earlier. Null is ignored.
    void InsertEvnt(CPgBselEvnt* evnt);
    // The voice set before `time` (values of 128 and more are not voices);
    // bank MSB 127 for drums, else 0, LSB 0, program 0 without settings.
    void GetPgBselByTime(INT64 time, BYTE* msb, BYTE* lsb, BYTE* pro, int drum) const;
    // Removes from the song the message of every entry that names one (the
    // caller holds the exclusive song lock); the timeline stays as it is.
    // 0, or 1 when the host refused a removal.
    int DeleteAllEvnt();
    void ClearPgBselList();
    // Replaces the events with copies of the given list's events.
    void CopyPgBselList(const CPgBselEvntList* list);
    const CPgBselEvntList* GetPgBselList() const { return m_pList.get(); }

private:
    CKPSManager* m_pHost;                      // not owned
    std::unique_ptr<CPgBselEvntList> m_pList;  // owns its events
};
