#include "engine/expressions/ArticExpSlur.h"

#include "engine/work/ArticTicks.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkUtil.h"

using articticks::OffTime;

VX_IMPLEMENT_CLASS(CArticExpArraySlur, CArticExpArray);
VX_IMPLEMENT_CLASS(CArticExpArraySlurJoin, CArticExpArraySlur);
VX_IMPLEMENT_CLASS(CArticExpArraySlurPb, CArticExpArraySlurJoin);
VX_IMPLEMENT_CLASS(CArticExpArrayTie, CArticExpArraySlurJoin);
VX_IMPLEMENT_CLASS(CArticExpArraySlurDur, CArticExpArraySlur);

namespace {

const char kSlurKeepFirstFailed[] = "最初の音符を残すﾓｰﾄﾞの処理でｴﾗｰが発生しました。";
const char kSlurKeepLastFailed[] = "最後の音符を残すﾓｰﾄﾞの処理でｴﾗｰが発生しました。";
const char kSlurNotOneBlock[] = "指定された音符が同じﾌﾞﾛｯｸに属していない。";
const char kSlurDurFailed[] = "Slurの編集中にｴﾗｰが発生しました。";

int SameBlockFrom(const CArticWrkEvntList* notes, bool fromTail) {
    if (!notes || notes->GetCount() < 2) return 0;
    CArticWrkEvnt* first = fromTail ? notes->GetTail() : notes->GetHead();
    CArticWrkBlk* blk = first ? first->GetOwner() : nullptr;
    if (!blk) return 0;
    for (POSITION p = fromTail ? notes->GetTailPosition() : notes->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = fromTail ? notes->GetPrev(p) : notes->GetNext(p);
        if (!e || e->GetOwner() != blk) return 0;
    }
    return 1;
}

}  // namespace

// ================================================================ Base

CArticExpArraySlur::CArticExpArraySlur(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                       BYTE type)
    : CArticExpArray(owner, evntNo, notes), m_Type(type) {}

CArticExpArraySlur& CArticExpArraySlur::operator=(const CArticExpArraySlur& src) {
    CArticExpArray::operator=(src);
    m_Type = src.m_Type;
    return *this;
}

int CArticExpArraySlur::IsSameWrkBlkType0() const { return SameBlockFrom(GetWrkEvntList(), false); }
int CArticExpArraySlur::IsSameWrkBlkType1() const { return SameBlockFrom(GetWrkEvntList(), true); }

CArticWrkBlk* CArticExpArraySlur::GetFirstNoteWrkBlk() const {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    if (!notes || notes->GetCount() < 2) return nullptr;
    return FirstHeldNoteBlk(GetMidWrk(), notes);
}

// ================================================================ Joining

CArticExpArraySlurJoin& CArticExpArraySlurJoin::operator=(const CArticExpArraySlurJoin& src) {
    CArticExpArraySlur::operator=(src);
    m_Join = src.m_Join;
    return *this;
}

int CArticExpArraySlurJoin::Walk(bool keepLast) {
    CArticWrkBlk* blk = GetOwner() ? GetFirstNoteWrkBlk() : nullptr;
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    if (!wrk) return 1;
    return m_Join.WalkPairs(wrk, GetWrkEvntList(), keepLast, (GetType() & 2) != 0,
                            [&] { return Twin(wrk, blk, keepLast); });
}

int CArticExpArraySlurJoin::ConvToWrk2() {
    CArticWrkBlk* blk = GetFirstNoteWrkBlk();
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    const bool failed = GetError() != 0;
    if (!wrk) return failed ? 0 : 1;
    // After a failed join only the notes of the pairs that were joined go:
    // kept notes already span them.
    const int rc = m_Join.DelJoined(wrk, GetWrkEvntList(), KeepLast(), failed);
    if (rc != 0 && GetErrKind() == 0)
        DispErrMsg(kPhase2Title, KeepLast() ? kSlurKeepLastFailed : kSlurKeepFirstFailed,
                   KeepLast() ? "ConvToWrk2 => DelWrkNoteType1" : "ConvToWrk2 => DelWrkNoteType0", "");
    return rc;
}

// ---------------------------------------------------------------- Slur by bend

CArticExpArraySlurPb& CArticExpArraySlurPb::operator=(const CArticExpArraySlurPb& src) {
    CArticExpArraySlurJoin::operator=(src);
    return *this;
}

int CArticExpArraySlurPb::ConvToWrkCombine() {
    const bool last = KeepLast();
    if (!(last ? IsSameWrkBlkType1() : IsSameWrkBlkType0())) {
        if (GetErrKind() == 0)
            DispErrMsg(kPhase12Title, kSlurNotOneBlock,
                       last ? "ConvToWrkCombine => IsSameWrkBlkType1" : "ConvToWrkCombine => IsSameWrkBlkType0", "");
        return 1;
    }
    const int rc = last ? CreWrkPitchType1() : CreWrkPitchType0();
    if (rc != 0 && GetErrKind() == 0)
        DispErrMsg(kPhase12Title, last ? kSlurKeepLastFailed : kSlurKeepFirstFailed,
                   last ? "ConvToWrkCombine => CreWrkPitchType1" : "ConvToWrkCombine => CreWrkPitchType0", "");
    return rc;
}

int CArticExpArraySlurPb::Twin(CArticWrk* wrk, CArticWrkBlk* blk, bool keepLast) {
    namespace slurpb = ArticJoinPb;
    CArticExpJoin& j = m_Join;
    CArticWrkEvnt* a = j.EvntList2()->GetHead();
    CArticWrkEvnt* b = j.EvntList2()->GetTail();
    if (int rc = j.SetRefEvntList(wrk)) return rc;
    CArticWrkEvnt* ra = j.RefEvntList()->GetHead();
    CArticWrkEvnt* rb = j.RefEvntList()->GetTail();
    // The bend walks start at the pair's notes, taken afresh at each step.
    auto at = [blk](CArticWrkEvnt* x) { return blk->LinkedPos(x); };
    BYTE head = 0, tail = 0;
    if (!keepLast) {
        // The kept note lasts over b; bends after it return where they were.
        j.PbRange = CArticWrkUtil::GetPbRange(blk, b->GetTime());
        INT64 next = OffTime(b);
        CArticWrkUtil::GetNearNoteTime2(blk, 3, &next, nullptr, at(b));
        j.NextTime = next > 0 ? next : 0;
        j.NextPbLevel = slurpb::Level(blk, j.NextTime, at(b));
        if (int rc = j.GrowFirst()) return rc;
        // Bends inside b's span stay relative to the key ra already ends on.
        if (int rc = CArticExpJoin::GetKeyHead(wrk, ra, &head)) return rc;
        if (int rc = CArticExpJoin::GetKeyTail(wrk, ra, &tail)) return rc;
        j.PbShift = slurpb::Semitone(blk, b->GetTime()) * (int(tail) - int(head));
        if (int rc = slurpb::Shift(blk, b->GetTime(), j.NextTime, j.PbShift, at(b))) return rc;
        if (int rc = j.SetPrsEvntList(wrk)) return rc;
        if (j.PrsEvntList()->GetCount() == 2) {
            BYTE aTail = 0, bHead = 0;
            if (int rc = CArticExpJoin::GetKeyTail(wrk, a, &aTail)) return rc;
            if (int rc = CArticExpJoin::GetKeyHead(wrk, b, &bHead)) return rc;
            const LONG step = LONG(8192.0 / (j.PbRange > 0 ? j.PbRange : 2) + 0.5) * (int(bHead) - int(aTail));
            if (int rc = slurpb::Pin(wrk, blk, b->GetTime(), slurpb::Level(blk, b->GetTime(), at(b)), at(b))) return rc;
            if (int rc = slurpb::Shift(blk, b->GetTime(), j.NextTime, step, at(b))) return rc;
            j.CurKey = b->GetPost1();
        }
        INT64 after = OffTime(b);
        int found = 0;
        CArticWrkUtil::GetNearNoteTime2(blk, 3, &after, &found, at(b));
        if (found) {
            if (int rc = slurpb::Pin(wrk, blk, after, j.NextPbLevel, at(b))) return rc;
        }
        return j.ResetRefEvntList0(wrk, a, b);
    }
    // Keep last: the span of a is played on b's key bent down (or up) to a's.
    for (CArticWrkEvnt* x : {a, b})
        if (int rc = slurpb::Pin(wrk, blk, x->GetTime(), slurpb::Level(blk, x->GetTime(), at(x)), at(x))) return rc;
    if (int rc = CArticExpJoin::GetKeyHead(wrk, rb, &head)) return rc;
    if (int rc = CArticExpJoin::GetKeyTail(wrk, rb, &tail)) return rc;
    j.PbShift = slurpb::Semitone(blk, a->GetTime()) * (int(head) - int(tail));
    if (int rc = slurpb::Pin(wrk, blk, a->GetTime(), slurpb::Level(blk, a->GetTime(), at(a)), at(a))) return rc;
    if (int rc = slurpb::Shift(blk, a->GetTime(), b->GetTime() - 1, j.PbShift, at(a))) return rc;
    if (int rc = j.SetPrsEvntList(wrk)) return rc;
    if (j.PrsEvntList()->GetCount() == 2) {
        BYTE aTail = 0, bHead = 0;
        if (int rc = CArticExpJoin::GetKeyTail(wrk, a, &aTail)) return rc;
        if (int rc = CArticExpJoin::GetKeyHead(wrk, b, &bHead)) return rc;
        const LONG amount = CArticWrkUtil::GetPitchSft(blk, a->GetTime(), (signed char)(int(aTail) - int(bHead)));
        if (int rc = slurpb::Pin(wrk, blk, b->GetTime(), slurpb::Level(blk, b->GetTime(), at(b)), at(b))) return rc;
        if (a->GetTime() < b->GetTime())
            if (int rc = slurpb::Shift(blk, a->GetTime(), b->GetTime() - 1, amount, at(a))) return rc;
        j.LastKey = b->GetPost1();
        j.PrevShift = amount;
        j.FirstTime = a->GetTime();
        j.FirstPbLevel = slurpb::Level(blk, a->GetTime(), at(a));
    }
    if (int rc = j.GrowLast()) return rc;
    // The grown note moved in order: a still stands where the pair began.
    if (int rc = slurpb::Pin(wrk, blk, j.FirstTime > 0 ? j.FirstTime : 0, j.FirstPbLevel, at(a))) return rc;
    return j.ResetRefEvntList1(wrk, a, b);
}

// ---------------------------------------------------------------- Tie

CArticExpArrayTie& CArticExpArrayTie::operator=(const CArticExpArrayTie& src) {
    CArticExpArraySlurJoin::operator=(src);
    return *this;
}

int CArticExpArrayTie::ConvToWrkCombine() {
    CArticWrkBlk* blk = GetFirstNoteWrkBlk();
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    CArticWrkEvntList* notes = GetWrkEvntList();
    if (!wrk || !notes) return 1;
    struct Check {
        BYTE skipBit;
        int (*check)(CArticWrk*, CArticWrkEvntList*);
        const char* content;
        const char* method;
    };
    const Check checks[] = {
        {0, CArticWrkUtil::CheckAllNoteEvnt, "ｲﾍﾞﾝﾄ群が全てNoteｲﾍﾞﾝﾄでない。", "ConvToWrkCombine -> CheckAllNoteEvnt"},
        {4, CArticWrkUtil::CheckSameNoteNo, "同じNote番号を持つNote群でない。", "ConvToWrkCombine -> CheckSameNoteNo"},
        {8, CArticWrkUtil::CheckSameBlk, "同じﾌﾞﾛｯｸに含まれるNote群でない。", "ConvToWrkCombine -> CheckSameBlk"},
    };
    for (const Check& c : checks) {
        if ((GetType() & c.skipBit) != 0 || c.check(wrk, notes) == 0) continue;
        if (GetErrKind() == 0) DispErrMsg(kPhase12Title, c.content, c.method, "");
        return 1;
    }
    const bool last = KeepLast();
    const int rc = Walk(last);
    if (rc != 0 && GetErrKind() == 0)
        DispErrMsg(kPhase12Title, last ? kSlurKeepLastFailed : kSlurKeepFirstFailed,
                   last ? "ConvToWrkCombine => CreWrkTieType1" : "ConvToWrkCombine => CreWrkTieType0", "");
    return rc;
}

int CArticExpArrayTie::Twin(CArticWrk* wrk, CArticWrkBlk*, bool keepLast) {
    CArticExpJoin& j = m_Join;
    CArticWrkEvnt* a = j.EvntList2()->GetHead();
    CArticWrkEvnt* b = j.EvntList2()->GetTail();
    if (int rc = j.SetRefEvntList(wrk)) return rc;
    if (!keepLast) {
        if (int rc = j.GrowFirst()) return rc;
        if (int rc = j.SetPrsEvntList(wrk)) return rc;
        return j.ResetRefEvntList0(wrk, a, b);
    }
    if (int rc = j.SetPrsEvntList(wrk)) return rc;
    if (!j.PrsEvntList()->IsEmpty())
        if (int rc = j.GrowLast()) return rc;
    return j.ResetRefEvntList1(wrk, a, b);
}

// ================================================================ Legato by duration

CArticExpArraySlurDur& CArticExpArraySlurDur::operator=(const CArticExpArraySlurDur& src) {
    CArticExpArraySlur::operator=(src);
    m_Gap = src.m_Gap;
    return *this;
}

int CArticExpArraySlurDur::ConvToWrk() {
    CArticWrkBlk* blk = GetMidWrkBlk(0);
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    CArticWrkEvntList* notes = GetWrkEvntList();
    if (!wrk || !notes) {
        if (GetErrKind() == 0) DispErrMsg(kPhase1Title, kSlurDurFailed, "ConvToWrk", "");
        return 1;
    }
    if (notes->GetCount() < 2) return 0;
    if (CArticWrkUtil::CheckAllNoteEvnt(wrk, notes) != 0) {
        if (GetErrKind() == 0) DispErrMsg(kPhase1Title, "ｲﾍﾞﾝﾄ群が全てNoteｲﾍﾞﾝﾄでない。", "ConvToWrk -> CheckAllNoteEvnt", "");
        return 1;
    }
    if (CreWrkSlurDur() == 0) return 0;
    if (GetErrKind() == 0) DispErrMsg(kPhase1Title, kSlurDurFailed, "ConvToWrk", "");
    return 1;
}

int CArticExpArraySlurDur::CreWrkSlurDur() {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    if (!notes) return 1;
    CArticWrkEvnt* q = nullptr;
    for (POSITION p = notes->GetHeadPosition(); p;) {
        CArticWrkEvnt* s = notes->GetNext(p);
        if (!s) return 1;
        if (q) {
            const INT64 d = s->GetTime() - q->GetTime() - m_Gap;
            if (s->GetTime() <= q->GetTime() || d <= 0) return 1;
            q->SetGateTime(d);
        }
        q = s;
    }
    return 0;
}
