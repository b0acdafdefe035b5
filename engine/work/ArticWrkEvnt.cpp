#include "engine/work/ArticWrkEvnt.h"

#include <cstring>
#include <new>
#include <vector>

#include "services/ArticErr.h"
#include "engine/expressions/ArticMeas.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/rules/ArticPrmExp.h"
#include "engine/work/ArticFngrInfo.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkTrk.h"
#include "engine/work/ArticWrkUtil.h"
#include "engine/work/MetaData.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticWrkEvnt, CObject);

// The set-indexed form of the Out values handed out by GetOutArray.
struct CArticWrkEvnt::OutView {
    CArticLongArray array;
    std::vector<LONG> values;
};


namespace {

// A per-set index this far out is no rule-set number: growing an array to it
// would only exhaust memory, so it is treated like a failed allocation.
constexpr ULONG kMaxSetIndex = 1u << 20;

CArticWrk* WorkOf(const CArticWrkBlk* blk) {
    if (!blk) return nullptr;
    CArticWrkTrk* trk = blk->GetOwner();
    return trk ? trk->GetOwner() : nullptr;
}

bool IsTimeSignature(const CArticWrkEvnt* e) { return e && e->GetStatus() == 0xFF && e->GetMetaType() == 0x58; }

// Grows the slots' size so that index set exists: false when the index is refused.
template <class T>
bool GrowFor(CArticSetSlots<T>& slots, ULONG set) {
    if (set >= kMaxSetIndex) return false;
    slots.Grow(set);
    return true;
}

// Texts of a list, the empty ones left out, into a new list (null when it
// cannot be made).
std::unique_ptr<CStringList> NonEmptyTexts(const CStringList& from) {
    std::unique_ptr<CStringList> to(new (std::nothrow) CStringList(10));
    if (!to) return to;
    for (POSITION p = from.GetHeadPosition(); p;) {
        const CString& s = from.GetNext(p);
        if (!s.IsEmpty()) to->AddTail(s);
    }
    return to;
}

}  // namespace

CArticWrkEvnt::CArticWrkEvnt() { Init(); }

CArticWrkEvnt::CArticWrkEvnt(CArticWrkBlk* owner, ULONG evntNo) {
    Init();
    m_pOwner = owner;
    m_EvntNo = evntNo;
}

void CArticWrkEvnt::Init() {
    m_pOwner = nullptr;
    m_PosEvnt = nullptr;
    m_EvntNo = 0;
    m_ErrKind = 0;
    m_Bar = 1;
    m_Beat = 1;
    m_Tick = 0;
    m_Time = m_GateTime = 0;
    m_Status = m_Post1 = m_Post2 = m_Post3 = m_Post4 = m_MetaType = 0;
    m_MemLen = m_MemSize = 0;
    m_pMem = nullptr;
    m_pFngrInfo = nullptr;
    std::memset(m_NoteInfo, 0, sizeof m_NoteInfo);
    m_VceSet = m_VceOtherBlk = m_SelVce = m_Graced = m_PbWhiten = 0;
    m_PrmExpMade = false;
    m_pOutView = nullptr;
    m_pSeqWrkEvnt = nullptr;
    m_SeqEvntNo = 0xFFFFFFFF;
    m_Create = 0;
    m_pChordList = m_pHarmoList = nullptr;
    m_pChordFirstEvnt = nullptr;
    m_TimeShift = 0;
    m_KeyShift = 0;
    m_pProcWrkEvnt = nullptr;
    m_SongTickRest = 0;
    m_SongTickTime = 0;
}

CArticWrkEvnt::~CArticWrkEvnt() {
    DeleteEvntPos();
    DeleteGmem();
    DeleteFngrInfo();
    DeletePrmExpArray();
    delete m_pOutView;
    m_pOutView = nullptr;
    m_pSeqWrkEvnt = nullptr;
    ClearChordInfo();
    // A removed event's memory may be kept (HoldFreedMemory): it no longer
    // has a place in any list.
    m_PosEvnt = nullptr;
}

void CArticWrkEvnt::CopyValuesAndData(const CArticWrkEvnt& src) {
    m_Bar = src.m_Bar;
    m_Beat = src.m_Beat;
    m_Tick = src.m_Tick;
    m_Time = src.m_Time;
    CArticWrkEdits::Count();
    m_SongTickRest = src.m_SongTickRest;
    m_SongTickTime = src.m_SongTickTime;
    m_GateTime = src.m_GateTime;
    m_Status = src.m_Status;
    m_Post1 = src.m_Post1;
    m_Post2 = src.m_Post2;
    m_Post3 = src.m_Post3;
    m_Post4 = src.m_Post4;
    DeleteGmem();
    m_MetaType = src.m_MetaType;
    if (src.m_pMem && src.m_MemLen > 0 && CreateGmem(src.m_MemLen) == 0) CopyGmem(src.m_pMem, src.m_MemLen);
}

void CArticWrkEvnt::CopyFngrFrom(const CArticWrkEvnt& src) {
    if (src.m_pFngrInfo)
        SetFngrInfo(src.m_pFngrInfo);
    else
        DeleteFngrInfo();
}

CArticWrkEvnt& CArticWrkEvnt::operator=(const CArticWrkEvnt& src) {
    if (this == &src) return *this;
    CopyValuesAndData(src);
    m_Exv = src.m_Exv;
    m_Search = src.m_Search;
    m_Prob = src.m_Prob;
    m_Out = src.m_Out;
    m_Err = src.m_Err;
    CopyExpEvntListArray(src.m_ExpEvntList);
    CopyFngrFrom(src);
    std::memcpy(m_NoteInfo, src.m_NoteInfo, sizeof m_NoteInfo);
    m_VceSet = src.m_VceSet;
    m_VceOtherBlk = src.m_VceOtherBlk;
    m_SelVce = src.m_SelVce;
    m_Graced = src.m_Graced;
    m_PbWhiten = src.m_PbWhiten;
    CopyPrmExpArray(src);
    m_pSeqWrkEvnt = src.m_pSeqWrkEvnt;
    m_Create = src.m_Create;
    // Partners are shared, and only where this event already keeps a list.
    if (m_pChordList) CArticExpUtil::CopyEvntList(src.m_pChordList, m_pChordList);
    if (m_pHarmoList) CArticExpUtil::CopyEvntList(src.m_pHarmoList, m_pHarmoList);
    m_pChordFirstEvnt = src.m_pChordFirstEvnt;
    m_TimeShift = src.m_TimeShift;
    m_KeyShift = src.m_KeyShift;
    m_pProcWrkEvnt = src.m_pProcWrkEvnt;
    return *this;
}

void CArticWrkEvnt::CopyForCore(const CArticWrkEvnt& src) {
    if (this == &src) return;
    CopyValuesAndData(src);
    m_Err = src.m_Err;
    CopyFngrFrom(src);
    if (m_pFngrInfo && m_pFngrInfo->GetGen() != 0) CArticWrkUtil::SetFng(1);
    m_VceSet = src.m_VceSet;
    m_VceOtherBlk = src.m_VceOtherBlk;
    m_SelVce = src.m_SelVce;
    m_Graced = src.m_Graced;
    m_PbWhiten = src.m_PbWhiten;
    CopyPrmExpArray(src);
    m_pSeqWrkEvnt = src.m_pSeqWrkEvnt;
    m_Create = src.m_Create;
    m_pProcWrkEvnt = src.m_pProcWrkEvnt ? src.m_pProcWrkEvnt : const_cast<CArticWrkEvnt*>(&src);
}

// ---- Data block

int CArticWrkEvnt::CreateGmem(ULONG len) {
    DeleteGmem();
    // Zeroed, and a byte even for an empty block: a block is there or not.
    BYTE* bytes = new (std::nothrow) BYTE[len ? len : 1]();
    if (!bytes) return 1;
    m_pMem = bytes;
    m_MemSize = len;
    m_MemLen = len;
    return 0;
}

int CArticWrkEvnt::CopyGmem(const BYTE* src, ULONG len) {
    if (!m_pMem || !src) return 1;
    // The length is the caller's word; the block is only as long as allocated.
    if (len > m_MemSize) len = m_MemSize;
    std::memmove(m_pMem, src, len);
    m_MemLen = len;
    return 0;
}

void CArticWrkEvnt::DeleteGmem() {
    if (!m_pMem) return;
    delete[] m_pMem;
    m_pMem = nullptr;
    m_MemLen = m_MemSize = 0;
    m_MetaType = 0;
}

void CArticWrkEvnt::SetMeta(BYTE type, const BYTE* data, ULONG len) {
    std::vector<BYTE> copy;
    if (data && len) copy.assign(data, data + len);  // data may be our own block
    CreateGmem(len);
    m_MetaType = type;
    if (!copy.empty()) CopyGmem(copy.data(), len);
}

void CArticWrkEvnt::SetSys(const BYTE* data, ULONG len) {
    std::vector<BYTE> copy;
    if (data && len) copy.assign(data, data + len);
    CreateGmem(len);
    if (!copy.empty()) CopyGmem(copy.data(), len);
}

ULONG CArticWrkEvnt::GetMeta(BYTE* type, const BYTE** data) const {
    if (type) *type = m_MetaType;
    if (data) *data = m_pMem;
    return m_MemLen;
}

ULONG CArticWrkEvnt::GetSys(const BYTE** data) const {
    if (data) *data = m_pMem;
    return m_MemLen;
}

// ---- Value record

void CArticWrkEvnt::Get(_WRK_EVNT& e) const {
    e.Meas = m_Bar;
    e.Beat = m_Beat;
    e.Tick = m_Tick;
    e.Time = m_Time;
    e.Gate = m_GateTime;
    e.Status = m_Status;
    e.Post1 = m_Post1;
    e.Post2 = m_Post2;
    e.Post3 = m_Post3;
    e.Post4 = m_Post4;
    e.MetaType = m_MetaType;
    e.Len = m_MemLen;
    e.Data = m_pMem;
}

void CArticWrkEvnt::Set(const _WRK_EVNT& e) {
    SetBarBeatTick(e.Meas, e.Beat, e.Tick);
    m_Time = e.Time;
    CArticWrkEdits::Count();
    m_GateTime = e.Gate;
    m_Status = e.Status;
    m_Post1 = e.Post1;
    m_Post2 = e.Post2;
    m_Post3 = e.Post3;
    m_Post4 = e.Post4;
    // The record only lends its data: keep a copy of our own (it may be our
    // own block, read back with Get).
    if (e.Data && e.Len > 0) {
        if (e.Data != m_pMem || e.Len != m_MemLen) {
            std::vector<BYTE> copy(e.Data, e.Data + e.Len);
            if (CreateGmem(e.Len) == 0) CopyGmem(copy.data(), e.Len);
        }
    } else {
        DeleteGmem();
    }
    m_MetaType = e.MetaType;
}

// ---- Time and position

void CArticWrkEvnt::GetMeas(ULONG* meas, ULONG* beat, ULONG* tick) const {
    if (meas) *meas = m_Bar;
    if (beat) *beat = m_Beat;
    if (tick) *tick = m_Tick;
}

void CArticWrkEvnt::SetTime(INT64 time, int recalc) {
    m_Time = time;
    CArticWrkEdits::Count();
    if (recalc) SetMeas(time);
}

void CArticWrkEvnt::SetMeas(INT64 time) {
    CArticWrkBlk* measBlk = GetWrkMeasBlk();
    if (!measBlk) return;
    // The measure block's own events define the grid and keep their positions;
    // only its non-signature meta events follow their time.
    bool inMeasBlk = m_pOwner == measBlk;
    if (inMeasBlk && !(m_Status == 0xFF && m_MetaType != 0x58)) return;
    ULONG meas = 1, beat = 1, tick = 0;
    if (GetEvntMeas(time, &meas, &beat, &tick) == 0) SetBarBeatTick(meas, beat, tick);
}

void CArticWrkEvnt::SetMeas(ULONG meas, ULONG beat, ULONG tick) {
    SetBarBeatTick(meas, beat, tick);
    CArticWrkBlk* measBlk = GetWrkMeasBlk();
    if (!measBlk) return;
    if (m_pOwner == measBlk) {
        POSITION pos = measBlk->Find(this);
        if (pos) CalcEvntTime(pos);
    } else {
        INT64 time = 0;
        GetEvntTime(meas, beat, tick, &time);
        m_Time = time;
        CArticWrkEdits::Count();
    }
}

int CArticWrkEvnt::GetEvntTime(ULONG meas, ULONG beat, ULONG tick, INT64* time) const {
    CArticWrk* wrk = WorkOf(m_pOwner);
    if (!wrk) return 1;
    return wrk->GetEvntTime(meas, beat, tick, time);
}

int CArticWrkEvnt::GetEvntMeas(INT64 time, ULONG* meas, ULONG* beat, ULONG* tick) const {
    CArticWrk* wrk = WorkOf(m_pOwner);
    if (!wrk) return 1;
    return wrk->GetEvntMeas(time, meas, beat, tick);
}

int CArticWrkEvnt::GetWrkMeasBlk(CArticWrkBlk** blk) const {
    if (blk) *blk = GetWrkMeasBlk();
    return 1;
}

CArticWrkBlk* CArticWrkEvnt::GetWrkMeasBlk() const {
    CArticWrk* wrk = WorkOf(m_pOwner);
    return wrk ? wrk->GetMeasBlk() : nullptr;
}

CArticWrkEvnt* CArticWrkEvnt::GetPrevBeatEvnt(CArticWrkBlk* blk, POSITION& pos) const {
    if (!blk || !pos || pos == blk->GetHeadPos()) return nullptr;
    blk->GetPrev(pos);  // step off the event itself
    while (pos) {
        CArticWrkEvnt* e = blk->GetPrev(pos);
        if (IsTimeSignature(e) || !pos) return e;
    }
    return nullptr;
}

int CArticWrkEvnt::CalcEvntTime(POSITION& pos) {
    CArticWrkBlk* blk = GetWrkMeasBlk();
    if (!blk) return 1;
    if (!pos) pos = blk->GetHeadPos();
    if (!pos) return 1;
    int result = 1;
    while (pos) {
        CArticWrkEvnt* e = blk->Get(pos);
        ULONG numerator = 4, ticksPerBeat = 480, refBar = 1, refBeat = 1, refTick = 0;
        INT64 refTime = 0;
        POSITION scan = pos;
        CArticWrkEvnt* s = GetPrevBeatEvnt(blk, scan);
        result = 0;
        if (s) {
            BYTE num = 0;
            ULONG tpb = 0;
            if (!ReadWrkBeat(s, &num, &tpb)) {
                result = 1;  // not timed from a signature: keeps its time
            } else {
                numerator = num;
                ticksPerBeat = tpb;
                refTime = s->GetTime();
                s->GetMeas(&refBar, &refBeat, &refTick);
            }
        }
        if (result == 0 && e) {
            ULONG bar = 1, beat = 1, tick = 0;
            e->GetMeas(&bar, &beat, &tick);
            uint32_t offset = ((bar - refBar) * numerator - refBeat + beat) * ticksPerBeat - refTick + tick;
            e->SetTime(refTime + INT64(offset), 1);
        }
        blk->GetNext(pos);
    }
    return result;
}

void CArticWrkEvnt::GetPos(POSITION* trkPos, POSITION* blkPos, POSITION* evntPos) const {
    if (evntPos) *evntPos = m_PosEvnt;
    CArticWrkTrk* trk = m_pOwner ? m_pOwner->GetOwner() : nullptr;
    if (blkPos) *blkPos = m_pOwner ? m_pOwner->GetPosBlk() : nullptr;
    if (trkPos) *trkPos = trk ? trk->GetPosTrk() : nullptr;
}

int CArticWrkEvnt::DeleteEvntPos() {
    CArticWrk* wrk = WorkOf(m_pOwner);
    if (!wrk) return 1;
    // A copy or a refused duplicate shares the number of a registered event:
    // its entry belongs to that event and must stay.
    CArticWrkEvnt* registered = nullptr;
    if (wrk->GetEvntPos(m_EvntNo, &registered) != 0 || registered != this) return 1;
    return wrk->ResetEvntPos(m_EvntNo);
}

LONG CArticWrkEvnt::GetSelTrk() const {
    CArticWrkTrk* trk = m_pOwner ? m_pOwner->GetOwner() : nullptr;
    return trk ? trk->GetSelTrk() : 0;
}

int CArticWrkEvnt::GetOwner(CArticWrkBlk** blk) const {
    if (blk) *blk = m_pOwner;
    return 1;
}

// ---- Per-rule-set arrays

int CArticWrkEvnt::GrownSize(int size, ULONG index) { return CArticSetSlots<LONG>::GrownSize(size, index); }

LONG CArticWrkEvnt::GetLong(const LongSlots& slots, ULONG set) {
    const LONG* v = slots.Find(set);
    return v ? *v : 0;
}

int CArticWrkEvnt::SetLong(LongSlots& slots, ULONG set, LONG v) {
    if (!GrowFor(slots, set)) return 0;
    LONG* slot = slots.Find(set);
    if (slot)
        *slot = v;
    else if (v != 0)  // a zero in an empty slot stores nothing
        slots.Make(set) = v;
    return 1;
}

int CArticWrkEvnt::ClearLongArray(LongSlots& slots) {
    slots.Clear();
    return 1;
}

double CArticWrkEvnt::GetProb(ULONG set) const {
    const double* v = m_Prob.Find(set);
    return v ? *v : 0.0;
}

int CArticWrkEvnt::SetProb(ULONG set, double v) {
    if (set >= kMaxSetIndex) return 0;
    // Every set leaves a probability on every note, most of them zero, and
    // set numbers run past a thousand: a zero beyond the array already reads
    // back as zero, so only a value grows it.
    if (v == 0.0 && int(set) >= m_Prob.GetSize()) return 1;
    m_Prob.Grow(set);
    double* slot = m_Prob.Find(set);
    if (slot)
        *slot = v;
    else if (v != 0.0)
        m_Prob.Make(set) = v;
    return 1;
}

int CArticWrkEvnt::ClearProbArray() {
    m_Prob.Clear();
    return 1;
}

int CArticWrkEvnt::GetExpEvntList(ULONG set, CStringList** list) const {
    CStringList* l = GetExpEvntList(set);
    if (list) *list = l;
    return l ? 1 : 0;
}

CStringList* CArticWrkEvnt::GetExpEvntList(ULONG set) const {
    const std::unique_ptr<CStringList>* slot = m_ExpEvntList.Find(set);
    return slot ? slot->get() : nullptr;
}

int CArticWrkEvnt::SetExpEvntList(ULONG set, const CStringList* list) {
    if (!list) return 0;
    if (!GrowFor(m_ExpEvntList, set)) return 0;
    std::unique_ptr<CStringList>* slot = m_ExpEvntList.Find(set);
    if (!slot && list->GetCount() == 0) return 1;
    if (!slot) {
        std::unique_ptr<CStringList> made(new (std::nothrow) CStringList(10));
        if (!made) return 0;
        slot = &m_ExpEvntList.Make(set);
        *slot = std::move(made);
    }
    CStringList* to = slot->get();
    if (to == list) return 1;
    to->RemoveAll();
    for (POSITION p = list->GetHeadPosition(); p;) {
        const CString& s = list->GetNext(p);
        if (!s.IsEmpty()) to->AddTail(s);
    }
    return 1;
}

int CArticWrkEvnt::ClearExpEvntListArray() {
    m_ExpEvntList.Clear();
    return 1;
}

void CArticWrkEvnt::DeleteExpEvntListArray() { m_ExpEvntList.Clear(); }

void CArticWrkEvnt::CopyExpEvntListArray(const CArticSetSlots<std::unique_ptr<CStringList>>& src) {
    if (&src == &m_ExpEvntList) return;
    m_ExpEvntList.Clear();
    m_ExpEvntList.Reserve(src.Count());
    // A slot whose copy cannot be made stays empty.
    for (const auto& slot : src)
        if (slot.second)
            if (auto copy = NonEmptyTexts(*slot.second)) m_ExpEvntList.Make(slot.first) = std::move(copy);
    m_ExpEvntList.SetSizeOf(src);
}

LONG CArticWrkEvnt::GetNoteInfo(int i) const {
    if (unsigned(i) >= unsigned(kNoteInfoCount)) return 0;
    return m_NoteInfo[i];
}

int CArticWrkEvnt::SetNoteInfo(int i, LONG v) {
    if (unsigned(i) >= unsigned(kNoteInfoCount)) return 1;
    m_NoteInfo[i] = v;
    return 0;
}

int CArticWrkEvnt::ClearNoteInfo() {
    std::memset(m_NoteInfo, 0, sizeof m_NoteInfo);
    return 1;
}

CArticLongArray* CArticWrkEvnt::GetOutArray() const {
    if (!m_pOutView) m_pOutView = new (std::nothrow) OutView();
    if (!m_pOutView) return nullptr;
    OutView& view = *m_pOutView;
    view.array.SetSize(0);
    view.values.clear();
    for (const auto& slot : m_Out) view.values.push_back(slot.second);
    view.array.SetSize(m_Out.GetSize());
    size_t i = 0;
    for (const auto& slot : m_Out) view.array.SetAt(int(slot.first), &view.values[i++]);
    return &view.array;
}

int CArticWrkEvnt::GetOutArray(CArticLongArray** array) const {
    CArticLongArray* a = GetOutArray();
    if (array) *array = a;
    return a ? 1 : 0;
}

int CArticWrkEvnt::CreatePrmExpArray() {
    m_PrmExpMade = true;
    return 0;
}

int CArticWrkEvnt::SetPrmExpArray(ULONG set, CArticPrmExp* rec) {
    if (CreatePrmExpArray() != 0) return 1;
    if (!GrowFor(m_PrmExp, set)) return 1;
    CArticPrmExp** slot = m_PrmExp.Find(set);
    CArticPrmExp* old = slot ? *slot : nullptr;
    if (old != rec) delete old;
    if (!rec)
        m_PrmExp.Erase(set);
    else if (slot)
        *slot = rec;
    else
        m_PrmExp.Make(set) = rec;
    return 0;
}

CArticPrmExp* CArticWrkEvnt::GetPrmExp(ULONG set) const {
    CArticPrmExp* const* slot = m_PrmExp.Find(set);
    return slot ? *slot : nullptr;
}

int CArticWrkEvnt::GetPrmExpArraySize() const { return m_PrmExpMade ? m_PrmExp.GetSize() : 0; }

int CArticWrkEvnt::GetPrmExpArrayExist() const { return int(m_PrmExp.Count()); }

int CArticWrkEvnt::ClearPrmExpArray() {
    if (!m_PrmExpMade) return 0;
    for (const auto& slot : m_PrmExp) delete slot.second;
    m_PrmExp.Clear();
    return 1;
}

void CArticWrkEvnt::DeletePrmExpArray() {
    ClearPrmExpArray();
    m_PrmExpMade = false;
}

void CArticWrkEvnt::CopyPrmExpArray(const CArticWrkEvnt& src) {
    // The array is made either way; without one on src, the records held stay.
    if (CreatePrmExpArray() != 0 || !src.m_PrmExpMade || &src == this) return;
    ClearPrmExpArray();
    m_PrmExp.Reserve(src.m_PrmExp.Count());
    // A record that cannot be copied leaves its slot empty.
    for (const auto& slot : src.m_PrmExp) {
        auto* to = new (std::nothrow) CArticPrmExp();
        if (!to) continue;
        *to = *slot.second;
        m_PrmExp.Make(slot.first) = to;
    }
    m_PrmExp.SetSizeOf(src.m_PrmExp);
}

int CArticWrkEvnt::RestoreProb(const CArticWrkEvnt* src) {
    if (!src) return 1;
    if (src == this) return 0;
    m_Prob = src->m_Prob;
    m_Out = src->m_Out;
    m_Err = src->m_Err;
    return 0;
}

// ---- Fingering, chords, shifts

void CArticWrkEvnt::NewFngrInfo() {
    DeleteFngrInfo();
    m_pFngrInfo = new (std::nothrow) CArticFngrInfo(0, 0, 0, 0);
}

void CArticWrkEvnt::DeleteFngrInfo() {
    delete m_pFngrInfo;
    m_pFngrInfo = nullptr;
}

void CArticWrkEvnt::SetFngrInfo(LONG pos, BYTE gen, BYTE fng, signed char cho) {
    if (!m_pFngrInfo) NewFngrInfo();
    if (!m_pFngrInfo) return;
    m_pFngrInfo->SetPos(pos);
    m_pFngrInfo->SetGen(gen);
    m_pFngrInfo->SetFng(fng);
    m_pFngrInfo->SetCho(cho);
}

void CArticWrkEvnt::SetFngrInfo(const CArticFngrInfo* rec) {
    if (!rec || rec == m_pFngrInfo) return;
    if (!m_pFngrInfo) NewFngrInfo();
    if (m_pFngrInfo) *m_pFngrInfo = *rec;
}

void CArticWrkEvnt::SetOrgTrkID(POSITION id) {
    if (m_pFngrInfo) m_pFngrInfo->SetOrgTrkID(id);
}

void CArticWrkEvnt::ClearChordInfo() {
    delete m_pChordList;
    delete m_pHarmoList;
    m_pChordList = m_pHarmoList = nullptr;
    m_pChordFirstEvnt = nullptr;
}

void CArticWrkEvnt::AddChordEvnt(CArticWrkEvnt* e) {
    if (!m_pChordList) m_pChordList = new (std::nothrow) CArticWrkEvntList(10);
    if (m_pChordList && e) m_pChordList->AddTail(e);
}

void CArticWrkEvnt::AddHarmoEvnt(CArticWrkEvnt* e) {
    if (!m_pHarmoList) m_pHarmoList = new (std::nothrow) CArticWrkEvntList(10);
    if (m_pHarmoList && e && !m_pHarmoList->Find(e)) m_pHarmoList->AddTail(e);
}

void CArticWrkEvnt::AddKeyShift(int d) {
    int k = int(m_KeyShift) + d;
    if (k > 127) k = 127;
    if (k < -128) k = -128;
    m_KeyShift = static_cast<signed char>(k);
}

// ---- Text and errors

int CArticWrkEvnt::GetStrList(CStringList& list, ULONG set, int withRuleData) {
    CString line;
    line.Format("w%u:", unsigned(m_EvntNo));
    SetMeas(m_Time);
    const ULONG meas = m_Bar, beat = m_Beat, tick = m_Tick;
    line.AppendFormat("%u/%u/%u", unsigned(meas), unsigned(beat), unsigned(tick));
    CString name;
    int rc = CArticWrkUtil::GetEvntStatus(m_Status, m_MetaType, name);
    if (rc != 0) return rc;
    if (name == "META") name = "SysEx";
    line += ", ";
    line += name;
    CStringList texts;
    rc = CArticWrkUtil::GetEvntParam(this, texts);
    if (rc != 0) return rc;
    for (POSITION p = texts.GetHeadPosition(); p;) {
        line += ", ";
        line += texts.GetNext(p);
    }
    if (withRuleData && set != kNoRuleSet) {
        line += ", prob = ";
        line += FormatFixed(GetProb(set), 9);
        line.AppendFormat(", err = %d", int(GetErr(set)));
        line += GetOut(set) ? ", out = 1" : ", out = 0";
    }
    list.AddTail(line);
    return 0;
}

void CArticWrkEvnt::SetErrMsgList() {
    CStringList list;
    if (GetStrList(list, kNoRuleSet, 0) == 0 && list.GetCount() > 0)
        CArticErr::Set(5, list.GetTail(), "", "", "");
}

void CArticWrkEvnt::DispErrMsg(const CString& title, const CString& message, const CString& method,
                               const CString& detail) {
    if (m_ErrKind != 0) return;
    CArticErr::Set(message, "CArticWrkEvnt", method, detail);
    CString text;
    CArticErr::Get(text);
    CArticErr::DoModalErrDlg(title + "\r" + text, 0x10);
    m_ErrKind = 3;
    SetErrMsgList();
}

// ---- Memory of destroyed events

namespace {

struct HeldMemory {
    int holds = 0;
    std::vector<void*> blocks;
};

HeldMemory& Held() {
    static HeldMemory held;
    return held;
}

}  // namespace

void CArticWrkEvnt::HoldFreedMemory(int on) {
    HeldMemory& held = Held();
    if (on) {
        ++held.holds;
        return;
    }
    if (held.holds == 0 || --held.holds > 0) return;
    for (void* p : held.blocks) ::operator delete(p);
    held.blocks.clear();
    held.blocks.shrink_to_fit();
}

void* CArticWrkEvnt::operator new(size_t size) { return ::operator new(size); }

void* CArticWrkEvnt::operator new(size_t size, const std::nothrow_t&) noexcept {
    return ::operator new(size, std::nothrow);
}

void CArticWrkEvnt::operator delete(void* p) {
    if (!p) return;
    HeldMemory& held = Held();
    if (held.holds > 0) {
        try {
            held.blocks.push_back(p);
            return;
        } catch (...) {
            // Without room to remember it, the block is freed at once.
        }
    }
    ::operator delete(p);
}

void CArticWrkEvnt::operator delete(void* p, const std::nothrow_t&) noexcept { ::operator delete(p); }
