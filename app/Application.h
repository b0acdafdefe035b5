#pragma once
// The program's application object: one instance per program file name. The
// first start holds the instance channel and passes the songs a later start
// hands over to its window as file-open events; a later start hands its file
// arguments over and is marked as such (main then ends with -1).
#include <QApplication>
#include <QStringList>
#include <memory>

class HandOverQueue;
class InstanceChannel;

class Application : public QApplication {
    Q_OBJECT
public:
    // Sets the locale from the system, makes the current folder the
    // program's folder and claims the instance channel in the user's runtime
    // folder.
    Application(int& argc, char** argv);
    ~Application() override;

    bool isSecondInstance() const { return m_SecondInstance; }
    // The arguments after the first that name existing files, made absolute
    // against the folder the program was started in.
    const QStringList& files() const { return m_Files; }

    // The arguments after the first that name existing files, absolute
    // against the folder.
    static QStringList ExistingFiles(const QStringList& arguments, const QString& startFolder);
    // Offers a file-open event to each top-level widget in turn until one
    // accepts it; whether one did. Other events are not handled (false).
    static bool OfferToWindows(QEvent* event);

protected:
    bool event(QEvent* event) override;

private:
    QStringList m_Files;
    std::unique_ptr<InstanceChannel> m_pChannel;
    HandOverQueue* m_pQueue = nullptr;  // child
    bool m_SecondInstance = false;
};
