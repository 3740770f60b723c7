#pragma once
// The RAID group engine of the array: its level tables, the disk rules of
// each level, the busy check before a deletion and the RAID group commands
// of the array's command line.

#include "SMISProviderRAIDGroupConfiguration.h"

namespace cimple {

class TAVO_SMISProviderRAIDGroupConfiguration : public SMISProviderRAIDGroupConfiguration {
public:
    explicit TAVO_SMISProviderRAIDGroupConfiguration(const String& storage)
        : SMISProviderRAIDGroupConfiguration(storage)
    {
    }

    std::uint32_t deleteRLU(const Array<std::uint16_t>& rluns) override;
    // 5 without numbers or for a number not in use, 0x8011 when a group
    // holds volumes, else 0.
    std::uint32_t checkDeleteStoragePool(const Array<std::uint16_t>& rluns) override;
    std::uint32_t addRLU(const CMM_REG_RLU_INFO* info, std::uint32_t count) override;
    std::uint16_t getMaxRLUCount() override;

    void getSupportedRAIDLevelList(Array<String>& levels) override;
    int getMinSetDisk(const String& level) override;
    int getMaxSetDisk(const String& level) override;
    void getApprovalDiskCountLevel0P1(Array<std::uint16_t>& counts) override;
    void getApprovalDiskCountLevel5(Array<std::uint16_t>& counts) override;

    std::uint32_t findAvailableExtentLevel1(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) override;
    std::uint32_t findAvailableExtentLevel0P1(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) override;
    std::uint32_t findAvailableExtentLevel5(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) override;
    std::uint32_t findAvailableExtentLevel0P5(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) override;
    std::uint32_t findAvailableExtentLevel6(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) override;

    std::uint32_t getApprovalPatternLevel0P5(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) override;
    std::uint32_t getApprovalPatternLevel6(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) override;

    std::uint32_t getSupportedSizeLevel1(SMISProviderDiskManager* dm, Array<uint64>& sizes) override;
    std::uint32_t getSupportedSizeLevel0P1(SMISProviderDiskManager* dm, Array<uint64>& sizes) override;
    std::uint32_t getSupportedSizeLevel5(SMISProviderDiskManager* dm, Array<uint64>& sizes) override;
    std::uint32_t getSupportedSizeLevel0P5(SMISProviderDiskManager* dm, Array<uint64>& sizes) override;
    std::uint32_t getSupportedSizeLevel6(SMISProviderDiskManager* dm, Array<uint64>& sizes) override;

protected:
    // RAID6: 5 to 16 disks, two of them parity.
    bool useDiskCount(Level level, std::uint64_t q, std::uint32_t& count) override;
};

}  // namespace cimple
