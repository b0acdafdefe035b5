#pragma once
// The fixed name tables of the voice data: category names that the algorithm
// table's indexes point into, recommendation categories (also the keys of the
// remembered choices in the settings), the model-family prefixes of the model
// file scan, note names, and the models that count as older models. An
// entry's position is the index the rest of the program stores.
#include "platform/String.h"

constexpr int kCategoryCount20 = 20;
constexpr int kCategoryCount23 = 23;
constexpr int kRecommendCategoryCount = 10;
constexpr int kModelFamilyCount = 4;
constexpr int kOlderModelCount = 5;

extern const char* const CategoryNames20[kCategoryCount20];  // 16..19 are drum kits
extern const char* const CategoryNames23[kCategoryCount23];  // 19..22 drum kits, 13 strings
extern const char* const RecommendCategoryNames[kRecommendCategoryCount];
extern const char16_t* const ModelFamilyNames[kModelFamilyCount];  // scan order
extern const char* const NoteNames[12];
extern const char* const OlderModelNames[kOlderModelCount];

// True when the name is one of the older models: exact bytes, case-sensitive.
bool IsOlderModelName(const CString& name);

// A MIDI note as "C3" (note 60) or "C-2" (note 0): its name and its octave
// number note / 12 - 2; empty for a note outside 0..127.
CString NoteName(int note);
