// The logical devices the physical elements realise: each physical disk its
// disk drive, each channel-adapter card the Ethernet ports it carries
// directly, each SFP module the FC or Ethernet port it serves.

#include "CIM_Realizes_Provider.h"

#include <cstring>

#include "Association_End.h"
#include "CIM_Realizes.h"
#include "Key_Index.h"
#include "Same_Index_Walk.h"
#include "Table_Entries.h"
#include "VELDARO_ChannelAdapterCard.h"
#include "VELDARO_ChannelAdapterCard_Resource.h"
#include "VELDARO_DiskDrive.h"
#include "VELDARO_DiskDrive_Resource.h"
#include "VELDARO_EthernetPort.h"
#include "VELDARO_EthernetPort_Resource.h"
#include "VELDARO_FCPort.h"
#include "VELDARO_FCPort_Resource.h"
#include "VELDARO_PhysicalDisk.h"
#include "VELDARO_PhysicalDisk_Resource.h"
#include "VELDARO_SFP.h"
#include "VELDARO_SFP_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Walk = Same_Index_Walk;

// ---- physical disks and their drives ----

bool disksDrives(Frame& frame, int diskIndex, Walk::Far far)
{
    VELDARO_PhysicalDisk_Resource disks(frame.storage());
    VELDARO_DiskDrive_Resource drives(frame.storage());
    return Walk::resourcePairs<CIM_Realizes, VELDARO_PhysicalDisk, VELDARO_DiskDrive>(
        frame, frame.walk(diskIndex, Table_Entries::DISKS), far, true,
        {"Table access conflict - Can't create DiskDrive by PLUN that could create PhysicalDisk: %d"}, __FILE__,
        __LINE__, disks, drives);
}

// ---- list elements: cards and SFP modules with their ports ----

bool equal(const Property<uint32>& a, const Property<uint32>& b)
{
    return a.value == b.value;
}

bool textEquals(const Instance* instance, const char* name, const char* text)
{
    const String* value = Common::stringValue(instance, name);
    return value && text && std::strcmp(value->c_str(), text) == 0;
}

unsigned realTypeClass(const VELDARO_EthernetPort& port)
{
    return port.RealType.value & 0xF000u;
}

// Ethernet ports on the card itself, and ports behind an SFP module.
bool onCard(const VELDARO_EthernetPort& port)
{
    return realTypeClass(port) == 0x2000 || realTypeClass(port) == 0x4000;
}
bool behindSfp(const VELDARO_EthernetPort& port)
{
    return realTypeClass(port) == 0x3000;
}

template <class A, class D>
bool sameSlots(const A& a, const D& d)
{
    return equal(a.CMSlotNumber, d.CMSlotNumber) && equal(a.CASlotNumber, d.CASlotNumber);
}
template <class D>
bool sameSlotsAndPort(const VELDARO_SFP& sfp, const D& port)
{
    return sameSlots(sfp, port) && equal(sfp.PortNo, port.PortNo);
}

// Every physical element of its list (only the first whose Tag is
// antecedentTag when given) with the accepted ports that match it: all of
// them when everyMatch, else the first. (element, port, port).
template <class A_Resource, class D_Resource, class Accept, class Match>
bool elementsWithPorts(Frame& frame, int (A_Resource::*buildA)(), int (D_Resource::*buildD)(),
                       const char* antecedentTag, bool everyMatch, Accept accept, Match match)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        D_Resource ports(frame.storage());
        if ((ports.*buildD)() == 1)
            return false;
        if (listedOf(ports).size() == 0)
            return true;
        A_Resource elements(frame.storage());
        if ((elements.*buildA)() == 1)
            return false;
        for (std::size_t e = 0; e < listedOf(elements).size(); ++e) {
            const auto* element = listedOf(elements)[e];
            if (!element || (antecedentTag && !textEquals(element, "Tag", antecedentTag)))
                continue;
            for (std::size_t p = 0; p < listedOf(ports).size(); ++p) {
                const auto* port = listedOf(ports)[p];
                if (!port || !accept(*port) || !match(*element, *port))
                    continue;
                Instance* dependent = clone(port);
                frame.emit<CIM_Realizes>(clone(element), dependent, dependent);
                if (!everyMatch)
                    break;
            }
            if (antecedentTag)
                break;
        }
        return true;
    });
}

// The port whose DeviceID is deviceId, when accepted, with the first
// physical element that matches it: (element, port, element).
template <class A_Resource, class D_Resource, class Accept, class Match>
bool portWithElement(Frame& frame, int (A_Resource::*buildA)(), int (D_Resource::*buildD)(), const char* deviceId,
                     Accept accept, Match match)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        A_Resource elements(frame.storage());
        if ((elements.*buildA)() == 1)
            return false;
        if (listedOf(elements).size() == 0)
            return true;
        D_Resource ports(frame.storage());
        if ((ports.*buildD)() == 1)
            return false;
        for (std::size_t p = 0; p < listedOf(ports).size(); ++p) {
            const auto* port = listedOf(ports)[p];
            if (!port || !textEquals(port, "DeviceID", deviceId) || !accept(*port))
                continue;
            for (std::size_t e = 0; e < listedOf(elements).size(); ++e) {
                const auto* element = listedOf(elements)[e];
                if (element && match(*element, *port)) {
                    Instance* antecedent = clone(element);
                    frame.emit<CIM_Realizes>(antecedent, clone(port), antecedent);
                    break;
                }
            }
            break;
        }
        return true;
    });
}

const auto anyFCPort = [](const VELDARO_FCPort&) { return true; };
const auto cardSlots = [](const VELDARO_ChannelAdapterCard& c, const VELDARO_EthernetPort& p) { return sameSlots(c, p); };
const auto sfpOfEthernet = [](const VELDARO_SFP& s, const VELDARO_EthernetPort& p) { return sameSlotsAndPort(s, p); };
const auto sfpOfFC = [](const VELDARO_SFP& s, const VELDARO_FCPort& p) { return sameSlotsAndPort(s, p); };

bool cardsEthernetPorts(Frame& frame, const char* cardTag = nullptr)
{
    return elementsWithPorts(frame, &VELDARO_ChannelAdapterCard_Resource::createChannelAdapterCard,
                             &VELDARO_EthernetPort_Resource::createEthernetPort, cardTag, true, onCard, cardSlots);
}

bool sfpsFCPorts(Frame& frame, const char* sfpTag = nullptr)
{
    return elementsWithPorts(frame, &VELDARO_SFP_Resource::createSFP, &VELDARO_FCPort_Resource::createFCPort, sfpTag,
                             false, anyFCPort, sfpOfFC);
}

bool sfpsEthernetPorts(Frame& frame, const char* sfpTag = nullptr)
{
    return elementsWithPorts(frame, &VELDARO_SFP_Resource::createSFP,
                             &VELDARO_EthernetPort_Resource::createEthernetPort, sfpTag, false, behindSfp,
                             sfpOfEthernet);
}

bool ethernetPortCard(Frame& frame, const char* deviceId)
{
    return portWithElement(frame, &VELDARO_ChannelAdapterCard_Resource::createChannelAdapterCard,
                           &VELDARO_EthernetPort_Resource::createEthernetPort, deviceId, onCard, cardSlots);
}

bool fcPortSfp(Frame& frame, const char* deviceId)
{
    return portWithElement(frame, &VELDARO_SFP_Resource::createSFP, &VELDARO_FCPort_Resource::createFCPort, deviceId,
                           anyFCPort, sfpOfFC);
}

bool ethernetPortSfp(Frame& frame, const char* deviceId)
{
    return portWithElement(frame, &VELDARO_SFP_Resource::createSFP, &VELDARO_EthernetPort_Resource::createEthernetPort,
                           deviceId, behindSfp, sfpOfEthernet);
}

// The key text of a source, "" when it has none.
const char* keyOf(const Instance* source, const char* name)
{
    const char* key = Common::keyText(source, name);
    return key ? key : "";
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_PhysicalDisk::static_meta_class, Common::BY_TAG,
     Key_Index::of<&VELDARO_PhysicalDisk_Resource::divide_Tag, &VELDARO_RefTable::searchPlunFromDiskTable,
                   Key_Index::TAG>,
     [](Frame& frame, const Instance*, int disk) { return disksDrives(frame, disk, Walk::Far::SECOND); }},
    {&VELDARO_DiskDrive::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_DiskDrive_Resource::divide_DeviceID, &VELDARO_RefTable::searchPlunFromDiskTable,
                   Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int disk) { return disksDrives(frame, disk, Walk::Far::FIRST); }},
    {&VELDARO_ChannelAdapterCard::static_meta_class, Common::BY_TAG, nullptr,
     [](Frame& frame, const Instance* source, int) { return cardsEthernetPorts(frame, keyOf(source, "Tag")); }},
    {&VELDARO_FCPort::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) { return fcPortSfp(frame, keyOf(source, "DeviceID")); }},
    {&VELDARO_EthernetPort::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const char* key = keyOf(source, "DeviceID");
         return ethernetPortCard(frame, key) && ethernetPortSfp(frame, key);
     }},
    {&VELDARO_SFP::static_meta_class, Common::BY_TAG, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const char* key = keyOf(source, "Tag");
         return sfpsFCPorts(frame, key) && sfpsEthernetPorts(frame, key);
     }},
};

}  // namespace

CIM_Realizes_Provider::CIM_Realizes_Provider() {}

CIM_Realizes_Provider::~CIM_Realizes_Provider() {}

bool CIM_Realizes_Provider::_enumPairs()
{
    return disksDrives(*this, 0, Walk::Far::SECOND) && cardsEthernetPorts(*this) && sfpsFCPorts(*this) &&
           sfpsEthernetPorts(*this);
}

int CIM_Realizes_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
