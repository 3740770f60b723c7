#pragma once
// Turns pool requests into RAID groups of one array: the RAID level from
// the goal setting (or the default levels in order), the member disks for
// the requested size, the array command through the concrete class, the
// table refresh and the new pool instance. Also deletes RAID groups.
//
//   SMISProviderRAIDGroupConfigurationFactory factory(address);
//   SMISProviderRAIDGroupConfiguration* engine = factory.createSMISProviderRAIDGroupConfiguration();
//   engine->setElementName(name);
//   std::uint32_t rc = 0;
//   CIM_StoragePool* pool = engine->createOrModifyStoragePool(goal, size, inExtents, rc);
//   delete engine;

#include <cstdint>
#include <memory>

#include "CIM_ManagedElement.h"
#include "CMM_REG_RLU_INFO.h"
#include "SMISProviderPoolConfiguration.h"
#include "SMISProviderRAIDGroupManager.h"

namespace cimple {

class SMISProviderRAIDGroupConfiguration : public SMISProviderPoolConfiguration {
public:
    explicit SMISProviderRAIDGroupConfiguration(const String& storage) : SMISProviderPoolConfiguration(storage) {}

    // A new RAID group for the goal's level and size (0: the engine
    // chooses) from the named disks (empty: the free ones). The new pool,
    // owned by the caller, or null with the code in returnValue.
    CIM_StoragePool* createOrModifyStoragePool(const CIM_StorageSetting* goal, std::uint64_t& size,
                                               const Array<String>& inExtents, std::uint32_t& returnValue);
    // The same from disk extent instances.
    CIM_StoragePool* CreateOrModifyElementFromElements(const Instance* goal, std::uint64_t& size,
                                                       const Array<CIM_StorageExtent*>& inElements,
                                                       std::uint32_t& returnValue);
    // Deletes the pool's RAID group.
    std::uint32_t deleteStoragePool(const CIM_StoragePool* pool);

    String getRaidLevelFromStorageSetting(const CIM_StorageSetting* setting) const override;

    // ---- array commands and limits (concrete class) ----
    virtual std::uint32_t deleteRLU(const Array<std::uint16_t>& rluns) = 0;
    virtual std::uint32_t checkDeleteStoragePool(const Array<std::uint16_t>& rluns);
    virtual std::uint32_t addRLU(const CMM_REG_RLU_INFO* info, std::uint32_t count) = 0;
    virtual std::uint16_t getMaxRLUCount() = 0;

protected:
    bool defaultsWithoutSetting() const override { return true; }
    bool needsPrimordialPool() const override { return true; }
    bool useDiskCount(Level level, std::uint64_t q, std::uint32_t& count) override;

    // A loaded manager, or null.
    SMISProviderRAIDGroupManager* createRAIDGroupManager() const;

    std::uint32_t makePool(const String& level, std::uint64_t size, std::uint16_t& number) override;
    CIM_StoragePool* findPool(std::uint16_t number, std::uint32_t& code) override;
    CIM_StoragePool* keyedPool(std::uint16_t number) const override;

private:
    // The goal's level (none when the goal names no level the engine
    // builds), or the default levels in order without a goal.
    Array<String> levelsOf(const CIM_StorageSetting* goal);
    std::uint32_t createRAIDGroup(const String& level, std::uint64_t size, std::uint16_t& rlun);
    std::uint32_t setCreateRluInfo(const String& level, std::uint64_t size, CMM_REG_RLU_INFO& info);
};

class SMISProviderRAIDGroupConfigurationFactory {
public:
    explicit SMISProviderRAIDGroupConfigurationFactory(const String& storage) : _storage(storage) {}
    virtual ~SMISProviderRAIDGroupConfigurationFactory() = default;
    // A new engine (the caller deletes it); null when memory runs out.
    SMISProviderRAIDGroupConfiguration* createSMISProviderRAIDGroupConfiguration() const;
    // An engine on the storage, owned by the caller; null (with an error
    // record) when none can be made.
    static std::unique_ptr<SMISProviderRAIDGroupConfiguration> engineFor(const String& storage);

private:
    String _storage;
};

}  // namespace cimple
