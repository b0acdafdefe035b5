#pragma once
// Bounded reading and growing writing of Standard MIDI File bytes. Every read
// of outside SMF data goes through SmfByteReader, which cannot step past the
// end it was given; every write through SmfByteWriter, which refuses values
// that the file format cannot hold.
#include <cstddef>
#include <vector>

#include "platform/Types.h"

// The largest value a variable-length number of four bytes can hold.
constexpr DWORD SMF_VARLEN_MAX = 0x0FFFFFFF;

// Meta event types the reader and the writer treat specially.
constexpr BYTE META_TEXT = 0x01;
constexpr BYTE META_TRACK_NAME = 0x03;
constexpr BYTE META_LYRIC = 0x05;
constexpr BYTE META_CUE_POINT = 0x07;
constexpr BYTE META_END_OF_TRACK = 0x2F;
constexpr BYTE META_SMPTE_OFFSET = 0x54;
constexpr BYTE META_SEQUENCER = 0x7F;

// A cursor over bytes that cannot be read past its end. A failed read
// consumes nothing.
class SmfByteReader {
public:
    SmfByteReader() = default;
    SmfByteReader(const BYTE* data, size_t size) : m_Begin(data), m_Pos(data), m_End(data + size) {}

    // Read once or twice per event: in line.
    bool ReadByte(BYTE& out) {
        if (m_Pos == m_End) return false;
        out = *m_Pos++;
        return true;
    }
    bool ReadU16BE(WORD& out);
    bool ReadU32BE(DWORD& out);
    // At most four bytes; false on a fifth continuation byte or at the end.
    bool ReadVarLen(DWORD& out) {
        // Most delta times and lengths take one byte.
        if (m_Pos != m_End && !(*m_Pos & 0x80)) {
            out = *m_Pos++;
            return true;
        }
        return ReadVarLenLong(out);
    }
    // The next `n` bytes, which the caller copies before reading on.
    bool ReadSpan(size_t n, const BYTE*& out);
    bool Skip(size_t n);

    size_t Left() const { return size_t(m_End - m_Pos); }
    bool AtEnd() const { return m_Pos == m_End; }
    size_t Offset() const { return size_t(m_Pos - m_Begin); }

private:
    bool ReadVarLenLong(DWORD& out);

    const BYTE* m_Begin = nullptr;
    const BYTE* m_Pos = nullptr;
    const BYTE* m_End = nullptr;
};

// A growing byte buffer with the SMF number forms. Running out of memory is
// reported by the writing call.
class SmfByteWriter {
public:
    // The pieces of an event are a few bytes each: while the buffer has room
    // they are appended in place, without a call.
    bool PutByte(BYTE value) {
        if (m_Bytes.size() == m_Bytes.capacity()) return PutBytesGrowing(&value, 1);
        m_Bytes.push_back(value);
        return true;
    }
    bool PutBytes(const BYTE* data, size_t count) {
        if (count > 4 || m_Bytes.capacity() - m_Bytes.size() < count) return PutBytesGrowing(data, count);
        if (count > 0 && !data) return false;
        for (size_t i = 0; i < count; ++i) m_Bytes.push_back(data[i]);
        return true;
    }
    bool PutU16BE(WORD value);
    bool PutU32BE(DWORD value);
    // False for a value that four bytes cannot hold (above SMF_VARLEN_MAX) or a negative one.
    bool PutVarLen(INT64 value) {
        // Most delta times fit one byte.
        if (value >= 0 && value < 0x80) return PutByte(BYTE(value));
        return PutVarLenLong(value);
    }
    // Overwrites bytes already written; false when they are not all there.
    bool PatchU16BE(size_t offset, WORD value);
    bool PatchU32BE(size_t offset, DWORD value);

    // Room for `count` more bytes; a hint that may go unmet.
    void Reserve(size_t count);

    size_t Size() const { return m_Bytes.size(); }
    const std::vector<BYTE>& Bytes() const { return m_Bytes; }

private:
    bool PutBytesGrowing(const BYTE* data, size_t count);
    bool PutVarLenLong(INT64 value);

    std::vector<BYTE> m_Bytes;
};
