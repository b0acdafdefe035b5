#include "app/HandOverQueue.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileOpenEvent>
#include <QMainWindow>
#include <QTimer>
#include <QWidget>

HandOverQueue::HandOverQueue(QObject* target, QObject* parent)
    : QObject(parent), m_pTarget(target), m_pRetry(new QTimer(this)) {
    m_pRetry->setSingleShot(true);
    m_pRetry->setInterval(kRetryMs);
    connect(m_pRetry, &QTimer::timeout, this, &HandOverQueue::deliver);
}

void HandOverQueue::BringToFront() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!qobject_cast<QMainWindow*>(widget)) continue;
        if (widget->isMinimized())
            widget->showNormal();
        else
            widget->show();
        widget->raise();
        widget->activateWindow();
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void HandOverQueue::receive(const QStringList& files) {
    BringToFront();
    m_Pending << files;
    deliver();
}

void HandOverQueue::deliver() {
    while (!m_Pending.isEmpty()) {
        if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) break;
        QFileOpenEvent event(m_Pending.first());
        event.ignore();
        if (!QCoreApplication::sendEvent(m_pTarget, &event) || !event.isAccepted()) break;
        m_Pending.removeFirst();
    }
    if (!m_Pending.isEmpty()) m_pRetry->start();
}
