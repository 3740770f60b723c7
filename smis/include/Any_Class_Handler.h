#pragma once
// The handler for instances of any class, built from the handler the
// framework gives a provider of one class: the same adapter callback and
// client data. Handlers of different classes are unrelated types, so code
// that serves several classes (the association frames, the key lookups of
// the dispatch) takes this one and is handed it by the provider of each class.

#include <cimple/cimple.h>

namespace cimple {

template <class CLASS>
Enum_Instances_Handler<Instance> any_class_handler(const Enum_Instances_Handler<CLASS>* handler)
{
    return Enum_Instances_Handler<Instance>(handler->_proc, handler->_client_data);
}

template <class CLASS>
Enum_References_Handler<Instance> any_class_handler(const Enum_References_Handler<CLASS>* handler)
{
    return Enum_References_Handler<Instance>(handler->_proc, handler->_client_data);
}

}  // namespace cimple
