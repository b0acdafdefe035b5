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

TEST(Archive, BytesQuadWordsAndTextsRoundTrip) {
    CArchive out;
    out.WriteByte(0x7F);
    out.WriteQWORD(0x0102030405060708ull);
    out.WriteString(CString("ab\0c", 4));
    out.WriteString(CString());
    const std::vector<BYTE> expected = {0x7F, 8, 7, 6, 5, 4, 3, 2, 1, 4, 0, 0, 0, 'a', 'b', 0, 'c', 0, 0, 0, 0};
    EXPECT_EQ(out.GetBuffer(), expected);

    CArchive in(out.GetBuffer().data(), out.GetBuffer().size());
    BYTE b = 0;
    uint64_t q = 0;
    CString text, empty("x");
    EXPECT_TRUE(in.ReadByte(b));
    EXPECT_TRUE(in.ReadQWORD(q));
    EXPECT_TRUE(in.ReadString(text));
    EXPECT_TRUE(in.ReadString(empty));
    EXPECT_EQ(b, 0x7F);
    EXPECT_EQ(q, 0x0102030405060708ull);
    EXPECT_EQ(text, CString("ab\0c", 4));
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(in.Left(), 0u);
    EXPECT_FALSE(in.IsFailed());
}

TEST(Archive, ATextLongerThanTheArchiveFailsWithoutConsuming) {
    const std::vector<std::vector<BYTE>> cases = {
        {3, 0},                             // half a count
        {5, 0, 0, 0, 'a', 'b'},             // two of five bytes
        {0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'}, // a count of 4 GiB
    };
    for (const auto& bytes : cases) {
        CArchive in(bytes.data(), bytes.size());
        CString text("kept");
        EXPECT_FALSE(in.ReadString(text)) << bytes.size();
        EXPECT_TRUE(in.IsFailed());
        EXPECT_EQ(in.Left(), bytes.size());
        EXPECT_EQ(text, "kept");
    }
    uint64_t q = 9;
    const BYTE seven[7] = {};
    CArchive shortQ(seven, sizeof seven);
    EXPECT_FALSE(shortQ.ReadQWORD(q));
    EXPECT_EQ(q, 9u);
}
