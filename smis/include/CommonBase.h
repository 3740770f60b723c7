#pragma once
// First steps shared by every provider: which arrays a request concerns and
// whether an array's configuration table image may be read.
//
//   Array<String> addresses;
//   if (!CommonBase::get_storage_iplist(addresses)) return ENUM_INSTANCES_FAILED;
//   for (size_t i = 0; i < addresses.size(); ++i) {
//       VELDARO_RefTable table(addresses[i].c_str());
//       if (CommonBase::FirstCommonProcess(&table) != 0) continue;   // no image: skip
//       ...
//   }

#include <cimple/Array.h>
#include <cimple/String.h>

#include "String_Ops.h"

namespace cimple {

class VELDARO_RefTable;

class CommonBase {
public:
    // Empties the list, then appends every configured address in
    // configuration order; false when the configuration reader cannot be had.
    static bool get_storage_iplist(Array<String>& addresses);
    // The text after the key's last "_" when it names a configured array
    // exactly; false (address unchanged) for a key without "_", an address
    // that is not configured, or a NULL argument. The address names cache
    // files and locks, so nothing else is accepted.
    static bool get_storage_ip(const String* key, String* address);
    // 0 when the view holds a valid image, 2 when not (NULL included).
    static int FirstCommonProcess(VELDARO_RefTable* table);
};

}  // namespace cimple
