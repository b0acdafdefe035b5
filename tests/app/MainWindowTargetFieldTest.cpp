// The target field of the real window (offscreen, fake core, Brune2) as it is
// drawn: nothing crosses the name.
#include <gtest/gtest.h>

#include <QImage>

#include "tests/app/MainWindowSongWindow.h"

namespace {

QImage FieldRgb(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_RGB32); }
QImage FieldRgb(const QString& path) { return QImage(path).convertToFormat(QImage::Format_RGB32); }

}  // namespace

namespace {

// In every row that shows a name, the band of the name's middle column above
// and below the text (the 12-pixel text stays within rows 5 to 20 of the
// 25-pixel field) shows the picture behind the name: the field's base when
// the row is on, the window's background when it is off. Counts the rows of
// each kind.
void ExpectNoLineThroughTheNames(SongWindow& w, int& onBaseRows, int& offRows) {
    QApplication::processEvents();
    const QImage shot = w.window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage background = FieldRgb(QString(":/res/Background.bmp"));
    for (int ch = 0; ch < 16; ++ch) {
        const auto& r = w.row(ch);
        if (!r.txtAfter->isVisibleTo(&w.window) || r.txtAfter->text().isEmpty()) continue;
        SCOPED_TRACE(QString("row %1, \"%2\"").arg(ch + 1).arg(r.txtAfter->text()).toStdString());
        const bool onBase = r.lblAfter->isVisibleTo(&w.window);
        const QImage base = FieldRgb(r.lblAfter->pixmap(Qt::ReturnByValue));
        const QPoint fieldOnShot = r.txtAfter->mapTo(&w.window, QPoint(0, 0));
        const QPoint fieldOnBackground = r.txtAfter->mapTo(w.window.form().lblBackground, QPoint(0, 0));
        const QPoint baseOffset = r.txtAfter->pos() - r.lblAfter->pos();
        const int middle = r.txtAfter->width() / 2;
        for (int y : {0, 1, 2, 3, 21, 22, 23, 24}) {
            for (int x = middle - 2; x <= middle + 2; ++x) {
                const QColor expected(onBase ? base.pixel(baseOffset + QPoint(x, y))
                                             : background.pixel(fieldOnBackground + QPoint(x, y)));
                const QColor seen(shot.pixel(fieldOnShot + QPoint(x, y)));
                ASSERT_EQ(seen.name().toStdString(), expected.name().toStdString()) << "at " << x << "," << y;
            }
        }
        ++(onBase ? onBaseRows : offRows);
    }
}

}  // namespace

TEST(MainWindowTargetField, NoLineCrossesTheMiddleOfTheName) {
    int onBaseRows = 0, offRows = 0;
    // The drum row of beat.mid is on by its recommendation; the piano row of
    // the other song shows its name greyed until it is switched on.
    for (const char* song : {"beat.mid", "TheEntertainer.mid"}) {
        SCOPED_TRACE(song);
        SongWindow w;
        w.window.openFile(w.copySong(song));
        ASSERT_TRUE(w.messages().isEmpty());
        ExpectNoLineThroughTheNames(w, onBaseRows, offRows);
        QTest::mouseClick(w.row(0).btnAfter, Qt::LeftButton);
        ExpectNoLineThroughTheNames(w, onBaseRows, offRows);
    }
    EXPECT_GE(onBaseRows, 3);
    EXPECT_GE(offRows, 1);
}
