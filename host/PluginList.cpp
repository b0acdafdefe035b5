#include "host/PluginList.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "platform/Archive.h"

VX_IMPLEMENT_CLASS(CPluginTable, CObject);
VX_IMPLEMENT_CLASS(CPluginList, CObject);
VX_IMPLEMENT_CLASS(CPluginEnumrater, CPluginList);

CPluginTable::~CPluginTable() { delete m_pObject; }

CPluginList::~CPluginList() { RemoveAllPlugins(); }

template <class Add>
POSITION CPluginList::AddEntry(CObject* entry, Add add) {
    if (!entry) return nullptr;
    // The section is held for the change itself, so that two threads never edit the list at once.
    CSingleLock lock(&m_Section, true);
    try {
        return add(entry);
    } catch (const std::bad_alloc&) {
        delete entry;
        return nullptr;
    }
}

POSITION CPluginList::AddHead(CObject* entry) {
    return AddEntry(entry, [this](CObject* e) { return m_List.AddHead(e); });
}

POSITION CPluginList::AddTail(CObject* entry) {
    return AddEntry(entry, [this](CObject* e) { return m_List.AddTail(e); });
}

POSITION CPluginList::InsertBefore(POSITION pos, CObject* entry) {
    return AddEntry(entry, [this, pos](CObject* e) { return m_List.InsertBefore(pos, e); });
}

POSITION CPluginList::InsertAfter(POSITION pos, CObject* entry) {
    return AddEntry(entry, [this, pos](CObject* e) { return m_List.InsertAfter(pos, e); });
}

void CPluginList::RemoveAllPlugins() {
    CSingleLock lock(&m_Section, true);
    while (!m_List.IsEmpty()) {
        CObject* entry = static_cast<CObject*>(m_List.RemoveHead());
        // The engine opens no windows, so an entry's window is never one of
        // ours to destroy; an entry that its window owns is left to it.
        const CPluginTable* table = entry && entry->IsKindOf(VX_RUNTIME_CLASS(CPluginTable))
                                        ? static_cast<const CPluginTable*>(entry)
                                        : nullptr;
        if (table && table->m_hWnd && (table->m_Flags & CPluginTable::FLAG_OWNED_BY_WINDOW)) continue;
        delete entry;
    }
}

// ------------------------------------------------------------ archive

void CPluginTable::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteString(m_Text1);
        ar.WriteString(m_Text2);
        ar.WriteString(m_Text3);
        for (LONG word : m_Words) ar.WriteDWORD(DWORD(word));
        ar.WriteDWORD(m_Flags);
        return;
    }
    CString texts[3];
    DWORD words[9] = {}, flags = 0;
    bool ok = true;
    for (CString& text : texts) ok = ok && ar.ReadString(text);
    for (DWORD& word : words) ok = ok && ar.ReadDWORD(word);
    ok = ok && ar.ReadDWORD(flags);
    if (!ok) {
        ar.SetFailed();
        return;
    }
    m_Text1 = texts[0];
    m_Text2 = texts[1];
    m_Text3 = texts[2];
    std::transform(std::begin(words), std::end(words), m_Words, [](DWORD w) { return LONG(w); });
    m_Flags = flags;
}

void CPluginList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        CSingleLock lock(&m_Section, true);
        ar.WriteDWORD(DWORD(m_List.GetCount()));
        for (POSITION pos = m_List.GetHeadPosition(); pos;) {
            auto* entry = static_cast<CObject*>(m_List.GetNext(pos));
            if (!entry || !entry->IsKindOf(VX_RUNTIME_CLASS(CPluginTable))) {
                ar.SetFailed();
                return;
            }
            entry->Serialize(ar);
        }
        return;
    }
    try {
        DWORD count = 0;
        std::vector<std::unique_ptr<CPluginTable>> entries;
        const bool ok = ar.ReadDWORD(count) &&
                        ReadObjects(ar, count, entries, [] { return std::make_unique<CPluginTable>(); });
        if (!ok) {
            ar.SetFailed();
            return;
        }
        RemoveAllPlugins();
        for (auto& entry : entries)
            if (!AddTail(entry.release())) ar.SetFailed();  // AddTail deletes what it cannot add
    } catch (const std::bad_alloc&) {
        ar.SetFailed();
    }
}
