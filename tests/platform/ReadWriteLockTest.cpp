#include "platform/ReadWriteLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Held = CReadWriteLock::Held;

// Waits a little for `flag`; the waits only give a broken lock time to show itself.
bool BecomesTrue(const std::atomic<bool>& flag) {
    for (int i = 0; i < 200 && !flag; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return flag;
}

TEST(ReadWriteLock, AnExclusiveHolderKeepsReadersAndWritersOut) {
    CReadWriteLock lock;
    ASSERT_TRUE(lock.LockExclusive());
    EXPECT_EQ(lock.HeldByThisThread(), Held::Exclusive);
    std::atomic<bool> readerIn{false};
    std::atomic<bool> writerIn{false};
    std::thread reader([&] {
        lock.LockShared();
        readerIn = true;
        lock.Unlock();
    });
    std::thread writer([&] {
        lock.LockExclusive();
        writerIn = true;
        lock.Unlock();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(readerIn);
    EXPECT_FALSE(writerIn);
    EXPECT_EQ(lock.Unlock(), Held::Exclusive);
    reader.join();
    writer.join();
    EXPECT_TRUE(readerIn);
    EXPECT_TRUE(writerIn);
    EXPECT_TRUE(lock.IsFree());
}

TEST(ReadWriteLock, ReadersOverlapAndAWriterWaitsForTheLast) {
    CReadWriteLock lock;
    ASSERT_TRUE(lock.LockShared());
    std::atomic<bool> otherReaderIn{false};
    std::thread other([&] {
        lock.LockShared();
        otherReaderIn = true;
        lock.Unlock();
    });
    EXPECT_TRUE(BecomesTrue(otherReaderIn));
    other.join();

    std::atomic<bool> writerIn{false};
    std::thread writer([&] {
        lock.LockExclusive();
        writerIn = true;
        lock.Unlock();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(writerIn);
    EXPECT_EQ(lock.Unlock(), Held::Shared);
    writer.join();
    EXPECT_TRUE(writerIn);
}

TEST(ReadWriteLock, RequestsThatCouldOnlyWaitForTheCallerAreRefused) {
    CReadWriteLock lock;
    EXPECT_EQ(lock.Unlock(), Held::None);  // nothing to release
    ASSERT_TRUE(lock.LockExclusive());
    EXPECT_FALSE(lock.LockExclusive());
    EXPECT_FALSE(lock.LockShared());
    EXPECT_EQ(lock.Unlock(), Held::Exclusive);
    EXPECT_EQ(lock.Unlock(), Held::None);

    ASSERT_TRUE(lock.LockShared());
    EXPECT_FALSE(lock.LockExclusive());
    EXPECT_TRUE(lock.LockShared());  // a reader may read again
    EXPECT_EQ(lock.Unlock(), Held::Shared);
    EXPECT_EQ(lock.HeldByThisThread(), Held::Shared);
    EXPECT_EQ(lock.Unlock(), Held::Shared);
    EXPECT_TRUE(lock.IsFree());
}

TEST(ReadWriteLock, AReleaseFromAnotherThreadReleasesNothing) {
    CReadWriteLock lock;
    ASSERT_TRUE(lock.LockExclusive());
    Held released = Held::Exclusive;
    std::thread([&] { released = lock.Unlock(); }).join();
    EXPECT_EQ(released, Held::None);
    EXPECT_FALSE(lock.IsFree());
    EXPECT_EQ(lock.Unlock(), Held::Exclusive);
}

}  // namespace
