// The builders of each change-record kind and the wrapping of the changed
// instances into indications.

#include "Indication_Builder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "CIM_AuthorizedSubject.h"
#include "CIM_InstCreation.h"
#include "CIM_InstDeletion.h"
#include "CIM_InstModification.h"
#include "CIM_ProtocolControllerForUnit.h"
#include "Indication_Delivery.h"
#include "Instance_Provider_Frame.h"
#include "SMIS_Indication.h"
#include "SMIS_TraceLog.h"
#include "Source_Model_Path.h"
#include "VELDARO_RemoteStorageVolume_Resource.h"
#include "VELDARO_StorageSynchronized_Resource.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

namespace {

using R = IndicationRecord;

constexpr std::uint16_t NO_VOLUME = 0xFFFF;
constexpr std::uint16_t NO_GROUP = 0xFFFF;
constexpr std::uint8_t NO_LAYERIX_POOL = 0xFF;
constexpr std::uint8_t LU_SNAP_DATA_POOL_VOLUME = 7;

std::uint16_t le16(const std::uint8_t* p) { return smis::loadLE16(p); }
std::uint32_t le32(const std::uint8_t* p) { return smis::loadLE32(p); }
std::uint64_t le64(const std::uint8_t* p) { return smis::loadLE64(p); }

// A fixed-width text field as a terminated text (stops at the first 0).
std::string fieldText(const std::uint8_t* p, std::size_t width)
{
    std::size_t n = 0;
    while (n < width && p[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

// The IPv4 address stored at p in the order inet_addr gives it.
String addressText(const std::uint8_t* p)
{
    std::uint32_t a = 0;
    std::memcpy(&a, p, 4);
    return SMIS_Indication::convIPtoString(a);
}

bool isWwnAdapter(std::uint16_t type) { return type == 0x0000 || type == 0x5000 || type == 0xA000; }
bool isIscsiAdapter(std::uint16_t type) { return type == 0x2000 || type == 0x3000; }

void logStart(const char* builder) { SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "%s Start", builder); }
void logEnd(const char* builder) { SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "%s End", builder); }
// The alert and system builders run for every status change: their start
// and end go to the trace, not the log.
void traceStart(const char* builder)
{
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s Start", builder);
}
void traceEnd(const char* builder) { SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s End", builder); }
void logCreationFailure()
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Failed in the creation of the instance");
}
void logInvalidType() { SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid Indication type"); }

bool isCreationOrDeletion(int type) { return type == INDICATION_CREATION || type == INDICATION_DELETION; }

// What the builder of one entry gave: the instance that changed (and for a
// modification the previous one), nothing for an entry that is passed by,
// or nothing with failed for an instance that could not be made.
struct Built {
    Instance* source = nullptr;
    Instance* previous = nullptr;
    bool pass = false;
    static Built passed() { return Built{nullptr, nullptr, true}; }
};

// The instance a setter filled (status 0), or nothing when it failed.
template <class T>
Built made(T* instance, int status)
{
    if (status == 0)
        return Built{instance, nullptr};
    destroy(instance);
    return Built{};
}

bool acceptEvery(const std::uint8_t*) { return true; }

String lunText(unsigned lun)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04X", lun & 0xFFFFu);
    return String(buf);
}

}  // namespace

int Indication_Builder::opeToIndicationType(std::uint8_t operation)
{
    switch (operation) {
    case R::OP_NONE: return INDICATION_NONE;
    case R::OP_CREATE: return INDICATION_CREATION;
    case R::OP_DELETE: return INDICATION_DELETION;
    case R::OP_MODIFY: return INDICATION_MODIFICATION;
    default: return -1;
    }
}

// The walk every entry builder shares: entries the filter does not accept
// are someone else's; each other entry's operation gives the indication
// type; entries of a type without a handler are passed by; a type the
// builder does not take, or an instance that cannot be made, ends the
// record (the rest is not delivered).
template <class Accept, class Build>
void Indication_Builder::walkEntries(const IndicationRecord& record, const Entry_Walk& walk, Accept accept,
                                     Build build)
{
    logStart(walk.builder);
    for (std::size_t i = 0; i < record.count(); ++i) {
        const std::uint8_t* e = record.entry(i);
        if (!e)
            break;
        if (!accept(e))
            continue;
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "%s ope=0x%02x, %s=0x%04x", walk.builder,
                                 e[walk.operation], walk.field,
                                 walk.wide ? unsigned(le16(e + walk.number)) : unsigned(e[walk.number]));
        const int type = opeToIndicationType(e[walk.operation]);
        if (!Indication_Delivery::isIndicationEnabled(type))
            continue;
        if (!isCreationOrDeletion(type) && !(walk.modifications && type == INDICATION_MODIFICATION))
            return logInvalidType();
        const Built built = build(e, type);
        if (built.pass)
            continue;
        if (!built.source)
            return logCreationFailure();
        sendIndicationForInstance(type, built.source, built.previous);
    }
    logEnd(walk.builder);
}

template <class Build>
void Indication_Builder::walkEntries(const IndicationRecord& record, const Entry_Walk& walk, Build build)
{
    walkEntries(record, walk, acceptEvery, build);
}

void Indication_Builder::sendIndicationForInstance(int type, Instance* source, Instance* previous)
{
    String path;
    if (!source_model_path(source, path)) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Failed in the got of model path");
        for (Instance* made : {previous, source})
            if (made)
                destroy(made);
        return;
    }
    sendIndication(type, Indication_Delivery::identity(), path, source, previous);
}

void Indication_Builder::sendIndication(int type, const String& identity, const String& modelPath, Instance* source,
                                        Instance* previous)
{
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "sendIndication Start");
    Instance* indication = nullptr;
    try {
        const Datetime now = Datetime::now();
        switch (type) {
        case INDICATION_CREATION: {
            CIM_InstCreation* c = CIM_InstCreation::create(true);
            indication = c;
            c->IndicationIdentifier.set(identity);
            c->IndicationTime.set(now);
            c->SourceInstance = clone(source);
            c->SourceInstanceModelPath.set(modelPath);
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "sendIndication Add Indication");
            Indication_Delivery::deliver(type, c);
            break;
        }
        case INDICATION_MODIFICATION: {
            CIM_InstModification* m = CIM_InstModification::create(true);
            indication = m;
            m->IndicationIdentifier.set(identity);
            m->IndicationTime.set(now);
            m->SourceInstance = clone(source);
            m->SourceInstanceModelPath.set(modelPath);
            m->PreviousInstance = clone(previous);
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "sendIndication Mod Indication");
            Indication_Delivery::deliver(type, m);
            break;
        }
        case INDICATION_DELETION: {
            CIM_InstDeletion* d = CIM_InstDeletion::create(true);
            indication = d;
            d->IndicationIdentifier.set(identity);
            d->IndicationTime.set(now);
            d->SourceInstance = clone(source);
            d->SourceInstanceModelPath.set(modelPath);
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "sendIndication Del Indication");
            Indication_Delivery::deliver(type, d);
            break;
        }
        case INDICATION_ALERT: {
            if (!source || source->meta_class != &CIM_AlertIndication::static_meta_class) {
                logInvalidType();
                break;
            }
            CIM_AlertIndication* a = static_cast<CIM_AlertIndication*>(clone(source));
            indication = a;
            a->IndicationIdentifier.set(identity);
            a->IndicationTime.set(now);
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "sendIndication Alert Indication");
            Indication_Delivery::deliver(type, a);
            break;
        }
        default:
            logInvalidType();
            break;
        }
    } catch (...) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Exception was generated");
    }
    // CIMPLE's destroy takes no null instance (a creation has no previous
    // one, an unknown type no indication).
    for (Instance* made : {indication, previous, source})
        if (made)
            destroy(made);
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "sendIndication End");
}

void Indication_Builder::sendRLUInfo(const IndicationRecord& record)
{
    const Entry_Walk walk{"sendRLUInfo", R::Rlu::OPERATION, "RLUN", R::Rlu::RLUN, true, false};
    walkEntries(record, walk, [&](const std::uint8_t* e, int type) -> Built {
        const std::string name = fieldText(e + R::Rlu::NAME, R::Rlu::NAME_SIZE);
        const int status = le16(e + (type == INDICATION_CREATION ? R::Rlu::STATUS_NEW : R::Rlu::STATUS_OLD));
        const std::uint8_t mode = e[R::Rlu::MODE];
        const std::uint64_t capacity = (mode & 0x02) ? 0 : le64(e + R::Rlu::RLBA_COUNT);
        VELDARO_RAIDStoragePool* pool = Instance_Provider_Frame::newInstance<VELDARO_RAIDStoragePool>();
        return made(pool, _sources.setRAIDStoragePool(pool, e[R::Rlu::RAID_LEVEL], le16(e + R::Rlu::RLUN), status,
                                                      capacity, capacity, le16(e + R::Rlu::RLU_STATUS),
                                                      e[R::Rlu::CURRENT_CMMID], mode,
                                                      static_cast<int>(le32(e + R::Rlu::DISK_COUNT)),
                                                      static_cast<int>(le32(e + R::Rlu::HS_DISK_COUNT)),
                                                      name.c_str()));
    });
}

void Indication_Builder::sendOLUInfo(const IndicationRecord& record)
{
    const std::uint8_t* wwn = record.data() + R::Header::NODE_WWN;
    const Entry_Walk walk{"sendOLUInfo", R::Volume::OPERATION, "OLUN", R::Volume::NUMBER, true, true};
    walkEntries(record, walk, [&](const std::uint8_t* e, int type) -> Built {
        const std::uint16_t number = le16(e + R::Volume::NUMBER);
        const std::string name = fieldText(e + R::Volume::NAME, R::Volume::NAME_SIZE);
        const std::uint8_t luType = e[R::Volume::LU_TYPE];
        const std::uint64_t capacity = le64(e + R::Volume::CAPACITY);
        const bool isNew = type != INDICATION_DELETION;
        const int first = le16(e + (isNew ? R::Volume::STATUS1_NEW : R::Volume::STATUS1_OLD));
        const int second = le16(e + (isNew ? R::Volume::STATUS2_NEW : R::Volume::STATUS2_OLD));

        if (luType == LU_SNAP_DATA_POOL_VOLUME) {
            // A snapshot data pool volume: published as its pool; its
            // status changes give no indication.
            if (type == INDICATION_MODIFICATION)
                return Built::passed();
            VELDARO_SDPVPool* pool = Instance_Provider_Frame::newInstance<VELDARO_SDPVPool>();
            return made(pool, _sources.setSDPVPool(pool, le16(e + R::Volume::RLUN), number, first, capacity,
                                                   e[R::Volume::SDPID], name.c_str()));
        }
        const std::uint16_t threshold = (luType == 9 || luType == 11) ? e[R::Volume::THRESHOLD] : 0;
        auto build = [&](int s1, int s2) -> VELDARO_StorageVolume* {
            VELDARO_StorageVolume* v = Instance_Provider_Frame::newInstance<VELDARO_StorageVolume>();
            if (_sources.setStorageVolume(v, e[R::Volume::RAID_LEVEL], number, luType, s1, s2, capacity,
                                          e[R::Volume::SLU_COUNT], _storage, threshold, wwn, name.c_str()) != 0) {
                destroy(v);
                return nullptr;
            }
            return v;
        };
        VELDARO_StorageVolume* source = build(first, second);
        VELDARO_StorageVolume* previous = nullptr;
        if (source && type == INDICATION_MODIFICATION) {
            previous = build(le16(e + R::Volume::STATUS1_OLD), le16(e + R::Volume::STATUS2_OLD));
            if (!previous) {
                destroy(source);
                source = nullptr;
            }
        }
        return Built{source, previous};
    });
}

void Indication_Builder::sendLUNMappingInfo(const IndicationRecord& record)
{
    const Entry_Walk walk{"sendLUNMappingInfo", R::Port::OPERATION, "ca_mid", R::Port::MODULE_ID, false, false};
    walkEntries(record, walk, [&](const std::uint8_t* e, int) -> Built {
        const std::uint16_t caType = le16(e + R::Port::CA_TYPE);
        std::string alias, name;
        std::uint16_t format = 0;
        if (isWwnAdapter(caType)) {
            name = fieldText(e + R::Port::WWN, R::Port::WWN_SIZE);
            format = 2;
        } else if (isIscsiAdapter(caType)) {
            alias = fieldText(e + R::Port::ALIAS, R::Port::ALIAS_SIZE);
            name = fieldText(e + R::Port::ISCSI_NAME, R::Port::ISCSI_NAME_SIZE);
            format = 3;
        } else {
            return Built::passed();
        }
        VELDARO_LUNMappingController* c = Instance_Provider_Frame::newInstance<VELDARO_LUNMappingController>();
        return made(c, _sources.setLUNMappingController(c, e[R::Port::MODULE_ID], e[R::Port::PORT_NO],
                                                        format == 3 ? alias.c_str() : nullptr, name.c_str(), format));
    });
}

void Indication_Builder::sendHostAffinityGroupInfo(const IndicationRecord& record)
{
    const std::uint8_t mid = record.u8(R::Header::MAP_MODULE_ID);
    const std::uint8_t port = record.u8(R::Header::MAP_PORT_NO);
    const std::uint16_t caType = record.u16(R::Header::MAP_CA_TYPE);
    const Entry_Walk walk{"sendHostAffinityGroupInfo", R::HostAffinity::OPERATION, "ag_no",
                          R::HostAffinity::GROUP_NUMBER, true, false};
    walkEntries(record, walk, [&](const std::uint8_t* e, int) -> Built {
        std::string host;
        String ip;
        if (isIscsiAdapter(caType)) {
            host = fieldText(e + R::HostAffinity::HOST_ID, R::HostAffinity::HOST_ID_SIZE);
            ip = addressText(e + R::HostAffinity::ISCSI_IP);
        } else if (isWwnAdapter(caType)) {
            host = fieldText(e + R::HostAffinity::HOST_ID, 16);
        } else {
            return Built::passed();
        }
        VELDARO_AuthorizedPrivilege* privilege = VELDARO_AuthorizedPrivilege::create(true);
        VELDARO_StorageHardwareID* hardwareId = VELDARO_StorageHardwareID::create(true);
        if (_sources.setKeyProperties(privilege, mid, port, le16(e + R::HostAffinity::GROUP_NUMBER), host.c_str(),
                                      ip.c_str()) != 0 ||
            _sources.setKeyProperties(hardwareId, host.c_str(), ip.c_str()) != 0) {
            destroy(privilege);
            destroy(hardwareId);
            return Built{};
        }
        CIM_AuthorizedSubject* subject = CIM_AuthorizedSubject::create(true);
        subject->Privilege = cast<CIM_AuthorizedPrivilege*>(privilege);
        subject->PrivilegedElement = cast<CIM_ManagedElement*>(hardwareId);
        return Built{subject, nullptr};
    });
}

void Indication_Builder::sendAffinityGroupInfo(const IndicationRecord& record)
{
    const std::uint8_t mid = record.u8(R::Header::MAP_MODULE_ID);
    const std::uint8_t port = record.u8(R::Header::MAP_PORT_NO);
    const std::uint16_t caType = record.u16(R::Header::MAP_CA_TYPE);
    const Entry_Walk walk{"sendAffinityGroupInfo", R::AffinityGroup::OPERATION, "ag_no",
                          R::AffinityGroup::GROUP_NUMBER, true, true};
    walkEntries(record, walk, [&](const std::uint8_t* e, int) -> Built {
        std::string alias;
        std::uint16_t kind = 0;
        if (isIscsiAdapter(caType)) {
            alias = fieldText(e + R::AffinityGroup::ALIAS, R::AffinityGroup::ALIAS_SIZE);
            kind = 3;
        } else if (isWwnAdapter(caType)) {
            kind = 1;
        } else {
            return Built::passed();
        }
        const std::string name = fieldText(e + R::AffinityGroup::NAME, R::AffinityGroup::NAME_SIZE);
        VELDARO_AffinityGroupController* c = Instance_Provider_Frame::newInstance<VELDARO_AffinityGroupController>();
        return made(c, _sources.setAffinityGroupController(c, mid, port, le16(e + R::AffinityGroup::GROUP_NUMBER),
                                                           kind == 3 ? alias.c_str() : nullptr, name.c_str(), kind,
                                                           _storage));
    });
}

void Indication_Builder::sendThinProvisioningPoolInfo(const IndicationRecord& record)
{
    const Entry_Walk walk{"sendThinProvisioningPoolInfo", R::Tpp::OPERATION, "pool_no", R::Tpp::POOL_NUMBER, true,
                          false};
    // Entries of a Layerix sub-pool are sendLayerixSubPoolInfo's.
    walkEntries(
        record, walk, [](const std::uint8_t* e) { return e[R::Tpp::LXRP_NUMBER] == NO_LAYERIX_POOL; },
        [&](const std::uint8_t* e, int type) -> Built {
            const std::string name = fieldText(e + R::Tpp::NAME, R::Tpp::NAME_SIZE);
            const int status = le16(e + (type == INDICATION_CREATION ? R::Tpp::STATUS_NEW : R::Tpp::STATUS_OLD));
            VELDARO_ThinProvisioningPool* p = Instance_Provider_Frame::newInstance<VELDARO_ThinProvisioningPool>();
            return made(p, _sources.setThinProvisioningPool(p, e[R::Tpp::RAID_LEVEL], le16(e + R::Tpp::POOL_NUMBER),
                                                            status, le64(e + R::Tpp::MAX_LBA_COUNT), 0, name.c_str(),
                                                            e[R::Tpp::THRESHOLD_Y], e[R::Tpp::THRESHOLD_R]));
        });
}

void Indication_Builder::sendLayerixSubPoolInfo(const IndicationRecord& record)
{
    const Entry_Walk walk{"sendLayerixSubPoolInfo", R::Tpp::OPERATION, "pool_no", R::Tpp::POOL_NUMBER, true, false};
    // Entries of a plain thin provisioning pool are sendThinProvisioningPoolInfo's.
    walkEntries(
        record, walk, [](const std::uint8_t* e) { return e[R::Tpp::LXRP_NUMBER] != NO_LAYERIX_POOL; },
        [&](const std::uint8_t* e, int type) -> Built {
            const std::string name = fieldText(e + R::Tpp::NAME, R::Tpp::NAME_SIZE);
            const int status = le16(e + (type == INDICATION_CREATION ? R::Tpp::STATUS_NEW : R::Tpp::STATUS_OLD));
            VELDARO_LayerixSubPool* p = Instance_Provider_Frame::newInstance<VELDARO_LayerixSubPool>();
            return made(p, _sources.setLayerixSubPool(p, e[R::Tpp::RAID_LEVEL], le16(e + R::Tpp::POOL_NUMBER), status,
                                                      le64(e + R::Tpp::MAX_LBA_COUNT), name.c_str()));
        });
}

void Indication_Builder::sendLayerixPoolInfo(const IndicationRecord& record)
{
    const Entry_Walk walk{"sendLayerixPoolInfo", R::Lxrp::OPERATION, "pool_no", R::Lxrp::POOL_NUMBER, false, false};
    walkEntries(record, walk, [&](const std::uint8_t* e, int type) -> Built {
        const std::string name = fieldText(e + R::Lxrp::NAME, R::Lxrp::NAME_SIZE);
        const int status = le16(e + (type == INDICATION_CREATION ? R::Lxrp::STATUS_NEW : R::Lxrp::STATUS_OLD));
        VELDARO_LayerixPool* p = Instance_Provider_Frame::newInstance<VELDARO_LayerixPool>();
        return made(p, _sources.setLayerixPool(p, e[R::Lxrp::POOL_NUMBER], status, le64(e + R::Lxrp::LBA_COUNT), 0,
                                               name.c_str(), e[R::Lxrp::THRESHOLD_Y], e[R::Lxrp::THRESHOLD_R]));
    });
}

void Indication_Builder::sendSystemInfo(const IndicationRecord& record)
{
    traceStart("sendSystemInfo");
    const std::uint8_t operation = record.u8(R::System::OPERATION);
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "sendSystemInfo ope=0x%02x", operation);
    const int type = opeToIndicationType(operation);
    if (!Indication_Delivery::isIndicationEnabled(type))
        return traceEnd("sendSystemInfo");
    if (type != INDICATION_MODIFICATION)
        return logInvalidType();
    const std::uint8_t* p = record.data();
    const String product(fieldText(p + R::System::PRODUCT_ID, R::System::PRODUCT_ID_SIZE).c_str());
    const String serial(fieldText(p + R::System::SERIAL, R::System::SERIAL_SIZE).c_str());
    const String friendly(fieldText(p + R::System::FRIENDLY, R::System::FRIENDLY_SIZE).c_str());
    const String manager(fieldText(p + R::System::MANAGER, R::System::MANAGER_SIZE).c_str());
    const String wwn = VELDARO_ValueConv::convWWNToString(p + R::System::NODE_WWN);
    const unsigned updates = record.u32(R::System::UPDATE_COUNT);
    auto build = [&](int s1, int s2) -> VELDARO_StorageComputerSystem* {
        VELDARO_StorageComputerSystem* s = Instance_Provider_Frame::newInstance<VELDARO_StorageComputerSystem>();
        if (_sources.setStorageComputerSystem(s, s1, s2, product, serial, friendly, wwn, updates, manager) != 0) {
            destroy(s);
            return nullptr;
        }
        return s;
    };
    VELDARO_StorageComputerSystem* source = build(record.u16(R::System::STATUS1_NEW), record.u16(R::System::STATUS2_NEW));
    VELDARO_StorageComputerSystem* previous =
        source ? build(record.u16(R::System::STATUS1_OLD), record.u16(R::System::STATUS2_OLD)) : nullptr;
    if (!source || !previous) {
        if (source)
            destroy(source);
        return logCreationFailure();
    }
    sendIndicationForInstance(type, source, previous);
    traceEnd("sendSystemInfo");
}

void Indication_Builder::sendAlertInfo(const IndicationRecord& record)
{
    if (!Indication_Delivery::isIndicationEnabled(INDICATION_ALERT))
        return;
    traceStart("sendAlertInfo");
    const std::uint32_t code = record.u32(R::Alert::EVENT_CODE);
    bool poolAlert = false;
    unsigned level = 0;
    if (record.u8(R::Alert::EVENT_MARK) == R::Alert::EVENT_MARK_VALUE && (code >> 24) == 0xE8) {
        level = (code >> 16) & 0xFF;
        if (level == 1)
            return traceEnd("sendAlertInfo");  // the warning level is not reported
        poolAlert = level == 2 || level == 5;
    }
    CIM_AlertIndication* alert = CIM_AlertIndication::create(true);
    try {
        if (poolAlert) {
            char id[16];
            std::snprintf(id, sizeof id, "%04u", code & 0xFFFFu);
            alert->AlertingManagedElement.set(id);
            std::string message = std::string("Thin provisioned pool with identifier ") + id +
                                  (level == 2 ? " capacity in use nearing available limit."
                                              : " capacity in use exceeded available limit.");
            alert->Message.set(message.c_str());
            alert->MessageID.set(level == 2 ? "DRM28" : "DRM29");
            Array<String> arguments;
            arguments.append(String("pool"));
            arguments.append(String(id));
            alert->MessageArguments.set(arguments);
            alert->OwningEntity.set("SNIA");
            alert->ProbableCause.set(44);
            // The class requires a severity: nearing the limit is a warning
            // (Degraded/Warning), exceeding it is critical.
            alert->PerceivedSeverity.set(level == 2 ? 3 : 6);
        } else {
            alert->AlertingManagedElement.set("Storage");
            alert->ProbableCause.set(16);
            alert->PerceivedSeverity.set(record.u8(R::Alert::SEVERITY));
        }
        alert->AlertingElementFormat.set(0);
        alert->AlertType.set(5);
        alert->SystemCreationClassName.set("CIM_ComputerSystem");
        alert->SystemName.set(_storage);
        alert->ProviderName.set("CIM_AlertIndication_Provider");
    } catch (...) {
        destroy(alert);
        throw;
    }
    sendIndication(INDICATION_ALERT, Indication_Delivery::identity(), String(), alert, nullptr);
    traceEnd("sendAlertInfo");
}

void Indication_Builder::sendCopySessionInfo(const IndicationRecord& record)
{
    using C = R::CopySession;
    logStart("sendCopySessionInfo");
    const std::uint8_t operation = record.u8(C::OPERATION);
    const std::uint8_t copyType = record.u8(C::BYTE2);
    const std::uint16_t sourceNumber = record.u16(C::FIELD4);
    const std::uint16_t targetNumber = record.u16(C::FIELD6);
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3,
                             "sendCopySessionInfo ope=0x%02x, copy_type=0x%02x, source=0x%04x, target=0x%04x",
                             operation, copyType, sourceNumber, targetNumber);
    const int type = opeToIndicationType(operation);
    if (!Indication_Delivery::isIndicationEnabled(type))
        return logEnd("sendCopySessionInfo");
    const std::uint8_t sourceByte = record.u8(C::BYTE8);
    const std::uint8_t targetByte = record.u8(C::BYTE9);
    const std::string boxId = fieldText(record.data() + C::BYTES48, C::BYTES48_SIZE);
    // A snapshot data pool volume on this array is served as its pool, not
    // as a volume: no reference could name it, and the enumeration leaves
    // such a session out too.
    const bool remoteSource = copyType == 2 && record.u8(C::STATES + 6) != 0;
    const bool remoteTarget = copyType == 2 && !remoteSource;
    if ((!remoteSource && sourceByte == LU_SNAP_DATA_POOL_VOLUME) ||
        (!remoteTarget && targetByte == LU_SNAP_DATA_POOL_VOLUME)) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                               "sendCopySessionInfo: session of volumes 0x%04x and 0x%04x skipped: a snapshot data "
                               "pool volume is no served volume",
                               sourceNumber, targetNumber);
        return logEnd("sendCopySessionInfo");
    }

    auto localVolume = [&](std::uint16_t number, std::uint8_t luType) -> CIM_ManagedElement* {
        VELDARO_StorageVolume* v = VELDARO_StorageVolume::create(true);
        if (_sources.setKeyProperties(v, number, luType, _storage) != 0) {
            destroy(v);
            return nullptr;
        }
        return cast<CIM_ManagedElement*>(v);
    };
    auto remoteVolume = [&](std::uint16_t number, std::uint8_t kind) -> CIM_ManagedElement* {
        VELDARO_RemoteStorageVolume* v = VELDARO_RemoteStorageVolume::create(true);
        VELDARO_RemoteStorageVolume_Resource remotes(_storage);
        if (remotes.setKeyProperties(v, number, kind, String(boxId.c_str())) != 0) {
            destroy(v);
            return nullptr;
        }
        return cast<CIM_ManagedElement*>(v);
    };
    CIM_ManagedElement* source = nullptr;
    CIM_ManagedElement* target = nullptr;
    if (copyType == 1 || copyType == 3 || copyType == 4) {
        source = localVolume(sourceNumber, sourceByte);
        target = localVolume(targetNumber, targetByte);
    } else if (copyType == 2) {
        // Byte 91 of the session: 0 when this array holds the source. The
        // remote end takes its kind (1 volume, 2 MLU) from its own LU-type
        // byte of the record, as the local end does; the copy relationships
        // read from the session table take it from the session's volume
        // type instead. Both name the same kind for what a remote copy
        // takes.
        if (record.u8(C::STATES + 6) == 0) {
            source = localVolume(sourceNumber, sourceByte);
            target = remoteVolume(targetNumber, targetByte);
        } else {
            source = remoteVolume(sourceNumber, sourceByte);
            target = localVolume(targetNumber, targetByte);
        }
    } else {
        return logEnd("sendCopySessionInfo");
    }
    // Each side of the record: the state bytes 88, 89 and 90 of its session
    // (current at 104, 106, 108; previous at 105, 107, 109), byte 92 of the
    // current session at 111, the start time at 36 and the time stamp at 40
    // (current) or 44 (previous). The amounts are the current session's.
    const std::uint64_t copied = std::uint64_t(record.u32(C::FIELDS24 + 8)) << 32 | record.u32(C::FIELDS24);
    const std::uint64_t total = std::uint64_t(record.u32(C::FIELDS24 + 12)) << 32 | record.u32(C::FIELDS24 + 4);
    auto build = [&](bool current, bool defaultRow) -> VELDARO_StorageSynchronized* {
        VELDARO_StorageSynchronized* s = VELDARO_StorageSynchronized::create(true);
        const std::size_t side = current ? 0 : 1;
        const int r = VELDARO_StorageSynchronized_Resource::setStorageSynchronized(
            s, source, target, copyType, record.u8(C::STATES + side), record.u8(C::STATES + 2 + side),
            record.u8(C::STATES + 4 + side), record.u8(C::STATES + 7), record.u32(C::FIELD12),
            record.u32(current ? C::FIELD16 : C::PREVIOUS_FIELD16), total, copied, defaultRow);
        if (r != 0) {
            destroy(s);
            return nullptr;
        }
        return s;
    };
    VELDARO_StorageSynchronized* sync = nullptr;
    VELDARO_StorageSynchronized* previous = nullptr;
    bool failed = !source || !target;
    if (!failed) {
        switch (type) {
        case INDICATION_CREATION: sync = build(true, false); break;
        case INDICATION_DELETION: sync = build(false, false); break;
        case INDICATION_MODIFICATION:
            sync = build(true, false);
            previous = sync ? build(false, record.u8(C::NO_PREVIOUS) != 0) : nullptr;
            break;
        default:
            destroy(source);
            destroy(target);
            return logInvalidType();
        }
        failed = !sync || (type == INDICATION_MODIFICATION && !previous);
    }
    if (source)
        destroy(source);
    if (target)
        destroy(target);
    if (failed) {
        if (sync)
            destroy(sync);
        return logCreationFailure();
    }
    sendIndicationForInstance(type, sync, previous);
    logEnd("sendCopySessionInfo");
}

void Indication_Builder::sendAffinityGroupMappingInfo(const IndicationRecord& view)
{
    using M = R::VolumeMapping;
    logStart("sendAffinityGroupMappingInfo");
    IndicationRecord record(view.data(), view.size());  // moved mappings are marked in the record
    const std::size_t volumes = record.u16(M::VOLUME_COUNT);
    const std::size_t blocks = record.u16(M::BLOCK_COUNT);
    auto blockAt = [&](std::size_t b) { return M::blockOffset(volumes) + b * M::BLOCK_SIZE; };
    if (!record.fits(blockAt(0), blocks * M::BLOCK_SIZE))
        return;
    auto oldVolume = [&](std::size_t b, unsigned k) { return record.u16(blockAt(b) + M::BLOCK_PAIRS + 4 * k); };
    auto newVolume = [&](std::size_t b, unsigned k) { return record.u16(blockAt(b) + M::BLOCK_PAIRS + 4 * k + 2); };
    auto firstLun = [&](std::size_t b) { return record.u16(blockAt(b) + M::BLOCK_FIRST_LUN); };

    for (std::size_t b = 0; b < blocks; ++b) {
        const std::uint16_t group = record.u16(blockAt(b) + M::BLOCK_GROUP);
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "sendAffinityGroupMappingInfo ag_no=0x%04x", group);
        // The blocks of this group: the block itself and those its links reach.
        std::vector<std::size_t> chain{b};
        for (std::size_t linkOffset : {M::BLOCK_PREV, M::BLOCK_NEXT}) {
            std::size_t at = b;
            for (;;) {
                const std::uint16_t link = record.u16(blockAt(at) + linkOffset);
                if (link == NO_GROUP)
                    break;
                std::size_t found = blocks;
                for (std::size_t c = 0; c < blocks; ++c)
                    if (record.u16(blockAt(c) + M::BLOCK_GROUP) == link) {
                        found = c;
                        break;
                    }
                if (found == blocks || std::find(chain.begin(), chain.end(), found) != chain.end())
                    break;
                chain.push_back(found);
                at = found;
            }
        }
        std::set<std::uint16_t> oldVolumes;
        for (std::size_t c : chain)
            for (unsigned k = 0; k < M::LUNS; ++k)
                if (oldVolume(c, k) != NO_VOLUME)
                    oldVolumes.insert(oldVolume(c, k));

        struct Change {
            int type;
            std::uint16_t volume;
            unsigned lun, previousLun;
        };
        std::vector<Change> changes;
        for (unsigned k = 0; k < M::LUNS; ++k) {
            const std::uint16_t was = oldVolume(b, k);
            if (was == NO_VOLUME || was == newVolume(b, k))
                continue;
            bool moved = false;
            for (std::size_t c : chain) {
                for (unsigned j = 0; j < M::LUNS && !moved; ++j) {
                    if (newVolume(c, j) != was)
                        continue;
                    record.setU16(blockAt(c) + M::BLOCK_PAIRS + 4 * j + 2, NO_VOLUME);
                    changes.push_back({INDICATION_MODIFICATION, was, firstLun(c) + j, firstLun(b) + k});
                    moved = true;
                }
                if (moved)
                    break;
            }
            if (!moved)
                changes.push_back({INDICATION_DELETION, was, firstLun(b) + k, firstLun(b) + k});
        }
        for (unsigned k = 0; k < M::LUNS; ++k) {
            const std::uint16_t now = newVolume(b, k);
            if (now == NO_VOLUME || oldVolumes.count(now))
                continue;
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "sendaffinitygroupmappinginfo OLUN=0x%04x", now);
            changes.push_back({INDICATION_CREATION, now, firstLun(b) + k, firstLun(b) + k});
        }
        for (const Change& c : changes) {
            if (!Indication_Delivery::isIndicationEnabled(c.type))
                continue;
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3,
                                     "sendAffinityGroupMappingInfo prev_OLUN=0x%04x, OLUN=0x%04x",
                                     c.type == INDICATION_CREATION ? NO_VOLUME : c.volume,
                                     c.type == INDICATION_DELETION ? NO_VOLUME : c.volume);
            // A mapping whose instances cannot be made ends the record, as in
            // every other builder: the rest is not delivered.
            if (!sendProtocolControllerForUnit(record, c.type, c.volume, lunText(c.lun).c_str(),
                                               lunText(c.previousLun).c_str()))
                return;
        }
    }
    logEnd("sendAffinityGroupMappingInfo");
}

bool Indication_Builder::sendProtocolControllerForUnit(const IndicationRecord& record, int type, std::uint16_t volume,
                                                       const char* lun, const char* previousLun)
{
    using M = R::VolumeMapping;
    const std::size_t volumes = record.u16(M::VOLUME_COUNT);
    const std::size_t blocks = record.u16(M::BLOCK_COUNT);
    const std::size_t ports = record.u16(M::PORT_COUNT);
    int entry = -1;
    for (std::size_t v = 0; v < volumes; ++v)
        if (record.u16(M::VOLUMES + M::VOLUME_SIZE * v) == volume) {
            entry = static_cast<int>(v);
            break;
        }
    VELDARO_StorageVolume* dependent = entry < 0 ? nullptr : VELDARO_StorageVolume::create(true);
    if (!dependent ||
        _sources.setKeyProperties(dependent, volume, record.u8(M::VOLUMES + M::VOLUME_SIZE * entry + 2), _storage) != 0) {
        if (dependent)
            destroy(dependent);
        logCreationFailure();
        return false;
    }
    const std::uint16_t group = record.u16(M::blockOffset(volumes) + M::BLOCK_GROUP);
    const std::size_t portBase = M::blockOffset(volumes) + blocks * M::BLOCK_SIZE;
    for (std::size_t p = 0; p < ports; ++p) {
        const std::uint8_t mid = record.u8(portBase + M::PORT_SIZE * p);
        const std::uint8_t port = record.u8(portBase + M::PORT_SIZE * p + 1);
        CIM_ManagedElement* antecedent = nullptr;
        if (group == NO_GROUP) {
            VELDARO_LUNMappingController* c = VELDARO_LUNMappingController::create(true);
            if (_sources.setKeyProperties(c, mid, port) != 0)
                destroy(c);
            else
                antecedent = cast<CIM_ManagedElement*>(c);
        } else {
            VELDARO_AffinityGroupController* c = VELDARO_AffinityGroupController::create(true);
            if (_sources.setKeyProperties(c, mid, port, group, _storage) != 0)
                destroy(c);
            else
                antecedent = cast<CIM_ManagedElement*>(c);
        }
        if (!antecedent) {
            destroy(dependent);
            logCreationFailure();
            return false;
        }
        CIM_ProtocolControllerForUnit* source = CIM_ProtocolControllerForUnit::create(true);
        source->Antecedent = cast<CIM_ProtocolController*>(clone(antecedent));
        source->Dependent = cast<CIM_LogicalDevice*>(dependent->clone());
        source->DeviceNumber.set(lun);
        source->DeviceAccess.set(2);
        CIM_ProtocolControllerForUnit* previous = nullptr;
        if (type == INDICATION_MODIFICATION) {
            previous = source->clone();
            previous->DeviceNumber.set(previousLun);
        }
        destroy(antecedent);
        sendIndicationForInstance(type, source, previous);
    }
    destroy(dependent);
    return true;
}

}  // namespace cimple
