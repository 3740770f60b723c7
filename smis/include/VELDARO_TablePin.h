#pragma once
// A long walk over one array's table without holding the table's mutex.
//
// A pin takes the array's current image once (holding the mutex only for
// that) and, while it lives, every view this thread opens on the address
// binds that image and takes no mutex: the walk and the builders it calls
// read one image from start to end, as they would under the mutex, while
// a refresh may put a newer image in place for every other thread (the pin
// keeps the old one alive until it ends). Pins on one thread nest; a pin
// on another address does not affect views on this one.
//
//   VELDARO_TablePin pin("10.0.0.1");
//   VELDARO_RefTable table("10.0.0.1");   // the pinned image, no mutex
//
// Only for reading: a method that changes the array and refreshes must not
// run under a pin.

#include <memory>
#include <string>

#include "CMM_CMT_GLOBAL_VAL_ELEM.h"
#include "cnfg_config_mgmt_table.h"

namespace cimple {

class VELDARO_TablePin {
public:
    explicit VELDARO_TablePin(const char* address);
    ~VELDARO_TablePin();
    VELDARO_TablePin(const VELDARO_TablePin&) = delete;
    VELDARO_TablePin& operator=(const VELDARO_TablePin&) = delete;

    // The image pinned on this thread for the address: true and both set
    // when there is one.
    static bool pinned(const std::string& address, std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM>& block,
                       std::shared_ptr<const cnfg_config_mgmt_table>& image);

private:
    std::string _address;
    std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> _block;
    std::shared_ptr<const cnfg_config_mgmt_table> _image;
    const VELDARO_TablePin* _outer = nullptr; // the pin this one nests in
};

}  // namespace cimple
