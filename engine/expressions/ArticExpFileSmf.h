#pragma once
// Expressions that take their material from a phrase file of the library
// folder: the family bases, the controller and pitch-bend pastes (over
// measure positions or relative to every listed note) and the free paste of
// a whole phrase file at a position. All work in phase 1.
#include "engine/expressions/ArticExpEvnt.h"
#include "engine/expressions/ArticExpNotes.h"
#include "engine/expressions/ArticMeas.h"

class CArticFileIO;
class CArticWrkEvnt;

// A note list and the name of a phrase file.
class CArticExpFile : public CArticExpEvnt {
    VX_DECLARE_CLASS(CArticExpFile)
public:
    CArticExpFile() = default;
    CArticExpFile(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName);
    CArticExpFile& operator=(const CArticExpFile& src);

    virtual int GetWrkEvntList(CArticWrkEvntList** list) const { return m_Notes.Get(list); }
    virtual CArticWrkEvntList* GetWrkEvntList() const { return m_Notes.Get(); }
    virtual void GetFileName(CString* name) const { *name = m_FileName; }
    virtual CString GetFileName() const { return m_FileName; }
    virtual void SetWrkEvntList(CArticWrkEvntList* list) { m_Notes.Set(list); }
    virtual void SetFileName(const CString& name) { m_FileName = name; }
    // A null name empties it.
    virtual void SetFileName(const char* name) { m_FileName = name ? name : ""; }
    virtual void ClearEvntList() { m_Notes.Clear(); }
    virtual void CopyEvntList(const CArticWrkEvntList* list) { m_Notes.Copy(list); }
    virtual void DeleteEvntList() { m_Notes.Delete(); }
    int ReLinkWrkEvntList(CArticWrk* wrk) override { return m_Notes.ReLink(wrk); }
    // The phrase file's full path in the library folder.
    virtual CString GetPathName() const;

protected:
    // A phrase file of that path is there (names matched as the platform does).
    static bool PhraseExists(const CString& path);
    // Reports under the phase-1 title unless the expression already reported.
    void ReportFileSmf(const char* content, const CString& method, const char* detail = "");

private:
    CArticExpNotes m_Notes;
    CString m_FileName;
};

// The mode byte and the measure positions of a paste.
class CArticExpFileSmf : public CArticExpFile {
    VX_DECLARE_CLASS(CArticExpFileSmf)
public:
    CArticExpFileSmf() = default;
    // EvntType 1, TimeW 0.
    CArticExpFileSmf(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                     BYTE type, const CArticMeas* meas, const CArticMeas* endMeas);
    // EvntType 2, EndMeas (1,1,0).
    CArticExpFileSmf(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                     BYTE type, const CArticMeas* meas, ULONG timeW);
    CArticExpFileSmf& operator=(const CArticExpFileSmf& src);

    virtual BYTE GetType() const { return m_Type; }
    virtual const CArticMeas& GetMeas() const { return m_Meas; }
    virtual const CArticMeas& GetEndMeas() const { return m_EndMeas; }
    virtual ULONG GetTimeW() const { return m_TimeW; }
    virtual void SetType(BYTE v) { m_Type = v; }
    virtual void SetMeas(ULONG meas, ULONG beat, ULONG tick) { m_Meas.Set(meas, beat, tick); }
    virtual void SetEndMeas(ULONG meas, ULONG beat, ULONG tick) { m_EndMeas.Set(meas, beat, tick); }
    virtual void SetTimeW(ULONG v) { m_TimeW = v; }

private:
    BYTE m_Type = 0;
    CArticMeas m_Meas;
    CArticMeas m_EndMeas;
    ULONG m_TimeW = 0;
};

// Controller and pitch-bend pastes.
class CArticExpFileSmfCont : public CArticExpFileSmf {
    VX_DECLARE_CLASS(CArticExpFileSmfCont)
public:
    CArticExpFileSmfCont() = default;
    using CArticExpFileSmf::CArticExpFileSmf;
    CArticExpFileSmfCont& operator=(const CArticExpFileSmfCont& src) {
        CArticExpFileSmf::operator=(src);
        return *this;
    }

protected:
    // The block, its work data and (needList) its events, the owner and the
    // phrase file are all there: 0 with *path; 1 otherwise.
    int PasteTarget(CArticWrkBlk* blk, bool needList, CString* path) const;
    // The note-list form: for each listed note in its block the span
    // [t + start (not below 0), t + end], handed to block(blk, S, E, t).
    template <class F>
    int EachNoteSpan(LONG start, LONG end, F block);
    // EachNoteSpan with each span handed to self's note worker, with area.
    template <class C>
    int PasteAtNotes(LONG start, LONG end, BYTE area, C* self,
                     int (C::*worker)(CArticWrkBlk*, INT64, INT64, INT64, BYTE));
    // Phase 1: the worker's result, reported with the worker's name.
    int RunPaste(int rc, const char* worker);
    // The area flag of the note-relative classes: bit 1 clear and start not negative.
    BYTE AreaFlag(LONG start) const { return (GetType() & 0x02) == 0 && start >= 0 ? 1 : 0; }
};

// ---------------------------------------------------------------- Measure positions

class CArticExpFileSmfContCc : public CArticExpFileSmfCont {
    VX_DECLARE_CLASS(CArticExpFileSmfContCc)
public:
    CArticExpFileSmfContCc() = default;
    CArticExpFileSmfContCc(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                           BYTE type, const CArticMeas* meas, const CArticMeas* endMeas, BYTE contNo, WORD mag)
        : CArticExpFileSmfCont(owner, evntNo, notes, fileName, type, meas, endMeas), m_ContNo(contNo), m_Mag(mag) {}
    CArticExpFileSmfContCc(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                           BYTE type, const CArticMeas* meas, ULONG timeW, BYTE contNo, WORD mag)
        : CArticExpFileSmfCont(owner, evntNo, notes, fileName, type, meas, timeW), m_ContNo(contNo), m_Mag(mag) {}
    CArticExpFileSmfContCc& operator=(const CArticExpFileSmfContCc& src);

    virtual BYTE GetContNo() const { return m_ContNo; }
    virtual WORD GetMag() const { return m_Mag; }
    virtual void SetContNo(BYTE v) { m_ContNo = v; }
    virtual void SetMag(WORD v) { m_Mag = v; }
    int ConvToWrk() override;

protected:
    virtual int CreWrkSmfContCc();

private:
    BYTE m_ContNo = 0;
    WORD m_Mag = 100;
};

class CArticExpFileSmfContPb : public CArticExpFileSmfCont {
    VX_DECLARE_CLASS(CArticExpFileSmfContPb)
public:
    CArticExpFileSmfContPb() = default;
    CArticExpFileSmfContPb(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                           BYTE type, const CArticMeas* meas, const CArticMeas* endMeas, WORD mag)
        : CArticExpFileSmfCont(owner, evntNo, notes, fileName, type, meas, endMeas), m_Mag(mag) {}
    CArticExpFileSmfContPb(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                           BYTE type, const CArticMeas* meas, ULONG timeW, WORD mag)
        : CArticExpFileSmfCont(owner, evntNo, notes, fileName, type, meas, timeW), m_Mag(mag) {}
    CArticExpFileSmfContPb& operator=(const CArticExpFileSmfContPb& src);

    virtual WORD GetMag() const { return m_Mag; }
    virtual void SetMag(WORD v) { m_Mag = v; }
    int ConvToWrk() override;

protected:
    virtual int CreWrkSmfContPb();

private:
    WORD m_Mag = 100;
};

// ---------------------------------------------------------------- Relative to the listed notes

class CArticExpFileSmfContCc2 : public CArticExpFileSmfCont {
    VX_DECLARE_CLASS(CArticExpFileSmfContCc2)
public:
    CArticExpFileSmfContCc2() = default;
    CArticExpFileSmfContCc2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                            BYTE type, LONG start, LONG end, BYTE contNo, WORD mag);
    CArticExpFileSmfContCc2& operator=(const CArticExpFileSmfContCc2& src);

    virtual LONG GetStart() const { return m_Start; }
    virtual LONG GetEnd() const { return m_End; }
    virtual BYTE GetContNo() const { return m_ContNo; }
    virtual WORD GetMag() const { return m_Mag; }
    virtual void SetStart(LONG v) { m_Start = v; }
    virtual void SetEnd(LONG v) { m_End = v; }
    virtual void SetContNo(BYTE v) { m_ContNo = v; }
    virtual void SetMag(WORD v) { m_Mag = v; }
    int ConvToWrk() override;

protected:
    virtual int CreWrkSmfContCc2(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart, BYTE area);
    virtual int CreWrkSmfContCc2(BYTE area);

private:
    LONG m_Start = 0;
    LONG m_End = 0;
    BYTE m_ContNo = 0;
    WORD m_Mag = 100;
};

class CArticExpFileSmfContCc3 : public CArticExpFileSmfCont {
    VX_DECLARE_CLASS(CArticExpFileSmfContCc3)
public:
    CArticExpFileSmfContCc3() = default;
    CArticExpFileSmfContCc3(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                            BYTE type, LONG start, LONG end, BYTE contNo, WORD mag, WORD reso);
    CArticExpFileSmfContCc3& operator=(const CArticExpFileSmfContCc3& src);

    virtual LONG GetStart() const { return m_Start; }
    virtual LONG GetEnd() const { return m_End; }
    virtual BYTE GetContNo() const { return m_ContNo; }
    virtual WORD GetMag() const { return m_Mag; }
    virtual WORD GetReso() const { return m_Reso; }
    virtual void SetStart(LONG v) { m_Start = v; }
    virtual void SetEnd(LONG v) { m_End = v; }
    virtual void SetContNo(BYTE v) { m_ContNo = v; }
    virtual void SetMag(WORD v) { m_Mag = v; }
    virtual void SetReso(WORD v) { m_Reso = v; }
    int ConvToWrk() override;

protected:
    virtual int CreWrkSmfContCc3(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart, BYTE area);
    virtual int CreWrkSmfContCc3(BYTE area);

private:
    LONG m_Start = 0;
    LONG m_End = 0;
    BYTE m_ContNo = 0;
    WORD m_Mag = 100;
    WORD m_Reso = 0;
};

// The pitch-bend pastes relative to the notes share one frame: Start, End,
// Mag, and the paste each class makes (TimeMag, envelope, spread).
class CArticExpFileSmfContPb2 : public CArticExpFileSmfCont {
    VX_DECLARE_CLASS(CArticExpFileSmfContPb2)
public:
    CArticExpFileSmfContPb2() = default;
    CArticExpFileSmfContPb2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                            BYTE type, LONG start, LONG end, WORD mag);
    CArticExpFileSmfContPb2& operator=(const CArticExpFileSmfContPb2& src);

    virtual LONG GetStart() const { return m_Start; }
    virtual LONG GetEnd() const { return m_End; }
    virtual WORD GetMag() const { return m_Mag; }
    virtual void SetStart(LONG v) { m_Start = v; }
    virtual void SetEnd(LONG v) { m_End = v; }
    virtual void SetMag(WORD v) { m_Mag = v; }
    int ConvToWrk() override;

protected:
    virtual int CreWrkSmfContPb2(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart, BYTE area);
    virtual int CreWrkSmfContPb2(BYTE area);
    // The paste of the class into blk over [start, end] (from origin with area 1).
    virtual int PastePb(CArticWrk* wrk, CArticWrkBlk* blk, INT64 origin, INT64 start, INT64 end,
                        CArticWrkEvntList* phrase, BYTE flags, BYTE area);
    // The thinned frame of the later classes: put-back, thinning to reso, restore.
    int PasteThinned(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart, BYTE area, WORD reso);

private:
    LONG m_Start = 0;
    LONG m_End = 0;
    WORD m_Mag = 100;
};

class CArticExpFileSmfContPb3 : public CArticExpFileSmfContPb2 {
    VX_DECLARE_CLASS(CArticExpFileSmfContPb3)
public:
    CArticExpFileSmfContPb3() = default;
    CArticExpFileSmfContPb3(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                            BYTE type, LONG start, LONG end, WORD mag, WORD reso)
        : CArticExpFileSmfContPb2(owner, evntNo, notes, fileName, type, start, end, mag), m_Reso(reso) {}
    CArticExpFileSmfContPb3& operator=(const CArticExpFileSmfContPb3& src);

    virtual WORD GetReso() const { return m_Reso; }
    virtual void SetReso(WORD v) { m_Reso = v; }
    int ConvToWrk() override;

protected:
    virtual int CreWrkSmfContPb3(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart, BYTE area);
    virtual int CreWrkSmfContPb3(BYTE area);

private:
    WORD m_Reso = 0;
};

class CArticExpFileSmfContPb4 : public CArticExpFileSmfContPb2 {
    VX_DECLARE_CLASS(CArticExpFileSmfContPb4)
public:
    CArticExpFileSmfContPb4() = default;
    CArticExpFileSmfContPb4(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                            BYTE type, LONG start, LONG end, WORD mag, WORD timeMag, WORD reso)
        : CArticExpFileSmfContPb2(owner, evntNo, notes, fileName, type, start, end, mag), m_TimeMag(timeMag),
          m_Reso(reso) {}
    CArticExpFileSmfContPb4& operator=(const CArticExpFileSmfContPb4& src);

    virtual WORD GetTimeMag() const { return m_TimeMag; }
    virtual WORD GetReso() const { return m_Reso; }
    virtual void SetTimeMag(WORD v) { m_TimeMag = v; }
    virtual void SetReso(WORD v) { m_Reso = v; }
    int ConvToWrk() override;

protected:
    virtual int CreWrkSmfContPb4(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart, BYTE area);
    virtual int CreWrkSmfContPb4(BYTE area);
    int PastePb(CArticWrk* wrk, CArticWrkBlk* blk, INT64 origin, INT64 start, INT64 end, CArticWrkEvntList* phrase,
                BYTE flags, BYTE area) override;

private:
    WORD m_TimeMag = 100;
    WORD m_Reso = 0;
};

class CArticExpFileSmfContPbEg : public CArticExpFileSmfContPb4 {
    VX_DECLARE_CLASS(CArticExpFileSmfContPbEg)
public:
    CArticExpFileSmfContPbEg() = default;
    CArticExpFileSmfContPbEg(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                             BYTE type, LONG start, LONG end, WORD mag, ULONG atkTime, ULONG rlsTime, WORD timeMag,
                             WORD reso)
        : CArticExpFileSmfContPb4(owner, evntNo, notes, fileName, type, start, end, mag, timeMag, reso),
          m_AtkTime(atkTime), m_RlsTime(rlsTime) {}
    CArticExpFileSmfContPbEg& operator=(const CArticExpFileSmfContPbEg& src);

    virtual ULONG GetAtkTime() const { return m_AtkTime; }
    virtual ULONG GetRlsTime() const { return m_RlsTime; }
    virtual void SetAtkTime(ULONG v) { m_AtkTime = v; }
    virtual void SetRlsTime(ULONG v) { m_RlsTime = v; }
    int ConvToWrk() override;

protected:
    virtual int CreWrkSmfContPbEg(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart, BYTE area);
    virtual int CreWrkSmfContPbEg(BYTE area);
    int PastePb(CArticWrk* wrk, CArticWrkBlk* blk, INT64 origin, INT64 start, INT64 end, CArticWrkEvntList* phrase,
                BYTE flags, BYTE area) override;

private:
    ULONG m_AtkTime = 0;
    ULONG m_RlsTime = 0;
};

class CArticExpFileSmfContPbEg2 : public CArticExpFileSmfContPbEg {
    VX_DECLARE_CLASS(CArticExpFileSmfContPbEg2)
public:
    CArticExpFileSmfContPbEg2() = default;
    CArticExpFileSmfContPbEg2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                              const char* fileName, BYTE type, LONG start, LONG end, WORD mag, ULONG atkTime,
                              ULONG rlsTime, WORD timeMag, WORD randMag, WORD reso)
        : CArticExpFileSmfContPbEg(owner, evntNo, notes, fileName, type, start, end, mag, atkTime, rlsTime, timeMag,
                                   reso),
          m_RandMag(randMag) {}
    CArticExpFileSmfContPbEg2& operator=(const CArticExpFileSmfContPbEg2& src);

    virtual WORD GetRandMag() const { return m_RandMag; }
    virtual void SetRandMag(WORD v) { m_RandMag = v; }
    int ConvToWrk() override;

protected:
    virtual int CreWrkSmfContPbEg2(CArticWrkBlk* blk, INT64 start, INT64 end, INT64 noteStart, BYTE area);
    virtual int CreWrkSmfContPbEg2(BYTE area);
    int PastePb(CArticWrk* wrk, CArticWrkBlk* blk, INT64 origin, INT64 start, INT64 end, CArticWrkEvntList* phrase,
                BYTE flags, BYTE area) override;

private:
    WORD m_RandMag = 0;
};

// ---------------------------------------------------------------- Free paste

// Every event of a phrase file but its meta events, copied unchanged to a position.
class CArticExpFileSmfFree : public CArticExpFile {
    VX_DECLARE_CLASS(CArticExpFileSmfFree)
public:
    CArticExpFileSmfFree() = default;
    CArticExpFileSmfFree(CArticExpBlk* owner, ULONG evntNo, const char* fileName, const CArticMeas* meas);
    ~CArticExpFileSmfFree() override;
    CArticExpFileSmfFree& operator=(const CArticExpFileSmfFree& src);

    // Untouched when there is no position object.
    virtual void GetMeas(ULONG* meas, ULONG* beat, ULONG* tick) const;
    virtual void SetMeas(ULONG meas, ULONG beat, ULONG tick);
    int ConvToWrk() override;

protected:
    virtual int CreWrkSmfFree();

private:
    CArticMeas* m_pMeas = nullptr;  // owned
};
