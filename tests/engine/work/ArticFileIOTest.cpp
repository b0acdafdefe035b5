// File access by path and the process-wide cache of phrase files.
#include <gtest/gtest.h>

#include "engine/work/ArticCash.h"
#include "engine/work/ArticFileIO.h"
#include "SmfFixture.h"
#include "UtilFixture.h"

using namespace smftest;
using wrktest::Items;
using wrktest::Loose;
using wrktest::OwnedList;
using wrktest::Times;

namespace {

struct CashTest : ::testing::Test {
    void SetUp() override { CArticCash::Clear(); }
    void TearDown() override { CArticCash::Delete(); }
};

const Bytes kThreeCc = Smf0(480, {0x00, 0xB0, 0x0B, 0x00, 0x83, 0x60, 0xB0, 0x0B, 0x7F, 0x83, 0x60, 0xB0, 0x0B, 0x00});

}  // namespace

TEST(ArticFileIO, CheckPrefixKinds) {
    struct Case {
        const char* path;
        unsigned kind;
    };
    const Case cases[] = {
        {"Lib\\GlisDn.mid", 0}, {"C:\\LIB\\A.MID", 0}, {"x.Mid", 0},       {"pattern.dat", 1},
        {"pattern.midi", 2},    {"noextension", 2},    {"dir.v2\\file", 2}, {"a.mid.bak", 2},
    };
    for (const auto& c : cases) EXPECT_EQ(CArticFileIO::CheckPrefix(c.path), c.kind) << c.path;
    EXPECT_EQ(CArticFileIO::CheckPrefix(nullptr), 2u);
}

TEST_F(CashTest, OnePathIsReadFromDiskOnce) {
    TempFile file("cached.mid");
    file.Write(kThreeCc);
    CArticFileIO first;
    ASSERT_EQ(first.Load(file.path.c_str()), 1);
    EXPECT_EQ(Times(*first.GetEvntListPtr()), (std::vector<INT64>{0, 480, 960}));
    CArticSmfBuf* buf = nullptr;
    ASSERT_EQ(CArticCash::IsSmfBuf(CString(file.path), &buf), 1);
    ASSERT_NE(buf, nullptr);
    EXPECT_NE(buf->GetEvntListPtr(), first.GetEvntListPtr());  // the cache keeps its own copy

    // The file is gone: every later load is served by the cache.
    ASSERT_TRUE(CFile::Remove(CString(file.path)));
    for (int i = 0; i < 3; ++i) {
        CArticFileIO again;
        ASSERT_EQ(again.Load(file.path.c_str()), 1);
        EXPECT_EQ(again.GetEvntListPtr(), buf->GetEvntListPtr());
        EXPECT_EQ(Times(*again.GetEvntListPtr()), (std::vector<INT64>{0, 480, 960}));
    }
    CArticSmfBufList* list = nullptr;
    ASSERT_EQ(CArticCash::GetSmfBufList(&list), 1);
    EXPECT_EQ(list->GetCount(), 1);
}

TEST_F(CashTest, WithoutACacheLoadsWorkButNothingIsKept) {
    CArticCash::Delete();
    TempFile file("uncached.mid");
    file.Write(kThreeCc);
    CArticFileIO io;
    ASSERT_EQ(io.Load(file.path.c_str()), 1);
    EXPECT_EQ(io.GetEvntListPtr()->GetCount(), 3);
    ASSERT_TRUE(CFile::Remove(CString(file.path)));
    CArticFileIO again;
    EXPECT_EQ(again.Load(file.path.c_str()), 0);
    CArticWrkEvntList* out = reinterpret_cast<CArticWrkEvntList*>(1);
    EXPECT_EQ(again.GetEvntList(&out), 0);
    EXPECT_EQ(out, nullptr);
}

TEST_F(CashTest, RefusedFilesAndOtherKindsFail) {
    TempFile dat("pattern.dat");
    dat.Write(kThreeCc);
    TempFile broken("broken.mid");
    broken.Write(Bytes(kThreeCc.begin(), kThreeCc.end() - 2));
    CArticFileIO io;
    EXPECT_EQ(io.Load(dat.path.c_str()), 0);
    EXPECT_EQ(io.Load(broken.path.c_str()), 0);
    EXPECT_EQ(io.Load((::testing::TempDir() + "missing.mid").c_str()), 0);
    EXPECT_EQ(io.Load(nullptr), 0);
    CArticSmfBufList* list = nullptr;
    CArticCash::GetSmfBufList(&list);
    EXPECT_EQ(list->GetCount(), 0);
}

TEST_F(CashTest, IsSmfBufForAPathNotCached) {
    CArticSmfBuf* buf = reinterpret_cast<CArticSmfBuf*>(1);
    EXPECT_EQ(CArticCash::IsSmfBuf("nowhere.mid", &buf), 1);
    EXPECT_EQ(buf, nullptr);
    EXPECT_EQ(CArticCash::IsSmfBuf("nowhere.mid", nullptr), 0);
}

TEST(ArticSmfBuf, CopyNumbersOnlyTheCopiesMade) {
    OwnedList src;
    src.list.AddTail(nullptr);
    src.list.AddTail(Loose(0xB0, 10, 11, 20));
    src.list.AddTail(Loose(0xB0, 20, 11, 30));
    CArticSmfBuf buf;
    buf.SetFullPath("a.mid");
    buf.CopyEvntList(&src.list);
    std::vector<CArticWrkEvnt*> copies = Items(*buf.GetEvntListPtr());
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0]->GetEvntNo(), 0u);
    EXPECT_EQ(copies[1]->GetEvntNo(), 1u);
    EXPECT_EQ(copies[1]->GetPost2(), 30);
    EXPECT_EQ(copies[0]->GetOwner(), nullptr);
    EXPECT_EQ(buf.GetFullPath(), CString("a.mid"));
}

TEST(ArticFileIO, SaveReplacesALongerFileWhole) {
    TempFile file("saved.mid");
    file.Write(Bytes(200, 0xAA));
    OwnedList events;
    events.list.AddTail(Loose(0x90, 0, 60, 100, 480));
    CArticFileIO io;
    io.SetEvntList(&events.list);
    ASSERT_EQ(io.Save(file.path.c_str()), 1);
    Bytes saved = file.Read();
    ASSERT_EQ(saved.size(), 35u);
    EXPECT_EQ(saved[21], 13);
    CArticFileIO reader;
    ASSERT_EQ(reader.Load(file.path.c_str()), 1);
    EXPECT_EQ(reader.GetEvntListPtr()->GetCount(), 2);  // the note and the end of track

    CArticFileIO empty;
    EXPECT_EQ(empty.Save(file.path.c_str()), 0);  // no list
    io.SetEvntList(&events.list);
    TempFile dat("saved.dat");
    EXPECT_EQ(io.Save(dat.path.c_str()), 0);
}
