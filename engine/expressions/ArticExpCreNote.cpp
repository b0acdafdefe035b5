#include "engine/expressions/ArticExpCreNote.h"

#include <algorithm>

#include "engine/work/ArticTicks.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkUtil.h"

using articticks::AddTicks;

VX_IMPLEMENT_CLASS(CArticExpCreNote, CArticExpCre);
VX_IMPLEMENT_CLASS(CArticExpCreNote2, CArticExpCreNote);
VX_IMPLEMENT_CLASS(CArticExpDel, CArticExpArray);
VX_IMPLEMENT_CLASS(CArticExpDebug_i, CArticExpDebug);
VX_IMPLEMENT_CLASS(CArticExpDebug_i2, CArticExpDebug);
VX_IMPLEMENT_CLASS(CArticExpDebug_d, CArticExpDebug);

// ================================================================ Creation

CArticExpCreNote::CArticExpCreNote(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                   LONG time, ULONG dur, BYTE key, BYTE velo)
    : CArticExpCre(owner, evntNo, notes, type), m_Time(time), m_Dur(dur), m_Key(key), m_Velo(velo) {}

CArticExpCreNote& CArticExpCreNote::operator=(const CArticExpCreNote& src) {
    CArticExpCre::operator=(src);
    m_Time = src.m_Time;
    m_Dur = src.m_Dur;
    m_Key = src.m_Key;
    m_Velo = src.m_Velo;
    return *this;
}

int CArticExpCreNote::ConvToWrk() {
    const int rc = ForEachListed(GetWrkEvntList(), [this](CArticWrkEvnt* note) { return note ? CreWrkNote(note) : 1; });
    if (rc != 0 && GetErrKind() == 0)
        DispErrMsg(kPhase1Title, "音符ﾃﾞｰﾀ・ｲﾍﾞﾝﾄ編集中にｴﾗｰが発生しました。", "ConvToWrk", "");
    return rc;
}

CArticWrkBlk* CArticExpCreNote::LiveBlk(CArticWrkEvnt* note) const {
    // A listed event another expression already removed is never read.
    CArticWrk* mid = GetMidWrk();
    if (!note || (mid && !mid->IsEvntPos(note))) return nullptr;
    return note->GetOwner();
}

int CArticExpCreNote::CreWrkNoteIn(CArticWrkEvnt* note, CArticWrkBlk* blk) {
    CArticWrk* wrk = blk ? blk->GetWrk() : nullptr;
    if (!wrk) return 1;
    const INT64 start = std::max<INT64>(0, AddTicks(note->GetTime(), INT64(m_Time)));
    // A velocity of 0 would make the note-on a note-off: the note would be
    // lost when the song is written.
    const BYTE key = std::min<BYTE>(m_Key, 127);
    const BYTE velo = BYTE(std::clamp<int>(m_Velo, 1, 127));
    // The new note goes near the listed one when both share the block.
    return CArticWrkUtil::CreNoteTime(wrk, blk, start, key, velo, INT64(m_Dur), blk->LinkedPos(note));
}

int CArticExpCreNote::CreWrkNote(CArticWrkEvnt* note) {
    CArticWrkBlk* blk = LiveBlk(note);
    return blk ? CreWrkNoteIn(note, blk) : 1;
}

CArticExpCreNote2::CArticExpCreNote2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                     LONG time, ULONG dur, BYTE key, BYTE velo, BYTE gen)
    : CArticExpCreNote(owner, evntNo, notes, type, time, dur, key, velo), m_Gen(gen) {}

CArticExpCreNote2& CArticExpCreNote2::operator=(const CArticExpCreNote2& src) {
    CArticExpCreNote::operator=(src);
    m_Gen = src.m_Gen;
    return *this;
}

int CArticExpCreNote2::CreWrkNote(CArticWrkEvnt* note) {
    CArticWrkBlk* own = LiveBlk(note);
    CArticWrk* wrk = own ? own->GetWrk() : nullptr;
    if (!wrk || wrk->GetCount() == 0) return 1;
    // The master track comes first, then one track per string in string order.
    const int index = std::min(int(m_Gen) + 1, wrk->GetCount() - 1);
    CArticWrkTrk* trk = wrk->Get(index);
    CArticWrkBlk* target = trk ? trk->Get(0) : nullptr;
    if (!target) return 1;
    return CreWrkNoteIn(note, target);
}

// ================================================================ Deletion

CArticExpDel::CArticExpDel(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes)
    : CArticExpArray(owner, evntNo, notes) {}

CArticExpDel& CArticExpDel::operator=(const CArticExpDel& src) {
    CArticExpArray::operator=(src);
    return *this;
}

CArticWrkBlk* CArticExpDel::GetFirstNoteWrkBlk() const { return FirstHeldNoteBlk(GetMidWrk(), GetWrkEvntList()); }

int CArticExpDel::ConvToWrk2() {
    if (GetError() != 0) return 0;
    CArticWrkBlk* blk = GetFirstNoteWrkBlk();
    // With no listed note left the deletion still fails with its report.
    CArticWrk* wrk = blk ? blk->GetWrk() : GetMidWrk();
    if (!wrk) return 1;
    const int rc = DelWrkNoteType(wrk);
    if (rc != 0 && GetErrKind() == 0)
        DispErrMsg(kPhase2Title, "音符を削除中で処理でｴﾗｰが発生しました。", "ConvToWrk2 => DelWrkNoteType", "");
    return rc;
}

int CArticExpDel::DelWrkNoteType(CArticWrk* wrk) {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    if (!wrk || !notes) return 1;
    int removed = 0;
    for (POSITION p = notes->GetHeadPosition(); p;) {
        CArticWrkEvnt* note = notes->GetNext(p);
        // Only the address is compared: an event already removed is not read.
        if (!note || !wrk->IsEvntPos(note)) continue;
        if (CArticWrkUtil::DelEvnt(note) == 0) ++removed;
    }
    return removed > 0 ? 0 : 1;
}

// ================================================================ Debug carriers

CArticExpDebug_i::CArticExpDebug_i(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, LONG value)
    : CArticExpDebug(owner, evntNo, notes), m_Value(value) {}

CArticExpDebug_i& CArticExpDebug_i::operator=(const CArticExpDebug_i& src) {
    CArticExpDebug::operator=(src);
    m_Value = src.m_Value;
    return *this;
}

CArticExpDebug_i2::CArticExpDebug_i2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                                     const char* info, LONG value)
    : CArticExpDebug(owner, evntNo, notes), m_Info(info ? info : ""), m_Value(value) {}

CArticExpDebug_i2& CArticExpDebug_i2::operator=(const CArticExpDebug_i2& src) {
    CArticExpDebug::operator=(src);
    m_Info = src.m_Info;
    m_Value = src.m_Value;
    return *this;
}

CArticExpDebug_d::CArticExpDebug_d(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, double value)
    : CArticExpDebug(owner, evntNo, notes), m_Value(value) {}

CArticExpDebug_d& CArticExpDebug_d::operator=(const CArticExpDebug_d& src) {
    CArticExpDebug::operator=(src);
    m_Value = src.m_Value;
    return *this;
}
