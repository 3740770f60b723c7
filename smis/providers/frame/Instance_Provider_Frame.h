#pragma once
// What every instance provider shares: the provider's get_instance and
// enum_instances for the three shapes of a provider/builder pair, the first
// steps of every request (which arrays it concerns, whether their table may
// be read), the creation of a new instance with every property present, and
// the failure logging.
//
// The storage address a request works on is kept per request (a local of
// the call), never in the provider object, so that one provider object may
// serve several requests at once. An enumeration whose client has gone
// stops before its next array or entry: nothing is built for nobody.
//
// Indexed pair (one instance per table entry). The provider's source defines
// a traits struct and forwards its two operations:
//
//   struct Frame_Traits {
//       using Model = VELDARO_DiskExtent;
//       // The address of a get request (60 when false).
//       static bool storage(const Model* model, String& address)
//       { return Instance_Provider_Frame::storageFromSystemName(model->SystemName, address); }
//       // Parse the model's key, find the entry, build it: 0 with an
//       // instance, 1 error (no instance).
//       static int getOne(const String& address, const VELDARO_RefTable& table,
//                         const Model* model, Model*& instance);
//       // Build every instance of the storage into the sink: 0 or 1.
//       static int enumAll(const String& address, const VELDARO_RefTable& table,
//                          Enum_Instances_Handler<Model>* handler);
//   };
//   Get_Instance_Status X_Provider::get_instance(const X* model, X*& instance)
//   { return Instance_Provider_Frame::indexedGet<Frame_Traits>(model, instance); }
//
// List pair (all instances of one storage at once) and locked list pair (one
// fixed set, no storage): see listGet/listEnum and lockedListGet/lockedListEnum.

#include <cimple/cimple.h>

#include <exception>

#include "CommonBase.h"
#include "Instance_Common.h"
#include "SMIS_RequestContext.h"
#include "VELDARO_RefTable.h"
#include "Instance_Keys.h"

namespace cimple {

class Instance_Provider_Frame {
public:
    // Build results inside a pair.
    static constexpr int BUILD_OK = 0;
    static constexpr int BUILD_ERROR = 1;
    static constexpr int BUILD_NO_TABLE = 2;

    // True when address is exactly one of the configured array addresses.
    // Reads the configuration only: no table view, no cache.
    static bool isConfiguredStorage(const String& address);

    // The whole SystemName value, when present and configured.
    static bool storageFromSystemName(const Property<String>& systemName, String& address);
    // The text behind the last "_" of an InstanceID or Tag key, when the key
    // has one and it names a configured array.
    static bool storageFromKeySuffix(const Property<String>& key, String& address);

    // "Generation of Instance went wrong." / "Abnormalities occurred in
    // Instance Provider." at warning level with the caller's file and line.
    static void logBuildFailure(const char* file, unsigned line);
    // A build whose live status could not be asked (the array's channel
    // stayed busy, SMIS_CommandCom::CHANNEL_BUSY) and of which no earlier
    // answer is kept: it fails rather than answer "none" for an array that
    // works. Logs and answers BUILD_ERROR.
    static int failChannelBusy(const char* file, unsigned line);
    static void logProviderFailure(const char* file, unsigned line);

    // A new instance with the schema's defaults and every property present.
    template <class Model>
    static Model* newInstance()
    {
        Model* instance = Model::create(true);
        __set_null_flags(instance, true, true, 0);
        return instance;
    }

    // A new instance keyed by InstanceID alone, every other property null;
    // NULL when it cannot be made (logged).
    template <class Model>
    static Model* keyedByInstanceID(const String& instanceID)
    {
        Model* instance = nullptr;
        try {
            instance = Model::create(true);
            instance->InstanceID.set(instanceID);
            __set_null_flags(instance, false, true, 1);
            return instance;
        } catch (...) {
            if (instance)
                destroy(instance);
            logBuildFailure(__FILE__, __LINE__);
            return nullptr;
        }
    }

    // Hands each instance of a build over to the handler (ownership passes).
    template <class Model>
    static void deliver(Enum_Instances_Handler<Model>* handler, Model* instance)
    {
        if (instance)
            handler->handle(instance);
    }

    // Walks entries 0 .. count-1 with build(index, Model*&) -> 0/1 and hands
    // each instance made to the handler; 1 at the first failing entry, and
    // once the request's client is gone (nothing more is built for nobody).
    template <class Model, class Build>
    static int enumIndexes(std::uint32_t count, Enum_Instances_Handler<Model>* handler, Build build)
    {
        for (std::uint32_t i = 0; i < count; ++i) {
            if (SMIS_RequestContext::currentClientGone())
                return BUILD_ERROR;
            Model* instance = nullptr;
            const int result = build(static_cast<int>(i), instance);
            if (result != BUILD_OK) {
                if (instance)
                    destroy(instance);
                return BUILD_ERROR;
            }
            deliver(handler, instance);
        }
        return BUILD_OK;
    }

    // ---- indexed pair ----

    template <class Traits>
    static Get_Instance_Status indexedGet(const typename Traits::Model* model, typename Traits::Model*& instance)
    {
        instance = nullptr;
        String address;
        try {
            if (!model || !Traits::storage(model, address))
                return GET_INSTANCE_NOT_FOUND;
        } catch (...) {
            logProviderFailure(__FILE__, __LINE__);
            return GET_INSTANCE_NOT_FOUND;
        }
        const int result = indexedGetWorker<Traits>(address, model, instance);
        return static_cast<Get_Instance_Status>(Instance_Common::checkGetInstanceResult(result));
    }

    template <class Traits>
    static Enum_Instances_Status indexedEnum(const typename Traits::Model* /*model*/,
                                             Enum_Instances_Handler<typename Traits::Model>* handler)
    {
        if (!handler)
            return ENUM_INSTANCES_FAILED;
        Array<String> addresses;
        try {
            if (!CommonBase::get_storage_iplist(addresses))
                return ENUM_INSTANCES_FAILED;
        } catch (...) {
            logProviderFailure(__FILE__, __LINE__);
            return ENUM_INSTANCES_FAILED;
        }
        int result = BUILD_OK;
        for (size_t i = 0; i < addresses.size(); ++i) {
            if (SMIS_RequestContext::currentClientGone())
                return ENUM_INSTANCES_FAILED; // no array more is read for nobody
            result = indexedEnumWorker<Traits>(addresses[i], handler);
            if (result == BUILD_ERROR)
                break;
        }
        return static_cast<Enum_Instances_Status>(Instance_Common::checkEnumInstanceResult(result));
    }

    // ---- list pair ----
    // Traits: Model, Builder (constructed on the address), static int
    // build(Builder&) -> 0/1/2, static Array<Model*>& list(Builder&).

    template <class Traits>
    static Get_Instance_Status listGet(const typename Traits::Model* model, typename Traits::Model*& instance)
    {
        instance = nullptr;
        if (!model)
            return GET_INSTANCE_NOT_FOUND;
        try {
            Array<String> addresses;
            if (!CommonBase::get_storage_iplist(addresses))
                return GET_INSTANCE_NOT_FOUND;
            for (size_t i = 0; i < addresses.size(); ++i) {
                typename Traits::Builder builder(addresses[i]);
                if (Traits::build(builder) != BUILD_OK)
                    continue;
                if ((instance = cloneEqual(Traits::list(builder), model)))
                    return GET_INSTANCE_OK;
            }
        } catch (...) {
            logProviderFailure(__FILE__, __LINE__);
        }
        return GET_INSTANCE_NOT_FOUND;
    }

    template <class Traits>
    static Enum_Instances_Status listEnum(const typename Traits::Model* /*model*/,
                                          Enum_Instances_Handler<typename Traits::Model>* handler)
    {
        if (!handler)
            return ENUM_INSTANCES_FAILED;
        try {
            Array<String> addresses;
            if (!CommonBase::get_storage_iplist(addresses))
                return ENUM_INSTANCES_FAILED;
            for (size_t i = 0; i < addresses.size(); ++i) {
                if (SMIS_RequestContext::currentClientGone())
                    return ENUM_INSTANCES_FAILED; // no array more is read for nobody
                typename Traits::Builder builder(addresses[i]);
                const int result = Traits::build(builder);
                if (result == BUILD_ERROR)
                    return ENUM_INSTANCES_FAILED;
                if (result == BUILD_OK)
                    cloneAll(Traits::list(builder), handler);
            }
        } catch (...) {
            logProviderFailure(__FILE__, __LINE__);
            return ENUM_INSTANCES_FAILED;
        }
        return ENUM_INSTANCES_OK;
    }

    // ---- locked list pair ----
    // Traits: Model, Builder (default constructed), static Mutex&
    // mutex(Builder&), static int build(Builder&), static Array<Model*>&
    // list(Builder&). The mutex is released before the builder goes.

    template <class Traits>
    static Get_Instance_Status lockedListGet(const typename Traits::Model* model, typename Traits::Model*& instance)
    {
        instance = nullptr;
        if (!model)
            return GET_INSTANCE_NOT_FOUND;
        try {
            typename Traits::Builder builder;
            Auto_Mutex lock(Traits::mutex(builder));
            if (Traits::build(builder) == BUILD_OK && (instance = cloneEqual(Traits::list(builder), model)))
                return GET_INSTANCE_OK;
        } catch (...) {
            logProviderFailure(__FILE__, __LINE__);
        }
        return GET_INSTANCE_NOT_FOUND;
    }

    template <class Traits>
    static Enum_Instances_Status lockedListEnum(const typename Traits::Model* /*model*/,
                                                Enum_Instances_Handler<typename Traits::Model>* handler)
    {
        if (!handler)
            return ENUM_INSTANCES_FAILED;
        try {
            typename Traits::Builder builder;
            Auto_Mutex lock(Traits::mutex(builder));
            const int result = Traits::build(builder);
            if (result == BUILD_ERROR)
                return ENUM_INSTANCES_FAILED;
            if (result == BUILD_OK)
                cloneAll(Traits::list(builder), handler);
        } catch (...) {
            logProviderFailure(__FILE__, __LINE__);
            return ENUM_INSTANCES_FAILED;
        }
        return ENUM_INSTANCES_OK;
    }

    // Destroys every instance of a list and empties it (list builders'
    // destructors, failed builds).
    template <class Model>
    static void destroyAll(Array<Model*>& list)
    {
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i])
                destroy(list[i]);
        list.clear();
    }

private:
    template <class Traits>
    static int indexedGetWorker(const String& address, const typename Traits::Model* model,
                                typename Traits::Model*& instance)
    {
        typename Traits::Model* built = nullptr;
        try {
            VELDARO_RefTable table(address.c_str());
            const int first = Instance_Common::icFirstCommonProcess(&table);
            if (first != BUILD_OK)
                return first;
            const int result = Traits::getOne(address, table, model, built);
            if (result != BUILD_OK || !built || !same_instance(built, model)) {
                if (built)
                    destroy(built);
                return BUILD_ERROR;
            }
            instance = built;
            return BUILD_OK;
        } catch (...) {
            if (built)
                destroy(built);
            logProviderFailure(__FILE__, __LINE__);
            return BUILD_ERROR;
        }
    }

    template <class Traits>
    static int indexedEnumWorker(const String& address, Enum_Instances_Handler<typename Traits::Model>* handler)
    {
        try {
            VELDARO_RefTable table(address.c_str());
            const int first = Instance_Common::icFirstCommonProcess(&table);
            if (first != BUILD_OK)
                return first;
            return Traits::enumAll(address, table, handler) == BUILD_OK ? BUILD_OK : BUILD_ERROR;
        } catch (...) {
            logProviderFailure(__FILE__, __LINE__);
            return BUILD_ERROR;
        }
    }

    template <class Model>
    static Model* cloneEqual(const Array<Model*>& list, const Model* model)
    {
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] && same_instance(list[i], model))
                return list[i]->clone();
        return nullptr;
    }

    template <class Model>
    static void cloneAll(const Array<Model*>& list, Enum_Instances_Handler<Model>* handler)
    {
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i])
                handler->handle(list[i]->clone());
    }
};

}  // namespace cimple
