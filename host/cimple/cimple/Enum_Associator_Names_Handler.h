// Handler of an associator-names request: handle() lends the associated
// instance (whose keys name the result) for the call only; the caller keeps
// and frees it. The end call is the dispatch procedure's.
#ifndef CIMPLE_ENUM_ASSOCIATOR_NAMES_HANDLER_H
#define CIMPLE_ENUM_ASSOCIATOR_NAMES_HANDLER_H

#include <cimple/Instance.h>
#include <cimple/Status.h>

namespace cimple {

typedef bool (*Enum_Associator_Names_Proc)(const Instance* instance, Enum_Associator_Names_Status status,
                                           void* client_data);

template <class CLASS>
class Enum_Associator_Names_Handler;

// The handler for instances of any class; the handler of each class
// converts to it, so that code serving several classes can keep one pointer.
template <>
class Enum_Associator_Names_Handler<Instance> {
public:
    Enum_Associator_Names_Handler(Enum_Associator_Names_Proc proc, void* client_data) : _proc(proc), _client_data(client_data) {}

    bool handle(const Instance* instance) { return _proc ? _proc(instance, ENUM_ASSOCIATOR_NAMES_OK, _client_data) : false; }

    Enum_Associator_Names_Proc proc() const { return _proc; }
    void* client_data() const { return _client_data; }

private:
    Enum_Associator_Names_Proc _proc;
    void* _client_data;
};

template <class CLASS>
class Enum_Associator_Names_Handler : public Enum_Associator_Names_Handler<Instance> {
public:
    Enum_Associator_Names_Handler(Enum_Associator_Names_Proc proc, void* client_data) : Enum_Associator_Names_Handler<Instance>(proc, client_data) {}

    bool handle(const CLASS* instance) { return Enum_Associator_Names_Handler<Instance>::handle(instance); }
};

} // namespace cimple

#endif
