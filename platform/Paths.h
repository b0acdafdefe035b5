#pragma once
// Mapping of the engine's Windows-style path texts to this system's paths.
#include <string>

#include "platform/String.h"

// CP932 path text -> native UTF-8 path: decoded first, then every '\' becomes
// '/' (a trail byte 0x5C is never taken for a separator). When the mapped path
// does not exist, it is resolved component by component ignoring ASCII case;
// the first spelling that exists is returned. When the file itself does not
// exist (one about to be created), its folder is resolved and the name kept;
// else the mapped path is returned unchanged.
std::string MapPath(const CString& path);
// Native path back to an engine text (CP932).
CString NativeToEngine(const std::string& path);
// Only the case-insensitive resolution, on a native path.
bool ResolveNoCase(const std::string& nativePath, std::string* found);
// The folder of the running program, with a trailing '/', as an engine text.
CString GetProgramFolder();
// True for "X:" at the start of an engine path (kept as is by the library rule).
inline bool HasDriveLetter(const CString& path) {
    char c = path.GetAt(0);
    return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path.GetAt(1) == ':';
}
