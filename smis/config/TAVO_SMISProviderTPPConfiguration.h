#pragma once
// The thin-provisioning pool engine of the array: its level tables, the
// member counts a thin pool allows at each level (or the count of the pool
// being expanded), the disk rules of each level and the thin-pool commands
// of the array's command line.

#include "SMISProviderTPPConfiguration.h"

namespace cimple {

class TAVO_SMISProviderTPPConfiguration : public SMISProviderTPPConfiguration {
public:
    explicit TAVO_SMISProviderTPPConfiguration(const String& storage) : SMISProviderTPPConfiguration(storage) {}

    std::uint32_t deleteTPP(const Array<std::uint16_t>& pools) override;
    std::uint32_t createTPP(SMIS_REG_TPP_INFO* info) override;
    std::uint32_t expandTPP(const SMIS_REG_TPP_INFO* info) override;

    void getSupportedRAIDLevelList(Array<String>& levels) override;
    int getMinSetDisk(const String& level) override;
    int getMaxSetDisk(const String& level) override;
    void getApprovalDiskCountLevel0P1(Array<std::uint16_t>& counts) override;
    void getApprovalDiskCountLevel5(Array<std::uint16_t>& counts) override;
    void getApprovalDiskCountLevel6(Array<std::uint16_t>& counts);

    std::uint32_t findAvailableExtentLevel1(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) override;
    std::uint32_t findAvailableExtentLevel0P1(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) override;
    std::uint32_t findAvailableExtentLevel5(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) override;
    std::uint32_t findAvailableExtentLevel6(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) override;

    std::uint32_t getApprovalPatternLevel6(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) override;

    std::uint32_t getSupportedSizeLevel1(SMISProviderDiskManager* dm, Array<uint64>& sizes) override;
    std::uint32_t getSupportedSizeLevel0P1(SMISProviderDiskManager* dm, Array<uint64>& sizes) override;
    std::uint32_t getSupportedSizeLevel5(SMISProviderDiskManager* dm, Array<uint64>& sizes) override;
    std::uint32_t getSupportedSizeLevel6(SMISProviderDiskManager* dm, Array<uint64>& sizes) override;

    // Member counts of a thin pool for a size q disks deep (0: none fits).
    std::uint32_t getUseDiskNumberLevel0P1(std::uint64_t q);
    std::uint32_t getUseDiskNumberLevel5(std::uint64_t q);
    std::uint32_t getUseDiskNumberLevel6(std::uint64_t q);

    // Member counts a new pool may have at a level (the expanded pool's
    // count when it has one).
    Array<std::uint16_t> allowedCounts(Level level) const;

protected:
    bool useDiskCount(Level level, std::uint64_t q, std::uint32_t& count) override;
};

}  // namespace cimple
