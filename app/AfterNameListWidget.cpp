#include "app/AfterNameListWidget.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

namespace {

constexpr int kAfterNameHoverMs = 500;

// The cursor's global position, each coordinate to the nearest integer.
QPoint AfterNameGlobalPos(const QMouseEvent* event) { return event->screenPos().toPoint(); }

}  // namespace

AfterNameListWidget::AfterNameListWidget(QWidget* parent)
    : QListWidget(parent), m_pHoverTimer(new QTimer(this)) {
    setWindowFlags(Qt::Popup);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
    viewport()->setFocusPolicy(Qt::NoFocus);
    m_pHoverTimer->setSingleShot(true);
    connect(m_pHoverTimer, &QTimer::timeout, this, &AfterNameListWidget::mouseMoveTimeout);
}

void AfterNameListWidget::setParentList(AfterNameListWidget* list) {
    if (list == m_pParentList || list == this) return;
    m_pParentList = list;
    if (!list) return;
    list->m_pChildList = this;
    // The opener item dies with its list.
    connect(list, &QObject::destroyed, this, [this] { m_pOpenerItem = nullptr; });
}

void AfterNameListWidget::setOpenerItem(QListWidgetItem* item) {
    if (item == m_pOpenerItem) return;
    if (m_pOpenerItem) repaintRowOf(m_pOpenerItem);
    m_pOpenerItem = item;
    if (item) repaintRowOf(item);
}

void AfterNameListWidget::setShowMarker(bool on) { m_bShowMarker = on; }

void AfterNameListWidget::mouseMoveTimeout() {}

void AfterNameListWidget::restartHoverTimer() { m_pHoverTimer->start(kAfterNameHoverMs); }
void AfterNameListWidget::stopHoverTimer() { m_pHoverTimer->stop(); }

void AfterNameListWidget::closeChildList() {
    if (m_pChildList && m_pChildList->isVisible()) m_pChildList->close();
}

void AfterNameListWidget::giveFocusToChildList() {
    if (m_pChildList && m_pChildList->isVisible()) m_pChildList->setFocus(Qt::OtherFocusReason);
}

// The parent list draws the opener's row (its marker may change).
void AfterNameListWidget::repaintRowOf(QListWidgetItem* item) {
    if (m_pParentList) m_pParentList->update(m_pParentList->indexFromItem(item));
}

void AfterNameListWidget::mouseMoveEvent(QMouseEvent* event) {
    QListWidgetItem* item = itemAt(viewport()->mapFromGlobal(AfterNameGlobalPos(event)));
    if (item == currentItem()) return;
    stopHoverTimer();
    setCurrentItem(item);
    restartHoverTimer();
}

void AfterNameListWidget::wheelEvent(QWheelEvent* event) {
    stopHoverTimer();
    closeChildList();
    QListWidget::wheelEvent(event);
    const QPoint global = event->globalPosition().toPoint();
    if (currentItem() == itemAt(viewport()->mapFromGlobal(global))) restartHoverTimer();
}

void AfterNameListWidget::enterEvent(QEvent*) {
    if (m_pParentList && m_pOpenerItem) m_pParentList->setCurrentItem(m_pOpenerItem);
    setFocus(Qt::OtherFocusReason);
}

void AfterNameListWidget::leaveEvent(QEvent*) {
    stopHoverTimer();
    setCurrentItem(nullptr);
    restartHoverTimer();
}

// Setting the current item again shows it as current in the focused look.
void AfterNameListWidget::focusInEvent(QFocusEvent*) {
    QListWidgetItem* item = currentItem();
    if (!item) return;
    setCurrentItem(nullptr);
    setCurrentItem(item);
}

void AfterNameListWidget::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (QListWidgetItem* item = currentItem()) {
            emit itemClicked(item);
            giveFocusToChildList();
        }
        event->accept();
        return;
    case Qt::Key_Left:
        if (m_pParentList && isVisible()) close();
        event->accept();
        return;
    case Qt::Key_Right:
        if (QListWidgetItem* item = currentItem()) {
            emit itemSelected(item);
            giveFocusToChildList();
        }
        event->accept();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        stopHoverTimer();
        closeChildList();
        break;
    default:
        break;
    }
    QListWidget::keyPressEvent(event);
}

void AfterNameListWidget::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_pOpenerItem) {
        repaintRowOf(m_pOpenerItem);
        m_pOpenerItem = nullptr;
    }
    if (m_pParentList && hasFocus()) m_pParentList->setFocus(Qt::OtherFocusReason);
    closeChildList();
    emit closed();
}

void AfterNameListWidget::paintEvent(QPaintEvent* event) {
    QListWidget::paintEvent(event);
    if (!m_bShowMarker) return;
    QPainter painter(viewport());
    drawMarker(painter, currentIndex(), event->rect());
    QModelIndex opener;
    if (m_pChildList && m_pChildList->m_pOpenerItem) opener = indexFromItem(m_pChildList->m_pOpenerItem);
    drawMarker(painter, opener, event->rect());
}

// A triangle pointing down in a 13-pixel box at the right end of the row:
// in the highlighted-text colour on the current row, in the text colour on
// the row the child list was opened from.
void AfterNameListWidget::drawMarker(QPainter& painter, const QModelIndex& index, const QRect& paintRect) {
    if (!index.isValid()) return;
    const QRect r = visualRect(index);
    if (!r.isValid() || !r.intersects(paintRect)) return;
    const QRect box(QPoint(r.right() - 15, r.top() + 1), QPoint(r.right() - 3, r.bottom() - 1));
    painter.fillRect(box, palette().color(QPalette::Base));
    painter.setPen(palette().color(index == currentIndex() ? QPalette::HighlightedText : QPalette::Text));
    const int cx = (box.left() + box.right()) / 2;
    const int cy = (box.top() + box.bottom()) / 2;
    for (int step = 0; step < 5; ++step) painter.drawLine(cx - 5 + step, cy - 3 + step, cx + 5 - step, cy - 3 + step);
    painter.drawPoint(cx, cy + 2);
}
