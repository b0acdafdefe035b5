// AFL++ target for the expression text form: the input's lines up to a line
// "%%TEXT" are an expression dump read with LoadExp over a small work model;
// the lines after it are expression texts handed to the dispatcher, as the
// rule run hands them, into expression track 1, block 0. The expression data
// is then written, read back into fresh data and written again. Built and run
// as the rule-script target is (see RulLoadFuzz.cpp):
//
//   cmake --build build/afl --target fuzz_exp_load
//   AFL_SKIP_CPUFREQ=1 afl-fuzz -i tools/fuzz/exp-seeds -o build/afl/found-exp -x tools/fuzz/exp.dict
//         -V 600 -- build/afl/tools/fuzz_exp_load @@
#include <cstdio>
#include <string>
#include <vector>

#include "driver/ArticErr.h"
#include "engine/expressions/ArticExp.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/rules/ArticRul.h"
#include "engine/work/ArticWrk.h"

namespace {

// A master track with a measure block and one track of six notes.
const char* const kExpModelDump[] = {
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

void RunOne(const unsigned char* data, size_t size) {
    CArticErr::Clear();
    CStringList dump, texts;
    bool inTexts = false;
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        if (i < size && data[i] != '\n') continue;
        std::string line(reinterpret_cast<const char*>(data) + start, i - start);
        start = i + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "%%TEXT") {
            inTexts = true;
            continue;
        }
        (inTexts ? texts : dump).AddTail(CString(line.c_str()));
    }

    CArticWrk wrk;
    CArticRul rul(&wrk);
    CArticExp exp;
    CStringList model;
    for (const char* l : kExpModelDump) model.AddTail(CString(l));
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
    again.Clear();
    exp.Clear();
    wrk.ResetAllEvntPos();  // events of new-note lists belong to no block
    CArticErr::Delete();
}

}  // namespace

int main(int argc, char** argv) {
    FILE* in = argc > 1 ? std::fopen(argv[1], "rb") : stdin;
    if (!in) return 1;
    std::vector<unsigned char> bytes;
    unsigned char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    if (in != stdin) std::fclose(in);
    RunOne(bytes.data(), bytes.size());
    return 0;
}
