// The space a thin or tiering volume takes from its pool, end to end: the
// polling service's refresh stores the array's allocation records and the
// allocation association reads them back, so each such volume's
// SpaceConsumed is what the array reports as allocated, whichever of its two
// queries the array's model answers.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "Collected.h"
#include "SimulatedArrays.h"
#include "CIM_StoragePool.h"
#include "VELDARO_AllocatedFromStoragePool.h"
#include "VELDARO_AllocatedFromStoragePool_Provider.h"
#include "VELDARO_StorageVolume.h"

using namespace cimple;

namespace {

constexpr std::uint64_t MiB = 0x100000;

struct Coverage {
    static constexpr const char* scenario = "coverage";
    static constexpr std::size_t arrays = 1;
    static std::vector<std::string> arguments() { return {}; }
};

class ThinVolumeAllocation : public smis::test::Simulated_Arrays_Test<Coverage> {
protected:
    // Volume number -> allocated MiB, as the array reports it.
    static std::map<unsigned, std::uint64_t> allocated()
    {
        const nlohmann::json model = sim_->control({{"op", "dump"}, {"array", 0}})["model"];
        std::map<unsigned, std::uint64_t> out;
        for (const auto& alarm : model["volume_alarms"])
            out[alarm["olun"].get<unsigned>()] = alarm["allocated"].get<std::uint64_t>();
        return out;
    }

    // Volume number -> SpaceConsumed of its pairs with a thin or tiering pool.
    static std::map<unsigned, std::uint64_t> consumed()
    {
        VELDARO_AllocatedFromStoragePool_Provider provider;
        smis::test::Collected<VELDARO_AllocatedFromStoragePool> all;
        EXPECT_EQ(provider.enum_instances(nullptr, &all), ENUM_INSTANCES_OK);
        std::map<unsigned, std::uint64_t> out;
        for (auto* a : all.got) {
            const std::string pool = a->Antecedent ? a->Antecedent->meta_class->name : "";
            if (pool != "VELDARO_ThinProvisioningPool" && pool != "VELDARO_LayerixPool")
                continue;
            const auto* v = static_cast<const VELDARO_StorageVolume*>(static_cast<const Instance*>(a->Dependent));
            if (!v || std::string(v->meta_class->name) != "VELDARO_StorageVolume")
                continue;
            const std::string id = v->DeviceID.value.c_str();
            const auto digits = id.find_first_of("0123456789");
            EXPECT_NE(digits, std::string::npos) << id;
            if (digits == std::string::npos)
                continue;
            out[static_cast<unsigned>(std::strtoul(id.c_str() + digits, nullptr, 10))] = a->SpaceConsumed.value;
        }
        return out;
    }
};

TEST_F(ThinVolumeAllocation, SpaceConsumedIsTheAllocationTheArrayReports)
{
    const std::map<unsigned, std::uint64_t> reported = allocated();
    ASSERT_FALSE(reported.empty()) << "the coverage scenario has no thin volume alarms";
    // The sixth support flag of the model chooses the query: set, the
    // thin volume list; clear, one allocation query per volume.
    for (unsigned flag : {0x80u, 0u}) {
        SCOPED_TRACE(flag);
        ASSERT_TRUE(sim_->control({{"op", "set"}, {"array", 0}, {"path", "/model_info/support_flags/5"}, {"value", flag}})["ok"]);
        cimple::SMIS_CMTAccess::destroy();
        ASSERT_NE(cimple::SMIS_CMTAccess::getInstance(), nullptr);
        const std::string address = sim_->address(0);
        cimple::SMIS_CMTAccess::getInstance()->SetDeviceAvailable(address.c_str(), 0);
        // A fresh cache asks the array's model again.
        int reason = 0;
        ASSERT_TRUE(cimple::SMIS_PollingService::getInstance()->isSupportedModel(address.c_str(), reason)) << reason;
        ASSERT_EQ(cimple::SMIS_PollingService::getInstance()->getConfigManagementInfo(address.c_str(), 0), 0);
        ASSERT_EQ(cimple::SMIS_PollingService::getInstance()->UpdateAllocatedInfo(address.c_str()), 0);
        const std::map<unsigned, std::uint64_t> got = consumed();
        ASSERT_FALSE(got.empty()) << "no thin volume is paired with its pool";
        for (const auto& [volume, space] : got) {
            ASSERT_TRUE(reported.count(volume)) << "volume " << volume;
            EXPECT_EQ(space, reported.at(volume) * MiB) << "volume " << volume;
        }
    }
}

}  // namespace
