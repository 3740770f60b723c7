#include "CimXmlReader.h"

#include "ValueText.h"

#include <cstring>
#include <vector>

namespace cimserver {

using namespace cimple;

namespace {

// Reference keys that point to references that point to ... stop here.
constexpr int MAX_REFERENCE_DEPTH = 8;

std::string text_of(pugi::xml_node value)
{
    return value.text().get();
}

CimError invalid(const std::string& what)
{
    return {CIM_ERR_INVALID_PARAMETER, what};
}

} // namespace

bool named(pugi::xml_node node, const char* name)
{
    return node && eqi(node.name(), name);
}

std::string CimXmlReader::name_space(pugi::xml_node path)
{
    std::string ns;
    for (auto n : path.children()) {
        if (!named(n, "NAMESPACE"))
            continue;
        if (!ns.empty())
            ns += '/';
        ns += n.attribute("NAME").value();
    }
    return ns;
}

const Meta_Class* CimXmlReader::class_named(const char* name, const Meta_Class* declared, CimError& error) const
{
    const Meta_Class* mc = name && *name ? find_meta_class(_repository, name) : nullptr;
    if (!mc) {
        error = {CIM_ERR_INVALID_CLASS, std::string("no class ") + (name ? name : "")};
        return nullptr;
    }
    if (mc->flags & CIMPLE_FLAG_METHOD) {
        error = {CIM_ERR_INVALID_CLASS, std::string("no class ") + name};
        return nullptr;
    }
    if (declared && !is_subclass(declared, mc)) {
        error = invalid(std::string(name) + " is not a " + declared->name);
        return nullptr;
    }
    return mc;
}

Instance_Ptr CimXmlReader::from_instance_name(pugi::xml_node name, const Meta_Class* declared, CimError& error,
                                              int depth) const
{
    if (!named(name, "INSTANCENAME")) {
        error = invalid("an instance name is expected");
        return nullptr;
    }
    const Meta_Class* mc = class_named(name.attribute("CLASSNAME").value(), declared, error);
    if (!mc)
        return nullptr;
    Instance_Ptr inst(create(mc));
    nullify_properties(inst.get()); // what the name does not bind stays null
    std::vector<const Meta_Feature*> bound;
    for (auto kb : name.children()) {
        if (!named(kb, "KEYBINDING")) {
            error = invalid(std::string("unexpected element ") + kb.name() + " in an instance name");
            return nullptr;
        }
        const char* key = kb.attribute("NAME").value();
        const Meta_Feature* mf = find_feature(mc, key);
        if (!mf || !(mf->flags & CIMPLE_FLAG_KEY) || (mf->flags & CIMPLE_FLAG_METHOD)) {
            error = invalid(std::string(key) + " is not a key of " + mc->name);
            return nullptr;
        }
        for (auto* b : bound)
            if (b == mf) {
                error = invalid(std::string("key ") + key + " bound twice");
                return nullptr;
            }
        bound.push_back(mf);
        pugi::xml_node v = kb.first_child();
        if (mf->flags & CIMPLE_FLAG_PROPERTY) {
            auto* mp = reinterpret_cast<const Meta_Property*>(mf);
            if (!named(v, "KEYVALUE") && !named(v, "VALUE")) {
                error = invalid(std::string("key ") + key + " needs a KEYVALUE");
                return nullptr;
            }
            if (!set_property_texts(inst.get(), mp, {text_of(v)}, false)) {
                error = invalid(std::string("key ") + key + " is not a " + type_name(mp->type));
                return nullptr;
            }
        } else {
            auto* mr = reinterpret_cast<const Meta_Reference*>(mf);
            if (!named(v, "VALUE.REFERENCE") || mr->subscript != 0) {
                error = invalid(std::string("key ") + key + " needs a VALUE.REFERENCE");
                return nullptr;
            }
            Instance_Ptr target = from_reference(v, mr->meta_class, error, depth + 1);
            if (!target)
                return nullptr;
            *static_cast<Instance**>(field_of(inst.get(), mr->offset)) = target.release();
        }
    }
    if (bound.size() != mc->num_keys) {
        error = invalid(std::string("the instance name of ") + mc->name + " lacks keys");
        return nullptr;
    }
    return inst;
}

Instance_Ptr CimXmlReader::from_reference(pugi::xml_node ref, const Meta_Class* declared, CimError& error,
                                          int depth) const
{
    if (depth > MAX_REFERENCE_DEPTH) {
        error = invalid("references nest too deep");
        return nullptr;
    }
    pugi::xml_node path = ref.first_child();
    std::string ns;
    pugi::xml_node name;
    if (named(path, "INSTANCEPATH")) {
        ns = name_space(path.child("NAMESPACEPATH").child("LOCALNAMESPACEPATH"));
        name = path.child("INSTANCENAME");
    } else if (named(path, "LOCALINSTANCEPATH")) {
        ns = name_space(path.child("LOCALNAMESPACEPATH"));
        name = path.child("INSTANCENAME");
    } else {
        name = path;
    }
    Instance_Ptr inst = from_instance_name(name, declared, error, depth);
    if (inst && !ns.empty())
        inst->__name_space = ns.c_str();
    return inst;
}

bool CimXmlReader::set_feature(Instance* inst, const Meta_Feature* mf, pugi::xml_node holder, CimError& error) const
{
    pugi::xml_node v;
    for (auto c : holder.children())
        if (c.type() == pugi::node_element && !named(c, "QUALIFIER")) {
            v = c;
            break;
        }
    if (mf->flags & CIMPLE_FLAG_PROPERTY) {
        auto* mp = reinterpret_cast<const Meta_Property*>(mf);
        if (!v) {
            clear_property(inst, mp);
            return true;
        }
        std::vector<std::string> texts;
        bool is_array = named(v, "VALUE.ARRAY");
        if (is_array) {
            for (auto e : v.children()) {
                if (!named(e, "VALUE")) {
                    error = invalid(std::string(mf->name) + ": array elements must be values");
                    return false;
                }
                texts.push_back(text_of(e));
            }
        } else if (named(v, "VALUE")) {
            texts.push_back(text_of(v));
        } else {
            error = invalid(std::string(mf->name) + ": unexpected " + v.name());
            return false;
        }
        if (!set_property_texts(inst, mp, texts, is_array)) {
            error = invalid(std::string(mf->name) + ": the value does not fit " + type_name(mp->type) +
                            (mp->subscript ? "[]" : ""));
            return false;
        }
        return true;
    }
    auto* mr = reinterpret_cast<const Meta_Reference*>(mf);
    if (mf->flags & CIMPLE_FLAG_EMBEDDED_OBJECT) {
        Instance*& field = *static_cast<Instance**>(field_of(inst, mr->offset));
        if (field)
            destroy(field);
        field = nullptr;
        if (!v)
            return true;
        if (!named(v, "VALUE")) {
            error = invalid(std::string(mf->name) + ": an embedded instance is expected");
            return false;
        }
        std::string text = text_of(v);
        pugi::xml_document doc;
        if (!doc.load_buffer(text.data(), text.size())) {
            error = invalid(std::string(mf->name) + ": the embedded instance is not XML");
            return false;
        }
        Instance_Ptr embedded = from_instance(doc.first_child(), error);
        if (!embedded)
            return false;
        if (mr->meta_class && !is_subclass(mr->meta_class, embedded->meta_class)) {
            error = invalid(std::string(mf->name) + ": the embedded instance is not a " + mr->meta_class->name);
            return false;
        }
        field = embedded.release();
        return true;
    }
    if (mr->subscript == 0) {
        Instance*& field = *static_cast<Instance**>(field_of(inst, mr->offset));
        if (!v) {
            if (field)
                destroy(field);
            field = nullptr;
            return true;
        }
        if (!named(v, "VALUE.REFERENCE")) {
            error = invalid(std::string(mf->name) + ": a reference is expected");
            return false;
        }
        Instance_Ptr target = from_reference(v, mr->meta_class, error, 1);
        if (!target)
            return false;
        if (field)
            destroy(field);
        field = target.release();
        return true;
    }
    auto& field = *static_cast<Array<Instance*>*>(field_of(inst, mr->offset));
    Instance_List targets;
    if (v) {
        if (!named(v, "VALUE.REFARRAY") && !named(v, "VALUE.ARRAY")) {
            error = invalid(std::string(mf->name) + ": a reference array is expected");
            return false;
        }
        for (auto e : v.children()) {
            if (!named(e, "VALUE.REFERENCE")) {
                error = invalid(std::string(mf->name) + ": array elements must be references");
                return false;
            }
            Instance_Ptr target = from_reference(e, mr->meta_class, error, 1);
            if (!target)
                return false;
            targets.push_back(std::move(target));
        }
    }
    for (size_t i = 0; i < field.size(); i++)
        if (field[i])
            destroy(field[i]);
    field.clear();
    for (auto& t : targets)
        field.append(t.release());
    return true;
}

Instance_Ptr CimXmlReader::from_instance(pugi::xml_node node, CimError& error) const
{
    if (!named(node, "INSTANCE")) {
        error = invalid("an instance is expected");
        return nullptr;
    }
    const Meta_Class* mc = class_named(node.attribute("CLASSNAME").value(), nullptr, error);
    if (!mc)
        return nullptr;
    Instance_Ptr inst(create(mc));
    nullify_properties(inst.get()); // what the client does not give stays null
    for (auto p : node.children()) {
        if (named(p, "QUALIFIER"))
            continue;
        if (!named(p, "PROPERTY") && !named(p, "PROPERTY.ARRAY") && !named(p, "PROPERTY.REFERENCE")) {
            error = invalid(std::string("unexpected element ") + p.name() + " in an instance");
            return nullptr;
        }
        const char* pname = p.attribute("NAME").value();
        const Meta_Feature* mf = find_feature(mc, pname);
        if (!mf || (mf->flags & CIMPLE_FLAG_METHOD)) {
            error = invalid(std::string(mc->name) + " has no property " + pname);
            return nullptr;
        }
        if (!set_feature(inst.get(), mf, p, error))
            return nullptr;
    }
    return inst;
}

} // namespace cimserver
