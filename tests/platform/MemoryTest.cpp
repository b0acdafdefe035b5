#include "platform/Memory.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(GlobalMemory, BlockLifecycle) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 16);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 16u);
    auto* p = static_cast<BYTE*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(p[i], 0) << i;
    std::memset(p, 0xAB, 16);
    EXPECT_TRUE(GlobalUnlock(h));
    EXPECT_EQ(static_cast<BYTE*>(GlobalLock(h))[15], 0xAB);  // the same bytes again
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, EmptyAndNullBlocks) {
    HGLOBAL h = GlobalAlloc(GMEM_SHARE, 0);
    ASSERT_NE(h, nullptr);  // an empty block is still a block
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_NE(GlobalLock(h), nullptr);
    EXPECT_TRUE(GlobalUnlock(h));
    EXPECT_EQ(GlobalFree(h), nullptr);

    EXPECT_EQ(GlobalLock(nullptr), nullptr);
    EXPECT_EQ(GlobalSize(nullptr), 0u);
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST(TaskMemory, AllocAndFree) {
    auto* p = static_cast<char*>(CoTaskMemAlloc(5));
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "abcd", 5);
    EXPECT_STREQ(p, "abcd");
    CoTaskMemFree(p);
    CoTaskMemFree(nullptr);
}

}  // namespace
