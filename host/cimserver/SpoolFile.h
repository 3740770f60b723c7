// The part of an answer that waits for its client on disk instead of in
// memory: one private file in the spool directory, written at its end by the
// walk that makes the answer and sent from its front through the
// connection's transport (sendfile on a plain socket) at the client's pace.
// The file is removed when the answer is sent or dropped; the
// space it has sent is given back as it goes. A server that was killed leaves
// its files behind; SpoolDirectory::clean() at start-up removes them.
#ifndef HOST_CIMSERVER_SPOOL_FILE_H
#define HOST_CIMSERVER_SPOOL_FILE_H

#include "SpoolDirectory.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace cimserver {

class Transport;

class SpoolFile {
public:
    SpoolFile() = default;
    ~SpoolFile();
    SpoolFile(const SpoolFile&) = delete;
    SpoolFile& operator=(const SpoolFile&) = delete;

    // Creates a new file in the directory, readable by the owner only; false
    // with errno set when it cannot.
    bool open(std::shared_ptr<const SpoolDirectory> directory);
    bool is_open() const { return _fd >= 0; }
    const std::string& name() const { return _name; }

    enum class Append { Done, Full, Failed };
    // Appends every byte of the pieces: Full when they would take the file
    // system's reserve (or it has no room), Failed on another write error.
    Append append(std::string_view a, std::string_view b = {}, std::string_view c = {});
    // Sends what the connection takes now from the unsent front; the bytes
    // sent, or -1 with errno set (EAGAIN when the socket is full).
    ssize_t send_to(Transport& to);
    // Bytes written and not yet sent.
    std::size_t pending() const { return _written - _sent; }

private:
    // Gives back the disk space of what was sent.
    void release_sent();

    int _fd = -1;
    std::shared_ptr<const SpoolDirectory> _directory;
    std::string _name;
    std::size_t _written = 0;
    std::size_t _sent = 0;
    std::size_t _released = 0; // bytes at the front whose space went back
};

} // namespace cimserver

#endif
