#pragma once
// A test bed for driving providers through the framework adapter: the module
// loaded with dlopen, a temporary install directory, configuration tables
// installed as cmf files, and helpers to make models and read results.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CMTBuilder.h"
#include "Pegasus_Adapter.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"

namespace smis::test {

class ProviderTestBed : public ::testing::Test {
protected:
    using Table = std::function<void(CMTBuilder&)>;

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

    // Installs one table per array (cmf file) and configures the addresses
    // in this order; arrays without a table are configured but have none.
    void install(const std::vector<std::pair<std::string, Table>>& arrays,
                 const std::vector<std::string>& extraAddresses = {})
    {
        cimple::SMIS_CMTAccess::destroy();
        std::vector<std::string> env;
        for (const auto& [address, table] : arrays) {
            CMTBuilder b;
            table(b);
            b.installCmf(address);
            env.push_back("StorageIP=" + address);
        }
        for (const std::string& address : extraAddresses)
            env.push_back("StorageIP=" + address);
        dir.writeEnv(env);
    }

    std::unique_ptr<cimple::Pegasus_Adapter> adapter(const char* cls)
    {
        std::unique_ptr<cimple::Pegasus_Adapter> p(
            cimple::Pegasus_Adapter::create(head, (std::string(cls) + "_Provider").c_str()));
        EXPECT_NE(p, nullptr) << cls;
        return p;
    }

    // A model of a device class with its four keys.
    template <class C>
    cimple::Instance_Ptr deviceModel(cimple::Pegasus_Adapter& ad, const char* system, const char* deviceId)
    {
        cimple::Instance_Ptr m(cimple::create(ad.meta_class(), true));
        C* c = static_cast<C*>(m.get());
        c->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        c->SystemName.set(system);
        c->CreationClassName.set(ad.meta_class()->name);
        c->DeviceID.set(deviceId);
        return m;
    }

    // A model of a class keyed by InstanceID.
    template <class C>
    cimple::Instance_Ptr instanceIdModel(cimple::Pegasus_Adapter& ad, const char* instanceId)
    {
        cimple::Instance_Ptr m(cimple::create(ad.meta_class(), true));
        static_cast<C*>(m.get())->InstanceID.set(instanceId);
        return m;
    }

    // "SystemName/DeviceID" of each instance in order.
    template <class C>
    static std::vector<std::string> deviceIds(const cimple::Instance_List& list)
    {
        std::vector<std::string> out;
        for (const cimple::Instance_Ptr& p : list) {
            const C* c = static_cast<const C*>(p.get());
            out.push_back(std::string(c->SystemName.value.c_str()) + "/" + c->DeviceID.value.c_str());
        }
        return out;
    }

    template <class C>
    static const C* findDevice(const cimple::Instance_List& list, const std::string& system, const std::string& id)
    {
        for (const cimple::Instance_Ptr& p : list) {
            const C* c = static_cast<const C*>(p.get());
            if (system == c->SystemName.value.c_str() && id == c->DeviceID.value.c_str())
                return c;
        }
        return nullptr;
    }

    // Every enumerated device instance is found again by get_instance with
    // its keys, and the copy has the same Name.
    template <class C>
    void expectEachFoundByGet(cimple::Pegasus_Adapter& ad, const cimple::Instance_List& list)
    {
        for (const cimple::Instance_Ptr& p : list) {
            const C* c = static_cast<const C*>(p.get());
            cimple::Instance_Ptr m = deviceModel<C>(ad, c->SystemName.value.c_str(), c->DeviceID.value.c_str());
            cimple::Instance_Ptr got;
            ASSERT_EQ(ad.get_instance(m.get(), got), 0) << c->DeviceID.value.c_str();
            EXPECT_TRUE(cimple::key_eq(got.get(), p.get()));
            EXPECT_STREQ(static_cast<const C*>(got.get())->Name.value.c_str(), c->Name.value.c_str());
        }
    }

    // get_instance's status for a device key.
    template <class C>
    int getStatus(cimple::Pegasus_Adapter& ad, const char* system, const char* deviceId)
    {
        cimple::Instance_Ptr m = deviceModel<C>(ad, system, deviceId);
        cimple::Instance_Ptr got;
        return ad.get_instance(m.get(), got);
    }

    TempInstallDir dir;
    void* module = nullptr;
    const cimple::Registration* head = nullptr;
};

}  // namespace smis::test
