// Mutual exclusion between threads; recursive (re-entrant for the thread
// that holds it) unless constructed with false.
#ifndef CIMPLE_MUTEX_H
#define CIMPLE_MUTEX_H

#include <pthread.h>

namespace cimple {

class Mutex {
public:
    explicit Mutex(bool recursive = true);
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock();
    void unlock();
    // 0 when the lock was taken without waiting, else the error number.
    int try_lock();

private:
    pthread_mutex_t _mutex;
};

} // namespace cimple

#endif
