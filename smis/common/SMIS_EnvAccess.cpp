#include "SMIS_EnvAccess.h"

#include "InstallDir.h"
#include "SMIS_TraceLog.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

namespace cimple {

namespace {

constexpr int LINE_BUFFER = 256;  // at most 255 characters per read
constexpr size_t MAX_KEY = 23;
constexpr size_t MAX_VALUE = 27;

std::mutex& instanceMutex()
{
    static std::mutex m;
    return m;
}

SMIS_EnvAccess*& instanceSlot()
{
    static SMIS_EnvAccess* instance = nullptr;
    return instance;
}

template <typename T>
T clamp(T value, T low, T high)
{
    return value < low ? low : (value > high ? high : value);
}

// The number at the start of text as a 32-bit int would hold it (leading
// blanks skipped, trailing text ignored, no digits giving 0, values beyond
// the int range pinned to its ends).
int32_t toInt(const char* text)
{
    const long long v = std::strtoll(text, nullptr, 10);
    return static_cast<int32_t>(clamp<long long>(v, INT32_MIN, INT32_MAX));
}

// Removes spaces at both ends (tabs stay).
std::string trimBlanks(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

SMIS_EnvAccess* SMIS_EnvAccess::getInstance()
{
    std::lock_guard<std::mutex> guard(instanceMutex());
    SMIS_EnvAccess*& instance = instanceSlot();
    if (!instance) {
        try {
            std::unique_ptr<SMIS_EnvAccess> created(new SMIS_EnvAccess);
            created->_readFile();
            instance = created.release();
        } catch (...) {
            instance = nullptr;
        }
    }
    return instance;
}

void SMIS_EnvAccess::destroy()
{
    std::lock_guard<std::mutex> guard(instanceMutex());
    delete instanceSlot();
    instanceSlot() = nullptr;
}

SMIS_EnvAccess::SMIS_EnvAccess()
{
    _setDefaults();
}

SMIS_EnvAccess::~SMIS_EnvAccess() = default;

void SMIS_EnvAccess::_setDefaults()
{
    _defaultPortNumber = 1372;
    _defaultCLIPortNumber = 22;
    _connectionTimeout = 300;
    _pollingInterval = 300;
    _deviceStatusInterval = 60;
    _portLinkStatus = 600;
    _session = 300;
    _sessionStatistics = 300;
    _recPath = 300;
    _deStatus = 60;
    _storageList.clear();
    _maxStorageIP = 10;
}

void SMIS_EnvAccess::_readFile()
{
    FILE* file = nullptr;
    try {
        const std::string path = smis::platform::InstallDir::file({"env", "smis_env.inf"});
        file = std::fopen(path.c_str(), "r");
    } catch (...) {
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "File Open Exception");
        return;
    }
    if (!file) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "File Open Error");
        return;
    }

    try {
        char buffer[LINE_BUFFER];
        while (std::fgets(buffer, sizeof buffer, file)) {
            std::string line(buffer);
            const size_t equal = line.find('=');
            if (equal == std::string::npos)
                continue;
            if (!line.empty() && line.back() == '\n')
                line.pop_back();
            // A file written on Windows ends its lines with CR LF.
            while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
                line.pop_back();
            const std::string key = trimBlanks(line.substr(0, equal));
            const std::string value = equal < line.size() ? trimBlanks(line.substr(equal + 1)) : std::string();
            if (key.empty() || key.size() > MAX_KEY || value.empty() || value.size() > MAX_VALUE)
                continue;
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "_setValue(%s, %s)", key.c_str(),
                                   value.c_str());
            _setValue(key, value);
        }
    } catch (...) {
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "File Read Exception");
    }
    std::fclose(file);

    const size_t served = getMaxStorageIP();
    if (_storageList.size() > served)
        _storageList.resize(served);
}

void SMIS_EnvAccess::_setValue(const std::string& key, const std::string& value)
{
    const char* v = value.c_str();
    if (key == "DefaultPortNumber")
        _defaultPortNumber = static_cast<uint16_t>(toInt(v));
    else if (key == "DefaultCLIPortNumber")
        _defaultCLIPortNumber = static_cast<uint16_t>(toInt(v));
    else if (key == "ConnectionTimeout")
        _connectionTimeout = static_cast<uint32_t>(toInt(v));
    else if (key == "PollingInterval")
        _pollingInterval = static_cast<uint32_t>(toInt(v));
    else if (key == "DeviceStatusInterval")
        _deviceStatusInterval = static_cast<uint16_t>(toInt(v));
    else if (key == "StorageIP") {
        if (std::find(_storageList.begin(), _storageList.end(), value) == _storageList.end())
            _storageList.push_back(value);
    } else if (key == "PortLinkStatus")
        _portLinkStatus = static_cast<uint32_t>(toInt(v));
    else if (key == "Session")
        _session = static_cast<uint32_t>(toInt(v));
    else if (key == "SessionStatistics")
        _sessionStatistics = static_cast<uint32_t>(toInt(v));
    else if (key == "DEStatus")
        _deStatus = static_cast<uint32_t>(toInt(v));
    else if (key == "RecPath")
        _recPath = static_cast<uint32_t>(toInt(v));
    else if (key == "MaxStorageIP")
        _maxStorageIP = static_cast<uint16_t>(toInt(v));
}

uint16_t SMIS_EnvAccess::getDefaultPortNumber() const
{
    return _defaultPortNumber;  // the whole 16-bit range is allowed
}

uint16_t SMIS_EnvAccess::getDefaultCLIPortNumber() const
{
    return _defaultCLIPortNumber;
}

uint32_t SMIS_EnvAccess::getConnectionTimeout() const
{
    return clamp<uint32_t>(_connectionTimeout, 60, 86400);
}

uint32_t SMIS_EnvAccess::getPollingInterval() const
{
    return clamp<uint32_t>(_pollingInterval, 60, 86400);
}

uint16_t SMIS_EnvAccess::getDeviceStatusInterval() const
{
    return clamp<uint16_t>(_deviceStatusInterval, 30, 3600);
}

uint32_t SMIS_EnvAccess::getPortLinkStatus() const
{
    return clamp<uint32_t>(_portLinkStatus, 0, 86400);
}

uint32_t SMIS_EnvAccess::getSession() const
{
    return clamp<uint32_t>(_session, 0, 86400);
}

uint32_t SMIS_EnvAccess::getSessionStatistics() const
{
    return clamp<uint32_t>(_sessionStatistics, 0, 86400);
}

uint32_t SMIS_EnvAccess::getRecPath() const
{
    return clamp<uint32_t>(_recPath, 0, 86400);
}

uint32_t SMIS_EnvAccess::getDEStatus() const
{
    return clamp<uint32_t>(_deStatus, 0, 86400);
}

uint16_t SMIS_EnvAccess::getMaxStorageIP() const
{
    return clamp<uint16_t>(_maxStorageIP, 1, 15);
}

uint16_t SMIS_EnvAccess::getStorageCount() const
{
    return static_cast<uint16_t>(_storageList.size());
}

std::string SMIS_EnvAccess::getStorageIP(uint16_t index) const
{
    if (index >= _storageList.size()) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "getStorageIP::It is an error to an index");
        return std::string();
    }
    const std::string& entry = _storageList[index];
    return entry.substr(0, entry.find(','));
}

int SMIS_EnvAccess::_findStorage(const std::string& address) const
{
    for (uint16_t i = 0; i < getStorageCount(); ++i) {
        if (getStorageIP(i) == address)
            return i;
    }
    return -1;
}

uint16_t SMIS_EnvAccess::_getPort(const char* storageIP, unsigned part) const
{
    if (!storageIP) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "getPortNumber::storageIP is NULL");
        return 0;
    }
    // Part 0 is the address, 1 the binary command port, 2 the SSH port.
    const char* p = storageIP;
    for (unsigned i = 0; i < part; ++i) {
        p = std::strchr(p, ',');
        if (!p)
            return 0;
        ++p;
    }
    const int32_t port = toInt(p);
    // Anything but a port number counts as no port.
    return port > 0 && port <= 65535 ? static_cast<uint16_t>(port) : 0;
}

uint16_t SMIS_EnvAccess::getPortNumber(const std::string& address) const
{
    const int index = _findStorage(address);
    if (index < 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "getPortNumber::It is an error to a ipAddress");
        return _defaultPortNumber;
    }
    const uint16_t port = _getPort(_storageList[static_cast<size_t>(index)].c_str(), 1);
    return port != 0 ? port : _defaultPortNumber;
}

uint16_t SMIS_EnvAccess::getCLIPortNumber(const std::string& address) const
{
    const int index = _findStorage(address);
    if (index < 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "getCLIPortNumber::It is an error to an index");
        return _defaultCLIPortNumber;
    }
    const uint16_t port = _getPort(_storageList[static_cast<size_t>(index)].c_str(), 2);
    return port != 0 ? port : _defaultCLIPortNumber;
}

}  // namespace cimple
