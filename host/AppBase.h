#pragma once
// The start-up and shutdown protocol of the engine's application object: it
// is initialised once, by the first start, and shut down once, by the stop
// that follows.
#include <mutex>

#include "platform/Object.h"

class CAppBase : public CObject {
    VX_DECLARE_CLASS(CAppBase)
public:
    CAppBase() = default;
    ~CAppBase() override = default;
    CAppBase(const CAppBase&) = delete;
    CAppBase& operator=(const CAppBase&) = delete;

    // Runs InitApplication and InitInstance unless the application is already
    // running; 1 when it runs afterwards. A failed start is undone with
    // ExitInstance, and a later Start tries again.
    int Start();
    // Runs ExitInstance when the application is running and returns its exit
    // code; 0 when it was not running.
    int Stop();
    bool IsRunning() const;

protected:
    virtual int InitApplication() { return 1; }
    virtual int InitInstance() { return 1; }
    virtual int ExitInstance() { return 0; }

private:
    mutable std::mutex m_Mutex;
    bool m_Running = false;
};
