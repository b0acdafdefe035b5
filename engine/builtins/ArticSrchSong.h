#pragma once
// What the built-ins and the string split ask of the song beyond the work
// data: the conductor track's meter, key, chord and tempo, the voice the song
// gives a channel, the target voice of the running conversion and the address
// of a port. The song bridge answers; it
// lives in a library above the engine, so the engine never calls it by name.
// The bridge enters its answerer here instead, from the translation unit that
// holds its own registrations: every program that can register a conversion
// with the bridge links that unit, and so has the answerer entered before
// main runs. Without one entered the questions cannot be answered (result 1).
#include "platform/Types.h"

class CKPSManager;

class ArticSrchSong {
public:
    virtual ~ArticSrchSong() = default;

    // The conductor queries, in engine ticks: 0, or 1 when the host cannot
    // deliver the conductor track or its events. Meter, key and chord leave
    // their outputs untouched when none is in force; the tempo is preset to
    // 120 and its time to 0; the times since the meter or key are preset to
    // the time itself.
    virtual int GetCurBeat(CKPSManager* host, DWORD time, BYTE* num, BYTE* den) const = 0;
    virtual int GetCurKey(CKPSManager* host, DWORD time, BYTE* sf, BYTE* mi) const = 0;
    virtual int GetCurChord(CKPSManager* host, DWORD time, BYTE* root, BYTE* type, BYTE* bassRoot,
                            BYTE* bassType) const = 0;
    virtual int GetCurTempo(CKPSManager* host, DWORD time, WORD* tempo, DWORD* evntTime) const = 0;
    virtual int GetTimeFromMeter(CKPSManager* host, INT64 time, INT64* out) const = 0;
    virtual int GetTimeFromKey(CKPSManager* host, INT64 time, INT64* out) const = 0;
    // The program, bank MSB and bank LSB the song gives the channel key
    // (port x 256 + channel): 0; 1 with the outputs untouched without an
    // editor manager, its channel table or the key in it, and when no program,
    // bank select or voice event of the song set the channel's voice.
    virtual int GetChVoice(DWORD key, BYTE* pro, BYTE* msb, BYTE* lsb) const = 0;
    // The target voice of the registered conversion: 0; 1 with the outputs
    // untouched without a registered driver or conversion parameters.
    virtual int GetTargetVoice(BYTE* pro, BYTE* msb, BYTE* lsb) const = 0;
    // The address the preferences' port information gives the host's port
    // number portNo: 0; 1 with the output untouched without that information
    // or the port in it.
    virtual int GetPortAdrsFromPortNo(CKPSManager* host, DWORD portNo, DWORD* adrs) const = 0;

    // Enters the answerer (null removes it); it must outlive its entry.
    static void Enter(const ArticSrchSong* song);
    // The answerer entered, or null.
    static const ArticSrchSong* Get();
};
