// Draws every picture of the desktop program's resources (res/) and the
// resource list res/res.qrc.
//
//   make_pictures <res folder>           writes the files
//   make_pictures --check <res folder>   draws them again in memory and
//                                        compares with the files there
//
// Texts are drawn with the pixel fonts below, never with a system font, and
// shapes without antialiasing, so the output is the same on every machine.
// BMP files are written by hand: 24 bits, uncompressed, bottom-up rows.
#include <QByteArray>
#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

// ---------------------------------------------------------------- colours

const QColor kNavy(0, 56, 109);          // the panel
const QColor kDeep(0, 36, 74);           // insets, fields
const QColor kCyan(0, 255, 255);         // target names, lit states
const QColor kFrame(46, 104, 158);       // frame lines on the panel
const QColor kMuted(110, 140, 170);      // muted drawings
const QColor kLabel(196, 214, 232);      // captions on the panel
const QColor kBeforeText(51, 102, 102);  // the rows' "Before" text colour
const QColor kGray(150, 163, 179);       // unusable things
const QColor kWhite(236, 244, 250);

// Row stripes: odd rows (1, 3, ...) are a little lighter than even ones.
QColor BeforeCell(int row) { return row % 2 ? QColor(222, 231, 238) : QColor(204, 217, 228); }
QColor AfterCell(int row) { return row % 2 ? QColor(0, 48, 94) : QColor(0, 41, 82); }
QColor ChCell(int row) { return row % 2 ? QColor(0, 30, 64) : QColor(0, 24, 54); }

// ---------------------------------------------------------------- pixel fonts

// 5 x 7 glyphs, one byte per row, bit 4 the leftmost pixel.
struct Glyph5 {
    char c;
    uint8_t rows[7];
};
const Glyph5 kFont5[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'a', {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F}}, {'b', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x1E}},
    {'c', {0x00, 0x00, 0x0E, 0x10, 0x10, 0x11, 0x0E}}, {'d', {0x01, 0x01, 0x0D, 0x13, 0x11, 0x11, 0x0F}},
    {'e', {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E}}, {'f', {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}},
    {'g', {0x00, 0x0F, 0x11, 0x11, 0x0F, 0x01, 0x0E}}, {'h', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x11}},
    {'i', {0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E}}, {'j', {0x02, 0x00, 0x06, 0x02, 0x02, 0x12, 0x0C}},
    {'k', {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12}}, {'l', {0x0C, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'m', {0x00, 0x00, 0x1A, 0x15, 0x15, 0x11, 0x11}}, {'n', {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11}},
    {'o', {0x00, 0x00, 0x0E, 0x11, 0x11, 0x11, 0x0E}}, {'p', {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}},
    {'q', {0x00, 0x00, 0x0D, 0x13, 0x0F, 0x01, 0x01}}, {'r', {0x00, 0x00, 0x16, 0x19, 0x10, 0x10, 0x10}},
    {'s', {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E}}, {'t', {0x08, 0x08, 0x1C, 0x08, 0x08, 0x09, 0x06}},
    {'u', {0x00, 0x00, 0x11, 0x11, 0x11, 0x13, 0x0D}}, {'v', {0x00, 0x00, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'w', {0x00, 0x00, 0x11, 0x11, 0x15, 0x15, 0x0A}}, {'x', {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11}},
    {'y', {0x00, 0x00, 0x11, 0x11, 0x0F, 0x01, 0x0E}}, {'z', {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F}},
    {' ', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}}, {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}}, {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
};

// 3 x 5 glyphs for the small captions, one byte per row, bit 2 leftmost.
struct Glyph3 {
    char c;
    uint8_t rows[5];
};
const Glyph3 kFont3[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 3, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 2, 2, 2}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'A', {2, 5, 7, 5, 5}}, {'B', {6, 5, 6, 5, 6}},
    {'C', {3, 4, 4, 4, 3}}, {'D', {6, 5, 5, 5, 6}}, {'E', {7, 4, 6, 4, 7}}, {'F', {7, 4, 6, 4, 4}},
    {'G', {3, 4, 5, 5, 3}}, {'H', {5, 5, 7, 5, 5}}, {'I', {7, 2, 2, 2, 7}}, {'J', {1, 1, 1, 5, 2}},
    {'K', {5, 5, 6, 5, 5}}, {'L', {4, 4, 4, 4, 7}}, {'M', {5, 7, 7, 5, 5}}, {'N', {6, 5, 5, 5, 5}},
    {'O', {2, 5, 5, 5, 2}}, {'P', {6, 5, 6, 4, 4}}, {'Q', {2, 5, 5, 6, 3}}, {'R', {6, 5, 6, 5, 5}},
    {'S', {3, 4, 2, 1, 6}}, {'T', {7, 2, 2, 2, 2}}, {'U', {5, 5, 5, 5, 7}}, {'V', {5, 5, 5, 5, 2}},
    {'W', {5, 5, 7, 7, 5}}, {'X', {5, 5, 2, 5, 5}}, {'Y', {5, 5, 2, 2, 2}}, {'Z', {7, 1, 2, 4, 7}},
    {' ', {0, 0, 0, 0, 0}}, {'.', {0, 0, 0, 0, 2}}, {'-', {0, 0, 7, 0, 0}}, {'/', {1, 1, 2, 4, 4}},
};

const uint8_t* FindGlyph5(char c) {
    for (const auto& g : kFont5)
        if (g.c == c) return g.rows;
    return nullptr;
}

const uint8_t* FindGlyph3(char c) {
    for (const auto& g : kFont3)
        if (g.c == c) return g.rows;
    return nullptr;
}

// Width in pixels of a text in the 5 x 7 font at a scale (one column of
// space between glyphs).
int TextWidth5(const char* text, int scale = 1) {
    int n = 0;
    for (const char* p = text; *p; ++p) ++n;
    return n ? (6 * n - 1) * scale : 0;
}

int TextWidth3(const char* text) {
    int n = 0;
    for (const char* p = text; *p; ++p) ++n;
    return n ? 4 * n - 1 : 0;
}

// Every character the pictures use has a glyph: a missing one is a fault of
// this tool, never a silent gap in a picture.
[[noreturn]] void MissingGlyph(char c) {
    std::fprintf(stderr, "make_pictures: no glyph for '%c'\n", c);
    std::exit(2);
}

void DrawText5(QPainter& p, int x, int y, const char* text, const QColor& colour, int scale = 1) {
    for (const char* s = text; *s; ++s, x += 6 * scale) {
        const uint8_t* rows = FindGlyph5(*s);
        if (!rows) MissingGlyph(*s);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c)
                if (rows[r] & (0x10 >> c)) p.fillRect(x + c * scale, y + r * scale, scale, scale, colour);
    }
}

void DrawText3(QPainter& p, int x, int y, const char* text, const QColor& colour) {
    for (const char* s = text; *s; ++s, x += 4) {
        const uint8_t* rows = FindGlyph3(*s);
        if (!rows) MissingGlyph(*s);
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 3; ++c)
                if (rows[r] & (4 >> c)) p.fillRect(x + c, y + r, 1, 1, colour);
    }
}

// Centred in the rectangle (x, y, w, h).
void CentreText5(QPainter& p, int x, int y, int w, int h, const char* text, const QColor& colour, int scale = 1) {
    DrawText5(p, x + (w - TextWidth5(text, scale)) / 2, y + (h - 7 * scale) / 2, text, colour, scale);
}

void CentreText3(QPainter& p, int x, int y, int w, int h, const char* text, const QColor& colour) {
    DrawText3(p, x + (w - TextWidth3(text)) / 2, y + (h - 5) / 2, text, colour);
}

// ---------------------------------------------------------------- shapes

QColor Mix(const QColor& a, const QColor& b, int num, int den) {
    return QColor(a.red() + (b.red() - a.red()) * num / den, a.green() + (b.green() - a.green()) * num / den,
                  a.blue() + (b.blue() - a.blue()) * num / den);
}

// A vertical blend from top to bottom, one solid line per pixel row.
void VerticalBlend(QPainter& p, int x, int y, int w, int h, const QColor& top, const QColor& bottom) {
    for (int i = 0; i < h; ++i) p.fillRect(x, y + i, w, 1, Mix(top, bottom, i, h > 1 ? h - 1 : 1));
}

// A one-pixel outline with its corner pixels cut off.
void RoundFrame(QPainter& p, int x, int y, int w, int h, const QColor& colour) {
    p.fillRect(x + 1, y, w - 2, 1, colour);
    p.fillRect(x + 1, y + h - 1, w - 2, 1, colour);
    p.fillRect(x, y + 1, 1, h - 2, colour);
    p.fillRect(x + w - 1, y + 1, 1, h - 2, colour);
}

void Frame(QPainter& p, int x, int y, int w, int h, const QColor& colour) {
    p.fillRect(x, y, w, 1, colour);
    p.fillRect(x, y + h - 1, w, 1, colour);
    p.fillRect(x, y, 1, h, colour);
    p.fillRect(x + w - 1, y, 1, h, colour);
}

// A pressable plate: blended face, rounded outline.
void Plate(QPainter& p, int x, int y, int w, int h, const QColor& top, const QColor& bottom, const QColor& edge) {
    VerticalBlend(p, x + 1, y + 1, w - 2, h - 2, top, bottom);
    RoundFrame(p, x, y, w, h, edge);
}

void Fill(QPainter& p, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
}

void Ellipse(QPainter& p, int x, int y, int w, int h, const QColor& c) {
    Fill(p, c);
    p.drawEllipse(x, y, w, h);
}

void Polygon(QPainter& p, std::initializer_list<QPoint> pts, const QColor& c) {
    Fill(p, c);
    p.drawPolygon(QPolygon(QVector<QPoint>(pts)));
}

void Line(QPainter& p, int x1, int y1, int x2, int y2, const QColor& c) {
    p.setPen(c);
    p.drawLine(x1, y1, x2, y2);
}

// ---------------------------------------------------------------- notes

// Note values by column of the grid: sixteenth, eighth, quarter, half, whole;
// rows: triplet, plain, dotted. Index k = column * 3 + row.
const char* const kNoteCaption[5] = {"1/16", "1/8", "1/4", "1/2", "1"};
const char* const kNoteKind[3] = {"TRIPLET", "", "DOTTED"};

// One note symbol whose head's left edge is x and whose head's bottom row is
// y; the stem rises 15 pixels. Heads are 6 x 5, open for half and whole.
void DrawNote(QPainter& p, int x, int y, int column, int row, const QColor& ink) {
    static const uint8_t kHeadFilled[5] = {0x0E, 0x1F, 0x3F, 0x3E, 0x1C};
    static const uint8_t kHeadOpen[5] = {0x0E, 0x13, 0x21, 0x32, 0x1C};
    const uint8_t* head = column >= 3 ? kHeadOpen : kHeadFilled;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 6; ++c)
            if (head[r] & (0x20 >> c)) p.fillRect(x + c, y - 4 + r, 1, 1, ink);
    if (column < 4) p.fillRect(x + 5, y - 17, 1, 15, ink);  // stem
    for (int f = 0; f < 2 - column && column < 2; ++f) {    // flags
        const int fy = y - 17 + f * 4;
        p.fillRect(x + 6, fy, 1, 2, ink);
        p.fillRect(x + 7, fy + 1, 1, 2, ink);
        p.fillRect(x + 8, fy + 2, 1, 3, ink);
        p.fillRect(x + 9, fy + 4, 1, 2, ink);
    }
    if (row == 2) p.fillRect(x + 8, y - 2, 2, 2, ink);  // dot
    if (row == 0) {                                     // a small 3 over the note
        DrawText3(p, x + 1, y - 24, "3", ink);
    }
}

// ---------------------------------------------------------------- pictures

using Painter = std::function<void(QPainter&)>;

struct Picture {
    QString path;  // relative to res/
    int w, h;
    Painter draw;
};

void Background(QPainter& p) {
    p.fillRect(0, 0, 718, 535, kNavy);
    // Top band: the model picture's frame and the title.
    DrawText5(p, 24, 22, "Model", kLabel);
    Frame(p, 23, 32, 183, 38, kFrame);
    p.fillRect(24, 33, 181, 36, kDeep);
    DrawText5(p, 236, 36, "PHRASOR", kCyan, 3);
    DrawText5(p, 238, 62, "Articulation Converter", kLabel);
    // Column headings over the rows.
    p.fillRect(24, 74, 494, 15, kDeep);
    CentreText5(p, 24, 74, 28, 15, "Ch", kLabel);
    CentreText5(p, 52, 74, 178, 15, "Before", kLabel);
    CentreText5(p, 230, 74, 240, 15, "After", kCyan);
    DrawText5(p, 518 - 2 - TextWidth5("Recommend"), 78, "Recommend", kLabel);
    // The sixteen row bands: number cell, light "Before" cells, dark target
    // area; the last pixel row of a band separates it from the next.
    for (int n = 1; n <= 16; ++n) {
        const int y = 90 + 26 * (n - 1);
        p.fillRect(24, y, 28, 25, ChCell(n));
        p.fillRect(52, y, 178, 25, BeforeCell(n));
        p.fillRect(119, y, 1, 25, Mix(BeforeCell(n), kBeforeText, 1, 3));
        p.fillRect(230, y, 288, 25, AfterCell(n));
        p.fillRect(24, y + 25, 494, 1, kDeep);
        const QByteArray digits = QByteArray::number(n);
        CentreText5(p, 24, y, 28, 25, digits.constData(), kWhite);
    }
    Frame(p, 23, 73, 496, 18 + 26 * 16, kFrame);
    // Right-hand column: beat resolution and the picture panel.
    Frame(p, 612, 163, 69, 45, kFrame);
    Frame(p, 538, 298, 135, 198, kFrame);
    p.fillRect(539, 299, 133, 196, kDeep);
    CentreText5(p, 539, 303, 133, 9, "STATUS", kLabel);
    p.fillRect(545, 314, 121, 1, kFrame);
    DrawText3(p, 539, 512, "VEXA ARTICULATED VOICES", kMuted);
}

void AppIcon(QPainter& p, int size) {
    const int s = size / 8;  // the letter fills most of the square
    p.fillRect(0, 0, size, size, kNavy);
    Frame(p, 0, 0, size, size, kCyan);
    DrawText5(p, (size - 5 * s) / 2, (size - 7 * s) / 2, "P", kCyan, s);
}

// The switch of a row. Because of how the window names them, "Off" is the
// switched-on look and "On" the resting one.
void AfterButton(QPainter& p, int row, const char* state) {
    const QString s = state;
    p.fillRect(0, 0, 30, 25, AfterCell(row));
    const int x = 6, y = 5, w = 18, h = 15;
    if (s == "Off") {  // switched on: lit box with a check mark
        Plate(p, x, y, w, h, QColor(150, 255, 255), QColor(0, 200, 220), kWhite);
        static const char* const kCheck[7] = {"........#", ".......##", "#.....##.", "##...##..",
                                              ".##.##...", "..###....", "...#....."};
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 9; ++c)
                if (kCheck[r][c] == '#') p.fillRect(x + 4 + c, y + 4 + r, 1, 1, kNavy);
    } else if (s == "On") {  // resting: an empty dark box
        p.fillRect(x + 1, y + 1, w - 2, h - 2, kDeep);
        RoundFrame(p, x, y, w, h, kMuted);
    } else if (s == "Ent") {  // highlighted: cyan outline on a lighter face
        p.fillRect(x + 1, y + 1, w - 2, h - 2, QColor(0, 96, 160));
        RoundFrame(p, x, y, w, h, kCyan);
        RoundFrame(p, x + 1, y + 1, w - 2, h - 2, QColor(0, 160, 200));
    } else {  // unusable: grey, crossed out
        p.fillRect(x + 1, y + 1, w - 2, h - 2, QColor(52, 62, 74));
        RoundFrame(p, x, y, w, h, QColor(96, 108, 122));
        Line(p, x + 4, y + 4, x + w - 5, y + h - 5, QColor(120, 132, 146));
        Line(p, x + w - 5, y + 4, x + 4, y + h - 5, QColor(120, 132, 146));
    }
}

// The field behind a target name; txtAfter covers the left 151 pixels, the
// right 20 carry the "more choices" mark.
void TextBase(QPainter& p, int row, bool multiple) {
    p.fillRect(0, 0, 171, 25, AfterCell(row));
    p.fillRect(1, 2, 169, 21, kDeep);
    RoundFrame(p, 0, 1, 171, 23, kFrame);
    if (multiple) {
        p.fillRect(151, 4, 1, 17, kFrame);
        static const uint8_t kArrow[4] = {0x7F, 0x3E, 0x1C, 0x08};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 7; ++c)
                if (kArrow[r] & (0x40 >> c)) p.fillRect(157 + c, 11 + r, 1, 1, kLabel);
        p.fillRect(157, 7, 7, 1, kLabel);
    }
}

void TextBaseLit(QPainter& p) {
    p.fillRect(0, 0, 171, 25, QColor(0, 70, 130));
    VerticalBlend(p, 1, 2, 169, 21, QColor(0, 110, 180), QColor(0, 72, 136));
    RoundFrame(p, 0, 1, 171, 23, kCyan);
}

void Star(QPainter& p, int x, int y, const QColor& c) {
    static const char* const kStar[9] = {"....#....", "....#....", "...###...", "#########", ".#######.",
                                         "..#####..", "..##.##..", ".##...##.", "##.....##"};
    for (int r = 0; r < 9; ++r)
        for (int col = 0; col < 9; ++col)
            if (kStar[r][col] == '#') p.fillRect(x + col, y + r, 1, 1, c);
}

void RcmdButton(QPainter& p, int row, bool pressed) {
    p.fillRect(0, 0, 48, 25, AfterCell(row));
    if (pressed) {
        Plate(p, 4, 3, 40, 19, QColor(150, 255, 255), QColor(0, 200, 220), kWhite);
        Star(p, 8, 8, kNavy);
        DrawText3(p, 21, 10, "REC", kNavy);
    } else {
        Plate(p, 4, 3, 40, 19, QColor(0, 84, 146), QColor(0, 52, 100), kFrame);
        Star(p, 8, 8, QColor(255, 214, 90));
        DrawText3(p, 21, 10, "REC", kLabel);
    }
}

void BigButton(QPainter& p, int w, int h, const char* text, bool pressed, const QColor& edge) {
    p.fillRect(0, 0, w, h, kNavy);
    if (pressed) {
        Plate(p, 0, 0, w, h, QColor(170, 255, 255), QColor(0, 190, 215), kWhite);
        CentreText5(p, 1, 1, w - 2, h - 2, text, kNavy, 2);
    } else {
        Plate(p, 0, 0, w, h, QColor(0, 100, 170), QColor(0, 50, 96), edge);
        RoundFrame(p, 1, 1, w - 2, h - 2, Mix(edge, kNavy, 1, 2));
        CentreText5(p, 0, 0, w, h, text, kCyan, 2);
    }
}

// ---- instrument icons: a drawing in the top 17 rows, a caption below.

enum class Inst { Acoustic, Electric, Jazz, Bass, Fretless, Violin, Cello, Brass, Trumpet, Sax, Choir, Drum, Debug };

void DrawInstrument(QPainter& p, Inst kind, int variant, const QColor& ink, const QColor& accent, const QColor& bg) {
    switch (kind) {
        case Inst::Acoustic:
        case Inst::Jazz:
            Ellipse(p, 3, 3, 11, 12, ink);    // lower bout
            Ellipse(p, 11, 5, 8, 8, ink);     // upper bout
            p.fillRect(19, 8, 13, 2, ink);    // neck
            p.fillRect(32, 7, 4, 4, accent);  // head
            if (kind == Inst::Acoustic) {
                Ellipse(p, 12, 7, 4, 4, bg);  // sound hole
            } else {
                p.fillRect(6, 6, 1, 3, bg);  // f-holes
                p.fillRect(10, 10, 1, 3, bg);
            }
            if (variant == 1) p.fillRect(32, 6, 4, 1, accent);  // twelve strings: a wider head
            break;
        case Inst::Electric:
            Polygon(p, {{3, 5}, {8, 2}, {12, 5}, {16, 4}, {18, 7}, {16, 12}, {12, 14}, {6, 15}, {2, 12}}, ink);
            p.fillRect(17, 8, 15, 2, ink);
            p.fillRect(32, 6, 4, 5, accent);
            p.fillRect(7, 6, 1, 6, bg);  // pick-ups
            p.fillRect(11, 6, 1, 6, bg);
            if (variant == 1) {  // overdrive and distortion: a spark
                Line(p, 24, 1, 22, 4, accent);
                Line(p, 22, 4, 26, 4, accent);
                Line(p, 26, 4, 23, 7, accent);
            }
            break;
        case Inst::Bass:
        case Inst::Fretless:
            Polygon(p, {{2, 6}, {7, 3}, {11, 6}, {14, 6}, {15, 9}, {12, 13}, {5, 15}, {1, 12}}, ink);
            p.fillRect(14, 8, 18, 2, ink);
            p.fillRect(32, 6, 5, 5, accent);
            p.fillRect(7, 7, 3, 2, bg);
            if (kind == Inst::Bass)
                for (int f = 18; f < 32; f += 4) p.fillRect(f, 7, 1, 1, accent);  // frets
            break;
        case Inst::Violin:
        case Inst::Cello: {
            const int big = kind == Inst::Cello ? 2 : 0;
            Ellipse(p, 3, 4 - big / 2, 8 + big, 10 + big, ink);
            Ellipse(p, 9 + big, 5 - big / 2, 7 + big, 8 + big, ink);
            p.fillRect(16 + big, 8, 12, 2, ink);
            p.fillRect(28 + big, 7, 3, 4, accent);
            Line(p, 4, 1, 30, 15, accent);  // the bow
            break;
        }
        case Inst::Brass:
        case Inst::Trumpet:
            Polygon(p, {{2, 3}, {9, 7}, {9, 11}, {2, 15}}, ink);                  // bell
            p.fillRect(9, 8, 24, 2, ink);                                         // pipe
            p.fillRect(33, 7, 3, 4, ink);                                         // mouthpiece
            for (int v = 0; v < 3; ++v) p.fillRect(16 + 4 * v, 3, 2, 5, accent);  // valves
            if (kind == Inst::Brass) Line(p, 11, 12, 30, 12, ink);                // a second horn's pipe
            break;
        case Inst::Sax:
            Polygon(p, {{7, 2}, {11, 2}, {11, 11}, {14, 14}, {22, 14}, {24, 8}, {28, 8}, {26, 16}, {13, 16}, {7, 11}},
                    ink);
            p.fillRect(5, 1, 8, 2, ink);  // neck and mouthpiece
            for (int k = 0; k < 3; ++k) p.fillRect(9, 4 + 2 * k, 1, 1, accent);
            break;
        case Inst::Choir: {
            static const char* const kSinger[13] = {".###.", "#####", "#####", ".###.", "..#..", ".###.", "#####",
                                                    "#####", "#####", "#####", "#####", "#####", "#####"};
            const int n = variant;  // one, three or five singers, 7 pixels apart
            const int x0 = (39 - (7 * n - 2)) / 2;
            for (int k = 0; k < n; ++k)
                for (int r = 0; r < 13; ++r)
                    for (int c = 0; c < 5; ++c)
                        if (kSinger[r][c] == '#') p.fillRect(x0 + 7 * k + c, 3 + r, 1, 1, r < 4 ? accent : ink);
            break;
        }
        case Inst::Drum:
            Ellipse(p, 8, 5, 16, 5, accent);  // head
            p.fillRect(8, 8, 17, 7, ink);     // shell
            Ellipse(p, 8, 12, 16, 4, ink);
            Line(p, 3, 2, 12, 6, kWhite);  // sticks
            Line(p, 29, 2, 20, 6, kWhite);
            p.fillRect(26, 3, 9, 1, accent);  // cymbal
            p.fillRect(30, 4, 1, 10, ink);
            break;
        case Inst::Debug:
            Ellipse(p, 13, 4, 12, 11, ink);
            for (int k = 0; k < 3; ++k) {
                Line(p, 9, 6 + 3 * k, 13, 7 + 3 * k, accent);
                Line(p, 25, 7 + 3 * k, 29, 6 + 3 * k, accent);
            }
            p.fillRect(18, 4, 1, 11, bg);
            break;
    }
}

struct InstIconInfo {
    const char* off;
    const char* on;
    Inst kind;
    int variant;
    const char* caption;  // 3 x 5 font, at most 9 characters
};
const InstIconInfo kInstIcons[] = {
    {"Icon_NylonGtr_off.bmp", "Icon_NylonGtr_on.bmp", Inst::Acoustic, 0, "NYLON"},
    {"SteelGOff.bmp", "SteelGOn.bmp", Inst::Acoustic, 0, "STEEL"},
    {"12StringOff.bmp", "12StringOn.bmp", Inst::Acoustic, 1, "12 STRING"},
    {"CleanGOff.bmp", "CleanGOn.bmp", Inst::Electric, 0, "CLEAN"},
    {"Icon_CleanGtr-A_off.bmp", "Icon_CleanGtr-A_on.bmp", Inst::Electric, 0, "CLEAN A"},
    {"Icon_CleanGtr-B_off.bmp", "Icon_CleanGtr-B_on.bmp", Inst::Electric, 0, "CLEAN B"},
    {"StratOff.bmp", "StratOn.bmp", Inst::Electric, 0, "SOLID"},
    {"Tele1Off.bmp", "Tele1On.bmp", Inst::Electric, 0, "SINGLE 1"},
    {"Tele2Off.bmp", "Tele2On.bmp", Inst::Electric, 0, "SINGLE 2"},
    {"OrverDOff.bmp", "OrverDOn.bmp", Inst::Electric, 1, "OVERDRIVE"},
    {"DistortionOff.bmp", "DistortionOn.bmp", Inst::Electric, 1, "DIST"},
    {"JazzGOff.bmp", "JazzGOn.bmp", Inst::Jazz, 0, "JAZZ"},
    {"Icon_EthnicGtr_off.bmp", "Icon_EthnicGtr_on.bmp", Inst::Acoustic, 0, "ETHNIC"},
    {"AcoBOff.bmp", "AcoBOn.bmp", Inst::Fretless, 0, "ACO BASS"},
    {"FingerBOff.bmp", "FingerBOn.bmp", Inst::Bass, 0, "FINGER B"},
    {"PrecRWOff.bmp", "PrecRWOn.bmp", Inst::Bass, 0, "P-BASS RW"},
    {"PrecFWOff.bmp", "PrecFWOn.bmp", Inst::Bass, 0, "P-BASS FW"},
    {"PickBOff.bmp", "PickBOn.bmp", Inst::Bass, 0, "PICK BASS"},
    {"PrecPickOff.bmp", "PrecPickOn.bmp", Inst::Bass, 0, "P-B PICK"},
    {"FretlessBOff.bmp", "FretlessBOn.bmp", Inst::Fretless, 0, "FRETLESS"},
    {"Icon_StringsSmall_off.bmp", "Icon_StringsSmall_on.bmp", Inst::Violin, 0, "STRINGS S"},
    {"Icon_StringsLarge_off.bmp", "Icon_StringsLarge_on.bmp", Inst::Cello, 0, "STRINGS L"},
    {"Icon_Brass_off.bmp", "Icon_Brass_on.bmp", Inst::Brass, 0, "BRASS"},
    {"Icon_Trumpet_off.bmp", "Icon_Trumpet_on.bmp", Inst::Trumpet, 0, "TRUMPET"},
    {"Icon_TenorSax_off.bmp", "Icon_TenorSax_on.bmp", Inst::Sax, 0, "TENOR SAX"},
    {"Choir1Off.bmp", "Choir1On.bmp", Inst::Choir, 1, "CHOIR 1"},
    {"Choir3Off.bmp", "Choir3On.bmp", Inst::Choir, 3, "CHOIR 3"},
    {"Choir5Off.bmp", "Choir5On.bmp", Inst::Choir, 5, "CHOIR 5"},
    {"Icon_Drum_off.bmp", "Icon_Drum_on.bmp", Inst::Drum, 0, "DRUMS"},
    {nullptr, "DebugIOn.bmp", Inst::Debug, 0, "DEBUG"},
};

void InstIcon(QPainter& p, const InstIconInfo& info, bool lit) {
    const QColor bg = lit ? QColor(0, 86, 150) : kDeep;
    const QColor ink = lit ? kCyan : kMuted;
    const QColor accent = lit ? kWhite : QColor(80, 104, 130);
    p.fillRect(0, 0, 39, 25, bg);
    RoundFrame(p, 0, 0, 39, 25, lit ? kCyan : kFrame);
    DrawInstrument(p, info.kind, info.variant, ink, accent, bg);
    CentreText3(p, 0, 18, 39, 5, info.caption, lit ? kWhite : kLabel);
}

// ---- beat resolution

void NoteValue(QPainter& p, int index) {
    const int column = index / 3, row = index % 3;
    p.fillRect(0, 0, 67, 43, kDeep);
    RoundFrame(p, 0, 0, 67, 43, kFrame);
    DrawNote(p, 9, 33, column, row, kCyan);
    DrawText5(p, 27, row == 1 ? 18 : 12, kNoteCaption[column], kWhite);
    if (row != 1) DrawText3(p, 27, 25, kNoteKind[row], kLabel);
}

void BeatCell(QPainter& p, int x, int y, int index, bool lit) {
    const int column = index / 3, row = index % 3;
    if (lit)
        VerticalBlend(p, x, y, 26, 31, QColor(120, 250, 255), QColor(0, 190, 215));
    else
        p.fillRect(x, y, 26, 31, kDeep);
    DrawNote(p, x + 8, y + 26, column, row, lit ? kNavy : kLabel);
}

void BeatMap(QPainter& p) {
    p.fillRect(0, 0, 136, 97, kFrame);
    for (int k = 0; k < 15; ++k) BeatCell(p, 1 + 27 * (k / 3), 1 + 32 * (k % 3), k, false);
}

// ---- conversion animation: bars in a travelling wave, a note that crosses.

int Triangle(int phase, int period, int amplitude) {
    phase %= period;
    const int half = period / 2;
    return (phase < half ? phase : period - phase) * amplitude / half;
}

void MovieFrame(QPainter& p, int frame) {
    p.fillRect(0, 0, 133, 51, kDeep);
    for (int b = 0; b < 16; ++b) {
        const int h = 4 + Triangle(b * 4 + frame * 2, 30, 26);
        const int x = 5 + b * 8;
        for (int i = 0; i < h; ++i) p.fillRect(x, 44 - i, 6, 1, Mix(QColor(0, 120, 170), kCyan, i, 30));
    }
    p.fillRect(2, 46, 129, 1, kFrame);
    const int nx = (frame - 1) * 122 / 29;  // frames 1..30 carry the note across
    DrawNote(p, nx, 20, 1, 1, kWhite);
    for (int d = 0; d < 3; ++d)  // three dots that fill up in turn
        p.fillRect(56 + 8 * d, 48, 4, 2, (frame / 5) % 4 > d ? kCyan : kFrame);
}

// ---------------------------------------------------------------- catalogue

std::vector<Picture> Pictures() {
    std::vector<Picture> out;
    out.push_back({"Background.bmp", 718, 535, Background});
    out.push_back({"Phrasor16.png", 16, 16, [](QPainter& p) { AppIcon(p, 16); }});
    out.push_back({"Phrasor32.png", 32, 32, [](QPainter& p) { AppIcon(p, 32); }});
    for (int n = 1; n <= 16; ++n)
        for (const char* s : {"Off", "Ent", "On", "Dis"})
            out.push_back({QString("AfterBtn/After%1Btn%2.bmp").arg(n).arg(s), 30, 25,
                           [n, s](QPainter& p) { AfterButton(p, n, s); }});
    for (int n = 1; n <= 16; ++n) {
        out.push_back(
            {QString("TextBase/TextBase%1Off.bmp").arg(n), 171, 25, [n](QPainter& p) { TextBase(p, n, false); }});
        out.push_back(
            {QString("TextBase/TextBase%1OffMlt.bmp").arg(n), 171, 25, [n](QPainter& p) { TextBase(p, n, true); }});
    }
    out.push_back({"TextBase/TextBaseOn.bmp", 171, 25, TextBaseLit});
    for (int n = 1; n <= 16; ++n) {
        out.push_back(
            {QString("RcmdBtn/Rcmd%1BtnOff.bmp").arg(n), 48, 25, [n](QPainter& p) { RcmdButton(p, n, false); }});
        out.push_back(
            {QString("RcmdBtn/Rcmd%1BtnOn.bmp").arg(n), 48, 25, [n](QPainter& p) { RcmdButton(p, n, true); }});
    }
    for (const auto& icon : kInstIcons) {
        if (icon.off)
            out.push_back(
                {QString("InstIcon/") + icon.off, 39, 25, [&icon](QPainter& p) { InstIcon(p, icon, false); }});
        out.push_back({QString("InstIcon/") + icon.on, 39, 25, [&icon](QPainter& p) { InstIcon(p, icon, true); }});
    }
    const QColor convertEdge = kCyan, cancelEdge(255, 150, 110);
    out.push_back(
        {"ConvBtnOff.bmp", 95, 43, [=](QPainter& p) { BigButton(p, 95, 43, "CONVERT", false, convertEdge); }});
    out.push_back({"ConvBtnOn.bmp", 95, 43, [=](QPainter& p) { BigButton(p, 95, 43, "CONVERT", true, convertEdge); }});
    out.push_back(
        {"CancelBtnOff.bmp", 95, 43, [=](QPainter& p) { BigButton(p, 95, 43, "CANCEL", false, cancelEdge); }});
    out.push_back({"CancelBtnOn.bmp", 95, 43, [=](QPainter& p) { BigButton(p, 95, 43, "CANCEL", true, cancelEdge); }});
    out.push_back({"ExitBtnOff.bmp", 67, 34, [=](QPainter& p) { BigButton(p, 67, 34, "EXIT", false, kLabel); }});
    out.push_back({"ExitBtnOn.bmp", 67, 34, [=](QPainter& p) { BigButton(p, 67, 34, "EXIT", true, kLabel); }});
    out.push_back({"BeatResoText.bmp", 94, 13, [](QPainter& p) {
                       p.fillRect(0, 0, 94, 13, kNavy);
                       CentreText5(p, 0, 0, 94, 13, "Beat Resolution", kLabel);
                   }});
    out.push_back({"NoteArray.bmp", 67, 645, [](QPainter& p) {
                       for (int k = 0; k < 15; ++k) {
                           p.save();
                           p.translate(0, 43 * k);
                           NoteValue(p, k);
                           p.restore();
                       }
                   }});
    out.push_back({"BeatMap.bmp", 136, 97, BeatMap});
    out.push_back({"NoteOnArray.bmp", 26, 465, [](QPainter& p) {
                       for (int k = 0; k < 15; ++k) BeatCell(p, 0, 31 * k, k, true);
                   }});
    for (int f = 1; f <= 30; ++f)
        out.push_back({QString("Movie/MovieFrame%1.bmp").arg(f, 2, 10, QChar('0')), 133, 51,
                       [f](QPainter& p) { MovieFrame(p, f); }});
    return out;
}

// ---------------------------------------------------------------- output

QImage Render(const Picture& pic) {
    QImage image(pic.w, pic.h, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    pic.draw(p);
    p.end();
    return image;
}

void PutLE(QByteArray& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(char((v >> (8 * i)) & 0xFF));
}

// A Windows bitmap: 14-byte file header, 40-byte info header, 24-bit pixels
// bottom-up, rows padded to four bytes.
QByteArray EncodeBmp(const QImage& image) {
    const int w = image.width(), h = image.height();
    const int stride = (w * 3 + 3) & ~3;
    const uint32_t pixelBytes = uint32_t(stride) * uint32_t(h);
    QByteArray out;
    out.reserve(int(54 + pixelBytes));
    out.append("BM", 2);
    PutLE(out, 54 + pixelBytes, 4);
    PutLE(out, 0, 4);
    PutLE(out, 54, 4);
    PutLE(out, 40, 4);
    PutLE(out, uint32_t(w), 4);
    PutLE(out, uint32_t(h), 4);
    PutLE(out, 1, 2);
    PutLE(out, 24, 2);
    PutLE(out, 0, 4);  // no compression
    PutLE(out, pixelBytes, 4);
    PutLE(out, 2835, 4);  // 72 dots per inch
    PutLE(out, 2835, 4);
    PutLE(out, 0, 4);
    PutLE(out, 0, 4);
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out.append(char(qBlue(line[x])));
            out.append(char(qGreen(line[x])));
            out.append(char(qRed(line[x])));
        }
        for (int pad = w * 3; pad < stride; ++pad) out.append('\0');
    }
    return out;
}

QByteArray ResourceList(const std::vector<Picture>& pictures) {
    QByteArray out = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/res\">\n";
    for (const auto& pic : pictures) out += "    <file>" + pic.path.toUtf8() + "</file>\n";
    out += "</qresource>\n</RCC>\n";
    return out;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool ReadFile(const QString& path, QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    bytes = f.readAll();
    return true;
}

// A PNG's bytes depend on the zlib at hand, so PNGs are compared by pixels;
// BMPs and the resource list byte for byte.
bool Matches(const Picture& pic, const QImage& image, const QString& path) {
    QByteArray stored;
    if (!ReadFile(path, stored)) return false;
    if (pic.path.endsWith(".png")) {
        QImage read;
        if (!read.loadFromData(stored, "PNG")) return false;
        return read.convertToFormat(QImage::Format_RGB32) == image;
    }
    return stored == EncodeBmp(image);
}

int Run(const QString& dir, bool check) {
    const auto pictures = Pictures();
    int faults = 0;
    for (const auto& pic : pictures) {
        const QImage image = Render(pic);
        const QString path = dir + "/" + pic.path;
        if (check) {
            if (!Matches(pic, image, path)) {
                std::fprintf(stderr, "make_pictures: %s differs from what the tool draws\n", qPrintable(path));
                ++faults;
            }
        } else if (pic.path.endsWith(".png")) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            if (!image.save(path, "PNG")) {
                std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(path));
                ++faults;
            }
        } else if (!WriteFile(path, EncodeBmp(image))) {
            ++faults;
        }
    }
    const QByteArray qrc = ResourceList(pictures);
    const QString qrcPath = dir + "/res.qrc";
    if (check) {
        QByteArray stored;
        if (!ReadFile(qrcPath, stored) || stored != qrc) {
            std::fprintf(stderr, "make_pictures: %s differs from the picture list\n", qPrintable(qrcPath));
            ++faults;
        }
    } else if (!WriteFile(qrcPath, qrc)) {
        ++faults;
    }
    std::printf("make_pictures: %zu pictures %s, %d fault(s)\n", pictures.size(), check ? "checked" : "written",
                faults);
    return faults ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Painting on a QImage needs no window system: a core application serves.
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 2 && !args[1].startsWith("-")) return Run(args[1], false);
    if (args.size() == 3 && args[1] == "--check") return Run(args[2], true);
    std::fprintf(stderr, "usage: make_pictures [--check] <res folder>\n");
    return 2;
}
