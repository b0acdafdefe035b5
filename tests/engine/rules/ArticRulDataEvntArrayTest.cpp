// The program's shared event array: sorts, removals, searches and
// evaluations on small hand-made notes.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "RulesFixture.h"

namespace {

struct EvntArrayTest : ::testing::Test {
    CArticWrk wrk;
    CArticRul rul{&wrk};
    CArticWrkBlk* blk = wrktest::AddBlock(wrktest::AddTrack(wrk, 1));
    std::vector<CArticWrkEvnt*> n;
    CArticWrkEvnt* Note(INT64 time, BYTE key, INT64 gate = 100) {
        n.push_back(wrktest::AddNote(blk, ULONG(n.size() + 1), time, key, gate));
        return n.back();
    }
    std::vector<CArticWrkEvnt*> Held() {
        std::vector<CArticWrkEvnt*> out;
        for (ULONG i = 0; CArticRulDataEvnt* e = rul.GetRulDataEvnt(i); ++i) out.push_back(e->GetEvnt(0));
        return out;
    }
};

}  // namespace

TEST_F(EvntArrayTest, SortsDropEmptySlotsAndKeepEqualKeysInOrder) {
    CArticWrkEvnt* a = Note(0, 64);
    CArticWrkEvnt* b = Note(100, 60);
    CArticWrkEvnt* c = Note(200, 64);
    rul.SetRulDataEvnt(0, a);
    rul.SetRulDataEvnt(2, b);
    rul.SetRulDataEvnt(4, c);
    EXPECT_EQ(rul.SortFwdKeyRulDataEvntArray(), 3);
    EXPECT_EQ(Held(), (std::vector<CArticWrkEvnt*>{b, a, c}));
    EXPECT_EQ(rul.SortRvsKeyRulDataEvntArray(), 3);
    EXPECT_EQ(Held(), (std::vector<CArticWrkEvnt*>{a, c, b}));
    EXPECT_EQ(rul.SortRvsTimeRulDataEvntArray(), 3);
    EXPECT_EQ(Held(), (std::vector<CArticWrkEvnt*>{c, b, a}));
    EXPECT_EQ(rul.SortFwdGenRulDataEvntArray(), 3);  // no fingering: all string 0, order kept
    EXPECT_EQ(Held(), (std::vector<CArticWrkEvnt*>{c, b, a}));
}

TEST_F(EvntArrayTest, RemovalsAndCleanUps) {
    CArticWrkEvnt* a = Note(480, 60);
    CArticWrkEvnt* b = Note(480, 62);
    CArticWrkEvnt* c = Note(500, 64);
    rul.SetRulDataEvnt(0, a);
    rul.SetRulDataEvnt(1, b);
    rul.SetRulDataEvnt(2, c);
    rul.SetRulDataEvnt(3, a);
    EXPECT_EQ(rul.ClearDupRulDataEvntArray(), 3);
    EXPECT_EQ(rul.RmvTimeCmpRulDataEvntArray(0), 2);
    EXPECT_EQ(Held(), (std::vector<CArticWrkEvnt*>{a, b}));
    CArticWrkEvntList drop;
    drop.AddTail(a);
    EXPECT_EQ(rul.ClearExvRulDataEvntArray(&drop), 1);
    EXPECT_EQ(rul.RmvAttriRulDataEvntArray(5, 0), 0);
    EXPECT_EQ(rul.GetTailElmNoRulDataEvnt(), -1);
    rul.SetRulDataEvnt(1, b);  // slot 0 empty
    EXPECT_EQ(rul.RmvTimeCmpRulDataEvntArray(100), 0);
}

TEST_F(EvntArrayTest, SearchesAndEvaluations) {
    CArticWrkEvnt* a = Note(0, 60, 100);
    CArticWrkEvnt* b = Note(150, 64, 100);
    rul.SetRulDataEvnt(0, b);
    rul.SetRulDataEvnt(1, a);
    CArticWrkEvnt* found = a;
    EXPECT_EQ(rul.SearchFwdTimeRulDataEvntArray(7, &found), 0);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(rul.SearchRvsKeyRulDataEvntArray(64, &found), 0);
    EXPECT_EQ(found, b);
    // b starts 50 ticks after a ends.
    EXPECT_EQ(rul.GapTimeRulDataEvntArray(50), 0);
    EXPECT_EQ(rul.GapTimeRulDataEvntArray(51), 1);
    EXPECT_EQ(rul.IntervalTimeRulDataEvntArray(150), 0);
    EXPECT_EQ(rul.IntervalTimeRulDataEvntArray(151), 1);
    EXPECT_EQ(rul.IntervalKeyRulDataEvntArray(4), 0);
    EXPECT_EQ(rul.IntervalKeyRulDataEvntArray(5), 1);
    EXPECT_EQ(rul.IntervalKeyRulDataEvntArray(0), 0);
    rul.SetRulDataEvnt(0, static_cast<CArticWrkEvnt*>(nullptr));
    EXPECT_EQ(rul.GapTimeRulDataEvntArray(1000), 0);  // one note
}

TEST_F(EvntArrayTest, ElementsThatLeftTheArrayComeBackWithNothingOfTheirPast) {
    CArticWrkEvnt* a = Note(0, 60);
    CArticWrkEvnt* b = Note(100, 62);
    CArticWrkEvnt* c = Note(200, 64);
    CArticWrkEvnt* cc = wrktest::AddCc(blk, 9, 300, 7, 100);
    CArticRulSet owner(&rul, &wrk);
    CArticRulDataEvnt base(nullptr, 0, a);
    CArticRulDataEvnt rel(nullptr, 0, &base, kElmAllNext);
    // Every slot derived from a base, tied to a set and numbered apart.
    for (ULONG i = 0; i < 6; ++i) {
        ASSERT_EQ(rul.SetRulDataEvnt(i, &rel), 1);
        rul.GetRulDataEvnt(i)->SetRulSet(&owner);
        rul.GetRulDataEvnt(i)->SetDataNo(100 + i);
    }
    ASSERT_NE(rul.GetRulDataEvnt(5)->GetEvnt(0), nullptr);
    // They leave the array each way there is: a cleared slot, a filter, the whole array.
    rul.SetRulDataEvnt(0u, static_cast<CArticWrkEvnt*>(nullptr));
    EXPECT_EQ(rul.ClearDupRulDataEvntArray(), 1);
    EXPECT_EQ(rul.GetRulDataEvnt(0)->GetDataNo(), 0u);
    rul.ClearRulDataEvntArray();
    // Direct notes, a controller (a slot without a note) and a gap.
    const std::vector<CArticWrkEvnt*> put = {c, nullptr, cc, a, b, c, a, nullptr, b};
    for (size_t i = 0; i < put.size(); ++i)
        if (put[i]) ASSERT_EQ(rul.SetRulDataEvnt(ULONG(i), put[i]), 1);
    base.SetEvnt(c, 1);  // an element still tied to the base would now move
    for (size_t i = 0; i < put.size(); ++i) {
        CArticRulDataEvnt* elm = rul.GetRulDataEvnt(ULONG(i));
        if (!put[i]) {
            EXPECT_EQ(elm, nullptr) << i;
            continue;
        }
        ASSERT_NE(elm, nullptr) << i;
        EXPECT_EQ(elm->GetDataEvnt(), nullptr) << i;
        EXPECT_EQ(elm->GetDataType(), 0) << i;
        EXPECT_EQ(elm->GetRulSet(), nullptr) << i;
        EXPECT_EQ(elm->GetDataNo(), ULONG(i)) << i;
        EXPECT_EQ(elm->GetEvnt(0), put[i] == cc ? nullptr : put[i]) << i;
    }
    // The copy form too starts from a clean element.
    rul.SetRulDataEvnt(8u, static_cast<CArticWrkEvnt*>(nullptr));
    CArticRulDataEvnt direct(nullptr, 0, b);
    ASSERT_EQ(rul.SetRulDataEvnt(8u, &direct), 1);
    EXPECT_EQ(rul.GetRulDataEvnt(8)->GetDataEvnt(), nullptr);
    EXPECT_EQ(rul.GetRulDataEvnt(8)->GetDataNo(), 8u);
    EXPECT_EQ(rul.GetRulDataEvnt(8)->GetEvnt(0), b);
}

TEST_F(EvntArrayTest, SortsAndPairChecksFollowAStableSortOfTheNotesHeld) {
    // Few distinct keys, times, gates and slot values: many ties.
    for (int i = 0; i < 40; ++i) {
        CArticWrkEvnt* e = Note(INT64((i * 13) % 7) * 10, BYTE(60 + (i * 7) % 5), INT64((i * 5) % 3) * 10 + 10);
        e->SetNoteInfo(2, (i * 11) % 4);
    }
    CArticWrkEvnt* cc = wrktest::AddCc(blk, 99, 5, 7, 100);
    using Sort = int (CArticRul::*)();
    using KeyFn = INT64 (*)(const CArticWrkEvnt*);
    const KeyFn key = [](const CArticWrkEvnt* e) { return INT64(e->GetPost1()); };
    const KeyFn time = [](const CArticWrkEvnt* e) { return e->GetTime(); };
    const KeyFn no = [](const CArticWrkEvnt* e) { return INT64(e->GetEvntNo()); };
    const KeyFn dur = [](const CArticWrkEvnt* e) { return e->GetGateTime(); };
    const KeyFn off = [](const CArticWrkEvnt* e) { return e->GetTime() + e->GetGateTime(); };
    const KeyFn info = [](const CArticWrkEvnt* e) { return INT64(e->GetNoteInfo(2)); };
    struct Case {
        Sort sort;
        int noteInfo;  // the slot-2 sorts take their slot instead
        bool forward;
        KeyFn of;
    };
    const Case cases[] = {
        {&CArticRul::SortFwdKeyRulDataEvntArray, -1, true, key},
        {&CArticRul::SortRvsKeyRulDataEvntArray, -1, false, key},
        {&CArticRul::SortFwdTimeRulDataEvntArray, -1, true, time},
        {&CArticRul::SortRvsTimeRulDataEvntArray, -1, false, time},
        {&CArticRul::SortFwdNoRulDataEvntArray, -1, true, no},
        {&CArticRul::SortRvsNoRulDataEvntArray, -1, false, no},
        {&CArticRul::SortFwdDurRulDataEvntArray, -1, true, dur},
        {&CArticRul::SortRvsDurRulDataEvntArray, -1, false, dur},
        {&CArticRul::SortFwdOffRulDataEvntArray, -1, true, off},
        {&CArticRul::SortRvsOffRulDataEvntArray, -1, false, off},
        {nullptr, 1, true, info},
        {nullptr, 0, false, info},
    };
    for (size_t k = 0; k < std::size(cases); ++k) {
        const Case& c = cases[k];
        // A scrambled array with gaps, a controller and repeats.
        rul.ClearRulDataEvntArray();
        std::vector<CArticWrkEvnt*> held;
        for (int i = 0; i < 50; ++i) {
            const int pick = (i * 17 + int(k)) % 45;
            if (pick >= 40) continue;  // a gap
            CArticWrkEvnt* e = pick == 39 ? cc : n[size_t(pick)];
            rul.SetRulDataEvnt(ULONG(i), e);
            if (e != cc) held.push_back(e);
        }
        std::vector<CArticWrkEvnt*> want = held;
        std::stable_sort(want.begin(), want.end(), [&](const CArticWrkEvnt* x, const CArticWrkEvnt* y) {
            return c.forward ? c.of(x) < c.of(y) : c.of(x) > c.of(y);
        });
        int count = 0;
        if (c.sort)
            count = (rul.*c.sort)();
        else
            count = c.noteInfo ? rul.SortFwdNoteInfoRulDataEvntArray(2) : rul.SortRvsNoteInfoRulDataEvntArray(2);
        EXPECT_EQ(count, int(want.size())) << k;
        EXPECT_EQ(Held(), want) << k;
    }
    // The pair checks walk the notes in (time, key) order.
    std::vector<CArticWrkEvnt*> byTime = Held();
    std::stable_sort(byTime.begin(), byTime.end(), [](const CArticWrkEvnt* x, const CArticWrkEvnt* y) {
        return x->GetTime() < y->GetTime() || (x->GetTime() == y->GetTime() && x->GetPost1() < y->GetPost1());
    });
    INT64 widest = 0;
    for (size_t i = 1; i < byTime.size(); ++i)
        widest = std::max(widest, byTime[i]->GetTime() - byTime[i - 1]->GetTime());
    ASSERT_GT(widest, 0);
    EXPECT_EQ(rul.IntervalTimeRulDataEvntArray(ULONG(widest)), 0);
    EXPECT_EQ(rul.IntervalTimeRulDataEvntArray(ULONG(widest + 1)), 1);
}

TEST_F(EvntArrayTest, FillingInPlaceLeavesWhatClearingAndSettingEachSlotLeaves) {
    CArticWrkEvnt* a = Note(0, 60);
    CArticWrkEvnt* b = Note(100, 62);
    CArticWrkEvnt* c = Note(200, 64);
    CArticWrkEvnt* cc = wrktest::AddCc(blk, 9, 300, 7, 100);
    CArticRulSet owner(&rul, &wrk);
    CArticRulDataEvnt base(nullptr, 0, a);
    CArticRulDataEvnt rel(nullptr, 0, &base, kElmAllNext);
    CArticRul ref{&wrk};
    // The array before: every slot derived, tied to a set, numbered apart, with gaps.
    const auto dirty = [&](CArticRul& r, int size) {
        r.ClearRulDataEvntArray();
        for (int i = 0; i < size; ++i) {
            if (i % 3 == 2) continue;
            ASSERT_EQ(r.SetRulDataEvnt(ULONG(i), &rel), 1);
            r.GetRulDataEvnt(ULONG(i))->SetRulSet(&owner);
            r.GetRulDataEvnt(ULONG(i))->SetDataNo(100 + ULONG(i));
        }
    };
    struct Case {
        int before;
        std::vector<CArticWrkEvnt*> notes;
    };
    const std::vector<Case> cases = {
        {9, {c, nullptr, cc, a}},           // shrinks
        {2, {a, b, nullptr, c, cc, a, b}},  // grows past the old elements
        {6, {b, a, c, nullptr, a, b}},      // same size, a gap where an element was
        {4, {}},                            // empties
        {0, {nullptr, a}},
    };
    for (size_t k = 0; k < cases.size(); ++k) {
        const Case& t = cases[k];
        dirty(rul, t.before);
        dirty(ref, t.before);
        EXPECT_EQ(rul.FillRulDataEvnt(t.notes), int(t.notes.size())) << k;
        ref.ClearRulDataEvntArray();
        ref.GetRulDataEvntArray()->SetSize(int(t.notes.size()));
        for (size_t i = 0; i < t.notes.size(); ++i) ref.SetRulDataEvnt(ULONG(i), t.notes[i]);
        ASSERT_EQ(rul.GetRulDataEvntArray()->GetSize(), ref.GetRulDataEvntArray()->GetSize()) << k;
        base.SetEvnt(c, 1);  // an element still tied to the base would now move
        for (int i = 0; i < ref.GetRulDataEvntArray()->GetSize(); ++i) {
            CArticRulDataEvnt* got = rul.GetRulDataEvnt(ULONG(i));
            CArticRulDataEvnt* want = ref.GetRulDataEvnt(ULONG(i));
            ASSERT_EQ(got == nullptr, want == nullptr) << k << " " << i;
            if (!want) continue;
            EXPECT_EQ(got->GetEvnt(0), want->GetEvnt(0)) << k << " " << i;
            EXPECT_EQ(got->GetDataEvnt(), nullptr) << k << " " << i;
            EXPECT_EQ(got->GetDataType(), 0) << k << " " << i;
            EXPECT_EQ(got->GetRulSet(), nullptr) << k << " " << i;
            EXPECT_EQ(got->GetDataNo(), ULONG(i)) << k << " " << i;
        }
        base.SetEvnt(a, 1);
        EXPECT_EQ(rul.GetTailElmNoRulDataEvnt(), ref.GetTailElmNoRulDataEvnt()) << k;
    }
}
