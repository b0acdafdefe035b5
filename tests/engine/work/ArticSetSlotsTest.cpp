// The per-set slots themselves: one block holding size, count and slots, made
// on the first growth; compared step by step with a plain ordered map.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "engine/work/ArticSetSlots.h"

namespace {

enum class SlotOp { Make, Erase, Grow, Copy, Clear };

struct SlotStep {
    SlotOp op;
    ULONG set;
    LONG value;  // written into the slot Make returns
};

// Rising, falling, into the middle, repeated numbers, erasing the first, the
// last and a missing number, growth past the slots, a copy in between.
const SlotStep kSlotSteps[] = {
    {SlotOp::Grow, 1003, 0},  {SlotOp::Make, 7, 1},     {SlotOp::Make, 40, 2},   {SlotOp::Make, 3, 3},
    {SlotOp::Make, 20, 4},    {SlotOp::Make, 20, 5},    {SlotOp::Make, 1003, 6}, {SlotOp::Make, 0, 7},
    {SlotOp::Copy, 0, 0},     {SlotOp::Erase, 0, 0},    {SlotOp::Erase, 1003, 0}, {SlotOp::Erase, 21, 0},
    {SlotOp::Make, 21, 8},    {SlotOp::Grow, 2000, 0},  {SlotOp::Make, 4, 9},    {SlotOp::Make, 5, 10},
    {SlotOp::Copy, 0, 0},     {SlotOp::Make, 6, 11},    {SlotOp::Erase, 7, 0},   {SlotOp::Clear, 0, 0},
    {SlotOp::Make, 9, 12},    {SlotOp::Grow, 9, 0},     {SlotOp::Copy, 0, 0},
};

std::map<ULONG, LONG> Held(const CArticSetSlots<LONG>& slots) {
    std::map<ULONG, LONG> held;
    ULONG previous = 0;
    bool first = true;
    for (const auto& slot : slots) {
        EXPECT_TRUE(first || slot.first > previous) << "slots out of order at " << slot.first;
        previous = slot.first;
        first = false;
        held[slot.first] = slot.second;
    }
    EXPECT_EQ(held.size(), slots.Count());
    return held;
}

TEST(ArticSetSlots, FollowAnOrderedMapThroughMakeEraseGrowCopyAndClear) {
    CArticSetSlots<LONG> slots;
    std::map<ULONG, LONG> expected;
    int size = 0;
    std::vector<std::pair<CArticSetSlots<LONG>, std::map<ULONG, LONG>>> copies;
    int step = 0;
    for (const SlotStep& s : kSlotSteps) {
        switch (s.op) {
        case SlotOp::Make: slots.Make(s.set) = s.value; expected[s.set] = s.value; break;
        case SlotOp::Erase: slots.Erase(s.set); expected.erase(s.set); break;
        case SlotOp::Grow:
            slots.Grow(s.set);
            size = CArticSetSlots<LONG>::GrownSize(size, s.set);
            break;
        case SlotOp::Copy: copies.emplace_back(slots, expected); break;
        case SlotOp::Clear:
            slots.Clear();
            expected.clear();
            size = 0;
            break;
        }
        EXPECT_EQ(Held(slots), expected) << "step " << step;
        EXPECT_EQ(slots.GetSize(), size) << "step " << step;
        for (ULONG set : {0u, 3u, 5u, 9u, 21u, 1003u, 4000u}) {
            auto it = expected.find(set);
            const LONG* v = slots.Find(set);
            EXPECT_EQ(v != nullptr, it != expected.end()) << set << " step " << step;
            if (v && it != expected.end()) EXPECT_EQ(*v, it->second) << set << " step " << step;
        }
        ++step;
    }
    // Copies kept what they held when taken, whatever came after.
    for (auto& copy : copies) EXPECT_EQ(Held(copy.first), copy.second);
    // Assignment over a fuller set, and onto itself.
    CArticSetSlots<LONG> assigned = copies.front().first;
    assigned = copies[1].first;
    EXPECT_EQ(Held(assigned), copies[1].second);
    EXPECT_EQ(assigned.GetSize(), copies[1].first.GetSize());
    auto& self = assigned;
    assigned = self;
    EXPECT_EQ(Held(assigned), copies[1].second);
}

// Owning slots move their values when one is put before them or erased in
// front of them, and free every value they still hold.
TEST(ArticSetSlots, OwningSlotsMoveTheirValuesAndFreeThem) {
    auto counter = std::make_shared<int>(0);
    {
        CArticSetSlots<std::shared_ptr<int>> slots;
        for (ULONG set : {50u, 10u, 30u, 20u, 40u, 5u}) {
            slots.Make(set) = counter;
            *slots.Find(set) = std::make_shared<int>(int(set));
        }
        EXPECT_EQ(counter.use_count(), 1) << "a value was copied where it should move";
        slots.Erase(5);
        slots.Erase(30);
        std::vector<int> held;
        for (const auto& slot : slots) {
            ASSERT_TRUE(slot.second);
            EXPECT_EQ(ULONG(*slot.second), slot.first);
            held.push_back(*slot.second);
        }
        EXPECT_EQ(held, (std::vector<int>{10, 20, 40, 50}));
        slots.Make(20) = counter;  // an existing slot is reused
        EXPECT_EQ(counter.use_count(), 2);
    }
    EXPECT_EQ(counter.use_count(), 1) << "a destroyed set kept a value";
}

TEST(ArticSetSlots, AnEmptySetHoldsNoBlockAndReadsZero) {
    CArticSetSlots<double> slots;
    EXPECT_EQ(sizeof(slots), sizeof(void*));
    EXPECT_EQ(slots.GetSize(), 0);
    EXPECT_EQ(slots.Count(), 0u);
    EXPECT_EQ(slots.begin(), slots.end());
    EXPECT_EQ(slots.Find(0), nullptr);
    slots.Erase(3);
    slots.Reserve(0);
    CArticSetSlots<double> copy(slots);
    EXPECT_EQ(copy.GetSize(), 0);
    // A size with no slot: sized like an array, still nothing to find.
    slots.Grow(12);
    EXPECT_EQ(slots.GetSize(), 15);
    EXPECT_EQ(slots.Count(), 0u);
    EXPECT_EQ(slots.Find(12), nullptr);
    CArticSetSlots<LONG> other;
    other.SetSizeOf(slots);
    EXPECT_EQ(other.GetSize(), 15);
}

}  // namespace
