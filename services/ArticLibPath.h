#pragma once
// The folder phrase files are read from. The preferences set it and the work
// operations read it; it lives here, below both, so that neither library has
// to call the other for it.
#include "platform/String.h"

class CArticLibPath {
public:
    CArticLibPath() = delete;

    // The process-wide folder text (empty until set).
    static CString& Folder();
};
