// The channel selector over the shipped models and hand-made ones: result
// codes, the user's choices, popup lists, icons, the model picture, and a
// channel never switched on without a target row.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <functional>
#include <string>

#include "app/VexaChSelector.h"
#include "data/AlgLastSel.h"
#include "data/ModelFolder.h"
#include "data/VexaChInfo.h"
#include "data/VexaVoiceCatalog.h"
#include "data/FilledVoiceTables.h"

namespace {

constexpr int kNoObject = int(0x80000001);
constexpr int kFailed = int(0x80000002);
constexpr int kFailedMore = int(0x80000003);

const QString kShippedFolder = QStringLiteral(VEXA_SOURCE_DIR "/data/models");

ChannelFacts Facts(int msb, int lsb, int program, std::initializer_list<ChannelFacts::Byte> flags = {}) {
    ChannelFacts facts;
    facts[ChannelFacts::kBankMsb] = BYTE(msb);
    facts[ChannelFacts::kBankLsb] = BYTE(lsb);
    facts[ChannelFacts::kProgram] = BYTE(program);
    for (ChannelFacts::Byte b : flags) facts[b] = 1;
    return facts;
}

// A selector with the shipped models and one of them selected.
struct Shipped {
    explicit Shipped(const char* model) {
        FillVoiceTables();
        loaded = selector.LoadModels(kShippedFolder) == 0 && selector.SetModel(model) == 0;
    }
    int Row(BYTE channel) {
        int row = 1000;
        selector.GetTarget(channel, nullptr, nullptr, nullptr, &row, nullptr);
        return row;
    }
    bool On(BYTE channel) {
        bool on = false;
        selector.IsChannelOn(channel, &on);
        return on;
    }
    CVexaChSelector selector;
    bool loaded = false;
};

}  // namespace

TEST(VexaChSelectorState, ConstructionRemembersFirstRowsAndLoadsNothing) {
    FillVoiceTables();
    ResetAlgLastSel();
    CVexaChSelector selector;
    EXPECT_EQ(GetAlgLastSel(8), 120);
    QStringList names;
    EXPECT_EQ(selector.GetModelNameList(&names), 0);
    EXPECT_TRUE(names.isEmpty());
    // The test program's folder holds no model file.
    EXPECT_EQ(selector.LoadModels(), kFailed);
    EXPECT_EQ(selector.LoadModels(kShippedFolder + "/"), 0);
    EXPECT_EQ(selector.GetModelNameList(&names), 0);
    EXPECT_EQ(names, (QStringList{"Zel-305", "Zel-307", "Zel-309", "Ork-3000", "Ork-4000", "Kelda", "Brune",
                                  "Brune2"}));
    QString model = "old";
    EXPECT_EQ(selector.GetModelName(&model), 0);
    EXPECT_TRUE(model.isEmpty());
    EXPECT_EQ(selector.SetModel("Brune3"), kFailed);
    EXPECT_EQ(selector.SetModel(QString::fromUtf8("Brune\u00e9")), kFailed);  // no CP932 form
    EXPECT_EQ(selector.SetModel("Brune"), 0);
    EXPECT_EQ(selector.GetModelName(&model), 0);
    EXPECT_EQ(model, "Brune");
    QString name;
    EXPECT_EQ(selector.GetProgramName(0, 0, 48, &name), 0);
    EXPECT_EQ(name, "String Ensemble 1");
    EXPECT_EQ(selector.GetDrumVoiceName(127, 0, 0, 28, &name), 0);
    EXPECT_EQ(name, "Slap");
}

TEST(VexaChSelectorState, ChannelSixteenIsNoChannel) {
    Shipped shipped("Brune2");
    ASSERT_TRUE(shipped.loaded);
    CVexaChSelector& s = shipped.selector;
    BYTE byte = 7;
    bool flag = true;
    int row = 7;
    QString text = "keep";
    QStringList list;
    DrumNoteSet notes;
    const std::function<int()> calls[] = {
        [&] { return s.SetChannelInfo(16, Facts(0, 0, 24)); },
        [&] { return s.ApplyRecommendation(16); },
        [&] { return s.SetChannelOn(16, true); },
        [&] { return s.SetTargetByName(16, "NylonGuitar(Hot)"); },
        [&] { return s.IsChannelOn(16, &flag); },
        [&] { return s.GetTarget(16, &byte, &byte, &byte, &row, &flag); },
        [&] { return s.GetChannelVoice(16, &byte, &byte, &byte); },
        [&] { return s.GetPartMode(16, &byte); },
        [&] { return s.HasAlternatives(16, &flag); },
        [&] { return s.GetDrumNoteSet(16, &notes); },
        [&] { return s.GetTargetName(16, &text); },
        [&] { return s.GetSelectedCategoryName(16, &text); },
        [&] { return s.GetIconOff(16, &text); },
        [&] { return s.GetIconOn(16, &text); },
        [&] { return s.GetSameCategoryNames(16, &list); },
        [&] { return s.GetCategoryNames(16, &list, false); },
        [&] { return s.GetCategoryTargetNames(16, "Strings", &list); },
        [&] { return s.GetAllTargetNames(16, &list); },
        [&] { return s.GetChannelMessage(255, &flag, &text); },
    };
    for (size_t i = 0; i < std::size(calls); ++i) EXPECT_EQ(calls[i](), kNoObject) << "call " << i;
    EXPECT_EQ(byte, 7);
    EXPECT_EQ(row, 7);
    EXPECT_EQ(text, "keep");
    EXPECT_TRUE(list.isEmpty());
    EXPECT_FALSE(flag);  // the message's convertible flag is cleared on failure
    flag = true;
    EXPECT_EQ(s.IsDrumKitTarget(16, &flag), kNoObject);
    EXPECT_FALSE(flag);
}

TEST(VexaChSelectorState, FactsRecommendationAndSwitch) {
    Shipped shipped("Brune2");
    ASSERT_TRUE(shipped.loaded);
    CVexaChSelector& s = shipped.selector;
    s.ResetAlgLastSel();
    ASSERT_EQ(s.SetChannelInfo(0, Facts(0, 0, 24)), 0);
    ASSERT_EQ(s.SetChannelInfo(1, Facts(0, 0, 0)), 0);
    ASSERT_EQ(s.SetChannelInfo(2, Facts(0, 0, 24, {ChannelFacts::kNoNotes})), 0);
    ChannelFacts drums;
    drums.Reset(9);
    ASSERT_EQ(s.SetChannelInfo(9, drums), 0);

    BYTE msb = 0, lsb = 0, program = 0, partMode = 0;
    int row = 0;
    bool option = true, flag = false;
    EXPECT_EQ(s.GetTarget(0, &msb, &lsb, &program, &row, &option), 0);
    EXPECT_EQ(std::vector<int>({msb, lsb, program, row}), std::vector<int>({8, 0, 0, 0}));
    EXPECT_FALSE(option);
    EXPECT_TRUE(shipped.On(0));
    EXPECT_EQ(s.GetChannelVoice(9, &msb, &lsb, &program), 0);
    EXPECT_EQ(msb, 127);
    EXPECT_EQ(s.GetPartMode(9, &partMode), 0);
    EXPECT_EQ(partMode, 2);
    EXPECT_EQ(s.HasAlternatives(0, &flag), 0);
    EXPECT_TRUE(flag);
    EXPECT_EQ(s.IsDrumKitTarget(9, &flag), 0);
    EXPECT_TRUE(flag);
    QString name;
    EXPECT_EQ(s.GetTargetName(9, &name), 0);
    EXPECT_EQ(name, "PopDrumKit(HalfOpen)");
    DrumNoteSet notes;
    EXPECT_EQ(s.GetDrumNoteSet(9, &notes), 0);
    EXPECT_TRUE(notes.Contains(28));
    EXPECT_FALSE(notes.Contains(36));

    // The piano: off with no row; switching on takes the default target.
    EXPECT_FALSE(shipped.On(1));
    EXPECT_EQ(shipped.Row(1), -1);
    EXPECT_EQ(s.GetTargetName(1, &name), 0);
    EXPECT_EQ(name, "SteelGuitar");
    EXPECT_EQ(s.GetDrumNoteSet(1, &notes), kFailed);
    EXPECT_EQ(s.SetChannelOn(1, true), 0);
    EXPECT_TRUE(shipped.On(1));
    EXPECT_EQ(shipped.Row(1), 5);
    EXPECT_EQ(s.SetChannelOn(1, false), 0);
    EXPECT_FALSE(shipped.On(1));
    EXPECT_EQ(shipped.Row(1), 5);

    // No notes: refused, stays off.
    bool convertible = true;
    QString message;
    EXPECT_EQ(s.GetChannelMessage(2, &convertible, &message), 0);
    EXPECT_FALSE(convertible);
    EXPECT_EQ(message, "The Channel which has no note event can't be converted.");
    EXPECT_EQ(s.SetChannelOn(2, true), kFailed);
    EXPECT_FALSE(shipped.On(2));

    // The group row: no drum notes, never a target.
    s.GetCatalog()->GetChannel(3)->SetTarget(191);
    EXPECT_EQ(shipped.Row(3), 191);
    EXPECT_EQ(s.GetDrumNoteSet(3, &notes), kFailed);

    EXPECT_EQ(s.ResetChannels(), 0);
    EXPECT_FALSE(shipped.On(0));
    EXPECT_EQ(shipped.Row(0), 0);
}

TEST(VexaChSelectorState, WarningsSwitchTheChannelOff) {
    struct Case {
        const char* model;
        ChannelFacts facts;
        bool on;
        QString text;
    };
    const QString strings =
        "Channels with strings parts containing notes lower than B0 should not be converted to a Strings Vexa "
        "Voice;\r\nthe resulting sound may not be realistic.";
    const Case cases[] = {
        {"Ork-3000", Facts(0, 0, 48, {ChannelFacts::kBelow36}), false, strings},
        {"Kelda", Facts(0, 0, 48, {ChannelFacts::kBelow36}), true, ""},
        {"Ork-3000", Facts(0, 0, 48), true, ""},
        {"Brune2", Facts(0, 0, 24, {ChannelFacts::kSeveralVoices}), false,
         "The Channel which has several program can't be converted."},
        {"Brune2", Facts(8, 0, 0, {ChannelFacts::kVexaVoice}), false,
         "The Channel which has VexaVoice program can't be converted."},
    };
    for (const Case& c : cases) {
        Shipped shipped(c.model);
        ASSERT_TRUE(shipped.loaded);
        ASSERT_EQ(shipped.selector.SetChannelInfo(4, c.facts), 0);
        EXPECT_EQ(shipped.On(4), c.on) << c.model;
        bool convertible = false;
        QString text;
        EXPECT_EQ(shipped.selector.GetChannelMessage(4, &convertible, &text), 0);
        EXPECT_EQ(text, c.text) << c.model;
        // A warning still allows switching on by hand; a refusal does not.
        EXPECT_EQ(shipped.selector.SetChannelOn(4, true), convertible ? 0 : kFailed) << c.model;
    }

    // A pop-vocal target with a note below 24 warns.
    Shipped brune2("Brune2");
    ASSERT_TRUE(brune2.loaded);
    ASSERT_EQ(brune2.selector.SetChannelInfo(5, Facts(0, 0, 52, {ChannelFacts::kBelow24})), 0);
    ASSERT_EQ(brune2.selector.SetTargetByName(5, "Boys/DoBeDoBe"), 0);
    QString text;
    bool convertible = false;
    EXPECT_EQ(brune2.selector.GetChannelMessage(5, &convertible, &text), 0);
    EXPECT_TRUE(convertible);
    EXPECT_EQ(text,
              "Channels with parts containing notes lower than B-1 should not be converted to a PopVocal Vexa "
              "Voice;\r\nthe resulting sound may not be correct note.");
    EXPECT_EQ(GetAlgLastSel(5), 68);  // the choir's category remembers the choice
}

TEST(VexaChSelectorChoice, TargetByNameRemembersItsCategory) {
    Shipped shipped("Brune2");
    ASSERT_TRUE(shipped.loaded);
    CVexaChSelector& s = shipped.selector;
    s.ResetAlgLastSel();
    ASSERT_EQ(s.SetChannelInfo(0, Facts(0, 0, 61)), 0);  // brass section: category 3
    ASSERT_EQ(shipped.Row(0), 45);
    EXPECT_EQ(s.SetTargetByName(0, "NoSuchTarget"), kFailed);
    EXPECT_EQ(s.SetTargetByName(0, QString::fromUtf8("PopHorns1(Hot)\u00e9")), kFailed);
    EXPECT_EQ(shipped.Row(0), 45);
    EXPECT_EQ(s.SetTargetByName(0, "PopHorns1(Hot)"), 0);
    EXPECT_EQ(GetAlgLastSel(3), 48);
    BYTE msb = 0, lsb = 0, program = 0;
    int row = 0;
    EXPECT_EQ(s.GetTarget(0, &msb, &lsb, &program, &row, nullptr), 0);
    EXPECT_EQ(std::vector<int>({msb, lsb, program, row}), std::vector<int>({8, 1, 56, 48}));
    QString category;
    EXPECT_EQ(s.GetSelectedCategoryName(0, &category), 0);
    EXPECT_EQ(category, "Brass");
    // The offers stay those of the last recommendation.
    QStringList same;
    EXPECT_EQ(s.GetSameCategoryNames(0, &same), 0);
    EXPECT_EQ(same.first(), "Brass(Smooth)");
    EXPECT_EQ(same.last(), "* Other Drum Kits");

    // A later brass channel is recommended the remembered row.
    ASSERT_EQ(s.SetChannelInfo(1, Facts(0, 0, 61)), 0);
    EXPECT_EQ(shipped.Row(1), 48);

    // Remembered targets in and out, values of the wrong category ignored.
    CVexaChSelector::AlgLastSelValues values{};
    EXPECT_EQ(s.GetAlgLastSelAll(&values), 0);
    EXPECT_EQ(values[3], 48);
    values[3] = 36;  // a strings row
    values[2] = 36;
    EXPECT_EQ(s.SetAlgLastSelAll(values), 0);
    EXPECT_EQ(GetAlgLastSel(3), 48);
    EXPECT_EQ(GetAlgLastSel(2), 36);
}

TEST(VexaChSelectorChoice, PopupListsAndIcons) {
    Shipped kelda("Kelda");
    ASSERT_TRUE(kelda.loaded);
    ASSERT_EQ(kelda.selector.SetChannelInfo(0, Facts(0, 0, 24)), 0);
    QStringList list;
    EXPECT_EQ(kelda.selector.GetCategoryNames(0, &list, true), 0);
    EXPECT_TRUE(list.isEmpty());

    Shipped brune2("Brune2");
    ASSERT_TRUE(brune2.loaded);
    CVexaChSelector& s = brune2.selector;
    ASSERT_EQ(s.SetChannelInfo(0, Facts(0, 0, 24)), 0);
    list = QStringList{"Strings", "Mine"};  // not cleared; no name twice
    EXPECT_EQ(s.GetCategoryNames(0, &list, false), 0);
    EXPECT_EQ(list, (QStringList{"Strings", "Mine", "NylonGuitar", "SteelGuitar", "12StringGtr", "CleanGuitar",
                                 "AmpGuitar", "OtherGuitar", "AcousticBass", "ElectricBass", "PickBass",
                                 "FretlessBass", "Brass", "Trumpet", "TenorSax", "GospelChoir", "PopVocal"}));
    list.clear();
    EXPECT_EQ(s.GetCategoryNames(0, &list, true), 0);
    EXPECT_EQ(list, (QStringList{"StdDrum", "JazzBrushComp", "JazzBrushExp", "JazzStickKit"}));
    list.clear();
    EXPECT_EQ(s.GetCategoryTargetNames(0, "JazzBrushComp", &list), 0);
    EXPECT_EQ(list, (QStringList{"JazzBrushCmp(fromBrushKit)", "JazzBrushCmp(fromRealBrush)", "JazzBrushCmp(ChangePC)"}));
    list.clear();
    EXPECT_EQ(s.GetAllTargetNames(0, &list), 0);
    EXPECT_EQ(list.size(), 190);

    QString path;
    EXPECT_EQ(s.GetIconOff(0, &path), 0);
    EXPECT_EQ(path, ":/res/InstIcon/Icon_NylonGtr_off.bmp");
    EXPECT_EQ(s.GetIconOn(0, &path), 0);
    EXPECT_EQ(path, ":/res/InstIcon/Icon_NylonGtr_on.bmp");
    ASSERT_EQ(s.SetChannelInfo(1, Facts(0, 0, 0)), 0);  // no row: the default target's offer
    EXPECT_EQ(s.GetIconOff(1, &path), 0);
    EXPECT_EQ(path, ":/res/InstIcon/SteelGOff.bmp");

    // Empty names are skipped; an absent entry fails; an icon id off the table fails.
    CVexaChInfo& info = *s.GetCatalog()->GetChannel(0);
    info.m_pAllOffers->push_back(std::make_unique<CProgramAfter>(500, &s.GetCatalog()->GetTargetNames()));
    list.clear();
    EXPECT_EQ(s.GetAllTargetNames(0, &list), 0);
    EXPECT_EQ(list.size(), 190);
    info.m_pAllOffers->front()->m_IconOff = 69;
    EXPECT_EQ(s.GetIconOff(0, &path), kFailedMore);
    info.m_pAllOffers->push_back(nullptr);
    EXPECT_EQ(s.GetAllTargetNames(0, &list), kFailedMore);
    info.m_pAllOffers.reset();
    EXPECT_EQ(s.GetAllTargetNames(0, &list), kFailed);
    EXPECT_EQ(s.GetIconOn(0, &path), kFailed);
}

TEST(VexaChSelectorModel, PictureTurnedUprightInItsColours) {
    FillVoiceTables();
    ModelFolder folder("picture");
    CArticModel model;
    model.m_Name = "Pic";
    model.m_Availability[1] = 1;
    model.m_Picture.assign(19584, 0);
    for (int stored = 0; stored < 36; ++stored) {
        for (int x = 0; x < 181; ++x) {
            // Blue rows first (the bottom of the picture), red rows last.
            model.m_Picture[size_t(stored * 544 + 3 * x + (stored < 18 ? 0 : 2))] = 255;
        }
    }
    folder.Write("Pic.exm", model);
    model.m_Name = "Short";
    model.m_Picture.assign(100, 0xFF);
    folder.Write("Short.exm", model);

    CVexaChSelector selector;
    ASSERT_EQ(selector.LoadModels(QString::fromStdU16String(folder.Folder())), 0);
    QPixmap pixmap;
    EXPECT_EQ(selector.GetModelPicture(&pixmap), kFailed);  // no model selected
    ASSERT_EQ(selector.SetModel("Pic"), 0);
    ASSERT_EQ(selector.GetModelPicture(&pixmap), 0);
    const QImage image = pixmap.toImage();
    ASSERT_EQ(image.size(), QSize(181, 36));
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(image.pixel(180, 17)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(image.pixel(0, 18)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(image.pixel(180, 35)), QColor(0, 0, 255));

    ASSERT_EQ(selector.SetModel("Short"), 0);
    EXPECT_EQ(selector.GetModelPicture(&pixmap), kFailedMore);
    EXPECT_TRUE(pixmap.isNull());
}

TEST(VexaChSelectorModel, NeverOnWithoutATargetRow) {
    // A model without voices: nothing to switch on to.
    FillVoiceTables();
    ModelFolder folder("novoices");
    folder.WriteModel("Bare.exm", "Bare", {});
    CVexaChSelector bare;
    ASSERT_EQ(bare.LoadModels(QString::fromStdU16String(folder.Folder())), 0);
    ASSERT_EQ(bare.SetModel("Bare"), 0);
    ASSERT_EQ(bare.SetChannelInfo(0, Facts(0, 0, 24)), 0);
    EXPECT_EQ(bare.SetChannelOn(0, true), kFailed);
    bool on = true;
    int row = 0;
    EXPECT_EQ(bare.IsChannelOn(0, &on), 0);
    EXPECT_FALSE(on);
    EXPECT_EQ(bare.GetTarget(0, nullptr, nullptr, nullptr, &row, nullptr), 0);
    EXPECT_EQ(row, -1);

    // A name offered before the switch to an older model no longer names a row.
    Shipped shipped("Brune2");
    ASSERT_TRUE(shipped.loaded);
    CVexaChSelector& s = shipped.selector;
    ASSERT_EQ(s.SetChannelInfo(0, Facts(0, 0, 25)), 0);  // steel guitar, row 5
    QStringList offered;
    ASSERT_EQ(s.GetSameCategoryNames(0, &offered), 0);
    ASSERT_TRUE(offered.contains("SteelAcousticPick"));
    ASSERT_EQ(s.SetModel("Ork-3000"), 0);
    EXPECT_EQ(s.SetTargetByName(0, "SteelAcousticPick"), kFailed);
    BYTE msb = 0, lsb = 0, program = 0;
    EXPECT_EQ(s.GetTarget(0, &msb, &lsb, &program, &row, nullptr), 0);
    EXPECT_EQ(std::vector<int>({msb, lsb, program, row}), std::vector<int>({8, 0, 1, 5}));
    EXPECT_TRUE(shipped.On(0));
    // After the recommendation is applied again the new names are offered.
    ASSERT_EQ(s.ApplyRecommendation(0), 0);
    EXPECT_EQ(s.SetTargetByName(0, "SteelAcoustic"), 0);
    EXPECT_EQ(shipped.Row(0), 6);
}
