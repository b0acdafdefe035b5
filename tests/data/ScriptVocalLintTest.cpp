// A static lint of the gospel-choir and pop-vocal scripts: the rule sets of
// each family in their running order against a separate transcription of the
// design's lists (the choir adds only its vowel sets, the pop vocal nothing),
// a voice change (`CArticExpInitPro3`) in every script, and the expression
// classes each family creates.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "data/AlgorithmScript.h"

namespace {

struct VlScript {
    std::string name;
    std::vector<std::string> sets;     // set names in script order
    std::set<std::string> expressions;  // classes of the #exp lines
};

std::string VlClassOf(const std::string& line) {
    const std::string head = line.substr(0, line.find('('));
    const std::string cls = head.substr(head.rfind(':') + 1);
    const size_t b = cls.find_first_not_of(' ');
    return b == std::string::npos ? std::string() : cls.substr(b);
}

VlScript VlRead(const char* name) {
    VlScript s;
    s.name = name;
    const AlgorithmScriptLibrary library;
    const AlgorithmScript* script = library.Find(CString(name));
    if (!script) return s;
    for (int i = 0; i < script->GetLineCount(); ++i) {
        const std::string line = script->GetLine(i);
        if (line.rfind("#name:", 0) == 0) s.sets.push_back(line.substr(6));
        if (line.rfind("#exp", 0) == 0) s.expressions.insert(VlClassOf(line));
    }
    return s;
}

std::map<std::string, std::vector<std::string>> VlSetLists() {
    std::map<std::string, std::vector<std::string>> lists;
    std::ifstream in(std::string(VEXA_FIXTURES) + "/vocal_set_lists.txt");
    for (std::string line; std::getline(in, line);) {
        const size_t bar = line.find('|');
        if (line.empty() || line[0] == '#' || bar == std::string::npos) continue;
        std::istringstream names(line.substr(bar + 1));
        for (std::string n; names >> n;) lists[line.substr(0, bar)].push_back(n);
    }
    return lists;
}

struct VlFamily {
    const char* list;
    std::vector<const char*> scripts;
    std::set<std::string> ownSets;  // sets the family adds to the listed ones
    std::set<std::string> classes;  // the expression classes every script creates
};

const std::set<std::string> kVlWriteBack = {"CArticExpTimeSft", "CArticExpDurAbs", "CArticExpKeySft",
                                            "CArticExpStresVeloNoteAbs", "CArticExpDebug_i2", "CArticExpInitPro3"};

std::vector<VlFamily> VlFamilies() {
    std::set<std::string> choir = kVlWriteBack;
    choir.insert("CArticExpStresContCcNoteCreRel2");
    return {
        {"choir",
         {"55_1", "55_2", "55_3", "55_4", "55_5", "55_6"},
         {"ChangeWow", "ChangeHee", "ChangeVowelFollow"},
         choir},
        {"popVocal",
         {"L96_01", "L96_02", "L96_03", "L96_04", "L96_05", "L96_06", "L96_07", "L96_08", "L96_09", "L96_10",
          "L96_11", "L96_12"},
         {},
         kVlWriteBack},
    };
}

}  // namespace

TEST(ScriptVocalLint, SetsRunInTheListedOrderWithOnlyTheFamilysOwnAdded) {
    const auto lists = VlSetLists();
    ASSERT_EQ(lists.size(), 2u);
    for (const VlFamily& family : VlFamilies()) {
        const std::vector<std::string>& listed = lists.at(family.list);
        ASSERT_EQ(listed.size(), 38u) << family.list;
        for (const char* name : family.scripts) {
            SCOPED_TRACE(name);
            const VlScript s = VlRead(name);
            std::vector<std::string> shared;
            for (const std::string& set : s.sets) {
                if (!family.ownSets.count(set)) shared.push_back(set);
            }
            EXPECT_EQ(shared, listed);
        }
    }
}

TEST(ScriptVocalLint, ChoirRowsAddTheVowelSetsTheirVowelsNeed) {
    const std::map<std::string, std::vector<std::string>> own = {
        {"55_1", {"ChangeWow", "ChangeHee", "ChangeVowelFollow"}},
        {"55_2", {"ChangeWow", "ChangeVowelFollow"}},
        {"55_3", {}}, {"55_4", {}}, {"55_5", {}}, {"55_6", {}}};
    const std::set<std::string> vowelSets = {"ChangeWow", "ChangeHee", "ChangeVowelFollow"};
    for (const auto& row : own) {
        std::vector<std::string> got;
        for (const std::string& set : VlRead(row.first.c_str()).sets)
            if (vowelSets.count(set)) got.push_back(set);
        EXPECT_EQ(got, row.second) << row.first;
    }
}

TEST(ScriptVocalLint, EveryScriptChangesVoicesAndCreatesItsFamilysClasses) {
    for (const VlFamily& family : VlFamilies()) {
        for (const char* name : family.scripts) {
            const VlScript s = VlRead(name);
            EXPECT_EQ(s.expressions, family.classes) << name;
            EXPECT_TRUE(s.expressions.count("CArticExpInitPro3")) << name;
        }
    }
}
