// Ornaments from phrase patterns: trills and mordents, tremolos, glissandi
// and arpeggios written as new notes into the target note's block.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "UtilFixture.h"

using namespace wrktest;

namespace {

// time, key, gate, velocity of a created note
using NoteRow = std::tuple<INT64, int, INT64, int>;

struct OrnamentTest : UtilTest {
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 0));
    OwnedList pattern;
    OrnamentTest() { wrk.SetMeasBlk(blk); }  // 4/4 in C major

    void Note(INT64 time, BYTE key, INT64 gate, BYTE velo = 80) {
        pattern.list.AddTail(Loose(0x90, time, key, velo, gate));
    }
    void Eod(INT64 time) { pattern.list.AddTail(LooseText(time, "EOD")); }
    static CArticWrkEvnt* Tempo(INT64 time, ULONG usPerQuarter) {
        auto* e = new CArticWrkEvnt();
        e->SetStatus(0xFF);
        e->SetTime(time, 0);
        const BYTE data[3] = {BYTE(usPerQuarter >> 16), BYTE(usPerQuarter >> 8), BYTE(usPerQuarter)};
        e->SetMeta(0x51, data, 3);
        return e;
    }
    std::vector<NoteRow> Created() {
        std::vector<NoteRow> rows;
        for (POSITION p = blk->GetHeadPos(); p;) {
            CArticWrkEvnt* e = blk->GetNext(p);
            if (e->GetStatus() == 0x90) rows.push_back({e->GetTime(), e->GetPost1(), e->GetGateTime(), e->GetPost2()});
        }
        return rows;
    }
    int CreatedCount() { return int(Created().size()); }
};

}  // namespace

TEST_F(OrnamentTest, TrillKeepsTheSpeedOfItsPatternTempo) {
    blk->Sort(NewMeta(blk, 90, 0, 0x51, {0x0F, 0x42, 0x40}), 1);  // the song at 60 per minute
    pattern.list.AddTail(Tempo(0, 500000));                         // the pattern at 120
    Note(0, 60, 100, 70);
    Note(100, 62, 100, 80);
    Note(200, 60, 100, 70);
    Note(300, 62, 100, 80);
    CArticWrkEvnt* last = nullptr;
    ASSERT_EQ(CArticWrkUtil::InsertNoteTrill(&wrk, blk, &pattern.list, 64, 100, 0, 0, 0, 960, 960, 0, 0, 0, nullptr,
                                             nullptr, &last),
              0);
    // E: the neighbour above is F; pattern ticks are halved
    EXPECT_EQ(Created(), (std::vector<NoteRow>{
                             {960, 64, 50, 100}, {1010, 65, 50, 110}, {1060, 64, 50, 100}, {1110, 65, 50, 110}}));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->GetTime(), 1110);
    EXPECT_EQ(last->GetCreate(), 1);
}

TEST_F(OrnamentTest, TrillDoesNotBeginOnTheNoteJustPlayed) {
    Note(0, 60, 100);
    Note(100, 62, 100);
    Note(200, 60, 100);
    CArticWrkEvnt* prev = Loose(0x90, 0, 64, 100, 480);
    pattern.list.AddTail(nullptr);
    CArticWrkEvnt* last = nullptr;
    ASSERT_EQ(CArticWrkUtil::InsertNoteTrill(&wrk, blk, &pattern.list, 64, 80, 0, 0, 0, 960, 960, 0, 0, 0, prev,
                                             nullptr, &last),
              0);
    EXPECT_EQ(Created(), (std::vector<NoteRow>{{960, 65, 100, 80}, {1060, 64, 100, 80}}));
    delete prev;
}

TEST_F(OrnamentTest, TrillCutAtTheNoteEndIsCompressed) {
    for (int i = 0; i < 5; ++i) Note(i * 300, i % 2 ? 62 : 60, 300);
    CArticWrkEvnt* last = nullptr;
    ASSERT_EQ(CArticWrkUtil::InsertNoteTrill(&wrk, blk, &pattern.list, 60, 80, 0, 0, 0, 0, 960, 0, 0, 0, nullptr,
                                             nullptr, &last),
              0);
    // the note at 1200 goes; the rest is scaled by 960 / 1200
    EXPECT_EQ(Created(), (std::vector<NoteRow>{
                             {0, 60, 240, 80}, {240, 62, 240, 80}, {480, 60, 240, 80}, {720, 62, 240, 80}}));
}

TEST_F(OrnamentTest, TrillDoesNotEndOnTheKeyThatFollows) {
    for (int i = 0; i < 5; ++i) Note(i * 300, i % 2 ? 62 : 60, 300);
    CArticWrkEvnt* next = Loose(0x90, 960, 62, 100, 480);
    CArticWrkEvnt* last = nullptr;
    ASSERT_EQ(CArticWrkUtil::InsertNoteTrill(&wrk, blk, &pattern.list, 60, 80, 0, 0, 0, 0, 960, 0, 0, 0, nullptr,
                                             next, &last),
              0);
    EXPECT_EQ(CreatedCount(), 5);
    EXPECT_EQ(last->GetTime(), 1200);
    EXPECT_EQ(last->GetPost1(), 60);
    delete next;
}

TEST_F(OrnamentTest, OrnamentsUnderAMinorKeyRepeatTheTargetKey) {
    // A minor has no diatonic neighbours here: both neighbours stay the target
    // key (reported), and the ornament is still written.
    CArticWrkEvnt* key = NewMeta(blk, 90, 0, 0x59, {0, 1});
    blk->Sort(key, 1);
    ASSERT_EQ(blk->SetCondPos(key), 0);
    Note(0, 60, 100);
    Note(100, 62, 100);
    Note(200, 59, 100);
    CArticWrkEvnt* last = nullptr;
    ASSERT_EQ(CArticWrkUtil::InsertNoteTrill(&wrk, blk, &pattern.list, 64, 80, 0, 0, 0, 960, 960, 0, 0, 0, nullptr,
                                             nullptr, &last),
              0);
    EXPECT_EQ(Created(), (std::vector<NoteRow>{{960, 64, 100, 80}, {1060, 64, 100, 80}, {1160, 64, 100, 80}}));
    EXPECT_EQ(exp.reports.size(), 1u);  // an expression reports once

    CArticWrkBlk* squeezed = AddBlock(AddTrack(wrk, 1));
    CArticWrkEvnt* out = nullptr;
    ASSERT_EQ(CArticWrkUtil::InsNoteTrill(&wrk, squeezed, &pattern.list, 69, 80, 0, 0, 0, 0, 150, 0, 300, 0, &out), 0);
    ASSERT_EQ(CArticWrkUtil::InsertNoteMord(&wrk, squeezed, &pattern.list, 69, 80, 0, 0, 0, 960, 960, 0, 300), 0);
    std::vector<int> keys;
    for (POSITION p = squeezed->GetHeadPos(); p;) keys.push_back(squeezed->GetNext(p)->GetPost1());
    EXPECT_EQ(keys, (std::vector<int>{69, 69, 69, 69, 69, 69}));
}

TEST_F(OrnamentTest, RepeatedTrillFillsTwiceTheNote) {
    Note(0, 60, 100);
    Note(100, 62, 100);
    Eod(200);
    CArticWrkEvnt* last = nullptr;
    ASSERT_EQ(CArticWrkUtil::InsertNoteTrill(&wrk, blk, &pattern.list, 60, 80, 0, 0, 0, 0, 480, 0, 0, 1, nullptr,
                                             nullptr, &last),
              0);
    // copies run to 1000 (> 960); the first at or past 480 (500) is cut and
    // the rest is scaled by 480 / 500
    EXPECT_EQ(Created(), (std::vector<NoteRow>{
                             {0, 60, 96, 80}, {96, 62, 96, 80}, {192, 60, 96, 80}, {288, 62, 96, 80}, {384, 60, 96, 80}}));
}

TEST_F(OrnamentTest, CyclesWithoutLengthAndBadPatternsFail) {
    CArticWrkEvnt* last = nullptr;
    {
        OwnedList eodAtOrigin;
        eodAtOrigin.list.AddTail(Loose(0x90, 0, 60, 80, 100));
        eodAtOrigin.list.AddTail(LooseText(0, "EOD"));
        EXPECT_EQ(CArticWrkUtil::InsertNoteTrill(&wrk, blk, &eodAtOrigin.list, 60, 80, 0, 0, 0, 0, 480, 0, 0, 1,
                                                 nullptr, nullptr, &last),
                  1);
    }
    {
        OwnedList noLength;
        noLength.list.AddTail(Loose(0x90, 0, 60, 80, 0));
        EXPECT_EQ(CArticWrkUtil::InsertNoteTrill(&wrk, blk, &noLength.list, 60, 80, 0, 0, 0, 0, 480, 0, 0, 1,
                                                 nullptr, nullptr, &last),
                  1);
    }
    {
        OwnedList markerFirst;  // every walk meets the marker before any note
        markerFirst.list.AddTail(LooseText(100, "EOD"));
        markerFirst.list.AddTail(Loose(0x90, 200, 60, 80, 100));
        EXPECT_EQ(CArticWrkUtil::InsertNoteTrill(&wrk, blk, &markerFirst.list, 60, 80, 0, 0, 0, 0, 480, 0, 0, 1,
                                                 nullptr, nullptr, &last),
                  1);
    }
    Note(0, 60, 100);
    Note(100, 61, 100);  // no key of a trill pattern
    EXPECT_EQ(CArticWrkUtil::InsertNoteTrill(&wrk, blk, &pattern.list, 60, 80, 0, 0, 0, 0, 960, 0, 0, 0, nullptr,
                                             nullptr, &last),
              1);
    EXPECT_EQ(CArticWrkUtil::InsertNoteTrill(&wrk, blk, &pattern.list, 60, 80, 0, 0, 0, 0, 0, 0, 0, 0, nullptr,
                                             nullptr, &last),
              1);  // a note without length
    CArticWrkEvnt* out = nullptr;
    EXPECT_EQ(CArticWrkUtil::InsNoteTrill(&wrk, blk, &pattern.list, 60, 80, 0, 0, 0, 0, 960, 0, 0, 0, &out), 1);
    EXPECT_EQ(CArticWrkUtil::InsNoteTrill(&wrk, blk, &pattern.list, 60, 80, 0, 0, 0, 0, 960, 0, -5, 0, &out), 1);
    EXPECT_EQ(CArticWrkUtil::InsertNoteTrill(&wrk, nullptr, &pattern.list, 60, 80, 0, 0, 0, 0, 960, 0, 0, 0, nullptr,
                                             nullptr, &last),
              1);
    EXPECT_EQ(CreatedCount(), 0);
}

TEST_F(OrnamentTest, MordentKeepsItsSpeedOrIsSqueezed) {
    Note(0, 60, 60);
    Note(60, 62, 60);
    Note(120, 60, 60);
    ASSERT_EQ(CArticWrkUtil::InsertNoteMord(&wrk, blk, &pattern.list, 67, 90, 0, 0, 0, 480, 960, 0, 180), 0);
    // G: A above; the last note is held to the end of the target note
    EXPECT_EQ(Created(), (std::vector<NoteRow>{{480, 67, 60, 90}, {540, 69, 60, 90}, {600, 67, 840, 90}}));

    CArticWrkBlk* other = AddBlock(AddTrack(wrk, 1));
    ASSERT_EQ(CArticWrkUtil::InsertNoteMord(&wrk, other, &pattern.list, 67, 90, 0, 0, 0, 0, 90, 0, 180), 0);
    std::vector<NoteRow> squeezed;
    for (POSITION p = other->GetHeadPos(); p;) {
        CArticWrkEvnt* e = other->GetNext(p);
        squeezed.push_back({e->GetTime(), e->GetPost1(), e->GetGateTime(), e->GetPost2()});
    }
    EXPECT_EQ(squeezed, (std::vector<NoteRow>{{0, 67, 30, 90}, {30, 69, 30, 90}, {60, 67, 30, 90}}));
}

TEST_F(OrnamentTest, TremoloOfFourWithMarker) {
    Note(0, 60, 120);
    Note(120, 62, 120);
    Note(240, 64, 120);
    Eod(360);
    ASSERT_EQ(CArticWrkUtil::InsertNoteTrml(&wrk, blk, &pattern.list, 70, 100, 4, 0, 0, 1000, 960), 0);
    EXPECT_EQ(Created(), (std::vector<NoteRow>{
                             {1000, 70, 240, 100}, {1240, 70, 240, 100}, {1480, 70, 240, 100}, {1720, 70, 240, 100}}));
    EXPECT_EQ(CArticWrkUtil::InsertNoteTrml(&wrk, blk, &pattern.list, 70, 100, 0, 0, 0, 1000, 960), 1);
}

TEST_F(OrnamentTest, TremoloRandomSparesOnlyTheFirstNote) {
    Note(0, 60, 120);
    Note(120, 62, 120);
    Note(240, 64, 120);
    Eod(360);
    ASSERT_EQ(CArticWrkUtil::InsertNoteTrml(&wrk, blk, &pattern.list, 70, 100, 4, 20, 10, 1000, 960), 0);
    std::vector<NoteRow> rows = Created();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(std::get<0>(rows[0]), 1000);
    EXPECT_EQ(std::get<3>(rows[0]), 100);
    const INT64 planned[] = {1000, 1240, 1480, 1720};
    for (const auto& r : rows) {
        bool near = false;
        for (INT64 t : planned) near = near || (std::get<0>(r) >= t - 20 && std::get<0>(r) <= t + 20);
        EXPECT_TRUE(near) << std::get<0>(r);
        EXPECT_GE(std::get<3>(r), 90);
    }
}

TEST_F(OrnamentTest, TremoloWhoseCycleHasNoLengthFails) {
    Note(0, 60, 0);
    Note(0, 62, 0);
    EXPECT_EQ(CArticWrkUtil::InsertNoteTrml(&wrk, blk, &pattern.list, 70, 100, 5, 0, 0, 0, 960), 1);
    EXPECT_EQ(CreatedCount(), 0);
}

TEST_F(OrnamentTest, TremoloBetweenTwoChords) {
    OwnedList lower, upper;
    lower.list.AddTail(Loose(0x90, 0, 48, 90, 480));
    lower.list.AddTail(Loose(0x90, 0, 52, 90, 480));
    upper.list.AddTail(Loose(0x90, 0, 55, 90, 480));
    upper.list.AddTail(Loose(0x90, 0, 60, 90, 480));
    Note(0, 60, 60);
    Note(60, 67, 60);
    Note(120, 60, 60);
    Note(180, 67, 60);
    Eod(240);
    ASSERT_EQ(CArticWrkUtil::InsertNoteTrml2(&wrk, blk, &lower.list, &upper.list, &pattern.list, 2, 0, 0, -10, 5,
                                             1000, 480),
              0);
    // scale 480 / 240; the lowest key of each chord gets lowVelo, the highest nothing
    EXPECT_EQ(Created(), (std::vector<NoteRow>{{1000, 48, 120, 80},
                                               {1000, 52, 120, 90},
                                               {1120, 55, 120, 80},
                                               {1120, 60, 120, 90},
                                               {1240, 48, 120, 80},
                                               {1240, 52, 120, 90},
                                               {1360, 55, 120, 80},
                                               {1360, 60, 120, 90}}));
}

TEST_F(OrnamentTest, TremoloBetweenChordsRefusesOtherKeys) {
    OwnedList lower, upper;
    lower.list.AddTail(Loose(0x90, 0, 48, 90, 480));
    upper.list.AddTail(Loose(0x90, 0, 55, 90, 480));
    Note(0, 62, 60);
    Note(60, 67, 60);
    EXPECT_EQ(CArticWrkUtil::InsertNoteTrml2(&wrk, blk, &lower.list, &upper.list, &pattern.list, 2, 0, 0, 0, 0, 0,
                                             480),
              1);
    EXPECT_EQ(CreatedCount(), 0);
}

TEST_F(OrnamentTest, GlissandoResamplesAShortPattern) {
    Note(0, 60, 100, 80);
    Note(240, 64, 100, 100);
    ASSERT_EQ(CArticWrkUtil::InsertNoteGlis(&wrk, blk, &pattern.list, 60, 67, 90, 1000, 680, 0, 0), 0);
    // white keys 60, 62, 64, 65 at 0, 85, 170, 255 of a span of 340, doubled
    EXPECT_EQ(Created(), (std::vector<NoteRow>{
                             {1000, 60, 200, 90}, {1170, 62, 200, 97}, {1340, 64, 200, 104}, {1510, 65, 200, 110}}));
    EXPECT_EQ(CArticWrkUtil::InsertNoteGlis(&wrk, blk, &pattern.list, 60, 60, 90, 1000, 680, 0, 0), 1);
}

TEST_F(OrnamentTest, GlissandoWithEnoughPatternNotes) {
    for (int i = 0; i < 5; ++i) Note(i * 100, BYTE(40 + i), 100, 70);
    ASSERT_EQ(CArticWrkUtil::InsertNoteGlis(&wrk, blk, &pattern.list, 72, 67, 100, 0, 200, 0, 0), 0);
    // down from C on white keys to one step short of G: 72, 71, 69; three
    // pattern notes up to the fourth's start (300) fill the gate of 200
    EXPECT_EQ(Created(), (std::vector<NoteRow>{{0, 72, 67, 100}, {67, 71, 67, 100}, {133, 69, 67, 100}}));
}

TEST_F(OrnamentTest, ArpeggioSpreadsAShortPatternOverTheChord) {
    OwnedList chord;
    for (BYTE k : {64, 48, 55, 60, 52}) chord.list.AddTail(Loose(0x90, 1000, k, 90, 480));
    Note(0, 60, 480, 100);
    Note(30, 64, 450, 100);
    Note(60, 67, 420, 100);
    ASSERT_EQ(CArticWrkUtil::InsertNoteArpg(&wrk, blk, &chord.list, &pattern.list, 1000, 480, 0, 0), 0);
    // keys resampled to 60, 61, 63, 64, 66 take onsets 0, 8, 23, 30, 50; the
    // first note still sounds at the last onset, so all end with the last
    EXPECT_EQ(Created(), (std::vector<NoteRow>{{1000, 48, 481, 90},
                                               {1008, 52, 473, 90},
                                               {1023, 55, 458, 90},
                                               {1030, 60, 451, 90},
                                               {1050, 64, 431, 90}}));
}

TEST_F(OrnamentTest, ArpeggioDownwardAndCompressedOnsets) {
    OwnedList chord;
    for (BYTE k : {48, 52, 55}) chord.list.AddTail(Loose(0x90, 0, k, 90, 200));
    Note(0, 67, 100, 100);  // starts high: the arpeggio runs down
    Note(150, 64, 100, 100);
    Note(300, 60, 100, 100);
    ASSERT_EQ(CArticWrkUtil::InsertNoteArpg(&wrk, blk, &chord.list, &pattern.list, 0, 200, 0, 0), 0);
    std::vector<NoteRow> rows = Created();
    ASSERT_EQ(rows.size(), 3u);
    // onsets 0, 150, 300 squeezed into half the gate (0, 50, 100), the end
    // offsets -300, -150, 0 into minus half of it (-100, -50, 0)
    EXPECT_EQ(rows, (std::vector<NoteRow>{{0, 55, 100, 90}, {50, 52, 100, 90}, {100, 48, 100, 90}}));
}
