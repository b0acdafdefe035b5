#pragma once
// One save of the song document inside a benchmark loop.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "host/DataManager.h"

// False, with the benchmark marked as failed, when the song does not save.
inline bool SaveOnce(CDataManager& data, benchmark::State& state) {
    BYTE* out = nullptr;
    DWORD size = 0;
    if (!data.Save(&out, &size, nullptr)) {
        state.SkipWithError("the song does not save");
        return false;
    }
    benchmark::DoNotOptimize(out);
    std::free(out);
    return true;
}
