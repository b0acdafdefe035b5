#pragma once
// What the AFL++ targets share: the small work model they load, the split of
// an input into lines, and a main() that reads one input from the file named
// by its argument (or standard input) and runs it once.
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Collections.h"
#include "platform/String.h"

namespace afltool {

// A master track with a 4/4 measure block and one track of six notes.
inline const char* const kModelDump[] = {
    "TRK:0",
    "BLK:0",
    "w1:1/1/0,Beat,480,4",
    "w2:1/1/0,Meter,0",
    "TRK:1,ch1,port0",
    "BLK:0,Normal,name=\"part\"",
    "w3:1/1/0,Note,C3,240",
    "w4:1/2/0,Note,E3,240",
    "w5:1/3/0,Note,G3,480",
    "w6:1/3/0,Note,C4,480",
    "w7:2/1/0,Note,D3,120",
    "w8:2/1/240,Note,F#3,960",
};

inline void AddModelDump(CStringList& list) {
    for (const char* l : kModelDump) list.AddTail(CString(l));
}

// Each line of the input, without its "\n" or a "\r" before it; the text
// after the last "\n" is a line too, empty or not.
template <class Fn>
void ForEachLine(const unsigned char* data, size_t size, Fn&& fn) {
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        if (i < size && data[i] != '\n') continue;
        std::string line(reinterpret_cast<const char*>(data) + start, i - start);
        start = i + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        fn(line);
    }
}

// main()'s work: 1 when the named file cannot be opened, else 0 after one run.
inline int RunInput(int argc, char** argv, void (*run)(const unsigned char*, size_t)) {
    FILE* in = argc > 1 ? std::fopen(argv[1], "rb") : stdin;
    if (!in) return 1;
    std::vector<unsigned char> bytes;
    unsigned char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    if (in != stdin) std::fclose(in);
    run(bytes.data(), bytes.size());
    return 0;
}

}  // namespace afltool
