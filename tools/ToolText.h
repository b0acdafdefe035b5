#pragma once
// Text files for the generators in tools/: whole files as bytes.
#include <fstream>
#include <sstream>
#include <string>

// The file's bytes; false when it cannot be read.
inline bool ReadTextFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}
