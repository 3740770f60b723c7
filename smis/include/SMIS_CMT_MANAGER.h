#pragma once
// The cache's record of one configured array: its current configuration
// table image with the maximum-count block, its status ("Ex") table, its
// copy-session table, its model information and state flags, the paths of
// its three cache files and the names of its nine named mutexes.
//
// The image, the status table and the copy-session table are immutable
// once published and shared: a reader that took a pointer keeps the object
// alive however often the cache replaces it. Replacing one takes the
// record's small pointer lock only for the swap; the named mutexes of
// SMIS_CMTAccess decide who may replace what and when.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "CMM_CMT_GLOBAL_VAL_ELEM.h"
#include "SMIS_CMT.h"
#include "cnfg_config_mgmt_table.h"

namespace cimple {

class SMIS_CMT_MANAGER {
public:
    static constexpr int MUTEX_KINDS = 9;
    static constexpr int FILE_PATHS = 3;
    static constexpr std::size_t MODEL_INFO_SIZE = 32;
    using ModelInfo = std::array<std::uint8_t, MODEL_INFO_SIZE>;

    explicit SMIS_CMT_MANAGER(const std::string& address);

    // Dotted IPv4 text, at most 15 characters.
    const std::string& address() const { return _address; }

    // Current pointers (each may be empty).
    void getImage(std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM>& block,
                  std::shared_ptr<const cnfg_config_mgmt_table>& image) const;
    void setImage(std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block,
                  std::shared_ptr<const cnfg_config_mgmt_table> image);
    std::shared_ptr<const SMIS_CMT> exTable() const;
    void setExTable(std::shared_ptr<const SMIS_CMT> table);
    std::shared_ptr<const SMIS_CMT> copySessionTable() const;
    void setCopySessionTable(std::shared_ptr<const SMIS_CMT> table);

    // "Global\<kind name>_<address>" of each kind.
    std::array<std::string, MUTEX_KINDS> mutexName;
    // cmf, ext and cps paths.
    std::array<std::string, FILE_PATHS> filePath;

    // The copy-session table came from a cps file or a fetch. The empty
    // table a new install starts with is no account of the array's sessions:
    // the first fetch is not compared with it (no session is reported as
    // created for being there).
    std::atomic<bool> copySessionsKnown{false};

    // 0 model not yet asked, 1 asked and not supported, 2 supported.
    std::atomic<int> supportInformation{0};
    // 1: treat the array as not reachable; 0: reachable.
    std::atomic<int> deviceFlag{1};
    // Last device status code of the device-status task.
    std::atomic<std::uint8_t> errorStatus{254};
    // The array's model answer; read and written under the kind 5 mutex.
    ModelInfo modelInformation{};

    // Volume number -> record of the thin volume allocation data (status
    // kind 7) of exTable kind7Source; rebuilt under the kind 1 mutex when the
    // status table has been replaced.
    std::shared_ptr<const SMIS_CMT> kind7Source;
    std::unordered_map<std::uint16_t, std::uint32_t> kind7Index;

    // Whole-table fetches, numbered while the array's command mutex (kind 4)
    // is held, so in the order the array answered them. A refresh fetches
    // without holding the image mutex (kind 0), and of two refreshes that
    // overlap the later answer wins: writtenFetch (under kind 2) and
    // installedFetch (under kind 0) keep an older answer from replacing it.
    std::uint64_t tableFetches = 0;
    std::uint64_t writtenFetch = 0;
    std::uint64_t installedFetch = 0;

    // Copy-session fetches, whole list and chosen sessions alike, numbered
    // before their first exchange (a walk of many exchanges holds kind 4
    // only around each one), so that of two overlapping refreshes the one
    // that started later wins. copyWrittenFetch (under kind 8) is the
    // fetch of the cps file, copyTableFetch (under kind 7) the fetch of the
    // whole table in place; sessionFetch (under kind 7) holds the sessions
    // that a chosen-session fetch later than copyTableFetch has overwritten,
    // so that a whole table fetched before it keeps their newer records.
    std::atomic<std::uint64_t> copyFetches{0};
    std::uint64_t copyWrittenFetch = 0;
    std::uint64_t copyTableFetch = 0;
    std::unordered_map<std::uint16_t, std::uint64_t> sessionFetch;

    // Pool status fetches (UpdateAllocatedInfo), numbered before their first
    // exchange as the copy-session fetches are; the fetch whose data is
    // stored, under kind 1.
    std::atomic<std::uint64_t> allocationFetches{0};
    std::uint64_t allocationStoredFetch = 0;

private:
    std::string _address;
    mutable std::mutex _pointers;
    std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> _block;
    std::shared_ptr<const cnfg_config_mgmt_table> _image;
    std::shared_ptr<const SMIS_CMT> _exTable;
    std::shared_ptr<const SMIS_CMT> _copySessionTable;
};

}  // namespace cimple
