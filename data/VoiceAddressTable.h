#pragma once
// The keyboard voices that conversion targets play, by the MIDI address that
// selects each (bank MSB, bank LSB, program) and the generation of models
// that introduced it; and the five sets of drum notes that converting to a
// drum-kit target deletes. Both are filled once at start-up and read-only
// afterwards.
#include "platform/Types.h"

// One voice: four bytes in this order.
struct VoiceAddress {
    BYTE bankMsb;     // 8 for the normal voices, 127 for the drum kits
    BYTE bankLsb;
    BYTE program;     // 0..127 as sent
    BYTE generation;  // 0..7; kNoGeneration for none
};

constexpr BYTE kNoGeneration = 255;
constexpr int kVoiceCount = 118;     // an index of kVoiceCount or more is no voice
constexpr int kNoVoiceEntry = 117;   // the entry for no voice: address 0/0/0, no generation
constexpr int kUnsetVoiceIndex = 118;
constexpr BYTE kDrumKitBankMsb = 127;

extern VoiceAddress VoiceAddressTable[kVoiceCount];

// A set of MIDI notes 0..127 as 128 bits: note n is bit n % 32 of word n / 32.
struct DrumNoteSet {
    DWORD words[4] = {0, 0, 0, 0};

    void Clear();
    void Add(int note);                 // notes outside 0..127 are ignored
    void AddRange(int first, int last);  // both ends included
    bool Contains(int note) const;      // false outside 0..127
    bool IsEmpty() const;
    friend bool operator==(const DrumNoteSet& a, const DrumNoteSet& b);
    friend bool operator!=(const DrumNoteSet& a, const DrumNoteSet& b) { return !(a == b); }
};

constexpr int kDrumNoteSetCount = 5;  // T0..T4; T0 is the empty set
extern DrumNoteSet DrumNoteSets[kDrumNoteSetCount];

// Each returns a status byte, 0 on success (the filling cannot fail).
BYTE InitVoiceAddressTable();
BYTE InitDrumNoteSets();
