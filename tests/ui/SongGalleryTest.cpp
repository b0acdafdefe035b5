// Screenshots of the real window with songs opened (fake core, Brune2): the
// rows of beat.mid, the three target lists in place over the window, a
// highlighted row, the beat-resolution picker over the window and a row after
// a choice from its popups. Each PNG is kept for a person to look at and read back to
// check what it shows.
#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <functional>

#include "app/BeatMapWidget.h"
#include "tests/app/MainWindowSongWindow.h"
#include "tests/ui/GalleryShots.h"

namespace {

const QColor kPopupNavy(0, 56, 109);

int ShotPixelCount(const QImage& image, const QRect& area, const std::function<bool(const QColor&)>& test) {
    int n = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) n += test(image.pixelColor(x, y));
    return n;
}
int ShotColourCount(const QImage& image, const QRect& area, const QColor& colour) {
    return ShotPixelCount(image, area, [&colour](const QColor& c) { return c == colour; });
}
// Cyan text, smoothed edges included.
int ShotCyanCount(const QImage& image, const QRect& area) {
    return ShotPixelCount(image, area,
                       [](const QColor& c) { return c.red() < 100 && c.green() > 200 && c.blue() > 200; });
}

// A widget's rectangle on the window's grab.
QRect WidgetOnShot(const MainWindow& window, const QWidget* widget) {
    return QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size());
}

void OpenField(SongWindow& w, int ch) {
    QTest::mousePress(w.row(ch).cboAfter, Qt::LeftButton);
    QTest::mouseRelease(w.row(ch).cboAfter, Qt::LeftButton);
}

void ClickText(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(found[0]).center());
}

}  // namespace

TEST(SongGallery, TheRowsOfBeatWithTheDrumRowOn) {
    SongWindow w;
    w.window.openFile(w.copySong("beat.mid"));
    ASSERT_TRUE(w.messages().isEmpty());
    QApplication::processEvents();
    const QImage shot = KeepGalleryShot(w.window.grab().toImage(), "song_rows_beat.png");
    ASSERT_FALSE(shot.isNull());
    // Cyan name pixels in row 10's field only: the other rows show no target,
    // or a disabled grey one.
    for (int ch = 0; ch < 16; ++ch) {
        SCOPED_TRACE(ch + 1);
        const QRect field = WidgetOnShot(w.window, w.row(ch).lblAfter);
        const int cyan = ShotCyanCount(shot, field);
        if (ch == 9)
            EXPECT_GT(cyan, 20);
        else
            EXPECT_EQ(cyan, 0);
    }
    // The drum icon beside it is the kit's picture.
    QString icon;
    ASSERT_GE(w.window.channelSelector()->GetIconOff(9, &icon), 0);
    const QRect iconArea = WidgetOnShot(w.window, w.row(9).lblIcon);
    const QImage drum = QImage(icon).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.copy(QRect(iconArea.topLeft(), drum.size())), drum);
}

TEST(SongGallery, EachTargetListInPlaceOverTheWindow) {
    SongWindow w;
    w.window.openFile(w.copySong("beat.mid"));
    OpenField(w, 9);
    AfterNameListWidget* p1 = w.window.popup(1);
    ASSERT_TRUE(p1->isVisible());
    const QPoint origin = w.window.mapToGlobal(QPoint(0, 0));
    // The window with the open lists painted where they stand on the screen.
    const auto composed = [&](std::initializer_list<AfterNameListWidget*> lists) {
        QRect canvas(QPoint(0, 0), w.window.size());
        for (AfterNameListWidget* l : lists) canvas |= l->geometry().translated(-origin);
        QImage image(canvas.size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        painter.drawImage(-canvas.topLeft(), w.window.grab().toImage());
        for (AfterNameListWidget* l : lists)
            painter.drawImage(l->geometry().topLeft() - origin - canvas.topLeft(), l->grab().toImage());
        painter.end();
        return std::make_pair(image, canvas.topLeft());
    };
    const QRect field = WidgetOnShot(w.window, w.row(9).cboAfter);

    auto [one, shift1] = composed({p1});
    const QImage list1 = KeepGalleryShot(one, "song_list1_over_row10.png");
    const QRect list1Area = p1->geometry().translated(-origin - shift1);
    // On the field's last pixel row, or, near the screen's bottom, ending on
    // its first.
    const QRect fieldOnShot = field.translated(-shift1);
    if (list1Area.top() == fieldOnShot.bottom())
        EXPECT_EQ(list1Area.left(), fieldOnShot.left());
    else
        EXPECT_EQ(list1Area.bottomLeft(), fieldOnShot.topLeft());
    EXPECT_GT(ShotColourCount(list1, list1Area, kPopupNavy), list1Area.width() * list1Area.height() / 2);
    // The current kit is lit in cyan inside the list.
    EXPECT_GT(ShotCyanCount(list1, list1Area), 20);

    ClickText(p1, "Other Drum Kits");
    AfterNameListWidget* p2 = w.window.popup(2);
    ASSERT_TRUE(p2->isVisible());
    ClickText(p2, "JazzBrushComp");
    AfterNameListWidget* p3 = w.window.popup(3);
    ASSERT_TRUE(p3->isVisible());
    auto [three, shift3] = composed({p2, p3});
    const QImage lists = KeepGalleryShot(three, "song_list3_beside_list2.png");
    const QRect list2Area = p2->geometry().translated(-origin - shift3);
    const QRect list3Area = p3->geometry().translated(-origin - shift3);
    EXPECT_EQ(list2Area.left(), field.left() - shift3.x());
    EXPECT_GT(list3Area.left(), list2Area.left());
    EXPECT_LT(list3Area.left(), list2Area.right());
    // List 3 is drawn over list 2: its right part stands beside list 2.
    const QRect beside(QPoint(list2Area.right() + 1, list3Area.top()), list3Area.bottomRight());
    EXPECT_GT(ShotColourCount(lists, beside, kPopupNavy), beside.width() * beside.height() / 2);
    // Its grey names (none of its kits is the current target).
    EXPECT_GT(ShotPixelCount(lists, list3Area,
                             [](const QColor& c) { return c.red() > 120 && c.blue() > 150 && c.green() > 130; }),
              20);
    EXPECT_EQ(ShotCyanCount(lists, list3Area), 0);
}

TEST(SongGallery, AHighlightedRow) {
    SongWindow w;
    w.window.openFile(w.copySong("TheEntertainer.mid"));
    QTest::mouseClick(w.row(0).btnAfter, Qt::LeftButton);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(w.row(0).cboAfter, &enter);
    ASSERT_EQ(w.window.mouseChannel(), 0);
    QApplication::processEvents();
    const QImage shot = KeepGalleryShot(w.window.grab().toImage(), "song_row1_highlighted.png");
    // Row 1's field shows the lit base picture behind its cyan name; row 10's
    // (off) shows nothing lit.
    const QRect field = WidgetOnShot(w.window, w.row(0).lblAfter);
    const QImage lit = QImage(":/res/TextBase/TextBaseOn.bmp").convertToFormat(QImage::Format_RGB32);
    const QRect right(field.right() - 15, field.top(), 16, field.height());
    EXPECT_EQ(shot.copy(right), lit.copy(right.translated(-field.topLeft())));
    EXPECT_GT(ShotCyanCount(shot, field), 20);
    EXPECT_EQ(ShotCyanCount(shot, WidgetOnShot(w.window, w.row(9).lblAfter)), 0);
    // The switch is down: it shows the Off picture (the pictures are
    // inverted).
    const QImage down = QImage(":/res/AfterBtn/After1BtnOff.bmp").convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.copy(QRect(WidgetOnShot(w.window, w.row(0).btnAfter).topLeft(), down.size())), down);
}

TEST(SongGallery, TheBeatPickerOpenedFromTheWindow) {
    SongWindow w;
    w.window.openFile(w.copySong("TheEntertainer.mid"));
    const Ui::MainWindow& ui = w.window.form();
    QTest::mouseClick(ui.btnNoteSelect, Qt::LeftButton);
    BeatMapWidget* picker = w.window.beatPicker();
    ASSERT_TRUE(picker->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(picker));
    // Its frame under the button, at the button's bottom-left pixel, where the
    // screen leaves room.
    const QPoint corner = ui.btnNoteSelect->mapToGlobal(QPoint(0, ui.btnNoteSelect->height() - 1));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = picker->frameGeometry();
    if (corner.y() + frame.height() <= screen.height() && corner.x() + frame.width() <= screen.width())
        EXPECT_EQ(frame.topLeft(), corner);

    const QPoint origin = w.window.mapToGlobal(QPoint(0, 0));
    const QRect pickerArea = picker->geometry().translated(-origin);
    QRect canvas = QRect(QPoint(0, 0), w.window.size()) | pickerArea;
    QImage image(canvas.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.drawImage(-canvas.topLeft(), w.window.grab().toImage());
    painter.drawImage(pickerArea.topLeft() - canvas.topLeft(), picker->grab().toImage());
    painter.end();
    const QImage shot = KeepGalleryShot(image, "song_picker_open.png");

    // The picker's cells, the cell of the window's beat resolution lit.
    const int k = w.window.beatResolutionIndex();
    QImage expected = QImage(":/res/BeatMap.bmp").convertToFormat(QImage::Format_RGB32);
    QPainter lit(&expected);
    lit.drawImage(QPoint(27 * (k / 3) + 1, 32 * (k % 3) + 1), QImage(":/res/NoteOnArray.bmp").copy(0, 31 * k, 26, 31));
    lit.end();
    EXPECT_EQ(shot.copy(QRect(pickerArea.topLeft() - canvas.topLeft(), expected.size())),
              expected.convertToFormat(QImage::Format_RGB32));
    // The button shows the same note value (its last pixel row lies under
    // the picker).
    const QImage note = MainWindow::notePicture(k).toImage().convertToFormat(QImage::Format_RGB32);
    const QRect noteOnShot(WidgetOnShot(w.window, ui.btnNoteSelect).topLeft() - canvas.topLeft(),
                           note.size() - QSize(0, 1));
    EXPECT_EQ(shot.copy(noteOnShot), note.copy(QRect(QPoint(0, 0), noteOnShot.size())));
    picker->close();
}

// Row 1 given a nylon guitar through its three popups, the pointer resting
// off the window: the row shows the guitar's icon, unlit, with no other move.
TEST(SongGallery, ARowAfterAChoiceFromItsPopups) {
    const QPoint pointerBefore = QCursor::pos();
    SongWindow w;
    w.window.openFile(w.copySong("TheEntertainer.mid"));
    const auto& r = w.row(0);
    QTest::mouseClick(r.btnAfter, Qt::LeftButton);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCursor::setPos(screen.bottomRight() - QPoint(5, 5));
    QTest::qWait(50);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(r.cboAfter, &enter);
    OpenField(w, 0);
    ClickText(w.window.popup(1), "Other Normal Voices");
    ClickText(w.window.popup(2), "NylonGuitar");
    ClickText(w.window.popup(3), "NylonGuitar(Smooth)");
    ASSERT_EQ(w.window.popupChannel(), -1);
    QApplication::processEvents();
    const QImage shot = KeepGalleryShot(w.window.grab().toImage(), "song_row1_after_choice.png");
    QCursor::setPos(pointerBefore);

    QString icon;
    ASSERT_GE(w.window.channelSelector()->GetIconOff(0, &icon), 0);
    const QImage guitar = QImage(icon).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.copy(QRect(WidgetOnShot(w.window, r.lblIcon).topLeft(), guitar.size())), guitar);
    // The field's right end shows its unlit base, and the name is the guitar's.
    bool alternatives = false;
    ASSERT_GE(w.window.channelSelector()->HasAlternatives(0, &alternatives), 0);
    const QImage base =
        QImage(QString(":/res/TextBase/TextBase1%1.bmp").arg(alternatives ? "OffMlt" : "Off")).convertToFormat(QImage::Format_RGB32);
    const QRect field = WidgetOnShot(w.window, r.lblAfter);
    const QRect right(field.right() - 15, field.top(), 16, field.height());
    EXPECT_EQ(shot.copy(right), base.copy(right.translated(-field.topLeft())));
    EXPECT_EQ(r.txtAfter->text(), QString("NylonGuitar(Smooth)"));
    EXPECT_GT(ShotCyanCount(shot, WidgetOnShot(w.window, r.txtAfter)), 20);
}
