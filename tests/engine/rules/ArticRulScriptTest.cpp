// Whole scripts: include expansion, moving init and subroutine blocks out of
// the line list, init blocks and the loader that puts them all into a
// rule program.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "RulSetFixture.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticRulInit.h"
#include "engine/rules/ArticRulUtil.h"
#include "engine/work/ArticUtil.h"

using namespace rultest;

namespace {


void Fill(CStringList& list, std::initializer_list<const char*> lines) {
    for (const char* l : lines) list.AddTail(CString(l));
}

// A library folder of include files for one test.
struct LibFolder {
    std::string dir;
    LibFolder() {
        char tmpl[] = "/tmp/vexa_incXXXXXX";
        dir = mkdtemp(tmpl);
        CString path(dir.c_str());
        CArticUtil::SetLibPath(&path);
    }
    ~LibFolder() {
        CString none;
        CArticUtil::SetLibPath(&none);
        std::system(("rm -rf " + dir).c_str());
    }
    void Write(const char* name, std::initializer_list<const char*> lines) const {
        std::ofstream f(dir + "/" + name);
        for (const char* l : lines) f << l << "\r\n";
    }
};

struct ScriptTest : RulSetTest {
    CArticLoadMgr loader{&wrk, &rul};
    int LoadScript(std::initializer_list<const char*> lines) {
        CStringList list;
        Fill(list, lines);
        return loader.LoadRul(list);
    }
};

}  // namespace

TEST(RulScriptSplit, InitBlocksAndSubroutinesMoveOut) {
    CStringList lines, init0, init1, init2, subs;
    Fill(lines, {"; head comment", "#init:", "#procNest:1", "; first", "#init2:", "#trk1:", "; second",
                 "#sub:1", "#in1:_val1", "", "#out1:_val1", "#set:1", "#sub1(2,&_val1)", "#prob:1", "#sub:2",
                 "#val1:1", "#set:2", "#init:"});
    CString err;
    EXPECT_EQ(CArticRulUtil::GetRulInit(lines, init0, err), 0);
    EXPECT_EQ(CArticRulUtil::GetRulInit(lines, init1, err), 0);
    EXPECT_EQ(CArticRulUtil::GetRulInit(lines, init2, err), 0);
    EXPECT_EQ(Texts(init0), (std::vector<std::string>{"#init:", "#procNest:1", "; first"}));
    EXPECT_EQ(Texts(init1), (std::vector<std::string>{"#init2:", "#trk1:", "; second"}));
    EXPECT_TRUE(init2.IsEmpty());  // an init head after the first set is never found
    EXPECT_EQ(CArticRulUtil::GetRulSub(lines, subs, err), 0);
    EXPECT_EQ(Texts(subs), (std::vector<std::string>{"#sub:1", "#in1:_val1", "#out1:_val1", "#sub:2", "#val1:1"}));
    EXPECT_EQ(Texts(lines), (std::vector<std::string>{"; head comment", "", "#set:1", "#sub1(2,&_val1)", "#prob:1",
                                                      "#set:2", "#init:"}));
}

TEST(RulScriptSplit, ExpandWithoutIncludesCopiesLineForLine) {
    CStringList lines, out;
    Fill(lines, {"#set:1", "", "# include:x", "#prob:1"});
    CString err;
    ASSERT_EQ(CArticRulUtil::Expand(lines, CString(), out, err), 0);
    EXPECT_EQ(Texts(out), Texts(lines));
}

TEST(RulScriptSplit, IncludesExpandAndFaultyOnesFail) {
    LibFolder lib;
    lib.Write("common.txt", {"#val1:1", "#include:inner.txt"});
    lib.Write("inner.txt", {"#val2:2"});
    lib.Write("self.txt", {"#include:self.txt"});
    lib.Write("a.txt", {"#val1:1", "#include:b.txt"});
    lib.Write("b.txt", {"#include:a.txt"});
    CString err;
    {
        CStringList lines, out;
        Fill(lines, {"#set:1", "#include:common.txt", "#prob:1"});
        ASSERT_EQ(CArticRulUtil::Expand(lines, CString(), out, err), 0);
        EXPECT_EQ(Texts(out), (std::vector<std::string>{"#set:1", "#val1:1", "#val2:2", "#prob:1"}));
    }
    struct Bad {
        const char* line;
    };
    const Bad kBad[] = {{"#include:"}, {"#include:missing.txt"}, {"#include:self.txt"}, {"#include:a.txt"},
                        {"#include:common.txt ; note"}};
    for (const Bad& b : kBad) {
        CStringList lines, out;
        Fill(lines, {"#set:1", b.line});
        EXPECT_NE(CArticRulUtil::Expand(lines, CString(), out, err), 0) << b.line;
        EXPECT_EQ(Texts(out), (std::vector<std::string>{"#set:1"})) << b.line;
    }
    // An include that exists but cannot be read (a folder) is no empty file.
    ASSERT_EQ(std::system(("mkdir " + lib.dir + "/dir.txt").c_str()), 0);
    CStringList lines, out;
    Fill(lines, {"#include:dir.txt"});
    EXPECT_NE(CArticRulUtil::Expand(lines, CString(), out, err), 0);
}

TEST_F(ScriptTest, InitBlockLines) {
    struct Case {
        const char* line;
        bool ok;
    };
    const Case kCases[] = {
        {"#init1:", true},       {"#init0:", false},     {"#init3:", false},    {"#procNest", true},
        {"#procNest:", false},   {"#procNest:2", false}, {"#procNest:1:dir2", false},
        {"#blk0:", false},       {"#exp3:CArticExpDel(0{})", false},          {"#bogus1:", false},
    };
    for (const Case& c : kCases) {
        CArticRulInit init(&rul);
        CStringList lines;
        Fill(lines, {c.line});
        EXPECT_EQ(init.Load(lines) == 0, c.ok) << c.line;
    }
    CArticRulInit init(&rul);
    CStringList lines;
    Fill(lines, {"#init:", "#procNest:1:dir1  ; set-major", "#trk1:", "#blk0:", "; ## PbProc : 1", ";##TgMode:x",
                 "#trk1:", "#blk2:"});
    ASSERT_EQ(init.Load(lines), 0);
    EXPECT_EQ(init.GetInitNo(), 2u);
    EXPECT_EQ(init.GetProcNestFlag(), 1);
    EXPECT_EQ(init.GetProcNest(), 1);
    EXPECT_EQ(init.GetDirection(), 1);
    EXPECT_EQ(init.GetPbProc(), 1);
    EXPECT_EQ(init.GetTgMode(), 0);
    ASSERT_EQ(init.GetCount(), 1);
    EXPECT_EQ(init.Get(0)->GetCount(), 2);  // "#trk1:" twice: one track, blocks in order
    EXPECT_EQ(init.Get(0)->Get(1)->GetBlkNo(), 2u);
}

TEST_F(ScriptTest, FullScriptLoadsAndTheNextScriptStartsFromDefaults) {
    LibFolder lib;
    lib.Write("shared.txt", {"#val2:2"});
    ASSERT_EQ(LoadScript({"; a script", "#init:", "#procNest:1", "#trk1:", "#blk0:", ";##PbProc:1", ";##TgMode:1",
                          ";##InstNum:3", "#init1:", "#trk2:", "#sub:10", "#in1:_val1", "#val2:_val1*2",
                          "#out1:_val2", "#set:1", "#include:shared.txt", "#prob:_val2", "#set:2", "#val1:3",
                          "#sub10(_val1,&_val5)", "#prob:1"}),
              0)
        << (Details().empty() ? std::string() : Details().back());
    EXPECT_EQ(rul.GetCount(), 2);
    EXPECT_EQ(rul.GetSubCount(), 1);
    EXPECT_EQ(rul.GetProcNestFlag(), 1);
    EXPECT_EQ(rul.GetProcNest(), 1);
    EXPECT_EQ(loader.GetPbProc(), 1);
    EXPECT_EQ(loader.GetTgMode(), 1);
    EXPECT_EQ(loader.GetInstNum(), 3);
    EXPECT_EQ(rul.GetInit(0)->GetInitNo(), 2u);
    EXPECT_EQ(rul.GetInit(1)->GetInitNo(), 1u);
    EXPECT_TRUE(rul.GetInit(1)->Get(ULONG(2)));

    ASSERT_EQ(LoadScript({"#init:", "#trk1:", "#set:4", "#prob:1"}), 0);
    EXPECT_EQ(rul.GetCount(), 1);
    EXPECT_EQ(rul.GetSubCount(), 0);
    EXPECT_EQ(rul.GetProcNest(), 0);
    EXPECT_EQ(loader.GetPbProc(), 0);
    EXPECT_EQ(loader.GetTgMode(), 2);
    EXPECT_EQ(loader.GetInstNum(), 0);
    EXPECT_EQ(rul.GetInit(0)->GetPbProc(), 0);
    EXPECT_EQ(rul.GetInit(0)->GetTgMode(), 2);
    EXPECT_EQ(rul.GetInit(1)->GetInitNo(), 0xFFFFFFFFu);
}

TEST_F(ScriptTest, IncludeCycleFailsTheLoad) {
    LibFolder lib;
    lib.Write("a.txt", {"#include:b.txt"});
    lib.Write("b.txt", {"#include:a.txt"});
    EXPECT_NE(LoadScript({"#set:1", "#include:a.txt", "#prob:1"}), 0);
    EXPECT_EQ(rul.GetCount(), 0);
    // The report's detail line names the include line where the loop closed.
    EXPECT_EQ(std::string(ErrList::LastContent().str()), "行内容 = #include:a.txt");
}

TEST_F(ScriptTest, FaultySetAndSubroutineAreLeftOut) {
    EXPECT_NE(LoadScript({"#sub:3", "#prob:1", "#set:1", "#prob:1", "#set:1", "#prob:1", "#set:2", "#bogus:1"}), 0);
    EXPECT_EQ(rul.GetSubCount(), 0);
    EXPECT_EQ(rul.GetCount(), 1);  // the second "#set:1" and set 2 are refused
}
