// Loading a generated rule script of 500 sets (about 10,000 lines) into a
// rule program through the loader manager.
#include <benchmark/benchmark.h>

#include "RulScriptTools.h"
#include "services/ArticErr.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/work/ArticWrk.h"

namespace {

void LoadScript(benchmark::State& state) {
    rultool::EnterToolBuiltins();
    CArticErr::Clear();
    CStringList lines;
    rultool::ToList(rultool::MakeScript(int(state.range(0))), lines);
    CArticWrk wrk;
    CArticRul rul(&wrk);
    CArticLoadMgr loader(&wrk, &rul);
    for (auto _ : state) {
        if (loader.LoadRul(lines) != 0 || rul.GetCount() != state.range(0)) {
            state.SkipWithError("the script does not load");
            break;
        }
    }
    state.counters["lines"] = double(lines.GetCount());
    CArticErr::Delete();
}
BENCHMARK(LoadScript)->Arg(500)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
