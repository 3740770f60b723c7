// Provider of CIM_AlertIndication: enables and disables the delivery of its indication type.

#include "CIM_AlertIndication_Provider.h"

namespace cimple {

CIM_AlertIndication_Provider::CIM_AlertIndication_Provider() : Indication_Provider_Base(INDICATION_ALERT) {}

CIM_AlertIndication_Provider::~CIM_AlertIndication_Provider() {}

Enable_Indications_Status CIM_AlertIndication_Provider::enable_indications(Indication_Handler<CIM_AlertIndication>* handler)
{
    return enable_with(handler);
}

Disable_Indications_Status CIM_AlertIndication_Provider::disable_indications()
{
    return disable_for_type();
}

}  // namespace cimple
