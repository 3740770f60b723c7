// Handler slots and the indication worker.

#include "Indication_Delivery.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "IndicationRecord.h"
#include "Indication_Builder.h"
#include "SMIS_Indication.h"
#include "SMIS_TraceLog.h"

namespace cimple {

namespace {

constexpr int TYPE_COUNT = 4;

// Module-wide state. The destructor, run when the module is unloaded, stops
// a worker that is still running, so that no thread runs code of an
// unloaded library.
struct Delivery_State {
    std::mutex control;  // serialises enable and disable
    std::mutex slots;    // guards the slots; held while a handler is called
    std::unique_ptr<Indication_Sink> slot[TYPE_COUNT];
    std::atomic<int> counter{0};
    std::atomic<int> identity{0};  // 0 empty, 1 running, 2 stopped
    Thread worker;
    bool joinable = false;  // a worker was started and not yet joined

    ~Delivery_State()
    {
        std::lock_guard<std::mutex> lock(control);
        if (joinable) {
            counter.store(0);
            void* ignored = nullptr;
            Thread::join(worker, ignored);
        }
    }
};

Delivery_State& state()
{
    static Delivery_State s;
    return s;
}

bool validType(int type)
{
    return type >= INDICATION_CREATION && type <= INDICATION_ALERT;
}

// True (logged) when an enable or disable names no type served here. The
// provider of CIM_Indication serves no type of its own (0): the host enables
// and disables it with the others at every start and stop, which is no error
// and is said at INFO; any other type is.
bool refusedType(int type)
{
    if (validType(type))
        return false;
    if (type == INDICATION_NONE)
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                               "CIM_Indication serves no indication type of its own: nothing to enable or disable");
    else
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid Indication type");
    return true;
}

}  // namespace

int Indication_Delivery::enableSink(int type, Indication_Sink* given)
{
    // Owned from here on; a sink not kept is deleted (its handler's final
    // call made) with no slot lock held.
    std::unique_ptr<Indication_Sink> sink(given);
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "enable_indications provider_type=0x%08x",
                           static_cast<unsigned>(type));
    if (refusedType(type))
        return ENABLE_INDICATIONS_FAILED;
    if (!sink)
        return ENABLE_INDICATIONS_FAILED;
    Delivery_State& s = state();
    std::lock_guard<std::mutex> control(s.control);
    bool stored = false;
    {
        std::lock_guard<std::mutex> lock(s.slots);
        std::unique_ptr<Indication_Sink>& slot = s.slot[type - 1];
        if (!slot) {
            slot = std::move(sink);
            stored = true;
        }
    }
    sink.reset();
    if (s.counter.load() != 0)
        return ENABLE_INDICATIONS_OK;

    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "Create Thread");
    s.identity.store(1);
    s.counter.fetch_add(1);
    if (s.joinable) {
        // A worker that ended on its own (queue failure, exception) is
        // collected before a new one starts.
        void* ignored = nullptr;
        Thread::join(s.worker, ignored);
        s.joinable = false;
    }
    s.joinable = Thread::create_joinable(s.worker, &Indication_Delivery::indicationThread, nullptr) == 0;
    if (!s.joinable) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Failed in the creation of the thread");
        s.counter.fetch_sub(1);
        s.identity.store(2);
        if (stored) {
            std::lock_guard<std::mutex> lock(s.slots);
            sink = std::move(s.slot[type - 1]);
        }
        return ENABLE_INDICATIONS_FAILED;
    }
    return ENABLE_INDICATIONS_OK;
}

int Indication_Delivery::disable(int type)
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "disable_indications provider_type=0x%08x",
                           static_cast<unsigned>(type));
    if (refusedType(type))
        return DISABLE_INDICATIONS_FAILED;
    Delivery_State& s = state();
    std::lock_guard<std::mutex> control(s.control);
    std::unique_ptr<Indication_Sink> ended;
    bool allEmpty = true;
    {
        // Taken out under the slot lock: a delivery in progress finishes
        // with the handler before it is ended here.
        std::lock_guard<std::mutex> lock(s.slots);
        ended = std::move(s.slot[type - 1]);
        for (const std::unique_ptr<Indication_Sink>& slot : s.slot)
            allEmpty = allEmpty && !slot;
    }
    ended.reset();
    if (allEmpty && s.counter.load() != 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "Delete Thread");
        s.identity.store(2);
        s.counter.fetch_sub(1);
        if (s.joinable) {
            void* ignored = nullptr;
            Thread::join(s.worker, ignored);
            s.joinable = false;
        }
    }
    return DISABLE_INDICATIONS_OK;
}

bool Indication_Delivery::isIndicationEnabled(int type)
{
    if (!validType(type))
        return false;
    Delivery_State& s = state();
    std::lock_guard<std::mutex> lock(s.slots);
    return s.slot[type - 1] != nullptr;
}

bool Indication_Delivery::deliver(int type, Instance* indication)
{
    if (!validType(type))
        return false;
    Delivery_State& s = state();
    std::lock_guard<std::mutex> lock(s.slots);
    Indication_Sink* sink = s.slot[type - 1].get();
    if (!sink)
        return false;
    sink->handle(indication);
    return true;
}

String Indication_Delivery::identity()
{
    switch (state().identity.load()) {
    case 1: return String(IDENTITY);
    case 2: return String(STOPPED_IDENTITY);
    default: return String();
    }
}

bool Indication_Delivery::running()
{
    return state().counter.load() != 0;
}

bool Indication_Delivery::dispatch(const String& storageAddress, const IndicationRecord& record)
{
    if (!record.isWellFormed()) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid Target");
        return false;
    }
    Indication_Builder builder(storageAddress);
    switch (record.kind()) {
    case IndicationRecord::KIND_RLU: builder.sendRLUInfo(record); break;
    case IndicationRecord::KIND_VOLUME: builder.sendOLUInfo(record); break;
    case IndicationRecord::KIND_LUN_MAPPING: builder.sendLUNMappingInfo(record); break;
    case IndicationRecord::KIND_HOST_AFFINITY: builder.sendHostAffinityGroupInfo(record); break;
    case IndicationRecord::KIND_VOLUME_MAPPING: builder.sendAffinityGroupMappingInfo(record); break;
    case IndicationRecord::KIND_ALERT: builder.sendAlertInfo(record); break;
    case IndicationRecord::KIND_SYSTEM: builder.sendSystemInfo(record); break;
    case IndicationRecord::KIND_AFFINITY_GROUP: builder.sendAffinityGroupInfo(record); break;
    case IndicationRecord::KIND_COPY_SESSION: builder.sendCopySessionInfo(record); break;
    case IndicationRecord::KIND_TPP:
        builder.sendThinProvisioningPoolInfo(record);
        builder.sendLayerixSubPoolInfo(record);
        break;
    case IndicationRecord::KIND_LXRP: builder.sendLayerixPoolInfo(record); break;
    default:
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid Target");
        return false;
    }
    return true;
}

void* Indication_Delivery::indicationThread(void*)
{
    Delivery_State& s = state();
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "indicationThread Start");
    SMIS_Indication queue;
    if (queue.mq_create(READ_TIMEOUT_MS) == 1) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Failed in the opening of the message queue");
        return nullptr;
    }
    void* held = nullptr;
    try {
        while (s.counter.load() != 0) {
            void* address = nullptr;
            unsigned long size = 0;
            if (queue.mq_receive(address, size) != 0 || !address)
                continue;
            held = address;
            if (s.identity.load() != 1) {
                // Arrived after the last disable: dropped unread.
                std::free(held);
                held = nullptr;
                continue;
            }
            IndicationRecord record(address, size);
            SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL3, "msgReceive target=0x%02x", record.kind());
            dispatch(SMIS_Indication::convIPtoString(record.address()), record);
            std::free(held);
            held = nullptr;
        }
    } catch (...) {
        std::free(held);
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Exception was generated");
    }
    if (queue.mq_unlink() != 0)
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Failed in the close of the message queue");
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "indicationThread End");
    return nullptr;
}

}  // namespace cimple
