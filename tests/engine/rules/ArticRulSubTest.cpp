// Subroutine blocks: loading with their parameters, calls from a set that
// move values in and out, the condition, the own error reports, copies, and
// refused recursion.
#include <gtest/gtest.h>

#include <string>

#include "RulSetFixture.h"
#include "engine/rules/ArticSrchSubRoutine.h"

using namespace rultest;

namespace {

// Gap between two notes' slot-0 values compared with a limit.
const std::initializer_list<const char*> kIntervalSub = {
    "#sub:10",
    "#name:NoteTimeInterval",
    "#in1:_evnt1",
    "#in2:_evnt2",
    "#in3:_val1",
    "#func1:CArticSrchGetNoteInfo( _evnt1, 0, &_val2)",
    "#func2:CArticSrchGetNoteInfo( _evnt2, 0, &_val3)",
    "#val4:_val3 - _val2",
    "#func3:CArticSrchValMore( _val1, _val4, &_val5)",
    "#out1:_val5",
};

struct SubTest : RulSetTest {
    // Loads a subroutine block and, when it loads, appends it to the program.
    int LoadSub(std::initializer_list<const char*> lines, CArticRulSub** out = nullptr) {
        CStringList list;
        Lines(lines, list);
        auto* sub = new CArticRulSub(&rul, &wrk);
        const int r = sub->Load(list);
        if (r) {
            delete sub;
            return r;
        }
        rul.AddSubTail(sub);
        if (out) *out = sub;
        return 0;
    }
};

}  // namespace

TEST_F(SubTest, BlockLoadsWithItsParameters) {
    CArticRulSub* sub = nullptr;
    ASSERT_EQ(LoadSub(kIntervalSub, &sub), 0);
    EXPECT_EQ(sub->GetSubNo(), 10);
    EXPECT_EQ(std::string(sub->GetName().str()), "NoteTimeInterval");
    EXPECT_EQ(sub->GetInCount(), 3);
    EXPECT_EQ(sub->GetOutCount(), 1);
    EXPECT_EQ(sub->GetDataIn(1)->GetData(), sub->GetDataEvnt(1));
    EXPECT_EQ(sub->GetDataIn(3)->GetData(), sub->GetDataVal(1));
    EXPECT_EQ(sub->GetDataOut(1)->GetData(), sub->GetDataVal(5));
    EXPECT_TRUE(Details().empty());
}

TEST_F(SubTest, FaultyLinesAreRefusedWithTheSubroutineLabel) {
    const char* const kBad[] = {
        "#out1:_val7",          // output before its variable
        "#in0:_val1",           // parameter numbers start at 1
        "#in1:_val1",           // parameter 1 twice
        "#prob:1",              // a subroutine never fires
        "#exp1:CArticExpDel()", // and has no expression lines
        "#set:3",
        "#in2:_evnt1.Next",     // an existing note variable with a member
        "#sub10(_evnt1)",       // a call of itself
    };
    for (const char* bad : kBad) {
        CArticErr::Clear();
        EXPECT_NE(LoadSub({"#sub:10", "#in1:_val1", "#evnt1:_thisEvnt", bad}), 0) << bad;
        const auto d = Details();
        ASSERT_FALSE(d.empty()) << bad;
        EXPECT_EQ(d.back(), std::string("ｻﾌﾞﾙｰﾁﾝ番号 = 10   行内容 = ") + bad);
    }
    CArticErr::Clear();
    EXPECT_NE(LoadSub({"#in1:_val1", "#bogus:1"}), 0);
    EXPECT_EQ(Details().back(), "ｻﾌﾞﾙｰﾁﾝ番号 = 未定義   行内容 = #bogus:1");
}

TEST_F(SubTest, DuplicateNumberLoadsAndCallsFindTheFirst) {
    CArticRulSub *a = nullptr, *b = nullptr;
    ASSERT_EQ(LoadSub({"#sub:3", "#val1:1", "#out1:_val1"}, &a), 0);
    ASSERT_EQ(LoadSub({"#sub:3", "#val1:2", "#out1:_val1"}, &b), 0);
    EXPECT_TRUE(Details().empty());
    AddNotes({100});
    ASSERT_EQ(Load({"#set:1", "#sub3(&_val9)"}), 0);
    ASSERT_EQ(set->Search(notes[0]), 0);
    EXPECT_EQ(set->GetDataVal(9)->GetData(), 1.0);
}

TEST_F(SubTest, CallMovesArgumentsInAndTheOutputBack) {
    ASSERT_EQ(LoadSub(kIntervalSub), 0);
    AddNotes({100, 100, 100});
    notes[0]->SetNoteInfo(0, 100);
    notes[1]->SetNoteInfo(0, 130);
    ASSERT_EQ(Load({"#set:1", "#evnt2:_thisEvnt.Next", "#val33:50",
                    "#sub10(_thisEvnt,_evnt2,_val33,&_val32)"}),
              0);
    ASSERT_EQ(set->Search(notes[0]), 0);
    EXPECT_EQ(set->GetDataVal(32)->GetData(), 1.0);  // 130 - 100 = 30 < 50
    CArticRulSub* sub = rul.GetBySubNo(10);
    EXPECT_EQ(sub->GetDataEvnt(1)->GetEvnt(0), notes[0]);
    EXPECT_EQ(sub->GetDataEvnt(2)->GetEvnt(0), notes[1]);
    EXPECT_EQ(sub->GetDataVal(1)->GetData(), 50.0);
    EXPECT_EQ(sub->GetSetNo(), 1);  // the caller's number while it runs

    set->GetDataVal(33)->SetData(20.0);  // constant replaced: 30 < 20 fails
    ASSERT_EQ(set->Search(notes[0]), 0);
    EXPECT_EQ(set->GetDataVal(32)->GetData(), 0.0);
}

TEST_F(SubTest, FalseConditionLeavesTheOutputsAlone) {
    ASSERT_EQ(LoadSub({"#sub:4", "#in1:_val1", "#val2:_val1 * 2", "#out1:_val2"}), 0);
    AddNotes({100});
    ASSERT_EQ(Load({"#set:1", "#val1:0", "#val6:21", "#sub4:_val1(_val6, &_val5)"}), 0);
    set->GetDataVal(5)->SetData(-7.0);
    ASSERT_EQ(set->Search(notes[0]), 0);
    EXPECT_EQ(set->GetDataVal(5)->GetData(), -7.0);
    set->GetDataVal(1)->SetData(1.0);
    ASSERT_EQ(set->Search(notes[0]), 0);
    EXPECT_EQ(set->GetDataVal(5)->GetData(), 42.0);
}

TEST_F(SubTest, TextAndNoteOutputsAndBrokenSubroutine) {
    ASSERT_EQ(LoadSub({"#sub:6", "#in1:_str1", "#in2:_evnt1", "#evnt2:_evnt1.Next", "#val1:5",
                       "#func1:CArticSrchBreak(0)", "#out1:_str1", "#out2:_evnt2", "#out3:_val1"}),
              0);
    AddNotes({100, 100});
    ASSERT_EQ(Load({"#set:1", "#sub6(\"abc\", _thisEvnt, &_str1, &_evnt1, &_val1)"}), 0);
    ASSERT_EQ(set->Search(notes[0]), 0);
    // A text constant travels as the set stores it, quotes included.
    EXPECT_EQ(std::string(set->GetDataStr(1)->GetData().str()), "\"abc\"");
    EXPECT_EQ(set->GetDataEvnt(1)->GetEvnt(0), notes[1]);
    // Value lines are formulas read when asked for: the broken run still
    // hands back what its variables hold.
    EXPECT_EQ(set->GetDataVal(1)->GetData(), 5.0);
}

TEST_F(SubTest, RecursiveCallChainIsRefused) {
    // 1 <- 2 <- a second "1" that calls 2; put first, it closes a loop.
    ASSERT_EQ(LoadSub({"#sub:1", "#val1:1", "#out1:_val1"}), 0);
    ASSERT_EQ(LoadSub({"#sub:2", "#sub1(&_val1)", "#out1:_val1"}), 0);
    auto* loop = new CArticRulSub(&rul, &wrk);
    CStringList lines;
    Lines({"#sub:1", "#sub2(&_val1)", "#out1:_val1"}, lines);
    ASSERT_EQ(loop->Load(lines), 0);
    rul.AddSubHead(loop);
    AddNotes({100});
    ASSERT_EQ(Load({"#set:1", "#sub1(&_val1)"}), 0);
    CArticErr::Clear();
    EXPECT_EQ(set->Search(notes[0]), 0);  // ends instead of recursing
    bool reported = false;
    for (const auto& d : Details()) reported |= d.find("再帰呼出し") != std::string::npos;
    EXPECT_TRUE(reported);
}

TEST_F(SubTest, CopiedProgramRunsItsOwnSubroutineVariables) {
    ASSERT_EQ(LoadSub({"#sub:4", "#in1:_val1", "#val2:_val1 * 2", "#out1:_val2"}), 0);
    CArticRul copy(&wrk);
    copy.CopyRulSubList(rul.GetRulSubList());
    ASSERT_EQ(copy.GetSubCount(), 1);
    CArticRulSub* sub = copy.GetSub(0);
    CArticRulSub* orig = rul.GetSub(0);
    EXPECT_EQ(sub->GetRul(), &copy);
    EXPECT_EQ(sub->GetSubNo(), 4);
    EXPECT_EQ(sub->GetDataIn(1)->GetData(), sub->GetDataVal(1));
    EXPECT_NE(sub->GetDataIn(1)->GetData(), orig->GetDataVal(1));
    EXPECT_EQ(sub->GetDataOut(1)->GetData(), sub->GetDataVal(2));
}
