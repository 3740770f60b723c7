// The module as OpenPegasus loads it: libarrayprov.so opened with every symbol
// bound at once against the real CIMPLE and Pegasus libraries, and CIMPLE's
// own Pegasus adapter building, through PegasusCreateProvider, the provider
// object of each record of the module's registration list.
#include <gtest/gtest.h>

#include <Pegasus/Common/String.h>
#include <Pegasus/Provider/CIMProvider.h>
#include <cimple/Registration.h>

#include <dlfcn.h>

#include <set>
#include <string>

namespace {

TEST(RealFrameworkModule, LoadsBoundAndTheAdapterBuildsEveryProvider)
{
    void* handle = dlopen(ARRAYPROV_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    auto module = reinterpret_cast<cimple::Registration* (*)()>(dlsym(handle, "cimple_module"));
    // The server calls it with a const String&, as here.
    auto create = reinterpret_cast<void* (*)(const Pegasus::String&)>(dlsym(handle, "PegasusCreateProvider"));
    ASSERT_NE(module, nullptr);
    ASSERT_NE(create, nullptr);

    std::set<std::string> names;
    for (const cimple::Registration* r = module(); r; r = r->next) {
        EXPECT_STREQ(r->module_name, "SMI-S_Module");
        ASSERT_NE(r->meta_class, nullptr);
        EXPECT_TRUE(names.insert(r->provider_name).second) << r->provider_name << " registered twice";
    }
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        // The adapter matches names without regard to case, as the server's
        // registration may write them.
        for (std::string asked : {name, std::string(name).replace(0, 1, 1, char(name[0] ^ 0x20))}) {
            void* provider = create(Pegasus::String(asked.c_str()));
            ASSERT_NE(provider, nullptr) << asked;
            delete static_cast<Pegasus::CIMProvider*>(provider);
        }
    }
    EXPECT_EQ(create(Pegasus::String("Nobody_Provider")), nullptr);
}

} // namespace
