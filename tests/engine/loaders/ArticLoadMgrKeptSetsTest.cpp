// A script loaded again takes copies of the sets its earlier load built:
// every copy must be what reading the lines gives, belong to the program it
// is loaded into, and follow every change of the script and the settings.
#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "services/ArticErr.h"
#include "services/PHConvPrm.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulDataEvnt.h"
#include "engine/rules/ArticRulExpEvnt.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticSrchEvnt.h"
#include "engine/rules/ArticSrchSubRoutine.h"
#include "engine/work/ArticWrk.h"

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
