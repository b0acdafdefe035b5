// Writes the keyboard model files the program ships (<name>.exm) from the
// table of models below, with the model reader's own storing form.
//
//   make_models <folder>
//
// A model has every voice of the voice table up to its generation (Brune2:
// every voice). What each file holds:
//   section 1  the 128 General MIDI program names (bank 0/0), the General MIDI
//              kit names (127/0), and for every voice the model has the name
//              its first target row shows on this model (older names on a
//              model of generation 4 or lower); voices no row plays get none
//   section 2  each General MIDI program of the preference table to the first
//              of its voices the model has (none when it has none; pianos have
//              none), and with drum kits every program of bank 127/0 (the nine
//              General MIDI kits and any other drum program) to voice 73
//   section 3  the model's voices
//   section 4  a 181 x 36 picture: the model's name over a small keyboard
//   section 5  only with drum kits: a name for every note a drum-kit target
//              deletes, on every General MIDI kit and every drum-kit voice
//              the model has (no section at all without kits)
// The output depends on nothing but this file and the voice tables, so the
// committed files can be compared byte for byte with a new run.
#include <array>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "data/AlgorithmTable.h"
#include "data/ArticModel.h"
#include "data/NameTables.h"
#include "data/VoiceAddressTable.h"
#include "platform/Archive.h"
#include "platform/File.h"

namespace {

struct ModelSpec {
    const char* name;  // also the file's base name
    int maxGeneration;
    bool everyVoice;   // every voice 0..116 whatever its generation
};

const ModelSpec kModels[] = {
    {"Zel-305", 1, false},  {"Zel-307", 2, false}, {"Zel-309", 3, false}, {"Ork-3000", 4, false},
    {"Ork-4000", 4, false}, {"Kelda", 5, false},   {"Brune", 6, false},   {"Brune2", 7, true},
};

// General MIDI program (bank 0/0) -> the voices that suit it, best first.
struct Preference {
    BYTE program;
    std::initializer_list<int> voices;
};

// The families a musician takes for programs without a voice of their own
// (the lists live as long as the program, like the table's own).
const std::initializer_list<int> kCleanGuitars = {4, 19, 5, 6, 71, 24, 26};
const std::initializer_list<int> kStrings = {14, 15, 29, 30, 62, 64};
const std::initializer_list<int> kBrass = {16, 43, 44, 112, 113, 114, 115};

const Preference kPreferences[] = {
    {24, {0}},        {25, {1}},  {26, {20, 4}}, {27, {4}},  {28, kCleanGuitars}, {29, {7}},  {30, {8}},
    {32, {9}},        {33, {10}}, {34, {12}},    {35, {13}}, {36, {11}},          {37, {11}}, {44, kStrings},
    {45, kStrings},   {48, {14}}, {49, {15}},    {52, {31}}, {53, {31}},          {56, {17}}, {57, kBrass},
    {60, kBrass},     {61, {16}}, {64, {18}},    {65, {18}}, {66, {18}},
};

constexpr int kDrumKitVoice = 73;

const char* const kGmPrograms[128] = {
    "Acoustic Grand Piano", "Bright Acoustic Piano", "Electric Grand Piano", "Honky-tonk Piano",
    "Electric Piano 1", "Electric Piano 2", "Harpsichord", "Clavi",
    "Celesta", "Glockenspiel", "Music Box", "Vibraphone",
    "Marimba", "Xylophone", "Tubular Bells", "Dulcimer",
    "Drawbar Organ", "Percussive Organ", "Rock Organ", "Church Organ",
    "Reed Organ", "Accordion", "Harmonica", "Tango Accordion",
    "Acoustic Guitar (nylon)", "Acoustic Guitar (steel)", "Electric Guitar (jazz)", "Electric Guitar (clean)",
    "Electric Guitar (muted)", "Overdriven Guitar", "Distortion Guitar", "Guitar harmonics",
    "Acoustic Bass", "Electric Bass (finger)", "Electric Bass (pick)", "Fretless Bass",
    "Slap Bass 1", "Slap Bass 2", "Synth Bass 1", "Synth Bass 2",
    "Violin", "Viola", "Cello", "Contrabass",
    "Tremolo Strings", "Pizzicato Strings", "Orchestral Harp", "Timpani",
    "String Ensemble 1", "String Ensemble 2", "SynthStrings 1", "SynthStrings 2",
    "Choir Aahs", "Voice Oohs", "Synth Voice", "Orchestra Hit",
    "Trumpet", "Trombone", "Tuba", "Muted Trumpet",
    "French Horn", "Brass Section", "SynthBrass 1", "SynthBrass 2",
    "Soprano Sax", "Alto Sax", "Tenor Sax", "Baritone Sax",
    "Oboe", "English Horn", "Bassoon", "Clarinet",
    "Piccolo", "Flute", "Recorder", "Pan Flute",
    "Blown Bottle", "Shakuhachi", "Whistle", "Ocarina",
    "Lead 1 (square)", "Lead 2 (sawtooth)", "Lead 3 (calliope)", "Lead 4 (chiff)",
    "Lead 5 (charang)", "Lead 6 (voice)", "Lead 7 (fifths)", "Lead 8 (bass + lead)",
    "Pad 1 (new age)", "Pad 2 (warm)", "Pad 3 (polysynth)", "Pad 4 (choir)",
    "Pad 5 (bowed)", "Pad 6 (metallic)", "Pad 7 (halo)", "Pad 8 (sweep)",
    "FX 1 (rain)", "FX 2 (soundtrack)", "FX 3 (crystal)", "FX 4 (atmosphere)",
    "FX 5 (brightness)", "FX 6 (goblins)", "FX 7 (echoes)", "FX 8 (sci-fi)",
    "Sitar", "Banjo", "Shamisen", "Koto",
    "Kalimba", "Bag pipe", "Fiddle", "Shanai",
    "Tinkle Bell", "Agogo", "Steel Drums", "Woodblock",
    "Taiko Drum", "Melodic Tom", "Synth Drum", "Reverse Cymbal",
    "Guitar Fret Noise", "Breath Noise", "Seashore", "Bird Tweet",
    "Telephone Ring", "Helicopter", "Applause", "Gunshot",
};

struct GmKit {
    BYTE program;
    const char* name;
};

const GmKit kGmKits[] = {
    {0, "Standard Kit"}, {8, "Room Kit"},   {16, "Power Kit"},     {24, "Electronic Kit"}, {25, "Analog Kit"},
    {32, "Jazz Kit"},    {40, "Brush Kit"}, {48, "Orchestra Kit"}, {56, "SFX Kit"},
};

// The General MIDI percussion names of notes 27..87; other notes sound nothing on these kits.
const char* const kDrumNames[] = {
    "High Q",          "Slap",           "Scratch Push",   "Scratch Pull",   "Sticks",        "Square Click",
    "Metronome Click", "Metronome Bell", "Acoustic Bass Drum", "Bass Drum 1", "Side Stick",   "Acoustic Snare",
    "Hand Clap",       "Electric Snare", "Low Floor Tom",  "Closed Hi-Hat",  "High Floor Tom", "Pedal Hi-Hat",
    "Low Tom",         "Open Hi-Hat",    "Low-Mid Tom",    "Hi-Mid Tom",     "Crash Cymbal 1", "High Tom",
    "Ride Cymbal 1",   "Chinese Cymbal", "Ride Bell",      "Tambourine",     "Splash Cymbal", "Cowbell",
    "Crash Cymbal 2",  "Vibraslap",      "Ride Cymbal 2",  "Hi Bongo",       "Low Bongo",     "Mute Hi Conga",
    "Open Hi Conga",   "Low Conga",      "High Timbale",   "Low Timbale",    "High Agogo",    "Low Agogo",
    "Cabasa",          "Maracas",        "Short Whistle",  "Long Whistle",   "Short Guiro",   "Long Guiro",
    "Claves",          "Hi Wood Block",  "Low Wood Block", "Mute Cuica",     "Open Cuica",    "Mute Triangle",
    "Open Triangle",   "Shaker",         "Jingle Bell",    "Bell Tree",      "Castanets",     "Mute Surdo",
    "Open Surdo",
};
constexpr int kFirstDrumName = 27;

const char* DrumName(int note) {
    const int i = note - kFirstDrumName;
    return i >= 0 && i < int(sizeof kDrumNames / sizeof kDrumNames[0]) ? kDrumNames[i] : "No Sound";
}

bool Has(const ModelSpec& spec, int voice) {
    if (voice < 0 || voice >= kNoVoiceEntry) return false;
    if (spec.everyVoice) return true;
    const BYTE generation = VoiceAddressTable[voice].generation;
    return generation != kNoGeneration && generation <= spec.maxGeneration;
}

bool HasKits(const ModelSpec& spec) {
    for (int v = 0; v < kNoVoiceEntry; ++v) {
        if (Has(spec, v) && VoiceAddressTable[v].bankMsb == kDrumKitBankMsb) return true;
    }
    return false;
}

// The names the rows show on this model, as the voice catalogue shows them.
std::vector<CString> ShownNames(const ModelSpec& spec) {
    std::vector<CString> names;
    for (const AlgorithmEntry& entry : AlgorithmTable) names.push_back(entry.displayName);
    if (spec.maxGeneration > 4) return names;
    const bool older = IsOlderModelName(spec.name);
    for (int i = 0; i < OlderDisplayNameCount; ++i) {
        const OlderDisplayName& o = OlderDisplayNames[i];
        if (!o.olderModelsOnly || older) names[size_t(o.row)] = o.name;
    }
    return names;
}

void AddProgramName(CArticModel& model, BYTE msb, BYTE lsb, BYTE program, const CString& name) {
    auto record = std::make_unique<CProgramName>();
    record->m_BankMsb = msb;
    record->m_BankLsb = lsb;
    record->m_Program = program;
    record->m_Name = name;
    model.m_pProgramNames->push_back(std::move(record));
}

void AddProConv(CArticModel& model, BYTE msb, BYTE lsb, BYTE program, int voice) {
    auto record = std::make_unique<CProConvTable>();
    record->m_BankMsb = msb;
    record->m_BankLsb = lsb;
    record->m_Program = program;
    record->m_VoiceIndex = voice;
    model.m_pProConvs->push_back(std::move(record));
}

void FillProgramNames(CArticModel& model, const ModelSpec& spec) {
    model.m_pProgramNames = std::make_unique<CArticModel::ProgramNameList>();
    for (int p = 0; p < 128; ++p) AddProgramName(model, 0, 0, BYTE(p), kGmPrograms[p]);
    for (const GmKit& kit : kGmKits) AddProgramName(model, kDrumKitBankMsb, 0, kit.program, kit.name);
    const std::vector<CString> shown = ShownNames(spec);
    for (int v = 0; v < kNoVoiceEntry; ++v) {
        if (!Has(spec, v)) continue;
        for (int row = 0; row < kFirstGroupRow; ++row) {
            if (AlgorithmTable[row].voiceIndex != v) continue;
            const VoiceAddress& a = VoiceAddressTable[v];
            AddProgramName(model, a.bankMsb, a.bankLsb, a.program, shown[size_t(row)]);
            break;
        }
    }
}

void FillProConvs(CArticModel& model, const ModelSpec& spec) {
    model.m_pProConvs = std::make_unique<CArticModel::ProConvList>();
    for (const Preference& preference : kPreferences) {
        for (int voice : preference.voices) {
            if (!Has(spec, voice)) continue;
            AddProConv(model, 0, 0, preference.program, voice);
            break;
        }
    }
    if (!HasKits(spec)) return;
    // A drum part plays its kit whatever the kit's number.
    for (int program = 0; program < 128; ++program) AddProConv(model, kDrumKitBankMsb, 0, BYTE(program), kDrumKitVoice);
}

void FillDrumVoiceNames(CArticModel& model, const ModelSpec& spec) {
    if (!HasKits(spec)) return;
    DrumNoteSet deleted;
    for (int set = 0; set < kDrumNoteSetCount; ++set) {
        for (int note = 0; note < 128; ++note) {
            if (DrumNoteSets[set].Contains(note)) deleted.Add(note);
        }
    }
    std::vector<std::array<BYTE, 3>> kits;
    for (const GmKit& kit : kGmKits) kits.push_back({kDrumKitBankMsb, 0, kit.program});
    for (int v = 0; v < kNoVoiceEntry; ++v) {
        const VoiceAddress& a = VoiceAddressTable[v];
        if (!Has(spec, v) || a.bankMsb != kDrumKitBankMsb) continue;
        const std::array<BYTE, 3> kit = {a.bankMsb, a.bankLsb, a.program};
        bool seen = false;
        for (const auto& k : kits) seen = seen || k == kit;
        if (!seen) kits.push_back(kit);
    }
    model.m_pDrumVoiceNames = std::make_unique<CArticModel::DrumVoiceNameList>();
    for (const auto& kit : kits) {
        for (int note = 0; note < 128; ++note) {
            if (!deleted.Contains(note)) continue;
            auto record = std::make_unique<CDrumVoiceName>();
            record->m_BankMsb = kit[0];
            record->m_BankLsb = kit[1];
            record->m_Program = kit[2];
            record->m_Note = BYTE(note);
            record->m_Name = DrumName(note);
            model.m_pDrumVoiceNames->push_back(std::move(record));
        }
    }
}

// ---- The picture ----

struct Glyph {
    char ch;
    const char* rows[7];  // 5 columns each, '#' set
};

// A 5 x 7 pixel font of the characters the model names use.
const Glyph kFont[] = {
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {'d', {"....#", "....#", ".##.#", "#..##", "#...#", "#...#", ".####"}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
    {'k', {"#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."}},
    {'l', {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
    {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
    {'u', {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"}},
};

const Glyph* FindGlyph(char ch) {
    for (const Glyph& g : kFont) {
        if (g.ch == ch) return &g;
    }
    return nullptr;
}

struct Rgb {
    BYTE r, g, b;
};

class Picture {
public:
    Picture() : bytes_(size_t(kModelPictureSize), 0) {}
    // (x, y) with y = 0 the top row; the file keeps the bottom row first.
    void Set(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= kModelPictureWidth || y >= kModelPictureHeight) return;
        const size_t at = size_t(kModelPictureHeight - 1 - y) * kModelPictureStride + size_t(x) * 3;
        bytes_[at] = c.b;
        bytes_[at + 1] = c.g;
        bytes_[at + 2] = c.r;
    }
    void Fill(int x0, int y0, int w, int h, Rgb c) {
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) Set(x, y, c);
        }
    }
    const std::vector<BYTE>& Bytes() const { return bytes_; }

private:
    std::vector<BYTE> bytes_;
};

constexpr Rgb kPanel = {44, 46, 56};
constexpr Rgb kRim = {96, 100, 116};
constexpr Rgb kText = {236, 236, 228};
constexpr Rgb kWhiteKey = {242, 242, 236};
constexpr Rgb kKeyGap = {70, 70, 78};
constexpr Rgb kBlackKey = {16, 16, 20};

// The name at twice the font's size; false when it has a character the font lacks.
bool DrawName(Picture& picture, const char* name, int x, int y) {
    for (const char* p = name; *p; ++p, x += 12) {
        const Glyph* glyph = FindGlyph(*p);
        if (!glyph) return false;
        for (int row = 0; row < 7; ++row) {
            for (int col = 0; col < 5; ++col) {
                if (glyph->rows[row][col] == '#') picture.Fill(x + col * 2, y + row * 2, 2, 2, kText);
            }
        }
    }
    return true;
}

void DrawKeyboard(Picture& picture, int top) {
    const int height = kModelPictureHeight - 1 - top;
    constexpr int kKeyWidth = 6;
    for (int x = 1; x < kModelPictureWidth - 1; ++x) {
        picture.Fill(x, top, 1, height, (x - 1) % kKeyWidth == kKeyWidth - 1 ? kKeyGap : kWhiteKey);
    }
    // A black key after white keys 0, 1, 3, 4 and 5 of every octave (C D _ F G A _).
    for (int key = 0; (key + 1) * kKeyWidth < kModelPictureWidth - 2; ++key) {
        const int inOctave = key % 7;
        if (inOctave == 2 || inOctave == 6) continue;
        picture.Fill(1 + (key + 1) * kKeyWidth - 3, top, 4, height * 3 / 5, kBlackKey);
    }
}

bool DrawPicture(Picture& picture, const char* name) {
    picture.Fill(0, 0, kModelPictureWidth, kModelPictureHeight, kRim);
    picture.Fill(1, 1, kModelPictureWidth - 2, kModelPictureHeight - 2, kPanel);
    if (!DrawName(picture, name, 6, 2)) return false;
    DrawKeyboard(picture, 19);
    return true;
}

bool BuildModel(const ModelSpec& spec, CArticModel& model) {
    model.m_Name = spec.name;
    FillProgramNames(model, spec);
    FillProConvs(model, spec);
    for (int v = 0; v < kVoiceCount; ++v) model.m_Availability[v] = Has(spec, v) ? 1 : 0;
    Picture picture;
    if (!DrawPicture(picture, spec.name)) {
        std::fprintf(stderr, "make_models: the pixel font has no glyph for a character of \"%s\"\n", spec.name);
        return false;
    }
    model.m_Picture = picture.Bytes();
    FillDrumVoiceNames(model, spec);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_models <folder>\n");
        return 2;
    }
    InitDrumNoteSets();
    InitAlgorithmTable();
    InitVoiceAddressTable();
    CString folder(argv[1]);
    if (!folder.IsEmpty() && folder[folder.GetLength() - 1] != '/') folder += "/";
    for (const ModelSpec& spec : kModels) {
        CArticModel model;
        if (!BuildModel(spec, model)) return 1;
        CArchive ar;
        model.Store(ar);
        const std::vector<BYTE>& bytes = ar.GetBuffer();
        const CString path = folder + spec.name + ".exm";
        if (ar.IsFailed() || !WriteWholeFile(path, std::string(bytes.begin(), bytes.end()))) {
            std::fprintf(stderr, "make_models: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
