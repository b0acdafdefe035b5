// Whole-song conversions through the engine's core, as the program's worker
// runs them (one core, a driver and a document per run, every channel in turn
// on the previous channel's result):
//
//   Empty/<song>        every channel of a corpus song that holds notes, with
//                       the one-line script ";Empty";
//   Recommended/<song>  every channel with notes that the program can
//                       convert, each with its recommended target's embedded
//                       script and parameters (the target its row shows when
//                       the model recommends none), on the preferred model,
//                       the song prepared as the window prepares an opened song;
//   Notes/<script>/<n>  a generated song of n notes on 8 channels, converted
//                       with ";Empty" or with the recommended scripts; each
//                       run is made in a child process, which reports its time
//                       and its peak resident memory ("peak_MB"), how much of
//                       it the run added ("grown_MB") and the processor time
//                       it used ("child_cpu_s", which a busy machine does not
//                       inflate as it does the time).
//
// With "--digest [text]" first, nothing is timed: each line printed names a
// conversion and a digest of the song it wrote (the corpus songs on ";Empty"
// and on their recommended scripts, the generated song of 10,000 notes both
// ways, and every embedded script on every channel of three corpus songs),
// so that two builds can be shown to write the same bytes (only the names
// holding the text when one is given; with
// VEXA_DIGEST_DIR set, the songs are written into that folder too).
//
// The phrase files and the model files are read from the source tree.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchCorpus.h"
#include "BenchSmfFile.h"
#include "app/ConvertThread.h"
#include "app/Smf.h"
#include "app/SmfAnalysis.h"
#include "app/VexaChSelector.h"
#include "data/AlgorithmScript.h"
#include "data/AlgorithmTable.h"
#include "data/ChannelFacts.h"
#include "data/VoiceAddressTable.h"
#include "driver/PhrasorCoreIF.h"
#include "host/PhrasorApp.h"
#include "host/SmfBytes.h"
#include "platform/Random.h"
#include "services/PHConvPrm.h"

namespace {

using Bytes = std::vector<BYTE>;

const char kPreferredModel[] = "Brune2";
constexpr int kBeatTicks = 480;  // the beat resolution of every run

// One channel to convert: its parameters and its script.
struct ChannelJob {
    int channel = 0;
    BYTE bankMsb = 8, bankLsb = 0, program = 25;
    int row = -1;  // the target row; -1: ";Empty" on a guitar target
    bool option = false;
};

struct SongJob {
    Bytes bytes;  // the song as the worker is handed it
    std::vector<ChannelJob> channels;
    std::string error;  // why the song cannot be converted
};

QByteArray ToQt(const Bytes& bytes) { return QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size())); }

Bytes FromQt(const QByteArray& bytes) {
    return Bytes(reinterpret_cast<const BYTE*>(bytes.constData()),
                 reinterpret_cast<const BYTE*>(bytes.constData()) + bytes.size());
}

// The song as the window prepares an opened song (the head checked and
// rewritten, reset messages of other standards removed), analysed channel by
// channel; `selector` then holds the channels' recommendations.
bool PrepareSong(const Bytes& input, CVexaChSelector& selector, Bytes* prepared, std::vector<ChannelFacts>* facts,
                 std::string* error) {
    CSmf smf;
    if (smf.FromByteArray(ToQt(input)) < 0) return *error = "the song model does not read the song", false;
    SongFacts song;
    if (smf.CollectSongFacts(song) < 0) return *error = "no song facts", false;
    bool foreign = false, gs = false, gm = false;
    if (smf.DetectResets(song.firstNoteTime, foreign, gs, gm) < 0) return *error = "the reset check fails", false;
    const int mask = ((gs || gm) ? 3 : 0) + (foreign ? 4 : 0);
    if (mask != 0 && smf.RemoveResets(mask) < 0) return *error = "the resets do not go", false;
    if (smf.PrepareHead(song) < 0) return *error = "the song head is refused", false;
    selector.ResetChannels();
    facts->assign(16, ChannelFacts());
    for (int ch = 0; ch < 16; ++ch) {
        (*facts)[size_t(ch)].Reset(ch);
        if (smf.AnalyseChannel(ch, (*facts)[size_t(ch)]) < 0) return *error = "a channel does not analyse", false;
        if (selector.SetChannelInfo(BYTE(ch), (*facts)[size_t(ch)]) < 0) return *error = "no channel object", false;
    }
    QByteArray out;
    if (smf.ToByteArray(out) < 0) return *error = "the prepared song does not write", false;
    *prepared = FromQt(out);
    return true;
}

// The model files of the source tree, the preferred model selected.
CVexaChSelector& Selector() {
    static CVexaChSelector* selector = [] {
        InitDrumNoteSets();
        InitAlgorithmTable();
        InitVoiceAddressTable();
        auto* s = new CVexaChSelector();
        if (s->LoadModels(QString::fromUtf8(VEXA_SOURCE_DIR "/data/models/")) < 0 ||
            s->SetModel(QString::fromLatin1(kPreferredModel)) < 0)
            std::fprintf(stderr, "the model files do not load\n");
        return s;
    }();
    return *selector;
}

// Every channel with a note, on ";Empty".
SongJob EmptyJob(const Bytes& song) {
    SongJob job;
    std::vector<ChannelFacts> facts;
    if (!PrepareSong(song, Selector(), &job.bytes, &facts, &job.error)) return job;
    for (int ch = 0; ch < 16; ++ch) {
        if (facts[size_t(ch)][ChannelFacts::kNoNotes]) continue;
        ChannelJob c;
        c.channel = ch;
        job.channels.push_back(c);
    }
    return job;
}

// The channels the program switches on, with their recommended targets.
SongJob RecommendedJob(const Bytes& song) {
    SongJob job;
    std::vector<ChannelFacts> facts;
    CVexaChSelector& selector = Selector();
    if (!PrepareSong(song, selector, &job.bytes, &facts, &job.error)) return job;
    for (int ch = 0; ch < 16; ++ch) {
        if (facts[size_t(ch)][ChannelFacts::kNoNotes]) continue;
        // A channel the program leaves off (no recommendation for its voice,
        // or a warning to read first) is switched on as the user would: with
        // the target its row shows.
        selector.SetChannelOn(BYTE(ch), true);
        bool on = false;
        ChannelJob c;
        c.channel = ch;
        if (selector.IsChannelOn(BYTE(ch), &on) < 0 || !on ||
            selector.GetTarget(BYTE(ch), &c.bankMsb, &c.bankLsb, &c.program, &c.row, &c.option) < 0)
            continue;
        if (ConvertThread::GetAlgorithmId(c.row).IsEmpty()) continue;
        job.channels.push_back(c);
    }
    return job;
}

// One channel's Convert as the worker makes it; false when it fails.
bool ConvertChannel(CPhrasorCoreIF& core, const ChannelJob& job, Bytes& bytes) {
    CPHConvPrm* prm = core.GetConvPrm();
    if (!prm) return false;
    prm->Resolution = kBeatTicks;
    prm->Channel = BYTE(job.channel);
    prm->Flag1 = 1;
    prm->BankMsb = job.bankMsb;
    prm->BankLsb = job.bankLsb;
    prm->Program = job.program;
    prm->PbCtrl = job.option ? 1 : 0;
    core.ClearScriptLines();
    if (job.row < 0) {
        prm->Kind = 0;
        prm->Flag2 = 1;
        static const char kEmpty[] = ";Empty";
        core.AddScriptLine(kEmpty, LONG(sizeof kEmpty));
    } else {
        ConvertThread::SetRecordType(job.row, prm);
        const AlgorithmScriptLibrary library;
        const AlgorithmScript* script = library.Find(ConvertThread::GetAlgorithmId(job.row));
        if (!script) return false;
        script->HandOver([&core](const char* line, int length) { core.AddScriptLine(line, LONG(length)); });
    }
    BYTE* data = bytes.data();
    DWORD size = DWORD(bytes.size());
    if (core.Convert(&data, &size) != 1) return false;
    bytes.assign(data, data + size);
    return true;
}

// A whole run: begin, every channel, end. False when a channel fails.
bool ConvertSong(CPhrasorCoreIF& core, const SongJob& job, Bytes* out, std::string* error) {
    core.CreateProc();
    core.CreateDoc();
    // After the core's start, which seeds the draws from the clock.
    SeedRandom(1);
    core.SetResolution(kBeatTicks);
    Bytes bytes = job.bytes;
    bool ok = true;
    for (const ChannelJob& c : job.channels) {
        if (!ConvertChannel(core, c, bytes)) {
            *error = "channel " + std::to_string(c.channel + 1) + " does not convert";
            ok = false;
            break;
        }
    }
    core.DeleteProc();
    core.DeleteDoc();
    if (out) *out = std::move(bytes);
    return ok;
}

CPhrasorCoreIF* Core() {
    static int module;
    static CPhrasorCoreIF* core = CreatePhrasorCore(&module);
    return core;
}

void RunSong(benchmark::State& state, const SongJob& job) {
    if (!job.error.empty()) {
        state.SkipWithError(job.error.c_str());
        return;
    }
    CPhrasorCoreIF* core = Core();
    if (!core) {
        state.SkipWithError("no core");
        return;
    }
    std::string error;
    for (auto _ : state) {
        Bytes out;
        if (!ConvertSong(*core, job, &out, &error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["channels"] = double(job.channels.size());
}

void EmptySong(benchmark::State& state, Bytes song) { RunSong(state, EmptyJob(song)); }
void RecommendedSong(benchmark::State& state, Bytes song) { RunSong(state, RecommendedJob(song)); }

// --- the generated songs ---

constexpr int kGeneratedChannels[8] = {0, 1, 2, 3, 4, 5, 6, 7};
constexpr BYTE kGeneratedPrograms[8] = {25, 33, 48, 56, 65, 0, 26, 27};  // guitars, bass, strings, brass, sax, piano
constexpr DWORD kNoteStep = 120;  // ticks between the note-ons of one channel (480 per quarter)

// A format-0 song at 480 ticks per quarter note: n notes shared out over 8
// channels, each a line of short notes with a rest now and then, the channels
// sounding together; each channel starts with its program change.
Bytes MakeGeneratedSong(int notes) {
    SmfByteWriter track;
    DWORD last = 0;
    const auto event = [&](DWORD time, std::initializer_list<BYTE> bytes) {
        track.PutVarLen(INT64(time - last));
        for (BYTE b : bytes) track.PutByte(b);
        last = time;
    };
    const BYTE tempo[] = {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
    track.PutVarLen(0);
    track.PutBytes(tempo, sizeof tempo);
    for (int c = 0; c < 8; ++c) event(0, {BYTE(0xC0 | kGeneratedChannels[c]), kGeneratedPrograms[c]});
    const int perChannel = (notes + 7) / 8;
    int written = 0;
    for (int step = 0; written < notes; ++step) {
        const DWORD on = kNoteStep + DWORD(step) * kNoteStep;
        // The note-offs of the previous step come first, at this step's time.
        for (int c = 0; c < 8; ++c) {
            const int i = step - 1;
            if (i < 0 || i >= perChannel || (i % 7) == 6) continue;
            event(on - 10, {BYTE(0x80 | kGeneratedChannels[c]), BYTE(40 + (i * 5 + c * 3) % 36), 0x40});
        }
        for (int c = 0; c < 8 && written < notes; ++c) {
            if (step >= perChannel || (step % 7) == 6) continue;  // a rest
            event(on, {BYTE(0x90 | kGeneratedChannels[c]), BYTE(40 + (step * 5 + c * 3) % 36),
                       BYTE(60 + (step * 11 + c) % 60)});
            ++written;
        }
        if (step > perChannel * 2) break;
    }
    const DWORD end = kNoteStep * DWORD(perChannel * 2 + 4);
    for (int c = 0; c < 8; ++c) event(end, {BYTE(0xB0 | kGeneratedChannels[c]), 123, 0});
    return OneTrackSmf(track);
}

long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct ChildRun {
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time of the child
    long peakKb = 0;
    long startKb = 0;
    int ok = 0;
};

// One conversion in a child process: its time, its peak resident memory and
// the resident memory it started with.
bool RunInChild(const SongJob& job, ChildRun* run, std::string* error) {
    int pipes[2];
    if (pipe(pipes) != 0) return *error = "no pipe", false;
    const pid_t pid = fork();
    if (pid < 0) return *error = "no child process", false;
    if (pid == 0) {
        close(pipes[0]);
        ChildRun r;
        r.startKb = ResidentKb();
        std::string childError;
        const auto start = std::chrono::steady_clock::now();
        r.ok = Core() && ConvertSong(*Core(), job, nullptr, &childError) ? 1 : 0;
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        r.peakKb = usage.ru_maxrss;
        r.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        const ssize_t written = write(pipes[1], &r, sizeof r);
        _exit(written == ssize_t(sizeof r) ? 0 : 1);
    }
    close(pipes[1]);
    const ssize_t got = read(pipes[0], run, sizeof *run);
    close(pipes[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (got != ssize_t(sizeof *run)) return *error = "the child process ended without a report", false;
    if (!run->ok) return *error = "the song does not convert", false;
    return true;
}

void GeneratedSong(benchmark::State& state, bool recommended) {
    const Bytes song = MakeGeneratedSong(int(state.range(0)));
    const SongJob job = recommended ? RecommendedJob(song) : EmptyJob(song);
    if (!job.error.empty()) {
        state.SkipWithError(job.error.c_str());
        return;
    }
    ChildRun worst;
    std::string error;
    for (auto _ : state) {
        ChildRun run;
        if (!RunInChild(job, &run, &error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        state.SetIterationTime(run.seconds);
        if (run.peakKb > worst.peakKb) worst = run;
    }
    state.counters["channels"] = double(job.channels.size());
    state.counters["notes"] = double(state.range(0));
    state.counters["peak_MB"] = double(worst.peakKb) / 1024.0;
    state.counters["child_cpu_s"] = worst.cpuSeconds;
    state.counters["grown_MB"] = double(worst.peakKb - worst.startKb) / 1024.0;
}

// FNV-1a of the bytes.
unsigned long long Digest(const Bytes& bytes) {
    unsigned long long h = 1469598103934665603ULL;
    for (BYTE b : bytes) h = (h ^ b) * 1099511628211ULL;
    return h;
}

// Only the conversions whose names hold this text (all when empty).
std::string g_digestFilter;

void PrintDigest(const std::string& name, const SongJob& job) {
    if (name.find(g_digestFilter) == std::string::npos) return;
    std::string error = job.error;
    Bytes out;
    if (error.empty() && !(Core() && ConvertSong(*Core(), job, &out, &error)) && error.empty()) error = "no core";
    if (!error.empty())
        std::printf("%s error: %s\n", name.c_str(), error.c_str());
    else
        std::printf("%s %016llx %zu\n", name.c_str(), Digest(out), out.size());
    // With VEXA_DIGEST_DIR set, each output is also written there.
    if (const char* dir = std::getenv("VEXA_DIGEST_DIR")) {
        std::string file = name;
        std::replace(file.begin(), file.end(), '/', '_');
        std::ofstream(std::string(dir) + "/" + file, std::ios::binary)
            .write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    }
    std::fflush(stdout);
}

int PrintDigests() {
    for (const auto& file : BenchSongFiles()) {
        const Bytes song = ReadBenchFile(file);
        PrintDigest("Empty/" + file.filename().string(), EmptyJob(song));
        PrintDigest("Recommended/" + file.filename().string(), RecommendedJob(song));
    }
    const Bytes generated = MakeGeneratedSong(10000);
    PrintDigest("Notes/Empty/10000", EmptyJob(generated));
    PrintDigest("Notes/Recommended/10000", RecommendedJob(generated));
    // Every script once, on every channel with notes of three songs.
    std::vector<std::string> seen;
    for (int row = 0; row < kAlgorithmRowCount; ++row) {
        const CString id = ConvertThread::GetAlgorithmId(row);
        if (id.IsEmpty()) continue;
        const std::string name(id.GetString());
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
        seen.push_back(name);
        for (const char* songName : {"bach_format0.mid", "beat.mid", "pitchBendTest.mid"}) {
            SongJob job = EmptyJob(ReadBenchFile(BenchSongFolder() / songName));
            for (ChannelJob& c : job.channels) c.row = row;
            PrintDigest("Script/" + name + "/" + songName, job);
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    GetPhrasorApp().OverrideProgramFolder(CString(VEXA_SOURCE_DIR "/data/"));
    if (argc > 1 && std::strcmp(argv[1], "--digest") == 0) {
        if (argc > 2) g_digestFilter = argv[2];
        return PrintDigests();
    }
    for (const char* script : {"Empty", "Recommended"}) {
        const bool recommended = script[0] == 'R';
        benchmark::RegisterBenchmark((std::string("Notes/") + script).c_str(),
                                     [recommended](benchmark::State& state) { GeneratedSong(state, recommended); })
            ->Arg(10000)
            ->Arg(50000)
            ->Arg(200000)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
    // The corpus songs: registered after the generated ones, run by the shared main.
    for (const auto& file : BenchSongFiles())
        benchmark::RegisterBenchmark(("Recommended/" + file.filename().string()).c_str(), RecommendedSong,
                                     ReadBenchFile(file))
            ->Unit(benchmark::kMillisecond);
    return RunSongBenchmarks(argc, argv, "Empty", EmptySong, benchmark::kMillisecond);
}
