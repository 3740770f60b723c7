#pragma once
// Holds a NamedMutex for the life of the object: the constructor waits without
// time limit until the calling thread owns the mutex, the destructor gives the
// acquisition back. Acquisitions nest on one thread. A constructor that cannot
// take the mutex throws NamedMutexError, so a lock object always holds.
//
//   {
//       smis::platform::NamedMutexLock lock("Global\\SMIS_CredkeepFile_Mutex");
//       ... // other threads and processes wait here
//   }

#include <string>

namespace smis::platform {

class NamedMutex;

class NamedMutexLock {
public:
    explicit NamedMutexLock(const std::string& name);
    ~NamedMutexLock();

    NamedMutexLock(const NamedMutexLock&) = delete;
    NamedMutexLock& operator=(const NamedMutexLock&) = delete;

    // The held mutex's handle number (NamedMutex::handle).
    unsigned handle() const;

private:
    NamedMutex& _mutex;
};

}  // namespace smis::platform
