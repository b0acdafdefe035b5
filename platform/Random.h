#pragma once
// The engine's random numbers: a seedable 15-bit generator (0..32767),
// s = s * 214013 + 2531011, draw = (s >> 16) & 0x7FFF. Process-wide, one
// conversion at a time. Tests may inject the draws.
#include <functional>

#include "platform/Types.h"

constexpr int kRandMax = 0x7FFF;

void SeedRandom(uint32_t seed);
void SeedRandomFromClock();
int NextRandom();  // 0..32767

// While installed, NextRandom returns what the hook returns (clamped to
// 0..32767). An empty function removes the hook.
void SetRandomHook(std::function<int()> hook);
