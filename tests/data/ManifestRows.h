#pragma once
// The rows of the scripts' manifest (data/scripts/manifest.txt) whose family
// is one of the given ones, each split into its '|'-separated fields.
#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::vector<std::string>> ManifestRowsOf(std::initializer_list<const char*> families) {
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(std::string(VEXA_SOURCE_DIR) + "/data/scripts/manifest.txt");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f;
        std::stringstream split(line);
        for (std::string part; std::getline(split, part, '|');) f.push_back(part);
        if (f.size() < 7 || std::none_of(families.begin(), families.end(),
                                          [&](const char* family) { return f[1] == family; }))
            continue;
        rows.push_back(f);
    }
    return rows;
}
