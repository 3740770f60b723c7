#pragma once
// Builds VELDARO_CIMXMLCommunicationMechanism: the protocol by which clients
// talk to the server, one instance for each listener the host published
// ("http://host:port", "https://host:port" as Name), or one named after the
// server when the host published none.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_CIMXMLCommunicationMechanism.h"

namespace cimple {

class VELDARO_CIMXMLCommunicationMechanism_Resource : public Element_Fixed_Set_Resource<VELDARO_CIMXMLCommunicationMechanism> {
public:
    VELDARO_CIMXMLCommunicationMechanism_Resource() = default;

    // Returns 0.
    int createCIMXMLCommunicationMechanism();
};

}  // namespace cimple
