// Screenshots of a folder run and of what the window keeps between runs (fake
// core, Brune2): the confirmation dialog, a run in progress with its "(i/n)"
// title and Cancel, the five-button overwrite box, the closing "Some error
// occurred..." box and the Recent Files menu after a restart. Each PNG is
// kept and read back.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "app/ConfirmationDialog.h"
#include "app/ConvertThread.h"
#include "tests/app/MainWindowSongWindow.h"
#include "tests/app/SmfSongBuilder.h"
#include "tests/ui/GalleryShots.h"

using namespace smfsong;

namespace {

// A nylon guitar on channel 1: its recommendation switches the channel on.
QByteArray FolderShotSong() {
    CSmf smf;
    MakeSong(smf, 1, 480);
    AddTrack(smf, {Tempo(0, 500000), Eot(0)});
    AddTrack(smf, {Prog(0, 0, 24), Note(480, 0, 60), Note(960, 0, 60, 0), Eot(960)});
    QByteArray bytes;
    EXPECT_GE(smf.ToByteArray(bytes), 0);
    return bytes;
}

// Pixels clearly darker than the light dialog face (text, frames, icons).
int FolderShotDark(const QImage& image, const QRect& area) {
    int n = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) n += qGray(image.pixel(x, y)) < 100;
    return n;
}

// The virtual display has no window manager, so no title bar: the shot
// carries the window's own title, as a title bar shows it, above its face.
constexpr int kFolderCaptionHeight = 24;
QImage FolderShotWithCaption(QWidget& window) {
    const QImage face = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage shot(face.width(), face.height() + kFolderCaptionHeight, QImage::Format_RGB32);
    shot.fill(Qt::white);
    QPainter painter(&shot);
    QString title = window.windowTitle();
    title.replace(QStringLiteral("[*]"), window.isWindowModified() ? QStringLiteral("*") : QString());
    painter.setPen(Qt::black);
    painter.drawText(QRect(8, 0, face.width() - 16, kFolderCaptionHeight), Qt::AlignVCenter | Qt::AlignLeft, title);
    painter.drawImage(0, kFolderCaptionHeight, face);
    return shot;
}

// A message box's shot: kept, read back, its text shown in dark pixels.
QImage KeepMessageBoxShot(QMessageBox* box, const QString& file) {
    const QImage shot = KeepGalleryShot(box->grab().toImage(), file);
    EXPECT_EQ(shot.size(), box->size());
    EXPECT_GT(FolderShotDark(shot, shot.rect()), 200);
    return shot;
}

}  // namespace

TEST(FolderGallery, TheConfirmationDialog) {
    SongWindow w;
    bool seen = false;
    WhenGalleryDialogIsUp<ConfirmationDialog>([&](ConfirmationDialog* dialog) {
        seen = true;
        const QImage shot = KeepGalleryShot(dialog->grab().toImage(), "folder_confirmation.png");
        EXPECT_EQ(shot.size(), dialog->size());
        // "Skip Errors" is shown ticked, with Convert and Cancel.
        auto* skip = dialog->findChild<QCheckBox*>();
        ASSERT_NE(skip, nullptr);
        EXPECT_TRUE(skip->isVisible());
        EXPECT_TRUE(skip->isChecked());
        EXPECT_TRUE(dialog->skipErrors());
        EXPECT_GT(FolderShotDark(shot, GalleryShotRect(dialog, skip)), 10);
        QStringList buttons;
        for (auto* button : dialog->findChildren<QPushButton*>())
            if (button->isVisible()) buttons << button->text().remove('&');
        EXPECT_TRUE(buttons.contains("Convert")) << buttons.join(",").toStdString();
        EXPECT_TRUE(buttons.contains("Cancel")) << buttons.join(",").toStdString();
        EXPECT_GT(FolderShotDark(shot, shot.rect()), 200);
    });
    QtPrompter real;
    bool skipErrors = false;
    EXPECT_FALSE(real.confirmFolder(&w.window, &skipErrors));
    EXPECT_TRUE(seen);
}

TEST(FolderGallery, ARunInProgressWithItsTitleAndCancel) {
    SongWindow w;
    FakePhrasorCore& core = *w.folder.cores.front();
    core.m_Echo = true;
    core.m_ConvertDelayMs = 1500;
    w.prompter.skipErrorsTicked = true;
    w.writeSong("first.mid", FolderShotSong());
    w.writeSong("second.mid", FolderShotSong());
    w.prompter.pathAnswers.push_front(w.songs.path());
    const Ui::MainWindow& ui = w.window.form();
    QImage running;
    QString title;
    bool cancelShown = false, convertShown = true;
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return w.window.worker()->isRunning() && w.window.windowTitle().contains("(1/2)"); }, 5000));
        QTest::qWait(300);
        title = w.window.windowTitle();
        cancelShown = ui.btnCancel->isVisibleTo(&w.window);
        convertShown = ui.btnConvert->isVisibleTo(&w.window);
        running = KeepGalleryShot(FolderShotWithCaption(w.window), "folder_run_in_progress.png");
    });
    ui.actionConvertFilder->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !running.isNull(); }, 10000));
    EXPECT_EQ(title, QString("first.mid[*] (1/2) - Phrasor V2.1"));
    EXPECT_TRUE(cancelShown);
    EXPECT_FALSE(convertShown);
    EXPECT_EQ(running.size(), w.window.size() + QSize(0, kFolderCaptionHeight));
    // The caption holds the title's text: dark letters on white.
    EXPECT_GT(FolderShotDark(running, QRect(0, 0, running.width(), kFolderCaptionHeight)), 100);
    // Cancel is drawn where it stands: the shot holds its picture.
    const QRect cancel = GalleryShotRect(&w.window, ui.btnCancel).translated(0, kFolderCaptionHeight);
    const QImage button = ui.btnCancel->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int same = 0;
    for (int y = 0; y < cancel.height(); ++y)
        for (int x = 0; x < cancel.width(); ++x)
            same += running.pixel(cancel.left() + x, cancel.top() + y) == button.pixel(x, y);
    EXPECT_GT(same, cancel.width() * cancel.height() / 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.window.worker()->isRunning() && !ui.lblMask->isVisibleTo(&w.window); },
                                20000));
}

TEST(FolderGallery, TheFiveButtonOverwriteBox) {
    SongWindow w;
    const QString text = QString("\"%1\" already exists.\nDo you want to replace it?").arg(w.songs.filePath("c_vexa.mid"));
    bool seen = false;
    WhenGalleryDialogIsUp<QMessageBox>([&](QMessageBox* box) {
        seen = true;
        KeepMessageBoxShot(box, "folder_overwrite_box.png");
        EXPECT_EQ(box->windowTitle(), QString("Phrasor"));
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->text(), text);
        EXPECT_EQ(box->buttons().size(), 5);
        for (auto b : {QMessageBox::Yes, QMessageBox::YesToAll, QMessageBox::Save, QMessageBox::No, QMessageBox::Cancel}) {
            ASSERT_NE(box->button(b), nullptr) << int(b);
            EXPECT_TRUE(box->button(b)->isVisible()) << int(b);
        }
        EXPECT_EQ(box->button(QMessageBox::Save)->text(), QString("&Rename"));
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
    });
    QtPrompter real;
    EXPECT_EQ(real.overwrite(&w.window, text), QMessageBox::Cancel);
    EXPECT_TRUE(seen);
}

TEST(FolderGallery, TheClosingSomeErrorOccurredBox) {
    SongWindow w;
    FakePhrasorCore& core = *w.folder.cores.front();
    core.m_Echo = true;
    w.prompter.skipErrorsTicked = true;
    w.writeSong("good.mid", FolderShotSong());
    w.writeSong("not_a_song.mid", "text");
    w.prompter.pathAnswers.push_front(w.songs.path());
    w.window.form().actionConvertFilder->trigger();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !w.window.worker()->isRunning() && !w.window.form().lblMask->isVisibleTo(&w.window); }, 20000));
    const QStringList boxes = w.messages();
    ASSERT_EQ(boxes, QStringList{"Some error occurred. Please confirm in Error.log file."});
    const auto& asked = w.prompter.asked.back();
    ASSERT_EQ(asked.kind, QString("message"));

    // The program's own prompter shows the same box.
    bool seen = false;
    WhenGalleryDialogIsUp<QMessageBox>([&](QMessageBox* box) {
        seen = true;
        KeepMessageBoxShot(box, "folder_some_error_box.png");
        EXPECT_EQ(box->windowTitle(), QString("Phrasor"));
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->text(), boxes.front());
        EXPECT_EQ(box->buttons().size(), 1);
        ASSERT_NE(box->button(QMessageBox::Ok), nullptr);
        EXPECT_TRUE(box->button(QMessageBox::Ok)->isVisible());
    });
    QtPrompter real;
    real.message(&w.window, asked.icon, asked.title, asked.text, asked.buttons, QMessageBox::NoButton);
    EXPECT_TRUE(seen);
}

TEST(FolderGallery, TheRecentFilesMenuAfterARestart) {
    ProgramFolder folder;
    RecordingPrompter prompter;
    QTemporaryDir songs;
    QStringList opened;
    for (const char* name : {"one.mid", "two.mid", "three.mid"}) {
        QFile f(songs.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(FolderShotSong());
        opened << f.fileName();
    }
    {
        MainWindow window(folder.Setup(&prompter));
        for (const QString& path : opened) window.openFile(path);
    }
    MainWindow again(folder.Setup(&prompter));
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    QMenu* menu = again.form().menuRecentFiles;
    ASSERT_TRUE(menu->isEnabled());
    menu->popup(again.mapToGlobal(QPoint(40, 40)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTest::qWait(100);
    const QImage shot = KeepGalleryShot(menu->grab().toImage(), "folder_recent_files_menu.png");
    EXPECT_EQ(shot.size(), menu->size());
    // The three files, the last opened on top, each on its own row of text.
    QStringList listed;
    for (QAction* action : again.recentFileActions()) {
        if (!action->isVisible()) continue;
        listed << action->text();
        const QRect row = menu->actionGeometry(action);
        EXPECT_FALSE(row.isEmpty());
        EXPECT_GT(FolderShotDark(shot, row), 20) << action->text().toStdString();
    }
    EXPECT_EQ(listed, (QStringList{opened[2], opened[1], opened[0]}));
    menu->hide();
}
