#pragma once
// Drives element providers the way the CIM server does: the module loaded
// with dlopen, each provider reached through the framework adapter, the
// configuration tables of the arrays installed as cmf files in a temporary
// install directory and the arrays' status bytes stored in the cache.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CMTBuilder.h"
#include "Pegasus_Adapter.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"

namespace smis::test {

class ElementProviderFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        cimple::SMIS_CMTAccess::destroy();
        module = dlopen("libarrayprov.so", RTLD_NOW);
        ASSERT_NE(module, nullptr) << dlerror();
        auto entry = reinterpret_cast<cimple::Registration* (*)()>(dlsym(module, "cimple_module"));
        ASSERT_NE(entry, nullptr);
        head = entry();
    }
    void TearDown() override
    {
        cimple::SMIS_CMTAccess::destroy();
        if (module)
            dlclose(module);
    }

    // Writes the cmf file of each built array and a configuration naming
    // the addresses in that order (addresses without a table stay without).
    void install(const std::vector<std::pair<std::string, const CMTBuilder*>>& tables,
                 const std::vector<std::string>& order)
    {
        cimple::SMIS_CMTAccess::destroy();
        for (const auto& t : tables)
            t.second->installCmf(t.first);
        std::vector<std::string> env;
        for (const std::string& ip : order)
            env.push_back("StorageIP=" + ip);
        dir.writeEnv(env);
    }

    // Stores the array's overall status byte (0x50: OK with a secondary 5).
    void deviceStatus(const std::string& address, std::uint8_t status)
    {
        cimple::SMIS_CMTAccess* cache = cimple::SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        const std::uint8_t device[16] = {status};
        ASSERT_EQ(cache->SetExTableInfo(address.c_str(), 1, nullptr, device, 16, 1, 0), 0);
    }

    std::unique_ptr<cimple::Pegasus_Adapter> adapter(const std::string& cls)
    {
        std::unique_ptr<cimple::Pegasus_Adapter> p(
            cimple::Pegasus_Adapter::create(head, (cls + "_Provider").c_str()));
        EXPECT_NE(p, nullptr) << cls;
        return p;
    }

    // Enumerates a class; the status goes to *status.
    cimple::Instance_List enumerate(const std::string& cls, int* status)
    {
        cimple::Instance_List list;
        auto ad = adapter(cls);
        *status = ad ? ad->enum_instances(list) : -1;
        return list;
    }

    // get_instance with a model of the class that fill() gives its keys.
    template <class C, class Fill>
    int get(const std::string& cls, Fill fill, cimple::Instance_Ptr& got)
    {
        auto ad = adapter(cls);
        if (!ad)
            return -1;
        cimple::Instance_Ptr m(cimple::create(ad->meta_class(), true));
        fill(static_cast<C*>(m.get()));
        return ad->get_instance(m.get(), got);
    }

    // get_instance with the keys of an instance the provider delivered.
    int getSame(const std::string& cls, const cimple::Instance* like, cimple::Instance_Ptr& got)
    {
        auto ad = adapter(cls);
        return ad ? ad->get_instance(like, got) : -1;
    }

    TempInstallDir dir;
    void* module = nullptr;
    const cimple::Registration* head = nullptr;
};

template <class C>
const C* as(const cimple::Instance_Ptr& p)
{
    return static_cast<const C*>(p.get());
}

template <class T>
std::vector<T> values(const cimple::Property<cimple::Array<T>>& p)
{
    std::vector<T> out;
    for (size_t i = 0; i < p.value.size(); ++i)
        out.push_back(p.value[i]);
    return out;
}

inline std::vector<std::string> texts(const cimple::Property<cimple::Array<cimple::String>>& p)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < p.value.size(); ++i)
        out.push_back(p.value[i].c_str());
    return out;
}

}  // namespace smis::test
