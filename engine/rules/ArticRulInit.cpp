#include "engine/rules/ArticRulInit.h"

#include "engine/rules/ArticRulText.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "services/ArticErr.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/rules/ArticRulUtil.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticRulInit, CObject);

using namespace rultext;

namespace {

constexpr const char* kSep = ":+-*/,(){}";
constexpr const char* kArgSep = ":,(){}";

// The value after a ";##Key:" prefix: leading digits with an optional sign.
int SettingValue(const CString& line, const char* prefix) {
    return int(ParseLong(line.c_str() + std::strlen(prefix), 10));
}

// One argument of an init expression: a constant number, a quoted text or
// an empty event list "0{}"; anything else is refused.
struct InitArg {
    enum Kind { Number, Text, EmptyList, Other } kind = Other;
    double value = 0.0;
    CString text;
};

// Splits the argument text into its arguments: false when a list is not
// empty or not closed, or its size is not a whole number.
bool SplitArgs(CExString args, std::vector<InitArg>& out) {
    while (!args.IsEmpty()) {
        const CString before = args;
        CExString token = NextToken(args, kArgSep);
        if (token.IsEmpty()) {
            if (args == before) break;
            continue;
        }
        InitArg arg;
        if (!args.IsEmpty() && args[0] == '{') {
            size_t used = 0;
            const LONG size = ParseLong(token.c_str(), 0, &used);
            if (used != size_t(token.GetLength())) return false;
            if (args.GetLength() < 2 || args[1] != '}' || size != 0) {
                arg.kind = InitArg::Other;
                out.push_back(arg);
                return false;
            }
            args = args.Mid(2);
            arg.kind = InitArg::EmptyList;
            out.push_back(arg);
            continue;
        }
        CExString text(token), name, member, strValue;
        int number = -1, memberNum = -1, kind = 0;
        double value = 0.0;
        if (CArticRulUtil::DivParam(text, name, number, member, memberNum, value, strValue, kind) == 0 &&
            kind == kOperandConst && name.IsEmpty() && member.IsEmpty()) {
            arg.kind = strValue.IsEmpty() ? InitArg::Number : InitArg::Text;
            arg.value = value;
            arg.text = strValue;
        }
        out.push_back(arg);
    }
    return true;
}

int TypeOf(const InitArg& arg) {
    switch (arg.kind) {
        case InitArg::Number: return ARG_NUM;
        case InitArg::Text: return ARG_STR;
        case InitArg::EmptyList: return ARG_EVNT_LIST;
        case InitArg::Other: break;
    }
    return 0;
}

template <class T>
using ItemList = CTypedPtrList<CObList, T*>;

// The out-parameter form of a getter: 1 when an item is delivered.
template <class T>
int Deliver(T* item, T** out) {
    if (out) *out = item;
    return item ? 1 : 0;
}

template <class T>
T* ItemAt(const ItemList<T>* list, POSITION pos) {
    return list && pos ? list->GetAt(pos) : nullptr;
}

template <class T>
T* ItemAt(const ItemList<T>* list, int index) {
    return list ? ItemAt(list, list->FindIndex(index)) : nullptr;
}

template <class T>
T* StepNext(const ItemList<T>* list, POSITION& pos) {
    return list && pos ? list->GetNext(pos) : nullptr;
}

template <class T>
T* StepPrev(const ItemList<T>* list, POSITION& pos) {
    return list && pos ? list->GetPrev(pos) : nullptr;
}

// The first item whose number (read by numberOf) is no.
template <class T, class NumberOf>
T* FirstNumbered(const ItemList<T>* list, ULONG no, NumberOf numberOf) {
    if (!list) return nullptr;
    for (POSITION p = list->GetHeadPosition(); p;) {
        T* item = list->GetNext(p);
        if (item && numberOf(item) == no) return item;
    }
    return nullptr;
}

template <class T>
int IndexOf(const ItemList<T>* list, const T* item) {
    if (!list || !item) return -1;
    int index = 0;
    for (POSITION p = list->GetHeadPosition(); p; ++index)
        if (list->GetNext(p) == item) return index;
    return -1;
}

// Unlinks the item at pos and hands it back (null when there is nothing to unlink).
template <class T>
T* Unlink(ItemList<T>* list, POSITION pos) {
    if (!list || !pos) return nullptr;
    T* item = list->GetAt(pos);
    list->RemoveAt(pos);
    return item;
}

template <class T>
void DeleteItems(ItemList<T>* list) {
    if (!list) return;
    for (POSITION p = list->GetHeadPosition(); p;) delete list->GetNext(p);
    list->RemoveAll();
}

}  // namespace

// ---- Block

CArticRulInitBlk::CArticRulInitBlk(CArticRulInitTrk* owner, ULONG blkNo)
    : m_pOwner(owner), m_pEvntList(new (std::nothrow) CArticRulExpEvntList(10)), m_BlkNo(blkNo) {}

CArticRulInitBlk::~CArticRulInitBlk() { DeleteEvntList(); }

CArticRulInitBlk& CArticRulInitBlk::operator=(const CArticRulInitBlk& src) {
    if (this == &src) return *this;
    m_BlkName = src.m_BlkName;
    CopyEvntList(src.m_pEvntList);
    return *this;
}

void CArticRulInitBlk::Clear() { ClearEvntList(); }

void CArticRulInitBlk::ClearEvntList() { DeleteItems(m_pEvntList); }

int CArticRulInitBlk::CopyEvntList(const CArticRulExpEvntList* src) {
    if (src == m_pEvntList) return 0;
    ClearEvntList();
    if (!src) return 0;
    if (!m_pEvntList) return 1;
    int result = 0;
    for (POSITION p = src->GetHeadPosition(); p;) {
        const CArticRulExpEvnt* from = src->GetNext(p);
        if (!from) continue;
        auto* copy = new (std::nothrow) CArticRulExpEvnt(nullptr, from->GetEvntNo());
        if (!copy) {
            result = 1;
            continue;
        }
        *copy = *from;
        AddTail(copy);
    }
    return result;
}

void CArticRulInitBlk::DeleteEvntList() {
    ClearEvntList();
    delete m_pEvntList;
    m_pEvntList = nullptr;
}

int CArticRulInitBlk::GetStrList(CStringList& list) {
    if (!m_pEvntList) return 1;
    CString head;
    head.Format("BLK:%u", unsigned(m_BlkNo));
    list.AddTail(head);
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) {
        CArticRulExpEvnt* exp = m_pEvntList->GetNext(p);
        const CString text = exp ? exp->GetExpEvnt() : CString();
        if (!text.IsEmpty()) list.AddTail(text);
    }
    return 0;
}

int CArticRulInitBlk::GetCount() const { return m_pEvntList ? m_pEvntList->GetCount() : 0; }
POSITION CArticRulInitBlk::GetHeadPos() const { return m_pEvntList ? m_pEvntList->GetHeadPosition() : nullptr; }
POSITION CArticRulInitBlk::GetTailPos() const { return m_pEvntList ? m_pEvntList->GetTailPosition() : nullptr; }
POSITION CArticRulInitBlk::GetPos(int index) const { return m_pEvntList ? m_pEvntList->FindIndex(index) : nullptr; }
int CArticRulInitBlk::GetNext(POSITION& pos, CArticRulExpEvnt** exp) const { return Deliver(GetNext(pos), exp); }
CArticRulExpEvnt* CArticRulInitBlk::GetNext(POSITION& pos) const { return StepNext(m_pEvntList, pos); }
int CArticRulInitBlk::GetPrev(POSITION& pos, CArticRulExpEvnt** exp) const { return Deliver(GetPrev(pos), exp); }
CArticRulExpEvnt* CArticRulInitBlk::GetPrev(POSITION& pos) const { return StepPrev(m_pEvntList, pos); }
int CArticRulInitBlk::Get(ULONG evntNo, CArticRulExpEvnt** exp) const { return Deliver(Get(evntNo), exp); }
int CArticRulInitBlk::Get(int index, CArticRulExpEvnt** exp) const { return Deliver(Get(index), exp); }
int CArticRulInitBlk::Get(POSITION pos, CArticRulExpEvnt** exp) const { return Deliver(Get(pos), exp); }

CArticRulExpEvnt* CArticRulInitBlk::Get(ULONG evntNo) const {
    return FirstNumbered(m_pEvntList, evntNo, [](const CArticRulExpEvnt* e) { return e->GetEvntNo(); });
}
CArticRulExpEvnt* CArticRulInitBlk::Get(int index) const { return ItemAt(m_pEvntList, index); }
CArticRulExpEvnt* CArticRulInitBlk::Get(POSITION pos) const { return ItemAt(m_pEvntList, pos); }

POSITION CArticRulInitBlk::AddHead(CArticRulExpEvnt* exp) { return InsertBefore(GetHeadPos(), exp); }
POSITION CArticRulInitBlk::AddTail(CArticRulExpEvnt* exp) { return InsertAfter(GetTailPos(), exp); }

POSITION CArticRulInitBlk::InsertAfter(POSITION pos, CArticRulExpEvnt* exp) {
    if (!m_pEvntList || !exp) return nullptr;
    const POSITION at = m_pEvntList->InsertAfter(pos, exp);
    SetEvntPos(exp);
    return at;
}

POSITION CArticRulInitBlk::InsertBefore(POSITION pos, CArticRulExpEvnt* exp) {
    if (!m_pEvntList || !exp) return nullptr;
    const POSITION at = m_pEvntList->InsertBefore(pos, exp);
    SetEvntPos(exp);
    return at;
}

POSITION CArticRulInitBlk::Find(CArticRulExpEvnt* exp) const {
    return m_pEvntList && exp ? m_pEvntList->Find(exp) : nullptr;
}

void CArticRulInitBlk::Remove(CArticRulExpEvnt* exp, POSITION start) {
    if (m_pEvntList && exp) Remove(m_pEvntList->Find(exp, start));
}

void CArticRulInitBlk::Remove(POSITION pos) {
    if (CArticRulExpEvnt* exp = Unlink(m_pEvntList, pos)) ResetEvntPos(exp);
}

void CArticRulInitBlk::RemoveAll() {
    if (!m_pEvntList) return;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) ResetEvntPos(m_pEvntList->GetNext(p));
    m_pEvntList->RemoveAll();
}

int CArticRulInitBlk::GetEvntList(CArticRulExpEvntList** list) const {
    if (list) *list = m_pEvntList;
    return 1;
}

int CArticRulInitBlk::GetOwner(CArticRulInitTrk** owner) const {
    if (owner) *owner = m_pOwner;
    return 1;
}

int CArticRulInitBlk::GetRulInit(CArticRulInit** init) const {
    if (init) *init = GetRulInit();
    return 1;
}

CArticRulInit* CArticRulInitBlk::GetRulInit() const { return m_pOwner ? m_pOwner->GetOwner() : nullptr; }

int CArticRulInitBlk::GetBlkName(CString& name) const {
    name = m_BlkName;
    return 1;
}

int CArticRulInitBlk::GetTrkNoBlkNo(ULONG& trkNo, ULONG& blkNo) const {
    if (!m_pOwner) return 1;
    trkNo = m_pOwner->GetTrkNo();
    blkNo = m_BlkNo;
    return 0;
}

// ---- Track

CArticRulInitTrk::CArticRulInitTrk(CArticRulInit* owner, ULONG trkNo)
    : m_pOwner(owner), m_pBlkList(new (std::nothrow) CArticRulInitBlkList(10)), m_TrkNo(trkNo) {}

CArticRulInitTrk::~CArticRulInitTrk() { DeleteBlkList(); }

CArticRulInitTrk& CArticRulInitTrk::operator=(const CArticRulInitTrk& src) {
    if (this == &src) return *this;
    m_TrkName = src.m_TrkName;
    CopyBlkList(src.m_pBlkList);
    return *this;
}

void CArticRulInitTrk::Clear() { ClearBlkList(); }

void CArticRulInitTrk::ClearBlkList() { DeleteItems(m_pBlkList); }

int CArticRulInitTrk::CopyBlkList(const CArticRulInitBlkList* src) {
    if (src == m_pBlkList) return 0;
    ClearBlkList();
    if (!src) return 0;
    if (!m_pBlkList) return 1;
    int result = 0;
    for (POSITION p = src->GetHeadPosition(); p;) {
        const CArticRulInitBlk* from = src->GetNext(p);
        if (!from) continue;
        auto* copy = new (std::nothrow) CArticRulInitBlk(this, from->GetBlkNo());
        if (!copy) {
            result = 1;
            continue;
        }
        *copy = *from;
        AddTail(copy);
    }
    return result;
}

void CArticRulInitTrk::DeleteBlkList() {
    ClearBlkList();
    delete m_pBlkList;
    m_pBlkList = nullptr;
}

int CArticRulInitTrk::GetStrList(CStringList& list) {
    if (!m_pBlkList) return 1;
    CString head;
    head.Format("TRK:%u", unsigned(m_TrkNo));
    list.AddTail(head);
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) {
        CArticRulInitBlk* blk = m_pBlkList->GetNext(p);
        if (!blk) continue;
        if (const int r = blk->GetStrList(list)) return r;
    }
    return 0;
}

int CArticRulInitTrk::GetCount() const { return m_pBlkList ? m_pBlkList->GetCount() : 0; }
POSITION CArticRulInitTrk::GetHeadPos() const { return m_pBlkList ? m_pBlkList->GetHeadPosition() : nullptr; }
POSITION CArticRulInitTrk::GetTailPos() const { return m_pBlkList ? m_pBlkList->GetTailPosition() : nullptr; }
POSITION CArticRulInitTrk::GetPos(int index) const { return m_pBlkList ? m_pBlkList->FindIndex(index) : nullptr; }
int CArticRulInitTrk::GetNext(POSITION& pos, CArticRulInitBlk** blk) const { return Deliver(GetNext(pos), blk); }
CArticRulInitBlk* CArticRulInitTrk::GetNext(POSITION& pos) const { return StepNext(m_pBlkList, pos); }
int CArticRulInitTrk::GetPrev(POSITION& pos, CArticRulInitBlk** blk) const { return Deliver(GetPrev(pos), blk); }
CArticRulInitBlk* CArticRulInitTrk::GetPrev(POSITION& pos) const { return StepPrev(m_pBlkList, pos); }
int CArticRulInitTrk::Get(ULONG blkNo, CArticRulInitBlk** blk) const { return Deliver(Get(blkNo), blk); }
int CArticRulInitTrk::Get(int index, CArticRulInitBlk** blk) const { return Deliver(Get(index), blk); }
int CArticRulInitTrk::Get(POSITION pos, CArticRulInitBlk** blk) const { return Deliver(Get(pos), blk); }

CArticRulInitBlk* CArticRulInitTrk::Get(ULONG blkNo) const {
    return FirstNumbered(m_pBlkList, blkNo, [](const CArticRulInitBlk* b) { return b->GetBlkNo(); });
}
CArticRulInitBlk* CArticRulInitTrk::Get(int index) const { return ItemAt(m_pBlkList, index); }
CArticRulInitBlk* CArticRulInitTrk::Get(POSITION pos) const { return ItemAt(m_pBlkList, pos); }
int CArticRulInitTrk::GetIndex(CArticRulInitBlk* blk) const { return IndexOf(m_pBlkList, blk); }

POSITION CArticRulInitTrk::AddHead(CArticRulInitBlk* blk) { return InsertBefore(GetHeadPos(), blk); }
POSITION CArticRulInitTrk::AddTail(CArticRulInitBlk* blk) { return InsertAfter(GetTailPos(), blk); }

POSITION CArticRulInitTrk::InsertAfter(POSITION pos, CArticRulInitBlk* blk) {
    if (!m_pBlkList || !blk) return nullptr;
    const POSITION at = m_pBlkList->InsertAfter(pos, blk);
    blk->SetPosBlk(at);
    return at;
}

POSITION CArticRulInitTrk::InsertBefore(POSITION pos, CArticRulInitBlk* blk) {
    if (!m_pBlkList || !blk) return nullptr;
    const POSITION at = m_pBlkList->InsertBefore(pos, blk);
    blk->SetPosBlk(at);
    return at;
}

POSITION CArticRulInitTrk::Find(CArticRulInitBlk* blk) const {
    return m_pBlkList && blk ? m_pBlkList->Find(blk) : nullptr;
}

void CArticRulInitTrk::Remove(CArticRulInitBlk* blk, POSITION start) {
    if (m_pBlkList && blk) Remove(m_pBlkList->Find(blk, start));
}

// The block keeps no handle into a list it has left.
void CArticRulInitTrk::Remove(POSITION pos) {
    if (CArticRulInitBlk* blk = Unlink(m_pBlkList, pos)) blk->SetPosBlk(nullptr);
}

void CArticRulInitTrk::RemoveAll() {
    if (!m_pBlkList) return;
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;)
        if (CArticRulInitBlk* blk = m_pBlkList->GetNext(p)) blk->SetPosBlk(nullptr);
    m_pBlkList->RemoveAll();
}

int CArticRulInitTrk::GetBlkList(CArticRulInitBlkList** list) const {
    if (list) *list = m_pBlkList;
    return 1;
}

int CArticRulInitTrk::GetOwner(CArticRulInit** owner) const {
    if (owner) *owner = m_pOwner;
    return 1;
}

int CArticRulInitTrk::GetTrkName(CString& name) const {
    name = m_TrkName;
    return 1;
}

// ---- Init block

CArticRulInit::CArticRulInit(CArticRul* rul) : m_pRul(rul), m_pTrkList(new (std::nothrow) CArticRulInitTrkList(10)) {}

CArticRulInit::~CArticRulInit() { DeleteTrkList(); }

void CArticRulInit::Clear() {
    m_ErrKind = 0;
    m_ProcNestFlag = 0;
    m_ProcNest = 0;
    m_Direction = 0;
    m_InitNo = 0xFFFFFFFF;
    m_PbProc = 0;
    m_TgMode = 2;
    m_InstNum = 0;
    m_Declared = 0;
    ClearTrkList();
}

void CArticRulInit::ClearTrkList() { DeleteItems(m_pTrkList); }

int CArticRulInit::CopyTrkList(const CArticRulInitTrkList* src) {
    if (src == m_pTrkList) return 0;
    ClearTrkList();
    if (!src) return 0;
    if (!m_pTrkList) return 1;
    int result = 0;
    for (POSITION p = src->GetHeadPosition(); p;) {
        const CArticRulInitTrk* from = src->GetNext(p);
        if (!from) continue;
        auto* copy = new (std::nothrow) CArticRulInitTrk(this, from->GetTrkNo());
        if (!copy) {
            result = 1;
            continue;
        }
        *copy = *from;
        AddTail(copy);
    }
    return result;
}

void CArticRulInit::DeleteTrkList() {
    ClearTrkList();
    delete m_pTrkList;
    m_pTrkList = nullptr;
}

int CArticRulInit::GetCount() const { return m_pTrkList ? m_pTrkList->GetCount() : 0; }
POSITION CArticRulInit::GetHeadPos() const { return m_pTrkList ? m_pTrkList->GetHeadPosition() : nullptr; }
POSITION CArticRulInit::GetTailPos() const { return m_pTrkList ? m_pTrkList->GetTailPosition() : nullptr; }
POSITION CArticRulInit::GetPos(int index) const { return m_pTrkList ? m_pTrkList->FindIndex(index) : nullptr; }
int CArticRulInit::GetNext(POSITION& pos, CArticRulInitTrk** trk) const { return Deliver(GetNext(pos), trk); }
CArticRulInitTrk* CArticRulInit::GetNext(POSITION& pos) const { return StepNext(m_pTrkList, pos); }
int CArticRulInit::GetPrev(POSITION& pos, CArticRulInitTrk** trk) const { return Deliver(GetPrev(pos), trk); }
CArticRulInitTrk* CArticRulInit::GetPrev(POSITION& pos) const { return StepPrev(m_pTrkList, pos); }
int CArticRulInit::Get(ULONG trkNo, CArticRulInitTrk** trk) const { return Deliver(Get(trkNo), trk); }
int CArticRulInit::Get(int index, CArticRulInitTrk** trk) const { return Deliver(Get(index), trk); }
int CArticRulInit::Get(POSITION pos, CArticRulInitTrk** trk) const { return Deliver(Get(pos), trk); }

CArticRulInitTrk* CArticRulInit::Get(ULONG trkNo) const {
    return FirstNumbered(m_pTrkList, trkNo, [](const CArticRulInitTrk* t) { return t->GetTrkNo(); });
}
CArticRulInitTrk* CArticRulInit::Get(int index) const { return ItemAt(m_pTrkList, index); }
CArticRulInitTrk* CArticRulInit::Get(POSITION pos) const { return ItemAt(m_pTrkList, pos); }

ULONG CArticRulInit::GetTrkNo(int index) const {
    const CArticRulInitTrk* trk = Get(index);
    return trk ? trk->GetTrkNo() : 0;
}

ULONG CArticRulInit::GetBlkNo(int trkIndex, int blkIndex) const {
    const CArticRulInitTrk* trk = Get(trkIndex);
    const CArticRulInitBlk* blk = trk ? trk->Get(blkIndex) : nullptr;
    return blk ? blk->GetBlkNo() : 0;
}

int CArticRulInit::GetIndex(CArticRulInitTrk* trk) const { return IndexOf(m_pTrkList, trk); }

POSITION CArticRulInit::AddHead(CArticRulInitTrk* trk) { return InsertBefore(GetHeadPos(), trk); }
POSITION CArticRulInit::AddTail(CArticRulInitTrk* trk) { return InsertAfter(GetTailPos(), trk); }

POSITION CArticRulInit::InsertAfter(POSITION pos, CArticRulInitTrk* trk) {
    if (!m_pTrkList || !trk) return nullptr;
    const POSITION at = m_pTrkList->InsertAfter(pos, trk);
    trk->SetPosTrk(at);
    return at;
}

POSITION CArticRulInit::InsertBefore(POSITION pos, CArticRulInitTrk* trk) {
    if (!m_pTrkList || !trk) return nullptr;
    const POSITION at = m_pTrkList->InsertBefore(pos, trk);
    trk->SetPosTrk(at);
    return at;
}

POSITION CArticRulInit::Find(CArticRulInitTrk* trk) const {
    return m_pTrkList && trk ? m_pTrkList->Find(trk) : nullptr;
}

void CArticRulInit::Remove(CArticRulInitTrk* trk, POSITION start) {
    if (m_pTrkList && trk) Remove(m_pTrkList->Find(trk, start));
}

// The track keeps no handle into a list it has left.
void CArticRulInit::Remove(POSITION pos) {
    if (CArticRulInitTrk* trk = Unlink(m_pTrkList, pos)) trk->SetPosTrk(nullptr);
}

void CArticRulInit::RemoveAll() {
    if (!m_pTrkList) return;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;)
        if (CArticRulInitTrk* trk = m_pTrkList->GetNext(p)) trk->SetPosTrk(nullptr);
    m_pTrkList->RemoveAll();
}

int CArticRulInit::GetExpEvnt(CStringList& /*list*/) { return 1; }

void CArticRulInit::GetClassNameA(CString* name) const {
    if (name) *name = GetClassNameA();
}

int CArticRulInit::Load(CStringList& lines) {
    Clear();
    if (lines.IsEmpty()) return 1;
    ULONG trk = kNone, blk = kNone;
    int result = 0;
    for (POSITION p = lines.GetHeadPosition(); p;) {
        const CString raw = lines.GetNext(p);
        CExString line(raw);
        line.EraseBlankOutDQ();
        if (StartsWith(line, ";##PbProc:")) {
            m_PbProc = SettingValue(line, ";##PbProc:");
            m_Declared |= kDeclPbProc;
        }
        if (StartsWith(line, ";##TgMode:")) {
            m_TgMode = SettingValue(line, ";##TgMode:");
            m_Declared |= kDeclTgMode;
        }
        if (StartsWith(line, ";##InstNum:")) {
            m_InstNum = SettingValue(line, ";##InstNum:");
            m_Declared |= kDeclInstNum;
        }
        line.EraseComment();
        if (line.IsEmpty()) continue;
        const int code = LoadLine1(line, trk, blk);
        DispLoadErrMsg("Load", raw, code);
        if (code) result = code;
    }
    return result;
}

int CArticRulInit::LoadLine1(CExString& line, ULONG& trk, ULONG& blk) {
    CExString rest = line;
    CExString head = NextToken(rest, kSep);
    // The rest starts right after the head, so "#procNest:" keeps its colon.
    if (!head.IsEmpty() && head[0] == '#' && std::strncmp(line.c_str(), head.c_str(), head.GetLength()) == 0)
        rest = line.Mid(head.GetLength());
    if (!head.IsEmpty() && head[0] == ';') return 0;
    if (head.IsEmpty() || head[0] != '#') return 1;
    head = head.Mid(1);
    CExString keyword, member;
    int number = -1;
    if (const int r = CheckHeader(head, rest, keyword, member, number)) return r;
    if (keyword == "init") {
        if (number == 1 || number == 2) {
            m_InitNo = ULONG(number);
            return 0;
        }
        if (number == -1) {
            m_InitNo = 2;
            return 0;
        }
        return 1;
    }
    if (keyword == "procNest") return MakeProcNest(rest);
    if (number < 0) return 1;
    if (keyword == "trk") {
        const int r = MakeInitTrk(ULONG(number));
        if (r == 0) trk = ULONG(number);
        return r;
    }
    if (keyword == "blk") {
        const int r = MakeInitBlk(trk, ULONG(number));
        if (r == 0) blk = ULONG(number);
        return r;
    }
    return MakeExpEvnt(trk, blk, ULONG(number), rest);
}

int CArticRulInit::CheckHeader(CExString& head, CExString& /*line*/, CExString& keyword, CExString& member,
                               int& number) {
    number = -1;
    member.Empty();
    if (head == "init" || head == "procNest") {
        keyword = head;
        return 0;
    }
    CExString strValue;
    int memberNum = -1, kind = 0;
    double value = 0.0;
    if (const int r = CArticRulUtil::DivParam(head, keyword, number, member, memberNum, value, strValue, kind))
        return r;
    if (!member.IsEmpty()) return 1;
    return keyword == "init" || keyword == "trk" || keyword == "blk" || keyword == "exp" ? 0 : 1;
}

int CArticRulInit::MakeProcNest(CExString& rest) {
    m_ProcNestFlag = 1;
    if (rest.IsEmpty()) return 0;
    CExString token = NextToken(rest, kSep);
    if (token.IsEmpty()) return 1;
    if (token == "0" || token == "1") {
        m_ProcNest = token == "1" ? 1 : 0;
    } else {
        return 1;
    }
    if (rest.IsEmpty()) return 0;
    token = NextToken(rest, kSep);
    if (token == "dir0" || token == "dir1") {
        m_Direction = token == "dir1" ? 1 : 0;
        return 0;
    }
    return 1;
}

int CArticRulInit::MakeInitTrk(ULONG trkNo) {
    if (trkNo == kNone) return 1;
    if (Get(trkNo)) return 0;
    auto* trk = new (std::nothrow) CArticRulInitTrk(this, trkNo);
    if (!trk || !AddTail(trk)) {
        delete trk;
        return 1;
    }
    return 0;
}

int CArticRulInit::MakeInitBlk(ULONG trkNo, ULONG blkNo) {
    if (trkNo == kNone || blkNo == kNone) return 1;
    CArticRulInitTrk* trk = Get(trkNo);
    if (!trk) return 1;
    if (trk->Get(blkNo)) return 0;
    auto* blk = new (std::nothrow) CArticRulInitBlk(trk, blkNo);
    if (!blk || !trk->AddTail(blk)) {
        delete blk;
        return 1;
    }
    return 0;
}

int CArticRulInit::MakeExpEvnt(ULONG trkNo, ULONG blkNo, ULONG expNo, CExString& rest) {
    if (trkNo == kNone || blkNo == kNone) return 1;
    CArticRulInitTrk* trk = Get(trkNo);
    CArticRulInitBlk* blk = trk ? trk->Get(blkNo) : nullptr;
    if (!blk || blk->Get(expNo)) return 1;
    if (const int r = CheckExpFunc(rest)) return r;
    return MakeExpFunc(rest, expNo, blk);
}

int CArticRulInit::CheckExpFunc(CExString& text) {
    CExString args = text;
    CExString name = NextToken(args, kSep);
    if (name.IsEmpty()) return 1;
    int count = 0;
    int masks[CArticExpUtil::kMaxExpArgs] = {};
    if (const int r = CArticExpUtil::GetArgmentInfo(name, &count, masks)) return r;
    return CheckExpArgument(args, count, masks);
}

int CArticRulInit::MakeExpFunc(CExString& text, ULONG expNo, CArticRulInitBlk* blk) {
    if (!blk) return 1;
    CExString args = text;
    CExString name = NextToken(args, kSep);
    if (name.IsEmpty()) return 1;
    std::unique_ptr<CArticRulElmList> list(new (std::nothrow) CArticRulElmList(10));
    if (!list || MakeExpArgument(args, list.get()) != 0) return 1;
    std::unique_ptr<CArticRulExpEvnt> exp(new (std::nothrow) CArticRulExpEvnt(nullptr, expNo));
    if (!exp) {
        CArticRulUtil::ClearRulElmList(list.get());
        return 1;
    }
    exp->SetExpEvntName(name);
    exp->SetRulElmList(list.release());
    if (!blk->AddTail(exp.get())) return 1;
    exp.release();
    return 0;
}

int CArticRulInit::CheckExpArgument(CExString& args, int count, const int* masks) {
    std::vector<InitArg> parsed;
    if (!SplitArgs(args, parsed)) return 1;
    int i = 0;
    for (const InitArg& arg : parsed) {
        const int type = TypeOf(arg);
        if (i < count && i < CArticExpUtil::kMaxExpArgs && (type & masks[i]) != type) return 1;
        ++i;
    }
    return i < count ? 1 : 0;
}

int CArticRulInit::MakeExpArgument(CExString& args, CArticRulElmList* list) {
    if (!list) return 1;
    std::vector<InitArg> parsed;
    if (!SplitArgs(args, parsed)) return 1;
    for (const InitArg& arg : parsed) {
        auto* elm = arg.kind == InitArg::Other ? nullptr : new (std::nothrow) CArticRulElm();
        if (!elm) {
            CArticRulUtil::ClearRulElmList(list);
            return 1;
        }
        if (arg.kind == InitArg::Number) elm->SetData(arg.value);
        if (arg.kind == InitArg::Text) elm->SetStrData(arg.text);
        if (arg.kind == InitArg::EmptyList) elm->SetRulElmList(new (std::nothrow) CArticRulElmList(10));
        list->AddTail(elm);
    }
    return 0;
}

void CArticRulInit::DispLoadErrMsg(const CString& function, const CString& line, int code) {
    if (code == 0) return;
    DispErrMsg("表現ﾙｰﾙの読込み中にｴﾗｰが発生しました。", "指定した行の内容に誤りがあります。", function,
               CString("行内容 = ") + line);
}

void CArticRulInit::DispErrMsg(const CString& caption, const CString& message, const CString& function,
                               const CString& detail) {
    CArticErr::Set(message, "CArticRulInit", function, detail);
    CString text;
    CArticErr::Get(text);
    CArticErr::DoModalErrDlg(caption + "\r" + text, 0x10);
    if (!detail.IsEmpty()) CArticErr::Set(kArticErrKindDetail, detail, "CArticRulInit", function, CString());
}
