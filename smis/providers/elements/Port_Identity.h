#pragma once
// Port identity of ports, endpoints and controllers: two elements are on
// the same port when their controller module, channel adapter and port
// numbers are all equal. Also the lists of the list builders, whatever
// their accessor's name, and the first element of a list on a given port.

#include <cimple/cimple.h>

#include <cstddef>
#include <type_traits>

namespace cimple::port_identity {

template <class A, class B>
bool samePort(const A& a, const B& b)
{
    return a.CMSlotNumber.value == b.CMSlotNumber.value && a.CASlotNumber.value == b.CASlotNumber.value &&
           a.PortNo.value == b.PortNo.value;
}

// The list a builder filled: list() or instances().
template <class R>
auto items(R& resource) -> decltype(resource.list())
{
    return resource.list();
}
template <class R>
auto items(R& resource) -> decltype(resource.instances())
{
    return resource.instances();
}

// The first element of list on the port of element, or null.
template <class List, class Element>
auto firstOnPort(List& list, const Element& element) -> std::decay_t<decltype(list[0])>
{
    for (std::size_t k = 0; k < list.size(); ++k)
        if (list[k] && samePort(*list[k], element))
            return list[k];
    return nullptr;
}

}  // namespace cimple::port_identity
