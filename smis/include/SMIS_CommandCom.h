#pragma once
// The binary command channel: one command to one array over a connection of
// its own.
//
// Each exchange takes the array's TCP connection mutex (kind 4 of
// SMIS_CMTAccess), connects to the array's command port, runs a TLS handshake
// as client, checks the array's certificate (verification result 20, common
// name starting with "KESTRIS_VORPAK"), exchanges the packet sequence
//
//   CE31 ->, <- CA35, [bit 15: DA00 ->, <- DE00], [bit 14: <- DA00, DE00 ->], <- C639
//
// and closes the connection again. Every wait, read and write is bounded by
// the time-out and stops at the machine-wide cancel event.
//
//   SMIS_CommandCom com("10.0.0.1");
//   NTC_packet ntcp;
//   com.init_NTCP(&ntcp);
//   ntcp.cmdCode = 0x400A;
//   unsigned char rc = com.accessVorpakCmd(&ntcp);   // 0: ntcp.cmdStatus holds the array's status
//   ... free(ntcp.dataBuf);
//
// Results: 0 exchange completed; 32 bad descriptor; 128 cancelled during the
// connect or the wait for the channel; 129-131 socket; 132 time-out during
// the connect (or, for a status reader or a configuration method, see
// _takeChannel); 133 a packet step failed (also cancel, time-out or no memory
// in the packet phase); 143 no connection mutex; 144 socket buffers; 145 TLS
// objects; 146 verification
// result not 20; 147-149 certificate; 150 common name; 151 socket I/O object;
// 152 handshake; 255 exception during the connect.

#include <chrono>
#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include <cimple/String.h>
#include <openssl/ssl.h>

#include "CP_CMD_DATA.h"
#include "NTC_packet.h"
#include "SMIS_AccessCom.h"
#include "SMIS_CMD.h"
#include "SMIS_CMTAccess.h"

namespace cimple {

class SMIS_CommandCom {
public:
    // Channel results.
    enum Result : unsigned char {
        RESULT_OK = 0,
        PARAMETER_ERROR = 32,
        NO_MEMORY = 64,
        CANCEL_EVENT = 128,
        SOCKET_ERROR = 129,
        CONNECT_ERROR = 130,
        SELECT_ERROR = 131,
        TIMEOUT_ERROR = 132,
        PACKET_ERROR = 133,
        CHANNEL_BUSY = 134,
        MUTEX_ERROR = 143,
        SOCKET_OPTION_ERROR = 144,
        SSL_OBJECT_ERROR = 145,
        VERIFY_ERROR = 146,
        PEER_CERTIFICATE_ERROR = 147,
        SUBJECT_NAME_ERROR = 148,
        COMMON_NAME_ERROR = 149,
        COMMON_NAME_UNMATCH = 150,
        BIO_ERROR = 151,
        SSL_CONNECT_ERROR = 152,
        CONNECT_EXCEPTION = 255,
    };

    static constexpr std::uint16_t DEFAULT_PORT = 1372;
    static constexpr std::uint32_t DEFAULT_TIMEOUT = 300;
    // Largest data body accepted from or sent to an array.
    static constexpr std::uint32_t MAX_DATA_LENGTH = 64u << 20;
    static constexpr int SOCKET_BUFFER_SIZE = 0x4800;
    static constexpr const char* CANCEL_EVENT_NAME = "Global\\SMIS_Event_Cancel_Connection";
    static constexpr const char* COMMON_NAME = "KESTRIS_VORPAK";
    // A command that asks for live status waits for the array's command
    // mutex (kind 4) while another exchange holds it, in slices of this
    // length, each followed by a look at the request (client gone, server
    // stopping) and at what the holder's exchange met.
    static constexpr std::chrono::milliseconds CHANNEL_WAIT_SLICE{200};
    // Extra wait, after a whole time-out with nothing answered, for the
    // holder's own time-out to show a silent array.
    static constexpr std::chrono::seconds SILENCE_GRACE{5};

    // How a bounded wait for an array's command mutex ended.
    enum class ChannelWait { TAKEN, HOLDER_MET_SILENCE, HELD_TOO_LONG, CANCELLED };
    // Waits for the array's command mutex while other exchanges hold it, in
    // slices of CHANNEL_WAIT_SLICE, holding nothing else: TAKEN with the
    // mutex in held (NULL when it could not be had at all); otherwise
    // without it, as soon as the exchange it waited for met silence, the
    // request's client left or the server stops, or once answering
    // exchanges held the channel for a whole time-out (timeoutSeconds).
    // Readers of live status and configuration methods wait this way: a
    // method on a silent array answers within one time-out, not after every
    // polling exchange queued before it waited out a time-out of its own.
    static ChannelWait waitForChannel(const char* address, std::uint32_t timeoutSeconds, SMIS_MutexHandle& held);

    // storageAddress: dotted IPv4 text (NULL: port 1372). Port and time-out
    // come from the configuration file.
    explicit SMIS_CommandCom(const char* storageAddress);
    virtual ~SMIS_CommandCom();
    SMIS_CommandCom(const SMIS_CommandCom&) = delete;
    SMIS_CommandCom& operator=(const SMIS_CommandCom&) = delete;

    // One exchange driven by the descriptor; see the results above.
    unsigned char accessVorpakCmd(NTC_packet* ntcp);
    // The same exchange driven by the public descriptor; the received data
    // (malloc'ed, caller frees) goes to cmd->dataBuf, NULL when none came.
    unsigned char sendCommand(SMIS_CMD* cmd, unsigned char* data);
    unsigned char accessVorpakCmd(SMIS_CMD* cmd, unsigned char* data, unsigned char*& out);
    // Frees the descriptor's data buffer and clears it; 0.
    int freeBuffer(NTC_packet* ntcp);
    // Clears the descriptor and sets module id and version bytes.
    void init_NTCP(NTC_packet* ntcp);

    const String& storageAddress() const { return _storageAddress; }
    std::uint16_t portNumber() const { return _portNo; }
    std::uint32_t timeout() const { return _timeout; }

    // Log, error-log and trace records with "[address]" in front of the text.
    void peg_log(const char* file, unsigned line, unsigned level, const char* fmt, ...) const
        __attribute__((format(printf, 5, 6)));
    void peg_error_log(const char* file, unsigned line, unsigned level, const char* fmt, ...) const
        __attribute__((format(printf, 5, 6)));
    void peg_trace(const char* file, unsigned line, unsigned level, const char* fmt, ...) const
        __attribute__((format(printf, 5, 6)));

protected:
    // The exchange; a negative value for a failed packet step, a positive
    // channel result from the connect, 0 on success.
    int sendVorpakCmd(CP_CMD_DATA& state);
    int et_connect(int& sock, SSL_CTX*& ctx, SSL*& ssl);
    void et_close(int& sock, SSL_CTX*& ctx, SSL*& ssl, bool release);
    int writePacket(int sock, SSL* ssl, std::uint16_t packetId, CP_CMD_DATA& state);
    int readPacket(int sock, SSL* ssl, std::uint16_t packetId, CP_CMD_DATA& state);
    // Exactly n bytes into buffer (NULL: read and drop them).
    int receive(int sock, SSL* ssl, void* buffer, std::uint32_t n);
    // Writes exactly n bytes.
    int sendAll(int sock, SSL* ssl, const void* buffer, std::uint32_t n);
    // mode 1 readable, 16 writable, 17 either: 0 ready, 128 cancel, 131
    // poll failure, 132 time-out.
    int _select(int sock, int mode);
    // One wait of at most the given milliseconds: 1 ready, 0 not ready, 128
    // cancel, 131 poll failure.
    int _select_sub(int sock, int mode, int milliseconds);
    bool isCancelled() const;

    void log_common(char* buffer, std::size_t size, const char* fmt, va_list args) const;

    String _storageAddress;
    SMIS_MutexHandle _mutex = nullptr;
    // Set by a reader of live status: its wait for the command mutex is
    // bounded (see _takeChannel), as a configuration method's is; otherwise
    // the wait has no limit.
    bool _boundedChannelWait = false;
    SMIS_EventHandle _cancelEvent = nullptr;
    std::uint16_t _portNo = DEFAULT_PORT;
    std::uint32_t _timeout = DEFAULT_TIMEOUT;

private:
    int _connectSocket(int& sock);
    int _handshake(int sock, SSL* ssl);
    int _checkCertificate(SSL* ssl);
    // Waits for the socket after a TLS call asked to read or write; 0 to
    // retry, else a result.
    int _waitTls(int sock, int sslError, std::int64_t startMillis);
    void _releaseMutex();
    // Takes the command mutex. A bounded wait ends without the mutex when the
    // request is cancelled (CANCEL_EVENT), when the exchange that held the
    // channel meanwhile met silence (TIMEOUT_ERROR, the array was asked), or
    // when the channel stayed held by answering exchanges for a whole
    // time-out (CHANNEL_BUSY, the array was not asked); _notAsked says which.
    // Once a request met CHANNEL_BUSY on an array, its later readers of that
    // array take the channel only when it is free at once, so the request
    // waits at most one time-out.
    int _takeChannel();
    // Notes an exchange that met silence (a time-out, or a failed packet
    // step) while it still holds the channel, so that an exchange waiting
    // for it (waitForChannel) sees the silence before it could take the
    // channel and ask the silent array again.
    void _noteSilence(int result) const;

    // Why the last exchange was not sent although it failed with a time-out.
    enum class NotAsked { NO, OTHER_MET_SILENCE, HELD_TOO_LONG };
    NotAsked _notAsked = NotAsked::NO;

    SMIS_AccessCom _access;
    // Set once a TLS call failed fatally: no shutdown is tried then.
    bool _tlsBroken = false;
};

}  // namespace cimple
