// The target field of the real window (offscreen, fake core, Brune2) as it is
// drawn: nothing crosses the name, and a row whose popup closes is drawn from
// the target just chosen, highlighted only when the pointer is really on it.
#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include "tests/app/MainWindowSongWindow.h"

namespace {

QImage FieldRgb(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_RGB32); }
QImage FieldRgb(const QString& path) { return QImage(path).convertToFormat(QImage::Format_RGB32); }

QPoint FieldCentre(const QWidget* w) { return w->mapToGlobal(w->rect().center()); }

// A point of the screen that no window of the test covers.
QPoint FieldAwayFromWindows(const SongWindow& w) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect window = w.window.frameGeometry();
    return window.right() + 20 < screen.right() ? QPoint(screen.right() - 5, screen.center().y())
                                                : QPoint(screen.center().x(), screen.bottom() - 5);
}

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

// Row 1 is given a nylon guitar through its three popups, the pointer resting
// off the window, on the row's switch or on the next row's; the popups held
// the pointer, so the field had no leave and that row no enter. Once closed,
// row 1 shows the chosen target's icon, lit only when the pointer is on it,
// and the row under the pointer is the mouse's.
TEST(MainWindowTargetField, AClosedPopupsRowIsDrawnFromTheChosenTarget) {
    struct Case {
        const char* what;
        int pointerRow;  // the row whose switch the pointer is on; -1: off the window
    };
    const Case cases[] = {
        {"pointer off the window", -1}, {"pointer on the row's switch", 0}, {"pointer on the next row's switch", 1}};
    // The pointer goes back where it was, for the windows of other tests.
    struct PointerBack {
        QPoint at = QCursor::pos();
        ~PointerBack() { QCursor::setPos(at); }
    } pointerBack;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SongWindow w;
        w.window.openFile(w.copySong("TheEntertainer.mid"));
        const auto& r = w.row(0);
        QTest::mouseClick(r.btnAfter, Qt::LeftButton);
        auto sel = w.window.channelSelector();
        QString before, beforeIcon;
        ASSERT_GE(sel->GetTargetName(0, &before), 0);
        ASSERT_GE(sel->GetIconOff(0, &beforeIcon), 0);

        QCursor::setPos(c.pointerRow >= 0 ? FieldCentre(w.row(c.pointerRow).btnAfter) : FieldAwayFromWindows(w));
        QApplication::processEvents();
        // The pointer came over the field (as the window system tells it).
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(r.cboAfter, &enter);
        ASSERT_EQ(w.window.mouseChannel(), 0);
        QTest::mousePress(r.cboAfter, Qt::LeftButton);
        QTest::mouseRelease(r.cboAfter, Qt::LeftButton);
        AfterNameListWidget* p1 = w.window.popup(1);
        ASSERT_TRUE(p1->isVisible());
        // Through the other voices to a nylon guitar: another family, another icon.
        ClickItem(p1, "Other Normal Voices");
        ASSERT_TRUE(w.window.popup(2)->isVisible());
        ClickItem(w.window.popup(2), "NylonGuitar");
        ASSERT_TRUE(w.window.popup(3)->isVisible());
        const QString chosen = "NylonGuitar(Smooth)";
        ASSERT_NE(chosen, before);
        ClickItem(w.window.popup(3), chosen);
        for (int level : {1, 2, 3}) ASSERT_FALSE(w.window.popup(level)->isVisible()) << level;
        ASSERT_EQ(w.window.popupChannel(), -1);

        QString name, icon;
        ASSERT_GE(sel->GetTargetName(0, &name), 0);
        ASSERT_EQ(name, chosen);
        const bool lit = c.pointerRow == 0;
        ASSERT_GE(lit ? sel->GetIconOn(0, &icon) : sel->GetIconOff(0, &icon), 0);
        QString chosenOffIcon;
        ASSERT_GE(sel->GetIconOff(0, &chosenOffIcon), 0);
        ASSERT_FALSE(FieldRgb(chosenOffIcon) == FieldRgb(beforeIcon)) << "the chosen target must look different";
        EXPECT_TRUE(FieldRgb(r.lblIcon->pixmap(Qt::ReturnByValue)) == FieldRgb(icon)) << icon.toStdString();
        EXPECT_EQ(w.window.mouseChannel(), c.pointerRow);
        bool alternatives = false;
        ASSERT_GE(sel->HasAlternatives(0, &alternatives), 0);
        const QString base = lit ? QString(":/res/TextBase/TextBaseOn.bmp")
                                            : QString(":/res/TextBase/TextBase1%1.bmp").arg(alternatives ? "OffMlt" : "Off");
        EXPECT_TRUE(FieldRgb(r.lblAfter->pixmap(Qt::ReturnByValue)) == FieldRgb(base)) << base.toStdString();
    }
}
