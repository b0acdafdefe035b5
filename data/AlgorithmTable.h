#pragma once
// The fixed list of the 192 conversion targets a channel can be given: each
// row's display name, the voice it plays (an index into VoiceAddressTable),
// the embedded algorithm script that converts for it, its categories, the
// drum notes converting to it deletes and its instrument icons. Rows 190 and
// 191 are the group entries through which the user reaches every normal voice
// or drum kit; they are never a conversion target.
#include "data/VoiceAddressTable.h"
#include "platform/String.h"

constexpr int kAlgorithmRowCount = 192;
constexpr int kFirstGroupRow = 190;
constexpr int kOtherNormalRow = 190;
constexpr int kOtherDrumRow = 191;

struct AlgorithmEntry {
    CString displayName;
    LONG voiceIndex = 0;         // VoiceAddressTable index; kNoVoiceEntry none, kUnsetVoiceIndex unset
    CString algorithmId;         // the script's name; the group rows name none
    LONG category23 = 0;         // CategoryNames23 index, -1 none
    LONG category20 = 0;         // CategoryNames20 index, -1 none; 16..19 drum kits
    LONG recommendCategory = 0;  // RecommendCategoryNames index, -1 none
    DrumNoteSet drumNotes;       // a copy of one of DrumNoteSets
    LONG iconOff = 0;            // instrument icon ids, unselected and selected
    LONG iconOn = 0;
};

// Empty until InitAlgorithmTable fills it.
extern AlgorithmEntry AlgorithmTable[kAlgorithmRowCount];

// Gives every row the default value, then the table's values. Needs the drum
// note sets filled first (the rows copy them). Returns a status byte: 0.
BYTE InitAlgorithmTable();

// A row 0..189: a conversion target (the group rows and rows outside the table are not).
bool IsTargetRow(int row);

// The names that a model of generation 4 or lower shows in place of a row's;
// those marked olderModelsOnly only when the model's name is an older model's.
struct OlderDisplayName {
    int row;
    const char* name;
    bool olderModelsOnly;
};
extern const OlderDisplayName* OlderDisplayNames;
extern const int OlderDisplayNameCount;

// Instrument icons: an even id is an instrument's unselected picture, the odd
// id after it the selected one. The picture's file name under kInstIconFolder;
// false for an id outside the table.
constexpr const char* kInstIconFolder = ":/res/InstIcon/";
bool GetInstIconFileName(int id, CString* fileName);
