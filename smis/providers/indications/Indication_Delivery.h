// The module-wide side of indication delivery: the handlers that the
// indication providers' enables registered (one slot per indication type),
// and the one worker thread that takes arraycore's change records from the
// indication queue and has them turned into indications.
//
// The worker starts at the first enable and stops when a disable leaves
// every slot empty; that disable returns only after the worker ended. The
// worker keeps its own receiving end and storage address, so it outlives any
// provider object. Enables and disables are serialised; a handler is only
// freed while no delivery is using it.
//
//   Indication_Delivery::enable(INDICATION_CREATION, handler);      // 0 or 140
//   ...
//   Indication_Delivery::disable(INDICATION_CREATION);              // 0 or 150
#ifndef SMIS_PROVIDERS_INDICATION_DELIVERY_H
#define SMIS_PROVIDERS_INDICATION_DELIVERY_H

#include <cimple/cimple.h>

#include <new>

#include "Indication_Sink.h"

namespace cimple {

class IndicationRecord;

enum Indication_Type {
    INDICATION_NONE = 0,
    INDICATION_CREATION = 1,
    INDICATION_MODIFICATION = 2,
    INDICATION_DELETION = 3,
    INDICATION_ALERT = 4,
};

class Indication_Delivery {
public:
    // The identity of a running delivery and the IndicationIdentifier of
    // every indication.
    static constexpr const char* IDENTITY = "VELDARO:KESTRIS SMI-S Proxy Server";
    // The identity after the last disable.
    static constexpr const char* STOPPED_IDENTITY = "0";
    // How long the worker waits for a record before it checks for a stop.
    static constexpr unsigned long READ_TIMEOUT_MS = 500;

    // Takes the handler over and registers it for the type when its slot is
    // empty; a taken slot keeps its handler and the new one is deleted (its
    // final call made) at once. Starts the worker when none is meant to run.
    // 0, or 140 for a missing handler, a type outside 1 to 4 or a worker that
    // cannot start (the handler is then deleted too).
    template <class CLASS>
    static int enable(int type, Indication_Handler<CLASS>* handler)
    {
        Indication_Sink* sink = handler ? new (std::nothrow) Handler_Sink<CLASS>(handler) : nullptr;
        if (!sink)
            delete handler;
        return enableSink(type, sink);
    }
    // Deletes the type's handler (its final call made) and, when every slot is then empty, stops the worker and
    // waits for it. 0, or 150 for a type outside 1 to 4.
    static int disable(int type);

    // True when a handler is registered for the type (1 to 4).
    static bool isIndicationEnabled(int type);
    // Hands the indication to the type's handler (lent for the call); false
    // when the type has none.
    static bool deliver(int type, Instance* indication);
    // IDENTITY while the worker is meant to run, STOPPED_IDENTITY after the
    // last disable, empty before the first enable.
    static String identity();
    // True while a worker is meant to run.
    static bool running();

    // Turns one record into indications through the builder of its kind;
    // false (logged "Invalid Target") for a record that is not well formed.
    static bool dispatch(const String& storageAddress, const IndicationRecord& record);

private:
    static int enableSink(int type, Indication_Sink* sink);
    static void* indicationThread(void* arg);
};

}  // namespace cimple

#endif
