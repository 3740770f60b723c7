#include "IndicationHost.h"

#include <cstdio>
#include <string>

namespace cimserver {

using namespace cimple;

IndicationHost::IndicationHost(std::vector<std::string> listeners, DeliveryRetry retry, ListenerQueue::Failed failed,
                               std::shared_ptr<const ListenerTls> tls)
    : _exporter(std::make_unique<IndicationExporter>(std::move(listeners), retry, std::move(failed), std::move(tls)))
{
}

void IndicationHost::set_routes(std::vector<IndicationRoute> routes)
{
    if (_exporter)
        _exporter->set_routes(std::move(routes));
}

IndicationHost::~IndicationHost()
{
    disable();
}

size_t IndicationHost::enable(const ProviderModule& module)
{
    // A provider that refuses the enable (the one of the indication base
    // class delivers nothing of its own) is simply not among those listed.
    std::string names;
    for (Pegasus_Adapter* p : module.providers()) {
        if (!(p->registration()->meta_class->flags & CIMPLE_FLAG_INDICATION))
            continue;
        if (p->enable_indications(&IndicationHost::receive, this) != 0)
            continue;
        _enabled.push_back(p);
        names += (names.empty() ? "" : ", ") + std::string(p->registration()->meta_class->name);
    }
    std::fprintf(stderr, "cimserver: indications enabled for %s\n", names.empty() ? "no class" : names.c_str());
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

bool IndicationHost::receive(Instance* indication, void* self)
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
