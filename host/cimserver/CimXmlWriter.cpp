#include "CimXmlWriter.h"

#include "ClassQualifiers.h"
#include "ValueText.h"

#include <algorithm>
#include <span>

namespace cimserver {

using namespace cimple;

bool PropertyFilter::includes(const char* name) const
{
    if (all)
        return true;
    for (const auto& n : names)
        if (eqi(n.c_str(), name))
            return true;
    return false;
}

const std::vector<bool>& PropertyFilter::kept_features(const Meta_Class* mc) const
{
    // An answer holds instances of a few classes: a short list suffices.
    for (auto& r : _resolved)
        if (r.first == mc)
            return r.second;
    std::vector<bool> kept(mc->num_meta_features);
    for (size_t i = 0; i < mc->num_meta_features; i++)
        kept[i] = includes(mc->meta_features[i]->name);
    _resolved.emplace_back(mc, std::move(kept));
    return _resolved.back().second;
}

CimXmlWriter::CimXmlWriter(std::string host, std::string name_space)
    : _host(std::move(host)), _name_space(std::move(name_space)), _out(_own)
{
}

CimXmlWriter::CimXmlWriter(std::string host, std::string name_space, std::string& out)
    : _host(std::move(host)), _name_space(std::move(name_space)), _out(out)
{
}

namespace {

// What a character is written as; nullptr when it is written as itself.
// Control characters other than tab, line feed and carriage return cannot
// appear in XML 1.0; they are written as '?'.
struct Replacements {
    const char* of[256] = {};
    Replacements()
    {
        for (int c = 0; c < 0x20; c++)
            if (c != '\t' && c != '\n' && c != '\r')
                of[c] = "?";
        of[static_cast<unsigned char>('<')] = "&lt;";
        of[static_cast<unsigned char>('>')] = "&gt;";
        of[static_cast<unsigned char>('&')] = "&amp;";
        of[static_cast<unsigned char>('"')] = "&quot;";
        of[static_cast<unsigned char>('\'')] = "&apos;";
    }
};
const Replacements REPLACEMENTS;

} // namespace

void CimXmlWriter::append_escaped(std::string& out, std::string_view text)
{
    const char* p = text.data();
    const char* end = p + text.size();
    const char* done = p;
    for (; p != end; ++p) {
        const char* r = REPLACEMENTS.of[static_cast<unsigned char>(*p)];
        if (__builtin_expect(r != nullptr, 0)) {
            out.append(done, static_cast<size_t>(p - done));
            out += r;
            done = p + 1;
        }
    }
    out.append(done, static_cast<size_t>(end - done));
}

std::string CimXmlWriter::escape(const std::string& text)
{
    std::string r;
    r.reserve(text.size());
    append_escaped(r, text);
    return r;
}

void CimXmlWriter::open_value(std::string_view text)
{
    _out += "<VALUE>";
    append_escaped(_out, text);
    _out += "</VALUE>";
}

std::string_view CimXmlWriter::name_space_of(const Instance* inst) const
{
    if (inst && !inst->__name_space.empty())
        return std::string_view(inst->__name_space.c_str(), inst->__name_space.size());
    return _name_space;
}

void CimXmlWriter::local_name_space_path(std::string& out, std::string_view ns)
{
    out += "<LOCALNAMESPACEPATH>";
    size_t start = 0;
    while (start <= ns.size()) {
        size_t slash = ns.find('/', start);
        std::string_view part = ns.substr(start, slash == std::string_view::npos ? std::string_view::npos
                                                                                  : slash - start);
        if (!part.empty()) {
            out += "<NAMESPACE NAME=\"";
            append_escaped(out, part);
            out += "\"></NAMESPACE>";
        }
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    out += "</LOCALNAMESPACEPATH>";
}

void CimXmlWriter::class_name(const char* name)
{
    _out += "<CLASSNAME NAME=\"" + escape(name) + "\"></CLASSNAME>";
}

namespace {

void qualifier(std::string& out, const char* name, bool value = true)
{
    out += "<QUALIFIER NAME=\"";
    out += name;
    out += value ? "\" TYPE=\"boolean\"><VALUE>TRUE</VALUE></QUALIFIER>"
                 : "\" TYPE=\"boolean\"><VALUE>FALSE</VALUE></QUALIFIER>";
}

void qualifiers(std::string& out, std::span<const ClassQualifiers::Qualifier> list)
{
    for (const auto& q : list) {
        out += "<QUALIFIER NAME=\"";
        out += q.name;
        out += "\" TYPE=\"";
        out += q.type;
        out += "\">";
        if (q.array)
            out += "<VALUE.ARRAY>";
        for (std::size_t i = 0; i < q.count; i++) {
            out += "<VALUE>";
            CimXmlWriter::append_escaped(out, q.values[i]);
            out += "</VALUE>";
        }
        if (q.array)
            out += "</VALUE.ARRAY>";
        out += "</QUALIFIER>";
    }
}

// The class that brought the feature record at index i of mc into the
// hierarchy: subclasses share the records they inherit.
const Meta_Class* origin_of(const Meta_Class* mc, size_t i)
{
    const Meta_Feature* mf = mc->meta_features[i];
    while (mc->super_meta_class && i < mc->super_meta_class->num_meta_features &&
           mc->super_meta_class->meta_features[i] == mf)
        mc = mc->super_meta_class;
    return mc;
}

} // namespace

void CimXmlWriter::class_decl(const Meta_Class* mc, const ClassOptions& options)
{
    const ClassQualifiers& table = ClassQualifiers::served();
    const bool with_qualifiers = options.include_qualifiers;
    _out += "<CLASS NAME=\"" + escape(mc->name) + "\"";
    if (mc->super_meta_class)
        _out += " SUPERCLASS=\"" + escape(mc->super_meta_class->name) + "\"";
    _out += ">";
    if (with_qualifiers) {
        if (mc->flags & CIMPLE_FLAG_ASSOCIATION)
            qualifier(_out, "Association");
        if (mc->flags & CIMPLE_FLAG_AGGREGATION)
            qualifier(_out, "Aggregation");
        if (mc->flags & CIMPLE_FLAG_ABSTRACT)
            qualifier(_out, "Abstract");
        if (mc->flags & CIMPLE_FLAG_INDICATION)
            qualifier(_out, "Indication");
        if (mc->flags & CIMPLE_FLAG_EXPERIMENTAL)
            qualifier(_out, "Experimental");
    }
    // The class a feature comes from, when asked for.
    auto origin = [&](size_t i) {
        if (!options.include_class_origin)
            return std::string();
        return " CLASSORIGIN=\"" + escape(origin_of(mc, i)->name) + "\"";
    };
    // Key and In/Out qualifiers are written even without IncludeQualifiers:
    // clients need them to build instance names and method calls.
    auto feature_qualifiers = [&](const Meta_Feature* mf) {
        std::string q;
        if (mf->flags & CIMPLE_FLAG_KEY)
            qualifier(q, "Key");
        if (with_qualifiers) {
            if (mf->flags & CIMPLE_FLAG_WRITE)
                qualifier(q, "Write");
            if (mf->flags & CIMPLE_FLAG_COUNTER)
                qualifier(q, "Counter");
            qualifiers(q, table.of(mc->name, mf->name));
        }
        return q;
    };
    std::string methods;
    for (size_t i = 0; i < mc->num_meta_features; i++) {
        const Meta_Feature* mf = mc->meta_features[i];
        if (options.local_only && mc->locals && !mc->locals[i].local)
            continue;
        if (mf->flags & CIMPLE_FLAG_PROPERTY) {
            auto* mp = reinterpret_cast<const Meta_Property*>(mf);
            _out += mp->subscript ? "<PROPERTY.ARRAY" : "<PROPERTY";
            _out += std::string(" NAME=\"") + escape(mf->name) + "\" TYPE=\"" + type_name(mp->type) + "\"";
            if (mp->subscript > 0)
                _out += " ARRAYSIZE=\"" + std::to_string(mp->subscript) + "\"";
            _out += origin(i) + ">" + feature_qualifiers(mf);
            _out += mp->subscript ? "</PROPERTY.ARRAY>" : "</PROPERTY>";
        } else if (mf->flags & CIMPLE_FLAG_REFERENCE) {
            auto* mr = reinterpret_cast<const Meta_Reference*>(mf);
            if (mf->flags & CIMPLE_FLAG_EMBEDDED_OBJECT) {
                _out += "<PROPERTY NAME=\"" + escape(mf->name) + "\" TYPE=\"string\" EmbeddedObject=\"instance\"" +
                        origin(i) + ">" + feature_qualifiers(mf) + "</PROPERTY>";
                continue;
            }
            _out += "<PROPERTY.REFERENCE NAME=\"" + escape(mf->name) + "\"";
            if (mr->meta_class)
                _out += " REFERENCECLASS=\"" + escape(mr->meta_class->name) + "\"";
            _out += origin(i) + ">" + feature_qualifiers(mf) + "</PROPERTY.REFERENCE>";
        } else if (mf->flags & CIMPLE_FLAG_METHOD) {
            auto* mm = reinterpret_cast<const Meta_Method*>(mf);
            methods += "<METHOD NAME=\"" + escape(mf->name) + "\" TYPE=\"" + type_name(mm->return_type) + "\"" +
                       origin(i) + ">" + feature_qualifiers(mf);
            for (size_t p = 0; p < mm->num_meta_features; p++) {
                const Meta_Feature* pf = mm->meta_features[p];
                if (eqi(pf->name, "return_value"))
                    continue;
                // In defaults to true: an output-only parameter says In(false).
                std::string quals;
                qualifier(quals, "In", (pf->flags & CIMPLE_FLAG_IN) != 0);
                if (pf->flags & CIMPLE_FLAG_OUT)
                    qualifier(quals, "Out");
                if (with_qualifiers)
                    qualifiers(quals, table.of(mc->name, mf->name, pf->name));
                else if (pf->flags & CIMPLE_FLAG_REQUIRED)
                    qualifier(quals, "Required");
                if (pf->flags & CIMPLE_FLAG_PROPERTY) {
                    auto* pp = reinterpret_cast<const Meta_Property*>(pf);
                    methods += std::string(pp->subscript ? "<PARAMETER.ARRAY" : "<PARAMETER") + " NAME=\"" +
                               escape(pf->name) + "\" TYPE=\"" + type_name(pp->type) + "\"";
                    if (pp->subscript > 0)
                        methods += " ARRAYSIZE=\"" + std::to_string(pp->subscript) + "\"";
                    methods += ">" + quals + (pp->subscript ? "</PARAMETER.ARRAY>" : "</PARAMETER>");
                } else if (pf->flags & CIMPLE_FLAG_EMBEDDED_OBJECT) {
                    auto* pr = reinterpret_cast<const Meta_Reference*>(pf);
                    methods += "<PARAMETER NAME=\"" + escape(pf->name) + "\" TYPE=\"string\">" + quals;
                    if (pr->meta_class) {
                        methods += "<QUALIFIER NAME=\"EmbeddedInstance\" TYPE=\"string\"><VALUE>";
                        methods += escape(pr->meta_class->name);
                        methods += "</VALUE></QUALIFIER>";
                    } else {
                        qualifier(methods, "EmbeddedObject");
                    }
                    methods += "</PARAMETER>";
                } else {
                    auto* pr = reinterpret_cast<const Meta_Reference*>(pf);
                    const char* tag = pr->subscript ? "PARAMETER.REFARRAY" : "PARAMETER.REFERENCE";
                    methods += std::string("<") + tag + " NAME=\"" + escape(pf->name) + "\"";
                    if (pr->meta_class)
                        methods += " REFERENCECLASS=\"" + escape(pr->meta_class->name) + "\"";
                    methods += ">" + quals + "</" + tag + ">";
                }
            }
            methods += "</METHOD>";
        }
    }
    _out += methods;
    _out += "</CLASS>";
}

const CimXmlWriter::ClassText& CimXmlWriter::text_of(const Meta_Class* mc)
{
    auto [it, fresh] = _class_texts.try_emplace(mc);
    ClassText& t = it->second;
    if (!fresh)
        return t;
    t.instance_open = "<INSTANCE CLASSNAME=\"";
    append_escaped(t.instance_open, mc->name);
    t.instance_open += "\">";
    t.name_open = "<INSTANCENAME CLASSNAME=\"";
    append_escaped(t.name_open, mc->name);
    t.name_open += "\">";
    // The ends of the server's own subscriptions, filters and listener
    // destinations, are referenced as clients name them when they subscribe:
    // by name space and keys, without a host. A client that finds its
    // subscriptions again compares these references with the paths of the
    // filters and destinations it enumerates, whole.
    for (const Meta_Class* c = mc; c && !t.local_path; c = c->super_meta_class)
        t.local_path = eqi(c->name, "CIM_IndicationFilter") || eqi(c->name, "CIM_ListenerDestination");
    t.feature_open.resize(mc->num_meta_features);
    t.key_open.resize(mc->num_meta_features);
    for (size_t i = 0; i < mc->num_meta_features; i++) {
        const Meta_Feature* mf = mc->meta_features[i];
        std::string& p = t.feature_open[i];
        if (mf->flags & CIMPLE_FLAG_PROPERTY) {
            auto* mp = reinterpret_cast<const Meta_Property*>(mf);
            p = mp->subscript ? "<PROPERTY.ARRAY NAME=\"" : "<PROPERTY NAME=\"";
            append_escaped(p, mf->name);
            p += "\" TYPE=\"";
            p += type_name(mp->type);
            p += "\">";
        } else if (mf->flags & CIMPLE_FLAG_EMBEDDED_OBJECT) {
            p = "<PROPERTY NAME=\"";
            append_escaped(p, mf->name);
            p += "\" TYPE=\"string\" EmbeddedObject=\"instance\">";
        } else if (mf->flags & CIMPLE_FLAG_REFERENCE) {
            auto* mr = reinterpret_cast<const Meta_Reference*>(mf);
            p = "<PROPERTY.REFERENCE NAME=\"";
            append_escaped(p, mf->name);
            p += "\"";
            if (mr->meta_class) {
                p += " REFERENCECLASS=\"";
                append_escaped(p, mr->meta_class->name);
                p += "\"";
            }
            p += ">";
        }
        if (mf->flags & CIMPLE_FLAG_KEY) {
            std::string& k = t.key_open[i];
            k = "<KEYBINDING NAME=\"";
            append_escaped(k, mf->name);
            k += "\">";
            if (mf->flags & CIMPLE_FLAG_PROPERTY) {
                k += "<KEYVALUE VALUETYPE=\"";
                k += key_value_type(reinterpret_cast<const Meta_Property*>(mf)->type);
                k += "\">";
            }
        }
    }
    return t;
}

namespace {

void write_value(void* context, std::string_view text)
{
    std::string& out = *static_cast<std::string*>(context);
    out += "<VALUE>";
    CimXmlWriter::append_escaped(out, text);
    out += "</VALUE>";
}

void write_key_text(void* context, std::string_view text)
{
    std::string& out = *static_cast<std::string*>(context);
    // A key has one value; an array key (which no class has) keeps its first.
    if (out.back() == '>')
        CimXmlWriter::append_escaped(out, text);
}

} // namespace

void CimXmlWriter::property(const Instance* inst, const Meta_Property* mp, const std::string& open)
{
    _out += open;
    if (mp->subscript) {
        size_t mark = _out.size();
        _out += "<VALUE.ARRAY>";
        if (visit_property_texts(inst, mp, write_value, &_out))
            _out += "</VALUE.ARRAY>";
        else
            _out.resize(mark);
        _out += "</PROPERTY.ARRAY>";
    } else {
        visit_property_texts(inst, mp, write_value, &_out);
        _out += "</PROPERTY>";
    }
}

void CimXmlWriter::reference_property(const Instance* inst, const Meta_Reference* mr, const std::string& open)
{
    if (mr->flags & CIMPLE_FLAG_EMBEDDED_OBJECT) {
        auto* embedded = *static_cast<Instance* const*>(field_of(inst, mr->offset));
        _out += open;
        if (embedded) {
            CimXmlWriter inner(_host, _name_space);
            inner.instance(embedded, PropertyFilter{});
            open_value(inner.out());
        }
        _out += "</PROPERTY>";
        return;
    }
    if (mr->subscript != 0)
        return; // reference arrays are not properties of instances
    auto* target = *static_cast<Instance* const*>(field_of(inst, mr->offset));
    _out += open;
    if (target)
        value_reference(target);
    _out += "</PROPERTY.REFERENCE>";
}

void CimXmlWriter::instance(const Instance* inst, const PropertyFilter& filter)
{
    const Meta_Class* mc = inst->meta_class;
    const ClassText& t = text_of(mc);
    _out += t.instance_open;
    const std::vector<bool>* kept = filter.all ? nullptr : &filter.kept_features(mc);
    for (size_t i = 0; i < mc->num_meta_features; i++) {
        const Meta_Feature* mf = mc->meta_features[i];
        if (kept && !(*kept)[i])
            continue;
        if (mf->flags & CIMPLE_FLAG_PROPERTY)
            property(inst, reinterpret_cast<const Meta_Property*>(mf), t.feature_open[i]);
        else if (mf->flags & CIMPLE_FLAG_REFERENCE)
            reference_property(inst, reinterpret_cast<const Meta_Reference*>(mf), t.feature_open[i]);
    }
    _out += "</INSTANCE>";
}

void CimXmlWriter::instance_name(const Instance* inst)
{
    const Meta_Class* mc = inst->meta_class;
    const ClassText& t = text_of(mc);
    _out += t.name_open;
    for (size_t i = 0; i < mc->num_meta_features; i++) {
        const Meta_Feature* mf = mc->meta_features[i];
        if (!(mf->flags & CIMPLE_FLAG_KEY))
            continue;
        if (mf->flags & CIMPLE_FLAG_PROPERTY) {
            _out += t.key_open[i];
            visit_property_texts(inst, reinterpret_cast<const Meta_Property*>(mf), write_key_text, &_out);
            _out += "</KEYVALUE></KEYBINDING>";
        } else if (mf->flags & CIMPLE_FLAG_REFERENCE) {
            auto* mr = reinterpret_cast<const Meta_Reference*>(mf);
            auto* target = *static_cast<Instance* const*>(field_of(inst, mr->offset));
            if (!target || mr->subscript != 0)
                continue;
            _out += t.key_open[i];
            value_reference(target);
            _out += "</KEYBINDING>";
        }
    }
    _out += "</INSTANCENAME>";
}

void CimXmlWriter::instance_path(const Instance* inst)
{
    // Paths of one answer name one or two name spaces: the text up to the
    // instance name is made once for each.
    const std::string_view ns = name_space_of(inst);
    auto it = std::find_if(_path_openings.begin(), _path_openings.end(),
                           [&](const auto& entry) { return entry.first == ns; });
    if (it == _path_openings.end()) {
        std::string opening = "<INSTANCEPATH><NAMESPACEPATH><HOST>";
        append_escaped(opening, _host);
        opening += "</HOST>";
        local_name_space_path(opening, ns);
        opening += "</NAMESPACEPATH>";
        it = _path_openings.emplace(_path_openings.end(), std::string(ns), std::move(opening));
    }
    _out += it->second;
    instance_name(inst);
    _out += "</INSTANCEPATH>";
}

void CimXmlWriter::value_reference(const Instance* inst)
{
    _out += "<VALUE.REFERENCE>";
    if (text_of(inst->meta_class).local_path) {
        _out += "<LOCALINSTANCEPATH>";
        local_name_space_path(_out, name_space_of(inst));
        instance_name(inst);
        _out += "</LOCALINSTANCEPATH>";
    } else {
        instance_path(inst);
    }
    _out += "</VALUE.REFERENCE>";
}

void CimXmlWriter::out_parameter(const Instance* method, const Meta_Feature* mf)
{
    if (mf->flags & CIMPLE_FLAG_PROPERTY) {
        auto* mp = reinterpret_cast<const Meta_Property*>(mf);
        std::vector<std::string> texts;
        if (!property_texts(method, mp, texts))
            return;
        _out += "<PARAMVALUE NAME=\"" + escape(mf->name) + "\" PARAMTYPE=\"" + type_name(mp->type) + "\">";
        if (mp->subscript) {
            _out += "<VALUE.ARRAY>";
            for (const auto& t : texts)
                open_value(t);
            _out += "</VALUE.ARRAY>";
        } else {
            open_value(texts[0]);
        }
        _out += "</PARAMVALUE>";
        return;
    }
    auto* mr = reinterpret_cast<const Meta_Reference*>(mf);
    if (mf->flags & CIMPLE_FLAG_EMBEDDED_OBJECT) {
        auto* embedded = *static_cast<Instance* const*>(field_of(method, mr->offset));
        if (!embedded)
            return;
        CimXmlWriter inner(_host, _name_space);
        inner.instance(embedded, PropertyFilter{});
        _out += "<PARAMVALUE NAME=\"" + escape(mf->name) + "\" PARAMTYPE=\"string\" EmbeddedObject=\"instance\">";
        open_value(inner.out());
        _out += "</PARAMVALUE>";
        return;
    }
    if (mr->subscript == 0) {
        auto* target = *static_cast<Instance* const*>(field_of(method, mr->offset));
        if (!target)
            return;
        _out += "<PARAMVALUE NAME=\"" + escape(mf->name) + "\" PARAMTYPE=\"reference\">";
        value_reference(target);
        _out += "</PARAMVALUE>";
        return;
    }
    // A reference array is a VALUE.REFARRAY of VALUE.REFERENCE: VALUE.ARRAY
    // holds only VALUE and VALUE.NULL, and clients refuse the whole answer
    // when a reference stands in one.
    auto* targets = static_cast<const Array<Instance*>*>(field_of(method, mr->offset));
    if (targets->size() == 0)
        return;
    _out += "<PARAMVALUE NAME=\"" + escape(mf->name) + "\" PARAMTYPE=\"reference\"><VALUE.REFARRAY>";
    for (size_t i = 0; i < targets->size(); i++)
        if ((*targets)[i])
            value_reference((*targets)[i]);
    _out += "</VALUE.REFARRAY></PARAMVALUE>";
}

void CimXmlWriter::open_response(const std::string& id, const std::string& name, bool intrinsic)
{
    _out += "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
            "<MESSAGE ID=\"";
    append_escaped(_out, id);
    _out += "\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP>";
    _out += intrinsic ? "<IMETHODRESPONSE NAME=\"" : "<METHODRESPONSE NAME=\"";
    append_escaped(_out, name);
    _out += "\">";
}

void CimXmlWriter::close_response(bool intrinsic)
{
    _out += intrinsic ? "</IMETHODRESPONSE>" : "</METHODRESPONSE>";
    _out += "</SIMPLERSP></MESSAGE></CIM>\n";
}

void CimXmlWriter::error(const CimError& e)
{
    _out += "<ERROR CODE=\"";
    _out += std::to_string(e.code);
    _out += "\" DESCRIPTION=\"";
    append_escaped(_out, e.description);
    _out += "\"></ERROR>";
}

} // namespace cimserver
