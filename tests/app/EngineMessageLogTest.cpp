// The engine's message boxes become debug-log lines, also from a thread that
// is not the user interface's, and are answered OK.
#include <gtest/gtest.h>

#include <thread>

#include "app/EngineMessageLog.h"
#include "platform/Messages.h"
#include "tests/app/FakePhrasorCore.h"

TEST(EngineMessageLog, MessagesFromAnyThreadReachTheDebugLog) {
    DebugLogCapture capture;
    InstallEngineMessageLog();
    int answer = 0;
    std::thread worker([&answer] { answer = ShowMessage("part overflow", "Phrasor", MB_OK | MB_ICONWARNING); });
    worker.join();
    SetMessageSink(nullptr);
    EXPECT_EQ(answer, IDOK);
    const QStringList lines = capture.Taken();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("part overflow")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains("Phrasor")) << lines[0].toStdString();
}
