#include <gtest/gtest.h>

#include "CIM_ElementSettingData.h"
#include "Source_Model_Path.h"
#include "VELDARO_StorageSetting.h"

namespace cimple {
namespace {

VELDARO_StorageSetting* setting(const char* id)
{
    VELDARO_StorageSetting* s = VELDARO_StorageSetting::create();
    s->InstanceID.set(id);
    return s;
}

TEST(SourceModelPath, TextKeysAreQuotedAndEscapedAtEveryLevel)
{
    String path;
    VELDARO_StorageSetting* s = setting("a\"b\\c");
    s->ElementName.set("not a key");
    ASSERT_TRUE(source_model_path(s, path));
    EXPECT_EQ(path, "VELDARO_StorageSetting.InstanceID=\"a\\\"b\\\\c\"");
    destroy(s);

    CIM_ElementSettingData* a = CIM_ElementSettingData::create();
    a->ManagedElement = cast<CIM_ManagedElement*>(setting("p\"1"));
    a->SettingData = cast<CIM_SettingData*>(setting("v\\2"));
    ASSERT_TRUE(source_model_path(a, path));
    EXPECT_EQ(path, "CIM_ElementSettingData.ManagedElement=\"VELDARO_StorageSetting.InstanceID=\\\"p\\\\\\\"1\\\"\","
                    "SettingData=\"VELDARO_StorageSetting.InstanceID=\\\"v\\\\\\\\2\\\"\"");
    destroy(a);
}

TEST(SourceModelPath, NullKeyNullReferenceOrNoInstanceGiveNoPath)
{
    String path = "old";
    VELDARO_StorageSetting* s = VELDARO_StorageSetting::create(true); // InstanceID null
    EXPECT_FALSE(source_model_path(s, path));
    EXPECT_TRUE(path.empty());
    destroy(s);

    CIM_ElementSettingData* a = CIM_ElementSettingData::create();
    a->ManagedElement = cast<CIM_ManagedElement*>(setting("p"));
    path = "old";
    EXPECT_FALSE(source_model_path(a, path));
    EXPECT_TRUE(path.empty());
    destroy(a);

    EXPECT_FALSE(source_model_path(nullptr, path));
}

} // namespace
} // namespace cimple
