#pragma once
// A bar/beat/tick position: bar and beat count from 1, tick from 0.
#include "platform/Object.h"
#include "platform/Types.h"

class CArticMeas : public CObject {
    VX_DECLARE_CLASS(CArticMeas)
public:
    explicit CArticMeas(ULONG meas = 1, ULONG beat = 1, ULONG tick = 0)
        : m_Meas(meas), m_Beat(beat), m_Tick(tick) {}
    CArticMeas(const CArticMeas& src) = default;
    CArticMeas& operator=(const CArticMeas& src) = default;

    virtual void Get(ULONG* meas, ULONG* beat, ULONG* tick) const;
    virtual ULONG GetMeas() const { return m_Meas; }
    virtual ULONG GetBeat() const { return m_Beat; }
    virtual ULONG GetTick() const { return m_Tick; }
    virtual void Set(ULONG meas, ULONG beat, ULONG tick);
    virtual void SetMeas(ULONG meas) { m_Meas = meas; }
    virtual void SetBeat(ULONG beat) { m_Beat = beat; }
    virtual void SetTick(ULONG tick) { m_Tick = tick; }

private:
    ULONG m_Meas;
    ULONG m_Beat;
    ULONG m_Tick;
};
