// The pictures under ":/res/": every name the window and its lists use is
// there at its size, each BMP is 24-bit uncompressed, nothing else is there,
// and the drawing tool's check notices a file that differs.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "app/Pictures.h"

namespace {

struct PictureSize {
    QString path;  // under ":/res/"
    int w, h;
};

// The instrument icons of the algorithm table, by id pair.
const char* const kInstIconNames[] = {
    "Icon_NylonGtr_off.bmp",
    "Icon_NylonGtr_on.bmp",
    "SteelGOff.bmp",
    "SteelGOn.bmp",
    "12StringOff.bmp",
    "12StringOn.bmp",
    "CleanGOff.bmp",
    "CleanGOn.bmp",
    "Icon_CleanGtr-A_off.bmp",
    "Icon_CleanGtr-A_on.bmp",
    "Icon_CleanGtr-B_off.bmp",
    "Icon_CleanGtr-B_on.bmp",
    "StratOff.bmp",
    "StratOn.bmp",
    "Tele1Off.bmp",
    "Tele1On.bmp",
    "Tele2Off.bmp",
    "Tele2On.bmp",
    "OrverDOff.bmp",
    "OrverDOn.bmp",
    "DistortionOff.bmp",
    "DistortionOn.bmp",
    "JazzGOff.bmp",
    "JazzGOn.bmp",
    "Icon_EthnicGtr_off.bmp",
    "Icon_EthnicGtr_on.bmp",
    "AcoBOff.bmp",
    "AcoBOn.bmp",
    "FingerBOff.bmp",
    "FingerBOn.bmp",
    "PrecRWOff.bmp",
    "PrecRWOn.bmp",
    "PrecFWOff.bmp",
    "PrecFWOn.bmp",
    "PickBOff.bmp",
    "PickBOn.bmp",
    "PrecPickOff.bmp",
    "PrecPickOn.bmp",
    "FretlessBOff.bmp",
    "FretlessBOn.bmp",
    "Icon_StringsSmall_off.bmp",
    "Icon_StringsSmall_on.bmp",
    "Icon_StringsLarge_off.bmp",
    "Icon_StringsLarge_on.bmp",
    "Icon_Brass_off.bmp",
    "Icon_Brass_on.bmp",
    "Icon_Trumpet_off.bmp",
    "Icon_Trumpet_on.bmp",
    "Icon_TenorSax_off.bmp",
    "Icon_TenorSax_on.bmp",
    "Choir1Off.bmp",
    "Choir1On.bmp",
    "Choir3Off.bmp",
    "Choir3On.bmp",
    "Choir5Off.bmp",
    "Choir5On.bmp",
    "Icon_Drum_off.bmp",
    "Icon_Drum_on.bmp",
    "DebugIOn.bmp",
};

std::vector<PictureSize> ExpectedPictures() {
    std::vector<PictureSize> out = {
        {"Background.bmp", 718, 535}, {"Phrasor16.png", 16, 16},
        {"Phrasor32.png", 32, 32},    {"ConvBtnOff.bmp", 95, 43},
        {"ConvBtnOn.bmp", 95, 43},    {"CancelBtnOff.bmp", 95, 43},
        {"CancelBtnOn.bmp", 95, 43},  {"ExitBtnOff.bmp", 67, 34},
        {"ExitBtnOn.bmp", 67, 34},    {"BeatResoText.bmp", 94, 13},
        {"NoteArray.bmp", 67, 645},   {"BeatMap.bmp", 136, 97},
        {"NoteOnArray.bmp", 26, 465}, {"TextBase/TextBaseOn.bmp", 171, 25},
    };
    for (int n = 1; n <= 16; ++n) {
        for (const char* s : {"Off", "Ent", "On", "Dis"})
            out.push_back({QString("AfterBtn/After%1Btn%2.bmp").arg(n).arg(s), 30, 25});
        out.push_back({QString("TextBase/TextBase%1Off.bmp").arg(n), 171, 25});
        out.push_back({QString("TextBase/TextBase%1OffMlt.bmp").arg(n), 171, 25});
        out.push_back({QString("RcmdBtn/Rcmd%1BtnOff.bmp").arg(n), 48, 25});
        out.push_back({QString("RcmdBtn/Rcmd%1BtnOn.bmp").arg(n), 48, 25});
    }
    for (const char* name : kInstIconNames) out.push_back({QString("InstIcon/") + name, 39, 25});
    for (int f = 1; f <= 30; ++f) out.push_back({QString("Movie/MovieFrame%1.bmp").arg(f, 2, 10, QChar('0')), 133, 51});
    return out;
}

uint32_t LittleEndian(const QByteArray& bytes, int at, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | uint8_t(bytes[at + i]);
    return v;
}

TEST(Pictures, EveryNameLoadsAtItsSize) {
    RegisterPictures();
    const auto expected = ExpectedPictures();
    ASSERT_EQ(expected.size(), 231u);
    for (const auto& pic : expected) {
        const QString path = ":/res/" + pic.path;
        const QImage image(path);
        ASSERT_FALSE(image.isNull()) << qPrintable(path);
        EXPECT_EQ(image.width(), pic.w) << qPrintable(path);
        EXPECT_EQ(image.height(), pic.h) << qPrintable(path);
    }
}

TEST(Pictures, BitmapsAre24BitUncompressed) {
    RegisterPictures();
    for (const auto& pic : ExpectedPictures()) {
        if (!pic.path.endsWith(".bmp")) continue;
        QFile f(":/res/" + pic.path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(pic.path);
        const QByteArray bytes = f.readAll();
        ASSERT_GE(bytes.size(), 54) << qPrintable(pic.path);
        EXPECT_EQ(bytes.left(2), QByteArray("BM")) << qPrintable(pic.path);
        EXPECT_EQ(LittleEndian(bytes, 14, 4), 40u) << qPrintable(pic.path);  // info header
        EXPECT_EQ(LittleEndian(bytes, 18, 4), uint32_t(pic.w)) << qPrintable(pic.path);
        EXPECT_EQ(LittleEndian(bytes, 22, 4), uint32_t(pic.h)) << qPrintable(pic.path);
        EXPECT_EQ(LittleEndian(bytes, 28, 2), 24u) << qPrintable(pic.path);  // bits per pixel
        EXPECT_EQ(LittleEndian(bytes, 30, 4), 0u) << qPrintable(pic.path);   // no compression
        const uint32_t stride = (uint32_t(pic.w) * 3 + 3) & ~3u;
        EXPECT_EQ(uint32_t(bytes.size()), 54 + stride * uint32_t(pic.h)) << qPrintable(pic.path);
    }
}

TEST(Pictures, ResourcesHoldNothingElse) {
    RegisterPictures();
    QSet<QString> expected;
    for (const auto& pic : ExpectedPictures()) expected.insert(":/res/" + pic.path);
    QSet<QString> found;
    QDirIterator it(":/res", QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) found.insert(it.next());
    EXPECT_EQ(found, expected);
}

QImage Part(const QString& path, const QRect& r) {
    return QImage(":/res/" + path).convertToFormat(QImage::Format_RGB32).copy(r);
}

void ExpectAllDistinct(const std::vector<QImage>& parts, const char* what) {
    for (size_t i = 0; i < parts.size(); ++i)
        for (size_t j = i + 1; j < parts.size(); ++j) EXPECT_NE(parts[i], parts[j]) << what << " " << i << " " << j;
}

// Pictures that stand for different things must look different: the note
// values of the beat grid (normal, lit, on the button), the switch states,
// plain and "more choices" fields, muted and lit icons.
TEST(Pictures, DifferentMeaningsLookDifferent) {
    RegisterPictures();
    std::vector<QImage> grid, lit, notes;
    for (int k = 0; k < 15; ++k) {
        grid.push_back(Part("BeatMap.bmp", QRect(1 + 27 * (k / 3), 1 + 32 * (k % 3), 26, 31)));
        lit.push_back(Part("NoteOnArray.bmp", QRect(0, 31 * k, 26, 31)));
        notes.push_back(Part("NoteArray.bmp", QRect(0, 43 * k, 67, 43)));
        EXPECT_NE(grid[k], lit[k]) << "cell " << k;
    }
    ExpectAllDistinct(grid, "BeatMap cell");
    ExpectAllDistinct(lit, "NoteOnArray cell");
    ExpectAllDistinct(notes, "NoteArray picture");
    // The grid's one-pixel lines between the cells are all of one colour.
    const QImage map = Part("BeatMap.bmp", QRect(0, 0, 136, 97));
    const QRgb line = map.pixel(0, 0);
    for (int c = 0; c <= 5; ++c)
        for (int y = 0; y < 97; ++y) EXPECT_EQ(map.pixel(27 * c, y), line) << "column line " << c << " y " << y;
    for (int r = 0; r <= 3; ++r)
        for (int x = 0; x < 136; ++x) EXPECT_EQ(map.pixel(x, 32 * r), line) << "row line " << r << " x " << x;

    for (int n = 1; n <= 16; ++n) {
        std::vector<QImage> states;
        for (const char* s : {"Off", "Ent", "On", "Dis"})
            states.push_back(Part(QString("AfterBtn/After%1Btn%2.bmp").arg(n).arg(s), QRect(0, 0, 30, 25)));
        ExpectAllDistinct(states, "switch state");
        const QRect field(0, 0, 171, 25);
        EXPECT_NE(Part(QString("TextBase/TextBase%1Off.bmp").arg(n), field),
                  Part(QString("TextBase/TextBase%1OffMlt.bmp").arg(n), field));
        EXPECT_NE(Part(QString("TextBase/TextBase%1Off.bmp").arg(n), field), Part("TextBase/TextBaseOn.bmp", field));
        EXPECT_NE(Part(QString("RcmdBtn/Rcmd%1BtnOff.bmp").arg(n), QRect(0, 0, 48, 25)),
                  Part(QString("RcmdBtn/Rcmd%1BtnOn.bmp").arg(n), QRect(0, 0, 48, 25)));
    }
    std::vector<QImage> icons;
    for (size_t i = 0; i + 1 < std::size(kInstIconNames); i += 2) {
        const QImage off = Part(QString("InstIcon/") + kInstIconNames[i], QRect(0, 0, 39, 25));
        EXPECT_NE(off, Part(QString("InstIcon/") + kInstIconNames[i + 1], QRect(0, 0, 39, 25))) << kInstIconNames[i];
        icons.push_back(off);
    }
    ExpectAllDistinct(icons, "instrument icon");
    std::vector<QImage> frames;
    for (int f = 1; f <= 30; ++f)
        frames.push_back(Part(QString("Movie/MovieFrame%1.bmp").arg(f, 2, 10, QChar('0')), QRect(0, 0, 133, 51)));
    ExpectAllDistinct(frames, "movie frame");
}

// The tool's own check must fail on a picture that is not what it draws,
// or the comparison test would pass on anything.
TEST(Pictures, ToolCheckNoticesAChangedFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString tool = QString::fromUtf8(VEXA_MAKE_PICTURES);
    EXPECT_EQ(QProcess::execute(tool, {dir.path()}), 0);
    EXPECT_EQ(QProcess::execute(tool, {"--check", dir.path()}), 0);

    QFile f(dir.path() + "/AfterBtn/After7BtnEnt.bmp");
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    bytes[54 + 3 * 15] = char(bytes[54 + 3 * 15] ^ 0x01);  // one colour step of one pixel
    f.seek(0);
    f.write(bytes);
    f.close();
    QProcess check;
    check.start(tool, {"--check", dir.path()});
    ASSERT_TRUE(check.waitForFinished(60000));
    EXPECT_EQ(check.exitCode(), 1);
    EXPECT_TRUE(check.readAllStandardError().contains("After7BtnEnt.bmp"));
}

}  // namespace
