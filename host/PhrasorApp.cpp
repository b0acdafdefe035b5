#include "host/PhrasorApp.h"

#include <new>

#include "platform/Paths.h"

VX_IMPLEMENT_CLASS(CPhrasorApp, CAppBase);

CPhrasorApp::~CPhrasorApp() { Stop(); }

void CPhrasorApp::OverrideProgramFolder(const CString& folder) {
    m_FolderOverride = folder;
    m_ProgramFolder = folder.IsEmpty() ? ::GetProgramFolder() : folder;
}

int CPhrasorApp::InitInstance() {
    m_ProgramFolder = m_FolderOverride.IsEmpty() ? ::GetProgramFolder() : m_FolderOverride;
    try {
        m_pPluginEnumrater.reset(new CPluginEnumrater());
        m_pInputPortMap.reset(new CMidiPortMap());
        m_pOutputPortMap.reset(new CMidiPortMap());
    } catch (const std::bad_alloc&) {
        return 0;
    }
    // The tone map is optional: without memory for it the application still starts.
    m_pToneMap.reset(new (std::nothrow) CToneMap());
    return 1;
}

int CPhrasorApp::ExitInstance() {
    if (m_pToneMap && m_pOutputPortMap) m_pToneMap->Merge(*m_pOutputPortMap);
    DeleteContainers();
    return 0;
}

void CPhrasorApp::DeleteContainers() {
    m_pToneMap.reset();
    m_pPluginEnumrater.reset();
    m_pInputPortMap.reset();
    m_pOutputPortMap.reset();
}

CPhrasorApp& GetPhrasorApp() {
    static CPhrasorApp app;
    return app;
}
