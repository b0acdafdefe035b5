#include "host/PluginList.h"

#include <new>

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
