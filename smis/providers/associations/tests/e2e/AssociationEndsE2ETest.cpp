// Every hand-written association of the provider table against the array
// simulator's "coverage" scenario: each reference of each association it
// enumerates must be key-equal to an instance that the end class's own
// provider enumerates at the same moment. The associations are read from
// the provider table, so every association added later is held to it.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ArraysimProcess.hpp"
#include "CIM_BasedOn.h"
#include "ProviderModule.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_PollingService.h"
#include "TempInstallDir.h"

using namespace cimple;

namespace {

// The served classes of the table's hand-written rows of one shape
// ("association", "instance"), in table order.
std::vector<std::string> handWrittenRows(const std::string& wanted)
{
    std::vector<std::string> out;
    std::ifstream table(PROVIDERS_TABLE);
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string cls, shape, flag;
        if (!(words >> cls >> shape) || shape != wanted)
            continue;
        while (words >> flag)
            if (flag == "hand-written")
                out.push_back(cls);
    }
    return out;
}

std::vector<std::string> handWrittenAssociations() { return handWrittenRows("association"); }

// The instances each reference of an association points to, with the
// reference's name.
std::vector<std::pair<std::string, const Instance*>> endsOf(const Instance* association)
{
    std::vector<std::pair<std::string, const Instance*>> ends;
    const Meta_Class* mc = association->meta_class;
    for (std::size_t i = 0; i < mc->num_meta_features; ++i) {
        const Meta_Feature* f = mc->meta_features[i];
        if (!(f->flags & CIMPLE_FLAG_REFERENCE))
            continue;
        const auto* r = reinterpret_cast<const Meta_Reference*>(f);
        if (r->subscript != 0)
            continue;
        ends.emplace_back(r->name,
                          *reinterpret_cast<Instance* const*>(reinterpret_cast<const char*>(association) + r->offset));
    }
    return ends;
}

// The string keys of an instance, for the failure message.
std::string keyText(const Instance* instance)
{
    std::string out;
    const Meta_Class* mc = instance->meta_class;
    for (std::size_t i = 0; i < mc->num_meta_features; ++i) {
        const Meta_Feature* f = mc->meta_features[i];
        if (!(f->flags & CIMPLE_FLAG_KEY) || !(f->flags & CIMPLE_FLAG_PROPERTY))
            continue;
        const auto* p = reinterpret_cast<const Meta_Property*>(f);
        if (p->type != STRING || p->subscript != 0)
            continue;
        const auto* v = reinterpret_cast<const Property<String>*>(reinterpret_cast<const char*>(instance) + p->offset);
        out += std::string(" ") + p->name + "=" + (v->null ? "(null)" : v->value.c_str());
    }
    return out;
}

class AssociationEnds : public ::testing::TestWithParam<std::string> {
protected:
    static void SetUpTestSuite() { sim_ = new testsupport::ArraysimProcess("coverage"); }
    static void TearDownTestSuite()
    {
        if (sim_) {
            EXPECT_EQ(sim_->stop(), 0) << sim_->output();
        }
        delete sim_;
        sim_ = nullptr;
    }

    void SetUp() override { configure(sim_ ? sim_->arrayCount() : 0); }

    // Configures the first `arrays` arrays of the simulator.
    void configure(std::size_t arrays)
    {
        ASSERT_NE(sim_, nullptr);
        module_ = std::make_unique<smis::test::ProviderModule>();
        ASSERT_NE(module_->head(), nullptr);
        dir_ = std::make_unique<smis::test::TempInstallDir>();
        std::vector<std::string> env;
        for (std::size_t a = 0; a < arrays; ++a)
            env.push_back("StorageIP=" + sim_->address(a) + "," + std::to_string(sim_->port(a)));
        dir_->writeEnv(env);
        SMIS_CMTAccess::destroy();
        SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        SMIS_PollingService* service = SMIS_PollingService::getInstance();
        ASSERT_NE(service, nullptr);
        for (std::size_t a = 0; a < arrays; ++a) {
            cache->SetDeviceAvailable(sim_->address(a).c_str(), 0);
            ASSERT_EQ(service->getConfigManagementInfo(sim_->address(a).c_str(), 0), 0) << sim_->address(a);
            // The device status the polling thread would store: normal.
            const std::uint8_t status[16] = {32};
            ASSERT_EQ(cache->SetExTableInfo(sim_->address(a).c_str(), SMIS_CMTAccess::EX_DEVICE_STATUS, nullptr, status,
                                            sizeof status, 1, 1),
                      0);
        }
    }

    void TearDown() override
    {
        SMIS_PollingService::destroy();
        SMIS_CMTAccess::destroy();
        dir_.reset();
        module_.reset();
    }

    // What the provider of cls enumerates (once per test); null when no
    // provider serves cls or it fails.
    const Instance_List* served(const std::string& cls)
    {
        auto found = served_.find(cls);
        if (found != served_.end())
            return found->second.get();
        std::unique_ptr<Pegasus_Adapter> adapter(Pegasus_Adapter::create(module_->head(), (cls + "_Provider").c_str()));
        std::unique_ptr<Instance_List> list;
        if (adapter) {
            list = std::make_unique<Instance_List>();
            if (adapter->enum_instances(*list) != 0)
                list.reset();
        }
        return (served_[cls] = std::move(list)).get();
    }

    // The association's provider and what it enumerates.
    void enumerate(const std::string& association, std::unique_ptr<Pegasus_Adapter>& adapter, Instance_List& list)
    {
        adapter.reset(Pegasus_Adapter::create(module_->head(), (association + "_Provider").c_str()));
        ASSERT_NE(adapter, nullptr) << association;
        ASSERT_EQ(adapter->enum_instances(list), 0) << association;
    }

    static testsupport::ArraysimProcess* sim_;
    std::unique_ptr<smis::test::ProviderModule> module_;
    std::unique_ptr<smis::test::TempInstallDir> dir_;
    std::map<std::string, std::unique_ptr<Instance_List>> served_;
};

testsupport::ArraysimProcess* AssociationEnds::sim_ = nullptr;

TEST(AssociationTable, HandWrittenAssociationsAreFound)
{
    EXPECT_GE(handWrittenAssociations().size(), 25u);
}

TEST_P(AssociationEnds, EveryReferenceIsAnInstanceItsClassServes)
{
    const std::string association = GetParam();
    std::unique_ptr<Pegasus_Adapter> adapter;
    Instance_List list;
    ASSERT_NO_FATAL_FAILURE(enumerate(association, adapter, list));
    for (const auto& a : list) {
        for (const auto& [role, end] : endsOf(a.get())) {
            ASSERT_NE(end, nullptr) << association << "." << role << " is null";
            const std::string cls = end->meta_class->name;
            const Instance_List* ends = served(cls);
            ASSERT_NE(ends, nullptr) << association << "." << role << ": no provider enumerates " << cls;
            bool found = false;
            for (const auto& e : *ends)
                found = found || key_eq(e.get(), end);
            if (!found) {
                ADD_FAILURE() << association << "." << role << " names a " << cls
                              << " that its provider does not enumerate: " << keyText(end);
            }
        }
    }
    RecordProperty("associations", static_cast<int>(list.size()));
}

// True when every instance of one list is key-equal to one of the other
// (an enumeration over several arrays at one address repeats instances).
bool sameKeys(const Instance_List& a, const Instance_List& b)
{
    auto covered = [](const Instance_List& from, const Instance_List& in) {
        for (const auto& x : from) {
            bool found = false;
            for (const auto& y : in)
                found = found || key_eq(x.get(), y.get());
            if (!found)
                return false;
        }
        return true;
    };
    return covered(a, b) && covered(b, a);
}

// A provider object made and loaded through the provider's own procedure,
// so that its operations are called without the adapter (which would
// answer a "not supported" from the whole enumeration).
class Provider_Object {
public:
    explicit Provider_Object(const Registration* provider) : provider_(provider)
    {
        created_ = provider_ && call(OPERATION_CREATE_PROVIDER, &object_) == 0;
        loaded_ = created_ && op(OPERATION_LOAD) == 0;
    }
    ~Provider_Object()
    {
        if (loaded_)
            op(OPERATION_UNLOAD);
        if (created_)
            op(OPERATION_DESTROY_PROVIDER);
    }
    Provider_Object(const Provider_Object&) = delete;
    Provider_Object& operator=(const Provider_Object&) = delete;

    bool ready() const { return loaded_; }

    int op(int operation, void* a1 = nullptr, void* a2 = nullptr, void* a3 = nullptr, void* a4 = nullptr,
           void* a5 = nullptr)
    {
        return call(operation, object_, a1, a2, a3, a4, a5);
    }

    // The provider's own references of source through role (empty: any),
    // with model as the association model; what it hands over goes to out.
    int references(const Instance* source, const Instance* model, const std::string& role, Instance_List& out)
    {
        const String roleText(role.c_str());
        Enum_References_Proc collect = [](Instance* i, Enum_References_Status, void* list) {
            if (i)
                static_cast<Instance_List*>(list)->emplace_back(i);
            return true;
        };
        return op(OPERATION_ENUM_REFERENCES, const_cast<Instance*>(source), const_cast<Instance*>(model),
                  const_cast<String*>(&roleText), reinterpret_cast<void*>(collect), &out);
    }

    // The same with an empty instance of the served class as the model.
    int references(const Instance* source, const std::string& role, Instance_List& out)
    {
        const Meta_Class* mc = nullptr;
        call(OPERATION_GET_META_CLASS, &mc);
        Instance_Ptr model(mc ? create(mc) : nullptr);
        return references(source, model.get(), role, out);
    }

private:
    int call(int operation, void* a0, void* a1 = nullptr, void* a2 = nullptr, void* a3 = nullptr, void* a4 = nullptr,
             void* a5 = nullptr)
    {
        return provider_->proc(provider_, operation, a0, a1, a2, a3, a4, a5, nullptr, nullptr);
    }

    const Registration* provider_;
    void* object_ = nullptr;
    bool created_ = false;
    bool loaded_ = false;
};

// The provider's own procedure answers the references of the association's
// last end and GetInstance of the association: neither may be "not
// supported" (121, 61), which would send the adapter to its enumeration of
// the whole class.
void expectAnsweredByTheProvider(const Registration* provider, const Instance* association)
{
    Provider_Object object(provider);
    ASSERT_TRUE(object.ready()) << provider->provider_name;
    const auto ends = endsOf(association);
    const auto& [role, end] = ends.back();
    Instance_List answered;
    EXPECT_EQ(object.references(end, association, role, answered), 0)
        << provider->provider_name << " references of its " << role;
    Instance* found = nullptr;
    EXPECT_EQ(object.op(OPERATION_GET_INSTANCE, const_cast<Instance*>(association), &found), 0)
        << provider->provider_name;
    destroy(found);
}

// The references of each end of a spread of instances, through the end's
// role, are the enumeration's instances that refer to it there; GetInstance
// of each finds it. The provider answers both itself (per source), so this
// holds the per-source paths to the enumeration's answer.
TEST_P(AssociationEnds, PerSourceAnswersMatchTheEnumeration)
{
    const std::string association = GetParam();
    std::unique_ptr<Pegasus_Adapter> adapter;
    Instance_List list;
    ASSERT_NO_FATAL_FAILURE(enumerate(association, adapter, list));
    if (!list.empty()) {
        const Registration* provider = Pegasus_Adapter::find(module_->head(), (association + "_Provider").c_str());
        ASSERT_NE(provider, nullptr);
        expectAnsweredByTheProvider(provider, list.front().get());
    }
    const std::size_t step = list.size() / 12 + 1;
    for (std::size_t i = 0; i < list.size(); i += step) {
        const Instance* a = list[i].get();
        for (const auto& [role, end] : endsOf(a)) {
            Instance_List expected, answered;
            for (const auto& e : list)
                if (is_reference_of(end, e.get(), role.c_str()))
                    expected.emplace_back(clone(e.get()));
            ASSERT_EQ(adapter->enum_references(end, role.c_str(), answered), 0) << association << "." << role;
            EXPECT_TRUE(sameKeys(expected, answered))
                << association << "." << role << " of" << keyText(end) << ": " << answered.size()
                << " references, the enumeration has " << expected.size();
        }
        Instance_Ptr found;
        ASSERT_EQ(adapter->get_instance(a, found), 0) << association;
        EXPECT_TRUE(found && key_eq(found.get(), a)) << association;
    }
}

// The simulator's arrays share one address, so the ends of two arrays can
// be key-equal: requests about one end are checked on the first array
// alone.
class AssociationRequests : public AssociationEnds {
protected:
    void SetUp() override { configure(1); }
};

// Enumeration and the requests about one end tell the same story: no
// association is delivered twice, the associator names of each end are the
// ends it is paired with, and its references are its associations.
TEST_P(AssociationRequests, EachEndsRequestsAgreeWithEnumeration)
{
    const std::string association = GetParam();
    std::unique_ptr<Pegasus_Adapter> adapter;
    Instance_List list;
    ASSERT_NO_FATAL_FAILURE(enumerate(association, adapter, list));

    const auto identity = [](const Instance* i) { return std::string(i->meta_class->name) + keyText(i); };
    struct Seen {
        const Instance* end;
        std::set<std::string> others;
        std::size_t associations = 0;
    };
    std::map<std::string, Seen> byEnd;
    std::set<std::string> pairs;
    for (const auto& a : list) {
        const auto ends = endsOf(a.get());
        ASSERT_EQ(ends.size(), 2u) << association;
        const std::string first = identity(ends[0].second), second = identity(ends[1].second);
        EXPECT_TRUE(pairs.insert(first + " |" + second).second) << association << " delivers twice:" << first << " |"
                                                                << second;
        byEnd[first].end = ends[0].second;
        byEnd[first].others.insert(second);
        ++byEnd[first].associations;
        if (second != first) {
            byEnd[second].end = ends[1].second;
            byEnd[second].others.insert(first);
            ++byEnd[second].associations;
        }
    }
    for (const auto& [name, seen] : byEnd) {
        Instance_List names;
        ASSERT_EQ(adapter->enum_associator_names(seen.end, String(), String(), String(), names), 0)
            << association << " from" << name;
        std::set<std::string> got;
        for (const auto& n : names)
            got.insert(identity(n.get()));
        EXPECT_EQ(got, seen.others) << association << " associator names of " << name;
        Instance_List references;
        ASSERT_EQ(adapter->enum_references(seen.end, String(), references), 0) << association << " from" << name;
        EXPECT_EQ(references.size(), seen.associations) << association << " references of " << name;
    }
}

// The provider itself answers the references of a source of every class
// an end of its enumeration is of, through the end's role, and of one
// instance of every class the module serves, through any role: never "not
// supported" (which sends the adapter to the whole enumeration), and
// always the associations the enumeration pairs with that source.
TEST_P(AssociationRequests, TheProviderAnswersEveryEndClassAndEveryServedClass)
{
    const std::string association = GetParam();
    std::unique_ptr<Pegasus_Adapter> adapter;
    Instance_List list;
    ASSERT_NO_FATAL_FAILURE(enumerate(association, adapter, list));
    Provider_Object provider(Pegasus_Adapter::find(module_->head(), (association + "_Provider").c_str()));
    ASSERT_TRUE(provider.ready()) << association;

    const auto expectAnswered = [&](const Instance* source, const std::string& role) {
        const std::string from = std::string(source->meta_class->name) + keyText(source) + " (role '" + role + "')";
        Instance_List expected, answered;
        for (const auto& e : list)
            if (is_reference_of(source, e.get(), role.c_str()))
                expected.emplace_back(clone(e.get()));
        const int status = provider.references(source, role, answered);
        ASSERT_NE(status, int(ENUM_REFERENCES_UNSUPPORTED)) << association << " does not answer " << from;
        ASSERT_EQ(status, 0) << association << " fails " << from;
        EXPECT_TRUE(answered.size() == expected.size() && sameKeys(expected, answered))
            << association << " from " << from << ": " << answered.size() << " references, the enumeration has "
            << expected.size();
    };

    std::set<std::pair<std::string, std::string>> endClasses;
    for (const auto& a : list)
        for (const auto& [role, end] : endsOf(a.get()))
            if (end && endClasses.insert({end->meta_class->name, role}).second)
                expectAnswered(end, role);
    for (const std::string& cls : handWrittenRows("instance")) {
        const Instance_List* instances = served(cls);
        ASSERT_NE(instances, nullptr) << "the provider of " << cls << " does not enumerate";
        if (!instances->empty())
            expectAnswered(instances->front().get(), "");
    }
}

// CIM_BasedOn on the first array of the scenario, pinned per pair of end
// classes: how many pairs each class pair has, and that every pair, with
// its order and addresses, is what the provider itself answers from each
// end (through that end's role and through any role), what GetInstance
// finds, and that the associator names of each end, filtered by the far
// end's class and role, are the far ends the enumeration gives it.
class BasedOnPairs : public AssociationEnds {
protected:
    void SetUp() override { configure(1); }

    static std::string pairText(const Instance* i)
    {
        const auto* a = static_cast<const CIM_BasedOn*>(i);
        auto value = [](const Property<uint64>& p) { return p.null ? std::string("-") : std::to_string(p.value); };
        const auto ends = endsOf(i);
        std::string out;
        for (const auto& [role, end] : ends)
            out += std::string(end->meta_class->name) + keyText(end) + " |";
        return out + " #" + (a->OrderIndex.null ? std::string("-") : std::to_string(a->OrderIndex.value)) + " " +
               value(a->StartingAddress) + "-" + value(a->EndingAddress);
    }
    static std::multiset<std::string> pairTexts(const Instance_List& list)
    {
        std::multiset<std::string> out;
        for (const auto& i : list)
            out.insert(pairText(i.get()));
        return out;
    }
};

TEST_F(BasedOnPairs, EachClassPairFromEachEndAndByGetInstance)
{
    std::unique_ptr<Pegasus_Adapter> adapter;
    Instance_List list;
    ASSERT_NO_FATAL_FAILURE(enumerate("CIM_BasedOn", adapter, list));
    Provider_Object provider(Pegasus_Adapter::find(module_->head(), "CIM_BasedOn_Provider"));
    ASSERT_TRUE(provider.ready());

    std::map<std::string, std::size_t> classPairs;
    for (const auto& a : list) {
        const auto ends = endsOf(a.get());
        ASSERT_EQ(ends.size(), 2u);
        ++classPairs[std::string(ends[0].second->meta_class->name) + ">" + ends[1].second->meta_class->name];
    }
    const std::map<std::string, std::size_t> expected = {
        {"VELDARO_ConcatenatedExtent>VELDARO_StorageVolume", 2},
        {"VELDARO_DiskExtent>VELDARO_MirroredExtent", 4},
        {"VELDARO_DiskExtent>VELDARO_RAIDCompositeExtent", 4},
        {"VELDARO_LayerixExtent>VELDARO_StorageVolume", 1},
        {"VELDARO_LayerixSubExtent>VELDARO_LayerixExtent", 2},
        {"VELDARO_PartOfConcatenatedExtent>VELDARO_ConcatenatedExtent", 6},
        {"VELDARO_RAIDCompositeExtent>VELDARO_FreeExtent", 11},
        {"VELDARO_RAIDCompositeExtent>VELDARO_LayerixSubExtent", 2},
        {"VELDARO_RAIDCompositeExtent>VELDARO_PartOfConcatenatedExtent", 6},
        {"VELDARO_RAIDCompositeExtent>VELDARO_SDPVExtent", 1},
        {"VELDARO_RAIDCompositeExtent>VELDARO_StorageVolume", 13},
        {"VELDARO_RAIDCompositeExtent>VELDARO_ThinProvisioningExtent", 1},
    };
    EXPECT_EQ(classPairs, expected);

    const auto identity = [](const Instance* i) { return std::string(i->meta_class->name) + keyText(i); };
    std::set<std::string> asked;
    for (const auto& a : list) {
        const auto ends = endsOf(a.get());
        for (std::size_t e = 0; e < ends.size(); ++e) {
            const auto& [role, end] = ends[e];
            if (!asked.insert(identity(end) + "/" + role).second)
                continue;
            const std::string from = identity(end) + " as " + role;
            for (const std::string& through : {role, std::string()}) {
                Instance_List wanted, answered;
                for (const auto& x : list)
                    if (is_reference_of(end, x.get(), through.c_str()))
                        wanted.emplace_back(clone(x.get()));
                ASSERT_EQ(provider.references(end, through, answered), 0) << from;
                EXPECT_EQ(pairTexts(answered), pairTexts(wanted)) << from << " (role '" << through << "')";
            }
            const std::string farRole = ends[1 - e].first;
            std::map<std::string, std::set<std::string>> farByClass;
            for (const auto& x : list)
                if (is_reference_of(end, x.get(), role.c_str()))
                    for (const auto& [r, far] : endsOf(x.get()))
                        if (r == farRole)
                            farByClass[far->meta_class->name].insert(identity(far));
            for (const auto& [cls, fars] : farByClass) {
                Instance_List names;
                ASSERT_EQ(adapter->enum_associator_names(end, String(cls.c_str()), String(role.c_str()),
                                                         String(farRole.c_str()), names),
                          0)
                    << from;
                std::set<std::string> got;
                for (const auto& n : names)
                    got.insert(identity(n.get()));
                EXPECT_EQ(got, fars) << from << " to " << cls;
            }
        }
        Instance_Ptr found;
        ASSERT_EQ(adapter->get_instance(a.get(), found), 0) << pairText(a.get());
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(pairText(found.get()), pairText(a.get()));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, AssociationEnds, ::testing::ValuesIn(handWrittenAssociations()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });
INSTANTIATE_TEST_SUITE_P(Table, AssociationRequests, ::testing::ValuesIn(handWrittenAssociations()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
