#pragma once
// Family bases of the note-list expressions: a note list of work events
// (owned list, shared events) and what each family adds to it.
#include "engine/expressions/ArticExpEvnt.h"
#include "engine/expressions/ArticExpNotes.h"

class CArticWrkBlk;

// Notes with the out form of the list getter; the base of the array family
// (stops, deletion, the note-list initialisations).
class CArticExpArray : public CArticExpEvnt {
    VX_DECLARE_CLASS(CArticExpArray)
public:
    CArticExpArray() = default;
    CArticExpArray(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes = nullptr);
    CArticExpArray& operator=(const CArticExpArray& src);

    virtual int GetWrkEvntList(CArticWrkEvntList** list) const { return m_Notes.Get(list); }
    virtual CArticWrkEvntList* GetWrkEvntList() const { return m_Notes.Get(); }
    virtual void SetWrkEvntList(CArticWrkEvntList* list) { m_Notes.Set(list); }
    virtual void ClearEvntList() { m_Notes.Clear(); }
    virtual void CopyEvntList(const CArticWrkEvntList* list) { m_Notes.Copy(list); }
    virtual void DeleteEvntList() { m_Notes.Delete(); }
    int ReLinkWrkEvntList(CArticWrk* wrk) override { return m_Notes.ReLink(wrk); }

private:
    CArticExpNotes m_Notes;
};

// Notes without the out form; the base of the velocity and controller stress.
class CArticExpStres : public CArticExpEvnt {
    VX_DECLARE_CLASS(CArticExpStres)
public:
    CArticExpStres() = default;
    CArticExpStres(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes = nullptr);
    CArticExpStres& operator=(const CArticExpStres& src);

    virtual CArticWrkEvntList* GetWrkEvntList() const { return m_Notes.Get(); }
    virtual void SetWrkEvntList(CArticWrkEvntList* list) { m_Notes.Set(list); }
    virtual void ClearEvntList() { m_Notes.Clear(); }
    virtual void CopyEvntList(const CArticWrkEvntList* list) { m_Notes.Copy(list); }
    virtual void DeleteEvntList() { m_Notes.Delete(); }
    int ReLinkWrkEvntList(CArticWrk* wrk) override { return m_Notes.ReLink(wrk); }

private:
    CArticExpNotes m_Notes;
};

// Notes and a kind value; the base of note creation.
class CArticExpCre : public CArticExpEvnt {
    VX_DECLARE_CLASS(CArticExpCre)
public:
    CArticExpCre() = default;
    CArticExpCre(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes = nullptr, BYTE type = 0);
    CArticExpCre& operator=(const CArticExpCre& src);

    virtual CArticWrkEvntList* GetWrkEvntList() const { return m_Notes.Get(); }
    virtual BYTE GetType() const { return m_Type; }
    virtual void SetWrkEvntList(CArticWrkEvntList* list) { m_Notes.Set(list); }
    virtual void SetType(BYTE type) { m_Type = type; }
    virtual void ClearEvntList() { m_Notes.Clear(); }
    virtual void CopyEvntList(const CArticWrkEvntList* list) { m_Notes.Copy(list); }
    virtual void DeleteEvntList() { m_Notes.Delete(); }
    int ReLinkWrkEvntList(CArticWrk* wrk) override { return m_Notes.ReLink(wrk); }

private:
    CArticExpNotes m_Notes;
    BYTE m_Type = 0;
};

// Notes with the out form; the base of the debug carriers.
class CArticExpDebug : public CArticExpEvnt {
    VX_DECLARE_CLASS(CArticExpDebug)
public:
    CArticExpDebug() = default;
    CArticExpDebug(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes = nullptr);
    CArticExpDebug& operator=(const CArticExpDebug& src);

    virtual int GetWrkEvntList(CArticWrkEvntList** list) const { return m_Notes.Get(list); }
    virtual CArticWrkEvntList* GetWrkEvntList() const { return m_Notes.Get(); }
    virtual void SetWrkEvntList(CArticWrkEvntList* list) { m_Notes.Set(list); }
    virtual void ClearEvntList() { m_Notes.Clear(); }
    virtual void CopyEvntList(const CArticWrkEvntList* list) { m_Notes.Copy(list); }
    virtual void DeleteEvntList() { m_Notes.Delete(); }
    int ReLinkWrkEvntList(CArticWrk* wrk) override { return m_Notes.ReLink(wrk); }

private:
    CArticExpNotes m_Notes;
};
