#pragma once
// Operating-system services shared by the arraycore services: the install
// directory, zero-filled heap blocks, error texts, named events, exact-length
// file transfers and directory creation. Failures are logged here and
// reported by the return value.

#include "NamedEvent.h"

#include <cimple/String.h>

#include <cstddef>

namespace cimple {

// Size of a buffer that holds any path of the system, NUL included.
constexpr int SMIS_MAX_PATH = 4096;

// Size of the object's last-error text buffer.
constexpr int SMIS_ERROR_MSG_SIZE = 1024;

// A handle to a named event (smis::platform::NamedEvent), made by createEvent
// or openEvent and given back with closeEvent.
using SMIS_EventHandle = smis::platform::NamedEvent*;

class SMIS_AccessCom {
public:
    SMIS_AccessCom();
    ~SMIS_AccessCom();
    SMIS_AccessCom(const SMIS_AccessCom&) = default;
    SMIS_AccessCom& operator=(const SMIS_AccessCom&) = default;

    // The install directory: SMIS_INSTALL_DIR when set, else the parent of the
    // folder of the running executable; no closing '/'.
    static String GetInstallDir();
    // Writes the install directory into buffer (SMIS_MAX_PATH bytes). An
    // install directory that does not fit leaves an empty text.
    static void getInstallDir(char* buffer);
    // As above, for a buffer of size bytes.
    static void getInstallDir(char* buffer, std::size_t size);

    // A zero-filled block of count * size bytes, or NULL. The product is
    // computed without overflow; a negative or zero product, or one that the
    // interface's int cannot express, gives NULL.
    static void* allocMemory(int count, int size);
    // Releases a block of allocMemory or of an arraycore text getter; NULL is ignored.
    static void freeMemory(void* block);

    // "(0x<code>)<message>" into buffer, at most size - 1 characters.
    static void getLastErrorMsg(unsigned long code, char* buffer, int size);
    // The same text into the object's own buffer; returns that buffer.
    const char* getLastErrorMsg(unsigned long code);
    // The object's last recorded error text.
    const char* lastErrorMsg() const { return _lastErrorMsg; }

    // Manual-reset named events. createEvent opens the event when it exists
    // and makes it (not signalled) otherwise; openEvent gives NULL when the
    // event does not exist. The other calls answer true for a NULL handle.
    SMIS_EventHandle createEvent(const char* name);
    SMIS_EventHandle openEvent(const char* name);
    bool closeEvent(SMIS_EventHandle handle);
    bool resetEvent(SMIS_EventHandle handle);
    bool setEvent(SMIS_EventHandle handle);
    // True when the named event exists and is signalled within the time given.
    bool isEventSignal(const char* name, unsigned long milliseconds);

    // Transfer exactly length bytes on a file descriptor; length, or -1.
    static int write_file(int descriptor, const void* data, unsigned length);
    static int read_file(int descriptor, void* buffer, unsigned length);

    // True when the directory exists afterwards; only the last component is made.
    bool createDirectory(const char* path);

private:
    void _recordError(int errorNumber);

    char _lastErrorMsg[SMIS_ERROR_MSG_SIZE];
};

}  // namespace cimple
