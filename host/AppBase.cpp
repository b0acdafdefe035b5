#include "host/AppBase.h"

VX_IMPLEMENT_CLASS(CAppBase, CObject);

int CAppBase::Start() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_Running) return 1;
    if (InitApplication() && InitInstance()) {
        m_Running = true;
        return 1;
    }
    ExitInstance();
    return 0;
}

int CAppBase::Stop() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_Running) return 0;
    m_Running = false;
    return ExitInstance();
}

bool CAppBase::IsRunning() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Running;
}
