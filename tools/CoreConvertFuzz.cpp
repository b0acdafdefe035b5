// AFL++ target for the whole conversion: the input is an SMF, converted
// through the engine's core as the user interface's worker converts it (a
// core with a module handle, one driver and one document, resolution 480,
// per channel its parameters and a key-shift script, each Convert on the
// previous result). The channels are those of the first two note-on status
// bytes of the input (channel 0 when there is none). A Convert that fails
// must leave the caller's bytes and size as they were; one that succeeds
// must hand back bytes that load again. Built and run as the rule-script
// target is (see RulLoadFuzz.cpp), seeded with a few small files of the
// test corpus:
//
//   cmake --build build/afl --target fuzz_core_convert
//   mkdir -p build/afl/core-seeds
//   for f in c-major-scale control-00-20-bank-select 2-tracks-type-1 multichannel-chords-3 smpte-offset; do
//     cp ../shared/corpus/smf-edge/test-$f.mid build/afl/core-seeds/; done
//   AFL_SKIP_CPUFREQ=1 afl-fuzz -i build/afl/core-seeds -o build/afl/found-core -x tools/smf.dict -t 2000
//         -V 600 -- build/afl/tools/fuzz_core_convert @@   (ASAN_OPTIONS and UBSAN_OPTIONS as there)
//
// The program's start is made once per process (Core() below); with afl-g++
// the fork server starts after it and after one empty input, and each child
// converts many inputs in AFL++'s persistent mode (see AflInput.h and
// RulLoadFuzz.cpp); otherwise the target is the replay loop. The leak
// check is off in a fuzz run; its queue is replayed with it on, all inputs in
// one process and then, for any report, one input at a time:
//
//   build/asan/tools/fuzz_core_convert build/afl/found-core/default/queue/id*
#include <cstdint>
#include <cstring>
#include <vector>

#include "AflInput.h"
#include "CoreWorker.h"
#include "driver/PhrasorCoreIF.h"
#include "host/DataManager.h"
#include "host/PhrasorApp.h"
#include "host/PhrasorDoc.h"

namespace {

// The channels of the first two distinct note-on status bytes.
std::vector<int> ChannelsToConvert(const uint8_t* bytes, size_t size) {
    std::vector<int> channels;
    for (size_t i = 0; i < size && channels.size() < 2; ++i) {
        if ((bytes[i] & 0xF0) != 0x90) continue;
        const int ch = bytes[i] & 0x0F;
        if (channels.empty() || channels.front() != ch) channels.push_back(ch);
    }
    if (channels.empty()) channels.push_back(0);
    return channels;
}

bool Reloads(const BYTE* bytes, DWORD size) {
    CPhrasorDoc doc;
    CDataManager data(&doc);
    return data.Load(bytes, size, nullptr) == 1;
}

int module;  // its address stands for the program's module handle

// The core with the program started, made once per process: the start
// (program folder, scripts, tables) does not depend on the input. Each input
// then gets its own driver and document, as a fresh worker does.
CPhrasorCoreIF& Core() {
    static CPhrasorCoreIF* core = [] {
        GetPhrasorApp().OverrideProgramFolder(CString(VEXA_SOURCE_DIR "/data/"));
        CPhrasorCoreIF* made = CreatePhrasorCore(&module);
        if (!made) __builtin_trap();
        return made;
    }();
    return *core;
}

unsigned long long ConvertOne(const uint8_t* data, size_t size) {
    afltool::Digest digest;
    if (size > 0xFFFFFFFFu) return digest.value;
    CPhrasorCoreIF& core = Core();
    core.CreateProc();
    core.CreateDoc();
    core.SetResolution(480);

    const std::vector<BYTE> input(data, data + size);
    BYTE* bytes = const_cast<BYTE*>(input.data());
    DWORD length = DWORD(size);
    for (int channel : ChannelsToConvert(data, size)) {
        BYTE* const before = bytes;
        const DWORD beforeLength = length;
        const int result = coretool::ConvertUp12(core, channel, &bytes, &length);
        digest.Add(result);
        if (result == 1) {
            if (!bytes || !Reloads(bytes, length)) __builtin_trap();
            digest.Add(bytes, length);
        } else if (result != 0 || bytes != before || length != beforeLength) {
            __builtin_trap();
        }
    }
    // The input is never written.
    if (size && std::memcmp(input.data(), data, size) != 0) __builtin_trap();

    core.DeleteProc();
    core.DeleteDoc();
    return digest.value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ConvertOne(data, size);
    return 0;
}

int main(int argc, char** argv) {
    Core();
    return afltool::RunInputs(argc, argv, ConvertOne);
}
