// Which voice a conversion writes for the target when single events, not
// blocks, are selected. A selection of events converts those events in place
// inside their block: no voice is generated ahead of them (that would change
// the sound of the block's unselected events as well), and a voice event of
// the song reaches the output with the target's voice only when it is itself
// selected. Blocks generate the target's bank select and program.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "PhrasorProcFixture.h"
#include "driver/ArticProc.h"

namespace {

using phrasorproctest::At;
using phrasorproctest::Bytes;
using phrasorproctest::Cat;
using phrasorproctest::ProcRun;

// The song kProcSong with program 40 set on channel 2 at the start.
const Bytes kEvModeProgramSong = smftest::Smf0(Cat({
    At(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}), At(0, {0xC2, 40}), At(3840, {0x92, 60, 100}),
    At(40, {0x95, 50, 100}), At(240, {0x85, 50, 0}), At(200, {0x82, 60, 0}), At(40, {0x95, 52, 100}),
    At(240, {0x85, 52, 0}), At(200, {0x92, 62, 90}), At(480, {0x82, 62, 0}),
}));

enum class EvModeSel { Block, Notes, NotesAndProgram };

// (kind, first data byte, second data byte) of a bank select or program change.
using EvModeVoice = std::tuple<DWORD, int, int>;

struct EvModeCase {
    const char* what;
    const Bytes* song;
    EvModeSel sel;
    std::vector<EvModeVoice> voice;  // before the first note, in song order
};

// Selects channel 2's block as the core does, or only some of its events.
void EvModeSelect(ProcRun& r, const Bytes& song, EvModeSel sel) {
    if (sel == EvModeSel::Block) {
        r.Prepare(song, 2);
        return;
    }
    r.Prepare(song, 16);  // no such channel: no block selected
    r.Prm().Channel = 2;
    const POSITION trk = r.TrackOfCh(2);
    ASSERT_NE(trk, nullptr);
    for (POSITION blk : r.Blocks(trk))
        for (POSITION ev : r.Events(trk, blk)) {
            tagMPEVENT e{};
            ASSERT_EQ(CArticHostWalk::GetEvnt(r.Host(), trk, blk, ev, &e), 0);
            const bool take =
                e.Kind == MPEVENT_KIND_NOTE || (sel == EvModeSel::NotesAndProgram && e.Kind == MPEVENT_KIND_PROGRAM);
            CArticHostWalk::FreeMem(e);
            if (take) r.SelectEvent(trk, blk, ev);
        }
}

TEST(EvModeVoice, EventSelectionWritesOnlySelectedVoiceEventsAsTheTarget) {
    constexpr DWORD kCc = MPEVENT_KIND_CONTROL;
    constexpr DWORD kPc = MPEVENT_KIND_PROGRAM;
    const EvModeCase cases[] = {
        {"block, no voice in the song", &phrasorproctest::kProcSong, EvModeSel::Block, {{kCc, 0, 8}, {kCc, 32, 0}, {kPc, 25, 0}}},
        {"block, the song's program replaced", &kEvModeProgramSong, EvModeSel::Block,
         {{kCc, 0, 8}, {kCc, 32, 0}, {kPc, 25, 0}}},
        {"events, no voice in the song", &phrasorproctest::kProcSong, EvModeSel::Notes, {}},
        {"events, the song's unselected program kept", &kEvModeProgramSong, EvModeSel::Notes, {{kPc, 40, 0}}},
        {"events, the selected program becomes the target's", &kEvModeProgramSong, EvModeSel::NotesAndProgram,
         {{kPc, 25, 0}}},
    };
    for (const EvModeCase& c : cases) {
        SCOPED_TRACE(c.what);
        ProcRun r;
        r.Script({"#set:1", "#prob:1", "#exp1:CArticExpKeySft( 1{_thisEvnt}, 12)"});
        EvModeSelect(r, *c.song, c.sel);
        ASSERT_EQ(r.ConvertLoaded(), CPhrasorProc::kFailNone) << r.proc.GetFailReason().str();
        EXPECT_EQ(r.proc.GetArticProc()->GetSelMode(),
                  c.sel == EvModeSel::Block ? CPhrasorProc::kSelBlock : CPhrasorProc::kSelEvent);
        // The notes are converted in either mode, where they were.
        ASSERT_EQ(r.Keys(2), (std::vector<int>{72, 74}));
        EXPECT_EQ(r.Notes(2).front().time, 3840);
        // Events are written back into their own block: no block is added.
        EXPECT_EQ(r.Blocks(r.TrackOfCh(2)).size(), 1u);
        std::vector<EvModeVoice> voice;
        for (const auto& e : r.SongEvents(r.TrackOfCh(2))) {
            if (e.time >= 3840) break;
            if ((e.kind == kCc && (e.d1 == 0 || e.d1 == 32)) || e.kind == kPc) voice.emplace_back(e.kind, e.d1, e.d2);
        }
        EXPECT_EQ(voice, c.voice);
    }
}

}  // namespace
