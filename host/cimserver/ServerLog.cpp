#include "ServerLog.h"

#include <cstdio>

namespace cimserver {

void server_log(const std::string& line)
{
    std::fprintf(stderr, "cimserver: %s\n", line.c_str());
}

} // namespace cimserver
