#include "SpoolDirectory.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace cimserver {

namespace {

constexpr std::size_t RANDOM_DIGITS = 16;

bool is_hex(const std::string& s, std::size_t from, std::size_t to)
{
    for (std::size_t i = from; i < to; i++)
        if (!((s[i] >= '0' && s[i] <= '9') || (s[i] >= 'a' && s[i] <= 'f')))
            return false;
    return to > from;
}

std::string random_hex()
{
    unsigned char bytes[RANDOM_DIGITS / 2];
    std::size_t got = 0;
    while (got < sizeof bytes) {
        ssize_t n = ::getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return {};
        got += static_cast<std::size_t>(n);
    }
    std::string out;
    char two[3];
    for (unsigned char b : bytes) {
        std::snprintf(two, sizeof two, "%02x", b);
        out += two;
    }
    return out;
}

} // namespace

long SpoolDirectory::owner_of(const std::string& name)
{
    const std::size_t dash = name.find('-');
    const std::size_t suffix = name.size() - 6;
    if (dash == std::string::npos || dash == 0 || dash > 10 || name.size() < 8 ||
        name.compare(suffix, 6, ".spool") != 0 || !is_hex(name, dash + 1, suffix))
        return 0;
    long pid = 0;
    for (std::size_t i = 0; i < dash; i++) {
        if (name[i] < '0' || name[i] > '9')
            return 0;
        pid = pid * 10 + (name[i] - '0');
    }
    return pid;
}

std::shared_ptr<SpoolDirectory> SpoolDirectory::open(const std::string& path, std::size_t reserve, std::string& why)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        why = std::string("cannot create it: ") + std::strerror(errno);
        return nullptr;
    }
    struct stat seen {};
    if (::lstat(path.c_str(), &seen) != 0) {
        why = std::string("cannot read it: ") + std::strerror(errno);
        return nullptr;
    }
    if (S_ISLNK(seen.st_mode)) {
        why = "it is a symbolic link";
        return nullptr;
    }
    if (!S_ISDIR(seen.st_mode)) {
        why = "it is not a directory";
        return nullptr;
    }
    if (seen.st_uid != ::geteuid()) {
        why = "it is owned by user " + std::to_string(seen.st_uid) + ", not by the server's user " +
              std::to_string(::geteuid());
        return nullptr;
    }
    if ((seen.st_mode & 07777) != 0700) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(seen.st_mode & 07777));
        why = std::string("its mode is ") + mode + ", not 0700";
        return nullptr;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat opened {};
    if (fd < 0 || ::fstat(fd, &opened) != 0 || opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino) {
        why = "it changed while it was opened";
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    }
    return std::shared_ptr<SpoolDirectory>(new SpoolDirectory(path, fd, reserve));
}

SpoolDirectory::~SpoolDirectory()
{
    ::close(_fd);
}

std::size_t SpoolDirectory::clean() const
{
    const int fd = ::openat(_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return 0;
    }
    std::vector<std::string> gone;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        const long owner = owner_of(name);
        // A file of a running server stays (another server may share the
        // folder); only regular files of the server's own form go.
        if (owner == 0 || (owner != ::getpid() && (::kill(static_cast<pid_t>(owner), 0) == 0 || errno == EPERM)))
            continue;
        struct stat st {};
        if (::fstatat(_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            gone.push_back(name);
    }
    ::closedir(dir);
    std::size_t removed = 0;
    for (const std::string& name : gone)
        if (::unlinkat(_fd, name.c_str(), 0) == 0)
            removed++;
    return removed;
}

int SpoolDirectory::create(std::string& name) const
{
    for (int attempt = 0; attempt < 8; attempt++) {
        const std::string hex = random_hex();
        if (hex.empty())
            return -1;
        name = std::to_string(::getpid()) + "-" + hex + ".spool";
        const int fd =
            ::openat(_fd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void SpoolDirectory::remove(const std::string& name) const
{
    ::unlinkat(_fd, name.c_str(), 0);
}

bool SpoolDirectory::room_for(std::size_t n) const
{
    struct statvfs fs {};
    if (::fstatvfs(_fd, &fs) != 0)
        return false;
    const unsigned long long free = static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize;
    return free >= static_cast<unsigned long long>(n) + _reserve;
}

} // namespace cimserver
