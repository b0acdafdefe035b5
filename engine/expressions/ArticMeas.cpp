#include "engine/expressions/ArticMeas.h"

VX_IMPLEMENT_CLASS(CArticMeas, CObject);

void CArticMeas::Get(ULONG* meas, ULONG* beat, ULONG* tick) const {
    if (meas) *meas = m_Meas;
    if (beat) *beat = m_Beat;
    if (tick) *tick = m_Tick;
}

void CArticMeas::Set(ULONG meas, ULONG beat, ULONG tick) {
    m_Meas = meas;
    m_Beat = beat;
    m_Tick = tick;
}
