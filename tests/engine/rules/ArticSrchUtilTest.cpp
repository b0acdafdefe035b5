#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "RulesFixture.h"
#include "engine/builtins/ArticSrchValue.h"
#include "engine/rules/ArticSrchBase.h"
#include "engine/rules/ArticSrchUtil.h"

using namespace rultest;

namespace {

// One line of the fixture: name, input masks, output masks, base class.
struct CatalogueRow {
    std::string name, base;
    std::vector<int> in, out;
};

std::vector<int> Masks(const std::string& field) {
    std::vector<int> masks;
    if (field == "-") return masks;
    std::stringstream ss(field);
    std::string item;
    while (std::getline(ss, item, ',')) masks.push_back(std::stoi(item, nullptr, 16));
    return masks;
}

std::vector<CatalogueRow> ReadCatalogue() {
    std::vector<CatalogueRow> rows;
    std::ifstream in(std::string(VEXA_FIXTURES) + "/builtin_catalogue.txt");
    std::string name, ins, outs, base;
    while (in >> name >> ins >> outs >> base) rows.push_back({name, base, Masks(ins), Masks(outs)});
    return rows;
}

}  // namespace

TEST(SrchCatalogue, EveryNameWithItsMasks) {
    std::vector<CatalogueRow> rows = ReadCatalogue();
    ASSERT_EQ(rows.size(), size_t(CArticSrchUtil::kCount));
    int noOutput = 0, noInput = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const CatalogueRow& row = rows[i];
        CExString name(row.name.c_str());
        int inNum = -1, outNum = -1, in[8] = {}, out[8] = {};
        ASSERT_EQ(CArticSrchUtil::GetArgmentInfo(name, &inNum, in, &outNum, out), 0) << row.name;
        ASSERT_EQ(inNum, int(row.in.size())) << row.name;
        ASSERT_EQ(outNum, int(row.out.size())) << row.name;
        for (int k = 0; k < inNum; ++k) EXPECT_EQ(in[k], row.in[size_t(k)]) << row.name << " in " << k;
        for (int k = 0; k < outNum; ++k) EXPECT_EQ(out[k], row.out[size_t(k)]) << row.name << " out " << k;
        const ArticSrchInfo* info = CArticSrchUtil::GetInfo(int(i));
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(std::string(info->name), row.name);
        EXPECT_EQ(std::string(info->base), row.base);
        noOutput += outNum == 0;
        noInput += inNum == 0;
    }
    EXPECT_EQ(noOutput, 30);
    EXPECT_EQ(noInput, 13);
}

TEST(SrchCatalogue, NamesOutsideTheCatalogueWriteNothing) {
    const char* names[] = {"CArticSrchLi",        "carticsrchlim",   "CArticSrchLIM", " CArticSrchLim",
                           "CArticSrchLim ",      "CArticSrchVal",   "CArticSrchIs",  "CArticSrchEvnt",
                           "CArticSrchSubRoutine", "CArticSrchProb", "CArticSrchProb2", "CArticSrchAddArrayEvnt",
                           ""};
    for (const char* n : names) {
        CExString name(n);
        int inNum = -7, outNum = -7, in[8] = {-7}, out[8] = {-7};
        EXPECT_EQ(CArticSrchUtil::GetArgmentInfo(name, &inNum, in, &outNum, out), 1) << n;
        EXPECT_EQ(inNum, -7);
        EXPECT_EQ(outNum, -7);
        EXPECT_EQ(in[0], -7);
        EXPECT_EQ(out[0], -7);
        CArticSrchEvnt* made = reinterpret_cast<CArticSrchEvnt*>(0x1);
        CArticRulElmList empty;
        EXPECT_EQ(CArticSrchUtil::MakeEvnt(nullptr, name, 1, &empty, &made), 1) << n;
        EXPECT_EQ(made, nullptr);
    }
    CExString lim("CArticSrchLim");
    int inNum, outNum, in[8], out[8];
    EXPECT_EQ(CArticSrchUtil::GetArgmentInfo(lim, &inNum, in, &outNum, out), 0);
    EXPECT_EQ(inNum, 3);
    EXPECT_EQ(outNum, 1);
    CExString none("CArticSrchClrAllArrayEvnt");
    EXPECT_EQ(CArticSrchUtil::GetArgmentInfo(none, &inNum, in, &outNum, out), 0);
    EXPECT_EQ(inNum + outNum, 0);
}

TEST(SrchCatalogue, EveryCatalogueNameIsMadeNamesOutsideItFail) {
    for (int i = 0; i < CArticSrchUtil::kCount; ++i) {
        const ArticSrchInfo* info = CArticSrchUtil::GetInfo(i);
        ASSERT_NE(info, nullptr) << i;
        ElmList args{};
        for (size_t k = 0; k < std::strlen(info->in) + std::strlen(info->out); ++k) args.list.AddTail(Num(int(k)));
        CExString name(info->name);
        CArticSrchEvnt* made = nullptr;
        EXPECT_EQ(CArticSrchUtil::MakeEvnt(nullptr, name, 4, &args.list, &made), 0) << info->name;
        ASSERT_NE(made, nullptr) << info->name;
        delete made;
    }
    for (const char* other : {"CArticSrchNoSuch", "carticsrchmstrtempo", ""}) {
        CExString name(other);
        ElmList args{Num(1), Num(0)};
        CArticSrchEvnt* made = reinterpret_cast<CArticSrchEvnt*>(0x1);
        EXPECT_EQ(CArticSrchUtil::MakeEvnt(nullptr, name, 4, &args.list, &made), 1) << other;
        EXPECT_EQ(made, nullptr) << other;
    }
    EXPECT_EQ(CArticSrchUtil::SetMaker("CArticSrchNoSuch", &ArticSrchMake<CArticSrchValLess, 3>), 1);
}

TEST_F(SetFixture, RegisteredBuiltinIsMadeByNameAndRuns) {
    CArticRulDataVal* v1 = NewVal(1, List({Num(2)}));
    CArticRulDataVal* v5 = NewVal(5);
    // #func3:CArticSrchValLess( _val1, 3, &_val5)
    ElmList args{Var(v1), Num(3), Var(v5)};
    CExString name("CArticSrchValLess");
    CArticSrchEvnt* made = nullptr;
    ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, name, 3, nullptr, &made), 1);  // a null list
    ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, name, 3, &args.list, &made), 0);
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->GetClassNameA(), "CArticSrchValLess");
    EXPECT_EQ(made->GetEvntNo(), 3u);
    EXPECT_EQ(made->GetRulSet(), set);
    EXPECT_EQ(made->GetInNum(), 2);
    EXPECT_EQ(made->GetOutNum(), 1);
    CArticRulElmList bound;
    made->GetRulElmList(&bound);
    ASSERT_EQ(bound.GetCount(), 3);
    POSITION p = bound.GetHeadPosition();
    CArticRulElm* e1 = bound.GetNext(p);
    CArticRulElm* e2 = bound.GetNext(p);
    CArticRulElm* e3 = bound.GetNext(p);
    EXPECT_EQ(e1->GetRulData(), v1);
    EXPECT_EQ(e2->GetData(), 3.0);
    EXPECT_EQ(e3->GetRulData(), v5);
    EXPECT_NE(e1, args.list.GetHead());  // the built-in owns copies
    EXPECT_EQ(made->Search(), 0);
    EXPECT_EQ(v5->GetData(), 1.0);
    ASSERT_EQ(set->SetSrchEvnt(made), 1);

    // A clone made through the factory from the class name, number and elements equals its source.
    CArticRulSet other(&rul, &wrk);
    CExString cls(made->GetClassNameA());
    CArticSrchEvnt* clone = nullptr;
    ASSERT_EQ(CArticSrchUtil::MakeEvnt(&other, cls, made->GetEvntNo(), &bound, &clone), 0);
    ASSERT_NE(clone, nullptr);
    EXPECT_STREQ(clone->GetClassNameA(), made->GetClassNameA());
    EXPECT_EQ(clone->GetEvntNo(), made->GetEvntNo());
    EXPECT_EQ(clone->GetRulSet(), &other);
    CArticRulElmList cloned;
    clone->GetRulElmList(&cloned);
    ASSERT_EQ(cloned.GetCount(), bound.GetCount());
    for (POSITION a = bound.GetHeadPosition(), b = cloned.GetHeadPosition(); a && b;) {
        CArticRulElm* x = bound.GetNext(a);
        CArticRulElm* y = cloned.GetNext(b);
        EXPECT_NE(x, y);
        EXPECT_EQ(x->GetRulData(), y->GetRulData());
        EXPECT_EQ(x->GetDataType(), y->GetDataType());
        EXPECT_EQ(x->GetPlus(), y->GetPlus());
        EXPECT_EQ(x->GetData(), y->GetData());
    }
    delete clone;

    // Fewer elements than the catalogue count bind empty elements.
    ElmList one{Num(9)};
    CArticSrchEvnt* partial = nullptr;
    ASSERT_EQ(CArticSrchUtil::MakeEvnt(set, name, 8, &one.list, &partial), 0);
    ASSERT_NE(static_cast<CArticSrchVal*>(partial)->GetRulElmO1(), nullptr);
    EXPECT_EQ(static_cast<CArticSrchVal*>(partial)->GetRulElmO1()->GetRulData(), nullptr);
    delete partial;
}
