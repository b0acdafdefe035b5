#pragma once
// Sums of engine ticks. Times and gates are signed 64-bit counts whose
// largest value stands for an absent time; a note near that end moved or
// lengthened by an expression or a built-in must stay there, not wrap to a
// time near 0 or below it (signed overflow is undefined besides).
#include <cstdint>

#include "engine/work/ArticWrkEvnt.h"
#include "platform/Types.h"

namespace articticks {

// a + b, held at the 64-bit limits.
inline INT64 AddTicks(INT64 a, INT64 b) {
    INT64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) return b > 0 ? INT64_MAX : INT64_MIN;
    return sum;
}

// a - b, held at the 64-bit limits.
inline INT64 SubTicks(INT64 a, INT64 b) {
    INT64 diff = 0;
    if (__builtin_sub_overflow(a, b, &diff)) return b < 0 ? INT64_MAX : INT64_MIN;
    return diff;
}

// The end of a note: its start plus its gate, held at the limits.
inline INT64 OffTime(const CArticWrkEvnt* note) {
    return AddTicks(note->GetTime(), note->GetGateTime());
}

}  // namespace articticks
