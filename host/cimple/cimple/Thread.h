// A thread that another thread waits for with join().
#ifndef CIMPLE_THREAD_H
#define CIMPLE_THREAD_H

#include <pthread.h>

namespace cimple {

typedef void* (*Thread_Proc)(void* arg);

class Thread {
public:
    Thread() = default;
    // A thread still running when its object is destroyed is detached.
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts proc(arg) on a new thread held by `thread`. 0 on success; -1
    // when the thread could not be started or `thread` already holds one
    // that has not been joined.
    static int create_joinable(Thread& thread, Thread_Proc proc, void* arg);
    // Waits for the thread to end and stores its result in value. 0 on
    // success; -1 when `thread` holds no thread (never started or already
    // joined) or when called from that thread itself.
    static int join(Thread& thread, void*& value);

private:
    pthread_t _thread{};
    bool _started = false;
};

} // namespace cimple

#endif
