#include "platform/Collections.h"

#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

namespace {

// An engine-like element that counts its destructions, to show that the
// containers never delete what they hold.
class CArticItem : public CObject {
public:
    explicit CArticItem(int no, int* deaths = nullptr) : m_nNo(no), m_pDeaths(deaths) {}
    ~CArticItem() override {
        if (m_pDeaths) ++*m_pDeaths;
    }
    int m_nNo;
    int* m_pDeaths;
};

std::vector<int> numbers(const CTypedPtrList<CObList, CArticItem*>& list) {
    std::vector<int> out;
    for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p)->m_nNo);
    return out;
}

TEST(NodeList, PositionsSurviveNeighbourRemoval) {
    CArticItem a(1), b(2), c(3);
    CTypedPtrList<CObList, CArticItem*> list;
    POSITION pa = list.AddTail(&a);
    POSITION pb = list.AddTail(&b);
    POSITION pc = list.AddTail(&c);
    list.RemoveAt(pb);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetAt(pa), &a);
    EXPECT_EQ(list.GetAt(pc), &c);
    POSITION walk = pa;
    EXPECT_EQ(list.GetNext(walk), &a);
    EXPECT_EQ(walk, pc);  // a's successor is now c
    EXPECT_EQ(list.GetPrev(walk), &c);
    EXPECT_EQ(walk, pa);
    EXPECT_EQ(list.GetPrev(walk), &a);
    EXPECT_EQ(walk, nullptr);
}

TEST(NodeList, InsertFindAndIndex) {
    CArticItem a(1), b(2), x(8), y(9);
    CTypedPtrList<CObList, CArticItem*> list;
    POSITION pa = list.AddTail(&a);
    POSITION pb = list.AddTail(&b);
    list.InsertBefore(pb, &x);         // 1 8 2
    list.InsertAfter(pa, &y);          // 1 9 8 2
    list.InsertBefore(nullptr, &b);    // 2 1 9 8 2
    list.InsertAfter(nullptr, &a);     // 2 1 9 8 2 1
    EXPECT_EQ(numbers(list), (std::vector<int>{2, 1, 9, 8, 2, 1}));

    POSITION first = list.Find(&b);
    EXPECT_EQ(first, list.GetHeadPosition());
    POSITION second = list.Find(&b, first);
    EXPECT_EQ(second, pb);
    EXPECT_EQ(list.Find(&b, second), nullptr);
    EXPECT_EQ(list.Find(&a, pa), list.GetTailPosition());

    EXPECT_EQ(list.FindIndex(2), list.Find(&y));
    EXPECT_EQ(list.FindIndex(-1), nullptr);
    EXPECT_EQ(list.FindIndex(6), nullptr);

    EXPECT_EQ(list.RemoveHead(), &b);
    EXPECT_EQ(list.RemoveTail(), &a);
    EXPECT_EQ(numbers(list), (std::vector<int>{1, 9, 8, 2}));
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
}

TEST(NodeList, NeverDeletesItsElements) {
    int deaths = 0;
    {
        CArticItem keep(1, &deaths);
        {
            CTypedPtrList<CObList, CArticItem*> list;
            list.AddTail(&keep);
            list.RemoveAll();
            list.AddTail(&keep);
        }
        EXPECT_EQ(deaths, 0);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(NodeList, StringListHoldsCopies) {
    CStringList list;
    CString s("abc");
    list.AddTail(s);
    s = "changed";
    list.AddHead("first");
    EXPECT_EQ(list.GetHead(), "first");
    EXPECT_EQ(list.GetTail(), "abc");
    EXPECT_NE(list.Find("abc"), nullptr);
    EXPECT_EQ(list.Find("changed"), nullptr);
}

// Insertions and removals at the head, the tail and kept positions, across
// many node blocks and through emptying, against a std::list model: every
// position taken stays on its own element until that element is removed.
TEST(NodeList, BlockNodesAgreeWithAModelAndPositionsStay) {
    CStringList list;
    struct Kept {
        POSITION pos;
        std::list<std::string>::iterator it;
    };
    std::list<std::string> model;
    std::vector<Kept> kept;
    unsigned seed = 12345;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    for (int round = 0; round < 3; ++round) {
        for (int step = 0; step < 3000; ++step) {
            // Texts longer than the in-place buffer, so that a lost or doubly
            // destroyed element shows as a leak or a double free.
            const std::string text = "element text of step " + std::to_string(round * 10000 + step);
            const unsigned op = next(kept.empty() ? 3 : 6);
            if (op == 0) {
                kept.push_back({list.AddTail(text.c_str()), model.insert(model.end(), text)});
            } else if (op == 1) {
                kept.push_back({list.AddHead(text.c_str()), model.insert(model.begin(), text)});
            } else if (op == 2) {
                list.AddTail(text.c_str());
                model.push_back(text);
            } else if (op == 3) {
                const Kept& at = kept[next(unsigned(kept.size()))];
                kept.push_back({list.InsertAfter(at.pos, text.c_str()), model.insert(std::next(at.it), text)});
            } else {
                const size_t i = next(unsigned(kept.size()));
                ASSERT_EQ(list.GetAt(kept[i].pos).str(), *kept[i].it);
                list.RemoveAt(kept[i].pos);
                model.erase(kept[i].it);
                kept.erase(kept.begin() + long(i));
            }
        }
        ASSERT_EQ(list.GetCount(), int(model.size()));
        for (const Kept& k : kept) ASSERT_EQ(list.GetAt(k.pos).str(), *k.it);
        auto it = model.begin();
        for (POSITION p = list.GetHeadPosition(); p; ++it) ASSERT_EQ(list.GetNext(p).str(), *it);
        // Emptied by removals, and the next round starts on fresh blocks.
        while (!list.IsEmpty()) list.RemoveHead();
        model.clear();
        kept.clear();
        EXPECT_EQ(list.GetHeadPosition(), nullptr);
    }
}

#if defined(__SANITIZE_ADDRESS__)
// A removed node's slot stays in the list's block for reuse; reading through
// its old position is still reported.
TEST(NodeListDeathTest, RemovedPositionIsReportedUnderAddressSanitizer) {
    int a = 1, b = 2;
    CPtrList list;
    list.AddTail(&a);
    const POSITION gone = list.AddTail(&b);
    list.RemoveAt(gone);
    EXPECT_DEATH(EXPECT_NE(list.GetAt(gone), nullptr), "use-after-poison");
}
#endif

TEST(PtrArray, SetSizeGrowsWithNullAndShrinkingDeletesNothing) {
    int deaths = 0;
    CArticItem a(1, &deaths), b(2, &deaths);
    CTypedPtrArray<CObArray, CArticItem*> array;
    array.SetSize(3);
    EXPECT_EQ(array.GetSize(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(array.GetAt(i), nullptr) << i;
    array.SetAt(0, &a);
    array.SetAt(2, &b);
    array.SetSize(1);
    EXPECT_EQ(array.GetSize(), 1);
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(b.m_nNo, 2);  // still alive and untouched
    array.SetSize(4, 5);
    EXPECT_EQ(array.GetAt(0), &a);
    EXPECT_EQ(array.GetAt(3), nullptr);  // the old slot came back empty
    EXPECT_EQ(array.GetGrowBy(), 5);
}

TEST(PtrArray, OutOfRangeIsNullAndNeverWritten) {
    CArticItem a(1), b(2);
    CTypedPtrArray<CObArray, CArticItem*> array;
    EXPECT_EQ(array.GetAt(0), nullptr);
    EXPECT_EQ(array[-1], nullptr);
    array.SetAt(0, &a);  // no implicit growth
    EXPECT_EQ(array.GetSize(), 0);
    EXPECT_EQ(array.Add(&a), 0);
    array.InsertAt(3, &b);  // past the end: grows with empty slots
    EXPECT_EQ(array.GetSize(), 4);
    EXPECT_EQ(array[1], nullptr);
    EXPECT_EQ(array[3], &b);
    array.RemoveAt(1, 2);
    EXPECT_EQ(array.GetSize(), 2);
    EXPECT_EQ(array[1], &b);
    EXPECT_EQ(array.GetUpperBound(), 1);
}

TEST(Maps, WalkInKeyOrder) {
    CArticItem a(1), b(2);
    CMapWordToOb map;
    map.SetAt(20, &b);
    map.SetAt(10, &a);
    CObject* found = nullptr;
    EXPECT_TRUE(map.Lookup(10, found));
    EXPECT_EQ(found, &a);
    EXPECT_FALSE(map.Lookup(30, found));
    std::vector<WORD> keys;
    for (POSITION p = map.GetStartPosition(); p;) {
        WORD key = 0;
        CObject* value = nullptr;
        map.GetNextAssoc(p, key, value);
        keys.push_back(key);
    }
    EXPECT_EQ(keys, (std::vector<WORD>{10, 20}));
    EXPECT_TRUE(map.RemoveKey(10));
    EXPECT_FALSE(map.RemoveKey(10));
}

}  // namespace
