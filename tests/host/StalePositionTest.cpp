// Positions the host interface cannot trust: an event removed earlier, an
// event of another block, a block or track no longer in the song. Every call
// that takes such a position answers MP_E_BADPOSITION and leaves the song as
// it was.
#include <cstdint>
#include <functional>
#include <string>

#include "HostFixtures.h"

namespace {

using namespace hosttest;

// Conductor; track 1 with a block holding two notes; track 2 with a block
// holding a controller and a link block showing track 1's block.
class StalePositions : public ::testing::Test {
public:
    void SetUp() override {
        CTrack* one = NewTrack(0);
        CBlock* notes = AddBlock(one, 0, 3840);
        notes->InsertEvent(NewNote(0, 60, 480));
        notes->InsertEvent(NewNote(960, 62, 480));
        CTrack* two = NewTrack(1);
        AddBlock(two, 0, 3840)->InsertEvent(NewEvent(ControlInfo(0, 7, 100)));
        CBlock* link = AddBlock(two, 3840, 7680, BLOCK_KIND_LINK);
        BlockInfo info = link->GetInfo();
        info.RefTrack = reinterpret_cast<POSITION>(uintptr_t(1));  // the track's index until installed
        info.RefBlock = one->GetBlockList().GetHeadPosition();
        link->SetInfo(info, 0);
        Install(m_Doc, {NewConductor(), one, two});
        m_Host = m_Doc.GetHostInterface();
        ASSERT_NE(m_Host, nullptr);
        ASSERT_EQ(m_Host->Lock(1, u"edit"), S_OK);
    }
    void TearDown() override { m_Host->Unlock(1); }

    POSITION Track(int i) const { return TrackPos(m_Doc, i); }
    POSITION Block(int t, int b) const { return BlockPos(m_Doc, t, b); }
    POSITION FirstEvent(int t, int b) const { return BlockOf(m_Doc, t, b)->GetEventList().GetHeadPosition(); }

    // An event of track 2's block that was inserted and removed again.
    POSITION RemovedEvent() {
        POSITION ids[MP_ID_COUNT] = {Track(2), Block(2, 0), nullptr};
        tagMPEVENT cc = ShortRecord(MPEVENT_KIND_CONTROL, 10, 10, 64);
        EXPECT_EQ(m_Host->Insert(ids, MP_LEVEL_EVENT, &cc), S_OK);
        EXPECT_EQ(m_Host->Remove(MP_LEVEL_EVENT, ids), S_OK);
        return ids[MP_ID_EVENT];
    }

    // Tracks, blocks and events with their times and selection marks.
    std::string Song() const {
        std::string out;
        for (POSITION t = m_Doc.GetTrackList().GetHeadPosition(); t;) {
            const CTrack* track = m_Doc.GetTrackList().GetNext(t);
            out += "track " + std::to_string(track->GetInfo().Channel) + "\n";
            for (POSITION b = track->GetBlockList().GetHeadPosition(); b;) {
                const CBlock* block = track->GetBlockList().GetNext(b);
                out += " block " + std::to_string(block->GetInfo().Start) + ".." + std::to_string(block->GetInfo().End) +
                       "\n";
                for (POSITION e = block->GetEventList().GetHeadPosition(); e;) {
                    const bool selected = m_Doc.IsEventSelected(e) != 0;
                    const SongEventInfo& info = block->GetEventList().GetNext(e)->GetInfo();
                    out += "  " + std::to_string(info.Kind) + "@" + std::to_string(info.Time) + " " +
                           std::to_string(info.Data1) + (selected ? " selected" : "") + "\n";
                }
            }
        }
        return out;
    }

    CPhrasorDoc m_Doc;
    CKPSManager* m_Host = nullptr;
};

// One call of the host interface with an event position at track t, block b.
using EventCall = std::function<HRESULT(CKPSManager&, POSITION* ids)>;

struct EventCallCase {
    const char* name;
    EventCall call;
};

const EventCallCase kEventCalls[] = {
    {"Get", [](CKPSManager& h, POSITION* ids) {
         tagMPEVENT e;
         return h.Get(ids, MP_LEVEL_EVENT, &e, 0);
     }},
    {"GetNext", [](CKPSManager& h, POSITION* ids) {
         tagMPEVENT e;
         POSITION next = ids[MP_ID_EVENT];
         return h.GetNext(ids, MP_LEVEL_EVENT, &e, &next, MP_MASK_ALL_EVENTS);
     }},
    {"GetPrev", [](CKPSManager& h, POSITION* ids) {
         tagMPEVENT e;
         POSITION next = ids[MP_ID_EVENT];
         return h.GetPrev(ids, MP_LEVEL_EVENT, &e, &next, MP_MASK_ALL_EVENTS);
     }},
    {"Modify", [](CKPSManager& h, POSITION* ids) {
         tagMPEVENT e = ShortRecord(MPEVENT_KIND_CONTROL, 5, 11, 1);
         return h.Modify(ids, MP_LEVEL_EVENT, &e, 0xFFFF);
     }},
    {"Modify the selection", [](CKPSManager& h, POSITION* ids) {
         tagMPEVENT e = ShortRecord(MPEVENT_KIND_CONTROL, 5, 11, 1);
         e.Flags = MPEVENT_FLAG_SELECTED;
         return h.Modify(ids, MP_LEVEL_EVENT, &e, MP_FIELD_SELECTION);
     }},
    {"Remove", [](CKPSManager& h, POSITION* ids) { return h.Remove(MP_LEVEL_EVENT, ids); }},
};

}  // namespace

TEST_F(StalePositions, EventPositionsThatAreNotLiveEventsOfTheBlock) {
    struct PositionCase {
        const char* what;
        std::function<void(StalePositions&, POSITION* ids)> make;
    };
    const PositionCase positions[] = {
        {"an event removed before",
         [](StalePositions& s, POSITION* ids) {
             ids[MP_ID_TRACK] = s.Track(2);
             ids[MP_ID_BLOCK] = s.Block(2, 0);
             ids[MP_ID_EVENT] = s.RemovedEvent();
         }},
        {"an event of another block",
         [](StalePositions& s, POSITION* ids) {
             ids[MP_ID_TRACK] = s.Track(2);
             ids[MP_ID_BLOCK] = s.Block(2, 0);
             ids[MP_ID_EVENT] = s.FirstEvent(1, 0);
         }},
        {"an event of another block through a link block",
         [](StalePositions& s, POSITION* ids) {
             ids[MP_ID_TRACK] = s.Track(2);
             ids[MP_ID_BLOCK] = s.Block(2, 1);
             ids[MP_ID_EVENT] = s.FirstEvent(2, 0);
         }},
        {"a live event under a block removed before",
         [](StalePositions& s, POSITION* ids) {
             POSITION block[MP_ID_COUNT] = {s.Track(2), nullptr, nullptr};
             _MPBLOCKINFO info;
             ResetMPBlockInfo(info);
             info.Start = 7680;
             info.End = 9600;
             EXPECT_EQ(s.m_Host->Insert(block, MP_LEVEL_BLOCK, &info), S_OK);
             EXPECT_EQ(s.m_Host->Remove(MP_LEVEL_BLOCK, block), S_OK);
             ids[MP_ID_TRACK] = s.Track(2);
             ids[MP_ID_BLOCK] = block[MP_ID_BLOCK];
             ids[MP_ID_EVENT] = s.FirstEvent(2, 0);
         }},
    };
    for (const PositionCase& p : positions) {
        for (const EventCallCase& c : kEventCalls) {
            POSITION ids[MP_ID_COUNT] = {};
            p.make(*this, ids);
            const std::string before = Song();
            const POSITION given[MP_ID_COUNT] = {ids[0], ids[1], ids[2]};
            EXPECT_EQ(c.call(*m_Host, ids), MP_E_BADPOSITION) << c.name << ": " << p.what;
            EXPECT_EQ(Song(), before) << c.name << ": " << p.what;
            EXPECT_EQ(ids[MP_ID_EVENT], given[MP_ID_EVENT]) << c.name << ": " << p.what;
        }
    }
    // The live events still answer through the block and through the link block.
    for (int block = 0; block < 2; ++block) {
        POSITION ids[MP_ID_COUNT] = {Track(block ? 2 : 1), block ? Block(2, 1) : Block(1, 0), FirstEvent(1, 0)};
        tagMPEVENT e;
        ASSERT_EQ(m_Host->Get(ids, MP_LEVEL_EVENT, &e, 0), S_OK);
        EXPECT_EQ(e.Data1, 60);
    }
}

TEST_F(StalePositions, InsertNeedsLiveTrackAndBlockPositions) {
    // A block and a track that were in the song.
    POSITION gone[MP_ID_COUNT] = {Track(2), nullptr, nullptr};
    _MPBLOCKINFO blockInfo;
    ResetMPBlockInfo(blockInfo);
    blockInfo.Start = 7680;
    blockInfo.End = 9600;
    ASSERT_EQ(m_Host->Insert(gone, MP_LEVEL_BLOCK, &blockInfo), S_OK);
    ASSERT_EQ(m_Host->Remove(MP_LEVEL_BLOCK, gone), S_OK);
    POSITION goneTrack[MP_ID_COUNT] = {};
    _MPTRACKINFO trackInfo;
    ResetMPTrackInfo(trackInfo);
    trackInfo.Number = 3;
    ASSERT_EQ(m_Host->Insert(goneTrack, MP_LEVEL_TRACK, &trackInfo), S_OK);
    ASSERT_EQ(m_Host->Remove(MP_LEVEL_TRACK, goneTrack), S_OK);

    struct InsertCase {
        const char* what;
        LONG level;
        POSITION track, block;
    };
    const InsertCase cases[] = {
        {"an event into a block removed before", MP_LEVEL_EVENT, Track(2), gone[MP_ID_BLOCK]},
        {"an event into a block of another track", MP_LEVEL_EVENT, Track(2), Block(1, 0)},
        {"an event into a track removed before", MP_LEVEL_EVENT, goneTrack[MP_ID_TRACK], Block(2, 0)},
        {"a block into a track removed before", MP_LEVEL_BLOCK, goneTrack[MP_ID_TRACK], nullptr},
    };
    const std::string before = Song();
    for (const InsertCase& c : cases) {
        POSITION ids[MP_ID_COUNT] = {c.track, c.block, nullptr};
        tagMPEVENT event = ShortRecord(MPEVENT_KIND_CONTROL, 0, 7, 1);
        const void* record = c.level == MP_LEVEL_EVENT ? static_cast<const void*>(&event) : &blockInfo;
        EXPECT_EQ(m_Host->Insert(ids, c.level, record), MP_E_BADPOSITION) << c.what;
        EXPECT_EQ(Song(), before) << c.what;
    }
    // The event slot is output only: whatever it holds, a live block takes the event.
    POSITION ids[MP_ID_COUNT] = {Track(2), Block(2, 0), FirstEvent(1, 0)};
    tagMPEVENT event = ShortRecord(MPEVENT_KIND_CONTROL, 0, 7, 1);
    EXPECT_EQ(m_Host->Insert(ids, MP_LEVEL_EVENT, &event), S_OK);
    EXPECT_EQ(BlockOf(m_Doc, 2, 0)->GetEventCount(), 2);
}
