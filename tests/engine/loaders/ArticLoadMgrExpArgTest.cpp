// The argument forms of the tempo, set-up, packed, velocity, controller and
// duration expressions: every class and constructor form read back from
// what its writer writes, the item rules of each family and the lines that
// are refused, and the key shift as the rule run's receiver.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "services/ArticErr.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpDur.h"
#include "engine/expressions/ArticExpInit.h"
#include "engine/expressions/ArticExpTempo.h"
#include "engine/expressions/ExpFixture.h"
#include "engine/loaders/ExpLoaderFixture.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticCreExpMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/WorkFixture.h"

namespace {

using ArgItems = std::vector<std::string>;

// Work track 1 with notes w3..w7, the loader bound to it.
struct ArgForm : loadtest::ExpLoaderFixture {
    ArgForm() : ExpLoaderFixture(3, 7, 57) {}
    // One "Class(items)" text for the dispatcher into a fresh block: the
    // written items of the one expression made, or {} when none was made.
    ArgItems Read(const char* text) {
        if (Text(text) != 0) {
            EXPECT_EQ(Blk()->GetCount(), 0) << text;
            return {};
        }
        EXPECT_EQ(Blk()->GetCount(), 1) << text;
        if (Blk()->GetCount() != 1) return {"<none>"};
        CStringList items;
        if (CArticExpUtil::GetEvntParam(Blk()->Get(0), items) != 0) return {"<failed>"};
        ArgItems out;
        for (POSITION p = items.GetHeadPosition(); p;) out.push_back(items.GetNext(p).str());
        return out;
    }
};

struct ArgCase {
    const char* text;
    ArgItems items;  // what the made expression writes; {} when refused
};

void ArgCheckCases(ArgForm& f, std::initializer_list<ArgCase> cases) {
    for (const ArgCase& c : cases) EXPECT_EQ(f.Read(c.text), c.items) << c.text;
}

}  // namespace

// Every class of these families in each of its constructor forms: written,
// read without blanks into fresh data and written again, the same text.
TEST_F(ArgForm, EveryClassAndFormRoundTrips) {
    const std::vector<std::string> lines = {
        "TRK:1, ch1",
        "BLK:0",
        "e0:CArticExpTempoAbs( 0, 1/1/0, 480, 120 )",
        "e1:CArticExpTempoAbs( 2, 960, 480, 90 )",
        "e2:CArticExpTempoAbsRel( 1, 2/1/0 )",
        "e3:CArticExpTempoAbsRel( 0, 1920 )",
        "e4:CArticExpTempoRelFix( 0, 3/1/0, 80 )",
        "e5:CArticExpTempoRelFix( 0, 960, 120 )",
        "e6:CArticExpTempoRelCrv( 0, 1/1/0, 2/1/0, 100, 80, 0, 4 )",
        "e7:CArticExpTempoRelCrv( 0, 1/1/0, 960, 100, 80, 0, 4 )",
        "e8:CArticExpTempoRelCrv( 0, 0, 960, 100, 80, -3, 4 )",
        "e9:CArticExpTempoFermata( 1, 2{:w5,:w6}, 90, 480 )",
        "e10:CArticExpTempoBreath( 2, 1{:w4}, 0, 240 )",
        "e11:CArticExpInitPrmChange( 1/1/0, \"43\", \"100000\", \"7F00\" )",
        "e12:CArticExpInitPrmChange( 480, \"43\", \"000000\", \"01\" )",
        "e13:CArticExpInitPrmChange2( 1, 0, 2/1/0, \"43\", \"102030\", \"0a0B\" )",
        "e14:CArticExpInitPrmChange2( 1, 0, 960, \"43\", \"102030\", \"0A\" )",
        "e15:CArticExpInitPrmChange3( 2{:w5,:w6}, -10, \"43\", \"100000\", \"7F\" )",
        "e16:CArticExpInitPrmChangeKv( 1/1/0, \"000001\", \"01\" )",
        "e17:CArticExpInitPrmChangeKv( 0, \"000001\", \"01\" )",
        "e18:CArticExpInitPrmChangeKv2( 1, 0, 1/1/0, \"000001\", \"01\" )",
        "e19:CArticExpInitPrmChangeKv2( 1, 0, 960, \"000001\", \"01\" )",
        "e20:CArticExpInitPrmChangeKv3( 1{:w4}, 5, \"000001\", \"0102\" )",
        "e21:CArticExpInitKvinit( 1/1/0 )",
        "e22:CArticExpInitKvinit( 0 )",
        "e23:CArticExpInitKvinit2( 1, 0, 960 )",
        "e24:CArticExpInitKvinit2( 1, 0, 2/1/0 )",
        "e25:CArticExpInitPro( 1/1/0, 0, 0, 25 )",
        "e26:CArticExpInitPro( 480, 121, 0, 40 )",
        "e27:CArticExpInitPro2( 1, 0, 960, 0, 0, 25 )",
        "e28:CArticExpInitPro2( 1, 0, 2/1/0, 0, 1, 2 )",
        "e29:CArticExpInitPro3( 1{:w3}, -5, 0, 0, 25 )",
        "e30:CArticExpInitPbRange( 1, 1/1/0, 2 )",
        "e31:CArticExpInitPbRange( 0, 0, 12 )",
        "e32:CArticExpInitPbRange2( 0, 1, 0, 1/1/0, 2 )",
        "e33:CArticExpInitPbRange2( 1, 1, 0, 960, 2 )",
        "e34:CArticExpInitPbRange3( 2{:w5,:w6}, -10, 2 )",
        "e35:CArticExpStresVeloNoteAbs( 2{:w5,:w6}, 100 )",
        "e36:CArticExpStresVeloNoteRel( 1{:w5}, -128 )",
        "e37:CArticExpStresVeloTimeAbs( 1, 3/1/0, 90 )",
        "e38:CArticExpStresVeloTimeRel( 1, 3/1/0, -10 )",
        "e39:CArticExpStresVeloTimeRelCrv( 0, 2{:w5,:w6}, 3/1/0, 480, -20, 10, 0 )",
        "e40:CArticExpStresVeloTimeRelCrv( 1, 1{:w5}, 3/1/0, 4/1/0, -20, 10, 5 )",
        "e41:CArticExpDurRel( 1{:w5}, 65535 )",
        "e42:CArticExpDurRel2( 1{:w5}, -120 )",
        "e43:CArticExpDurAbs( 2{:w5,:w6}, 240 )",
        "e44:CArticExpDurBp( 1{:w5}, 480, 80 )",
        "e45:CArticExpDurAll( 2/1/0, 4/1/0, 480, 80 )",
        "e46:CArticExpKeySft( 1{:w5}, -12 )",
        "e47:CArticExpStresContCcTimeAbs( 0, 5/1/0, 11, 100 )",
        "e48:CArticExpStresContCcTimeRelFix( 0, 5/1/0, 11, -5 )",
        "e49:CArticExpStresContCcTimeRelAreaFix( 0, 5/1/0, 960, 7, 50, 10 )",
        "e50:CArticExpStresContCcTimeRelAreaFix( 8, 5/1/0, 6/1/0, 7, 50, -10 )",
        "e51:CArticExpStresContCcTimeRelCrv( 1, 5/1/0, 6/1/0, 11, -30, 0, 0, 16 )",
        "e52:CArticExpStresContCcTimeRelCrv( 0, 5/1/0, 960, 11, -30, 0, 0, 16 )",
        "e53:CArticExpStresContCcNoteCrv( 1{:w5}, 0, 11, 0, 480, -32768, 32767, 0, 16 )",
        "e54:CArticExpStresContCcNoteCreAbs( 1{:w5}, 0, 11, -5, 64 )",
        "e55:CArticExpStresContCcNoteCreAbs2( 1{:w5}, 0, 11, -60, 120, 64 )",
        "e56:CArticExpStresContCcNoteCreRel( 1{:w5}, 1, 11, 0, -20 )",
        "e57:CArticExpStresContCcNoteCreRel2( 2{:w5,:w6}, 0, 11, -60, 120, -20 )",
        "e58:CArticExpPackNrpnNoteCreAbs( 2{:w4,:w5}, 0, 1, 8, -5, 64 )",
        "e59:CArticExpPackNrpnNoteCreRel( 1{:w4}, 0, 1, 8, 0, 12 )",
        "e60:CArticExpPackRpnNoteCreAbs( 1{:w4}, 0, 0, 0, 0, 2 )",
        "e61:CArticExpPackRpnNoteCreRel( 1{:w4}, 0, 0, 0, 0, -12 )",
        "e62:CArticExpOrgContCc( 1{:w4}, 0, -120, 480, 11, 0, 80 )",
    };
    ASSERT_EQ(Dump(lines), 0);
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
    const std::vector<std::string> first = Written(exp);
    EXPECT_EQ(first, lines);

    CStringList again;
    AddUnblanked(first, again);
    CArticExp fresh;
    CArticLoadMgr reader(&wrk, &fresh, &rul, nullptr, nullptr, nullptr);
    ASSERT_EQ(reader.LoadExp(again), 0);
    EXPECT_EQ(Written(fresh), lines);
    fresh.Clear();
}

TEST_F(ArgForm, TempoForms) {
    ArgCheckCases(*this, {
        {"CArticExpTempoAbs(0,1/1/0,480,120)", {"0", "1/1/0", "480", "120"}},
        {"CArticExpTempoAbs(2,960,480,90)", {"2", "960", "480", "90"}},
        {"CArticExpTempoAbs(0,1/1/0,480,120,7)", {"0", "1/1/0", "480", "120"}},  // after the final item: ignored
        {"CArticExpTempoAbs(256,1/1/0,480,120)", {}},
        {"CArticExpTempoAbs(0,1/1/0,480,65536)", {}},
        {"CArticExpTempoAbs(0,1/1,480,120)", {}},
        {"CArticExpTempoAbs(0,1/1/0,480,120x)", {}},
        {"CArticExpTempoAbs(0,1/1/0,480,1.5)", {}},
        {"CArticExpTempoAbs(0,1/1/0:480,120)", {}},  // a position passed over makes nothing: refused
        {"CArticExpTempoAbsRel(0,2/1/0)", {"0", "2/1/0"}},
        {"CArticExpTempoRelFix(0,3/1/0:80)", {}},
        {"CArticExpTempoRelCrv(0,1/1/0,2/1/0,100,80,0,4)", {"0", "1/1/0", "2/1/0", "100", "80", "0", "4"}},
        {"CArticExpTempoRelCrv(0,1/1/0,960,100,80,0,4)", {"0", "1/1/0", "960", "100", "80", "0", "4"}},
        {"CArticExpTempoRelCrv(0,0,960,100,80,-3,4)", {"0", "0", "960", "100", "80", "-3", "4"}},
        {"CArticExpTempoRelCrv(0,0,2/1/0,100,80,0,4)", {"0", "0", "0", "100", "80", "0", "4"}},  // end dropped
        {"CArticExpTempoRelCrv(0,0,960:100,80,0,4)", {"0", "0", "0", "100", "80", "0", "4"}},    // width 0
        {"CArticExpTempoRelCrv(0,1/1/0,2/1/0,90:80,0,4)", {"0", "1/1/0", "2/1/0", "100", "80", "0", "4"}},
        {"CArticExpTempoRelCrv(0,1/1/0,960:100,80,0,4)", {}},  // a start triple without its end
        {"CArticExpTempoRelCrv(0,0,960,100,80,128,4)", {}},
        {"CArticExpTempoRelCrv(0,0,960,100,80,-129,4)", {}},
        {"CArticExpTempoRelCrv(0,0,960,100,80,0,0)", {}},  // Devide 0
        {"CArticExpTempoFermata(1,2,w3,w4,90,480)", {"1", "2{:w3,:w4}", "90", "480"}},
        {"CArticExpTempoBreath(1,2,w3,w4,90,480)", {"1", "2{:w3,:w4}", "90", "480"}},
        {"CArticExpTempoFermata(1,1{w3},90:480)", {"1", "1{:w3}", "100", "480"}},
        {"CArticExpTempoBreath(1,1{w3},90:480)", {"1", "1{:w3}", "0", "480"}},
        {"CArticExpTempoFermata(1,1{w99},90,480)", {}},
    });
    // The constructor form follows the position: triple 1, ticks 2, start ticks 3.
    Read("CArticExpTempoAbs(2,960,480,90)");
    auto* abs = dynamic_cast<CArticExpTempoAbs*>(Blk()->Get(0));
    ASSERT_NE(abs, nullptr);
    EXPECT_EQ(abs->GetEvntType(), 2);
    EXPECT_EQ(abs->GetTime(), 960);
    Read("CArticExpTempoRelCrv(0,0,960,100,80,-3,4)");
    auto* crv = dynamic_cast<CArticExpTempoRelCrv*>(Blk()->Get(0));
    ASSERT_NE(crv, nullptr);
    EXPECT_EQ(crv->GetEvntType(), 3);
    EXPECT_EQ(crv->GetTimeW(), 960);
    EXPECT_EQ(crv->GetCurve(), -3);
}

TEST_F(ArgForm, SetUpForms) {
    const std::string d66 = std::string(66, 'a');
    const std::string long66 = "CArticExpInitPrmChangeKv(0,\"000001\",\"" + d66 + "\")";
    ArgCheckCases(*this, {
        {"CArticExpInitPbRange(1,1/1/0,2)", {"1", "1/1/0", "2"}},
        {"CArticExpInitPbRange(0,0,12)", {"0", "0", "12"}},
        {"CArticExpInitPbRange(0,0,13)", {"0", "0", "13"}},  // the expression judges the range
        {"CArticExpInitPbRange(0,0,255)", {"0", "0", "255"}},
        {"CArticExpInitPbRange(0,0,256)", {}},
        {"CArticExpInitPbRange(0,1/1/0:2)", {}},
        {"CArticExpInitPbRange3(2{w5,w6},-10,2)", {"2{:w5,:w6}", "-10", "2"}},
        {"CArticExpInitPbRange3(2,w5,w6,-10,2)", {}},
        {"CArticExpInitPro2(1,0,960,0,0,25)", {"1", "0", "960", "0", "0", "25"}},
        {"CArticExpInitPro(1/1/0,0,0,256)", {}},
        {"CArticExpInitPro(1/1/0,255,255,255)", {"1/1/0", "255", "255", "255"}},
        {"CArticExpInitPro(1/1/0,0,0,127)", {"1/1/0", "0", "0", "127"}},
        {"CArticExpInitPro(1/1/0:0,0,25)", {}},
        {"CArticExpInitPro3(1{w3},-5,0:0,25)", {"1{:w3}", "-5", "0", "0", "25"}},
        {"CArticExpInitPrmChange(1/1/0,\"43\",\"100000\",\"7F00\")", {"1/1/0", "\"43\"", "\"100000\"", "\"7F00\""}},
        {"CArticExpInitPrmChange(1/1/0,\"431\",\"100000\",\"7F\")", {}},
        {"CArticExpInitPrmChange(1/1/0,\"43\",\"10000\",\"7F\")", {}},
        {"CArticExpInitPrmChange(1/1/0,\"43\",\"100000\",\"7F0\")", {}},
        {"CArticExpInitPrmChange(1/1/0,\"43\",\"100000\",\"\")", {}},
        {"CArticExpInitPrmChange(1/1/0,43,\"100000\",\"7F\")", {}},
        {"CArticExpInitPrmChange(1/1/0,\"43\",\"100000\",7F)", {}},
        {"CArticExpInitPrmChange(1/1/0,\"zz\",\"100000\",\"7F\")", {}},
        {"CArticExpInitPrmChange(1/1/0,\"43\",\"100000\",\"0g\")", {}},
        {"CArticExpInitPrmChange(1/1/0:\"43\",\"100000\",\"7F\")", {}},
        // An address passed over stays empty.
        {"CArticExpInitPrmChange(1/1/0,\"43\",\"100000\":\"7F\")", {"1/1/0", "\"43\"", "\"\"", "\"7F\""}},
        {"CArticExpInitPrmChange3(1{w4},-480,\"43\",\"100000\",\"7F\")",
         {"1{:w4}", "-480", "\"43\"", "\"100000\"", "\"7F\""}},
        {"CArticExpInitPrmChangeKv2(1,0,1/1/0,\"000001\",\"01\")", {"1", "0", "1/1/0", "\"000001\"", "\"01\""}},
        {long66.c_str(), {"0", "\"000001\"", "\"" + d66 + "\""}},
        {"CArticExpInitKvinit(0)", {"0"}},
        {"CArticExpInitKvinit(1/1/0)", {"1/1/0"}},
        {"CArticExpInitKvinit2(1,0,960)", {"1", "0", "960"}},
        {"CArticExpInitKvinit2(1,2)", {}},
    });
    Read("CArticExpInitPro2(1,0,960,0,0,25)");
    auto* pro = dynamic_cast<CArticExpInitPro2*>(Blk()->Get(0));
    ASSERT_NE(pro, nullptr);
    EXPECT_EQ(pro->GetTrkNo(), 1);
    EXPECT_EQ(pro->GetBlkNo(), 0);
    EXPECT_EQ(pro->GetEvntType(), 2);
    EXPECT_EQ(pro->GetTimeValue(), 960);
    EXPECT_EQ(pro->GetProgNo(), 25);
}

TEST_F(ArgForm, PackedAndSourceControllerForms) {
    ArgCheckCases(*this, {
        {"CArticExpPackNrpnNoteCreAbs(2{w4,w5},0,1,8,-5,64)", {"2{:w4,:w5}", "0", "1", "8", "-5", "64"}},
        {"CArticExpPackNrpnNoteCreAbs(2{w4,w5},0,1,8,-5,256)", {}},
        {"CArticExpPackNrpnNoteCreAbs(2{w4,w5},0,256,8,-5,64)", {}},
        {"CArticExpPackNrpnNoteCreAbs(2{w4,w5},0,255,255,-5,255)", {"2{:w4,:w5}", "0", "255", "255", "-5", "255"}},
        {"CArticExpPackRpnNoteCreRel(1{w4},0,0,0,0,-12)", {"1{:w4}", "0", "0", "0", "0", "-12"}},
        {"CArticExpPackRpnNoteCreRel(1{w4},0,0,0,0,-129)", {}},
        {"CArticExpPackRpnNoteCreRel(1{w4},0,0,0,0,128)", {}},
        {"CArticExpPackNrpnNoteCreRel(2,w4,w5,0,1,8,-5,64)", {}},
        {"CArticExpPackRpnNoteCreAbs(1{w4},0,0:0,0,2)", {"1{:w4}", "0", "0", "0", "0", "2"}},
        {"CArticExpOrgContCc(1{w4},0,-120,480,11,0,80)", {"1{:w4}", "0", "-120", "480", "11", "0", "80"}},
        {"CArticExpOrgContCc(1{w4},0,-120,480,255,0,80)", {"1{:w4}", "0", "-120", "480", "255", "0", "80"}},
        {"CArticExpOrgContCc(1{w4},0,-120,480,256,0,80)", {}},
        {"CArticExpOrgContCc(1{w99},0,-120,480,11,0,80)", {}},
    });
}

TEST_F(ArgForm, VelocityForms) {
    ArgCheckCases(*this, {
        {"CArticExpStresVeloNoteAbs(2{w5,w6},256)", {}},
        {"CArticExpStresVeloNoteAbs(2{w5,w6},255)", {"2{:w5,:w6}", "255"}},
        {"CArticExpStresVeloNoteAbs(2{w5,w6},100,7)", {"2{:w5,:w6}", "100"}},
        {"CArticExpStresVeloNoteRel(1{w5},-128)", {"1{:w5}", "-128"}},
        {"CArticExpStresVeloNoteRel(1{w5},128)", {}},
        {"CArticExpStresVeloTimeAbs(1,3/1/0,90)", {"1", "3/1/0", "90"}},
        {"CArticExpStresVeloTimeAbs(1:3/1/0,90)", {"0", "3/1/0", "90"}},
        {"CArticExpStresVeloTimeAbs(3/1/0,90)", {}},
        {"CArticExpStresVeloTimeAbs(0,3/1/0)", {}},
        {"CArticExpStresVeloTimeRel(1,3/1/0:-10)", {}},
        {"CArticExpStresVeloTimeRelCrv(0,2{w5,w6},3/1/0,480,-20,10,0)",
         {"0", "2{:w5,:w6}", "3/1/0", "480", "-20", "10", "0"}},
        {"CArticExpStresVeloTimeRelCrv(0,2{w5,w6},3/1/0,4/1/0,-20,10,0)",
         {"0", "2{:w5,:w6}", "3/1/0", "4/1/0", "-20", "10", "0"}},
        {"CArticExpStresVeloTimeRelCrv(0,2{w5,w6},3/1/0,480,-20,10)", {}},
        {"CArticExpStresVeloTimeRelCrv(0,2{w5,w6},3/1/0:480,-20,10,0)", {}},
        {"CArticExpStresVeloTimeRelCrv(0,2{w5,w6},3/1/0,480:-20,10,0)", {}},
        {"CArticExpStresVeloNoteAbs()", {}},
    });
}

TEST_F(ArgForm, ControllerForms) {
    ArgCheckCases(*this, {
        {"CArticExpStresContCcTimeAbs(0,5/1/0,11,100)", {"0", "5/1/0", "11", "100"}},
        {"CArticExpStresContCcTimeAbs(0,5/1/0,11,256)", {}},
        {"CArticExpStresContCcTimeAbs(0,5/1/0,200,1)", {"0", "5/1/0", "200", "1"}},
        {"CArticExpStresContCcTimeAbs(0,5/1/0,256,1)", {}},
        {"CArticExpStresContCcTimeAbs(0,5/1/0,11,100,9)", {"0", "5/1/0", "11", "100"}},
        {"CArticExpStresContCcTimeAbs(0:5/1/0,11,100)", {"0", "5/1/0", "11", "100"}},  // Type passed over
        {"CArticExpStresContCcTimeAbs(0,5/1/0:11,100)", {}},
        {"CArticExpStresContCcTimeRelFix(0,5/1/0,11,-5)", {"0", "5/1/0", "11", "-5"}},
        {"CArticExpStresContCcTimeRelFix(0,5/1/0,11,-5,9)", {}},
        {"CArticExpStresContCcTimeRelAreaFix(0,5/1/0,960,7,50,10)", {"0", "5/1/0", "960", "7", "50", "10"}},
        {"CArticExpStresContCcTimeRelAreaFix(0,5/1/0,6/1/0,7,50,10)", {"0", "5/1/0", "6/1/0", "7", "50", "10"}},
        {"CArticExpStresContCcTimeRelAreaFix(0,5/1/0,960:7,50,10)", {}},
        {"CArticExpStresContCcTimeRelCrv(0,5/1/0,960,11,-30,0,0,0)", {}},
        {"CArticExpStresContCcTimeRelCrv(0,5/1/0,960:11,-30,0,0,16)", {}},
        {"CArticExpStresContCcNoteCrv(1{w5},0,11,0,480,-32768,32767,0,16)",
         {"1{:w5}", "0", "11", "0", "480", "-32768", "32767", "0", "16"}},
        {"CArticExpStresContCcNoteCrv(1{w5},0,11,0,480,-32769,32767,0,16)", {}},
        {"CArticExpStresContCcNoteCrv(1{w5},0,11,0,480,0,127,0,0)",  // refused when it runs
         {"1{:w5}", "0", "11", "0", "480", "0", "127", "0", "0"}},
        {"CArticExpStresContCcNoteCreAbs(1{w5},0,11,-2147483649,64)", {"1{:w5}", "0", "11", "-2147483648", "64"}},
        {"CArticExpStresContCcNoteCreAbs(1{w5},0,11,64)", {}},
        {"CArticExpStresContCcNoteCreAbs2(1{w5},0,11,-60:120,64)", {"1{:w5}", "0", "11", "0", "120", "64"}},
        {"CArticExpStresContCcNoteCreRel(1{w5},0,11,0,-129)", {}},
        {"CArticExpStresContCcNoteCreRel2(1,w5,0,11,-60,120,-20)", {}},
    });
}

TEST_F(ArgForm, DurationAndKeyShiftForms) {
    ArgCheckCases(*this, {
        {"CArticExpDurAbs(2{w5,w6},240)", {"2{:w5,:w6}", "240"}},
        {"CArticExpDurAbs(2{w5,w6},240,1)", {}},  // text after the final item
        {"CArticExpDurAbs(2{w5,w6},)", {"2{:w5,:w6}", "0"}},
        {"CArticExpDurAbs(2{w5,w6},-1)", {}},
        {"CArticExpDurRel(1{w5},65535)", {"1{:w5}", "65535"}},
        {"CArticExpDurRel(1{w5},65536)", {}},
        {"CArticExpDurRel2(1{w5},-120)", {"1{:w5}", "-120"}},
        {"CArticExpDurRel2(1{w5},99999999999)", {"1{:w5}", "2147483647"}},
        {"CArticExpKeySft(1{w5},-12)", {"1{:w5}", "-12"}},
        {"CArticExpKeySft(1{w5},-129)", {}},
        {"CArticExpKeySft(1,w5,-12)", {}},
        {"CArticExpDurBp(1{w5},480:80)", {"1{:w5}", "480", "80"}},
        {"CArticExpDurBp(1{w5},480)", {}},
        {"CArticExpDurAll(2/1/0,4/1/0,480,80)", {"2/1/0", "4/1/0", "480", "80"}},
        {"CArticExpDurAll(2/1/0:4/1/0,480,80)", {"1/1/0", "4/1/0", "480", "80"}},
        {"CArticExpDurAll(2/1/0,4/1/0,480:80)", {"2/1/0", "4/1/0", "480", "80"}},
        {"CArticExpDurAll(2/1/0,4/1/0,80)", {}},
        {"CArticExpDurAll(2/1/0,4/1/0,480,80))", {}},
    });
}

// Every loader refuses a line without a block (also those that used to
// accept it and make nothing).
TEST_F(ArgForm, NoBlockRefusesTheLine) {
    const char* const kTexts[] = {
        "CArticExpTempoAbs(0,1/1/0,480,120)",
        "CArticExpTempoRelCrv(0,1/1/0,2/1/0,100,80,0,4)",
        "CArticExpStresVeloTimeRelCrv(0,2{w5,w6},3/1/0,480,-20,10,0)",
        "CArticExpInitKvinit(0)",
        "CArticExpDurAll(2/1/0,4/1/0,480,80)",
        "CArticExpPackRpnNoteCreRel(1{w4},0,0,0,0,-12)",
    };
    ASSERT_EQ(Dump({"TRK:1", "BLK:0"}), 0);
    for (const char* t : kTexts) {
        CArticErr::Clear();
        CExString body(t);
        EXPECT_EQ(loader.LoadExpEvnt(body, 9, exp.Get(ULONG(1)), nullptr), 1) << t;
        const std::string name = std::string(t).substr(0, std::string(t).find('('));
        EXPECT_EQ(Details(), std::vector<std::string>{"ｸﾗｽ名 = " + name + "   ｲﾍﾞﾝﾄ番号 = 9"}) << t;
    }
    EXPECT_EQ(Blk()->GetCount(), 0);
}

// Lines that made nothing without a word now give one report each and no
// expression; the lines around them are kept.
TEST_F(ArgForm, VanishingLinesAreReportedOnce) {
    struct Line {
        const char* line;
        const char* name;
    };
    const Line kLines[] = {
        {"e1:CArticExpTempoAbs(0,1/1/0:480,120)", "CArticExpTempoAbs"},
        {"e1:CArticExpStresContCcTimeRelAreaFix(0,5/1/0,960:7,50,10)", "CArticExpStresContCcTimeRelAreaFix"},
        {"e1:CArticExpInitPrmChange(1/1/0,\"zz\",\"100000\",\"7F\")", "CArticExpInitPrmChange"},
        {"e1:CArticExpInitPrmChange(1/1/0,\"43\",\"100000\",\"0g\")", "CArticExpInitPrmChange"},
    };
    for (const Line& c : kLines) {
        const char* l = c.line;
        CArticErr::Clear();
        EXPECT_EQ(Dump({"TRK:1", "BLK:0", "e0:CArticExpKeySft(1{:w5},2)", l, "e2:CArticExpKeySft(1{:w6},3)"}), 1)
            << l;
        EXPECT_EQ(Details(), std::vector<std::string>{std::string("ｸﾗｽ名 = ") + c.name + "   ｲﾍﾞﾝﾄ番号 = 1"}) << l;
        EXPECT_EQ(Blk()->GetCount(), 2) << l;
    }
    CArticErr::Clear();
    EXPECT_EQ(Dump({"TRK:1", "e1:CArticExpTempoAbs(0,1/1/0,480,120)"}), 1);
    EXPECT_EQ(Details(), std::vector<std::string>{"e1:CArticExpTempoAbs(0,1/1/0,480,120)"});
}

TEST_F(ArgForm, KeyShiftAsTheRuleRunsReceiver) {
    loadtest::RuleRunWorld rw;
    ASSERT_EQ(rw.Run({"#set:1", "#prob:1", "#exp1:CArticExpKeySft( 1{_thisEvnt}, 12)"}, 3), 0);
    exptest::World& w = rw.w;
    CArticExpBlk* blk = w.exp.GetExpBlk(1, 0);
    ASSERT_NE(blk, nullptr);
    ASSERT_EQ(blk->GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        auto* e = dynamic_cast<CArticExpKeySft*>(blk->Get(i));
        ASSERT_NE(e, nullptr) << i;
        EXPECT_EQ(e->GetShift(), 12);
    }
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);

    w.Run();
    const std::vector<exptest::NoteRow> rows = exptest::NoteRows(w.MidPartBlk());
    ASSERT_EQ(rows.size(), 3u);
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].time, INT64(480 * i));
        EXPECT_EQ(rows[i].key, 60 + 2 * int(i) + 12);
    }
    const std::vector<exptest::NoteRow> own = exptest::NoteRows(w.partBlk);
    ASSERT_EQ(own.size(), 3u);
    EXPECT_EQ(own[0].key, 60);  // the rules' data keeps its keys
}
