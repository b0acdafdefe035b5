// Running a loaded rule set on notes: call order, the stop, the
// probability, the expression texts, the searched marks, the run-time
// report and copies of a set.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RulSetFixture.h"
#include "engine/rules/ArticSrchEvnt.h"

using namespace rultest;

namespace {

// Rule set 283 of the nylon-guitar script: the velocity of a dead note
// (articulation code 1 in slot 6) mapped onto the zone 61..75.
const std::initializer_list<const char*> kDeadNoteSet = {
    "; dead-note velocity zone",
    "#set:283",
    "#name:VEXA_tune_DEAD",
    "#dir:0",
    "#func1:CArticSrchGetNoteInfo( _thisEvnt, 6, &_val1)",
    "#func2:CArticSrchValCmp( _val1, 1, 0, &_val2)",
    "#func3:CArticSrchBreak( _val2)",
    "#prob:1",
    "#val6:1",
    "#val7:127",
    "#val8:61",
    "#val9:75",
    "#func4:CArticSrchGetNoteInfo( _thisEvnt, 3, &_val3)",
    "#val4:(_val3 - _val6) * (_val9 - _val8) / (_val7 - _val6) + _val8",
    "#func5:CArticSrchLim( _val4, _val8, _val9, &_val5)",
    "#func6:CArticSrchPutNoteInfo( _thisEvnt, 3, _val5)",
};


struct DeadNoteCase {
    LONG code;        // slot 6
    int velocity;     // velocity and slot 3
    LONG slot3;       // slot 3 after the run
    double prob;
};
const DeadNoteCase kDeadNotes[] = {
    {1, 127, 75, 1.0},  // top of 1..127 -> top of the zone
    {1, 1, 61, 1.0},    // bottom -> bottom
    {1, 64, 68, 1.0},   // 63 * 14 / 126 + 61
    {1, 100, 72, 1.0},  // 99 * 14 / 126 + 61
    {0, 127, 127, 0.0}, // not a dead note: the set stops before touching slot 3
    {2, 127, 127, 0.0},
};

}  // namespace

TEST_F(RulSetTest, DeadNoteSetMapsVelocityIntoItsZone) {
    ASSERT_EQ(Load(kDeadNoteSet), 0) << Details().size();
    EXPECT_EQ(set->GetSetNo(), 283);
    EXPECT_EQ(set->GetName(), "VEXA_tune_DEAD");
    for (const DeadNoteCase& c : kDeadNotes) {
        AddNotes({c.velocity});
        CArticWrkEvnt* note = notes.back();
        note->SetNoteInfo(6, c.code);
        note->SetNoteInfo(3, c.velocity);
        ASSERT_EQ(set->Search(note), 0);
        EXPECT_EQ(note->GetNoteInfo(3), c.slot3) << c.code << " " << c.velocity;
        EXPECT_EQ(set->GetBreak(), c.prob == 0.0 ? 1 : 0);
        double prob = -1;
        EXPECT_EQ(set->GetDataVal(&prob), 0);
        EXPECT_DOUBLE_EQ(prob, c.prob) << c.code << " " << c.velocity;
    }
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
}

TEST_F(RulSetTest, CallsRunInLineOrderAndTheProbabilityAfterThem) {
    // #func7 stands first: it writes slot 4 before #func1 reads it.
    ASSERT_EQ(Load({"#set:1", "#func7:CArticSrchPutNoteInfo(_thisEvnt, 4, 5)",
                    "#func1:CArticSrchGetNoteInfo(_thisEvnt, 4, &_val1)", "#prob:_val1 * 2"}),
              0);
    AddNotes({100});
    ASSERT_EQ(set->Search(notes[0]), 0);
    double prob = 0;
    set->GetDataVal(&prob);
    EXPECT_DOUBLE_EQ(prob, 10.0);
}

TEST_F(RulSetTest, BreakStopsTheRestOfTheCallsForThatNote) {
    ASSERT_EQ(Load({"#set:1", "#func1:CArticSrchGetNoteInfo(_thisEvnt, 0, &_val1)",
                    "#func2:CArticSrchPutNoteInfo(_thisEvnt, 4, 7)", "#func3:CArticSrchBreak(_val1)",
                    "#func4:CArticSrchPutNoteInfo(_thisEvnt, 5, 9)", "#prob:3"}),
              0);
    AddNotes({100, 100});
    notes[1]->SetNoteInfo(0, 1);
    ASSERT_EQ(set->Search(notes[0]), 0);
    EXPECT_EQ(notes[0]->GetNoteInfo(4), 7);
    EXPECT_EQ(notes[0]->GetNoteInfo(5), 0);
    double prob = -1;
    set->GetDataVal(&prob);
    EXPECT_DOUBLE_EQ(prob, 0.0);
    // The next run starts unbroken.
    ASSERT_EQ(set->Search(notes[1]), 0);
    EXPECT_EQ(notes[1]->GetNoteInfo(5), 9);
    set->GetDataVal(&prob);
    EXPECT_DOUBLE_EQ(prob, 3.0);
}

TEST_F(RulSetTest, SetWithoutCallsGivesEveryNoteItsProbability) {
    ASSERT_EQ(Load({"#set:1", "#prob:1"}), 0);
    AddNotes({10, 20, 30});
    for (CArticWrkEvnt* n : notes) {
        ASSERT_EQ(set->Search(n), 0);
        double prob = 0;
        set->GetDataVal(&prob);
        EXPECT_DOUBLE_EQ(prob, 1.0);
    }
}

TEST_F(RulSetTest, RunWithoutNoteDoesNothing) {
    ASSERT_EQ(Load({"#set:1", "#func1:CArticSrchPutNoteInfo(_thisEvnt, 4, 7)", "#prob:1"}), 0);
    EXPECT_EQ(set->Search(nullptr), 1);
    EXPECT_EQ(set->Search(), 1);
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
}

TEST_F(RulSetTest, CallThatLeavesAnErrorTextIsReportedOnce) {
    // The string of a note without fingering cannot be read: the note's
    // variable is named as the error text, and the value reads 0.
    ASSERT_EQ(Load({"#set:5", "#func2:CArticSrchBreak(_thisEvnt.Gen)", "#func3:CArticSrchPutNoteInfo(_thisEvnt, 4, 7)",
                    "#prob:1"}),
              0);
    AddNotes({100, 100, 100});
    ASSERT_EQ(set->Search(notes[2]), 0);
    EXPECT_EQ(Details(), (std::vector<std::string>{
                             "ｾｯﾄ番号 = 5  ｲﾍﾞﾝﾄ番号 = 2 ( CArticSrchBreak )  ﾙｰﾙ・ﾃﾞｰﾀ = thisEvnt  "
                             "処理対象の音符ｲﾍﾞﾝﾄ番号 = 3"}));
    EXPECT_EQ(CArticErr::GetMsgCount(), 2);
    EXPECT_EQ(LastFunction(), "Search");
    EXPECT_EQ(CArticErr::GetErrDlg()->GetAllMsg().Find("中間表現ﾃﾞｰﾀの生成中にｴﾗｰが発生しました。\r"), 0);
    EXPECT_GE(CArticErr::GetErrDlg()->GetAllMsg().Find("音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ検索中にｴﾗｰが発生しました。"), 0);
    EXPECT_EQ(set->IsErrInfo(), 0);

    // A set without "#set" line reports its number as -1.
    CArticErr::Clear();
    ASSERT_EQ(Load({"#func2:CArticSrchBreak(_thisEvnt.Gen)", "#prob:1"}), 0);
    ASSERT_EQ(set->Search(notes[0]), 0);
    EXPECT_EQ(Details(), (std::vector<std::string>{
                             "ｾｯﾄ番号 = -1  ｲﾍﾞﾝﾄ番号 = 2 ( CArticSrchBreak )  ﾙｰﾙ・ﾃﾞｰﾀ = thisEvnt  "
                             "処理対象の音符ｲﾍﾞﾝﾄ番号 = 1"}));

    // While ErrKind is set nothing is reported.
    CArticErr::Clear();
    set->SetErrKind(1);
    ASSERT_EQ(set->Search(notes[1]), 0);
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
}

TEST_F(RulSetTest, FailureWithoutErrorTextIsNotReported) {
    // Slot 10 does not exist: the built-in fails but leaves no text.
    ASSERT_EQ(Load({"#set:1", "#func1:CArticSrchGetNoteInfo(_thisEvnt, 10, &_val1)", "#prob:1"}), 0);
    AddNotes({100});
    ASSERT_EQ(set->Search(notes[0]), 0);
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
}

TEST_F(RulSetTest, ExpressionTextsOfTheLinesWhoseConditionHolds) {
    ASSERT_EQ(Load({"#set:1", "#val1:0", "#val2:1", "#exp1:_val1:CArticExpDurAbs(1{_thisEvnt}, 10)",
                    "#exp2:CArticExpDurAbs(1{_thisEvnt}, 20)", "#exp3:_val2:Mstr:CArticExpDurAbs(1{_thisEvnt}, 30)",
                    "#exp4:CArticExpDebug_i2(1{_thisEvnt}, \"ﾃｽﾄ\", _thisEvnt.Key)"}),
              0);
    AddNotes({100, 90});
    set->SetWrkEvnt(notes[1]);
    CStringList texts;
    int master = -1;
    ASSERT_EQ(set->GetExpEvnt(texts, &master), 0);
    EXPECT_EQ(Texts(texts), (std::vector<std::string>{"CArticExpDurAbs(1{:w2}, 20)",
                                                      "CArticExpDurAbs(1{:w2}, 30), Mstr",
                                                      "CArticExpDebug_i2(1{:w2}, \"ﾃｽﾄ\", 62)"}));
    // The last line with a text has no "Mstr".
    EXPECT_EQ(master, 0);

    // Master follows the last line with a text, whether or not its condition held.
    ASSERT_EQ(Load({"#set:1", "#val1:0", "#exp1:CArticExpDurAbs(1{_thisEvnt}, 10)",
                    "#exp2:_val1:Mstr:CArticExpDurAbs(1{_thisEvnt}, 20)"}),
              0);
    set->SetWrkEvnt(notes[0]);
    ASSERT_EQ(set->GetExpEvnt(texts, &master), 0);
    EXPECT_EQ(Texts(texts), (std::vector<std::string>{"CArticExpDurAbs(1{:w1}, 10)"}));
    EXPECT_EQ(master, 1);

    // No text at all.
    ASSERT_EQ(Load({"#set:1", "#val1:0", "#exp1:_val1:CArticExpDurAbs(1{_thisEvnt}, 10)"}), 0);
    set->SetWrkEvnt(notes[0]);
    EXPECT_EQ(set->GetExpEvnt(texts, &master), 1);
    EXPECT_TRUE(texts.IsEmpty());
}

TEST_F(RulSetTest, SearchedMarksFollowTheLinesWithoutNSrch) {
    struct MarkCase {
        const char* line;
        bool nextMarked;
    };
    const MarkCase cases[] = {
        {"#exp1:CArticExpDel(2{_thisEvnt, _evnt1})", true},
        {"#exp1:nSrch:CArticExpDel(2{_thisEvnt, _evnt1})", false},
        {"#exp1:_val0:CArticExpDel(2{_thisEvnt, _evnt1})", false},  // its condition does not hold
        {"#searched:_evnt1", true},
    };
    AddNotes({100, 100});
    for (const MarkCase& c : cases) {
        notes[0]->SetSearch(9, 0);
        notes[1]->SetSearch(9, 0);
        ASSERT_EQ(Load({"#set:9", "#val0:0", "#evnt1:_thisEvnt.AllNext", c.line}), 0) << c.line;
        set->SetWrkEvnt(notes[0]);
        set->SetSearchFlag(1);
        EXPECT_EQ(notes[1]->GetSearch(9), c.nextMarked ? 1 : 0) << c.line;
        // The current note itself is never marked by its own expression lines.
        if (std::string(c.line).find("#exp") == 0) {
            EXPECT_EQ(notes[0]->GetSearch(9), 0) << c.line;
        }
    }
}

TEST_F(RulSetTest, CopyRunsOnItsOwnVariablesAfterTheSourceIsGone) {
    ASSERT_EQ(Load(kDeadNoteSet), 0);
    CArticRulSet copy(&rul, &wrk);
    copy = *set;
    set.reset();
    EXPECT_EQ(copy.GetSetNo(), 283);
    EXPECT_EQ(copy.GetName(), "VEXA_tune_DEAD");
    ASSERT_EQ(copy.GetSrchEvntList()->GetCount(), 6);
    for (POSITION p = copy.GetSrchEvntList()->GetHeadPosition(); p;) {
        CArticSrchEvnt* call = copy.GetSrchEvntList()->GetNext(p);
        EXPECT_EQ(call->GetRulSet(), &copy);
        CArticRulElmList args(10);
        call->GetRulElmList(&args);
        for (POSITION q = args.GetHeadPosition(); q;) {
            CArticRulData* var = args.GetNext(q)->GetRulData();
            if (var) EXPECT_EQ(var->GetRulSet(), &copy);
        }
    }
    AddNotes({127});
    notes[0]->SetNoteInfo(6, 1);
    notes[0]->SetNoteInfo(3, 127);
    ASSERT_EQ(copy.Search(notes[0]), 0);
    EXPECT_EQ(notes[0]->GetNoteInfo(3), 75);
}

namespace {
// Lets the test reach the program's set copy.
struct CopyingRul : CArticRul {
    using CArticRul::CArticRul;
    using CArticRul::CopyRulSetList;
};
}  // namespace

TEST_F(RulSetTest, ProgramCopiesItsSetsWithExpressionLines) {
    ASSERT_EQ(Load({"#set:4", "#name:tail", "#val1:2", "#val2:_val1 * 3", "#evnt1:_thisEvnt.AllPre",
                    "#exp1:_val1:CArticExpDurAbs(2{_thisEvnt, _evnt1}, _val2)", "#prob:_val2"}),
              0);
    rul.AddTail(set.release());
    CopyingRul copyRul(&wrk);
    copyRul.CopyRulSetList(rul.GetRulSetList());
    rul.ClearRulSetList();
    ASSERT_EQ(copyRul.GetCount(), 1);
    CArticRulSet* copy = copyRul.Get(0);
    EXPECT_EQ(copy->GetRul(), &copyRul);
    EXPECT_EQ(copy->GetSetNo(), 4);
    AddNotes({100, 100});
    copy->SetWrkEvnt(notes[1]);
    double prob = 0;
    copy->GetDataVal(&prob);
    EXPECT_DOUBLE_EQ(prob, 6.0);
    CStringList texts;
    ASSERT_EQ(copy->GetExpEvnt(texts), 0);
    EXPECT_EQ(Texts(texts), (std::vector<std::string>{"CArticExpDurAbs(2{:w2, :w1}, 6)"}));
}
