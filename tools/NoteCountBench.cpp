// How the song document's SMF writer and the engine's SMF reader and writer
// grow with the number of notes: long notes that all overlap, short notes
// that do not, and (for the engine reader) note-ons whose note-offs never come. Each case
// runs at 5,000, 10,000 and 20,000 notes; the times should grow about
// linearly with the count.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/work/ArticSmf.h"
#include "BenchSave.h"
#include "BenchSmfFile.h"
#include "host/DataManager.h"
#include "host/SmfBytes.h"
#include "platform/File.h"

namespace {

using Bytes = std::vector<BYTE>;

enum class Shape { Long, Short, NoOffs };

constexpr DWORD kStep = 10;  // ticks between note-ons

BYTE KeyOf(int i) { return BYTE(36 + i % 48); }

// A format-0 file at 480 ticks per quarter note with `count` notes of the shape.
Bytes MakeSong(int count, Shape shape) {
    SmfByteWriter track;
    const auto event = [&track](DWORD delta, BYTE status, BYTE key, BYTE velocity) {
        const BYTE bytes[3] = {status, key, velocity};
        track.PutVarLen(delta);
        track.PutBytes(bytes, 3);
    };
    if (shape == Shape::Short) {
        for (int i = 0; i < count; ++i) {
            event(i ? kStep / 2 : 0, 0x90, KeyOf(i), 0x64);
            event(kStep / 2, 0x80, KeyOf(i), 0x40);
        }
    } else {
        for (int i = 0; i < count; ++i) event(i ? kStep : 0, 0x90, KeyOf(i), 0x64);
        if (shape == Shape::Long)
            for (int i = 0; i < count; ++i) event(i ? kStep : 960, 0x80, KeyOf(i), 0x40);
    }
    return OneTrackSmf(track);
}

void SaveNotes(benchmark::State& state, Shape shape) {
    const Bytes song = MakeSong(int(state.range(0)), shape);
    CPhrasorDoc doc;
    CDataManager data(&doc);
    if (!data.Load(song.data(), DWORD(song.size()), nullptr)) {
        state.SkipWithError("the song does not load");
        return;
    }
    for (auto _ : state)
        if (!SaveOnce(data, state)) return;
    state.SetItemsProcessed(INT64(state.iterations()) * state.range(0));
}

void EngineReadNotes(benchmark::State& state, Shape shape) {
    const Bytes song = MakeSong(int(state.range(0)), shape);
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("vexa_bench_notes_" + std::to_string(state.range(0)) + ".mid")).string();
    if (!WriteWholeFile(CString(path), std::string(song.begin(), song.end()))) {
        state.SkipWithError("cannot write the temporary file");
        return;
    }
    for (auto _ : state) {
        CArticSmf smf;
        CFile file;
        if (!file.Open(CString(path), CFile::modeRead) || !smf.LoadSmf(&file)) {
            state.SkipWithError("the file does not load");
            break;
        }
        benchmark::DoNotOptimize(smf.GetEvntListPtr(1));
    }
    CFile::Remove(CString(path));
    state.SetItemsProcessed(INT64(state.iterations()) * state.range(0));
}

// The engine's writer on the notes the engine reader made of the song.
void EngineWriteNotes(benchmark::State& state, Shape shape) {
    const Bytes song = MakeSong(int(state.range(0)), shape);
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("vexa_bench_write_" + std::to_string(state.range(0)) + ".mid")).string();
    CArticSmf smf;
    CFile in;
    if (!WriteWholeFile(CString(path), std::string(song.begin(), song.end())) ||
        !in.Open(CString(path), CFile::modeRead) || !smf.LoadSmf(&in)) {
        state.SkipWithError("the song does not load");
        return;
    }
    in.Close();
    for (auto _ : state) {
        CFile out;
        if (!out.Open(CString(path), CFile::modeWrite | CFile::modeCreate) ||
            !smf.SaveSmf(&out, smf.GetEvntListPtr(1))) {
            state.SkipWithError("the notes do not save");
            break;
        }
    }
    CFile::Remove(CString(path));
    state.SetItemsProcessed(INT64(state.iterations()) * state.range(0));
}

void NoteCounts(benchmark::internal::Benchmark* b) {
    b->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK_CAPTURE(SaveNotes, LongOverlapping, Shape::Long)->Apply(NoteCounts);
BENCHMARK_CAPTURE(SaveNotes, Short, Shape::Short)->Apply(NoteCounts);
BENCHMARK_CAPTURE(EngineReadNotes, LongOverlapping, Shape::Long)->Apply(NoteCounts);
BENCHMARK_CAPTURE(EngineReadNotes, Short, Shape::Short)->Apply(NoteCounts);
BENCHMARK_CAPTURE(EngineReadNotes, WithoutNoteOffs, Shape::NoOffs)->Apply(NoteCounts);
BENCHMARK_CAPTURE(EngineWriteNotes, LongOverlapping, Shape::Long)->Apply(NoteCounts);
BENCHMARK_CAPTURE(EngineWriteNotes, Short, Shape::Short)->Apply(NoteCounts);

BENCHMARK_MAIN();
