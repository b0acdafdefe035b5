// The slab pool of the position records: distinct, aligned slots that keep
// their contents while others come and go, slabs returned once empty beyond
// the few kept, and the same answers when threads share the pool.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "engine/work/ArticSlotPool.h"

namespace {

struct PoolSlot {
    void* slot;
    uint32_t mark;
};

void FillSlot(const PoolSlot& h, size_t size) {
    auto* bytes = static_cast<uint32_t*>(h.slot);
    for (size_t i = 0; i < size / sizeof(uint32_t); ++i) bytes[i] = h.mark + uint32_t(i);
}

bool SlotIntact(const PoolSlot& h, size_t size) {
    const auto* bytes = static_cast<const uint32_t*>(h.slot);
    for (size_t i = 0; i < size / sizeof(uint32_t); ++i)
        if (bytes[i] != h.mark + uint32_t(i)) return false;
    return true;
}

TEST(ArticSlotPool, SlotsStayApartThroughTakesAndGivesInAnyOrder) {
    for (size_t request : {size_t(1), size_t(72), size_t(100)}) {
        CArticSlotPool pool(request);
        const size_t size = pool.GetSlotSize();
        EXPECT_GE(size, request);
        EXPECT_EQ(size % alignof(std::max_align_t), 0u);
        std::mt19937 random(11);
        std::vector<PoolSlot> held;
        uint32_t mark = 1;
        // Three and a half slabs' worth, with slots given back on the way.
        const size_t total = pool.GetSlotsPerSlab() * 7 / 2;
        for (size_t n = 0; n < total; ++n) {
            PoolSlot h{pool.Take(), mark};
            mark += 1000;
            ASSERT_NE(h.slot, nullptr);
            ASSERT_EQ(reinterpret_cast<uintptr_t>(h.slot) % alignof(std::max_align_t), 0u);
            FillSlot(h, size);
            held.push_back(h);
            if (random() % 4 == 0) {
                const size_t i = random() % held.size();
                ASSERT_TRUE(SlotIntact(held[i], size)) << "slot overwritten, request " << request;
                pool.Give(held[i].slot);
                held[i] = held.back();
                held.pop_back();
            }
        }
        EXPECT_EQ(pool.GetLiveCount(), held.size());
        std::set<void*> distinct;
        for (const PoolSlot& h : held) distinct.insert(h.slot);
        EXPECT_EQ(distinct.size(), held.size()) << "a slot handed out twice";
        for (const PoolSlot& h : held) EXPECT_TRUE(SlotIntact(h, size)) << "request " << request;
        std::shuffle(held.begin(), held.end(), random);
        for (const PoolSlot& h : held) pool.Give(h.slot);
        EXPECT_EQ(pool.GetLiveCount(), 0u);
        EXPECT_LE(pool.GetSlabCount(), CArticSlotPool::kKeptEmptySlabs) << "empty slabs kept beyond the few";
        EXPECT_EQ(pool.GetEmptySlabCount(), pool.GetSlabCount());
        pool.Give(nullptr);
    }
}

TEST(ArticSlotPool, AGivenSlotServesTheNextTakeAndAKeptSlabStartsAfresh) {
    CArticSlotPool pool(48);
    void* a = pool.Take();
    void* b = pool.Take();
    pool.Give(a);
    EXPECT_EQ(pool.Take(), a);
    pool.Give(a);
    pool.Give(b);
    EXPECT_EQ(pool.GetSlabCount(), 1u);
    EXPECT_EQ(pool.GetEmptySlabCount(), 1u);
    // The kept slab hands out every slot once before any repeats.
    std::set<void*> seen;
    std::vector<void*> all;
    for (size_t i = 0; i < pool.GetSlotsPerSlab(); ++i) {
        all.push_back(pool.Take());
        EXPECT_TRUE(seen.insert(all.back()).second) << "slot " << i << " repeated";
    }
    EXPECT_EQ(pool.GetSlabCount(), 1u) << "one slab holds a slab's worth";
    all.push_back(pool.Take());
    EXPECT_EQ(pool.GetSlabCount(), 2u);
    for (void* p : all) pool.Give(p);
    EXPECT_EQ(pool.GetLiveCount(), 0u);
}

TEST(ArticSlotPool, ThreadsSharingThePoolKeepTheirSlots) {
    CArticSlotPool pool(64);
    const size_t size = pool.GetSlotSize();
    std::vector<std::thread> threads;
    std::vector<int> broken(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&pool, &broken, size, t] {
            std::mt19937 random{unsigned(t)};
            std::vector<PoolSlot> held;
            for (int n = 0; n < 20000; ++n) {
                if (held.empty() || random() % 3 != 0) {
                    PoolSlot h{pool.Take(), uint32_t(t) << 28 | uint32_t(n) << 8};
                    if (!h.slot) {
                        ++broken[size_t(t)];
                        continue;
                    }
                    FillSlot(h, size);
                    held.push_back(h);
                } else {
                    const size_t i = random() % held.size();
                    if (!SlotIntact(held[i], size)) ++broken[size_t(t)];
                    pool.Give(held[i].slot);
                    held[i] = held.back();
                    held.pop_back();
                }
            }
            for (const PoolSlot& h : held) {
                if (!SlotIntact(h, size)) ++broken[size_t(t)];
                pool.Give(h.slot);
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(broken, std::vector<int>(4, 0));
    EXPECT_EQ(pool.GetLiveCount(), 0u);
    EXPECT_LE(pool.GetSlabCount(), CArticSlotPool::kKeptEmptySlabs);
}

}  // namespace
