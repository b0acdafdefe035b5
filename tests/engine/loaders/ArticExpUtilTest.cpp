#include <gtest/gtest.h>

#include "engine/loaders/ArticExpUtil.h"

TEST(ArticExpUtil, CopyEvntListSharesTheEvents) {
    CArticWrkEvnt a, b;
    CArticWrkEvntList src, dst;
    src.AddTail(&a);
    src.AddTail(static_cast<CArticWrkEvnt*>(nullptr));
    src.AddTail(&b);
    dst.AddTail(&b);
    CArticExpUtil::CopyEvntList(&src, &dst);
    ASSERT_EQ(dst.GetCount(), 3);  // appended, nulls skipped, nothing emptied
    POSITION p = dst.GetHeadPosition();
    EXPECT_EQ(dst.GetNext(p), &b);
    EXPECT_EQ(dst.GetNext(p), &a);
    EXPECT_EQ(dst.GetNext(p), &b);
    CArticExpUtil::CopyEvntList(nullptr, &dst);
    CArticExpUtil::CopyEvntList(&src, nullptr);
    EXPECT_EQ(dst.GetCount(), 3);
    CStringList items;
    EXPECT_EQ(CArticExpUtil::GetEvntParam(nullptr, items), 0);
}
