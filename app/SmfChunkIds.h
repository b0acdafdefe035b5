#pragma once
// The chunk identifiers the song model knows, with their numbers. Only
// "MThd", "MTrk", "ZQIH" and "ZQKM" are read; the others are skipped like
// unknown chunks but report a failed skip with their own step.
#include <cstring>

#include "platform/Types.h"

constexpr int SMF_CHUNK_HEADER = 1;
constexpr int SMF_CHUNK_TRACK = 2;
constexpr int SMF_CHUNK_ZQIH = 41;
constexpr int SMF_CHUNK_ZQKM = 42;
constexpr int SMF_CHUNK_UNKNOWN = 255;

struct SmfChunkId {
    char id[5];
    int number;
};

inline constexpr SmfChunkId kSmfChunkIds[] = {
    {"MThd", SMF_CHUNK_HEADER}, {"MTrk", SMF_CHUNK_TRACK}, {"RIFF", 4}, {"fmt ", 5}, {"data", 6},
    {"ZQIH", SMF_CHUNK_ZQIH},   {"ZQKM", SMF_CHUNK_ZQKM},
};

// The number of a four-byte identifier, SMF_CHUNK_UNKNOWN when it is not listed.
inline int SmfChunkNumber(const BYTE* id) {
    for (const SmfChunkId& c : kSmfChunkIds)
        if (std::memcmp(c.id, id, 4) == 0) return c.number;
    return SMF_CHUNK_UNKNOWN;
}

// The identifier of a number; null when it has none.
inline const char* SmfChunkText(int number) {
    for (const SmfChunkId& c : kSmfChunkIds)
        if (c.number == number) return c.id;
    return nullptr;
}
