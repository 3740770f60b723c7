// Remote-copy connectivity of one array: one collection per remote box.

#include "VELDARO_ConnectivityCollection_Resource.h"

#include <cstring>
#include <string>

#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "Owned_Records.h"
#include "SMIS_Vorpak.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {
constexpr unsigned char NO_MEMORY = 0x40;
constexpr std::size_t PATH_COUNT_OFFSET = 40;
constexpr std::size_t PATH_STATE_OFFSET = 51;
constexpr std::size_t PATH_STRIDE = 16;
}  // namespace

VELDARO_ConnectivityCollection_Resource::~VELDARO_ConnectivityCollection_Resource()
{
    Instance_Provider_Frame::destroyAll(_instances);
}

std::uint16_t VELDARO_ConnectivityCollection_Resource::connectivityStatus(unsigned paths, unsigned normal)
{
    if (normal == 0)
        return 3;
    return normal == paths ? 2 : 4;
}

int VELDARO_ConnectivityCollection_Resource::createConnectivityCollection()
{
    VELDARO_ConnectivityCollection* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        SMIS_Vorpak vorpak(_storage.c_str());
        CMM_RSP_CHECK_FRA_PATH_DATA* records = nullptr;
        unsigned short count = 0;
        const unsigned char rc = vorpak.getXmirrexPath(nullptr, records, count);
        Owned_Records<CMM_RSP_CHECK_FRA_PATH_DATA> owned(records);
        if (rc == NO_MEMORY)
            return 0;
        if (rc == SMIS_Vorpak::CHANNEL_BUSY)
            return Instance_Provider_Frame::failChannelBusy(__FILE__, __LINE__);
        if (rc != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 0;
        }
        if (!records)
            return 0;

        for (unsigned short i = 0; i < count; ++i) {
            const std::uint8_t* record = records[i].bytes;
            char boxId[CMM_RSP_CHECK_FRA_PATH_DATA::BOX_ID_SIZE + 1] = {};
            std::memcpy(boxId, record, CMM_RSP_CHECK_FRA_PATH_DATA::BOX_ID_SIZE);
            // The record holds at most MAX_PATHS path entries, whatever its
            // count byte says.
            unsigned paths = record[PATH_COUNT_OFFSET];
            if (paths > CMM_RSP_CHECK_FRA_PATH_DATA::MAX_PATHS)
                paths = CMM_RSP_CHECK_FRA_PATH_DATA::MAX_PATHS;
            unsigned normal = 0;
            for (unsigned j = 0; j < paths; ++j)
                if (record[PATH_STATE_OFFSET + PATH_STRIDE * j] == 0)
                    ++normal;

            made = Instance_Provider_Frame::newInstance<VELDARO_ConnectivityCollection>();
            made->InstanceID.set(("VELDARO:CCL_" + std::string(boxId) + "_" + _storage.c_str()).c_str());
            made->Caption.set("Connectivity Collection");
            made->Description.set("Connectivity Collection");
            made->ElementName.set("Connectivity Collection");
            made->BoxID.set(boxId);
            made->ConnectivityStatus.set(connectivityStatus(paths, normal));
            _instances.append(made);
            made = nullptr;
        }
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
