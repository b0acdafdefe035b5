#include "app/Application.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <clocale>

#include "app/HandOverQueue.h"
#include "app/InstanceChannel.h"

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    const QString startFolder = QDir::currentPath();
    std::setlocale(LC_ALL, "");
    QDir::setCurrent(applicationDirPath());
    m_Files = ExistingFiles(arguments(), startFolder);

    const QString programName = QFileInfo(applicationFilePath()).fileName();
    m_pChannel = std::make_unique<InstanceChannel>(programName, InstanceChannel::RuntimeFolder());
    if (!m_pChannel->claim()) {
        // What the running instance answers changes nothing: this one ends.
        m_pChannel->handOver(m_Files);
        m_SecondInstance = true;
        return;
    }
    m_pQueue = new HandOverQueue(this, this);
    connect(m_pChannel.get(), &InstanceChannel::filesReceived, m_pQueue, &HandOverQueue::receive);
}

Application::~Application() = default;

QStringList Application::ExistingFiles(const QStringList& arguments, const QString& startFolder) {
    QStringList files;
    const QDir start(startFolder);
    for (int i = 1; i < arguments.size(); ++i) {
        const QFileInfo info(start, arguments[i]);
        if (info.exists() && !info.isDir()) files << info.absoluteFilePath();
    }
    return files;
}

bool Application::OfferToWindows(QEvent* event) {
    if (event->type() != QEvent::FileOpen) return false;
    event->ignore();
    for (QWidget* widget : topLevelWidgets()) {
        sendEvent(widget, event);
        if (event->isAccepted()) return true;
    }
    return false;
}

bool Application::event(QEvent* event) {
    if (event->type() == QEvent::FileOpen) return OfferToWindows(event);
    return QApplication::event(event);
}
