#include "services/ArticErr.h"

#include <chrono>

#include "platform/File.h"
#include "platform/Text.h"

VX_IMPLEMENT_CLASS(CArticErrMsg, CObject);
VX_IMPLEMENT_CLASS(CArticErrDlg, CObject);
VX_IMPLEMENT_CLASS(CArticErr, CObject);

namespace {

// Labels of the display form (CP932: 7, 8, 13 and 11 bytes).
const char kLabelContent[] = "内容 : ";
const char kLabelClass[] = "ｸﾗｽ名 : ";
const char kLabelMethod[] = "ﾒﾝﾊﾞ関数名 : ";
const char kLabelDetail[] = "詳細情報 : ";

void CopyOut(const std::unique_ptr<CString>& from, CString& to) {
    if (from) to = *from;
    else to.Empty();
}

void CopyIn(std::unique_ptr<CString>& to, const CString& from) {
    if (to) *to = from;
    else to = std::make_unique<CString>(from);
}

void AppendLine(CString& text, const char* label, const std::unique_ptr<CString>& value) {
    text += label;
    if (value) text += *value;
    text += '\r';
}

}  // namespace

// ---------------------------------------------------------------- CArticErrMsg

CArticErrMsg::CArticErrMsg()
    : m_pContent(std::make_unique<CString>()),
      m_pClassName(std::make_unique<CString>()),
      m_pMethod(std::make_unique<CString>()),
      m_pDetail(std::make_unique<CString>()) {}

CArticErrMsg::~CArticErrMsg() = default;

void CArticErrMsg::Clear() {
    m_Kind = kArticErrKindNone;
    for (auto* text : {&m_pContent, &m_pClassName, &m_pMethod, &m_pDetail})
        if (*text) (*text)->Empty();
}

void CArticErrMsg::Set(const CString& content, const CString& className, const CString& method,
                       const CString& detail) {
    Set(kArticErrKindError, content, className, method, detail);
}

void CArticErrMsg::Set(BYTE kind, const CString& content, const CString& className,
                       const CString& method, const CString& detail) {
    CopyIn(m_pContent, content);
    CopyIn(m_pClassName, className);
    CopyIn(m_pMethod, method);
    CopyIn(m_pDetail, detail);
    m_Kind = kind;
}

void CArticErrMsg::Get(CString& content, CString& className, CString& method,
                       CString& detail) const {
    CopyOut(m_pContent, content);
    CopyOut(m_pClassName, className);
    CopyOut(m_pMethod, method);
    CopyOut(m_pDetail, detail);
}

void CArticErrMsg::Get(BYTE& kind, CString& content, CString& className, CString& method,
                       CString& detail) const {
    kind = m_Kind;
    Get(content, className, method, detail);
}

void CArticErrMsg::Get(CString& text) const {
    text = "\r";
    AppendLine(text, kLabelContent, m_pContent);
    AppendLine(text, kLabelClass, m_pClassName);
    AppendLine(text, kLabelMethod, m_pMethod);
    AppendLine(text, kLabelDetail, m_pDetail);
}

// ---------------------------------------------------------------- CArticErrDlg

constexpr UINT CArticErrDlg::kLineIds[];

CArticErrDlg::CArticErrDlg() {
    ResetIcnType();
    ResetChkDisp();
}

CArticErrDlg::CArticErrDlg(UINT type, const CString& text, int disp) {
    Set(type, text, disp);
}

void CArticErrDlg::SetType(UINT type) {
    m_Type = type;
    ResetIcnType();
}

void CArticErrDlg::SetDisp(int disp) {
    m_Disp = disp;
    ResetChkDisp();
}

void CArticErrDlg::SetAllMsg(const CString& text) {
    m_AllMsg = text;
    SeparateAllMsg();
}

void CArticErrDlg::Get(UINT& type, CString& text, int& disp) const {
    type = m_Type;
    text = m_AllMsg;
    disp = m_Disp;
}

void CArticErrDlg::Set(UINT type, const CString& text, int disp) {
    SetType(type);
    SetAllMsg(text);
    SetDisp(disp);
}

void CArticErrDlg::ResetChkDisp() { m_CheckTicked = (m_Disp == 0); }

void CArticErrDlg::ResetIcnType() {
    switch (m_Type & 0xF0) {
        case 0x10: m_IconId = 32513; break;  // stop
        case 0x20: m_IconId = 32514; break;  // question
        case 0x30: m_IconId = 32515; break;  // exclamation
        case 0x40: m_IconId = 32516; break;  // information
        default: m_IconId = 32512; break;    // the application's own
    }
}

void CArticErrDlg::SeparateAllMsg() {
    for (CString& line : m_Lines) line.Empty();
    const char* text = m_AllMsg.c_str();
    const int length = m_AllMsg.GetLength();
    int line = 0;
    int start = 0;
    int i = 0;
    while (i < length && line < kLineCount) {
        const char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            m_Lines[line++] = CString(text + start, i - start);
            // A CR LF pair ends one line, not two.
            i += (ch == '\r' && i + 1 < length && text[i + 1] == '\n') ? 2 : 1;
            start = i;
            continue;
        }
        i += CharLengthAt(text, length, i);
    }
    if (line < kLineCount && start < length) m_Lines[line] = CString(text + start, length - start);
}

int CArticErrDlg::DoModal() {
    if (m_Disp == 0) return 1;
    // There is no dialog resource to run on: the modal run fails at once and
    // nothing is shown.
    return -1;
}

int CArticErrDlg::OnInitDialog() {
    ResetIcnType();
    ResetChkDisp();
    SeparateAllMsg();
    return 1;
}

void CArticErrDlg::DoDataExchange(bool saveAndValidate) {
    if (saveAndValidate) m_Disp = m_CheckTicked ? 0 : 1;
    else ResetChkDisp();
}

CString CArticErrDlg::GetLine(int index) const {
    return index >= 0 && index < kLineCount ? m_Lines[index] : CString();
}

// ---------------------------------------------------------------- CArticErr

CTypedPtrList<CObList, CArticErrMsg*>* CArticErr::s_pMsgList = nullptr;
CArticErrDlg* CArticErr::s_pErrDlg = nullptr;
int CArticErr::s_Disp = 1;
unsigned CArticErr::s_DlgRuns = 0;

void CArticErr::Clear() {
    DeleteErrDlg();
    DeleteMsgList();
    s_Disp = 1;
    s_pErrDlg = new CArticErrDlg();
    s_pMsgList = new CTypedPtrList<CObList, CArticErrMsg*>(10);
}

void CArticErr::Delete() {
    DeleteErrDlg();
    DeleteMsgList();
}

void CArticErr::Set(BYTE kind, const CString& content, const CString& className,
                    const CString& method, const CString& detail) {
    if (!s_pMsgList) return;
    auto* msg = new CArticErrMsg();
    msg->Set(kind, content, className, method, detail);
    s_pMsgList->AddTail(msg);
}

void CArticErr::Set(const CString& content, const CString& className, const CString& method,
                    const CString& detail) {
    Set(kArticErrKindError, content, className, method, detail);
}

CArticErrMsg* CArticErr::GetLast() {
    if (!s_pMsgList || s_pMsgList->IsEmpty()) return nullptr;
    return s_pMsgList->GetTail();
}

void CArticErr::Get(CString& text) {
    if (const CArticErrMsg* msg = GetLast()) msg->Get(text);
}

void CArticErr::Get(CString& content, CString& className, CString& method, CString& detail) {
    if (const CArticErrMsg* msg = GetLast()) msg->Get(content, className, method, detail);
}

void CArticErr::Get(BYTE& kind, CString& content, CString& className, CString& method,
                    CString& detail) {
    if (const CArticErrMsg* msg = GetLast()) msg->Get(kind, content, className, method, detail);
}

int CArticErr::GetMsgStrList(CStringList& list) {
    if (!s_pMsgList) return 1;
    list.RemoveAll();
    for (POSITION pos = s_pMsgList->GetHeadPosition(); pos;) {
        const CArticErrMsg* msg = s_pMsgList->GetNext(pos);
        const BYTE kind = msg->GetKind();
        if (kind != kArticErrKindHeader && kind != kArticErrKindDetail) continue;
        CString content, className, method, detail;
        msg->Get(content, className, method, detail);
        list.AddTail(content);
    }
    return 0;
}

int CArticErr::GetMsgStrList(CStringList* list) {
    return list ? GetMsgStrList(*list) : 1;
}

int CArticErr::IsError() {
    if (!s_pMsgList) return 0;
    for (POSITION pos = s_pMsgList->GetHeadPosition(); pos;)
        if (s_pMsgList->GetNext(pos)->GetKind() > 2) return 1;
    return 0;
}

void CArticErr::DoModalErrDlg(const CString& text, UINT type) {
    if (!s_pErrDlg) return;
    ++s_DlgRuns;
    s_pErrDlg->Set(type, text, s_Disp);
    s_pErrDlg->DoModal();
    s_Disp = s_pErrDlg->GetDisp();
}

int CArticErr::GetMsgCount() { return s_pMsgList ? s_pMsgList->GetCount() : 0; }

std::vector<ArticErrRecord> CArticErr::GetMsgsFrom(int first) {
    std::vector<ArticErrRecord> out;
    if (!s_pMsgList) return out;
    int index = 0;
    for (POSITION pos = s_pMsgList->GetHeadPosition(); pos; ++index) {
        const CArticErrMsg* msg = s_pMsgList->GetNext(pos);
        if (index < first) continue;
        ArticErrRecord r;
        msg->Get(r.kind, r.content, r.className, r.method, r.detail);
        out.push_back(r);
    }
    return out;
}

void CArticErr::ClearMsgList() {
    if (!s_pMsgList) return;
    while (!s_pMsgList->IsEmpty()) delete s_pMsgList->RemoveHead();
}

void CArticErr::DeleteErrDlg() {
    delete s_pErrDlg;
    s_pErrDlg = nullptr;
}

void CArticErr::DeleteMsgList() {
    ClearMsgList();
    delete s_pMsgList;
    s_pMsgList = nullptr;
}

// ---------------------------------------------------------------- CArticDebugMgr

namespace {

struct DebugTrace {
    std::unique_ptr<CStdioFile> file;
    DWORD current = 0;
    DWORD totals[CArticDebugMgr::kTotalCount] = {};
};

DebugTrace& Trace() {
    static DebugTrace trace;
    return trace;
}

void WriteElapsed(const CString& label, DWORD milliseconds) {
    CArticDebugMgr::WriteString(label + " : " + CArticDebugMgr::FormatSeconds(milliseconds) +
                                " seconds\n");
}

}  // namespace

int CArticDebugMgr::Open(const CString& path) {
    DebugTrace& trace = Trace();
    if (trace.file) return 1;
    auto file = std::make_unique<CStdioFile>();
    if (!file->Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone |
                              CFile::typeText))
        return 1;
    trace.file = std::move(file);
    for (DWORD& total : trace.totals) total = 0;
    return 0;
}

void CArticDebugMgr::Close() {
    DebugTrace& trace = Trace();
    if (!trace.file) return;
    trace.file->Close();
    trace.file.reset();
}

bool CArticDebugMgr::IsOpen() { return Trace().file != nullptr; }

void CArticDebugMgr::WriteString(const CString& text) {
    DebugTrace& trace = Trace();
    if (trace.file) trace.file->WriteString(text);
}

DWORD CArticDebugMgr::GetTickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return DWORD(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void CArticDebugMgr::SetCurrentTime() { SetCurrentTime(GetTickCount()); }

void CArticDebugMgr::SetCurrentTime(DWORD tick) { Trace().current = tick; }

void CArticDebugMgr::TraceTime(const CString& label) { TraceTime(label, GetTickCount()); }

void CArticDebugMgr::TraceTime(const CString& label, DWORD end) {
    TraceTime(label, Trace().current, end);
}

void CArticDebugMgr::TraceTime(const CString& label, DWORD start, DWORD end) {
    // Tick counts wrap; the unsigned difference stays right across the wrap.
    WriteElapsed(label, end - start);
}

void CArticDebugMgr::AddTotalTime(int index, DWORD start, DWORD end) {
    if (index < 0 || index >= kTotalCount) return;
    Trace().totals[index] += end - start;
}

void CArticDebugMgr::TraceTotalTime(const CString& label, int index) {
    if (index < 0 || index >= kTotalCount) return;
    WriteElapsed(label, Trace().totals[index]);
}

CString CArticDebugMgr::FormatSeconds(DWORD milliseconds) {
    // Whole milliseconds give exactly three decimals: no rounding involved.
    CString text;
    text.Format("%u.%03u", unsigned(milliseconds / 1000), unsigned(milliseconds % 1000));
    return text;
}
