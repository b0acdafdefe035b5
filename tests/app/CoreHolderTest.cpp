// The core holder over a recording core: result codes without a core and
// with a failing one, the calls each operation makes, and converted bytes
// that outlive the engine's buffer.
#include <gtest/gtest.h>

#include <QByteArray>
#include <memory>

#include "app/CoreHolder.h"
#include "services/PHConvPrm.h"
#include "tests/app/FakePhrasorCore.h"

namespace {

constexpr int kNoCoreCode = int(0x80000001);
constexpr int kCoreFailedCode = int(0x80000002);

// A holder over one fake core, which the test keeps watching after the
// holder has deleted it only through the counts below.
struct HeldFake {
    HeldFake() {
        holder = std::make_unique<CoreHolder>(CoreHolder::CoreFactory{
            [this](void* module) {
                moduleSeen = module;
                core = new FakePhrasorCore;
                return static_cast<CPhrasorCoreIF*>(core);
            },
            [this](CPhrasorCoreIF* gone) {
                ++deletions;
                callsAtDeletion = core->Calls();
                deletedRight = gone == core;
                delete gone;
                core = nullptr;
            }});
    }
    FakePhrasorCore* core = nullptr;
    void* moduleSeen = nullptr;
    int deletions = 0;
    QStringList callsAtDeletion;
    bool deletedRight = false;
    std::unique_ptr<CoreHolder> holder;
};

}  // namespace

TEST(CoreHolderCore, WithoutACoreEveryOperationAnswersForItself) {
    int destroyed = 0;
    CoreHolder holder(CoreHolder::CoreFactory{[](void*) -> CPhrasorCoreIF* { return nullptr; },
                                              [&destroyed](CPhrasorCoreIF*) { ++destroyed; }});
    EXPECT_FALSE(holder.HasCore());
    holder.Begin();
    holder.ClearScriptLines();
    holder.AddScriptLine("abc", 4);
    holder.End();
    EXPECT_EQ(holder.GetConvPrm(), nullptr);
    EXPECT_EQ(holder.GetScriptLineCount(), 0);
    EXPECT_EQ(holder.CheckLibFiles(), kNoCoreCode);
    EXPECT_EQ(holder.SetResolution(480), kNoCoreCode);
    QByteArray song("MThd-song");
    EXPECT_EQ(holder.Convert(song), kNoCoreCode);
    EXPECT_EQ(song, QByteArray("MThd-song"));
    // A factory without functions is a holder without a core too.
    CoreHolder empty(CoreHolder::CoreFactory{});
    EXPECT_FALSE(empty.HasCore());
    EXPECT_EQ(empty.CheckLibFiles(), kNoCoreCode);
    EXPECT_EQ(destroyed, 0);
}

TEST(CoreHolderCore, MakesTheCoreWithAModuleTokenAndDeletesItOnce) {
    HeldFake held;
    ASSERT_TRUE(held.holder->HasCore());
    EXPECT_NE(held.moduleSeen, nullptr);
    EXPECT_EQ(held.moduleSeen, CoreHolder::ProgramModuleToken());
    held.holder.reset();
    EXPECT_EQ(held.deletions, 1);
    EXPECT_TRUE(held.deletedRight);
}

TEST(CoreHolderCore, ForwardsTheRunsCallsInOrder) {
    HeldFake held;
    CoreHolder& holder = *held.holder;
    EXPECT_EQ(holder.GetConvPrm(), nullptr);  // no driver or document yet
    holder.Begin();
    EXPECT_EQ(holder.SetResolution(120), 0);
    CPHConvPrm* prm = holder.GetConvPrm();
    ASSERT_NE(prm, nullptr);
    holder.AddScriptLine("#set:1", 7);
    holder.AddScriptLine("", 1);
    EXPECT_EQ(holder.GetScriptLineCount(), 2);
    holder.ClearScriptLines();
    EXPECT_EQ(holder.GetScriptLineCount(), 0);
    holder.End();
    EXPECT_EQ(held.core->Calls(),
              QStringList({"GetConvPrm", "CreateProc", "CreateDoc", "SetResolution", "GetConvPrm",
                           "GetScriptLineCount", "ClearScriptLines", "GetScriptLineCount", "DeleteProc",
                           "DeleteDoc"}));
    EXPECT_EQ(held.core->m_Resolutions, std::vector<LONG>({120}));
}

TEST(CoreHolderCore, ARunLeftOpenIsEndedBeforeTheCoreGoes) {
    HeldFake open;
    open.holder->Begin();
    open.holder.reset();
    EXPECT_EQ(open.callsAtDeletion, QStringList({"CreateProc", "CreateDoc", "DeleteProc", "DeleteDoc"}));
    // An ended run is not ended twice.
    HeldFake closed;
    closed.holder->Begin();
    closed.holder->End();
    closed.holder.reset();
    EXPECT_EQ(closed.callsAtDeletion, QStringList({"CreateProc", "CreateDoc", "DeleteProc", "DeleteDoc"}));
}

TEST(CoreHolderCore, CheckLibFilesMapsTheCoresAnswer) {
    const struct {
        int answer;
        int expected;
    } cases[] = {{1, 0}, {2, 0}, {-1, 0}, {0, kCoreFailedCode}};
    for (const auto& c : cases) {
        HeldFake held;
        held.core->m_LibFilesAnswer = c.answer;
        EXPECT_EQ(held.holder->CheckLibFiles(), c.expected) << "core answers " << c.answer;
    }
}

TEST(CoreHolderConvert, AFailingConversionKeepsTheInput) {
    HeldFake held;
    held.holder->Begin();
    held.core->m_FailAll = true;
    QByteArray song("MThd-input");
    EXPECT_EQ(held.holder->Convert(song), kCoreFailedCode);
    EXPECT_EQ(song, QByteArray("MThd-input"));
    ASSERT_EQ(held.core->m_Converts.size(), 1u);
    EXPECT_EQ(held.core->m_Converts[0].input, QByteArray("MThd-input"));
    held.holder->End();
}

TEST(CoreHolderConvert, TheResultIsACopyThatOutlivesTheEngine) {
    HeldFake held;
    held.holder->Begin();
    held.holder->GetConvPrm()->Channel = 4;
    QByteArray song("MThd-input");
    const QByteArray shared = song;  // one buffer for both until one is written
    ASSERT_EQ(held.holder->Convert(song), 0);
    ASSERT_EQ(held.core->m_Converts.size(), 1u);
    // The engine got a buffer of the array's own, not the shared one.
    EXPECT_NE(held.core->m_Converts[0].inputAddress, reinterpret_cast<const BYTE*>(shared.constData()));
    EXPECT_EQ(shared, QByteArray("MThd-input"));
    const QByteArray expected = FakePhrasorCore::Converted("MThd-input", 4);
    EXPECT_EQ(song, expected);
    // A second conversion frees the engine's first buffer; the first result stays.
    const QByteArray first = song;
    QByteArray other("MThd-other");
    ASSERT_EQ(held.holder->Convert(other), 0);
    EXPECT_EQ(first, expected);
    held.holder->End();
    held.holder.reset();  // the core and its buffer are gone
    EXPECT_EQ(song, expected);
    EXPECT_EQ(other, FakePhrasorCore::Converted("MThd-other", 4));
}
