#pragma once
// Holds a NamedMutex for the life of the object: the constructor waits (without
// time limit, or up to a given bound) until the calling thread owns the mutex, the destructor gives the
// acquisition back. Acquisitions nest on one thread. A constructor that cannot
// take the mutex throws NamedMutexError, so a lock object always holds.
//
//   {
//       smis::platform::NamedMutexLock lock("Global\\SMIS_CredkeepFile_Mutex");
//       ... // other threads and processes wait here
//   }

#include <chrono>
#include <string>

namespace smis::platform {

class NamedMutex;

class NamedMutexLock {
public:
    explicit NamedMutexLock(const std::string& name);
    // Waits at most for the given time; throws NamedMutexTimeout (nothing
    // held) when the mutex is not free by then.
    NamedMutexLock(const std::string& name, std::chrono::milliseconds bound);
    ~NamedMutexLock();

    NamedMutexLock(const NamedMutexLock&) = delete;
    NamedMutexLock& operator=(const NamedMutexLock&) = delete;

    // The held mutex's handle number (NamedMutex::handle).
    unsigned handle() const;

private:
    NamedMutex& _mutex;
};

}  // namespace smis::platform
