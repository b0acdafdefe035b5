#include "platform/Sync.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(CriticalSection, ReentersOnOneThreadAndExcludesOthers) {
    CCriticalSection cs;
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 10000; ++i) {
            CSingleLock outer(&cs, true);
            CSingleLock inner(&cs, true);  // the same thread locks again
            ASSERT_TRUE(inner.IsLocked());
            ++counter;
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back(work);
    for (auto& th : threads) th.join();
    EXPECT_EQ(counter, 40000);
}

TEST(CriticalSection, SingleLockUnlocksOnceAndOnScopeEnd) {
    CCriticalSection cs;
    {
        CSingleLock lock(&cs);
        EXPECT_FALSE(lock.IsLocked());
        EXPECT_TRUE(lock.Lock());
        EXPECT_TRUE(lock.Unlock());
        EXPECT_TRUE(lock.Unlock());  // a second unlock does nothing
        EXPECT_FALSE(lock.IsLocked());
        lock.Lock();
    }
    // Released at scope end: another thread can take it now.
    bool taken = false;
    std::thread([&] {
        CSingleLock lock(&cs, true);
        taken = lock.IsLocked();
    }).join();
    EXPECT_TRUE(taken);
}

}  // namespace
