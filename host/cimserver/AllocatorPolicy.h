// How the server's allocator gives memory back. glibc's default lets a
// buffer's size raise the mmap threshold, so after the first large request
// bodies and answer parts every later one of their size comes from a
// worker's arena and stays there once freed: the process keeps hundreds of
// MiB after a burst. The thresholds are fixed instead: buffers up to a few
// parts come from the arenas and are reused hot while the server is busy
// (the answers' part buffers through their pool), larger ones are mapped on
// their own and returned when freed. Once the server has been idle for a
// few seconds after large work, the arenas give their free memory back;
// after longer idle the pool frees its buffers too.
#ifndef HOST_CIMSERVER_ALLOCATOR_POLICY_H
#define HOST_CIMSERVER_ALLOCATOR_POLICY_H

#include <chrono>
#include <cstddef>

namespace cimserver {

class AllocatorPolicy {
public:
    using Clock = std::chrono::steady_clock;

    // Buffers of this size or more are mapped on their own.
    static constexpr std::size_t MMAP_THRESHOLD = std::size_t(4) << 20;
    // Free memory at the top of an arena beyond this goes back at once.
    static constexpr std::size_t TRIM_THRESHOLD = std::size_t(32) << 20;
    // Work that moved at least this many bytes makes a trim worth its cost.
    static constexpr std::size_t LARGE_WORK = std::size_t(1) << 20;
    // Idle time after large work before the arenas' free memory goes back.
    static constexpr std::chrono::seconds TRIM_AFTER{3};
    // Idle time before the answers' kept part buffers go back as well.
    static constexpr std::chrono::seconds POOL_KEPT{30};

    // Once at start-up, before the threads start.
    static void apply();
    // Gives the free memory of every arena back to the system.
    static void trim();

    // Work was done; large: it moved at least LARGE_WORK bytes.
    void worked(bool large, Clock::time_point now);
    // Called regularly (at least once a second) while nothing is being
    // answered: trims once idle long enough.
    void idle(Clock::time_point now);

private:
    Clock::time_point _last_work = Clock::now();
    bool _trim_due = false; // large work was done since the last trim
    bool _pool_due = false; // the pool may hold buffers since it was last emptied
};

} // namespace cimserver

#endif
