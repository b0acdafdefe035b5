#include "engine/rules/ArticRulExpEvnt.h"

#include "engine/rules/ArticRulText.h"

#include <charconv>
#include <new>

#include "engine/rules/ArticRulData.h"
#include "engine/rules/ArticRulDataEvnt.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticRulUtil.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticRulExpEvnt, CObject);

using namespace rultext;

namespace {

// Decimal digits of a whole number, as "%d" and "%u" write them (every
// expression text of every firing note goes through here).
template <class Int>
CString DecimalText(Int value, const char* prefix = "", const char* suffix = "") {
    char buf[48];
    char* at = buf;
    while (*prefix) *at++ = *prefix++;
    at = std::to_chars(at, buf + 24, value).ptr;
    while (*suffix) *at++ = *suffix++;
    return CString(buf, int(at - buf));
}

// "%d" of a value: truncated toward zero to 32 bits.
CString IntText(double value) { return DecimalText(int(DoubleToLong(value))); }

// "%.9f" without the C library's locale-dependent formatting.
CString FixedText9(double value) {
    if (value != value) return "nan";
    int dec = 0;
    bool negative = false;
    std::string digits = FixedDigits(value, 9, &dec, &negative);
    if (digits.empty()) return negative ? "-inf" : "inf";
    // digits holds round(|value| * 10^9); the last nine are the fraction.
    if (digits.size() < 10) digits.insert(0, 10 - digits.size(), '0');
    std::string text = negative ? "-" : "";
    text += digits.substr(0, digits.size() - 9) + "." + digits.substr(digits.size() - 9);
    return CString(text);
}

}  // namespace

CArticRulExpEvnt::CArticRulExpEvnt(CArticRulSet* set, ULONG no)
    : m_pRulSet(set), m_DataNo(no), m_pExpEvntName(new CString()) {
    NewRulElmList();
}

CArticRulExpEvnt::~CArticRulExpEvnt() {
    DeleteRulElmList();
    delete m_pExpEvntName;
}

CArticRulExpEvnt& CArticRulExpEvnt::operator=(const CArticRulExpEvnt& src) {
    if (this == &src) return *this;
    SetExpEvntName(src.GetExpEvntName());
    if (src.m_pRulElmList) {
        NewRulElmList();
        CopyRulElmList(src.m_pRulElmList);
    }
    m_pCond = src.m_pCond;
    m_Searched = src.m_Searched;
    m_Mstr = src.m_Mstr;
    return *this;
}

void CArticRulExpEvnt::NewRulElmList() {
    DeleteRulElmList();
    m_pRulElmList = new (std::nothrow) CArticRulElmList(10);
}
void CArticRulExpEvnt::DeleteRulElmList() {
    ClearRulElmList();
    delete m_pRulElmList;
    m_pRulElmList = nullptr;
}
void CArticRulExpEvnt::ClearRulElmList() { CArticRulUtil::ClearRulElmList(m_pRulElmList); }
void CArticRulExpEvnt::CopyRulElmList(const CArticRulElmList* src) {
    if (!src || !m_pRulElmList || src == m_pRulElmList) return;
    ClearRulElmList();
    CArticRulUtil::AppendCopies(src, m_pRulElmList);
}

void CArticRulExpEvnt::GetClassNameA(CString* name) const {
    if (name) *name = GetClassNameA();
}

int CArticRulExpEvnt::GetRulElmList(CArticRulElmList** list) const {
    if (list) *list = m_pRulElmList;
    return 1;
}

int CArticRulExpEvnt::GetRulDataVal(CArticRulDataVal** cond) const {
    if (cond) *cond = m_pCond;
    return 1;
}

void CArticRulExpEvnt::SetExpEvntName(CString name) {
    if (!m_pExpEvntName) m_pExpEvntName = new (std::nothrow) CString();
    if (m_pExpEvntName) *m_pExpEvntName = name;
}

void CArticRulExpEvnt::SetRulElmList(CArticRulElmList* list) {
    if (list == m_pRulElmList) return;
    DeleteRulElmList();
    m_pRulElmList = list;
}

double CArticRulExpEvnt::GetCreateFlag() { return m_pCond ? m_pCond->GetData() : 1.0; }

CString CArticRulExpEvnt::GetExpEvnt() {
    // Built in one buffer: every firing note renders its lines again.
    CString text = GetExpEvntName();
    if (text.IsEmpty()) return text;
    text += '(';
    AppendArgument(m_pRulElmList, &text);
    text += ')';
    return text;
}

CString CArticRulExpEvnt::GetArgument(const CArticRulElmList* list) {
    CString joined;
    AppendArgument(list, &joined);
    return joined;
}

void CArticRulExpEvnt::AppendArgument(const CArticRulElmList* list, CString* out) {
    if (!list) return;
    int lastArrayCount = 0;
    bool first = true;
    CString text;
    for (POSITION p = list->GetHeadPosition(); p;) {
        const CArticRulElm* elm = list->GetNext(p);
        if (!elm) continue;
        if (!elm->GetRulData()) {
            if (CArticRulElmList* group = elm->GetRulElmList()) {
                // "count{items}": the items go straight into the caller's text.
                if (!first) *out += ", ";
                *out += DecimalText(group->GetCount(), "", "{");
                AppendArgument(group, out);
                *out += '}';
                first = false;
                continue;
            }
        }
        if (!RenderElement(elm, &lastArrayCount, &text)) continue;
        if (!first) *out += ", ";
        *out += text;
        first = false;
    }
}

bool CArticRulExpEvnt::RenderElement(const CArticRulElm* elm, int* lastArrayCount, CString* text) {
    CArticRulData* var = elm->GetRulData();
    const BYTE type = elm->GetDataType();
    const double f = elm->SignFactor();
    if (!var) {
        if (CArticRulElmList* group = elm->GetRulElmList()) {
            *text = DecimalText(group->GetCount(), "", "{");
            *text += GetArgument(group) + "}";
            return true;
        }
        if (type != kElmPlain) return false;
        CString str = elm->GetStrData();
        *text = str.IsEmpty() ? IntText(elm->GetData() * f) : str;
        return true;
    }
    if (IsClass(var, VX_RUNTIME_CLASS(CArticRulDataVal))) {
        if (type != kElmPlain) return false;
        *text = IntText(static_cast<CArticRulDataVal*>(var)->GetData() * f);
        return true;
    }
    if (IsClass(var, VX_RUNTIME_CLASS(CArticRulDataExv))) {
        if (type != kElmPlain) return false;
        *text = IntText(static_cast<CArticRulDataExv*>(var)->GetData() * f);
        return true;
    }
    if (IsClass(var, VX_RUNTIME_CLASS(CArticRulDataStr))) {
        if (type != kElmPlain) return false;
        *text = static_cast<CArticRulDataStr*>(var)->GetData();
        return true;
    }
    if (IsClass(var, VX_RUNTIME_CLASS(CArticRulDataAry))) {
        if (type != kElmPlain) return false;
        auto* ary = static_cast<CArticRulDataAry*>(var);
        *text = ary->GetData();
        *lastArrayCount = ary->GetCount();
        return true;
    }
    if (IsClass(var, VX_RUNTIME_CLASS(CArticRulDataVAry))) {
        auto* vary = static_cast<CArticRulDataVAry*>(var);
        // An output value array receives one fresh number per note of the array before it.
        if (type == kElmVAryOut) vary->SetData(*lastArrayCount);
        *text = vary->GetData();
        return true;
    }
    if (IsClass(var, VX_RUNTIME_CLASS(CArticRulDataEvnt))) {
        auto* evnt = static_cast<CArticRulDataEvnt*>(var);
        const ULONG setNo = ULONG(elm->GetData());
        ULONG no = kNoEvntNo;
        switch (type) {
            case kElmEvnt: no = evnt->GetWrkEvntNo(0); break;
            case kElmNext: no = evnt->GetNextWrkEvntNo(0); break;
            case kElmPre: no = evnt->GetPrevWrkEvntNo(0); break;
            case kElmWrkNext: no = evnt->GetWrkNextWrkEvntNo(0); break;
            case kElmWrkPre: no = evnt->GetWrkPrevWrkEvntNo(0); break;
            case kElmAllNext: no = evnt->GetAllNextWrkEvntNo(0); break;
            case kElmAllPre: no = evnt->GetAllPrevWrkEvntNo(0); break;
            case kElmTime: *text = IntText(double(evnt->GetTime()) * f); return true;
            case kElmDur: *text = IntText(double(evnt->GetGateTime()) * f); return true;
            case kElmKey: *text = IntText(evnt->GetNote() * f); return true;
            case kElmVelo: *text = IntText(evnt->GetVelo() * f); return true;
            case kElmGen: *text = IntText(evnt->GetGen() * f); return true;
            case kElmFng: *text = IntText(evnt->GetFng() * f); return true;
            case kElmPos: *text = IntText(evnt->GetPos() * f); return true;
            case kElmCho: *text = IntText(evnt->GetCho() * f); return true;
            case kElmCre: *text = IntText(evnt->GetOut(setNo) * f); return true;
            case kElmProb: *text = FixedText9(evnt->GetProb(setNo) * f); return true;
            default: return false;
        }
        if (no == kNoEvntNo) return false;
        *text = DecimalText(unsigned(no), ":w");
        return true;
    }
    return false;
}

int CArticRulExpEvnt::SetSearchFlag(CArticWrkEvnt* note, const CArticRulElmList* list, int flag) {
    if (!note || !m_pRulSet || !list || list->IsEmpty()) return 0;
    const ULONG setNo = ULONG(m_pRulSet->GetSetNo());
    for (POSITION p = list->GetHeadPosition(); p;) {
        const CArticRulElm* elm = list->GetNext(p);
        if (!elm) continue;
        CArticRulData* var = elm->GetRulData();
        if (IsClass(var, VX_RUNTIME_CLASS(CArticRulDataEvnt))) {
            if (!IsRelationCode(elm->GetDataType())) continue;
            CArticWrkEvnt* named = static_cast<CArticRulDataEvnt*>(var)->GetRelation(elm->GetDataType(), 1);
            if (named && named != note) named->SetSearch(setNo, flag);
        } else if (IsClass(var, VX_RUNTIME_CLASS(CArticRulDataAry))) {
            CArticWrkEvntList notes;
            static_cast<CArticRulDataAry*>(var)->GetEvntList(&notes);
            for (POSITION q = notes.GetHeadPosition(); q;) {
                CArticWrkEvnt* named = notes.GetNext(q);
                if (named && named != note) named->SetSearch(setNo, flag);
            }
        } else if (!var && elm->GetRulElmList()) {
            int r = SetSearchFlag(note, elm->GetRulElmList(), flag);
            if (r != 0) return r;
        }
    }
    return 0;
}

int CArticRulExpEvnt::SetSearchFlag(int flag) {
    CArticWrkEvnt* note = m_pRulSet ? m_pRulSet->GetWrkEvnt() : nullptr;
    if (!m_pRulElmList || !note) return 1;
    return SetSearchFlag(note, m_pRulElmList, flag);
}
