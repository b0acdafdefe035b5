#include "engine/expressions/ArticExpLayer.h"

#include "services/ArticPasn.h"
#include "services/ArticPasnData.h"
#include "engine/work/ArticTicks.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "engine/work/ArticWrkUtil.h"

using articticks::AddTicks;

VX_IMPLEMENT_CLASS(CArticExpLayer, CArticExpEvnt);
VX_IMPLEMENT_CLASS(CArticExpLayerBow1, CArticExpLayer);
VX_IMPLEMENT_CLASS(CArticExpLayerBow2, CArticExpLayer);
VX_IMPLEMENT_CLASS(CArticExpLayerNote1, CArticExpLayer);
VX_IMPLEMENT_CLASS(CArticExpLayerNote2, CArticExpLayerNote1);

namespace {

const char* const kLayerAddFailed = "指定したﾌﾞﾛｯｸにNoteｲﾍﾞﾝﾄを追加する際にｴﾗｰが発生した。";
const char* const kLayerNoPart = "新しい音源ﾊﾟｰﾄを確保できません。";

CString LayerNumber(ULONG n) {
    CString text;
    text.Format("%u", unsigned(n));
    return text;
}

}  // namespace

// ================================================================ Base

CArticExpLayer::CArticExpLayer(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes)
    : CArticExpEvnt(owner, evntNo), m_Notes(notes) {}

CArticExpLayer& CArticExpLayer::operator=(const CArticExpLayer& src) {
    CArticExpEvnt::operator=(src);
    m_Notes = src.m_Notes;
    return *this;
}

CArticWrkBlk* CArticExpLayer::GetMidWrkBlk2(CArticWrkBlk* key, ULONG n) const {
    CArticPasnData* data = GetPasnData();
    CArticPasn* pasn = data ? data->GetOwner() : nullptr;
    CArticPasnData* record = pasn && key ? pasn->Get(key) : nullptr;
    return record ? record->Get(n) : nullptr;
}

void CArticExpLayer::SetMidWrkBlk2(CArticWrkBlk* key, ULONG n, CArticWrkBlk* blk) {
    CArticPasnData* data = GetPasnData();
    CArticPasn* pasn = data ? data->GetOwner() : nullptr;
    if (CArticPasnData* record = pasn && key ? pasn->Get(key) : nullptr) record->Set(n, blk);
}

CArticWrkBlk* CArticExpLayer::NewMidWrkBlk2(ULONG n, BYTE kind, CArticWrkBlk* where) {
    CArticPasnData* data = GetPasnData();
    CArticPasn* pasn = data ? data->GetOwner() : nullptr;
    if (!pasn || !where || !pasn->Get(where)) return nullptr;
    CArticWrkBlk* blk = NewWrkBlk(kind, where);
    if (blk) SetMidWrkBlk2(where, n, blk);
    return blk;
}

int CArticExpLayer::PutLayerVoice(CArticWrk* wrk, CArticWrkBlk* layer, INT64 t, BYTE msb, BYTE lsb, BYTE program) {
    BYTE curMsb = 0, curLsb = 0, curProgram = 0;
    CArticWrkUtil::GetVoice(layer, t, &curMsb, &curLsb, &curProgram);
    if (curMsb == msb && curLsb == lsb && curProgram == program) return 0;
    CArticWrkEvnt* e = nullptr;
    if (int rc = CArticWrkUtil::CreateWrkEvnt(wrk, layer, &e)) return rc;
    if (!e) return 1;
    e->SetStatus(0x30);
    e->SetTime(t < 5 ? 0 : t - 5, 1);
    e->SetPost1(msb);
    e->SetPost2(lsb);
    e->SetPost3(program);
    layer->Sort(e, 1);
    e->SetCreate(1);
    return layer->SetCondPos(e);
}

int CArticExpLayer::FindLayerBlk(CArticWrkEvnt* note, BYTE type, BYTE layer, CArticWrk** wrk, CArticWrkBlk** source,
                                 CArticWrkBlk** target) {
    *wrk = nullptr;
    *source = *target = nullptr;
    if (!note || GetTgNeed() < 2) {
        if (GetErrKind() == 0) DispErrMsg(kPhase1Title, kLayerAddFailed, "GetLayerWrkBlk", "");
        return 1;
    }
    CArticWrkBlk* src = note->GetOwner();
    CArticWrkBlk* blk = nullptr;
    if (src && (type & 1) == 0) {
        blk = GetMidWrkBlk2(src, ULONG(layer) + 1);
        if (!blk && (blk = NewMidWrkBlk2(ULONG(layer) + 1, 0, src)))
            blk->SetBlkName(src->GetBlkName() + "-L" + LayerNumber(ULONG(layer) + 1));
    } else if (src) {
        blk = GetMidCommonWrkBlk(layer);
        if (blk) {
            EntryMidCommonWrkBlk(layer, src);
        } else if ((blk = NewMidCommonWrkBlk(layer, 0, src))) {
            blk->SetBlkName("L" + LayerNumber(layer));
        }
    }
    if (!src || !blk) {
        if (GetErrKind() == 0)
            DispErrMsg(kPhase1Title, kLayerNoPart, "GetLayerWrkBlk",
                       "ﾚｲﾔｰ・ﾀｲﾌﾟ = " + LayerNumber(type & 1) + "  ﾚｲﾔｰ番号 = " + LayerNumber(layer));
        return 1;
    }
    *wrk = src->GetWrk();
    *source = src;
    *target = blk;
    return 0;
}

template <class B, class V>
int CArticExpLayer::BowNotes(WORD devSize, B blocks, V voice) {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    int rc = 1;
    for (POSITION p = notes ? notes->GetHeadPosition() : nullptr; p;) {
        CArticWrkEvnt* note = notes->GetNext(p);
        if (!note || note->GetStatus() != 0x90) continue;
        CArticWrk* wrk = nullptr;
        CArticWrkBlk *source = nullptr, *layer = nullptr;
        if (blocks(note, &wrk, &source, &layer) != 0) continue;
        const INT64 s = note->GetTime();
        const INT64 g = note->GetGateTime() > 0 ? note->GetGateTime() : 0;
        const INT64 n = g / devSize, r = g % devSize;
        rc = voice(wrk, s, source, layer);
        for (INT64 i = 0; i < n && rc == 0; ++i)
            rc = CArticWrkUtil::CreNoteTime(wrk, layer, AddTicks(s, i * devSize), note->GetPost1(), note->GetPost2(), devSize);
        if (rc == 0 && r > 0)
            rc = CArticWrkUtil::CreNoteTime(wrk, layer, AddTicks(s, n * devSize), note->GetPost1(), note->GetPost2(), r);
        if (rc != 0) return rc;
    }
    return rc;
}

int CArticExpLayer::ReportLayer(int rc) {
    if (rc != 0 && GetErrKind() == 0) DispErrMsg(kPhase1Title, kLayerAddFailed, "ConvToWrk", "");
    return rc;
}

int CArticExpLayer::RefuseDevSize() {
    if (GetErrKind() == 0) DispErrMsg(kPhase1Title, kLayerAddFailed, "ConvToWrk", "DevSize = 0");
    return 1;
}

// ================================================================ Bows

CArticExpLayerBow1::CArticExpLayerBow1(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                       WORD devSize)
    : CArticExpLayer(owner, evntNo, notes), m_Type(type), m_DevSize(devSize) {
    SetTgNeed(2);
}

CArticExpLayerBow1& CArticExpLayerBow1::operator=(const CArticExpLayerBow1& src) {
    CArticExpLayer::operator=(src);
    m_Type = src.m_Type;
    m_DevSize = src.m_DevSize;
    return *this;
}

int CArticExpLayerBow1::SetLayerVoice(CArticWrk* wrk, INT64 t, CArticWrkBlk* source, CArticWrkBlk* layer) {
    BYTE msb = 0, lsb = 0, program = 0;
    CArticWrkUtil::GetVoice(source, t, &msb, &lsb, &program);
    return PutLayerVoice(wrk, layer, t, msb, lsb, program);
}

int CArticExpLayerBow1::CreLayerBow1(CArticWrk* wrk, CArticWrkBlk* source, CArticWrkBlk* layer) {
    if (!wrk || !layer || !GetWrkEvntList()) return 1;
    return BowNotes(
        m_DevSize,
        [&](CArticWrkEvnt*, CArticWrk** w, CArticWrkBlk** s, CArticWrkBlk** l) {
            *w = wrk;
            *s = source;
            *l = layer;
            return 0;
        },
        [&](CArticWrk* w, INT64 t, CArticWrkBlk* s, CArticWrkBlk* l) { return SetLayerVoice(w, t, s, l); });
}

int CArticExpLayerBow1::ConvToWrk() {
    if (!GetWrkEvntList() || GetTgNeed() <= 1) return ReportLayer(1);
    // Refused before anything is made: a stroke of no length cuts no note.
    if (m_DevSize == 0) return RefuseDevSize();
    CArticWrkBlk* source = GetMidWrkBlk(0);
    CArticWrkBlk* layer = GetMidWrkBlk(1);
    if (source && !layer) layer = NewMidWrkBlk(1, 0, source);
    if (!layer) {
        if (GetErrKind() == 0) DispErrMsg(kPhase1Title, kLayerNoPart, "ConvToWrk", "ﾊﾟｰﾄｱｻｲﾝ = 1");
        return 1;
    }
    CArticWrk* wrk = layer->GetWrk();
    return ReportLayer(wrk ? CreLayerBow1(wrk, source, layer) : 1);
}

CArticExpLayerBow2::CArticExpLayerBow2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                       BYTE layer, WORD devSize)
    : CArticExpLayer(owner, evntNo, notes), m_Type(type), m_Layer(layer), m_DevSize(devSize) {
    SetTgNeed(2);
}

CArticExpLayerBow2& CArticExpLayerBow2::operator=(const CArticExpLayerBow2& src) {
    CArticExpLayer::operator=(src);
    m_Type = src.m_Type;
    m_Layer = src.m_Layer;
    m_DevSize = src.m_DevSize;
    return *this;
}

int CArticExpLayerBow2::GetLayerWrkBlk(CArticWrkEvnt* note, CArticWrk** wrk, CArticWrkBlk** source,
                                       CArticWrkBlk** layer) {
    return FindLayerBlk(note, m_Type, m_Layer, wrk, source, layer);
}

int CArticExpLayerBow2::SetLayerVoice(CArticWrk* wrk, INT64 t, CArticWrkBlk* source, CArticWrkBlk* layer) {
    BYTE msb = 0, lsb = 0, program = 0;
    CArticWrkUtil::GetVoice(source, t, &msb, &lsb, &program);
    return PutLayerVoice(wrk, layer, t, msb, lsb, program);
}

int CArticExpLayerBow2::CreLayerBow2() {
    if (!GetWrkEvntList()) return 1;
    return BowNotes(
        m_DevSize,
        [&](CArticWrkEvnt* note, CArticWrk** w, CArticWrkBlk** s, CArticWrkBlk** l) {
            return GetLayerWrkBlk(note, w, s, l);
        },
        [&](CArticWrk* w, INT64 t, CArticWrkBlk* s, CArticWrkBlk* l) { return SetLayerVoice(w, t, s, l); });
}

int CArticExpLayerBow2::ConvToWrk() {
    if (!GetWrkEvntList()) return ReportLayer(1);
    if (m_DevSize == 0) return RefuseDevSize();
    return ReportLayer(CreLayerBow2());
}

// ================================================================ Notes

CArticExpLayerNote1::CArticExpLayerNote1(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                         BYTE layer, LONG time, ULONG dur, BYTE key, BYTE velo, BYTE bselMsb,
                                         BYTE bselLsb, BYTE proNo)
    : CArticExpLayer(owner, evntNo, notes), m_Type(type), m_Layer(layer), m_Time(time), m_Dur(dur), m_Key(key),
      m_Velo(velo), m_BSelMSB(bselMsb), m_BSelLSB(bselLsb), m_ProNo(proNo) {
    SetTgNeed(2);
}

CArticExpLayerNote1& CArticExpLayerNote1::operator=(const CArticExpLayerNote1& src) {
    CArticExpLayer::operator=(src);
    m_Type = src.m_Type;
    m_Layer = src.m_Layer;
    m_Time = src.m_Time;
    m_Dur = src.m_Dur;
    m_Key = src.m_Key;
    m_Velo = src.m_Velo;
    m_BSelMSB = src.m_BSelMSB;
    m_BSelLSB = src.m_BSelLSB;
    m_ProNo = src.m_ProNo;
    return *this;
}

int CArticExpLayerNote1::GetLayerWrkBlk(CArticWrkEvnt* note, CArticWrk** wrk, CArticWrkBlk** source,
                                        CArticWrkBlk** layer) {
    return FindLayerBlk(note, m_Type, m_Layer, wrk, source, layer);
}

int CArticExpLayerNote1::SetLayerVoice(CArticWrk* wrk, INT64 t, CArticWrkBlk* layer) {
    return PutLayerVoice(wrk, layer, t, MidiData(m_BSelMSB), MidiData(m_BSelLSB), MidiData(m_ProNo));
}

int CArticExpLayerNote1::CreLayerNote1() {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    int rc = 1;
    for (POSITION p = notes ? notes->GetHeadPosition() : nullptr; p;) {
        CArticWrkEvnt* note = notes->GetNext(p);
        rc = 1;
        CArticWrk* wrk = nullptr;
        CArticWrkBlk *source = nullptr, *layer = nullptr;
        if (GetLayerWrkBlk(note, &wrk, &source, &layer) != 0 || note->GetStatus() != 0x90) continue;
        const INT64 t = std::max<INT64>(0, AddTicks(note->GetTime(), m_Time));
        rc = SetLayerVoice(wrk, t, layer);
        if (rc == 0 && m_Dur > 0) rc = CArticWrkUtil::CreNoteTime(wrk, layer, t, MidiData(m_Key), MidiData(m_Velo), INT64(m_Dur));
        if (rc != 0) return rc;
    }
    return rc;
}

int CArticExpLayerNote1::ConvToWrk() {
    if (!GetWrkEvntList()) return ReportLayer(1);
    return ReportLayer(CreLayerNote1());
}

CArticExpLayerNote2::CArticExpLayerNote2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type,
                                         BYTE layer, LONG time, ULONG dur, BYTE key, BYTE velo, BYTE bselMsb,
                                         BYTE bselLsb, BYTE proNo, const CArticWrkEvntList* notes2)
    : CArticExpLayerNote1(owner, evntNo, notes, type, layer, time, dur, key, velo, bselMsb, bselLsb, proNo),
      m_Notes2(notes2) {}

CArticExpLayerNote2& CArticExpLayerNote2::operator=(const CArticExpLayerNote2& src) {
    CArticExpLayerNote1::operator=(src);
    m_Notes2 = src.m_Notes2;
    return *this;
}

int CArticExpLayerNote2::ReLinkWrkEvntList2(CArticWrk* wrk) {
    if (!wrk) return 1;
    CArticWrkEvntList* list = m_Notes2.Get();
    if (!list) return 0;
    CArticWrkEvntList old(10);
    old.AddTail(*list);
    list->RemoveAll();
    CArticWrkUtil::ReLinkEvntList2(wrk, &old, list);
    return 0;
}

int CArticExpLayerNote2::CreLayerNote2() {
    const CArticWrkEvntList* notes = GetWrkEvntList();
    const CArticWrkEvntList* seconds = m_Notes2.Get();
    int rc = 1;
    POSITION q = seconds ? seconds->GetHeadPosition() : nullptr;
    for (POSITION p = notes ? notes->GetHeadPosition() : nullptr; p;) {
        if (!q) return rc;
        CArticWrkEvnt* note = notes->GetNext(p);
        CArticWrkEvnt* paired = seconds->GetNext(q);
        rc = 1;
        CArticWrk* wrk = nullptr;
        CArticWrkBlk *source = nullptr, *layer = nullptr;
        if (!note || !paired || GetLayerWrkBlk(note, &wrk, &source, &layer) != 0 || note->GetStatus() != 0x90)
            continue;
        const INT64 t = std::max<INT64>(0, AddTicks(note->GetTime(), GetTime()));
        rc = SetLayerVoice(wrk, t, layer);
        if (rc == 0 && GetDur() > 0)
            rc = CArticWrkUtil::EditNoteTime(wrk, layer, paired, t, MidiData(GetKey()), MidiData(GetVelo()), INT64(GetDur()));
        if (rc != 0) return rc;
    }
    return rc;
}

int CArticExpLayerNote2::ConvToWrk() {
    if (!GetWrkEvntList()) return ReportLayer(1);
    return ReportLayer(CreLayerNote2());
}
