// The HTTP answer to one request, written to the connection's socket. A
// short answer goes out whole, status line, headers and body in one write.
// A long one streams: once the text passes a part's size it leaves in
// chunks. While the answer is being made the writer never waits for the
// client: a chunk leaves as far as the socket takes it and the rest waits in
// a backlog, so a provider that is handing instances over (and holds its
// array's table meanwhile) is not held up by a client that reads more slowly
// than the server writes. Only a backlog past its bound makes the writer
// wait, so memory stays bounded whatever the client does; a client that
// takes no part within the stall time loses the connection. An error met
// after the first chunk is reported in the CIMStatusCode trailer when the
// client takes trailers; otherwise the answer is cut off (no final chunk),
// so no client takes a partial answer for a whole one.
#ifndef HOST_CIMSERVER_HTTP_ANSWER_H
#define HOST_CIMSERVER_HTTP_ANSWER_H

#include "AnswerSink.h"
#include "CimOperations.h"

#include <chrono>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace cimserver {

class HttpAnswer : public AnswerSink {
public:
    struct Options {
        bool may_stream = true;     // the client speaks HTTP/1.1 (chunked answers)
        bool trailers = false;      // the client takes trailers ("TE: trailers")
        bool keep_alive = true;     // the client keeps the connection
        std::chrono::milliseconds stall{30000}; // longest time for the client to take one write (a part at most)
        std::size_t part = 1u << 20;            // text size at which a streamed part leaves
        std::size_t backlog = 32u << 20;        // chunks that may wait for the client before the writer does
    };

    HttpAnswer(int fd, Options options) : _fd(fd), _options(options) {}

    // An answer without a body: status, the CIMError header when given and
    // one further header line when given ("Name: value").
    void send_status(int status, const std::string& cim_error = "", const std::string& extra_header = "");
    // Ends the CIM-XML answer the operations wrote.
    void finish(const OperationReply& reply);

    // Whether the connection can take the next request afterwards.
    bool keeps_connection() const { return _options.keep_alive && !_broken; }
    bool abandoned() const override { return _broken; }

    static const char* reason_phrase(int status);
    // Writes every byte of the pieces within stall; false when the peer went
    // away or did not take them in time.
    static bool send_all(int fd, std::initializer_list<std::string_view> pieces, std::chrono::milliseconds stall);

protected:
    void offer() override;

private:
    std::string head(int status, const std::string& cim_error, const std::string& extra_header, bool chunked,
                     std::size_t length) const;
    // Queues the text as a chunk (the head first when nothing has left yet).
    void queue_chunk();
    // Sends what the socket takes now, without waiting.
    void push();
    // Sends until at most keep bytes wait; false (and a broken connection)
    // when the client takes no part within the stall time.
    bool drain(std::size_t keep);
    // Sends queued bytes with one sendmsg; the bytes sent, or -1 (errno set).
    ssize_t send_some(bool wait_free);
    void lose_connection();

    int _fd;
    Options _options;
    bool _broken = false;
    std::deque<std::string> _queue; // chunk pieces not yet sent whole, in order
    std::size_t _front_sent = 0;    // bytes of the first piece already sent
    std::size_t _queued = 0;        // bytes waiting in the queue
    static constexpr std::size_t MAX_SPARES = 4;
    std::vector<std::string> _spares; // buffers of sent parts, kept for the next ones
};

} // namespace cimserver

#endif
