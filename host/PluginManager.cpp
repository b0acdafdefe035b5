// The song lock, the time conversions, the client-information queries and
// the port list of the host services. Reads, walks and edits are in
// PluginManagerItems.cpp.
#include "host/PluginManager.h"

#include <cstddef>
#include <cstring>
#include <new>
#include <string>

#include "host/PhrasorApp.h"
#include "host/PhrasorDoc.h"
#include "platform/Memory.h"
#include "platform/Text.h"

VX_IMPLEMENT_CLASS(CPluginManager, CObject);

namespace {

constexpr DWORD SONG_RESOLUTION = DWORD(SONG_TICKS_PER_QUARTER);
constexpr LONG TIME_INFO_RESOLUTION = 2;
constexpr LONG DEFAULT_BPM = 120;
constexpr LONG MICROSECONDS_PER_MINUTE = 60000000;
constexpr DWORD PORT_LIST_MASK = 3;  // ports whose kind has bit 0 or bit 1

// Buffers of the client-information queries come from the caller unaligned.
template <class T>
T ReadAt(const void* buffer, size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const BYTE*>(buffer) + offset, sizeof value);
    return value;
}

template <class T>
void WriteAt(void* buffer, size_t offset, T value) {
    std::memcpy(static_cast<BYTE*>(buffer) + offset, &value, sizeof value);
}

char16_t* TaskWideCopy(const CString& text) {
    std::u16string wide;
    try {
        wide = Cp932ToUtf16(text);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    auto* out = static_cast<char16_t*>(CoTaskMemAlloc((wide.size() + 1) * sizeof(char16_t)));
    if (!out) return nullptr;
    std::memcpy(out, wide.data(), wide.size() * sizeof(char16_t));
    out[wide.size()] = 0;
    return out;
}

void FreePortList(MPPORTINFO* ports, DWORD count) {
    if (!ports) return;
    for (DWORD i = 0; i < count; ++i) CoTaskMemFree(ports[i].Name);
    CoTaskMemFree(ports);
}

}  // namespace

CPluginManager::CPluginManager(CPhrasorDoc* doc) : m_pDoc(doc) {}

CPluginManager::~CPluginManager() { m_PluginList.RemoveAllPlugins(); }

// ------------------------------------------------------------ song lock

bool CPluginManager::HoldsExclusiveLock() const {
    return m_SongLock.HeldByThisThread() == CReadWriteLock::Held::Exclusive;
}

HRESULT CPluginManager::Lock(LONG mode, const char16_t* name) {
    if (!m_pDoc) return E_FAIL;
    if (mode == 0) {
        if (!m_SongLock.LockShared()) return E_FAIL;
        m_Mode = 0;
        return S_OK;
    }
    if (mode != 1) return E_INVALIDARG;
    if (!name) return E_POINTER;
    CString stepName;
    try {
        stepName = Utf16ToCp932(std::u16string(name));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (!m_SongLock.LockExclusive()) return E_FAIL;
    if (!m_pDoc->BeginUndoStep(stepName)) {
        m_SongLock.Unlock();
        return E_FAIL;
    }
    m_Mode = 1;
    return S_OK;
}

HRESULT CPluginManager::Unlock(LONG flag) {
    if (!m_pDoc) return E_FAIL;
    switch (m_SongLock.HeldByThisThread()) {
        case CReadWriteLock::Held::None:
            return E_FAIL;
        case CReadWriteLock::Held::Shared:
            m_SongLock.Unlock();
            return S_OK;
        case CReadWriteLock::Held::Exclusive:
            break;
    }
    // The step closes while the song is still ours; after it, no edit is accepted.
    if (m_pDoc->GetUndoDepth() > 0) m_pDoc->EndUndoStep();
    m_Mode = 0;
    m_SongLock.Unlock();
    return flag ? S_OK : MP_S_UNLOCKED;
}

// ------------------------------------------------------------ times

HRESULT CPluginManager::GetTimeInfo(LONG selector, DWORD* out) {
    if (selector != TIME_INFO_RESOLUTION) return MP_E_TIMEINFO;
    if (!out) return E_INVALIDARG;
    *out = SONG_RESOLUTION;
    return S_OK;
}

HRESULT CPluginManager::MeasToTime(LONG measure, LONG beat, LONG tick, INT64* out, DWORD format, DWORD flag) {
    if (!out) return E_INVALIDARG;
    if (flag != 0) return MP_E_TIMEFLAG;
    if (!m_pDoc) return E_FAIL;
    INT64 time = m_pDoc->GetMeterMap().MeasToTime(measure, beat, tick);
    if (format == MPTIME_FORMAT_CLOCK) time = m_pDoc->TicksToClock(time);
    *out = time;
    return S_OK;
}

HRESULT CPluginManager::ConvertTime(INT64 value, DWORD fromFormat, DWORD fromFlag, INT64* out, DWORD toFormat,
                                    DWORD toFlag) {
    if (!out) return E_INVALIDARG;
    if (fromFormat == toFormat && fromFlag == toFlag) {
        *out = value;
        return S_OK;
    }
    if (fromFlag >= 2 || toFlag >= 2 || fromFormat == MPTIME_FORMAT_REFUSED || toFormat == MPTIME_FORMAT_REFUSED)
        return MP_E_TIMEFORMAT;
    if (fromFlag == 1 || toFlag == 1) return MP_E_TIMEFLAG;
    if (!m_pDoc) return E_FAIL;
    // Whole 64-bit values: the absent time (the largest value) stays absent.
    switch (fromFormat) {
        case MPTIME_FORMAT_TICKS: *out = m_pDoc->TicksToClock(value); return S_OK;
        case MPTIME_FORMAT_CLOCK: *out = m_pDoc->ClockToTicks(value); return S_OK;
        default: return MP_E_TIMEFORMAT;  // nothing to convert from: not a success
    }
}

HRESULT CPluginManager::TimeToMeas(INT64 time, DWORD format, DWORD flag, LONG* measure, LONG* beat, LONG* tick) {
    if (!measure || !beat || !tick) return E_INVALIDARG;
    if (flag != 0 || (format != MPTIME_FORMAT_CLOCK && format != MPTIME_FORMAT_TICKS)) return MP_E_TIMEFLAG;
    if (!m_pDoc) return E_FAIL;
    const INT64 ticks = format == MPTIME_FORMAT_CLOCK ? m_pDoc->ClockToTicks(time) : time;
    m_pDoc->GetMeterMap().TimeToMeas(ticks, measure, beat, tick);
    return S_OK;
}

// ------------------------------------------------------------ client information

HRESULT CPluginManager::GetClientInfo(const GUID& id, INT64 position, INT64* next, DWORD size, void* buffer) {
    auto fits = [&](DWORD wanted) { return size == wanted && buffer != nullptr; };
    const bool bound = m_pDoc != nullptr;

    if (id == MP_CLIENT_TEMPO) {
        if (!fits(sizeof(MPTEMPOINFO))) return E_INVALIDARG;
        MPTEMPOINFO answer{};
        const HRESULT hr = TempoQuery(position, next, &answer);
        WriteAt(buffer, offsetof(MPTEMPOINFO, Time), answer.Time);
        WriteAt(buffer, offsetof(MPTEMPOINFO, Tempo), answer.Tempo);
        return hr;
    }
    if (id == MP_CLIENT_METER) {
        if (!fits(sizeof(MPMETERINFO))) return E_INVALIDARG;
        MPMETERINFO answer{};
        const HRESULT hr = MeterQuery(position, next, &answer);
        std::memcpy(buffer, &answer, sizeof answer);
        return hr;
    }
    if (id == MP_CLIENT_KEY) {
        if (!fits(sizeof(MPKEYINFO))) return E_INVALIDARG;
        MPKEYINFO answer{};
        const HRESULT hr = KeyQuery(position, next, &answer);
        std::memcpy(buffer, &answer, sizeof answer);
        return hr;
    }
    if (id == MP_CLIENT_DD5) {
        if (!fits(24)) return E_INVALIDARG;
        for (size_t word = 0; word < 4; ++word) WriteAt<LONG>(buffer, word * 4, 0);
        WriteAt<LONG>(buffer, 16, 2);
        return S_OK;
    }
    if (id == MP_CLIENT_DD6) {
        if (!fits(16)) return E_INVALIDARG;
        return !bound || ReadAt<LONG>(buffer, 8) == 4 ? E_FAIL : S_OK;
    }
    if (id == MP_CLIENT_DD7) {
        if (!fits(4)) return E_INVALIDARG;
        return bound ? S_OK : E_FAIL;
    }
    if (id == MP_CLIENT_ZERO_1 || id == MP_CLIENT_ZERO_2 || id == MP_CLIENT_ZERO_3) {
        if (!fits(4)) return E_INVALIDARG;
        WriteAt<LONG>(buffer, 0, 0);
        return bound ? S_OK : E_FAIL;
    }
    if (id == MP_CLIENT_PORT_CHANNEL) {
        if (!fits(sizeof(MPPORTCHANNELINFO))) return E_INVALIDARG;
        MPPORTCHANNELINFO query;
        std::memcpy(&query, buffer, sizeof query);
        const HRESULT hr = PortChannelQuery(&query);
        std::memcpy(buffer, &query, sizeof query);
        return hr;
    }
    if (id == MP_CLIENT_F22 || id == MP_CLIENT_EF7) {
        if (!fits(12)) return E_INVALIDARG;
        return bound ? S_OK : E_FAIL;
    }
    if (id == MP_CLIENT_ANY_SIZE) return S_OK;
    return E_INVALIDARG;
}

// The entry in effect at a position is the last one at or before it (the
// first when none is). Without a document or an entry the defaults stay.
HRESULT CPluginManager::TempoQuery(INT64 position, INT64* next, MPTEMPOINFO* out) const {
    if (next) *next = 0;
    out->Time = 0;
    out->Tempo = DEFAULT_BPM;
    TempoInfo entry;
    if (!m_pDoc || !m_pDoc->GetTempoMap().TempoAt(m_pDoc->GetTempoMap().TempoIndexAt(position), &entry)) return S_OK;
    out->Time = entry.Time;
    out->Tempo = entry.Tempo > 0 ? MICROSECONDS_PER_MINUTE / entry.Tempo : DEFAULT_BPM;
    if (next) *next = entry.Time;
    return S_OK;
}

HRESULT CPluginManager::MeterQuery(INT64 position, INT64* next, MPMETERINFO* out) const {
    if (next) *next = 0;
    const MeterInfo defaults;
    out->Measure = defaults.Measure;
    out->Numerator = defaults.Numerator;
    out->DenominatorPower = defaults.DenominatorPower;
    MeterInfo entry;
    if (!m_pDoc || !m_pDoc->GetMeterMap().MeterAt(m_pDoc->GetMeterMap().MeterIndexAt(position), &entry)) return S_OK;
    out->Measure = entry.Measure;
    out->Numerator = entry.Numerator;
    out->DenominatorPower = entry.DenominatorPower;
    if (next) *next = entry.Time;
    return S_OK;
}

HRESULT CPluginManager::KeyQuery(INT64 position, INT64* next, MPKEYINFO* out) const {
    if (next) *next = 0;
    out->Measure = 1;
    out->SharpsFlats = 0;
    out->Major = 1;
    INT64 time = 0;
    LONG key = 0;
    if (!m_pDoc || !m_pDoc->GetKeySigMap().KeySigAt(m_pDoc->GetKeySigMap().KeySigIndexAt(position), &time, &key))
        return S_OK;
    LONG beat = 0;
    LONG tick = 0;
    m_pDoc->GetMeterMap().TimeToMeas(time, &out->Measure, &beat, &tick);
    out->SharpsFlats = (key >> 8) & 0xFF;
    out->Major = (key & 0xFF) == 0 ? 1 : 0;
    if (next) *next = time;
    return S_OK;
}

HRESULT CPluginManager::PortChannelQuery(MPPORTCHANNELINFO* query) const {
    std::memset(query->Record, 0, sizeof query->Record);
    const CMidiPortMap* map = m_pDoc ? m_pDoc->GetOutputPortMap() : nullptr;
    if (!map) return E_FAIL;
    if (query->Port < 0 || query->Port > 0xFFFF || query->Channel < 0 || query->Channel >= MIDI_PORT_CHANNELS)
        return E_FAIL;
    return map->GetChannel(WORD(query->Port), query->Channel, query->Record) ? S_OK : E_FAIL;
}

// ------------------------------------------------------------ ports

HRESULT CPluginManager::GetPortInfo(LONG which, MPPORTLIST* list) {
    if (!list) return E_INVALIDARG;
    list->Count = 0;
    list->Ports = nullptr;
    if (!m_pDoc) return S_OK;
    const CMidiPortMap* map = which ? m_pDoc->GetOutputPortMap() : GetPhrasorApp().GetInputPortMap();
    if (!map) return S_OK;
    const int count = map->CountPorts(PORT_LIST_MASK);
    if (count <= 0) return S_OK;
    auto* ports = static_cast<MPPORTINFO*>(CoTaskMemAlloc(sizeof(MPPORTINFO) * size_t(count)));
    if (!ports) return E_FAIL;
    for (int i = 0; i < count; ++i) {
        MidiPortInfo info;
        map->GetPortByIndex(i, PORT_LIST_MASK, &info);
        ports[i].Number = map->GetPortNumber(i, PORT_LIST_MASK);
        static_assert(sizeof(ports[i].Id) == sizeof(info.PortId), "a port identifier is 16 bytes");
        std::memcpy(&ports[i].Id, info.PortId, sizeof info.PortId);
        ports[i].Name = TaskWideCopy(info.PortName);
        if (!ports[i].Name) {
            FreePortList(ports, DWORD(i));
            return E_OUTOFMEMORY;
        }
    }
    list->Count = DWORD(count);
    list->Ports = ports;
    return S_OK;
}
