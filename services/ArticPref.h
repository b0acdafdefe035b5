#pragma once
// Conversion preferences: general switches and paths, fingering defaults for
// string instruments, and the separation of a string instrument's notes onto
// one port and MIDI channel per string. Nothing is stored in a file: every
// new preference object starts from the defaults below.
#include <vector>

#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

class CArticPref;

// General settings.
class CArticPrefSetting : public CObject {
    VX_DECLARE_CLASS(CArticPrefSetting)
public:
    explicit CArticPrefSetting(CArticPref* pref = nullptr);
    ~CArticPrefSetting() override = default;

    // Every setting back to its default. The library folder is reset here
    // only; the phrase-file folder of the work operations is left alone.
    virtual void Initialize();
    // 0 without an owner (the output untouched), else 1.
    virtual int GetPref(CArticPref** pref) const;
    virtual CArticPref* GetPref() const { return m_pPref; }

    virtual int GetWrkReNum() const { return m_WrkReNum; }
    virtual int GetWrkMerge() const { return m_WrkMerge; }
    virtual int GetWrkMstr() const { return m_WrkMstr; }
    virtual int GetWrkTempo() const { return m_WrkTempo; }
    virtual int GetWrkMstrConv() const { return m_WrkMstrConv; }
    virtual int GetWrkVceOutput() const { return m_WrkVceOutput; }
    virtual int GetInitSep() const { return m_InitSep; }
    virtual int GetBlkEvntPriority() const { return m_BlkEvntPriority; }
    virtual int GetExiFile() const { return m_ExiFile; }
    virtual int GetTAD() const { return m_TAD; }
    virtual int GetVeloMusi() const { return m_VeloMusi; }
    virtual int GetVeloLimit() const { return m_VeloLimit; }
    virtual int GetVelo() const { return m_Velo; }
    virtual CString GetDefBlkName() const { return m_DefBlkName; }
    virtual CString GetWrkPath() const { return m_WrkPath; }
    virtual CString GetExiPath() const { return m_ExiPath; }
    virtual CString GetExiFileName() const { return m_ExiFileName; }
    virtual CString GetRulPath() const { return m_RulPath; }
    virtual CString GetLibPath() const { return m_LibPath; }
    virtual int GetAllWrk() const { return m_AllWrk; }
    virtual int GetVupDlg() const { return m_VupDlg; }
    virtual int GetDelGrace() const { return m_DelGrace; }
    virtual int GetPbWhiten() const { return m_PbWhiten; }
    virtual int GetInitCc() const { return m_InitCc; }
    virtual int GetKeepCont() const { return m_KeepCont; }
    virtual int GetConvPg() const { return m_ConvPg; }
    virtual int GetArticSuite() const { return m_ArticSuite; }

    virtual void SetPref(CArticPref* pref) { m_pPref = pref; }

    virtual void SetWrkReNum(int value) { m_WrkReNum = value; }
    virtual void SetWrkMerge(int value) { m_WrkMerge = value; }
    virtual void SetWrkMstr(int value) { m_WrkMstr = value; }
    virtual void SetWrkTempo(int value) { m_WrkTempo = value; }
    virtual void SetWrkMstrConv(int value) { m_WrkMstrConv = value; }
    virtual void SetWrkVceOutput(int value) { m_WrkVceOutput = value; }
    virtual void SetInitSep(int value) { m_InitSep = value; }
    virtual void SetBlkEvntPriority(int value) { m_BlkEvntPriority = value; }
    virtual void SetExiFile(int value) { m_ExiFile = value; }
    virtual void SetTAD(int value) { m_TAD = value; }
    virtual void SetVeloMusi(int value) { m_VeloMusi = value; }
    virtual void SetVeloLimit(int value) { m_VeloLimit = value; }
    virtual void SetVelo(int value) { m_Velo = value; }
    virtual void SetDefBlkName(CString value) { m_DefBlkName = value; }
    virtual void SetWrkPath(CString value) { m_WrkPath = value; }
    virtual void SetExiPath(CString value) { m_ExiPath = value; }
    virtual void SetExiFileName(CString value) { m_ExiFileName = value; }
    virtual void SetRulPath(CString value) { m_RulPath = value; }
    // Also makes the folder the phrase-file folder of the work operations.
    virtual void SetLibPath(CString value);
    virtual void SetAllWrk(int value) { m_AllWrk = value; }
    virtual void SetVupDlg(int value) { m_VupDlg = value; }
    virtual void SetDelGrace(int value) { m_DelGrace = value; }
    virtual void SetPbWhiten(int value) { m_PbWhiten = value; }
    virtual void SetInitCc(int value) { m_InitCc = value; }
    virtual void SetKeepCont(int value) { m_KeepCont = value; }
    virtual void SetConvPg(int value) { m_ConvPg = value; }
    virtual void SetArticSuite(int value) { m_ArticSuite = value; }

    // Master-track output mode of the write-back: 3 with WrkMstr and
    // WrkTempo, 1 with WrkMstr alone, 2 with WrkTempo alone, else 0.
    int GetMstrMode() const;

private:
    CArticPref* m_pPref;  // owner, not owned
    int m_WrkReNum;
    int m_WrkMerge;
    int m_WrkMstr;
    int m_WrkTempo;
    int m_WrkMstrConv;
    int m_WrkVceOutput;
    int m_InitSep;
    int m_BlkEvntPriority;
    int m_ExiFile;
    int m_TAD;
    int m_VeloMusi;
    int m_VeloLimit;
    int m_Velo;
    CString m_DefBlkName;
    CString m_WrkPath;
    CString m_ExiPath;
    CString m_ExiFileName;
    CString m_RulPath;
    CString m_LibPath;
    int m_AllWrk;
    int m_VupDlg;
    int m_DelGrace;
    int m_PbWhiten;
    int m_InitCc;
    int m_KeepCont;
    int m_ConvPg;
    int m_ArticSuite;
};

// Fingering defaults.
class CArticPrefFngr : public CObject {
    VX_DECLARE_CLASS(CArticPrefFngr)
public:
    static constexpr int kKeyCount = 8;

    explicit CArticPrefFngr(CArticPref* pref = nullptr);
    ~CArticPrefFngr() override = default;

    // Defaults, then the open strings of Mode.
    virtual void Initialize();
    // Open-string notes of an instrument kind: 0 four-string (57 50 43 36),
    // 1 six-string guitar (64 59 55 50 45 40), 2 (55 50 45 40), 3 bass
    // (43 38 33 28); strings the row does not name, and unknown kinds, keep
    // their keys.
    virtual void InitOpenKey(int kind);
    virtual void InitOpenKey() { InitOpenKey(m_Mode); }
    virtual int GetPref(CArticPref** pref) const;
    virtual CArticPref* GetPref() const { return m_pPref; }

    virtual int GetMode() const { return m_Mode; }
    virtual int GetHiPos() const { return m_HiPos; }
    virtual int GetCord() const { return m_Cord; }
    virtual int GetPhsLen() const { return m_PhsLen; }
    virtual int GetPile() const { return m_Pile; }
    virtual int GetChok() const { return m_Chok; }
    // Open note of a string (index 0 is string 1); 0 outside 0..7.
    virtual BYTE GetKey(int index) const;

    virtual void SetPref(CArticPref* pref) { m_pPref = pref; }
    virtual void SetMode(int value) { m_Mode = value; }
    virtual void SetHiPos(int value) { m_HiPos = value; }
    virtual void SetCord(int value) { m_Cord = value; }
    virtual void SetPhsLen(int value) { m_PhsLen = value; }
    virtual void SetPile(int value) { m_Pile = value; }
    virtual void SetChok(int value) { m_Chok = value; }
    // 0 when stored; 1 (nothing changed) outside 0..7.
    virtual int SetKey(int index, BYTE note);

private:
    CArticPref* m_pPref;  // owner, not owned
    int m_Mode;
    int m_HiPos;
    int m_Cord;
    int m_PhsLen;
    int m_Pile;
    int m_Chok;
    BYTE m_Key[kKeyCount];
};

// One MIDI port of the song as the separation sees it.
class CArticPortInfo : public CObject {
    VX_DECLARE_CLASS(CArticPortInfo)
public:
    CArticPortInfo() = default;
    explicit CArticPortInfo(const CString& name) : m_PortName(name) {}
    ~CArticPortInfo() override = default;

    CString GetPortName() const { return m_PortName; }
    DWORD GetPortID() const { return m_PortID; }
    DWORD GetDevNo() const { return m_DevNo; }
    DWORD GetPortAdrs() const { return m_PortAdrs; }
    void SetPortName(const CString& name) { m_PortName = name; }
    void SetPortID(DWORD id) { m_PortID = id; }
    void SetDevNo(DWORD no) { m_DevNo = no; }
    void SetPortAdrs(DWORD adrs) { m_PortAdrs = adrs; }

private:
    CString m_PortName;
    DWORD m_PortID = 0;
    DWORD m_DevNo = 0;     // device number, in order of first appearance
    DWORD m_PortAdrs = 0;  // place of the port among its device's ports, by name
};

using CArticPortInfoList = CTypedPtrList<CObList, CArticPortInfo*>;

// Separation per string and the song's ports. String indexes run from 0 to
// 11; an index outside that range reads as 0 and is never written.
class CArticPrefSep : public CObject {
    VX_DECLARE_CLASS(CArticPrefSep)
public:
    static constexpr int kMaxGen = 12;

    explicit CArticPrefSep(CArticPref* pref = nullptr);
    ~CArticPrefSep() override;
    CArticPrefSep(const CArticPrefSep&) = delete;
    CArticPrefSep& operator=(const CArticPrefSep&) = delete;

    // No names, ports or ids; Process 0, Gen 0, every string on port 0, channel 0.
    virtual void Initialize();
    // 1 when one of the first Gen strings has this port index and channel.
    virtual int UsedPortCh1(DWORD port, DWORD ch) const;
    // 0 when Gen is 0, else UsedPortCh1 with the index of the port id.
    virtual int UsedPortCh2(DWORD portId, DWORD ch) const;
    virtual int GetPref(CArticPref** pref) const;
    virtual CArticPref* GetPref() const { return m_pPref; }
    // Always 1: the lists exist for the object's life.
    virtual int GetPortList(CStringList** list);
    virtual int GetPortInfoList(CArticPortInfoList** list);
    virtual int GetPortIDArray(DWORD** ids);
    virtual int GetPortIDCount() const { return int(m_PortIDs.size()); }
    virtual int GetProcess() const { return m_Process; }
    virtual BYTE GetGen() const { return m_Gen; }
    // Index of the last port id equal to portId; 0 when none is.
    // (Pass a DWORD: an int or BYTE argument selects the string form below.)
    virtual int GetPort(DWORD portId) const;
    // Port index of a string.
    virtual DWORD GetPort(int gen) const;
    // Channel 0..15 of a string.
    virtual DWORD GetCh(int gen) const;
    // Port id at the string's port index; 0 when that index has no id.
    virtual DWORD GetPortID(int gen) const;
    // Port id at an index; 0 when there is none.
    virtual DWORD GetOnlyPortID(int index) const;

    virtual void SetPref(CArticPref* pref) { m_pPref = pref; }
    // Replaces the names with a copy; a null list changes nothing.
    virtual void SetPortList(const CStringList* names);
    // Replaces the ids with a copy of count ids (none for null or count <= 0).
    virtual void SetPortIDArray(const DWORD* ids, int count);
    virtual void SetProcess(int value) { m_Process = value; }
    // 0 when stored; 1 (nothing changed) above 12.
    virtual int SetGen(BYTE gen);
    // 0 when stored; 1 (nothing changed) for a string outside 0..11.
    virtual int SetPort(int gen, DWORD port);
    virtual int SetCh(int gen, DWORD ch);
    // The string takes the index of the last id equal to portId; 1 and no
    // change when no id is equal or the string is outside 0..11.
    virtual int SetPortID(int gen, DWORD portId);

    // Rebuilds the port information from the names and ids.
    void UpdatePortInfo();

protected:
    void UpdatePortName();
    void UpdatePortDevice();

private:
    static bool IsGen(int gen) { return gen >= 0 && gen < kMaxGen; }
    // -1 when no id is equal.
    int FindPortIndex(DWORD portId) const;
    void DeletePortInfo();

    CArticPref* m_pPref;  // owner, not owned
    CStringList m_PortNames;
    CArticPortInfoList m_PortInfo;  // owns its entries
    std::vector<DWORD> m_PortIDs;
    int m_Process = 0;
    BYTE m_Gen = 0;
    DWORD m_Port[kMaxGen] = {};
    DWORD m_Ch[kMaxGen] = {};
};

// The preferences of one owner: settings, fingering and separation.
class CArticPref : public CObject {
    VX_DECLARE_CLASS(CArticPref)
public:
    CArticPref();
    ~CArticPref() override;
    CArticPref(const CArticPref&) = delete;
    CArticPref& operator=(const CArticPref&) = delete;

    // Every present part back to its defaults.
    virtual void Initialize();
    // The out forms give 0 and leave the output untouched when the part is absent.
    virtual int GetSetting(CArticPrefSetting** setting) const;
    virtual CArticPrefSetting* GetSetting() const { return m_pSetting; }
    virtual int GetFngr(CArticPrefFngr** fngr) const;
    virtual CArticPrefFngr* GetFngr() const { return m_pFngr; }
    virtual int GetSep(CArticPrefSep** sep) const;
    virtual CArticPrefSep* GetSep() const { return m_pSep; }
    // Each takes ownership of the given part (null leaves the part absent),
    // deleting the one it replaces, and makes this object its owner.
    virtual void SetSetting(CArticPrefSetting* setting);
    virtual void SetFngr(CArticPrefFngr* fngr);
    virtual void SetSep(CArticPrefSep* sep);

private:
    CArticPrefSetting* m_pSetting;  // owned
    CArticPrefFngr* m_pFngr;        // owned
    CArticPrefSep* m_pSep;          // owned
};
