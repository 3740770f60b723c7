// Turns one change record into indications: each entry becomes the instance
// that changed (for a modification also the previous one), wrapped in a
// CIM_InstCreation, CIM_InstModification, CIM_InstDeletion or
// CIM_AlertIndication and handed to the handler of its type. Entries whose
// type has no handler are skipped. The builders only read the record.
//
//   Indication_Builder(address).sendRLUInfo(record);
#ifndef SMIS_PROVIDERS_INDICATION_BUILDER_H
#define SMIS_PROVIDERS_INDICATION_BUILDER_H

#include <cimple/cimple.h>

#include <cstdint>
#include <vector>

#include "CIM_AlertIndication.h"
#include "IndicationRecord.h"
#include "Indication_Sources.h"

namespace cimple {

class Indication_Builder {
public:
    explicit Indication_Builder(const String& storageAddress) : _storage(storageAddress), _sources(storageAddress) {}

    // One builder per record kind (1 to 11; kind 10 runs both of its builders).
    void sendRLUInfo(const IndicationRecord& record);
    void sendOLUInfo(const IndicationRecord& record);
    void sendLUNMappingInfo(const IndicationRecord& record);
    void sendHostAffinityGroupInfo(const IndicationRecord& record);
    void sendAffinityGroupMappingInfo(const IndicationRecord& record);
    void sendAlertInfo(const IndicationRecord& record);
    void sendSystemInfo(const IndicationRecord& record);
    void sendAffinityGroupInfo(const IndicationRecord& record);
    void sendCopySessionInfo(const IndicationRecord& record);
    void sendThinProvisioningPoolInfo(const IndicationRecord& record);
    void sendLayerixSubPoolInfo(const IndicationRecord& record);
    void sendLayerixPoolInfo(const IndicationRecord& record);

    // The indication type of an entry's operation byte: 0 none, 1 creation,
    // 3 deletion, 2 modification, -1 any other byte.
    static int opeToIndicationType(std::uint8_t operation);

    // Delivers the source (and previous) instance under the source's model
    // path; destroys both in every case.
    void sendIndicationForInstance(int type, Instance* source, Instance* previous);
    // Builds the indication of the type around the instances, hands it to
    // the type's handler and destroys it, the previous and the source.
    void sendIndication(int type, const String& identity, const String& modelPath, Instance* source,
                        Instance* previous);

private:
    // How a record of entries is walked: the builder's name, the offset of
    // an entry's operation byte, the number its trace shows (name, offset,
    // 16 or 8 bits) and whether modifications are built as well as
    // creations and deletions.
    struct Entry_Walk {
        const char* builder;
        std::size_t operation;
        const char* field;
        std::size_t number;
        bool wide;
        bool modifications;
    };
    // Walks a record's entries, builds each one's instances and delivers
    // them (Indication_Builder.cpp); accept picks the entries this builder
    // takes.
    template <class Accept, class Build>
    void walkEntries(const IndicationRecord& record, const Entry_Walk& walk, Accept accept, Build build);
    template <class Build>
    void walkEntries(const IndicationRecord& record, const Entry_Walk& walk, Build build);

    // One volume-mapping change of a kind-5 record, delivered once per port.
    // False when an instance could not be made: the builder then stops.
    bool sendProtocolControllerForUnit(const IndicationRecord& record, int type, std::uint16_t volume,
                                       const char* lun, const char* previousLun);

    String _storage;
    Indication_Sources _sources;
};

}  // namespace cimple

#endif
