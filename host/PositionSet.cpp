#include "host/PositionSet.h"

namespace {

// Fibonacci hashing of an address (whose low bits are always zero).
size_t SlotOf(uintptr_t key, size_t mask) { return size_t(((uint64_t(key) >> 3) * 0x9E3779B97F4A7C15ull) >> 32) & mask; }

}  // namespace

size_t CPositionSet::Find(uintptr_t key) const {
    const size_t mask = m_Slots.size() - 1;
    size_t slot = SlotOf(key, mask);
    while (m_Slots[slot] != kFree && m_Slots[slot] != key) slot = (slot + 1) & mask;
    return slot;
}

bool CPositionSet::Contains(POSITION pos) const {
    const uintptr_t key = reinterpret_cast<uintptr_t>(pos);
    if (key <= kErased || m_Slots.empty()) return false;
    return m_Slots[Find(key)] == key;
}

void CPositionSet::Insert(POSITION pos) {
    const uintptr_t key = reinterpret_cast<uintptr_t>(pos);
    if (key <= kErased || Contains(pos)) return;
    if ((m_Used + 1) * 2 > m_Slots.size()) {
        size_t capacity = 16;
        while (capacity < (m_Live + 1) * 4) capacity *= 2;
        Rebuild(capacity);
    }
    const size_t mask = m_Slots.size() - 1;
    size_t slot = SlotOf(key, mask);
    while (m_Slots[slot] != kFree && m_Slots[slot] != kErased) slot = (slot + 1) & mask;
    if (m_Slots[slot] == kFree) ++m_Used;
    m_Slots[slot] = key;
    ++m_Live;
}

void CPositionSet::Reserve(size_t count) {
    if ((m_Used + count + 1) * 2 <= m_Slots.size()) return;
    size_t capacity = 16;
    while (capacity < (m_Live + count + 1) * 4) capacity *= 2;
    Rebuild(capacity);
}

void CPositionSet::Erase(POSITION pos) {
    const uintptr_t key = reinterpret_cast<uintptr_t>(pos);
    if (key <= kErased || m_Slots.empty()) return;
    const size_t slot = Find(key);
    if (m_Slots[slot] != key) return;
    m_Slots[slot] = kErased;  // the probes that pass here must go on
    --m_Live;
}

void CPositionSet::Clear() {
    m_Slots.clear();
    m_Used = 0;
    m_Live = 0;
}

void CPositionSet::Rebuild(size_t capacity) {
    std::vector<uintptr_t> old(capacity, kFree);
    old.swap(m_Slots);  // may throw before anything changed
    m_Used = m_Live;
    const size_t mask = m_Slots.size() - 1;
    for (uintptr_t key : old) {
        if (key <= kErased) continue;
        size_t slot = SlotOf(key, mask);
        while (m_Slots[slot] != kFree) slot = (slot + 1) & mask;
        m_Slots[slot] = key;
    }
}
