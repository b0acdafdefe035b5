#include "driver/DelGrace.h"

#include <gtest/gtest.h>

#include <vector>

#include "BridgeFixture.h"
#include "engine/work/WorkFixture.h"

namespace {

struct GraceNote {
    INT64 time;
    INT64 gate;
};

// The graced flags after the pass over one block of the notes.
std::vector<LONG> Marked(const std::vector<GraceNote>& notes, int resolution, LONG selected = 1) {
    CArticPref pref;
    pref.GetSetting()->SetDelGrace(1);
    bridgetest::TestView view;
    view.pref = &pref;
    view.resolution = resolution;
    CArticBridgeGuard guard(&view, nullptr, &pref);
    CArticWrk wrk;
    CArticWrkBlk* blk = wrktest::AddBlock(wrktest::AddTrack(wrk, 1, selected));
    ULONG no = 1;
    for (const GraceNote& n : notes) wrktest::AddNote(blk, no++, n.time, 60, n.gate);
    wrktest::AddCc(blk, no++, 5, 7, 100);  // other events do not break a cluster
    EXPECT_EQ(CArticEditorUtil::DelGrace(&wrk), 0);
    EXPECT_EQ(blk->GetCount(), int(notes.size()) + 1);  // nothing deleted
    std::vector<LONG> marks;
    for (POSITION p = blk->GetHeadPos(); p;) {
        const CArticWrkEvnt* e = blk->GetNext(p);
        if (e->GetStatus() == 0x90) marks.push_back(e->GetGraced());
    }
    return marks;
}

TEST(DelGrace, ClustersWithAShortNoteAreMarked) {
    struct Case {
        std::vector<GraceNote> notes;
        int resolution;
        std::vector<LONG> marks;
    };
    const Case kCases[] = {
        {{{0, 30}, {90, 480}}, 480, {1, 1}},               // window 96
        {{{0, 30}, {96, 480}}, 480, {1, 1}},
        {{{0, 30}, {97, 480}}, 480, {0, 0}},               // two clusters of one
        {{{0, 30}, {48, 480}}, 240, {1, 1}},               // window 48
        {{{0, 30}, {49, 480}}, 240, {0, 0}},
        {{{0, 60}, {10, 100}}, 480, {0, 0}},               // 60 is not below 100 x 0.5
        {{{0, 70}, {10, 480}}, 480, {0, 0}},               // 70 is not below 70
        {{{0, 480}, {0, 480}, {0, 480}}, 480, {0, 0, 0}},  // a chord
        {{{0, 30}, {50, 480}, {960, 480}}, 480, {1, 1, 0}},
    };
    for (const Case& c : kCases) EXPECT_EQ(Marked(c.notes, c.resolution), c.marks) << c.notes.size() << " " << c.resolution;
    EXPECT_EQ(Marked({{0, 30}, {90, 480}}, 480, 0), (std::vector<LONG>{0, 0}));  // track not selected
}

TEST(DelGrace, SwitchAndMissingInput) {
    CArticWrk wrk;
    EXPECT_EQ(CArticEditorUtil::DelGrace(&wrk), 0);  // no driver
    CArticPref pref;
    bridgetest::TestView view;
    view.pref = &pref;
    CArticBridgeGuard guard(&view, nullptr, &pref);
    pref.GetSetting()->SetDelGrace(0);
    EXPECT_EQ(CArticEditorUtil::DelGrace(&wrk), 1);  // the preference is off
    pref.GetSetting()->SetDelGrace(1);
    EXPECT_EQ(CArticEditorUtil::DelGrace(nullptr), 1);
    CDelGrace pass;
    EXPECT_EQ(pass.GetMergine(), 20);
    EXPECT_EQ(pass.GetMaxGraceRatio(), 0.4);
    EXPECT_EQ(pass.DelGrace(), 1);
}

}  // namespace
