#include "driver/ArticProc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/ArticCore.h"
#include "driver/ArticCoreMN.h"
#include "services/ArticErr.h"
#include "driver/ArticTimeMgr.h"
#include "services/PHConvPrm.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpCreNote.h"
#include "engine/expressions/ArticExpMgr.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticCreExpMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulInit.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/WorkFixture.h"
#include "platform/Random.h"

namespace {

std::vector<std::string> ProcTexts(const CStringList& list) {
    std::vector<std::string> out;
    for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p).str());
    return out;
}

void ProcScript(CPHConvPrm& prm, std::initializer_list<const char*> lines) {
    prm.ClearLines();
    for (const char* l : lines) prm.AddLine(l, int(std::string(l).size()) + 1);
}

// Work data with a master track and a part track of three notes, mirrored
// into expression data, handed to the processing object.
void ProcGiveNotes(CArticProc& proc) {
    auto* wrk = new CArticWrk;
    auto* exp = new CArticExp;
    wrktest::AddBlock(wrktest::AddTrack(*wrk, 0));
    CArticWrkBlk* blk = wrktest::AddBlock(wrktest::AddTrack(*wrk, 1));
    for (ULONG i = 0; i < 3; ++i) wrktest::AddNote(blk, i + 1, INT64(i) * 480, BYTE(60 + i));
    ASSERT_EQ(proc.Replace(wrk, exp), 0);  // CheckExp builds the mirrored tree
}

class ArticProcTest : public ::testing::Test {
protected:
    void SetUp() override { SeedRandom(11); }
    CArticProc proc{nullptr, nullptr};
    CPHConvPrm prm;
};

TEST_F(ArticProcTest, ConstructionBuildsBuffersAndManagers) {
    EXPECT_NE(proc.GetWrk(), nullptr);
    EXPECT_NE(proc.GetBackupWrk(), nullptr);
    EXPECT_NE(proc.GetExp(), nullptr);
    EXPECT_NE(proc.GetRul(), nullptr);
    EXPECT_EQ(proc.GetRul()->GetWrk(), proc.GetWrk());
    ASSERT_NE(proc.GetLoadMgr(), nullptr);
    ASSERT_NE(proc.GetTimeMgr(), nullptr);
    EXPECT_EQ(proc.GetTimeMgr()->GetCount(), 1);
    ASSERT_NE(proc.GetCreExpMgr(), nullptr);
    EXPECT_EQ(proc.GetCreExpMgr()->GetProcDialog(), proc.GetLoadMgr());
    EXPECT_EQ(CArticEditorUtil::GetEditorMgr(), proc.GetEditorMgr());
    EXPECT_EQ(CArticEditorUtil::GetPref(), proc.GetPref());
    EXPECT_EQ(proc.GetIsFirst(), 1);
    CArticWrk* out = nullptr;
    EXPECT_EQ(proc.GetWrk(nullptr), 0);
    EXPECT_EQ(proc.GetWrk(&out), 1);
    EXPECT_EQ(out, proc.GetWrk());
}

TEST(ArticProcLife, DestructionClearsTheBridgeRegistrations) {
    {
        CArticProc proc(nullptr, nullptr);
        ASSERT_NE(CArticEditorUtil::GetEditorMgr(), nullptr);
    }
    EXPECT_EQ(CArticEditorUtil::GetEditorMgr(), nullptr);
    EXPECT_EQ(CArticEditorUtil::GetPref(), nullptr);
}

TEST_F(ArticProcTest, RuleQueries) {
    ProcScript(prm, {"#init1:", "#set:5", "#name:Five", "#prob:1"});
    ASSERT_EQ(proc.LoadRul_Reset(prm), 0);
    EXPECT_EQ(proc.GetRulSetCount(), 1);
    EXPECT_EQ(proc.GetRulSetNo(0), 5u);
    EXPECT_EQ(proc.GetRulSetNo(-1), 0x7FFFFFFFu);
    EXPECT_EQ(proc.GetRulSetNo(1), 0x7FFFFFFFu);
    EXPECT_STREQ(proc.GetRulSetName(0), "Five");
    EXPECT_STREQ(proc.GetRulSetName(3), "");
    EXPECT_STREQ(proc.GetRulSubName(0), "");
    ASSERT_EQ(proc.GetRulInitNo(0), 1);
    EXPECT_STREQ(proc.GetRulInitName(0), "init1");
    EXPECT_STREQ(proc.GetRulInitName(nullptr, 0), "init1");  // the section is ignored
    EXPECT_EQ(proc.GetRulInitNo(-1), -1);
    EXPECT_STREQ(proc.GetRulInitName(7), "");
    proc.GetRul()->GetInit(0)->SetInitNo(3);
    EXPECT_STREQ(proc.GetRulInitName(0), "");
}

TEST_F(ArticProcTest, LoadRulResetAppendsTheLinesEachCall) {
    ProcScript(prm, {"#set:1", "#prob:1"});
    ASSERT_EQ(proc.LoadRul_Reset(prm), 0);
    ASSERT_EQ(proc.GetStrRulList()->GetCount(), 2);
    // The set now appears twice: the second load still succeeds or reports;
    // either way the lines are doubled.
    proc.LoadRul_Reset(prm);
    EXPECT_EQ(ProcTexts(*proc.GetStrRulList()),
              (std::vector<std::string>{"#set:1", "#prob:1", "#set:1", "#prob:1"}));
    proc.Clear();
    EXPECT_EQ(proc.GetStrRulList()->GetCount(), 0);
}

TEST_F(ArticProcTest, ReplaceTakesOverAndKeepsTheSameObjects) {
    CArticWrk* wrk = proc.GetWrk();
    CArticExp* exp = proc.GetExp();
    wrktest::AddBlock(wrktest::AddTrack(*wrk, 1));
    // The very objects it holds: nothing is deleted (the sanitizer build
    // would see a use after free below).
    ASSERT_EQ(proc.Replace(wrk, exp), 0);
    EXPECT_EQ(proc.GetWrk(), wrk);
    EXPECT_EQ(wrk->GetCount(), 1);
    EXPECT_EQ(proc.Replace(nullptr, exp), 1);
    EXPECT_EQ(proc.Replace(wrk, nullptr), 1);
    EXPECT_EQ(proc.GetWrk(), wrk);

    auto* wrk2 = new CArticWrk;
    auto* exp2 = new CArticExp;
    proc.GetRul()->SetEvntCount(9);
    ASSERT_EQ(proc.Replace(wrk2, exp2), 0);
    EXPECT_EQ(proc.GetWrk(), wrk2);
    EXPECT_EQ(proc.GetLoadMgr()->GetWrk(), wrk2);
    EXPECT_EQ(proc.GetLoadMgr()->GetExp(), exp2);
    EXPECT_EQ(proc.GetTimeMgr()->GetWrk(), wrk2);
    EXPECT_EQ(proc.GetTimeMgr()->GetExp(), exp2);
    EXPECT_EQ(proc.GetExpMgr()->GetWrk(), wrk2);
    EXPECT_EQ(proc.GetCreExpMgr()->GetExp(), exp2);
    EXPECT_EQ(proc.GetRul()->GetWrk(), wrk2);
    EXPECT_EQ(proc.GetRul()->GetEvntCount(), 0u);
}

TEST_F(ArticProcTest, CreateAllWithoutScriptRunsNothing) {
    ProcGiveNotes(proc);
    EXPECT_EQ(proc.CreateAll(), 1);
    EXPECT_EQ(proc.GetCreate(), 0);
    EXPECT_EQ(proc.GetExp()->GetExpBlk(1, 0)->GetCount(), 0);
    CStringList headers;
    CArticErr::GetMsgStrList(headers);
    EXPECT_EQ(ProcTexts(headers), (std::vector<std::string>{"== ｸﾘｴｲﾄｴﾗｰ"}));
}

TEST_F(ArticProcTest, LoadReportsTheWorkErrorAndStillReadsExpressions) {
    CStringList wrkLines, expLines;
    for (const char* l : {"TRK:1", "BLK:0", "w1:junk"}) wrkLines.AddTail(CString(l));
    for (const char* l : {"TRK:1", "BLK:0", "e0:CArticExpDebug_i( 0{}, -7 )"}) expLines.AddTail(CString(l));
    EXPECT_NE(proc.Load(wrkLines, expLines), 0);
    ASSERT_NE(proc.GetExp()->GetExpBlk(1, 0), nullptr);
    EXPECT_EQ(proc.GetExp()->GetExpBlk(1, 0)->GetCount(), 1);
    EXPECT_EQ(proc.IsError(), 1);

    // Good work lines: all three succeed.
    wrkLines.RemoveAll();
    for (const char* l : {"TRK:1", "BLK:0"}) wrkLines.AddTail(CString(l));
    EXPECT_EQ(proc.Load(wrkLines, expLines), 0);
}

TEST_F(ArticProcTest, LoadRulRestoresTheBindingsItBorrows) {
    ProcScript(prm, {"#set:2", "#prob:1"});
    proc.GetStrRulList()->AddTail(CString("#set:2"));
    proc.GetStrRulList()->AddTail(CString("#prob:1"));
    CArticWrk otherWrk;
    CArticExp otherExp;
    CArticRul otherRul(&otherWrk);
    proc.GetLoadMgr()->Set(&otherWrk, &otherExp, &otherRul);
    proc.GetCreExpMgr()->Set(&otherWrk, &otherExp, &otherRul, nullptr);

    ASSERT_EQ(proc.LoadRul(prm), 0);
    EXPECT_EQ(proc.GetRulSetNo(0), 2u);     // the object's own program was loaded
    EXPECT_EQ(otherRul.GetCount(), 0);      // not the borrowed one
    CArticWrk* wrk = nullptr;
    CArticExp* exp = nullptr;
    CArticRul* rul = nullptr;
    proc.GetLoadMgr()->Get(&wrk, &exp, &rul);
    EXPECT_EQ(wrk, &otherWrk);
    EXPECT_EQ(exp, &otherExp);
    EXPECT_EQ(rul, &otherRul);
    CArticTimeInfo* info = nullptr;
    proc.GetCreExpMgr()->Get(&wrk, &exp, &rul, &info);
    EXPECT_EQ(wrk, &otherWrk);
    EXPECT_EQ(rul, &otherRul);
    proc.GetLoadMgr()->Set(proc.GetWrk(), proc.GetExp(), proc.GetRul());
    proc.GetCreExpMgr()->Set(proc.GetWrk(), proc.GetExp(), proc.GetRul(), nullptr);
}

TEST_F(ArticProcTest, RuleRunGivesOneExpressionPerNoteUnderItsHeaders) {
    ProcGiveNotes(proc);
    CArticErr::Clear();
    ProcScript(prm, {"#set:1", "#prob:1", "#exp1:CArticExpDebug_i2( 1{_thisEvnt}, \"x\", 12)"});
    ASSERT_EQ(proc.LoadRul_Reset(prm), 0);
    ASSERT_EQ(proc.BackupWrk(), 0);
    ASSERT_EQ(proc.LoadRul(prm), 0);
    ASSERT_EQ(proc.CreateAll(), 0);
    EXPECT_EQ(proc.GetCreate(), 1);
    CArticExpBlk* blk = proc.GetExp()->GetExpBlk(1, 0);
    ASSERT_EQ(blk->GetCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_NE(dynamic_cast<CArticExpDebug_i2*>(blk->Get(i)), nullptr) << i;
    CStringList headers;
    CArticErr::GetMsgStrList(headers);
    EXPECT_EQ(ProcTexts(headers),
              (std::vector<std::string>{"== ﾙｰﾙ ﾛｰﾄﾞｴﾗｰ", "== ﾙｰﾙ ﾛｰﾄﾞｴﾗｰ", "== ｸﾘｴｲﾄｴﾗｰ"}));

    // The dumps of the run's data.
    CStringList lines;
    EXPECT_EQ(proc.OutExpStrList(lines), 0);
    EXPECT_GT(lines.GetCount(), 0);
    lines.RemoveAll();
    EXPECT_EQ(proc.GetExpStrList(lines), 0);
    EXPECT_GT(lines.GetCount(), 0);
    // The backup holds the notes as they were before the run.
    EXPECT_EQ(proc.GetBackupWrk()->GetCount(), 2);
    EXPECT_EQ(proc.RestoreProb(), 0);
}

TEST_F(ArticProcTest, AChannelsHeadersFromRuleLoadToTransfer) {
    CArticCoreMN pipe(nullptr);  // takes the processing object's editor manager
    ProcGiveNotes(proc);
    CArticErr::Clear();
    ProcScript(prm, {"#set:1", "#prob:1", "#exp1:CArticExpDebug_i2( 1{_thisEvnt}, \"x\", 12)"});
    ASSERT_EQ(proc.LoadRul_Reset(prm), 0);
    ASSERT_EQ(proc.LoadRul(prm), 0);
    ASSERT_EQ(proc.CreateAll(), 0);
    const std::vector<int> keys = wrktest::Keys(proc.GetWrk()->Get(ULONG(1))->Get(ULONG(0)));
    POSITION trk = nullptr;
    // No song to write into: the transfer's second stage fails.
    EXPECT_NE(pipe.ConvertRep(proc.GetWrk(), proc.GetExp(), &trk, nullptr, nullptr, 0, 0, 0, nullptr, nullptr,
                              nullptr),
              0);
    CStringList list;
    CArticErr::GetMsgStrList(list);
    std::vector<std::string> headers;
    for (const std::string& t : ProcTexts(list))
        if (t.rfind("== ", 0) == 0) headers.push_back(t);
    EXPECT_EQ(headers, (std::vector<std::string>{"== ﾙｰﾙ ﾛｰﾄﾞｴﾗｰ", "== ﾙｰﾙ ﾛｰﾄﾞｴﾗｰ", "== ｸﾘｴｲﾄｴﾗｰ", "== ｺﾋﾟｰｴﾗｰ",
                                                 "== 再ﾘﾝｸｴﾗｰ", "== ｺﾝﾊﾞｰﾄ1ｴﾗｰ", "== ｺﾝﾊﾞｰﾄ1-2ｴﾗｰ", "== ｺﾝﾊﾞｰﾄ2ｴﾗｰ",
                                                 "== ｺﾝﾊﾞｰﾄ3ｴﾗｰ", "== ﾄﾗﾝｽﾚｰﾄｴﾗｰ"}));
    // The processing object's data are not changed by the pipeline.
    EXPECT_EQ(wrktest::Keys(proc.GetWrk()->Get(ULONG(1))->Get(ULONG(0))), keys);
    EXPECT_EQ(proc.GetExp()->GetExpBlk(1, 0)->GetCount(), 3);
    EXPECT_NE(pipe.GetCore()->GetWrk(), proc.GetWrk());
}

// The program and the diagnostics a rule load leaves: set numbers and names,
// the messages posted after the last load header and the error dialog's text.
struct ProcRulLoadView {
    std::vector<std::string> sets;
    std::vector<std::string> messages;
    std::string dialog;
    bool operator==(const ProcRulLoadView& o) const {
        return sets == o.sets && messages == o.messages && dialog == o.dialog;
    }
};

ProcRulLoadView ProcViewRulLoad(const CArticProc& proc) {
    ProcRulLoadView v;
    for (int i = 0; i < proc.GetRulSetCount(); ++i)
        v.sets.push_back(std::to_string(proc.GetRulSetNo(i)) + ":" + proc.GetRulSetName(i).str());
    const std::vector<ArticErrRecord> all = CArticErr::GetMsgsFrom(0);
    size_t from = 0;
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].kind == kArticErrKindHeader) from = i;
    for (size_t i = from; i < all.size(); ++i)
        v.messages.push_back(std::to_string(all[i].kind) + "|" + all[i].content.str() + "|" + all[i].className.str() +
                             "|" + all[i].method.str() + "|" + all[i].detail.str());
    if (CArticErrDlg* dlg = CArticErr::GetErrDlg()) v.dialog = dlg->GetAllMsg().str();
    return v;
}

// The driver loads a channel's script twice; the second load gives what a
// parse of the same lines gives, diagnostics of a faulty script included.
TEST_F(ArticProcTest, SecondLoadGivesWhatAParseGives) {
    struct Script {
        const char* what;
        std::initializer_list<const char*> lines;
        bool faulty;
    };
    const Script scripts[] = {
        {"good", {"#init1:", "#set:5", "#name:Five", "#prob:1", "#set:6", "#name:Vib1", "#prob:1"}, false},
        {"faulty", {"#set:1", "#prob:1", "#exp1:NoSuchExpression(", "#set:1", "#prob:1", "#set:2", "#prob:x"}, true},
    };
    for (const Script& sc : scripts) {
        ProcGiveNotes(proc);
        CArticErr::Clear();
        ProcScript(prm, sc.lines);
        const int first = proc.LoadRul_Reset(prm);
        const int second = proc.LoadRul(prm);
        const ProcRulLoadView shared = ProcViewRulLoad(proc);
        const int parsed = proc.LoadRul(prm);  // nothing kept from before: parses the lines
        const ProcRulLoadView fresh = ProcViewRulLoad(proc);
        EXPECT_EQ(second, first) << sc.what;
        EXPECT_EQ(parsed, second) << sc.what;
        EXPECT_TRUE(shared == fresh) << sc.what;
        EXPECT_EQ(shared.messages.size() > 1, sc.faulty) << sc.what;
        EXPECT_EQ(CArticErr::IsError() != 0, sc.faulty) << sc.what;
        // Three loads, three headers, and the faulty script's errors three times.
        CStringList headers;
        CArticErr::GetMsgStrList(headers);
        size_t loads = 0;
        for (const std::string& t : ProcTexts(headers)) loads += t == "== ﾙｰﾙ ﾛｰﾄﾞｴﾗｰ";
        EXPECT_EQ(loads, 3u) << sc.what;
        EXPECT_EQ(CArticErr::GetMsgsFrom(0).size(), 3 * shared.messages.size()) << sc.what;
    }
}

// What changes between the two loads is loaded, not what the first load left.
TEST_F(ArticProcTest, SecondLoadSeesWhatChangedSinceTheFirst) {
    const auto setNames = [this] {
        std::vector<std::string> names;
        for (int i = 0; i < proc.GetRulSetCount(); ++i) names.push_back(proc.GetRulSetName(i).str());
        return names;
    };
    // "Vib1" is an optional set that only the pitch-bend option 0 files.
    ProcGiveNotes(proc);
    ProcScript(prm, {"#set:5", "#name:Five", "#prob:1", "#set:6", "#name:Vib1", "#prob:1"});
    prm.PbCtrl = 0;
    ASSERT_EQ(proc.LoadRul_Reset(prm), 0);
    ASSERT_EQ(setNames(), (std::vector<std::string>{"Five", "Vib1"}));
    prm.PbCtrl = 1;
    ASSERT_EQ(proc.LoadRul(prm), 0);
    EXPECT_EQ(setNames(), (std::vector<std::string>{"Five"}));

    // A line added to the rule text.
    prm.PbCtrl = 0;
    ProcGiveNotes(proc);
    proc.ClearStrList();
    ASSERT_EQ(proc.LoadRul_Reset(prm), 0);
    proc.GetStrRulList()->AddTail("#set:7");
    proc.GetStrRulList()->AddTail("#name:Seven");
    proc.GetStrRulList()->AddTail("#prob:1");
    ASSERT_EQ(proc.LoadRul(prm), 0);
    EXPECT_EQ(setNames(), (std::vector<std::string>{"Five", "Vib1", "Seven"}));

    // A rule run in between changes the program's data: the next load parses.
    proc.ClearStrList();
    ASSERT_EQ(proc.LoadRul_Reset(prm), 0);
    proc.CreateAll();
    proc.GetRul()->Clear();
    ASSERT_EQ(proc.LoadRul(prm), 0);
    EXPECT_EQ(setNames(), (std::vector<std::string>{"Five", "Vib1"}));

    // New work data in between: the sets are bound to the work data they were loaded for.
    proc.ClearStrList();
    ASSERT_EQ(proc.LoadRul_Reset(prm), 0);
    ProcGiveNotes(proc);
    proc.GetStrRulList()->RemoveAll();
    for (const char* l : {"#set:5", "#name:Five", "#prob:1", "#set:6", "#name:Vib1", "#prob:1"})
        proc.GetStrRulList()->AddTail(l);
    ASSERT_EQ(proc.LoadRul(prm), 0);
    ASSERT_EQ(proc.GetRulSetCount(), 2);
    EXPECT_EQ(proc.GetRul()->Get(0)->GetWrk(), proc.GetWrk());
}

}  // namespace
