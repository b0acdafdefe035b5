#pragma once
// Standard MIDI Files built in code, and views of what the reader made of them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "DocFixtures.h"
#include "host/DataManager.h"
#include "host/PhrasorApp.h"
#include "services/PHConvPrm.h"
#include "tests/SmfBuild.h"

namespace smftest {

using smfbuild::Bytes;
using smfbuild::Cat;
using smfbuild::Chunk;
using smfbuild::Header;
using smfbuild::kEot;
using smfbuild::Text;
using smfbuild::U32;

// Format 0 with one track chunk holding `events` and End of Track.
inline Bytes Smf0(const Bytes& events, WORD division = 960) {
    return Cat({Header(0, 1, division), Chunk("MTrk", Cat({events, kEot}))});
}

// Format 1, one chunk per entry, each closed by End of Track.
inline Bytes Smf1(std::initializer_list<Bytes> tracks, WORD division = 960) {
    Bytes out = Header(1, WORD(tracks.size()), division);
    for (const Bytes& t : tracks) out = Cat({out, Chunk("MTrk", Cat({t, kEot}))});
    return out;
}

// A document with its data manager.
struct Loaded {
    CPhrasorDoc doc;
    CDataManager data{&doc};
    SmfLayout layout;

    int Load(const Bytes& bytes) { return data.Load(bytes.data(), DWORD(bytes.size()), &layout); }
    // The saved bytes; empty when Save failed.
    Bytes Save(const CPHConvPrm* prm = nullptr) {
        BYTE* buffer = nullptr;
        DWORD size = 0;
        if (!data.Save(&buffer, &size, prm)) {
            EXPECT_EQ(buffer, nullptr);
            EXPECT_EQ(size, 0u);
            return {};
        }
        Bytes out(buffer, buffer + size);
        std::free(buffer);
        return out;
    }
    int TrackCount() const { return doc.GetTrackList().GetCount(); }
    CTrack* Track(int index) const { return doctest::TrackOf(doc, index); }
    // The events of a track's first block in list order.
    std::vector<SongEventInfo> Events(int track) const {
        std::vector<SongEventInfo> out;
        CBlock* block = doctest::BlockOf(doc, track, 0);
        if (!block) return out;
        for (CSongEvent* e : songtest::EventsOf(*block)) out.push_back(e->GetInfo());
        return out;
    }
};

// While the document is made, the program's output port map holds two usable
// ports (1 and 2, with the given names); it is emptied again afterwards, so
// only the document's own copy knows them.
struct TwoOutputPorts {
    bool portsSet = false;
    bool wasRunning = false;
    explicit TwoOutputPorts(const char* name1 = "", const char* name2 = "") {
        CPhrasorApp& app = GetPhrasorApp();
        wasRunning = app.IsRunning();
        if (app.Start() != 1) return;
        CMidiPortMap* output = app.GetOutputPortMap();
        output->RemoveAll();
        MidiPortInfo port;
        port.PortKind = 1;
        port.Enabled1 = port.Enabled2 = 1;
        port.PortName = name1;
        output->SetPort(1, port);
        port.PortName = name2;
        output->SetPort(2, port);
        portsSet = true;
    }
    void Restore() {
        CPhrasorApp& app = GetPhrasorApp();
        if (portsSet) app.GetOutputPortMap()->RemoveAll();
        if (!wasRunning) app.Stop();
    }
};

struct LoadedWithTwoPorts : TwoOutputPorts, Loaded {
    LoadedWithTwoPorts() { Restore(); }
};

inline Bytes DataOf(const SongEventInfo& info) {
    return info.Bytes ? Bytes(info.Bytes, info.Bytes + info.Length) : Bytes();
}

// A text form of a song's events, for comparing two songs.
inline std::string Describe(const CPhrasorDoc& doc) {
    std::string out;
    int index = 0;
    for (POSITION t = doc.GetTrackList().GetHeadPosition(); t; ++index) {
        const CTrack* track = doc.GetTrackList().GetNext(t);
        out += "track " + std::to_string(index) + " ch " + std::to_string(track->GetInfo().Channel) + " '" +
               track->GetInfo().Name.GetString() + "'\n";
        for (POSITION b = track->GetBlockList().GetHeadPosition(); b;) {
            const CBlock* block = track->GetBlockList().GetNext(b);
            for (CSongEvent* e : songtest::EventsOf(*block)) {
                const SongEventInfo& i = e->GetInfo();
                char line[160];
                std::snprintf(line, sizeof line, "  %lld k%x c%d %d %d %d %d d%d:", (long long)i.Time, unsigned(i.Kind),
                              int(i.Channel), i.Data1, i.Data2, i.Data3, i.Data4, int(i.Duration));
                out += line;
                for (DWORD n = 0; n < i.Length; ++n) {
                    std::snprintf(line, sizeof line, " %02X", i.Bytes[n]);
                    out += line;
                }
                out += "\n";
            }
        }
    }
    return out;
}

}  // namespace smftest
