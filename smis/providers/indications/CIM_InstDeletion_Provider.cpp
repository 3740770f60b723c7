// Provider of CIM_InstDeletion: enables and disables the delivery of its indication type.

#include "CIM_InstDeletion_Provider.h"

namespace cimple {

CIM_InstDeletion_Provider::CIM_InstDeletion_Provider() : Indication_Provider_Base(INDICATION_DELETION) {}

CIM_InstDeletion_Provider::~CIM_InstDeletion_Provider() {}

Enable_Indications_Status CIM_InstDeletion_Provider::enable_indications(Indication_Handler<CIM_InstDeletion>* handler)
{
    return enable_with(handler);
}

Disable_Indications_Status CIM_InstDeletion_Provider::disable_indications()
{
    return disable_for_type();
}

}  // namespace cimple
