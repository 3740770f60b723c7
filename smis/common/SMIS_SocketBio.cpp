#include "SMIS_SocketBio.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstdint>
#include <mutex>

namespace cimple {

namespace {

int socketOf(BIO* b)
{
    return static_cast<int>(reinterpret_cast<std::intptr_t>(BIO_get_data(b)));
}

bool retryable(int e)
{
    return e == EAGAIN || e == EWOULDBLOCK || e == EINTR;
}

int bioWrite(BIO* b, const char* data, int length)
{
    BIO_clear_retry_flags(b);
    const ssize_t n = ::send(socketOf(b), data, static_cast<std::size_t>(length), MSG_NOSIGNAL);
    if (n < 0 && retryable(errno))
        BIO_set_retry_write(b);
    return static_cast<int>(n);
}

int bioRead(BIO* b, char* buffer, int length)
{
    BIO_clear_retry_flags(b);
    const ssize_t n = ::recv(socketOf(b), buffer, static_cast<std::size_t>(length), 0);
    if (n < 0 && retryable(errno))
        BIO_set_retry_read(b);
    return static_cast<int>(n);
}

int bioPuts(BIO* b, const char* text)
{
    int length = 0;
    while (text[length] != '\0')
        ++length;
    return bioWrite(b, text, length);
}

long bioCtrl(BIO*, int command, long, void*)
{
    // Writes are unbuffered, so a flush always succeeds; nothing else applies.
    return command == BIO_CTRL_FLUSH ? 1 : 0;
}

int bioCreate(BIO* b)
{
    BIO_set_init(b, 1);
    return 1;
}

BIO_METHOD* method()
{
    static BIO_METHOD* m = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        BIO_METHOD* made = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "smis socket");
        if (!made)
            return;
        BIO_meth_set_write(made, bioWrite);
        BIO_meth_set_read(made, bioRead);
        BIO_meth_set_puts(made, bioPuts);
        BIO_meth_set_ctrl(made, bioCtrl);
        BIO_meth_set_create(made, bioCreate);
        m = made;
    });
    return m;
}

}  // namespace

BIO* SMIS_SocketBio::create(int socket)
{
    BIO_METHOD* m = method();
    if (!m)
        return nullptr;
    BIO* b = BIO_new(m);
    if (b)
        BIO_set_data(b, reinterpret_cast<void*>(static_cast<std::intptr_t>(socket)));
    return b;
}

}  // namespace cimple
