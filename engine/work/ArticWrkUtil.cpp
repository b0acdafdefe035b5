#include "engine/work/ArticWrkUtil.h"

#include <cstring>
#include <string>

#include "services/ArticErr.h"
#include "engine/work/ArticEngineCtx.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrk.h"
#include "engine/work/ArticWrkBlk.h"
#include "platform/Numbers.h"

void CArticWrkUtil::SetExpEvnt(CArticExpEvnt* evnt) { CArticEngineCtx::Get().SetExpEvnt(evnt); }
CArticExpEvnt* CArticWrkUtil::GetExpEvnt() { return CArticEngineCtx::Get().GetExpEvnt(); }
void CArticWrkUtil::SetFng(int fng) { CArticEngineCtx::Get().SetFng(fng); }
int CArticWrkUtil::GetFng() { return CArticEngineCtx::Get().GetFng(); }

namespace {

const char kNoStatus[] = "未対応のｽﾃｰﾀｽが存在します。";
const char kFngrDelims[] = ":[],";

// How the parameter texts of a kind are written.
enum class ParamRule { None, Beat, Meter, Tempo, Quoted, Note, PolyAfter, TwoPosts, OnePost, Bend, FourPosts,
                       ThreePosts, SysEx };

struct EventKind {
    const char* name;
    BYTE status;
    BYTE metaType;
    ParamRule rule;
};

// In the order names are looked up. The sequencer-specific meta event and
// system exclusive have names of their own, so either reads back as itself.
const EventKind kEventKinds[] = {
    {"Beat", 0xFF, 0x58, ParamRule::Beat},
    {"Meter", 0xFF, 0x59, ParamRule::Meter},
    {"Tempo", 0xFF, 0x51, ParamRule::Tempo},
    {"End", 0xFF, 0x2F, ParamRule::None},
    {"Text", 0xFF, 0x01, ParamRule::Quoted},
    {"Copyright", 0xFF, 0x02, ParamRule::Quoted},
    {"SeqName", 0xFF, 0x03, ParamRule::Quoted},
    {"InstName", 0xFF, 0x04, ParamRule::Quoted},
    {"Lyric", 0xFF, 0x05, ParamRule::Quoted},
    {"Maker", 0xFF, 0x06, ParamRule::Quoted},
    {"CuePoint", 0xFF, 0x07, ParamRule::None},
    {"SMPTEOffset", 0xFF, 0x54, ParamRule::None},
    {"SeqSpec", 0xFF, 0x7F, ParamRule::None},
    {"ChPref", 0xFF, 0x20, ParamRule::Quoted},
    {"Note", 0x90, 0, ParamRule::Note},
    {"Cc", 0xB0, 0, ParamRule::TwoPosts},
    {"Pb", 0xE0, 0, ParamRule::Bend},
    {"NRPN", 0x10, 0, ParamRule::FourPosts},
    {"RPN", 0x20, 0, ParamRule::FourPosts},
    {"VCE", 0x30, 0, ParamRule::ThreePosts},
    {"PolyAfter", 0xA0, 0, ParamRule::PolyAfter},
    {"PrgChng", 0xC0, 0, ParamRule::OnePost},
    {"AfterTouch", 0xD0, 0, ParamRule::OnePost},
    {"SysEx", 0xF0, 0, ParamRule::SysEx},
};
// A meta type without a name of its own.
const char kMetaName[] = "META";

const EventKind* FindKind(BYTE status, BYTE metaType) {
    for (const auto& k : kEventKinds)
        if (k.status == status && k.metaType == metaType) return &k;
    return nullptr;
}

CString Decimal(LONG value) {
    CExString s;
    s.ConvLongToStr(value, 10);
    return s;
}

CString Hex(BYTE value) {
    CExString s;
    s.ConvShortToStr(short(value), 16);
    return CString("0x") + s;
}

// A whole token read as a non-negative integer (decimal, 0x hexadecimal, 0 octal).
bool ReadWholeNumber(const CString& token, int* value) {
    if (token.IsEmpty()) return false;
    size_t consumed = 0;
    int32_t v = ParseLong(token.c_str(), 0, &consumed);
    if (consumed == 0 || consumed != size_t(token.GetLength()) || v < 0) return false;
    *value = v;
    return true;
}

CString NextToken(CExString& text) {
    CString rest;
    CString token = text.GetToken(&rest, kFngrDelims);
    text = rest;
    return token;
}

}  // namespace

int CArticWrkUtil::ReportErr(const CString& phase, const CString& reason, const CString& location,
                             const CString& detail) {
    return CArticEngineCtx::Get().Report(phase, reason, location, detail);
}

int CArticWrkUtil::ShiftPackedEvnt(CArticWrkEvntList* list, BYTE status, BYTE msb, BYTE lsb, INT64 t1, INT64 t2,
                                   short shift) {
    if (!list) return 1;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        if (e->GetTime() > t2) break;
        if (e->GetTime() < t1 || e->GetStatus() != status || e->GetPost1() != msb || e->GetPost2() != lsb) continue;
        _WRK_EVNT r;
        e->Get(r);
        int v = int(r.Post3) + shift;
        r.Post3 = BYTE(v < 0 ? 0 : (v > 127 ? 127 : v));
        e->Set(r);
    }
    return 0;
}

int CArticWrkUtil::ShiftPackedEvnt(CArticWrkBlk* blk, BYTE status, BYTE msb, BYTE lsb, INT64 t1, INT64 t2,
                                   short shift) {
    if (!blk || !blk->GetEvntList()) return 1;
    int rc = ShiftPackedEvnt(blk->GetEvntList(), status, msb, lsb, t1, t2, shift);
    if (status == 0x20 && msb == 0 && lsb == 0) {
        _WRK_EVNT range;
        range.Status = 0x20;
        return blk->ShiftCondPos(range, t1, t2, shift);
    }
    return rc;
}

// ---- Kind names

int CArticWrkUtil::GetEvntStatus(const CString& name, BYTE* status, BYTE* metaType) {
    for (const auto& k : kEventKinds) {
        if (name != k.name) continue;
        if (status) *status = k.status;
        if (metaType) *metaType = k.metaType;
        return 0;
    }
    CArticErr::Set(kNoStatus, "CArticWrkUtil", "GetEvntStatus", CString("ｽﾃｰﾀｽ = ") + name);
    return 1;
}

int CArticWrkUtil::GetEvntStatus(BYTE status, BYTE metaType, CString& name) {
    if (const EventKind* k = FindKind(status, metaType)) {
        name = k->name;
        return 0;
    }
    if (status == 0xFF && metaType != 0) {
        name = kMetaName;
        return 0;
    }
    CString detail;
    detail.Format("ｽﾃｰﾀｽ = 0x%02x    ﾒﾀﾀｲﾌﾟ = 0x%02x", unsigned(status), unsigned(metaType));
    CArticErr::Set(kNoStatus, "CArticWrkUtil", "GetEvntStatus", detail);
    return 1;
}

void CArticWrkUtil::ConvMetaString(const _WRK_EVNT& evnt, CString& text) {
    if (evnt.Len == 0 || !evnt.Data) return;
    std::string s = "\"";
    s.append(reinterpret_cast<const char*>(evnt.Data), evnt.Len);
    s += '"';
    size_t zero = s.find('\0');
    if (zero != std::string::npos) s.resize(zero);
    text = CString(s);
}

int CArticWrkUtil::GetEvntParam(CArticWrkEvnt* evnt, CStringList& texts) {
    if (!evnt) return 0;
    _WRK_EVNT r;
    evnt->Get(r);
    CString name;
    int rc = GetEvntStatus(r.Status, r.MetaType, name);
    if (rc != 0) return rc;
    const EventKind* kind = FindKind(r.Status, r.MetaType);
    const ParamRule rule = kind ? kind->rule : ParamRule::None;
    // Data shorter than its kind defines gives no texts rather than a read past its end.
    switch (rule) {
    case ParamRule::None:
        break;
    case ParamRule::Beat:
        if (r.Data && r.Len >= 2) {
            BYTE buf[4] = {0, 0, 0, 0};
            std::memcpy(buf, r.Data, r.Len < 4 ? r.Len : 4);
            BYTE num = 0, den = 4;
            ULONG click = 0;
            CArticUtil::GetBeat(buf, &num, &den, &click);
            texts.AddTail(Decimal(LONG((3840u / (den ? den : 4) + 1u) / 2u)));
            texts.AddTail(Decimal(r.Data[0]));
        }
        break;
    case ParamRule::Meter:
        if (r.Data && r.Len >= 2) texts.AddTail(Decimal(static_cast<signed char>(r.Data[0])));
        break;
    case ParamRule::Tempo:
        if (r.Data && r.Len >= 3) texts.AddTail(Decimal(LONG((r.Data[0] << 16) | (r.Data[1] << 8) | r.Data[2])));
        break;
    case ParamRule::Quoted: {
        CString quoted;
        ConvMetaString(r, quoted);
        if (!quoted.IsEmpty()) texts.AddTail(quoted);
        break;
    }
    case ParamRule::Note:
        texts.AddTail(CArticUtil::ConvValueToNote(r.Post1, 1));
        texts.AddTail(Decimal(LONG(uint32_t(r.Gate))));
        texts.AddTail(Decimal(r.Post2));
        break;
    case ParamRule::PolyAfter:
        texts.AddTail(CArticUtil::ConvValueToNote(r.Post1, 1));
        texts.AddTail(Decimal(r.Post2));
        break;
    case ParamRule::TwoPosts:
        texts.AddTail(Decimal(r.Post1));
        texts.AddTail(Decimal(r.Post2));
        break;
    case ParamRule::OnePost:
        texts.AddTail(Decimal(r.Post1));
        break;
    case ParamRule::Bend:
        texts.AddTail(Decimal((LONG(r.Post2) - 64) * 128 + (r.Post1 & 0x7F)));
        break;
    case ParamRule::FourPosts:
        texts.AddTail(Decimal(r.Post1));
        texts.AddTail(Decimal(r.Post2));
        texts.AddTail(Decimal(r.Post3));
        texts.AddTail(Decimal(r.Post4));
        break;
    case ParamRule::ThreePosts:
        texts.AddTail(Decimal(r.Post1));
        texts.AddTail(Decimal(r.Post2));
        texts.AddTail(Decimal(r.Post3));
        break;
    case ParamRule::SysEx:
        if (r.Data && r.Len >= 7) {
            texts.AddTail(Hex(r.Data[3]));
            texts.AddTail(Hex(r.Data[4]));
            texts.AddTail(Hex(r.Data[5]));
            texts.AddTail("....");
        }
        break;
    }
    return 0;
}

int CArticWrkUtil::GetWrkEvntListParam(CArticWrk* wrk, CArticWrkEvntList* list, CString& text) {
    if (!wrk || !list || list->GetCount() < 0) return 1;
    CString out;
    out.Format("%d{", list->GetCount());
    bool first = true;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = list->GetNext(p);
        if (!e) continue;
        if (!first) out += ",";
        first = false;
        out += ":w";
        if (wrk->IsEvntPos(e))
            out.AppendFormat("%u", unsigned(e->GetEvntNo()));
        else
            out += "??";
    }
    out += "}";
    text = out;
    return 0;
}

// ---- Fingering lines

int CArticWrkUtil::GetFngrEvntNo(CExString& text, int* evntNo) {
    if (text.IsEmpty()) return 1;
    CString token = NextToken(text);
    if (token.GetLength() < 2 || token[0] != 'w') return 1;
    int value = 0;
    if (!ReadWholeNumber(token.Mid(1), &value)) return 1;
    if (evntNo) *evntNo = value;
    return 0;
}

int CArticWrkUtil::GetFngrParam(CExString& text, const char* key, int* value) {
    if (text.IsEmpty() || !key) return 1;
    CString token = NextToken(text);
    if (token.IsEmpty() || token != key) return 1;
    if (text.IsEmpty()) return 1;
    int v = 0;
    if (!ReadWholeNumber(NextToken(text), &v)) return 1;
    if (value) *value = v;
    return 0;
}

int CArticWrkUtil::GetFngrInfo(CString line, ULONG* evntNo, int* pos, BYTE* gen, BYTE* fng, char* cho) {
    CExString text(line);
    if (text.IsEmpty()) return 1;
    int no = 0;
    if (GetFngrEvntNo(text, &no) != 0) return 1;
    if (evntNo) *evntNo = ULONG(no);
    NextToken(text);  // the second token carries nothing used here
    int v = 0;
    if (GetFngrParam(text, "ﾎﾟｼﾞｼｮﾝ", &v) != 0) return 1;
    if (pos) *pos = v;
    if (GetFngrParam(text, "弦", &v) != 0) return 1;
    if (gen) *gen = BYTE(v & 0xFF);
    if (GetFngrParam(text, "指", &v) != 0) return 1;
    if (fng) *fng = BYTE(v & 0xFF);
    if (GetFngrParam(text, "ﾌﾚｯﾄ", &v) != 0) return 1;
    if (GetFngrParam(text, "ﾁｮｰｷﾝｸﾞ", &v) != 0) return 1;
    if (cho) *cho = char(v & 0x7F);
    return 0;
}
