#pragma once
// The document base of the old class library, without views and without file
// handling: a modified flag, a path name and a title. Views are never
// attached, so UpdateAllViews reaches nobody.
#include "platform/Object.h"
#include "platform/String.h"

class CDocument : public CObject {
    VX_DECLARE_CLASS(CDocument)
public:
    CDocument() = default;
    ~CDocument() override = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    bool IsModified() const { return m_Modified; }
    void SetModifiedFlag(bool modified = true) { m_Modified = modified; }

    const CString& GetTitle() const { return m_Title; }
    virtual void SetTitle(const CString& title) { m_Title = title; }

    const CString& GetPathName() const { return m_PathName; }
    // Keeps the path made absolute (against the current folder) and takes the
    // file's name as the title.
    virtual void SetPathName(const CString& path);

    // Tells the document's views of a change: there are none.
    void UpdateAllViews(CObject* /*sender*/, intptr_t /*hint*/ = 0, CObject* /*hintObject*/ = nullptr) {}

private:
    bool m_Modified = false;
    CString m_Title;
    CString m_PathName;
};

// The last component of an engine path (after the last '\' or '/').
CString PathFileName(const CString& path);
