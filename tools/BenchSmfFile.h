#pragma once
// A format-1 song of one track (480 ticks per quarter) around the given track
// events: the generated songs of the benchmarks.
#include <vector>

#include "host/SmfBytes.h"
#include "platform/Types.h"

inline std::vector<BYTE> OneTrackSmf(SmfByteWriter& track) {
    const BYTE endOfTrack[4] = {0x00, 0xFF, 0x2F, 0x00};
    track.PutBytes(endOfTrack, 4);
    SmfByteWriter file;
    const BYTE header[14] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0};
    file.PutBytes(header, sizeof header);
    file.PutBytes(reinterpret_cast<const BYTE*>("MTrk"), 4);
    file.PutU32BE(DWORD(track.Size()));
    file.PutBytes(track.Bytes().data(), track.Size());
    return file.Bytes();
}
