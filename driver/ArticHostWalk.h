#pragma once
// Walks of the song through the host interface. Every walk keeps the host's
// end contract: it stops after a record whose next position came back null
// (asking for more then is refused, it does not end the walk), only a
// negative result counts as a failure, and the task memory of every record
// read (event data, track and block names) is released after the visit.
#include "host/KPSManager.h"
#include "host/MPEvent.h"
#include "platform/Memory.h"

class CArticHostWalk {
public:
    CArticHostWalk() = delete;

    // Masks of the engine's walks: every track and block kind, every event kind.
    static constexpr LONG kTrkMask = 0x1F;
    static constexpr LONG kBlkMask = 0x1F;
    static constexpr LONG kEvntMask = LONG(MPEVENT_KINDS_ALL);

    // Releases what a read handed out and clears the pointers.
    static void FreeMem(tagMPEVENT& record) {
        if (IsVariableMPEventKind(record.Kind)) CoTaskMemFree(record.Bytes);
        record.Bytes = nullptr;
    }
    static void FreeMem(_MPTRACKINFO& record) {
        CoTaskMemFree(record.Name);
        record.Name = nullptr;
    }
    static void FreeMem(_MPBLOCKINFO& record) {
        CoTaskMemFree(record.Name);
        record.Name = nullptr;
    }

    // visit(record, position) is called for every matching item in list order
    // until it returns false. 0 when the walk ended or was stopped, 1 when
    // there is no host or the host failed.
    template <class Visit>
    static int Tracks(CKPSManager* host, Visit visit) {
        POSITION ids[MP_ID_COUNT] = {};
        _MPTRACKINFO record{};
        return Walk(host, ids, MP_LEVEL_TRACK, record, kTrkMask, visit);
    }
    template <class Visit>
    static int Blocks(CKPSManager* host, POSITION trk, Visit visit) {
        POSITION ids[MP_ID_COUNT] = {trk, nullptr, nullptr};
        _MPBLOCKINFO record{};
        return Walk(host, ids, MP_LEVEL_BLOCK, record, kBlkMask, visit);
    }
    template <class Visit>
    static int Events(CKPSManager* host, POSITION trk, POSITION blk, Visit visit) {
        POSITION ids[MP_ID_COUNT] = {trk, blk, nullptr};
        tagMPEVENT record{};
        return Walk(host, ids, MP_LEVEL_EVENT, record, kEvntMask, visit);
    }

    // Reads one item; 0, or 1 when the host refuses. The caller frees the record.
    static int GetTrk(CKPSManager* host, POSITION trk, _MPTRACKINFO* record) {
        POSITION ids[MP_ID_COUNT] = {trk, nullptr, nullptr};
        return host && record && host->Get(ids, MP_LEVEL_TRACK, record, kTrkMask) >= 0 ? 0 : 1;
    }
    static int GetBlk(CKPSManager* host, POSITION trk, POSITION blk, _MPBLOCKINFO* record) {
        POSITION ids[MP_ID_COUNT] = {trk, blk, nullptr};
        return host && record && host->Get(ids, MP_LEVEL_BLOCK, record, kBlkMask) >= 0 ? 0 : 1;
    }
    static int GetEvnt(CKPSManager* host, POSITION trk, POSITION blk, POSITION evnt, tagMPEVENT* record) {
        POSITION ids[MP_ID_COUNT] = {trk, blk, evnt};
        return host && record && host->Get(ids, MP_LEVEL_EVENT, record, kEvntMask) >= 0 ? 0 : 1;
    }

private:
    template <class Record, class Visit>
    static int Walk(CKPSManager* host, POSITION* ids, LONG level, Record& record, LONG mask, Visit& visit) {
        if (!host) return 1;
        POSITION* slot = &ids[level - 1];
        POSITION next = nullptr;
        HRESULT hr = host->GetFirst(ids, level, &record, &next, mask);
        while (hr >= 0 && *slot) {
            const bool more = visit(record, *slot);
            FreeMem(record);
            if (!more || !next) return 0;
            hr = host->GetNext(ids, level, &record, &next, mask);
        }
        FreeMem(record);
        return hr < 0 ? 1 : 0;
    }
};
