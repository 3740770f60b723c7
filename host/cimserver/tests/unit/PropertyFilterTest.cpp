// A property list applied to instances of several classes: each class keeps
// the properties the list names (whatever their case) and only those, also
// when instances of the classes alternate.
#include "CimXmlWriter.h"
#include "Test_Schema.h"

#include <gtest/gtest.h>

namespace cimserver {
namespace {

using namespace cimple;

// The names of the properties written for the instance, in order.
std::string written(const Instance* inst, const PropertyFilter& filter)
{
    CimXmlWriter w("host", "root/test");
    w.instance(inst, filter);
    std::string names;
    const std::string& out = w.out();
    for (std::size_t at = out.find(" NAME=\""); at != std::string::npos; at = out.find(" NAME=\"", at + 1)) {
        const std::size_t start = at + 7;
        names += out.substr(start, out.find('"', start) - start) + " ";
    }
    return names;
}

TEST(PropertyFilter, EachClassKeepsTheNamedPropertiesWhateverTheirCase)
{
    Test_Derived* d = Test_Derived::create();
    d->Name.set("d");
    d->Count.set(3);
    d->State.set(5);
    Test_Holder* h = Test_Holder::create();
    h->Id.set(1);
    h->Note.set("n");
    PropertyFilter filter;
    filter.all = false;
    filter.names = {"count", "STATE", "Note", "Missing"};
    for (int round = 0; round < 2; round++) {
        EXPECT_EQ(written(d, filter), "Count State ") << round;
        EXPECT_EQ(written(h, filter), "Note ") << round;
    }
    PropertyFilter none;
    none.all = false;
    EXPECT_EQ(written(h, none), "");
    EXPECT_EQ(written(h, PropertyFilter()), "Id Owner Embedded Note ");
    destroy(d);
    destroy(h);
}

} // namespace
} // namespace cimserver
