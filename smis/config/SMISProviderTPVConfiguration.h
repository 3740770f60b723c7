#pragma once
// Decides whether a thin-provisioning volume can be made or grown: the
// virtual sizes of the array's thin volumes are charged against a capacity
// set by the array model. The size limits come from the owned standard
// volume engine; every operation reads the cached configuration table
// through its own view and changes nothing.
//
//   SMISProviderTPVConfigurationFactory factory("10.0.0.1");
//   SMISProviderTPVConfiguration* tpv = factory.createSMISProviderTPVConfiguration();
//   std::uint64_t mib; std::uint16_t olun;
//   int rc = tpv->verifyCreateLogicalVolume(pool, bytes, mib, olun);
//   delete tpv;                               // also deletes the owned engine

#include <cstdint>

#include <cimple/String.h>

#include "SMISProviderLVConfiguration.h"

namespace cimple {

class SMISProviderTPVConfiguration {
public:
    // Takes ownership of lv (the concrete destructor deletes it).
    SMISProviderTPVConfiguration(SMISProviderLVConfiguration* lv, const String& address);
    virtual ~SMISProviderTPVConfiguration();
    SMISProviderTPVConfiguration(const SMISProviderTPVConfiguration&) = delete;
    SMISProviderTPVConfiguration& operator=(const SMISProviderTPVConfiguration&) = delete;

    virtual std::uint32_t getVolumeSizeUnit() const = 0;
    virtual std::uint32_t getMinVolumeSizeMB() const = 0;
    virtual std::uint32_t getMinExpandSizeMB() const = 0;  // smallest target size of an expansion
    virtual std::uint32_t getMaxVolumeSizeMB() const = 0;
    virtual std::uint32_t getOLUMaxCount() const = 0;
    virtual std::uint64_t getMaxCapacityByModel() const = 0;  // MiB

    // Room for thin volumes: [0, R - 1] with R the smaller of the unused
    // thin capacity and the largest volume; [0, 0] when R is 0. Always 0.
    int getFreeSpaceMaxRangeInStorage(std::uint64_t& start, std::uint64_t& end) const;

    // Checks a new thin volume of size bytes: 0 with its MiB and the free
    // volume number; 1 invalid size, 2 too large, 3 the array holds its most
    // volumes. The pool number takes part in no decision.
    int verifyCreateLogicalVolume(std::uint16_t pool, std::uint64_t size, std::uint64_t& mib,
                                  std::uint16_t& olun) const;

    // Checks growing thin volume olun to size bytes: 0 with the new MiB; 1
    // invalid size, 2 too large, 4 no such volume, 5 not a thin volume, 6 not
    // larger than now.
    int verifyModifyLogicalVolume(std::uint16_t olun, std::uint64_t size, std::uint64_t& mib) const;

private:
    // Blocks of room for thin volumes (R above).
    std::uint64_t freeBlocksInStorage() const;
    // The storage's range when it holds blocks, else [0, 0]. Always 0.
    int getRemainingManagedSpaceRange(std::uint64_t blocks, std::uint64_t& start, std::uint64_t& end) const;

protected:
    SMISProviderLVConfiguration* _lvConfiguration;
    String _storage;
};

class SMISProviderTPVConfigurationImpl : public SMISProviderTPVConfiguration {
public:
    SMISProviderTPVConfigurationImpl(SMISProviderLVConfiguration* lv, const String& address)
        : SMISProviderTPVConfiguration(lv, address)
    {
    }
    ~SMISProviderTPVConfigurationImpl() override;

    std::uint32_t getVolumeSizeUnit() const override;
    std::uint32_t getMinVolumeSizeMB() const override;
    std::uint32_t getMinExpandSizeMB() const override { return 1024; }
    std::uint32_t getMaxVolumeSizeMB() const override;
    std::uint32_t getOLUMaxCount() const override;
    // Thin capacity of the array's model (0 for a model not listed).
    std::uint64_t getMaxCapacityByModel() const override;

    // TiB of thin capacity of a model type code.
    static std::uint64_t capacityTiBOfModel(std::uint8_t modelType);
};

class SMISProviderTPVConfigurationFactory {
public:
    explicit SMISProviderTPVConfigurationFactory(const String& address) : _storage(address) {}
    virtual ~SMISProviderTPVConfigurationFactory();

    // A new engine owning a new standard volume engine (the caller deletes
    // it), NULL when either cannot be made.
    SMISProviderTPVConfiguration* createSMISProviderTPVConfiguration() const;

private:
    String _storage;
};

}  // namespace cimple
