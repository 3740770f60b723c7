#include "SMIS_CLI.h"

#include "SMIS_AutoLogin.h"
#include "SMIS_TraceLog.h"

#include <cstdio>
#include <new>

namespace cimple {

namespace {

using ErrorMap = SMIS_CLI::ErrorMap;
using Mapping = SMIS_CLI::Mapping;

template <std::size_t N>
constexpr Mapping mapping(const ErrorMap (&entries)[N])
{
    return {entries, N};
}

// The array's message numbers of each command and the results they give.
constexpr ErrorMap ADD_RLU[] = {{5, 65}, {288, 70}};
constexpr ErrorMap DELETE_RLU[] = {{113, 68}, {272, 65}};
constexpr ErrorMap CREATE_VOLUME[] = {{2, 65},   {5, 65},   {272, 65}, {114, 90},
                                      {128, 72}, {256, 71}, {288, 70}, {342, 68}, {0x5100, 91}};
constexpr ErrorMap DELETE_VOLUME[] = {{7, 65}, {128, 65}, {272, 65}, {113, 69}, {340, 69}, {341, 68}};
constexpr ErrorMap EXPAND_VOLUME[] = {{2, 65},   {5, 65},   {7, 65},   {8, 65},   {272, 65}, {326, 65},
                                      {112, 69}, {339, 69}, {340, 69}, {144, 91}, {341, 68}, {342, 68}};
constexpr ErrorMap SET_VOLUME[] = {{2, 65},   {7, 65},   {51, 65},  {272, 65}, {288, 70},
                                   {338, 69}, {339, 69}, {340, 69}, {341, 68}, {342, 68},
                                   {406, 68}, {0x5200, 87}};
constexpr ErrorMap CREATE_POOL[] = {{2, 65}, {5, 65}, {288, 70}, {0x5100, 91}, {0x5104, 71}};
constexpr ErrorMap DELETE_POOL[] = {{113, 68}, {272, 65}, {0x5100, 91}};
constexpr ErrorMap EXPAND_POOL[] = {{2, 65}, {5, 65}, {0x5100, 91}, {0x5104, 71}};
constexpr ErrorMap CREATE_AG[] = {{2, 78}, {5, 65}, {7, 65}, {272, 65}, {128, 79}};
constexpr ErrorMap SET_AG[] = {{2, 78}, {5, 65}, {7, 65}, {272, 65}, {113, 80}, {128, 79}};
constexpr ErrorMap DELETE_AG[] = {{2, 65}, {272, 65}};
constexpr ErrorMap SET_MAPPING[] = {{2, 65}, {5, 65}, {7, 65}, {272, 65}, {113, 80}, {147, 82}};
constexpr ErrorMap DELETE_MAPPING[] = {{2, 65}, {7, 65}, {147, 82}, {305, 81}};
constexpr ErrorMap CREATE_WWN[] = {{128, 74}, {288, 70}};
constexpr ErrorMap DELETE_WWN[] = {{2, 65}, {272, 65}, {113, 75}};
constexpr ErrorMap CREATE_ISCSI[] = {{128, 77}, {288, 70}};
constexpr ErrorMap DELETE_ISCSI[] = {{2, 65}, {272, 65}, {113, 76}};
constexpr ErrorMap SET_HOST_AFFINITY[] = {{2, 65}, {5, 65}, {7, 65}, {272, 65}, {128, 85}, {147, 82}, {288, 83}};
constexpr ErrorMap DELETE_HOST_AFFINITY[] = {{2, 65}, {7, 65}, {147, 82}, {272, 84}};
constexpr ErrorMap START_COPY[] = {{2, 65},   {5, 65},   {7, 65},   {8, 65},   {272, 65},
                                   {6, 69},   {338, 69}, {339, 69}, {128, 86}, {341, 68},
                                   {342, 68}, {0x5200, 87}};
constexpr ErrorMap CHANGE_MIRREX[] = {{5, 65}, {272, 88}, {0x5201, 89}};
constexpr ErrorMap SESSION_CONTROL[] = {{272, 88}, {0x5201, 89}};

// Text of a fixed-width field: its bytes up to the first NUL, at most width.
std::string fixedText(const void* field, std::size_t width)
{
    const char* p = static_cast<const char*>(field);
    std::size_t n = 0;
    while (n < width && p[n] != '\0') ++n;
    return std::string(p, n);
}

// An optional name: empty when the field's first byte is 0; false when it is
// set but cannot stand as one value of a command line.
bool optionalName(const void* field, std::size_t width, std::string& name)
{
    name = fixedText(field, width);
    return name.empty() || SMIS_CLICommon::isSafeToken(name);
}

// "eess,eess,...": enclosure in hexadecimal and slot (low 5 bits) in decimal
// per entry, up to the first 0xFFFF or the list's end; false when empty.
bool diskList(const uint16_t* disks, std::size_t max, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < max && disks[i] != 0xFFFF; ++i) {
        char item[8];
        std::snprintf(item, sizeof item, "%02x%02d", (disks[i] >> 8) & 0xFF, disks[i] & 0x1F);
        if (!out.empty()) out += ',';
        out += item;
    }
    return !out.empty();
}

template <typename T, typename Field>
std::string numberList(const T* entries, unsigned count, Field field)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(count) * 7);
    for (unsigned i = 0; i < count; ++i) {
        if (i) out += ',';
        out += std::to_string(field(entries[i]));
    }
    return out;
}

std::string numberList(const unsigned short* numbers, unsigned count)
{
    return numberList(numbers, count, [](unsigned short n) { return static_cast<unsigned>(n); });
}

bool countIn(unsigned count, unsigned low, unsigned high)
{
    return count >= low && count <= high;
}

}  // namespace

bool SMIS_CLI::isFatalError(unsigned char result)
{
    return (result >= 1 && result <= 32) || (result >= 34 && result <= 63);
}

std::string SMIS_CLI::portText(unsigned char p, unsigned char q)
{
    int value = (p & 7) * 100 + ((p >> 4) & 3) * 10 + (((p >> 2) & 2) | (q & 1));
    char text[8];
    std::snprintf(text, sizeof text, "%03d", value);
    return text;
}

unsigned char SMIS_CLI::_invalidParameter() const
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The specified parameter is invalid.");
    return CLI_ERR_PARAMETER;
}

template <typename Build>
unsigned char SMIS_CLI::_guarded(Build build)
{
    try {
        return build();
    } catch (const std::bad_alloc&) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Not enough memory.");
        return CLI_ERR_NO_MEMORY;
    } catch (...) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The unexpected error occurred.");
        return CLI_ERR_OTHER;
    }
}

unsigned char SMIS_CLI::_commonErrorMapping(int errMsgNum) const
{
    if (errMsgNum >= 0x5300 && errMsgNum <= 0x5399) {
        // The low part written in hexadecimal reads as a decimal number.
        char hex[8];
        std::snprintf(hex, sizeof hex, "%x", errMsgNum - 0x5300);
        int decimal = 0;
        for (const char* p = hex; *p >= '0' && *p <= '9'; ++p) decimal = decimal * 10 + (*p - '0');
        return static_cast<unsigned char>(decimal + 96);
    }
    switch (errMsgNum) {
    case 1:
    case 3:
    case 4:
        return CLI_ERR_ARRAY;
    case SMIS_CLICMD::MSG_BUSY:
        return CLI_ERR_BUSY;
    case 0x98:
    case 0x151:
        return CLI_ERR_OTHER;
    default:
        return 0;
    }
}

unsigned char SMIS_CLI::_ownErrorMapping(const SMIS_CLICMD& cmd, Mapping own) const
{
    for (std::size_t i = 0; i < own.count; ++i) {
        if (own.entries[i].errMsgNum == cmd.errMsgNum) return own.entries[i].result;
    }
    return cmd.cmdStatus == SMIS_CLICMD::STATUS_ERROR_DETAIL ? CLI_ERR_ARRAY : CLI_ERR_OTHER;
}

void SMIS_CLI::_logCLIError(const SMIS_CLICMD& cmd, unsigned char result) const
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                           "CLI command error occurred.  cStatus=0x%x eMsgNum=0x%x err=0x%x",
                           static_cast<unsigned>(cmd.cmdStatus), static_cast<unsigned>(cmd.errMsgNum),
                           static_cast<unsigned>(result));
}

unsigned char SMIS_CLI::_exchange(const std::string& text, Mapping own, unsigned short* readBack)
{
    SMIS_CLICMD cmd;
    cmd.command.assign(text.data(), text.size());
    unsigned char rc = execCLICmd(cmd);
    if (rc != CLI_OK) return rc;
    if (cmd.cmdStatus == SMIS_CLICMD::STATUS_OK) {
        long value = 0;
        if (readBack) {
            String line;
            rc = recvLineData(line);
            if (rc != CLI_OK) return rc;
            rc = hexToDigit(line.c_str(), value);
            if (rc == CLI_OK && value > 0xFFFF) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The unexpected error occurred.");
                rc = CLI_ERR_UNEXPECTED;
            }
            if (rc != CLI_OK) {
                // The rest of the reply is read so that the session stays usable.
                skipToPrompt();
                return rc;
            }
        }
        rc = skipToPrompt();
        if (rc == CLI_OK && readBack) *readBack = static_cast<unsigned short>(value);
        return rc;
    }
    rc = _commonErrorMapping(cmd.errMsgNum);
    if (rc != 0) return rc;
    rc = _ownErrorMapping(cmd, own);
    _logCLIError(cmd, rc);
    return rc;
}

unsigned char SMIS_CLI::_runCommand(const std::string& text, Mapping own, unsigned short* readBack)
{
    SMIS_AutoLogin guard(this, nullptr, nullptr);
    unsigned char rc = guard.getResult();
    if (rc != CLI_OK && rc != CLI_ALREADY_LOGGED_IN) return rc;
    return _exchange(text, own, readBack);
}

unsigned char SMIS_CLI::addRLU(const CMM_REG_RLU_INFO* info)
{
    return _guarded([&]() -> unsigned char {
        std::string name;
        std::string disks;
        if (!info || !optionalName(info->name, sizeof info->name, name) ||
            !diskList(info->diskList, CMM_REG_RLU_INFO::MAX_DISKS, disks))
            return _invalidParameter();
        std::string text = "create raid-group -rg-number " + std::to_string(info->rluNumber);
        if (!name.empty()) text += " -name " + name;
        text += " -disks " + disks + " -level " + std::to_string(info->raidLevel);
        return _runCommand(text, mapping(ADD_RLU), nullptr);
    });
}

unsigned char SMIS_CLI::deleteRLU(const unsigned short* numbers, unsigned count)
{
    return _guarded([&]() -> unsigned char {
        if (!numbers || !countIn(count, 1, MAX_NUMBERS)) return _invalidParameter();
        return _runCommand("delete raid-group -rg-number " + numberList(numbers, count), mapping(DELETE_RLU),
                           nullptr);
    });
}

unsigned char SMIS_CLI::createLogicalVolume(const SMIS_OLU_INFO* info, unsigned char type)
{
    return _guarded([&]() -> unsigned char {
        std::string name;
        if (!info || (type != LU_TYPE_OPEN && type != LU_TYPE_TPV) ||
            !optionalName(info->name, sizeof info->name, name))
            return _invalidParameter();
        std::string text = "create volume -volume-number " + std::to_string(info->oluNumber);
        if (!name.empty()) text += " -name " + name;
        if (type == LU_TYPE_OPEN) text += " -rg-number " + std::to_string(info->rluNumber) + " -type open";
        else text += " -pool-number " + std::to_string(info->rluNumber) + " -type tpv";
        text += " -size " + std::to_string(info->sizeMB) + "mb";
        return _runCommand(text, mapping(CREATE_VOLUME), nullptr);
    });
}

unsigned char SMIS_CLI::deleteLogicalVolume(const unsigned short* numbers, unsigned count)
{
    return _guarded([&]() -> unsigned char {
        if (!numbers || !countIn(count, 1, MAX_NUMBERS)) return _invalidParameter();
        return _runCommand("delete volume -volume-number " + numberList(numbers, count), mapping(DELETE_VOLUME),
                           nullptr);
    });
}

unsigned char SMIS_CLI::expandLogicalVolume(const SMIS_OLU_INFO* info, unsigned char type)
{
    return _guarded([&]() -> unsigned char {
        if (!info || type != LU_TYPE_TPV) return _invalidParameter();
        std::string text = "expand volume -volume-number " + std::to_string(info->oluNumber) + " -size " +
                           std::to_string(info->sizeMB) + "mb";
        return _runCommand(text, mapping(EXPAND_VOLUME), nullptr);
    });
}

unsigned char SMIS_CLI::setLogicalVolume(const SMIS_OLU_INFO* info)
{
    return _guarded([&]() -> unsigned char {
        std::string name;
        if (!info || !optionalName(info->name, sizeof info->name, name)) return _invalidParameter();
        std::string text = "set volume -volume-number " + std::to_string(info->oluNumber);
        if (!name.empty()) text += " -name " + name;
        return _runCommand(text, mapping(SET_VOLUME), nullptr);
    });
}

unsigned char SMIS_CLI::createThinproPool(SMIS_REG_TPP_INFO* info)
{
    return _guarded([&]() -> unsigned char {
        std::string name;
        std::string disks;
        if (!info) return _invalidParameter();
        const char* attribute = nullptr;
        switch (info->attribute) {
        case 1: attribute = "online"; break;
        case 2: attribute = "nearline"; break;
        case 3: attribute = "ssd"; break;
        case 129: attribute = "sed"; break;
        default: return _invalidParameter();
        }
        if (!optionalName(info->name, sizeof info->name, name) ||
            !diskList(info->diskList, SMIS_REG_TPP_INFO::MAX_DISKS, disks))
            return _invalidParameter();
        std::string text = "create thin-pro-pool";
        if (!name.empty()) text += " -name " + name;
        text += std::string(" -attribute ") + attribute + " -level " + std::to_string(info->raidLevel) +
                " -rg-mode manual -disks " + disks;
        unsigned short pool = 0;
        unsigned char rc = _runCommand(text, mapping(CREATE_POOL), &pool);
        if (rc == CLI_OK) info->poolNumber = pool;
        return rc;
    });
}

unsigned char SMIS_CLI::deleteThinproPool(const unsigned short* numbers, unsigned count)
{
    return _guarded([&]() -> unsigned char {
        if (!numbers || !countIn(count, 1, MAX_NUMBERS)) return _invalidParameter();
        return _runCommand("delete thin-pro-pool -pool-number " + numberList(numbers, count),
                           mapping(DELETE_POOL), nullptr);
    });
}

unsigned char SMIS_CLI::expandThinproPool(const SMIS_REG_TPP_INFO* info)
{
    return _guarded([&]() -> unsigned char {
        std::string disks;
        if (!info || !diskList(info->diskList, SMIS_REG_TPP_INFO::MAX_DISKS, disks)) return _invalidParameter();
        std::string text = "expand thin-pro-pool -pool-number " + std::to_string(info->poolNumber) +
                           " -rg-mode manual -disks " + disks;
        return _runCommand(text, mapping(EXPAND_POOL), nullptr);
    });
}

namespace {

unsigned pairLun(const CMM_WT_LUN_MAP_LUN_OLU& e)
{
    return e.lun;
}
unsigned pairVolume(const CMM_WT_LUN_MAP_LUN_OLU& e)
{
    return e.olun;
}

}  // namespace

unsigned char SMIS_CLI::createAffinityGroup(unsigned short group, const unsigned char* name,
                                            const CMM_WT_LUN_MAP_LUN_OLU* entries, unsigned count)
{
    return _guarded([&]() -> unsigned char {
        std::string groupName;
        if (!entries || !countIn(count, 1, MAX_PAIRS) || (name && !optionalName(name, 16, groupName)))
            return _invalidParameter();
        std::string text = "create affinity-group -ag-number " + std::to_string(group);
        if (!groupName.empty()) text += " -name " + groupName;
        text += " -volume-number " + numberList(entries, count, pairVolume) + " -lun " +
                numberList(entries, count, pairLun);
        return _runCommand(text, mapping(CREATE_AG), nullptr);
    });
}

unsigned char SMIS_CLI::setAffinityGroup(unsigned short group, const unsigned char* name,
                                         const CMM_WT_LUN_MAP_LUN_OLU* entries, unsigned count)
{
    return _guarded([&]() -> unsigned char {
        std::string groupName;
        if (!entries || !countIn(count, 1, MAX_PAIRS) || (name && !optionalName(name, 16, groupName)))
            return _invalidParameter();
        std::string text = "set affinity-group -ag-number " + std::to_string(group);
        if (!groupName.empty()) text += " -name " + groupName;
        text += " -volume-number " + numberList(entries, count, pairVolume) + " -lun " +
                numberList(entries, count, pairLun);
        return _runCommand(text, mapping(SET_AG), nullptr);
    });
}

unsigned char SMIS_CLI::deleteAffinityGroup(unsigned short group, const CMM_WT_LUN_MAP_LUN_OLU* entries,
                                            unsigned count)
{
    return _guarded([&]() -> unsigned char {
        if (count > MAX_PAIRS || (count > 0 && !entries)) return _invalidParameter();
        std::string text = "delete affinity-group -ag-number " + std::to_string(group);
        if (count > 0) text += " -lun " + numberList(entries, count, pairLun);
        return _runCommand(text, mapping(DELETE_AG), nullptr);
    });
}

unsigned char SMIS_CLI::setLUNMapping(unsigned char p, unsigned char q, const CMM_WT_LUN_MAP_LUN_OLU* entries,
                                      unsigned count)
{
    return _guarded([&]() -> unsigned char {
        if (!entries || !countIn(count, 1, MAX_PAIRS)) return _invalidParameter();
        std::string text = "set mapping -port " + portText(p, q) + " -volume-number " +
                           numberList(entries, count, pairVolume) + " -lun " + numberList(entries, count, pairLun);
        return _runCommand(text, mapping(SET_MAPPING), nullptr);
    });
}

unsigned char SMIS_CLI::deleteLUNMapping(unsigned char p, unsigned char q, const CMM_WT_LUN_MAP_LUN_OLU* entries,
                                         unsigned count)
{
    return _guarded([&]() -> unsigned char {
        if (!entries || !countIn(count, 1, MAX_PAIRS)) return _invalidParameter();
        std::string text = "release mapping -port " + portText(p, q) + " -lun " + numberList(entries, count, pairLun);
        return _runCommand(text, mapping(DELETE_MAPPING), nullptr);
    });
}

unsigned char SMIS_CLI::createHostWWNList(const SMIS_HOST_WWN_INFO* entries, unsigned count, IDType type)
{
    return _guarded([&]() -> unsigned char {
        if (!entries || !countIn(count, 1, MAX_HOSTS) || (type != IDTYPE_WWN && type != IDTYPE_SAS))
            return _invalidParameter();
        // Every command is written and checked before the session starts.
        std::vector<std::string> commands;
        for (unsigned i = 0; i < count; ++i) {
            std::string id = fixedText(entries[i].id, sizeof entries[i].id);
            std::string name;
            if (!SMIS_CLICommon::isSafeToken(id) || !optionalName(entries[i].name, sizeof entries[i].name, name))
                return _invalidParameter();
            std::string text = type == IDTYPE_WWN ? "create host-wwn-name -wwn " + id
                                                  : "create host-sas-address -address " + id;
            text += " -host-number " + std::to_string(entries[i].hostNumber);
            if (!name.empty()) text += " -name " + name;
            commands.push_back(std::move(text));
        }
        SMIS_AutoLogin guard(this, nullptr, nullptr);
        unsigned char rc = guard.getResult();
        if (rc != CLI_OK && rc != CLI_ALREADY_LOGGED_IN) return rc;
        for (const std::string& text : commands) {
            rc = _exchange(text, mapping(CREATE_WWN), nullptr);
            if (rc != CLI_OK) return rc;
        }
        return CLI_OK;
    });
}

unsigned char SMIS_CLI::deleteHostWWNList(const SMIS_HOST_WWN_INFO* entries, unsigned count, IDType type)
{
    return _guarded([&]() -> unsigned char {
        if (!entries || !countIn(count, 1, MAX_HOSTS) || (type != IDTYPE_WWN && type != IDTYPE_SAS))
            return _invalidParameter();
        std::string text = type == IDTYPE_WWN ? "delete host-wwn-name" : "delete host-sas-address";
        text += " -host-number " +
                numberList(entries, count, [](const SMIS_HOST_WWN_INFO& e) { return unsigned(e.hostNumber); });
        return _runCommand(text, mapping(DELETE_WWN), nullptr);
    });
}

unsigned char SMIS_CLI::createiSCSIHostList(const CMM_ISCSI_HOST_INFO* entries, unsigned count)
{
    return _guarded([&]() -> unsigned char {
        if (!entries || !countIn(count, 1, MAX_HOSTS)) return _invalidParameter();
        std::vector<std::string> commands;
        for (unsigned i = 0; i < count; ++i) {
            std::string iscsiName = fixedText(entries[i].iscsiName, sizeof entries[i].iscsiName);
            std::string name;
            if (!SMIS_CLICommon::isSafeToken(iscsiName) ||
                !optionalName(entries[i].name, sizeof entries[i].name, name))
                return _invalidParameter();
            std::string text = "create host-iscsi-name -host-number " + std::to_string(entries[i].hostNumber) +
                               " -iscsi-name " + iscsiName;
            if (!name.empty()) text += " -name " + name;
            commands.push_back(std::move(text));
        }
        SMIS_AutoLogin guard(this, nullptr, nullptr);
        unsigned char rc = guard.getResult();
        if (rc != CLI_OK && rc != CLI_ALREADY_LOGGED_IN) return rc;
        for (const std::string& text : commands) {
            rc = _exchange(text, mapping(CREATE_ISCSI), nullptr);
            if (rc != CLI_OK) return rc;
        }
        return CLI_OK;
    });
}

unsigned char SMIS_CLI::deleteiSCSIHostList(const CMM_ISCSI_HOST_INFO* entries, unsigned count)
{
    return _guarded([&]() -> unsigned char {
        if (!entries || !countIn(count, 1, MAX_HOSTS)) return _invalidParameter();
        std::string text =
            "delete host-iscsi-name -host-number " +
            numberList(entries, count, [](const CMM_ISCSI_HOST_INFO& e) { return unsigned(e.hostNumber); });
        return _runCommand(text, mapping(DELETE_ISCSI), nullptr);
    });
}

unsigned char SMIS_CLI::setHostAffinity(unsigned char p, unsigned char q, const affinity_info* entries,
                                        unsigned count)
{
    return _guarded([&]() -> unsigned char {
        if (!entries || !countIn(count, 1, MAX_HOSTS)) return _invalidParameter();
        std::string text =
            "set host-affinity -port " + portText(p, q) + " -host-number " +
            numberList(entries, count, [](const affinity_info& e) { return unsigned(e.hostNumber); }) +
            " -ag-number " + numberList(entries, count, [](const affinity_info& e) { return unsigned(e.agNumber); });
        return _runCommand(text, mapping(SET_HOST_AFFINITY), nullptr);
    });
}

unsigned char SMIS_CLI::deleteHostAffinity(unsigned char p, unsigned char q, const affinity_info* entries,
                                           unsigned count)
{
    return _guarded([&]() -> unsigned char {
        if (!entries || !countIn(count, 1, MAX_HOSTS)) return _invalidParameter();
        std::string text =
            "release host-affinity -port " + portText(p, q) + " -host-number " +
            numberList(entries, count, [](const affinity_info& e) { return unsigned(e.hostNumber); });
        return _runCommand(text, mapping(DELETE_HOST_AFFINITY), nullptr);
    });
}

unsigned char SMIS_CLI::_startCopy(const std::string& text, unsigned short& session)
{
    unsigned short id = 0;
    unsigned char rc = _runCommand(text, mapping(START_COPY), &id);
    if (rc == CLI_OK) session = id;
    return rc;
}

unsigned char SMIS_CLI::startCopyTirn(unsigned short source, unsigned short target, unsigned short& session)
{
    return _guarded([&]() -> unsigned char {
        return _startCopy("start copy-tirn -source-volume-number " + std::to_string(source) +
                              " -destination-volume-number " + std::to_string(target),
                          session);
    });
}

unsigned char SMIS_CLI::startCopySnapTirn(unsigned short source, unsigned short target, SnapTirnMode mode,
                                          unsigned short& session)
{
    return _guarded([&]() -> unsigned char {
        return _startCopy(std::string("start copy-snap-tirn -mode ") + (mode == SNAPTIRN_NORMAL ? "normal" : "plus") +
                              " -source-volume-number " + std::to_string(source) + " -destination-volume-number " +
                              std::to_string(target),
                          session);
    });
}

unsigned char SMIS_CLI::startCopyMirrex(unsigned short source, unsigned short target, unsigned short& session)
{
    return _guarded([&]() -> unsigned char {
        return _startCopy("start copy-mirrex -source-volume-number " + std::to_string(source) +
                              " -destination-volume-number " + std::to_string(target) + " -secondary-access 1",
                          session);
    });
}

unsigned char SMIS_CLI::startCopyXmirrex(unsigned short source, const char* sourceBox, unsigned short target,
                                         const char* targetBox, unsigned short& session)
{
    return _guarded([&]() -> unsigned char {
        if (!sourceBox || !targetBox || !isSafeToken(sourceBox) || !isSafeToken(targetBox))
            return _invalidParameter();
        return _startCopy(std::string("start copy-xmirrex -source-boxid ") + sourceBox + " -source-volume-number " +
                              std::to_string(source) + " -destination-boxid " + targetBox +
                              " -destination-volume-number " + std::to_string(target) +
                              " -secondary-access 1 -xfer-mode 10 -split 1 -recovery 0",
                          session);
    });
}

unsigned char SMIS_CLI::stopCopySession(unsigned short session, StopMode mode)
{
    return _guarded([&]() -> unsigned char {
        std::string text = "stop copy-session -session-id " + std::to_string(session);
        if (mode == STOP_FORCE) text += " -mode force";
        else if (mode == STOP_TRACKING) text += " -mode stop-tracking";
        return _runCommand(text, mapping(SESSION_CONTROL), nullptr);
    });
}

unsigned char SMIS_CLI::changeCopyMirrex(unsigned short session)
{
    return _guarded([&]() -> unsigned char {
        return _runCommand("change copy-mirrex -session-id " + std::to_string(session) + " -action reverse",
                           mapping(CHANGE_MIRREX), nullptr);
    });
}

unsigned char SMIS_CLI::changeCopyXmirrex(unsigned short session)
{
    return _guarded([&]() -> unsigned char {
        return _runCommand("change copy-xmirrex -session-id " + std::to_string(session) + " -action reverse",
                           mapping(SESSION_CONTROL), nullptr);
    });
}

unsigned char SMIS_CLI::suspendCopyMirrex(unsigned short session)
{
    return _guarded([&]() -> unsigned char {
        return _runCommand("suspend copy-mirrex -session-id " + std::to_string(session) + " -mode normal",
                           mapping(SESSION_CONTROL), nullptr);
    });
}

unsigned char SMIS_CLI::suspendCopyXmirrex(unsigned short session, SuspendMode mode)
{
    return _guarded([&]() -> unsigned char {
        std::string text = "suspend copy-xmirrex -session-id " + std::to_string(session);
        if (mode == SUSPEND_NORMAL) text += " -mode normal";
        else if (mode == SUSPEND_FORCE) text += " -mode force";
        else if (mode == SUSPEND_CONCURRENT) text += " -mode concurrent";
        return _runCommand(text, mapping(SESSION_CONTROL), nullptr);
    });
}

unsigned char SMIS_CLI::resumeCopyMirrex(unsigned short session)
{
    return _guarded([&]() -> unsigned char {
        return _runCommand("resume copy-mirrex -session-id " + std::to_string(session), mapping(SESSION_CONTROL),
                           nullptr);
    });
}

unsigned char SMIS_CLI::resumeCopyXmirrex(unsigned short session)
{
    return _guarded([&]() -> unsigned char {
        return _runCommand("resume copy-xmirrex -session-id " + std::to_string(session) + " -remain-mode disable",
                           mapping(SESSION_CONTROL), nullptr);
    });
}

}  // namespace cimple
