#include "Transport.h"

#include <sys/sendfile.h>
#include <sys/socket.h>

#include <cerrno>

namespace cimserver {

ssize_t Transport::receive(void* buffer, std::size_t size)
{
    ssize_t n;
    do
        n = ::recv(_fd, buffer, size, MSG_DONTWAIT);
    while (n < 0 && errno == EINTR);
    return n;
}

ssize_t Transport::send(const iovec* pieces, int count)
{
    msghdr msg{};
    msg.msg_iov = const_cast<iovec*>(pieces);
    msg.msg_iovlen = static_cast<std::size_t>(count);
    ssize_t n;
    do
        n = ::sendmsg(_fd, &msg, MSG_NOSIGNAL | MSG_DONTWAIT);
    while (n < 0 && errno == EINTR);
    return n;
}

ssize_t Transport::send_file(int file, off_t& offset, std::size_t size)
{
    ssize_t n;
    do
        n = ::sendfile(_fd, file, &offset, size);
    while (n < 0 && errno == EINTR);
    return n;
}

void Transport::shutdown_send()
{
    ::shutdown(_fd, SHUT_WR);
}

void Transport::send_now(std::string_view text)
{
    iovec piece{const_cast<char*>(text.data()), text.size()};
    (void)send(&piece, 1);
}

} // namespace cimserver
