// The loader manager's bindings and settings, its error report, and the
// loading of whole rule scripts: init blocks, subroutines, the set-name
// filter, "GetGrpTime" and the single-set entry points.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "services/ArticErr.h"
#include "services/PHConvPrm.h"
#include "engine/expressions/ArticExp.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulInit.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticRulSub.h"
#include "engine/work/ArticWrk.h"

namespace {

// The engine's error list for one test.
struct LoadMgrErrList {
    LoadMgrErrList() { CArticErr::Clear(); }
    ~LoadMgrErrList() { CArticErr::Delete(); }
    // The last entry: kind, message, member function and detail.
    static BYTE LastKind() {
        BYTE kind = 0;
        CString content, cls, method, detail;
        CArticErr::Get(kind, content, cls, method, detail);
        return kind;
    }
    static std::string LastMessage() {
        BYTE kind = 0;
        CString content, cls, method, detail;
        CArticErr::Get(kind, content, cls, method, detail);
        return content.str();
    }
    static std::string LastMethod() {
        BYTE kind = 0;
        CString content, cls, method, detail;
        CArticErr::Get(kind, content, cls, method, detail);
        return method.str();
    }
    static std::string LastDetail() {
        BYTE kind = 0;
        CString content, cls, method, detail;
        CArticErr::Get(kind, content, cls, method, detail);
        return detail.str();
    }
};

void FillScript(CStringList& list, std::initializer_list<const char*> lines) {
    for (const char* l : lines) list.AddTail(CString(l));
}

std::vector<std::string> SetNames(const CArticRul& rul) {
    std::vector<std::string> names;
    for (POSITION p = rul.GetHeadPos(); p;) names.push_back(rul.GetNext(p)->GetName().str());
    return names;
}

std::vector<int> SetNumbers(const CArticRul& rul) {
    std::vector<int> numbers;
    for (POSITION p = rul.GetHeadPos(); p;) numbers.push_back(rul.GetNext(p)->GetSetNo());
    return numbers;
}

struct ScriptLoader : ::testing::Test {
    LoadMgrErrList errors;
    CArticWrk wrk;
    CArticRul rul{&wrk};
    CArticLoadMgr loader{&wrk, &rul};

    int LoadScript(std::initializer_list<const char*> lines, int pbCtrl = 0) {
        CStringList list;
        FillScript(list, lines);
        CPHConvPrm prm;
        prm.PbCtrl = BYTE(pbCtrl);
        return loader.LoadRul(prm, list);
    }
    int LoadSet(std::initializer_list<const char*> lines) {
        CStringList list;
        FillScript(list, lines);
        return loader.LoadRulSet(list);
    }
    int UpdateSet(std::initializer_list<const char*> lines) {
        CStringList list;
        FillScript(list, lines);
        return loader.LoadRulSetUpdate(list);
    }
};

// A program whose set removal always reports a failure.
class StuckRul : public CArticRul {
public:
    using CArticRul::CArticRul;
    int RemoveRulSetNo(int) override { return 1; }
};

}  // namespace

TEST(LoadMgrBindings, NewLoaderDefaultsAndTheSixBindings) {
    CArticWrk wrk, out;
    CArticExp exp;
    CArticRul rul(&wrk);
    char marker[2] = {};
    auto* blk = reinterpret_cast<CArticExpBlk*>(&marker[0]);
    auto* pasn = reinterpret_cast<CArticPasn*>(&marker[1]);
    CArticLoadMgr loader(&wrk, &exp, &rul, blk, pasn, &out);
    EXPECT_EQ(loader.GetPbProc(), 0);
    EXPECT_EQ(loader.GetTgMode(), 2);
    EXPECT_EQ(loader.GetInstNum(), 0);
    EXPECT_EQ(loader.GetGrpTime(), 480u);
    EXPECT_EQ(loader.GetSetCtrlPbLarge(), 1);
    EXPECT_EQ(loader.GetSetCtrlPbSmall(), 1);
    EXPECT_EQ(loader.GetProcDialog(), nullptr);
    EXPECT_EQ(loader.GetWrk(), &wrk);
    EXPECT_EQ(loader.GetExp(), &exp);
    EXPECT_EQ(loader.GetRul(), &rul);
    EXPECT_EQ(loader.GetExpBlk(), blk);
    EXPECT_EQ(loader.GetPasn(), pasn);
    EXPECT_EQ(loader.GetWrkOut(), &out);

    // The rule side's short form binds no expression data.
    CArticLoadMgr ruleSide(&wrk, &rul);
    EXPECT_EQ(ruleSide.GetExp(), nullptr);
    EXPECT_EQ(ruleSide.GetWrkOut(), nullptr);
}

TEST(LoadMgrBindings, SetIgnoresNullsAndTheSingleSettersDoNot) {
    CArticWrk wrk, other;
    CArticExp exp;
    CArticRul rul(&wrk);
    CArticLoadMgr loader(&wrk, &exp, &rul, nullptr, nullptr, nullptr);

    loader.Get(nullptr, nullptr, nullptr);  // nothing asked, nothing done
    loader.Set(&other, nullptr, nullptr);
    CArticWrk* w = nullptr;
    CArticExp* e = nullptr;
    CArticRul* r = nullptr;
    loader.Get(&w, &e, &r);
    EXPECT_EQ(w, &other);
    EXPECT_EQ(e, &exp);
    EXPECT_EQ(r, &rul);

    loader.SetRul(nullptr);
    loader.SetExp(nullptr);
    EXPECT_EQ(loader.GetRul(), nullptr);
    EXPECT_EQ(loader.GetExp(), nullptr);
    EXPECT_EQ(loader.GetWrk(), &other);
    loader.SetGrpTime(240);
    loader.SetSetCtrlPbLarge(0);
    loader.SetSetCtrlPbSmall(0);
    EXPECT_EQ(loader.GetGrpTime(), 240u);
    EXPECT_EQ(loader.GetSetCtrlPbLarge(), 0);
    EXPECT_EQ(loader.GetSetCtrlPbSmall(), 0);

    // Without a rule program nothing is loaded: the script side has nothing to do.
    CStringList lines;
    FillScript(lines, {"#set:1", "#prob:1"});
    EXPECT_EQ(loader.LoadRul(lines), 0);
    EXPECT_EQ(loader.LoadRulSet(lines), 1);
    EXPECT_EQ(loader.LoadRulSetUpdate(lines), 1);
    EXPECT_EQ(loader.LoadRulSub(lines), 1);
    EXPECT_EQ(loader.LoadRulSubAll(lines), 1);
    EXPECT_EQ(loader.LoadRulInit(0, lines), 1);
    EXPECT_EQ(loader.RemoveRulSet(1), 1);
    EXPECT_EQ(loader.SetProcNest(), 1);
}

TEST(LoadMgrReport, DetailLineOnlyWithTheFlagAndADetail) {
    LoadMgrErrList errors;
    CArticWrk wrk;
    CArticRul rul(&wrk);
    CArticLoadMgr loader(&wrk, &rul);

    loader.DispErrMsg("Header", "Message", "Fn", "", 1);
    EXPECT_EQ(CArticErr::GetMsgCount(), 1);
    EXPECT_EQ(errors.LastKind(), kArticErrKindError);
    EXPECT_EQ(errors.LastMethod(), "Fn");
    ASSERT_TRUE(CArticErr::GetErrDlg());
    EXPECT_EQ(CArticErr::GetErrDlg()->GetType(), 0x10u);
    EXPECT_EQ(CArticErr::GetErrDlg()->GetAllMsg().Left(7), CString("Header\r"));

    loader.DispErrMsg("Header", "Message", "Fn", "the detail", 0);
    EXPECT_EQ(CArticErr::GetMsgCount(), 2);
    EXPECT_EQ(errors.LastKind(), kArticErrKindError);

    CArticErr::Clear();
    loader.DispErrMsg("Header", "Message", "Fn", "the detail", 1);
    ASSERT_EQ(CArticErr::GetMsgCount(), 2);
    EXPECT_EQ(errors.LastKind(), kArticErrKindDetail);
    EXPECT_EQ(errors.LastMessage(), "the detail");
    EXPECT_EQ(errors.LastMethod(), "Fn");
    EXPECT_EQ(errors.LastDetail(), "");
    CStringList details;
    CArticErr::GetMsgStrList(details);
    EXPECT_EQ(details.GetCount(), 1);  // the other entry is the error itself
    EXPECT_EQ(CArticErr::IsError(), 1);
}

TEST_F(ScriptLoader, SetNameFilterBySelectorAndPbProc) {
    struct Case {
        int selector, pbProc;
        std::vector<std::string> filed;
    };
    const Case kCases[] = {
        {0, 0, {"Vib1", "slideLong", "init_cc", "GetGrpTime", "getgrptime"}},
        {0, 1, {"slideLong", "init_cc", "GetGrpTime", "getgrptime"}},
        {1, 1, {"slideLong", "init_cc", "GetGrpTime", "getgrptime"}},
        {1, 0, {"GetGrpTime", "getgrptime"}},
    };
    for (const Case& c : kCases) {
        const std::string pb = ";##PbProc:" + std::to_string(c.pbProc);
        const int r = LoadScript({"#init:", pb.c_str(), "#set:1", "#name:Vib1", "#prob:1", "#set:2",
                                  "#name:slideLong", "#prob:1", "#set:3", "#name:init_cc", "#prob:1", "#set:4",
                                  "#name:GetGrpTime", "#prob:100", "#set:5", "#name:getgrptime", "#prob:7"},
                                 c.selector);
        EXPECT_EQ(r, 0) << c.selector << "," << c.pbProc;
        EXPECT_EQ(SetNames(rul), c.filed) << c.selector << "," << c.pbProc;
        EXPECT_EQ(loader.GetPbProc(), c.pbProc);
        double grp = 0, ordinary = 0;
        ASSERT_TRUE(rul.GetBySetNo(4) && rul.GetBySetNo(5));
        rul.GetBySetNo(4)->GetDataVal(&grp);
        rul.GetBySetNo(5)->GetDataVal(&ordinary);
        EXPECT_EQ(grp, 480.0);
        EXPECT_EQ(ordinary, 7.0);  // only the exact name gets the group time
    }
    loader.SetGrpTime(240);
    ASSERT_EQ(LoadScript({"#set:4", "#name:GetGrpTime", "#prob:100"}), 0);
    double grp = 0;
    rul.GetBySetNo(4)->GetDataVal(&grp);
    EXPECT_EQ(grp, 240.0);
    EXPECT_EQ(loader.ReplaceGetGrpTime(nullptr), 1);
}

TEST_F(ScriptLoader, SettingsStartFromDefaultsAndFollowTheDeclaringBlocks) {
    ASSERT_EQ(LoadScript({"#init:", ";##PbProc:1", "#set:1", "#name:Vib1", "#prob:1"}), 0);
    EXPECT_EQ(loader.GetPbProc(), 1);
    EXPECT_TRUE(SetNames(rul).empty());

    ASSERT_EQ(LoadScript({"#set:1", "#name:Vib1", "#prob:1"}), 0);
    EXPECT_EQ(loader.GetPbProc(), 0);
    EXPECT_EQ(SetNames(rul), std::vector<std::string>{"Vib1"});

    // A second init block without settings lines keeps the first block's.
    ASSERT_EQ(LoadScript({"#init1:", ";##PbProc:1", ";##TgMode:3", "#init2:", "#trk1:", "#set:1", "#prob:1"}), 0);
    EXPECT_EQ(loader.GetPbProc(), 1);
    EXPECT_EQ(loader.GetTgMode(), 3);
    EXPECT_EQ(loader.GetInstNum(), 0);
    EXPECT_EQ(rul.GetInit(0)->GetInitNo(), 1u);
    EXPECT_EQ(rul.GetInit(1)->GetInitNo(), 2u);
    // A later block's declaration wins.
    ASSERT_EQ(LoadScript({"#init1:", ";##InstNum:4", ";##TgMode:3", "#init2:", ";##TgMode:1", "#set:1", "#prob:1"}),
              0);
    EXPECT_EQ(loader.GetTgMode(), 1);
    EXPECT_EQ(loader.GetInstNum(), 4);
    // A single init block lands in slot 0 whatever its number.
    ASSERT_EQ(LoadScript({"#init2:", ";##InstNum:5", "#set:1", "#prob:1"}), 0);
    EXPECT_EQ(rul.GetInit(0)->GetInitNo(), 2u);
    EXPECT_EQ(rul.GetInit(1)->GetInitNo(), 0xFFFFFFFFu);
    EXPECT_EQ(loader.GetInstNum(), 5);
}

TEST_F(ScriptLoader, BlockStructureOfAScript) {
    // Lines without a set head form one set; lines before the first head one of their own.
    ASSERT_EQ(LoadScript({"; a note", "#name:plain", "", "#prob:1"}), 0);
    EXPECT_EQ(SetNames(rul), std::vector<std::string>{"plain"});
    EXPECT_EQ(SetNumbers(rul), std::vector<int>{-1});
    ASSERT_EQ(LoadScript({"#name:lead", "#prob:1", "#set:2", "; dropped", "#name:two", "#prob:1"}), 0);
    EXPECT_EQ(SetNames(rul), (std::vector<std::string>{"lead", "two"}));

    // Only init blocks and subroutines: they stay, and the load says there were no sets.
    EXPECT_EQ(LoadScript({"#init:", "#procNest:1", "#sub:3", "#in1:_val1", "#out1:_val1"}), 1);
    EXPECT_EQ(rul.GetCount(), 0);
    EXPECT_EQ(rul.GetSubCount(), 1);
    EXPECT_EQ(rul.GetInit(0)->GetProcNestFlag(), 1);
    EXPECT_EQ(rul.GetProcNest(), 1);

    // A duplicate set number: reported with its own text, the first set kept.
    EXPECT_EQ(LoadScript({"#set:1", "#name:first", "#prob:1", "#set:1", "#name:second", "#prob:1", "#set:2",
                          "#prob:1"}),
              1);
    EXPECT_EQ(SetNames(rul), (std::vector<std::string>{"first", ""}));
    EXPECT_EQ(SetNumbers(rul), (std::vector<int>{1, 2}));
    CStringList details;
    CArticErr::GetMsgStrList(details);
    EXPECT_EQ(errors.LastMessage(), "指定したｾｯﾄ番号は既に使用されています。");
    EXPECT_EQ(errors.LastDetail(), "ｾｯﾄ番号 = 1");
    EXPECT_EQ(errors.LastMethod(), "LoadRulSet");

    // The same lines loaded twice leave one copy of each set.
    const std::initializer_list<const char*> script = {"#sub:1", "#in1:_val1", "#out1:_val1", "#set:1", "#prob:1",
                                                       "#set:2", "#prob:1"};
    ASSERT_EQ(LoadScript(script), 0);
    ASSERT_EQ(LoadScript(script), 0);
    EXPECT_EQ(SetNumbers(rul), (std::vector<int>{1, 2}));
    EXPECT_EQ(rul.GetSubCount(), 1);
}

TEST_F(ScriptLoader, FaultyBlocksAreReportedAndTheRestLoads) {
    // A faulty init block: reported (without a detail line), its settings
    // read so far still count, the sets load, and the load succeeds.
    EXPECT_EQ(LoadScript({"#init:", ";##TgMode:5", "#blk0:", "#set:1", "#prob:1"}), 0);
    EXPECT_EQ(errors.LastMessage(), "指定した中間表現ﾙｰﾙ・初期設定の内容に誤りがあります。");
    EXPECT_EQ(errors.LastMethod(), "LoadRulInit");
    EXPECT_EQ(errors.LastKind(), kArticErrKindError);
    EXPECT_EQ(loader.GetTgMode(), 5);
    EXPECT_EQ(rul.GetCount(), 1);

    // A faulty set: reported under its name, the others load, the load fails.
    EXPECT_EQ(LoadScript({"#set:1", "#name:broken", "#bogus:1", "#set:2", "#prob:1"}), 1);
    EXPECT_EQ(SetNumbers(rul), std::vector<int>{2});
    // A negative set number is refused with one report of the set loader,
    // like one beyond the largest; the set after it loads.
    std::vector<std::vector<std::string>> reports;
    for (const char* head : {"#set:1048576", "#set:-1"}) {
        CArticErr::Clear();
        EXPECT_EQ(LoadScript({head, "#prob:1", "#set:2", "#prob:1"}), 1) << head;
        EXPECT_EQ(SetNumbers(rul), std::vector<int>{2}) << head;
        EXPECT_EQ(errors.LastMethod(), "LoadRulSet") << head;
        CStringList texts;
        CArticErr::GetMsgStrList(texts);
        reports.emplace_back();
        for (POSITION p = texts.GetHeadPosition(); p;) {
            CString t = texts.GetNext(p);
            t.Replace(head, "<head>");
            reports.back().push_back(t.str());
        }
    }
    EXPECT_FALSE(reports[0].empty());
    EXPECT_EQ(reports[1], reports[0]);

    // A faulty subroutine is reported and the sets still load.
    EXPECT_EQ(LoadScript({"#sub:3", "#prob:1", "#set:1", "#prob:1"}), 1);
    EXPECT_EQ(errors.LastMessage(), "指定したﾙｰﾙ・ｻﾌﾞﾙｰﾁﾝの内容に誤りがあります。");
    EXPECT_EQ(errors.LastDetail(), "ｻﾌﾞﾙｰﾁﾝ番号 = 3");
    EXPECT_EQ(rul.GetSubCount(), 0);
    EXPECT_EQ(rul.GetCount(), 1);

    // Both init blocks ordering the processing: reported, no order taken, sets loaded.
    EXPECT_EQ(LoadScript({"#init1:", "#procNest:1", "#init2:", "#procNest:1:dir1", "#set:1", "#prob:1"}), 1);
    EXPECT_EQ(rul.GetProcNest(), 0);
    EXPECT_EQ(rul.GetCount(), 1);
    // One of them ordering it: the program takes its order and direction.
    ASSERT_EQ(LoadScript({"#init1:", "#init2:", "#procNest:1:dir1", "#set:1", "#prob:1"}), 0);
    EXPECT_EQ(rul.GetProcNestFlag(), 1);
    EXPECT_EQ(rul.GetProcNest(), 1);
    EXPECT_EQ(rul.GetDirection(), 1);
}

TEST_F(ScriptLoader, SubroutineBlocksAndInitSlots) {
    CStringList comments;
    FillScript(comments, {"; one", ";two", ""});
    EXPECT_EQ(loader.LoadRulSubAll(comments), 1);  // no block at all
    CStringList subs;
    FillScript(subs, {"#sub:1", "#in1:_val1", "#out1:_val1", "; between", "#sub:2", "#val1:1"});
    EXPECT_EQ(loader.LoadRulSubAll(subs), 0);
    EXPECT_EQ(rul.GetSubCount(), 2);

    CStringList init;
    FillScript(init, {"#init:", ";##InstNum:2"});
    EXPECT_EQ(loader.LoadRulInit(2, init), 1);
    EXPECT_EQ(loader.LoadRulInit(-1, init), 1);
    EXPECT_EQ(loader.GetInstNum(), 0);
    EXPECT_EQ(loader.LoadRulInit(1, init), 0);
    EXPECT_EQ(loader.GetInstNum(), 2);
}

TEST_F(ScriptLoader, SetUpdateAndRemoval) {
    ASSERT_EQ(LoadScript({"#set:1", "#name:a", "#prob:1", "#set:2", "#name:b", "#prob:1"}), 0);
    ASSERT_EQ(UpdateSet({"#set:3", "#name:c", "#prob:1"}), 0);
    EXPECT_EQ(SetNames(rul), (std::vector<std::string>{"a", "b", "c"}));
    ASSERT_EQ(UpdateSet({"#set:1", "#name:a2", "#prob:1"}), 0);
    EXPECT_EQ(SetNames(rul), (std::vector<std::string>{"b", "c", "a2"}));
    // The filter is not applied to an update.
    ASSERT_EQ(UpdateSet({"#set:9", "#name:Vib1", "#prob:1"}), 0);
    loader.SetPbCtrl(1);
    EXPECT_EQ(LoadSet({"#set:10", "#name:Vib1", "#prob:1"}), 0);  // dropped, no failure
    EXPECT_EQ(SetNumbers(rul), (std::vector<int>{2, 3, 1, 9}));

    EXPECT_NE(UpdateSet({"#set:2", "#bogus:1"}), 0);
    EXPECT_EQ(errors.LastMessage(), "指定したﾙｰﾙ・ｾｯﾄの内容に誤りがあります。");
    EXPECT_EQ(errors.LastDetail(), "ｾｯﾄ番号 = 2");
    EXPECT_EQ(SetNumbers(rul), (std::vector<int>{2, 3, 1, 9}));

    EXPECT_EQ(loader.RemoveRulSet(3), 0);
    EXPECT_EQ(loader.RemoveRulSet(77), 0);  // no such set is no failure
    EXPECT_EQ(SetNumbers(rul), (std::vector<int>{2, 1, 9}));
}

TEST(LoadMgrSetUpdate, AFailedRemovalLeavesTheProgramAsItWas) {
    LoadMgrErrList errors;
    CArticWrk wrk;
    StuckRul rul(&wrk);
    CArticLoadMgr loader(&wrk, &rul);
    CStringList first, update;
    FillScript(first, {"#set:1", "#name:old", "#prob:1"});
    FillScript(update, {"#set:1", "#name:new", "#prob:1"});
    ASSERT_EQ(loader.LoadRulSet(first), 0);
    EXPECT_EQ(loader.LoadRulSetUpdate(update), 1);
    EXPECT_EQ(SetNames(rul), std::vector<std::string>{"old"});
}
