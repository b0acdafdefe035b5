#include <gtest/gtest.h>

#include "SongFixtures.h"
#include "host/ConductorMaps.h"

using namespace songtest;

namespace {

struct MeasCase {
    LONG measure, beat, tick;
    INT64 time;
};

void ExpectMeasures(const CMeterMap& map, const MeasCase* cases, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const MeasCase& c = cases[i];
        EXPECT_EQ(map.MeasToTime(c.measure, c.beat, c.tick), c.time) << c.measure << ":" << c.beat << ":" << c.tick;
        LONG m = 0, b = 0, t = 0;
        EXPECT_EQ(map.TimeToMeas(c.time, &m, &b, &t), 1);
        EXPECT_EQ(m, c.measure) << c.time;
        EXPECT_EQ(b, c.beat) << c.time;
        EXPECT_EQ(t, c.tick) << c.time;
    }
}

TEST(MeterMap, WithoutTimeSignaturesEverythingIsFourFour) {
    CSongDocBase doc;
    CBlock* conductor = AddConductor(doc);
    conductor->InsertEvent(NewTempo(0, 500000));
    EXPECT_EQ(doc.RebuildMeterMap(), 1);
    EXPECT_EQ(doc.GetMeterMap().GetCount(), 0);
    const MeasCase cases[] = {{1, 1, 0, 0}, {3, 2, 10, 8650}, {2, 1, 0, 3840}, {1, 4, 959, 3839}};
    ExpectMeasures(doc.GetMeterMap(), cases, std::size(cases));
}

TEST(MeterMap, MeasuresFollowTheMeterChanges) {
    CSongDocBase doc;
    CBlock* conductor = AddConductor(doc);
    conductor->InsertEvent(NewTimeSignature(3840, 3, 2));  // 3/4 from measure 2
    conductor->InsertEvent(NewTimeSignature(9600, 6, 3));  // 6/8: (9600 - 3840) / 2880 + 2 = 4
    ASSERT_EQ(doc.RebuildMeterMap(), 1);
    const CMeterMap& map = doc.GetMeterMap();
    ASSERT_EQ(map.GetCount(), 2);
    MeterInfo first, second;
    ASSERT_EQ(map.MeterAt(0, &first), 1);
    ASSERT_EQ(map.MeterAt(1, &second), 1);
    EXPECT_EQ(first.Measure, 2);
    EXPECT_EQ(first.TicksPerBar, 2880);
    EXPECT_EQ(first.TicksPerBeat, 960);
    EXPECT_EQ(second.Measure, 4);
    EXPECT_EQ(second.TicksPerBar, 2880);
    EXPECT_EQ(second.TicksPerBeat, 480);
    EXPECT_EQ(map.MeterAt(2, &second), 0);

    const MeasCase cases[] = {
        {4, 2, 0, 10080}, {2, 1, 0, 3840}, {3, 3, 5, 3840 + 2880 + 1920 + 5}, {1, 4, 0, 2880}, {5, 6, 479, 9600 + 2880 + 2400 + 479},
    };
    ExpectMeasures(map, cases, std::size(cases));

    EXPECT_EQ(map.MeterIndexAt(0), 0);
    EXPECT_EQ(map.MeterIndexAt(9599), 0);
    EXPECT_EQ(map.MeterIndexAt(9600), 1);
}

TEST(MeterMap, ATimeSignatureInsideABarTruncatesToThatBar) {
    CSongDocBase doc;
    AddConductor(doc)->InsertEvent(NewTimeSignature(1000, 3, 2));
    ASSERT_EQ(doc.RebuildMeterMap(), 1);
    MeterInfo meter;
    ASSERT_EQ(doc.GetMeterMap().MeterAt(0, &meter), 1);
    EXPECT_EQ(meter.Measure, 1);
    EXPECT_EQ(meter.Time, 1000);
}

// A denominator power of 12 or more would make bars and beats 0 ticks long.
TEST(MeterMap, TimeSignaturesWithABeatBelowOneTickAreSkipped) {
    struct PowerCase {
        BYTE power;
        bool kept;
        LONG ticksPerBeat;
    };
    const PowerCase cases[] = {{0, true, 3840}, {5, true, 120}, {11, true, 1}, {12, false, 0}, {31, false, 0}, {32, false, 0}, {255, false, 0}};
    for (const auto& c : cases) {
        CSongDocBase doc;
        CBlock* conductor = AddConductor(doc);
        conductor->InsertEvent(NewTimeSignature(3840, 3, c.power));
        conductor->InsertEvent(NewTimeSignature(7680, 2, 2));
        EXPECT_EQ(doc.RebuildMeterMap(), 1) << int(c.power);
        const CMeterMap& map = doc.GetMeterMap();
        ASSERT_EQ(map.GetCount(), c.kept ? 2 : 1) << int(c.power);
        MeterInfo meter;
        map.MeterAt(0, &meter);
        if (c.kept) {
            EXPECT_EQ(meter.TicksPerBeat, c.ticksPerBeat) << int(c.power);
            EXPECT_GT(meter.TicksPerBar, 0) << int(c.power);
        } else {
            // The 2/4 at 7680 is measure 3 of the 4/4 that stays in force.
            EXPECT_EQ(meter.Measure, 3) << int(c.power);
            LONG m = 0, b = 0, t = 0;
            map.TimeToMeas(5000, &m, &b, &t);
            EXPECT_EQ(m, 2);
            EXPECT_EQ(b, 2);
            EXPECT_EQ(t, 200);
        }
    }
}

TEST(MeterMap, ANumeratorOfZeroEndsTheRebuild) {
    CSongDocBase doc;
    CBlock* conductor = AddConductor(doc);
    conductor->InsertEvent(NewTimeSignature(0, 3, 2));
    conductor->InsertEvent(NewTimeSignature(2880, 0, 2));
    conductor->InsertEvent(NewTimeSignature(5760, 2, 2));
    EXPECT_EQ(doc.RebuildMeterMap(), 0);
    EXPECT_EQ(doc.GetMeterMap().GetCount(), 1);
}

TEST(MeterMap, ASongWithoutConductorBlockHasNoMeters) {
    CSongDocBase doc;
    AddConductor(doc)->InsertEvent(NewTimeSignature(0, 3, 2));
    ASSERT_EQ(doc.RebuildMeterMap(), 1);
    EXPECT_EQ(doc.GetMeterMap().MeasToTime(2, 1, 0), 2880);
    doc.DeleteAllTracks();
    EXPECT_EQ(doc.RebuildMeterMap(), 0);
    EXPECT_EQ(doc.GetMeterMap().GetCount(), 0);
    EXPECT_EQ(doc.GetMeterMap().MeasToTime(2, 1, 0), 3840);
}

TEST(MeterMap, AbsentTimeHasNoMeasure) {
    CMeterMap map;
    LONG m = 0, b = 0, t = 0;
    EXPECT_EQ(map.TimeToMeas(SONG_TIME_ABSENT, &m, &b, &t), 0);
    EXPECT_EQ(m, std::numeric_limits<LONG>::max());
    EXPECT_EQ(map.TimeToMeas(SONG_TIME_ABSENT - 1, &m, &b, &t), 1);
    EXPECT_EQ(m, std::numeric_limits<LONG>::max());
}

struct ClampCase {
    LONG in, stored;
};

TEST(TempoMap, TemposAreClampedWhenStored) {
    const ClampCase cases[] = {{100000, 200000}, {0, 200000}, {199999, 200000}, {200000, 200000},
                               {500000, 500000}, {15000000, 15000000}, {15000001, 15000000}, {0xFFFFFF, 15000000}};
    CSongDocBase doc;
    CBlock* conductor = AddConductor(doc);
    INT64 time = 0;
    for (const auto& c : cases) conductor->InsertEvent(NewTempo(time += 960, c.in));
    ASSERT_EQ(doc.RebuildTempoMap(), 1);
    ASSERT_EQ(doc.GetTempoMap().GetCount(), int(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        TempoInfo t;
        ASSERT_EQ(doc.GetTempoMap().TempoAt(int(i), &t), 1);
        EXPECT_EQ(t.Tempo, cases[i].stored) << cases[i].in;
    }
    // A tempo change asked for outside the range is clamped the same way.
    EXPECT_EQ(ClampTempo(20000000), 15000000);
    EXPECT_EQ(ClampTempo(100000), 200000);
}

TEST(TempoMap, ClockTimeFollowsTheTempoChanges) {
    CSongDocBase doc;
    AddConductor(doc)->InsertEvent(NewTempo(960, 250000));
    ASSERT_EQ(doc.RebuildTempoMap(), 1);
    TempoInfo t;
    ASSERT_EQ(doc.GetTempoMap().TempoAt(0, &t), 1);
    EXPECT_EQ(t.Clock, 5000000);
    struct Case {
        INT64 ticks, clock;
    };
    const Case cases[] = {{0, 0}, {480, 2500000}, {960, 5000000}, {1920, 7500000}, {1440, 6250000}};
    for (const auto& c : cases) {
        EXPECT_EQ(doc.TicksToClock(c.ticks), c.clock) << c.ticks;
        EXPECT_EQ(doc.ClockToTicks(c.clock), c.ticks) << c.clock;
    }
}

TEST(TempoMap, FractionsOfATickAreCarriedBetweenChanges) {
    // Each tick at 500000 us per quarter is 5000000 / 960 = 5208 1/3 units.
    CSongDocBase doc;
    CBlock* conductor = AddConductor(doc);
    for (INT64 t : {1, 2, 3}) conductor->InsertEvent(NewTempo(t, 500000));
    ASSERT_EQ(doc.RebuildTempoMap(), 1);
    const INT64 clocks[] = {5208, 10416, 15625};
    for (int i = 0; i < 3; ++i) {
        TempoInfo t;
        ASSERT_EQ(doc.GetTempoMap().TempoAt(i, &t), 1);
        EXPECT_EQ(t.Clock, clocks[i]) << i;
    }
}

TEST(TempoMap, EmptyMapUsesTheDefaultTempo) {
    CSongDocBase doc;
    AddConductor(doc);
    ASSERT_EQ(doc.RebuildTempoMap(), 1);
    EXPECT_EQ(doc.GetTempoMap().GetCount(), 0);
    EXPECT_EQ(doc.TicksToClock(960), 5000000);
    EXPECT_EQ(doc.ClockToTicks(5000000), 960);
    EXPECT_EQ(doc.TicksToClock(-960), -5000000);
}

TEST(TempoMap, FixedModeIgnoresTheSongsTempos) {
    CSongDocBase doc;
    AddConductor(doc)->InsertEvent(NewTempo(0, 1000000));
    TempoRule rule;
    rule.Mode = TEMPO_MODE_FIXED;
    rule.FixedTempo = 250000;
    doc.SetTempoRule(rule);
    ASSERT_EQ(doc.RebuildTempoMap(), 1);
    ASSERT_EQ(doc.GetTempoMap().GetCount(), 1);
    TempoInfo t;
    doc.GetTempoMap().TempoAt(0, &t);
    EXPECT_EQ(t.Tempo, 250000);
    EXPECT_EQ(t.Time, 0);
    EXPECT_EQ(doc.TicksToClock(960), 2500000);
    // Even without a conductor block.
    doc.DeleteAllTracks();
    EXPECT_EQ(doc.RebuildTempoMap(), 1);
    EXPECT_EQ(doc.GetTempoMap().GetCount(), 1);
}

TEST(TempoMap, ScaledModeTimesTheTemposFromTheFirstChangeOn) {
    CSongDocBase doc;
    AddConductor(doc)->InsertEvent(NewTempo(960, 500000));
    TempoRule rule;
    rule.Mode = TEMPO_MODE_SCALED;
    rule.Factor = 2.0f;
    doc.SetTempoRule(rule);
    ASSERT_EQ(doc.RebuildTempoMap(), 1);
    // The stretch before the first change runs at 500000 as it is ...
    TempoInfo t;
    doc.GetTempoMap().TempoAt(0, &t);
    EXPECT_EQ(t.Clock, 5000000);
    // ... later ones at the effective tempo of 1000000.
    EXPECT_EQ(doc.TicksToClock(1920), 15000000);
    EXPECT_EQ(doc.ClockToTicks(15000000), 1920);
    EXPECT_EQ(doc.EffectiveTempo(10000000), 15000000);
    rule.Factor = 0.0f;
    EXPECT_EQ(rule.Effective(500000), 200000);
}

TEST(TempoMap, AbsentTimeStaysAbsent) {
    CSongDocBase doc;
    AddConductor(doc)->InsertEvent(NewTempo(960, 250000));
    doc.RebuildTempoMap();
    EXPECT_EQ(doc.TicksToClock(SONG_TIME_ABSENT), SONG_TIME_ABSENT);
    EXPECT_EQ(doc.ClockToTicks(SONG_TIME_ABSENT), SONG_TIME_ABSENT);
    // A present time far out is clamped, never taken for absent.
    EXPECT_EQ(doc.TicksToClock(SONG_TIME_ABSENT - 1), SONG_TIME_ABSENT - 1);
    EXPECT_LT(doc.ClockToTicks(SONG_TIME_ABSENT - 1), SONG_TIME_ABSENT);
}

// Tempo curves can hold far more changes than a 16-bit index counts.
TEST(TempoMap, MoreThan65536ChangesKeepTheirOwnIndexes) {
    CSongDocBase doc;
    CBlock* conductor = AddConductor(doc);
    const int count = 70000;
    for (int i = 0; i < count; ++i) conductor->InsertEvent(NewTempo(INT64(i) * 10, i % 2 ? 250000 : 500000));
    ASSERT_EQ(doc.RebuildTempoMap(), 1);
    ASSERT_EQ(doc.GetTempoMap().GetCount(), count);
    TempoInfo first, late;
    ASSERT_EQ(doc.GetTempoMap().TempoAt(0, &first), 1);
    ASSERT_EQ(doc.GetTempoMap().TempoAt(65536, &late), 1);
    EXPECT_EQ(first.Time, 0);
    EXPECT_EQ(late.Time, 655360);
    EXPECT_EQ(doc.GetTempoMap().TempoIndexAt(655365), 65536);
    // Ten ticks at 500000 then ten at 250000: 78125 units per pair.
    EXPECT_EQ(late.Clock, INT64(32768) * 78125);
}

// Index queries take the last entry at or before the time in list order,
// also when the list is not in time order.
TEST(TempoMap, IndexQueriesOnAnUnorderedConductor) {
    CSongDocBase doc;
    CBlock* conductor = AddConductor(doc);
    POSITION p = conductor->InsertEvent(NewTempo(1920, 400000));
    conductor->InsertEventAfter(p, NewTempo(960, 300000));
    ASSERT_EQ(doc.RebuildTempoMap(), 1);
    EXPECT_EQ(doc.GetTempoMap().TempoIndexAt(1000), 1);
    EXPECT_EQ(doc.GetTempoMap().TempoIndexAt(2000), 1);
    EXPECT_EQ(doc.GetTempoMap().TempoIndexAt(500), 0);
}

TEST(KeySigMap, KeysAreSharpsFlatsTimes256PlusMode) {
    CSongDocBase doc;
    CBlock* conductor = AddConductor(doc);
    conductor->InsertEvent(NewKeySignature(0, 3, 0));
    conductor->InsertEvent(NewKeySignature(7680, -2, 1));
    conductor->InsertEvent(NewMeta(7680, {0x59, 1}));  // too short to be a key signature
    ASSERT_EQ(doc.RebuildKeySigMap(), 1);
    const CKeySigMap& map = doc.GetKeySigMap();
    ASSERT_EQ(map.GetCount(), 2);
    INT64 time = 0;
    LONG key = 0;
    ASSERT_EQ(map.KeySigAt(0, &time, &key), 1);
    EXPECT_EQ(time, 0);
    EXPECT_EQ(key, 3 * 256);
    ASSERT_EQ(map.KeySigAt(1, &time, &key), 1);
    EXPECT_EQ(time, 7680);
    EXPECT_EQ(key, 0xFE * 256 + 1);
    EXPECT_EQ(map.KeySigAt(2, &time, &key), 0);
    EXPECT_EQ(map.KeySigIndexAt(7679), 0);
    EXPECT_EQ(map.KeySigIndexAt(7680), 1);
    doc.DeleteAllTracks();
    EXPECT_EQ(doc.RebuildKeySigMap(), 0);
    EXPECT_EQ(doc.GetKeySigMap().GetCount(), 0);
}

TEST(ConductorEvents, TempoBytesRoundTrip) {
    BYTE out[4] = {};
    PutTempo(500000, out);
    EXPECT_EQ(std::vector<BYTE>(out, out + 4), (std::vector<BYTE>{0x51, 0x07, 0xA1, 0x20}));
    CSongEvent* e = NewMeta(0, {0x51, 0x07, 0xA1, 0x20});
    EXPECT_EQ(TempoOfEvent(e->GetInfo()), 500000);
    delete e;
    CSongEvent* other = NewTimeSignature(0, 4, 2);
    EXPECT_EQ(TempoOfEvent(other->GetInfo()), TEMPO_DEFAULT);
    MeterInfo meter;
    EXPECT_EQ(MakeMeterInfo(other->GetInfo(), &meter), 1);
    EXPECT_EQ(meter.Numerator, 4);
    delete other;
    PutTempo(20000000, out);  // beyond three bytes: the largest that fits
    EXPECT_EQ(std::vector<BYTE>(out, out + 4), (std::vector<BYTE>{0x51, 0xFF, 0xFF, 0xFF}));
    PutTempo(500000, nullptr);
}

}  // namespace
