// The one place where the server enables the module's indication providers
// and receives the indications they produce. Delivery to listeners joins in
// receive().
#ifndef HOST_CIMSERVER_INDICATION_HOST_H
#define HOST_CIMSERVER_INDICATION_HOST_H

#include "ProviderModule.h"

#include <atomic>
#include <vector>

namespace cimserver {

class IndicationHost {
public:
    IndicationHost() = default;
    ~IndicationHost() { disable(); }
    IndicationHost(const IndicationHost&) = delete;
    IndicationHost& operator=(const IndicationHost&) = delete;

    // Enables every provider whose class is an indication class; returns how
    // many accepted.
    size_t enable(const ProviderModule& module);
    // Disables what enable() enabled.
    void disable();

    unsigned long long received() const { return _received.load(); }

private:
    static bool receive(const cimple::Instance* indication, void* self);

    std::vector<cimple::Pegasus_Adapter*> _enabled;
    std::atomic<unsigned long long> _received{0};
};

} // namespace cimserver

#endif
