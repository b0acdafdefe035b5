// The expression-creation driver: a whole run over small work data with a
// recording receiver, the visit orders, the weighted choice and the
// keep-or-drop step, and the dump of the per-note records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RulSetFixture.h"
#include "engine/expressions/ArticExp.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticCreExpMgr.h"
#include "engine/rules/ArticPrmExp.h"
#include "platform/Random.h"

using namespace rultest;

namespace {

// Takes every text it is handed, leaves one expression in the block, and
// remembers what it got.
struct Recorder : CArticExpReceiver {
    struct Item {
        std::string text;
        ULONG evntNo;
        ULONG trkNo;
    };
    std::vector<Item> items;
    int answer = 0;
    int LoadExpEvnt(CString text, ULONG evntNo, CArticExpTrk* trk, CArticExpBlk* blk) override {
        items.push_back({text.str(), evntNo, trk->GetTrkNo()});
        blk->AddTail(new CArticExpEvnt(blk, evntNo));
        return answer;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const Item& i : items) out.push_back(i.text);
        return out;
    }
};

struct RandomHook {
    explicit RandomHook(int value) {
        SetRandomHook([value] { return value; });
    }
    ~RandomHook() { SetRandomHook(nullptr); }
};

struct CreExpTest : RulSetTest {
    CArticExp exp;
    CArticLoadMgr loader{&wrk, &rul};
    CArticCreExpMgr mgr{&wrk, &exp, &rul};
    Recorder recorder;

    int LoadScript(std::initializer_list<const char*> lines) {
        CStringList list;
        Lines(lines, list);
        return loader.LoadRul(list);
    }
    // The master track 0 and selected track 1 with one block of notes
    // (event numbers 1.., keys 60, 62, 64 ...).
    std::vector<CArticWrkEvnt*> Notes(int count) {
        wrktest::AddBlock(wrktest::AddTrack(wrk, 0, 0));
        CArticWrkBlk* b = wrktest::AddBlock(wrktest::AddTrack(wrk, 1));
        std::vector<CArticWrkEvnt*> out;
        for (int i = 0; i < count; ++i)
            out.push_back(wrktest::AddNote(b, ULONG(i + 1), INT64(480 * i), BYTE(60 + 2 * i)));
        return out;
    }
};

const std::initializer_list<const char*> kTwoSets = {
    "#set:1", "#prob:0.5", "#exp1:CArticExpDurAbs(1{_thisEvnt}, 10)",
    "#set:2", "#func1:CArticSrchValMore(_thisEvnt.Key, 61, &_val1)", "#prob:_val1",
    "#exp1:Mstr:CArticExpDurAbs(1{_thisEvnt}, 20)",
};

}  // namespace

TEST_F(CreExpTest, RunHandsEveryFiringTextOnInNoteOrder) {
    ASSERT_EQ(LoadScript(kTwoSets), 0);
    auto n = Notes(3);
    mgr.SetProcDialog(&recorder);
    RandomHook hook(0);
    ASSERT_EQ(mgr.Create(), 0);

    // Note-major, forward by event number; set 2 fires from key 62 on and goes to the master track.
    const std::vector<std::string> texts = {
        "CArticExpDurAbs(1{:w1},10)", "CArticExpDurAbs(1{:w2},10)", "CArticExpDurAbs(1{:w2},20)",
        "CArticExpDurAbs(1{:w3},10)", "CArticExpDurAbs(1{:w3},20)"};
    EXPECT_EQ(recorder.Texts(), texts);
    const ULONG tracks[] = {1, 1, 0, 1, 0};
    for (size_t i = 0; i < recorder.items.size(); ++i) {
        EXPECT_EQ(recorder.items[i].evntNo, ULONG(i)) << i;
        EXPECT_EQ(recorder.items[i].trkNo, tracks[i]) << i;
    }
    const double prob1[] = {0.5, 0.5, 0.5}, prob2[] = {0, 1, 1};
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(n[i]->GetProb(1), prob1[i]) << i;
        EXPECT_DOUBLE_EQ(n[i]->GetProb(2), prob2[i]) << i;
    }
    // The expression data: track 0 and track 1, each block holding what was handed there.
    ASSERT_EQ(exp.GetCount(), 2);
    EXPECT_EQ(exp.GetExpBlk(0, 0)->GetCount(), 2);
    EXPECT_EQ(exp.GetExpBlk(1, 0)->GetCount(), 3);
    EXPECT_EQ(exp.Get(ULONG(0))->GetWrkTrk(), wrk.Get(ULONG(0)));
    EXPECT_EQ(exp.Get(ULONG(1))->GetWrkTrk(), wrk.Get(ULONG(1)));
    EXPECT_EQ(exp.GetExpBlk(1, 0)->GetWrkBlk(), wrk.Get(ULONG(1))->Get(int(0)));
    // Each fired note keeps its set's texts as written.
    ASSERT_NE(n[1]->GetPrmExp(2), nullptr);
    EXPECT_EQ(n[1]->GetPrmExp(2)->GetExpStrList()->GetHead(), "CArticExpDurAbs(1{:w2}, 20), Mstr");
    EXPECT_EQ(n[0]->GetPrmExp(2), nullptr);
}

TEST_F(CreExpTest, WeightedChoiceFollowsTheDraws) {
    // Three notes at 0.5 each: sum = count = 1.5. Worked by hand per draw r:
    // r = 0:      0.5 > 0 (count 0.5, sum 1.0); 0.25 > 0 (count -0.5, sum 0.5); -0.5 > 0 no.
    // r = 0.89999: 0.5 no (sum 1.0); 0.75 no (sum 0.5); 1.5 yes.
    // r = 0.49997: 0.5 yes (count 0.5, sum 1.0); 0.25 no (sum 0.5); 0.5 yes.
    struct DrawCase {
        int raw;
        LONG out[3];
    };
    const DrawCase cases[] = {{0, {1, 1, 0}}, {29491, {0, 0, 1}}, {16383, {1, 0, 1}}};
    ASSERT_EQ(LoadScript({"#set:1", "#prob:0.5", "#exp1:CArticExpDurAbs(1{_thisEvnt}, 10)"}), 0);
    auto n = Notes(3);
    mgr.SetProcDialog(&recorder);
    for (const DrawCase& c : cases) {
        RandomHook hook(c.raw);
        ASSERT_EQ(mgr.Create(), 0) << c.raw;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(n[i]->GetOut(1), c.out[i]) << c.raw << " note " << i;
    }
}

TEST_F(CreExpTest, SeededChoiceRepeatsAndAllOnePicksEveryNote) {
    ASSERT_EQ(LoadScript({"#set:1", "#prob:0.3", "#exp1:CArticExpDurAbs(1{_thisEvnt}, 10)", "#set:2", "#prob:1",
                          "#exp1:CArticExpDurAbs(1{_thisEvnt}, 20)"}),
              0);
    auto n = Notes(12);
    mgr.SetProcDialog(&recorder);
    auto outs = [&] {
        std::vector<LONG> v;
        for (CArticWrkEvnt* e : n) v.push_back(e->GetOut(1));
        return v;
    };
    SeedRandom(7);
    ASSERT_EQ(mgr.Create(), 0);
    const std::vector<LONG> first = outs();
    SeedRandom(7);
    ASSERT_EQ(mgr.Create(), 0);
    EXPECT_EQ(outs(), first);
    for (CArticWrkEvnt* e : n) EXPECT_EQ(e->GetOut(2), 1);
}

TEST_F(CreExpTest, SearchedNoteIsSkippedByItsOwnSetOnly) {
    ASSERT_EQ(LoadScript({"#set:4", "#evnt1:_thisEvnt.AllNext", "#prob:1",
                          "#exp1:CArticExpDurAbs(2{_thisEvnt, _evnt1}, 10)", "#set:5", "#prob:1",
                          "#exp1:CArticExpDurAbs(1{_thisEvnt}, 20)"}),
              0);
    auto n = Notes(4);
    mgr.SetProcDialog(&recorder);
    ASSERT_EQ(mgr.Create(), 0);
    // Set 4 on note 1 marks note 2, on note 3 marks note 4.
    const double prob4[] = {1, 0, 1, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(n[i]->GetProb(4), prob4[i]) << i;
        EXPECT_DOUBLE_EQ(n[i]->GetProb(5), 1.0) << i;
        EXPECT_EQ(n[i]->GetSearch(4), 0) << "marks are cleared after the run";
    }
}

TEST_F(CreExpTest, ExvNumberOfAnEarlierSetDropsTheNote) {
    ASSERT_EQ(LoadScript({"#set:1", "#exv:3", "#prob:1", "#exp1:CArticExpDurAbs(1{_thisEvnt}, 10)", "#set:2",
                          "#prob:exv3:1", "#exp1:CArticExpDurAbs(1{_thisEvnt}, 20)", "#set:6", "#prob:inv8:1",
                          "#exp1:CArticExpDurAbs(1{_thisEvnt}, 30)"}),
              0);
    auto n = Notes(2);
    mgr.SetProcDialog(&recorder);
    ASSERT_EQ(mgr.Create(), 0);
    for (CArticWrkEvnt* e : n) {
        EXPECT_EQ(e->GetOut(1), 1);
        EXPECT_NE(e->GetPrmExp(1), nullptr);
        EXPECT_EQ(e->GetExv(3), 1);
        // Chosen, but carrying exv 3: dropped with its record.
        EXPECT_EQ(e->GetOut(2), 0);
        EXPECT_EQ(e->GetPrmExp(2), nullptr);
        // No note carries inv number 8.
        EXPECT_EQ(e->GetOut(6), 0);
        EXPECT_EQ(e->GetPrmExp(6), nullptr);
    }
    // The texts were handed on when the sets fired all the same.
    EXPECT_EQ(recorder.items.size(), 6u);
}

TEST_F(CreExpTest, ProgramWithoutExpressionLinesFails) {
    ASSERT_EQ(LoadScript({"#set:1", "#prob:0.5"}), 0);
    auto n = Notes(2);
    mgr.SetProcDialog(&recorder);
    EXPECT_EQ(mgr.Create(), 1);
    EXPECT_DOUBLE_EQ(n[1]->GetProb(1), 0.5);
    EXPECT_TRUE(recorder.items.empty());
}

TEST_F(CreExpTest, BrokenSetStoresZeroAndHandsNothingOn) {
    ASSERT_EQ(LoadScript({"#set:1", "#func1:CArticSrchValMore(_thisEvnt.Key, 61, &_val1)",
                          "#func2:CArticSrchBreak(_val1)", "#prob:1", "#exp1:CArticExpDurAbs(1{_thisEvnt}, 10)"}),
              0);
    auto n = Notes(2);
    mgr.SetProcDialog(&recorder);
    ASSERT_EQ(mgr.Create(), 0);
    EXPECT_DOUBLE_EQ(n[0]->GetProb(1), 0.0);
    EXPECT_DOUBLE_EQ(n[1]->GetProb(1), 1.0);
    EXPECT_EQ(recorder.Texts(), std::vector<std::string>{"CArticExpDurAbs(1{:w2},10)"});
}

TEST_F(CreExpTest, WithoutReceiverARunThatMustHandTextsOnFails) {
    ASSERT_EQ(LoadScript(kTwoSets), 0);
    Notes(2);
    struct Mode {
        int nest, dir;
    };
    for (Mode m : {Mode{0, 0}, Mode{1, 0}}) {
        rul.SetProcNest(m.nest);
        rul.SetDirection(m.dir);
        EXPECT_EQ(mgr.Create(), 1) << m.nest;
    }
    // A failing receiver does not stop the run: the loader reports its own errors.
    recorder.answer = 1;
    mgr.SetProcDialog(&recorder);
    rul.SetProcNest(0);
    EXPECT_EQ(mgr.Create(), 0);
    EXPECT_EQ(recorder.items.size(), 3u);
}

namespace {

// Notes numbered so that number order, list order and block order differ:
// track 1 block 0 holds 3, 1; block 1 holds 4, 2; unselected track 2 holds 5.
struct OrderTest : CreExpTest {
    void SetUp() override {
        CArticWrkTrk* t1 = wrktest::AddTrack(wrk, 1);
        CArticWrkBlk* b0 = wrktest::AddBlock(t1, 0);
        CArticWrkBlk* b1 = wrktest::AddBlock(t1, 1);
        wrktest::AddNote(b0, 3, 0, 60);
        wrktest::AddNote(b0, 1, 480, 61);
        wrktest::AddNote(b1, 4, 960, 62);
        wrktest::AddNote(b1, 2, 1440, 63);
        wrktest::AddNote(wrktest::AddBlock(wrktest::AddTrack(wrk, 2, 0)), 5, 0, 64);
        mgr.SetProcDialog(&recorder);
    }
    std::vector<int> Order() const {
        std::vector<int> out;
        for (const auto& i : recorder.items) out.push_back(i.text[20] - '0');  // CArticExpDurAbs(1{:wN}
        return out;
    }
};

}  // namespace

TEST_F(OrderTest, ProgramDirectionForNoteMajorRuns) {
    ASSERT_EQ(LoadScript({"#set:1", "#prob:1", "#exp1:CArticExpDurAbs(1{_thisEvnt}, 10)"}), 0);
    struct Case {
        int dir;
        int result;
        std::vector<int> order;
    };
    const Case cases[] = {{0, 0, {1, 2, 3, 4}}, {1, 0, {4, 3, 2, 1}}, {2, 1, {}}};
    for (const Case& c : cases) {
        recorder.items.clear();
        rul.SetProcNest(0);
        rul.SetDirection(c.dir);
        EXPECT_EQ(mgr.Create(), c.result) << c.dir;
        EXPECT_EQ(Order(), c.order) << c.dir;
    }
}

TEST_F(OrderTest, SetDirectionForSetMajorRuns) {
    struct Case {
        const char* dir;
        int result;
        std::vector<int> order;
    };
    const Case cases[] = {{"#dir:0", 0, {1, 2, 3, 4}},
                          {"#dir:1", 0, {4, 3, 2, 1}},
                          {"#dir:2", 0, {3, 1, 4, 2}},
                          {"#dir:3", 0, {1, 3, 2, 4}}};
    for (const Case& c : cases) {
        ASSERT_EQ(LoadScript({"#init:", "#procNest:1", "#set:1", c.dir, "#prob:1",
                              "#exp1:CArticExpDurAbs(1{_thisEvnt}, 10)"}),
                  0)
            << c.dir;
        ASSERT_EQ(rul.GetProcNest(), 1);
        recorder.items.clear();
        EXPECT_EQ(mgr.Create(), c.result) << c.dir;
        EXPECT_EQ(Order(), c.order) << c.dir;
    }
}

TEST_F(OrderTest, SetsRunOneAfterAnotherInSetMajorRuns) {
    ASSERT_EQ(LoadScript({"#init:", "#procNest:1", "#set:1", "#dir:1", "#prob:1",
                          "#exp1:CArticExpDurAbs(1{_thisEvnt}, 10)", "#set:2", "#dir:2", "#prob:1",
                          "#exp1:CArticExpDurAbs(1{_thisEvnt}, 10)"}),
              0);
    ASSERT_EQ(mgr.Create(), 0);
    EXPECT_EQ(Order(), (std::vector<int>{4, 3, 2, 1, 3, 1, 4, 2}));
}

namespace {

struct DumpTest : ::testing::Test {
    ErrList errors;
    CArticWrk wrk;
    CArticRul rul{&wrk};
    CArticExp exp;
    CArticCreExpMgr mgr{&wrk, &exp, &rul};
    void SetUp() override {
        for (int no : {1, 2}) {
            auto* set = new CArticRulSet(&rul, &wrk);
            set->SetSetNo(no);
            rul.AddTail(set);
        }
    }
    static void Record(CArticWrkEvnt* e, ULONG set, std::initializer_list<const char*> texts) {
        auto* rec = new CArticPrmExp();
        for (const char* t : texts) rec->AddExpStr(t);
        ASSERT_EQ(e->SetPrmExpArray(set, rec), 0);
    }
    static std::vector<std::string> Lines(const CStringList& list) {
        std::vector<std::string> out;
        for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p).str());
        return out;
    }
};

}  // namespace

TEST_F(DumpTest, MasterTextsFirstThenTracksWithHeaders) {
    CArticWrkBlk* m = wrktest::AddBlock(wrktest::AddTrack(wrk, 0));
    Record(wrktest::AddNote(m, 1, 0, 60), 1, {"A(1)", "M(9), Mstr"});
    CArticWrkTrk* t5 = wrktest::AddTrack(wrk, 5, 1, 2, kNoPort);
    CArticWrkBlk* b0 = wrktest::AddBlock(t5, 0);
    CArticWrkBlk* b3 = wrktest::AddBlock(t5, 3);
    CArticWrkEvnt* late = wrktest::AddNote(b0, 3, 480, 62);
    CArticWrkEvnt* early = wrktest::AddNote(b0, 2, 0, 61);
    Record(late, 2, {"B(2)", "C(3), Mstr"});
    Record(early, 2, {"D(4)"});
    Record(late, 1, {"E(5)"});
    Record(wrktest::AddNote(b3, 4, 960, 63), 1, {"F(6)"});
    wrktest::AddTrack(wrk, 7, 1, kNoChannel, 4);
    wrktest::AddBlock(wrk.Get(ULONG(7)), 0);
    Record(wrktest::AddNote(wrktest::AddBlock(wrktest::AddTrack(wrk, 6, 0)), 5, 0, 64), 1, {"G(7)"});

    CStringList out;
    out.AddTail(CString("old"));
    ASSERT_EQ(mgr.OutExpStrList(out), 0);
    EXPECT_EQ(Lines(out), (std::vector<std::string>{"TRK:0", "BLK:0", "e0:M(9)", "e1:C(3)", "TRK:5, ch3", "BLK:0",
                                                    "e2:E(5)", "e3:D(4)", "e4:B(2)", "BLK:3", "e5:F(6)",
                                                    "TRK:7, port4", "BLK:0"}));
    EXPECT_EQ(mgr.GetExpEvntCount(), 6u);
}

TEST_F(DumpTest, FailsWithoutATrackOtherThanZero) {
    Record(wrktest::AddNote(wrktest::AddBlock(wrktest::AddTrack(wrk, 0)), 1, 0, 60), 1, {"M(9), Mstr"});
    CStringList out;
    EXPECT_EQ(mgr.OutExpStrList(out), 1);
    EXPECT_EQ(Lines(out), (std::vector<std::string>{"TRK:0", "BLK:0", "e0:M(9)"}));
    CArticCreExpMgr bare(&wrk, &exp, nullptr);
    CStringList kept;
    kept.AddTail(CString("x"));
    EXPECT_EQ(bare.OutExpStrList(kept), 1);
    EXPECT_EQ(Lines(kept), std::vector<std::string>{"x"});
}

TEST_F(DumpTest, RecordFromTheNotesExpressionStrings) {
    CArticWrkEvnt* e = wrktest::AddNote(wrktest::AddBlock(wrktest::AddTrack(wrk, 1)), 1, 0, 60);
    CStringList texts;
    texts.AddTail(CString("A(1)"));
    texts.AddTail(CString("B(2), Mstr"));
    ASSERT_EQ(e->SetExpEvntList(2, &texts), 1);
    Record(e, 2, {"old(0)"});
    EXPECT_EQ(mgr.DoOutExpEvnt(e, 2), 0);
    ASSERT_NE(e->GetPrmExp(2), nullptr);
    EXPECT_EQ(Lines(*e->GetPrmExp(2)->GetExpStrList()), (std::vector<std::string>{"A(1)", "B(2), Mstr"}));
    EXPECT_EQ(mgr.DoOutExpEvnt(nullptr, 2), 0);
}

TEST_F(CreExpTest, MasterTextGoesToTrackZeroWithoutItsSuffix) {
    // The set's master flag follows its last line (no "Mstr" here); the text
    // that names the master track still goes there, as Class(args) only.
    ASSERT_EQ(LoadScript({"#set:1", "#prob:1", "#exp1:Mstr:CArticExpDurAbs(1{_thisEvnt}, 20)",
                          "#exp2:CArticExpDurAbs(1{_thisEvnt}, 10)"}),
              0);
    Notes(1);
    mgr.SetProcDialog(&recorder);
    ASSERT_EQ(mgr.Create(), 0);
    ASSERT_EQ(recorder.items.size(), 2u);
    EXPECT_EQ(recorder.items[0].text, "CArticExpDurAbs(1{:w1},20)");
    EXPECT_EQ(recorder.items[0].trkNo, 0u);
    EXPECT_EQ(recorder.items[1].text, "CArticExpDurAbs(1{:w1},10)");
    EXPECT_EQ(recorder.items[1].trkNo, 1u);
}

namespace {
struct InitMgr : CArticCreExpMgr {
    using CArticCreExpMgr::CArticCreExpMgr;
    using CArticCreExpMgr::CreateExp;
};
}  // namespace

TEST_F(CreExpTest, InitBlockTextsArePlacedOnTheirTrackAndBlock) {
    ASSERT_EQ(LoadScript({"#init:", "#trk2:", "#blk1:", "#exp1:CArticExpDel(0{})", "#exp2:CArticExpDel(0{})",
                          "#set:1", "#prob:1"}),
              0);
    InitMgr init(&wrk, &exp, &rul);
    ASSERT_NE(rul.GetInit(0), nullptr);
    ASSERT_EQ(init.CreateExp(rul.GetInit(0)), 0);
    CArticExpTrk* trk = exp.Get(ULONG(2));
    ASSERT_NE(trk, nullptr);
    EXPECT_EQ(trk->GetCh(), ULONG(-2));
    EXPECT_EQ(trk->GetPort(), ULONG(-1));
    ASSERT_NE(exp.GetExpBlk(2, 1), nullptr);
    EXPECT_EQ(exp.GetExpBlk(2, 1)->GetEvntStrList()->GetCount(), 2);
    // A second placing reuses the track and block.
    ASSERT_EQ(init.CreateExp(rul.GetInit(0)), 0);
    EXPECT_EQ(exp.GetCount(), 1);
    EXPECT_EQ(exp.GetExpBlk(2, 1)->GetEvntStrList()->GetCount(), 4);
    // Clearing empties the raw texts but keeps the tracks.
    ASSERT_EQ(init.ClearExp(), 0);
    EXPECT_EQ(exp.GetExpBlk(2, 1)->GetEvntStrList()->GetCount(), 0);
    EXPECT_EQ(exp.GetExpBlk(2, 0), nullptr);
    EXPECT_EQ(exp.GetExpBlk(3, 1), nullptr);
}

TEST_F(CreExpTest, SetPrmExpRunsTheSetsOfThatNumber) {
    ASSERT_EQ(LoadScript({"#set:3", "#prob:0.25", "#exp1:CArticExpDurAbs(1{_thisEvnt}, 10)"}), 0);
    auto n = Notes(1);
    mgr.SetProcDialog(&recorder);
    EXPECT_EQ(mgr.SetPrmExp(n[0], 4), 1);  // no such set
    EXPECT_EQ(mgr.SetPrmExp(n[0], 3), 0);
    EXPECT_DOUBLE_EQ(n[0]->GetProb(3), 0.25);
    ASSERT_NE(n[0]->GetPrmExp(3), nullptr);
}
