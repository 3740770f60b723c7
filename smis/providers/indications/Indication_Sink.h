// The module's hold on one indication type's handler. The indication
// providers' enables hand their handler over; the sink keeps it for as long as
// indications of the type are delivered and deletes it when delivery ends,
// which makes the handler's final (null) call, on which the adapter frees the
// handler's client data. A handler is typed by its indication class, so the
// sink keeps that class for the delivery.
#ifndef SMIS_PROVIDERS_INDICATION_SINK_H
#define SMIS_PROVIDERS_INDICATION_SINK_H

#include <cimple/cimple.h>

namespace cimple {

class Indication_Sink {
public:
    virtual ~Indication_Sink() = default;
    // Delivers the indication (lent for the call) through the handler.
    virtual bool handle(Instance* indication) = 0;
};

template <class CLASS>
class Handler_Sink : public Indication_Sink {
public:
    explicit Handler_Sink(Indication_Handler<CLASS>* handler) : _handler(handler) {}
    ~Handler_Sink() override { delete _handler; }
    Handler_Sink(const Handler_Sink&) = delete;
    Handler_Sink& operator=(const Handler_Sink&) = delete;

    bool handle(Instance* indication) override { return _handler->handle(static_cast<CLASS*>(indication)); }

private:
    Indication_Handler<CLASS>* _handler;
};

}  // namespace cimple

#endif
