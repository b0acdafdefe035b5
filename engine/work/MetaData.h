#pragma once
// Bounded readers of the meta data that work events carry (time signature,
// key signature, tempo). Data from an input file may be shorter than its
// kind defines; such data, and a time signature with a numerator of 0 (which
// would divide the bar arithmetic by zero), count as no usable data.
#include "engine/work/ArticWrkEvnt.h"
#include "platform/String.h"
#include "platform/Types.h"

// 0xFF / 0x58 with at least numerator and denominator and a numerator above
// 0: true with the numerator and the ticks per beat (1920 / denominator,
// rounded).
bool ReadWrkBeat(const CArticWrkEvnt* evnt, BYTE* numerator, ULONG* ticksPerBeat);
// Key signature data of at least 2 bytes: true with sharps/flats and the minor flag.
bool ReadWrkMeter(const CArticWrkEvnt* evnt, signed char* sharpsFlats, BYTE* minor);
// Tempo data of at least 3 bytes: true with the microseconds per quarter note.
bool ReadWrkTempo(const CArticWrkEvnt* evnt, ULONG* usPerQuarter);
// The same for a value record's data.
bool ReadBeatData(const BYTE* data, ULONG len, BYTE* numerator, ULONG* ticksPerBeat);

// value as "%.*f" would write it in the "C" locale.
CString FormatFixed(double value, int digits);
