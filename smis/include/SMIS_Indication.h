#pragma once
// The indication queue end and the change detection that feeds it.
//
// The queue is the in-process named queue INDICATION_QUEUE_NAME. The
// indication worker owns its receiving end (mq_create ... mq_unlink) and
// takes one record per mq_receive; producers, each on a temporary object,
// compare two states of one array and send one IndicationRecord per changed
// kind. While the queue does not exist every producer returns 0 at once.
// A sent record belongs to the queue, then to the receiver, which frees it
// with free(); records still queued when the queue is removed are freed.
//
//   SMIS_Indication worker;                       // consumer
//   worker.mq_create(500);
//   void* p; unsigned long size;
//   worker.mq_receive(p, size);                   // p NULL: nothing in 500 ms
//   ... IndicationRecord(p, size) ... free(p);
//
//   SMIS_Indication().indicationConfigManagement(newView, oldView);  // producer

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <cimple/String.h>

#include "IndicationRecord.h"
#include "SMIS_AccessCom.h"

struct SMIS_CMT;
// 32-byte thin pool usage record: u16 pool number at 0, u32 total MiB at 4,
// u32 used MiB at 8. Read only through its bytes.
struct CMM_RD_TP_POOL_ALARM_INFO;
// 96-byte copy-session record; read only through its bytes.
struct SMIS_COPY_SESSION_INFO;

namespace smis::platform {
class RecordQueue;
}

namespace cimple {

class VELDARO_RefTable;

class SMIS_Indication : public SMIS_AccessCom {
public:
    static constexpr const char* INDICATION_QUEUE_NAME = "\\\\.\\mailslot\\smis_indication_message";
    static constexpr std::size_t POOL_ALARM_RECORD_SIZE = 32;
    static constexpr std::size_t COPY_SESSION_RECORD_SIZE = 96;
    static constexpr unsigned COPY_SESSION_ID_COUNT = 65536;

    SMIS_Indication();
    // Removes the queue when this object created it.
    ~SMIS_Indication();
    // A receiving end is unique: objects are not copied.
    SMIS_Indication(const SMIS_Indication&) = delete;
    SMIS_Indication& operator=(const SMIS_Indication&) = delete;

    // ---- queue end ----
    // 0 created; 2 when this object already holds the queue ("Mailslot is
    // already opened"); 1 when a queue of that name exists elsewhere.
    int mq_create(unsigned long readTimeoutMs);
    // Removes the queue and frees the records still in it; 3 when this
    // object holds none.
    int mq_unlink();
    // The next record (address and its byte size), waiting up to the read
    // time-out; address NULL and size 0 when none arrived. 0, or 3 without a
    // queue. The caller owns the record and frees it with free().
    int mq_receive(void*& address, unsigned long& size);
    // True while the queue exists in this process.
    bool is_mq_create();

    static std::uint32_t convIPtoLong(const String& address);
    static String convIPtoString(std::uint32_t address);

    // ---- producers (0 success, else the first failure) ----
    int indicationConfigManagement(const VELDARO_RefTable& newTable, const VELDARO_RefTable& oldTable);
    int indicationStatus(const VELDARO_RefTable& table, std::uint8_t newStatus, std::uint8_t oldStatus);
    int indicationTPPoolAlarmInfo(const VELDARO_RefTable& table, const CMM_RD_TP_POOL_ALARM_INFO* newInfo,
                                  unsigned short newCount, const CMM_RD_TP_POOL_ALARM_INFO* oldInfo,
                                  unsigned short oldCount);
    // Either table may be NULL (no sessions).
    int indicationCopySession(const String& address, const SMIS_CMT* newTable, const SMIS_CMT* oldTable);
    // Either record may be NULL (absent).
    int indicationCopySessionSingle(const String& address, const SMIS_COPY_SESSION_INFO* newInfo,
                                    const SMIS_COPY_SESSION_INFO* oldInfo);

    // Alarm level 0-3 of the pool of record index (-1: 0) in info (count
    // records of 32 bytes); pool numbers used are added to handled.
    static int alarmLevel(const VELDARO_RefTable& table, const std::uint8_t* info, unsigned count, int index,
                          std::vector<std::uint16_t>& handled);

protected:
    // Hands a record to the queue; on failure the record is freed. 0 sent, 1 not.
    int mq_send(IndicationRecord record);

private:
    // kind producers of indicationConfigManagement
    int indicationStoragePool(const VELDARO_RefTable& n, const VELDARO_RefTable& o);
    int indicationStorageVolume_OLU(const VELDARO_RefTable& n, const VELDARO_RefTable& o);
    int indicationStorageVolume_MLU(const VELDARO_RefTable& n, const VELDARO_RefTable& o);
    int indicationStorageVolume_SLU(const VELDARO_RefTable& n, const VELDARO_RefTable& o);
    int indicationLUNMappingController(const VELDARO_RefTable& n, const VELDARO_RefTable& o);
    int indicationAffinityGroupController(const VELDARO_RefTable& n, const VELDARO_RefTable& o);
    int indicationAuthorizedSubject(const VELDARO_RefTable& n, const VELDARO_RefTable& o);
    int indicationProtocolControllerForUnit(const VELDARO_RefTable& n, const VELDARO_RefTable& o);
    int indicationProtocolControllerForUnit_LM(const VELDARO_RefTable& n, const VELDARO_RefTable& o);
    int indicationThinProvisioningPool(const VELDARO_RefTable& n, const VELDARO_RefTable& o);
    int indicationLayerixPool(const VELDARO_RefTable& n, const VELDARO_RefTable& o);
    int indicationComputerSystem(const VELDARO_RefTable& table, std::uint8_t newStatus, std::uint8_t oldStatus);
    int indicationAlert(const VELDARO_RefTable& table, const std::uint8_t* newInfo, unsigned newCount,
                        const std::uint8_t* oldInfo, unsigned oldCount);
    int compareCopySessions(const String& address, const SMIS_CMT* newTable, const SMIS_CMT* oldTable);
    int sendCopySession(std::uint32_t address, int operation, const std::uint8_t* current,
                        const std::uint8_t* previous);
    // Sends the changes of one producer (operation in bits 16-23, key in bits
    // 0-15) as records of the kind with at most chunk entries each, in order:
    // header fills the kind's header fields, fill one entry at its offset.
    // 0, 1 when a record cannot be allocated, or the failing send's result.
    int sendEntries(unsigned kind, const std::vector<std::uint32_t>& items, std::size_t chunk, std::uint32_t address,
                    const std::function<void(IndicationRecord&)>& header,
                    const std::function<void(IndicationRecord&, std::size_t, std::uint32_t)>& fill,
                    const char* entryTrace);
    int sendVolumeMapping(const VELDARO_RefTable& n, const VELDARO_RefTable& o, const std::uint16_t* newMap,
                          const std::uint16_t* oldMap, std::uint16_t group, const std::vector<int>& ports);

    std::unique_ptr<smis::platform::RecordQueue> _queue;
    unsigned long _readTimeoutMs = 0;
};

}  // namespace cimple
