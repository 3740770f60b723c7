#pragma once
// Facts about the running system and its users.

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/String.h>

namespace Pegasus {

class System {
public:
    // System id of the CIM server's own log records.
    static const String CIMSERVER;

    // Name of the effective user of the process; empty when it has none.
    static String getEffectiveUserName();

    // True when the named user is the superuser (user id 0).
    static Boolean isPrivilegedUser(const String& userName);

    // The host's canonical name as the resolver knows it, else its plain name.
    static String getFullyQualifiedHostName();
};

}  // namespace Pegasus
