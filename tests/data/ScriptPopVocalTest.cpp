// The pop-vocal scripts ("L96_01" to "L96_12") through the script harness:
// notes moved by octaves into the Girls' (60-96) or the Boys' (48-84) range,
// the chord heads singing the row's syllable cycle in turn, each under bank
// 8/0 and its syllable's program from before its note-on, legato notes
// without a program change, p and f, vibrato on long notes; the voice after
// a run of high notes, and the bach prelude's channel 4.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tests/data/ScriptHarness.h"
#include "tests/data/VocalSongs.h"

namespace {

using scriptharness::HarnessNote;

constexpr long kLegatoSyllable = 11;
// The syllables that have no p and no vibrato forms: Hee, Bee, Wee.
const std::set<long> kPlainOnly = {5, 6, 10};

scriptharness::Target VocalTarget() {
    scriptharness::Target t;
    t.program = 100;
    t.kind = 5;
    return t;
}

struct VocalRow {
    const char* script;
    int low, high;
    long syllables[4];  // the cycle's codes
    int programs[4];    // and programs
};

// The cycles the row names spell: Daa 1, Baa 2, Doo 4, Bee 6, Yaa 8, Yoo 9,
// Wee 10, Shoo 12; programs Daa 101, Baa and Yaa 102, Shoo 103, Yoo 105,
// Doo 106, Bee 107, Wee 110.
const VocalRow kVocalRows[] = {
    {"L96_01", 60, 96, {1, 2, 4, 6}, {101, 102, 106, 107}},     // Girls/DaBaDoBe
    {"L96_02", 60, 96, {12, 6, 4, 2}, {103, 107, 106, 102}},    // Girls/ShooBeeDooBah
    {"L96_03", 60, 96, {4, 6, 4, 6}, {106, 107, 106, 107}},     // Girls/DoBeDoBe
    {"L96_04", 60, 96, {8, 2, 1, 2}, {102, 102, 101, 102}},     // Girls/YaBaDaBa
    {"L96_05", 60, 96, {4, 10, 9, 6}, {106, 110, 105, 107}},    // Girls/DoWeYoBe
    {"L96_06", 60, 96, {12, 2, 4, 2}, {103, 102, 106, 102}},    // Girls/ShooBaDooBa
    {"L96_07", 48, 84, {1, 2, 4, 6}, {101, 102, 106, 107}},     // Boys/DaBaDoBe
    {"L96_08", 48, 84, {12, 6, 4, 2}, {103, 107, 106, 102}},    // Boys/ShooBeeDooBah
    {"L96_09", 48, 84, {4, 6, 4, 6}, {106, 107, 106, 107}},     // Boys/DoBeDoBe
    {"L96_10", 48, 84, {8, 2, 1, 2}, {102, 102, 101, 102}},     // Boys/YaBaDaBa
    {"L96_11", 48, 84, {4, 10, 9, 6}, {106, 110, 105, 107}},    // Boys/DoWeYoBe
    {"L96_12", 48, 84, {12, 2, 4, 2}, {103, 102, 106, 102}},    // Boys/ShooBaDooBa
};

// The voice in force at a note's note-on, as "msb/lsb/program".
std::string VoiceText(const scriptharness::Run& run, const HarnessNote& n) {
    const vocalsongs::Voice v = vocalsongs::VoiceAt(run.out, 0, n.out.start, n.out.key);
    if (!v.found) return "no note-on";
    return std::to_string(v.msb) + "/" + std::to_string(v.lsb) + "/" + std::to_string(v.program);
}

std::string Syllable(int program) { return "8/0/" + std::to_string(program); }

// The heads (first notes of their start) that do not sing legato, in order.
std::vector<const HarnessNote*> SungHeads(const scriptharness::Run& run) {
    std::vector<const HarnessNote*> heads;
    for (size_t i = 0; i < run.notes.size(); ++i) {
        const HarnessNote& n = run.notes[i];
        if (i > 0 && run.notes[i - 1].out.start == n.out.start) continue;
        if (n.code % 50 != kLegatoSyllable) heads.push_back(&n);
    }
    return heads;
}

TEST(ScriptPopVocal, EveryRowSingsItsCycleUnderItsSyllablesAndVariants) {
    const std::vector<vocalsongs::SongNote> song = vocalsongs::FamilyNotes();
    for (const VocalRow& row : kVocalRows) {
        for (uint32_t seed : {1u, 2u, 3u}) {
            SCOPED_TRACE(std::string(row.script) + " seed " + std::to_string(seed));
            const scriptharness::Run run = scriptharness::ConvertChannel(
                vocalsongs::SongOf(song), 0, scriptharness::LibraryScript(row.script), VocalTarget(), seed);
            ASSERT_TRUE(vocalsongs::KeepsNotesZonesAndRange(run, row.script, row.low, row.high, song.size()));
            const std::vector<vocalsongs::Before> before = vocalsongs::BeforeEach(run.notes, run.out.division);
            // Eight chords, the legato line, the first long note, the soft and
            // the loud phrase and the two far notes start with a sung head.
            const std::vector<const HarnessNote*> heads = SungHeads(run);
            ASSERT_EQ(heads.size(), 14u);
            for (size_t k = 0; k < heads.size(); ++k) {
                SCOPED_TRACE(testing::Message() << "head " << k << " " << heads[k]->in);
                EXPECT_EQ(heads[k]->code % 50, row.syllables[k % 4]) << heads[k]->code;
                EXPECT_EQ(VoiceText(run, *heads[k]), Syllable(row.programs[k % 4]));
            }
            std::set<long> variants;
            for (size_t i = 0; i < run.notes.size(); ++i) {
                const HarnessNote& n = run.notes[i];
                SCOPED_TRACE(testing::Message() << n.in << " code " << n.code);
                const long syllable = n.code % 50, variant = n.code / 50;
                variants.insert(variant);
                // The song has no fast passage: joined notes sing legato, and
                // they keep the program of the note before them.
                const bool joined = before[i].handover;
                EXPECT_EQ(syllable == kLegatoSyllable, joined);
                if (joined) {
                    EXPECT_EQ(VoiceText(run, n), VoiceText(run, run.notes[i - 1]));
                }
                // A chord's other notes sing its head's syllable under its program.
                if (i > 0 && run.notes[i - 1].out.start == n.out.start) {
                    EXPECT_EQ(syllable, run.notes[i - 1].code % 50);
                    EXPECT_EQ(VoiceText(run, n), VoiceText(run, run.notes[i - 1]));
                }
                if (kPlainOnly.count(syllable)) {
                    EXPECT_EQ(variant, 0);
                    continue;
                }
                const bool vibrato = n.in.length * 480 / run.out.division >= 480;
                EXPECT_EQ(variant >= 2, vibrato);
                if (n.in.velocity == 15) {
                    EXPECT_TRUE(variant == 1 || variant == 3) << "soft phrase";
                }
                if (n.in.velocity == 125) {
                    EXPECT_TRUE(variant == 0 || variant == 2) << "loud phrase";
                }
            }
            EXPECT_EQ(variants, (std::set<long>{0, 1, 2, 3}));
        }
    }
}

// The head at the channel's first note sounds under its syllable (its
// program change goes ahead of the chord at tick 0). A run reaching C6 plays
// on the song's voice and takes no turn of the cycle; the legato note after
// it sings under the syllable in force before the run, not under the
// target voice's Haa, and the next head goes on with the cycle.
TEST(ScriptPopVocal, FirstHeadAndTheNoteAfterAHighRunSingTheirSyllables) {
    const std::vector<vocalsongs::SongNote> song = {
        {0, 60, 100, 480}, {0, 64, 100, 480}, {960, 96, 90, 480}, {1440, 72, 90, 480}, {2400, 64, 90, 240}};
    const scriptharness::Run run =
        scriptharness::ConvertChannel(vocalsongs::SongOf(song), 0, scriptharness::LibraryScript("L96_01"), VocalTarget());
    ASSERT_TRUE(vocalsongs::KeepsNotesZonesAndRange(run, "L96_01", 60, 96, song.size()));
    ASSERT_EQ(run.notes.size(), 5u);
    EXPECT_EQ(VoiceText(run, run.notes[0]), "8/0/101");  // Daa at the first note
    EXPECT_EQ(VoiceText(run, run.notes[1]), "8/0/101");
    EXPECT_NE(vocalsongs::VoiceAt(run.out, 0, run.notes[2].out.start, 96).program, 101);  // the song's voice
    EXPECT_EQ(run.notes[3].code % 50, kLegatoSyllable);
    EXPECT_EQ(VoiceText(run, run.notes[3]), "8/0/101");  // back to Daa, not 8/0/100
    EXPECT_EQ(run.notes[4].code % 50, 2);                // Baa: the cycle's second turn
    EXPECT_EQ(VoiceText(run, run.notes[4]), "8/0/102");
}

// A note coded 101 (Daa, f with vibrato) ends in 61-70 under program 101 of
// bank 8/0.
TEST(ScriptPopVocal, DaaFWithVibratoLiesInItsZoneUnderProgram101) {
    const std::vector<vocalsongs::SongNote> song = {{0, 67, 127, 960}};
    const scriptharness::Run run =
        scriptharness::ConvertChannel(vocalsongs::SongOf(song), 0, scriptharness::LibraryScript("L96_01"), VocalTarget());
    ASSERT_EQ(run.result, 1) << run.message;
    ASSERT_EQ(run.notes.size(), 1u);
    const HarnessNote& n = run.notes[0];
    EXPECT_EQ(n.code, 101);
    EXPECT_GE(n.out.velocity, 61);
    EXPECT_LE(n.out.velocity, 70);
    EXPECT_EQ(VoiceText(run, n), "8/0/101");
}

}  // namespace

namespace {

// The prelude's channel 4, a single line of joined eighths, sixteenths and
// long notes: every note kept in its zone and its row's range, the sung
// heads (the sixteenths sing one syllable each, the joined eighths legato)
// taking the cycle in turn under its programs.
TEST(ScriptPopVocal, BachPreludeChannelFourSingsTheCycles) {
    const phrasorcoretest::Bytes song = phrasorcoretest::Song("bach_846.mid");
    for (const VocalRow& row : {kVocalRows[0], kVocalRows[1]}) {
        SCOPED_TRACE(row.script);
        const scriptharness::Run run =
            scriptharness::ConvertChannel(song, 3, scriptharness::LibraryScript(row.script), VocalTarget());
        const size_t input = phrasorcoretest::NotesOf(run.in, 3).size();
        ASSERT_EQ(input, 199u);
        ASSERT_TRUE(vocalsongs::KeepsNotesZonesAndRange(run, row.script, row.low, row.high, input));
        size_t legato = 0;
        for (const HarnessNote& n : run.notes) legato += n.code % 50 == kLegatoSyllable ? 1 : 0;
        EXPECT_GT(legato, 0u);
        const std::vector<const HarnessNote*> heads = SungHeads(run);
        ASSERT_GT(heads.size(), 40u);
        for (size_t k = 0; k < heads.size(); ++k) {
            SCOPED_TRACE(testing::Message() << "head " << k << " " << heads[k]->in);
            EXPECT_EQ(heads[k]->code % 50, row.syllables[k % 4]);
            const vocalsongs::Voice v = vocalsongs::VoiceAt(run.out, 3, heads[k]->out.start, heads[k]->out.key);
            EXPECT_EQ(std::to_string(v.msb) + "/" + std::to_string(v.lsb) + "/" + std::to_string(v.program),
                      Syllable(row.programs[k % 4]));
        }
    }
}

}  // namespace
