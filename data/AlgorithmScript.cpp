#include "data/AlgorithmScript.h"

#include <cstring>

const char* AlgorithmScript::GetLine(int i) const {
    return i >= 0 && i < m_Script.lineCount ? m_Script.lines[i] : nullptr;
}

int AlgorithmScript::GetHandOverLength(int i) const {
    const char* line = GetLine(i);
    return line ? int(std::strlen(line)) + 1 : 0;
}

void AlgorithmScript::HandOver(const std::function<void(const char* line, int length)>& take) const {
    for (int i = 0; i < m_Script.lineCount; ++i) take(m_Script.lines[i], GetHandOverLength(i));
}

AlgorithmScriptLibrary::AlgorithmScriptLibrary() {
    m_Scripts.reserve(size_t(kEmbeddedScriptCount));
    for (int i = 0; i < kEmbeddedScriptCount; ++i) m_Scripts.emplace_back(kEmbeddedScripts[i]);
}

const AlgorithmScript* AlgorithmScriptLibrary::GetAt(int i) const {
    return i >= 0 && i < GetCount() ? &m_Scripts[size_t(i)] : nullptr;
}

const AlgorithmScript* AlgorithmScriptLibrary::Find(const CString& algorithmId) const {
    for (const AlgorithmScript& script : m_Scripts) {
        if (script.GetName().str() == algorithmId.str()) return &script;
    }
    return nullptr;
}
