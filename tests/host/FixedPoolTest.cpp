#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "host/FixedPool.h"
#include "host/SongEvent.h"

namespace {

// Takes n slots, each filled with its own index so that overlapping slots show.
std::vector<void*> TakeFilled(CFixedPool& pool, size_t n, size_t firstMark) {
    std::vector<void*> slots;
    for (size_t i = 0; i < n; ++i) {
        void* p = pool.Take();
        EXPECT_NE(p, nullptr);
        if (!p) break;
        const size_t mark = firstMark + i;
        for (size_t at = 0; at + sizeof mark <= pool.GetSlotSize(); at += sizeof mark)
            std::memcpy(static_cast<char*>(p) + at, &mark, sizeof mark);
        slots.push_back(p);
    }
    return slots;
}

void ExpectMarks(const CFixedPool& pool, const std::vector<void*>& slots, size_t firstMark) {
    for (size_t i = 0; i < slots.size(); ++i) {
        for (size_t at = 0; at + sizeof(size_t) <= pool.GetSlotSize(); at += sizeof(size_t)) {
            size_t mark = 0;
            std::memcpy(&mark, static_cast<char*>(slots[i]) + at, sizeof mark);
            ASSERT_EQ(mark, firstMark + i) << "slot " << i << " was written by another";
        }
    }
}

TEST(FixedPool, SlotsAreDistinctAlignedAndKeepTheirContents) {
    for (const size_t size : {size_t(1), size_t(24), size_t(104), size_t(1000)}) {
        CFixedPool pool(size);
        ASSERT_GE(pool.GetSlotSize(), size);
        const size_t n = pool.GetSlotsPerSlab() * 2 + 3;  // three slabs
        std::vector<void*> slots = TakeFilled(pool, n, 1);
        ASSERT_EQ(slots.size(), n);
        std::set<void*> distinct(slots.begin(), slots.end());
        EXPECT_EQ(distinct.size(), n) << size;
        for (void* p : slots) EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % alignof(std::max_align_t), 0u) << size;
        EXPECT_EQ(pool.GetSlabCount(), 3u) << size;
        EXPECT_EQ(pool.GetLiveCount(), n) << size;
        ExpectMarks(pool, slots, 1);
        for (void* p : slots) pool.Give(p);
    }
}

TEST(FixedPool, FreedSlotsServeAgainAndEmptySlabsGoBack) {
    CFixedPool pool(104);
    const size_t perSlab = pool.GetSlotsPerSlab();
    std::vector<void*> slots = TakeFilled(pool, perSlab * 4, 1);
    ASSERT_EQ(pool.GetSlabCount(), 4u);

    // Every other slot back: no slab is empty, none goes; the freed slots
    // serve the next requests before any new slab is made.
    std::vector<void*> kept, freed;
    for (size_t i = 0; i < slots.size(); ++i) (i % 2 ? freed : kept).push_back(slots[i]);
    for (void* p : freed) pool.Give(p);
    EXPECT_EQ(pool.GetSlabCount(), 4u);
    std::vector<void*> again = TakeFilled(pool, freed.size(), 100000);
    EXPECT_EQ(pool.GetSlabCount(), 4u);
    std::sort(freed.begin(), freed.end());
    std::vector<void*> sortedAgain = again;
    std::sort(sortedAgain.begin(), sortedAgain.end());
    EXPECT_EQ(sortedAgain, freed);
    // The kept slots were not touched by the reuse.
    std::vector<void*> keptInOrder;
    for (size_t i = 0; i < slots.size(); i += 2) keptInOrder.push_back(slots[i]);
    for (size_t i = 0; i < keptInOrder.size(); ++i) {
        size_t mark = 0;
        std::memcpy(&mark, keptInOrder[i], sizeof mark);
        EXPECT_EQ(mark, 1 + 2 * i);
    }

    // All back: a few empty slabs stay for the next requests, the others go.
    for (void* p : kept) pool.Give(p);
    for (void* p : again) pool.Give(p);
    EXPECT_EQ(pool.GetLiveCount(), 0u);
    EXPECT_EQ(pool.GetSlabCount(), CFixedPool::kKeptEmptySlabs);
    std::vector<void*> last = TakeFilled(pool, perSlab * CFixedPool::kKeptEmptySlabs, 7);
    EXPECT_EQ(pool.GetSlabCount(), CFixedPool::kKeptEmptySlabs);
    ExpectMarks(pool, last, 7);
    for (void* p : last) pool.Give(p);
}

TEST(FixedPool, EmptySlabsKeptAreNoMoreThanTheSlabsInUse) {
    CFixedPool pool(104);
    const size_t perSlab = pool.GetSlotsPerSlab();
    const size_t slabs = 4 * CFixedPool::kKeptEmptySlabs;
    std::vector<void*> slots = TakeFilled(pool, perSlab * slabs, 1);
    ASSERT_EQ(pool.GetSlabCount(), slabs);
    // The first quarter stays in use; the rest is given back slab by slab.
    const size_t inUse = slabs / 4;
    for (size_t i = perSlab * inUse; i < slots.size(); ++i) pool.Give(slots[i]);
    EXPECT_EQ(pool.GetLiveCount(), perSlab * inUse);
    EXPECT_EQ(pool.GetEmptySlabCount(), inUse);
    EXPECT_EQ(pool.GetSlabCount(), 2 * inUse);
    ExpectMarks(pool, std::vector<void*>(slots.begin(), slots.begin() + long(perSlab * inUse)), 1);
    for (size_t i = 0; i < perSlab * inUse; ++i) pool.Give(slots[i]);
    EXPECT_EQ(pool.GetSlabCount(), CFixedPool::kKeptEmptySlabs);
}

// Threads that take and give slots of one pool at once: no slot is handed to
// two of them (each slot keeps the marks its thread wrote), and every slot
// and slab comes back.
TEST(FixedPool, ThreadsSharingThePoolKeepTheirSlots) {
    CFixedPool pool(64);
    const size_t words = pool.GetSlotSize() / sizeof(uint32_t);
    struct Held {
        void* slot;
        uint32_t mark;
    };
    const auto fill = [words](const Held& h) {
        auto* w = static_cast<uint32_t*>(h.slot);
        for (size_t i = 0; i < words; ++i) w[i] = h.mark + uint32_t(i);
    };
    const auto intact = [words](const Held& h) {
        const auto* w = static_cast<const uint32_t*>(h.slot);
        for (size_t i = 0; i < words; ++i)
            if (w[i] != h.mark + uint32_t(i)) return false;
        return true;
    };
    std::vector<std::thread> threads;
    std::vector<int> broken(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&pool, &broken, &fill, &intact, t] {
            std::mt19937 random{unsigned(t)};
            std::vector<Held> held;
            for (int n = 0; n < 20000; ++n) {
                if (held.empty() || random() % 3 != 0) {
                    const Held h{pool.Take(), uint32_t(t) << 28 | uint32_t(n) << 8};
                    if (!h.slot) {
                        ++broken[size_t(t)];
                        continue;
                    }
                    fill(h);
                    held.push_back(h);
                } else {
                    const size_t i = random() % held.size();
                    if (!intact(held[i])) ++broken[size_t(t)];
                    pool.Give(held[i].slot);
                    held[i] = held.back();
                    held.pop_back();
                }
            }
            for (const Held& h : held) {
                if (!intact(h)) ++broken[size_t(t)];
                pool.Give(h.slot);
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(broken, std::vector<int>(4, 0));
    EXPECT_EQ(pool.GetLiveCount(), 0u);
    EXPECT_LE(pool.GetSlabCount(), CFixedPool::kKeptEmptySlabs);
}

TEST(FixedPool, AnObjectLargerThanASlabGetsNoSlot) {
    CFixedPool pool(CFixedPool::kSlabBytes);
    EXPECT_EQ(pool.GetSlotsPerSlab(), 0u);
    EXPECT_EQ(pool.Take(), nullptr);
    EXPECT_EQ(pool.GetSlabCount(), 0u);
}

// Song events come from such a pool: many made and dropped in any order keep
// their own records and data.
TEST(FixedPool, SongEventsMadeAndDroppedInAnyOrderKeepTheirRecords) {
    std::vector<std::unique_ptr<CSongEvent>> events;
    const BYTE data[4] = {0xFF, 0x01, 0x02, 0x03};
    for (int i = 0; i < 5000; ++i) {
        auto e = std::make_unique<CSongEvent>();
        SongEventInfo info;
        info.Time = i;
        info.Kind = i % 3 ? MPEVENT_KIND_NOTE : MPEVENT_KIND_META;
        info.Data1 = BYTE(i % 128);
        info.Length = i % 3 ? 0 : 4;
        info.Bytes = i % 3 ? nullptr : const_cast<BYTE*>(data);
        ASSERT_EQ(e->SetInfo(info, 0), 1);
        events.push_back(std::move(e));
    }
    for (size_t i = 0; i < events.size(); i += 3) events[i].reset();
    for (size_t i = 0; i < events.size(); i += 3) {
        events[i].reset(new (std::nothrow) CSongEvent());
        ASSERT_NE(events[i], nullptr);
        SongEventInfo info;
        info.Time = INT64(i) + 100000;
        info.Kind = MPEVENT_KIND_CONTROL;
        ASSERT_EQ(events[i]->SetInfo(info, 0), 1);
    }
    for (size_t i = 0; i < events.size(); ++i) {
        const SongEventInfo& info = events[i]->GetInfo();
        if (i % 3 == 0) {
            EXPECT_EQ(info.Time, INT64(i) + 100000);
            EXPECT_EQ(info.Kind, DWORD(MPEVENT_KIND_CONTROL));
        } else {
            EXPECT_EQ(info.Time, INT64(i));
            EXPECT_EQ(info.Kind, DWORD(MPEVENT_KIND_NOTE));
            EXPECT_EQ(info.Data1, BYTE(i % 128));
        }
    }
}

}  // namespace
