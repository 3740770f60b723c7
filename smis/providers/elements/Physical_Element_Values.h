#pragma once
// Values shared by the builders of the array's hardware elements
// (enclosures, cards, modules, disks, power supplies, fans, batteries and
// slots): fixed texts, the status properties and printf-style key texts.
//
//   made->Tag.set(Physical_Element_Values::format("DE0x%02x_%s", de, address.c_str()));
//   made->OperationalStatus.set(Physical_Element_Values::statusList(status));

#include <cimple/cimple.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>

namespace cimple {

struct Physical_Element_Values {
    static constexpr const char* SERVER_NAME = "VELDARO:KESTRIS SMI-S Proxy Server";
    static constexpr const char* MANUFACTURER = "VELDARO";
    static constexpr const char* UNKNOWN_MODEL = "Unknown";
    static constexpr const char* CONTROLLER_ENCLOSURE = "ControllerEnclosure";
    // A unit number that does not apply (all 32 bits set).
    static constexpr std::uint32_t NO_NUMBER = 0xFFFFFFFFu;
    // RemovalConditions: removable while powered / not applicable.
    static constexpr std::uint16_t REMOVABLE_WHEN_ON = 4;
    static constexpr std::uint16_t NOT_REMOVABLE = 2;

    // The one-element OperationalStatus of a unit.
    static Array<uint16> statusList(int status)
    {
        Array<uint16> list;
        list.append(static_cast<uint16>(status));
        return list;
    }

    // An enclosure's OperationalStatus: the first status, then the second
    // when it is above 0 and differs from the first.
    static Array<uint16> statusList(int first, int second)
    {
        Array<uint16> list = statusList(first);
        if (second > 0 && second != first)
            list.append(static_cast<uint16>(second));
        return list;
    }

    // The formatted text (cut at 255 characters; every caller's text is shorter).
    [[gnu::format(printf, 1, 2)]] static String format(const char* fmt, ...)
    {
        char buf[256];
        va_list args;
        va_start(args, fmt);
        std::vsnprintf(buf, sizeof buf, fmt, args);
        va_end(args);
        return String(buf);
    }
};

}  // namespace cimple
