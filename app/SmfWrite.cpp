// Writing the song model as SMF bytes.
#include "app/Smf.h"
#include "app/SmfChunkIds.h"
#include "app/SmfCodes.h"
#include "host/SmfBytes.h"

namespace {

int PutSmfChunkId(SmfByteWriter& out, int number) {
    if (number == SMF_CHUNK_UNKNOWN) return SmfFail(1);
    const char* id = SmfChunkText(number);
    if (!id) return SmfFail(2);
    if (!out.PutBytes(reinterpret_cast<const BYTE*>(id), 4)) return SmfFail(3);
    return 0;
}

int PutSmfHeader(SmfByteWriter& out, const CHead& head, size_t trackCount) {
    // The count says how many track chunks follow, whatever the model was told.
    if (trackCount > 0xFFFF) return SmfFail(3);
    const int rc = PutSmfChunkId(out, SMF_CHUNK_HEADER);
    if (SmfFailed(rc)) return SmfWrap(rc, 1);
    if (!out.PutU32BE(6) || !out.PutU16BE(head.Format) || !out.PutU16BE(WORD(trackCount)) ||
        !out.PutU16BE(head.Division))
        return SmfFail(2);
    return 0;
}

bool PutSmfVariable(SmfByteWriter& out, BYTE status, const CEvnt& e) {
    return out.PutByte(status) && (status != SMF_META || out.PutByte(e.GetMetaType())) &&
           out.PutVarLen(e.GetDataLength()) && out.PutBytes(e.GetData().data(), e.GetData().size());
}

// `running` is the status byte that may be left out next, 0 for none.
int PutSmfEvent(SmfByteWriter& out, const CEvnt* e, bool useRunning, BYTE& running) {
    if (!e) return SmfFail(1);
    const BYTE status = e->GetStatus();
    if (status == SMF_META || status == SMF_SYSEX || status == SMF_SYSEX_ESCAPE) {
        running = 0;
        if (!PutSmfVariable(out, status, *e)) return SmfFail(status == SMF_META ? 4 : 5);
        return 0;
    }
    int step = 0;
    int count = 2;
    switch (status) {
    case SMF_NOTE_OFF:
    case SMF_NOTE_ON:
        step = 6;
        break;
    case SMF_KEY_PRESSURE:
    case SMF_CONTROL:
    case SMF_PITCH_BEND:
        step = 7;
        break;
    case SMF_PROGRAM:
    case SMF_CHANNEL_PRESSURE:
        step = 8, count = 1;
        break;
    default:
        return SmfFail(9);
    }
    if (e->GetChannel() > 0x0F) return SmfFail(3);
    const BYTE d1 = e->GetData1();
    const BYTE d2 = count == 2 ? e->GetData2() : 0;
    if ((d1 | d2) & 0x80) return SmfFail(step);
    const BYTE full = BYTE(status | e->GetChannel());
    if (!(useRunning && full == running) && !out.PutByte(full)) return SmfFail(step);
    running = full;
    if (!out.PutByte(d1) || (count == 2 && !out.PutByte(d2))) return SmfFail(step);
    return 0;
}

int PutSmfEvents(SmfByteWriter& out, const CTrk& track, bool useRunning) {
    DWORD previous = 0;
    BYTE running = 0;
    for (const auto& e : track.GetEvents()) {
        if (!e) return SmfWrap(SmfFail(1), 4);
        const DWORD time = e->GetTime();
        if (time < previous) return SmfFail(3);
        // Four bytes hold 28 bits; a longer gap cannot be written.
        if (time - previous > SMF_VARLEN_MAX) return SmfFail(5);
        if (!out.PutVarLen(time - previous)) return SmfFail(2);
        previous = time;
        const int rc = PutSmfEvent(out, e.get(), useRunning, running);
        if (SmfFailed(rc)) return SmfWrap(rc, 4);
    }
    return 0;
}

int PutSmfTrack(SmfByteWriter& out, const CTrk* track, bool useRunning) {
    if (!track) return SmfFail(1);
    int rc = PutSmfChunkId(out, SMF_CHUNK_TRACK);
    if (SmfFailed(rc)) return SmfWrap(rc, 2);
    const size_t lengthAt = out.Size();
    if (!out.PutU32BE(0)) return SmfFail(3);
    rc = PutSmfEvents(out, *track, useRunning);
    if (SmfFailed(rc)) return SmfWrap(rc, 4);
    const size_t length = out.Size() - lengthAt - 4;
    if (length > 0xFFFFFFFFu || !out.PatchU32BE(lengthAt, DWORD(length))) return SmfFail(3);
    return 0;
}

int PutSmfTracks(SmfByteWriter& out, const CSmf::TrackVector& tracks, bool useRunning) {
    if (tracks.empty()) return SmfFail(1);
    for (const auto& track : tracks) {
        const int rc = PutSmfTrack(out, track.get(), useRunning);
        if (SmfFailed(rc)) return SmfWrap(rc, 2);
    }
    return 0;
}

int PutSmfZqChunk(SmfByteWriter& out, int number, const std::vector<BYTE>& body) {
    if (body.size() > 0xFFFFFFFFu) return SmfFail(2);
    const int rc = PutSmfChunkId(out, number);
    if (SmfFailed(rc)) return SmfWrap(rc, 1);
    if (!out.PutU32BE(DWORD(body.size())) || !out.PutBytes(body.data(), body.size())) return SmfFail(2);
    return 0;
}

}  // namespace

int CSmf::Write(SmfByteWriter& out) const {
    int rc = PutSmfHeader(out, m_Head, m_Tracks.size());
    if (SmfFailed(rc)) return SmfWrap(rc, 3);
    rc = PutSmfTracks(out, m_Tracks, m_bRunningStatus);
    if (SmfFailed(rc)) return SmfWrap(rc, 4);
    if (!m_Zqih.empty()) {
        rc = PutSmfZqChunk(out, SMF_CHUNK_ZQIH, m_Zqih);
        if (SmfFailed(rc)) return SmfWrap(rc, 5);
    }
    if (!m_Zqkm.empty()) {
        rc = PutSmfZqChunk(out, SMF_CHUNK_ZQKM, m_Zqkm);
        if (SmfFailed(rc)) return SmfWrap(rc, 6);
    }
    return 0;
}
