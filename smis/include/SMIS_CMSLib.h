#pragma once
// The status reader of one array: derives the CIM status pair of the whole
// array, its controller enclosure and each drive enclosure from the status
// data that the cache keeps (status kinds 1, 5 and 6).
//
//   SMIS_CMSLib lib("10.0.0.1");
//   int operational = 0, secondary = 0;
//   if (lib.getSysSMISStatus(&operational, &secondary) == 0) ...

#include <cstdint>
#include <string>

#include <cimple/String.h>

namespace cimple {

class SMIS_CMSLib {
public:
    explicit SMIS_CMSLib(const String& address);
    virtual ~SMIS_CMSLib();

    // Each returns 0 and writes the pair into the pointers that are not
    // NULL, or -1 when the status data cannot be read.
    int getSysSMISStatus(int* first, int* second);
    int getCESMISStatus(int* first, int* second);
    int getDESMISStatus(std::uint8_t deId, int* first, int* second);

    // The pair of a status byte.
    static void cms_cnv_smis_sts_machine_ce_de(std::uint8_t status, int* first, int* second);

private:
    // kind 1 array, 2 controller enclosure, 3 drive enclosure deId.
    int cms_get_smis_status(int kind, std::uint8_t deId, int* first, int* second);

    std::string _address;
};

}  // namespace cimple
