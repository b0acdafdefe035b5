#pragma once
// The window of the convert and save tests: a song opened, rows switched on,
// a conversion waited for to the end of its save step, and the questions
// asked on the way.
#include <QString>
#include <utility>

#include "app/ConvertThread.h"
#include "tests/app/MainWindowSongWindow.h"

struct ConvertWindow : SongWindow {
    // makeCoreHolder: see SongWindow; none: the fake core, which gives its
    // input back.
    explicit ConvertWindow(MakeCoreHolder makeCoreHolder = {}) : SongWindow(std::move(makeCoreHolder)) {
        if (!folder.cores.empty()) core().m_Echo = true;
    }
    FakePhrasorCore& core() { return *folder.cores.front(); }
    CVexaChSelector& selector() { return *window.channelSelector(); }

    QString openSong(const QString& name, const QByteArray& bytes) {
        const QString path = writeSong(name, bytes);
        window.openFile(path);
        EXPECT_EQ(window.currentSongPath(), path);
        return path;
    }
    // Through the row's on/off button.
    void switchOn(int ch) {
        QTest::mouseClick(row(ch).btnAfter, Qt::LeftButton);
        bool on = false;
        EXPECT_EQ(selector().IsChannelOn(BYTE(ch), &on), 0);
        EXPECT_TRUE(on) << ch;
    }
    void setRockKit() {
        EXPECT_EQ(selector().SetTargetByName(9, QStringLiteral("RockDrumKit(HalfOpen)")), 0);
        EXPECT_EQ(selector().SetChannelOn(9, true), 0);
    }
    // Converts and waits until the save step has made the window usable. A
    // real script on a whole corpus song takes about half a minute under the
    // sanitizers: the bound leaves room for a loaded machine.
    void convertToTheEnd() {
        window.convert();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window.worker()->isRunning() && !busy(); }, 120000));
        QTest::qWait(10);
    }
    bool busy() const { return window.form().lblMask->isVisibleTo(&window); }
    int kinds(const char* kind) const {
        int n = 0;
        for (const auto& a : prompter.asked) n += a.kind == kind;
        return n;
    }
    const RecordingPrompter::Asked* last(const char* kind) const {
        for (auto it = prompter.asked.rbegin(); it != prompter.asked.rend(); ++it)
            if (it->kind == kind) return &*it;
        return nullptr;
    }
};
