#pragma once
// The system's configuration file, <install>/env/smis_env.inf: one key=value
// per line, read once per process. Every setting has a default and, where it
// has one, answers within its permitted range.
//
//   SMIS_EnvAccess* env = SMIS_EnvAccess::getInstance();
//   for (uint16_t i = 0; i < env->getStorageCount(); ++i)
//       connect(env->getStorageIP(i).c_str(), env->getPortNumber(env->getStorageIP(i).c_str()));

#include <cstdint>
#include <string>
#include <vector>

namespace cimple {

class SMIS_EnvAccess {
public:
    // The one object of the process; the first call creates it with the
    // defaults and reads the file.
    static SMIS_EnvAccess* getInstance();
    // Deletes the object; the next getInstance reads the file again.
    static void destroy();

    virtual ~SMIS_EnvAccess();

    // Each setting clamped to its range.
    uint16_t getDefaultPortNumber() const;     // 0..65535, default 1372
    uint16_t getDefaultCLIPortNumber() const;  // 0..65535, default 22
    uint32_t getConnectionTimeout() const;     // 60..86400 s, default 300
    uint32_t getPollingInterval() const;       // 60..86400 s, default 300
    uint16_t getDeviceStatusInterval() const;  // 30..3600 s, default 60
    uint32_t getPortLinkStatus() const;        // 0..86400 s, default 600
    uint32_t getSession() const;               // 0..86400 s, default 300
    uint32_t getSessionStatistics() const;     // 0..86400 s, default 300
    uint32_t getRecPath() const;               // 0..86400 s, default 300
    uint32_t getDEStatus() const;              // 0..86400 s, default 60
    uint16_t getMaxStorageIP() const;          // 1..15, default 10

    // Number of configured arrays.
    uint16_t getStorageCount() const;
    // Address of the array at that index (its StorageIP value up to the first
    // comma); empty for an index out of range.
    std::string getStorageIP(uint16_t index) const;
    // The array's own binary command port or SSH port; the default port when
    // it has none, its port is 0 or not a port number, or the address is not
    // configured.
    uint16_t getPortNumber(const std::string& address) const;
    uint16_t getCLIPortNumber(const std::string& address) const;

private:
    SMIS_EnvAccess();
    SMIS_EnvAccess(const SMIS_EnvAccess&) = delete;
    SMIS_EnvAccess& operator=(const SMIS_EnvAccess&) = delete;

    void _setDefaults();
    void _readFile();
    void _setValue(const std::string& key, const std::string& value);
    int _findStorage(const std::string& address) const;
    uint16_t _getPort(const char* storageIP, unsigned part) const;

    uint16_t _defaultPortNumber;
    uint16_t _defaultCLIPortNumber;
    uint32_t _connectionTimeout;
    uint32_t _pollingInterval;
    uint16_t _deviceStatusInterval;
    uint32_t _portLinkStatus;
    uint32_t _session;
    uint32_t _sessionStatistics;
    uint32_t _recPath;
    uint32_t _deStatus;
    std::vector<std::string> _storageList;  // whole StorageIP values, in file order
    uint16_t _maxStorageIP;
};

}  // namespace cimple
