#pragma once
// Table records and source instances for the association provider tests:
// disks, RAID groups and their member sets (DLUs), and extent sources keyed
// by storage address and DeviceID.

#include <cstdint>
#include <initializer_list>

#include "AssociationCalls.h"
#include "CMTBuilder.h"

namespace assoc_test::tables {

using smis::test::CMTBuilder;

inline void disk(CMTBuilder& b, std::uint16_t plun, std::uint16_t dlun, std::uint64_t blocks, bool broken = false)
{
    // A "broken" disk's item id does not carry its number; the disk is still
    // found by its own number.
    const std::uint32_t item = 0x80000000u | (broken ? 0x0999u : plun);
    b.disk(item, plun).Status(0).Usage(2).Dlun(dlun).WholeBlockCount(blocks).VenderId("VNDR").ProductId("PROD")
        .SerialNo("SN");
}

inline void dlu(CMTBuilder& b, std::uint16_t dlun, std::uint16_t rlun, std::uint8_t memberSet,
         std::initializer_list<std::uint16_t> pluns)
{
    auto d = b.dlu(dlun);
    d.Dlun(dlun).Status(0).Rlun(rlun).MemberDiskNumber(memberSet).BlockCount(4096).MemberDiskCount(
        static_cast<std::uint8_t>(pluns.size()));
    for (std::size_t s = 0; s < 16; ++s)
        d.UsePlu(s, 0xFFFF);
    std::size_t s = 0;
    for (std::uint16_t p : pluns)
        d.UsePlu(s++, p);
}

inline auto group(CMTBuilder& b, std::uint16_t rlun, std::uint8_t level)
{
    auto r = b.rlu(rlun);
    for (std::size_t k = 0; k < 16; ++k)
        r.Dlun(k, 0xFFFF);
    r.Rlun(rlun).Status(0x2000).RaidLevel(level).CurrentCMMID(0x10).RlbaCount(8192);
    return r;
}

template <class C>
assoc_test::Held extent(const char* system, const char* id)
{
    C* c = C::create();
    c->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
    c->SystemName.set(system);
    c->CreationClassName.set(C::static_meta_class.name);
    c->DeviceID.set(id);
    return assoc_test::Held(c);
}


}  // namespace assoc_test::tables
