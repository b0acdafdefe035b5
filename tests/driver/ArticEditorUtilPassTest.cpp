#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "BridgeFixture.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpCreNote.h"
#include "engine/work/ArticWrkCond.h"
#include "engine/work/WorkFixture.h"

namespace {

using bridgetest::At;
using bridgetest::BridgeSong;
using bridgetest::PosList;
using bridgetest::TestView;

// status, number, time of every event of a block.
using PassRow = std::tuple<int, int, INT64>;
std::vector<PassRow> PassRows(const CArticWrkBlk* blk) {
    std::vector<PassRow> rows;
    for (POSITION p = blk->GetHeadPos(); p;) {
        const CArticWrkEvnt* e = blk->GetNext(p);
        rows.emplace_back(e->GetStatus(), e->GetStatus() == 0xFF ? e->GetMetaType() : e->GetPost1(), e->GetTime());
    }
    return rows;
}

CArticWrkEvnt* AddStatus(CArticWrkBlk* blk, ULONG no, BYTE status, INT64 time, BYTE post1 = 0, BYTE post2 = 0) {
    CArticWrkEvnt* e = wrktest::NewEvnt(blk, no, status, time, post1, post2, status == 0x90 ? 100 : 0);
    blk->Sort(e, 1);
    return e;
}

// Master track 0 and the part tracks 1 (selected) and 2 (not), with a
// registered driver and an editor manager whose first note-on time is 100.
struct PassWork {
    CArticWrk wrk;
    CArticPref pref;
    TestView view;
    CArticEditorMgr mgr;
    CArticWrkBlk* master = wrktest::AddBlock(wrktest::AddTrack(wrk, 0, 0));
    CArticWrkBlk* part = wrktest::AddBlock(wrktest::AddTrack(wrk, 1, 1, 2));
    CArticWrkBlk* other = wrktest::AddBlock(wrktest::AddTrack(wrk, 2, 0, 3));

    explicit PassWork(int kind = 4, BYTE kindFlag = 0) {
        view.pref = &pref;
        view.kind = kind;
        view.kindFlag = kindFlag;
        mgr.SetFirstNoteOnTime(100);
        CArticEditorUtil::SetView(&view);
        CArticEditorUtil::SetEditorMgr(&mgr);
        ULONG no = 1;
        AddStatus(part, no++, 0x90, 100, 60);
        AddStatus(part, no++, 0xC0, 100, 5);   // at the first note-on time
        AddStatus(part, no++, 0xC0, 200, 6);   // after it
        AddStatus(part, no++, 0xB0, 200, 73, 1);
        AddStatus(part, no++, 0xB0, 200, 74, 1);
        AddStatus(part, no++, 0xB0, 200, 65, 1);
        AddStatus(part, no++, 0xB0, 200, 7, 1);
        AddStatus(other, no++, 0x90, 50, 62);
        AddStatus(other, no++, 0xB0, 300, 7, 1);
        wrktest::AddBeat(master, no++, 0, 4, 2, 1);
    }
    ~PassWork() { CArticEditorUtil::Reset(); }
};

TEST(ArticEditorUtilPass, DelWrkModByCategory) {
    struct Case {
        int kind;
        BYTE flag;
        std::vector<PassRow> part;
    };
    const Case kCases[] = {
        {4, 0, {{0x90, 60, 100}, {0xC0, 6, 200}, {0xB0, 74, 200}, {0xB0, 7, 200}}},  // tenor saxophone
        {4, 1, {{0x90, 60, 100}, {0xC0, 6, 200}, {0xB0, 7, 200}}},                   // second flag: cutoff too
        {5, 0, {{0x90, 60, 100}, {0xC0, 6, 200}, {0xB0, 7, 200}}},                   // choir
        {0, 0, {{0x90, 60, 100}, {0xC0, 6, 200}, {0xB0, 73, 200}, {0xB0, 74, 200}, {0xB0, 7, 200}}},
    };
    for (const Case& c : kCases) {
        PassWork w(c.kind, c.flag);
        ASSERT_EQ(CArticEditorUtil::DelWrkMod(&w.wrk), 0);
        EXPECT_EQ(PassRows(w.part), c.part) << c.kind << " " << int(c.flag);
        EXPECT_EQ(PassRows(w.other), (std::vector<PassRow>{{0x90, 62, 50}}));  // not selected: notes only
        EXPECT_EQ(w.master->GetCount(), 1);
    }
    CArticEditorUtil::Reset();
    CArticWrk empty;
    EXPECT_EQ(CArticEditorUtil::DelWrkMod(&empty), 1);  // no editor manager
}

TEST(ArticEditorUtilPass, DelWrkPBLeavesNotes) {
    PassWork w;
    w.part->Get(2)->SetVceSet(1);  // the voice-set events stay
    ASSERT_EQ(CArticEditorUtil::DelWrkPB(&w.wrk), 0);
    EXPECT_EQ(PassRows(w.part), (std::vector<PassRow>{{0x90, 60, 100}, {0xC0, 6, 200}}));
    EXPECT_EQ(PassRows(w.other), (std::vector<PassRow>{{0x90, 62, 50}}));
    EXPECT_EQ(PassRows(w.master), (std::vector<PassRow>{{0xFF, 0x58, 0}}));
    EXPECT_EQ(CArticEditorUtil::DelWrkPB(nullptr), 1);
}

TEST(ArticEditorUtilPass, BendDataMovesToTheSelectedTrackOfItsChannel) {
    CArticWrk wrk;
    wrktest::AddBlock(wrktest::AddTrack(wrk, 0, 0));
    CArticWrkBlk* part = wrktest::AddBlock(wrktest::AddTrack(wrk, 1, 1, 2));
    CArticWrkBlk* twin = wrktest::AddBlock(wrktest::AddTrack(wrk, 2, 0, 2));
    CArticWrkBlk* stranger = wrktest::AddBlock(wrktest::AddTrack(wrk, 3, 0, 5));
    AddStatus(part, 1, 0x90, 0, 60);
    AddStatus(part, 2, 0x90, 100, 62);
    AddStatus(twin, 3, 0xE0, 50, 0, 80);
    AddStatus(twin, 4, 0xB0, 40, 7, 1);  // not bend data
    AddStatus(stranger, 5, 0xE0, 60, 0, 70);
    CArticEditorUtil::MovePbEvnt(&wrk);
    EXPECT_EQ(PassRows(part), (std::vector<PassRow>{{0x90, 60, 0}, {0xE0, 0, 50}, {0x90, 62, 100}}));
    EXPECT_EQ(PassRows(twin), (std::vector<PassRow>{{0xB0, 7, 40}}));
    EXPECT_EQ(PassRows(stranger), (std::vector<PassRow>{{0xE0, 0, 60}}));
    CArticWrkTrk* sel[16] = {};
    EXPECT_EQ(CArticEditorUtil::GetSelTrk(&wrk, sel, 16), 1);
    EXPECT_EQ(sel[0]->GetTrkNo(), 1u);
}

TEST(ArticEditorUtilPass, BendRangeSettingsMoveToTheirPart) {
    BridgeSong song;
    ASSERT_EQ(song.Load(smftest::Smf0(At(0, {0x90, 60, 100}))), 1);
    song.FillPrefPorts();
    // Part byte 0x13: channel 3 on the port of address 1 (port number 1).
    auto run = [&](bool withTarget, int extraTracks) {
        CArticWrk wrk;
        wrktest::AddBlock(wrktest::AddTrack(wrk, 0, 0));
        CArticWrkBlk* found = wrktest::AddBlock(wrktest::AddTrack(wrk, 1, 1, 0, 0));
        CArticWrkBlk* target = withTarget ? wrktest::AddBlock(wrktest::AddTrack(wrk, 2, 1, 3, 1)) : nullptr;
        for (int i = 0; i < extraTracks; ++i) wrktest::AddBlock(wrktest::AddTrack(wrk, ULONG(10 + i), 1, 0, 0));
        CArticWrkEvnt* e = wrktest::NewEvnt(found, 1, 0xF0, 20);
        const BYTE data[] = {0x43, 0x10, 0x4C, 0x08, 0x13, 0x23, 76, 0xF7};
        e->SetSys(data, sizeof data);
        found->Sort(e, 1);
        EXPECT_EQ(found->SetCondPosMulti(e, 127, 127), 0);
        const int rc = CArticEditorUtil::ReassignPartPrmInWrkCond(&wrk);
        return std::make_tuple(rc, found->GetCond()->GetPbRangeList()->GetCount(),
                               target ? target->GetCond()->GetPbRangeList()->GetCount() : -1);
    };
    EXPECT_EQ(run(true, 0), std::make_tuple(0, 0, 1));
    EXPECT_EQ(run(false, 0), std::make_tuple(0, 0, -1));   // no such part: deleted
    EXPECT_EQ(run(true, 11), std::make_tuple(1, 1, 0));    // 13 part tracks: nothing changes
}

TEST(ArticEditorUtilPass, VoiceSetOutputTakesTheCapturedVoiceOutOfTheSong) {
    BridgeSong song;
    ASSERT_EQ(song.Load(smftest::Smf0(bridgetest::At(960, {0x92, 60, 100}))), 1);
    song.FillPrefPorts();
    CPHConvPrm prm;
    song.view.prm = &prm;
    const POSITION trk = song.TrackOfCh(2);
    const POSITION blk = song.Blocks(trk).at(0);
    const POSITION kv = song.InsertBytes(trk, blk, MPEVENT_KIND_SYSEX, 0, {0x43, 0x10, 0x4C, 0x08, 0x02, 0x03, 40, 0xF7});
    CPgBsel voices(song.Host());
    auto* captured = new CPgBselEvnt(CPgBselEvnt::kProgram, 0, 40);
    captured->SetEventIDs(trk, blk, kv);
    voices.InsertEvnt(captured);
    song.view.pgBsel = &voices;
    PosList sel;
    sel.Add(trk, blk);
    song.SelectBlockInSong(trk, blk);
    ASSERT_EQ(song.mgr.SetSelectBlkPosList(song.Host(), &sel.list), 0);
    ASSERT_EQ(song.mgr.SetBlkPosList(), 0);
    CArticWrk wrk;
    ASSERT_EQ(CArticEditorUtil::CreateWrkBlk(&wrk), 0);
    ASSERT_EQ(wrk.GetCount(), 2);
    EXPECT_EQ(CArticEditorUtil::ProcVceSet(&wrk, prm, 1), 0);
    EXPECT_EQ(song.Events(trk, blk).size(), 1u);  // the note; the exclusive is gone
    EXPECT_EQ(song.mgr.GetMpLock(), nullptr);

    // Nothing written: 1.
    CArticWrk bare;
    wrktest::AddBlock(wrktest::AddTrack(bare, 0, 0));
    EXPECT_EQ(CArticEditorUtil::ProcVceSet(&bare, prm, 1), 1);
    CArticWrk noBlock;
    wrktest::AddTrack(noBlock, 0, 0);
    wrktest::AddTrack(noBlock, 1, 1);
    EXPECT_EQ(CArticEditorUtil::ProcVceSet(&noBlock, prm, 1), 1);
}

TEST(ArticEditorUtilPass, ExpressionSkeletonMirrorsAndKeepsNumbers) {
    CArticWrk wrk;
    CArticWrkTrk* t0 = wrktest::AddTrack(wrk, 0, 0, 0xFFFFFFFE, 0xFFFFFFFF);
    wrktest::AddBlock(t0);
    CArticWrkTrk* t1 = wrktest::AddTrack(wrk, 1, 0, 2, 1);
    wrktest::AddBlock(t1, 0);
    wrktest::AddBlock(t1, 1);
    CArticWrkTrk* t2 = wrktest::AddTrack(wrk, 2, 1, 4, 0);
    wrktest::AddBlock(t2);
    CArticWrkTrk* t3 = wrktest::AddTrack(wrk, 3, 1, 5, 0);
    wrktest::AddBlock(t3);
    CArticExp exp;
    ASSERT_EQ(CArticEditorUtil::CreExpFromWrk(&wrk, &exp), 0);
    ASSERT_EQ(exp.GetCount(), 4);
    for (int i = 0; i < 4; ++i) {
        const CArticExpTrk* e = exp.Get(i);
        const CArticWrkTrk* w = wrk.Get(i);
        EXPECT_EQ(e->GetTrkNo(), w->GetTrkNo());
        EXPECT_EQ(e->GetCh(), w->GetCh());
        EXPECT_EQ(e->GetPort(), w->GetPort());
        EXPECT_EQ(e->GetWrkTrk(), w);
        ASSERT_EQ(e->GetCount(), w->GetCount());
        for (int j = 0; j < e->GetCount(); ++j) {
            EXPECT_EQ(e->Get(j)->GetBlkNo(), w->Get(j)->GetBlkNo());
            EXPECT_EQ(e->Get(j)->GetWrkBlk(), w->Get(j));
        }
    }
    EXPECT_EQ(CArticEditorUtil::CreExpFromWrk(nullptr, &exp), 1);

    // Kept 0, 2, 3: the set with a gap keeps its numbers, links, blocks and expressions.
    exp.Get(3)->Get(0)->AddTail(new CArticExpDel(exp.Get(3)->Get(0), 5, nullptr));
    ASSERT_EQ(CArticEditorUtil::DeleteExpTrkNonSel(&wrk, &exp), 0);
    ASSERT_EQ(exp.Get(2)->Get(0)->GetCount(), 1);
    CArticPos* place = nullptr;
    EXPECT_EQ(exp.GetEvntPos(exp.Get(2)->Get(0)->Get(0), &place), 0);  // numbered in the rebuilt data
    std::vector<ULONG> numbers;
    for (int i = 0; i < exp.GetCount(); ++i) numbers.push_back(exp.Get(i)->GetTrkNo());
    EXPECT_EQ(numbers, (std::vector<ULONG>{0, 2, 3}));
    EXPECT_EQ(exp.Get(1)->GetCount(), 1);
    EXPECT_EQ(exp.Get(2)->GetWrkTrk(), t3);
    EXPECT_EQ(exp.Get(2)->GetCh(), 5u);
    EXPECT_EQ(exp.Get(2)->Get(0)->GetWrkBlk(), t3->Get(0));
    // 0, 1, 2.
    t1->SetSelTrk(1);
    ASSERT_EQ(CArticEditorUtil::CreExpFromWrk(&wrk, &exp), 0);
    EXPECT_EQ(exp.Get(1)->GetCount(), 2);
    t3->SetSelTrk(0);
    ASSERT_EQ(CArticEditorUtil::DeleteExpTrkNonSel(&wrk, &exp), 0);
    numbers.clear();
    for (int i = 0; i < exp.GetCount(); ++i) numbers.push_back(exp.Get(i)->GetTrkNo());
    EXPECT_EQ(numbers, (std::vector<ULONG>{0, 1, 2}));
}

}  // namespace
