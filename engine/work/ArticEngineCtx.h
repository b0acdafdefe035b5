#pragma once
// The process-wide state of the event operations for the conversion that is
// running: the expression whose phase is being converted (failing operations
// report to it) and the fingering flag. One conversion runs at a time, so a
// single instance serves the process; tests put it back with Reset.
#include "platform/String.h"

class CArticExpEvnt;

class CArticEngineCtx {
public:
    static CArticEngineCtx& Get();

    CArticExpEvnt* GetExpEvnt() const { return m_pExpEvnt; }
    void SetExpEvnt(CArticExpEvnt* evnt) { m_pExpEvnt = evnt; }
    int GetFng() const { return m_Fng; }
    void SetFng(int fng) { m_Fng = fng; }

    // Hands one failure to the current expression, which shows only its first
    // one; nothing happens without a current expression. Always 1.
    int Report(const CString& phase, const CString& reason, const CString& location, const CString& detail);

    // Back to the state at start: no expression, fingering flag 0.
    void Reset();

private:
    CArticEngineCtx() = default;

    CArticExpEvnt* m_pExpEvnt = nullptr;  // not owned
    int m_Fng = 0;
};
