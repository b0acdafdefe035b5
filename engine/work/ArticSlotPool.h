#pragma once
// Storage for many small objects of one size: slots cut from 64 KiB slabs
// (aligned to their size, so a slot finds its slab from its address), a
// freed slot serving the next request. The work data keeps one position
// record per event in its number table; one heap block each scattered them
// between the events, and every lookup by number missed the cache on them.
// A slab whose slots are all free goes back to the heap unless it is one of
// the few kept for the next records, so a song's memory does not stay with
// the pool once its records are gone.
//
// Thread-safe: records may be made on one thread and dropped on another.
// The users fall back to one heap block per object under AddressSanitizer,
// so that leaks and use after free still show.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>

class CArticSlotPool {
public:
    static constexpr size_t kSlabBytes = 64 * 1024;
    // Empty slabs kept for the next requests.
    static constexpr size_t kKeptEmptySlabs = 2;

    // Slots of at least slotSize bytes, aligned for any object.
    explicit CArticSlotPool(size_t slotSize)
        : m_SlotSize((slotSize + kAlign - 1) / kAlign * kAlign),
          m_SlotsPerSlab((kSlabBytes - SlotsAt()) / m_SlotSize) {}
    // Only for a pool whose slots are all free: every slab goes back to the heap.
    ~CArticSlotPool() {
        FreeList(m_Open);
        FreeList(m_Empty);
    }
    CArticSlotPool(const CArticSlotPool&) = delete;
    CArticSlotPool& operator=(const CArticSlotPool&) = delete;

    // A slot; null when no slab can be had.
    void* Take() {
        Lock lock(m_Busy);
        Slab* slab = m_Open;
        if (!slab) {
            slab = m_Empty ? m_Empty : NewSlab();
            if (!slab) return nullptr;
            if (slab == m_Empty) {
                Unlist(m_Empty, slab);
                --m_EmptyCount;
            }
            ListFront(m_Open, slab);
        }
        void* slot;
        if (slab->free) {
            slot = slab->free;
            slab->free = slab->free->next;
        } else {
            slot = reinterpret_cast<unsigned char*>(slab) + SlotsAt() + slab->carved * m_SlotSize;
            ++slab->carved;
        }
        ++slab->live;
        ++m_Live;
        // A full slab leaves the open list until a slot comes back.
        if (!slab->free && slab->carved == m_SlotsPerSlab) Unlist(m_Open, slab);
        return slot;
    }

    // Returns a slot Take handed out; null is ignored.
    void Give(void* p) {
        if (!p) return;
        Lock lock(m_Busy);
        Slab* slab = SlabOf(p);
        const bool wasFull = !slab->free && slab->carved == m_SlotsPerSlab;
        auto* slot = static_cast<FreeSlot*>(p);
        slot->next = slab->free;
        slab->free = slot;
        --slab->live;
        --m_Live;
        if (wasFull) ListFront(m_Open, slab);
        if (slab->live > 0) return;
        Unlist(m_Open, slab);
        if (m_EmptyCount < kKeptEmptySlabs) {
            // Kept empty: its slots are carved afresh when it is used again.
            slab->free = nullptr;
            slab->carved = 0;
            ListFront(m_Empty, slab);
            ++m_EmptyCount;
            return;
        }
        --m_SlabCount;
        ::operator delete(slab, std::align_val_t(kSlabBytes));
    }

    size_t GetSlotSize() const { return m_SlotSize; }
    size_t GetSlotsPerSlab() const { return m_SlotsPerSlab; }
    size_t GetSlabCount() const {
        Lock lock(m_Busy);
        return m_SlabCount;
    }
    size_t GetEmptySlabCount() const {
        Lock lock(m_Busy);
        return m_EmptyCount;
    }
    size_t GetLiveCount() const {
        Lock lock(m_Busy);
        return m_Live;
    }

private:
    static constexpr size_t kAlign = alignof(std::max_align_t);
    struct FreeSlot {
        FreeSlot* next;
    };
    struct Slab {
        Slab* prev;
        Slab* next;
        FreeSlot* free;  // slots given back
        size_t carved;   // slots handed out at least once since the slab was (re)started
        size_t live;
    };
    static constexpr size_t SlotsAt() { return (sizeof(Slab) + kAlign - 1) / kAlign * kAlign; }

    // Held for a few instructions at a time.
    class Lock {
    public:
        explicit Lock(std::atomic<bool>& flag) : m_Flag(flag) {
            while (m_Flag.exchange(true, std::memory_order_acquire))
                while (m_Flag.load(std::memory_order_relaxed)) {
                }
        }
        ~Lock() { m_Flag.store(false, std::memory_order_release); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        std::atomic<bool>& m_Flag;
    };

    static Slab* SlabOf(void* p) {
        return reinterpret_cast<Slab*>(reinterpret_cast<uintptr_t>(p) & ~uintptr_t(kSlabBytes - 1));
    }
    Slab* NewSlab() {
        void* bytes = ::operator new(kSlabBytes, std::align_val_t(kSlabBytes), std::nothrow);
        if (!bytes) return nullptr;
        auto* slab = new (bytes) Slab{nullptr, nullptr, nullptr, 0, 0};
        ++m_SlabCount;
        return slab;
    }
    static void Unlist(Slab*& list, Slab* slab) {
        if (slab->prev) slab->prev->next = slab->next;
        if (slab->next) slab->next->prev = slab->prev;
        if (list == slab) list = slab->next;
        slab->prev = slab->next = nullptr;
    }
    static void ListFront(Slab*& list, Slab* slab) {
        slab->prev = nullptr;
        slab->next = list;
        if (list) list->prev = slab;
        list = slab;
    }
    static void FreeList(Slab*& list) {
        while (Slab* slab = list) {
            list = slab->next;
            ::operator delete(slab, std::align_val_t(kSlabBytes));
        }
    }

    const size_t m_SlotSize;
    const size_t m_SlotsPerSlab;
    mutable std::atomic<bool> m_Busy{false};
    // A slab is on one of the two lists, or on none while all its slots are in use.
    Slab* m_Open = nullptr;   // slabs with a slot to hand out and a live one
    Slab* m_Empty = nullptr;  // slabs without a live slot
    size_t m_SlabCount = 0;
    size_t m_EmptyCount = 0;
    size_t m_Live = 0;
};
