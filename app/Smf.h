#pragma once
// The user interface's own model of a Standard MIDI File: a header, the
// tracks in file order and the bodies of the two ZQ chunks. It reads songs
// tolerantly (the header anywhere, running status across meta and exclusive
// events, unknown chunks skipped) but refuses what it cannot hold, and it
// never reads outside the bytes it was given. Results follow SmfCodes.h.
#include <memory>
#include <vector>

#include "app/SmfTrk.h"
#include "platform/Types.h"

class QByteArray;
class SmfByteWriter;

class CChunkBase {
public:
    virtual ~CChunkBase() = default;
};

// The header chunk.
struct CHead {
    WORD Format = 0;
    WORD TrackCount = 0;
    WORD Division = 480;  // ticks per quarter note
};

// Save formats GetFormat reports besides the header's 0, 1 and 2.
constexpr int SMF_FORMAT_ZQ = 3;

class CSmf : public CChunkBase {
public:
    using TrackVector = std::vector<std::unique_ptr<CTrk>>;

    CSmf() = default;
    ~CSmf() override = default;
    CSmf(const CSmf&) = delete;
    CSmf& operator=(const CSmf&) = delete;

    // Deletes the tracks, empties the ZQ bodies and resets the header to
    // format 0, no tracks, division 480.
    int Clear();
    // Replaces the model with the song of `bytes`. On failure the model
    // keeps what was read before the failing chunk; the caller treats the
    // song as not loaded.
    int FromByteArray(const QByteArray& bytes);
    // Writes the model as SMF bytes into `out`, replacing its contents; a
    // failed write leaves `out` as it was. The header's track count is the
    // number of track chunks written.
    int ToByteArray(QByteArray& out) const;

    // The save format: the header's format when it is not 0; for format 0,
    // 3 (ZQ) when the song has ZQ data, else 0. A song with only a "ZQKM"
    // body gets it as its "ZQIH" body too.
    int GetFormat(int& format);
    // Sets the header's format and counts the tracks.
    int SetFormat(int format);

    CHead& GetHead() { return m_Head; }
    const CHead& GetHead() const { return m_Head; }
    TrackVector& GetTracks() { return m_Tracks; }
    const TrackVector& GetTracks() const { return m_Tracks; }
    std::vector<BYTE>& GetZqihBody() { return m_Zqih; }
    const std::vector<BYTE>& GetZqihBody() const { return m_Zqih; }
    std::vector<BYTE>& GetZqkmBody() { return m_Zqkm; }
    const std::vector<BYTE>& GetZqkmBody() const { return m_Zqkm; }
    bool UsesRunningStatus() const { return m_bRunningStatus; }

protected:
    // Called last by Clear; a negative result fails Clear.
    virtual int OnClear() { return 0; }

private:
    // The byte-vector level of FromByteArray and ToByteArray.
    int Parse(const BYTE* data, size_t size);
    int Write(SmfByteWriter& out) const;

    CHead m_Head;
    TrackVector m_Tracks;
    std::vector<BYTE> m_Zqih;
    std::vector<BYTE> m_Zqkm;
    bool m_bRunningStatus = true;
};
