#pragma once
// The remote-copy paths of one array, read once from the array: per remote
// box its box ID and its path entries (the local channel-adapter module and
// port each path leaves from, and its state). The raw records are copied
// out with every count bounded by the record's room: a box ID without its
// terminator is cut at 40 characters, a path count above 8 is read as 8,
// and a query that hands back no records is an empty answer.
//
// Also the mapping between an endpoint's port identity (controller module,
// channel adapter, port) and the module ID and module port of a path.

#include <cimple/cimple.h>

#include <cstdint>
#include <string>
#include <vector>

namespace cimple {

class Remote_Path_Records {
public:
    struct Path {
        std::uint8_t module;  // the local channel-adapter module ID
        std::uint8_t port;    // the port on that module
        std::uint8_t state;   // 0: usable
        bool usable() const { return state == 0; }
    };
    struct Box {
        std::string id;
        std::vector<Path> paths;
    };

    // The endpoint's port identity as a path names it, and back.
    struct Port {
        std::uint32_t cm;
        std::uint32_t ca;
        std::uint32_t portNo;
        bool operator==(const Port&) const = default;
    };
    static std::uint8_t moduleIdOf(const Port& port);
    static std::uint8_t modulePortOf(const Port& port);
    static Port portOf(const Path& path);
    template <class Endpoint>
    static Port portOfEndpoint(const Endpoint& e)
    {
        return Port{e.CMSlotNumber.value, e.CASlotNumber.value, e.PortNo.value};
    }

    // Queries the array: every remote box (boxId null) or the one box. The
    // array's result (0 done); nothing is kept on failure.
    unsigned char query(const String& storage, const char* boxId = nullptr);
    // The same from raw records (count of them, null for none).
    void read(const void* records, unsigned short count);

    const std::vector<Box>& boxes() const { return _boxes; }
    // The box with that ID (compared on at most 40 characters), or null.
    const Box* find(const char* boxId) const;

private:
    std::vector<Box> _boxes;
};

}  // namespace cimple
