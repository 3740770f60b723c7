#pragma once
// Holds a NamedMutex for the life of the object: the constructor waits without
// time limit until the calling thread owns the mutex, the destructor gives the
// acquisition back. Acquisitions nest on one thread.
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

private:
    NamedMutex& _mutex;
};

}  // namespace smis::platform
