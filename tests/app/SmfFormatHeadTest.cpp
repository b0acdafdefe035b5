// The rewrites of the song model: format conversion for saving, and the song
// head an opened or saved song gets (the KV System On and the lead-in).
#include <gtest/gtest.h>

#include <QByteArray>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "SmfSongBuilder.h"
#include "data/ChannelFacts.h"

// Inside the builders' namespace rather than a using-directive: the folder is
// built as one unit, and a directive would reach the files after this one.
namespace smfsong {
namespace {

// The events of a track as "time what" lines: a channel message by its
// status, channel and first data byte, a meta by its type, a KV System On
// as "kv", any other exclusive message as "sx".
std::vector<std::string> Lines(const CTrk& track) {
    std::vector<std::string> out;
    for (const auto& e : track.GetEvents()) {
        std::string s = std::to_string(e->GetTime()) + " ";
        char buf[32];
        if (e->GetStatus() == SMF_META)
            std::snprintf(buf, sizeof buf, "m%02X", e->GetMetaType());
        else if (e->GetStatus() == SMF_SYSEX)
            std::snprintf(buf, sizeof buf, "%s", IsKvSystemOn(e->GetData()) ? "kv" : "sx");
        else
            std::snprintf(buf, sizeof buf, "%02X/%d %d", e->GetStatus(), e->GetChannel(), e->GetData1());
        out.push_back(s + buf);
    }
    return out;
}

using Lines_t = std::vector<std::string>;

QByteArray ReadSong(const char* folder, const char* name) {
    const std::filesystem::path path = std::filesystem::path(VEXA_CORPUS) / folder / name;
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return QByteArray(bytes.data(), int(bytes.size()));
}

// Opens a song as the main window does: the facts, the reset clean-up, then
// the head.
int OpenAsTheWindowDoes(CSmf& smf, const QByteArray& bytes, SongFacts& facts) {
    int rc = smf.FromByteArray(bytes);
    if (rc) return rc;
    if ((rc = smf.CollectSongFacts(facts))) return rc;
    bool foreign = false, gs = false, gm = false;
    if ((rc = smf.DetectResets(facts.firstNoteTime, foreign, gs, gm))) return rc;
    const int mask = (gs || gm ? 3 : 0) + (foreign ? 4 : 0);
    if (mask && (rc = smf.RemoveResets(mask))) return rc;
    return smf.PrepareHead(facts);
}

// A song of division 480 at 500000 with head metas, a program change at
// `change` and the first note at `note`.
void LeadInSong(CSmf& smf, DWORD change, DWORD note) {
    MakeSong(smf, 1, 480);
    AddTrack(smf, {Name(0, "head"), Tempo(0, 500000), Meter(0, 4, 2), KvOn(0), Eot(0)});
    AddTrack(smf,
             {Name(0, "piano"), Prog(change, 0, 5), Note(note, 0, 60), Note(note + 480, 0, 60, 0), Eot(note + 480)});
}

int NormaliseAsOpened(CSmf& smf) {
    SongFacts facts;
    const int rc = smf.CollectSongFacts(facts);
    return rc ? rc : smf.NormaliseHead(facts);
}

}  // namespace

TEST(SmfFormatConversion, Format0SplitsByChannelWithSongEventsInTheFirstTrack) {
    CSmf smf;
    MakeSong(smf, 0, 480);
    AddTrack(smf, {Name(0, "song"), Tempo(0, 500000), Prog(0, 9, 1), Note(0, 3, 60), KvOn(0), Note(0, 0, 48),
                   Note(10, 9, 36), GmOn(20), Note(20, 3, 62), Meta(30, 0x06, {'A'}), Note(40, 0, 50), Eot(50)});
    ASSERT_EQ(smf.ConvertFormat(0, 1), 0);
    ASSERT_EQ(smf.GetTracks().size(), 3u);
    EXPECT_EQ(smf.GetHead().Format, 1);
    EXPECT_EQ(smf.GetHead().TrackCount, 3);
    EXPECT_EQ(Lines(*smf.GetTracks()[0]),
              (Lines_t{"0 m03", "0 m51", "0 kv", "0 90/0 48", "20 sx", "30 m06", "40 90/0 50", "50 m2F"}));
    EXPECT_EQ(Lines(*smf.GetTracks()[1]), (Lines_t{"0 90/3 60", "20 90/3 62"}));
    EXPECT_EQ(Lines(*smf.GetTracks()[2]), (Lines_t{"0 C0/9 1", "10 90/9 36"}));

    // Read back, the tracks without an end of track get one at their last
    // event.
    QByteArray bytes;
    ASSERT_EQ(smf.ToByteArray(bytes), 0);
    CSmf back;
    ASSERT_EQ(back.FromByteArray(bytes), 0);
    EXPECT_EQ(Lines(*back.GetTracks()[2]), (Lines_t{"0 C0/9 1", "10 90/9 36", "10 m2F"}));
}

TEST(SmfFormatConversion, Format1MergesInTrackOrderWithOneEndOfTrack) {
    CSmf smf;
    MakeSong(smf, 1, 480);
    AddTrack(smf, {Name(0, "song"), Tempo(0, 500000), Eot(0)});
    AddTrack(smf, {Prog(0, 1, 1), Note(10, 1, 61), Eot(70)});
    AddTrack(smf, {Prog(0, 2, 2), Note(10, 2, 62), Note(90, 2, 62, 0), Eot(90)});
    AddTrack(smf, {Prog(0, 3, 3), Note(10, 3, 63), Eot(40)});
    ASSERT_EQ(smf.ConvertFormat(1, 0), 0);
    ASSERT_EQ(smf.GetTracks().size(), 1u);
    EXPECT_EQ(smf.GetHead().Format, 0);
    EXPECT_EQ(smf.GetHead().TrackCount, 1);
    EXPECT_EQ(Lines(*smf.GetTracks()[0]), (Lines_t{"0 m03", "0 m51", "0 C0/1 1", "0 C0/2 2", "0 C0/3 3", "10 90/1 61",
                                                   "10 90/2 62", "10 90/3 63", "90 90/2 62", "90 m2F"}));
    int format = -1;
    smf.GetFormat(format);
    EXPECT_EQ(format, 0);
}

TEST(SmfFormatConversion, ZqChunksComeAndGoWithTheFormat) {
    const auto song = [](CSmf& smf, WORD format) {
        MakeSong(smf, format, 480);
        AddTrack(smf, {Note(0, 0, 60), Eot(10)});
        if (format == 1) AddTrack(smf, {Note(5, 1, 60), Eot(10)});
    };
    const Bytes minimal = {0x00, 0xFF, 0x2F, 0x00};
    const Bytes own = {0x01, 0x02, 0x03};
    struct Case {
        int from, to;
        bool ownZq;  // the song starts with its own ZQ bodies
        Bytes zq;    // both bodies afterwards
        size_t tracks;
        int format;  // GetFormat afterwards
    };
    const Case cases[] = {
        {0, 3, false, minimal, 1, 3}, {1, 3, false, minimal, 1, 3}, {3, 0, true, {}, 1, 0},  {3, 3, true, own, 1, 3},
        {3, 1, true, {}, 1, 1},       {0, 0, false, {}, 1, 0},      {1, 1, false, {}, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
        CSmf smf;
        song(smf, WORD(c.from == 3 ? 0 : c.from));
        if (c.ownZq) smf.GetZqihBody() = smf.GetZqkmBody() = own;
        ASSERT_EQ(smf.ConvertFormat(c.from, c.to), 0);
        EXPECT_EQ(smf.GetZqihBody(), c.zq);
        EXPECT_EQ(smf.GetZqkmBody(), c.zq);
        EXPECT_EQ(smf.GetTracks().size(), c.tracks);
        int format = -1;
        smf.GetFormat(format);
        EXPECT_EQ(format, c.format);
    }

    // Written out, the two chunks follow the track chunk.
    CSmf zq;
    song(zq, 0);
    ASSERT_EQ(zq.ConvertFormat(0, 3), 0);
    QByteArray bytes;
    ASSERT_EQ(zq.ToByteArray(bytes), 0);
    const Bytes tail = smfmodel::FromQt(bytes.right(24));
    EXPECT_EQ(tail, smfmodel::Cat({smfmodel::Chunk("ZQIH", minimal), smfmodel::Chunk("ZQKM", minimal)}));

    for (const auto& [from, to] : {std::pair<int, int>{2, 0}, {0, 2}, {1, 2}, {2, 2}, {-1, 1}}) {
        CSmf smf;
        song(smf, 0);
        EXPECT_EQ(smf.ConvertFormat(from, to), int(0x80000001)) << from << " to " << to;
        EXPECT_EQ(smf.GetTracks().size(), 1u);
    }
    CSmf empty;
    EXPECT_EQ(empty.ConvertFormat(1, 0), int(0x80000015));  // no track to merge
}

TEST(SmfSongHead, KvSystemOnGoesInAmongTheFirstEventsAtZero) {
    struct Case {
        const char* what;
        std::vector<DWORD> times;
        int position;  // -1: not inserted
    };
    const Case cases[] = {
        {"three events at 0", {0, 0, 0, 0, 40}, 2},
        {"the second event at 10", {0, 10, 20}, 1},
        {"the first event later", {5, 10}, 0},
        {"two events at 0 and nothing else", {0, 0}, -1},
        {"an empty track", {}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSmf smf;
        MakeSong(smf, 1, 480);
        CTrk& first = AddTrack(smf, {});
        for (DWORD t : c.times) InsertAll(first, {Ctrl(t, 0, 7, 100)});
        AddTrack(smf, {Note(0, 1, 60)});
        ASSERT_EQ(smf.InsertKvSystemOn(), 0);
        const Lines_t lines = Lines(first);
        const auto kv = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l == "0 kv"; });
        EXPECT_EQ(kv == lines.end() ? -1 : int(kv - lines.begin()), c.position);
        EXPECT_EQ(lines.size(), c.times.size() + (c.position >= 0));
        EXPECT_EQ(smf.GetTracks()[1]->GetCount(), 1u);
    }
    CSmf none;
    EXPECT_EQ(none.InsertKvSystemOn(), int(0x80000005));
    // The data of the message inserted.
    CSmf smf;
    MakeSong(smf, 0, 480);
    AddTrack(smf, {Note(5, 0, 60)});
    ASSERT_EQ(smf.InsertKvSystemOn(), 0);
    EXPECT_EQ(smf.GetTracks()[0]->GetEvents().front()->GetData(),
              (Bytes{0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}));
}

TEST(SmfSongHead, TheLastKvSystemOnAtItsTimeMovesToZero) {
    CSmf smf;
    MakeSong(smf, 1, 480);
    CTrk& first = AddTrack(smf, {Tempo(0, 500000), Prog(0, 0, 5), Ctrl(30, 0, 7, 90), Meta(40, 0x06, {'A'}), KvOn(50),
                                 Note(50, 0, 60), KvOn(50), KvOn(60), Note(60, 0, 62), Eot(70)});
    CTrk& second =
        AddTrack(smf, {Prog(0, 1, 1), KvOn(50), Sysex(50, {0x43, 0x10, 0x4C, 0x08, 1, 3, 4, 0xF7}), Eot(70)});
    ASSERT_EQ(smf.MoveKvSystemOnToStart(50), 0);
    EXPECT_EQ(Lines(first), (Lines_t{"0 m51", "0 kv", "40 m06", "50 90/0 60", "60 kv", "60 90/0 62", "70 m2F"}));
    EXPECT_EQ(Lines(second), (Lines_t{"0 kv", "50 sx", "70 m2F"}));
}

TEST(SmfSongHead, ShortLeadInShiftsTheEventsBeforeTheFirstNote) {
    // f = 40, g = 156, d = 116: 58 ticks at division 480.
    CSmf smf;
    LeadInSong(smf, 20, 480);
    ASSERT_EQ(NormaliseAsOpened(smf), 0);
    EXPECT_EQ(Lines(*smf.GetTracks()[0]), (Lines_t{"0 m03", "0 m51", "0 m58", "0 kv", "0 m2F"}));
    EXPECT_EQ(Lines(*smf.GetTracks()[1]), (Lines_t{"0 m03", "78 C0/0 5", "480 90/0 60", "960 90/0 60", "960 m2F"}));
}

TEST(SmfSongHead, ALeadInThatWouldReachTheNoteInsertsAMeasure) {
    CSmf smf;
    LeadInSong(smf, 20, 60);
    ASSERT_EQ(NormaliseAsOpened(smf), 0);
    // The end of track at 0 is no head event here: it moves too.
    EXPECT_EQ(Lines(*smf.GetTracks()[0]), (Lines_t{"0 m03", "0 m51", "0 m58", "0 kv", "1920 m2F"}));
    EXPECT_EQ(Lines(*smf.GetTracks()[1]),
              (Lines_t{"0 m03", "1940 C0/0 5", "1980 90/0 60", "2460 90/0 60", "2460 m2F"}));

    // Three quarters of 6/8 at division 96 and tempo 400000: one measure.
    CSmf meter;
    MakeSong(meter, 0, 96);
    AddTrack(meter, {Tempo(0, 400000), Meter(0, 6, 3), Note(0, 0, 60), Eot(96)});
    ASSERT_EQ(NormaliseAsOpened(meter), 0);
    EXPECT_EQ(Lines(*meter.GetTracks()[0]), (Lines_t{"0 m51", "0 m58", "288 90/0 60", "384 m2F"}));
}

TEST(SmfSongHead, ASongWithEnoughLeadInIsUntouched) {
    const auto untouched = [](CSmf& smf, const char* what) {
        SCOPED_TRACE(what);
        const std::string before = smfmodel::Describe(smf);
        ASSERT_EQ(NormaliseAsOpened(smf), 0);
        EXPECT_EQ(smfmodel::Describe(smf), before);
    };
    CSmf late;
    LeadInSong(late, 78, 480);  // g = 156 ticks at 960 per quarter: 78 here
    untouched(late, "first event at 78");
    CSmf notes;
    MakeSong(notes, 0, 96);  // only an end of track: the none time times 10
    AddTrack(notes, {Eot(0)});
    untouched(notes, "no event at all at division 96");
}

TEST(SmfSongHead, NormalizeRewritesTheBytesOnlyWhenItSucceeds) {
    CSmf smf;
    LeadInSong(smf, 20, 480);
    ASSERT_EQ(smf.ConvertFormat(1, 0), 0);
    QByteArray bytes;
    ASSERT_EQ(smf.ToByteArray(bytes), 0);
    CSmf temp;
    ASSERT_EQ(temp.Normalize(bytes), 0);
    CSmf back;
    ASSERT_EQ(back.FromByteArray(bytes), 0);
    EXPECT_EQ(Lines(*back.GetTracks()[0]), (Lines_t{"0 m03", "0 m51", "0 m58", "0 kv", "0 m03", "78 C0/0 5",
                                                    "480 90/0 60", "960 90/0 60", "960 m2F"}));

    // A tempo at 0 of four bytes: the facts fail, the bytes stay.
    const QByteArray bad = smfmodel::ToQt(smfmodel::Song(smfmodel::Cat(
        {{0x00, 0xFF, 0x51, 0x04, 0x07, 0xA1, 0x20, 0x00, 0x14, 0xC0, 0x05, 0x00, 0x90, 0x3C, 0x40}, smfmodel::kEot})));
    QByteArray kept = bad;
    EXPECT_EQ(temp.Normalize(kept), int(0x80000062));
    EXPECT_EQ(kept, bad);
    QByteArray unreadable = bad.left(10);
    EXPECT_LT(temp.Normalize(unreadable), 0);
    EXPECT_EQ(unreadable, bad.left(10));
}

// What the window does to real songs as it opens them.
TEST(SmfSongHead, OpeningBeatMidInsertsOneMeasure) {
    CSmf smf;
    SongFacts facts;
    ASSERT_EQ(OpenAsTheWindowDoes(smf, ReadSong("songs", "beat.mid"), facts), 0);
    EXPECT_EQ(facts.division, 120);
    EXPECT_EQ(facts.tempo, 600000u);
    EXPECT_EQ(facts.firstNoteTime, 0u);
    ASSERT_EQ(smf.GetTracks().size(), 2u);
    // Inserted as the third event, after the track name and the SMPTE
    // offset; the offset then moves with the measure.
    CSmf inserted;
    ASSERT_EQ(inserted.FromByteArray(ReadSong("songs", "beat.mid")), 0);
    ASSERT_EQ(inserted.InsertKvSystemOn(), 0);
    EXPECT_EQ(Lines(*inserted.GetTracks()[0])[2], "0 kv");
    EXPECT_EQ(Lines(*smf.GetTracks()[0]),
              (Lines_t{"0 m03", "0 kv", "0 m58", "0 m51", "480 m54", "480 m59", "480 m2F"}));
    const Lines_t second = Lines(*smf.GetTracks()[1]);
    EXPECT_EQ(second[0], "0 m03");
    EXPECT_EQ(second[1], "480 90/9 35");
    for (size_t i = 1; i < second.size(); ++i) EXPECT_GE(std::stoul(second[i]), 480u) << second[i];

    ChannelFacts drums;
    drums.Reset(9);
    ASSERT_GE(smf.AnalyseChannel(9, drums), 0);
    EXPECT_EQ(drums[ChannelFacts::kBankMsb], 127);
    EXPECT_EQ(drums[ChannelFacts::kBankLsb], 0);
    EXPECT_EQ(drums[ChannelFacts::kProgram], 0);
    EXPECT_EQ(drums[ChannelFacts::kBelow36], 1);
    EXPECT_EQ(drums[ChannelFacts::kNoNotes], 0);
}

TEST(SmfSongHead, OpeningClaireDeLuneShiftsTheSetUpEvents) {
    CSmf original;
    ASSERT_EQ(original.FromByteArray(ReadSong("songs", "claire_de_lune.mid")), 0);
    CSmf smf;
    SongFacts facts;
    ASSERT_EQ(OpenAsTheWindowDoes(smf, ReadSong("songs", "claire_de_lune.mid"), facts), 0);
    EXPECT_EQ(facts.firstNoteTime, 240u);
    EXPECT_EQ(facts.tempo, 600000u);  // g = 140, S = 70 at division 480
    ASSERT_EQ(smf.GetTracks().size(), original.GetTracks().size());

    // Pair the events of every track with the original's, the inserted KV
    // System On aside, and list what moved.
    Lines_t moved;
    for (size_t t = 0; t < smf.GetTracks().size(); ++t) {
        Lines_t before = Lines(*original.GetTracks()[t]);
        Lines_t after = Lines(*smf.GetTracks()[t]);
        after.erase(std::remove(after.begin(), after.end(), "0 kv"), after.end());
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        Lines_t gone, came;
        std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(gone));
        std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(came));
        for (const std::string& l : gone) {
            EXPECT_EQ(l.substr(0, 2), "0 ") << l;
            EXPECT_NE(std::find(came.begin(), came.end(), "70 " + l.substr(2)), came.end()) << l;
            moved.push_back(std::to_string(t) + " " + l.substr(2));
        }
        EXPECT_EQ(gone.size(), came.size());
    }
    std::sort(moved.begin(), moved.end());
    EXPECT_EQ(moved, (Lines_t{"0 m02", "0 m06", "0 m59", "1 B0/0 10", "1 B0/0 64", "1 B0/0 7", "1 B0/0 91", "1 B0/0 91",
                              "1 C0/0 0", "2 B0/0 10", "2 B0/0 7", "2 B0/0 91", "2 C0/0 0"}));
    EXPECT_EQ(Lines(*smf.GetTracks()[0])[2], "0 kv");
}

size_t NoteOns(const CSmf& smf, DWORD from) {
    size_t n = 0;
    for (const auto& track : smf.GetTracks())
        for (const auto& e : track->GetEvents()) n += e->GetStatus() == SMF_NOTE_ON && e->GetTime() >= from;
    return n;
}

std::vector<std::filesystem::path> HeadCorpusFiles() {
    std::vector<std::filesystem::path> files;
    for (const char* folder : {"smf-edge", "songs"}) {
        std::error_code error;
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::path(VEXA_CORPUS) / folder, error))
            if (entry.path().extension() == ".mid") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Every corpus song that loads is opened and saved in each format as the
// window does it: no note is lost but those a late KV System On wipes, and
// whatever is written reads back.
TEST(SmfSongHead, CorpusSongsKeepTheirNotesThroughOpeningAndSaving) {
    const auto files = HeadCorpusFiles();
    ASSERT_FALSE(files.empty());
    size_t opened = 0;
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        std::ifstream in(path, std::ios::binary);
        const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const QByteArray bytes(raw.data(), int(raw.size()));
        CSmf plain;
        if (plain.FromByteArray(bytes) != 0) continue;
        CSmf smf;
        SongFacts facts;
        const int rc = OpenAsTheWindowDoes(smf, bytes, facts);
        if (rc == int(0x80000006) || rc == int(0x80000009)) continue;  // refused by the facts
        ASSERT_EQ(rc, 0);
        ++opened;
        const size_t notes = NoteOns(plain, facts.kvSystemOnFound ? facts.kvSystemOnTime : 0);
        ASSERT_EQ(NoteOns(smf, 0), notes);
        QByteArray song;
        ASSERT_EQ(smf.ToByteArray(song), 0);
        for (int wanted : {0, 1, SMF_FORMAT_ZQ}) {
            CSmf saved;
            ASSERT_EQ(saved.FromByteArray(song), 0);
            int current = -1;
            saved.GetFormat(current);
            if (current == 2) continue;
            ASSERT_EQ(saved.ConvertFormat(current, wanted), 0) << wanted;
            QByteArray out;
            ASSERT_EQ(saved.ToByteArray(out), 0);
            CSmf normaliser;
            ASSERT_EQ(normaliser.Normalize(out), 0) << wanted;
            CSmf back;
            ASSERT_EQ(back.FromByteArray(out), 0);
            EXPECT_EQ(NoteOns(back, 0), notes) << wanted;
            int format = -1;
            back.GetFormat(format);
            EXPECT_EQ(format, wanted);
        }
    }
    EXPECT_GT(opened, 40u);
}

// The mended faults: none may crash, leave the song half-changed or move an
// event past 32 bits.
TEST(SmfSongHead, LeadMeasuresRefuseWhatLeavesNoMeasureOrPasses32Bits) {
    struct Case {
        const char* what;
        WORD division;
        DWORD tempo;
        BYTE numerator, power;
        DWORD lastTime;
        int rc;
    };
    const Case cases[] = {
        {"a denominator power of 40", 480, 500000, 4, 40, 960, int(0x80000015)},
        {"a denominator power of 255", 480, 500000, 4, 255, 960, int(0x80000015)},
        {"a numerator of 0", 480, 500000, 0, 2, 960, int(0x80000015)},
        {"an event that would pass 32 bits", 480, 500000, 4, 2, 0xFFFFF900u, int(0x80000025)},
        // 1 us per quarter: 50 ms are 50000 quarters, 12500 measures at 480.
        {"a lead-in beyond 32 bits", 480, 1, 4, 2, 0xF0000000u, int(0x80000025)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSmf smf;
        MakeSong(smf, 0, c.division);
        AddTrack(smf, {Tempo(0, c.tempo), Meta(0, 0x58, {c.numerator, c.power, 24, 8}), Note(0, 0, 60),
                       Note(c.lastTime, 0, 60, 0), Eot(c.lastTime)});
        const std::string before = smfmodel::Describe(smf);
        EXPECT_EQ(NormaliseAsOpened(smf), c.rc);
        EXPECT_EQ(smfmodel::Describe(smf), before);
    }
    CSmf smf;
    MakeSong(smf, 0, 480);
    AddTrack(smf, {Note(0, 0, 60)});
    EXPECT_EQ(smf.InsertLeadMeasures(0, 500000, 4, 2, 0, 100), int(0x80000001));
    EXPECT_EQ(smf.InsertLeadMeasures(480, 0, 4, 2, 0, 100), int(0x80000001));
    EXPECT_EQ(Lines(*smf.GetTracks()[0]), (Lines_t{"0 90/0 60"}));
}

TEST(SmfSongHead, LeadMeasuresCountExactlyWhereA32BitProductWraps) {
    // 1/1 at division 960 and a tempo of 8947849: measure x tempo is
    // 34359740160, which wraps to 1792 in 32 bits and would ask for 35
    // measures; one is enough.
    CSmf smf;
    MakeSong(smf, 0, 960);
    AddTrack(smf, {Tempo(0, 8947849), Meta(0, 0x58, {1, 0, 24, 8}), Note(0, 0, 60), Eot(100)});
    ASSERT_EQ(NormaliseAsOpened(smf), 0);
    EXPECT_EQ(Lines(*smf.GetTracks()[0]), (Lines_t{"0 m51", "0 m58", "3840 90/0 60", "3940 m2F"}));

    // A tempo of 4 us per quarter: the threshold is 12000060 ticks, and each
    // 4/4 measure adds measure x tempo / division = 16 to the count that
    // must reach it, so 750004 measures go in; they still fit in 32 bits.
    CSmf slow;
    MakeSong(slow, 0, 960);
    AddTrack(slow, {Tempo(0, 4), Note(0, 0, 60)});
    ASSERT_EQ(NormaliseAsOpened(slow), 0);
    EXPECT_EQ(Lines(*slow.GetTracks()[0]), (Lines_t{"0 m51", std::to_string(750004u * 3840u) + " 90/0 60"}));
}

TEST(SmfSongHead, OpeningAnEmptySongOfASmallDivisionChangesNothing) {
    const QByteArray bytes = ReadSong("smf-edge", "test-empty.mid");
    CSmf smf;
    SongFacts facts;
    ASSERT_EQ(OpenAsTheWindowDoes(smf, bytes, facts), 0);
    EXPECT_EQ(facts.division, 96);
    EXPECT_EQ(facts.firstEventTime, SongFacts::kNoTime);
    ASSERT_EQ(smf.GetTracks().size(), 1u);
    EXPECT_EQ(Lines(*smf.GetTracks()[0]), (Lines_t{"0 m2F"}));
}

}  // namespace smfsong
