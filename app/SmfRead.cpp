// Reading SMF bytes into the song model.
#include <algorithm>
#include <new>

#include "app/Smf.h"
#include "app/SmfChunkIds.h"
#include "app/SmfCodes.h"
#include "host/SmfBytes.h"

namespace {

// The inner code of a number or byte that could not be read because the data
// ended (or, for a variable-length number, ran on past four bytes).
constexpr int kSmfShortRead = SmfFail(2);

constexpr UINT64 kSmfLastTime = 0xFFFFFFFFu;

// Reads the events of one track chunk. The events are bounded by the whole
// byte vector, not by the chunk: a last event that runs past the chunk's
// length is read and then reported.
class SmfTrackReader {
public:
    SmfTrackReader(SmfByteReader& in, size_t length, CTrk& track) : m_In(in), m_Length(length), m_Track(track) {}

    int Read() {
        if (m_Length == 0) return SmfFail(2);
        int result = ReadEvents();
        if (m_In.Offset() > m_Length) result |= SmfFail(11);
        if (SmfFailed(result) || !m_bEndOfTrack) result = AppendEndOfTrack(result);
        m_Track.SortByTime();
        return result;
    }

private:
    int ReadEvents() {
        while (m_In.Offset() < m_Length) {
            DWORD delta = 0;
            if (!m_In.ReadVarLen(delta)) return SmfWrap(kSmfShortRead, 3);
            if (m_Time + delta > kSmfLastTime) return SmfFail(3);
            m_Time += delta;
            BYTE status = 0;
            if (!m_In.ReadByte(status)) return SmfWrap(kSmfShortRead, 4);
            if (status == SMF_SYSEX || status == SMF_SYSEX_ESCAPE) {
                const int rc = ReadSysex(status);
                if (SmfFailed(rc)) return SmfWrap(rc, 6);
                continue;  // running status survives exclusive and meta events
            }
            if (status == SMF_META) {
                const int rc = ReadMeta();
                if (SmfFailed(rc)) return SmfWrap(rc, 5);
                continue;
            }
            int pending = -1;  // a data byte read where a status byte may stand
            if (status & 0x80) {
                m_Running = status;
            } else {
                if (!m_Running) return SmfFail(10);
                pending = status;
                status = m_Running;
            }
            int rc = 0;
            int step = 0;
            switch (status & 0xF0) {
            case SMF_NOTE_OFF:
            case SMF_NOTE_ON:
                rc = ReadChannel(status, 2, pending), step = 7;
                break;
            case SMF_KEY_PRESSURE:
            case SMF_CONTROL:
            case SMF_PITCH_BEND:
                rc = ReadChannel(status, 2, pending), step = 8;
                break;
            case SMF_PROGRAM:
            case SMF_CHANNEL_PRESSURE:
                rc = ReadChannel(status, 1, pending), step = 9;
                break;
            default:
                return SmfFail(10);
            }
            if (SmfFailed(rc)) return SmfWrap(rc, step);
        }
        return 0;
    }

    std::unique_ptr<CEvnt> NewEvent(BYTE status) const {
        std::unique_ptr<CEvnt> e(new (std::nothrow) CEvnt);
        if (e) {
            e->SetStatus(status);
            e->SetTime(DWORD(m_Time));
        }
        return e;
    }

    int ReadSysex(BYTE status) {
        DWORD length = 0;
        if (!m_In.ReadVarLen(length)) return SmfFail(2);
        const BYTE* data = nullptr;
        if (!m_In.ReadSpan(length, data)) return SmfFail(3);
        std::unique_ptr<CEvnt> e = NewEvent(status);
        if (!e) return SmfFail(6);
        int rc = e->SetData(data, length);
        if (SmfFailed(rc)) return SmfWrap(rc, 4);
        rc = m_Track.Append(std::move(e));
        return SmfFailed(rc) ? SmfWrap(rc, 5) : 0;
    }

    int ReadMeta() {
        // Only an end of track with nothing after it in the chunk ends the
        // track; one in the middle is dropped and the events after it kept.
        const bool last = m_In.Offset() <= m_Length && m_Length - m_In.Offset() == 2;
        BYTE type = 0;
        if (!m_In.ReadByte(type)) return SmfFail(2);
        DWORD length = 0;
        if (!m_In.ReadVarLen(length)) return SmfFail(3);
        const BYTE* data = nullptr;
        if (!m_In.ReadSpan(length, data)) return SmfFail(4);
        if (type == SMF_META_END_OF_TRACK) {
            if (!last) return 0;
            m_bEndOfTrack = true;
        }
        std::unique_ptr<CEvnt> e = NewEvent(SMF_META);
        if (!e) return SmfFail(7);
        e->SetMetaType(type);
        int rc = e->SetData(data, length);
        if (SmfFailed(rc)) return SmfWrap(rc, 5);
        rc = m_Track.Append(std::move(e));
        return SmfFailed(rc) ? SmfWrap(rc, 6) : 0;
    }

    // `pending` is the first data byte when running status brought it in
    // place of a status byte, else -1.
    int ReadChannel(BYTE status, int count, int pending) {
        BYTE data[2] = {0, 0};
        int have = 0;
        if (pending >= 0) data[have++] = BYTE(pending);
        for (; have < count; ++have)
            if (!m_In.ReadByte(data[have])) return SmfFail(2);
        // A byte with its top bit set is a status, never data: keeping it
        // would write back a different message.
        if ((data[0] | data[1]) & 0x80) return SmfFail(6);
        std::unique_ptr<CEvnt> e = NewEvent(BYTE(status & 0xF0));
        if (!e) return SmfFail(5);
        e->SetChannel(BYTE(status & 0x0F));
        e->SetDataBytes(data[0], data[1]);
        const int rc = m_Track.Append(std::move(e));
        return SmfFailed(rc) ? SmfWrap(rc, 4) : 0;
    }

    // A track that failed or did not end with an end-of-track event gets one
    // at the time reached. A failure here folds into what failed before.
    int AppendEndOfTrack(int result) {
        auto fold = [result](int step) {
            return int((uint32_t(result) << 4) | uint32_t(result) | uint32_t(SmfFail(step)));
        };
        std::unique_ptr<CEvnt> e = NewEvent(SMF_META);
        if (!e) return fold(14);
        e->SetMetaType(SMF_META_END_OF_TRACK);
        if (SmfFailed(e->SetData(nullptr, 0))) return fold(12);
        if (SmfFailed(m_Track.Append(std::move(e)))) return fold(13);
        return result;
    }

    SmfByteReader& m_In;
    size_t m_Length;
    CTrk& m_Track;
    UINT64 m_Time = 0;
    BYTE m_Running = 0;  // 0: none yet
    bool m_bEndOfTrack = false;
};

int ReadSmfHeader(SmfByteReader& in, CHead& head) {
    DWORD length = 0;
    if (!in.ReadU32BE(length)) return SmfFail(2);
    if (length != 6 || in.Left() < 6) return SmfFail(3);
    CHead read;
    in.ReadU16BE(read.Format);
    in.ReadU16BE(read.TrackCount);
    in.ReadU16BE(read.Division);
    // Every time conversion divides by it.
    if (read.Division == 0) return SmfFail(4);
    head = read;
    return 0;
}

// The track is added to the song before its events are read, so a failed
// read leaves what it read in the song.
int ReadSmfTrack(const BYTE* data, size_t size, SmfByteReader& in, CSmf::TrackVector& tracks) {
    std::unique_ptr<CTrk> created(new (std::nothrow) CTrk);
    if (!created) return SmfFail(2);
    CTrk& track = *created;
    tracks.push_back(std::move(created));
    DWORD length = 0;
    if (!in.ReadU32BE(length)) return SmfFail(4);
    SmfByteReader events(data + in.Offset(), size - in.Offset());
    const int rc = SmfTrackReader(events, length, track).Read();
    // Past the chunk, or to the end of the data when the length runs past it
    // (the events have then failed).
    in.Skip(std::min<size_t>(length, in.Left()));
    return SmfFailed(rc) ? SmfWrap(rc, 5) : 0;
}

int ReadSmfZqBody(SmfByteReader& in, std::vector<BYTE>& body) {
    DWORD length = 0;
    if (!in.ReadU32BE(length)) return SmfFail(2);
    const BYTE* data = nullptr;
    if (!in.ReadSpan(length, data)) return SmfFail(3);
    body.assign(data, data + length);
    return 0;
}

int SkipSmfChunk(SmfByteReader& in) {
    DWORD length = 0;
    if (!in.ReadU32BE(length)) return SmfFail(2);
    if (!in.Skip(length)) return SmfFail(3);
    return 0;
}

}  // namespace

int CSmf::Parse(const BYTE* data, size_t size) {
    if (!data || size == 0) return SmfFail(1);
    m_Tracks.clear();
    SmfByteReader in(data, size);
    while (!in.AtEnd()) {
        const BYTE* id = nullptr;
        if (!in.ReadSpan(4, id)) return SmfWrap(kSmfShortRead, 5);
        const int number = SmfChunkNumber(id);
        int rc = 0;
        int step = 0;
        switch (number) {
        case SMF_CHUNK_HEADER:  // a later header replaces an earlier one
            rc = ReadSmfHeader(in, m_Head), step = 6;
            break;
        case SMF_CHUNK_TRACK:
            rc = ReadSmfTrack(data, size, in, m_Tracks), step = 7;
            break;
        case SMF_CHUNK_ZQIH:
            rc = ReadSmfZqBody(in, m_Zqih), step = 10;
            break;
        case SMF_CHUNK_ZQKM:
            rc = ReadSmfZqBody(in, m_Zqkm), step = 11;
            break;
        default:
            rc = SkipSmfChunk(in), step = number == SMF_CHUNK_UNKNOWN ? 8 : 9;
            break;
        }
        if (SmfFailed(rc)) return SmfWrap(rc, step);
    }
    return 0;
}
