// Handler of indication delivery: the adapter's delivery procedure and its
// client data, allocated by the dispatch procedure when indications are
// enabled and owned by the provider from then on. handle() lends the
// indication for the call only; the caller keeps and frees it. Destroying the
// handler makes the final call, with a null instance, on which the adapter
// frees its client data: a provider keeps the handler for as long as it
// delivers and deletes it when delivery ends.
#ifndef CIMPLE_INDICATION_HANDLER_H
#define CIMPLE_INDICATION_HANDLER_H

#include <cimple/Instance.h>

namespace cimple {

typedef bool (*Indication_Proc)(const Instance* indication, void* client_data);

template <class CLASS>
class Indication_Handler;

// The handler for instances of any class; the handler of each class
// converts to it, so that code serving several classes can keep one pointer.
template <>
class Indication_Handler<Instance> {
public:
    Indication_Handler(Indication_Proc proc, void* client_data) : _proc(proc), _client_data(client_data) {}
    ~Indication_Handler()
    {
        if (_proc)
            _proc(nullptr, _client_data);
    }
    Indication_Handler(const Indication_Handler&) = delete;
    Indication_Handler& operator=(const Indication_Handler&) = delete;

    bool handle(const Instance* instance) { return _proc ? _proc(instance, _client_data) : false; }

private:
    Indication_Proc _proc;
    void* _client_data;
};

template <class CLASS>
class Indication_Handler : public Indication_Handler<Instance> {
public:
    Indication_Handler(Indication_Proc proc, void* client_data) : Indication_Handler<Instance>(proc, client_data) {}

    bool handle(const CLASS* instance) { return Indication_Handler<Instance>::handle(instance); }
};

} // namespace cimple

#endif
