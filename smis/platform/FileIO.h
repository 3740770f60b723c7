#pragma once
// Reads and writes of an exact length on a file descriptor.

#include <cstddef>

namespace smis::platform {

class FileIO {
public:
    // Result of readAll when the file ends before the whole length was read.
    static constexpr int END_OF_FILE = -1;

    // Writes all of data, retrying partial writes and interruptions.
    // 0 on success, else the errno value of the failed write.
    static int writeAll(int fd, const void* data, std::size_t length);

    // Reads exactly length bytes, retrying partial reads and interruptions.
    // 0 on success, END_OF_FILE when the file ends first, else the errno value.
    // Bytes read before a failure stay in the buffer.
    static int readAll(int fd, void* buffer, std::size_t length);
};

}  // namespace smis::platform
