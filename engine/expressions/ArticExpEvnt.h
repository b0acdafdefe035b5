#pragma once
// Root of the articulation expressions: identity (owner block, list
// position, number), the form of its position parameters, the error state,
// the part-assignment record through which it reaches its middle work
// blocks, the four conversion phases, the dump line and the once-only error
// display.
#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticExpBlk;
class CArticPasnCommon;
class CArticPasnData;
class CArticWrk;
class CArticWrkBlk;

class CArticExpEvnt : public CObject {
    VX_DECLARE_CLASS(CArticExpEvnt)
public:
    CArticExpEvnt() = default;
    CArticExpEvnt(CArticExpBlk* owner, ULONG evntNo) : m_pOwner(owner), m_EvntNo(evntNo) {}
    CArticExpEvnt(const CArticExpEvnt&) = delete;
    // Copies EvntType, TgNeed and the part-assignment record; owner,
    // position, number, ErrKind and Error stay.
    CArticExpEvnt& operator=(const CArticExpEvnt& src);

    virtual POSITION GetPosEvnt() const { return m_PosEvnt; }
    // The event's place in its block, the block's in its track and the
    // track's in the tree; the owner's parts stay untouched without owners.
    virtual void GetPos(POSITION* trk, POSITION* blk, POSITION* evnt) const;
    virtual void SetPosEvnt(POSITION pos) { m_PosEvnt = pos; }
    // Re-point the note lists into wrk by event number; the root has none.
    virtual int ReLinkWrkEvntList(CArticWrk* wrk) { return 0; }
    virtual int ReLinkWrkEvntList2(CArticWrk* wrk) { return 0; }
    // Re-points middle work block 0 to the block of the same numbers in wrk.
    virtual int ReLinkWrkBlk(CArticWrk* wrk);
    // Appends "e<no>:<class>( items )": 0, or the parameter writer's failure.
    virtual int GetStrList(CStringList& list);
    virtual void SetErrMsgList();
    virtual int GetOwner(CArticExpBlk** blk) const;
    virtual CArticExpBlk* GetOwner() const { return m_pOwner; }
    virtual void SetOwner(CArticExpBlk* blk) { m_pOwner = blk; }
    virtual ULONG GetEvntNo() const { return m_EvntNo; }
    virtual void SetEvntNo(ULONG n) { m_EvntNo = n; }
    virtual BYTE GetEvntType() const { return m_EvntType; }
    virtual void SetEvntType(BYTE t) { m_EvntType = t; }
    virtual BYTE GetErrKind() const { return m_ErrKind; }
    virtual void SetErrKind(BYTE k) { m_ErrKind = k; }
    virtual LONG GetError() const { return m_Error; }
    virtual void SetError(LONG e) { m_Error = e; }
    virtual WORD GetTgNeed() const { return m_TgNeed; }
    virtual void SetTgNeed(WORD n) { m_TgNeed = n; }
    virtual int GetPasnData(CArticPasnData** data) const;
    virtual CArticPasnData* GetPasnData() const { return m_pPasnData; }
    virtual void SetPasnData(CArticPasnData* data) { m_pPasnData = data; }

    // ---- Middle work blocks (entries of the part-assignment record); none
    // and nothing done without a record.
    // A new block on a new work track of where's work data, stored as entry n.
    virtual CArticWrkBlk* NewMidWrkBlk(ULONG n, BYTE kind, CArticWrkBlk* where);
    // The same, stored in the shared record as entry n used by where.
    virtual CArticWrkBlk* NewMidCommonWrkBlk(ULONG n, BYTE kind, CArticWrkBlk* where);
    virtual int GetMidWrkBlk(ULONG n, CArticWrkBlk** blk) const;
    virtual CArticWrkBlk* GetMidWrkBlk(ULONG n) const;
    virtual void SetMidWrkBlk(ULONG n, CArticWrkBlk* blk);
    virtual int GetMidCommonWrkBlk(ULONG n, CArticWrkBlk** blk) const;
    virtual CArticWrkBlk* GetMidCommonWrkBlk(ULONG n) const;
    virtual void SetMidCommonWrkBlk(ULONG n, CArticWrkBlk* blk, CArticWrkBlk* from);
    virtual void EntryMidCommonWrkBlk(ULONG n, CArticWrkBlk* blk);
    // The work data that holds middle work block 0.
    virtual int GetMidWrk(CArticWrk** wrk) const;
    virtual CArticWrk* GetMidWrk() const;
    // The work data of the owner block's work-block link.
    virtual int GetWrk(CArticWrk** wrk) const;
    virtual CArticWrk* GetWrk() const;

    // The conversion phases; the root does nothing.
    virtual int ConvToWrk() { return 0; }
    virtual int ConvToWrkCombine() { return 0; }
    virtual int ConvToWrk2() { return 0; }
    virtual int ConvToWrk3() { return 0; }
    using CObject::GetClassNameA;
    virtual void GetClassNameA(CString* name) const;
    // Records and shows one error per expression (ErrKind 0 -> 3).
    virtual void DispErrMsg(const CString& title, const CString& content, const CString& method,
                            const CString& detail);

    // The phase titles the expressions report under.
    static const char* const kPhase1Title;
    static const char* const kPhase12Title;
    static const char* const kPhase2Title;

protected:
    // A byte item of the text form (0..255) as a MIDI data byte: the
    // expression keeps and writes what it was given, the work data gets at
    // most 127.
    static BYTE MidiData(BYTE value) { return value > 127 ? 127 : value; }
    CArticPasnCommon* GetCommon() const;
    // A new block on a new track of where's work data; null when none can be made.
    static CArticWrkBlk* NewWrkBlk(BYTE kind, CArticWrkBlk* where);

private:
    CArticExpBlk* m_pOwner = nullptr;  // not owned
    POSITION m_PosEvnt = nullptr;
    ULONG m_EvntNo = 0;
    BYTE m_EvntType = 0;
    BYTE m_ErrKind = 0;
    LONG m_Error = 0;
    WORD m_TgNeed = 1;
    CArticPasnData* m_pPasnData = nullptr;  // not owned: shared by the events of a block
};
