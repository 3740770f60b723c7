#include <Pegasus/Common/System.h>

#include <netdb.h>
#include <pwd.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace Pegasus {

const String System::CIMSERVER("cimserver");

namespace {

// Looks a user up by id or by name; false when there is no such user.
bool lookupUser(const char* name, uid_t uid, std::string& outName, uid_t& outUid)
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd pwd {};
    struct passwd* result = nullptr;
    for (;;) {
        const int rc = name ? ::getpwnam_r(name, &pwd, buffer.data(), buffer.size(), &result)
                            : ::getpwuid_r(uid, &pwd, buffer.data(), buffer.size(), &result);
        if (rc == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (rc != 0 || result == nullptr)
            return false;
        outName = pwd.pw_name ? pwd.pw_name : "";
        outUid = pwd.pw_uid;
        return true;
    }
}

}  // namespace

String System::getEffectiveUserName()
{
    std::string name;
    uid_t uid = 0;
    if (!lookupUser(nullptr, ::geteuid(), name, uid))
        return String();
    return String(name);
}

Boolean System::isPrivilegedUser(const String& userName)
{
    if (userName.size() == 0)
        return false;
    std::string name;
    uid_t uid = 0;
    if (!lookupUser(userName.str().c_str(), 0, name, uid))
        return false;
    return uid == 0;
}

String System::getFullyQualifiedHostName()
{
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0)
        return String();
    struct addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_flags = AI_CANONNAME;
    struct addrinfo* info = nullptr;
    std::string result = host;
    if (::getaddrinfo(host, nullptr, &hints, &info) == 0 && info) {
        if (info->ai_canonname && *info->ai_canonname)
            result = info->ai_canonname;
        ::freeaddrinfo(info);
    }
    return String(result);
}

}  // namespace Pegasus
