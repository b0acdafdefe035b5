// The conversion driver over songs loaded from SMF bytes: a whole channel
// converted, failures reported per channel, the timelines per channel, the
// port names and the registrations.
#include "driver/PhrasorProc.h"

#include <gtest/gtest.h>

#include "PhrasorProcFixture.h"
#include "driver/ArticCoreMN.h"
#include "driver/ArticEditorMgr.h"
#include "driver/ArticErr.h"
#include "driver/ArticPref.h"
#include "driver/ArticProc.h"

namespace {

using phrasorproctest::At;
using phrasorproctest::Bytes;
using phrasorproctest::Cat;
using phrasorproctest::ProcRun;

// A tempo at 0; channel 2: notes 60 and 62 from bar 2; channel 5: notes 50 and 52.
const Bytes kPhrasorProcSong = smftest::Smf0(Cat({
    At(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}), At(3840, {0x92, 60, 100}), At(40, {0x95, 50, 100}),
    At(240, {0x85, 50, 0}), At(200, {0x82, 60, 0}), At(40, {0x95, 52, 100}), At(240, {0x85, 52, 0}),
    At(200, {0x92, 62, 90}), At(480, {0x82, 62, 0}),
}));

const char* const kPhrasorProcKeyUp[] = {"#set:1", "#prob:1", "#exp1:CArticExpKeySft( 1{_thisEvnt}, 12)"};

TEST(PhrasorProcConvert, OneSetKeyShiftConvertsTheChannelOnly) {
    ProcRun r;
    r.Script({kPhrasorProcKeyUp[0], kPhrasorProcKeyUp[1], kPhrasorProcKeyUp[2]});
    ASSERT_EQ(r.Load(kPhrasorProcSong), 1);
    const auto other = r.Events(r.TrackOfCh(5));
    EXPECT_EQ(r.Channel(kPhrasorProcSong, 2), CPhrasorProc::kFailNone) << r.proc.GetFailReason().str();
    EXPECT_EQ(r.proc.IsFailed(), 0);
    EXPECT_STREQ(r.proc.GetFailReason(), "");
    EXPECT_STREQ(r.proc.GetMessage(), "");
    EXPECT_EQ(r.proc.GetConvertPending(), 0);
    EXPECT_EQ(r.proc.GetLoadPending(), 0);
    EXPECT_EQ(r.Keys(2), (std::vector<int>{72, 74}));
    const auto now = r.Events(r.TrackOfCh(5));
    ASSERT_EQ(now.size(), other.size());
    for (size_t i = 0; i < now.size(); ++i) {
        EXPECT_EQ(now[i].kind, other[i].kind) << i;
        EXPECT_EQ(now[i].d1, other[i].d1) << i;
        EXPECT_EQ(now[i].d2, other[i].d2) << i;
    }
    // The target voice is set before the first note of the channel.
    const auto events = r.Events(r.TrackOfCh(2));
    ASSERT_FALSE(r.Notes(2).empty());
    const INT64 firstNote = r.Notes(2).front().time;
    int msb = -1, lsb = -1, program = -1;
    for (const auto& e : events) {
        if (e.time >= firstNote) break;
        if (e.kind == MPEVENT_KIND_CONTROL && e.d1 == 0) msb = e.d2;
        if (e.kind == MPEVENT_KIND_CONTROL && e.d1 == 32) lsb = e.d2;
        if (e.kind == MPEVENT_KIND_PROGRAM) program = e.d1;
    }
    EXPECT_EQ(msb, 8);
    EXPECT_EQ(lsb, 0);
    EXPECT_EQ(program, 25);
    // The registrations are gone when Convert ends.
    EXPECT_EQ(CArticEditorUtil::GetView(), nullptr);
    EXPECT_EQ(CArticEditorUtil::GetEditorMgr(), nullptr);
    EXPECT_EQ(CArticEditorUtil::GetPref(), nullptr);
}

}  // namespace
