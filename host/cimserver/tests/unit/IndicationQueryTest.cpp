// The filter queries the server evaluates: which it takes and which it
// refuses (and how), and which indications a taken one selects.
#include "IndicationQuery.h"

#include "ValueText.h"

#include <schema_repository.h>

#include <gtest/gtest.h>

#include <string>

namespace cimserver {
namespace {

using namespace cimple;

const Meta_Repository* repository()
{
    return &schema_repository;
}

TEST(IndicationQuery, TakesSelectAllFromAnIndicationClassWithAnOptionalIsa)
{
    struct Case {
        const char* language;
        const char* query;
        int code; // 0: taken
    } cases[] = {
        {"WQL", "SELECT * FROM CIM_InstCreation", 0},
        {"DMTF:CQL", "select * from CIM_InstIndication where SourceInstance isa CIM_StorageVolume", 0},
        {"wql", "  SELECT *   FROM CIM_AlertIndication ", 0},
        {"CQL", "SELECT * FROM CIM_InstCreation", CIM_ERR_NOT_SUPPORTED},
        {"", "SELECT * FROM CIM_InstCreation", CIM_ERR_NOT_SUPPORTED},
        {"WQL", "SELECT SourceInstance FROM CIM_InstCreation", CIM_ERR_INVALID_PARAMETER},
        {"WQL", "SELECT * FROM CIM_InstCreation WHERE SourceInstance.Name = 'x'", CIM_ERR_INVALID_PARAMETER},
        {"WQL", "SELECT * FROM CIM_InstCreation WHERE SourceInstance ISA CIM_StorageVolume OR 1",
         CIM_ERR_INVALID_PARAMETER},
        {"WQL", "SELECT * FROM CIM_StorageVolume", CIM_ERR_INVALID_PARAMETER},
        {"WQL", "SELECT * FROM NoSuchIndication", CIM_ERR_INVALID_PARAMETER},
        {"WQL", "SELECT * FROM CIM_InstCreation WHERE SourceInstance ISA NoSuchClass", CIM_ERR_INVALID_PARAMETER},
        {"WQL", "SELECT * FROM CIM_AlertIndication WHERE SourceInstance ISA CIM_StorageVolume",
         CIM_ERR_INVALID_PARAMETER},
        {"WQL", "", CIM_ERR_INVALID_PARAMETER},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(std::string(c.language) + ": " + c.query);
        IndicationQuery q;
        CimError error;
        const bool taken = IndicationQuery::parse(c.language, c.query, repository(), q, error);
        EXPECT_EQ(taken, c.code == 0);
        if (!taken) {
            EXPECT_EQ(error.code, c.code);
            EXPECT_FALSE(error.description.empty());
        }
    }
}

TEST(IndicationQuery, SelectsByIndicationClassAndSourceClass)
{
    Instance* creation = create(find_meta_class(repository(), "CIM_InstCreation"));
    const Meta_Feature* source = find_feature(creation->meta_class, "SourceInstance");
    ASSERT_TRUE(source);
    *static_cast<Instance**>(field_of(creation, reinterpret_cast<const Meta_Reference*>(source)->offset)) =
        create(find_meta_class(repository(), "VELDARO_StorageVolume"));
    struct Case {
        const char* query;
        bool selects;
    } cases[] = {
        {"SELECT * FROM CIM_Indication", true},
        {"SELECT * FROM CIM_InstCreation", true},
        {"SELECT * FROM CIM_InstDeletion", false},
        {"SELECT * FROM CIM_InstIndication WHERE SourceInstance ISA CIM_StorageVolume", true},
        {"SELECT * FROM CIM_InstIndication WHERE SourceInstance ISA CIM_ManagedElement", true},
        {"SELECT * FROM CIM_InstIndication WHERE SourceInstance ISA CIM_ComputerSystem", false},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.query);
        IndicationQuery q;
        CimError error;
        ASSERT_TRUE(IndicationQuery::parse("WQL", c.query, repository(), q, error)) << error.description;
        EXPECT_EQ(q.matches(creation), c.selects);
    }
    destroy(creation);
}

} // namespace
} // namespace cimserver
