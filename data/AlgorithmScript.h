#pragma once
// The algorithm scripts carried inside the program: one rule script per
// algorithm id, compiled in from data/scripts/<name>.rul as CP932 bytes, one
// NUL-terminated entry per line. The library is a view of those constant
// tables: building it copies nothing.
#include <functional>
#include <vector>

#include "platform/String.h"

// One compiled-in script (the table is generated at build time).
struct EmbeddedScript {
    const char* name;
    const char* const* lines;
    int lineCount;
};
extern const EmbeddedScript kEmbeddedScripts[];
extern const int kEmbeddedScriptCount;

class AlgorithmScript {
public:
    explicit AlgorithmScript(const EmbeddedScript& script) : m_Script(script) {}

    CString GetName() const { return CString(m_Script.name); }
    int GetLineCount() const { return m_Script.lineCount; }
    // Line i without its line end (an empty line is ""); null outside the script.
    const char* GetLine(int i) const;
    // What the engine is handed for line i: its byte length plus one (the NUL); 0 outside the script.
    int GetHandOverLength(int i) const;
    // Each line in order with its hand-over length.
    void HandOver(const std::function<void(const char* line, int length)>& take) const;

private:
    const EmbeddedScript& m_Script;
};

class AlgorithmScriptLibrary {
public:
    // The scripts in their fixed order.
    AlgorithmScriptLibrary();

    int GetCount() const { return int(m_Scripts.size()); }
    const AlgorithmScript* GetAt(int i) const;
    // The first script whose name equals the id exactly (same bytes, case-sensitive); null when none.
    const AlgorithmScript* Find(const CString& algorithmId) const;

private:
    std::vector<AlgorithmScript> m_Scripts;
};
