// The buffers of streamed answer parts, kept across answers. A part is a
// megabyte or more; a fresh buffer of that size is costly to fill (every
// page faulted in anew), a reused one is not. The pool is bounded in bytes:
// what does not fit is freed, and a buffer far larger than a part (the
// whole text of an answer that could not stream) is never kept. Once the
// server has been idle long enough, it frees what it keeps.
#ifndef HOST_CIMSERVER_ANSWER_BUFFER_POOL_H
#define HOST_CIMSERVER_ANSWER_BUFFER_POOL_H

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace cimserver {

class AnswerBufferPool {
public:
    // Bytes of buffer capacity the server keeps at most.
    static constexpr std::size_t SERVER_BYTES = std::size_t(24) << 20;

    explicit AnswerBufferPool(std::size_t max_bytes);
    AnswerBufferPool(const AnswerBufferPool&) = delete;
    AnswerBufferPool& operator=(const AnswerBufferPool&) = delete;

    // The pool every answer of the server shares.
    static AnswerBufferPool& server();

    // An empty buffer with room for at least capacity bytes: a kept one
    // when there is one that large, a new one otherwise.
    std::string take(std::size_t capacity);
    // Takes the buffer back (it is left empty). Kept when its capacity lies
    // between part and four parts and the pool has room, freed otherwise.
    void give(std::string& buffer, std::size_t part);
    // Frees every kept buffer.
    void clear();
    // Bytes of capacity kept now.
    std::size_t kept() const;

private:
    const std::size_t _max_bytes;
    mutable std::mutex _mutex;
    std::vector<std::string> _buffers;
    std::size_t _bytes = 0;
};

} // namespace cimserver

#endif
