#include "driver/ArticCoreMN.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BridgeFixture.h"
#include "services/ArticArrayCh.h"
#include "driver/ArticCore.h"
#include "services/ArticErr.h"
#include "services/ArticPref.h"
#include "engine/expressions/ArticExp.h"
#include "engine/work/WorkFixture.h"
#include "host/PhrasorApp.h"
#include "platform/Messages.h"
#include "platform/Random.h"

namespace {

// A runner that records the pipeline's calls; each step's result can be set.
struct RecordingCore : CArticCore {
    using CArticCore::CArticCore;
    std::vector<std::string> calls;
    int replaceResult = -1;  // -1: the real Replace
    int transferResult = 0;
    int sortCount = -1;
    DWORD pasnPort = 0, pasnCh = 0;
    int pasnResult = -1;  // -1: the real ResetPasnData

    int Replace(CArticWrk* wrk, CArticExp* exp) override {
        calls.push_back("Replace");
        const int r = CArticCore::Replace(wrk, exp);
        return replaceResult < 0 ? r : replaceResult;
    }
    int Copy() override {
        calls.push_back("Copy");
        return 0;
    }
    int Sort(const CStringList& order) override {
        calls.push_back("Sort");
        sortCount = int(order.GetCount());
        return 0;
    }
    int ReLink() override {
        calls.push_back("ReLink");
        return 0;
    }
    int Convert() override {
        calls.push_back("Convert");
        return 3;  // a phase failure is no pipeline failure
    }
    int ResetPasnData(DWORD portCount, BYTE port, BYTE ch, CArticArrayCh* used, CArticArrayCh* origin,
                      CArticArrayCh* client, CArticArrayCh* result) override {
        calls.push_back("ResetPasnData");
        pasnPort = port;
        pasnCh = ch;
        return pasnResult < 0 ? CArticCore::ResetPasnData(portCount, port, ch, used, origin, client, result)
                              : pasnResult;
    }
    int TransferRep(POSITION*, POSITION, int*) override {
        calls.push_back("TransferRep");
        return transferResult;
    }
};

// Work data with a master track and one part track of two notes, and its
// mirrored expression data.
struct SmallChannel {
    CArticWrk wrk;
    CArticExp exp;
    SmallChannel() {
        wrktest::AddBlock(wrktest::AddTrack(wrk, 0));
        CArticWrkBlk* blk = wrktest::AddBlock(wrktest::AddTrack(wrk, 1, 1, 2, 0));
        wrktest::AddNote(blk, 1, 0, 60);
        wrktest::AddNote(blk, 2, 480, 62);
        auto* trk = new CArticExpTrk(&exp, 1, 2, 0);
        exp.AddTail(trk);
        trk->SetWrkTrk(wrk.Get(ULONG(1)));
        auto* eb = new CArticExpBlk(trk, 0);
        trk->AddTail(eb);
        eb->SetWrkBlk(blk);
    }
};

class ArticCoreMNTest : public ::testing::Test {
protected:
    void SetUp() override {
        CArticEditorUtil::SetEditorMgr(&editorMgr);
        pipe = std::make_unique<CArticCoreMN>(nullptr);
        core = new RecordingCore(nullptr);
        pipe->SetCore(core);
        core->GetPref()->GetSetting()->SetInitSep(1);
        CArticErr::Clear();
        SeedRandom(5);
    }
    void TearDown() override {
        pipe.reset();
        CArticEditorUtil::Reset();
        SetMessageSink(nullptr);
    }
    int Run(SmallChannel& ch, CArticArrayCh* used = nullptr) {
        return pipe->ConvertRep(&ch.wrk, &ch.exp, nullptr, nullptr, nullptr, 0, 0, 0, used, nullptr, nullptr);
    }

    CArticEditorMgr editorMgr;
    std::unique_ptr<CArticCoreMN> pipe;
    RecordingCore* core;  // owned by pipe
};

TEST(ArticCoreMNSettings, TheConstructorsSettingsHold) {
    CArticEditorMgr mgr;
    CArticEditorUtil::SetEditorMgr(&mgr);
    {
        CArticCoreMN pipe(nullptr);
        CArticPrefSetting* s = pipe.GetSetting();
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->GetWrkReNum(), 0);
        EXPECT_EQ(s->GetWrkMerge(), 1);
        EXPECT_EQ(s->GetWrkMstr(), 0);
        EXPECT_EQ(s->GetWrkTempo(), 1);
        EXPECT_EQ(s->GetInitSep(), 1);
        EXPECT_EQ(s->GetExiFile(), 0);
        EXPECT_EQ(s->GetTAD(), 0);
        EXPECT_STREQ(s->GetDefBlkName(), "AutoArticulation");
        EXPECT_STREQ(s->GetExiFileName(), "");
        EXPECT_EQ(std::string(s->GetLibPath().str()), std::string(GetPhrasorApp().GetProgramFolder().str()) + "Lib\\");
        EXPECT_EQ(pipe.GetWrkMerge(), 1);
        EXPECT_EQ(pipe.GetWrkReNum(), 0);
    }
    CArticEditorUtil::Reset();
}

TEST_F(ArticCoreMNTest, ChannelRunsEveryStepInOrder) {
    SmallChannel ch;
    EXPECT_EQ(Run(ch), 0);
    EXPECT_EQ(core->calls, (std::vector<std::string>{"Replace", "Copy", "ReLink", "Convert", "ResetPasnData",
                                                     "TransferRep"}));
    // The runner works on copies: the processing object's data are unchanged.
    EXPECT_NE(core->GetWrk(), &ch.wrk);
    EXPECT_EQ(wrktest::Keys(ch.wrk.Get(ULONG(1))->Get(ULONG(0))), (std::vector<int>{60, 62}));
    EXPECT_EQ(ch.exp.GetCount(), 1);
    EXPECT_EQ(wrktest::Keys(core->GetWrk()->Get(ULONG(1))->Get(ULONG(0))), (std::vector<int>{60, 62}));
}

TEST_F(ArticCoreMNTest, FailedStepsEndTheChannel) {
    struct Case {
        const char* name;
        int replace, transfer;
        std::vector<std::string> calls;
    };
    const Case kCases[] = {
        {"refused copy", 1, 0, {"Replace"}},
        {"failed transfer", -1, 5, {"Replace", "Copy", "ReLink", "Convert", "ResetPasnData", "TransferRep"}},
    };
    for (const Case& c : kCases) {
        core->calls.clear();
        core->replaceResult = c.replace;
        core->transferResult = c.transfer;
        SmallChannel ch;
        EXPECT_NE(Run(ch), 0) << c.name;
        EXPECT_EQ(core->calls, c.calls) << c.name;
    }
    SmallChannel ch;
    EXPECT_EQ(pipe->ConvertRep(nullptr, &ch.exp, nullptr, nullptr, nullptr, 0, 0, 0, nullptr, nullptr, nullptr), 1);
}

TEST_F(ArticCoreMNTest, AFailedPartAssignmentIsReportedWithoutWaiting) {
    int shown = 0;
    SetMessageSink([&shown](const CString&, const CString&, UINT style) {
        ++shown;
        EXPECT_EQ(style & MB_ICONWARNING, UINT(MB_ICONWARNING));
        return IDOK;
    });
    // The same channel with a working assignment gives the other entries.
    core->GetPref()->GetSetting()->SetInitSep(0);
    SmallChannel good;
    EXPECT_EQ(Run(good), 0);
    EXPECT_EQ(shown, 0);
    const int others = CArticErr::GetMsgCount();
    EXPECT_EQ(CArticErr::IsError(), 0);
    CArticErr::Clear();

    core->GetPref()->GetSetting()->SetInitSep(3);
    SmallChannel ch;
    EXPECT_EQ(Run(ch), 0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(CArticErr::GetMsgCount(), others + 1);
    EXPECT_EQ(CArticErr::IsError(), 1);
    BYTE kind = 0;
    CString content, cls, method, detail;
    CArticErr::Get(kind, content, cls, method, detail);
    EXPECT_STREQ(method, "SetLayer");
    EXPECT_EQ(core->calls.back(), "TransferRep");
}

TEST_F(ArticCoreMNTest, EmptyUsedTableGivesNoPortAndNoChannel) {
    core->pasnResult = 0;
    CArticArrayCh used;
    used.InitOrigiCh();
    EXPECT_EQ(pipe->SetLayer(&used, nullptr, nullptr), 0);
    EXPECT_EQ(core->pasnPort, 0xFFu);
    EXPECT_EQ(core->pasnCh, 0xFEu);
}

TEST_F(ArticCoreMNTest, OrderFileMissingSortsWithAnEmptyList) {
    core->GetPref()->GetSetting()->SetExiFile(1);
    core->GetPref()->GetSetting()->SetExiFileName(CString("/nonexistent/order.txt"));
    SmallChannel ch;
    EXPECT_EQ(Run(ch), 0);
    EXPECT_EQ(core->sortCount, 0);
    EXPECT_EQ(std::count(core->calls.begin(), core->calls.end(), "ReLink"), 0);
}

TEST_F(ArticCoreMNTest, WithoutFingeringSeparate2ChangesNothing) {
    SmallChannel ch;
    ASSERT_EQ(pipe->CopyWrkExp(&ch.wrk, &ch.exp), 0);
    CArticWrk* before = core->GetWrk();
    core->calls.clear();
    EXPECT_EQ(pipe->Separate2(0, nullptr, nullptr), 0);
    EXPECT_EQ(core->GetWrk(), before);
    EXPECT_TRUE(core->calls.empty());
}

TEST_F(ArticCoreMNTest, PortChannelsOfAtMostTwelveParts) {
    CArticWrk* wrk = core->GetWrk();
    wrktest::AddTrack(*wrk, 0);
    for (ULONG i = 1; i <= 14; ++i) wrktest::AddTrack(*wrk, i, 1, i % 16, i == 2 ? DWORD(-1) : 0);
    DWORD ids[12], chs[12];
    for (int i = 0; i < 12; ++i) ids[i] = chs[i] = 99;
    pipe->GetPortChNo(ids, chs);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(chs[i], DWORD(i + 1)) << i;
    EXPECT_EQ(ids[1], DWORD(-1));
    EXPECT_EQ(ids[0], 0u);  // no host: no port id
}

TEST(ArticCoreMNPorts, NoPortIsListedAsDashes) {
    bridgetest::BridgeSong song("NO PORT", "KORVET QTL2");
    ASSERT_EQ(song.Load(smftest::Smf0(bridgetest::At(0, {0x90, 60, 100}))), 1);
    CArticCoreMN pipe(song.Host());
    CStringList names;
    DWORD* ports = nullptr;
    int count = 0;
    pipe.GetPortName(&names, &ports, &count);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(names.GetHead(), "---");
    EXPECT_STREQ(names.GetTail(), "KORVET QTL2");
    delete[] ports;
    EXPECT_EQ(pipe.ResetPortName(), 2);
}

}  // namespace
