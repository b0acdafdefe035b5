// Choosing per channel in the real window (offscreen, fake core, Brune2):
// the three popups, the row pictures and hover, the recommendation, the model
// and the beat resolution.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "app/BeatMapWidget.h"
#include "tests/app/MainWindowSongWindow.h"

namespace {

QStringList ItemTexts(const QListWidget* list) {
    QStringList texts;
    for (int k = 0; k < list->count(); ++k) texts << list->item(k)->text();
    return texts;
}

QImage Rgb(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_RGB32); }
QImage Rgb(const QString& path) { return QImage(path).convertToFormat(QImage::Format_RGB32); }

QRect GlobalRectOf(const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); }

// Clicks the item of the popup whose text is `text`.
void ClickItem(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(found[0]).center());
}

void Hover(QWidget* w, bool enter) {
    QEvent event(enter ? QEvent::Enter : QEvent::Leave);
    QApplication::sendEvent(w, &event);
}

}  // namespace

TEST(MainWindowChoice, TheCascadeChoosesANylonGuitarOnThePianoRow) {
    SongWindow w;
    w.window.openFile(w.copySong("TheEntertainer.mid"));
    const auto& r = w.row(0);
    QTest::mouseClick(r.btnAfter, Qt::LeftButton);
    ASSERT_TRUE(r.cboAfter->isVisible());
    AfterNameListWidget* p1 = w.window.popup(1);
    AfterNameListWidget* p2 = w.window.popup(2);
    AfterNameListWidget* p3 = w.window.popup(3);

    QTest::mousePress(r.cboAfter, Qt::LeftButton);
    QTest::mouseRelease(r.cboAfter, Qt::LeftButton);
    ASSERT_TRUE(p1->isVisible());
    EXPECT_EQ(w.window.popupChannel(), 0);
    ASSERT_NE(p1->currentItem(), nullptr);
    EXPECT_EQ(p1->currentItem()->text(), QString("SteelGuitar"));
    EXPECT_EQ(ItemTexts(p1).mid(ItemTexts(p1).size() - 2), (QStringList{"Other Normal Voices", "* Other Drum Kits"}));
    // List 1 lies on the field: same left edge and width, its top on the
    // field's last pixel row, as many rows as items (at most 24) plus 4.
    const QRect field = GlobalRectOf(r.cboAfter);
    EXPECT_EQ(p1->geometry().left(), field.left());
    EXPECT_EQ(p1->geometry().width(), field.width());
    EXPECT_EQ(p1->geometry().top(), field.bottom());
    EXPECT_EQ(p1->geometry().height(), p1->sizeHintForRow(0) * std::min(p1->count(), 24) + 4);

    ClickItem(p1, "Other Normal Voices");
    EXPECT_FALSE(p1->isVisible());
    ASSERT_TRUE(p2->isVisible());
    EXPECT_TRUE(p2->showMarker());
    EXPECT_EQ(p2->geometry().topLeft(), QPoint(field.left(), field.bottom()));
    QStringList categories;
    ASSERT_GE(w.window.channelSelector()->GetCategoryNames(0, &categories, false), 0);
    EXPECT_EQ(ItemTexts(p2), categories);
    EXPECT_TRUE(categories.contains("NylonGuitar"));
    EXPECT_EQ(w.window.popupChannel(), 0);

    ClickItem(p2, "NylonGuitar");
    ASSERT_TRUE(p3->isVisible());
    ASSERT_NE(p2->currentItem(), nullptr);
    EXPECT_EQ(p2->currentItem()->text(), QString("NylonGuitar"));
    EXPECT_EQ(p3->openerItem(), p2->currentItem());
    QStringList nylon;
    ASSERT_GE(w.window.channelSelector()->GetCategoryTargetNames(0, "NylonGuitar", &nylon), 0);
    EXPECT_EQ(ItemTexts(p3), nylon);
    const QRect item(p2->viewport()->mapToGlobal(p2->visualItemRect(p2->currentItem()).topLeft()),
                     p2->visualItemRect(p2->currentItem()).size());
    EXPECT_EQ(p3->geometry().top(), item.bottom() + 1);
    EXPECT_EQ(p3->geometry().left(), field.left() + (field.width() - 1) / 2);
    // The same category again closes list 3; clicking it once more reopens it.
    ClickItem(p2, "NylonGuitar");
    EXPECT_FALSE(p3->isVisible());
    EXPECT_TRUE(p2->isVisible());
    ClickItem(p2, "NylonGuitar");
    ASSERT_TRUE(p3->isVisible());

    ClickItem(p3, "NylonGuitar(Smooth)");
    EXPECT_FALSE(p1->isVisible());
    EXPECT_FALSE(p2->isVisible());
    EXPECT_FALSE(p3->isVisible());
    EXPECT_EQ(w.window.popupChannel(), -1);
    EXPECT_EQ(r.txtAfter->text(), QString("NylonGuitar(Smooth)"));
    QString name;
    ASSERT_GE(w.window.channelSelector()->GetTargetName(0, &name), 0);
    EXPECT_EQ(name, QString("NylonGuitar(Smooth)"));
    BYTE msb = 0, lsb = 0, program = 0;
    int row = -1;
    bool option = true;
    ASSERT_GE(w.window.channelSelector()->GetTarget(0, &msb, &lsb, &program, &row, &option), 0);
    EXPECT_EQ(row, 1);

    // Recommend gives the recommended target back.
    QTest::mouseClick(r.btnRcmd, Qt::LeftButton);
    ASSERT_GE(w.window.channelSelector()->GetTargetName(0, &name), 0);
    EXPECT_EQ(r.txtAfter->text(), name);
    bool on = false;
    ASSERT_GE(w.window.channelSelector()->IsChannelOn(0, &on), 0);
    EXPECT_EQ(r.btnAfter->isChecked(), on);
}

TEST(MainWindowChoice, TheDrumRowOfBeatOffersTheKitsAndTheOtherKits) {
    SongWindow w;
    w.window.openFile(w.copySong("beat.mid"));
    const auto& r = w.row(9);
    EXPECT_TRUE(r.btnAfter->isChecked());
    EXPECT_EQ(r.txtAfter->text(), QString("PopDrumKit(HalfOpen)"));
    QString iconPath;
    ASSERT_GE(w.window.channelSelector()->GetIconOff(9, &iconPath), 0);
    EXPECT_TRUE(iconPath.contains("Drum", Qt::CaseInsensitive)) << iconPath.toStdString();
    EXPECT_EQ(Rgb(r.lblIcon->pixmap(Qt::ReturnByValue)), Rgb(iconPath));

    QTest::mousePress(r.cboAfter, Qt::LeftButton);
    QTest::mouseRelease(r.cboAfter, Qt::LeftButton);
    AfterNameListWidget* p1 = w.window.popup(1);
    ASSERT_TRUE(p1->isVisible());
    const QStringList offered = ItemTexts(p1);
    ASSERT_EQ(offered.size(), 26);
    EXPECT_EQ(offered[24], QString("Other Drum Kits"));
    EXPECT_EQ(offered[25], QString("* Other Normal Voices"));
    // 24 rows shown at most.
    EXPECT_EQ(p1->geometry().height(), p1->sizeHintForRow(0) * 24 + 4);

    ClickItem(p1, "Other Drum Kits");
    AfterNameListWidget* p2 = w.window.popup(2);
    ASSERT_TRUE(p2->isVisible());
    EXPECT_EQ(ItemTexts(p2), (QStringList{"StdDrum", "JazzBrushComp", "JazzBrushExp", "JazzStickKit"}));
    ASSERT_NE(p2->currentItem(), nullptr);
    EXPECT_EQ(p2->currentItem()->text(), QString("StdDrum"));
}

