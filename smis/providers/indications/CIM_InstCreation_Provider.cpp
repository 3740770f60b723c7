// Provider of CIM_InstCreation: enables and disables the delivery of its indication type.

#include "CIM_InstCreation_Provider.h"

namespace cimple {

CIM_InstCreation_Provider::CIM_InstCreation_Provider() : Indication_Provider_Base(INDICATION_CREATION) {}

CIM_InstCreation_Provider::~CIM_InstCreation_Provider() {}

Enable_Indications_Status CIM_InstCreation_Provider::enable_indications(Indication_Handler<CIM_InstCreation>* handler)
{
    return enable_with(handler);
}

Disable_Indications_Status CIM_InstCreation_Provider::disable_indications()
{
    return disable_for_type();
}

}  // namespace cimple
