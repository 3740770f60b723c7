#include "LogFile.h"

#include <Pegasus/InstallRoot.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace Pegasus {

namespace {

std::mutex& fileMutex()
{
    static std::mutex m;
    return m;
}

struct Rotation {
    std::uint64_t maxBytes = 10u << 20;
    unsigned keptFiles = 5;
};

Rotation& rotation()
{
    static Rotation r;
    return r;
}

bool writeAll(int fd, const char* data, size_t length)
{
    while (length > 0) {
        const ssize_t n = ::write(fd, data, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string LogFile::timestamp()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t secs = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tmv{};
    ::gmtime_r(&secs, &tmv);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tmv.tm_year + 1900,
                  tmv.tm_mon + 1, tmv.tm_mday, tmv.tm_hour, tmv.tm_min, tmv.tm_sec,
                  static_cast<int>(millis));
    return buf;
}

namespace {

// One log file kept open between records. It is opened again when the
// install directory changes, and when the file has been removed or replaced
// (a rotation) - looked at no more than once a second, so that a record
// costs one write and no open, close or path look-up.
struct OpenLog {
    std::string path;
    int fd = -1;
    std::uint64_t size = 0; // of the open file, as far as this process knows
    std::chrono::steady_clock::time_point checked;

    void close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    bool stillThere() const
    {
        struct stat onDisk {};
        struct stat open {};
        return ::stat(path.c_str(), &onDisk) == 0 && ::fstat(fd, &open) == 0 && onDisk.st_dev == open.st_dev &&
               onDisk.st_ino == open.st_ino;
    }

    void open(const std::string& dir, const std::string& wanted)
    {
        close();
        path = wanted;
        fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0 && errno == ENOENT) {
            ::mkdir(dir.c_str(), 0755);
            fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        }
        struct stat st {};
        size = fd >= 0 && ::fstat(fd, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
        checked = std::chrono::steady_clock::now();
    }

    // Moves the file to <path>.1 (the older ones one further, the oldest
    // kept one dropped) and starts a new one.
    void rotate(const std::string& dir, unsigned kept)
    {
        close();
        if (kept == 0) {
            ::unlink(path.c_str());
        } else {
            for (unsigned i = kept; i > 1; i--)
                ::rename((path + "." + std::to_string(i - 1)).c_str(), (path + "." + std::to_string(i)).c_str());
            ::rename(path.c_str(), (path + ".1").c_str());
        }
        open(dir, path);
    }

    // The descriptor to write the next record to; -1 when the file cannot be opened.
    int get(const std::string& dir, const std::string& wanted)
    {
        const auto now = std::chrono::steady_clock::now();
        if (fd < 0 || path != wanted) {
            open(dir, wanted);
        } else if (now - checked >= std::chrono::seconds(1)) {
            checked = now;
            if (!stillThere())
                open(dir, wanted);
        }
        return fd;
    }
};

OpenLog& openLog(const char* fileName)
{
    static std::map<std::string, OpenLog> logs;
    return logs[fileName];
}

}  // namespace

void LogFile::setRotation(std::uint64_t maxBytes, unsigned keptFiles)
{
    std::lock_guard<std::mutex> lock(fileMutex());
    rotation() = Rotation{maxBytes, keptFiles};
}

void LogFile::appendLine(const char* fileName, const std::string& line)
{
    const std::string dir = InstallRoot::path() + "/log";
    const std::string path = dir + "/" + fileName;
    std::string text;
    text.reserve(line.size() + 1);
    text += line;
    text.push_back('\n');

    std::lock_guard<std::mutex> lock(fileMutex());
    OpenLog& log = openLog(fileName);
    int fd = log.get(dir, path);
    const Rotation limits = rotation();
    if (fd >= 0 && limits.maxBytes > 0 && log.size > 0 && log.size + text.size() > limits.maxBytes) {
        // Another process may have rotated already: look at the size on disk.
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || static_cast<std::uint64_t>(st.st_size) + text.size() > limits.maxBytes)
            log.rotate(dir, limits.keptFiles);
        else
            log.open(dir, path);
        fd = log.fd;
    }
    if (fd >= 0 && !writeAll(fd, text.data(), text.size())) {
        // A descriptor that went bad (file system remounted, ...) is opened
        // again once before the record is given up on.
        log.open(dir, path);
        fd = log.fd;
        if (fd >= 0 && !writeAll(fd, text.data(), text.size()))
            fd = -1;
    }
    if (fd >= 0)
        log.size += text.size();
    if (fd < 0) {
        // The log itself is unusable: keep the record on standard error.
        std::fwrite(text.data(), 1, text.size(), stderr);
    }
}

}  // namespace Pegasus
