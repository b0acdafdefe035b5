// The loader manager's bindings and settings, its error report, and the
// loading of whole rule scripts: init blocks, subroutines, the set-name
// filter, "GetGrpTime", the single-set entry points, and the copies a
// script loaded again takes of the sets its earlier load built.
#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "services/ArticErr.h"
#include "services/PHConvPrm.h"
#include "engine/expressions/ArticExp.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulDataEvnt.h"
#include "engine/rules/ArticRulExpEvnt.h"
#include "engine/rules/ArticRulInit.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticRulSub.h"
#include "engine/rules/ArticSrchEvnt.h"
#include "engine/rules/ArticSrchSubRoutine.h"
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

// ---- Loading a script again
// A script loaded again takes copies of the sets its earlier load built:
// every copy must be what reading the lines gives, belong to the program it
// is loaded into, and follow every change of the script and the settings.

namespace {

struct KeptErrList {
    KeptErrList() { CArticErr::Clear(); }
    ~KeptErrList() { CArticErr::Delete(); }
};

// The variables of a set are looked up by number; the scripts stay below this.
constexpr int kMaxVarNo = 400;

// A variable as the set sees it: kind, number, and whether it is the set's own.
std::string VarText(const CArticRulSet* set, const CArticRulData* var) {
    if (!var) return "-";
    std::string text = std::string(var->GetClassNameA()) + "#" + std::to_string(var->GetDataNo());
    if (var->GetRulSet() != set) text += "(FOREIGN)";
    return text;
}

std::string ListText(const CArticRulSet* set, const CArticRulElmList* list);

std::string ElmText(const CArticRulSet* set, const CArticRulElm* elm) {
    if (!elm) return "null";
    std::ostringstream out;
    out << int(elm->GetDataType()) << "/" << int(elm->GetSign()) << "/" << elm->GetPlus() << "/" << elm->GetData()
        << "/" << elm->GetStrData().str() << "/" << VarText(set, elm->GetRulData());
    if (elm->GetRulElmList()) out << "(" << ListText(set, elm->GetRulElmList()) << ")";
    return out.str();
}

std::string ListText(const CArticRulSet* set, const CArticRulElmList* list) {
    if (!list) return "none";
    std::string text;
    for (POSITION p = list->GetHeadPosition(); p;) text += ElmText(set, list->GetNext(p)) + "; ";
    return text;
}

// Everything a run reads from a loaded set, with every reference checked to
// stay inside the set, its program and the work data it was loaded on.
std::string SetText(const CArticRulSet* set, const CArticRul* rul, const CArticWrk* wrk) {
    std::ostringstream out;
    out << "set " << set->GetSetNo() << " '" << set->GetName().str() << "' dir " << set->GetDirection() << " exp "
        << set->GetHasExp() << (set->GetRul() == rul ? "" : " FOREIGN-PROGRAM")
        << (set->GetWrk() == wrk ? "" : " FOREIGN-WORK") << "\n";
    if (const CArticRulDataVal* prob = set->GetDataVal()) {
        out << " prob " << ListText(set, prob->GetRulElmList()) << "\n";
        for (const CArticDataList* nos : {prob->GetExvNoList(), prob->GetInvNoList()})
            for (POSITION p = nos ? nos->GetHeadPosition() : nullptr; p;) out << "  no " << nos->GetNext(p)->GetIntData();
    }
    if (const CArticRulDataExv* exv = set->GetDataExv())
        for (POSITION p = exv->GetElmList() ? exv->GetElmList()->GetHeadPosition() : nullptr; p;)
            out << " exv " << exv->GetElmList()->GetNext(p)->GetIntData();
    if (const CArticRulDataSrchd* srchd = set->GetDataSrchd())
        out << " searched " << ListText(set, srchd->GetRulElmList()) << "\n";
    for (int no = 0; no < kMaxVarNo; ++no) {
        if (const CArticRulDataVal* v = set->GetDataVal(no)) out << " val" << no << " " << ListText(set, v->GetRulElmList()) << "\n";
        if (CArticRulDataEvnt* e = set->GetDataEvnt(no))
            out << " evnt" << no << " " << VarText(set, e->GetDataEvnt()) << " " << int(e->GetDataType()) << "\n";
        if (const CArticRulDataStr* s = set->GetDataStr(no)) out << " str" << no << " '" << s->GetData().str() << "'\n";
        if (set->GetDataAry(no)) out << " ary" << no << "\n";
        if (set->GetDataVAry(no)) out << " vary" << no << "\n";
    }
    for (POSITION p = set->GetSrchEvntList()->GetHeadPosition(); p;) {
        CArticSrchEvnt* call = set->GetSrchEvntList()->GetNext(p);
        out << " call " << call->GetClassNameA() << " " << call->GetEvntNo() << " in " << call->GetInNum() << " out "
            << call->GetOutNum() << (call->GetRulSet() == set ? "" : " FOREIGN-SET");
        if (auto* sub = dynamic_cast<CArticSrchSubRoutine*>(call)) {
            out << " sub " << sub->GetSubNo() << " if " << VarText(set, sub->GetCondition()) << " in "
                << ListText(set, sub->GetRulElmInList()) << " out " << ListText(set, sub->GetRulElmOutList());
        } else {
            CArticRulElmList elms(10);
            call->GetRulElmList(&elms);
            out << " " << ListText(set, &elms);
        }
        out << "\n";
    }
    for (POSITION p = set->GetRulExpEvntList() ? set->GetRulExpEvntList()->GetHeadPosition() : nullptr; p;) {
        CArticRulExpEvnt* line = set->GetRulExpEvntList()->GetNext(p);
        out << " exp " << line->GetEvntNo() << " " << line->GetExpEvntName().str() << " searched "
            << line->GetSearched() << " mstr " << line->GetMstr() << " if " << VarText(set, line->GetRulDataVal())
            << " " << ListText(set, line->GetRulElmList()) << (line->GetRulSet() == set ? "" : " FOREIGN-SET")
            << "\n";
    }
    return out.str();
}

std::string ProgramText(const CArticRul& rul, const CArticWrk* wrk) {
    std::string text;
    for (POSITION p = rul.GetHeadPos(); p;) text += SetText(rul.GetNext(p), &rul, wrk);
    return text;
}

// One conversion's loader with its own work data and program.
struct Loading {
    CArticWrk wrk;
    CArticRul rul{&wrk};
    CArticLoadMgr loader{&wrk, &rul};

    int Load(const std::string& tag, std::initializer_list<const char*> lines, int selector = 0) {
        CStringList list;
        list.AddTail(CString(("; " + tag).c_str()));  // a script text no other test loads
        for (const char* l : lines) list.AddTail(CString(l));
        CPHConvPrm prm;
        prm.PbCtrl = BYTE(selector);
        return loader.LoadRul(prm, list);
    }
    int LoadFile(const std::string& tag, const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        CStringList list;
        list.AddTail(CString(("; " + tag).c_str()));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            list.AddTail(CString(line));
        }
        CPHConvPrm prm;
        return loader.LoadRul(prm, list);
    }
    std::string Text() const { return ProgramText(rul, &wrk); }
    double Prob(int setNo) {
        double v = -1.0;
        if (CArticRulSet* set = rul.GetBySetNo(setNo)) set->GetDataVal(&v);
        return v;
    }
};

// Every kind of line a set holds: variables, relations, built-ins with
// inputs and outputs, a conditional subroutine call, searched and exv lists,
// and expression lines with a condition, "nSrch" and "Mstr".
const std::initializer_list<const char*> kFullScript = {
    "#sub:1",      "#name:Twice",   "#in1:_val1",  "#val2:_val1 * 2", "#out1:_val2",
    "#set:7",      "#name:Every",   "#dir:0",      "#evnt1:_thisEvnt.Next", "#evnt2:_evnt1.WrkPre",
    "#val1:_thisEvnt.Velo", "#val2:(_val1 + 3) * -2 - _thisEvnt.Prob7", "#str1:\"text\"",
    "#func1:CArticSrchGetGlobal( 4, &_val3)", "#func2:CArticSrchKeyCmp( _thisEvnt, 60, &_val4)",
    "#sub1:_val4( _val2, &_val5)", "#func3:CArticSrchPutGlobal( 4, _val5)",
    "#searched:_evnt1", "#exv:3, 4", "#prob:exv2, inv5, _val4 * 0.5",
    "#exp1:nSrch:_val4:CArticExpTimeSft( 1{_thisEvnt}, _val2)",
    "#exp2:Mstr:CArticExpDurAbs( 1{_evnt1}, _val1)",
    "#set:8",      "#name:Other",   "#dir:3",      "#prob:1",
};

}  // namespace

TEST(KeptSets, ACopiedProgramIsWhatReadingTheLinesGives) {
    KeptErrList errors;
    const std::string root = VEXA_SOURCE_DIR "/data/scripts/";
    // Hand-made lines with every kind of line, then two embedded scripts
    // (one with subroutines, one with many sets).
    for (const char* file : {"", "01.rul", "127_08_77_3.rul"}) {
        Loading first, second;
        const std::string tag = std::string("kept sets, equal: ") + file;
        const int r1 = *file ? first.LoadFile(tag, root + file) : first.Load(tag, kFullScript);
        const int r2 = *file ? second.LoadFile(tag, root + file) : second.Load(tag, kFullScript);
        ASSERT_EQ(r1, 0) << file;
        ASSERT_EQ(r2, 0) << file;
        const std::string text = first.Text();
        EXPECT_GT(first.rul.GetCount(), 1) << file;
        EXPECT_EQ(text.find("FOREIGN"), std::string::npos) << file;
        EXPECT_EQ(second.Text(), text) << file;
        // The first program is gone: the second never read it.
        first.rul.Clear();
        EXPECT_EQ(second.Text(), text) << file;
    }
}

TEST(KeptSets, ALoadedProgramIsNeverSharedWithTheNext) {
    KeptErrList errors;
    Loading first;
    ASSERT_EQ(first.Load("kept sets, private", kFullScript), 0);
    // A run writes into its sets' variables: the next load starts from the lines.
    first.rul.GetBySetNo(7)->GetDataVal(1)->SetData(99.0);
    first.rul.GetBySetNo(8)->GetDataVal()->ReplaceProb(0.25);
    EXPECT_EQ(first.Prob(8), 0.25);
    Loading second;
    ASSERT_EQ(second.Load("kept sets, private", kFullScript), 0);
    EXPECT_EQ(second.Prob(8), 1.0);
    EXPECT_EQ(second.rul.GetBySetNo(7)->GetDataVal(1)->GetRulElmList()->GetHead()->GetDataType(), kElmVelo);
    // And loading again into the same program replaces what the run left.
    ASSERT_EQ(first.Load("kept sets, private", kFullScript), 0);
    EXPECT_EQ(first.Prob(8), 1.0);
    EXPECT_EQ(first.Text(), second.Text());
}

TEST(KeptSets, EveryChangeOfTheScriptOrTheSettingsIsReadAgain) {
    KeptErrList errors;
    Loading l;
    const std::string tag = "kept sets, changes";
    const std::initializer_list<const char*> base = {"#set:4", "#name:GetGrpTime", "#prob:100", "#set:5",
                                                     "#name:Vib1", "#prob:2"};
    ASSERT_EQ(l.Load(tag, base), 0);
    EXPECT_EQ(l.Prob(4), 480.0);
    EXPECT_EQ(l.Prob(5), 2.0);
    // One number of one line.
    ASSERT_EQ(l.Load(tag, {"#set:4", "#name:GetGrpTime", "#prob:100", "#set:5", "#name:Vib1", "#prob:3"}), 0);
    EXPECT_EQ(l.Prob(5), 3.0);
    // The grouping time the loader puts into "GetGrpTime".
    l.loader.SetGrpTime(240);
    ASSERT_EQ(l.Load(tag, base), 0);
    EXPECT_EQ(l.Prob(4), 240.0);
    l.loader.SetGrpTime(480);
    ASSERT_EQ(l.Load(tag, base), 0);
    EXPECT_EQ(l.Prob(4), 480.0);
    // The pitch-bend selector that files the optional "Vib1".
    ASSERT_EQ(l.Load(tag, base, 1), 0);
    EXPECT_EQ(l.rul.GetCount(), 1);
    ASSERT_EQ(l.Load(tag, base, 0), 0);
    EXPECT_EQ(l.rul.GetCount(), 2);
    // The subroutine a call names changes what the call line may pass.
    const std::initializer_list<const char*> call = {"#set:1", "#sub1( 1, &_val1)", "#prob:1"};
    std::vector<const char*> oneIn = {"#sub:1", "#in1:_val1", "#out1:_val1"};
    std::vector<const char*> twoIn = {"#sub:1", "#in1:_val1", "#in2:_val2", "#out1:_val1"};
    for (int round = 0; round < 2; ++round) {
        CStringList withOne, withTwo;
        withOne.AddTail(CString(("; " + tag).c_str()));
        withTwo.AddTail(CString(("; " + tag).c_str()));
        for (const char* s : oneIn) withOne.AddTail(CString(s));
        for (const char* s : twoIn) withTwo.AddTail(CString(s));
        for (const char* s : call) {
            withOne.AddTail(CString(s));
            withTwo.AddTail(CString(s));
        }
        CPHConvPrm prm;
        EXPECT_EQ(l.loader.LoadRul(prm, withOne), 0) << round;
        EXPECT_EQ(l.rul.GetCount(), 1) << round;
        EXPECT_EQ(l.loader.LoadRul(prm, withTwo), 1) << round;
        EXPECT_EQ(l.rul.GetCount(), 0) << round;
    }
}

TEST(KeptSets, AScriptThatBeginsOrEndsLikeAKeptOneIsReadAgain) {
    // The kept scripts are matched line by line: a kept script that is the
    // front of the new one, a new one that is the front of a kept one, and a
    // line that only begins like the kept line are all other scripts.
    KeptErrList errors;
    Loading l;
    const std::string tag = "kept sets, fronts";
    const std::initializer_list<const char*> base = {"#set:4", "#name:GetGrpTime", "#prob:100", "#set:5",
                                                     "#name:Vib1", "#prob:2"};
    const std::initializer_list<const char*> longer = {"#set:4", "#name:GetGrpTime", "#prob:100", "#set:5",
                                                       "#name:Vib1", "#prob:2",  "#set:6", "#prob:9"};
    const std::initializer_list<const char*> longerLine = {"#set:4", "#name:GetGrpTime", "#prob:100", "#set:5",
                                                           "#name:Vib1", "#prob:25"};
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(l.Load(tag, base), 0) << round;
        EXPECT_EQ(l.rul.GetCount(), 2) << round;
        EXPECT_EQ(l.Prob(5), 2.0) << round;
        ASSERT_EQ(l.Load(tag, longer), 0) << round;
        EXPECT_EQ(l.rul.GetCount(), 3) << round;
        EXPECT_EQ(l.Prob(6), 9.0) << round;
        ASSERT_EQ(l.Load(tag, longerLine), 0) << round;
        EXPECT_EQ(l.rul.GetCount(), 2) << round;
        EXPECT_EQ(l.Prob(5), 25.0) << round;
    }
}

TEST(KeptSets, AFaultyScriptIsReportedOnEveryLoad) {
    KeptErrList errors;
    Loading l;
    int counts[3] = {};
    for (int& count : counts) {
        const int before = CArticErr::GetMsgCount();
        EXPECT_EQ(l.Load("kept sets, faulty", {"#set:1", "#prob:1", "#set:2", "#bogus:1", "#prob:1"}), 1);
        count = CArticErr::GetMsgCount() - before;
        EXPECT_EQ(l.rul.GetCount(), 1);
    }
    EXPECT_GT(counts[0], 0);
    EXPECT_EQ(counts[1], counts[0]);
    EXPECT_EQ(counts[2], counts[0]);
}
