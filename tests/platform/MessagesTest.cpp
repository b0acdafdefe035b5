#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

class MessagesTest : public ::testing::Test {
protected:
    void TearDown() override { SetMessageSink(nullptr); }
};

TEST_F(MessagesTest, WithoutSinkTheAnswerIsOk) { EXPECT_EQ(ShowMessage("x"), IDOK); }

TEST_F(MessagesTest, SinkGetsTextCaptionStyleAndAnswers) {
    CString text, caption;
    UINT style = 0;
    SetMessageSink([&](const CString& t, const CString& c, UINT s) {
        text = t;
        caption = c;
        style = s;
        return IDNO;
    });
    EXPECT_EQ(ShowMessage("Conversion Error!!", "Phrasor", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(text, "Conversion Error!!");
    EXPECT_EQ(caption, "Phrasor");
    EXPECT_EQ(style, UINT(MB_YESNO | MB_ICONQUESTION));
    SetMessageSink(nullptr);
    EXPECT_EQ(ShowMessage("y"), IDOK);
}

TEST_F(MessagesTest, SinkMayReplaceItselfAndShowAgain) {
    int inner = 0;
    SetMessageSink([&](const CString&, const CString&, UINT) {
        SetMessageSink([&](const CString&, const CString&, UINT) { return ++inner, IDCANCEL; });
        return ShowMessage("nested");  // must not deadlock
    });
    EXPECT_EQ(ShowMessage("outer"), IDCANCEL);
    EXPECT_EQ(inner, 1);
}

TEST_F(MessagesTest, ManyThreadsReachTheSink) {
    std::atomic<int> count{0};
    SetMessageSink([&](const CString&, const CString&, UINT) { return ++count, IDOK; });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 500; ++i) ShowMessage("m");
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(count.load(), 2000);
}

}  // namespace
