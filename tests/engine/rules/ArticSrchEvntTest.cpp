#include <gtest/gtest.h>

#include "RulesFixture.h"
#include "engine/rules/ArticSrchBase.h"

using namespace rultest;
using namespace wrktest;

namespace {

// A built-in with no arguments of its own, to reach the shared readers.
struct Probe : CArticSrchEvnt {
    using CArticSrchEvnt::CArticSrchEvnt;
};

// 4/4 from bar 1. Block on one track: a(bar1, string1) b(bar1, string2)
// c(bar2, string1) d(bar2, no fingering) e(bar3, string1); nothing in bar 4.
struct Srch : SetFixture {
    CArticWrkTrk* trk = AddTrack(wrk, 1);
    CArticWrkBlk* meas = AddBlock(trk, 0);
    CArticWrkBlk* blk = AddBlock(trk, 1);
    CArticWrkEvnt *a, *b, *c, *d, *e;
    Probe* probe = nullptr;
    void SetUp() override {
        SetFixture::SetUp();
        wrk.SetMeasBlk(meas);
        AddBeat(meas, 100, 0, 4, 2, 1);
        a = Note(1, 0, 60, 1);
        b = Note(2, 480, 62, 2);
        c = Note(3, 1920, 64, 1);
        d = Note(4, 2400, 65, 0);
        e = Note(5, 3840, 67, 1);
        probe = new Probe(set, 1);
    }
    void TearDown() override { delete probe; }
    CArticWrkEvnt* Note(ULONG no, INT64 time, BYTE key, BYTE string) {
        CArticWrkEvnt* n = AddNote(blk, no, time, key);
        n->SetTime(time, 1);
        if (string) n->SetFngrInfo(0, string, 0, 0);
        return n;
    }
};

}  // namespace

TEST_F(Srch, ReadingNumbers) {
    CArticRulDataVal* v1 = NewVal(1, List({Num(4)}));
    CArticRulDataEvnt* cur = set->GetDataEvnt();
    set->SetWrkEvnt(c);
    c->SetProb(3, 0.75);
    struct Case {
        CArticRulElm* elm;
        int rc;
        double value;
    } cases[] = {
        {Var(v1, kElmPlain, kSignNone, 0), 0, -4.0},
        {Num(-3), 0, -3.0},
        {Num(3, kSignNone, 0), 0, -3.0},
        {Var(v1, kElmKey), 1, 0},                       // a value variable with a member
        {Var(cur, kElmKey), 0, 64.0},
        {Var(cur, kElmProb, kSignNone, 1, 3.9), 0, 0.75},  // set 3 by truncation
        {Var(cur, kElmEvnt), 1, 0},                     // a note is no number
        {Text("\"t\""), 1, 0},
        {Group({Num(1)}), 1, 0},
    };
    for (const Case& k : cases) {
        double v = 99;
        EXPECT_EQ(probe->GetData(k.elm, &v), k.rc);
        EXPECT_EQ(v, k.rc == 0 ? k.value : 99.0);
        delete k.elm;
    }
    EXPECT_EQ(probe->GetData(static_cast<CArticRulElm*>(nullptr), static_cast<double*>(nullptr)), 1);
}

TEST_F(Srch, ReadingTexts) {
    auto* s1 = new CArticRulDataStr(set, 1);
    CString t("Vib.mid");
    s1->SetData(&t);
    set->SetDataStr(s1);
    CArticRulDataVal* v1 = NewVal(1, List({Num(4)}));
    ElmList args{Var(s1), Text("\"x\""), Text(""), Num(5), Var(v1), Var(s1, kElmKey)};
    const int rcs[] = {0, 0, 1, 1, 1, 1};
    const char* texts[] = {"Vib.mid", "\"x\"", "-", "-", "-", "-"};
    int i = 0;
    for (POSITION p = args.list.GetHeadPosition(); p; ++i) {
        CString text("-");
        EXPECT_EQ(probe->GetData(args.list.GetNext(p), &text), rcs[i]) << i;
        EXPECT_EQ(text, texts[i]) << i;
    }
}

TEST_F(Srch, VariablesOfArgumentsInputOrOutput) {
    CArticRulDataVal* v2 = NewVal(2);
    ElmList args{Var(v2), Var(v2), Num(1)};  // &_val2 and _val2 store the same element form
    CArticRulDataVal* got1 = nullptr;
    CArticRulDataVal* got2 = nullptr;
    EXPECT_EQ(probe->GetRulDataVal(args.list.GetHead(), &got1), 0);
    EXPECT_EQ(probe->GetRulDataVal(args.list.GetTail(), &got2), 1);
    EXPECT_EQ(got1, v2);
    EXPECT_EQ(got2, nullptr);
    CArticRulDataEvnt* ev = nullptr;
    EXPECT_EQ(probe->GetRulDataEvnt(args.list.GetHead(), &ev), 1);
    EXPECT_EQ(ev, nullptr);
}

TEST_F(Srch, EventArgumentsAndTheirErrorFlag) {
    CArticRulDataEvnt* cur = set->GetDataEvnt();
    // #evnt1:_thisEvnt.Next while the current note has no next note on its string.
    CArticRulDataEvnt* e1 = NewEvnt(1);
    e1->SetDataEvnt(cur, kElmNext);
    set->SetWrkEvnt(e);
    ElmList args{Var(e1, kElmKey), Var(cur, kElmNext), Var(cur, kElmEvnt), Num(2)};
    POSITION p = args.list.GetHeadPosition();
    CArticRulElm* key = args.list.GetNext(p);
    CArticRulElm* next = args.list.GetNext(p);
    CArticRulElm* self = args.list.GetNext(p);
    CArticRulElm* num = args.list.GetNext(p);
    double v = 0;
    EXPECT_EQ(probe->GetErrInfo(key), 0);
    EXPECT_EQ(probe->GetData(key, &v), 1);
    EXPECT_EQ(probe->GetErrInfo(key), 1);
    EXPECT_EQ(e->GetErr(3), 1);
    e->SetErr(3, 0);
    CArticWrkEvnt* note = a;
    EXPECT_EQ(probe->GetWrkEvnt(next, &note), 1);
    EXPECT_EQ(note, nullptr);
    EXPECT_EQ(e->GetErr(3), 1);
    EXPECT_EQ(probe->GetWrkEvnt(self, &note), 0);
    EXPECT_EQ(note, e);
    note = a;
    EXPECT_EQ(probe->GetWrkEvnt(num, &note), 1);
    EXPECT_EQ(note, a);  // unchanged
    probe->SetErrInfo(num, 0);  // not an event argument: nothing
    probe->SetErrInfo(self, 0);
    EXPECT_EQ(e->GetErr(3), 0);
    probe->SetErrInfo();
    EXPECT_EQ(e->GetErr(3), 1);
    probe->SetErrInfo(c);
    EXPECT_EQ(c->GetErr(3), 1);
}

TEST_F(Srch, ErrorTextsOfArguments) {
    CArticRulDataVal* v3 = NewVal(3);
    auto* vary = new CArticRulDataVAry(set, 12);
    set->SetDataVAry(vary);
    auto* exv = set->GetDataExv();
    CArticRulDataEvnt* e3 = NewEvnt(3);
    struct Case {
        CArticRulElm* elm;
        const char* text;
    } cases[] = {
        {Num(2.7, kSignNone, 0), "-2"}, {Var(v3), "val3"}, {Var(vary), "vary12"},
        {Text("\"q\""), "\"q\""},       {Var(exv), ""},    {Var(e3, kElmEvnt), "unchanged"},
    };
    for (const Case& k : cases) {
        CString before("unchanged");
        set->SetErrInfo(&before);
        probe->SetErrInfo(k.elm);
        EXPECT_EQ(set->GetErrInfo(), k.text);
        delete k.elm;
    }
}

TEST_F(Srch, BlockAndMeasureWalks) {
    CArticWrkEvnt* r = nullptr;
    EXPECT_EQ(probe->GetFirstWrkEvnt(c, &r), 0);
    EXPECT_EQ(r, a);
    EXPECT_EQ(probe->GetLastWrkEvnt(a, &r), 0);
    EXPECT_EQ(r, e);
    EXPECT_EQ(probe->GetFirstMeasWrkEvnt(d, &r), 0);
    EXPECT_EQ(r, c);
    EXPECT_EQ(probe->GetLastMeasWrkEvnt(a, &r), 0);
    EXPECT_EQ(r, b);
    CArticWrkEvnt loose;
    EXPECT_EQ(probe->GetFirstWrkEvnt(&loose, &r), 1);
    EXPECT_EQ(r, nullptr);
    // By time, in the current note's block: bar 4 has no note.
    set->SetWrkEvnt(a);
    EXPECT_EQ(probe->GetFirstMeasWrkEvnt(INT64(2000), &r), 0);
    EXPECT_EQ(r, c);
    EXPECT_EQ(probe->GetLastMeasWrkEvnt(INT64(2000), &r), 0);
    EXPECT_EQ(r, d);
    EXPECT_EQ(probe->GetLastMeasWrkEvnt(INT64(5800), &r), 1);
    EXPECT_EQ(r, nullptr);
    // Window of bar 2 is 1920..3839; shifted back by 480 it is 1440..3359.
    EXPECT_EQ(probe->GetFirstMeasWrkEvnt(INT64(2000), INT64(480), &r), 0);
    EXPECT_EQ(r, c);
    EXPECT_EQ(probe->GetLastMeasWrkEvnt(INT64(2000), INT64(480), &r), 0);
    EXPECT_EQ(r, d);
    // Bar 1 is 0..1919: an offset above the start moves only the end (to 1919 - 1500 = 419).
    EXPECT_EQ(probe->GetLastMeasWrkEvnt(INT64(10), INT64(1500), &r), 0);
    EXPECT_EQ(r, a);
    // Element form: the argument's note first.
    ElmList args{Var(set->GetDataEvnt(), kElmEvnt)};
    set->SetWrkEvnt(d);
    EXPECT_EQ(probe->GetFirstMeasWrkEvnt(args.list.GetHead(), &r), 0);
    EXPECT_EQ(r, c);
    // Without a current note the time forms fail.
    set->SetWrkEvnt(nullptr);
    EXPECT_EQ(probe->GetFirstMeasWrkEvnt(INT64(0), &r), 1);
}

TEST_F(Srch, SameStringNeighboursByCount) {
    CArticWrkEvnt* r = a;
    EXPECT_EQ(probe->GetNextWrkEvnt(a, ULONG(0), &r), 1);
    EXPECT_EQ(r, nullptr);
    // String 1: a, c, e. b is on string 2 and d has no fingering: neither counts.
    EXPECT_EQ(probe->GetNextWrkEvnt(a, ULONG(2), &r), 0);
    EXPECT_EQ(r, e);
    EXPECT_EQ(probe->GetNextWrkEvnt(a, ULONG(3), &r), 1);
    EXPECT_EQ(probe->GetPrevWrkEvnt(e, ULONG(1), &r), 0);
    EXPECT_EQ(r, c);
    EXPECT_EQ(probe->GetNextWrkEvnt(a, &r), 0);
    EXPECT_EQ(r, c);
    EXPECT_EQ(probe->GetPrevWrkEvnt(a, &r), 1);
}

TEST(SrchBases, ElementListsFollowArgumentOrder) {
    ElmList args{Num(1), Num(2), Num(3)};
    POSITION p = args.list.GetHeadPosition();
    CArticRulElm* i1 = args.list.GetNext(p);
    CArticRulElm* i2 = args.list.GetNext(p);
    CArticRulElm* o1 = args.list.GetNext(p);
    auto data = [](CArticSrchEvnt& s) {
        CArticRulElmList list;
        s.GetRulElmList(&list);
        std::vector<double> v;
        for (POSITION q = list.GetHeadPosition(); q;) v.push_back(list.GetNext(q)->GetData());
        return v;
    };
    CArticSrchNum num(nullptr, 1, i1, i2, o1);
    EXPECT_EQ(data(num), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(num.GetInNum(), 2);
    EXPECT_EQ(num.GetOutNum(), 1);
    EXPECT_STREQ(num.GetClassNameA(), "CArticSrchNum");
    CArticSrchVal val(nullptr, 1, i1, nullptr, o1);  // a missing element binds an empty one
    EXPECT_EQ(data(val), (std::vector<double>{1, 0, 3}));
    CArticSrchWrk wrk(nullptr, 1, o1);
    EXPECT_EQ(data(wrk), (std::vector<double>{3}));
    EXPECT_EQ(wrk.GetInNum(), 0);
    CArticSrchIs is(nullptr, 1, i1, o1);
    EXPECT_EQ(data(is), (std::vector<double>{1, 3}));
    EXPECT_STREQ(CArticSrchDur(nullptr, 1, i1, i2, o1).GetClassNameA(), "CArticSrchDur");
    // The bases are siblings under CArticSrchEvnt, except the count base on CArticSrchIs.
    EXPECT_STREQ(CArticSrchDur::classCArticSrchDur.m_pBaseClass->m_lpszClassName, "CArticSrchEvnt");
    EXPECT_STREQ(CArticSrchNum::classCArticSrchNum.m_pBaseClass->m_lpszClassName, "CArticSrchIs");
    // Setters copy into the owned element; getters lend it.
    CArticRulElm* own = nullptr;
    EXPECT_EQ(val.GetRulElmI2(&own), 1);
    val.SetRulElmI2(i2);
    EXPECT_EQ(val.GetRulElmI2(), own);
    EXPECT_EQ(own->GetData(), 2.0);
    // Assignment copies only the counts.
    CArticSrchWrk target(nullptr, 7, nullptr);
    static_cast<CArticSrchEvnt&>(target) = num;
    EXPECT_EQ(target.GetInNum(), 2);
    EXPECT_EQ(target.GetEvntNo(), 7u);
}

TEST_F(Srch, TimeOfAPositionThroughTheSetsWorkData) {
    ElmList args{Num(1), Num(2), Num(0)};
    POSITION p = args.list.GetHeadPosition();
    CArticRulElm* i1 = args.list.GetNext(p);
    CArticRulElm* i2 = args.list.GetNext(p);
    CArticRulElm* o1 = args.list.GetNext(p);
    CArticSrchOffTime off(set, 1, i1, i2, o1);
    INT64 t = -1;
    EXPECT_EQ(off.GetTime(2, 3, 10, &t), 0);
    EXPECT_EQ(t, 1920 + 960 + 10);
    CArticSrchOnTime on(nullptr, 1, i1, i2, o1);
    EXPECT_EQ(on.GetTime(1, 1, 0, &t), 1);
}
