// The script generator (tools/make_scripts): its template language, the
// switch column of the manifest, the set numbering, and every input fault that
// must stop it, on small templates held in memory.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tools/make_scripts_core.h"

namespace {

using MsFiles = std::map<std::string, std::string>;

// Templates of a small family "fam" (fam.rul) and the number files.
MsFiles MsGeneratorFiles() {
    return {
        {"families.txt", "# family template\nfam fam.rul\nplain plain.rul\n"},
        {"tune_sets.txt", "N 283\n"},
        {"set_numbers.txt", "Head 114\nStage 20\nLoud 21\nLast 126\n"},
        {"plain.rul", "; {{DISPLAY}}\n"},
        {"fragments/head.rul", "; {{NAME}} {{PBPROC}}/{{TGMODE}}/{{INSTNUM}}\n#set:\n#name:Head\n#prob:{{GRPTIME}}\n"},
        {"fam.rul",
         "{{INCLUDE head}}\n"
         "{{IF loud}}\n"
         "#set:\n#name:Loud\n#prob:{{loud}}\n"
         "{{ELSE}}\n"
         "; quiet\n"
         "{{END}}\n"
         "{{IF codes=a}}\n"
         "{{SET attack=7}}\n"
         "{{ELSE}}\n"
         "{{SET attack=9}}\n"
         "{{END}}\n"
         "#set:\n#name:Stage\n#val1:{{attack}}{{IF !loud}} soft{{END}}\n#val2:_thisEvnt.Prob{{NUM Loud}}\n"
         "{{TUNE_SETS}}"
         "#set:\n#name:Last\n"},
    };
}

makescripts::ReadTemplate MsReader(const MsFiles& files) {
    return [&files](const std::string& path, std::string& text) {
        const auto f = files.find(path);
        if (f == files.end()) return false;
        text = f->second;
        return true;
    };
}

bool MsDisplay(const std::string& script, std::string& display) {
    display = script + "(shown)";
    return script != "nobody";
}

// The generated scripts by name, or the message that stopped the generator.
std::string MsGenerate(const MsFiles& files, const std::string& manifest, std::map<std::string, std::string>& out) {
    std::vector<makescripts::Script> scripts;
    const std::string error = makescripts::MakeScripts(manifest, MsReader(files), MsDisplay, scripts);
    for (const makescripts::Script& s : scripts) out[s.name] = s.text;
    return error;
}

const char* const kMsRows =
    "# a comment row\n"
    "A|fam|1|2|3|240|N=0:1-127|loud=0.5 codes=a\n"
    "B|fam|0|2|3|120|-|codes=b\n"
    "C|plain|0|2|0|240|-\n";

TEST(MakeScriptsTest, SwitchesIncludesAndNumbersShapeEachScript) {
    std::map<std::string, std::string> out;
    ASSERT_EQ(MsGenerate(MsGeneratorFiles(), kMsRows, out), "");
    ASSERT_EQ(out.size(), 3u);
    // A: loud branch taken, SET by equality, the tune set numbered from tune_sets.txt.
    const std::string& a = out["A"];
    EXPECT_EQ(a.rfind("; A 1/2/3\n#set:114\n#name:Head\n#prob:240\n#set:21\n#name:Loud\n#prob:0.5\n#set:20\n#name:Stage\n"
                      "#val1:7\n#val2:_thisEvnt.Prob21\n",
                      0),
              0u)
        << a;
    EXPECT_NE(a.find("#set:283\n#name:VEXA_tune_N\n"), std::string::npos);
    EXPECT_EQ(a.find("quiet"), std::string::npos);
    EXPECT_NE(a.find("#set:126\n#name:Last\n"), std::string::npos);
    // B: the ELSE branches, the inline IF, no zones.
    EXPECT_EQ(out["B"],
              "; B 0/2/3\n#set:114\n#name:Head\n#prob:120\n; quiet\n#set:20\n#name:Stage\n#val1:9 soft\n"
              "#val2:_thisEvnt.Prob21\n#set:126\n#name:Last\n");
    EXPECT_EQ(out["C"], "; C(shown)\n");
}

// Every fault of the inputs stops the generator with a message naming it.
TEST(MakeScriptsTest, FaultsInTheInputsStopIt) {
    struct Case {
        const char* what;
        std::string manifest;
        std::map<std::string, std::string> change;  // files replaced
        const char* message;                        // a part of the message
    };
    const std::string good = kMsRows;
    const Case cases[] = {
        {"a switch the template never reads", good + "D|fam|0|2|3|240|-|codes=a loudness=1\n", {}, "unknown switch loudness"},
        {"a switch the template reads that no row gives",
         "A|fam|1|2|3|240|-|loud=1\n",
         {},
         "unused switch codes"},
        {"a set without a number", good, {{"set_numbers.txt", "Head 114\nStage 20\nLast 126\n"}}, "set Loud has no number"},
        {"a template that numbers a head itself", good, {{"plain.rul", "#set:7\n#name:Head\n"}}, "unnumbered"},
        {"a set number among the tune sets'", good, {{"set_numbers.txt", "Head 114\nStage 300\nLoud 21\nLast 126\n"}},
         "tune-set number"},
        {"two sets of one number in a script", good, {{"set_numbers.txt", "Head 114\nStage 21\nLoud 21\nLast 126\n"}},
         "share number 21"},
        {"a tune set without a number", "A|fam|1|2|3|240|M=0:1-127|loud=1 codes=a\nB|fam|0|2|3|240|-|codes=b\n", {},
         "VEXA_tune_M has no number"},
        {"a family without a template", good + "E|guitar|0|2|0|240|-\n", {}, "family guitar"},
        {"a script no target runs", "nobody|plain|0|2|0|240|-\n", {}, "no target row runs nobody"},
        {"a placeholder without a value", "C|plain|0|2|0|240|-\n", {{"plain.rul", "{{depth}}\n"}}, "no value for {{depth}}"},
        {"an IF without END", good, {{"plain.rul", "{{IF x}}\n"}}, "IF without END"},
        {"an END without IF", good, {{"plain.rul", "{{END}}\n"}}, "END without IF"},
        {"an include cycle", good, {{"plain.rul", "{{INCLUDE loop}}\n"}, {"fragments/loop.rul", "{{INCLUDE loop}}\n"}},
         "include cycle"},
        {"a missing fragment", good, {{"plain.rul", "{{INCLUDE gone}}\n"}}, "cannot read"},
        {"a switch given twice", "A|fam|1|2|3|240|-|loud=1 loud=2 codes=a\n", {}, "given twice"},
        {"a row of six columns", "A|fam|1|2|3|240\n", {}, "bad manifest row"},
    };
    for (const Case& c : cases) {
        MsFiles files = MsGeneratorFiles();
        for (const auto& f : c.change) files[f.first] = f.second;
        std::map<std::string, std::string> out;
        const std::string error = MsGenerate(files, c.manifest, out);
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": \"" << error << "\"";
    }
}

// A switch read only in a branch that no row takes is still a read switch: a
// row may give it, and the template must have a row that does.
TEST(MakeScriptsTest, SwitchesInBranchesNotTakenCount) {
    MsFiles files = MsGeneratorFiles();
    files["plain.rul"] = "{{IF never}}{{IF inner}}{{inner}}{{END}}{{END}}x\n";
    std::map<std::string, std::string> out;
    EXPECT_NE(MsGenerate(files, "C|plain|0|2|0|240|-|never=0\n", out).find("unused switch inner"), std::string::npos);
    out.clear();
    EXPECT_EQ(MsGenerate(files, "C|plain|0|2|0|240|-|never=0\nD|plain|0|2|0|240|-|inner=5\n", out), "");
    EXPECT_EQ(out["C"], "x\n");
    EXPECT_EQ(out["D"], "x\n");
}

}  // namespace
