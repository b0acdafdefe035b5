#include "platform/File.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"

namespace {

class FileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.ok()); }
    CString at(const std::string& name) const { return CString(dir / name); }
    TempFolder dir;
};

TEST_F(FileTest, CreateWithoutTruncateKeepsContents) {
    dir.write("keep.bin", "hello");
    CFile f;
    ASSERT_TRUE(f.Open(at("keep.bin"), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite));
    EXPECT_EQ(f.GetLength(), 5);
    char buf[8] = {};
    EXPECT_EQ(f.Read(buf, 8), 5u);
    EXPECT_STREQ(buf, "hello");
    EXPECT_TRUE(f.Write("!", 1));
    f.Close();
    EXPECT_EQ(dir.read("keep.bin"), "hello!");
}

TEST_F(FileTest, CreateWithoutTruncateMakesAMissingFile) {
    CFile f;
    ASSERT_TRUE(f.Open(at("new.bin"), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
    EXPECT_TRUE(f.Write("ab", 2));
    f.Close();
    EXPECT_EQ(dir.read("new.bin"), "ab");
}

TEST_F(FileTest, CreateTruncates) {
    dir.write("trunc.bin", "old contents");
    CFile f;
    ASSERT_TRUE(f.Open(at("trunc.bin"), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(f.GetLength(), 0);
    EXPECT_TRUE(f.Write("xy", 2));
    EXPECT_EQ(f.GetLength(), 2);  // includes bytes not yet flushed
    f.Close();
    EXPECT_EQ(dir.read("trunc.bin"), "xy");
}

TEST_F(FileTest, ReadAndPlainWriteNeedAnExistingFile) {
    CFile f;
    EXPECT_FALSE(f.Open(at("missing.bin"), CFile::modeRead));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_FALSE(f.Open(at("missing.bin"), CFile::modeWrite));
    EXPECT_FALSE(CFile::GetStatus(at("missing.bin")));

    dir.write("jello.bin", "hello");
    ASSERT_TRUE(f.Open(at("jello.bin"), CFile::modeWrite));  // no truncation without modeCreate
    EXPECT_TRUE(f.Write("J", 1));
    f.Close();
    EXPECT_EQ(dir.read("jello.bin"), "Jello");
}

TEST_F(FileTest, AFolderIsNoFile) {
    std::filesystem::create_directory(dir / "sub");
    CFile f;
    EXPECT_FALSE(f.Open(at("sub"), CFile::modeRead));
    CFile::Status st;
    ASSERT_TRUE(CFile::GetStatus(at("sub"), &st));
    EXPECT_TRUE(st.m_isDirectory);
}

TEST_F(FileTest, SeekPositionLengthAndStatus) {
    dir.write("seek.bin", "0123456789");
    CFile f;
    ASSERT_TRUE(f.Open(at("seek.bin"), CFile::modeReadWrite));
    EXPECT_EQ(f.Seek(4, CFile::begin), 4);
    char c = 0;
    EXPECT_EQ(f.Read(&c, 1), 1u);
    EXPECT_EQ(c, '4');
    EXPECT_EQ(f.Seek(-2, CFile::end), 8);
    EXPECT_EQ(f.Seek(-20, CFile::current), -1);
    EXPECT_EQ(f.SeekToEnd(), 10);
    EXPECT_EQ(f.Read(&c, 1), 0u);
    EXPECT_TRUE(f.SetLength(3));
    EXPECT_EQ(f.GetLength(), 3);
    f.Close();
    CFile::Status st;
    ASSERT_TRUE(CFile::GetStatus(at("seek.bin"), &st));
    EXPECT_EQ(st.m_size, 3u);
    EXPECT_FALSE(st.m_isDirectory);
    EXPECT_TRUE(CFile::Remove(at("seek.bin")));
    EXPECT_FALSE(CFile::GetStatus(at("seek.bin")));
    EXPECT_FALSE(CFile::Remove(at("seek.bin")));
}

TEST_F(FileTest, ClosedFileFailsQuietly) {
    CFile f;
    char c;
    EXPECT_EQ(f.Read(&c, 1), 0u);
    EXPECT_FALSE(f.Write("x", 1));
    EXPECT_EQ(f.Seek(0, CFile::begin), -1);
    EXPECT_EQ(f.GetLength(), -1);
    EXPECT_FALSE(f.Flush());
}

// GetFileName works on the path as given to Open; a stand-in sets it directly.
struct NamedFile : CFile {
    CString nameOf(const char* path) {
        path_ = path;
        return GetFileName();
    }
};

TEST_F(FileTest, FileNameAfterLastSeparator) {
    struct Case { const char* path; const char* name; };
    const Case cases[] = {
        {"D:\\lib\\x.mid", "x.mid"},
        {"a/b\\c.dat", "c.dat"},
        {"plain.mid", "plain.mid"},
        {"lib\\\x95\x5C.mid", "\x95\x5C.mid"},  // the trail byte 0x5C is no separator
        {"dir\\", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(NamedFile().nameOf(c.path), c.name) << c.path;
}

TEST_F(FileTest, OpensADoubleByteNameGivenWithBackslashes) {
    dir.write("\xE8\xA1\xA8.mid", "MThd");  // "hyo.mid" in UTF-8
    const CString path = CString(dir.path()) + "\\\x95\x5C.mid";
    CFile f;
    ASSERT_TRUE(f.Open(path, CFile::modeRead | CFile::shareDenyWrite));
    EXPECT_EQ(f.GetFilePath(), path);
    EXPECT_EQ(f.GetFileName(), "\x95\x5C.mid");
    EXPECT_EQ(f.GetLength(), 4);
}

struct LinesCase {
    const char* what;
    const char* bytes;
    std::vector<std::string> lines;
};

TEST_F(FileTest, ReadStringSplitsLines) {
    const LinesCase cases[] = {
        {"CRLF and LF", "a\r\nb\n", {"a", "b"}},
        {"last line without newline", "x\ny", {"x", "y"}},
        {"empty file", "", {}},
        {"empty lines", "\n\r\n", {"", ""}},
        {"carriage return inside a line stays", "a\rb\n", {"a\rb"}},
    };
    for (const auto& c : cases) {
        dir.write("lines.txt", c.bytes);
        CStdioFile f;
        ASSERT_TRUE(f.Open(at("lines.txt"), CFile::modeRead | CFile::typeText));
        std::vector<std::string> got;
        CString line;
        while (f.ReadString(line)) got.push_back(line.str());
        EXPECT_EQ(got, c.lines) << c.what;
        EXPECT_TRUE(line.IsEmpty()) << c.what;
    }
}

TEST_F(FileTest, WriteStringWritesBytesAsGiven) {
    CStdioFile f;
    ASSERT_TRUE(f.Open(at("out.txt"), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
    EXPECT_TRUE(f.WriteString("a\nb"));
    f.Close();
    EXPECT_EQ(dir.read("out.txt"), "a\nb");
}

TEST_F(FileTest, WholeFileRoundTripAndReplace) {
    const std::string bytes("MThd\0\0\0\x06\x1A\xFF", 10);
    ASSERT_TRUE(WriteWholeFile(at("song.mid"), bytes));
    std::string back;
    ASSERT_TRUE(ReadWholeFile(at("song.mid"), &back));
    EXPECT_EQ(back, bytes);

    ASSERT_TRUE(WriteWholeFile(at("song.mid"), "new"));
    ASSERT_TRUE(ReadWholeFile(at("song.mid"), &back));
    EXPECT_EQ(back, "new");
    // No temporary file is left beside the target.
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) entries += e.is_regular_file();
    EXPECT_EQ(entries, 1);
}

TEST_F(FileTest, WholeFileFailuresLeaveOldDataAlone) {
    std::string back = "untouched";
    EXPECT_FALSE(ReadWholeFile(at("missing.mid"), &back));
    EXPECT_EQ(back, "untouched");
    EXPECT_FALSE(ReadWholeFile(CString(dir.path()), &back));  // a folder
    EXPECT_FALSE(WriteWholeFile(at("no/such/folder/x.mid"), "x"));
    EXPECT_FALSE(WriteWholeFile(CString(dir.path()), "x"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
