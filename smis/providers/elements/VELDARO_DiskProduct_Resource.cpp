// The distinct disk products of an array.

#include "VELDARO_DiskProduct_Resource.h"

#include <set>
#include <string>

#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"

namespace cimple {

int VELDARO_DiskProduct_Resource::createDiskProduct()
{
    VELDARO_DiskProduct* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        std::set<std::string> seen;
        for (int i = 0; i < DISK_TABLE_SIZE; ++i) {
            if ((table.getDiskStatus(i) & 0xFF) == 2)
                continue;  // the slot holds no disk
            RefTable_Text product(table.getDiskProductId(i));
            RefTable_Text vendor(table.getDiskVenderId(i));
            RefTable_Text revision(table.getDiskRevision(i));
            if (product.missing() || vendor.missing() || revision.missing()) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            const std::string key = std::string(product.c_str()) + "." + vendor.c_str() + "." + revision.c_str();
            if (!seen.insert(key).second)
                continue;

            made = Instance_Provider_Frame::newInstance<VELDARO_DiskProduct>();
            made->Caption.set("Disk Product");
            made->Description.set("Disk Product");
            made->ElementName.set(product.str());
            made->Name.set(concat(product.str(), "_", _storage));
            made->IdentifyingNumber.set(product.str());
            made->Vendor.set(vendor.str());
            made->Version.set(revision.str());
            _list.append(made);
            made = nullptr;
        }
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
