// The eight model files the program ships: each loads, has the voices of its
// generation, recommends a target for the General MIDI voices it can play,
// names its drum notes when it has kits, and stands in the program's folder.
#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "data/ArticModel.h"
#include "data/NameTables.h"
#include "data/FilledVoiceTables.h"
#include "platform/File.h"

namespace {

struct ShippedModel {
    const char* name;
    int generation;
    bool kits;
    int firstMissingVoice;  // a voice of the next generation, or -1
};

const ShippedModel kShipped[] = {
    {"Zel-305", 1, false, 19}, {"Zel-307", 2, false, 24}, {"Zel-309", 3, false, 34}, {"Ork-3000", 4, false, 45},
    {"Ork-4000", 4, false, 45}, {"Kelda", 5, false, 73},  {"Brune", 6, true, 82},   {"Brune2", 7, true, -1},
};

// General MIDI programs of bank 0/0 and the voices that should play them, best first.
struct GmChoice {
    int program;
    std::initializer_list<int> voices;
};
const GmChoice kGmChoices[] = {
    {24, {0}},  {25, {1}},  {26, {20, 4}}, {27, {4}},  {29, {7}},  {30, {8}},  {32, {9}},
    {33, {10}}, {34, {12}}, {35, {13}},    {36, {11}}, {37, {11}}, {48, {14}}, {49, {15}},
    {52, {31}}, {56, {17}}, {61, {16}},    {65, {18}}, {66, {18}},
    // Muted guitar to a clean guitar, tremolo and pizzicato strings to strings,
    // voice oohs to the choir, trombone and horn to brass, soprano sax to the sax.
    {28, {4}},  {44, {14}}, {45, {14}},    {53, {31}}, {57, {16}}, {60, {16}}, {64, {18}},
};

const int kGmKitPrograms[] = {0, 8, 16, 24, 25, 32, 40, 48, 56};

std::string ModelPath(const char* folder, const char* name) { return std::string(folder) + "/" + name + ".exm"; }

std::unique_ptr<CArticModel> LoadShipped(const char* name) {
    FillVoiceTables();
    auto model = std::make_unique<CArticModel>();
    if (!model->Load(CString(ModelPath(VEXA_SOURCE_DIR "/data/models", name)))) return nullptr;
    return model;
}

}  // namespace

TEST(ShippedModels, EachLoadsWithItsGenerationAndKits) {
    for (const ShippedModel& s : kShipped) {
        const auto model = LoadShipped(s.name);
        ASSERT_TRUE(model) << s.name;
        EXPECT_STREQ(model->m_Name, s.name);
        EXPECT_EQ(model->GetGeneration(), s.generation) << s.name;
        EXPECT_EQ(model->HasDrumKit(), s.kits) << s.name;
        EXPECT_EQ(model->m_Picture.size(), size_t(19584)) << s.name;
        EXPECT_FALSE(model->HasVoice(117)) << s.name;
        if (s.firstMissingVoice >= 0) {
            EXPECT_FALSE(model->HasVoice(UINT(s.firstMissingVoice))) << s.name;
        }
        // Every voice of its generation or below.
        for (int v = 0; v < 117; ++v) {
            const BYTE g = VoiceAddressTable[v].generation;
            const bool expected = std::string(s.name) == "Brune2" || (g != 255 && g <= s.generation);
            EXPECT_EQ(model->HasVoice(UINT(v)), expected) << s.name << " voice " << v;
        }
    }
    // Choir (31) and pop vocal (33) arrive with generation 3.
    EXPECT_FALSE(LoadShipped("Zel-307")->HasVoice(31));
    EXPECT_TRUE(LoadShipped("Zel-309")->HasVoice(31));
    EXPECT_TRUE(LoadShipped("Zel-309")->HasVoice(33));
    // Kelda: an older model name above generation 4, without kits but with voice 1.
    const auto kelda = LoadShipped("Kelda");
    EXPECT_TRUE(IsOlderModelName(kelda->m_Name));
    EXPECT_TRUE(kelda->HasVoice(1));
    EXPECT_FALSE(kelda->HasVoice(73));
}

TEST(ShippedModels, ConversionsNameOnlyVoicesTheModelHas) {
    for (const ShippedModel& s : kShipped) {
        const auto model = LoadShipped(s.name);
        ASSERT_TRUE(model && model->m_pProConvs) << s.name;
        for (const auto& conv : *model->m_pProConvs)
            EXPECT_TRUE(model->HasVoice(UINT(conv->m_VoiceIndex))) << s.name << " voice " << conv->m_VoiceIndex;
        for (const GmChoice& c : kGmChoices) {
            int best = -1;
            for (int v : c.voices) {
                if (best < 0 && model->HasVoice(UINT(v))) best = v;
            }
            const CProConvTable* conv = model->FindProConv(0, 0, BYTE(c.program));
            if (best < 0) {
                EXPECT_FALSE(conv) << s.name << " program " << c.program;
                continue;
            }
            ASSERT_TRUE(conv) << s.name << " program " << c.program;
            EXPECT_EQ(conv->m_VoiceIndex, best) << s.name << " program " << c.program;
        }
        // Pianos get no recommendation.
        EXPECT_FALSE(model->FindProConv(0, 0, 0)) << s.name;
        // Every drum program of bank 127, kit number or not, plays the kit.
        for (int p = 0; p < 128; ++p) {
            const CProConvTable* kit = model->FindProConv(127, 0, BYTE(p));
            EXPECT_EQ(kit != nullptr, s.kits) << s.name << " drum program " << p;
            if (kit) {
                EXPECT_EQ(kit->m_VoiceIndex, 73) << s.name << " drum program " << p;
            }
        }
    }
    // Jazz guitar: voice 20 where the model has it, else the clean guitar.
    EXPECT_EQ(LoadShipped("Zel-305")->FindProConv(0, 0, 26)->m_VoiceIndex, 4);
    EXPECT_EQ(LoadShipped("Zel-307")->FindProConv(0, 0, 26)->m_VoiceIndex, 20);
}

TEST(ShippedModels, ProgramNamesAsEachModelShowsItsTargets) {
    for (const ShippedModel& s : kShipped) {
        const auto model = LoadShipped(s.name);
        ASSERT_TRUE(model) << s.name;
        for (int p = 0; p < 128; ++p) {
            const CProgramName* name = model->FindProgramName(0, 0, BYTE(p));
            ASSERT_TRUE(name) << s.name << " program " << p;
            EXPECT_FALSE(name->m_Name.IsEmpty()) << s.name << " program " << p;
        }
        for (int p : kGmKitPrograms) EXPECT_TRUE(model->FindProgramName(127, 0, BYTE(p))) << s.name << " kit " << p;
        const CProgramName* nylon = model->FindProgramName(8, 0, 0);
        ASSERT_TRUE(nylon) << s.name;
        EXPECT_STREQ(nylon->m_Name, "NylonGuitar(Hot)") << s.name;
    }
    EXPECT_STREQ(LoadShipped("Zel-305")->FindProgramName(0, 0, 25)->m_Name, "Acoustic Guitar (steel)");
    // Generation 4 on an older model: older names, the finger bass included.
    const auto ork3000 = LoadShipped("Ork-3000");
    EXPECT_STREQ(ork3000->FindProgramName(8, 0, 17)->m_Name, "FingerBass(Normal)");
    EXPECT_STREQ(ork3000->FindProgramName(8, 1, 1)->m_Name, "SteelAcoustic");
    // Generation 4, not an older model: older names but the table's bass names.
    const auto ork4000 = LoadShipped("Ork-4000");
    EXPECT_STREQ(ork4000->FindProgramName(8, 0, 17)->m_Name, "ElectricBass(Normal)");
    EXPECT_STREQ(ork4000->FindProgramName(8, 4, 3)->m_Name, "FingerGtr");
    // Above generation 4 the table's names, older model name or not.
    const auto kelda = LoadShipped("Kelda");
    EXPECT_STREQ(kelda->FindProgramName(8, 4, 3)->m_Name, "50sVintageFinger");
    EXPECT_STREQ(kelda->FindProgramName(8, 1, 1)->m_Name, "SteelAcousticPick");
    EXPECT_FALSE(kelda->FindProgramName(127, 8, 17));
    EXPECT_STREQ(LoadShipped("Brune")->FindProgramName(127, 8, 17)->m_Name, "RockDrumKit(FullOpen)");
}

TEST(ShippedModels, ModelsWithKitsNameEveryDeletedDrumNote) {
    for (const ShippedModel& s : kShipped) {
        const auto model = LoadShipped(s.name);
        ASSERT_TRUE(model) << s.name;
        if (!model->HasDrumKit()) {
            EXPECT_FALSE(model->m_pDrumVoiceNames) << s.name;
            continue;
        }
        std::vector<std::array<BYTE, 3>> kits;
        for (int p : kGmKitPrograms) kits.push_back({127, 0, BYTE(p)});
        for (int v = 73; v <= 81; ++v)
            kits.push_back({VoiceAddressTable[v].bankMsb, VoiceAddressTable[v].bankLsb, VoiceAddressTable[v].program});
        for (const auto& kit : kits) {
            for (int set : {1, 2, 4}) {
                for (int note = 0; note < 128; ++note) {
                    if (!DrumNoteSets[set].Contains(note)) continue;
                    const CDrumVoiceName* name = model->FindDrumVoiceName(kit[0], kit[1], kit[2], BYTE(note));
                    ASSERT_TRUE(name) << s.name << " kit " << int(kit[2]) << " note " << note;
                    EXPECT_FALSE(name->m_Name.IsEmpty()) << s.name << " note " << note;
                }
            }
        }
        EXPECT_STREQ(model->FindDrumVoiceName(127, 0, 0, 58)->m_Name, "Vibraslap");
    }
}

TEST(ShippedModels, StandInTheProgramFolderWithTheLibrary) {
    for (const ShippedModel& s : kShipped) {
        std::string shipped, placed;
        ASSERT_TRUE(ReadWholeFile(CString(ModelPath(VEXA_SOURCE_DIR "/data/models", s.name)), &shipped)) << s.name;
        ASSERT_TRUE(ReadWholeFile(CString(ModelPath(VEXA_PROGRAM_DIR, s.name)), &placed)) << s.name;
        EXPECT_TRUE(shipped == placed) << s.name;
    }
    for (const char* phrase : {"GlisDn.mid", "Sdn5nt.mid", "Vib3-g02.mid", "Vib3-g03.mid", "vib4-g02.mid"}) {
        CFile::Status status;
        EXPECT_TRUE(CFile::GetStatus(CString(std::string(VEXA_PROGRAM_DIR "/Lib/") + phrase), &status)) << phrase;
        EXPECT_GT(status.m_size, 0u) << phrase;
    }
}
