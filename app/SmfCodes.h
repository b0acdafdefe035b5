#pragma once
// Failure codes of the song model. Every operation returns 0 (or another
// non-negative value) for success. An operation's own failure at its step N
// is 0x80000000 | N; a step that fails because an inner call returned the
// code c gives (c << 4) | 0x80000000 | N in 32 bits, so the lowest hex digit
// names the outermost failing step, the next one the step inside it, and so
// on. Digits pushed out at the top are lost.
#include <cstdint>

// The step's own failure.
constexpr int SmfFail(int step) { return int(0x80000000u | uint32_t(step)); }

// A step failed because the inner call returned `inner` (negative).
constexpr int SmfWrap(int inner, int step) { return int((uint32_t(inner) << 4) | 0x80000000u | uint32_t(step)); }

constexpr bool SmfFailed(int code) { return code < 0; }
