#pragma once
// Critical section: a recursive lock (the document re-enters its list lock).
#include <mutex>

class CCriticalSection {
public:
    bool Lock() {
        m_.lock();
        return true;
    }
    bool Unlock() {
        m_.unlock();
        return true;
    }

private:
    std::recursive_mutex m_;
};

// Holds a critical section for a scope.
class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection* cs, bool initialLock = false) : cs_(cs) {
        if (initialLock) Lock();
    }
    ~CSingleLock() { Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;
    bool Lock() {
        if (cs_ && !locked_) locked_ = cs_->Lock();
        return locked_;
    }
    bool Unlock() {
        if (cs_ && locked_) {
            cs_->Unlock();
            locked_ = false;
        }
        return true;
    }
    bool IsLocked() const { return locked_; }

private:
    CCriticalSection* cs_;
    bool locked_ = false;
};
