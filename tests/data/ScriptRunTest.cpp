// The rule program of every embedded script runs over a few notes without an
// error report, and each note is annotated once with its articulation code and
// has its velocity mapped into that code's zone. A script still on the shared
// skeleton does what its sets say: each note carries articulation code 0 and
// its chord size and gets no write-back for a value that did not change; a
// drum script deletes exactly its rows' notes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "DrumSong.h"
#include "ScriptLoading.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpEvnt.h"
#include "engine/rules/ArticCreExpMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/work/WorkFixture.h"

namespace {

// Keeps every text it is handed, by the work note it names.
struct TextsByNote : CArticExpReceiver {
    std::map<ULONG, std::vector<std::string>> texts;
    std::vector<std::string> unnamed;
    int LoadExpEvnt(CString text, ULONG evntNo, CArticExpTrk*, CArticExpBlk* blk) override {
        static const std::regex note(R"(\{:w([0-9]+)[,}])");
        std::smatch m;
        const std::string t = text.str();
        if (std::regex_search(t, m, note))
            texts[ULONG(std::stoul(m[1]))].push_back(t);
        else
            unnamed.push_back(t);
        blk->AddTail(new CArticExpEvnt(blk, evntNo));
        return 0;
    }
};

// One note of the small song: start, key, velocity.
struct RunNote {
    INT64 time;
    BYTE key;
    BYTE velo;
};

// A two-note chord, then single notes, soft to loud and back, in low and high keys.
const RunNote kRunNotes[] = {{0, 40, 100}, {0, 64, 30}, {480, 67, 127}, {960, 72, 1}, {1440, 84, 64}};
const LONG kChordSize[] = {2, 1, 1, 1, 1};

// The zones of a script from the transcribed zone table: (code, low, high).
struct RunZone {
    int code, low, high;
};
std::map<std::string, std::vector<RunZone>> RunZones() {
    std::map<std::string, std::vector<RunZone>> out;
    std::ifstream in(std::string(VEXA_FIXTURES) + "/articulation_zones.txt");
    const std::regex zone(R"((^| )([0-9]+):([0-9]+)-([0-9]+))");
    for (std::string line; std::getline(in, line);) {
        const size_t bar = line.find('|');
        if (line.empty() || line[0] == '#' || bar == std::string::npos) continue;
        std::vector<RunZone>& zones = out[line.substr(0, bar)];
        const std::string rest = line.substr(bar + 1);
        for (std::sregex_iterator i(rest.begin(), rest.end(), zone), end; i != end; ++i)
            zones.push_back({std::stoi((*i)[2]), std::stoi((*i)[3]), std::stoi((*i)[4])});
    }
    return out;
}

// A script still on the shared skeleton: no rule sets but the skeleton's and
// the articulation sets.
bool OnSkeleton(const AlgorithmScript& script) {
    const std::set<std::string> skeleton = {"init_NoteInfo", "GetGrpTime", "cntChordNum", "set_NoteInfoToTime",
                                            "ExecVexa", "set_NoteInfoToWrkEvnt"};
    for (int i = 0; i < script.GetLineCount(); ++i) {
        const std::string line = script.GetLine(i);
        if (line.rfind("#name:", 0) != 0) continue;
        const std::string name = line.substr(6);
        if (!skeleton.count(name) && name.rfind("VEXA_tune_", 0) != 0) return false;
    }
    return true;
}

// A bass script: it fingers its notes ("FngrMono1").
bool IsBassScript(const AlgorithmScript& script) {
    for (int n = 0; n < script.GetLineCount(); ++n)
        if (script.GetLine(n) == std::string("#name:FngrMono1")) return true;
    return false;
}

bool RunTextStartsWith(const std::string& text, const char* head) { return text.compare(0, strlen(head), head) == 0; }

}  // namespace

TEST(ScriptRun, EveryScriptRunsOverAFewNotesAsItsSkeletonSays) {
    const auto zones = RunZones();
    const auto noteSets = drumsong::NoteSets();
    const auto& drumScripts = drumsong::DrumScripts();
    const AlgorithmScriptLibrary library;
    for (int i = 0; i < library.GetCount(); ++i) {
        const AlgorithmScript* script = library.GetAt(i);
        const std::string name = script->GetName().str();
        if (name == "Empty") continue;  // nothing to run: its load is checked on its own
        SCOPED_TRACE(name);
        CArticErr::Clear();
        CArticWrk wrk;
        CArticRul rul(&wrk);
        CArticExp exp;
        CArticLoadMgr loader(&wrk, &rul);
        ASSERT_EQ(LoadAlgorithmScript(*script, 0, loader), 0);

        wrktest::AddBlock(wrktest::AddTrack(wrk, 0, 0));
        CArticWrkBlk* blk = wrktest::AddBlock(wrktest::AddTrack(wrk, 1));
        std::vector<CArticWrkEvnt*> notes;
        for (const RunNote& n : kRunNotes)
            notes.push_back(wrktest::AddNote(blk, ULONG(notes.size() + 1), n.time, n.key, 240, n.velo));

        CArticCreExpMgr mgr(&wrk, &exp, &rul);
        TextsByNote receiver;
        mgr.SetProcDialog(&receiver);
        EXPECT_EQ(mgr.Create(), 0);
        EXPECT_EQ(ReportedErrorTexts(), std::vector<std::string>());
        EXPECT_EQ(receiver.unnamed, std::vector<std::string>());

        // The drum scripts map no zones.
        const bool melodic = zones.count(name) && !zones.at(name).empty();
        const bool skeleton = OnSkeleton(*script);
        const bool bass = IsBassScript(*script);
        std::vector<LONG> velocities;
        for (size_t k = 0; k < notes.size(); ++k) {
            SCOPED_TRACE("note " + std::to_string(k + 1));
            const std::vector<std::string>& texts = receiver.texts[ULONG(k + 1)];
            // Start, length and key stay on the skeleton: no write-back names
            // them. A drum script moves no start or length either, and changes
            // only its brush snare keys (below).
            for (const std::string& t : skeleton || !melodic ? texts : std::vector<std::string>()) {
                EXPECT_FALSE(RunTextStartsWith(t, "CArticExpTimeSft(")) << t;
                EXPECT_FALSE(RunTextStartsWith(t, "CArticExpDurAbs(")) << t;
                if (melodic) {
                    EXPECT_FALSE(RunTextStartsWith(t, "CArticExpKeySft(")) << t;
                }
            }
            const LONG velo = notes[k]->GetNoteInfo(3);
            if (!melodic) {
                // A drum script deletes exactly the notes of its rows' set, moves
                // no start, and changes only brush snare keys (38, 40) and
                // velocities within 1..127 here.
                const auto drum = std::find_if(drumScripts.begin(), drumScripts.end(),
                                               [&](const drumsong::DrumScript& d) { return name == d.name; });
                ASSERT_NE(drum, drumScripts.end());
                const bool erased = noteSets.at(drum->noteSet).count(kRunNotes[k].key) > 0;
                const std::string del = "CArticExpDel(1{:w" + std::to_string(k + 1) + "})";
                EXPECT_EQ(std::count(texts.begin(), texts.end(), del), erased ? 1 : 0);
                for (const std::string& t : texts) {
                    if (t == del) continue;
                    const bool brushSnare = (kRunNotes[k].key == 38 || kRunNotes[k].key == 40) &&
                                            RunTextStartsWith(t, "CArticExpKeySft(");
                    EXPECT_TRUE(brushSnare || RunTextStartsWith(t, "CArticExpStresVeloNoteAbs(")) << t;
                }
                EXPECT_TRUE(velo >= 1 && velo <= 127) << velo;
                continue;
            }
            const LONG code = notes[k]->GetNoteInfo(6);
            if (skeleton) {
                EXPECT_EQ(code, 0);
                EXPECT_EQ(notes[k]->GetNoteInfo(8), kChordSize[k]);
            }
            int annotations = 0;
            std::string veloText;
            for (const std::string& t : texts) {
                if (RunTextStartsWith(t, "CArticExpDebug_i2(") && t.find("\"奏法\"") != std::string::npos) {
                    ++annotations;
                    EXPECT_EQ(t.substr(t.rfind(',')), "," + std::to_string(code) + ")") << t;
                } else if (RunTextStartsWith(t, "CArticExpDebug_i2(") &&
                           (t.find("\"弦\"") != std::string::npos || t.find("\"フレット\"") != std::string::npos)) {
                    // The bass scripts annotate each note's string and fret.
                    EXPECT_TRUE(bass) << t;
                } else if (RunTextStartsWith(t, "CArticExpDebug_i2(")) {
                    EXPECT_EQ(name, "Debug") << "only \"Debug\" annotates more than the code: " << t;
                } else if (RunTextStartsWith(t, "CArticExpStresVeloNoteAbs(")) {
                    veloText = t;
                } else if (skeleton) {
                    ADD_FAILURE() << "unexpected text " << t;
                }
            }
            EXPECT_EQ(annotations, 1);
            bool inZone = false;
            for (const RunZone& z : zones.at(name))
                inZone = inZone || (z.code == code && velo >= z.low && velo <= z.high);
            EXPECT_TRUE(inZone) << "code " << code << " velocity " << velo;
            const std::string written = "CArticExpStresVeloNoteAbs(1{:w" + std::to_string(k + 1) + "}," +
                                        std::to_string(velo) + ")";
            EXPECT_EQ(veloText, velo == kRunNotes[k].velo ? std::string() : written);
            velocities.push_back(velo);
        }
        // Within one zone a louder note never comes out softer.
        if (melodic && skeleton &&
            std::count_if(zones.at(name).begin(), zones.at(name).end(), [](const RunZone& z) { return z.code == 0; }) == 1) {
            for (size_t a = 0; a < notes.size(); ++a) {
                for (size_t b = 0; b < notes.size(); ++b) {
                    if (kRunNotes[a].velo < kRunNotes[b].velo) {
                        EXPECT_LE(velocities[a], velocities[b]) << a << " " << b;
                    }
                }
            }
        }
    }
    CArticErr::Clear();
}
