#pragma once
// Links a place in the song document to the work data: the song's track,
// block and event positions, the work event standing for that song event, a
// reference work event, the note's key range, and optionally a private copy
// of the host's event record with its own copy of the variable data.
//
// The three positions are opaque pointer-width handles (POSITION): the work
// container stores its own list positions here, the song bridge the host's.
#include <cstddef>
#include <new>

#include "engine/work/ArticWrkEdits.h"
#include "platform/Memory.h"
#include "platform/Object.h"
#include "platform/Types.h"

struct tagMPEVENT;
class CArticWrkEvnt;

class CArticPos final : public CObject {
    VX_DECLARE_CLASS(CArticPos)
public:
    CArticPos();
    CArticPos(POSITION trk, POSITION blk, POSITION evnt);
    CArticPos(POSITION trk, POSITION blk, POSITION evnt, CArticWrkEvnt* wrkEvnt,
              CArticWrkEvnt* refWrkEvnt);
    CArticPos(CArticWrkEvnt* wrkEvnt, CArticWrkEvnt* refWrkEvnt);
    ~CArticPos() override;
    CArticPos(const CArticPos&) = delete;
    CArticPos& operator=(const CArticPos& src);

    // Records of this exact class share slabs (see CClassPool): the number
    // tables hold one per event and look them up by number.
    static void* operator new(size_t size);
    static void* operator new(size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* p, size_t size);
    // Reached only when a constructor fails after a nothrow new.
    static void operator delete(void* p, const std::nothrow_t&) noexcept;

    // *record = the private host copy (null when none); nothing for a null out-pointer.
    virtual void Get(tagMPEVENT** record) const;
    virtual void Get(POSITION* trk, POSITION* blk, POSITION* evnt, CArticWrkEvnt** wrkEvnt,
                     CArticWrkEvnt** refWrkEvnt) const;
    virtual void Get(POSITION* trk, POSITION* blk, POSITION* evnt) const;
    virtual POSITION GetTrk() const { return m_Trk; }
    virtual POSITION GetBlk() const { return m_Blk; }
    virtual POSITION GetEvnt() const { return m_Evnt; }
    virtual int GetWrkEvnt(CArticWrkEvnt** evnt) const;
    virtual CArticWrkEvnt* GetWrkEvnt() const { return m_pWrkEvnt; }
    virtual int GetRefWrkEvnt(CArticWrkEvnt** evnt) const;
    virtual CArticWrkEvnt* GetRefWrkEvnt() const { return m_pRefWrkEvnt; }
    virtual BYTE GetKeyHead() const { return m_KeyHead; }
    virtual BYTE GetKeyTail() const { return m_KeyTail; }

    // Keeps a private copy of the host record (nothing for null).
    virtual void Set(const tagMPEVENT* record);
    // Stores the five values; the keys are not touched.
    virtual void Set(POSITION trk, POSITION blk, POSITION evnt, CArticWrkEvnt* wrkEvnt,
                     CArticWrkEvnt* refWrkEvnt);
    virtual void Set(POSITION trk, POSITION blk, POSITION evnt);
    virtual void SetTrk(POSITION trk) {
        m_Trk = trk;
        CArticWrkEdits::Count();
    }
    virtual void SetBlk(POSITION blk) {
        m_Blk = blk;
        CArticWrkEdits::Count();
    }
    virtual void SetEvnt(POSITION evnt) {
        m_Evnt = evnt;
        CArticWrkEdits::Count();
    }
    // Also takes the key range from a note (0xFF for anything else).
    virtual void SetWrkEvnt(CArticWrkEvnt* evnt);
    virtual void SetRefWrkEvnt(CArticWrkEvnt* evnt) { m_pRefWrkEvnt = evnt; }
    virtual void SetKeyHead(BYTE key) { m_KeyHead = key; }
    virtual void SetKeyTail(BYTE key) { m_KeyTail = key; }

protected:
    // The data block of the host copy; its length and pointer live in the
    // copy's Length and Bytes fields. Each returns 0 when done.
    virtual int CreateGmem(ULONG len);
    virtual int CopyGmem(const BYTE* data, ULONG len);
    virtual void DeleteGmem();
    virtual void CopyMPEvnt(const tagMPEVENT* src);

private:
    POSITION m_Trk = nullptr;
    POSITION m_Blk = nullptr;
    POSITION m_Evnt = nullptr;
    CArticWrkEvnt* m_pWrkEvnt = nullptr;     // not owned
    CArticWrkEvnt* m_pRefWrkEvnt = nullptr;  // not owned
    tagMPEVENT* m_pMPEvnt = nullptr;  // owned
    HGLOBAL m_hMem = nullptr;         // owned data block of the host copy
    ULONG m_MemSize = 0;              // bytes allocated in m_hMem
    BYTE m_KeyHead = 0xFF;
    BYTE m_KeyTail = 0xFF;
};
