#pragma once
// The benchmarks that run once per song of the test corpus: one benchmark per
// ".mid" file of the corpus's "songs" folder, in name order, each given the
// file's bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "platform/Types.h"

inline std::vector<BYTE> ReadBenchFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::filesystem::path BenchSongFolder() { return std::filesystem::path(VEXA_CORPUS) / "songs"; }

// The ".mid" files of the corpus's "songs" folder, in name order.
inline std::vector<std::filesystem::path> BenchSongFiles() {
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(BenchSongFolder(), error))
        if (entry.path().extension() == ".mid") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Registers "<prefix>/<file name>" for every song, then runs the benchmarks
// the command line selects; the result of main.
inline int RunSongBenchmarks(int argc, char** argv, const char* prefix,
                             void (*bench)(benchmark::State&, std::vector<BYTE>), benchmark::TimeUnit unit) {
    const std::vector<std::filesystem::path> files = BenchSongFiles();
    for (const auto& file : files)
        benchmark::RegisterBenchmark((std::string(prefix) + "/" + file.filename().string()).c_str(), bench,
                                     ReadBenchFile(file))
            ->Unit(unit);
    benchmark::Initialize(&argc, argv);
    if (files.empty()) std::fprintf(stderr, "no songs in %s\n", BenchSongFolder().string().c_str());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
