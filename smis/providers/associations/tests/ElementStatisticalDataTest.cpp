// Each live iSCSI session with the statistics of that session, from the
// logins and statistics an array reports through its status cache.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "ByteOrder.h"
#include "CIM_ElementStatisticalData.h"
#include "CIM_ElementStatisticalData_Provider.h"
#include "CMTBuilder.h"
#include "PortProviderFixture.h"

using assoc_test::Held_List;
using cimple::SMIS_CMTAccess;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = "10.0.0.5";

struct Login {
    std::string initiator;
    std::uint8_t isid;
    std::uint16_t tsih;
};

std::vector<std::uint8_t> loginRecord(const Login& l)
{
    std::vector<std::uint8_t> r(320, 0);
    std::memcpy(r.data(), l.initiator.data(), l.initiator.size());
    smis::storeLE16(&r[256], l.tsih);
    const std::uint8_t isid[6] = {0x40, 0x00, 0x01, 0x37, 0x00, l.isid};
    std::memcpy(&r[258], isid, 6);
    smis::storeLE16(&r[264], 1);
    r[266] = 1;
    return r;
}

const Login H1{"iqn.example:h1", 0, 0x0012};
const Login H2{"iqn.example:h2", 1, 0x0013};

class ElementStatisticalData : public smis::test::PortProviderFixture {
protected:
    // One iSCSI CA (module 0x10: CM 0, CA 1) with ports 0 and 1.
    void install()
    {
        CMTBuilder a;
        a.maxCounts({});
        a.ca(0x10004000).Status(1).ModuleId(0x10).Type(0x2100).RealType(0x2100);
        CMT_CADetailRecordW d = a.caDetail(0x10004000);
        for (std::size_t p = 0; p < 2; ++p)
            CMTBuilder::caPort(d, p).Status(0xE001).PortNo(static_cast<std::uint8_t>(p));
        a.installCmf(A);
        configure({A});
    }

    static void logins(std::uint8_t portNo, const std::vector<Login>& list)
    {
        std::vector<std::uint8_t> data;
        for (const Login& l : list) {
            auto r = loginRecord(l);
            data.insert(data.end(), r.begin(), r.end());
        }
        const std::uint8_t key[2] = {0x10, portNo};
        ASSERT_EQ(cache().SetExTableInfo(A, SMIS_CMTAccess::EX_ISCSI_LOGIN, key, data.empty() ? nullptr : data.data(),
                                         320, static_cast<unsigned>(list.size()), 0),
                  0);
    }

    static void statistics(std::uint8_t portNo, const Login& l)
    {
        std::uint8_t request[240] = {};
        request[0] = 0x10;
        request[1] = portNo;
        std::memcpy(request + 8, l.initiator.data(), l.initiator.size());
        smis::storeLE16(request + 232, l.tsih);
        const std::uint8_t isid[6] = {0x40, 0x00, 0x01, 0x37, 0x00, l.isid};
        std::memcpy(request + 234, isid, 6);
        std::uint8_t reply[64] = {};
        ASSERT_EQ(cache().SetExTableInfo(A, SMIS_CMTAccess::EX_ISCSI_STATISTICS, request, reply, sizeof reply, 1, 0),
                  0);
    }

    static std::vector<std::string> pairs(const Held_List& list)
    {
        std::vector<std::string> out;
        for (const auto& i : list)
            out.push_back(assoc_test::text(assoc_test::end(i.get(), "ManagedElement"), "InstanceID") + " | " +
                          assoc_test::text(assoc_test::end(i.get(), "Stats"), "InstanceID"));
        return out;
    }

    cimple::CIM_ElementStatisticalData_Provider provider;
};

TEST_F(ElementStatisticalData, EachSessionWithItsOwnStatistics)
{
    install();
    logins(0, {H1, H2});
    logins(1, {});
    statistics(0, H1);
    statistics(0, H2);
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ElementStatisticalData>(provider, list), 0);
    EXPECT_EQ(pairs(list),
              (std::vector<std::string>{
                  "VELDARO:iSS_iqn.example:h1,i,0x400001370000_0x0012_00_01_10.0.0.5 | "
                  "VELDARO:iSSSTATS_iqn.example:h1,i,0x400001370000_0x0012_00_01_10.0.0.5",
                  "VELDARO:iSS_iqn.example:h2,i,0x400001370001_0x0013_00_01_10.0.0.5 | "
                  "VELDARO:iSSSTATS_iqn.example:h2,i,0x400001370001_0x0013_00_01_10.0.0.5",
              }));
}

TEST_F(ElementStatisticalData, NoSessionsNoPairs)
{
    install();
    logins(0, {});
    logins(1, {});
    statistics(0, H1);
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ElementStatisticalData>(provider, list), 0);
    EXPECT_TRUE(list.empty());
}

}  // namespace
