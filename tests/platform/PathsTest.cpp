#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "platform/File.h"

namespace {

TEST(MapPath, SeparatorsAndDoubleByteNames) {
    struct Case { const char* path; const char* native; };
    const Case cases[] = {
        // "hyo" (0x95 0x5C) keeps its trail byte: only the real backslashes become '/'.
        {"nowhere\\\x95\x5C\\b.mid", "nowhere/\xE8\xA1\xA8/b.mid"},
        {"\x95\x5C", "\xE8\xA1\xA8"},
        {"D:\\lib\\x.mid", "D:/lib/x.mid"},  // kept as a relative text
        {"/abs\\x", "/abs/x"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(MapPath(c.path), c.native) << c.path;
}

TEST(MapPath, NativeToEngineReturnsCp932) {
    EXPECT_EQ(NativeToEngine("/tmp/\xE8\xA1\xA8.mid"), "/tmp/\x95\x5C.mid");
}

TEST(MapPath, DriveLetter) {
    struct Case { const char* path; bool drive; };
    const Case cases[] = {{"D:\\lib", true}, {"z:x", true}, {"1:", false}, {":a", false}, {"D", false}, {"", false}};
    for (const auto& c : cases) EXPECT_EQ(HasDriveLetter(c.path), c.drive) << c.path;
}

class NoCaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.ok());
        dir.write("lib/vib3-g02.mid", "x");
    }
    TempFolder dir;
};

TEST_F(NoCaseTest, FindsAFileAskedInAnotherCase) {
    std::string found;
    ASSERT_TRUE(ResolveNoCase(dir / "lib/Vib3-g02.mid", &found));
    EXPECT_EQ(found, dir / "lib/vib3-g02.mid");
    // Through the folder too, written the old way.
    EXPECT_EQ(MapPath(CString(dir.path()) + "\\Lib\\Vib3-G02.MID"), dir / "lib/vib3-g02.mid");
    EXPECT_EQ(MapPath(CString(dir.path()) + "/LIB\\"), dir / "lib/");
    EXPECT_TRUE(CFile::GetStatus(CString(dir.path()) + "\\LIB\\VIB3-G02.mid"));
}

TEST_F(NoCaseTest, ExactSpellingIsKept) {
    EXPECT_EQ(MapPath(CString(dir.path()) + "/lib/vib3-g02.mid"), dir / "lib/vib3-g02.mid");
}

TEST_F(NoCaseTest, FirstMatchInSortedOrderWins) {
    dir.write("lib/ab.TXT", "2");
    dir.write("lib/AB.txt", "1");
    std::string found;
    ASSERT_TRUE(ResolveNoCase(dir / "lib/Ab.txt", &found));
    EXPECT_EQ(found, dir / "lib/AB.txt");  // 'A' sorts before 'a'
}

TEST_F(NoCaseTest, AFolderIsNeverTakenForAFileOnTheWay) {
    dir.write("LIB", "a file, not the folder");  // sorts before "lib"
    std::string found;
    ASSERT_TRUE(ResolveNoCase(dir / "Lib/vib3-g02.mid", &found));
    EXPECT_EQ(found, dir / "lib/vib3-g02.mid");
}

TEST_F(NoCaseTest, MissingNamesAreLeftAsMapped) {
    std::string found = "unchanged";
    EXPECT_FALSE(ResolveNoCase(dir / "lib/none.mid", &found));
    EXPECT_EQ(found, "unchanged");
    EXPECT_FALSE(ResolveNoCase(dir / "nodir/none.mid", &found));
    EXPECT_EQ(MapPath(CString(dir.path()) + "/nodir/x.mid"), dir / "nodir/x.mid");
}

TEST_F(NoCaseTest, ANewFileGoesIntoTheExistingFolder) {
    EXPECT_EQ(MapPath(CString(dir.path()) + "\\LIB\\new.mid"), dir / "lib/new.mid");
    EXPECT_TRUE(WriteWholeFile(CString(dir.path()) + "\\LIB\\new.mid", "n"));
    EXPECT_EQ(dir.read("lib/new.mid"), "n");
}

TEST_F(NoCaseTest, DoubleByteFolderNames) {
    dir.write("\xE8\xA1\xA8/Song.mid", "s");  // folder "hyo"
    EXPECT_TRUE(CFile::GetStatus(CString(dir.path()) + "\\\x95\x5C\\song.MID"));
}

TEST(ProgramFolder, HoldsTheRunningProgram) {
    CString folder = GetProgramFolder();
    ASSERT_FALSE(folder.IsEmpty());
    EXPECT_EQ(folder.Right(1), "/");
    EXPECT_EQ(folder.Left(1), "/");
    CFile::Status st;
    ASSERT_TRUE(CFile::GetStatus(folder + "test_platform", &st));
    EXPECT_FALSE(st.m_isDirectory);
}

}  // namespace
