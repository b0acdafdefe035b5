#include <gtest/gtest.h>

#include "RulesFixture.h"
#include "engine/rules/ArticRulInit.h"
#include "engine/rules/ArticRulSub.h"
#include "engine/rules/ArticRulUtil.h"

using namespace rultest;
using namespace wrktest;

TEST(ArticRul, GlobalsGrowInStepsOfFive) {
    ErrList errors;
    CArticRul rul;
    EXPECT_EQ(rul.GetGlobal(3), 0.0);
    EXPECT_EQ(rul.SetGlobal(7, 2.5), 1);
    EXPECT_EQ(rul.GetGlobal(7), 2.5);
    EXPECT_EQ(rul.GetGlobal(9), 0.0);
    EXPECT_EQ(rul.GetGlobal(10), 0.0);
    EXPECT_EQ(rul.SetGlobal(10, 1.0), 1);
    EXPECT_EQ(rul.GetGlobal(7), 2.5);
    rul.ClearGlobalArray();
    EXPECT_EQ(rul.GetGlobal(7), 0.0);
    // A clear keeps the storage: a value from before it must not come back
    // when a lower slot is written again, nor once the table grows past it.
    EXPECT_EQ(rul.SetGlobal(2, 1.0), 1);
    EXPECT_EQ(rul.GetGlobal(7), 0.0);
    EXPECT_EQ(rul.GetGlobal(10), 0.0);
    EXPECT_EQ(rul.SetGlobal(12, 3.0), 1);
    EXPECT_EQ(rul.GetGlobal(7), 0.0);
    EXPECT_EQ(rul.GetGlobal(10), 0.0);
    EXPECT_EQ(rul.GetGlobal(2), 1.0);
}

TEST(ArticRul, GlobalIndexPastTheLimitIsRefusedWithAnError) {
    ErrList errors;
    CArticRul rul;
    // A script's -1 arrives as 0xFFFFFFFF: index + 1 would wrap to 0.
    EXPECT_EQ(rul.SetGlobal(0xFFFFFFFFu, 1.0), 0);
    EXPECT_EQ(CArticErr::GetMsgCount(), 2);  // the error and its detail line
    EXPECT_EQ(rul.SetGlobal(0x7FFFFFFFu, 1.0), 0);
    EXPECT_EQ(rul.GetGlobal(0xFFFFFFFFu), 0.0);
    EXPECT_EQ(rul.SetGlobal(kMaxRulIndex, 4.0), 1);
    EXPECT_EQ(rul.GetGlobal(kMaxRulIndex), 4.0);
    EXPECT_EQ(rul.SetGlobal(kMaxRulIndex + 1, 4.0), 0);
}

TEST(ArticRul, RuleDataEventArray) {
    ErrList errors;
    CArticWrk wrk;
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    CArticWrkEvnt* n1 = AddNote(blk, 1, 0, 60);
    CArticWrkEvnt* cc = AddCc(blk, 2, 10, 7, 100);
    CArticWrkEvnt* n3 = AddNote(blk, 3, 20, 62);
    CArticRul rul(&wrk);
    EXPECT_EQ(rul.GetTailElmNoRulDataEvnt(), -1);
    EXPECT_EQ(rul.SetRulDataEvnt(0u, n1), 1);
    EXPECT_EQ(rul.SetRulDataEvnt(2u, cc), 1);  // a slot, but no note in it
    EXPECT_EQ(rul.SetRulDataEvnt(3u, n3), 1);
    EXPECT_EQ(rul.GetRulDataEvntArray()->GetSize(), 5);
    ASSERT_NE(rul.GetRulDataEvnt(2), nullptr);
    EXPECT_EQ(rul.GetRulDataEvnt(2)->GetEvnt(0), nullptr);
    EXPECT_EQ(rul.GetRulDataEvnt(1), nullptr);
    EXPECT_EQ(rul.GetRulDataEvnt(99), nullptr);
    EXPECT_EQ(rul.GetTailElmNoRulDataEvnt(), 3);
    CArticWrkEvntList all;
    EXPECT_EQ(rul.GetRulDataEvntAll(&all), 0);
    ASSERT_EQ(all.GetCount(), 2);
    EXPECT_EQ(all.GetTail(), n3);
    // The copy form takes note, base and code; null empties the slot.
    CArticRulDataEvnt rel(nullptr, 0, rul.GetRulDataEvnt(0), kElmAllNext);
    EXPECT_EQ(rul.SetRulDataEvnt(1u, &rel), 1);
    EXPECT_EQ(rul.GetRulDataEvnt(1)->GetEvnt(0), n3);
    EXPECT_EQ(rul.GetRulDataEvnt(1)->GetDataNo(), 1u);
    EXPECT_EQ(rul.SetRulDataEvnt(3u, static_cast<CArticWrkEvnt*>(nullptr)), 1);
    EXPECT_EQ(rul.GetRulDataEvnt(3), nullptr);
    // Indexes that wrapped from -1 or are absurd are refused, nothing grows.
    EXPECT_EQ(rul.SetRulDataEvnt(0xFFFFFFFFu, n1), 0);
    EXPECT_EQ(rul.SetRulDataEvnt(0x80000000u, &rel), 0);
    EXPECT_EQ(rul.GetRulDataEvntArray()->GetSize(), 5);
    EXPECT_GE(CArticErr::GetMsgCount(), 2);
    rul.ClearRulDataEvntArray();
    EXPECT_EQ(rul.GetRulDataEvntArray()->GetSize(), 0);
    EXPECT_EQ(rul.GetRulDataEvntAll(&all), 1);
}

TEST(ArticRul, FreeEventNumbersCountUpAndRestartAfterClear) {
    CArticWrk wrk;
    CArticWrkBlk* blk = AddBlock(AddTrack(wrk, 1));
    AddNote(blk, 499, 0, 60);
    CArticRul rul(&wrk);
    ASSERT_EQ(wrk.GetFreeEvntNo(), 500u);
    EXPECT_EQ(rul.GetFreeEvntNo(), 500u);
    EXPECT_EQ(rul.GetFreeEvntNo(), 501u);
    EXPECT_EQ(rul.GetFreeEvntNo(), 502u);
    EXPECT_EQ(rul.GetEvntCount(), 3u);
    rul.Clear();
    EXPECT_EQ(rul.GetFreeEvntNo(), 500u);
    CArticRul bare;
    EXPECT_EQ(bare.GetFreeEvntNo(), 2147483647u);
    EXPECT_EQ(bare.GetEvntCount(), 0u);
}

TEST(ArticRul, InitBlocksByIndex) {
    CArticRul rul;
    CArticRulInit* init = reinterpret_cast<CArticRulInit*>(0x1);
    EXPECT_EQ(rul.GetInit(2, &init), 0);
    EXPECT_EQ(rul.GetInit(-1, &init), 0);
    EXPECT_EQ(init, reinterpret_cast<CArticRulInit*>(0x1));
    EXPECT_EQ(rul.GetInit(2), nullptr);
    EXPECT_EQ(rul.GetInit(1, &init), 1);
    EXPECT_EQ(init->GetRul(), &rul);
    EXPECT_NE(rul.GetInit(0), rul.GetInit(1));
    EXPECT_EQ(init->GetTgMode(), 2);
    init->SetProcNest(1);
    init->SetProcNestFlag(1);
    rul.SetProcNestFlag(1);
    rul.Clear();
    EXPECT_EQ(init->GetProcNest(), 0);
    EXPECT_EQ(rul.GetProcNestFlag(), 0);
    EXPECT_EQ(rul.GetInit(1), init);  // the blocks survive a clear
}

TEST(ArticRul, SetListLookupsAndRemoval) {
    CArticRul rul;
    auto add = [&](int no) {
        auto* s = new CArticRulSet(&rul, nullptr);
        s->SetSetNo(no);
        rul.AddTail(s);
        return s;
    };
    CArticRulSet* first7 = add(7);
    add(2);
    CArticRulSet* second7 = add(7);
    EXPECT_EQ(rul.GetCount(), 3);
    EXPECT_EQ(rul.GetBySetNo(7), first7);
    EXPECT_EQ(rul.GetSetNo(1), 2u);
    EXPECT_EQ(rul.GetSetNo(5), 0u);
    EXPECT_EQ(rul.Get(2), second7);
    EXPECT_EQ(rul.RemoveRulSetNo(7), 0);
    EXPECT_EQ(rul.GetCount(), 2);
    EXPECT_EQ(rul.GetBySetNo(7), second7);
    EXPECT_EQ(rul.RemoveRulSetNo(99), 0);
    POSITION p = rul.GetHeadPos();
    CArticRulSet* s = nullptr;
    EXPECT_EQ(rul.GetNext(p, &s), 1);
    EXPECT_EQ(s->GetSetNo(), 2);

    auto* sub = new CArticRulSub(&rul, nullptr);
    sub->SetSubNo(19);
    rul.AddSubTail(sub);
    EXPECT_EQ(rul.GetBySubNo(19), sub);
    EXPECT_EQ(rul.GetBySubNo(20), nullptr);
    EXPECT_EQ(rul.GetSubNo(0), 19u);
    EXPECT_STREQ(sub->GetClassNameA(), "CArticRulSub");
    rul.Clear();
    EXPECT_EQ(rul.GetCount(), 0);
    EXPECT_EQ(rul.GetSubCount(), 0);
}

TEST(ArticRulSet, RegistrationByNumber) {
    CArticRulSet set(nullptr, nullptr);
    EXPECT_EQ(set.GetSetNo(), -1);
    auto* v = new CArticRulDataVal(&set, 24);
    EXPECT_EQ(set.SetDataVal(v), 1);  // grows past the 20 first slots
    EXPECT_EQ(set.GetDataVal(24), v);
    auto* twin = new CArticRulDataVal(&set, 24);
    EXPECT_EQ(set.SetDataVal(twin), 0);
    delete twin;
    auto* huge = new CArticRulDataVal(&set, 0x7FFFFFFF);
    EXPECT_EQ(set.SetDataVal(huge), 0);
    delete huge;
    EXPECT_EQ(set.GetDataVal(-1), nullptr);
    EXPECT_EQ(set.GetSrchEvnt(-1), nullptr);
    // Probability: the #prob value, or 0 after a break.
    set.GetDataVal()->SetData(0.5);
    double prob = -1;
    EXPECT_EQ(set.GetDataVal(&prob), 0);
    EXPECT_EQ(prob, 0.5);
    set.SetBreak(1);
    EXPECT_EQ(set.GetDataVal(&prob), 0);
    EXPECT_EQ(prob, 0.0);
    set.Clear();
    EXPECT_EQ(set.GetDataVal(24), nullptr);
    EXPECT_EQ(set.GetBreak(), 0);
    EXPECT_EQ(set.GetDataVal()->GetData(), 0.0);
}
