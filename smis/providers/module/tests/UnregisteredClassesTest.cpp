// The classes a loading server's registration leaves out, as the module
// sees them: the interop model the server serves, the server's system and
// the provider's software identity are listed (with their subclasses); the
// arrays' classes and the associations that join both sides are not. Only
// the build hosted by such a server stops serving the listed ones.
#include <gtest/gtest.h>

#include "Unregistered_Classes.h"
#include "schema_classes.h"

namespace {

using cimple::Meta_Class;
using cimple::Unregistered_Classes;

struct Case {
    const Meta_Class* mc;
    bool left_out;
};

TEST(UnregisteredClasses, InteropSideIsLeftOutArraySideIsNot)
{
    const Case cases[] = {
        {&cimple::VELDARO_System::static_meta_class, true},
        {&cimple::VELDARO_ProviderSoftwareIdentity::static_meta_class, true},
        {&cimple::VELDARO_ObjectManager::static_meta_class, true},
        {&cimple::VELDARO_CIMXMLCommunicationMechanism::static_meta_class, true},
        {&cimple::VELDARO_RegisteredProfile::static_meta_class, true},
        {&cimple::VELDARO_RegisteredSubProfile::static_meta_class, true},
        {&cimple::VELDARO_Namespace::static_meta_class, true},
        {&cimple::VELDARO_StorageComputerSystem::static_meta_class, false},
        {&cimple::VELDARO_StorageVolume::static_meta_class, false},
        {&cimple::VELDARO_DiskSoftwareIdentity::static_meta_class, false},
        {&cimple::CIM_HostedService::static_meta_class, false},
        {&cimple::CIM_ElementSoftwareIdentity::static_meta_class, false},
        {nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mc ? c.mc->name : "null");
        EXPECT_EQ(Unregistered_Classes::holds(c.mc), c.left_out);
#if SMIS_REAL_CIMPLE
        if (c.mc) {
            EXPECT_EQ(Unregistered_Classes::hostServes(c.mc), !c.left_out);
        }
#else
        EXPECT_TRUE(Unregistered_Classes::hostServes(c.mc)) << "the embedded server routes every class";
#endif
    }
}

} // namespace
