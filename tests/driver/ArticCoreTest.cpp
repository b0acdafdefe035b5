#include "driver/ArticCore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/ArticErr.h"
#include "services/ArticPasn.h"
#include "services/ArticPref.h"
#include "driver/ArticTransMgr.h"
#include "engine/expressions/ArticExp.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/work/WorkFixture.h"
#include "platform/Random.h"

namespace {

std::vector<std::string> CoreHeaders() {
    CStringList list;
    CArticErr::GetMsgStrList(list);
    std::vector<std::string> out;
    for (POSITION p = list.GetHeadPosition(); p;) out.push_back(list.GetNext(p).str());
    return out;
}

// A loader whose middle copy fails, counting the three copy steps.
struct FailingCopyLoader : CArticLoadMgr {
    using CArticLoadMgr::CArticLoadMgr;
    std::vector<std::string> calls;
    int PasnExp() override {
        calls.push_back("PasnExp");
        return 0;
    }
    int CopyWrk() override {
        calls.push_back("CopyWrk");
        return 4;
    }
    int AssignWrk() override {
        calls.push_back("AssignWrk");
        return 0;
    }
};

// A transfer manager whose first stage fails.
struct FailingEditTransMgr : CArticTransMgr {
    using CArticTransMgr::CArticTransMgr;
    int repCalls = 0;
    int EditToWrk() override { return 6; }
    int ConvToCEditorRep(POSITION*, POSITION, int*) override {
        ++repCalls;
        return 0;
    }
};

class ArticCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        CArticEditorUtil::SetEditorMgr(&editorMgr);
        core = std::make_unique<CArticCore>(nullptr);
        SeedRandom(3);
    }
    void TearDown() override {
        core.reset();
        CArticEditorUtil::Reset();
    }
    CArticPrefSetting* Setting() const { return core->GetPref()->GetSetting(); }
    CArticPrefSep* Sep() const { return core->GetPref()->GetSep(); }

    CArticEditorMgr editorMgr;  // no host: no free port or channel is ever found
    std::unique_ptr<CArticCore> core;
};

TEST_F(ArticCoreTest, ConstructionTakesTheRegisteredEditorManager) {
    EXPECT_EQ(core->GetEditorMgr(), &editorMgr);
    EXPECT_EQ(core->GetBufMode(), 1);
    ASSERT_NE(core->GetLoadMgr(), nullptr);
    EXPECT_EQ(core->GetLoadMgr()->GetWrkOut(), core->GetMidWrk());
    EXPECT_EQ(core->GetLoadMgr()->GetExpBlk(), core->GetSortBlk());
    EXPECT_NE(core->GetTransMgr(), nullptr);

    // Buffer mode 2: the given data are used and survive the runner.
    CArticWrk wrk;
    CArticExp exp;
    {
        CArticCore given(nullptr, &wrk, &exp);
        EXPECT_EQ(given.GetBufMode(), 2);
        EXPECT_EQ(given.GetWrk(), &wrk);
        EXPECT_EQ(given.Replace(new CArticWrk, new CArticExp), 0);  // the given ones are not deleted
        EXPECT_NE(given.GetWrk(), &wrk);
    }
    wrktest::AddTrack(wrk, 1);
    EXPECT_EQ(wrk.GetCount(), 1);
}

TEST_F(ArticCoreTest, CopyRunsAllThreeAndReportsTheFailedCopy) {
    auto* loader = new FailingCopyLoader(core->GetWrk(), core->GetExp(), nullptr, core->GetSortBlk(),
                                         core->GetPasn(), core->GetMidWrk());
    core->SetLoadMgr(loader);
    EXPECT_EQ(core->Copy(), 4);
    EXPECT_EQ(loader->calls, (std::vector<std::string>{"PasnExp", "CopyWrk", "AssignWrk"}));
    EXPECT_EQ(CoreHeaders(), (std::vector<std::string>{"== ｺﾋﾟｰｴﾗｰ"}));
}

TEST_F(ArticCoreTest, ResetPrefSepByInitSep) {
    CStringList names;
    names.AddTail(CString("A"));
    names.AddTail(CString("B"));
    const DWORD ports[2] = {10, 20};
    DWORD portIds[12], chs[12];
    for (int i = 0; i < 12; ++i) {
        portIds[i] = i % 2 ? 20 : 10;
        chs[i] = DWORD(11 - i);
    }
    // Mode 0 takes the pairs as given. Modes 1 and 2 search a free channel
    // for strings 1 to 11; with none free (no host here) a string stays on
    // the part's own port and channel (pair 0), never on another pair's.
    for (int mode : {0, 1, 2}) {
        Setting()->SetInitSep(mode);
        ASSERT_EQ(core->ResetPrefSep(&names, ports, 2, portIds, chs), 0) << mode;
        ASSERT_EQ(Sep()->GetGen(), 12);
        for (int i = 0; i < 12; ++i) {
            const int pair = mode == 0 ? i : 0;
            EXPECT_EQ(Sep()->GetPortID(i), portIds[pair]) << mode << " " << i;
            EXPECT_EQ(Sep()->GetCh(i), chs[pair]) << mode << " " << i;
        }
    }
    Setting()->SetInitSep(3);
    EXPECT_EQ(core->ResetPrefSep(&names, ports, 2, portIds, chs), 1);
    EXPECT_EQ(core->ResetPrefSep(nullptr, ports, 2, portIds, chs), 1);
}

TEST_F(ArticCoreTest, ResetPasnDataRefusesAnUnknownMode) {
    CArticWrkTrk* trk = wrktest::AddTrack(*core->GetMidWrk(), 1, 1, 5, 0);
    wrktest::AddBlock(trk);
    Setting()->SetInitSep(3);
    EXPECT_EQ(core->ResetPasnData(2, 0, 0, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(trk->GetCh(), 5u);
    EXPECT_EQ(core->LayerDone(), 0);
    Setting()->SetInitSep(0);
    EXPECT_EQ(core->ResetPasnData(2, 0, 0, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST_F(ArticCoreTest, TransferStopsAfterAFailedFirstStage) {
    auto* trans = new FailingEditTransMgr(core->GetMidWrk(), nullptr, core->GetPref());
    core->SetTransMgr(trans);
    EXPECT_EQ(core->TransferRep(nullptr, nullptr, nullptr), 6);
    EXPECT_EQ(trans->repCalls, 0);
    EXPECT_EQ(CoreHeaders(), (std::vector<std::string>{"== ﾄﾗﾝｽﾚｰﾄｴﾗｰ"}));
    EXPECT_EQ(CArticErr::GetMsgCount(), 1);  // no error of the second stage
}

TEST_F(ArticCoreTest, StepsWithoutTheirManagerPostNothing) {
    core->SetLoadMgr(nullptr);
    core->SetTransMgr(nullptr);
    EXPECT_EQ(core->Copy(), 1);
    EXPECT_EQ(core->TransferRep(nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(core->Replace(new CArticWrk, new CArticExp), 1);
    EXPECT_EQ(CArticErr::GetMsgCount(), 0);
}

}  // namespace
