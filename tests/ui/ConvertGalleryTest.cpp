// Screenshots of a conversion in the real window (fake core, Brune2): the
// drum-note question, "NOW CONVERTING..." with a movie frame, "COMPLETE !!"
// and the save dialog with its proposal. Each PNG is kept and read back.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <functional>

#include "app/ScrollDialog.h"
#include "tests/app/MainWindowSongWindow.h"
#include "tests/app/SmfSongBuilder.h"
#include "tests/ui/GalleryShots.h"

using namespace smfsong;

namespace {

int ConvertShotCyan(const QImage& image, const QRect& area) {
    int n = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() < 100 && c.green() > 200 && c.blue() > 200;
        }
    return n;
}

QByteArray GallerySong(std::initializer_list<EventPtr> events) {
    CSmf smf;
    MakeSong(smf, 1, 480);
    AddTrack(smf, {Tempo(0, 500000), Eot(0)});
    CTrk& track = AddTrack(smf, {Eot(1920)});
    InsertAll(track, events);
    QByteArray bytes;
    EXPECT_GE(smf.ToByteArray(bytes), 0);
    return bytes;
}

}  // namespace

TEST(ConvertGallery, TheDrumNoteQuestion) {
    SongWindow w;
    w.window.openFile(w.writeSong("drums.mid", GallerySong({Note(480, 9, 22), Note(600, 9, 22, 0), Note(700, 9, 23),
                                                            Note(800, 9, 23, 0)})));
    ASSERT_EQ(w.window.channelSelector()->SetTargetByName(9, "RockDrumKit(HalfOpen)"), 0);
    w.prompter.scrollAnswers = {false};
    w.window.convert();
    ASSERT_EQ(w.prompter.asked.size(), 1u);
    const QString text = w.prompter.asked[0].text;
    ASSERT_TRUE(text.startsWith("Some Note will be deleted"));

    // The program's own prompter shows the same question.
    bool seen = false;
    WhenGalleryDialogIsUp<ScrollDialog>([&](ScrollDialog* dialog) {
        seen = true;
        EXPECT_EQ(dialog->windowTitle(), QString("Phrasor"));
        const QImage shot = KeepGalleryShot(dialog->grab().toImage(), "convert_drum_question.png");
        EXPECT_EQ(shot.size(), dialog->size());
        QString shown;
        if (auto* plain = dialog->findChild<QPlainTextEdit*>()) shown = plain->toPlainText();
        if (auto* rich = dialog->findChild<QTextEdit*>()) shown = rich->toPlainText();
        QString expected = text;
        expected.replace("\r\n", "\n");
        EXPECT_EQ(shown.trimmed(), expected.trimmed());
        // Dark text on the light field.
        int dark = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) dark += qGray(shot.pixel(x, y)) < 80;
        EXPECT_GT(dark, 200);
    });
    QtPrompter real;
    EXPECT_FALSE(real.scrollText(&w.window, "Phrasor", text));
    EXPECT_TRUE(seen);
}

TEST(ConvertGallery, NowConvertingThenCompleteAndTheSaveDialog) {
    SongWindow w;
    const QString song = w.writeSong("tune.mid", GallerySong({Note(480, 0, 60), Note(960, 0, 60, 0)}));
    w.window.openFile(song);
    QTest::mouseClick(w.row(0).btnAfter, Qt::LeftButton);
    bool on = false;
    ASSERT_EQ(w.window.channelSelector()->IsChannelOn(0, &on), 0);
    ASSERT_TRUE(on);
    FakePhrasorCore& core = *w.folder.cores.front();
    core.m_Echo = true;
    core.m_ConvertDelayMs = 1200;
    QImage complete;
    w.prompter.onAsk = [&] {
        if (w.prompter.asked.back().kind == "save")
            complete = KeepGalleryShot(w.window.grab().toImage(), "convert_complete.png");
    };
    w.window.convert();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.window.movieFrame() >= 7; }, 5000));
    const int frame = w.window.movieFrame();
    const QImage converting = KeepGalleryShot(w.window.grab().toImage(), "convert_now_converting.png");
    const Ui::MainWindow& ui = w.window.form();
    const QRect movie = GalleryShotRect(&w.window, ui.lblConvMovie);
    const QImage picture =
        QImage(QString(":/res/Movie/MovieFrame%1.bmp").arg(frame, 2, 10, QChar('0'))).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(converting.copy(QRect(movie.topLeft(), picture.size())), picture) << frame;
    const QRect label = GalleryShotRect(&w.window, ui.lblNowConv);
    EXPECT_GT(ConvertShotCyan(converting, label), 30);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !complete.isNull(); }, 10000));
    EXPECT_GT(ConvertShotCyan(complete, label), 30);
    // The movie is gone: its place shows the background.
    const QImage background = QImage(":/res/Background.bmp").convertToFormat(QImage::Format_RGB32);
    const QPoint onBackground = ui.lblConvMovie->mapTo(ui.lblBackground, QPoint(0, 0));
    EXPECT_EQ(complete.copy(movie), background.copy(QRect(onBackground, movie.size())));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ui.lblMask->isVisibleTo(&w.window); }, 5000));

    // The save dialog as the program shows it, with the proposal.
    const auto& asked = w.prompter.asked.back();
    ASSERT_EQ(asked.kind, QString("save"));
    bool seen = false;
    WhenGalleryDialogIsUp<QFileDialog>([&](QFileDialog* dialog) {
        seen = true;
        const QImage shot = KeepGalleryShot(dialog->grab().toImage(), "convert_save_dialog.png");
        EXPECT_EQ(shot.size(), dialog->size());
        EXPECT_EQ(dialog->windowTitle(), QString("MIDI file"));
        EXPECT_EQ(dialog->selectedNameFilter(), MainWindow::saveFilters()[1]);
        const auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), QString("tune_vexa.mid"));
    });
    QtPrompter real;
    QString selected = asked.selectedFilter;
    EXPECT_TRUE(real.saveFileName(&w.window, asked.title, asked.path, asked.filter, &selected).isEmpty());
    EXPECT_TRUE(seen);
}
