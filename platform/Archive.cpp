#include "platform/Archive.h"

#include <cstdint>
#include <cstring>

void CArchive::WriteDWORD(DWORD value) {
    const BYTE bytes[4] = {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
    Write(bytes, sizeof bytes);
}

void CArchive::WriteByte(BYTE value) { Write(&value, 1); }

void CArchive::WriteQWORD(uint64_t value) {
    WriteDWORD(DWORD(value));
    WriteDWORD(DWORD(value >> 32));
}

void CArchive::WriteString(const CString& text) {
    WriteDWORD(DWORD(text.GetLength()));
    Write(text.GetString(), size_t(text.GetLength()));
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

bool CArchive::ReadLONG(LONG& value) {
    DWORD word = 0;
    if (!ReadDWORD(word)) return false;
    value = LONG(word);
    return true;
}

bool CArchive::ReadByte(BYTE& value) { return Read(&value, 1); }

bool CArchive::ReadQWORD(uint64_t& value) {
    BYTE bytes[8];
    if (!Read(bytes, sizeof bytes)) return false;
    value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | bytes[i];
    return true;
}

bool CArchive::ReadString(CString& text) {
    if (!m_Loading || Left() < 4) {
        m_Failed = true;
        return false;
    }
    const BYTE* start = m_pRead;
    DWORD length = 0;
    ReadDWORD(length);
    if (length > Left() || length > DWORD(INT32_MAX)) {
        m_pRead = start;  // nothing consumed
        m_Failed = true;
        return false;
    }
    text = CString(reinterpret_cast<const char*>(m_pRead), int(length));
    m_pRead += length;
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
