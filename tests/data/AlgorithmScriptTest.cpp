// The embedded algorithm scripts: the library's order and lookup, what a
// script hands over, and that the compiled-in bytes are the repository's
// text in CP932.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "data/AlgorithmScript.h"
#include "data/FilledVoiceTables.h"
#include "platform/Text.h"

namespace {

std::vector<std::string> LibraryNamesFixture() {
    std::ifstream in(std::string(VEXA_FIXTURES) + "/script_library.txt");
    std::vector<std::string> names;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        names.push_back(line.substr(line.find('|') + 1));
    }
    return names;
}

// The lines of a committed script file (UTF-8), without line ends.
std::vector<std::string> CommittedLines(const std::string& name) {
    std::ifstream in(std::string(VEXA_SOURCE_DIR) + "/data/scripts/" + name + ".rul", std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// Lead bytes 0x81-0x9F and 0xE0-0xFC take a trail byte 0x40-0x7E or 0x80-0xFC;
// single bytes are ASCII or half-width katakana.
bool IsCp932(const char* text) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (IsLeadByte(*p)) {
            const unsigned char trail = p[1];
            if (!((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC))) return false;
            ++p;
        } else if (*p >= 0x80 && !(*p >= 0xA1 && *p <= 0xDF)) {
            return false;
        }
    }
    return true;
}

}  // namespace

TEST(AlgorithmScriptLibrary, HoldsTheScriptsInTheirOrder) {
    const AlgorithmScriptLibrary library;
    const std::vector<std::string> names = LibraryNamesFixture();
    ASSERT_EQ(names.size(), 135u);
    ASSERT_EQ(library.GetCount(), 135);
    for (int i = 0; i < library.GetCount(); ++i) EXPECT_EQ(library.GetAt(i)->GetName().str(), names[size_t(i)]) << i;
    EXPECT_FALSE(library.GetAt(135));
    EXPECT_FALSE(library.GetAt(-1));
}

TEST(AlgorithmScriptLibrary, FindsByExactName) {
    FillVoiceTables();
    const AlgorithmScriptLibrary library;
    for (int row = 0; row < kFirstGroupRow; ++row)
        EXPECT_TRUE(library.Find(AlgorithmTable[row].algorithmId)) << row << " " << AlgorithmTable[row].algorithmId.c_str();
    for (const char* none : {"OtherNormal", "OtherDrum", "02 ", "", "debug", "01_"}) EXPECT_FALSE(library.Find(none)) << none;
    for (int row = 0; row < kAlgorithmRowCount; ++row) EXPECT_STRNE(AlgorithmTable[row].algorithmId, "Debug") << row;
    ASSERT_TRUE(library.Find("Debug"));

    const AlgorithmScript* steel = library.Find("02");
    ASSERT_TRUE(steel);
    EXPECT_EQ(steel, library.GetAt(5));
    EXPECT_EQ(size_t(steel->GetLineCount()), CommittedLines("02").size());
}

TEST(AlgorithmScriptLibrary, HandsOverEachLineWithItsLengthAndNul) {
    const AlgorithmScriptLibrary library;
    const AlgorithmScript* nylon = library.Find("01");
    ASSERT_TRUE(nylon);
    EXPECT_STREQ(nylon->GetLine(0), "; NylonGuitar(Hot)用");
    EXPECT_EQ(nylon->GetHandOverLength(0), 21);  // "用" is two CP932 bytes
    EXPECT_FALSE(nylon->GetLine(nylon->GetLineCount()));
    EXPECT_EQ(nylon->GetHandOverLength(-1), 0);

    std::vector<std::pair<std::string, int>> handed;
    nylon->HandOver([&](const char* line, int length) { handed.emplace_back(line, length); });
    ASSERT_EQ(int(handed.size()), nylon->GetLineCount());
    bool sawEmpty = false;
    for (const auto& h : handed) {
        EXPECT_EQ(h.second, int(h.first.size()) + 1);
        if (h.first.empty()) sawEmpty = true;
    }
    EXPECT_TRUE(sawEmpty);  // an empty line goes over as "" with length 1

    const AlgorithmScript* empty = library.Find("Empty");
    ASSERT_TRUE(empty);
    int count = 0;
    empty->HandOver([&](const char* line, int) {
        ++count;
        EXPECT_EQ(line[0], ';');
    });
    EXPECT_EQ(count, 1);
}

TEST(AlgorithmScriptLibrary, CompiledInBytesAreTheCommittedTextInCp932) {
    const AlgorithmScriptLibrary library;
    for (int i = 0; i < library.GetCount(); ++i) {
        const AlgorithmScript* script = library.GetAt(i);
        const std::vector<std::string> committed = CommittedLines(script->GetName().str());
        ASSERT_EQ(size_t(script->GetLineCount()), committed.size()) << script->GetName().c_str();
        for (int n = 0; n < script->GetLineCount(); ++n) {
            const char* line = script->GetLine(n);
            ASSERT_TRUE(IsCp932(line)) << script->GetName().c_str() << ":" << n + 1;
            EXPECT_EQ(Cp932ToUtf8(CString(line)), committed[size_t(n)]) << script->GetName().c_str() << ":" << n + 1;
        }
    }
}
