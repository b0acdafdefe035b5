// Every embedded script loads through the engine's rule loader, on the real
// built-ins, with either pitch-bend option and an empty error list, and every
// set it declares is filed in its order.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ScriptLoading.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticWrk.h"

namespace {

// The bend groups of the loader's set-name filter: a set of such a name is
// filed only while its switch is on.
const std::set<std::string> kSmallBendSets = {"Vib1", "Vib2", "vibGlissMono", "vibGliss2Poly",
                                              "FeedBackVib", "Shake", "BrassVib", "BrassUnstab"};
const std::set<std::string> kLargeBendSets = {
    "slideSameLong", "choSameLong", "slideSameUp", "choSameUp", "FngrChoLick1", "slideDnDn", "choDnDn",
    "slideUpUp", "choUpUp", "slideUpUpDn", "choUpUpDn", "slideDown", "choDown", "FngrChoLick3",
    "slideSameDn", "choSameDn", "slideSameRest", "choSameRest", "slideUpSame", "choUpSame", "FngrChoLick5",
    "slideOctUp", "choOctUp", "slide4Up", "cho4Up", "slideLong", "choLong", "slideSameSame", "choSameSame",
    "choQtr", "choStart", "doubleSlide", "StartSlide", "HamGeneral", "hamTril", "HamCroma", "doubleHam"};

// The strings, brass, trumpet and tenor sax scripts: their sets read the song's
// bends and none bears a bend-group name.
const std::set<std::string> kBendReadingFamilies = {
    "49_0_2", "49_1",     "49_1_1",   "49_1_2",   "49_1_3",   "49_2",     "50_0_2",   "50_1",     "50_2",
    "8_2_50_1", "8_2_50_2", "8_2_50_3", "8_4_50_1", "8_4_50_2", "8_4_50_3", "57",       "57_1",     "57_2",
    "57_2_1", "57_3",     "57_3_1",   "08_00_56", "08_01_56", "08_03_57", "08_04_57", "65",       "83_1",
    "83_2",   "Debug"};

// The set numbers the script text declares, in order, without those the bend
// option drops: with option 0 the large-bend sets stay and the small-bend ones
// only at PbProc 0; with option 1 the large-bend ones only at PbProc 1 and the
// small-bend ones never; "init_cc" while either group stays.
std::vector<ULONG> FiledSetNumbers(const AlgorithmScript& script, BYTE option, std::vector<std::string>* dropped) {
    int pbProc = 0;
    for (int n = 0; n < script.GetLineCount(); ++n) {
        const std::string line = script.GetLine(n);
        if (line.compare(0, 10, ";##PbProc:") == 0) pbProc = std::stoi(line.substr(10));
    }
    const bool large = option == 0 || pbProc != 0;
    const bool small = option == 0 && pbProc == 0;
    std::vector<ULONG> out;
    for (int n = 0; n + 1 < script.GetLineCount(); ++n) {
        const std::string line = script.GetLine(n), next = script.GetLine(n + 1);
        if (line.compare(0, 5, "#set:") != 0) continue;
        const std::string name = next.compare(0, 6, "#name:") == 0 ? next.substr(6) : std::string();
        const bool keep = name == "init_cc" ? (large || small)
                          : kSmallBendSets.count(name) ? small
                          : kLargeBendSets.count(name) ? large
                                                       : true;
        if (keep) {
            out.push_back(ULONG(std::stoul(line.substr(5))));
        } else {
            dropped->push_back(name);
        }
    }
    return out;
}

std::vector<ULONG> LoadedSetNumbers(CArticRul& rul) {
    std::vector<ULONG> out;
    for (POSITION p = rul.GetHeadPos(); p;) out.push_back(ULONG(rul.GetNext(p)->GetSetNo()));
    return out;
}

}  // namespace

TEST(ScriptLoad, EveryScriptLoadsWithEitherBendOption) {
    const AlgorithmScriptLibrary library;
    for (int i = 0; i < library.GetCount(); ++i) {
        const AlgorithmScript* script = library.GetAt(i);
        for (BYTE option : {BYTE(0), BYTE(1)}) {
            SCOPED_TRACE(script->GetName().str() + " bend option " + std::to_string(option));
            CArticErr::Clear();
            CArticWrk wrk;
            CArticRul rul(&wrk);
            CArticLoadMgr loader(&wrk, &rul);
            EXPECT_EQ(LoadAlgorithmScript(*script, option, loader), 0);
            EXPECT_EQ(ReportedErrorTexts(), std::vector<std::string>());
            if (script->GetName() == "Empty") {
                EXPECT_EQ(rul.GetCount(), 0);
                continue;
            }
            // The filter keeps every other set in the text's order.
            std::vector<std::string> dropped;
            EXPECT_EQ(LoadedSetNumbers(rul), FiledSetNumbers(*script, option, &dropped));
            const std::string name = script->GetName().str();
            if (kBendReadingFamilies.count(name))
                EXPECT_EQ(dropped, std::vector<std::string>()) << name;
        }
    }
    CArticErr::Clear();
}

// A bass script loaded with the bend option (a song with bends) loses exactly
// its bend-group sets and "init_cc": no merge, no joined code, no range;
// without the option it loses nothing.
TEST(ScriptLoad, TheBendOptionDropsTheBassJoinsAndRange) {
    const AlgorithmScriptLibrary library;
    int bass = 0;
    for (int i = 0; i < library.GetCount(); ++i) {
        const AlgorithmScript* script = library.GetAt(i);
        std::vector<std::pair<ULONG, std::string>> sets;
        bool fingers = false;
        for (int n = 0; n + 1 < script->GetLineCount(); ++n) {
            const std::string line = script->GetLine(n), next = script->GetLine(n + 1);
            if (line.compare(0, 5, "#set:") == 0 && next.compare(0, 6, "#name:") == 0)
                sets.emplace_back(ULONG(std::stoul(line.substr(5))), next.substr(6));
            fingers = fingers || line == "#name:FngrMono1";
        }
        if (!fingers) continue;
        ++bass;
        SCOPED_TRACE(script->GetName().str());
        for (BYTE option : {BYTE(0), BYTE(1)}) {
            CArticErr::Clear();
            CArticWrk wrk;
            CArticRul rul(&wrk);
            CArticLoadMgr loader(&wrk, &rul);
            ASSERT_EQ(LoadAlgorithmScript(*script, option, loader), 0);
            const std::vector<ULONG> loaded = LoadedSetNumbers(rul);
            std::vector<std::string> dropped;
            for (const auto& set : sets)
                if (std::find(loaded.begin(), loaded.end(), set.first) == loaded.end()) dropped.push_back(set.second);
            const std::vector<std::string> want =
                option ? std::vector<std::string>{"init_cc", "hamTril", "HamCroma", "HamGeneral"} : std::vector<std::string>();
            EXPECT_EQ(dropped, want) << "option " << int(option);
        }
    }
    EXPECT_EQ(bass, 46);
    CArticErr::Clear();
}
