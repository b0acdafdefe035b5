#pragma once
// The song beyond the channel's notes: meter, tempo, key and chord in force
// on the conductor track at a time, a note's distance from the last meter or
// key change, the voice the song gives the note's channel and the target
// voice of the conversion. All reach the song through the bridge's answerer
// (ArticSrchSong) with the rule program's host.
#include "engine/builtins/ArticSrchShape.h"

// The conductor queries at a time t (engine ticks, a negative one fails
// without a report; beyond 32 bits saturated). Without a host the outputs
// take their defaults and the result is 0; with one the bridge's result is
// the built-in's, and what it delivered is written even when it fails.

// MstrMeter(t, &num, &den): the numerator and the denominator's power of two
// of the meter in force (0.0, 0.0 when none).
class CArticSrchMstrMeter : public ArticSrchWithO2<CArticSrchMstr> {
    VX_DECLARE_CLASS(CArticSrchMstrMeter)
public:
    using ArticSrchWithO2::ArticSrchWithO2;
    int Search() override;
};

// MstrTempo(t, &bpm): whole quarter notes per minute in force (120.0 when none).
class CArticSrchMstrTempo : public CArticSrchMstr {
    VX_DECLARE_CLASS(CArticSrchMstrTempo)
public:
    using CArticSrchMstr::CArticSrchMstr;
    int Search() override;
};

// MstrTempo2(t, &bpm, &tempoTime): also the tempo event's time from the start
// of the conductor's first block (0.0 when none).
class CArticSrchMstrTempo2 : public ArticSrchWithO2<CArticSrchMstr> {
    VX_DECLARE_CLASS(CArticSrchMstrTempo2)
public:
    using ArticSrchWithO2::ArticSrchWithO2;
    int Search() override;
};

// MstrKey(t, &sf, &mi): the key signature's two bytes as unsigned values
// (two flats: 254.0; 0.0, 0.0 when none).
class CArticSrchMstrKey : public ArticSrchWithO2<CArticSrchMstr> {
    VX_DECLARE_CLASS(CArticSrchMstrKey)
public:
    using ArticSrchWithO2::ArticSrchWithO2;
    int Search() override;
};

// MstrChord(t, &root, &type, &bassRoot, &bassType): the four bytes of the
// chord event in force (0.0 each when none).
class CArticSrchMstrChord : public ArticSrchWithO4<ArticSrchWithO3<ArticSrchWithO2<CArticSrchMstr>>> {
    VX_DECLARE_CLASS(CArticSrchMstrChord)
public:
    using ArticSrchWithO4::ArticSrchWithO4;
    int Search() override;
};

// MstrGetTimeFromMeter(ev, &out) / MstrGetTimeFromKey(ev, &out): the note's
// on-time minus the time of the last meter (key) event at or before it, the
// on-time itself when none; 0.0 without a host. A relation that finds no
// note leaves the error flag it set.
class CArticSrchMstrGetTimeFromMeter : public CArticSrchMstr {
    VX_DECLARE_CLASS(CArticSrchMstrGetTimeFromMeter)
public:
    using CArticSrchMstr::CArticSrchMstr;
    int Search() override;
};

class CArticSrchMstrGetTimeFromKey : public CArticSrchMstr {
    VX_DECLARE_CLASS(CArticSrchMstrGetTimeFromKey)
public:
    using CArticSrchMstr::CArticSrchMstr;
    int Search() override;
};

// ProNum(ev, &pg, &msb, &lsb): the program, bank MSB and bank LSB the song
// gives the port and channel of the note's track. Without a block, track,
// editor manager, table or entry, or when the song set no voice for the
// channel (scripts tell "no program" from program 0 by it): 1 with the
// outputs untouched; a failed
// argument read writes 0.0 to the outputs obtained.
class CArticSrchProNum : public ArticSrchWithO3<CArticSrchMstrMeter> {
    VX_DECLARE_CLASS(CArticSrchProNum)
public:
    using ArticSrchWithO3::ArticSrchWithO3;
    int Search() override;
};

// ProNumOfVexa(&pg, &msb, &lsb): the target voice of the conversion; 0.0
// each without a registered driver.
class CArticSrchProNumOfVexa : public ArticSrchWithO3<ArticSrchArgsOO> {
    VX_DECLARE_CLASS(CArticSrchProNumOfVexa)
public:
    using ArticSrchWithO3::ArticSrchWithO3;
    int Search() override;
};
