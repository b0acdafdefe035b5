#pragma once
// Storage for many objects of one size: slots cut from 64 KiB slabs, a freed
// slot serving the next request. A song holds one event object per note and
// message, and every load and save makes and drops them by the thousand; one
// heap block each made the heap the largest cost of both. Empty slabs are
// kept for the next song only while they are no more than the slabs in use
// (or than a few): a large song's memory does not stay with the pool after it
// is gone, and a song replaced by the next one does not hand its memory back
// only to ask for it again.
//
// Thread-safe: a song may be built on one thread and dropped on another.
#include <atomic>
#include <cstddef>
#include <new>

class CFixedPool {
public:
    static constexpr size_t kSlabBytes = 64 * 1024;
    // Empty slabs kept however few slabs are in use.
    static constexpr size_t kKeptEmptySlabs = 4;

    // Slots of at least `slotSize` bytes, aligned for any object.
    explicit CFixedPool(size_t slotSize);
    // Every slab goes back to the heap: only for a pool whose slots are all free.
    ~CFixedPool();
    CFixedPool(const CFixedPool&) = delete;
    CFixedPool& operator=(const CFixedPool&) = delete;

    // A slot; null when no slab can be had.
    void* Take();
    // Returns a slot that Take handed out; null is ignored.
    void Give(void* slot);

    size_t GetSlotSize() const { return m_SlotSize; }
    size_t GetSlotsPerSlab() const { return m_SlotsPerSlab; }
    size_t GetSlabCount() const;
    size_t GetEmptySlabCount() const;
    size_t GetLiveCount() const;

private:
    struct Slab;
    struct FreeSlot;
    Slab* NewSlab();
    static void Unlist(Slab*& list, Slab* slab);
    static void ListFront(Slab*& list, Slab* slab);
    void Release(Slab* slab);

    size_t m_SlotSize;
    size_t m_SlotsAt;  // offset of the first slot in a slab
    size_t m_SlotsPerSlab;
    // Held for a few instructions at a time: a spin costs less than a mutex.
    class SpinLock {
    public:
        explicit SpinLock(std::atomic<bool>& flag) : m_Flag(flag) {
            while (m_Flag.exchange(true, std::memory_order_acquire))
                while (m_Flag.load(std::memory_order_relaxed)) {
                }
        }
        ~SpinLock() { m_Flag.store(false, std::memory_order_release); }
        SpinLock(const SpinLock&) = delete;
        SpinLock& operator=(const SpinLock&) = delete;

    private:
        std::atomic<bool>& m_Flag;
    };
    mutable std::atomic<bool> m_Busy{false};
    // A slab is on one of two lists, or on none while all its slots are in use.
    Slab* m_Open = nullptr;   // slabs with live and free slots
    Slab* m_Empty = nullptr;  // slabs without a live slot
    size_t m_SlabCount = 0;
    size_t m_EmptyCount = 0;
    size_t m_Live = 0;
};

// The operator new and delete of one class whose objects come from a pool of
// their own. Made once and never torn down: an object may outlive any static
// object. Objects of another size (a derived class) come from the heap, and so
// does every object under AddressSanitizer, so that a lost one is still
// reported as a leak.
class CClassPool {
public:
    explicit CClassPool(size_t objectSize) : m_ObjectSize(objectSize), m_Pool(objectSize) {}
    CClassPool(const CClassPool&) = delete;
    CClassPool& operator=(const CClassPool&) = delete;

    // Throws std::bad_alloc when no memory can be had.
    void* New(size_t size);
    // Null when no memory can be had.
    void* New(size_t size, const std::nothrow_t&) noexcept;
    // Frees what New gave for the same size.
    void Delete(void* p, size_t size) noexcept;
    // For the placement delete a throwing constructor reaches after a nothrow
    // new. It cannot know the size, so it takes the class's own: right only
    // while no class derives from a pooled one.
    void Delete(void* p) noexcept { Delete(p, m_ObjectSize); }

private:
    size_t m_ObjectSize;
    CFixedPool m_Pool;
};
