// The provider module loaded as the CIM server loads it: dlopen, then
// every provider by name through PegasusCreateProvider and the real adapter.
#include <gtest/gtest.h>

#include <Pegasus/String.h>

#include <dlfcn.h>

#include "Pegasus_Adapter.h"

using namespace cimple;

namespace {

struct Module {
    void* handle = nullptr;
    Registration* (*module)() = nullptr;
    void* (*create_provider)(const Pegasus::String&) = nullptr;

    Module()
    {
        handle = dlopen(ARRAYPROV_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return;
        module = reinterpret_cast<Registration* (*)()>(dlsym(handle, "cimple_module"));
        create_provider = reinterpret_cast<void* (*)(const Pegasus::String&)>(dlsym(handle, "PegasusCreateProvider"));
    }
};

// Loaded once per process and kept, as the CIM server keeps it.
Module& module()
{
    static Module m;
    return m;
}

TEST(ModuleLoad, EveryProviderIsCreatedLoadedAskedUnloadedAndDestroyed)
{
    Module& m = module();
    ASSERT_NE(m.handle, nullptr) << dlerror();
    ASSERT_NE(m.module, nullptr);
    ASSERT_NE(m.create_provider, nullptr);

    const Meta_Repository* repository = nullptr;
    int count = 0;
    for (const Registration* r = m.module(); r; r = r->next, ++count) {
        SCOPED_TRACE(r->provider_name);
        Pegasus_Adapter* adapter = static_cast<Pegasus_Adapter*>(m.create_provider(Pegasus::String(r->provider_name)));
        ASSERT_NE(adapter, nullptr);
        EXPECT_EQ(adapter->registration(), r);
        EXPECT_EQ(adapter->load(), 0);
        EXPECT_EQ(adapter->meta_class(), r->meta_class);
        const Meta_Repository* mr = adapter->repository();
        ASSERT_NE(mr, nullptr);
        if (!repository)
            repository = mr;
        EXPECT_EQ(mr, repository) << "one repository for the module";
        EXPECT_EQ(find_meta_class(mr, r->meta_class->name), r->meta_class);
        EXPECT_EQ(adapter->unload(), 0);
        EXPECT_FALSE(adapter->loaded());
        delete adapter;
    }
    EXPECT_EQ(count, 152);
    ASSERT_NE(repository, nullptr);
    EXPECT_EQ(repository->num_meta_classes, 273u);
}

TEST(ModuleLoad, UnknownNameGivesNoProvider)
{
    Module& m = module();
    ASSERT_NE(m.create_provider, nullptr);
    EXPECT_EQ(m.create_provider(Pegasus::String("VELDARO_NoSuchThing_Provider")), nullptr);
    EXPECT_EQ(m.create_provider(Pegasus::String("")), nullptr);
}

TEST(ModuleLoad, ProviderNamesAreFoundWithoutRegardToCase)
{
    Module& m = module();
    ASSERT_NE(m.create_provider, nullptr);
    Pegasus_Adapter* adapter =
        static_cast<Pegasus_Adapter*>(m.create_provider(Pegasus::String("veldaro_storagevolume_provider")));
    ASSERT_NE(adapter, nullptr);
    EXPECT_STREQ(adapter->provider_name(), "VELDARO_StorageVolume_Provider");
    delete adapter;
}

} // namespace
