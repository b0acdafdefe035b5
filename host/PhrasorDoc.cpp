#include "host/PhrasorDoc.h"

#include <new>

#include "host/KPSManager.h"
#include "host/PhrasorApp.h"
#include "platform/Messages.h"

VX_IMPLEMENT_CLASS(CPhrasorDoc, CSongDocBase);

namespace {

// A port the document may play through: plain kind and switched on.
bool IsIndexedPort(const MidiPortInfo& info) { return info.PortKind == 1 && info.Enabled1 != 0 && info.Enabled2 != 0; }

template <class List>
bool HoldsPosition(const List& list, POSITION wanted) {
    if (!wanted) return false;
    for (POSITION pos = list.GetHeadPosition(); pos; list.GetNext(pos))
        if (pos == wanted) return true;
    return false;
}

}  // namespace

CPhrasorDoc::CPhrasorDoc() { m_InitFailed = Initialize() ? 0 : 1; }

CPhrasorDoc* CPhrasorDoc::CreateObject() {
    try {
        return new CPhrasorDoc();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

CPhrasorDoc::~CPhrasorDoc() {
    DeleteAllTracks();
    ClearUndo();
    m_MeterMap.RemoveAll();
    m_TempoMap.RemoveAll();
    m_KeySigMap.RemoveAll();
    m_SelectedBlocks.clear();
    m_SelectedEvents.clear();
    ClearMessages();
    DeleteHostInterface();
    m_OutputPortIndex.RemoveAll();
    m_InputPortIndex.RemoveAll();
}

bool CPhrasorDoc::CreateHostInterface() {
    m_pPluginManager = new (std::nothrow) CPluginManager(this);
    m_pEventListPart = new (std::nothrow) CMPEventList(m_pPluginManager);
    m_pTimeInfoPart = new (std::nothrow) CMPTimeInfo(m_pPluginManager);
    m_pClientInfoPart = new (std::nothrow) CMPClientInfo(m_pPluginManager);
    m_pClientServicesPart = new (std::nothrow) CMPClientServices(m_pPluginManager);
    m_pHostInterface = new (std::nothrow)
        CKPSManager(m_pEventListPart, m_pTimeInfoPart, m_pClientInfoPart, m_pClientServicesPart);
    return m_pPluginManager && m_pEventListPart && m_pTimeInfoPart && m_pClientInfoPart && m_pClientServicesPart &&
           m_pHostInterface;
}

void CPhrasorDoc::DeleteHostInterface() {
    delete m_pPluginManager;
    delete m_pEventListPart;
    delete m_pTimeInfoPart;
    delete m_pClientInfoPart;
    delete m_pClientServicesPart;
    delete m_pHostInterface;
    m_pPluginManager = nullptr;
    m_pEventListPart = nullptr;
    m_pTimeInfoPart = nullptr;
    m_pClientInfoPart = nullptr;
    m_pClientServicesPart = nullptr;
    m_pHostInterface = nullptr;
}

int CPhrasorDoc::Initialize() {
    bool failed = false;
    m_FileKind = FILE_KIND_NONE;
    if (!CreateHostInterface()) failed = true;
    m_UndoDepth = 0;
    m_UndoIndex = -1;
    InitSettings();
    CopyPortMaps(&failed);
    ResetSong();
    ClearMessages();
    m_BatchTotal = 0;
    m_BatchIndex = 0;
    return failed ? 0 : 1;
}

void CPhrasorDoc::CopyPortMaps(bool* failed) {
    const CPhrasorApp& app = GetPhrasorApp();
    m_pOutputPortMap.reset(new (std::nothrow) CMidiPortMap());
    m_pInputPortMap.reset(new (std::nothrow) CMidiPortMap());
    if (!m_pOutputPortMap || !m_pInputPortMap) {
        *failed = true;
        return;
    }
    try {
        if (const CMidiPortMap* out = app.GetOutputPortMap()) {
            if (!m_pOutputPortMap->CopyFrom(*out)) *failed = true;
        }
        if (const CMidiPortMap* in = app.GetInputPortMap()) {
            if (!m_pInputPortMap->CopyFrom(*in)) *failed = true;
        }
        for (POSITION pos = m_pOutputPortMap->GetStartPosition(); pos;) {
            WORD number = 0;
            const CMidiPort* port = nullptr;
            m_pOutputPortMap->GetNextAssoc(pos, number, port);
            if (IsIndexedPort(port->GetInfo())) m_OutputPortIndex.SetAt(const_cast<CMidiPort*>(port), number);
        }
        for (POSITION pos = m_pInputPortMap->GetStartPosition(); pos;) {
            WORD number = 0;
            const CMidiPort* port = nullptr;
            m_pInputPortMap->GetNextAssoc(pos, number, port);
            if (IsIndexedPort(port->GetInfo())) m_InputPortIndex.SetAt(number, port);
        }
    } catch (const std::bad_alloc&) {
        *failed = true;
    }
}

void CPhrasorDoc::ResetSong() {
    ClearUndo();
    MakeDefaultSong();
    RebuildMeterMap();
    RebuildTempoMap();
    RebuildKeySigMap();
    ClearBlockSelection();
    ClearEventSelection();
}

// ------------------------------------------------------------ lookups

CTrack* CPhrasorDoc::TrackAt(POSITION track) const {
    return HoldsPosition(m_TrackList, track) ? m_TrackList.GetAt(track) : nullptr;
}

CBlock* CPhrasorDoc::BlockAt(POSITION track, POSITION block) const {
    const CTrack* owner = TrackAt(track);
    if (!owner || !HoldsPosition(owner->GetBlockList(), block)) return nullptr;
    return owner->GetBlockList().GetAt(block);
}

bool CPhrasorDoc::IsConductor(POSITION track) const {
    return track != nullptr && track == m_TrackList.GetHeadPosition();
}

CBlock* CPhrasorDoc::ShownBlock(POSITION refTrack, POSITION refBlock) const {
    CBlock* shown = BlockAt(refTrack, refBlock);
    return shown && !shown->IsLink() ? shown : nullptr;
}

const CBlock* CPhrasorDoc::EventBlockOf(POSITION track, POSITION block, INT64* start) const {
    const CBlock* b = BlockAt(track, block);
    if (!b) return nullptr;
    if (start) *start = b->GetInfo().Start;
    if (!b->IsLink()) return b;
    return ShownBlock(b->GetInfo().RefTrack, b->GetInfo().RefBlock);
}

int CPhrasorDoc::TrackIndex(POSITION track) const {
    int index = 0;
    for (POSITION pos = m_TrackList.GetHeadPosition(); pos; m_TrackList.GetNext(pos), ++index)
        if (pos == track) return index;
    return -1;
}

int CPhrasorDoc::BlockIndex(POSITION track, POSITION block) const {
    const CTrack* owner = TrackAt(track);
    if (!owner) return -1;
    int index = 0;
    const CBlockList& blocks = owner->GetBlockList();
    for (POSITION pos = blocks.GetHeadPosition(); pos; blocks.GetNext(pos), ++index)
        if (pos == block) return index;
    return -1;
}

// ------------------------------------------------------------ selections

int CPhrasorDoc::SelectChannelTrack(int channel) {
    m_SelectedBlocks.clear();
    POSITION pos = m_TrackList.GetHeadPosition();
    if (!pos) return 0;
    m_TrackList.GetNext(pos);  // the conductor track carries no channel
    while (pos) {
        POSITION trackPos = pos;
        const CTrack* track = m_TrackList.GetNext(pos);
        if (track->GetInfo().Channel != channel) continue;
        const CBlockList& blocks = track->GetBlockList();
        for (POSITION b = blocks.GetHeadPosition(); b;) {
            POSITION blockPos = b;
            if (!blocks.GetNext(b)->IsLink()) SelectBlock(trackPos, blockPos);
        }
        return 1;
    }
    return 0;
}

void CPhrasorDoc::SelectBlock(POSITION track, POSITION block) {
    try {
        m_SelectedBlocks[block].reset(new CPosObj(track, block, nullptr));
    } catch (const std::bad_alloc&) {
        m_SelectedBlocks.erase(block);
    }
}

void CPhrasorDoc::SelectEvent(POSITION track, POSITION block, POSITION event) {
    try {
        m_SelectedEvents[event].reset(new CPosObj(track, block, event));
    } catch (const std::bad_alloc&) {
        m_SelectedEvents.erase(event);
    }
}

int CPhrasorDoc::IsBlockSelected(POSITION block) const { return m_SelectedBlocks.count(block) ? 1 : 0; }
int CPhrasorDoc::IsEventSelected(POSITION event) const { return m_SelectedEvents.count(event) ? 1 : 0; }
int CPhrasorDoc::UnselectBlock(POSITION block) { return m_SelectedBlocks.erase(block) ? 1 : 0; }
int CPhrasorDoc::UnselectEvent(POSITION event) { return m_SelectedEvents.erase(event) ? 1 : 0; }

int CPhrasorDoc::UnselectEventsOfBlock(POSITION block) {
    int removed = 0;
    for (auto it = m_SelectedEvents.begin(); it != m_SelectedEvents.end();) {
        if (it->second->Block == block) {
            it = m_SelectedEvents.erase(it);
            removed = 1;
        } else {
            ++it;
        }
    }
    return removed;
}

int CPhrasorDoc::ClearBlockSelection() {
    const int had = m_SelectedBlocks.empty() ? 0 : 1;
    m_SelectedBlocks.clear();
    return had;
}

int CPhrasorDoc::ClearEventSelection() {
    const int had = m_SelectedEvents.empty() ? 0 : 1;
    m_SelectedEvents.clear();
    return had;
}

const CPosObj* CPhrasorDoc::GetSelectedBlock(POSITION block) const {
    auto it = m_SelectedBlocks.find(block);
    return it == m_SelectedBlocks.end() ? nullptr : it->second.get();
}

const CPosObj* CPhrasorDoc::GetSelectedEvent(POSITION event) const {
    auto it = m_SelectedEvents.find(event);
    return it == m_SelectedEvents.end() ? nullptr : it->second.get();
}

namespace {

// Moves the entry under `from` to `to`; false when there is none (or no memory).
bool MoveEntry(std::map<POSITION, std::unique_ptr<CPosObj>>& map, POSITION from, POSITION to, CPosObj** moved) {
    auto it = map.find(from);
    if (it == map.end()) return false;
    std::unique_ptr<CPosObj> entry = std::move(it->second);
    map.erase(it);
    try {
        *moved = entry.get();
        map[to] = std::move(entry);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace

int CPhrasorDoc::RekeyBlock(POSITION oldBlock, POSITION newTrack, POSITION newBlock) {
    CPosObj* entry = nullptr;
    if (!MoveEntry(m_SelectedBlocks, oldBlock, newBlock, &entry)) return 0;
    if (newTrack) entry->Track = newTrack;
    entry->Block = newBlock;
    return 1;
}

int CPhrasorDoc::RekeyEvent(POSITION oldEvent, POSITION newEvent) {
    CPosObj* entry = nullptr;
    if (!MoveEntry(m_SelectedEvents, oldEvent, newEvent, &entry)) return 0;
    entry->Event = newEvent;
    return 1;
}

int CPhrasorDoc::ReplaceTrackInBlocks(POSITION oldTrack, POSITION newTrack) {
    int changed = 0;
    for (auto& entry : m_SelectedBlocks) {
        if (entry.second->Track != oldTrack) continue;
        entry.second->Track = newTrack;
        changed = 1;
    }
    return changed;
}

int CPhrasorDoc::ReplaceTrackInEvents(POSITION oldTrack, POSITION newTrack) {
    int changed = 0;
    for (auto& entry : m_SelectedEvents) {
        if (entry.second->Track != oldTrack) continue;
        entry.second->Track = newTrack;
        changed = 1;
    }
    return changed;
}

int CPhrasorDoc::ReplaceBlockInEvents(POSITION oldBlock, POSITION newTrack, POSITION newBlock) {
    int changed = 0;
    for (auto& entry : m_SelectedEvents) {
        if (entry.second->Block != oldBlock) continue;
        entry.second->Track = newTrack;
        entry.second->Block = newBlock;
        changed = 1;
    }
    return changed;
}

HRESULT CPhrasorDoc::SelectByKind(LONG mask, const POSITION* pair) {
    if (pair && (!pair[0] || !pair[1])) return E_INVALIDARG;
    const bool select = mask < 0;
    auto apply = [&](POSITION track, POSITION block) {
        if (select) SelectBlock(track, block);
        else UnselectBlock(block);
    };
    if (pair) {
        apply(pair[0], pair[1]);
    } else {
        for (POSITION t = m_TrackList.GetHeadPosition(); t;) {
            POSITION trackPos = t;
            const CBlockList& blocks = m_TrackList.GetNext(t)->GetBlockList();
            for (POSITION b = blocks.GetHeadPosition(); b;) {
                POSITION blockPos = b;
                if ((DWORD(blocks.GetNext(b)->GetInfo().Kind) & DWORD(mask)) != 0) apply(trackPos, blockPos);
            }
        }
    }
    UpdateHint hint;
    hint.Guid = HINT_SELECTION;
    hint.Mask = mask;
    hint.Level = HINT_LEVEL_BLOCK;
    hint.Code = 0;
    if (pair) {
        hint.Track = pair[0];
        hint.Block = pair[1];
    }
    NotifyViews(hint);
    return S_OK;
}

// ------------------------------------------------------------ notifications and messages

void CPhrasorDoc::NotifyViews(const UpdateHint& hint) {
    m_LastHint = hint;
    UpdateAllViews(nullptr, 1, this);
    if (m_HintObserver) m_HintObserver(m_LastHint);
    m_LastHint.Guid = GUID_NULL;
}

void CPhrasorDoc::Notify(const GUID& guid, LONG level, DWORD code, POSITION track, POSITION block, POSITION event,
                         POSITION newTrack, POSITION newBlock, POSITION newEvent) {
    NotifyViews(MakeHint(guid, level, code, track, block, event, newTrack, newBlock, newEvent));
}

UpdateHint CPhrasorDoc::MakeHint(const GUID& guid, LONG level, DWORD code, POSITION track, POSITION block,
                                 POSITION event, POSITION newTrack, POSITION newBlock, POSITION newEvent) {
    UpdateHint hint;
    hint.Guid = guid;
    hint.Level = level;
    hint.Code = code;
    hint.Track = track;
    hint.Block = block;
    hint.Event = event;
    hint.NewTrack = newTrack;
    hint.NewBlock = newBlock;
    hint.NewEvent = newEvent;
    return hint;
}

int CPhrasorDoc::ReportMessage(UINT id, UINT style, WORD /*language*/) {
    const CString text = LoadResourceString(id);
    if (m_CollectMessages) {
        CString kind;
        switch (style & 0xFF) {
            case MB_ICONERROR: kind = "Error"; break;
            case MB_ICONQUESTION:
            case MB_ICONEXCLAMATION:
            case MB_ICONINFORMATION: kind = "Warning"; break;
            default: break;
        }
        try {
            m_MessageLog.AddTail("    " + kind + " : " + text);
        } catch (const std::bad_alloc&) {
            // The line is lost; the message is still shown below.
        }
        m_MessageRecorded = 1;
        if (m_WarningsLogOnly && kind == "Warning") return 0;
    }
    // The engine has no window to put a box over: the program's message box
    // gets the text alone, with an OK button.
    return ShowMessage(text, CString(), MB_OK);
}

void CPhrasorDoc::ClearMessages() {
    m_MessageLog.RemoveAll();
    m_MessageRecorded = 0;
}

void CPhrasorDoc::SetPathName(const CString& path) {
    CSongDocBase::SetPathName(path);
    if (!m_CollectMessages) return;
    CString title = GetTitle();
    title.AppendFormat("  (%d/%d)", m_BatchIndex + 1, m_BatchTotal);
    SetTitle(title);
}

void CPhrasorDoc::SetTempoSettings(LONG mode, LONG fixedTempo, float factor) {
    TempoRule rule;
    rule.Mode = mode;
    rule.FixedTempo = fixedTempo;
    rule.Factor = factor;
    SetTempoRule(rule);
}
