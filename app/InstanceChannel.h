#pragma once
// One running instance per program file name. The first start holds a lock
// file "com.korvet.<name>.mutex" in the user's runtime folder for its whole
// life and serves a local socket "com.korvet.<name>.message" beside it; a
// later start finds the lock taken and sends its file arguments there.
//
// A hand-over block is N (32-bit little-endian), then N bytes: the file list
// as a QDataStream QStringList. The receiver answers kReply (little-endian)
// after it has read the list; a block above kMaxBlock bytes or a list that
// does not read back cleanly is refused without an answer.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLockFile;
class QSocketNotifier;

class InstanceChannel : public QObject {
    Q_OBJECT
public:
    static constexpr quint32 kReply = 0x4D795345;
    static constexpr quint32 kMaxBlock = 1u << 20;
    static constexpr int kReplyTimeoutMs = 3000;
    // How long a connected sender may take to deliver its block.
    static constexpr int kReadTimeoutMs = 1000;

    // programName: the file name of the program file; folder: where the lock
    // and the socket live (the user's runtime folder in the program).
    InstanceChannel(const QString& programName, const QString& folder, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // The user's runtime folder.
    static QString RuntimeFolder();

    // Takes the lock (a lock left by a dead process is taken over) and, on
    // success, starts serving. False: another instance holds it.
    bool claim();
    bool isFirst() const { return m_Serving; }
    // Offers the files to the instance that holds the lock; true when it
    // answered kReply within kReplyTimeoutMs.
    bool handOver(const QStringList& files) const;

    QString lockPath() const;
    QString socketPath() const;

    // The whole block for the list, N in front.
    static QByteArray EncodeBlock(const QStringList& files);
    // The list from the N bytes after the count; false for a list that does
    // not read back cleanly (the stream fails or bytes are left over).
    static bool DecodeList(const QByteArray& payload, QStringList* files);

signals:
    // A hand-over that was read and answered.
    void filesReceived(const QStringList& files);

private:
    void serveOne();

    QString m_Folder;
    QString m_Name;
    std::unique_ptr<QLockFile> m_pLock;
    int m_ListenFd = -1;
    QSocketNotifier* m_pNotifier = nullptr;  // owned by this object
    bool m_Serving = false;
};
