// Common provider helpers: the array list and the address of a key, the
// table checks and result mapping, key texts, and the association request
// base with a test worker.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AssociationProviderParent.h"
#include "Association_Common.h"
#include "BuiltTable.h"
#include "Instance_Common.h"
#include "TempInstallDir.h"

using namespace cimple;

namespace {

TEST(CommonBase, StorageListInConfigurationOrder)
{
    smis::test::TempInstallDir dir;
    dir.writeEnv({"StorageIP=10.0.0.7", "StorageIP=10.0.0.5,1372"});
    Array<String> list;
    list.append(String("stale"));
    ASSERT_TRUE(CommonBase::get_storage_iplist(list));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(std::string(list[0].c_str()), "10.0.0.7");
    EXPECT_EQ(std::string(list[1].c_str()), "10.0.0.5");
}

TEST(CommonBase, StorageIpOfAKeyMustBeAConfiguredAddress)
{
    smis::test::TempInstallDir dir;
    dir.writeEnv({"StorageIP=10.0.0.5"});
    struct Case {
        const char* key;
        bool ok;
        const char* address;
    };
    const Case cases[] = {
        {"VELDARO:RSP0001_10.0.0.5", true, "10.0.0.5"},
        {"a_b_10.0.0.5", true, "10.0.0.5"},
        {"VELDARO:RSP0001", false, "unchanged"},           // no "_"
        {"VELDARO:RSP0001_10.0.0.6", false, "unchanged"},  // not configured
        {"x_10.0.0.5 ", false, "unchanged"},               // not exactly
        {"x_../../etc/passwd", false, "unchanged"},
        {"x_", false, "unchanged"},
    };
    for (const Case& c : cases) {
        const String key(c.key);
        String address("unchanged");
        EXPECT_EQ(CommonBase::get_storage_ip(&key, &address), c.ok) << c.key;
        EXPECT_EQ(std::string(address.c_str()), c.address) << c.key;
    }
    String address;
    EXPECT_FALSE(CommonBase::get_storage_ip(nullptr, &address));
    const String key("k_10.0.0.5");
    EXPECT_FALSE(CommonBase::get_storage_ip(&key, nullptr));
}

TEST(CommonBase, TableChecksAndResultMapping)
{
    smis::test::BuiltTable t{smis::test::CMTBuilder{}};
    auto valid = t.view();
    VELDARO_RefTable invalid("10.0.0.1", static_cast<const CMM_CMT_GLOBAL_VAL_ELEM*>(nullptr), nullptr);
    EXPECT_EQ(CommonBase::FirstCommonProcess(valid.get()), 0);
    EXPECT_EQ(CommonBase::FirstCommonProcess(&invalid), 2);
    EXPECT_EQ(CommonBase::FirstCommonProcess(nullptr), 2);
    EXPECT_EQ(Instance_Common::icFirstCommonProcess(valid.get()), 0);
    EXPECT_EQ(Instance_Common::icFirstCommonProcess(&invalid), 2);
    EXPECT_EQ(Association_Common::acFirstCommonProcess(valid.get()), 0);
    EXPECT_EQ(Association_Common::acFirstCommonProcess(&invalid), 2);
    const int get[][2] = {{0, 0}, {1, 60}, {2, 60}, {3, 0}, {-1, 0}};
    for (const auto& g : get)
        EXPECT_EQ(Instance_Common::checkGetInstanceResult(g[0]), g[1]) << g[0];
    const int enumerate[][2] = {{0, 0}, {1, 70}, {2, 0}, {-1, 0}};
    for (const auto& e : enumerate)
        EXPECT_EQ(Instance_Common::checkEnumInstanceResult(e[0]), e[1]) << e[0];
}

TEST(Association_Common, ExtractCharBetweenTheLastTwoDelimiters)
{
    struct Case {
        const char* text;
        const char* delimiters;
        bool exclusive;
        std::size_t size;
        bool ok;
        const char* out;
    };
    const Case cases[] = {
        {"a[b]c", "[]", false, 16, true, "[b"},
        {"a[b]c", "[]", true, 16, true, "b"},
        {"k=1;v=2;w", "=;=;", true, 16, true, "2"},
        {"k=1;v=2;w", "=;=;", false, 16, true, "=2"},
        {"a[b]c", "]", false, 16, false, ""},      // one delimiter: nothing before the last
        {"a[b]c", "[)", false, 16, false, ""},     // a delimiter not found
        {"a]b[c", "[]", false, 16, false, ""},     // ] only before [
        {"a[bcdef]c", "[]", true, 5, false, ""},   // does not fit
        {"a[bcde]c", "[]", true, 5, true, "bcde"}, // fits with its terminator
        {"a[]c", "[]", true, 4, true, ""},
    };
    for (const Case& c : cases) {
        char out[32];
        std::memset(out, 'X', sizeof out);
        EXPECT_EQ(Association_Common::acExtractChar(c.text, c.delimiters, out, c.size, c.exclusive), c.ok)
            << c.text << " " << c.delimiters;
        EXPECT_STREQ(out, c.out) << c.text << " " << c.delimiters;
        EXPECT_EQ(out[c.size], 'X') << "wrote beyond the given size";
    }
    char out[4];
    EXPECT_FALSE(Association_Common::acExtractChar(nullptr, "[]", out, sizeof out, true));
    EXPECT_FALSE(Association_Common::acExtractChar("a[b]", nullptr, out, sizeof out, true));
    EXPECT_FALSE(Association_Common::acExtractChar("a[b]", "[]", nullptr, 4, true));
    EXPECT_FALSE(Association_Common::acExtractChar("a[b]", "[]", out, 0, true));
    EXPECT_FALSE(Association_Common::acExtractChar("a[b]", "", out, sizeof out, true));
}

TEST(Association_Common, ExtractSvOlu)
{
    std::uint16_t n = 0;
    EXPECT_TRUE(Association_Common::acExtractSvOlu("12$ABC", &n));
    EXPECT_EQ(n, 12);
    EXPECT_TRUE(Association_Common::acExtractSvOlu("123456789$", &n));
    EXPECT_EQ(n, static_cast<std::uint16_t>(1234567));  // at most 7 characters
    EXPECT_TRUE(Association_Common::acExtractSvOlu("$", &n));
    EXPECT_EQ(n, 0);
    n = 5;
    EXPECT_FALSE(Association_Common::acExtractSvOlu("12ABC", &n));
    EXPECT_EQ(n, 5);
    EXPECT_FALSE(Association_Common::acExtractSvOlu(nullptr, &n));
    EXPECT_FALSE(Association_Common::acExtractSvOlu("1$", nullptr));
}

// A provider whose worker returns a set result and records what it saw.
class TestProvider : public AssociationProviderParent {
public:
    int result = 0;
    bool throws = false;
    struct Seen {
        std::string resultClass, role, resultRole;
        const Instance* instance;
        std::uint32_t mode;
        bool associators, names;
    } seen{};

    Enum_References_Status references(const Instance* source, const String& role) { return execReferences(source, role); }
    std::uint32_t mode() const { return _mode; }
    bool handlersClear() const { return !_associatorsHandler && !_associatorNamesHandler; }

protected:
    int execRequest() override
    {
        seen.resultClass = _resultClass ? _resultClass : "";
        seen.role = _role ? _role : "";
        seen.resultRole = _resultRole ? _resultRole : "";
        seen.instance = _instance;
        seen.mode = _mode;
        seen.associators = _associatorsHandler != nullptr;
        seen.names = _associatorNamesHandler != nullptr;
        if (throws)
            throw 1;
        return result;
    }
};

TEST(AssociationProviderParent, WorkerResultsMapToTheStatusOfEachRequest)
{
    struct Case {
        int worker;
        bool throws;
        int associators, names, references;
    };
    const Case cases[] = {
        {0, false, 0, 0, 0},
        {-1, false, 171, 111, 121},
        {1, false, 170, 110, 120},
        {2, false, 170, 110, 120},
        {0, true, 170, 110, 120},
    };
    Enum_Associators_Handler<Instance> assoc(nullptr, nullptr);
    Enum_Associator_Names_Handler<Instance> names(nullptr, nullptr);
    const Instance* source = reinterpret_cast<const Instance*>(&cases);  // never read
    for (const Case& c : cases) {
        TestProvider p;
        p.result = c.worker;
        p.throws = c.throws;
        EXPECT_EQ(p.enum_associators(source, String("CIM_X"), String("Role"), String("RRole"), &assoc), c.associators);
        EXPECT_EQ(p.seen.mode, 17u);
        EXPECT_TRUE(p.seen.associators && !p.seen.names);
        EXPECT_EQ(p.seen.resultClass, "CIM_X");
        EXPECT_EQ(p.seen.role, "Role");
        EXPECT_EQ(p.seen.resultRole, "RRole");
        EXPECT_EQ(p.seen.instance, source);
        EXPECT_TRUE(p.handlersClear());
        EXPECT_EQ(p.mode(), 17u);  // the mode stays

        EXPECT_EQ(p.enum_associator_names(source, String("CIM_Y"), String(""), String(""), &names), c.names);
        EXPECT_EQ(p.seen.mode, 18u);
        EXPECT_TRUE(!p.seen.associators && p.seen.names);
        EXPECT_EQ(p.seen.resultClass, "CIM_Y");
        EXPECT_TRUE(p.handlersClear());

        EXPECT_EQ(p.references(source, String("Antecedent")), c.references);
        EXPECT_EQ(p.seen.mode, 19u);
        EXPECT_EQ(p.seen.role, "Antecedent");
    }
}

}  // namespace
