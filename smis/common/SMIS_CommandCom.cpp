#include "SMIS_CommandCom.h"

#include "LockRegister.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <openssl/err.h>
#include <openssl/x509.h>

#include "SMIS_ChannelSilence.h"
#include "SMIS_EnvAccess.h"
#include "SMIS_MethodLock.h"
#include "SMIS_PacketHeader.h"
#include "SMIS_RequestContext.h"
#include "SMIS_SocketBio.h"
#include "SMIS_TraceLog.h"

namespace cimple {

namespace {

constexpr std::size_t LOG_SIZE = 1024;
constexpr int CONNECT_SLOT_MILLIS = 1000;
constexpr int TLS_WAIT_MILLIS = 200;

std::int64_t nowMillis()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The first error of the TLS library's queue as text.
const char* sslErrorText(char* buffer, std::size_t size)
{
    const unsigned long e = ERR_peek_last_error();
    if (e == 0)
        std::snprintf(buffer, size, "(no library error)");
    else
        ERR_error_string_n(e, buffer, size);
    return buffer;
}

// Connect failures that mean "not reachable now": the attempt is repeated.
bool transientConnectError(int e)
{
    return e == ECONNREFUSED || e == ECONNRESET || e == ETIMEDOUT || e == EHOSTUNREACH || e == ENETUNREACH ||
           e == EAGAIN || e == ECONNABORTED;
}

}  // namespace

SMIS_CommandCom::SMIS_CommandCom(const char* storageAddress) : _storageAddress(storageAddress)
{
    try {
        SMIS_EnvAccess* env = SMIS_EnvAccess::getInstance();
        if (env) {
            _portNo = storageAddress ? env->getPortNumber(storageAddress) : DEFAULT_PORT;
            _timeout = env->getConnectionTimeout();
        }
    } catch (...) {
        // Without the configuration the defaults stay.
        _portNo = DEFAULT_PORT;
        _timeout = DEFAULT_TIMEOUT;
    }
    _cancelEvent = _access.openEvent(CANCEL_EVENT_NAME);
    if (!_cancelEvent)
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "OpenEvent Error");
    peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "PortNo=%d, Timeout=%d", _portNo, static_cast<int>(_timeout));
}

SMIS_CommandCom::~SMIS_CommandCom()
{
    _releaseMutex();
    if (_cancelEvent)
        _access.closeEvent(_cancelEvent);
}

// ---------------------------------------------------------------- logging

void SMIS_CommandCom::log_common(char* buffer, std::size_t size, const char* fmt, va_list args) const
{
    std::size_t at = 0;
    if (!_storageAddress.empty()) {
        const int n = std::snprintf(buffer, size, "[%s]", _storageAddress.c_str());
        at = n > 0 ? std::min<std::size_t>(static_cast<std::size_t>(n), size - 1) : 0;
    }
    std::vsnprintf(buffer + at, size - at, fmt, args);
}

void SMIS_CommandCom::peg_log(const char* file, unsigned line, unsigned level, const char* fmt, ...) const
{
    char text[LOG_SIZE];
    va_list args;
    va_start(args, fmt);
    log_common(text, sizeof text, fmt, args);
    va_end(args);
    SMIS_TraceLog::peg_log(file, line, level, "%s", text);
}

void SMIS_CommandCom::peg_error_log(const char* file, unsigned line, unsigned level, const char* fmt, ...) const
{
    char text[LOG_SIZE];
    va_list args;
    va_start(args, fmt);
    log_common(text, sizeof text, fmt, args);
    va_end(args);
    SMIS_TraceLog::peg_error_log(file, line, level, "%s", text);
}

void SMIS_CommandCom::peg_trace(const char* file, unsigned line, unsigned level, const char* fmt, ...) const
{
    if (!Tracer::isTraceEnabled(SMIS_TraceLog::TRACE_COMPONENT, level))
        return;
    char text[LOG_SIZE];
    va_list args;
    va_start(args, fmt);
    log_common(text, sizeof text, fmt, args);
    va_end(args);
    SMIS_TraceLog::peg_trace(file, line, level, "%s", text);
}

// ---------------------------------------------------------------- descriptors

void SMIS_CommandCom::init_NTCP(NTC_packet* ntcp)
{
    if (!ntcp)
        return;
    std::memset(ntcp, 0, sizeof *ntcp);
    ntcp->moduleId = NTC_packet::MODULE_ID;
    ntcp->version[0] = NTC_packet::VERSION_MAJOR;
    ntcp->version[1] = NTC_packet::VERSION_MINOR;
}

int SMIS_CommandCom::freeBuffer(NTC_packet* ntcp)
{
    if (ntcp) {
        std::free(ntcp->dataBuf);
        ntcp->dataBuf = nullptr;
    }
    return 0;
}

unsigned char SMIS_CommandCom::accessVorpakCmd(NTC_packet* ntcp)
{
    if (!ntcp || ntcp->paramLen > NTC_packet::PARAM_SIZE ||
        ((ntcp->cmdCode & 0x8000) && ntcp->dataLen != 0 && !ntcp->dataBuf) ||
        ((ntcp->cmdCode & 0x8000) && ntcp->dataLen > MAX_DATA_LENGTH)) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Parameter Error");
        return PARAMETER_ERROR;
    }
    CP_CMD_DATA state;
    std::memset(&state, 0, sizeof state);
    state.req.paramLen = ntcp->paramLen;
    std::memcpy(state.req.param, ntcp->param, ntcp->paramLen);
    state.req.cmdCode = ntcp->cmdCode;
    state.req.moduleId = ntcp->moduleId;
    state.req.dataLen = (ntcp->cmdCode & 0x8000) ? ntcp->dataLen : 0;
    state.dataBuf = ntcp->dataBuf;
    state.dataLen = static_cast<std::int32_t>(state.req.dataLen);
    state.dataOwned = false;
    peg_trace(__FILE__, __LINE__, Tracer::LEVEL4,
              "CP_CMD_DATA reqParamLen=%d, bufLen=%d, cmdCode=0x%x, moduleId=0x%x, dataLen=%d", state.req.paramLen,
              static_cast<int>(sizeof state.req.param), state.req.cmdCode, state.req.moduleId,
              static_cast<int>(state.req.dataLen));

    // An array that did not answer in time earlier in this request is not
    // asked again by it: the request answers in one time-out, from the
    // table for the rest, as for an unreachable array.
    const std::string address(_storageAddress.c_str());
    if (SMIS_RequestContext::currentTimedOut(address)) {
        peg_log(__FILE__, __LINE__, Logger::WARNING, "Not asked again in this request (timed out before)");
        return TIMEOUT_ERROR;
    }
    _notAsked = NotAsked::NO;
    const int result = sendVorpakCmd(state);
    // Only an array that was asked and stayed silent (a silence after the
    // connection is made counts too) is marked: by this exchange, or by the
    // one this reader waited for. A channel held by exchanges the array
    // answers marks nothing.
    if (_notAsked == NotAsked::OTHER_MET_SILENCE) {
        SMIS_RequestContext::noteCurrentTimedOut(address);
    } else if (_notAsked == NotAsked::HELD_TOO_LONG) {
        SMIS_RequestContext::noteCurrentChannelBusy(address);
    } else if (_notAsked == NotAsked::NO && (result == TIMEOUT_ERROR || result < 0)) {
        SMIS_ChannelSilence::noteSilent(address);
        SMIS_RequestContext::noteCurrentTimedOut(address);
    } else if (result == 0) {
        SMIS_ChannelSilence::noteAnswered(address);
    }
    if (result != 0) {
        if (state.dataOwned)
            std::free(state.dataBuf);
        if (result < 0) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "Packet Error");
            return PACKET_ERROR;
        }
        return static_cast<unsigned char>(result);
    }
    ntcp->cmdCode = state.rsp.cmdCode;
    ntcp->cmdStatus = state.rsp.cmdStatus;
    ntcp->dataBuf = state.dataBuf;
    ntcp->dataLen = static_cast<std::uint32_t>(state.dataLen);
    ntcp->paramLen = static_cast<std::uint8_t>(state.rsp.paramLen);
    std::memcpy(ntcp->param, state.rsp.param, sizeof ntcp->param);
    peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "accessVorpakCmd end cmdStatus=0x%x, cmdCode=0x%x, dataLen=%d, paramLen=%d",
              ntcp->cmdStatus, ntcp->cmdCode, static_cast<int>(ntcp->dataLen), ntcp->paramLen);
    return RESULT_OK;
}

unsigned char SMIS_CommandCom::sendCommand(SMIS_CMD* cmd, unsigned char* data)
{
    unsigned char* out = nullptr;
    const unsigned char rc = accessVorpakCmd(cmd, data, out);
    if (cmd)
        cmd->dataBuf = out;
    return rc;
}

unsigned char SMIS_CommandCom::accessVorpakCmd(SMIS_CMD* cmd, unsigned char* data, unsigned char*& out)
{
    out = nullptr;
    if (!cmd || (cmd->dataLen != 0 && !data) || cmd->paramLen > SMIS_CMD::PARAM_SIZE) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Parameter Error");
        return PARAMETER_ERROR;
    }
    NTC_packet ntcp;
    init_NTCP(&ntcp);
    ntcp.cmdCode = cmd->cmdCode;
    ntcp.paramLen = static_cast<std::uint8_t>(cmd->paramLen);
    std::memcpy(ntcp.param, cmd->param, cmd->paramLen);
    ntcp.dataBuf = data;
    ntcp.dataLen = cmd->dataLen;
    const unsigned char rc = accessVorpakCmd(&ntcp);
    if (rc != RESULT_OK)
        return rc;
    cmd->cmdCode = ntcp.cmdCode;
    cmd->status = ntcp.cmdStatus;
    cmd->dataLen = ntcp.dataLen;
    cmd->paramLen = ntcp.paramLen;
    std::memcpy(cmd->param, ntcp.param, sizeof cmd->param);
    // Only data the array sent is handed out; the caller's own buffer stays its own.
    if (ntcp.dataBuf != data)
        out = static_cast<unsigned char*>(ntcp.dataBuf);
    return RESULT_OK;
}

// ---------------------------------------------------------------- exchange

int SMIS_CommandCom::sendVorpakCmd(CP_CMD_DATA& state)
{
    int sock = -1;
    SSL_CTX* ctx = nullptr;
    SSL* ssl = nullptr;
    const int connected = et_connect(sock, ctx, ssl);
    if (connected != 0)
        return connected;

    int result = 0;
    const std::uint16_t code = state.req.cmdCode;
    if (writePacket(sock, ssl, SMIS_PacketHeader::COMMAND, state) != 0) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Can't Send CE31");
        result = -1;
    } else if (readPacket(sock, ssl, SMIS_PacketHeader::ACKNOWLEDGE, state) != 0) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Can't Read CA35");
        result = -2;
    }
    if (result == 0 && (code & 0x8000)) {
        if (writePacket(sock, ssl, SMIS_PacketHeader::DATA, state) != 0) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "Can't Send DA00");
            result = -3;
        } else if (readPacket(sock, ssl, SMIS_PacketHeader::DATA_ACKNOWLEDGE, state) != 0) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "Can't Read DE00");
            result = -4;
        }
    }
    if (result == 0 && (code & 0x4000)) {
        if (readPacket(sock, ssl, SMIS_PacketHeader::DATA, state) != 0) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "Can't Read DA00");
            result = -5;
        } else if (writePacket(sock, ssl, SMIS_PacketHeader::DATA_ACKNOWLEDGE, state) != 0) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "Can't Send DE00");
            result = -6;
        }
    }
    if (result == 0 && readPacket(sock, ssl, SMIS_PacketHeader::FINAL_STATUS, state) != 0) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Can't Read C639");
        result = -7;
    }
    _noteSilence(result);
    et_close(sock, ctx, ssl, true);
    peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "0x%x=sendVorpakCmd end", static_cast<unsigned>(result));
    return result;
}

// ---------------------------------------------------------------- connect and close

int SMIS_CommandCom::et_connect(int& sock, SSL_CTX*& ctx, SSL*& ssl)
{
    sock = -1;
    ctx = nullptr;
    ssl = nullptr;
    _tlsBroken = false;
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    smis::platform::LockRegister::exchange((std::string("binary command to ") + _storageAddress.c_str()).c_str());
    const int taken = cache ? _takeChannel() : MUTEX_ERROR;
    if (taken != 0)
        return taken;
    if (!_mutex) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "mutex error");
        return MUTEX_ERROR;
    }
    try {
        int rc = _connectSocket(sock);
        if (rc != 0) {
            _noteSilence(rc);
            et_close(sock, ctx, ssl, true);
            return rc;
        }
        // The socket buffers are at least SOCKET_BUFFER_SIZE. They are never
        // made smaller than the system's: a fixed small receive buffer turns
        // off the kernel's window tuning, and a table of many megabytes then
        // trickles in one small window at a time.
        auto atLeast = [sock](int option) {
            int current = 0;
            socklen_t length = sizeof current;
            if (::getsockopt(sock, SOL_SOCKET, option, &current, &length) == 0 && current >= SOCKET_BUFFER_SIZE)
                return true;
            const int size = SOCKET_BUFFER_SIZE;
            return ::setsockopt(sock, SOL_SOCKET, option, &size, sizeof size) == 0;
        };
        if (!atLeast(SO_SNDBUF) || !atLeast(SO_RCVBUF)) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "Can't change socket error = %d", errno);
            et_close(sock, ctx, ssl, true);
            return SOCKET_OPTION_ERROR;
        }
        char text[256];
        ERR_clear_error();
        ctx = SSL_CTX_new(TLS_client_method());
        if (!ctx) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "SSL_CTX_new error = %s", sslErrorText(text, sizeof text));
            et_close(sock, ctx, ssl, true);
            return SSL_OBJECT_ERROR;
        }
        // No trust store: the array's certificate is checked by its
        // verification result and its common name below.
        SSL_CTX_set_verify(ctx, SSL_VERIFY_NONE, nullptr);
        ssl = SSL_new(ctx);
        if (!ssl) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "SSL_new error = %s", sslErrorText(text, sizeof text));
            et_close(sock, ctx, ssl, true);
            return SSL_OBJECT_ERROR;
        }
        BIO* bio = SMIS_SocketBio::create(sock);
        if (!bio) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "BIO_new_socket error");
            _tlsBroken = true;
            et_close(sock, ctx, ssl, true);
            return BIO_ERROR;
        }
        SSL_set_bio(ssl, bio, bio);
        rc = _handshake(sock, ssl);
        if (rc == 0)
            rc = _checkCertificate(ssl);
        if (rc != 0) {
            _noteSilence(rc);
            et_close(sock, ctx, ssl, true);
            return rc;
        }
        return 0;
    } catch (...) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "et_connect Exception");
        et_close(sock, ctx, ssl, true);
        return CONNECT_EXCEPTION;
    }
}

void SMIS_CommandCom::_noteSilence(int result) const
{
    if (result == TIMEOUT_ERROR || result < 0)
        SMIS_ChannelSilence::noteSilent(_storageAddress.c_str());
}

SMIS_CommandCom::ChannelWait SMIS_CommandCom::waitForChannel(const char* address, std::uint32_t timeoutSeconds,
                                                             SMIS_MutexHandle& held)
{
    // The waiter holds nothing meanwhile (a reader's view is pinned, a
    // method holds only its method lock): a busy channel is no silent
    // array, so it waits for answering exchanges up to one time-out.
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    held = nullptr;
    if (!cache)
        return ChannelWait::TAKEN;
    const auto began = SMIS_ChannelSilence::Clock::now();
    // A request that already waited one whole time-out for this channel
    // does not wait again: it takes the channel only when it is free.
    const bool waitedBefore = SMIS_RequestContext::currentChannelBusy(address);
    auto deadline = waitedBefore ? began : began + std::chrono::seconds(std::max<std::uint32_t>(timeoutSeconds, 1));
    bool graced = false;
    const auto slice = waitedBefore ? std::chrono::milliseconds(0) : CHANNEL_WAIT_SLICE;
    for (;;) {
        bool busy = false;
        held = cache->GetCMTMutex(address, SMIS_CMTAccess::MUTEX_TCPIP, slice, &busy);
        // The holder notes its silence before it gives the channel back: a
        // channel taken after such an exchange is given back unused.
        const bool silent = SMIS_ChannelSilence::silentSince(address, began);
        if (held && silent) {
            cache->RelaseCMTMutex(held);
            held = nullptr;
        }
        if (!silent && (held || !busy))
            return ChannelWait::TAKEN;
        if (silent) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                                   "[%s] The exchange that held the channel met a silent array: not asked again",
                                   address);
            return ChannelWait::HOLDER_MET_SILENCE;
        }
        if (SMIS_RequestContext::currentCancelled()) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                                   "[%s] Cancel Event while waiting for the channel", address);
            return ChannelWait::CANCELLED;
        }
        if (SMIS_ChannelSilence::Clock::now() >= deadline) {
            // Nothing answered on the channel during a whole time-out: its
            // holder most likely waits for a silent array on a time-out of
            // its own that ends about now. A short grace lets that silence
            // be seen, so that the reader answers as for a silent array
            // rather than for a busy channel.
            if (!waitedBefore && !graced && !SMIS_ChannelSilence::answeredSince(address, began)) {
                graced = true;
                deadline = SMIS_ChannelSilence::Clock::now() + SILENCE_GRACE;
                continue;
            }
            if (waitedBefore)
                SMIS_TraceLog::peg_log(
                    __FILE__, __LINE__, Logger::INFORMATION,
                    "[%s] Other exchanges still hold the channel, waited for before in this request: not asked",
                    address);
            else
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                       "[%s] Other exchanges held the channel for a whole time-out (%u s): not asked",
                                       address, static_cast<unsigned>(timeoutSeconds));
            return ChannelWait::HELD_TOO_LONG;
        }
    }
}

int SMIS_CommandCom::_takeChannel()
{
    const char* address = _storageAddress.c_str();
    if (!_boundedChannelWait && !SMIS_MethodLock::heldOnThisThread()) {
        _mutex = SMIS_CMTAccess::getInstance()->GetCMTMutex(address, SMIS_CMTAccess::MUTEX_TCPIP);
        return 0;
    }
    switch (waitForChannel(address, _timeout, _mutex)) {
    case ChannelWait::TAKEN: return 0;
    case ChannelWait::HOLDER_MET_SILENCE: _notAsked = NotAsked::OTHER_MET_SILENCE; return TIMEOUT_ERROR;
    case ChannelWait::HELD_TOO_LONG: _notAsked = NotAsked::HELD_TOO_LONG; return CHANNEL_BUSY;
    case ChannelWait::CANCELLED: break;
    }
    return CANCEL_EVENT;
}

int SMIS_CommandCom::_connectSocket(int& sock)
{
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(_portNo);
    if (::inet_pton(AF_INET, _storageAddress.c_str(), &addr.sin_addr) != 1) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Can't connect error = %d", EINVAL);
        return CONNECT_ERROR;
    }
    const std::uint32_t attempts = std::max<std::uint32_t>(_timeout, 1);
    for (std::uint32_t attempt = 0; attempt < attempts; ++attempt) {
        const std::int64_t start = nowMillis();
        sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (sock < 0) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "Can't create socket error = %d", errno);
            return SOCKET_ERROR;
        }
        const int flags = ::fcntl(sock, F_GETFL, 0);
        if (flags < 0 || ::fcntl(sock, F_SETFL, flags | O_NONBLOCK) != 0) {
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "NonBlock error = %d", errno);
            ::close(sock);
            sock = -1;
            return SOCKET_ERROR;
        }
        int failure = 0;
        if (::connect(sock, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
            if (errno == EINPROGRESS || errno == EINTR) {
                // Ready means the connect has ended, well or not: SO_ERROR tells which.
                const int ready = _select_sub(sock, 17, CONNECT_SLOT_MILLIS);
                if (ready == CANCEL_EVENT || ready == SELECT_ERROR) {
                    ::close(sock);
                    sock = -1;
                    return ready;
                }
                if (ready == 1) {
                    socklen_t length = sizeof failure;
                    if (::getsockopt(sock, SOL_SOCKET, SO_ERROR, &failure, &length) != 0)
                        failure = errno;
                } else {
                    failure = ETIMEDOUT;
                }
            } else if (transientConnectError(errno)) {
                failure = errno;
            } else {
                peg_log(__FILE__, __LINE__, Logger::SEVERE, "Can't connect error = %d", errno);
                ::close(sock);
                sock = -1;
                return CONNECT_ERROR;
            }
        }
        if (failure == 0)
            return 0;
        peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "connect attempt %u failed: %s", attempt + 1,
                  std::strerror(failure));
        ::close(sock);
        sock = -1;
        // Each attempt takes its full second, so that the attempts span the time-out.
        const std::int64_t left = CONNECT_SLOT_MILLIS - (nowMillis() - start);
        if (left > 0) {
            if (_cancelEvent) {
                if (_cancelEvent->wait(std::chrono::milliseconds(left))) {
                    peg_log(__FILE__, __LINE__, Logger::INFORMATION, "Cancel Event");
                    return CANCEL_EVENT;
                }
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(left));
            }
        }
    }
    peg_log(__FILE__, __LINE__, Logger::WARNING, "Timeout Error");
    return TIMEOUT_ERROR;
}

int SMIS_CommandCom::_handshake(int sock, SSL* ssl)
{
    const std::int64_t start = nowMillis();
    for (;;) {
        if (isCancelled()) {
            peg_log(__FILE__, __LINE__, Logger::INFORMATION, "Cancel Event");
            return CANCEL_EVENT;
        }
        ERR_clear_error();
        const int r = SSL_connect(ssl);
        if (r == 1)
            return 0;
        const int e = SSL_get_error(ssl, r);
        if (r < 0 && (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE)) {
            const int w = _waitTls(sock, e, start);
            if (w != 0)
                return w;
            continue;
        }
        // A result of 0 (the peer ended the handshake) cannot succeed on a
        // retry, so it fails like any other error.
        _tlsBroken = true;
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "SSL_connect error = %d", e);
        return SSL_CONNECT_ERROR;
    }
}

int SMIS_CommandCom::_checkCertificate(SSL* ssl)
{
    if (SSL_get_verify_result(ssl) != X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "SSL_get_verify_result error");
        return VERIFY_ERROR;
    }
    X509* cert = SSL_get1_peer_certificate(ssl);
    if (!cert) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "SSL_get_peer_certificate error");
        return PEER_CERTIFICATE_ERROR;
    }
    int result = 0;
    X509_NAME* subject = X509_get_subject_name(cert);
    char name[15] = {};
    if (!subject) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "X509_get_subject_name error");
        result = SUBJECT_NAME_ERROR;
    } else if (X509_NAME_get_text_by_NID(subject, NID_commonName, name, sizeof name) < 0) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "X509_NAME_get_text_by_NID error");
        result = COMMON_NAME_ERROR;
    } else if (std::memcmp(name, COMMON_NAME, 14) != 0) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Certificate common name unmatch");
        result = COMMON_NAME_UNMATCH;
    }
    X509_free(cert);
    return result;
}

void SMIS_CommandCom::et_close(int& sock, SSL_CTX*& ctx, SSL*& ssl, bool release)
{
    if (ssl) {
        if (!_tlsBroken && SSL_is_init_finished(ssl)) {
            ERR_clear_error();
            int r = SSL_shutdown(ssl);
            if (r == 0)
                r = SSL_shutdown(ssl);
            if (r != 1) {
                char text[256];
                peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "SSL_shutdown error = %s",
                          sslErrorText(text, sizeof text));
            }
        }
        SSL_free(ssl);  // frees the socket I/O object too
        ssl = nullptr;
    }
    if (ctx) {
        SSL_CTX_free(ctx);
        ctx = nullptr;
    }
    if (sock >= 0) {
        if (::close(sock) != 0)
            peg_log(__FILE__, __LINE__, Logger::SEVERE, "WSACleanup error = %d", errno);
        sock = -1;
    }
    ERR_clear_error();
    if (release)
        _releaseMutex();
}

void SMIS_CommandCom::_releaseMutex()
{
    if (!_mutex)
        return;
    if (SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance())
        cache->RelaseCMTMutex(_mutex);
    _mutex = nullptr;
}

// ---------------------------------------------------------------- waiting

bool SMIS_CommandCom::isCancelled() const
{
    return _cancelEvent && _cancelEvent->isSet();
}

int SMIS_CommandCom::_select_sub(int sock, int mode, int milliseconds)
{
    if (isCancelled()) {
        peg_log(__FILE__, __LINE__, Logger::INFORMATION, "Cancel Event");
        return CANCEL_EVENT;
    }
    pollfd p{};
    p.fd = sock;
    p.events = static_cast<short>(((mode & 1) ? POLLIN : 0) | ((mode & 16) ? POLLOUT : 0));
    const int r = ::poll(&p, 1, milliseconds);
    if (r < 0) {
        if (errno == EINTR)
            return 0;
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "select Error = %d", errno);
        return SELECT_ERROR;
    }
    return r > 0 ? 1 : 0;
}

int SMIS_CommandCom::_select(int sock, int mode)
{
    const std::int64_t start = nowMillis();
    for (;;) {
        const int r = _select_sub(sock, mode, CONNECT_SLOT_MILLIS);
        if (r == 1)
            return 0;
        if (r != 0)
            return r;
        if (nowMillis() - start >= std::int64_t(_timeout) * 1000) {
            peg_log(__FILE__, __LINE__, Logger::WARNING, "Timeout Error");
            return TIMEOUT_ERROR;
        }
    }
}

int SMIS_CommandCom::_waitTls(int sock, int sslError, std::int64_t startMillis)
{
    if (nowMillis() - startMillis >= std::int64_t(_timeout) * 1000) {
        peg_log(__FILE__, __LINE__, Logger::WARNING, "Timeout Error");
        return TIMEOUT_ERROR;
    }
    const int r = _select_sub(sock, sslError == SSL_ERROR_WANT_WRITE ? 16 : 1, TLS_WAIT_MILLIS);
    return r == 1 || r == 0 ? 0 : r;
}

// ---------------------------------------------------------------- packets

int SMIS_CommandCom::sendAll(int sock, SSL* ssl, const void* buffer, std::uint32_t n)
{
    const auto* p = static_cast<const std::uint8_t*>(buffer);
    std::uint32_t sent = 0;
    while (sent < n) {
        int r = _select(sock, 16);
        if (r != 0)
            return r;
        const std::int64_t start = nowMillis();
        for (;;) {
            if (isCancelled()) {
                peg_log(__FILE__, __LINE__, Logger::INFORMATION, "Cancel Event");
                return CANCEL_EVENT;
            }
            ERR_clear_error();
            const int chunk = static_cast<int>(std::min<std::uint32_t>(n - sent, 1u << 20));
            const int w = SSL_write(ssl, p + sent, chunk);
            if (w > 0) {
                sent += static_cast<std::uint32_t>(w);
                break;
            }
            const int e = SSL_get_error(ssl, w);
            if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) {
                r = _waitTls(sock, e, start);
                if (r != 0)
                    return r;
                continue;
            }
            _tlsBroken = true;
            if (w == 0 && e == SSL_ERROR_ZERO_RETURN) {
                peg_log(__FILE__, __LINE__, Logger::SEVERE, "Send Size Zero");
            } else {
                char text[256];
                peg_log(__FILE__, __LINE__, Logger::SEVERE, "SSL_write error = %s", sslErrorText(text, sizeof text));
            }
            return -1;
        }
    }
    return 0;
}

int SMIS_CommandCom::receive(int sock, SSL* ssl, void* buffer, std::uint32_t n)
{
    std::uint8_t scratch[4096];
    auto* p = static_cast<std::uint8_t*>(buffer);
    std::uint32_t got = 0;
    while (got < n) {
        int r = 0;
        if (SSL_pending(ssl) == 0) {
            r = _select(sock, 1);
            if (r != 0)
                return r;
        }
        const std::int64_t start = nowMillis();
        for (;;) {
            if (isCancelled()) {
                peg_log(__FILE__, __LINE__, Logger::INFORMATION, "Cancel Event");
                return CANCEL_EVENT;
            }
            ERR_clear_error();
            std::uint32_t want = std::min<std::uint32_t>(n - got, 1u << 20);
            std::uint8_t* into = p ? p + got : scratch;
            if (!p)
                want = std::min<std::uint32_t>(want, sizeof scratch);
            const int rd = SSL_read(ssl, into, static_cast<int>(want));
            if (rd > 0) {
                got += static_cast<std::uint32_t>(rd);
                break;
            }
            const int e = SSL_get_error(ssl, rd);
            if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) {
                r = _waitTls(sock, e, start);
                if (r != 0)
                    return r;
                continue;
            }
            _tlsBroken = e != SSL_ERROR_ZERO_RETURN;
            if (e == SSL_ERROR_ZERO_RETURN || (e == SSL_ERROR_SYSCALL && rd == 0)) {
                peg_log(__FILE__, __LINE__, Logger::SEVERE, "SSL_read Size Zero");
            } else {
                char text[256];
                peg_log(__FILE__, __LINE__, Logger::SEVERE, "SSL_read error = %s", sslErrorText(text, sizeof text));
            }
            return -1;
        }
    }
    return 0;
}

int SMIS_CommandCom::writePacket(int sock, SSL* ssl, std::uint16_t packetId, CP_CMD_DATA& state)
{
    SMIS_PacketHeader h;
    h.packetId = packetId;
    h.moduleId = NTC_packet::MODULE_ID;
    h.cmdCode = state.req.cmdCode;
    const void* body = nullptr;
    std::uint32_t length = 0;
    switch (packetId) {
    case SMIS_PacketHeader::COMMAND:
        body = state.req.param;
        length = static_cast<std::uint32_t>(std::clamp<std::int32_t>(state.req.paramLen, 0, CP_CMD_DATA::PARAM_SIZE));
        h.moduleId = state.req.moduleId;
        h.value = state.req.dataLen;
        break;
    case SMIS_PacketHeader::ACKNOWLEDGE:
        break;
    case SMIS_PacketHeader::DATA:
        body = state.dataBuf;
        length = state.dataLen > 0 ? static_cast<std::uint32_t>(state.dataLen) : 0;
        break;
    case SMIS_PacketHeader::DATA_ACKNOWLEDGE:
        h.value = state.req.dataLen;
        break;
    case SMIS_PacketHeader::FINAL_STATUS:
        body = state.rsp.param;
        length = static_cast<std::uint32_t>(std::clamp<std::int32_t>(state.rsp.paramLen, 0, CP_CMD_DATA::PARAM_SIZE));
        h.cmdCode = state.rsp.cmdCode;
        h.moduleId = state.rsp.moduleId;
        h.cmdStatus = state.rsp.cmdStatus;
        h.value = state.rsp.value;
        break;
    default:
        return -1;
    }
    if (!body)
        length = 0;
    h.bodyLength = length;
    std::uint8_t head[SMIS_PacketHeader::SIZE];
    h.encode(head);
    int r = sendAll(sock, ssl, head, sizeof head);
    if (r == 0 && length > 0)
        r = sendAll(sock, ssl, body, length);
    return r;
}

int SMIS_CommandCom::readPacket(int sock, SSL* ssl, std::uint16_t packetId, CP_CMD_DATA& state)
{
    std::uint8_t head[SMIS_PacketHeader::SIZE];
    if (receive(sock, ssl, head, sizeof head) != 0)
        return -1;
    SMIS_PacketHeader h;
    h.decode(head);
    if (h.packetId != packetId) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Packet ID Check Error");
        return -1;
    }
    if (h.commStatus != 0) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Vor-pak Error = 0x%x", h.commStatus);
        return -1;
    }
    // The announced size is the array's word: it is checked before anything
    // is allocated or read.
    const std::uint32_t limit = (packetId == SMIS_PacketHeader::FINAL_STATUS || packetId == SMIS_PacketHeader::COMMAND)
                                    ? CP_CMD_DATA::PARAM_SIZE
                                    : MAX_DATA_LENGTH;
    if (h.bodyLength > limit) {
        peg_log(__FILE__, __LINE__, Logger::SEVERE, "Packet Size Error(0x%x: %u > %u)", packetId, h.bodyLength, limit);
        return -1;
    }
    switch (packetId) {
    case SMIS_PacketHeader::FINAL_STATUS:
        state.rsp.paramLen = static_cast<std::int32_t>(h.bodyLength);
        state.rsp.cmdCode = h.cmdCode;
        state.rsp.moduleId = h.moduleId;
        state.rsp.cmdStatus = h.cmdStatus;
        state.rsp.value = h.value;
        return receive(sock, ssl, state.rsp.param, h.bodyLength) == 0 ? 0 : -1;
    case SMIS_PacketHeader::COMMAND:
        state.req.paramLen = static_cast<std::int32_t>(h.bodyLength);
        state.req.cmdCode = h.cmdCode;
        state.req.moduleId = h.moduleId;
        state.req.status = h.cmdStatus;
        state.req.dataLen = h.value;
        return receive(sock, ssl, state.req.param, h.bodyLength) == 0 ? 0 : -1;
    case SMIS_PacketHeader::DATA: {
        void* buffer = nullptr;
        if (h.bodyLength > 0) {
            buffer = std::malloc(h.bodyLength);
            if (!buffer) {
                peg_log(__FILE__, __LINE__, Logger::SEVERE, "malloc Error");
                return -1;
            }
        }
        if (receive(sock, ssl, buffer, h.bodyLength) != 0) {
            std::free(buffer);
            return -1;
        }
        state.dataBuf = buffer;
        state.dataLen = static_cast<std::int32_t>(h.bodyLength);
        state.dataOwned = buffer != nullptr;
        return 0;
    }
    default:
        // Acknowledges carry nothing the exchange uses; a body they bring is
        // read and dropped so that the next header is read in step.
        return receive(sock, ssl, nullptr, h.bodyLength) == 0 ? 0 : -1;
    }
}

}  // namespace cimple
