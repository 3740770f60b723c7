// Builds framework instances from CIM-XML elements (instance names,
// instances, parameter values) by the module's class records. Every check
// failure becomes a CimError; nothing is trusted from the request.
#ifndef HOST_CIMSERVER_CIM_XML_READER_H
#define HOST_CIMSERVER_CIM_XML_READER_H

#include "CimStatus.h"

#include <Pegasus_Adapter.h>

#include <pugixml.hpp>

#include <string>

namespace cimserver {

class CimXmlReader {
public:
    explicit CimXmlReader(const cimple::Meta_Repository* repository) : _repository(repository) {}

    // The name space of a LOCALNAMESPACEPATH ("root/kestris").
    static std::string name_space(pugi::xml_node local_name_space_path);

    // The class an element names: unknown classes give CIM_ERR_INVALID_CLASS;
    // a class outside declared (when given) gives CIM_ERR_INVALID_PARAMETER.
    const cimple::Meta_Class* class_named(const char* name, const cimple::Meta_Class* declared, CimError& error) const;

    // An instance holding the keys of an INSTANCENAME. Every key of the
    // class must be bound, each once, with a value of its type.
    cimple::Instance_Ptr from_instance_name(pugi::xml_node name, const cimple::Meta_Class* declared,
                                            CimError& error, int depth = 0) const;

    // An instance from an INSTANCE element.
    cimple::Instance_Ptr from_instance(pugi::xml_node inst, CimError& error) const;

    // Stores the value that the children of holder carry (VALUE,
    // VALUE.ARRAY, VALUE.REFERENCE, VALUE.REFARRAY, or nothing for null)
    // into the feature's field of inst.
    bool set_feature(cimple::Instance* inst, const cimple::Meta_Feature* mf, pugi::xml_node holder,
                     CimError& error) const;

private:
    cimple::Instance_Ptr from_reference(pugi::xml_node value_reference, const cimple::Meta_Class* declared,
                                        CimError& error, int depth) const;

    const cimple::Meta_Repository* _repository;
};

// True when the element's name equals name without regard to case.
bool named(pugi::xml_node node, const char* name);

} // namespace cimserver

#endif
