#pragma once
// One time section of the song: the range of ticks a conversion run
// processes, owned by the time manager. Only the range and the owner are
// kept here so far; the section's own copies of the work data, expression
// data and rule program come with the time manager.
#include "platform/Object.h"
#include "platform/Types.h"

class CArticTimeMgr;

class CArticTimeInfo : public CObject {
    VX_DECLARE_CLASS(CArticTimeInfo)
public:
    explicit CArticTimeInfo(CArticTimeMgr* mgr = nullptr) : m_pTimeMgr(mgr) {}
    ~CArticTimeInfo() override = default;
    CArticTimeInfo(const CArticTimeInfo&) = delete;
    CArticTimeInfo& operator=(const CArticTimeInfo&) = delete;

    virtual CArticTimeMgr* GetTimeMgr() const { return m_pTimeMgr; }
    // Start and end of the section in ticks.
    virtual INT64 GetTimeS() const { return m_TimeS; }
    virtual INT64 GetTimeE() const { return m_TimeE; }
    virtual void SetTimeS(INT64 time) { m_TimeS = time; }
    virtual void SetTimeE(INT64 time) { m_TimeE = time; }

private:
    CArticTimeMgr* m_pTimeMgr;  // not owned: the owner
    INT64 m_TimeS = 0;
    INT64 m_TimeE = 0;
};
