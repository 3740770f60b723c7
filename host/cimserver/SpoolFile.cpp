#include "SpoolFile.h"

#include "Transport.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace cimserver {

namespace {

// Sent space is given back in steps of this size (whole blocks).
constexpr std::size_t RELEASE_STEP = std::size_t(8) << 20;

std::atomic<unsigned long> next_number{0};

// The process id a spool file name starts with ("<pid>-<n>.spool"), or 0.
pid_t owner_of(const std::string& name)
{
    char* end = nullptr;
    long pid = std::strtol(name.c_str(), &end, 10);
    if (pid <= 0 || !end || *end != '-' || name.size() < 7 || name.compare(name.size() - 6, 6, ".spool") != 0)
        return 0;
    return static_cast<pid_t>(pid);
}

} // namespace

bool SpoolFile::clean(const std::string& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (::chmod(folder.c_str(), 0700) != 0)
        return false;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        const pid_t owner = owner_of(name);
        // A file of a running server stays (another server may share the
        // install directory); that of a server gone, or not a spool file
        // at all, goes.
        if (owner != 0 && owner != ::getpid() && (::kill(owner, 0) == 0 || errno == EPERM))
            continue;
        std::filesystem::remove(entry.path(), ec);
    }
    return true;
}

SpoolFile::~SpoolFile()
{
    if (_fd >= 0) {
        ::close(_fd);
        ::unlink(_path.c_str());
    }
}

bool SpoolFile::open(const std::string& folder)
{
    _path = folder + "/" + std::to_string(::getpid()) + "-" + std::to_string(next_number++) + ".spool";
    _fd = ::open(_path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    return _fd >= 0;
}

bool SpoolFile::append(std::string_view a, std::string_view b, std::string_view c)
{
    iovec iov[3] = {{const_cast<char*>(a.data()), a.size()},
                    {const_cast<char*>(b.data()), b.size()},
                    {const_cast<char*>(c.data()), c.size()}};
    int first = 0;
    while (first < 3) {
        if (iov[first].iov_len == 0) {
            first++;
            continue;
        }
        ssize_t n = ::pwritev(_fd, iov + first, 3 - first, static_cast<off_t>(_written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        _written += static_cast<std::size_t>(n);
        auto left = static_cast<std::size_t>(n);
        while (first < 3 && left >= iov[first].iov_len) {
            left -= iov[first].iov_len;
            first++;
        }
        if (first < 3) {
            iov[first].iov_base = static_cast<char*>(iov[first].iov_base) + left;
            iov[first].iov_len -= left;
        }
    }
    return true;
}

ssize_t SpoolFile::send_to(Transport& to)
{
    off_t offset = static_cast<off_t>(_sent);
    const ssize_t n = to.send_file(_fd, offset, pending());
    if (n > 0) {
        _sent += static_cast<std::size_t>(n);
        release_sent();
    }
    return n;
}

void SpoolFile::release_sent()
{
    if (_sent == _written) {
        // All sent: the file starts over empty.
        if (::ftruncate(_fd, 0) == 0)
            _written = _sent = _released = 0;
        return;
    }
    const std::size_t upto = _sent / RELEASE_STEP * RELEASE_STEP;
    if (upto > _released &&
        ::fallocate(_fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(_released),
                    static_cast<off_t>(upto - _released)) == 0)
        _released = upto;
}

} // namespace cimserver
