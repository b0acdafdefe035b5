// The conversion driver over songs loaded from SMF bytes: a whole channel
// converted, failures reported per channel, the timelines per channel, the
// port names and the registrations.
#include "driver/PhrasorProc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "PhrasorProcFixture.h"
#include "driver/ArticCore.h"
#include "driver/ArticCoreMN.h"
#include "driver/ArticEditorMgr.h"
#include "services/ArticErr.h"
#include "services/ArticPref.h"
#include "driver/ArticProc.h"
#include "engine/loaders/ArticLoadMgr.h"

namespace {

using phrasorproctest::At;
using phrasorproctest::Bytes;
using phrasorproctest::Cat;
using phrasorproctest::ProcRun;

const Bytes& kPhrasorProcSong = phrasorproctest::kProcSong;

const char* const kPhrasorProcKeyUp[] = {"#set:1", "#prob:1", "#exp1:CArticExpKeySft( 1{_thisEvnt}, 12)"};

TEST(PhrasorProcConvert, OneSetKeyShiftConvertsTheChannelOnly) {
    ProcRun r;
    r.Script({kPhrasorProcKeyUp[0], kPhrasorProcKeyUp[1], kPhrasorProcKeyUp[2]});
    ASSERT_EQ(r.Load(kPhrasorProcSong), 1);
    const auto other = r.SongEvents(r.TrackOfCh(5));
    EXPECT_EQ(r.Channel(kPhrasorProcSong, 2), CPhrasorProc::kFailNone) << r.proc.GetFailReason().str();
    EXPECT_EQ(r.proc.IsFailed(), 0);
    EXPECT_STREQ(r.proc.GetFailReason(), "");
    EXPECT_STREQ(r.proc.GetMessage(), "");
    EXPECT_EQ(r.proc.GetConvertPending(), 0);
    EXPECT_EQ(r.proc.GetLoadPending(), 0);
    EXPECT_EQ(r.Keys(2), (std::vector<int>{72, 74}));
    const auto now = r.SongEvents(r.TrackOfCh(5));
    ASSERT_EQ(now.size(), other.size());
    for (size_t i = 0; i < now.size(); ++i) {
        EXPECT_EQ(now[i].time, other[i].time) << i;
        EXPECT_EQ(now[i].kind, other[i].kind) << i;
        EXPECT_EQ(now[i].d1, other[i].d1) << i;
        EXPECT_EQ(now[i].d2, other[i].d2) << i;
    }
    // The target voice is set before the first note of the channel.
    const auto events = r.SongEvents(r.TrackOfCh(2));
    ASSERT_FALSE(r.Notes(2).empty());
    const INT64 firstNote = r.Notes(2).front().time;
    int msb = -1, lsb = -1, program = -1;
    for (const auto& e : events) {
        if (e.time >= firstNote) break;
        if (e.kind == MPEVENT_KIND_CONTROL && e.d1 == 0) msb = e.d2;
        if (e.kind == MPEVENT_KIND_CONTROL && e.d1 == 32) lsb = e.d2;
        if (e.kind == MPEVENT_KIND_PROGRAM) program = e.d1;
    }
    EXPECT_EQ(msb, 8);
    EXPECT_EQ(lsb, 0);
    EXPECT_EQ(program, 25);
    // The registrations are gone when Convert ends.
    EXPECT_EQ(CArticEditorUtil::GetView(), nullptr);
    EXPECT_EQ(CArticEditorUtil::GetEditorMgr(), nullptr);
    EXPECT_EQ(CArticEditorUtil::GetPref(), nullptr);
}

struct PhrasorProcFailCase {
    const char* what;
    int state;
    CString reason;  // empty: any non-empty text of the step
};

// Every way a channel fails leaves the song as loaded and says why.
TEST(PhrasorProcConvert, FailuresAreReportedPerChannelWithTheirReasons) {
    ProcRun r;
    std::vector<std::string> reasons;
    auto check = [&](const char* what, int expected, const CString& text, const Bytes& before) {
        EXPECT_EQ(r.proc.GetFailState(), expected) << what;
        EXPECT_EQ(r.proc.IsFailed(), 1) << what;
        const std::string reason = r.proc.GetFailReason().str();
        EXPECT_FALSE(reason.empty()) << what;
        if (!text.IsEmpty()) {
            EXPECT_EQ(reason, std::string(text.str())) << what;
        }
        EXPECT_EQ(std::string(r.proc.GetMessage().str()), reason) << what;
        EXPECT_EQ(r.proc.GetFailState(r.Prm().Channel), expected) << what;
        EXPECT_EQ(std::string(r.proc.GetFailReason(r.Prm().Channel).str()), reason) << what;
        if (!before.empty()) {
            EXPECT_EQ(r.Saved(), before) << what << ": the song is as loaded";
        }
        reasons.push_back(reason);
    };

    // A track of controllers only.
    r.Prepare(kPhrasorProcSong, 1);
    Bytes before = r.Saved();
    r.ConvertLoaded();
    check("controllers only", CPhrasorProc::kFailPrepare, CPhrasorProc::GetMessageText(30239), before);
    // Blocks of two tracks selected.
    r.Prepare(kPhrasorProcSong, 2);
    r.SelectBlock(r.TrackOfCh(5), r.Blocks(r.TrackOfCh(5)).at(0));
    before = r.Saved();
    r.ConvertLoaded();
    check("two tracks", CPhrasorProc::kFailPrepare, CPhrasorProc::GetMessageText(30212), before);
    // Nothing selected.
    r.Prepare(kPhrasorProcSong, 2);
    r.SelectBlock(r.TrackOfCh(2), r.Blocks(r.TrackOfCh(2)).at(0), false);
    before = r.Saved();
    r.ConvertLoaded();
    check("nothing selected", CPhrasorProc::kFailPrepare, CPhrasorProc::GetMessageText(30215), before);
    // A set naming an unknown built-in: the load's report is the reason.
    r.Script({"#set:1", "#prob:1", "#func1:CArticSrchNoSuchThing( _thisEvnt, 0)"});
    r.Prepare(kPhrasorProcSong, 2);
    before = r.Saved();
    r.ConvertLoaded();
    check("unknown built-in", CPhrasorProc::kFailRuleLoad, CString(), before);
    EXPECT_NE(reasons.back().find("CArticSrchNoSuchThing"), std::string::npos) << reasons.back();
    EXPECT_NE(reasons.back().find("CArticLoadMgr::LoadRulSet"), std::string::npos) << reasons.back();
    // The song refuses the write-back.
    r.Script({kPhrasorProcKeyUp[0], kPhrasorProcKeyUp[1], kPhrasorProcKeyUp[2]});
    r.Prepare(kPhrasorProcSong, 2);
    r.doc.SetTempoLocked(1);
    r.ConvertLoaded();
    check("tempo lock", CPhrasorProc::kFailPipeline, CString(), Bytes());
    r.doc.SetTempoLocked(0);

    // A script without rule sets is no failure.
    r.Script({"; only a comment"});
    EXPECT_EQ(r.Channel(kPhrasorProcSong, 2), CPhrasorProc::kFailNone) << r.proc.GetFailReason().str();
    EXPECT_STREQ(r.proc.GetFailReason(), "");
    EXPECT_STREQ(r.proc.GetMessage(), "");

    for (size_t i = 0; i < reasons.size(); ++i)
        for (size_t j = i + 1; j < reasons.size(); ++j) EXPECT_NE(reasons[i], reasons[j]) << i << " " << j;
}

TEST(PhrasorProcConvert, DriverWithoutProcessingObjectFails) {
    ProcRun r;
    r.Prepare(kPhrasorProcSong, 2);
    const Bytes before = r.Saved();
    CPhrasorProc bare;
    bare.SetCEditor(r.Host());
    bare.GetConvPrm()->Channel = 2;
    bare.Convert(&r.doc);
    EXPECT_EQ(bare.GetFailState(), CPhrasorProc::kFailPrepare);
    EXPECT_EQ(std::string(bare.GetFailReason().str()), std::string(CPhrasorProc::GetMessageText(30242).str()));
    EXPECT_FALSE(bare.GetFailReason().IsEmpty());
    EXPECT_EQ(bare.GetFailState(2), CPhrasorProc::kFailPrepare);
    EXPECT_EQ(r.Saved(), before);
    EXPECT_EQ(CArticEditorUtil::GetView(), nullptr);
}

TEST(PhrasorProcConvert, FailedChannelThenGoodOneReportsSuccess) {
    ProcRun r;
    r.Script({kPhrasorProcKeyUp[0], kPhrasorProcKeyUp[1], kPhrasorProcKeyUp[2]});
    EXPECT_EQ(r.Channel(kPhrasorProcSong, 1), CPhrasorProc::kFailPrepare);
    EXPECT_EQ(r.Channel(kPhrasorProcSong, 2), CPhrasorProc::kFailNone);
    EXPECT_STREQ(r.proc.GetFailReason(), "");
    EXPECT_STREQ(r.proc.GetMessage(), "");
    EXPECT_EQ(r.Keys(2), (std::vector<int>{72, 74}));
    // The run keeps each channel's own outcome.
    EXPECT_EQ(r.proc.GetFailState(1), CPhrasorProc::kFailPrepare);
    EXPECT_FALSE(r.proc.GetFailReason(1).IsEmpty());
    EXPECT_EQ(r.proc.GetFailState(2), CPhrasorProc::kFailNone);
    EXPECT_EQ(r.proc.GetFailState(16), CPhrasorProc::kFailNone);
    EXPECT_EQ(r.proc.GetFailState(-1), CPhrasorProc::kFailNone);
}

TEST(PhrasorProcConvert, NumberedMessagesHaveTexts) {
    for (UINT id : {30212u, 30213u, 30215u, 30217u, 30239u, 30242u, 30246u})
        EXPECT_FALSE(CPhrasorProc::GetMessageText(id).IsEmpty()) << id;
    EXPECT_TRUE(CPhrasorProc::GetMessageText(30000).IsEmpty());
}

// A driver whose position list or rule run fails on request.
struct PhrasorProcFailingStep : CPhrasorProc {
    bool failPosList = false;
    bool failRun = false;
    int MakePosList(CKPSManager* host, CArticPosList* list, int mode) override {
        const int r = CPhrasorProc::MakePosList(host, list, mode);
        return failPosList ? -1 : r;
    }
    int CreateAll() override {
        const int r = CPhrasorProc::CreateAll();
        return failRun ? 1 : r;
    }
};

TEST(PhrasorProcConvert, FailedPositionListOrRuleRunFailsTheChannel) {
    ProcRun r;
    PhrasorProcFailingStep proc;
    proc.CreateArticProc();
    proc.SetCEditor(r.Host());
    proc.CreateCoreMN(1);
    proc.GetConvPrm()->Channel = 2;
    for (const char* l : kPhrasorProcKeyUp) proc.GetConvPrm()->AddLine(l, int(std::string(l).size()) + 1);

    r.Prepare(kPhrasorProcSong, 2);
    const Bytes before = r.Saved();
    proc.failPosList = true;
    proc.Convert(&r.doc);
    EXPECT_EQ(proc.GetFailState(), CPhrasorProc::kFailPrepare);
    EXPECT_EQ(std::string(proc.GetFailReason().str()), std::string(CPhrasorProc::GetMessageText(30213).str()));
    EXPECT_EQ(r.Saved(), before);

    proc.failPosList = false;
    proc.failRun = true;
    r.Prepare(kPhrasorProcSong, 2);
    proc.Convert(&r.doc);
    EXPECT_EQ(proc.GetFailState(), CPhrasorProc::kFailRuleRun);
    EXPECT_FALSE(proc.GetFailReason().IsEmpty());
    EXPECT_EQ(r.Saved(), before);
    EXPECT_EQ(r.Keys(2), (std::vector<int>{60, 62}));

    proc.failRun = false;
    r.Prepare(kPhrasorProcSong, 2);
    proc.Convert(&r.doc);
    EXPECT_EQ(proc.GetFailState(), CPhrasorProc::kFailNone);
    EXPECT_EQ(r.Keys(2), (std::vector<int>{72, 74}));
}

TEST(PhrasorProcSetUp, ParametersResolutionAndTimeBase) {
    ProcRun r;
    CPHConvPrm& prm = r.Prm();
    prm.Kind = 6;
    prm.Flag2 = 0;
    EXPECT_EQ(r.proc.ResetConvPrm(prm), 0);
    EXPECT_EQ(r.proc.GetKind(), 6);
    EXPECT_EQ(r.proc.GetKindFlag(), 0);
    EXPECT_EQ(r.proc.GetConvMode(), 2);
    r.proc.SetResolution(240);
    EXPECT_EQ(r.proc.GetResolution(), 240);
    EXPECT_EQ(r.proc.GetArticProc()->GetLoadMgr()->GetGrpTime(), 240u);
    LONG base = 0;
    EXPECT_EQ(r.proc.GetTimeBase(&base), 1);
    EXPECT_EQ(base, 960);
    // The library folder is the program's, as the pipeline's is.
    EXPECT_STREQ(r.proc.GetPref()->GetSetting()->GetLibPath(),
                 r.proc.GetCoreMN()->GetSetting()->GetLibPath());

    CPhrasorProc bare;
    EXPECT_EQ(bare.GetTimeBase(&base), 0);
    EXPECT_EQ(bare.LoadExpEvnt(CString("CArticExpKeySft( 1{:w1}, 12)"), 1, nullptr, nullptr), 1);
    EXPECT_EQ(bare.CheckLibFiles(), 0);
}

TEST(PhrasorProcSetUp, CheckLibFilesWantsAllFivePhraseFiles) {
    ProcRun r;
    const std::string dir = ::testing::TempDir() + "phrasorproc_lib/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    r.proc.GetPref()->GetSetting()->SetLibPath(CString(dir.c_str()));
    const char* const names[] = {"GlisDn.mid", "Sdn5nt.mid", "vib3-g02.mid", "vib3-g03.mid", "vib4-g02.mid"};
    for (const char* n : names) {
        EXPECT_EQ(r.proc.CheckLibFiles(), 0) << n;
        std::ofstream(dir + n) << "MThd";
    }
    EXPECT_EQ(r.proc.CheckLibFiles(), 1);
    std::filesystem::remove(dir + "vib3-g03.mid");
    EXPECT_EQ(r.proc.CheckLibFiles(), 0);
    std::filesystem::remove_all(dir);
}

// Channel 1 gets a velocity-sense depth of 32 for part 1 before its notes;
// channels 1 and 2 play velocity 100.
const Bytes kPhrasorProcVeloSong = smftest::Smf0(Cat({
    At(0, {0xF0, 0x07, 0x43, 0x10, 0x4C, 0x08, 0x01, 0x0C, 0x20, 0xF7}), At(960, {0x91, 60, 100}),
    At(0, {0x92, 64, 100}), At(480, {0x81, 60, 0}), At(0, {0x82, 64, 0}), At(0, {0x91, 62, 100}),
    At(0, {0x92, 65, 100}), At(480, {0x81, 62, 0}), At(0, {0x82, 65, 0}),
}));

TEST(PhrasorProcConvert, VelocitySenseOfOneChannelNeverReachesTheNext) {
    ProcRun r;
    ASSERT_EQ(r.Channel(kPhrasorProcVeloSong, 1), CPhrasorProc::kFailNone) << r.proc.GetFailReason().str();
    EXPECT_EQ(r.Velocities(1), (std::vector<int>{50, 50}));
    EXPECT_EQ(r.Velocities(2), (std::vector<int>{100, 100}));
    EXPECT_EQ(r.proc.GetVeloSens()->GetVeloSensList()->GetCount(), 0);
    EXPECT_EQ(r.proc.GetPgBsel()->GetPgBselList()->GetCount(), 0);
    // The next channel converts the first one's output, as the core chains them.
    const Bytes first = r.Saved();
    ASSERT_FALSE(first.empty());
    ASSERT_EQ(r.Channel(first, 2), CPhrasorProc::kFailNone) << r.proc.GetFailReason().str();
    EXPECT_EQ(r.Velocities(2), (std::vector<int>{100, 100}));
    EXPECT_EQ(r.proc.GetVeloSens()->GetVeloSensList()->GetCount(), 0);
    EXPECT_EQ(r.proc.GetPgBsel()->GetPgBselList()->GetCount(), 0);
}

TEST(PhrasorProcPorts, ResetPortNameHandsNamesAndIdsToTheBridge) {
    ProcRun r("NO PORT", "KORVET QTL2");
    ASSERT_EQ(r.Load(kPhrasorProcSong), 1);
    r.proc.ResetPortName();
    CArticPrefSep* sep = r.proc.GetPref()->GetSep();
    CStringList* names = nullptr;
    ASSERT_EQ(sep->GetPortList(&names), 1);
    std::vector<std::string> got;
    for (POSITION p = names->GetHeadPosition(); p;) got.push_back(names->GetNext(p).str());
    EXPECT_EQ(got, (std::vector<std::string>{"---", "KORVET QTL2"}));
    ASSERT_EQ(sep->GetPortIDCount(), 2);
    DWORD* ids = nullptr;
    sep->GetPortIDArray(&ids);
    ASSERT_NE(ids, nullptr);
    EXPECT_EQ(ids[0], 1u);
    EXPECT_EQ(ids[1], 2u);
    // Outside a conversion nothing stays registered.
    EXPECT_EQ(CArticEditorUtil::GetPref(), nullptr);
}

TEST(PhrasorProcLife, DestructionLeavesNoRegistrationBehind) {
    {
        ProcRun r;
        ASSERT_EQ(r.Channel(kPhrasorProcSong, 2), CPhrasorProc::kFailNone);
        // As if a conversion were still running.
        CArticEditorUtil::SetView(&r.proc);
        CArticEditorUtil::SetEditorMgr(r.proc.GetArticProc()->GetEditorMgr());
        CArticEditorUtil::SetPref(r.proc.GetCoreMN()->GetCore()->GetPref());
    }
    EXPECT_EQ(CArticEditorUtil::GetView(), nullptr);
    EXPECT_EQ(CArticEditorUtil::GetEditorMgr(), nullptr);
    EXPECT_EQ(CArticEditorUtil::GetPref(), nullptr);
    {
        ProcRun r;
        CArticEditorUtil::SetView(&r.proc);
        CArticEditorUtil::SetEditorMgr(r.proc.GetArticProc()->GetEditorMgr());
        CArticEditorUtil::SetPref(r.proc.GetPref());
    }
    EXPECT_EQ(CArticEditorUtil::GetView(), nullptr);
    EXPECT_EQ(CArticEditorUtil::GetEditorMgr(), nullptr);
    EXPECT_EQ(CArticEditorUtil::GetPref(), nullptr);
}

}  // namespace
