// Handler of an associators request: handle() lends the associated instance
// for the call only; the callback copies what it needs and the caller keeps
// (and frees) the instance. The end call (null instance and the final
// status) is the dispatch procedure's.
#ifndef CIMPLE_ENUM_ASSOCIATORS_HANDLER_H
#define CIMPLE_ENUM_ASSOCIATORS_HANDLER_H

#include <cimple/Instance.h>
#include <cimple/Status.h>

namespace cimple {

typedef bool (*Enum_Associators_Proc)(const Instance* instance, Enum_Associators_Status status, void* client_data);

template <class CLASS>
class Enum_Associators_Handler;

// The handler for instances of any class; the handler of each class
// converts to it, so that code serving several classes can keep one pointer.
template <>
class Enum_Associators_Handler<Instance> {
public:
    Enum_Associators_Handler(Enum_Associators_Proc proc, void* client_data) : _proc(proc), _client_data(client_data) {}

    bool handle(const Instance* instance) { return _proc ? _proc(instance, ENUM_ASSOCIATORS_OK, _client_data) : false; }

    Enum_Associators_Proc proc() const { return _proc; }
    void* client_data() const { return _client_data; }

private:
    Enum_Associators_Proc _proc;
    void* _client_data;
};

template <class CLASS>
class Enum_Associators_Handler : public Enum_Associators_Handler<Instance> {
public:
    Enum_Associators_Handler(Enum_Associators_Proc proc, void* client_data) : Enum_Associators_Handler<Instance>(proc, client_data) {}

    bool handle(const CLASS* instance) { return Enum_Associators_Handler<Instance>::handle(instance); }
};

} // namespace cimple

#endif
