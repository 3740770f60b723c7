#include "SMIS_CMSLib.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "ByteOrder.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_TraceLog.h"

namespace cimple {

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using StatusCopy = std::unique_ptr<std::uint8_t, FreeDeleter>;

StatusCopy readStatus(SMIS_CMTAccess& cache, const std::string& address, unsigned short kind, long& count)
{
    return StatusCopy(static_cast<std::uint8_t*>(cache.GetExTableInfo(address.c_str(), kind, nullptr, count)));
}

}  // namespace

SMIS_CMSLib::SMIS_CMSLib(const String& address) : _address(address.c_str()) {}

SMIS_CMSLib::~SMIS_CMSLib() = default;

int SMIS_CMSLib::getSysSMISStatus(int* first, int* second)
{
    return cms_get_smis_status(1, 0, first, second);
}

int SMIS_CMSLib::getCESMISStatus(int* first, int* second)
{
    return cms_get_smis_status(2, 0, first, second);
}

int SMIS_CMSLib::getDESMISStatus(std::uint8_t deId, int* first, int* second)
{
    return cms_get_smis_status(3, deId, first, second);
}

int SMIS_CMSLib::cms_get_smis_status(int kind, std::uint8_t deId, int* first, int* second)
{
    try {
        SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
        if (!cache) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "Failure in the CMTAccess.");
            return -1;
        }
        long count = 0;
        std::uint8_t status = 0;
        switch (kind) {
        case 1: {
            StatusCopy data = readStatus(*cache, _address, SMIS_CMTAccess::EX_DEVICE_STATUS, count);
            if (!data || count < 1) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                       "Failure in the acquisition of the ExTable information for CMT-Ex.");
                return -1;
            }
            status = data.get()[0];
            break;
        }
        case 2: {
            StatusCopy data = readStatus(*cache, _address, SMIS_CMTAccess::EX_CE_SUMMARY, count);
            if (!data || count < 1) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                       "Failure in the acquisition of the CE status on ExTable.");
                return -1;
            }
            status = data.get()[1];
            break;
        }
        case 3: {
            StatusCopy data = readStatus(*cache, _address, SMIS_CMTAccess::EX_DE_SUMMARY, count);
            if (!data || count < 1) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                       "Failure in the acquisition of DE Status Info on the ExTable info for CMT-Ex.");
                return -1;
            }
            const std::uint8_t* p = data.get();
            const std::uint32_t entries =
                std::min<std::uint32_t>(smis::loadLE32(p), SMIS_CMTAccess::DE_SUMMARY_ENTRIES);
            bool found = false;
            for (std::uint32_t e = 0; e < entries; ++e) {
                const std::uint8_t* entry = p + 4 + 4 * e;
                if (entry[0] == deId) {
                    status = entry[1];
                    found = true;
                    break;
                }
            }
            if (!found) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "DE(0x%x) information is not found.",
                                       deId);
                return -1;
            }
            break;
        }
        default:
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "Specified Type is wrong.");
            return -1;
        }
        cms_cnv_smis_sts_machine_ce_de(status, first, second);
        return 0;
    } catch (...) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Fatal Error.");
        return -1;
    }
}

void SMIS_CMSLib::cms_cnv_smis_sts_machine_ce_de(std::uint8_t status, int* first, int* second)
{
    int a = 0, b = 0;
    switch (status) {
    case 32: case 40: case 48: a = 2; b = 2; break;
    case 39: case 64: a = 2; b = 4; break;
    case 80: a = 2; b = 5; break;
    case 88: case 92: case 96: case 100: a = 3; b = 3; break;
    case 112: case 115: a = 6; b = 6; break;
    case 253: a = 13; b = 13; break;
    case 254: a = 12; b = 12; break;
    default: break;
    }
    if (first)
        *first = a;
    if (second)
        *second = b;
}

}  // namespace cimple
