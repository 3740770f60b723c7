#pragma once
// Decides whether a standard volume can be made in a RAID group and where
// its blocks lie. The limits come from the virtual operations that a
// concrete class supplies (SMISProviderLVConfigurationImpl); every operation
// reads the array's cached configuration table through its own view and
// changes nothing.
//
//   SMISProviderLVConfigurationFactory factory("10.0.0.1");
//   SMISProviderLVConfiguration* lv = factory.createSMISProviderLVConfiguration();
//   std::uint32_t mib; std::uint16_t olun; std::uint64_t start;
//   int rc = lv->verifyCreateLogicalVolume(rlun, name, 0, bytes, stripe, mib, olun, start);
//   delete lv;
//
// Block ranges are inclusive pairs of 512-byte block numbers; [0, 0] also
// marks that there is no room.

#include <cstdint>

#include <cimple/String.h>

namespace cimple {

class SMISProviderLVConfiguration {
public:
    // Results of the operations that fail on bad input or table data.
    static constexpr int RESULT_ERROR = 0x8030;

    explicit SMISProviderLVConfiguration(const String& address);
    virtual ~SMISProviderLVConfiguration();
    SMISProviderLVConfiguration(const SMISProviderLVConfiguration&) = delete;
    SMISProviderLVConfiguration& operator=(const SMISProviderLVConfiguration&) = delete;

    virtual std::uint32_t getVolumeSizeUnit() const = 0;         // MiB
    virtual std::uint32_t getMaxVolumeCountPerRaid() const = 0;
    virtual std::uint32_t getMinVolumeSizeMB() const = 0;
    virtual std::uint32_t getMaxVolumeSizeMB() const = 0;
    virtual std::uint32_t getOLUMaxCount() const = 0;

    String getIpAddress() const { return _storage; }

    // The largest free block range of RAID group rlun with the volumes'
    // lengths rounded up to stripe blocks: 0 (range [0, 0] when there is
    // none), or RESULT_ERROR for a bad stripe, group or volume.
    int getFreeSpaceMaxRangeInRaid(std::uint16_t rlun, std::int32_t stripe, std::uint64_t& start,
                                   std::uint64_t& end) const;

    // Checks a new volume of size bytes in group rlun: 0 with its MiB, the
    // free volume number and the start block; 1 bad group or no range, 2
    // invalid size, 3 too large for the group, 4 the array holds its most
    // volumes, 5 the group holds its most volumes, RESULT_ERROR bad stripe.
    // The name and disk count take part in no decision.
    int verifyCreateLogicalVolume(std::uint16_t rlun, const String& name, int diskCount, std::uint64_t size,
                                  std::int32_t stripe, std::uint32_t& mib, std::uint16_t& olun,
                                  std::uint64_t& startBlock) const;

    // True when group rlun holds volume olun.
    bool confirmDeleteLogicalVolume(std::uint16_t rlun, std::uint16_t olun) const;

    // Always 0: no copy session blocks a volume here.
    int isSession(std::uint16_t rlun, std::uint16_t olun) const;

private:
    // The free range of the group when it holds blocks (rounded up to the
    // stripe), else [0, 0]: 0; -1 when the group's range is not known;
    // RESULT_ERROR for stripe 0.
    int getRemainingManagedSpaceRange(std::uint16_t rlun, std::int32_t stripe, std::uint64_t blocks,
                                      std::uint64_t& start, std::uint64_t& end) const;
    // True when the group's status word has bit 0x200 set.
    bool IsLogicalDeviceExpansion(std::uint16_t rlun) const;

protected:
    String _storage;
};

class SMISProviderLVConfigurationImpl : public SMISProviderLVConfiguration {
public:
    explicit SMISProviderLVConfigurationImpl(const String& address) : SMISProviderLVConfiguration(address) {}
    ~SMISProviderLVConfigurationImpl() override;

    std::uint32_t getVolumeSizeUnit() const override { return 1; }
    std::uint32_t getMaxVolumeCountPerRaid() const override { return 128; }
    std::uint32_t getMinVolumeSizeMB() const override { return 24; }
    std::uint32_t getMaxVolumeSizeMB() const override { return 0x8000000; }
    // The array's number of volume-number slots, from its table.
    std::uint32_t getOLUMaxCount() const override;
};

class SMISProviderLVConfigurationFactory {
public:
    explicit SMISProviderLVConfigurationFactory(const String& address) : _storage(address) {}
    virtual ~SMISProviderLVConfigurationFactory();

    // A new engine on the factory's address (the caller deletes it), NULL
    // when memory runs out.
    SMISProviderLVConfiguration* createSMISProviderLVConfiguration() const;

private:
    String _storage;
};

}  // namespace cimple
