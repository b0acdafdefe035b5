// Load + save of each song of the test corpus (the SMF reader and writer of
// the song document), one benchmark per file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BenchSave.h"
#include "host/DataManager.h"

namespace {

std::vector<BYTE> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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
    const std::filesystem::path songs = std::filesystem::path(VEXA_CORPUS) / "songs";
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(songs, error))
        if (entry.path().extension() == ".mid") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files)
        benchmark::RegisterBenchmark(("LoadSave/" + file.filename().string()).c_str(), LoadSave, ReadFile(file))
            ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    if (files.empty()) std::fprintf(stderr, "no songs in %s\n", songs.string().c_str());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
