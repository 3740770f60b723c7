// Text forms of property values (as CIM-XML carries them) read from and
// written to the fields of framework instances, by the property's record.
#ifndef HOST_CIMSERVER_VALUE_TEXT_H
#define HOST_CIMSERVER_VALUE_TEXT_H

#include <cimple/cimple.h>

#include <string>
#include <string_view>
#include <vector>

namespace cimserver {

// The field of a feature inside an instance.
inline void* field_of(cimple::Instance* inst, cimple::uint32 offset)
{
    return reinterpret_cast<char*>(inst) + offset;
}
inline const void* field_of(const cimple::Instance* inst, cimple::uint32 offset)
{
    return reinterpret_cast<const char*>(inst) + offset;
}

// Calls visit(context, text) for each element of a property's value (once
// for a scalar) in text form; false, without a call, when it is null. The
// text is valid during the call only.
using TextVisitor = void (*)(void* context, std::string_view text);
bool visit_property_texts(const cimple::Instance* inst, const cimple::Meta_Property* mp, TextVisitor visit,
                          void* context);

// The value of a property: false when it is null; otherwise its elements
// (one for a scalar) in text form.
bool property_texts(const cimple::Instance* inst, const cimple::Meta_Property* mp, std::vector<std::string>& texts);

// Stores a value read from text (one element for a scalar) and marks the
// property present. False, leaving the property unchanged, when a text does
// not fit the property's type or a scalar gets another count than one.
bool set_property_texts(cimple::Instance* inst, const cimple::Meta_Property* mp, const std::vector<std::string>& texts,
                        bool is_array);

// Marks the property null.
void clear_property(cimple::Instance* inst, const cimple::Meta_Property* mp);

// The VALUETYPE of a key binding of that type: "boolean", "numeric" or "string".
const char* key_value_type(cimple::uint16 type);

} // namespace cimserver

#endif
