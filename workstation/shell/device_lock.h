// The lock that keeps the reader to one caller at a time.
//
// Recursive: a caller that holds it may call the table's helpers, and a
// library message box shown on the GUI thread from inside a call may lead
// to another call of the same thread. The GUI thread never blocks on it
// without running its event loop: while a worker holds the lock, that worker
// may be waiting for the GUI thread (a library message box, ShowMessage),
// so the GUI thread keeps serving events until the lock is free.
#pragma once

#include <mutex>

class DeviceLock {
public:
    void lock();
    void unlock() { mutex_.unlock(); }
    bool try_lock() { return mutex_.try_lock(); }

    // Holds the lock for its scope.
    class Hold {
    public:
        explicit Hold(DeviceLock& lock) : lock_(lock) { lock_.lock(); }
        ~Hold() { lock_.unlock(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        DeviceLock& lock_;
    };

private:
    std::recursive_timed_mutex mutex_;
};
