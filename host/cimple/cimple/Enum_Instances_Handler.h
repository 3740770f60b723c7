// Handler of an enumeration: the adapter's callback and its client data.
// handle() gives the instance away: the callback owns it from then on.
// The end of the enumeration is one more call of the callback with a null
// instance and the final status, which the dispatch procedure makes.
#ifndef CIMPLE_ENUM_INSTANCES_HANDLER_H
#define CIMPLE_ENUM_INSTANCES_HANDLER_H

#include <cimple/Instance.h>
#include <cimple/Status.h>

namespace cimple {

typedef bool (*Enum_Instances_Proc)(Instance* instance, Enum_Instances_Status status, void* client_data);

template <class CLASS>
class Enum_Instances_Handler;

// The handler for instances of any class; the handler of each class
// converts to it, so that code serving several classes can keep one pointer.
template <>
class Enum_Instances_Handler<Instance> {
public:
    Enum_Instances_Handler(Enum_Instances_Proc proc, void* client_data) : _proc(proc), _client_data(client_data) {}

    bool handle(Instance* instance)
    {
        if (!_proc) {
            destroy(instance);
            return false;
        }
        return _proc(instance, ENUM_INSTANCES_OK, _client_data);
    }

    Enum_Instances_Proc proc() const { return _proc; }
    void* client_data() const { return _client_data; }

private:
    Enum_Instances_Proc _proc;
    void* _client_data;
};

template <class CLASS>
class Enum_Instances_Handler : public Enum_Instances_Handler<Instance> {
public:
    Enum_Instances_Handler(Enum_Instances_Proc proc, void* client_data) : Enum_Instances_Handler<Instance>(proc, client_data) {}

    bool handle(CLASS* instance) { return Enum_Instances_Handler<Instance>::handle(instance); }
};

} // namespace cimple

#endif
