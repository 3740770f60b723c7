// The part of an answer that waits for its client on disk instead of in
// memory: one private file under the spool folder, written at its end by the
// walk that makes the answer and sent from its front through the
// connection's transport (sendfile on a plain socket) at the client's pace. The file is removed when the answer is sent or dropped; the
// space it has sent is given back as it goes. A server that was killed leaves
// its files behind; clean() at start-up removes them.
#ifndef HOST_CIMSERVER_SPOOL_FILE_H
#define HOST_CIMSERVER_SPOOL_FILE_H

#include <cstddef>
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

    // Creates the folder (owner only) when missing and removes the files of
    // servers that no longer run (every file not named after a running
    // process). False when the folder cannot be made.
    static bool clean(const std::string& folder);

    // Creates a new file in folder, readable by the owner only.
    bool open(const std::string& folder);
    bool is_open() const { return _fd >= 0; }
    const std::string& path() const { return _path; }

    // Appends every byte of the pieces; false on a write error (disk full).
    bool append(std::string_view a, std::string_view b = {}, std::string_view c = {});
    // Sends what the connection takes now from the unsent front; the bytes
    // sent, or -1 with errno set (EAGAIN when the socket is full).
    ssize_t send_to(Transport& to);
    // Bytes written and not yet sent.
    std::size_t pending() const { return _written - _sent; }

private:
    // Gives back the disk space of what was sent.
    void release_sent();

    int _fd = -1;
    std::string _path;
    std::size_t _written = 0;
    std::size_t _sent = 0;
    std::size_t _released = 0; // bytes at the front whose space went back
};

} // namespace cimserver

#endif
