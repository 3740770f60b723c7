// The logical devices the physical elements realise: each physical disk its
// disk drive, each channel-adapter card the Ethernet ports it carries
// directly, each SFP module the FC or Ethernet port it serves.

#include "CIM_Realizes_Provider.h"

#include <cstring>
#include <new>

#include "CIM_Realizes.h"
#include "Disk_Index_Pairs.h"
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
using namespace disk_pairs;

// ---- physical disks and their drives ----

bool disksDrives(Frame& frame, int diskIndex, Far far)
{
    VELDARO_PhysicalDisk_Resource disks(frame.storage());
    VELDARO_DiskDrive_Resource drives(frame.storage());
    return sameDiskPairs<VELDARO_PhysicalDisk, VELDARO_DiskDrive>(
        frame, &CIM_Realizes::static_meta_class, diskIndex, far,
        {"Table access conflict - Can't create DiskDrive by PLUN that could create PhysicalDisk: %d"}, __FILE__,
        __LINE__, [&](VELDARO_PhysicalDisk*& out, int i) { return disks.createInstance(out, i); },
        [&](VELDARO_DiskDrive*& out, int i) { return drives.createInstance(out, i); });
}

// ---- list elements: cards and SFP modules with their ports ----

Array<VELDARO_ChannelAdapterCard*>& items(VELDARO_ChannelAdapterCard_Resource& r) { return r.list(); }
Array<VELDARO_SFP*>& items(VELDARO_SFP_Resource& r) { return r.list(); }
Array<VELDARO_EthernetPort*>& items(VELDARO_EthernetPort_Resource& r) { return r.instances(); }
Array<VELDARO_FCPort*>& items(VELDARO_FCPort_Resource& r) { return r.instances(); }

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

void emit(Frame& frame, Instance* antecedent, Instance* dependent, Instance* far)
{
    Instance* made = Common::newAssociation(&CIM_Realizes::static_meta_class, antecedent, dependent);
    if (!made)
        throw std::bad_alloc();
    frame.deliver(made, far, true);
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
        if (items(ports).size() == 0)
            return true;
        A_Resource elements(frame.storage());
        if ((elements.*buildA)() == 1)
            return false;
        for (std::size_t e = 0; e < items(elements).size(); ++e) {
            const auto* element = items(elements)[e];
            if (!element || (antecedentTag && !textEquals(element, "Tag", antecedentTag)))
                continue;
            for (std::size_t p = 0; p < items(ports).size(); ++p) {
                const auto* port = items(ports)[p];
                if (!port || !accept(*port) || !match(*element, *port))
                    continue;
                Instance* dependent = clone(port);
                emit(frame, clone(element), dependent, dependent);
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
        if (items(elements).size() == 0)
            return true;
        D_Resource ports(frame.storage());
        if ((ports.*buildD)() == 1)
            return false;
        for (std::size_t p = 0; p < items(ports).size(); ++p) {
            const auto* port = items(ports)[p];
            if (!port || !textEquals(port, "DeviceID", deviceId) || !accept(*port))
                continue;
            for (std::size_t e = 0; e < items(elements).size(); ++e) {
                const auto* element = items(elements)[e];
                if (element && match(*element, *port)) {
                    Instance* antecedent = clone(element);
                    emit(frame, antecedent, clone(port), antecedent);
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

}  // namespace

CIM_Realizes_Provider::CIM_Realizes_Provider() {}

CIM_Realizes_Provider::~CIM_Realizes_Provider() {}

bool CIM_Realizes_Provider::_enumPairs()
{
    return disksDrives(*this, 0, Far::SECOND) && cardsEthernetPorts(*this) && sfpsFCPorts(*this) &&
           sfpsEthernetPorts(*this);
}

int CIM_Realizes_Provider::_request(const Instance* source)
{
    enum Kind { NONE_OF_THESE, DISK, DRIVE, CARD, FC_PORT, ETHERNET_PORT, SFP };
    Kind kind = NONE_OF_THESE;
    if (Common::isOf(source, VELDARO_PhysicalDisk::static_meta_class))
        kind = DISK;
    else if (Common::isOf(source, VELDARO_DiskDrive::static_meta_class))
        kind = DRIVE;
    else if (Common::isOf(source, VELDARO_ChannelAdapterCard::static_meta_class))
        kind = CARD;
    else if (Common::isOf(source, VELDARO_FCPort::static_meta_class))
        kind = FC_PORT;
    else if (Common::isOf(source, VELDARO_EthernetPort::static_meta_class))
        kind = ETHERNET_PORT;
    else if (Common::isOf(source, VELDARO_SFP::static_meta_class))
        kind = SFP;
    const bool byTag = kind == DISK || kind == CARD || kind == SFP;
    String address;
    if (kind == NONE_OF_THESE || !(byTag ? Common::storageFromKeySuffix(source, "Tag", address)
                                         : Common::storageFromProperty(source, "SystemName", address)))
        return Common::checkProviderClass(source);

    const String* keyValue = Common::stringValue(source, byTag ? "Tag" : "DeviceID");
    const char* key = keyValue ? keyValue->c_str() : "";
    return onStorage(address, [&](VELDARO_RefTable& table) {
        switch (kind) {
        case DISK:
        case DRIVE: {
            std::uint16_t number = 0;
            const bool parsed = kind == DISK ? VELDARO_PhysicalDisk_Resource::divide_Tag(key, &number)
                                             : VELDARO_DiskDrive_Resource::divide_DeviceID(key, &number);
            if (!parsed)
                return true;
            const int index = table.searchPlunFromDiskTable(number);
            return index < 0 || disksDrives(*this, index, kind == DISK ? Far::SECOND : Far::FIRST);
        }
        case CARD:
            return cardsEthernetPorts(*this, key);
        case FC_PORT:
            return fcPortSfp(*this, key);
        case ETHERNET_PORT:
            return ethernetPortCard(*this, key) && ethernetPortSfp(*this, key);
        case SFP:
            return sfpsFCPorts(*this, key) && sfpsEthernetPorts(*this, key);
        default:
            return true;
        }
    });
}

}  // namespace cimple
