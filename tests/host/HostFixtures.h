#pragma once
// Helpers for the host-interface tests: a document with its host interface,
// the exclusive song lock for a scope, and walks that collect what they read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DocFixtures.h"
#include "host/KPSManager.h"
#include "host/SongTime.h"
#include "platform/Memory.h"

namespace hosttest {

constexpr INT64 kAbsent = SONG_TIME_ABSENT;

using namespace doctest;

// Frees what a read of an event handed out (Bytes, or Text of a clip).
inline void FreeEventData(tagMPEVENT& e) {
    if (IsVariableMPEventKind(e.Kind)) CoTaskMemFree(e.Bytes);
    e.Bytes = nullptr;
}

inline std::u16string TakeName(char16_t*& name) {
    std::u16string text = name ? std::u16string(name) : std::u16string();
    CoTaskMemFree(name);
    name = nullptr;
    return text;
}

// The exclusive song lock for a scope.
class ExclusiveLock {
public:
    explicit ExclusiveLock(CKPSManager& host) : m_Host(host) { m_Result = host.Lock(1, u"edit"); }
    ~ExclusiveLock() {
        if (m_Result == S_OK) m_Host.Unlock(1);
    }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
    HRESULT Result() const { return m_Result; }

private:
    CKPSManager& m_Host;
    HRESULT m_Result;
};

// One event as a walk saw it.
struct SeenEvent {
    DWORD Kind;
    INT64 Time;
    BYTE Data1;
    POSITION Pos;
};

// Walks the events of a block with the mask, forward (GetFirst/GetNext) or
// backward (GetLast/GetPrev), the way the engine does; `result` is the result
// of the last call.
inline std::vector<SeenEvent> WalkEvents(CKPSManager& host, POSITION track, POSITION block, LONG mask,
                                         bool forward, HRESULT* result) {
    std::vector<SeenEvent> seen;
    POSITION ids[MP_ID_COUNT] = {track, block, nullptr};
    POSITION next = nullptr;
    tagMPEVENT e;
    HRESULT hr = forward ? host.GetFirst(ids, MP_LEVEL_EVENT, &e, &next, mask)
                         : host.GetLast(ids, MP_LEVEL_EVENT, &e, &next, mask);
    for (int guard = 0; hr >= 0 && ids[MP_ID_EVENT] && guard < 10000; ++guard) {
        seen.push_back({e.Kind, e.Time, e.Data1, ids[MP_ID_EVENT]});
        FreeEventData(e);
        if (!next) break;  // that was the last item of the list
        hr = forward ? host.GetNext(ids, MP_LEVEL_EVENT, &e, &next, mask)
                     : host.GetPrev(ids, MP_LEVEL_EVENT, &e, &next, mask);
    }
    if (result) *result = hr;
    return seen;
}

inline tagMPEVENT ShortRecord(DWORD kind, INT64 time, BYTE d1, BYTE d2 = 0, LONG duration = 0) {
    tagMPEVENT e;
    ResetMPEvent(e);
    e.Kind = kind;
    e.Time = time;
    e.Data1 = d1;
    e.Data2 = d2;
    e.Duration = duration;
    return e;
}

}  // namespace hosttest
