// One list of the cascading target popups: a list widget shown as a popup
// window. The hovered row becomes the current row; keys move, pick and open
// like a menu; a list opened from another (its parent) closes with it. The
// rows of the current item and of the item the child list was opened from
// can carry a small downward triangle at their right end.
#pragma once

#include <QListWidget>
#include <QPointer>

class QTimer;
class AfterNameListWidgetFilter;

class AfterNameListWidget : public QListWidget {
    Q_OBJECT
public:
    explicit AfterNameListWidget(QWidget* parent = nullptr);

    // Links this list as the child of `list` (nothing is unlinked).
    void setParentList(AfterNameListWidget* list);
    // The item of the parent list this list was opened from; the parent
    // repaints the rows of the old and the new item.
    void setOpenerItem(QListWidgetItem* item);
    void setShowMarker(bool on);

    AfterNameListWidget* parentList() const { return m_pParentList; }
    AfterNameListWidget* childList() const { return m_pChildList; }
    QListWidgetItem* openerItem() const { return m_pOpenerItem; }
    bool showMarker() const { return m_bShowMarker; }

signals:
    void closed();
    void itemSelected(QListWidgetItem* pItem);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    // Hovering an item opens, closes and selects nothing by time.
    void mouseMoveTimeout();

private:
    friend class AfterNameListWidgetFilter;

    void restartHoverTimer();
    void stopHoverTimer();
    void closeChildList();
    void giveFocusToChildList();
    void repaintRowOf(QListWidgetItem* item);
    void drawMarker(QPainter& painter, const QModelIndex& index, const QRect& paintRect);

    QTimer* m_pHoverTimer;  // child of the list
    // The links become null when the other list is destroyed.
    QPointer<AfterNameListWidget> m_pParentList;
    QPointer<AfterNameListWidget> m_pChildList;
    bool m_bShowMarker = false;
    QListWidgetItem* m_pOpenerItem = nullptr;  // owned by the parent list; forgotten with it
};
