#include <gtest/gtest.h>

#include <functional>

#include "ExpFixture.h"
#include "engine/expressions/ArticExpOrnament.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/work/ArticWrkUtil.h"

using namespace exptest;

namespace {

// (time, key, gate) of the middle part block's notes.
struct Played {
    INT64 time;
    int key;
    INT64 gate;
    bool operator==(const Played& o) const { return time == o.time && key == o.key && gate == o.gate; }
};

std::ostream& operator<<(std::ostream& os, const Played& p) {
    return os << "(" << p.time << "," << p.key << "," << p.gate << ")";
}

std::vector<Played> PlayedNotes(const World& w) {
    std::vector<Played> out;
    for (const NoteRow& r : NoteRows(w.MidPartBlk())) out.push_back({r.time, r.key, r.gate});
    return out;
}

// A world in C major (4/4) whose part holds one note of key 60.
struct OrnamentWorld : World {
    CArticWrkEvnt* source;
    explicit OrnamentWorld(INT64 gate, BYTE key = 60) {
        wrk.SetMeasBlk(masterBlk);
        wrktest::AddBeat(masterBlk, 1, 0, 4, 2, 1);
        CArticWrkEvnt* sig = wrktest::NewMeta(masterBlk, 2, 0, 0x59, {0, 0});
        masterBlk->AddTail(sig, 1);
        masterBlk->SetCondPos(sig);
        source = Note(5, 0, key, gate);
    }
    CArticExpBlk* Blk() { return PartExpBlk(); }
};



}  // namespace

TEST(ArticExpOrnament, TurnsReplaceTheNote) {
    using Make = std::function<CArticExpEvnt*(CArticExpBlk*, CArticWrkEvnt*)>;
    struct Case {
        const char* what;
        INT64 gate;
        Make make;
        std::vector<Played> after;
    };
    const Case cases[] = {
        {"five-note turn", 482,
         [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpArrayTurn1(b, 1, &Notes{n}, 0, 2, -1); },
         {{0, 60, 96}, {96, 62, 96}, {192, 60, 96}, {288, 59, 96}, {384, 60, 98}}},
        {"turn held on its start", 480,
         [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpArrayTurn2(b, 1, &Notes{n}, 1, 2, -2); },
         {{0, 60, 159}, {159, 62, 53}, {212, 60, 53}, {265, 58, 53}, {318, 60, 162}}},
        {"late turn from below", 480,
         [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpArrayTurn3(b, 1, &Notes{n}, 0, 1, -1); },
         {{0, 60, 240}, {240, 59, 60}, {300, 60, 60}, {360, 61, 60}, {420, 60, 60}}},
        {"neighbours clamped", 40,
         [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpArrayTurn1(b, 1, &Notes{n}, 1, 100, -100); },
         {{0, 127, 10}, {10, 60, 10}, {20, 0, 10}, {30, 60, 10}}},
        {"diatonic neighbours in C major", 400,
         [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpArrayTurn4(b, 1, &Notes{n}, 1, 0, 0, 0); },
         {{0, 62, 100}, {100, 60, 100}, {200, 59, 100}, {300, 60, 100}}},
        {"a gate shorter than the parts makes only the last note", 3,
         [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpArrayTurn1(b, 1, &Notes{n}, 0, 2, -1); },
         {{0, 60, 3}}},
    };
    for (const Case& c : cases) {
        OrnamentWorld w(c.gate);
        CArticWrkEvnt* other = w.Note(6, 960, 64, 100);  // listed second: left alone
        CArticExpEvnt* e = c.make(w.Blk(), w.source);
        static_cast<CArticExpArray*>(e)->GetWrkEvntList()->AddTail(other);
        w.Blk()->AddTail(e);
        w.Run();
        std::vector<Played> expected = c.after;
        expected.push_back({960, 64, 100});
        EXPECT_EQ(PlayedNotes(w), expected) << c.what;
    }
}

TEST(ArticExpOrnament, TrillsReplaceTheNote) {
    using Make = std::function<CArticExpEvnt*(CArticExpBlk*, CArticWrkEvnt*)>;
    struct Case {
        const char* what;
        INT64 gate;
        Make make;
        std::vector<Played> after;
    };
    const Case cases[] = {
        {"upward trill", 250,
         [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpArrayTrill1(b, 1, &Notes{n}, 60, 2, 1, 0, 0, 0, 0); },
         {{0, 60, 60}, {60, 62, 60}, {120, 60, 60}, {180, 62, 70}}},
        {"trill starting above", 250,
         [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpArrayTrill1(b, 1, &Notes{n}, 60, -2, 1, 0, 0, 0, 0); },
         {{0, 62, 60}, {60, 60, 60}, {120, 62, 60}, {180, 60, 70}}},
        {"front turn and a closing note", 480,
         [](CArticExpBlk* b, CArticWrkEvnt* n) {
             return new CArticExpArrayTrill1(b, 1, &Notes{n}, 100, 1, 2, 2, 80, 1, 100);
         },
         {{0, 61, 20}, {20, 60, 20}, {40, 58, 20}, {60, 60, 20}, {80, 60, 100}, {180, 61, 100}, {280, 60, 100},
          {380, 60, 100}}},
        {"diatonic trill", 200,
         [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpArrayTrill2(b, 1, &Notes{n}, 100, 0, 0, 0, 0, 0, 0, 0); },
         {{0, 60, 100}, {100, 62, 100}}},
    };
    for (const Case& c : cases) {
        OrnamentWorld w(c.gate);
        w.Blk()->AddTail(c.make(w.Blk(), w.source));
        w.Run();
        EXPECT_EQ(PlayedNotes(w), c.after) << c.what;
    }
}

TEST(ArticExpOrnament, AnOrnamentThatMakesNothingFailsAndKeepsTheNote) {
    using Make = std::function<CArticExpEvnt*(CArticExpBlk*, CArticWrkEvnt*)>;
    struct Case {
        const char* what;
        Make make;
        const char* shown;
    };
    const Case cases[] = {
        {"turn pattern 3", [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpArrayTurn1(b, 1, &Notes{n}, 3, 2, -1); },
         "ﾀｰﾝﾊﾟﾀｰﾝ = 3"},
        {"back as long as the note",
         [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpArrayTrill1(b, 1, &Notes{n}, 60, 2, 1, 0, 0, 1, 480); },
         "後打音ﾊﾟﾀｰﾝ = 1"},
        {"trill notes of no length",
         [](CArticExpBlk* b, CArticWrkEvnt* n) { return new CArticExpArrayTrill1(b, 1, &Notes{n}, 0, 2, 1, 2, 80, 0, 0); },
         "前打音ﾊﾟﾀｰﾝ = 2"},
    };
    for (const Case& c : cases) {
        CArticErr::Clear();
        OrnamentWorld w(480);
        w.Blk()->AddTail(c.make(w.Blk(), w.source));
        w.Run();
        EXPECT_EQ(PlayedNotes(w), (std::vector<Played>{{0, 60, 480}})) << c.what;
        EXPECT_EQ(w.sortBlk.Get(0)->GetError(), 1) << c.what;
        EXPECT_GE(ShownText().Find(c.shown), 0) << c.what;
        CArticErr::Delete();
    }
}

TEST(ArticExpOrnament, SourceAlreadyRemovedIsNotReadAgain) {
    OrnamentWorld w(480);
    w.Blk()->AddTail(new CArticExpDel(w.Blk(), 1, &Notes{w.source}));
    w.Blk()->AddTail(new CArticExpArrayTurn1(w.Blk(), 2, &Notes{w.source}, 0, 2, -1));
    w.Prepare();
    CArticExpMgr mgr(&w.wrk, &w.exp, &w.sortBlk, &w.pasn, &w.mid);
    mgr.ReLinkExp();
    EXPECT_EQ(mgr.ConvToWrk(), 0);
    EXPECT_EQ(mgr.ConvToWrk2(), 1);  // the turn's source went with the deletion
    mgr.ConvToWrk3();
    EXPECT_EQ(PlayedNotes(w).size(), 5u);
}

TEST(ArticExpOrnament, WritersCopiesAndPhases) {
    using Make = std::function<CArticExpEvnt*(CArticExpBlk*, CArticWrkEvnt*)>;
    struct Case {
        Make make;
        const char* line;
    };
    const Case cases[] = {
        {[](CArticExpBlk* b, CArticWrkEvnt* a) { return new CArticExpArrayTurn1(b, 1, &Notes{a}, 0, 2, -1); },
         "e1:CArticExpArrayTurn1( 1{:w5}, 0, 2, -1 )"},
        {[](CArticExpBlk* b, CArticWrkEvnt* a) { return new CArticExpArrayTurn2(b, 1, &Notes{a}, 1, 1, -1); },
         "e1:CArticExpArrayTurn2( 1{:w5}, 1, 1, -1 )"},
        {[](CArticExpBlk* b, CArticWrkEvnt* a) { return new CArticExpArrayTurn3(b, 1, &Notes{a}, 0, 1, 1); },
         "e1:CArticExpArrayTurn3( 1{:w5}, 0, 1, 1 )"},
        {[](CArticExpBlk* b, CArticWrkEvnt* a) { return new CArticExpArrayTurn4(b, 1, &Notes{a}, 0, -1, 0, 1); },
         "e1:CArticExpArrayTurn4( 1{:w5}, 0, -1, 0, 1 )"},
        {[](CArticExpBlk* b, CArticWrkEvnt* a) { return new CArticExpArrayTurn5(b, 1, &Notes{a}, 2, 1, 1, 0); },
         "e1:CArticExpArrayTurn5( 1{:w5}, 2, 1, 1, 0 )"},
        {[](CArticExpBlk* b, CArticWrkEvnt* a) { return new CArticExpArrayTurn6(b, 1, &Notes{a}, 1, 0, 0, 0); },
         "e1:CArticExpArrayTurn6( 1{:w5}, 1, 0, 0, 0 )"},
        {[](CArticExpBlk* b, CArticWrkEvnt* a) {
             return new CArticExpArrayTrill1(b, 1, &Notes{a}, 60, 2, 1, 2, 80, 3, 90);
         },
         "e1:CArticExpArrayTrill1( 1{:w5}, 60, 2, 1, 2, 80, 3, 90 )"},
        {[](CArticExpBlk* b, CArticWrkEvnt* a) {
             return new CArticExpArrayTrill2(b, 1, &Notes{a}, 60, 1, 2, -1, 1, 40, 4, 120);
         },
         "e1:CArticExpArrayTrill2( 1{:w5}, 60, 1, 2, -1, 1, 40, 4, 120 )"},
    };
    for (const Case& c : cases) {
        OrnamentWorld w(480);
        CArticExpEvnt* e = c.make(w.Blk(), w.source);
        w.Blk()->AddTail(e);
        EXPECT_EQ(LineOf(e), c.line);
        e->SetErrKind(3);
        CArticExpEvnt* clone = nullptr;
        ASSERT_EQ(CArticExpUtil::CopyEvnt(e, &clone, w.Blk(), e->GetEvntNo(), nullptr), 0) << c.line;
        EXPECT_EQ(LineOf(clone), c.line);
        EXPECT_EQ(clone->GetErrKind(), 0);
        delete clone;
        // Bound to the middle data: notes only in phase 1, the source gone only in phase 2.
        w.Prepare();
        CArticExpEvnt* bound = nullptr;
        ASSERT_EQ(CArticExpUtil::CopyEvnt(e, &bound, &w.sortBlk, e->GetEvntNo(), &w.mid), 0);
        w.sortBlk.AddTail(bound);
        const int before = w.MidPartBlk()->GetCount();
        EXPECT_EQ(bound->ConvToWrkCombine() + bound->ConvToWrk3(), 0) << c.line;
        EXPECT_EQ(w.MidPartBlk()->GetCount(), before) << c.line;
        CArticWrkUtil::SetExpEvnt(bound);
        EXPECT_EQ(bound->ConvToWrk(), 0) << c.line;
        const int made = w.MidPartBlk()->GetCount();
        EXPECT_GT(made, before) << c.line;
        EXPECT_EQ(bound->ConvToWrk2(), 0) << c.line;
        CArticWrkUtil::SetExpEvnt(nullptr);
        EXPECT_EQ(w.MidPartBlk()->GetCount(), made - 1) << c.line;
    }
}
