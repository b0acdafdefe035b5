#include <gtest/gtest.h>

#include <algorithm>

#include "ExpFixture.h"
#include "engine/expressions/ArticExpStop.h"
#include "engine/loaders/ArticExpUtil.h"

using namespace exptest;

namespace {

// (key, start, gate) of the middle note of each key, and whether the block is in time order.
struct Voice {
    int key;
    INT64 time, gate;
    bool operator==(const Voice& o) const { return key == o.key && time == o.time && gate == o.gate; }
};

std::vector<Voice> Voices(const World& w) {
    std::vector<Voice> out;
    for (const NoteRow& r : NoteRows(w.MidPartBlk())) out.push_back({r.key, r.time, r.gate});
    std::sort(out.begin(), out.end(), [](const Voice& a, const Voice& b) { return a.key < b.key; });
    return out;
}

bool InTimeOrder(const CArticWrkBlk* blk) {
    INT64 last = -1;
    for (POSITION p = blk->GetHeadPos(); p;) {
        const INT64 t = blk->GetNext(p)->GetTime();
        if (t < last) return false;
        last = t;
    }
    return true;
}


}  // namespace

TEST(ArticExpStop, ChordsBecomeStops) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, INT64>> chord;  // (key, start), gate 480
        signed char direction;
        std::vector<Voice> after;
    };
    const Case cases[] = {
        {"lower notes first", {{67, 960}, {60, 960}, {64, 960}}, 1, {{60, 960, 50}, {64, 960, 480}, {67, 990, 450}}},
        {"higher notes first", {{67, 960}, {60, 960}, {64, 960}}, -1, {{60, 990, 450}, {64, 960, 480}, {67, 960, 50}}},
        {"uneven starts gather at the earliest", {{60, 900}, {64, 960}, {67, 1000}}, 1,
         {{60, 900, 50}, {64, 900, 540}, {67, 930, 550}}},
        {"the highest note starting first", {{60, 960}, {64, 960}, {67, 700}}, 1,
         {{60, 700, 50}, {64, 700, 740}, {67, 730, 450}}},
        {"four notes", {{72, 960}, {60, 960}, {67, 960}, {64, 960}}, 1,
         {{60, 960, 50}, {64, 960, 50}, {67, 990, 450}, {72, 990, 450}}},
        {"four notes from above", {{72, 960}, {60, 960}, {67, 960}, {64, 960}}, -1,
         {{60, 990, 450}, {64, 990, 450}, {67, 960, 50}, {72, 960, 50}}},
        {"two notes stay", {{60, 960}, {64, 960}}, 1, {{60, 960, 480}, {64, 960, 480}}},
        {"five notes stay", {{60, 960}, {62, 960}, {64, 960}, {65, 960}, {67, 960}}, 1,
         {{60, 960, 480}, {62, 960, 480}, {64, 960, 480}, {65, 960, 480}, {67, 960, 480}}},
    };
    for (const Case& c : cases) {
        World w;
        Notes chord{};
        ULONG no = 5;
        for (const auto& [key, t] : c.chord) chord.list.AddTail(w.Note(no++, t, BYTE(key), 480));
        w.Note(20, 970, 40, 10);  // another voice between the starts
        CArticExpBlk* blk = w.PartExpBlk();
        blk->AddTail(new CArticExpArrayStop(blk, 1, &chord, c.direction, 30, 20));
        EXPECT_EQ(w.Phase1(), 0) << c.what;
        std::vector<Voice> expected{{40, 970, 10}};
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(Voices(w), expected) << c.what;
        EXPECT_TRUE(InTimeOrder(w.MidPartBlk())) << c.what;
    }
}

TEST(ArticExpStop, NoDirectionFails) {
    CArticErr::Clear();
    World w;
    Notes chord{w.Note(5, 0, 60), w.Note(6, 0, 64), w.Note(7, 0, 67)};
    CArticExpBlk* blk = w.PartExpBlk();
    blk->AddTail(new CArticExpArrayStop(blk, 1, &chord, 0, 30, 20));
    EXPECT_EQ(w.Phase1(), 1);
    const CString shown = CArticErr::GetErrDlg()->GetAllMsg();
    EXPECT_EQ(shown.Find("中間操作ﾃﾞｰﾀ作成時にｴﾗｰが発生しました。\r"), 0);
    EXPECT_GE(shown.Find("ConvToOpe"), 0);
    EXPECT_EQ(Voices(w), (std::vector<Voice>{{60, 0, 480}, {64, 0, 480}, {67, 0, 480}}));
    CArticErr::Delete();
}

TEST(ArticExpStop, WritersCopiesAndPhases) {
    World w;
    CArticWrkEvnt* g = w.Note(5, 0, 67);
    CArticWrkEvnt* c = w.Note(6, 0, 60);
    CArticWrkEvnt* e = w.Note(7, 0, 64);
    CArticExpBlk* blk = w.PartExpBlk();
    CArticMeas from(2, 1, 0), to(2, 3, 0);
    CArticExpEvnt* stop = new CArticExpArrayStop(blk, 1, &Notes{g, c, e}, 1, 30, 20);
    CArticExpEvnt* usr = new CArticExpArrayUsrStop(blk, 2, &Notes{g}, "word", 0, &from, &to, -1, 30, 20);
    blk->AddTail(stop);
    blk->AddTail(usr);
    struct Case {
        CArticExpEvnt* e;
        const char* line;
    };
    for (const Case& k : {Case{stop, "e1:CArticExpArrayStop( 3{:w6,:w7,:w5}, 1, 30, 20 )"},
                          Case{usr, "e2:CArticExpArrayUsrStop( 1{:w5}, \"word\", 0, 2/1/0, 2/3/0, -1, 30, 20 )"}}) {
        CStringList lines;
        ASSERT_EQ(k.e->GetStrList(lines), 0);
        EXPECT_EQ(lines.GetHead(), k.line);
        k.e->SetErrKind(3);
        CArticExpEvnt* clone = nullptr;
        ASSERT_EQ(CArticExpUtil::CopyEvnt(k.e, &clone, blk, k.e->GetEvntNo(), nullptr), 0);
        CStringList cloned;
        ASSERT_EQ(clone->GetStrList(cloned), 0);
        EXPECT_EQ(cloned.GetHead(), k.line);
        EXPECT_EQ(clone->GetErrKind(), 0);
        EXPECT_EQ(clone->ConvToWrkCombine() + clone->ConvToWrk2() + clone->ConvToWrk3(), 0);
        delete clone;
    }
}
