#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "services/ArticPasn.h"
#include "engine/work/ArticWrkBlk.h"

namespace {

CArticWrkBlk* Blk(std::vector<std::unique_ptr<CArticWrkBlk>>& blocks, int i) { return blocks[size_t(i)].get(); }

}  // namespace

TEST(ArticPasnData, SetGrowsByEightAndRaisesTheCount) {
    CArticPasnData data;
    EXPECT_EQ(data.GetSlotCount(), 16);
    EXPECT_EQ(data.GetBlkNum(), 0u);
    CArticWrkBlk a(nullptr, 0), b(nullptr, 1);
    EXPECT_EQ(data.Set(20, &a), 1);
    EXPECT_EQ(data.GetSlotCount(), 24);
    EXPECT_EQ(data.GetBlkNum(), 21u);
    EXPECT_EQ(data.AddTail(&b), 1);
    EXPECT_EQ(data.Get(21), &b);
    EXPECT_EQ(data.Get(5), nullptr);   // an empty slot below the count
    EXPECT_EQ(data.Get(22), nullptr);  // beyond the count
    EXPECT_EQ(data.IsWrkBlk(&a), 1);
    CArticWrkBlk c(nullptr, 2);
    EXPECT_EQ(data.IsWrkBlk(&c), 0);
}

TEST(ArticPasn, RegisteredRecordsAreFoundByBlockAndOwnedOnce) {
    std::vector<std::unique_ptr<CArticWrkBlk>> blocks;
    for (int i = 0; i < 4; ++i) blocks.push_back(std::make_unique<CArticWrkBlk>(nullptr, ULONG(i)));
    CArticPasn pasn;
    auto* first = new CArticPasnData(&pasn);
    first->AddTail(Blk(blocks, 0));
    first->AddTail(Blk(blocks, 1));
    auto* second = new CArticPasnData(&pasn);
    second->AddTail(Blk(blocks, 2));
    EXPECT_EQ(pasn.AddTail(first), 1);
    EXPECT_EQ(pasn.AddTail(second), 1);
    EXPECT_EQ(pasn.AddTail(first), 0);  // registered already: refused, not owned twice
    EXPECT_EQ(pasn.GetDataNum(), 2u);
    EXPECT_EQ(pasn.Get(Blk(blocks, 1)), first);
    EXPECT_EQ(pasn.Get(Blk(blocks, 2)), second);
    EXPECT_EQ(pasn.Get(Blk(blocks, 3)), nullptr);
    EXPECT_EQ(pasn.IsLayer(), 1);

    // The shared record lists each user once.
    CArticPasnCommon* common = pasn.GetCommon();
    EXPECT_EQ(common->Set(0, Blk(blocks, 3), Blk(blocks, 0)), 1);
    EXPECT_EQ(common->Entry(0, Blk(blocks, 0)), 1);
    EXPECT_EQ(common->Entry(0, Blk(blocks, 2)), 1);
    EXPECT_EQ(common->GetWrkBlkList(0)->GetCount(), 2);

    std::vector<CArticWrkBlk*> found;
    EXPECT_EQ(pasn.GetWrkBlkArray(Blk(blocks, 0), found), 1);
    EXPECT_EQ(found, (std::vector<CArticWrkBlk*>{Blk(blocks, 0), Blk(blocks, 1), Blk(blocks, 3)}));
    found.clear();
    EXPECT_EQ(pasn.GetWrkBlkArray(Blk(blocks, 1), found), 0);

    pasn.Clear();
    EXPECT_EQ(pasn.GetDataNum(), 0u);
    EXPECT_EQ(pasn.IsLayer(), 0);
}
