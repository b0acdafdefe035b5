#pragma once
// Message boxes, the message pump and string resources. The engine never opens
// a window: what it would show goes to a sink that the user interface may
// install (from its own thread-safe code); without one it is dropped.
#include <functional>

#include "platform/String.h"

enum : UINT {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNO = 0x4,
    MB_ICONHAND = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// The sink gets the text, the caption and the style; its answer is returned
// to the caller. Without a sink the answer is IDOK.
using MessageSink = std::function<int(const CString& text, const CString& caption, UINT style)>;
void SetMessageSink(MessageSink sink);
int ShowMessage(const CString& text, const CString& caption = CString(), UINT style = MB_OK);

// Lets pending window messages flow: nothing to do without windows.
inline void PumpMessages() {}

// String resources are not carried: every identifier resolves to "".
inline CString LoadResourceString(UINT /*id*/) { return CString(); }
