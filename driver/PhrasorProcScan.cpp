// The selection scan of the conversion driver: what is selected in the song,
// over which time range, the KV part messages of the selected channels and
// the pitch bends of the selection; then the items to convert.
#include "driver/PhrasorProc.h"

#include <set>
#include <utility>

#include "driver/ArticEditorUtil.h"
#include "driver/ArticHostWalk.h"
#include "services/ArticPref.h"
#include "services/PHConvPrm.h"
#include "driver/PgBsel.h"
#include "driver/VeloSens.h"

namespace {

constexpr LONG kPhrasorProcTrkMask = MPTRACK_KIND_MIDI;
constexpr LONG kPhrasorProcBlkMask = CArticHostWalk::kBlkMask;
constexpr LONG kPhrasorProcEvntMask = CArticHostWalk::kEvntMask;
constexpr WORD kPhrasorProcPbCenter = 8192;

// The KV part message head: maker, device 0, model, parameter group.
constexpr BYTE kPhrasorProcKvHead[4] = {0x43, 0x10, 0x4C, 0x08};

// The KV part parameters the scan keeps: voice settings go into the voice
// timeline, velocity-sense settings into theirs.
struct PhrasorProcKvParam {
    BYTE param;
    signed char kind;
    bool voice;
};
const PhrasorProcKvParam kPhrasorProcKvParams[] = {
    {0x01, CPgBselEvnt::kBankMsb, true}, {0x02, CPgBselEvnt::kBankLsb, true},
    {0x03, CPgBselEvnt::kProgram, true}, {0x0C, CVeloSensEvnt::kDepth, false},
    {0x0D, CVeloSensEvnt::kOffset, false},
};

// Start and end (engine ticks) of an event of a block starting at blkStart:
// the end counts a note's gate only when withGate is set. 0 when the start
// cannot be converted.
int PhrasorProcEvntSpan(CKPSManager* host, const tagMPEVENT& e, INT64 blkStart, bool withGate, INT64* start,
                        INT64* end) {
    INT64 at = 0;
    if (!CArticEditorUtil::TimeConvert(host, e.Time, &at)) return 0;
    *start = blkStart + at;
    *end = *start;
    INT64 gate = 0;
    if (withGate && e.Kind == MPEVENT_KIND_NOTE && CArticEditorUtil::TimeConvert(host, INT64(e.Duration), &gate))
        *end = *start + gate;
    return 1;
}

// The port address of a track's port among its device's ports (0 when the
// preferences do not list it).
DWORD PhrasorProcTrkPortAdrs(CKPSManager* host, const _MPTRACKINFO& trk) {
    DWORD adrs = 0;
    const DWORD portNo = CArticEditorUtil::GetPortFromPortID(host, DWORD(trk.Port));
    if (CArticEditorUtil::GetPortAdrsFromPortNo(host, portNo, &adrs)) return 0;
    return adrs;
}

// The (channel, port address) pairs of the selected events, read in list
// order up to the first one that cannot be read (unreadable is then set).
struct PhrasorProcSelKeys {
    bool read = false;
    bool unreadable = false;
    std::set<std::pair<LONG, DWORD>> keys;
};

void ReadSelKeysOf(CKPSManager* host, const CArticPosList* sels, PhrasorProcSelKeys* keys) {
    keys->read = true;
    for (POSITION p = sels ? sels->GetHeadPosition() : nullptr; p;) {
        const CArticPos* sel = sels->GetNext(p);
        tagMPEVENT se{};
        _MPTRACKINFO st{};
        const bool ok = CArticHostWalk::GetEvnt(host, sel->GetTrk(), sel->GetBlk(), sel->GetEvnt(), &se) == 0 &&
                        CArticHostWalk::GetTrk(host, sel->GetTrk(), &st) == 0;
        if (ok) keys->keys.insert({se.Channel, PhrasorProcTrkPortAdrs(host, st)});
        CArticHostWalk::FreeMem(se);
        CArticHostWalk::FreeMem(st);
        if (!ok) {
            keys->unreadable = true;
            return;
        }
    }
}

}  // namespace

int CPhrasorProc::ScanSong(CKPSManager* host, int* blkTrks, int* evntTrks) {
    int blkTrkCount = 0;
    int evntTrkCount = 0;
    if (blkTrks) *blkTrks = 0;
    if (evntTrks) *evntTrks = 0;
    m_FirstSelStart = 0;
    m_LastSelEnd = 0;
    WORD chMask = 0;
    bool emptySelBlk = false;
    int blkCount = 0;
    int evntCount = 0;
    if (!host) return kScanHostFailed;

    DropSelEvnt();
    m_pSelEvnt = std::make_unique<CArticPosList>(10);

    POSITION lastBlkTrk = nullptr;
    POSITION lastEvntTrk = nullptr;
    POSITION ids[MP_ID_COUNT] = {};
    _MPTRACKINFO trk{};
    POSITION next = nullptr;
    HRESULT hr = host->GetLast(ids, MP_LEVEL_TRACK, &trk, &next, kPhrasorProcTrkMask);
    bool failed = false;
    while (hr >= 0 && ids[MP_ID_TRACK] && !failed) {
        CArticHostWalk::FreeMem(trk);
        const POSITION trkPos = ids[MP_ID_TRACK];
        if (trk.Number != 0) {
            const WORD trkBit = WORD(1u << (DWORD(trk.Channel) & 15));
            const int walked = CArticHostWalk::Blocks(host, trkPos, [&](const _MPBLOCKINFO& b, POSITION blkPos) {
                INT64 blkStart = 0;
                if (!CArticEditorUtil::TimeConvert(host, b.Start, &blkStart)) return !(failed = true);
                const bool selBlk = (b.Flags & MPBLOCK_FLAG_SELECTED) != 0;
                if (selBlk) {
                    ++blkCount;
                    if (trkPos != lastBlkTrk) {
                        ++blkTrkCount;
                        lastBlkTrk = trkPos;
                    }
                    chMask |= trkBit;
                }
                bool hasNote = false;
                POSITION eids[MP_ID_COUNT] = {trkPos, blkPos, nullptr};
                tagMPEVENT e{};
                POSITION enext = nullptr;
                HRESULT ehr = host->GetFirst(eids, MP_LEVEL_EVENT, &e, &enext, kPhrasorProcEvntMask);
                while (ehr >= 0 && eids[MP_ID_EVENT]) {
                    INT64 start = 0;
                    INT64 end = 0;
                    const bool selEvnt = (e.Flags & MPEVENT_FLAG_SELECTED) != 0;
                    // Only a selected event's span is used; the conversion of
                    // ticks that the block's start passed cannot fail for the others.
                    if (selEvnt && !PhrasorProcEvntSpan(host, e, blkStart, selEvnt, &start, &end)) {
                        CArticEditorUtil::FreeMemEvnt(&e);
                        return !(failed = true);
                    }
                    if (e.Kind == MPEVENT_KIND_NOTE) hasNote = true;
                    if (selEvnt) {
                        ++evntCount;
                        if (trkPos != lastEvntTrk) {
                            ++evntTrkCount;
                            lastEvntTrk = trkPos;
                        }
                        if (evntCount == 1) {
                            m_FirstSelStart = start;
                            m_LastSelEnd = end;
                        } else {
                            if (start < m_FirstSelStart) m_FirstSelStart = start;
                            if (end > m_LastSelEnd) m_LastSelEnd = end;
                        }
                        m_pSelEvnt->AddTail(new CArticPos(trkPos, blkPos, eids[MP_ID_EVENT]));
                    }
                    if (selBlk && e.Kind == MPEVENT_KIND_PITCHBEND &&
                        WORD(e.Data1 + 128 * e.Data2) != kPhrasorProcPbCenter) {
                        m_PbExist = 1;
                        if (m_pConvPrm) m_pConvPrm->PbCtrl = 1;
                    }
                    CaptureVceSysEx(&e, chMask, e.TimeFormat, trkPos, blkPos, eids[MP_ID_EVENT]);
                    CArticEditorUtil::FreeMemEvnt(&e);
                    if (!enext) break;
                    ehr = host->GetNext(eids, MP_LEVEL_EVENT, &e, &enext, kPhrasorProcEvntMask);
                }
                if (selBlk && !hasNote) emptySelBlk = true;
                return true;
            });
            if (walked) failed = true;
        }
        if (failed || !next) break;
        hr = host->GetPrev(ids, MP_LEVEL_TRACK, &trk, &next, kPhrasorProcTrkMask);
    }
    CArticHostWalk::FreeMem(trk);
    if (blkTrks) *blkTrks = blkTrkCount;
    if (evntTrks) *evntTrks = evntTrkCount;
    if (failed || hr < 0) return kScanHostFailed;
    if (emptySelBlk) return kScanNoNote;

    int mode = kScanHostFailed;
    if (blkCount && evntCount) {
        CArticPref* pref = GetPref();
        CArticPrefSetting* setting = pref ? pref->GetSetting() : nullptr;
        mode = setting ? setting->GetBlkEvntPriority() : kSelBlock;
    } else if (blkCount) {
        mode = kSelBlock;
    } else if (evntCount) {
        mode = kSelEvent;
    }
    if ((mode == kSelBlock && blkTrkCount > 1) || (mode == kSelEvent && evntTrkCount > 1)) return kScanTracks;
    return mode;
}

void CPhrasorProc::CaptureVceSysEx(const tagMPEVENT* e, WORD chMask, DWORD format, POSITION trk, POSITION blk,
                                   POSITION evnt) {
    if (!e || e->Kind != MPEVENT_KIND_SYSEX || e->Length <= 6 || !e->Bytes) return;
    const BYTE* d = e->Bytes;
    for (int i = 0; i < 4; ++i)
        if (d[i] != kPhrasorProcKvHead[i]) return;
    const BYTE part = d[4];
    if (part >= 16 || (chMask & (1u << part)) == 0) return;
    const PhrasorProcKvParam* kv = nullptr;
    for (const PhrasorProcKvParam& p : kPhrasorProcKvParams)
        if (p.param == d[5]) kv = &p;
    if (!kv) return;
    const signed char kind = kv->kind;
    const bool voice = kv->voice;
    if (voice ? !m_pPgBsel : !m_pVeloSens) return;
    INT64 time = 0;
    if (!CArticEditorUtil::TimeConvert(e->Time, format, 0, &time, MPTIME_FORMAT_TICKS, 0)) return;
    const BYTE value = d[6];
    if (voice) {
        auto* entry = new CPgBselEvnt(kind, time, value);
        entry->SetEventIDs(trk, blk, evnt);
        m_pPgBsel->InsertEvnt(entry);
    } else {
        m_pVeloSens->InsertEvnt(new CVeloSensEvnt(kind, time, value));
    }
}

int CPhrasorProc::MakePosList(CKPSManager* host, CArticPosList* list, int mode) {
    if (list) DeletePosEntries(list);
    if (!host || !list) return -1;
    bool failed = false;
    PhrasorProcSelKeys selKeys;  // read when a track of many channels first needs it
    const int walked = CArticHostWalk::Tracks(host, [&](const _MPTRACKINFO& trk, POSITION trkPos) {
        if (trk.Number == 0) return true;
        if (mode == kSelEvent && !CArticEditorUtil::FindSelection(m_pSelEvnt.get(), trkPos)) return true;
        const DWORD trkAdrs = trk.Channel == -1 ? PhrasorProcTrkPortAdrs(host, trk) : 0;
        const int blocks = CArticHostWalk::Blocks(host, trkPos, [&](const _MPBLOCKINFO& b, POSITION blkPos) {
            INT64 blkStart = 0;
            if (!CArticEditorUtil::TimeConvert(host, b.Start, &blkStart)) return !(failed = true);
            if (mode == kSelBlock) {
                if (b.Flags & MPBLOCK_FLAG_SELECTED) list->AddTail(new CArticPos(trkPos, blkPos, nullptr));
                return true;
            }
            const int events = CArticHostWalk::Events(host, trkPos, blkPos, [&](const tagMPEVENT& e, POSITION at) {
                INT64 start = 0;
                INT64 end = 0;
                const bool sel = (e.Flags & MPEVENT_FLAG_SELECTED) != 0;
                if (!PhrasorProcEvntSpan(host, e, blkStart, sel, &start, &end)) return !(failed = true);
                if (start < m_FirstSelStart || start > m_LastSelEnd || end < m_FirstSelStart || end > m_LastSelEnd)
                    return true;
                if (trk.Channel == -1) {
                    // A track of many channels: the event must share channel and
                    // port address with a selected event.
                    DWORD adrs = 0;
                    if (CArticEditorUtil::GetPortNoFromPortAdrs(trkAdrs, DWORD(trk.Port), &adrs)) return true;
                    if (!selKeys.read) ReadSelKeysOf(host, m_pSelEvnt.get(), &selKeys);
                    // As a walk of the selected events in order finds it: a
                    // match, or else an unreadable selected event.
                    if (!selKeys.keys.count({e.Channel, adrs})) {
                        if (selKeys.unreadable) return !(failed = true);
                        return true;
                    }
                }
                list->AddTail(new CArticPos(trkPos, blkPos, at));
                return true;
            });
            return !(failed |= events != 0);
        });
        return !(failed |= blocks != 0);
    });
    if (failed || walked) return -1;
    DropSelEvnt();
    return mode;
}
