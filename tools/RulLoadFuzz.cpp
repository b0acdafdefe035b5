// AFL++ target for the rule-script loader: the input's lines are a script,
// loaded into a rule program over a small work model, run over its notes,
// and the work data is dumped and read back. Lines from "%%DUMP" on replace
// the work model's dump; "%%L1 <text>" and "%%L2 <text>" feed the note-list
// readers. The compiler must take the engine's CP932 flag, so the target is
// built with AFL++'s GCC front end, under AddressSanitizer and UBSan:
//
//   CC=afl-gcc CXX=afl-g++ cmake -S . -B build/afl -G Ninja -DVEXA_BUILD_APP=OFF
//         -DVEXA_BUILD_TESTS=OFF -DVEXA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
//         "-DCMAKE_CXX_FLAGS_DEBUG=-g1 -O1" -DCCACHE_PROGRAM=CCACHE_PROGRAM-NOTFOUND
//   cmake --build build/afl --target fuzz_rul_load
//   export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:symbolize=0:malloc_context_size=0:quarantine_size_mb=16:max_malloc_fill_size=0
//   export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:symbolize=0
//   AFL_SKIP_CPUFREQ=1 afl-fuzz -i tools/fuzz/rul-seeds -o build/afl/found -x tools/fuzz/rul.dict -V 600
//         -- build/afl/tools/fuzz_rul_load @@
//
// The sanitizer options matter for speed: allocation stacks (their unwinding
// and their store) and a large quarantine, whose fresh pages every run touches,
// tripled the time of a run. A child ends without the exit handlers, so the
// leak check is off in the run; the queue is replayed with it on by the replay
// tool, all inputs in one process:
// build/asan/tools/fuzz_rul_load build/afl/found/default/queue/id*
//
// (afl-g++-fast, the GCC plugin, refuses Debian's point release of GCC 12
// even with gcc-12-plugin-dev installed: "GCC and plugin have incompatible
// versions, expected GCC 12.2.0, is 12.2.0". The plugin checks GCC's whole
// configuration text, and Debian built it against "Debian 12.2.0-14" while
// the compiler installed is "Debian 12.2.0-14+deb12u1". afl-g++'s assembler
// instrumentation takes any GCC.)
//
// Built so, with afl-g++, the target runs in AFL++'s persistent mode (see
// AflInput.h): the built-ins are entered and one empty input is run before
// the fork server starts, and each child runs many inputs. Every other build is the replay
// tool: each file named on the command line runs in turn in one process
// ("-d" first prints each run's digest), and an input replays alone or among
// others to the same result: each run starts from cleared error state,
// random seed 1 and fresh work data.
#include <cstring>
#include <string>
#include <vector>

#include "AflInput.h"
#include "RulScriptTools.h"
#include "services/ArticErr.h"
#include "services/PHConvPrm.h"
#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticExpEvnt.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticCreExpMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/work/ArticWrk.h"
#include "platform/Random.h"


namespace {

// Takes every expression text, leaving one expression per text in its block.
struct FuzzReceiver : CArticExpReceiver {
    int LoadExpEvnt(CString, ULONG evntNo, CArticExpTrk*, CArticExpBlk* blk) override {
        if (blk) blk->AddTail(new CArticExpEvnt(blk, evntNo));
        return 0;
    }
};

void ReadList(CArticLoadMgr& loader, const std::string& text, bool fresh) {
    auto* list = new CArticWrkEvntList();
    CExString rest(text.c_str());
    const int r = fresh ? loader.LoadWrkEvntList2(rest, 3, &list) : loader.LoadWrkEvntList(rest, 3, &list);
    if (r != 0 && list) __builtin_trap();  // a refused list is always deleted
    delete list;
}

unsigned long long RunOne(const unsigned char* data, size_t size) {
    CArticErr::Clear();
    SeedRandom(1);
    CStringList script, dump;
    std::vector<std::string> lists;
    bool inDump = false;
    afltool::ForEachLine(data, size, [&](const std::string& line) {
        if (line == "%%DUMP") {
            inDump = true;
        } else if (line.compare(0, 3, "%%L") == 0) {
            lists.push_back(line);
        } else {
            (inDump ? dump : script).AddTail(CString(line.c_str()));
        }
    });
    if (!inDump) afltool::AddModelDump(dump);

    CArticWrk wrk;
    CArticRul rul(&wrk);
    CArticLoadMgr loader(&wrk, &rul);
    loader.LoadWrk(dump);
    for (const std::string& l : lists)
        if (l.size() > 4) ReadList(loader, l.substr(4), l[3] == '2');

    CPHConvPrm prm;
    prm.PbCtrl = BYTE(size & 1);
    loader.LoadRul(prm, script);

    CArticExp exp;
    CArticCreExpMgr mgr(&wrk, &exp, &rul);
    FuzzReceiver receiver;
    mgr.SetProcDialog(&receiver);
    mgr.Create();

    CStringList written;
    wrk.GetStrList(written, 0, 1);
    CArticWrk again;
    CArticLoadMgr reader(&again, nullptr);
    reader.LoadWrk(written);
    CStringList rewritten;
    again.GetStrList(rewritten, 0, 1);
    afltool::Digest digest;
    digest.Add(written);
    digest.Add(rewritten);
    wrk.ResetAllEvntPos();  // events of new-note lists belong to no block
    CArticErr::Delete();
    return digest.value;
}

}  // namespace

int main(int argc, char** argv) {
    // Once per process: the built-ins' catalogue entries.
    rultool::EnterToolBuiltins();
    return afltool::RunInputs(argc, argv, RunOne);
}
