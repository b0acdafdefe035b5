// The copy of a converted channel's voice and controller events into the
// first block of its part tracks, before the rules run: the target voice in
// place of the song's, the bend ranges and the bend reduction of the first
// part, and the work events made from the song's events.
#include <cmath>
#include <cstring>
#include <map>

#include "driver/ArticEditorMgr.h"
#include "driver/ArticEditorUtil.h"
#include "driver/ArticHostWalk.h"
#include "driver/ArticView.h"
#include "services/PHConvPrm.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkUtil.h"
#include "platform/Memory.h"

namespace {

constexpr DWORD kOutChannelKinds = MPEVENT_KIND_NRPN | MPEVENT_KIND_RPN | MPEVENT_KIND_VOICE | MPEVENT_KIND_CONTROL |
                                MPEVENT_KIND_PROGRAM | MPEVENT_KIND_CHANAFT | MPEVENT_KIND_PITCHBEND;
constexpr BYTE kOutCcBankMsb = 0;
constexpr BYTE kOutCcModulation = 1;
constexpr BYTE kOutCcDataMsb = 6;
constexpr BYTE kOutCcBankLsb = 32;
constexpr BYTE kOutCcDataLsb = 38;
constexpr BYTE kOutCcPortamento = 65;
constexpr BYTE kOutCcNrpnLsb = 98;
constexpr BYTE kOutCcNrpnMsb = 99;
constexpr BYTE kOutCcRpnLsb = 100;
constexpr BYTE kOutCcRpnMsb = 101;
constexpr BYTE kOutCcMonoOn = 126;
constexpr BYTE kOutKvVoice = 0x08;
constexpr BYTE kOutKvBendRange = 0x23;
constexpr int kDefaultBendRange = 2;
constexpr DWORD kSongRes480 = 480;
constexpr DWORD kNoPortNo = 0xFFFFFFFF;  // the other channels' copy has no port of its own

// The target voice and the controllers the target's category leaves out.
struct Target {
    BYTE msb = 0;
    BYTE lsb = 0;
    BYTE pro = 0;
    int kind = -1;   // category when the driver filters controllers, else -1
    BYTE flag = 0;   // the driver's second flag

    Target(const CPHConvPrm& prm) : msb(prm.BankMsb), lsb(prm.BankLsb), pro(prm.Program) {
        const CArticView* view = CArticEditorUtil::GetView();
        if (view && view->GetConvMode() == 2) {
            kind = view->GetKind();
            flag = view->GetKindFlag();
        }
    }
    // Controllers 71 to 74 the category drops.
    bool Drops(BYTE cc) const {
        switch (kind) {
            case 2:
            case 4: return cc == 73;
            case 3: return cc == 73 || (cc == 74 && flag == 1);
            case 5: return cc >= 71 && cc <= 74;
            default: return false;
        }
    }
};

// The RPN address the data entries of a copy refer to.
struct RpnState {
    BYTE msb = 127;
    BYTE lsb = 127;
    bool nrpn = false;

    // Control changes 98 to 101: true when the event was one of them.
    bool Update(const tagMPEVENT& e) {
        switch (e.Data1) {
            case kOutCcNrpnLsb:
            case kOutCcNrpnMsb: nrpn = true; return true;
            case kOutCcRpnLsb: lsb = e.Data2; nrpn = false; return true;
            case kOutCcRpnMsb: msb = e.Data2; nrpn = false; return true;
            default: return false;
        }
    }
    bool IsBendRange() const { return msb == 0 && lsb == 0 && !nrpn; }
};

// A KV part exclusive (43 10 4C 08|0A part ...) of 7 bytes or more.
bool IsKvPart(const tagMPEVENT& e) {
    return e.Kind == MPEVENT_KIND_SYSEX && e.Bytes && e.Length >= 7 && e.Bytes[0] == 0x43 && e.Bytes[1] == 0x10 &&
           e.Bytes[2] == 0x4C && (e.Bytes[3] == 0x08 || e.Bytes[3] == 0x0A);
}

// One block of the block positions as the copies read it.
struct OutBlk {
    POSITION trk = nullptr;
    POSITION blk = nullptr;
    LONG trkCh = -1;
    DWORD trkPortId = 0;
    DWORD trkPortNo = 0;
    INT64 start = 0;        // engine ticks
    bool selected = false;  // block flag 4
    bool portFlag = false;  // sticky: a track on the converted port was met
    bool noChFlag = false;  // sticky: a track without a channel was met
};

constexpr int kWalkStop = -1;  // an unreadable record: the copy ends with 0

// Walks the block positions: tracks flagged 2 passed over, the two sticky
// flags raised before that test. begin(block) before a block's events,
// visit(block, event, position) for each (a non-zero result ends the walk
// with it), end(block) after them. 0, 1 for a failed read or time
// conversion, kWalkStop for an unreadable track or block record.
template <class Begin, class Visit, class End>
int WalkOutBlocks(const CArticEditorMgr& mgr, DWORD port, bool selectedOnly, Begin begin, Visit visit, End end) {
    CKPSManager* host = mgr.GetCEditor();
    OutBlk b;
    const CArticPosList& list = mgr.GetBlkPosList();
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const CArticPos* item = list.GetNext(pos);
        _MPTRACKINFO t{};
        if (CArticHostWalk::GetTrk(host, item->GetTrk(), &t)) return kWalkStop;
        CArticHostWalk::FreeMem(t);
        b.trk = item->GetTrk();
        b.blk = item->GetBlk();
        b.trkCh = t.Channel;
        b.trkPortId = DWORD(t.Port);
        b.trkPortNo = mgr.GetPortFromPortID(DWORD(t.Port));
        if (b.trkPortNo == port) b.portFlag = true;
        if (t.Channel == -1) b.noChFlag = true;
        if (t.Flags & MPTRACK_FLAG_STATE2) continue;
        _MPBLOCKINFO r{};
        if (CArticHostWalk::GetBlk(host, b.trk, b.blk, &r)) return kWalkStop;
        CArticHostWalk::FreeMem(r);
        b.selected = (r.Flags & MPBLOCK_FLAG_SELECTED) != 0;
        if (selectedOnly && !b.selected) continue;
        if (!CArticEditorUtil::TimeConvert(host, mgr.GetClientBeatMul(), r.Start, &b.start)) return 1;
        begin(b);
        int rc = 0;
        const int walked = CArticHostWalk::Events(host, b.trk, b.blk, [&](const tagMPEVENT& e, POSITION at) {
            rc = visit(b, e, at);
            return rc == 0;
        });
        if (rc) return rc;
        if (walked) return 1;
        if ((rc = end(b)) != 0) return rc;
    }
    return 0;
}

int WalkResult(int rc) { return rc == kWalkStop ? 0 : rc; }

// A host event copied for insertion: variable data in a buffer of its own.
struct OwnedEvnt {
    tagMPEVENT e;
    BYTE* data = nullptr;
    explicit OwnedEvnt(const tagMPEVENT& src) : e(src) {}
    ~OwnedEvnt() { CoTaskMemFree(data); }
    OwnedEvnt(const OwnedEvnt&) = delete;
    OwnedEvnt& operator=(const OwnedEvnt&) = delete;
    int CopyData(const CArticEditorMgr& mgr) {
        const int rc = mgr.AllocData(e.Bytes, LONG(e.Length), &data);
        if (rc == 0) e.Bytes = data;
        return rc;
    }
};

// Turns a voice event or program change into a voice event of the target.
void ToTargetVoice(tagMPEVENT& e, const Target& target) {
    e.Kind = MPEVENT_KIND_VOICE;
    e.Data1 = target.msb;
    e.Data2 = target.lsb;
    e.Data3 = target.pro;
    e.Data4 = 0;
}

// How a copy of channel ch takes an event of the walk.
struct OutEvntFlags {
    int selected = 0;      // the event is in the selection
    int other = 1;         // the event counts as one of another block
    bool belongs = false;  // a channel event of ch (other kinds always)
};

// sel: the manager's selection list as a set (made at the walk's start).
OutEvntFlags FlagsOf(const CArticEditorMgr& mgr, const CArticSelSet& sel, const OutBlk& b, const tagMPEVENT& e,
                     POSITION at, DWORD ch) {
    OutEvntFlags f;
    f.selected = sel.Find(b.trk, b.blk, at);
    f.other = (mgr.GetSelMode() == 0 && b.selected) || (mgr.GetSelMode() == 1 && f.selected) ? 0 : 1;
    f.belongs = !(e.Kind & kOutChannelKinds) || (b.portFlag && LONG(ch) == (b.noChFlag ? e.Channel : b.trkCh));
    return f;
}

// The controller rule of the later parts and the other channels: true when
// the controller is copied (a bank select then with the target's value).
bool KeepLaterCc(tagMPEVENT& e, const Target& target, const RpnState& rpn, int voiceOut) {
    const BYTE cc = e.Data1;
    if (cc == kOutCcBankMsb || cc == kOutCcBankLsb) {
        if (voiceOut) e.Data2 = cc == kOutCcBankMsb ? target.msb : target.lsb;
        return true;
    }
    if (cc == kOutCcModulation) return false;
    if (cc == kOutCcDataMsb || cc == kOutCcDataLsb) return !rpn.IsBendRange();
    return !target.Drops(cc);
}

// The target voice in a KV voice message (its own copy of the bytes).
void ToTargetKvVoice(tagMPEVENT& e, const Target& target) {
    if (e.Bytes[3] != kOutKvVoice) return;
    if (e.Bytes[5] == 0x01) e.Bytes[6] = target.msb;
    if (e.Bytes[5] == 0x02) e.Bytes[6] = target.lsb;
    if (e.Bytes[5] == 0x03) e.Bytes[6] = target.pro;
}

}  // namespace

// ---------------------------------------------------------------- checks

int CArticEditorMgr::CheckPg(POSITION trk, POSITION blk, POSITION evnt, int hasNext, LONG ch) const {
    if (!hasNext) return 0;
    bool after = false;
    int found = 0;
    CArticHostWalk::Events(m_pHost, trk, blk, [&](const tagMPEVENT& e, POSITION at) {
        if (!after) {
            after = at == evnt;
            return true;
        }
        if (e.Kind == MPEVENT_KIND_PROGRAM && e.Channel == ch) found = 1;
        if (e.Kind == MPEVENT_KIND_SYSEX && e.Bytes && e.Length > 6 && e.Bytes[0] == 0x43 && e.Bytes[1] == 0x10 &&
            e.Bytes[2] == 0x4C && (e.Bytes[3] == 0x08 || e.Bytes[3] == 0x0A) && LONG(e.Bytes[4] & 0x0F) == ch)
            found = 1;
        return found == 0;
    });
    return found;
}

void CArticEditorMgr::CheckFirstEvntInv(const tagMPEVENT* e) {
    if (!e) return;
    if (e->Kind == MPEVENT_KIND_SYSEX && e->Bytes) {
        static const BYTE kKvOn[] = {0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E};
        if (e->Length > 6 && std::memcmp(e->Bytes, kKvOn, sizeof kKvOn) == 0) return;
        if ((e->Length == 5 || e->Length == 6) && e->Bytes[0] == 0x7E && e->Bytes[2] == 0x09 && e->Bytes[3] == 0x01)
            return;
    }
    if (e->Kind == MPEVENT_KIND_META && e->Bytes && e->Length > 0 && (e->Bytes[0] == 0x58 || e->Bytes[0] == 0x59))
        return;
    m_ScanFirstEvnt = e->Time;
}

void CArticEditorMgr::CheckFirstEvnt(const tagMPEVENT* e) {
    if (m_ScanFirstEvnt != kNoTime) return;
    CheckFirstEvntInv(e);
}

// ---------------------------------------------------------------- work events

int CArticEditorMgr::AllocData(const BYTE* bytes, LONG length, BYTE** out) const {
    if (!bytes || length <= 0 || !out) return 1;
    auto* copy = static_cast<BYTE*>(CoTaskMemAlloc(size_t(length)));
    if (!copy) return 1;
    std::memcpy(copy, bytes, size_t(length));
    *out = copy;
    return 0;
}

int CArticEditorMgr::InsWrkEvnt(CArticWrk* wrk, CArticWrkBlk* blk, const tagMPEVENT* e, INT64 blkStart, int otherBlk,
                                int selected) {
    return InsertWrkEvnt(wrk, blk, e, blkStart, otherBlk, selected, false);
}

int CArticEditorMgr::InsertWrkEvnt(CArticWrk* wrk, CArticWrkBlk* blk, const tagMPEVENT* e, INT64 blkStart,
                                   int otherBlk, int selected, bool ahead) {
    // A block outside the work data could never be numbered or reached.
    if (!wrk || !blk || !e || blk->GetWrk() != wrk) return 1;
    CArticWrkEvnt* w = nullptr;
    if (int rc = CArticWrkUtil::CreateWrkEvnt(wrk, blk, &w)) return rc;
    w->SetVceOtherBlk(otherBlk);
    w->SetSelVce(selected);
    int skip = 0;
    const int rc = CArticEditorUtil::ConvWrkEvnt(e, w, blkStart, &skip);
    if (rc || skip) {
        delete w;
        return rc;
    }
    if (!(ahead ? blk->SortBefore(w, 1) : blk->Sort(w, 1))) {
        delete w;
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------- bend ranges

int CArticEditorMgr::SetPBRangeList(CArticPosList* list, DWORD ch, DWORD port) const {
    if (!m_pHost || !list) return 1;
    ClearPosList(list);
    DWORD adrs = 0;
    const bool haveAdrs = CArticEditorUtil::GetPortAdrsFromPortNo(m_pHost, port, &adrs) == 0;
    const BYTE part = BYTE(adrs * 16 + ch);
    bool nrpn = false;
    bool failed = false;
    std::multimap<INT64, CArticPos*> found;  // the list's entries until the walk ends
    auto addAt = [&](INT64 time, int range) {
        tagMPEVENT r;
        ResetMPEvent(r);
        r.Kind = MPEVENT_KIND_RPN;
        r.TimeFormat = MPTIME_FORMAT_TICKS;
        r.Time = time;
        r.Data3 = BYTE(static_cast<signed char>(range));
        auto* entry = new CArticPos();
        entry->Set(&r);
        // In time order, after the ranges already met at the same time.
        found.emplace(time, entry);
    };
    int blocks = 0;
    const int tracks = CArticHostWalk::Tracks(m_pHost, [&](const _MPTRACKINFO& t, POSITION trk) {
        if (t.Number == 0) return true;
        const bool onPort = GetPortFromPortID(DWORD(t.Port)) == port;
        blocks |= CArticHostWalk::Blocks(m_pHost, trk, [&](const _MPBLOCKINFO& b, POSITION blk) {
            INT64 start = 0;
            if (!CArticEditorUtil::TimeConvert(m_pHost, m_ClientBeatMul, b.Start, &start)) {
                failed = true;
                return false;
            }
            BYTE msb = 0, lsb = 0;
            const int walked = CArticHostWalk::Events(m_pHost, trk, blk, [&](const tagMPEVENT& e, POSITION) {
                // The event's time is converted only for a range; the
                // conversion of ticks that the block's start passed cannot fail.
                auto add = [&](int range) {
                    INT64 at = 0;
                    if (!CArticEditorUtil::TimeConvert(m_pHost, m_ClientBeatMul, e.Time, &at)) {
                        failed = true;
                        return;
                    }
                    addAt(start + at, range);
                };
                const bool ofCh = onPort && e.Channel == LONG(ch);
                if (ofCh && e.Kind == MPEVENT_KIND_CONTROL) {
                    if (e.Data1 == kOutCcNrpnLsb || e.Data1 == kOutCcNrpnMsb) nrpn = true;
                    if (e.Data1 == kOutCcRpnLsb) lsb = e.Data2, nrpn = false;
                    if (e.Data1 == kOutCcRpnMsb) msb = e.Data2, nrpn = false;
                    if (e.Data1 == kOutCcDataMsb && msb == 0 && lsb == 0 && !nrpn) add(e.Data2);
                } else if (ofCh && e.Kind == MPEVENT_KIND_RPN && e.Data1 == 0 && e.Data2 == 0) {
                    msb = lsb = 0;
                    add(e.Data3);
                } else if (haveAdrs && e.Kind == MPEVENT_KIND_SYSEX && e.Bytes && e.Length > 6 &&
                           e.Bytes[0] == 0x43 && e.Bytes[1] == 0x10 && e.Bytes[2] == 0x4C && e.Bytes[3] == kOutKvVoice &&
                           e.Bytes[4] == part && e.Bytes[5] == kOutKvBendRange) {
                    msb = lsb = 0;
                    add(int(e.Bytes[6]) - 64);
                }
                return !failed;
            });
            if (walked) failed = true;
            return !failed;
        });
        return !failed && blocks == 0;
    });
    for (const auto& f : found) list->AddTail(f.second);
    return tracks | blocks | (failed ? 1 : 0);
}

void CArticEditorMgr::RectifyPitchBend(const CArticPosList* list, tagMPEVENT* e, INT64 time) const {
    if (!e) return;
    int range = kDefaultBendRange;
    for (POSITION p = list ? list->GetHeadPosition() : nullptr; p;) {
        tagMPEVENT* entry = nullptr;
        list->GetNext(p)->Get(&entry);
        if (entry && entry->Time < time) range = static_cast<signed char>(entry->Data3);
    }
    // A range of 0 has no semitone to reduce to: the bend stays as it is.
    if (range == 0) return;
    const double v = double((int(e->Data2) << 7 | e->Data1) - 8192);
    const double x = 8192.0 / std::abs(range);
    const int reduced = int(std::trunc(v - std::trunc(v / x) * x)) + 8192;
    e->Data1 = BYTE(reduced & 0x7F);
    e->Data2 = BYTE((reduced >> 7) & 0x7F);
}

// ---------------------------------------------------------------- the copies

int CArticEditorMgr::OutEvntFirstBlk(CArticWrk* wrk, CArticWrkBlk* blk, DWORD ch, DWORD port, int voiceOut,
                                     int keepCtrl, const CPHConvPrm& prm) {
    const Target target(prm);
    if (!m_pHost || m_BlkPos.IsEmpty() || m_Select.IsEmpty() || !wrk || !blk) return 1;
    DWORD base = 0;
    const INT64 step = GetTimeBase(&base) && base == kSongRes480 ? 30 : 60;
    CArticPosList ranges;
    struct RangeHolder {
        const CArticEditorMgr& mgr;
        CArticPosList& list;
        ~RangeHolder() { mgr.ClearPosList(&list); }
    } holder{*this, ranges};
    if (int rc = SetPBRangeList(&ranges, ch, port)) return rc;
    DWORD adrs = 0;
    CArticEditorUtil::GetPortAdrsFromPortNo(m_pHost, port, &adrs);
    const BYTE part = BYTE(adrs * 16 + ch);
    RpnState rpn;
    int lastOther = 0, lastSel = 0;
    const CArticSelSet sel(&m_Select);

    auto begin = [&](const OutBlk&) {
        m_ScanFirstEvnt = kNoTime;
        m_OutMsb = m_OutLsb = m_OutPro = false;
    };
    auto visit = [&](const OutBlk& b, const tagMPEVENT& src, POSITION at) -> int {
        INT64 inBlk = 0;
        if (!CArticEditorUtil::TimeConvert(m_pHost, m_ClientBeatMul, src.Time, &inBlk)) return 1;
        CheckFirstEvnt(&src);
        const OutEvntFlags f = FlagsOf(*this, sel, b, src, at, ch);
        const int selected = f.selected, other = f.other;
        const bool belongs = f.belongs;
        lastOther = other;
        lastSel = selected;
        if (b.start + inBlk > m_FirstNoteOnTime) return 0;
        if (src.Kind == MPEVENT_KIND_NOTE || src.Kind == MPEVENT_KIND_NOTEOFF) return 0;
        OwnedEvnt copy(src);
        tagMPEVENT& e = copy.e;
        switch (src.Kind) {
            case MPEVENT_KIND_RPN:
                if (!b.portFlag || !belongs || (!m_PbExist && e.Data1 == 0 && e.Data2 == 0)) return 0;
                break;
            case MPEVENT_KIND_VOICE:
                if (!belongs) return 0;
                if (voiceOut) {
                    ToTargetVoice(e, target);
                    m_OutMsb = m_OutLsb = m_OutPro = true;
                }
                break;
            case MPEVENT_KIND_CONTROL: {
                if (!b.portFlag) return 0;
                rpn.Update(e);
                if (!belongs) return 0;
                const BYTE cc = e.Data1;
                if (cc == kOutCcBankMsb || cc == kOutCcBankLsb) {
                    if (!CheckPg(b.trk, b.blk, at, 1, LONG(ch))) return 0;
                    if (voiceOut) {
                        e.Data2 = cc == kOutCcBankMsb ? target.msb : target.lsb;
                        (cc == kOutCcBankMsb ? m_OutMsb : m_OutLsb) = true;
                    }
                } else if (cc == kOutCcModulation) {
                    if (!m_PbExist) return 0;
                } else if (cc == kOutCcDataMsb || cc == kOutCcDataLsb) {
                    if (!m_PbExist && rpn.IsBendRange()) return 0;
                } else if (cc == kOutCcPortamento || cc == kOutCcMonoOn || target.Drops(cc)) {
                    return 0;
                }
                break;
            }
            case MPEVENT_KIND_PROGRAM:
                if (!belongs) return 0;
                if (voiceOut) {
                    e.Data1 = target.pro;
                    m_OutPro = true;
                }
                break;
            case MPEVENT_KIND_META: {
                int order = 0;
                EstimateTrkNo(b.trk, &order);
                if (order != 1) return 0;
                break;
            }
            default:
                if (!belongs) return 0;
                // An exclusive of a block that stays in the song already
                // sounds from there: a copy would play it twice.
                if (IsVariableMPEventKind(src.Kind) && other) return 0;
                if (IsKvPart(e)) {
                    if (e.Bytes[4] != part) return 0;
                    if (voiceOut && e.Bytes[3] == kOutKvVoice && e.Bytes[5] >= 0x01 && e.Bytes[5] <= 0x03) return 0;
                    if (int rc = copy.CopyData(*this)) return rc;
                }
                break;
        }
        if (e.Kind == MPEVENT_KIND_PITCHBEND && !keepCtrl) RectifyPitchBend(&ranges, &e, b.start + inBlk);
        return InsWrkEvnt(wrk, blk, &e, b.start, other, selected);
    };
    auto end = [&](const OutBlk& b) -> int {
        if (!b.selected || !voiceOut) return 0;
        const INT64 t = m_ScanFirstEvnt == kNoTime ? 0 : m_ScanFirstEvnt;
        struct Gen {
            bool done;
            DWORD kind;
            BYTE d1, d2;
            INT64 time;
        };
        const Gen gens[] = {
            {m_OutMsb, MPEVENT_KIND_CONTROL, kOutCcBankMsb, target.msb, t - step},
            {m_OutLsb, MPEVENT_KIND_CONTROL, kOutCcBankLsb, target.lsb, t - 2 * (step / 3)},
            {m_OutPro, MPEVENT_KIND_PROGRAM, target.pro, 0, t - step / 3},
        };
        // Those before the block's start go to its start, ahead of the events
        // there, in the order bank MSB, bank LSB, program: placed in reverse.
        for (const Gen& g : gens) {
            if (g.done || g.time < 0) continue;
            tagMPEVENT e;
            ResetMPEvent(e);
            e.Kind = g.kind;
            e.Channel = LONG(ch);
            e.Time = g.time;
            e.Data1 = g.d1;
            e.Data2 = g.d2;
            if (int rc = InsertWrkEvnt(wrk, blk, &e, b.start, lastOther, lastSel, false)) return rc;
        }
        for (int i = 2; i >= 0; --i) {
            const Gen& g = gens[i];
            if (g.done || g.time >= 0) continue;
            tagMPEVENT e;
            ResetMPEvent(e);
            e.Kind = g.kind;
            e.Channel = LONG(ch);
            e.Time = 0;
            e.Data1 = g.d1;
            e.Data2 = g.d2;
            if (int rc = InsertWrkEvnt(wrk, blk, &e, b.start, lastOther, lastSel, true)) return rc;
        }
        return 0;
    };
    return WalkResult(WalkOutBlocks(*this, port, false, begin, visit, end));
}

int CArticEditorMgr::OutEvntOtherBlk(CArticWrk* wrk, CArticWrkBlk* blk, DWORD ch, DWORD port, int voiceOut) {
    CArticView* view = CArticEditorUtil::GetView();
    const CPHConvPrm* prm = view ? view->GetConvPrm() : nullptr;
    if (!prm || !m_pHost || m_BlkPos.IsEmpty() || m_Select.IsEmpty() || !wrk || !blk) return 1;
    const Target target(*prm);
    DWORD adrs = 0;
    CArticEditorUtil::GetPortAdrsFromPortNo(m_pHost, port, &adrs);
    const BYTE part = BYTE(adrs * 16 + ch);
    RpnState rpn;
    const CArticSelSet sel(&m_Select);

    auto visit = [&](const OutBlk& b, const tagMPEVENT& src, POSITION at) -> int {
        INT64 inBlk = 0;
        if (!CArticEditorUtil::TimeConvert(m_pHost, m_ClientBeatMul, src.Time, &inBlk)) return 1;
        const OutEvntFlags f = FlagsOf(*this, sel, b, src, at, ch);
        const int selected = f.selected, other = f.other;
        const bool belongs = f.belongs;
        if (b.start + inBlk >= m_FirstNoteOnTime) return 0;
        OwnedEvnt copy(src);
        tagMPEVENT& e = copy.e;
        switch (src.Kind) {
            case MPEVENT_KIND_RPN:
                if (!b.portFlag || !belongs || (e.Data1 == 0 && e.Data2 == 0)) return 0;
                break;
            case MPEVENT_KIND_VOICE:
            case MPEVENT_KIND_PROGRAM:
                if (!belongs) return 0;
                if (voiceOut) ToTargetVoice(e, target);
                break;
            case MPEVENT_KIND_CONTROL: {
                if (!b.portFlag) return 0;
                rpn.Update(e);
                if (!belongs || !KeepLaterCc(e, target, rpn, voiceOut)) return 0;
                break;
            }
            case MPEVENT_KIND_NRPN:
            case MPEVENT_KIND_CHANAFT:
            case MPEVENT_KIND_PITCHBEND:
                if (!belongs) return 0;
                break;
            case MPEVENT_KIND_META: {
                int order = 0;
                EstimateTrkNo(b.trk, &order);
                if (order != 2) return 0;
                break;
            }
            case MPEVENT_KIND_SYSEX:
                if (!IsKvPart(e) || e.Bytes[4] != part) return 0;
                if (int rc = copy.CopyData(*this)) return rc;
                if (voiceOut) ToTargetKvVoice(e, target);
                break;
            default:
                // Notes, note offs, key pressure, kind 0x10, continuations,
                // variable data, note exclusives and clips stay in the song.
                return 0;
        }
        return InsWrkEvnt(wrk, blk, &e, b.start, other, selected);
    };
    return WalkResult(WalkOutBlocks(*this, port, false, [](const OutBlk&) {}, visit, [](const OutBlk&) { return 0; }));
}

int CArticEditorMgr::OutEvntFirstBlkNonCh(CArticWrk* wrk, CArticWrkBlk* blk, int voiceOut) {
    CArticView* view = CArticEditorUtil::GetView();
    const CPHConvPrm* prm = view ? view->GetConvPrm() : nullptr;
    if (!prm || !m_pHost || m_BlkPos.IsEmpty() || m_Select.IsEmpty() || !wrk || !blk || !m_pUsedCh) return 1;
    const Target target(*prm);
    RpnState rpn;
    const CArticArrayCh& used = *m_pUsedCh;
    const CArticSelSet sel(&m_Select);

    auto visit = [&](const OutBlk& b, const tagMPEVENT& src, POSITION at) -> int {
        const int selected = sel.Find(b.trk, b.blk, at);
        if (m_SelMode == 1 && !selected) return 0;
        INT64 inBlk = 0;
        if (!CArticEditorUtil::TimeConvert(m_pHost, m_ClientBeatMul, src.Time, &inBlk)) return 1;
        if (b.start + inBlk >= m_FirstNoteOnTime) return 0;
        if ((src.Kind & kOutChannelKinds) &&
            (!b.noChFlag || used.SearchOrigiCh(b.trkPortNo * 256 + DWORD(src.Channel)) != -1))
            return 0;
        OwnedEvnt copy(src);
        tagMPEVENT& e = copy.e;
        switch (src.Kind) {
            case MPEVENT_KIND_RPN:
                if (e.Data1 == 0 && e.Data2 == 0) return 0;
                break;
            case MPEVENT_KIND_VOICE:
            case MPEVENT_KIND_PROGRAM:
                if (voiceOut) ToTargetVoice(e, target);
                break;
            case MPEVENT_KIND_CONTROL: {
                const BYTE cc = e.Data1;
                if (rpn.Update(e)) break;
                if ((cc == kOutCcBankMsb || cc == kOutCcBankLsb) && !CheckPg(b.trk, b.blk, at, 1, e.Channel)) return 0;
                if (!KeepLaterCc(e, target, rpn, voiceOut)) return 0;
                break;
            }
            case MPEVENT_KIND_NRPN:
            case MPEVENT_KIND_CHANAFT:
            case MPEVENT_KIND_PITCHBEND: break;
            case MPEVENT_KIND_SYSEX: {
                if (!IsKvPart(e)) return 0;
                DWORD portNo = 0;
                if (CArticEditorUtil::GetPortNoFromPortAdrs(e.Bytes[4] >> 4, b.trkPortId, &portNo)) portNo = 0;
                if (used.SearchOrigiCh(portNo * 256 + (e.Bytes[4] & 0x0F)) != -1) return 0;
                if (int rc = copy.CopyData(*this)) return rc;
                // A track with a channel of its own keeps its messages as they are.
                if (voiceOut && b.trkCh == -1) ToTargetKvVoice(e, target);
                break;
            }
            default: return 0;
        }
        return InsWrkEvnt(wrk, blk, &e, b.start, 0, selected);
    };
    return WalkResult(WalkOutBlocks(*this, kNoPortNo, true, [](const OutBlk&) {}, visit, [](const OutBlk&) { return 0; }));
}
