// A static lint over the compiled-in algorithm scripts: their layout and
// settings, the rule sets every script shares in their running order and
// with their fixed numbers, set numbers that mean one name everywhere, the
// built-ins and expressions they call against the engine's catalogues, the
// references between sets and subroutines, and the articulation zones read
// back from their sets against a separate transcription.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "data/AlgorithmScript.h"
#include "data/FilledVoiceTables.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/rules/ArticSrchUtil.h"
#include "engine/work/ExString.h"

namespace {

struct LintSet {
    int number = -1;
    std::string name;
    std::vector<std::string> lines;  // rule lines of the block, the head included
};

struct LintScript {
    std::string name;
    std::vector<std::string> all;   // every line as compiled in
    std::vector<std::string> init;  // the init block, its setting comments included
    std::set<int> subs;
    std::vector<LintSet> sets;
};

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

std::string Trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The head number of "#set:283" or "#sub:4"; -1 when it is not a number.
int HeadNumber(const std::string& line) {
    const std::string digits = line.substr(line.find(':') + 1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::atoi(digits.c_str());
}

LintScript ParseScript(const AlgorithmScript& script) {
    LintScript parsed;
    parsed.name = script.GetName().str();
    enum { kHead, kInit, kSub, kSet } where = kHead;
    for (int i = 0; i < script.GetLineCount(); ++i) {
        const std::string line = script.GetLine(i);
        parsed.all.push_back(line);
        const std::string rule = Trimmed(line);
        if (rule == "#init:") {
            where = kInit;
        } else if (StartsWith(rule, "#sub:")) {
            where = kSub;
            parsed.subs.insert(HeadNumber(rule));
        } else if (StartsWith(rule, "#set:")) {
            where = kSet;
            LintSet set;
            set.number = HeadNumber(rule);
            parsed.sets.push_back(set);
        }
        if (where == kInit && (StartsWith(rule, ";##") || (!rule.empty() && rule[0] != ';')))
            parsed.init.push_back(rule);
        if (where == kSet && !rule.empty() && rule[0] != ';') {
            LintSet& set = parsed.sets.back();
            set.lines.push_back(rule);
            if (StartsWith(rule, "#name:")) set.name = rule.substr(6);
        }
    }
    return parsed;
}

const std::vector<LintScript>& AllScripts() {
    static const std::vector<LintScript> scripts = [] {
        std::vector<LintScript> out;
        const AlgorithmScriptLibrary library;
        for (int i = 0; i < library.GetCount(); ++i) out.push_back(ParseScript(*library.GetAt(i)));
        return out;
    }();
    return scripts;
}

// Settings per family, and which scripts form it.
struct FamilySettings {
    const char* scripts;  // blank-separated
    int pbProc, tgMode, instNum;
    bool drum;
};

const FamilySettings kFamilies[] = {
    {"01 01_1 01_2 01_3 01_4 08_00_09 08_01_09 08_06_01 08_07_01", 1, 2, 0, false},
    {"02 02_1 02_2 02_3 02_4 8_10_2 8_11_2 8_13_2", 1, 2, 0, false},
    {"03", 0, 2, 0, false},
    {"04 04_1 04_2 04_3 04_4 04_6 8_10_4", 1, 2, 0, false},
    {"05", 0, 2, 0, false},
    {"07 8_0_14 8_4_13", 1, 2, 0, false},
    {"17 08_00_15 08_00_16 08_00_24 08_02_17 08_03_17 08_04_17 08_05_17 08_06_17", 0, 2, 0, false},
    {"18 18_1 18_2 18_3 8_0_21 8_3_18 8_3_18_1 8_4_18 8_5_18 08_00_22 08_00_23 08_02_22 08_06_18 08_09_18 "
     "08_12_18 08_12_18_2 08_13_18 08_14_18 08_14_18_2",
     0, 2, 0, false},
    {"19 19_1 8_2_19 8_2_19_1 8_3_19 8_4_19 8_5_19 08_04_22 08_06_19 08_06_22 08_07_18 08_07_19 08_08_18 "
     "08_08_22 08_10_18 08_10_22 08_11_18",
     0, 2, 0, false},
    {"20", 0, 2, 0, false},
    {"49_0_2 49_1 49_1_1 49_1_2 49_1_3 49_2 50_0_2 50_1 50_2 8_2_50_1 8_2_50_2 8_2_50_3 8_4_50_1 8_4_50_2 8_4_50_3",
     0, 2, 2, false},
    {"57 57_1 08_01_56 08_04_57", 0, 2, 3, false},
    {"57_2 57_2_1 57_3 57_3_1 08_00_56 08_03_57", 1, 2, 3, false},
    {"65", 0, 2, 3, false},
    {"83_1 83_2 Debug", 0, 2, 4, false},
    {"55_1 55_2 55_3 55_4 55_5 55_6", 0, 2, 5, false},
    {"L96_01 L96_02 L96_03 L96_04 L96_05 L96_06 L96_07 L96_08 L96_09 L96_10 L96_11 L96_12", 0, 2, 5, false},
    {"127_08_18_1 127_08_18_2 127_08_18_3 127_08_18_4 127_08_18_5 127_08_76_1 127_08_76_2 127_08_77_1 127_08_77_2 "
     "127_08_77_3 127_08_77_4 127_08_77_5",
     0, 0, 0, true},
};

const FamilySettings* FamilyOf(const std::string& script) {
    for (const FamilySettings& f : kFamilies) {
        std::istringstream names(f.scripts);
        std::string n;
        while (names >> n) {
            if (n == script) return &f;
        }
    }
    return nullptr;
}

// The grouping time the script's "GetGrpTime" carries.
int GroupingTime(const std::string& script) {
    if (script == "17" || script == "20") return 480;
    const bool acousticBass = StartsWith(script, "08_") && (script.size() > 3) &&
                              (script.compare(script.size() - 3, 3, "_15") == 0 ||
                               script.compare(script.size() - 3, 3, "_16") == 0 ||
                               script.compare(script.size() - 3, 3, "_17") == 0 ||
                               script.compare(script.size() - 3, 3, "_24") == 0);
    return acousticBass ? 120 : 240;
}

// Arguments between the first '(' and the last ')', split at the commas
// outside braces, parentheses and quotes.
int CountArguments(const std::string& call) {
    const size_t open = call.find('('), close = call.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) return -1;
    const std::string inner = Trimmed(call.substr(open + 1, close - open - 1));
    if (inner.empty()) return 0;
    int count = 1, depth = 0;
    bool quoted = false;
    for (char c : inner) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(' || c == '{') ++depth;
        if (c == ')' || c == '}') --depth;
        if (c == ',' && depth == 0) ++count;
    }
    return count;
}

// "#func3:CArticSrchBreak( _val8)" -> "CArticSrchBreak"; the class of an
// expression line stands after its last condition.
std::string CalledClass(const std::string& line) {
    const std::string head = line.substr(0, line.find('('));
    return Trimmed(head.substr(head.rfind(':') + 1));
}

std::string DisplayHead(const std::string& script) {
    if (script == "Debug") return "; Debug用";
    for (int row = 0; row < kFirstGroupRow; ++row) {
        if (AlgorithmTable[row].algorithmId.str() == script) return "; " + AlgorithmTable[row].displayName.str() + "用";
    }
    return std::string();
}

std::map<std::string, std::string> ZoneFixture() {
    std::ifstream in(std::string(VEXA_FIXTURES) + "/articulation_zones.txt");
    std::map<std::string, std::string> zones;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const size_t bar = line.find('|');
        zones[line.substr(0, bar)] = line.substr(bar + 1);
    }
    return zones;
}

// The zones of the script's "VEXA_tune_" sets as "code:low-high", sorted by
// code and low velocity: each set matches its codes with
// CArticSrchValCmp(_val1, code, ...) and keeps the k-th code's zone in
// _val(30+2k) and _val(31+2k).
std::string ZonesReadBack(const LintScript& script) {
    std::vector<std::array<int, 3>> zones;
    for (const LintSet& set : script.sets) {
        if (!StartsWith(set.name, "VEXA_tune_")) continue;
        std::vector<int> codes;
        std::map<int, int> constants;
        for (const std::string& line : set.lines) {
            if (StartsWith(line, "#func") && line.find("CArticSrchValCmp( _val1,") != std::string::npos)
                codes.push_back(std::atoi(line.c_str() + line.find(',') + 1));
            if (StartsWith(line, "#val")) {
                const int n = std::atoi(line.c_str() + 4);
                const std::string value = line.substr(line.find(':') + 1);
                if (value.find_first_not_of("0123456789") == std::string::npos) constants[n] = std::atoi(value.c_str());
            }
        }
        for (size_t k = 0; k < codes.size(); ++k)
            zones.push_back({codes[k], constants[int(30 + 2 * k)], constants[int(31 + 2 * k)]});
    }
    std::sort(zones.begin(), zones.end());
    std::string text;
    for (const auto& z : zones)
        text += (text.empty() ? "" : " ") + std::to_string(z[0]) + ":" + std::to_string(z[1]) + "-" + std::to_string(z[2]);
    return text;
}

std::set<std::string> ScriptClassesFixture() {
    std::ifstream in(std::string(VEXA_FIXTURES) + "/script_classes.txt");
    std::set<std::string> names;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] != '#') names.insert(line);
    }
    return names;
}

}  // namespace

TEST(ScriptLint, LayoutAndSettings) {
    FillVoiceTables();
    for (const LintScript& s : AllScripts()) {
        SCOPED_TRACE(s.name);
        if (s.name == "Empty") {
            ASSERT_EQ(s.all.size(), 1u);
            EXPECT_EQ(s.all[0][0], ';');
            EXPECT_TRUE(s.sets.empty());
            continue;
        }
        const FamilySettings* family = FamilyOf(s.name);
        ASSERT_TRUE(family);
        ASSERT_FALSE(s.all.empty());
        EXPECT_EQ(s.all[0], DisplayHead(s.name));
        const std::vector<std::string> init = {"#init:", "#procNest:1", "#trk1:", "#blk0:",
                                               ";##PbProc:" + std::to_string(family->pbProc),
                                               ";##TgMode:" + std::to_string(family->tgMode),
                                               ";##InstNum:" + std::to_string(family->instNum)};
        EXPECT_EQ(s.init, init);
        EXPECT_LE(s.subs.size(), 14u);
        if (family->drum) {
            EXPECT_GE(s.sets.size(), 3u);
        } else {
            EXPECT_GE(s.sets.size(), 5u);
        }
        // A brush-expanded script runs the 102 kit sets and 13 of its own.
        EXPECT_LE(s.sets.size(), StartsWith(s.name, "127_08_77_") ? 115u : 114u);
        for (const LintSet& set : s.sets) {
            EXPECT_GE(set.number, 0);
            EXPECT_FALSE(set.name.empty()) << set.number;
            EXPECT_EQ(std::count_if(set.lines.begin(), set.lines.end(), [](const std::string& l) { return StartsWith(l, "#prob:"); }), 1)
                << set.name;
            EXPECT_EQ(std::count_if(set.lines.begin(), set.lines.end(), [](const std::string& l) { return StartsWith(l, "#dir:"); }), 1)
                << set.name;
        }
    }
}

TEST(ScriptLint, SharedSetsRunInTheirOrderWithTheirNumbers) {
    for (const LintScript& s : AllScripts()) {
        if (s.name == "Empty") continue;
        SCOPED_TRACE(s.name);
        const FamilySettings* family = FamilyOf(s.name);
        ASSERT_TRUE(family);
        // (The brush-comp scripts move no start: they have no set_NoteInfoToTime.)
        std::vector<std::pair<int, const char*>> shared = {{114, "init_NoteInfo"}, {139, "set_NoteInfoToTime"},
                                                           {126, "set_NoteInfoToWrkEvnt"}};
        if (StartsWith(s.name, "127_08_76_")) shared = {{114, "init_NoteInfo"}, {126, "set_NoteInfoToWrkEvnt"}};
        if (!family->drum) {
            shared = {{114, "init_NoteInfo"}, {22, "GetGrpTime"},   {127, "cntChordNum"},
                      {139, "set_NoteInfoToTime"}, {445, "ExecVexa"}, {126, "set_NoteInfoToWrkEvnt"}};
        }
        ASSERT_GE(s.sets.size(), shared.size());
        // "02_2" looks for a bend before the note before anything else.
        EXPECT_EQ(s.sets.front().name, s.name == "02_2" ? "existPbAfterPre" : "init_NoteInfo");
        EXPECT_EQ(s.sets.back().name, "set_NoteInfoToWrkEvnt");
        size_t at = 0;
        for (const auto& want : shared) {
            while (at < s.sets.size() && s.sets[at].name != want.second) ++at;
            ASSERT_LT(at, s.sets.size()) << want.second << " missing or out of order";
            EXPECT_EQ(s.sets[at].number, want.first) << want.second;
        }
        bool hasGrouping = false;
        for (const LintSet& set : s.sets) {
            if (set.name != "GetGrpTime") continue;
            hasGrouping = true;
            const auto prob = std::find_if(set.lines.begin(), set.lines.end(), [](const std::string& l) { return StartsWith(l, "#prob:"); });
            ASSERT_NE(prob, set.lines.end());
            EXPECT_EQ(*prob, "#prob:" + std::to_string(GroupingTime(s.name)));
        }
        EXPECT_EQ(hasGrouping, !family->drum);
        // The articulation sets stand between ExecVexa and the write-back.
        bool afterExec = false;
        for (const LintSet& set : s.sets) {
            if (set.name == "ExecVexa") afterExec = true;
            if (StartsWith(set.name, "VEXA_tune_")) EXPECT_TRUE(afterExec) << set.name;
        }
    }
}

TEST(ScriptLint, ASetNumberMeansOneNameInEveryScript) {
    std::map<std::string, int> numberOfName;
    for (const LintScript& s : AllScripts()) {
        std::set<int> numbers;
        for (const LintSet& set : s.sets) {
            EXPECT_TRUE(numbers.insert(set.number).second) << s.name << " set " << set.number << " twice";
            const auto known = numberOfName.emplace(set.name, set.number);
            EXPECT_EQ(known.first->second, set.number) << s.name << ": " << set.name;
        }
    }
    EXPECT_EQ(numberOfName["VEXA_tune_DEAD"], 283);
}

TEST(ScriptLint, CallsNameTheCataloguesWithTheirArgumentCounts) {
    // Only classes that the design's scripts call: those every built engine has.
    const std::set<std::string> called = ScriptClassesFixture();
    ASSERT_EQ(called.size(), 132u + 25u);
    for (const LintScript& s : AllScripts()) {
        for (const LintSet& set : s.sets) {
            for (const std::string& line : set.lines) {
                SCOPED_TRACE(s.name + ": " + line);
                if (StartsWith(line, "#func")) {
                    CExString name(CalledClass(line));
                    int inNum = 0, outNum = 0, inMask[CArticSrchUtil::kMaxArgs], outMask[CArticSrchUtil::kMaxArgs];
                    ASSERT_EQ(CArticSrchUtil::GetArgmentInfo(name, &inNum, inMask, &outNum, outMask), 0);
                    EXPECT_TRUE(called.count(name.str()));
                    EXPECT_EQ(CountArguments(line), inNum + outNum);
                } else if (StartsWith(line, "#exp")) {
                    CExString name(CalledClass(line));
                    int count = 0, masks[CArticExpUtil::kMaxExpArgs];
                    ASSERT_EQ(CArticExpUtil::GetArgmentInfo(name, &count, masks), 0);
                    EXPECT_TRUE(called.count(name.str()));
                    EXPECT_EQ(CountArguments(line), count);
                } else if (StartsWith(line, "#sub")) {
                    EXPECT_TRUE(s.subs.count(std::atoi(line.c_str() + 4))) << "no such subroutine";
                }
                // A set read through ".ProbN" or ".CreN" is a set of the script.
                for (const char* member : {".Prob", ".Cre"}) {
                    for (size_t p = line.find(member); p != std::string::npos; p = line.find(member, p + 1)) {
                        const int n = std::atoi(line.c_str() + p + std::strlen(member));
                        EXPECT_TRUE(std::any_of(s.sets.begin(), s.sets.end(), [n](const LintSet& x) { return x.number == n; }))
                            << "set " << n;
                    }
                }
            }
        }
    }
}

TEST(ScriptLint, RuleTextIsPlainAscii) {
    for (const LintScript& s : AllScripts()) {
        for (const std::string& raw : s.all) {
            const std::string line = Trimmed(raw);
            if (line.empty() || line[0] == ';') continue;
            SCOPED_TRACE(s.name + ": " + line);
            EXPECT_FALSE(StartsWith(line, "#include"));
            // No irregular heads: "#val146+:" or "#func6::".
            if (StartsWith(line, "#val") || StartsWith(line, "#func")) {
                const size_t colon = line.find(':');
                ASSERT_NE(colon, std::string::npos);
                EXPECT_NE(line[colon - 1], '+');
                EXPECT_FALSE(colon + 1 < line.size() && line[colon + 1] == ':');
            }
            // Double-byte text only inside the quoted label of a debug expression.
            bool quoted = false;
            for (unsigned char c : line) {
                if (c == '"') quoted = !quoted;
                if (c >= 0x80) {
                    EXPECT_TRUE(quoted && line.find("CArticExpDebug_i2") != std::string::npos);
                }
            }
            // Quotes hold a debug label or the name of a phrase file.
            if (line.find('"') != std::string::npos)
                EXPECT_TRUE(line.find("CArticExpDebug_i2") != std::string::npos || line.find(":CArticExpFile") != std::string::npos);
        }
    }
}

TEST(ScriptLint, ArticulationZonesMatchTheTranscription) {
    const std::map<std::string, std::string> fixture = ZoneFixture();
    ASSERT_EQ(fixture.size(), 122u);
    for (const LintScript& s : AllScripts()) {
        const auto want = fixture.find(s.name);
        EXPECT_EQ(ZonesReadBack(s), want == fixture.end() ? std::string() : want->second) << s.name;
    }
}

// The expression classes each family's scripts create: the write-back of
// changed start, duration, key and velocity in every script, the articulation
// annotation of "ExecVexa" in every melodic one, and the drum scripts' own.
// The melodic families' own classes are checked by family
// (FamilyClassesAndDebug below).
TEST(ScriptLint, EachFamilyCreatesItsClasses) {
    const std::vector<std::string> writeBack = {"CArticExpTimeSft", "CArticExpDurAbs", "CArticExpKeySft",
                                                "CArticExpStresVeloNoteAbs"};
    for (const LintScript& s : AllScripts()) {
        if (s.name == "Empty") continue;
        SCOPED_TRACE(s.name);
        const FamilySettings* family = FamilyOf(s.name);
        ASSERT_TRUE(family);
        std::set<std::string> created;
        for (const LintSet& set : s.sets) {
            for (const std::string& line : set.lines) {
                if (StartsWith(line, "#exp")) created.insert(CalledClass(line));
            }
        }
        std::vector<std::string> want = writeBack;
        if (!family->drum) want.push_back("CArticExpDebug_i2");
        // The drum kits annotate their hi-hats and delete their rows' notes; the
        // brush-comp scripts move no start, and only the brush-kit one deletes.
        if (family->drum && !StartsWith(s.name, "127_08_76_")) {
            want.push_back("CArticExpDebug_i2");
            want.push_back("CArticExpDel");
        }
        if (StartsWith(s.name, "127_08_76_")) want.erase(want.begin());
        if (s.name == "127_08_76_1") want.push_back("CArticExpDel");
        for (const std::string& cls : want) EXPECT_TRUE(created.count(cls)) << cls;
    }
}

namespace {

// The rule sets every script of a family runs, in order, as the catalogue
// lists them (transcribed by hand, not read from the templates).
const char* const kStringsSets =
    "init_NoteInfo GetGrpTime cntChordNum GapLengthChordFirst RestLengthMulChordFirst existPbAfterPre existPB "
    "evaGraceHeadUp evaGraceTailDown evaShake SearchHarmo init_global getVeloMaxMin CaribAttakReleaseTime "
    "UpperKeyC6 CheckRangeUpperKeyC6 EvaPhraseStart1 EvaPhraseStart6 EvaPhraseStart2 evaPhraseStartCC11 "
    "EvaPhraseStart3 EvaPhraseStart4 EvaPhraseStart5 PhraseStart EvaActivePhrase evaTril Change_p_mf_f Change_f "
    "ChangeTremolo2 EvaSpicato SpicatoSearched ChangeSpicato_ff ChangeSpicato_ff_InChord ChangeSpicato_f "
    "ChangeSpicato_f_InChord ChnageTremoloPg ChangeGlissDownByPb ShiftSpic_ff ShiftSpic_f Shift_f set_NoteInfoToTime "
    "ExecVexa VEXA_tune_Str_Legarto VEXA_tune_Str_p VEXA_tune_Str_mf VEXA_tune_Str_f VEXA_tune_Str_Spic_f "
    "VEXA_tune_Str_Spic_ff VEXA_tune_tremolo VEXA_tune_Str_GlissDown set_NoteInfoToWrkEvnt";
const char* const kBrassSets =
    "init_NoteInfo GetGrpTime cntChordNum GapLengthChordFirst RestLengthMulChordFirst existPbAfterPre existPB "
    "evaGraceHeadUp evaGraceHeadDown evaGraceTailUp evaGraceTailDown evaShake SearchHarmo init_global "
    "CaribAttakReleaseTime UpperKeyC6 CheckRangeUpperKeyC6 EvaPhraseStart1 EvaPhraseStart2 evaPhraseStartCC11 "
    "EvaPhraseStart3 EvaPhraseStart4 EvaPhraseStart5 EvaTopKeyTonguing PhraseStart ReasignBrassNormal "
    "ChangeShakeByPb ChangeGlissUpByPb evaKeyDown set_NoteInfoToTime UpperKeyC6Start UpperKeyC6End "
    "ReasignBrassVelo ExecVexa VEXA_tune_Brass_mf VEXA_tune_Brass_GlissUp set_NoteInfoToWrkEvnt";
const char* const kTrumpetSets =
    "init_NoteInfo GetGrpTime cntChordNum GapLengthChordFirst RestLengthMulChordFirst existPbAfterPre existPB "
    "evaGraceHeadUp evaGraceHeadDown evaGraceTailUp evaGraceTailDown evaShake SearchHarmo init_global getVeloMaxMin "
    "CaribAttakReleaseTime UpperKeyC6 CheckRangeUpperKeyC6 EvaPhraseStart1 EvaPhraseStart2 evaPhraseStartCC11 "
    "EvaPhraseStart3 EvaPhraseStart4 EvaPhraseStart5 EvaTopKeyTonguing PhraseStart Change_mf_f_ff ChangeBrassNormal "
    "ReasignBrassNormal ChangeStraight evaLegato LegatoFrontKey ChangeLegato ChangeShakeByPb ChangeFallsByPb "
    "ChangeGlissUpByPb TrpBreathNoise ChordReasignBrass set_NoteInfoToTime UpperKeyC6Start UpperKeyC6End "
    "ReasignBrassVelo ExecVexa VEXA_tune_Trp_Legato VEXA_tune_Trp_mf VEXA_tune_Trp_f VEXA_tune_Trp_ff "
    "VEXA_tune_Trp_Straight VEXA_tune_Trp_Falls VEXA_tune_Trp_GlissUp VEXA_tune_Trp_Shake set_NoteInfoToWrkEvnt";
const char* const kSaxSets =
    "init_NoteInfo GetGrpTime cntChordNum GapLengthChordFirst RestLengthMulChordFirst existPbAfterPre existPB "
    "evaGraceHeadUp evaGraceTailDown evaShake SearchHarmo init_global CaribAttakReleaseTime OnTimeAve "
    "isNonGroovNoteBaseReso isNonGroovNoteDoubleReso TimeShiftFromBaseReso isOkTimeShift infoGroovSwingRate "
    "isOkSwingRate srchGroovSwingRate TuneGateTime UpperKeyC6 CheckRangeUpperKeyC6 EvaPhraseStart1 EvaPhraseStart2 "
    "EvaPhraseStart3 EvaPhraseStart4 EvaPhraseStart5 PhraseStart Change_mp_mf_f EvaTnSxChangeFalls ChangeFallsByPb "
    "VexaSaxKeyNoise set_NoteInfoToTime UpperKeyC6Start UpperKeyC6End VexaVeloCurve ExecVexa VEXA_tune_Sax_Legarto "
    "VEXA_tune_Sax_mp VEXA_tune_Sax_mf VEXA_tune_Sax_f VEXA_tune_Sax_Growl VEXA_tune_Sax_Falls set_NoteInfoToWrkEvnt";

std::vector<std::string> Words(const char* text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

std::vector<std::string> SetNames(const LintScript& s) {
    std::vector<std::string> names;
    for (const LintSet& set : s.sets) names.push_back(set.name);
    return names;
}

const LintScript* ScriptNamed(const std::string& name) {
    for (const LintScript& s : AllScripts())
        if (s.name == name) return &s;
    return nullptr;
}

// want appears in names in its order (other names may stand between).
::testing::AssertionResult RunsInOrder(const std::vector<std::string>& names, const std::vector<std::string>& want) {
    size_t at = 0;
    for (const std::string& w : want) {
        while (at < names.size() && names[at] != w) ++at;
        if (at == names.size()) return ::testing::AssertionFailure() << w << " missing or out of order";
        ++at;
    }
    return ::testing::AssertionSuccess();
}

std::set<std::string> CreatedClasses(const LintScript& s) {
    std::set<std::string> created;
    for (const LintSet& set : s.sets)
        for (const std::string& line : set.lines)
            if (StartsWith(line, "#exp")) created.insert(CalledClass(line));
    return created;
}

}  // namespace

// Strings and brass run their family's sets in order among their own; the
// trumpet runs exactly its 52, the tenor sax exactly its 46, "83_2" adding
// "ChangeGrowl"; the high-note stage in the twelve strings scripts but "49_1",
// "50_1" and "49_1_1".
TEST(ScriptLint, FamilySetListsInOrder) {
    const std::set<std::string> lowStrings = {"49_1", "50_1", "49_1_1"};
    for (const char* name : {"49_0_2", "49_1", "49_1_1", "49_1_2", "49_1_3", "49_2", "50_0_2", "50_1", "50_2", "8_2_50_1",
                             "8_2_50_2", "8_2_50_3", "8_4_50_1", "8_4_50_2", "8_4_50_3"}) {
        SCOPED_TRACE(name);
        const LintScript* s = ScriptNamed(name);
        ASSERT_TRUE(s);
        const std::vector<std::string> names = SetNames(*s);
        EXPECT_TRUE(RunsInOrder(names, Words(kStringsSets)));
        const bool high = std::count(names.begin(), names.end(), "UpperKeyC6Start") == 1 &&
                          std::count(names.begin(), names.end(), "UpperKeyC6End") == 1;
        EXPECT_EQ(high, !lowStrings.count(name));
        EXPECT_LE(names.size(), Words(kStringsSets).size() + 13);
    }
    for (const char* name : {"57", "57_1", "57_2", "57_2_1", "57_3", "57_3_1", "08_00_56", "08_01_56", "08_03_57", "08_04_57"}) {
        SCOPED_TRACE(name);
        const LintScript* s = ScriptNamed(name);
        ASSERT_TRUE(s);
        EXPECT_TRUE(RunsInOrder(SetNames(*s), Words(kBrassSets)));
    }
    ASSERT_TRUE(ScriptNamed("65"));
    EXPECT_EQ(SetNames(*ScriptNamed("65")), Words(kTrumpetSets));
    ASSERT_TRUE(ScriptNamed("83_1") && ScriptNamed("83_2") && ScriptNamed("Debug"));
    EXPECT_EQ(SetNames(*ScriptNamed("83_1")), Words(kSaxSets));
    EXPECT_EQ(SetNames(*ScriptNamed("Debug")), Words(kSaxSets));
    std::vector<std::string> growl = SetNames(*ScriptNamed("83_2"));
    ASSERT_EQ(std::count(growl.begin(), growl.end(), "ChangeGrowl"), 1);
    growl.erase(std::find(growl.begin(), growl.end(), "ChangeGrowl"));
    EXPECT_EQ(growl, Words(kSaxSets));
}

// The expression classes each of these families creates, beyond the
// skeleton's; "Debug" is "83_1" line for line but for its head and three more
// annotations, each in a set that creates expressions already.
TEST(ScriptLint, FamilyClassesAndDebug) {
    const struct {
        const char* scripts;
        std::vector<std::string> classes;
    } families[] = {
        {"49_0_2 49_1_2 49_1_3 49_2 50_0_2 50_2 8_2_50_1 8_2_50_2 8_2_50_3 8_4_50_1 8_4_50_2 8_4_50_3",
         {"CArticExpStresContCcNoteCreRel2", "CArticExpArrayTie", "CArticExpPitchCrv2", "CArticExpTimeSft2",
          "CArticExpInitPro3"}},
        {"49_1 50_1 49_1_1",
         {"CArticExpStresContCcNoteCreRel2", "CArticExpArrayTie", "CArticExpPitchCrv2", "CArticExpTimeSft2"}},
        {"57 57_1 57_2 57_2_1 57_3 57_3_1 08_00_56 08_01_56 08_03_57 08_04_57",
         {"CArticExpStresContCcNoteCreRel2", "CArticExpStresContCcNoteCreAbs", "CArticExpInitPro3"}},
        {"65", {"CArticExpStresContCcNoteCreRel2", "CArticExpStresContCcNoteCreAbs", "CArticExpInitPro3", "CArticExpCreNote"}},
        {"83_1 83_2 Debug",
         {"CArticExpStresContCcNoteCreRel2", "CArticExpInitPro3", "CArticExpCreNote", "CArticExpStresContCcNoteCrv"}},
    };
    for (const auto& f : families) {
        for (const std::string& name : Words(f.scripts)) {
            SCOPED_TRACE(name);
            const LintScript* s = ScriptNamed(name);
            ASSERT_TRUE(s);
            const std::set<std::string> created = CreatedClasses(*s);
            for (const std::string& c : f.classes) EXPECT_TRUE(created.count(c)) << c;
            EXPECT_EQ(created.count("CArticExpInitPro3"), name != "49_1" && name != "50_1" && name != "49_1_1");
        }
    }
    const LintScript* sax = ScriptNamed("83_1");
    const LintScript* debug = ScriptNamed("Debug");
    ASSERT_TRUE(sax && debug);
    std::vector<std::string> extra;
    size_t a = 1, b = 1;  // past the heads
    while (b < debug->all.size()) {
        if (a < sax->all.size() && sax->all[a] == debug->all[b]) {
            ++a;
            ++b;
        } else {
            extra.push_back(debug->all[b++]);
        }
    }
    EXPECT_EQ(a, sax->all.size());
    ASSERT_EQ(extra.size(), 3u);
    for (const std::string& line : extra) EXPECT_NE(line.find("CArticExpDebug_i2"), std::string::npos) << line;
    for (const LintSet& set : debug->sets) {
        int debugLines = 0, others = 0;
        for (const std::string& line : set.lines) {
            if (!StartsWith(line, "#exp")) continue;
            (CalledClass(line) == "CArticExpDebug_i2" ? debugLines : others) += 1;
        }
        if (debugLines > 0 && set.name != "ExecVexa") EXPECT_GT(others, 0) << set.name;
    }
}

namespace {

// The bass family: the 46 scripts and the rule sets each runs in order, as the
// catalogue lists them (transcribed by hand).
const char* const kBassScripts =
    "17 08_00_15 08_00_16 08_00_24 08_02_17 08_03_17 08_04_17 08_05_17 08_06_17 "
    "18 18_1 18_2 18_3 8_0_21 8_3_18 8_3_18_1 8_4_18 8_5_18 08_00_22 08_00_23 08_02_22 08_06_18 08_09_18 "
    "08_12_18 08_12_18_2 08_13_18 08_14_18 08_14_18_2 "
    "19 19_1 8_2_19 8_2_19_1 8_3_19 8_4_19 8_5_19 08_04_22 08_06_19 08_06_22 08_07_18 08_07_19 08_08_18 "
    "08_08_22 08_10_18 08_10_22 08_11_18 20";
const char* const kBassSets =
    "init_NoteInfo GetGrpTime EraseHighKey cntChordNum existPB SwapNoteInfoDur1 SearchHarmo Init_Gen Overlap "
    "Is_Overlap FngrSecChordNotFirst FngrSecChordFirst FngrSecChordHarmo FngrDiviSec FngrMono1 hasChordHarmo Clr_ary "
    "PreIsHarmoDiviPoint FngrChord1 SwapNoteInfoDur2 prnFngGen checkFngGen InitNoteInfoAftFng init_global init_cc "
    "isSameTime getTimeInMeasChordFirst NotFirstInHalfGrpTimeChordFirst isNextHalfGrpTimeChordFirst "
    "syncoHalfGrpTimeChordFirst whichHalfGrpTimeChordFirst OnHalfGrpTimeChordFirst NotFirstInGrpTimeChordFirst "
    "isNextGrpTimeChordFirst syncoGrpTimeChordFirst whichGrpTimeChordFirst OnGrpTimeChordFirst OnTimeAve "
    "isNonGroovNoteBaseReso isNonGroovNoteDoubleReso TimeShiftFromBaseReso isOkTimeShift infoGroovSwingRate "
    "isOkSwingRate srchGroovSwingRate TuneGateTime set_NoteInfoToTime hamTril HamCroma HamGeneral VexaVeloCurve "
    "VeloCombi LimitDur PreDurIsNoChangeGroovSlapBass SortGen MergeGen0 EraseNote ExecVexa set_NoteInfoToWrkEvnt";
// The scripts with a hammer-on or slide zone: they give a joined note that
// code and merge nothing.
const char* const kBassJoinedCode =
    "08_00_15 08_00_16 08_00_22 08_00_23 08_02_22 08_04_22 08_06_22 08_08_22 08_10_22 08_12_18 08_12_18_2 "
    "8_2_19 8_2_19_1 8_3_18 8_3_18_1 8_0_21";
// The loader's large-bend group, by the names the bass scripts use.
const char* const kBassBendGroup = "hamTril HamCroma HamGeneral";

std::set<std::string> SubNames(const LintScript& s) {
    std::set<std::string> names;
    bool inSub = false;
    for (const std::string& raw : s.all) {
        const std::string line = Trimmed(raw);
        if (StartsWith(line, "#sub:")) inSub = true;
        if (StartsWith(line, "#set:")) inSub = false;
        if (inSub && StartsWith(line, "#name:")) names.insert(line.substr(6));
    }
    return names;
}

}  // namespace

// Every bass script runs the family's 59 sets in order among its own, with the
// fingering subroutines; it creates its stops on the note's string and sets
// the bend range; it merges joined notes (the 30) or gives them the joined
// code (the 16), and only sets of the loader's bend group do either.
TEST(ScriptLint, BassSetsSubroutinesAndClasses) {
    const std::vector<std::string> scripts = Words(kBassScripts);
    ASSERT_EQ(scripts.size(), 46u);
    const std::vector<std::string> shared = Words(kBassSets);
    ASSERT_EQ(shared.size(), 59u);
    const std::vector<std::string> joinedCode = Words(kBassJoinedCode);
    ASSERT_EQ(joinedCode.size(), 16u);
    const std::vector<std::string> group = Words(kBassBendGroup);
    for (const std::string& name : scripts) {
        SCOPED_TRACE(name);
        const LintScript* s = ScriptNamed(name);
        ASSERT_TRUE(s);
        EXPECT_TRUE(RunsInOrder(SetNames(*s), shared));
        EXPECT_LE(s->sets.size(), 114u);
        const std::set<std::string> subs = SubNames(*s);
        for (const char* sub : {"SetOpenGen", "convGenInfo", "rewritableGenInfo", "ableHigherGen2", "comparePos", "whichPos2"})
            EXPECT_TRUE(subs.count(sub)) << sub;
        EXPECT_LE(s->subs.size(), 14u);
        const std::set<std::string> created = CreatedClasses(*s);
        EXPECT_TRUE(created.count("CArticExpCreNote2"));
        EXPECT_TRUE(created.count("CArticExpInitPbRange3"));
        EXPECT_FALSE(created.count("CArticExpInitPro3")) << "no high-note stage";
        const bool joins = std::count(joinedCode.begin(), joinedCode.end(), name) > 0;
        EXPECT_EQ(created.count("CArticExpArraySlurPb"), joins ? 0u : 1u);
        for (const LintSet& set : s->sets) {
            for (const std::string& line : set.lines) {
                if (!StartsWith(line, "#exp")) continue;
                const std::string cls = CalledClass(line);
                // Merges in the bend group only; the range in "init_cc" only.
                if (cls == "CArticExpArraySlurPb")
                    EXPECT_TRUE(std::count(group.begin(), group.end(), set.name)) << set.name;
                if (cls == "CArticExpInitPbRange3") EXPECT_EQ(set.name, "init_cc");
            }
            // Marks of a merge (slot 9 bit 2) and the joined code (a write of slot 6
            // from a joined note's code) stand only in the bend group's sets.
            for (const std::string& line : set.lines)
                if (line.find("CArticSrchPutNoteInfoBitType( _val9, _thisEvnt, 9, 2, 1)") != std::string::npos ||
                    line.find("CArticSrchPutNoteInfoType( _val9, _thisEvnt, 6,") != std::string::npos)
                    EXPECT_TRUE(std::count(group.begin(), group.end(), set.name)) << set.name;
        }
    }
}
