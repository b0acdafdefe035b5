// The argument forms of the time, pitch-bend, slur, tie, turn, trill, stop,
// layer and phrase-file expressions: dumps that read back to the same text,
// the item forms and refusals of each family, and every signature of these
// classes read by its own loader.
#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "services/ArticErr.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpOrnament.h"
#include "engine/expressions/ArticExpPitch.h"
#include "engine/expressions/ExpFixture.h"
#include "engine/loaders/ExpLoaderFixture.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/RulSetFixture.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/WorkFixture.h"

namespace {

// Work track 1 with notes w1..w12, the loader bound to it.
struct ExpArgForm : loadtest::ExpLoaderFixture {
    ExpArgForm() : ExpLoaderFixture(1, 12, 60) {}
    // The written items of the only expression, joined by ",".
    std::string Joined() {
        CArticExpEvnt* e = Only();
        if (!e) return "<none>";
        CStringList items;
        if (CArticExpUtil::GetEvntParam(e, items) != 0) return "<failed>";
        std::string out;
        for (POSITION p = items.GetHeadPosition(); p;) {
            if (!out.empty()) out += ",";
            out += items.GetNext(p).str();
        }
        return out;
    }
    CArticWrkEvnt* Evnt(ULONG no) { return wrk.GetEvntInEvntPosArray(no, 0); }

    struct FormCase {
        const char* text;
        const char* items;  // written back; nullptr: refused
    };
    // Each case read alone: an accepted one writes items back, a refused one
    // leaves no expression and exactly one report.
    void CheckForms(std::initializer_list<FormCase> cases) {
        for (const FormCase& c : cases) {
            CArticErr::Clear();
            const int r = Text(c.text);
            if (!c.items) {
                EXPECT_EQ(r, 1) << c.text;
                EXPECT_EQ(Blk()->GetCount(), 0) << c.text;
                EXPECT_EQ(Details().size(), 1u) << c.text;
                EXPECT_TRUE(exptest::ShownText().Find("中間表現ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ作成時にｴﾗｰが発生しました。") >= 0)
                    << c.text;
                continue;
            }
            EXPECT_EQ(r, 0) << c.text;
            EXPECT_EQ(Joined(), c.items) << c.text;
            EXPECT_EQ(CArticErr::GetMsgCount(), 0) << c.text;
        }
    }
};

}  // namespace

TEST_F(ExpArgForm, EveryClassRoundTrips) {
    const std::vector<std::string> lines = {
        "TRK:1",
        "BLK:0",
        "e0:CArticExpTimeSft( 2{:w5,:w6}, -30 )",
        "e1:CArticExpTimeSft2( 1{:w5}, 15, 1 )",
        "e2:CArticExpTimeSwing( 4{:w1,:w2,:w3,:w4}, 0, 480, 2, 1, 300 )",
        "e3:CArticExpTimeWaltz( 3{:w1,:w2,:w3}, 0, 1440, 3, 1, 560, 2, 1000 )",
        "e4:CArticExpPitchCrv( 1, 2/1/0, 3/1/0, 0, 100, 0, 8 )",
        "e5:CArticExpPitchCrv( 0, 2/1/0, 480, -200, 100, -3, 8 )",
        "e6:CArticExpPitchCrv2( 1{:w3}, 2, -30, 120, -200, 0, -3, 16 )",
        "e7:CArticExpPitchSlide( 1{:w3}, 0, -30, 120, -200, 0, -3, 16 )",
        "e8:CArticExpPitchSlide2( 2{:w3,:w4}, 1, 0, 60, 0, 4096, 2, 10 )",
        "e9:CArticExpPitchGtrBend( 2{:w3,:w4}, 1, 10, 60, 2, -2, 12 )",
        "e10:CArticExpPitchGtrSlide( 2{:w3,:w4}, 0, 0, 30, -1, 1, 6 )",
        "e11:CArticExpArraySlurPb( 2{:w3,:w4}, 1 )",
        "e12:CArticExpArraySlurDur( 2{:w3,:w4}, 1, 120 )",
        "e13:CArticExpArrayTie( 2{:w3,:w4}, 0 )",
        "e14:CArticExpArrayTurn1( 1{:w5}, 2, 2, -1 )",
        "e15:CArticExpArrayTurn2( 1{:w5}, 1, 1, -2 )",
        "e16:CArticExpArrayTurn3( 1{:w5}, 0, 2, -2 )",
        "e17:CArticExpArrayTurn4( 1{:w5}, 4, -1, 0, 1 )",
        "e18:CArticExpArrayTurn5( 1{:w5}, 1, 1, 1, 0 )",
        "e19:CArticExpArrayTurn6( 1{:w5}, 0, 0, -1, -1 )",
        "e20:CArticExpArrayTrill1( 1{:w6}, 60, 2, -1, 1, 120, 14, 0 )",
        "e21:CArticExpArrayTrill2( 1{:w6}, 30, -1, 0, 1, 2, 90, 3, 60 )",
        "e22:CArticExpArrayStop( 3{:w3,:w4,:w5}, -1, 30, 60 )",
        "e23:CArticExpArrayUsrStop( 3{:w3,:w4,:w5}, \"ボマ\", 0, 2/1/0, 2/3/0, 1, 30, 60 )",
        "e24:CArticExpLayerBow1( 2{:w3,:w4}, 0, 60 )",
        "e25:CArticExpLayerBow2( 2{:w3,:w4}, 1, 2, 120 )",
        "e26:CArticExpLayerNote1( 1{:w3}, 0, 1, -10, 240, 60, 100, 0, 3, 41 )",
        "e27:CArticExpLayerNote2( 1{:w4}, 1, 2, 0, 120, 62, 90, 1, 0, 5, 2{:w20,:w21} )",
        "e28:CArticExpFileSmfContCc( 1{:w5}, \"GlisDn.mid\", 1, 2/1/0, 3/1/0, 11, 70 )",
        "e29:CArticExpFileSmfContCc( 1{:w5}, \"GlisDn.mid\", 0, 2/1/0, 480, 1, 100 )",
        "e30:CArticExpFileSmfContCc2( 1{:w5}, \"Vib3-g02.mid\", 8, -60, 0, 11, 100 )",
        "e31:CArticExpFileSmfContCc3( 1{:w5}, \"Vib3-g02.mid\", 8, -60, 0, 74, 100, 10 )",
        "e32:CArticExpFileSmfContPb( 1{:w6}, \"Sdn5nt.mid\", 0, 1/1/0, 2/1/0, 100 )",
        "e33:CArticExpFileSmfContPb( 1{:w6}, \"Sdn5nt.mid\", 0, 1/1/0, 960, 50 )",
        "e34:CArticExpFileSmfContPb2( 1{:w6}, \"Sdn5nt.mid\", 8, -60, 0, 100 )",
        "e35:CArticExpFileSmfContPb3( 1{:w6}, \"Sdn5nt.mid\", 8, -60, 0, 100, 10 )",
        "e36:CArticExpFileSmfContPb4( 1{:w12}, \"Sdn5nt.mid\", 8, -60, 0, 100, 100, 10 )",
        "e37:CArticExpFileSmfContPbEg( 1{:w6}, \"Sdn5nt.mid\", 8, 0, 0, 100, 30, 60, 100, 10 )",
        "e38:CArticExpFileSmfContPbEg2( 1{:w6}, \"Sdn5nt.mid\", 8, 0, 0, 100, 30, 60, 100, 20, 10 )",
        "e39:CArticExpFileSmfFree( \"Vib3-g02.mid\", 5/1/0 )",
        "e40:CArticExpFileSmfNoteTril2( 1{:w7}, \"TrlF.mid\", \"Trl.mid\", \"TrlB.mid\", 60, 30, 30, 1, 2, 3, -1, 0, "
        "1 )",
        "e41:CArticExpFileSmfNoteTril3( 1{:w7}, \"TrlF.mid\", \"Trl.mid\", \"TrlB.mid\", 60, 30, 30, -1, 0, 1 )",
        "e42:CArticExpFileSmfNoteTurn( 1{:w7}, \"Turn.mid\", 120, 1, -1, 0, 1 )",
        "e43:CArticExpFileSmfNoteTurn2( 2{:w8,:w9}, \"GlisDn.mid\", 120, -1, 0, 1 )",
        "e44:CArticExpFileSmfNoteMord2( 1{:w8}, \"C:\\Lib Dir\\Mord.mid\", 60, 0, 1, 0 )",
        "e45:CArticExpFileSmfNoteTrml1( 1{:w9}, \"Trml.mid\", 60, 8, 10, 10 )",
        "e46:CArticExpFileSmfNoteTrml2( 1{:w3}, 1{:w4}, \"GlisDn.mid\", 60, 8, 10, 10, -20, 10 )",
        "e47:CArticExpFileSmfNoteGlis1( 3{:w4,:w5,:w6}, \"GlisDn.mid\", 240 )",
        "e48:CArticExpFileSmfNoteArpg( 3{:w4,:w5,:w6}, \"Arpg.mid\", 30 )",
    };
    // The dump reader removes the blanks outside quotes itself.
    ASSERT_EQ(Dump(lines), 0);
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
    EXPECT_EQ(Written(), lines);
    // The second list's events were made and kept by the work data.
    ASSERT_NE(Evnt(20), nullptr);
    EXPECT_NE(Evnt(21), nullptr);

    // Read once more into fresh expression data over fresh work data.
    CArticWrk wrk2;
    CArticWrkBlk* b = wrktest::AddBlock(wrktest::AddTrack(wrk2, 1));
    for (ULONG no = 1; no <= 12; ++no) wrktest::AddNote(b, no, INT64(480 * (no - 1)), BYTE(60 + no));
    CArticExp fresh;
    CArticLoadMgr reader(&wrk2, &fresh, &rul, nullptr, nullptr, nullptr);
    CStringList again;
    AddUnblanked(Written(), again);
    ASSERT_EQ(reader.LoadExp(again), 0);
    const std::vector<std::string> out = Written(fresh);
    EXPECT_EQ(out, lines);
    fresh.Clear();
}

TEST_F(ExpArgForm, TimeForms) {
    CheckForms({
        {"CArticExpTimeSft(2{w5,w6},-30,9)", "2{:w5,:w6},-30"},
        {"CArticExpTimeSft2(1{w5},15)", nullptr},
        {"CArticExpTimeSft2(1{w5},15:1)", "1{:w5},15,1"},  // Time is read whatever follows it
        {"CArticExpTimeSwing(4{w1,w2,w3,w4},0,480,2,1,-300)", nullptr},
        {"CArticExpTimeSwing(1{w1},0,480,2:1,300)", "1{:w1},0,480,0,1,300"},
        {"CArticExpTimeSwing(1{w1},0,0,2,1,300)", nullptr},   // a group of 0 ticks
        {"CArticExpTimeSwing(1{w1},0,480:2,1,300)", nullptr},  // passed over: 0 ticks
        {"CArticExpTimeWaltz(3{w1,w2,w3},0,1440:3,1,560,2,1000)", "3{:w1,:w2,:w3},0,480,3,1,560,2,1000"},
        {"CArticExpTimeWaltz(3{w1,w2,w3},0,0,3,1,560,2,1000)", nullptr},
        {"CArticExpTimeWaltz(3{w1,w2,w3},0,1440,3,1,560,2)", nullptr},
        {"CArticExpTimeSwing(1{w1},256,480,2,1,300)", nullptr},
        {"CArticExpTimeSft(1{w99},5)", nullptr},
        {"CArticExpTimeSft(1w5,5)", nullptr},
    });
}

TEST_F(ExpArgForm, PitchForms) {
    CheckForms({
        // The third item chooses the form: a triple (event type 1) or ticks (2).
        {"CArticExpPitchCrv(0,2/1/0,3/1/0,0,100,0,8)", "0,2/1/0,3/1/0,0,100,0,8"},
        {"CArticExpPitchCrv(0,2/1/0,480,0,100,0,8)", "0,2/1/0,480,0,100,0,8"},
        {"CArticExpPitchCrv(0,2/1/0,2/1,0,100,0,8)", nullptr},
        {"CArticExpPitchCrv(0,2/1/0,/480,0,100,0,8)", nullptr},
        {"CArticExpPitchCrv(0,2/1/0,480/,0,100,0,8)", nullptr},
        {"CArticExpPitchCrv(0,2/1/0:3/1/0,0,100,0,8)", nullptr},  // start never read
        {"CArticExpPitchCrv(0,2/1/0,3/1/0:0,100,0,8)", nullptr},  // end passed over
        {"CArticExpPitchCrv(0,2/1/0,480:0,100,0,8)", nullptr},
        {"CArticExpPitchCrv(3:2/1/0,480,0,100,0,8)", "0,2/1/0,480,0,100,0,8"},  // Type passed over
        {"CArticExpPitchCrv(0,2/1/0,3/1/0,0,100,0,0)", nullptr},  // Devide 0
        {"CArticExpPitchCrv2(1{w3},0,0,10,0,0,-128,4,99)", "1{:w3},0,0,10,0,0,-128,4"},
        {"CArticExpPitchCrv2(1{w3},0,0,10,0,0,128,4)", nullptr},
        {"CArticExpPitchSlide(1{w3},0,0,10,0,0,0,65536)", nullptr},
        {"CArticExpPitchSlide(1{w3},0,0,10,-32769,0,0,4)", nullptr},
        {"CArticExpPitchSlide(1{w3},0,-99999999999,10,0,0,0,4)", "1{:w3},0,-2147483648,10,0,0,0,4"},
        {"CArticExpPitchSlide(1{w3},0,0,10,0,0,3)", nullptr},  // ends after Curve
        {"CArticExpPitchSlide2(0{},0,0,10,0,0,0,0)", nullptr},
        {"CArticExpPitchSlide2(0{},0,0,10,0,0,0,2)", "0{},0,0,10,0,0,0,2"},
        {"CArticExpPitchGtrBend(2{w3,w4},1,10,60,2,-2,0)", nullptr},
        {"CArticExpPitchGtrSlide(2{w3,w4},1,10,60,2,-129,3)", nullptr},
        {"CArticExpPitchGtrSlide(2{w3,w4},1,10,60,3a,-1,3)", nullptr},
    });
}

TEST_F(ExpArgForm, SlurTurnAndTrillForms) {
    CheckForms({
        {"CArticExpArraySlurDur(2{w3,w4},1,-120)", "2{:w3,:w4},1,-120"},
        {"CArticExpArraySlurDur(2{w3,w4},256,120)", nullptr},
        {"CArticExpArrayTie(2{w3,w4},1,5)", "2{:w3,:w4},1"},
        {"CArticExpArrayTurn1(1{w5},0,127,-128)", "1{:w5},0,127,-128"},
        {"CArticExpArrayTurn1(1{w5},0,128,-1)", nullptr},
        {"CArticExpArrayTurn4(1{w5},0:1,2,3)", "1{:w5},0,1,2,3"},
        {"CArticExpArrayTrill1(1{w6},60,2,-1,1,120,14)", nullptr},  // ends after Back
        {"CArticExpArrayTrill1(1{w6},0,2,-1,1,120,14,0)", nullptr},  // TrillTime 0
        {"CArticExpArrayTrill2(1{w6},30,-1,0,1,2,90,14,0)", "1{:w6},30,-1,0,1,2,90,14,0"},
        {"CArticExpArrayTrill2(1{w6},-1,-1,0,1,2,90,14,0)", nullptr},
        {"CArticExpArrayTrill2(0{},30,-1,0,1,2,90,14,0)", "0{},30,-1,0,1,2,90,14,0"},
    });
    // Each turn line builds the class it names.
    ASSERT_EQ(Text("CArticExpArrayTurn2(1{w5},1,1,-2)"), 0);
    EXPECT_STREQ(Only()->GetRuntimeClass()->m_lpszClassName, "CArticExpArrayTurn2");
    ASSERT_EQ(Text("CArticExpArrayTurn3(1{w5},1,1,-2)"), 0);
    EXPECT_STREQ(Only()->GetRuntimeClass()->m_lpszClassName, "CArticExpArrayTurn3");
    ASSERT_EQ(Text("CArticExpArrayTurn6(1{w5},1,1,-2,0)"), 0);
    EXPECT_STREQ(Only()->GetRuntimeClass()->m_lpszClassName, "CArticExpArrayTurn6");
}

TEST_F(ExpArgForm, StopForms) {
    CheckForms({
        {"CArticExpArrayStop(3{w3,w4,w5},-1,30,60)", "3{:w3,:w4,:w5},-1,30,60"},
        {"CArticExpArrayStop(3{w3,w4,w5},128,30,60)", nullptr},
        {"CArticExpArrayStop(3{w3,w4,w5},1,-5,60)", nullptr},
        {"CArticExpArrayUsrStop(1{w3},\"a:b\",0,2/1/0,2/3/0,1,30,60,7)", "1{:w3},\"a:b\",0,2/1/0,2/3/0,1,30,60"},
        {"CArticExpArrayUsrStop(1{w3},\"a,b\",0,2/1/0,2/3/0,1,30,60)", nullptr},  // cut at ','
        {"CArticExpArrayUsrStop(1{w3},\"\",0,2/1/0,2/3/0,1,30,60)", "1{:w3},\"\",0,2/1/0,2/3/0,1,30,60"},
        {"CArticExpArrayUsrStop(1{w3},word,0,2/1/0,2/3/0,1,30,60)", "1{:w3},\"word\",0,2/1/0,2/3/0,1,30,60"},
        {"CArticExpArrayUsrStop(1{w3},\"w\",0,2/1/0,2/3/0:1,30,60)", nullptr},
        {"CArticExpArrayUsrStop(1{w3},\"w\",0,2/1/0,480,1,30,60)", nullptr},  // triples only
        // A double-byte character whose trail byte is '{' or '}' stays whole.
        {"CArticExpArrayUsrStop(1{w3},\"ボマ\",0,2/1/0,2/3/0,1,30,60)", "1{:w3},\"ボマ\",0,2/1/0,2/3/0,1,30,60"},
        {"CArticExpArrayUsrStop(1{w3},ボ,0,2/1/0,2/3/0,1,30,60)", "1{:w3},\"ボ\",0,2/1/0,2/3/0,1,30,60"},
    });
    EXPECT_EQ(CString("ボ").GetLength(), 2);
    EXPECT_EQ(BYTE(CString("ボ")[1]), 0x7B);
}

TEST_F(ExpArgForm, LayerForms) {
    CheckForms({
        {"CArticExpLayerBow1(2{w3,w4},0,60)", "2{:w3,:w4},0,60"},
        {"CArticExpLayerBow1(2{w3,w4},0,65536)", nullptr},
        {"CArticExpLayerBow1(2{w3,w4},0,0)", "2{:w3,:w4},0,0"},  // DevSize 0: refused when the layer runs
        {"CArticExpLayerBow2(2{w3,w4},0,256,60)", nullptr},
        {"CArticExpLayerBow2(2{w3,w4},0,1,0)", "2{:w3,:w4},0,1,0"},
        {"CArticExpLayerNote1(1{w3},0,1,-10,240,60,100,0,3,41)", "1{:w3},0,1,-10,240,60,100,0,3,41"},
        {"CArticExpLayerNote1(1{w3},0,1,-10,-1,60,100,0,3,41)", nullptr},
        {"CArticExpLayerNote1(1{w3},0,1,-10,240,60,300,0,3,41)", nullptr},
        // Key, Velo, bank and program are bytes: the expression brings them into MIDI range.
        {"CArticExpLayerNote1(1{w3},0,1,0,240,255,255,255,255,255)", "1{:w3},0,1,0,240,255,255,255,255,255"},
        {"CArticExpLayerNote1(1{w3},0,1,0,240,256,100,0,3,41)", nullptr},
        {"CArticExpLayerNote1(1{w3},0,1,0,240,60,100,256,3,41)", nullptr},
        {"CArticExpLayerNote1(1{w3},0,1,0,240,60,100,0,256,41)", nullptr},
        {"CArticExpLayerNote1(1{w3},0,1,0,240,60,100,0,3,256)", nullptr},
        {"CArticExpLayerNote1(1{w3},0,1,-10,240,60,100,0,3)", nullptr},
        {"CArticExpLayerNote2(1{w4},1,2,0,120,62,90,1,0,2{w30,w31})", nullptr},  // no ProNo
        {"CArticExpLayerNote2(1{w4},1,2,0,120,62,90,1,0,256,1{w30})", nullptr},
        {"CArticExpLayerNote2(1{w4},1,2,0,120,62,90,1,0,5,2{w30,w3})", nullptr},  // w3 exists
    });
    // None of the refused lines left a new event behind.
    EXPECT_EQ(Evnt(30), nullptr);
    EXPECT_EQ(Evnt(31), nullptr);
    // Nor does a line refused after its new notes were read (no block).
    CExString body("CArticExpLayerNote2(1{w4},1,2,0,120,62,90,1,0,5,2{w40,w41})");
    EXPECT_EQ(loader.LoadExpEvnt(body, 9, exp.Get(ULONG(1)), nullptr), 1);
    EXPECT_EQ(Evnt(40), nullptr);
    EXPECT_EQ(Evnt(41), nullptr);
    EXPECT_NE(Evnt(3), nullptr);
    // An accepted line keeps them.
    ASSERT_EQ(Text("CArticExpLayerNote2(1{w4},1,2,0,120,62,90,1,0,5,2{w40,w41})"), 0);
    EXPECT_EQ(Joined(), "1{:w4},1,2,0,120,62,90,1,0,5,2{:w40,:w41}");
    ASSERT_NE(Evnt(40), nullptr);
    EXPECT_EQ(Evnt(40)->GetEvntNo(), 40u);
}

TEST_F(ExpArgForm, PhraseFileForms) {
    CheckForms({
        {"CArticExpFileSmfContCc(1{w5},\"GlisDn.mid\",40,2/1/0,3/1/0,11,70)",
         "1{:w5},\"GlisDn.mid\",40,2/1/0,3/1/0,11,70"},
        {"CArticExpFileSmfContCc(1{w5},\"GlisDn.mid\",40,2/1/0,480,11,70)", "1{:w5},\"GlisDn.mid\",40,2/1/0,480,11,70"},
        {"CArticExpFileSmfContCc(1{w5},GlisDn.mid,40,2/1/0,3/1/0,11,70)", "1{:w5},\"GlisDn.mid\",40,2/1/0,3/1/0,11,70"},
        {"CArticExpFileSmfContCc(1{w5},\"Glis(Dn.mid\",40,2/1/0,3/1/0,11,70)", nullptr},
        {"CArticExpFileSmfContCc(1{w5},\"GlisDn.mid\")", nullptr},
        {"CArticExpFileSmfContCc(1{w5},\"GlisDn.mid\",40,2/1/0:3/1/0,11,70)", nullptr},  // start passed over
        {"CArticExpFileSmfContCc(1{w5},\"GlisDn.mid\",40,2/1/0,3/1/0:11,70)", nullptr},  // end passed over
        {"CArticExpFileSmfContCc(1{w5},\"GlisDn.mid\",40,2/1/0,3/1/0,256,70)", nullptr},  // ContNo a byte
        {"CArticExpFileSmfContCc2(1{w5},\"a.mid\",8,-60,0,256,100)", nullptr},
        {"CArticExpFileSmfContCc3(1{w5},\"a.mid\",8,-60,0,255,100,10)", "1{:w5},\"a.mid\",8,-60,0,255,100,10"},
        {"CArticExpFileSmfContCc3(1{w5},\"a.mid\",8,-60,0,256,100,10)", nullptr},
        {"CArticExpFileSmfContPb(1{w6},\"a.mid\",0,1/1/0:2/1/0,100)", nullptr},
        {"CArticExpFileSmfContPb(1{w6},\"a.mid\",0,1/1/0,960:100)", nullptr},
        {"CArticExpFileSmfContPb4(1{w12},\"Sdn5nt.mid\",8,-60:0,100,100,10)",  // Start passed over
         "1{:w12},\"Sdn5nt.mid\",8,0,0,100,100,10"},
        {"CArticExpFileSmfContPbEg2(1{w6},\"a.mid\",8,0,0,100,30,60,100,65536,10)", nullptr},
        {"CArticExpFileSmfFree(\"Vib3-g02.mid\",5/1/0)", "\"Vib3-g02.mid\",5/1/0"},
        {"CArticExpFileSmfFree(\"Vib3-g02.mid\",480)", nullptr},
        {"CArticExpFileSmfFree(\"Vib3-g02.mid\")", nullptr},
        {"CArticExpFileSmfNoteGlis1(3{w4,w5,w6},\"GlisDn.mid\",240)", "3{:w4,:w5,:w6},\"GlisDn.mid\",240"},
        {"CArticExpFileSmfNoteGlis1(3{w4,w5,w6},\"GlisDn.mid\")", nullptr},
        {"CArticExpFileSmfNoteArpg(1{w4},\"a.mid\",-1)", nullptr},
        {"CArticExpFileSmfNoteTril3(1{w7},\"F.mid\",\"B.mid\",\"E.mid\",60,30,30,-1,0,1)",
         "1{:w7},\"F.mid\",\"B.mid\",\"E.mid\",60,30,30,-1,0,1"},
        {"CArticExpFileSmfNoteTril3(1{w7},\"F.mid\",\"B.mid\",60,30,30,-1,0,1)", nullptr},
        {"CArticExpFileSmfNoteTrml2(1{w3},1{w4},\"GlisDn.mid\",60,8,10,10,-20,10)",
         "1{:w3},1{:w4},\"GlisDn.mid\",60,8,10,10,-20,10"},
        {"CArticExpFileSmfNoteTrml2(1{w3},\"GlisDn.mid\",60,8,10,10,-20,10)", nullptr},
        {"CArticExpFileSmfNoteTrml1(1{w9},\"T.mid\",60,256,10,10)", nullptr},
        {"CArticExpFileSmfNoteTrml1(1{w9},\"T.mid\",60,8,10)", nullptr},
        {"CArticExpFileSmfNoteTurn2(1{w8},\"T.mid\",60,-1:0,1)", "1{:w8},\"T.mid\",60,0,0,1"},  // Temp passed over
        {"CArticExpFileSmfNoteTurn2(1{w8},\"T.mid\",60,-1,0:1)", "1{:w8},\"T.mid\",60,-1,0,1"},
        {"CArticExpFileSmfNoteMord2(1{w8},\"T.mid\",60,128,0,1)", nullptr},
        {"CArticExpFileSmfNoteTurn(1{w8},\"T.mid\",60,2:1,0,1)", "1{:w8},\"T.mid\",60,0,1,0,1"},
    });
    // Without a block every paste and pattern is refused, with one report.
    for (const char* text : {"CArticExpFileSmfContCc(1{w5},\"a.mid\",0,2/1/0,480,11,70)",
                             "CArticExpFileSmfFree(\"a.mid\",5/1/0)", "CArticExpFileSmfNoteGlis1(1{w4},\"a.mid\",240)",
                             "CArticExpFileSmfNoteArpg(1{w4},\"a.mid\",240)"}) {
        CArticErr::Clear();
        CExString body(text);
        EXPECT_EQ(loader.LoadExpEvnt(body, 9, nullptr, nullptr), 1) << text;
        EXPECT_EQ(Details().size(), 1u) << text;
    }
}

// Every signature of these classes: a line of that many items reaches the
// class's own loader and reads.
TEST_F(ExpArgForm, EverySignatureReads) {
    std::ifstream in(std::string(VEXA_FIXTURES) + "/expression_signatures.txt");
    ASSERT_TRUE(in.good());
    const char* kFamilies[] = {"CArticExpTime",       "CArticExpPitch",        "CArticExpArraySlur",
                               "CArticExpArrayTie",   "CArticExpArrayTurn",    "CArticExpArrayTrill",
                               "CArticExpArrayStop",  "CArticExpArrayUsrStop", "CArticExpLayer",
                               "CArticExpFileSmf"};
    int classes = 0;
    std::string row;
    while (std::getline(in, row)) {
        std::istringstream fields(row);
        std::string name, codes;
        int count = 0;
        fields >> name >> count >> codes;
        bool mine = false;
        for (const char* f : kFamilies) mine = mine || name.rfind(f, 0) == 0;
        if (!mine) continue;
        ++classes;
        const bool texts = name.find("FileSmf") != std::string::npos || name == "CArticExpArrayUsrStop";
        std::string line = name + "(";
        std::istringstream list(codes);
        std::string code, prev;
        bool prevText = false;
        for (int i = 0; std::getline(list, code, ','); ++i) {
            std::string item;
            const bool text = texts && code == "0x0022" && (i == 0 || prev == "0x4280" || prevText) &&
                              !(name == "CArticExpFileSmfFree" && i == 1);
            if (code == "0x4280") item = "1{w3}";
            else if (code == "0x0400") item = "1{w90}";
            else if (text) item = "\"a.mid\"";
            else if (code == "0x0020" || code == "0x0022") item = "2/1/0";
            else item = "1";
            line += (i ? "," : "") + item;
            prev = code;
            prevText = text;
            ASSERT_LT(i, count) << row;
        }
        line += ")";
        CArticErr::Clear();
        EXPECT_EQ(Text(line), 0) << line;
        EXPECT_EQ(CArticErr::GetMsgCount(), 0) << line;
        ASSERT_NE(Only(), nullptr) << line;
        EXPECT_STREQ(Only()->GetRuntimeClass()->m_lpszClassName, name.c_str()) << line;
    }
    EXPECT_EQ(classes, 46);
}
