#include "Test_Schema.h"

#include <gtest/gtest.h>

namespace cimple {
namespace {

TEST(ModelPath, KeysOnlyInFeatureOrder)
{
    Test_Base* b = Test_Base::create(true);
    b->Name.set("disk 1");
    b->Count.set(4); // not a key: not in the path
    String path;
    ASSERT_EQ(instance_to_model_path(b, path), 0);
    EXPECT_EQ(path, "Test_Base.Name=\"disk 1\"");
    destroy(b);
}

TEST(ModelPath, TopLevelTextStandsAsItIsNestedPathsEscapeQuotesOnly)
{
    Test_Base* b = Test_Base::create(true);
    b->Name.set("a\"b\\c");
    String path;
    ASSERT_EQ(instance_to_model_path(b, path), 0);
    EXPECT_EQ(path, "Test_Base.Name=\"a\"b\\c\"");
    destroy(b);

    Test_Link* l = Test_Link::create();
    l->Antecedent = Test_Base::create(true);
    l->Antecedent->Name.set("p\"1");
    l->Dependent = Test_Derived::create(true);
    l->Dependent->Name.set("v\\2");
    l->Weight.set(3);
    ASSERT_EQ(instance_to_model_path(l, path), 0);
    EXPECT_EQ(path, "Test_Link.Antecedent=\"Test_Base.Name=\\\"p\\\"1\\\"\","
                    "Dependent=\"Test_Derived.Name=\\\"v\\2\\\"\"");
    destroy(l);
}

TEST(ModelPath, NumericKeyAndMethodInstance)
{
    Test_Holder* h = Test_Holder::create();
    h->Id.set(4294967295u);
    String path;
    ASSERT_EQ(instance_to_model_path(h, path), 0);
    EXPECT_EQ(path, "Test_Holder.Id=4294967295");
    destroy(h);

    // A method instance gives its name and nothing after the dot.
    Instance* m = Test_Derived_Frob_method::create();
    EXPECT_EQ(instance_to_model_path(m, path), 0);
    EXPECT_EQ(path, "Frob.");
    destroy(m);
}

TEST(ModelPath, NullKeyOrMissingReferenceFailsLeavingThePartialPath)
{
    String path = "old";
    Test_Base* b = Test_Base::create(true);
    EXPECT_EQ(instance_to_model_path(b, path), -1);
    EXPECT_EQ(path, "Test_Base.Name=");
    destroy(b);

    Test_Link* l = Test_Link::create();
    l->Antecedent = Test_Base::create(true);
    l->Antecedent->Name.set("p");
    EXPECT_EQ(instance_to_model_path(l, path), -1);
    destroy(l);
}

} // namespace
} // namespace cimple
