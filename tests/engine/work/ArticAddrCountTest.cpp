// The address counts of the work data, compared step by step with a plain
// map, with addresses crowded onto few home slots so that runs form, wrap
// around the table's end and lose entries from their middle.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>

#include "engine/work/ArticAddrCount.h"

namespace {

const void* Addr(uintptr_t n) { return reinterpret_cast<const void*>(n); }

struct AddrCountCase {
    const char* what;
    uintptr_t stride;  // distance between the addresses used
    int addresses;     // how many different addresses
    int steps;
};

const AddrCountCase kAddrCountCases[] = {
    {"events apart", 304, 300, 20000},
    {"page apart", 4096, 2000, 40000},
    {"few addresses, many changes", 8, 5, 5000},
    {"growth past several sizes", 16, 5000, 60000},
};

TEST(ArticAddrCount, FollowsAMapThroughRandomChanges) {
    for (const AddrCountCase& c : kAddrCountCases) {
        std::mt19937 random(7);
        CArticAddrCount counts;
        std::map<const void*, int> expected;
        for (int step = 0; step < c.steps; ++step) {
            const void* p = Addr(0x10000 + c.stride * uintptr_t(random() % unsigned(c.addresses)));
            // More additions than removals at first, the other way round later.
            const bool add = int(random() % 100) < (step < c.steps / 2 ? 70 : 30);
            const int change = add ? 1 + int(random() % 2) : -1 - int(random() % 2);
            counts.Add(p, change);
            auto it = expected.find(p);
            if (it == expected.end()) {
                if (change > 0) expected[p] = change;
            } else if ((it->second += change) <= 0) {
                expected.erase(it);
            }
            if (step % 97 == 0 || step == c.steps - 1) {
                ASSERT_EQ(counts.Size(), expected.size()) << c.what << " step " << step;
                for (int a = 0; a < c.addresses; ++a) {
                    const void* q = Addr(0x10000 + c.stride * uintptr_t(a));
                    auto e = expected.find(q);
                    ASSERT_EQ(counts.Get(q), e == expected.end() ? 0 : e->second)
                        << c.what << " step " << step << " address " << a;
                }
            }
        }
        counts.Clear();
        EXPECT_EQ(counts.Size(), 0u) << c.what;
        EXPECT_EQ(counts.Get(Addr(0x10000)), 0) << c.what;
        counts.Add(Addr(0x10000), 3);
        EXPECT_EQ(counts.Get(Addr(0x10000)), 3) << c.what << " after clearing";
    }
}

TEST(ArticAddrCount, NullAndNonPositiveChangesEnterNothing) {
    CArticAddrCount counts;
    counts.Add(nullptr, 4);
    counts.Add(Addr(0x40), 0);
    counts.Add(Addr(0x40), -2);
    EXPECT_EQ(counts.Size(), 0u);
    EXPECT_EQ(counts.Get(nullptr), 0);
    EXPECT_EQ(counts.Get(Addr(0x40)), 0);
    counts.Add(Addr(0x40), 2);
    counts.Add(Addr(0x40), -5);  // below zero: gone, not negative
    EXPECT_EQ(counts.Get(Addr(0x40)), 0);
    EXPECT_EQ(counts.Size(), 0u);
}

}  // namespace
