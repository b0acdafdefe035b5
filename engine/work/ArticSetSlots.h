#pragma once
// The values a work event keeps per rule-set number. Set numbers run past a
// thousand while one event holds values for a few dozen of them at most, so
// only the numbers that hold a slot are stored, in number order; the size is
// still counted the way a set-indexed array grows (in steps of five, every
// number below it an empty slot unless it holds one).
//
// A work event carries seven of these and most of them stay empty (condition
// copies, the core's copies, every event the rules never reach), so an empty
// one is a single null pointer: the size, the count and the slots share one
// block, made when the size first grows.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

#include "platform/Types.h"

template <class T>
class CArticSetSlots {
public:
    using Slot = std::pair<ULONG, T>;

    CArticSetSlots() = default;
    CArticSetSlots(const CArticSetSlots& src) { CopyFrom(src); }
    CArticSetSlots& operator=(const CArticSetSlots& src) {
        if (this != &src) {
            Free();
            CopyFrom(src);
        }
        return *this;
    }
    ~CArticSetSlots() { Free(); }

    // Size of a set-indexed array after index was set: steps of five slots.
    static int GrownSize(int size, ULONG index) {
        if (int64_t(index) < size) return size;
        ULONG n = ULONG(size);
        return int(n + ((index - n) / 5) * 5 + 5);
    }

    int GetSize() const { return m_pRep ? m_pRep->size : 0; }
    // Makes set a number below the size.
    void Grow(ULONG set) {
        int grown = GrownSize(GetSize(), set);
        if (grown == GetSize()) return;
        MakeRep(Count());
        m_pRep->size = grown;
    }
    // Takes the size of another set's slots (a copy of its slots follows).
    template <class U>
    void SetSizeOf(const CArticSetSlots<U>& other) {
        if (other.GetSize() == GetSize()) return;
        MakeRep(Count());
        m_pRep->size = other.GetSize();
    }

    // The slot of set; null when the number holds none.
    const T* Find(ULONG set) const {
        const Slot* it = Lower(set);
        return it != end() && it->first == set ? &it->second : nullptr;
    }
    T* Find(ULONG set) { return const_cast<T*>(static_cast<const CArticSetSlots&>(*this).Find(set)); }

    // The slot of set, made (value-initialised) when the number holds none.
    // The size is the caller's business (Grow).
    T& Make(ULONG set) {
        // Sets are mostly visited in rising order: a new one goes last.
        size_t at = Count();
        if (at > 0 && Data()[at - 1].first >= set) {
            at = size_t(Lower(set) - begin());
            if (at < Count() && Data()[at].first == set) return Data()[at].second;
        }
        MakeRep(Count() + 1);
        Slot* data = Data();
        size_t n = m_pRep->count;
        if (at == n) {
            new (data + n) Slot(set, T());
        } else {
            // Open a gap at `at`: the last slot moves into raw memory, the rest shift up.
            new (data + n) Slot(std::move(data[n - 1]));
            for (size_t i = n - 1; i > at; --i) data[i] = std::move(data[i - 1]);
            data[at] = Slot(set, T());
        }
        ++m_pRep->count;
        return data[at].second;
    }

    void Erase(ULONG set) {
        Slot* it = const_cast<Slot*>(Lower(set));
        if (it == end() || it->first != set) return;
        Slot* last = Data() + Count() - 1;
        for (; it < last; ++it) *it = std::move(it[1]);
        last->~Slot();
        --m_pRep->count;
    }

    // No slot, size 0.
    void Clear() { Free(); }

    // Room for n slots in all (the size stays); nothing is made for none.
    void Reserve(size_t n) {
        if (n > 0) MakeRep(n);
    }

    size_t Count() const { return m_pRep ? m_pRep->count : 0; }
    const Slot* begin() const { return Data(); }
    const Slot* end() const { return Data() + Count(); }

private:
    struct Rep {
        int size;
        uint32_t count;
        uint32_t cap;
    };
    static constexpr size_t SlotOffset() {
        return (sizeof(Rep) + alignof(Slot) - 1) / alignof(Slot) * alignof(Slot);
    }

    // The block, with room for n slots in all.
    void MakeRep(size_t n) {
        if (m_pRep && n <= m_pRep->cap) return;
        // A first block has room for one slot: a size grows just before a value goes in.
        size_t cap = m_pRep ? std::max<size_t>(n, size_t(m_pRep->cap) * 2) : std::max<size_t>(n, 1);
        Rep* rep = static_cast<Rep*>(::operator new(SlotOffset() + cap * sizeof(Slot)));
        rep->size = GetSize();
        rep->count = uint32_t(Count());
        rep->cap = uint32_t(cap);
        Slot* to = reinterpret_cast<Slot*>(reinterpret_cast<char*>(rep) + SlotOffset());
        for (size_t i = 0; i < Count(); ++i) {
            new (to + i) Slot(std::move(Data()[i]));
            Data()[i].~Slot();
        }
        ::operator delete(m_pRep);
        m_pRep = rep;
    }

    const Slot* Data() const {
        return m_pRep ? reinterpret_cast<const Slot*>(reinterpret_cast<const char*>(m_pRep) + SlotOffset())
                      : nullptr;
    }
    Slot* Data() { return const_cast<Slot*>(static_cast<const CArticSetSlots&>(*this).Data()); }

    const Slot* Lower(ULONG set) const {
        const Slot* first = begin();
        const Slot* last = end();
        if (first == last) return last;
        // Sets come mostly in rising order: the last slot or past it.
        if (last[-1].first <= set) return last[-1].first == set ? last - 1 : last;
        if (first->first >= set) return first;
        return std::lower_bound(first, last, set, [](const Slot& s, ULONG n) { return s.first < n; });
    }

    void CopyFrom(const CArticSetSlots& src) {
        if (!src.m_pRep) return;
        MakeRep(src.Count());
        for (size_t i = 0; i < src.Count(); ++i) new (Data() + i) Slot(src.Data()[i]);
        m_pRep->count = uint32_t(src.Count());
        m_pRep->size = src.GetSize();
    }

    void Free() {
        if (!m_pRep) return;
        for (size_t i = 0; i < Count(); ++i) Data()[i].~Slot();
        ::operator delete(m_pRep);
        m_pRep = nullptr;
    }

    Rep* m_pRep = nullptr;  // owned; null while the size is 0 and no slot is held
};
