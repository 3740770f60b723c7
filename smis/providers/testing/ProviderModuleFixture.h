#pragma once
// A fixture that drives providers of the module end to end: the module is
// loaded with dlopen, each provider is reached through the framework
// adapter, and every array's configuration table is installed as a cmf file
// in a temporary install directory. Status data that the polling service
// would fetch (controller and drive enclosure summaries) is stored in the
// cache directly.
//
//   CMTBuilder a;  a.ce().SerialNo("S1") ...
//   install({{"10.0.0.1", &a}});
//   setEnclosureStatus("10.0.0.1", 0x20, {{0x01, 0x20}});
//   Instance_List list;  ASSERT_EQ(enumerate("VELDARO_ControllerEnclosure", list), 0);

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ByteOrder.h"
#include "CMTBuilder.h"
#include "Pegasus_Adapter.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"

namespace smis::test {

class ProviderModuleFixture : public ::testing::Test {
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

    // Installs each array's table (a null builder installs no table) and
    // configures the arrays in the given order.
    void install(const std::vector<std::pair<std::string, const CMTBuilder*>>& arrays)
    {
        std::vector<std::string> env;
        for (const auto& [address, builder] : arrays) {
            if (builder)
                builder->installCmf(address);
            env.push_back("StorageIP=" + address);
        }
        dir.writeEnv(env);
    }

    // Stores the controller enclosure status byte and the drive enclosure
    // status list (DE id, status byte) of an array.
    void setEnclosureStatus(const std::string& address, std::uint8_t ceStatus,
                            const std::vector<std::pair<std::uint8_t, std::uint8_t>>& deStatus)
    {
        cimple::SMIS_CMTAccess* cache = cimple::SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        const std::uint8_t ce[8] = {0, ceStatus};
        ASSERT_EQ(cache->SetExTableInfo(address.c_str(), cimple::SMIS_CMTAccess::EX_CE_SUMMARY, nullptr, ce, 8, 1, 0),
                  0);
        std::vector<std::uint8_t> de(4 + 4 * cimple::SMIS_CMTAccess::DE_SUMMARY_ENTRIES, 0);
        smis::storeLE32(de.data(), static_cast<std::uint32_t>(deStatus.size()));
        for (std::size_t i = 0; i < deStatus.size(); ++i) {
            de[4 + 4 * i] = deStatus[i].first;
            de[5 + 4 * i] = deStatus[i].second;
        }
        ASSERT_EQ(cache->SetExTableInfo(address.c_str(), cimple::SMIS_CMTAccess::EX_DE_SUMMARY, nullptr, de.data(),
                                        static_cast<unsigned>(de.size()), 1, 0),
                  0);
    }

    std::unique_ptr<cimple::Pegasus_Adapter> adapter(const std::string& cls)
    {
        std::unique_ptr<cimple::Pegasus_Adapter> p(cimple::Pegasus_Adapter::create(head, (cls + "_Provider").c_str()));
        EXPECT_NE(p, nullptr) << cls;
        return p;
    }

    int enumerate(const std::string& cls, cimple::Instance_List& list)
    {
        auto ad = adapter(cls);
        return ad ? ad->enum_instances(list) : -1;
    }

    // get_instance of a model of the class whose keys fill sets.
    template <class C, class Fill>
    int get(const std::string& cls, Fill fill, cimple::Instance_Ptr& out)
    {
        auto ad = adapter(cls);
        if (!ad)
            return -1;
        cimple::Instance_Ptr m(cimple::create(ad->meta_class(), true));
        C* c = static_cast<C*>(m.get());
        c->CreationClassName.set(cls.c_str());
        fill(c);
        return ad->get_instance(m.get(), out);
    }

    // get_instance by Tag for the classes keyed by Tag and CreationClassName.
    template <class C>
    int getByTag(const std::string& cls, const std::string& tag, cimple::Instance_Ptr& out)
    {
        return get<C>(cls, [&](C* c) { c->Tag.set(tag.c_str()); }, out);
    }

    // The Tags of a list, in order.
    template <class C>
    static std::vector<std::string> tags(const cimple::Instance_List& list)
    {
        std::vector<std::string> out;
        for (const cimple::Instance_Ptr& p : list)
            out.push_back(static_cast<const C*>(p.get())->Tag.value.c_str());
        return out;
    }

    template <class C>
    static const C* byTag(const cimple::Instance_List& list, const std::string& tag)
    {
        for (const cimple::Instance_Ptr& p : list) {
            const C* c = static_cast<const C*>(p.get());
            if (tag == c->Tag.value.c_str())
                return c;
        }
        return nullptr;
    }

    // Every instance of the list is found again by get_instance with its keys.
    template <class C>
    void expectEachFoundByTag(const std::string& cls, const cimple::Instance_List& list)
    {
        for (const cimple::Instance_Ptr& p : list) {
            const C* c = static_cast<const C*>(p.get());
            cimple::Instance_Ptr got;
            ASSERT_EQ(getByTag<C>(cls, c->Tag.value.c_str(), got), 0) << c->Tag.value.c_str();
            EXPECT_TRUE(cimple::key_eq(got.get(), p.get()));
            EXPECT_STREQ(static_cast<const C*>(got.get())->ElementName.value.c_str(), c->ElementName.value.c_str());
        }
    }

    static std::vector<std::uint16_t> statuses(const cimple::Property<cimple::Array<cimple::uint16>>& p)
    {
        std::vector<std::uint16_t> out;
        for (std::size_t i = 0; i < p.value.size(); ++i)
            out.push_back(p.value[i]);
        return out;
    }

    TempInstallDir dir;
    void* module = nullptr;
    const cimple::Registration* head = nullptr;
};

}  // namespace smis::test
