// Screenshots of the main window's form, its rows styled by the program's own
// start-up styling and dressed the way the window shows them at run time:
// every switch state, highlighted and plain target fields, unusable and empty
// rows, the conversion cover. Each PNG is kept for a person to look at and
// read back to check what it shows.
#include <gtest/gtest.h>

#include <QDir>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QTest>

#include "app/IconPushButton.h"
#include "app/MainWindow.h"
#include "app/MainWindowForm.h"
#include "app/Pictures.h"
#include "app/SimpleLabel.h"
#include "app/TransparentPushButton.h"
#include "tests/ui/GalleryShots.h"

namespace {

// What one channel row shows.
struct RowLook {
    bool used = true;    // false: the song has no such channel, the row is cleared
    bool usable = true;  // false: the channel has a message and cannot be switched on
    bool on = true;
    bool alternatives = false;
    bool recommendHeld = false;
    const char* voice = "";  // bank MSB, LSB, program
    const char* voiceName = "";
    const char* target = "";
    const char* icon = "";  // instrument icon, without _off/_on or Off/On and .bmp
    bool underscoreIcon = false;
};

QString IconPath(const RowLook& r, bool lit) {
    if (r.underscoreIcon) return QString(":/res/InstIcon/%1_%2.bmp").arg(r.icon).arg(lit ? "on" : "off");
    return QString(":/res/InstIcon/%1%2.bmp").arg(r.icon).arg(lit ? "On" : "Off");
}

QIcon TwoStateIcon(const QString& off, const QString& on) {
    QIcon icon;
    icon.addFile(off, QSize(), QIcon::Normal, QIcon::Off);
    icon.addFile(on, QSize(), QIcon::Normal, QIcon::On);
    return icon;
}

void SetTextColours(QWidget* w, const QColor& normal, const QColor& disabled) {
    QPalette p = w->palette();
    p.setColor(QPalette::Active, QPalette::WindowText, normal);
    p.setColor(QPalette::Inactive, QPalette::WindowText, normal);
    p.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    w->setPalette(p);
}

QFont RowFont(int pixels, bool bold) {
    QFont f;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// 12-pixel bold when the text fits, else 12-pixel normal, else 10-pixel
// normal, elided at the right.
void ShowFitted(QLabel* label, const QString& text) {
    const int width = label->contentsRect().width() - 2 * qMax(0, label->margin()) - qMax(0, label->indent());
    QFont font = RowFont(12, true);
    if (QFontMetrics(font).horizontalAdvance(text) >= width) font = RowFont(12, false);
    if (QFontMetrics(font).horizontalAdvance(text) >= width) font = RowFont(10, false);
    label->setFont(font);
    label->setText(QFontMetrics(font).elidedText(text, Qt::ElideRight, width));
}

// The form on a window that has the slots it connects to (they do nothing
// here: the gallery only looks).
class GalleryWindow : public QMainWindow {
    Q_OBJECT
public:
    Ui::MainWindow ui;

    GalleryWindow() {
        ui.setupUi(this);
        // The rows look as the program styles them at start-up.
        for (int n = 1; n <= 16; ++n) {
            const MainWindow::ChannelRow row{Row<SimpleLabel>("txtProgNo", n),   Row<SimpleLabel>("txtProgName", n),
                                             Row<IconPushButton>("btnAfter", n), Row<SimpleLabel>("lblIcon", n),
                                             Row<SimpleLabel>("lblAfter", n),    Row<SimpleLabel>("txtAfter", n),
                                             Row<TransparentPushButton>("cboAfter", n),
                                             Row<IconPushButton>("btnRcmd", n)};
            MainWindow::styleRowLook(row, n - 1);
        }
        setWindowTitle("Phrasor V2.1");
        setFixedSize(ui.lblBackground->width(), ui.lblBackground->height() + ui.menubar->sizeHint().height() + 1);
        ui.lblMask->hide();
        ui.lblNowConv->hide();
        ui.lblConvMovie->hide();
        ui.btnCancel->hide();
        ui.lblNowConv->setAlignment(Qt::AlignCenter);
        ui.lblNowConv->setFont(RowFont(10, true));
        SetTextColours(ui.lblNowConv, QColor(0, 255, 255), QColor(0, 255, 255));
        ShowNote(4);
    }

    template <typename T>
    T* Row(const char* family, int n) {
        return findChild<T*>(QString(family) + QString::number(n));
    }

    void ShowNote(int index) {
        const QPixmap note = QPixmap(":/res/NoteArray.bmp").copy(0, 43 * index, 67, 43);
        QIcon icon;
        icon.addPixmap(note, QIcon::Normal, QIcon::Off);
        icon.addPixmap(note, QIcon::Normal, QIcon::On);
        ui.btnNoteSelect->setIcon(icon);
        ui.btnNoteSelect->setIconSize(ui.btnNoteSelect->size());
    }

    void DressRow(int n, const RowLook& r, bool highlighted) {
        auto* progNo = Row<SimpleLabel>("txtProgNo", n);
        auto* progName = Row<SimpleLabel>("txtProgName", n);
        auto* after = Row<IconPushButton>("btnAfter", n);
        auto* icon = Row<SimpleLabel>("lblIcon", n);
        auto* field = Row<SimpleLabel>("lblAfter", n);
        auto* name = Row<SimpleLabel>("txtAfter", n);
        auto* invisible = Row<TransparentPushButton>("cboAfter", n);
        auto* recommend = Row<IconPushButton>("btnRcmd", n);
        const QList<QWidget*> all = {progNo, progName, after, icon, field, name, invisible, recommend};
        if (!r.used) {
            for (QWidget* w : all) {
                w->hide();
                w->setEnabled(false);
            }
            return;
        }
        for (QWidget* w : all) {
            w->show();
            w->setEnabled(true);
        }
        for (SimpleLabel* l : {progNo, progName}) l->setEnabled(r.usable);
        ShowFitted(progNo, r.voice);
        ShowFitted(progName, r.voiceName);
        ShowFitted(name, r.target);

        const QString base = QString(":/res/AfterBtn/After%1Btn").arg(n);
        after->setIcon(r.usable ? TwoStateIcon(base + (highlighted ? "Ent.bmp" : "On.bmp"), base + "Off.bmp")
                                : TwoStateIcon(base + "Dis.bmp", base + "Dis.bmp"));
        after->setChecked(r.usable && r.on);
        recommend->setDown(r.recommendHeld);

        icon->setPixmap(QPixmap(IconPath(r, highlighted)));
        field->setPixmap(QPixmap(highlighted      ? QString(":/res/TextBase/TextBaseOn.bmp")
                                 : r.alternatives ? QString(":/res/TextBase/TextBase%1OffMlt.bmp").arg(n)
                                                  : QString(":/res/TextBase/TextBase%1Off.bmp").arg(n)));
        const bool on = r.usable && r.on;
        icon->setVisible(on);
        field->setVisible(on);
        name->setEnabled(on);
        invisible->setEnabled(on);
        invisible->setVisible(on);
    }

    QImage Shot(const QString& file) {
        return KeepGalleryShot(grab().toImage(), file);
    }

    // Where a point of the background lies in a screenshot of the window.
    QPoint OnShot(QPoint background) const { return ui.lblBackground->mapTo(this, background); }
    QRect OnShot(QWidget* w) const { return QRect(w->mapTo(this, QPoint(0, 0)), w->size()); }

private slots:
    void open() {}
    void convert() {}
    void openFolder() {}
    void about() {}
    void cancel() {}
};

// Sixteen rows: switched on, switched off, unusable, empty, with and
// without more choices, one recommendation button held down.
// clang-format off
const RowLook kSongRows[16] = {
    // used, usable, on, more choices, recommendation held, voice, its name, target, icon, icon named with "_"
    {true, true, true, true, false, "0-0-25", "Nylon Guitar", "NylonGuitar(Hot)", "Icon_NylonGtr", true},
    {true, true, true, false, false, "0-0-26", "Steel Guitar", "SteelGuitar", "SteelG", false},
    {true, true, false, true, false, "0-0-28", "Clean Guitar", "CleanGuitar", "CleanG", false},
    {true, true, true, true, false, "0-0-34", "Finger Bass", "FingerBass(Normal)", "FingerB", false},
    {true, true, false, false, false, "0-0-1", "Grand Piano", "NylonGuitar(Smooth)", "Icon_NylonGtr", true},
    {true, true, true, true, false, "0-0-49", "Strings", "StringsEnsemble", "Icon_StringsLarge", true},
    {true, false, false, false, false, "0-0-81", "Square Lead", "", "Icon_Brass", true},
    {true, true, true, false, true, "0-0-57", "Trumpet", "Trumpet", "Icon_Trumpet", true},
    {true, true, true, false, false, "0-0-67", "Tenor Sax", "TenorSax", "Icon_TenorSax", true},
    {true, true, true, true, false, "127-0-1", "Standard Kit", "Other Drum Kits", "Icon_Drum", true},
    {true, true, true, false, false, "0-0-53", "Choir Aahs", "Choir", "Choir3", false},
    {true, true, true, true, false, "0-0-30", "Overdriven Guitar", "OverdriveGuitar(Riff)", "OrverD", false},
    {true, true, false, true, false, "0-0-36", "Fretless Bass", "FretlessBass", "FretlessB", false},
    {true, true, true, false, false, "0-0-27", "Jazz Guitar", "JazzGuitar", "JazzG", false},
    {false}, {false},  // channels the song does not use
};
// clang-format on

class MainWindowGallery : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPictures();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    void DressSong(int highlighted) {
        for (int n = 1; n <= 16; ++n) window.DressRow(n, kSongRows[n - 1], n == highlighted);
    }

    static bool IsCyan(QRgb c) { return qRed(c) < 90 && qGreen(c) > 170 && qBlue(c) > 170; }
    static bool IsNumberWhite(QRgb c) { return qRed(c) > 200 && qGreen(c) > 210 && qBlue(c) > 220; }

    static int Count(const QImage& image, const QRect& area, bool (*test)(QRgb)) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (test(image.pixel(x, y))) ++n;
        return n;
    }

    GalleryWindow window;
};

TEST_F(MainWindowGallery, RowsInEveryState) {
    DressSong(3);  // the mouse over row 3, which is switched off
    const QImage shot = window.Shot("main_rows.png");
    ASSERT_EQ(shot.width(), 718);
    EXPECT_EQ(shot.pixelColor(window.OnShot(QPoint(450, 20))), QColor(0, 56, 109));  // the panel
    EXPECT_EQ(shot.pixelColor(window.OnShot(QPoint(700, 260))), QColor(0, 56, 109));

    // Row 1 shows a target name in cyan; the empty row 16 shows none.
    const QRect name1 = window.OnShot(window.ui.txtAfter1).adjusted(2, 3, -2, -3);
    EXPECT_GT(Count(shot, name1, IsCyan), 20);
    const QRect field16(window.OnShot(QPoint(230, 480)), QSize(288, 25));
    EXPECT_EQ(Count(shot, field16, IsCyan), 0);

    // Nothing crosses a name: above and below its text, the middle of each
    // lit field shows the field's own picture.
    for (int n = 1; n <= 16; ++n) {
        auto* field = window.Row<SimpleLabel>("lblAfter", n);
        auto* name = window.Row<SimpleLabel>("txtAfter", n);
        if (!field->isVisible()) continue;
        const QImage base = field->pixmap(Qt::ReturnByValue).toImage().convertToFormat(QImage::Format_RGB32);
        const QRect onShot = window.OnShot(name);
        for (int y : {1, 23}) {
            const QPoint inField(name->width() / 2, y);
            EXPECT_EQ(QColor(shot.pixel(onShot.topLeft() + inField)).name().toStdString(),
                      QColor(base.pixel(inField)).name().toStdString())
                << "row " << n << ", y " << y;
        }
    }

    // Each row band carries its number at the left, in x 24 to 51.
    for (int n = 1; n <= 16; ++n) {
        const QRect band(window.OnShot(QPoint(24, 90 + 26 * (n - 1))), QSize(28, 26));
        EXPECT_GE(Count(shot, band, IsNumberWhite), 8) << "row " << n;
    }

    // Rows 1, 3, 5 and 7 (same stripe) show the four switch states:
    // switched on, highlighted, resting, unusable.
    QImage states[4];
    for (int i = 0; i < 4; ++i) states[i] = shot.copy(window.OnShot(window.Row<QWidget>("btnAfter", 1 + 2 * i)));
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) EXPECT_NE(states[i], states[j]) << i << " " << j;
    EXPECT_EQ(states[0], QImage(":/res/AfterBtn/After1BtnOff.bmp").convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(states[1], QImage(":/res/AfterBtn/After3BtnEnt.bmp").convertToFormat(QImage::Format_RGB32));
}

TEST_F(MainWindowGallery, HighlightedTarget) {
    DressSong(6);  // the mouse over row 6, which is switched on
    const QImage shot = window.Shot("main_highlight.png");
    ASSERT_EQ(shot.width(), 718);
    // The lit field and the lit icon: the row's whole target field frame is cyan.
    const QRect field = window.OnShot(window.ui.lblAfter6);
    EXPECT_TRUE(IsCyan(shot.pixel(field.left() + 80, field.top() + 1)));
    const QRect plain = window.OnShot(window.ui.lblAfter4);
    EXPECT_FALSE(IsCyan(shot.pixel(plain.left() + 80, plain.top() + 1)));
    EXPECT_EQ(shot.copy(window.OnShot(window.ui.lblIcon6)),
              QImage(":/res/InstIcon/Icon_StringsLarge_on.bmp").convertToFormat(QImage::Format_RGB32));
}

TEST_F(MainWindowGallery, Converting) {
    DressSong(-1);
    window.ShowNote(7);
    window.ui.btnConvert->hide();
    window.ui.btnExit->hide();
    window.ui.lblMask->show();
    window.ui.btnCancel->show();
    window.ui.lblNowConv->setText("NOW CONVERTING...");
    window.ui.lblNowConv->show();
    window.ui.lblConvMovie->setPixmap(QPixmap(":/res/Movie/MovieFrame12.bmp"));
    window.ui.lblConvMovie->show();
    const QImage shot = window.Shot("main_converting.png");
    ASSERT_EQ(shot.width(), 718);
    // The mask draws nothing: the rows still show through it.
    const QRect name1 = window.OnShot(window.ui.txtAfter1).adjusted(2, 3, -2, -3);
    EXPECT_GT(Count(shot, name1, IsCyan), 20);
    EXPECT_EQ(shot.copy(window.OnShot(window.ui.btnCancel)),
              QImage(":/res/CancelBtnOff.bmp").convertToFormat(QImage::Format_RGB32));
    EXPECT_GT(Count(shot, window.OnShot(window.ui.lblNowConv), IsCyan), 20);
}

TEST_F(MainWindowGallery, FreshWindowWithoutASong) {
    DressSong(-1);
    for (int n = 1; n <= 16; ++n) window.DressRow(n, RowLook{false}, false);
    const QImage shot = window.Shot("main_empty.png");
    ASSERT_EQ(shot.width(), 718);
    EXPECT_EQ(shot.copy(window.OnShot(window.ui.btnConvert)),
              QImage(":/res/ConvBtnOff.bmp").convertToFormat(QImage::Format_RGB32));
    const QRect rows(window.OnShot(QPoint(230, 90)), QSize(288, 26 * 16));
    EXPECT_EQ(Count(shot, rows, IsCyan), 0);
}

// Every picture on one sheet, at twice its size, for a person to look over.
TEST(PictureSheet, AllPictures) {
    RegisterPictures();
    QStringList paths;
    for (const QString& dir : {QString(":/res"), QString(":/res/AfterBtn"), QString(":/res/TextBase"),
                               QString(":/res/RcmdBtn"), QString(":/res/InstIcon"), QString(":/res/Movie")})
        for (const QString& file : QDir(dir).entryList(QDir::Files, QDir::Name)) paths << dir + "/" + file;
    ASSERT_EQ(paths.size(), 231);
    const int width = 1600, gap = 6;
    QList<QPoint> places;
    int x = 0, y = 0, rowHeight = 0;
    for (const QString& p : paths) {
        const QSize s = QImage(p).size() * 2;
        if (x + s.width() > width) {
            x = 0;
            y += rowHeight + gap;
            rowHeight = 0;
        }
        places << QPoint(x, y);
        x += s.width() + gap;
        rowHeight = qMax(rowHeight, s.height());
    }
    QImage sheet(width, y + rowHeight, QImage::Format_RGB32);
    sheet.fill(QColor(40, 40, 40));
    QPainter painter(&sheet);
    for (int i = 0; i < paths.size(); ++i) {
        const QImage image(paths[i]);
        painter.drawImage(QRect(places[i], image.size() * 2), image);
    }
    painter.end();
    const QString file = GalleryShotsDir() + "/pictures.png";
    ASSERT_TRUE(sheet.save(file));
    EXPECT_EQ(QImage(file).size(), sheet.size());
}

}  // namespace

#include "MainWindowGalleryTest.moc"
