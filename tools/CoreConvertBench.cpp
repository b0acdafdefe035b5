// End-to-end conversion through the engine's core, one benchmark per song of
// the test corpus: every channel with notes converted in turn, each on the
// previous result, with a one-set octave shift (the phrase files are read
// from the source tree's data/Lib).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "BenchCorpus.h"
#include "CoreWorker.h"
#include "driver/PhrasorCoreIF.h"
#include "host/Block.h"
#include "host/DataManager.h"
#include "host/PhrasorApp.h"
#include "host/PhrasorDoc.h"
#include "host/SongEvent.h"
#include "host/Track.h"

namespace {

// The MIDI channels that hold a note, read from the song document.
std::vector<int> ChannelsWithNotes(const std::vector<BYTE>& bytes) {
    CPhrasorDoc doc;
    CDataManager data(&doc);
    bool used[16] = {};
    if (data.Load(bytes.data(), DWORD(bytes.size()), nullptr)) {
        for (POSITION t = doc.GetTrackList().GetHeadPosition(); t;) {
            CTrack* track = doc.GetTrackList().GetNext(t);
            const LONG channel = track->GetInfo().Channel;
            if (track->GetInfo().Number == 0 || channel < 0 || channel >= 16) continue;
            for (POSITION b = track->GetBlockList().GetHeadPosition(); b;) {
                CBlock* block = track->GetBlockList().GetNext(b);
                for (POSITION e = block->GetEventList().GetHeadPosition(); e;) {
                    if (block->GetEventList().GetNext(e)->GetInfo().Kind == MPEVENT_KIND_NOTE) used[channel] = true;
                }
            }
        }
    }
    std::vector<int> channels;
    for (int ch = 0; ch < 16; ++ch)
        if (used[ch]) channels.push_back(ch);
    return channels;
}

void ConvertSong(benchmark::State& state, std::vector<BYTE> song) {
    static int module;
    CPhrasorCoreIF* core = CreatePhrasorCore(&module);
    if (!core) {
        state.SkipWithError("no core");
        return;
    }
    const std::vector<int> channels = ChannelsWithNotes(song);
    core->CreateProc();
    core->CreateDoc();
    core->SetResolution(480);
    std::vector<BYTE> bytes;
    for (auto _ : state) {
        bytes = song;
        for (int ch : channels) {
            BYTE* data = bytes.data();
            DWORD size = DWORD(bytes.size());
            const int result = coretool::ConvertUp12(*core, ch, &data, &size);
            if (result != 1) {
                state.SkipWithError(result < 0 ? "no parameters"
                                               : ("channel " + std::to_string(ch) + " does not convert").c_str());
                break;
            }
            bytes.assign(data, data + size);
        }
    }
    state.counters["channels"] = double(channels.size());
    state.SetBytesProcessed(INT64(state.iterations()) * INT64(song.size()));
    core->DeleteProc();
    core->DeleteDoc();
    DeletePhrasorCore(core);
}

}  // namespace

int main(int argc, char** argv) {
    GetPhrasorApp().OverrideProgramFolder(CString(VEXA_SOURCE_DIR "/data/"));
    return RunSongBenchmarks(argc, argv, "Convert", ConvertSong, benchmark::kMillisecond);
}
