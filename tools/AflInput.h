#pragma once
// What the AFL++ targets share: the small work model they load, the split of
// an input into lines, a digest of a run's results, and a main() that forks
// for AFL++ only after the start-up, or replays many inputs in one process.
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#if defined(VEXA_AFL_DEFERRED)
#include <unistd.h>
#endif

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

// A digest of what an input produced (FNV-1a), compared between a replay of
// one input alone and of the same input among others in one process.
struct Digest {
    unsigned long long value = 1469598103934665603ull;
    void Add(const void* bytes, size_t size) {
        const unsigned char* b = static_cast<const unsigned char*>(bytes);
        for (size_t i = 0; i < size; ++i) value = (value ^ b[i]) * 1099511628211ull;
    }
    void Add(const CString& text) { Add(static_cast<const char*>(text), size_t(text.GetLength()) + 1); }
    void Add(const CStringList& list) {
        for (POSITION p = list.GetHeadPosition(); p;) Add(list.GetNext(p));
    }
    void Add(long long number) { Add(&number, sizeof number); }
};

using RunFn = unsigned long long (*)(const unsigned char*, size_t);

inline bool ReadFile(FILE* in, std::vector<unsigned char>& bytes) {
    bytes.clear();
    unsigned char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    return !std::ferror(in);
}

inline bool ReadPath(const char* path, std::vector<unsigned char>& bytes) {
    FILE* in = std::fopen(path, "rb");
    if (!in) return false;
    const bool ok = ReadFile(in, bytes);
    std::fclose(in);
    return ok;
}

// How many inputs one forked child of the AFL++ build runs before it ends
// and the fork server makes the next one.
constexpr unsigned kPersistentRuns = 20000;

// main()'s work. Built for AFL++ (VEXA_AFL_DEFERRED, see below), the target
// runs in AFL++'s persistent mode: the fork server starts only here, after
// the caller's once-per-process start-up and one empty input, and each
// forked child then runs up to kPersistentRuns inputs, each read anew from
// the file named by the first argument (standard input when none is), and
// stops itself after each for afl-fuzz to hand it the next. Outside afl-fuzz
// the same build runs that one input once. Otherwise it is the replay loop:
// each file named runs in turn in this one process (standard input when none
// is named); with "-d" first, each run prints its digest on a line of its
// own. 1 when a file cannot be read, else 0.
inline int RunInputs(int argc, char** argv, RunFn run) {
    std::vector<unsigned char> bytes;
#if defined(VEXA_AFL_DEFERRED)
    run(bytes.data(), 0);  // warm-up: lazy tables and the allocator's caches
    __AFL_INIT();
    // __AFL_LOOP also leaves in the binary the mark by which afl-fuzz knows
    // the target is persistent: without it afl-fuzz does not tell the fork
    // server so, and the server, waiting for the child to end, never sees it
    // stop after an input (every input timed out).
    while (__AFL_LOOP(kPersistentRuns)) {
        // afl-fuzz rewinds the input file it hands over on standard input.
        std::clearerr(stdin);
        if (argc > 1 ? !ReadPath(argv[1], bytes) : !ReadFile(stdin, bytes)) _exit(1);
        run(bytes.data(), bytes.size());
    }
    // The child ends here without the exit handlers: the sanitizers' own (the
    // unregistering of every global) cost more than many runs. A fuzz run has
    // the leak check off; its queue is replayed with it on.
    std::fflush(nullptr);
    _exit(0);
#else
    int first = 1;
    const bool print = argc > 1 && std::strcmp(argv[1], "-d") == 0;
    if (print) ++first;
    auto one = [&]() {
        const unsigned long long digest = run(bytes.data(), bytes.size());
        if (print) std::printf("%016llx\n", digest);
    };
    if (first >= argc) {
        if (!ReadFile(stdin, bytes)) return 1;
        one();
    }
    for (int i = first; i < argc; ++i) {
        if (!ReadPath(argv[i], bytes)) return 1;
        one();
    }
    return 0;
#endif
}

}  // namespace afltool

#if defined(VEXA_AFL_DEFERRED)
// The AFL++ build: the classic afl-g++ instruments through its
// assembler and links no runtime, so tools/CMakeLists.txt links AFL++'s
// compiler runtime (afl-compiler-rt.o), which holds the fork server that
// __AFL_INIT starts and __AFL_LOOP drives. The assembler's instrumentation
// would start a fork server of its own (one that knows neither) at the first
// instrumented code that runs, unless the shared pointer to the coverage map
// (__afl_global_area_ptr) is already set. The runtime maps the coverage map
// in its constructors of priority 0 to 5; this constructor of priority 10,
// written in assembly so that it carries no instrumentation itself, hands
// that map to the instrumented code before any of it (the sanitizers'
// constructors run at priority 99) has run.
//
// The runtime's map pointer is reached under the link-time alias
// vexa_afl_runtime_area_ptr (tools/CMakeLists.txt): the instrumentation
// gives every object file a local symbol of the same name, __afl_area_ptr,
// which a reference from this file would bind to, handing over its null.
asm(".pushsection .text\n"
    ".p2align 4\n"
    "vexa_afl_share_map:\n"
    "  movq vexa_afl_runtime_area_ptr@GOTPCREL(%rip), %rax\n"
    "  movq (%rax), %rax\n"
    "  movq __afl_global_area_ptr@GOTPCREL(%rip), %rdx\n"
    "  movq %rax, (%rdx)\n"
    "  ret\n"
    ".popsection\n"
    ".pushsection .init_array.00010,\"aw\"\n"
    ".p2align 3\n"
    ".quad vexa_afl_share_map\n"
    ".popsection\n");
#endif
