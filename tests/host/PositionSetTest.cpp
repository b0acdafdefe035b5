// The set of live positions a block keeps of its events.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/PositionSet.h"

namespace {

POSITION At(size_t i) { return reinterpret_cast<POSITION>(uintptr_t(0x10000 + i * 32)); }

}  // namespace

TEST(PositionSet, InsertEraseAndLookupThroughGrowthAndErasedSlots) {
    CPositionSet set;
    EXPECT_FALSE(set.Contains(nullptr));
    EXPECT_FALSE(set.Contains(At(0)));
    constexpr size_t kCount = 5000;
    for (size_t i = 0; i < kCount; ++i) set.Insert(At(i));
    set.Insert(At(7));  // already there
    set.Insert(nullptr);
    EXPECT_EQ(set.GetCount(), kCount);
    for (size_t i = 0; i < kCount; i += 2) set.Erase(At(i));
    set.Erase(At(kCount + 1));  // never there
    EXPECT_EQ(set.GetCount(), kCount / 2);
    for (size_t i = 0; i < kCount; ++i) EXPECT_EQ(set.Contains(At(i)), i % 2 == 1) << i;
    // Erased slots are taken again and do not hide what lies past them.
    for (size_t i = 0; i < kCount; i += 4) set.Insert(At(i));
    for (size_t i = 0; i < kCount; ++i) EXPECT_EQ(set.Contains(At(i)), i % 2 == 1 || i % 4 == 0) << i;
    EXPECT_FALSE(set.Contains(At(kCount)));
    set.Clear();
    EXPECT_EQ(set.GetCount(), 0u);
    EXPECT_FALSE(set.Contains(At(1)));
}
