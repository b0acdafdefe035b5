#include "app/BeatMapWidget.h"

#include <QFocusEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>
#include <QShowEvent>
#include <QSignalMapper>

#include "app/IconPushButton.h"

namespace {

constexpr int kBeatMapCellCount = 15;
constexpr int kBeatMapKeyStart = 7;  // the plain quarter note, in the middle of the grid

bool IsBeatMapCell(int k) { return k >= 0 && k < kBeatMapCellCount; }

// The same picture for both states: a held cell looks like a resting one.
QIcon BeatMapCellIcon(const QPixmap& picture) {
    QIcon icon;
    icon.addPixmap(picture, QIcon::Normal, QIcon::Off);
    icon.addPixmap(picture, QIcon::Normal, QIcon::On);
    return icon;
}

QPixmap BeatMapNormalPicture(int k) {
    return QPixmap(QStringLiteral(":/res/BeatMap.bmp")).copy(27 * (k / 3) + 1, 32 * (k % 3) + 1, 26, 31);
}

QPixmap BeatMapLitPicture(int k) { return QPixmap(QStringLiteral(":/res/NoteOnArray.bmp")).copy(0, 31 * k, 26, 31); }

}  // namespace

BeatMapWidget::BeatMapWidget(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint) {
    ui.setupUi(this);
    auto* pressMapper = new QSignalMapper(this);
    auto* enterMapper = new QSignalMapper(this);
    auto* leaveMapper = new QSignalMapper(this);
    connect(pressMapper, &QSignalMapper::mappedInt, this, &BeatMapWidget::done);
    connect(enterMapper, &QSignalMapper::mappedInt, this, &BeatMapWidget::setIndex);
    connect(leaveMapper, &QSignalMapper::mappedInt, this, &BeatMapWidget::resetIndex);
    for (int k = 0; k < kBeatMapCellCount; ++k) {
        IconPushButton* cell = ui.cell(k);
        showCell(k, false);
        cell->setIconSize(cell->size());
        connect(cell, &QAbstractButton::pressed, pressMapper, qOverload<>(&QSignalMapper::map));
        connect(cell, &IconPushButton::entered, enterMapper, qOverload<>(&QSignalMapper::map));
        connect(cell, &IconPushButton::leaved, leaveMapper, qOverload<>(&QSignalMapper::map));
        pressMapper->setMapping(cell, k);
        enterMapper->setMapping(cell, k);
        leaveMapper->setMapping(cell, k);
    }
}

void BeatMapWidget::showCell(int k, bool lit) {
    ui.cell(k)->setIcon(BeatMapCellIcon(lit ? BeatMapLitPicture(k) : BeatMapNormalPicture(k)));
}

void BeatMapWidget::setIndex(int index) {
    if (!IsBeatMapCell(index) || index == m_nIndex) return;
    if (IsBeatMapCell(m_nIndex)) showCell(m_nIndex, false);
    m_nIndex = index;
    showCell(index, true);
}

void BeatMapWidget::resetIndex(int index) {
    if (!IsBeatMapCell(index) || index != m_nIndex) return;
    showCell(index, false);
    m_nIndex = -1;
}

void BeatMapWidget::accept() { done(m_nIndex); }
void BeatMapWidget::reject() { done(-1); }

void BeatMapWidget::done(int result) {
    if (m_bEnding) return;
    m_bEnding = true;
    QDialog::done(result);
    m_bEnding = false;
}

void BeatMapWidget::keyPressEvent(QKeyEvent* event) {
    event->accept();
    const int k = m_nIndex;
    const bool valid = IsBeatMapCell(k);
    switch (event->key()) {
    case Qt::Key_Escape:
        reject();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        break;
    case Qt::Key_Left:
        if (!valid) setIndex(kBeatMapKeyStart);
        else if (k >= 3) setIndex(k - 3);
        break;
    case Qt::Key_Right:
        if (!valid) setIndex(kBeatMapKeyStart);
        else if (k <= 11) setIndex(k + 3);
        break;
    case Qt::Key_Up:
        if (!valid) setIndex(kBeatMapKeyStart);
        else if (k % 3 != 0) setIndex(k - 1);
        break;
    case Qt::Key_Down:
        if (!valid) setIndex(kBeatMapKeyStart);
        else if (k % 3 != 2) setIndex(k + 1);
        break;
    default:
        break;  // swallowed
    }
}

// Clicking elsewhere or switching windows dismisses the picker. A focus
// loss that comes after its own hiding (a pick) reports nothing more.
void BeatMapWidget::focusOutEvent(QFocusEvent* event) {
    event->accept();
    if (isVisible()) reject();
}

void BeatMapWidget::showEvent(QShowEvent* event) {
    setFocus(Qt::OtherFocusReason);
    event->accept();
}
