#pragma once
// A byte archive: storing appends to an owned buffer, loading reads from a
// caller's buffer. Every read is bounded; a read that does not find its
// bytes consumes nothing and marks the archive failed, so a Serialize
// routine can test IsFailed() once at the end.
#include <cstddef>
#include <memory>
#include <new>
#include <vector>

#include "platform/String.h"
#include "platform/Types.h"

class CArchive {
public:
    // A storing archive with an empty buffer.
    CArchive() = default;
    // A loading archive over size bytes at data (not copied; must outlive the archive).
    CArchive(const BYTE* data, size_t size) : m_Loading(true), m_pRead(data), m_pEnd(data ? data + size : data) {}
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return !m_Loading; }
    bool IsLoading() const { return m_Loading; }
    // True once a read ran short or an operation did not match the mode.
    bool IsFailed() const { return m_Failed; }
    void SetFailed() { m_Failed = true; }

    // Storing.
    void WriteDWORD(DWORD value);  // little-endian
    void WriteLONG(LONG value) { WriteDWORD(DWORD(value)); }
    void WriteByte(BYTE value);
    void WriteQWORD(uint64_t value);  // little-endian
    void WriteString(const CString& text);  // its byte count as a DWORD, then the bytes
    void Write(const void* data, size_t n);
    CArchive& operator<<(DWORD value) {
        WriteDWORD(value);
        return *this;
    }

    // Loading: false (nothing consumed, archive failed) when the bytes are not there.
    bool ReadDWORD(DWORD& value);
    bool ReadLONG(LONG& value);
    bool ReadByte(BYTE& value);
    bool ReadQWORD(uint64_t& value);
    // A count larger than the bytes left fails before anything is allocated.
    bool ReadString(CString& text);
    bool Read(void* data, size_t n);
    CArchive& operator>>(DWORD& value) {
        ReadDWORD(value);
        return *this;
    }
    // Bytes not yet read.
    size_t Left() const { return size_t(m_pEnd - m_pRead); }

    // What a storing archive holds.
    const std::vector<BYTE>& GetBuffer() const { return m_Buffer; }

private:
    bool m_Loading = false;
    bool m_Failed = false;
    std::vector<BYTE> m_Buffer;  // storing
    const BYTE* m_pRead = nullptr;  // loading cursor
    const BYTE* m_pEnd = nullptr;
};

// Reads `count` objects that `make` creates, each read before the next is
// made, so a count larger than the archive ends at the first object that is
// not there. False, with the archive failed, when one does not read.
template <class T, class Make>
bool ReadObjects(CArchive& ar, DWORD count, std::vector<std::unique_ptr<T>>& out, Make make) {
    for (DWORD i = 0; i < count && !ar.IsFailed(); ++i) {
        out.push_back(make());
        out.back()->Serialize(ar);
    }
    return !ar.IsFailed();
}

// Hands every object to `add`, which takes it or returns false and leaves it
// to the list; false at the first one not taken (those left are deleted).
template <class T, class Add>
bool AdoptAll(std::vector<std::unique_ptr<T>>& objects, Add add) {
    for (auto& object : objects) {
        if (!add(object.get())) return false;
        object.release();
    }
    return true;
}

// Runs `store` or `load` by the archive's mode; a load that runs out of
// memory fails the archive.
template <class Store, class Load>
void StoreOrLoad(CArchive& ar, Store store, Load load) {
    if (ar.IsStoring()) {
        store();
        return;
    }
    try {
        load();
    } catch (const std::bad_alloc&) {
        ar.SetFailed();
    }
}
