// The analysis of an opened song: song facts, reset messages, the facts of
// each channel, the beat-resolution guess and the drum clean-ups.
#include <gtest/gtest.h>

#include "SmfSongBuilder.h"
#include "data/ChannelFacts.h"
#include "data/VoiceAddressTable.h"

// Inside the builders' namespace rather than a using-directive: the folder is
// built as one unit, and a directive would reach the files after this one.
namespace smfsong {
namespace {

using F = ChannelFacts;

// The facts of `channel` as the main window asks for them; `altered` gets
// the analysis's result.
ChannelFacts FactsOf(CSmf& smf, int channel, int* altered = nullptr) {
    ChannelFacts facts;
    facts.Reset(channel);
    const int rc = smf.AnalyseChannel(channel, facts);
    EXPECT_GE(rc, 0);
    if (altered) *altered = rc;
    return facts;
}

std::vector<BYTE> VoiceOf(const ChannelFacts& f) { return {f[F::kBankMsb], f[F::kBankLsb], f[F::kProgram]}; }

int Estimate(CSmf& smf, int flaggedChannel) {
    bool flags[16] = {};
    flags[flaggedChannel] = true;
    int ticks = -1;
    EXPECT_EQ(smf.EstimateBeatResolution(flags, ticks), 0);
    return ticks;
}

// The controller numbers and exclusive data left in a one-track song.
std::vector<std::string> Left(const CSmf& smf) {
    std::vector<std::string> out;
    for (const auto& e : smf.GetTracks().front()->GetEvents()) {
        std::string s = std::to_string(e->GetTime()) + ":";
        if (e->GetStatus() == SMF_CONTROL)
            s += "cc" + std::to_string(e->GetData1()) + "/" + std::to_string(e->GetChannel());
        else if (e->GetStatus() == SMF_SYSEX)
            for (int i = 0; i < 4; ++i) s += " " + std::to_string(e->GetData()[i]);
        else
            s += std::to_string(e->GetStatus());
        out.push_back(s);
    }
    return out;
}

}  // namespace

TEST(SmfSongFacts, TempoAndMeterAtTimeZero) {
    struct Case {
        const char* what;
        std::vector<EventPtr> head;
        int rc;
        DWORD tempo;
        BYTE numerator, power;
    };
    const Case cases[] = {
        {"nothing at 0", {Tempo(10, 400000), Meter(10, 3, 3)}, 0, 500000, 4, 2},
        {"a tempo of 0", {Tempo(0, 0)}, 0, 200000, 4, 2},
        {"the last at 0 decides",
         {Tempo(0, 400000), Meter(0, 6, 3), Tempo(0, 450000), Meter(0, 3, 2)},
         0,
         450000,
         3,
         2},
        {"a 4-byte tempo", {Meta(0, 0x51, {1, 2, 3, 4})}, int(0x80000006), 0, 0, 0},
        {"a 3-byte meter", {Meta(0, 0x58, {4, 2, 24})}, int(0x80000009), 0, 0, 0},
        {"a 4-byte tempo later is no tempo", {Meta(5, 0x51, {1, 2, 3, 4})}, 0, 500000, 4, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSmf smf;
        MakeSong(smf, 0, 384);
        InsertAll(AddTrack(smf, {Note(0, 0, 60)}), c.head);
        SongFacts facts;
        facts.tempo = 1;  // the operation sets its own defaults
        ASSERT_EQ(smf.CollectSongFacts(facts), c.rc);
        if (c.rc) continue;
        EXPECT_EQ(facts.division, 384);
        EXPECT_EQ(facts.tempo, c.tempo);
        EXPECT_EQ(facts.numerator, c.numerator);
        EXPECT_EQ(facts.denominatorPower, c.power);
    }
}

TEST(SmfSongFacts, HeadEventsAndKvSystemOnDoNotCountAsFirstEvent) {
    CSmf smf;
    MakeSong(smf, 1, 480);
    AddTrack(smf, {Name(0, "song"), Tempo(0, 500000), Meter(0, 4, 2), KvOn(0), Meta(30, 0x06, {'A'}), Eot(900)});
    AddTrack(smf, {Name(0, "piano"), KvOn(40), Note(120, 0, 60, 0), Note(200, 0, 62), Eot(900)});
    SongFacts facts;
    ASSERT_EQ(smf.CollectSongFacts(facts), 0);
    EXPECT_EQ(facts.firstNoteTime, 120u);  // a note-on of velocity 0 counts
    EXPECT_EQ(facts.firstEventTime, 120u);
    EXPECT_TRUE(facts.kvSystemOnFound);
    EXPECT_EQ(facts.kvSystemOnTime, 40u);  // the one met last

    // A channel prefix meta, a foreign exclusive message and a controller count.
    for (const EventPtr& e : {Meta(70, 0x20, {0}), GsReset(60), Ctrl(50, 3, 7, 100)}) {
        InsertAll(*smf.GetTracks()[1], {e});
        ASSERT_EQ(smf.CollectSongFacts(facts), 0);
        EXPECT_EQ(facts.firstEventTime, e->GetTime());
    }

    CSmf empty;
    ASSERT_EQ(empty.CollectSongFacts(facts), 0);
    EXPECT_EQ(facts.firstEventTime, SongFacts::kNoTime);
    EXPECT_EQ(facts.firstNoteTime, SongFacts::kNoTime);
    EXPECT_FALSE(facts.kvSystemOnFound);
}

TEST(SmfResets, KvSystemOnBeforeTheFirstNoteOutlastsGsAndGm) {
    struct Case {
        const char* what;
        std::vector<EventPtr> events;
        bool foreign, gs, gm;
    };
    const Case cases[] = {
        {"GS, then KV before the note", {GsReset(0), KvOn(10)}, false, true, false},
        {"GS, then KV after the note", {GsReset(0), KvOn(200)}, true, true, false},
        {"KV, then GM before the note", {KvOn(0), GmOn(10)}, true, false, true},
        {"GS mode set alone",
         {Sysex(0, {0x41, 0x10, 0x42, 0x12, 0x00, 0x00, 0x7F, 0x00, 0x01, 0xF7})},
         true,
         true,
         false},
        {"KV alone", {KvOn(0)}, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSmf smf;
        MakeSong(smf, 1, 480);
        CTrk& first = AddTrack(smf, {Note(100, 0, 60), Eot(300)});
        CTrk& second = AddTrack(smf, {Eot(300)});
        // Half in each track: the merged time order decides.
        int i = 0;
        for (const EventPtr& e : c.events) InsertAll(i++ % 2 ? second : first, {e});
        bool foreign = false, gs = false, gm = false;
        ASSERT_EQ(smf.DetectResets(100, foreign, gs, gm), 0);
        EXPECT_EQ(foreign, c.foreign);
        EXPECT_EQ(gs, c.gs);
        EXPECT_EQ(gm, c.gm);
    }
}

TEST(SmfResets, RemoveResetsDeletesOnlyWhatItsMaskNames) {
    const auto song = [](CSmf& smf) {
        MakeSong(smf, 0, 480);
        AddTrack(smf,
                 {GsReset(0), KvOn(0), GmOn(0), Sysex(0, {0x43, 0x10, 0x4C, 0x08, 0, 0x01, 8, 0xF7}), Ctrl(0, 0, 0, 8),
                  Ctrl(0, 1, 32, 1), Ctrl(0, 0, 7, 100), Prog(0, 0, 3),
                  Sysex(5, {0x41, 0x10, 0x42, 0x12, 0x00, 0x00, 0x7F, 0x00, 0x01, 0xF7}), Note(10, 0, 60), Eot(20)});
    };
    CSmf all;
    song(all);
    ASSERT_EQ(all.RemoveResets(3 + 4), 0);
    EXPECT_EQ(Left(all),
              (std::vector<std::string>{"0: 67 16 76 0", "0: 67 16 76 8", "0:cc7/0", "0:192", "10:144", "20:255"}));
    CSmf resetsOnly;
    song(resetsOnly);
    ASSERT_EQ(resetsOnly.RemoveResets(2), 0);  // GS only: GM and bank selects stay
    EXPECT_EQ(Left(resetsOnly), (std::vector<std::string>{"0: 67 16 76 0", "0: 126 127 9 1", "0: 67 16 76 8", "0:cc0/0",
                                                          "0:cc32/1", "0:cc7/0", "0:192", "10:144", "20:255"}));
}

TEST(SmfChannelFacts, DrumChannelVoiceComesFromTheRunningBankPair) {
    CSmf smf;
    MakeSong(smf, 0, 480);
    AddTrack(smf, {Note(0, 9, 35), Eot(10)});
    ChannelFacts f = FactsOf(smf, 9);
    EXPECT_EQ(VoiceOf(f), (std::vector<BYTE>{127, 0, 0}));
    EXPECT_EQ(f[F::kNoNotes], 0);
    EXPECT_EQ(f[F::kBelow36], 1);
    EXPECT_EQ(f[F::kPartMode], 2);  // the caller's value

    CSmf withProgram;
    MakeSong(withProgram, 0, 480);
    AddTrack(withProgram, {Prog(0, 9, 25), Note(10, 9, 40), Eot(20)});
    int altered = -1;
    f = FactsOf(withProgram, 9, &altered);
    EXPECT_EQ(VoiceOf(f), (std::vector<BYTE>{127, 0, 25}));
    EXPECT_EQ(altered, 1);
    EXPECT_EQ(f[F::kSeveralVoices], 0);
    // Channel 0 of the same song has no notes and no voice.
    f = FactsOf(withProgram, 0, &altered);
    EXPECT_EQ(altered, 0);
    EXPECT_EQ(f[F::kNoNotes], 1);
    EXPECT_EQ(VoiceOf(f), (std::vector<BYTE>{0, 0, 0}));
}

TEST(SmfChannelFacts, VoiceAndPartModeChangesAfterTheFirstNote) {
    struct Case {
        const char* what;
        std::vector<EventPtr> later;  // after the note at 100
        BYTE several;
        BYTE partMode;
    };
    const Case cases[] = {
        {"the same voice again", {Ctrl(200, 2, 0, 0), Ctrl(200, 2, 32, 1), Prog(200, 2, 5)}, 0, 0},
        {"a different voice", {Prog(200, 2, 6)}, 1, 0},
        {"a different bank", {Ctrl(200, 2, 32, 2), Prog(200, 2, 5)}, 1, 0},
        {"a part-mode message for the channel's part", {KvPart(200, 2, 0x07, 1)}, 1, 1},
        {"a part-mode message for another part", {KvPart(200, 3, 0x07, 1)}, 0, 0},
        {"another channel's program", {Prog(200, 3, 9)}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSmf smf;
        MakeSong(smf, 0, 480);
        InsertAll(AddTrack(smf, {Ctrl(0, 2, 32, 1), Prog(0, 2, 5), Note(100, 2, 60), Eot(500)}), c.later);
        const ChannelFacts f = FactsOf(smf, 2);
        EXPECT_EQ(VoiceOf(f), (std::vector<BYTE>{0, 1, 5}));  // the voice at the first note
        EXPECT_EQ(f[F::kSeveralVoices], c.several);
        EXPECT_EQ(f[F::kPartMode], c.partMode);
    }
}

TEST(SmfChannelFacts, KvPartMessagesFollowTheReceiveChannel) {
    CSmf smf;
    MakeSong(smf, 0, 480);
    // Part 3 moves to channel 0, then gets bank 8/2 and program 40.
    AddTrack(smf, {KvPart(0, 3, 0x04, 0), KvPart(0, 3, 0x01, 8), KvPart(0, 3, 0x02, 2), KvPart(0, 3, 0x03, 40),
                   Note(10, 0, 60), Note(10, 3, 60), Eot(20)});
    ChannelFacts f = FactsOf(smf, 0);
    EXPECT_EQ(VoiceOf(f), (std::vector<BYTE>{8, 2, 40}));
    EXPECT_EQ(f[F::kVexaVoice], 1);
    f = FactsOf(smf, 3);
    EXPECT_EQ(VoiceOf(f), (std::vector<BYTE>{0, 0, 0}));
    EXPECT_EQ(f[F::kVexaVoice], 0);
}

TEST(SmfChannelFacts, LowNotesAndTheVexaVoiceByte) {
    struct Case {
        BYTE key;
        BYTE below36, below24;
    };
    for (const Case& c : {Case{36, 0, 0}, Case{35, 1, 0}, Case{24, 1, 0}, Case{23, 1, 1}}) {
        SCOPED_TRACE(int(c.key));
        CSmf smf;
        MakeSong(smf, 0, 480);
        AddTrack(smf, {Note(0, 4, 60), Note(10, 4, c.key, 0), Note(10, 5, 10), Eot(20)});
        const ChannelFacts f = FactsOf(smf, 4);
        EXPECT_EQ(f[F::kBelow36], c.below36);
        EXPECT_EQ(f[F::kBelow24], c.below24);
    }
    CSmf vexa;
    MakeSong(vexa, 0, 480);
    AddTrack(vexa, {Ctrl(0, 1, 0, 8), Prog(0, 1, 3), Ctrl(0, 2, 0, 9), Prog(0, 2, 3), Note(10, 1, 60), Eot(20)});
    EXPECT_EQ(FactsOf(vexa, 1)[F::kVexaVoice], 1);
    EXPECT_EQ(FactsOf(vexa, 2)[F::kVexaVoice], 0);
    ChannelFacts unused;
    EXPECT_EQ(vexa.AnalyseChannel(16, unused), int(0x80000001));
}

TEST(SmfBeatResolution, GuessesTheGridThatFitsMostNotes) {
    struct Case {
        const char* what;
        WORD division;
        std::vector<DWORD> times;
        int expected;
    };
    const Case cases[] = {
        {"quarters at 960", 960, {0, 480, 960, 1440}, 480},
        {"eighths at 480", 480, {0, 240, 480, 720}, 480},
        {"sixteenths at 960", 960, {0, 240, 480, 720}, 240},
        {"a single note: every grid ties, the last wins", 480, {0}, 2880},
        {"no notes on the flagged channel", 480, {}, 240},
        {"a division of 0 counts as 960", 0, {0, 480, 960, 1440}, 480},
        // 429496730 x 10 passes 32 bits; kept exact it lies 20 ticks past a
        // 240 grid line and 260 from a 480 one.
        {"times past 32 bits once scaled", 96, {0, 48, 96, 429496730}, 240},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSmf smf;
        MakeSong(smf, 0, c.division);
        CTrk& track = AddTrack(smf, {Note(0, 1, 60), Note(3, 2, 60, 0)});  // unflagged, or of velocity 0
        for (DWORD t : c.times) InsertAll(track, {Note(t, 2, 60)});
        EXPECT_EQ(Estimate(smf, 2), c.expected);
    }
}

// The guess counts at 960 per quarter note; the picker's table, which the
// engine reads at 480 per quarter note, takes it unconverted. So eighth
// notes of a 480 song preselect the picker's quarter note, and sixteenths
// reach the engine as eighths.
TEST(SmfBeatResolution, TheGuessMeetsThePickerTableUnconverted) {
    CSmf eighths;
    MakeSong(eighths, 0, 480);
    AddTrack(eighths, {Note(0, 0, 60), Note(240, 0, 60), Note(480, 0, 60), Note(720, 0, 60)});
    const int ticks = Estimate(eighths, 0);
    EXPECT_EQ(BeatResolutionIndex(ticks), 7);
    EXPECT_EQ(BeatResolutionTicks(7), 480);  // a quarter note to the engine

    CSmf sixteenths;
    MakeSong(sixteenths, 0, 960);
    AddTrack(sixteenths, {Note(0, 0, 60), Note(240, 0, 60), Note(480, 0, 60), Note(720, 0, 60)});
    EXPECT_EQ(BeatResolutionIndex(Estimate(sixteenths, 0)), 4);
    EXPECT_EQ(BeatResolutionTicks(4), 240);  // an eighth note to the engine

    EXPECT_EQ(BeatResolutionTicks(-1), 240);
    EXPECT_EQ(BeatResolutionTicks(15), 240);
    EXPECT_EQ(BeatResolutionTicks(14), 2880);
    EXPECT_EQ(BeatResolutionIndex(100), -1);
    int out = 0;
    EXPECT_EQ(eighths.EstimateBeatResolution(nullptr, out), int(0x80000001));
}

TEST(SmfDrumEdits, PerDrumNoteNrpnsGoOtherParametersStay) {
    CSmf smf;
    MakeSong(smf, 0, 480);
    AddTrack(smf, {Ctrl(0, 9, 99, 24), Ctrl(0, 9, 98, 36), Ctrl(0, 9, 6, 64),     // a drum note's pitch: goes
                   Ctrl(10, 9, 99, 1), Ctrl(10, 9, 98, 8), Ctrl(10, 9, 6, 64),    // vibrato rate: stays
                   Ctrl(20, 8, 99, 24), Ctrl(20, 8, 98, 36), Ctrl(20, 8, 6, 64),  // another channel: stays
                   Ctrl(30, 9, 99, 28), Ctrl(30, 9, 98, 40),                      // no data entry: both go
                   Ctrl(40, 9, 101, 0), Ctrl(40, 9, 100, 0), Ctrl(40, 9, 6, 2),   // an RPN: stays
                   Note(50, 9, 36), Eot(60)});
    ASSERT_EQ(smf.RemoveDrumSetupEdits(9, 2), 0);
    EXPECT_EQ(Left(smf),
              (std::vector<std::string>{"10:cc99/9", "10:cc98/9", "10:cc6/9", "20:cc99/8", "20:cc98/8", "20:cc6/8",
                                        "40:cc101/9", "40:cc100/9", "40:cc6/9", "50:144", "60:255"}));
    EXPECT_EQ(smf.RemoveDrumSetupEdits(16, 2), int(0x80000001));
}

TEST(SmfDrumEdits, PartModeChoosesTheDrumSetupMessagesRemoved) {
    const auto song = [](CSmf& smf) {
        MakeSong(smf, 0, 480);
        AddTrack(smf, {Sysex(0, {0x43, 0x10, 0x4C, 0x30, 0x24, 0x00, 0x40, 0xF7}),
                       Sysex(0, {0x43, 0x11, 0x4C, 0x31, 0x24, 0x00, 0x40, 0xF7}),
                       Sysex(0, {0x43, 0x12, 0x4C, 0x31, 0x30, 0x0B, 0x10, 0xF7}),
                       Sysex(0, {0x43, 0x10, 0x4C, 0x32, 0x24, 0x00, 0x40, 0xF7}),
                       Sysex(0, {0x43, 0x10, 0x4C, 0x31, 0x24, 0x00}),  // too short
                       Note(10, 9, 36), Eot(20)});
    };
    for (int mode : {0, 1}) {
        CSmf smf;
        song(smf);
        ASSERT_EQ(smf.RemoveDrumSetupEdits(9, mode), 0);
        EXPECT_EQ(smf.GetTracks()[0]->GetCount(), 7u) << mode;
    }
    CSmf smf;
    song(smf);
    ASSERT_EQ(smf.RemoveDrumSetupEdits(9, 3), 0);
    EXPECT_EQ(Left(smf),
              (std::vector<std::string>{"0: 67 16 76 48", "0: 67 16 76 50", "0: 67 16 76 49", "10:144", "20:255"}));
}

TEST(SmfDrumEdits, CollectDeletedDrumNotesAddsToTheFoundSet) {
    ASSERT_EQ(InitDrumNoteSets(), 0);
    CSmf smf;
    MakeSong(smf, 0, 480);
    AddTrack(smf, {Note(0, 9, 22), Note(10, 9, 60, 0), Note(20, 8, 26), Eot(30)});
    DrumNoteSet found;
    found.Add(100);
    ASSERT_EQ(smf.CollectDeletedDrumNotes(9, DrumNoteSets[1], found), 0);
    DrumNoteSet expected;
    expected.Add(100);  // kept: the set is not cleared
    expected.Add(22);
    EXPECT_TRUE(found == expected);

    DrumNoteSet none;
    ASSERT_EQ(smf.CollectDeletedDrumNotes(9, DrumNoteSets[4], none), 0);
    EXPECT_TRUE(none.IsEmpty());
    ASSERT_EQ(smf.CollectDeletedDrumNotes(9, DrumNoteSets[2], none), 0);
    EXPECT_TRUE(none.Contains(60));   // any velocity
    EXPECT_FALSE(none.Contains(26));  // another channel's note
    EXPECT_EQ(smf.CollectDeletedDrumNotes(-1, DrumNoteSets[2], none), int(0x80000001));
}

}  // namespace smfsong
