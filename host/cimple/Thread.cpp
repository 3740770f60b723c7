#include <cimple/Thread.h>

namespace cimple {

Thread::~Thread()
{
    if (_started)
        pthread_detach(_thread);
}

int Thread::create_joinable(Thread& thread, Thread_Proc proc, void* arg)
{
    if (thread._started || !proc)
        return -1;
    if (pthread_create(&thread._thread, nullptr, proc, arg) != 0)
        return -1;
    thread._started = true;
    return 0;
}

int Thread::join(Thread& thread, void*& value)
{
    if (!thread._started || pthread_equal(thread._thread, pthread_self()))
        return -1;
    void* result = nullptr;
    if (pthread_join(thread._thread, &result) != 0)
        return -1;
    thread._started = false;
    value = result;
    return 0;
}

} // namespace cimple
