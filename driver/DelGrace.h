#pragma once
// Grace-note marking: on every selected work track, notes that start within
// a small window of the first note of their cluster form a cluster; when one
// of them is much shorter than the longest (a grace note), every note of the
// cluster is marked as graced. Nothing is moved, shortened or deleted.
#include "platform/Object.h"
#include "platform/Types.h"

class CArticWrk;

class CDelGrace : public CObject {
    VX_DECLARE_CLASS(CDelGrace)
public:
    CDelGrace();
    ~CDelGrace() override = default;
    CDelGrace(const CDelGrace&) = delete;
    CDelGrace& operator=(const CDelGrace&) = delete;

    virtual CArticWrk* GetWrk() const { return m_pWrk; }
    virtual INT64 GetMergine() const { return m_Mergine; }
    virtual INT64 GetLongestGrace() const { return m_LongestGrace; }
    virtual double GetMaxGraceRatio() const { return m_MaxGraceRatio; }
    virtual void SetWrk(CArticWrk* wrk) { m_pWrk = wrk; }
    // The largest start distance of a note from its cluster's first note.
    virtual void SetMergine(INT64 ticks) { m_Mergine = ticks; }
    // A grace note's gate is below this ...
    virtual void SetLongestGrace(INT64 ticks) { m_LongestGrace = ticks; }
    // ... and below this fraction of the cluster's longest gate.
    virtual void SetMaxGraceRatio(double ratio) { m_MaxGraceRatio = ratio; }
    // Marks the clusters: 0; 1 without work data or track list, or when a
    // block list is missing (the other blocks are still marked).
    virtual int DelGrace();
    // Work data null, window 20, longest grace 0.
    virtual void Init();

private:
    CArticWrk* m_pWrk = nullptr;  // not owned
    INT64 m_Mergine = 20;
    INT64 m_LongestGrace = 0;
    double m_MaxGraceRatio = 0.4;
};
