// The provider module the server hosts: the shared library, its
// registration list, one loaded adapter per provider and the module's class
// repository.
#ifndef HOST_CIMSERVER_PROVIDER_MODULE_H
#define HOST_CIMSERVER_PROVIDER_MODULE_H

#include <Pegasus_Adapter.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace cimserver {

class ProviderModule {
public:
    ProviderModule() = default;
    ~ProviderModule();
    ProviderModule(const ProviderModule&) = delete;
    ProviderModule& operator=(const ProviderModule&) = delete;

    // Opens the library, walks its registration list (cimple_module), asks
    // PegasusCreateProvider for each provider and loads it. False with a
    // message when the library or its exports are missing or no provider
    // could be made; a provider that fails to load is left out and logged.
    bool open(const std::string& path, std::string& message);

    // Unloads and destroys every provider, then closes the library.
    void close();

    const cimple::Meta_Repository* repository() const { return _repository; }
    const cimple::Meta_Class* find_class(const char* name) const;

    // Every loaded provider, in registration order.
    const std::vector<cimple::Pegasus_Adapter*>& providers() const { return _providers; }

    // The provider that serves exactly that class, or null.
    cimple::Pegasus_Adapter* provider_of(const char* class_name) const;

private:
    // Class names hashed and compared without regard to case.
    struct NameHash {
        std::size_t operator()(std::string_view name) const;
    };
    struct NameEqual {
        bool operator()(std::string_view a, std::string_view b) const;
    };

    void* _handle = nullptr;
    std::vector<cimple::Pegasus_Adapter*> _providers;
    // Each served class's provider (the first registered for it).
    std::unordered_map<std::string_view, cimple::Pegasus_Adapter*, NameHash, NameEqual> _by_class;
    const cimple::Meta_Repository* _repository = nullptr;
};

} // namespace cimserver

#endif
