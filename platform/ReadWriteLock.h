#pragma once
// A reader/writer lock: shared holders may overlap, an exclusive holder
// excludes everyone. Waiting writers hold back new readers, so a writer is
// never starved. The lock knows which threads hold it: a request that could
// only wait for the calling thread itself (exclusive while holding it in any
// way, shared while holding it exclusively) is refused instead of hanging,
// and a release by a thread that holds nothing is refused too.
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

class CReadWriteLock {
public:
    enum class Held { None, Shared, Exclusive };

    CReadWriteLock() = default;
    CReadWriteLock(const CReadWriteLock&) = delete;
    CReadWriteLock& operator=(const CReadWriteLock&) = delete;

    // Waits until no one else holds the lock; false when the calling thread holds it already.
    bool LockExclusive() {
        std::unique_lock<std::mutex> guard(m_Mutex);
        const std::thread::id self = std::this_thread::get_id();
        if ((m_Writer && m_WriterId == self) || m_Readers.count(self)) return false;
        ++m_WritersWaiting;
        m_Changed.wait(guard, [this] { return !m_Writer && m_ReaderCount == 0; });
        --m_WritersWaiting;
        m_Writer = true;
        m_WriterId = self;
        return true;
    }

    // Waits while a writer holds or awaits the lock; false when the calling
    // thread holds it exclusively. A thread that already reads reads again at once.
    bool LockShared() {
        std::unique_lock<std::mutex> guard(m_Mutex);
        const std::thread::id self = std::this_thread::get_id();
        if (m_Writer && m_WriterId == self) return false;
        auto it = m_Readers.find(self);
        if (it == m_Readers.end()) {
            m_Changed.wait(guard, [this] { return !m_Writer && m_WritersWaiting == 0; });
            it = m_Readers.emplace(self, 0).first;
        }
        ++it->second;
        ++m_ReaderCount;
        return true;
    }

    // Releases the calling thread's exclusive hold, else one of its shared
    // holds; what was released (None when the thread held nothing).
    Held Unlock() {
        std::lock_guard<std::mutex> guard(m_Mutex);
        const std::thread::id self = std::this_thread::get_id();
        if (m_Writer && m_WriterId == self) {
            m_Writer = false;
            m_WriterId = std::thread::id();
            m_Changed.notify_all();
            return Held::Exclusive;
        }
        auto it = m_Readers.find(self);
        if (it == m_Readers.end()) return Held::None;
        if (--it->second == 0) m_Readers.erase(it);
        if (--m_ReaderCount == 0) m_Changed.notify_all();
        return Held::Shared;
    }

    // What the calling thread holds.
    Held HeldByThisThread() const {
        std::lock_guard<std::mutex> guard(m_Mutex);
        const std::thread::id self = std::this_thread::get_id();
        if (m_Writer && m_WriterId == self) return Held::Exclusive;
        return m_Readers.count(self) ? Held::Shared : Held::None;
    }

    bool IsFree() const {
        std::lock_guard<std::mutex> guard(m_Mutex);
        return !m_Writer && m_ReaderCount == 0;
    }

private:
    mutable std::mutex m_Mutex;
    std::condition_variable m_Changed;
    bool m_Writer = false;
    std::thread::id m_WriterId;
    int m_WritersWaiting = 0;
    int m_ReaderCount = 0;
    std::map<std::thread::id, int> m_Readers;  // shared holds per thread
};
