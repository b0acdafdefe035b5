#pragma once
// The document-side services behind the host interface: the song lock, the
// walks and reads of tracks, blocks and events, the edits that turn host
// records into document edits, time conversions, client-information queries
// and the port list. Every call of CKPSManager ends in one of these methods.
#include <atomic>

#include "host/MPEvent.h"
#include "host/PluginList.h"
#include "host/Track.h"
#include "platform/Com.h"
#include "platform/Object.h"
#include "platform/ReadWriteLock.h"

class CPhrasorDoc;

// Client-information queries, named by GUID.
constexpr GUID MP_CLIENT_TEMPO = {0x9DD48DD0, 0x9F3F, 0x4E80, {0xBC, 0xB5, 0x44, 0x82, 0xA5, 0xB5, 0x24, 0x0A}};
constexpr GUID MP_CLIENT_METER = {0x9DD48DD1, 0x9F3F, 0x4E80, {0xBC, 0xB5, 0x44, 0x82, 0xA5, 0xB5, 0x24, 0x0A}};
constexpr GUID MP_CLIENT_KEY = {0x9DD48DD2, 0x9F3F, 0x4E80, {0xBC, 0xB5, 0x44, 0x82, 0xA5, 0xB5, 0x24, 0x0A}};
constexpr GUID MP_CLIENT_DD5 = {0x9DD48DD5, 0x9F3F, 0x4E80, {0xBC, 0xB5, 0x44, 0x82, 0xA5, 0xB5, 0x24, 0x0A}};
constexpr GUID MP_CLIENT_DD6 = {0x9DD48DD6, 0x9F3F, 0x4E80, {0xBC, 0xB5, 0x44, 0x82, 0xA5, 0xB5, 0x24, 0x0A}};
constexpr GUID MP_CLIENT_DD7 = {0x9DD48DD7, 0x9F3F, 0x4E80, {0xBC, 0xB5, 0x44, 0x82, 0xA5, 0xB5, 0x24, 0x0A}};
constexpr GUID MP_CLIENT_ZERO_1 = {0x9F896321, 0x6BED, 0x11D5, {0xBB, 0x24, 0x00, 0xB0, 0xD0, 0xD2, 0xCE, 0xA4}};
constexpr GUID MP_CLIENT_ZERO_2 = {0x9F896322, 0x6BED, 0x11D5, {0xBB, 0x24, 0x00, 0xB0, 0xD0, 0xD2, 0xCE, 0xA4}};
constexpr GUID MP_CLIENT_ZERO_3 = {0x210C1F41, 0x8071, 0x11D5, {0xBB, 0x24, 0x00, 0xB0, 0xD0, 0xD2, 0xCE, 0xA4}};
constexpr GUID MP_CLIENT_PORT_CHANNEL = {0x74754761, 0xB2B7, 0x11D5, {0xBB, 0x24, 0x00, 0xB0, 0xD0, 0xD2, 0xCE, 0xA4}};
constexpr GUID MP_CLIENT_F22 = {0xF22745E1, 0xC49C, 0x11D5, {0x92, 0xD4, 0x00, 0xB0, 0xD0, 0xD2, 0xCE, 0xA4}};
constexpr GUID MP_CLIENT_ANY_SIZE = {0x24064801, 0xC573, 0x11D5, {0x92, 0xD4, 0x00, 0xB0, 0xD0, 0xD2, 0xCE, 0xA4}};
constexpr GUID MP_CLIENT_EF7 = {0xEF742C81, 0xEFCD, 0x11D5, {0x92, 0xD4, 0x00, 0xB0, 0xD0, 0xD2, 0xCE, 0xA4}};

// Answers of the tempo, meter, key and port-channel queries.
struct MPTEMPOINFO {
    INT64 Time;      // tick of the tempo entry in effect
    LONG Tempo;      // beats per minute, fraction dropped
    LONG Reserved;   // not written
};
struct MPMETERINFO {
    LONG Measure;           // first measure of the meter entry, from 1
    LONG Numerator;
    LONG DenominatorPower;  // the denominator is 2 to this power
};
struct MPKEYINFO {
    LONG Measure;      // measure in which the key entry starts
    LONG SharpsFlats;  // the key event's byte, 0..255
    LONG Major;        // 1 major, 0 minor
};
struct MPPORTCHANNELINFO {
    LONG Port;         // in
    LONG Channel;      // in
    BYTE Record[16];   // out: the port's record of that channel
};
static_assert(sizeof(MPTEMPOINFO) == 16 && sizeof(MPMETERINFO) == 12 && sizeof(MPKEYINFO) == 12 &&
                  sizeof(MPPORTCHANNELINFO) == 24,
              "client-information answers have fixed sizes");

class CPluginManager : public CObject {
    VX_DECLARE_CLASS(CPluginManager)
public:
    explicit CPluginManager(CPhrasorDoc* doc = nullptr);
    ~CPluginManager() override;  // empties the plug-in list
    CPluginManager(const CPluginManager&) = delete;
    CPluginManager& operator=(const CPluginManager&) = delete;

    CPhrasorDoc* GetDoc() const { return m_pDoc; }
    CPluginList& GetPluginList() { return m_PluginList; }

    // The plug-in list.
    void Serialize(CArchive& ar) override { m_PluginList.Serialize(ar); }

    // ------------------------------------------------------------ song lock
    // Mode 0 shared; mode 1 exclusive, opening an undo step under the name
    // (wide text). Refused with E_FAIL when the calling thread would only wait
    // for itself.
    HRESULT Lock(LONG mode, const char16_t* name);
    // Releases what the calling thread holds, closing the undo step of an
    // exclusive lock first: 0, or MP_S_UNLOCKED for flag 0 after an exclusive
    // lock; E_FAIL when the thread holds nothing.
    HRESULT Unlock(LONG flag);
    // 1 while an exclusive lock is held, 0 otherwise.
    LONG GetMode() const { return m_Mode.load(); }
    bool HoldsExclusiveLock() const;

    // ------------------------------------------------------------ reads and walks
    // The record is an _MPTRACKINFO, _MPBLOCKINFO or tagMPEVENT as the level says.
    HRESULT Get(POSITION* ids, LONG level, void* record, LONG mask);
    HRESULT GetFirst(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask);
    HRESULT GetLast(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask);
    HRESULT GetNext(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask);
    HRESULT GetPrev(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask);

    // ------------------------------------------------------------ edits (exclusive lock only)
    HRESULT Insert(POSITION* ids, LONG level, const void* record);
    HRESULT Modify(POSITION* ids, LONG level, const void* record, DWORD mask);
    HRESULT Remove(LONG level, POSITION* ids);

    // ------------------------------------------------------------ times
    HRESULT GetTimeInfo(LONG selector, DWORD* out);
    HRESULT MeasToTime(LONG measure, LONG beat, LONG tick, INT64* out, DWORD format, DWORD flag);
    HRESULT ConvertTime(INT64 value, DWORD fromFormat, DWORD fromFlag, INT64* out, DWORD toFormat, DWORD toFlag);
    HRESULT TimeToMeas(INT64 time, DWORD format, DWORD flag, LONG* measure, LONG* beat, LONG* tick);

    // ------------------------------------------------------------ client information and ports
    HRESULT GetClientInfo(const GUID& id, INT64 position, INT64* next, DWORD size, void* buffer);
    // which != 0: the document's output ports; 0: the application's input ports.
    HRESULT GetPortInfo(LONG which, MPPORTLIST* list);

private:
    enum class WalkStart { Head, Tail, Next };

    HRESULT Walk(POSITION* ids, LONG level, void* record, POSITION* next, LONG mask, WalkStart start, bool forward);
    HRESULT WalkTracks(POSITION* ids, _MPTRACKINFO* record, POSITION* next, LONG mask, bool forward);
    HRESULT WalkBlocks(POSITION* ids, _MPBLOCKINFO* record, POSITION* next, LONG mask, bool forward);
    HRESULT WalkEvents(POSITION* ids, tagMPEVENT* record, POSITION* next, LONG mask, bool forward);

    // Lookups that check the position belongs to the song.
    CTrack* FindTrack(POSITION track) const;
    CBlock* FindBlock(POSITION track, POSITION block) const;
    // The block whose events a block shows: itself, or for a link block the block it shows.
    const CBlock* EventBlockOf(POSITION track, POSITION block) const;
    // The event at `event` when it is a live event of the block's shown block; null otherwise.
    const CSongEvent* FindEvent(POSITION track, POSITION block, POSITION event) const;

    HRESULT FillTrack(POSITION pos, const CTrack& track, _MPTRACKINFO* out, LONG mask) const;
    HRESULT FillBlock(POSITION pos, const CBlock& block, _MPBLOCKINFO* out, LONG mask) const;
    HRESULT FillEvent(POSITION pos, const CSongEvent& event, tagMPEVENT* out) const;

    HRESULT InsertItem(POSITION* ids, LONG level, const void* record);
    HRESULT ModifyTrack(POSITION* ids, const _MPTRACKINFO& record, DWORD mask);
    HRESULT ModifyBlock(POSITION* ids, const _MPBLOCKINFO& record, DWORD mask);
    HRESULT ModifyEvent(POSITION* ids, const tagMPEVENT& record, DWORD mask);
    HRESULT RemoveItem(LONG level, POSITION* ids);

    HRESULT TempoQuery(INT64 position, INT64* next, MPTEMPOINFO* out) const;
    HRESULT MeterQuery(INT64 position, INT64* next, MPMETERINFO* out) const;
    HRESULT KeyQuery(INT64 position, INT64* next, MPKEYINFO* out) const;
    HRESULT PortChannelQuery(MPPORTCHANNELINFO* inout) const;

    CPhrasorDoc* m_pDoc;       // not owned
    CPluginList m_PluginList;  // always empty
    LONG m_Unused = 0;
    CReadWriteLock m_SongLock;
    std::atomic<LONG> m_Mode{0};
};

// Record conversions between the host records and the document's infos.
// Names cross as wide text and are kept in the system code page.
void WriteTrackRecord(const _MPTRACKINFO& record, DWORD mask, TrackInfo* info);
// E_INVALIDARG for a block starting at the absent time.
HRESULT WriteBlockRecord(const _MPBLOCKINFO& record, DWORD mask, BlockInfo* info);
// The whole event, whatever a mask would say. The info points into the
// record's own buffers (and `clip` for a clip event): the document copies
// them when it stores the event. E_FAIL for a kind outside the lists,
// E_POINTER for variable data the record does not hold.
HRESULT WriteEventRecord(const tagMPEVENT& record, SongEventInfo* info, SongClipData* clip);
