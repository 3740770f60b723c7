#pragma once
// The table index a request's source names by its key: the key text parsed
// by the end Resource's divide_... parser, then looked up in the table.
// For the index column of a request dispatch table:
//
//   {&VELDARO_DiskExtent::static_meta_class, Common::BY_SYSTEM_NAME,
//    Key_Index::of<&VELDARO_DiskExtent_Resource::divide_DeviceID, &VELDARO_RefTable::searchPlunFromDiskTable,
//                  Key_Index::DEVICE_ID>,
//    builders}

#include <cimple/cimple.h>

#include <cstdint>

#include "Association_Provider_Frame.h"
#include "VELDARO_RefTable.h"

namespace cimple {

struct Key_Index {
    static constexpr const char DEVICE_ID[] = "DeviceID";
    static constexpr const char INSTANCE_ID[] = "InstanceID";
    static constexpr const char TAG[] = "Tag";

    // The index that Find gives for the number Parse reads from the Key
    // property; -1 when the key is missing or does not parse, or no entry
    // has that number.
    template <auto Parse, auto Find, const char* Key>
    static int of(const VELDARO_RefTable& table, const Instance* source)
    {
        return parsed<Parse, Find>(table, Association_Provider_Frame::keyText(source, Key));
    }

    // The SLU index of the snapshot data volume (LU type 7) whose number
    // Parse reads from the Key property, or -1.
    template <auto Parse, const char* Key>
    static int snapDataVolume(const VELDARO_RefTable& table, const Instance* source)
    {
        constexpr std::uint8_t LU_SDP = 7;
        std::uint16_t number = 0;
        const char* key = Association_Provider_Frame::keyText(source, Key);
        return key && Parse(key, &number) ? table.searchLunByLuTypeFromSluTable(LU_SDP, number) : -1;
    }

    // The SLU index of the volume whose LU type and number Parse reads
    // from the Key property, or -1.
    template <auto Parse, const char* Key>
    static int typedVolume(const VELDARO_RefTable& table, const Instance* source)
    {
        std::uint8_t type = 0;
        std::uint16_t number = 0;
        const char* key = Association_Provider_Frame::keyText(source, Key);
        return key && Parse(key, &type, &number) ? table.searchLunByLuTypeFromSluTable(type, number) : -1;
    }

    // Parse is bool(const char*, Number*) or bool(const char*, Number*,
    // Extra*) (keys that also carry a place or a second number, which the
    // index does not need).
    template <auto Parse, auto Find>
    static int parsed(const VELDARO_RefTable& table, const char* key)
    {
        if (!key)
            return -1;
        return parseWith<Find>(table, key, Parse);
    }

private:
    template <auto Find, class Number>
    static int parseWith(const VELDARO_RefTable& table, const char* key, bool (*parse)(const char*, Number*))
    {
        Number number{};
        return parse(key, &number) ? (table.*Find)(number) : -1;
    }
    template <auto Find, class Number, class Extra>
    static int parseWith(const VELDARO_RefTable& table, const char* key, bool (*parse)(const char*, Number*, Extra*))
    {
        Number number{};
        Extra extra{};
        return parse(key, &number, &extra) ? (table.*Find)(number) : -1;
    }
};

}  // namespace cimple
