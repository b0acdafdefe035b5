#pragma once
// A shown main window in a temporary program folder with Brune2 chosen from
// the model menu, and a temporary folder for the songs it opens.
#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <utility>

#include "app/AfterNameListWidget.h"
#include "app/IconPushButton.h"
#include "app/MainWindow.h"
#include "app/SimpleLabel.h"
#include "app/Smf.h"
#include "app/TransparentPushButton.h"
#include "app/VexaChSelector.h"
#include "tests/app/ProgramFolder.h"

// Clicks the item of the popup whose text is `text`.
inline void ClickItem(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(found[0]).center());
}

class SongWindow {
public:
    using MakeCoreHolder = std::function<std::shared_ptr<CoreHolder>()>;
    // makeCoreHolder: the window's core holder; none: the folder's fake core.
    explicit SongWindow(MakeCoreHolder makeCoreHolder = {})
        : window(WithCoreHolder(folder.Setup(&prompter), std::move(makeCoreHolder))) {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        chooseModel("Brune2");
    }

    void chooseModel(const QString& name) {
        for (QAction* action : window.modelGroup()->actions()) {
            if (action->text() == name) action->trigger();
        }
    }

    // A copy of a song of the corpus in the song folder.
    QString copySong(const QString& corpusName) {
        const QString to = songs.filePath(corpusName);
        QFile::remove(to);
        EXPECT_TRUE(QFile::copy(QStringLiteral(VEXA_CORPUS "/songs/") + corpusName, to));
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
        return to;
    }
    QString writeSong(const QString& name, const QByteArray& bytes) {
        QFile f(songs.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QString writeSong(const QString& name, const CSmf& smf) {
        QByteArray bytes;
        EXPECT_GE(smf.ToByteArray(bytes), 0);
        return writeSong(name, bytes);
    }

    static MainWindowSetup WithCoreHolder(MainWindowSetup setup, MakeCoreHolder makeCoreHolder) {
        if (makeCoreHolder) setup.makeCoreHolder = std::move(makeCoreHolder);
        return setup;
    }

    const MainWindow::ChannelRow& row(int ch) const { return window.row(ch); }
    // The texts of the message boxes asked so far.
    QStringList messages() const {
        QStringList texts;
        for (const auto& a : prompter.asked) {
            if (a.kind == "message") texts << a.text;
        }
        return texts;
    }

    ProgramFolder folder;
    RecordingPrompter prompter;
    MainWindow window;
    QTemporaryDir songs;
};
