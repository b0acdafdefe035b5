#include "app/CoreHolder.h"

#include <cstdint>
#include <utility>

#include "driver/PhrasorCoreIF.h"

CoreHolder::CoreHolder(CoreFactory factory) : m_Factory(std::move(factory)) {
    if (m_Factory.create) m_pCore = m_Factory.create(ProgramModuleToken());
}

CoreHolder::~CoreHolder() {
    if (!m_pCore) return;
    // The core's end does not delete a run's document: the run is ended first.
    if (m_RunOpen) End();
    if (m_Factory.destroy) m_Factory.destroy(m_pCore);
    m_pCore = nullptr;
}

void* CoreHolder::ProgramModuleToken() {
    static char token;
    return &token;
}

void CoreHolder::Begin() {
    if (!m_pCore) return;
    m_pCore->CreateProc();
    m_pCore->CreateDoc();
    m_RunOpen = true;
}

void CoreHolder::End() {
    if (!m_pCore) return;
    m_pCore->DeleteProc();
    m_pCore->DeleteDoc();
    m_RunOpen = false;
}

int CoreHolder::CheckLibFiles() {
    if (!m_pCore) return kNoCore;
    return m_pCore->CheckLibFiles() != 0 ? 0 : kCoreFailed;
}

int CoreHolder::SetResolution(LONG ticks) {
    if (!m_pCore) return kNoCore;
    m_pCore->SetResolution(ticks);
    return 0;
}

CPHConvPrm* CoreHolder::GetConvPrm() { return m_pCore ? m_pCore->GetConvPrm() : nullptr; }

void CoreHolder::ClearScriptLines() {
    if (m_pCore) m_pCore->ClearScriptLines();
}

void CoreHolder::AddScriptLine(const char* text, LONG length) {
    if (m_pCore) m_pCore->AddScriptLine(text, length);
}

int CoreHolder::GetScriptLineCount() { return m_pCore ? m_pCore->GetScriptLineCount() : 0; }

int CoreHolder::Convert(QByteArray& data) {
    if (!m_pCore) return kNoCore;
    // The engine gets a buffer no other array shares; it never writes it.
    data.detach();
    BYTE* bytes = reinterpret_cast<BYTE*>(data.data());
    DWORD size = DWORD(data.size());
    if (m_pCore->Convert(&bytes, &size) == 0) return kCoreFailed;
    // A success without a buffer, or one too large for an array, keeps the input.
    if ((!bytes && size != 0) || size > DWORD(INT32_MAX)) return kCoreFailed;
    // The engine keeps its buffer only until its next conversion or its end.
    data = bytes ? QByteArray(reinterpret_cast<const char*>(bytes), int(size)) : QByteArray();
    return 0;
}
