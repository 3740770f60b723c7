#include "AnswerBufferPool.h"

namespace cimserver {

AnswerBufferPool::AnswerBufferPool(std::size_t max_bytes) : _max_bytes(max_bytes) {}

AnswerBufferPool& AnswerBufferPool::server()
{
    static AnswerBufferPool pool(SERVER_BYTES);
    return pool;
}

std::string AnswerBufferPool::take(std::size_t capacity)
{
    std::string buffer;
    {
        std::lock_guard lock(_mutex);
        for (auto it = _buffers.rbegin(); it != _buffers.rend(); ++it) {
            if (it->capacity() < capacity)
                continue;
            buffer.swap(*it);
            _bytes -= buffer.capacity();
            _buffers.erase(std::next(it).base());
            break;
        }
    }
    buffer.clear();
    buffer.reserve(capacity);
    return buffer;
}

void AnswerBufferPool::give(std::string& buffer, std::size_t part)
{
    std::string kept;
    kept.swap(buffer);
    const std::size_t capacity = kept.capacity();
    if (capacity < part || capacity > 4 * part)
        return;
    kept.clear();
    std::lock_guard lock(_mutex);
    if (_bytes + capacity > _max_bytes)
        return; // freed once the lock is released (kept is destroyed after the guard)
    _bytes += capacity;
    _buffers.push_back(std::move(kept));
}

void AnswerBufferPool::clear()
{
    std::vector<std::string> freed;
    {
        std::lock_guard lock(_mutex);
        freed.swap(_buffers);
        _bytes = 0;
    }
}

std::size_t AnswerBufferPool::kept() const
{
    std::lock_guard lock(_mutex);
    return _bytes;
}

} // namespace cimserver
