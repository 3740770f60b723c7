#include "CimOperations.h"

#include "ClassNameSpace.h"
#include "ClassQualifiers.h"
#include "RequestDocument.h"
#include "ValueText.h"

#include <map>
#include <string_view>

namespace cimserver {

using namespace cimple;

// The state of one intrinsic or extrinsic call while it is answered.
struct CimOperations::Call {
    AnswerSink* sink = nullptr;
    std::string host; // references name the server so
    std::string name_space;
    std::map<std::string, pugi::xml_node> params; // upper-cased names
    CimError error;
    bool failed = false;

    pugi::xml_node param(const char* name) const
    {
        std::string key(name);
        for (auto& ch : key)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        auto it = params.find(key);
        return it == params.end() ? pugi::xml_node() : it->second;
    }

    // A boolean parameter's value; the default when absent.
    bool flag(const char* name, bool dflt)
    {
        pugi::xml_node p = param(name);
        if (!p)
            return dflt;
        std::string t = p.child("VALUE").text().get();
        if (eqi(t.c_str(), "TRUE"))
            return true;
        if (eqi(t.c_str(), "FALSE"))
            return false;
        fail({CIM_ERR_INVALID_PARAMETER, std::string(name) + " must be TRUE or FALSE"});
        return dflt;
    }

    // A string parameter's value (or a CLASSNAME's name); empty when absent.
    std::string text(const char* name) const
    {
        pugi::xml_node p = param(name);
        if (!p)
            return "";
        if (auto cn = p.child("CLASSNAME"))
            return cn.attribute("NAME").value();
        return p.child("VALUE").text().get();
    }

    // The class a required ClassName parameter names: a CLASSNAME with a
    // NAME and nothing inside (or a VALUE holding the name alone). Empty,
    // with the call failed as an invalid parameter, when the parameter is
    // missing or holds anything else.
    std::string required_class_name()
    {
        pugi::xml_node p = param("ClassName");
        pugi::xml_node only = p.first_child();
        const bool single = only && only.type() == pugi::node_element && !only.next_sibling();
        std::string name;
        if (single && std::string_view(only.name()) == "CLASSNAME" && !only.first_child())
            name = only.attribute("NAME").value();
        else if (single && std::string_view(only.name()) == "VALUE" && !only.first_child().next_sibling() &&
                 (!only.first_child() || only.first_child().type() == pugi::node_pcdata))
            name = only.text().get();
        if (name.empty())
            fail({CIM_ERR_INVALID_PARAMETER, "ClassName must name a class (one CLASSNAME element)"});
        return name;
    }

    void fail(CimError e)
    {
        if (!failed) {
            failed = true;
            error = std::move(e);
        }
    }
};

namespace {

// An associator in the other served name space (the array's system that a
// profile in interop leads to) is answered with its own name-space path.
bool crosses_name_space(const Instance* inst, bool references)
{
    return !references && CimOperations::served_name_space(inst->__name_space.c_str());
}

PropertyFilter property_filter(pugi::xml_node param)
{
    PropertyFilter f;
    if (!param)
        return f;
    pugi::xml_node array = param.child("VALUE.ARRAY");
    if (!array)
        return f; // a null property list means every property
    f.all = false;
    for (auto v : array.children("VALUE"))
        f.names.emplace_back(v.text().get());
    return f;
}

// EnumerateInstances without DeepInheritance: each instance carries only the
// properties of the named class (of those the property list names, when it
// names any), none that a subclass adds.
PropertyFilter shallow_filter(const Meta_Class* base, const PropertyFilter& requested)
{
    PropertyFilter f;
    f.all = false;
    for (size_t i = 0; i < base->num_meta_features; i++) {
        const Meta_Feature* mf = base->meta_features[i];
        if ((mf->flags & (CIMPLE_FLAG_PROPERTY | CIMPLE_FLAG_REFERENCE)) && requested.includes(mf->name))
            f.names.emplace_back(mf->name);
    }
    return f;
}

// One answer of an association request: its path, or the instance with it.
void write_associated(CimXmlWriter& w, const Instance* inst, bool names_only, const PropertyFilter& filter)
{
    if (names_only) {
        w.out() += "<OBJECTPATH>";
        w.instance_path(inst);
        w.out() += "</OBJECTPATH>";
    } else {
        w.out() += "<VALUE.OBJECTWITHPATH>";
        w.instance_path(inst);
        w.instance(inst, filter);
        w.out() += "</VALUE.OBJECTWITHPATH>";
    }
}

// True when the class repository marks the method Static.
bool is_static(const Meta_Class* mc, const Meta_Method* mm)
{
    for (const auto& q : ClassQualifiers::served().of(mc->name, mm->name))
        if (eqi(q.name, "Static"))
            return true;
    return false;
}

} // namespace

CimOperations::CimOperations(const ProviderModule& module, std::string host)
    : _module(module), _reader(module.repository()), _host(std::move(host))
{
}

void CimOperations::set_host(std::string host)
{
    _host = std::move(host);
}

bool CimOperations::served_name_space(const std::string& ns)
{
    return eqi(ns.c_str(), ClassNameSpace::ARRAYS) || eqi(ns.c_str(), ClassNameSpace::INTEROP);
}

namespace {

// True when a version attribute is absent or of the major version served.
bool major_version_is(pugi::xml_node node, const char* attribute, char major)
{
    pugi::xml_attribute a = node.attribute(attribute);
    if (!a)
        return true;
    const char* v = a.value();
    return v[0] == major && (v[1] == '\0' || v[1] == '.');
}

} // namespace

OperationReply CimOperations::handle(const std::string& body, const std::string& cim_method, AnswerSink& sink,
                                     const std::string& host) const
{
    OperationReply reply;
    auto refuse = [&](int status, const char* cim_error) {
        reply.http_status = status;
        reply.cim_error = cim_error;
        return reply;
    };
    pugi::xml_document doc;
    if (!RequestDocument::load(body, doc))
        return refuse(400, "request-not-well-formed");
    pugi::xml_node cim = doc.child("CIM");
    pugi::xml_node message = cim.child("MESSAGE");
    // One operation a request: a MULTIREQ is refused as DSP0200 has it.
    if (message.child("MULTIREQ"))
        return refuse(501, "multiple-requests-unsupported");
    pugi::xml_node simple = message.child("SIMPLEREQ");
    pugi::xml_node imethod = simple.child("IMETHODCALL");
    pugi::xml_node method = simple.child("METHODCALL");
    if (!message || !simple || (!imethod && !method))
        return refuse(400, "request-not-valid");
    // The message's ID and protocol version are required; the answer
    // carries the same ID.
    pugi::xml_attribute id = message.attribute("ID");
    pugi::xml_attribute protocol = message.attribute("PROTOCOLVERSION");
    if (!id || !*id.value() || !protocol || !*protocol.value())
        return refuse(400, "request-not-valid");
    if (!major_version_is(message, "PROTOCOLVERSION", '1'))
        return refuse(501, "unsupported-protocol-version");
    if (!major_version_is(cim, "CIMVERSION", '2'))
        return refuse(501, "unsupported-cim-version");
    if (!major_version_is(cim, "DTDVERSION", '2'))
        return refuse(501, "unsupported-dtd-version");
    pugi::xml_node callnode = imethod ? imethod : method;
    std::string name = callnode.attribute("NAME").value();
    if (name.empty() || !eqi(name.c_str(), cim_method.c_str()))
        return refuse(400, "header-mismatch");

    bool intrinsic_call = static_cast<bool>(imethod);
    const std::string& server = host.empty() ? _host : host;
    CimXmlWriter envelope(server, "", sink.text());
    envelope.open_response(id.value(), name, intrinsic_call);
    size_t start = sink.text().size();
    sink.piece_done();
    Call call;
    call.sink = &sink;
    call.host = server;
    try {
        if (intrinsic_call)
            intrinsic(call, imethod);
        else
            extrinsic(call, method);
    } catch (const std::exception& e) {
        call.fail({CIM_ERR_FAILED, std::string("internal error: ") + e.what()});
    } catch (...) {
        call.fail({CIM_ERR_FAILED, "internal error"});
    }
    if (call.failed) {
        if (!sink.started()) {
            // Nothing has left yet: the answer is the error alone.
            sink.text().resize(start);
            envelope.error(call.error);
        } else {
            // Part of the answer has left: it is closed as a whole document
            // and the error goes with it outside the body.
            sink.drop_partial();
            sink.text() += "</IRETURNVALUE>";
            reply.late_error = true;
            reply.error = call.error;
        }
    }
    envelope.close_response(intrinsic_call);
    return reply;
}

std::vector<std::uint16_t> CimOperations::functional_profiles()
{
    // Basic Read, Instance Manipulation, Association Traversal and
    // Indications (the subscriptions in interop): what intrinsic() answers.
    // Not Basic Write (SetProperty) nor Query Execution (ExecQuery), which
    // it answers CIM_ERR_NOT_SUPPORTED.
    return {2, 5, 6, 9};
}

void CimOperations::intrinsic(Call& c, pugi::xml_node call) const
{
    c.name_space = CimXmlReader::name_space(call.child("LOCALNAMESPACEPATH"));
    if (!served_name_space(c.name_space)) {
        c.fail({CIM_ERR_INVALID_NAMESPACE, "name space " + c.name_space + " is not served"});
        return;
    }
    for (auto p : call.children("IPARAMVALUE")) {
        std::string key = p.attribute("NAME").value();
        for (auto& ch : key)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        c.params[key] = p;
    }
    const char* op = call.attribute("NAME").value();
    if (eqi(op, "GetClass"))
        return get_class(c);
    if (eqi(op, "EnumerateClasses"))
        return enumerate_classes(c, false);
    if (eqi(op, "EnumerateClassNames"))
        return enumerate_classes(c, true);
    if (eqi(op, "GetInstance"))
        return get_instance(c);
    if (eqi(op, "EnumerateInstances"))
        return enumerate_instances(c, false);
    if (eqi(op, "EnumerateInstanceNames"))
        return enumerate_instances(c, true);
    if (eqi(op, "CreateInstance"))
        return create_instance(c);
    if (eqi(op, "DeleteInstance"))
        return delete_instance(c);
    if (eqi(op, "ModifyInstance"))
        return modify_instance(c);
    if (eqi(op, "Associators"))
        return associators(c, false, false);
    if (eqi(op, "AssociatorNames"))
        return associators(c, false, true);
    if (eqi(op, "References"))
        return associators(c, true, false);
    if (eqi(op, "ReferenceNames"))
        return associators(c, true, true);
    c.fail({CIM_ERR_NOT_SUPPORTED, std::string("operation ") + op + " is not supported"});
    return;
}

void CimOperations::get_class(Call& c) const
{
    std::string name = c.required_class_name();
    ClassOptions options;
    options.local_only = c.flag("LocalOnly", true);
    options.include_qualifiers = c.flag("IncludeQualifiers", true);
    options.include_class_origin = c.flag("IncludeClassOrigin", false);
    if (c.failed)
        return;
    const Meta_Class* mc = _reader.class_named(name.c_str(), nullptr, c.error);
    if (!mc) {
        // The class asked for is the object of the request: it is not found.
        c.fail({CIM_ERR_NOT_FOUND, "no class " + name});
        return;
    }
    CimXmlWriter w(c.host, c.name_space, c.sink->text());
    w.out() += "<IRETURNVALUE>";
    w.class_decl(mc, options);
    w.out() += "</IRETURNVALUE>";
}

void CimOperations::enumerate_classes(Call& c, bool names_only) const
{
    std::string name = c.text("ClassName");
    bool deep = c.flag("DeepInheritance", false);
    ClassOptions options;
    options.local_only = c.flag("LocalOnly", true);
    options.include_qualifiers = c.flag("IncludeQualifiers", true);
    options.include_class_origin = c.flag("IncludeClassOrigin", false);
    if (c.failed)
        return;
    const Meta_Class* base = nullptr;
    if (!name.empty()) {
        base = _reader.class_named(name.c_str(), nullptr, c.error);
        if (!base) {
            c.failed = true;
            return;
        }
    }
    const Meta_Repository* repo = _module.repository();
    CimXmlWriter w(c.host, c.name_space, c.sink->text());
    w.out() += "<IRETURNVALUE>";
    for (size_t i = 0; i < repo->num_meta_classes; i++) {
        const Meta_Class* mc = repo->meta_classes[i];
        if (mc == base)
            continue;
        bool take = deep ? (base ? is_subclass(base, mc) : true) : (mc->super_meta_class == base);
        if (!take)
            continue;
        if (names_only)
            w.class_name(mc->name);
        else
            w.class_decl(mc, options);
    }
    w.out() += "</IRETURNVALUE>";
}

void CimOperations::get_instance(Call& c) const
{
    PropertyFilter filter = property_filter(c.param("PropertyList"));
    Instance_Ptr model = _reader.from_instance_name(c.param("InstanceName").first_child(), nullptr, c.error);
    if (!model) {
        c.failed = true;
        return;
    }
    Instance_Ptr found;
    if (_subscriptions && _subscriptions->owns(model->meta_class)) {
        if (subscription_elsewhere(c, model->meta_class, CIM_ERR_NOT_FOUND) || !_subscriptions->get(model.get(), found, c.error)) {
            c.failed = true;
            return;
        }
        CimXmlWriter w(c.host, c.name_space, c.sink->text());
        w.out() += "<IRETURNVALUE>";
        w.instance(found.get(), filter);
        w.out() += "</IRETURNVALUE>";
        return;
    }
    Pegasus_Adapter* p = _module.provider_of(model->meta_class->name);
    if (!p) {
        c.fail({CIM_ERR_NOT_FOUND, std::string("no instances of ") + model->meta_class->name + " are served"});
        return;
    }
    int status = p->get_instance(model.get(), found);
    if (status != 0 || !found) {
        CimError e = error_of_provider_status(status ? status : GET_INSTANCE_NOT_FOUND, p->provider_name());
        c.fail(e);
        return;
    }
    if (!ClassNameSpace::served_in(found.get(), c.name_space)) {
        c.fail({CIM_ERR_NOT_FOUND, "the instance is not served in name space " + c.name_space});
        return;
    }
    CimXmlWriter w(c.host, c.name_space, c.sink->text());
    w.out() += "<IRETURNVALUE>";
    w.instance(found.get(), filter);
    w.out() += "</IRETURNVALUE>";
}

void CimOperations::enumerate_instances(Call& c, bool names_only) const
{
    PropertyFilter filter = property_filter(c.param("PropertyList"));
    const bool deep = c.flag("DeepInheritance", true);
    std::string name = c.text("ClassName");
    if (c.failed)
        return;
    const Meta_Class* base = _reader.class_named(name.c_str(), nullptr, c.error);
    if (!base) {
        c.failed = true;
        return;
    }
    if (!deep)
        filter = shallow_filter(base, filter);
    if (base->flags & CIMPLE_FLAG_INDICATION) {
        c.fail({CIM_ERR_NOT_SUPPORTED, std::string("instances of indication class ") + base->name +
                                           " are delivered to listeners, not enumerated"});
        return;
    }
    CimXmlWriter w(c.host, c.name_space, c.sink->text());
    w.out() += "<IRETURNVALUE>";
    // Each instance is written as the provider hands it over and goes back
    // at once, so the server holds one instance and one part of the text at
    // a time, not the provider's whole answer.
    auto write = [&](Instance_Ptr inst) {
        if (c.sink->abandoned())
            return false; // the client went away: the walk stops
        if (!ClassNameSpace::served_in(inst.get(), c.name_space))
            return true;
        try {
            if (names_only) {
                w.instance_name(inst.get());
            } else {
                w.out() += "<VALUE.NAMEDINSTANCE>";
                w.instance_name(inst.get());
                w.instance(inst.get(), filter);
                w.out() += "</VALUE.NAMEDINSTANCE>";
            }
            inst.reset();
            c.sink->piece_done();
        } catch (const std::exception& e) {
            c.fail({CIM_ERR_FAILED, std::string("internal error: ") + e.what()});
            return false;
        }
        return true;
    };
    const Instance_Consumer each(write);
    // A client that went away is asked for no further walk: no next
    // provider, and the provider's own walk stops at its next array or
    // table entry.
    const std::function<bool()> wanted = [&] { return !c.sink->abandoned(); };
    for (Pegasus_Adapter* p : _module.providers()) {
        if (!is_subclass(base, p->registration()->meta_class))
            continue;
        if (!wanted())
            break;
        int status = p->enum_instances(each, nullptr, wanted);
        if (status != 0) {
            c.fail(error_of_provider_status(status, p->provider_name()));
            return;
        }
    }
    if (_subscriptions && _subscriptions->serves_below(base))
        for (Instance_Ptr& inst : _subscriptions->enumerate(base))
            if (!write(std::move(inst)))
                break;
    // A walk cut short (its client left, the server stops) never closes as
    // a whole answer.
    if (c.sink->abandoned())
        c.fail({CIM_ERR_FAILED, "the enumeration was stopped before its end"});
    if (c.failed)
        return;
    w.out() += "</IRETURNVALUE>";
}

void CimOperations::create_instance(Call& c) const
{
    Instance_Ptr inst = _reader.from_instance(c.param("NewInstance").first_child(), c.error);
    if (!inst) {
        c.failed = true;
        return;
    }
    if (_subscriptions && _subscriptions->owns(inst->meta_class)) {
        Instance_Ptr name;
        if (subscription_elsewhere(c, inst->meta_class, CIM_ERR_NOT_SUPPORTED) || !_subscriptions->create(inst.get(), name, c.error)) {
            c.failed = true;
            return;
        }
        CimXmlWriter w(c.host, c.name_space, c.sink->text());
        w.out() += "<IRETURNVALUE>";
        w.instance_name(name.get());
        w.out() += "</IRETURNVALUE>";
        return;
    }
    Pegasus_Adapter* p = _module.provider_of(inst->meta_class->name);
    if (!p) {
        c.fail({CIM_ERR_NOT_SUPPORTED, std::string("instances of ") + inst->meta_class->name + " cannot be created"});
        return;
    }
    int status = p->create_instance(inst.get());
    if (status != 0) {
        c.fail(error_of_provider_status(status, p->provider_name()));
        return;
    }
    CimXmlWriter w(c.host, c.name_space, c.sink->text());
    w.out() += "<IRETURNVALUE>";
    w.instance_name(inst.get());
    w.out() += "</IRETURNVALUE>";
}

void CimOperations::delete_instance(Call& c) const
{
    Instance_Ptr model = _reader.from_instance_name(c.param("InstanceName").first_child(), nullptr, c.error);
    if (!model) {
        c.failed = true;
        return;
    }
    if (_subscriptions && _subscriptions->owns(model->meta_class)) {
        if (subscription_elsewhere(c, model->meta_class, CIM_ERR_NOT_FOUND) || !_subscriptions->remove(model.get(), c.error))
            c.failed = true;
        return;
    }
    Pegasus_Adapter* p = _module.provider_of(model->meta_class->name);
    if (!p) {
        c.fail({CIM_ERR_NOT_FOUND, std::string("no instances of ") + model->meta_class->name + " are served"});
        return;
    }
    int status = p->delete_instance(model.get());
    if (status != 0)
        c.fail(error_of_provider_status(status, p->provider_name()));
    return;
}

void CimOperations::modify_instance(Call& c) const
{
    pugi::xml_node named_instance = c.param("ModifiedInstance").child("VALUE.NAMEDINSTANCE");
    if (!named_instance) {
        c.fail({CIM_ERR_INVALID_PARAMETER, "ModifiedInstance needs a VALUE.NAMEDINSTANCE"});
        return;
    }
    Instance_Ptr model = _reader.from_instance_name(named_instance.child("INSTANCENAME"), nullptr, c.error);
    if (!model) {
        c.failed = true;
        return;
    }
    Instance_Ptr inst = _reader.from_instance(named_instance.child("INSTANCE"), c.error);
    if (!inst) {
        c.failed = true;
        return;
    }
    if (inst->meta_class != model->meta_class) {
        c.fail({CIM_ERR_INVALID_PARAMETER, "the instance and its name are of different classes"});
        return;
    }
    if (_subscriptions && _subscriptions->owns(model->meta_class)) {
        c.fail({CIM_ERR_NOT_SUPPORTED, std::string(model->meta_class->name) +
                                           " is not modified: delete it and create it anew"});
        return;
    }
    // The model marks the properties to change: those the property list
    // names, or every property the instance carries.
    PropertyFilter filter = property_filter(c.param("PropertyList"));
    const Meta_Class* mc = model->meta_class;
    for (size_t i = 0; i < mc->num_meta_features; i++) {
        const Meta_Feature* mf = mc->meta_features[i];
        if (!(mf->flags & CIMPLE_FLAG_PROPERTY) || (mf->flags & CIMPLE_FLAG_KEY))
            continue;
        auto* mp = reinterpret_cast<const Meta_Property*>(mf);
        std::vector<std::string> texts;
        bool present = property_texts(inst.get(), mp, texts);
        if (filter.all ? present : filter.includes(mf->name)) {
            if (present)
                set_property_texts(model.get(), mp, texts, mp->subscript != 0);
            else
                clear_property(model.get(), mp);
        }
    }
    // The keys of the instance are those of its name.
    for (size_t i = 0; i < mc->num_meta_features; i++) {
        const Meta_Feature* mf = mc->meta_features[i];
        if ((mf->flags & CIMPLE_FLAG_KEY) && (mf->flags & CIMPLE_FLAG_PROPERTY)) {
            auto* mp = reinterpret_cast<const Meta_Property*>(mf);
            std::vector<std::string> texts;
            if (property_texts(model.get(), mp, texts))
                set_property_texts(inst.get(), mp, texts, false);
        }
    }
    Pegasus_Adapter* p = _module.provider_of(mc->name);
    if (!p) {
        c.fail({CIM_ERR_NOT_FOUND, std::string("no instances of ") + mc->name + " are served"});
        return;
    }
    int status = p->modify_instance(model.get(), inst.get());
    if (status != 0)
        c.fail(error_of_provider_status(status, p->provider_name()));
    return;
}

void CimOperations::associators(Call& c, bool references, bool names_only) const
{
    PropertyFilter filter = property_filter(c.param("PropertyList"));
    std::string assoc_name = references ? c.text("ResultClass") : c.text("AssocClass");
    std::string result_name = references ? "" : c.text("ResultClass");
    std::string role = c.text("Role");
    std::string result_role = references ? "" : c.text("ResultRole");
    // A filter class the server does not know is a bad parameter, not a
    // bad object.
    const Meta_Class* assoc_class = nullptr;
    const Meta_Class* result_class = nullptr;
    CimError unknown;
    if (!assoc_name.empty() && !(assoc_class = _reader.class_named(assoc_name.c_str(), nullptr, unknown))) {
        c.fail({CIM_ERR_INVALID_PARAMETER, (references ? "ResultClass " : "AssocClass ") + unknown.description});
        return;
    }
    if (!result_name.empty() && !(result_class = _reader.class_named(result_name.c_str(), nullptr, unknown))) {
        c.fail({CIM_ERR_INVALID_PARAMETER, "ResultClass " + unknown.description});
        return;
    }
    pugi::xml_node object = c.param("ObjectName").first_child();
    if (named(object, "CLASSNAME")) {
        // Class-level association requests have nothing to answer from
        // instance providers.
        if (!_reader.class_named(object.attribute("NAME").value(), nullptr, c.error))
            c.failed = true;
        c.sink->text() += "<IRETURNVALUE></IRETURNVALUE>";
        return;
    }
    Instance_Ptr source = _reader.from_instance_name(object, nullptr, c.error);
    if (!source) {
        c.failed = true;
        return;
    }
    if (_subscriptions && _subscriptions->owns(source->meta_class))
        return subscription_associators(c, source.get(), references, names_only, assoc_class, result_class, role,
                                        result_role, filter);
    CimXmlWriter w(c.host, c.name_space, c.sink->text());
    w.out() += "<IRETURNVALUE>";
    for (Pegasus_Adapter* p : _module.providers()) {
        const Meta_Class* pc = p->registration()->meta_class;
        if (!(pc->flags & CIMPLE_FLAG_ASSOCIATION))
            continue;
        if (assoc_class && !is_subclass(assoc_class, pc))
            continue;
        // Only associations with a reference that can point at the source
        // (through the given role, when one is given) are asked.
        bool fits = false;
        for (size_t i = 0; i < pc->num_meta_features && !fits; i++) {
            const Meta_Feature* mf = pc->meta_features[i];
            if (!(mf->flags & CIMPLE_FLAG_REFERENCE) || (mf->flags & CIMPLE_FLAG_EMBEDDED_OBJECT))
                continue;
            if (!role.empty() && !eqi(mf->name, role.c_str()))
                continue;
            auto* mr = reinterpret_cast<const Meta_Reference*>(mf);
            fits = !mr->meta_class || is_subclass(mr->meta_class, source->meta_class) ||
                   is_subclass(source->meta_class, mr->meta_class);
        }
        if (!fits)
            continue;
        Instance_List found;
        int status;
        if (references)
            status = p->enum_references(source.get(), role.c_str(), found);
        else if (names_only)
            status = p->enum_associator_names(source.get(), result_name.c_str(), role.c_str(), result_role.c_str(),
                                              found);
        else
            status = p->enum_associators(source.get(), result_name.c_str(), role.c_str(), result_role.c_str(), found);
        if (status != 0) {
            c.fail(error_of_provider_status(status, p->provider_name()));
            return;
        }
        for (auto& inst : found) {
            if (!ClassNameSpace::served_in(inst.get(), c.name_space) && !crosses_name_space(inst.get(), references))
                continue;
            if (!references && result_class && !is_subclass(result_class, inst->meta_class))
                continue;
            write_associated(w, inst.get(), names_only, filter);
            inst.reset();
            c.sink->piece_done();
        }
    }
    w.out() += "</IRETURNVALUE>";
}

bool CimOperations::subscription_elsewhere(Call& c, const Meta_Class* mc, int code) const
{
    if (eqi(c.name_space.c_str(), ClassNameSpace::INTEROP))
        return false;
    c.fail({code, std::string(mc->name) + " instances live in name space " + ClassNameSpace::INTEROP});
    return true;
}

void CimOperations::subscription_associators(Call& c, const Instance* source, bool references, bool names_only,
                                             const Meta_Class* assoc_class, const Meta_Class* result_class,
                                             const std::string& role, const std::string& result_role,
                                             const PropertyFilter& filter) const
{
    Instance_List found = references ? _subscriptions->references(source, assoc_class, role)
                                     : _subscriptions->associators(source, assoc_class, result_class, role,
                                                                   result_role);
    CimXmlWriter w(c.host, c.name_space, c.sink->text());
    w.out() += "<IRETURNVALUE>";
    for (auto& inst : found) {
        if (!ClassNameSpace::served_in(inst.get(), c.name_space))
            continue;
        write_associated(w, inst.get(), names_only, filter);
        c.sink->piece_done();
    }
    w.out() += "</IRETURNVALUE>";
}

void CimOperations::extrinsic(Call& c, pugi::xml_node call) const
{
    const char* method_name = call.attribute("NAME").value();
    Instance_Ptr target;
    const Meta_Class* mc = nullptr;
    if (auto lip = call.child("LOCALINSTANCEPATH")) {
        c.name_space = CimXmlReader::name_space(lip.child("LOCALNAMESPACEPATH"));
        if (served_name_space(c.name_space)) {
            target = _reader.from_instance_name(lip.child("INSTANCENAME"), nullptr, c.error);
            if (!target) {
                c.failed = true;
                return;
            }
            mc = target->meta_class;
        }
    } else if (auto lcp = call.child("LOCALCLASSPATH")) {
        c.name_space = CimXmlReader::name_space(lcp.child("LOCALNAMESPACEPATH"));
        if (served_name_space(c.name_space)) {
            mc = _reader.class_named(lcp.child("CLASSNAME").attribute("NAME").value(), nullptr, c.error);
            if (!mc) {
                c.failed = true;
                return;
            }
            target.reset(create(mc));
            nullify_properties(target.get());
        }
    } else {
        c.fail({CIM_ERR_INVALID_PARAMETER, "the method call names no object"});
        return;
    }
    if (!served_name_space(c.name_space)) {
        c.fail({CIM_ERR_INVALID_NAMESPACE, "name space " + c.name_space + " is not served"});
        return;
    }
    const Meta_Method* mm = find_method(mc, method_name);
    if (!mm) {
        c.fail({CIM_ERR_METHOD_NOT_FOUND, std::string(mc->name) + " has no method " + method_name});
        return;
    }
    // Only a static method is called on a class; any other needs the
    // instance it works on, so the provider is not asked.
    if (call.child("LOCALCLASSPATH") && !is_static(mc, mm)) {
        c.fail({CIM_ERR_INVALID_PARAMETER,
                std::string(mc->name) + "." + method_name + " is not static: call it on an instance"});
        return;
    }
    Pegasus_Adapter* p = _module.provider_of(mc->name);
    if (!p) {
        c.fail({CIM_ERR_NOT_SUPPORTED, std::string("no provider serves ") + mc->name});
        return;
    }
    Instance_Ptr method(create(mm));
    nullify_properties(method.get()); // parameters the client does not give stay null
    for (auto pv : call.children("PARAMVALUE")) {
        const char* pname = pv.attribute("NAME").value();
        const Meta_Feature* pf = nullptr;
        for (size_t i = 0; i < mm->num_meta_features; i++)
            if (eqi(mm->meta_features[i]->name, pname) && (mm->meta_features[i]->flags & CIMPLE_FLAG_IN))
                pf = mm->meta_features[i];
        if (!pf) {
            c.fail({CIM_ERR_INVALID_PARAMETER, std::string(method_name) + " has no input parameter " + pname});
            return;
        }
        if (!_reader.set_feature(method.get(), pf, pv, c.error)) {
            c.failed = true;
            return;
        }
    }
    int status = p->invoke_method(target.get(), method.get());
    if (status != 0) {
        CimError e = error_of_provider_status(status, p->provider_name());
        if (status == -1)
            e = {CIM_ERR_INVALID_PARAMETER, std::string("the provider refused the call of ") + method_name};
        c.fail(e);
        return;
    }
    CimXmlWriter w(c.host, c.name_space, c.sink->text());
    for (size_t i = 0; i < mm->num_meta_features; i++) {
        const Meta_Feature* pf = mm->meta_features[i];
        if (eqi(pf->name, "return_value")) {
            std::vector<std::string> texts;
            auto* rp = reinterpret_cast<const Meta_Property*>(pf);
            if (property_texts(method.get(), rp, texts)) {
                w.out() += "<RETURNVALUE PARAMTYPE=\"";
                w.out() += type_name(rp->type);
                w.out() += "\"><VALUE>";
                CimXmlWriter::append_escaped(w.out(), texts[0]);
                w.out() += "</VALUE></RETURNVALUE>";
            }
            break;
        }
    }
    // The return value comes before the output parameters.
    for (size_t i = 0; i < mm->num_meta_features; i++) {
        const Meta_Feature* pf = mm->meta_features[i];
        if (!eqi(pf->name, "return_value") && (pf->flags & CIMPLE_FLAG_OUT))
            w.out_parameter(method.get(), pf);
    }
}

} // namespace cimserver
