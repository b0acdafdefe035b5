#include "host/FixedPool.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define VX_POOL_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define VX_POOL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define VX_POOL_POISON(p, n) ((void)(p), (void)(n))
#define VX_POOL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace {

constexpr size_t kSlotAlign = alignof(std::max_align_t);

size_t RoundUp(size_t n, size_t to) { return (n + to - 1) / to * to; }

}  // namespace

struct CFixedPool::FreeSlot {
    FreeSlot* next;
};

// The head of a slab; its slots follow. Slabs are aligned to their size, so a
// slot finds its slab by masking its address.
struct CFixedPool::Slab {
    Slab* prev;  // on the open or the empty list
    Slab* next;
    FreeSlot* free;  // slots given back
    size_t carved;   // slots handed out from the untouched rest so far
    size_t live;
};

CFixedPool::CFixedPool(size_t slotSize)
    : m_SlotSize(RoundUp(std::max(slotSize, sizeof(FreeSlot)), kSlotAlign)),
      m_SlotsAt(RoundUp(sizeof(Slab), kSlotAlign)),
      m_SlotsPerSlab(m_SlotSize <= kSlabBytes - m_SlotsAt ? (kSlabBytes - m_SlotsAt) / m_SlotSize : 0) {}

CFixedPool::~CFixedPool() {
    for (Slab** list : {&m_Open, &m_Empty}) {
        while (Slab* slab = *list) {
            Unlist(*list, slab);
            VX_POOL_UNPOISON(slab, kSlabBytes);
            std::free(slab);
        }
    }
}

size_t CFixedPool::GetSlabCount() const {
    SpinLock lock(m_Busy);
    return m_SlabCount;
}

size_t CFixedPool::GetEmptySlabCount() const {
    SpinLock lock(m_Busy);
    return m_EmptyCount;
}

size_t CFixedPool::GetLiveCount() const {
    SpinLock lock(m_Busy);
    return m_Live;
}

void CFixedPool::Unlist(Slab*& list, Slab* slab) {
    (slab->prev ? slab->prev->next : list) = slab->next;
    if (slab->next) slab->next->prev = slab->prev;
    slab->prev = slab->next = nullptr;
}

void CFixedPool::ListFront(Slab*& list, Slab* slab) {
    slab->prev = nullptr;
    slab->next = list;
    if (list) list->prev = slab;
    list = slab;
}

CFixedPool::Slab* CFixedPool::NewSlab() {
    if (m_SlotsPerSlab == 0) return nullptr;
    void* memory = std::aligned_alloc(kSlabBytes, kSlabBytes);
    if (!memory) return nullptr;
    auto* slab = static_cast<Slab*>(memory);
    *slab = Slab{nullptr, nullptr, nullptr, 0, 0};
    VX_POOL_POISON(reinterpret_cast<unsigned char*>(slab) + m_SlotsAt, m_SlotsPerSlab * m_SlotSize);
    ++m_SlabCount;
    return slab;
}

void CFixedPool::Release(Slab* slab) {
    --m_SlabCount;
    VX_POOL_UNPOISON(slab, kSlabBytes);
    std::free(slab);
}

void* CFixedPool::Take() {
    SpinLock lock(m_Busy);
    // Partly used slabs first, so that the others can empty out.
    Slab* slab = m_Open;
    if (!slab && (slab = m_Empty) != nullptr) {
        Unlist(m_Empty, slab);
        --m_EmptyCount;
        ListFront(m_Open, slab);
    }
    if (!slab) {
        if ((slab = NewSlab()) == nullptr) return nullptr;
        ListFront(m_Open, slab);
    }
    void* slot = nullptr;
    if (FreeSlot* f = slab->free) {
        VX_POOL_UNPOISON(f, m_SlotSize);
        slab->free = f->next;
        slot = f;
    } else {
        slot = reinterpret_cast<unsigned char*>(slab) + m_SlotsAt + slab->carved * m_SlotSize;
        ++slab->carved;
        VX_POOL_UNPOISON(slot, m_SlotSize);
    }
    ++slab->live;
    ++m_Live;
    if (!slab->free && slab->carved == m_SlotsPerSlab) Unlist(m_Open, slab);
    return slot;
}

void CFixedPool::Give(void* slot) {
    if (!slot) return;
    SpinLock lock(m_Busy);
    auto* slab = reinterpret_cast<Slab*>(reinterpret_cast<uintptr_t>(slot) & ~uintptr_t(kSlabBytes - 1));
    const bool wasFull = slab->live == m_SlotsPerSlab;
    auto* f = static_cast<FreeSlot*>(slot);
    f->next = slab->free;
    slab->free = f;
    VX_POOL_POISON(f, m_SlotSize);
    --slab->live;
    --m_Live;
    if (slab->live != 0) {
        if (wasFull) ListFront(m_Open, slab);
        return;
    }
    if (!wasFull) Unlist(m_Open, slab);
    // An empty slab is cut again from its start: the next song's events then
    // lie in the order they are made, not in the order the last ones died.
    slab->free = nullptr;
    slab->carved = 0;
    ListFront(m_Empty, slab);
    ++m_EmptyCount;
    const size_t inUse = m_SlabCount - m_EmptyCount;
    while (m_EmptyCount > std::max(kKeptEmptySlabs, inUse)) {
        Slab* spare = m_Empty;
        Unlist(m_Empty, spare);
        --m_EmptyCount;
        Release(spare);
    }
}

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooledClasses = false;
#else
constexpr bool kPooledClasses = true;
#endif

}  // namespace

void* CClassPool::New(size_t size) {
    if (!kPooledClasses || size != m_ObjectSize) return ::operator new(size);
    void* p = m_Pool.Take();
    if (!p) throw std::bad_alloc();
    return p;
}

void* CClassPool::New(size_t size, const std::nothrow_t&) noexcept {
    if (!kPooledClasses || size != m_ObjectSize) return ::operator new(size, std::nothrow);
    return m_Pool.Take();
}

void CClassPool::Delete(void* p, size_t size) noexcept {
    if (!kPooledClasses || size != m_ObjectSize) {
        ::operator delete(p);
        return;
    }
    m_Pool.Give(p);
}
