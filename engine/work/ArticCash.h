#pragma once
// The process-wide cache of phrase files already read, keyed by full path,
// so a file that many expressions paste is read from disk once per
// conversion. The conversion driver clears it around each conversion; only
// the conversion thread uses it.
#include "engine/work/ArticWrkEvnt.h"
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"

// One cache entry: a full path and a private copy of that file's events.
class CArticSmfBuf : public CObject {
public:
    CArticSmfBuf();
    ~CArticSmfBuf() override;
    CArticSmfBuf(const CArticSmfBuf&) = delete;
    CArticSmfBuf& operator=(const CArticSmfBuf&) = delete;

    virtual CString GetFullPath() const;
    virtual int GetEvntList(CArticWrkEvntList** out);
    virtual CArticWrkEvntList* GetEvntListPtr() { return m_pEvntList; }
    virtual void SetFullPath(CString path);
    // Appends ownerless copies of src's events, numbered 0, 1, ...
    virtual void CopyEvntList(CArticWrkEvntList* src);

protected:
    // Destroys the list's events and empties it.
    virtual void ClearEvntList(CArticWrkEvntList* list);

private:
    CString* m_pFullPath;            // owned
    CArticWrkEvntList* m_pEvntList;  // owned, with its events
};

using CArticSmfBufList = CTypedPtrList<CObList, CArticSmfBuf*>;

class CArticCash : public CObject {
public:
    // Drops every entry and starts an empty cache.
    static void Clear();
    // Drops the cache itself: nothing is cached until the next Clear.
    static void Delete();
    // *out = the cache list (null when there is none): 1; 0 for a null out.
    static int GetSmfBufList(CArticSmfBufList** out);
    // *out = the entry of path or null: 1; 0 for a null out.
    static int IsSmfBuf(CString path, CArticSmfBuf** out);
    // Appends an entry (owned by the cache from then on); false without a cache.
    static bool AddSmfBuf(CArticSmfBuf* buf);

protected:
    friend class CArticFileIO;
    static CArticSmfBuf* FindSmfBuf(CString path);
    static void ClearSmfBufList();
    static void DeleteSmfBufList();
};
