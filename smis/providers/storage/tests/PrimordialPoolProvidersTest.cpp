// The primordial storage pool of each array and its size range method.

#include <gtest/gtest.h>

#include "CIM_StoragePool.h"
#include "PoolFixture.h"
#include "VELDARO_PrimordialStoragePool.h"

using namespace pool_test;

namespace {

TEST_F(PoolProviders, PrimordialPool)
{
    install({A, B});
    auto ad = adapter("VELDARO_PrimordialStoragePool");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    using P = cimple::VELDARO_PrimordialStoragePool;
    ASSERT_EQ(ids<P>(list), (std::vector<std::string>{"VELDARO:PSP_10.0.0.1", "VELDARO:PSP_10.0.0.2"}));
    const P* p = find<P>(list, "VELDARO:PSP_10.0.0.1");
    const char* text = "Primordial Storage pool for VELDARO storage system";
    EXPECT_STREQ(p->Caption.value.c_str(), text);
    EXPECT_STREQ(p->ElementName.value.c_str(), text);
    EXPECT_STREQ(p->Name.value.c_str(), text);
    EXPECT_STREQ(p->PoolID.value.c_str(), "Primordial");
    EXPECT_TRUE(p->Primordial.value);
    // Disk 0x0101 is in use, 0x0102 free, the slot of 0x0103 has no disk.
    EXPECT_EQ(p->TotalManagedSpace.value, 8000000u * 512);
    EXPECT_EQ(p->SpaceLimit.value, 8000000u * 512);
    EXPECT_EQ(p->RemainingManagedSpace.value, 5000000u * 512);
    EXPECT_EQ(p->SpaceLimitDetermination.value, 2);
    const P* b = find<P>(list, "VELDARO:PSP_10.0.0.2");
    EXPECT_EQ(b->TotalManagedSpace.value, 0u) << "an array without a disk table has no disks";
    EXPECT_EQ(b->RemainingManagedSpace.value, 0u);

    Instance_Ptr got;
    Instance_Ptr m = model<P>("VELDARO:PSP_10.0.0.2");
    ASSERT_EQ(ad->get_instance(m.get(), got), 0);
    EXPECT_EQ(get<P>(*ad, "VELDARO:PSP_10.0.0.7"), 60);

    Instance_Ptr self = model<P>("VELDARO:PSP_10.0.0.1");
    for (auto [type, result] : {std::pair{2, 2u}, std::pair{3, 1u}, std::pair{4, 1u}, std::pair{7, 1u}}) {
        Instance_Ptr call(cimple::CIM_StoragePool_GetSupportedSizeRange_method::create());
        cimple::nullify_properties(call.get()); // as a request hands it over
        auto* r = static_cast<cimple::CIM_StoragePool_GetSupportedSizeRange_method*>(call.get());
        r->ElementType.set(static_cast<cimple::uint16>(type));
        ASSERT_EQ(ad->invoke_method(self.get(), call.get()), 0);
        EXPECT_EQ(r->return_value.value, result) << type;
        EXPECT_TRUE(r->MaximumVolumeSize.null) << "a range is never computed";
    }
}

}  // namespace
