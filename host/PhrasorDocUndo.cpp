// Undo steps of the song document: opening and closing them, recording the
// items of every edit, and keeping the records' positions valid.
#include <memory>
#include <new>

#include "host/PhrasorDoc.h"
#include "platform/Messages.h"

namespace {

// The platform's "out of memory" message.
constexpr UINT IDS_OUT_OF_MEMORY = 61475;

}  // namespace

CUndo* CPhrasorDoc::CurrentUndo() const {
    POSITION pos = m_UndoList.FindIndex(m_UndoIndex);
    return pos ? m_UndoList.GetAt(pos) : nullptr;
}

bool CPhrasorDoc::BeginUndoStep(const CString& name) {
    if (m_UndoDepth >= 1) {
        ++m_UndoDepth;
        return true;
    }
    RemoveUndoFrom(m_UndoIndex + 1);
    bool added = false;
    try {
        std::unique_ptr<CUndo> undo(new CUndo(name));
        m_UndoList.AddTail(undo.get());
        undo.release();
        added = true;
    } catch (const std::bad_alloc&) {
    }
    if (!added) {
        ReportMessage(IDS_OUT_OF_MEMORY, MB_ICONEXCLAMATION, 0);
        ClearUndo();
        return false;
    }
    ++m_UndoDepth;
    ++m_UndoIndex;
    m_EditFlags = 0;
    return true;
}

void CPhrasorDoc::EndUndoStep() {
    if (m_UndoDepth <= 0) return;
    RunConductorCleanUp();
    m_EditFlags &= ~(DWORD(EDIT_CONDUCTOR_PENDING) | DWORD(EDIT_REFUSALS));
    if (m_UndoDepth <= 0) return;  // the clean-up ran out of memory and the history went
    if (m_UndoDepth >= 2) {
        --m_UndoDepth;
        return;
    }
    POSITION pos = m_UndoList.FindIndex(m_UndoIndex);
    if (pos) {
        CUndo* undo = m_UndoList.GetAt(pos);
        if (undo->GetItemCount() > 0) {
            SetModifiedFlag();
        } else {
            // Every edit of the step was refused: there is nothing to remember.
            m_UndoList.RemoveAt(pos);
            delete undo;
            --m_UndoIndex;
        }
        UpdateHint hint;
        hint.Guid = HINT_STEP_CLOSED;
        hint.Level = 0;
        NotifyViews(hint);
    }
    m_UndoDepth = 0;
}

void CPhrasorDoc::RunConductorCleanUp() {
    if (m_EditFlags & EDIT_METER_CHANGED) {
        NormalizeMeters();
        RebuildMeterMap();
        m_EditFlags &= ~DWORD(EDIT_METER_CHANGED);
    }
    if (m_EditFlags & EDIT_TEMPO_CHANGED) {
        RemoveDuplicateTempos(0);
        RebuildTempoMap();
        m_EditFlags &= ~DWORD(EDIT_TEMPO_CHANGED);
    }
    if (m_EditFlags & EDIT_KEY_CHANGED) {
        RebuildKeySigMap();
        m_EditFlags &= ~DWORD(EDIT_KEY_CHANGED);
    }
}

void CPhrasorDoc::ClearUndo() {
    m_UndoDepth = 0;
    m_UndoIndex = -1;
    m_EditFlags = 0;
    while (!m_UndoList.IsEmpty()) delete m_UndoList.RemoveHead();
    while (!m_RemovedTracks.IsEmpty()) delete m_RemovedTracks.RemoveHead();
    while (!m_RemovedBlocks.IsEmpty()) delete m_RemovedBlocks.RemoveHead();
    while (!m_RemovedEvents.IsEmpty()) delete m_RemovedEvents.RemoveHead();
}

void CPhrasorDoc::RemoveUndoFrom(int index) {
    if (index < 0) index = 0;
    while (m_UndoList.GetCount() > index) delete m_UndoList.RemoveTail();
}

bool CPhrasorDoc::AddUndoItem(LONG kind, const UndoWords& words) {
    if (m_UndoDepth <= 0) return false;
    CUndo* undo = CurrentUndo();
    if (!undo || !undo->AddItem(kind, words)) {
        AbandonUndoHistory();
        return false;
    }
    return true;
}

void CPhrasorDoc::AbandonUndoHistory() {
    // The pending conductor clean-up would edit the song in the middle of the
    // edit that failed; the maps are rebuilt from the song as it stands instead.
    const bool conductorPending = (m_EditFlags & EDIT_CONDUCTOR_PENDING) != 0;
    ClearUndo();
    if (conductorPending) {
        RebuildMeterMap();
        RebuildTempoMap();
        RebuildKeySigMap();
    }
}

void CPhrasorDoc::DropLastUndoItem() {
    if (CUndo* undo = CurrentUndo()) undo->DropLastItem();
}

void CPhrasorDoc::RemapTrackPosition(POSITION from, POSITION to) {
    for (POSITION pos = m_UndoList.GetHeadPosition(); pos;) m_UndoList.GetNext(pos)->RemapTrack(from, to);
}

void CPhrasorDoc::RemapBlockPosition(POSITION from, POSITION to) {
    for (POSITION pos = m_UndoList.GetHeadPosition(); pos;) m_UndoList.GetNext(pos)->RemapBlock(from, to);
}

void CPhrasorDoc::RemapEventPosition(POSITION from, POSITION to) {
    if (from == to) return;
    for (POSITION pos = m_UndoList.GetHeadPosition(); pos;) m_UndoList.GetNext(pos)->RemapEvent(from, to);
}
