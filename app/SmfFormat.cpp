// Conversion between the save formats: SMF format 0, SMF format 1 (one track
// per channel) and ZQ (format 0 with the two ZQ chunks).
#include <algorithm>
#include <new>

#include "app/Smf.h"
#include "app/SmfCodes.h"

namespace {

// The body the ZQ chunks of a converted song get: delta 0, end of track.
const BYTE kMinimalZqBody[4] = {0x00, 0xFF, 0x2F, 0x00};

// Copies `events` (already in the order wanted for equal times) into
// `track`, sorted by time; 0x80000001 when a copy cannot be made.
int FillSortedCopies(CTrk& track, std::vector<const CEvnt*>& events) {
    std::stable_sort(events.begin(), events.end(),
                     [](const CEvnt* a, const CEvnt* b) { return a->GetTime() < b->GetTime(); });
    for (const CEvnt* source : events) {
        std::unique_ptr<CEvnt> copy(new (std::nothrow) CEvnt);
        if (!copy) return SmfFail(1);
        const int rc = copy->CopyFrom(source);
        if (SmfFailed(rc)) return SmfWrap(rc, 2);
        track.Append(std::move(copy));
    }
    return 0;
}

}  // namespace

int CSmf::ConvertFormat(int current, int wanted) {
    const auto step = [](int rc, int n) { return SmfFailed(rc) ? SmfWrap(rc, n) : 0; };
    int rc = 0;
    switch (current * 4 + wanted) {
        case 0 * 4 + 0:
        case 1 * 4 + 1:
        case 3 * 4 + 3:  // a ZQ song keeps its own ZQ chunks
            return 0;
        case 0 * 4 + 1:
            if ((rc = step(SplitByChannel(), 2))) return rc;
            return step(SetFormat(1), 3);
        case 0 * 4 + 3:
            return step(MakeZqChunks(), 4);
        case 1 * 4 + 0:
            if ((rc = step(MergeTracks(), 5))) return rc;
            return step(SetFormat(0), 6);
        case 1 * 4 + 3:
            if ((rc = step(MergeTracks(), 7))) return rc;
            if ((rc = step(MakeZqChunks(), 8))) return rc;
            return step(SetFormat(0), 9);
        case 3 * 4 + 0:
            return step(ClearZqChunks(), 10);
        case 3 * 4 + 1:
            if ((rc = step(SplitByChannel(), 11))) return rc;
            if ((rc = step(ClearZqChunks(), 12))) return rc;
            return step(SetFormat(1), 13);
        default:
            return SmfFail(1);
    }
}

int CSmf::MergeTracks() {
    if (m_Tracks.empty()) return SmfFail(1);
    std::unique_ptr<CTrk> merged(new (std::nothrow) CTrk);
    if (!merged) return SmfFail(2);
    // Tracks in order, each in list order, then a stable sort: equal times
    // keep track order, then list order.
    int rc = 0;
    try {
        std::vector<const CEvnt*> events;
        for (const auto& track : m_Tracks)
            if (track)
                for (const auto& e : track->GetEvents()) events.push_back(e.get());
        rc = FillSortedCopies(*merged, events);
    } catch (const std::bad_alloc&) {
        rc = SmfFail(1);
    }
    if (SmfFailed(rc)) return SmfWrap(rc, 3);
    // The old tracks go only once the new one is complete: a failure leaves
    // the song as it was.
    rc = merged->RebuildEndOfTrack();
    if (SmfFailed(rc)) return SmfWrap(rc, 4);
    m_Tracks.clear();
    m_Tracks.push_back(std::move(merged));
    return 0;
}

int CSmf::SplitByChannel() {
    TrackVector split;
    int rc = 0;
    try {
        std::vector<const CEvnt*> byChannel[16];
        for (const auto& track : m_Tracks)
            if (track)
                for (const auto& e : track->GetEvents()) byChannel[e->GetChannel() & 0x0F].push_back(e.get());
        for (auto& events : byChannel) {
            if (events.empty()) continue;
            std::unique_ptr<CTrk> track(new (std::nothrow) CTrk);
            if (!track) return SmfFail(1);
            if (SmfFailed(rc = FillSortedCopies(*track, events))) return SmfWrap(rc, 2);
            split.push_back(std::move(track));
        }
    } catch (const std::bad_alloc&) {
        return SmfFail(1);
    }
    // No end of track is added: the old ones went to the first track, and
    // reading the written bytes gives every other track its own.
    m_Tracks.swap(split);
    return 0;
}

int CSmf::MakeZqChunks() {
    m_Zqih.assign(kMinimalZqBody, kMinimalZqBody + 4);
    m_Zqkm.assign(kMinimalZqBody, kMinimalZqBody + 4);
    return 0;
}

int CSmf::ClearZqChunks() {
    m_Zqih.clear();
    m_Zqkm.clear();
    return 0;
}
