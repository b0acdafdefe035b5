#include "driver/ArticEditorMgr.h"

#include <algorithm>

#include "driver/ArticEditorUtil.h"
#include "services/ArticErr.h"
#include "driver/ArticHostWalk.h"
#include "services/ArticPref.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"
#include "platform/Messages.h"

VX_IMPLEMENT_CLASS(CArticEvntID, CObject);
VX_IMPLEMENT_CLASS(CArticMpLock, CObject);
VX_IMPLEMENT_CLASS(CArticEditorMgr, CObject);

namespace {

constexpr DWORD kDrumCh = 9;  // MIDI channel 10 is never handed out
constexpr DWORD kChCount = 16;
constexpr BYTE kWrkNoteOn = 0x90;

}  // namespace

// ---------------------------------------------------------------- CArticMpLock

CArticMpLock::CArticMpLock(CKPSManager* host, int mode) : m_pHost(host), m_Mode(mode), m_Name(u"Articulation") {
    m_Result = host ? host->Lock(mode ? 1 : 0, m_Name.c_str()) : E_FAIL;
    if (m_Result >= 0) return;
    // The conversion thread must not wait for anyone to read this: the error
    // list keeps it and the sink (if the window installed one) is told once.
    const CString text = "ソングをロックできませんでした。変換結果をソングに書き込めません。";
    CString detail;
    detail.Format("HRESULT 0x%08X", unsigned(m_Result));
    CArticErr::Set(kArticErrKindError, text, "CArticMpLock", "CArticMpLock", detail);
    ShowMessage(text, "Phrasor", MB_OK | MB_ICONWARNING);
}

CArticMpLock::~CArticMpLock() {
    // A refused lock holds nothing: unlocking would release another holder's lock.
    if (m_pHost && m_Result >= 0) m_pHost->Unlock(1);
}

// ---------------------------------------------------------------- CArticEditorMgr

CArticEditorMgr::CArticEditorMgr(CKPSManager* host) : m_pHost(host) {}

CArticEditorMgr::~CArticEditorMgr() {
    if (CArticEditorUtil::GetEditorMgr() == this) CArticEditorUtil::SetEditorMgr(nullptr);
    ClearPosList(&m_BlkPos);
    ClearPosList(&m_Select);
    ClearOutEvntList();
    DeletePosList(m_pOutSeq);
    m_pMpLock.reset();
}

void CArticEditorMgr::Clear() {
    ClearPosList(&m_BlkPos);
    ClearPosList(&m_Select);
    m_FirstNoteOnTime = 0;
    m_VoiceState = 0;
}

// ---------------------------------------------------------------- position lists

CArticPosList* CArticEditorMgr::NewPosList() const { return new CArticPosList(); }

void CArticEditorMgr::ClearPosList(CArticPosList* list) const {
    if (!list) return;
    while (!list->IsEmpty()) delete list->RemoveHead();
}

void CArticEditorMgr::DeletePosList(CArticPosList* list) const {
    ClearPosList(list);
    delete list;
}

int CArticEditorMgr::CopyPosList(const CArticPosList* from, CArticPosList* to) const {
    if (!from || !to) return 1;
    for (POSITION pos = from->GetHeadPosition(); pos;) {
        const CArticPos* src = from->GetNext(pos);
        auto* copy = new CArticPos();
        *copy = *src;
        to->AddTail(copy);
    }
    return 0;
}

int CArticEditorMgr::CopySelect(const CArticPosList* list) {
    ClearPosList(&m_Select);
    return list ? CopyPosList(list, &m_Select) : 0;
}

int CArticEditorMgr::SetBlkPosList() {
    ClearPosList(&m_BlkPos);
    int blocks = 0;
    const int tracks = CArticHostWalk::Tracks(m_pHost, [&](const _MPTRACKINFO&, POSITION trk) {
        blocks |= CArticHostWalk::Blocks(m_pHost, trk, [&](const _MPBLOCKINFO&, POSITION blk) {
            m_BlkPos.AddTail(new CArticPos(trk, blk, nullptr));
            return true;
        });
        return blocks == 0;
    });
    return tracks | blocks;
}

void CArticEditorMgr::SetOutSeqList(CArticPosList* list) {
    if (list == m_pOutSeq) return;
    DeletePosList(m_pOutSeq);
    m_pOutSeq = list;
}

// ---------------------------------------------------------------- selection

int CArticEditorMgr::SetSelect(CKPSManager* host, const CArticPosList* list, bool events) {
    if (host) m_pHost = host;
    int result = CopySelect(list);
    result |= CalcTime(TimeKind::FirstNoteOn, events, &m_FirstNoteOnTime);
    result |= CalcTime(TimeKind::LastEvent, events, &m_LastEventTime);
    result |= CalcTime(TimeKind::FirstEvent, events, &m_FirstEventTime);
    return result | CalcArrayCh();
}

int CArticEditorMgr::SetSelectBlkPosList(CKPSManager* host, const CArticPosList* list) {
    return SetSelect(host, list, false);
}

int CArticEditorMgr::SetSelectBlkPosList(const CArticPosList* list) {
    return CopySelect(list) | CalcFirstNoteOnTime();
}

int CArticEditorMgr::SetSelectEvntPosList(CKPSManager* host, const CArticPosList* list) {
    return SetSelect(host, list, true);
}

int CArticEditorMgr::IsSelectBlk() const {
    if (!m_pHost || m_Select.IsEmpty()) return 0;
    if (m_Select.GetCount() == 1) return 1;
    const POSITION firstTrk = m_Select.GetHead()->GetTrk();
    bool oneTrack = true;
    bool shared = false;
    for (POSITION pos = m_Select.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        const CArticPos* item = m_Select.GetNext(pos);
        if (item->GetTrk() != firstTrk) oneTrack = false;
        if (at != m_Select.GetHeadPosition() && IsSelectTrk(at, item->GetTrk())) shared = true;
    }
    if (oneTrack) return 2;
    return shared ? 4 : 3;
}

int CArticEditorMgr::IsSelectTrk(POSITION trk) const {
    for (POSITION pos = m_Select.GetHeadPosition(); pos;)
        if (m_Select.GetNext(pos)->GetTrk() == trk) return 1;
    return 0;
}

int CArticEditorMgr::IsSelectTrk(POSITION at, POSITION trk) const {
    if (!at) return 0;
    for (POSITION pos = m_Select.GetHeadPosition(); pos && pos != at;)
        if (m_Select.GetNext(pos)->GetTrk() == trk) return 1;
    return 0;
}

int CArticEditorMgr::GetSelBlkID(POSITION trk, POSITION* blk) const {
    for (POSITION pos = m_Select.GetHeadPosition(); pos;) {
        const CArticPos* item = m_Select.GetNext(pos);
        if (item->GetTrk() != trk) continue;
        if (blk) *blk = item->GetBlk();
        return 0;
    }
    return 1;
}

int CArticEditorMgr::GetFirstSelectBlk(POSITION* trk, POSITION* blk) const {
    if (m_Select.IsEmpty()) return 1;
    const CArticPos* first = m_Select.GetHead();
    if (trk) *trk = first->GetTrk();
    if (blk) *blk = first->GetBlk();
    return 0;
}

int CArticEditorMgr::EstimateTrkNo(POSITION trk, int* out) const {
    if (!IsSelectTrk(trk)) {
        if (out) *out = 0;
        return 1;
    }
    if (out) *out = m_Select.GetHead()->GetTrk() == trk ? 1 : 2;
    return 0;
}

int CArticEditorMgr::GetSelTrk(std::vector<POSITION>* trks, std::vector<int>* indexes) const {
    if (trks) trks->clear();
    if (indexes) indexes->clear();
    int index = 0;
    return CArticHostWalk::Tracks(m_pHost, [&](const _MPTRACKINFO&, POSITION trk) {
        if (IsSelectTrk(trk)) {
            if (trks) trks->push_back(trk);
            if (indexes) indexes->push_back(index);
        }
        ++index;
        return true;
    });
}

LONG CArticEditorMgr::GetTrkCh(POSITION trk) const {
    _MPTRACKINFO record{};
    if (CArticHostWalk::GetTrk(m_pHost, trk, &record)) return -1;
    CArticHostWalk::FreeMem(record);
    return record.Channel;
}

POSITION CArticEditorMgr::GetTrkID(CKPSManager* host, LONG n) const { return CArticEditorUtil::GetTrkID(host, n); }

int CArticEditorMgr::GetTimeBase(DWORD* out) const {
    DWORD base = 0;
    if (!m_pHost || !out || m_pHost->GetTimeInfo(2, &base) < 0) return 0;
    *out = base;
    return 1;
}

DWORD CArticEditorMgr::GetPortFromPortID(DWORD portId) const {
    return CArticEditorUtil::GetPortFromPortID(m_pHost, portId);
}

// ---------------------------------------------------------------- times

int CArticEditorMgr::GetBlkTimeStart(POSITION trk, POSITION blk, INT64* start) const {
    _MPBLOCKINFO record{};
    if (!start || CArticHostWalk::GetBlk(m_pHost, trk, blk, &record)) return 1;
    CArticHostWalk::FreeMem(record);
    return CArticEditorUtil::TimeConvert(m_pHost, m_ClientBeatMul, record.Start, start) ? 0 : 1;
}

int CArticEditorMgr::TimeOfEvnt(INT64 blkStart, const tagMPEVENT& e, INT64* time) const {
    INT64 at = 0;
    if (!CArticEditorUtil::TimeConvert(m_pHost, m_ClientBeatMul, e.Time, &at)) return 1;
    *time = blkStart + at;
    return 0;
}

int CArticEditorMgr::CalcTime(TimeKind kind, bool events, INT64* out) const {
    INT64 value = kind == TimeKind::LastEvent ? 0 : kNoTime;
    bool failed = false;
    auto take = [&](INT64 blkStart, const tagMPEVENT& e) {
        if (kind == TimeKind::FirstNoteOn && e.Kind != MPEVENT_KIND_NOTE) return;
        INT64 time = 0;
        if (TimeOfEvnt(blkStart, e, &time)) {
            failed = true;
            return;
        }
        if (kind != TimeKind::LastEvent) {
            value = std::min(value, time);
            return;
        }
        if (e.Kind == MPEVENT_KIND_NOTE) {
            INT64 gate = 0;
            if (!CArticEditorUtil::TimeConvert(m_pHost, m_ClientBeatMul, e.Duration, &gate)) {
                failed = true;
                return;
            }
            time += gate;
        }
        value = std::max(value, time);
    };
    for (POSITION pos = m_Select.GetHeadPosition(); pos && !failed;) {
        const CArticPos* item = m_Select.GetNext(pos);
        if (events && !item->GetEvnt()) continue;
        INT64 start = 0;
        if (GetBlkTimeStart(item->GetTrk(), item->GetBlk(), &start)) return 1;
        if (events) {
            tagMPEVENT e{};
            if (CArticHostWalk::GetEvnt(m_pHost, item->GetTrk(), item->GetBlk(), item->GetEvnt(), &e)) return 1;
            take(start, e);
            CArticHostWalk::FreeMem(e);
            continue;
        }
        const int walked = CArticHostWalk::Events(m_pHost, item->GetTrk(), item->GetBlk(), [&](const tagMPEVENT& e, POSITION) {
            take(start, e);
            return !failed;
        });
        if (walked) return 1;
    }
    if (failed) return 1;
    *out = value;
    return 0;
}

int CArticEditorMgr::CalcFirstNoteOnTime() { return CalcTime(TimeKind::FirstNoteOn, false, &m_FirstNoteOnTime); }
int CArticEditorMgr::EvntSelCalcFirstNoteOnTime() { return CalcTime(TimeKind::FirstNoteOn, true, &m_FirstNoteOnTime); }
int CArticEditorMgr::CalcFirstEventTime() { return CalcTime(TimeKind::FirstEvent, false, &m_FirstEventTime); }
int CArticEditorMgr::EvntSelCalcFirstEventTime() { return CalcTime(TimeKind::FirstEvent, true, &m_FirstEventTime); }
int CArticEditorMgr::CalcLastEventTime() { return CalcTime(TimeKind::LastEvent, false, &m_LastEventTime); }
int CArticEditorMgr::EvntSelCalcLastEventTime() { return CalcTime(TimeKind::LastEvent, true, &m_LastEventTime); }

// ---------------------------------------------------------------- channel tables

int CArticEditorMgr::CalcArrayCh() {
    int result = 0;
    m_pClientCh = std::make_unique<CArticArrayCh>();
    m_pOrigiCh = std::make_unique<CArticArrayCh>();
    m_pUsedCh = std::make_unique<CArticArrayCh>();
    int count = -1;
    if (m_InitSep == 1 || m_InitSep == 2)
        result |= m_pClientCh->ScanClientCh(m_pHost, m_InitSep - 1, m_FirstNoteOnTime, &count);
    m_pClientCh->SortOrigiCh();

    result |= m_pOrigiCh->ScanOrigiCh(m_pHost, &m_Select, &count);
    m_pOrigiCh->SortOrigiCh();
    m_pOrigiCh->CopyVoice(*m_pClientCh);

    result |= m_pUsedCh->ScanUsedCh(m_pHost, &m_Select, &count);
    if (count < 0 || count > kMaxUsedCh) result = 1;
    m_pUsedCh->SortOrigiCh();
    m_pUsedCh->CopyVoice(*m_pClientCh);
    return result ? 1 : 0;
}

int CArticEditorMgr::GetEmptyPortCh(const CArticPrefSep* sep, DWORD portCount, DWORD* port, DWORD* ch) const {
    return GetEmptyPortChBy(sep, portCount, port, ch, false);
}

int CArticEditorMgr::GetEmptyPortCh2(const CArticPrefSep* sep, DWORD portCount, DWORD* port, DWORD* ch) const {
    return GetEmptyPortChBy(sep, portCount, port, ch, true);
}

int CArticEditorMgr::GetEmptyPortChBy(const CArticPrefSep* sep, DWORD portCount, DWORD* port, DWORD* ch,
                                      bool written) const {
    if (!m_pHost || !port || !ch) return 0;
    // Free: no string has it and the song holds no channel message on it
    // (every channel of a loaded song has its track and block, used or not).
    auto freeCh = [&](DWORD p, DWORD* out) {
        for (DWORD c = 0; c < kChCount; ++c) {
            if (c == kDrumCh || (sep && sep->UsedPortCh1(p, c))) continue;
            const int used = written ? CArticEditorUtil::EvntsOnPortCh2(m_pHost, p, c)
                                     : CArticEditorUtil::EvntsOnPortCh(m_pHost, p, c);
            if (used) continue;
            *out = c;
            return true;
        }
        return false;
    };
    DWORD found = 0;
    if (freeCh(*port, &found)) {
        *ch = found;
        return 1;
    }
    for (DWORD p = 0; p < portCount; ++p) {
        if (p == *port || !freeCh(p, &found)) continue;
        *port = p;
        *ch = found;
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------- song edits

int CArticEditorMgr::SetEvntChBlkSel() { return SetEvntCh(true); }
int CArticEditorMgr::SetEvntChEvntSel() { return SetEvntCh(false); }

int CArticEditorMgr::SetEvntCh(bool blocks) {
    if (!m_pHost) return 1;
    for (POSITION pos = m_Select.GetHeadPosition(); pos;) {
        CArticPos* item = m_Select.GetNext(pos);
        const LONG ch = GetTrkCh(item->GetTrk());
        if (ch < 0) continue;
        // Rewritten events may move in the song; collect the positions first.
        std::vector<POSITION> evnts;
        if (blocks) {
            if (CArticHostWalk::Events(m_pHost, item->GetTrk(), item->GetBlk(), [&](const tagMPEVENT&, POSITION at) {
                    evnts.push_back(at);
                    return true;
                }))
                return 1;
        } else if (item->GetEvnt()) {
            evnts.push_back(item->GetEvnt());
        }
        for (POSITION evnt : evnts) {
            POSITION ids[MP_ID_COUNT] = {item->GetTrk(), item->GetBlk(), evnt};
            tagMPEVENT e{};
            if (m_pHost->Get(ids, MP_LEVEL_EVENT, &e, CArticHostWalk::kEvntMask) < 0) return 1;
            HRESULT hr = S_OK;
            if (e.Channel != ch) {
                e.Channel = ch;
                hr = m_pHost->Modify(ids, MP_LEVEL_EVENT, &e, 0xFFFF);
            }
            CArticHostWalk::FreeMem(e);
            if (hr < 0) return 1;
            if (!blocks) item->SetEvnt(ids[MP_ID_EVENT]);
        }
    }
    return 0;
}

int CArticEditorMgr::DeleteSelectEvent() {
    if (!m_pHost) return 1;
    for (POSITION pos = m_Select.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        CArticPos* item = m_Select.GetNext(pos);
        if (!item->GetEvnt()) continue;
        POSITION ids[MP_ID_COUNT] = {item->GetTrk(), item->GetBlk(), item->GetEvnt()};
        if (m_pHost->Remove(MP_LEVEL_EVENT, ids) < 0) return 1;
        m_Select.RemoveAt(at);
        delete item;
    }
    return 0;
}

int CArticEditorMgr::DeleteSelectBlock() {
    if (!m_pHost) return 1;
    int result = 0;
    for (POSITION pos = m_Select.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        CArticPos* item = m_Select.GetNext(pos);
        POSITION ids[MP_ID_COUNT] = {item->GetTrk(), item->GetBlk(), nullptr};
        if (!item->GetBlk() || m_pHost->Remove(MP_LEVEL_BLOCK, ids) < 0) {
            result = 1;
            continue;
        }
        m_Select.RemoveAt(at);
        delete item;
    }
    return result;
}

// ---------------------------------------------------------------- events to remove

void CArticEditorMgr::AddOutEvnt(POSITION trk, POSITION blk, POSITION evnt) {
    if (!m_pOutEvnt) m_pOutEvnt = std::make_unique<CArticEvntIDList>(10);
    m_pOutEvnt->AddTail(new CArticEvntID(trk, blk, evnt));
}

void CArticEditorMgr::ClearOutEvntList() {
    if (!m_pOutEvnt) return;
    while (!m_pOutEvnt->IsEmpty()) delete m_pOutEvnt->RemoveHead();
    m_pOutEvnt.reset();
}

void CArticEditorMgr::SetOutEvntList(CArticEvntIDList* list) {
    if (list == m_pOutEvnt.get()) return;
    ClearOutEvntList();
    m_pOutEvnt.reset(list);
}

int CArticEditorMgr::DeleteOutEvnt(CKPSManager* host) {
    if (!m_pOutEvnt) return 0;
    if (!host) return 1;
    for (POSITION pos = m_pOutEvnt->GetHeadPosition(); pos;) {
        const CArticEvntID* id = m_pOutEvnt->GetNext(pos);
        POSITION ids[MP_ID_COUNT] = {id->GetTrk(), id->GetBlk(), id->GetEvnt()};
        if (host->Remove(id->GetEvnt() ? MP_LEVEL_EVENT : MP_LEVEL_BLOCK, ids) < 0) return 1;
    }
    return 0;
}

int CArticEditorMgr::IsOutTrkID(POSITION trk, POSITION* blk) const {
    if (!m_pOutEvnt) return 0;
    for (POSITION pos = m_pOutEvnt->GetTailPosition(); pos;) {
        const CArticEvntID* id = m_pOutEvnt->GetPrev(pos);
        if (id->GetTrk() != trk || id->GetEvnt()) continue;
        if (blk) *blk = id->GetBlk();
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------- song lock

int CArticEditorMgr::GetMpLockWR() const { return m_pMpLock ? m_pMpLock->GetMode() : 1; }

HRESULT CArticEditorMgr::CreateMpLock(int mode) {
    if (!m_pHost) return E_FAIL;
    if (m_pMpLock) return E_UNEXPECTED;
    m_pMpLock = std::make_unique<CArticMpLock>(m_pHost, mode);
    return m_pMpLock->GetResult();
}

HRESULT CArticEditorMgr::DeleteMpLock() {
    if (!m_pHost) return E_FAIL;
    if (!m_pMpLock) return E_UNEXPECTED;
    m_pMpLock.reset();
    return S_OK;
}

// ---------------------------------------------------------------- voice-set marking

int CArticEditorMgr::SearchVceSet(CArticWrk* wrk) const {
    if (!wrk) return 1;
    CArticWrkTrkList* trks = wrk->GetTrkList();
    for (POSITION t = trks ? trks->GetHeadPosition() : nullptr; t;) {
        CArticWrkBlkList* blks = trks->GetNext(t)->GetBlkList();
        for (POSITION b = blks ? blks->GetHeadPosition() : nullptr; b;) {
            CArticWrkEvntList* evnts = blks->GetNext(b)->GetEvntList();
            for (POSITION e = evnts ? evnts->GetHeadPosition() : nullptr; e;) {
                CArticWrkEvnt* evnt = evnts->GetNext(e);
                if (evnt->GetStatus() == kWrkNoteOn || evnt->GetTime() > m_FirstNoteOnTime) break;
                evnt->SetVceSet(1);
            }
        }
    }
    return 0;
}
