// The common pre-check of the configuration methods.

#include "SMISMethodCom.h"

#include <string>

#include "SMIS_CMTAccess.h"
#include "SMIS_PollingService.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"

namespace cimple {

std::uint32_t SMISMethodCom::mcFirstCommonProcess(std::uint32_t flags, VELDARO_RefTable* table) try {
    if ((flags & CHECK_VALID_TABLE) && (table == nullptr || !table->isValidCMT())) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "invalid Config Management Table");
        return METHOD_FAILED;
    }
    if (!(flags & CHECK_AVAILABLE))
        return 0;
    const std::string address = table ? std::string(table->get_currentIPAddress().c_str()) : std::string();
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (!cache) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "SMIS_CMTAccess instance is NULL");
        return METHOD_FAILED;
    }
    if (address.empty() || cache->GetDeviceAvailable(address.c_str()) == 1) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "%s is not available.", address.c_str());
        return METHOD_FAILED;
    }
    SMIS_PollingService* service = SMIS_PollingService::getInstance();
    if (!service) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                               "Acquisition of the instance of SMIS_PollingService goes wrong.");
        return METHOD_FAILED;
    }
    if (service->getConfigManagementInfo(address.c_str(), 1) != 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "getConfigManagementInfo Error");
        return METHOD_FAILED;
    }
    // The method reads the image the refresh may just have installed.
    table->resetCMTAddr();
    return 0;
} catch (...) {
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Exception Error(mcFirstCommonProcess)");
    return METHOD_FAILED;
}

}  // namespace cimple
