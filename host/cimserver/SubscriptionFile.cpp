#include "SubscriptionFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

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

} // namespace

bool SubscriptionFile::read(std::string& text, std::string& message) const
{
    text.clear();
    std::ifstream in(_path, std::ios::binary);
    if (!in) {
        if (errno == ENOENT)
            return true;
        message = "cannot read " + _path + ": " + error_text(errno);
        return false;
    }
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad()) {
        message = "cannot read " + _path;
        return false;
    }
    text = all.str();
    return true;
}

bool SubscriptionFile::write(const std::string& text, std::string& message) const
{
    const std::filesystem::path target(_path);
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    const std::string tmp = _path + ".tmp";
    {
        Fd out{::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
        if (out.fd < 0) {
            message = "cannot write " + tmp + ": " + error_text(errno);
            return false;
        }
        size_t done = 0;
        while (done < text.size()) {
            ssize_t n = ::write(out.fd, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                message = "cannot write " + tmp + ": " + error_text(errno);
                ::unlink(tmp.c_str());
                return false;
            }
            done += static_cast<size_t>(n);
        }
        if (::fsync(out.fd) != 0) {
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
    // The rename itself lasts once the folder is synced.
    Fd folder{::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (folder.fd >= 0)
        ::fsync(folder.fd);
    return true;
}

} // namespace cimserver
