#pragma once
// A set of list positions with constant-time insert, erase and lookup, held
// in one open-addressed table: no allocation per position, so a block can
// know its live events at a small cost per event.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Types.h"

class CPositionSet {
public:
    bool Contains(POSITION pos) const;
    // Throws std::bad_alloc when the table cannot grow; the set is then unchanged.
    void Insert(POSITION pos);
    // Room for `count` more positions without growing; throws std::bad_alloc
    // when the table cannot grow (the set is then unchanged).
    void Reserve(size_t count);
    void Erase(POSITION pos);
    void Clear();
    size_t GetCount() const { return m_Live; }

private:
    // Node addresses are never 0 or 1, so those mark free and erased slots.
    static constexpr uintptr_t kFree = 0;
    static constexpr uintptr_t kErased = 1;

    // The slot holding pos, or the free slot where its probe ends.
    size_t Find(uintptr_t key) const;
    void Rebuild(size_t capacity);

    std::vector<uintptr_t> m_Slots;  // a power of two in size, at most half used
    size_t m_Used = 0;               // live and erased slots
    size_t m_Live = 0;
};
