// What a channel becomes on the shipped models: its recommended target, its
// switch, the texts the user is told, and the offers of its popups.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <typeinfo>
#include <vector>

#include "data/AlgLastSel.h"
#include "data/ModelFolder.h"
#include "data/NameTables.h"
#include "data/VexaVoiceCatalog.h"
#include "data/FilledVoiceTables.h"
#include "platform/Text.h"

namespace {

const char kNoNotes[] = "The Channel which has no note event can't be converted.";
const char kSeveral[] = "The Channel which has several program can't be converted.";
const char kVexa[] = "The Channel which has VexaVoice program can't be converted.";
const char kStrings[] =
    "Channels with strings parts containing notes lower than B0 should not be converted to a Strings Vexa "
    "Voice;\r\nthe resulting sound may not be realistic.";
const char kScat[] =
    "Channels with parts containing notes lower than B-1 should not be converted to a PopVocal Vexa "
    "Voice;\r\nthe resulting sound may not be correct note.";

// The shipped models with one of them selected, remembered targets at their defaults.
class ShippedCatalog {
public:
    explicit ShippedCatalog(const char* model) {
        FillVoiceTables();
        ResetAlgLastSel();
        loaded = catalog.LoadModels(Utf8ToUtf16(VEXA_SOURCE_DIR "/data/models/")) == 0;
        catalog.m_SelectedModelName = model;
        const CArticModel* m = catalog.GetCurrentModel();
        if (m) catalog.UpdateTargetNames(IsOlderModelName(model), m->GetGeneration());
        loaded = loaded && m;
    }
    // What the selector does with a channel's facts.
    CVexaChInfo& Channel(int msb, int lsb, int program, std::initializer_list<ChannelFacts::Byte> flags = {}) {
        CVexaChInfo& info = *catalog.GetChannel(0);
        ChannelFacts facts;
        facts[ChannelFacts::kBankMsb] = BYTE(msb);
        facts[ChannelFacts::kBankLsb] = BYTE(lsb);
        facts[ChannelFacts::kProgram] = BYTE(program);
        for (ChannelFacts::Byte b : flags) facts[b] = 1;
        info.SetFacts(facts);
        info.SetRecommendedTarget();
        return info;
    }
    CVexaVoiceCatalog catalog;
    bool loaded = false;
};

std::vector<std::string> Names(const CVexaChInfo::OfferList& offers) {
    std::vector<std::string> names;
    for (const auto& offer : offers) names.push_back(offer->m_DisplayName.str());
    return names;
}

// The target recommended for the General MIDI programs a musician converts
// and for drum programs on bank 127: the family each goes to, on the newest
// model and on an older one ("" when the channel gets none).
struct RecommendCase {
    int msb, program;
    const char* family;   // what a musician picks
    const char* brune2;   // the recommended target on each model
    const char* zel309;
};

const RecommendCase kRecommendCases[] = {
    {0, 27, "clean guitar", "CleanGuitar", "CleanGuitar"},
    {0, 28, "clean guitar", "CleanGuitar", "CleanGuitar"},
    {0, 44, "strings", "LargeStrings(Pop)", "LargeStrings(Pop)"},
    {0, 45, "strings", "LargeStrings(Pop)", "LargeStrings(Pop)"},
    {0, 48, "strings", "LargeStrings(Pop)", "LargeStrings(Pop)"},
    {0, 52, "choir", "GospelChoir(Hmm)", "GospelChoir(Hmm)"},
    {0, 53, "choir", "GospelChoir(Hmm)", "GospelChoir(Hmm)"},
    {0, 57, "brass", "Brass(Smooth)", "Brass(Smooth)"},
    {0, 60, "brass", "Brass(Smooth)", "Brass(Smooth)"},
    {0, 61, "brass", "Brass(Smooth)", "Brass(Smooth)"},
    {0, 64, "sax", "TenorSax(Hot)", "TenorSax(Hot)"},
    {0, 65, "sax", "TenorSax(Hot)", "TenorSax(Hot)"},
    {0, 0, "none: a piano", "", ""},
    // Any drum program: the standard pop kit, on a model with kits.
    {127, 0, "drum kit", "PopDrumKit(HalfOpen)", ""},
    {127, 1, "drum kit", "PopDrumKit(HalfOpen)", ""},
    {127, 26, "drum kit", "PopDrumKit(HalfOpen)", ""},
    {127, 127, "drum kit", "PopDrumKit(HalfOpen)", ""},
};

}  // namespace

TEST(VexaChInfoRecommend, ShippedModelsTable) {
    struct Case {
        const char* model;
        int msb, lsb, program;
        LONG on, row;
        const char* name;  // of the selected row, or of the default target when none
        int bytes[3];
        int defaultTarget;
    };
    const Case cases[] = {
        {"Brune2", 0, 0, 24, 1, 0, "NylonGuitar(Hot)", {8, 0, 0}, 5},
        // Small strings recommended; the category's last choice is row 38, with its own voice.
        {"Brune2", 0, 0, 48, 1, 38, "LargeStrings(Pop)", {8, 0, 49}, 5},
        // A piano: no recommendation; the bytes show the default target's voice.
        {"Brune2", 0, 0, 0, 0, -1, "SteelGuitar", {8, 0, 1}, 5},
        {"Brune2", 127, 0, 0, 1, 128, "PopDrumKit(HalfOpen)", {127, 8, 73}, 128},
        {"Kelda", 127, 0, 0, 0, -1, "SteelGuitar", {8, 0, 1}, 5},
        {"Zel-305", 0, 0, 48, 1, 38, "LargeStrings(Pop)", {8, 0, 49}, 5},
    };
    for (const Case& c : cases) {
        ShippedCatalog shipped(c.model);
        ASSERT_TRUE(shipped.loaded) << c.model;
        const CVexaChInfo& info = shipped.Channel(c.msb, c.lsb, c.program);
        const std::string what = std::string(c.model) + " " + std::to_string(c.msb) + "/" + std::to_string(c.program);
        EXPECT_EQ(info.m_On, c.on) << what;
        EXPECT_EQ(info.m_SelectedRow, c.row) << what;
        EXPECT_EQ(info.m_AppliedRow, c.row) << what;
        EXPECT_EQ(info.GetDefaultTarget(), c.defaultTarget) << what;
        EXPECT_STREQ(info.GetTargetName(c.row >= 0 ? c.row : info.GetDefaultTarget()), c.name) << what;
        EXPECT_EQ(info.m_TargetBankMsb, c.bytes[0]) << what;
        EXPECT_EQ(info.m_TargetBankLsb, c.bytes[1]) << what;
        EXPECT_EQ(info.m_TargetProgram, c.bytes[2]) << what;
    }
}

TEST(VexaChInfoRecommend, DrumChannelOffersAndGroupEntries) {
    ShippedCatalog brune2("Brune2");
    ASSERT_TRUE(brune2.loaded);
    CVexaChInfo& drum = brune2.Channel(127, 0, 0);
    EXPECT_TRUE(drum.IsDrumPart());
    EXPECT_TRUE(drum.IsDrumKitTarget());
    EXPECT_EQ(drum.m_RecommendCategory, 8);
    EXPECT_EQ(drum.m_Alternatives, 1);
    std::vector<std::string> same = Names(*drum.m_pSameCategoryOffers);
    ASSERT_GE(same.size(), 2u);
    EXPECT_EQ(same[0], "RockDrumKit(FullOpen)");
    EXPECT_EQ(same[same.size() - 2], "Other Drum Kits");
    EXPECT_EQ(same.back(), "* Other Normal Voices");
    EXPECT_EQ(same.size(), 24u + 2u);  // the four rock kits of six rows each
    EXPECT_EQ(drum.m_pAllOffers->size(), 190u);  // Brune2 has every voice

    CVexaChInfo& guitar = brune2.Channel(0, 0, 24);
    EXPECT_FALSE(guitar.IsDrumPart());
    same = Names(*guitar.m_pSameCategoryOffers);
    EXPECT_EQ(same, (std::vector<std::string>{"NylonGuitar(Hot)", "NylonGuitar(Smooth)", "FlamencoGuitar",
                                              "SpanishMedium", "SpanishHard", "ClassicNylonOpen", "ClassicNylonNeck",
                                              "ClNylonTirandoOpen", "ClNylonTirandoNeck", "Other Normal Voices",
                                              "* Other Drum Kits"}));

    // Without kits: only the normal group entry; a piano's offers gather
    // around the default target's category.
    ShippedCatalog kelda("Kelda");
    ASSERT_TRUE(kelda.loaded);
    CVexaChInfo& piano = kelda.Channel(0, 0, 0);
    EXPECT_EQ(piano.m_SelectedRow, -1);
    same = Names(*piano.m_pSameCategoryOffers);
    ASSERT_FALSE(same.empty());
    EXPECT_EQ(same.front(), "SteelGuitar");
    EXPECT_EQ(same.back(), "Other Normal Voices");
    EXPECT_EQ(std::count(same.begin(), same.end(), "* Other Drum Kits"), 0);
}

// A rebuild fills the offers already in the lists in place: whatever was
// done to them since (fields changed, entries emptied, replaced, added), the
// rebuilt lists equal the lists of a channel that never had any.
TEST(VexaChInfoRecommend, RebuiltOffersEqualFreshOnesWhateverWasDoneToTheOldOnes) {
    struct Derived : CProgramAfter {
        using CProgramAfter::CProgramAfter;
    };
    auto fields = [](const CVexaChInfo::OfferList& offers) {
        std::vector<std::string> out;
        for (const auto& o : offers) {
            if (!o) {
                out.push_back("null");
                continue;
            }
            out.push_back(std::to_string(o->m_BankMsb) + "/" + std::to_string(o->m_BankLsb) + "/" +
                          std::to_string(o->m_Program) + "|" + o->m_DisplayName.str() + "|" +
                          o->m_Category23Name.str() + "|" + o->m_Category20Name.str() + "|" +
                          std::to_string(o->m_IconOff) + "/" + std::to_string(o->m_IconOn) + "|" +
                          std::to_string(o->m_pTargetNames != nullptr) + "|" + typeid(*o).name());
        }
        return out;
    };
    ShippedCatalog fresh("Brune2");
    ShippedCatalog reused("Brune2");
    ASSERT_TRUE(fresh.loaded && reused.loaded);
    // From drums (long lists) to a guitar (short same-category list) and back.
    const int programs[][3] = {{127, 0, 0}, {0, 0, 24}, {127, 0, 0}, {0, 0, 0}};
    for (const auto& p : programs) {
        CVexaChInfo& mine = reused.Channel(p[0], p[1], p[2]);
        const CVexaChInfo& theirs = fresh.Channel(p[0], p[1], p[2]);
        SCOPED_TRACE(std::to_string(p[2]));
        EXPECT_EQ(fields(*mine.m_pSameCategoryOffers), fields(*theirs.m_pSameCategoryOffers));
        EXPECT_EQ(fields(*mine.m_pAllOffers), fields(*theirs.m_pAllOffers));
        // Tampering for the next rebuild.
        ASSERT_GE(mine.m_pAllOffers->size(), 3u);
        (*mine.m_pAllOffers)[0]->m_DisplayName = "changed";
        (*mine.m_pAllOffers)[0]->m_IconOff = 999;
        (*mine.m_pAllOffers)[0]->m_pTargetNames = nullptr;
        (*mine.m_pAllOffers)[1].reset();
        (*mine.m_pAllOffers)[2] = std::make_unique<Derived>(0u, nullptr);
        mine.m_pAllOffers->push_back(std::make_unique<CProgramAfter>(5u, nullptr));
        mine.m_pSameCategoryOffers->front()->m_Category23Name = "changed";
        mine.m_pSameCategoryOffers->back()->m_DisplayName = "* changed";
        // Fresh ones are made anew each time.
        fresh.catalog.GetChannel(0)->m_pAllOffers->clear();
        fresh.catalog.GetChannel(0)->m_pSameCategoryOffers->clear();
    }
}

TEST(VexaChInfoRecommend, RememberedChoiceAndVoicelessModel) {
    ShippedCatalog brune2("Brune2");
    ASSERT_TRUE(brune2.loaded);
    SetAlgLastSel(2, 91);  // a Kino strings row
    CVexaChInfo& strings = brune2.Channel(0, 0, 48);
    EXPECT_EQ(strings.m_SelectedRow, 91);
    EXPECT_EQ(strings.m_TargetBankMsb, 8);
    EXPECT_EQ(strings.m_RecommendCategory, 2);

    // A model without voices: no default, no target, no offers.
    FillVoiceTables();
    ModelFolder folder("voiceless");
    folder.WriteModel("Empty.exm", "Empty", {});
    CVexaVoiceCatalog catalog;
    ASSERT_EQ(catalog.LoadModels(folder.Folder()), 0);
    catalog.m_SelectedModelName = "Empty";
    catalog.UpdateTargetNames(false, catalog.GetCurrentModel()->GetGeneration());
    CVexaChInfo& info = *catalog.GetChannel(3);
    EXPECT_EQ(info.GetDefaultTarget(), -1);
    info.SetTarget(0);
    EXPECT_EQ(info.m_On, 0);
    EXPECT_EQ(info.m_SelectedRow, 0);
    EXPECT_EQ(info.m_TargetBankMsb, 0);
    ASSERT_EQ(info.m_pSameCategoryOffers->size(), 1u);  // only "Other Normal Voices"
    EXPECT_TRUE(info.m_pAllOffers->empty());
}

TEST(VexaChInfoMessage, RefusalsAndWarnings) {
    struct Case {
        const char* model;
        int program;
        std::initializer_list<ChannelFacts::Byte> flags;
        int result;
        std::string text;
    };
    const Case cases[] = {
        {"Brune2", 24, {ChannelFacts::kNoNotes, ChannelFacts::kSeveralVoices}, 0, kNoNotes},
        {"Brune2", 24, {ChannelFacts::kSeveralVoices, ChannelFacts::kVexaVoice}, 0, kSeveral},
        {"Brune2", 24, {ChannelFacts::kVexaVoice}, 0, kVexa},
        {"Brune2", 24, {ChannelFacts::kBelow36, ChannelFacts::kBelow24}, 1, ""},
        // Strings below B0: only a model whose strings are all old warns.
        {"Ork-3000", 48, {ChannelFacts::kBelow36}, 1, kStrings},
        {"Kelda", 48, {ChannelFacts::kBelow36}, 1, ""},
        {"Ork-3000", 48, {ChannelFacts::kBelow24}, 1, ""},
    };
    for (const Case& c : cases) {
        ShippedCatalog shipped(c.model);
        ASSERT_TRUE(shipped.loaded);
        CVexaChInfo& info = shipped.Channel(0, 0, c.program, c.flags);
        CString text = "old";
        EXPECT_EQ(info.GetMessage(text), c.result) << c.model << " " << c.program;
        EXPECT_EQ(text.str(), c.text) << c.model << " " << c.program;
    }

    // A pop-vocal (scat) target with a note below 24.
    ShippedCatalog brune2("Brune2");
    ASSERT_TRUE(brune2.loaded);
    SetAlgLastSel(5, 60);
    CVexaChInfo& vocal = brune2.Channel(0, 0, 0, {ChannelFacts::kBelow24, ChannelFacts::kBelow36});
    vocal.SetTarget(60);
    ASSERT_TRUE(vocal.IsScatVocalTarget());
    CString text;
    EXPECT_EQ(vocal.GetMessage(text), 1);
    EXPECT_EQ(text.str(), kScat);
}

TEST(VexaChInfoMessage, ModelChangeSwitchesOffWhatCannotConvert) {
    ShippedCatalog shipped("Brune2");
    ASSERT_TRUE(shipped.loaded);
    CVexaChInfo& info = shipped.Channel(0, 0, 24, {ChannelFacts::kSeveralVoices});
    EXPECT_EQ(info.m_On, 1);  // the target alone switches it on
    shipped.catalog.m_SelectedModelName = "Kelda";
    shipped.catalog.UpdateTargetNames(true, 5);
    EXPECT_EQ(info.m_On, 0);
    EXPECT_EQ(info.m_SelectedRow, 0);

    // Reset keeps the offers until the next build and numbers the channels.
    shipped.catalog.ResetChannels();
    for (UINT ch = 0; ch < 16; ++ch) EXPECT_EQ(shipped.catalog.GetChannel(ch)->m_Channel, ch);
    EXPECT_EQ(info.m_SelectedRow, 0);
    EXPECT_EQ(info.m_RecommendCategory, -1);
    EXPECT_EQ(info.m_TargetBankMsb, 0);
    EXPECT_FALSE(info.m_pAllOffers->empty());
    EXPECT_EQ(shipped.catalog.GetChannel(16), nullptr);
}

TEST(RecommendedTarget, EachProgramGoesToItsFamily) {
    for (const char* model : {"Brune2", "Zel-309"}) {
        ShippedCatalog c(model);
        ASSERT_TRUE(c.loaded) << model;
        for (const RecommendCase& r : kRecommendCases) {
            const std::string expected = std::string(model) == "Brune2" ? r.brune2 : r.zel309;
            const CVexaChInfo& info = c.Channel(r.msb, 0, r.program);
            const std::string got = info.m_On ? info.GetTargetName(int(info.m_SelectedRow)).str() : "";
            EXPECT_EQ(got, expected)
                << model << ": " << r.msb << "/" << r.program << " (" << r.family << ")";
        }
    }
}
