// libFuzzer target: any bytes through CDataManager::Load. What a saved song
// writes must load again; from the second writing on, the bytes are stable.
// (Not from the first: notes of one key that overlap pair first in first out,
// and a note left without its off gets the shortest length, so the first
// writing can pair differently from the input.)
//
//   cmake -S . -B build/fuzz -G Ninja -DVEXA_BUILD_APP=OFF -DVEXA_BUILD_TESTS=OFF -DVEXA_FUZZ=ON \
//         -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
//   cmake --build build/fuzz --target fuzz_smf_load
//   mkdir -p build/fuzz/found
//   build/fuzz/tools/fuzz_smf_load build/fuzz/found ../shared/corpus/smf-edge ../shared/corpus/songs \
//         -dict=tools/smf.dict -max_total_time=600
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/DataManager.h"

namespace {

std::vector<BYTE> SaveBytes(CDataManager& data) {
    BYTE* buffer = nullptr;
    DWORD size = 0;
    if (!data.Save(&buffer, &size, nullptr)) {
        if (buffer || size) __builtin_trap();  // a failed save hands out nothing
        return {};
    }
    std::vector<BYTE> out(buffer, buffer + size);
    std::free(buffer);
    if (out.empty()) __builtin_trap();
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    if (size > 0xFFFFFFFFu) return 0;
    CPhrasorDoc doc;
    CDataManager data(&doc);
    SmfLayout layout;
    if (!data.Load(bytes, DWORD(size), &layout)) return 0;
    const std::vector<BYTE> saved = SaveBytes(data);
    // Times the format cannot carry (a delta of 2^28 ticks or more) make the save fail.
    if (saved.empty()) return 0;

    std::vector<BYTE> current = saved;
    for (int generation = 0; generation < 2; ++generation) {
        CPhrasorDoc again;
        CDataManager reread(&again);
        if (!reread.Load(current.data(), DWORD(current.size()), nullptr)) __builtin_trap();
        std::vector<BYTE> next = SaveBytes(reread);
        if (next.empty()) __builtin_trap();
        if (generation == 1 && next != current) __builtin_trap();
        current = std::move(next);
    }
    return 0;
}
