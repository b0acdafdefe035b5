#include "data/NameTables.h"

const char* const CategoryNames20[kCategoryCount20] = {
    "NylonGuitar", "SteelGuitar", "12StringGtr",  "CleanGuitar",   "AmpGuitar",
    "OtherGuitar", "AcousticBass", "ElectricBass", "PickBass",     "FretlessBass",
    "Strings",     "GospelChoir", "Brass",        "Trumpet",       "TenorSax",
    "PopVocal",    "StdDrum",     "JazzBrushComp", "JazzBrushExp", "JazzStickKit",
};

const char* const CategoryNames23[kCategoryCount23] = {
    "NylonGuitar",  "SteelGuitar",  "12StringGtr", "CleanGuitar",   "OverdriveGtr",  "DistortionGtr",
    "JazzGuitar",   "Mandolin",     "Ukulele",     "AcousticBass",  "ElectricBass",  "PickBass",
    "FretlessBass", "Strings",      "Vocal",       "Brass",         "Trumpet",       "TenorSax",
    "PopVocal",     "RockDrum",     "JazzBrushComp", "JazzBrushExpd", "JazzStick",
};

const char* const RecommendCategoryNames[kRecommendCategoryCount] = {
    "Nylon", "EleBass", "Str", "BrassSec", "TSax", "Vocal", "FenwoFingHmerOn", "FenwoPickHmerOn",
    "RockDrum", "JazzBrushExp",
};

const char16_t* const ModelFamilyNames[kModelFamilyCount] = {u"Zel", u"Ork", u"Kelda", u"Brune"};

const char* const NoteNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

const char* const OlderModelNames[kOlderModelCount] = {"Kelda", "Zel-305", "Zel-307", "Zel-309",
                                                        "Ork-3000"};

bool IsOlderModelName(const CString& name) {
    for (const char* older : OlderModelNames) {
        if (name == older) return true;
    }
    return false;
}

CString NoteName(int note) {
    if (note < 0 || note > 127) return CString();
    CString text;
    text.Format("%s%d", NoteNames[note % 12], note / 12 - 2);
    return text;
}
