// The HTTP answer to one request, written to the connection through its
// transport (the socket itself, or TLS over it). A short answer goes out
// whole, status line, headers and body in one write.
// A long one streams: once the text passes a part's size it leaves in
// chunks. The writer never waits for the client: a chunk leaves as far as
// the socket takes it, the rest waits in memory up to the answer's backlog
// (and while the server's total for all answers allows), and past that in
// the answer's spool file. So the walk that makes the answer (and holds its
// provider and its array's table meanwhile) runs at its own pace, and once
// it is over the worker is free: the front end's I/O thread sends what still
// waits with send_on() as the client takes it. A client must keep taking:
// nothing within the stall time (or, when one is set, less than the minimum
// rate over a window) and it loses the connection; so do the answer furthest
// behind when the spool total is reached, and one the spool's file system
// has no room for. An answer whose bytes waiting (memory and spool together)
// reach its own bound pauses its walk instead, until the client has taken
// enough for the next part: a client that keeps reading gets the whole
// answer, however large, and holds no more than the bound meanwhile (the
// paused walk holds its worker and nothing else). Every such cut is logged with
// its reason and the client's address. An error met after the first chunk is
// reported in the CIMStatusCode trailer when the client takes trailers;
// otherwise the answer is cut off (no final chunk), so no client takes a
// partial answer for a whole one.
#ifndef HOST_CIMSERVER_HTTP_ANSWER_H
#define HOST_CIMSERVER_HTTP_ANSWER_H

#include "AnswerBudget.h"
#include "AnswerBufferPool.h"
#include "AnswerSink.h"
#include "CimOperations.h"
#include "SpoolFile.h"
#include "Transport.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace cimserver {

class HttpAnswer : public AnswerSink {
public:
    using Clock = std::chrono::steady_clock;

    struct Options {
        bool may_stream = true;     // the client speaks HTTP/1.1 (chunked answers)
        bool trailers = false;      // the client takes trailers ("TE: trailers")
        bool keep_alive = true;     // the client keeps the connection
        std::chrono::milliseconds stall{30000}; // longest time the client may take nothing
        std::size_t min_rate = 0;               // bytes a second the client takes at least, over each window
        std::chrono::milliseconds window{30000};
        std::size_t part = 1u << 20;            // text size at which a streamed part leaves
        std::size_t backlog = 32u << 20;        // bytes of this answer that may wait in memory
        std::size_t max_held = 0;               // bytes of this answer that may wait, memory and spool; 0: no cap
        std::string client;                     // the client's address, for the log
        std::function<void()> before_first_byte; // called once, before the answer's first byte leaves
    };

    // Written through the connection's transport. budget: shared by the
    // server's answers; without one the answer has its own with the default
    // memory total and no spool.
    HttpAnswer(Transport& transport, Options options, AnswerBudget* budget = nullptr,
               const std::atomic<bool>* peer_gone = nullptr);
    // The same, straight to a socket.
    HttpAnswer(int fd, Options options, AnswerBudget* budget = nullptr,
               const std::atomic<bool>* peer_gone = nullptr);
    ~HttpAnswer() override;
    HttpAnswer(const HttpAnswer&) = delete;
    HttpAnswer& operator=(const HttpAnswer&) = delete;

    // An answer without a body: status, the CIMError header when given and
    // one further header line when given ("Name: value").
    void send_status(int status, const std::string& cim_error = "", const std::string& extra_header = "");
    // Ends the CIM-XML answer the operations wrote.
    void finish(const OperationReply& reply);

    enum class Progress { Done, Pending, Lost };
    // Sends what the socket takes now and applies the client's pace rules.
    Progress send_on(Clock::time_point now);
    // Bytes of the answer still waiting to leave (memory and spool).
    std::size_t waiting() const;
    bool spooling() const { return _spool && _spool->is_open(); }

    // Whether the connection can take the next request afterwards.
    bool keeps_connection() const { return _options.keep_alive && !_broken && !_cut; }
    bool abandoned() const override;

    static const char* reason_phrase(int status);

protected:
    void offer() override;

private:
    HttpAnswer(std::unique_ptr<Transport> own, Transport* transport, Options options, AnswerBudget* budget,
               const std::atomic<bool>* peer_gone);
    std::string head(int status, const std::string& cim_error, const std::string& extra_header, bool chunked,
                     std::size_t length) const;
    // Queues the text as a chunk (the head first when nothing has left yet).
    void queue_chunk();
    // Queues bytes after all that waits: in memory while the backlog and the
    // server's total allow and nothing waits in the spool, else spooled.
    void queue(std::string piece);
    void queue_chunk_pieces(std::string size_line, std::string text);
    // Appends to the spool file; nullptr, or why the bytes cannot be spooled.
    const char* spool(std::string_view a, std::string_view b = {}, std::string_view c = {});
    // True once n more bytes fit the cap of bytes waiting: the walk pauses
    // meanwhile. False when the answer is lost instead (the bytes alone pass
    // the cap, or the client left, stalled or fell below the minimum rate).
    bool make_room(std::size_t n);
    // Waits a moment for the client to take bytes and sends what it takes;
    // false when the answer is lost.
    bool await_client();
    // Moves the text into a buffer with room for a part, once it is large
    // enough to become one, so it never grows by copying itself.
    void to_part_buffer();
    std::size_t part_capacity() const;
    // Text size from which a streamed answer writes into a part's buffer
    // (a quarter of a part when that is less).
    static constexpr std::size_t GROWN = 64u << 10;
    // Sends what the socket takes now, without waiting.
    void push();
    // Sends queued memory bytes with one send; the bytes sent, or -1 (errno set).
    ssize_t send_some();
    void sent(std::size_t n, Clock::time_point now);
    // nullptr, or why the client lost its answer: it took nothing within the
    // stall time, or less than the minimum rate over the last window.
    const char* pace_fault(Clock::time_point now);
    // Drops what waits; a reason is logged with the client's address (none
    // when the client itself left).
    void lose_connection(const char* reason = nullptr);
    // Loses the connection of an answer marked abandoned from outside.
    void give_up();

    std::unique_ptr<Transport> _own_transport;
    Transport& _transport;
    Options _options;
    std::unique_ptr<AnswerBudget> _own_budget;
    AnswerBudget* _budget;
    const std::atomic<bool>* _peer_gone;
    std::shared_ptr<AnswerBudget::Claim> _claim;
    bool _broken = false;
    bool _cut = false;               // the connection closes once the queued bytes left
    bool _finished = false;          // the whole answer is queued
    bool _leaving = false;           // the first byte is about to leave, or left
    std::deque<std::string> _queue;  // pieces in memory not yet sent whole, in order, before the spool's
    std::size_t _front_sent = 0;     // bytes of the first piece already sent
    std::size_t _queued = 0;         // bytes waiting in the queue
    std::size_t _memory_held = 0;    // memory counted in the budget for the queue
    std::unique_ptr<SpoolFile> _spool;
    Clock::time_point _last_take;    // the client last took bytes, or nothing waited
    Clock::time_point _window_start;
    std::size_t _window_bytes = 0;
    AnswerBufferPool& _pool;         // buffers of parts, shared by the server's answers
};

} // namespace cimserver

#endif
