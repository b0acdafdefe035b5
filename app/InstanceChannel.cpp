#include "app/InstanceChannel.h"

#include <QDataStream>
#include <QDir>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QtEndian>

#include "platform/LocalSocket.h"

namespace {

QByteArray LittleEndian32(quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    return QByteArray(bytes, 4);
}

// The socket connection of one hand-over, closed when it goes.
class Connection {
public:
    explicit Connection(int fd) : m_Fd(fd) {}
    ~Connection() { LocalClose(m_Fd); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    int fd() const { return m_Fd; }

private:
    int m_Fd;
};

}  // namespace

InstanceChannel::InstanceChannel(const QString& programName, const QString& folder, QObject* parent)
    : QObject(parent), m_Folder(folder), m_Name(programName) {}

InstanceChannel::~InstanceChannel() {
    if (m_ListenFd >= 0) {
        delete m_pNotifier;
        LocalClose(m_ListenFd);
        LocalRemove(QFile::encodeName(socketPath()).toStdString());
    }
}

QString InstanceChannel::RuntimeFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

QString InstanceChannel::lockPath() const { return m_Folder + "/com.korvet." + m_Name + ".mutex"; }
QString InstanceChannel::socketPath() const { return m_Folder + "/com.korvet." + m_Name + ".message"; }

bool InstanceChannel::claim() {
    if (m_Serving) return true;
    m_pLock = std::make_unique<QLockFile>(lockPath());
    // Never stale by age: only a lock whose process is gone is taken over.
    m_pLock->setStaleLockTime(0);
    if (!m_pLock->tryLock(0)) {
        m_pLock.reset();
        return false;
    }
    m_ListenFd = LocalListen(QFile::encodeName(socketPath()).toStdString());
    if (m_ListenFd >= 0) {
        m_pNotifier = new QSocketNotifier(m_ListenFd, QSocketNotifier::Read, this);
        connect(m_pNotifier, &QSocketNotifier::activated, this, [this] { serveOne(); });
    }
    // Without a socket this stays the only instance; it just hears nothing.
    m_Serving = true;
    return true;
}

bool InstanceChannel::handOver(const QStringList& files) const {
    const Connection connection(LocalConnect(QFile::encodeName(socketPath()).toStdString()));
    if (connection.fd() < 0) return false;
    const QByteArray block = EncodeBlock(files);
    if (!LocalSendAll(connection.fd(), block.constData(), size_t(block.size()), kReplyTimeoutMs)) return false;
    char reply[4];
    if (!LocalReceiveExact(connection.fd(), reply, sizeof(reply), kReplyTimeoutMs)) return false;
    return qFromLittleEndian<quint32>(reply) == kReply;
}

QByteArray InstanceChannel::EncodeBlock(const QStringList& files) {
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out << files;
    }
    return LittleEndian32(quint32(payload.size())) + payload;
}

bool InstanceChannel::DecodeList(const QByteArray& payload, QStringList* files) {
    // The stream reserves room for the count it reads before it reads the
    // paths: a count the bytes cannot hold (each path takes at least its
    // 4-byte length) is refused first.
    if (payload.size() < 4) return false;
    const quint32 count = qFromBigEndian<quint32>(payload.constData());
    if (count > quint32(payload.size() - 4) / 4) return false;
    QDataStream in(payload);
    QStringList read;
    in >> read;
    if (in.status() != QDataStream::Ok || !in.atEnd()) return false;
    *files = read;
    return true;
}

void InstanceChannel::serveOne() {
    const Connection connection(LocalAccept(m_ListenFd));
    if (connection.fd() < 0) return;
    char count[4];
    if (!LocalReceiveExact(connection.fd(), count, sizeof(count), kReadTimeoutMs)) return;
    const quint32 size = qFromLittleEndian<quint32>(count);
    if (size > kMaxBlock) return;
    QByteArray payload(int(size), Qt::Uninitialized);
    if (size > 0 && !LocalReceiveExact(connection.fd(), payload.data(), size, kReadTimeoutMs)) return;
    QStringList files;
    if (!DecodeList(payload, &files)) return;
    const QByteArray reply = LittleEndian32(kReply);
    LocalSendAll(connection.fd(), reply.constData(), size_t(reply.size()), kReadTimeoutMs);
    emit filesReceived(files);
}
