#include <gtest/gtest.h>

#include "services/ArticErr.h"
#include "services/ArticPref.h"
#include "engine/work/ArticFngrInfo.h"
#include "WorkFixture.h"

using namespace wrktest;

namespace {

struct Bbt { ULONG meas, beat, tick; };

Bbt MeasOf(const CArticWrk& wrk, INT64 time) {
    Bbt b{0, 0, 0};
    EXPECT_EQ(wrk.GetEvntMeas(time, &b.meas, &b.beat, &b.tick), 0);
    return b;
}

INT64 TimeOf(const CArticWrk& wrk, ULONG meas, ULONG beat, ULONG tick) {
    INT64 t = -1;
    EXPECT_EQ(wrk.GetEvntTime(meas, beat, tick, &t), 0);
    return t;
}

// Track 0 with an empty measure block.
CArticWrkBlk* MeasureBlock(CArticWrk& wrk) {
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 0));
    wrk.SetMeasBlk(blk);
    return blk;
}

}  // namespace

TEST(ArticWrkTime, WithoutSignatureBarsAreFourFour) {
    CArticWrk wrk;
    INT64 t = 0;
    EXPECT_EQ(wrk.GetEvntTime(1, 1, 0, &t), 1);  // no measure block
    MeasureBlock(wrk);
    EXPECT_EQ(TimeOf(wrk, 1, 1, 0), 0);
    EXPECT_EQ(TimeOf(wrk, 2, 3, 10), 2890);
    Bbt b = MeasOf(wrk, 2890);
    EXPECT_EQ(b.meas, 2u);
    EXPECT_EQ(b.beat, 3u);
    EXPECT_EQ(b.tick, 10u);
}

TEST(ArticWrkTime, SignaturesChangeTheGrid) {
    CArticWrk wrk;
    CArticWrkBlk* meas = MeasureBlock(wrk);
    AddBeat(meas, 0, 0, 3, 2, 1);     // 3/4 at bar 1
    AddBeat(meas, 1, 2880, 6, 3, 3);  // 6/8 at bar 3
    struct Case { ULONG meas, beat, tick; INT64 time; };
    const Case cases[] = {
        {4, 2, 0, 4560}, {2, 1, 0, 1440}, {1, 1, 0, 0}, {3, 1, 0, 2880}, {3, 6, 239, 2880 + 5 * 240 + 239},
        {2, 3, 479, 1440 + 960 + 479},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimeOf(wrk, c.meas, c.beat, c.tick), c.time) << c.meas << "/" << c.beat << "/" << c.tick;
        Bbt b = MeasOf(wrk, c.time);
        EXPECT_EQ(b.meas, c.meas) << c.time;
        EXPECT_EQ(b.beat, c.beat) << c.time;
        EXPECT_EQ(b.tick, c.tick) << c.time;
    }
}

TEST(ArticWrkTime, SignatureWithZeroNumeratorIsIgnored) {
    CArticWrk wrk;
    CArticWrkBlk* meas = MeasureBlock(wrk);
    AddBeat(meas, 0, 0, 3, 2, 1);
    AddBeat(meas, 1, 1440, 0, 2, 2);  // 0/4 from a damaged file: would divide by zero
    EXPECT_EQ(TimeOf(wrk, 3, 1, 0), 2880);  // still 3/4
    Bbt b = MeasOf(wrk, 2880 + 480);
    EXPECT_EQ(b.meas, 3u);
    EXPECT_EQ(b.beat, 2u);
    // A signature without its denominator byte is no signature either.
    CArticWrk short_;
    CArticWrkBlk* m2 = MeasureBlock(short_);
    CArticWrkEvnt* e = NewMeta(m2, 0, 0, 0x58, {3});
    m2->AddTail(e, 1);
    EXPECT_EQ(TimeOf(short_, 2, 1, 0), 1920);
}

TEST(ArticWrkTime, CalcEvntTimeTimesTheMeasureBlockFromBarBeatTick) {
    CArticWrk wrk;
    CArticWrkBlk* meas = MeasureBlock(wrk);
    AddBeat(meas, 0, 0, 3, 2, 1);
    CArticWrkEvnt* note = NewEvnt(meas, 1, 0x90, 0, 60, 100, 120);
    _WRK_EVNT r;
    note->Get(r);
    r.Meas = 2;
    r.Beat = 1;
    r.Tick = 0;
    note->Set(r);
    meas->AddTail(note, 1);
    POSITION pos = nullptr;
    EXPECT_EQ(note->CalcEvntTime(pos), 0);
    EXPECT_EQ(note->GetTime(), 1440);
    // Setting its bar/beat/tick re-times it through its place in the measure block.
    note->SetMeas(3, 2, 10);
    EXPECT_EQ(note->GetTime(), 2880 + 480 + 10);
}

TEST(ArticWrk, NewTrackNumbers) {
    CArticWrk wrk;
    CArticWrkTrk* first = wrk.NewTrk(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetTrkNo(), 0u);
    EXPECT_EQ(first->GetCh(), kUnsetChannel);
    EXPECT_EQ(first->GetPort(), kNoPort);
    for (int i = 1; i < 10; ++i) wrk.NewTrk(0);
    EXPECT_EQ(wrk.NewTrk(0)->GetTrkNo(), 11u);
    EXPECT_EQ(wrk.NewTrk(1)->GetTrkNo(), 10u);
    EXPECT_EQ(wrk.NewTrk(2), nullptr);  // 10 taken
    for (int i = 0; i < 4; ++i) wrk.NewTrk(0);
    EXPECT_EQ(wrk.GetCount(), 16);
    CArticWrkTrk* none = nullptr;
    EXPECT_EQ(wrk.NewTrk(0, &none), 0);
}

TEST(ArticWrk, TimeRangeLeavesTrackZeroOut) {
    CArticWrk wrk;
    CArticWrkBlk* meas = MeasureBlock(wrk);
    AddNote(meas, 0, 5000, 60);
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    AddNote(blk, 1, 240, 60, 480);
    EXPECT_EQ(wrk.GetStartTime(), 240);
    EXPECT_EQ(wrk.GetEndTime(), 720);
    EXPECT_EQ(wrk.GetEvntNum(), 2u);
}

namespace {

// A work whose tracks stand for parts; drum parts have a first block in drum mode.
struct AssignFixture {
    CArticWrk wrk;
    std::vector<CArticWrkTrk*> tracks;
    CArticWrkTrk* Part(ULONG trkNo, BYTE partMode) {
        CArticWrkTrk* trk = AddTrack(wrk, trkNo);
        AddBlock(trk)->SetPartMode(partMode);
        tracks.push_back(trk);
        return trk;
    }
};

}  // namespace

TEST(ArticWrkAssign, NormalPartsFromZeroDrumStaysOnTen) {
    AssignFixture f;
    CArticWrkTrk* a = f.Part(5, 0);
    CArticWrkTrk* b = f.Part(7, 0);
    CArticWrkTrk* drum = f.Part(10, 1);
    EXPECT_EQ(f.wrk.AssignWrk(), 0);
    EXPECT_EQ(a->GetTrkNo(), 0u);
    EXPECT_EQ(b->GetTrkNo(), 1u);
    EXPECT_EQ(drum->GetTrkNo(), 10u);
}

TEST(ArticWrkAssign, TheEleventhNormalPartSkipsTheDrumNumber) {
    AssignFixture f;
    for (int i = 0; i < 12; ++i) f.Part(ULONG(i), 0);
    CArticWrkTrk* drum = f.Part(3, 2);  // a drum sub-part away from 10
    EXPECT_EQ(f.wrk.AssignWrk(), 0);
    EXPECT_EQ(f.tracks[10]->GetTrkNo(), 11u);
    EXPECT_EQ(f.tracks[11]->GetTrkNo(), 12u);
    EXPECT_EQ(drum->GetTrkNo(), 10u);
}

TEST(ArticWrkAssign, TooManyTracksFailAtOnce) {
    AssignFixture f;
    for (int i = 0; i < 17; ++i) f.Part(ULONG(i), 0);
    EXPECT_EQ(f.wrk.AssignWrk(), 1);
    for (int i = 0; i < 17; ++i) EXPECT_EQ(f.tracks[size_t(i)]->GetTrkNo(), ULONG(i));
}

TEST(ArticWrkAssign, DrumNumberOutsideThePartTableIsNotKept) {
    // Number 26 is a drum number (26 mod 16 = 10) but has no slot among 16 parts.
    AssignFixture f;
    f.Part(0, 0);
    CArticWrkTrk* drum = f.Part(26, 1);
    EXPECT_EQ(f.wrk.AssignWrk(), 0);
    EXPECT_EQ(drum->GetTrkNo(), 10u);

    // With ten parts even 10 has no slot: the drum takes the lowest free one.
    AssignFixture g;
    g.wrk.SetMaxPartNum(10);
    CArticWrkTrk* normal = g.Part(0, 0);
    CArticWrkTrk* drum10 = g.Part(10, 1);
    EXPECT_EQ(g.wrk.AssignWrk(), 0);
    EXPECT_EQ(normal->GetTrkNo(), 0u);
    EXPECT_EQ(drum10->GetTrkNo(), 1u);
}

namespace {

// The assignment steps, reachable one by one.
struct StepWrk : CArticWrk {
    using CArticWrk::DrumAssign;
    using CArticWrk::GetFreeDrumTrkNo;
    using CArticWrk::NormalAssign;
};

}  // namespace

TEST(ArticWrkAssign, StepsReportWhenNoNumberIsFree) {
    CArticErr::Clear();
    StepWrk wrk;
    CArticWrkTrkList list;
    for (ULONG i = 0; i < 4; ++i) list.AddTail(AddTrack(wrk, 20 + i));
    int used[3] = {0, 0, 0};
    EXPECT_EQ(wrk.NormalAssign(3, &list, 0, used), 1);
    EXPECT_EQ(wrk.Get(0)->GetTrkNo(), 0u);  // numbers given so far stay
    EXPECT_EQ(wrk.Get(2)->GetTrkNo(), 2u);
    EXPECT_EQ(wrk.Get(3)->GetTrkNo(), 23u);
    CString content, cls, method, detail;
    CArticErr::Get(content, cls, method, detail);
    EXPECT_EQ(content, "空いているNormalのﾄﾗｯｸがありません。");
    EXPECT_EQ(cls, "CArticWrk");
    EXPECT_EQ(method, "NormalAssign");
    EXPECT_EQ(detail, "処理中のﾄﾗｯｸのﾄﾗｯｸ番号 = 3");

    int full[3] = {1, 1, 1};
    ULONG trkNo = 4;
    EXPECT_EQ(wrk.GetFreeDrumTrkNo(3, full, &trkNo), 1);
    CArticWrkTrkList drums;
    drums.AddTail(wrk.Get(3));
    EXPECT_EQ(wrk.DrumAssign(3, &drums, full), 1);
    CArticErr::Get(content, cls, method, detail);
    EXPECT_EQ(content, "空いているDrumのﾄﾗｯｸがありません。");
    EXPECT_EQ(method, "DrumAssign");
    EXPECT_EQ(detail, "処理中のﾄﾗｯｸのﾄﾗｯｸ番号 = 23");
    CArticErr::Delete();

    // A free slot below the table: 10, 26, ... first, else the lowest free one.
    int some[16] = {1, 1, 0};
    trkNo = 3;
    EXPECT_EQ(wrk.GetFreeDrumTrkNo(16, some, &trkNo), 0);
    EXPECT_EQ(trkNo, 10u);
    some[10] = 1;
    trkNo = 3;
    EXPECT_EQ(wrk.GetFreeDrumTrkNo(16, some, &trkNo), 0);
    EXPECT_EQ(trkNo, 2u);
    EXPECT_EQ(some[2], 1);
}

TEST(ArticWrk, MergeBlkGathersNotesAndTextsOfSelectedTracks) {
    CArticWrk wrk;
    CArticWrkTrk* t1 = AddTrack(wrk, 1);
    CArticWrkBlk* target = AddBlock(t1, 0);
    CArticWrkBlk* second = AddBlock(t1, 1);
    CArticWrkTrk* t2 = AddTrack(wrk, 2);
    CArticWrkBlk* third = AddBlock(t2, 0);
    CArticWrkTrk* off = AddTrack(wrk, 3, 0);
    CArticWrkBlk* unselected = AddBlock(off, 0);
    AddNote(target, 0, 480, 60);
    CArticWrkEvnt* n1 = AddNote(second, 1, 0, 62);
    CArticWrkEvnt* cc = AddCc(second, 2, 0, 7, 1);
    CArticWrkEvnt* text = NewMeta(third, 3, 240, 0x01, {'x'});
    third->Sort(text, 1);
    AddNote(unselected, 4, 0, 40);
    EXPECT_EQ(wrk.MergeBlk(), 0);
    EXPECT_EQ(Numbers(target), (std::vector<ULONG>{1, 3, 0}));
    EXPECT_EQ(second->GetCount(), 1);  // the controller stays
    EXPECT_EQ(cc->GetOwner(), second);
    EXPECT_EQ(unselected->GetCount(), 1);
    EXPECT_EQ(n1->GetOwner(), target);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(1u, 1), n1);
    EXPECT_EQ(wrk.GetEvntInEvntPosArray(3u, 1), text);
}

TEST(ArticWrk, PortsAndChannelsPerString) {
    CArticWrk wrk;
    for (ULONG i = 0; i < 4; ++i) AddTrack(wrk, i, 1, 0, 0);
    CArticPref pref;
    CArticPrefSep* sep = pref.GetSep();
    ASSERT_NE(sep, nullptr);
    sep->SetGen(2);
    sep->SetPort(0, 1);
    sep->SetCh(0, 5);
    sep->SetPort(1, 2);
    sep->SetCh(1, 6);
    EXPECT_EQ(wrk.SetPortChNum(&pref), 1);
    EXPECT_EQ(wrk.Get(0)->GetCh(), 0u);  // the first track is left alone
    EXPECT_EQ(wrk.Get(1)->GetPort(), 1u);
    EXPECT_EQ(wrk.Get(1)->GetCh(), 5u);
    EXPECT_EQ(wrk.Get(2)->GetPort(), 2u);
    EXPECT_EQ(wrk.Get(2)->GetCh(), 6u);
    EXPECT_EQ(wrk.Get(3)->GetCh(), 0u);
    EXPECT_EQ(wrk.UsedPortCh(2, 6), 1);
    EXPECT_EQ(wrk.UsedPortCh(0, 0), 1);  // track 3
    CArticWrk single;
    AddTrack(single, 0, 1, 0, 0);
    EXPECT_EQ(single.UsedPortCh(0, 0), 0);  // never the first track
}

TEST(ArticWrk, FingeringFromLinesAndFromAnotherWork) {
    CArticWrk wrk;
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    CArticWrkEvnt* note = AddNote(blk, 3, 0, 60);
    CStringList lines;
    lines.AddTail("w3:x:ﾎﾟｼﾞｼｮﾝ:5:弦:2:指:1:ﾌﾚｯﾄ:7:ﾁｮｰｷﾝｸﾞ:0");
    lines.AddTail("w9:x:ﾎﾟｼﾞｼｮﾝ:5:弦:2:指:1:ﾌﾚｯﾄ:7:ﾁｮｰｷﾝｸﾞ:0");  // no such event
    EXPECT_EQ(wrk.SetFngrInfo(lines), 0);
    ASSERT_NE(note->GetFngrInfo(), nullptr);
    EXPECT_EQ(note->GetFngrInfo()->GetPos(), 5);
    EXPECT_EQ(note->GetFngrInfo()->GetGen(), 2);

    CArticWrk copy;
    copy = wrk;
    CArticWrkEvnt* twin = copy.GetEvntInEvntPosArray(3u, 1);
    ASSERT_NE(twin, nullptr);
    ASSERT_NE(twin, note);
    note->GetFngrInfo()->SetFng(4);
    EXPECT_EQ(copy.SetFngrInfo(&wrk), 0);
    EXPECT_EQ(twin->GetFngrInfo()->GetFng(), 4);
    CStringList empty;
    EXPECT_EQ(wrk.SetFngrInfo(empty), 1);
}

TEST(ArticWrk, CopyForCoreCarriesTheFingeringFlag) {
    CArticWrk src;
    CArticWrkBlk* blk = AddBlock(AddTrack(src, 1));
    CArticWrkEvnt* note = AddNote(blk, 0, 0, 60);
    CArticWrk plain;
    plain.CopyForCore(&src);
    EXPECT_EQ(plain.GetFng(), 0);
    note->SetFngrInfo(1, 3, 0, 0);
    CArticWrk core;
    core.CopyForCore(&src);
    EXPECT_EQ(core.GetFng(), 1);
    CArticWrkEvnt* copy = core.GetEvntInEvntPosArray(0u, 1);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetProcWrkEvnt(), note);
}
