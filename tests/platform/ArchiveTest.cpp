#include "platform/Archive.h"

#include <gtest/gtest.h>

TEST(Archive, StoresLittleEndianAndLoadsBack) {
    CArchive out;
    ASSERT_TRUE(out.IsStoring());
    out << DWORD(0x12345678);
    const BYTE tail[2] = {0xAB, 0xCD};
    out.Write(tail, 2);
    const std::vector<BYTE> expected = {0x78, 0x56, 0x34, 0x12, 0xAB, 0xCD};
    EXPECT_EQ(out.GetBuffer(), expected);
    EXPECT_FALSE(out.IsFailed());

    CArchive in(out.GetBuffer().data(), out.GetBuffer().size());
    ASSERT_TRUE(in.IsLoading());
    DWORD v = 0;
    BYTE two[2] = {};
    EXPECT_TRUE(in.ReadDWORD(v));
    EXPECT_EQ(v, 0x12345678u);
    EXPECT_TRUE(in.Read(two, 2));
    EXPECT_EQ(two[0], 0xAB);
    EXPECT_EQ(two[1], 0xCD);
    EXPECT_EQ(in.Left(), 0u);
    EXPECT_FALSE(in.IsFailed());
}

TEST(Archive, ShortReadsFailWithoutConsuming) {
    const BYTE three[3] = {1, 2, 3};
    CArchive in(three, sizeof three);
    DWORD v = 0xDEADBEEF;
    EXPECT_FALSE(in.ReadDWORD(v));
    EXPECT_EQ(v, 0xDEADBEEFu);
    EXPECT_TRUE(in.IsFailed());
    EXPECT_EQ(in.Left(), 3u);
    BYTE buf[4] = {};
    EXPECT_FALSE(in.Read(buf, 4));
    EXPECT_TRUE(in.Read(buf, 3));
    EXPECT_EQ(buf[2], 3);

    CArchive empty(nullptr, 0);
    EXPECT_FALSE(empty.ReadDWORD(v));
    EXPECT_TRUE(empty.IsFailed());
}

TEST(Archive, OperationsOfTheWrongModeFail) {
    CArchive out;
    DWORD v = 0;
    EXPECT_FALSE(out.ReadDWORD(v));
    EXPECT_TRUE(out.IsFailed());

    const BYTE one[1] = {9};
    CArchive in(one, 1);
    in.WriteDWORD(5);
    EXPECT_TRUE(in.IsFailed());
    EXPECT_EQ(in.Left(), 1u);
}
