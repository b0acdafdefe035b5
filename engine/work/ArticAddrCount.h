#pragma once
// How many times each address is counted, for the work data's count of the
// number-table records that hold each event. One open-addressed array (linear
// probing, no node per entry): the table is asked and changed for every event
// placed, moved or removed, and a node per event cost an allocation each.
// Only addresses are compared: the object behind one may be gone.
#include <cstddef>
#include <cstdint>
#include <vector>

class CArticAddrCount {
public:
    // The count of p; 0 when it holds none.
    int Get(const void* p) const {
        if (!p || m_Used == 0) return 0;
        for (size_t i = Home(p);; i = Next(i)) {
            const Entry& e = m_Table[i];
            if (e.key == p) return e.count;
            if (!e.key) return 0;
        }
    }

    // Adds change to p's count; an address whose count falls to 0 or below
    // leaves, and one not held is only entered by a positive change.
    void Add(const void* p, int change) {
        if (!p) return;
        if (m_Used > 0) {
            for (size_t i = Home(p);; i = Next(i)) {
                Entry& e = m_Table[i];
                if (e.key == p) {
                    if ((e.count += change) <= 0) EraseAt(i);
                    return;
                }
                if (!e.key) break;
            }
        }
        if (change <= 0) return;
        if ((m_Used + 1) * 4 > m_Table.size() * 3) Rehash(m_Table.empty() ? kFirstSize : m_Table.size() * 2);
        Place(p, change);
        ++m_Used;
    }

    // No address counted (the room stays).
    void Clear() {
        if (m_Used == 0) return;
        for (Entry& e : m_Table) e = Entry();
        m_Used = 0;
    }

    size_t Size() const { return m_Used; }

private:
    struct Entry {
        const void* key = nullptr;
        int count = 0;
    };
    static constexpr size_t kFirstSize = 64;

    size_t Home(const void* p) const {
        uint64_t x = uint64_t(reinterpret_cast<uintptr_t>(p));
        x ^= x >> 33;
        x *= 0xff51afd7ed558ccdULL;
        x ^= x >> 33;
        return size_t(x) & (m_Table.size() - 1);
    }
    size_t Next(size_t i) const { return (i + 1) & (m_Table.size() - 1); }

    void Place(const void* p, int count) {
        size_t i = Home(p);
        while (m_Table[i].key) i = Next(i);
        m_Table[i].key = p;
        m_Table[i].count = count;
    }

    void Rehash(size_t size) {
        std::vector<Entry> old(size);
        old.swap(m_Table);
        for (const Entry& e : old)
            if (e.key) Place(e.key, e.count);
    }

    // Empties slot i and moves later entries of its run back, so that every
    // entry stays reachable from its home slot without gaps.
    void EraseAt(size_t i) {
        for (size_t j = Next(i);; j = Next(j)) {
            const Entry& e = m_Table[j];
            if (!e.key) break;
            const size_t home = Home(e.key);
            // The entry may fill the hole unless its home lies cyclically in (i, j].
            const bool stays = i <= j ? (home > i && home <= j) : (home > i || home <= j);
            if (stays) continue;
            m_Table[i] = e;
            i = j;
        }
        m_Table[i] = Entry();
        --m_Used;
    }

    std::vector<Entry> m_Table;  // a power of two long, or empty
    size_t m_Used = 0;
};
