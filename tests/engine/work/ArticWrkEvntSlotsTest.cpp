// The per-rule-set state of a work event: values stored only for the set
// numbers that hold one, read back exactly like a set-indexed array.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "engine/rules/ArticPrmExp.h"
#include "engine/work/ArticWrkEvnt.h"

namespace {

// One write of an Out value and what the set-indexed array holds afterwards.
struct OutWrite {
    ULONG set;
    LONG value;
    int size;  // array size after the write
};

// Out of order, far out, zeros into empty and into held slots.
const OutWrite kOutWrites[] = {
    {1003, 4, 1005}, {7, 0, 1005}, {7, 2, 1005}, {500, -1, 1005}, {0, 9, 1005},
    {500, 0, 1005},  {1004, 0, 1005}, {1005, 0, 1010}, {3, 6, 1010},
};

// The array GetOutArray hands out, as set -> value (null slots left out), and its size.
std::map<ULONG, LONG> HeldSlots(const CArticWrkEvnt& e, int* size) {
    std::map<ULONG, LONG> held;
    CArticLongArray* array = e.GetOutArray();
    *size = array ? array->GetSize() : -1;
    if (!array) return held;
    for (int i = 0; i < array->GetSize(); ++i)
        if (const LONG* v = array->GetAt(i)) held[ULONG(i)] = *v;
    return held;
}

TEST(WrkEvntSetSlots, OutValuesReadBackLikeASetIndexedArray) {
    CArticWrkEvnt e;
    std::map<ULONG, LONG> expected;  // slots made so far, zeros kept once made
    for (const auto& w : kOutWrites) {
        ASSERT_EQ(e.SetOut(w.set, w.value), 1) << w.set;
        if (w.value != 0 || expected.count(w.set)) expected[w.set] = w.value;
        int size = 0;
        EXPECT_EQ(HeldSlots(e, &size), expected) << "after set " << w.set;
        EXPECT_EQ(size, w.size) << "after set " << w.set;
        for (ULONG set : {0u, 3u, 7u, 8u, 499u, 500u, 1003u, 1004u, 1005u, 5000u}) {
            auto it = expected.find(set);
            EXPECT_EQ(e.GetOut(set), it == expected.end() ? 0 : it->second) << set << " after set " << w.set;
        }
    }
    EXPECT_EQ(e.ClearOutArray(), 1);
    int size = 0;
    EXPECT_TRUE(HeldSlots(e, &size).empty());
    EXPECT_EQ(size, 0);
    EXPECT_EQ(e.GetOut(1003), 0);
}

TEST(WrkEvntSetSlots, EachKindKeepsItsOwnValues) {
    CArticWrkEvnt e;
    const ULONG sets[] = {1010, 2, 640, 2, 11};
    LONG n = 1;
    for (ULONG set : sets) {
        e.SetExv(set, n);
        e.SetSearch(set, n + 100);
        e.SetErr(set, n + 200);
        e.SetOut(set, n + 300);
        e.SetProb(set, n / 8.0);
        ++n;
    }
    // The last write of a number wins: 2 was written second and fourth.
    const struct { ULONG set; LONG n; } kLast[] = {{1010, 1}, {2, 4}, {640, 3}, {11, 5}};
    for (const auto& c : kLast) {
        EXPECT_EQ(e.GetExv(c.set), c.n) << c.set;
        EXPECT_EQ(e.GetSearch(c.set), c.n + 100) << c.set;
        EXPECT_EQ(e.GetErr(c.set), c.n + 200) << c.set;
        EXPECT_EQ(e.GetOut(c.set), c.n + 300) << c.set;
        EXPECT_DOUBLE_EQ(e.GetProb(c.set), c.n / 8.0) << c.set;
    }
    for (ULONG set : {0u, 1u, 3u, 639u, 1009u, 1011u}) {
        EXPECT_EQ(e.GetExv(set) | e.GetSearch(set) | e.GetErr(set) | e.GetOut(set), 0) << set;
        EXPECT_EQ(e.GetProb(set), 0.0) << set;
    }
    e.ClearSearchArray();
    EXPECT_EQ(e.GetSearch(640), 0);
    EXPECT_EQ(e.GetExv(640), 3);  // clearing one kind leaves the others
}

TEST(WrkEvntSetSlots, CopiesReplaceWhatTheDestinationHeld) {
    CArticWrkEvnt src, dst;
    src.SetProb(900, 0.5);
    src.SetOut(900, 1);
    src.SetErr(4, 7);
    src.SetExv(12, 3);
    CStringList texts;
    texts.AddTail("A(1)");
    src.SetExpEvntList(33, &texts);
    dst.SetProb(5, 0.25);
    dst.SetOut(5, 1);
    dst.SetErr(900, 2);
    dst.SetExv(5, 8);
    dst.SetExpEvntList(5, &texts);

    dst = src;
    EXPECT_EQ(dst.GetProb(5), 0.0);
    EXPECT_EQ(dst.GetOut(5), 0);
    EXPECT_EQ(dst.GetErr(900), 0);
    EXPECT_EQ(dst.GetExv(5), 0);
    EXPECT_EQ(dst.GetExpEvntList(5), nullptr);
    EXPECT_DOUBLE_EQ(dst.GetProb(900), 0.5);
    EXPECT_EQ(dst.GetOut(900), 1);
    EXPECT_EQ(dst.GetErr(4), 7);
    EXPECT_EQ(dst.GetExv(12), 3);
    ASSERT_NE(dst.GetExpEvntList(33), nullptr);
    EXPECT_NE(dst.GetExpEvntList(33), src.GetExpEvntList(33));  // a list of its own
    EXPECT_EQ(dst.GetExpEvntList(33)->GetCount(), 1);
    int size = 0;
    HeldSlots(dst, &size);
    EXPECT_EQ(size, 905);

    // The copy is independent of its source.
    src.SetOut(900, 0);
    src.ClearErrArray();
    EXPECT_EQ(dst.GetOut(900), 1);
    EXPECT_EQ(dst.GetErr(4), 7);

    // RestoreProb takes Prob, Out and Err only, replacing what was there.
    CArticWrkEvnt back;
    back.SetOut(1, 1);
    back.SetExv(1, 1);
    EXPECT_EQ(back.RestoreProb(&dst), 0);
    EXPECT_EQ(back.GetOut(1), 0);
    EXPECT_EQ(back.GetOut(900), 1);
    EXPECT_EQ(back.GetErr(4), 7);
    EXPECT_EQ(back.GetExv(1), 1);
    EXPECT_EQ(back.GetExv(12), 0);
}

TEST(WrkEvntSetSlots, RecordsAreOwnedPerSet) {
    CArticWrkEvnt e;
    EXPECT_EQ(e.GetPrmExpArraySize(), 0);
    ASSERT_EQ(e.SetPrmExpArray(1002, new CArticPrmExp()), 0);
    ASSERT_EQ(e.SetPrmExpArray(6, new CArticPrmExp()), 0);
    EXPECT_EQ(e.GetPrmExpArraySize(), 1005);
    EXPECT_EQ(e.GetPrmExpArrayExist(), 2);
    CArticPrmExp* held = e.GetPrmExp(6);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(e.SetPrmExpArray(6, held), 0);  // the same record again stays
    EXPECT_EQ(e.GetPrmExp(6), held);
    EXPECT_EQ(e.SetPrmExpArray(6, nullptr), 0);
    EXPECT_EQ(e.GetPrmExp(6), nullptr);
    EXPECT_EQ(e.GetPrmExpArrayExist(), 1);
    EXPECT_EQ(e.GetPrmExpArraySize(), 1005);
    EXPECT_EQ(e.SetPrmExpArray(kNoRuleSet, nullptr), 1);  // no rule-set number

    // A source without records leaves the destination's records; one with
    // records replaces them.
    CArticWrkEvnt none, withOne;
    withOne.SetPrmExpArray(3, new CArticPrmExp());
    CArticWrkEvnt dst;
    dst.SetPrmExpArray(9, new CArticPrmExp());
    dst = none;
    EXPECT_NE(dst.GetPrmExp(9), nullptr);
    dst = withOne;
    EXPECT_EQ(dst.GetPrmExp(9), nullptr);
    ASSERT_NE(dst.GetPrmExp(3), nullptr);
    EXPECT_NE(dst.GetPrmExp(3), withOne.GetPrmExp(3));
    EXPECT_EQ(dst.GetPrmExpArraySize(), 5);
    EXPECT_EQ(dst.ClearPrmExpArray(), 1);
    EXPECT_EQ(dst.GetPrmExpArrayExist(), 0);
    EXPECT_EQ(dst.GetPrmExpArraySize(), 0);
}

}  // namespace
