#include <gtest/gtest.h>

#include <vector>

#include "engine/rules/ArticPrmExp.h"
#include "platform/Archive.h"

TEST(CMakeRulePrmSerialize, StoresLengthThenBytesAndLoadsThemBack) {
    CMakeRulePrm prm;
    ASSERT_EQ(prm.Alloc(3), 3u);
    const BYTE bytes[3] = {0x10, 0x00, 0xFF};
    ASSERT_EQ(prm.SetData(0, 3, bytes), 0);

    CArchive out;
    prm.Serialize(out);
    const std::vector<BYTE> expected = {3, 0, 0, 0, 0x10, 0x00, 0xFF};
    EXPECT_EQ(out.GetBuffer(), expected);

    CArchive in(out.GetBuffer().data(), out.GetBuffer().size());
    CMakeRulePrm back;
    back.Alloc(9);  // the load replaces what was there
    back.Serialize(in);
    EXPECT_FALSE(in.IsFailed());
    EXPECT_EQ(in.Left(), 0u);
    ASSERT_EQ(back.GetLen(), 3u);
    EXPECT_EQ(back.GetData()[0], 0x10);
    EXPECT_EQ(back.GetData()[2], 0xFF);
}

TEST(CMakeRulePrmSerialize, EmptyBlobIsAZeroLength) {
    CMakeRulePrm empty;
    CArchive out;
    empty.Serialize(out);
    EXPECT_EQ(out.GetBuffer(), std::vector<BYTE>({0, 0, 0, 0}));

    CArchive in(out.GetBuffer().data(), out.GetBuffer().size());
    CMakeRulePrm back;
    back.Alloc(2);
    back.Serialize(in);
    EXPECT_FALSE(in.IsFailed());
    EXPECT_EQ(back.GetLen(), 0u);
    EXPECT_EQ(back.GetData(), nullptr);
}

// A cut buffer, or a length larger than what follows, fails the load and
// leaves an empty blob instead of reading past the end.
TEST(CMakeRulePrmSerialize, TruncatedBuffersFailCleanly) {
    const std::vector<std::vector<BYTE>> cases = {
        {},                           // no length
        {3, 0},                       // half a length
        {3, 0, 0, 0, 0x10, 0x00},     // one byte short
        {0xFF, 0xFF, 0xFF, 0xFF, 1},  // a length of 4 GiB on a five-byte buffer
    };
    for (const auto& bytes : cases) {
        CArchive in(bytes.data(), bytes.size());
        CMakeRulePrm back;
        back.Alloc(2);
        back.Serialize(in);
        EXPECT_TRUE(in.IsFailed()) << bytes.size();
        EXPECT_EQ(back.GetLen(), 0u) << bytes.size();
        EXPECT_EQ(back.GetData(), nullptr) << bytes.size();
    }
}
