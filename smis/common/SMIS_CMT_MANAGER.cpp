#include "SMIS_CMT_MANAGER.h"

namespace cimple {

SMIS_CMT_MANAGER::SMIS_CMT_MANAGER(const std::string& address) : _address(address.substr(0, 15)) {}

void SMIS_CMT_MANAGER::getImage(std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM>& block,
                                std::shared_ptr<const cnfg_config_mgmt_table>& image) const
{
    std::lock_guard<std::mutex> guard(_pointers);
    block = _block;
    image = _image;
}

void SMIS_CMT_MANAGER::setImage(std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block,
                                std::shared_ptr<const cnfg_config_mgmt_table> image)
{
    std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> oldBlock;
    std::shared_ptr<const cnfg_config_mgmt_table> oldImage;
    {
        std::lock_guard<std::mutex> guard(_pointers);
        oldBlock = std::move(_block);
        oldImage = std::move(_image);
        _block = std::move(block);
        _image = std::move(image);
    }
    // The previous pair is released here, outside the pointer lock, unless a
    // view still holds it.
}

std::shared_ptr<const SMIS_CMT> SMIS_CMT_MANAGER::exTable() const
{
    std::lock_guard<std::mutex> guard(_pointers);
    return _exTable;
}

void SMIS_CMT_MANAGER::setExTable(std::shared_ptr<const SMIS_CMT> table)
{
    std::shared_ptr<const SMIS_CMT> old;
    std::lock_guard<std::mutex> guard(_pointers);
    old = std::move(_exTable);
    _exTable = std::move(table);
}

std::shared_ptr<const SMIS_CMT> SMIS_CMT_MANAGER::copySessionTable() const
{
    std::lock_guard<std::mutex> guard(_pointers);
    return _copySessionTable;
}

void SMIS_CMT_MANAGER::setCopySessionTable(std::shared_ptr<const SMIS_CMT> table)
{
    std::shared_ptr<const SMIS_CMT> old;
    std::lock_guard<std::mutex> guard(_pointers);
    old = std::move(_copySessionTable);
    _copySessionTable = std::move(table);
}

}  // namespace cimple
