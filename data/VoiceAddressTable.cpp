#include "data/VoiceAddressTable.h"

VoiceAddress VoiceAddressTable[kVoiceCount];
DrumNoteSet DrumNoteSets[kDrumNoteSetCount];

namespace {

// Entries 0..116; entry 117 stays the entry for no voice. Entries 2, 32 and
// 116 are played by no target; 10/11 and 77..79 share an address but keep
// their own availability in a model file.
const VoiceAddress kVoices[kVoiceCount - 1] = {
    {8, 0, 0, 1}, {8, 0, 1, 0}, {8, 0, 2, 255}, {8, 1, 2, 0}, {8, 0, 3, 0}, {8, 1, 3, 1},  // 0
    {8, 2, 3, 1}, {8, 0, 4, 0}, {8, 0, 5, 0}, {8, 0, 16, 0}, {8, 0, 17, 0}, {8, 0, 17, 0},  // 6
    {8, 0, 18, 0}, {8, 0, 19, 0}, {8, 0, 48, 1}, {8, 0, 49, 1}, {8, 0, 56, 1}, {8, 0, 64, 1},  // 12
    {8, 0, 82, 1}, {8, 3, 3, 2}, {8, 0, 6, 2}, {8, 1, 17, 2}, {8, 2, 17, 2}, {8, 1, 18, 2},  // 18
    {8, 4, 3, 3}, {8, 5, 3, 3}, {8, 6, 3, 3}, {8, 7, 3, 3}, {8, 8, 3, 3}, {8, 1, 48, 3},  // 24
    {8, 1, 49, 3}, {8, 0, 54, 3}, {8, 0, 51, 255}, {8, 0, 100, 3}, {8, 3, 0, 4}, {8, 4, 0, 4},  // 30
    {8, 5, 0, 4}, {8, 1, 1, 4}, {8, 2, 1, 4}, {8, 5, 1, 4}, {8, 6, 1, 4}, {8, 7, 1, 4},  // 36
    {8, 8, 1, 4}, {8, 1, 56, 4}, {8, 2, 56, 4}, {8, 4, 12, 5}, {8, 0, 13, 5}, {8, 10, 1, 5},  // 42
    {8, 11, 1, 5}, {8, 12, 1, 5}, {8, 4, 17, 5}, {8, 5, 17, 5}, {8, 3, 18, 5}, {8, 4, 18, 5},  // 48
    {8, 5, 18, 5}, {8, 3, 17, 5}, {8, 2, 18, 5}, {8, 0, 20, 5}, {8, 13, 1, 5}, {8, 14, 1, 5},  // 54
    {8, 15, 1, 5}, {8, 16, 1, 5}, {8, 3, 48, 5}, {8, 4, 48, 5}, {8, 2, 49, 5}, {8, 3, 49, 5},  // 60
    {8, 5, 48, 5}, {8, 4, 49, 5}, {8, 5, 49, 5}, {8, 6, 48, 5}, {8, 6, 49, 5}, {8, 10, 3, 5},  // 66
    {8, 11, 3, 5}, {127, 8, 17, 6}, {127, 8, 73, 6}, {127, 8, 74, 6}, {127, 8, 77, 6}, {127, 8, 75, 6},  // 72
    {127, 8, 75, 6}, {127, 8, 75, 6}, {127, 8, 76, 6}, {127, 8, 78, 6}, {8, 6, 0, 7}, {8, 7, 0, 7},  // 78
    {8, 0, 8, 7}, {8, 1, 8, 7}, {8, 0, 14, 7}, {8, 0, 15, 7}, {8, 2, 16, 7}, {8, 3, 16, 7},  // 84
    {8, 4, 16, 7}, {8, 5, 16, 7}, {8, 6, 16, 7}, {8, 0, 23, 7}, {8, 6, 17, 7}, {8, 9, 17, 7},  // 90
    {8, 12, 17, 7}, {8, 13, 17, 7}, {8, 14, 17, 7}, {8, 0, 21, 7}, {8, 2, 21, 7}, {8, 0, 22, 7},  // 96
    {8, 7, 17, 7}, {8, 8, 17, 7}, {8, 10, 17, 7}, {8, 11, 17, 7}, {8, 6, 18, 7}, {8, 7, 18, 7},  // 102
    {8, 4, 21, 7}, {8, 6, 21, 7}, {8, 8, 21, 7}, {8, 10, 21, 7}, {8, 0, 55, 7}, {8, 1, 55, 7},  // 108
    {8, 3, 56, 7}, {8, 4, 56, 7}, {8, 0, 79, 7},  // 114
};

}  // namespace

void DrumNoteSet::Clear() {
    for (DWORD& w : words) w = 0;
}

void DrumNoteSet::Add(int note) {
    if (note >= 0 && note < 128) words[note / 32] |= DWORD(1) << (note % 32);
}

void DrumNoteSet::AddRange(int first, int last) {
    for (int note = first; note <= last; ++note) Add(note);
}

bool DrumNoteSet::Contains(int note) const {
    return note >= 0 && note < 128 && (words[note / 32] >> (note % 32) & 1) != 0;
}

bool DrumNoteSet::IsEmpty() const {
    return (words[0] | words[1] | words[2] | words[3]) == 0;
}

bool operator==(const DrumNoteSet& a, const DrumNoteSet& b) {
    for (int i = 0; i < 4; ++i) {
        if (a.words[i] != b.words[i]) return false;
    }
    return true;
}

BYTE InitVoiceAddressTable() {
    for (VoiceAddress& v : VoiceAddressTable) v = {0, 0, 0, kNoGeneration};
    for (int i = 0; i < kVoiceCount - 1; ++i) VoiceAddressTable[i] = kVoices[i];
    return 0;
}

BYTE InitDrumNoteSets() {
    for (DrumNoteSet& set : DrumNoteSets) set.Clear();
    // T1: the rock, pop and vintage kits.
    DrumNoteSets[1].AddRange(0, 22);
    DrumNoteSets[1].AddRange(25, 28);
    DrumNoteSets[1].Add(30);
    // T2: the expanded brush kit.
    DrumNoteSets[2].AddRange(0, 24);
    DrumNoteSets[2].Add(30);
    DrumNoteSets[2].Add(58);
    DrumNoteSets[2].AddRange(60, 127);
    // T4: the brush kit played from a brush kit.
    DrumNoteSets[4].AddRange(23, 24);
    DrumNoteSets[4].AddRange(29, 30);
    return 0;
}
