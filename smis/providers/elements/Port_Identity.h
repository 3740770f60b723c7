#pragma once
// Port identity of ports, endpoints and controllers: two elements are on
// the same port when their controller module, channel adapter and port
// numbers are all equal.

#include <cimple/cimple.h>

namespace cimple::port_identity {

template <class A, class B>
bool samePort(const A& a, const B& b)
{
    return a.CMSlotNumber.value == b.CMSlotNumber.value && a.CASlotNumber.value == b.CASlotNumber.value &&
           a.PortNo.value == b.PortNo.value;
}

// samePort as a match of the pair walks.
struct Same_Port {
    template <class A, class B>
    bool operator()(const A& a, const B& b) const
    {
        return samePort(a, b);
    }
};

}  // namespace cimple::port_identity
