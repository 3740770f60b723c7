// Provider of CIM_Indication: serves no indication type of its own, so its
// enable and disable answer as failed.

#include "CIM_Indication_Provider.h"

namespace cimple {

CIM_Indication_Provider::CIM_Indication_Provider() : Indication_Provider_Base(INDICATION_NONE) {}

CIM_Indication_Provider::~CIM_Indication_Provider() {}

Enable_Indications_Status CIM_Indication_Provider::enable_indications(Indication_Handler<CIM_Indication>* handler)
{
    return enable_with(handler);
}

Disable_Indications_Status CIM_Indication_Provider::disable_indications()
{
    return disable_for_type();
}

}  // namespace cimple
