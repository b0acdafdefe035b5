#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "platform/Document.h"

namespace {

TEST(Document, ModifiedFlag) {
    CDocument doc;
    EXPECT_FALSE(doc.IsModified());
    doc.SetModifiedFlag();
    EXPECT_TRUE(doc.IsModified());
    doc.SetModifiedFlag(false);
    EXPECT_FALSE(doc.IsModified());
}

TEST(Document, PathNameIsMadeAbsoluteAndNamesTheTitle) {
    CDocument doc;
    doc.SetPathName("D:\\music\\song.mid");
    EXPECT_EQ(doc.GetPathName(), "D:\\music\\song.mid");
    EXPECT_EQ(doc.GetTitle(), "song.mid");

    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    doc.SetPathName("sub/take.mid");
    EXPECT_EQ(doc.GetPathName(), CString(std::string(cwd) + "/sub/take.mid"));
    EXPECT_EQ(doc.GetTitle(), "take.mid");
}

TEST(Document, FileNameNeverSplitsADoubleByteCharacter) {
    // 0x95 0x5C is one double-byte character whose second byte is '\'.
    const CString name("\x95\x5C.mid");
    EXPECT_EQ(PathFileName("C:\\dir\\" + name), name);
    EXPECT_EQ(PathFileName("plain"), "plain");
    EXPECT_EQ(PathFileName("C:\\dir\\"), "");
}

}  // namespace
