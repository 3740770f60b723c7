// Provider of CIM_InstModification: enables and disables the delivery of its indication type.

#include "CIM_InstModification_Provider.h"

namespace cimple {

CIM_InstModification_Provider::CIM_InstModification_Provider() : Indication_Provider_Base(INDICATION_MODIFICATION) {}

CIM_InstModification_Provider::~CIM_InstModification_Provider() {}

Enable_Indications_Status CIM_InstModification_Provider::enable_indications(Indication_Handler<CIM_InstModification>* handler)
{
    return enable_with(handler);
}

Disable_Indications_Status CIM_InstModification_Provider::disable_indications()
{
    return disable_for_type();
}

}  // namespace cimple
