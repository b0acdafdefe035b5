#pragma once
// The one door between the user interface and the conversion engine: the
// user interface sees only this abstract class and the two exported
// functions. Behind it the core owns one conversion driver and one song
// document, converts one channel of an SMF held in memory per Convert and
// keeps the bytes of its last result until the next Convert.
//
// Every operation runs on the caller's thread; the core has no lock.
#include "platform/Types.h"

class CKPSManager;
class CPhrasorDoc;
class CPHConvPrm;

class CPhrasorCoreIF {
public:
    virtual ~CPhrasorCoreIF() = default;

    // The conversion driver: a new one (an existing one is deleted first), and its end.
    virtual void CreateProc() = 0;
    virtual void DeleteProc() = 0;
    // With a driver: its processing object, the host interface and (flag not 0)
    // its channel pipeline. Called by CreateDoc.
    virtual void InitProc(CKPSManager* host, int flag) = 0;
    // With a driver: its port names rebuilt from the host interface (the argument is ignored).
    virtual void ResetPortName(int ignored) = 0;
    // The song document: a new one (an existing one is deleted first), then
    // InitProc with its host interface; and its end.
    virtual void CreateDoc() = 0;
    virtual void DeleteDoc() = 0;
    // Stores the pointer as the document (the one replaced is not deleted)
    // and, with a driver, InitProc with its host interface.
    virtual void SetDoc(CPhrasorDoc* doc) = 0;
    // 1 when the five required phrase files are present, else 0.
    virtual int CheckLibFiles() = 0;
    // Converts one channel of the SMF (*bytes, *size). On success (1) both
    // name the core's output buffer, valid until the next Convert or the
    // core's end: the caller copies it. On failure (0) the caller's bytes and
    // size stay. The input bytes are never freed or written.
    virtual int Convert(BYTE** bytes, DWORD* size) = 0;
    // With a driver: the analysis resolution.
    virtual void SetResolution(LONG ticks) = 0;
    // The driver's conversion parameters; null without a document or a driver.
    virtual CPHConvPrm* GetConvPrm() = 0;
    // The rule-script lines of those parameters (with a document and a
    // driver): emptied, one appended (the length counts the terminating NUL),
    // and counted (0 without them).
    virtual void ClearScriptLines() = 0;
    virtual void AddScriptLine(const char* text, LONG length) = 0;
    virtual int GetScriptLineCount() = 0;
};

// The program's exports. With a module handle (not null) the engine's
// once-per-process start runs and the core's end stops it; without one
// neither happens. Null when the core could not be made.
CPhrasorCoreIF* CreatePhrasorCore(void* moduleHandle);
// Deletes the core; a null pointer is ignored.
void DeletePhrasorCore(CPhrasorCoreIF* core);
