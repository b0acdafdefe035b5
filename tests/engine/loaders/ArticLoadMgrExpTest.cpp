// The expression text form: dumps read back through LoadExp, the dispatcher
// and its single report, the shared item readers, and the loaders of note
// creation, deletion and the debug carriers, alone and as the rule run's
// receiver.
#include <gtest/gtest.h>

#include <clocale>
#include <initializer_list>
#include <string>
#include <vector>

#include "services/ArticErr.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpCreNote.h"
#include "engine/expressions/ArticMeas.h"
#include "engine/expressions/ExpFixture.h"
#include "engine/loaders/ExpLoaderFixture.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticCreExpMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/RulSetFixture.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/WorkFixture.h"

namespace {

// Work track 1 with notes w3..w7 and a rule program, the loader bound to them.
struct ExpTextForm : loadtest::ExpLoaderFixture {
    ExpTextForm() : ExpLoaderFixture(3, 7, 57) {}
    template <class T>
    T* OnlyAs() {
        return dynamic_cast<T*>(Only());
    }
    static std::string LastMethod() {
        CString content, cls, method, detail;
        CArticErr::Get(content, cls, method, detail);
        return method.str();
    }
    // Whether the shown reports hold text.
    static bool Shown(const char* text) { return exptest::ShownText().Find(text) >= 0; }
    static std::vector<ULONG> NoteNos(const CArticExpEvnt* e) {
        std::vector<ULONG> out;
        CArticWrkEvntList* list = nullptr;
        if (const auto* a = dynamic_cast<const CArticExpArray*>(e)) list = a->GetWrkEvntList();
        if (const auto* c = dynamic_cast<const CArticExpCre*>(e)) list = c->GetWrkEvntList();
        if (const auto* d = dynamic_cast<const CArticExpDebug*>(e)) list = d->GetWrkEvntList();
        if (!list) return out;
        for (POSITION p = list->GetHeadPosition(); p;) out.push_back(list->GetNext(p)->GetEvntNo());
        return out;
    }
    // The written items of one expression.
    static std::vector<std::string> Items(CArticExpEvnt* e) {
        CStringList items;
        std::vector<std::string> out;
        if (CArticExpUtil::GetEvntParam(e, items) != 0) return {"<failed>"};
        for (POSITION p = items.GetHeadPosition(); p;) out.push_back(items.GetNext(p).str());
        return out;
    }
};

}  // namespace

TEST_F(ExpTextForm, DumpLinesAndWhoReportsThem) {
    struct Case {
        std::vector<const char*> lines;
        int result;
        const char* reporter;  // the method of the last report, "" for none
        std::vector<std::string> details;
    };
    const Case kCases[] = {
        {{"TRK:1", "BLK:0", "e3:CArticExpNone(1)", "e4:CArticExpDel(1{:w3})"},
         1,
         "LoadExpEvnt",
         {"ｸﾗｽ名 = CArticExpNone   ｲﾍﾞﾝﾄ番号 = 3"}},
        // A catalogue class whose items do not read: its Type is no number.
        {{"TRK:1", "BLK:0", "e5:CArticExpTempoAbs(1/1/0,120)"}, 1, "LoadExpEvnt",
         {"ｸﾗｽ名 = CArticExpTempoAbs   ｲﾍﾞﾝﾄ番号 = 5"}},
        {{"TRK:1", "BLK:0", "e1:()"}, 1, "LoadExpEvnt", {"ｸﾗｽ名 =    ｲﾍﾞﾝﾄ番号 = 1"}},
        {{"TRK:1", "BLK:0", "e1:"}, 1, "LoadExp", {"e1:"}},
        {{"TRK:1x", "BLK:0"}, 0, "", {}},
        {{"TRK:1", "BLK:1x"}, 1, "LoadExp", {"BLK:1x"}},
        {{"TRK:1", "BLK:0", "e1x:CArticExpDel(0{})"}, 1, "LoadExp", {"e1x:CArticExpDel(0{})"}},
        {{"TRK:1,ch0"}, 1, "LoadExp", {"TRK:1,ch0"}},
        {{"BLK:0"}, 1, "LoadExp", {"BLK:0"}},
        {{"TRK:1", "e1:CArticExpDel(0{})"}, 1, "LoadExp", {"e1:CArticExpDel(0{})"}},
        {{";TRK:1"}, 0, "", {}},
        {{"TRK:1", ""}, 1, "LoadExp", {}},  // an empty line has no detail to repeat
        {{"trk:1"}, 1, "LoadExp", {"trk:1"}},
        // Event numbers beyond what the expression data registers.
        {{"TRK:1", "BLK:0", "e16777216:CArticExpDel(1{:w5})"}, 1, "LoadExp", {"e16777216:CArticExpDel(1{:w5})"}},
        {{"TRK:1", "BLK:0", "e4294967296:CArticExpDel(1{:w5})"}, 1, "LoadExp", {"e4294967296:CArticExpDel(1{:w5})"}},
    };
    for (const Case& c : kCases) {
        CArticErr::Clear();
        CStringList list;
        for (const char* l : c.lines) list.AddTail(CString(l));
        const std::string what = c.lines.back();
        EXPECT_EQ(loader.LoadExp(list), c.result) << what;
        EXPECT_EQ(Details(), c.details) << what;
        EXPECT_EQ(CArticErr::GetMsgCount(), c.reporter[0] ? 2 - (c.details.empty() ? 1 : 0) : 0) << what;
        if (c.reporter[0]) EXPECT_EQ(LastMethod(), c.reporter) << what;
    }
    // An over-cap number leaves nothing behind, also when it comes twice; the
    // dispatcher of the rule run refuses it too, with its one report.
    CArticErr::Clear();
    EXPECT_EQ(Dump({"TRK:1", "BLK:0", "e16777216:CArticExpDel(1{:w5})", "e16777216:CArticExpDel(1{:w6})",
                    "e2147483647:CArticExpDel(1{:w5})", "e4:CArticExpDel(1{:w3})"}),
              1);
    EXPECT_EQ(Details().size(), 3u);
    EXPECT_EQ(Written(), (std::vector<std::string>{"TRK:1", "BLK:0", "e4:CArticExpDel( 1{:w3} )"}));
    CArticErr::Clear();
    CExString overCap("CArticExpDel(1{:w5})");
    EXPECT_EQ(loader.LoadExpEvnt(overCap, 16777216, exp.Get(ULONG(1)), Blk()), 1);
    EXPECT_EQ(Details(), std::vector<std::string>{"ｸﾗｽ名 = CArticExpDel   ｲﾍﾞﾝﾄ番号 = 16777216"});
    EXPECT_EQ(Blk()->GetCount(), 1);
    // The line after a refused expression was read.
    EXPECT_EQ(Dump({"TRK:1", "BLK:0", "e3:CArticExpNone(1)", "e4:CArticExpDel(1{:w3})"}), 1);
    ASSERT_EQ(Blk()->GetCount(), 1);
    EXPECT_EQ(Blk()->Get(0)->GetEvntNo(), 4u);
    EXPECT_EQ(NoteNos(Blk()->Get(0)), std::vector<ULONG>{3});
    // A dump unbound or empty reads nothing.
    EXPECT_EQ(Dump({}), 1);
    CArticLoadMgr unbound(&wrk, nullptr, &rul, nullptr, nullptr, nullptr);
    CStringList one;
    one.AddTail(CString("TRK:1"));
    EXPECT_EQ(unbound.LoadExp(one), 1);
}

TEST_F(ExpTextForm, TrackAndBlockHeads) {
    ASSERT_EQ(Dump({"TRK:1,x,y,ch2", "BLK:0"}), 0);
    EXPECT_EQ(exp.Get(ULONG(1))->GetCh(), ULONG(-2));
    EXPECT_EQ(exp.Get(ULONG(1))->GetPort(), ULONG(-1));

    ASSERT_EQ(Dump({"TRK:1, port3, ch2", "BLK:0", "TRK:2, ch1", "BLK:4", "TRK:1", "BLK:0"}), 0);
    EXPECT_EQ(Written(), (std::vector<std::string>{"TRK:1, ch2, port3", "BLK:0", "TRK:2, ch1", "BLK:4", "TRK:1",
                                                   "BLK:0"}));
    // Two heads of track 1: two expression tracks, one work track 1 (the
    // existing one, which keeps its channel); new work tracks and blocks for
    // what the work data lacked.
    ASSERT_EQ(exp.GetCount(), 3);
    CArticWrkTrk* work1 = wrk.Get(ULONG(1));
    EXPECT_EQ(exp.Get(0)->GetWrkTrk(), work1);
    EXPECT_EQ(exp.Get(2)->GetWrkTrk(), work1);
    EXPECT_EQ(work1->GetCh(), 0u);
    EXPECT_EQ(exp.GetExpBlk(1, 0)->GetWrkBlk(), work1->Get(ULONG(0)));
    EXPECT_EQ(wrk.GetCount(), 2);
    ASSERT_NE(wrk.Get(ULONG(2)), nullptr);
    EXPECT_EQ(wrk.Get(ULONG(2))->GetCh(), 0u);
    EXPECT_EQ(exp.GetExpBlk(2, 4)->GetWrkBlk(), wrk.Get(ULONG(2))->Get(ULONG(4)));
    // The notes of work track 1 are still there for the note lists.
    EXPECT_NE(wrk.GetEvntInEvntPosArray(3, 0), nullptr);
}

TEST_F(ExpTextForm, SharedItemRules) {
    struct Case {
        const char* text;
        bool ok;
        std::vector<std::string> items;  // as written back
    };
    const Case kCases[] = {
        // Empty items vanish: (1,,2) reads like (1,2).
        {"CArticExpCreNote(1{:w3},1,,2,3,4,5)", true, {"1{:w3}", "1", "2", "3", "4", "5"}},
        // A gated item followed by another delimiter is passed over.
        {"CArticExpCreNote(1{:w3},9)8,7,6,5)", true, {"1{:w3}", "0", "8", "7", "6", "5"}},
        {"CArticExpCreNote(1{:w3},1,2,3,4", false, {}},  // nothing after a gated item
        {"CArticExpDebug_i(1{:w3},)", true, {"1{:w3}", "0"}},  // an empty final item reads 0
        {"CArticExpDebug_i(1{:w3},5,junk)", true, {"1{:w3}", "5"}},  // items after the final one are ignored
        {"CArticExpDel(0{})", true, {"0{}"}},
        {"CArticExpDel(2{:w3})", true, {"1{:w3}"}},  // the count bounds the entries
        {"CArticExpDebug_i(2{:w3,:w4},7)", true, {"2{:w3,:w4}", "7"}},
        {"CArticExpDebug_i(1{:w3,:w4},7)", false, {}},  // w4 falls to the number item
        {"CArticExpDebug_i(1{:w3},3a)", false, {}},
        {"CArticExpDebug_i(1{:w3},0x10)", false, {}},
        {"CArticExpDebug_i(1{:w3},1.5)", false, {}},
        {"CArticExpDebug_i(1{:w3},99999999999)", true, {"1{:w3}", "2147483647"}},
        {"CArticExpDel(1{:w99})", false, {}},  // not in the work data
        {"CArticExpDel(-1{})", false, {}},
        {"CArticExpDel(1:w3)", false, {}},  // no brace after the count
        {"CArticExpDel", false, {}},
        {"CArticExpDel(1{:w3})", true, {"1{:w3}"}},
        {":CArticExpDel(1{:w3})", true, {"1{:w3}"}},  // the head's colon may precede the name
    };
    for (const Case& c : kCases) {
        CArticErr::Clear();
        EXPECT_EQ(Text(c.text), c.ok ? 0 : 1) << c.text;
        if (!c.ok) {
            EXPECT_EQ(Blk()->GetCount(), 0) << c.text;
            EXPECT_TRUE(Shown("中間表現ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ作成時にｴﾗｰが発生しました。")) << c.text;
            EXPECT_EQ(Details().size(), 1u) << c.text;
            continue;
        }
        ASSERT_NE(Only(), nullptr) << c.text;
        EXPECT_EQ(Only()->GetEvntNo(), 9u) << c.text;
        EXPECT_EQ(Items(Only()), c.items) << c.text;
        EXPECT_EQ(CArticErr::GetMsgCount(), 0) << c.text;
    }
    // An empty text is refused without a report; so is a missing block.
    CExString empty;
    EXPECT_EQ(loader.LoadExpEvnt(empty, 0, nullptr, nullptr), 1);
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
    CExString del("CArticExpDel(0{})");
    EXPECT_EQ(loader.LoadExpEvnt(del, 0, nullptr, nullptr), 1);
}

TEST_F(ExpTextForm, FileNameItems) {
    struct Case {
        const char* text;
        int result;
        const char* name;
        const char* rest;
    };
    const Case kCases[] = {
        {"\"C:\\dir\\a.mid\",1)", 0, "C:\\dir\\a.mid", ",1)"},
        {"(\"a.mid\",2", 0, "a.mid", ",2"},
        {"\"ﾃｽﾄ\",1", 0, "ﾃｽﾄ", ",1"},  // half-width katakana are single bytes: the quote goes
        {"\"表\",1", 0, "表", ",1"},    // a double-byte character whose trail byte is a backslash
        {"\"\",1", 0, "", ",1"},
        {"\"a.mid\")", 1, "", ""},  // a file name is never the last item
        {"\"a.mid\"", 1, "", ""},
        {"", 1, "", ""},
    };
    for (const Case& c : kCases) {
        CExString text(c.text);
        CString name;
        EXPECT_EQ(CArticExpUtil::GetFileName(text, name), c.result) << c.text;
        if (c.result != 0) continue;
        EXPECT_EQ(std::string(name.str()), c.name) << c.text;
        EXPECT_EQ(std::string(text.str()), c.rest) << c.text;
    }
    EXPECT_EQ(CString("ﾃｽﾄ").GetLength(), 3);

    // A blank inside quotes survives the dump reader.
    ASSERT_EQ(Dump({"TRK:1", "BLK:0", "e1:CArticExpDebug_i2( 1{:w3}, \"C:\\My Files\\a.mid\", 2 )"}), 0);
    auto* e = OnlyAs<CArticExpDebug_i2>();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(std::string(e->GetInfo().str()), "C:\\My Files\\a.mid");
}

TEST_F(ExpTextForm, NoteCreationItems) {
    ASSERT_EQ(Text("CArticExpCreNote(1{:w3},2,-480,240,127,100)"), 0);
    auto* e = OnlyAs<CArticExpCreNote>();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->GetType(), 2);
    EXPECT_EQ(e->GetTime(), -480);
    EXPECT_EQ(e->GetDur(), 240u);
    EXPECT_EQ(e->GetKey(), 127);
    EXPECT_EQ(e->GetVelo(), 100);
    // Key and velocity are bytes (the note made is brought into MIDI range):
    // 256 is refused, as are a negative duration and a type beyond a byte.
    for (const char* bad : {"CArticExpCreNote(1{:w3},0,0,-1,60,100)", "CArticExpCreNote(1{:w3},0,0,10,256,100)",
                            "CArticExpCreNote(1{:w3},0,0,10,60,256)", "CArticExpCreNote(1{:w3},256,0,10,60,100)",
                            "CArticExpCreNote2(1{:w3},0,0,10,60,256:1)"}) {
        EXPECT_EQ(Text(bad), 1) << bad;
        EXPECT_EQ(Blk()->GetCount(), 0) << bad;
    }

    ASSERT_EQ(Text("CArticExpCreNote2(1{:w4},0,5,10,61,90:2)"), 0);  // Velo read whatever follows it
    auto* e2 = OnlyAs<CArticExpCreNote2>();
    ASSERT_NE(e2, nullptr);
    EXPECT_EQ(e2->GetVelo(), 90);
    EXPECT_EQ(e2->GetGen(), 2);
    EXPECT_EQ(NoteNos(e2), std::vector<ULONG>{4});
    EXPECT_EQ(Text("CArticExpCreNote2(1{:w4},0,5,10,61,90"), 1);  // nothing after Velo
    EXPECT_EQ(Text("CArticExpCreNote2(1{:w4},0,5,10,61,90)"), 1);

    // Del ignores what follows its brace.
    ASSERT_EQ(Text("CArticExpDel(2{:w5,:w6})xyz,1,2"), 0);
    EXPECT_EQ(NoteNos(Only()), (std::vector<ULONG>{5, 6}));
}

TEST_F(ExpTextForm, DebugCarrierItems) {
    ASSERT_EQ(Text("CArticExpDebug_i(1{:w3},-7)"), 0);
    EXPECT_EQ(Items(Only()), (std::vector<std::string>{"1{:w3}", "-7"}));

    struct InfoCase {
        const char* text;
        bool ok;
        const char* info;
    };
    for (const InfoCase& c : {InfoCase{"CArticExpDebug_i2(1{:w3},\"a:b\",4)", true, "a:b"},
                              InfoCase{"CArticExpDebug_i2(1{:w3},\"\",4)", true, ""},
                              InfoCase{"CArticExpDebug_i2(0{},\"ﾃｽﾄ\",4)", true, "ﾃｽﾄ"},
                              InfoCase{"CArticExpDebug_i2(1{:w3},\"x\")", false, ""},
                              InfoCase{"CArticExpDebug_i2(1{:w3}", false, ""}}) {
        EXPECT_EQ(Text(c.text), c.ok ? 0 : 1) << c.text;
        if (!c.ok) continue;
        auto* e = OnlyAs<CArticExpDebug_i2>();
        ASSERT_NE(e, nullptr) << c.text;
        EXPECT_EQ(std::string(e->GetInfo().str()), c.info) << c.text;
        EXPECT_EQ(e->GetValue(), 4) << c.text;
    }
}

TEST_F(ExpTextForm, RealNumbersIgnoreTheLocale) {
    struct Case {
        const char* value;
        const char* written;  // nullptr: refused
    };
    const Case kCases[] = {{"2.5", "2.5"},   {"3", "3.0"},   {"-0.25", "-0.25"}, {"0.05", "0.05"},
                           {"1.5e3", "1500.0"}, {"1,5", "1.0"}, {"1.5x", nullptr}};
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* locale : {"C", "de_DE.utf8"}) {
        if (!std::setlocale(LC_NUMERIC, locale)) continue;  // a machine without the locale runs "C" only
        for (const Case& c : kCases) {
            const std::string text = std::string("CArticExpDebug_d(0{},") + c.value + ")";
            EXPECT_EQ(Text(text.c_str()), c.written ? 0 : 1) << locale << " " << c.value;
            if (!c.written) continue;
            ASSERT_NE(Only(), nullptr);
            EXPECT_EQ(Items(Only()), (std::vector<std::string>{"0{}", c.written})) << locale << " " << c.value;
        }
    }
    std::setlocale(LC_NUMERIC, before.c_str());
}

TEST_F(ExpTextForm, SixClassesRoundTrip) {
    ASSERT_EQ(Dump({"TRK:1, ch1", "BLK:0", "e0:CArticExpCreNote( 1{:w3}, 1, -480, 240, 60, 100 )",
                    "e1:CArticExpCreNote2( 2{:w3,:w4}, 0, 10, 20, 61, 90, 3 )", "e2:CArticExpDel( 2{:w5,:w6} )",
                    "e3:CArticExpDebug_i( 1{:w7}, -7 )", "e4:CArticExpDebug_i2( 0{}, \"C:\\My Files\\a:b\", 5 )",
                    "e5:CArticExpDebug_d( 1{:w3}, -0.25 )"}),
              0);
    const std::vector<std::string> first = Written();
    const std::vector<std::string> expected = {
        "TRK:1, ch1",
        "BLK:0",
        "e0:CArticExpCreNote( 1{:w3}, 1, -480, 240, 60, 100 )",
        "e1:CArticExpCreNote2( 2{:w3,:w4}, 0, 10, 20, 61, 90, 3 )",
        "e2:CArticExpDel( 2{:w5,:w6} )",
        "e3:CArticExpDebug_i( 1{:w7}, -7 )",
        "e4:CArticExpDebug_i2( 0{}, \"C:\\My Files\\a:b\", 5 )",
        "e5:CArticExpDebug_d( 1{:w3}, -0.25 )",
    };
    EXPECT_EQ(first, expected);

    // Read into fresh expression data, blanks outside quotes removed, and
    // written again: the same text.
    CStringList again;
    AddUnblanked(first, again);
    CArticExp fresh;
    CArticLoadMgr reader(&wrk, &fresh, &rul, nullptr, nullptr, nullptr);
    ASSERT_EQ(reader.LoadExp(again), 0);
    const std::vector<std::string> out = Written(fresh);
    EXPECT_EQ(out, expected);
    fresh.Clear();
}

TEST_F(ExpTextForm, ReceiverOfTheRuleRun) {
    loadtest::RuleRunWorld rw;
    ASSERT_EQ(rw.Run({"#set:1", "#prob:1", "#exp1:CArticExpDel( 1{_thisEvnt})"}, 3), 0);
    exptest::World& w = rw.w;
    CArticExpBlk* blk = rw.PartBlk();
    ASSERT_EQ(blk->GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        CArticExpEvnt* e = blk->Get(i);
        ASSERT_NE(dynamic_cast<CArticExpDel*>(e), nullptr) << i;
        EXPECT_EQ(e->GetEvntNo(), ULONG(i));
        EXPECT_EQ(NoteNos(e), std::vector<ULONG>{ULONG(i + 1)});
    }
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);

    w.Run();
    EXPECT_TRUE(exptest::NoteRows(w.MidPartBlk()).empty());
    EXPECT_EQ(exptest::NoteRows(w.partBlk).size(), 3u);  // the rules' data keeps its notes
}

// A built-in's text output carried by a fired rule into an expression: a
// hexadecimal text wider than 8 bytes is written, zero-padded.
TEST_F(ExpTextForm, RuleRunCarriesAWideHexText) {
    loadtest::RuleRunWorld rw;
    ASSERT_EQ(rw.Run({"#set:1", "#func1:CArticSrchValToHexStr(255, 9, &_str1)", "#prob:1",
                      "#exp1:CArticExpDebug_i2( 1{_thisEvnt}, _str1, 1)"},
                     1),
              0) << exptest::ShownText().str();
    CArticExpBlk* blk = rw.PartBlk();
    ASSERT_EQ(blk->GetCount(), 1);
    auto* e = dynamic_cast<CArticExpDebug_i2*>(blk->Get(0));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->GetInfo().str(), "0000000000000000ff");
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
}

TEST_F(ExpTextForm, RuleRunKeepsBlanksInsideQuotes) {
    loadtest::RuleRunWorld rw;
    ASSERT_EQ(rw.Run({"#set:1", "#prob:1", "#exp1:CArticExpDebug_i2( 1{_thisEvnt}, \"My File\", 1)"}, 1), 0);
    CArticExpBlk* blk = rw.PartBlk();
    ASSERT_EQ(blk->GetCount(), 1);
    auto* e = dynamic_cast<CArticExpDebug_i2*>(blk->Get(0));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(std::string(e->GetInfo().str()), "My File");
    EXPECT_EQ(e->GetValue(), 1);
}

TEST_F(ExpTextForm, ReadersForTheLaterClasses) {
    // Number items against the widths of their parameters.
    struct NumCase {
        const char* text;
        int (*read)(CArticLoadMgr&, CExString&);
        bool ok;
    };
    auto chr = [](CArticLoadMgr& l, CExString& t) { char v = 0; return l.GetExpChar(t, &v, CArticLoadMgr::kExpFinal); };
    auto sht = [](CArticLoadMgr& l, CExString& t) { short v = 0; return l.GetExpShort(t, &v, CArticLoadMgr::kExpFinal); };
    auto wrd = [](CArticLoadMgr& l, CExString& t) { WORD v = 0; return l.GetExpWord(t, &v, CArticLoadMgr::kExpFinal); };
    const NumCase kNums[] = {{"(-128", chr, true},  {"(128", chr, false},    {"(-32768", sht, true},
                             {"(32768", sht, false}, {"(65535", wrd, true},   {"(-1", wrd, false}};
    for (const NumCase& c : kNums) {
        CExString text(c.text);
        EXPECT_EQ(c.read(loader, text), c.ok ? 0 : 1) << c.text;
    }

    // Positions: a triple, or ticks where the class takes them; gated.
    struct MeasCase {
        const char* text;
        bool ticksAllowed;
        CArticLoadMgr::ExpItem kind;
        int result;
        const char* meas;  // "bar/beat/tick", "" for none
        ULONG ticks;
    };
    const MeasCase kMeas[] = {
        {"(2/3/120,x", false, CArticLoadMgr::kExpGated, 0, "2/3/120", 0},
        {"(960,x", true, CArticLoadMgr::kExpGated, 0, "", 960},
        {"(960,x", false, CArticLoadMgr::kExpGated, 1, "", 0},
        {"(/2/3,x", true, CArticLoadMgr::kExpGated, 1, "", 0},  // a leading '/' is no triple
        {"(2/3/120)x", false, CArticLoadMgr::kExpGated, 0, "", 0},  // passed over
        {"(2/3", false, CArticLoadMgr::kExpFinal, 1, "", 0},
        {"(2/3/120", false, CArticLoadMgr::kExpGated, 1, "", 0},  // nothing after a gated item
    };
    for (const MeasCase& c : kMeas) {
        CExString text(c.text);
        std::unique_ptr<CArticMeas> meas;
        ULONG ticks = 0;
        EXPECT_EQ(loader.GetExpMeas(text, &meas, c.ticksAllowed ? &ticks : nullptr, c.kind), c.result) << c.text;
        if (c.result != 0) continue;
        EXPECT_EQ(meas ? std::string(CArticExpUtil::MeasText(*meas).str()) : std::string(), c.meas) << c.text;
        EXPECT_EQ(ticks, c.ticks) << c.text;
    }

    // New-note lists: the events stay in the work data only when kept.
    for (bool keep : {false, true}) {
        CExString text("(2{:w20,:w21},5");
        {
            CArticLoadMgr::NewNotes notes(&wrk);
            ASSERT_EQ(loader.GetExpNewNoteList(text, &notes), 0);
            ASSERT_EQ(notes.Get()->GetCount(), 2);
            EXPECT_NE(wrk.GetEvntInEvntPosArray(20, 0), nullptr);
            if (keep) notes.Keep();
        }
        EXPECT_EQ(wrk.GetEvntInEvntPosArray(20, 0) != nullptr, keep);
        EXPECT_EQ(wrk.GetEvntInEvntPosArray(21, 0) != nullptr, keep);
        EXPECT_EQ(std::string(text.str()), "},5");
    }
    CExString taken("(1{:w3}");
    CArticLoadMgr::NewNotes refused(&wrk);
    EXPECT_EQ(loader.GetExpNewNoteList(taken, &refused), 1);  // w3 is an existing note
    EXPECT_EQ(refused.Get(), nullptr);
    wrk.ResetAllEvntPos();  // the kept events belong to no block
}

TEST_F(ExpTextForm, NumberItemsMustBeWholeAndLeaveTheirRest) {
    // Each number is read where it stands in the line: what follows the
    // token is never taken for part of it, and the rest keeps its delimiter.
    struct Case {
        const char* text;
        CArticLoadMgr::ExpItem kind;
        int result;
        LONG value;
        const char* rest;
    };
    const Case kLongs[] = {
        {"(12,5)", CArticLoadMgr::kExpGated, 0, 12, ",5)"},
        {"(-7)", CArticLoadMgr::kExpFinal, 0, -7, ""},  // a delimiter at the end goes with the item
        {"(+7,1", CArticLoadMgr::kExpFollowed, 0, 7, ",1"},
        {"(12x,5)", CArticLoadMgr::kExpGated, 1, 0, ",5)"},
        {"(x12,5)", CArticLoadMgr::kExpGated, 1, 0, ",5)"},
        {"(3)x", CArticLoadMgr::kExpGated, 0, 0, ")x"},  // passed over: stays at its default
        {"(3)", CArticLoadMgr::kExpGated, 1, 0, ""},
        {"(,,4", CArticLoadMgr::kExpFinal, 0, 4, ""},
        {"(4", CArticLoadMgr::kExpFollowed, 1, 0, ""},
    };
    for (const Case& c : kLongs) {
        CExString text(c.text);
        LONG value = 0;
        EXPECT_EQ(loader.GetExpLong(text, &value, c.kind), c.result) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(std::string(text.str()), c.rest) << c.text;
    }
    struct RealCase {
        const char* text;
        int result;
        double value;
    };
    const RealCase kReals[] = {{"(1.5)", 0, 1.5}, {"(-2e2,", 0, -200.0}, {"(1.5x)", 1, 0.0}, {"(.)", 1, 0.0}};
    for (const RealCase& c : kReals) {
        CExString text(c.text);
        double value = 0.0;
        EXPECT_EQ(loader.GetExpDouble(text, &value, CArticLoadMgr::kExpFinal), c.result) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }

    // Note-list entries: the number after the 'w's, digits only up to the
    // next delimiter counted; a number the work data does not hold refuses.
    struct ListCase {
        const char* text;
        int result;
        int count;
    };
    const ListCase kLists[] = {{"(2{w3,ww4},1", 0, 2}, {"(1{w5x},1", 0, 1}, {"(1{w99},1", 1, 0}, {"(1{3},1", 1, 0}};
    for (const ListCase& c : kLists) {
        CExString text(c.text);
        std::unique_ptr<CArticWrkEvntList> list;
        EXPECT_EQ(loader.GetExpNoteList(text, &list), c.result) << c.text;
        EXPECT_EQ(list ? list->GetCount() : 0, c.count) << c.text;
    }
}
