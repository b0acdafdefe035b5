#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/loaders/ArticExpUtil.h"

namespace {

struct Signature {
    std::string name;
    std::vector<int> masks;
};

std::vector<Signature> ReadSignatures() {
    std::vector<Signature> rows;
    std::ifstream in(std::string(VEXA_FIXTURES) + "/expression_signatures.txt");
    std::string name, codes;
    int count = 0;
    while (in >> name >> count >> codes) {
        Signature s{name, {}};
        std::stringstream ss(codes);
        std::string item;
        while (std::getline(ss, item, ',')) s.masks.push_back(std::stoi(item, nullptr, 16));
        EXPECT_EQ(int(s.masks.size()), count) << name;
        rows.push_back(s);
    }
    return rows;
}

}  // namespace

TEST(ExpSignatures, EveryClassWithItsCodes) {
    std::vector<Signature> rows = ReadSignatures();
    ASSERT_EQ(rows.size(), size_t(CArticExpUtil::kExpClassCount));
    int largest = 0;
    for (const Signature& row : rows) {
        CExString name(row.name.c_str());
        int count = -1;
        int masks[CArticExpUtil::kMaxExpArgs + 1];
        for (int& m : masks) m = -9;
        ASSERT_EQ(CArticExpUtil::GetArgmentInfo(name, &count, masks), 0) << row.name;
        ASSERT_EQ(count, int(row.masks.size())) << row.name;
        for (int k = 0; k < count; ++k) EXPECT_EQ(masks[k], row.masks[size_t(k)]) << row.name << " arg " << k;
        EXPECT_EQ(masks[count], -9) << row.name;  // nothing stored past the count
        if (count > largest) largest = count;
    }
    EXPECT_EQ(largest, CArticExpUtil::kMaxExpArgs);
}

TEST(ExpSignatures, EdgeRows) {
    CExString tril2("CArticExpFileSmfNoteTril2"), kv("CArticExpInitKvinit"), del("CArticExpDel"),
        layer("CArticExpLayerNote2"), cc("CArticExpFileSmfContCc"), stop("CArticExpArrayUsrStop");
    int count = 0, masks[13] = {};
    ASSERT_EQ(CArticExpUtil::GetArgmentInfo(tril2, &count, masks), 0);
    EXPECT_EQ(count, 13);
    ASSERT_EQ(CArticExpUtil::GetArgmentInfo(kv, &count, masks), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(masks[0], 0x22);
    ASSERT_EQ(CArticExpUtil::GetArgmentInfo(del, &count, masks), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(masks[0], 0x4280);
    ASSERT_EQ(CArticExpUtil::GetArgmentInfo(layer, &count, masks), 0);
    EXPECT_EQ(masks[count - 1], 0x400);
    ASSERT_EQ(CArticExpUtil::GetArgmentInfo(cc, &count, masks), 0);
    EXPECT_EQ(masks[3], 0x20);  // positions: a text variable only
    EXPECT_EQ(masks[4], 0x20);
    ASSERT_EQ(CArticExpUtil::GetArgmentInfo(stop, &count, masks), 0);
    EXPECT_EQ(masks[3], 0x22);  // here a constant text too
}

TEST(ExpSignatures, UnknownOrWronglyCasedNamesStoreNothing) {
    const char* names[] = {"CArticExpArrayTurn", "CArticExpDebug", "carticexpdel", "CArticExpDEL",
                           "CArticExpDel ", "", "CArticSrchLim"};
    for (const char* n : names) {
        CExString name(n);
        int count = -3, masks[13] = {-3};
        EXPECT_EQ(CArticExpUtil::GetArgmentInfo(name, &count, masks), 1) << n;
        EXPECT_EQ(count, -3) << n;
        EXPECT_EQ(masks[0], -3) << n;
    }
}
