#pragma once
// Records that the array channel (SMIS_Vorpak) hands out are malloc'ed;
// Owned_Records frees them on every path.
//
//   CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO* records = nullptr;
//   unsigned short count = 0;
//   const unsigned char rc = vorpak.getiSCSILoginParam(module, port, records, count);
//   Owned_Records<CMM_RSP_RD_PORT_ISCSI_LOGIN_INFO> owned(records);

#include <cstdlib>
#include <memory>

namespace cimple {

struct Free_Record {
    void operator()(void* p) const { std::free(p); }
};

template <class Record>
using Owned_Records = std::unique_ptr<Record, Free_Record>;

}  // namespace cimple
