#include "NamedMutex.h"

#include "ErrorText.h"
#include "InstallDir.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <new>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace smis::platform {

// Every named mutex of the process. A forked child inherits the parent's
// state, including lock-file descriptors whose flock the parent holds: the
// fork handlers keep the map consistent across fork() and give the child a
// clean state (no owner, no inherited descriptor).
struct NamedMutexRegistry {
    std::mutex lock;
    std::unordered_map<std::string, std::unique_ptr<NamedMutex>> byKey;

    static NamedMutexRegistry& instance()
    {
        static NamedMutexRegistry* registry = [] {
            auto* r = new NamedMutexRegistry;
            ::pthread_atfork(&beforeFork, &afterForkInParent, &afterForkInChild);
            return r;
        }();
        return *registry;
    }

    static void beforeFork() { instance().lock.lock(); }
    static void afterForkInParent() { instance().lock.unlock(); }
    static void afterForkInChild()
    {
        NamedMutexRegistry& r = instance();
        for (auto& entry : r.byKey)
            entry.second->resetInForkedChild();
        r.lock.unlock();
    }
};

NamedMutex::NamedMutex(std::string key, unsigned handle) : _key(std::move(key)), _handle(handle) {}

std::string NamedMutex::fileKey(const std::string& name)
{
    std::string key = name;
    for (char& c : key) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          c == '.' || c == '-' || c == '_';
        if (!keep)
            c = '_';
    }
    if (key.empty() || key == "." || key == "..")
        key = "_" + key;
    return key;
}

NamedMutex& NamedMutex::get(const std::string& name)
{
    NamedMutexRegistry& r = NamedMutexRegistry::instance();
    const std::string key = fileKey(name);
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.byKey.find(key);
    if (it == r.byKey.end()) {
        // Numbered as handles are: 4, 8, 12, ... in the order of first use.
        const unsigned handle = static_cast<unsigned>(r.byKey.size() + 1) * 4;
        it = r.byKey.emplace(key, std::unique_ptr<NamedMutex>(new NamedMutex(key, handle))).first;
    }
    return *it->second;
}

namespace {

// Makes a file or folder of the service private: the given mode whatever the
// umask was, when this process owns it. Another user's lock files are left
// alone (the open would have failed on them anyway).
void makePrivate(int fd, mode_t mode)
{
    struct stat st {};
    if (::fstat(fd, &st) == 0 && (st.st_mode & 07777) != mode && st.st_uid == ::geteuid())
        ::fchmod(fd, mode);
}

void makeRunDirectoryPrivate(const std::string& dir)
{
    // Checked once per folder and process: a folder made by an earlier
    // version (or by hand) is tightened on first use.
    static std::mutex lock;
    static std::string checked;
    std::lock_guard<std::mutex> guard(lock);
    if (dir == checked)
        return;
    checked = dir;
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    makePrivate(fd, 0700);
    ::close(fd);
}

// Opens (creating it when missing) the lock file at path in the run folder
// dir; -1 with errno set when it cannot be opened. The run folder is 0700 and every lock
// file 0600 under any umask: a lock file others could open would let any
// local user hold the service's locks.
int openLockFile(const std::string& dir, const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno == ENOENT) {
        if (::mkdir(dir.c_str(), 0700) == 0)
            ::chmod(dir.c_str(), 0700);  // the umask may have taken bits away
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    }
    if (fd < 0)
        return -1;
    // A lock file left by an earlier version (0644 in a 0755 folder) is made
    // private on its first use.
    makePrivate(fd, 0600);
    makeRunDirectoryPrivate(dir);
    return fd;
}

// True while the descriptor still names the file at its path (nobody
// removed it since it was opened).
bool stillLinked(int fd)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 && st.st_nlink > 0;
}

}  // namespace

void NamedMutex::acquire()
{
    acquireBy(nullptr);
}

void NamedMutex::acquireBy(const std::chrono::steady_clock::time_point* deadline)
{
    const std::thread::id self = std::this_thread::get_id();
    std::unique_lock<std::mutex> guard(_state);
    if (_depth > 0 && _owner == self) {
        ++_depth;
        return;
    }
    if (!deadline)
        _free.wait(guard, [this] { return _depth == 0; });
    else if (!_free.wait_until(guard, *deadline, [this] { return _depth == 0; }))
        throw NamedMutexTimeout("Timed out waiting for " + _key);
    _owner = self;
    _depth = 1;
    guard.unlock();

    // Other threads of this process now wait on _free; the file lock keeps
    // other processes out. The lock file stays open between acquisitions
    // (only its owner touches it), so taking the mutex costs the flock, not
    // a path look-up and an open each time; it is opened again when the
    // install directory changed or the file was removed.
    const std::string dir = InstallDir::file({"run"});
    const std::string path = InstallDir::file({"run", _key + ".lock"});
    if (_fileFd >= 0 && (path != _filePath || !stillLinked(_fileFd))) {
        ::close(_fileFd);
        _fileFd = -1;
    }
    std::string failure;
    bool timedOut = false;
    if (_fileFd < 0) {
        _fileFd = openLockFile(dir, path);
        _filePath = path;
        if (_fileFd < 0) {
            const int err = errno;
            failure = "Failed to open lock file " + path + ":" + ErrorText::message(err);
        }
    }
    if (_fileFd >= 0) {
        int rc;
        if (!deadline) {
            while ((rc = ::flock(_fileFd, LOCK_EX)) != 0 && errno == EINTR) {
            }
        } else {
            // flock has no timed form: another process's hold is polled
            // until the deadline.
            while ((rc = ::flock(_fileFd, LOCK_EX | LOCK_NB)) != 0 && (errno == EINTR || errno == EWOULDBLOCK)) {
                if (errno == EWOULDBLOCK && std::chrono::steady_clock::now() >= *deadline) {
                    timedOut = true;
                    break;
                }
                if (errno == EWOULDBLOCK)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        if (timedOut) {
            failure = "Timed out waiting for " + _key;
        } else if (rc != 0) {
            const int err = errno;
            failure = "Failed to lock file " + path + ":" + ErrorText::message(err);
        }
    }

    guard.lock();
    if (failure.empty()) {
        _fileLocked = true;
        return;
    }
    // Without the file lock other processes are not excluded: the mutex is
    // not held, and the next waiter of this process tries for itself.
    _fileLocked = false;
    _depth = 0;
    _owner = std::thread::id();
    guard.unlock();
    _free.notify_all();
    if (timedOut)
        throw NamedMutexTimeout(failure);
    throw NamedMutexError(failure);
}

void NamedMutex::release()
{
    std::unique_lock<std::mutex> guard(_state);
    if (_depth == 0)
        return;
    if (--_depth > 0)
        return;
    if (_fileLocked) {
        ::flock(_fileFd, LOCK_UN);
        _fileLocked = false;
    }
    _owner = std::thread::id();
    guard.unlock();
    _free.notify_all();
}

void NamedMutex::resetInForkedChild()
{
    // Only the forking thread lives on in the child: whatever another parent
    // thread held is gone. The state mutex and condition may have been taken
    // by such a thread, so both are made anew.
    new (&_state) std::mutex();
    new (&_free) std::condition_variable();
    if (_fileFd >= 0)
        ::close(_fileFd);  // close, never unlock: the flock is the parent's
    _fileFd = -1;
    _filePath.clear();
    _fileLocked = false;
    _owner = std::thread::id();
    _depth = 0;
}

}  // namespace smis::platform
