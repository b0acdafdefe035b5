#include "engine/rules/ArticCreExpMgr.h"

#include <new>
#include <string>
#include <utility>

#include "engine/expressions/ArticExp.h"
#include "engine/rules/ArticPrmExp.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulExpEvnt.h"
#include "engine/rules/ArticRulInit.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkTrk.h"
#include "engine/work/ExString.h"
#include "engine/work/ArticWrkUtilImpl.h"

namespace {


bool IsSelected(const CArticWrkTrk* trk) { return trk && trk->GetSelTrk() != 0; }

bool InSelectedTrk(const CArticWrkEvnt* e) {
    CArticWrkBlk* blk = e->GetOwner();
    return blk && IsSelected(blk->GetOwner());
}

bool EndsWithMstr(const CString& text) {
    const int n = int(std::char_traits<char>::length(CArticCreExpMgr::kMstrSuffix));
    return text.GetLength() >= n && text.Right(n) == CArticCreExpMgr::kMstrSuffix;
}

CString WithoutMstr(const CString& text) {
    const int n = int(std::char_traits<char>::length(CArticCreExpMgr::kMstrSuffix));
    return text.Left(text.GetLength() - n);
}

CString Numbered(ULONG n, const CString& text) {
    CString line;
    line.Format("e%u:", unsigned(n));
    return line + text;
}

}  // namespace

CArticCreExpMgr::CArticCreExpMgr(CArticWrk* wrk, CArticExp* exp, CArticRul* rul)
    : m_pWrk(wrk), m_pExp(exp), m_pRul(rul) {}

// ---- References

void CArticCreExpMgr::Get(CArticWrk** wrk, CArticExp** exp, CArticRul** rul, CArticTimeInfo** info) const {
    if (wrk) *wrk = m_pWrk;
    if (exp) *exp = m_pExp;
    if (rul) *rul = m_pRul;
    if (info) *info = m_pTimeInfo;
}

void CArticCreExpMgr::Set(CArticWrk* wrk, CArticExp* exp, CArticRul* rul, CArticTimeInfo* info) {
    if (wrk) m_pWrk = wrk;
    if (exp) m_pExp = exp;
    if (rul) m_pRul = rul;
    m_pTimeInfo = info;
    if (m_pRul) m_pRul->SetTimeInfo(info);
}

int CArticCreExpMgr::GetExpBlkByWrkEvnt(CArticWrkEvnt* note, CArticExpBlk** blk) const {
    CArticExpBlk* found = GetExpBlkByWrkEvnt(note);
    if (blk) *blk = found;
    return found ? 1 : 0;
}

CArticExpBlk* CArticCreExpMgr::GetExpBlkByWrkEvnt(CArticWrkEvnt* note) const {
    if (!note || !m_pExp) return nullptr;
    CArticWrkBlk* blk = note->GetOwner();
    CArticWrkTrk* trk = blk ? blk->GetOwner() : nullptr;
    return trk ? m_pExp->GetExpBlk(trk->GetTrkNo(), blk->GetBlkNo()) : nullptr;
}

// ---- Clearing

int CArticCreExpMgr::Clear() {
    const int wrk = ClearWrk(1);
    const int exp = ClearExp();
    const int rul = ClearRul();
    return wrk || exp || rul ? 1 : 0;
}

int CArticCreExpMgr::ClearWrk(int flag) {
    if (!m_pWrk) return 1;
    for (POSITION p = m_pWrk->GetHeadPos(); p;) {
        if (ClearWrkTrk(m_pWrk->GetNext(p), flag) != 0) return 1;
    }
    return 0;
}

int CArticCreExpMgr::ClearWrkTrk(CArticWrkTrk* trk, int flag) {
    if (!trk) return 1;
    for (POSITION p = trk->GetHeadPos(); p;) {
        if (ClearWrkBlk(trk->GetNext(p), flag) != 0) return 1;
    }
    return 0;
}

int CArticCreExpMgr::ClearWrkBlk(CArticWrkBlk* blk, int flag) {
    if (!blk) return 1;
    if (flag == 0) return 0;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        e->ClearProbArray();
        e->ClearExvArray();
        e->ClearSearchArray();
        e->ClearOutArray();
        e->ClearErrArray();
        e->ClearExpEvntListArray();
        e->ClearNoteInfo();
    }
    return 0;
}

int CArticCreExpMgr::ClearExp() {
    if (!m_pExp) return 1;
    for (POSITION p = m_pExp->GetTrkList()->GetHeadPosition(); p;) {
        if (ClearExpTrk(m_pExp->GetTrkList()->GetNext(p)) != 0) return 1;
    }
    return 0;
}

int CArticCreExpMgr::ClearExpTrk(CArticExpTrk* trk) {
    if (!trk) return 1;
    trk->ClearEvntStrList();
    return 0;
}

int CArticCreExpMgr::ClearRul() {
    if (!m_pRul) return 1;
    m_pRul->ClearGlobalArray();
    m_pRul->ClearRulDataEvntArray();
    return 0;
}

// ---- One run

int CArticCreExpMgr::Create() {
    if (!m_pWrk || !m_pRul) return 1;
    if (int r = Clear()) return r;
    for (int i = 0; i < 2; ++i) {
        CArticRulInit* init = m_pRul->GetInit(i);
        if (!init) continue;
        if (int r = CreateExp(init)) return r;
    }
    // A failed rule run leaves nothing worth choosing from.
    if (CalcProb() != 0) return 1;
    return CreExpByProb() != 0 ? 1 : 0;
}

int CArticCreExpMgr::CreateExp(CArticRulInit* init) {
    if (!m_pExp || !init) return 1;
    for (int t = 0; t < init->GetCount(); ++t) {
        CArticRulInitTrk* initTrk = init->Get(t);
        if (!initTrk) return 1;
        CArticExpTrk* trk = m_pExp->Get(initTrk->GetTrkNo());
        if (!trk) {
            trk = new CArticExpTrk(m_pExp, initTrk->GetTrkNo(), ULONG(-2), ULONG(-1));
            m_pExp->AddTail(trk);
        }
        for (int b = 0; b < initTrk->GetCount(); ++b) {
            CArticRulInitBlk* initBlk = initTrk->Get(b);
            if (!initBlk) return 1;
            CArticExpBlk* blk = trk->Get(initBlk->GetBlkNo());
            if (!blk) {
                blk = new CArticExpBlk(trk, initBlk->GetBlkNo());
                trk->AddTail(blk);
            }
            CStringList* strs = blk->GetEvntStrList();
            if (!strs) return 1;
            for (int e = 0; e < initBlk->GetCount(); ++e) {
                CArticRulExpEvnt* exp = initBlk->Get(e);
                const CString text = exp ? exp->GetExpEvnt() : CString();
                if (!text.IsEmpty()) strs->AddTail(text);
            }
        }
    }
    return 0;
}

// ---- Phase 3: probabilities and texts

int CArticCreExpMgr::CalcProb() {
    if (!m_pWrk || !m_pRul || !m_pExp) return 1;
    const int nest = m_pRul->GetProcNest();
    m_pExp->Clear();

    auto* master = new CArticExpTrk(m_pExp, 0, 0, 0);
    m_pExp->AddTail(master);
    auto* masterBlk = new CArticExpBlk(master, 0);
    master->AddTail(masterBlk);
    if (CArticWrkTrk* wt = m_pWrk->Get(int(0))) {
        master->SetWrkTrk(wt);
        if (CArticWrkBlk* wb = wt->Get(int(0))) masterBlk->SetWrkBlk(wb);
    }

    auto* part = new CArticExpTrk(m_pExp, 1, 0, 0);
    m_pExp->AddTail(part);
    auto* partBlk = new CArticExpBlk(part, 0);
    part->AddTail(partBlk);
    for (int i = 1; i < m_pWrk->GetCount(); ++i) {
        CArticWrkTrk* wt = m_pWrk->Get(ULONG(i));
        if (!IsSelected(wt)) continue;
        part->SetWrkTrk(wt);
        if (CArticWrkBlk* wb = wt->Get(int(0))) {
            partBlk->SetWrkBlk(wb);
            break;
        }
    }

    m_ExpEvntCount = 0;
    if (nest == 0) {
        if (int r = SearchWrk(m_pWrk)) return r;
    } else if (nest == 1) {
        for (POSITION p = m_pRul->GetHeadPos(); p;) {
            if (int r = SearchWrk(m_pWrk, m_pRul->GetNext(p))) return r;
        }
    }
    m_pWrk->ClearExv();
    return 0;
}

int CArticCreExpMgr::SearchWrk(CArticWrk* wrk) {
    if (!wrk || !m_pRul) return 1;
    switch (m_pRul->GetDirection()) {
        case 0: return SearchFwdWrk(wrk);
        case 1: return SearchRvsWrk(wrk);
        default: return 1;
    }
}

int CArticCreExpMgr::SearchWrk(CArticWrk* wrk, CArticRulSet* set) {
    if (!wrk || !set) return 1;
    switch (set->GetDirection()) {
        case 0: return SearchFwdWrk(wrk, set);
        case 1: return SearchRvsWrk(wrk, set);
        case 2:
        case 3: return SearchWrk(set);
        default: return 1;
    }
}

int CArticCreExpMgr::SearchWrk() {
    if (!m_pWrk) return 1;
    for (POSITION p = m_pWrk->GetHeadPos(); p;) {
        CArticWrkTrk* trk = m_pWrk->GetNext(p);
        if (!IsSelected(trk)) continue;
        if (int r = SearchWrkTrk(trk)) return r;
    }
    return 0;
}

int CArticCreExpMgr::SearchWrk(CArticRulSet* set) {
    if (!m_pWrk || !set) return 1;
    for (POSITION p = m_pWrk->GetHeadPos(); p;) {
        CArticWrkTrk* trk = m_pWrk->GetNext(p);
        if (!IsSelected(trk)) continue;
        if (int r = SearchWrkTrk(trk, set)) return r;
    }
    return 0;
}

namespace {

// Visits the notes of selected tracks by event number, upward or downward,
// until step gives a non-zero result.
template <class Step>
int WalkNumbers(CArticWrk* wrk, bool forward, Step step) {
    if (!wrk) return 1;
    CArticPosArray* arr = wrk->GetEvntPosArray();
    const int size = arr ? arr->GetSize() : 0;
    for (int i = 0; i < size; ++i) {
        const ULONG n = ULONG(forward ? i : size - 1 - i);
        CArticWrkEvnt* e = wrk->GetEvntInEvntPosArray(n, 1);
        if (!wrkutil::IsNoteNibble(e) || !InSelectedTrk(e)) continue;
        if (int r = step(e)) return r;
    }
    return 0;
}

// Visits the notes of a block from head to tail or tail to head.
template <class Step>
int WalkBlock(CArticWrkBlk* blk, bool forward, Step step) {
    if (!blk) return 1;
    for (POSITION p = forward ? blk->GetHeadPos() : blk->GetTailPos(); p;) {
        CArticWrkEvnt* e = forward ? blk->GetNext(p) : blk->GetPrev(p);
        if (!wrkutil::IsNoteNibble(e)) continue;
        if (int r = step(e)) return r;
    }
    return 0;
}

}  // namespace

int CArticCreExpMgr::SearchFwdWrk(CArticWrk* wrk) {
    return WalkNumbers(wrk, true, [this](CArticWrkEvnt* e) { return SearchWrkEvnt(e); });
}

int CArticCreExpMgr::SearchRvsWrk(CArticWrk* wrk) {
    return WalkNumbers(wrk, false, [this](CArticWrkEvnt* e) { return SearchWrkEvnt(e); });
}

int CArticCreExpMgr::SearchFwdWrk(CArticWrk* wrk, CArticRulSet* set) {
    if (!set) return 1;
    return WalkNumbers(wrk, true, [this, set](CArticWrkEvnt* e) { return SearchWrkEvnt(e, set); });
}

int CArticCreExpMgr::SearchRvsWrk(CArticWrk* wrk, CArticRulSet* set) {
    if (!set) return 1;
    return WalkNumbers(wrk, false, [this, set](CArticWrkEvnt* e) { return SearchWrkEvnt(e, set); });
}

int CArticCreExpMgr::SearchWrkTrk(CArticWrkTrk* trk) {
    if (!trk || trk->GetCount() == 0) return 1;
    for (POSITION p = trk->GetHeadPos(); p;) {
        if (int r = SearchWrkBlk(trk->GetNext(p))) return r;
    }
    return 0;
}

int CArticCreExpMgr::SearchWrkTrk(CArticWrkTrk* trk, CArticRulSet* set) {
    if (!trk || !set || trk->GetCount() == 0) return 1;
    for (POSITION p = trk->GetHeadPos(); p;) {
        if (int r = SearchWrkBlk(trk->GetNext(p), set)) return r;
    }
    return 0;
}

int CArticCreExpMgr::SearchWrkBlk(CArticWrkBlk* blk) {
    if (!blk || !m_pRul) return 1;
    switch (m_pRul->GetDirection()) {
        case 0: return SearchFwdWrkBlk(blk);
        case 1: return SearchRvsWrkBlk(blk);
        default: return 1;
    }
}

int CArticCreExpMgr::SearchWrkBlk(CArticWrkBlk* blk, CArticRulSet* set) {
    if (!blk || !set) return 1;
    switch (set->GetDirection()) {
        case 2: return SearchFwdWrkBlk(blk, set);
        case 3: return SearchRvsWrkBlk(blk, set);
        default: return 1;
    }
}

int CArticCreExpMgr::SearchFwdWrkBlk(CArticWrkBlk* blk) {
    return WalkBlock(blk, true, [this](CArticWrkEvnt* e) { return SearchWrkEvnt(e); });
}

int CArticCreExpMgr::SearchRvsWrkBlk(CArticWrkBlk* blk) {
    return WalkBlock(blk, false, [this](CArticWrkEvnt* e) { return SearchWrkEvnt(e); });
}

// The block walks of a set do the per-note step themselves, without the
// message pump and without requiring a receiver.
int CArticCreExpMgr::SearchFwdWrkBlk(CArticWrkBlk* blk, CArticRulSet* set) {
    if (!set) return 1;
    return WalkBlock(blk, true, [this, set](CArticWrkEvnt* e) {
        return e->GetSearch(ULONG(set->GetSetNo())) ? 0 : RunSetOnNote(e, set);
    });
}

int CArticCreExpMgr::SearchRvsWrkBlk(CArticWrkBlk* blk, CArticRulSet* set) {
    if (!set) return 1;
    return WalkBlock(blk, false, [this, set](CArticWrkEvnt* e) {
        return e->GetSearch(ULONG(set->GetSetNo())) ? 0 : RunSetOnNote(e, set);
    });
}

int CArticCreExpMgr::SearchWrkEvnt(CArticWrkEvnt* note, CArticRulSet* set) {
    CArticUtil::YieldMessage();
    if (!note || !set || !m_pProcDialog) return 1;
    if (set->GetSetNo() >= 0 && note->GetSearch(ULONG(set->GetSetNo()))) return 0;
    return RunSetOnNote(note, set);
}

int CArticCreExpMgr::SearchWrkEvnt(CArticWrkEvnt* note) {
    if (!note || !m_pRul || m_pRul->GetCount() == 0) return 1;
    int result = 0;
    for (POSITION p = m_pRul->GetHeadPos(); p;) {
        CArticRulSet* set = m_pRul->GetNext(p);
        if (!set) return 1;
        if (set->GetSetNo() >= 0 && note->GetSearch(ULONG(set->GetSetNo()))) {
            result = 0;
            continue;
        }
        result = RunSetOnNote(note, set);
        if (result != 0) return result;
    }
    return result;
}

int CArticCreExpMgr::RunSetOnNote(CArticWrkEvnt* note, CArticRulSet* set) {
    // Per-note results are indexed by set number; a set without one has no slot.
    if (set->GetSetNo() < 0) return 1;
    const ULONG setNo = ULONG(set->GetSetNo());
    if (int r = set->SetWrkEvnt(note)) return r;
    set->ClearOnlyEvntOfDataAryArray();
    if (int r = set->Search()) return r;
    double prob = 0.0;
    if (int r = set->GetDataVal(&prob)) return r;
    note->SetProb(setNo, prob);
    if (!(prob > 0.0)) return 0;
    return FireSetOnNote(note, set, setNo);
}

int CArticCreExpMgr::FireSetOnNote(CArticWrkEvnt* note, CArticRulSet* set, ULONG setNo) {
    set->SetSearchFlag(1);
    CStringList texts;
    int master = 0;
    set->GetExpEvnt(texts, &master);
    // Texts that nobody can take would be lost while the run reports success.
    if (!texts.IsEmpty() && !m_pProcDialog) return 1;
    if (SetPrmExpOnWrkEvnt(note, setNo, &texts, master, nullptr) != 0) {
        if (CArticPrmExp* rec = note->GetPrmExp(setNo)) rec->SetMakeRulePrm(nullptr);
    }
    return 0;
}

int CArticCreExpMgr::SetPrmExpOnWrkEvnt(CArticWrkEvnt* note, ULONG setNo, CStringList* texts, int master,
                                         CMakeRulePrm* prm) {
    if (!note || !texts) {
        delete prm;
        return 1;
    }
    if (texts->IsEmpty()) {
        delete prm;
        return prm ? 0 : 1;
    }
    // The note keeps the texts its set fired with, for the dump and for the
    // keep-or-drop step that removes them from a dropped note.
    auto* rec = new CArticPrmExp();
    rec->SetMakeRulePrm(prm);
    for (POSITION p = texts->GetHeadPosition(); p;) rec->AddExpStr(texts->GetNext(p));
    if (note->SetPrmExpArray(setNo, rec) != 0) delete rec;

    int result = 1;
    for (POSITION p = texts->GetHeadPosition(); p;) {
        const int r = HandOnText(texts->GetNext(p), master);
        if (r >= 0) result = r;
    }
    return result;
}

int CArticCreExpMgr::HandOnText(const CString& text, int master) {
    // A text that names the master track goes there whatever the set's flag,
    // and the loader gets it without the routing suffix.
    const bool mstr = EndsWithMstr(text);
    CExString body(mstr ? WithoutMstr(text) : text);
    body.EraseBlankOutDQ();  // blanks inside quotes belong to a file name or a text
    CArticExpTrk* trk = m_pExp ? m_pExp->Get(ULONG(mstr || master ? 0 : 1)) : nullptr;
    if (!trk) return -1;  // skipped: the result stays as it was
    CArticExpBlk* blk = trk->Get(ULONG(0));
    if (!blk || !m_pProcDialog) return 1;
    int result = 0;
    if (m_pProcDialog->LoadExpEvnt(std::move(body), m_ExpEvntCount++, trk, blk) != 0) result = 1;
    if (!blk->GetTailPos()) result = 1;
    return result;
}

int CArticCreExpMgr::SetProb(CArticWrkEvnt* note, ULONG setNo, double value) {
    return note && note->SetProb(setNo, value) ? 0 : 1;
}

int CArticCreExpMgr::SetPrmExp(CArticWrkEvnt* note, ULONG setNo) {
    if (!note || !m_pRul || !wrkutil::IsNoteNibble(note)) return 1;
    bool ran = false, failed = false;
    for (POSITION p = m_pRul->GetHeadPos(); p;) {
        CArticRulSet* set = m_pRul->GetNext(p);
        if (!set || set->GetSetNo() < 0 || ULONG(set->GetSetNo()) != setNo) continue;
        ran = true;
        if (SearchWrkEvnt(note, set) != 0) failed = true;
    }
    return ran && !failed ? 0 : 1;
}

// ---- Phase 4: weighted choice, keep or drop

int CArticCreExpMgr::CreExpByProb() {
    if (!m_pWrk || !m_pRul) return 1;
    int result = 1;
    for (POSITION p = m_pRul->GetHeadPos(); p;) {
        CArticRulSet* set = m_pRul->GetNext(p);
        if (!set || !set->GetHasExp()) continue;
        if (int r = CreateExp(set)) return r;
        result = OutExp(set);
        if (result != 0) return result;
    }
    m_pWrk->ClearExpStr();
    return result;
}

int CArticCreExpMgr::CreateExp(CArticRulSet* set) {
    if (!m_pWrk || !m_pExp || !set || set->GetSetNo() < 0) return 1;
    double sum = GetProbAll(ULONG(set->GetSetNo()));
    if (!(sum > 0.0)) return 0;
    double count = sum;
    return CreateExp(set, count, sum);
}

int CArticCreExpMgr::CreateExp(CArticRulSet* set, double& count, double& sum) {
    if (!m_pWrk || !set) return 1;
    bool walked = false;
    for (POSITION p = m_pWrk->GetHeadPos(); p && sum > 0.0;) {
        CArticWrkTrk* trk = m_pWrk->GetNext(p);
        if (!IsSelected(trk)) continue;
        walked = true;
        if (int r = CreateExpTrk(trk, set, count, sum)) return r;
    }
    return walked ? 0 : 1;
}

int CArticCreExpMgr::CreateExpTrk(CArticWrkTrk* trk, CArticRulSet* set, double& count, double& sum) {
    if (!trk || !set || trk->GetCount() == 0) return 1;
    for (POSITION p = trk->GetHeadPos(); p && sum > 0.0;) {
        if (int r = CreateExpBlk(trk->GetNext(p), set, count, sum)) return r;
    }
    return 0;
}

int CArticCreExpMgr::CreateExpBlk(CArticWrkBlk* blk, CArticRulSet* set, double& count, double& sum) {
    if (!blk || !set || set->GetSetNo() < 0) return 1;
    const ULONG setNo = ULONG(set->GetSetNo());
    for (POSITION p = blk->GetHeadPos(); p && sum > 0.0;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (!wrkutil::IsNoteNibble(e)) continue;
        const double prob = e->GetProb(setNo);
        const double r = CArticUtil::Rand2();
        if ((prob / sum) * count > r) {
            count -= 1.0;
            e->SetOut(setNo, 1);
        }
        sum -= prob;
    }
    return 0;
}

double CArticCreExpMgr::GetProbAll(ULONG setNo) {
    double sum = 0.0;
    if (!m_pWrk) return sum;
    for (POSITION p = m_pWrk->GetHeadPos(); p;) sum += GetProbAllTrk(m_pWrk->GetNext(p), setNo);
    return sum;
}

double CArticCreExpMgr::GetProbAllTrk(CArticWrkTrk* trk, ULONG setNo) {
    double sum = 0.0;
    if (!trk) return sum;
    for (POSITION p = trk->GetHeadPos(); p;) sum += GetProbAllBlk(trk->GetNext(p), setNo);
    return sum;
}

double CArticCreExpMgr::GetProbAllBlk(CArticWrkBlk* blk, ULONG setNo) {
    double sum = 0.0;
    if (!blk) return sum;
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (wrkutil::IsNoteNibble(e)) sum += e->GetProb(setNo);
    }
    return sum;
}

int CArticCreExpMgr::OutExp(CArticRulSet* set) {
    if (!m_pWrk) return 1;
    int result = 1;
    for (POSITION p = m_pWrk->GetHeadPos(); p;) {
        CArticWrkTrk* trk = m_pWrk->GetNext(p);
        if (!IsSelected(trk)) continue;
        result = OutExpTrk(trk, set);
        // A note that cannot be bound ends the step; a track without blocks does not.
        if (result != 0 && trk->GetCount() != 0) return result;
    }
    return result;
}

int CArticCreExpMgr::OutExpTrk(CArticWrkTrk* trk, CArticRulSet* set) {
    if (!trk || trk->GetCount() == 0) return 1;
    for (POSITION p = trk->GetHeadPos(); p;) {
        if (int r = OutExpBlk(trk->GetNext(p), set)) return r;
    }
    return 0;
}

int CArticCreExpMgr::OutExpBlk(CArticWrkBlk* blk, CArticRulSet* set) {
    if (!blk || !m_pExp || !set || set->GetSetNo() < 0) return 1;
    const ULONG setNo = ULONG(set->GetSetNo());
    for (POSITION p = blk->GetHeadPos(); p;) {
        CArticWrkEvnt* e = blk->GetNext(p);
        if (!wrkutil::IsNoteNibble(e)) continue;
        const LONG out = e->GetOut(setNo);
        if (out == 0) continue;
        if (int r = set->SetWrkEvnt(e)) return r;
        int exv = 1, inv = 1;
        if (CArticRulDataVal* prob = set->GetDataVal()) {
            exv = prob->GetExv();
            inv = prob->GetInv();
        }
        const LONG keep = out & exv & inv;
        if (keep) {
            if (CArticRulDataExv* numbers = set->GetDataExv()) numbers->SetData(1);
        } else {
            DeleteExpEvnt(e, setNo);
        }
        e->SetOut(setNo, keep);
    }
    return 0;
}

int CArticCreExpMgr::DeleteExpEvnt(CArticWrkEvnt* note, ULONG setNo) {
    return note ? note->SetPrmExpArray(setNo, nullptr) : 1;
}

// ---- Per-note records and the dump

int CArticCreExpMgr::DoOutExpEvnt(CArticWrkEvnt* note, ULONG setNo) { return OutExpEvnt(note, setNo); }

int CArticCreExpMgr::OutExpEvnt(CArticWrkEvnt* note, ULONG setNo) {
    if (!note) return 0;
    auto* rec = new (std::nothrow) CArticPrmExp();
    if (!rec) return 1;
    bool added = true;
    if (CStringList* list = note->GetExpEvntList(setNo)) {
        for (POSITION p = list->GetHeadPosition(); p && added;) added = rec->AddExpStr(list->GetNext(p)) == 0;
    }
    if (added && note->SetPrmExpArray(setNo, rec) == 0) return 0;
    delete rec;
    return 1;
}

int CArticCreExpMgr::OutExpStrList(CStringList& texts) {
    if (!m_pWrk || !m_pRul) return 1;
    texts.RemoveAll();
    m_ExpEvntCount = 0;
    texts.AddTail(CString("TRK:0"));
    texts.AddTail(CString("BLK:0"));
    for (POSITION p = m_pRul->GetHeadPos(); p;) {
        CArticRulSet* set = m_pRul->GetNext(p);
        if (!set || set->GetSetNo() < 0) continue;
        if (int r = OutExpStrListRul(texts, ULONG(set->GetSetNo()), 1)) return r;
    }
    return OutExpStrListRul(texts, 0, 0);
}

int CArticCreExpMgr::OutExpStrListRul(CStringList& texts, ULONG setNo, int master) {
    if (!m_pWrk) return 1;
    int result = 1;
    for (POSITION p = m_pWrk->GetHeadPos(); p;) {
        CArticWrkTrk* trk = m_pWrk->GetNext(p);
        if (!IsSelected(trk)) continue;
        if (!master) {
            if (trk->GetTrkNo() == 0) continue;
            CString head;
            head.Format("TRK:%u", unsigned(trk->GetTrkNo()));
            if (trk->GetCh() != kNoChannel && trk->GetCh() != kUnsetChannel) {
                CString ch;
                ch.Format(", ch%u", unsigned(trk->GetCh() + 1));
                head += ch;
            }
            if (trk->GetPort() != kNoPort) {
                CString port;
                port.Format(", port%u", unsigned(trk->GetPort()));
                head += port;
            }
            texts.AddTail(head);
        }
        result = OutExpStrListTrk(texts, trk, setNo, master);
    }
    return result;
}

int CArticCreExpMgr::OutExpStrListTrk(CStringList& texts, CArticWrkTrk* trk, ULONG setNo, int master) {
    if (!trk) return 1;
    for (POSITION p = trk->GetHeadPos(); p;) {
        CArticWrkBlk* blk = trk->GetNext(p);
        if (!master) {
            CString head;
            head.Format("BLK:%u", unsigned(blk->GetBlkNo()));
            texts.AddTail(head);
        }
        if (int r = OutExpStrListBlk(texts, blk, setNo, master)) return r;
    }
    return 0;
}

int CArticCreExpMgr::OutExpStrListBlk(CStringList& texts, CArticWrkBlk* blk, ULONG setNo, int master) {
    if (!blk || !m_pRul) return 1;
    auto dumpSet = [&](ULONG no) {
        for (POSITION p = blk->GetHeadPos(); p;) {
            CArticPrmExp* rec = blk->GetNext(p)->GetPrmExp(no);
            CStringList* strs = rec ? rec->GetExpStrList() : nullptr;
            if (!strs) continue;
            for (POSITION q = strs->GetHeadPosition(); q;) {
                const CString& text = strs->GetNext(q);
                if (EndsWithMstr(text) != (master != 0)) continue;
                texts.AddTail(Numbered(m_ExpEvntCount++, master ? WithoutMstr(text) : text));
            }
        }
    };
    if (master) {
        dumpSet(setNo);
        return 0;
    }
    for (POSITION p = m_pRul->GetHeadPos(); p;) {
        CArticRulSet* set = m_pRul->GetNext(p);
        if (set && set->GetSetNo() >= 0) dumpSet(ULONG(set->GetSetNo()));
    }
    return 0;
}
