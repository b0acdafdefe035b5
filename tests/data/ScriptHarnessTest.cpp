// The script harness on a real song: the skeleton alone maps every velocity of
// a guitar channel into the normal zone of "01_1" and writes back only what
// changed; "Empty" leaves the channel's notes as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "ScriptHarness.h"

namespace {

using scriptharness::HarnessNote;

const char* const kHarnessSong = "TheEntertainer.mid";

// Each value of a note that changed carries its write-back, and no other one does.
::testing::AssertionResult WritesBackOnlyChanges(const HarnessNote& n) {
    const struct {
        bool changed;
        const char* expression;
    } values[] = {{n.out.start != n.in.start, scriptharness::kTimeWriteBack},
                  {n.out.length != n.in.length, scriptharness::kDurWriteBack},
                  {n.out.key != n.in.key, scriptharness::kKeyWriteBack},
                  {n.out.velocity != n.in.velocity, scriptharness::kVeloWriteBack}};
    for (const auto& v : values)
        if (v.changed != n.Has(v.expression))
            return ::testing::AssertionFailure() << "note " << n.out << " from " << n.in << ": " << v.expression
                                                 << (v.changed ? " missing" : " for an unchanged value");
    return ::testing::AssertionSuccess();
}

TEST(ScriptHarness, TheSkeletonMapsTheEntertainerIntoTheNormalZone) {
    const phrasorcoretest::Bytes song = phrasorcoretest::Song(kHarnessSong);
    const scriptharness::Script script = scriptharness::SkeletonScript();
    ASSERT_FALSE(script.empty());
    const scriptharness::Run run = scriptharness::ConvertChannel(song, 0, script);
    ASSERT_EQ(run.result, 1) << run.message;
    ASSERT_TRUE(run.out.ok);

    // The input the expectations stand on: 2,616 notes of velocities 49 to 96.
    const auto input = phrasorcoretest::NotesOf(run.in, 0);
    ASSERT_EQ(input.size(), 2616u);
    const auto loud = std::minmax_element(input.begin(), input.end(),
                                          [](const auto& a, const auto& b) { return a.velocity < b.velocity; });
    EXPECT_EQ(loud.first->velocity, 49);
    EXPECT_EQ(loud.second->velocity, 96);

    EXPECT_EQ(run.inputNotes, 2616);
    EXPECT_EQ(run.droppedNotes, 0);
    ASSERT_EQ(run.notes.size(), input.size());
    EXPECT_TRUE(phrasorcoretest::IsWholeBars(run.in, run.shift)) << run.shift;
    // The output velocities of each input velocity.
    std::map<int, std::pair<int, int>> byInput;
    for (const HarnessNote& n : run.notes) {
        ASSERT_TRUE(n.fromInput) << n.out;
        EXPECT_EQ(n.code, 0) << n.out;
        EXPECT_EQ(n.annotations.size(), 1u) << n.out;
        EXPECT_TRUE(n.out.velocity >= 1 && n.out.velocity <= 40) << n.out;
        EXPECT_EQ(n.out.start, n.in.start) << n.out;
        EXPECT_EQ(n.out.key, n.in.key) << n.out;
        EXPECT_EQ(n.out.length, n.in.length) << n.out;
        EXPECT_TRUE(WritesBackOnlyChanges(n));
        auto range = byInput.emplace(n.in.velocity, std::make_pair(n.out.velocity, n.out.velocity)).first;
        range->second.first = std::min(range->second.first, n.out.velocity);
        range->second.second = std::max(range->second.second, n.out.velocity);
    }
    // A louder input note never comes out softer.
    int loudestSoFar = 0;
    for (const auto& [in, out] : byInput) {
        EXPECT_GE(out.first, loudestSoFar) << "input velocity " << in;
        loudestSoFar = std::max(loudestSoFar, out.second);
    }
    // The other channels keep their notes.
    for (int ch : phrasorcoretest::ChannelsWithNotes(run.in)) {
        if (ch != 0) {
            EXPECT_TRUE(phrasorcoretest::SameNotes(run.in, run.out, ch, run.shift));
        }
    }
}

// Half the notes an octave up, drawn from the engine's generator: the seed
// decides which, and the harness still pairs each moved note with its input.
TEST(ScriptHarness, TheSeedDecidesTheDrawsAndMovedNotesStayPaired) {
    const phrasorcoretest::Bytes song = phrasorcoretest::Song(kHarnessSong);
    const scriptharness::Script halfUp = {"#set:1",
                                          "#name:HalfUp",
                                          "#dir:0",
                                          "#func1:CArticSrchRnd( 1, &_val1)",
                                          "#func2:CArticSrchValCmp( _val1, 0.5, 0.5, &_val2)",
                                          "#func3:CArticSrchBreak( _val2)",
                                          "#prob:1",
                                          "#exp1:CArticExpKeySft( 1{_thisEvnt}, 12)"};
    const auto movedKeys = [&](uint32_t seed) {
        const scriptharness::Run run = scriptharness::ConvertChannel(song, 0, halfUp, {}, seed);
        EXPECT_EQ(run.result, 1) << run.message;
        EXPECT_EQ(run.droppedNotes, 0);
        std::vector<bool> moved;
        for (const HarnessNote& n : run.notes) {
            EXPECT_TRUE(n.fromInput) << n.out;
            // (A moved note can overlap one of its new key: their lengths read
            // back from the file need not be theirs, so only the key is compared.)
            EXPECT_LE(n.expressions.size(), 1u) << n.out;
            EXPECT_EQ(n.out.key, n.in.key + (n.Has(scriptharness::kKeyWriteBack) ? 12 : 0)) << n.out;
            moved.push_back(n.Has(scriptharness::kKeyWriteBack));
        }
        return moved;
    };
    const std::vector<bool> first = movedKeys(1);
    ASSERT_EQ(first.size(), 2616u);
    const auto count = std::count(first.begin(), first.end(), true);
    EXPECT_TRUE(count > 1000 && count < 1616) << count;
    EXPECT_EQ(movedKeys(1), first);
    EXPECT_NE(movedKeys(2), first);
}

TEST(ScriptHarness, EmptyLeavesEveryNoteOfTheEntertainer) {
    const phrasorcoretest::Bytes song = phrasorcoretest::Song(kHarnessSong);
    const scriptharness::Script script = scriptharness::LibraryScript("Empty");
    ASSERT_EQ(script.size(), 1u);
    const scriptharness::Run run = scriptharness::ConvertChannel(song, 0, script);
    ASSERT_EQ(run.result, 1) << run.message;
    ASSERT_TRUE(run.out.ok);
    EXPECT_TRUE(phrasorcoretest::IsWholeBars(run.in, run.shift)) << run.shift;
    for (int ch : phrasorcoretest::ChannelsWithNotes(run.in))
        EXPECT_TRUE(phrasorcoretest::SameNotes(run.in, run.out, ch, run.shift));
    EXPECT_EQ(run.droppedNotes, 0);
    ASSERT_EQ(run.notes.size(), 2616u);
    for (const HarnessNote& n : run.notes) {
        ASSERT_TRUE(n.fromInput) << n.out;
        EXPECT_EQ(n.code, scriptharness::kNoCode) << n.out;
        EXPECT_TRUE(n.expressions.empty()) << n.out;
        EXPECT_EQ(n.out, n.in);
    }
}

// A script the engine cannot load: the harness says so, with the engine's
// reason, and hands back the song untouched.
TEST(ScriptHarness, AScriptThatDoesNotLoadLeavesTheSongAndSaysWhy) {
    const phrasorcoretest::Bytes song = phrasorcoretest::Song(kHarnessSong);
    const scriptharness::Script broken = {"#set:1", "#name:Broken", "#dir:0", "#prob:1",
                                          "#exp1:CArticExpNoSuchClass( 1{_thisEvnt}, 12)"};
    const scriptharness::Run run = scriptharness::ConvertChannel(song, 0, broken);
    EXPECT_EQ(run.result, 0);
    EXPECT_FALSE(run.message.empty());
    EXPECT_EQ(run.output, song);
    EXPECT_TRUE(run.notes.empty());
}

}  // namespace
