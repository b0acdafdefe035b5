// Clearing, de-duplicating, sorting and filtering the event array; a script
// composed of array built-ins; the array built-ins in the catalogue.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "BuiltinFixture.h"

using namespace bitest;

namespace {

struct ArrayClrTest : BuiltinTest {
    using Notes = std::vector<CArticWrkEvnt*>;
};

}  // namespace

TEST_F(ArrayClrTest, ClearingAPositionGrowsTheArrayAndThePastTheCapIsRefused) {
    CArticWrkEvnt* a = Note(1, 0);
    Fill({a, a, a, a, a});
    EXPECT_EQ(Run("CArticSrchClrArrayEvnt", {Num(7)}, a), 0);
    EXPECT_EQ(rul.GetRulDataEvntArray()->GetSize(), 10);
    EXPECT_EQ(rul.GetRulDataEvnt(7), nullptr);
    EXPECT_EQ(Run("CArticSrchClrArrayEvnt", {Num(2)}, a), 0);
    EXPECT_EQ(Positions(), (Notes{a, a, nullptr, a, a}));
    for (double idx : {2000000.0, 1e12, -1.0}) {
        EXPECT_EQ(Run("CArticSrchClrArrayEvnt", {Num(idx)}, a), 1) << idx;
        EXPECT_EQ(rul.GetRulDataEvntArray()->GetSize(), 10) << idx;
        EXPECT_EQ(Recorded(), "") << idx;
    }
    EXPECT_EQ(Run("CArticSrchClrAllArrayEvntType", {Num(0)}, a), 0);
    EXPECT_EQ(rul.GetRulDataEvntArray()->GetSize(), 10);
    EXPECT_EQ(Run("CArticSrchClrAllArrayEvntType", {Num(-1)}, a), 0);
    EXPECT_EQ(rul.GetRulDataEvntArray()->GetSize(), 0);
}

TEST_F(ArrayClrTest, ClearingByCountKeepsOrEmptiesTheFirstOccupiedPositions) {
    CArticWrkEvnt* n[5];
    for (ULONG i = 0; i < 5; ++i) n[i] = Note(i + 1, INT64(i) * 120);
    struct Case {
        double mode, count;
        std::vector<int> fill;  // note indexes, -1 an empty position
        double left;
        std::vector<int> want;
        int result;
    };
    const Case cases[] = {
        {0, 2, {0, 1, 2, 3, 4}, 2, {0, 1}, 0},
        {1, 2, {0, 1, 2, 3, 4}, 3, {-1, -1, 2, 3, 4}, 0},
        {0, 5, {0, 1, 2}, 3, {0, 1, 2}, 0},
        {0, 1, {-1, 0, -1, 1}, 1, {-1, 0}, 0},  // empty positions are not counted
        {2, 1, {0, 1}, 0, {0, 1}, 1},
        {0, -1, {0, 1}, 0, {0, 1}, 1},
    };
    for (const Case& k : cases) {
        rul.ClearRulDataEvntArray();
        for (size_t i = 0; i < k.fill.size(); ++i)
            if (k.fill[i] >= 0) rul.SetRulDataEvnt(ULONG(i), n[k.fill[i]]);
        double left = -1;
        EXPECT_EQ(RunValue("CArticSrchClrNumArrayEvnt", {k.mode, k.count}, &left), k.result) << k.mode << k.count;
        EXPECT_EQ(left, k.left) << k.mode << " " << k.count;
        Notes want;
        for (int i : k.want) want.push_back(i < 0 ? nullptr : n[i]);
        EXPECT_EQ(Positions(), want) << k.mode << " " << k.count;
        EXPECT_EQ(Recorded(), "");
    }
}

TEST_F(ArrayClrTest, DuplicatesAndTheNotesOfAnArrayVariableAreDropped) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticWrkEvnt* b = Note(2, 120);
    CArticWrkEvnt* c = Note(3, 240);
    Fill({a, b, a, a});
    double n = -1;
    EXPECT_EQ(RunValue("CArticSrchClrDupArrayEvnt", {}, &n), 0);
    EXPECT_EQ(n, 2.0);
    EXPECT_EQ(Positions(), (Notes{a, b}));
    Fill({a, nullptr, b, c, a});
    CArticRulDataVal* out = Val(1);
    EXPECT_EQ(Run("CArticSrchClrExvArrayEvnt", {Var(Ary(1, {a})), Var(out)}, a), 0);
    EXPECT_EQ(out->GetData(), 2.0);
    EXPECT_EQ(Positions(), (Notes{b, c}));
}

TEST_F(ArrayClrTest, SortsAreStableAndCompact) {
    CArticWrkEvnt* hiA = Note(1, 0, 64);
    CArticWrkEvnt* lo = Note(2, 0, 60);
    CArticWrkEvnt* hiB = Note(3, 0, 64);
    CArticWrkEvnt* mid = Note(4, 0, 62);
    struct Case {
        const char* name;
        std::vector<double> in;
        Notes want;
    };
    const Case cases[] = {
        {"CArticSrchSortArrayEvntFwdKey", {}, {lo, mid, hiA, hiB}},
        {"CArticSrchSortArrayEvntRvsKey", {}, {hiA, hiB, mid, lo}},
        {"CArticSrchSortArrayEvntFwdTime", {}, {hiA, lo, hiB, mid}},  // equal times keep array order
        {"CArticSrchSortArrayEvntType", {2}, {hiA, lo, hiB, mid}},
        {"CArticSrchSortArrayEvntType", {5}, {mid, hiB, lo, hiA}},
        {"CArticSrchSortArrayEvntNoteInfoType", {1, 3}, {mid, hiB, hiA, lo}},
    };
    hiA->SetNoteInfo(3, 2);
    lo->SetNoteInfo(3, 1);
    hiB->SetNoteInfo(3, 3);
    mid->SetNoteInfo(3, 4);
    for (const Case& k : cases) {
        Fill({hiA, lo, hiB, mid});
        CArticRulDataVal* out = Val(1);
        ElmList args{};
        for (double v : k.in) args.list.AddTail(Num(v));
        args.list.AddTail(Var(out));
        CExString name(k.name);
        CArticSrchEvnt* b = nullptr;
        ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, name, 7, &args.list, &b), 0);
        made.emplace_back(b);
        EXPECT_EQ(Run(b, lo), 0) << k.name;
        EXPECT_EQ(out->GetData(), 4.0) << k.name;
        EXPECT_EQ(Positions(), k.want) << k.name;
    }
    // Positions 0 and 2 only: the two end at 0 and 1.
    Fill({lo, nullptr, hiA});
    double n = -1;
    EXPECT_EQ(RunValue("CArticSrchSortArrayEvntType", {2}, &n), 0);
    EXPECT_EQ(Positions(), (Notes{lo, hiA}));
    EXPECT_EQ(RunValue("CArticSrchSortArrayEvntType", {12}, &n), 1);
    EXPECT_EQ(Recorded(), "12");
    EXPECT_EQ(n, 0.0);
    EXPECT_EQ(RunValue("CArticSrchSortArrayEvntNoteInfoType", {2, 0}, &n), 1);
    EXPECT_EQ(Recorded(), "");
    EXPECT_EQ(n, 0.0);
    EXPECT_EQ(RunValue("CArticSrchSortArrayEvntNoteInfoType", {0, 10}, &n), 1);
    EXPECT_EQ(Recorded(), "");
}

TEST_F(ArrayClrTest, PropertyFiltersKeepByKindAndLimit) {
    CArticWrkEvnt* low = Fingered(1, 0, 2, 55, 100);
    CArticWrkEvnt* mid = Fingered(2, 100, 3, 60, 300);
    CArticWrkEvnt* high = Note(3, 200, 72, 50, 120);  // no fingering
    low->SetPost2(90);
    struct Case {
        double kind, limit;
        Notes want;
    };
    const Case cases[] = {
        {8, 60, {mid, high}}, {9, 60, {low, mid}}, {0, -5, {low, mid, high}}, {0, 100, {mid, high}},
        {1, 100, {low, mid}}, {2, 100, {low, mid}}, {3, 99, {high}},         {4, 250, {high, mid}},
        {5, 100, {low}},      {6, 100, {mid, high}}, {7, 99, {low}},         {6, -3, {low, mid, high}},
        {10, 0, {}},          {10, 256, {}},       {10, 3, {low, mid, high}}, {11, 0, {low, mid, high}},
        {12, 2, {mid, high}}, {13, 2, {low, high}},
    };
    for (const Case& k : cases) {
        Fill({low, mid, high});
        if (k.kind == 4) Fill({high, mid, low});  // the filter keeps the array's order
        double n = -1;
        EXPECT_EQ(RunValue("CArticSrchRmvArrayEvntType", {k.kind, k.limit}, &n), 0) << k.kind << " " << k.limit;
        EXPECT_EQ(n, double(k.want.size())) << k.kind << " " << k.limit;
        EXPECT_EQ(Positions(), k.want) << k.kind << " " << k.limit;
    }
    Fill({low, mid, high});
    double n = -1;
    EXPECT_EQ(RunValue("CArticSrchRmvArrayEvntType", {14, 0}, &n), 1);
    EXPECT_EQ(Recorded(), "14");
    EXPECT_EQ(n, 0.0);
    EXPECT_EQ(Positions(), (Notes{low, mid, high}));
}

TEST_F(ArrayClrTest, TimeDistanceAttributeAndProbabilityFilters) {
    CArticWrkEvnt* a = Note(1, 100);
    CArticWrkEvnt* b = Note(2, 105);
    CArticWrkEvnt* c = Note(3, 111);
    CArticWrkEvnt* d = Note(4, 95);
    double n = -1;
    Fill({a, b, c, d});
    EXPECT_EQ(RunValue("CArticSrchRmvArrayEvntTimeCmp", {10}, &n), 0);
    EXPECT_EQ(n, 3.0);
    EXPECT_EQ(Positions(), (Notes{a, b, d}));
    Fill({nullptr, a, b});
    EXPECT_EQ(RunValue("CArticSrchRmvArrayEvntTimeCmp", {10}, &n), 0);
    EXPECT_EQ(Positions(), Notes{});
    EXPECT_EQ(RunValue("CArticSrchRmvArrayEvntTimeCmp", {-1}, &n), 1);
    EXPECT_EQ(Recorded(), "-1");

    b->SetProb(3, 0.5);
    c->SetProb(3, -1.0);
    struct Case {
        double kind, setNo;
        Notes want;
        int result;
    };
    const Case probs[] = {{0, 3, {b}, 0}, {1, 3, {a, d}, 0}, {2, 3, {}, 0}, {3, 3, {}, 0}, {4, 3, {a, b, c, d}, 1},
                          {0, -1, {a, b, c, d}, 1}};
    for (const Case& k : probs) {
        Fill({a, b, c, d});
        EXPECT_EQ(RunValue("CArticSrchRmvArrayEvntProb", {k.kind, k.setNo}, &n), k.result) << k.kind;
        EXPECT_EQ(Positions(), k.want) << k.kind << " " << k.setNo;
    }
    trk->SetTrkAttr(2);
    const Case attrs[] = {
        {0, 2, {}, 0}, {1, 2, {a, b, c, d}, 0}, {3, 5, {}, 0}, {4, 2, {}, 0}, {5, 2, {a, b, c, d}, 1},
    };
    for (const Case& k : attrs) {
        Fill({a, b, c, d});
        EXPECT_EQ(RunValue("CArticSrchRmvArrayEvntAttri", {k.kind, k.setNo}, &n), k.result) << k.kind;
        EXPECT_EQ(Positions(), k.want) << k.kind << " " << k.setNo;
    }
}

TEST_F(ArrayClrTest, ChordThinningKeepsOrRemovesTopAndBottomNotes) {
    CArticWrkEvnt* c = Note(1, 0, 60);
    CArticWrkEvnt* e = Note(2, 0, 64);
    CArticWrkEvnt* g = Note(3, 3, 67);
    CArticWrkEvnt* c2 = Note(4, 0, 60);
    CArticWrkEvnt* next = Note(5, 480, 50);
    struct Case {
        double kind;
        Notes fill, want;
    };
    const Case cases[] = {
        {0, {c, e, g, next}, {g, next}}, {1, {c, e, g, next}, {c, next}}, {2, {c, e, g, next}, {c, e, next}},
        // Each remaining note starts a window again: the bottom note goes twice.
        {3, {c, e, g, next}, {g, next}}, {2, {c, c2}, {c}}, {3, {c, c2}, {c}}, {0, {c}, {c}},
    };
    for (const Case& k : cases) {
        rul.ClearRulDataEvntArray();
        for (size_t i = 0; i < k.fill.size(); ++i) rul.SetRulDataEvnt(ULONG(i), k.fill[i]);
        double n = -1;
        EXPECT_EQ(RunValue("CArticSrchRmvArrayEvntChord", {k.kind, 5}, &n), 0) << k.kind;
        EXPECT_EQ(Positions(), k.want) << k.kind << " " << k.fill.size();
        EXPECT_EQ(n, k.fill.size() < 2 ? 0.0 : double(k.want.size())) << k.kind;
    }
    double n = -1;
    EXPECT_EQ(RunValue("CArticSrchRmvArrayEvntChord", {4, 5}, &n), 1);
    EXPECT_EQ(Recorded(), "4");
    EXPECT_EQ(RunValue("CArticSrchRmvArrayEvntChord", {0, -5}, &n), 1);
    EXPECT_EQ(Recorded(), "-5");
}

TEST_F(ArrayClrTest, SlotFiltersByValueAndByBitModulo32) {
    CArticWrkEvnt* a = Note(1, 0);
    CArticWrkEvnt* b = Note(2, 120);
    a->SetNoteInfo(0, 2);                     // bit 1
    b->SetNoteInfo(0, -2147483647 - 1);       // bit 31
    a->SetNoteInfo(5, 10);
    b->SetNoteInfo(5, 20);
    struct Case {
        const char* name;
        std::vector<double> in;
        Notes want;
        double n;
        int result;
    };
    const Case cases[] = {
        {"CArticSrchRmvArrayEvntNoteInfoBitType", {0, 33, 0}, {a}, 1, 0},
        {"CArticSrchRmvArrayEvntNoteInfoBitType", {0, -1, 0}, {b}, 1, 0},
        {"CArticSrchRmvArrayEvntNoteInfoBitType", {0, -1, 1}, {a}, 1, 0},
        {"CArticSrchRmvArrayEvntNoteInfoBitType", {0, 1, 2}, {a, nullptr, b}, 0, 0},  // untouched
        {"CArticSrchRmvArrayEvntNoteInfoType", {5, 0, 15}, {b}, 1, 0},
        {"CArticSrchRmvArrayEvntNoteInfoType", {5, 1, 15}, {a}, 1, 0},
        {"CArticSrchRmvArrayEvntNoteInfoType", {5, 2, 10}, {b}, 1, 0},
        {"CArticSrchRmvArrayEvntNoteInfoType", {5, 3, 10}, {a}, 1, 0},
        {"CArticSrchRmvArrayEvntNoteInfoType", {5, 4, 10}, {a, b}, 0, 1},
    };
    for (const Case& k : cases) {
        Fill({a, nullptr, b});
        double n = -1;
        EXPECT_EQ(RunValue(k.name, {k.in[0], k.in[1], k.in[2]}, &n), k.result) << k.name << k.in[1] << k.in[2];
        EXPECT_EQ(n, k.n) << k.name << " " << k.in[1] << " " << k.in[2];
        EXPECT_EQ(Positions(), k.want) << k.name << " " << k.in[1] << " " << k.in[2];
        EXPECT_EQ(Recorded(), "");
    }
    double n = -1;
    EXPECT_EQ(RunValue("CArticSrchRmvArrayEvntNoteInfoBitType", {10, 0, 0}, &n), 1);
    EXPECT_EQ(Recorded(), "10");
}

TEST_F(ArrayClrTest, ComposedScriptKeepsTheMeasuresLoudNotesInTimeOrder) {
    CArticWrkEvnt* loud1 = Note(1, 480, 60, 240, 110);
    CArticWrkEvnt* soft = Note(2, 0, 62, 240, 60);
    CArticWrkEvnt* loud2 = Note(3, 0, 64, 240, 100);
    Note(4, 1920, 65, 240, 127);  // the next measure
    Fill({soft, loud1});          // stale contents
    CArticRulDataAry* ary = Ary(1);
    CArticRulDataVal* n = Val(1);
    const std::vector<std::pair<const char*, std::vector<CArticRulElm*>>> script = {
        {"CArticSrchClrAllArrayEvnt", {}},
        {"CArticSrchPutArrayEvntMeas", {E(This()), Var(n)}},
        {"CArticSrchRmvArrayEvntType", {Num(6), Num(100), Var(n)}},
        {"CArticSrchGetArrayEvntAry", {Var(ary), Var(n)}},
        {"CArticSrchSetAryNoteInfoBitType", {Num(1), Var(ary), Num(4), Num(0), Num(1)}},
        {"CArticSrchClrAllArrayEvnt", {}},
        {"CArticSrchPutArrayEvntMeas", {E(This()), Var(n)}},
        {"CArticSrchSortArrayEvntType", {Num(2), Var(n)}},
        {"CArticSrchRmvArrayEvntNoteInfoBitType", {Num(4), Num(0), Num(0), Var(n)}},
    };
    for (const auto& line : script) {
        ElmList args{};
        for (CArticRulElm* e : line.second) args.list.AddTail(e);
        CExString name(line.first);
        CArticSrchEvnt* b = nullptr;
        ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, name, 7, &args.list, &b), 0) << line.first;
        made.emplace_back(b);
        EXPECT_EQ(Run(b, soft), 0) << line.first;
    }
    EXPECT_EQ(Positions(), (Notes{loud2, loud1}));
    EXPECT_EQ(n->GetData(), 2.0);
}

TEST_F(ArrayClrTest, ArrayBuiltinsAreInTheCatalogueAndClonesRunLikeOriginals) {
    const char* const names[] = {
        "CArticSrchGetArrayEvntType", "CArticSrchGetArrayEvntAry", "CArticSrchGetDupArrayEvnt",
        "CArticSrchGetHarmoArrayEvntAry", "CArticSrchProcArea", "CArticSrchAddArrayEvntNoteInfo",
        "CArticSrchEvaArrayEvntType", "CArticSrchEvaArrayEvntArp", "CArticSrchEvaArrayEvntRng",
        "CArticSrchPutArrayEvntMeas", "CArticSrchPutArrayEvntMeasWrk", "CArticSrchPutArrayEvntAry",
        "CArticSrchPutArrayEvntNumNext", "CArticSrchPutArrayEvntNumPre", "CArticSrchPutArrayEvntNumWrkNext",
        "CArticSrchPutArrayEvntNumWrkPre", "CArticSrchPutArrayEvntArea", "CArticSrchPutArrayEvntAreaWrk",
        "CArticSrchPutArrayEvntAreaEvnt", "CArticSrchPutArrayEvntAreaWrkByEvnt", "CArticSrchSetAryNoteInfoType",
        "CArticSrchSetAryNoteInfoBitType", "CArticSrchPutArrayEvntChord", "CArticSrchPutArrayEvntChord2",
        "CArticSrchPutArrayEvntChord3", "CArticSrchPutArrayEvntHarmo", "CArticSrchClrArrayEvnt",
        "CArticSrchClrNumArrayEvnt", "CArticSrchClrDupArrayEvnt", "CArticSrchClrExvArrayEvnt",
        "CArticSrchClrAllArrayEvnt", "CArticSrchClrAllArrayEvntType", "CArticSrchSortArrayEvntFwdKey",
        "CArticSrchSortArrayEvntRvsKey", "CArticSrchSortArrayEvntFwdTime", "CArticSrchSortArrayEvntRvsTime",
        "CArticSrchSortArrayEvntType", "CArticSrchSortArrayEvntNoteInfoType", "CArticSrchRmvArrayEvntTimeCmp",
        "CArticSrchRmvArrayEvntAttri", "CArticSrchRmvArrayEvntChord", "CArticSrchRmvArrayEvntProb",
        "CArticSrchRmvArrayEvntType", "CArticSrchRmvArrayEvntNoteInfoType", "CArticSrchRmvArrayEvntNoteInfoBitType",
    };
    ASSERT_EQ(sizeof(names) / sizeof(names[0]), 45u);
    for (const char* name : names) {
        const ArticSrchInfo* info = CArticSrchUtil::Find(name);
        ASSERT_NE(info, nullptr) << name;
        EXPECT_NE(info->make, nullptr) << name;
    }
    // Clones made from the bound lists run like their originals.
    CArticWrkEvnt* a = Note(1, 0, 64);
    CArticWrkEvnt* b = Note(2, 0, 60);
    CArticWrkEvnt* c = Note(3, 240, 67);
    c->SetNoteInfo(2, 3);
    CArticRulDataVal* out = Val(1);
    struct Line {
        const char* name;
        std::vector<CArticRulElm*> args;
    };
    const Line lines[] = {
        {"CArticSrchRmvArrayEvntNoteInfoType", {Num(2), Num(0), Num(1), Var(out)}},
        {"CArticSrchPutArrayEvntAreaWrkByEvnt", {E(This()), Num(0), Num(0), Num(100), Var(out)}},
        {"CArticSrchPutArrayEvntChord2", {E(This()), Num(30), Num(0.5), Num(240), Var(out)}},
        {"CArticSrchSortArrayEvntNoteInfoType", {Num(1), Num(2), Var(out)}},
        {"CArticSrchEvaArrayEvntType", {Num(2), Num(5), Var(out)}},
    };
    for (const Line& l : lines) {
        CArticSrchEvnt *original = nullptr, *clone = nullptr;
        MakeWithClone(l.name, l.args, &original, &clone);
        ASSERT_NE(clone, nullptr) << l.name;
        Notes after[2];
        double value[2];
        for (int i = 0; i < 2; ++i) {
            Fill({b, c, a});
            out->SetData(-1.0);
            EXPECT_EQ(Run(i ? clone : original, a), 0) << l.name;
            after[i] = Positions();
            value[i] = out->GetData();
        }
        EXPECT_EQ(after[0], after[1]) << l.name;
        EXPECT_EQ(value[0], value[1]) << l.name;
        EXPECT_NE(value[0], -1.0) << l.name;
    }
}

TEST_F(ArrayClrTest, FiltersAndRangesRunAgainSeeOnlyTheArrayOfTheirRun) {
    CArticWrkEvnt* low = Note(1, 0, 55);
    CArticWrkEvnt* mid = Note(2, 100, 60);
    CArticWrkEvnt* high = Note(3, 200, 72);
    CArticRulDataVal* n = Val(1);
    // Each built-in made once and run again, as a script runs it note after note.
    CArticSrchEvnt* keepHigh = Make("CArticSrchRmvArrayEvntType", {Num(8), Num(60), Var(n)});  // keys from 60
    CArticSrchEvnt* maxKey = Make("CArticSrchEvaArrayEvntRng", {Num(0), Var(n)});
    struct Case {
        Notes fill, kept;
        double maxKey;  // of the filled array; -1: none (the range fails)
    };
    const Case cases[] = {
        {{low, mid, high}, {mid, high}, 72}, {{low}, {}, 55},         {{high, nullptr, low}, {high}, 72},
        {{}, {}, -1},                        {{mid, low}, {mid}, 60}, {{low, high, low, mid}, {high, mid}, 72},
    };
    for (const Case& k : cases) {
        Fill(k.fill);
        EXPECT_EQ(Run(maxKey, low), k.maxKey < 0 ? 1 : 0) << k.maxKey;
        EXPECT_EQ(n->GetData(), k.maxKey < 0 ? 0.0 : k.maxKey);
        EXPECT_EQ(Run(keepHigh, low), 0);
        EXPECT_EQ(n->GetData(), double(k.kept.size()));
        EXPECT_EQ(Positions(), k.kept);
    }
}
