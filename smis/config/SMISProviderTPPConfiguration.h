#pragma once
// Creates, expands and deletes thin-provisioning pools of one array: the
// level from the goal setting (or from the pool being expanded), the member
// disks for the requested size, the array command through the concrete
// class, the table refresh and the new or grown pool instance.
//
//   SMISProviderTPPConfigurationFactory factory(address);
//   SMISProviderTPPConfiguration* engine = factory.createSMISProviderTPPConfiguration();
//   engine->setElementName(name);
//   engine->setPoolNumber(0xFFFF);            // a new pool; else the pool to expand
//   CIM_StoragePool* pool = engine->createOrModifyStoragePool(goal, size, inExtents, rc);
//   delete engine;

#include <cstdint>
#include <memory>

#include "SMISProviderPoolConfiguration.h"
#include "SMIS_REG_TPP_INFO.h"

namespace cimple {

class SMISProviderTPPConfiguration : public SMISProviderPoolConfiguration {
public:
    explicit SMISProviderTPPConfiguration(const String& storage) : SMISProviderPoolConfiguration(storage) {}

    void setPoolNumber(std::uint16_t pool) { _poolNumber = pool; }

    CIM_StoragePool* createOrModifyStoragePool(const CIM_StorageSetting* goal, std::uint64_t& size,
                                               const Array<String>& inExtents, std::uint32_t& returnValue);
    CIM_StoragePool* CreateOrModifyElementFromElements(const Instance* goal, std::uint64_t& size,
                                                       const Array<CIM_StorageExtent*>& inElements,
                                                       std::uint32_t& returnValue);
    std::uint32_t deleteStoragePool(const CIM_StoragePool* pool);

    String getRaidLevelFromStorageSetting(const CIM_StorageSetting* setting) const override;
    // Without named disks there is no default pick for RAID0 unless the
    // pool being expanded fixes the member count.
    std::uint32_t getApprovalPatternLevel0(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) override;

    // The thin-pool attribute of the command line for a disk kind: 129 for
    // self-encrypting disks, 2 nearline, 3 solid state, else 1 online.
    static std::uint8_t attributeOfDiskKind(std::uint8_t kind);
    // The level text of the thin-pool table's RAID level code; empty for
    // any other code.
    static String levelOfArrayCode(std::uint8_t code);

    // ---- array commands (concrete class) ----
    virtual std::uint32_t deleteTPP(const Array<std::uint16_t>& pools) = 0;
    virtual std::uint32_t createTPP(SMIS_REG_TPP_INFO* info) = 0;
    virtual std::uint32_t expandTPP(const SMIS_REG_TPP_INFO* info) = 0;

protected:
    bool defaultsWithoutSetting() const override { return false; }
    bool needsPrimordialPool() const override { return false; }
    bool servesLevel(Level level) const override { return level != LEVEL_NONE && level != LEVEL_5P0; }

    // m or the list: the pool's member count fixes every count.
    Array<std::uint16_t> memberCountsOr(std::initializer_list<std::uint16_t> list) const;

    std::uint32_t makePool(const String& level, std::uint64_t size, std::uint16_t& number) override;
    CIM_StoragePool* findPool(std::uint16_t number, std::uint32_t& code) override;
    CIM_StoragePool* keyedPool(std::uint16_t number) const override;
    // The table, then the allocation records that hold a thin pool's
    // capacity, so the pool answered is the one the array now has.
    void refreshTable() const override;

    std::uint16_t _poolNumber = NO_NUMBER;
    std::uint8_t _memberDiskCount = 0;

private:
    // Level and member count of the pool being expanded.
    void getTPPInformation(String& level);
    // The level and disk check of a request: 0 or the code.
    std::uint32_t levelOfRequest(const CIM_StorageSetting* goal, const Array<std::uint16_t>& disks, String& level,
                                 std::uint32_t noLevel);
    std::uint32_t setCreateTPPInfo(const String& level, std::uint64_t size, SMIS_REG_TPP_INFO& info);
    std::uint32_t setExpandTPPInfo(const String& level, std::uint64_t size, SMIS_REG_TPP_INFO& info);
};

class SMISProviderTPPConfigurationFactory {
public:
    explicit SMISProviderTPPConfigurationFactory(const String& storage) : _storage(storage) {}
    virtual ~SMISProviderTPPConfigurationFactory() = default;
    SMISProviderTPPConfiguration* createSMISProviderTPPConfiguration() const;
    // An engine on the storage, owned by the caller; null (with an error
    // record) when none can be made.
    static std::unique_ptr<SMISProviderTPPConfiguration> engineFor(const String& storage);

private:
    String _storage;
};

}  // namespace cimple
