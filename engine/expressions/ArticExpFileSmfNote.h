#pragma once
// Ornaments whose rhythm and shape come from phrase files: trills, turns,
// mordents, tremolos, glissandos and arpeggios. Phase 1 inserts the
// ornament's notes next to each listed note; phase 2 removes the listed
// notes whose ornament was made (a note whose ornament failed stays).
#include <vector>

#include "engine/expressions/ArticExpFileSmf.h"

class CArticFileIO;

class CArticExpFileSmfNote : public CArticExpFile {
    VX_DECLARE_CLASS(CArticExpFileSmfNote)
public:
    CArticExpFileSmfNote() = default;
    CArticExpFileSmfNote(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                         ULONG time, signed char temp, signed char upShift, signed char downShift);
    CArticExpFileSmfNote& operator=(const CArticExpFileSmfNote& src);

    virtual ULONG GetTime() const { return m_Time; }
    virtual signed char GetTemp() const { return m_Temp; }
    virtual signed char GetUpShift() const { return m_UpShift; }
    virtual signed char GetDownShift() const { return m_DownShift; }
    virtual void SetTime(ULONG v) { m_Time = v; }
    virtual void SetTemp(signed char v) { m_Temp = v; }
    virtual void SetUpShift(signed char v) { m_UpShift = v; }
    virtual void SetDownShift(signed char v) { m_DownShift = v; }

    // Phase 2: the listed notes whose ornament phase 1 made are removed
    // (those another expression removed first are passed over).
    int ConvToWrk2() override;

protected:
    // The phrase file of path is there; else the missing-file report and false.
    bool CheckPhrase(const CString& path, const char* worker, const char* detail);
    // The phrase's event list through io: 0; 1 (reported by the loader).
    static int LoadPhrase(CArticFileIO* io, const CString& path, CArticWrkEvntList** list);
    // Reports a failure of the service an inserter called.
    int ReportInserter(int rc, const char* content, const char* inserter);
    // A note (status 0x90) in a block with work data.
    static bool Qualifies(const CArticWrkEvnt* evnt);
    // The common beginning of the one-file workers: the phrase list: 0; 1
    // (reported when the file is missing or unreadable).
    int OpenOne(const char* worker, CArticFileIO* io, CArticWrkEvntList** phrase);
    // Runs insert(note) on every qualifying listed note, keeping those it made:
    // 0; the first failure; 1 when no listed note qualifies.
    template <class F>
    int EachQualifying(F insert);
    // Phase 1 over the worker's result.
    int RunOrnament(int rc, const char* worker);
    // The notes phase 2 removes, gathered by phase 1.
    std::vector<CArticWrkEvnt*> m_Made;

private:
    ULONG m_Time = 0;
    signed char m_Temp = 0;
    signed char m_UpShift = 0;
    signed char m_DownShift = 0;
};

// Kept for its parameters; phase 1 reports that it is not supported.
class CArticExpFileSmfNoteTril2 : public CArticExpFileSmfNote {
    VX_DECLARE_CLASS(CArticExpFileSmfNoteTril2)
public:
    CArticExpFileSmfNoteTril2() = default;
    CArticExpFileSmfNoteTril2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                              const char* frontFileName, const char* fileName, const char* backFileName, ULONG time,
                              ULONG frontTime, ULONG backTime, BYTE frontType, BYTE type, BYTE backType,
                              signed char temp, signed char upShift, signed char downShift);
    CArticExpFileSmfNoteTril2& operator=(const CArticExpFileSmfNoteTril2& src);

    virtual ULONG GetFrontTime() const { return m_FrontTime; }
    virtual ULONG GetBackTime() const { return m_BackTime; }
    virtual BYTE GetFrontType() const { return m_FrontType; }
    virtual BYTE GetType() const { return m_Type; }
    virtual BYTE GetBackType() const { return m_BackType; }
    virtual void GetFrontFileName(CString* name) const { *name = m_FrontFileName; }
    virtual CString GetFrontFileName() const { return m_FrontFileName; }
    virtual void GetBackFileName(CString* name) const { *name = m_BackFileName; }
    virtual CString GetBackFileName() const { return m_BackFileName; }
    virtual void SetFrontTime(ULONG v) { m_FrontTime = v; }
    virtual void SetBackTime(ULONG v) { m_BackTime = v; }
    virtual void SetFrontType(BYTE v) { m_FrontType = v; }
    virtual void SetType(BYTE v) { m_Type = v; }
    virtual void SetBackType(BYTE v) { m_BackType = v; }
    virtual void SetFrontFileName(const CString& v) { m_FrontFileName = v; }
    virtual void SetFrontFileName(const char* v) { m_FrontFileName = v ? v : ""; }
    virtual void SetBackFileName(const CString& v) { m_BackFileName = v; }
    virtual void SetBackFileName(const char* v) { m_BackFileName = v ? v : ""; }
    virtual CString GetFrontPathName() const;
    virtual CString GetBackPathName() const;

    int ConvToWrk() override;
    int ConvToWrk2() override { return 0; }

private:
    CString m_FrontFileName;
    CString m_BackFileName;
    ULONG m_FrontTime = 0;
    ULONG m_BackTime = 0;
    BYTE m_FrontType = 0;
    BYTE m_Type = 0;
    BYTE m_BackType = 0;
};

// Front notes, trill body and back notes from three phrase files.
class CArticExpFileSmfNoteTril3 : public CArticExpFileSmfNote {
    VX_DECLARE_CLASS(CArticExpFileSmfNoteTril3)
public:
    CArticExpFileSmfNoteTril3() = default;
    CArticExpFileSmfNoteTril3(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                              const char* frontFileName, const char* fileName, const char* backFileName, ULONG time,
                              ULONG frontTime, ULONG backTime, signed char temp, signed char upShift,
                              signed char downShift);
    CArticExpFileSmfNoteTril3& operator=(const CArticExpFileSmfNoteTril3& src);

    virtual ULONG GetFrontTime() const { return m_FrontTime; }
    virtual ULONG GetBackTime() const { return m_BackTime; }
    virtual void GetFrontFileName(CString* name) const { *name = m_FrontFileName; }
    virtual CString GetFrontFileName() const { return m_FrontFileName; }
    virtual void GetBackFileName(CString* name) const { *name = m_BackFileName; }
    virtual CString GetBackFileName() const { return m_BackFileName; }
    virtual void SetFrontTime(ULONG v) { m_FrontTime = v; }
    virtual void SetBackTime(ULONG v) { m_BackTime = v; }
    virtual void SetFrontFileName(const CString& v) { m_FrontFileName = v; }
    virtual void SetFrontFileName(const char* v) { m_FrontFileName = v ? v : ""; }
    virtual void SetBackFileName(const CString& v) { m_BackFileName = v; }
    virtual void SetBackFileName(const char* v) { m_BackFileName = v ? v : ""; }
    virtual CString GetFrontPathName() const;
    virtual CString GetBackPathName() const;
    virtual int CreWrkSmfNoteTril3();
    // The body between the front's last note and the back's first.
    virtual int InsertNoteTril3(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase, BYTE key, BYTE velo,
                                INT64 start, INT64 length, CArticWrkEvnt* front, CArticWrkEvnt* back);
    // The front (part 0, *link its last note) or back (part 1, its first).
    virtual int InsertNoteTril3(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase, BYTE key, BYTE velo,
                                INT64 start, INT64 length, BYTE part, CArticWrkEvnt** link);

    int ConvToWrk() override;

private:
    CString m_FrontFileName;
    CString m_BackFileName;
    ULONG m_FrontTime = 0;
    ULONG m_BackTime = 0;
};

// Kept for its parameters; phase 1 reports that it is not supported.
class CArticExpFileSmfNoteTurn : public CArticExpFileSmfNote {
    VX_DECLARE_CLASS(CArticExpFileSmfNoteTurn)
public:
    CArticExpFileSmfNoteTurn() = default;
    CArticExpFileSmfNoteTurn(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                             ULONG time, BYTE type, signed char temp, signed char upShift, signed char downShift)
        : CArticExpFileSmfNote(owner, evntNo, notes, fileName, time, temp, upShift, downShift), m_Type(type) {}
    CArticExpFileSmfNoteTurn& operator=(const CArticExpFileSmfNoteTurn& src);

    virtual BYTE GetType() const { return m_Type; }
    virtual void SetType(BYTE v) { m_Type = v; }

    int ConvToWrk() override;
    int ConvToWrk2() override { return 0; }

private:
    BYTE m_Type = 0;
};

class CArticExpFileSmfNoteTurn2 : public CArticExpFileSmfNote {
    VX_DECLARE_CLASS(CArticExpFileSmfNoteTurn2)
public:
    CArticExpFileSmfNoteTurn2() = default;
    CArticExpFileSmfNoteTurn2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                              const char* fileName, ULONG time, signed char temp, signed char upShift,
                              signed char downShift)
        : CArticExpFileSmfNote(owner, evntNo, notes, fileName, time, temp, upShift, downShift) {}
    CArticExpFileSmfNoteTurn2& operator=(const CArticExpFileSmfNoteTurn2& src) {
        CArticExpFileSmfNote::operator=(src);
        return *this;
    }
    virtual int CreWrkSmfNoteTurn2();
    virtual int InsertNoteTurn2(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase, BYTE key, BYTE velo,
                                INT64 start, INT64 length);
    int ConvToWrk() override;
};

class CArticExpFileSmfNoteMord2 : public CArticExpFileSmfNote {
    VX_DECLARE_CLASS(CArticExpFileSmfNoteMord2)
public:
    CArticExpFileSmfNoteMord2() = default;
    CArticExpFileSmfNoteMord2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                              const char* fileName, ULONG time, signed char temp, signed char upShift,
                              signed char downShift)
        : CArticExpFileSmfNote(owner, evntNo, notes, fileName, time, temp, upShift, downShift) {}
    CArticExpFileSmfNoteMord2& operator=(const CArticExpFileSmfNoteMord2& src) {
        CArticExpFileSmfNote::operator=(src);
        return *this;
    }
    virtual int CreWrkSmfNoteMord2();
    virtual int InsertNoteMord2(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase, BYTE key, BYTE velo,
                                INT64 start, INT64 length);
    int ConvToWrk() override;
};

class CArticExpFileSmfNoteTrml1 : public CArticExpFileSmfNote {
    VX_DECLARE_CLASS(CArticExpFileSmfNoteTrml1)
public:
    CArticExpFileSmfNoteTrml1() = default;
    CArticExpFileSmfNoteTrml1(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                              const char* fileName, ULONG time, BYTE num, BYTE randTime, BYTE randVelo)
        : CArticExpFileSmfNote(owner, evntNo, notes, fileName, time, 0, 0, 0), m_Num(num), m_RandTime(randTime),
          m_RandVelo(randVelo) {}
    CArticExpFileSmfNoteTrml1& operator=(const CArticExpFileSmfNoteTrml1& src);

    virtual BYTE GetNum() const { return m_Num; }
    virtual BYTE GetRandTime() const { return m_RandTime; }
    virtual BYTE GetRandVelo() const { return m_RandVelo; }
    virtual void SetNum(BYTE v) { m_Num = v; }
    virtual void SetRandTime(BYTE v) { m_RandTime = v; }
    virtual void SetRandVelo(BYTE v) { m_RandVelo = v; }
    virtual int CreWrkSmfNoteTrml1();
    virtual int InsertNoteTrml1(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase, BYTE key, BYTE velo,
                                INT64 start, INT64 length);
    int ConvToWrk() override;

private:
    BYTE m_Num = 0;
    BYTE m_RandTime = 0;
    BYTE m_RandVelo = 0;
};

class CArticExpFileSmfNoteTrml2 : public CArticExpFileSmfNote {
    VX_DECLARE_CLASS(CArticExpFileSmfNoteTrml2)
public:
    CArticExpFileSmfNoteTrml2() = default;
    CArticExpFileSmfNoteTrml2(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                              const CArticWrkEvntList* notes2, const char* fileName, ULONG time, BYTE num,
                              BYTE randTime, BYTE randVelo, signed char lowVelo, signed char midVelo);
    CArticExpFileSmfNoteTrml2& operator=(const CArticExpFileSmfNoteTrml2& src);

    virtual int GetWrkEvntList2(CArticWrkEvntList** list) const { return m_Notes2.Get(list); }
    virtual CArticWrkEvntList* GetWrkEvntList2() const { return m_Notes2.Get(); }
    virtual BYTE GetNum() const { return m_Num; }
    virtual BYTE GetRandTime() const { return m_RandTime; }
    virtual BYTE GetRandVelo() const { return m_RandVelo; }
    virtual signed char GetLowVelo() const { return m_LowVelo; }
    virtual signed char GetMidVelo() const { return m_MidVelo; }
    virtual void SetWrkEvntList2(CArticWrkEvntList* list) { m_Notes2.Set(list); }
    virtual void SetNum(BYTE v) { m_Num = v; }
    virtual void SetRandTime(BYTE v) { m_RandTime = v; }
    virtual void SetRandVelo(BYTE v) { m_RandVelo = v; }
    virtual void SetLowVelo(signed char v) { m_LowVelo = v; }
    virtual void SetMidVelo(signed char v) { m_MidVelo = v; }
    virtual void ClearEvntList2() { m_Notes2.Clear(); }
    virtual void CopyEvntList2(const CArticWrkEvntList* list) { m_Notes2.Copy(list); }
    virtual void DeleteEvntList2() { m_Notes2.Delete(); }
    virtual int CreWrkSmfNoteTrml2();
    virtual int InsertNoteTrml2(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase, INT64 start,
                                INT64 length);
    int ReLinkWrkEvntList2(CArticWrk* wrk) override { return m_Notes2.ReLink(wrk); }
    int ConvToWrk() override;

private:
    CArticExpNotes m_Notes2;
    BYTE m_Num = 0;
    BYTE m_RandTime = 0;
    BYTE m_RandVelo = 0;
    signed char m_LowVelo = 0;
    signed char m_MidVelo = 0;
};

class CArticExpFileSmfNoteGlis1 : public CArticExpFileSmfNote {
    VX_DECLARE_CLASS(CArticExpFileSmfNoteGlis1)
public:
    CArticExpFileSmfNoteGlis1() = default;
    CArticExpFileSmfNoteGlis1(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes,
                              const char* fileName, ULONG time)
        : CArticExpFileSmfNote(owner, evntNo, notes, fileName, time, 0, 0, 0) {}
    CArticExpFileSmfNoteGlis1& operator=(const CArticExpFileSmfNoteGlis1& src) {
        CArticExpFileSmfNote::operator=(src);
        return *this;
    }
    virtual int CreWrkSmfNoteGlis1();
    virtual int InsertNoteGlis1(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase, BYTE key, BYTE velo,
                                BYTE nextKey, INT64 start, INT64 length);
    int ConvToWrk() override;
};

class CArticExpFileSmfNoteArpg : public CArticExpFileSmfNote {
    VX_DECLARE_CLASS(CArticExpFileSmfNoteArpg)
public:
    CArticExpFileSmfNoteArpg() = default;
    CArticExpFileSmfNoteArpg(CArticExpBlk* owner, ULONG evntNo, const CArticWrkEvntList* notes, const char* fileName,
                             ULONG time)
        : CArticExpFileSmfNote(owner, evntNo, notes, fileName, time, 0, 0, 0) {}
    CArticExpFileSmfNoteArpg& operator=(const CArticExpFileSmfNoteArpg& src) {
        CArticExpFileSmfNote::operator=(src);
        return *this;
    }
    virtual int CreWrkSmfNoteArpg();
    virtual int InsertNoteArpg(CArticWrk* wrk, CArticWrkBlk* blk, CArticWrkEvntList* phrase, INT64 start,
                               INT64 length);
    int ConvToWrk() override;
};
