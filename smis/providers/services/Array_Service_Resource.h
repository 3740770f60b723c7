#pragma once
// Storage of the builders of the services published once per array (storage
// configuration, controller configuration, privilege management, hardware ID
// management): one instance named after the server, hosted by the array's
// storage system, carrying the array's status.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "SMIS_CMSLib.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StorageComputerSystem_Resource.h"
#include "VELDARO_System_Resource.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

template <class Model>
class Array_Service_Resource : public Element_List_Resource<Model> {
public:
    explicit Array_Service_Resource(const String& storage) : Element_List_Resource<Model>(storage) {}

protected:
    // Builds the array's one instance, captioned `caption`. 0 built, 1
    // failure (logged), 2 the array's table image is not valid.
    int buildService(const char* caption)
    {
        const char* class_name = Model::static_meta_class.name;
        Model* made = nullptr;
        try {
            VELDARO_RefTable table(this->_storage.c_str());
            const int first = Instance_Common::icFirstCommonProcess(&table);
            if (first != 0)
                return first;
            int status1 = 0, status2 = 0;
            SMIS_CMSLib cms(this->_storage);
            if (cms.getSysSMISStatus(&status1, &status2) != 0) {
                Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
                return 1;
            }
            made = Instance_Provider_Frame::newInstance<Model>();
            made->Caption.set(caption);
            made->Description.set(caption);
            made->ElementName.set(class_name);
            made->Name.set(VELDARO_System_Resource::SERVER_NAME);
            made->CreationClassName.set(class_name);
            made->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
            made->SystemName.set(this->_storage);
            made->OperationalStatus.set(VELDARO_StorageComputerSystem_Resource::operationalStatusOf(status1, status2));
            made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status1));
            this->_list.append(made);
            return 0;
        } catch (...) {
            if (made)
                destroy(made);
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
    }
};

}  // namespace cimple
