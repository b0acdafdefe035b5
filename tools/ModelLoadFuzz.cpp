// libFuzzer target: any bytes through the model-file reader. A file the
// reader accepts stores and loads back to the same model. Counts are checked
// against the bytes left before anything is made, so no allocation outgrows
// the input: -malloc_limit_mb makes one that does a finding.
//
//   cmake -S . -B build/fuzz -G Ninja -DVEXA_BUILD_APP=OFF -DVEXA_BUILD_TESTS=OFF -DVEXA_FUZZ=ON \
//         -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
//   cmake --build build/fuzz --target fuzz_model_load
//   mkdir -p build/fuzz/found-models
//   build/fuzz/tools/fuzz_model_load build/fuzz/found-models data/models -malloc_limit_mb=16 \
//         -max_len=65536 -max_total_time=600
#include "data/AlgorithmTable.h"
#include "data/ArticModel.h"
#include "data/VoiceAddressTable.h"

namespace {

bool FillTables() {
    return InitDrumNoteSets() == 0 && InitAlgorithmTable() == 0 && InitVoiceAddressTable() == 0;
}

// The program's worth of the same comparisons the catalogue makes on a model.
void Query(const CArticModel& model) {
    (void)model.GetGeneration();
    (void)model.HasDrumKit();
    (void)model.FindProgramName(8, 0, 0);
    (void)model.FindProConv(0, 0, 24);
    (void)model.FindDrumVoiceName(127, 0, 0, 22);
}

bool SameModel(const CArticModel& a, const CArticModel& b) {
    if (a.m_Name != b.m_Name || a.m_Picture != b.m_Picture) return false;
    for (UINT v = 0; v < UINT(kVoiceCount); ++v) {
        if (a.HasVoice(v) != b.HasVoice(v)) return false;
    }
    const size_t names = a.m_pProgramNames ? a.m_pProgramNames->size() : 0;
    const size_t convs = a.m_pProConvs ? a.m_pProConvs->size() : 0;
    const size_t drums = a.m_pDrumVoiceNames ? a.m_pDrumVoiceNames->size() : 0;
    return names == (b.m_pProgramNames ? b.m_pProgramNames->size() : 0) &&
           convs == (b.m_pProConvs ? b.m_pProConvs->size() : 0) &&
           drums == (b.m_pDrumVoiceNames ? b.m_pDrumVoiceNames->size() : 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    static const bool filled = FillTables();
    if (!filled) __builtin_trap();
    CArticModel model;
    const bool loaded = model.Load(bytes, size);
    Query(model);
    if (!loaded) return 0;
    CArchive ar;
    model.Store(ar);
    if (ar.IsFailed()) __builtin_trap();
    CArticModel again;
    if (!again.Load(ar.GetBuffer().data(), ar.GetBuffer().size())) __builtin_trap();
    if (!SameModel(model, again)) __builtin_trap();
    return 0;
}
