#include "Remote_Path_Records.h"

#include <cstring>

#include "CA_Port_Name.h"
#include "Owned_Records.h"
#include "SMIS_Vorpak.h"
#include "SMIS_VorpakRecords.h"

namespace cimple {

namespace {

using Record = CMM_RSP_CHECK_FRA_PATH_DATA;

constexpr std::size_t PATH_COUNT_OFFSET = 40;
constexpr std::size_t PATH_OFFSET = 48;
constexpr std::size_t PATH_STRIDE = 16;

std::string boundedBoxId(const char* id)
{
    return std::string(id, strnlen(id, Record::BOX_ID_SIZE));
}

}  // namespace

namespace {

CA_Port_Name nameOf(const Remote_Path_Records::Port& p)
{
    return CA_Port_Name::fields(static_cast<std::uint16_t>(p.cm), static_cast<std::uint16_t>(p.ca),
                                static_cast<std::uint16_t>(p.portNo));
}

}  // namespace

std::uint8_t Remote_Path_Records::moduleIdOf(const Port& p)
{
    return nameOf(p).moduleId();
}

std::uint8_t Remote_Path_Records::modulePortOf(const Port& p)
{
    return nameOf(p).portNumber();
}

Remote_Path_Records::Port Remote_Path_Records::portOf(const Path& path)
{
    const CA_Port_Name n = CA_Port_Name::of(path.module, path.port);
    return Port{n.cm, n.ca, n.port};
}

unsigned char Remote_Path_Records::query(const String& storage, const char* boxId)
{
    _boxes.clear();
    SMIS_Vorpak vorpak(storage.c_str());
    Record* records = nullptr;
    unsigned short count = 0;
    const unsigned char rc = vorpak.getXmirrexPath(boxId, records, count);
    Owned_Records<Record> owned(records);
    if (rc == 0)
        read(records, count);
    return rc;
}

void Remote_Path_Records::read(const void* records, unsigned short count)
{
    _boxes.clear();
    if (!records)
        return;
    const auto* raw = static_cast<const Record*>(records);
    _boxes.reserve(count);
    for (unsigned short r = 0; r < count; ++r) {
        const std::uint8_t* bytes = raw[r].bytes;
        Box box;
        box.id = boundedBoxId(reinterpret_cast<const char*>(bytes));
        std::size_t paths = bytes[PATH_COUNT_OFFSET];
        if (paths > Record::MAX_PATHS)
            paths = Record::MAX_PATHS;
        for (std::size_t k = 0; k < paths; ++k) {
            const std::uint8_t* entry = bytes + PATH_OFFSET + PATH_STRIDE * k;
            box.paths.push_back(Path{entry[1], entry[2], entry[3]});
        }
        _boxes.push_back(std::move(box));
    }
}

const Remote_Path_Records::Box* Remote_Path_Records::find(const char* boxId) const
{
    if (!boxId)
        return nullptr;
    const std::string id = boundedBoxId(boxId);
    for (const Box& box : _boxes)
        if (box.id == id)
            return &box;
    return nullptr;
}

}  // namespace cimple
