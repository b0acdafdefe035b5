// The conversion side's work-data steps: one track per string with the
// channel's set-up events in front, the copy of the work data into the
// output work data, and the expression tree checked against the work data.
#include <limits>
#include <new>
#include <set>
#include <utility>
#include <vector>

#include "services/ArticArrayCh.h"
#include "services/ArticPref.h"
#include "engine/builtins/ArticSrchSong.h"
#include "engine/expressions/ArticExp.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/work/ArticFngrInfo.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"
#include "engine/work/ArticWrkUtil.h"

namespace {

constexpr int kSepSlots = 12;
constexpr ULONG kSepNoCh = ULONG(-2);
constexpr ULONG kSepNoPort = ULONG(-1);

// What the set-up pass learns of one selected part track.
struct SepSetup {
    ULONG ch = kSepNoCh;
    ULONG port = kSepNoPort;
    CArticWrkEvntList evnts;  // shared with the source block
    BYTE pro = 0;
    BYTE msb = 0;
    BYTE lsb = 0;
};

bool IsSepPartTrk(const CArticWrkTrk* trk) { return trk && trk->GetSelTrk() != 0 && trk->GetTrkNo() != 0; }

bool IsSepNoteOn(const CArticWrkEvnt* evnt) { return (evnt->GetStatus() & 0xF0) == 0x90; }

// A message of the part's channel that every string must hear as the part
// did: controllers, programs, channel pressure, bends and the packed
// NRPN/RPN/voice events. Notes, key pressure, exclusives and metas stay with
// the one string they went to.
bool IsSepChannelWide(const CArticWrkEvnt* evnt) {
    const BYTE status = evnt->GetStatus();
    if (status >= 0x10 && status <= 0x3F) return true;
    switch (status & 0xF0) {
    case 0xB0:
    case 0xC0:
    case 0xD0:
    case 0xE0: return status < 0xF0;
    default: return false;
    }
}

// The channel key of the selection's entry i (entry 0 beyond the table's
// end); 0 without a table or entry.
DWORD SepOrigiKey(const CArticArrayCh* origiCh, int i) {
    if (!origiCh) return 0;
    const int count = origiCh->GetOrigiChNum();
    if (count <= 0) return 0;
    const DWORD key = origiCh->GetOrigiCh(i < count ? i : 0);
    return key == DWORD(-1) ? 0 : key;
}

// The voice that chInfo holds for key: true when found.
bool SepVoiceOf(const CArticArrayCh* chInfo, DWORD key, BYTE* pro, BYTE* msb, BYTE* lsb) {
    if (!chInfo) return false;
    const int index = chInfo->SearchOrigiCh(key);
    const CArrayChInfo* info = index >= 0 ? chInfo->GetOrigiChInfo(index) : nullptr;
    if (!info) return false;
    *pro = info->GetProNo();
    *msb = info->GetBSelMsb();
    *lsb = info->GetBSelLsb();
    return true;
}

// The address of the host's port number portNo, asked of the song bridge
// through its answerer; 0 when it is not known (no answerer entered, or no
// port information for the port).
DWORD SepPortAdrs(CKPSManager* host, DWORD portNo) {
    const ArticSrchSong* song = ArticSrchSong::Get();
    DWORD adrs = 0;
    if (!song || song->GetPortAdrsFromPortNo(host, portNo, &adrs) != 0) return 0;
    return adrs;
}

// A new track of dst numbered trkNo with block 0 named name: false (nothing
// left in dst) when either cannot be made.
bool SepNewTrk(CArticWrk* dst, ULONG trkNo, ULONG ch, ULONG port, const CString& name, CArticWrkTrk** trk,
               CArticWrkBlk** blk) {
    auto* t = new (std::nothrow) CArticWrkTrk(dst, trkNo, ch, port);
    if (!t) return false;
    auto* b = new (std::nothrow) CArticWrkBlk(t, 0);
    if (!b || !t->AddTail(b)) {
        delete b;
        delete t;
        return false;
    }
    b->SetBlkName(name);
    if (!dst->AddTail(t)) {
        delete t;
        return false;
    }
    *trk = t;
    *blk = b;
    return true;
}

// A copy of src under number evntNo put into blk in time order: false when
// it cannot be made or placed.
bool SepPlaceCopy(CArticWrkBlk* blk, const CArticWrkEvnt* src, ULONG evntNo) {
    auto* e = new (std::nothrow) CArticWrkEvnt(blk, evntNo);
    if (!e) return false;
    *e = *src;
    if (!blk->Sort(e, 1)) {
        delete e;
        return false;
    }
    return true;
}

// A copy of src under a new event number of dst put into blk in time order:
// false when it cannot be made or placed.
bool SepPlaceNew(CArticWrk* dst, CArticWrkBlk* blk, const CArticWrkEvnt* src) {
    CArticWrkEvnt* copy = nullptr;
    if (CArticWrkUtil::CreateWrkEvnt(dst, blk, &copy) != 0 || !copy) return false;
    *copy = *src;
    if (!blk->Sort(copy, 1)) {
        delete copy;
        return false;
    }
    return true;
}

}  // namespace

BYTE CArticLoadMgr::GetMaxGenNo() {
    BYTE maxGen = 0;
    if (!m_pWrk) return 0;
    for (POSITION tp = m_pWrk->GetHeadPos(); tp;) {
        const CArticWrkTrk* trk = m_pWrk->GetNext(tp);
        if (!trk) continue;
        for (POSITION bp = trk->GetHeadPos(); bp;) {
            const CArticWrkBlk* blk = trk->GetNext(bp);
            if (!blk) continue;
            for (POSITION ep = blk->GetHeadPos(); ep;) {
                const CArticWrkEvnt* evnt = blk->GetNext(ep);
                const CArticFngrInfo* fngr = evnt ? evnt->GetFngrInfo() : nullptr;
                if (fngr && fngr->GetGen() < kSepSlots && fngr->GetGen() > maxGen) maxGen = fngr->GetGen();
            }
        }
    }
    return maxGen;
}

void CArticLoadMgr::CopyWrkTrkMstr(CArticWrk* dst) {
    if (!dst || !m_pWrk) return;
    const CArticWrkTrk* srcTrk = m_pWrk->Get(ULONG(0));
    const CArticWrkBlk* srcBlk = srcTrk ? srcTrk->Get(ULONG(0)) : nullptr;
    if (!srcBlk) return;
    CArticWrkTrk* trk = nullptr;
    CArticWrkBlk* blk = nullptr;
    if (!SepNewTrk(dst, 0, kSepNoCh, kSepNoPort, CString(), &trk, &blk)) return;
    trk->SetSelTrk(srcTrk->GetSelTrk());
    trk->SetTrkAttr(srcTrk->GetTrkAttr());
    trk->SetOrgTrkID(srcTrk->GetOrgTrkID());
    for (POSITION ep = srcBlk->GetHeadPos(); ep;) {
        const CArticWrkEvnt* src = srcBlk->GetNext(ep);
        if (!src) continue;
        auto* e = new (std::nothrow) CArticWrkEvnt(blk, src->GetEvntNo());
        if (!e) continue;
        *e = *src;
        if (!blk->AddTail(e, 1)) delete e;
    }
    dst->SetMeasBlk(blk);
}

void CArticLoadMgr::AssignWrkTrk(CArticWrk* dst, CArticWrkTrk** trks, CArticWrkBlk** blks, CArticPrefSep* sep,
                                 CArticPrefSetting* setting, int count, int& counter) {
    if (!dst || !trks || !blks || !sep || !setting || !m_pWrk) return;
    const CString name = setting->GetDefBlkName();
    const CArticPosArray* firstPositions = nullptr;
    int next = 1;  // list index 0 holds the master track
    for (int i = 0; i < count && i < kSepSlots; ++i, ++counter) {
        CArticWrkTrk* trk = nullptr;
        CArticWrkBlk* blk = nullptr;
        if (!SepNewTrk(dst, ULONG(counter), sep->GetCh(i), sep->GetPort(i), name, &trk, &blk)) continue;
        trk->SetSelTrk(1);
        const CArticWrkTrk* src = nullptr;
        while (!src && next < m_pWrk->GetCount()) {
            const CArticWrkTrk* t = m_pWrk->Get(next++);
            if (IsSepPartTrk(t)) src = t;
        }
        if (src) {
            trk->SetTrkAttr(src->GetTrkAttr());
            trk->SetOrgTrkID(src->GetOrgTrkID());
            trk->SetSeqTrkNo(src->GetSeqTrkNo());
            if (const CArticWrkBlk* first = src->Get(0)) {
                blk->CopyPosArray(first->GetPosArray());
                if (!firstPositions) firstPositions = first->GetPosArray();
            }
        } else if (firstPositions) {
            blk->CopyPosArray(firstPositions);
        }
        trks[i] = trk;
        blks[i] = blk;
    }
}

int CArticLoadMgr::Separate(CKPSManager* host, CArticPrefSep* sep, CArticPrefSetting* setting, CArticWrk* dst,
                            char /*ch*/, CArticArrayCh* origiCh, CArticArrayCh* chInfo) {
    if (!m_pWrk || !sep || !setting || !dst || dst == m_pWrk) return 1;
    const CString name = setting->GetDefBlkName();
    dst->Clear();
    const int n = GetMaxGenNo() + 1;
    CopyWrkTrkMstr(dst);

    // Note pass: every event of the part tracks to its string's track.
    CArticWrkTrk* trks[kSepSlots] = {};
    CArticWrkBlk* blks[kSepSlots] = {};
    POSITION owners[kSepSlots] = {};
    int counter = 1;
    bool assigned = false;
    INT64 firstNoteOn = std::numeric_limits<INT64>::max();
    int prevSlot = -1;  // the destination of the event before; -1 none
    // The earliest note of the part tracks: what comes before it is set-up
    // (copied to the strings below); what comes after it and concerns the
    // whole channel (a bend, a controller) is copied to every string later.
    // Only for a part on one track: the strings of several part tracks share
    // their slots, and one part's controllers must not reach another's notes.
    INT64 partFirstNoteOn = std::numeric_limits<INT64>::max();
    int partTrks = 0;
    for (POSITION tp = m_pWrk->GetHeadPos(); tp;) {
        const CArticWrkTrk* srcTrk = m_pWrk->GetNext(tp);
        if (!IsSepPartTrk(srcTrk)) continue;
        ++partTrks;
        for (POSITION bp = srcTrk->GetHeadPos(); bp;) {
            const CArticWrkBlk* srcBlk = srcTrk->GetNext(bp);
            for (POSITION ep = srcBlk ? srcBlk->GetHeadPos() : nullptr; ep;) {
                const CArticWrkEvnt* evnt = srcBlk->GetNext(ep);
                if (evnt && IsSepNoteOn(evnt) && evnt->GetTime() < partFirstNoteOn) partFirstNoteOn = evnt->GetTime();
            }
        }
    }
    std::vector<std::pair<CArticWrkEvnt*, int>> channelWide;  // event and the slot it went to
    std::set<const CArticWrkEvnt*> voiceAhead;  // voice set-up events that went to no string
    for (POSITION tp = m_pWrk->GetHeadPos(); tp;) {
        const CArticWrkTrk* srcTrk = m_pWrk->GetNext(tp);
        if (!IsSepPartTrk(srcTrk)) continue;
        for (POSITION bp = srcTrk->GetHeadPos(); bp;) {
            const CArticWrkBlk* srcBlk = srcTrk->GetNext(bp);
            if (!srcBlk) continue;
            if (!assigned) {
                AssignWrkTrk(dst, trks, blks, sep, setting, n, counter);
                assigned = true;
            }
            for (POSITION ep = srcBlk->GetHeadPos(); ep;) {
                const CArticWrkEvnt* evnt = srcBlk->GetNext(ep);
                if (!evnt) continue;
                if (IsSepNoteOn(evnt) && evnt->GetTime() < firstNoteOn) firstNoteOn = evnt->GetTime();
                int slot = 0;
                if (evnt->GetVceSet() != 0) {
                    // The voice set-up ahead of the part's first note belongs
                    // to no string yet: the set-up pass gives it to every
                    // string, also when it shares the first note's tick.
                    if (prevSlot < 0) {
                        voiceAhead.insert(evnt);
                        continue;
                    }
                    slot = prevSlot;
                } else {
                    const CArticFngrInfo* fngr = evnt->GetFngrInfo();
                    const int g = fngr ? fngr->GetGen() : 0;
                    POSITION k = fngr ? fngr->GetOrgTrkID() : nullptr;
                    if (g >= n || g >= kSepSlots) {
                        slot = 0;
                    } else if (!owners[g] || owners[g] == k) {
                        slot = g;
                        owners[g] = k;
                    } else {
                        int found = -1;
                        for (int s = g + 1; s < kSepSlots && found < 0; ++s)
                            if (owners[s] == k && trks[s] && blks[s]) found = s;
                        for (int s = g + 1; s < kSepSlots && found < 0; ++s) {
                            if (owners[s]) continue;
                            found = s;
                            if (!trks[s] || !blks[s]) {
                                ++counter;
                                if (SepNewTrk(dst, ULONG(counter), sep->GetCh(s), sep->GetPort(s), name, &trks[s],
                                              &blks[s]))
                                    trks[s]->SetOrgTrkID(k);
                            }
                            owners[s] = k;
                        }
                        slot = found < 0 ? 0 : found;
                    }
                }
                prevSlot = slot;
                if (blks[slot]) SepPlaceCopy(blks[slot], evnt, evnt->GetEvntNo());
                if (partTrks == 1 && evnt->GetVceSet() == 0 && evnt->GetTime() >= partFirstNoteOn &&
                    IsSepChannelWide(evnt))
                    channelWide.push_back({const_cast<CArticWrkEvnt*>(evnt), slot});
            }
        }
    }

    // Set-up pass: what stands before the first note on each part track,
    // with the voice set-up put ahead of it at its own tick.
    SepSetup setups[kSepSlots];
    int setupCount = 0;
    for (POSITION tp = m_pWrk->GetHeadPos(); tp && setupCount < kSepSlots;) {
        const CArticWrkTrk* srcTrk = m_pWrk->GetNext(tp);
        if (!IsSepPartTrk(srcTrk)) continue;
        SepSetup& entry = setups[setupCount];
        entry.ch = srcTrk->GetCh();
        entry.port = srcTrk->GetPort();
        for (POSITION bp = srcTrk->GetHeadPos(); bp;) {
            CArticWrkBlk* srcBlk = srcTrk->GetNext(bp);
            if (!srcBlk) continue;
            for (POSITION ep = srcBlk->GetHeadPos(); ep;) {
                CArticWrkEvnt* evnt = srcBlk->GetNext(ep);
                if (!evnt || IsSepNoteOn(evnt)) continue;
                if (evnt->GetTime() >= firstNoteOn && !voiceAhead.count(evnt)) continue;
                if (evnt->GetStatus() == 0xFF && evnt->GetMetaType() == 1) continue;
                entry.evnts.AddTail(evnt);
                BYTE pro = 0, msb = 0, lsb = 0;
                if (SepVoiceOf(chInfo, SepOrigiKey(origiCh, setupCount), &pro, &msb, &lsb)) {
                    entry.pro = pro;
                    entry.msb = msb;
                    entry.lsb = lsb;
                    srcBlk->SetBSelMsb(msb);
                    srcBlk->SetBSelLsb(lsb);
                    srcBlk->SetProNo(pro);
                }
            }
        }
        ++setupCount;
    }

    // String tracks: channel, port, voice and set-up events.
    for (int i = 0; i < n && i < kSepSlots; ++i) {
        CArticWrkTrk* trk = trks[i];
        CArticWrkBlk* blk = blks[i];
        if (!trk || !blk) continue;
        const bool behind = i < setupCount;
        const SepSetup& entry = setups[behind ? i : 0];
        const ULONG ch = behind ? entry.ch : kSepNoCh;
        const ULONG port = behind ? entry.port : kSepNoPort;
        trk->SetCh(ch);
        trk->SetPort(port);
        const bool own = ch != kSepNoCh && port != kSepNoPort;
        const ULONG origCh = own ? ch : setups[0].ch;
        const ULONG origPort = own ? port : setups[0].port;
        trk->SetOrigCh(origCh);
        trk->SetOrigPort(origPort);
        BYTE pro = behind ? entry.pro : 0;
        BYTE msb = behind ? entry.msb : 0;
        BYTE lsb = behind ? entry.lsb : 0;
        if (pro == 0 && msb == 0 && lsb == 0 && origiCh && origiCh->GetOrigiChNum() > 0 &&
            !SepVoiceOf(chInfo, SepOrigiKey(origiCh, i), &pro, &msb, &lsb))
            pro = msb = lsb = 0;
        blk->SetProNo(pro);
        blk->SetBSelMsb(msb);
        blk->SetBSelLsb(lsb);
        const DWORD adrs = i != 0 ? SepPortAdrs(host, origPort) : 0;
        for (POSITION ep = entry.evnts.GetHeadPosition(); ep;) {
            CArticWrkEvnt* src = entry.evnts.GetNext(ep);
            // A bend or channel pressure in force before the first note is
            // part of the state every string starts from.
            if (i != 0 && !CArticWrkUtil::IsCopyEvnt(src, origCh, adrs) && !IsSepChannelWide(src)) continue;
            if (!SepPlaceNew(dst, blk, src)) break;
        }
        // The part's bends and controllers after its first note sound on
        // every string, as they did on the part's one channel: a bend reaches
        // the notes it bent whichever string plays them.
        for (const auto& [src, slot] : channelWide) {
            if (slot == i) continue;
            if (!SepPlaceNew(dst, blk, src)) break;
        }
    }
    return 0;
}

int CArticLoadMgr::CopyWrk() {
    if (!m_pWrk || !m_pWrkOut || m_pWrk == m_pWrkOut) return 1;
    m_pWrkOut->CopyForCore(m_pWrk);
    m_pWrkOut->SetFng(m_pWrk->GetFng());
    return 0;
}

int CArticLoadMgr::AssignWrk() { return m_pWrkOut ? m_pWrkOut->AssignWrk() : 1; }

int CArticLoadMgr::CheckExp() {
    if (!m_pWrk || !m_pExp) return 1;
    for (POSITION tp = m_pWrk->GetHeadPos(); tp;) {
        CArticWrkTrk* wrkTrk = m_pWrk->GetNext(tp);
        if (!wrkTrk) continue;
        CArticExpTrk* expTrk = m_pExp->Get(wrkTrk->GetTrkNo());
        if (!expTrk) {
            expTrk = new (std::nothrow) CArticExpTrk(m_pExp, wrkTrk->GetTrkNo(), wrkTrk->GetCh(), wrkTrk->GetPort());
            if (!expTrk) continue;
            expTrk->SetWrkTrk(wrkTrk);
            if (!m_pExp->AddTail(expTrk)) {
                delete expTrk;
                continue;
            }
        }
        for (POSITION bp = wrkTrk->GetHeadPos(); bp;) {
            CArticWrkBlk* wrkBlk = wrkTrk->GetNext(bp);
            if (!wrkBlk || expTrk->Get(wrkBlk->GetBlkNo())) continue;
            auto* expBlk = new (std::nothrow) CArticExpBlk(expTrk, wrkBlk->GetBlkNo());
            if (!expBlk) continue;
            expBlk->SetWrkBlk(wrkBlk);
            if (!expTrk->AddTail(expBlk)) delete expBlk;
        }
    }
    return 0;
}

int CArticLoadMgr::PasnExp() { return m_pExp && m_pPasn ? m_pExp->PasnExp(m_pPasn) : 1; }
