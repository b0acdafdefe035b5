#include <gtest/gtest.h>

#include "engine/work/ArticPos.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrkCond.h"
#include "WorkFixture.h"

using namespace wrktest;

namespace {

struct BlockFixture : ::testing::Test {
    CArticWrk wrk;
    CArticWrkTrk* trk = AddTrack(wrk, 1);
    CArticWrkBlk* blk = AddBlock(trk);
};

}  // namespace

TEST_F(BlockFixture, SortPlacesNotesOfOneTimeByKeyButNeverBeforeANonNote) {
    AddNote(blk, 0, 0, 64);
    AddNote(blk, 1, 0, 60);
    AddNote(blk, 2, 0, 67);
    AddCc(blk, 3, 0, 7, 100);
    EXPECT_EQ(Keys(blk), (std::vector<int>{60, 64, 67, 0}));

    CArticWrkBlk* other = AddBlock(trk, 1);
    AddCc(other, 10, 0, 7, 100);
    AddNote(other, 11, 0, 64);
    AddNote(other, 12, 0, 60);
    AddNote(other, 13, 0, 67);
    EXPECT_EQ(Keys(other), (std::vector<int>{0, 60, 64, 67}));
}

TEST_F(BlockFixture, SortKeepsInsertionOrderOfEqualKeysAndAppendsLaterEvents) {
    AddNote(blk, 0, 0, 60);
    AddNote(blk, 1, 0, 60);
    AddNote(blk, 2, 480, 50);
    AddNote(blk, 3, 240, 70);
    EXPECT_EQ(Numbers(blk), (std::vector<ULONG>{0, 1, 3, 2}));
    // Every insertion recorded the event's list position.
    for (POSITION p = blk->GetHeadPos(); p;) {
        POSITION at = p;
        EXPECT_EQ(blk->GetNext(p)->GetPosEvnt(), at);
    }
}

TEST_F(BlockFixture, SortBeforeGoesAheadOfItsOwnTime) {
    for (ULONG i = 0; i < 4; ++i) blk->AddTail(NewEvnt(blk, i, 0xB0, i == 0 ? 0 : (i == 3 ? 960 : 480)), 1);
    CArticWrkEvnt* e = NewEvnt(blk, 9, 0xB0, 480);
    POSITION pos = blk->SortBefore(e, 1);
    EXPECT_EQ(pos, blk->GetPos(1));
    EXPECT_EQ(Numbers(blk), (std::vector<ULONG>{0, 9, 1, 2, 3}));
}

TEST_F(BlockFixture, MoveReplacesAnEventAfterItsTimeWithoutKeyRule) {
    AddNote(blk, 0, 0, 60);
    CArticWrkEvnt* moved = AddNote(blk, 1, 100, 50);
    AddNote(blk, 2, 480, 70);
    moved->SetTime(480, 0);
    ASSERT_NE(blk->Move(moved), nullptr);
    EXPECT_EQ(Numbers(blk), (std::vector<ULONG>{0, 2, 1}));
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(1u, 1), moved);
}

TEST_F(BlockFixture, RemoveUnlinksWithoutDeleting) {
    CArticWrkEvnt* a = AddNote(blk, 0, 0, 60);
    AddNote(blk, 1, 10, 61);
    blk->Remove(a, nullptr);
    EXPECT_EQ(blk->GetCount(), 1);
    EXPECT_EQ(a->GetPosEvnt(), nullptr);
    EXPECT_EQ(blk->Move(a), nullptr);  // no list position: nothing to move
    delete a;
}

TEST_F(BlockFixture, StartAndEndTime) {
    EXPECT_EQ(blk->GetStartTime(), kNoTime);
    EXPECT_EQ(blk->GetEndTime(), 0);
    AddNote(blk, 0, 100, 60, 50);
    AddCc(blk, 1, 400, 7, 1);
    EXPECT_EQ(blk->GetStartTime(), 100);
    EXPECT_EQ(blk->GetEndTime(), 400);
    AddNote(blk, 2, 380, 60, 100);
    EXPECT_EQ(blk->GetEndTime(), 480);
    EXPECT_EQ(blk->HaveNote(), 1);
}

TEST_F(BlockFixture, ConditionValuesWithNothingInForce) {
    _WRK_EVNT r;
    LONG a = -1, b = -1, c = -1;
    r.Status = 0x20;  // pitch-bend range
    EXPECT_EQ(blk->GetCondPos(r, 0, &a, &b, &c), 0);
    EXPECT_EQ(a, 2);
    r.Status = 0x90;
    a = b = -1;
    EXPECT_EQ(blk->GetCondPos(r, 0, &a, &b, &c), 1);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
    r.Status = 0xFF;
    r.MetaType = 0x58;
    EXPECT_EQ(blk->GetCondPos(r, 0, &a, &b, &c), 0);
    EXPECT_EQ(a, 4);
    EXPECT_EQ(b, 480);
    r.MetaType = 0x05;
    EXPECT_EQ(blk->GetCondPos(r, 0, &a, &b, &c), 1);
    r.Status = 0xB0;
    r.Post1 = 11;
    EXPECT_EQ(blk->GetCondPos(r, 0, &a, &b, &c), 0);
    EXPECT_EQ(a, 127);
}

TEST_F(BlockFixture, ConditionValuesInForce) {
    // Tempo without a time signature in force: 120 even with a tempo entry.
    CArticWrkEvnt* tempo = NewMeta(blk, 0, 0, 0x51, {0x07, 0xA1, 0x20});  // 500000 us per quarter
    blk->Sort(tempo, 1);
    EXPECT_EQ(blk->SetCondPos(tempo), 0);
    _WRK_EVNT tempoRec;
    tempoRec.Status = 0xFF;
    tempoRec.MetaType = 0x51;
    LONG a = 0, b = 0, c = 0;
    EXPECT_EQ(blk->GetCondPos(tempoRec, 100, &a, &b, &c), 0);
    EXPECT_EQ(a, 120);

    CArticWrkEvnt* beat = NewMeta(blk, 1, 0, 0x58, {6, 3, 12, 8});  // 6/8
    blk->Sort(beat, 1);
    blk->SetCondPos(beat);
    _WRK_EVNT beatRec;
    beatRec.Status = 0xFF;
    beatRec.MetaType = 0x58;
    EXPECT_EQ(blk->GetCondPos(beatRec, 100, &a, &b, &c), 0);
    EXPECT_EQ(a, 6);
    EXPECT_EQ(b, 240);
    // The tempo is now read with the 240-tick beat of the signature in force.
    BYTE tempoData[3] = {0x07, 0xA1, 0x20};
    WORD perEighth = 0, perQuarter = 0;
    CArticUtil::GetTempo(tempoData, 240, &perEighth);
    CArticUtil::GetTempo(tempoData, 480, &perQuarter);
    ASSERT_NE(perEighth, perQuarter);
    EXPECT_EQ(blk->GetCondPos(tempoRec, 100, &a, &b, &c), 0);
    EXPECT_EQ(a, perEighth);

    // A range set by RPN 0/0, by data entry after RPN 0/0 and by a KV part parameter.
    _WRK_EVNT range;
    range.Status = 0x20;
    CArticWrkEvnt* rpn = NewEvnt(blk, 2, 0x20, 480, 0, 0);
    rpn->SetPost3(12);
    blk->Sort(rpn, 1);
    blk->SetCondPos(rpn);
    CArticWrkEvnt* dataEntry = NewEvnt(blk, 3, 0xB0, 960, 6, 7);
    blk->Sort(dataEntry, 1);
    EXPECT_EQ(blk->SetCondPosMulti(dataEntry, 0, 1), 0);  // another RPN selected: no entry
    EXPECT_EQ(blk->GetCondPos(range, 960, &a, &b, &c), 0);
    EXPECT_EQ(a, 12);
    blk->SetCondPosMulti(dataEntry, 0, 0);
    EXPECT_EQ(blk->GetCondPos(range, 960, &a, &b, &c), 0);
    EXPECT_EQ(a, 7);
    const BYTE kv[] = {0x43, 0x10, 0x4C, 0x08, 0x00, 0x23, 0x4C, 0xF7};
    CArticWrkEvnt* sys = NewEvnt(blk, 4, 0xF0, 1440);
    sys->SetSys(kv, sizeof kv);
    blk->Sort(sys, 1);
    blk->SetCondPosMulti(sys, 0x7F, 0x7F);
    EXPECT_EQ(blk->GetCondPos(range, 1500, &a, &b, &c), 0);
    EXPECT_EQ(a, 0x4C - 64);

    // The last note and the next one.
    CArticWrkEvnt* n1 = AddNote(blk, 5, 100, 60, 10, 90);
    CArticWrkEvnt* n2 = AddNote(blk, 6, 700, 62, 10, 80);
    blk->SetCondPos(n1);
    blk->SetCondPos(n2);
    _WRK_EVNT noteRec;
    noteRec.Status = 0x90;
    EXPECT_EQ(blk->GetCondPos(noteRec, 500, &a, &b, &c), 0);
    EXPECT_EQ(a, 90);
    EXPECT_EQ(b, 100);
    EXPECT_EQ(blk->GetNextCondPos(noteRec, 500, &a, &b), 0);
    EXPECT_EQ(a, 80);
    EXPECT_EQ(b, 700);
    EXPECT_NE(blk->GetNextCondPos(noteRec, 700, &a, &b), 0);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
}

TEST_F(BlockFixture, ShortOrZeroSignatureDataIsNotUsed) {
    _WRK_EVNT beatRec;
    beatRec.Status = 0xFF;
    beatRec.MetaType = 0x58;
    CArticWrkEvnt* zero = NewMeta(blk, 0, 0, 0x58, {0, 2, 24, 8});
    blk->Sort(zero, 1);
    blk->SetCondPos(zero);
    LONG a = 0, b = 0, c = 0;
    EXPECT_EQ(blk->GetCondPos(beatRec, 0, &a, &b, &c), 0);
    EXPECT_EQ(a, 4);
    EXPECT_EQ(b, 480);
    CArticWrkEvnt* tempo = NewMeta(blk, 1, 0, 0x51, {0x07});  // one byte of three
    blk->Sort(tempo, 1);
    blk->SetCondPos(tempo);
    _WRK_EVNT tempoRec;
    tempoRec.Status = 0xFF;
    tempoRec.MetaType = 0x51;
    EXPECT_EQ(blk->GetCondPos(tempoRec, 0, &a, &b, &c), 0);
    EXPECT_EQ(a, 120);
}

TEST_F(BlockFixture, PositionArrayGrowsInStepsOfTwo) {
    auto* t1 = reinterpret_cast<POSITION>(uintptr_t(0x1000));
    auto* b1 = reinterpret_cast<POSITION>(uintptr_t(0x2000));
    EXPECT_EQ(blk->GetPosArray()->GetSize(), 2);
    blk->SetPos(t1, b1);
    blk->SetPos(t1, b1);
    EXPECT_EQ(blk->IsPos(t1, b1), 1);
    int records = 0;
    for (int i = 0; i < blk->GetPosArray()->GetSize(); ++i) records += blk->GetPosArray()->GetAt(i) != nullptr;
    EXPECT_EQ(records, 1);
    blk->SetPos(5, t1, nullptr);
    EXPECT_EQ(blk->GetPosArray()->GetSize(), 6);
    blk->SetPos(6, t1, nullptr);
    EXPECT_EQ(blk->GetPosArray()->GetSize(), 8);
    POSITION trkPos = nullptr, blkPos = b1;
    EXPECT_EQ(blk->GetPos(5, &trkPos, &blkPos), 1);
    EXPECT_EQ(trkPos, t1);
    EXPECT_EQ(blkPos, nullptr);
}

TEST_F(BlockFixture, BlockLine) {
    CArticWrkBlk named(trk, 3);
    named.SetPartMode(2);
    named.SetBlkName("Bass");
    named.SetPos(0, reinterpret_cast<POSITION>(uintptr_t(0x1a2b)), nullptr);
    CStringList list;
    EXPECT_EQ(named.GetStrList(list, 0, 0), 0);
    EXPECT_EQ(list.GetHead(), "BLK:3, DrumS1, name=\"Bass\", posTrk0=0x00001a2b");
}

TEST_F(BlockFixture, CopiesRegisterTheirEventsAndTheTimeline) {
    CArticWrkEvnt* note = AddNote(blk, 0, 0, 60);
    blk->SetCondPos(note);
    blk->SetPos(reinterpret_cast<POSITION>(uintptr_t(8)), nullptr);

    CArticWrkTrk* trk2 = AddTrack(wrk, 2);
    CArticWrkBlk* fresh = AddBlock(trk2);
    fresh->CopyBlkByNewEvntNo(*blk, 1);
    ASSERT_EQ(fresh->GetCount(), 1);
    CArticWrkEvnt* copy = fresh->Get(0);
    EXPECT_EQ(copy->GetEvntNo(), 1u);  // number 0 is taken
    EXPECT_EQ(note->GetSeqWrkEvnt(), copy);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(1u, 1), copy);
    EXPECT_EQ(fresh->IsPos(reinterpret_cast<POSITION>(uintptr_t(8)), nullptr), 1);
    CArticWrkEvnt* entry = nullptr;
    EXPECT_EQ(fresh->GetCond()->GetEvntNote(0, &entry), 0);
}
