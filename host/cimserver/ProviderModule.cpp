#include "ProviderModule.h"

#include <Pegasus/String.h>

#include <dlfcn.h>

#include <cctype>
#include <cstdio>

namespace cimserver {

using namespace cimple;

namespace {
using Module_Proc = Registration* (*)();
using Create_Proc = void* (*)(const Pegasus::String&);
}

ProviderModule::~ProviderModule()
{
    close();
}

bool ProviderModule::open(const std::string& path, std::string& message)
{
    close();
    _handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!_handle) {
        const char* e = dlerror();
        message = "cannot load " + path + ": " + (e ? e : "unknown error");
        return false;
    }
    auto module = reinterpret_cast<Module_Proc>(dlsym(_handle, "cimple_module"));
    auto create = reinterpret_cast<Create_Proc>(dlsym(_handle, "PegasusCreateProvider"));
    if (!module || !create) {
        message = path + " lacks cimple_module or PegasusCreateProvider";
        close();
        return false;
    }
    // The list is newest first; the providers are kept in registration order.
    std::vector<const Registration*> records;
    for (const Registration* r = module(); r; r = r->next)
        records.insert(records.begin(), r);
    for (const Registration* r : records) {
        if (!r->provider_name || !r->meta_class)
            continue;
        auto* adapter = static_cast<Pegasus_Adapter*>(create(Pegasus::String(r->provider_name)));
        if (!adapter) {
            std::fprintf(stderr, "cimserver: provider %s was not made\n", r->provider_name);
            continue;
        }
        int status = adapter->load();
        if (status != 0) {
            std::fprintf(stderr, "cimserver: provider %s failed to load (status %d)\n", r->provider_name, status);
            delete adapter;
            continue;
        }
        if (!_repository)
            _repository = adapter->repository();
        _providers.push_back(adapter);
        _by_class.emplace(adapter->registration()->meta_class->name, adapter);
    }
    if (_providers.empty() || !_repository) {
        message = path + " gave no usable provider";
        close();
        return false;
    }
    return true;
}

void ProviderModule::close()
{
    for (auto it = _providers.rbegin(); it != _providers.rend(); ++it)
        delete *it;
    _providers.clear();
    _by_class.clear();
    _repository = nullptr;
    if (_handle) {
        dlclose(_handle);
        _handle = nullptr;
    }
}

const Meta_Class* ProviderModule::find_class(const char* name) const
{
    return _repository && name ? find_meta_class(_repository, name) : nullptr;
}

Pegasus_Adapter* ProviderModule::provider_of(const char* class_name) const
{
    if (!class_name)
        return nullptr;
    auto it = _by_class.find(class_name);
    return it == _by_class.end() ? nullptr : it->second;
}

std::size_t ProviderModule::NameHash::operator()(std::string_view name) const
{
    std::size_t h = 14695981039346656037ull; // FNV-1a over the lower-case text
    for (unsigned char c : name)
        h = (h ^ static_cast<unsigned char>(std::tolower(c))) * 1099511628211ull;
    return h;
}

bool ProviderModule::NameEqual::operator()(std::string_view a, std::string_view b) const
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); i++)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace cimserver
