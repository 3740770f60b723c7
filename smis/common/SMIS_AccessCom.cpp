#include "SMIS_AccessCom.h"

#include "ErrorText.h"
#include "FileIO.h"
#include "InstallDir.h"
#include "SMIS_TraceLog.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace cimple {

namespace {

bool isDirectory(const char* path)
{
    struct stat st {};
    return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

SMIS_AccessCom::SMIS_AccessCom()
{
    std::memset(_lastErrorMsg, 0, sizeof _lastErrorMsg);
}

SMIS_AccessCom::~SMIS_AccessCom() = default;

String SMIS_AccessCom::GetInstallDir()
{
    try {
        return String(smis::platform::InstallDir::path().c_str());
    } catch (...) {
        return String();
    }
}

void SMIS_AccessCom::getInstallDir(char* buffer)
{
    getInstallDir(buffer, SMIS_MAX_PATH);
}

void SMIS_AccessCom::getInstallDir(char* buffer, std::size_t size)
{
    if (!buffer || size == 0)
        return;
    buffer[0] = '\0';
    try {
        const std::string dir = smis::platform::InstallDir::path();
        if (dir.size() >= size) {
            SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE,
                                         "Install directory too long(%zu)", dir.size());
            return;
        }
        std::memcpy(buffer, dir.c_str(), dir.size() + 1);
    } catch (...) {
        buffer[0] = '\0';
    }
}

void* SMIS_AccessCom::allocMemory(int count, int size)
{
    // 64-bit product of two ints: never overflows, and may be negative.
    const long long bytes = static_cast<long long>(count) * static_cast<long long>(size);
    if (bytes == 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "element_count is 0");
        return nullptr;
    }
    void* block = nullptr;
    int err = ENOMEM;
    if (bytes > 0 && bytes <= INT_MAX) {
        errno = 0;
        block = std::calloc(static_cast<std::size_t>(bytes), 1);
        if (!block && errno != 0)
            err = errno;
    }
    if (!block) {
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE,
                                     "Not enough memory(size=%lld, errno=%d)", bytes, err);
    }
    return block;
}

void SMIS_AccessCom::freeMemory(void* block)
{
    std::free(block);
}

void SMIS_AccessCom::getLastErrorMsg(unsigned long code, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    std::memset(buffer, 0, static_cast<std::size_t>(size));
    std::string text;
    try {
        text = smis::platform::ErrorText::message(static_cast<int>(code));
    } catch (...) {
    }
    std::snprintf(buffer, static_cast<std::size_t>(size), "(0x%lx)%s", code, text.c_str());
}

const char* SMIS_AccessCom::getLastErrorMsg(unsigned long code)
{
    getLastErrorMsg(code, _lastErrorMsg, sizeof _lastErrorMsg);
    return _lastErrorMsg;
}

void SMIS_AccessCom::_recordError(int errorNumber)
{
    getLastErrorMsg(static_cast<unsigned long>(errorNumber));
}

SMIS_EventHandle SMIS_AccessCom::createEvent(const char* name)
{
    std::unique_ptr<smis::platform::NamedEvent> event;
    try {
        if (name)
            event = smis::platform::NamedEvent::create(name);
    } catch (...) {
    }
    if (!event) {
        _recordError(name ? ENOMEM : EINVAL);
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "Failed CreateEvent:%s", _lastErrorMsg);
        return nullptr;
    }
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "CreateEvent ok:%s", name);
    return event.release();
}

SMIS_EventHandle SMIS_AccessCom::openEvent(const char* name)
{
    std::unique_ptr<smis::platform::NamedEvent> event;
    try {
        if (name)
            event = smis::platform::NamedEvent::open(name);
    } catch (...) {
    }
    if (!event) {
        _recordError(name ? ENOENT : EINVAL);
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "Failed OpenEvent:%s", _lastErrorMsg);
        return nullptr;
    }
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "OpenEvent ok:%s(0x%x)", name, event->id());
    return event.release();
}

bool SMIS_AccessCom::closeEvent(SMIS_EventHandle handle)
{
    if (!handle)
        return true;
    const unsigned id = handle->id();
    delete handle;
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "CloseHandle(0x%x) ok", id);
    return true;
}

bool SMIS_AccessCom::resetEvent(SMIS_EventHandle handle)
{
    if (!handle)
        return true;
    handle->reset();
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "ResetEvent(0x%x) ok", handle->id());
    return true;
}

bool SMIS_AccessCom::setEvent(SMIS_EventHandle handle)
{
    if (!handle)
        return true;
    handle->set();
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "SetEvent(0x%x) ok", handle->id());
    return true;
}

bool SMIS_AccessCom::isEventSignal(const char* name, unsigned long milliseconds)
{
    SMIS_EventHandle handle = openEvent(name);
    if (!handle)
        return false;
    const bool signalled = handle->wait(std::chrono::milliseconds(milliseconds));
    closeEvent(handle);
    return signalled;
}

int SMIS_AccessCom::write_file(int descriptor, const void* data, unsigned length)
{
    const int err = length > static_cast<unsigned>(INT_MAX)
                        ? EINVAL
                        : smis::platform::FileIO::writeAll(descriptor, data, length);
    if (err != 0) {
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "Failed write(%lu)",
                                     static_cast<unsigned long>(err));
        return -1;
    }
    return static_cast<int>(length);
}

int SMIS_AccessCom::read_file(int descriptor, void* buffer, unsigned length)
{
    const int err = length > static_cast<unsigned>(INT_MAX)
                        ? EINVAL
                        : smis::platform::FileIO::readAll(descriptor, buffer, length);
    if (err == smis::platform::FileIO::END_OF_FILE) {
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "Read at end of file");
        return -1;
    }
    if (err != 0) {
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "Failed read(%lu)",
                                     static_cast<unsigned long>(err));
        return -1;
    }
    return static_cast<int>(length);
}

bool SMIS_AccessCom::createDirectory(const char* path)
{
    if (!path || !*path) {
        _recordError(EINVAL);
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "Failed CreateDirectory:%s",
                                     _lastErrorMsg);
        return false;
    }
    if (isDirectory(path))
        return true;
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "dir(%s) is not found. now create.", path);
    if (::mkdir(path, 0777) != 0) {
        const int err = errno;
        if (err == EEXIST && isDirectory(path))
            return true;
        _recordError(err);
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "Failed CreateDirectory:%s",
                                     _lastErrorMsg);
        return false;
    }
    return true;
}

}  // namespace cimple
