#pragma once
// The values a work event keeps per rule-set number. Set numbers run past a
// thousand while one event holds values for a few dozen of them at most, so
// only the numbers that hold a slot are stored, in number order; the size is
// still counted the way a set-indexed array grows (in steps of five, every
// number below it an empty slot unless it holds one).
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/Types.h"

template <class T>
class CArticSetSlots {
public:
    using Slot = std::pair<ULONG, T>;

    // Size of a set-indexed array after index was set: steps of five slots.
    static int GrownSize(int size, ULONG index) {
        if (int64_t(index) < size) return size;
        ULONG n = ULONG(size);
        return int(n + ((index - n) / 5) * 5 + 5);
    }

    int GetSize() const { return m_Size; }
    // Makes set a number below the size.
    void Grow(ULONG set) { m_Size = GrownSize(m_Size, set); }
    // Takes the size of another set's slots (a copy of its slots follows).
    template <class U>
    void SetSizeOf(const CArticSetSlots<U>& other) { m_Size = other.GetSize(); }

    // The slot of set; null when the number holds none.
    const T* Find(ULONG set) const {
        auto it = Lower(set);
        return it != m_Slots.end() && it->first == set ? &it->second : nullptr;
    }
    T* Find(ULONG set) { return const_cast<T*>(static_cast<const CArticSetSlots&>(*this).Find(set)); }

    // The slot of set, made (value-initialised) when the number holds none.
    // The size is the caller's business (Grow).
    T& Make(ULONG set) {
        // Sets are mostly visited in rising order: a new one goes last.
        if (m_Slots.empty() || m_Slots.back().first < set) return m_Slots.emplace_back(set, T()).second;
        auto it = m_Slots.begin() + (Lower(set) - m_Slots.cbegin());
        if (it != m_Slots.end() && it->first == set) return it->second;
        return m_Slots.emplace(it, set, T())->second;
    }

    void Erase(ULONG set) {
        auto it = m_Slots.begin() + (Lower(set) - m_Slots.cbegin());
        if (it != m_Slots.end() && it->first == set) m_Slots.erase(it);
    }

    // No slot, size 0.
    void Clear() {
        m_Slots.clear();
        m_Size = 0;
    }

    const std::vector<Slot>& Slots() const { return m_Slots; }
    std::vector<Slot>& Slots() { return m_Slots; }

private:
    typename std::vector<Slot>::const_iterator Lower(ULONG set) const {
        if (!m_Slots.empty() && m_Slots.back().first == set) return m_Slots.end() - 1;
        return std::lower_bound(m_Slots.begin(), m_Slots.end(), set,
                                [](const Slot& s, ULONG n) { return s.first < n; });
    }

    std::vector<Slot> m_Slots;  // sorted by set number, numbers unique
    int m_Size = 0;
};
