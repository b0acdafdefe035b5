#pragma once
// The voice tables as the program's start-up fills them, once per test program.
#include "data/AlgorithmTable.h"
#include "data/VoiceAddressTable.h"

inline void FillVoiceTables() {
    static const bool filled = [] {
        // The order of the start-up: the algorithm rows copy the drum note sets.
        return InitDrumNoteSets() == 0 && InitAlgorithmTable() == 0 && InitVoiceAddressTable() == 0;
    }();
    (void)filled;
}
