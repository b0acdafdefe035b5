#include "host/SmfBytes.h"

#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>

bool SmfByteReader::ReadU16BE(WORD& out) {
    if (Left() < 2) return false;
    out = WORD(m_Pos[0] << 8 | m_Pos[1]);
    m_Pos += 2;
    return true;
}

bool SmfByteReader::ReadU32BE(DWORD& out) {
    if (Left() < 4) return false;
    out = DWORD(m_Pos[0]) << 24 | DWORD(m_Pos[1]) << 16 | DWORD(m_Pos[2]) << 8 | DWORD(m_Pos[3]);
    m_Pos += 4;
    return true;
}

bool SmfByteReader::ReadVarLenLong(DWORD& out) {
    DWORD value = 0;
    const BYTE* p = m_Pos;
    for (int n = 0; n < 4; ++n) {
        if (p == m_End) return false;
        const BYTE b = *p++;
        value = value << 7 | (b & 0x7F);
        if (!(b & 0x80)) {
            out = value;
            m_Pos = p;
            return true;
        }
    }
    return false;
}

bool SmfByteReader::ReadSpan(size_t n, const BYTE*& out) {
    if (Left() < n) return false;
    out = m_Pos;
    m_Pos += n;
    return true;
}

bool SmfByteReader::Skip(size_t n) {
    if (Left() < n) return false;
    m_Pos += n;
    return true;
}

bool SmfByteWriter::PutBytesGrowing(const BYTE* data, size_t count) {
    if (count == 0) return true;
    if (!data) return false;
    try {
        m_Bytes.insert(m_Bytes.end(), data, data + count);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

void SmfByteWriter::Reserve(size_t count) {
    try {
        m_Bytes.reserve(m_Bytes.size() + count);
    } catch (const std::exception&) {
        // Only a hint: the writes grow the buffer as they go.
    }
}

bool SmfByteWriter::PutU16BE(WORD value) {
    const BYTE b[2] = {BYTE(value >> 8), BYTE(value)};
    return PutBytes(b, 2);
}

bool SmfByteWriter::PutU32BE(DWORD value) {
    const BYTE b[4] = {BYTE(value >> 24), BYTE(value >> 16), BYTE(value >> 8), BYTE(value)};
    return PutBytes(b, 4);
}

bool SmfByteWriter::PutVarLenLong(INT64 value) {
    if (value < 0 || value > INT64(SMF_VARLEN_MAX)) return false;
    BYTE b[4];
    int n = 0;
    // Groups of seven bits, least significant first; written back to front.
    do {
        b[n++] = BYTE(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    BYTE out[4];
    for (int i = 0; i < n; ++i) out[i] = BYTE(b[n - 1 - i] | (i < n - 1 ? 0x80 : 0));
    return PutBytes(out, size_t(n));
}

bool SmfByteWriter::PatchU16BE(size_t offset, WORD value) {
    if (offset > m_Bytes.size() || m_Bytes.size() - offset < 2) return false;
    m_Bytes[offset] = BYTE(value >> 8);
    m_Bytes[offset + 1] = BYTE(value);
    return true;
}

bool SmfByteWriter::PatchU32BE(size_t offset, DWORD value) {
    if (offset > m_Bytes.size() || m_Bytes.size() - offset < 4) return false;
    m_Bytes[offset] = BYTE(value >> 24);
    m_Bytes[offset + 1] = BYTE(value >> 16);
    m_Bytes[offset + 2] = BYTE(value >> 8);
    m_Bytes[offset + 3] = BYTE(value);
    return true;
}
