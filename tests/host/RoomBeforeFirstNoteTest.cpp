// Room before the first note: the set-up run before a converted block's first
// note is moved earlier, or the song is pushed later to make room for it.
#include <vector>

#include "HostFixtures.h"

namespace {

using namespace hosttest;

constexpr LONG kMultiplier = 2;  // song ticks per engine tick

struct Placed {
    DWORD kind;
    INT64 time;  // absolute
    bool operator==(const Placed& o) const { return kind == o.kind && time == o.time; }
};

std::ostream& operator<<(std::ostream& out, const Placed& p) { return out << std::hex << p.kind << std::dec << "@" << p.time; }

std::vector<Placed> PlacedEvents(const CBlock& block) {
    std::vector<Placed> out;
    for (CSongEvent* e : EventsOf(block)) out.push_back({e->GetKind(), AddSongTime(block.GetInfo().Start, e->GetTime())});
    return out;
}

SongEventInfo ExclusiveInfo(INT64 time, std::vector<BYTE>& data) {
    SongEventInfo info;
    info.Kind = MPEVENT_KIND_SYSEX;
    info.Time = time;
    info.Length = DWORD(data.size());
    info.Bytes = data.data();
    return info;
}

const SongEventInfo kProgram = ShortInfo(MPEVENT_KIND_PROGRAM, 0, 5);
const SongEventInfo kBank = ShortInfo(MPEVENT_KIND_CONTROL, 0, 0, 1);

// Conductor (4/4, 120 beats per minute); track 1 is the converted channel,
// track 2 another channel with a note at 480.
class RoomBeforeFirstNote : public ::testing::Test {
protected:
    // Installs the song; `fill` puts the converted block's events in.
    template <class Fill>
    void Build(INT64 blockStart, Fill fill) {
        CTrack* converted = NewTrack(0);
        CBlock* block = AddBlock(converted, blockStart, blockStart + 7680);
        fill(*block);
        CTrack* other = NewTrack(1);
        CBlock* otherBlock = AddBlock(other, 0, 7680);
        otherBlock->InsertEvent(NewEvent(ControlInfo(0, 7, 100)));
        otherBlock->InsertEvent(NewNote(480, 50, 240));
        otherBlock->InsertEvent(NewEvent(ControlInfo(960, 10, 64)));
        CTrack* conductor = NewConductor();
        CBlock* master = conductor->GetBlockList().GetHead();
        master->InsertEvent(NewMeta(240, {0x06, 'A'}));  // a marker before the other track's music
        master->InsertEvent(NewTempo(1920, 400000));
        Install(m_Doc, {conductor, converted, other});
    }
    static void Put(CBlock& block, SongEventInfo info, INT64 time) {
        info.Time = time;
        block.InsertEvent(NewEvent(info));
    }
    void MakeRoom(INT64 engineFirstNote) {
        m_Doc.MakeRoomBeforeFirstNote(TrackPos(m_Doc, 1), BlockPos(m_Doc, 1, 0), engineFirstNote, kMultiplier);
    }
    std::vector<Placed> Converted() const { return PlacedEvents(*BlockOf(m_Doc, 1, 0)); }
    std::vector<Placed> Other() const { return PlacedEvents(*BlockOf(m_Doc, 2, 0)); }
    std::vector<Placed> Master() const { return PlacedEvents(*BlockOf(m_Doc, 0, 0)); }

    CPhrasorDoc m_Doc;
};

constexpr DWORD NOTE = MPEVENT_KIND_NOTE;
constexpr DWORD PROGRAM = MPEVENT_KIND_PROGRAM;
constexpr DWORD CONTROL = MPEVENT_KIND_CONTROL;
constexpr DWORD SYSEX = MPEVENT_KIND_SYSEX;
constexpr DWORD META = MPEVENT_KIND_META;

TEST_F(RoomBeforeFirstNote, AProgramTwoTicksBeforeTheNoteStays) {
    Build(0, [](CBlock& b) {
        Put(b, kProgram, 958);
        b.InsertEvent(NewNote(960, 60, 480));
    });
    const auto before = Other();
    MakeRoom(480);
    EXPECT_EQ(Converted(), (std::vector<Placed>{{PROGRAM, 958}, {NOTE, 960}}));
    EXPECT_EQ(Other(), before);
    EXPECT_EQ(m_Doc.GetUndoList().GetCount(), 0);  // nothing was edited
}

TEST_F(RoomBeforeFirstNote, BankAndProgramAtTheNoteMoveTwoTicksEarlier) {
    Build(0, [](CBlock& b) {
        Put(b, kBank, 959);
        Put(b, kProgram, 960);
        b.InsertEvent(NewNote(960, 60, 480));
    });
    MakeRoom(480);
    EXPECT_EQ(Converted(), (std::vector<Placed>{{CONTROL, 957}, {PROGRAM, 958}, {NOTE, 960}}));
    EXPECT_EQ(m_Doc.GetUndoList().GetCount(), 1);
}

struct SystemOnCase {
    const char* name;
    std::vector<BYTE> data;
};

TEST_F(RoomBeforeFirstNote, ASystemOnMovesFiftyMillisecondsAndTwentyFiveEngineTicksBeforeTheNote) {
    // 50 ms at 120 beats per minute are 96 ticks; 25 engine ticks are 50: 1920 - 146 = 1774.
    const SystemOnCase cases[] = {
        {"GM", {0x7E, 0x7F, 0x09, 0x01, 0xF7}},
        {"KV", {0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}},
    };
    for (const SystemOnCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_Doc.ClearUndo();
        std::vector<BYTE> data = c.data;
        Build(0, [&](CBlock& b) {
            b.InsertEvent(NewEvent(ExclusiveInfo(1910, data)));
            b.InsertEvent(NewNote(1920, 60, 480));
        });
        MakeRoom(960);
        EXPECT_EQ(Converted(), (std::vector<Placed>{{SYSEX, 1774}, {NOTE, 1920}}));  // 136 earlier
    }
    // Any other exclusive needs only one engine tick.
    std::vector<BYTE> other = {0x41, 0x10, 0x42, 0x12, 0xF7};
    Build(0, [&](CBlock& b) {
        b.InsertEvent(NewEvent(ExclusiveInfo(1919, other)));
        b.InsertEvent(NewNote(1920, 60, 480));
    });
    MakeRoom(960);
    EXPECT_EQ(Converted(), (std::vector<Placed>{{SYSEX, 1918}, {NOTE, 1920}}));
}

TEST_F(RoomBeforeFirstNote, NothingChangesWithoutASetupEventBeforeTheFirstNote) {
    Build(0, [](CBlock& b) {
        b.InsertEvent(NewNote(960, 60, 480));
        Put(b, kProgram, 1000);
    });
    MakeRoom(480);
    EXPECT_EQ(Converted(), (std::vector<Placed>{{NOTE, 960}, {PROGRAM, 1000}}));
    // Neither without a first note (the engine's absent time) or a tick scale.
    m_Doc.MakeRoomBeforeFirstNote(TrackPos(m_Doc, 1), BlockPos(m_Doc, 1, 0), SONG_TIME_ABSENT, kMultiplier);
    m_Doc.MakeRoomBeforeFirstNote(TrackPos(m_Doc, 1), BlockPos(m_Doc, 1, 0), 480, 0);
    m_Doc.MakeRoomBeforeFirstNote(nullptr, BlockPos(m_Doc, 1, 0), 480, kMultiplier);
    EXPECT_EQ(Converted(), (std::vector<Placed>{{NOTE, 960}, {PROGRAM, 1000}}));
    EXPECT_EQ(m_Doc.GetUndoList().GetCount(), 0);
}

TEST_F(RoomBeforeFirstNote, ASetupRunThatWouldStartBeforeItsBlockMovesTheBlockToZero) {
    Build(960, [](CBlock& b) {
        Put(b, kProgram, 0);
        b.InsertEvent(NewNote(0, 60, 480));
        b.InsertEvent(NewNote(0, 64, 480));
    });
    MakeRoom(480);
    const CBlock& block = *BlockOf(m_Doc, 1, 0);
    EXPECT_EQ(block.GetInfo().Start, 0);
    EXPECT_EQ(block.GetInfo().End, 7680);  // it kept its length
    EXPECT_EQ(Converted(), (std::vector<Placed>{{PROGRAM, 958}, {NOTE, 960}, {NOTE, 960}}));
    // The chord keeps its order.
    const auto events = EventsOf(block);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1]->GetInfo().Data1, 60);
    EXPECT_EQ(events[2]->GetInfo().Data1, 64);
}

TEST_F(RoomBeforeFirstNote, WithoutRoomTheSongIsPushedLaterByABar) {
    // The program lies after the first note with nothing free before: the
    // converted music moves a bar later, the program can then go 4 earlier,
    // and the other track and the conductor follow from the other track's first note.
    Build(0, [](CBlock& b) {
        b.InsertEvent(NewNote(0, 60, 240));
        Put(b, kProgram, 2);
    });
    const INT64 bar = 3840;
    MakeRoom(1);
    EXPECT_EQ(Converted(), (std::vector<Placed>{{PROGRAM, 3838}, {NOTE, 3840}}));
    EXPECT_EQ(Other(), (std::vector<Placed>{{CONTROL, 0}, {NOTE, 480 + bar}, {CONTROL, 960 + bar}}));
    // Meter and tempo at 0 stay, the marker at 240 lies before 480 and stays, the tempo at 1920 follows.
    EXPECT_EQ(Master(), (std::vector<Placed>{{META, 0}, {META, 0}, {META, 240}, {META, 1920 + bar}}));
    TempoInfo second;
    ASSERT_TRUE(m_Doc.GetTempoMap().TempoAt(1, &second));  // the maps were rebuilt when the step closed
    EXPECT_EQ(second.Time, 1920 + bar);
}

TEST_F(RoomBeforeFirstNote, WorksUnderTheSongsExclusiveLockAsTheDriverCallsIt) {
    Build(0, [](CBlock& b) {
        Put(b, kBank, 959);
        Put(b, kProgram, 960);
        b.InsertEvent(NewNote(960, 60, 480));
    });
    CKPSManager& host = *m_Doc.GetHostInterface();
    ASSERT_EQ(host.Lock(1, u"write back"), S_OK);
    MakeRoom(480);
    EXPECT_EQ(m_Doc.GetUndoDepth(), 1);  // its own step nested in the lock's and closed again
    EXPECT_EQ(host.Unlock(0), MP_S_UNLOCKED);
    EXPECT_EQ(Converted(), (std::vector<Placed>{{CONTROL, 957}, {PROGRAM, 958}, {NOTE, 960}}));
    EXPECT_EQ(m_Doc.GetUndoList().GetCount(), 1);
}

}  // namespace
