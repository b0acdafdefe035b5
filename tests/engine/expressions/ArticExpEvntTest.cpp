#include <gtest/gtest.h>

#include "services/ArticErr.h"
#include "engine/expressions/ArticExpEvnt.h"
#include "engine/expressions/ArticMeas.h"
#include "engine/work/ArticWrkUtil.h"

TEST(ArticMeas, DefaultsAndCopies) {
    CArticMeas m;
    ULONG meas = 0, beat = 0, tick = 9;
    m.Get(&meas, &beat, &tick);
    EXPECT_EQ(meas, 1u);
    EXPECT_EQ(beat, 1u);
    EXPECT_EQ(tick, 0u);
    CArticMeas other(3, 2, 120);
    m = other;
    EXPECT_EQ(m.GetMeas(), 3u);
    EXPECT_EQ(m.GetBeat(), 2u);
    EXPECT_EQ(m.GetTick(), 120u);
}

TEST(ArticExpEvnt, DefaultsAndAssignment) {
    CArticExpEvnt e;
    EXPECT_EQ(e.GetEvntNo(), 0u);
    EXPECT_EQ(e.GetEvntType(), 0);
    EXPECT_EQ(e.GetErrKind(), 0);
    EXPECT_EQ(e.GetTgNeed(), 1);
    EXPECT_EQ(e.ConvToWrk() + e.ConvToWrkCombine() + e.ConvToWrk2() + e.ConvToWrk3(), 0);

    CArticExpEvnt src(nullptr, 12);
    src.SetErrKind(3);
    src.SetError(5);
    src.SetEvntType(2);
    src.SetTgNeed(2);
    CArticExpEvnt dst(nullptr, 4);
    dst.SetError(7);
    dst = src;
    EXPECT_EQ(dst.GetErrKind(), 0);
    EXPECT_EQ(dst.GetError(), 7);
    EXPECT_EQ(dst.GetEvntNo(), 4u);
    EXPECT_EQ(dst.GetEvntType(), 2);
    EXPECT_EQ(dst.GetTgNeed(), 2);
}

TEST(ArticExpEvnt, ErrorIsShownOnceAndAClassWithoutWriterHasNoDumpLine) {
    CArticErr::Clear();
    CArticExpEvnt e(nullptr, 12);
    CStringList lines;
    EXPECT_EQ(e.GetStrList(lines), 1);
    EXPECT_EQ(lines.GetCount(), 0);
    CString content, cls, method, detail;
    CArticErr::Get(content, cls, method, detail);
    EXPECT_EQ(content, "未対応のｲﾍﾞﾝﾄが存在します。");
    EXPECT_EQ(cls, "CArticExpUtil");
    EXPECT_EQ(detail, "ｸﾗｽ名 = CArticExpEvnt");

    const int before = CArticErr::GetMsgCount();
    e.DispErrMsg("title", "reason", "ConvToWrk", "");
    EXPECT_EQ(e.GetErrKind(), 3);
    const int after = CArticErr::GetMsgCount();
    EXPECT_GT(after, before);
    e.DispErrMsg("title", "again", "ConvToWrk", "");
    EXPECT_EQ(CArticErr::GetMsgCount(), after);
    CArticErr::Delete();
}

TEST(ArticExpEvnt, EventOperationsReportToTheCurrentExpression) {
    CArticErr::Clear();
    CArticExpEvnt exp(nullptr, 1);
    EXPECT_EQ(CArticWrkUtil::DelEvnt(nullptr), 1);  // no current expression: nothing recorded
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
    CArticWrkUtil::SetExpEvnt(&exp);
    EXPECT_EQ(CArticWrkUtil::DelEvnt(nullptr), 1);
    EXPECT_EQ(exp.GetErrKind(), 3);
    const CString shown = CArticErr::GetErrDlg()->GetAllMsg();
    EXPECT_EQ(shown.Find("中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集時(第２段階)にｴﾗｰが発生しました。\r"), 0);
    EXPECT_GE(shown.Find("中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄを削除する際にｴﾗｰが発生した。"), 0);
    EXPECT_GE(shown.Find("CArticWrkUtil::DelEvnt"), 0);
    const int count = CArticErr::GetMsgCount();
    EXPECT_EQ(CArticWrkUtil::DelEvnt(nullptr), 1);  // shown once per expression
    EXPECT_EQ(CArticErr::GetMsgCount(), count);
    CArticWrkUtil::SetExpEvnt(nullptr);
    CArticErr::Delete();
}

#include "ExpFixture.h"

TEST(ArticExpEvnt, AssignmentCopiesThePartAssignmentRecordButNotTheErrorState) {
    CArticPasn pasn;
    auto* record = new CArticPasnData(&pasn);
    ASSERT_EQ(pasn.AddTail(record), 1);
    CArticExpDel src(nullptr, 1, nullptr);
    src.SetPasnData(record);
    src.SetErrKind(3);
    src.SetError(5);
    src.SetEvntType(2);
    CArticExpDel dst(nullptr, 2, nullptr);
    dst.SetError(9);
    dst = src;
    EXPECT_EQ(dst.GetPasnData(), record);
    EXPECT_EQ(dst.GetErrKind(), 0);
    EXPECT_EQ(dst.GetError(), 9);
    EXPECT_EQ(dst.GetEvntType(), 2);
    EXPECT_EQ(dst.GetEvntNo(), 2u);
}

TEST(ArticExpEvnt, PositionReportsTheOwnersPlaces) {
    exptest::World w;
    CArticExpBlk* blk = w.PartExpBlk();
    auto* e = new CArticExpDel(blk, 1, nullptr);
    blk->AddTail(e);
    POSITION trk = nullptr, pos = nullptr, evnt = nullptr;
    e->GetPos(&trk, &pos, &evnt);
    EXPECT_EQ(evnt, blk->GetHeadPos());
    EXPECT_EQ(pos, w.exp.Get(1)->GetHeadPos());
    EXPECT_EQ(trk, w.exp.GetPos(1));

    CArticExpDel loose(nullptr, 2, nullptr);
    POSITION untouched = reinterpret_cast<POSITION>(&loose);
    POSITION t2 = untouched, b2 = untouched, e2 = untouched;
    loose.GetPos(&t2, &b2, &e2);
    EXPECT_EQ(e2, nullptr);
    EXPECT_EQ(t2, untouched);
    EXPECT_EQ(b2, untouched);
}

TEST(ArticExpEvnt, ReLinkWrkBlkPointsEntryZeroIntoTheGivenData) {
    exptest::World w;
    w.Note(5, 0);
    CArticExpBlk* blk = w.PartExpBlk();
    auto* e = new CArticExpDel(blk, 1, nullptr);
    blk->AddTail(e);
    EXPECT_EQ(e->ReLinkWrkBlk(&w.wrk), 1);  // no record yet
    w.Prepare();
    CArticPasnData* record = e->GetPasnData();
    EXPECT_EQ(e->ReLinkWrkBlk(&w.wrk), 0);  // already there: nothing changes
    EXPECT_EQ(record->Get(ULONG(0)), w.partBlk);
    EXPECT_EQ(record->GetBlkNum(), 1u);
    EXPECT_EQ(e->GetWrk(), &w.wrk);
    EXPECT_EQ(e->GetMidWrk(), &w.wrk);

    EXPECT_EQ(e->ReLinkWrkBlk(&w.mid), 0);
    EXPECT_EQ(record->Get(ULONG(0)), w.MidPartBlk());
    EXPECT_EQ(e->GetMidWrk(), &w.mid);

    CArticWrk other;  // no track of that number
    wrktest::AddBlock(wrktest::AddTrack(other, 4));
    EXPECT_EQ(e->ReLinkWrkBlk(&other), 1);
    EXPECT_EQ(record->Get(ULONG(0)), w.MidPartBlk());
    EXPECT_EQ(e->ReLinkWrkBlk(nullptr), 1);
}

TEST(ArticExpEvnt, NewMiddleBlocksGoToNewTracksOfTheBlocksData) {
    exptest::World w;
    CArticExpBlk* blk = w.PartExpBlk();
    auto* e = new CArticExpDel(blk, 1, nullptr);
    blk->AddTail(e);
    EXPECT_EQ(e->NewMidWrkBlk(1, 0, w.partBlk), nullptr);  // no record: nothing made
    EXPECT_EQ(w.wrk.GetCount(), 2);

    w.Prepare();
    CArticWrkBlk* made = e->NewMidWrkBlk(1, 0, w.partBlk);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetWrk(), &w.wrk);
    EXPECT_EQ(made->GetOwner()->GetTrkNo(), 2u);  // lowest number no track uses
    EXPECT_EQ(e->GetMidWrkBlk(1), made);

    CArticWrkBlk* shared = e->NewMidCommonWrkBlk(0, 1, w.partBlk);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->GetOwner()->GetTrkNo(), 10u);
    EXPECT_EQ(e->GetMidCommonWrkBlk(0), shared);
    EXPECT_EQ(w.pasn.GetCommon()->IsWrkBlk(w.pasn.GetCommon()->GetWrkBlkList(0), w.partBlk), 1);

    for (int i = w.wrk.GetCount(); i < 16; ++i) w.wrk.NewTrk(0);
    ASSERT_EQ(w.wrk.GetCount(), 16);
    EXPECT_EQ(e->NewMidWrkBlk(2, 0, w.partBlk), nullptr);
    EXPECT_EQ(e->GetPasnData()->GetBlkNum(), 2u);
    EXPECT_EQ(e->GetMidWrkBlk(2), nullptr);
}
