// The single-instance channel: the hand-over block, the lock, the socket
// with its refusals, and the program started twice.
#include <gtest/gtest.h>

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <atomic>
#include <thread>

#include "app/InstanceChannel.h"
#include "platform/LocalSocket.h"

namespace {

// Runs work on a thread of its own while this thread's event loop serves
// the channel; returns when the work is done.
template <typename Work>
void WhileServing(Work work) {
    std::atomic<bool> done{false};
    std::thread sender([&] {
        work();
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
    sender.join();
}

QByteArray CountLE(quint32 n) {
    char bytes[4];
    qToLittleEndian(n, bytes);
    return QByteArray(bytes, 4);
}

QByteArray CountBE(quint32 n) {
    char bytes[4];
    qToBigEndian(n, bytes);
    return QByteArray(bytes, 4);
}

// Sends raw bytes to the socket and waits for an answer; whether one came.
bool SendRaw(const QString& socketPath, const QByteArray& bytes) {
    const int fd = LocalConnect(QFile::encodeName(socketPath).toStdString());
    if (fd < 0) return false;
    LocalSendAll(fd, bytes.constData(), size_t(bytes.size()), 1000);
    char reply[4];
    const bool answered = LocalReceiveExact(fd, reply, 4, 1500);
    LocalClose(fd);
    return answered;
}

}  // namespace

TEST(InstanceChannelBlock, RoundTripsWithTheCountInFront) {
    const QStringList kLists[] = {
        {},
        {"a"},
        {"/songs/first.mid", "/songs/\u00fcber \u00df.mid", "/songs/\u6f14\u594f.MID"},
    };
    for (const QStringList& files : kLists) {
        const QByteArray block = InstanceChannel::EncodeBlock(files);
        ASSERT_GE(block.size(), 8);
        EXPECT_EQ(qFromLittleEndian<quint32>(block.constData()), quint32(block.size() - 4));
        QStringList back{"left over"};
        EXPECT_TRUE(InstanceChannel::DecodeList(block.mid(4), &back));
        EXPECT_EQ(back, files);
    }
    // The layout: the count of paths, then each path's byte length and its
    // UTF-16 code units, all big-endian.
    EXPECT_EQ(InstanceChannel::EncodeBlock({"a"}),
              CountLE(10) + CountBE(1) + CountBE(2) + QByteArray("\0a", 2));
}

TEST(InstanceChannelBlock, DamagedListsAreRefused) {
    struct Case {
        const char* what;
        QByteArray payload;
    };
    const Case kCases[] = {
        {"empty", QByteArray()},
        {"count without paths", CountBE(1)},
        {"a count no bytes could hold", CountBE(0x7FFFFFFF) + CountBE(0)},
        {"a path longer than the bytes", CountBE(1) + CountBE(8) + QByteArray("\0a", 2)},
        {"an odd byte length", CountBE(1) + CountBE(3) + QByteArray("\0a\0", 3)},
        {"bytes left over", CountBE(1) + CountBE(2) + QByteArray("\0a", 2) + QByteArray("xx")},
    };
    for (const Case& c : kCases) {
        QStringList files{"kept"};
        EXPECT_FALSE(InstanceChannel::DecodeList(c.payload, &files)) << c.what;
        EXPECT_EQ(files, QStringList{"kept"}) << c.what;
    }
}

TEST(InstanceChannelLock, OneHolderPerNameAndAStaleLockIsTakenOver) {
    QTemporaryDir runtime;
    InstanceChannel first("vexa", runtime.path());
    ASSERT_TRUE(first.claim());
    EXPECT_TRUE(first.isFirst());
    EXPECT_TRUE(QFileInfo::exists(runtime.filePath("com.korvet.vexa.mutex")));
    EXPECT_TRUE(QFileInfo::exists(runtime.filePath("com.korvet.vexa.message")));
    InstanceChannel again("vexa", runtime.path());
    EXPECT_FALSE(again.claim());
    // A copy under another name has a lock of its own.
    InstanceChannel copy("vexa-copy", runtime.path());
    EXPECT_TRUE(copy.claim());

    // A lock file left by a process that has ended.
    QProcess ended;
    ended.start("sleep", {"0"});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 deadPid = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    QFile stale(runtime.filePath("com.korvet.crashed.mutex"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QString("%1\nvexa\n%2\n").arg(deadPid).arg(QSysInfo::machineHostName()).toUtf8());
    stale.close();
    InstanceChannel heir("crashed", runtime.path());
    EXPECT_TRUE(heir.claim());
}

TEST(InstanceChannelSocket, HandsOverAndRefusesDamagedBlocksWithoutAnAnswer) {
    QTemporaryDir runtime;
    InstanceChannel first("vexa", runtime.path());
    ASSERT_TRUE(first.claim());
    QSignalSpy received(&first, &InstanceChannel::filesReceived);
    InstanceChannel second("vexa", runtime.path());
    ASSERT_FALSE(second.claim());

    const QStringList kLists[] = {{"/a/one.mid", "/b/two.mid"}, {}};
    for (const QStringList& files : kLists) {
        bool answered = false;
        WhileServing([&] { answered = second.handOver(files); });
        EXPECT_TRUE(answered);
        ASSERT_EQ(received.count(), 1);
        EXPECT_EQ(received.takeFirst().at(0).toStringList(), files);
    }

    const QByteArray good = InstanceChannel::EncodeBlock({"x"});
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case kRefused[] = {
        {"a count above the cap", CountLE(InstanceChannel::kMaxBlock + 1) + good.mid(4)},
        {"a count of 4 GiB less one", CountLE(0xFFFFFFFF)},
        {"a damaged stream", CountLE(6) + CountBE(1) + CountBE(9)},
        {"fewer bytes than the count", CountLE(100) + good.mid(4)},
    };
    for (const Case& c : kRefused) {
        bool answered = true;
        WhileServing([&] { answered = SendRaw(first.socketPath(), c.bytes); });
        EXPECT_FALSE(answered) << c.what;
        EXPECT_EQ(received.count(), 0) << c.what;
    }
    // The channel still serves after the refusals.
    bool answered = false;
    WhileServing([&] { answered = SendRaw(first.socketPath(), good); });
    EXPECT_TRUE(answered);
    EXPECT_EQ(received.count(), 1);
}

TEST(InstanceChannelSocket, NobodyListeningMeansNoHandOver) {
    QTemporaryDir runtime;
    InstanceChannel lone("vexa", runtime.path());
    EXPECT_FALSE(lone.handOver({"/a.mid"}));
}
