// Every pool provider on arrays without a valid table and without any array.

#include <gtest/gtest.h>

#include "PoolFixture.h"
#include "VELDARO_RAIDStoragePool.h"

using namespace pool_test;

namespace {

TEST_F(PoolProviders, ArraysWithoutTableOrConfiguration)
{
    const char* classes[] = {"VELDARO_RAIDStoragePool",  "VELDARO_PrimordialStoragePool", "VELDARO_ThinProvisioningPool",
                             "VELDARO_LayerixPool",      "VELDARO_LayerixSubPool",        "VELDARO_SDPVPool",
                             "VELDARO_SnapDataPool"};
    install({NO_TABLE, B}, /*statusRecords=*/false);
    for (const char* cls : classes) {
        auto ad = adapter(cls);
        Instance_List list;
        EXPECT_EQ(ad->enum_instances(list), 0) << cls;
    }
    auto raid = adapter("VELDARO_RAIDStoragePool");
    Instance_List list;
    ASSERT_EQ(raid->enum_instances(list), 0);
    EXPECT_EQ(ids<cimple::VELDARO_RAIDStoragePool>(list), (std::vector<std::string>{"VELDARO:RSP0000_10.0.0.2"}));
    EXPECT_EQ(get<cimple::VELDARO_RAIDStoragePool>(*raid, "VELDARO:RSP0000_10.0.0.9"), 60);

    SMIS_CMTAccess::destroy();
    dir.writeEnv({});
    for (const char* cls : classes) {
        auto ad = adapter(cls);
        Instance_List none;
        EXPECT_EQ(ad->enum_instances(none), 0) << cls;
        EXPECT_TRUE(none.empty()) << cls;
    }
}


}  // namespace
