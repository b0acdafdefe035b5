#pragma once
// Event variables and arrays of a rule set: _thisEvnt and _evntN (a note held
// directly, or derived from another event variable by a relation), event
// arrays (_aryN) and value arrays of event numbers (_varyN).
#include <vector>

#include "engine/rules/ArticRulData.h"
#include "engine/work/ArticWrkEvnt.h"
#include "platform/Collections.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticRulDataEvnt;
class CArticRulDataVEvnt;

using CArticRulDataEvntArray = CTypedPtrArray<CObArray, CArticRulDataEvnt*>;
using CArticRulDataVEvntArray = CTypedPtrArray<CObArray, CArticRulDataVEvnt*>;

// "No event" in rule data.
constexpr ULONG kNoEvntNo = 0x7FFFFFFF;

class CArticRulDataEvnt : public CArticRulData {
    VX_DECLARE_CLASS(CArticRulDataEvnt)
public:
    // A direct variable holding note (a note-on only; anything else holds none).
    CArticRulDataEvnt(CArticRulSet* set, ULONG no, CArticWrkEvnt* note = nullptr);
    // A variable derived from base by the relation code.
    CArticRulDataEvnt(CArticRulSet* set, ULONG no, CArticRulDataEvnt* base, BYTE code);
    CArticRulDataEvnt(const CArticRulDataEvnt&) = delete;
    // Takes the note (through the note-on check), the base and the code.
    CArticRulDataEvnt& operator=(const CArticRulDataEvnt& src);

    // The out-parameter getters look up with the error flag on: 1 when a note was found.
    virtual int GetEvnt(CArticWrkEvnt** note);
    // The own note; with flag set, a missing one raises the error flag.
    virtual CArticWrkEvnt* GetEvnt(int flag);
    virtual int GetNext(CArticWrkEvnt** note);
    virtual CArticWrkEvnt* GetNext(int flag);
    virtual int GetPrev(CArticWrkEvnt** note);
    virtual CArticWrkEvnt* GetPrev(int flag);
    virtual int GetWrkNext(CArticWrkEvnt** note);
    virtual CArticWrkEvnt* GetWrkNext(int flag);
    virtual int GetWrkPrev(CArticWrkEvnt** note);
    virtual CArticWrkEvnt* GetWrkPrev(int flag);
    virtual int GetAllNext(CArticWrkEvnt** note);
    virtual CArticWrkEvnt* GetAllNext(int flag);
    virtual int GetAllPrev(CArticWrkEvnt** note);
    virtual CArticWrkEvnt* GetAllPrev(int flag);

    // Members of the own note; 0 without one.
    virtual INT64 GetTime();
    virtual INT64 GetGateTime();
    virtual BYTE GetNote();
    virtual BYTE GetVelo();
    // Fingering members: 0, and the variable's name reported, for a note without fingering.
    virtual BYTE GetGen();
    virtual BYTE GetFng();
    virtual LONG GetPos();
    virtual signed char GetCho();
    virtual double GetProb(ULONG setNo);
    virtual LONG GetOut(ULONG setNo);
    // The member named by a note member code (time, length, key, ...), read
    // through the getters above; false for a code that names no member.
    bool ReadMember(BYTE code, ULONG setNo, double* value);

    // Event numbers of the own note and of the relations; kNoEvntNo when none.
    virtual ULONG GetWrkEvntNo(int flag);
    virtual ULONG GetNextWrkEvntNo(int flag);
    virtual ULONG GetPrevWrkEvntNo(int flag);
    virtual ULONG GetWrkNextWrkEvntNo(int flag);
    virtual ULONG GetWrkPrevWrkEvntNo(int flag);
    virtual ULONG GetAllNextWrkEvntNo(int flag);
    virtual ULONG GetAllPrevWrkEvntNo(int flag);

    virtual BYTE GetDataType() const { return m_DataType; }
    virtual int GetDataEvnt(CArticRulDataEvnt** base) const;
    virtual CArticRulDataEvnt* GetDataEvnt() const { return m_pDataEvnt; }
    // The current note's error flag for the set (0 without set or note).
    virtual LONG GetErrInfo() const;

    // Makes the variable direct; with check set a note that is not a note-on is refused.
    virtual void SetEvnt(CArticWrkEvnt* note, int check);
    virtual void SetDataType(BYTE code) { m_DataType = code; }
    virtual void SetDataEvnt(CArticRulDataEvnt* base, BYTE code);
    virtual void SetDataEvnt(CArticRulDataEvnt* base);
    // Reports the variable's name as the set's error detail and raises the error flag.
    virtual void SetErrStrInfo();
    // Writes the current note's error flag for the set.
    virtual void SetErrInfo(LONG value);

    // The note a direct variable holds, read without a lookup; null for a
    // derived variable (and for one holding none).
    CArticWrkEvnt* HeldEvnt() const { return m_pDataEvnt ? nullptr : m_pEvnt; }
    // The note in relation code (1 the own note, 2..7 Next .. AllPre); null otherwise.
    CArticWrkEvnt* GetRelation(BYTE code, int flag);
    // True when the chain of base variables comes back to this variable.
    bool IsCyclic() const;

private:
    // The base's own note, or null (cycle reported) when the chain of bases loops.
    CArticWrkEvnt* BaseNote();
    CArticWrkEvnt* Related(CArticWrkEvnt* (*step)(CArticWrkEvnt*), int flag);
    // GetEvnt for a derived variable: the base's note, then the relation.
    CArticWrkEvnt* DerivedEvnt(int flag);
    // No note where one was required: raises the error flag, null.
    CArticWrkEvnt* Missing();
    // The note found; with flag set, none raises the error flag.
    CArticWrkEvnt* Finish(CArticWrkEvnt* note, int flag) {
        if (!note && flag) SetErrInfo(1);
        return note;
    }
    // The own note for a fingering member; null when none (or without fingering, reported).
    CArticWrkEvnt* FingeredNote();
    static ULONG NoOf(const CArticWrkEvnt* note);

    CArticWrkEvnt* m_pEvnt = nullptr;          // not owned
    BYTE m_DataType = 0;
    CArticRulDataEvnt* m_pDataEvnt = nullptr;  // not owned
    bool m_Resolving = false;                  // guards against a chain of bases that loops
};

// Elements that left an event array, handed out again: scripts empty and
// refill their arrays for nearly every note. Under AddressSanitizer a
// dropped element is deleted at once, so that a pointer kept to it still
// shows.
class CArticRulDataEvntSpares {
public:
    CArticRulDataEvntSpares() = default;
    CArticRulDataEvntSpares(const CArticRulDataEvntSpares&) = delete;
    CArticRulDataEvntSpares& operator=(const CArticRulDataEvntSpares&) = delete;
    ~CArticRulDataEvntSpares();

    // An element for slot index: a kept one when there is one, else a new
    // one; either way direct, holding no note, without set, numbered index.
    CArticRulDataEvnt* Take(ULONG index);
    // An element that left its array; null is ignored.
    void Drop(CArticRulDataEvnt* elm);

private:
    std::vector<CArticRulDataEvnt*> m_Spares;  // owned
};

// An array of event items (_aryN).
class CArticRulDataAry : public CArticRulData {
    VX_DECLARE_CLASS(CArticRulDataAry)
public:
    CArticRulDataAry(CArticRulSet* set, ULONG no);
    ~CArticRulDataAry() override;
    CArticRulDataAry(const CArticRulDataAry&) = delete;
    CArticRulDataAry& operator=(const CArticRulDataAry& src);

    virtual void ClearRulDataEvntArray();
    virtual int GetDataEvnt(int index, CArticRulDataEvnt** item) const;
    virtual CArticRulDataEvnt* GetDataEvnt(int index) const;
    // Empties list, then appends the items' notes in index order.
    virtual void GetEvntList(CArticWrkEvntList* list);
    // "count{:wN, :wM}" over the items that have a note.
    virtual CString GetData();
    virtual int GetCount() const;
    // Puts a note at index (a null note empties the slot): 1; 0 without array or for an index past the limit.
    virtual int SetDataEvnt(int index, CArticWrkEvnt* note);
    // Takes item over at its number: 1; 0 when the slot is taken.
    virtual int SetDataEvnt(CArticRulDataEvnt* item);
    virtual int GetSize() const { return m_pArray ? m_pArray->GetSize() : 0; }

protected:
    virtual void NewRulDataEvntArray();
    virtual void DeleteRulDataEvntArray();
    virtual void CopyRulDataEvntArray(const CArticRulDataEvntArray* src);

private:
    CArticRulDataEvntArray* m_pArray = nullptr;  // owned, with its items
    // Items that left the array, for reuse: the array is emptied for every
    // note the set runs on and filled again.
    CArticRulDataEvntSpares m_SpareItems;
};

// An item of a value array: one event number.
class CArticRulDataVEvnt : public CArticRulData {
    VX_DECLARE_CLASS(CArticRulDataVEvnt)
public:
    CArticRulDataVEvnt(CArticRulSet* set, ULONG no, ULONG evntNo = kNoEvntNo)
        : CArticRulData(set, no), m_EvntNo(evntNo) {}
    CArticRulDataVEvnt& operator=(const CArticRulDataVEvnt& src) {
        m_EvntNo = src.m_EvntNo;
        return *this;
    }
    virtual ULONG GetEvntNo() const { return m_EvntNo; }
    virtual void SetEvntNo(ULONG no) { m_EvntNo = no; }

private:
    ULONG m_EvntNo;
};

// An array of event numbers (_varyN), typically fresh numbers for notes an
// expression is going to create.
class CArticRulDataVAry : public CArticRulData {
    VX_DECLARE_CLASS(CArticRulDataVAry)
public:
    CArticRulDataVAry(CArticRulSet* set, ULONG no);
    ~CArticRulDataVAry() override;
    CArticRulDataVAry(const CArticRulDataVAry&) = delete;
    CArticRulDataVAry& operator=(const CArticRulDataVAry& src);

    virtual void ClearRulDataVEvntArray();
    virtual int GetDataEvnt(int index, CArticRulDataVEvnt** item) const;
    virtual CArticRulDataVEvnt* GetDataEvnt(int index) const;
    virtual CString GetData() const;
    // kNoEvntNo empties the slot: 1; 0 without array or for an index past the limit.
    virtual int SetDataEvnt(int index, ULONG evntNo);
    virtual int SetDataEvnt(CArticRulDataVEvnt* item);
    // Fills indexes 0..count-1 with fresh event numbers from the program.
    virtual void SetData(int count);
    virtual int GetSize() const { return m_pArray ? m_pArray->GetSize() : 0; }

protected:
    virtual void NewRulDataVEvntArray();
    virtual void DeleteRulDataVEvntArray();
    virtual void CopyRulDataVEvntArray(const CArticRulDataVEvntArray* src);
    virtual ULONG GetFreeEvntNo() const;

private:
    CArticRulDataVEvntArray* m_pArray = nullptr;  // owned, with its items
};
