#pragma once
// Plug-in lists and tables of the application. Nothing in this program loads
// a plug-in: the lists exist, stay empty and are emptied at shutdown.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Sync.h"

// A plug-in's table entry.
class CPluginTable : public CObject {
    VX_DECLARE_CLASS(CPluginTable)
public:
    enum : DWORD { FLAG_OWNED_BY_WINDOW = 0x10 };  // with a window, the window deletes the entry

    CPluginTable() = default;
    ~CPluginTable() override;
    CPluginTable(const CPluginTable&) = delete;
    CPluginTable& operator=(const CPluginTable&) = delete;

    // The three texts, the nine words and the flags. The window belongs to
    // the running program and the owned object has no archive form: neither
    // is stored, and a load keeps them. A load that runs short fails the
    // archive and leaves the entry as it was.
    void Serialize(CArchive& ar) override;

    HWND m_hWnd = nullptr;
    CString m_Text1;
    CString m_Text2;
    CString m_Text3;
    LONG m_Words[9] = {2, 2};
    DWORD m_Flags = 0;
    CObject* m_pObject = nullptr;  // owned
};

// An owning list of plug-in entries whose changes are serialised by its own section.
class CPluginList : public CObject {
    VX_DECLARE_CLASS(CPluginList)
public:
    CPluginList() = default;
    ~CPluginList() override;  // empties the list
    CPluginList(const CPluginList&) = delete;
    CPluginList& operator=(const CPluginList&) = delete;

    // The list takes the entry; when it cannot be added the entry is deleted
    // and the result is null (0 for the inserts).
    virtual POSITION AddHead(CObject* entry);
    virtual POSITION AddTail(CObject* entry);
    virtual POSITION InsertBefore(POSITION pos, CObject* entry);
    virtual POSITION InsertAfter(POSITION pos, CObject* entry);

    // Deletes every entry except those a window owns (FLAG_OWNED_BY_WINDOW
    // with a window), which are only let go; the list is then empty.
    void RemoveAllPlugins();

    int GetCount() const { return m_List.GetCount(); }
    const CObList& GetList() const { return m_List; }

    // The entry count, then each entry, all of them plug-in tables (storing
    // another kind of entry fails the archive). A load replaces the entries
    // only when the whole list was read; otherwise it fails the archive and
    // leaves the list as it was.
    void Serialize(CArchive& ar) override;
    CCriticalSection& GetSection() { return m_Section; }

private:
    template <class Add>
    POSITION AddEntry(CObject* entry, Add add);

    CObList m_List;  // owns its entries
    CCriticalSection m_Section;
};

// The application's enumerator of plug-ins: a plug-in list that starts and ends empty.
class CPluginEnumrater : public CPluginList {
    VX_DECLARE_CLASS(CPluginEnumrater)
public:
    CPluginEnumrater() { RemoveAllPlugins(); }
    ~CPluginEnumrater() override { RemoveAllPlugins(); }
};
