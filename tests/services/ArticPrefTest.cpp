#include "services/ArticPref.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/work/ArticUtil.h"

namespace {

// ---------------------------------------------------------------- settings

struct IntSetting {
    const char* name;
    int (CArticPrefSetting::*get)() const;
    void (CArticPrefSetting::*set)(int);
    int defaultValue;
};

const IntSetting kIntSettings[] = {
    {"WrkReNum", &CArticPrefSetting::GetWrkReNum, &CArticPrefSetting::SetWrkReNum, 1},
    {"WrkMerge", &CArticPrefSetting::GetWrkMerge, &CArticPrefSetting::SetWrkMerge, 1},
    {"WrkMstr", &CArticPrefSetting::GetWrkMstr, &CArticPrefSetting::SetWrkMstr, 0},
    {"WrkTempo", &CArticPrefSetting::GetWrkTempo, &CArticPrefSetting::SetWrkTempo, 1},
    {"WrkMstrConv", &CArticPrefSetting::GetWrkMstrConv, &CArticPrefSetting::SetWrkMstrConv, 1},
    {"WrkVceOutput", &CArticPrefSetting::GetWrkVceOutput, &CArticPrefSetting::SetWrkVceOutput, 1},
    {"InitSep", &CArticPrefSetting::GetInitSep, &CArticPrefSetting::SetInitSep, 1},
    {"BlkEvntPriority", &CArticPrefSetting::GetBlkEvntPriority,
     &CArticPrefSetting::SetBlkEvntPriority, 0},
    {"ExiFile", &CArticPrefSetting::GetExiFile, &CArticPrefSetting::SetExiFile, 0},
    {"TAD", &CArticPrefSetting::GetTAD, &CArticPrefSetting::SetTAD, 0},
    {"VeloMusi", &CArticPrefSetting::GetVeloMusi, &CArticPrefSetting::SetVeloMusi, 0},
    {"VeloLimit", &CArticPrefSetting::GetVeloLimit, &CArticPrefSetting::SetVeloLimit, 0},
    {"Velo", &CArticPrefSetting::GetVelo, &CArticPrefSetting::SetVelo, 10},
    {"AllWrk", &CArticPrefSetting::GetAllWrk, &CArticPrefSetting::SetAllWrk, 0},
    {"VupDlg", &CArticPrefSetting::GetVupDlg, &CArticPrefSetting::SetVupDlg, 0},
    {"DelGrace", &CArticPrefSetting::GetDelGrace, &CArticPrefSetting::SetDelGrace, 1},
    {"PbWhiten", &CArticPrefSetting::GetPbWhiten, &CArticPrefSetting::SetPbWhiten, 0},
    {"InitCc", &CArticPrefSetting::GetInitCc, &CArticPrefSetting::SetInitCc, 0},
    {"KeepCont", &CArticPrefSetting::GetKeepCont, &CArticPrefSetting::SetKeepCont, 1},
    {"ConvPg", &CArticPrefSetting::GetConvPg, &CArticPrefSetting::SetConvPg, 0},
    {"ArticSuite", &CArticPrefSetting::GetArticSuite, &CArticPrefSetting::SetArticSuite, 0},
};

struct TextSetting {
    const char* name;
    CString (CArticPrefSetting::*get)() const;
    void (CArticPrefSetting::*set)(CString);
    const char* defaultValue;
};

// LibPath is left out: its setter also reaches the work operations (below).
const TextSetting kTextSettings[] = {
    {"DefBlkName", &CArticPrefSetting::GetDefBlkName, &CArticPrefSetting::SetDefBlkName,
     "GtrPlayer"},
    {"WrkPath", &CArticPrefSetting::GetWrkPath, &CArticPrefSetting::SetWrkPath, ""},
    {"ExiPath", &CArticPrefSetting::GetExiPath, &CArticPrefSetting::SetExiPath, ""},
    {"ExiFileName", &CArticPrefSetting::GetExiFileName, &CArticPrefSetting::SetExiFileName, ""},
    {"RulPath", &CArticPrefSetting::GetRulPath, &CArticPrefSetting::SetRulPath, ""},
};

TEST(ArticPrefSetting, DefaultsAndRoundTrips) {
    CArticPrefSetting setting;
    for (const IntSetting& s : kIntSettings) EXPECT_EQ((setting.*s.get)(), s.defaultValue) << s.name;
    for (const TextSetting& s : kTextSettings)
        EXPECT_EQ((setting.*s.get)(), s.defaultValue) << s.name;
    EXPECT_TRUE(setting.GetLibPath().IsEmpty());

    // Each setter reaches its own field only.
    int value = 100;
    for (const IntSetting& s : kIntSettings) (setting.*s.set)(value++);
    for (const TextSetting& s : kTextSettings) (setting.*s.set)(CString(s.name) + "-set");
    value = 100;
    for (const IntSetting& s : kIntSettings) EXPECT_EQ((setting.*s.get)(), value++) << s.name;
    for (const TextSetting& s : kTextSettings)
        EXPECT_EQ((setting.*s.get)(), CString(s.name) + "-set") << s.name;

    setting.Initialize();
    for (const IntSetting& s : kIntSettings) EXPECT_EQ((setting.*s.get)(), s.defaultValue) << s.name;
    for (const TextSetting& s : kTextSettings)
        EXPECT_EQ((setting.*s.get)(), s.defaultValue) << s.name;
}

TEST(ArticPrefSetting, SetLibPathReachesTheWorkOperations) {
    CString saved = CArticUtil::GetLibPath();
    CArticPrefSetting setting;
    setting.SetLibPath("C:\\Phrasor\\Lib\\");
    EXPECT_EQ(setting.GetLibPath(), "C:\\Phrasor\\Lib\\");
    EXPECT_EQ(CArticUtil::GetLibPath(), "C:\\Phrasor\\Lib\\");

    // A new preference or a reset starts empty but leaves the engine's folder.
    CArticPrefSetting other;
    EXPECT_TRUE(other.GetLibPath().IsEmpty());
    setting.Initialize();
    EXPECT_TRUE(setting.GetLibPath().IsEmpty());
    EXPECT_EQ(CArticUtil::GetLibPath(), "C:\\Phrasor\\Lib\\");
    CArticUtil::SetLibPath(&saved);
}

TEST(ArticPrefSetting, MasterTrackOutputMode) {
    struct Case {
        int mstr, tempo, mode;
    };
    const Case cases[] = {{0, 0, 0}, {1, 0, 1}, {0, 1, 2}, {1, 1, 3}, {5, 7, 3}};
    CArticPrefSetting setting;
    EXPECT_EQ(setting.GetMstrMode(), 2);  // the defaults
    for (const Case& c : cases) {
        setting.SetWrkMstr(c.mstr);
        setting.SetWrkTempo(c.tempo);
        EXPECT_EQ(setting.GetMstrMode(), c.mode) << c.mstr << "," << c.tempo;
    }
}

// ---------------------------------------------------------------- fingering

std::vector<int> Keys(const CArticPrefFngr& fngr) {
    std::vector<int> keys;
    for (int i = 0; i < CArticPrefFngr::kKeyCount; ++i) keys.push_back(fngr.GetKey(i));
    return keys;
}

TEST(ArticPrefFngr, Defaults) {
    CArticPrefFngr fngr;
    EXPECT_EQ(fngr.GetMode(), 1);
    EXPECT_EQ(fngr.GetHiPos(), 10);
    EXPECT_EQ(fngr.GetCord(), 1);
    EXPECT_EQ(fngr.GetPhsLen(), 230);
    EXPECT_EQ(fngr.GetPile(), 10);
    EXPECT_EQ(fngr.GetChok(), 1);
    EXPECT_EQ(Keys(fngr), (std::vector<int>{64, 59, 55, 50, 45, 40, 0, 0}));
}

TEST(ArticPrefFngr, OpenStringTable) {
    struct Case {
        int kind;
        std::vector<int> keys;  // after kind 1 was set first
    };
    const Case cases[] = {
        {0, {57, 50, 43, 36, 45, 40, 0, 0}},
        {1, {64, 59, 55, 50, 45, 40, 0, 0}},
        {2, {55, 50, 45, 40, 45, 40, 0, 0}},
        {3, {43, 38, 33, 28, 45, 40, 0, 0}},
        {4, {64, 59, 55, 50, 45, 40, 0, 0}},
        {-1, {64, 59, 55, 50, 45, 40, 0, 0}},
    };
    for (const Case& c : cases) {
        CArticPrefFngr fngr;
        fngr.InitOpenKey(c.kind);
        EXPECT_EQ(Keys(fngr), c.keys) << c.kind;
    }
    // The argument-less form follows Mode.
    CArticPrefFngr fngr;
    fngr.SetMode(3);
    fngr.InitOpenKey();
    EXPECT_EQ(fngr.GetKey(0), 43);
}

TEST(ArticPrefFngr, SettersAndKeyIndexes) {
    CArticPrefFngr fngr;
    fngr.SetMode(2);
    fngr.SetHiPos(12);
    fngr.SetCord(0);
    fngr.SetPhsLen(480);
    fngr.SetPile(3);
    fngr.SetChok(0);
    EXPECT_EQ(fngr.GetMode(), 2);
    EXPECT_EQ(fngr.GetHiPos(), 12);
    EXPECT_EQ(fngr.GetCord(), 0);
    EXPECT_EQ(fngr.GetPhsLen(), 480);
    EXPECT_EQ(fngr.GetPile(), 3);
    EXPECT_EQ(fngr.GetChok(), 0);

    EXPECT_EQ(fngr.SetKey(7, 30), 0);
    EXPECT_EQ(fngr.GetKey(7), 30);
    EXPECT_EQ(fngr.SetKey(8, 99), 1);
    EXPECT_EQ(fngr.SetKey(-1, 99), 1);
    EXPECT_EQ(fngr.GetKey(8), 0);
    EXPECT_EQ(fngr.GetKey(-1), 0);
    EXPECT_EQ(Keys(fngr), (std::vector<int>{64, 59, 55, 50, 45, 40, 0, 30}));

    // Initialize takes Mode back to 1 and its open strings.
    fngr.Initialize();
    EXPECT_EQ(fngr.GetMode(), 1);
    EXPECT_EQ(fngr.GetPhsLen(), 230);
    EXPECT_EQ(fngr.GetKey(0), 64);
}

// ---------------------------------------------------------------- separation

CStringList* MakeNames(std::initializer_list<const char*> names) {
    auto* list = new CStringList;
    for (const char* n : names) list->AddTail(n);
    return list;
}

struct PortExpect {
    const char* name;
    DWORD id, dev, adrs;
};

void ExpectPorts(CArticPrefSep& sep, const std::vector<PortExpect>& expected) {
    CArticPortInfoList* infos = nullptr;
    ASSERT_EQ(sep.GetPortInfoList(&infos), 1);
    ASSERT_EQ(infos->GetCount(), int(expected.size()));
    POSITION pos = infos->GetHeadPosition();
    for (const PortExpect& e : expected) {
        const CArticPortInfo* info = infos->GetNext(pos);
        EXPECT_EQ(info->GetPortName(), e.name);
        EXPECT_EQ(info->GetPortID(), e.id) << e.name;
        EXPECT_EQ(info->GetDevNo(), e.dev) << e.name;
        EXPECT_EQ(info->GetPortAdrs(), e.adrs) << e.name;
    }
}

TEST(ArticPrefSep, InitialState) {
    CArticPrefSep sep;
    EXPECT_EQ(sep.GetProcess(), 0);
    EXPECT_EQ(sep.GetGen(), 0);
    EXPECT_EQ(sep.GetPortIDCount(), 0);
    for (int i = 0; i < CArticPrefSep::kMaxGen; ++i) {
        EXPECT_EQ(sep.GetPort(i), 0u);
        EXPECT_EQ(sep.GetCh(i), 0u);
        EXPECT_EQ(sep.GetPortID(i), 0u);
    }
    CStringList* names = nullptr;
    ASSERT_EQ(sep.GetPortList(&names), 1);
    EXPECT_TRUE(names->IsEmpty());
    DWORD* ids = reinterpret_cast<DWORD*>(1);
    ASSERT_EQ(sep.GetPortIDArray(&ids), 1);
    EXPECT_EQ(ids, nullptr);
}

TEST(ArticPrefSep, PortIdLookups) {
    CArticPrefSep sep;
    const DWORD ids[] = {5, 7, 5};
    sep.SetPortIDArray(ids, 3);
    EXPECT_EQ(sep.GetPortIDCount(), 3);
    EXPECT_EQ(sep.GetPort(DWORD(5)), 2);  // the last match
    EXPECT_EQ(sep.GetPort(DWORD(7)), 1);
    EXPECT_EQ(sep.GetPort(DWORD(9)), 0);

    EXPECT_EQ(sep.SetPortID(0, 5), 0);
    EXPECT_EQ(sep.GetPort(0), 2u);
    EXPECT_EQ(sep.GetPortID(0), 5u);
    EXPECT_EQ(sep.SetPortID(0, 9), 1);  // no such id: unchanged
    EXPECT_EQ(sep.GetPort(0), 2u);

    EXPECT_EQ(sep.GetOnlyPortID(1), 7u);
    EXPECT_EQ(sep.GetOnlyPortID(3), 0u);
    EXPECT_EQ(sep.GetOnlyPortID(-1), 0u);

    // A port index beyond the ids reads as no id.
    sep.SetPort(4, 3);
    EXPECT_EQ(sep.GetPortID(4), 0u);
    sep.SetPort(5, 0xFFFFFFFFu);
    EXPECT_EQ(sep.GetPortID(5), 0u);

    // The ids are a copy; null or a non-positive count leaves none.
    DWORD mine[] = {1, 2};
    sep.SetPortIDArray(mine, 2);
    mine[0] = 99;
    EXPECT_EQ(sep.GetOnlyPortID(0), 1u);
    sep.SetPortIDArray(nullptr, 3);
    EXPECT_EQ(sep.GetPortIDCount(), 0);
    EXPECT_EQ(sep.GetPort(DWORD(1)), 0);
    sep.SetPortIDArray(mine, 0);
    EXPECT_EQ(sep.GetPortIDCount(), 0);
}

TEST(ArticPrefSep, PortIdArrayMayBeHandedBackToItself) {
    CArticPrefSep sep;
    const DWORD ids[] = {3, 4, 5};
    sep.SetPortIDArray(ids, 3);
    DWORD* own = nullptr;
    sep.GetPortIDArray(&own);
    sep.SetPortIDArray(own + 1, 2);
    ASSERT_EQ(sep.GetPortIDCount(), 2);
    EXPECT_EQ(sep.GetOnlyPortID(0), 4u);
    EXPECT_EQ(sep.GetOnlyPortID(1), 5u);
}

TEST(ArticPrefSep, StringIndexesOutsideTheTwelveAreRefused) {
    CArticPrefSep sep;
    const DWORD ids[] = {10, 11};
    sep.SetPortIDArray(ids, 2);
    for (int gen : {-1, 12, 100}) {
        EXPECT_EQ(sep.SetPort(gen, 1), 1) << gen;
        EXPECT_EQ(sep.SetCh(gen, 3), 1) << gen;
        EXPECT_EQ(sep.SetPortID(gen, 11), 1) << gen;
        EXPECT_EQ(sep.GetPort(gen), 0u) << gen;
        EXPECT_EQ(sep.GetCh(gen), 0u) << gen;
        EXPECT_EQ(sep.GetPortID(gen), 0u) << gen;
    }
    EXPECT_EQ(sep.SetPort(11, 1), 0);
    EXPECT_EQ(sep.SetCh(11, 15), 0);
    EXPECT_EQ(sep.GetPort(11), 1u);
    EXPECT_EQ(sep.GetCh(11), 15u);
    EXPECT_EQ(sep.GetPortID(11), 11u);

    EXPECT_EQ(sep.SetGen(12), 0);
    EXPECT_EQ(sep.GetGen(), 12);
    EXPECT_EQ(sep.SetGen(13), 1);
    EXPECT_EQ(sep.GetGen(), 12);
    EXPECT_EQ(sep.UsedPortCh1(1, 15), 1);  // string 11 counts with twelve strings
}

TEST(ArticPrefSep, UsedPortChannel) {
    CArticPrefSep sep;
    const DWORD ids[] = {40, 50};
    sep.SetPortIDArray(ids, 2);
    sep.SetPort(0, 0);
    sep.SetCh(0, 0);
    sep.SetPort(1, 1);
    sep.SetCh(1, 3);
    sep.SetPort(2, 1);
    sep.SetCh(2, 4);

    // Gen 0: nothing is in use, whatever is stored.
    EXPECT_EQ(sep.UsedPortCh1(1, 3), 0);
    EXPECT_EQ(sep.UsedPortCh2(50, 3), 0);
    EXPECT_EQ(sep.UsedPortCh2(40, 0), 0);

    sep.SetGen(2);
    struct Case {
        DWORD port, ch;
        int used;
    };
    const Case byIndex[] = {{0, 0, 1}, {1, 3, 1}, {1, 4, 0}, {0, 3, 0}, {2, 3, 0}};
    for (const Case& c : byIndex) EXPECT_EQ(sep.UsedPortCh1(c.port, c.ch), c.used) << c.port << "/" << c.ch;
    const Case byId[] = {{50, 3, 1}, {40, 0, 1}, {40, 3, 0}, {50, 4, 0}};
    for (const Case& c : byId) EXPECT_EQ(sep.UsedPortCh2(c.port, c.ch), c.used) << c.port << "/" << c.ch;
    sep.SetGen(3);
    EXPECT_EQ(sep.UsedPortCh1(1, 4), 1);
}

TEST(ArticPrefSep, DevicesAndAddresses) {
    struct Case {
        const char* title;
        std::initializer_list<const char*> names;
        std::vector<DWORD> ids;
        std::vector<PortExpect> ports;
    };
    const Case cases[] = {
        {"model ports and one other device",
         {"KORVET QTL1", "KORVET QTL2", "MIDI A", "MIDI B"},
         {11, 12, 13, 14},
         {{"KORVET QTL1", 11, 0, 0}, {"KORVET QTL2", 12, 0, 1}, {"MIDI A", 13, 1, 0},
          {"MIDI B", 14, 1, 1}}},
        {"addresses follow the names, not the order",
         {"MIDI B", "KORVET QTL-2", "MIDI A", "KORVET QTL-1", "Synth"},
         {1, 2},
         {{"MIDI B", 1, 0, 1}, {"KORVET QTL-2", 2, 1, 1}, {"MIDI A", 0, 0, 0},
          {"KORVET QTL-1", 0, 1, 0}, {"Synth", 0, 2, 0}}},
        {"an empty name is a device of its own",
         {"", "Out A", "", "Out B"},
         {},
         {{"", 0, 0, 0}, {"Out A", 0, 1, 0}, {"", 0, 2, 0}, {"Out B", 0, 1, 1}}},
        {"the last character may be double-byte",
         // 音源あ and 音源亜: the last characters have different lead bytes.
         {"音源あ", "音源亜", "X"},
         {},
         {{"音源あ", 0, 0, 0}, {"音源亜", 0, 0, 1}, {"X", 0, 1, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        CArticPrefSep sep;
        CStringList* names = MakeNames(c.names);
        sep.SetPortList(names);
        delete names;  // the separation keeps its own copy
        sep.SetPortIDArray(c.ids.empty() ? nullptr : c.ids.data(), int(c.ids.size()));
        sep.UpdatePortInfo();
        ExpectPorts(sep, c.ports);
    }
}

TEST(ArticPrefSep, PortListReplacesAndInitializeEmpties) {
    CArticPrefSep sep;
    CStringList* first = MakeNames({"A1", "A2"});
    sep.SetPortList(first);
    delete first;
    CStringList* second = MakeNames({"B1"});
    sep.SetPortList(second);
    delete second;
    sep.SetPortList(nullptr);  // changes nothing
    CStringList* names = nullptr;
    sep.GetPortList(&names);
    ASSERT_EQ(names->GetCount(), 1);
    EXPECT_EQ(names->GetHead(), "B1");

    // Rebuilding replaces the old port information.
    sep.UpdatePortInfo();
    sep.UpdatePortInfo();
    CArticPortInfoList* infos = nullptr;
    sep.GetPortInfoList(&infos);
    EXPECT_EQ(infos->GetCount(), 1);

    const DWORD ids[] = {1};
    sep.SetPortIDArray(ids, 1);
    sep.SetProcess(1);
    sep.SetGen(4);
    sep.SetPort(3, 1);
    sep.SetCh(3, 9);
    sep.Initialize();
    EXPECT_TRUE(names->IsEmpty());
    EXPECT_TRUE(infos->IsEmpty());
    EXPECT_EQ(sep.GetPortIDCount(), 0);
    EXPECT_EQ(sep.GetProcess(), 0);
    EXPECT_EQ(sep.GetGen(), 0);
    EXPECT_EQ(sep.GetPort(3), 0u);
    EXPECT_EQ(sep.GetCh(3), 0u);
}

// ---------------------------------------------------------------- the whole

TEST(ArticPref, OwnsItsPartsAndTheyKnowTheirOwner) {
    CArticPref pref;
    CArticPrefSetting* setting = nullptr;
    CArticPrefFngr* fngr = nullptr;
    CArticPrefSep* sep = nullptr;
    ASSERT_EQ(pref.GetSetting(&setting), 1);
    ASSERT_EQ(pref.GetFngr(&fngr), 1);
    ASSERT_EQ(pref.GetSep(&sep), 1);
    EXPECT_EQ(setting, pref.GetSetting());
    EXPECT_EQ(fngr, pref.GetFngr());
    EXPECT_EQ(sep, pref.GetSep());
    CArticPref* owner = nullptr;
    EXPECT_EQ(setting->GetPref(&owner), 1);
    EXPECT_EQ(owner, &pref);
    EXPECT_EQ(fngr->GetPref(), &pref);
    EXPECT_EQ(sep->GetPref(), &pref);

    EXPECT_EQ(setting->GetVelo(), 10);
    EXPECT_EQ(fngr->GetKey(5), 40);
    EXPECT_EQ(sep->GetGen(), 0);

    setting->SetVelo(3);
    fngr->SetPile(1);
    sep->SetGen(6);
    pref.Initialize();
    EXPECT_EQ(setting->GetVelo(), 10);
    EXPECT_EQ(fngr->GetPile(), 10);
    EXPECT_EQ(sep->GetGen(), 0);
}

TEST(ArticPref, AbsentPartsLeaveOutputsUntouched) {
    CArticPref pref;
    pref.SetSetting(nullptr);
    pref.SetFngr(nullptr);
    pref.SetSep(nullptr);
    auto* setting = reinterpret_cast<CArticPrefSetting*>(0x10);
    auto* fngr = reinterpret_cast<CArticPrefFngr*>(0x10);
    auto* sep = reinterpret_cast<CArticPrefSep*>(0x10);
    EXPECT_EQ(pref.GetSetting(&setting), 0);
    EXPECT_EQ(pref.GetFngr(&fngr), 0);
    EXPECT_EQ(pref.GetSep(&sep), 0);
    EXPECT_EQ(setting, reinterpret_cast<CArticPrefSetting*>(0x10));
    EXPECT_EQ(fngr, reinterpret_cast<CArticPrefFngr*>(0x10));
    EXPECT_EQ(sep, reinterpret_cast<CArticPrefSep*>(0x10));
    EXPECT_EQ(pref.GetSep(), nullptr);
    pref.Initialize();  // nothing to reset

    // A part without an owner reports none.
    CArticPrefSep loose;
    CArticPref* owner = reinterpret_cast<CArticPref*>(0x20);
    EXPECT_EQ(loose.GetPref(&owner), 0);
    EXPECT_EQ(owner, reinterpret_cast<CArticPref*>(0x20));
}

TEST(ArticPref, ReplacedPartsAreAdopted) {
    CArticPref pref;
    auto* sep = new CArticPrefSep;
    sep->SetGen(7);
    pref.SetSep(sep);
    EXPECT_EQ(pref.GetSep(), sep);
    EXPECT_EQ(sep->GetPref(), &pref);
    pref.SetSep(sep);  // the same part again is kept, not deleted
    EXPECT_EQ(pref.GetSep()->GetGen(), 7);

    auto* setting = new CArticPrefSetting;
    pref.SetSetting(setting);
    EXPECT_EQ(setting->GetPref(), &pref);
    auto* fngr = new CArticPrefFngr;
    pref.SetFngr(fngr);
    EXPECT_EQ(pref.GetFngr(), fngr);
    EXPECT_EQ(fngr->GetPref(), &pref);
}

}  // namespace
