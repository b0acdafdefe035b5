#pragma once
// The song document a conversion works on: the song (tracks, blocks, events),
// its conductor maps, the block and event selections, the undo steps that
// every edit of the song needs, the edit operations themselves, collected
// messages and the document's copies of the application's port maps.
//
// Every edit (tracks, blocks, events) acts only while an undo step is open;
// with none it changes nothing and reports failure. Refused edits say why in
// the edit flags.
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "host/MidiPort.h"
#include "host/PosObj.h"
#include "host/SongDocBase.h"
#include "host/Undo.h"
#include "host/UpdateHint.h"
#include "platform/Com.h"

class CPluginManager;
class CMPEventList;
class CMPTimeInfo;
class CMPClientInfo;
class CMPClientServices;
class CKPSManager;

// What the last load read (written by the SMF reader, read by the writer).
enum : LONG {
    FILE_KIND_NONE = 0,
    FILE_KIND_SMF0 = 1,
    FILE_KIND_SMF1 = 2,
    FILE_KIND_SMF0_ZQ = 3,  // format 0 with the ZQ chunks
};

// Edit flags: pending conductor clean-ups, and why the last edits were refused.
enum : DWORD {
    EDIT_METER_CHANGED = 0x1,
    EDIT_TEMPO_CHANGED = 0x2,
    EDIT_KEY_CHANGED = 0x4,
    EDIT_CONDUCTOR_PENDING = 0x7,
    EDIT_LINKED_BLOCK_REMOVED = 0x100,       // a removed block was shown by link blocks
    EDIT_REFUSED_PROTECTED = 0x20000000,     // protection or the tempo lock
    EDIT_REFUSED_LINK_BLOCK = 0x40000000,    // events of a link block cannot be edited
    EDIT_KEPT_CONDUCTOR_TIME0 = 0x80000000,  // the conductor's time-0 meter or tempo stays
    EDIT_REFUSALS = 0xF0000000,
};

// Flags of InsertBlock and InsertEvent.
enum : DWORD { EDIT_SELECT_NEW = 0x4 };

// Settings of playback and recording that the document keeps but nothing here reads.
struct PlaybackSettings {
    CString MetronomeHigh = "MetroH";
    CString MetronomeLow = "MetroL";
    LONG Tempo1 = TEMPO_DEFAULT;
    LONG Tempo2 = TEMPO_DEFAULT;
    LONG Value12 = 12;
    LONG Value2 = 2;
    LONG Value1 = 1;
    LONG Zeros[4] = {};
};

using CTrackArray = CTypedPtrArray<CObArray, CTrack*>;
using CUndoList = CTypedPtrList<CObList, CUndo*>;
using CRemovedBlockList = CTypedPtrList<CObList, CBlock*>;

class CPhrasorDoc : public CSongDocBase {
    VX_DECLARE_CLASS(CPhrasorDoc)
public:
    CPhrasorDoc();  // constructs and initialises; GetInitFailed tells how that went
    ~CPhrasorDoc() override;
    // A new document, constructed and initialised; null when memory runs out.
    static CPhrasorDoc* CreateObject();

    int GetInitFailed() const { return m_InitFailed; }

    // ------------------------------------------------------------ selections
    // Selects every ordinary block of the first track after the conductor
    // whose channel is the given one; 1, or 0 with nothing selected.
    int SelectChannelTrack(int channel);
    void SelectBlock(POSITION track, POSITION block);
    void SelectEvent(POSITION track, POSITION block, POSITION event);
    int IsBlockSelected(POSITION block) const;
    int IsEventSelected(POSITION event) const;
    int UnselectBlock(POSITION block);
    int UnselectEvent(POSITION event);
    int UnselectEventsOfBlock(POSITION block);  // 1 when there was an entry
    int ClearBlockSelection();  // 1 when there was an entry
    int ClearEventSelection();
    // Move an entry to a new key; a null new track keeps the entry's track.
    int RekeyBlock(POSITION oldBlock, POSITION newTrack, POSITION newBlock);
    int RekeyEvent(POSITION oldEvent, POSITION newEvent);
    int ReplaceTrackInBlocks(POSITION oldTrack, POSITION newTrack);
    int ReplaceTrackInEvents(POSITION oldTrack, POSITION newTrack);
    int ReplaceBlockInEvents(POSITION oldBlock, POSITION newTrack, POSITION newBlock);
    // Selects (mask < 0) or unselects (mask >= 0) the one block of `pair`
    // (track, block), or without a pair every block whose kind shares a bit
    // with the mask; then tells the views. E_INVALIDARG for a pair with a null position.
    HRESULT SelectByKind(LONG mask, const POSITION* pair = nullptr);
    const CPosObj* GetSelectedBlock(POSITION block) const;
    const CPosObj* GetSelectedEvent(POSITION event) const;
    int GetSelectedBlockCount() const { return int(m_SelectedBlocks.size()); }
    int GetSelectedEventCount() const { return int(m_SelectedEvents.size()); }

    // ------------------------------------------------------------ notifications and messages
    void NotifyViews(const UpdateHint& hint);
    const UpdateHint& GetLastHint() const { return m_LastHint; }
    // Sees every hint; no part of the program installs one.
    using HintObserver = std::function<void(const UpdateHint&)>;
    void SetHintObserver(HintObserver observer) { m_HintObserver = std::move(observer); }

    // Shows the message of the string resource (and collects it when asked);
    // the box's answer, or 0 for a warning that is only collected.
    int ReportMessage(UINT id, UINT style, WORD language);
    const CStringList& GetMessageLog() const { return m_MessageLog; }
    int GetMessageRecorded() const { return m_MessageRecorded; }
    void SetCollectMessages(int collect, int warningsLogOnly) {
        m_CollectMessages = collect;
        m_WarningsLogOnly = warningsLogOnly;
    }
    void SetBatch(int index, int total) {
        m_BatchIndex = index;
        m_BatchTotal = total;
    }
    void ClearMessages();
    // The title becomes the file's name, numbered within the batch while messages are collected.
    void SetPathName(const CString& path) override;

    // ------------------------------------------------------------ undo steps
    bool BeginUndoStep(const CString& name);
    void EndUndoStep();
    void ClearUndo();
    bool AddUndoItem(LONG kind, const UndoWords& words);
    void RemapTrackPosition(POSITION from, POSITION to);
    void RemapBlockPosition(POSITION from, POSITION to);
    void RemapEventPosition(POSITION from, POSITION to);
    // Deletes the records from the index to the end.
    void RemoveUndoFrom(int index);

    LONG GetUndoDepth() const { return m_UndoDepth; }
    LONG GetUndoIndex() const { return m_UndoIndex; }
    const CUndoList& GetUndoList() const { return m_UndoList; }
    const CTrackList& GetRemovedTracks() const { return m_RemovedTracks; }
    const CRemovedBlockList& GetRemovedBlocks() const { return m_RemovedBlocks; }
    const CSongEventList& GetRemovedEvents() const { return m_RemovedEvents; }
    DWORD GetEditFlags() const { return m_EditFlags; }

    // ------------------------------------------------------------ track and block edits
    POSITION InsertTrack(const TrackInfo& info);
    int RemoveTrack(POSITION track);
    POSITION MoveTrack(POSITION track, POSITION after);
    POSITION ReplaceTrack(POSITION track, const TrackInfo& info, int full);
    void RenumberTracks();
    POSITION InsertBlock(POSITION track, const BlockInfo& info, int full, DWORD flags);
    int RemoveBlock(POSITION track, POSITION block);
    POSITION MoveBlock(POSITION track, POSITION block, POSITION target, INT64 newStart);
    POSITION ReplaceBlock(POSITION track, POSITION block, const BlockInfo& info, int full);
    int UnlinkBlock(POSITION track, POSITION block);
    int SetBlockEnd(POSITION track, POSITION block, INT64 end);
    int ResizeLinkBlocks(POSITION track, POSITION block, INT64 length);
    int RemoveLinkBlocks(POSITION track, POSITION block, int skipOwnTrack);
    int IsBlockReferenced(POSITION track, POSITION block) const;
    void GrowBlockForEvent(POSITION track, POSITION block, CBlock* blockObject, const CSongEvent* event);
    void FixClipBlockEnd(POSITION track, POSITION block);
    int TrackIndex(POSITION track) const;                  // -1 when absent
    int BlockIndex(POSITION track, POSITION block) const;  // -1 when absent

    // ------------------------------------------------------------ the whole song
    // Installs the tracks (taken out of the array) as the song; 0 after a
    // failure, with the default song in place.
    int ReplaceSong(CTrackArray& tracks);
    int MakeDefaultSong();
    void InitSettings();
    LONG EffectiveTempo(LONG tempo) const { return CSongDocBase::EffectiveTempo(tempo); }

    // ------------------------------------------------------------ event edits
    POSITION InsertEvent(POSITION track, POSITION block, const SongEventInfo& info, int resetExtended, DWORD flags);
    int RemoveEvent(POSITION track, POSITION block, POSITION event, int force);
    POSITION ReplaceEvent(POSITION track, POSITION block, POSITION event, const SongEventInfo& info, int resetExtended);
    int NormalizeMeters();
    int RemoveDuplicateTempos(int direct);

    // ------------------------------------------------------------ event readers
    // The info is a shallow copy: Bytes points at the event's own data.
    bool GetEventInfo(POSITION track, POSITION block, POSITION event, SongEventInfo* out, int absolute) const;
    // Head and tail of a block's events; for a link block those of the block it shows.
    POSITION FirstEventPosition(POSITION track, POSITION block) const;
    POSITION LastEventPosition(POSITION track, POSITION block) const;
    // Read the event at *pos and step to the following (preceding) one.
    bool ReadNextEvent(POSITION track, POSITION block, POSITION* pos, SongEventInfo* out, int absolute) const;
    bool ReadPrevEvent(POSITION track, POSITION block, POSITION* pos, SongEventInfo* out, int absolute) const;

    // ------------------------------------------------------------ settings and members
    LONG GetFileKind() const { return m_FileKind; }
    void SetFileKind(LONG kind) { m_FileKind = kind; }
    int GetModified() const { return m_Modified; }
    LONG GetBlockNameCounter() const { return m_BlockNameCounter; }
    POSITION GetCurrentTrack() const { return m_CurrentTrack; }
    LONG GetProtectMode() const { return m_ProtectMode; }
    void SetProtectMode(LONG mode) { m_ProtectMode = mode; }
    LONG GetTempoLocked() const { return m_TempoLocked; }
    void SetTempoLocked(LONG locked) { m_TempoLocked = locked; }
    LONG GetTempoMode() const { return GetTempoRule().Mode; }
    LONG GetFixedTempo() const { return GetTempoRule().FixedTempo; }
    float GetTempoFactor() const { return GetTempoRule().Factor; }
    void SetTempoSettings(LONG mode, LONG fixedTempo, float factor);
    const PlaybackSettings& GetPlaybackSettings() const { return m_Playback; }

    const CMidiPortMap* GetOutputPortMap() const { return m_pOutputPortMap.get(); }
    const CMidiPortMap* GetInputPortMap() const { return m_pInputPortMap.get(); }
    const CMapPtrToWord& GetOutputPortIndex() const { return m_OutputPortIndex; }
    const VxMap<WORD, const CMidiPort*>& GetInputPortIndex() const { return m_InputPortIndex; }

    // The host interface (owned): made when the document is initialised; a
    // part that could not be made stays null and counts in GetInitFailed.
    CPluginManager* GetPluginManager() const { return m_pPluginManager; }
    CKPSManager* GetHostInterface() const { return m_pHostInterface; }

    // ------------------------------------------------------------ room before the first note
    // After a channel was written back: makes sure the last set-up event
    // before the converted block's first note lies far enough before it
    // (`multiplier` song ticks per engine tick; a system-on exclusive needs
    // 50 ms plus 25 engine ticks), moving the set-up run earlier or pushing
    // the song later bar by bar. Opens its own undo step, so it works with
    // or without the exclusive song lock held.
    void MakeRoomBeforeFirstNote(POSITION track, POSITION block, INT64 firstNoteTime, LONG multiplier);
    // Absolute time of the block's first note (kind 64), SONG_TIME_ABSENT when there is none.
    INT64 FirstNoteTime(POSITION track, POSITION block) const;
    // The last event other than a note at or before the time; false when there is none.
    bool FindSetupEvent(POSITION track, POSITION block, INT64 time, SongEventInfo* info, POSITION* pos) const;
    // Where the run of set-up events ending at `setup` begins, when it can move `distance` earlier.
    bool FindMovableGroup(POSITION track, POSITION block, POSITION setup, INT64 distance, POSITION* start) const;
    // Moves the set-up events from start through end `distance` earlier; the
    // block's position afterwards (it moves when its start had to become 0),
    // null for a block that is not in the song.
    POSITION MoveEventsEarlier(POSITION track, POSITION block, INT64 distance, POSITION start, POSITION end);
    // Pushes the block's notes, and its other events from `time` on, one bar
    // later; the time one bar later, or `time` when nothing could move.
    INT64 ShiftBlockToNextBar(POSITION track, POSITION block, INT64 time);
    // Pushes the music of every other block `shift` later; the earliest first-note time found.
    INT64 ShiftOtherTracks(POSITION track, POSITION block, INT64 shift);
    // Pushes the conductor's events from `from` on `shift` later (its time-0 meter, key and tempo stay).
    void ShiftConductor(INT64 from, INT64 shift);

private:
    enum class ConductorEvent { None, Meter, Tempo, Key };

    int Initialize();
    bool CreateHostInterface();
    void DeleteHostInterface();
    // Removes the events and inserts them again `shift` later, in their order; false when an edit failed.
    bool ShiftEvents(POSITION track, POSITION block, const std::vector<POSITION>& events, INT64 shift);
    void CopyPortMaps(bool* failed);
    void ResetSong();
    void RunConductorCleanUp();
    // Memory ran out while recording: the history goes, the maps follow the song.
    void AbandonUndoHistory();
    void DropLastUndoItem();
    CUndo* CurrentUndo() const;

    bool CanEdit() const { return m_UndoDepth > 0; }
    void Refuse(DWORD why) { m_EditFlags |= why; }
    CTrack* TrackAt(POSITION track) const;
    CBlock* BlockAt(POSITION track, POSITION block) const;
    bool IsConductor(POSITION track) const;
    // The ordinary block a link block may show at (refTrack, refBlock); null when missing.
    CBlock* ShownBlock(POSITION refTrack, POSITION refBlock) const;
    // The block whose events the block at (track, block) shows: itself, or
    // the block a link block refers to; *start gets the given block's start.
    const CBlock* EventBlockOf(POSITION track, POSITION block, INT64* start) const;
    bool IsTrackGuarded(LONG trackKind) const;
    POSITION MoveTrackToIndex(POSITION track, int index);
    int DetachBlock(POSITION track, CTrack* owner, POSITION block, CBlock* object);
    void FollowTrack(POSITION from, POSITION to);
    void FollowBlock(POSITION fromTrack, POSITION fromBlock, POSITION toTrack, POSITION toBlock);
    void Notify(const GUID& guid, LONG level, DWORD code, POSITION track, POSITION block = nullptr,
                POSITION event = nullptr, POSITION newTrack = nullptr, POSITION newBlock = nullptr,
                POSITION newEvent = nullptr);
    static UpdateHint MakeHint(const GUID& guid, LONG level, DWORD code, POSITION track, POSITION block = nullptr,
                               POSITION event = nullptr, POSITION newTrack = nullptr, POSITION newBlock = nullptr,
                               POSITION newEvent = nullptr);
    ConductorEvent ConductorKindOf(POSITION track, const SongEventInfo& info) const;
    void MarkConductorChange(ConductorEvent kind);
    static const GUID& HintGuidOf(ConductorEvent kind);
    bool ReadEvent(POSITION track, POSITION block, POSITION* pos, SongEventInfo* out, int absolute, bool forward) const;

    // Messages.
    CStringList m_MessageLog;
    int m_MessageRecorded = 0;
    int m_CollectMessages = 0;
    int m_WarningsLogOnly = 0;
    int m_BatchTotal = 0;
    int m_BatchIndex = 0;
    int m_InitFailed = 0;

    int m_Modified = 0;

    // Host interface (owned; made by the host services' set-up).
    CPluginManager* m_pPluginManager = nullptr;
    CMPEventList* m_pEventListPart = nullptr;
    CMPTimeInfo* m_pTimeInfoPart = nullptr;
    CMPClientInfo* m_pClientInfoPart = nullptr;
    CMPClientServices* m_pClientServicesPart = nullptr;
    CKPSManager* m_pHostInterface = nullptr;

    // Undo.
    LONG m_UndoDepth = 0;  // 0: no step open
    LONG m_UndoIndex = -1;
    CUndoList m_UndoList;               // owns its records
    CTrackList m_RemovedTracks;         // owned until the history is cleared
    CRemovedBlockList m_RemovedBlocks;  // owned until the history is cleared
    CSongEventList m_RemovedEvents;     // owned until the history is cleared
    DWORD m_EditFlags = 0;

    UpdateHint m_LastHint;
    HintObserver m_HintObserver;
    LONG m_FileKind = FILE_KIND_NONE;

    // Settings.
    LONG m_BlockNameCounter = 1;
    POSITION m_CurrentTrack = nullptr;
    LONG m_ProtectMode = 0;
    LONG m_TempoLocked = 0;
    PlaybackSettings m_Playback;

    std::map<POSITION, std::unique_ptr<CPosObj>> m_SelectedBlocks;  // keyed by block
    std::map<POSITION, std::unique_ptr<CPosObj>> m_SelectedEvents;  // keyed by event

    std::unique_ptr<CMidiPortMap> m_pOutputPortMap;
    std::unique_ptr<CMidiPortMap> m_pInputPortMap;
    CMapPtrToWord m_OutputPortIndex;                 // usable output port -> its number
    VxMap<WORD, const CMidiPort*> m_InputPortIndex;  // number -> usable input port
};
