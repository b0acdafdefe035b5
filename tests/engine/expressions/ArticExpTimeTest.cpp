#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "ExpFixture.h"
#include "engine/expressions/ArticExpTime.h"
#include "engine/loaders/ArticExpUtil.h"

using namespace exptest;

namespace {

using Span = std::pair<INT64, INT64>;

// (start, end) of the middle part block's notes, in list order.
std::vector<Span> Spans(const World& w) {
    std::vector<Span> spans;
    for (const NoteRow& r : NoteRows(w.MidPartBlk())) spans.emplace_back(r.time, r.time + r.gate);
    return spans;
}



}  // namespace

TEST(ArticExpTime, ShiftStopsAtTickZeroAndMovesTheLinkedEvent) {
    World w;
    CArticWrkEvnt* a = w.Note(5, 10, 60, 100);
    CArticWrkEvnt* b = w.Note(6, 500, 62, 100);
    w.Note(7, 480, 64, 10);
    CArticWrkEvnt linked(nullptr, 99);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpTimeSft(blk, 1, &Notes{a, b}, -30));
    w.Prepare();
    w.mid.GetEvntByNo(5)->SetProcWrkEvnt(&linked);
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    mgr.ReLinkExp();
    EXPECT_EQ(mgr.ConvToWrk(), 0);
    mgr.ConvToWrk3();
    // The block stays in time order: the moved note at 470 goes before the one at 480.
    EXPECT_EQ(Spans(w), (std::vector<Span>{{0, 100}, {470, 570}, {480, 490}}));
    EXPECT_EQ(linked.GetTimeShift(), -10);
}

TEST(ArticExpTime, ShiftAtTheTopOfTheTickRangeIsHeldThere) {
    World w;
    CArticWrkEvnt* a = w.Note(5, INT64_MAX - 10, 60, 5);
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpTimeSft(blk, 1, &Notes{a}, 100));
    EXPECT_EQ(w.Phase1(), 0);
    EXPECT_EQ(NoteRows(w.MidPartBlk()), (std::vector<NoteRow>{{INT64_MAX, 60, 5, 100}}));
}

TEST(ArticExpTime, ShiftWithoutNotesReports) {
    CArticErr::Clear();
    CArticExpTimeSft sft(nullptr, 1, nullptr, 10);
    EXPECT_EQ(sft.ConvToWrk(), 1);
    EXPECT_GE(ShownText().Find("操作ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ作成中にｴﾗｰが発生しました。"), 0);
    CArticErr::Delete();
}

TEST(ArticExpTime, SecondShiftCanGatherTheSkippedControllers) {
    for (BYTE type : {BYTE(1), BYTE(0)}) {
        World w;
        CArticWrkEvnt* note = w.Note(5, 960, 60, 100);
        const std::vector<std::pair<ULONG, INT64>> ccs{{20, 899}, {21, 900}, {22, 930}, {23, 960}, {24, 961}};
        for (const auto& [no, t] : ccs) wrktest::AddCc(w.partBlk, no, t, 11, 100);
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpTimeSft2(blk, 1, &Notes{note}, -60, type));
        EXPECT_EQ(w.Phase1(), 0);
        EXPECT_EQ(w.mid.GetEvntByNo(5)->GetTime(), 900);
        const std::vector<INT64> expected = type ? std::vector<INT64>{899, 900, 900, 900, 961}
                                                 : std::vector<INT64>{899, 900, 930, 960, 961};
        std::vector<INT64> got;
        for (const auto& cc : ccs) got.push_back(w.mid.GetEvntByNo(cc.first)->GetTime());
        EXPECT_EQ(got, expected) << int(type);
    }
}

TEST(ArticExpTime, SwingMapsStartsAndEndsInsideTheGroups) {
    struct Case {
        BYTE type;
        std::vector<std::pair<INT64, INT64>> notes;  // (start, gate)
        std::vector<Span> after;
    };
    const Case cases[] = {
        {0, {{0, 240}, {240, 240}}, {{0, 320}, {320, 480}}},
        {2, {{0, 240}, {240, 240}}, {{0, 320}, {240, 480}}},
        {4, {{0, 240}, {240, 240}}, {{0, 240}, {320, 480}}},
        {1, {{1000, 100}}, {{1013, 1147}}},  // groups counted from 960
        {0, {{1000, 100}}, {{1000, 1133}}},  // from the first note
    };
    for (const Case& c : cases) {
        World w;
        Notes listed{};
        ULONG no = 5;
        for (const auto& [t, g] : c.notes) listed.list.AddTail(w.Note(no++, t, 60, g));
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpTimeSwing(blk, 1, &listed, c.type, 480, 2, 1, 320));
        EXPECT_EQ(w.Phase1(), 0) << int(c.type);
        EXPECT_EQ(Spans(w), c.after) << int(c.type);
    }
}

TEST(ArticExpTime, GroupFailures) {
    struct Case {
        const char* what;
        std::function<CArticExpEvnt*(CArticExpBlk*, const CArticWrkEvntList*)> make;
        const char* shown;
    };
    const Case cases[] = {
        {"swing without group length",
         [](CArticExpBlk* b, const CArticWrkEvntList* n) { return new CArticExpTimeSwing(b, 1, n, 1, 0, 2, 1, 320); },
         "GroupTime = 0"},
        {"waltz without group length",
         [](CArticExpBlk* b, const CArticWrkEvntList* n) {
             return new CArticExpTimeWaltz(b, 1, n, 0, 0, 6, 2, 120, 4, 360);
         },
         "GroupTime = 0"},
        {"waltz of two divisions",
         [](CArticExpBlk* b, const CArticWrkEvntList* n) {
             return new CArticExpTimeWaltz(b, 1, n, 0, 480, 2, 1, 120, 2, 360);
         },
         "分割数が３より小さい。"},
        {"swing note before the origin",
         [](CArticExpBlk* b, const CArticWrkEvntList* n) {
             CArticWrkEvntList reversed;
             for (POSITION p = n->GetTailPosition(); p;) reversed.AddTail(n->GetPrev(p));
             return new CArticExpTimeSwing(b, 1, &reversed, 0, 480, 2, 1, 320);
         },
         "指定時刻が開始時刻より早い。"},
    };
    for (const Case& c : cases) {
        CArticErr::Clear();
        World w;
        CArticWrkEvnt* a = w.Note(5, 0, 60, 240);
        CArticWrkEvnt* b = w.Note(6, 960, 60, 240);
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(c.make(blk, &Notes{a, b}));
        EXPECT_EQ(w.Phase1(), 1) << c.what;
        EXPECT_GE(ShownText().Find(c.shown), 0) << c.what;
        if (std::string(c.what).find("group length") != std::string::npos)
            EXPECT_EQ(Spans(w), (std::vector<Span>{{0, 240}, {960, 1200}})) << c.what;
        CArticErr::Delete();
    }
}

TEST(ArticExpTime, WaltzMovesTwoPoints) {
    World w;
    CArticWrkEvnt* first = w.Note(5, 0, 60, 10);  // the groups start at the first note
    CArticWrkEvnt* a = w.Note(6, 160, 60, 160);
    CArticExpBlk* blk = w.PartExpBlk();
    // Six divisions of 480: point 2 (160) to 120, point 4 (320) to 360.
    blk->AddTail(new CArticExpTimeWaltz(blk, 1, &Notes{first, a}, 0, 480, 6, 2, 120, 4, 360));
    EXPECT_EQ(w.Phase1(), 0);
    EXPECT_EQ(Spans(w), (std::vector<Span>{{0, 8}, {120, 360}}));
}

TEST(ArticExpTime, WritersCopiesAndPhases) {
    World w;
    CArticWrkEvnt* a = w.Note(5, 0);
    CArticExpBlk* blk = w.PartExpBlk();
    struct Case {
        CArticExpEvnt* e;
        const char* line;
    };
    const Case cases[] = {
        {new CArticExpTimeSft(blk, 3, &Notes{a}, -30), "e3:CArticExpTimeSft( 1{:w5}, -30 )"},
        {new CArticExpTimeSft2(blk, 4, &Notes{a}, 15, 1), "e4:CArticExpTimeSft2( 1{:w5}, 15, 1 )"},
        {new CArticExpTimeSwing(blk, 5, &Notes{a}, 0, 480, 2, 1, 320), "e5:CArticExpTimeSwing( 1{:w5}, 0, 480, 2, 1, 320 )"},
        {new CArticExpTimeWaltz(blk, 6, &Notes{a}, 1, 480, 6, 2, 120, 4, 360),
         "e6:CArticExpTimeWaltz( 1{:w5}, 1, 480, 6, 2, 120, 4, 360 )"},
    };
    for (const Case& c : cases) {
        blk->AddTail(c.e);
        EXPECT_EQ(LineOf(c.e), c.line);
        c.e->SetErrKind(3);
        CArticExpEvnt* clone = nullptr;
        ASSERT_EQ(CArticExpUtil::CopyEvnt(c.e, &clone, blk, c.e->GetEvntNo(), nullptr), 0) << c.line;
        EXPECT_EQ(LineOf(clone), c.line);
        EXPECT_EQ(clone->GetErrKind(), 0);
        EXPECT_EQ(clone->ConvToWrkCombine() + clone->ConvToWrk2() + clone->ConvToWrk3(), 0) << c.line;
        delete clone;
    }
}
