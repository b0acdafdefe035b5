// The fixed tables against files transcribed separately from the design:
// every algorithm row, every voice, the drum note sets, the older display
// names and the instrument icons; then the spot checks the channel code
// leans on.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "data/NameTables.h"
#include "data/ProgramAfter.h"
#include "data/FilledVoiceTables.h"

namespace {

// The lines of a fixture file split at '|', comments and blank lines skipped;
// fields keep their blanks.
std::vector<std::vector<std::string>> ReadBarFixture(const char* name) {
    std::ifstream in(std::string(VEXA_FIXTURES) + "/" + name);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        size_t start = 0;
        for (size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1)
            fields.push_back(line.substr(start, bar - start));
        fields.push_back(line.substr(start));
        rows.push_back(fields);
    }
    return rows;
}

// "0-22,25-28,30" as a set.
DrumNoteSet ParseNoteList(const std::string& text) {
    DrumNoteSet set;
    std::stringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) {
        const size_t dash = item.find('-');
        const int first = std::stoi(item.substr(0, dash));
        const int last = dash == std::string::npos ? first : std::stoi(item.substr(dash + 1));
        for (int n = first; n <= last; ++n) set.Add(n);
    }
    return set;
}

std::vector<DrumNoteSet> FixtureDrumSets() {
    std::vector<DrumNoteSet> sets;
    for (const auto& f : ReadBarFixture("drum_note_sets.txt")) sets.push_back(ParseNoteList(f[1]));
    return sets;
}

std::vector<CString> TableNames() {
    std::vector<CString> names;
    for (const AlgorithmEntry& entry : AlgorithmTable) names.push_back(entry.displayName);
    return names;
}

}  // namespace

TEST(VoiceTables, DrumNoteSetsMatchTheTranscription) {
    FillVoiceTables();
    const std::vector<DrumNoteSet> expected = FixtureDrumSets();
    ASSERT_EQ(expected.size(), size_t(kDrumNoteSetCount));
    for (int s = 0; s < kDrumNoteSetCount; ++s) {
        for (int note = 0; note < 128; ++note)
            EXPECT_EQ(DrumNoteSets[s].Contains(note), expected[size_t(s)].Contains(note)) << "T" << s << " note " << note;
    }
    EXPECT_TRUE(DrumNoteSets[0].IsEmpty());
    EXPECT_TRUE(DrumNoteSets[3].IsEmpty());
    EXPECT_TRUE(DrumNoteSets[1].Contains(22));
    EXPECT_FALSE(DrumNoteSets[1].Contains(23));
    EXPECT_TRUE(DrumNoteSets[4].Contains(23));
    EXPECT_FALSE(DrumNoteSets[4].Contains(22));
    EXPECT_FALSE(DrumNoteSets[2].Contains(-1));
    EXPECT_FALSE(DrumNoteSets[2].Contains(128));

    DrumNoteSet copy = DrumNoteSets[2];
    EXPECT_TRUE(copy == DrumNoteSets[2]);
    copy.Clear();
    EXPECT_TRUE(copy.IsEmpty());
}

TEST(VoiceTables, EveryAlgorithmRowMatchesTheTranscription) {
    FillVoiceTables();
    const auto rows = ReadBarFixture("algorithm_table.txt");
    const std::vector<DrumNoteSet> sets = FixtureDrumSets();
    ASSERT_EQ(rows.size(), size_t(kAlgorithmRowCount));
    for (const auto& f : rows) {
        ASSERT_EQ(f.size(), 9u) << f[0];
        const int r = std::stoi(f[0]);
        ASSERT_TRUE(r >= 0 && r < kAlgorithmRowCount);
        const AlgorithmEntry& e = AlgorithmTable[r];
        EXPECT_EQ(e.displayName.str(), f[1]) << r;
        EXPECT_EQ(e.voiceIndex, std::stoi(f[2])) << r;
        EXPECT_EQ(e.algorithmId.str(), f[3]) << r;
        EXPECT_EQ(e.category23, std::stoi(f[4])) << r;
        EXPECT_EQ(e.category20, std::stoi(f[5])) << r;
        EXPECT_EQ(e.recommendCategory, std::stoi(f[6])) << r;
        EXPECT_TRUE(e.drumNotes == sets.at(size_t(f[7][1] - '0'))) << r;
        const size_t slash = f[8].find('/');
        EXPECT_EQ(e.iconOff, std::stoi(f[8].substr(0, slash))) << r;
        EXPECT_EQ(e.iconOn, std::stoi(f[8].substr(slash + 1))) << r;
    }
}

TEST(VoiceTables, SpotChecksOfTheAlgorithmRows) {
    FillVoiceTables();
    struct GroupRow {
        int row;
        const char* name;
        const char* algorithm;
        int iconOff, iconOn;
    };
    const GroupRow groups[] = {{190, "Other Normal Voices", "OtherNormal", 66, 67},
                               {191, "Other Drum Kits", "OtherDrum", 0, 1}};
    for (const GroupRow& g : groups) {
        const AlgorithmEntry& e = AlgorithmTable[g.row];
        EXPECT_STREQ(e.displayName, g.name);
        EXPECT_EQ(e.voiceIndex, 117) << g.row;
        EXPECT_STREQ(e.algorithmId, g.algorithm);
        EXPECT_EQ(e.category23, -1) << g.row;
        EXPECT_EQ(e.category20, -1) << g.row;
        EXPECT_EQ(e.recommendCategory, -1) << g.row;
        EXPECT_TRUE(e.drumNotes.IsEmpty()) << g.row;
        EXPECT_EQ(e.iconOff, g.iconOff) << g.row;
        EXPECT_EQ(e.iconOn, g.iconOn) << g.row;
    }

    EXPECT_EQ(AlgorithmTable[0].voiceIndex, 0);
    EXPECT_EQ(AlgorithmTable[1].voiceIndex, 0);
    EXPECT_STREQ(AlgorithmTable[8].algorithmId, "02_3");
    EXPECT_STREQ(AlgorithmTable[10].algorithmId, "02_3");
    // Spellings kept as the keyboard shows them.
    EXPECT_EQ(AlgorithmTable[73].displayName.str(), "UkleleThumbDown ");
    EXPECT_STREQ(AlgorithmTable[147].displayName, "JazzBrushExpd.(FullOpen)");
    EXPECT_TRUE(AlgorithmTable[120].drumNotes.Contains(22));
    EXPECT_FALSE(AlgorithmTable[120].drumNotes.Contains(23));
    EXPECT_TRUE(AlgorithmTable[144].drumNotes.Contains(23));
    EXPECT_FALSE(AlgorithmTable[144].drumNotes.Contains(22));
    EXPECT_TRUE(AlgorithmTable[145].drumNotes.IsEmpty());

    EXPECT_TRUE(IsTargetRow(0));
    EXPECT_TRUE(IsTargetRow(189));
    EXPECT_FALSE(IsTargetRow(190));
    EXPECT_FALSE(IsTargetRow(191));
    EXPECT_FALSE(IsTargetRow(-1));
}

TEST(VoiceTables, EveryVoiceMatchesTheTranscription) {
    FillVoiceTables();
    std::ifstream in(std::string(VEXA_FIXTURES) + "/voice_addresses.txt");
    std::string line;
    int count = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        int index, msb, lsb, program, generation;
        ASSERT_TRUE(f >> index >> msb >> lsb >> program >> generation) << line;
        ASSERT_TRUE(index >= 0 && index < kVoiceCount);
        const VoiceAddress& v = VoiceAddressTable[index];
        EXPECT_EQ(v.bankMsb, msb) << index;
        EXPECT_EQ(v.bankLsb, lsb) << index;
        EXPECT_EQ(v.program, program) << index;
        EXPECT_EQ(v.generation, generation) << index;
        ++count;
    }
    EXPECT_EQ(count, kVoiceCount);
    const VoiceAddress none = VoiceAddressTable[117];
    EXPECT_EQ(none.bankMsb, 0);
    EXPECT_EQ(none.bankLsb, 0);
    EXPECT_EQ(none.program, 0);
    EXPECT_EQ(none.generation, 255);
    const VoiceAddress kit = VoiceAddressTable[73];
    EXPECT_EQ(kit.bankMsb, 127);
    EXPECT_EQ(kit.bankLsb, 8);
    EXPECT_EQ(kit.program, 17);
    EXPECT_EQ(kit.generation, 6);
    static_assert(sizeof(VoiceAddress) == 4, "a voice address is one 32-bit entry");
}

TEST(VoiceTables, OlderDisplayNamesMatchTheTranscription) {
    const auto rows = ReadBarFixture("older_display_names.txt");
    ASSERT_EQ(int(rows.size()), OlderDisplayNameCount);
    for (size_t i = 0; i < rows.size(); ++i) {
        const OlderDisplayName& o = OlderDisplayNames[i];
        EXPECT_EQ(o.row, std::stoi(rows[i][0])) << i;
        EXPECT_STREQ(o.name, rows[i][1].c_str()) << i;
        EXPECT_EQ(o.olderModelsOnly, rows[i][2] == "1") << i;
    }
}

TEST(VoiceTables, InstrumentIconsMatchTheTranscription) {
    const auto rows = ReadBarFixture("inst_icons.txt");
    ASSERT_EQ(rows.size(), 69u);
    for (const auto& f : rows) {
        CString name;
        ASSERT_TRUE(GetInstIconFileName(std::stoi(f[0]), &name)) << f[0];
        EXPECT_EQ(name.str(), f[1]) << f[0];
    }
    CString name("kept");
    EXPECT_FALSE(GetInstIconFileName(69, &name));
    EXPECT_FALSE(GetInstIconFileName(-1, &name));
    EXPECT_STREQ(name, "kept");
    EXPECT_STREQ(kInstIconFolder, ":/res/InstIcon/");
}

TEST(NameTables, OlderModelNamesAreExactAndCaseSensitive) {
    struct Case {
        const char* name;
        bool older;
    };
    const Case cases[] = {
        {"Kelda", true}, {"Kelda2", false},  {"kelda", false}, {"", false},
        {"Ork-3000", true}, {"Ork-300", false}, {"Zel-305", true}, {"Brune", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsOlderModelName(c.name), c.older) << c.name;
    EXPECT_FALSE(IsOlderModelName(CString("Kelda\0", 6)));
}

TEST(NameTables, NoteNamesAndCategoryTexts) {
    const std::pair<int, const char*> notes[] = {
        {0, "C-2"}, {60, "C3"}, {61, "C#3"}, {42, "F#1"}, {36, "C1"}, {127, "G8"}, {-1, ""}, {128, ""},
    };
    for (const auto& n : notes) EXPECT_STREQ(NoteName(n.first), n.second) << n.first;
    EXPECT_STREQ(CategoryNames20[18], "JazzBrushExp");
    EXPECT_STREQ(RecommendCategoryNames[9], "JazzBrushExp");
    EXPECT_STREQ(CategoryNames23[21], "JazzBrushExpd");
    EXPECT_STREQ(CategoryNames23[13], "Strings");
    EXPECT_EQ(std::u16string(ModelFamilyNames[2]), u"Kelda");
}

TEST(ProgramAfter, DescribesARowAsTheModelNamesIt) {
    FillVoiceTables();
    std::vector<CString> names = TableNames();
    names[27] = "FingerBass(Slap)";  // as an older model shows it
    const CProgramAfter slap(27, &names);
    EXPECT_EQ(slap.m_BankMsb, 8);
    EXPECT_EQ(slap.m_BankLsb, 0);
    EXPECT_EQ(slap.m_Program, 17);
    EXPECT_STREQ(slap.m_DisplayName, "FingerBass(Slap)");
    EXPECT_STREQ(slap.m_Category23Name, "ElectricBass");
    EXPECT_STREQ(slap.m_Category20Name, "ElectricBass");
    EXPECT_EQ(slap.m_IconOff, 34);
    EXPECT_EQ(slap.m_IconOn, 35);
    EXPECT_EQ(slap.FindAlgIndex(), 27);

    const CProgramAfter kit(120, &names);
    EXPECT_EQ(kit.m_BankMsb, 127);
    EXPECT_EQ(kit.m_BankLsb, 8);
    EXPECT_EQ(kit.m_Program, 17);
    EXPECT_STREQ(kit.m_Category23Name, "RockDrum");
    EXPECT_STREQ(kit.m_Category20Name, "StdDrum");

    // The group row: the no-voice entry's bytes, no category texts, its icons.
    const CProgramAfter group(190, &names);
    EXPECT_EQ(group.m_BankMsb + group.m_BankLsb + group.m_Program, 0);
    EXPECT_STREQ(group.m_DisplayName, "Other Normal Voices");
    EXPECT_STREQ(group.m_Category23Name, "");
    EXPECT_STREQ(group.m_Category20Name, "");
    EXPECT_EQ(group.m_IconOff, 66);
    EXPECT_EQ(group.FindAlgIndex(), -1);

    CProgramAfter cleared(5, &names);
    cleared.Clear();
    EXPECT_EQ(cleared.m_Program, 0);
    EXPECT_STREQ(cleared.m_DisplayName, "");
    EXPECT_EQ(cleared.m_IconOn, 0);
}

TEST(ProgramAfter, RowsWithoutAVoiceDescribeNothing) {
    FillVoiceTables();
    std::vector<CString> names = TableNames();
    const CProgramAfter past(192, &names);
    const CProgramAfter farPast(0xFFFFFFFFu, &names);
    const AlgorithmEntry kept = AlgorithmTable[5];
    AlgorithmTable[5].voiceIndex = kUnsetVoiceIndex;
    const CProgramAfter unset(5, &names);
    AlgorithmTable[5] = kept;
    for (const CProgramAfter* p : {&past, &farPast, &unset}) {
        EXPECT_EQ(p->m_BankMsb + p->m_BankLsb + p->m_Program, 0);
        EXPECT_STREQ(p->m_DisplayName, "");
        EXPECT_STREQ(p->m_Category23Name, "");
        EXPECT_STREQ(p->m_Category20Name, "");
        EXPECT_EQ(p->m_IconOff + p->m_IconOn, 0);
    }
}

TEST(ProgramAfter, FindAlgIndexTakesTheFirstTargetRowOfTheName) {
    FillVoiceTables();
    std::vector<CString> names = TableNames();
    names[40] = names[12];  // a model naming two rows alike
    CProgramAfter twelve(40, &names);
    EXPECT_EQ(twelve.FindAlgIndex(), 12);
    names[191] = "Mine";
    twelve.m_DisplayName = "Mine";
    EXPECT_EQ(twelve.FindAlgIndex(), -1);  // group rows are never found
    twelve.m_DisplayName = "SteelGuitar ";
    EXPECT_EQ(twelve.FindAlgIndex(), -1);  // exact, same length
    const CProgramAfter noNames(5, nullptr);
    EXPECT_EQ(noNames.FindAlgIndex(), -1);
}
