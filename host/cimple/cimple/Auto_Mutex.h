// Holds a Mutex for the life of the object.
#ifndef CIMPLE_AUTO_MUTEX_H
#define CIMPLE_AUTO_MUTEX_H

#include <cimple/Mutex.h>

namespace cimple {

class Auto_Mutex {
public:
    explicit Auto_Mutex(Mutex& mutex) : _mutex(mutex) { _mutex.lock(); }
    ~Auto_Mutex() { _mutex.unlock(); }
    Auto_Mutex(const Auto_Mutex&) = delete;
    Auto_Mutex& operator=(const Auto_Mutex&) = delete;

private:
    Mutex& _mutex;
};

} // namespace cimple

#endif
