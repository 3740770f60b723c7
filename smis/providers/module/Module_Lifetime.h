// What each provider's load() and unload() do for the module as a whole.
//
// Built against the real CIMPLE (SMIS_REAL_CIMPLE), the module is hosted by
// OpenPegasus in a provider agent that starts nothing of the module's own:
// load() then disallows unloading the provider (the service's threads live in
// the module) and holds the polling service (Polling_Lifetime::module()),
// unload() lets it go, so the service runs from the first provider's load to
// the last one's unload. Against the project's framework layer the host is
// the embedded server, which starts and stops the service itself
// (PollingHost), and both do nothing.
#ifndef SMIS_PROVIDERS_MODULE_LIFETIME_H
#define SMIS_PROVIDERS_MODULE_LIFETIME_H

namespace cimple {

struct Module_Lifetime {
    // Never throw.
    static void provider_loaded();
    static void provider_unloaded();
};

} // namespace cimple

#endif
