#pragma once
// The note list an expression takes as its first parameter: an owned list of
// references to work events (never the events themselves). Every note-list
// family base keeps one and forwards its list operations to it.
#include "engine/work/ArticWrkEvnt.h"

class CArticWrk;

class CArticExpNotes {
public:
    // An empty list, then src's references in order (none for a null src).
    explicit CArticExpNotes(const CArticWrkEvntList* src = nullptr);
    ~CArticExpNotes();
    CArticExpNotes(const CArticExpNotes&) = delete;
    // Clears the list and copies src's references.
    CArticExpNotes& operator=(const CArticExpNotes& src);

    int Get(CArticWrkEvntList** list) const;
    CArticWrkEvntList* Get() const { return m_pList; }
    // Takes ownership of list; the previous list object is deleted.
    void Set(CArticWrkEvntList* list);
    // Empties the list; the events are untouched.
    void Clear();
    // Appends src's non-null references.
    void Copy(const CArticWrkEvntList* src);
    // Clears and deletes the list object.
    void Delete();
    // Replaces every reference by wrk's event of the same number (dropped
    // when wrk has none): 0; 1 without wrk.
    int ReLink(CArticWrk* wrk);

private:
    CArticWrkEvntList* m_pList;  // owned list object; the events are not owned
};
