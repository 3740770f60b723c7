#include "IndicationHost.h"

#include <cstdio>

namespace cimserver {

using namespace cimple;

IndicationHost::IndicationHost(std::vector<std::string> listeners)
{
    if (!listeners.empty())
        _exporter = std::make_unique<IndicationExporter>(std::move(listeners));
}

IndicationHost::~IndicationHost()
{
    disable();
}

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
    // No provider delivers any more; what is still waiting for export and
    // what was kept go now, while the module that describes their classes is
    // still loaded.
    _exporter.reset();
    std::lock_guard<std::mutex> g(_kept_lock);
    for (Instance* i : _kept)
        destroy(i);
    _kept.clear();
}

std::vector<std::string> IndicationHost::kept_classes() const
{
    std::lock_guard<std::mutex> g(_kept_lock);
    std::vector<std::string> names;
    for (const Instance* i : _kept)
        names.push_back(i->meta_class->name);
    return names;
}

bool IndicationHost::receive(const Instance* indication, void* self)
{
    auto* host = static_cast<IndicationHost*>(self);
    // A null instance ends a provider's delivery: nothing to keep.
    if (!indication)
        return false;
    host->_received.fetch_add(1);
    // The indication is lent for this call: keep and export copies.
    if (Instance* copy = clone(indication)) {
        std::lock_guard<std::mutex> g(host->_kept_lock);
        if (host->_kept.size() >= KEPT) {
            destroy(host->_kept.front());
            host->_kept.pop_front();
        }
        host->_kept.push_back(copy);
    }
    if (host->_exporter)
        host->_exporter->submit(indication);
    return true;
}

} // namespace cimserver
