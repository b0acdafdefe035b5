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

    bool alternatives = false;
    ASSERT_GE(w.window.channelSelector()->HasAlternatives(9, &alternatives), 0);
    // The kit has alternatives: its plain field shows the Mlt picture.
    EXPECT_TRUE(alternatives);
    p1->close();
    EXPECT_EQ(Rgb(r.lblAfter->pixmap(Qt::ReturnByValue)), Rgb(QString(":/res/TextBase/TextBase10OffMlt.bmp")));
    QTest::mousePress(r.cboAfter, Qt::LeftButton);
    QTest::mouseRelease(r.cboAfter, Qt::LeftButton);
    ASSERT_TRUE(p1->isVisible());
    ClickItem(p1, "Other Drum Kits");
    AfterNameListWidget* p2 = w.window.popup(2);
    ASSERT_TRUE(p2->isVisible());
    EXPECT_EQ(ItemTexts(p2), (QStringList{"StdDrum", "JazzBrushComp", "JazzBrushExp", "JazzStickKit"}));
    ASSERT_NE(p2->currentItem(), nullptr);
    EXPECT_EQ(p2->currentItem()->text(), QString("StdDrum"));
}


namespace {

// A song that plays a short phrase on each of the given channels.
QString SongOnChannels(SongWindow& w, const QString& name, std::initializer_list<BYTE> channels) {
    CSmf smf;
    smf.Clear();
    smf.GetHead().Format = 1;
    smf.GetHead().Division = 480;
    smf.GetTracks().push_back(std::make_unique<CTrk>());
    auto add = [](CTrk& track, DWORD time, BYTE status, BYTE channel, BYTE d1, BYTE d2) {
        auto e = std::make_unique<CEvnt>();
        e->SetTime(time);
        e->SetStatus(status);
        e->SetChannel(channel);
        e->SetDataBytes(d1, d2);
        track.InsertSorted(std::move(e));
    };
    CTrk& track = *smf.GetTracks().back();
    for (BYTE ch : channels) {
        add(track, 480, 0x90, ch, 60, 100);
        add(track, 720, 0x90, ch, 60, 0);
    }
    auto eot = std::make_unique<CEvnt>();
    eot->SetTime(960);
    eot->SetStatus(0xFF);
    eot->SetMetaType(0x2F);
    track.InsertSorted(std::move(eot));
    return w.writeSong(name, smf);
}

QImage ButtonPicture(const IconPushButton* b, QIcon::State state) {
    return Rgb(b->icon().pixmap(b->size(), QIcon::Normal, state));
}

QString AfterPicture(int ch, const char* state) {
    return QString(":/res/AfterBtn/After%1Btn%2.bmp").arg(ch + 1).arg(state);
}

}  // namespace

TEST(MainWindowChoice, RowPicturesFollowHoverAndPopupAndTheHighlightStaysWhileAPopupIsOpen) {
    SongWindow w;
    w.window.openFile(SongOnChannels(w, "two.mid", {0, 1}));
    ASSERT_TRUE(w.messages().isEmpty());
    auto sel = w.window.channelSelector();
    for (int ch : {0, 1}) QTest::mouseClick(w.row(ch).btnAfter, Qt::LeftButton);
    const auto look = [&](int ch, bool highlighted) {
        SCOPED_TRACE(QString("row %1 %2").arg(ch + 1).arg(highlighted ? "highlighted" : "plain").toStdString());
        const auto& r = w.row(ch);
        // Inverted: the down (on) state shows the Off picture.
        EXPECT_EQ(ButtonPicture(r.btnAfter, QIcon::On), Rgb(AfterPicture(ch, "Off")));
        EXPECT_EQ(ButtonPicture(r.btnAfter, QIcon::Off), Rgb(AfterPicture(ch, highlighted ? "Ent" : "On")));
        QString icon;
        ASSERT_GE(highlighted ? sel->GetIconOn(BYTE(ch), &icon) : sel->GetIconOff(BYTE(ch), &icon), 0);
        EXPECT_EQ(Rgb(r.lblIcon->pixmap(Qt::ReturnByValue)), Rgb(icon));
        bool alternatives = false;
        ASSERT_GE(sel->HasAlternatives(BYTE(ch), &alternatives), 0);
        const QString base = highlighted ? QString(":/res/TextBase/TextBaseOn.bmp")
                                         : QString(":/res/TextBase/TextBase%1%2.bmp")
                                               .arg(ch + 1)
                                               .arg(alternatives ? "OffMlt" : "Off");
        EXPECT_EQ(Rgb(r.lblAfter->pixmap(Qt::ReturnByValue)), Rgb(base));
    };
    look(0, false);
    look(1, false);

    Hover(w.row(0).cboAfter, true);
    EXPECT_EQ(w.window.mouseChannel(), 0);
    look(0, true);
    Hover(w.row(0).cboAfter, false);
    Hover(w.row(1).lblIcon, true);
    look(0, false);
    look(1, true);
    Hover(w.row(1).lblIcon, false);
    look(1, false);

    // A popup on row 1: hovering row 2 moves nothing.
    Hover(w.row(0).cboAfter, true);
    QTest::mousePress(w.row(0).cboAfter, Qt::LeftButton);
    QTest::mouseRelease(w.row(0).cboAfter, Qt::LeftButton);
    ASSERT_TRUE(w.window.popup(1)->isVisible());
    Hover(w.row(0).cboAfter, false);
    Hover(w.row(1).btnAfter, true);
    EXPECT_EQ(w.window.popupChannel(), 0);
    EXPECT_EQ(w.window.mouseChannel(), 1);
    look(0, true);
    look(1, false);
    // Closed: the row under the mouse takes the highlight.
    w.window.popup(1)->close();
    EXPECT_EQ(w.window.popupChannel(), -1);
    look(0, false);
    look(1, true);
}

TEST(MainWindowChoice, APopupOfTheLastRowNearTheScreensBottomOpensAboveItsField) {
    SongWindow w;
    w.window.openFile(SongOnChannels(w, "low.mid", {15}));
    ASSERT_TRUE(w.messages().isEmpty());
    const auto& r = w.row(15);
    QTest::mouseClick(r.btnAfter, Qt::LeftButton);
    ASSERT_TRUE(r.cboAfter->isVisible());
    const QRect area = w.window.screen()->availableGeometry();
    const int below = GlobalRectOf(r.cboAfter).bottom() - w.window.geometry().top();
    w.window.move(w.window.x(), area.bottom() - below - 10);
    QApplication::processEvents();
    const QRect field = GlobalRectOf(r.cboAfter);
    ASSERT_GT(field.bottom() + 100, area.bottom());

    QTest::mousePress(r.cboAfter, Qt::LeftButton);
    QTest::mouseRelease(r.cboAfter, Qt::LeftButton);
    AfterNameListWidget* p1 = w.window.popup(1);
    ASSERT_TRUE(p1->isVisible());
    EXPECT_EQ(p1->geometry().bottom(), field.top());
    EXPECT_EQ(p1->geometry().left(), field.left());
    // List 3 of a low category goes above its item as well.
    ClickItem(p1, "Other Normal Voices");
    AfterNameListWidget* p2 = w.window.popup(2);
    ASSERT_TRUE(p2->isVisible());
    EXPECT_EQ(p2->geometry().bottom(), field.top());
    QListWidgetItem* last = p2->item(p2->count() - 1);
    ClickItem(p2, last->text());
    AfterNameListWidget* p3 = w.window.popup(3);
    ASSERT_TRUE(p3->isVisible());
    const QRect item(p2->viewport()->mapToGlobal(p2->visualItemRect(last).topLeft()), p2->visualItemRect(last).size());
    if (item.bottom() + 1 + p3->height() - 1 > area.bottom())
        EXPECT_EQ(p3->geometry().bottom(), item.top() - 1);
    else
        EXPECT_EQ(p3->geometry().top(), item.bottom() + 1);
    EXPECT_LE(p3->geometry().bottom(), area.bottom());
}

TEST(MainWindowChoice, AModelChangeResetsTheRememberedTargetsAndReDerivesTheRows) {
    SongWindow w;
    CVexaChSelector::AlgLastSelValues defaults{};
    ASSERT_GE(w.window.channelSelector()->GetAlgLastSelAll(&defaults), 0);
    w.window.openFile(w.copySong("TheEntertainer.mid"));
    const auto& r = w.row(0);
    QTest::mouseClick(r.btnAfter, Qt::LeftButton);
    QTest::mousePress(r.cboAfter, Qt::LeftButton);
    QTest::mouseRelease(r.cboAfter, Qt::LeftButton);
    ClickItem(w.window.popup(1), "SteelAcousticSlap");
    ASSERT_EQ(r.txtAfter->text(), QString("SteelAcousticSlap"));
    // Remembered targets of their own: the first row of each category.
    const CVexaChSelector::AlgLastSelValues firstRows{0, 26, 33, 45, 52, 54, 82, 84, 120, 147};
    ASSERT_NE(firstRows, defaults);
    ASSERT_GE(w.window.channelSelector()->SetAlgLastSelAll(firstRows), 0);
    CVexaChSelector::AlgLastSelValues chosen{};
    ASSERT_GE(w.window.channelSelector()->GetAlgLastSelAll(&chosen), 0);
    ASSERT_EQ(chosen, firstRows);

    QStringList models;
    ASSERT_GE(w.window.channelSelector()->GetModelNameList(&models), 0);
    ASSERT_GE(models.size(), 2);
    const QString other = models[0] == "Brune2" ? models[1] : models[0];
    for (const QString& model : {other, QString("Brune2")}) {
        SCOPED_TRACE(model.toStdString());
        w.chooseModel(model);
        QString current;
        ASSERT_GE(w.window.channelSelector()->GetModelName(&current), 0);
        EXPECT_EQ(current, model);
        CVexaChSelector::AlgLastSelValues now{};
        ASSERT_GE(w.window.channelSelector()->GetAlgLastSelAll(&now), 0);
        EXPECT_EQ(now, defaults);
        QString name;
        ASSERT_GE(w.window.channelSelector()->GetTargetName(0, &name), 0);
        EXPECT_EQ(r.txtAfter->text(), name);
        QPixmap picture;
        ASSERT_GE(w.window.channelSelector()->GetModelPicture(&picture), 0);
        EXPECT_EQ(Rgb(w.window.form().lblModel->pixmap(Qt::ReturnByValue)), Rgb(picture));
    }
    EXPECT_EQ(r.txtAfter->text(), QString("SteelGuitar"));
    EXPECT_TRUE(w.messages().isEmpty());
}

TEST(MainWindowChoice, ThePickerSetsTheBeatResolutionAndADismissedOneKeepsIt) {
    SongWindow w;
    w.window.openFile(w.copySong("TheEntertainer.mid"));
    BeatMapWidget* picker = w.window.beatPicker();
    const auto noteShown = [&] {
        return Rgb(w.window.form().btnNoteSelect->icon().pixmap(QSize(67, 43)));
    };
    QTest::mouseClick(w.window.form().btnNoteSelect, Qt::LeftButton);
    ASSERT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->index(), 4);
    const QPoint corner = w.window.form().btnNoteSelect->mapToGlobal(
        QPoint(0, w.window.form().btnNoteSelect->height() - 1));
    EXPECT_EQ(picker->pos(), corner);
    picker->done(11);
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(w.window.beatResolutionIndex(), 11);
    EXPECT_EQ(noteShown(), Rgb(MainWindow::notePicture(11)));

    QTest::mouseClick(w.window.form().btnNoteSelect, Qt::LeftButton);
    ASSERT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->index(), 11);
    picker->reject();
    EXPECT_EQ(w.window.beatResolutionIndex(), 11);
    EXPECT_EQ(noteShown(), Rgb(MainWindow::notePicture(11)));
}

TEST(MainWindowChoice, ALongTargetNameFallsToNormalThenToTenPixelsThenIsElided) {
    SongWindow w;
    SimpleLabel* label = const_cast<SimpleLabel*>(w.row(0).txtAfter);
    const int width = label->contentsRect().width() - 2 * std::max(label->margin(), 0) -
                      std::max(label->indent(), 0);
    QFont bold, normal, small;
    bold.setPixelSize(12);
    bold.setWeight(QFont::Bold);
    normal.setPixelSize(12);
    normal.setWeight(QFont::Normal);
    small.setPixelSize(10);
    small.setWeight(QFont::Normal);
    // One text of each kind, found by growing a name.
    QString fitsBold, fitsNormal, fitsSmall, tooLong;
    for (QString text = "N"; text.size() < 200; text += "ylonGuitar"[text.size() % 10]) {
        const int b = QFontMetrics(bold).horizontalAdvance(text);
        const int n = QFontMetrics(normal).horizontalAdvance(text);
        const int s = QFontMetrics(small).horizontalAdvance(text);
        if (b < width) fitsBold = text;
        else if (n < width && fitsNormal.isEmpty()) fitsNormal = text;
        else if (n >= width && s < width && fitsSmall.isEmpty()) fitsSmall = text;
        else if (s >= width + 20 && tooLong.isEmpty()) tooLong = text;
    }
    ASSERT_FALSE(fitsNormal.isEmpty());
    ASSERT_FALSE(fitsSmall.isEmpty());
    ASSERT_FALSE(tooLong.isEmpty());
    struct Case {
        QString text;
        int pixels;
        bool isBold, elided;
    };
    for (const Case& c : {Case{fitsBold, 12, true, false}, Case{fitsNormal, 12, false, false},
                          Case{fitsSmall, 10, false, false}, Case{tooLong, 10, false, true}}) {
        SCOPED_TRACE(c.text.toStdString());
        MainWindow::setFittedText(label, c.text);
        EXPECT_EQ(label->font().pixelSize(), c.pixels);
        EXPECT_EQ(label->font().bold(), c.isBold);
        if (c.elided) {
            EXPECT_NE(label->text(), c.text);
            EXPECT_TRUE(label->text().endsWith(QChar(0x2026)));
            EXPECT_LE(QFontMetrics(small).horizontalAdvance(label->text()), width);
        } else {
            EXPECT_EQ(label->text(), c.text);
        }
    }
}
