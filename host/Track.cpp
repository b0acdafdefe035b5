#include "host/Track.h"

#include <memory>
#include <new>
#include <vector>

#include "host/SongDocBase.h"
#include "platform/Archive.h"
#include "platform/Sync.h"

VX_IMPLEMENT_CLASS(CTrack, CObject);

namespace {

CCriticalSection* ListSectionOf(CSongDocBase* doc) { return doc ? &doc->GetListSection() : nullptr; }

}  // namespace

CTrack::~CTrack() { DeleteAllBlocks(); }

int CTrack::SetInfo(const TrackInfo& info, int full) {
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    m_Info.Kind = info.Kind;
    m_Info.Port = info.Port;
    m_Info.Channel = info.Channel;
    m_Info.Reserved2 = info.Reserved2;
    m_Info.Transpose = info.Transpose;
    m_Info.StateFlag1 = info.StateFlag1;
    m_Info.StateFlag2 = info.StateFlag2;
    m_Info.Number = info.Number;
    m_Info.Name = info.Name;
    if (full) {
        m_Info.Transposable = info.Transposable;
        m_Info.Ext = info.Ext;
    }
    return 1;
}

POSITION CTrack::AddBlock(CBlock* block) {
    if (!block) return nullptr;
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    const INT64 start = block->GetInfo().Start;
    POSITION pos = m_BlockList.GetTailPosition();
    try {
        while (pos) {
            POSITION at = pos;
            if (m_BlockList.GetPrev(pos)->GetInfo().Start <= start) return m_BlockList.InsertAfter(at, block);
        }
        return m_BlockList.AddHead(block);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

POSITION CTrack::AddBlockHead(CBlock* block) {
    if (!block) return nullptr;
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    try {
        return m_BlockList.AddHead(block);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

POSITION CTrack::InsertBlockAfter(POSITION after, CBlock* block) {
    if (!block) return nullptr;
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    try {
        return m_BlockList.InsertAfter(after, block);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int CTrack::RemoveBlock(POSITION pos) {
    if (!pos) return 0;
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    m_BlockList.RemoveAt(pos);
    return 1;
}

void CTrack::DeleteAllBlocks() {
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    while (!m_BlockList.IsEmpty()) delete m_BlockList.RemoveHead();
}

int CTrack::NewBlock(CBlock** block) {
    if (!block) return 0;
    *block = new (std::nothrow) CBlock(m_pDoc);
    return *block ? 1 : 0;
}

// ------------------------------------------------------------ archive

void CTrack::Store(CArchive& ar) const {
    const TrackInfo& i = m_Info;
    for (LONG word : {i.Kind, i.Port, i.Channel, i.Reserved2, i.Transpose, i.StateFlag1, i.StateFlag2, i.Number})
        ar.WriteDWORD(DWORD(word));
    ar.WriteString(i.Name);
    ar.WriteDWORD(DWORD(i.Transposable));
    const TrackExtInfo& e = i.Ext;
    for (LONG word : {e.Ext1, e.Ext2, e.Ext3, e.SubValue1, e.SubValue2}) ar.WriteDWORD(DWORD(word));
    ar.WriteString(e.SubText);
    ar.WriteDWORD(DWORD(e.SubValue3));
    ar.Write(e.SubId, sizeof e.SubId);
    ar.WriteQWORD(uint64_t(e.Ext64));
    ar.WriteDWORD(DWORD(e.Ext4));
    ar.WriteDWORD(DWORD(m_BlockList.GetCount()));
    for (POSITION pos = m_BlockList.GetHeadPosition(); pos;) m_BlockList.GetNext(pos)->Serialize(ar);
}

void CTrack::Load(CArchive& ar) {
    TrackInfo info;
    TrackExtInfo& e = info.Ext;
    DWORD words[8] = {}, transposable = 0, ext[5] = {}, subValue3 = 0, ext4 = 0, count = 0;
    uint64_t ext64 = 0;
    bool ok = true;
    for (DWORD& word : words) ok = ok && ar.ReadDWORD(word);
    ok = ok && ar.ReadString(info.Name) && ar.ReadDWORD(transposable);
    for (DWORD& word : ext) ok = ok && ar.ReadDWORD(word);
    ok = ok && ar.ReadString(e.SubText) && ar.ReadDWORD(subValue3) && ar.Read(e.SubId, sizeof e.SubId) &&
         ar.ReadQWORD(ext64) && ar.ReadDWORD(ext4) && ar.ReadDWORD(count);
    info.Kind = LONG(words[0]);
    info.Port = LONG(words[1]);
    info.Channel = LONG(words[2]);
    info.Reserved2 = LONG(words[3]);
    info.Transpose = LONG(words[4]);
    info.StateFlag1 = LONG(words[5]);
    info.StateFlag2 = LONG(words[6]);
    info.Number = LONG(words[7]);
    info.Transposable = LONG(transposable);
    e.Ext1 = LONG(ext[0]);
    e.Ext2 = LONG(ext[1]);
    e.Ext3 = LONG(ext[2]);
    e.SubValue1 = LONG(ext[3]);
    e.SubValue2 = LONG(ext[4]);
    e.SubValue3 = LONG(subValue3);
    e.Ext64 = INT64(ext64);
    e.Ext4 = LONG(ext4);
    // Each block is read before the next is made, so a count larger than
    // the archive ends with the first block that is not there.
    std::vector<std::unique_ptr<CBlock>> blocks;
    for (DWORD i = 0; ok && i < count; ++i) {
        blocks.push_back(std::make_unique<CBlock>(m_pDoc));
        blocks.back()->Serialize(ar);
        ok = !ar.IsFailed();
    }
    if (!ok) {
        ar.SetFailed();
        return;
    }

    DeleteAllBlocks();
    SetInfo(info, 1);
    for (auto& block : blocks) {
        if (!AddBlock(block.get())) {
            ar.SetFailed();
            return;
        }
        block.release();
    }
}

void CTrack::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        Store(ar);
        return;
    }
    try {
        Load(ar);
    } catch (const std::bad_alloc&) {
        ar.SetFailed();
    }
}
