// The privileges and identifiers of the masking view: their keys, the key
// parser, get by key of every enumerated instance, and the default
// privilege and identifier of ports in LUN-mapping view.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "MaskingArrayFixture.h"
#include "VELDARO_AuthorizedPrivilege_Provider.h"
#include "VELDARO_AuthorizedPrivilege_Resource.h"
#include "VELDARO_DefaultAuthorizedPrivilege_Provider.h"
#include "VELDARO_DefaultStorageHardwareID_Provider.h"

using assoc_test::Held_List;
using cimple::VELDARO_AuthorizedPrivilege_Resource;

namespace {

const std::string A = "10.0.0.5";

// Every instance a provider enumerates, and each one's get by its keys.
template <class Provider, class Model>
std::vector<std::string> enumerateAndGet(const char* key)
{
    Provider provider;
    Model* model = Model::create(true);
    Held_List list;
    cimple::Enum_Instances_Handler<Model> h(assoc_test::keep_owned, &list);
    EXPECT_EQ(provider.enum_instances(model, &h), cimple::ENUM_INSTANCES_OK);
    cimple::destroy(model);
    std::vector<std::string> keys;
    for (const auto& i : list) {
        keys.push_back(assoc_test::text(i.get(), key));
        Model* got = nullptr;
        EXPECT_EQ(provider.get_instance(static_cast<const Model*>(i.get()), got), cimple::GET_INSTANCE_OK) << keys.back();
        if (got) {
            EXPECT_TRUE(cimple::key_eq(got, i.get())) << keys.back();
            cimple::destroy(got);
        }
    }
    return keys;
}

class MaskingElements : public smis::test::Masking_Array_Fixture {};

TEST_F(MaskingElements, PrivilegesOfEveryBindingAnswerTheirOwnKeys)
{
    const auto keys = enumerateAndGet<cimple::VELDARO_AuthorizedPrivilege_Provider, cimple::VELDARO_AuthorizedPrivilege>(
        "InstanceID");
    // FC hosts carry no address part; the iSCSI host its address.
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "VELDARO:AP0003_" + std::string(HOST0) + "CM02CA01P01_" + A,
                        "VELDARO:AP0003_" + std::string(HOST1) + "CM02CA01P01_" + A,
                        "VELDARO:AP0007_" + std::string(HOST0) + "CM02CA01P01_" + A,
                        "VELDARO:AP0003_" + std::string(ISCSI_HOST) + "_" + ISCSI_IP + "CM00CA02P00_" + A,
                    }));
}

TEST_F(MaskingElements, PrivilegeKeysParseWithinTheirLimits)
{
    const std::string port = "CM02CA01P01_" + A;
    const struct {
        std::string key;
        bool ok;
        std::string identifier, address;
    } cases[] = {
        {"VELDARO:AP0003_" + std::string(HOST0) + port, true, HOST0, ""},
        {"VELDARO:AP0003_iqn.x_192.168.100.200" + port, true, "iqn.x", "192.168.100.200"},
        {"VELDARO:AP0003_iqn.x_192.168.100.2001" + port, false, "", ""},  // address of 16
        {"VELDARO:AP0003_" + std::string(224, 'i') + port, true, std::string(224, 'i'), ""},
        {"VELDARO:AP0003_" + std::string(225, 'i') + port, false, "", ""},
        {"VELDARO:AP0003" + port, false, "", ""},                          // no "_" before the port
        {"VELDARO:AP0003_" + std::string(HOST0) + "CM02CA01P01", false, "", ""},  // no storage address
        {"VELDARO:XX0003_" + std::string(HOST0) + port, false, "", ""},
        {"", false, "", ""},
    };
    for (const auto& c : cases) {
        std::uint16_t group = 0, cm = 0, ca = 0, p = 0;
        char identifier[VELDARO_AuthorizedPrivilege_Resource::IDENTIFIER_SIZE] = {};
        char address[VELDARO_AuthorizedPrivilege_Resource::ADDRESS_SIZE] = {};
        const bool ok =
            VELDARO_AuthorizedPrivilege_Resource::divide_InstanceID(c.key.c_str(), &group, &cm, &ca, &p, identifier,
                                                                    address);
        EXPECT_EQ(ok, c.ok) << c.key;
        if (ok && c.ok) {
            EXPECT_EQ(identifier, c.identifier);
            EXPECT_EQ(address, c.address);
            EXPECT_EQ(group, 3);
            EXPECT_EQ(cm, 2);
            EXPECT_EQ(ca, 1);
            EXPECT_EQ(p, 1);
        }
    }
}

TEST_F(MaskingElements, LunMappingPortsHaveDefaultPrivilegesAndTheArrayOneDefaultIdentifier)
{
    EXPECT_EQ((enumerateAndGet<cimple::VELDARO_DefaultAuthorizedPrivilege_Provider,
                               cimple::VELDARO_DefaultAuthorizedPrivilege>("InstanceID")),
              (std::vector<std::string>{"VELDARO:DAP_CM00CA00P00_" + A, "VELDARO:DAP_CM01CA00P00_" + A}));
    EXPECT_EQ((enumerateAndGet<cimple::VELDARO_DefaultStorageHardwareID_Provider,
                               cimple::VELDARO_DefaultStorageHardwareID>("InstanceID")),
              (std::vector<std::string>{"VELDARO:DSHI_" + A}));
}

TEST_F(MaskingElements, AnArrayWithoutLunMappingPortsHasNoDefaults)
{
    smis::test::CMTBuilder b;
    build(b, 0x80);
    cimple::SMIS_CMTAccess::destroy();
    install(b);
    EXPECT_TRUE((enumerateAndGet<cimple::VELDARO_DefaultAuthorizedPrivilege_Provider,
                                 cimple::VELDARO_DefaultAuthorizedPrivilege>("InstanceID"))
                    .empty());
    EXPECT_TRUE((enumerateAndGet<cimple::VELDARO_DefaultStorageHardwareID_Provider,
                                 cimple::VELDARO_DefaultStorageHardwareID>("InstanceID"))
                    .empty());
}

}  // namespace
