// AFL++ target for the expression text form: the input's lines up to a line
// "%%TEXT" are an expression dump read with LoadExp over a small work model;
// the lines after it are expression texts handed to the dispatcher, as the
// rule run hands them, into expression track 1, block 0. The expression data
// is then written, read back into fresh data and written again. Built and run
// as the rule-script target is, in AFL++'s persistent mode with afl-g++ and
// a replay loop otherwise (see RulLoadFuzz.cpp):
//
//   cmake --build build/afl --target fuzz_exp_load
//   AFL_SKIP_CPUFREQ=1 afl-fuzz -i tools/fuzz/exp-seeds -o build/afl/found-exp -x tools/fuzz/exp.dict
//         -V 600 -- build/afl/tools/fuzz_exp_load @@   (ASAN_OPTIONS and UBSAN_OPTIONS as there)
#include <string>

#include "AflInput.h"
#include "services/ArticErr.h"
#include "engine/expressions/ArticExp.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/work/ArticWrk.h"

namespace {

unsigned long long RunOne(const unsigned char* data, size_t size) {
    CArticErr::Clear();
    CStringList dump, texts;
    bool inTexts = false;
    afltool::ForEachLine(data, size, [&](const std::string& line) {
        if (line == "%%TEXT") {
            inTexts = true;
            return;
        }
        (inTexts ? texts : dump).AddTail(CString(line.c_str()));
    });

    CArticWrk wrk;
    CArticRul rul(&wrk);
    CArticExp exp;
    CStringList model;
    afltool::AddModelDump(model);
    CArticLoadMgr loader(&wrk, &exp, &rul, nullptr, nullptr, nullptr);
    loader.LoadWrk(model);
    loader.LoadExp(dump);

    CStringList heads;
    heads.AddTail(CString("TRK:1"));
    heads.AddTail(CString("BLK:0"));
    if (exp.GetCount() == 0) loader.LoadExp(heads);
    CArticExpTrk* trk = exp.Get(ULONG(1));
    CArticExpBlk* blk = trk ? trk->Get(ULONG(0)) : nullptr;
    ULONG no = 0;
    for (POSITION p = texts.GetHeadPosition(); p;) {
        CExString text(texts.GetNext(p));
        text.EraseBlankOutDQ();
        loader.LoadExpEvnt(text, no++, trk, blk);
    }

    CStringList written;
    exp.GetStrList(written);
    CArticExp again;
    CArticLoadMgr reader(&wrk, &again, &rul, nullptr, nullptr, nullptr);
    reader.LoadExp(written);
    CStringList rewritten;
    again.GetStrList(rewritten);
    afltool::Digest digest;
    digest.Add(written);
    digest.Add(rewritten);
    again.Clear();
    exp.Clear();
    wrk.ResetAllEvntPos();  // events of new-note lists belong to no block
    CArticErr::Delete();
    return digest.value;
}

}  // namespace

int main(int argc, char** argv) { return afltool::RunInputs(argc, argv, RunOne); }
