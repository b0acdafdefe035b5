#pragma once
// The engine's error list: a process-wide, ordered collection of diagnostics
// (phase headers, errors and detail lines) that the conversion fills and that
// nothing shows to the user. It exists only between CArticErr::Clear and
// CArticErr::Delete; without it every report is dropped silently.
#include <memory>
#include <vector>

#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

// Kinds of a message.
enum : BYTE {
    kArticErrKindNone = 0,    // fresh or cleared message
    kArticErrKindHeader = 1,  // phase header posted before a step runs
    kArticErrKindError = 3,   // an error report
    kArticErrKindDetail = 5,  // the detail text of an error, on its own
};

// One diagnostic: a kind and four texts.
class CArticErrMsg : public CObject {
    VX_DECLARE_CLASS(CArticErrMsg)
public:
    CArticErrMsg();
    ~CArticErrMsg() override;
    CArticErrMsg(const CArticErrMsg&) = delete;
    CArticErrMsg& operator=(const CArticErrMsg&) = delete;

    // Kind 0, the four texts emptied.
    void Clear();
    // Copies the texts; kind 3.
    void Set(const CString& content, const CString& className, const CString& method,
             const CString& detail);
    // Copies the texts; the given kind.
    void Set(BYTE kind, const CString& content, const CString& className, const CString& method,
             const CString& detail);
    void Get(CString& content, CString& className, CString& method, CString& detail) const;
    void Get(BYTE& kind, CString& content, CString& className, CString& method,
             CString& detail) const;
    // Replaces text with the display form: "\r", then one labelled line per
    // text, each ended by "\r" (CR alone, never CR LF).
    void Get(CString& text) const;

    BYTE GetKind() const { return m_Kind; }
    void SetKind(BYTE kind) { m_Kind = kind; }

private:
    BYTE m_Kind = kArticErrKindNone;
    // owned; each may be absent, which every accessor tolerates
    std::unique_ptr<CString> m_pContent;
    std::unique_ptr<CString> m_pClassName;
    std::unique_ptr<CString> m_pMethod;
    std::unique_ptr<CString> m_pDetail;
};

// The error dialog. It has no layout here and never opens a window: DoModal
// either declines (display switched off) or reports that no dialog could be
// run, as a dialog without its resource does. Its state (type, text, display
// flag, the five text lines, the icon and the check box) is kept so that the
// callers' hand-over can be observed.
class CArticErrDlg : public CObject {
    VX_DECLARE_CLASS(CArticErrDlg)
public:
    static constexpr UINT kResourceId = 30068;
    static constexpr int kLineCount = 5;
    // Control ids of the five lines in the order they are filled.
    static constexpr UINT kLineIds[kLineCount] = {30069, 30070, 30075, 30071, 30072};
    static constexpr UINT kIconId = 30073;
    static constexpr UINT kCheckId = 30074;

    CArticErrDlg();
    CArticErrDlg(UINT type, const CString& text, int disp);
    ~CArticErrDlg() override = default;

    virtual void Init() {}
    virtual UINT GetType() const { return m_Type; }
    virtual void SetType(UINT type);
    virtual int GetDisp() const { return m_Disp; }
    virtual void SetDisp(int disp);
    virtual void GetAllMsg(CString& text) const { text = m_AllMsg; }
    virtual CString GetAllMsg() const { return m_AllMsg; }
    virtual void SetAllMsg(const CString& text);
    virtual void Get(UINT& type, CString& text, int& disp) const;
    virtual void Set(UINT type, const CString& text, int disp);
    // The check box mirrors the display flag: ticked means "do not show again".
    virtual void ResetChkDisp();
    // Picks the icon from the type's bits 4 to 7.
    virtual void ResetIcnType();
    // Cuts the whole text at CR and LF (never inside a double-byte character)
    // into the five lines; pieces beyond the fifth are dropped.
    virtual void SeparateAllMsg();

    // 1 at once when the display flag is 0; otherwise -1, because the dialog
    // has no resource to run on. Never shows anything and never waits.
    virtual int DoModal();
    // What the dialog would do when its window opens: icon, check box, lines.
    virtual int OnInitDialog();
    // Reads the check box back into the display flag.
    virtual void DoDataExchange(bool saveAndValidate);

    // System icon id chosen by the type: 32513 stop, 32514 question,
    // 32515 exclamation, 32516 information, else 32512 (application).
    UINT GetIconId() const { return m_IconId; }
    bool IsCheckTicked() const { return m_CheckTicked; }
    // Ticking the box stops further showing (flag 0); clearing it restores 1.
    void SetCheckTicked(bool ticked) { m_CheckTicked = ticked; }
    CString GetLine(int index) const;

private:
    UINT m_Type = 0x30;
    CString m_AllMsg;
    int m_Disp = 1;
    UINT m_IconId = 0;
    bool m_CheckTicked = false;
    CString m_Lines[kLineCount];
};

// The fields of one message, as a value.
struct ArticErrRecord {
    BYTE kind = kArticErrKindNone;
    CString content, className, method, detail;
};

// The static error list. Never instantiated.
class CArticErr : public CObject {
    VX_DECLARE_CLASS(CArticErr)
public:
    CArticErr() = delete;

    // Starts a fresh list and dialog; the display flag returns to 1.
    static void Clear();
    // Removes list and dialog; until the next Clear every report is dropped.
    static void Delete();

    // Appends a message when the list exists.
    static void Set(BYTE kind, const CString& content, const CString& className,
                    const CString& method, const CString& detail);
    // The same with kind 3 (error).
    static void Set(const CString& content, const CString& className, const CString& method,
                    const CString& detail);

    // The last message's display form or fields; the outputs are left
    // untouched when there is no list or no message.
    static void Get(CString& text);
    static void Get(CString& content, CString& className, CString& method, CString& detail);
    static void Get(BYTE& kind, CString& content, CString& className, CString& method,
                    CString& detail);

    // The contents of every header (kind 1) and detail (kind 5) message in
    // order: 0. Without a list 1, and the given list is left untouched.
    static int GetMsgStrList(CStringList& list);
    static int GetMsgStrList(CStringList* list);
    // 1 when some message has a kind above 2.
    static int IsError();

    static void DispErrDlg(int flag) { s_Disp = flag; }
    static int IsDispErrDlg() { return s_Disp; }

    // Hands (type, text, display flag) to the dialog, runs it (which never
    // shows anything) and takes its display flag back. Without a dialog it
    // does nothing.
    static void DoModalErrDlg(const CString& text, UINT type);

    // Number of messages; 0 without a list.
    static int GetMsgCount();
    // Copies of the messages from index `first` (0 the oldest) on, in order.
    static std::vector<ArticErrRecord> GetMsgsFrom(int first);
    // How many times DoModalErrDlg handed a text to a dialog since the start.
    static unsigned GetDlgRunCount() { return s_DlgRuns; }
    // True between Clear and Delete.
    static bool HasList() { return s_pMsgList != nullptr; }
    // The current dialog (owned by the list), or null.
    static CArticErrDlg* GetErrDlg() { return s_pErrDlg; }

protected:
    static void ClearMsgList();
    static void DeleteErrDlg();
    static void DeleteMsgList();

private:
    static CArticErrMsg* GetLast();

    static CTypedPtrList<CObList, CArticErrMsg*>* s_pMsgList;  // owned, with its messages
    static CArticErrDlg* s_pErrDlg;                             // owned
    static int s_Disp;
    static unsigned s_DlgRuns;
};

// Timing trace beside the error list. Nothing in a conversion opens it.
class CArticDebugMgr {
public:
    CArticDebugMgr() = delete;
    static constexpr int kTotalCount = 10;

    // Creates (truncates) the trace file unless one is open; clears the totals.
    // 0 on success, 1 when the file cannot be created or one is already open.
    static int Open(const CString& path);
    static void Close();
    static bool IsOpen();
    // Writes only while the file is open.
    static void WriteString(const CString& text);

    // Milliseconds of a monotonic clock, as the tick counts passed below.
    static DWORD GetTickCount();
    static void SetCurrentTime();
    static void SetCurrentTime(DWORD tick);
    // "label : S.SSS seconds\n" for the time from the stored tick to now, to
    // end, or from start to end.
    static void TraceTime(const CString& label);
    static void TraceTime(const CString& label, DWORD end);
    static void TraceTime(const CString& label, DWORD start, DWORD end);
    // Adds the time from start to end to total i (0 to 9).
    static void AddTotalTime(int index, DWORD start, DWORD end);
    // The same line for total i; other indexes write nothing.
    static void TraceTotalTime(const CString& label, int index);

    // "S.SSS": milliseconds as seconds with three decimals.
    static CString FormatSeconds(DWORD milliseconds);
};
