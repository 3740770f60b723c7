// One line of the server's own log on standard error ("cimserver: ..."),
// written with one call so lines of different threads do not mix.
#ifndef HOST_CIMSERVER_SERVER_LOG_H
#define HOST_CIMSERVER_SERVER_LOG_H

#include <string>

namespace cimserver {

void server_log(const std::string& line);

} // namespace cimserver

#endif
