#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ExpPhraseFixture.h"
#include "engine/expressions/ArticExpFileSmfNote.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticCash.h"
#include "engine/work/ArticFileIO.h"
#include "engine/work/ArticUtil.h"
#include "platform/TempFolder.h"

using namespace exptest;

namespace {


// A 4/4 song in C major.
struct SmfNoteWorld : World {
    SmfNoteWorld() {
        wrk.SetMeasBlk(masterBlk);
        wrktest::AddBeat(masterBlk, 1, 0, 4, 2, 1);
        CArticWrkEvnt* sig = wrktest::NewMeta(masterBlk, 2, 0, 0x59, {0, 0});
        masterBlk->AddTail(sig, 1);
        masterBlk->SetCondPos(sig);
    }
    std::vector<NoteRow> Rows() const { return NoteRows(MidPartBlk()); }
};

// The turn phrase: upper, main, lower, main; the first louder by 10.
void SaveTurnPhrase(PhraseLib& lib, const char* name, BYTE third = 59) {
    lib.Note(0, 62, 120, 100);
    lib.Note(120, 60, 120, 90);
    lib.Note(240, third, 120, 90);
    lib.Note(360, 60, 120, 90);
    lib.Save(name);
}

}  // namespace

TEST(ArticExpFileSmfNote, TurnFromItsPhraseReplacesTheNote) {
    PhraseLib lib;
    SaveTurnPhrase(lib, "turn.mid");
    struct Case {
        BYTE key;
        signed char temp;
        std::vector<int> keys;
    };
    const Case cases[] = {{60, 0, {62, 60, 59, 60}}, {66, 1, {67, 66, 64, 66}}};
    for (const Case& c : cases) {
        SmfNoteWorld w;
        CArticWrkEvnt* n = w.Note(5, 0, c.key, 480);
        n->SetPost2(80);
        w.PartExpBlk()->AddTail(new CArticExpFileSmfNoteTurn2(w.PartExpBlk(), 1, &Notes{n}, "turn.mid", 240, c.temp, 0, 0));
        w.Run();
        const std::vector<NoteRow> rows = w.Rows();
        ASSERT_EQ(rows.size(), 4u) << int(c.key);
        const int velos[] = {80, 70, 70, 70};
        for (size_t i = 0; i < 4; ++i)
            EXPECT_EQ(rows[i], (NoteRow{INT64(i) * 60, c.keys[i], 60, velos[i]})) << int(c.key) << " " << i;
    }
}

TEST(ArticExpFileSmfNote, FSharpWithoutTemperingIsReportedOnce) {
    PhraseLib lib;
    SaveTurnPhrase(lib, "turn.mid");
    CArticErr::Clear();
    SmfNoteWorld w;
    CArticWrkEvnt* n = w.Note(5, 0, 66, 480);
    w.PartExpBlk()->AddTail(new CArticExpFileSmfNoteTurn2(w.PartExpBlk(), 1, &Notes{n}, "turn.mid", 240, 0, 0, 0));
    w.Run();
    // One report: the neighbour lookup's message and the expression's line.
    EXPECT_EQ(CArticErr::GetMsgCount(), 2);
    // The turn is made with F-sharp as its own neighbours; the note gives way to it.
    const std::vector<NoteRow> rows = w.Rows();
    ASSERT_EQ(rows.size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(rows[i], (NoteRow{INT64(i) * 60, 66, 60, i ? 90 : 100})) << i;
    CArticErr::Delete();
}

TEST(ArticExpFileSmfNote, AFailedOrnamentKeepsItsNote) {
    PhraseLib lib;
    SaveTurnPhrase(lib, "mord.mid", 61);
    SaveTurnPhrase(lib, "turn.mid");
    CArticErr::Clear();
    {
        SmfNoteWorld w;
        CArticWrkEvnt* n = w.Note(5, 0, 60, 480);
        w.PartExpBlk()->AddTail(new CArticExpFileSmfNoteMord2(w.PartExpBlk(), 1, &Notes{n}, "mord.mid", 240, 0, 0, 0));
        w.Run();
        EXPECT_NE(ShownText().Find("ﾓﾙﾃﾞﾝﾄの作成時にｴﾗｰが発生しました。"), -1);
        EXPECT_NE(ShownText().Find("SMFﾗｲﾌﾞﾗﾘの中に含まれるNote情報に誤りがあります。"), -1);
        bool kept = false;
        for (const NoteRow& r : w.Rows()) kept = kept || r == NoteRow{0, 60, 480, 100};
        EXPECT_TRUE(kept);
    }
    CArticErr::Delete();
    CArticErr::Clear();
    {
        // A glissando over C, C, G: the first pair (equal keys) fails, the
        // second is made. The failure is reported, and only the note whose
        // glissando was made gives way to it.
        for (int i = 0; i < 4; ++i) lib.Note(i * 60, 60, 60);
        lib.Save("glis.mid");
        SmfNoteWorld w;
        CArticWrkEvnt* c1 = w.Note(5, 0, 60, 240);
        CArticWrkEvnt* c2 = w.Note(6, 480, 60, 240);
        CArticWrkEvnt* g = w.Note(7, 960, 67, 240);
        w.PartExpBlk()->AddTail(new CArticExpFileSmfNoteGlis1(w.PartExpBlk(), 1, &Notes{c1, c2, g}, "glis.mid", 240));
        w.Run();
        EXPECT_NE(ShownText().Find("ｸﾞﾘｯｻﾝドの作成時にｴﾗｰが発生しました。"), -1);
        const std::vector<NoteRow> rows = w.Rows();
        ASSERT_EQ(rows.size(), 6u);
        EXPECT_EQ(rows[0], (NoteRow{0, 60, 240, 100}));
        std::vector<int> keys;
        for (const NoteRow& r : rows) keys.push_back(r.key);
        EXPECT_EQ(keys, (std::vector<int>{60, 60, 62, 64, 65, 67}));
        EXPECT_EQ(rows[1].time, 480);
        EXPECT_EQ(rows[1].gate, 60);
        EXPECT_EQ(rows[5], (NoteRow{960, 67, 240, 100}));
    }
    CArticErr::Delete();
}

TEST(ArticExpFileSmfNote, GlissandoRunsOverTheKeysOfItsColour) {
    PhraseLib lib;
    // As many notes as the run from C to G has keys, and no "EOD": the span
    // ends with the last note used (120), fitted to the 240 ticks.
    for (int i = 0; i < 4; ++i) lib.Note(i * 30, 60, 30);
    lib.Save("glis.mid");
    {
        SmfNoteWorld w;
        CArticWrkEvnt* c4 = w.Note(5, 0, 60, 240);
        CArticWrkEvnt* g4 = w.Note(6, 480, 67, 240);
        CArticWrkEvnt* c5 = w.Note(7, 960, 72, 240);
        w.PartExpBlk()->AddTail(new CArticExpFileSmfNoteGlis1(w.PartExpBlk(), 1, &Notes{c4, g4, c5}, "glis.mid", 240));
        w.Run();
        std::vector<int> keys;
        for (const NoteRow& r : w.Rows()) keys.push_back(r.key);
        EXPECT_EQ(keys, (std::vector<int>{60, 62, 64, 65, 67, 69, 71, 72}));
        const std::vector<NoteRow> rows = w.Rows();
        for (size_t i = 0; i < 4; ++i) EXPECT_EQ(rows[i], (NoteRow{INT64(i) * 60, keys[i], 60, 100})) << i;
    }
    {
        SmfNoteWorld w;
        CArticWrkEvnt* cs = w.Note(5, 0, 61, 240);
        CArticWrkEvnt* f = w.Note(6, 480, 65, 240);
        w.PartExpBlk()->AddTail(new CArticExpFileSmfNoteGlis1(w.PartExpBlk(), 1, &Notes{cs, f}, "glis.mid", 240));
        w.Run();
        std::vector<int> keys;
        for (const NoteRow& r : w.Rows()) keys.push_back(r.key);
        EXPECT_EQ(keys, (std::vector<int>{61, 63, 65}));
    }
}

TEST(ArticExpFileSmfNote, TwoChordTremoloWeightsItsKeys) {
    PhraseLib lib;
    for (int i = 0; i < 4; ++i) lib.Note(i * 120, i % 2 ? 67 : 60, 120, 80);
    lib.Save("trml2.mid");
    SmfNoteWorld w;
    CArticWrkEvnt* c = w.Note(5, 0, 60, 480);
    CArticWrkEvnt* e = w.Note(6, 0, 64, 480);
    CArticWrkEvnt* g = w.Note(7, 0, 67, 480);
    CArticWrkEvnt* d = w.Note(8, 0, 62, 480);
    CArticWrkEvnt* f = w.Note(9, 0, 65, 480);
    CArticWrkEvnt* a = w.Note(10, 0, 69, 480);
    for (CArticWrkEvnt* n : {c, e, g, d, f, a}) n->SetPost2(80);
    w.PartExpBlk()->AddTail(new CArticExpFileSmfNoteTrml2(w.PartExpBlk(), 1, &Notes{c, e, g}, &Notes{d, f, a},
                                                          "trml2.mid", 480, 2, 0, 0, 10, 5));
    w.Run();
    const std::vector<NoteRow> rows = w.Rows();
    ASSERT_EQ(rows.size(), 12u);
    for (const NoteRow& r : rows) {
        const int low = r.key == 60 || r.key == 62, mid = r.key == 64 || r.key == 65;
        EXPECT_EQ(r.velo, 80 + (low ? 10 : mid ? 5 : 0)) << r.key;
        EXPECT_NE(r.gate, 480) << "a listed chord note stays";
    }
}

TEST(ArticExpFileSmfNote, OneNoteTremoloPhraseFailsWithItsReport) {
    PhraseLib lib;
    lib.Note(0, 60, 120);
    lib.Save("one.mid");
    CArticErr::Clear();
    SmfNoteWorld w;
    CArticWrkEvnt* n = w.Note(5, 0, 60, 480);
    w.PartExpBlk()->AddTail(new CArticExpFileSmfNoteTrml1(w.PartExpBlk(), 1, &Notes{n}, "one.mid", 480, 4, 0, 0));
    w.Run();
    EXPECT_NE(ShownText().Find("ﾄﾚﾓﾛの作成時にｴﾗｰが発生しました。"), -1);
    EXPECT_EQ(w.Rows(), (std::vector<NoteRow>{{0, 60, 480, 100}}));
    CArticErr::Delete();
}

TEST(ArticExpFileSmfNote, DeletedAndTurnedNoteIsRemovedOnce) {
    PhraseLib lib;
    SaveTurnPhrase(lib, "turn.mid");
    SmfNoteWorld w;
    CArticWrkEvnt* n = w.Note(5, 0, 60, 480);
    w.PartExpBlk()->AddTail(new CArticExpDel(w.PartExpBlk(), 1, &Notes{n}));
    w.PartExpBlk()->AddTail(new CArticExpFileSmfNoteTurn2(w.PartExpBlk(), 2, &Notes{n}, "turn.mid", 240, 0, 0, 0));
    w.Run();
    EXPECT_EQ(w.Rows().size(), 4u);
}

TEST(ArticExpFileSmfNote, UnsupportedOrnamentsReportAndKeepTheNote) {
    PhraseLib lib;
    SaveTurnPhrase(lib, "turn.mid");
    using Make = std::function<CArticExpEvnt*(CArticExpBlk*, CArticWrkEvnt*)>;
    const std::pair<Make, const char*> cases[] = {
        {[](CArticExpBlk* b, CArticWrkEvnt* n) {
             return new CArticExpFileSmfNoteTril2(b, 1, &Notes{n}, "turn.mid", "turn.mid", "turn.mid", 480, 60, 60, 0,
                                                  0, 0, 0, 0, 0);
         },
         "未対応のため、ﾄﾘﾙ表現を追加することができません。"},
        {[](CArticExpBlk* b, CArticWrkEvnt* n) {
             return new CArticExpFileSmfNoteTurn(b, 1, &Notes{n}, "turn.mid", 240, 0, 0, 0, 0);
         },
         "未対応のため、ﾀｰﾝ表現を追加することができません。"},
    };
    for (const auto& c : cases) {
        CArticErr::Clear();
        SmfNoteWorld w;
        CArticWrkEvnt* n = w.Note(5, 0, 60, 480);
        w.PartExpBlk()->AddTail(c.first(w.PartExpBlk(), n));
        EXPECT_EQ(w.Phase1(), 1);
        EXPECT_NE(ShownText().Find(c.second), -1);
        EXPECT_EQ(w.Rows(), (std::vector<NoteRow>{{0, 60, 480, 100}}));
        CArticErr::Delete();
    }
}

TEST(ArticExpFileSmfNote, WritersCopiesAndPhases) {
    SmfNoteWorld w;
    CArticWrkEvnt* n8 = w.Note(8, 0);
    CArticWrkEvnt* n9 = w.Note(9, 480);
    CArticExpBlk* blk = w.PartExpBlk();
    struct Case {
        CArticExpEvnt* e;
        const char* line;
        bool phase2;
    };
    const Case cases[] = {
        {new CArticExpFileSmfNoteTurn2(blk, 4, &Notes{n8, n9}, "GlisDn.mid", 120, -1, 0, 1),
         "e4:CArticExpFileSmfNoteTurn2( 2{:w8,:w9}, \"GlisDn.mid\", 120, -1, 0, 1 )", true},
        {new CArticExpFileSmfNoteMord2(blk, 5, &Notes{n8}, "m.mid", 90, 2, -1, 0),
         "e5:CArticExpFileSmfNoteMord2( 1{:w8}, \"m.mid\", 90, 2, -1, 0 )", true},
        {new CArticExpFileSmfNoteTril2(blk, 6, &Notes{n8}, "f.mid", "b.mid", "k.mid", 480, 60, 30, 1, 2, 3, -2, 1, 0),
         "e6:CArticExpFileSmfNoteTril2( 1{:w8}, \"f.mid\", \"b.mid\", \"k.mid\", 480, 60, 30, 1, 2, 3, -2, 1, 0 )",
         false},
        {new CArticExpFileSmfNoteTril3(blk, 7, &Notes{n8}, "f.mid", "b.mid", "k.mid", 480, 60, 30, -2, 1, 0),
         "e7:CArticExpFileSmfNoteTril3( 1{:w8}, \"f.mid\", \"b.mid\", \"k.mid\", 480, 60, 30, -2, 1, 0 )", true},
        {new CArticExpFileSmfNoteTurn(blk, 8, &Notes{n8}, "t.mid", 240, 3, 0, 1, 1),
         "e8:CArticExpFileSmfNoteTurn( 1{:w8}, \"t.mid\", 240, 3, 0, 1, 1 )", false},
        {new CArticExpFileSmfNoteTrml1(blk, 9, &Notes{n8}, "r.mid", 480, 8, 10, 12),
         "e9:CArticExpFileSmfNoteTrml1( 1{:w8}, \"r.mid\", 480, 8, 10, 12 )", true},
        {new CArticExpFileSmfNoteTrml2(blk, 10, &Notes{n8}, &Notes{n9}, "GlisDn.mid", 60, 8, 10, 10, -20, 10),
         "e10:CArticExpFileSmfNoteTrml2( 1{:w8}, 1{:w9}, \"GlisDn.mid\", 60, 8, 10, 10, -20, 10 )", true},
        {new CArticExpFileSmfNoteGlis1(blk, 11, &Notes{n8, n9}, "g.mid", 240),
         "e11:CArticExpFileSmfNoteGlis1( 2{:w8,:w9}, \"g.mid\", 240 )", true},
        {new CArticExpFileSmfNoteArpg(blk, 12, &Notes{n8, n9}, "a.mid", 240),
         "e12:CArticExpFileSmfNoteArpg( 2{:w8,:w9}, \"a.mid\", 240 )", true},
    };
    for (const Case& c : cases) ExpectLineAndCopy(blk, c.e, c.line, c.phase2 ? 1 : 0);
}
