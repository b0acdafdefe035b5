// Screenshots of the target lists, the beat-resolution picker and the two
// small dialogs as the main window shows them. Each PNG is kept for a person
// to look at and read back to check what it shows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <functional>

#include "app/PopupListLook.h"
#include "app/AfterNameListWidget.h"
#include "app/AfterNameListWidgetFilter.h"
#include "app/BeatMapWidget.h"
#include "app/ConfirmationDialog.h"
#include "app/Pictures.h"
#include "app/ScrollDialog.h"
#include "tests/ui/GalleryShots.h"

namespace {

const QColor kListText = kPopupText;
const QColor kListNavy = kPopupBase;
const QColor kListCyan = kPopupCurrentText;

void DressPopupList(AfterNameListWidget* list, const QStringList& names) {
    SetPopupPalette(list);
    list->addItems(names);
    QFont font;
    font.setPixelSize(12);
    font.setBold(true);
    for (int i = 0; i < list->count(); ++i) list->item(i)->setFont(font);
}

int CountPixels(const QImage& image, const QRect& area, const std::function<bool(QColor)>& test) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += test(image.pixelColor(x, y));
    return n;
}

// The six lines of a row's triangle: 11, 9, 7, 5, 3 and 1 pixels of `pen`.
int TrianglePixels(const QImage& shot, const QRect& row, const QColor& pen) {
    const QRect box(QPoint(row.right() - 15, row.top() + 1), QPoint(row.right() - 3, row.bottom() - 1));
    return CountPixels(shot, box, [&pen](QColor c) { return c == pen; });
}

TEST(PopupGallery, ThreeTargetListsWithMarkers) {
    QWidget owner;
    AfterNameListWidgetFilter filter(&owner);
    auto* list1 = new AfterNameListWidget(&owner);
    auto* list2 = new AfterNameListWidget(&owner);
    auto* list3 = new AfterNameListWidget(&owner);
    DressPopupList(list1, {"NylonGuitar(Hot)", "NylonGuitar(Smooth)", "NylonGuitar(Slide)", "* Other Normal Voices"});
    DressPopupList(list2, {"Nylon Guitar", "Steel Guitar", "Electric Guitar", "Bass", "Strings", "Brass", "Sax"});
    DressPopupList(list3, {"CleanGuitar", "JazzGuitar", "OverdriveGuitar(Riff)", "DistortionGuitar"});
    list3->setParentList(list2);
    AfterNameListWidget* lists[3] = {list1, list2, list3};
    for (int i = 0; i < 3; ++i) {
        filter.addWidget(lists[i]);
        lists[i]->setGeometry(40 + 190 * i, 60 + 20 * i, 171, lists[i]->sizeHintForRow(0) * lists[i]->count() + 4);
    }
    list1->setCurrentRow(1);
    list2->setCurrentRow(2);
    list2->setShowMarker(true);
    for (AfterNameListWidget* l : lists) {
        l->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(l));
    }
    list3->setOpenerItem(list2->item(2));
    list3->setCurrentRow(2);
    list2->setCurrentRow(5);  // the mouse went on to "Brass" after list 3 opened

    // One sheet with the three lists where they stand on the screen.
    QImage sheet(40 + 190 * 3, 60 + 40 + list2->height() + 40, QImage::Format_RGB32);
    sheet.fill(QColor(40, 40, 40));
    QPainter painter(&sheet);
    for (AfterNameListWidget* l : lists) painter.drawImage(l->pos(), l->grab().toImage());
    painter.end();
    const QImage shot = KeepGalleryShot(sheet, "popup_lists.png");

    auto rowOnShot = [](AfterNameListWidget* l, int row) {
        return l->visualItemRect(l->item(row)).translated(l->pos() + l->viewport()->mapTo(l, QPoint(0, 0)));
    };
    for (AfterNameListWidget* l : lists) {
        const QRect last = rowOnShot(l, l->count() - 1);
        EXPECT_EQ(shot.pixelColor(last.left() + 3, last.bottom() + 2), kListNavy);  // below the last row
    }
    // Cyan text on each list's current row, grey text on another row.
    const auto cyan = [](QColor c) { return c == kListCyan; };
    const auto grey = [](QColor c) { return c == kListText; };
    EXPECT_GT(CountPixels(shot, rowOnShot(list1, 1).adjusted(0, 0, -20, 0), cyan), 20);
    EXPECT_GT(CountPixels(shot, rowOnShot(list3, 2).adjusted(0, 0, -20, 0), cyan), 20);
    EXPECT_GT(CountPixels(shot, rowOnShot(list2, 5).adjusted(0, 0, -20, 0), cyan), 20);
    EXPECT_GT(CountPixels(shot, rowOnShot(list2, 0).adjusted(0, 0, -20, 0), grey), 20);
    // Triangles at the right end of list 2's current row (cyan) and of the
    // row list 3 was opened from (grey); none in lists 1 and 3.
    EXPECT_EQ(TrianglePixels(shot, rowOnShot(list2, 5), kListCyan), 36);
    EXPECT_EQ(TrianglePixels(shot, rowOnShot(list2, 2), kListText), 36);
    EXPECT_EQ(TrianglePixels(shot, rowOnShot(list2, 3), kListText), 0);
    EXPECT_EQ(TrianglePixels(shot, rowOnShot(list1, 1), kListCyan), 0);
    EXPECT_EQ(TrianglePixels(shot, rowOnShot(list3, 2), kListCyan), 0);
}

TEST(PopupGallery, BeatResolutionPickerWithALitCell) {
    RegisterPictures();
    BeatMapWidget picker;
    picker.move(100, 100);
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    picker.setIndex(7);
    const QImage grabbed = picker.grab().toImage();
    // Shown four times enlarged beside the picker itself, for the eye.
    QImage sheet(136 + 8 + 136 * 4, 97 * 4, QImage::Format_RGB32);
    sheet.fill(QColor(40, 40, 40));
    QPainter painter(&sheet);
    painter.drawImage(QPoint(0, 0), grabbed);
    painter.drawImage(QRect(144, 0, 136 * 4, 97 * 4), grabbed);
    painter.end();
    const QImage shot = KeepGalleryShot(sheet, "beat_picker.png").copy(0, 0, 136, 97);

    QImage expected = QImage(":/res/BeatMap.bmp").convertToFormat(QImage::Format_RGB32);
    QPainter lit(&expected);
    lit.drawImage(QPoint(1 + 27 * 2, 1 + 32 * 1), QImage(":/res/NoteOnArray.bmp").copy(0, 31 * 7, 26, 31));
    lit.end();
    EXPECT_EQ(shot, expected.convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(shot, QImage(":/res/BeatMap.bmp").convertToFormat(QImage::Format_RGB32));
}

bool IsDarkText(QColor c) { return c.lightness() < 90; }

TEST(PopupGallery, FolderConfirmation) {
    ConfirmationDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QImage shot = KeepGalleryShot(dialog.grab().toImage(), "confirmation_dialog.png");
    ASSERT_EQ(shot.size(), QSize(380, 140));
    const auto* text = dialog.findChild<QLabel*>("lblText");
    const QRect textArea(text->mapTo(&dialog, QPoint(0, 0)), text->size());
    EXPECT_GT(CountPixels(shot, textArea, IsDarkText), 150);  // the question is written there
    const auto* skip = dialog.findChild<QWidget*>("btnSkip");
    EXPECT_GT(CountPixels(shot, QRect(skip->mapTo(&dialog, QPoint(0, 0)), skip->size()), IsDarkText), 40);
}

TEST(PopupGallery, ScrollDialogWithDrumNotes) {
    ScrollDialog dialog;
    dialog.setWindowTitle("Phrasor");
    QStringList lines{"These drum notes will be deleted:"};
    for (int n = 0; n < 30; ++n) lines << QString("  Ch 10: C%1, D%1, F#%1").arg(n % 8 - 2);
    dialog.setPlainText(lines.join('\n'));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QImage shot = KeepGalleryShot(dialog.grab().toImage(), "scroll_dialog.png");
    ASSERT_EQ(shot.size(), QSize(400, 200));
    const auto* edit = dialog.findChild<QTextEdit*>("textEdit");
    const QRect field(edit->viewport()->mapTo(&dialog, QPoint(0, 0)), edit->viewport()->size());
    EXPECT_GT(CountPixels(shot, field, [](QColor c) { return c == QColor(210, 210, 210); }), field.width() * 20);
    EXPECT_GT(CountPixels(shot, field, IsDarkText), 300);
    EXPECT_TRUE(edit->verticalScrollBar()->isVisible());
}

}  // namespace
