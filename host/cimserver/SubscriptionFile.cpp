#include "SubscriptionFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace cimserver {

namespace {

std::string error_text(int error)
{
    char buf[256];
    return strerror_r(error, buf, sizeof buf);
}

// Closes the descriptor when it goes out of scope.
struct Fd {
    int fd;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

const char* kind_of(mode_t mode)
{
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISLNK(mode))
        return "a symbolic link";
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    return "not a regular file";
}

// Empty when the file may be trusted; else why not.
std::string distrust(const struct stat& st)
{
    if (!S_ISREG(st.st_mode))
        return std::string("it is ") + kind_of(st.st_mode) + ", not a regular file";
    if (st.st_uid != ::geteuid())
        return "it is owned by user " + std::to_string(st.st_uid) + ", not by the server's user " +
               std::to_string(::geteuid());
    if (st.st_mode & (S_IWGRP | S_IWOTH)) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        return std::string("its mode ") + mode + " lets other users write it";
    }
    return {};
}

enum class Opened { ok, absent, refused, failed };

// Opens an existing file for reading, checked, without following a link
// and without blocking on a FIFO; message says why when not ok.
Opened open_checked(const std::string& path, int& fd, std::string& message)
{
    struct stat seen {};
    if (::lstat(path.c_str(), &seen) != 0) {
        if (errno == ENOENT)
            return Opened::absent;
        message = path + " cannot be read: " + error_text(errno);
        return Opened::failed;
    }
    if (std::string why = distrust(seen); !why.empty()) {
        message = path + " is refused: " + why;
        return Opened::refused;
    }
    fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat opened {};
    if (fd < 0 || ::fstat(fd, &opened) != 0 || opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino) {
        message = path + " is refused: it changed while it was opened";
        return Opened::refused;
    }
    return Opened::ok;
}

// The whole file, at most limit bytes; empty when read, else why not.
std::string read_all(int fd, std::size_t limit, std::string& text)
{
    text.clear();
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return error_text(errno);
        if (n == 0)
            return {};
        if (text.size() + static_cast<std::size_t>(n) > limit)
            return "it is larger than " + std::to_string(limit) + " bytes";
        text.append(buf, static_cast<std::size_t>(n));
    }
}

bool write_all(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void sync_folder(const std::string& path)
{
    Fd folder{::open(std::filesystem::path(path).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (folder.fd >= 0)
        ::fsync(folder.fd);
}

} // namespace

SubscriptionFile::SubscriptionFile(std::string path) : _path(std::move(path)) {}

SubscriptionFile::~SubscriptionFile()
{
    if (_journal >= 0)
        ::close(_journal);
}

SubscriptionFile::Read SubscriptionFile::read(Contents& contents, std::string& message)
{
    contents = Contents();
    std::string journal;
    for (auto [path, text] : {std::pair{_path, &contents.snapshot}, std::pair{journal_path(), &journal}}) {
        int fd = -1;
        const Opened o = open_checked(path, fd, message);
        Fd closing{fd};
        if (o == Opened::absent)
            continue;
        if (o == Opened::refused)
            return Read::refused;
        if (o == Opened::failed)
            return Read::damaged;
        if (std::string why = read_all(fd, MAX_FILE, *text); !why.empty()) {
            message = path + " cannot be read whole: " + why;
            return Read::damaged;
        }
    }
    _snapshot_size = contents.snapshot.size();
    _journal_size = journal.size();
    std::size_t from = 0;
    for (std::size_t end; (end = journal.find('\n', from)) != std::string::npos; from = end + 1)
        contents.records.emplace_back(journal, from, end - from);
    contents.cut_short = from < journal.size();
    return Read::ok;
}

bool SubscriptionFile::keep_aside(std::string& message)
{
    if (_journal >= 0) {
        ::close(_journal);
        _journal = -1;
    }
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    message.clear();
    bool moved = true;
    for (const std::string& path : {_path, journal_path()}) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            continue;
        std::string aside = path + ".damaged-" + stamp;
        for (int n = 2; ::lstat(aside.c_str(), &st) == 0; n++)
            aside = path + ".damaged-" + stamp + "-" + std::to_string(n);
        if (std::rename(path.c_str(), aside.c_str()) != 0) {
            message += (message.empty() ? "" : "; ") + path + " could not be moved aside: " + error_text(errno);
            moved = false;
        } else {
            message += (message.empty() ? "" : "; ") + path + " is kept as " + aside;
        }
    }
    sync_folder(_path);
    _snapshot_size = _journal_size = 0;
    return moved;
}

bool SubscriptionFile::open_journal(std::string& message)
{
    const std::string path = journal_path();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    _journal = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    struct stat st {};
    std::string why = _journal < 0 ? error_text(errno) : ::fstat(_journal, &st) != 0 ? error_text(errno) : distrust(st);
    if (!why.empty()) {
        message = "cannot write " + path + ": " + why;
        if (_journal >= 0)
            ::close(_journal);
        _journal = -1;
        return false;
    }
    return true;
}

bool SubscriptionFile::append(const std::string& lines, std::string& message)
{
    if (_journal < 0 && !open_journal(message))
        return false;
    if (!write_all(_journal, lines) || ::fdatasync(_journal) != 0) {
        message = "cannot write " + journal_path() + ": " + error_text(errno);
        // What may have reached the file is cut off again, so the journal
        // never holds a record of a change that was not made.
        if (::ftruncate(_journal, static_cast<off_t>(_journal_size)) != 0)
            message += " (and it could not be cut back)";
        return false;
    }
    _journal_size += lines.size();
    return true;
}

bool SubscriptionFile::replace(const std::string& text, std::string& message)
{
    const std::filesystem::path target(_path);
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    const std::string tmp = _path + ".tmp";
    ::unlink(tmp.c_str()); // what a crash left behind
    {
        Fd out{::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)};
        if (out.fd < 0 || !write_all(out.fd, text) || ::fsync(out.fd) != 0) {
            message = "cannot write " + tmp + ": " + error_text(errno);
            ::unlink(tmp.c_str());
            return false;
        }
    }
    if (std::rename(tmp.c_str(), _path.c_str()) != 0) {
        message = "cannot replace " + _path + ": " + error_text(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    // The rename itself lasts once the folder is synced; then the journal
    // the snapshot now holds goes.
    sync_folder(_path);
    _snapshot_size = text.size();
    if (_journal_size == 0 && _journal < 0 && ::access(journal_path().c_str(), F_OK) != 0)
        return true;
    if (_journal < 0 && !open_journal(message))
        return false;
    if (::ftruncate(_journal, 0) != 0 || ::fsync(_journal) != 0) {
        message = "cannot empty " + journal_path() + ": " + error_text(errno);
        return false;
    }
    _journal_size = 0;
    return true;
}

} // namespace cimserver
