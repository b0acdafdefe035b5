// The whole song at once: installing a freshly read song, the default song
// and the document's settings. None of these is an edit of the song the user
// made, so none of them needs or records an undo step.
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "host/PhrasorDoc.h"

namespace {

constexpr int DEFAULT_CLIP_TRACKS = 8;
constexpr int MIDI_CHANNELS = 16;
constexpr LONG DRUM_CHANNEL = 9;

// A conductor event at time 0 with the given meta bytes; throws when memory runs out.
CSongEvent* NewMetaEvent(std::vector<BYTE> data) {
    std::unique_ptr<CSongEvent> event(new CSongEvent());
    SongEventInfo info;
    info.Kind = MPEVENT_KIND_META;
    info.Length = DWORD(data.size());
    info.Bytes = data.data();
    if (!event->SetInfo(info, 0)) throw std::bad_alloc();
    return event.release();
}

}  // namespace

int CPhrasorDoc::ReplaceSong(CTrackArray& tracks) {
    // Every undo item names tracks, blocks and events of the song that is
    // about to go: the history goes with it, or the items would point at
    // freed list nodes and the side lists would only grow.
    ClearUndo();
    ClearBlockSelection();
    ClearEventSelection();
    m_CurrentTrack = nullptr;
    DeleteAllTracks();

    for (int i = 0; i < tracks.GetSize(); ++i) {
        CTrack* track = tracks.GetAt(i);
        if (!track) continue;
        try {
            m_TrackList.AddTail(track);
        } catch (const std::bad_alloc&) {
            ResetSong();
            return 0;
        }
        tracks.SetAt(i, nullptr);
    }
    RemoveDuplicateTempos(1);

    for (POSITION t = m_TrackList.GetHeadPosition(); t;) {
        CTrack* track = m_TrackList.GetNext(t);
        track->SetDoc(this);
        const CBlockList& blocks = track->GetBlockList();
        for (POSITION b = blocks.GetHeadPosition(); b;) {
            CBlock* block = blocks.GetNext(b);
            block->SetDoc(this);
            if (!block->IsLink()) continue;
            // The reader names the shown block's track by its index; an
            // archived block names the shown block by its index in that track too.
            BlockInfo info = block->GetInfo();
            const uintptr_t index = reinterpret_cast<uintptr_t>(info.RefTrack);
            info.RefTrack = index <= uintptr_t(INT32_MAX) ? m_TrackList.FindIndex(int(index)) : nullptr;
            const uintptr_t blockIndex = reinterpret_cast<uintptr_t>(info.RefBlock);
            if (!info.RefTrack) {
                info.RefBlock = nullptr;
            } else if (!BlockAt(info.RefTrack, info.RefBlock) && blockIndex <= uintptr_t(INT32_MAX)) {
                info.RefBlock = m_TrackList.GetAt(info.RefTrack)->GetBlockList().FindIndex(int(blockIndex));
            }
            block->SetInfo(info, 1);
        }
    }
    RenumberTracks();
    RebuildMeterMap();
    RebuildTempoMap();
    RebuildKeySigMap();
    ClearBlockSelection();
    ClearEventSelection();
    return 1;
}

int CPhrasorDoc::MakeDefaultSong() {
    // The song before any file is read: built whole, outside any undo step.
    DeleteAllTracks();
    m_CurrentTrack = nullptr;
    try {
        std::unique_ptr<CTrack> conductor(new CTrack(this));
        std::unique_ptr<CBlock> block(new CBlock(this));
        // 4/4 (24 clocks per click, 8 thirty-seconds per quarter) and 500000 microseconds per quarter.
        for (const std::vector<BYTE>& bytes : {std::vector<BYTE>{0x58, 0x04, 0x02, 0x18, 0x08},
                                              std::vector<BYTE>{0x51, 0x07, 0xA1, 0x20}}) {
            std::unique_ptr<CSongEvent> event(NewMetaEvent(bytes));
            if (!block->InsertEvent(event.get())) return 0;
            event.release();
        }
        if (!conductor->AddBlock(block.get())) return 0;
        block.release();
        m_TrackList.AddTail(conductor.get());
        conductor.release();

        for (LONG channel = 0; channel < DEFAULT_CLIP_TRACKS; ++channel) {
            std::unique_ptr<CTrack> clip(new CTrack(this));
            TrackInfo info;
            info.Kind = TRACK_KIND_CLIP;
            info.Channel = channel;
            clip->SetInfo(info, 0);
            m_TrackList.AddTail(clip.get());
            clip.release();
        }

        const LONG port = m_pOutputPortMap ? m_pOutputPortMap->GetPortNumber(0, 1) : 0;
        for (LONG channel = 0; channel < MIDI_CHANNELS; ++channel) {
            std::unique_ptr<CTrack> midi(new CTrack(this));
            TrackInfo info;
            info.Kind = TRACK_KIND_MIDI;
            info.Channel = channel;
            info.Port = port;
            info.Transposable = channel == DRUM_CHANNEL ? 0 : 1;
            midi->SetInfo(info, 1);
            m_TrackList.AddTail(midi.get());
            midi.release();
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
    RenumberTracks();
    return 1;
}

void CPhrasorDoc::InitSettings() {
    m_Modified = 0;
    m_EditFlags = 0;
    m_BlockNameCounter = 1;
    m_CurrentTrack = nullptr;
    m_ProtectMode = 0;
    m_TempoLocked = 0;
    SetTempoSettings(TEMPO_MODE_AS_IS, TEMPO_DEFAULT, 1.0f);
    m_Playback = PlaybackSettings();
}
