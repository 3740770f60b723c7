// The common part of the indication providers: each knows the indication
// type it serves and hands its enable and disable to the module's
// indication delivery. The provider of CIM_Indication serves no type, so
// its enable and disable answer as failed.
#ifndef SMIS_PROVIDERS_INDICATION_PROVIDER_BASE_H
#define SMIS_PROVIDERS_INDICATION_PROVIDER_BASE_H

#include <cimple/cimple.h>

#include "Indication_Delivery.h"

namespace cimple {

class Indication_Provider_Base {
public:
    explicit Indication_Provider_Base(int type = INDICATION_NONE) : _provider_type(type) {}

    int provider_type() const { return _provider_type; }

protected:
    // Takes the handler over: the delivery keeps it in its slot of this
    // type until the disable, when deleting it makes its final call.
    template <class CLASS>
    Enable_Indications_Status enable_with(Indication_Handler<CLASS>* handler)
    {
        return static_cast<Enable_Indications_Status>(Indication_Delivery::enable(_provider_type, handler));
    }

    Disable_Indications_Status disable_for_type()
    {
        return static_cast<Disable_Indications_Status>(Indication_Delivery::disable(_provider_type));
    }

private:
    int _provider_type;
};

}  // namespace cimple

#endif
