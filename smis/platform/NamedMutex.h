#pragma once
// A named mutex shared by every thread of this process and by every process
// that uses the same install directory.
//
// Inside the process each name has one re-entrant mutex: the owning thread may
// take it again (it is released when every acquisition has been given back),
// other threads wait. At the outermost acquisition the owner also takes an
// exclusive flock on <install>/run/<name>.lock, so other processes wait too.
// Characters of the name other than letters, digits, '.', '-' and '_' become
// '_' in the file name ("Global\X_10.0.0.1" -> "Global_X_10.0.0.1.lock"), and
// names that map to the same file are the same mutex.
//
// The mutex is taken and given back only through NamedMutexLock. Taking it
// fails (NamedMutexError) when its lock file cannot be opened or locked:
// then nothing is held, inside the process or outside.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace smis::platform {

class NamedMutexLock;

// The mutex could not be taken; what() says why.
class NamedMutexError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A bounded wait ended before the mutex was free.
class NamedMutexTimeout : public NamedMutexError {
public:
    using NamedMutexError::NamedMutexError;
};

class NamedMutex {
public:
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // The mutex of that name, made on first use; it lives until the process ends.
    static NamedMutex& get(const std::string& name);

    // The name with every character outside [A-Za-z0-9._-] replaced by '_'.
    static std::string fileKey(const std::string& name);

    const std::string& key() const { return _key; }
    // A small number naming this mutex in log and trace records, fixed for
    // the life of the process.
    unsigned handle() const { return _handle; }

private:
    friend class NamedMutexLock;
    friend struct NamedMutexRegistry;

    NamedMutex(std::string key, unsigned handle);

    // Waits until the calling thread owns the mutex; throws NamedMutexError,
    // owning nothing, when the lock file cannot be opened or locked.
    void acquire();
    // The same, giving up at the deadline (when given): throws
    // NamedMutexTimeout, owning nothing, when another holder keeps it so long.
    void acquireBy(const std::chrono::steady_clock::time_point* deadline);
    void release();
    void resetInForkedChild();

    std::string _key;
    unsigned _handle;
    std::mutex _state;
    std::condition_variable _free;
    std::thread::id _owner;
    unsigned long _depth = 0;
    // The lock file, open from the first acquisition on (-1: not open), the
    // path it was opened at, and whether its flock is held. Only the owning
    // thread touches them.
    int _fileFd = -1;
    std::string _filePath;
    bool _fileLocked = false;
};

}  // namespace smis::platform
