#include <gtest/gtest.h>

#include "engine/rules/ArticPrmExp.h"

TEST(CMakeRulePrm, AllocAndBoundedWrites) {
    CMakeRulePrm prm;
    EXPECT_EQ(prm.Alloc(0), 0u);
    EXPECT_EQ(prm.GetLen(), 0u);
    EXPECT_EQ(prm.Alloc(5), 5u);
    const BYTE four[4] = {1, 2, 3, 4};
    EXPECT_EQ(prm.SetData(2, 4, four), 1);  // 2 + 4 > 5: nothing copied
    EXPECT_EQ(prm.GetData()[2], 0);
    EXPECT_EQ(prm.SetData(1, 4, four), 0);
    EXPECT_EQ(prm.GetData()[4], 4);
    CMakeRulePrm copy;
    copy.Copy(&prm);
    ASSERT_EQ(copy.GetLen(), 5u);
    EXPECT_NE(copy.GetData(), prm.GetData());
    EXPECT_EQ(copy.GetData()[1], 1);
}

TEST(ArticPrmExp, AssignmentCopiesTextsAndBlobAndDropsRelations) {
    CArticPrmExp src;
    src.AddExpStr("A(1)");
    src.AddExpStr("B(2), Mstr");
    auto* blob = new CMakeRulePrm();
    blob->Alloc(3);
    src.SetMakeRulePrm(blob);

    CArticPrmExp dst;
    dst.AddExpStr("old");
    CMakeRulePrm* own = dst.GetMakeRulePrm();
    dst = src;
    ASSERT_NE(dst.GetExpStrList(), nullptr);
    EXPECT_EQ(dst.GetExpStrList()->GetCount(), 2);
    EXPECT_EQ(dst.GetExpStrList()->GetHead(), "A(1)");
    ASSERT_NE(dst.GetMakeRulePrm(), nullptr);
    EXPECT_NE(dst.GetMakeRulePrm(), blob);
    EXPECT_EQ(dst.GetMakeRulePrm()->GetLen(), 3u);
    EXPECT_EQ(dst.GetRelList(), nullptr);
    (void)own;

    // From a record without blob the own blob stays.
    CArticPrmExp bare;
    bare.SetMakeRulePrm(nullptr);
    CMakeRulePrm* kept = dst.GetMakeRulePrm();
    dst = bare;
    EXPECT_EQ(dst.GetMakeRulePrm(), kept);
    EXPECT_EQ(dst.GetExpStrList()->GetCount(), 0);
}
