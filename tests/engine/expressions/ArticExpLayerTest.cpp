#include <gtest/gtest.h>

#include "ExpPhraseFixture.h"
#include "engine/expressions/ArticExpLayer.h"
#include "engine/loaders/ArticExpUtil.h"

using namespace exptest;

namespace {

// The blocks of the middle work data's tracks other than the master and the part.
std::vector<CArticWrkBlk*> LayerBlocks(const CArticWrk& mid) {
    std::vector<CArticWrkBlk*> out;
    for (POSITION p = mid.GetHeadPos(); p;) {
        CArticWrkTrk* trk = mid.GetNext(p);
        if (trk->GetTrkNo() == 0 || trk->GetTrkNo() == 1) continue;
        for (POSITION q = trk->GetHeadPos(); q;) out.push_back(trk->GetNext(q));
    }
    return out;
}

struct LayerVoice {
    INT64 time;
    int msb, lsb, program;
    bool operator==(const LayerVoice& o) const {
        return time == o.time && msb == o.msb && lsb == o.lsb && program == o.program;
    }
};

std::vector<LayerVoice> LayerVoices(const CArticWrkBlk* blk) {
    std::vector<LayerVoice> out;
    for (POSITION p = blk ? blk->GetHeadPos() : nullptr; p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (e->GetStatus() == 0x30) out.push_back({e->GetTime(), e->GetPost1(), e->GetPost2(), e->GetPost3()});
    }
    return out;
}

// A part whose voice (1, 2, 3) is set at 0.
struct LayerWorld : World {
    LayerWorld() {
        CArticWrkEvnt* voice = wrktest::NewEvnt(partBlk, 90, 0x30, 0, 1, 2);
        voice->SetPost3(3);
        partBlk->Sort(voice, 1);
        partBlk->SetCondPos(voice);
        partBlk->SetBlkName("Vn");
    }
};

}  // namespace

TEST(ArticExpLayer, BowStrokesCutTheNoteIntoPiecesWithTheSourcesVoice) {
    const std::pair<INT64, INT64> cases[] = {{960, 955}, {3, 0}};
    for (const auto& c : cases) {
        LayerWorld w;
        CArticWrkEvnt* n = w.Note(5, c.first, 64, 400);
        w.PartExpBlk()->AddTail(new CArticExpLayerBow1(w.PartExpBlk(), 1, &Notes{n}, 0, 120));
        ASSERT_EQ(w.Phase1(), 0);
        const std::vector<CArticWrkBlk*> layers = LayerBlocks(w.mid);
        ASSERT_EQ(layers.size(), 1u);
        const INT64 s = c.first;
        EXPECT_EQ(NoteRows(layers[0]), (std::vector<NoteRow>{{s, 64, 120, 100},
                                                              {s + 120, 64, 120, 100},
                                                              {s + 240, 64, 120, 100},
                                                              {s + 360, 64, 40, 100}}));
        EXPECT_EQ(LayerVoices(layers[0]), (std::vector<LayerVoice>{{c.second, 1, 2, 3}}));
    }
}

TEST(ArticExpLayer, ADevSizeOf0IsRefusedBeforeAnyEdit) {
    for (int which = 0; which < 2; ++which) {
        CArticErr::Clear();
        LayerWorld w;
        CArticWrkEvnt* n = w.Note(5, 960, 64, 400);
        if (which == 0)
            w.PartExpBlk()->AddTail(new CArticExpLayerBow1(w.PartExpBlk(), 1, &Notes{n}, 0, 0));
        else
            w.PartExpBlk()->AddTail(new CArticExpLayerBow2(w.PartExpBlk(), 1, &Notes{n}, 0, 0, 0));
        EXPECT_EQ(w.Phase1(), 1);
        EXPECT_TRUE(LayerBlocks(w.mid).empty());
        EXPECT_NE(ShownText().Find("指定したﾌﾞﾛｯｸにNoteｲﾍﾞﾝﾄを追加する際にｴﾗｰが発生した。"), -1);
        CArticErr::Delete();
    }
}

TEST(ArticExpLayer, LayerBlocksOfThePartAndCommonOnes) {
    {
        LayerWorld w;
        CArticWrkEvnt* n = w.Note(5, 960, 64, 240);
        w.PartExpBlk()->AddTail(new CArticExpLayerBow2(w.PartExpBlk(), 1, &Notes{n}, 0, 0, 120));
        ASSERT_EQ(w.Phase1(), 0);
        const std::vector<CArticWrkBlk*> layers = LayerBlocks(w.mid);
        ASSERT_EQ(layers.size(), 1u);
        EXPECT_EQ(layers[0]->GetBlkName(), "Vn-L1");
        EXPECT_EQ(NoteRows(layers[0]).size(), 2u);
    }
    {
        LayerWorld w;
        CArticWrkEvnt* a = w.Note(5, 0, 64, 240);
        CArticWrkEvnt* b = w.Note(6, 960, 67, 240);
        w.PartExpBlk()->AddTail(new CArticExpLayerBow2(w.PartExpBlk(), 1, &Notes{a}, 1, 2, 120));
        w.PartExpBlk()->AddTail(
            new CArticExpLayerNote1(w.PartExpBlk(), 2, &Notes{b}, 1, 2, -10, 100, 72, 90, 0, 0, 40));
        ASSERT_EQ(w.Phase1(), 0);
        const std::vector<CArticWrkBlk*> layers = LayerBlocks(w.mid);
        ASSERT_EQ(layers.size(), 1u);
        EXPECT_EQ(layers[0]->GetBlkName(), "L2");
        EXPECT_EQ(NoteRows(layers[0]),
                  (std::vector<NoteRow>{{0, 64, 120, 100}, {120, 64, 120, 100}, {950, 72, 100, 90}}));
        EXPECT_EQ(LayerVoices(layers[0]), (std::vector<LayerVoice>{{0, 1, 2, 3}, {945, 0, 0, 40}}));
    }
}

TEST(ArticExpLayer, ALayerThatNeedsOneBlockOnlyReports) {
    CArticErr::Clear();
    LayerWorld w;
    CArticWrkEvnt* n = w.Note(5, 960, 64, 240);
    auto* e = new CArticExpLayerBow2(w.PartExpBlk(), 1, &Notes{n}, 0, 0, 120);
    e->SetTgNeed(1);
    w.PartExpBlk()->AddTail(e);
    EXPECT_EQ(w.Phase1(), 1);
    EXPECT_TRUE(LayerBlocks(w.mid).empty());
    EXPECT_NE(ShownText().Find("指定したﾌﾞﾛｯｸにNoteｲﾍﾞﾝﾄを追加する際にｴﾗｰが発生した。"), -1);
    CArticErr::Delete();
}

TEST(ArticExpLayer, SecondListEventsBecomeLayerNotesOrGoWithTheData) {
    for (ULONG dur : {ULONG(200), ULONG(0)}) {
        LayerWorld w;
        CArticWrkEvnt* n = w.Note(5, 960, 64, 240);
        // Number 40 is not in the work data: it is made, free, when re-linked.
        CArticWrkEvnt free40(nullptr, 40);
        w.PartExpBlk()->AddTail(new CArticExpLayerNote2(w.PartExpBlk(), 1, &Notes{n}, 0, 0, 10, dur, 72, 90, 0, 0,
                                                        0, &Notes{&free40}));
        w.Phase1();
        const std::vector<CArticWrkBlk*> layers = LayerBlocks(w.mid);
        ASSERT_EQ(layers.size(), 1u);
        if (dur) {
            EXPECT_EQ(NoteRows(layers[0]), (std::vector<NoteRow>{{970, 72, 200, 90}}));
            EXPECT_EQ(NoteRows(layers[0]).size(), 1u);
        } else {
            EXPECT_TRUE(NoteRows(layers[0]).empty());
        }
        // Clearing the middle data frees the event never placed (the
        // sanitizers' leak check holds the rest).
        w.mid.Clear();
        EXPECT_EQ(w.mid.GetEvntInEvntPosArray(40, 1), nullptr);
    }
}

TEST(ArticExpLayer, WritersCopiesAndPhases) {
    World w;
    CArticWrkEvnt* n = w.Note(12, 0);
    CArticWrkEvnt* m = w.Note(13, 480);
    CArticExpBlk* blk = w.PartExpBlk();
    struct Case {
        CArticExpEvnt* e;
        const char* line;
    };
    const Case cases[] = {
        {new CArticExpLayerBow1(blk, 1, &Notes{n, m}, 0, 60), "e1:CArticExpLayerBow1( 2{:w12,:w13}, 0, 60 )"},
        {new CArticExpLayerBow2(blk, 2, &Notes{n}, 1, 3, 90), "e2:CArticExpLayerBow2( 1{:w12}, 1, 3, 90 )"},
        {new CArticExpLayerNote1(blk, 3, &Notes{n}, 0, 1, -10, 240, 72, 90, 1, 2, 40),
         "e3:CArticExpLayerNote1( 1{:w12}, 0, 1, -10, 240, 72, 90, 1, 2, 40 )"},
        {new CArticExpLayerNote2(blk, 4, &Notes{n}, 0, 1, 0, 240, 72, 90, 1, 2, 40, &Notes{m}),
         "e4:CArticExpLayerNote2( 1{:w12}, 0, 1, 0, 240, 72, 90, 1, 2, 40, 1{:w13} )"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.e->GetTgNeed(), 2) << c.line;
        ExpectLineAndCopy(blk, c.e, c.line);
    }
}
