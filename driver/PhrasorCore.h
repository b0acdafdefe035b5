#pragma once
// The engine's side of the door to the user interface: one conversion
// driver, one song document and the bytes of the last conversion.
#include "driver/PhrasorCoreIF.h"
#include "platform/Object.h"
#include "platform/String.h"

class CPhrasorProc;

class CPhrasorCoreImpl : public CObject, public CPhrasorCoreIF {
    VX_DECLARE_CLASS(CPhrasorCoreImpl)
public:
    // startApplication: the core starts the engine's application object
    // (which sets the program folder) and its end stops it.
    explicit CPhrasorCoreImpl(bool startApplication);
    // Frees the output, then deletes the driver and the document.
    ~CPhrasorCoreImpl() override;
    CPhrasorCoreImpl(const CPhrasorCoreImpl&) = delete;
    CPhrasorCoreImpl& operator=(const CPhrasorCoreImpl&) = delete;

    void CreateProc() override;
    void DeleteProc() override;
    void InitProc(CKPSManager* host, int flag) override;
    void ResetPortName(int ignored) override;
    void CreateDoc() override;
    void DeleteDoc() override;
    // The stored document is the core's from then on (DeleteDoc, CreateDoc
    // or the core's end delete it); the one it replaces is left alone. The
    // driver is set up on the new one, as CreateDoc sets it up.
    void SetDoc(CPhrasorDoc* doc) override;
    int CheckLibFiles() override;
    int Convert(BYTE** bytes, DWORD* size) override;
    void SetResolution(LONG ticks) override;
    CPHConvPrm* GetConvPrm() override;
    void ClearScriptLines() override;
    void AddScriptLine(const char* text, LONG length) override;
    int GetScriptLineCount() override;

    // Whether this core started the application object.
    bool StartedApplication() const { return m_AppStarted != 0; }
    CPhrasorProc* GetProc() const { return m_pProc; }
    CPhrasorDoc* GetDoc() const { return m_pDoc; }
    // Why the last Convert failed ("Data Load Error!!", the driver's reason,
    // "Data Save Error!!" when the result cannot be written as an SMF,
    // ...); empty after a success or a refusal without a message.
    const CString& GetMessage() const { return m_Message; }

private:
    // The driver's parameters when both objects exist.
    CPHConvPrm* ReadyConvPrm() const;
    void FreeOutput();

    CPhrasorProc* m_pProc = nullptr;  // owned
    CPhrasorDoc* m_pDoc = nullptr;    // owned
    LONG m_AppStarted = 0;
    BYTE* m_pOutput = nullptr;  // owned (malloc'ed by the song writer)
    DWORD m_OutputLength = 0;
    CString m_Message;
};
