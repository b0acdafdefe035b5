#pragma once

#include <cstdint>
#include <cstring>

// What a song tells of one channel: its voice, whether it changes, and which
// low keys its notes reach. The song model's channel analysis fills the nine
// bytes; the channel objects read them to decide what the channel becomes.
struct ChannelFacts {
    enum Byte {
        kBankMsb = 0,       // bank MSB of the channel's voice
        kBankLsb = 1,       // bank LSB
        kProgram = 2,       // program
        kSeveralVoices = 3, // 1 when the voice or the part mode changes after the first note
        kNoNotes = 4,       // 1 until a note-on is seen
        kVexaVoice = 5,     // the recorded voice is one of the articulated voices (bank MSB 8)
        kBelow36 = 6,       // a note-on with a key below 36
        kBelow24 = 7,       // a note-on with a key below 24
        kPartMode = 8,      // part mode from the part-mode message
        kSize = 9
    };

    uint8_t bytes[kSize] = {};

    // The record as the main window sets it before each channel is analysed:
    // all zero, except the drum channel (index 9), which starts on bank MSB
    // 127 in part mode 2.
    void Reset(int channel)
    {
        std::memset(bytes, 0, sizeof bytes);
        if (channel == 9) {
            bytes[kBankMsb] = 127;
            bytes[kPartMode] = 2;
        }
    }

    uint8_t& operator[](Byte b) { return bytes[b]; }
    uint8_t operator[](Byte b) const { return bytes[b]; }
};
