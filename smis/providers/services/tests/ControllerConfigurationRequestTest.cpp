// The masking methods' checks against an installed table image: every case
// here ends before anything is sent to the array (no login is configured).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "SMIS_CMTAccess.h"
#include "Controller_Configuration_Request.h"
#include "TempInstallDir.h"
#include "VELDARO_AffinityGroupController.h"
#include "VELDARO_LUNMappingController.h"
#include "VELDARO_ValueConv.h"

using cimple::Array;
using cimple::CIM_SCSIProtocolController;
using cimple::Controller_Configuration_Request;
using cimple::String;
using smis::test::CMTBuilder;
using Request = Controller_Configuration_Request;

namespace {

constexpr const char* A = "10.0.0.32";
const unsigned char NODE_WWN[8] = {0x50, 0x00, 0x0b, 0x5d, 0x6a, 0x01, 0x02, 0x03};
// Host-affinity port: module 0x52, port 1 (CM02 CA01 P01). LUN-mapping
// port: module 0x40, port 0 (CM00 CA00 P00), the default view number 0.
constexpr const char* HOST_PORT_WWN = "500000E0D0000101";
constexpr const char* MAP_PORT_WWN = "500000E0D0000200";
constexpr const char* HOST0 = "1000000000000A01";  // bound to group 3 on the host port
constexpr const char* HOST1 = "1000000000000A02";  // registered, bound nowhere
constexpr const char* VIEW = "AFG0003_CM02CA01P01";
constexpr const char* DEFAULT_VIEW = "LM_CM00CA00P00";

std::string padded(const char* text)
{
    std::string s(text);
    s.resize(16, '\0');
    return s;
}

String volumeName(std::uint16_t olun) { return cimple::VELDARO_ValueConv::makeVpd83Name(olun, NODE_WWN); }

class ControllerConfigurationRequest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cimple::SMIS_CMTAccess::destroy();
        CMTBuilder b;
        b.maxCounts({.olu = 8, .slu = 8, .rlu = 2, .dlu = 2, .mlu = 2, .affinityGroups = 16});
        b.sys().NodeWWN({0x50, 0x00, 0x0b, 0x5d, 0x6a, 0x01, 0x02, 0x03});
        b.rlu(0).Status(0x2000).RaidLevel(1);
        for (std::uint16_t v : {3, 5}) {
            b.olu(v).Status(0).SluCount(1).Slun(0, v).OlbaCount(4096).Name(padded("VOL"));
            b.slu(v).Status(0).LuType(1).Rlun(0).Olun(v).Mlun(0xFFFF).SlbaCount(4096);
        }
        b.ca(0x10000000).Status(1).ModuleId(0x40).Type(0x0600).RealType(0x0600);
        CMTBuilder::caPort(b.caDetail(0x10000000), 0).Status(0xE001).PortNo(0).SecurityMode(0).RAMode(0)
            .Wwn({0x50, 0, 0, 0xE0, 0xD0, 0, 0x02, 0x00});
        b.ca(0x10000100).Status(1).ModuleId(0x52).Type(0x0600).RealType(0x0600);
        CMTBuilder::caPort(b.caDetail(0x10000100), 0).Status(0xE001).PortNo(1).SecurityMode(0x80).RAMode(0)
            .Wwn({0x50, 0, 0, 0xE0, 0xD0, 0, 0x01, 0x01});
        b.host(0).ValidFlag(1).Type(0).WWN({0x10, 0, 0, 0, 0, 0, 0x0A, 0x01});
        b.host(1).ValidFlag(1).Type(0).WWN({0x10, 0, 0, 0, 0, 0, 0x0A, 0x02});
        CMT_AffinityW g = b.affinity(3);
        g.Definition(1).GroupName("AG3").PrevNumber(0xFFFF).NextNumber(0xFFFF);
        for (std::size_t k = 0; k < 512; ++k)
            g.Olun(k, k == 0 ? 3 : 0xFFFF);
        CMT_LUNMapW lm = b.lunMap(0);
        lm.Definition(1);
        for (std::size_t k = 0; k < 512; ++k)
            lm.Olun(k, k == 0 ? 3 : 0xFFFF);
        CMT_MapW m = b.map(0);
        m.CAModuleID(0x52).CAPortNo(1).ValidCnt(1);
        for (std::size_t s = 0; s < 256; ++s)
            m.HostWWNTableNo(s, 0xFFFF).AffinityTableNo(s, 0xFFFF);
        m.HostWWNTableNo(0, 0).AffinityTableNo(0, 0);
        b.installCmf(A);
        dir.writeEnv({std::string("StorageIP=") + A});
    }

    void TearDown() override
    {
        cimple::SMIS_CMTAccess::destroy();
        for (std::size_t i = 0; i < spcs.size(); ++i)
            cimple::destroy(spcs[i]);
    }

    // A reference of the class and key given.
    void reference(const char* cls, const char* key)
    {
        CIM_SCSIProtocolController* spc;
        if (std::string(cls) == "VELDARO_LUNMappingController")
            spc = cimple::cast<CIM_SCSIProtocolController*>(cimple::VELDARO_LUNMappingController::create(true));
        else
            spc = cimple::cast<CIM_SCSIProtocolController*>(cimple::VELDARO_AffinityGroupController::create(true));
        spc->CreationClassName.set(cls);
        spc->DeviceID.set(key);
        spc->SystemName.set(A);
        spcs.append(spc);
    }

    struct Call {
        std::vector<String> luNames, initiators, targets, deviceNumbers;
        std::vector<std::uint16_t> accesses;
    };

    static Array<String> arr(const std::vector<String>& v)
    {
        Array<String> a;
        for (const String& s : v)
            a.append(s);
        return a;
    }

    std::uint32_t run(const Call& c, std::uint32_t (Request::*method)(Request::SPCList&))
    {
        Array<std::uint16_t> accesses;
        for (std::uint16_t x : c.accesses)
            accesses.append(x);
        Request r(A, arr(c.luNames), arr(c.initiators), arr(c.targets), arr(c.deviceNumbers), accesses, spcs);
        Request::SPCList out;
        const std::uint32_t rc = (r.*method)(out);
        EXPECT_EQ(out.size(), 0u);
        EXPECT_EQ(r.pendingViews(), 0u);
        for (std::size_t i = 0; i < out.size(); ++i)
            cimple::destroy(out[i]);
        return rc;
    }

    smis::test::TempInstallDir dir;
    Request::SPCList spcs;
};

TEST_F(ControllerConfigurationRequest, LogicalIDsOfKeysAndPortIDs)
{
    EXPECT_EQ(Request::logicalIDOf(2, 1, 1), 0x5201);
    // The second half of a module: its ports' number bytes are 2 and 3.
    EXPECT_EQ(Request::logicalIDOf(3, 2, 3), 0x6B03);
    EXPECT_EQ(Request::logicalIDOf(3, 2, 2), 0x6B02);
    std::uint16_t cm = 0, ca = 0, port = 0;
    Request::portOf(0x6B01, cm, ca, port);
    EXPECT_EQ((std::vector<std::uint16_t>{cm, ca, port}), (std::vector<std::uint16_t>{3, 2, 3}));

    Request r(A, {}, {}, {}, {}, {}, spcs);
    EXPECT_EQ(r.getLogicalID("500000e0d0000101"), 0x5201);
    EXPECT_EQ(r.getLogicalID(MAP_PORT_WWN), 0x4000);
    EXPECT_EQ(r.getLogicalID("500000E0D0000999"), 0xFFFF);
    reference("VELDARO_AffinityGroupController", VIEW);
    reference("VELDARO_AffinityGroupController", "AFG0003_CM08CA01P01");
    reference("VELDARO_AffinityGroupController", "AFG0003_CM02CA04P01");
    reference("VELDARO_AffinityGroupController", "AFG0003_CM02CA01P16");
    reference("VELDARO_LUNMappingController", DEFAULT_VIEW);
    EXPECT_EQ(r.getLogicalIDFromSPC(spcs[0], false), 0x5201);
    for (std::size_t i = 1; i < 4; ++i)
        EXPECT_EQ(r.getLogicalIDFromSPC(spcs[i], false), 0xFFFF) << i;
    EXPECT_EQ(r.getLogicalIDFromSPC(spcs[4], true), 0x4000);
    EXPECT_EQ(r.getLogicalIDFromSPC(spcs[4], false), 0xFFFF);
    EXPECT_EQ(r.getZoneNumberFromSPC(spcs[0]), 3);
    EXPECT_EQ(r.getZoneNumberFromSPC(spcs[4]), 0xFFFF);
}

TEST_F(ControllerConfigurationRequest, VolumeNamesMatchExactly)
{
    Request r(A, {}, {}, {}, {}, {}, spcs);
    std::uint16_t volume = 0;
    EXPECT_EQ(r.getLogicalVolumeNumber(volumeName(3), volume), 0u);
    EXPECT_EQ(volume, 3);
    std::string lower = volumeName(3).c_str();
    for (char& ch : lower)
        ch = char(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_EQ(r.getLogicalVolumeNumber(lower.c_str(), volume), Request::RC_INVALID_LU_NAMES);
    EXPECT_EQ(volume, 0xFFFF);
    EXPECT_EQ(r.checkLogicalVolumeName(volumeName(4)), Request::RC_INVALID_LU_NAMES);
    EXPECT_EQ(r.checkLogicalVolumeName(volumeName(5)), 0u);
}

TEST_F(ControllerConfigurationRequest, ExposePathsChecks)
{
    const String v3 = volumeName(3), v5 = volumeName(5);
    struct Case {
        const char* what;
        const char* spcClass;  // null: no reference
        const char* spcKey;
        Call call;
        std::uint32_t rc;
    } cases[] = {
        {"two targets", nullptr, nullptr, {{v5}, {HOST1}, {HOST_PORT_WWN, MAP_PORT_WWN}, {}, {2}}, 5},
        {"no initiator", nullptr, nullptr, {{v5}, {}, {HOST_PORT_WWN}, {}, {2}}, 5},
        {"accesses count", nullptr, nullptr, {{v5}, {HOST1}, {HOST_PORT_WWN}, {}, {}}, 5},
        {"access not 2", nullptr, nullptr, {{v5}, {HOST1}, {HOST_PORT_WWN}, {}, {1}}, 0x1004},
        {"LUN 0x200", nullptr, nullptr, {{v5}, {HOST1}, {HOST_PORT_WWN}, {"200"}, {2}}, 5},
        {"LUN not hex", nullptr, nullptr, {{v5}, {HOST1}, {HOST_PORT_WWN}, {"1G"}, {2}}, 5},
        {"LUN 0x200 with its prefix", nullptr, nullptr, {{v5}, {HOST1}, {HOST_PORT_WWN}, {"0x200"}, {2}}, 5},
        {"LUN prefix alone", nullptr, nullptr, {{v5}, {HOST1}, {HOST_PORT_WWN}, {"0x"}, {2}}, 5},
        {"LUN not hex after its prefix", nullptr, nullptr, {{v5}, {HOST1}, {HOST_PORT_WWN}, {"0xG"}, {2}}, 5},
        {"LUN prefix twice", nullptr, nullptr, {{v5}, {HOST1}, {HOST_PORT_WWN}, {"0x0x1"}, {2}}, 5},
        {"unknown volume", nullptr, nullptr, {{volumeName(6)}, {HOST1}, {HOST_PORT_WWN}, {}, {2}}, 0x1001},
        {"unknown target", nullptr, nullptr, {{v5}, {HOST1}, {"500000E0D0000999"}, {}, {2}}, 0x1003},
        {"LUN-mapping port", nullptr, nullptr, {{v5}, {HOST1}, {MAP_PORT_WWN}, {}, {2}}, 0x8021},
        // The target given in other letter case resolves; host 0 is already on the port.
        {"already exposed", nullptr, nullptr, {{v5}, {HOST0}, {"500000e0d0000101"}, {"1FF"}, {2}}, 0x1005},
        // A LUN with its 0x prefix passes the LUN checks too.
        {"LUN 0x1F", nullptr, nullptr, {{v5}, {HOST0}, {HOST_PORT_WWN}, {"0x1F"}, {2}}, 0x1005},
        {"LUN 0X1ff", nullptr, nullptr, {{v5}, {HOST0}, {HOST_PORT_WWN}, {"0X1ff"}, {2}}, 0x1005},
        {"modify with a target", "VELDARO_AffinityGroupController", VIEW, {{v5}, {}, {HOST_PORT_WWN}, {}, {2}}, 5},
        {"modify a default view", "VELDARO_LUNMappingController", VIEW, {{v5}, {}, {}, {}, {2}}, 0x8021},
        {"key out of range", "VELDARO_AffinityGroupController", "AFG0003_CM08CA01P01", {{v5}, {}, {}, {}, {2}}, 5},
        {"missing group", "VELDARO_AffinityGroupController", "AFG0009_CM02CA01P01", {{}, {HOST1}, {}, {}, {}}, 0x8030},
        {"group not modifiable", "VELDARO_AffinityGroupController", "AFG0009_CM02CA01P01", {{v5}, {}, {}, {}, {2}}, 0x8024},
        {"volume in the view", "VELDARO_AffinityGroupController", VIEW, {{v3}, {}, {}, {}, {2}}, 0x1006},
        {"LUN in use", "VELDARO_AffinityGroupController", VIEW, {{v5}, {}, {}, {"0"}, {2}}, 0x1006},
        {"host on every port", "VELDARO_AffinityGroupController", VIEW, {{}, {"1000000000000a01"}, {}, {}, {}}, 0x1005},
    };
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < spcs.size(); ++i)
            cimple::destroy(spcs[i]);
        spcs.clear();
        if (c.spcClass)
            reference(c.spcClass, c.spcKey);
        EXPECT_EQ(run(c.call, &Request::ExposePaths), c.rc) << c.what;
    }
}

TEST_F(ControllerConfigurationRequest, HidePathsChecks)
{
    struct Case {
        const char* what;
        int references;
        Call call;
        std::uint32_t rc;
    } cases[] = {
        {"nothing to hide", 1, {{}, {}, {}, {}, {}}, 5},
        {"no reference", 0, {{}, {HOST0}, {}, {}, {}}, 5},
        {"two references", 2, {{}, {HOST0}, {}, {}, {}}, 5},
        {"unregistered host", 1, {{}, {"3000000000000001"}, {}, {}, {}}, 0x1002},
        {"host not in the view", 1, {{}, {HOST1}, {}, {}, {}}, 0x1004},
        {"volume not in the view", 1, {{volumeName(5)}, {}, {}, {}, {}}, 0x1001},
    };
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < spcs.size(); ++i)
            cimple::destroy(spcs[i]);
        spcs.clear();
        for (int i = 0; i < c.references; ++i)
            reference("VELDARO_AffinityGroupController", VIEW);
        EXPECT_EQ(run(c.call, &Request::HidePaths), c.rc) << c.what;
    }
}

TEST_F(ControllerConfigurationRequest, DefaultViewChecksAndRemappedCodes)
{
    const String v3 = volumeName(3), v5 = volumeName(5);
    struct Case {
        const char* what;
        bool expose;
        const char* spcClass;
        const char* spcKey;
        Call call;
        std::uint32_t rc;
    } cases[] = {
        {"expose without reference", true, nullptr, nullptr, {{v5}, {}, {}, {}, {2}}, 0x8031},
        {"expose with a target", true, "VELDARO_LUNMappingController", DEFAULT_VIEW, {{v5}, {}, {MAP_PORT_WWN}, {}, {2}}, 5},
        {"expose access not 2", true, "VELDARO_LUNMappingController", DEFAULT_VIEW, {{v5}, {}, {}, {}, {0}}, 0x1003},
        {"expose volume mapped", true, "VELDARO_LUNMappingController", DEFAULT_VIEW, {{v3}, {}, {}, {}, {2}}, 0x1004},
        {"expose LUN in use", true, "VELDARO_LUNMappingController", DEFAULT_VIEW, {{v5}, {}, {}, {"0"}, {2}}, 0x1004},
        {"expose to a host view", true, "VELDARO_AffinityGroupController", DEFAULT_VIEW, {{v5}, {}, {}, {}, {2}}, 0x8021},
        {"expose on host port", true, "VELDARO_LUNMappingController", "LM_CM02CA01P01", {{v5}, {}, {}, {}, {2}}, 0x8021},
        {"hide with a target", false, "VELDARO_LUNMappingController", DEFAULT_VIEW, {{v3}, {}, {MAP_PORT_WWN}, {}, {}}, 5},
        {"hide unmapped volume", false, "VELDARO_LUNMappingController", DEFAULT_VIEW, {{v5}, {}, {}, {}, {}}, 0x1001},
        {"hide from a host view", false, "VELDARO_AffinityGroupController", DEFAULT_VIEW, {{v3}, {}, {}, {}, {}}, 0x8021},
    };
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < spcs.size(); ++i)
            cimple::destroy(spcs[i]);
        spcs.clear();
        if (c.spcClass)
            reference(c.spcClass, c.spcKey);
        EXPECT_EQ(run(c.call, c.expose ? &Request::ExposeDefaultLUs : &Request::HideDefaultLUs), c.rc) << c.what;
    }
    EXPECT_EQ(Request::remapExposeDefault(0x1007), 0x1005u);
    EXPECT_EQ(Request::remapHideDefault(0x1007), 0x1007u);
    EXPECT_EQ(Request::remapHideDefault(0x1003), 0x1002u);
}

}  // namespace
