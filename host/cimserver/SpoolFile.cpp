#include "SpoolFile.h"

#include "Transport.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>

namespace cimserver {

namespace {

// Sent space is given back in steps of this size (whole blocks).
constexpr std::size_t RELEASE_STEP = std::size_t(8) << 20;

} // namespace

SpoolFile::~SpoolFile()
{
    if (_fd >= 0) {
        ::close(_fd);
        _directory->remove(_name);
    }
}

bool SpoolFile::open(std::shared_ptr<const SpoolDirectory> directory)
{
    _directory = std::move(directory);
    _fd = _directory->create(_name);
    return _fd >= 0;
}

SpoolFile::Append SpoolFile::append(std::string_view a, std::string_view b, std::string_view c)
{
    if (!_directory->room_for(a.size() + b.size() + c.size()))
        return Append::Full;
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
            return n < 0 && (errno == ENOSPC || errno == EDQUOT) ? Append::Full : Append::Failed;
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
    return Append::Done;
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
