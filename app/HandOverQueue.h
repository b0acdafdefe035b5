#pragma once
// The songs a second start handed over, on their way to the window. The
// window comes to the front at once; the paths are kept and sent, in order,
// as file-open events once nothing modal is open (a message box, a dialog, a
// menu) and the receiver takes them: a path the receiver refuses (while it
// converts) is offered again later, and nothing is dropped.
#include <QObject>
#include <QStringList>

class QTimer;

class HandOverQueue : public QObject {
    Q_OBJECT
public:
    static constexpr int kRetryMs = 200;

    // target receives the file-open events (the application object in the
    // program).
    explicit HandOverQueue(QObject* target, QObject* parent = nullptr);

    const QStringList& pending() const { return m_Pending; }

    // Restores, shows and raises the program's main windows (and the modal
    // widget over them).
    static void BringToFront();

public slots:
    void receive(const QStringList& files);

private:
    void deliver();

    QObject* m_pTarget;
    QStringList m_Pending;
    QTimer* m_pRetry;  // child
};
