#include "VELDARO_RefTable.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <type_traits>

#include "ByteOrder.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_TablePin.h"

namespace cimple {

namespace {

constexpr char FINISH_BLANK = ' ';
constexpr char FINISH_HASH = '#';
constexpr char FINISH_CUT = '\0';
#define VELDARO_REFTABLE_FINISH(finish) FINISH_##finish

// An image of zero-sized volume tables: every read answers zero.
const cnfg_config_mgmt_table& emptyImage()
{
    static const std::unique_ptr<cnfg_config_mgmt_table> empty = [] {
        CMM_CMT_GLOBAL_VAL_ELEM block;
        return cnfg_config_mgmt_table::create(block);
    }();
    return *empty;
}

char* finishedText(std::string_view field, char finish)
{
    char* text = VELDARO_RefTable::getTableValue(field.data(), static_cast<unsigned>(field.size()));
    if (text && finish != FINISH_CUT)
        VELDARO_RefTable::trimRight(text, finish);
    return text;
}

// The bytes as upper-case hex, two digits each.
template <std::size_t N>
char* formatted_HEX(const std::array<std::uint8_t, N>& bytes)
{
    char* text = VELDARO_RefTable::getMemory(2 * N + 1, true);
    if (!text)
        return nullptr;
    for (std::size_t k = 0; k < N; ++k)
        std::snprintf(text + 2 * k, 3, "%02X", bytes[k]);
    return text;
}

char* ipv4Text(const std::uint8_t* b)
{
    char* text = VELDARO_RefTable::getMemory(16, true);
    if (text)
        std::snprintf(text, 16, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return text;
}

char* formatted_IPV4(const std::array<std::uint8_t, 4>& bytes)
{
    return ipv4Text(bytes.data());
}

const std::uint8_t kNoAddress[4] = {0, 0, 0, 0};

// Sets bound to the array a view reads (at most 15 characters of address;
// the cache's current array when address is NULL) and gives the cache, or
// NULL when there is none.
SMIS_CMTAccess* bindAddress(const char* address, std::string& bound)
{
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (address)
        bound.assign(address, strnlen(address, 15));
    if (!cache)
        return nullptr;
    if (!address)
        bound = cache->GetCurrentIP().c_str();
    return cache;
}

}  // namespace

// ---- binding ----

namespace {

// The image the outermost open view of this thread bound, per address, and
// how many views of the thread share it: views nest on a thread and read
// one image, as they did when a view held the table mutex for its life.
struct ThreadBinding {
    std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block;
    std::shared_ptr<const cnfg_config_mgmt_table> image;
    unsigned views = 0;
};
thread_local std::map<std::string, ThreadBinding> threadBindings;

}  // namespace

VELDARO_RefTable::VELDARO_RefTable(const char* address)
{
    SMIS_CMTAccess* cache = bindAddress(address, _address);
    if (!cache)
        return;
    // Under a pin of this thread the view reads the pinned image.
    if (VELDARO_TablePin::pinned(_address, _block, _image))
        return;
    ThreadBinding& bound = threadBindings[_address];
    if (bound.views == 0) {
        // The table mutex is held only to take the image: images never
        // change once published, so the walk reads it without the mutex and
        // a refresh installs a newer one meanwhile for everyone else.
        SMIS_MutexHandle held = cache->GetCMTMutex(_address.c_str(), SMIS_CMTAccess::MUTEX_CMT);
        cache->GetCurrentCMT(_address.c_str(), bound.block, bound.image);
        cache->RelaseCMTMutex(held);
    }
    ++bound.views;
    _counted = true;
    _block = bound.block;
    _image = bound.image;
}

VELDARO_RefTable::VELDARO_RefTable(const char* address, Unlocked)
{
    SMIS_CMTAccess* cache = bindAddress(address, _address);
    if (!cache)
        return;
    cache->GetCurrentCMT(_address.c_str(), _block, _image);
}

VELDARO_RefTable::VELDARO_RefTable(const char* address, std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block,
                                   std::shared_ptr<const cnfg_config_mgmt_table> image)
    : _image(std::move(image)), _block(std::move(block))
{
    if (address)
        _address.assign(address, strnlen(address, 15));
}

VELDARO_RefTable::VELDARO_RefTable(const char* address, const CMM_CMT_GLOBAL_VAL_ELEM* block,
                                   const cnfg_config_mgmt_table* image)
    : VELDARO_RefTable(address,
                       std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM>(block, [](const CMM_CMT_GLOBAL_VAL_ELEM*) {}),
                       std::shared_ptr<const cnfg_config_mgmt_table>(image, [](const cnfg_config_mgmt_table*) {}))
{
    if (!block)
        _block.reset();
    if (!image)
        _image.reset();
}

VELDARO_RefTable::~VELDARO_RefTable()
{
    if (!_counted)
        return;
    auto bound = threadBindings.find(_address);
    if (bound != threadBindings.end() && --bound->second.views == 0)
        threadBindings.erase(bound);
}

void VELDARO_RefTable::installedOnThisThread(const char* address,
                                             const std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM>& block,
                                             const std::shared_ptr<const cnfg_config_mgmt_table>& image)
{
    if (!address)
        return;
    auto bound = threadBindings.find(std::string(address, strnlen(address, 15)));
    if (bound == threadBindings.end())
        return;
    bound->second.block = block;
    bound->second.image = image;
}

void VELDARO_RefTable::resetCMTAddr()
{
    // The view shares ownership of whatever it binds, so a refresh never
    // frees what it reads. A view counted on this thread moves the thread's
    // binding with it, so that views opened after it read the same image.
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (!cache)
        return;
    cache->GetCurrentCMT(_address.c_str(), _block, _image);
    if (_counted)
        installedOnThisThread(_address.c_str(), _block, _image);
}

const cnfg_config_mgmt_table& VELDARO_RefTable::_img() const
{
    return _image ? *_image : emptyImage();
}

// ---- heap texts ----

char* VELDARO_RefTable::getMemory(unsigned size, bool zero)
{
    if (size == 0)
        return nullptr;
    return static_cast<char*>(zero ? std::calloc(size, 1) : std::malloc(size));
}

void VELDARO_RefTable::getMemFree(char* block)
{
    SMIS_AccessCom::freeMemory(block);
}

char* VELDARO_RefTable::getTableValue(const char* field, unsigned width)
{
    char* text = getMemory(width + 1, false);
    if (!text)
        return nullptr;
    std::memcpy(text, field, width);
    text[width] = '\0';
    for (unsigned k = 0; k < width; ++k) {
        if (static_cast<unsigned char>(text[k]) >= 0x80) {
            text[k] = '\0';
            break;
        }
    }
    return text;
}

void VELDARO_RefTable::trimRight(char* text, char c)
{
    if (!text)
        return;
    std::size_t n = std::strlen(text);
    while (n > 0 && text[n - 1] == c)
        text[--n] = '\0';
}

// ---- generated getters ----

#define VELDARO_REFTABLE_DEFINE_FIELD(A, name, type, Table, Field)                                          \
    type VELDARO_RefTable::name(VELDARO_REFTABLE_PARAMS_##A) const                                          \
    {                                                                                                       \
        const auto value = VELDARO_REFTABLE_READ_##A(_img(), Table, Field);                                 \
        static_assert(std::is_unsigned_v<decltype(value)> && sizeof(type) >= sizeof(value),                \
                      #name " would narrow its field");                                                     \
        return static_cast<type>(value);                                                                    \
    }
#define VELDARO_REFTABLE_DEFINE_TEXT(A, name, finish, Table, Field)                                         \
    char* VELDARO_RefTable::name(VELDARO_REFTABLE_PARAMS_##A) const                                         \
    {                                                                                                       \
        return finishedText(VELDARO_REFTABLE_READ_##A(_img(), Table, Field), VELDARO_REFTABLE_FINISH(finish)); \
    }
#define VELDARO_REFTABLE_DEFINE_FORMATTED(A, name, format, Table, Field)                                    \
    char* VELDARO_RefTable::name(VELDARO_REFTABLE_PARAMS_##A) const                                         \
    {                                                                                                       \
        return formatted_##format(VELDARO_REFTABLE_READ_##A(_img(), Table, Field));                         \
    }


VELDARO_REFTABLE_FIELD_GETTERS(VELDARO_REFTABLE_DEFINE_FIELD)
VELDARO_REFTABLE_TEXT_GETTERS(VELDARO_REFTABLE_DEFINE_TEXT)
VELDARO_REFTABLE_FORMATTED_GETTERS(VELDARO_REFTABLE_DEFINE_FORMATTED)

// ---- counts and records beside the tables ----

std::uint16_t VELDARO_RefTable::getHostCount() const { return _img().HostCount; }
std::uint16_t VELDARO_RefTable::getiSCSIHostCount() const { return _img().iSCSIHostCount; }
std::uint16_t VELDARO_RefTable::getConnectionMapCount() const { return _img().ConnectionMapCount; }
std::uint32_t VELDARO_RefTable::getTableUpdateCount() const { return _img().TableUpdateCount(); }
std::uint8_t VELDARO_RefTable::getSysModelType() const { return _img().Sys().ModelType() & 0x70; }

void VELDARO_RefTable::getPartOfSysNodeWWN(unsigned char* wwn) const
{
    if (wwn)
        std::memcpy(wwn, _img().Sys().NodeWWN().data(), 8);
}

void VELDARO_RefTable::copyLUNMapOLUMapping(int i, std::uint16_t* olun) const
{
    if (!olun)
        return;
    const CMT_LUNMap e = _img().LUNMap(_ix(i));
    for (std::size_t lun = 0; lun < 512; ++lun)
        olun[lun] = e.Olun(lun);
}

void VELDARO_RefTable::copyAffinityOLUMapping(int i, std::uint16_t* olun) const
{
    if (!olun)
        return;
    const CMT_Affinity e = _img().Affinity(_ix(i));
    for (std::size_t lun = 0; lun < 512; ++lun)
        olun[lun] = e.Olun(lun);
}

std::uint32_t VELDARO_RefTable::getiSCSIHostiSCSIIPAddressBinary(int i) const
{
    return smis::loadLE32(_img().iSCSIHost(_ix(i)).iSCSIIPAddress().data());
}

std::uint8_t VELDARO_RefTable::getSdpPercent(int pool, int slot) const
{
    return _img().SdpPercent(_ix(pool), _ix(slot));
}

// ---- LAN ports and firmware ----

const std::uint8_t* VELDARO_RefTable::getNspIPAddress() const
{
    return _image ? _image->LanPort(0).bytes() : kNoAddress;
}

std::uint32_t VELDARO_RefTable::getLanPortIP(int entry, int which) const
{
    const CMT_LanPort lan = _img().LanPort(_ix(entry));
    const std::array<std::uint8_t, 4> a = which == 1 ? lan.MasterIP() : lan.SlaveIP();
    if (a[0] == 0)
        return 0xFFFFFFFFu;
    return smis::loadLE32(a.data());
}

char* VELDARO_RefTable::getMasterIPAddress() const
{
    for (std::size_t e = 0; e < 3; ++e) {
        const std::array<std::uint8_t, 4> master = _img().LanPort(e).MasterIP();
        if (master[0] != 0)
            return ipv4Text(master.data());
    }
    return ipv4Text(kNoAddress);
}

char* VELDARO_RefTable::getSlaveIPAddress() const
{
    for (std::size_t e = 0; e < 3; ++e) {
        const CMT_LanPort lan = _img().LanPort(e);
        if (lan.MasterIP()[0] != 0) {
            const std::array<std::uint8_t, 4> slave = lan.SlaveIP();
            return ipv4Text(slave[0] != 0 ? slave.data() : kNoAddress);
        }
    }
    return ipv4Text(kNoAddress);
}

char* VELDARO_RefTable::getCMIPAddress(int i) const
{
    switch (_img().CM(_ix(i)).LANRole()) {
    case 1: return getMasterIPAddress();
    case 2: return getSlaveIPAddress();
    default: return getMemory(16, true);
    }
}

char* VELDARO_RefTable::getTotalFirmVersion(int form) const
{
    const std::uint8_t generation = _img().FirmwareCurrentGeneration;
    if (generation == 0 || generation > cnfg_config_mgmt_table::FIRMWARE_GENERATIONS)
        return nullptr;
    const CMT_FirmwareGeneration g = _img().FirmwareGen(generation - 1u);
    // Each version text ends at its width or at its first NUL.
    char a[3] = {}, b[3] = {}, c[5] = {};
    std::memcpy(a, g.Version1().data(), 2);
    std::memcpy(b, g.Version2().data(), 2);
    std::memcpy(c, g.Version3().data(), 4);
    char* text = getMemory(12, true);
    if (!text)
        return nullptr;
    if (form == 0)
        std::snprintf(text, 12, "%s.%s.%s", a, b, c);
    else if (form == 1)
        std::snprintf(text, 12, "V%sL%sP%s", a, b, c);
    else
        std::snprintf(text, 12, "V%sL%s-%s", a, b, c);
    return text;
}

std::uint32_t VELDARO_RefTable::_inet_a4ton(const std::uint8_t* bytes)
{
    return smis::loadBE32(bytes);
}

std::uint32_t VELDARO_RefTable::cms_get_lanport_ip() const
{
    const std::array<std::uint8_t, 4> master = _img().LanPort(0).MasterIP();
    if (master[0] == 0) {
        const std::uint8_t fallback[4] = {192, 168, 1, 1};
        return smis::loadLE32(fallback);
    }
    return smis::loadLE32(master.data());
}

}  // namespace cimple
