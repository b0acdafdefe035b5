// The gospel-choir scripts ("55_1" to "55_6") on the family song through the
// script harness: notes folded by octaves into the choir's range (36-84), the
// row's vowels, plain notes at phrase starts and legato forms on joined
// notes, every start 20 ticks earlier, every velocity in its code's zone.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tests/data/ScriptHarness.h"
#include "tests/data/VocalSongs.h"

namespace {

using scriptharness::HarnessNote;

constexpr int kChoirLow = 36, kChoirHigh = 84;
constexpr long kChoirShift = 20;  // engine ticks
const std::set<long> kChoirLegato = {0, 3, 5, 7};

scriptharness::Target ChoirTarget() {
    scriptharness::Target t;
    t.program = 54;
    t.kind = 5;
    return t;
}

struct ChoirRow {
    const char* script;
    std::set<long> codes;  // the codes the row sings: all of them reached on the family song
};

const ChoirRow kChoirRows[] = {
    {"55_1", {0, 1, 2, 3, 4, 5, 6, 7}},  // Multi: all four vowels
    {"55_2", {2, 3, 6, 7}},              // Adlib: Wow and Aaa
    {"55_3", {0, 1}},                    // Hmm
    {"55_4", {2, 3}},                    // Wow
    {"55_5", {4, 5}},                    // Hee
    {"55_6", {6, 7}},                    // Aaa
};

TEST(ScriptChoir, EveryRowSingsItsVowelsPlainAtPhraseStartsAndEarlier) {
    const std::vector<vocalsongs::SongNote> song = vocalsongs::FamilyNotes();
    for (const ChoirRow& row : kChoirRows) {
        for (uint32_t seed : {1u, 2u, 3u}) {
            SCOPED_TRACE(std::string(row.script) + " seed " + std::to_string(seed));
            const scriptharness::Run run = scriptharness::ConvertChannel(
                vocalsongs::SongOf(song), 0, scriptharness::LibraryScript(row.script), ChoirTarget(), seed);
            ASSERT_TRUE(vocalsongs::KeepsNotesZonesAndRange(run, row.script, kChoirLow, kChoirHigh, song.size()));
            ASSERT_EQ(run.shift, 0);
            const WORD division = run.out.division;
            const std::vector<vocalsongs::Before> before = vocalsongs::BeforeEach(run.notes, division);
            std::set<long> reached;
            for (size_t i = 0; i < run.notes.size(); ++i) {
                const HarnessNote& n = run.notes[i];
                SCOPED_TRACE(testing::Message() << n.in);
                reached.insert(n.code);
                EXPECT_TRUE(row.codes.count(n.code)) << n.code;
                // The song has no other phrase marks: a note is legato exactly
                // when an earlier note ends within 1/8 beat of its start.
                const bool joined = before[i].handover;
                EXPECT_EQ(kChoirLegato.count(n.code) == 1, joined) << n.code;
                if (before[i].first || before[i].rest >= 480) {
                    EXPECT_FALSE(kChoirLegato.count(n.code)) << "phrase start";
                }
                const DWORD shift = DWORD(kChoirShift * division / 480);
                EXPECT_EQ(n.out.start, n.in.start == 0 ? 0 : n.in.start - shift);
                EXPECT_EQ(n.out.length, n.in.length);
            }
            EXPECT_EQ(reached, row.codes);
        }
    }
}

// A chord sings one vowel: the loudest and the softest of the chords, the
// legato line and the joined long notes in Multi, by the channel's dynamics.
TEST(ScriptChoir, MultiChoosesTheVowelByTheAttackAndKeepsItWhileJoined) {
    const std::vector<vocalsongs::SongNote> song = vocalsongs::FamilyNotes();
    const scriptharness::Run run =
        scriptharness::ConvertChannel(vocalsongs::SongOf(song), 0, scriptharness::LibraryScript("55_1"), ChoirTarget());
    ASSERT_EQ(run.result, 1) << run.message;
    // Velocities 15 to 127: below a quarter of the span Hmm, then Wow, Hee, Aaa.
    const struct {
        DWORD start;  // input ticks
        long code;
    } kExpected[] = {{0, 1},     {480, 1},   {960, 2},    {1440, 4},   {1920, 6},   {3360, 4},
                     {4800, 4},  {5280, 5},  {7200, 5},   {8640, 2},   {10560, 3},  {13440, 1},
                     {13920, 0}, {16320, 6}, {17760, 7}};
    for (const auto& want : kExpected) {
        int seen = 0;
        for (const HarnessNote& n : run.notes) {
            if (n.in.start * 480 / run.out.division != want.start) continue;
            ++seen;
            EXPECT_EQ(n.code, want.code) << n.in;
        }
        EXPECT_GT(seen, 0) << want.start;
    }
}

// An octave-doubled chord below the range: the low C cannot take the key of
// the C already there and goes one octave further up; the start at tick 0
// stays, the next ones come 20 ticks earlier.
TEST(ScriptChoir, FoldedNotesDoNotLandOnAKeyOfTheirChord) {
    const std::vector<vocalsongs::SongNote> song = {
        {0, 24, 80, 480}, {0, 36, 80, 480}, {0, 55, 80, 480}, {960, 96, 80, 480}, {960, 108, 80, 480}};
    const scriptharness::Run run =
        scriptharness::ConvertChannel(vocalsongs::SongOf(song), 0, scriptharness::LibraryScript("55_3"), ChoirTarget());
    ASSERT_TRUE(vocalsongs::KeepsNotesZonesAndRange(run, "55_3", kChoirLow, kChoirHigh, song.size()));
    std::multiset<std::pair<DWORD, int>> got;
    for (const HarnessNote& n : run.notes) got.insert({DWORD(n.out.start * 480 / run.out.division), n.out.key});
    const std::multiset<std::pair<DWORD, int>> want = {{0, 48}, {0, 36}, {0, 55}, {940, 84}, {940, 72}};
    EXPECT_EQ(got, want);
}

}  // namespace

namespace {

// The prelude's channel 4 through Multi: every note kept, in its zone and the
// choir's range, legato on the joined line.
TEST(ScriptChoir, BachPreludeChannelFourStaysInZonesAndRange) {
    const phrasorcoretest::Bytes song = phrasorcoretest::Song("bach_846.mid");
    const scriptharness::Run run = scriptharness::ConvertChannel(song, 3, scriptharness::LibraryScript("55_1"), ChoirTarget());
    const size_t input = phrasorcoretest::NotesOf(run.in, 3).size();
    ASSERT_EQ(input, 199u);
    ASSERT_TRUE(vocalsongs::KeepsNotesZonesAndRange(run, "55_1", kChoirLow, kChoirHigh, input));
    size_t legato = 0;
    for (const HarnessNote& n : run.notes) legato += kChoirLegato.count(n.code);
    EXPECT_GT(legato, input / 2);
    EXPECT_FALSE(kChoirLegato.count(run.notes.front().code));
}

}  // namespace
