// The target the shipped models recommend for the General MIDI programs a
// musician converts and for drum programs on bank 127: the family each goes
// to, on the newest model and on an older one.
#include <gtest/gtest.h>

#include <string>

#include "data/AlgLastSel.h"
#include "data/AlgorithmTable.h"
#include "data/FilledVoiceTables.h"
#include "data/NameTables.h"
#include "data/VexaChInfo.h"
#include "data/VexaVoiceCatalog.h"
#include "platform/Text.h"

namespace {

// The shipped models with one selected, remembered targets at their defaults.
struct RecommendingCatalog {
    explicit RecommendingCatalog(const char* model) {
        FillVoiceTables();
        ResetAlgLastSel();
        loaded = catalog.LoadModels(Utf8ToUtf16(VEXA_SOURCE_DIR "/data/models/")) == 0;
        catalog.m_SelectedModelName = model;
        const CArticModel* m = catalog.GetCurrentModel();
        if (m) catalog.UpdateTargetNames(IsOlderModelName(model), m->GetGeneration());
        loaded = loaded && m;
    }
    // The recommended target's name, "" when the channel gets none.
    std::string Recommended(int msb, int program) {
        CVexaChInfo& info = *catalog.GetChannel(0);
        ChannelFacts facts;
        facts[ChannelFacts::kBankMsb] = BYTE(msb);
        facts[ChannelFacts::kProgram] = BYTE(program);
        info.SetFacts(facts);
        info.SetRecommendedTarget();
        if (!info.m_On) return "";
        return info.GetTargetName(int(info.m_SelectedRow)).str();
    }
    CVexaVoiceCatalog catalog;
    bool loaded = false;
};

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

TEST(RecommendedTarget, EachProgramGoesToItsFamily) {
    for (const char* model : {"Brune2", "Zel-309"}) {
        RecommendingCatalog c(model);
        ASSERT_TRUE(c.loaded) << model;
        for (const RecommendCase& r : kRecommendCases) {
            const std::string expected = std::string(model) == "Brune2" ? r.brune2 : r.zel309;
            EXPECT_EQ(c.Recommended(r.msb, r.program), expected)
                << model << ": " << r.msb << "/" << r.program << " (" << r.family << ")";
        }
    }
}
