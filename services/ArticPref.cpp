#include "services/ArticPref.h"

#include <cstring>

#include "services/ArticLibPath.h"
#include "platform/Text.h"

VX_IMPLEMENT_CLASS(CArticPrefSetting, CObject);
VX_IMPLEMENT_CLASS(CArticPrefFngr, CObject);
VX_IMPLEMENT_CLASS(CArticPortInfo, CObject);
VX_IMPLEMENT_CLASS(CArticPrefSep, CObject);
VX_IMPLEMENT_CLASS(CArticPref, CObject);

namespace {

int GetOwner(CArticPref* owner, CArticPref** out) {
    if (!owner || !out) return 0;
    *out = owner;
    return 1;
}

}  // namespace

// ---------------------------------------------------------------- CArticPrefSetting

CArticPrefSetting::CArticPrefSetting(CArticPref* pref) : m_pPref(pref) { Initialize(); }

void CArticPrefSetting::Initialize() {
    m_WrkReNum = 1;
    m_WrkMerge = 1;
    m_WrkMstr = 0;
    m_WrkTempo = 1;
    m_WrkMstrConv = 1;
    m_WrkVceOutput = 1;
    m_InitSep = 1;
    m_BlkEvntPriority = 0;
    m_ExiFile = 0;
    m_TAD = 0;
    m_VeloMusi = 0;
    m_VeloLimit = 0;
    m_Velo = 10;
    m_DefBlkName = "GtrPlayer";
    m_WrkPath.Empty();
    m_ExiPath.Empty();
    m_ExiFileName.Empty();
    m_RulPath.Empty();
    m_LibPath.Empty();
    m_AllWrk = 0;
    m_VupDlg = 0;
    m_DelGrace = 1;
    m_PbWhiten = 0;
    m_InitCc = 0;
    m_KeepCont = 1;
    m_ConvPg = 0;
    m_ArticSuite = 0;
}

int CArticPrefSetting::GetPref(CArticPref** pref) const { return GetOwner(m_pPref, pref); }

void CArticPrefSetting::SetLibPath(CString value) {
    m_LibPath = value;
    CArticLibPath::Folder() = value;
}

int CArticPrefSetting::GetMstrMode() const {
    if (m_WrkMstr) return m_WrkTempo ? 3 : 1;
    return m_WrkTempo ? 2 : 0;
}

// ---------------------------------------------------------------- CArticPrefFngr

namespace {

struct OpenStrings {
    int count;
    BYTE notes[6];
};

// Open-string notes by instrument kind, string 1 first.
const OpenStrings kOpenStrings[] = {
    {4, {57, 50, 43, 36}},
    {6, {64, 59, 55, 50, 45, 40}},
    {4, {55, 50, 45, 40}},
    {4, {43, 38, 33, 28}},
};

}  // namespace

CArticPrefFngr::CArticPrefFngr(CArticPref* pref) : m_pPref(pref) {
    std::memset(m_Key, 0, sizeof m_Key);
    Initialize();
}

void CArticPrefFngr::Initialize() {
    m_Mode = 1;
    m_HiPos = 10;
    m_Cord = 1;
    m_PhsLen = 230;
    m_Pile = 10;
    m_Chok = 1;
    InitOpenKey();
}

void CArticPrefFngr::InitOpenKey(int kind) {
    if (kind < 0 || kind >= int(sizeof kOpenStrings / sizeof kOpenStrings[0])) return;
    const OpenStrings& row = kOpenStrings[kind];
    for (int i = 0; i < row.count; ++i) m_Key[i] = row.notes[i];
}

int CArticPrefFngr::GetPref(CArticPref** pref) const { return GetOwner(m_pPref, pref); }

BYTE CArticPrefFngr::GetKey(int index) const {
    return index >= 0 && index < kKeyCount ? m_Key[index] : 0;
}

int CArticPrefFngr::SetKey(int index, BYTE note) {
    if (index < 0 || index >= kKeyCount) return 1;
    m_Key[index] = note;
    return 0;
}

// ---------------------------------------------------------------- CArticPrefSep

CArticPrefSep::CArticPrefSep(CArticPref* pref) : m_pPref(pref) { Initialize(); }

CArticPrefSep::~CArticPrefSep() { DeletePortInfo(); }

void CArticPrefSep::Initialize() {
    m_PortNames.RemoveAll();
    DeletePortInfo();
    m_PortIDs.clear();
    m_Process = 0;
    m_Gen = 0;
    for (int i = 0; i < kMaxGen; ++i) {
        m_Port[i] = 0;
        m_Ch[i] = 0;
    }
}

int CArticPrefSep::UsedPortCh1(DWORD port, DWORD ch) const {
    const int gens = m_Gen < kMaxGen ? m_Gen : kMaxGen;
    for (int i = 0; i < gens; ++i)
        if (m_Port[i] == port && m_Ch[i] == ch) return 1;
    return 0;
}

int CArticPrefSep::UsedPortCh2(DWORD portId, DWORD ch) const {
    if (m_Gen == 0) return 0;
    return UsedPortCh1(DWORD(GetPort(portId)), ch);
}

int CArticPrefSep::GetPref(CArticPref** pref) const { return GetOwner(m_pPref, pref); }

int CArticPrefSep::GetPortList(CStringList** list) {
    if (!list) return 0;
    *list = &m_PortNames;
    return 1;
}

int CArticPrefSep::GetPortInfoList(CArticPortInfoList** list) {
    if (!list) return 0;
    *list = &m_PortInfo;
    return 1;
}

int CArticPrefSep::GetPortIDArray(DWORD** ids) {
    if (!ids) return 0;
    *ids = m_PortIDs.empty() ? nullptr : m_PortIDs.data();
    return 1;
}

int CArticPrefSep::FindPortIndex(DWORD portId) const {
    for (int i = int(m_PortIDs.size()) - 1; i >= 0; --i)
        if (m_PortIDs[size_t(i)] == portId) return i;
    return -1;
}

int CArticPrefSep::GetPort(DWORD portId) const {
    const int index = FindPortIndex(portId);
    return index < 0 ? 0 : index;
}

DWORD CArticPrefSep::GetPort(int gen) const { return IsGen(gen) ? m_Port[gen] : 0; }

DWORD CArticPrefSep::GetCh(int gen) const { return IsGen(gen) ? m_Ch[gen] : 0; }

DWORD CArticPrefSep::GetPortID(int gen) const {
    if (!IsGen(gen)) return 0;
    return GetOnlyPortID(m_Port[gen] <= DWORD(INT32_MAX) ? int(m_Port[gen]) : -1);
}

DWORD CArticPrefSep::GetOnlyPortID(int index) const {
    if (index < 0 || size_t(index) >= m_PortIDs.size()) return 0;
    return m_PortIDs[size_t(index)];
}

void CArticPrefSep::SetPortList(const CStringList* names) {
    if (!names || names == &m_PortNames) return;
    m_PortNames.RemoveAll();
    m_PortNames.AddTail(*names);
}

void CArticPrefSep::SetPortIDArray(const DWORD* ids, int count) {
    // Copy first: the ids may be our own (from GetPortIDArray).
    std::vector<DWORD> copy;
    if (ids && count > 0) copy.assign(ids, ids + count);
    m_PortIDs.swap(copy);
}

int CArticPrefSep::SetGen(BYTE gen) {
    // More strings than there are port and channel slots would make every
    // walk over the strings read past them.
    if (gen > kMaxGen) return 1;
    m_Gen = gen;
    return 0;
}

int CArticPrefSep::SetPort(int gen, DWORD port) {
    if (!IsGen(gen)) return 1;
    m_Port[gen] = port;
    return 0;
}

int CArticPrefSep::SetCh(int gen, DWORD ch) {
    if (!IsGen(gen)) return 1;
    m_Ch[gen] = ch;
    return 0;
}

int CArticPrefSep::SetPortID(int gen, DWORD portId) {
    if (!IsGen(gen)) return 1;
    const int index = FindPortIndex(portId);
    if (index < 0) return 1;
    m_Port[gen] = DWORD(index);
    return 0;
}

void CArticPrefSep::UpdatePortInfo() {
    UpdatePortName();
    UpdatePortDevice();
}

void CArticPrefSep::DeletePortInfo() {
    while (!m_PortInfo.IsEmpty()) delete m_PortInfo.RemoveHead();
}

void CArticPrefSep::UpdatePortName() {
    DeletePortInfo();
    for (POSITION pos = m_PortNames.GetHeadPosition(); pos;)
        m_PortInfo.AddTail(new CArticPortInfo(m_PortNames.GetNext(pos)));
}

namespace {

// Ports of one device share a key: the fixed model prefix of the maker's
// interfaces, otherwise the name without its last character (the port letter
// or digit).
CString DeviceKey(const CString& name) {
    static const char kModelPrefix[] = "KORVET QTL";
    const int prefixLength = int(sizeof kModelPrefix) - 1;
    if (name.Left(prefixLength) == kModelPrefix) return CString(kModelPrefix);
    const char* text = name.c_str();
    const int length = name.GetLength();
    int last = 0;
    for (int i = 0; i < length; i += CharLengthAt(text, length, i)) last = i;
    return name.Left(last);
}

}  // namespace

void CArticPrefSep::UpdatePortDevice() {
    struct Entry {
        CArticPortInfo* info;
        CString key;
    };
    std::vector<Entry> entries;
    for (POSITION pos = m_PortInfo.GetHeadPosition(); pos;) {
        CArticPortInfo* info = m_PortInfo.GetNext(pos);
        entries.push_back({info, DeviceKey(info->GetPortName())});
    }

    DWORD nextDevice = 0;
    for (size_t k = 0; k < entries.size(); ++k) {
        CArticPortInfo* info = entries[k].info;
        info->SetPortID(k < m_PortIDs.size() ? m_PortIDs[k] : 0);

        bool found = false;
        if (!info->GetPortName().IsEmpty()) {
            for (size_t j = k; j-- > 0;) {
                const CArticPortInfo* earlier = entries[j].info;
                if (!earlier->GetPortName().IsEmpty() && entries[j].key == entries[k].key) {
                    info->SetDevNo(earlier->GetDevNo());
                    found = true;
                    break;
                }
            }
        }
        if (!found) info->SetDevNo(nextDevice++);

        DWORD address = 0;
        for (size_t j = 0; j < entries.size(); ++j) {
            if (j == k || entries[j].key != entries[k].key) continue;
            if (entries[j].info->GetPortName() < info->GetPortName()) ++address;
        }
        info->SetPortAdrs(address);
    }
}

// ---------------------------------------------------------------- CArticPref

CArticPref::CArticPref()
    : m_pSetting(new CArticPrefSetting(this)),
      m_pFngr(new CArticPrefFngr(this)),
      m_pSep(new CArticPrefSep(this)) {
    Initialize();
}

CArticPref::~CArticPref() {
    delete m_pSetting;
    delete m_pFngr;
    delete m_pSep;
}

void CArticPref::Initialize() {
    if (m_pSetting) m_pSetting->Initialize();
    if (m_pFngr) m_pFngr->Initialize();
    if (m_pSep) m_pSep->Initialize();
}

int CArticPref::GetSetting(CArticPrefSetting** setting) const {
    if (!m_pSetting || !setting) return 0;
    *setting = m_pSetting;
    return 1;
}

int CArticPref::GetFngr(CArticPrefFngr** fngr) const {
    if (!m_pFngr || !fngr) return 0;
    *fngr = m_pFngr;
    return 1;
}

int CArticPref::GetSep(CArticPrefSep** sep) const {
    if (!m_pSep || !sep) return 0;
    *sep = m_pSep;
    return 1;
}

void CArticPref::SetSetting(CArticPrefSetting* setting) {
    if (setting == m_pSetting) return;
    delete m_pSetting;
    m_pSetting = setting;
    if (m_pSetting) m_pSetting->SetPref(this);
}

void CArticPref::SetFngr(CArticPrefFngr* fngr) {
    if (fngr == m_pFngr) return;
    delete m_pFngr;
    m_pFngr = fngr;
    if (m_pFngr) m_pFngr->SetPref(this);
}

void CArticPref::SetSep(CArticPrefSep* sep) {
    if (sep == m_pSep) return;
    delete m_pSep;
    m_pSep = sep;
    if (m_pSep) m_pSep->SetPref(this);
}
