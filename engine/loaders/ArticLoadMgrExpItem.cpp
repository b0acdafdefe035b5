// The item readers of the expression text form, shared by every class
// loader, and the file-name item reader.
#include <new>

#include "engine/expressions/ArticMeas.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/work/ArticUtil.h"
#include "engine/work/ArticWrk.h"
#include "platform/Numbers.h"
#include "platform/Text.h"

namespace {

constexpr char kExpItemSep[] = ":,(){}";
constexpr CExString::DelimSet kExpItemDelims(kExpItemSep);

// The whole token read as a decimal number (an empty token reads 0).
// Read in place: the number must use up the token.
bool WholeExpNumber(const CString& token, LONG* value) {
    if (token.IsEmpty()) {
        *value = 0;
        return true;
    }
    size_t used = 0;
    const LONG v = ParseLong(token.c_str(), 10, &used);
    if (used != size_t(token.GetLength())) return false;
    *value = v;
    return true;
}

// The whole token read as a real number, '.' the decimal point.
bool WholeExpReal(const CString& token, double* value) {
    if (token.IsEmpty()) {
        *value = 0.0;
        return true;
    }
    size_t used = 0;
    const double v = ParseDouble(token.c_str(), &used);
    if (used != size_t(token.GetLength())) return false;
    *value = v;
    return true;
}

// A number item already cut off: converted (when convert) and narrowed.
template <class T>
int ConvExpNumber(const CString& token, bool convert, T* value, int (*limit)(LONG, T*)) {
    if (!convert) return 0;
    LONG v = 0;
    if (!WholeExpNumber(token, &v)) return 1;
    return limit(v, value) != 0 ? 1 : 0;
}

// The next number item off text, narrowed by limit.
template <class T>
int ReadExpNumber(CExString& text, T* value, CArticLoadMgr::ExpItem kind, int (*limit)(LONG, T*)) {
    CExString token;
    bool convert = false;
    if (!value || !CArticLoadMgr::NextExpItem(text, &token, kind, &convert)) return 1;
    return ConvExpNumber(token, convert, value, limit);
}

int AnyExpLong(LONG value, LONG* out) {
    *out = value;
    return 0;
}

}  // namespace

bool CArticLoadMgr::NextExpItem(CExString& text, CExString* token, ExpItem kind, bool* convert) {
    if (text.IsEmpty()) return false;
    // The text loses its front in place: every item of every fired text
    // comes through here.
    const CExString::TokenSpan cut = text.FindToken(kExpItemDelims);
    if (cut.start < 0)
        token->Empty();
    else
        token->str().assign(text.str(), size_t(cut.start), size_t(cut.length));
    if (cut.rest < 0)
        text.Empty();
    else
        text.str().erase(0, size_t(cut.rest));
    *convert = true;
    if (kind == kExpFinal) return true;
    if (text.IsEmpty()) return false;
    if (kind == kExpGated) *convert = text[0] == ',';
    return true;
}

int CArticLoadMgr::GetExpLong(CExString& text, LONG* value, ExpItem kind) {
    return ReadExpNumber(text, value, kind, AnyExpLong);
}

int CArticLoadMgr::GetExpULong(CExString& text, ULONG* value, ExpItem kind) {
    return ReadExpNumber(text, value, kind, CArticUtil::LimitULong);
}

int CArticLoadMgr::GetExpByte(CExString& text, BYTE* value, ExpItem kind) {
    return ReadExpNumber(text, value, kind, CArticUtil::LimitByte);
}

int CArticLoadMgr::GetExpChar(CExString& text, char* value, ExpItem kind) {
    return ReadExpNumber(text, value, kind, CArticUtil::LimitChar);
}

int CArticLoadMgr::GetExpShort(CExString& text, short* value, ExpItem kind) {
    return ReadExpNumber(text, value, kind, CArticUtil::LimitShort);
}

int CArticLoadMgr::GetExpWord(CExString& text, WORD* value, ExpItem kind) {
    return ReadExpNumber(text, value, kind, CArticUtil::LimitWord);
}

int CArticLoadMgr::GetExpDouble(CExString& text, double* value, ExpItem kind) {
    CExString token;
    bool convert = false;
    if (!value || !NextExpItem(text, &token, kind, &convert)) return 1;
    if (!convert) return 0;
    return WholeExpReal(token, value) ? 0 : 1;
}

int CArticLoadMgr::GetExpMeas(CExString& text, std::unique_ptr<CArticMeas>* meas, ULONG* ticks, ExpItem kind) {
    CExString token;
    bool convert = false;
    if (!meas || !NextExpItem(text, &token, kind, &convert)) return 1;
    if (!convert) return 0;
    if (ticks && token.Find('/') < 1) return ConvExpNumber(token, true, ticks, CArticUtil::LimitULong);
    ULONG bar = 0, beat = 0, tick = 0;
    if (GetMeas(token, &bar, &beat, &tick) != 0) return 1;
    meas->reset(new (std::nothrow) CArticMeas(bar, beat, tick));
    return *meas ? 0 : 1;
}

int CArticLoadMgr::GetExpNoteList(CExString& text, std::unique_ptr<CArticWrkEvntList>* list, bool needBrace) {
    ULONG count = 0;
    if (!list || GetExpULong(text, &count, kExpFinal) != 0) return 1;
    if (needBrace && (text.IsEmpty() || text[0] != '{')) return 1;
    CArticWrkEvntList* made = new (std::nothrow) CArticWrkEvntList();
    if (!made || LoadWrkEvntList(text, count, &made) != 0) {
        delete made;  // null when the reader dropped it
        return 1;
    }
    list->reset(made);
    return 0;
}

int CArticLoadMgr::GetExpNewNoteList(CExString& text, NewNotes* notes, bool needBrace) {
    ULONG count = 0;
    if (!notes || GetExpULong(text, &count, kExpFinal) != 0) return 1;
    if (needBrace && (text.IsEmpty() || text[0] != '{')) return 1;
    CArticWrkEvntList* made = new (std::nothrow) CArticWrkEvntList();
    if (!made || LoadWrkEvntList2(text, count, &made) != 0) {
        delete made;
        return 1;
    }
    notes->m_pWrk = m_pWrk;
    notes->m_pList.reset(made);
    return 0;
}

CArticLoadMgr::NewNotes::~NewNotes() {
    if (m_Kept || !m_pList) return;
    // The loader's line was refused after the list was read: the events it
    // made leave the work data again.
    for (POSITION p = m_pList->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = m_pList->GetNext(p);
        if (!e) continue;
        if (m_pWrk) m_pWrk->DeleteEvntPos(e);
        delete e;
    }
    m_pList->RemoveAll();
}

int CArticLoadMgr::GetExpText(CExString& text, CString* value) {
    if (!value) return 1;
    return CArticExpUtil::GetFileName(text, *value);
}

int CArticExpUtil::GetFileName(CExString& text, CString& name) {
    if (text.IsEmpty()) return 1;
    CString rest;
    const CString token = text.GetTokenMB(&rest, ",(){}");
    if (rest.IsEmpty() || rest[0] != ',') return 1;
    text = rest;
    // Double quotes go; a double-byte character is copied whole, so its
    // trail byte is never taken for a quote. Half-width katakana are single
    // bytes and a quote after them is removed like any other.
    CString out;
    const int n = token.GetLength();
    for (int i = 0; i < n; ++i) {
        const char c = token[i];
        if (IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < n) {
            out += c;
            out += token[++i];
        } else if (c != '"') {
            out += c;
        }
    }
    name = out;
    return 0;
}
