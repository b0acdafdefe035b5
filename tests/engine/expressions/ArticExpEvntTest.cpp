#include <gtest/gtest.h>

#include "driver/ArticErr.h"
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
