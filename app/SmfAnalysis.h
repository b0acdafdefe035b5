#pragma once
// What the song model's analysis reports of a song, the exclusive messages it
// recognises, and the grids of the beat-resolution guess.
#include <vector>

#include "platform/Types.h"

// The song facts. The defaults are those of a song that says nothing.
struct SongFacts {
    static constexpr DWORD kNoTime = 0x7FFFFFFF;

    WORD division = 960;        // ticks per quarter note (the header's)
    DWORD tempo = 500000;       // microseconds per quarter note at time 0
    BYTE numerator = 4;         // time signature at time 0
    BYTE denominatorPower = 2;  // 2: the beat is a quarter note
    // The earliest event that is neither a song-head meta event nor a KV
    // System On.
    DWORD firstEventTime = kNoTime;
    DWORD firstNoteTime = kNoTime;  // the earliest note-on, any velocity
    DWORD kvSystemOnTime = 0;       // the KV System On met last
    bool kvSystemOnFound = false;
};

// The exclusive messages, recognised by the data after the F0 (any device
// number in the low bits of the second byte).
bool IsKvSystemOn(const std::vector<BYTE>& data);
bool IsKvPartBankMsb(const std::vector<BYTE>& data);
bool IsKvPartBankLsb(const std::vector<BYTE>& data);
bool IsKvPartProgram(const std::vector<BYTE>& data);
bool IsKvPartRcvChannel(const std::vector<BYTE>& data);
bool IsKvPartMode(const std::vector<BYTE>& data);
bool IsKvDrumSetupParam(const std::vector<BYTE>& data);
bool IsGsReset(const std::vector<BYTE>& data);
bool IsGsModeSet(const std::vector<BYTE>& data);
bool IsGmSystemMessage(const std::vector<BYTE>& data);
// An NRPN that edits one drum note (MSB: the drum parameter, LSB: the note).
bool IsDrumNoteNrpn(BYTE msb, BYTE lsb);

// The KV System On the song head gets, as the data after F0.
extern const BYTE kKvSystemOnData[8];

// The note values of the beat-resolution picker, by cell index, in ticks;
// the song's guess counts at 960 per quarter note and is compared with them
// as they stand, while the engine reads them at 480 per quarter note.
constexpr int kBeatResolutionCount = 15;
constexpr int kDefaultBeatResolution = 240;
extern const int kBeatResolutionTicks[kBeatResolutionCount];
// The ticks of a picker cell; 240 for an index outside the table.
int BeatResolutionTicks(int index);
// The cell whose ticks equal `ticks`, or -1.
int BeatResolutionIndex(int ticks);
