#pragma once
// The engine's application object: the program folder and the application-wide
// containers that song documents copy or consult (port maps, plug-in
// enumerator, tone map). One instance per process, reached with GetPhrasorApp.
#include <memory>

#include "host/AppBase.h"
#include "host/MidiPort.h"
#include "host/PluginList.h"
#include "host/ToneMap.h"

class CPhrasorApp : public CAppBase {
    VX_DECLARE_CLASS(CPhrasorApp)
public:
    CPhrasorApp() = default;
    ~CPhrasorApp() override;

    // Drive and directory of the program file, with a trailing separator.
    const CString& GetProgramFolder() const { return m_ProgramFolder; }
    // The seam for tests: a folder (with its trailing separator) that stands
    // for the program's own, at once and at every later start; an empty text
    // goes back to the program's own folder.
    void OverrideProgramFolder(const CString& folder);
    // Null while the application is not running.
    CPluginEnumrater* GetPluginEnumrater() const { return m_pPluginEnumrater.get(); }
    CMidiPortMap* GetInputPortMap() const { return m_pInputPortMap.get(); }
    CMidiPortMap* GetOutputPortMap() const { return m_pOutputPortMap.get(); }
    // Null also when it could not be made; the application runs without it.
    CToneMap* GetToneMap() const { return m_pToneMap.get(); }

protected:
    int InitInstance() override;
    int ExitInstance() override;

private:
    void DeleteContainers();

    CString m_ProgramFolder;
    CString m_FolderOverride;  // empty: the program's own folder
    CString m_Text2;
    CString m_Text3;
    LONG m_Word1 = 0;
    LONG m_Word2 = 0;
    std::unique_ptr<CPluginEnumrater> m_pPluginEnumrater;
    std::unique_ptr<CMidiPortMap> m_pInputPortMap;
    std::unique_ptr<CMidiPortMap> m_pOutputPortMap;
    LONG m_Word3 = 0;
    std::unique_ptr<CToneMap> m_pToneMap;
};

// The process's one application object.
CPhrasorApp& GetPhrasorApp();
