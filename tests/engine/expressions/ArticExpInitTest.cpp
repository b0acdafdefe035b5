#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "ExpFixture.h"
#include "engine/expressions/ArticExpInit.h"
#include "engine/loaders/ArticExpUtil.h"

using namespace exptest;

namespace {

constexpr INT64 kLastTime = INT64(0x7FFFFFFFFFFFFFFF) - 5;

// (status, time, data byte 1, data byte 2) of the events of a block, in list order.
using Row = std::tuple<int, INT64, int, int>;

std::vector<Row> Rows(const CArticWrkBlk* blk) {
    std::vector<Row> rows;
    for (POSITION p = blk ? blk->GetHeadPos() : nullptr; p;) {
        const CArticWrkEvnt* e = blk->GetNext(p);
        rows.emplace_back(e->GetStatus(), e->GetTime(), e->GetPost1(), e->GetPost2());
    }
    return rows;
}

// A world in 4/4 with its tree mirrored; the expressions go to the part block.
struct InitWorld : World {
    InitWorld() {
        wrk.SetMeasBlk(masterBlk);
        wrktest::AddBeat(masterBlk, 1, 0, 4, 2, 1);
    }
    // The events the phase added to the middle part block.
    std::vector<Row> Added() const {
        std::vector<Row> rows;
        for (POSITION p = MidPartBlk()->GetHeadPos(); p;) {
            const CArticWrkEvnt* e = MidPartBlk()->GetNext(p);
            if (e->GetCreate()) rows.emplace_back(e->GetStatus(), e->GetTime(), e->GetPost1(), e->GetPost2());
        }
        return rows;
    }
};



}  // namespace

TEST(ArticExpInit, ParameterChangeMessage) {
    InitWorld w;
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpInitPrmChange(blk, 1, INT64(120), "4C", "000000", "0000"));
    EXPECT_EQ(w.Phase1(), 0);
    ASSERT_EQ(w.Added().size(), 1u);
    const CArticWrkEvnt* e = w.MidPartBlk()->Get(0);
    EXPECT_EQ(e->GetStatus(), 0xF0);
    EXPECT_EQ(e->GetTime(), 120);
    EXPECT_EQ(e->GetGateTime(), 0);
    BYTE type = 1;
    const BYTE* data = nullptr;
    const ULONG len = e->GetMeta(&type, &data);
    EXPECT_EQ(std::vector<BYTE>(data, data + len),
              (std::vector<BYTE>{0x43, 0x10, 0x4C, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7}));
}

TEST(ArticExpInit, BadHexTextsReportAndWriteNothing) {
    struct Case {
        const char *model, *adrs, *data, *detail;
    };
    const Case cases[] = {
        {"4C", "000000", "000", "4C 000000 000"},
        {"4C", "00000", "0000", "4C 00000 0000"},
        {"4G", "000000", "0000", "4G 000000 0000"},
    };
    for (const Case& c : cases) {
        CArticErr::Clear();
        InitWorld w;
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpInitPrmChange(blk, 1, INT64(0), c.model, c.adrs, c.data));
        EXPECT_EQ(w.Phase1(), 1) << c.detail;
        EXPECT_TRUE(w.Added().empty()) << c.detail;
        EXPECT_GE(ShownText().Find("中間音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄを編集するための情報に誤りがある。"), 0);
        EXPECT_GE(ShownText().Find(c.detail), 0) << c.detail;
        EXPECT_EQ(w.mid.GetEvntNum(), w.wrk.GetEvntNum());
        CArticErr::Delete();
    }
}

TEST(ArticExpInit, TheLastTimesMeanNoPositionExceptForTheBendRange) {
    InitWorld w;
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpInitPrmChange(blk, 1, kLastTime, "4C", "000000", "0000"));
    blk->AddTail(new CArticExpInitKvinit(blk, 2, kLastTime));
    blk->AddTail(new CArticExpInitPro(blk, 3, kLastTime, 0, 1, 2));
    blk->AddTail(new CArticExpInitPbRange(blk, 4, 0, kLastTime, 12));
    EXPECT_EQ(w.Phase1(), 0);
    EXPECT_EQ(w.Added(), (std::vector<Row>{{0x20, kLastTime, 0, 0}}));
}

TEST(ArticExpInit, SystemOnStandsAheadOfEverythingAtItsTime) {
    InitWorld w;
    w.Note(5, 480, 60);
    wrktest::AddCc(w.partBlk, 6, 480, 7, 100);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpInitKvinit(blk, 1, INT64(480)));
    EXPECT_EQ(w.Phase1(), 0);
    const CArticWrkEvnt* first = w.MidPartBlk()->Get(0);
    EXPECT_EQ(first->GetStatus(), 0xF0);
    BYTE type = 0;
    const BYTE* data = nullptr;
    const ULONG len = first->GetMeta(&type, &data);
    EXPECT_EQ(std::vector<BYTE>(data, data + len), (std::vector<BYTE>{0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}));
    EXPECT_EQ(w.MidPartBlk()->GetCount(), 3);
}

TEST(ArticExpInit, VoiceAtAPositionAndInANumberedBlock) {
    CArticErr::Clear();
    InitWorld w;
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas bar2(2, 1, 0);
    blk->AddTail(new CArticExpInitPro(blk, 1, &bar2, 0, 1, 25));
    blk->AddTail(new CArticExpInitPro2(blk, 2, 0, 0, INT64(10), 8, 0, 4));
    blk->AddTail(new CArticExpInitKvinit2(blk, 3, 1, 7, INT64(0)));
    EXPECT_EQ(w.Phase1(), 1);
    EXPECT_EQ(w.Added(), (std::vector<Row>{{0x30, 1920, 0, 1}}));
    EXPECT_EQ(w.MidPartBlk()->Get(0)->GetPost3(), 25);
    EXPECT_EQ(Rows(w.mid.Get(0)->Get(0)).back(), (Row{0x30, 10, 8, 0}));
    EXPECT_GE(ShownText().Find("出力先の中間音符ﾃﾞｰﾀ・ﾌﾞﾛｯｸが見つからない。"), 0);
    CArticErr::Delete();
}

TEST(ArticExpInit, VoiceBytesAboveMidiRangeAreHeldAt127) {
    InitWorld w;
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas bar2(2, 1, 0);
    blk->AddTail(new CArticExpInitPro(blk, 1, &bar2, 128, 255, 200));
    EXPECT_EQ(w.Phase1(), 0);
    EXPECT_EQ(w.Added(), (std::vector<Row>{{0x30, 1920, 127, 127}}));
    EXPECT_EQ(w.MidPartBlk()->Get(0)->GetPost3(), 127);
}

TEST(ArticExpInit, BendRangeAtThePositionOrBeforeTheNearestNote) {
    struct Case {
        INT64 note, at;
    };
    for (const Case& c : {Case{3, 3}, Case{480, 475}}) {
        InitWorld w;
        w.Note(5, c.note, 60);
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpInitPbRange(blk, 1, 1, INT64(100), 12));
        EXPECT_EQ(w.Phase1(), 0);
        EXPECT_EQ(w.Added(), (std::vector<Row>{{0x20, c.at, 0, 0}})) << c.note;
        EXPECT_EQ(w.MidPartBlk()->Get(0)->GetPost3() + w.MidPartBlk()->Get(1)->GetPost3(), 12);
    }
    struct Bad {
        BYTE type, range;
        const char* detail;
    };
    for (const Bad& b : {Bad{0, 13, "PBﾚﾝｼﾞ = 13"}, Bad{2, 2, "処理番号 = 2"}}) {
        CArticErr::Clear();
        InitWorld w;
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpInitPbRange(blk, 1, b.type, INT64(0), b.range));
        EXPECT_EQ(w.Phase1(), 1);
        EXPECT_TRUE(w.Added().empty());
        EXPECT_GE(ShownText().Find(b.detail), 0) << b.detail;
        CArticErr::Delete();
    }
}

TEST(ArticExpInit, ProgramAtANoteWithItsBankSelects) {
    struct Case {
        INT64 note;
        std::vector<Row> added;
    };
    const Case cases[] = {
        {960, {{0xB0, 959, 0, 8}, {0xB0, 959, 32, 1}, {0xC0, 960, 25, 0}}},
        {0, {{0xB0, 0, 0, 8}, {0xB0, 0, 32, 1}, {0xC0, 0, 25, 0}}},  // never before the song's start
    };
    for (const Case& c : cases) {
        InitWorld w;
        CArticWrkEvnt* note = w.Note(5, c.note, 60);
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpInitPro3(blk, 1, &Notes{note}, 0, 8, 1, 25));
        EXPECT_EQ(w.Phase1(), 0);
        EXPECT_EQ(w.Added(), c.added) << c.note;
    }
}

TEST(ArticExpInit, BendRangeAtANoteAsControllers) {
    struct Case {
        const char* what;
        INT64 note;
        std::vector<std::tuple<INT64, BYTE, BYTE>> inForce;  // (time, controller, value)
        BYTE range;
        std::vector<Row> added;
    };
    const Case cases[] = {
        {"nothing in force", 960, {}, 12, {{0xB0, 950, 101, 0}, {0xB0, 950, 100, 0}, {0xB0, 955, 6, 12}}},
        {"close to the start", 6, {}, 12, {{0xB0, 2, 101, 0}, {0xB0, 2, 100, 0}, {0xB0, 4, 6, 12}}},
        {"all in force", 960, {{100, 101, 0}, {100, 100, 0}, {110, 6, 12}}, 12, {}},
        {"a later non-registered selection is restored",
         960,
         {{100, 101, 0}, {100, 100, 0}, {110, 6, 12}, {200, 99, 1}, {200, 98, 8}},
         12,
         {{0xB0, 950, 101, 0}, {0xB0, 950, 100, 0}, {0xB0, 955, 6, 12}, {0xB0, 960, 98, 8}, {0xB0, 960, 99, 1}}},
    };
    for (const Case& c : cases) {
        InitWorld w;
        ULONG no = 20;
        for (const auto& [t, cc, v] : c.inForce) wrktest::AddCc(w.partBlk, no++, t, cc, v);
        CArticWrkEvnt* note = w.Note(5, c.note, 60);
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpInitPbRange3(blk, 1, &Notes{note}, 0, c.range));
        EXPECT_EQ(w.Phase1(), 0) << c.what;
        EXPECT_EQ(w.Added(), c.added) << c.what;
    }
    CArticErr::Clear();
    InitWorld w;
    CArticWrkEvnt* note = w.Note(5, 960, 60);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpInitPbRange3(blk, 1, &Notes{note}, 0, 200));
    EXPECT_EQ(w.Phase1(), 1);
    EXPECT_TRUE(w.Added().empty());
    EXPECT_GE(ShownText().Find("PBﾚﾝｼﾞ = 200"), 0);
    CArticErr::Delete();
}

// The range that an earlier note's expression set stays in force for the
// later notes: it is not set again. The controllers written for the first
// note are numbered after every note of the block.
TEST(ArticExpInit, BendRangeSetForOneNoteServesTheNext) {
    struct Case {
        BYTE second;
        std::vector<Row> added;
    };
    const Case cases[] = {
        {12, {{0xB0, 950, 101, 0}, {0xB0, 950, 100, 0}, {0xB0, 955, 6, 12}}},
        // Another range writes the data entry alone.
        {2, {{0xB0, 950, 101, 0}, {0xB0, 950, 100, 0}, {0xB0, 955, 6, 12}, {0xB0, 1915, 6, 2}}},
    };
    for (const Case& c : cases) {
        InitWorld w;
        CArticWrkEvnt* a = w.Note(5, 960, 60);
        CArticWrkEvnt* b = w.Note(6, 1920, 62);
        w.Note(7, 2880, 64);
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpInitPbRange3(blk, 1, &Notes{a}, 0, 12));
        blk->AddTail(new CArticExpInitPbRange3(blk, 2, &Notes{b}, 0, c.second));
        EXPECT_EQ(w.Phase1(), 0);
        EXPECT_EQ(w.Added(), c.added) << int(c.second);
    }
}

TEST(ArticExpInit, ParameterChangeAtEveryListedNote) {
    InitWorld w;
    CArticWrkEvnt* a = w.Note(5, 100, 60);
    CArticWrkEvnt* b = w.Note(6, 960, 62);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpInitPrmChangeKv3(blk, 1, &Notes{a, b}, -200, "000000", "01"));
    EXPECT_EQ(w.Phase1(), 0);
    EXPECT_EQ(w.Added(), (std::vector<Row>{{0xF0, 0, 0, 0}, {0xF0, 760, 0, 0}}));

    // The offset is added in 64 bits: a note beyond 32 bits of ticks keeps its place.
    InitWorld far;
    const INT64 late = (INT64(1) << 32) + 100;
    CArticWrkEvnt* n = far.Note(5, late, 60);
    CArticExpBlk* fb = far.PartExpBlk();
    fb->AddTail(new CArticExpInitPrmChange3(fb, 1, &Notes{n}, 10, "4C", "000000", "00"));
    EXPECT_EQ(far.Phase1(), 0);
    EXPECT_EQ(far.Added(), (std::vector<Row>{{0xF0, late + 10, 0, 0}}));
}

TEST(ArticExpInit, WritersCopiesAndPhases) {
    InitWorld w;
    CArticWrkEvnt* a = w.Note(5, 0);
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas m(2, 1, 0);
    struct Case {
        CArticExpEvnt* e;
        const char* line;
    };
    const Case cases[] = {
        {new CArticExpInitPrmChange(blk, 1, &m, "4C", "000000", "0000"),
         "e1:CArticExpInitPrmChange( 2/1/0, \"4C\", \"000000\", \"0000\" )"},
        {new CArticExpInitPrmChange2(blk, 2, 1, 0, INT64(480), "4C", "010203", "7F"),
         "e2:CArticExpInitPrmChange2( 1, 0, 480, \"4C\", \"010203\", \"7F\" )"},
        {new CArticExpInitPrmChange3(blk, 3, &Notes{a}, -5, "4C", "000000", "00"),
         "e3:CArticExpInitPrmChange3( 1{:w5}, -5, \"4C\", \"000000\", \"00\" )"},
        {new CArticExpInitPrmChangeKv(blk, 4, &m, "000000", "00"), "e4:CArticExpInitPrmChangeKv( 2/1/0, \"000000\", \"00\" )"},
        {new CArticExpInitPrmChangeKv2(blk, 5, 2, 3, &m, "000000", "00"),
         "e5:CArticExpInitPrmChangeKv2( 2, 3, 2/1/0, \"000000\", \"00\" )"},
        {new CArticExpInitPrmChangeKv3(blk, 6, &Notes{a}, 0, "000000", "00"),
         "e6:CArticExpInitPrmChangeKv3( 1{:w5}, 0, \"000000\", \"00\" )"},
        {new CArticExpInitKvinit(blk, 7, &m), "e7:CArticExpInitKvinit( 2/1/0 )"},
        {new CArticExpInitKvinit2(blk, 8, 1, 0, INT64(30)), "e8:CArticExpInitKvinit2( 1, 0, 30 )"},
        {new CArticExpInitPro(blk, 9, INT64(480), 0, 1, 25), "e9:CArticExpInitPro( 480, 0, 1, 25 )"},
        {new CArticExpInitPro2(blk, 10, 1, 0, &m, 0, 1, 25), "e10:CArticExpInitPro2( 1, 0, 2/1/0, 0, 1, 25 )"},
        {new CArticExpInitPro3(blk, 11, &Notes{a}, 0, 8, 1, 25), "e11:CArticExpInitPro3( 1{:w5}, 0, 8, 1, 25 )"},
        {new CArticExpInitPbRange(blk, 12, 1, &m, 12), "e12:CArticExpInitPbRange( 1, 2/1/0, 12 )"},
        {new CArticExpInitPbRange2(blk, 13, 0, 1, 0, INT64(5), 2), "e13:CArticExpInitPbRange2( 0, 1, 0, 5, 2 )"},
        {new CArticExpInitPbRange3(blk, 14, &Notes{a}, -200, 12), "e14:CArticExpInitPbRange3( 1{:w5}, -200, 12 )"},
    };
    for (const Case& c : cases) {
        blk->AddTail(c.e);
        EXPECT_EQ(LineOf(c.e), c.line);
        c.e->SetErrKind(3);
        c.e->SetError(1);
        CArticExpEvnt* clone = nullptr;
        ASSERT_EQ(CArticExpUtil::CopyEvnt(c.e, &clone, blk, c.e->GetEvntNo(), nullptr), 0) << c.line;
        EXPECT_EQ(LineOf(clone), c.line);
        EXPECT_EQ(clone->GetEvntType(), c.e->GetEvntType());
        EXPECT_EQ(clone->GetErrKind() + clone->GetError(), 0);
        EXPECT_EQ(clone->ConvToWrkCombine() + clone->ConvToWrk2() + clone->ConvToWrk3(), 0) << c.line;
        delete clone;
    }
}
