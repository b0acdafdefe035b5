#pragma once
// The MIDI files of the test corpus, for the tests that walk all of them.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace corpustest {

// Every ".mid" file of the corpus folders "smf-edge" and "songs", sorted; a
// folder that is not there gives none.
inline std::vector<std::filesystem::path> MidiFiles() {
    std::vector<std::filesystem::path> files;
    for (const char* folder : {"smf-edge", "songs"}) {
        const std::filesystem::path dir = std::filesystem::path(VEXA_CORPUS) / folder;
        std::error_code error;
        if (!std::filesystem::is_directory(dir, error)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(dir, error))
            if (entry.path().extension() == ".mid") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The whole of one file; empty when it cannot be read.
inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace corpustest
