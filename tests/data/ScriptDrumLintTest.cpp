// A static lint over the drum scripts: their rule sets in running order
// against a transcription, their settings, the five scripts of a family equal
// but for the hi-hat variant handed to "ReassignHHMapping", and every key a
// set gives a note (the hi-hat opening steps, the brush snare keys) outside
// the drum note set of the script's rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "DrumSong.h"
#include "data/AlgorithmScript.h"

namespace {

std::vector<std::string> DrumLines(const char* name) {
    std::vector<std::string> lines;
    const AlgorithmScriptLibrary library;
    if (const AlgorithmScript* script = library.Find(CString(name)))
        script->HandOver([&](const char* line, int) { lines.emplace_back(line); });
    return lines;
}

// The set names in running order.
std::vector<std::string> DrumSetNames(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    bool inSet = false;
    for (const std::string& line : lines) {
        if (line.rfind("#set:", 0) == 0) inSet = true;
        if (line.rfind("#sub:", 0) == 0) inSet = false;
        if (inSet && line.rfind("#name:", 0) == 0) names.push_back(line.substr(6));
    }
    return names;
}

// fixture row -> set names, by family ("drum", "brushExp") or script name.
std::map<std::string, std::vector<std::string>> DrumSetFixture() {
    std::map<std::string, std::vector<std::string>> rows;
    std::ifstream in(std::string(VEXA_FIXTURES) + "/drum_script_sets.txt");
    for (std::string line; std::getline(in, line);) {
        const size_t bar = line.find('|');
        if (line.empty() || line[0] == '#' || bar == std::string::npos) continue;
        std::vector<std::string>& names = rows[line.substr(0, bar)];
        std::string rest = line.substr(bar + 1);
        for (size_t at = 0; at <= rest.size();) {
            const size_t comma = rest.find(',', at);
            names.push_back(rest.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
            if (comma == std::string::npos) break;
            at = comma + 1;
        }
    }
    return rows;
}

std::string DrumFamilyRow(const std::string& script) {
    if (script.rfind("127_08_18_", 0) == 0) return "drum";
    if (script.rfind("127_08_77_", 0) == 0) return "brushExp";
    return script;
}

}  // namespace

TEST(ScriptDrumLint, SetListsSettingsAndNoOtherSets) {
    const auto fixture = DrumSetFixture();
    ASSERT_EQ(fixture.size(), 4u);
    EXPECT_EQ(fixture.at("drum").size(), 102u);
    EXPECT_EQ(fixture.at("brushExp").size(), 115u);
    std::set<std::string> compNames;
    for (const drumsong::DrumScript& s : drumsong::DrumScripts()) {
        if (std::string(s.name) == "Empty") continue;
        SCOPED_TRACE(s.name);
        const std::vector<std::string> lines = DrumLines(s.name);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(DrumSetNames(lines), fixture.at(DrumFamilyRow(s.name)));
        for (const char* setting : {";##PbProc:0", ";##TgMode:0", ";##InstNum:0"})
            EXPECT_EQ(std::count(lines.begin(), lines.end(), setting), 1) << setting;
        if (std::string(s.name).rfind("127_08_76_", 0) == 0) {
            const std::vector<std::string> names = DrumSetNames(lines);
            for (size_t i = 1; i + 1 < names.size(); ++i) EXPECT_TRUE(compNames.insert(names[i]).second) << names[i];
        }
    }
    // Brush comp: nine sets besides the first and the last, each in one script.
    EXPECT_EQ(compNames.size(), 9u);
}

TEST(ScriptDrumLint, TheFiveScriptsOfAFamilyDifferOnlyInTheVariant) {
    const std::regex call(R"(#sub2\( ([0-9]+),)");
    for (const char* family : {"127_08_18_", "127_08_77_"}) {
        const std::vector<std::string> first = DrumLines((std::string(family) + "1").c_str());
        ASSERT_FALSE(first.empty());
        for (int n = 1; n <= 5; ++n) {
            SCOPED_TRACE(family + std::to_string(n));
            const std::vector<std::string> lines = DrumLines((family + std::to_string(n)).c_str());
            ASSERT_EQ(lines.size(), first.size());
            int calls = 0;
            for (size_t i = 1; i < lines.size(); ++i) {
                std::smatch m;
                if (std::regex_search(lines[i], m, call)) {
                    ++calls;
                    EXPECT_EQ(std::stoi(m[1]), n - 1) << lines[i];
                    const std::string asFirst = std::regex_replace(lines[i], call, "#sub2( 0,");
                    EXPECT_EQ(asFirst, first[i]);
                } else if (lines[i].find("ReassignHHMapping (") != std::string::npos && lines[i][0] == ';') {
                    continue;  // the comment naming the variant
                } else {
                    EXPECT_EQ(lines[i], first[i]) << "line " << i + 1;
                }
            }
            EXPECT_EQ(calls, 2);  // the remap and the pedal's close
        }
    }
}

TEST(ScriptDrumLint, KeysTheScriptsGiveLieOutsideTheirRowsSet) {
    const auto sets = drumsong::NoteSets();
    const std::regex stepBase(R"(^#val7:\(([0-9]+) \+ _val5\) \+ _val6$)");
    const std::regex putKey(R"(CArticSrchPutNoteInfo\( _thisEvnt, 2, ([0-9]+)\))");
    const std::regex selKeys(R"(CArticSrchSelSw\( _val[0-9]+, ([0-9]+), ([0-9]+), )");
    for (const drumsong::DrumScript& s : drumsong::DrumScripts()) {
        if (std::string(s.name) == "Empty") continue;
        SCOPED_TRACE(s.name);
        const std::set<int>& erased = sets.at(s.noteSet);
        std::set<int> given;
        std::string set;
        for (const std::string& line : DrumLines(s.name)) {
            if (line.rfind("#name:", 0) == 0) set = line.substr(6);
            std::smatch m;
            if (set == "RemapHH" && std::regex_search(line, m, stepBase)) {
                // Edge 00 at -1 goes to the key below; edge 99 never above its own.
                for (int k = std::stoi(m[1]) - 1; k <= std::stoi(m[1]) + 5; ++k) given.insert(k);
            }
            if (std::regex_search(line, m, putKey)) given.insert(std::stoi(m[1]));
            if (set == "Change_PressTap_Slap_EX" && std::regex_search(line, m, selKeys)) {
                given.insert(std::stoi(m[1]));
                given.insert(std::stoi(m[2]));
            }
        }
        const bool kit = std::string(s.name).rfind("127_08_76_", 0) != 0;
        EXPECT_EQ(given.size() >= 7, kit) << given.size();
        for (int k : given) EXPECT_EQ(erased.count(k), 0u) << "key " << k;
    }
}
