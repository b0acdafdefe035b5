#include "platform/Archive.h"

#include <cstring>

void CArchive::WriteDWORD(DWORD value) {
    const BYTE bytes[4] = {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
    Write(bytes, sizeof bytes);
}

void CArchive::Write(const void* data, size_t n) {
    if (m_Loading || (n > 0 && !data)) {
        m_Failed = true;
        return;
    }
    const BYTE* p = static_cast<const BYTE*>(data);
    m_Buffer.insert(m_Buffer.end(), p, p + n);
}

bool CArchive::ReadDWORD(DWORD& value) {
    BYTE bytes[4];
    if (!Read(bytes, sizeof bytes)) return false;
    value = DWORD(bytes[0]) | DWORD(bytes[1]) << 8 | DWORD(bytes[2]) << 16 | DWORD(bytes[3]) << 24;
    return true;
}

bool CArchive::Read(void* data, size_t n) {
    if (!m_Loading || n > Left() || (n > 0 && !data)) {
        m_Failed = true;
        return false;
    }
    if (n > 0) std::memcpy(data, m_pRead, n);
    m_pRead += n;
    return true;
}
