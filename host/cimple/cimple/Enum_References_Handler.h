// Handler of a references request: handle() gives the association instance
// away; the callback owns it from then on. The end call (null instance and
// the final status) is the dispatch procedure's.
#ifndef CIMPLE_ENUM_REFERENCES_HANDLER_H
#define CIMPLE_ENUM_REFERENCES_HANDLER_H

#include <cimple/Instance.h>
#include <cimple/Status.h>

namespace cimple {

typedef bool (*Enum_References_Proc)(Instance* instance, Enum_References_Status status, void* client_data);

template <class CLASS>
class Enum_References_Handler;

// The handler for instances of any class; the handler of each class
// converts to it, so that code serving several classes can keep one pointer.
template <>
class Enum_References_Handler<Instance> {
public:
    Enum_References_Handler(Enum_References_Proc proc, void* client_data) : _proc(proc), _client_data(client_data) {}

    bool handle(Instance* instance)
    {
        if (!_proc) {
            destroy(instance);
            return false;
        }
        return _proc(instance, ENUM_REFERENCES_OK, _client_data);
    }

    Enum_References_Proc proc() const { return _proc; }
    void* client_data() const { return _client_data; }

private:
    Enum_References_Proc _proc;
    void* _client_data;
};

template <class CLASS>
class Enum_References_Handler : public Enum_References_Handler<Instance> {
public:
    Enum_References_Handler(Enum_References_Proc proc, void* client_data) : Enum_References_Handler<Instance>(proc, client_data) {}

    bool handle(CLASS* instance) { return Enum_References_Handler<Instance>::handle(instance); }
};

} // namespace cimple

#endif
