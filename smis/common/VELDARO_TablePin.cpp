#include "VELDARO_TablePin.h"

#include <cstring>

#include "SMIS_CMTAccess.h"

namespace cimple {

namespace {

// The innermost pin of this thread.
thread_local const VELDARO_TablePin* innermost = nullptr;

}  // namespace

VELDARO_TablePin::VELDARO_TablePin(const char* address)
{
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (address)
        _address.assign(address, strnlen(address, 15));
    else if (cache)
        _address = cache->GetCurrentIP().c_str();
    // The image of an enclosing pin on the address, else the current one,
    // taken under the table's mutex for just this long (as a view takes it).
    if (!pinned(_address, _block, _image) && cache) {
        SMIS_MutexHandle held = cache->GetCMTMutex(_address.c_str(), SMIS_CMTAccess::MUTEX_CMT);
        cache->GetCurrentCMT(_address.c_str(), _block, _image);
        cache->RelaseCMTMutex(held);
    }
    _outer = innermost;
    innermost = this;
}

VELDARO_TablePin::~VELDARO_TablePin()
{
    innermost = _outer;
}

bool VELDARO_TablePin::pinned(const std::string& address, std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM>& block,
                              std::shared_ptr<const cnfg_config_mgmt_table>& image)
{
    for (const VELDARO_TablePin* p = innermost; p; p = p->_outer)
        if (p->_address == address) {
            block = p->_block;
            image = p->_image;
            return true;
        }
    return false;
}

}  // namespace cimple
