// What every built-in shares: binding and listing its arguments in script
// order, the catalogue's makers, the event read that leaves the note's error
// flag alone, and the report of a recorded operand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "BuiltinFixture.h"
#include "engine/rules/RulSetFixture.h"

using namespace bitest;

namespace {

// The numbers of the constant elements of a built-in's list, in list order.
std::vector<double> ListedNumbers(CArticSrchEvnt* b) {
    CArticRulElmList list;
    b->GetRulElmList(&list);
    std::vector<double> out;
    for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p)->GetData());
    return out;
}

}  // namespace

TEST_F(BuiltinTest, CatalogueMakesEveryBuiltClassWithItsArgumentsInScriptOrder) {
    int built = 0;
    for (int i = 0; i < CArticSrchUtil::kCount; ++i) {
        const ArticSrchInfo* info = CArticSrchUtil::GetInfo(i);
        if (!info->make) continue;
        ++built;
        const int nIn = int(std::strlen(info->in)), nOut = int(std::strlen(info->out));
        // Distinct constants 1..N stand for the arguments; the lists must give them back in order.
        ElmList args{};
        for (int k = 0; k < nIn + nOut; ++k) args.list.AddTail(Num(k + 1));
        CExString name(info->name);
        CArticSrchEvnt* b = nullptr;
        ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, name, 9, &args.list, &b), 0) << info->name;
        std::unique_ptr<CArticSrchEvnt> owned(b);
        EXPECT_STREQ(b->GetClassNameA(), info->name);
        EXPECT_EQ(b->GetInNum(), nIn) << info->name;
        EXPECT_EQ(b->GetOutNum(), nOut) << info->name;
        EXPECT_EQ(b->GetEvntNo(), 9u);
        std::vector<double> want;
        for (int k = 0; k < nIn + nOut; ++k) want.push_back(k + 1);
        EXPECT_EQ(ListedNumbers(b), want) << info->name;
        // The run-time class names the catalogue's base.
        ASSERT_NE(b->GetRuntimeClass()->m_pBaseClass, nullptr);
        EXPECT_STREQ(b->GetRuntimeClass()->m_pBaseClass->m_lpszClassName, info->base) << info->name;
    }
    EXPECT_EQ(built, CArticSrchUtil::kCount);
}

TEST_F(BuiltinTest, ListsGiveScriptOrderWhereStorageDiffers) {
    // ValCmp stores (a, b, out, tol), PutBit (v, out, bit, on),
    // GetNoteInfoBitType (sw, ev, out, idx, bit).
    CArticRulDataVal* out = Val(1);
    CArticSrchEvnt* cmp = Make("CArticSrchValCmp", {Num(10), Num(20), Num(30), Var(out)});
    CArticSrchEvnt* bit = Make("CArticSrchPutBit", {Num(10), Num(20), Num(30), Var(out)});
    CArticSrchEvnt* type = Make("CArticSrchGetNoteInfoBitType", {Num(10), E(This()), Num(30), Num(40), Var(out)});
    for (CArticSrchEvnt* b : {cmp, bit, type}) {
        CArticRulElmList list;
        b->GetRulElmList(&list);
        ASSERT_EQ(list.GetCount(), b->GetInNum() + b->GetOutNum());
        EXPECT_EQ(list.GetTail()->GetRulData(), out) << b->GetClassNameA();  // the output last
        EXPECT_EQ(list.GetHead()->GetData(), 10.0) << b->GetClassNameA();
    }
    EXPECT_EQ(ListedNumbers(cmp), (std::vector<double>{10, 20, 30, 0}));
    EXPECT_EQ(ListedNumbers(type), (std::vector<double>{10, 0, 30, 40, 0}));
}

TEST_F(BuiltinTest, CloneFromTheArgumentListRunsLikeTheOriginal) {
    CArticWrkEvnt* n = Note(1, 0);
    n->SetNoteInfo(2, 6);
    struct Line {
        const char* name;
        std::vector<double> in;  // numbers; NaN marks the note
    };
    const double kNote = std::nan("");
    const Line lines[] = {
        {"CArticSrchValCmp", {3, 5, -2}},           {"CArticSrchPutBit", {5, 1, 1}},
        {"CArticSrchSelType", {1, 8, 2}},            {"CArticSrchNoteInfoValCmp", {kNote, 2, 5, 1}},
        {"CArticSrchGetNoteInfoBitType", {1, kNote, 2, 2}}, {"CArticSrchDurCmp", {kNote, 400, 80}},
        {"CArticSrchLim", {12, 5, 10}},
    };
    for (const Line& l : lines) {
        CArticRulDataVal* out = Val(1, -1.0);
        ElmList args{};
        for (double v : l.in) args.list.AddTail(std::isnan(v) ? E(This()) : Num(v));
        args.list.AddTail(Var(out));
        CExString name(l.name);
        CArticSrchEvnt* original = nullptr;
        ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, name, 4, &args.list, &original), 0);
        made.emplace_back(original);
        EXPECT_EQ(Run(original, n), 0) << l.name;
        const double want = out->GetData();

        CArticRulElmList bound;
        original->GetRulElmList(&bound);
        CArticSrchEvnt* clone = nullptr;
        ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, name, original->GetEvntNo(), &bound, &clone), 0);
        made.emplace_back(clone);
        out->SetData(-1.0);
        EXPECT_EQ(Run(clone, n), 0) << l.name;
        EXPECT_EQ(out->GetData(), want) << l.name;
        EXPECT_NE(want, -1.0) << l.name;
    }
}

TEST_F(BuiltinTest, NamesOutsideTheCatalogueCannotBeMade) {
    for (const char* n : {"CArticSrchMstrChords", "CArticSrchMstr", "CMakeRuleDataVexa"}) {
        CExString name(n);
        ElmList args{Num(1), Num(2), Num(3), Num(4)};
        CArticSrchEvnt* b = reinterpret_cast<CArticSrchEvnt*>(0x1);
        EXPECT_EQ(CArticSrchUtil::MakeEvnt(set, name, 1, &args.list, &b), 1) << n;
        EXPECT_EQ(b, nullptr);
    }
}

TEST_F(BuiltinTest, FailedEventReadKeepsTheErrorFlagAndRecordsNothing) {
    CArticWrkEvnt* n = Note(1, 480);
    CArticRulDataVal* out = Val(1, 5.0);
    for (LONG before : {0, 1}) {
        n->SetErr(kSetNo, before);
        EXPECT_EQ(Run("CArticSrchKeyCmp", {E(Ev(2)), Num(60), Var(out)}, n), 1);
        EXPECT_EQ(out->GetData(), 0.0);
        EXPECT_EQ(Recorded(), "");
        EXPECT_EQ(ErrFlag(n), before);
    }
    // A relation that finds nothing is an event read too.
    n->SetErr(kSetNo, 0);
    EXPECT_EQ(Run("CArticSrchKeyCmp", {E(This(), kElmNext), Num(60), Var(out)}, n), 1);
    EXPECT_EQ(ErrFlag(n), 0);
}

TEST_F(BuiltinTest, FailedMemberReadSetsTheErrorFlagWithoutReport) {
    CArticWrkEvnt* n = Note(1, 480);
    CArticRulDataVal* out = Val(2, 5.0);
    EXPECT_EQ(Run("CArticSrchValMore", {Member(Ev(2), kElmKey), Num(5), Var(out)}, n), 1);
    EXPECT_EQ(out->GetData(), 0.0);
    EXPECT_EQ(Recorded(), "");
    EXPECT_EQ(ErrFlag(n), 1);
}

TEST_F(BuiltinTest, UnobtainableOutputIsRecordedAndNotWritten) {
    CArticWrkEvnt* n = Note(1, 480);
    CArticRulDataStr* text = Str(4, "kept");
    // A text variable where a value output belongs.
    EXPECT_EQ(Run("CArticSrchValMore", {Num(2), Num(1), Var(text)}, n), 1);
    EXPECT_EQ(Recorded(), "str4");
    EXPECT_EQ(text->GetData(), "kept");
}

namespace {
using ReportTest = rultest::RulSetTest;
}

TEST_F(ReportTest, RecordedOperandIsReportedWithSetFunctionClassAndNote) {
    ASSERT_EQ(Load({"#set:4", "#val12:3", "#func5:CArticSrchSelType(_val12, 1, 2, &_val1)", "#prob:1"}), 0);
    AddNotes({100});
    set->GetDataVal(1)->SetData(9.0);
    ASSERT_EQ(set->Search(notes[0]), 0);
    EXPECT_EQ(set->GetDataVal(1)->GetData(), 0.0);
    EXPECT_EQ(Details(), (std::vector<std::string>{"ｾｯﾄ番号 = 4  ｲﾍﾞﾝﾄ番号 = 5 ( CArticSrchSelType )  "
                                                   "ﾙｰﾙ・ﾃﾞｰﾀ = val12  処理対象の音符ｲﾍﾞﾝﾄ番号 = 1"}));
}

TEST_F(ReportTest, BreakStopsTheSetOnlyForExactlyZero) {
    struct Case {
        const char* cond;
        bool stops;
    };
    const Case cases[] = {{"0", true}, {"1", false}, {"0.5", false}, {"-1", false}};
    for (const Case& c : cases) {
        const std::string brk = std::string("#func2:CArticSrchBreak(") + c.cond + ")";
        ASSERT_EQ(Load({"#set:6", "#func1:CArticSrchPutNoteInfo(_thisEvnt, 1, 11)", brk.c_str(),
                        "#func3:CArticSrchPutNoteInfo(_thisEvnt, 2, 22)", "#prob:1"}),
                  0);
        AddNotes({100});
        ASSERT_EQ(set->Search(notes.back()), 0);
        EXPECT_EQ(notes.back()->GetNoteInfo(1), 11) << c.cond;
        EXPECT_EQ(notes.back()->GetNoteInfo(2), c.stops ? 0 : 22) << c.cond;
        double prob = -1;
        set->GetDataVal(&prob);
        EXPECT_EQ(prob, c.stops ? 0.0 : 1.0) << c.cond;
    }
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
}

TEST_F(TwoTrackTest, ClonesOfNeighbourSearchesFindTheSameNotes) {
    n[2]->SetProb(3, 1.0);
    CArticRulDataEvnt* out = Ev(1);
    CArticRulDataEvnt* from = Ev(2, n[7]);
    CArticRulDataVal* found = Val(1);
    // AreaType stores (type, ev, from, to, evOut, key, found); Prob2 (set, evOut, found, ev).
    struct Line {
        const char* name;
        std::vector<CArticRulElm*> args;
        CArticWrkEvnt* want;
    };
    const Line lines[] = {
        {"CArticSrchAreaTypeWrk", {Num(1), E(This()), Num(-960), Num(960), Num(58), Var(out), Var(found)}, n[10]},
        {"CArticSrchProbWrkPre2", {Num(3), E(from), Var(out), Var(found)}, n[2]},
        {"CArticSrchWrkLastEvntMeas3", {Num(100), Num(0), Var(out)}, n[10]},
    };
    for (const Line& l : lines) {
        ElmList args{};
        for (CArticRulElm* e : l.args) args.list.AddTail(e);
        CExString name(l.name);
        CArticSrchEvnt* original = nullptr;
        ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, name, 4, &args.list, &original), 0) << l.name;
        made.emplace_back(original);
        CArticRulElmList bound;
        original->GetRulElmList(&bound);
        CArticSrchEvnt* clone = nullptr;
        ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, name, 4, &bound, &clone), 0) << l.name;
        made.emplace_back(clone);
        for (CArticSrchEvnt* b : {original, clone}) {
            out->SetEvnt(n[1], 1);
            EXPECT_EQ(Run(b, n[3]), 0) << l.name;
            EXPECT_EQ(out->GetEvnt(0), l.want) << l.name;
        }
    }
}
