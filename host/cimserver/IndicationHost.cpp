#include "IndicationHost.h"

#include <cstdio>

namespace cimserver {

using namespace cimple;

size_t IndicationHost::enable(const ProviderModule& module)
{
    for (Pegasus_Adapter* p : module.providers()) {
        if (!(p->registration()->meta_class->flags & FLAG_INDICATION))
            continue;
        int status = p->enable_indications(&IndicationHost::receive, this);
        if (status == 0)
            _enabled.push_back(p);
        else
            std::fprintf(stderr, "cimserver: indication provider %s not enabled (status %d)\n", p->provider_name(),
                         status);
    }
    return _enabled.size();
}

void IndicationHost::disable()
{
    for (Pegasus_Adapter* p : _enabled)
        p->disable_indications();
    _enabled.clear();
}

bool IndicationHost::receive(const Instance* indication, void* self)
{
    auto* host = static_cast<IndicationHost*>(self);
    if (!indication)
        return false;
    // Delivery to subscribed listeners is not served yet: the indication is
    // counted and dropped.
    host->_received.fetch_add(1);
    return true;
}

} // namespace cimserver
