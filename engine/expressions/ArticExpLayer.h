#pragma once
// Layers: listed notes doubled onto a work block of a track of its own
// (bow strokes cut to a piece length, or one note of its own time, key,
// velocity, length and voice), with the voice the layer needs. Phase 1 only;
// every class needs two middle work blocks.
#include "engine/expressions/ArticExpEvnt.h"
#include "engine/expressions/ArticExpNotes.h"

class CArticWrkEvnt;

class CArticExpLayer : public CArticExpEvnt {
    VX_DECLARE_CLASS(CArticExpLayer)
public:
    CArticExpLayer() = default;
    CArticExpLayer(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes = nullptr);
    CArticExpLayer& operator=(const CArticExpLayer& src);

    virtual int GetWrkEvntList(CArticWrkEvntList** list) const { return m_Notes.Get(list); }
    virtual CArticWrkEvntList* GetWrkEvntList() const { return m_Notes.Get(); }
    // Entry n of the part-assignment record kept for the work block key.
    virtual CArticWrkBlk* GetMidWrkBlk2(CArticWrkBlk* key, ULONG n) const;
    virtual void SetWrkEvntList(CArticWrkEvntList* list) { m_Notes.Set(list); }
    // A new block on a new track of where's work data, kept as entry n of where's record.
    virtual CArticWrkBlk* NewMidWrkBlk2(ULONG n, BYTE kind, CArticWrkBlk* where);
    virtual void SetMidWrkBlk2(CArticWrkBlk* key, ULONG n, CArticWrkBlk* blk);
    virtual void ClearEvntList() { m_Notes.Clear(); }
    virtual void CopyEvntList(const CArticWrkEvntList* list) { m_Notes.Copy(list); }
    virtual void DeleteEvntList() { m_Notes.Delete(); }
    int ReLinkWrkEvntList(CArticWrk* wrk) override { return m_Notes.ReLink(wrk); }

protected:
    // The voice (bank MSB, LSB, program) put into layer at t - 5 (0 below 5)
    // unless it is already in force at t: 0; 1 when the event cannot be made.
    static int PutLayerVoice(CArticWrk* wrk, CArticWrkBlk* layer, INT64 t, BYTE msb, BYTE lsb, BYTE program);
    // The layer block of a note: Layer + 1 of its part (kind 0) or the common
    // block Layer (kind 1), made when missing; reports its failures.
    int FindLayerBlk(CArticWrkEvnt* note, BYTE type, BYTE layer, CArticWrk** wrk, CArticWrkBlk** source,
                     CArticWrkBlk** target);
    // Bow strokes of devSize ticks (not 0) over each listed note: the blocks
    // by blocks(note, &wrk, &source, &layer), the voice by voice(wrk, t, source, layer).
    template <class B, class V>
    int BowNotes(WORD devSize, B blocks, V voice);
    // A DevSize of 0 cuts no stroke: reported, 1.
    int RefuseDevSize();
    // Reports a failure of phase 1 (unless the expression reported).
    int ReportLayer(int rc);

private:
    CArticExpNotes m_Notes;
};

class CArticExpLayerBow1 : public CArticExpLayer {
    VX_DECLARE_CLASS(CArticExpLayerBow1)
public:
    CArticExpLayerBow1() { SetTgNeed(2); }
    CArticExpLayerBow1(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, WORD devSize);
    CArticExpLayerBow1& operator=(const CArticExpLayerBow1& src);

    virtual BYTE GetType() const { return m_Type; }
    virtual WORD GetDevSize() const { return m_DevSize; }
    virtual void SetType(BYTE v) { m_Type = v; }
    virtual void SetDevSize(WORD v) { m_DevSize = v; }
    // The source's voice at t into the layer when the layer's differs.
    virtual int SetLayerVoice(CArticWrk* wrk, INT64 t, CArticWrkBlk* source, CArticWrkBlk* layer);
    virtual int CreLayerBow1(CArticWrk* wrk, CArticWrkBlk* source, CArticWrkBlk* layer);
    int ConvToWrk() override;

private:
    BYTE m_Type = 0;
    WORD m_DevSize = 1;
};

class CArticExpLayerBow2 : public CArticExpLayer {
    VX_DECLARE_CLASS(CArticExpLayerBow2)
public:
    CArticExpLayerBow2() { SetTgNeed(2); }
    CArticExpLayerBow2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, BYTE layer,
                       WORD devSize);
    CArticExpLayerBow2& operator=(const CArticExpLayerBow2& src);

    virtual BYTE GetType() const { return m_Type; }
    virtual BYTE GetLayer() const { return m_Layer; }
    virtual WORD GetDevSize() const { return m_DevSize; }
    virtual void SetType(BYTE v) { m_Type = v; }
    virtual void SetLayer(BYTE v) { m_Layer = v; }
    virtual void SetDevSize(WORD v) { m_DevSize = v; }
    virtual int GetLayerWrkBlk(CArticWrkEvnt* note, CArticWrk** wrk, CArticWrkBlk** source, CArticWrkBlk** layer);
    virtual int SetLayerVoice(CArticWrk* wrk, INT64 t, CArticWrkBlk* source, CArticWrkBlk* layer);
    virtual int CreLayerBow2();
    int ConvToWrk() override;

private:
    BYTE m_Type = 0;
    BYTE m_Layer = 0;
    WORD m_DevSize = 1;
};

class CArticExpLayerNote1 : public CArticExpLayer {
    VX_DECLARE_CLASS(CArticExpLayerNote1)
public:
    CArticExpLayerNote1() { SetTgNeed(2); }
    CArticExpLayerNote1(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, BYTE layer,
                        LONG time, ULONG dur, BYTE key, BYTE velo, BYTE bselMsb, BYTE bselLsb, BYTE proNo);
    CArticExpLayerNote1& operator=(const CArticExpLayerNote1& src);

    virtual BYTE GetType() const { return m_Type; }
    virtual BYTE GetLayer() const { return m_Layer; }
    virtual LONG GetTime() const { return m_Time; }
    virtual ULONG GetDur() const { return m_Dur; }
    virtual BYTE GetKey() const { return m_Key; }
    virtual BYTE GetVelo() const { return m_Velo; }
    virtual BYTE GetBSelMSB() const { return m_BSelMSB; }
    virtual BYTE GetBSelLSB() const { return m_BSelLSB; }
    virtual BYTE GetProNo() const { return m_ProNo; }
    virtual void SetType(BYTE v) { m_Type = v; }
    virtual void SetLayer(BYTE v) { m_Layer = v; }
    virtual void SetTime(LONG v) { m_Time = v; }
    virtual void SetDur(ULONG v) { m_Dur = v; }
    virtual void SetKey(BYTE v) { m_Key = v; }
    virtual void SetVelo(BYTE v) { m_Velo = v; }
    virtual void SetBSelMSB(BYTE v) { m_BSelMSB = v; }
    virtual void SetBSelLSB(BYTE v) { m_BSelLSB = v; }
    virtual void SetProNo(BYTE v) { m_ProNo = v; }
    virtual int GetLayerWrkBlk(CArticWrkEvnt* note, CArticWrk** wrk, CArticWrkBlk** source, CArticWrkBlk** layer);
    // The expression's voice at t into the layer when the layer's differs.
    virtual int SetLayerVoice(CArticWrk* wrk, INT64 t, CArticWrkBlk* layer);
    virtual int CreLayerNote1();
    int ConvToWrk() override;

private:
    BYTE m_Type = 0;
    BYTE m_Layer = 0;
    LONG m_Time = 0;
    ULONG m_Dur = 0;
    BYTE m_Key = 60;
    BYTE m_Velo = 64;
    BYTE m_BSelMSB = 0;
    BYTE m_BSelLSB = 0;
    BYTE m_ProNo = 0;
};

class CArticExpLayerNote2 : public CArticExpLayerNote1 {
    VX_DECLARE_CLASS(CArticExpLayerNote2)
public:
    CArticExpLayerNote2() = default;
    CArticExpLayerNote2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, BYTE type, BYTE layer,
                        LONG time, ULONG dur, BYTE key, BYTE velo, BYTE bselMsb, BYTE bselLsb, BYTE proNo,
                        const CArticWrkEvntList* notes2);
    CArticExpLayerNote2& operator=(const CArticExpLayerNote2& src);

    virtual int GetWrkEvntList2(CArticWrkEvntList** list) const { return m_Notes2.Get(list); }
    virtual CArticWrkEvntList* GetWrkEvntList2() const { return m_Notes2.Get(); }
    virtual void SetWrkEvntList2(CArticWrkEvntList* list) { m_Notes2.Set(list); }
    virtual void ClearEvntList2() { m_Notes2.Clear(); }
    virtual void CopyEvntList2(const CArticWrkEvntList* list) { m_Notes2.Copy(list); }
    virtual void DeleteEvntList2() { m_Notes2.Delete(); }
    virtual int CreLayerNote2();
    // The second list re-pointed at wrk's events of the same numbers; a number
    // wrk lacks gets a new free event there: 0; 1 without wrk.
    int ReLinkWrkEvntList2(CArticWrk* wrk) override;
    int ConvToWrk() override;

private:
    CArticExpNotes m_Notes2;
};
