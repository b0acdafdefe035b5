// The voice catalogue: which model files a folder scan loads and in which
// order, the display names a selected model shows, and the remembered
// targets per recommendation category.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/AlgLastSel.h"
#include "data/ModelFolder.h"
#include "data/NameTables.h"
#include "data/VexaVoiceCatalog.h"
#include "data/FilledVoiceTables.h"
#include "platform/Text.h"

namespace {

std::vector<std::string> LoadedNames(const CVexaVoiceCatalog& catalog) {
    std::vector<CString> names;
    catalog.GetModelNameList(&names);
    return std::vector<std::string>(names.begin(), names.end());
}

const std::u16string kShippedFolder = Utf8ToUtf16(VEXA_SOURCE_DIR "/data/models/");

// What the selector does when the user picks a model.
bool SelectModel(CVexaVoiceCatalog& catalog, const char* name) {
    CArticModel* model = catalog.FindModel(name);
    if (!model) return false;
    catalog.m_SelectedModelName = name;
    catalog.UpdateTargetNames(IsOlderModelName(name), model->GetGeneration());
    return true;
}

}  // namespace

TEST(VoiceCatalogScan, FamiliesFirstThenTheRestEachFileOnce) {
    FillVoiceTables();
    ModelFolder folder("families");
    folder.WriteModel("Brune2.exm", "B2");
    folder.WriteModel("Kelda3.exm", "K3");
    folder.WriteModel("Another.exm", "A");
    folder.WriteModel("brune9.exm", "b9");
    CVexaVoiceCatalog catalog;
    EXPECT_EQ(catalog.LoadModels(folder.Folder()), 0);
    // Kelda before Brune (family order), brune9 in the Brune scan (the search
    // ignores case), not again in the filtered one; the rest last.
    EXPECT_EQ(LoadedNames(catalog), (std::vector<std::string>{"K3", "B2", "b9", "A"}));

    // Loading again replaces the list.
    EXPECT_EQ(catalog.LoadModels(folder.Folder()), 0);
    EXPECT_EQ(LoadedNames(catalog).size(), 4u);
}

TEST(VoiceCatalogScan, ExtensionIsCaseSensitiveAndFailuresCount) {
    FillVoiceTables();
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, size_t>> files;  // name, bytes kept (0 = whole)
        int result;
        std::vector<std::string> loaded;
    };
    const Case cases[] = {
        {"upper-case extension only", {{"Other.EXM", 0}}, 1, {}},
        {"lower-case extension", {{"Other.exm", 0}}, 0, {"Other.exm"}},
        {"only model truncated", {{"Brune.exm", 12}}, 1, {}},
        {"good Brune then truncated Brune5", {{"Brune.exm", 0}, {"Brune5.exm", 12}}, 1, {"Brune.exm"}},
        {"truncated first, good later", {{"Ork-1.exm", 12}, {"Ork-2.exm", 0}}, 1, {"Ork-2.exm"}},
        {"good family file and a truncated other", {{"Zel-1.exm", 0}, {"Zz.exm", 12}}, 0, {"Zel-1.exm"}},
        {"empty folder", {}, 1, {}},
    };
    for (const Case& c : cases) {
        ModelFolder folder("ext");
        for (const auto& file : c.files) folder.WriteModel(file.first, file.first, {1}, file.second);
        CVexaVoiceCatalog catalog;
        EXPECT_EQ(catalog.LoadModels(folder.Folder()), c.result) << c.what;
        EXPECT_EQ(LoadedNames(catalog), c.loaded) << c.what;
    }
}

TEST(VoiceCatalogScan, SingleScansAndThePrefixTest) {
    FillVoiceTables();
    ModelFolder folder("single");
    folder.WriteModel("Brune.exm", "B");
    folder.WriteModel("Brune5.exm", "B5", {1}, 12);
    folder.WriteModel("Other.exm", "O");
    CVexaVoiceCatalog catalog;
    // Without a model list nothing can be loaded.
    EXPECT_EQ(catalog.LoadModelFile(folder.Folder() + u"Other.exm"), 1);
    ASSERT_EQ(catalog.LoadModels(folder.Folder()), 1);  // the Brune scan and the filtered one both give 1
    EXPECT_EQ(catalog.ScanModelFiles(folder.Folder(), folder.Folder() + u"Brune*.exm", false), 1);
    EXPECT_EQ(catalog.ScanModelFiles(folder.Folder(), folder.Folder() + u"O*.exm", true), 0);
    EXPECT_EQ(catalog.ScanModelFiles(folder.Folder(), folder.Folder() + u"Nothing*.exm", false), 1);
    EXPECT_EQ(catalog.LoadModelFile(folder.Folder() + u"Missing.exm"), 1);

    EXPECT_FALSE(CVexaVoiceCatalog::HasNoFamilyPrefix(u"ZEL-1.exm"));
    EXPECT_FALSE(CVexaVoiceCatalog::HasNoFamilyPrefix(u"kelda.exm"));
    EXPECT_TRUE(CVexaVoiceCatalog::HasNoFamilyPrefix(u"Ze.exm"));
    EXPECT_TRUE(CVexaVoiceCatalog::HasNoFamilyPrefix(u"XBrune.exm"));
}

TEST(VoiceCatalogScan, ShippedFolderInFamilyOrder) {
    FillVoiceTables();
    CVexaVoiceCatalog catalog;
    ASSERT_EQ(catalog.LoadModels(kShippedFolder), 0);
    EXPECT_EQ(LoadedNames(catalog), (std::vector<std::string>{"Zel-305", "Zel-307", "Zel-309", "Ork-3000",
                                                              "Ork-4000", "Kelda", "Brune", "Brune2"}));
    EXPECT_EQ(catalog.FindModel("Kelda"), catalog.GetModels()->at(5).get());
    EXPECT_EQ(catalog.FindModel("kelda"), nullptr);
    EXPECT_EQ(catalog.FindModel("Kelda "), nullptr);
    EXPECT_EQ(catalog.GetCurrentModel(), nullptr);  // none selected yet
}

TEST(VoiceCatalogNames, OlderModelsShowOlderNames) {
    FillVoiceTables();
    CVexaVoiceCatalog catalog;
    ASSERT_EQ(catalog.LoadModels(kShippedFolder), 0);
    // Before any model: the table's own names.
    EXPECT_EQ(catalog.GetTargetNames().size(), 192u);
    EXPECT_STREQ(catalog.GetTargetNames()[6], "SteelAcousticPick");
    struct Case {
        const char* model;
        int row;
        const char* name;
    };
    const Case cases[] = {
        {"Ork-4000", 6, "SteelAcoustic"},       {"Ork-4000", 26, "ElectricBass(Normal)"},
        {"Ork-4000", 44, "RealStr(Pop)"},      {"Ork-3000", 26, "FingerBass(Normal)"},
        {"Ork-3000", 27, "FingerBass(Slap)"},  {"Zel-305", 23, "DistortionGtr"},
        {"Kelda", 6, "SteelAcousticPick"},     {"Kelda", 26, "ElectricBass(Normal)"},
        {"Brune2", 6, "SteelAcousticPick"},    {"Brune2", 191, "Other Drum Kits"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(SelectModel(catalog, c.model)) << c.model;
        EXPECT_STREQ(catalog.GetTargetNames()[size_t(c.row)], c.name) << c.model << " row " << c.row;
        EXPECT_EQ(catalog.GetTargetNames().size(), 192u);
    }
}

TEST(VoiceCatalogNames, ProgramAndDrumNamesOfTheCurrentModel) {
    FillVoiceTables();
    CVexaVoiceCatalog catalog;
    ASSERT_EQ(catalog.LoadModels(kShippedFolder), 0);
    EXPECT_STREQ(catalog.GetProgramName(0, 0, 24), "");  // no model selected
    ASSERT_TRUE(SelectModel(catalog, "Brune2"));
    EXPECT_STREQ(catalog.GetProgramName(0, 0, 24), "Acoustic Guitar (nylon)");
    EXPECT_STREQ(catalog.GetProgramName(127, 0, 0), "Standard Kit");
    EXPECT_STREQ(catalog.GetProgramName(1, 2, 3), "");
    EXPECT_STREQ(catalog.GetDrumVoiceName(127, 0, 0, 28), "Slap");
    EXPECT_STREQ(catalog.GetDrumVoiceName(0, 0, 0, 28), "");
    ASSERT_TRUE(SelectModel(catalog, "Kelda"));
    EXPECT_STREQ(catalog.GetDrumVoiceName(127, 0, 0, 28), "");  // no kits, no drum names
}

TEST(AlgLastSel, DefaultsFirstRowsAndGuardedStores) {
    FillVoiceTables();
    ResetAlgLastSel();
    const LONG defaults[] = {0, 26, 38, 45, 53, 56, 82, 84, 128, 149};
    for (UINT c = 0; c < 10; ++c) EXPECT_EQ(GetAlgLastSel(c), defaults[c]) << c;
    InitAlgLastSel();
    // The first row of each category; category 1 has none and keeps its value.
    const LONG firstRows[] = {0, 26, 33, 45, 52, 54, 82, 84, 120, 147};
    for (UINT c = 0; c < 10; ++c) EXPECT_EQ(GetAlgLastSel(c), firstRows[c]) << c;
    EXPECT_EQ(GetAlgLastSel(10), 0);
    EXPECT_EQ(GetAlgLastSel(UINT(-1)), 0);

    struct Store {
        UINT category, row;
        LONG after;  // entry of the category afterwards (or of category 2 for a bad category)
    };
    const Store stores[] = {
        {2, 45, 33},   // row 45 is category 3
        {2, 36, 36},   {3, 45, 45}, {2, 190, 36},  // a group row belongs to no category
        {2, 500, 36},  {10, 36, 36},
    };
    for (const Store& s : stores) {
        SetAlgLastSel(s.category, s.row);
        EXPECT_EQ(GetAlgLastSel(s.category < 10 ? s.category : 2), s.after) << s.category << "/" << s.row;
    }
    ResetAlgLastSel();
    EXPECT_EQ(GetAlgLastSel(8), 128);
}
