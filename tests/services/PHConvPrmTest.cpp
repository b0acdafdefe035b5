#include "services/PHConvPrm.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const CPHConvPrm& prm) {
    std::vector<std::string> out;
    const CStringList& lines = prm.GetLines();
    for (POSITION pos = lines.GetHeadPosition(); pos;) out.push_back(lines.GetNext(pos).str());
    return out;
}

TEST(PHConvPrm, Defaults) {
    CPHConvPrm prm;
    EXPECT_EQ(prm.Flag1, 0);
    EXPECT_EQ(prm.Kind, 0);
    EXPECT_EQ(prm.Flag2, 0);
    EXPECT_EQ(prm.Channel, 0);
    EXPECT_EQ(prm.Resolution, 240);
    EXPECT_EQ(prm.BankMsb, 8);
    EXPECT_EQ(prm.BankLsb, 0);
    EXPECT_EQ(prm.Program, 0);
    EXPECT_EQ(prm.PbCtrl, 0);
    EXPECT_EQ(prm.GetLineCount(), 0);
    EXPECT_TRUE(prm.GetLines().IsEmpty());
}

TEST(PHConvPrm, AddLineKeepsExactlyTheCountedBytes) {
    CPHConvPrm prm;
    ASSERT_EQ(prm.AddLine("abc", 4), 0);
    EXPECT_EQ(prm.GetLineCount(), 1);
    const std::string line = prm.GetLines().GetHead().str();
    ASSERT_EQ(line.size(), 4u);
    EXPECT_EQ(line, std::string("abc\0", 4));
    EXPECT_EQ(line.back(), '\0');

    // Shorter than the text: only the counted bytes; bytes after a NUL too.
    ASSERT_EQ(prm.AddLine("#set:Slide", 4), 0);
    ASSERT_EQ(prm.AddLine("ab\0cd", 6), 0);
    ASSERT_EQ(prm.AddLine("", 0), 0);
    EXPECT_EQ(Lines(prm), (std::vector<std::string>{std::string("abc\0", 4), "#set",
                                                    std::string("ab\0cd\0", 6), ""}));
}

TEST(PHConvPrm, LinesAreCopies) {
    CPHConvPrm prm;
    char buffer[] = "line one";
    prm.AddLine(buffer, int(sizeof buffer));
    std::memcpy(buffer, "LINE", 4);
    EXPECT_EQ(prm.GetLines().GetHead().str(), std::string("line one\0", 9));
}

TEST(PHConvPrm, RefusedLinesLeaveTheListUnchanged) {
    CPHConvPrm prm;
    prm.AddLine("keep", 5);
    EXPECT_EQ(prm.AddLine(nullptr, 3), 1);
    EXPECT_EQ(prm.AddLine("abc", -1), 1);
    EXPECT_EQ(prm.GetLineCount(), 1);
    EXPECT_EQ(prm.AddLine(nullptr, 0), 0);  // an empty line needs no text
    EXPECT_EQ(prm.GetLineCount(), 2);
}

TEST(PHConvPrm, ClearLines) {
    CPHConvPrm prm;
    prm.ClearLines();
    EXPECT_EQ(prm.GetLineCount(), 0);
    prm.AddLine("a", 2);
    prm.AddLine("b", 2);
    prm.ClearLines();
    EXPECT_EQ(prm.GetLineCount(), 0);
    prm.AddLine("c", 2);
    EXPECT_EQ(Lines(prm), (std::vector<std::string>{std::string("c\0", 2)}));
}

TEST(PHConvPrm, FieldsKeepTheirValuesAcrossLineChanges) {
    CPHConvPrm prm;
    prm.Channel = 9;
    prm.Kind = 6;
    prm.Flag2 = 1;
    prm.PbCtrl = 1;
    prm.Resolution = 120;
    prm.AddLine("x", 2);
    prm.ClearLines();
    EXPECT_EQ(prm.Channel, 9);
    EXPECT_EQ(prm.Kind, 6);
    EXPECT_EQ(prm.Flag2, 1);
    EXPECT_EQ(prm.PbCtrl, 1);
    EXPECT_EQ(prm.Resolution, 120);
}

}  // namespace
