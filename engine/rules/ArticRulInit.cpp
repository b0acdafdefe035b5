#include "engine/rules/ArticRulInit.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "driver/ArticErr.h"
#include "engine/loaders/ArticExpUtil.h"
#include "engine/rules/ArticRulUtil.h"
#include "platform/Numbers.h"

VX_IMPLEMENT_CLASS(CArticRulInit, CObject)

namespace {

constexpr const char* kSep = ":+-*/,(){}";
constexpr const char* kArgSep = ":,(){}";

CExString NextToken(CExString& text, const char* separators) {
    CString rest;
    CExString token = text.GetToken(&rest, separators);
    text = rest;
    return token;
}

bool StartsWith(const CString& text, const char* prefix) {
    return std::strncmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

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

}  // namespace

// ---- Block

CArticRulInitBlk::CArticRulInitBlk(CArticRulInitTrk* owner, ULONG blkNo)
    : m_pOwner(owner), m_pEvntList(new (std::nothrow) CArticRulExpEvntList(10)), m_BlkNo(blkNo) {}

CArticRulInitBlk::~CArticRulInitBlk() {
    Clear();
    delete m_pEvntList;
}

CArticRulInitBlk& CArticRulInitBlk::operator=(const CArticRulInitBlk& src) {
    if (this == &src) return *this;
    m_BlkName = src.m_BlkName;
    Clear();
    if (!src.m_pEvntList) return *this;
    for (POSITION p = src.m_pEvntList->GetHeadPosition(); p;) {
        CArticRulExpEvnt* from = src.m_pEvntList->GetNext(p);
        if (!from) continue;
        auto* copy = new (std::nothrow) CArticRulExpEvnt(nullptr, from->GetEvntNo());
        if (!copy) continue;
        *copy = *from;
        AddTail(copy);
    }
    return *this;
}

void CArticRulInitBlk::Clear() {
    if (!m_pEvntList) return;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) delete m_pEvntList->GetNext(p);
    m_pEvntList->RemoveAll();
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

CArticRulExpEvnt* CArticRulInitBlk::Get(ULONG evntNo) const {
    if (!m_pEvntList) return nullptr;
    for (POSITION p = m_pEvntList->GetHeadPosition(); p;) {
        CArticRulExpEvnt* exp = m_pEvntList->GetNext(p);
        if (exp && exp->GetEvntNo() == evntNo) return exp;
    }
    return nullptr;
}

CArticRulExpEvnt* CArticRulInitBlk::Get(int index) const {
    if (!m_pEvntList || index < 0 || index >= m_pEvntList->GetCount()) return nullptr;
    return m_pEvntList->GetAt(m_pEvntList->FindIndex(index));
}

POSITION CArticRulInitBlk::AddTail(CArticRulExpEvnt* exp) { return m_pEvntList ? m_pEvntList->AddTail(exp) : nullptr; }

// ---- Track

CArticRulInitTrk::CArticRulInitTrk(CArticRulInit* owner, ULONG trkNo)
    : m_pOwner(owner), m_pBlkList(new (std::nothrow) CArticRulInitBlkList(10)), m_TrkNo(trkNo) {}

CArticRulInitTrk::~CArticRulInitTrk() {
    Clear();
    delete m_pBlkList;
}

CArticRulInitTrk& CArticRulInitTrk::operator=(const CArticRulInitTrk& src) {
    if (this == &src) return *this;
    m_TrkName = src.m_TrkName;
    Clear();
    if (!src.m_pBlkList) return *this;
    for (POSITION p = src.m_pBlkList->GetHeadPosition(); p;) {
        CArticRulInitBlk* from = src.m_pBlkList->GetNext(p);
        if (!from) continue;
        auto* copy = new (std::nothrow) CArticRulInitBlk(this, from->GetBlkNo());
        if (!copy) continue;
        *copy = *from;
        AddTail(copy);
    }
    return *this;
}

void CArticRulInitTrk::Clear() {
    if (!m_pBlkList) return;
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) delete m_pBlkList->GetNext(p);
    m_pBlkList->RemoveAll();
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

CArticRulInitBlk* CArticRulInitTrk::Get(ULONG blkNo) const {
    if (!m_pBlkList) return nullptr;
    for (POSITION p = m_pBlkList->GetHeadPosition(); p;) {
        CArticRulInitBlk* blk = m_pBlkList->GetNext(p);
        if (blk && blk->GetBlkNo() == blkNo) return blk;
    }
    return nullptr;
}

CArticRulInitBlk* CArticRulInitTrk::Get(int index) const {
    if (!m_pBlkList || index < 0 || index >= m_pBlkList->GetCount()) return nullptr;
    return m_pBlkList->GetAt(m_pBlkList->FindIndex(index));
}

POSITION CArticRulInitTrk::AddTail(CArticRulInitBlk* blk) {
    if (!m_pBlkList || !blk) return nullptr;
    const POSITION pos = m_pBlkList->AddTail(blk);
    blk->SetPosBlk(pos);
    return pos;
}

// ---- Init block

CArticRulInit::CArticRulInit(CArticRul* rul) : m_pRul(rul), m_pTrkList(new (std::nothrow) CArticRulInitTrkList(10)) {}

CArticRulInit::~CArticRulInit() {
    ClearTrkList();
    delete m_pTrkList;
}

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

void CArticRulInit::ClearTrkList() {
    if (!m_pTrkList) return;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) delete m_pTrkList->GetNext(p);
    m_pTrkList->RemoveAll();
}

int CArticRulInit::GetCount() const { return m_pTrkList ? m_pTrkList->GetCount() : 0; }

CArticRulInitTrk* CArticRulInit::Get(ULONG trkNo) const {
    if (!m_pTrkList) return nullptr;
    for (POSITION p = m_pTrkList->GetHeadPosition(); p;) {
        CArticRulInitTrk* trk = m_pTrkList->GetNext(p);
        if (trk && trk->GetTrkNo() == trkNo) return trk;
    }
    return nullptr;
}

CArticRulInitTrk* CArticRulInit::Get(int index) const {
    if (!m_pTrkList || index < 0 || index >= m_pTrkList->GetCount()) return nullptr;
    return m_pTrkList->GetAt(m_pTrkList->FindIndex(index));
}

POSITION CArticRulInit::AddTail(CArticRulInitTrk* trk) {
    if (!m_pTrkList || !trk) return nullptr;
    const POSITION pos = m_pTrkList->AddTail(trk);
    trk->SetPosTrk(pos);
    return pos;
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
    if (head == "init" || head == "procNest") {
        keyword = head;
    } else {
        CExString strValue;
        int memberNum = -1, kind = 0;
        double value = 0.0;
        if (const int r = CArticRulUtil::DivParam(head, keyword, number, member, memberNum, value, strValue, kind))
            return r;
        if (!member.IsEmpty()) return 1;
    }
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
    if (keyword == "exp") return MakeExpEvnt(trk, blk, ULONG(number), rest);
    return 1;
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
    CExString body = rest;
    CExString name = NextToken(body, kSep);
    int count = 0;
    int masks[CArticExpUtil::kMaxExpArgs] = {};
    if (name.IsEmpty()) return 1;
    if (const int r = CArticExpUtil::GetArgmentInfo(name, &count, masks)) return r;
    if (const int r = CheckExpArgument(body, count, masks)) return r;
    CArticRulElmList* list = MakeExpArgument(body);
    if (!list) return 1;
    auto* exp = new (std::nothrow) CArticRulExpEvnt(nullptr, expNo);
    if (!exp) {
        CArticRulUtil::ClearRulElmList(list);
        delete list;
        return 1;
    }
    exp->SetExpEvntName(name);
    exp->SetRulElmList(list);
    blk->AddTail(exp);
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

CArticRulElmList* CArticRulInit::MakeExpArgument(CExString& args) {
    std::vector<InitArg> parsed;
    if (!SplitArgs(args, parsed)) return nullptr;
    std::unique_ptr<CArticRulElmList> list(new (std::nothrow) CArticRulElmList(10));
    if (!list) return nullptr;
    for (const InitArg& arg : parsed) {
        auto* elm = new (std::nothrow) CArticRulElm();
        if (!elm || arg.kind == InitArg::Other) {
            delete elm;
            CArticRulUtil::ClearRulElmList(list.get());
            return nullptr;
        }
        if (arg.kind == InitArg::Number) elm->SetData(arg.value);
        if (arg.kind == InitArg::Text) elm->SetStrData(arg.text);
        if (arg.kind == InitArg::EmptyList) elm->SetRulElmList(new (std::nothrow) CArticRulElmList(10));
        list->AddTail(elm);
    }
    return list.release();
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
