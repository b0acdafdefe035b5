// The rule program of every embedded script runs over a few notes without an
// error report, and the skeleton (in the scripts still on it) does what its sets say: each note carries
// articulation code 0 and its chord size, is annotated once with its code, has
// its velocity mapped into the zone of code 0, and gets no write-back for a
// value that did not change.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

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

// The code-0 zones of a script from the transcribed zone table: (low, high) pairs.
std::map<std::string, std::vector<std::pair<int, int>>> CodeZeroZones() {
    std::map<std::string, std::vector<std::pair<int, int>>> out;
    std::ifstream in(std::string(VEXA_FIXTURES) + "/articulation_zones.txt");
    const std::regex zone(R"((^| )0:([0-9]+)-([0-9]+))");
    for (std::string line; std::getline(in, line);) {
        const size_t bar = line.find('|');
        if (line.empty() || line[0] == '#' || bar == std::string::npos) continue;
        std::vector<std::pair<int, int>>& zones = out[line.substr(0, bar)];
        const std::string rest = line.substr(bar + 1);
        for (std::sregex_iterator i(rest.begin(), rest.end(), zone), end; i != end; ++i)
            zones.push_back({std::stoi((*i)[2]), std::stoi((*i)[3])});
    }
    return out;
}

bool RunTextStartsWith(const std::string& text, const char* head) { return text.compare(0, strlen(head), head) == 0; }

// The scripts still on the skeleton: their manifest family takes "skeleton.rul"
// in templates/families.txt (a family given its own template runs its own sets).
std::set<std::string> ScriptsOnSkeleton() {
    const std::string folder = std::string(VEXA_SOURCE_DIR) + "/data/scripts/";
    std::set<std::string> skeletonFamilies;
    std::ifstream families(folder + "templates/families.txt");
    for (std::string line; std::getline(families, line);) {
        const size_t blank = line.find(' ');
        if (line.empty() || line[0] == '#' || blank == std::string::npos) continue;
        if (line.substr(blank + 1) == "skeleton.rul") skeletonFamilies.insert(line.substr(0, blank));
    }
    std::set<std::string> names;
    std::ifstream manifest(folder + "manifest.txt");
    for (std::string line; std::getline(manifest, line);) {
        const size_t bar = line.find('|');
        if (line.empty() || line[0] == '#' || bar == std::string::npos) continue;
        const size_t next = line.find('|', bar + 1);
        if (skeletonFamilies.count(line.substr(bar + 1, next - bar - 1))) names.insert(line.substr(0, bar));
    }
    return names;
}

}  // namespace

TEST(ScriptRun, EveryScriptRunsOverAFewNotesAsItsSkeletonSays) {
    const auto zones = CodeZeroZones();
    const std::set<std::string> onSkeleton = ScriptsOnSkeleton();
    ASSERT_FALSE(onSkeleton.empty());
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
        // A family with its own template is judged by its own tests.
        if (zones.count(name) && !zones.at(name).empty() && !onSkeleton.count(name)) continue;

        // The drum scripts map no zones.
        const bool melodic = zones.count(name) && !zones.at(name).empty();
        std::vector<LONG> velocities;
        for (size_t k = 0; k < notes.size(); ++k) {
            SCOPED_TRACE("note " + std::to_string(k + 1));
            const std::vector<std::string>& texts = receiver.texts[ULONG(k + 1)];
            // Start, length and key stay: no write-back names them.
            for (const std::string& t : texts) {
                EXPECT_FALSE(RunTextStartsWith(t, "CArticExpTimeSft(")) << t;
                EXPECT_FALSE(RunTextStartsWith(t, "CArticExpDurAbs(")) << t;
                EXPECT_FALSE(RunTextStartsWith(t, "CArticExpKeySft(")) << t;
            }
            const LONG velo = notes[k]->GetNoteInfo(3);
            if (!melodic) {
                // A drum script changes nothing: no text at all, the velocity as it came.
                EXPECT_EQ(texts, std::vector<std::string>());
                EXPECT_EQ(velo, kRunNotes[k].velo);
                continue;
            }
            EXPECT_EQ(notes[k]->GetNoteInfo(6), 0);
            EXPECT_EQ(notes[k]->GetNoteInfo(8), kChordSize[k]);
            int annotations = 0;
            std::string veloText;
            for (const std::string& t : texts) {
                if (RunTextStartsWith(t, "CArticExpDebug_i2(")) {
                    ++annotations;
                    EXPECT_EQ(t.substr(t.rfind(',')), ",0)") << t;
                } else if (RunTextStartsWith(t, "CArticExpStresVeloNoteAbs(")) {
                    veloText = t;
                } else {
                    ADD_FAILURE() << "unexpected text " << t;
                }
            }
            EXPECT_EQ(annotations, 1);
            bool inZone = false;
            for (const auto& z : zones.at(name)) inZone = inZone || (velo >= z.first && velo <= z.second);
            EXPECT_TRUE(inZone) << velo;
            const std::string written = "CArticExpStresVeloNoteAbs(1{:w" + std::to_string(k + 1) + "}," +
                                        std::to_string(velo) + ")";
            EXPECT_EQ(veloText, velo == kRunNotes[k].velo ? std::string() : written);
            velocities.push_back(velo);
        }
        // Within one zone a louder note never comes out softer.
        if (melodic && zones.at(name).size() == 1) {
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
