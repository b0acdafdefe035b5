// Finding files by pattern: case ignored in the match and the order, only
// regular files, and reading a file by a UTF-16 path with a size limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/FolderList.h"
#include "platform/Text.h"

namespace {

class ListFolder {
public:
    ListFolder() {
        const auto base = std::filesystem::temp_directory_path();
        for (int i = 0;; ++i) {
            path = base / ("vexa_folderlist_" + std::to_string(i));
            if (std::filesystem::create_directory(path)) break;
        }
    }
    ~ListFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    void Add(const std::string& name, const std::string& bytes = "x") const {
        std::ofstream(path / name, std::ios::binary) << bytes;
    }
    std::u16string Pattern(const std::string& name) const { return Utf8ToUtf16((path / name).string()); }
    std::filesystem::path path;
};

std::vector<std::string> Utf8(const std::vector<std::u16string>& names) {
    std::vector<std::string> out;
    for (const auto& n : names) out.push_back(Utf16ToUtf8(n));
    return out;
}

}  // namespace

TEST(FolderList, PatternMatchTable) {
    struct Case {
        const char16_t* name;
        const char16_t* pattern;
        bool matches;
    };
    const Case cases[] = {
        {u"Brune2.exm", u"Brune*.exm", true}, {u"brune9.EXM", u"Brune*.exm", true},
        {u"Brune.exm", u"Brune*.exm", true},  {u"XBrune.exm", u"Brune*.exm", false},
        {u"Brune.exmx", u"*.exm", false},     {u"a.exm.exm", u"*.exm", true},
        {u"abc", u"a?c", true},               {u"ac", u"a?c", false},
        {u"", u"*", true},                    {u"abc", u"", false},
        {u"\u00e9t\u00e9.exm", u"*.EXM", true}, {u"\u00c9.exm", u"\u00e9*", false},  // only ASCII folds
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesNoCase(c.name, c.pattern), c.matches) << Utf16ToUtf8(c.name) << " ~ " << Utf16ToUtf8(c.pattern);
}

TEST(FolderList, FindsRegularFilesInNameOrderIgnoringCase) {
    ListFolder folder;
    for (const char* name : {"b.exm", "C.exm", "a.EXM", "A.exm", "Brune.exm", "Brune5.exm", "skip.txt"}) folder.Add(name);
    std::filesystem::create_directory(folder.path / "dir.exm");
    EXPECT_EQ(Utf8(FindFiles(folder.Pattern("*.exm"))),
              (std::vector<std::string>{"A.exm", "a.EXM", "b.exm", "Brune.exm", "Brune5.exm", "C.exm"}));
    EXPECT_EQ(Utf8(FindFiles(folder.Pattern("brune*.exm"))), (std::vector<std::string>{"Brune.exm", "Brune5.exm"}));
    EXPECT_TRUE(FindFiles(folder.Pattern("none*.exm")).empty());
    EXPECT_TRUE(FindFiles(Utf8ToUtf16((folder.path / "missing" / "*.exm").string())).empty());
}

TEST(FolderList, ReadsWithinTheLimitOnly) {
    ListFolder folder;
    folder.Add("\u00e9.bin", "12345");
    std::string bytes = "old";
    ASSERT_TRUE(ReadFileBytes(folder.Pattern("\u00e9.bin"), 5, &bytes));
    EXPECT_EQ(bytes, "12345");
    EXPECT_FALSE(ReadFileBytes(folder.Pattern("\u00e9.bin"), 4, &bytes));
    EXPECT_FALSE(ReadFileBytes(folder.Pattern("missing.bin"), 100, &bytes));
    EXPECT_FALSE(ReadFileBytes(Utf8ToUtf16(folder.path.string()), 100, &bytes));  // a folder
    EXPECT_EQ(bytes, "12345");
}
