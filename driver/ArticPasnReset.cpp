// The part assignment's ports and channels: the resets and searches of the
// records, which read the song through the song bridge. They belong to the
// driver library (the records themselves sit below the engine).
#include "services/ArticArrayCh.h"
#include "driver/ArticEditorUtil.h"
#include "driver/ArticHostWalk.h"
#include "services/ArticPasn.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkTrk.h"

namespace {

constexpr DWORD kPasnChannels = 16;
constexpr DWORD kPasnDrumCh = 9;  // MIDI channel 10 is never handed out

CArticWrkTrk* PasnTrkOf(const CArticWrkBlk* blk) { return blk ? blk->GetOwner() : nullptr; }

// Gives the block's track the port and channel (never the master track's).
void PasnSetTrk(CArticWrkBlk* blk, DWORD port, DWORD ch) {
    CArticWrkTrk* trk = PasnTrkOf(blk);
    if (!trk || trk->GetTrkNo() == 0) return;
    trk->SetPort(port);
    trk->SetCh(ch);
}

bool PasnHas(const CArticArrayCh* table, DWORD key) { return table && table->SearchOrigiCh(key) >= 0; }

// The block of the same track and block numbers in the work data; null when none.
CArticWrkBlk* PasnCounterpart(CArticWrk* wrk, CArticWrkBlk* blk) {
    CArticWrkTrk* trk = PasnTrkOf(blk);
    CArticWrkTrk* twin = trk && wrk ? wrk->Get(ULONG(trk->GetTrkNo())) : nullptr;
    return twin ? twin->Get(ULONG(blk->GetBlkNo())) : nullptr;
}

// Maps a block into the work data: true when it is there already or was found.
bool PasnReLink(CArticWrk* wrk, CArticWrkBlk*& blk) {
    if (!blk || blk->GetWrk() == wrk) return true;
    CArticWrkBlk* twin = PasnCounterpart(wrk, blk);
    if (!twin) return false;
    blk = twin;
    return true;
}

}  // namespace

// ---------------------------------------------------------------- record searches

DWORD CArticPasnData::GetPortFromPortID(DWORD portId) const {
    return m_pOwner ? m_pOwner->GetPortFromPortID(portId) : 0;
}

int CArticPasnData::GetEmptyPortChBy(CArticWrkTrk* trk, DWORD portCount, DWORD* port, DWORD* ch,
                                     bool written) const {
    CKPSManager* host = m_pOwner ? m_pOwner->GetCEditor() : nullptr;
    CArticWrk* wrk = trk ? trk->GetOwner() : nullptr;
    if (!host || !wrk || !port || !ch) return 0;
    // Free: no track of the work data has it and the song holds nothing on it.
    auto freeOn = [&](DWORD p) {
        for (DWORD c = 0; c < kPasnChannels; ++c) {
            if (c == kPasnDrumCh || wrk->UsedPortCh(p, c)) continue;
            const int inSong = written ? CArticEditorUtil::EvntsOnPortCh2(host, p, c)
                                       : CArticEditorUtil::EvntsOnPortCh(host, p, c);
            if (inSong) continue;
            *port = p;
            *ch = c;
            return true;
        }
        return false;
    };
    const DWORD first = *port;
    if (freeOn(first)) return 1;
    for (DWORD p = 0; p < portCount; ++p)
        if (p != first && freeOn(p)) return 1;
    return 0;
}

int CArticPasnData::GetEmptyPortCh(CArticWrkTrk* trk, DWORD portCount, DWORD* port, DWORD* ch) const {
    return GetEmptyPortChBy(trk, portCount, port, ch, false);
}

int CArticPasnData::GetEmptyPortCh2(CArticWrkTrk* trk, DWORD portCount, DWORD* port, DWORD* ch) const {
    return GetEmptyPortChBy(trk, portCount, port, ch, true);
}

int CArticPasnData::GetEmptyPortChLayer(CArticWrkTrk* trk, CArticWrkBlk* blk, DWORD* port, DWORD* ch,
                                        const CArticArrayCh* voice, const CArticArrayCh* used,
                                        CArticArrayCh* assigned, BYTE msb, BYTE lsb, BYTE pro) const {
    if (!trk || !blk || !port || !ch || !assigned) return 0;
    // A channel that holds notes of the song belongs to its part: a string or
    // a layer never plays there (it would sound with that part's controllers
    // and bends, and change them). A channel taken for its voice may hold the
    // song's set-up; one that needs its voice set must hold nothing (the
    // song's own program or volume there could come after ours).
    CKPSManager* host = m_pOwner ? m_pOwner->GetCEditor() : nullptr;
    auto holdsNotes = [host](DWORD p, DWORD c) { return host && CArticEditorUtil::NotesOnPortCh(host, p, c); };
    auto holdsEvnts = [host](DWORD p, DWORD c) { return host && CArticEditorUtil::EvntsOnPortCh(host, p, c); };
    // A song channel that already plays the voice and is not yet taken.
    for (int i = 0; voice && i < voice->GetOrigiChNum(); ++i) {
        const CArrayChInfo* info = voice->GetOrigiChInfo(i);
        if (!info || info->GetBSelMsb() != msb || info->GetBSelLsb() != lsb || info->GetProNo() != pro) continue;
        const DWORD key = info->GetKey();
        *port = key >> 8;
        if ((key & 0xFF) == kPasnDrumCh || PasnHas(assigned, key) || holdsNotes(key >> 8, key & 0xFF)) continue;
        assigned->UpdateOrigiCh(key);
        *ch = key & 0xFF;
        blk->SetOutVceSet(0);
        return 1;
    }
    // Else a channel of the port nobody uses; it needs its voice set.
    blk->SetOutVceSet(1);
    for (DWORD c = 0; c < kPasnChannels; ++c) {
        const DWORD key = CArticArrayCh::MakeKey(*port, c);
        if (c == kPasnDrumCh || PasnHas(used, key) || PasnHas(assigned, key) || holdsEvnts(*port, c)) continue;
        assigned->UpdateOrigiCh(key);
        *ch = c;
        return 1;
    }
    return 0;
}

int CArticPasnData::GetEmptyPortCh(CArticWrkTrk* trk, CArticWrkBlk* blk, DWORD* port, DWORD* ch,
                                   const CArticArrayCh* voice, const CArticArrayCh* source,
                                   const CArticArrayCh* used, CArticArrayCh* assigned) const {
    if (!blk) return 0;
    // The block's own voice when it carries one (a fresh block holds 0/0/0),
    // else the voice of the converted channel.
    BYTE msb = blk->GetBSelMsb(), lsb = blk->GetBSelLsb(), pro = blk->GetProNo();
    if (!msb && !lsb && !pro) {
        if (const CArrayChInfo* first = voice ? voice->GetOrigiChInfo(0) : nullptr) {
            msb = first->GetBSelMsb();
            lsb = first->GetBSelLsb();
            pro = first->GetProNo();
        }
    }
    return GetEmptyPortChLayer(trk, blk, port, ch, source, used, assigned, msb, lsb, pro);
}

int CArticPasnData::ReLinkWrkBlk(CArticWrk* wrk) {
    if (!wrk) return 1;
    for (ULONG i = 0; i < m_BlkNum; ++i) {
        CArticWrkBlk* blk = m_Blks.GetAt(int(i));
        if (!PasnReLink(wrk, blk)) return 1;
        m_Blks.SetAt(int(i), blk);
    }
    return 0;
}

// ---------------------------------------------------------------- record resets

int CArticPasnData::ResetAllFrom(ULONG from, DWORD port, DWORD ch) {
    for (ULONG i = from; i < m_BlkNum; ++i) PasnSetTrk(Get(i), port, ch);
    return 0;
}

int CArticPasnData::ResetAll(DWORD port, DWORD ch) { return ResetAllFrom(1, port, ch); }

int CArticPasnData::ResetOrig(DWORD port, DWORD ch) {
    CArticWrkBlk* blk = Get(ULONG(0));
    CArticWrkTrk* trk = PasnTrkOf(blk);
    if (!trk) return 1;
    CKPSManager* host = m_pOwner ? m_pOwner->GetCEditor() : nullptr;
    _MPTRACKINFO rec{};
    if (trk->GetOrgTrkID() && host && CArticHostWalk::GetTrk(host, trk->GetOrgTrkID(), &rec) == 0) {
        CArticHostWalk::FreeMem(rec);
        PasnSetTrk(blk, GetPortFromPortID(DWORD(rec.Port)), DWORD(rec.Channel));
        return 0;
    }
    PasnSetTrk(blk, port, ch);
    return 0;
}

int CArticPasnData::ResetSeqAllFrom(ULONG from, DWORD portCount, DWORD port, DWORD ch, bool written) {
    for (ULONG i = from; i < m_BlkNum; ++i) {
        CArticWrkBlk* blk = Get(i);
        CArticWrkTrk* trk = PasnTrkOf(blk);
        if (!trk) continue;
        DWORD p = port, c = ch;
        if (!GetEmptyPortChBy(trk, portCount, &p, &c, written)) {
            p = port;
            c = ch;
        }
        PasnSetTrk(blk, p, c);
    }
    return 0;
}

int CArticPasnData::ResetSeqAll(DWORD portCount, DWORD port, DWORD ch) {
    return ResetSeqAllFrom(1, portCount, port, ch, false);
}

int CArticPasnData::ResetSeqAll2(DWORD portCount, DWORD port, DWORD ch) {
    return ResetSeqAllFrom(1, portCount, port, ch, true);
}

int CArticPasnData::ResetSeqAllFrom(ULONG from, DWORD port, DWORD ch, const CArticArrayCh* source,
                                    const CArticArrayCh* used, const CArticArrayCh* voice, CArticArrayCh* assigned) {
    if (!assigned) return 1;
    for (ULONG i = from; i < m_BlkNum; ++i) {
        CArticWrkBlk* blk = Get(i);
        CArticWrkTrk* trk = PasnTrkOf(blk);
        if (!trk) continue;
        DWORD p = port, c = ch;
        if (GetEmptyPortCh(trk, blk, &p, &c, voice, source, used, assigned)) {
            blk->SetOutVceSet(1);
        } else {
            p = port;
            c = ch;
            assigned->UpdateOrigiCh(CArticArrayCh::MakeKey(p, c));
            blk->SetOutVceSet(0);
        }
        PasnSetTrk(blk, p, c);
    }
    return 0;
}

int CArticPasnData::ResetSeqAll(DWORD port, DWORD ch, const CArticArrayCh* source, const CArticArrayCh* used,
                                const CArticArrayCh* voice, CArticArrayCh* assigned) {
    return ResetSeqAllFrom(1, port, ch, source, used, voice, assigned);
}

namespace {

// The track's own port and channel, when it has them.
bool PasnOwnPortCh(const CArticWrkTrk* trk) {
    const LONG ch = LONG(trk->GetCh());
    return trk->GetPort() != 0xFFFFFFFF && ch != -1 && ch != -2;
}

}  // namespace

int CArticPasnData::ResetSeqOrig(DWORD port, DWORD ch, int* first, const CArticArrayCh* source,
                                 const CArticArrayCh* used, const CArticArrayCh* voice, CArticArrayCh* assigned) {
    CArticWrkBlk* blk = Get(ULONG(0));
    CArticWrkTrk* trk = PasnTrkOf(blk);
    // The master track is never changed: its entry neither takes the first
    // call nor a channel from the tables.
    if (trk && trk->GetTrkNo() == 0) return 0;
    const int wasFirst = first ? *first : 0;
    if (first) *first = 0;
    if (!trk || !assigned) return 1;
    const DWORD own = CArticArrayCh::MakeKey(trk->GetPort(), trk->GetCh());
    const bool fromSong = trk->GetOrgTrkID() != nullptr;
    if (PasnOwnPortCh(trk) && ((wasFirst && fromSong) || (!fromSong && PasnHas(assigned, own)))) {
        assigned->UpdateOrigiCh(own);
        blk->SetOutVceSet(0);
        return 0;
    }
    DWORD p = port, c = ch;
    if (GetEmptyPortCh(trk, blk, &p, &c, voice, source, used, assigned)) {
        PasnSetTrk(blk, p, c);
        return 0;
    }
    PasnSetTrk(blk, port, ch);
    return 1;
}

int CArticPasnData::ResetSeqOrigBy(DWORD portCount, DWORD port, DWORD ch, int* first, bool written) {
    CArticWrkBlk* blk = Get(ULONG(0));
    CArticWrkTrk* trk = PasnTrkOf(blk);
    if (trk && trk->GetTrkNo() == 0) return 0;
    const int wasFirst = first ? *first : 0;
    if (first) *first = 0;
    if (!trk) return 1;
    if (PasnOwnPortCh(trk) && wasFirst && trk->GetOrgTrkID()) return 0;
    DWORD p = port, c = ch;
    if (GetEmptyPortChBy(trk, portCount, &p, &c, written)) {
        PasnSetTrk(blk, p, c);
        return 0;
    }
    PasnSetTrk(blk, port, ch);
    return 1;
}

int CArticPasnData::ResetSeqOrig(DWORD portCount, DWORD port, DWORD ch, int* first) {
    return ResetSeqOrigBy(portCount, port, ch, first, false);
}

int CArticPasnData::ResetSeqOrig2(DWORD portCount, DWORD port, DWORD ch, int* first) {
    return ResetSeqOrigBy(portCount, port, ch, first, true);
}

// ---------------------------------------------------------------- the shared record

int CArticPasnCommon::ResetAll(DWORD port, DWORD ch) { return ResetAllFrom(0, port, ch); }

int CArticPasnCommon::ResetSeqAll(DWORD portCount, DWORD port, DWORD ch) {
    return ResetSeqAllFrom(0, portCount, port, ch, false);
}

int CArticPasnCommon::ResetSeqAll2(DWORD portCount, DWORD port, DWORD ch) {
    return ResetSeqAllFrom(0, portCount, port, ch, true);
}

int CArticPasnCommon::ResetSeqAll(DWORD port, DWORD ch, const CArticArrayCh* source, const CArticArrayCh* used,
                                  const CArticArrayCh* voice, CArticArrayCh* assigned) {
    return ResetSeqAllFrom(0, port, ch, source, used, voice, assigned);
}

int CArticPasnCommon::ReLinkWrkBlk(CArticWrk* wrk) {
    if (CArticPasnData::ReLinkWrkBlk(wrk)) return 1;
    for (int i = 0; i < m_Lists.GetSize(); ++i) {
        CArticWrkBlkPtrList* list = m_Lists.GetAt(i);
        for (POSITION p = list ? list->GetHeadPosition() : nullptr; p;) {
            const POSITION at = p;
            CArticWrkBlk* blk = list->GetNext(p);
            if (!PasnReLink(wrk, blk)) return 1;
            list->SetAt(at, blk);
        }
    }
    return 0;
}

// ---------------------------------------------------------------- the manager

DWORD CArticPasn::GetPortFromPortID(DWORD portId) const {
    return m_pHost ? CArticEditorUtil::GetPortFromPortID(m_pHost, portId) : 0;
}

// Every entry is reset, also after one that failed: an entry left out would
// keep a track without a port and channel (a string of the split has none
// until here), which no song can take. The first failure is the result.
template <class Reset>
int CArticPasn::ResetEach(Reset reset) {
    int result = 0;
    for (ULONG i = 0; i < m_DataNum; ++i)
        if (CArticPasnData* data = Get(i))
            if (int rc = reset(*data))
                if (!result) result = rc;
    return result;
}

int CArticPasn::ReLinkWrkBlk(CArticWrk* wrk) {
    const int rc = ResetEach([&](CArticPasnData& d) { return d.ReLinkWrkBlk(wrk); });
    const int common = m_pCommon ? m_pCommon->ReLinkWrkBlk(wrk) : 0;
    return rc ? rc : common;
}

int CArticPasn::ResetAll(DWORD port, DWORD ch) {
    const int rc = ResetEach([&](CArticPasnData& d) { return d.ResetAll(port, ch); });
    const int common = m_pCommon ? m_pCommon->ResetAll(port, ch) : 0;
    return rc ? rc : common;
}

int CArticPasn::ResetOrig(DWORD port, DWORD ch) {
    const int rc = ResetEach([&](CArticPasnData& d) { return d.ResetOrig(port, ch); });
    const int common = m_pCommon && m_pCommon->GetBlkNum() ? m_pCommon->ResetOrig(port, ch) : 0;
    return rc ? rc : common;
}

int CArticPasn::ResetSeqAll(DWORD port, DWORD ch, const CArticArrayCh* source, const CArticArrayCh* used,
                            const CArticArrayCh* voice, CArticArrayCh* assigned) {
    const int rc =
        ResetEach([&](CArticPasnData& d) { return d.ResetSeqAll(port, ch, source, used, voice, assigned); });
    const int common = m_pCommon ? m_pCommon->ResetSeqAll(port, ch, source, used, voice, assigned) : 0;
    return rc ? rc : common;
}

int CArticPasn::ResetSeqAll(DWORD portCount, DWORD port, DWORD ch) {
    const int rc = ResetEach([&](CArticPasnData& d) { return d.ResetSeqAll(portCount, port, ch); });
    const int common = m_pCommon ? m_pCommon->ResetSeqAll(portCount, port, ch) : 0;
    return rc ? rc : common;
}

int CArticPasn::ResetSeqAll2(DWORD portCount, DWORD port, DWORD ch) {
    const int rc = ResetEach([&](CArticPasnData& d) { return d.ResetSeqAll2(portCount, port, ch); });
    const int common = m_pCommon ? m_pCommon->ResetSeqAll2(portCount, port, ch) : 0;
    return rc ? rc : common;
}

int CArticPasn::ResetSeqOrig(DWORD port, DWORD ch, const CArticArrayCh* source, const CArticArrayCh* used,
                             const CArticArrayCh* voice, CArticArrayCh* assigned) {
    int first = 1;
    const int rc =
        ResetEach([&](CArticPasnData& d) { return d.ResetSeqOrig(port, ch, &first, source, used, voice, assigned); });
    const int common = m_pCommon && m_pCommon->GetBlkNum()
                           ? m_pCommon->ResetSeqOrig(port, ch, &first, source, used, voice, assigned)
                           : 0;
    return rc ? rc : common;
}

int CArticPasn::ResetSeqOrig(DWORD portCount, DWORD port, DWORD ch) {
    int first = 1;
    const int rc = ResetEach([&](CArticPasnData& d) { return d.ResetSeqOrig(portCount, port, ch, &first); });
    const int common = m_pCommon && m_pCommon->GetBlkNum() ? m_pCommon->ResetSeqOrig(portCount, port, ch, &first) : 0;
    return rc ? rc : common;
}

int CArticPasn::ResetSeqOrig2(DWORD portCount, DWORD port, DWORD ch) {
    int first = 1;
    const int rc = ResetEach([&](CArticPasnData& d) { return d.ResetSeqOrig2(portCount, port, ch, &first); });
    const int common = m_pCommon && m_pCommon->GetBlkNum() ? m_pCommon->ResetSeqOrig2(portCount, port, ch, &first) : 0;
    return rc ? rc : common;
}
