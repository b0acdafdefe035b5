// Routes the input of a group of popup lists so that they act as one menu:
// mouse events reach the list under the cursor even while another list holds
// the popup grab, a gesture begun on a list stays with it until the release,
// key events reach the list that has the keyboard focus, and a press outside
// every list closes them all without reaching what lies under the cursor.
#pragma once

#include <QEvent>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

class QMouseEvent;
class QWidget;
class AfterNameListWidget;

class AfterNameListWidgetFilter : public QObject {
    Q_OBJECT
public:
    explicit AfterNameListWidgetFilter(QObject* parent = nullptr);

    // Adds a list to the group (once; null is ignored).
    void addWidget(AfterNameListWidget* list);
    // The lists of the group, in order of addition.
    QList<AfterNameListWidget*> members() const;

    // Delivers a mouse event at a global position to a member list's viewport
    // handling (its result) or to any other widget's own handling (whether it
    // took the event).
    bool sendMouseEvent(QWidget* target, QEvent::Type type, const QPoint& global, Qt::MouseButton button,
                        Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

signals:
    void emitClose();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void widgetDestroyed(QObject* pObject);

private:
    struct Member {
        AfterNameListWidget* list;
        QObject* object;  // the same list, kept to recognise it while it is destroyed
    };

    bool mousePressed(QObject* watched, QEvent::Type type, const QMouseEvent& event);
    bool mouseReleased(QObject* watched, QEvent::Type type, const QMouseEvent& event);
    bool mouseMoved(QObject* watched, QEvent::Type type, const QMouseEvent& event);
    bool keyEvent(QObject* watched, QEvent* event);
    AfterNameListWidget* memberAt(const QWidget* w) const;

    QList<Member> m_members;
    // The control that took a forwarded press and gets the rest of its
    // gesture; a QPointer, so a control destroyed mid-gesture is never sent
    // another event.
    QPointer<QWidget> m_pPressedTarget;
};
