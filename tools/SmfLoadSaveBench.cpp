// Load + save of each song of the test corpus (the SMF reader and writer of
// the song document), one benchmark per file.
#include <benchmark/benchmark.h>

#include <vector>

#include "BenchCorpus.h"
#include "BenchSave.h"
#include "host/DataManager.h"

namespace {

void LoadSave(benchmark::State& state, std::vector<BYTE> bytes) {
    CPhrasorDoc doc;
    CDataManager data(&doc);
    for (auto _ : state) {
        if (!data.Load(bytes.data(), DWORD(bytes.size()), nullptr)) {
            state.SkipWithError("the file does not load");
            return;
        }
        if (!SaveOnce(data, state)) return;
    }
    state.SetBytesProcessed(INT64(state.iterations()) * INT64(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    return RunSongBenchmarks(argc, argv, "LoadSave", LoadSave, benchmark::kMicrosecond);
}
