// The key parsers the configuration methods rely on read only the exact
// form the builders write: a key with a wider or signed number, trailing
// text or a missing address names no entry, where a field-width scan would
// have read it as another one.

#include <gtest/gtest.h>

#include <string>

#include "VELDARO_AffinityGroupController_Resource.h"
#include "VELDARO_FreeExtent_Resource.h"
#include "VELDARO_LUNMappingController_Resource.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "VELDARO_ThinProvisioningFreeExtent_Resource.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"

using namespace cimple;

namespace {

// Every parser as one call: the numbers read, joined by ",", or "" when the
// key is refused.
using Parse = std::string (*)(const char*);

std::string numbers(std::initializer_list<unsigned> values)
{
    std::string out;
    for (unsigned v : values)
        out += (out.empty() ? "" : ",") + std::to_string(v);
    return out;
}

std::string raidPool(const char* k)
{
    std::uint16_t n = 0;
    return VELDARO_RAIDStoragePool_Resource::divide_InstanceID(k, &n) ? numbers({n}) : "";
}
std::string thinPool(const char* k)
{
    std::uint16_t n = 0;
    return VELDARO_ThinProvisioningPool_Resource::divide_InstanceID(k, &n) ? numbers({n}) : "";
}
std::string volume(const char* k)
{
    std::uint8_t t = 0;
    std::uint16_t n = 0;
    return VELDARO_StorageVolume_Resource::divide_DeviceID(k, &t, &n) ? numbers({t, n}) : "";
}
std::string freeExtent(const char* k)
{
    std::uint16_t n = 0;
    int o = 0;
    return VELDARO_FreeExtent_Resource::divide_DeviceID(k, &n, &o) ? numbers({n, unsigned(o)}) : "";
}
std::string thinFreeExtent(const char* k)
{
    std::uint16_t n = 0;
    int o = 0;
    return VELDARO_ThinProvisioningFreeExtent_Resource::divide_DeviceID(k, &n, &o) ? numbers({n, unsigned(o)}) : "";
}
std::string hostView(const char* k)
{
    std::uint16_t g = 0, m = 0, a = 0, p = 0;
    return VELDARO_AffinityGroupController_Resource::divide_DeviceID(k, &g, &m, &a, &p) ? numbers({g, m, a, p}) : "";
}
std::string defaultView(const char* k)
{
    std::uint16_t m = 0, a = 0, p = 0;
    return VELDARO_LUNMappingController_Resource::divide_DeviceID(k, &m, &a, &p) ? numbers({m, a, p}) : "";
}

TEST(ExactKeyParsing, ReadsOnlyTheBuildersForm)
{
    struct Case {
        Parse parse;
        const char* key;
        const char* read;
    };
    const Case cases[] = {
        {raidPool, "VELDARO:RSP0011_10.0.0.1", "11"},
        {raidPool, "VELDARO:RSP00011_10.0.0.1", ""},
        {raidPool, "VELDARO:RSP-001_10.0.0.1", ""},
        {raidPool, "VELDARO:RSP+001_10.0.0.1", ""},
        {raidPool, "VELDARO:RSP0001x_10.0.0.1", ""},
        {raidPool, "VELDARO:RSP0001", ""},
        {raidPool, "VELDARO:RSP0001_", ""},
        {raidPool, "VELDARO:RSP0001_a_10.0.0.1", ""},
        {raidPool, "VELDARO:RSP 001_10.0.0.1", ""},
        {thinPool, "VELDARO:TPP0002_10.0.0.1", "2"},
        {thinPool, "VELDARO:TPP00002_10.0.0.1", ""},
        {thinPool, "VELDARO:RSP0002_10.0.0.1", ""},
        {volume, "VOL00012", "1,12"},
        {volume, "TPPC00004", "9,4"},
        {volume, "LXV65535", "11,65535"},
        {volume, "VOL000012", ""},
        {volume, "VOL-0001", ""},
        {volume, "VOL0001", ""},
        {volume, "VOL99999", ""},
        {volume, "VOL00012 ", ""},
        {freeExtent, "FE0003_F001", "3,1"},
        {freeExtent, "FE0003_F0011", ""},
        {freeExtent, "FE0003_F001_10.0.0.1", ""},
        {freeExtent, "FE003_F001", ""},
        {thinFreeExtent, "TPFE0002_F000", "2,0"},
        {thinFreeExtent, "TPFE0002_F000x", ""},
        {hostView, "AFG0003_CM02CA01P01", "3,2,1,1"},
        {hostView, "AFG3_CM02CA01P01", ""},
        {hostView, "AFG0003_CM2CA1P1", ""},
        {hostView, "AFG0003_CM02CA01P01x", ""},
        {defaultView, "LM_CM00CA00P01", "0,0,1"},
        {defaultView, "LM_CM00CA00P001", ""},
        {defaultView, "LM_CM0 CA00P01", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.parse(c.key), c.read) << c.key;
    EXPECT_EQ(raidPool(nullptr), "");
    EXPECT_EQ(volume(""), "");
}

}  // namespace
