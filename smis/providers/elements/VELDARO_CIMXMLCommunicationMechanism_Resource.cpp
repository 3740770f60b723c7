// The CIM-XML protocol as the object manager's communication mechanism: one
// for each protocol the server listens on (HTTP, HTTPS), named by the URL a
// client reaches it at, so that a client discovering the server from the
// interop model finds every way in and no port that does not listen.

#include "VELDARO_CIMXMLCommunicationMechanism_Resource.h"

#include "VELDARO_System_Resource.h"

#include <SMIS_AccessPoints.h>
#include <SMIS_FunctionalProfiles.h>

#include <string>
#include <vector>

namespace cimple {

namespace {

VELDARO_CIMXMLCommunicationMechanism* newMechanism(const std::string& name)
{
    VELDARO_CIMXMLCommunicationMechanism* made =
        Instance_Provider_Frame::newInstance<VELDARO_CIMXMLCommunicationMechanism>();
    made->Caption.set("CIMXML Communication Mechanism");
    made->Description.set("CIMXML Communication Mechanism");
    made->ElementName.set("VELDARO_CIMXMLCommunicationMechanism");
    made->Name.set(name.c_str());
    made->CreationClassName.set("VELDARO_CIMXMLCommunicationMechanism");
    made->SystemCreationClassName.set("VELDARO_System");
    made->SystemName.set(VELDARO_System_Resource::SERVER_NAME);
    Array<uint16> operational;
    operational.append(2);
    made->OperationalStatus.set(operational);
    made->CommunicationMechanism.set(2);

    // What the serving host answers, when it says; else what a full CIM
    // server offers.
    std::vector<std::uint16_t> profiles = SMIS_FunctionalProfiles::published();
    if (profiles.empty())
        profiles = {2, 3, 5, 6, 7, 9};
    Array<uint16> supported;
    Array<String> descriptions;
    for (std::uint16_t profile : profiles) {
        supported.append(profile);
        descriptions.append(SMIS_FunctionalProfiles::name(profile).c_str());
    }
    made->FunctionalProfilesSupported.set(supported);
    made->FunctionalProfileDescriptions.set(descriptions);
    made->MultipleOperationsSupported.set(false); // one operation a request
    Array<uint16> authentication;
    authentication.append(3);
    made->AuthenticationMechanismsSupported.set(authentication);
    Array<String> authenticationNames;
    authenticationNames.append("Basic");
    made->AuthenticationMechanismDescriptions.set(authenticationNames);
    made->Version.set("1.2");
    Array<uint16> advertise;
    advertise.append(3);
    made->AdvertiseTypes.set(advertise);
    made->CIMValidated.set(false);
    return made;
}

}  // namespace

int VELDARO_CIMXMLCommunicationMechanism_Resource::createCIMXMLCommunicationMechanism()
{
    Auto_Mutex lock(_mutex);
    const std::vector<cimple::SMIS_AccessPoint> points = cimple::SMIS_AccessPoints::listening();
    // A host that publishes no listeners gets the one mechanism named after
    // the server.
    if (points.empty())
        _list.append(newMechanism(VELDARO_System_Resource::SERVER_NAME));
    for (const cimple::SMIS_AccessPoint& point : points)
        _list.append(newMechanism(point.url()));
    return 0;
}

}  // namespace cimple
