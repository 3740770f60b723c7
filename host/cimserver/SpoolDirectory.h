// The folder answers are spooled to, trusted only once checked: a real
// directory (not a symbolic link), owned by the server's user, mode 0700.
// Every file operation goes through the directory's descriptor (opened
// without following links), so a folder swapped after the check is never
// used. Files are named "<pid>-<16 random hex digits>.spool"; only names of
// that form are ever removed. The spool never takes the last `reserve`
// bytes of its file system, which the cache files and the rest of the
// install directory need.
#ifndef HOST_CIMSERVER_SPOOL_DIRECTORY_H
#define HOST_CIMSERVER_SPOOL_DIRECTORY_H

#include <cstddef>
#include <memory>
#include <string>

namespace cimserver {

class SpoolDirectory {
public:
    // Creates the folder (mode 0700) when missing, checks it and opens it;
    // nullptr with the reason when it cannot be trusted or used.
    static std::shared_ptr<SpoolDirectory> open(const std::string& path, std::size_t reserve, std::string& why);
    ~SpoolDirectory();
    SpoolDirectory(const SpoolDirectory&) = delete;
    SpoolDirectory& operator=(const SpoolDirectory&) = delete;

    // Removes the spool files of servers that no longer run (a killed
    // server leaves its files behind); the number removed.
    std::size_t clean() const;

    // A new file of the server's own form, readable by the owner only:
    // its descriptor (or -1, errno set) and its name.
    int create(std::string& name) const;
    void remove(const std::string& name) const;
    // True when n more bytes leave the reserve free on the file system.
    bool room_for(std::size_t n) const;

    const std::string& path() const { return _path; }
    int fd() const { return _fd; }

    // "<pid>-<hex>.spool": the process it belongs to, or 0 for another name.
    static long owner_of(const std::string& name);

private:
    SpoolDirectory(std::string path, int fd, std::size_t reserve) : _path(std::move(path)), _fd(fd), _reserve(reserve) {}

    std::string _path;
    int _fd;
    std::size_t _reserve;
};

} // namespace cimserver

#endif
