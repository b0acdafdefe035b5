// What a save leaves behind in the real window (offscreen, fake core,
// Brune2): the file under the very name accepted in the program's own save
// dialog, and a status that claims completion only for a file written.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

#include "tests/app/MainWindowConvertWindow.h"
#include "tests/app/SmfSongBuilder.h"

using namespace smfsong;

namespace {

int OutcomeHeaderFormat(const QByteArray& bytes) {
    return bytes.size() < 10 ? -1 : (int(uchar(bytes[8])) << 8) | int(uchar(bytes[9]));
}

QByteArray OutcomeRead(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool ShowsComplete(const MainWindow& window) {
    const auto* status = window.form().lblNowConv;
    return status->isVisibleTo(&window) && status->text() == QString("COMPLETE !!");
}

// Records like the tests' prompter, but shows the program's own save dialog.
class RealSaveDialogPrompter : public RecordingPrompter {
public:
    QString saveFileName(QWidget* parent, const QString& caption, const QString& path, const QString& filter,
                         QString* selectedFilter) override {
        RecordingPrompter::saveFileName(parent, caption, path, filter, selectedFilter);
        return QtPrompter().saveFileName(parent, caption, path, filter, selectedFilter);
    }
};

// Notes the name the dialog shows, picks the filter (-1: keeps the
// preselected one) with the keys, as a user does, and notes the name again.
void AnswerSaveDialog(QFileDialog* dialog, int chosenFilter, QString& shownAtStart, QString& shownAtAccept) {
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    shownAtStart = name->text();
    if (chosenFilter >= 0) {
        auto* filters = dialog->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(filters, nullptr);
        while (filters->currentIndex() != chosenFilter) {
            const int before = filters->currentIndex();
            QTest::keyClick(filters, before > chosenFilter ? Qt::Key_Up : Qt::Key_Down);
            ASSERT_NE(filters->currentIndex(), before);
        }
    }
    shownAtAccept = name->text();
}

}  // namespace

TEST(MainWindowSaveOutcome, OnlyAWrittenFileLeavesCompleteInTheStatus) {
    enum class Output { Written, Cancelled, AFolder, AFailingWrite };
    struct Case {
        const char* what;
        Output output;
        bool complete;
    };
    const Case cases[] = {
        {"written", Output::Written, true},
        {"dialog cancelled: nothing failed", Output::Cancelled, true},
        {"output is a folder", Output::AFolder, false},
        {"the write fails", Output::AFailingWrite, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConvertWindow w;
        w.openSong("status.mid", PianoNoteSong());
        w.switchOn(0);
        QString output = w.songs.filePath("status_vexa.mid");
        if (c.output == Output::Cancelled) output.clear();
        if (c.output == Output::AFolder) ASSERT_TRUE(QDir(w.songs.path()).mkdir("status_vexa.mid"));
        if (c.output == Output::AFailingWrite)
            w.window.setSongFileWrite([](QIODevice&, const QByteArray&) { return qint64(-1); });
        w.prompter.pathAnswers = {output};
        bool completeBehindTheBox = false;
        w.prompter.onAsk = [&] {
            if (w.prompter.asked.back().kind == "message") completeBehindTheBox = ShowsComplete(w.window);
        };
        w.convertToTheEnd();
        EXPECT_EQ(ShowsComplete(w.window), c.complete);
        if (c.complete) {
            EXPECT_TRUE(w.messages().isEmpty());
        } else {
            EXPECT_EQ(w.messages(), QStringList{"\"" + output + "\" write error."});
            EXPECT_FALSE(completeBehindTheBox);
            EXPECT_TRUE(w.window.isWindowModified());
        }
        EXPECT_EQ(OutcomeHeaderFormat(OutcomeRead(output)), c.output == Output::Written ? 1 : -1);
    }
}

// The user accepts the save dialog as it comes up, or after choosing the
// format-0 filter in it: the file written has the name shown, with the
// song's own upper-case suffix.
TEST(MainWindowSaveOutcome, TheUpperCaseSuffixAcceptedInTheSaveDialogIsWritten) {
    struct Case {
        const char* what;
        int chosenFilter;  // -1: the preselected one
        int format;        // of the file written
    };
    const Case cases[] = {{"as it comes up", -1, 1}, {"after choosing format 0", 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder folder;
        RealSaveDialogPrompter prompter;
        MainWindow window(folder.Setup(&prompter));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        for (QAction* action : window.modelGroup()->actions()) {
            if (action->text() == "Brune2") action->trigger();
        }
        QTemporaryDir songs;
        const QString song = songs.filePath("TUNE.v2.MID");
        {
            QFile f(song);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(PianoNoteSong());
        }
        window.openFile(song);
        ASSERT_EQ(window.currentSongPath(), song);
        QTest::mouseClick(window.row(0).btnAfter, Qt::LeftButton);
        folder.cores.front()->m_Echo = true;

        QString shownAtStart, shownAtAccept;
        // Answered from inside the dialog's own loop, once it is up.
        prompter.onAsk = [&] {
            QTimer::singleShot(0, [&] {
                QFileDialog* dialog = nullptr;
                EXPECT_TRUE(QTest::qWaitFor(
                    [&] {
                        dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                        return dialog && dialog->isVisible();
                    },
                    10000));
                if (!dialog) return;
                AnswerSaveDialog(dialog, c.chosenFilter, shownAtStart, shownAtAccept);
                QMetaObject::invokeMethod(dialog, "accept");
            });
        };
        window.convert();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !window.worker()->isRunning() && !window.form().lblMask->isVisibleTo(&window); }, 20000));
        QTest::qWait(10);

        EXPECT_EQ(shownAtStart.toStdString(), "TUNE.v2_vexa.MID");
        EXPECT_EQ(shownAtAccept.toStdString(), "TUNE.v2_vexa.MID");
        EXPECT_EQ(QDir(songs.path()).entryList(QDir::Files, QDir::Name).join(" | ").toStdString(),
                  "TUNE.v2.MID | TUNE.v2_vexa.MID");
        EXPECT_EQ(OutcomeHeaderFormat(OutcomeRead(songs.filePath("TUNE.v2_vexa.MID"))), c.format);
        EXPECT_FALSE(window.isWindowModified());
    }
}
