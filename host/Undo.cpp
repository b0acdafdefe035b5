#include "host/Undo.h"

#include <memory>
#include <new>

VX_IMPLEMENT_CLASS(CUndoObj, CObject);
VX_IMPLEMENT_CLASS(CUndo, CObject);

CUndoObj::~CUndoObj() { delete GetEventCopy(); }

const CSongEvent* CUndoObj::GetEventCopy() const {
    return HoldsEventCopy(Kind) ? reinterpret_cast<const CSongEvent*>(W5) : nullptr;
}

CUndo::~CUndo() {
    while (!m_Items.IsEmpty()) delete m_Items.RemoveHead();
}

POSITION CUndo::AddItem(LONG kind, const UndoWords& words) {
    std::unique_ptr<CUndoObj> item(new (std::nothrow) CUndoObj(kind, words));
    if (!item) return nullptr;
    POSITION pos = nullptr;
    try {
        pos = m_Items.AddTail(item.get());
    } catch (const std::bad_alloc&) {
        item->W5 = 0;  // the copy stays the caller's
        return nullptr;
    }
    item.release();
    if (IsEventUndoKind(kind)) {
        try {
            RecordEventPosition(WordPos(words.W3), pos);
        } catch (const std::bad_alloc&) {
            CUndoObj* added = m_Items.RemoveTail();
            added->W5 = 0;
            delete added;
            return nullptr;
        }
    }
    return pos;
}

void CUndo::DropLastItem() {
    if (m_Items.IsEmpty()) return;
    POSITION last = m_Items.GetTailPosition();
    CUndoObj* item = m_Items.GetAt(last);
    if (IsEventUndoKind(item->Kind)) {
        auto it = m_EventRefs.find(WordPos(item->W3));
        if (it != m_EventRefs.end()) {
            std::vector<POSITION>& refs = it->second;
            if (!refs.empty() && refs.back() == last) refs.pop_back();
            if (refs.empty()) m_EventRefs.erase(it);
        }
    }
    m_Items.RemoveTail();
    delete item;
}

void CUndo::RecordEventPosition(POSITION event, POSITION item) { m_EventRefs[event].push_back(item); }

std::vector<POSITION> CUndo::GetEventRefs(POSITION event) const {
    auto it = m_EventRefs.find(event);
    return it == m_EventRefs.end() ? std::vector<POSITION>() : it->second;
}

void CUndo::RemapTrack(POSITION from, POSITION to) {
    const UndoWord f = PosWord(from), t = PosWord(to);
    for (POSITION pos = m_Items.GetHeadPosition(); pos;) {
        CUndoObj* item = m_Items.GetNext(pos);
        if (IsTrackUndoKind(item->Kind) || IsEventUndoKind(item->Kind)) {
            if (item->W1 == f) item->W1 = t;
        } else if (IsBlockUndoKind(item->Kind)) {
            if (item->W1 == f) item->W1 = t;
            if (item->W3 == f) item->W3 = t;
        }
    }
}

void CUndo::RemapBlock(POSITION from, POSITION to) {
    const UndoWord f = PosWord(from), t = PosWord(to);
    for (POSITION pos = m_Items.GetHeadPosition(); pos;) {
        CUndoObj* item = m_Items.GetNext(pos);
        if (IsBlockUndoKind(item->Kind)) {
            if (item->W2 == f) item->W2 = t;
            if (item->W4 == f) item->W4 = t;
        } else if (IsEventUndoKind(item->Kind)) {
            if (item->W2 == f) item->W2 = t;
        }
    }
}

void CUndo::RemapEvent(POSITION from, POSITION to) {
    if (from == to) return;
    auto it = m_EventRefs.find(from);
    if (it == m_EventRefs.end()) return;
    std::vector<POSITION> refs = std::move(it->second);
    m_EventRefs.erase(it);
    for (POSITION itemPos : refs) {
        CUndoObj* item = m_Items.GetAt(itemPos);
        if (IsEventUndoKind(item->Kind) && item->W3 == PosWord(from)) item->W3 = PosWord(to);
    }
    // A stale entry under the new position (a reused list node) is merged, not lost.
    try {
        std::vector<POSITION>& target = m_EventRefs[to];
        target.insert(target.end(), refs.begin(), refs.end());
    } catch (const std::bad_alloc&) {
        // The items already name the new position; only the index to them is lost.
    }
}
