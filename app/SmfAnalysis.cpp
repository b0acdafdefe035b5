#include "app/SmfAnalysis.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "app/Smf.h"
#include "app/SmfCodes.h"
#include "data/ChannelFacts.h"
#include "data/VoiceAddressTable.h"

const BYTE kKvSystemOnData[8] = {0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};

const int kBeatResolutionTicks[kBeatResolutionCount] = {80,  120, 180, 160,  240,  360,  320, 480,
                                                        720, 640, 960, 1440, 1280, 1920, 2880};

int BeatResolutionTicks(int index) {
    if (index < 0 || index >= kBeatResolutionCount) return kDefaultBeatResolution;
    return kBeatResolutionTicks[index];
}

int BeatResolutionIndex(int ticks) {
    for (int i = 0; i < kBeatResolutionCount; ++i)
        if (kBeatResolutionTicks[i] == ticks) return i;
    return -1;
}

namespace {

// The KV header: 43 1n 4C.
bool HasKvHeader(const std::vector<BYTE>& d) {
    return d.size() >= 3 && d[0] == 0x43 && (d[1] & 0xF0) == 0x10 && d[2] == 0x4C;
}

// 43 1n 4C 08 pp pa vv: a part parameter of one of the sixteen parts.
bool IsKvPartParam(const std::vector<BYTE>& d, BYTE param) {
    return d.size() >= 7 && HasKvHeader(d) && d[3] == 0x08 && d[4] < 16 && d[5] == param;
}

constexpr BYTE kKvParamBankMsb = 0x01;
constexpr BYTE kKvParamBankLsb = 0x02;
constexpr BYTE kKvParamProgram = 0x03;
constexpr BYTE kKvParamRcvChannel = 0x04;
constexpr BYTE kKvParamPartMode = 0x07;

constexpr BYTE kCtrlBankMsb = 0;
constexpr BYTE kCtrlDataEntry = 6;
constexpr BYTE kCtrlBankLsb = 32;
constexpr BYTE kCtrlNrpnLsb = 98;
constexpr BYTE kCtrlNrpnMsb = 99;
constexpr BYTE kCtrlRpnLsb = 100;
constexpr BYTE kCtrlRpnMsb = 101;
constexpr BYTE kNoParam = 127;

bool IsExclusiveWithData(const CEvnt& e) { return e.GetStatus() == SMF_SYSEX && e.GetDataLength() > 0; }

// Meta types that belong to the song's set-up rather than to its music.
bool IsSetupMetaType(BYTE type) {
    static const BYTE kSetupTypes[] = {0x01, 0x02, 0x03, 0x04, 0x06, 0x07, 0x2F, 0x51, 0x54, 0x58, 0x59, 0x7F};
    return std::find(std::begin(kSetupTypes), std::end(kSetupTypes), type) != std::end(kSetupTypes);
}

bool NoteSetHas(const DrumNoteSet& set, int note) {
    return note >= 0 && note < 128 && (set.words[note / 32] >> (note % 32) & 1u) != 0;
}

// Deletes `e` through its track; the inner code wrapped with `step`.
int DeleteFromTrack(CTrk& track, const CEvnt* e, int step) {
    const int rc = track.RemoveEvent(e);
    return SmfFailed(rc) ? SmfWrap(rc, step) : 0;
}

}  // namespace

bool IsKvSystemOn(const std::vector<BYTE>& d) {
    return d.size() >= 7 && HasKvHeader(d) && d[3] == 0x00 && d[4] == 0x00 && d[5] == 0x7E && d[6] == 0x00;
}
bool IsKvPartBankMsb(const std::vector<BYTE>& d) { return IsKvPartParam(d, kKvParamBankMsb); }
bool IsKvPartBankLsb(const std::vector<BYTE>& d) { return IsKvPartParam(d, kKvParamBankLsb); }
bool IsKvPartProgram(const std::vector<BYTE>& d) { return IsKvPartParam(d, kKvParamProgram); }
bool IsKvPartRcvChannel(const std::vector<BYTE>& d) { return IsKvPartParam(d, kKvParamRcvChannel); }
bool IsKvPartMode(const std::vector<BYTE>& d) { return IsKvPartParam(d, kKvParamPartMode); }

bool IsKvDrumSetupParam(const std::vector<BYTE>& d) { return d.size() >= 7 && HasKvHeader(d) && (d[3] & 0xF0) == 0x30; }

bool IsGsReset(const std::vector<BYTE>& d) {
    static const BYTE tail[] = {0x12, 0x40, 0x00, 0x7F, 0x00, 0x41};
    return d.size() >= 9 && d[0] == 0x41 && d[2] == 0x42 && std::equal(tail, tail + 6, d.begin() + 3);
}

bool IsGsModeSet(const std::vector<BYTE>& d) {
    static const BYTE tail[] = {0x12, 0x00, 0x00, 0x7F};
    return d.size() >= 9 && d[0] == 0x41 && d[2] == 0x42 && std::equal(tail, tail + 4, d.begin() + 3);
}

bool IsGmSystemMessage(const std::vector<BYTE>& d) { return d.size() >= 4 && d[0] == 0x7E && d[2] == 0x09; }

bool IsDrumNoteNrpn(BYTE msb, BYTE lsb) {
    if (lsb == kNoParam) return false;
    return (msb >= 20 && msb <= 26) || (msb >= 28 && msb <= 31) || msb == 36 || msb == 37 || (msb >= 48 && msb <= 55) ||
           msb == 64 || msb == 65;
}

namespace {

// Appends what `make` gives for every event with from <= time <= to, track
// by track, and sorts what was appended by time, stably.
template <typename List, typename Make, typename TimeOf>
int GatherByTime(const CSmf::TrackVector& tracks, List& out, DWORD from, DWORD to, Make make, TimeOf timeOf) {
    try {
        const size_t first = out.size();
        for (const auto& track : tracks) {
            if (!track) continue;
            for (const auto& e : track->GetEvents())
                if (e->GetTime() >= from && e->GetTime() <= to) out.push_back(make(track.get(), e.get()));
        }
        std::stable_sort(out.begin() + first, out.end(),
                         [&](const auto& a, const auto& b) { return timeOf(a) < timeOf(b); });
    } catch (const std::bad_alloc&) {
        return SmfFail(1);
    }
    return 0;
}

}  // namespace

int CSmf::CollectEvents(EventRefs& out, DWORD from, DWORD to) {
    return GatherByTime(
        m_Tracks, out, from, to, [](CTrk*, CEvnt* e) { return e; }, [](const CEvnt* e) { return e->GetTime(); });
}

int CSmf::CollectTrackEvents(TrackEventRefs& out, DWORD from, DWORD to) {
    return GatherByTime(
        m_Tracks, out, from, to, [](CTrk* t, CEvnt* e) { return std::make_pair(t, e); },
        [](const std::pair<CTrk*, CEvnt*>& p) { return p.second->GetTime(); });
}

int CSmf::CollectSongFacts(SongFacts& facts) {
    facts = SongFacts();
    facts.division = m_Head.Division;
    for (const auto& track : m_Tracks) {
        if (!track) continue;
        for (const auto& ep : track->GetEvents()) {
            const CEvnt& e = *ep;
            const DWORD time = e.GetTime();
            bool counts = true;
            if (e.GetStatus() == SMF_META) {
                const std::vector<BYTE>& d = e.GetData();
                if (time == 0 && e.GetMetaType() == 0x51) {
                    if (d.size() != 3) return SmfFail(6);
                    const DWORD tempo = DWORD(d[0]) << 16 | DWORD(d[1]) << 8 | d[2];
                    facts.tempo = tempo ? tempo : 200000;
                } else if (time == 0 && e.GetMetaType() == 0x58) {
                    if (d.size() != 4) return SmfFail(9);
                    facts.numerator = d[0];
                    facts.denominatorPower = d[1];
                }
                counts = !IsSetupMetaType(e.GetMetaType());
            } else if (e.GetStatus() == SMF_NOTE_ON) {
                facts.firstNoteTime = std::min(facts.firstNoteTime, time);
            } else if (IsExclusiveWithData(e) && IsKvSystemOn(e.GetData())) {
                facts.kvSystemOnTime = time;
                facts.kvSystemOnFound = true;
                counts = false;
            }
            if (counts) facts.firstEventTime = std::min(facts.firstEventTime, time);
        }
    }
    return 0;
}

int CSmf::DetectResets(DWORD firstNoteTime, bool& foreignReset, bool& gsFound, bool& gmFound) {
    foreignReset = gsFound = gmFound = false;
    EventRefs events;
    const int rc = CollectEvents(events, 0, 0xFFFFFFFF);
    if (SmfFailed(rc)) return SmfWrap(SmfWrap(rc, 1), 1);
    for (const CEvnt* e : events) {
        if (!IsExclusiveWithData(*e)) continue;
        const std::vector<BYTE>& d = e->GetData();
        if (IsKvSystemOn(d)) {
            if (e->GetTime() < firstNoteTime) foreignReset = false;
        } else if (IsGsReset(d) || IsGsModeSet(d)) {
            gsFound = foreignReset = true;
        } else if (IsGmSystemMessage(d)) {
            gmFound = foreignReset = true;
        }
    }
    return 0;
}

int CSmf::RemoveResets(int flags) {
    TrackEventRefs events;
    int rc = CollectTrackEvents(events, 0, 0xFFFFFFFF);
    if (SmfFailed(rc)) return SmfWrap(SmfWrap(rc, 1), 1);
    for (const auto& [track, e] : events) {
        bool drop = false;
        if (IsExclusiveWithData(*e)) {
            const std::vector<BYTE>& d = e->GetData();
            if (IsGsReset(d) || IsGsModeSet(d))
                drop = (flags & 2) != 0;
            else if (IsGmSystemMessage(d))
                drop = (flags & 1) != 0;
        } else if (e->GetStatus() == SMF_CONTROL && (e->GetData1() == kCtrlBankMsb || e->GetData1() == kCtrlBankLsb)) {
            drop = (flags & 4) != 0;
        }
        if (drop && SmfFailed(rc = DeleteFromTrack(*track, e, 2))) return SmfWrap(rc, 1);
    }
    return 0;
}

int CSmf::AnalyseChannel(int channel, ChannelFacts& facts) {
    if (channel < 0 || channel > 15) return SmfFail(1);
    using F = ChannelFacts;
    facts[F::kBankMsb] = channel == 9 ? 127 : 0;
    facts[F::kBankLsb] = 0;
    facts[F::kProgram] = 0;
    facts[F::kSeveralVoices] = 0;
    facts[F::kNoNotes] = 1;
    facts[F::kVexaVoice] = 0;
    facts[F::kBelow36] = 0;
    facts[F::kBelow24] = 0;
    BYTE ctrlMsb = facts[F::kBankMsb], ctrlLsb = 0;
    BYTE kvMsb = facts[F::kBankMsb], kvLsb = 0;
    BYTE partChannel[16];
    for (int p = 0; p < 16; ++p) partChannel[p] = BYTE(p);
    int altered = 0;

    const auto voiceChange = [&](BYTE msb, BYTE lsb, BYTE program) {
        if (msb == facts[F::kBankMsb] && lsb == facts[F::kBankLsb] && program == facts[F::kProgram]) return;
        if (facts[F::kNoNotes]) {
            facts[F::kBankMsb] = msb;
            facts[F::kBankLsb] = lsb;
            facts[F::kProgram] = program;
        }
        altered = 1;
        if (!facts[F::kNoNotes]) facts[F::kSeveralVoices] = 1;
        if (facts[F::kBankMsb] == 8) facts[F::kVexaVoice] = 1;
    };

    EventRefs events;
    const int rc = CollectEvents(events, 0, 0xFFFFFFFF);
    if (SmfFailed(rc)) return SmfWrap(SmfWrap(rc, 1), 1);
    for (const CEvnt* e : events) {
        if (IsExclusiveWithData(*e)) {
            const std::vector<BYTE>& d = e->GetData();
            const bool ours = d.size() >= 7 && d[4] < 16 && partChannel[d[4]] == channel;
            if (IsKvPartBankMsb(d)) {
                if (ours) kvMsb = d[6];
            } else if (IsKvPartBankLsb(d)) {
                if (ours) kvLsb = d[6];
            } else if (IsKvPartProgram(d)) {
                if (ours) voiceChange(kvMsb, kvLsb, d[6]);
            } else if (IsKvPartRcvChannel(d)) {
                partChannel[d[4]] = d[6];
            } else if (IsKvPartMode(d)) {
                if (ours) {
                    facts[F::kPartMode] = d[6];
                    if (!facts[F::kNoNotes]) facts[F::kSeveralVoices] = 1;
                }
            }
            continue;
        }
        if (!e->IsChannelMessage() || e->GetChannel() != channel) continue;
        switch (e->GetStatus()) {
            case SMF_NOTE_ON:
                facts[F::kNoNotes] = 0;
                if (e->GetData1() < 36) facts[F::kBelow36] = 1;
                if (e->GetData1() < 24) facts[F::kBelow24] = 1;
                break;
            case SMF_CONTROL:
                if (e->GetData1() == kCtrlBankMsb) ctrlMsb = e->GetData2();
                if (e->GetData1() == kCtrlBankLsb) ctrlLsb = e->GetData2();
                break;
            case SMF_PROGRAM:
                voiceChange(ctrlMsb, ctrlLsb, e->GetData1());
                break;
            default:
                break;
        }
    }
    return altered;
}

int CSmf::EstimateBeatResolution(const bool channelFlags[16], int& ticks) {
    ticks = kDefaultBeatResolution;
    if (!channelFlags) return SmfFail(1);
    // A division of 0 never comes from a file (the reader refuses it); a
    // song built in code counts as 960 here, as the head rule does.
    const double scale = 960.0 / (m_Head.Division ? m_Head.Division : 960);
    // The note times at 960 per quarter note, taken once: a time of up to
    // 32 bits times at most 960 always fits in 64.
    std::vector<UINT64> times;
    for (const auto& track : m_Tracks) {
        if (!track) continue;
        for (const auto& e : track->GetEvents())
            if (e->GetStatus() == SMF_NOTE_ON && e->GetData2() != 0 && e->GetChannel() < 16 &&
                channelFlags[e->GetChannel()])
                times.push_back(UINT64(double(e->GetTime()) * scale));
    }
    DWORD best = 0;
    for (int grid : kBeatResolutionTicks) {
        const UINT64 g = UINT64(grid);
        const UINT64 w = UINT64(grid * 0.21 + 0.5);
        DWORD count = 0;
        for (UINT64 t : times) {
            const UINT64 r = t % g;
            if (r <= w || r >= g - w) ++count;
        }
        if (count != 0 && count >= best) {
            best = count;
            ticks = grid;
        }
    }
    return 0;
}

int CSmf::CollectDeletedDrumNotes(int channel, const DrumNoteSet& notes, DrumNoteSet& found) {
    if (channel < 0 || channel > 15) return SmfFail(1);
    for (const auto& track : m_Tracks) {
        if (!track) continue;
        for (const auto& e : track->GetEvents()) {
            if (e->GetStatus() != SMF_NOTE_ON || e->GetChannel() != channel) continue;
            const int key = e->GetData1();
            if (NoteSetHas(notes, key)) found.words[key / 32] |= 1u << (key % 32);
        }
    }
    return 0;
}

int CSmf::RemoveDrumSetupEdits(int channel, int partMode) {
    if (channel < 0 || channel > 15) return SmfFail(1);
    TrackEventRefs events;
    int rc = CollectTrackEvents(events, 0, 0xFFFFFFFF);
    if (SmfFailed(rc)) return SmfWrap(rc, 2);
    BYTE nrpnMsb = kNoParam, nrpnLsb = kNoParam;
    // A select waiting to learn whether a drum-note data entry follows it.
    using Pending = std::pair<CTrk*, CEvnt*>;
    Pending pendingMsb{nullptr, nullptr}, pendingLsb{nullptr, nullptr};
    const auto dropPending = [&](Pending& p) {
        int r = 0;
        if (p.second) r = DeleteFromTrack(*p.first, p.second, 4);
        p = {nullptr, nullptr};
        return r;
    };

    for (const auto& [track, e] : events) {
        if (IsExclusiveWithData(*e)) {
            const std::vector<BYTE>& d = e->GetData();
            if (IsKvDrumSetupParam(d) && int(d[3] & 0x0F) == partMode - 2 &&
                SmfFailed(rc = DeleteFromTrack(*track, e, 3)))
                return rc;
            continue;
        }
        if (e->GetStatus() != SMF_CONTROL || e->GetChannel() != channel) continue;
        const BYTE value = e->GetData2();
        switch (e->GetData1()) {
            case kCtrlDataEntry:
                if (IsDrumNoteNrpn(nrpnMsb, nrpnLsb)) {
                    if (SmfFailed(rc = DeleteFromTrack(*track, e, 3))) return rc;
                } else {
                    pendingMsb = pendingLsb = {nullptr, nullptr};
                }
                break;
            case kCtrlNrpnLsb:
                nrpnLsb = value;
                if (SmfFailed(rc = dropPending(pendingLsb))) return rc;
                if (value != kNoParam) pendingLsb = {track, e};
                break;
            case kCtrlNrpnMsb:
                nrpnMsb = value;
                if (SmfFailed(rc = dropPending(pendingMsb))) return rc;
                if (IsDrumNoteNrpn(value, 0)) pendingMsb = {track, e};
                break;
            case kCtrlRpnLsb:
            case kCtrlRpnMsb:
                nrpnMsb = nrpnLsb = kNoParam;
                if (SmfFailed(rc = dropPending(pendingMsb)) || SmfFailed(rc = dropPending(pendingLsb))) return rc;
                break;
            default:
                break;
        }
    }
    if (SmfFailed(rc = dropPending(pendingMsb)) || SmfFailed(rc = dropPending(pendingLsb))) return rc;
    return 0;
}
