// The corpus songs converted end to end through the core, as the user
// interface's worker converts them: bytes in, rules and expressions,
// converted bytes out.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <iterator>
#include <set>
#include <string>

#include "services/PHConvPrm.h"
#include "host/DataManager.h"
#include "host/PhrasorDoc.h"
#include "tests/driver/PhrasorCoreFixture.h"

namespace {

using phrasorcoretest::Bytes;
using phrasorcoretest::CoreRun;
using phrasorcoretest::NotesOf;
using phrasorcoretest::ReadSmf;
using phrasorcoretest::SameNotes;
using phrasorcoretest::Script;
using phrasorcoretest::Smf;
using phrasorcoretest::SmfEvent;

// The song converted channel after channel, each on the previous result; an
// empty result when a channel fails. `pbCtrl` (may be null) receives the
// pitch-bend option the last channel left.
Bytes PhrasorCoreConvert(const char* song, std::initializer_list<int> channels, const Script& script,
                         int* pbCtrl = nullptr) {
    CoreRun run;
    Bytes bytes = phrasorcoretest::Song(song);
    if (bytes.empty()) {
        ADD_FAILURE() << song << " is not in the corpus";
        return {};
    }
    for (int ch : channels) {
        const int result = run.Convert(bytes, ch, script);
        if (result != 1) {
            ADD_FAILURE() << song << " channel " << ch << ": Convert gave " << result;
            return {};
        }
    }
    if (pbCtrl) *pbCtrl = run.core->GetConvPrm()->PbCtrl;
    return bytes;
}

// The meta events of a type: their values in order, and their times scaled to
// 960 per quarter and shifted.
::testing::AssertionResult PhrasorCoreSameMeta(const Smf& in, const Smf& out, BYTE type, long shift) {
    const auto a = in.Meta(type);
    const auto b = out.Meta(type);
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << "meta " << int(type) << ": " << b.size() << " events, expected "
                                             << a.size();
    for (size_t i = 0; i < a.size(); ++i) {
        const long expected = long(a[i]->time) * 960 / in.division + (a[i]->time ? shift : 0);
        if (a[i]->data != b[i]->data)
            return ::testing::AssertionFailure() << "meta " << int(type) << " #" << i << ": another value";
        if (long(b[i]->time) != expected && long(b[i]->time) != expected + (a[i]->time ? 0 : shift))
            return ::testing::AssertionFailure() << "meta " << int(type) << " #" << i << " at " << b[i]->time
                                                 << ", expected " << expected;
    }
    return ::testing::AssertionSuccess();
}

TEST(PhrasorCoreSong, TheEntertainerUpAnOctave) {
    const Bytes out = PhrasorCoreConvert("TheEntertainer.mid", {0}, phrasorcoretest::kUp12);
    ASSERT_FALSE(out.empty());
    const Smf in = ReadSmf(phrasorcoretest::Song("TheEntertainer.mid"));
    const Smf smf = ReadSmf(out);
    ASSERT_TRUE(smf.ok);
    EXPECT_EQ(NotesOf(in, 0).size(), 2616u);
    const long shift = phrasorcoretest::ShiftOf(in, smf, 0);
    EXPECT_TRUE(phrasorcoretest::IsWholeBars(in, shift)) << shift;
    EXPECT_TRUE(SameNotes(in, smf, 0, shift, 12));
    EXPECT_TRUE(PhrasorCoreSameMeta(in, smf, 0x51, shift));
    EXPECT_TRUE(PhrasorCoreSameMeta(in, smf, 0x58, shift));
    EXPECT_TRUE(phrasorcoretest::TargetVoiceFirst(smf, 0));
}

TEST(PhrasorCoreSong, BachTwoChannelsChainedUpAnOctave) {
    const Bytes out = PhrasorCoreConvert("bach_846.mid", {0, 2}, phrasorcoretest::kUp12);
    ASSERT_FALSE(out.empty());
    const Smf in = ReadSmf(phrasorcoretest::Song("bach_846.mid"));
    const Smf smf = ReadSmf(out);
    ASSERT_TRUE(smf.ok);
    EXPECT_EQ(NotesOf(in, 0).size(), 549u);
    EXPECT_EQ(NotesOf(in, 2).size(), 220u);
    const long shift = phrasorcoretest::ShiftOf(in, smf, 3);
    EXPECT_TRUE(phrasorcoretest::IsWholeBars(in, shift)) << shift;
    EXPECT_TRUE(SameNotes(in, smf, 0, shift, 12));
    EXPECT_TRUE(SameNotes(in, smf, 2, shift, 12));
    for (int ch : {3, 4, 5}) EXPECT_TRUE(SameNotes(in, smf, ch, shift));
    ASSERT_EQ(in.Meta(0x51).size(), 358u);
    EXPECT_TRUE(PhrasorCoreSameMeta(in, smf, 0x51, shift));
    EXPECT_TRUE(phrasorcoretest::TargetVoiceFirst(smf, 0));
    EXPECT_TRUE(phrasorcoretest::TargetVoiceFirst(smf, 2));
}

TEST(PhrasorCoreSong, BachFormat0BendsEveryNote) {
    int pbCtrl = -1;
    const Bytes out = PhrasorCoreConvert("bach_format0.mid", {0}, phrasorcoretest::kBend, &pbCtrl);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(pbCtrl, 0);
    const Smf in = ReadSmf(phrasorcoretest::Song("bach_format0.mid"));
    const Smf smf = ReadSmf(out);
    ASSERT_TRUE(smf.ok);
    EXPECT_EQ(smf.format, 0);
    EXPECT_TRUE(SameNotes(in, smf, 0, 0));

    const auto notes = NotesOf(smf, 0);
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.front().start, 480u);
    // The bend range: RPN 0/0 at 460, data entry 12 at 470, nothing else.
    std::vector<std::string> rpn;
    for (const SmfEvent* e : smf.Of(0, 0xB0))
        if (e->data1 == 101 || e->data1 == 100 || e->data1 == 6)
            rpn.push_back(std::to_string(e->time) + ":" + std::to_string(e->data1) + "=" + std::to_string(e->data2));
    EXPECT_EQ(rpn, (std::vector<std::string>{"460:101=0", "460:100=0", "470:6=12"}));

    std::set<DWORD> starts;
    for (const auto& n : notes) starts.insert(n.start);
    const auto bends = smf.Of(0, 0xE0);
    for (const SmfEvent* e : bends) EXPECT_TRUE(e->Bend() >= 8192 && e->Bend() <= 12288) << e->time;
    for (DWORD t : starts) {
        int inForce = 8192;
        bool raised = false;
        for (const SmfEvent* e : bends) {
            if (e->time <= t) inForce = e->Bend();
            if (e->time == t + 160 && e->Bend() == 12288) raised = true;
        }
        EXPECT_EQ(inForce, 8192) << "at " << t;
        EXPECT_TRUE(raised) << "no bend of 12288 at " << t + 160;
    }
}

TEST(PhrasorCoreSong, ClaireDeLuneBrightensEveryStart) {
    const Bytes out = PhrasorCoreConvert("claire_de_lune.mid", {0}, phrasorcoretest::kCc73);
    ASSERT_FALSE(out.empty());
    const Smf in = ReadSmf(phrasorcoretest::Song("claire_de_lune.mid"));
    const Smf smf = ReadSmf(out);
    ASSERT_TRUE(smf.ok);
    const long shift = phrasorcoretest::ShiftOf(in, smf, 0);
    EXPECT_TRUE(phrasorcoretest::IsWholeBars(in, shift)) << shift;
    EXPECT_TRUE(SameNotes(in, smf, 0, shift));
    std::set<DWORD> starts;
    for (const auto& n : NotesOf(smf, 0)) starts.insert(n.start);
    EXPECT_EQ(starts.size(), 815u);
    std::multiset<DWORD> brightness;
    for (int ch = 0; ch < 16; ++ch)
        for (const SmfEvent* e : smf.Of(ch, 0xB0))
            if (e->data1 == 73) {
                EXPECT_EQ(ch, 0);
                EXPECT_EQ(e->data2, 81) << e->time;
                brightness.insert(e->time + 10);
            }
    EXPECT_EQ(brightness, std::multiset<DWORD>(starts.begin(), starts.end()));
}

TEST(PhrasorCoreSong, AnEmptyScriptKeepsTheBendsOfPitchBendTest) {
    int pbCtrl = -1;
    const Bytes out = PhrasorCoreConvert("pitchBendTest.mid", {1}, phrasorcoretest::kEmpty, &pbCtrl);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(pbCtrl, 1);
    const Smf smf = ReadSmf(out);
    ASSERT_TRUE(smf.ok);
    int bent = 0;
    for (const SmfEvent* e : smf.Of(1, 0xE0)) bent += e->Bend() != 8192;
    EXPECT_GT(bent, 0);
}

// Every channel with notes of every song, in order, chained.
TEST(PhrasorCoreSong, EveryChannelOfEverySongWithTheEmptyScript) {
    const auto files = corpustest::MidiFiles();
    int songs = 0;
    for (const auto& path : files) {
        if (path.parent_path().filename() != "songs") continue;
        ++songs;
        const std::string name = path.filename().string();
        SCOPED_TRACE(name);
        const Bytes input = phrasorcoretest::Song(name.c_str());
        const Smf in = ReadSmf(input);
        ASSERT_TRUE(in.ok);
        const std::vector<int> channels = phrasorcoretest::ChannelsWithNotes(in);
        CoreRun run;
        Bytes bytes = input;
        for (int ch : channels) ASSERT_EQ(run.Convert(bytes, ch, phrasorcoretest::kEmpty), 1) << "channel " << ch;
        CPhrasorDoc doc;
        CDataManager reload(&doc);
        EXPECT_EQ(reload.Load(bytes.data(), DWORD(bytes.size()), nullptr), 1);
        const Smf smf = ReadSmf(bytes);
        ASSERT_TRUE(smf.ok);
        const long shift = phrasorcoretest::ShiftOf(in, smf, channels.front());
        EXPECT_TRUE(phrasorcoretest::IsWholeBars(in, shift)) << shift;
        for (int ch : channels) {
            EXPECT_TRUE(SameNotes(in, smf, ch, shift));
            EXPECT_TRUE(phrasorcoretest::TargetVoiceFirst(smf, ch));
        }
    }
    EXPECT_GE(songs, 7);
}

// The first four conversions once more under a locale that writes a decimal
// comma: the same bytes, and the locale as it was.
TEST(PhrasorCoreSong, ADecimalCommaLocaleChangesNothing) {
    struct Row {
        const char* song;
        std::initializer_list<int> channels;
        const Script* script;
    };
    const Row rows[] = {
        {"TheEntertainer.mid", {0}, &phrasorcoretest::kUp12},
        {"bach_846.mid", {0, 2}, &phrasorcoretest::kUp12},
        {"bach_format0.mid", {0}, &phrasorcoretest::kBend},
        {"claire_de_lune.mid", {0}, &phrasorcoretest::kCc73},
    };
    std::vector<Bytes> plain;
    for (const Row& row : rows) plain.push_back(PhrasorCoreConvert(row.song, row.channels, *row.script));

    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE", "fr_FR"})
        if (std::setlocale(LC_NUMERIC, name)) {
            comma = name;
            break;
        }
    if (!comma || std::strcmp(std::localeconv()->decimal_point, ",") != 0) {
        std::setlocale(LC_NUMERIC, saved.c_str());
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(PhrasorCoreConvert(rows[i].song, rows[i].channels, *rows[i].script), plain[i]) << rows[i].song;
        EXPECT_EQ(std::string(std::setlocale(LC_NUMERIC, nullptr)), before);
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
