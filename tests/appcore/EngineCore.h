#pragma once
// The engine's own core behind the user interface in tests: the engine's
// program folder (whose Lib/ holds the phrase files) is the source tree's
// data/ while a case runs; what the engine would show in a box goes to the
// debug log, as in the program. Also what the cases read back from a
// converted song.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "app/CoreHolder.h"
#include "app/EngineMessageLog.h"
#include "app/Smf.h"
#include "driver/PhrasorCoreIF.h"
#include "host/PhrasorApp.h"

namespace enginecore {

struct EngineFolder {
    // folder: with its trailing separator.
    explicit EngineFolder(const QByteArray& folder = VEXA_SOURCE_DIR "/data/") {
        InstallEngineMessageLog();
        GetPhrasorApp().OverrideProgramFolder(CString(folder.constData()));
    }
    ~EngineFolder() { GetPhrasorApp().OverrideProgramFolder(CString()); }
    EngineFolder(const EngineFolder&) = delete;
    EngineFolder& operator=(const EngineFolder&) = delete;
};

// The window's holder of the engine's own core.
inline std::shared_ptr<CoreHolder> EngineCoreHolder() { return std::make_shared<CoreHolder>(); }

inline QByteArray CorpusSong(const char* name) {
    QFile f(QStringLiteral(VEXA_CORPUS "/songs/") + QString::fromLatin1(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The velocity zones of the guitar script "01_1" (its articulations).
inline bool InNylonSmoothZone(int velocity) {
    static const int kZones[][2] = {{1, 40}, {61, 70}, {76, 84}, {91, 100}, {106, 115}, {121, 124}};
    return std::any_of(std::begin(kZones), std::end(kZones),
                       [velocity](const int* z) { return velocity >= z[0] && velocity <= z[1]; });
}

// One channel of a song as it reads back: its notes' keys and velocities, and
// the voice it is set to before its first note (-1 where nothing is set).
struct ChannelPlay {
    std::vector<int> keys, velocities;
    int bankMsb = -1, bankLsb = -1, program = -1;
    DWORD firstNote = 0;
    bool kvSystemOnAtZero = false;  // anywhere in the song
};

inline bool ReadChannel(const QByteArray& bytes, int channel, ChannelPlay& play) {
    CSmf smf;
    if (smf.FromByteArray(bytes) != 0) return false;
    struct Timed {
        DWORD time;
        const CEvnt* e;
    };
    std::vector<Timed> events;
    for (const auto& track : smf.GetTracks())
        for (const auto& e : track->GetEvents()) events.push_back({e->GetTime(), e.get()});
    std::stable_sort(events.begin(), events.end(), [](const Timed& a, const Timed& b) { return a.time < b.time; });
    static const std::vector<BYTE> kKvOn = {0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};
    bool noteSeen = false;
    for (const Timed& t : events) {
        const CEvnt& e = *t.e;
        if (e.GetStatus() == SMF_SYSEX && t.time == 0 && e.GetData() == kKvOn) play.kvSystemOnAtZero = true;
        if (!e.IsChannelMessage() || e.GetChannel() != channel) continue;
        if (e.GetStatus() == SMF_NOTE_ON && e.GetData2() > 0) {
            if (!noteSeen) play.firstNote = t.time;
            noteSeen = true;
            play.keys.push_back(e.GetData1());
            play.velocities.push_back(e.GetData2());
        } else if (!noteSeen && e.GetStatus() == SMF_CONTROL && e.GetData1() == 0) {
            play.bankMsb = e.GetData2();
        } else if (!noteSeen && e.GetStatus() == SMF_CONTROL && e.GetData1() == 32) {
            play.bankLsb = e.GetData2();
        } else if (!noteSeen && e.GetStatus() == SMF_PROGRAM) {
            play.program = e.GetData1();
        }
    }
    return true;
}


// The note-ons of one channel: start (ticks of the song's division) and key.
struct TimedKey {
    DWORD time;
    int key;
};

inline bool ReadNotes(const QByteArray& bytes, int channel, WORD& division, std::vector<TimedKey>& notes) {
    CSmf smf;
    if (smf.FromByteArray(bytes) != 0) return false;
    division = smf.GetHead().Division;
    for (const auto& track : smf.GetTracks())
        for (const auto& e : track->GetEvents())
            if (e->IsChannelMessage() && e->GetChannel() == channel && e->GetStatus() == SMF_NOTE_ON && e->GetData2() > 0)
                notes.push_back({e->GetTime(), e->GetData1()});
    return true;
}

// The output's note starts on the channel are those of the input's notes
// whose keys are not in `erased`, in the output's ticks and shifted by the
// same whole bars (0 to 8 of 4/4) for all.
inline ::testing::AssertionResult KeptNotesKeepTheirStarts(const QByteArray& in, const QByteArray& out, int channel,
                                                           const std::set<int>& erased) {
    WORD inDivision = 0, outDivision = 0;
    std::vector<TimedKey> before, after;
    if (!ReadNotes(in, channel, inDivision, before) || !ReadNotes(out, channel, outDivision, after) || !inDivision)
        return ::testing::AssertionFailure() << "a song does not read";
    std::multiset<DWORD> got;
    for (const TimedKey& n : after) got.insert(n.time);
    for (DWORD bars = 0; bars <= 8; ++bars) {
        std::multiset<DWORD> want;
        for (const TimedKey& n : before)
            if (!erased.count(n.key)) want.insert(DWORD(uint64_t(n.time) * outDivision / inDivision) + bars * 4 * outDivision);
        if (want == got) return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << got.size() << " output notes, " << before.size()
                                         << " input notes: the kept starts differ";
}

}  // namespace enginecore
