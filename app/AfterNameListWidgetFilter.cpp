#include "app/AfterNameListWidgetFilter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>

#include "app/AfterNameListWidget.h"

namespace {

QPoint FilterGlobalPos(const QMouseEvent& event) { return event.screenPos().toPoint(); }

}  // namespace

AfterNameListWidgetFilter::AfterNameListWidgetFilter(QObject* parent) : QObject(parent) {}

void AfterNameListWidgetFilter::addWidget(AfterNameListWidget* list) {
    if (!list) return;
    for (const Member& m : m_members)
        if (m.list == list) return;
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    list->verticalScrollBar()->installEventFilter(this);
    connect(this, &AfterNameListWidgetFilter::emitClose, list, &QWidget::close, Qt::QueuedConnection);
    connect(list, &QObject::destroyed, this, &AfterNameListWidgetFilter::widgetDestroyed);
    m_members.append(Member{list, list});
}

QList<AfterNameListWidget*> AfterNameListWidgetFilter::members() const {
    QList<AfterNameListWidget*> lists;
    for (const Member& m : m_members) lists.append(m.list);
    return lists;
}

void AfterNameListWidgetFilter::widgetDestroyed(QObject* pObject) {
    for (int i = m_members.size() - 1; i >= 0; --i)
        if (m_members[i].object == pObject) m_members.removeAt(i);
}

bool AfterNameListWidgetFilter::sendMouseEvent(QWidget* target, QEvent::Type type, const QPoint& global,
                                               Qt::MouseButton button, Qt::MouseButtons buttons,
                                               Qt::KeyboardModifiers modifiers) {
    if (auto* list = qobject_cast<AfterNameListWidget*>(target)) {
        QMouseEvent event(type, list->viewport()->mapFromGlobal(global), global, button, buttons, modifiers);
        return list->viewportEvent(&event);
    }
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons, modifiers);
    static_cast<QObject*>(target)->event(&event);
    return event.isAccepted();
}

AfterNameListWidget* AfterNameListWidgetFilter::memberAt(const QWidget* w) const {
    if (!w) return nullptr;
    for (const Member& m : m_members)
        if (w == m.list || w == m.list->viewport() || w == m.list->verticalScrollBar()) return m.list;
    return nullptr;
}

bool AfterNameListWidgetFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return mousePressed(watched, event->type(), *static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
        return mouseReleased(watched, event->type(), *static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
        return mouseMoved(watched, event->type(), *static_cast<QMouseEvent*>(event));
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return keyEvent(watched, event);
    default:
        return false;
    }
}

bool AfterNameListWidgetFilter::mousePressed(QObject* watched, QEvent::Type type, const QMouseEvent& event) {
    const QPoint g = FilterGlobalPos(event);
    QWidget* w = QApplication::widgetAt(g);
    if (m_pPressedTarget) {
        QPointer<QWidget> target = m_pPressedTarget;
        m_pPressedTarget = nullptr;
        sendMouseEvent(target, QEvent::MouseButtonRelease, g, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    }
    AfterNameListWidget* list = memberAt(w);
    if (!list) {
        emit emitClose();
        return true;  // a press outside every list only closes them
    }
    if (w != list->viewport()) {
        list->stopHoverTimer();
        list->closeChildList();
    }
    if (w == watched) return false;
    if (w == list->viewport() || w == list->verticalScrollBar()) {
        QWidget* target = w == list->viewport() ? static_cast<QWidget*>(list) : w;
        if (!sendMouseEvent(target, type, g, event.button(), event.buttons(), event.modifiers())) return false;
        m_pPressedTarget = target;
        return true;
    }
    return false;
}

bool AfterNameListWidgetFilter::mouseReleased(QObject* watched, QEvent::Type type, const QMouseEvent& event) {
    if (!m_pPressedTarget) return false;
    QPointer<QWidget> target = m_pPressedTarget;
    m_pPressedTarget = nullptr;
    if (target == watched) return false;
    return sendMouseEvent(target, type, FilterGlobalPos(event), event.button(), event.buttons(), event.modifiers());
}

bool AfterNameListWidgetFilter::mouseMoved(QObject* watched, QEvent::Type type, const QMouseEvent& event) {
    const QPoint g = FilterGlobalPos(event);
    if (m_pPressedTarget) {
        if (m_pPressedTarget == watched) {
            m_pPressedTarget = nullptr;
            return false;
        }
        if (sendMouseEvent(m_pPressedTarget, type, g, event.button(), event.buttons(), event.modifiers()))
            return true;
        m_pPressedTarget = nullptr;
        return false;
    }
    // Without a gesture, the hover of the list under the cursor follows it.
    QWidget* w = QApplication::widgetAt(g);
    for (const Member& m : QList<Member>(m_members)) {
        AfterNameListWidget* list = m.list;
        if (list == watched || list->viewport() == watched || list->verticalScrollBar() == watched) continue;
        if (list->viewport() == w)
            sendMouseEvent(list, QEvent::MouseMove, g, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    }
    return false;
}

bool AfterNameListWidgetFilter::keyEvent(QObject* watched, QEvent* event) {
    for (const Member& m : m_members)
        if (m.list != watched && m.list->hasFocus()) return static_cast<QObject*>(m.list)->event(event);
    return false;
}
