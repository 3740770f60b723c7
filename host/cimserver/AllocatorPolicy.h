// How the server's allocator gives memory back. glibc's default lets a
// buffer's size raise the mmap threshold, so after the first large request
// bodies and answer parts every later one of their size comes from a
// worker's arena and stays there once freed: the process keeps hundreds of
// MiB after a burst. Fixing the threshold makes every buffer of a
// megabyte or more its own mapping, returned when freed; trimming once the
// server is idle after large work returns what the arenas freed too.
#ifndef HOST_CIMSERVER_ALLOCATOR_POLICY_H
#define HOST_CIMSERVER_ALLOCATOR_POLICY_H

#include <cstddef>

namespace cimserver {

class AllocatorPolicy {
public:
    // Buffers of this size or more are mapped on their own.
    static constexpr std::size_t MMAP_THRESHOLD = std::size_t(1) << 20;
    // Work that moved at least this many bytes makes a trim worth its cost.
    static constexpr std::size_t LARGE_WORK = std::size_t(1) << 20;

    // Once at start-up, before the threads start.
    static void apply();
    // Gives the free memory of every arena back to the system.
    static void trim();
};

} // namespace cimserver

#endif
