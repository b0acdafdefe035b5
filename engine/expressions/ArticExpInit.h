#pragma once
// Initialisation: parameter-change and system-on messages, program and bank
// selections and the pitch-bend range, written into middle work block 0 at
// one position, into a numbered block of the middle data ("2" classes), or
// at every listed note ("3" classes).
#include "engine/expressions/ArticExpBase.h"
#include "engine/expressions/ArticMeas.h"

class CArticWrkEvnt;

class CArticExpInit : public CArticExpEvnt {
    VX_DECLARE_CLASS(CArticExpInit)
public:
    CArticExpInit() = default;
    // The position form (EvntType 1); a null position is bar 1, beat 1, tick 0.
    CArticExpInit(CArticExpBlk* owner, ULONG evntNo, const CArticMeas* meas);
    // The tick form (EvntType 2).
    CArticExpInit(CArticExpBlk* owner, ULONG evntNo, INT64 time);
    ~CArticExpInit() override;
    CArticExpInit& operator=(const CArticExpInit& src);

    // The position; none in the tick form.
    virtual const CArticMeas* GetMeas() const { return m_pMeas; }
    // EvntType 2: Time; 1: the position's tick in the owner block's work data; else 0.
    virtual INT64 GetTime() const;
    virtual INT64 GetTimeValue() const { return m_Time; }
    // The block blkNo of track trkNo of the data holding middle work block 0.
    virtual int GetMidWrkTrkBlk(ULONG trkNo, ULONG blkNo, CArticWrkBlk** blk) const;
    virtual CArticWrkBlk* GetMidWrkTrkBlk(ULONG trkNo, ULONG blkNo) const;
    virtual void SetMeas(ULONG meas, ULONG beat, ULONG tick);
    virtual void SetTime(INT64 time) { m_Time = time; }

    static constexpr INT64 kNoPosition = INT64(0x7FFFFFFFFFFFFFFF) - 5;

protected:
    // Where the event goes: middle work block 0 ("2" classes: a numbered block).
    virtual CArticWrkBlk* GetTargetBlk() const { return GetMidWrkBlk(0); }
    // Whether the target is a numbered block, and what separates the
    // missing-block text from the class's detail.
    virtual bool IsNumberedTarget() const { return false; }
    virtual const char* BlockTextSeparator() const { return ""; }
    virtual CString GetDetail() const { return CString(); }
    // Gives the new event its message at t: false when it cannot be built.
    virtual bool BuildEvnt(CArticWrkEvnt* e, INT64 t) const { return false; }
    // Puts the built event into blk (after the events already at its time).
    virtual void InsertEvnt(CArticWrkBlk* blk, CArticWrkEvnt* e) const;
    // Records the event in the block's condition timeline where it sets one: 0 ok.
    virtual int RegisterEvnt(CArticWrkBlk* blk, CArticWrkEvnt* e) const { return 0; }
    // Phase 1 of the one-position classes.
    int PlaceOne();
    // The position's tick in wrk: 0; 1 without position or data.
    int TimeIn(CArticWrk* wrk, INT64* t) const;

private:
    CArticMeas* m_pMeas = nullptr;  // owned; none in the tick form
    INT64 m_Time = 0;
};

class CArticExpInitPrm : public CArticExpInit {
    VX_DECLARE_CLASS(CArticExpInitPrm)
public:
    CArticExpInitPrm() = default;
    CArticExpInitPrm(CArticExpBlk* owner, ULONG evntNo, const CArticMeas* meas, const char* modelID,
                     const char* prmAdrs, const char* prmData);
    CArticExpInitPrm(CArticExpBlk* owner, ULONG evntNo, INT64 time, const char* modelID, const char* prmAdrs,
                     const char* prmData);
    CArticExpInitPrm& operator=(const CArticExpInitPrm& src);

    virtual CString GetModelID() const { return m_ModelID; }
    virtual CString GetPrmAdrs() const { return m_PrmAdrs; }
    virtual CString GetPrmData() const { return m_PrmData; }
    virtual void SetModelID(const CString& text) { m_ModelID = text; }
    virtual void SetModelID(const char* text) { if (text) m_ModelID = text; }
    virtual void SetPrmAdrs(const CString& text) { m_PrmAdrs = text; }
    virtual void SetPrmAdrs(const char* text) { if (text) m_PrmAdrs = text; }
    virtual void SetPrmData(const CString& text) { m_PrmData = text; }
    virtual void SetPrmData(const char* text) { if (text) m_PrmData = text; }

    int ConvToWrk() override { return PlaceOne(); }

protected:
    CString GetDetail() const override { return m_ModelID + " " + m_PrmAdrs + " " + m_PrmData; }
    bool BuildEvnt(CArticWrkEvnt* e, INT64 t) const override;

private:
    CString m_ModelID;
    CString m_PrmAdrs;
    CString m_PrmData;
};

class CArticExpInitPrmChange : public CArticExpInitPrm {
    VX_DECLARE_CLASS(CArticExpInitPrmChange)
public:
    CArticExpInitPrmChange() = default;
    CArticExpInitPrmChange(CArticExpBlk* owner, ULONG evntNo, const CArticMeas* meas, const char* modelID,
                           const char* prmAdrs, const char* prmData);
    CArticExpInitPrmChange(CArticExpBlk* owner, ULONG evntNo, INT64 time, const char* modelID, const char* prmAdrs,
                           const char* prmData);
    CArticExpInitPrmChange& operator=(const CArticExpInitPrmChange& src);
};

class CArticExpInitPrmChange2 : public CArticExpInitPrmChange {
    VX_DECLARE_CLASS(CArticExpInitPrmChange2)
public:
    CArticExpInitPrmChange2() = default;
    CArticExpInitPrmChange2(CArticExpBlk* owner, ULONG evntNo, WORD trkNo, WORD blkNo, const CArticMeas* meas,
                            const char* modelID, const char* prmAdrs, const char* prmData);
    CArticExpInitPrmChange2(CArticExpBlk* owner, ULONG evntNo, WORD trkNo, WORD blkNo, INT64 time,
                            const char* modelID, const char* prmAdrs, const char* prmData);
    CArticExpInitPrmChange2& operator=(const CArticExpInitPrmChange2& src);
    virtual WORD GetTrkNo() const { return m_TrkNo; }
    virtual WORD GetBlkNo() const { return m_BlkNo; }
    virtual void SetTrkNo(WORD n) { m_TrkNo = n; }
    virtual void SetBlkNo(WORD n) { m_BlkNo = n; }

protected:
    CArticWrkBlk* GetTargetBlk() const override { return GetMidWrkTrkBlk(m_TrkNo, m_BlkNo); }
    bool IsNumberedTarget() const override { return true; }
    const char* BlockTextSeparator() const override { return "\n          "; }

private:
    WORD m_TrkNo = 0;
    WORD m_BlkNo = 0;
};

class CArticExpInitPrmChangeKv : public CArticExpInitPrm {
    VX_DECLARE_CLASS(CArticExpInitPrmChangeKv)
public:
    CArticExpInitPrmChangeKv() = default;
    CArticExpInitPrmChangeKv(CArticExpBlk* owner, ULONG evntNo, const CArticMeas* meas, const char* prmAdrs,
                             const char* prmData);
    CArticExpInitPrmChangeKv(CArticExpBlk* owner, ULONG evntNo, INT64 time, const char* prmAdrs, const char* prmData);
    CArticExpInitPrmChangeKv& operator=(const CArticExpInitPrmChangeKv& src);
};

class CArticExpInitPrmChangeKv2 : public CArticExpInitPrmChangeKv {
    VX_DECLARE_CLASS(CArticExpInitPrmChangeKv2)
public:
    CArticExpInitPrmChangeKv2() = default;
    CArticExpInitPrmChangeKv2(CArticExpBlk* owner, ULONG evntNo, WORD trkNo, WORD blkNo, const CArticMeas* meas,
                              const char* prmAdrs, const char* prmData);
    CArticExpInitPrmChangeKv2(CArticExpBlk* owner, ULONG evntNo, WORD trkNo, WORD blkNo, INT64 time,
                              const char* prmAdrs, const char* prmData);
    CArticExpInitPrmChangeKv2& operator=(const CArticExpInitPrmChangeKv2& src);
    virtual WORD GetTrkNo() const { return m_TrkNo; }
    virtual WORD GetBlkNo() const { return m_BlkNo; }
    virtual void SetTrkNo(WORD n) { m_TrkNo = n; }
    virtual void SetBlkNo(WORD n) { m_BlkNo = n; }

protected:
    CArticWrkBlk* GetTargetBlk() const override { return GetMidWrkTrkBlk(m_TrkNo, m_BlkNo); }
    bool IsNumberedTarget() const override { return true; }
    const char* BlockTextSeparator() const override { return "\n          "; }

private:
    WORD m_TrkNo = 0;
    WORD m_BlkNo = 0;
};

class CArticExpInitKvinit : public CArticExpInit {
    VX_DECLARE_CLASS(CArticExpInitKvinit)
public:
    CArticExpInitKvinit() = default;
    CArticExpInitKvinit(CArticExpBlk* owner, ULONG evntNo, const CArticMeas* meas);
    CArticExpInitKvinit(CArticExpBlk* owner, ULONG evntNo, INT64 time);
    CArticExpInitKvinit& operator=(const CArticExpInitKvinit& src);
    int ConvToWrk() override { return PlaceOne(); }

protected:
    bool BuildEvnt(CArticWrkEvnt* e, INT64 t) const override;
    void InsertEvnt(CArticWrkBlk* blk, CArticWrkEvnt* e) const override;
};

class CArticExpInitKvinit2 : public CArticExpInit {
    VX_DECLARE_CLASS(CArticExpInitKvinit2)
public:
    CArticExpInitKvinit2() = default;
    CArticExpInitKvinit2(CArticExpBlk* owner, ULONG evntNo, WORD trkNo, WORD blkNo, const CArticMeas* meas);
    CArticExpInitKvinit2(CArticExpBlk* owner, ULONG evntNo, WORD trkNo, WORD blkNo, INT64 time);
    CArticExpInitKvinit2& operator=(const CArticExpInitKvinit2& src);
    virtual WORD GetTrkNo() const { return m_TrkNo; }
    virtual WORD GetBlkNo() const { return m_BlkNo; }
    virtual void SetTrkNo(WORD n) { m_TrkNo = n; }
    virtual void SetBlkNo(WORD n) { m_BlkNo = n; }
    int ConvToWrk() override { return PlaceOne(); }

protected:
    CArticWrkBlk* GetTargetBlk() const override { return GetMidWrkTrkBlk(m_TrkNo, m_BlkNo); }
    bool IsNumberedTarget() const override { return true; }
    bool BuildEvnt(CArticWrkEvnt* e, INT64 t) const override;
    void InsertEvnt(CArticWrkBlk* blk, CArticWrkEvnt* e) const override;

private:
    WORD m_TrkNo = 0;
    WORD m_BlkNo = 0;
};

class CArticExpInitPro : public CArticExpInit {
    VX_DECLARE_CLASS(CArticExpInitPro)
public:
    CArticExpInitPro() = default;
    CArticExpInitPro(CArticExpBlk* owner, ULONG evntNo, const CArticMeas* meas, BYTE bsMsb, BYTE bsLsb, BYTE progNo);
    CArticExpInitPro(CArticExpBlk* owner, ULONG evntNo, INT64 time, BYTE bsMsb, BYTE bsLsb, BYTE progNo);
    CArticExpInitPro& operator=(const CArticExpInitPro& src);
    virtual BYTE GetBsMsb() const { return m_BsMsb; }
    virtual BYTE GetBsLsb() const { return m_BsLsb; }
    virtual BYTE GetProgNo() const { return m_ProgNo; }
    virtual void SetBsMsb(BYTE v) { m_BsMsb = v; }
    virtual void SetBsLsb(BYTE v) { m_BsLsb = v; }
    virtual void SetProgNo(BYTE v) { m_ProgNo = v; }
    int ConvToWrk() override { return PlaceOne(); }

protected:
    bool BuildEvnt(CArticWrkEvnt* e, INT64 t) const override;
    int RegisterEvnt(CArticWrkBlk* blk, CArticWrkEvnt* e) const override;

private:
    BYTE m_BsMsb = 0;
    BYTE m_BsLsb = 0;
    BYTE m_ProgNo = 0;
};

class CArticExpInitPro2 : public CArticExpInitPro {
    VX_DECLARE_CLASS(CArticExpInitPro2)
public:
    CArticExpInitPro2() = default;
    CArticExpInitPro2(CArticExpBlk* owner, ULONG evntNo, WORD trkNo, WORD blkNo, const CArticMeas* meas, BYTE bsMsb,
                      BYTE bsLsb, BYTE progNo);
    CArticExpInitPro2(CArticExpBlk* owner, ULONG evntNo, WORD trkNo, WORD blkNo, INT64 time, BYTE bsMsb, BYTE bsLsb,
                      BYTE progNo);
    CArticExpInitPro2& operator=(const CArticExpInitPro2& src);
    virtual WORD GetTrkNo() const { return m_TrkNo; }
    virtual WORD GetBlkNo() const { return m_BlkNo; }
    virtual void SetTrkNo(WORD n) { m_TrkNo = n; }
    virtual void SetBlkNo(WORD n) { m_BlkNo = n; }

protected:
    CArticWrkBlk* GetTargetBlk() const override { return GetMidWrkTrkBlk(m_TrkNo, m_BlkNo); }
    bool IsNumberedTarget() const override { return true; }

private:
    WORD m_TrkNo = 0;
    WORD m_BlkNo = 0;
};

class CArticExpInitPbRange : public CArticExpInit {
    VX_DECLARE_CLASS(CArticExpInitPbRange)
public:
    CArticExpInitPbRange() = default;
    CArticExpInitPbRange(CArticExpBlk* owner, ULONG evntNo, BYTE type, const CArticMeas* meas, BYTE range);
    CArticExpInitPbRange(CArticExpBlk* owner, ULONG evntNo, BYTE type, INT64 time, BYTE range);
    CArticExpInitPbRange& operator=(const CArticExpInitPbRange& src);
    virtual BYTE GetType() const { return m_Type; }
    virtual BYTE GetRange() const { return m_Range; }
    virtual void SetType(BYTE v) { m_Type = v; }
    virtual void SetRange(BYTE v) { m_Range = v; }

    int ConvToWrk() override;
    // Type 0 at the position, Type 1 shortly before the nearest note-on.
    virtual int CreWrkPbRangeType0();
    virtual int CreWrkPbRangeType1();

private:
    int Write(bool nearest);

    BYTE m_Type = 0;
    BYTE m_Range = 0;
};

class CArticExpInitPbRange2 : public CArticExpInitPbRange {
    VX_DECLARE_CLASS(CArticExpInitPbRange2)
public:
    CArticExpInitPbRange2() = default;
    CArticExpInitPbRange2(CArticExpBlk* owner, ULONG evntNo, BYTE type, WORD trkNo, WORD blkNo,
                          const CArticMeas* meas, BYTE range);
    CArticExpInitPbRange2(CArticExpBlk* owner, ULONG evntNo, BYTE type, WORD trkNo, WORD blkNo, INT64 time,
                          BYTE range);
    CArticExpInitPbRange2& operator=(const CArticExpInitPbRange2& src);
    virtual WORD GetTrkNo() const { return m_TrkNo; }
    virtual WORD GetBlkNo() const { return m_BlkNo; }
    virtual void SetTrkNo(WORD n) { m_TrkNo = n; }
    virtual void SetBlkNo(WORD n) { m_BlkNo = n; }

protected:
    CArticWrkBlk* GetTargetBlk() const override { return GetMidWrkTrkBlk(m_TrkNo, m_BlkNo); }
    bool IsNumberedTarget() const override { return true; }

private:
    WORD m_TrkNo = 0;
    WORD m_BlkNo = 0;
};

// ---- At every listed note

class CArticExpInitPrmChange3 : public CArticExpArray {
    VX_DECLARE_CLASS(CArticExpInitPrmChange3)
public:
    CArticExpInitPrmChange3() = default;
    CArticExpInitPrmChange3(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, LONG time,
                            const char* modelID, const char* prmAdrs, const char* prmData);
    CArticExpInitPrmChange3& operator=(const CArticExpInitPrmChange3& src);
    virtual LONG GetTime() const { return m_Time; }
    virtual CString GetModelID() const { return m_ModelID; }
    virtual CString GetPrmAdrs() const { return m_PrmAdrs; }
    virtual CString GetPrmData() const { return m_PrmData; }
    virtual void SetTime(LONG t) { m_Time = t; }
    virtual void SetModelID(const CString& text) { m_ModelID = text; }
    virtual void SetModelID(const char* text) { if (text) m_ModelID = text; }
    virtual void SetPrmAdrs(const CString& text) { m_PrmAdrs = text; }
    virtual void SetPrmAdrs(const char* text) { if (text) m_PrmAdrs = text; }
    virtual void SetPrmData(const CString& text) { m_PrmData = text; }
    virtual void SetPrmData(const char* text) { if (text) m_PrmData = text; }

    int ConvToWrk() override;
    virtual int CreInitPrmChange(CArticWrkEvnt* note);

protected:
    virtual CString GetDetail() const;

private:
    LONG m_Time = 0;
    CString m_ModelID;
    CString m_PrmAdrs;
    CString m_PrmData;
};

class CArticExpInitPrmChangeKv3 : public CArticExpInitPrmChange3 {
    VX_DECLARE_CLASS(CArticExpInitPrmChangeKv3)
public:
    CArticExpInitPrmChangeKv3() = default;
    CArticExpInitPrmChangeKv3(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, LONG time,
                              const char* prmAdrs, const char* prmData);
    CArticExpInitPrmChangeKv3& operator=(const CArticExpInitPrmChangeKv3& src);
    virtual int CreInitPrmChangeKv(CArticWrkEvnt* note) { return CreInitPrmChange(note); }

protected:
    CString GetDetail() const override;
};

class CArticExpInitPro3 : public CArticExpArray {
    VX_DECLARE_CLASS(CArticExpInitPro3)
public:
    CArticExpInitPro3() = default;
    CArticExpInitPro3(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, LONG time, BYTE bsMsb,
                      BYTE bsLsb, BYTE progNo);
    CArticExpInitPro3& operator=(const CArticExpInitPro3& src);
    virtual LONG GetTime() const { return m_Time; }
    virtual BYTE GetBsMsb() const { return m_BsMsb; }
    virtual BYTE GetBsLsb() const { return m_BsLsb; }
    virtual BYTE GetProgNo() const { return m_ProgNo; }
    virtual void SetTime(LONG t) { m_Time = t; }
    virtual void SetBsMsb(BYTE v) { m_BsMsb = v; }
    virtual void SetBsLsb(BYTE v) { m_BsLsb = v; }
    virtual void SetProgNo(BYTE v) { m_ProgNo = v; }

    int ConvToWrk() override;
    virtual int CreInitPro(CArticWrkEvnt* note);

private:
    LONG m_Time = 0;
    BYTE m_BsMsb = 0;
    BYTE m_BsLsb = 0;
    BYTE m_ProgNo = 0;
};

class CArticExpInitPbRange3 : public CArticExpArray {
    VX_DECLARE_CLASS(CArticExpInitPbRange3)
public:
    CArticExpInitPbRange3() = default;
    CArticExpInitPbRange3(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, LONG time, BYTE range);
    CArticExpInitPbRange3& operator=(const CArticExpInitPbRange3& src);
    virtual LONG GetTime() const { return m_Time; }
    virtual BYTE GetRange() const { return m_Range; }
    virtual void SetTime(LONG t) { m_Time = t; }
    virtual void SetRange(BYTE v) { m_Range = v; }

    // Refuses a Range above 127: the data entry could not carry it.
    int ConvToWrk() override;
    virtual int CreInitPbRange(CArticWrkEvnt* note);

private:
    LONG m_Time = 0;
    BYTE m_Range = 0;
};
