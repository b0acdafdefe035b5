#pragma once
// A track of the song: its record and its blocks ordered by start.
#include "host/Block.h"

enum : LONG {
    TRACK_KIND_MIDI = 2,
    TRACK_KIND_CLIP = 4,
};

// Track fields that are copied only by a full copy and not interpreted here.
struct TrackExtInfo {
    LONG Ext1 = 0;
    LONG Ext2 = 0;
    LONG Ext3 = 0;
    LONG SubValue1 = 0;
    LONG SubValue2 = 0;
    CString SubText;
    LONG SubValue3 = 0;
    BYTE SubId[16] = {};
    INT64 Ext64 = 0x00200040;
    LONG Ext4 = 0;
};

struct TrackInfo {
    LONG Kind = TRACK_KIND_MIDI;
    LONG Port = 1;
    LONG Channel = 0;
    LONG Reserved2 = 0;
    LONG Transpose = 0;    // semitones added to the notes' keys when the song is written out
    LONG StateFlag1 = 0;
    LONG StateFlag2 = 0;   // a track with it set is left out of the SMF output
    LONG Number = 0;       // index in the track list; 0 is the conductor track
    CString Name;
    LONG Transposable = 1; // Transpose applies only when set
    TrackExtInfo Ext;
};

using CBlockList = CTypedPtrList<CObList, CBlock*>;

class CTrack : public CObject {
    VX_DECLARE_CLASS(CTrack)
public:
    CTrack() = default;
    explicit CTrack(CSongDocBase* doc) : m_pDoc(doc) {}
    ~CTrack() override;  // deletes its blocks
    CTrack(const CTrack&) = delete;
    CTrack& operator=(const CTrack&) = delete;

    CSongDocBase* GetDoc() const { return m_pDoc; }
    void SetDoc(CSongDocBase* doc) { m_pDoc = doc; }
    const TrackInfo& GetInfo() const { return m_Info; }
    // Copies Kind through Number and Name; with `full` also Transposable and
    // the extended fields. Returns 1.
    int SetInfo(const TrackInfo& info, int full);
    // Only the index in the track list (what SetInfo with a copy whose
    // Number differs would do, without copying the texts).
    void SetNumber(LONG number);

    const CBlockList& GetBlockList() const { return m_BlockList; }
    int GetBlockCount() const { return m_BlockList.GetCount(); }

    // Inserts after the last block whose Start is not later, so blocks of
    // equal start keep their order of insertion. Null for a null block or no
    // memory; the block then stays the caller's.
    POSITION AddBlock(CBlock* block);
    POSITION AddBlockHead(CBlock* block);
    POSITION InsertBlockAfter(POSITION after, CBlock* block);
    // Takes the block out of the list without deleting it; 0 for a null position.
    int RemoveBlock(POSITION pos);
    void DeleteAllBlocks();
    // A new block bound to the track's document, not yet in the list (the caller owns it).
    int NewBlock(CBlock** block);

    // The record's fields in declaration order, then the blocks. A load that
    // runs short fails the archive and leaves the track as it was.
    void Serialize(CArchive& ar) override;

private:
    void Store(CArchive& ar) const;
    void Load(CArchive& ar);

    CSongDocBase* m_pDoc = nullptr;  // not owned
    TrackInfo m_Info;
    CBlockList m_BlockList;  // owns its blocks
};
