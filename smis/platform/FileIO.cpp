#include "FileIO.h"

#include <cerrno>
#include <unistd.h>

namespace smis::platform {

int FileIO::writeAll(int fd, const void* data, std::size_t length)
{
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t n = ::write(fd, p, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        length -= static_cast<std::size_t>(n);
    }
    return 0;
}

int FileIO::readAll(int fd, void* buffer, std::size_t length)
{
    char* p = static_cast<char*>(buffer);
    while (length > 0) {
        const ssize_t n = ::read(fd, p, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return END_OF_FILE;
        p += n;
        length -= static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace smis::platform
