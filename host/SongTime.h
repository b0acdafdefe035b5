#pragma once
// Song time: ticks at 960 per quarter note in signed 64-bit values, and clock
// time in 100-nanosecond units. The largest value stands for an absent time;
// arithmetic on song times keeps it absent and never makes it by accident.
#include <cstdint>
#include <limits>

#include "platform/Types.h"

constexpr INT64 SONG_TIME_ABSENT = std::numeric_limits<INT64>::max();
constexpr LONG SONG_TICKS_PER_QUARTER = 960;
constexpr LONG SONG_TICKS_PER_WHOLE = 3840;

// Narrows a wide intermediate to a present song time: values beyond the range
// stop one short of the absent value.
inline INT64 ClampSongTime(__int128 value) {
    if (value >= __int128(SONG_TIME_ABSENT)) return SONG_TIME_ABSENT - 1;
    if (value < __int128(std::numeric_limits<INT64>::min())) return std::numeric_limits<INT64>::min();
    return INT64(value);
}

// a + b for song times: absent when either is absent, clamped otherwise.
inline INT64 AddSongTime(INT64 a, INT64 b) {
    if (a == SONG_TIME_ABSENT || b == SONG_TIME_ABSENT) return SONG_TIME_ABSENT;
    return ClampSongTime(__int128(a) + b);
}

inline LONG ClampToLong(__int128 value) {
    if (value > std::numeric_limits<LONG>::max()) return std::numeric_limits<LONG>::max();
    if (value < std::numeric_limits<LONG>::min()) return std::numeric_limits<LONG>::min();
    return LONG(value);
}
