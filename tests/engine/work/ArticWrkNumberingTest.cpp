#include <gtest/gtest.h>

#include "services/ArticErr.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticWrkUtil.h"
#include "WorkFixture.h"

using namespace wrktest;

namespace {

struct NumberFixture : ::testing::Test {
    CArticWrk wrk;
    CArticWrkTrk* trk = AddTrack(wrk, 1);
    CArticWrkBlk* blk = AddBlock(trk);
    int TableSize() const { return wrk.GetEvntPosArray()->GetSize(); }
};

}  // namespace

TEST_F(NumberFixture, TableGrowsInStepsOfTwo) {
    EXPECT_EQ(TableSize(), 2);
    AddNote(blk, 5, 0, 60);
    EXPECT_EQ(TableSize(), 6);
    AddNote(blk, 6, 10, 60);
    EXPECT_EQ(TableSize(), 8);
    EXPECT_EQ(wrk.GetHighEvntNo(), 6u);
    EXPECT_EQ(CArticWrk::GrownTableSize(2, 2), 4);
    EXPECT_EQ(CArticWrk::GrownTableSize(2, 3), 4);
    EXPECT_EQ(CArticWrk::GrownTableSize(0, 0), 2);
}

TEST_F(NumberFixture, DuplicateNumberFailsOrMovesToAFreeNumber) {
    CArticErr::Clear();
    CArticWrkEvnt* original = AddNote(blk, 5, 0, 60);
    CArticWrkEvnt* dup = NewEvnt(blk, 5, 0x90, 10, 62, 100, 10);
    blk->AddTail(dup, 0);
    EXPECT_EQ(wrk.SetEvntPos(dup), 1);
    EXPECT_EQ(dup->GetErrKind(), 3);  // one message, on the duplicate
    // The error and the duplicate's dump line as its detail.
    EXPECT_EQ(CArticErr::GetMsgCount(), 2);
    CStringList details;
    CArticErr::GetMsgStrList(details);
    EXPECT_EQ(Lines(details), (std::vector<CString>{"w5:1/1/0, Note, D3, 10, 100"}));
    const CString shown = CArticErr::GetErrDlg()->GetAllMsg();
    EXPECT_EQ(shown.Find("中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄのﾎﾟｼﾞｼｮﾝ配列登録でｴﾗｰが発生した。\r"), 0);
    EXPECT_GE(shown.Find("ｲﾍﾞﾝﾄを多重に登録しようとしています。"), 0);
    EXPECT_GE(shown.Find("ｲﾍﾞﾝﾄ番号 = 5"), 0);
    EXPECT_GE(shown.Find("CArticWrkEvnt"), 0);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(5u, 1), original);
    EXPECT_EQ(TableSize(), 6);

    blk->Remove(dup->GetPosEvnt());
    delete dup;
    CArticErr::Delete();
}

// Whether an event is registered answers from a count kept with the table:
// after every kind of change it must agree with a look at every record.
TEST_F(NumberFixture, RegisteredEventsFollowEveryChangeOfTheTable) {
    CArticWrkEvnt* a = AddNote(blk, 1, 0, 60);
    CArticWrkEvnt* b = AddNote(blk, 2, 10, 61);
    CArticWrkEvnt* c = AddNote(blk, 3, 20, 62);
    CArticWrkEvnt* twin = NewEvnt(blk, 2, 0x90, 30, 63, 100, 10);  // b's number, not registered
    blk->AddTail(twin, 0);
    CArticWrkEvnt* loose = new CArticWrkEvnt(nullptr, 7);  // in no block
    const std::vector<CArticWrkEvnt*> all = {a, b, c, twin, loose};
    const auto check = [&](const char* step) {
        for (CArticWrkEvnt* e : all) {
            int held = 0;
            const CArticPosArray* table = wrk.GetEvntPosArray();
            for (int i = 0; i < table->GetSize(); ++i)
                if (table->GetAt(i) && table->GetAt(i)->GetWrkEvnt() == e) held = 1;
            EXPECT_EQ(wrk.IsEvntPos(e), held) << step << ", event " << e->GetEvntNo();
        }
    };
    check("registered");
    EXPECT_EQ(wrk.IsEvntPos(twin), 0);
    ASSERT_EQ(wrk.ResetEvntPos(twin), 0);  // number 2's record now holds the twin
    check("record taken over");
    EXPECT_EQ(wrk.IsEvntPos(b), 0);
    ASSERT_EQ(wrk.ResetEvntPos(b), 0);
    check("record given back");
    EXPECT_EQ(wrk.IsEvntPos(b), 1);
    ASSERT_EQ(wrk.ResetEvntPos(3u), 0);  // emptied
    check("record emptied");
    EXPECT_EQ(wrk.IsEvntPos(c), 0);
    ASSERT_EQ(wrk.SetEvntPos(loose), 0);  // a record of no block
    check("free event");
    EXPECT_EQ(wrk.IsEvntPos(loose), 1);
    ASSERT_EQ(wrk.DeleteEvntPos(a), 0);
    check("record deleted");
    EXPECT_EQ(wrk.IsEvntPos(a), 0);
    ASSERT_EQ(wrk.ResetAllEvntPos(), 0);  // deletes the free event's record and the event
    EXPECT_EQ(wrk.IsEvntPos(loose), 0);   // compares the address only
    for (CArticWrkEvnt* e : {a, b, c, twin}) EXPECT_EQ(wrk.IsEvntPos(e), e == b ? 1 : 0);
    wrk.Clear();  // the events go with their block: addresses are compared only
    for (CArticWrkEvnt* e : {a, b, c, twin}) EXPECT_EQ(wrk.IsEvntPos(e), 0);
}

TEST_F(NumberFixture, ChangeEvntNoTakesTheFirstFreeNumberAboveTheHighest) {
    AddNote(blk, 0, 0, 60);
    AddNote(blk, 5, 10, 61);  // table of 6
    AddNote(blk, 7, 20, 62);  // table of 8, highest 7
    ASSERT_EQ(TableSize(), 8);
    // Bring the highest number back to 5 with 6 and 7 free.
    CArticWrkEvnt* seven = wrk.GetEvntInEvntPosArray(7u, 1);
    blk->Remove(seven->GetPosEvnt());
    delete seven;
    wrk.ResetAllEvntPos();  // drops the emptied entry 7
    EXPECT_EQ(wrk.GetHighEvntNo(), 5u);
    wrk.ChangeEvntNo(1);
    CArticWrkEvnt* dup = NewEvnt(blk, 5, 0x90, 30, 65, 100, 10);
    blk->AddTail(dup, 1);
    EXPECT_EQ(dup->GetEvntNo(), 6u);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(6u, 1), dup);
}

TEST_F(NumberFixture, FreeNumbers) {
    EXPECT_EQ(wrk.GetFreeEvntNo(), 1u);  // slot 1 is the only one above the highest (0)
    AddNote(blk, 0, 0, 60);
    AddNote(blk, 1, 0, 61);
    EXPECT_EQ(wrk.GetFreeEvntNo(), 2u);  // every slot above the highest taken: the size
    EXPECT_EQ(wrk.GetFreeEvntNo(1), 2u);
    EXPECT_EQ(wrk.GetFreeEvntNo(9), 9u);
    AddNote(blk, 3, 0, 62);
    EXPECT_EQ(wrk.GetFreeEvntNo(), 4u);
}

TEST_F(NumberFixture, DeletingAFailedDuplicateLeavesTheOriginalReachable) {
    CArticWrkEvnt* original = AddNote(blk, 2, 0, 60);
    CArticWrkEvnt* dup = NewEvnt(blk, 2, 0x90, 10, 62, 100, 10);
    blk->AddTail(dup, 1);  // registration fails
    blk->Remove(dup->GetPosEvnt());
    delete dup;
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(2u, 1), original);
    EXPECT_EQ(wrk.GetNextEvntInEvntPosArray(0u, 0), original);

    // An unregistered copy (as event lists make them) behaves the same.
    auto* copy = new CArticWrkEvnt(blk, 2);
    *copy = *original;
    delete copy;
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(2u, 1), original);
    CArticWrkEvnt* got = nullptr;
    EXPECT_EQ(wrk.GetEvntPos(2u, &got), 0);
    EXPECT_EQ(got, original);

    // Deleting the event itself empties its entry.
    EXPECT_EQ(wrk.DeleteEvnt(original), 0);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(2u, 0), nullptr);
    EXPECT_EQ(blk->GetCount(), 0);
}

TEST_F(NumberFixture, RenumberFollowsTimeOrder) {
    CArticWrkTrk* trk2 = AddTrack(wrk, 2);
    CArticWrkBlk* blk2 = AddBlock(trk2);
    AddNote(blk, 10, 0, 67);
    AddNote(blk, 11, 0, 60);
    AddNote(blk2, 12, 0, 50);
    AddCc(blk, 13, 240, 7, 1);
    AddNote(blk2, 14, 120, 70);
    EXPECT_EQ(wrk.Renumber(), 0);
    // Notes of one time by ascending key, across the tracks.
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(0u, 1)->GetPost1(), 50);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(1u, 1)->GetPost1(), 60);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(2u, 1)->GetPost1(), 67);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(3u, 1)->GetTime(), 120);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(4u, 1)->GetStatus(), 0xB0);
    EXPECT_EQ(wrk.GetHighEvntNo(), 4u);
}

TEST_F(NumberFixture, SortTrkListMakesNumberOrderTimeOrder) {
    // Events placed out of order (as a time edit leaves them).
    const INT64 times[] = {480, 0, 960, 0};
    const BYTE keys[] = {60, 67, 62, 60};
    for (ULONG i = 0; i < 4; ++i) blk->AddTail(NewEvnt(blk, i, 0x90, times[i], keys[i], 100, 10), 1);
    CArticWrkEvnt* cc = NewEvnt(blk, 4, 0xB0, 0, 7, 1);
    blk->AddTail(cc, 1);
    EXPECT_EQ(wrk.SortTrkList(), 0);
    EXPECT_EQ(Numbers(blk), (std::vector<ULONG>{0, 1, 2, 3, 4}));
    std::vector<INT64> byNumber;
    for (ULONG n = 0; n < 5; ++n) byNumber.push_back(wrk.GetEvntInEvntPosArray(n, 1)->GetTime());
    EXPECT_EQ(byNumber, (std::vector<INT64>{0, 0, 0, 480, 960}));
    // At time 0: 67, 60 and the controller; 60 passes 67 but never the controller.
    EXPECT_EQ(Keys(blk), (std::vector<int>{60, 67, 0, 60, 62}));
    for (POSITION p = blk->GetHeadPos(); p;) {
        POSITION at = p;
        CArticWrkEvnt* e = blk->GetNext(p);
        EXPECT_EQ(e->GetPosEvnt(), at);
    }
}

namespace {

// Numbers 0..5 on two tracks; track 2 is not selected.
struct NavFixture : ::testing::Test {
    CArticWrk wrk;
    CArticWrkTrk* sel = AddTrack(wrk, 1, 1);
    CArticWrkTrk* unsel = AddTrack(wrk, 2, 0);
    CArticWrkBlk* a = AddBlock(sel);
    CArticWrkBlk* b = AddBlock(unsel);
    CArticWrkEvnt* n0 = AddNote(a, 0, 0, 60);
    CArticWrkEvnt* c1 = AddCc(a, 1, 0, 7, 100);
    CArticWrkEvnt* u2 = AddNote(b, 2, 240, 40);
    CArticWrkEvnt* n3 = AddNote(a, 3, 480, 62);
    CArticWrkEvnt* c4 = AddCc(a, 4, 960, 7, 90);
    CArticWrkEvnt* n5 = AddNote(a, 5, 1920, 64);
};

}  // namespace

TEST_F(NavFixture, NextAndPreviousByNumber) {
    EXPECT_EQ(wrk.GetNextEvntInEvntPosArray(0u, 0), c1);
    EXPECT_EQ(wrk.GetNextEvntInEvntPosArray(0u, 1), u2);  // any track
    EXPECT_EQ(wrk.GetWrkNextEvntInEvntPosArray(0u, 1), n3);  // selected tracks only
    EXPECT_EQ(wrk.GetWrkNextEvntInEvntPosArray(0u, 2, 1), n5);
    EXPECT_EQ(wrk.GetWrkNextEvntInEvntPosArray(0u, 0, 1), nullptr);
    EXPECT_EQ(wrk.GetPrevEvntInEvntPosArray(5u, 1), n3);
    EXPECT_EQ(wrk.GetWrkPrevEvntInEvntPosArray(3u, 1), n0);
    EXPECT_EQ(wrk.GetPrevEvntInEvntPosArray(0u, 0), nullptr);
    CArticWrkEvnt* out = nullptr;
    EXPECT_EQ(wrk.GetNextEvntInEvntPosArray(5u, 0, &out), 0);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(wrk.GetWrkPrevEvntInEvntPosArray(5u, 0, &out), 1);
    EXPECT_EQ(out, c4);

    CArticWrkEvntList list;
    EXPECT_EQ(wrk.GetNextEvntInEvntPosArray(2u, 3, 0, &list), 0);
    EXPECT_EQ(list.GetCount(), 3);
    CArticWrkEvntList two;
    EXPECT_EQ(wrk.GetNextEvntInEvntPosArray(3u, 3, 0, &two), 1);
    EXPECT_EQ(two.GetCount(), 2);
    EXPECT_EQ(wrk.GetNextEvntInEvntPosArray(3u, 0, 0, &two), 1);
}

TEST_F(NavFixture, FreeEventsAreNeverVisited) {
    auto* loose = new CArticWrkEvnt(nullptr, 6);
    loose->SetStatus(0x90);
    EXPECT_EQ(wrk.SetEvntPos(loose), 0);
    EXPECT_EQ(wrk.GetNextEvntInEvntPosArray(5u, 0), nullptr);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(6u, 1), nullptr);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(6u, 0), loose);
    EXPECT_EQ(wrk.ResetAllEvntPos(), 0);  // deletes the free event with its record
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(6u, 0), nullptr);
    EXPECT_EQ(wrk.GetHighEvntNo(), 5u);
}

TEST_F(NavFixture, FirstLastAndBarWalks) {
    EXPECT_EQ(wrk.GetFirstEvntInEvntPosArray(1), n0);
    EXPECT_EQ(wrk.GetLastEvntInEvntPosArray(0), n5);
    CArticWrkEvntList first;
    EXPECT_EQ(wrk.GetFirstEvntInEvntPosArray(3, 1, &first), 0);
    EXPECT_EQ(first.GetTail(), n3);  // any track: 0, 2, 3
    // Without a measure block bar/beat/tick stay at their defaults, so set them.
    n5->SetMeas(2, 1, 0);
    c4->SetMeas(1, 3, 0);
    EXPECT_EQ(wrk.GetLastEvntInEvntPosArray(n0, 0), c4);
    EXPECT_EQ(wrk.GetFirstEvntInEvntPosArray(n5, 1), n5);
    CArticWrkEvntList bar1;
    EXPECT_EQ(wrk.GetSameMeasWrkEvntInEvntPosArray(1, 0, &bar1), 0);
    EXPECT_EQ(bar1.GetCount(), 4);  // 0, 1, 3, 4 (2 is unselected)
    CArticWrkEvntList area;
    EXPECT_EQ(wrk.GetAreaWrkEvntInEvntPosArray(0, 480, 1, &area), 0);
    EXPECT_EQ(area.GetCount(), 2);
    EXPECT_EQ(wrk.GetAreaWrkEvntInEvntPosArray(10, 0, 1, &area), 1);
}

TEST_F(NavFixture, NextByTime) {
    EXPECT_EQ(wrk.GetNextTimeInEvntPosArray(INT64(0), 1), n3);  // 2 is on an unselected track
    EXPECT_EQ(wrk.GetWrkNextTimeInEvntPosArray(INT64(0), 1), u2);
    CArticWrkEvnt* out = nullptr;
    EXPECT_EQ(wrk.GetNextTimeInEvntPosArray(ULONG(960), 0, &out), 1);
    EXPECT_EQ(out, n5);
    EXPECT_EQ(wrk.GetNextTimeInEvntPosArray(ULONG(1920), 0, &out), 0);
}

TEST(ArticWrkNav, ChordPartnersNeedMoreOverlapThanTheWindow) {
    CArticWrk wrk;
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    CArticWrkEvnt* base = NewEvnt(blk, 0, 0x90, 0, 60, 100, 480);
    blk->AddTail(base, 1);
    CArticWrkEvnt* late = NewEvnt(blk, 1, 0x90, 475, 64, 100, 125);  // overlap 5
    blk->AddTail(late, 1);
    CArticWrkEvnt* full = NewEvnt(blk, 2, 0x90, 0, 67, 100, 480);  // overlap 480
    blk->AddTail(full, 1);
    EXPECT_EQ(wrk.GetWrkNextChordEvntInEvntPosArray(0u, 10), full);
    EXPECT_EQ(wrk.GetWrkNextChordEvntInEvntPosArray(0u, 0), nullptr);

    CArticWrk prev;
    CArticWrkBlk* pb = AddBlock(AddTrack(prev, 1));
    CArticWrkEvnt* wide = NewEvnt(pb, 0, 0x90, 0, 60, 100, 960);   // overlap 480
    CArticWrkEvnt* brief = NewEvnt(pb, 1, 0x90, 0, 62, 100, 485);  // overlap 5
    CArticWrkEvnt* note = NewEvnt(pb, 2, 0x90, 480, 64, 100, 480);
    pb->AddTail(wide, 1);
    pb->AddTail(brief, 1);
    pb->AddTail(note, 1);
    EXPECT_EQ(prev.GetWrkPrevChordEvntInEvntPosArray(2u, 10), wide);
    wide->SetGateTime(100);
    EXPECT_EQ(prev.GetWrkPrevChordEvntInEvntPosArray(2u, 10), nullptr);
}

TEST(ArticWrkNav, RestBeforeANote) {
    struct Case { std::vector<std::pair<INT64, INT64>> earlier; INT64 rest; };
    const Case cases[] = {
        {{{0, 240}, {240, 480}}, 240},  // notes 0-240 and 240-720 before 960
        {{{480, 520}}, 0},               // 480-1000 still sounds at 960
        {{}, 0},
    };
    for (const auto& c : cases) {
        CArticWrk wrk;
        CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
        ULONG no = 0;
        for (auto [time, gate] : c.earlier) blk->AddTail(NewEvnt(blk, no++, 0x90, time, 60, 100, gate), 1);
        blk->AddTail(NewEvnt(blk, no, 0x90, 960, 62, 100, 100), 1);
        INT64 rest = -1;
        EXPECT_EQ(wrk.GetWrkPrevRestInEvntPosArray(no, &rest), 0);
        EXPECT_EQ(rest, c.rest);
    }
    CArticWrk empty;
    INT64 rest = 5;
    EXPECT_EQ(empty.GetWrkPrevRestInEvntPosArray(0u, &rest), 1);
    EXPECT_EQ(rest, 0);
}

TEST(ArticWrkNav, ListTextNamesRegisteredEvents) {
    CArticWrk wrk;
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    CArticWrkEvnt* a = AddNote(blk, 12, 0, 60);
    CArticWrkEvnt* b = AddNote(blk, 13, 10, 60);
    CArticWrkEvnt loose(nullptr, 14);
    CArticWrkEvntList list;
    list.AddTail(a);
    list.AddTail(b);
    list.AddTail(&loose);
    CString text;
    EXPECT_EQ(CArticWrkUtil::GetWrkEvntListParam(&wrk, &list, text), 0);
    EXPECT_EQ(text, "3{:w12,:w13,:w??}");
    CArticWrkEvntList empty;
    CArticWrkUtil::GetWrkEvntListParam(&wrk, &empty, text);
    EXPECT_EQ(text, "0{}");
    CArticWrkEvntList withNull;
    withNull.AddTail(static_cast<CArticWrkEvnt*>(nullptr));
    withNull.AddTail(a);
    CArticWrkUtil::GetWrkEvntListParam(&wrk, &withNull, text);
    EXPECT_EQ(text, "2{:w12}");
    EXPECT_EQ(CArticWrkUtil::GetWrkEvntListParam(nullptr, &list, text), 1);
}

TEST_F(NumberFixture, NumbersBeyondTheTableLimitAreRefused) {
    // A number read from a text dump must not make the table grow without bound.
    CArticWrkEvnt* huge = NewEvnt(blk, 2000000000u, 0x90, 0, 60, 100, 10);
    blk->AddTail(huge, 0);
    EXPECT_EQ(wrk.SetEvntPos(huge), 1);
    EXPECT_EQ(TableSize(), 2);
    CArticWrkEvnt* high = NewEvnt(blk, 100000, 0x90, 0, 61, 100, 10);
    blk->AddTail(high, 0);
    EXPECT_EQ(wrk.SetEvntPos(high), 0);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(100000u, 1), high);
    EXPECT_EQ(TableSize(), 100002);
}

TEST_F(NumberFixture, DeleteEvntPosOnlyRemovesTheEventsOwnRecord) {
    CArticWrkEvnt* original = AddNote(blk, 1, 0, 60);
    CArticWrkEvnt twin(blk, 1);
    EXPECT_EQ(wrk.DeleteEvntPos(&twin), 1);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(1u, 1), original);
    EXPECT_EQ(wrk.IsEvntPos(&twin), 0);
    EXPECT_EQ(wrk.DeleteEvnt(&twin), 1);  // not in any block
    EXPECT_EQ(wrk.DeleteEvntPos(original), 0);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(1u, 0), nullptr);
}

TEST(ArticWrkMeasure, DeletingTheMeasureBlockForgetsIt) {
    CArticWrk wrk;
    CArticWrkTrk* trk = AddTrack(wrk, 0);
    CArticWrkBlk* meas = AddBlock(trk);
    wrk.SetMeasBlk(meas);
    AddBeat(meas, 0, 0, 3, 2, 1);
    trk->Remove(meas, nullptr);
    delete meas;
    EXPECT_EQ(wrk.GetMeasBlk(), nullptr);
    INT64 t = 0;
    EXPECT_EQ(wrk.GetEvntTime(2, 1, 0, &t), 1);
}
