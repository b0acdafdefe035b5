#pragma once
// The user interface's only owner of the conversion engine's core: made once
// for the program's life, shared by the main window and the conversion
// worker, and deleted with its last owner. Every operation tolerates a
// missing core and answers in the user interface's result codes.
#include <QByteArray>
#include <functional>

#include "platform/Types.h"

class CPhrasorCoreIF;
class CPHConvPrm;

class CoreHolder {
public:
    static constexpr int kNoCore = int(0x80000001);
    static constexpr int kCoreFailed = int(0x80000002);

    // How the holder makes and ends its core. create gets the program's module
    // token (never null); a null answer leaves the holder without a core.
    struct CoreFactory {
        std::function<CPhrasorCoreIF*(void* moduleHandle)> create;
        std::function<void(CPhrasorCoreIF* core)> destroy;
    };

    // The engine's own core (CreatePhrasorCore, DeletePhrasorCore).
    CoreHolder();
    explicit CoreHolder(CoreFactory factory);
    ~CoreHolder();
    CoreHolder(const CoreHolder&) = delete;
    CoreHolder& operator=(const CoreHolder&) = delete;

    // The token the core is made with: an address inside this program.
    static void* ProgramModuleToken();
    bool HasCore() const { return m_pCore != nullptr; }

    // The conversion driver and the song document of one run: made, and ended.
    // A Begin that no End followed is ended when the holder goes.
    void Begin();
    void End();
    // 0 when the required phrase files are present, kCoreFailed when not.
    int CheckLibFiles();
    int SetResolution(LONG ticks);
    // The engine's parameters of the current driver; null without a core, a
    // driver or a document.
    CPHConvPrm* GetConvPrm();
    void ClearScriptLines();
    // length counts the terminating NUL.
    void AddScriptLine(const char* text, LONG length);
    int GetScriptLineCount();
    // Converts one channel of the SMF in data. 0: data holds a copy of the
    // engine's result, its own bytes. kCoreFailed: data keeps its bytes.
    int Convert(QByteArray& data);

private:
    CoreFactory m_Factory;
    CPhrasorCoreIF* m_pCore = nullptr;
    bool m_RunOpen = false;  // a Begin that no End followed yet
};
