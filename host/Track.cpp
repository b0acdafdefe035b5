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

CTrack::~CTrack() {
    // Nothing else can reach a track being destroyed: its blocks go without
    // the document's list section (whose holder, when there is one, is the
    // caller that took the track out of the song).
    while (!m_BlockList.IsEmpty()) delete m_BlockList.RemoveHead();
}

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

void CTrack::SetNumber(LONG number) {
    CSingleLock lock(ListSectionOf(m_pDoc), true);
    m_Info.Number = number;
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

namespace {

// The words of the record and of its extended fields, in declaration order
// (the texts, the identifier and the 64-bit word between them are written
// where they stand).
constexpr LONG TrackInfo::*kTrackWords[] = {&TrackInfo::Kind,       &TrackInfo::Port,       &TrackInfo::Channel,
                                            &TrackInfo::Reserved2,  &TrackInfo::Transpose,  &TrackInfo::StateFlag1,
                                            &TrackInfo::StateFlag2, &TrackInfo::Number};
constexpr LONG TrackExtInfo::*kExtWords[] = {&TrackExtInfo::Ext1, &TrackExtInfo::Ext2, &TrackExtInfo::Ext3,
                                             &TrackExtInfo::SubValue1, &TrackExtInfo::SubValue2};

}  // namespace

void CTrack::Store(CArchive& ar) const {
    const TrackInfo& i = m_Info;
    for (auto word : kTrackWords) ar.WriteLONG(i.*word);
    ar.WriteString(i.Name);
    ar.WriteLONG(i.Transposable);
    const TrackExtInfo& e = i.Ext;
    for (auto word : kExtWords) ar.WriteLONG(e.*word);
    ar.WriteString(e.SubText);
    ar.WriteLONG(e.SubValue3);
    ar.Write(e.SubId, sizeof e.SubId);
    ar.WriteQWORD(uint64_t(e.Ext64));
    ar.WriteLONG(e.Ext4);
    ar.WriteDWORD(DWORD(m_BlockList.GetCount()));
    for (POSITION pos = m_BlockList.GetHeadPosition(); pos;) m_BlockList.GetNext(pos)->Serialize(ar);
}

void CTrack::Load(CArchive& ar) {
    TrackInfo info;
    TrackExtInfo& e = info.Ext;
    DWORD count = 0;
    uint64_t ext64 = 0;
    bool ok = true;
    for (auto word : kTrackWords) ok = ok && ar.ReadLONG(info.*word);
    ok = ok && ar.ReadString(info.Name) && ar.ReadLONG(info.Transposable);
    for (auto word : kExtWords) ok = ok && ar.ReadLONG(e.*word);
    ok = ok && ar.ReadString(e.SubText) && ar.ReadLONG(e.SubValue3) && ar.Read(e.SubId, sizeof e.SubId) &&
         ar.ReadQWORD(ext64) && ar.ReadLONG(e.Ext4) && ar.ReadDWORD(count);
    e.Ext64 = INT64(ext64);
    std::vector<std::unique_ptr<CBlock>> blocks;
    ok = ok && ReadObjects(ar, count, blocks, [this] { return std::make_unique<CBlock>(m_pDoc); });
    if (!ok) {
        ar.SetFailed();
        return;
    }

    DeleteAllBlocks();
    SetInfo(info, 1);
    if (!AdoptAll(blocks, [this](CBlock* b) { return AddBlock(b) != nullptr; })) ar.SetFailed();
}

void CTrack::Serialize(CArchive& ar) {
    StoreOrLoad(ar, [&] { Store(ar); }, [&] { Load(ar); });
}
