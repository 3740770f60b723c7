#pragma once
// The provider module loaded with dlopen, for tests that drive providers
// through the framework adapter as the CIM server does.
//
//   smis::test::ProviderModule module;            // fails the test when it cannot load
//   auto ad = module.adapter("VELDARO_StorageSetting");
//   cimple::Instance_List list;
//   ad->enum_instances(list);

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>
#include <string>

#include "Pegasus_Adapter.h"
#include "SMIS_CMTAccess.h"

namespace smis::test {

class ProviderModule {
public:
    // Forgets the cached tables so that each test reads the cmf files it installs.
    ProviderModule()
    {
        cimple::SMIS_CMTAccess::destroy();
        _module = dlopen("libarrayprov.so", RTLD_NOW);
        EXPECT_NE(_module, nullptr) << dlerror();
        if (!_module)
            return;
        auto entry = reinterpret_cast<cimple::Registration* (*)()>(dlsym(_module, "cimple_module"));
        EXPECT_NE(entry, nullptr);
        if (entry)
            _head = entry();
    }
    ~ProviderModule()
    {
        cimple::SMIS_CMTAccess::destroy();
        if (_module)
            dlclose(_module);
    }
    ProviderModule(const ProviderModule&) = delete;
    ProviderModule& operator=(const ProviderModule&) = delete;

    // The adapter of the class's provider (null, and a failed test, when none).
    std::unique_ptr<cimple::Pegasus_Adapter> adapter(const std::string& cls) const
    {
        std::unique_ptr<cimple::Pegasus_Adapter> p(cimple::Pegasus_Adapter::create(_head, (cls + "_Provider").c_str()));
        EXPECT_NE(p, nullptr) << cls;
        return p;
    }

    // The module's registration list (null when it did not load).
    const cimple::Registration* head() const { return _head; }

private:
    void* _module = nullptr;
    const cimple::Registration* _head = nullptr;
};

}  // namespace smis::test
