// The file that keeps the indication subscriptions across restarts: the
// filters, destinations and subscriptions as CIM-XML INSTANCE elements
// under one SUBSCRIPTIONS root. It is replaced whole and atomically (a
// temporary file, synced, renamed over it), so a crash leaves either the
// old or the new content, never a mix.
#ifndef HOST_CIMSERVER_SUBSCRIPTION_FILE_H
#define HOST_CIMSERVER_SUBSCRIPTION_FILE_H

#include <string>

namespace cimserver {

class SubscriptionFile {
public:
    explicit SubscriptionFile(std::string path) : _path(std::move(path)) {}

    const std::string& path() const { return _path; }

    // The file's content; empty when there is no file. False with a message
    // when it exists but cannot be read.
    bool read(std::string& text, std::string& message) const;
    // Replaces the content; false with a message when it could not.
    bool write(const std::string& text, std::string& message) const;

private:
    std::string _path;
};

} // namespace cimserver

#endif
