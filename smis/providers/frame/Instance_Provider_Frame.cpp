// Non-template part of the instance provider frame: the storage address of a
// get request and the failure records.

#include "Instance_Provider_Frame.h"

#include "SMIS_TraceLog.h"

namespace cimple {

bool Instance_Provider_Frame::isConfiguredStorage(const String& address)
{
    if (address.size() == 0)
        return false;
    Array<String> addresses;
    if (!CommonBase::get_storage_iplist(addresses))
        return false;
    for (size_t i = 0; i < addresses.size(); ++i)
        if (addresses[i] == address)
            return true;
    return false;
}

bool Instance_Provider_Frame::storageFromSystemName(const Property<String>& systemName, String& address)
{
    // The address names cache files and locks: only a configured one is
    // served, anything else is "not found" before any table is opened.
    if (systemName.null || !isConfiguredStorage(systemName.value))
        return false;
    address = systemName.value;
    return true;
}

bool Instance_Provider_Frame::storageFromKeySuffix(const Property<String>& key, String& address)
{
    if (key.null)
        return false;
    String found;
    if (!CommonBase::get_storage_ip(&key.value, &found) || !isConfiguredStorage(found))
        return false;
    address = found;
    return true;
}

void Instance_Provider_Frame::logBuildFailure(const char* file, unsigned line)
{
    SMIS_TraceLog::peg_error_log(file, line, Logger::WARNING, "Generation of Instance went wrong.");
}

int Instance_Provider_Frame::failChannelBusy(const char* file, unsigned line)
{
    SMIS_TraceLog::peg_error_log(file, line, Logger::WARNING,
                                 "The array's command channel stayed busy and no earlier status is kept: not answered");
    return BUILD_ERROR;
}

void Instance_Provider_Frame::logProviderFailure(const char* file, unsigned line)
{
    SMIS_TraceLog::peg_error_log(file, line, Logger::WARNING, "Abnormalities occurred in Instance Provider.");
}

}  // namespace cimple
