#include <gtest/gtest.h>

#include "DocFixtures.h"

using namespace doctest;

namespace {

class EventEdit : public ::testing::Test {
protected:
    void SetUp() override { InstallChannelSong(doc); }
    POSITION T(int i) const { return TrackPos(doc, i); }
    POSITION B(int t, int b) const { return BlockPos(doc, t, b); }
    CBlock& Conductor() const { return *BlockOf(doc, 0, 0); }
    POSITION ConductorEvent(int index) const { return Conductor().GetEventList().FindIndex(index); }
    std::vector<INT64> MeterTimes() const {
        std::vector<INT64> times;
        for (CSongEvent* e : EventsOf(Conductor()))
            if (IsTimeSignatureEvent(e->GetInfo())) times.push_back(e->GetTime());
        return times;
    }
    CPhrasorDoc doc;
};

TEST_F(EventEdit, NegativeTimesAreStoredAsZero) {
    Step step(doc);
    POSITION e = doc.InsertEvent(T(1), B(1, 0), NoteInfo(-50, 60, 10), 0, 0);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(EventAt(*BlockOf(doc, 1, 0), e)->GetTime(), 0);
    POSITION c = doc.InsertEvent(T(1), B(1, 0), ControlInfo(300, 7, 1), 0, 0);
    POSITION moved = doc.ReplaceEvent(T(1), B(1, 0), c, ControlInfo(-1, 7, 2), 0);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(TimesOf(*BlockOf(doc, 1, 0)), (std::vector<INT64>{0, 0}));
    EXPECT_EQ(EventsOf(*BlockOf(doc, 1, 0))[1]->GetInfo().Data2, 2);  // after the event already at 0
}

TEST_F(EventEdit, TheConductorsTimeZeroMeterAndTempoStayUnlessForced) {
    Step step(doc);
    ASSERT_TRUE(IsTimeSignatureEvent(EventAt(Conductor(), ConductorEvent(0))->GetInfo()));
    ASSERT_TRUE(IsTempoEvent(EventAt(Conductor(), ConductorEvent(1))->GetInfo()));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(doc.RemoveEvent(T(0), B(0, 0), ConductorEvent(i), 0), 1) << i;
        EXPECT_NE(doc.GetEditFlags() & EDIT_KEPT_CONDUCTOR_TIME0, 0u);
    }
    EXPECT_EQ(Conductor().GetEventCount(), 2);
    EXPECT_EQ(doc.GetRemovedEvents().GetCount(), 0);

    // Later tempo events go like any other; forced, so does the time-0 one.
    auto later = TempoRecord(1920, 400000);
    POSITION laterPos = doc.InsertEvent(T(0), B(0, 0), *later, 0, 0);
    ASSERT_NE(laterPos, nullptr);
    EXPECT_EQ(doc.RemoveEvent(T(0), B(0, 0), laterPos, 0), 1);
    EXPECT_EQ(doc.GetRemovedEvents().GetCount(), 1);
    EXPECT_EQ(doc.RemoveEvent(T(0), B(0, 0), ConductorEvent(1), 1), 1);
    EXPECT_EQ(Conductor().GetEventCount(), 1);
    EXPECT_EQ(doc.GetRemovedEvents().GetCount(), 2);
}

TEST_F(EventEdit, TimeZeroMeterCanBeReplacedOnlyInPlace) {
    Step step(doc);
    POSITION meter = ConductorEvent(0);
    auto later = MeterRecord(960, 3, 2);
    EXPECT_EQ(doc.ReplaceEvent(T(0), B(0, 0), meter, *later, 0), nullptr);
    EXPECT_NE(doc.GetEditFlags() & EDIT_KEPT_CONDUCTOR_TIME0, 0u);
    EXPECT_EQ(EventAt(Conductor(), meter)->GetInfo().Bytes[1], 4);

    auto threeFour = MeterRecord(0, 3, 2);
    EXPECT_EQ(doc.ReplaceEvent(T(0), B(0, 0), meter, *threeFour, 0), meter);
    EXPECT_NE(doc.GetEditFlags() & EDIT_METER_CHANGED, 0u);
    EXPECT_EQ(EventAt(Conductor(), meter)->GetInfo().Bytes[1], 3);

    // The time-0 tempo likewise.
    POSITION tempo = ConductorEvent(1);
    auto movedTempo = TempoRecord(480, 400000);
    EXPECT_EQ(doc.ReplaceEvent(T(0), B(0, 0), tempo, *movedTempo, 0), nullptr);
    auto newTempo = TempoRecord(0, 400000);
    EXPECT_EQ(doc.ReplaceEvent(T(0), B(0, 0), tempo, *newTempo, 0), tempo);
    EXPECT_NE(doc.GetEditFlags() & EDIT_TEMPO_CHANGED, 0u);
}

TEST_F(EventEdit, TemposAreClampedOnTheWayIn) {
    struct Case { LONG tempo; LONG stored; };
    const Case cases[] = {{100000, 200000}, {199999, 200000}, {200000, 200000}, {750000, 750000},
                          {15000000, 15000000}, {15000001, 15000000}, {0xFFFFFF, 15000000}};
    Step step(doc);
    for (const Case& c : cases) {
        auto record = TempoRecord(960, c.tempo);
        POSITION pos = doc.InsertEvent(T(2), B(2, 0), *record, 0, 0);
        ASSERT_NE(pos, nullptr) << c.tempo;
        EXPECT_EQ(TempoOfEvent(EventAt(*BlockOf(doc, 2, 0), pos)->GetInfo()), c.stored) << c.tempo;
        EXPECT_EQ(TempoOfEvent(record->Info()), c.tempo) << "the caller's record stays as it was";
        auto replacement = TempoRecord(960, c.tempo);
        ASSERT_EQ(doc.ReplaceEvent(T(2), B(2, 0), pos, *replacement, 0), pos) << c.tempo;
        EXPECT_EQ(TempoOfEvent(EventAt(*BlockOf(doc, 2, 0), pos)->GetInfo()), c.stored) << c.tempo;
    }
}

TEST_F(EventEdit, TheTempoLockRefusesTempoEdits) {
    doc.SetTempoLocked(1);
    Step step(doc);
    auto tempo = TempoRecord(960, 400000);
    EXPECT_EQ(doc.InsertEvent(T(0), B(0, 0), *tempo, 0, 0), nullptr);
    EXPECT_NE(doc.GetEditFlags() & EDIT_REFUSED_PROTECTED, 0u);
    EXPECT_EQ(doc.ReplaceEvent(T(0), B(0, 0), ConductorEvent(1), *TempoRecord(0, 300000), 0), nullptr);
    EXPECT_EQ(doc.RemoveEvent(T(0), B(0, 0), ConductorEvent(1), 1), 0);
    EXPECT_EQ(Conductor().GetEventCount(), 2);
    EXPECT_EQ(TempoOfEvent(EventAt(Conductor(), ConductorEvent(1))->GetInfo()), 500000);
    // Other events are not concerned.
    EXPECT_NE(doc.InsertEvent(T(0), B(0, 0), *KeyRecord(0, 2, 0), 0, 0), nullptr);
}

TEST_F(EventEdit, LinkBlocksTakeNoEventEdits) {
    Step step(doc);
    BlockInfo link;
    link.Kind = BLOCK_KIND_LINK;
    link.Start = 3840;
    link.RefTrack = T(1);
    link.RefBlock = B(1, 0);
    POSITION shownEvent = doc.InsertEvent(T(1), B(1, 0), NoteInfo(0, 60, 10), 0, 0);
    POSITION linkPos = doc.InsertBlock(T(2), link, 1, 0);
    ASSERT_NE(linkPos, nullptr);
    EXPECT_EQ(doc.InsertEvent(T(2), linkPos, NoteInfo(0, 60, 10), 0, 0), nullptr);
    EXPECT_NE(doc.GetEditFlags() & EDIT_REFUSED_LINK_BLOCK, 0u);
    EXPECT_EQ(doc.RemoveEvent(T(2), linkPos, shownEvent, 1), 0);
    EXPECT_EQ(doc.ReplaceEvent(T(2), linkPos, shownEvent, NoteInfo(5, 60, 10), 0), nullptr);
    EXPECT_EQ(BlockOf(doc, 1, 0)->GetEventCount(), 1);
    EXPECT_EQ(EventAt(*BlockOf(doc, 1, 0), shownEvent)->GetTime(), 0);
}

TEST_F(EventEdit, ReplaceEventInPlaceOrMoved) {
    POSITION a, b, c;
    {
        Step step(doc);
        a = doc.InsertEvent(T(1), B(1, 0), ControlInfo(100, 1, 0), 0, 0);
        b = doc.InsertEvent(T(1), B(1, 0), ControlInfo(200, 1, 0), 0, 0);
        c = doc.InsertEvent(T(1), B(1, 0), ControlInfo(200, 2, 0), 0, 0);  // after b: same time
    }
    CBlock& block = *BlockOf(doc, 1, 0);
    ASSERT_EQ(EventsOf(block), (std::vector<CSongEvent*>{EventAt(block, a), EventAt(block, b), EventAt(block, c)}));
    CSongEvent* moving = EventAt(block, a);
    HintLog log(doc);
    Step step(doc);

    // Same time: the same position, the new data.
    SongEventInfo changed = ControlInfo(100, 1, 64);
    changed.Extra2 = 7;
    ASSERT_EQ(doc.ReplaceEvent(T(1), B(1, 0), a, changed, 0), a);
    EXPECT_EQ(moving->GetInfo().Data2, 64);
    EXPECT_EQ(moving->GetInfo().Extra2, 0);  // the event's own extended attributes stay
    ASSERT_EQ(log.hints.size(), 1u);
    EXPECT_EQ(log.hints[0].Code, 0x210000u);
    EXPECT_EQ(log.hints[0].Level, HINT_LEVEL_EVENT);

    // A new time: re-inserted after the events of that time, at a new position.
    POSITION moved = doc.ReplaceEvent(T(1), B(1, 0), a, ControlInfo(200, 1, 65), 0);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(EventAt(block, moved), moving);
    EXPECT_EQ(EventsOf(block), (std::vector<CSongEvent*>{EventAt(block, b), EventAt(block, c), moving}));
    EXPECT_EQ(log.hints[1].Code, 0x210010u);
    EXPECT_EQ(log.hints[1].NewEvent, moved);

    // Moving earlier than everything puts it first.
    moved = doc.ReplaceEvent(T(1), B(1, 0), moved, ControlInfo(0, 1, 66), 0);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(block.GetEventList().GetHeadPosition(), moved);

    // Asked to, the extended attributes go back to their defaults, and the hint says so.
    SongEventInfo withExtra = ControlInfo(0, 1, 66);
    withExtra.Extra0 = 5;
    ASSERT_NE(doc.InsertEvent(T(1), B(1, 0), withExtra, 0, 0), nullptr);
    POSITION extra = block.GetEventList().FindIndex(1);
    ASSERT_EQ(EventAt(block, extra)->GetInfo().Extra0, 5);  // inserted with its attributes
    ASSERT_EQ(doc.ReplaceEvent(T(1), B(1, 0), extra, ControlInfo(0, 1, 67), 1), extra);
    EXPECT_EQ(EventAt(block, extra)->GetInfo().Extra0, -1);
    EXPECT_EQ(log.hints.back().Code, 0x210002u);
}

TEST_F(EventEdit, ConductorEventsAreAnnouncedByKind) {
    HintLog log(doc);
    Step step(doc);
    ASSERT_NE(doc.InsertEvent(T(0), B(0, 0), *TempoRecord(960, 400000), 0, 0), nullptr);
    ASSERT_NE(doc.InsertEvent(T(0), B(0, 0), *MeterRecord(3840, 3, 2), 0, 0), nullptr);
    ASSERT_NE(doc.InsertEvent(T(0), B(0, 0), *KeyRecord(0, 1, 0), 0, 0), nullptr);
    ASSERT_NE(doc.InsertEvent(T(1), B(1, 0), *TempoRecord(960, 400000), 0, 0), nullptr);  // not the conductor
    EXPECT_EQ(doc.GetEditFlags() & EDIT_CONDUCTOR_PENDING, 7u);
    std::vector<GUID> guids;
    for (const UpdateHint& hint : log.hints)
        if (hint.Level == HINT_LEVEL_EVENT) guids.push_back(hint.Guid);
    ASSERT_EQ(guids.size(), 4u);
    EXPECT_EQ(guids[0], MakeSongHintGuid(0x9DD48DE5));
    EXPECT_EQ(guids[1], MakeSongHintGuid(0x9DD48DE4));
    EXPECT_EQ(guids[2], MakeSongHintGuid(0x9DD48DE3));
    EXPECT_EQ(guids[3], MakeSongHintGuid(0x9DD48DE0));
}

// ------------------------------------------------------------ conductor clean-up

struct SnapCase {
    BYTE numerator, power;  // the meter at time 0
    std::vector<INT64> inserted;
    std::vector<INT64> expected;  // meter times after the step closed
};

TEST_F(EventEdit, ClosingAStepPutsMetersOnBarLines) {
    const SnapCase cases[] = {
        {4, 2, {5000}, {0, 3840}},
        {4, 2, {3000}, {0, 3840}},
        {4, 2, {3841}, {0, 3840}},
        {4, 2, {7680}, {0, 7680}},
        {4, 2, {12000}, {0, 11520}},
        {3, 2, {4000}, {0, 2880}},
        {3, 2, {2000}, {0, 2880}},
        {6, 3, {100}, {0, 2880}},
        {4, 2, {5000, 9000}, {0, 3840, 7680}},  // the second counts from where the first went
        {4, 2, {100, 200}, {0, 3840, 7680}},    // 200 lies before 3840 by then: the bar after it
    };
    for (const SnapCase& c : cases) {
        CPhrasorDoc fresh;
        InstallChannelSong(fresh);
        POSITION t0 = TrackPos(fresh, 0), b0 = BlockPos(fresh, 0, 0);
        {
            Step step(fresh);
            POSITION first = BlockOf(fresh, 0, 0)->GetEventList().GetHeadPosition();
            ASSERT_NE(fresh.ReplaceEvent(t0, b0, first, *MeterRecord(0, c.numerator, c.power), 0), nullptr);
            for (INT64 time : c.inserted) ASSERT_NE(fresh.InsertEvent(t0, b0, *MeterRecord(time, 4, 2), 0, 0), nullptr);
        }
        std::vector<INT64> times;
        for (CSongEvent* e : EventsOf(*BlockOf(fresh, 0, 0)))
            if (IsTimeSignatureEvent(e->GetInfo())) times.push_back(e->GetTime());
        EXPECT_EQ(times, c.expected) << int(c.numerator) << "/" << (1 << c.power) << " then " << c.inserted[0];
        EXPECT_EQ(fresh.GetMeterMap().GetCount(), int(c.expected.size()));
        EXPECT_EQ(fresh.GetEditFlags(), 0u);
    }
}

TEST_F(EventEdit, ClosingAStepRebuildsTheMeterMap) {
    {
        Step step(doc);
        ASSERT_NE(doc.InsertEvent(T(0), B(0, 0), *MeterRecord(5000, 3, 2), 0, 0), nullptr);
        ASSERT_NE(doc.InsertEvent(T(0), B(0, 0), *MeterRecord(9000, 2, 2), 0, 0), nullptr);
        EXPECT_EQ(doc.GetMeterMap().GetCount(), 1);  // not yet: the step is open
    }
    // 3/4 snapped to 3840, then 2/4: 5160 ticks after it is one 2880-tick bar and more, so 6720.
    EXPECT_EQ(MeterTimes(), (std::vector<INT64>{0, 3840, 6720}));
    ASSERT_EQ(doc.GetMeterMap().GetCount(), 3);
    MeterInfo m;
    ASSERT_EQ(doc.GetMeterMap().MeterAt(2, &m), 1);
    EXPECT_EQ(m.Measure, 3);
    EXPECT_EQ(doc.GetMeterMap().MeasToTime(3, 1, 0), 6720);
    EXPECT_EQ(doc.GetMeterMap().MeasToTime(4, 1, 0), 8640);
    // The snapping was recorded as moves of the events.
    int moves = 0;
    for (const CUndoObj* item : ItemsOf(*RecordAt(doc, 0))) moves += item->Kind == UNDO_MOVE_EVENT ? 1 : 0;
    EXPECT_EQ(moves, 2);
}

TEST_F(EventEdit, ClosingAStepKeepsTheLastOfMetersAtOneTime) {
    {
        Step step(doc);
        ASSERT_NE(doc.InsertEvent(T(0), B(0, 0), *MeterRecord(3840, 3, 2), 0, 0), nullptr);
        ASSERT_NE(doc.InsertEvent(T(0), B(0, 0), *MeterRecord(3840, 6, 3), 0, 0), nullptr);
    }
    EXPECT_EQ(MeterTimes(), (std::vector<INT64>{0, 3840}));
    MeterInfo m;
    ASSERT_EQ(doc.GetMeterMap().MeterAt(1, &m), 1);
    EXPECT_EQ(m.Numerator, 6);
    ASSERT_EQ(doc.GetRemovedEvents().GetCount(), 1);
    EXPECT_EQ(doc.GetRemovedEvents().GetHead()->GetInfo().Bytes[1], 3);
}

TEST_F(EventEdit, ClosingAStepKeepsTheLastOfTemposAtOneTime) {
    {
        Step step(doc);
        ASSERT_NE(doc.InsertEvent(T(0), B(0, 0), *TempoRecord(1920, 250000), 0, 0), nullptr);
        ASSERT_NE(doc.InsertEvent(T(0), B(0, 0), *TempoRecord(1920, 400000), 0, 0), nullptr);
        EXPECT_EQ(doc.TicksToClock(2880), 15000000);  // still the old map: 2880 ticks at 120 bpm
    }
    EXPECT_EQ(CountIf(Conductor(), IsTempoEvent), 2);
    EXPECT_EQ(TempoOfEvent(EventsOf(Conductor()).back()->GetInfo()), 400000);
    ASSERT_EQ(doc.GetRemovedEvents().GetCount(), 1);
    EXPECT_EQ(TempoOfEvent(doc.GetRemovedEvents().GetHead()->GetInfo()), 250000);
    ASSERT_EQ(doc.GetTempoMap().GetCount(), 2);
    // One second to 1920, then 960 ticks at 400000 microseconds per quarter.
    EXPECT_EQ(doc.TicksToClock(1920), 10000000);
    EXPECT_EQ(doc.TicksToClock(2880), 14000000);
    EXPECT_EQ(doc.ClockToTicks(14000000), 2880);
}

TEST_F(EventEdit, ClosingAStepRebuildsTheKeyMap) {
    EXPECT_EQ(doc.GetKeySigMap().GetCount(), 0);
    {
        Step step(doc);
        ASSERT_NE(doc.InsertEvent(T(0), B(0, 0), *KeyRecord(1920, 2, 1), 0, 0), nullptr);
    }
    ASSERT_EQ(doc.GetKeySigMap().GetCount(), 1);
    INT64 time = 0;
    LONG key = 0;
    ASSERT_EQ(doc.GetKeySigMap().KeySigAt(0, &time, &key), 1);
    EXPECT_EQ(time, 1920);
    EXPECT_EQ(key, 2 * 256 + 1);
}

// ------------------------------------------------------------ readers

TEST_F(EventEdit, ReadersWalkBothWaysInAbsoluteOrRelativeTime) {
    POSITION block;
    {
        Step step(doc);
        BlockInfo info;
        info.Start = 1920;
        info.End = 3840;
        block = doc.InsertBlock(T(3), info, 1, 0);
        for (INT64 t : {200, 0, 100}) ASSERT_NE(doc.InsertEvent(T(3), block, ControlInfo(t, 7, BYTE(t / 10)), 0, 0), nullptr);
    }
    std::vector<INT64> forward, backward;
    SongEventInfo info;
    for (POSITION pos = doc.FirstEventPosition(T(3), block); pos;) {
        ASSERT_TRUE(doc.ReadNextEvent(T(3), block, &pos, &info, 1));
        forward.push_back(info.Time);
    }
    for (POSITION pos = doc.LastEventPosition(T(3), block); pos;) {
        ASSERT_TRUE(doc.ReadPrevEvent(T(3), block, &pos, &info, 0));
        backward.push_back(info.Time);
    }
    EXPECT_EQ(forward, (std::vector<INT64>{1920, 2020, 2120}));
    EXPECT_EQ(backward, (std::vector<INT64>{200, 100, 0}));
    POSITION none = nullptr;
    EXPECT_FALSE(doc.ReadNextEvent(T(3), block, &none, &info, 0));
    ASSERT_TRUE(doc.GetEventInfo(T(3), block, doc.LastEventPosition(T(3), block), &info, 1));
    EXPECT_EQ(info.Time, 2120);
    EXPECT_EQ(info.Data2, 20);
    EXPECT_FALSE(doc.GetEventInfo(T(3), nullptr, doc.LastEventPosition(T(3), block), &info, 1));
}

}  // namespace
