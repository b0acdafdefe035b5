#include "driver/ArticTransMgr.h"

#include <algorithm>
#include <vector>

#include "driver/ArticEditorUtil.h"
#include "engine/work/ArticPos.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"
#include "engine/work/ArticWrkUtil.h"

VX_IMPLEMENT_CLASS(CArticTransMgr, CObject);

namespace {

// Steps of a controller or bend up to this many ticks before a note go when
// the note sets a new value.
constexpr INT64 kStepSpan = 5;

BYTE KindOf(const CArticWrkEvnt* e) { return BYTE(e->GetStatus() & 0xF0); }
bool IsCcOf(const CArticWrkEvnt* e, std::initializer_list<BYTE> numbers) {
    if (KindOf(e) != 0xB0) return false;
    for (BYTE n : numbers)
        if (e->GetPost1() == n) return true;
    return false;
}

// Bank selects belong to the note set too: the bank select and program change
// of a voice change that lands behind a note of its tick must not be left
// there because the bank select cut the run.
bool InNoteSet(const CArticWrkEvnt* e) { return KindOf(e) == 0x90 || KindOf(e) == 0xC0 || IsCcOf(e, {0, 32}); }
bool IsProgram(const CArticWrkEvnt* e) { return KindOf(e) == 0xC0; }
bool IsNote(const CArticWrkEvnt* e) { return KindOf(e) == 0x90; }
bool InBankSet(const CArticWrkEvnt* e) { return IsCcOf(e, {0, 32}) || IsProgram(e); }
bool IsBankSel(const CArticWrkEvnt* e) { return IsCcOf(e, {0, 32}); }
bool InParamSet(const CArticWrkEvnt* e) { return IsCcOf(e, {6, 38, 98, 99, 100, 101}); }
bool IsParamNumber(const CArticWrkEvnt* e) { return IsCcOf(e, {98, 99, 100, 101}); }
bool IsDataEntry(const CArticWrkEvnt* e) { return IsCcOf(e, {6, 38}); }

// Moves the events of a run that `moved` selects, in order, to just before
// the run's first event that `before` selects.
template <class Moved, class Before>
void OrderRun(CArticWrkBlk* blk, const std::vector<CArticWrkEvnt*>& run, Moved moved, Before before) {
    CArticWrkEvnt* target = nullptr;
    for (CArticWrkEvnt* e : run)
        if (before(e)) {
            target = e;
            break;
        }
    if (!target) return;
    for (CArticWrkEvnt* e : run)
        if (moved(e)) blk->MoveBefore(target->GetPosEvnt(), e, 0);
}

// The program changes of a run that follow its first note, each with the
// bank selects right ahead of it, moved in order to just before that note: a
// note sounds under the voice set at its tick.
void OrderProgramRun(CArticWrkBlk* blk, const std::vector<CArticWrkEvnt*>& run) {
    size_t first = 0;
    while (first < run.size() && !IsNote(run[first])) ++first;
    if (first == run.size()) return;
    CArticWrkEvnt* target = run[first];
    std::vector<CArticWrkEvnt*> moved;
    for (size_t i = first + 1; i < run.size(); ++i) {
        if (!IsProgram(run[i])) continue;
        size_t from = i;
        while (from > first + 1 && IsBankSel(run[from - 1])) --from;
        for (size_t k = from; k <= i; ++k) moved.push_back(run[k]);
    }
    for (CArticWrkEvnt* e : moved) blk->MoveBefore(target->GetPosEvnt(), e, 0);
}

// Forms the runs of same-time events of the set and orders each. An event
// that ends a run is looked at again as the possible start of the next one.
template <class InSet, class Order>
int SortRunsWith(CArticWrkBlk* blk, InSet inSet, Order order) {
    if (!blk || !blk->GetEvntList()) return 0;
    // The order is decided on a snapshot: moving events does not change which
    // runs there are, only the order inside one.
    std::vector<CArticWrkEvnt*> events;
    for (POSITION p = blk->GetHeadPos(); p;)
        if (CArticWrkEvnt* e = blk->GetNext(p)) events.push_back(e);
    std::vector<CArticWrkEvnt*> run;
    for (CArticWrkEvnt* e : events) {
        if (!run.empty() && (!inSet(e) || e->GetTime() != run.front()->GetTime())) {
            order(run);
            run.clear();
        }
        if (inSet(e)) run.push_back(e);
    }
    order(run);
    return 0;
}

template <class InSet, class Moved, class Before>
int SortRuns(CArticWrkBlk* blk, InSet inSet, Moved moved, Before before) {
    return SortRunsWith(blk, inSet, [&](const std::vector<CArticWrkEvnt*>& run) { OrderRun(blk, run, moved, before); });
}

// What sets a channel up before its notes: controllers (bank select
// included), program changes, packed NRPN, RPN and voice events, exclusives.
bool IsSetUp(const CArticWrkEvnt* e) {
    const BYTE status = e->GetStatus();
    return status == 0x10 || status == 0x20 || status == 0x30 || status == 0xF0 || KindOf(e) == 0xB0 ||
           KindOf(e) == 0xC0;
}

// The set-up at the block's first note: every set-up event at that note's
// tick that lies after it in the list moves, in its order, to just before it,
// so that a keyboard has the voice, controllers and exclusives before the
// first note sounds.
void SetUpBeforeFirstNote(CArticWrkBlk* blk) {
    std::vector<CArticWrkEvnt*> events;
    for (POSITION p = blk->GetHeadPos(); p;)
        if (CArticWrkEvnt* e = blk->GetNext(p)) events.push_back(e);
    CArticWrkEvnt* first = nullptr;
    for (CArticWrkEvnt* e : events) {
        if (first && e->GetTime() != first->GetTime()) break;
        if (!first) {
            if (IsNote(e)) first = e;
            continue;
        }
        if (IsSetUp(e)) blk->MoveBefore(first->GetPosEvnt(), e, 0);
    }
}

}  // namespace

CArticTransMgr::CArticTransMgr(CArticWrk* wrk, CKPSManager* host, CArticPref* pref)
    : m_pWrk(wrk), m_pHost(host), m_pPref(pref) {}

CArticTransMgr::~CArticTransMgr() {
    CArticEditorUtil::ClearPosList(&m_PosList);
    CArticEditorUtil::ClearPosList(&m_OutPosList);
    CArticEditorUtil::ClearPosList(&m_MstrList);
}

int CArticTransMgr::GetCEditor(CKPSManager** host) const {
    if (host) *host = m_pHost;
    return m_pHost ? 1 : 0;
}

int CArticTransMgr::GetPref(CArticPref** pref) const {
    if (pref) *pref = m_pPref;
    return m_pPref ? 1 : 0;
}

void CArticTransMgr::ClearPosList(CArticPosList* list) { CArticEditorUtil::ClearPosList(list); }

void CArticTransMgr::CopyPosList(const CArticPosList* list) { CArticEditorUtil::CopyPosList(list, &m_PosList); }

int CArticTransMgr::GetPosList(CArticPosList** list) {
    if (list) *list = &m_PosList;
    return 1;
}

int CArticTransMgr::GetOutPosList(CArticPosList** list) {
    if (list) *list = &m_OutPosList;
    return 1;
}

int CArticTransMgr::DelOutPos(POSITION trk, POSITION blk) {
    if (!trk || !blk) return 1;
    for (POSITION p = m_OutPosList.GetHeadPosition(); p;) {
        const POSITION at = p;
        CArticPos* pos = m_OutPosList.GetNext(p);
        if (pos && pos->GetTrk() == trk && pos->GetBlk() == blk) {
            m_OutPosList.RemoveAt(at);
            delete pos;
            break;
        }
    }
    return 0;
}

void CArticTransMgr::Clear() {
    if (!m_pHost) return;
    CArticEditorUtil::ClearPosList(&m_PosList);
    CArticEditorUtil::ClearPosList(&m_OutPosList);
    CArticEditorUtil::ClearPosList(&m_MstrList);
}

int CArticTransMgr::ConvToCEditorRep(POSITION* trk, POSITION blk, int* flag) {
    if (!m_pWrk || !m_pHost) return 1;
    return CArticEditorUtil::ConvAllEvntRep(m_pWrk, m_pHost, m_pPref, &m_OutPosList, &m_MstrList, trk, blk, flag);
}

int CArticTransMgr::EditToWrk() {
    CArticWrkTrkList* trks = m_pWrk ? m_pWrk->GetTrkList() : nullptr;
    for (POSITION p = trks ? trks->GetHeadPosition() : nullptr; p;) {
        CArticWrkTrk* trk = trks->GetNext(p);
        if (!trk || trk->GetTrkNo() == 0) continue;
        if (int rc = EditToWrkTrk(trk)) return rc;
    }
    return 0;
}

int CArticTransMgr::EditToWrkTrk(CArticWrkTrk* trk) {
    CArticWrkBlkList* blks = trk ? trk->GetBlkList() : nullptr;
    for (POSITION p = blks ? blks->GetHeadPosition() : nullptr; p;)
        if (int rc = EditToWrkBlk(blks->GetNext(p))) return rc;
    return 0;
}

int CArticTransMgr::EditToWrkBlk(CArticWrkBlk* blk) {
    CArticWrkEvntList* list = blk ? blk->GetEvntList() : nullptr;
    if (!list) return 0;
    // The notes in list order, and whether the whole list is in time order.
    std::vector<const CArticWrkEvnt*> notes;
    bool listInOrder = true;
    bool seen = false;
    INT64 last = 0;
    for (POSITION p = list->GetHeadPosition(); p;) {
        const CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        if (seen && e->GetTime() < last) listInOrder = false;
        seen = true;
        last = e->GetTime();
        if (IsNote(e)) notes.push_back(e);
    }
    std::vector<INT64> noteTimes;
    noteTimes.reserve(notes.size());
    for (const CArticWrkEvnt* e : notes) noteTimes.push_back(e->GetTime());
    // What lies at each note's time, gathered in one walk. The deletions
    // below reach only events before the note being handled, so while the
    // notes come in time order no deletion touches a later note's time; out
    // of order, each note's time is looked up again after the earlier
    // deletions.
    struct AtTime {
        bool bend = false;
        std::vector<BYTE> controllers;  // in list order
    };
    const bool inOrder = std::is_sorted(noteTimes.begin(), noteTimes.end());
    // times: ascending and distinct; into: one entry per time.
    const auto gather = [list](const std::vector<INT64>& times, std::vector<AtTime>& into) {
        into.assign(times.size(), AtTime());
        for (POSITION p = list->GetHeadPosition(); p;) {
            const CArticWrkEvnt* e = list->GetNext(p);
            if (!e) continue;
            const BYTE kind = KindOf(e);
            if (kind != 0xE0 && kind != 0xB0) continue;
            const auto found = std::lower_bound(times.begin(), times.end(), e->GetTime());
            if (found == times.end() || *found != e->GetTime()) continue;
            AtTime& at = into[size_t(found - times.begin())];
            if (kind == 0xE0) at.bend = true;
            else at.controllers.push_back(e->GetPost1());
        }
    };
    std::vector<INT64> times;
    std::vector<AtTime> atNoteTimes;
    if (inOrder) {
        times = noteTimes;
        times.erase(std::unique(times.begin(), times.end()), times.end());
        gather(times, atNoteTimes);
    }
    std::vector<AtTime> single;
    for (size_t i = 0; i < notes.size(); ++i) {
        const INT64 t = noteTimes[i];
        const INT64 lo = t < kStepSpan + 1 ? 0 : t - kStepSpan;
        const INT64 hi = t < 2 ? 0 : t - 1;
        if (lo >= hi) continue;
        // What lies at the note's time decides; the deletions only reach
        // earlier events, so the ones at t stay valid.
        const AtTime* at = nullptr;
        if (inOrder) {
            at = &atNoteTimes[size_t(std::lower_bound(times.begin(), times.end(), t) - times.begin())];
        } else {
            gather(std::vector<INT64>{t}, single);
            at = &single[0];
        }
        // In a list in time order (deletions keep it so) the events before
        // the note are found from the note's own place: the same events a
        // walk from the head finds, without walking the notes before.
        const POSITION near = listInOrder ? blk->LinkedPos(notes[i]) : nullptr;
        if (at->bend)
            if (int rc = CArticWrkUtil::DelPbTimeArea(list, lo, hi, near)) return rc;
        for (BYTE cc : at->controllers)
            if (int rc = CArticWrkUtil::DelContCcTimeArea(list, lo, hi, cc, near)) return rc;
    }
    SetUpBeforeFirstNote(blk);
    if (int rc = SortProgChng(blk)) return rc;
    if (int rc = SortBankSel(blk)) return rc;
    return SortRpnNrpn(blk);
}

int CArticTransMgr::SortProgChng(CArticWrkBlk* blk) {
    return SortRunsWith(blk, InNoteSet, [blk](const std::vector<CArticWrkEvnt*>& run) { OrderProgramRun(blk, run); });
}

int CArticTransMgr::SortBankSel(CArticWrkBlk* blk) { return SortRuns(blk, InBankSet, IsBankSel, IsProgram); }

int CArticTransMgr::SortRpnNrpn(CArticWrkBlk* blk) {
    return SortRuns(blk, InParamSet, IsParamNumber, IsDataEntry);
}
