// A property field of an instance: its value and its null flag (1: null,
// 0: present). Array-valued properties are Property<Array<T>>.
#ifndef CIMPLE_PROPERTY_H
#define CIMPLE_PROPERTY_H

#include <cimple/Type.h>

namespace cimple {

template <class T>
struct Property {
    T value{};
    uint8 null = 1;

    // Stores x and marks the property present.
    void set(const T& x)
    {
        value = x;
        null = 0;
    }
    // Resets the value to its empty state and marks the property null.
    void clear()
    {
        value = T();
        null = 1;
    }
};

} // namespace cimple

#endif
