#include "LogFile.h"

#include <Pegasus/InstallRoot.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
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

void LogFile::appendLine(const char* fileName, const std::string& line)
{
    const std::string dir = InstallRoot::path() + "/log";
    const std::string path = dir + "/" + fileName;
    std::string text = line;
    text.push_back('\n');

    std::lock_guard<std::mutex> lock(fileMutex());
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0 && errno == ENOENT) {
        ::mkdir(dir.c_str(), 0755);
        fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    }
    if (fd < 0 || !writeAll(fd, text.data(), text.size())) {
        // The log itself is unusable: keep the record on standard error.
        std::fwrite(text.data(), 1, text.size(), stderr);
    }
    if (fd >= 0)
        ::close(fd);
}

}  // namespace Pegasus
